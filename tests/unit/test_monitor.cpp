// The due monitor: draw states, repaints, blinking and the paste button.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <bit>
#include <vector>

#include "app/reminder_balloon.h"
#include "due/alarm_time.h"
#include "notes/monitor.h"
#include "notes/note_table.h"
#include "notes/note_window.h"
#include "notes/reminder_queue.h"
#include "platform/tray_icon.h"
#include "reminders/reminder_window.h"
#include "res/resource.h"
#include "tests/e2e/driver.h"
#include "tests/unit/test_support.h"

namespace
{

// "Now" for every case: 2001/03/01 12:00.
const FILETIME kNow = LocalTime(2001, 3, 1, 12, 0);

// The balloons the tray was asked to show: title and text.
std::vector<std::pair<std::wstring, std::wstring>> g_balloons;
// The tray icon is not there (logon, Explorer restarting): the shell refuses.
bool g_trayGone = false;

BOOL WINAPI RecordBalloon(DWORD message, PNOTIFYICONDATAW data)
{
    if (g_trayGone)
        return FALSE;
    if (message == NIM_MODIFY && (data->uFlags & NIF_INFO))
        g_balloons.emplace_back(data->szInfoTitle, data->szInfo);
    return TRUE;
}

// A stand-in note: any window whose user data holds a record in a slot of
// the note table is a note to the monitor.
struct FakeNote {
    HWND window = nullptr;
    NoteRecord record = {};
};

class Monitor : public testing::Test
{
protected:
    void SetUp() override
    {
        // Whatever earlier cases left queued.
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_DUEREMINDER, WM_DUEREMINDER, PM_REMOVE))
            ;
        OnDueReminder(nullptr);
        SetTrayNotifyForTesting(RecordBalloon);
        g_balloons.clear();
    }
    void TearDown() override
    {
        SetTrayNotifyForTesting(nullptr);
        for (FakeNote& note : notes_) {
            SetWindowLongPtrA(note.window, GWLP_USERDATA, 0);
            DestroyWindow(note.window);
        }
        for (HWND& slot : app_->noteWindows)
            slot = nullptr;
        DrainBlinks();
    }

    FakeNote& AddNote(int slot, FILETIME due)
    {
        notes_.reserve(kMaxNotes);
        FakeNote& note = notes_.emplace_back();
        note.record.due = due;
        note.window = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_VISIBLE, 10 * slot, 10,
            40, 20, nullptr, nullptr, nullptr, nullptr);
        SetWindowLongPtrA(note.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&note.record));
        app_->noteWindows[slot] = note.window;
        ValidateRect(note.window, nullptr);
        return note;
    }

    bool Pass(const FILETIME& now = kNow) { return MonitorPass(&memory_, &now, nullptr); }

    // Ticks after `due` of the moment the thread's timer is set to.
    LONGLONG WakeAfter(FILETIME due) const
    {
        return std::bit_cast<LONGLONG>(memory_.wakeAt) - std::bit_cast<LONGLONG>(due);
    }

    // Waits until a pass on another thread has hidden its first blinking note.
    static bool BlinkStarted()
    {
        return e2e::WaitUntil([] {
            MSG msg;
            return PeekMessageA(&msg, nullptr, WM_NOTEBLINK, WM_NOTEBLINK, PM_NOREMOVE) != 0;
        });
    }

    static bool NeedsPaint(HWND window) { return GetUpdateRect(window, nullptr, FALSE) != 0; }

    // The blink messages posted so far, in order: (window, show flag).
    std::vector<std::pair<HWND, WPARAM>> DrainBlinks()
    {
        std::vector<std::pair<HWND, WPARAM>> seen;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_NOTEBLINK, WM_NOTEBLINK, PM_REMOVE))
            seen.emplace_back(msg.hwnd, msg.wParam);
        return seen;
    }

    ScopedAppState app_;
    MonitorMemory memory_;
    std::vector<FakeNote> notes_;
};

} // namespace

TEST(MonitorDrawState, FollowsTheDueStateAndTheColourSwitches)
{
    struct Row {
        int due, eveOn, dueOn, draw;
    };
    const Row rows[] = {
        {0, 1, 1, 0},
        {1, 1, 1, 1},
        {1, 0, 1, 0},
        {2, 1, 1, 2},
        {2, 1, 0, 0},
        {3, 1, 1, 3},
        {3, 0, 1, 3},
        {3, 1, 0, 0},
        {2, 0, 1, 2},
        {1, 1, 0, 1},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.draw, DrawStateFor(row.due, row.eveOn, row.dueOn))
            << "due state " << row.due << ", eve colour " << row.eveOn << ", due colour " << row.dueOn;
}

TEST_F(Monitor, SetsEveTodayOverdueAndNoneOnVisibleNotes)
{
    FakeNote& none = AddNote(0, FILETIME{});
    FakeNote& eve = AddNote(1, LocalTime(2001, 3, 2, 8, 0));
    FakeNote& today = AddNote(2, LocalTime(2001, 3, 1, 18, 0));
    FakeNote& overdue = AddNote(3, LocalTime(2001, 2, 20, 8, 0));
    FakeNote& later = AddNote(4, LocalTime(2001, 3, 9, 8, 0));
    ASSERT_TRUE(Pass());
    EXPECT_EQ(0, none.record.drawState);
    EXPECT_EQ(1, eve.record.drawState);
    EXPECT_EQ(2, today.record.drawState);
    EXPECT_EQ(3, overdue.record.drawState);
    EXPECT_EQ(0, later.record.drawState);
    EXPECT_FALSE(NeedsPaint(none.window)) << "a note whose look did not change is not repainted";
    EXPECT_TRUE(NeedsPaint(eve.window));
    EXPECT_TRUE(NeedsPaint(today.window));
    EXPECT_TRUE(NeedsPaint(overdue.window));
}

TEST_F(Monitor, ColourSwitchesOffGiveNotesTheirOwnColours)
{
    app_->options.eveColourOn = 0;
    app_->options.dueColourOn = 0;
    FakeNote& eve = AddNote(0, LocalTime(2001, 3, 2, 8, 0));
    FakeNote& overdue = AddNote(1, LocalTime(2001, 2, 20, 8, 0));
    overdue.record.drawState = 3;
    ASSERT_TRUE(Pass());
    EXPECT_EQ(0, eve.record.drawState);
    EXPECT_EQ(0, overdue.record.drawState);
    EXPECT_TRUE(NeedsPaint(overdue.window)) << "switching the due colour off repaints the coloured note";
}

TEST_F(Monitor, RepaintsOnlyWhatChanged)
{
    FakeNote& overdue = AddNote(0, LocalTime(2001, 2, 20, 8, 0));
    FakeNote& eve = AddNote(1, LocalTime(2001, 3, 2, 8, 0));
    ASSERT_TRUE(Pass());
    ValidateRect(overdue.window, nullptr);
    ValidateRect(eve.window, nullptr);

    ASSERT_TRUE(Pass());
    EXPECT_FALSE(NeedsPaint(overdue.window)) << "an overdue note is not redrawn on every pass";
    EXPECT_FALSE(NeedsPaint(eve.window));

    app_->options.blackWhite = 0;
    ASSERT_TRUE(Pass());
    EXPECT_TRUE(NeedsPaint(overdue.window)) << "the black-and-white option changed";
    ValidateRect(overdue.window, nullptr);
    ValidateRect(eve.window, nullptr);

    app_->options.eveColour = RGB(1, 2, 3);
    ASSERT_TRUE(Pass());
    EXPECT_TRUE(NeedsPaint(eve.window)) << "the eve colour changed";
}

TEST_F(Monitor, SleepsUntilTheSoonestChangeOfAVisibleNote)
{
    ASSERT_TRUE(Pass());
    EXPECT_EQ(INFINITE, memory_.waitMs) << "no notes";
    EXPECT_EQ(0u, memory_.wakeAt.dwHighDateTime) << "no notes";
    AddNote(0, LocalTime(2001, 2, 20, 8, 0));
    AddNote(1, LocalTime(2001, 3, 9, 8, 0));
    ASSERT_TRUE(Pass());
    EXPECT_EQ(0, WakeAfter(LocalTime(2001, 3, 8, 0, 0))) << "an eve a week away, no hour at a time";
    AddNote(2, LocalTime(2001, 3, 1, 12, 0, 30));
    AddNote(3, LocalTime(2001, 3, 1, 12, 0, 10)).record.hidden = 1;
    app_->extra.remind = 0;
    ASSERT_TRUE(Pass());
    EXPECT_EQ(1, WakeAfter(LocalTime(2001, 3, 1, 12, 0, 30))) << "just after the visible note's due time";
    app_->extra.remind = 1;
    ASSERT_TRUE(Pass());
    EXPECT_EQ(1, WakeAfter(LocalTime(2001, 3, 1, 12, 0, 10)))
        << "a hidden note is due first, to be announced";
    AddNote(4, LocalTime(2001, 2, 20, 8, 0)).record.snoozeUntil = LocalTime(2001, 3, 1, 12, 0, 5);
    ASSERT_TRUE(Pass());
    EXPECT_EQ(0, WakeAfter(LocalTime(2001, 3, 1, 12, 0, 5))) << "an overdue note's snooze ends first";
    app_->options.blink = 1;
    ASSERT_TRUE(Pass());
    EXPECT_EQ(kMonitorIntervalMs, memory_.waitMs) << "an overdue note blinks";
}

// What the monitor announces is what the reminder window lists, and a
// command there acts on every selected row.
TEST_F(Monitor, TheReminderWindowActsOnEverySelectedRow)
{
    FILETIME now;
    GetLocalFileTime(&now);
    const FILETIME daily = MinutesLater(now, -3);
    AddNote(0, daily).record.repeat = kRepeatDaily;
    AddNote(1, MinutesLater(now, -2 * 24 * 60 - 1));
    AddNote(2, MinutesLater(now, -5)).record.snoozeUntil = MinutesLater(now, 60);
    AddNote(3, MinutesLater(now, 60));
    ShowReminderWindow(false);
    HWND window = ReminderWindow();
    ASSERT_NE(nullptr, window);
    HWND view = GetDlgItem(window, IDC_REMIND_VIEW);
    EXPECT_EQ(2, ListView_GetItemCount(view)) << "due and not snoozed";
    EXPECT_EQ(L"3 \u5206\u524D", AgoText(daily, now)) << "3 分前";
    EXPECT_EQ(L"2 \u65E5\u524D", AgoText(notes_[1].record.due, now)) << "2 日前";
    app_->extra.remindWindow = 0;
    QueueDueReminder({AddNote(4, MinutesLater(now, -1)).window}, false);
    OnDueReminder(nullptr);
    EXPECT_EQ(3, ListView_GetItemCount(view))
        << "the open window lists a note announced by the balloon alone";
    // A double click on 完了 with the oldest row chosen: the second click
    // finds nothing chosen and leaves the other notes as they were.
    ListView_SetItemState(view, -1, 0, LVIS_SELECTED);
    ListView_SetItemState(view, 0, LVIS_SELECTED, LVIS_SELECTED);
    for (int click = 0; click < 2; ++click)
        SendMessageW(window, WM_COMMAND, IDC_REMIND_DONE, 0);
    EXPECT_EQ(2, ListView_GetItemCount(view));
    EXPECT_EQ(0, CompareFileTime(&notes_[0].record.due, &daily)) << "the note in its place is still due";
    ListView_SetItemState(view, -1, LVIS_SELECTED, LVIS_SELECTED);
    SendMessageW(window, WM_COMMAND, IDC_REMIND_DONE, 0);
    EXPECT_EQ(nullptr, ReminderWindow()) << "both done: nothing left to remind of";
    const FILETIME tomorrow = MinutesLater(daily, 24 * 60);
    EXPECT_EQ(0, CompareFileTime(&notes_[0].record.due, &tomorrow)) << "the daily note is due tomorrow";
    EXPECT_FALSE(IsTimeSet(&notes_[1].record.due)) << "the other one is done with";
    ClearStore();
}

TEST_F(Monitor, HiddenNotesKeepTheirDrawState)
{
    FakeNote& hidden = AddNote(0, LocalTime(2001, 2, 20, 8, 0));
    hidden.record.hidden = 1;
    hidden.record.drawState = 1;
    ASSERT_TRUE(Pass());
    EXPECT_EQ(1, hidden.record.drawState);
    EXPECT_FALSE(NeedsPaint(hidden.window));
}

TEST_F(Monitor, NothingChangesWhileTheEditorIsOpenOrACommandRunsButDueMomentsAreAnnounced)
{
    FakeNote& overdue = AddNote(0, LocalTime(2001, 2, 20, 8, 0));
    app_->options.blink = 1;
    HWND editor = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);

    app_->editorWindow = editor;
    ASSERT_TRUE(Pass());
    EXPECT_EQ(0, overdue.record.drawState) << "editor open";
    EXPECT_EQ(INFINITE, memory_.waitMs) << "paused until woken";
    OnDueReminder(nullptr);
    EXPECT_EQ(1u, g_balloons.size()) << "the notes overdue at start are counted with the editor open";
    char text[] = "soon";
    AddNote(1, LocalTime(2001, 3, 1, 12, 0, 2)).record.text = text;
    ASSERT_TRUE(Pass());
    EXPECT_EQ(1, WakeAfter(LocalTime(2001, 3, 1, 12, 0, 2))) << "awake for the next due moment";
    ASSERT_TRUE(Pass(LocalTime(2001, 3, 1, 12, 0, 3)));
    OnDueReminder(nullptr);
    ASSERT_EQ(2u, g_balloons.size()) << "the due moment is announced with the editor open";
    EXPECT_EQ(0, notes_[1].record.drawState) << "its colour waits";
    notes_[1].record.text = nullptr;
    app_->editorWindow = nullptr;

    app_->mainCommandBusy = 1;
    ASSERT_TRUE(Pass());
    EXPECT_EQ(0, overdue.record.drawState) << "a tray command runs";
    app_->mainCommandBusy = 0;

    app_->noteCommandBusy = 1;
    ASSERT_TRUE(Pass());
    EXPECT_EQ(0, overdue.record.drawState) << "a note command (its peel-off question) runs";
    app_->noteCommandBusy = 0;

    EXPECT_TRUE(DrainBlinks().empty()) << "nothing blinks meanwhile";
    ASSERT_TRUE(Pass());
    EXPECT_EQ(3, overdue.record.drawState);
    DestroyWindow(editor);
}

TEST_F(Monitor, OverdueNotesBlinkOneAfterAnotherInSlotOrder)
{
    app_->options.blink = 1;
    FakeNote& first = AddNote(2, LocalTime(2001, 2, 20, 8, 0));
    FakeNote& today = AddNote(3, LocalTime(2001, 3, 1, 18, 0));
    FakeNote& second = AddNote(7, LocalTime(2001, 3, 1, 11, 0));
    DWORD start = GetTickCount();
    ASSERT_TRUE(Pass());
    DWORD elapsed = GetTickCount() - start;
    std::vector<std::pair<HWND, WPARAM>> expected
        = {{first.window, 0}, {first.window, 1}, {second.window, 0}, {second.window, 1}};
    EXPECT_EQ(expected, DrainBlinks()) << "hide and show each overdue note, in slot order";
    EXPECT_GE(elapsed + 20, 4 * kBlinkPhaseMs) << "each blinking note is hidden and shown for 200 ms";
    (void)today;
}

TEST_F(Monitor, OverdueNotesBlinkAlsoWithTheDueColourOff)
{
    app_->options.blink = 1;
    app_->options.dueColourOn = 0;
    FakeNote& overdue = AddNote(0, LocalTime(2001, 2, 20, 8, 0));
    ASSERT_TRUE(Pass());
    EXPECT_EQ(0, overdue.record.drawState);
    EXPECT_EQ(2u, DrainBlinks().size());
}

namespace
{
struct PassOnThread {
    const FILETIME* now;
    HANDLE stop;
    MonitorMemory memory;
    bool result = true;
    static DWORD WINAPI Run(LPVOID self)
    {
        auto* pass = static_cast<PassOnThread*>(self);
        pass->result = MonitorPass(&pass->memory, pass->now, pass->stop);
        return 0;
    }
};
} // namespace

TEST_F(Monitor, ANoteClosedDuringItsBlinkIsNotTouchedAgain)
{
    app_->options.blink = 1;
    FakeNote& overdue = AddNote(0, LocalTime(2001, 2, 20, 8, 0));
    PassOnThread pass{&kNow, nullptr, {}};
    HANDLE thread = CreateThread(nullptr, 0, PassOnThread::Run, &pass, 0, nullptr);
    ASSERT_TRUE(BlinkStarted());
    {
        // What CloseNote does: the slot is emptied under the lock.
        AppLock lock;
        app_->noteWindows[0] = nullptr;
    }
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    std::vector<std::pair<HWND, WPARAM>> expected = {{overdue.window, 0}};
    EXPECT_EQ(expected, DrainBlinks()) << "no show for a note that was closed while hidden";
}

TEST_F(Monitor, ANoteClosedWhileAPassWaitsForTheLockIsNotTouched)
{
    FakeNote& overdue = AddNote(0, LocalTime(2001, 2, 20, 8, 0));
    PassOnThread pass{&kNow, nullptr, {}};
    HANDLE thread;
    {
        AppLock lock;
        const LONG held = app_->lock.LockCount;
        thread = CreateThread(nullptr, 0, PassOnThread::Run, &pass, 0, nullptr);
        EXPECT_TRUE(e2e::WaitUntil([this, held] { return app_->lock.LockCount != held; }))
            << "the pass waits for the lock";
        app_->noteWindows[0] = nullptr;
        SetWindowLongPtrA(overdue.window, GWLP_USERDATA, 0);
    }
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    EXPECT_EQ(0, overdue.record.drawState) << "the closed note's record was neither read nor written";
}

TEST_F(Monitor, StopEndsAPassPromptlyAndShowsTheBlinkingNoteAgain)
{
    app_->options.blink = 1;
    for (int slot = 0; slot < 10; ++slot)
        AddNote(slot, LocalTime(2001, 2, 20, 8, 0));
    HANDLE stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    PassOnThread pass{&kNow, stop, {}};
    HANDLE thread = CreateThread(nullptr, 0, PassOnThread::Run, &pass, 0, nullptr);
    ASSERT_TRUE(BlinkStarted());
    DWORD start = GetTickCount();
    SetEvent(stop);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 1000));
    EXPECT_LT(GetTickCount() - start, 500u);
    CloseHandle(thread);
    CloseHandle(stop);
    EXPECT_FALSE(pass.result);
    std::vector<std::pair<HWND, WPARAM>> blinks = DrainBlinks();
    ASSERT_EQ(2u, blinks.size());
    EXPECT_EQ(1u, blinks.back().second) << "the note hidden at the stop is shown again";
}

TEST_F(Monitor, ThreadSleepsUntilWokenAndStopsWhenAsked)
{
    FakeNote& note = AddNote(0, FILETIME{});
    note.record.drawState = 2; // without a due time the first pass puts it right
    StartMonitorThread();
    ASSERT_NE(nullptr, app_->monitorThread);
    EXPECT_EQ(THREAD_PRIORITY_LOWEST, GetThreadPriority(app_->monitorThread));
    ASSERT_TRUE(e2e::WaitUntil([&note] { return note.record.drawState == 0; })) << "the first pass ran";
    {
        AppLock lock;
        note.record.due = LocalTime(2001, 2, 20, 8, 0);
    }
    Sleep(500);
    EXPECT_EQ(0, note.record.drawState) << "nothing said the note changed";
    WakeMonitor();
    EXPECT_TRUE(e2e::WaitUntil([&note] { return note.record.drawState == 3; }))
        << "woken, the monitor sees the note overdue";
    HANDLE copy = nullptr;
    DuplicateHandle(GetCurrentProcess(), app_->monitorThread, GetCurrentProcess(), &copy, 0, FALSE,
        DUPLICATE_SAME_ACCESS);
    DWORD start = GetTickCount();
    EXPECT_NE(0, StopMonitorThread(app_->monitorThread));
    app_->monitorThread = nullptr;
    EXPECT_LT(GetTickCount() - start, 1000u);
    DWORD code = 0;
    GetExitCodeThread(copy, &code);
    EXPECT_EQ(0u, code) << "the thread ended by itself, not by TerminateThread";
    CloseHandle(copy);
    EXPECT_EQ(0, StopMonitorThread(nullptr));
}

namespace
{

// The colour a note paints at its top-left corner, through its own painting.
COLORREF PaintedColour(HWND note)
{
    RECT client;
    GetClientRect(note, &client);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ old = SelectObject(memory, bitmap);
    PaintNote(note, memory);
    COLORREF colour = GetPixel(memory, 1, 1);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return colour;
}

} // namespace

TEST(MonitorOnNotes, RealNoteWindowsTakeTheirColoursFromAPass)
{
    ScopedAppState app;
    app->options.blink = 0;
    app->options.blackWhite = 0;
    LOGFONTA font;
    SetDefaultFont(&font);
    const COLORREF own = RGB(0x20, 0x80, 0x40);
    const FILETIME dues[] = {
        LocalTime(2001, 3, 2, 8, 0), LocalTime(2001, 3, 1, 18, 0), LocalTime(2001, 2, 20, 8, 0), FILETIME{}};
    char text[] = "note";
    std::vector<HWND> notes;
    for (int i = 0; i < 4; ++i) {
        NoteRecord source = {};
        source.id = i + 1;
        source.left = 20 + 80 * i;
        source.top = 20;
        source.width = 70;
        source.height = 40;
        source.backColour = own;
        source.text = text;
        ASSERT_EQ(1, CreateNoteWindow(nullptr, &source, &font));
        notes.push_back(app->noteWindows[i]);
        NoteRecordOf(notes.back())->due = dues[i];
    }
    MonitorMemory memory;
    ASSERT_TRUE(MonitorPass(&memory, &kNow, nullptr));
    EXPECT_EQ(app->options.eveColour, PaintedColour(notes[0])) << "due tomorrow";
    EXPECT_EQ(app->options.dueColour, PaintedColour(notes[1])) << "due later today";
    EXPECT_EQ(app->options.dueColour, PaintedColour(notes[2])) << "overdue";
    EXPECT_EQ(own, PaintedColour(notes[3])) << "no due time";

    app->options.blackWhite = 1;
    ASSERT_TRUE(MonitorPass(&memory, &kNow, nullptr));
    EXPECT_EQ(RGB(0, 0, 0), PaintedColour(notes[2])) << "overdue in black and white";
    EXPECT_EQ(app->options.dueColour, PaintedColour(notes[1])) << "due today keeps the due colour";

    app->options.dueColourOn = 0;
    app->options.eveColourOn = 0;
    ASSERT_TRUE(MonitorPass(&memory, &kNow, nullptr));
    for (HWND note : notes)
        EXPECT_EQ(own, PaintedColour(note)) << "colours off: every note in its own colour on the next pass";
}

TEST_F(Monitor, NotesReachingTheirDueTimeAreAnnouncedInOneBalloon)
{
    // What the main window gets: a balloon only for a WM_DUEREMINDER the
    // monitor posted (to this thread, which has no main window).
    auto announce = [] {
        MSG msg;
        bool posted = PeekMessageA(&msg, nullptr, WM_DUEREMINDER, WM_DUEREMINDER, PM_REMOVE) != 0;
        OnDueReminder(nullptr);
        return posted;
    };
    app_->extra.remindWindow = 0; // the balloon alone: the window has a case of its own
    app_->options.blink = 0;
    std::string texts[] = {Sjis("牛乳を買う\r\n二本"), "a", "b", "c", "d", "e", "f"};
    FakeNote& soon = AddNote(0, LocalTime(2001, 3, 1, 12, 0, 2));
    soon.record.text = texts[0].data();
    ASSERT_TRUE(Pass());
    ASSERT_TRUE(Pass(LocalTime(2001, 3, 1, 12, 0, 3)));
    ASSERT_TRUE(Pass(LocalTime(2001, 3, 1, 12, 0, 4)));
    EXPECT_TRUE(announce());
    ASSERT_EQ(1u, g_balloons.size()) << "one note due: exactly one balloon";
    EXPECT_EQ(L"\u671F\u65E5\u306B\u306A\u308A\u307E\u3057\u305F", g_balloons[0].first);
    EXPECT_EQ(L"\u725B\u4E73\u3092\u8CB7\u3046", g_balloons[0].second) << "the note's first line";

    for (int slot = 1; slot <= 3; ++slot) {
        FakeNote& note = AddNote(slot, LocalTime(2001, 3, 1, 12, 1));
        note.record.text = texts[slot].data();
        note.record.hidden = slot == 2;
    }
    ASSERT_TRUE(Pass(LocalTime(2001, 3, 1, 12, 0, 30)));
    ASSERT_TRUE(Pass(LocalTime(2001, 3, 1, 12, 1, 1)));
    EXPECT_TRUE(announce()) << "a second due moment in the same run is announced too";
    ASSERT_EQ(2u, g_balloons.size()) << "three notes due at once, one hidden: one balloon for all";
    EXPECT_EQ(L"a\nb\nc", g_balloons[1].second);

    FakeNote& snoozed = AddNote(7, LocalTime(2001, 3, 1, 12, 1, 40));
    snoozed.record.text = texts[4].data();
    snoozed.record.snoozeUntil = LocalTime(2001, 3, 1, 12, 1, 50);
    ASSERT_TRUE(Pass(LocalTime(2001, 3, 1, 12, 1, 35)));
    ASSERT_TRUE(Pass(LocalTime(2001, 3, 1, 12, 1, 45)));
    EXPECT_FALSE(announce()) << "a note snoozed over its due moment waits";
    ASSERT_TRUE(Pass(LocalTime(2001, 3, 1, 12, 1, 50)));
    EXPECT_TRUE(announce()) << "and is announced when its snooze ends";
    EXPECT_EQ(L"d", g_balloons.back().second);
    g_balloons.pop_back();
    snoozed.record.snoozeUntil = LocalTime(2001, 3, 1, 14, 0);

    app_->extra.remind = 0;
    AddNote(4, LocalTime(2001, 3, 1, 12, 2)).record.text = texts[4].data();
    ASSERT_TRUE(Pass(LocalTime(2001, 3, 1, 12, 1, 30)));
    ASSERT_TRUE(Pass(LocalTime(2001, 3, 1, 12, 2, 1)));
    announce();
    EXPECT_EQ(2u, g_balloons.size()) << "reminders switched off";

    app_->extra.remind = 1;
    MonitorMemory restarted;
    ASSERT_TRUE(MonitorPass(&restarted, &kNow, nullptr));
    ASSERT_TRUE(MonitorPass(&restarted, &kNow, nullptr));
    EXPECT_FALSE(announce());
    EXPECT_EQ(2u, g_balloons.size()) << "nothing past due at start";
    MonitorMemory later;
    const FILETIME afterAll = LocalTime(2001, 3, 1, 13, 0);
    ASSERT_TRUE(MonitorPass(&later, &afterAll, nullptr));
    EXPECT_TRUE(announce());
    ASSERT_EQ(3u, g_balloons.size());
    EXPECT_EQ(L"\u671F\u65E5\u3092\u904E\u304E\u305F\u30E1\u30E2\u304C 5 \u4EF6\u3042\u308A\u307E\u3059",
        g_balloons[2].second)
        << "at start: how many are past due";
    EXPECT_EQ(L"\u671F\u65E5\u3092\u904E\u304E\u305F\u30E1\u30E2\u304C\u3042\u308A\u307E\u3059",
        g_balloons[2].first)
        << "under a title of its own";

    // Without the tray icon the balloon waits, gathering what comes meanwhile.
    g_trayGone = true;
    for (int slot = 5; slot <= 6; ++slot) {
        AddNote(slot, FILETIME{}).record.text = texts[slot].data();
        QueueDueReminder({notes_.back().window}, false);
        announce();
    }
    g_trayGone = false;
    ShowPendingReminder(nullptr);
    ShowPendingReminder(nullptr);
    ASSERT_EQ(4u, g_balloons.size()) << "shown once, when the icon is back";
    EXPECT_EQ(L"e\nf", g_balloons[3].second);
    for (FakeNote& note : notes_)
        note.record.text = nullptr;
}
