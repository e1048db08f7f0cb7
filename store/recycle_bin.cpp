#include "store/recycle_bin.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "store/note_values.h"
#include "store/registry_key.h"
#include "store/store.h"

namespace
{

constexpr std::size_t kIdOffset = offsetof(NoteRecord, id);
// Registry value names are at most 16,383 characters.
constexpr DWORD kMaxNameLength = 16384;

// Value bases are plain ASCII.
std::wstring ValueName(const char* base, int id)
{
    return std::wstring(base, base + std::strlen(base)) + std::to_wstring(id);
}

std::string EntryPath(int entry)
{
    char path[64];
    std::snprintf(path, sizeof(path), "%s\\%d", kBinKey, entry);
    return path;
}

// "<prefix><decimal>" with nothing else: the number; otherwise -1.
int NumberAfter(const wchar_t* name, const wchar_t* prefix)
{
    std::size_t length = std::wcslen(prefix);
    if (std::wcsncmp(name, prefix, length) != 0)
        return -1;
    const wchar_t* digits = name + length;
    if (!*digits || std::wcslen(digits) > 9)
        return -1;
    for (const wchar_t* c = digits; *c; ++c) {
        if (*c < L'0' || *c > L'9')
            return -1;
    }
    // "List03" would name no note: the store writes IDs without zeros.
    if (digits[0] == L'0' && digits[1])
        return -1;
    return static_cast<int>(std::wcstol(digits, nullptr, 10));
}

// Copies one value with its type and bytes exactly. The W calls keep a text
// value as the registry holds it, whatever the system's code page.
bool CopyValue(HKEY from, const std::wstring& fromName, HKEY to, const std::wstring& toName, int newId = -1)
{
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(from, fromName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return false;
    std::vector<BYTE> data(size);
    if (RegQueryValueExW(from, fromName.c_str(), nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
        return false;
    data.resize(size);
    if (newId >= 0 && data.size() >= kIdOffset + sizeof(std::int32_t)) {
        auto id = static_cast<std::int32_t>(newId);
        std::memcpy(data.data() + kIdOffset, &id, sizeof(id));
    }
    return RegSetValueExW(to, toName.c_str(), 0, type, data.data(), size) == ERROR_SUCCESS;
}

std::vector<int> BinEntries(HKEY bin)
{
    std::vector<int> entries;
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof(name) / sizeof(name[0]);
        LONG result = RegEnumKeyExW(bin, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS)
            continue;
        int entry = NumberAfter(name, L"");
        if (entry > 0)
            entries.push_back(entry);
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

// The IDs named by the List<n> values of a key.
std::vector<int> ListedIds(HKEY key)
{
    std::vector<int> ids;
    std::vector<wchar_t> name(kMaxNameLength);
    for (DWORD index = 0;; ++index) {
        DWORD length = kMaxNameLength;
        LONG result = RegEnumValueW(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS)
            continue;
        int id = NumberAfter(name.data(), L"List");
        if (id >= 0)
            ids.push_back(id);
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

bool ReadNote(RegistryKey& key, int id, StoredNote* note)
{
    char name[32];
    FormatValueName(name, sizeof(name), "List", id);
    if (!key.ReadBinary(name, &note->image, kNoteImageSize))
        return false;
    note->id = id;
    FormatValueName(name, sizeof(name), "Memo", id);
    DWORD size = key.ReadString(name, nullptr, 0);
    if (size > 0) {
        note->text.assign(size + 1, '\0');
        DWORD length = key.ReadString(name, note->text.data(), size + 1);
        note->text.resize(length);
    }
    return true;
}

void DropOldest(HKEY bin)
{
    std::vector<int> entries = BinEntries(bin);
    for (std::size_t i = 0; i + kBinCapacity < entries.size(); ++i)
        RegDeleteKeyW(bin, std::to_wstring(entries[i]).c_str());
}

} // namespace

bool MoveNoteToBin(int id)
{
    RegistryKey main(kStoreBase, kStoreKey);
    if (!main.Handle())
        return false;
    std::wstring list = ValueName("List", id);
    if (RegQueryValueExW(main.Handle(), list.c_str(), nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    int next = 1;
    {
        RegistryKey bin(kStoreBase, kBinKey);
        if (bin.Handle()) {
            std::vector<int> entries = BinEntries(bin.Handle());
            if (!entries.empty())
                next = entries.back() + 1;
        }
    }
    {
        RegistryKey entry(kStoreBase, EntryPath(next).c_str());
        if (entry.Handle()) {
            for (const char* base : kNoteValueBases) {
                std::wstring name = ValueName(base, id);
                CopyValue(main.Handle(), name, entry.Handle(), name);
            }
            SYSTEMTIME now;
            GetLocalTime(&now);
            FILETIME stamp{};
            SystemTimeToFileTime(&now, &stamp);
            RegSetValueExW(entry.Handle(), kBinTimeValue, 0, REG_BINARY,
                reinterpret_cast<const BYTE*>(&stamp), sizeof(stamp));
        }
    }
    // The note is deleted whether or not the bin could take it, as before
    // there was a bin.
    for (const char* base : kNoteValueBases)
        RegDeleteValueW(main.Handle(), ValueName(base, id).c_str());
    RegistryKey bin(kStoreBase, kBinKey);
    if (bin.Handle())
        DropOldest(bin.Handle());
    return true;
}

std::vector<StoredNote> ReadStoredNotes()
{
    std::vector<StoredNote> notes;
    RegistryKey main(kStoreBase, kStoreKey);
    if (!main.Handle())
        return notes;
    for (int id : ListedIds(main.Handle())) {
        StoredNote note;
        if (ReadNote(main, id, &note))
            notes.push_back(std::move(note));
    }
    return notes;
}

std::vector<StoredNote> ReadBinNotes()
{
    std::vector<StoredNote> notes;
    std::vector<int> entries;
    {
        RegistryKey bin(kStoreBase, kBinKey);
        if (!bin.Handle())
            return notes;
        entries = BinEntries(bin.Handle());
    }
    for (int entry : entries) {
        RegistryKey key(kStoreBase, EntryPath(entry).c_str());
        std::vector<int> ids = key.Handle() ? ListedIds(key.Handle()) : std::vector<int>{};
        StoredNote note;
        if (ids.empty() || !ReadNote(key, ids.front(), &note))
            continue;
        note.binEntry = entry;
        DWORD size = sizeof(note.deletedAt);
        RegQueryValueExW(
            key.Handle(), kBinTimeValue, nullptr, nullptr, reinterpret_cast<BYTE*>(&note.deletedAt), &size);
        notes.push_back(std::move(note));
    }
    return notes;
}

bool RestoreFromBin(int entry, int id)
{
    if (entry <= 0)
        return false;
    {
        RegistryKey main(kStoreBase, kStoreKey);
        RegistryKey key(kStoreBase, EntryPath(entry).c_str());
        if (!main.Handle() || !key.Handle())
            return false;
        std::vector<int> ids = ListedIds(key.Handle());
        if (ids.empty()) {
            DropBinEntry(entry);
            return false;
        }
        for (const char* base : kNoteValueBases) {
            bool isList = std::strcmp(base, "List") == 0;
            CopyValue(key.Handle(), ValueName(base, ids.front()), main.Handle(), ValueName(base, id),
                isList ? id : -1);
        }
    }
    return DropBinEntry(entry);
}

bool DropBinEntry(int entry)
{
    RegistryKey bin(kStoreBase, kBinKey);
    return bin.Handle() && RegDeleteKeyW(bin.Handle(), std::to_wstring(entry).c_str()) == ERROR_SUCCESS;
}

void EmptyBin()
{
    RegistryKey bin(kStoreBase, kBinKey);
    if (!bin.Handle())
        return;
    for (int entry : BinEntries(bin.Handle()))
        RegDeleteKeyW(bin.Handle(), std::to_wstring(entry).c_str());
}
