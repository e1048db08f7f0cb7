#include "store/store.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/gdi_owners.h"
#include "platform/program.h"
#include "platform/wide_text.h"
#include "store/note_values.h"
#include "store/recycle_bin.h"
#include "store/registry_key.h"

namespace
{

constexpr int kValueNameSize = 32;
constexpr DWORD kVersionCapacity = 64;
// Room for a missing text's zero size and for a terminator the stored value
// may lack.
constexpr std::size_t kTextSlack = 4;

bool HasValue(const RegistryKey& key, const char* name)
{
    return key.Handle()
        && RegQueryValueExW(key.Handle(), WideFromNote(name).c_str(), nullptr, nullptr, nullptr, nullptr)
        == ERROR_SUCCESS;
}

// A face name read from the store may lack its terminator.
void TerminateFaceName(LOGFONTA* font)
{
    font->lfFaceName[LF_FACESIZE - 1] = '\0';
}

int ScreenPixelsPerInch()
{
    ScreenDc screen;
    return screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
}

// Repeat<n> and Snooze<n> carry the creation time of their note: an older
// Jotwise deletes only the values it knows, and a note that later takes the
// same ID must not inherit what it left behind. A snooze also names the due
// time it put off, so a due date changed where snoozes are unknown ends it.
struct StoredRepeat {
    std::uint32_t kind;
    std::uint32_t day;
    FILETIME created;
};
struct StoredSnooze {
    FILETIME until;
    FILETIME due;
    FILETIME created;
};
static_assert(sizeof(StoredRepeat) == 16 && sizeof(StoredSnooze) == 24);

bool SameTime(const FILETIME& a, const FILETIME& b)
{
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

// A REG_BINARY value of exactly `size` bytes; anything else counts as missing.
bool ReadExact(const RegistryKey& key, const char* name, void* buffer, DWORD size)
{
    DWORD type = 0;
    DWORD stored = size;
    return key.Handle()
        && RegQueryValueExW(
               key.Handle(), WideFromNote(name).c_str(), nullptr, &type, static_cast<BYTE*>(buffer), &stored)
        == ERROR_SUCCESS
        && type == REG_BINARY && stored == size;
}

void ReadAlarm(const RegistryKey& key, int n, NoteRecord* record)
{
    char name[kValueNameSize];
    FormatValueName(name, sizeof(name), "Repeat", n);
    StoredRepeat repeat{};
    if (ReadExact(key, name, &repeat, sizeof(repeat)) && SameTime(repeat.created, record->created)
        && repeat.kind < kRepeatKindCount) {
        record->repeat = static_cast<std::uint8_t>(repeat.kind);
        record->repeatDay = static_cast<std::uint8_t>(repeat.day <= 31 ? repeat.day : 0);
    }
    FormatValueName(name, sizeof(name), "Snooze", n);
    StoredSnooze snooze{};
    if (ReadExact(key, name, &snooze, sizeof(snooze)) && SameTime(snooze.created, record->created)
        && SameTime(snooze.due, record->due))
        record->snoozeUntil = snooze.until;
}

// Like Topmost<n>, the values exist only while they say something.
void WriteAlarm(RegistryKey& key, const NoteRecord* record)
{
    char name[kValueNameSize];
    FormatValueName(name, sizeof(name), "Repeat", record->id);
    if (record->repeat) {
        StoredRepeat repeat{record->repeat, record->repeatDay, record->created};
        key.WriteBinary(name, &repeat, sizeof(repeat));
    } else {
        key.DeleteValue(name);
    }
    FormatValueName(name, sizeof(name), "Snooze", record->id);
    if (record->snoozeUntil.dwLowDateTime || record->snoozeUntil.dwHighDateTime) {
        StoredSnooze snooze{record->snoozeUntil, record->due, record->created};
        key.WriteBinary(name, &snooze, sizeof(snooze));
    } else {
        key.DeleteValue(name);
    }
}

enum class Loaded { kCreated, kSkipped, kFailed };

// Reads one stored note and hands it on. A note with a value missing or an
// empty text is skipped; kFailed means the handler refused it.
Loaded LoadNote(RegistryKey& key, HWND owner, StoredNoteHandler handler, int n, NoteRecord* scratch,
    LOGFONTA* font, LONG defaultHeight)
{
    char name[kValueNameSize];
    FormatValueName(name, sizeof(name), "Memo", n);
    DWORD size = key.ReadString(name, nullptr, 0);
    if (size > kMaxTextSize)
        return Loaded::kSkipped;
    auto* text = static_cast<char*>(std::calloc(size + kTextSlack, 1));
    if (!text)
        return Loaded::kSkipped;
    scratch->text = text;
    // The whole value: one stored without its terminator keeps its last byte.
    if (key.ReadString(name, text, size + 1) == 0) {
        std::free(text);
        return Loaded::kSkipped;
    }
    FormatValueName(name, sizeof(name), "Font", n);
    std::memset(font, 0, sizeof(*font));
    if (!key.ReadBinary(name, font, sizeof(*font))) {
        std::free(text);
        return Loaded::kSkipped;
    }
    TerminateFaceName(font);
    scratch->keepStoredFont = MendFontHeight(font, defaultHeight);
    FormatValueName(name, sizeof(name), "Topmost", n);
    DWORD topmost = 0;
    scratch->topmost = key.ReadDword(name, &topmost) && topmost ? 1 : 0;
    ReadAlarm(key, n, scratch);
    // The values are named by n, and so is the note: a record carrying another
    // ID would otherwise save over that other note's values.
    scratch->id = n;
    int created = handler ? handler(owner, scratch, font) : 1;
    std::free(text);
    scratch->text = nullptr;
    return created ? Loaded::kCreated : Loaded::kFailed;
}

// Only a topmost note has the value, so a store that never used the
// feature looks exactly as before.
void WriteTopmost(RegistryKey& key, const NoteRecord* record)
{
    char name[kValueNameSize];
    FormatValueName(name, sizeof(name), "Topmost", record->id);
    if (record->topmost)
        key.WriteDword(name, 1);
    else
        key.DeleteValue(name);
}

} // namespace

bool MendFontHeight(LOGFONTA* font, LONG height)
{
    if (IsFontHeightPossible(font->lfHeight, ScreenPixelsPerInch()))
        return false;
    font->lfHeight = height;
    return true;
}

void WriteNoteTopmost(const NoteRecord* record)
{
    if (!record || record->deleted)
        return;
    RegistryKey key(kStoreBase, kStoreKey);
    WriteTopmost(key, record);
}

void FormatValueName(char* buffer, int size, const char* base, int id)
{
    if (!buffer || size <= 0)
        return;
    std::snprintf(buffer, static_cast<std::size_t>(size), "%s%d", base, id);
}

bool HasStoredNote(int id)
{
    RegistryKey key(kStoreBase, kStoreKey);
    char name[kValueNameSize];
    FormatValueName(name, sizeof(name), "List", id);
    return HasValue(key, name);
}

void ReadStoredOptions(Options* options, LOGFONTA* font, bool* keepStoredFont)
{
    RegistryKey key(kStoreBase, kStoreKey);

    char version[kVersionCapacity];
    key.ReadString("Version", version, sizeof(version));

    std::memset(options, 0, sizeof(*options));
    if (!key.ReadBinary("Option", options, sizeof(*options))) {
        std::memset(options, 0, sizeof(*options));
        SetDefaultOptions(options);
    }
    std::memset(font, 0, sizeof(*font));
    if (!key.ReadBinary("Font", font, sizeof(*font)))
        SetDefaultFont(font);
    TerminateFaceName(font);
    LOGFONTA fallback;
    SetDefaultFont(&fallback);
    *keepStoredFont = MendFontHeight(font, fallback.lfHeight);
}

void LoadNotesFromStore(HWND owner, StoredNoteHandler handler, LONG defaultHeight, std::uint8_t* storedIds)
{
    RegistryKey key(kStoreBase, kStoreKey);
    std::memset(storedIds, 0, kMaxStoredId + 1);
    bool loading = true;
    NoteRecord scratch;
    LOGFONTA noteFont;
    for (int n = 0; n <= kMaxStoredId; ++n) {
        char name[kValueNameSize];
        FormatValueName(name, sizeof(name), "List", n);
        // Every stored note counts, loaded or not, so that no new note takes
        // its ID and saves over it.
        if (!HasValue(key, name))
            continue;
        storedIds[n] = 1;
        if (!loading)
            continue;
        std::memset(&scratch, 0, sizeof(scratch));
        if (!key.ReadBinary(name, &scratch, kNoteImageSize))
            continue;
        // After a failed creation (the table is full) nothing more is loaded;
        // the rest is only counted.
        if (LoadNote(key, owner, handler, n, &scratch, &noteFont, defaultHeight) == Loaded::kFailed)
            loading = false;
    }
}

int LoadNoteFromStore(HWND owner, int id, StoredNoteHandler handler, LONG defaultHeight)
{
    RegistryKey key(kStoreBase, kStoreKey);
    char name[kValueNameSize];
    FormatValueName(name, sizeof(name), "List", id);
    NoteRecord scratch;
    std::memset(&scratch, 0, sizeof(scratch));
    if (!key.ReadBinary(name, &scratch, kNoteImageSize))
        return 0;
    LOGFONTA font;
    return LoadNote(key, owner, handler, id, &scratch, &font, defaultHeight) == Loaded::kCreated;
}

LONG WriteOptions(const Options& options, const LOGFONTA* font)
{
    RegistryKey key(kStoreBase, kStoreKey);
    key.WriteString("Version", kVersionText);
    key.WriteBinary("Option", &options, kOptionsSize);
    if (font)
        key.WriteBinary("Font", font, sizeof(*font));
    return key.LastError();
}

LONG WriteNote(const NoteRecord* record)
{
    if (!record)
        return ERROR_INVALID_PARAMETER;
    RegistryKey key(kStoreBase, kStoreKey);
    char name[kValueNameSize];

    if (record->deleted) {
        // The note goes to the bin as it stands now, not as it was last
        // saved, and leaves the main key only once the bin holds it. A note
        // already gone from the store leaves the bin alone.
        if (HasStoredNote(record->id)) {
            NoteRecord kept = *record;
            kept.deleted = 0;
            LONG written = WriteNote(&kept);
            LONG moved = MoveNoteToBin(record->id);
            return moved != ERROR_SUCCESS ? moved : written;
        }
        for (const char* base : kNoteValueBases) {
            FormatValueName(name, sizeof(name), base, record->id);
            key.DeleteValue(name);
        }
    } else {
        FormatValueName(name, sizeof(name), "List", record->id);
        NoteRecord image;
        std::memset(&image, 0, sizeof(image));
        CopyNoteImage(&image, record);
        image.storedText = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(record->text));
        image.storedFont = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(record->font));
        image.storedBrush = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(record->brush));
        key.WriteBinary(name, &image, kNoteImageSize);

        FormatValueName(name, sizeof(name), "Memo", record->id);
        if (record->text && record->text[0])
            key.WriteString(name, record->text);

        // Without a readable font the earlier Font<n> is better than garbage.
        FormatValueName(name, sizeof(name), "Font", record->id);
        LOGFONTA font;
        std::memset(&font, 0, sizeof(font));
        if (!record->keepStoredFont && GetNoteFont(record->font, &font))
            key.WriteBinary(name, &font, sizeof(font));

        WriteTopmost(key, record);
        WriteAlarm(key, record);
    }
    return key.LastError();
}
