#include "layout/layout_commands.h"

#include "notes/app_state.h"
#include "notes/monitor.h"
#include "notes/note_events.h"
#include "notes/note_layers.h"
#include "notes/note_store.h"
#include "notes/text_convert.h"
#include "platform/wide_text.h"
#include "res/resource.h"

namespace
{

constexpr int kEdgeGap = 3; // from the screen edges, between notes and between columns

constexpr UINT kShowFlags = SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW;                // 0x43
constexpr UINT kHideFlags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_HIDEWINDOW; // 0x87
constexpr UINT kPlaceFlags = SWP_NOSIZE | SWP_SHOWWINDOW;                            // 0x41
constexpr UINT kResizeFlags = SWP_NOMOVE | SWP_NOZORDER;                             // 0x06
static_assert(kShowFlags == 0x43 && kHideFlags == 0x87 && kPlaceFlags == 0x41 && kResizeFlags == 0x06);

// The record of the note in `slot` when the note takes part in the layout
// commands: the slot holds a window, the window a record, and the user has
// not hidden it.
NoteRecord* VisibleNoteIn(int slot, HWND* window)
{
    HWND note = App()->noteWindows[slot];
    NoteRecord* record = NoteRecordOf(note);
    if (!record || record->hidden)
        return nullptr;
    *window = note;
    return record;
}

SIZE WindowSize(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

RECT PlaceOf(const NoteRecord* record)
{
    return RECT{record->left, record->top, record->width, record->height};
}

// A command's new places and sizes reach the store the moment it ends, as a
// drag's do, so a crash right after keeps them.
void StoreIfMoved(NoteRecord* record, const RECT& before)
{
    RECT after = PlaceOf(record);
    if (!EqualRect(&before, &after))
        SaveNote(record);
}

void OptimizeAllNotes()
{
    for (int slot = 0; slot < kMaxNotes; ++slot) {
        HWND window = nullptr;
        NoteRecord* record = VisibleNoteIn(slot, &window);
        if (!record)
            continue;
        const RECT before = PlaceOf(record);
        if (MeasureNoteSize(record, 1))
            SetWindowPos(window, nullptr, 0, 0, record->width, record->height, kResizeFlags);
        StoreIfMoved(record, before);
    }
}

} // namespace

void ComputeArrangement(const SIZE* sizes, int count, int screenHeight, POINT* places)
{
    int x = kEdgeGap;
    int y = kEdgeGap;
    int columnWidth = 0;
    for (int i = 0; i < count; ++i) {
        // Only a column that already holds a note is left for a new one: a
        // note taller than the screen, first of all, still stands at the
        // left edge instead of after an empty column.
        if (y + sizes[i].cy > screenHeight && y > kEdgeGap) {
            x += columnWidth + kEdgeGap;
            y = kEdgeGap;
            columnWidth = 0;
        }
        if (sizes[i].cx > columnWidth)
            columnWidth = sizes[i].cx;
        places[i] = POINT{x, y};
        y += sizes[i].cy + kEdgeGap;
    }
}

void ShowAllNotes(int hide)
{
    AppState* state = App();
    if (!state)
        return;
    for (int slot = 0; slot < kMaxNotes; ++slot) {
        HWND window = state->noteWindows[slot];
        if (!window)
            continue;
        if (NoteRecord* record = NoteRecordOf(window))
            record->hidden = hide ? 1 : 0;
        SetWindowPos(window, NoteZOrderAnchor(window), 0, 0, 0, 0, hide ? kHideFlags : kShowFlags);
    }
    NotifyNotesChanged();
    WakeMonitor();
}

void ArrangeNotes(HWND owner)
{
    AppState* state = App();
    if (!state)
        return;
    if (ResourceMessageBox(owner, IDS_ASK_ARRANGE, IDS_CONFIRM_CAPTION, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;

    HWND windows[kMaxNotes];
    NoteRecord* records[kMaxNotes];
    SIZE sizes[kMaxNotes];
    int count = 0;
    for (int slot = 0; slot < kMaxNotes; ++slot) {
        HWND window = nullptr;
        NoteRecord* record = VisibleNoteIn(slot, &window);
        if (!record)
            continue;
        windows[count] = window;
        records[count] = record;
        sizes[count] = WindowSize(window);
        ++count;
    }

    POINT places[kMaxNotes];
    ComputeArrangement(sizes, count, GetSystemMetrics(SM_CYSCREEN), places);
    for (int i = 0; i < count; ++i) {
        const RECT before = PlaceOf(records[i]);
        records[i]->left = places[i].x;
        records[i]->top = places[i].y;
        SetWindowPos(windows[i], NoteZOrderAnchor(windows[i]), places[i].x, places[i].y, 0, 0, kPlaceFlags);
        StoreIfMoved(records[i], before);
    }
}

void FitNoteSizes(int commandId)
{
    if (!App())
        return;
    if (commandId == IDM_OPTIMIZE) {
        OptimizeAllNotes();
        return;
    }
    bool fitWidth = commandId == IDM_FIT_WIDTH || commandId == IDM_FIT_BOTH;
    bool fitHeight = commandId == IDM_FIT_HEIGHT || commandId == IDM_FIT_BOTH;

    int largestWidth = 0;
    int largestHeight = 0;
    int count = 0;
    for (int slot = 0; slot < kMaxNotes; ++slot) {
        HWND window = nullptr;
        if (!VisibleNoteIn(slot, &window))
            continue;
        SIZE size = WindowSize(window);
        if (size.cx > largestWidth)
            largestWidth = size.cx;
        if (size.cy > largestHeight)
            largestHeight = size.cy;
        ++count;
    }
    if (count == 0)
        return;

    for (int slot = 0; slot < kMaxNotes; ++slot) {
        HWND window = nullptr;
        NoteRecord* record = VisibleNoteIn(slot, &window);
        if (!record)
            continue;
        SIZE size = WindowSize(window);
        const RECT before = PlaceOf(record);
        record->width = fitWidth ? largestWidth : size.cx;
        record->height = fitHeight ? largestHeight : size.cy;
        SetWindowPos(window, nullptr, 0, 0, record->width, record->height, kResizeFlags);
        StoreIfMoved(record, before);
    }
}
