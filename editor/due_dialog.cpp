#include "editor/due_dialog.h"

#include "due/due_time.h"
#include "editor/editor_window.h"
#include "platform/screen_place.h"
#include "res/resource.h"

namespace
{

// Year, month, day, hour, minute, second: the order of the time fields.
constexpr int kFieldIds[6]
    = {IDC_DUE_YEAR, IDC_DUE_MONTH, IDC_DUE_DAY, IDC_DUE_HOUR, IDC_DUE_MINUTE, IDC_DUE_SECOND};

EditorState* EditorStateOfDialog(HWND dialog)
{
    return EditorStateOf(GetParent(dialog));
}

void WriteFields(HWND dialog, const WORD (&values)[6])
{
    for (int i = 0; i < 6; ++i)
        SetDlgItemInt(dialog, kFieldIds[i], values[i], FALSE);
}

void FillFields(HWND dialog)
{
    EditorState* state = EditorStateOfDialog(dialog);
    if (!state)
        return;
    WORD values[6] = {};
    SYSTEMTIME fields;
    if (IsTimeSet(&state->note.due) && FileTimeToSystemTime(&state->note.due, &fields)) {
        values[0] = fields.wYear;
        values[1] = fields.wMonth;
        values[2] = fields.wDay;
        values[3] = fields.wHour;
        values[4] = fields.wMinute;
        values[5] = fields.wSecond;
    }
    WriteFields(dialog, values);
}

void OnOk(HWND dialog)
{
    EditorState* state = EditorStateOfDialog(dialog);
    if (!state)
        return;
    WORD values[6];
    bool allZero = true;
    for (int i = 0; i < 6; ++i) {
        // Empty or too large reads as 0; the fields are 16 bits wide.
        values[i] = static_cast<WORD>(GetDlgItemInt(dialog, kFieldIds[i], nullptr, FALSE) & 0xFFFF);
        if (values[i] != 0)
            allZero = false;
    }
    if (allZero) {
        state->note.due.dwLowDateTime = 0;
        state->note.due.dwHighDateTime = 0;
        EndDialog(dialog, 1);
        return;
    }
    SYSTEMTIME fields = {};
    fields.wYear = values[0];
    fields.wMonth = values[1];
    fields.wDay = values[2];
    fields.wHour = values[3];
    fields.wMinute = values[4];
    fields.wSecond = values[5];
    if (MakeDueTime(dialog, &fields, &state->note.due, 1)) {
        EndDialog(dialog, 1);
        return;
    }
    HWND year = GetDlgItem(dialog, IDC_DUE_YEAR);
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(year), TRUE);
}

} // namespace

INT_PTR CALLBACK DueDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) noexcept
{
    switch (message) {
    case WM_INITDIALOG:
        // The template's place is the owner's top-left corner, right over
        // the editor's menu bar, toolbar and first lines, which then seemed
        // to vanish; the middle of the editor leaves them in sight.
        CentreOver(dialog, GetParent(dialog));
        FillFields(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            OnOk(dialog);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        case IDC_DUE_ZERO: {
            const WORD zeros[6] = {};
            WriteFields(dialog, zeros);
            return TRUE;
        }
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}
