// The options page "拡張": due reminders, see-through notes and the
// new-note hotkey.
#ifndef JOTWISE_OPTIONS_EXTRA_PAGE_H
#define JOTWISE_OPTIONS_EXTRA_PAGE_H

#include <windows.h>

#include "store/extra_settings.h"

// The page as a child of the options dialog, editing `working`, which must
// outlive it.
HWND CreateExtraPage(HWND dialog, ExtraSettings* working);
void FillExtraPage(HWND page, const ExtraSettings& settings);
void ReadExtraPage(HWND page, ExtraSettings* settings);

// Gives a page the tab control's own background, so that the pages and the
// tab look like one piece on a themed system (nothing happens without
// themes).
void ThemePageBackground(HWND page);

// Puts confirmed settings into effect: the notes' opacity, the hotkey.
void ApplyExtraSettings(HWND mainWindow, const ExtraSettings& before, const ExtraSettings& after);

#endif
