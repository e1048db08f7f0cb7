#include "platform/wide_text.h"

#include <cstddef>
#include <cstring>
#include <cwchar>
#include <vector>

#include "platform/program.h"
#include "platform/stand_in_font.h"

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

namespace
{

wchar_t NoteCounterpart(wchar_t character)
{
    // Text from the web, a Mac or an ISO-2022-JP mail brings these code
    // points; code page 932 holds the same characters under the ones a
    // Japanese Windows keyboard types.
    switch (character) {
    case 0x301C: // WAVE DASH
        return 0xFF5E;
    case 0x2016: // DOUBLE VERTICAL LINE
        return 0x2225;
    case 0x2212: // MINUS SIGN
        return 0xFF0D;
    case 0x00A2: // CENT SIGN
        return 0xFFE0;
    case 0x00A3: // POUND SIGN
        return 0xFFE1;
    case 0x00AC: // NOT SIGN
        return 0xFFE2;
    case 0x2014: // EM DASH
        return 0x2015;
    case 0x00A0: // NO-BREAK SPACE
        return L' ';
    default:
        return character;
    }
}

} // namespace

std::string NoteFromWide(std::wstring_view pasted, bool* lossy)
{
    if (lossy)
        *lossy = false;
    if (pasted.empty())
        return {};
    std::wstring text(pasted);
    for (wchar_t& character : text)
        character = NoteCounterpart(character);
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

int CopyNoteText(std::string_view text, char* buffer, int size)
{
    if (!buffer || size <= 0)
        return 0;
    int length = 0;
    const int limit = size - 1;
    while (length < static_cast<int>(text.size()) && length < limit && text[length]) {
        // Half a double-byte character would turn the rest into other text.
        int step = IsDBCSLeadByteEx(kNoteCodePage, static_cast<BYTE>(text[length])) ? 2 : 1;
        if (length + step > limit || length + step > static_cast<int>(text.size()))
            break;
        length += step;
    }
    text.copy(buffer, static_cast<std::size_t>(length));
    buffer[length] = '\0';
    return length;
}

int ResourceNoteText(UINT id, char* buffer, int size)
{
    return CopyNoteText(NoteFromWide(ResourceText(id)), buffer, size);
}

LOGFONTW WideFont(const LOGFONTA& font)
{
    LOGFONTW wide;
    static_assert(offsetof(LOGFONTA, lfFaceName) == offsetof(LOGFONTW, lfFaceName));
    std::memcpy(&wide, &font, offsetof(LOGFONTA, lfFaceName));
    std::wstring face
        = WideFromNote(std::string_view(font.lfFaceName, strnlen(font.lfFaceName, LF_FACESIZE)));
    face.resize(face.size() < LF_FACESIZE ? face.size() : LF_FACESIZE - 1);
    std::memset(wide.lfFaceName, 0, sizeof(wide.lfFaceName));
    face.copy(wide.lfFaceName, face.size());
    return wide;
}

LOGFONTA NoteFont(const LOGFONTW& font, bool* lossy)
{
    LOGFONTA narrow;
    std::memcpy(&narrow, &font, offsetof(LOGFONTW, lfFaceName));
    std::memset(narrow.lfFaceName, 0, sizeof(narrow.lfFaceName));
    bool lost = false;
    std::string face
        = NoteFromWide(std::wstring_view(font.lfFaceName, wcsnlen(font.lfFaceName, LF_FACESIZE)), &lost);
    // "???" would name no font at all; an empty face at least lets the
    // system choose one by character set and pitch.
    if (!lost)
        CopyNoteText(face, narrow.lfFaceName, LF_FACESIZE);
    if (lossy)
        *lossy = lost;
    return narrow;
}

HFONT CreateNoteFontIndirect(const LOGFONTA* font)
{
    if (!font)
        return nullptr;
    return CreateFontOrStandIn(WideFont(*font));
}

bool GetNoteFont(HFONT font, LOGFONTA* description)
{
    if (!font || !description)
        return false;
    LOGFONTW wide{};
    if (!AskedFont(font, &wide))
        return false;
    *description = NoteFont(wide);
    return true;
}

void SetNoteWindowText(HWND window, std::string_view text)
{
    SetWindowTextW(window, WideFromNote(text).c_str());
}

std::string NoteWindowText(HWND window, bool* lossy)
{
    if (lossy)
        *lossy = false;
    int length = GetWindowTextLengthW(window);
    if (length <= 0)
        return {};
    std::vector<wchar_t> wide(static_cast<std::size_t>(length) + 1, L'\0');
    int read = GetWindowTextW(window, wide.data(), length + 1);
    return NoteFromWide(std::wstring_view(wide.data(), read > 0 ? read : 0), lossy);
}

int NoteMessageBox(HWND owner, std::string_view text, const char* caption, UINT flags)
{
    std::wstring wideCaption = caption ? WideFromNote(caption) : std::wstring();
    return MessageBoxW(owner, WideFromNote(text).c_str(), caption ? wideCaption.c_str() : nullptr, flags);
}

int ResourceMessageBox(HWND owner, UINT textId, UINT captionId, UINT flags)
{
    return MessageBoxW(owner, ResourceText(textId).c_str(), ResourceText(captionId).c_str(), flags);
}
