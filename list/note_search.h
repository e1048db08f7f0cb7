// What the note list shows, filters and sorts, as plain values: the window
// only turns these into rows.
#ifndef JOTWISE_LIST_NOTE_SEARCH_H
#define JOTWISE_LIST_NOTE_SEARCH_H

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// In the order the state column sorts by. kDamaged is a bin entry that
// cannot be restored.
enum class NoteState { kShown, kHidden, kPeeledOff, kNotLoaded, kInBin, kDamaged };

enum ListColumn { kColumnText, kColumnDue, kColumnState, kColumnColour, kColumnCount };

struct NoteRow {
    NoteState state = NoteState::kShown;
    int id = 0;
    std::wstring binEntry; // kInBin and kDamaged only: the entry's key name
    int entryNotes = 0;    // the notes of that entry, which go together
    HWND window = nullptr; // kShown and kHidden only
    std::string text;      // code page 932, the whole note
    std::wstring title;    // its first line
    FILETIME due{};
    COLORREF fore = 0;
    COLORREF back = 0;
};

// Code page 932 text as one value per character, with ASCII and full-width
// Latin letters and digits folded to lower-case ASCII, so that a search
// finds "ABC", "abc" and "ＡＢＣ" alike and never half of a double-byte
// character.
std::vector<std::uint16_t> FoldForSearch(std::string_view text);

// True when `text` holds `query` (both code page 932); an empty query
// matches everything.
bool NoteMatches(std::string_view text, std::string_view query);

// What typing in the list selects: the first row in `order`, from `start`
// on and round to the top when `wrap`, whose note begins with `typed`,
// folded as the search folds; -1 when none does.
int FindRowByPrefix(const std::vector<NoteRow>& rows, const std::vector<int>& order, std::wstring_view typed,
    int start, bool wrap);

// Row order for a column; ties fall back to the note ID.
bool RowLess(const NoteRow& a, const NoteRow& b, int column);

// The indexes of the rows whose note holds `typed`, in the column's order.
std::vector<int> FilterAndSort(
    const std::vector<NoteRow>& rows, std::wstring_view typed, int column, bool descending);

#endif
