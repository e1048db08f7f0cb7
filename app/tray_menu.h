// What the tray icon's clicks and menu do, and the new-note hotkey, which
// does what the icon's left click does.
#ifndef JOTWISE_APP_TRAY_MENU_H
#define JOTWISE_APP_TRAY_MENU_H

#include <windows.h>

// The tray icon's callback message: wParam icon ID, lParam mouse message.
void OnTrayNotify(HWND mainWindow, WPARAM iconId, LPARAM mouseMessage);

// Runs one tray-menu command on the main window. `fromKey`: the command
// came from the keyboard (the new-note hotkey), so a new note goes on the
// monitor under the pointer rather than the tray's.
void OnTrayCommand(HWND mainWindow, int commandId, bool fromKey = false);

// WM_HOTKEY: opens the editor for a new note, as the tray's left click does,
// and brings it to the front; an open editor is restored when minimised,
// with the window last active over it (a picker, a question) in front.
void OnNewNoteHotKey(HWND mainWindow);

#endif
