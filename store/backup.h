// The whole store as a Windows registry file, which the system's registry
// editor imports back value for value, byte for byte.
#ifndef JOTWISE_STORE_BACKUP_H
#define JOTWISE_STORE_BACKUP_H

#include <windows.h>

#include <string>

// The registry file text (without its byte-order mark) of a key and every
// subkey under it; `keyName` is the full name the file gives the key, for
// example L"HKEY_CURRENT_USER\\Software\\KOVA\\Jotwise".
std::wstring FormatRegistryFile(HKEY key, const std::wstring& keyName);

// Writes the store to `fileName` as UTF-16LE with a byte-order mark. A file
// already there is replaced only once the new one is complete. The system's
// error code, ERROR_SUCCESS when written.
DWORD WriteBackupFile(const std::wstring& fileName);

#endif
