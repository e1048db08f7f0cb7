// The About box.
#ifndef JOTWISE_HELP_ABOUT_BOX_H
#define JOTWISE_HELP_ABOUT_BOX_H

#include <windows.h>

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
void ShowAboutBox(HWND owner);

#endif
