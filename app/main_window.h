// Process start-up, the hidden main window and the ordered shutdown.
#ifndef JOTWISE_APP_MAIN_WINDOW_H
#define JOTWISE_APP_MAIN_WINDOW_H

#include <windows.h>

// Registers the main, editor and note window classes; non-zero on success.
int RegisterWindowClasses();

// Creates the hidden main window; non-zero when it exists.
int CreateMainWindow();

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

// The whole life of the process: single-instance check, classes, main
// window, monitor thread, message loop. Returns the process exit code.
int RunJotwise(HINSTANCE instance);

#endif
