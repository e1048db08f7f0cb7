// Helpers shared by the in-process tests.
#ifndef JOTWISE_TESTS_UNIT_TEST_SUPPORT_H
#define JOTWISE_TESTS_UNIT_TEST_SUPPORT_H

#include <windows.h>

#include <functional>
#include <string>

#include "notes/app_state.h"

// Gives the test a fresh AppState (default options, default font, lock
// initialised) and removes it again, closing any note windows left over.
class ScopedAppState
{
public:
    ScopedAppState();
    ~ScopedAppState();
    ScopedAppState(const ScopedAppState&) = delete;
    ScopedAppState& operator=(const ScopedAppState&) = delete;
    AppState* operator->() const { return state_; }
    AppState* get() const { return state_; }

private:
    AppState* state_;
};

// Deletes HKCU\Software\KOVA\Jotwise with everything under it.
void ClearStore();

// A CP932 byte string from a UTF-8 literal, for comparing with what the
// A functions return.
std::string Sjis(const char* utf8);
inline std::string Sjis(const char8_t* utf8)
{
    return Sjis(reinterpret_cast<const char*>(utf8));
}

// A local wall-clock time as the program stores due and creation times.
FILETIME LocalTime(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second = 0);

// The GDI objects this process holds. Wine's GetGuiResources answers 0, so
// there the handle table the system maps into every process is counted.
DWORD CountGdiObjects();

// Pumps the thread's message queue for about `ms` milliseconds.
void PumpMessages(DWORD ms);
// Pumps it until `done` holds; false when `timeoutMs` ran out first.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);

// Clicks the cell (`column`, `row`) of a grid control of `rows` by `columns`
// cells in another thread's dialog, and returns once the dialog has taken it.
void ClickCell(HWND dialog, int gridId, int rows, int columns, int column, int row);

// Runs `action` on a helper thread after `delayMs`: used to answer modal
// boxes and dialogs that the code under test opens on this thread.
// The action receives nothing; it usually finds a window and posts to it.
class DeferredAction
{
public:
    using Fn = void (*)(void* context);
    DeferredAction(DWORD delayMs, Fn fn, void* context);
    ~DeferredAction(); // waits for the helper thread
    DeferredAction(const DeferredAction&) = delete;
    DeferredAction& operator=(const DeferredAction&) = delete;

private:
    HANDLE thread_;
    DWORD delayMs_;
    Fn fn_;
    void* context_;
    static DWORD WINAPI Run(LPVOID self);
};

// Finds a top-level window of this process with class `className`
// ("#32770" for dialogs and message boxes), waiting up to `timeoutMs`.
HWND WaitForThreadWindow(const char* className, DWORD timeoutMs);

// The text of the static control that holds a message box's message.
std::string MessageBoxText(HWND box);

#endif
