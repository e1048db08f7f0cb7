// The due monitor thread: recolouring, blinking and the paste button.
#ifndef JOTWISE_DUE_MONITOR_H
#define JOTWISE_DUE_MONITOR_H

#include <windows.h>

// Starts the thread at the lowest priority; its handle goes into AppState.
void StartMonitorThread();

// Signals the thread, waits for it (bounded) and closes the handle.
int StopMonitorThread(HANDLE thread);

DWORD WINAPI MonitorThreadProc(LPVOID) noexcept;

// The draw state for a due state under the options' colour switches.
int DrawStateFor(int dueState, int eveColourOn, int dueColourOn);

#endif
