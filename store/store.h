// Loading and saving everything Jotwise keeps, under
// HKEY_CURRENT_USER\Software\KOVA\Jotwise.
#ifndef JOTWISE_STORE_STORE_H
#define JOTWISE_STORE_STORE_H

#include <windows.h>

#include <cstdint>

#include "store/records.h"

constexpr const char kStoreBase[] = "Software\\KOVA";
constexpr const char kStoreKey[] = "Jotwise";

// IDs the loader reads back: 0 to 127.
constexpr int kMaxStoredId = 127;
// The longest note text, in bytes, that loading takes back. Far beyond any
// note; keeps the size arithmetic clear of overflow.
constexpr DWORD kMaxTextSize = 0x1000000;

// Takes one note read from the store (the record and font are the loader's
// scratch copies); 0 stops the loading of further notes, which are then
// only counted.
using StoredNoteHandler = int (*)(HWND owner, const NoteRecord* record, const LOGFONTA* font);

// A height no font dialog gives (another tool, a damaged store) would hang
// the start while the font is made and measured: such a font gets `height`
// in memory. True when that was needed.
bool MendFontHeight(LOGFONTA* font, LONG height);

// Reads the options and the default font; a missing value takes its
// default. A stored font of an impossible height is given the default
// font's height in memory, and `keepStoredFont` says so: it must not be
// written back until the user picks a font.
void ReadStoredOptions(Options* options, LOGFONTA* font, bool* keepStoredFont);

// Hands every stored note with an ID from 0 to kMaxStoredId to `handler`,
// a note's impossible font height mended to `defaultHeight`. Marks in
// `storedIds` (kMaxStoredId + 1 flags) every ID that has a List<n> value,
// loaded or not.
void LoadNotesFromStore(HWND owner, StoredNoteHandler handler, LONG defaultHeight, std::uint8_t* storedIds);

// Reads the stored note `id` as the start-up load would and hands it to
// `handler`; 1 when the handler took it.
int LoadNoteFromStore(HWND owner, int id, StoredNoteHandler handler, LONG defaultHeight);

// Writes Version, Option and, when given, Font. The system's code for the
// first write that failed, ERROR_SUCCESS when all were written.
LONG WriteOptions(const Options& options, const LOGFONTA* font);

// Writes List<id>, Memo<id>, Font<id>, Topmost<id>, Repeat<id> and
// Snooze<id> of the record; when
// it is marked deleted, moves every value of the note into the recycle bin
// instead. The system's code for a write that failed, ERROR_SUCCESS when
// everything was written, ERROR_INVALID_PARAMETER without a record.
LONG WriteNote(const NoteRecord* record);

// Writes only Topmost<id> (removed when the note is not topmost).
void WriteNoteTopmost(const NoteRecord* record);

// True when the store holds a List<id> value, loaded or not.
bool HasStoredNote(int id);

// Forms "<base><id>" (for example "List3").
void FormatValueName(char* buffer, int size, const char* base, int id);

#endif
