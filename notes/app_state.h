// The one process-wide record and the few process-wide handles.
#ifndef JOTWISE_APP_APP_STATE_H
#define JOTWISE_APP_APP_STATE_H

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "jotwise_version.h"
#include "store/extra_settings.h"
#include "store/records.h"

constexpr int kMaxNotes = 64;
constexpr int kMaxStoredId = 127; // IDs the loader reads back: 0 to 127
constexpr const char kVersionText[] = JOTWISE_VERSION_TEXT;
constexpr const char kMainClassName[] = "Jotwise";
constexpr const char kEditorClassName[] = "TextC";
constexpr const char kNoteClassName[] = "MemoC";
// One per session: a second user on the same PC runs a Jotwise of their own.
constexpr const wchar_t kInstanceMutexName[] = L"Local\\KOVA.Jotwise";
constexpr UINT WM_TRAYNOTIFY = WM_APP + 321; // 0x8141
constexpr UINT WM_EDITFOCUS = WM_USER + 321; // 0x0541
// Posted by the due monitor so that it never waits for the main thread:
// to a note window, wParam 0 hides it and 1 shows it again unless the user
// hid the note meanwhile.
constexpr UINT WM_NOTEBLINK = WM_APP + 322;
// Posted to the main window when a write to the store failed; wParam is the
// system's error code.
constexpr UINT WM_SAVEFAILED = WM_APP + 324;
// Posted to itself by the main window at creation: reopen a stored draft.
constexpr UINT WM_RESTOREDRAFT = WM_APP + 325;
// To the main window: moves the clock that due states are judged by lParam
// minutes (signed), without waking the monitor, the way a clock change the
// program has not yet been told about would. Lets tests change the clock
// that matters without changing the machine's.
constexpr UINT WM_SHIFTCLOCK = WM_APP + 335;
// Posted by the due monitor when notes reached their due time (or, at its
// first pass, were already past it); the main thread collects them from the
// reminder queue and shows one balloon.
constexpr UINT WM_DUEREMINDER = WM_APP + 340;
// The new-note hotkey's ID on the main window.
constexpr int kNewNoteHotKeyId = 1;

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
    // The hotkey the main window holds now (0: none), and whether the last
    // attempt to take the chosen one failed because another program has it.
    WORD hotKeyRegistered;
    std::uint8_t hotKeyTaken;
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

HINSTANCE AppInstance();
void SetAppInstance(HINSTANCE instance);

HWND MainWindow();
void SetMainWindow(HWND window);

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
