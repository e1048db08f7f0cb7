#include "store/backup.h"

#include <cstring>
#include <cwchar>
#include <vector>

#include "store/store.h"

namespace
{

constexpr wchar_t kStoreKeyName[] = L"HKEY_CURRENT_USER\\Software\\KOVA\\Jotwise";
constexpr wchar_t kStorePath[] = L"Software\\KOVA\\Jotwise";
// Where the registry editor wraps long hex lines.
constexpr std::size_t kLineWidth = 76;

std::wstring Quoted(const std::wstring& text)
{
    std::wstring quoted = L"\"";
    for (wchar_t c : text) {
        if (c == L'\\' || c == L'"')
            quoted += L'\\';
        quoted += c;
    }
    return quoted + L'"';
}

// A text the quoted form gives back exactly: whole UTF-16 units, one
// terminator at the end, nothing that would break the line or the quotes'
// meaning. Anything else (line breaks, no terminator) goes as hex(1).
bool FitsQuotes(const std::vector<BYTE>& data, std::wstring* text)
{
    if (data.size() < sizeof(wchar_t) || data.size() % sizeof(wchar_t))
        return false;
    const std::size_t count = data.size() / sizeof(wchar_t) - 1;
    text->resize(count);
    std::memcpy(text->data(), data.data(), count * sizeof(wchar_t));
    wchar_t last = 0;
    std::memcpy(&last, data.data() + count * sizeof(wchar_t), sizeof(last));
    if (last != 0)
        return false;
    for (wchar_t c : *text) {
        if (c < L' ')
            return false;
    }
    return true;
}

void AppendHex(std::wstring* out, const std::wstring& head, const std::vector<BYTE>& data)
{
    std::size_t lineStart = out->size();
    *out += head;
    for (std::size_t i = 0; i < data.size(); ++i) {
        wchar_t byte[4];
        std::swprintf(byte, 4, L"%02x", data[i]);
        *out += byte;
        if (i + 1 == data.size())
            break;
        *out += L',';
        if (out->size() - lineStart > kLineWidth) {
            *out += L"\\\r\n  ";
            lineStart = out->size() - 2;
        }
    }
    *out += L"\r\n";
}

void AppendValue(std::wstring* out, const std::wstring& name, DWORD type, const std::vector<BYTE>& data)
{
    const std::wstring head = (name.empty() ? std::wstring(L"@") : Quoted(name)) + L'=';
    std::wstring text;
    if (type == REG_SZ && FitsQuotes(data, &text)) {
        *out += head + Quoted(text) + L"\r\n";
    } else if (type == REG_DWORD && data.size() == sizeof(DWORD)) {
        DWORD value = 0;
        std::memcpy(&value, data.data(), sizeof(value));
        wchar_t number[16];
        std::swprintf(number, 16, L"dword:%08lx", static_cast<unsigned long>(value));
        *out += head + number + L"\r\n";
    } else if (type == REG_BINARY) {
        AppendHex(out, head + L"hex:", data);
    } else {
        wchar_t prefix[24];
        std::swprintf(prefix, 24, L"hex(%lx):", static_cast<unsigned long>(type));
        AppendHex(out, head + prefix, data);
    }
}

void AppendKey(std::wstring* out, HKEY key, const std::wstring& keyName)
{
    *out += L"[" + keyName + L"]\r\n";
    DWORD subkeys = 0;
    DWORD longestSubkey = 0;
    DWORD values = 0;
    DWORD longestName = 0;
    DWORD largestData = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, &longestSubkey, nullptr, &values,
            &longestName, &largestData, nullptr, nullptr)
        != ERROR_SUCCESS) {
        *out += L"\r\n";
        return;
    }
    std::vector<wchar_t> name(longestName + 2);
    std::vector<BYTE> data(largestData + 2);
    for (DWORD index = 0; index < values; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD size = static_cast<DWORD>(data.size());
        DWORD type = 0;
        if (RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type, data.data(), &size)
            != ERROR_SUCCESS)
            continue;
        AppendValue(out, std::wstring(name.data(), nameLength), type,
            std::vector<BYTE>(data.begin(), data.begin() + size));
    }
    *out += L"\r\n";
    std::vector<wchar_t> subkey(longestSubkey + 2);
    for (DWORD index = 0; index < subkeys; ++index) {
        DWORD length = static_cast<DWORD>(subkey.size());
        if (RegEnumKeyExW(key, index, subkey.data(), &length, nullptr, nullptr, nullptr, nullptr)
            != ERROR_SUCCESS)
            continue;
        std::wstring child(subkey.data(), length);
        HKEY childKey = nullptr;
        if (RegOpenKeyExW(key, child.c_str(), 0, KEY_READ, &childKey) != ERROR_SUCCESS)
            continue;
        AppendKey(out, childKey, keyName + L'\\' + child);
        RegCloseKey(childKey);
    }
}

} // namespace

std::wstring FormatRegistryFile(HKEY key, const std::wstring& keyName)
{
    std::wstring out = L"Windows Registry Editor Version 5.00\r\n\r\n";
    AppendKey(&out, key, keyName);
    return out;
}

DWORD WriteBackupFile(const std::wstring& fileName)
{
    HKEY key = nullptr;
    LONG opened = RegOpenKeyExW(HKEY_CURRENT_USER, kStorePath, 0, KEY_READ, &key);
    if (opened != ERROR_SUCCESS)
        return static_cast<DWORD>(opened);
    std::wstring text = L"\xFEFF" + FormatRegistryFile(key, kStoreKeyName);
    RegCloseKey(key);

    // Written beside the target first, so a failure never leaves a half
    // file in place of a good backup.
    const std::wstring partial = fileName + L".partial";
    HANDLE file = CreateFileW(
        partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError();
    const auto size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    DWORD written = 0;
    BOOL ok
        = WriteFile(file, text.data(), size, &written, nullptr) && written == size && FlushFileBuffers(file);
    DWORD error = ok ? ERROR_SUCCESS : GetLastError();
    CloseHandle(file);
    if (ok
        && !MoveFileExW(
            partial.c_str(), fileName.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ok = FALSE;
        error = GetLastError();
    }
    if (!ok) {
        DeleteFileW(partial.c_str());
        return error ? error : ERROR_WRITE_FAULT;
    }
    return ERROR_SUCCESS;
}
