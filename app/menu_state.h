// Which items of the tray, editor and note menus are greyed.
#ifndef JOTWISE_APP_MENU_STATE_H
#define JOTWISE_APP_MENU_STATE_H

#include <windows.h>

// Applies the rule set of `window` (editor, main window or note) to `menu`.
void UpdateMenuState(HWND window, HMENU menu);

#endif
