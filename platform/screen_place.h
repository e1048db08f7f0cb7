// Keeps windows on a screen that exists: a monitor unplugged or a scaling
// changed since a place was stored must not leave a window out of reach.
#ifndef JOTWISE_PLATFORM_SCREEN_PLACE_H
#define JOTWISE_PLATFORM_SCREEN_PLACE_H

#include <windows.h>

// `rect` moved into `area` by the least distance, keeping its size where it
// fits and cut to the area where it does not.
RECT FitIntoArea(const RECT& rect, const RECT& area);

// When `rect` lies on no monitor, moves it into the work area of the nearest
// one and answers true; a rectangle on some monitor, even partly, stays.
bool BringOntoScreen(RECT* rect);

// The work area (the monitor less the taskbar and docked bars) of the
// monitor that holds the point, or of the nearest one.
RECT WorkAreaAt(POINT point);

// The work area of the monitor that shows the notification area, where the
// tray icon is clicked; the primary monitor's without a taskbar.
RECT TrayWorkArea();

// The work area of the monitor under the mouse pointer.
RECT PointerWorkArea();

// Puts `window` over the middle of `owner`, kept inside the work area of
// the owner's monitor, where the system's own dialogs stand.
void CentreOver(HWND window, HWND owner);

#endif
