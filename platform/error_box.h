// The one error box of the program.
#ifndef JOTWISE_APP_ERROR_BOX_H
#define JOTWISE_APP_ERROR_BOX_H

#include <windows.h>

// Shows an error box owned by `owner`: `text` when it is given and not empty
// (cut to 519 bytes), else the system's message for GetLastError() when
// `stringId` is -1, else string `stringId` ("Unknown Error. (%lu)" without
// one). Always returns 0.
int ReportError(HWND owner, int stringId, const char* text);

// Builds the message ReportError would show, without showing it.
void FormatErrorMessage(int stringId, const char* text, DWORD lastError, char* buffer, int size);

// A write to the store failed (`error` is the system's code). The user is
// told once per run, by a box the main window shows when it next looks at
// its queue: the failure may come from inside a drag, a close or a logoff.
void ReportSaveFailure(LONG error);

// The box itself, owned by the main window (WM_SAVEFAILED).
void ShowSaveFailure(HWND owner, DWORD error);

// A box with string `stringId` followed by the system's reason for `error`,
// titled with the program's name; `style` gives its icon and flags.
void ShowFailureWithReason(HWND owner, UINT stringId, DWORD error, UINT style);

#endif
