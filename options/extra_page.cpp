#include "options/extra_page.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <cwchar>
#include <string>

#include "notes/note_layers.h"
#include "platform/hotkey.h"
#include "platform/program.h"
#include "platform/system_library.h"
#include "platform/wide_text.h"
#include "res/resource.h"

namespace
{

constexpr int kOpacityTickStep = 10;

int OpacityOf(HWND page)
{
    return ClampOpacity(static_cast<int>(SendDlgItemMessageW(page, IDC_OPT_OPACITY, TBM_GETPOS, 0, 0)));
}

void ShowOpacityText(HWND page)
{
    std::wstring format = ResourceText(IDS_OPACITY_PERCENT);
    wchar_t text[32] = {};
    std::swprintf(text, sizeof(text) / sizeof(text[0]), format.c_str(), OpacityOf(page));
    SetDlgItemTextW(page, IDC_OPT_OPACITY_TEXT, text);
}

WORD HotKeyOf(HWND page)
{
    return static_cast<WORD>(SendDlgItemMessageW(page, IDC_OPT_HOTKEY, HKM_GETHOTKEY, 0, 0));
}

// Said beside the control, so that a key that cannot work never fails
// silently.
void ShowHotKeyStatus(HWND page)
{
    bool taken = IsHotKeyTakenElsewhere(page, HotKeyOf(page));
    SetDlgItemTextW(page, IDC_OPT_HOTKEY_STATUS, taken ? ResourceText(IDS_HOTKEY_TAKEN).c_str() : L"");
}

// How to announce matters only while announcing is on.
void EnableRemindWay(HWND page)
{
    EnableWindow(
        GetDlgItem(page, IDC_OPT_REMIND_WAY), IsDlgButtonChecked(page, IDC_OPT_REMIND) == BST_CHECKED);
}

BOOL InitPage(HWND page, ExtraSettings* working)
{
    HWND slider = GetDlgItem(page, IDC_OPT_OPACITY);
    SendMessageW(slider, TBM_SETRANGE, FALSE, MAKELPARAM(kMinOpacity, kMaxOpacity));
    SendMessageW(slider, TBM_SETTICFREQ, kOpacityTickStep, 0);
    SendMessageW(slider, TBM_SETPAGESIZE, 0, kOpacityTickStep);
    // Without modifiers a plain letter would be a hotkey for every program.
    SendDlgItemMessageW(page, IDC_OPT_HOTKEY, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S,
        MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
    for (UINT way : {IDS_REMIND_WAY_BALLOON, IDS_REMIND_WAY_WINDOW})
        SendDlgItemMessageW(
            page, IDC_OPT_REMIND_WAY, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ResourceText(way).c_str()));
    if (working)
        FillExtraPage(page, *working);
    return TRUE;
}

INT_PTR CALLBACK ExtraPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    switch (message) {
    case WM_INITDIALOG:
        return InitPage(page, reinterpret_cast<ExtraSettings*>(lParam));
    case WM_HSCROLL:
        ShowOpacityText(page);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_OPT_HOTKEY && HIWORD(wParam) == EN_CHANGE) {
            ShowHotKeyStatus(page);
            return TRUE;
        }
        if (LOWORD(wParam) == IDC_OPT_REMIND && HIWORD(wParam) == BN_CLICKED) {
            EnableRemindWay(page);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

using EnableThemeDialogTextureFunction = HRESULT(WINAPI*)(HWND, DWORD);

} // namespace

HWND CreateExtraPage(HWND dialog, ExtraSettings* working)
{
    return CreateDialogParamW(AppInstance(), MAKEINTRESOURCEW(IDD_OPTIONS_EXTRA), dialog, ExtraPageProc,
        reinterpret_cast<LPARAM>(working));
}

void FillExtraPage(HWND page, const ExtraSettings& settings)
{
    CheckDlgButton(page, IDC_OPT_REMIND, settings.remind ? BST_CHECKED : BST_UNCHECKED);
    SendDlgItemMessageW(page, IDC_OPT_REMIND_WAY, CB_SETCURSEL, settings.remindWindow ? 1 : 0, 0);
    EnableRemindWay(page);
    SendDlgItemMessageW(page, IDC_OPT_OPACITY, TBM_SETPOS, TRUE, ClampOpacity(settings.opacity));
    ShowOpacityText(page);
    SendDlgItemMessageW(page, IDC_OPT_HOTKEY, HKM_SETHOTKEY, settings.hotKey, 0);
    ShowHotKeyStatus(page);
}

void ReadExtraPage(HWND page, ExtraSettings* settings)
{
    settings->remind = IsDlgButtonChecked(page, IDC_OPT_REMIND) == BST_CHECKED ? 1 : 0;
    settings->remindWindow = SendDlgItemMessageW(page, IDC_OPT_REMIND_WAY, CB_GETCURSEL, 0, 0) == 0 ? 0 : 1;
    settings->opacity = static_cast<std::uint8_t>(OpacityOf(page));
    WORD hotKey = HotKeyOf(page);
    // A cleared control, or modifiers without a key, turns the hotkey off.
    settings->hotKey = LOBYTE(hotKey) ? hotKey : 0;
}

void ThemePageBackground(HWND page)
{
    auto enable
        = SystemFunctionAs<EnableThemeDialogTextureFunction>(L"uxtheme.dll", "EnableThemeDialogTexture");
    if (enable)
        enable(page, ETDT_ENABLETAB);
}

void ApplyExtraSettings(HWND mainWindow, const ExtraSettings& before, const ExtraSettings& after)
{
    if (before.opacity != after.opacity)
        ApplyOpacityToAllNotes();
    // Tried again even when unchanged: the other program may have let go.
    if (mainWindow && (after.hotKey != HeldNewNoteHotKey() || NewNoteHotKeyTaken()))
        TakeNewNoteHotKey(mainWindow, after.hotKey);
}
