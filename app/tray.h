// The notification-area icon, its menu and the main window's commands.
#ifndef JOTWISE_APP_TRAY_H
#define JOTWISE_APP_TRAY_H

#include <windows.h>

// Adds (NIM_ADD) or removes (NIM_DELETE) the tray icon; the result of
// Shell_NotifyIconW.
BOOL TrayIcon(HWND mainWindow, DWORD message);

// Formats the tip "<display name>  Ver 0.10" into a 64-byte buffer.
void FormatTrayTip(char* tip, int size);

// The tray icon's callback message: wParam icon ID, lParam mouse message.
void OnTrayNotify(HWND mainWindow, WPARAM iconId, LPARAM mouseMessage);

// Runs one tray-menu command on the main window.
void OnTrayCommand(HWND mainWindow, int commandId);

// The message the shell broadcasts when the taskbar is recreated.
UINT TaskbarCreatedMessage();

#endif
