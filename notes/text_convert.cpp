#include "notes/text_convert.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "notes/app_state.h"
#include "platform/gdi_owners.h"
#include "platform/wide_text.h"

// All conversions walk CP932 text byte by byte: no trail byte of a
// double-byte character equals TAB, LF, CR or space, so none is ever split,
// and a double-byte character simply counts as two columns.

namespace
{

constexpr char kTab = '\t';
constexpr char kCr = '\r';
constexpr char kLf = '\n';
constexpr char kSpace = ' ';

constexpr DWORD kNoteStyle = WS_POPUP | WS_VISIBLE | WS_THICKFRAME; // 0x90040000
constexpr DWORD kNoteExStyle = WS_EX_TOOLWINDOW;

// The note paints its text 6 pixels in from the left and right edges and
// 3 pixels in from the top and bottom.
constexpr int kHorizontalMargins = 12;
constexpr int kVerticalMargins = 6;

bool ValidConversion(const char* source, const char* output, int width)
{
    return source && source[0] != '\0' && output && width >= 1 && width <= 8;
}

} // namespace

int TabWidthForIndex(int tabIndex)
{
    switch (tabIndex) {
    case 0:
        return 2;
    case 2:
        return 8;
    default:
        return 4;
    }
}

int GetTabWidth()
{
    AppState* state = App();
    return state ? TabWidthForIndex(state->options.tabIndex) : 4;
}

void CutTrailingNewlines(char* text)
{
    if (!text)
        return;
    // Only whole CR LF pairs go: a lone CR before the last character is
    // not a line break, and the character after it is the user's.
    size_t length = std::strlen(text);
    while (length >= 2 && text[length - 2] == kCr && text[length - 1] == kLf) {
        length -= 2;
        text[length] = '\0';
    }
}

int ExpandTabs(const char* source, char* output, int width)
{
    if (!ValidConversion(source, output, width))
        return 0;
    int written = 0;
    int column = 0;
    for (const char* p = source; *p; ++p) {
        if (p[0] == kCr && p[1] == kLf) {
            output[written++] = kCr;
            output[written++] = kLf;
            column = 0;
            ++p;
        } else if (*p == kTab) {
            int spaces = width - column % width;
            for (int i = 0; i < spaces; ++i)
                output[written++] = kSpace;
            column += spaces;
        } else {
            output[written++] = *p;
            ++column;
        }
    }
    output[written] = '\0';
    return written;
}

char* ExpandTabsCopy(const char* text, int length)
{
    if (!text || text[0] == '\0')
        return nullptr;
    size_t actual = 0;
    size_t tabs = 0;
    for (const char* p = text; *p; ++p, ++actual) {
        if (*p == kTab)
            ++tabs;
    }
    if (tabs == 0)
        return nullptr;
    // The caller's length may be stale (taken before trailing line breaks
    // were cut) and so larger than the text; it must never be smaller.
    size_t base = length > 0 && static_cast<size_t>(length) > actual ? static_cast<size_t>(length) : actual;
    auto* buffer = static_cast<char*>(std::malloc(base + 8 * tabs + 8));
    if (!buffer)
        return nullptr;
    ExpandTabs(text, buffer, GetTabWidth());
    return buffer;
}

int SpacesToTabs(const char* source, char* output, int width)
{
    if (!ValidConversion(source, output, width))
        return 0;
    int written = 0;
    int column = 0;
    // Spaces since the run began or since its last tab stop.
    int run = 0;
    auto flush = [&] {
        for (; run > 0; --run)
            output[written++] = kSpace;
    };
    for (const char* p = source; *p; ++p) {
        if (*p == kSpace) {
            ++run;
            ++column;
            // Only spaces that end on a tab stop become a tab: applying
            // expands it to exactly these spaces again. A lone space stays.
            if (column % width == 0) {
                if (run >= 2) {
                    output[written++] = kTab;
                    run = 0;
                }
                flush();
            }
            continue;
        }
        flush();
        // Columns as ExpandTabs counts them: bytes, from each CR LF.
        if (p[0] == kCr && p[1] == kLf) {
            output[written++] = kCr;
            output[written++] = kLf;
            column = 0;
            ++p;
        } else {
            output[written++] = *p;
            column = *p == kTab ? column + width - column % width : column + 1;
        }
    }
    flush();
    output[written] = '\0';
    return written;
}

char* SpacesToTabsCopy(const NoteRecord* record)
{
    if (!record || !record->text || record->text[0] == '\0')
        return nullptr;
    auto* buffer = static_cast<char*>(std::malloc(std::strlen(record->text) + 4));
    if (!buffer)
        return nullptr;
    SpacesToTabs(record->text, buffer, GetTabWidth());
    return buffer;
}

int MeasureNoteSize(NoteRecord* record, int force)
{
    if (!record || !record->text || record->text[0] == '\0')
        return 0;
    size_t length = std::strlen(record->text);
    auto* copy = static_cast<char*>(std::malloc(length + 4));
    if (!copy)
        return 0;
    // With a line break after every line, the last one included, each line
    // is simply the bytes before its CR.
    std::memcpy(copy, record->text, length);
    copy[length] = kCr;
    copy[length + 1] = kLf;
    copy[length + 2] = '\0';

    int widest = 0;
    int totalHeight = 0;
    {
        ScreenDc screen;
        ScopedSelection font(screen.get(), record->font);
        int emptyLineHeight = -1;
        const char* line = copy;
        for (const char* p = copy; *p; ++p) {
            if (*p != kCr)
                continue;
            SIZE extent{};
            std::wstring wide = WideFromNote(std::string_view(line, static_cast<std::size_t>(p - line)));
            GetTextExtentPoint32W(screen.get(), wide.c_str(), static_cast<int>(wide.size()), &extent);
            if (extent.cx > widest)
                widest = extent.cx;
            // Some GDIs report no height for an empty string; an empty line
            // still takes one line of the font.
            if (extent.cy == 0 && p == line) {
                if (emptyLineHeight < 0) {
                    TEXTMETRICW metrics{};
                    emptyLineHeight = GetTextMetricsW(screen.get(), &metrics) ? metrics.tmHeight : 0;
                }
                extent.cy = emptyLineHeight;
            }
            totalHeight += extent.cy;
            if (p[1] == kLf)
                ++p;
            line = p + 1;
        }
    }
    std::free(copy);

    int neededWidth = widest + kHorizontalMargins;
    int neededHeight = totalHeight + kVerticalMargins;
    if (App() && App()->options.border) {
        RECT frame{0, 0, neededWidth, neededHeight};
        AdjustWindowRectEx(&frame, kNoteStyle, FALSE, kNoteExStyle);
        neededWidth = frame.right - frame.left;
        neededHeight = frame.bottom - frame.top;
    }

    // Without force, a note keeps a size the user chose as long as it holds
    // the text and is no more than twice what the text needs.
    if (force || record->width < neededWidth || record->width > 2 * neededWidth)
        record->width = neededWidth;
    if (force || record->height < neededHeight || record->height > 2 * neededHeight)
        record->height = neededHeight;
    return 1;
}

namespace
{

int ScreenPixelsPerInchY()
{
    ScreenDc screen;
    return screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
}

} // namespace

char* DescribeFont(HFONT font, char* buffer)
{
    if (!font || !buffer)
        return nullptr;
    buffer[0] = '\0';

    int resolution = ScreenPixelsPerInchY();
    LOGFONTA description{};
    GetNoteFont(font, &description);
    description.lfFaceName[LF_FACESIZE - 1] = '\0';

    long points = 0;
    if (resolution > 0)
        points = static_cast<long>(
            std::fabs(static_cast<double>(description.lfHeight)) * 72.0 / resolution + 0.5);
    std::snprintf(buffer, 64, "%s (%ld)", description.lfFaceName, points);
    return buffer;
}
