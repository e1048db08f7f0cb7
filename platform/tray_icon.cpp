#include "platform/tray_icon.h"

#include <shellapi.h>

#include <cwchar>
#include <iterator>
#include <string>

#include "platform/program.h"
#include "platform/system_library.h"
#include "platform/wide_text.h"
#include "res/resource.h"

namespace
{
// The classic NOTIFYICONDATAW with a 64-character tip, which every shell
// since the first accepts.
constexpr DWORD kTrayDataSize = NOTIFYICONDATAW_V1_SIZE;
static_assert(sizeof(void*) != 4 || kTrayDataSize == 152);
constexpr UINT kTrayRetryMs = 5000;
constexpr DWORD kTrayRetryForMs = 2 * 60 * 1000;

TrayNotifyFunction g_testNotify = nullptr;
TrayClockFunction g_testClock = nullptr;
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

void SetTrayClockForTesting(TrayClockFunction function)
{
    g_testClock = function;
}

namespace
{
DWORD TickNow()
{
    return g_testClock ? g_testClock() : GetTickCount();
}
} // namespace

void StartTrayIcon(HWND mainWindow)
{
    AllowTaskbarCreated(mainWindow);
    if (TrayIcon(mainWindow, NIM_ADD))
        return;
    g_retrying = true;
    g_retryStart = TickNow();

    SetTimer(mainWindow, kTrayRetryTimer, kTrayRetryMs, nullptr);
}

bool RetryTrayIcon(HWND mainWindow)
{
    bool added = TrayIcon(mainWindow, NIM_ADD) != FALSE;
    if (g_retrying && (added || TickNow() - g_retryStart >= kTrayRetryForMs)) {
        g_retrying = false;
        KillTimer(mainWindow, kTrayRetryTimer);
    }
    return added;
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

UINT TaskbarCreatedMessage()
{
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}
