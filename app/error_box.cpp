#include "app/error_box.h"

#include "app/app_state.h"

namespace
{
constexpr int kMessageSize = 520;
constexpr int kStringSize = 260;
} // namespace

void FormatErrorMessage(int stringId, const char* text, DWORD lastError, char* buffer, int size)
{
    if (!buffer || size <= 0)
        return;
    buffer[0] = '\0';
    if (text && text[0]) {
        lstrcpynA(buffer, text, size);
    } else if (stringId == -1) {
        DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
            lastError, 0, buffer, size, nullptr);
        // A code the system has no text for still deserves a readable box.
        if (length == 0)
            wsprintfA(buffer, "Unknown Error. (%lu)", lastError);
    } else {
        int limit = size < kStringSize ? size : kStringSize;
        if (LoadStringA(AppInstance(), stringId, buffer, limit) == 0)
            wsprintfA(buffer, "Unknown Error. (%lu)", static_cast<unsigned long>(stringId));
    }
}

int ReportError(HWND owner, int stringId, const char* text)
{
    DWORD lastError = GetLastError();
    char message[kMessageSize];
    FormatErrorMessage(stringId, text, lastError, message, sizeof(message));
    MessageBeep(0);
    MessageBoxA(owner, message, nullptr, MB_SETFOREGROUND | MB_TASKMODAL | MB_ICONERROR);
    return 0;
}
