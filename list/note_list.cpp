#include "list/note_list.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cwchar>
#include <new>
#include <vector>

#include "due/due_time.h"
#include "help/help.h"
#include "list/note_search.h"
#include "notes/app_state.h"
#include "notes/monitor.h"
#include "notes/note_events.h"
#include "notes/note_store.h"
#include "notes/note_table.h"
#include "notes/note_window.h"
#include "platform/dialog_class.h"
#include "platform/error_box.h"
#include "platform/program.h"
#include "platform/wide_text.h"
#include "res/resource.h"
#include "store/recycle_bin.h"
#include "store/window_place.h"

namespace
{

constexpr wchar_t kPlaceValue[] = L"ListPlace";
// A dialog class of its own, so that the list is never taken for a message
// box or another dialog of the program.
constexpr wchar_t kListClassName[] = L"ListC";
constexpr UINT_PTR kFlashTimer = 1;
constexpr UINT kFlashInterval = 120;
constexpr int kFlashTicks = 6;

// Which edges of the window a control follows when the window is resized.
enum Anchor { kLeft = 1, kRight = 2, kTop = 4, kBottom = 8 };

struct Placed {
    int id;
    int anchors;
    RECT start; // in the client area at creation
};

struct ListState {
    HWND view = nullptr;
    HWND search = nullptr;
    std::vector<NoteRow> rows;
    std::vector<int> order;
    int column = kColumnState;
    bool descending = false;
    SIZE startClient{};
    SIZE minTrack{};
    std::vector<Placed> placed;
    HWND flashing = nullptr;
    int flashTicks = 0;
    std::wstring cell; // the text handed to the list view lives here
};

ListState* StateOf(HWND list)
{
    return reinterpret_cast<ListState*>(GetWindowLongPtrW(list, GWLP_USERDATA));
}

int StateText(NoteState state)
{
    switch (state) {
    case NoteState::kShown:
        return IDS_STATE_SHOWN;
    case NoteState::kHidden:
        return IDS_STATE_HIDDEN;
    case NoteState::kPeeledOff:
        return IDS_STATE_PEELED_OFF;
    case NoteState::kNotLoaded:
        return IDS_STATE_NOT_LOADED;
    case NoteState::kInBin:
        return IDS_STATE_IN_BIN;
    case NoteState::kDamaged:
        return IDS_STATE_DAMAGED;
    }
    return IDS_STATE_SHOWN;
}

bool IsIdReserved(const AppState* state, int id)
{
    for (int entry = 0; entry < kMaxNotes; ++entry) {
        if (state->noteIds[entry] == id)
            return true;
    }
    return false;
}

NoteRow RowFromStore(const StoredNote& note, NoteState state)
{
    NoteRow row;
    row.state = state;
    row.id = note.id;
    row.binEntry = note.binEntry;
    row.entryNotes = note.entryNotes;
    row.text = note.text;
    row.due = note.image.due;
    row.fore = note.image.foreColour;
    row.back = note.image.backColour;
    return row;
}

// Every note: the table's first, then what only the store knows.
std::vector<NoteRow> GatherRows()
{
    std::vector<NoteRow> rows;
    AppState* state = App();
    if (!state)
        return rows;
    std::vector<int> openIds;
    for (HWND window : state->noteWindows) {
        const NoteRecord* record = NoteRecordOf(window);
        if (!record)
            continue;
        NoteRow row;
        row.state = record->hidden ? NoteState::kHidden : NoteState::kShown;
        row.id = record->id;
        row.window = window;
        row.text = record->text ? record->text : "";
        row.due = record->due;
        row.fore = record->foreColour;
        row.back = record->backColour;
        rows.push_back(std::move(row));
        openIds.push_back(record->id);
    }
    for (const StoredNote& note : ReadStoredNotes()) {
        bool open = false;
        for (int id : openIds)
            open = open || id == note.id;
        if (open)
            continue;
        // A peeled-off note keeps its ID reserved until the program ends.
        rows.push_back(
            RowFromStore(note, IsIdReserved(state, note.id) ? NoteState::kPeeledOff : NoteState::kNotLoaded));
    }
    for (const StoredNote& note : ReadBinNotes()) {
        rows.push_back(RowFromStore(note, note.damaged ? NoteState::kDamaged : NoteState::kInBin));
        // A damaged record holds no colours to show.
        if (note.damaged) {
            rows.back().fore = GetSysColor(COLOR_WINDOWTEXT);
            rows.back().back = GetSysColor(COLOR_WINDOW);
        }
    }
    for (NoteRow& row : rows)
        row.title = WideFromNote(NoteFirstLine(row.text.c_str()));
    return rows;
}

const NoteRow* SelectedRow(HWND list)
{
    ListState* state = StateOf(list);
    if (!state)
        return nullptr;
    int item = ListView_GetNextItem(state->view, -1, LVNI_SELECTED);
    if (item < 0 || item >= static_cast<int>(state->order.size()))
        return nullptr;
    return &state->rows[state->order[item]];
}

bool IsBinRow(const NoteRow& row)
{
    return row.state == NoteState::kInBin || row.state == NoteState::kDamaged;
}

bool SameNote(const NoteRow& a, const NoteRow& b)
{
    if (a.window || b.window)
        return a.window == b.window;
    return a.binEntry == b.binEntry && a.id == b.id;
}

void UpdateButtons(HWND list)
{
    ListState* state = StateOf(list);
    if (!state)
        return;
    const NoteRow* row = SelectedRow(list);
    bool onDesktop = row && row->window;
    bool away = row && !row->window && row->state != NoteState::kDamaged;
    bool anyInBin = false;
    for (const NoteRow& each : state->rows)
        anyInBin = anyInBin || IsBinRow(each);
    EnableWindow(GetDlgItem(list, IDC_LIST_SHOW), onDesktop);
    EnableWindow(GetDlgItem(list, IDC_LIST_EDIT), onDesktop);
    EnableWindow(GetDlgItem(list, IDC_LIST_RESTORE), away);
    EnableWindow(GetDlgItem(list, IDC_LIST_DELETE), row != nullptr);
    EnableWindow(GetDlgItem(list, IDC_LIST_EMPTY_BIN), anyInBin);
}

void UpdateTitle(HWND list, int count)
{
    std::wstring format = ResourceText(IDS_LIST_TITLE);
    wchar_t title[128];
    std::swprintf(title, sizeof(title) / sizeof(title[0]), format.c_str(), count);
    SetWindowTextW(list, title);
}

// Filters and sorts again; `keep`, when given, stays selected if it is
// still listed.
void Reorder(HWND list, const NoteRow* keep)
{
    ListState* state = StateOf(list);
    if (!state)
        return;
    int length = GetWindowTextLengthW(state->search);
    std::wstring query(length + 1, L'\0');
    GetWindowTextW(state->search, query.data(), length + 1);
    query.resize(length);
    state->order = FilterAndSort(state->rows, query, state->column, state->descending);

    ListView_SetItemCountEx(state->view, static_cast<int>(state->order.size()), 0);
    ListView_SetItemState(state->view, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    int select = state->order.empty() ? -1 : 0;
    for (std::size_t i = 0; keep && i < state->order.size(); ++i) {
        if (SameNote(state->rows[state->order[i]], *keep))
            select = static_cast<int>(i);
    }
    if (select >= 0) {
        ListView_SetItemState(
            state->view, select, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(state->view, select, FALSE);
    }
    InvalidateRect(state->view, nullptr, TRUE);
    UpdateTitle(list, static_cast<int>(state->order.size()));
    UpdateButtons(list);
}

void Reorder(HWND list)
{
    const NoteRow* selected = SelectedRow(list);
    NoteRow keep = selected ? *selected : NoteRow{};
    Reorder(list, selected ? &keep : nullptr);
}

// Rows are rebuilt from scratch; `keep` is found again by note.
void Refresh(HWND list, const NoteRow* keep)
{
    ListState* state = StateOf(list);
    if (!state)
        return;
    NoteRow kept = keep ? *keep : NoteRow{};
    state->rows = GatherRows();
    state->order.clear();
    Reorder(list, keep ? &kept : nullptr);
}

void Refresh(HWND list)
{
    Refresh(list, SelectedRow(list));
}

// The row to select once `row` is gone: the one below it (past the other
// notes of its bin entry, which go with it), else the one above.
const NoteRow* RowAfterDeleting(HWND list, const NoteRow& row)
{
    ListState* state = StateOf(list);
    int item = ListView_GetNextItem(state->view, -1, LVNI_SELECTED);
    const auto goesWith = [&row](const NoteRow& other) {
        return SameNote(other, row) || (IsBinRow(row) && other.binEntry == row.binEntry);
    };
    const int count = static_cast<int>(state->order.size());
    for (int step : {1, -1}) {
        for (int i = item + step; item >= 0 && i >= 0 && i < count; i += step) {
            if (!goesWith(state->rows[state->order[i]]))
                return &state->rows[state->order[i]];
        }
    }
    return nullptr;
}

bool AskText(HWND list, const std::wstring& text)
{
    std::wstring caption = ResourceText(IDS_CONFIRM_CAPTION);
    return MessageBoxW(list, text.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

bool Ask(HWND list, UINT question)
{
    return AskText(list, ResourceText(question));
}

// A text with one %d.
std::wstring FormatCount(UINT format, int count)
{
    wchar_t text[512];
    std::swprintf(text, sizeof(text) / sizeof(text[0]), ResourceText(format).c_str(), count);
    return text;
}

void StartFlash(HWND list, HWND note)
{
    ListState* state = StateOf(list);
    if (!state)
        return;
    if (state->flashing && state->flashing != note && IsWindow(state->flashing)) {
        const NoteRecord* record = NoteRecordOf(state->flashing);
        if (record && !record->hidden)
            ShowWindow(state->flashing, SW_SHOWNA);
    }
    state->flashing = note;
    state->flashTicks = kFlashTicks;
    SetTimer(list, kFlashTimer, kFlashInterval, nullptr);
}

void OnFlashTimer(HWND list)
{
    ListState* state = StateOf(list);
    if (!state)
        return;
    const NoteRecord* record = NoteRecordOf(state->flashing);
    if (!record || --state->flashTicks < 0) {
        KillTimer(list, kFlashTimer);
        if (record && !record->hidden)
            ShowWindow(state->flashing, SW_SHOWNA);
        state->flashing = nullptr;
        return;
    }
    bool visible = state->flashTicks % 2 == 0 && !record->hidden;
    ShowWindow(state->flashing, visible ? SW_SHOWNA : SW_HIDE);
}

void ShowSelected(HWND list)
{
    const NoteRow* row = SelectedRow(list);
    if (!row || !row->window)
        return;
    HWND note = row->window;
    if (NoteRecord* record = NoteRecordOf(note))
        record->hidden = 0;
    SetWindowPos(note, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    // The monitor skipped the note while it was hidden; its colours may be
    // out of date.
    WakeMonitor();
    StartFlash(list, note);
    Refresh(list);
}

// One note: the usual message; several that go together: why none came.
void ReportNoRoom(HWND list, int count, int message)
{
    if (count <= 1)
        ReportError(list, message, nullptr);
    else
        ReportError(list, 0, NoteFromWide(FormatCount(IDS_ERR_ENTRY_NO_ROOM, count)).c_str());
}

// Room for `count` more notes on the desktop; a message when not.
bool RoomForNotes(HWND list, int count)
{
    AppState* state = App();
    int slots = 0;
    int idEntries = 0;
    for (int i = 0; i < kMaxNotes; ++i) {
        slots += state->noteWindows[i] ? 0 : 1;
        idEntries += state->noteIds[i] == 0 ? 1 : 0;
    }
    if (slots < count || idEntries < count)
        ReportNoRoom(list, count, slots < count ? IDS_ERR_TOO_MANY : IDS_ERR_NO_ID);
    return slots >= count && idEntries >= count;
}

// Every note of the entry comes back, each under an ID the next start
// loads, or none does and the entry stays.
void RestoreBinEntry(HWND list, const NoteRow& row)
{
    const int count = row.entryNotes > 1 ? row.entryNotes : 1;
    if (!RoomForNotes(list, count))
        return;
    std::vector<int> ids = FreeLoadableNoteIds(count);
    if (static_cast<int>(ids.size()) < count) {
        ReportNoRoom(list, count, IDS_ERR_NO_ID);
        return;
    }
    if (RestoreNotesFromBin(row.binEntry, ids)) {
        for (int id : ids)
            LoadStoredNote(list, id, CreateNoteWindow);
    }
}

void RestoreSelected(HWND list)
{
    AppState* state = App();
    const NoteRow* selected = SelectedRow(list);
    if (!state || !selected || selected->window)
        return;
    NoteRow row = *selected;
    if (row.state == NoteState::kDamaged)
        return;
    if (row.state == NoteState::kInBin) {
        RestoreBinEntry(list, row);
    } else {
        // A peeled-off note hands its reservation back to the note it becomes.
        int released = -1;
        for (int entry = 0; entry < kMaxNotes && released < 0; ++entry) {
            if (state->noteIds[entry] == row.id)
                released = entry;
        }
        if (released >= 0)
            state->noteIds[released] = 0;
        if ((!RoomForNotes(list, 1) || !LoadStoredNote(list, row.id, CreateNoteWindow)) && released >= 0) {
            for (int entry = 0; entry < kMaxNotes; ++entry) {
                if (state->noteIds[entry] == 0) {
                    state->noteIds[entry] = row.id;
                    break;
                }
            }
        }
    }
    Refresh(list);
}

void DeleteSelected(HWND list)
{
    const NoteRow* selected = SelectedRow(list);
    if (!selected)
        return;
    NoteRow row = *selected;
    const NoteRow* after = RowAfterDeleting(list, row);
    NoteRow next = after ? *after : NoteRow{};
    bool deleted = false;
    switch (row.state) {
    case NoteState::kShown:
    case NoteState::kHidden:
        if (Ask(list, IDS_ASK_MOVE_TO_BIN)) {
            // The box ran a message loop: the note may have gone meanwhile.
            if (NoteRecord* record = NoteRecordOf(row.window)) {
                record->deleted = 1;
                SendMessageW(row.window, WM_CLOSE, 0, 0);
                deleted = true;
            }
        }
        break;
    case NoteState::kPeeledOff:
    case NoteState::kNotLoaded:
        deleted = Ask(list, IDS_ASK_DELETE) && BinStoredNote(row.id);
        break;
    case NoteState::kInBin:
    case NoteState::kDamaged:
        if (row.entryNotes > 1 ? AskText(list, FormatCount(IDS_ASK_DELETE_ENTRY_FOREVER, row.entryNotes))
                               : Ask(list, IDS_ASK_DELETE_FOREVER)) {
            LONG error = DropBinEntry(row.binEntry);
            if (error != ERROR_SUCCESS)
                ReportSaveFailure(error);
            deleted = error == ERROR_SUCCESS;
        }
        break;
    }
    if (deleted)
        Refresh(list, after ? &next : nullptr);
    else
        Refresh(list);
}

void RunCommand(HWND list, int command)
{
    AppState* state = App();
    if (!state)
        return;
    BusyScope busy(state->mainCommandBusy);
    switch (command) {
    case IDOK:
    case IDC_LIST_SHOW:
    case IDM_LIST_SHOW:
        ShowSelected(list);
        break;
    case IDC_LIST_EDIT:
    case IDM_LIST_EDIT:
        if (const NoteRow* row = SelectedRow(list); row && row->window)
            SendMessageW(row->window, WM_COMMAND, IDM_NOTE_EDIT, 0);
        break;
    case IDC_LIST_RESTORE:
    case IDM_LIST_RESTORE:
        RestoreSelected(list);
        break;
    case IDC_LIST_DELETE:
    case IDM_LIST_DELETE:
        DeleteSelected(list);
        break;
    case IDC_LIST_EMPTY_BIN:
    case IDM_LIST_EMPTY_BIN:
        if (Ask(list, IDS_ASK_EMPTY_BIN)) {
            if (LONG error = EmptyBin(); error != ERROR_SUCCESS)
                ReportSaveFailure(error);
            Refresh(list);
        }
        break;
    default:
        break;
    }
}

void ShowContextMenu(HWND list, int x, int y)
{
    ListState* state = StateOf(list);
    HMENU menu = LoadMenuW(AppInstance(), MAKEINTRESOURCEW(IDM_LIST_POPUP));
    if (!state || !menu)
        return;
    HMENU popup = GetSubMenu(menu, 0);
    if (x == -1 && y == -1) {
        // From the keyboard: at the selected row.
        RECT item{};
        int selected = ListView_GetNextItem(state->view, -1, LVNI_SELECTED);
        if (selected < 0 || !ListView_GetItemRect(state->view, selected, &item, LVIR_LABEL))
            GetClientRect(state->view, &item);
        POINT point = {item.left, item.bottom};
        ClientToScreen(state->view, &point);
        x = point.x;
        y = point.y;
    }
    const int pairs[][2] = {{IDM_LIST_SHOW, IDC_LIST_SHOW}, {IDM_LIST_EDIT, IDC_LIST_EDIT},
        {IDM_LIST_RESTORE, IDC_LIST_RESTORE}, {IDM_LIST_DELETE, IDC_LIST_DELETE},
        {IDM_LIST_EMPTY_BIN, IDC_LIST_EMPTY_BIN}};
    for (const auto& pair : pairs) {
        bool enabled = IsWindowEnabled(GetDlgItem(list, pair[1])) != FALSE;
        EnableMenuItem(popup, pair[0], MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    }
    int command = TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, list, nullptr);
    DestroyMenu(menu);
    if (command)
        RunCommand(list, command);
}

void FillCell(ListState* state, NMLVDISPINFOW* info)
{
    LVITEMW& item = info->item;
    if (!(item.mask & LVIF_TEXT) || item.iItem < 0 || item.iItem >= static_cast<int>(state->order.size()))
        return;
    const NoteRow& row = state->rows[state->order[item.iItem]];
    switch (item.iSubItem) {
    case kColumnText:
        state->cell = row.title;
        break;
    case kColumnDue: {
        char date[64] = {};
        state->cell = IsTimeSet(&row.due) ? WideFromNote(FormatDateText(&row.due, date)) : std::wstring();
        break;
    }
    case kColumnState:
        state->cell = ResourceText(StateText(row.state));
        break;
    default:
        state->cell = ResourceText(IDS_LIST_SWATCH);
        break;
    }
    if (item.pszText && item.cchTextMax > 0)
        lstrcpynW(item.pszText, state->cell.c_str(), item.cchTextMax);
}

// The colour column shows the note's own colours; the rest are left to the
// list view.
LRESULT OnCustomDraw(ListState* state, NMLVCUSTOMDRAW* draw)
{
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        auto item = static_cast<std::size_t>(draw->nmcd.dwItemSpec);
        if (draw->iSubItem == kColumnColour && item < state->order.size()) {
            const NoteRow& row = state->rows[state->order[item]];
            draw->clrText = row.fore;
            draw->clrTextBk = row.back;
        } else {
            draw->clrText = GetSysColor(COLOR_WINDOWTEXT);
            draw->clrTextBk = GetSysColor(COLOR_WINDOW);
        }
        return CDRF_NEWFONT;
    }
    default:
        return CDRF_DODEFAULT;
    }
}

void SetSortMark(ListState* state)
{
    HWND header = ListView_GetHeader(state->view);
    for (int column = 0; column < kColumnCount; ++column) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        SendMessageW(header, HDM_GETITEMW, column, reinterpret_cast<LPARAM>(&item));
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (column == state->column)
            item.fmt |= state->descending ? HDF_SORTDOWN : HDF_SORTUP;
        SendMessageW(header, HDM_SETITEMW, column, reinterpret_cast<LPARAM>(&item));
    }
}

LRESULT OnNotify(HWND list, NMHDR* header)
{
    ListState* state = StateOf(list);
    if (!state || header->idFrom != IDC_LIST_VIEW)
        return 0;
    switch (header->code) {
    case LVN_GETDISPINFOW:
        FillCell(state, reinterpret_cast<NMLVDISPINFOW*>(header));
        return 0;
    case NM_CUSTOMDRAW:
        return OnCustomDraw(state, reinterpret_cast<NMLVCUSTOMDRAW*>(header));
    case LVN_COLUMNCLICK: {
        int column = reinterpret_cast<NMLISTVIEW*>(header)->iSubItem;
        state->descending = column == state->column && !state->descending;
        state->column = column;
        SetSortMark(state);
        Reorder(list);
        return 0;
    }
    case LVN_ITEMCHANGED:
        UpdateButtons(list);
        return 0;
    case LVN_ODFINDITEMW: {
        // Typing in the list: only this window knows what the rows say.
        const auto* find = reinterpret_cast<NMLVFINDITEMW*>(header);
        if (!(find->lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find->lvfi.psz)
            return -1;
        return FindRowByPrefix(
            state->rows, state->order, find->lvfi.psz, find->iStart, (find->lvfi.flags & LVFI_WRAP) != 0);
    }
    case NM_DBLCLK:
        RunCommand(list, IDC_LIST_SHOW);
        return 0;
    case LVN_KEYDOWN:
        if (reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey == VK_DELETE)
            RunCommand(list, IDC_LIST_DELETE);
        return 0;
    default:
        return 0;
    }
}

void AddColumns(HWND list, ListState* state)
{
    // Widths in dialog units, so they grow with the dialog font.
    RECT widths = {90, 56, 24, 0};
    MapDialogRect(list, &widths);
    RECT client;
    GetClientRect(state->view, &client);
    int text = client.right - widths.left - widths.top - widths.right - GetSystemMetrics(SM_CXVSCROLL);
    const int ids[kColumnCount]
        = {IDS_LIST_COLUMN_TEXT, IDS_LIST_COLUMN_DUE, IDS_LIST_COLUMN_STATE, IDS_LIST_COLUMN_COLOUR};
    const int sizes[kColumnCount] = {text > 60 ? text : 60, widths.left, widths.top, widths.right};
    for (int column = 0; column < kColumnCount; ++column) {
        std::wstring title = ResourceText(ids[column]);
        LVCOLUMNW item{};
        item.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        item.pszText = title.data();
        item.cx = sizes[column];
        item.iSubItem = column;
        SendMessageW(state->view, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&item));
    }
}

void RememberLayout(HWND list, ListState* state)
{
    const std::pair<int, int> anchors[] = {{IDC_LIST_SEARCH_LABEL, kLeft | kTop},
        {IDC_LIST_SEARCH, kLeft | kRight | kTop}, {IDC_LIST_VIEW, kLeft | kRight | kTop | kBottom},
        {IDC_LIST_SHOW, kLeft | kBottom}, {IDC_LIST_EDIT, kLeft | kBottom},
        {IDC_LIST_RESTORE, kLeft | kBottom}, {IDC_LIST_DELETE, kLeft | kBottom},
        {IDC_LIST_EMPTY_BIN, kLeft | kBottom}, {IDC_LIST_CLOSE, kRight | kBottom}};
    RECT client;
    GetClientRect(list, &client);
    state->startClient = {client.right, client.bottom};
    for (const auto& [id, anchor] : anchors) {
        RECT rect;
        GetWindowRect(GetDlgItem(list, id), &rect);
        MapWindowPoints(nullptr, list, reinterpret_cast<POINT*>(&rect), 2);
        state->placed.push_back({id, anchor, rect});
    }
    // Narrower than the row of buttons along the bottom, the close button
    // would slide over the others: the list shrinks by the room between
    // them, less the gap the others keep.
    LONG leftButtonsEnd = 0;
    LONG closeStart = 0;
    LONG gap = 0;
    for (const Placed& placed : state->placed) {
        if (placed.anchors == (kLeft | kBottom)) {
            if (leftButtonsEnd)
                gap = placed.start.left - leftButtonsEnd;
            leftButtonsEnd = placed.start.right;
        } else if (placed.anchors == (kRight | kBottom)) {
            closeStart = placed.start.left;
        }
    }
    const LONG spare = closeStart - leftButtonsEnd - gap;
    RECT window;
    GetWindowRect(list, &window);
    state->minTrack
        = {window.right - window.left - (spare > 0 ? spare : 0), (window.bottom - window.top) / 2};
}

void Layout(HWND list, int width, int height)
{
    ListState* state = StateOf(list);
    if (!state || state->placed.empty())
        return;
    int dx = width - state->startClient.cx;
    int dy = height - state->startClient.cy;
    HDWP batch = BeginDeferWindowPos(static_cast<int>(state->placed.size()));
    for (const Placed& placed : state->placed) {
        RECT rect = placed.start;
        if (placed.anchors & kRight) {
            rect.right += dx;
            if (!(placed.anchors & kLeft))
                rect.left += dx;
        }
        if (placed.anchors & kBottom) {
            rect.bottom += dy;
            if (!(placed.anchors & kTop))
                rect.top += dy;
        }
        if (batch)
            batch = DeferWindowPos(batch, GetDlgItem(list, placed.id), nullptr, rect.left, rect.top,
                rect.right - rect.left, rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (batch)
        EndDeferWindowPos(batch);
}

BOOL OnInitDialog(HWND list)
{
    auto* state = new (std::nothrow) ListState;
    if (!state) {
        DestroyWindow(list);
        return FALSE;
    }
    SetWindowLongPtrW(list, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    state->view = GetDlgItem(list, IDC_LIST_VIEW);
    state->search = GetDlgItem(list, IDC_LIST_SEARCH);
    ListView_SetExtendedListViewStyle(state->view, LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP);
    HICON icon = LoadIconW(AppInstance(), MAKEINTRESOURCEW(IDI_JOTWISE));
    // The icon's own small image, not the large one squeezed into the caption.
    auto smallIcon = static_cast<HICON>(LoadImageW(AppInstance(), MAKEINTRESOURCEW(IDI_JOTWISE), IMAGE_ICON,
        GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    SendMessageW(list, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(list, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon ? smallIcon : icon));
    RememberLayout(list, state);
    AddColumns(list, state);
    SetSortMark(state);

    RECT place;
    if (ReadWindowPlace(kPlaceValue, &place)) {
        // A place stored smaller, by an older version or by hand, is held to
        // the same minimum as dragging the frame.
        place.right = std::max(place.right, place.left + state->minTrack.cx);
        place.bottom = std::max(place.bottom, place.top + state->minTrack.cy);
        WINDOWPLACEMENT placement{};
        placement.length = sizeof(placement);
        GetWindowPlacement(list, &placement);
        placement.rcNormalPosition = place;
        placement.showCmd = SW_HIDE;
        SetWindowPlacement(list, &placement);
    }
    Refresh(list);
    SetNoteListWindow(list);
    ListenToNoteChanges(list);
    return TRUE;
}

void OnDestroy(HWND list)
{
    SetNoteListWindow(nullptr);
    StopListeningToNoteChanges(list);
    KillTimer(list, kFlashTimer);
    ListState* state = StateOf(list);
    if (state && state->flashing) {
        const NoteRecord* record = NoteRecordOf(state->flashing);
        if (record && !record->hidden)
            ShowWindow(state->flashing, SW_SHOWNA);
    }
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (GetWindowPlacement(list, &placement))
        SaveWindowPlace(kPlaceValue, placement.rcNormalPosition);
    SetWindowLongPtrW(list, GWLP_USERDATA, 0);
    delete state;
}

INT_PTR OnMessage(HWND list, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(list);
    case WM_SIZE:
        Layout(list, LOWORD(lParam), HIWORD(lParam));
        return TRUE;
    case WM_GETMINMAXINFO:
        if (ListState* state = StateOf(list)) {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMinTrackSize = {state->minTrack.cx, state->minTrack.cy};
        }
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDC_LIST_CLOSE) {
            DestroyWindow(list);
        } else if (LOWORD(wParam) == IDC_LIST_SEARCH) {
            if (HIWORD(wParam) == EN_CHANGE)
                Reorder(list);
        } else {
            RunCommand(list, LOWORD(wParam));
        }
        return TRUE;
    case WM_NOTIFY:
        SetWindowLongPtrW(list, DWLP_MSGRESULT, OnNotify(list, reinterpret_cast<NMHDR*>(lParam)));
        return TRUE;
    case WM_CONTEXTMENU:
        if (ListState* state = StateOf(list); state && reinterpret_cast<HWND>(wParam) == state->view) {
            ShowContextMenu(list, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return TRUE;
        }
        return FALSE;
    case WM_TIMER:
        if (wParam == kFlashTimer)
            OnFlashTimer(list);
        return TRUE;
    case WM_NOTESCHANGED: {
        // Notes change in bursts (closing all, showing all): one refresh.
        SkipQueuedNoteChanges(list);
        Refresh(list);
        return TRUE;
    }
    case WM_HELP:
        ShowHelp(list, kHelpContext, HELP_CONTEXT_NOTE_LIST);
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(list);
        return TRUE;
    case WM_DESTROY:
        OnDestroy(list);
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK NoteListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    try {
        return OnMessage(list, message, wParam, lParam);
    } catch (...) {
        return FALSE;
    }
}

} // namespace

void OpenNoteList()
{
    HWND list = NoteListWindow();
    if (!list && RegisterDialogClass(kListClassName))
        // Owned by the main window, as a window of the program; the
        // template keeps its taskbar button.
        list = CreateDialogParamW(
            AppInstance(), MAKEINTRESOURCEW(IDD_NOTE_LIST), MainWindow(), NoteListProc, 0);
    if (!list)
        return;
    if (IsIconic(list))
        ShowWindow(list, SW_RESTORE);
    ShowWindow(list, SW_SHOW);
    SetForegroundWindow(list);
}

void CloseNoteList()
{
    if (HWND list = NoteListWindow())
        DestroyWindow(list);
}

bool HandleNoteListMessage(MSG* msg)
{
    HWND list = NoteListWindow();
    if (!list || !msg || (msg->hwnd != list && !IsChild(list, msg->hwnd)))
        return false;
    if (msg->message == WM_KEYDOWN && msg->wParam == 'F' && GetKeyState(VK_CONTROL) < 0) {
        HWND search = GetDlgItem(list, IDC_LIST_SEARCH);
        SetFocus(search);
        SendMessageW(search, EM_SETSEL, 0, -1);
        return true;
    }
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_F1) {
        ShowHelp(list, kHelpContext, HELP_CONTEXT_NOTE_LIST);
        return true;
    }
    // The message loop reads with GetMessageW: the dialog must take the
    // characters in the same form.
    return IsDialogMessageW(list, msg) != FALSE;
}
