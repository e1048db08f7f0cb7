// Notes created and torn down as fast as the main thread can while the
// monitor blinks every overdue note. Run under Wine's heap checking: a
// record touched after it was freed shows up as a heap complaint.
#include <gtest/gtest.h>

#include <algorithm>

#include "notes/monitor.h"
#include "notes/note_table.h"
#include "store/store.h"
#include "tests/e2e/driver.h"
#include "tests/unit/test_support.h"

namespace
{

std::vector<int> OccupiedSlots(const AppState* state)
{
    std::vector<int> slots;
    for (int slot = 0; slot < kMaxNotes; ++slot) {
        if (state->noteWindows[slot])
            slots.push_back(slot);
    }
    return slots;
}

} // namespace

TEST(Stress, MonitorAgainstCreateDuplicateAndCloseInProcess)
{
    ClearStore();
    ScopedAppState app;
    app->options.blink = 1;
    NoteRecord source = {};
    source.backColour = RGB(255, 255, 200);
    source.due = LocalTime(2001, 2, 20, 8, 0);
    source.width = 60;
    source.height = 30;
    char text[] = "overdue";
    source.text = text;
    LOGFONTA font;
    SetDefaultFont(&font);
    for (int i = 0; i < 48; ++i) {
        source.left = (i % 12) * 70;
        source.top = (i / 12) * 40;
        source.id = i + 1;
        ASSERT_EQ(1, CreateNoteWindow(nullptr, &source, &font));
    }
    StartMonitorThread();
    ASSERT_NE(nullptr, app->monitorThread);

    DWORD start = GetTickCount();
    int round = 0;
    while (GetTickCount() - start < 4000) {
        std::vector<int> slots = OccupiedSlots(app.get());
        ASSERT_FALSE(slots.empty());
        HWND victim = app->noteWindows[slots[(round * 7) % slots.size()]];
        switch (round % 3) {
        case 0:
            if (slots.size() < 60)
                DuplicateNote(victim);
            break;
        case 1: {
            // A peeled note keeps its ID reserved until the next start, so
            // only a few are peeled; the rest are deleted.
            NoteRecord* record = NoteRecordOf(victim);
            if (record && (round > 12 || round % 2))
                record->deleted = 1;
            SendMessageA(victim, WM_CLOSE, 0, 0);
            break;
        }
        default:
            // Stay below the table's limit: a full table asks the user.
            if (slots.size() < 60) {
                source.id = 0;
                PlaceNewNote(&source);
                CreateNoteWindow(nullptr, &source, &font);
            }
            break;
        }
        PumpMessages(round % 5 == 0 ? 30 : 0);
        ++round;
    }
    DWORD stopStart = GetTickCount();
    StopMonitorThread(app->monitorThread);
    app->monitorThread = nullptr;
    EXPECT_LT(GetTickCount() - stopStart, 1000u) << "the monitor stops within a blink";
    EXPECT_TRUE(HeapValidate(GetProcessHeap(), 0, nullptr));
    EXPECT_GT(round, 100) << "the loop really ran";
    for (int slot : OccupiedSlots(app.get()))
        SendMessageA(app->noteWindows[slot], WM_CLOSE, 0, 0);
    ClearStore();
}

namespace
{

// Answers the next box of the program with `button`; false when none came.
bool Answer(const e2e::Jotwise& app, int button)
{
    HWND box = app.WaitForDialog(5000);
    if (!box)
        return false;
    e2e::PressButton(box, button);
    return app.WaitForNoDialog(5000);
}

} // namespace

TEST(Stress, RealProgramWithBlinkingNotesExitsCleanly)
{
    e2e::store::Clear();
    Options options = {};
    SetDefaultOptions(&options);
    options.blink = 1;
    e2e::store::WriteBinary("Option", &options, sizeof(options));
    for (int id = 1; id <= kMaxNotes; ++id) {
        NoteRecord record = e2e::MakeNote(id, (id % 14) * 70, (id / 14) * 60, 64, 40);
        record.due = LocalTime(2001, 2, 20, 8, 0);
        e2e::store::SeedNote(record, "late " + std::to_string(id), e2e::DefaultFont());
    }
    e2e::Jotwise app;
    ASSERT_TRUE(app.Start());
    ASSERT_EQ(static_cast<size_t>(kMaxNotes), app.Notes().size());

    DWORD start = GetTickCount();
    int duplicates = 0;
    int deletes = 0;
    int peels = 0;
    int round = 0;
    while (GetTickCount() - start < 5000) {
        std::vector<HWND> notes = app.Notes(true);
        if (notes.empty())
            break;
        HWND note = notes[(round * 5) % notes.size()];
        switch (round % 3) {
        case 0:
            app.PostCommand(note, 1102); // delete from the records
            ASSERT_TRUE(Answer(app, IDYES));
            ++deletes;
            break;
        case 1:
            // The table is full again after each duplicate.
            app.PostCommand(note, 1112);
            ++duplicates;
            break;
        default:
            // Overdue: the delete question. No peels, which keeps the ID
            // reserved until the next start, so only the first few do.
            app.PostCommand(note, 1101);
            if (peels < 4) {
                ASSERT_TRUE(Answer(app, IDNO));
                ++peels;
            } else {
                ASSERT_TRUE(Answer(app, IDYES));
                ++deletes;
            }
            break;
        }
        app.Sync();
        ++round;
    }
    app.Sync();
    DWORD exitStart = GetTickCount();
    std::optional<DWORD> code = app.Exit(10000);
    DWORD exitTime = GetTickCount() - exitStart;
    ASSERT_EQ(std::optional<DWORD>(0), code);
    EXPECT_LT(exitTime, 2000u) << "exit with blinking notes takes " << exitTime << " ms";

    // Every seeded note that was not deleted is still stored, and so is
    // every duplicate; deleted notes left nothing behind.
    int lists = 0;
    for (const std::string& name : e2e::store::ValueNames()) {
        if (name.rfind("List", 0) == 0) {
            ++lists;
            int id = std::stoi(name.substr(4));
            EXPECT_TRUE(e2e::store::Read("Memo" + std::to_string(id)).has_value()) << name;
            EXPECT_TRUE(e2e::store::Read("Font" + std::to_string(id)).has_value()) << name;
        }
    }
    EXPECT_EQ(kMaxNotes + duplicates - deletes, lists) << round << " rounds";
    e2e::store::Clear();
}
