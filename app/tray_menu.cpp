#include "app/tray_menu.h"

#include <shellapi.h>

#include "app/backup_dialog.h"
#include "app/reminder_balloon.h"
#include "editor/editor_window.h"
#include "help/about_box.h"
#include "help/help.h"
#include "layout/layout_commands.h"
#include "list/note_list.h"
#include "notes/app_state.h"
#include "options/options_dialog.h"
#include "platform/popup_menu.h"
#include "platform/screen_place.h"
#include "platform/tray_icon.h"
#include "res/resource.h"

namespace
{

struct OwnedSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindEnabledOwned(HWND window, LPARAM search) noexcept
{
    auto* owned = reinterpret_cast<OwnedSearch*>(search);
    if (GetWindow(window, GW_OWNER) != owned->owner || !IsWindowVisible(window) || !IsWindowEnabled(window))
        return TRUE;
    owned->found = window;
    return FALSE;
}

// A picker, the due-date dialog or a question open over `window` disables
// it; the keys belong to the window at the end of that chain. The system's
// last active popup is not to be trusted for this once the owner has been
// minimised and restored.
HWND WindowTakingKeys(HWND window)
{
    for (int depth = 0; depth < 8 && !IsWindowEnabled(window); ++depth) {
        OwnedSearch search = {window, nullptr};
        EnumThreadWindows(
            GetWindowThreadProcessId(window, nullptr), FindEnabledOwned, reinterpret_cast<LPARAM>(&search));
        if (!search.found)
            break;
        window = search.found;
    }
    return window;
}

} // namespace

void OnTrayNotify(HWND mainWindow, WPARAM iconId, LPARAM mouseMessage)
{
    if (iconId != kTrayIconId)
        return;
    switch (static_cast<UINT>(mouseMessage)) {
    case WM_LBUTTONDOWN:
        // Posted, so the editor opens after the shell's callback has returned.
        PostMessageW(mainWindow, WM_COMMAND, IDM_NEW_NOTE, 0);
        break;
    case WM_RBUTTONDOWN:
        ShowPopupMenu(mainWindow, IDM_TRAY);
        break;
    case NIN_BALLOONUSERCLICK:
        OnReminderBalloonClick();
        break;
    default:
        break;
    }
}

void OnTrayCommand(HWND mainWindow, int commandId, bool fromKey)
{
    AppState* state = App();
    switch (commandId) {
    case IDM_NEW_NOTE: {
        const RECT pointerArea = PointerWorkArea();
        OpenEditor(mainWindow, fromKey ? &pointerArea : nullptr);
        break;
    }
    case IDM_SHOW_ALL:
        ShowAllNotes(0);
        break;
    case IDM_ARRANGE:
        ArrangeNotes(mainWindow);
        break;
    case IDM_HIDE_ALL:
        ShowAllNotes(1);
        break;
    case IDM_OPTIONS:
        state->optionsOpen = 1;
        ShowOptionsDialog(mainWindow);
        state->optionsOpen = 0;
        break;
    case IDM_EXIT:
        PostMessageW(mainWindow, WM_CLOSE, 0, 0);
        break;
    case IDM_FIT_WIDTH:
    case IDM_FIT_HEIGHT:
    case IDM_FIT_BOTH:
    case IDM_OPTIMIZE:
        FitNoteSizes(commandId);
        break;
    case IDM_HELP:
        ShowHelp(mainWindow, kHelpDefaultTopic, 0);
        break;
    case IDM_HOME_PAGE:
        OpenHomePage(mainWindow);
        break;
    case IDM_NOTE_LIST:
        OpenNoteList();
        break;
    case IDM_BACKUP:
        BackupStore(mainWindow);
        break;
    case IDM_RESTORE:
        RestoreStore(mainWindow);
        break;
    case IDM_ABOUT:
        state->aboutOpen = 1;
        ShowAboutBox(mainWindow);
        state->aboutOpen = 0;
        break;
    default:
        break;
    }
}

void OnNewNoteHotKey(HWND mainWindow)
{
    AppState* state = App();
    if (!state)
        return;
    HWND editor = state->editorWindow;
    if (!editor) {
        // A dialog or question of ours is up; a new editor would slip under it.
        if (state->optionsOpen || state->aboutOpen || state->mainCommandBusy || state->noteCommandBusy)
            return;
        // Sent as a keyboard accelerator's command: the note goes where the
        // user is looking, not where the tray is.
        SendMessageW(mainWindow, WM_COMMAND, MAKEWPARAM(IDM_NEW_NOTE, 1), 0);
        editor = state->editorWindow;
    }
    if (!editor)
        return;
    if (IsIconic(editor))
        ShowWindow(editor, SW_RESTORE);
    SetForegroundWindow(WindowTakingKeys(editor));
}
