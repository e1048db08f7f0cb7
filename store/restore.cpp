#include "store/restore.h"

#include <algorithm>
#include <cstring>
#include <cwctype>

#include "store/backup.h"
#include "store/registry_key.h"

namespace
{

// Far beyond any store; keeps a wrong file from filling the memory.
constexpr LONGLONG kMaxFileSize = 64 * 1024 * 1024;
constexpr wchar_t kByteOrderMark = L'\xFEFF';

std::wstring_view TrimRight(std::wstring_view text)
{
    while (!text.empty() && (text.back() == L' ' || text.back() == L'\t' || text.back() == L'\r'))
        text.remove_suffix(1);
    return text;
}

std::wstring_view TrimLeft(std::wstring_view text)
{
    while (!text.empty() && (text.front() == L' ' || text.front() == L'\t'))
        text.remove_prefix(1);
    return text;
}

std::vector<std::wstring_view> SplitLines(std::wstring_view text)
{
    std::vector<std::wstring_view> lines;
    while (!text.empty()) {
        std::size_t end = text.find(L'\n');
        lines.push_back(TrimRight(text.substr(0, end)));
        text.remove_prefix(end == std::wstring_view::npos ? text.size() : end + 1);
    }
    return lines;
}

bool SameIgnoringCase(std::wstring_view a, std::wstring_view b)
{
    return a.size() == b.size()
        && CompareStringOrdinal(
               a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE)
        == CSTR_EQUAL;
}

// The path below the store key of a "[...]" key name, or false for a key
// elsewhere.
bool StorePathOf(std::wstring_view name, std::wstring* path)
{
    const std::wstring_view store = kStoreKeyName;
    if (name.size() < store.size() || !SameIgnoringCase(name.substr(0, store.size()), store))
        return false;
    std::wstring_view rest = name.substr(store.size());
    if (rest.empty()) {
        path->clear();
        return true;
    }
    if (rest.size() < 2 || rest[0] != L'\\')
        return false;
    path->assign(rest.substr(1));
    return true;
}

// A quoted text from `at` (the opening quote) with \\ and \" taken back;
// `at` moves past the closing quote.
bool Unquote(std::wstring_view line, std::size_t* at, std::wstring* text)
{
    if (*at >= line.size() || line[*at] != L'"')
        return false;
    text->clear();
    for (std::size_t i = *at + 1; i < line.size(); ++i) {
        if (line[i] == L'"') {
            *at = i + 1;
            return true;
        }
        if (line[i] == L'\\') {
            if (++i == line.size() || (line[i] != L'\\' && line[i] != L'"'))
                return false;
        }
        *text += line[i];
    }
    return false;
}

int HexDigit(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

// Hexadecimal digits only, at most `most` of them.
bool ParseHex(std::wstring_view digits, std::size_t most, unsigned long* value)
{
    if (digits.empty() || digits.size() > most)
        return false;
    *value = 0;
    for (wchar_t c : digits) {
        if (HexDigit(c) < 0)
            return false;
        *value = *value * 16 + static_cast<unsigned long>(HexDigit(c));
    }
    return true;
}

// "xx,xx,...": the bytes; nothing at all is no bytes.
bool ParseBytes(std::wstring_view list, std::vector<BYTE>* bytes)
{
    while (!list.empty()) {
        std::size_t comma = list.find(L',');
        unsigned long byte = 0;
        if (!ParseHex(TrimLeft(TrimRight(list.substr(0, comma))), 2, &byte))
            return false;
        bytes->push_back(static_cast<BYTE>(byte));
        if (comma == std::wstring_view::npos)
            break;
        list.remove_prefix(comma + 1);
        if (list.empty())
            return false;
    }
    return true;
}

BackupProblem ParseData(std::wstring_view data, RegistryValueImage* value)
{
    if (!data.empty() && data[0] == L'"') {
        std::size_t at = 0;
        std::wstring text;
        if (!Unquote(data, &at, &text) || at != data.size())
            return BackupProblem::kUnreadable;
        value->type = REG_SZ;
        value->data.resize((text.size() + 1) * sizeof(wchar_t));
        std::memcpy(value->data.data(), text.c_str(), value->data.size());
        return BackupProblem::kNone;
    }
    if (data.starts_with(L"dword:")) {
        unsigned long number = 0;
        if (!ParseHex(data.substr(6), 8, &number))
            return BackupProblem::kUnreadable;
        auto dword = static_cast<DWORD>(number);
        value->type = REG_DWORD;
        value->data.resize(sizeof(dword));
        std::memcpy(value->data.data(), &dword, sizeof(dword));
        return BackupProblem::kNone;
    }
    unsigned long type = REG_BINARY;
    std::size_t colon = data.find(L':');
    if (data.starts_with(L"hex(")) {
        std::size_t close = data.find(L')');
        if (close == std::wstring_view::npos || colon != close + 1
            || !ParseHex(data.substr(4, close - 4), 8, &type))
            return BackupProblem::kUnreadable;
    } else if (!data.starts_with(L"hex:")) {
        // "-" deletes the value; "qword:" and the like are of other types.
        return data == L"-" || colon != std::wstring_view::npos ? BackupProblem::kForeignValue
                                                                : BackupProblem::kUnreadable;
    }
    if (type != REG_SZ && type != REG_BINARY && type != REG_DWORD)
        return BackupProblem::kForeignValue;
    value->type = type;
    return ParseBytes(data.substr(colon + 1), &value->data) ? BackupProblem::kNone
                                                            : BackupProblem::kUnreadable;
}

// One value line, with the lines that continue it (a hex list ends each of
// them but the last with a backslash).
BackupProblem ParseValue(
    const std::vector<std::wstring_view>& lines, std::size_t* index, RegistryValueImage* value)
{
    std::wstring line(lines[*index]);
    std::size_t at = 0;
    if (line[0] == L'@') {
        at = 1;
    } else if (!Unquote(line, &at, &value->name)) {
        return BackupProblem::kUnreadable;
    }
    if (at >= line.size() || line[at] != L'=')
        return BackupProblem::kUnreadable;
    std::wstring data = line.substr(at + 1);
    if (data.starts_with(L"hex")) {
        while (!data.empty() && data.back() == L'\\' && *index + 1 < lines.size()) {
            data.pop_back();
            data += TrimLeft(lines[++*index]);
        }
    }
    return ParseData(data, value);
}

} // namespace

BackupImage ParseBackup(std::wstring_view text)
{
    BackupImage backup;
    std::vector<std::wstring_view> lines = SplitLines(text);
    if (lines.empty() || lines[0] != kRegistryFileHeader) {
        backup.problem = BackupProblem::kNotBackup;
        backup.line = 1;
        return backup;
    }
    for (std::size_t index = 1; index < lines.size() && backup.problem == BackupProblem::kNone; ++index) {
        std::wstring_view line = lines[index];
        backup.line = static_cast<int>(index + 1);
        if (line.empty() || line[0] == L';')
            continue;
        if (line[0] == L'[') {
            std::wstring path;
            if (line.back() != L']')
                backup.problem = BackupProblem::kUnreadable;
            else if (!StorePathOf(line.substr(1, line.size() - 2), &path))
                backup.problem = BackupProblem::kForeignKey;
            else
                backup.keys.push_back({path, {}});
            continue;
        }
        RegistryValueImage value;
        backup.problem = backup.keys.empty() ? BackupProblem::kUnreadable : ParseValue(lines, &index, &value);
        if (backup.problem == BackupProblem::kNone)
            backup.keys.back().values.push_back(std::move(value));
    }
    // Jotwise always writes the key itself; a file without it holds no store.
    bool hasStore = std::any_of(
        backup.keys.begin(), backup.keys.end(), [](const RegistryKeyImage& key) { return key.path.empty(); });
    if (backup.problem == BackupProblem::kNone && !hasStore) {
        backup.problem = BackupProblem::kNotBackup;
        backup.line = 1;
    } else if (backup.problem == BackupProblem::kNone) {
        backup.line = 0;
    }
    return backup;
}

DWORD ReadBackupFile(const std::wstring& fileName, BackupImage* backup)
{
    HANDLE file = CreateFileW(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError();
    LARGE_INTEGER size{};
    DWORD error = GetFileSizeEx(file, &size) ? ERROR_SUCCESS : GetLastError();
    if (error == ERROR_SUCCESS && size.QuadPart > kMaxFileSize)
        error = ERROR_FILE_TOO_LARGE;
    std::wstring text(
        static_cast<std::size_t>(error == ERROR_SUCCESS ? size.QuadPart : 0) / sizeof(wchar_t), L'\0');
    DWORD read = 0;
    const auto bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (error == ERROR_SUCCESS && !ReadFile(file, text.data(), bytes, &read, nullptr))
        error = GetLastError();
    CloseHandle(file);
    if (error != ERROR_SUCCESS)
        return error;
    text.resize(read / sizeof(wchar_t));
    if (text.empty() || text[0] != kByteOrderMark) {
        backup->problem = BackupProblem::kNotBackup;
        backup->line = 1;
        return ERROR_SUCCESS;
    }
    *backup = ParseBackup(std::wstring_view(text).substr(1));
    return ERROR_SUCCESS;
}

LONG ReplaceStore(const std::vector<RegistryKeyImage>& keys)
{
    LONG result = RegDeleteTreeW(HKEY_CURRENT_USER, kStorePath);
    if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND)
        return result;
    // The key itself is there even when the file gives only subkeys.
    std::vector<RegistryKeyImage> all(1);
    all.insert(all.end(), keys.begin(), keys.end());
    for (const RegistryKeyImage& image : all) {
        std::wstring path = kStorePath;
        if (!image.path.empty())
            path += L'\\' + image.path;
        HKEY key = nullptr;
        result = RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
            KEY_ALL_ACCESS, nullptr, &key, nullptr);
        if (result != ERROR_SUCCESS)
            return result;
        RegistryKey owner(key);
        for (const RegistryValueImage& value : image.values) {
            result = RegSetValueExW(key, value.name.c_str(), 0, value.type, value.data.data(),
                static_cast<DWORD>(value.data.size()));
            if (result != ERROR_SUCCESS)
                return result;
        }
    }
    return ERROR_SUCCESS;
}
