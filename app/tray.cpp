#include "app/tray.h"

#include <shellapi.h>

#include <cstring>

#include "app/app_state.h"
#include "editor/editor_window.h"
#include "help/about_box.h"
#include "help/help.h"
#include "layout/layout_commands.h"
#include "list/note_list.h"
#include "options/options_dialog.h"
#include "res/resource.h"

namespace
{
constexpr UINT kTrayIconId = 101;
// The classic NOTIFYICONDATAA with a 64-byte tip: 88 bytes on 32-bit
// Windows, and the same fields at their natural 64-bit offsets elsewhere.
constexpr DWORD kTrayDataSize = NOTIFYICONDATAA_V1_SIZE;
static_assert(sizeof(void*) != 4 || kTrayDataSize == 88);
} // namespace

void FormatTrayTip(char* tip, int size)
{
    char name[32] = {};
    LoadStringA(AppInstance(), IDS_DISPLAY_NAME, name, sizeof(name));
    char buffer[64];
    wsprintfA(buffer, "%s  Ver %s", name, kVersionText);
    lstrcpynA(tip, buffer, size);
}

BOOL TrayIcon(HWND mainWindow, DWORD message)
{
    auto icon = static_cast<HICON>(
        LoadImageA(AppInstance(), MAKEINTRESOURCEA(IDI_JOTWISE), IMAGE_ICON, 16, 16, LR_DEFAULTSIZE));
    NOTIFYICONDATAA data = {};
    data.cbSize = kTrayDataSize;
    data.hWnd = mainWindow;
    data.uID = kTrayIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_TRAYNOTIFY;
    data.hIcon = icon;
    FormatTrayTip(data.szTip, 64);
    BOOL result = Shell_NotifyIconA(message, &data);
    if (icon)
        DestroyIcon(icon);
    return result;
}

void OnTrayNotify(HWND mainWindow, WPARAM iconId, LPARAM mouseMessage)
{
    if (iconId != kTrayIconId)
        return;
    switch (static_cast<UINT>(mouseMessage)) {
    case WM_LBUTTONDOWN:
        // Posted, so the editor opens after the shell's callback has returned.
        PostMessageA(mainWindow, WM_COMMAND, IDM_NEW_NOTE, 0);
        break;
    case WM_RBUTTONDOWN:
        ShowPopupMenu(mainWindow, IDM_TRAY);
        break;
    default:
        break;
    }
}

void OnTrayCommand(HWND mainWindow, int commandId)
{
    AppState* state = App();
    switch (commandId) {
    case IDM_NEW_NOTE:
        OpenEditor(mainWindow);
        break;
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
        PostMessageA(mainWindow, WM_CLOSE, 0, 0);
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
    case IDM_ABOUT:
        state->aboutOpen = 1;
        ShowAboutBox(mainWindow);
        state->aboutOpen = 0;
        break;
    default:
        break;
    }
}

int ShowPopupMenu(HWND owner, int menuId)
{
    HMENU menu = LoadMenuA(AppInstance(), MAKEINTRESOURCEA(menuId));
    if (!menu)
        return 0;
    HMENU popup = GetSubMenu(menu, 0);
    if (!popup) {
        DestroyMenu(menu);
        return 0;
    }
    POINT point;
    GetCursorPos(&point);
    // A menu tracked for a window in the background does not close when the
    // user clicks elsewhere; the foreground switch and the WM_NULL after it
    // are the documented cure.
    SetForegroundWindow(owner);
    TrackPopupMenu(popup, 0, point.x, point.y, 0, owner, nullptr);
    PostMessageA(owner, WM_NULL, 0, 0);
    DestroyMenu(menu);
    return 1;
}

UINT TaskbarCreatedMessage()
{
    static const UINT message = RegisterWindowMessageA("TaskbarCreated");
    return message;
}
