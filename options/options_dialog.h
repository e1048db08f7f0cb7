// The two-page options dialog.
#ifndef JOTWISE_OPTIONS_OPTIONS_DIALOG_H
#define JOTWISE_OPTIONS_OPTIONS_DIALOG_H

#include <windows.h>

int ShowOptionsDialog(HWND owner);
void RestyleNoteBorders();

#endif
