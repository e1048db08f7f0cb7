// The recycle bin and the notes the store holds outside the note table.
//
// A deleted note's values move into an entry of HKCU\...\Jotwise\Deleted
// (one subkey per note, numbered in the order of deletion) under the names
// they had, beside the deletion time. Older programs never look there, so a
// store with a bin still loads in them.
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
    int id = 0;         // the ID its values are named by
    int binEntry = 0;   // its bin entry; 0 for a note of the main key
    NoteRecord image{}; // the 80 stored bytes; the run-time fields stay empty
    std::string text;   // code page 932
    FILETIME deletedAt{};
};

// Moves every value of note `id` from the main key into a new bin entry and
// drops the oldest entries beyond the bin's capacity. False (and nothing
// moved) when the main key holds no List<id>.
bool MoveNoteToBin(int id);

// Every note of the main key (any ID), and every note in the bin.
std::vector<StoredNote> ReadStoredNotes();
std::vector<StoredNote> ReadBinNotes();

// Puts a bin entry's values back into the main key under `id` (the record
// renamed to match) and removes the entry.
bool RestoreFromBin(int entry, int id);

bool DropBinEntry(int entry);
void EmptyBin();

#endif
