// A stored font may name a face the system does not have: a Windows without
// the Japanese fonts, or a font removed since the note was written. Such a
// font paints in the nearest installed face that holds Japanese, while the
// program keeps, shows and stores the description it was given.
#ifndef JOTWISE_PLATFORM_STAND_IN_FONT_H
#define JOTWISE_PLATFORM_STAND_IN_FONT_H

#include <windows.h>

// True when the system has a font family of this name (never for an empty
// name).
bool IsFaceInstalled(const wchar_t* face);

// The font `wanted` describes; in a stand-in face when its own is not
// installed. Null when no font could be made.
HFONT CreateFontOrStandIn(const LOGFONTW& wanted);

// The description `font` was made from: for a stand-in the one it was asked
// for, for any other font its own. False when `font` is no font.
bool AskedFont(HFONT font, LOGFONTW* wanted);

#endif
