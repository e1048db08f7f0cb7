// The registry store: the value table byte for byte, and loading whatever
// the store happens to hold.
#include <gtest/gtest.h>

#include <cstring>

#include "due/due_time.h"
#include "notes/note_store.h"
#include "notes/note_table.h"
#include "notes/note_window.h"
#include "platform/wide_text.h"
#include "store/backup.h"
#include "store/draft.h"
#include "store/recycle_bin.h"
#include "store/registry_key.h"
#include "store/restore.h"
#include "tests/unit/test_note_window_support.h"
#include "tests/unit/test_store_support.h"
#include "tests/unit/test_support.h"

using namespace storetest;

namespace
{

constexpr DWORD kTypeSz = REG_SZ;
constexpr DWORD kTypeBinary = REG_BINARY;

class Store : public testing::Test
{
protected:
    void SetUp() override { ClearStore(); }
    void TearDown() override { ClearStore(); }

    ScopedAppState app_;
};

LOGFONTA FontOf(HFONT font)
{
    LOGFONTA logFont;
    std::memset(&logFont, 0, sizeof(logFont));
    GetObjectA(font, sizeof(logFont), &logFont);
    return logFont;
}

// A record with every stored byte distinct from its neighbours, reserved
// bytes included.
NoteRecord PatternedRecord(int id)
{
    NoteRecord record = MakeRecord(id, 120, 90, 200, 70);
    for (int i = 0; i < 4; ++i)
        record.reserved0[i] = static_cast<std::uint8_t>(0xA0 + i);
    for (int i = 0; i < 17; ++i)
        record.reserved63[i] = static_cast<std::uint8_t>(0xC0 + i);
    record.foreColour = RGB(1, 2, 3);
    record.backColour = RGB(250, 240, 230);
    record.created = {0x11223344, 0x01D9ABCD};
    record.due = {0x55667788, 0x01D9ABCE};
    return record;
}

constexpr wchar_t kBinPath[] = L"Software\\KOVA\\Jotwise\\Deleted";

// A note's record (of the given type and size) and text, straight into a
// bin entry.
void SeedBinNote(const std::wstring& entry, int id, const std::string& text, DWORD type = REG_BINARY,
    DWORD size = kNoteImageSize)
{
    NoteRecord record = MakeRecord(id, id, 10, 80, 40);
    std::wstring key = std::wstring(kBinPath) + L"\\" + entry;
    std::wstring memo = WideFromNote(text);
    RegSetKeyValueW(
        HKEY_CURRENT_USER, key.c_str(), (L"List" + std::to_wstring(id)).c_str(), type, &record, size);
    RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), (L"Memo" + std::to_wstring(id)).c_str(), REG_SZ,
        memo.c_str(), static_cast<DWORD>((memo.size() + 1) * sizeof(wchar_t)));
}

std::string StoredText(const std::string& name)
{
    Bytes memo = ReadRaw(name).value_or(RawValue{}).bytes;
    return std::string(memo.begin(), memo.end());
}

} // namespace

TEST_F(Store, RegistryKeyFormsItsPathAndReadsWithinCapacity)
{
    {
        RegistryKey key(kStoreBase, kStoreKey);
        ASSERT_NE(nullptr, key.Handle());
        EXPECT_TRUE(key.WriteString("Greeting", "hello"));
        EXPECT_TRUE(key.WriteBinary("Blob", "\x01\x02\x03", 3));
        EXPECT_TRUE(key.WriteString("Empty", ""));
    }
    // An empty or absent subkey name leaves the base path alone.
    RegistryKey whole("Software\\KOVA\\Jotwise", "");
    ASSERT_NE(nullptr, whole.Handle());
    EXPECT_EQ(6u, whole.ReadString("Greeting", nullptr, 0)) << "size includes the terminator";
    char text[16];
    std::memset(text, 'x', sizeof(text));
    EXPECT_EQ(3u, whole.ReadString("Greeting", text, 4)) << "capacity 4 copies three characters";
    EXPECT_STREQ("hel", text);
    EXPECT_EQ(5u, whole.ReadString("Greeting", text, sizeof(text)));
    EXPECT_STREQ("hello", text);
    EXPECT_EQ(0u, whole.ReadString("Missing", nullptr, 0));
    EXPECT_EQ(0u, whole.ReadString("Missing", text, sizeof(text)));
    EXPECT_EQ(0u, whole.ReadString("Empty", text, sizeof(text))) << "an empty text reads as nothing";

    std::uint8_t buffer[8];
    std::memset(buffer, 0xEE, sizeof(buffer));
    EXPECT_TRUE(whole.ReadBinary("Blob", buffer, sizeof(buffer)));
    EXPECT_EQ((Bytes{1, 2, 3, 0xEE, 0xEE}), BytesOf(buffer, 5)) << "a shorter value fills only the front";
    EXPECT_FALSE(whole.ReadBinary("Blob", buffer, 2)) << "a longer value counts as missing";
    EXPECT_FALSE(whole.ReadBinary("Missing", buffer, sizeof(buffer)));
    EXPECT_TRUE(whole.DeleteValue("Blob"));
    EXPECT_FALSE(whole.DeleteValue("Blob"));

    RegistryKey nested(kStoreBase, nullptr);
    EXPECT_NE(nullptr, nested.Handle()) << "no subkey: the base path itself";
}

TEST_F(Store, RegistryKeyWithoutHandleFailsEveryCall)
{
    RegistryKey key(kStoreBase, kStoreKey);
    ASSERT_NE(nullptr, key.Handle());
    // A failed reopen releases the key held so far and holds none.
    EXPECT_EQ(nullptr, key.Open(reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x1234)), "Nowhere"));
    EXPECT_EQ(nullptr, key.Handle());
    char text[8] = "abc";
    std::uint8_t data[4] = {};
    EXPECT_FALSE(key.WriteString("Version", "0.10"));
    EXPECT_FALSE(key.WriteBinary("Option", data, sizeof(data)));
    EXPECT_FALSE(key.ReadBinary("Option", data, sizeof(data)));
    EXPECT_EQ(0u, key.ReadString("Version", text, sizeof(text)));
    EXPECT_FALSE(key.DeleteValue("Version"));
    EXPECT_FALSE(ReadRaw("Version").has_value());
}

TEST_F(Store, SaveOptionsWritesVersionOptionAndFontExactly)
{
    Options& options = app_->options;
    options.editorRect = {10, 20, 500, 400};
    options.blink = 1;
    for (int i = 0; i < 22; ++i)
        options.reserved[i] = static_cast<std::uint8_t>(i + 1);
    SaveOptions();

    std::optional<RawValue> version = ReadRaw("Version");
    ASSERT_TRUE(version.has_value());
    EXPECT_EQ(kTypeSz, version->type);
    EXPECT_EQ((Bytes{'0', '.', '1', '0', 0}), version->bytes) << "five bytes: 0.10 and its NUL";

    std::optional<RawValue> option = ReadRaw("Option");
    ASSERT_TRUE(option.has_value());
    EXPECT_EQ(kTypeBinary, option->type);
    EXPECT_EQ(BytesOf(&options, 64), option->bytes);

    std::optional<RawValue> font = ReadRaw("Font");
    ASSERT_TRUE(font.has_value());
    EXPECT_EQ(kTypeBinary, font->type);
    LOGFONTA defaultFont = FontOf(app_->defaultFont);
    EXPECT_EQ(BytesOf(&defaultFont, 60), font->bytes);
    EXPECT_EQ(3u, ValueNames().size());
}

TEST_F(Store, SaveNoteWritesListMemoAndFontExactly)
{
    NoteRecord record = PatternedRecord(3);
    char text[] = "first line\r\nsecond";
    record.text = text;
    LOGFONTA font = TestFont(23);
    record.font = CreateFontIndirectA(&font);
    record.brush = CreateSolidBrush(record.backColour);
    ASSERT_EQ(1, SaveNote(&record));

    std::optional<RawValue> list = ReadRaw("List3");
    ASSERT_TRUE(list.has_value());
    EXPECT_EQ(kTypeBinary, list->type);
    ASSERT_EQ(80u, list->bytes.size());
    NoteRecord expected = record;
    expected.storedText = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(record.text));
    expected.storedFont = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(record.font));
    expected.storedBrush = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(record.brush));
    EXPECT_EQ(BytesOf(&expected, 80), list->bytes) << "the record, with the low bits of its handles";

    std::optional<RawValue> memo = ReadRaw("Memo3");
    ASSERT_TRUE(memo.has_value());
    EXPECT_EQ(kTypeSz, memo->type);
    EXPECT_EQ(BytesOf(text, sizeof(text)), memo->bytes) << "the text and its NUL";

    std::optional<RawValue> storedFont = ReadRaw("Font3");
    ASSERT_TRUE(storedFont.has_value());
    EXPECT_EQ(kTypeBinary, storedFont->type);
    LOGFONTA live = FontOf(record.font);
    EXPECT_EQ(BytesOf(&live, 60), storedFont->bytes);
    EXPECT_EQ(23, reinterpret_cast<const LOGFONTA*>(storedFont->bytes.data())->lfHeight);

    // An empty text writes no Memo and leaves an earlier one alone.
    text[0] = '\0';
    SaveNote(&record);
    EXPECT_EQ(BytesOf("first line\r\nsecond", sizeof(text)), ReadRaw("Memo3")->bytes);
    EXPECT_EQ(0, SaveNote(nullptr));

    DeleteObject(record.font);
    DeleteObject(record.brush);
}

TEST_F(Store, NoteWithIdAbove127IsSavedButNotLoaded)
{
    NoteRecord record = MakeRecord(130, 10, 10, 80, 40);
    char text[] = "far";
    record.text = text;
    LOGFONTA font = TestFont();
    record.font = CreateFontIndirectA(&font);
    SaveNote(&record);
    DeleteObject(record.font);
    EXPECT_TRUE(ReadRaw("List130").has_value());
    EXPECT_TRUE(ReadRaw("Memo130").has_value());
    EXPECT_TRUE(ReadRaw("Font130").has_value());

    LoadStore(nullptr, CreateNoteWindow);
    EXPECT_TRUE(OpenNotes().empty());
}

TEST_F(Store, DeletedNoteRemovesItsValuesAndSavingAgainChangesNothing)
{
    SeedNote(4, 10, 10, 80, 40, "neighbour");
    NoteRecord record = MakeRecord(7, 10, 10, 80, 40);
    char text[] = "doomed";
    record.text = text;
    LOGFONTA font = TestFont();
    record.font = CreateFontIndirectA(&font);
    record.topmost = 1;
    record.repeat = kRepeatMonthly;
    record.repeatDay = 31;
    record.due = {0x55667788, 0x01D9ABCE};
    record.snoozeUntil = {0x11111111, 0x01D9ABCF};
    SaveNote(&record);
    ASSERT_EQ(9u, ValueNames().size()) << "List, Memo, Font, Topmost, Repeat and Snooze of the note";

    app_->storedIds[7] = 1;
    record.deleted = 1;
    EXPECT_EQ(1, SaveNote(&record));
    EXPECT_FALSE(ReadRaw("Topmost7").has_value());
    EXPECT_FALSE(ReadRaw("List7").has_value());
    EXPECT_FALSE(ReadRaw("Memo7").has_value());
    EXPECT_FALSE(ReadRaw("Font7").has_value());
    EXPECT_EQ(0, app_->storedIds[7]) << "a deleted note's ID may be given out again";
    std::vector<std::string> names = ValueNames();
    EXPECT_EQ(3u, names.size()) << "the other note's values stay";

    EXPECT_EQ(1, SaveNote(&record));
    EXPECT_EQ(names, ValueNames());
    std::vector<StoredNote> bin = ReadBinNotes();
    ASSERT_EQ(1u, bin.size()) << "the note went to the bin once";
    EXPECT_EQ(7, bin[0].id);
    EXPECT_EQ("doomed", bin[0].text);
    EXPECT_EQ(0, bin[0].image.deleted) << "restored, it is a note like any other";
    ASSERT_TRUE(RestoreNotesFromBin(bin[0].binEntry, {9}));
    ASSERT_TRUE(LoadStoredNote(nullptr, 9, CreateNoteWindow));
    const NoteRecord* restored = NoteRecordOf(NoteWithId(9));
    ASSERT_NE(nullptr, restored);
    EXPECT_EQ(kRepeatMonthly, restored->repeat) << "the bin keeps the repeat under a new ID";
    EXPECT_EQ(31, restored->repeatDay);
    EXPECT_EQ(record.snoozeUntil.dwHighDateTime, restored->snoozeUntil.dwHighDateTime);
    DeleteObject(record.font);
}

// What an older Jotwise leaves behind: it ignores Repeat<n> and Snooze<n>,
// and deleting a note it keeps them, so they must not reach a later note
// under the same ID, nor outlive a due date it changed.
TEST_F(Store, RepeatAndSnoozeLoadOnlyForTheNoteThatLeftThem)
{
    const FILETIME created = {0x11223344, 0x01D9ABCD};
    const FILETIME due = {0x55667788, 0x01D9ABCE};
    const FILETIME until = {0x99AABBCC, 0x01D9ABCE};
    struct Case {
        FILETIME repeatCreated, snoozeCreated, snoozeDue;
        DWORD repeatSize;
        bool repeat, snooze;
    } cases[] = {
        {created, created, due, 16, true, true},
        {{1, 1}, {1, 1}, due, 16, false, false},     // another note's values under the same ID
        {created, created, {2, 2}, 16, true, false}, // the due date changed without it
        {created, created, due, 12, false, true},    // a value of the wrong size
    };
    for (const Case& c : cases) {
        ClearStore();
        NoteRecord record = MakeRecord(3, 10, 10, 80, 40);
        record.created = created;
        record.due = due;
        SeedNote(record, "alarm", TestFont());
        const std::uint32_t repeat[4]
            = {kRepeatWeekdays, 0, c.repeatCreated.dwLowDateTime, c.repeatCreated.dwHighDateTime};
        WriteRaw("Repeat3", REG_BINARY, repeat, c.repeatSize);
        const FILETIME snooze[3] = {until, c.snoozeDue, c.snoozeCreated};
        WriteRaw("Snooze3", REG_BINARY, snooze, sizeof(snooze));
        LoadStore(nullptr, CreateNoteWindow);
        const NoteRecord* loaded = NoteRecordOf(NoteWithId(3));
        ASSERT_NE(nullptr, loaded);
        EXPECT_EQ(c.repeat ? kRepeatWeekdays : kRepeatNone, loaded->repeat) << "case " << &c - cases;
        EXPECT_EQ(c.snooze ? until.dwLowDateTime : 0u, loaded->snoozeUntil.dwLowDateTime)
            << "case " << &c - cases;
        EXPECT_EQ(80u, ReadRaw("List3")->bytes.size()) << "the record an older Jotwise reads is unchanged";
        CloseNote(NoteWithId(3));
        EXPECT_EQ(c.repeat, ReadRaw("Repeat3").has_value()) << "saved again as loaded";
    }
}

TEST_F(Store, BinKeepsTheLatestHundredAndRestoresUnderTheGivenId)
{
    for (int id = 1; id <= kBinCapacity + 2; ++id) {
        SeedNote(id, id, 10, 80, 40, "note " + std::to_string(id));
        ASSERT_EQ(ERROR_SUCCESS, MoveNoteToBin(id));
    }
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, MoveNoteToBin(1)) << "nothing left to move";
    std::vector<StoredNote> bin = ReadBinNotes();
    ASSERT_EQ(static_cast<std::size_t>(kBinCapacity), bin.size());
    EXPECT_EQ(3, bin.front().id) << "the two oldest are dropped";
    EXPECT_TRUE(IsTimeSet(&bin.front().deletedAt));

    ASSERT_TRUE(RestoreNotesFromBin(bin.back().binEntry, {9}));
    std::optional<RawValue> list = ReadRaw("List9");
    ASSERT_TRUE(list.has_value());
    NoteRecord restored;
    std::memcpy(&restored, list->bytes.data(), kNoteImageSize);
    EXPECT_EQ(9, restored.id) << "renamed along with its values";
    EXPECT_EQ(kBinCapacity + 2, restored.left);
    Bytes memo = ReadRaw("Memo9").value_or(RawValue{}).bytes;
    EXPECT_EQ("note 102" + std::string(1, '\0'), std::string(memo.begin(), memo.end()));
    EXPECT_EQ(1, app_->storedIds[9]);
    EXPECT_EQ(static_cast<std::size_t>(kBinCapacity - 1), ReadBinNotes().size());
    EmptyBin();
    EXPECT_TRUE(ReadBinNotes().empty());
}

TEST_F(Store, BinNeverDropsANote)
{
    // Past nine digits every deletion still gets an entry of its own.
    SeedBinNote(L"999999999", 1, "old");
    for (int id : {2, 3}) {
        SeedNote(id, 10, 10, 80, 40, "note " + std::to_string(id));
        ASSERT_EQ(ERROR_SUCCESS, MoveNoteToBin(id));
    }
    std::vector<StoredNote> bin = ReadBinNotes();
    ASSERT_EQ(3u, bin.size());
    EXPECT_EQ(L"1000000000", bin[1].binEntry);
    EXPECT_EQ(L"1000000001", bin[2].binEntry);
    EXPECT_EQ(3, bin[2].id);
    ASSERT_EQ(ERROR_SUCCESS, EmptyBin());

    // An entry of several notes comes back whole, each under its own ID, or
    // not at all: a copy that fails (ID 11 is taken) undoes the others.
    SeedBinNote(L"5", 3, "three");
    SeedBinNote(L"5", 4, "four");
    SeedNote(11, 10, 10, 80, 40, "taken");
    bin = ReadBinNotes();
    ASSERT_EQ(2u, bin.size());
    EXPECT_EQ(2, bin[1].entryNotes);
    EXPECT_FALSE(RestoreNotesFromBin(L"5", {10, 11}));
    EXPECT_FALSE(ReadRaw("List10").has_value());
    EXPECT_EQ(std::string("taken\0", 6), StoredText("Memo11"));
    EXPECT_EQ(2u, ReadBinNotes().size()) << "the entry stays";
    ASSERT_TRUE(RestoreNotesFromBin(L"5", {10, 12}));
    EXPECT_EQ(std::string("four\0", 5), StoredText("Memo12"));
    EXPECT_EQ(12, ReadRaw("List12").value_or(RawValue{}).bytes.at(offsetof(NoteRecord, id)));
    EXPECT_TRUE(ReadBinNotes().empty());

    // Damaged entries are listed, never restored, deleted and emptied.
    SeedBinNote(L"note", 1, "a name");
    SeedBinNote(L"7", 1, "text record", REG_SZ, 10);
    SeedBinNote(L"8", 1, "short record", REG_BINARY, 40);
    RegSetKeyValueW(HKEY_CURRENT_USER, (std::wstring(kBinPath) + L"\\9").c_str(), L"Memo1", REG_SZ, L"x", 4);
    bin = ReadBinNotes();
    ASSERT_EQ(4u, bin.size());
    for (const StoredNote& note : bin) {
        EXPECT_TRUE(note.damaged) << note.text;
        EXPECT_EQ(ERROR_INVALID_DATA, RestoreFromBin(note.binEntry, {20})) << note.text;
    }
    EXPECT_EQ("a name", bin[3].text);
    EXPECT_FALSE(ReadRaw("List20").has_value());
    EXPECT_EQ(ERROR_SUCCESS, DropBinEntry(L"note"));
    EXPECT_EQ(3u, ReadBinNotes().size());
    EXPECT_EQ(ERROR_SUCCESS, EmptyBin());
    EXPECT_TRUE(ReadBinNotes().empty());

    // A bin that takes no entry keeps the note in the main key.
    HKEY bin_ = nullptr;
    RegDeleteTreeW(HKEY_CURRENT_USER, kBinPath);
    ASSERT_EQ(ERROR_SUCCESS,
        RegCreateKeyExW(HKEY_CURRENT_USER, kBinPath, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
            &bin_, nullptr));
    RegCloseKey(bin_);
    NoteRecord record = MakeRecord(30, 10, 10, 80, 40);
    char text[] = "kept";
    record.text = text;
    record.deleted = 1;
    SeedNote(30, 10, 10, 80, 40, text);
    app_->storedIds[30] = 1;
    EXPECT_EQ(0, SaveNote(&record));
    EXPECT_EQ(std::string("kept\0", 5), StoredText("Memo30"));
    EXPECT_EQ(1, app_->storedIds[30]);
    EXPECT_TRUE(app_->saveFailureReported);
    EXPECT_TRUE(ReadBinNotes().empty());
    // Made in this run, the note held its ID by its window alone: once that
    // is gone, a new note must not take the ID and save over what stayed.
    app_->storedIds[30] = 0;
    EXPECT_EQ(0, SaveNote(&record));
    EXPECT_FALSE(IsNoteIdFree(30));

    // Only IDs the next start loads are given to restored notes.
    std::fill(std::begin(app_->storedIds), std::end(app_->storedIds), 1);
    app_->storedIds[100] = 0;
    EXPECT_EQ(std::vector<int>{100}, FreeLoadableNoteIds(2));
}

TEST_F(Store, BackupIsCompleteOrFailsAndRestoreTakesOnlyWhatItWrites)
{
    SeedNote(1, 10, 10, 80, 40, "one");
    SeedBinNote(L"2", 5, "binned");
    auto storeText = [] {
        HKEY key = nullptr;
        RegOpenKeyExW(HKEY_CURRENT_USER, kStorePath, 0, KEY_READ, &key);
        RegistryKey owner(key);
        std::wstring text, problem;
        return FormatRegistryFile(key, kStoreKeyName, &text, &problem) == ERROR_SUCCESS ? text : L"";
    };
    const std::wstring before = storeText();
    // A name as long as a file name may be, held by another program for a
    // moment while it is replaced.
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring file = folder + std::wstring(247, L'b') + L".reg";
    std::wstring problem;
    ASSERT_EQ(ERROR_SUCCESS, WriteBackupFile(file, &problem));
    HANDLE held = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE release = CreateThread(
        nullptr, 0,
        [](LPVOID file) -> DWORD {
            Sleep(300);
            return CloseHandle(file);
        },
        held, 0, nullptr);
    EXPECT_EQ(ERROR_SUCCESS, WriteBackupFile(file, &problem));
    WaitForSingleObject(release, INFINITE);
    CloseHandle(release);

    SeedNote(3, 10, 10, 80, 40, "later");
    BackupImage backup;
    ASSERT_EQ(ERROR_SUCCESS, ReadBackupFile(file, &backup));
    ASSERT_EQ(BackupProblem::kNone, backup.problem);
    ASSERT_EQ(ERROR_SUCCESS, ReplaceStore(backup.keys));
    EXPECT_EQ(before, storeText()) << "the store as it was, the later note gone";

    WriteRaw("line\nbreak", REG_SZ, "", 1);
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_NAME), WriteBackupFile(file, &problem));
    EXPECT_EQ(std::wstring(kStoreKeyName) + L" : line?break", problem);
    ASSERT_EQ(ERROR_SUCCESS, ReadBackupFile(file, &backup)) << "the earlier backup stays";
    DeleteFileW(file.c_str());

    const std::wstring head = std::wstring(kRegistryFileHeader) + L"\r\n\r\n[" + kStoreKeyName;
    const std::pair<std::wstring, BackupProblem> refused[] = {
        {L"REGEDIT4\r\n", BackupProblem::kNotBackup},
        {std::wstring(kRegistryFileHeader) + L"\r\n", BackupProblem::kNotBackup},
        {L"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software]",
            BackupProblem::kForeignKey},
        {head + L"X]", BackupProblem::kForeignKey},
        {L"Windows Registry Editor Version 5.00\r\n\r\n[-" + std::wstring(kStoreKeyName) + L"]",
            BackupProblem::kForeignKey},
        {head + L"]\r\n\"Path\"=hex(2):41,00,00,00", BackupProblem::kForeignValue},
        {head + L"]\r\n\"List1\"=-", BackupProblem::kForeignValue},
        {head + L"]\r\n\"Big\"=qword:0000000000000001", BackupProblem::kForeignValue},
        {head + L"]\r\n\"List1\"=hex:00,zz", BackupProblem::kUnreadable},
        {head + L"]\r\n\"Memo1\"=\"open", BackupProblem::kUnreadable},
    };
    for (const auto& [text, problem] : refused) {
        BackupImage image = ParseBackup(text);
        EXPECT_EQ(problem, image.problem) << NoteFromWide(text);
        EXPECT_EQ(problem == BackupProblem::kNotBackup       ? 1
                : text.find(L"\r\n\"") != std::wstring::npos ? 4
                                                             : 3,
            image.line)
            << NoteFromWide(text);
    }
}

TEST_F(Store, EmptyKeyGivesDefaultsAndWritesNothing)
{
    std::memset(&app_->options, 0x77, sizeof(app_->options));
    EXPECT_EQ(1, LoadStore(nullptr, CreateNoteWindow));

    Options expected;
    std::memset(&expected, 0, sizeof(expected));
    SetDefaultOptions(&expected);
    EXPECT_EQ(BytesOf(&expected, 64), BytesOf(&app_->options, 64)) << "defaults, editor rectangle 0, 0, 0, 0";
    LOGFONTA defaultFont;
    SetDefaultFont(&defaultFont);
    LOGFONTA loaded = FontOf(app_->defaultFont);
    EXPECT_EQ(defaultFont.lfHeight, loaded.lfHeight);
    EXPECT_EQ(defaultFont.lfCharSet, loaded.lfCharSet);
    EXPECT_EQ(defaultFont.lfPitchAndFamily, loaded.lfPitchAndFamily);
    EXPECT_STREQ(defaultFont.lfFaceName, loaded.lfFaceName);
    EXPECT_TRUE(OpenNotes().empty());

    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\KOVA\\Jotwise", 0, KEY_READ, &key))
        << "the key is created";
    DWORD values = 99;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
        nullptr, nullptr);
    RegCloseKey(key);
    EXPECT_EQ(0u, values) << "loading writes nothing";
}

TEST_F(Store, StoredOptionsAndFontAreTakenAsTheyAre)
{
    Options stored;
    std::memset(&stored, 0, sizeof(stored));
    SetDefaultOptions(&stored);
    stored.editorRect = {5, 6, 700, 500};
    stored.tabIndex = 2;
    stored.reserved[21] = 0x5A;
    WriteRaw("Option", REG_BINARY, &stored, sizeof(stored));
    LOGFONTA font = TestFont(31);
    WriteRaw("Font", REG_BINARY, &font, sizeof(font));

    LoadStore(nullptr, CreateNoteWindow);
    EXPECT_EQ(BytesOf(&stored, 64), BytesOf(&app_->options, 64));
    EXPECT_EQ(31, FontOf(app_->defaultFont).lfHeight);
}

TEST_F(Store, OptionOrFontLongerThanTheirRecordsMeanDefaults)
{
    std::uint8_t tooLong[65];
    std::memset(tooLong, 0x11, sizeof(tooLong));
    WriteRaw("Option", REG_BINARY, tooLong, sizeof(tooLong));
    WriteRaw("Font", REG_BINARY, tooLong, 61);
    LoadStore(nullptr, CreateNoteWindow);

    Options expected;
    std::memset(&expected, 0, sizeof(expected));
    SetDefaultOptions(&expected);
    EXPECT_EQ(BytesOf(&expected, 64), BytesOf(&app_->options, 64));
    EXPECT_EQ(17, FontOf(app_->defaultFont).lfHeight);
}

TEST_F(Store, ShortOptionFillsOnlyTheFrontOfAClearedRecord)
{
    RECT rect = {30, 40, 630, 440};
    WriteRaw("Option", REG_BINARY, &rect, sizeof(rect));
    std::memset(&app_->options, 0x77, sizeof(app_->options));
    LoadStore(nullptr, CreateNoteWindow);
    Options expected;
    std::memset(&expected, 0, sizeof(expected));
    expected.editorRect = rect;
    EXPECT_EQ(BytesOf(&expected, 64), BytesOf(&app_->options, 64));
}

TEST_F(Store, LoadedNoteKeepsReservedBytesAndStartsVisibleInDrawStateZero)
{
    NoteRecord stored = PatternedRecord(5);
    stored.hidden = 1;
    stored.drawState = kDrawOverdue;
    stored.storedText = 0xDEADBEEF; // never dereferenced
    stored.storedFont = 0xFEEDFACE;
    stored.storedBrush = 0xBADF00D;
    SeedNote(stored, "reserved", TestFont());

    LoadStore(nullptr, CreateNoteWindow);
    HWND note = NoteWithId(5);
    ASSERT_NE(nullptr, note);
    const NoteRecord* record = NoteRecordOf(note);
    ASSERT_NE(nullptr, record);
    EXPECT_TRUE(IsWindowVisible(note));
    EXPECT_EQ(0, record->hidden);
    EXPECT_EQ(0, record->drawState);
    EXPECT_EQ(0, record->deleted);
    EXPECT_EQ(0, std::memcmp(record->reserved0, stored.reserved0, 4));
    EXPECT_EQ(0, std::memcmp(record->reserved63, stored.reserved63, 17));
    EXPECT_STREQ("reserved", record->text);
    RECT rect = {};
    GetWindowRect(note, &rect);
    EXPECT_EQ(120, rect.left);
    EXPECT_EQ(90, rect.top);
    EXPECT_EQ(320, rect.right);
    EXPECT_EQ(160, rect.bottom);

    // Peeling it off writes the record back: only the run-time handle bits
    // and the two reset flags differ from what was stored.
    CloseNote(note);
    std::optional<RawValue> list = ReadRaw("List5");
    ASSERT_TRUE(list.has_value());
    ASSERT_EQ(80u, list->bytes.size());
    NoteRecord saved;
    std::memcpy(&saved, list->bytes.data(), 80);
    NoteRecord expected = stored;
    expected.hidden = 0;
    expected.drawState = 0;
    expected.storedText = saved.storedText;
    expected.storedFont = saved.storedFont;
    expected.storedBrush = saved.storedBrush;
    EXPECT_EQ(BytesOf(&expected, 80), list->bytes);
    EXPECT_EQ(BytesOf("reserved", 9), ReadRaw("Memo5")->bytes);
}

// A face the system lacks, in a character set for which the system would
// pick a font without Japanese: the text paints unlike boxes (what U+E000,
// which no font has, paints), and the font goes back to the store as it came.
TEST_F(Store, NoteInAFaceTheSystemLacksPaintsItsTextAndKeepsItsFont)
{
    LOGFONTA missing = TestFont();
    std::memset(missing.lfFaceName, 0, sizeof(missing.lfFaceName));
    std::strcpy(missing.lfFaceName, "Jotwise No Such Face");
    missing.lfCharSet = ANSI_CHARSET;
    SeedNote(MakeRecord(5, 10, 10, 120, 40), Sjis("期日"), missing);
    LoadStore(nullptr, CreateNoteWindow);
    NoteRecord* record = NoteRecordOf(NoteWithId(5));
    ASSERT_NE(nullptr, record);
    Canvas text(120, 40);
    Canvas boxes(120, 40);
    PaintNote(NoteWithId(5), text.dc());
    std::strcpy(record->text, "\xF0\x40\xF0\x40");
    PaintNote(NoteWithId(5), boxes.dc());
    EXPECT_NE(
        boxes.CountInk(0, 0, 120, 40, record->backColour), text.CountInk(0, 0, 120, 40, record->backColour))
        << "the text paints as boxes";
    LOGFONTA shown = {};
    ASSERT_TRUE(GetNoteFont(record->font, &shown));
    EXPECT_STREQ("Jotwise No Such Face", shown.lfFaceName) << "what the font dialog starts from";
    CloseNote(NoteWithId(5));
    EXPECT_EQ(BytesOf(&missing, sizeof(missing)), ReadRaw("Font5")->bytes);
}

TEST_F(Store, NoteWithMissingOrEmptyTextIsSkippedAndItsValuesStay)
{
    NoteRecord record = MakeRecord(3, 10, 10, 80, 40);
    LOGFONTA font = TestFont();
    WriteRaw("List3", REG_BINARY, &record, kNoteImageSize);
    WriteRaw("Font3", REG_BINARY, &font, sizeof(font));
    SeedNote(MakeRecord(4, 10, 10, 80, 40), "", font);
    SeedNote(MakeRecord(6, 10, 10, 80, 40), "no font", font);
    RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\KOVA\\Jotwise", "Font6");
    std::vector<std::string> before = ValueNames();

    LoadStore(nullptr, CreateNoteWindow);
    EXPECT_TRUE(OpenNotes().empty());
    EXPECT_EQ(before, ValueNames());
    EXPECT_EQ(BytesOf(&record, 80), ReadRaw("List3")->bytes);
    EXPECT_EQ(1, app_->storedIds[3]) << "a skipped note still keeps its ID from newcomers";
    EXPECT_EQ(1, app_->storedIds[4]);
    EXPECT_EQ(1, app_->storedIds[6]);
}

TEST_F(Store, NewNoteNeverTakesTheIdOfASkippedNote)
{
    SeedNote(1, 10, 10, 80, 40, "one");
    SeedNote(2, 10, 60, 80, 40, "two");
    NoteRecord skipped = MakeRecord(3, 10, 110, 80, 40);
    LOGFONTA font = TestFont();
    WriteRaw("List3", REG_BINARY, &skipped, kNoteImageSize);
    WriteRaw("Font3", REG_BINARY, &font, sizeof(font));
    LoadStore(nullptr, CreateNoteWindow);
    ASSERT_EQ(2u, OpenNotes().size());

    NoteRecord fresh = MakeRecord(0, 0, 0, 90, 50);
    char text[] = "fresh";
    fresh.text = text;
    fresh.font = CreateFontIndirectA(&font);
    PlaceNewNote(&fresh);
    EXPECT_EQ(4, fresh.id) << "3 belongs to the note that was not loaded";
    ASSERT_EQ(1, CreateNoteWindow(nullptr, &fresh, nullptr));
    SaveNote(&fresh);
    DeleteObject(fresh.font);
    EXPECT_EQ(BytesOf(&skipped, 80), ReadRaw("List3")->bytes);
    EXPECT_FALSE(ReadRaw("Memo3").has_value());
}

TEST_F(Store, SeventyNotesLoadSixtyFourReportOnceAndKeepTheRest)
{
    for (int id = 1; id <= 70; ++id)
        SeedNote(id, 10 * id, 5 * id, 60, 30, "note " + std::to_string(id));
    std::vector<Bytes> rest;
    for (int id = 65; id <= 70; ++id)
        rest.push_back(ReadRaw("List" + std::to_string(id))->bytes);

    std::vector<std::string> boxes;
    {
        BoxAnswerer answerer;
        LoadStore(nullptr, CreateNoteWindow);
        boxes = answerer.Texts();
    }
    ASSERT_EQ(1u, boxes.size()) << "message 8002 once";
    EXPECT_EQ(Sjis("個数オーバーです。これ以上開けません。"), boxes[0]);
    std::vector<HWND> notes = OpenNotes();
    ASSERT_EQ(64u, notes.size());
    for (int slot = 0; slot < 64; ++slot)
        EXPECT_EQ(slot + 1, NoteRecordOf(notes[slot])->id) << "slot " << slot;
    for (int id = 1; id <= 70; ++id)
        EXPECT_EQ(1, app_->storedIds[id]) << "stored ID " << id << ", loaded or not";

    // Peeled off, a note keeps its ID reserved, so the table of IDs stays
    // full; the ID a new note would get lies past every stored one.
    CloseNote(NoteWithId(10));
    NoteRecord fresh = MakeRecord(0, 0, 0, 90, 50);
    char text[] = "fresh";
    fresh.text = text;
    LOGFONTA font = TestFont();
    fresh.font = CreateFontIndirectA(&font);
    PlaceNewNote(&fresh);
    EXPECT_EQ(71, fresh.id);
    {
        BoxAnswerer answerer;
        EXPECT_EQ(0, CreateNoteWindow(nullptr, &fresh, nullptr));
        ASSERT_EQ(1u, answerer.Texts().size());
        EXPECT_EQ(Sjis("ID の設定に失敗しました。"), answerer.Texts()[0]);
    }

    // Deleting one frees its reservation and its values; the newcomer takes
    // that ID and leaves notes 65 to 70 alone.
    HWND doomed = NoteWithId(20);
    NoteRecordOf(doomed)->deleted = 1;
    CloseNote(doomed);
    PlaceNewNote(&fresh);
    EXPECT_EQ(20, fresh.id);
    ASSERT_EQ(1, CreateNoteWindow(nullptr, &fresh, nullptr));
    SaveNote(&fresh);
    DeleteObject(fresh.font);
    for (int id = 65; id <= 70; ++id)
        EXPECT_EQ(rest[id - 65], ReadRaw("List" + std::to_string(id))->bytes) << "List" << id;
    EXPECT_EQ(BytesOf("fresh", 6), ReadRaw("Memo20")->bytes);
}

TEST_F(Store, RecordCarryingAnotherIdTakesTheIdOfItsValueName)
{
    NoteRecord five = MakeRecord(9, 10, 10, 80, 40); // stored under 5, claims 9
    WriteRaw("List5", REG_BINARY, &five, kNoteImageSize);
    WriteText("Memo5", "five");
    LOGFONTA font = TestFont();
    WriteRaw("Font5", REG_BINARY, &font, sizeof(font));
    SeedNote(9, 200, 10, 80, 40, "nine");

    LoadStore(nullptr, CreateNoteWindow);
    ASSERT_EQ(2u, OpenNotes().size());
    HWND noteFive = NoteWithId(5);
    HWND noteNine = NoteWithId(9);
    ASSERT_NE(nullptr, noteFive);
    ASSERT_NE(nullptr, noteNine);
    EXPECT_STREQ("five", NoteRecordOf(noteFive)->text);

    CloseNote(noteFive);
    CloseNote(noteNine);
    EXPECT_EQ(BytesOf("five", 5), ReadRaw("Memo5")->bytes);
    EXPECT_EQ(BytesOf("nine", 5), ReadRaw("Memo9")->bytes) << "note 9 was not saved over";
    EXPECT_EQ(5, reinterpret_cast<const NoteRecord*>(ReadRaw("List5")->bytes.data())->id);
    EXPECT_EQ(200, reinterpret_cast<const NoteRecord*>(ReadRaw("List9")->bytes.data())->left);
}

TEST_F(Store, ValuesOfTheWrongTypeOrSizeNeverUpsetTheLoader)
{
    LOGFONTA font = TestFont();
    NoteRecord record = MakeRecord(0, 10, 10, 80, 40);
    DWORD number = 0x12345678;
    std::uint8_t big[300];
    std::memset(big, 0x41, sizeof(big));
    WriteRaw("Version", REG_BINARY, big, sizeof(big));
    WriteRaw("Option", REG_DWORD, &number, sizeof(number));
    WriteRaw("Font", REG_SZ, "\x41\x42", 3);
    // 1: the record as a string; 2: a DWORD; 3: too long; 4: empty.
    WriteRaw("List1", REG_SZ, "short", 6);
    WriteRaw("List2", REG_DWORD, &number, sizeof(number));
    WriteRaw("List3", REG_BINARY, big, sizeof(big));
    WriteRaw("List4", REG_BINARY, nullptr, 0);
    for (int id = 1; id <= 4; ++id) {
        WriteText("Memo" + std::to_string(id), "text");
        WriteRaw("Font" + std::to_string(id), REG_BINARY, &font, sizeof(font));
    }
    // 5: a text without its terminator and a font face without one;
    // 6: a short font; 7: a font of the wrong type.
    record.id = 5;
    WriteRaw("List5", REG_BINARY, &record, kNoteImageSize);
    WriteRaw("Memo5", REG_BINARY, "abc", 3);
    LOGFONTA unterminated = font;
    std::memset(unterminated.lfFaceName, 'M', sizeof(unterminated.lfFaceName));
    WriteRaw("Font5", REG_BINARY, &unterminated, sizeof(unterminated));
    record.id = 6;
    WriteRaw("List6", REG_BINARY, &record, kNoteImageSize);
    WriteText("Memo6", "six");
    WriteRaw("Font6", REG_BINARY, &font, 8);
    record.id = 7;
    WriteRaw("List7", REG_BINARY, &record, kNoteImageSize);
    WriteText("Memo7", "seven");
    WriteRaw("Font7", REG_DWORD, &number, sizeof(number));
    WriteRaw("Memo8", REG_BINARY, big, sizeof(big));

    EXPECT_EQ(1, LoadStore(nullptr, CreateNoteWindow));
    Options expected;
    std::memset(&expected, 0, sizeof(expected));
    expected.editorRect.left = 0x12345678;
    EXPECT_EQ(BytesOf(&expected, 64), BytesOf(&app_->options, 64)) << "a 4-byte Option fills the front";
    EXPECT_NE(nullptr, app_->defaultFont);
    EXPECT_EQ(nullptr, NoteWithId(3)) << "a List longer than 80 bytes is missing";
    for (int id = 1; id <= 7; ++id)
        EXPECT_EQ(1, app_->storedIds[id]) << "List" << id << " counts as stored";
    EXPECT_EQ(0, app_->storedIds[8]);
    HWND five = NoteWithId(5);
    if (five) {
        const char* text = NoteRecordOf(five)->text;
        ASSERT_NE(nullptr, text);
        EXPECT_EQ(0, std::strncmp("abc", text, std::strlen(text)));
    }
    for (HWND note : OpenNotes()) {
        const NoteRecord* loaded = NoteRecordOf(note);
        EXPECT_GE(loaded->id, 1);
        EXPECT_LE(loaded->id, 7);
        EXPECT_NE(nullptr, loaded->font);
    }
}

TEST_F(Store, DraftFontOfAnImpossibleHeightIsMendedLikeANotesFont)
{
    for (LONG height : {65535L, -65535L, -27L}) {
        Draft draft = {{}, TestFont(height), L"draft", true};
        ASSERT_EQ(ERROR_SUCCESS, SaveDraft(draft));
        ASSERT_TRUE(ReadDraft(&draft, 19));
        EXPECT_EQ(height == -27 ? -27 : 19, draft.font.lfHeight) << "DraftFont of height " << height;
    }
}
