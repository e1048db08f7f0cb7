#include "options/options_dialog.h"

#include <commctrl.h>

#include <cstring>
#include <new>
#include <string>

#include "editor/pickers.h"
#include "help/help.h"
#include "notes/app_state.h"
#include "notes/monitor.h"
#include "notes/note_store.h"
#include "notes/text_convert.h"
#include "options/extra_page.h"
#include "platform/wide_text.h"
#include "res/resource.h"

namespace
{

constexpr DWORD kPlainNoteStyle = WS_POPUP | WS_VISIBLE;                     // 0x90000000
constexpr DWORD kFramedNoteStyle = WS_POPUP | WS_VISIBLE | WS_THICKFRAME;    // 0x90040000
constexpr UINT kRestyleFlags = SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED; // 0x26
static_assert(kPlainNoteStyle == 0x90000000 && kFramedNoteStyle == 0x90040000 && kRestyleFlags == 0x26);

// Everything the open dialog edits; the program's own options change only
// when the user confirms.
struct OptionsDialogState {
    HWND tabControl;
    HWND generalPage;
    HWND duePage;
    HWND extraPage;
    int currentTab;
    HFONT workingFont;
    HBRUSH backBrush;
    HBRUSH eveBrush;
    HBRUSH dueBrush;
    Options working;
    ExtraSettings workingExtra;
};

OptionsDialogState* g_dialog = nullptr;

void DeleteBrush(HBRUSH* brush)
{
    if (*brush) {
        DeleteObject(*brush);
        *brush = nullptr;
    }
}

void DeleteWorkingObjects(OptionsDialogState* state)
{
    DeleteBrush(&state->backBrush);
    DeleteBrush(&state->eveBrush);
    DeleteBrush(&state->dueBrush);
    if (state->workingFont) {
        DeleteObject(state->workingFont);
        state->workingFont = nullptr;
    }
}

void CreateBrushes(OptionsDialogState* state)
{
    state->backBrush = CreateSolidBrush(state->working.backColour);
    state->eveBrush = CreateSolidBrush(state->working.eveColour);
    state->dueBrush = CreateSolidBrush(state->working.dueColour);
}

std::uint8_t CheckedByte(HWND page, int controlId)
{
    return IsDlgButtonChecked(page, controlId) == BST_CHECKED ? 1 : 0;
}

// A list with nothing selected answers CB_ERR, which is kept as 255.
std::uint8_t SelectedByte(HWND page, int controlId)
{
    return static_cast<std::uint8_t>(SendDlgItemMessageW(page, controlId, CB_GETCURSEL, 0, 0));
}

void Check(HWND page, int controlId, std::uint8_t option)
{
    CheckDlgButton(page, controlId, option ? BST_CHECKED : BST_UNCHECKED);
}

void ShowFontDescription(HWND page, HFONT font)
{
    char description[64] = {};
    DescribeFont(font, description);
    SetNoteWindowText(GetDlgItem(page, IDC_OPT_FONT_TEXT), description);
}

void FillGeneralPage(HWND page, const OptionsDialogState* state)
{
    const Options& options = state->working;
    ShowFontDescription(page, state->workingFont);
    Check(page, IDC_OPT_BORDER, options.border);
    Check(page, IDC_OPT_IME, options.imeOn);
    Check(page, IDC_OPT_CUT_NEWLINE, options.cutTrailingNewline);
    HWND list = GetDlgItem(page, IDC_OPT_TAB_WIDTH);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (const wchar_t* width : {L"2", L"4", L"8"})
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(width));
    SendMessageW(list, CB_SETCURSEL, options.tabIndex, 0);
}

void UpdateDueEnabling(HWND page, const Options& options)
{
    EnableWindow(GetDlgItem(page, IDC_OPT_EVE_SWATCH), options.eveColourOn != 0);
    EnableWindow(GetDlgItem(page, IDC_OPT_EVE_PICK), options.eveColourOn != 0);
    EnableWindow(GetDlgItem(page, IDC_OPT_DUE_SWATCH), options.dueColourOn != 0);
    EnableWindow(GetDlgItem(page, IDC_OPT_DUE_PICK), options.dueColourOn != 0);
}

void FillDuePage(HWND page, const OptionsDialogState* state)
{
    const Options& options = state->working;
    SetDlgItemInt(page, IDC_OPT_DUE_AMOUNT, options.dueAmount, FALSE);
    HWND list = GetDlgItem(page, IDC_OPT_DUE_UNIT);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (int unit = IDS_UNIT_MONTH; unit <= IDS_UNIT_MINUTE; ++unit) {
        std::wstring name = ResourceText(static_cast<UINT>(unit));
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
    SendMessageW(list, CB_SETCURSEL, options.dueUnit, 0);
    Check(page, IDC_OPT_EVE_ON, options.eveColourOn);
    Check(page, IDC_OPT_DUE_ON, options.dueColourOn);
    Check(page, IDC_OPT_BLINK, options.blink);
    Check(page, IDC_OPT_BLACK_WHITE, options.blackWhite);
    UpdateDueEnabling(page, options);
}

void ReadPages(OptionsDialogState* state)
{
    Options& options = state->working;
    HWND general = state->generalPage;
    options.border = CheckedByte(general, IDC_OPT_BORDER);
    options.imeOn = CheckedByte(general, IDC_OPT_IME);
    options.cutTrailingNewline = CheckedByte(general, IDC_OPT_CUT_NEWLINE);
    options.tabIndex = SelectedByte(general, IDC_OPT_TAB_WIDTH);

    HWND due = state->duePage;
    // Anything that is not a number reads as 0; larger numbers keep their low byte.
    options.dueAmount = static_cast<std::uint8_t>(GetDlgItemInt(due, IDC_OPT_DUE_AMOUNT, nullptr, FALSE));
    options.dueUnit = SelectedByte(due, IDC_OPT_DUE_UNIT);
    options.eveColourOn = CheckedByte(due, IDC_OPT_EVE_ON);
    options.dueColourOn = CheckedByte(due, IDC_OPT_DUE_ON);
    options.blink = CheckedByte(due, IDC_OPT_BLINK);
    options.blackWhite = CheckedByte(due, IDC_OPT_BLACK_WHITE);
}

void RepaintSwatch(HWND page, int swatchId)
{
    InvalidateRect(GetDlgItem(page, swatchId), nullptr, TRUE);
}

void ChooseSwatchColour(HWND page, int swatchId)
{
    OptionsDialogState* state = g_dialog;
    COLORREF* colour = nullptr;
    HBRUSH* brush = nullptr;
    switch (swatchId) {
    case IDC_OPT_BACK_SWATCH:
        colour = &state->working.backColour;
        brush = &state->backBrush;
        break;
    case IDC_OPT_EVE_SWATCH:
        colour = &state->working.eveColour;
        brush = &state->eveBrush;
        break;
    case IDC_OPT_DUE_SWATCH:
        colour = &state->working.dueColour;
        brush = &state->dueBrush;
        break;
    default:
        return;
    }
    COLORREF picked = *colour;
    if (!PickColour(page, &picked) || picked == *colour)
        return;
    *colour = picked;
    DeleteBrush(brush);
    *brush = CreateSolidBrush(picked);
    RepaintSwatch(page, swatchId);
}

void PickWorkingFont(HWND page)
{
    OptionsDialogState* state = g_dialog;
    LOGFONTA font = {};
    GetNoteFont(state->workingFont, &font);
    COLORREF fore = state->working.foreColour;
    if (!PickFont(page, &font, &fore))
        return;
    // Keep the font we have when the new one cannot be made.
    HFONT created = CreateNoteFontIndirect(&font);
    if (!created)
        return;
    DeleteObject(state->workingFont);
    state->workingFont = created;
    state->working.foreColour = fore;
    ShowFontDescription(page, created);
}

// Swatches show the working colours, greyed or not.
INT_PTR SwatchBrush(HWND control)
{
    OptionsDialogState* state = g_dialog;
    HBRUSH brush = nullptr;
    switch (GetDlgCtrlID(control)) {
    case IDC_OPT_BACK_SWATCH:
        brush = state->backBrush;
        break;
    case IDC_OPT_EVE_SWATCH:
        brush = state->eveBrush;
        break;
    case IDC_OPT_DUE_SWATCH:
        brush = state->dueBrush;
        break;
    default:
        break;
    }
    return reinterpret_cast<INT_PTR>(brush);
}

INT_PTR CALLBACK GeneralPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    if (!g_dialog)
        return FALSE;
    switch (message) {
    case WM_INITDIALOG:
        FillGeneralPage(page, g_dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_OPT_FONT_PICK:
            PickWorkingFont(page);
            return TRUE;
        case IDC_OPT_BACK_PICK:
            ChooseSwatchColour(page, IDC_OPT_BACK_SWATCH);
            return TRUE;
        default:
            return FALSE;
        }
    case WM_CTLCOLORSTATIC:
        return SwatchBrush(reinterpret_cast<HWND>(lParam));
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK DuePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    if (!g_dialog)
        return FALSE;
    Options& options = g_dialog->working;
    switch (message) {
    case WM_INITDIALOG:
        FillDuePage(page, g_dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_OPT_EVE_ON:
            options.eveColourOn = CheckedByte(page, IDC_OPT_EVE_ON);
            UpdateDueEnabling(page, options);
            return TRUE;
        case IDC_OPT_DUE_ON:
            options.dueColourOn = CheckedByte(page, IDC_OPT_DUE_ON);
            UpdateDueEnabling(page, options);
            return TRUE;
        case IDC_OPT_EVE_PICK:
            ChooseSwatchColour(page, IDC_OPT_EVE_SWATCH);
            return TRUE;
        case IDC_OPT_DUE_PICK:
            ChooseSwatchColour(page, IDC_OPT_DUE_SWATCH);
            return TRUE;
        default:
            return FALSE;
        }
    case WM_CTLCOLORSTATIC:
        return SwatchBrush(reinterpret_cast<HWND>(lParam));
    default:
        return FALSE;
    }
}

void ShowPage(OptionsDialogState* state, int tab)
{
    state->currentTab = tab;
    HWND pages[] = {state->generalPage, state->duePage, state->extraPage};
    HWND shown = tab == 0 ? pages[0] : tab == 2 ? pages[2] : pages[1];
    for (HWND page : pages) {
        if (page != shown)
            ShowWindow(page, SW_HIDE);
    }
    ShowWindow(shown, SW_SHOW);
}

void DestroyPages(OptionsDialogState* state)
{
    if (state->generalPage)
        DestroyWindow(state->generalPage);
    if (state->duePage)
        DestroyWindow(state->duePage);
    if (state->extraPage)
        DestroyWindow(state->extraPage);
    state->generalPage = nullptr;
    state->duePage = nullptr;
    state->extraPage = nullptr;
}

void InsertTab(HWND tabControl, int index, int stringId)
{
    std::wstring text = ResourceText(static_cast<UINT>(stringId));
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    SendMessageW(tabControl, TCM_INSERTITEMW, index, reinterpret_cast<LPARAM>(&item));
}

BOOL InitOptionsDialog(HWND dialog, OptionsDialogState* state)
{
    HINSTANCE instance = AppInstance();
    state->tabControl = GetDlgItem(dialog, IDC_OPT_TAB);
    state->generalPage
        = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_OPTIONS_GENERAL), dialog, GeneralPageProc, 0);
    state->duePage = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_OPTIONS_DUE), dialog, DuePageProc, 0);
    state->extraPage = CreateExtraPage(dialog, &state->workingExtra);
    if (!state->tabControl || !state->generalPage || !state->duePage || !state->extraPage) {
        DestroyPages(state);
        EndDialog(dialog, 0);
        return TRUE;
    }
    // The pages lie over the tab control; keep them above it so that a
    // repaint of the tabs never covers their controls.
    SetWindowPos(state->generalPage, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(state->duePage, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(state->extraPage, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    for (HWND page : {state->generalPage, state->duePage, state->extraPage})
        ThemePageBackground(page);
    InsertTab(state->tabControl, 0, IDS_TAB_GENERAL);
    InsertTab(state->tabControl, 1, IDS_TAB_DUE);
    InsertTab(state->tabControl, 2, IDS_TAB_EXTRA);
    ShowWindow(state->generalPage, SW_SHOW);
    ShowWindow(state->duePage, SW_HIDE);
    ShowWindow(state->extraPage, SW_HIDE);
    return TRUE;
}

void ResetWorkingCopy(OptionsDialogState* state)
{
    SetDefaultOptions(&state->working);
    DeleteWorkingObjects(state);
    LOGFONTA font;
    SetDefaultFont(&font);
    state->workingFont = CreateNoteFontIndirect(&font);
    CreateBrushes(state);
    FillGeneralPage(state->generalPage, state);
    FillDuePage(state->duePage, state);
    SetDefaultExtraSettings(&state->workingExtra);
    FillExtraPage(state->extraPage, state->workingExtra);
    RepaintSwatch(state->generalPage, IDC_OPT_BACK_SWATCH);
    RepaintSwatch(state->duePage, IDC_OPT_EVE_SWATCH);
    RepaintSwatch(state->duePage, IDC_OPT_DUE_SWATCH);
}

void OnOptionsCommand(HWND dialog, OptionsDialogState* state, int commandId)
{
    switch (commandId) {
    case IDOK:
        ReadPages(state);
        ReadExtraPage(state->extraPage, &state->workingExtra);
        DestroyPages(state);
        EndDialog(dialog, 1);
        break;
    case IDCANCEL:
        DestroyPages(state);
        EndDialog(dialog, 0);
        break;
    case IDC_OPT_HELP:
        ShowHelp(
            dialog, kHelpContext, state->currentTab == 2 ? HELP_CONTEXT_OPTIONS_EXTRA : HELP_CONTEXT_OPTIONS);
        break;
    case IDC_OPT_RESET:
        ResetWorkingCopy(state);
        break;
    default:
        break;
    }
}

INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    OptionsDialogState* state = g_dialog;
    if (!state)
        return FALSE;
    switch (message) {
    case WM_INITDIALOG:
        return InitOptionsDialog(dialog, state);
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->code == static_cast<UINT>(TCN_SELCHANGE)) {
            int tab = static_cast<int>(SendMessageW(header->hwndFrom, TCM_GETCURSEL, 0, 0));
            ShowPage(state, tab);
        }
        return FALSE;
    }
    case WM_COMMAND:
        OnOptionsCommand(dialog, state, LOWORD(wParam));
        return FALSE;
    default:
        return FALSE;
    }
}

void ReplaceDefaultFont(AppState* app, HFONT workingFont)
{
    LOGFONTA font = {};
    if (!GetNoteFont(workingFont, &font))
        return;
    HFONT created = CreateNoteFontIndirect(&font);
    if (!created)
        return;
    if (app->defaultFont)
        DeleteObject(app->defaultFont);
    app->defaultFont = created;
    app->keepStoredDefaultFont = false;
}

} // namespace

int ShowOptionsDialog(HWND owner)
{
    AppState* app = App();
    if (!app || g_dialog)
        return 0;
    auto* state = new (std::nothrow) OptionsDialogState{};
    if (!state)
        return 0;
    std::uint8_t oldBorder = app->options.border;
    std::memcpy(&state->working, &app->options, sizeof(Options));
    state->workingExtra = app->extra;
    const ExtraSettings extraBefore = app->extra;
    LOGFONTA font = {};
    if (GetNoteFont(app->defaultFont, &font))
        state->workingFont = CreateNoteFontIndirect(&font);
    CreateBrushes(state);

    INT_PTR result = 0;
    if (state->workingFont && state->backBrush && state->eveBrush && state->dueBrush) {
        g_dialog = state;
        result = DialogBoxParamW(AppInstance(), MAKEINTRESOURCEW(IDD_OPTIONS), owner, OptionsDialogProc, 0);
        g_dialog = nullptr;
        if (result == -1)
            result = 0;
    }
    if (result) {
        {
            // The due monitor reads the options between our commands; it
            // must never see half of the old record and half of the new.
            AppLock lock;
            std::memcpy(&app->options, &state->working, sizeof(Options));
            app->extra = state->workingExtra;
        }
        WakeMonitor();
        ReplaceDefaultFont(app, state->workingFont);
        SaveOptions();
        SaveExtraSettings(app->extra);
        ApplyExtraSettings(owner ? owner : MainWindow(), extraBefore, app->extra);
        if (app->options.border != oldBorder)
            RestyleNoteBorders();
    }
    DeleteWorkingObjects(state);
    delete state;
    return result ? 1 : 0;
}

void RestyleNoteBorders()
{
    AppState* app = App();
    if (!app)
        return;
    DWORD style = app->options.border ? kFramedNoteStyle : kPlainNoteStyle;
    for (int slot = 0; slot < kMaxNotes; ++slot) {
        HWND window = app->noteWindows[slot];
        NoteRecord* record = NoteRecordOf(window);
        if (!record)
            continue;
        RECT rect = {};
        GetClientRect(window, &rect);
        AdjustWindowRectEx(&rect, style, FALSE, WS_EX_TOOLWINDOW);
        const bool resized
            = record->width != rect.right - rect.left || record->height != rect.bottom - rect.top;
        record->width = rect.right - rect.left;
        record->height = rect.bottom - rect.top;
        // A note the user hid (or that is blinking off) must not come back
        // just because its frame changed.
        DWORD newStyle = style;
        bool visible = (GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0;
        if (record->hidden || !visible)
            newStyle &= ~WS_VISIBLE;
        SetWindowLongPtrW(window, GWL_STYLE, static_cast<LONG_PTR>(newStyle));
        SetWindowPos(window, nullptr, 0, 0, record->width, record->height, kRestyleFlags);
        // The border is saved with the options at once; a note left at its
        // old size would come back with the new frame around the wrong text
        // area after a crash.
        if (resized)
            SaveNote(record);
    }
}
