#include "app/note_menu.h"

#include "editor/editor_window.h"
#include "help/help.h"
#include "notes/app_state.h"
#include "res/resource.h"

void OnNoteFeatureCommand(HWND note, int commandId)
{
    switch (commandId) {
    case IDM_NOTE_EDIT:
        // Without its record the window is being torn down; the editor would
        // take it for the main window and start a new note owned by it.
        if (NoteRecordOf(note))
            OpenEditor(note);
        break;
    case IDM_HELP:
        ShowHelp(note, kHelpContext, HELP_CONTEXT_NOTE);
        break;
    default:
        break;
    }
}
