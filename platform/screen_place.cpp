#include "platform/screen_place.h"

namespace
{

// One axis: the start and length within [low, high).
void FitAxis(LONG* start, LONG* length, LONG low, LONG high)
{
    if (*length > high - low)
        *length = high - low;
    if (*start < low)
        *start = low;
    if (*start + *length > high)
        *start = high - *length;
}

} // namespace

RECT FitIntoArea(const RECT& rect, const RECT& area)
{
    LONG left = rect.left;
    LONG top = rect.top;
    LONG width = rect.right - rect.left;
    LONG height = rect.bottom - rect.top;
    FitAxis(&left, &width, area.left, area.right);
    FitAxis(&top, &height, area.top, area.bottom);
    return {left, top, left + width, top + height};
}

bool BringOntoScreen(RECT* rect)
{
    if (!rect || MonitorFromRect(rect, MONITOR_DEFAULTTONULL))
        return false;
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    HMONITOR nearest = MonitorFromRect(rect, MONITOR_DEFAULTTONEAREST);
    if (!nearest || !GetMonitorInfoW(nearest, &info))
        return false;
    *rect = FitIntoArea(*rect, info.rcWork);
    return true;
}

namespace
{

RECT WorkAreaOf(HMONITOR monitor)
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (monitor && GetMonitorInfoW(monitor, &info))
        return info.rcWork;
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

} // namespace

RECT WorkAreaAt(POINT point)
{
    return WorkAreaOf(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST));
}

RECT TrayWorkArea()
{
    // The notification area lives in the taskbar, on whichever monitor the
    // user docked it.
    HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
    if (taskbar)
        return WorkAreaOf(MonitorFromWindow(taskbar, MONITOR_DEFAULTTOPRIMARY));
    return WorkAreaOf(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY));
}

RECT PointerWorkArea()
{
    POINT pointer = {};
    GetCursorPos(&pointer);
    return WorkAreaAt(pointer);
}

void CentreOver(HWND window, HWND owner)
{
    RECT own;
    RECT over;
    if (!GetWindowRect(window, &own) || !GetWindowRect(owner, &over))
        return;
    const LONG width = own.right - own.left;
    const LONG height = own.bottom - own.top;
    const POINT middle = {(over.left + over.right) / 2, (over.top + over.bottom) / 2};
    const RECT centred = {middle.x - width / 2, middle.y - height / 2, middle.x - width / 2 + width,
        middle.y - height / 2 + height};
    const RECT place = FitIntoArea(centred, WorkAreaAt(middle));
    SetWindowPos(window, nullptr, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
