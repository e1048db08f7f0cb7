#include "list/note_search.h"

#include <algorithm>
#include <numeric>

#include "due/due_time.h"
#include "platform/wide_text.h"

namespace
{

bool IsLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::uint16_t Fold(std::uint16_t c)
{
    if (c >= 'A' && c <= 'Z')
        return static_cast<std::uint16_t>(c - 'A' + 'a');
    if (c >= 0x824F && c <= 0x8258) // full-width 0-9
        return static_cast<std::uint16_t>(c - 0x824F + '0');
    if (c >= 0x8260 && c <= 0x8279) // full-width A-Z
        return static_cast<std::uint16_t>(c - 0x8260 + 'a');
    if (c >= 0x8281 && c <= 0x829A) // full-width a-z
        return static_cast<std::uint16_t>(c - 0x8281 + 'a');
    return c;
}

// A due time counts only when set; unset ones sort after every date.
bool DueLess(const FILETIME& a, const FILETIME& b)
{
    bool aSet = IsTimeSet(&a);
    bool bSet = IsTimeSet(&b);
    if (aSet != bSet)
        return aSet;
    return aSet && CompareFileTime(&a, &b) < 0;
}

bool DueEqual(const FILETIME& a, const FILETIME& b)
{
    return !DueLess(a, b) && !DueLess(b, a);
}

} // namespace

std::vector<std::uint16_t> FoldForSearch(std::string_view text)
{
    std::vector<std::uint16_t> folded;
    folded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto byte = static_cast<unsigned char>(text[i]);
        std::uint16_t c = byte;
        if (IsLeadByte(byte) && i + 1 < text.size())
            c = static_cast<std::uint16_t>(byte << 8 | static_cast<unsigned char>(text[++i]));
        folded.push_back(Fold(c));
    }
    return folded;
}

int FindRowByPrefix(const std::vector<NoteRow>& rows, const std::vector<int>& order, std::wstring_view typed,
    int start, bool wrap)
{
    bool lossy = false;
    const std::vector<std::uint16_t> prefix = FoldForSearch(NoteFromWide(typed, &lossy));
    const int count = static_cast<int>(order.size());
    if (prefix.empty() || count == 0 || lossy)
        return -1;
    if (start < 0 || start >= count)
        start = 0;
    for (int step = 0; step < count; ++step) {
        const int item = (start + step) % count;
        if (item < start && !wrap)
            break;
        // The first line begins the note, and typing brings no line break.
        const std::vector<std::uint16_t> note = FoldForSearch(rows[order[item]].text);
        if (note.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), note.begin()))
            return item;
    }
    return -1;
}

bool NoteMatches(std::string_view text, std::string_view query)
{
    if (query.empty())
        return true;
    std::vector<std::uint16_t> haystack = FoldForSearch(text);
    std::vector<std::uint16_t> needle = FoldForSearch(query);
    return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) != haystack.end();
}

bool RowLess(const NoteRow& a, const NoteRow& b, int column)
{
    switch (column) {
    case kColumnText: {
        int order = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE | NORM_IGNOREWIDTH, a.title.c_str(),
            static_cast<int>(a.title.size()), b.title.c_str(), static_cast<int>(b.title.size()));
        if (order != CSTR_EQUAL)
            return order == CSTR_LESS_THAN;
        break;
    }
    case kColumnDue:
        if (!DueEqual(a.due, b.due))
            return DueLess(a.due, b.due);
        break;
    case kColumnState:
        if (a.state != b.state)
            return a.state < b.state;
        break;
    case kColumnColour:
        if (a.back != b.back)
            return a.back < b.back;
        if (a.fore != b.fore)
            return a.fore < b.fore;
        break;
    default:
        break;
    }
    if (a.id != b.id)
        return a.id < b.id;
    // Entry names are numbers: the shorter is the smaller.
    if (a.binEntry.size() != b.binEntry.size())
        return a.binEntry.size() < b.binEntry.size();
    return a.binEntry < b.binEntry;
}

std::vector<int> FilterAndSort(
    const std::vector<NoteRow>& rows, std::wstring_view typed, int column, bool descending)
{
    std::vector<int> order;
    // Notes hold code page 932 text: a character without a counterpart
    // there is in none of them, and the "?" it would become is in many.
    bool lossy = false;
    const std::string query = NoteFromWide(typed, &lossy);
    if (lossy)
        return order;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (NoteMatches(rows[i].text, query))
            order.push_back(static_cast<int>(i));
    }
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return descending ? RowLess(rows[b], rows[a], column) : RowLess(rows[a], rows[b], column);
    });
    return order;
}
