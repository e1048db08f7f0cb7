// Loading and saving everything Jotwise keeps, under
// HKEY_CURRENT_USER\Software\KOVA\Jotwise.
#ifndef JOTWISE_STORE_STORE_H
#define JOTWISE_STORE_STORE_H

#include <windows.h>

#include "store/records.h"

constexpr const char kStoreBase[] = "Software\\KOVA";
constexpr const char kStoreKey[] = "Jotwise";

// Takes one note read from the store (the record and font are the loader's
// scratch copies); 0 stops the loading of further notes, which are then
// only counted.
using StoredNoteHandler = int (*)(HWND owner, const NoteRecord* record, const LOGFONTA* font);

// Reads the options, the default font and every stored note, handing each
// note to `handler`. Always 1.
int LoadStore(HWND owner, StoredNoteHandler handler);

// Reads the stored note `id` as the start-up load would and hands it to
// `handler`; 1 when the handler took it.
int LoadStoredNote(HWND owner, int id, StoredNoteHandler handler);

// Writes Version, Option and Font; a failure is reported once per run.
void SaveOptions();

// Writes List<id>, Memo<id>, Font<id> and Topmost<id> of the record; when
// it is marked deleted, moves every value of the note into the recycle bin
// instead. 0 without a record, and when the key could not be opened or a
// write failed (the user is told once per run).
int SaveNote(const NoteRecord* record);

// Writes only Topmost<id> (removed when the note is not topmost).
void SaveNoteTopmost(const NoteRecord* record);

// True when the store holds a List<id> value, loaded or not.
bool HasStoredNote(int id);

// Forms "<base><id>" (for example "List3").
void FormatValueName(char* buffer, int size, const char* base, int id);

#endif
