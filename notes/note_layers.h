// Where a note sits among other windows and how much of them shows through
// it: always on top, and the see-through look with its opaque hover.
#ifndef JOTWISE_NOTES_NOTE_LAYERS_H
#define JOTWISE_NOTES_NOTE_LAYERS_H

#include <windows.h>

// The extended style a note is created with under the record's topmost
// flag and the program's opacity.
DWORD NoteExStyle(DWORD base, bool topmost);

// Makes the note topmost or not, keeps the flag in its record and stores it.
void SetNoteTopmost(HWND note, bool topmost);

// The z-order anchor for a note that is brought up with the others: a
// topmost note must not drop out of the topmost band.
HWND NoteZOrderAnchor(HWND note);

// Applies the program's opacity to the note (fully opaque while `hovered`).
// At 100 % the note is not layered at all.
void ApplyNoteOpacity(HWND note, bool hovered);
void ApplyOpacityToAllNotes();

// The pointer entered (true) or left (false) the note.
void OnNoteHover(HWND note, bool inside);

#endif
