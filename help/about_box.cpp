#include "help/about_box.h"

#include <string>

#include "platform/program.h"
#include "platform/wide_text.h"
#include "res/resource.h"

namespace
{

constexpr DWORD kAnimationMs = 250;
constexpr DWORD kOpenAnimation = AW_ACTIVATE | AW_CENTER; // 0x20010
constexpr DWORD kCloseAnimation = AW_HIDE | AW_CENTER;    // 0x10010
static_assert(kOpenAnimation == 0x20010 && kCloseAnimation == 0x10010);

// The bold title font; it exists only while the box is open.
HFONT g_titleFont = nullptr;

// Looked up at each use so that a system without it still shows the box.
void Animate(HWND dialog, DWORD flags)
{
    using AnimateFunction = BOOL(WINAPI*)(HWND, DWORD, DWORD);
    HMODULE user = LoadLibraryW(L"USER32.DLL");
    if (!user)
        return;
    FARPROC entry = GetProcAddress(user, "AnimateWindow");
    if (entry)
        reinterpret_cast<AnimateFunction>(reinterpret_cast<void*>(entry))(dialog, kAnimationMs, flags);
    FreeLibrary(user);
}

void DeleteTitleFont()
{
    if (g_titleFont) {
        DeleteObject(g_titleFont);
        g_titleFont = nullptr;
    }
}

// The dialog's own font in bold, one character as tall as the title control.
HFONT CreateTitleFont(HWND dialog, HWND title)
{
    auto dialogFont = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    LOGFONTW font = {};
    GetObjectW(dialogFont, sizeof(font), &font);
    RECT client = {};
    GetClientRect(title, &client);
    font.lfWeight = FW_BOLD;
    font.lfHeight = client.top - client.bottom + 1;
    return CreateFontIndirectW(&font);
}

void OnInitAbout(HWND dialog)
{
    SetDlgItemTextW(dialog, IDC_ABOUT_TITLE, ResourceText(IDS_DISPLAY_NAME).c_str());

    HWND title = GetDlgItem(dialog, IDC_ABOUT_TITLE);
    DeleteTitleFont();
    g_titleFont = CreateTitleFont(dialog, title);
    SendMessageW(title, WM_SETFONT, reinterpret_cast<WPARAM>(g_titleFont), FALSE);

    SetDlgItemTextW(dialog, IDC_ABOUT_VERSION, WideFromNote(std::string("Version ") + kVersionText).c_str());
    Animate(dialog, kOpenAnimation);
}

void CloseAbout(HWND dialog)
{
    Animate(dialog, kCloseAnimation);
    DeleteTitleFont();
    EndDialog(dialog, 1);
}

} // namespace

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) noexcept
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitAbout(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            CloseAbout(dialog);
        return FALSE;
    default:
        return FALSE;
    }
}

void ShowAboutBox(HWND owner)
{
    DialogBoxParamW(AppInstance(), MAKEINTRESOURCEW(IDD_ABOUT), owner, AboutDialogProc, 0);
}
