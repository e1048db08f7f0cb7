// Tells the note list that notes changed, so that it follows what happens
// elsewhere while it is open. Lower layers call this; they never see the list.
#ifndef JOTWISE_NOTES_NOTE_EVENTS_H
#define JOTWISE_NOTES_NOTE_EVENTS_H

#include <windows.h>

// Posted to the note list; a burst of them is handled as one.
constexpr UINT WM_NOTESCHANGED = WM_APP + 350;

// The open note list window, or null.
HWND NoteListWindow();
void SetNoteListWindow(HWND window);

void NotifyNotesChanged();

#endif
