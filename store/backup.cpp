#include "store/backup.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <vector>

#include "store/registry_key.h"

namespace
{

// Where the registry editor wraps long hex lines.
constexpr std::size_t kLineWidth = 76;
// Registry value names are at most 16,383 characters, key names 255.
constexpr DWORD kMaxValueNameLength = 16384;
constexpr DWORD kMaxKeyNameLength = 256;
constexpr std::size_t kFirstDataSize = 256;
// A value that keeps growing while it is read is given up after this.
constexpr int kReadTries = 8;
// A file held by another program is tried again for about two seconds.
constexpr int kHeldTries = 20;
constexpr DWORD kHeldPauseMs = 100;

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

bool HasControlCharacter(const std::wstring& name)
{
    return std::any_of(name.begin(), name.end(), [](wchar_t c) { return c < L' '; });
}

std::wstring Printable(std::wstring name)
{
    std::replace_if(
        name.begin(), name.end(), [](wchar_t c) { return c < L' '; }, L'?');
    return name;
}

// One value by index: its name, type and data, the buffer grown to fit.
LONG ReadValue(HKEY key, DWORD index, std::wstring* name, DWORD* type, std::vector<BYTE>* data)
{
    std::vector<wchar_t> nameBuffer(kMaxValueNameLength);
    for (int attempt = 0; attempt < kReadTries; ++attempt) {
        DWORD nameLength = kMaxValueNameLength;
        auto size = static_cast<DWORD>(data->size());
        LONG result
            = RegEnumValueW(key, index, nameBuffer.data(), &nameLength, nullptr, type, data->data(), &size);
        if (result == ERROR_MORE_DATA) {
            data->resize(std::max<std::size_t>(size, data->size() * 2));
            continue;
        }
        if (result == ERROR_SUCCESS) {
            name->assign(nameBuffer.data(), nameLength);
            data->resize(size);
        }
        return result;
    }
    return ERROR_MORE_DATA;
}

DWORD AppendKey(std::wstring* out, HKEY key, const std::wstring& keyName, std::wstring* problem)
{
    if (HasControlCharacter(keyName)) {
        *problem = Printable(keyName);
        return ERROR_INVALID_NAME;
    }
    *out += L"[" + keyName + L"]\r\n";
    for (DWORD index = 0;; ++index) {
        std::wstring name;
        DWORD type = 0;
        std::vector<BYTE> data(kFirstDataSize);
        LONG result = ReadValue(key, index, &name, &type, &data);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS)
            return static_cast<DWORD>(result);
        if (HasControlCharacter(name)) {
            *problem = keyName + L" : " + Printable(name);
            return ERROR_INVALID_NAME;
        }
        AppendValue(out, name, type, data);
    }
    *out += L"\r\n";
    wchar_t subkey[kMaxKeyNameLength];
    for (DWORD index = 0;; ++index) {
        DWORD length = kMaxKeyNameLength;
        LONG result = RegEnumKeyExW(key, index, subkey, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS)
            return static_cast<DWORD>(result);
        std::wstring child(subkey, length);
        HKEY childKey = nullptr;
        result = RegOpenKeyExW(key, child.c_str(), 0, KEY_READ, &childKey);
        if (result != ERROR_SUCCESS)
            return static_cast<DWORD>(result);
        RegistryKey owner(childKey);
        DWORD error = AppendKey(out, childKey, keyName + L'\\' + child, problem);
        if (error != ERROR_SUCCESS)
            return error;
    }
    return ERROR_SUCCESS;
}

bool IsHeldByAnother(DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
}

// Runs `step` until it succeeds or fails for a reason other than a file
// another program (a virus scanner, a sync client) holds for a moment.
template <typename Step> DWORD Retrying(Step step)
{
    for (int attempt = 1;; ++attempt) {
        if (step())
            return ERROR_SUCCESS;
        DWORD error = GetLastError();
        if (!IsHeldByAnother(error) || attempt == kHeldTries)
            return error ? error : ERROR_WRITE_FAULT;
        Sleep(kHeldPauseMs);
    }
}

DWORD WriteWhole(HANDLE file, const std::wstring& text)
{
    const auto size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    DWORD written = 0;
    if (!WriteFile(file, text.data(), size, &written, nullptr) || !FlushFileBuffers(file))
        return GetLastError();
    return written == size ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
}

} // namespace

DWORD FormatRegistryFile(HKEY key, const std::wstring& keyName, std::wstring* text, std::wstring* problem)
{
    std::wstring out = std::wstring(kRegistryFileHeader) + L"\r\n\r\n";
    DWORD error = AppendKey(&out, key, keyName, problem);
    if (error == ERROR_SUCCESS)
        *text = std::move(out);
    return error;
}

DWORD WriteBackupFile(const std::wstring& fileName, std::wstring* problem)
{
    HKEY key = nullptr;
    LONG opened = RegOpenKeyExW(HKEY_CURRENT_USER, kStorePath, 0, KEY_READ, &key);
    if (opened != ERROR_SUCCESS)
        return static_cast<DWORD>(opened);
    RegistryKey owner(key);
    std::wstring text;
    DWORD error = FormatRegistryFile(key, kStoreKeyName, &text, problem);
    if (error != ERROR_SUCCESS)
        return error;
    text.insert(text.begin(), L'\xFEFF');

    // Written beside the target first, under a name of its own, so that a
    // failure never leaves a half file in place of a good backup.
    std::size_t slash = fileName.find_last_of(L"\\/");
    std::wstring folder = slash == std::wstring::npos ? std::wstring(L".") : fileName.substr(0, slash + 1);
    wchar_t partial[MAX_PATH] = {};
    if (!GetTempFileNameW(folder.c_str(), L"jw", 0, partial))
        return GetLastError();
    HANDLE file = INVALID_HANDLE_VALUE;
    error = Retrying([&] {
        file = CreateFileW(partial, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        return file != INVALID_HANDLE_VALUE;
    });
    if (error == ERROR_SUCCESS) {
        error = WriteWhole(file, text);
        CloseHandle(file);
    }
    if (error == ERROR_SUCCESS) {
        error = Retrying([&] {
            return MoveFileExW(partial, fileName.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        });
    }
    if (error != ERROR_SUCCESS)
        DeleteFileW(partial);
    return error;
}
