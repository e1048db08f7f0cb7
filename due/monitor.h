// The due monitor thread: recolouring, blinking and the paste button.
#ifndef JOTWISE_DUE_MONITOR_H
#define JOTWISE_DUE_MONITOR_H

#include <windows.h>

// Time between two passes. A due state change shows within a second, and an
// idle program costs next to nothing.
constexpr DWORD kMonitorIntervalMs = 200;
constexpr DWORD kBlinkPhaseMs = 200;

// Starts the thread at the lowest priority; its handle goes into AppState.
void StartMonitorThread();

// Signals the thread, waits for it (bounded) and closes the handle; the
// result of closing it, 0 without a thread.
int StopMonitorThread(HANDLE thread);

DWORD WINAPI MonitorThreadProc(LPVOID) noexcept;

// The draw state for a due state under the options' colour switches.
int DrawStateFor(int dueState, int eveColourOn, int dueColourOn);

// What one pass remembers for the next, so that it repaints and posts only
// what changed.
struct MonitorMemory {
    bool paintOptionsKnown = false;
    COLORREF eveColour = 0;
    COLORREF dueColour = 0;
    unsigned char blackWhite = 0;
    HWND pasteEditor = nullptr;
    int pasteState = -1;
};

// One pass: the editor's paste button, then, unless the editor is open or a
// command is running, every visible note's draw state and blinking. `now`
// null means the clock. False when `stop` was signalled during the pass.
bool MonitorPass(MonitorMemory* memory, const FILETIME* now, HANDLE stop);

#endif
