// The editor's unsaved state, kept over a logoff in values of its own
// (Draft*) beside the notes, and taken back at the next start.
#ifndef JOTWISE_STORE_DRAFT_H
#define JOTWISE_STORE_DRAFT_H

#include <windows.h>

#include <string>

#include "store/records.h"

struct Draft {
    NoteRecord note; // the stored image (colours, times, place, ID) and the repeat
    LOGFONTA font;
    std::wstring text; // as the editor holds it, tabs and all
    bool isNew;
};

// Writes the draft; the system's code for the first value that could not
// be written, ERROR_SUCCESS when all were.
LONG SaveDraft(const Draft& draft);

// Reads a stored draft; false when there is none or any part of it is
// missing or malformed, so a draft is used whole or not at all. A font of
// an impossible height gets `defaultHeight`, as a stored note's does.
bool ReadDraft(Draft* draft, LONG defaultHeight);

void DeleteDraft();

#endif
