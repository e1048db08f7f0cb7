// The whole store as a Windows registry file, which the system's registry
// editor imports back value for value, byte for byte.
#ifndef JOTWISE_STORE_BACKUP_H
#define JOTWISE_STORE_BACKUP_H

#include <windows.h>

#include <string>

// The store key as a registry file names it, and below HKEY_CURRENT_USER.
constexpr wchar_t kStoreKeyName[] = L"HKEY_CURRENT_USER\\Software\\KOVA\\Jotwise";
constexpr wchar_t kStorePath[] = L"Software\\KOVA\\Jotwise";
constexpr wchar_t kRegistryFileHeader[] = L"Windows Registry Editor Version 5.00";

// The registry file text (without its byte-order mark) of a key and every
// subkey under it into `text`; `keyName` is the full name the file gives
// the key, for example kStoreKeyName. A key or value that cannot be opened
// or read fails it with the system's code. So does a key or value name
// holding a control character (a line break, a tab), which the registry
// editor would not read back: ERROR_INVALID_NAME, and `problem` gives the
// name, control characters shown as '?'.
DWORD FormatRegistryFile(HKEY key, const std::wstring& keyName, std::wstring* text, std::wstring* problem);

// Writes the store to `fileName` as UTF-16LE with a byte-order mark. A file
// already there is replaced only once the new one is complete; one that
// another program holds for a moment is waited for. The system's error
// code, ERROR_SUCCESS when written; `problem` as for FormatRegistryFile.
DWORD WriteBackupFile(const std::wstring& fileName, std::wstring* problem);

#endif
