#include "notes/note_table.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "notes/app_state.h"
#include "notes/monitor.h"
#include "notes/note_events.h"
#include "notes/note_layers.h"
#include "notes/note_store.h"
#include "notes/note_window.h"
#include "platform/error_box.h"
#include "platform/screen_place.h"
#include "platform/wide_text.h"
#include "res/resource.h"

namespace
{

constexpr DWORD kNoteExStyle = WS_EX_TOOLWINDOW;
constexpr DWORD kNoteStyle = WS_POPUP | WS_VISIBLE;
constexpr int kPlacementTries = 20;
constexpr int kFallbackIdRange = 1000;
constexpr int kIdFlagCount = kMaxStoredId + 1;

int FindFreeIdEntry(const AppState* state)
{
    for (int entry = 0; entry < kMaxNotes; ++entry) {
        if (state->noteIds[entry] == 0)
            return entry;
    }
    return -1;
}

int FindNoteSlot(const AppState* state, HWND window)
{
    for (int slot = 0; slot < kMaxNotes; ++slot) {
        if (state->noteWindows[slot] == window)
            return slot;
    }
    return -1;
}

bool IsIdReserved(const AppState* state, int id)
{
    for (int entry = 0; entry < kMaxNotes; ++entry) {
        if (state->noteIds[entry] == id)
            return true;
    }
    return false;
}

// Reports the last system error; an allocation that failed in the C library
// has left none of its own.
int ReportSystemError(HWND owner, DWORD fallback = 0)
{
    if (fallback)
        SetLastError(fallback);
    return ReportError(owner, -1, nullptr);
}

HFONT CreateNoteFont(const NoteRecord* source, const LOGFONTA* font)
{
    if (font)
        return CreateNoteFontIndirect(font);
    if (!source->font)
        return nullptr;
    LOGFONTA sourceFont;
    std::memset(&sourceFont, 0, sizeof(sourceFont));
    if (!GetNoteFont(source->font, &sourceFont))
        return nullptr;
    return CreateNoteFontIndirect(&sourceFont);
}

} // namespace

NoteRecord* NewNoteRecord()
{
    return static_cast<NoteRecord*>(std::calloc(1, sizeof(NoteRecord)));
}

void DeleteNoteRecord(NoteRecord* record)
{
    if (!record)
        return;
    ReleaseNoteResources(record);
    std::free(record);
}

void ReleaseNoteResources(NoteRecord* record)
{
    if (!record)
        return;
    std::free(record->text);
    record->text = nullptr;
    if (record->font) {
        DeleteObject(record->font);
        record->font = nullptr;
    }
    if (record->brush) {
        DeleteObject(record->brush);
        record->brush = nullptr;
    }
}

int FindFreeNoteSlot(HWND owner, int report)
{
    AppState* state = App();
    if (!state)
        return -1;
    for (int slot = 0; slot < kMaxNotes; ++slot) {
        if (!state->noteWindows[slot])
            return slot;
    }
    if (report)
        ReportError(owner, IDS_ERR_TOO_MANY, nullptr);
    return -1;
}

int CreateNoteWindow(HWND owner, const NoteRecord* source, const LOGFONTA* font)
{
    AppState* state = App();
    if (!source || !state)
        return 0;
    int slot = FindFreeNoteSlot(owner, 1);
    if (slot < 0)
        return 0;
    NoteRecord* record = NewNoteRecord();
    if (!record)
        return 0;
    CopyNoteImage(record, source);
    record->deleted = 0;
    record->hidden = 0;
    record->drawState = kDrawNormal;
    record->keepStoredFont = source->keepStoredFont;
    record->topmost = source->topmost;
    record->repeat = source->repeat;
    record->repeatDay = source->repeatDay;
    record->snoozeUntil = source->snoozeUntil;

    if (source->text && source->text[0]) {
        std::size_t length = std::strlen(source->text);
        record->text = static_cast<char*>(std::malloc(length + 1));
        if (!record->text) {
            ReportSystemError(owner, ERROR_NOT_ENOUGH_MEMORY);
            DeleteNoteRecord(record);
            return 0;
        }
        std::memcpy(record->text, source->text, length + 1);
    }
    record->font = CreateNoteFont(source, font);
    if (!record->font) {
        ReportSystemError(owner);
        DeleteNoteRecord(record);
        return 0;
    }
    record->brush = CreateSolidBrush(source->backColour);
    if (!record->brush) {
        ReportSystemError(owner);
        DeleteNoteRecord(record);
        return 0;
    }
    // Checked before the window exists, so that no window ever refers to a
    // record that is released again.
    int idEntry = FindFreeIdEntry(state);
    if (idEntry < 0) {
        ReportError(owner, IDS_ERR_NO_ID, nullptr);
        DeleteNoteRecord(record);
        return 0;
    }

    // Stored on a monitor that is gone: brought back where the user can
    // reach it; the next save keeps the new place.
    RECT place = {record->left, record->top, record->left + record->width, record->top + record->height};
    if (BringOntoScreen(&place)) {
        record->left = place.left;
        record->top = place.top;
        record->width = place.right - place.left;
        record->height = place.bottom - place.top;
    }

    DWORD style = kNoteStyle | (state->options.border ? WS_THICKFRAME : 0);
    HWND window = CreateWindowExW(NoteExStyle(kNoteExStyle, record->topmost != 0),
        WideFromNote(kNoteClassName).c_str(), nullptr, style, record->left, record->top, record->width,
        record->height, nullptr, nullptr, AppInstance(), record);
    if (!window) {
        ReportSystemError(owner);
        DeleteNoteRecord(record);
        return 0;
    }
    {
        AppLock lock;
        // The window procedure keeps the record from WM_CREATE on; the table
        // relies on it being there whatever that procedure does.
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(record));
        state->noteWindows[slot] = window;
        state->noteIds[idEntry] = record->id;
    }
    NameNoteWindow(window);
    NotifyNotesChanged();
    WakeMonitor();
    // A layered window stays invisible until its alpha is set.
    if (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LAYERED)
        ApplyNoteOpacity(window, false);
    return 1;
}

void PlaceNewNote(NoteRecord* record, const RECT* area)
{
    if (!record)
        return;
    // Off the taskbar and the tray icon, on the monitor the user is looking at.
    const RECT place = area ? *area : TrayWorkArea();
    // An area without size would make every draw a division by zero.
    const int width = place.right > place.left ? place.right - place.left : 1;
    const int height = place.bottom > place.top ? place.bottom - place.top : 1;
    for (int attempt = 0; attempt < kPlacementTries; ++attempt) {
        record->left = place.left + std::rand() % width;
        record->top = place.top + std::rand() % height;
        if (!IsPointOnNote(record->left, record->top))
            break;
    }
    int fallback = std::rand() % kFallbackIdRange;
    record->id = ChooseFreeNoteId(fallback);
}

int ChooseFreeNoteId(int fallback)
{
    AppState* state = App();
    if (!state)
        return fallback;
    auto* taken = static_cast<std::uint8_t*>(std::calloc(kIdFlagCount, 1));
    if (!taken)
        return fallback;
    for (int entry = 0; entry < kMaxNotes; ++entry) {
        int id = state->noteIds[entry];
        if (id >= 1 && id <= kMaxStoredId)
            taken[id] = 1;
    }
    for (int id = 1; id <= kMaxStoredId; ++id) {
        if (state->storedIds[id])
            taken[id] = 1;
    }
    int chosen = 0;
    for (int id = 1; id <= kMaxStoredId && !chosen; ++id) {
        if (!taken[id])
            chosen = id;
    }
    std::free(taken);
    if (chosen)
        return chosen;
    // Every loadable ID belongs to an open or a stored note. Rather than save
    // over one of them, the new note takes an ID above the loadable range:
    // it is kept in the store but not loaded again. Such IDs are never
    // loaded, so only the store itself knows which an earlier run used.
    for (int id = kMaxStoredId + 1;; ++id) {
        if (!IsIdReserved(state, id) && !HasStoredNote(id))
            return id;
    }
}

std::vector<int> FreeLoadableNoteIds(int count)
{
    std::vector<int> ids;
    for (int id = 1; id <= kMaxStoredId && static_cast<int>(ids.size()) < count; ++id) {
        if (IsNoteIdFree(id))
            ids.push_back(id);
    }
    return ids;
}

bool IsNoteIdFree(int id)
{
    AppState* state = App();
    // 0 marks a free reservation entry, so it cannot be reserved itself.
    if (!state || id <= 0)
        return false;
    if (id <= kMaxStoredId ? state->storedIds[id] != 0 : HasStoredNote(id))
        return false;
    return !IsIdReserved(state, id);
}

int IsPointOnNote(int x, int y)
{
    AppState* state = App();
    if (!state)
        return 0;
    for (int slot = 0; slot < kMaxNotes; ++slot) {
        const NoteRecord* record = NoteRecordOf(state->noteWindows[slot]);
        if (!record)
            continue;
        // 64-bit sums: a stored rectangle can hold any values.
        std::int64_t right = static_cast<std::int64_t>(record->left) + record->width;
        std::int64_t bottom = static_cast<std::int64_t>(record->top) + record->height;
        if (record->left <= x && x <= right && record->top <= y && y <= bottom)
            return 1;
    }
    return 0;
}

void ClampToArea(NoteRecord* record, const RECT& area)
{
    if (!record)
        return;
    if (static_cast<std::int64_t>(record->left) + record->width > area.right)
        record->left = area.right - record->width;
    else if (record->left < area.left)
        record->left = area.left;
    if (static_cast<std::int64_t>(record->top) + record->height > area.bottom)
        record->top = area.bottom - record->height;
    else if (record->top < area.top)
        record->top = area.top;
}

void ClampToScreen(NoteRecord* record)
{
    if (record)
        ClampToArea(record, WorkAreaAt({record->left, record->top}));
}

int DuplicateNote(HWND noteWindow)
{
    const NoteRecord* source = NoteRecordOf(noteWindow);
    if (!source)
        return 0;
    // The copy borrows the source's text and font and owns nothing.
    NoteRecord copy;
    std::memset(&copy, 0, sizeof(copy));
    CopyNoteImage(&copy, source);
    copy.text = source->text;
    copy.font = source->font;
    // What the new note's own record holds; a flag of the source must not
    // reach the store (a deleted flag would delete instead of save).
    copy.deleted = 0;
    copy.hidden = 0;
    copy.drawState = kDrawNormal;
    copy.topmost = source->topmost;
    // The copy repeats like its source; a snooze was for the source alone.
    copy.repeat = source->repeat;
    copy.repeatDay = source->repeatDay;
    PlaceNewNote(&copy);
    int created = CreateNoteWindow(noteWindow, &copy, nullptr);
    if (created)
        SaveNote(&copy);
    return created;
}

void SaveAllNotes()
{
    AppState* state = App();
    if (!state)
        return;
    for (HWND note : state->noteWindows) {
        NoteRecord* record = NoteRecordOf(note);
        if (!record)
            continue;
        RememberNoteRect(note, record);
        SaveNote(record);
    }
}

void CloseNote(HWND noteWindow)
{
    AppState* state = App();
    if (!state || !noteWindow)
        return;
    int slot = FindNoteSlot(state, noteWindow);
    if (slot < 0)
        return;
    NoteRecord* record = NoteRecordOf(noteWindow);
    if (!record) {
        AppLock lock;
        state->noteWindows[slot] = nullptr;
        return;
    }
    RememberNoteRect(noteWindow, record);
    SaveNote(record);
    if (record->deleted) {
        for (int entry = 0; entry < kMaxNotes; ++entry) {
            if (state->noteIds[entry] == record->id) {
                state->noteIds[entry] = 0;
                break;
            }
        }
    }
    {
        AppLock lock;
        state->noteWindows[slot] = nullptr;
        SetWindowLongPtrW(noteWindow, GWLP_USERDATA, 0);
        DeleteNoteRecord(record);
    }
    DestroyWindow(noteWindow);
    NotifyNotesChanged();
    WakeMonitor();
}
