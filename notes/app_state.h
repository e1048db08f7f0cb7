// The one process-wide record: the options, the note table, the editor and
// the monitor's handles, shared by the notes and everything above them.
#ifndef JOTWISE_NOTES_APP_STATE_H
#define JOTWISE_NOTES_APP_STATE_H

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "platform/program.h"
#include "store/extra_settings.h"
#include "store/records.h"
#include "store/store.h"

constexpr int kMaxNotes = 64;

struct AppState {
    std::int32_t dragX;
    std::int32_t dragY;
    std::int32_t dragging;
    // Read by the monitor thread between its passes, hence atomic.
    std::atomic<int> mainCommandBusy;
    std::atomic<int> noteCommandBusy;
    std::int32_t optionsOpen;
    std::int32_t aboutOpen;
    Options options;
    // Read by the monitor thread like the options, hence changed under `lock`.
    ExtraSettings extra;
    HFONT defaultFont;
    // The stored Font was unusable and defaultFont stands in for it; it is
    // written back only once the user picks a default font.
    bool keepStoredDefaultFont;
    std::atomic<HWND> editorWindow;
    // The note table. Slots are written by the main thread under `lock`,
    // so a monitor pass that holds the lock never sees a record being freed.
    HWND noteWindows[kMaxNotes];
    std::int32_t noteIds[kMaxNotes];
    HANDLE monitorThread;
    CRITICAL_SECTION lock;
    // Signalled at shutdown; the monitor thread waits on it between passes.
    HANDLE monitorStop;
    // Signalled by WakeMonitor: the monitor's next pass is due now.
    HANDLE monitorWake;
    // IDs that had a List<n> value in the store when it was loaded. New
    // notes never take them, so a note that was not loaded is never
    // overwritten by a newcomer.
    std::uint8_t storedIds[kMaxStoredId + 1];
    // The open editor's draft is in the store (written at a logoff).
    bool draftStored;
    // A failed save has been reported; one box per run is enough.
    bool saveFailureReported;
};

// The one AppState of the process; null before the main window exists and
// after the message loop has ended.
AppState* App();
void SetApp(AppState* state);

// Holds the AppState lock for a scope (no-op without an AppState).
class AppLock
{
public:
    AppLock();
    ~AppLock();
    AppLock(const AppLock&) = delete;
    AppLock& operator=(const AppLock&) = delete;

private:
    AppState* state_;
};

// Sets an AppState busy flag for the duration of a command. The due monitor
// waits without a timeout while a flag is set, so the end wakes it.
class BusyScope
{
public:
    explicit BusyScope(std::atomic<int>& flag)
        : flag_(flag)
    {
        flag_ = 1;
    }
    ~BusyScope()
    {
        flag_ = 0;
        if (AppState* state = App(); state && state->monitorWake)
            SetEvent(state->monitorWake);
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    std::atomic<int>& flag_;
};

// The note record kept in a note window's user data, or null.
NoteRecord* NoteRecordOf(HWND window);

#endif
