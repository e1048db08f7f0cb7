// The program's error boxes. They show what they are given and the
// system's reason; what failed is the caller's to say.
#ifndef JOTWISE_PLATFORM_ERROR_BOX_H
#define JOTWISE_PLATFORM_ERROR_BOX_H

#include <windows.h>

// Shows an error box owned by `owner`: `text` when it is given and not empty
// (cut to 519 bytes), else the system's message for GetLastError() when
// `stringId` is -1, else string `stringId` ("Unknown Error. (%lu)" without
// one). Always returns 0.
int ReportError(HWND owner, int stringId, const char* text);

// Builds the message ReportError would show, without showing it.
void FormatErrorMessage(int stringId, const char* text, DWORD lastError, char* buffer, int size);

// A box with string `stringId` followed by the system's reason for `error`,
// titled with the program's name; `style` gives its icon and flags.
void ShowFailureWithReason(HWND owner, UINT stringId, DWORD error, UINT style);

#endif
