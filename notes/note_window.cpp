// Placeholder until the note window is built.
#include "notes/note_window.h"

LRESULT CALLBACK NoteWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    return DefWindowProcA(window, message, wParam, lParam);
}
void PaintNote(HWND, HDC) {}
void ChooseNoteColours(const NoteRecord*, const Options*, COLORREF*, COLORREF*) {}
void RememberNoteRect(HWND, NoteRecord*) {}
