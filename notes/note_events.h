// Tells the windows that follow the notes while they are open (the note
// list, the reminder window) that notes changed. Lower layers call
// NotifyNotesChanged; they never see those windows.
#ifndef JOTWISE_NOTES_NOTE_EVENTS_H
#define JOTWISE_NOTES_NOTE_EVENTS_H

#include <windows.h>

#include <vector>

// Posted to each listening window; a burst of them is handled as one.
constexpr UINT WM_NOTESCHANGED = WM_APP + 350;

// The window hears of every change until it stops listening (main thread).
void ListenToNoteChanges(HWND window);
void StopListeningToNoteChanges(HWND window);

// The open note list window, or null.
HWND NoteListWindow();
void SetNoteListWindow(HWND window);

void NotifyNotesChanged();

// WM_NOTESCHANGED: takes the ones still queued for the window, so that a
// burst of changes is handled once.
void SkipQueuedNoteChanges(HWND window);

// Keeps the note list, and every other window that listens, disabled while
// it lives: a command of another window of the program runs, and whatever
// dialog or question it opens is modal to them too, whose commands would
// otherwise run inside it.
class NoteListPause
{
public:
    NoteListPause();
    ~NoteListPause();
    NoteListPause(const NoteListPause&) = delete;
    NoteListPause& operator=(const NoteListPause&) = delete;

private:
    std::vector<HWND> paused_;
};

#endif
