#include "platform/popup_menu.h"

#include "platform/program.h"

int ShowPopupMenu(HWND owner, int menuId)
{
    HMENU menu = LoadMenuW(AppInstance(), MAKEINTRESOURCEW(menuId));
    if (!menu)
        return 0;
    HMENU popup = GetSubMenu(menu, 0);
    if (!popup) {
        DestroyMenu(menu);
        return 0;
    }
    POINT point;
    GetCursorPos(&point);
    // A menu tracked for a window in the background does not close when the
    // user clicks elsewhere; the foreground switch and the WM_NULL after it
    // are the documented cure.
    SetForegroundWindow(owner);
    TrackPopupMenu(popup, 0, point.x, point.y, 0, owner, nullptr);
    PostMessageW(owner, WM_NULL, 0, 0);
    DestroyMenu(menu);
    return 1;
}

void EnableSubmenuOf(HMENU menu, UINT commandId, bool enabled)
{
    int count = menu ? GetMenuItemCount(menu) : 0;
    for (int index = 0; index < count; ++index) {
        HMENU submenu = GetSubMenu(menu, index);
        if (!submenu)
            continue;
        if (GetMenuState(submenu, commandId, MF_BYCOMMAND) == static_cast<UINT>(-1))
            continue;
        // The command may sit deeper, in a submenu of this one.
        bool direct = false;
        for (int item = 0; item < GetMenuItemCount(submenu) && !direct; ++item)
            direct = GetMenuItemID(submenu, item) == commandId;
        if (direct)
            EnableMenuItem(menu, index, MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED));
        else
            EnableSubmenuOf(submenu, commandId, enabled);
        return;
    }
}
