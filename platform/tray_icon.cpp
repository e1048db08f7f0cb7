#include "app/tray.h"

#include <shellapi.h>

#include <cwchar>
#include <iterator>
#include <string>

#include "app/app_state.h"
#include "app/backup_dialog.h"
#include "app/popup_menu.h"
#include "app/system_library.h"
#include "app/wide_text.h"
#include "due/reminder.h"
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
// The classic NOTIFYICONDATAW with a 64-character tip, which every shell
// since the first accepts.
constexpr DWORD kTrayDataSize = NOTIFYICONDATAW_V1_SIZE;
static_assert(sizeof(void*) != 4 || kTrayDataSize == 152);
constexpr UINT kTrayRetryMs = 5000;
constexpr DWORD kTrayRetryForMs = 2 * 60 * 1000;

TrayNotifyFunction g_testNotify = nullptr;
DWORD g_retryStart = 0;
bool g_retrying = false;

// An elevated Jotwise would otherwise never hear that the taskbar is back.
void AllowTaskbarCreated(HWND mainWindow)
{
    using Filter = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    HMODULE user = GetModuleHandleW(L"user32.dll");
    FARPROC entry = user ? GetProcAddress(user, "ChangeWindowMessageFilterEx") : nullptr;
    if (entry)
        reinterpret_cast<Filter>(reinterpret_cast<void*>(entry))(
            mainWindow, TaskbarCreatedMessage(), MSGFLT_ALLOW, nullptr);
}
} // namespace

void SetTrayNotifyForTesting(TrayNotifyFunction function)
{
    g_testNotify = function;
}

void StartTrayIcon(HWND mainWindow)
{
    AllowTaskbarCreated(mainWindow);
    if (TrayIcon(mainWindow, NIM_ADD))
        return;
    g_retrying = true;
    g_retryStart = GetTickCount();
    SetTimer(mainWindow, kTrayRetryTimer, kTrayRetryMs, nullptr);
}

void RetryTrayIcon(HWND mainWindow)
{
    bool added = TrayIcon(mainWindow, NIM_ADD) != FALSE;
    if (g_retrying && (added || GetTickCount() - g_retryStart >= kTrayRetryForMs)) {
        g_retrying = false;
        KillTimer(mainWindow, kTrayRetryTimer);
    }
}

namespace
{
void CopyText(wchar_t* target, std::size_t capacity, const std::wstring& text)
{
    std::size_t length = text.size() < capacity - 1 ? text.size() : capacity - 1;
    std::wmemcpy(target, text.data(), length);
    target[length] = L'\0';
}
} // namespace

BOOL ShowTrayBalloon(HWND mainWindow, const std::wstring& title, const std::wstring& text)
{
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof(data);
    data.hWnd = mainWindow;
    data.uID = kTrayIconId;
    data.uFlags = NIF_INFO;
    CopyText(data.szInfoTitle, std::size(data.szInfoTitle), title);
    CopyText(data.szInfo, std::size(data.szInfo), text);
    data.dwInfoFlags = NIIF_USER | NIIF_LARGE_ICON;
    data.hBalloonIcon = static_cast<HICON>(LoadImageW(AppInstance(), MAKEINTRESOURCEW(IDI_JOTWISE),
        IMAGE_ICON, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
    TrayNotifyFunction notify = g_testNotify
        ? g_testNotify
        : SystemFunctionAs<TrayNotifyFunction>(L"shell32.dll", "Shell_NotifyIconW");
    BOOL result = notify ? notify(NIM_MODIFY, &data) : FALSE;
    if (data.hBalloonIcon)
        DestroyIcon(data.hBalloonIcon);
    return result;
}

void FormatTrayTip(char* tip, int size)
{
    std::string text = NoteFromWide(ResourceText(IDS_DISPLAY_NAME)) + "  Ver " + kVersionText;
    CopyNoteText(text, tip, size);
}

BOOL TrayIcon(HWND mainWindow, DWORD message)
{
    // The size the shell asks for, so that the icon is not scaled at 150 %.
    auto icon = static_cast<HICON>(LoadImageW(AppInstance(), MAKEINTRESOURCEW(IDI_JOTWISE), IMAGE_ICON,
        GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    NOTIFYICONDATAW data = {};
    data.cbSize = kTrayDataSize;
    data.hWnd = mainWindow;
    data.uID = kTrayIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_TRAYNOTIFY;
    data.hIcon = icon;
    char tip[64];
    FormatTrayTip(tip, sizeof(tip));
    std::wstring wideTip = WideFromNote(tip);
    wideTip.copy(data.szTip, std::size(data.szTip) - 1);
    TrayNotifyFunction notify = g_testNotify
        ? g_testNotify
        : SystemFunctionAs<TrayNotifyFunction>(L"shell32.dll", "Shell_NotifyIconW");
    BOOL result = notify ? notify(message, &data) : FALSE;
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
    case IDM_ABOUT:
        state->aboutOpen = 1;
        ShowAboutBox(mainWindow);
        state->aboutOpen = 0;
        break;
    default:
        break;
    }
}

UINT TaskbarCreatedMessage()
{
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}
