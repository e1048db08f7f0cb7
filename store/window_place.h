// Where a window of Jotwise was last, kept beside the notes.
#ifndef JOTWISE_STORE_WINDOW_PLACE_H
#define JOTWISE_STORE_WINDOW_PLACE_H

#include <windows.h>

// False when nothing (or nothing usable) is stored under `name`.
bool ReadWindowPlace(const wchar_t* name, RECT* place);
void SaveWindowPlace(const wchar_t* name, const RECT& place);

#endif
