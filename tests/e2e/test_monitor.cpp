// The due monitor seen from outside: what colour notes show and when they
// blink, with due times set relative to the machine's clock.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "app/main_window.h"
#include "tests/e2e/driver.h"

using namespace e2e;

namespace
{

// What the note shows on the screen, away from its text.
COLORREF ShownColour(HWND note)
{
    HDC dc = GetDC(note);
    RECT client;
    GetClientRect(note, &client);
    COLORREF colour = GetPixel(dc, client.right - 2, client.bottom - 2);
    ReleaseDC(note, dc);
    return colour;
}

void SeedOptions(bool blink)
{
    Options options = {};
    SetDefaultOptions(&options);
    options.blink = blink;
    options.blackWhite = 0;
    store::WriteBinary("Option", &options, sizeof(options));
}

class MonitorSeen : public testing::Test
{
protected:
    void SetUp() override { store::Clear(); }
    void TearDown() override { store::Clear(); }

    // Waits until the note shows the colour; false after timeoutMs.
    static bool WaitForColour(HWND note, COLORREF colour, DWORD timeoutMs = 10000)
    {
        return WaitUntil([=] { return ShownColour(note) == colour; }, timeoutMs);
    }
};

} // namespace

TEST_F(MonitorSeen, NotesTakeTheEveAndDueColoursSoonAfterStart)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    if (now.wHour == 23 && now.wMinute >= 50)
        GTEST_SKIP() << "too close to midnight for a due time later today";
    SeedOptions(false);
    const COLORREF own = RGB(0x40, 0xA0, 0x60);
    const long long dues[] = {kMinutesPerDay + 5, 5, -kMinutesPerDay};
    for (int i = 0; i < 3; ++i) {
        NoteRecord record = MakeNote(i + 1, 40 + 120 * i, 40, 100, 60);
        record.backColour = own;
        record.due = LocalTimeFromNow(dues[i]);
        store::SeedNote(record, "due", DefaultFont());
    }
    Jotwise app;
    ASSERT_TRUE(app.Start());
    std::vector<HWND> notes = app.Notes(true);
    ASSERT_EQ(3u, notes.size());
    Options defaults = {};
    SetDefaultOptions(&defaults);
    for (HWND note : notes) {
        RECT rect = WindowRect(note);
        COLORREF expected = rect.left < 150 ? defaults.eveColour : defaults.dueColour;
        EXPECT_TRUE(WaitForColour(note, expected))
            << "note at x " << rect.left << " shows " << std::hex << ShownColour(note);
    }
    EXPECT_EQ(std::optional<DWORD>(0), app.Exit());
}

// Due about three seconds after start-up, then the clock moved on by three
// days: the monitor, asleep in between, recolours on time and as soon as it
// is told, and not before.
TEST_F(MonitorSeen, ColoursChangeAtTheDueMomentAndWhenTheClockMoves)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    if (now.wHour == 23 && now.wMinute >= 58)
        GTEST_SKIP() << "too close to midnight for a due time later today";
    Options options = {}; // the defaults: black and white, so overdue looks unlike due today
    SetDefaultOptions(&options);
    NoteRecord soon = MakeNote(1, 40, 40, 100, 60);
    const FILETIME seeded = LocalTimeFromNow(0);
    ULARGE_INTEGER due = {{seeded.dwLowDateTime, seeded.dwHighDateTime}};
    due.QuadPart += 5 * 10000000ULL;
    soon.due = {due.LowPart, due.HighPart};
    store::SeedNote(soon, "soon", DefaultFont());
    NoteRecord later = MakeNote(2, 200, 40, 100, 60);
    later.due = LocalTimeFromNow(2 * kMinutesPerDay);
    store::SeedNote(later, "later", DefaultFont());
    NoteRecord moved = MakeNote(3, 360, 40, 100, 60);
    // Due seconds after the clock moved: the timer, set in UTC from the moved
    // clock, comes for it untold.
    ULARGE_INTEGER movedDue = due;
    movedDue.QuadPart += 3ULL * kMinutesPerDay * 60 * 10000000 + 5 * 10000000ULL;
    moved.due = {movedDue.LowPart, movedDue.HighPart};
    store::SeedNote(moved, "moved", DefaultFont());
    Jotwise app;
    ASSERT_TRUE(app.Start());
    std::vector<HWND> notes = app.Notes(true);
    ASSERT_EQ(3u, notes.size());
    std::sort(
        notes.begin(), notes.end(), [](HWND a, HWND b) { return WindowRect(a).left < WindowRect(b).left; });
    HWND soonNote = notes[0], laterNote = notes[1], movedNote = notes[2];
    ASSERT_TRUE(WaitForColour(soonNote, options.dueColour, 5000)) << "due later today";

    ASSERT_TRUE(WaitForColour(soonNote, RGB(0, 0, 0))) << "overdue in black and white";
    FILETIME seen = LocalTimeFromNow(0);
    ULARGE_INTEGER late = {{seen.dwLowDateTime, seen.dwHighDateTime}};
    EXPECT_LT(late.QuadPart, due.QuadPart + 10000000ULL) << "within a second of the due time";
    EXPECT_GE(late.QuadPart, due.QuadPart) << "not before the due time";

    COLORREF own = ShownColour(laterNote);
    ASSERT_TRUE(app.Send(app.MainWindow(), WM_SHIFTCLOCK, 0, 3 * kMinutesPerDay));
    EXPECT_FALSE(WaitUntil([&] { return ShownColour(laterNote) != own; }, 500))
        << "nobody told the monitor yet";
    ASSERT_TRUE(app.Send(app.MainWindow(), WM_TIMECHANGE));
    EXPECT_TRUE(WaitForColour(laterNote, RGB(0, 0, 0), 2000)) << "recoloured as soon as told";
    ASSERT_TRUE(WaitForColour(movedNote, RGB(0, 0, 0), 20000)) << "overdue on the moved clock";
    seen = LocalTimeFromNow(3 * kMinutesPerDay);
    late = {{seen.dwLowDateTime, seen.dwHighDateTime}};
    EXPECT_LT(late.QuadPart, movedDue.QuadPart + 10000000ULL) << "within a second of the due time";
    EXPECT_GE(late.QuadPart, movedDue.QuadPart) << "not before the due time";
    EXPECT_EQ(std::optional<DWORD>(0), app.Exit());
}

TEST_F(MonitorSeen, NoBlinkWhileThePeelQuestionIsUp)
{
    SeedOptions(true);
    NoteRecord record = MakeNote(1, 200, 200, 120, 60);
    record.due = LocalTimeFromNow(-60);
    store::SeedNote(record, "late", DefaultFont());
    Jotwise app;
    ASSERT_TRUE(app.Start());
    HWND note = app.Notes().at(0);

    auto hiddenWithin = [note](DWORD ms) { return WaitUntil([note] { return !IsWindowVisible(note); }, ms); };
    EXPECT_TRUE(hiddenWithin(10000)) << "an overdue note blinks when blink is on";

    app.PostCommand(note, 1101);
    HWND box = app.WaitForDialog();
    ASSERT_TRUE(box);
    // A blink begun before the question ends with the note shown again: its
    // hiding has been handled once this is answered, its showing follows.
    app.Sync();
    ASSERT_TRUE(WaitUntil([note] { return IsWindowVisible(note) != FALSE; }));
    EXPECT_FALSE(hiddenWithin(1500)) << "the note stays put while its question is up";
    PressButton(box, IDCANCEL);
    ASSERT_TRUE(app.WaitForNoDialog());
    EXPECT_TRUE(hiddenWithin(10000)) << "blinking resumes after the question";
    EXPECT_EQ(std::optional<DWORD>(0), app.Exit());
}

// A daily note: its due moment brings up the reminder window, a snooze takes
// it out until the clock has moved on, done makes it due tomorrow; repeat and
// snooze survive a restart, a deletion and the way back from the bin.
TEST_F(MonitorSeen, ADailyNoteIsAnnouncedSnoozedAndDone)
{
    constexpr int kReminderView = 311, kReminderDone = 313, kSnoozeTenMinutes = 322, kSnoozeHour = 1139;
    constexpr ULONGLONG kSecond = 10000000ULL;
    SYSTEMTIME now;
    GetLocalTime(&now);
    if (now.wHour == 23 && now.wMinute >= 45)
        GTEST_SKIP() << "too close to midnight for a due time later today";
    Options options = {};
    SetDefaultOptions(&options);
    options.eveColourOn = 0; // due tomorrow: the note's own colours
    options.blackWhite = 0;
    store::WriteBinary("Option", &options, sizeof(options));
    NoteRecord record = MakeNote(3, 40, 40, 120, 60);
    record.backColour = RGB(0x40, 0xA0, 0x60);
    record.created = LocalTimeFromNow(-60);
    FILETIME seeded = LocalTimeFromNow(0);
    ULARGE_INTEGER due = {{seeded.dwLowDateTime, seeded.dwHighDateTime}};
    due.QuadPart += 4 * kSecond;
    record.due = {due.LowPart, due.HighPart};
    store::SeedNote(record, "daily", DefaultFont());
    const DWORD daily[4] = {1, 0, record.created.dwLowDateTime, record.created.dwHighDateTime};
    store::WriteBinary("Repeat3", daily, sizeof(daily));

    Jotwise app;
    ASSERT_TRUE(app.Start());
    HWND note = app.Notes().at(0);
    HWND reminder = app.WaitForWindow("RemindC", 10000);
    ASSERT_NE(nullptr, reminder) << "the due moment brings up the reminder window";
    EXPECT_TRUE(GetWindowLongA(reminder, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_NE(reminder, GetForegroundWindow()) << "it takes no focus";
    EXPECT_EQ(1, SendMessageA(GetDlgItem(reminder, kReminderView), LVM_GETITEMCOUNT, 0, 0));
    PostMessageA(reminder, WM_COMMAND, kSnoozeTenMinutes, 0);
    EXPECT_TRUE(WaitUntil([reminder] { return !IsWindow(reminder); })) << "snoozed: nothing left to show";
    EXPECT_TRUE(WaitForColour(note, options.dueColour)) << "the colours keep telling the truth";
    SendMessageA(app.MainWindow(), WM_SHIFTCLOCK, 0, 10);
    SendMessageA(app.MainWindow(), WM_TIMECHANGE, 0, 0);
    reminder = app.WaitForWindow("RemindC", 5000);
    ASSERT_NE(nullptr, reminder) << "back when the snooze has ended";

    PostMessageA(reminder, WM_COMMAND, kReminderDone, 0);
    EXPECT_TRUE(WaitUntil([reminder] { return !IsWindow(reminder); }));
    EXPECT_TRUE(WaitForColour(note, record.backColour)) << "done: the note's own colours";
    std::optional<NoteRecord> done = store::ReadNote(3);
    ASSERT_TRUE(done.has_value()) << "saved at once";
    ULARGE_INTEGER next = {{done->due.dwLowDateTime, done->due.dwHighDateTime}};
    EXPECT_EQ(due.QuadPart + 24 * 3600 * kSecond, next.QuadPart) << "tomorrow at the same time";
    EXPECT_FALSE(store::Read("Snooze3").has_value()) << "done ends the snooze";

    app.PostCommand(note, kSnoozeHour);
    ASSERT_TRUE(WaitUntil([] { return store::Read("Snooze3").has_value(); }));
    const Bytes repeat = store::Read("Repeat3").value_or(Bytes{});
    const Bytes snooze = store::Read("Snooze3").value_or(Bytes{});
    ASSERT_EQ(std::optional<DWORD>(0), app.Exit());
    ASSERT_TRUE(app.Start()) << "a restart loads them and saves them again at the exit";
    app.Sync();
    ASSERT_EQ(std::optional<DWORD>(0), app.Exit());
    EXPECT_EQ(repeat, store::Read("Repeat3").value_or(Bytes{}));
    EXPECT_EQ(snooze, store::Read("Snooze3").value_or(Bytes{}));

    ASSERT_TRUE(app.Start());
    app.PostCommand(app.Notes().at(0), 1102); // 記録から削除(&K)
    HWND box = app.WaitForDialog();
    ASSERT_NE(nullptr, box);
    PressButton(box, IDYES);
    ASSERT_TRUE(WaitUntil([] { return !store::Read("Repeat3") && !store::Read("Snooze3"); }));
    app.PostTrayCommand(1033); // メモの一覧(&L)...
    HWND list = app.WaitForWindow("ListC");
    ASSERT_NE(nullptr, list);
    app.Sync();
    app.PostCommand(list, 206); // 元に戻す(&R), the bin's only note
    ASSERT_TRUE(WaitUntil([&app] { return app.Notes().size() == 1; }));
    EXPECT_EQ(repeat, store::Read("Repeat1").value_or(Bytes{})) << "back under the lowest free ID";
    EXPECT_EQ(snooze, store::Read("Snooze1").value_or(Bytes{}));
    EXPECT_EQ(std::optional<DWORD>(0), app.Exit());
    EXPECT_EQ(repeat, store::Read("Repeat1").value_or(Bytes{})) << "and loaded with the note";
}
