// A window class of its own for a modeless dialog, named in its template
// (CLASS "..."), so that the program's other code never takes the window
// for a message box or another dialog.
#ifndef JOTWISE_PLATFORM_DIALOG_CLASS_H
#define JOTWISE_PLATFORM_DIALOG_CLASS_H

#include <windows.h>

// Registers the class once; true when it exists.
bool RegisterDialogClass(const wchar_t* className);

#endif
