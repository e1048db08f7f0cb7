#include "app/menu_state.h"

#include "editor/editor_commands.h"
#include "notes/app_state.h"
#include "notes/note_commands.h"
#include "res/resource.h"

namespace
{

void Grey(HMENU menu, UINT item, bool greyed, UINT by = MF_BYCOMMAND)
{
    EnableMenuItem(menu, item, by | (greyed ? MF_GRAYED : MF_ENABLED));
}

void ApplyTrayRules(HMENU menu)
{
    AppState* state = App();
    bool editorOpen = state->editorWindow.load() != nullptr;
    bool noNotes = true;
    for (HWND note : state->noteWindows) {
        if (note) {
            noNotes = false;
            break;
        }
    }
    Grey(menu, IDM_NEW_NOTE, editorOpen);
    Grey(menu, IDM_EXIT, editorOpen);
    Grey(menu, IDM_OPTIONS, state->optionsOpen != 0);
    Grey(menu, IDM_ABOUT, state->aboutOpen != 0);
    // The options dialog would write its options over the restored ones; a
    // dialog of the editor (its owner disabled) must not lose its editor.
    HWND editor = state->editorWindow;
    Grey(menu, IDM_RESTORE, state->optionsOpen != 0 || (editor && !IsWindowEnabled(editor)));
    Grey(menu, IDM_ARRANGE, noNotes);
    Grey(menu, IDM_SHOW_ALL, noNotes);
    Grey(menu, IDM_HIDE_ALL, noNotes);
    Grey(menu, TRAY_SIZE_SUBMENU_POS, noNotes, MF_BYPOSITION);
}

} // namespace

void UpdateMenuState(HWND window, HMENU menu)
{
    AppState* state = App();
    if (!menu || !state)
        return;
    HWND editor = state->editorWindow;
    if (editor && editor == window)
        ApplyEditorMenuState(window, menu);
    else if (window == MainWindow())
        ApplyTrayRules(menu);
    else
        ApplyNoteMenuState(window, menu);
}
