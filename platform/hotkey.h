// The system-wide key that starts a new note from any program: taking it,
// giving it up, and telling whether another program holds a key.
#ifndef JOTWISE_PLATFORM_HOTKEY_H
#define JOTWISE_PLATFORM_HOTKEY_H

#include <windows.h>

// The new-note hotkey's ID on the main window.
constexpr int kNewNoteHotKeyId = 1;

// RegisterHotKey's modifiers for a key in the hotkey control's form.
UINT HotKeyModifiers(WORD hotKey);

// Gives up the key the main window holds and takes `hotKey` (0: none).
// Remembers what is held and whether another program has the key; false
// only when it has.
bool TakeNewNoteHotKey(HWND mainWindow, WORD hotKey);
void ReleaseNewNoteHotKey(HWND mainWindow);

// The key the main window holds now (0: none), and whether the last attempt
// to take the chosen one failed because another program has it.
WORD HeldNewNoteHotKey();
bool NewNoteHotKeyTaken();

// True when `hotKey` is held by some other program: neither we hold it nor
// can `probe` take it.
bool IsHotKeyTakenElsewhere(HWND probe, WORD hotKey);

#endif
