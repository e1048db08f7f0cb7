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

#endif
