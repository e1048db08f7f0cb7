// The due monitor thread: recolouring and blinking notes as their due times
// near and pass. It sleeps on a timer set to the next moment at which a note
// can change, in UTC, unless something wakes it earlier.
#ifndef JOTWISE_NOTES_MONITOR_H
#define JOTWISE_NOTES_MONITOR_H

#include <windows.h>

// Time between two blink cycles, and each note's time hidden and shown.
constexpr DWORD kMonitorIntervalMs = 200;
constexpr DWORD kBlinkPhaseMs = 200;

// Starts the thread at the lowest priority; its handle goes into AppState.
void StartMonitorThread();

// Signals the thread, raises it to normal priority, waits until it has
// ended and closes the handle; the result of closing it, 0 without a thread.
int StopMonitorThread(HANDLE thread);

// Tells the monitor that what it last saw may have changed: a note was
// created, closed, applied, shown or hidden, the options changed, the clock
// moved, or whatever paused it (the editor, a dialog) has ended; the end of
// a BusyScope wakes it as well. Call it after the change is in place. Main
// thread only; harmless without a monitor.
void WakeMonitor();

DWORD WINAPI MonitorThreadProc(LPVOID) noexcept;

// The draw state for a due state under the options' colour switches.
int DrawStateFor(int dueState, int eveColourOn, int dueColourOn);

// What one pass remembers for the next, so that it repaints only what
// changed, and how long the thread may sleep after it.
struct MonitorMemory {
    bool paintOptionsKnown = false;
    COLORREF eveColour = 0;
    COLORREF dueColour = 0;
    unsigned char blackWhite = 0;
    // Until the next blink; INFINITE when nothing blinks.
    DWORD waitMs = INFINITE;
    // The next moment at which something changes by itself, on the clock of
    // GetLocalFileTime; {0, 0} when nothing will until the monitor is woken.
    // The thread sets its timer to this moment in UTC.
    FILETIME wakeAt = {};
    // Whether each slot's window was due for an announcement at its last
    // pass (overdue and not snoozed), to tell the moment its due time or its
    // snooze passes. The first pass announces the notes already past it.
    bool remindersStarted = false;
    HWND dueWindows[64] = {};
    int dueStates[64] = {};
};

// One pass: the notes that reached their due time are queued for the
// balloon, and, unless the editor is open or a command is running, every
// visible note's draw state and blinking are brought up to date. `now` null
// means the clock. False when `stop` was signalled during the pass.
bool MonitorPass(MonitorMemory* memory, const FILETIME* now, HANDLE stop);

#endif
