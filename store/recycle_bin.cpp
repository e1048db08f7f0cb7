#include "store/recycle_bin.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "store/note_values.h"
#include "store/registry_key.h"
#include "store/store.h"

namespace
{

constexpr std::size_t kIdOffset = offsetof(NoteRecord, id);
// Registry value names are at most 16,383 characters, key names 255.
constexpr DWORD kMaxNameLength = 16384;
constexpr DWORD kMaxKeyLength = 256;
// The bin's key under the main key.
constexpr wchar_t kBinName[] = L"Deleted";
// Entries found to exist already before a new one is made (their names
// could not all be read): each is skipped, none is ever reused.
constexpr int kEntryTries = 1000;

// Value bases are plain ASCII.
std::wstring ValueName(const char* base, int id)
{
    return std::wstring(base, base + std::strlen(base)) + std::to_wstring(id);
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

// Entry names are numbers of any length, compared as numbers.
bool IsEntryNumber(const std::wstring& name)
{
    return !name.empty() && name.find_first_not_of(L"0123456789") == std::wstring::npos;
}

std::wstring WithoutLeadingZeros(const std::wstring& number)
{
    std::size_t first = number.find_first_not_of(L'0');
    return first == std::wstring::npos ? std::wstring() : number.substr(first);
}

bool EntryLess(const std::wstring& a, const std::wstring& b)
{
    std::wstring left = WithoutLeadingZeros(a);
    std::wstring right = WithoutLeadingZeros(b);
    return left.size() != right.size() ? left.size() < right.size() : left < right;
}

// The number after `number`, with as many digits as that takes.
std::wstring NextNumber(const std::wstring& number)
{
    std::wstring next = WithoutLeadingZeros(number);
    for (std::size_t i = next.size(); i-- > 0;) {
        if (next[i] != L'9') {
            ++next[i];
            return next;
        }
        next[i] = L'0';
    }
    return L'1' + next;
}

// The bin's entries: numbered ones oldest first, then the others. The
// reading stops at an error other than a name too long for the buffer.
std::vector<std::wstring> EntryNames(HKEY bin)
{
    std::vector<std::wstring> names;
    wchar_t name[kMaxKeyLength];
    for (DWORD index = 0;; ++index) {
        DWORD length = kMaxKeyLength;
        LONG result = RegEnumKeyExW(bin, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_MORE_DATA)
            continue;
        if (result != ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    auto others = std::stable_partition(names.begin(), names.end(), IsEntryNumber);
    std::sort(names.begin(), others, EntryLess);
    std::sort(others, names.end());
    return names;
}

// The IDs named by the List<n> values of a key, in order.
std::vector<int> ListedIds(HKEY key)
{
    std::vector<int> ids;
    std::vector<wchar_t> name(kMaxNameLength);
    for (DWORD index = 0;; ++index) {
        DWORD length = kMaxNameLength;
        LONG result = RegEnumValueW(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_MORE_DATA)
            continue;
        if (result != ERROR_SUCCESS)
            break;
        int id = NumberAfter(name.data(), L"List");
        if (id >= 0)
            ids.push_back(id);
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

bool HasValue(HKEY key, const std::wstring& name)
{
    return RegQueryValueExW(key, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

// A record the loader takes as it is: binary, of exactly the stored size.
bool IsRecord(HKEY key, int id)
{
    DWORD type = 0;
    DWORD size = 0;
    return RegQueryValueExW(key, ValueName("List", id).c_str(), nullptr, &type, nullptr, &size)
        == ERROR_SUCCESS
        && type == REG_BINARY && size == kNoteImageSize;
}

// Restored, such an entry would give no note, or a note of no size.
bool IsDamaged(const std::wstring& name, HKEY entry, const std::vector<int>& ids)
{
    if (!entry || !IsEntryNumber(name) || ids.empty())
        return true;
    return std::any_of(ids.begin(), ids.end(), [entry](int id) { return !IsRecord(entry, id); });
}

// The record as far as it reads, and the text.
bool ReadNote(RegistryKey& key, int id, StoredNote* note)
{
    char name[32];
    FormatValueName(name, sizeof(name), "Memo", id);
    DWORD size = key.ReadString(name, nullptr, 0);
    if (size > 0) {
        note->text.assign(size + 1, '\0');
        DWORD length = key.ReadString(name, note->text.data(), size + 1);
        note->text.resize(length);
    }
    note->id = id;
    FormatValueName(name, sizeof(name), "List", id);
    return key.ReadBinary(name, &note->image, kNoteImageSize);
}

// Copies one value with its type and bytes exactly. The W calls keep a text
// value as the registry holds it, whatever the system's code page.
LONG CopyValue(HKEY from, const std::wstring& fromName, HKEY to, const std::wstring& toName, int newId)
{
    DWORD type = 0;
    DWORD size = 0;
    LONG result = RegQueryValueExW(from, fromName.c_str(), nullptr, &type, nullptr, &size);
    if (result != ERROR_SUCCESS)
        return result;
    std::vector<BYTE> data(size);
    result = RegQueryValueExW(from, fromName.c_str(), nullptr, &type, data.data(), &size);
    if (result != ERROR_SUCCESS)
        return result;
    data.resize(size);
    if (newId >= 0 && data.size() >= kIdOffset + sizeof(std::int32_t)) {
        auto id = static_cast<std::int32_t>(newId);
        std::memcpy(data.data() + kIdOffset, &id, sizeof(id));
    }
    return RegSetValueExW(to, toName.c_str(), 0, type, data.data(), size);
}

// Copies every value note `fromId` has to the names of `toId`; with
// `rename`, its record carries the new ID. A value the note lacks is no
// failure; the first other one's code.
LONG CopyNote(HKEY from, int fromId, HKEY to, int toId, bool rename)
{
    for (const char* base : kNoteValueBases) {
        bool isList = std::strcmp(base, "List") == 0;
        LONG result = CopyValue(
            from, ValueName(base, fromId), to, ValueName(base, toId), isList && rename ? toId : -1);
        if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND)
            return result;
    }
    return ERROR_SUCCESS;
}

// Removes every value of note `id`; the first failure's code.
LONG RemoveNote(HKEY key, int id)
{
    LONG error = ERROR_SUCCESS;
    for (const char* base : kNoteValueBases) {
        LONG result = RegDeleteValueW(key, ValueName(base, id).c_str());
        if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND && error == ERROR_SUCCESS)
            error = result;
    }
    return error;
}

HKEY OpenEntry(HKEY bin, const std::wstring& name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(bin, name.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

// Makes the entry above the highest there is.
HKEY CreateEntry(HKEY bin, std::wstring* name, LONG* error)
{
    std::wstring highest;
    for (const std::wstring& entry : EntryNames(bin)) {
        if (IsEntryNumber(entry))
            highest = entry;
    }
    std::wstring candidate = NextNumber(highest);
    for (int attempt = 0; attempt < kEntryTries; ++attempt, candidate = NextNumber(candidate)) {
        HKEY key = nullptr;
        DWORD disposition = 0;
        *error = RegCreateKeyExW(bin, candidate.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
            nullptr, &key, &disposition);
        if (*error != ERROR_SUCCESS)
            return nullptr;
        if (disposition == REG_CREATED_NEW_KEY) {
            *name = candidate;
            return key;
        }
        RegCloseKey(key);
    }
    *error = ERROR_ALREADY_EXISTS;
    return nullptr;
}

LONG StampDeletion(HKEY entry)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    FILETIME stamp{};
    SystemTimeToFileTime(&now, &stamp);
    return RegSetValueExW(
        entry, kBinTimeValue, 0, REG_BINARY, reinterpret_cast<const BYTE*>(&stamp), sizeof(stamp));
}

void DropOldest(HKEY bin)
{
    std::vector<std::wstring> numbered = EntryNames(bin);
    numbered.erase(std::partition_point(numbered.begin(), numbered.end(), IsEntryNumber), numbered.end());
    for (std::size_t i = 0; i + kBinCapacity < numbered.size(); ++i)
        RegDeleteTreeW(bin, numbered[i].c_str());
}

} // namespace

LONG MoveNoteToBin(int id)
{
    RegistryKey main(kStoreBase, kStoreKey);
    if (!main.Handle())
        return main.LastError();
    if (!HasValue(main.Handle(), ValueName("List", id)))
        return ERROR_FILE_NOT_FOUND;
    RegistryKey bin(kStoreBase, kBinKey);
    if (!bin.Handle())
        return bin.LastError();
    std::wstring name;
    LONG error = ERROR_SUCCESS;
    {
        RegistryKey entry(CreateEntry(bin.Handle(), &name, &error));
        if (!entry.Handle())
            return error;
        error = CopyNote(main.Handle(), id, entry.Handle(), id, false);
        if (error == ERROR_SUCCESS)
            error = StampDeletion(entry.Handle());
    }
    if (error != ERROR_SUCCESS) {
        RegDeleteTreeW(bin.Handle(), name.c_str());
        return error;
    }
    error = RemoveNote(main.Handle(), id);
    DropOldest(bin.Handle());
    return error;
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
    RegistryKey bin(kStoreBase, kBinKey);
    if (!bin.Handle())
        return notes;
    for (const std::wstring& name : EntryNames(bin.Handle())) {
        RegistryKey entry(OpenEntry(bin.Handle(), name));
        std::vector<int> ids = entry.Handle() ? ListedIds(entry.Handle()) : std::vector<int>{};
        bool damaged = IsDamaged(name, entry.Handle(), ids);
        FILETIME deletedAt{};
        DWORD size = sizeof(deletedAt);
        if (entry.Handle())
            RegQueryValueExW(
                entry.Handle(), kBinTimeValue, nullptr, nullptr, reinterpret_cast<BYTE*>(&deletedAt), &size);
        const int count = static_cast<int>(std::max<std::size_t>(ids.size(), 1));
        for (std::size_t i = 0; i < ids.size() || (damaged && i == 0); ++i) {
            StoredNote note;
            if (entry.Handle() && i < ids.size())
                ReadNote(entry, ids[i], &note);
            // What a damaged record holds is no colour, place or date.
            if (damaged)
                note.image = NoteRecord{};
            note.binEntry = name;
            note.entryNotes = count;
            note.damaged = damaged;
            note.deletedAt = deletedAt;
            notes.push_back(std::move(note));
            if (damaged)
                break;
        }
    }
    return notes;
}

LONG RestoreFromBin(const std::wstring& entry, const std::vector<int>& ids)
{
    RegistryKey main(kStoreBase, kStoreKey);
    RegistryKey bin(kStoreBase, kBinKey);
    if (!main.Handle() || !bin.Handle())
        return main.Handle() ? bin.LastError() : main.LastError();
    {
        RegistryKey key(entry.empty() ? nullptr : OpenEntry(bin.Handle(), entry));
        if (!key.Handle())
            return ERROR_FILE_NOT_FOUND;
        std::vector<int> stored = ListedIds(key.Handle());
        if (IsDamaged(entry, key.Handle(), stored))
            return ERROR_INVALID_DATA;
        if (stored.size() != ids.size())
            return ERROR_INVALID_PARAMETER;
        LONG error = ERROR_SUCCESS;
        std::size_t copied = 0;
        for (; copied < ids.size() && error == ERROR_SUCCESS; ++copied) {
            // Never over a note; values of the ID without its record belong to
            // no note and must not be taken for the restored one's.
            if (HasValue(main.Handle(), ValueName("List", ids[copied]))) {
                error = ERROR_ALREADY_EXISTS;
                break;
            }
            RemoveNote(main.Handle(), ids[copied]);
            error = CopyNote(key.Handle(), stored[copied], main.Handle(), ids[copied], true);
        }
        if (error != ERROR_SUCCESS) {
            for (std::size_t i = 0; i < copied; ++i)
                RemoveNote(main.Handle(), ids[i]);
            return error;
        }
    }
    return DropBinEntry(entry);
}

LONG DropBinEntry(const std::wstring& entry)
{
    // An empty name would empty the whole bin.
    if (entry.empty())
        return ERROR_INVALID_PARAMETER;
    RegistryKey bin(kStoreBase, kBinKey);
    if (!bin.Handle())
        return bin.LastError();
    return RegDeleteTreeW(bin.Handle(), entry.c_str());
}

LONG EmptyBin()
{
    RegistryKey main(kStoreBase, kStoreKey);
    if (!main.Handle())
        return main.LastError();
    LONG result = RegDeleteTreeW(main.Handle(), kBinName);
    return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result;
}
