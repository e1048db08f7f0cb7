#include "store/registry_key.h"

#include <cstdlib>
#include <string>

RegistryKey::RegistryKey(const char* basePath, const char* subkey)
{
    std::string path = basePath ? basePath : "";
    if (subkey && subkey[0]) {
        path += '\\';
        path += subkey;
    }
    Open(HKEY_CURRENT_USER, path.c_str());
}

RegistryKey::~RegistryKey()
{
    if (key_) {
        RegCloseKey(key_);
        key_ = nullptr;
    }
}

HKEY RegistryKey::Open(HKEY root, const char* path)
{
    // A second Open must not leak the key held so far.
    if (key_) {
        RegCloseKey(key_);
        key_ = nullptr;
    }
    HKEY key = nullptr;
    error_ = RegCreateKeyExA(
        root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (error_ == ERROR_SUCCESS)
        key_ = key;
    return key_;
}

bool RegistryKey::WriteString(const char* name, const char* text)
{
    if (!key_ || !text)
        return false;
    auto size = static_cast<DWORD>(lstrlenA(text) + 1);
    return Written(RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), size));
}

bool RegistryKey::WriteBinary(const char* name, const void* data, DWORD size)
{
    if (!key_ || (!data && size))
        return false;
    return Written(RegSetValueExA(key_, name, 0, REG_BINARY, static_cast<const BYTE*>(data), size));
}

bool RegistryKey::Written(LONG result)
{
    if (result != ERROR_SUCCESS)
        error_ = result;
    return result == ERROR_SUCCESS;
}

bool RegistryKey::ReadBinary(const char* name, void* buffer, DWORD capacity)
{
    if (!key_ || !buffer)
        return false;
    // A value longer than the buffer fails with ERROR_MORE_DATA and so counts
    // as missing; a shorter one fills only the front.
    DWORD size = capacity;
    return RegQueryValueExA(key_, name, nullptr, nullptr, static_cast<BYTE*>(buffer), &size) == ERROR_SUCCESS;
}

DWORD RegistryKey::ReadString(const char* name, char* buffer, DWORD capacity)
{
    if (!key_)
        return 0;
    DWORD size = 0;
    if (RegQueryValueExA(key_, name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS || size == 0)
        return 0;
    // One byte more than stored, so that a value written without its
    // terminator still ends inside the block.
    auto* block = static_cast<char*>(std::malloc(static_cast<std::size_t>(size) + 1));
    if (!block)
        return 0;
    DWORD read = size;
    DWORD result = 0;
    if (RegQueryValueExA(key_, name, nullptr, nullptr, reinterpret_cast<BYTE*>(block), &read)
        == ERROR_SUCCESS) {
        block[read <= size ? read : size] = '\0';
        if (!buffer) {
            result = size;
        } else if (capacity > 0) {
            lstrcpynA(buffer, block, static_cast<int>(capacity));
            result = static_cast<DWORD>(lstrlenA(buffer));
        }
    }
    std::free(block);
    return result;
}

bool RegistryKey::DeleteValue(const char* name)
{
    if (!key_)
        return false;
    return RegDeleteValueA(key_, name) == ERROR_SUCCESS;
}
