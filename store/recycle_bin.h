// The recycle bin and the notes the store holds outside the note table.
//
// A deleted note's values move into an entry of HKCU\...\Jotwise\Deleted
// (one subkey per deletion, named by a decimal number above every entry
// there, however many digits that takes) under the names they had, beside
// the deletion time. Older programs never look there, so a store with a bin
// still loads in them.
//
// Nothing is given up on the way: a note leaves the main key only once its
// copy in the bin is complete, and leaves the bin only once every copy back
// is. An entry a restore could not bring back whole (its name is not a
// number, it holds no record, or a record of the wrong type or size) is
// damaged: listed and deletable, never restored.
#ifndef JOTWISE_STORE_RECYCLE_BIN_H
#define JOTWISE_STORE_RECYCLE_BIN_H

#include <windows.h>

#include <string>
#include <vector>

#include "store/records.h"

constexpr const char kBinKey[] = "Jotwise\\Deleted";
constexpr wchar_t kBinTimeValue[] = L"DeletedTime";
constexpr int kBinCapacity = 100;

// A note as the store holds it.
struct StoredNote {
    int id = 0;            // the ID its values are named by
    std::wstring binEntry; // its bin entry's key name; empty for a note of the main key
    int entryNotes = 0;    // the notes of that entry, which are restored and deleted together
    bool damaged = false;  // the entry cannot be restored; its first note as far as it reads
    NoteRecord image{};    // the 80 stored bytes; the run-time fields stay empty
    std::string text;      // code page 932
    FILETIME deletedAt{};
};

// Moves every value of note `id` from the main key into a new bin entry and
// drops the oldest entries beyond the bin's capacity. ERROR_FILE_NOT_FOUND
// when the main key holds no List<id>; any other failure is the system's
// code, with the note still in the main key and no entry added.
LONG MoveNoteToBin(int id);

// Every note of the main key (any ID), and every note in the bin, oldest
// entry first; a damaged entry comes as one note marked damaged.
std::vector<StoredNote> ReadStoredNotes();
std::vector<StoredNote> ReadBinNotes();

// Puts every note of a bin entry back into the main key, the n-th as
// ReadBinNotes lists them under ids[n] (its record renamed to match), and
// then removes the entry. All or none: a damaged entry, a count of IDs that
// is not the entry's or an ID whose List<n> is taken fails, and so does any
// copy; the main key is then as it was and the entry stays.
LONG RestoreFromBin(const std::wstring& entry, const std::vector<int>& ids);

LONG DropBinEntry(const std::wstring& entry);
// Removes every entry, damaged ones included.
LONG EmptyBin();

#endif
