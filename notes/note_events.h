// Tells the windows that follow the notes while they are open (the note
// list, the reminder window) that notes changed. Lower layers call
// NotifyNotesChanged; they never see those windows.
#ifndef JOTWISE_NOTES_NOTE_EVENTS_H
#define JOTWISE_NOTES_NOTE_EVENTS_H

#include <windows.h>

// Posted to each listening window; a burst of them is handled as one.
constexpr UINT WM_NOTESCHANGED = WM_APP + 350;

// The window hears of every change until it stops listening (main thread).
void ListenToNoteChanges(HWND window);
void StopListeningToNoteChanges(HWND window);

void NotifyNotesChanged();

#endif
