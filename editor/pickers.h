// The colour and font choosers.
#ifndef JOTWISE_EDITOR_PICKERS_H
#define JOTWISE_EDITOR_PICKERS_H

#include <windows.h>

int PickColour(HWND owner, COLORREF* colour);
int PickFont(HWND owner, LOGFONTA* font, COLORREF* colour);

// The process-wide custom colours of the colour chooser.
COLORREF* CustomColours();
// Marks the custom colours unfilled, as at start-up, so that the next
// PickColour fills them again (for tests).
void ResetCustomColours();

#endif
