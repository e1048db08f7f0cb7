// The context menus that the tray, the notes and the editor share.
#ifndef JOTWISE_PLATFORM_POPUP_MENU_H
#define JOTWISE_PLATFORM_POPUP_MENU_H

#include <windows.h>

// Tracks the first submenu of menu `menuId` at the mouse position for
// `owner`; 1 when shown, 0 when the menu or submenu is missing.
int ShowPopupMenu(HWND owner, int menuId);

// Enables or greys the submenu, at any depth of `menu`, that holds the
// command `commandId`: a submenu is greyed by its position, not by command.
void EnableSubmenuOf(HMENU menu, UINT commandId, bool enabled);

#endif
