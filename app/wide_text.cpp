#include "app/wide_text.h"

#include "app/app_state.h"

std::wstring WideFromNote(std::string_view text)
{
    if (text.empty())
        return {};
    int length
        = MultiByteToWideChar(kNoteCodePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(length > 0 ? length : 0, L'\0');
    if (length > 0)
        MultiByteToWideChar(
            kNoteCodePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::string NoteFromWide(std::wstring_view text, bool* lossy)
{
    if (lossy)
        *lossy = false;
    if (text.empty())
        return {};
    BOOL usedDefault = FALSE;
    int length = WideCharToMultiByte(kNoteCodePage, WC_NO_BEST_FIT_CHARS, text.data(),
        static_cast<int>(text.size()), nullptr, 0, "?", &usedDefault);
    std::string bytes(length > 0 ? length : 0, '\0');
    if (length > 0)
        WideCharToMultiByte(kNoteCodePage, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
            bytes.data(), length, "?", &usedDefault);
    if (lossy)
        *lossy = usedDefault != FALSE;
    return bytes;
}

std::wstring ResourceText(UINT id)
{
    const wchar_t* text = nullptr;
    // With a zero length LoadStringW hands out a pointer into the resource.
    int length = LoadStringW(AppInstance(), id, reinterpret_cast<wchar_t*>(&text), 0);
    return length > 0 && text ? std::wstring(text, length) : std::wstring();
}
