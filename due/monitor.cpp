// Placeholder until the due monitor is built.
#include "due/monitor.h"

void StartMonitorThread() {}
int StopMonitorThread(HANDLE thread) { return thread ? CloseHandle(thread) : 0; }
DWORD WINAPI MonitorThreadProc(LPVOID) noexcept { return 0; }
int DrawStateFor(int, int, int) { return 0; }
