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
