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
