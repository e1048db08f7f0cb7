// The due-date dialog on the editor's copy of a note.
#ifndef JOTWISE_EDITOR_DUE_DIALOG_H
#define JOTWISE_EDITOR_DUE_DIALOG_H

#include <windows.h>

INT_PTR CALLBACK DueDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

#endif
