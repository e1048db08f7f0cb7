// The note table: creating, placing, duplicating and closing note windows.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "notes/note_store.h"
#include "notes/note_table.h"
#include "tests/unit/test_store_support.h"
#include "tests/unit/test_support.h"

using namespace storetest;

namespace
{

class NoteTable : public testing::Test
{
protected:
    void SetUp() override { ClearStore(); }
    void TearDown() override { ClearStore(); }

    // A note with its own text and font, created through the table.
    int Create(int id, int left, int top, int width, int height, const char* text = "note")
    {
        NoteRecord record = MakeRecord(id, left, top, width, height);
        record.text = const_cast<char*>(text);
        LOGFONTA font = TestFont();
        return CreateNoteWindow(nullptr, &record, &font);
    }

    void ClearIds()
    {
        std::memset(app_->noteIds, 0, sizeof(app_->noteIds));
        std::memset(app_->storedIds, 0, sizeof(app_->storedIds));
    }

    int NewId()
    {
        NoteRecord record = MakeRecord(0, 0, 0, 50, 50);
        PlaceNewNote(&record);
        return record.id;
    }

    int Reservations(int id) const
    {
        int count = 0;
        for (int entry : app_->noteIds)
            count += entry == id;
        return count;
    }

    ScopedAppState app_;
};

LOGFONTA FontOf(HFONT font)
{
    LOGFONTA logFont;
    std::memset(&logFont, 0, sizeof(logFont));
    GetObjectA(font, sizeof(logFont), &logFont);
    return logFont;
}

// Wine's heap checking (WINEDEBUG=warn+heap) holds freed blocks back, so
// heap counts mean nothing under it; the checker watches the heap instead.
bool HeapChecking()
{
    char value[256] = {};
    GetEnvironmentVariableA("WINEDEBUG", value, sizeof(value));
    return std::strstr(value, "heap") != nullptr;
}

std::size_t CountHeapBlocks(std::size_t* bytes = nullptr)
{
    HANDLE heaps[64];
    DWORD count = GetProcessHeaps(64, heaps);
    std::size_t blocks = 0;
    for (DWORD i = 0; i < count && i < 64; ++i) {
        if (!HeapLock(heaps[i]))
            continue;
        PROCESS_HEAP_ENTRY entry;
        std::memset(&entry, 0, sizeof(entry));
        while (HeapWalk(heaps[i], &entry)) {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) {
                ++blocks;
                if (bytes)
                    *bytes += entry.cbData;
            }
        }
        HeapUnlock(heaps[i]);
    }
    return blocks;
}

} // namespace

TEST_F(NoteTable, NoteWindowTakesItsShapeAndAFreshCopyOfTheRecord)
{
    NoteRecord source = MakeRecord(7, 150, 120, 210, 90);
    source.hidden = 1;
    source.deleted = 1;
    source.drawState = kDrawDue;
    source.reserved0[2] = 0x42;
    source.reserved63[16] = 0x99;
    char text[] = "shape";
    source.text = text;
    LOGFONTA font = TestFont(21);
    NoteRecord before = source;
    ASSERT_EQ(1, CreateNoteWindow(nullptr, &source, &font));
    EXPECT_EQ(0, std::memcmp(&before, &source, sizeof(source))) << "the source is not changed";

    HWND note = NoteWithId(7);
    ASSERT_NE(nullptr, note);
    EXPECT_EQ(note, app_->noteWindows[0]) << "the lowest free slot";
    EXPECT_EQ(7, app_->noteIds[0]);
    char name[32] = {};
    GetClassNameA(note, name, sizeof(name));
    EXPECT_STREQ("MemoC", name);
    // The system adds WS_CLIPSIBLINGS to every top-level window.
    EXPECT_EQ(0x90000000u, static_cast<DWORD>(GetWindowLongA(note, GWL_STYLE)) & ~WS_CLIPSIBLINGS);
    DWORD exStyle = static_cast<DWORD>(GetWindowLongA(note, GWL_EXSTYLE));
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(exStyle & WS_EX_TOPMOST);
    EXPECT_TRUE(IsWindowVisible(note));
    RECT rect = {};
    GetWindowRect(note, &rect);
    EXPECT_EQ(150, rect.left);
    EXPECT_EQ(120, rect.top);
    EXPECT_EQ(360, rect.right);
    EXPECT_EQ(210, rect.bottom);

    const NoteRecord* record = NoteRecordOf(note);
    ASSERT_NE(nullptr, record);
    EXPECT_EQ(0, record->hidden);
    EXPECT_EQ(0, record->deleted);
    EXPECT_EQ(0, record->drawState);
    EXPECT_EQ(0x42, record->reserved0[2]);
    EXPECT_EQ(0x99, record->reserved63[16]);
    ASSERT_NE(nullptr, record->text);
    EXPECT_NE(text, record->text) << "the note owns its own text";
    EXPECT_STREQ("shape", record->text);
    EXPECT_EQ(21, FontOf(record->font).lfHeight);
    EXPECT_EQ(static_cast<DWORD>(OBJ_BRUSH), GetObjectType(record->brush));

    // Without a LOGFONTA the font comes from the source's font; with the
    // border option the window gets a sizing frame.
    app_->options.border = 1;
    LOGFONTA otherFont = TestFont(27);
    source.font = CreateFontIndirectA(&otherFont);
    source.id = 8;
    ASSERT_EQ(1, CreateNoteWindow(nullptr, &source, nullptr));
    HWND framed = NoteWithId(8);
    ASSERT_NE(nullptr, framed);
    EXPECT_EQ(0x90040000u, static_cast<DWORD>(GetWindowLongA(framed, GWL_STYLE)) & ~WS_CLIPSIBLINGS);
    EXPECT_NE(source.font, NoteRecordOf(framed)->font);
    EXPECT_EQ(27, FontOf(NoteRecordOf(framed)->font).lfHeight);
    DeleteObject(source.font);
}

TEST_F(NoteTable, SixtyFifthNoteReportsOnceAndLeavesTheTableAsItWas)
{
    for (int id = 1; id <= 64; ++id)
        ASSERT_EQ(1, Create(id, id * 5, id * 5, 40, 30)) << "note " << id;
    HWND windows[kMaxNotes];
    std::int32_t ids[kMaxNotes];
    std::memcpy(windows, app_->noteWindows, sizeof(windows));
    std::memcpy(ids, app_->noteIds, sizeof(ids));
    int windowCount = CountNoteWindows();
    EXPECT_EQ(-1, FindFreeNoteSlot(nullptr, 0));

    BoxAnswerer answerer;
    EXPECT_EQ(0, Create(65, 10, 10, 40, 30));
    ASSERT_EQ(1u, answerer.Texts().size());
    EXPECT_EQ(Sjis("個数オーバーです。これ以上開けません。"), answerer.Texts()[0]);
    EXPECT_EQ(0, std::memcmp(windows, app_->noteWindows, sizeof(windows)));
    EXPECT_EQ(0, std::memcmp(ids, app_->noteIds, sizeof(ids)));
    EXPECT_EQ(windowCount, CountNoteWindows());
}

TEST_F(NoteTable, NewIdIsTheLowestNeitherReservedNorStored)
{
    app_->noteIds[0] = 1;
    app_->noteIds[1] = 2;
    app_->noteIds[2] = 4;
    EXPECT_EQ(3, NewId());

    ClearIds();
    app_->noteIds[2] = 5;
    EXPECT_EQ(1, NewId()) << "entries holding 0 are free";

    ClearIds();
    app_->noteIds[0] = 200;
    app_->noteIds[1] = -5;
    app_->noteIds[2] = 1;
    EXPECT_EQ(2, NewId()) << "200 and -5 mark nothing";

    ClearIds();
    app_->storedIds[1] = 1;
    app_->storedIds[2] = 1;
    app_->noteIds[0] = 3;
    EXPECT_EQ(4, NewId()) << "IDs kept by the store are avoided too";
    EXPECT_FALSE(IsNoteIdFree(1));
    EXPECT_FALSE(IsNoteIdFree(3));
    EXPECT_TRUE(IsNoteIdFree(4));
    EXPECT_FALSE(IsNoteIdFree(0));
    EXPECT_FALSE(IsNoteIdFree(-5));
    EXPECT_TRUE(IsNoteIdFree(130));
    app_->noteIds[1] = 130;
    EXPECT_FALSE(IsNoteIdFree(130));

    // With every loadable ID taken, a new note goes above them rather than
    // over a stored note.
    ClearIds();
    for (int id = 1; id < kMaxStoredId; ++id)
        app_->storedIds[id] = 1;
    app_->noteIds[0] = kMaxStoredId;
    EXPECT_EQ(kMaxStoredId + 1, ChooseFreeNoteId(5)) << "the last loadable ID, held by a note of this run";
    app_->storedIds[kMaxStoredId] = 1;
    app_->noteIds[0] = 128;
    EXPECT_EQ(129, ChooseFreeNoteId(5));
    // Notes above that range are never loaded; one that an earlier run
    // stored there must not be saved over either.
    SeedNote(129, 10, 10, 80, 40, "kept from an earlier run");
    EXPECT_EQ(130, ChooseFreeNoteId(5));
    EXPECT_FALSE(IsNoteIdFree(129));
    EXPECT_TRUE(IsNoteIdFree(130));
}

TEST_F(NoteTable, NewNotesAndDuplicatesLandInTheWorkAreaAndOffOtherNotes)
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    std::srand(4321);
    ASSERT_EQ(1, Create(1, 0, 0, width / 2, height));
    // Bands along the top and bottom edges are taken by bars.
    const RECT work = {0, 40, width, height - 60};
    for (int i = 0; i < 30; ++i) {
        NoteRecord record = MakeRecord(0, 0, 0, 90, 50);
        PlaceNewNote(&record, &work);
        EXPECT_TRUE(record.left > width / 2 && record.left < width) << "left " << record.left;
        EXPECT_TRUE(record.top >= 40 && record.top < height - 60) << "top " << record.top;
        EXPECT_EQ(90, record.width);
        EXPECT_EQ(2, record.id);
    }
    for (int i = 0; i < 5; ++i)
        ASSERT_EQ(1, DuplicateNote(NoteWithId(1)));
    for (int id = 2; id <= 6; ++id)
        EXPECT_GT(NoteRecordOf(NoteWithId(id))->left, width / 2) << "duplicate " << id << " off its source";

    // With no free spot left, a new note still lands somewhere on the screen.
    ASSERT_EQ(1, Create(7, 0, 0, width, height));
    NoteRecord record = MakeRecord(0, 0, 0, 90, 50);
    PlaceNewNote(&record);
    EXPECT_TRUE(record.left >= 0 && record.left < width && record.top >= 0 && record.top < height);
    EXPECT_EQ(8, record.id);
}

TEST_F(NoteTable, PointOnNoteUsesTheRecordRectangleWithInclusiveEdges)
{
    ASSERT_EQ(1, Create(1, 100, 100, 50, 50));
    EXPECT_EQ(1, IsPointOnNote(100, 100));
    EXPECT_EQ(1, IsPointOnNote(150, 150));
    EXPECT_EQ(1, IsPointOnNote(150, 100));
    EXPECT_EQ(0, IsPointOnNote(151, 100));
    EXPECT_EQ(0, IsPointOnNote(99, 120));
    EXPECT_EQ(0, IsPointOnNote(120, 151));
}

TEST(NoteClamp, OneCorrectionPerAxis)
{
    NoteRecord record = MakeRecord(1, 1000, 700, 100, 100);
    ClampToArea(&record, {0, 0, 1024, 768});
    EXPECT_EQ(924, record.left);
    EXPECT_EQ(668, record.top);
    EXPECT_EQ(100, record.width);
    EXPECT_EQ(100, record.height);

    record = MakeRecord(1, -20, -5, 100, 100);
    ClampToArea(&record, {0, 0, 1024, 768});
    EXPECT_EQ(0, record.left);
    EXPECT_EQ(0, record.top);

    record = MakeRecord(1, 0, 10, 1200, 50);
    ClampToArea(&record, {0, 0, 1024, 768});
    EXPECT_EQ(-176, record.left) << "wider than the screen: a negative left";
    EXPECT_EQ(10, record.top);
    EXPECT_EQ(1200, record.width);

    record = MakeRecord(1, 20, 10, 100, 20);
    ClampToArea(&record, {60, 40, 1024, 728});
    EXPECT_EQ(60, record.left) << "right of a band the taskbar takes";
    EXPECT_EQ(40, record.top);
}

TEST_F(NoteTable, DuplicateKeepsTheSourceAndStoresTheCopyAtOnce)
{
    NoteRecord source = MakeRecord(1, 300, 200, 160, 80);
    source.created = {0x01020304, 0x01D90000};
    source.due = {0x05060708, 0x01D90001};
    source.reserved63[3] = 0x33;
    char text[] = "twice";
    source.text = text;
    LOGFONTA font = TestFont(25);
    ASSERT_EQ(1, CreateNoteWindow(nullptr, &source, &font));
    HWND original = NoteWithId(1);
    ASSERT_NE(nullptr, original);
    NoteRecord before = *NoteRecordOf(original);

    ASSERT_EQ(1, DuplicateNote(original));
    ASSERT_EQ(2u, OpenNotes().size());
    const NoteRecord* after = NoteRecordOf(original);
    EXPECT_EQ(0, std::memcmp(&before, after, sizeof(before)))
        << "source record unchanged, resources included";
    EXPECT_FALSE(ReadRaw("List1").has_value()) << "only the copy is saved";

    HWND twin = NoteWithId(2);
    ASSERT_NE(nullptr, twin);
    const NoteRecord* copy = NoteRecordOf(twin);
    EXPECT_STREQ("twice", copy->text);
    EXPECT_NE(after->text, copy->text);
    EXPECT_NE(after->font, copy->font);
    EXPECT_EQ(25, FontOf(copy->font).lfHeight);
    EXPECT_EQ(160, copy->width);
    EXPECT_EQ(80, copy->height);
    EXPECT_EQ(0x33, copy->reserved63[3]);

    std::optional<RawValue> list = ReadRaw("List2");
    ASSERT_TRUE(list.has_value());
    ASSERT_EQ(80u, list->bytes.size());
    NoteRecord stored;
    std::memcpy(&stored, list->bytes.data(), 80);
    EXPECT_EQ(0, std::memcmp(&stored.foreColour, &copy->foreColour, 80 - 16))
        << "the stored copy is the new note, from the colours on";
    EXPECT_EQ(0x01020304u, stored.created.dwLowDateTime);
    EXPECT_EQ(0x01D90001u, stored.due.dwHighDateTime);
    EXPECT_EQ(BytesOf("twice", 6), ReadRaw("Memo2")->bytes);
    EXPECT_EQ(25, reinterpret_cast<const LOGFONTA*>(ReadRaw("Font2")->bytes.data())->lfHeight);
    EXPECT_EQ(0, DuplicateNote(nullptr));
}

TEST_F(NoteTable, ClosingWithoutDeletionKeepsTheIdReserved)
{
    ASSERT_EQ(1, Create(1, 10, 10, 60, 40, "kept"));
    ASSERT_EQ(1, Create(2, 90, 10, 60, 40));
    HWND note = NoteWithId(1);
    NoteRecord* record = NoteRecordOf(note);
    HFONT font = record->font;
    HBRUSH brush = record->brush;

    CloseNote(note);
    EXPECT_FALSE(IsWindow(note));
    EXPECT_EQ(nullptr, app_->noteWindows[0]);
    EXPECT_EQ(1, Reservations(1));
    EXPECT_EQ(0u, GetObjectType(font)) << "font released";
    EXPECT_EQ(0u, GetObjectType(brush)) << "brush released";
    EXPECT_EQ(BytesOf("kept", 5), ReadRaw("Memo1")->bytes) << "peeled off, the note stays stored";
    EXPECT_EQ(3, NewId()) << "the peeled note's ID is not given out in this run";
}

TEST_F(NoteTable, ClosingADeletedNoteFreesExactlyOneReservation)
{
    ASSERT_EQ(1, Create(5, 10, 10, 60, 40));
    SaveNote(NoteRecordOf(NoteWithId(5)));
    ASSERT_TRUE(ReadRaw("List5").has_value());
    app_->storedIds[5] = 1;
    app_->noteIds[10] = 5;
    ASSERT_EQ(2, Reservations(5));

    HWND note = NoteWithId(5);
    NoteRecordOf(note)->deleted = 1;
    CloseNote(note);
    EXPECT_FALSE(IsWindow(note));
    EXPECT_EQ(1, Reservations(5));
    EXPECT_EQ(5, app_->noteIds[10]);
    EXPECT_FALSE(ReadRaw("List5").has_value());
    EXPECT_FALSE(ReadRaw("Memo5").has_value());
    EXPECT_FALSE(ReadRaw("Font5").has_value());
    EXPECT_EQ(0, app_->storedIds[5]);
}

TEST_F(NoteTable, CloseLeavesWindowsOutsideTheTableAlone)
{
    HWND stranger = CreateWindowExA(
        WS_EX_TOOLWINDOW, "STATIC", nullptr, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, stranger);
    CloseNote(stranger);
    EXPECT_TRUE(IsWindow(stranger));

    // In the table but without a record: the slot is emptied, the window stays.
    app_->noteWindows[3] = stranger;
    CloseNote(stranger);
    EXPECT_EQ(nullptr, app_->noteWindows[3]);
    EXPECT_TRUE(IsWindow(stranger));
    DestroyWindow(stranger);
}

TEST_F(NoteTable, SixtyFourNotesPeeledOffLeaveNoIdForAnother)
{
    for (int id = 1; id <= 64; ++id) {
        ASSERT_EQ(1, Create(id, 10, 10, 40, 30)) << "note " << id;
        CloseNote(NoteWithId(id));
    }
    EXPECT_TRUE(OpenNotes().empty());
    for (int entry : app_->noteIds)
        EXPECT_NE(0, entry);
    int windowCount = CountNoteWindows();

    BoxAnswerer answerer;
    EXPECT_EQ(0, Create(65, 10, 10, 40, 30));
    ASSERT_EQ(1u, answerer.Texts().size());
    EXPECT_EQ(Sjis("ID の設定に失敗しました。"), answerer.Texts()[0]);
    EXPECT_TRUE(OpenNotes().empty());
    EXPECT_EQ(windowCount, CountNoteWindows()) << "no note window added";

    // Each refusal releases the text, font and brush made for the note.
    const std::string text(50000, 'x');
    DWORD gdiBefore = CountGdiObjects();
    std::size_t bytesBefore = 0, bytesAfter = 0;
    CountHeapBlocks(&bytesBefore);
    {
        BoxAnswerer more;
        for (int i = 0; i < 20; ++i)
            EXPECT_EQ(0, Create(65, 10, 10, 40, 30, text.c_str()));
    }
    CountHeapBlocks(&bytesAfter);
    EXPECT_LT(CountGdiObjects(), gdiBefore + 20) << "fonts and brushes of refused notes";
    EXPECT_TRUE(HeapChecking() || bytesAfter < bytesBefore + 10 * text.size())
        << "text copies of refused notes";
}

TEST_F(NoteTable, NoteWithoutAnyFontIsNotCreated)
{
    NoteRecord record = MakeRecord(3, 10, 10, 60, 40);
    char text[] = "fontless";
    record.text = text;
    int windowCount = CountNoteWindows();
    BoxAnswerer answerer;
    EXPECT_EQ(0, CreateNoteWindow(nullptr, &record, nullptr));
    EXPECT_EQ(1u, answerer.Texts().size()) << "the system error is shown";
    EXPECT_TRUE(OpenNotes().empty());
    EXPECT_EQ(0, Reservations(3));
    EXPECT_EQ(windowCount, CountNoteWindows());
    EXPECT_EQ(0, CreateNoteWindow(nullptr, nullptr, nullptr));
}

TEST_F(NoteTable, CreateAndCloseCyclesLeakNoHandlesOrMemory)
{
    auto cycle = [this](bool* released) {
        NoteRecord record = MakeRecord(0, 0, 0, 120, 60);
        char text[] = "cycle\r\ntext";
        record.text = text;
        LOGFONTA font = TestFont();
        PlaceNewNote(&record);
        if (!CreateNoteWindow(nullptr, &record, &font))
            return false;
        HWND note = NoteWithId(record.id);
        if (!DuplicateNote(note))
            return false;
        HFONT noteFont = NoteRecordOf(note)->font;
        HBRUSH noteBrush = NoteRecordOf(note)->brush;
        for (HWND open : OpenNotes()) {
            NoteRecordOf(open)->deleted = 1;
            CloseNote(open);
        }
        *released = GetObjectType(noteFont) == 0 && GetObjectType(noteBrush) == 0;
        return OpenNotes().empty();
    };
    bool released = true;
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(cycle(&released));

    DWORD gdiBefore = CountGdiObjects();
    int windowsBefore = CountNoteWindows();
    std::size_t heapBefore = CountHeapBlocks();
    int failures = 0;
    int leftHandles = 0;
    for (int i = 0; i < 500; ++i) {
        released = false;
        failures += !cycle(&released);
        leftHandles += !released;
    }
    DWORD gdiAfter = CountGdiObjects();
    std::size_t heapAfter = CountHeapBlocks();

    EXPECT_EQ(0, failures);
    EXPECT_EQ(0, leftHandles) << "font or brush alive after the note closed";
    EXPECT_LE(gdiAfter, gdiBefore + 5) << "GDI objects";
    EXPECT_GT(gdiBefore, 0u) << "the GDI count sees the notes' fonts";
    EXPECT_EQ(windowsBefore, CountNoteWindows()) << "note windows";
    EXPECT_TRUE(HeapChecking() || heapAfter <= heapBefore + 50)
        << heapAfter - heapBefore << " heap blocks more after 500 cycles";
    EXPECT_GT(heapBefore, 0u) << "the heap walk sees the heap";
}
