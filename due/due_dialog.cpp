// Placeholder until the due-date dialog is built.
#include "due/due_dialog.h"

INT_PTR CALLBACK DueDialogProc(HWND, UINT, WPARAM, LPARAM) noexcept { return FALSE; }
