#include "notes/note_events.h"

#include <algorithm>

namespace
{
std::vector<HWND> g_listeners;
HWND g_noteList = nullptr;
} // namespace

HWND NoteListWindow()
{
    return g_noteList;
}

void SetNoteListWindow(HWND window)
{
    g_noteList = window;
}

void ListenToNoteChanges(HWND window)
{
    if (window && std::find(g_listeners.begin(), g_listeners.end(), window) == g_listeners.end())
        g_listeners.push_back(window);
}

void StopListeningToNoteChanges(HWND window)
{
    g_listeners.erase(std::remove(g_listeners.begin(), g_listeners.end(), window), g_listeners.end());
}

void NotifyNotesChanged()
{
    for (HWND window : g_listeners)
        PostMessageW(window, WM_NOTESCHANGED, 0, 0);
}

NoteListPause::NoteListPause()
{
    for (HWND window : g_listeners) {
        if (IsWindowEnabled(window)) {
            paused_.push_back(window);
            EnableWindow(window, FALSE);
        }
    }
}

NoteListPause::~NoteListPause()
{
    for (HWND window : paused_) {
        // Closed meanwhile, its handle perhaps another window's by now.
        if (std::find(g_listeners.begin(), g_listeners.end(), window) == g_listeners.end())
            continue;
        EnableWindow(window, TRUE);
        // Disabling took the focus from whichever control had it; a dialog
        // given the focus hands it back to that control.
        if (GetActiveWindow() == window)
            SetFocus(window);
    }
}

void SkipQueuedNoteChanges(HWND window)
{
    MSG pending;
    while (PeekMessageW(&pending, window, WM_NOTESCHANGED, WM_NOTESCHANGED, PM_REMOVE)) { }
}
