#include "store/registry_key.h"

#include <string>
#include <vector>

#include "platform/wide_text.h"

namespace
{

// A text value as CP932 bytes, terminator left off. Strings are converted
// from UTF-16 with code page 932, so the store reads the same on every
// Windows; a value of another type is taken byte for byte as before.
bool QueryText(HKEY key, const char* name, std::string* text)
{
    std::wstring wideName = WideFromNote(name ? name : "");
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key, wideName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS || size == 0)
        return false;
    // Room for a terminator the stored value may lack.
    std::vector<BYTE> block(static_cast<std::size_t>(size) + sizeof(wchar_t), 0);
    DWORD read = size;
    if (RegQueryValueExW(key, wideName.c_str(), nullptr, &type, block.data(), &read) != ERROR_SUCCESS)
        return false;
    if (read > size)
        read = size;
    if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ) {
        std::wstring_view wide(reinterpret_cast<const wchar_t*>(block.data()), read / sizeof(wchar_t));
        *text = NoteFromWide(wide.substr(0, wide.find(L'\0')));
    } else {
        std::string_view bytes(reinterpret_cast<const char*>(block.data()), read);
        *text = std::string(bytes.substr(0, bytes.find('\0')));
    }
    return true;
}

} // namespace

#include "platform/wide_text.h"

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
    error_ = RegCreateKeyExW(root, WideFromNote(path ? path : "").c_str(), 0, nullptr,
        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (error_ == ERROR_SUCCESS)
        key_ = key;
    return key_;
}

bool RegistryKey::WriteString(const char* name, const char* text)
{
    if (!key_ || !text)
        return false;
    std::wstring wide = WideFromNote(text);
    auto size = static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t));
    return Written(RegSetValueExW(key_, WideFromNote(name ? name : "").c_str(), 0, REG_SZ,
        reinterpret_cast<const BYTE*>(wide.c_str()), size));
}

bool RegistryKey::WriteBinary(const char* name, const void* data, DWORD size)
{
    if (!key_ || (!data && size))
        return false;
    return Written(RegSetValueExW(
        key_, WideFromNote(name ? name : "").c_str(), 0, REG_BINARY, static_cast<const BYTE*>(data), size));
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
    return RegQueryValueExW(key_, WideFromNote(name ? name : "").c_str(), nullptr, nullptr,
               static_cast<BYTE*>(buffer), &size)
        == ERROR_SUCCESS;
}

DWORD RegistryKey::ReadString(const char* name, char* buffer, DWORD capacity)
{
    std::string text;
    if (!key_ || !QueryText(key_, name, &text) || text.empty())
        return 0;
    if (!buffer)
        return static_cast<DWORD>(text.size() + 1);
    if (capacity == 0)
        return 0;
    return static_cast<DWORD>(CopyNoteText(text, buffer, static_cast<int>(capacity)));
}

bool RegistryKey::DeleteValue(const char* name)
{
    if (!key_)
        return false;
    return RegDeleteValueW(key_, WideFromNote(name ? name : "").c_str()) == ERROR_SUCCESS;
}

bool RegistryKey::ReadDword(const char* name, DWORD* value)
{
    if (!key_ || !value)
        return false;
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof(data);
    std::wstring wideName = WideFromNote(name);
    if (RegQueryValueExW(key_, wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data), &size)
            != ERROR_SUCCESS
        || type != REG_DWORD || size != sizeof(data))
        return false;
    *value = data;
    return true;
}

bool RegistryKey::WriteDword(const char* name, DWORD value)
{
    if (!key_)
        return false;
    std::wstring wideName = WideFromNote(name);
    return Written(RegSetValueExW(
        key_, wideName.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value)));
}
