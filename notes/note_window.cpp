#include "notes/note_window.h"

#include <windowsx.h>

#include "notes/app_state.h"
#include "notes/note_commands.h"
#include "notes/note_events.h"
#include "notes/note_layers.h"
#include "notes/note_store.h"
#include "notes/note_table.h"
#include "platform/gdi_owners.h"
#include "platform/popup_menu.h"
#include "platform/wide_text.h"
#include "res/resource.h"

namespace
{

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr int kMarginX = 6;
constexpr int kMarginY = 3;

int OnCreate(HWND window, const CREATESTRUCTW* create)
{
    if (!create || !create->lpCreateParams)
        return -1;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    return 0;
}

void OnPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (dc)
        PaintNote(window, dc);
    EndPaint(window, &paint);
}

void OnCommand(HWND window, int commandId)
{
    AppState* state = App();
    if (!state)
        return;
    BusyScope busy(state->noteCommandBusy);
    NoteListPause listPaused;
    OnNoteCommand(window, commandId);
}

void OnButtonDown(HWND window, int x, int y)
{
    AppState* state = App();
    if (!state)
        return;
    state->dragX = x;
    state->dragY = y;
    SetCapture(window);
    state->dragging = 1;
}

void OnMouseMove(HWND window, int x, int y)
{
    OnNoteHover(window, true);
    AppState* state = App();
    if (!state || !state->dragging)
        return;
    RECT rect;
    if (!GetWindowRect(window, &rect))
        return;
    SetWindowPos(window, nullptr, rect.left + x - state->dragX, rect.top + y - state->dragY, 0, 0,
        SWP_NOSIZE | SWP_NOZORDER);
}

// A move or resize reaches the store the moment it ends, so a crash or a
// killed process a second later still finds the note where it was left.
// A click that moved nothing writes nothing.
void StoreNoteRect(HWND window)
{
    NoteRecord* record = NoteRecordOf(window);
    if (record && RememberNoteRect(window, record))
        SaveNote(record);
}

void OnButtonUp(HWND window)
{
    AppState* state = App();
    if (!state || !state->dragging)
        return;
    // Cleared before the release so that the capture-loss handler below does
    // not take this for an interrupted drag.
    state->dragging = 0;
    ReleaseCapture();
    StoreNoteRect(window);
}

// The capture can go without a button-up reaching the note (another window
// takes it, the note is torn down). A drag left running would make any
// later mouse move over a note drag it without a button held.
void OnCaptureChanged(HWND window)
{
    AppState* state = App();
    if (!state || !state->dragging)
        return;
    state->dragging = 0;
    StoreNoteRect(window);
}

// Posted by the due monitor: 0 hides the note, 1 shows it again unless the
// user hid it (or it lost its record) in between.
void OnBlink(HWND window, WPARAM show)
{
    if (!show) {
        ShowWindow(window, SW_HIDE);
        return;
    }
    const NoteRecord* record = NoteRecordOf(window);
    if (record && !record->hidden)
        ShowWindow(window, SW_SHOWNA);
}

} // namespace

LRESULT CALLBACK NoteWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(window, reinterpret_cast<const CREATESTRUCTW*>(lParam));
    case WM_PAINT:
        OnPaint(window);
        return 0;
    case WM_CLOSE:
        CloseNote(window);
        return 0;
    case WM_COMMAND:
        OnCommand(window, LOWORD(wParam));
        return 0;
    case WM_INITMENU:
        ApplyNoteMenuState(window, reinterpret_cast<HMENU>(wParam));
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(window, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONDOWN:
        OnButtonDown(window, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONUP:
        OnButtonUp(window);
        return 0;
    case WM_MOUSELEAVE:
        OnNoteHover(window, false);
        return 0;
    case WM_CAPTURECHANGED:
        OnCaptureChanged(window);
        return 0;
    case WM_EXITSIZEMOVE:
        StoreNoteRect(window);
        return 0;
    case WM_LBUTTONDBLCLK:
        PostMessageW(window, WM_COMMAND, IDM_NOTE_EDIT, 0);
        return 0;
    case WM_RBUTTONDOWN:
        ShowPopupMenu(window, IDM_NOTE);
        return 0;
    case WM_NOTEBLINK:
        OnBlink(window, wParam);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

void ChooseNoteColours(const NoteRecord* record, const Options* options, COLORREF* text, COLORREF* background)
{
    if (!record) {
        *text = kBlack;
        *background = kWhite;
        return;
    }
    // The monitor thread writes the draw state at any time: read it once.
    const std::uint8_t drawState = record->drawState;
    if (drawState == kDrawOverdue && options && options->blackWhite) {
        *text = kWhite;
        *background = kBlack;
        return;
    }
    *text = record->foreColour;
    if (drawState == kDrawNormal || !options)
        *background = record->backColour;
    else if (drawState == kDrawEve)
        *background = options->eveColour;
    else
        *background = options->dueColour;
}

void PaintNote(HWND window, HDC dc)
{
    const NoteRecord* record = NoteRecordOf(window);
    if (!record || !record->text || record->text[0] == '\0')
        return;
    AppState* state = App();
    COLORREF textColour;
    COLORREF background;
    ChooseNoteColours(record, state ? &state->options : nullptr, &textColour, &background);

    RECT client;
    GetClientRect(window, &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (width <= 0 || height <= 0)
        return;

    MemoryDc memory(dc);
    if (!memory.get())
        return;
    GdiOwner<HBITMAP> bitmap(CreateCompatibleBitmap(dc, width, height));
    GdiOwner<HBRUSH> brush(CreateSolidBrush(background));
    if (!bitmap.get() || !brush.get())
        return;
    ScopedSelection selectBitmap(memory.get(), bitmap.get());
    ScopedSelection selectFont(memory.get(), record->font);
    ScopedSelection selectBrush(memory.get(), brush.get());
    PatBlt(memory.get(), 0, 0, width, height, PATCOPY);

    SetTextColor(memory.get(), textColour);
    SetBkMode(memory.get(), TRANSPARENT);
    SetBkColor(memory.get(), background);
    RECT textRect = client;
    InflateRect(&textRect, -kMarginX, -kMarginY);
    std::wstring text = WideFromNote(record->text ? record->text : "");
    DrawTextExW(memory.get(), text.data(), static_cast<int>(text.size()), &textRect,
        DT_EDITCONTROL | DT_NOPREFIX, nullptr);

    BitBlt(dc, 0, 0, width, height, memory.get(), 0, 0, SRCCOPY);
}

bool RememberNoteRect(HWND window, NoteRecord* record)
{
    if (!record)
        record = NoteRecordOf(window);
    if (!record || IsIconic(window) || IsZoomed(window))
        return false;
    RECT rect;
    if (!GetWindowRect(window, &rect))
        return false;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (record->left == rect.left && record->top == rect.top && record->width == width
        && record->height == height)
        return false;
    record->left = rect.left;
    record->top = rect.top;
    record->width = width;
    record->height = height;
    return true;
}

std::string_view NoteFirstLine(const char* text)
{
    if (!text)
        return {};
    std::string_view all(text);
    return all.substr(0, all.find_first_of("\r\n"));
}

void NameNoteWindow(HWND window)
{
    const NoteRecord* record = NoteRecordOf(window);
    if (record)
        SetWindowTextW(window, WideFromNote(NoteFirstLine(record->text)).c_str());
}
