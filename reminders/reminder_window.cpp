#include "reminders/reminder_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>
#include <new>
#include <vector>

#include "due/alarm_time.h"
#include "due/due_time.h"
#include "help/help.h"
#include "notes/app_state.h"
#include "notes/monitor.h"
#include "notes/note_commands.h"
#include "notes/note_events.h"
#include "notes/note_layers.h"
#include "notes/note_window.h"
#include "platform/dialog_class.h"
#include "platform/screen_place.h"
#include "platform/wide_text.h"
#include "res/resource.h"
#include "store/window_place.h"

namespace
{

constexpr wchar_t kPlaceValue[] = L"ReminderPlace";
// A dialog class of its own, so that the window is never taken for a
// message box or another dialog of the program.
constexpr wchar_t kReminderClassName[] = L"RemindC";
// Rewrites "3 分前" when the soonest of them changes.
constexpr UINT_PTR kAgoTimer = 1;
constexpr int kColumnCount = 3;
enum Column { kColumnText = 0, kColumnDue = 1, kColumnAgo = 2 };

struct Row {
    HWND note = nullptr;
    std::wstring title;
    FILETIME due{};
};

struct ReminderState {
    HWND view = nullptr;
    std::vector<Row> rows;
    std::wstring cell; // the text handed to the list view lives here
};

HWND g_window = nullptr;

ReminderState* StateOf(HWND window)
{
    return reinterpret_cast<ReminderState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// A window the note table still holds; the row may outlive its note.
NoteRecord* OpenNoteRecord(HWND note)
{
    AppState* state = App();
    if (!state || !note)
        return nullptr;
    for (HWND open : state->noteWindows) {
        if (open == note)
            return NoteRecordOf(note);
    }
    return nullptr;
}

// What the monitor announces: overdue and not snoozed. The oldest first.
std::vector<Row> GatherRows(const FILETIME& now)
{
    std::vector<Row> rows;
    AppState* state = App();
    if (!state)
        return rows;
    for (HWND note : state->noteWindows) {
        const NoteRecord* record = NoteRecordOf(note);
        if (!record || GetDueStateAt(record, &now) != kDueOverdue || IsSnoozedAt(record, &now))
            continue;
        rows.push_back({note, WideFromNote(NoteFirstLine(record->text)), record->due});
    }
    std::stable_sort(rows.begin(), rows.end(),
        [](const Row& a, const Row& b) { return CompareFileTime(&a.due, &b.due) < 0; });
    return rows;
}

std::vector<HWND> SelectedNotes(HWND window)
{
    std::vector<HWND> notes;
    ReminderState* state = StateOf(window);
    if (!state)
        return notes;
    for (int item = ListView_GetNextItem(state->view, -1, LVNI_SELECTED); item >= 0;
         item = ListView_GetNextItem(state->view, item, LVNI_SELECTED)) {
        if (item < static_cast<int>(state->rows.size()))
            notes.push_back(state->rows[item].note);
    }
    return notes;
}

void UpdateButtons(HWND window)
{
    bool any = !SelectedNotes(window).empty();
    // A button that greys itself would keep the keyboard focus where no key
    // reaches; the rows are where the user picks the next note.
    HWND focus = GetFocus();
    for (int id : {IDC_REMIND_SHOW, IDC_REMIND_DONE, IDC_REMIND_SNOOZE}) {
        HWND button = GetDlgItem(window, id);
        if (!any && button == focus)
            SendMessageW(
                window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(window, IDC_REMIND_VIEW)), TRUE);
        EnableWindow(button, any);
    }
}

// Gathers the rows again, keeping the selection by note. False, and the
// window closed, when nothing is due: every note was taken care of.
bool Refresh(HWND window)
{
    ReminderState* state = StateOf(window);
    if (!state)
        return false;
    std::vector<HWND> selected = SelectedNotes(window);
    const bool opening = state->rows.empty();
    const int firstSelected = ListView_GetNextItem(state->view, -1, LVNI_SELECTED);
    FILETIME now;
    GetLocalFileTime(&now);
    state->rows = GatherRows(now);
    if (state->rows.empty()) {
        DestroyWindow(window);
        return false;
    }
    ListView_SetItemCountEx(state->view, static_cast<int>(state->rows.size()), 0);
    ListView_SetItemState(state->view, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    bool kept = false;
    for (std::size_t i = 0; i < state->rows.size(); ++i) {
        if (std::find(selected.begin(), selected.end(), state->rows[i].note) == selected.end())
            continue;
        ListView_SetItemState(state->view, static_cast<int>(i), LVIS_SELECTED, LVIS_SELECTED);
        kept = true;
    }
    if (!kept) {
        // Opening, the oldest note is ready for Enter. Once a command has
        // taken the selected notes away, the focus moves on to the row in
        // their place but nothing is chosen for the user: the second click
        // of a double click on 完了 would act on a note nobody picked.
        const int row = opening ? 0 : std::clamp(firstSelected, 0, static_cast<int>(state->rows.size()) - 1);
        const UINT set = opening ? LVIS_SELECTED | LVIS_FOCUSED : LVIS_FOCUSED;
        ListView_SetItemState(state->view, row, set, set);
    }
    InvalidateRect(state->view, nullptr, TRUE);
    UpdateButtons(window);
    ULONGLONG soonest = kNoDueChange;
    for (const Row& row : state->rows)
        soonest = std::min(soonest, ElapsedSince(row.due, now).changeMs);
    SetTimer(window, kAgoTimer, static_cast<UINT>(std::min<ULONGLONG>(soonest, USER_TIMER_MAXIMUM)), nullptr);
    return true;
}

void ShowNotes(const std::vector<HWND>& notes)
{
    for (HWND note : notes) {
        NoteRecord* record = OpenNoteRecord(note);
        if (!record)
            continue;
        record->hidden = 0;
        SetWindowPos(note, NoteZOrderAnchor(note), 0, 0, 0, 0,
            SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    }
    // A note that was hidden has its colours judged again; the note list
    // says it is shown.
    WakeMonitor();
    NotifyNotesChanged();
}

int SnoozeMinutes(int command)
{
    switch (command) {
    case IDM_REMIND_SNOOZE_5:
        return 5;
    case IDM_REMIND_SNOOZE_10:
        return 10;
    case IDM_REMIND_SNOOZE_30:
        return 30;
    case IDM_REMIND_SNOOZE_60:
        return 60;
    default:
        return kSnoozeUntilMorning;
    }
}

// The choices of "後で通知", under its button; 0 when none was taken.
int ChooseSnooze(HWND window)
{
    HMENU menu = LoadMenuW(AppInstance(), MAKEINTRESOURCEW(IDM_REMIND_SNOOZE_POPUP));
    if (!menu)
        return 0;
    // Below the button, or above it where the screen ends, never over it.
    TPMPARAMS params = {sizeof(params), {}};
    GetWindowRect(GetDlgItem(window, IDC_REMIND_SNOOZE), &params.rcExclude);
    int command = TrackPopupMenuEx(GetSubMenu(menu, 0), TPM_RETURNCMD | TPM_LEFTBUTTON | TPM_VERTICAL,
        params.rcExclude.left, params.rcExclude.bottom, window, &params);
    DestroyMenu(menu);
    return command;
}

void RunCommand(HWND window, int command)
{
    AppState* state = App();
    if (!state)
        return;
    if (command == IDC_REMIND_SNOOZE) {
        command = ChooseSnooze(window);
        if (!command)
            return;
    }
    std::vector<HWND> notes = SelectedNotes(window);
    {
        BusyScope busy(state->mainCommandBusy);
        switch (command) {
        case IDOK:
        case IDC_REMIND_SHOW:
            ShowNotes(notes);
            return;
        case IDC_REMIND_DONE:
            for (HWND note : notes) {
                if (OpenNoteRecord(note))
                    CompleteNote(note);
            }
            break;
        case IDM_REMIND_SNOOZE_5:
        case IDM_REMIND_SNOOZE_10:
        case IDM_REMIND_SNOOZE_30:
        case IDM_REMIND_SNOOZE_60:
        case IDM_REMIND_SNOOZE_MORNING:
            for (HWND note : notes) {
                if (OpenNoteRecord(note))
                    SnoozeNote(note, SnoozeMinutes(command));
            }
            break;
        default:
            return;
        }
    }
    Refresh(window);
}

void FillCell(ReminderState* state, NMLVDISPINFOW* info)
{
    LVITEMW& item = info->item;
    if (!(item.mask & LVIF_TEXT) || item.iItem < 0 || item.iItem >= static_cast<int>(state->rows.size()))
        return;
    const Row& row = state->rows[item.iItem];
    switch (item.iSubItem) {
    case kColumnText:
        state->cell = row.title;
        break;
    case kColumnDue: {
        char date[64] = {};
        state->cell = WideFromNote(FormatDateText(&row.due, date));
        break;
    }
    default: {
        FILETIME now;
        GetLocalFileTime(&now);
        state->cell = AgoText(row.due, now);
        break;
    }
    }
    if (item.pszText && item.cchTextMax > 0)
        lstrcpynW(item.pszText, state->cell.c_str(), item.cchTextMax);
}

LRESULT OnNotify(HWND window, NMHDR* header)
{
    ReminderState* state = StateOf(window);
    if (!state || header->idFrom != IDC_REMIND_VIEW)
        return 0;
    switch (header->code) {
    case LVN_GETDISPINFOW:
        FillCell(state, reinterpret_cast<NMLVDISPINFOW*>(header));
        return 0;
    case LVN_ITEMCHANGED:
    case LVN_ODSTATECHANGED:
        UpdateButtons(window);
        return 0;
    case NM_DBLCLK:
        RunCommand(window, IDC_REMIND_SHOW);
        return 0;
    default:
        return 0;
    }
}

void AddColumns(HWND window, ReminderState* state)
{
    // Widths in dialog units, so they grow with the dialog font.
    RECT widths = {82, 40, 0, 0};
    MapDialogRect(window, &widths);
    RECT client;
    GetClientRect(state->view, &client);
    int text = client.right - widths.left - widths.top - GetSystemMetrics(SM_CXVSCROLL);
    const int ids[kColumnCount] = {IDS_LIST_COLUMN_TEXT, IDS_LIST_COLUMN_DUE, IDS_REMIND_COLUMN_AGO};
    const int sizes[kColumnCount]
        = {std::max(text, 60), static_cast<int>(widths.left), static_cast<int>(widths.top)};
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

// Where it was last, or else at the right edge of the work area, half-way
// down: near the clock the balloons come from, but clear of them.
void Place(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    RECT stored;
    if (ReadWindowPlace(kPlaceValue, &stored)) {
        rect = {stored.left, stored.top, stored.left + width, stored.top + height};
        BringOntoScreen(&rect);
    } else {
        RECT area{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
        const int margin = GetSystemMetrics(SM_CXEDGE) * 4;
        const int top = area.top + (area.bottom - area.top - height) / 2;
        rect = {area.right - width - margin, top, area.right - margin, top + height};
    }
    SetWindowPos(window, nullptr, rect.left, rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL OnInitDialog(HWND window)
{
    auto* state = new (std::nothrow) ReminderState;
    if (!state) {
        DestroyWindow(window);
        return FALSE;
    }
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    state->view = GetDlgItem(window, IDC_REMIND_VIEW);
    ListView_SetExtendedListViewStyle(state->view, LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP);
    HICON icon = LoadIconW(AppInstance(), MAKEINTRESOURCEW(IDI_JOTWISE));
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    AddColumns(window, state);
    Place(window);
    g_window = window;
    ListenToNoteChanges(window);
    // The focus goes to the list when the window is activated, not now.
    return FALSE;
}

void OnDestroy(HWND window)
{
    g_window = nullptr;
    StopListeningToNoteChanges(window);
    KillTimer(window, kAgoTimer);
    RECT rect;
    if (GetWindowRect(window, &rect))
        SaveWindowPlace(kPlaceValue, rect);
    delete StateOf(window);
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
}

INT_PTR OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(window);
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDC_REMIND_CLOSE)
            DestroyWindow(window);
        else
            RunCommand(window, LOWORD(wParam));
        return TRUE;
    case WM_NOTIFY:
        SetWindowLongPtrW(window, DWLP_MSGRESULT, OnNotify(window, reinterpret_cast<NMHDR*>(lParam)));
        return TRUE;
    case WM_TIMER:
        if (wParam == kAgoTimer)
            Refresh(window);
        return TRUE;
    case WM_NOTESCHANGED: {
        // Notes change in bursts (done on several at once): one refresh.
        SkipQueuedNoteChanges(window);
        Refresh(window);
        return TRUE;
    }
    case WM_HELP:
        ShowHelp(window, kHelpContext, HELP_CONTEXT_REMINDERS);
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(window);
        return TRUE;
    case WM_DESTROY:
        OnDestroy(window);
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK ReminderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    try {
        return OnMessage(window, message, wParam, lParam);
    } catch (...) {
        return FALSE;
    }
}

} // namespace

std::wstring AgoText(const FILETIME& due, const FILETIME& now)
{
    Elapsed elapsed = ElapsedSince(due, now);
    static const UINT formats[]
        = {IDS_REMIND_JUST_NOW, IDS_REMIND_MINUTES_AGO, IDS_REMIND_HOURS_AGO, IDS_REMIND_DAYS_AGO};
    std::wstring format = ResourceText(formats[elapsed.unit]);
    wchar_t text[64] = {};
    std::swprintf(text, sizeof(text) / sizeof(text[0]), format.c_str(), elapsed.count);
    return text;
}

void ShowReminderWindow(bool activate)
{
    HWND window = g_window;
    if (window) {
        if (!Refresh(window))
            return;
    } else {
        FILETIME now;
        GetLocalFileTime(&now);
        if (GatherRows(now).empty() || !RegisterDialogClass(kReminderClassName))
            return;
        window = CreateDialogParamW(AppInstance(), MAKEINTRESOURCEW(IDD_REMINDERS), nullptr, ReminderProc, 0);
        if (!window || !Refresh(window))
            return;
    }
    if (activate) {
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
        SetFocus(GetDlgItem(window, IDC_REMIND_VIEW));
        return;
    }
    // Up and on top, but the user's typing stays where it was.
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void CloseReminderWindow()
{
    if (g_window)
        DestroyWindow(g_window);
}

HWND ReminderWindow()
{
    return g_window;
}

bool HandleReminderWindowMessage(MSG* msg)
{
    HWND window = g_window;
    if (!window || !msg || (msg->hwnd != window && !IsChild(window, msg->hwnd)))
        return false;
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_F1) {
        ShowHelp(window, kHelpContext, HELP_CONTEXT_REMINDERS);
        return true;
    }
    // The message loop reads with GetMessageW: the dialog must take the
    // characters in the same form.
    return IsDialogMessageW(window, msg) != FALSE;
}
