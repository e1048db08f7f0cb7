#include "app/menu_state.h"

#include "app/app_state.h"
#include "editor/editor_window.h"
#include "res/resource.h"

namespace
{

void Grey(HMENU menu, UINT item, bool greyed, UINT by = MF_BYCOMMAND)
{
    EnableMenuItem(menu, item, by | (greyed ? MF_GRAYED : MF_ENABLED));
}

void ApplyEditorRules(HWND editor, HMENU menu)
{
    Grey(menu, IDM_EDIT_PASTE, !IsClipboardFormatAvailable(CF_TEXT));
    EditorState* state = EditorStateOf(editor);
    if (!state || !state->edit)
        return;
    HWND edit = state->edit;
    bool canUndo = SendMessageW(edit, EM_CANUNDO, 0, 0) != 0;
    DWORD selection = static_cast<DWORD>(SendMessageW(edit, EM_GETSEL, 0, 0));
    UINT start = LOWORD(selection);
    UINT end = HIWORD(selection);
    bool empty = start == end;
    bool wholeText = start == 0 && static_cast<int>(end) == GetWindowTextLengthW(edit);
    Grey(menu, IDM_EDIT_UNDO, !canUndo);
    Grey(menu, IDM_EDIT_CUT, empty);
    Grey(menu, IDM_EDIT_COPY, empty);
    Grey(menu, IDM_EDIT_CLEAR, empty);
    Grey(menu, IDM_EDIT_INSERTDATE, !empty);
    Grey(menu, IDM_EDIT_SELECTALL, wholeText);
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
    Grey(menu, IDM_ARRANGE, noNotes);
    Grey(menu, IDM_SHOW_ALL, noNotes);
    Grey(menu, IDM_HIDE_ALL, noNotes);
    Grey(menu, TRAY_SIZE_SUBMENU_POS, noNotes, MF_BYPOSITION);
}

void ApplyNoteRules(HWND note, HMENU menu, bool editorOpen)
{
    Grey(menu, IDM_NOTE_EDIT, editorOpen);
    const NoteRecord* record = NoteRecordOf(note);
    CheckMenuItem(
        menu, IDM_NOTE_TOPMOST, MF_BYCOMMAND | (record && record->topmost ? MF_CHECKED : MF_UNCHECKED));
}

} // namespace

void UpdateMenuState(HWND window, HMENU menu)
{
    AppState* state = App();
    if (!menu || !state)
        return;
    HWND editor = state->editorWindow;
    if (editor && editor == window)
        ApplyEditorRules(window, menu);
    else if (window == MainWindow())
        ApplyTrayRules(menu);
    else
        ApplyNoteRules(window, menu, editor != nullptr);
}
