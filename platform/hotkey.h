// The system-wide key that starts a new note from any program.
#ifndef JOTWISE_APP_HOTKEY_H
#define JOTWISE_APP_HOTKEY_H

#include <windows.h>

// RegisterHotKey's modifiers for a key in the hotkey control's form.
UINT HotKeyModifiers(WORD hotKey);

// Gives up the key the main window holds and takes `hotKey` (0: none).
// Records in AppState what is held and whether another program has the key;
// false only when it has.
bool TakeNewNoteHotKey(HWND mainWindow, WORD hotKey);
void ReleaseNewNoteHotKey(HWND mainWindow);

// True when `hotKey` is held by some other program: neither we hold it nor
// can `probe` take it.
bool IsHotKeyTakenElsewhere(HWND probe, WORD hotKey);

// WM_HOTKEY: opens the editor for a new note, as the tray's left click does,
// and brings it to the front.
void OnNewNoteHotKey(HWND mainWindow);

#endif
