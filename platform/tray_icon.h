// The notification-area icon: adding and removing it, its balloons, and
// adding it again when the shell was not ready or has restarted.
#ifndef JOTWISE_PLATFORM_TRAY_ICON_H
#define JOTWISE_PLATFORM_TRAY_ICON_H

#include <windows.h>

#include <shellapi.h>

#include <string>

constexpr UINT kTrayIconId = 101;
// The icon's callback message to the main window: wParam the icon ID,
// lParam the mouse or balloon message.
constexpr UINT WM_TRAYNOTIFY = WM_APP + 321; // 0x8141

// Adds (NIM_ADD) or removes (NIM_DELETE) the tray icon; the result of
// Shell_NotifyIconW.
BOOL TrayIcon(HWND mainWindow, DWORD message);

// Formats the tip "<display name>  Ver 0.10" into a 64-byte buffer.
void FormatTrayTip(char* tip, int size);

// Shows a balloon with the program's icon at the tray icon; the result of
// Shell_NotifyIconW. A click on it comes back as NIN_BALLOONUSERCLICK.
BOOL ShowTrayBalloon(HWND mainWindow, const std::wstring& title, const std::wstring& text);

// The message the shell broadcasts when the taskbar is recreated.
UINT TaskbarCreatedMessage();

// Adds the tray icon at start. At logon the notification area may not be
// ready: then the program runs on with its notes and tries again every few
// seconds for two minutes, and at every TaskbarCreated.
void StartTrayIcon(HWND mainWindow);
// TaskbarCreated or the retry timer: adds the icon (again); the retries end
// once it is there. True when it was added.
bool RetryTrayIcon(HWND mainWindow);
constexpr UINT_PTR kTrayRetryTimer = 1;

// Replaces Shell_NotifyIconW, so that tests can make the shell refuse or
// read the balloons sent; null restores it.
using TrayNotifyFunction = BOOL(WINAPI*)(DWORD message, PNOTIFYICONDATAW data);
void SetTrayNotifyForTesting(TrayNotifyFunction function);
// Replaces GetTickCount for the retries' two minutes; null restores it.
using TrayClockFunction = DWORD (*)();
void SetTrayClockForTesting(TrayClockFunction function);

#endif
