#include <gtest/gtest.h>

#include <cstring>

#include "due/due_time.h"
#include "notes/text_convert.h"
#include "store/records.h"
#include "tests/unit/test_support.h"

TEST(Records, DefaultOptionsKeepEditorRectangleAndReservedBytes)
{
    Options options;
    std::memset(&options, 0xAB, sizeof(options));
    options.editorRect = {10, 20, 500, 400};
    ASSERT_EQ(1, SetDefaultOptions(&options));
    EXPECT_EQ(10, options.editorRect.left);
    EXPECT_EQ(20, options.editorRect.top);
    EXPECT_EQ(500, options.editorRect.right);
    EXPECT_EQ(400, options.editorRect.bottom);
    for (unsigned char byte : options.reserved)
        EXPECT_EQ(0xAB, byte) << "reserved bytes of the options must travel unchanged";

    // What a first start gives the user: new notes due two days on, tabs of
    // four columns, and a due note's colour telling it from the others.
    SYSTEMTIME now = {2001, 3, 4, 1, 12, 0, 0, 0};
    FILETIME due = {};
    DefaultDueTime(&now, options.dueAmount, options.dueUnit, &due);
    FILETIME twoDaysOn = LocalTime(2001, 3, 3, 12, 0);
    EXPECT_EQ(0, CompareFileTime(&twoDaysOn, &due));
    EXPECT_EQ(4, TabWidthForIndex(options.tabIndex));
    EXPECT_EQ(RGB(0, 0, 0), options.foreColour);
    EXPECT_EQ(GetSysColor(COLOR_INFOBK), options.backColour) << "the tooltip colour";
    EXPECT_NE(options.eveColour, options.backColour);
    EXPECT_NE(options.dueColour, options.backColour);
    EXPECT_NE(options.eveColour, options.dueColour);
    EXPECT_TRUE(options.eveColourOn && options.dueColourOn && options.blackWhite && !options.blink);
    EXPECT_TRUE(options.imeOn && options.cutTrailingNewline && !options.border);
    EXPECT_EQ(0, SetDefaultOptions(nullptr));
}

TEST(Records, DefaultFontIsSeventeenPixelShiftJisMincho)
{
    LOGFONTA font;
    std::memset(&font, 0x5A, sizeof(font));
    ASSERT_EQ(1, SetDefaultFont(&font));
    EXPECT_EQ(17, font.lfHeight);
    EXPECT_EQ(0, font.lfWidth);
    EXPECT_EQ(0, font.lfEscapement);
    EXPECT_EQ(0, font.lfOrientation);
    EXPECT_EQ(400, font.lfWeight);
    EXPECT_EQ(0, font.lfItalic);
    EXPECT_EQ(0, font.lfUnderline);
    EXPECT_EQ(0, font.lfStrikeOut);
    EXPECT_EQ(128, font.lfCharSet);
    EXPECT_EQ(0, font.lfOutPrecision);
    EXPECT_EQ(0, font.lfClipPrecision);
    EXPECT_EQ(0, font.lfQuality);
    EXPECT_EQ(1, font.lfPitchAndFamily);
    const unsigned char face[] = {0x82, 0x6C, 0x82, 0x72, 0x20, 0x96, 0xBE, 0x92, 0xA9};
    EXPECT_EQ(0, std::memcmp(font.lfFaceName, face, sizeof(face))) << "face name bytes of \"MS Mincho\"";
    for (std::size_t i = sizeof(face); i < sizeof(font.lfFaceName); ++i)
        EXPECT_EQ(0, font.lfFaceName[i]) << "face name byte " << i << " after the name";
    EXPECT_EQ(0, SetDefaultFont(nullptr));
}

TEST(Records, CopyNoteImageCopiesExactlyTheStoredBytes)
{
    NoteRecord source = {};
    std::memset(&source, 0x11, kNoteImageSize);
    source.text = reinterpret_cast<char*>(0x1234);
    NoteRecord target = {};
    target.text = nullptr;
    CopyNoteImage(&target, &source);
    EXPECT_EQ(0, std::memcmp(&target, &source, kNoteImageSize));
    EXPECT_EQ(nullptr, target.text) << "run-time resources never travel with a copy";
}
