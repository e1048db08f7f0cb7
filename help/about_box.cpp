#include "help/about_box.h"

#include "app/app_state.h"
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
    HMODULE user = LoadLibraryA("USER32.DLL");
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
    auto dialogFont = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    LOGFONTA font = {};
    GetObjectA(dialogFont, sizeof(font), &font);
    RECT client = {};
    GetClientRect(title, &client);
    font.lfWeight = FW_BOLD;
    font.lfHeight = client.top - client.bottom + 1;
    return CreateFontIndirectA(&font);
}

void OnInitAbout(HWND dialog)
{
    char name[32] = {};
    LoadStringA(AppInstance(), IDS_DISPLAY_NAME, name, sizeof(name));
    SetDlgItemTextA(dialog, IDC_ABOUT_TITLE, name);

    HWND title = GetDlgItem(dialog, IDC_ABOUT_TITLE);
    DeleteTitleFont();
    g_titleFont = CreateTitleFont(dialog, title);
    SendMessageA(title, WM_SETFONT, reinterpret_cast<WPARAM>(g_titleFont), FALSE);

    char version[32];
    wsprintfA(version, "Version %s", kVersionText);
    SetDlgItemTextA(dialog, IDC_ABOUT_VERSION, version);
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
    DialogBoxParamA(AppInstance(), MAKEINTRESOURCEA(IDD_ABOUT), owner, AboutDialogProc, 0);
}
