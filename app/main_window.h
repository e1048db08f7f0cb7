// Process start-up, the hidden main window and the ordered shutdown.
#ifndef JOTWISE_APP_MAIN_WINDOW_H
#define JOTWISE_APP_MAIN_WINDOW_H

#include <windows.h>

// Posted to itself by the main window at creation: reopen a stored draft.
constexpr UINT WM_RESTOREDRAFT = WM_APP + 325;
// To the main window: moves the clock that due states are judged by lParam
// minutes (signed), without waking the monitor, the way a clock change the
// program has not yet been told about would. Lets tests change the clock
// that matters without changing the machine's.
constexpr UINT WM_SHIFTCLOCK = WM_APP + 335;

// Closes every note; each is saved as it closes.
void CloseAllNotes();

// After the store was replaced: the note table starts afresh and the store
// is loaded as at start, its new-note key taken and its draft reopened.
void ReloadStore(HWND mainWindow);

// Registers the main, editor and note window classes; non-zero on success.
int RegisterWindowClasses();

// Creates the hidden main window; non-zero when it exists.
int CreateMainWindow();

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

// The whole life of the process: single-instance check, classes, main
// window, monitor thread, message loop. Returns the process exit code.
int RunJotwise(HINSTANCE instance);

#endif
