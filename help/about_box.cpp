// Placeholder until the About box is built.
#include "help/about_box.h"

INT_PTR CALLBACK AboutDialogProc(HWND, UINT, WPARAM, LPARAM) noexcept { return FALSE; }
void ShowAboutBox(HWND) {}
