// Commands that act on every note at once.
#ifndef JOTWISE_LAYOUT_LAYOUT_COMMANDS_H
#define JOTWISE_LAYOUT_LAYOUT_COMMANDS_H

#include <windows.h>

void ShowAllNotes(int hide);
void ArrangeNotes(HWND owner);
void FitNoteSizes(int commandId);

// Column placement: given n note sizes and the screen height, writes the
// top-left corner of each (x[i], y[i]).
void ComputeArrangement(const SIZE* sizes, int count, int screenHeight, POINT* places);

#endif
