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

// Keeps the note list disabled while it lives: a command of another window
// of the program runs, and whatever dialog or question it opens is modal to
// the list too, whose commands would otherwise run inside it.
class NoteListPause
{
public:
    NoteListPause();
    ~NoteListPause();
    NoteListPause(const NoteListPause&) = delete;
    NoteListPause& operator=(const NoteListPause&) = delete;

private:
    HWND list_ = nullptr;
};

#endif
