#include "app/main_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <iterator>
#include <new>
#include <string>

#include "app/menu_state.h"
#include "app/note_menu.h"
#include "app/reminder_balloon.h"
#include "app/tray_menu.h"
#include "due/due_time.h"
#include "editor/editor_window.h"
#include "list/note_list.h"
#include "notes/app_state.h"
#include "notes/monitor.h"
#include "notes/note_commands.h"
#include "notes/note_events.h"
#include "notes/note_store.h"
#include "notes/note_table.h"
#include "notes/note_window.h"
#include "notes/reminder_queue.h"
#include "platform/error_box.h"
#include "platform/hotkey.h"
#include "platform/tray_icon.h"
#include "platform/wide_text.h"
#include "reminders/reminder_window.h"
#include "res/resource.h"

namespace
{

// WM_SAVEFAILED, which ReportSaveFailure posts once per run.
void ShowSaveFailure(HWND owner, DWORD error)
{
    ShowFailureWithReason(owner, IDS_ERR_SAVE, error, MB_SETFOREGROUND | MB_ICONWARNING);
}

int OnCreate(HWND window)
{
    auto* state = new (std::nothrow) AppState{};
    if (!state)
        return -1;
    SetApp(state);
    InitializeCriticalSection(&state->lock);
    LoadStore(window, CreateNoteWindow);
    StartTrayIcon(window);
    // Once the main window is known and the loop runs.
    PostMessageW(window, WM_RESTOREDRAFT, 0, 0);
    // A key another program holds is no reason not to start; the options
    // page says so.
    TakeNewNoteHotKey(window, state->extra.hotKey);
    return 0;
}

void OnDestroy(HWND window)
{
    AppState* state = App();
    // A creation that failed before AppState existed has nothing to undo.
    if (!state) {
        PostQuitMessage(0);
        return;
    }
    // Its changes were kept as the draft when the end was decided.
    HWND editor = state->editorWindow;
    if (editor)
        CloseEditorForExit(editor);
    CloseNoteList();
    CloseReminderWindow();
    // The monitor reads note records; stop it before any record is freed.
    StopMonitorThread(state->monitorThread);
    state->monitorThread = nullptr;
    CloseAllNotes();
    ReleaseNewNoteHotKey(window);
    TrayIcon(window, NIM_DELETE);
    SaveOptions();
    DeleteCriticalSection(&state->lock);
    if (state->defaultFont) {
        DeleteObject(state->defaultFont);
        state->defaultFont = nullptr;
    }
    PostQuitMessage(0);
}

// The exit command (the tray's, Alt+X, an installer's) ends here. What the
// editor holds becomes the draft the next start reopens, without a question
// that would keep the program (and an installer waiting on it) from ending;
// only when that draft cannot be written does the program stay.
void OnClose(HWND window)
{
    AppState* state = App();
    HWND editor = state ? state->editorWindow.load() : nullptr;
    if (editor) {
        LONG error = SaveEditorDraft(editor);
        if (error != ERROR_SUCCESS) {
            ShowFailureWithReason(
                editor, IDS_ERR_EXIT_DRAFT, static_cast<DWORD>(error), MB_SETFOREGROUND | MB_ICONWARNING);
            return;
        }
    }
    DestroyWindow(window);
}

void OnEndSession(HWND window, WPARAM ending, LPARAM how)
{
    AppState* state = App();
    if (!ending || !state)
        return;
    SaveOptions();
    // The list and the reminder window keep their places only when they
    // close.
    CloseNoteList();
    CloseReminderWindow();
    // Typed text that was never applied survives the logoff as a draft.
    HWND editor = state->editorWindow;
    if (editor) {
        LONG error = SaveEditorDraft(editor);
        if (error != ERROR_SUCCESS)
            ReportSaveFailure(error);
    }
    // Nothing may be lost when the system ends the process after this.
    SaveAllNotes();
    // The Restart Manager (an installer replacing the program) waits for
    // the program to end; everything is saved, so end now.
    if (how & ENDSESSION_CLOSEAPP)
        DestroyWindow(window);
}

void OnCommand(HWND window, WPARAM wParam)
{
    AppState* state = App();
    if (!state)
        return;
    BusyScope busy(state->mainCommandBusy);
    NoteListPause listPaused;
    // The notification code 1 marks a command from the keyboard.
    OnTrayCommand(window, LOWORD(wParam), HIWORD(wParam) == 1);
}

} // namespace

void CloseAllNotes()
{
    AppState* state = App();
    for (int slot = 0; slot < kMaxNotes; ++slot) {
        HWND note = state->noteWindows[slot];
        if (note)
            SendMessageW(note, WM_CLOSE, 0, 0);
    }
}

void ReloadStore(HWND mainWindow)
{
    AppState* state = App();
    {
        // Peeled-off notes of the store that was replaced reserve nothing.
        AppLock lock;
        std::fill(std::begin(state->noteIds), std::end(state->noteIds), 0);
    }
    LoadStore(mainWindow, CreateNoteWindow);
    TakeNewNoteHotKey(mainWindow, state->extra.hotKey);
    PostMessageW(mainWindow, WM_RESTOREDRAFT, 0, 0);
    WakeMonitor();
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(window);
    case WM_DESTROY:
        OnDestroy(window);
        return 0;
    case WM_CLOSE:
        OnClose(window);
        return 0;
    case WM_ENDSESSION:
        OnEndSession(window, wParam, lParam);
        return 0;
    case WM_COMMAND:
        OnCommand(window, wParam);
        return 0;
    case WM_INITMENU:
        UpdateMenuState(window, reinterpret_cast<HMENU>(wParam));
        return 0;
    case WM_TIMER:
        if (wParam == kTrayRetryTimer && RetryTrayIcon(window))
            ShowPendingReminder(window);
        return 0;
    case WM_TRAYNOTIFY:
        OnTrayNotify(window, wParam, lParam);
        return 0;
    case WM_RESTOREDRAFT:
        RestoreEditorDraft(window);
        return 0;
    case WM_SAVEFAILED: {
        NoteListPause listPaused;
        ShowSaveFailure(window, static_cast<DWORD>(wParam));
        return 0;
    }
    // The due monitor sleeps until a moment it computed from the clock; any
    // of these may have moved that moment.
    case WM_TIMECHANGE:
        WakeMonitor();
        return 0;
    case WM_SETTINGCHANGE:
        WakeMonitor();
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_POWERBROADCAST:
        if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND)
            WakeMonitor();
        return TRUE;
    case WM_SHIFTCLOCK:
        ShiftLocalClock(static_cast<LONGLONG>(lParam));
        return 0;
    case WM_HOTKEY:
        if (wParam == kNewNoteHotKeyId)
            OnNewNoteHotKey(window);
        return 0;
    case WM_DUEREMINDER:
        OnDueReminder(window);
        return 0;
    default:
        // Explorer restarted: its notification area starts empty.
        if (message == TaskbarCreatedMessage() && message != 0) {
            if (RetryTrayIcon(window))
                ShowPendingReminder(window);
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

int RegisterWindowClasses()
{
    HINSTANCE instance = AppInstance();
    HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_JOTWISE));
    auto smallIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_JOTWISE), IMAGE_ICON,
        GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    HCURSOR arrow = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    const std::wstring mainClass = WideFromNote(kMainClassName);
    const std::wstring editorClass = WideFromNote(kEditorClassName);
    const std::wstring noteClass = WideFromNote(kNoteClassName);
    auto white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));

    WNDCLASSEXW main = {};
    main.cbSize = sizeof(main);
    main.lpfnWndProc = MainWndProc;
    main.hInstance = instance;
    main.hIcon = icon;
    main.hIconSm = smallIcon;
    main.hCursor = arrow;
    main.hbrBackground = white;
    main.lpszClassName = mainClass.c_str();
    if (!RegisterClassExW(&main))
        return 0;

    WNDCLASSEXW editor = main;
    editor.lpfnWndProc = EditorWndProc;
    editor.lpszMenuName = MAKEINTRESOURCEW(IDM_EDITOR);
    editor.lpszClassName = editorClass.c_str();
    if (!RegisterClassExW(&editor))
        return 0;

    WNDCLASSEXW note = {};
    note.cbSize = sizeof(note);
    note.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    note.lpfnWndProc = NoteWndProc;
    note.hInstance = instance;
    note.hCursor = arrow;
    note.hbrBackground = white;
    note.lpszClassName = noteClass.c_str();
    if (!RegisterClassExW(&note))
        return 0;
    // What a note's menu opens lies above the notes; they hand it up here.
    SetNoteFeatureCommand(OnNoteFeatureCommand);
    return 1;
}

int CreateMainWindow()
{
    InitCommonControls();
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, WideFromNote(kMainClassName).c_str(), L"Jotwise",
        WS_POPUP | WS_VISIBLE, 100, 100, 0, 0, nullptr, nullptr, AppInstance(), nullptr);
    SetMainWindow(window);
    return window != nullptr;
}

int RunJotwise(HINSTANCE instance)
{
    // Two starts close together can both miss each other's window, which
    // only exists once the store has been loaded; the mutex is taken before
    // anything else, so exactly one of them goes on. It is held for the
    // life of the process and goes with it, also when the process is killed.
    HANDLE instanceMutex = CreateMutexW(nullptr, FALSE, kInstanceMutexName);
    if (instanceMutex && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(instanceMutex);
        return 0;
    }
    // Without the mutex (the system refused it) the window check below is
    // still there.
    struct MutexOwner {
        HANDLE handle;
        ~MutexOwner()
        {
            if (handle)
                CloseHandle(handle);
        }
    } ownMutex{instanceMutex};
    if (FindWindowW(WideFromNote(kMainClassName).c_str(), nullptr))
        return 0;
    SetAppInstance(instance);
    if (!RegisterWindowClasses())
        return 0;
    if (!CreateMainWindow()) {
        delete App();
        SetApp(nullptr);
        return 0;
    }
    HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDA_MAIN));
    StartMonitorThread();

    MSG msg = {};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (HandleNoteListMessage(&msg) || HandleReminderWindowMessage(&msg))
            continue;
        if (!TranslateAcceleratorW(MainWindow(), accelerators, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    delete App();
    SetApp(nullptr);
    SetMainWindow(nullptr);
    return static_cast<int>(msg.wParam);
}
