#include "notes/monitor.h"

#include <algorithm>
#include <vector>

#include "due/alarm_time.h"
#include "due/due_time.h"
#include "notes/app_state.h"
#include "notes/note_window.h"
#include "notes/reminder_queue.h"

namespace
{

// Waits up to waitMs; true when shutdown asked the thread to stop. Without
// an event (a pass run on its own) the wait is a plain pause.
bool Stopping(HANDLE stop, DWORD waitMs)
{
    if (!stop) {
        if (waitMs)
            Sleep(waitMs);
        return false;
    }
    return WaitForSingleObject(stop, waitMs) == WAIT_OBJECT_0;
}

// The main thread is busy with something the user looks at: an editor, a
// menu command or a note command. Notes keep their look meanwhile.
bool MainThreadBusy(const AppState* state)
{
    return state->editorWindow.load() || state->mainCommandBusy.load() || state->noteCommandBusy.load();
}

struct BlinkTarget {
    int slot;
    HWND window;
};

// The window still holds its slot and a record the user has not hidden.
bool StillBlinkable(const AppState* state, const BlinkTarget& target)
{
    if (state->noteWindows[target.slot] != target.window)
        return false;
    const NoteRecord* record = NoteRecordOf(target.window);
    return record && !record->hidden;
}

// Hides and shows each overdue note in turn. The waits happen outside the
// lock, so the main thread can close notes meanwhile; every step re-checks
// that the note is still there.
bool Blink(AppState* state, const std::vector<BlinkTarget>& targets, HANDLE stop)
{
    for (const BlinkTarget& target : targets) {
        if (MainThreadBusy(state))
            return true;
        {
            AppLock lock;
            if (!StillBlinkable(state, target))
                continue;
            PostMessageW(target.window, WM_NOTEBLINK, 0, 0);
        }
        bool stopping = Stopping(stop, kBlinkPhaseMs);
        {
            // The note decides itself whether to show again: the user may
            // have hidden it while it was blinked away.
            AppLock lock;
            if (state->noteWindows[target.slot] == target.window)
                PostMessageW(target.window, WM_NOTEBLINK, 1, 0);
        }
        if (stopping || Stopping(stop, kBlinkPhaseMs))
            return false;
    }
    return true;
}

static_assert(sizeof(MonitorMemory::dueWindows) / sizeof(HWND) == kMaxNotes);

// True when the note became due for an announcement since the last pass saw
// it: its due time passed, or a snooze ended after the due time (or, on the
// first pass, when it is past already and not snoozed). A note seen for the
// first time later on, such as one just written with a past due time, is
// not announced.
bool ReachedDueTime(MonitorMemory* memory, int slot, HWND window, bool announceable)
{
    bool known = memory->dueWindows[slot] == window;
    bool wasAnnounceable = known && memory->dueStates[slot] != 0;
    memory->dueWindows[slot] = window;
    memory->dueStates[slot] = announceable ? 1 : 0;
    return announceable && !wasAnnounceable && (known || !memory->remindersStarted);
}

bool IsMoment(const FILETIME& time)
{
    return time.dwLowDateTime != 0 || time.dwHighDateTime != 0;
}

void KeepSooner(FILETIME* soonest, const FILETIME& moment)
{
    if (!IsMoment(*soonest) || CompareFileTime(&moment, soonest) < 0)
        *soonest = moment;
}

// Sets the timer to `wakeAt` in UTC, or stops it when there is no moment;
// false when the timer cannot wait for it.
bool ArmTimer(HANDLE timer, const FILETIME& wakeAt)
{
    if (!timer)
        return !IsMoment(wakeAt);
    if (!IsMoment(wakeAt))
        return CancelWaitableTimer(timer) != FALSE;
    FILETIME utc;
    if (!LocalMomentToUtc(&wakeAt, &utc))
        return false;
    // Positive: an absolute time (a past one fires at once).
    LARGE_INTEGER due;
    due.LowPart = utc.dwLowDateTime;
    due.HighPart = static_cast<LONG>(utc.dwHighDateTime);
    return SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE) != FALSE;
}

// Without a timer: milliseconds on the wall clock until `wakeAt`.
DWORD WaitMsUntil(const FILETIME& wakeAt)
{
    if (!IsMoment(wakeAt))
        return INFINITE;
    FILETIME now;
    GetLocalFileTime(&now);
    ULARGE_INTEGER at = {{wakeAt.dwLowDateTime, wakeAt.dwHighDateTime}};
    ULARGE_INTEGER from = {{now.dwLowDateTime, now.dwHighDateTime}};
    if (at.QuadPart <= from.QuadPart)
        return 0;
    constexpr ULONGLONG kTicksPerMs = 10000;
    return static_cast<DWORD>(
        std::min<ULONGLONG>((at.QuadPart - from.QuadPart) / kTicksPerMs + 1, INFINITE - 1));
}

} // namespace

int DrawStateFor(int dueState, int eveColourOn, int dueColourOn)
{
    switch (dueState) {
    case 1:
        return eveColourOn ? 1 : 0;
    case 2:
    case 3:
        return dueColourOn ? dueState : 0;
    default:
        return 0;
    }
}

bool MonitorPass(MonitorMemory* memory, const FILETIME* now, HANDLE stop)
{
    memory->waitMs = INFINITE;
    memory->wakeAt = {};
    AppState* state = App();
    if (!state)
        return false;
    // While the user is busy (the editor, a command and its questions) notes
    // keep their look, and whatever pauses them wakes the monitor when it
    // ends; due moments are still announced as they come.
    const bool paused = MainThreadBusy(state);

    std::vector<BlinkTarget> blinking;
    FILETIME soonest = {};
    std::vector<HWND> reachedDue;
    {
        AppLock lock;
        const Options& options = state->options;
        // Painting reads these colours; a change repaints every coloured
        // note once, not on every pass.
        bool paintChanged = !memory->paintOptionsKnown || memory->eveColour != options.eveColour
            || memory->dueColour != options.dueColour || memory->blackWhite != options.blackWhite;
        if (!paused) {
            memory->paintOptionsKnown = true;
            memory->eveColour = options.eveColour;
            memory->dueColour = options.dueColour;
            memory->blackWhite = options.blackWhite;
        }

        FILETIME clock;
        if (!now) {
            GetLocalFileTime(&clock);
            now = &clock;
        }
        for (int slot = 0; slot < kMaxNotes; ++slot) {
            HWND window = state->noteWindows[slot];
            NoteRecord* record = NoteRecordOf(window);
            if (!record || (record->hidden && !state->extra.remind))
                continue;
            // Here a note is seen reaching its due moment: the first pass
            // after its due time finds kDueOverdue where the one before found
            // kDueToday. The wait computed below makes that pass come right
            // after the moment, so anything that should happen then belongs
            // here. With reminders on, a hidden note is watched too: it is
            // the one the user cannot see, and the balloon brings it back.
            // A snooze puts off only the announcement: the colours below
            // keep following the due time.
            int due = GetDueStateAt(record, now);
            if (ReachedDueTime(memory, slot, window, due == kDueOverdue && !IsSnoozedAt(record, now)))
                reachedDue.push_back(window);
            FILETIME change;
            if (NextDueChange(&record->due, now, &change))
                KeepSooner(&soonest, change);
            if (SnoozeEnd(record, now, &change))
                KeepSooner(&soonest, change);
            if (paused || record->hidden)
                continue;
            int before = record->drawState;
            int after = DrawStateFor(due, options.eveColourOn, options.dueColourOn);
            record->drawState = static_cast<std::uint8_t>(after);
            if (after != before || (paintChanged && after != 0))
                InvalidateRect(window, nullptr, FALSE);
            if (due == kDueOverdue && options.blink)
                blinking.push_back({slot, window});
        }
    }
    QueueDueReminder(reachedDue, !memory->remindersStarted);
    memory->remindersStarted = true;
    if (!Blink(state, blinking, stop))
        return false;
    // A pass that blinked comes round again soon; besides, the next thing
    // that can happen by itself is the soonest change of a due state or end
    // of a snooze.
    if (!blinking.empty())
        memory->waitMs = kMonitorIntervalMs;
    memory->wakeAt = soonest;
    return true;
}

DWORD WINAPI MonitorThreadProc(LPVOID) noexcept
{
    AppState* state = App();
    if (!state)
        return 0;
    // Set to an absolute UTC moment, the timer fires at the due change
    // whatever the wall clock does meanwhile (a daylight-saving switch, a
    // clock set by hand, a sleep); a wait of so many milliseconds would not.
    HANDLE timer = CreateWaitableTimerW(nullptr, FALSE, nullptr);
    MonitorMemory memory;
    HANDLE events[] = {state->monitorStop, state->monitorWake, timer};
    const DWORD count = timer ? 3 : 2;
    for (;;) {
        if (!MonitorPass(&memory, nullptr, events[0]))
            break;
        DWORD waitMs = memory.waitMs;
        if (!ArmTimer(timer, memory.wakeAt))
            waitMs = std::min(waitMs, WaitMsUntil(memory.wakeAt));
        DWORD woken = WaitForMultipleObjects(count, events, FALSE, waitMs);
        // A failed wait would turn this loop into a spin; stopping is safer.
        if (woken == WAIT_OBJECT_0 || woken == WAIT_FAILED)
            break;
    }
    if (timer)
        CloseHandle(timer);
    return 0;
}

void WakeMonitor()
{
    AppState* state = App();
    if (state && state->monitorWake)
        SetEvent(state->monitorWake);
}

void StartMonitorThread()
{
    AppState* state = App();
    if (!state)
        return;
    state->monitorStop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    // Auto-reset: any number of wakes before the thread looks make one pass.
    state->monitorWake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!state->monitorStop || !state->monitorWake)
        return;
    state->monitorThread = CreateThread(nullptr, 0, MonitorThreadProc, nullptr, 0, nullptr);
    if (state->monitorThread)
        SetThreadPriority(state->monitorThread, THREAD_PRIORITY_LOWEST);
}

int StopMonitorThread(HANDLE thread)
{
    AppState* state = App();
    if (state && state->monitorStop)
        SetEvent(state->monitorStop);
    int result = 0;
    if (thread) {
        // At the lowest priority a busy machine may not run the thread for a
        // long time, and killing it could leave the AppState lock held. It
        // only posts to the main thread and never waits for it, so once it
        // runs it ends: give it normal priority and wait.
        SetThreadPriority(thread, THREAD_PRIORITY_NORMAL);
        WaitForSingleObject(thread, INFINITE);
        result = CloseHandle(thread);
    }
    if (state && state->monitorStop) {
        CloseHandle(state->monitorStop);
        state->monitorStop = nullptr;
    }
    if (state && state->monitorWake) {
        CloseHandle(state->monitorWake);
        state->monitorWake = nullptr;
    }
    return result;
}
