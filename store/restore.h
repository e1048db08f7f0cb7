// A backup read back: the registry file Jotwise writes, taken only when it
// holds nothing but the store key, its subkeys and values of the kinds
// Jotwise writes, and the store replaced by what it holds.
#ifndef JOTWISE_STORE_RESTORE_H
#define JOTWISE_STORE_RESTORE_H

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

struct RegistryValueImage {
    std::wstring name; // empty for the key's default value
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

struct RegistryKeyImage {
    std::wstring path; // below the store key; empty for the key itself
    std::vector<RegistryValueImage> values;
};

enum class BackupProblem {
    kNone,
    kNotBackup,    // no registry file header, or no store key
    kForeignKey,   // a key outside the store, or one to delete
    kForeignValue, // a value of a type Jotwise never writes, or one to delete
    kUnreadable,   // a line that is none of the above
};

struct BackupImage {
    BackupProblem problem = BackupProblem::kNone;
    int line = 0; // 1-based, of the problem
    std::vector<RegistryKeyImage> keys;
};

// Reads registry file text (after its byte-order mark).
BackupImage ParseBackup(std::wstring_view text);

// Reads a file written by WriteBackupFile: UTF-16LE with a byte-order mark
// (without one it is not a backup). The system's code when the file cannot
// be read.
DWORD ReadBackupFile(const std::wstring& fileName, BackupImage* backup);

// Deletes the store key with everything under it and writes `keys` in its
// place. The system's code for the first failure; the key is then left as
// far as it got.
LONG ReplaceStore(const std::vector<RegistryKeyImage>& keys);

#endif
