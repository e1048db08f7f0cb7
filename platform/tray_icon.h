// The notification-area icon, its menu and the main window's commands.
#ifndef JOTWISE_APP_TRAY_H
#define JOTWISE_APP_TRAY_H

#include <windows.h>

#include <shellapi.h>

#include <string>

// Adds (NIM_ADD) or removes (NIM_DELETE) the tray icon; the result of
// Shell_NotifyIconW.
BOOL TrayIcon(HWND mainWindow, DWORD message);

// Formats the tip "<display name>  Ver 0.10" into a 64-byte buffer.
void FormatTrayTip(char* tip, int size);

// The tray icon's callback message: wParam icon ID, lParam mouse message.
void OnTrayNotify(HWND mainWindow, WPARAM iconId, LPARAM mouseMessage);

// Runs one tray-menu command on the main window.
void OnTrayCommand(HWND mainWindow, int commandId);

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
// once it is there.
void RetryTrayIcon(HWND mainWindow);
constexpr UINT_PTR kTrayRetryTimer = 1;

// Replaces Shell_NotifyIconW, so that tests can make the shell refuse or
// read the balloons sent; null restores it.
using TrayNotifyFunction = BOOL(WINAPI*)(DWORD message, PNOTIFYICONDATAW data);
void SetTrayNotifyForTesting(TrayNotifyFunction function);

#endif
