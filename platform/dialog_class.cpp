#include "platform/dialog_class.h"

#include "platform/program.h"

bool RegisterDialogClass(const wchar_t* className)
{
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(AppInstance(), className, &existing))
        return true;
    WNDCLASSEXW dialog{};
    dialog.cbSize = sizeof(dialog);
    dialog.lpfnWndProc = DefDlgProcW;
    dialog.cbWndExtra = DLGWINDOWEXTRA;
    dialog.hInstance = AppInstance();
    dialog.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    dialog.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    dialog.lpszClassName = className;
    return RegisterClassExW(&dialog) != 0;
}
