// The note window: painting, dragging and the context menu.
#ifndef JOTWISE_NOTES_NOTE_WINDOW_H
#define JOTWISE_NOTES_NOTE_WINDOW_H

#include <windows.h>

#include <string_view>

#include "store/records.h"

// Posted by the due monitor so that it never waits for the main thread:
// wParam 0 hides the note and 1 shows it again unless the user hid the note
// meanwhile.
constexpr UINT WM_NOTEBLINK = WM_APP + 322;

LRESULT CALLBACK NoteWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

// Composes the whole client area off-screen and copies it to `dc`.
void PaintNote(HWND window, HDC dc);

// The background and text colours a record paints with.
void ChooseNoteColours(
    const NoteRecord* record, const Options* options, COLORREF* text, COLORREF* background);

// The text up to its first line break.
std::string_view NoteFirstLine(const char* text);

// Gives the window its note's first line as its text. Notes have no caption,
// so nothing draws it, but screen readers and window lists tell notes apart
// by it.
void NameNoteWindow(HWND window);

// Stores the window rectangle in the record (none: the window's own),
// unless the window is minimised or maximised. True when it changed.
bool RememberNoteRect(HWND window, NoteRecord* record);

#endif
