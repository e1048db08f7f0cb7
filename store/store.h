// Loading and saving everything Jotwise keeps, under
// HKEY_CURRENT_USER\Software\KOVA\Jotwise.
#ifndef JOTWISE_STORE_STORE_H
#define JOTWISE_STORE_STORE_H

#include <windows.h>

#include "store/records.h"

constexpr const char kStoreBase[] = "Software\\KOVA";
constexpr const char kStoreKey[] = "Jotwise";

// Reads the options, the default font and every stored note (creating their
// windows). Always 1.
int LoadStore(HWND owner);

// Puts the stored note `id` onto the desktop as the start-up load would;
// 1 when its window was created.
int LoadStoredNote(HWND owner, int id);

// Writes Version, Option and Font; a failure is reported once per run.
void SaveOptions();

// Writes List<id>, Memo<id>, Font<id> of the record; when it is marked
// deleted, moves them into the recycle bin instead. 0 without a record, and
// when the key could not be opened or a write failed (the user is told once
// per run).
int SaveNote(const NoteRecord* record);

// True when the store holds a List<id> value, loaded or not.
bool HasStoredNote(int id);

// Forms "<base><id>" (for example "List3").
void FormatValueName(char* buffer, int size, const char* base, int id);

#endif
