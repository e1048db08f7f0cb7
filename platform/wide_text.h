// The one crossing between note text (code page 932 bytes, in memory and in
// the store) and the system's UTF-16. The system's ANSI code page is never
// involved, so a Jotwise on an English or UTF-8 Windows reads, shows and
// keeps Japanese text exactly as on a Japanese one.
#ifndef JOTWISE_PLATFORM_WIDE_TEXT_H
#define JOTWISE_PLATFORM_WIDE_TEXT_H

#include <windows.h>

#include <string>
#include <string_view>

constexpr UINT kNoteCodePage = 932;

// CP932 bytes to UTF-16. A byte that is not valid CP932 becomes the
// system's replacement character; the text is never cut short.
std::wstring WideFromNote(std::string_view text);

// UTF-16 to CP932. Characters that other systems write under another code
// point than 932 (WAVE DASH for FULLWIDTH TILDE, MINUS SIGN, EM DASH, the
// no-break space and the like) become 932's own; one that 932 still cannot
// hold becomes '?' (never a best-fit look-alike); `lossy`, when given, says
// whether that happened.
std::string NoteFromWide(std::wstring_view text, bool* lossy = nullptr);

// A string-table text as UTF-16 (empty when missing).
std::wstring ResourceText(UINT id);

// A string-table text as CP932 bytes into a buffer, cut to size - 1 bytes
// (never inside a double-byte character); its length in bytes.
int ResourceNoteText(UINT id, char* buffer, int size);

// Copies CP932 bytes, cut like ResourceNoteText; the length copied.
int CopyNoteText(std::string_view text, char* buffer, int size);

// A stored font description and the system's. The face travels in CP932;
// `lossy` says that the system's face had characters 932 cannot hold (the
// face is then left empty rather than stored as question marks).
LOGFONTW WideFont(const LOGFONTA& font);
LOGFONTA NoteFont(const LOGFONTW& font, bool* lossy = nullptr);

// CreateFontIndirect and GetObject for stored font descriptions. A face the
// system does not have paints in a stand-in that holds Japanese, and
// GetNoteFont still gives the description as it was stored.
HFONT CreateNoteFontIndirect(const LOGFONTA* font);
// True when `font` is a font and `description` was filled.
bool GetNoteFont(HFONT font, LOGFONTA* description);

// Window text in CP932: the edit control, titles, dialog items.
void SetNoteWindowText(HWND window, std::string_view text);
// `lossy` as for NoteFromWide.
std::string NoteWindowText(HWND window, bool* lossy = nullptr);

// A message box whose texts are CP932 bytes (caption may be null).
int NoteMessageBox(HWND owner, std::string_view text, const char* caption, UINT flags);
// A message box of two string-table texts.
int ResourceMessageBox(HWND owner, UINT textId, UINT captionId, UINT flags);

#endif
