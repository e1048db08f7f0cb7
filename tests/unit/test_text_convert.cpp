#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <list>
#include <string>

#include "notes/text_convert.h"
#include "platform/wide_text.h"
#include "tests/unit/test_support.h"

namespace
{

// Shows control bytes so that a failing case reads in the user's terms.
std::string Visible(const std::string& text)
{
    std::string out;
    for (unsigned char c : text) {
        if (c == '\t')
            out += "<TAB>";
        else if (c == '\r')
            out += "<CR>";
        else if (c == '\n')
            out += "<LF>";
        else if (c == ' ')
            out += "_";
        else if (c >= 0x80) {
            char hex[8];
            std::snprintf(hex, sizeof(hex), "<%02X>", c);
            out += hex;
        } else
            out += static_cast<char>(c);
    }
    return out;
}

std::string Expand(const char* source, int width)
{
    char output[256];
    int written = ExpandTabs(source, output, width);
    EXPECT_EQ(static_cast<int>(std::strlen(output)), written) << "bytes written for " << Visible(source);
    return output;
}

std::string Compress(const char* source, int width)
{
    char output[256];
    int written = SpacesToTabs(source, output, width);
    EXPECT_EQ(static_cast<int>(std::strlen(output)), written) << "bytes written for " << Visible(source);
    return output;
}

std::string Cut(const char* text)
{
    std::string copy = text;
    CutTrailingNewlines(copy.data());
    return copy.c_str();
}

std::string TakeText(char* text)
{
    std::string result = text ? text : "(none)";
    if (text) {
        EXPECT_GT(_msize(text), result.size()) << "the block holds the text and its terminator";
    }
    std::free(text);
    return result;
}

} // namespace

TEST(TextConvert, TabWidthFollowsTheTabIndex)
{
    EXPECT_EQ(2, TabWidthForIndex(0));
    EXPECT_EQ(4, TabWidthForIndex(1));
    EXPECT_EQ(8, TabWidthForIndex(2));
    EXPECT_EQ(4, TabWidthForIndex(7));

    ASSERT_EQ(nullptr, App());
    EXPECT_EQ(4, GetTabWidth()) << "without an AppState";
    ScopedAppState state;
    const int expected[] = {2, 4, 8, 4};
    const std::uint8_t indexes[] = {0, 1, 2, 7};
    for (int i = 0; i < 4; ++i) {
        state->options.tabIndex = indexes[i];
        EXPECT_EQ(expected[i], GetTabWidth()) << "tab index " << int(indexes[i]);
    }
}

TEST(TextConvert, TabsExpandToTheNextTabStop)
{
    struct Case {
        const char* source;
        int width;
        const char* expected;
    } cases[] = {
        {"a\tb", 4, "a   b"},
        {"abcd\te", 4, "abcd    e"},
        {"ab\r\n\tz", 4, "ab\r\n    z"},
        {"\t\t", 4, "        "},
        {"\x82\xA0\t", 4, "\x82\xA0  "}, // a double-byte character is two columns
        {"abc\td", 2, "abc d"},
        {"\tx", 8, "        x"},
        {"ab\n\tz", 4, "ab\n z"}, // a lone LF does not start a line
        {"ab\r\tz", 4, "ab\r z"}, // nor does a lone CR
        {"no tabs", 4, "no tabs"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, Expand(c.source, c.width)) << Visible(c.source) << " at width " << c.width;
}

TEST(TextConvert, SpaceRunsBecomeTabs)
{
    struct Case {
        const char* source;
        const char* expected;
    } cases[] = {
        {"a    b", "a\t b"}, // only spaces that end on a tab stop
        {"a      b", "a\t   b"},
        {"        ", "\t\t"},
        {"ab  ", "ab\t"},
        {"abc b", "abc b"}, // a lone space stays
        {"x   \r\ny", "x\t\r\ny"},
        {"x\r\n    y", "x\r\n\ty"},                 // columns start again after CR LF
        {"\x81\x40\x81\x40x", "\x81\x40\x81\x40x"}, // a full-width space is not a space
        {"abc    d", "abc    d"},
        {"  \t  ", "  \t  "},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, Compress(c.source, 4)) << Visible(c.source);
}

TEST(TextConvert, OpeningAndApplyingKeepsEverySpace)
{
    // What apply stores has no tabs; opening it and applying it unedited
    // must give back the same bytes.
    for (int width : {2, 4, 8})
        for (const char* before : {"", "x", "ab", "\x82\xA0", "abc", "\x82\xA0\x82\xA0x"})
            for (int run = 1; run <= 9; ++run) {
                std::string spaces(static_cast<std::size_t>(run), ' ');
                std::string text = std::string(before) + spaces + "y\r\n" + spaces + before + spaces + "z";
                EXPECT_EQ(text, Expand(Compress(text.c_str(), width).c_str(), width))
                    << Visible(text.c_str()) << " at width " << width;
            }
}

TEST(TextConvert, ConversionsRefuseBadArguments)
{
    char output[16];
    const int widths[] = {0, 9, -1};
    for (int width : widths) {
        std::memset(output, '#', sizeof(output));
        EXPECT_EQ(0, ExpandTabs("a\tb", output, width)) << "width " << width;
        EXPECT_EQ(0, SpacesToTabs("a    b", output, width)) << "width " << width;
        EXPECT_EQ('#', output[0]) << "nothing written for width " << width;
    }
    std::memset(output, '#', sizeof(output));
    EXPECT_EQ(0, ExpandTabs("", output, 4));
    EXPECT_EQ(0, SpacesToTabs("", output, 4));
    EXPECT_EQ(0, ExpandTabs(nullptr, output, 4));
    EXPECT_EQ(0, SpacesToTabs(nullptr, output, 4));
    EXPECT_EQ('#', output[0]) << "nothing written for an empty or absent source";
    EXPECT_EQ(0, ExpandTabs("a\tb", nullptr, 4));
    EXPECT_EQ(0, SpacesToTabs("a    b", nullptr, 4));
}

TEST(TextConvert, ExpandedCopyUsesTheConfiguredWidth)
{
    ScopedAppState state;
    state->options.tabIndex = 2;
    EXPECT_EQ("        x", TakeText(ExpandTabsCopy("\tx", 2)));
    EXPECT_EQ(std::string(24, ' ') + "x", TakeText(ExpandTabsCopy("\t\t\tx", 4)));
    state->options.tabIndex = 1;
    EXPECT_EQ("(none)", TakeText(ExpandTabsCopy("no tabs", 7))) << "the text as typed is stored";
    EXPECT_EQ("(none)", TakeText(ExpandTabsCopy("", 0)));
    EXPECT_EQ("(none)", TakeText(ExpandTabsCopy(nullptr, 0)));
    EXPECT_EQ("a   b", TakeText(ExpandTabsCopy("a\tb", 40))) << "a stale, larger length is fine";

    // A length smaller than the text must not shrink the buffer.
    std::string wide(200, '\t');
    std::string expected(800, ' ');
    EXPECT_EQ(expected, TakeText(ExpandTabsCopy(wide.c_str(), 1)));
}

TEST(TextConvert, TabsSurviveTheRoundTripOnlyAsSpaces)
{
    ScopedAppState state;
    state->options.tabIndex = 1;
    char* stored = ExpandTabsCopy("x\ty", 3);
    ASSERT_NE(nullptr, stored);
    EXPECT_STREQ("x   y", stored);

    NoteRecord record{};
    record.text = stored;
    EXPECT_EQ("x\ty", TakeText(SpacesToTabsCopy(&record))) << "comes back as the tab it was";
    std::free(stored);

    char typed[] = "a    b";
    record.text = typed;
    EXPECT_EQ("a\t b", TakeText(SpacesToTabsCopy(&record))) << "typed spaces come back as a tab";

    char empty[] = "";
    record.text = empty;
    EXPECT_EQ("(none)", TakeText(SpacesToTabsCopy(&record)));
    record.text = nullptr;
    EXPECT_EQ("(none)", TakeText(SpacesToTabsCopy(&record)));
    EXPECT_EQ("(none)", TakeText(SpacesToTabsCopy(nullptr)));
}

TEST(TextConvert, TrailingLineBreaksAreCut)
{
    EXPECT_EQ("abc", Cut("abc\r\n\r\n"));
    EXPECT_EQ("", Cut("\r\n"));
    EXPECT_EQ("abc\r\nx", Cut("abc\r\nx"));
    EXPECT_EQ("a", Cut("a"));
    EXPECT_EQ("", Cut(""));
    EXPECT_EQ("ab\rx", Cut("ab\rx")) << "a lone CR is not a line break; the x is the user's";
    CutTrailingNewlines(nullptr);
}

// Pasted characters that 932 keeps under another code point are stored as
// the user saw them and come back as 932's own; an emoji still asks first.
TEST(TextConvert, PastedCharactersTakeTheirCodePage932Counterparts)
{
    const std::pair<std::wstring, std::string> rows[] = {{L"\x301C\xFF5E", "\x81\x60"},
        {L"\x2016\x2225", "\x81\x61"}, {L"\x2212\xFF0D", "\x81\x7C"}, {L"\x00A2\xFFE0", "\x81\x91"},
        {L"\x00A3\xFFE1", "\x81\x92"}, {L"\x00AC\xFFE2", "\x81\xCA"}, {L"\x2014\x2015", "\x81\x5C"},
        {L"\x00A0 ", " "}}; // pasted and shown, then the bytes kept for both
    for (const auto& [pair, bytes] : rows) {
        bool lossy = true;
        EXPECT_EQ(bytes + bytes, NoteFromWide(pair, &lossy)) << Visible(bytes);
        EXPECT_FALSE(lossy) << Visible(bytes);
        EXPECT_EQ(pair.substr(1), WideFromNote(bytes)) << Visible(bytes);
    }
    bool lossy = false;
    EXPECT_TRUE(NoteFromWide(L"a\U0001F600", &lossy).starts_with("a?") && lossy) << "an emoji has none";
}

namespace
{

class NoteMeasure : public ::testing::Test
{
protected:
    void SetUp() override
    {
        LOGFONTA description;
        SetDefaultFont(&description);
        font_ = CreateFontIndirectA(&description);
        ASSERT_NE(nullptr, font_);
    }
    void TearDown() override { DeleteObject(font_); }

    NoteRecord Record(const char* text, int width, int height)
    {
        NoteRecord record{};
        texts_.emplace_back(text);
        record.text = texts_.back().data();
        record.font = font_;
        record.left = 123;
        record.top = 456;
        record.width = width;
        record.height = height;
        return record;
    }

    // The size the text needs, from the forced measurement.
    SIZE Needed(const char* text)
    {
        NoteRecord record = Record(text, 1, 1);
        EXPECT_EQ(1, MeasureNoteSize(&record, 1));
        return SIZE{record.width, record.height};
    }

    SIZE Extent(const char* text)
    {
        HDC dc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, font_);
        SIZE size{};
        GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
        return size;
    }

    ScopedAppState state_;
    HFONT font_ = nullptr;
    std::list<std::string> texts_; // stable addresses for record.text
};

} // namespace

TEST_F(NoteMeasure, NeededSizeIsTheTextPlusMargins)
{
    SIZE abc = Extent("abc");
    SIZE needed = Needed("abc");
    EXPECT_EQ(abc.cx + 12, needed.cx);
    EXPECT_EQ(abc.cy + 6, needed.cy);

    SIZE widest = Extent("abcdefgh");
    needed = Needed("a\r\nabcdefgh\r\nab");
    EXPECT_EQ(widest.cx + 12, needed.cx) << "the widest line counts";
    EXPECT_EQ(3 * abc.cy + 6, needed.cy) << "three lines";
}

TEST_F(NoteMeasure, LineBreaksAtEitherEndAddALine)
{
    SIZE one = Needed("abc");
    int lineHeight = one.cy - 6;
    ASSERT_GT(lineHeight, 0);
    SIZE trailing = Needed("abc\r\n");
    EXPECT_EQ(one.cy + lineHeight, trailing.cy) << "abc + CR LF has an empty last line";
    EXPECT_EQ(one.cx, trailing.cx);
    SIZE leading = Needed("\r\nabc");
    EXPECT_EQ(one.cy + lineHeight, leading.cy) << "CR LF + abc has two lines";
    EXPECT_EQ(one.cx, leading.cx);
}

TEST_F(NoteMeasure, UnforcedSizeKeepsWhatFitsUpToTwice)
{
    SIZE needed = Needed("Jotwise note");
    struct Case {
        int size;
        int expected;
        const char* why;
    } cases[] = {
        {needed.cx, needed.cx, "exactly what the text needs stays"},
        {2 * needed.cx, 2 * needed.cx, "exactly twice stays"},
        {needed.cx + needed.cx / 2, needed.cx + needed.cx / 2, "between once and twice stays"},
        {2 * needed.cx + 1, needed.cx, "more than twice shrinks to the need"},
        {needed.cx - 1, needed.cx, "too small grows to the need"},
    };
    for (const Case& c : cases) {
        NoteRecord record = Record("Jotwise note", c.size, needed.cy);
        EXPECT_EQ(1, MeasureNoteSize(&record, 0));
        EXPECT_EQ(c.expected, record.width) << c.why << " (width " << c.size << ", need " << needed.cx << ")";
        EXPECT_EQ(needed.cy, record.height) << "the height is judged by itself";
    }
    const Case heights[] = {
        {2 * needed.cy, 2 * needed.cy, "exactly twice stays"},
        {2 * needed.cy + 1, needed.cy, "more than twice shrinks to the need"},
        {needed.cy - 1, needed.cy, "too small grows to the need"},
    };
    for (const Case& c : heights) {
        NoteRecord record = Record("Jotwise note", needed.cx + 1, c.size);
        EXPECT_EQ(1, MeasureNoteSize(&record, 0));
        EXPECT_EQ(c.expected, record.height)
            << c.why << " (height " << c.size << ", need " << needed.cy << ")";
        EXPECT_EQ(needed.cx + 1, record.width);
    }

    NoteRecord forced = Record("Jotwise note", needed.cx + 1, needed.cy + 1);
    EXPECT_EQ(1, MeasureNoteSize(&forced, 1));
    EXPECT_EQ(needed.cx, forced.width) << "force sets the need even when the size fits";
    EXPECT_EQ(needed.cy, forced.height);
    EXPECT_EQ(123, forced.left) << "the position is never touched";
    EXPECT_EQ(456, forced.top);
}

TEST_F(NoteMeasure, BorderAddsTheSizingFrame)
{
    SIZE plain = Needed("frame me");
    state_->options.border = 1;
    SIZE framed = Needed("frame me");
    RECT frame{0, 0, 0, 0};
    ASSERT_TRUE(AdjustWindowRectEx(&frame, 0x90040000, FALSE, 0x00000080));
    EXPECT_GT(frame.right - frame.left, 0);
    EXPECT_EQ(plain.cx + (frame.right - frame.left), framed.cx);
    EXPECT_EQ(plain.cy + (frame.bottom - frame.top), framed.cy);
}

TEST_F(NoteMeasure, NothingToMeasureChangesNothing)
{
    NoteRecord record = Record("", 77, 88);
    EXPECT_EQ(0, MeasureNoteSize(&record, 1));
    EXPECT_EQ(77, record.width);
    EXPECT_EQ(88, record.height);
    record.text = nullptr;
    EXPECT_EQ(0, MeasureNoteSize(&record, 1));
    EXPECT_EQ(77, record.width);
    EXPECT_EQ(0, MeasureNoteSize(nullptr, 1));
}
