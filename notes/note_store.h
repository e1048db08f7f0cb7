// The store as the running program uses it: loading fills AppState and
// creates the notes; saving keeps AppState's table of stored IDs in step,
// tells the note list and reports a failed write once per run.
#ifndef JOTWISE_NOTES_NOTE_STORE_H
#define JOTWISE_NOTES_NOTE_STORE_H

#include <windows.h>

#include <string>
#include <vector>

#include "store/records.h"
#include "store/store.h"

// Posted to the main window when a write to the store failed; wParam is the
// system's error code.
constexpr UINT WM_SAVEFAILED = WM_APP + 324;

// Reads the options, the extra settings, the default font and every stored
// note, handing each note to `handler`. Always 1.
int LoadStore(HWND owner, StoredNoteHandler handler);

// Reads the stored note `id` as the start-up load would and hands it to
// `handler`; 1 when the handler took it.
int LoadStoredNote(HWND owner, int id, StoredNoteHandler handler);

// Writes Version, Option and Font; a failure is reported once per run.
void SaveOptions();

// Writes the note's values, or moves them into the recycle bin when it is
// marked deleted (its ID may then be given out again). 0 without a record,
// and when the key could not be opened or a write failed (the user is told
// once per run).
int SaveNote(const NoteRecord* record);

// Writes only Topmost<id> (removed when the note is not topmost).
void SaveNoteTopmost(const NoteRecord* record);

// The recycle bin's moves, with the table of stored IDs kept in step: a
// note moved into the bin frees its ID, a restored one holds it. A move
// that failed leaves the note where it was and is reported once per run.
bool BinStoredNote(int id);
// Brings back every note of a bin entry, the n-th under ids[n]; true when
// they are all in the main key.
bool RestoreNotesFromBin(const std::wstring& entry, const std::vector<int>& ids);

// A write to the store failed (`error` is the system's code). The user is
// told once per run, by a box the main window shows when it next looks at
// its queue: the failure may come from inside a drag, a close or a logoff.
void ReportSaveFailure(LONG error);

#endif
