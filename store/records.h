// The two fixed-layout records that Jotwise keeps between runs.
//
// The first 80 bytes of NoteRecord and the 64 bytes of Options are written to
// and read from the registry byte for byte, so their layout is a file format:
// every offset below is pinned by a static_assert and must never move.
#ifndef JOTWISE_STORE_RECORDS_H
#define JOTWISE_STORE_RECORDS_H

#include <windows.h>

#include <cstddef>
#include <cstdint>

constexpr std::size_t kNoteImageSize = 80;
constexpr std::size_t kOptionsSize = 64;
constexpr std::size_t kLogFontSize = sizeof(LOGFONTA);

// Draw states: how a note paints (set by the due monitor, read by painting).
enum DrawState : std::uint8_t {
    kDrawNormal = 0,
    kDrawEve = 1,
    kDrawDue = 2,
    kDrawOverdue = 3,
};

// How a due time repeats; kept in Repeat<n> by number, so never renumber.
enum RepeatKind : std::uint8_t {
    kRepeatNone = 0,
    kRepeatDaily = 1,
    kRepeatWeekdays = 2, // Monday to Friday
    kRepeatWeekly = 3,
    kRepeatMonthly = 4,
    kRepeatYearly = 5,
};
constexpr int kRepeatKindCount = 6;

struct NoteRecord {
    // ---- stored image, 80 bytes ----
    std::uint8_t reserved0[4]; // never interpreted, travels unchanged
    std::uint32_t storedText;  // run-time address bits as stored; ignored on load
    std::uint32_t storedFont;  // run-time handle bits as stored; ignored on load
    std::uint32_t storedBrush; // run-time handle bits as stored; ignored on load
    COLORREF foreColour;
    COLORREF backColour;
    FILETIME created; // local wall-clock time
    FILETIME due;     // local wall-clock time; set only when both halves are non-zero
    std::int32_t left;
    std::int32_t top;
    std::int32_t width;
    std::int32_t height;
    std::int32_t id;
    std::uint8_t deleted;
    std::uint8_t hidden;
    std::uint8_t drawState;
    std::uint8_t reserved63[17]; // never interpreted, travels unchanged
    // ---- run-time resources, owned by this copy of the record ----
    // Pointers do not fit the stored 4-byte slots on 64-bit Windows, so they
    // live here; the stored slots receive their low bits when saved.
    char* text;
    HFONT font;
    HBRUSH brush;
    // The stored Font<n> was unusable and `font` is a stand-in: saving must
    // not replace the stored value until the user changes the note.
    bool keepStoredFont;
    // Kept in Topmost<n> beside the record, never in its stored bytes.
    std::uint8_t topmost;
    // Kept in Repeat<n>: how the due time repeats (a RepeatKind) and the day
    // of the month a monthly or yearly repeat returns to after a shorter
    // month (0: the due time's own day).
    std::uint8_t repeat;
    std::uint8_t repeatDay;
    // Kept in Snooze<n>: the due time is announced again only from this
    // local wall-clock time on; unset (both halves zero) when not snoozed.
    FILETIME snoozeUntil;
};

static_assert(offsetof(NoteRecord, reserved0) == 0);
static_assert(offsetof(NoteRecord, storedText) == 4);
static_assert(offsetof(NoteRecord, storedFont) == 8);
static_assert(offsetof(NoteRecord, storedBrush) == 12);
static_assert(offsetof(NoteRecord, foreColour) == 16);
static_assert(offsetof(NoteRecord, backColour) == 20);
static_assert(offsetof(NoteRecord, created) == 24);
static_assert(offsetof(NoteRecord, due) == 32);
static_assert(offsetof(NoteRecord, left) == 40);
static_assert(offsetof(NoteRecord, top) == 44);
static_assert(offsetof(NoteRecord, width) == 48);
static_assert(offsetof(NoteRecord, height) == 52);
static_assert(offsetof(NoteRecord, id) == 56);
static_assert(offsetof(NoteRecord, deleted) == 60);
static_assert(offsetof(NoteRecord, hidden) == 61);
static_assert(offsetof(NoteRecord, drawState) == 62);
static_assert(offsetof(NoteRecord, reserved63) == 63);
static_assert(offsetof(NoteRecord, text) == kNoteImageSize, "run-time fields must follow the stored image");

struct Options {
    RECT editorRect; // empty, or left == -1: the system places the editor
    COLORREF foreColour;
    COLORREF backColour;
    COLORREF eveColour;
    COLORREF dueColour;
    std::uint8_t imeOn;
    std::uint8_t cutTrailingNewline;
    std::uint8_t tabIndex; // 0: 2 columns, 2: 8 columns, otherwise 4
    std::uint8_t border;
    std::uint8_t dueAmount; // 0: new notes get no due time
    std::uint8_t dueUnit;   // 0 month, 1 day, 2 hour, 3 minute
    std::uint8_t eveColourOn;
    std::uint8_t dueColourOn;
    std::uint8_t blink;
    std::uint8_t blackWhite;
    std::uint8_t reserved[22]; // never interpreted, travels unchanged
};

static_assert(sizeof(Options) == kOptionsSize);
static_assert(offsetof(Options, editorRect) == 0);
static_assert(offsetof(Options, foreColour) == 16);
static_assert(offsetof(Options, backColour) == 20);
static_assert(offsetof(Options, eveColour) == 24);
static_assert(offsetof(Options, dueColour) == 28);
static_assert(offsetof(Options, imeOn) == 32);
static_assert(offsetof(Options, cutTrailingNewline) == 33);
static_assert(offsetof(Options, tabIndex) == 34);
static_assert(offsetof(Options, border) == 35);
static_assert(offsetof(Options, dueAmount) == 36);
static_assert(offsetof(Options, dueUnit) == 37);
static_assert(offsetof(Options, eveColourOn) == 38);
static_assert(offsetof(Options, dueColourOn) == 39);
static_assert(offsetof(Options, blink) == 40);
static_assert(offsetof(Options, blackWhite) == 41);
static_assert(offsetof(Options, reserved) == 42);
static_assert(sizeof(LOGFONTA) == 60);
static_assert(sizeof(FILETIME) == 8 && alignof(FILETIME) <= 4);

// Copies the 80 stored bytes of src over dst; dst's run-time fields are kept.
void CopyNoteImage(NoteRecord* dst, const NoteRecord* src);

// Fills the options from fore colour to black-and-white with the defaults;
// the editor rectangle and the reserved bytes keep what they held.
int SetDefaultOptions(Options* options);

// The largest size, in points, the system's font dialog lets a user pick.
constexpr int kMaxFontPoints = 1638;

// False for a height no font dialog can give at this resolution (either
// sign); such a font takes seconds to create and measure.
bool IsFontHeightPossible(LONG height, int pixelsPerInch);

// Clears the LOGFONTA and sets the default note font (17 px, Shift_JIS, "ＭＳ 明朝").
int SetDefaultFont(LOGFONTA* font);

#endif
