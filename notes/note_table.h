// The table of note windows and reserved IDs; creating and closing notes.
#ifndef JOTWISE_NOTES_NOTE_TABLE_H
#define JOTWISE_NOTES_NOTE_TABLE_H

#include <windows.h>

#include <vector>

#include "store/records.h"

// Lowest empty slot, or -1 (message 8002 first when `report` is set).
int FindFreeNoteSlot(HWND owner, int report);

// Creates a note window from a copy of `source`; 1 on success.
int CreateNoteWindow(HWND owner, const NoteRecord* source, const LOGFONTA* font);

// Gives the record a random free place inside `area` (the tray monitor's
// work area when null) and the lowest free ID.
void PlaceNewNote(NoteRecord* record, const RECT* area = nullptr);

// The lowest ID from 1 to 127 that no note holds or the store kept, or a
// fallback when the marking table cannot be allocated.
int ChooseFreeNoteId(int fallback);

// Up to `count` IDs from 1 to 127, lowest first, that no note holds and
// the store did not keep: IDs the loader reads back at the next start.
std::vector<int> FreeLoadableNoteIds(int count);

// True when `id` is neither reserved in this run nor kept by the store.
bool IsNoteIdFree(int id);

int IsPointOnNote(int x, int y);

// Moves the record into the work area of the monitor that holds its
// top-left corner, one correction per axis.
void ClampToScreen(NoteRecord* record);
void ClampToArea(NoteRecord* record, const RECT& area);

int DuplicateNote(HWND noteWindow);

// Saves every open note with its window's current place and size.
void SaveAllNotes();

// Saves (or deletes) the note and tears its window down.
void CloseNote(HWND noteWindow);

// Releases the text, font and brush a record copy owns. Text blocks are
// always malloc'd, by every module, so that any owner can free them.
void ReleaseNoteResources(NoteRecord* record);

// A zero-filled record of a note window, and its release (resources too).
NoteRecord* NewNoteRecord();
void DeleteNoteRecord(NoteRecord* record);

#endif
