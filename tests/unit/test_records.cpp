#include <gtest/gtest.h>

#include <cstring>

#include "store/records.h"

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
    EXPECT_EQ(0x00000000u, options.foreColour);
    EXPECT_EQ(GetSysColor(COLOR_INFOBK), options.backColour);
    EXPECT_EQ(0x000080FFu, options.eveColour);
    EXPECT_EQ(0x008000FFu, options.dueColour);
    EXPECT_EQ(1, options.imeOn);
    EXPECT_EQ(1, options.cutTrailingNewline);
    EXPECT_EQ(1, options.tabIndex);
    EXPECT_EQ(0, options.border);
    EXPECT_EQ(2, options.dueAmount);
    EXPECT_EQ(1, options.dueUnit);
    EXPECT_EQ(1, options.eveColourOn);
    EXPECT_EQ(1, options.dueColourOn);
    EXPECT_EQ(0, options.blink);
    EXPECT_EQ(1, options.blackWhite);
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
