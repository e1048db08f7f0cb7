#include "notes/note_events.h"

namespace
{
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

void NotifyNotesChanged()
{
    if (g_noteList)
        PostMessageW(g_noteList, WM_NOTESCHANGED, 0, 0);
}

NoteListPause::NoteListPause()
{
    if (g_noteList && IsWindowEnabled(g_noteList)) {
        list_ = g_noteList;
        EnableWindow(list_, FALSE);
    }
}

NoteListPause::~NoteListPause()
{
    if (!list_ || list_ != g_noteList)
        return;
    EnableWindow(list_, TRUE);
    // Disabling took the focus from whichever control had it; a dialog
    // given the focus hands it back to that control.
    if (GetActiveWindow() == list_)
        SetFocus(list_);
}
