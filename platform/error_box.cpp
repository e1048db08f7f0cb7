#include "platform/error_box.h"

#include <string>

#include "platform/wide_text.h"
#include "res/resource.h"

namespace
{
constexpr int kMessageSize = 520;
constexpr int kStringSize = 260;

std::wstring UnknownError(unsigned long code)
{
    return L"Unknown Error. (" + std::to_wstring(code) + L")";
}

std::wstring ErrorText(int stringId, const char* text, DWORD lastError)
{
    if (text && text[0]) {
        char cut[kMessageSize];
        CopyNoteText(text, cut, sizeof(cut));
        return WideFromNote(cut);
    }
    if (stringId == -1) {
        wchar_t* system = nullptr;
        DWORD length = FormatMessageW(
            FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
            nullptr, lastError, 0, reinterpret_cast<wchar_t*>(&system), 0, nullptr);
        std::wstring message = length && system ? std::wstring(system, length) : UnknownError(lastError);
        if (system)
            LocalFree(system);
        return message;
    }
    std::wstring message = ResourceText(static_cast<UINT>(stringId));
    if (message.empty())
        return UnknownError(static_cast<unsigned long>(stringId));
    return message.substr(0, kStringSize - 1);
}
} // namespace

void FormatErrorMessage(int stringId, const char* text, DWORD lastError, char* buffer, int size)
{
    if (!buffer || size <= 0)
        return;
    CopyNoteText(NoteFromWide(ErrorText(stringId, text, lastError)), buffer, size);
}

int ReportError(HWND owner, int stringId, const char* text)
{
    DWORD lastError = GetLastError();
    std::wstring message = ErrorText(stringId, text, lastError);
    MessageBeep(0);
    // Shown as UTF-16, so a system message in any language reads as written.
    MessageBoxW(owner, message.c_str(), nullptr, MB_SETFOREGROUND | MB_TASKMODAL | MB_ICONERROR);
    return 0;
}

void ShowFailureWithReason(HWND owner, UINT stringId, DWORD error, UINT style)
{
    std::wstring message = ResourceText(stringId);
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
    MessageBoxW(owner, message.c_str(), ResourceText(IDS_DISPLAY_NAME).c_str(), style);
}
