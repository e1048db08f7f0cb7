// The one crossing between note text (code page 932 bytes, in memory and in
// the store) and the system's UTF-16. The system's ANSI code page is never
// involved, so a Jotwise on an English or UTF-8 Windows reads, shows and
// keeps Japanese text exactly as on a Japanese one.
#ifndef JOTWISE_APP_WIDE_TEXT_H
#define JOTWISE_APP_WIDE_TEXT_H

#include <windows.h>

#include <string>
#include <string_view>

constexpr UINT kNoteCodePage = 932;

// CP932 bytes to UTF-16. A byte that is not valid CP932 becomes the
// system's replacement character; the text is never cut short.
std::wstring WideFromNote(std::string_view text);

// UTF-16 to CP932. A character 932 cannot hold becomes '?' (never a best-fit
// look-alike); `lossy`, when given, says whether that happened.
std::string NoteFromWide(std::wstring_view text, bool* lossy = nullptr);

// A string-table text as UTF-16 (empty when missing).
std::wstring ResourceText(UINT id);

#endif
