#include "app/error_box.h"

#include "app/app_state.h"
#include "app/wide_text.h"
#include "res/resource.h"

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

void ReportSaveFailure(LONG error)
{
    AppState* state = App();
    if (!state || state->saveFailureReported)
        return;
    state->saveFailureReported = true;
    HWND main = MainWindow();
    if (main)
        PostMessageW(main, WM_SAVEFAILED, static_cast<WPARAM>(error), 0);
}

void ShowSaveFailure(HWND owner, DWORD error)
{
    std::wstring message = ResourceText(IDS_ERR_SAVE);
    wchar_t* reason = nullptr;
    if (FormatMessageW(
            FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
            nullptr, error, 0, reinterpret_cast<wchar_t*>(&reason), 0, nullptr)
        && reason) {
        message += L"\r\n\r\n";
        message += reason;
    }
    if (reason)
        LocalFree(reason);
    MessageBeep(0);
    MessageBoxW(
        owner, message.c_str(), ResourceText(IDS_DISPLAY_NAME).c_str(), MB_SETFOREGROUND | MB_ICONWARNING);
}
