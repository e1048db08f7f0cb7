// Who the program is: its module, its hidden main window, the names of its
// window classes and its version. Every layer may post to the main window;
// only the top one decides what it does with what arrives.
#ifndef JOTWISE_PLATFORM_PROGRAM_H
#define JOTWISE_PLATFORM_PROGRAM_H

#include <windows.h>

#include "jotwise_version.h"

constexpr const char kVersionText[] = JOTWISE_VERSION_TEXT;
constexpr const char kMainClassName[] = "Jotwise";
constexpr const char kEditorClassName[] = "TextC";
constexpr const char kNoteClassName[] = "MemoC";
// One per session: a second user on the same PC runs a Jotwise of their own.
constexpr const wchar_t kInstanceMutexName[] = L"Local\\KOVA.Jotwise";

HINSTANCE AppInstance();
void SetAppInstance(HINSTANCE instance);

// Null before the main window exists and after it is gone.
HWND MainWindow();
void SetMainWindow(HWND window);

#endif
