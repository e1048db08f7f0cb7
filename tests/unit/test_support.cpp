#include "tests/unit/test_support.h"

#include <winternl.h>

#include <vector>

#include "notes/note_table.h"
#include "tests/e2e/driver.h"

ScopedAppState::ScopedAppState()
    : state_(new AppState{})
{
    InitializeCriticalSection(&state_->lock);
    SetDefaultOptions(&state_->options);
    SetDefaultExtraSettings(&state_->extra);
    LOGFONTA font;
    SetDefaultFont(&font);
    state_->defaultFont = CreateFontIndirectA(&font);
    SetApp(state_);
}

ScopedAppState::~ScopedAppState()
{
    for (int slot = 0; slot < kMaxNotes; ++slot) {
        HWND note = state_->noteWindows[slot];
        if (note && IsWindow(note)) {
            NoteRecord* record = NoteRecordOf(note);
            state_->noteWindows[slot] = nullptr;
            SetWindowLongPtrA(note, GWLP_USERDATA, 0);
            DeleteNoteRecord(record);
            DestroyWindow(note);
        }
    }
    if (state_->defaultFont)
        DeleteObject(state_->defaultFont);
    DeleteCriticalSection(&state_->lock);
    SetApp(nullptr);
    delete state_;
}

DWORD CountGdiObjects()
{
    if (DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS))
        return reported;
    struct HandleEntry {
        ULONG64 object;
        ULONG owner;
        USHORT unique;
        UCHAR type; // 0 for a free entry
        UCHAR flags;
        ULONG64 user;
    };
    static_assert(sizeof(HandleEntry) == 24);
    constexpr std::size_t kTableOffset = sizeof(void*) == 8 ? 0xF8 : 0x94; // PEB.GdiSharedHandleTable
    PROCESS_BASIC_INFORMATION process = {};
    if (NtQueryInformationProcess(
            GetCurrentProcess(), ProcessBasicInformation, &process, sizeof(process), nullptr))
        return 0;
    const auto* peb = reinterpret_cast<const BYTE*>(process.PebBaseAddress);
    const auto* table = *reinterpret_cast<const HandleEntry* const*>(peb + kTableOffset);
    DWORD count = 0;
    for (std::size_t i = 0; table && i < 0x10000; ++i)
        count += table[i].type != 0;
    return count;
}

void ClearStore()
{
    e2e::store::Clear();
}

std::string Sjis(const char* utf8)
{
    return e2e::Sjis(utf8);
}

FILETIME LocalTime(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second)
{
    SYSTEMTIME fields = {};
    fields.wYear = year;
    fields.wMonth = month;
    fields.wDay = day;
    fields.wHour = hour;
    fields.wMinute = minute;
    fields.wSecond = second;
    FILETIME time = {};
    SystemTimeToFileTime(&fields, &time);
    return time;
}

void PumpMessages(DWORD ms)
{
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    } while (GetTickCount() - start < ms);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        PumpMessages(0);
    }
    return true;
}

void ClickCell(HWND dialog, int gridId, int rows, int columns, int column, int row)
{
    RECT grid;
    GetWindowRect(GetDlgItem(dialog, gridId), &grid);
    int dx = (grid.right - grid.left) / columns;
    int dy = (grid.bottom - grid.top) / rows;
    POINT point{grid.left + column * dx + dx / 3, grid.top + row * dy + dy / 3};
    ScreenToClient(dialog, &point);
    SendMessageA(dialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    SendMessageA(dialog, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
}

DeferredAction::DeferredAction(DWORD delayMs, Fn fn, void* context)
    : thread_(nullptr)
    , delayMs_(delayMs)
    , fn_(fn)
    , context_(context)
{
    thread_ = CreateThread(nullptr, 0, &DeferredAction::Run, this, 0, nullptr);
}

DeferredAction::~DeferredAction()
{
    if (thread_) {
        // Keep the message queue moving while the helper finishes, in case
        // it waits for a window of this thread.
        while (MsgWaitForMultipleObjects(1, &thread_, FALSE, 10000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        CloseHandle(thread_);
    }
}

DWORD WINAPI DeferredAction::Run(LPVOID self)
{
    auto* action = static_cast<DeferredAction*>(self);
    Sleep(action->delayMs_);
    action->fn_(action->context_);
    return 0;
}

namespace
{
struct FindContext {
    const char* className;
    HWND found;
};

BOOL CALLBACK FindOwnWindow(HWND window, LPARAM param)
{
    auto* context = reinterpret_cast<FindContext*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != GetCurrentProcessId() || !IsWindowVisible(window))
        return TRUE;
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    if (lstrcmpA(name, context->className) == 0) {
        context->found = window;
        return FALSE;
    }
    return TRUE;
}
} // namespace

HWND WaitForThreadWindow(const char* className, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        FindContext context{className, nullptr};
        EnumWindows(FindOwnWindow, reinterpret_cast<LPARAM>(&context));
        if (context.found)
            return context.found;
        if (GetTickCount() - start > timeoutMs)
            return nullptr;
        Sleep(20);
    }
}

std::string MessageBoxText(HWND box)
{
    // The message is the static control with ID 0xFFFF.
    char text[2048] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
    return text;
}
