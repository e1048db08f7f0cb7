#include <windows.h>
#include <colordlg.h>
#include <commdlg.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "editor/pickers.h"
#include "notes/text_convert.h"
#include "tests/unit/test_support.h"

// The choosers run for real; a helper thread plays the user. It finds the
// common dialog by its class, works its controls with messages and ends it
// with OK or Cancel.

namespace
{

constexpr DWORD kDialogTimeout = 5000;

int ScreenDpi()
{
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

void Press(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

// Clicks cell (column, row) of one of the colour chooser's colour grids.
// Selects the combo box item whose data is `data`, as the user would.
bool SelectByData(HWND dialog, int comboId, LRESULT data)
{
    HWND combo = GetDlgItem(dialog, comboId);
    LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        if (SendMessageA(combo, CB_GETITEMDATA, i, 0) == data) {
            SendMessageA(combo, CB_SETCURSEL, i, 0);
            SendMessageA(
                dialog, WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
            return true;
        }
    }
    return false;
}

LRESULT SelectedData(HWND dialog, int comboId)
{
    HWND combo = GetDlgItem(dialog, comboId);
    LRESULT index = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : SendMessageA(combo, CB_GETITEMDATA, index, 0);
}

struct FaceSearch {
    std::vector<std::string> faces;
};

int CALLBACK CollectFace(const LOGFONTA* font, const TEXTMETRICA*, DWORD type, LPARAM param)
{
    if ((type & TRUETYPE_FONTTYPE) && font->lfCharSet == ANSI_CHARSET && font->lfFaceName[0] != '@')
        reinterpret_cast<FaceSearch*>(param)->faces.emplace_back(font->lfFaceName);
    return 1;
}

// A Western TrueType face that this machine has, so that the chooser can
// start from it.
const std::string& ChooserFace()
{
    static const std::string face = [] {
        FaceSearch search;
        HDC screen = GetDC(nullptr);
        LOGFONTA all{};
        all.lfCharSet = DEFAULT_CHARSET;
        EnumFontFamiliesExA(screen, &all, CollectFace, reinterpret_cast<LPARAM>(&search), 0);
        ReleaseDC(nullptr, screen);
        for (const char* preferred : {"Tahoma", "Arial", "Liberation Sans", "DejaVu Sans"}) {
            for (const std::string& face : search.faces) {
                if (face == preferred)
                    return face;
            }
        }
        return search.faces.empty() ? std::string() : search.faces.front();
    }();
    return face;
}

LOGFONTA ChooserFont(int points)
{
    LOGFONTA font{};
    font.lfHeight = -MulDiv(points, ScreenDpi(), 72);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = ANSI_CHARSET;
    lstrcpynA(font.lfFaceName, ChooserFace().c_str(), LF_FACESIZE);
    return font;
}

struct Player {
    bool found = false;
    bool ok = true;
    LRESULT seen = 0;
    int cell = 0;
};

} // namespace

TEST(Pickers, FirstColourChooserOffersTheProgramsCustomColours)
{
    ResetCustomColours();
    COLORREF* table = CustomColours();
    for (int i = 0; i < 16; ++i)
        table[i] = 0x00123456;

    Player player;
    COLORREF colour = 0x00000000;
    int result;
    {
        DeferredAction user(
            0,
            [](void* context) {
                auto* player = static_cast<Player*>(context);
                HWND dialog = WaitForThreadWindow("#32770", kDialogTimeout);
                if (!dialog)
                    return;
                player->found = true;
                ClickCell(dialog, COLOR_CUSTOM1, 2, 8, 1, 0);
                Press(dialog, IDOK);
            },
            &player);
        result = PickColour(nullptr, &colour);
    }
    ASSERT_TRUE(player.found) << "no colour chooser appeared";
    EXPECT_EQ(GetSysColor(COLOR_INFOBK), table[0]) << "custom colour 1: tooltip background";
    EXPECT_EQ(0x00C0DCC0u, table[1]) << "custom colour 2";
    EXPECT_EQ(0x00F0CCA8u, table[2]) << "custom colour 3";
    for (int i = 3; i < 16; ++i)
        EXPECT_EQ(0xFFFFFFFFu, table[i]) << "custom colour " << i + 1;
    EXPECT_EQ(1, result);
    EXPECT_EQ(0x00C0DCC0u, colour) << "the chooser was given the table: its second custom colour was picked";

    // Filled once per process: a later chooser keeps what is there.
    table[5] = 0x00ABCDEF;
    {
        DeferredAction user(
            0,
            [](void*) {
                if (HWND dialog = WaitForThreadWindow("#32770", kDialogTimeout))
                    Press(dialog, IDCANCEL);
            },
            nullptr);
        PickColour(nullptr, &colour);
    }
    EXPECT_EQ(0x00ABCDEFu, table[5]);
}

TEST(Pickers, CancelledColourChooserChangesNothing)
{
    Player player;
    COLORREF colour = 0x00112233;
    int result;
    {
        DeferredAction user(
            0,
            [](void* context) {
                HWND dialog = WaitForThreadWindow("#32770", kDialogTimeout);
                if (!dialog)
                    return;
                static_cast<Player*>(context)->found = true;
                ClickCell(dialog, COLOR_BOX1, 6, 8, 0, 0);
                Press(dialog, IDCANCEL);
            },
            &player);
        result = PickColour(nullptr, &colour);
    }
    ASSERT_TRUE(player.found);
    EXPECT_EQ(0, result);
    EXPECT_EQ(0x00112233u, colour);
}

TEST(Pickers, ColourChooserNeedsAColour)
{
    Player player;
    {
        DeferredAction guard(
            0,
            [](void* context) {
                if (HWND dialog = WaitForThreadWindow("#32770", 500)) {
                    static_cast<Player*>(context)->found = true;
                    Press(dialog, IDCANCEL);
                }
            },
            &player);
        EXPECT_EQ(0, PickColour(nullptr, nullptr));
    }
    EXPECT_FALSE(player.found) << "no chooser without a colour";
}

// The user opens the colour definition, picks a basic colour and adds it to
// the custom colours with the chooser's own button.
TEST(Pickers, CustomColourAddedInOneChooserAppearsInTheNext)
{
    ResetCustomColours();
    COLORREF colour = 0x00000000;
    {
        DeferredAction user(
            0,
            [](void*) {
                HWND dialog = WaitForThreadWindow("#32770", kDialogTimeout);
                if (!dialog)
                    return;
                // Sent: the grid is read only once the definition is open.
                SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(COLOR_MIX, BN_CLICKED),
                    reinterpret_cast<LPARAM>(GetDlgItem(dialog, COLOR_MIX)));
                ClickCell(dialog, COLOR_BOX1, 6, 8, 0, 0);
                Press(dialog, COLOR_ADD);
                Press(dialog, IDOK);
            },
            nullptr);
        ASSERT_EQ(1, PickColour(nullptr, &colour));
    }
    ASSERT_NE(0x00000000u, colour) << "a basic colour was chosen";
    COLORREF* table = CustomColours();
    int added = -1;
    for (int i = 0; i < 16; ++i) {
        if (table[i] == colour)
            added = i;
    }
    ASSERT_NE(-1, added) << "the added colour is in the program's table";

    Player player;
    player.cell = added;
    COLORREF next = 0x00FFFFFF;
    {
        DeferredAction user(
            0,
            [](void* context) {
                auto* player = static_cast<Player*>(context);
                HWND dialog = WaitForThreadWindow("#32770", kDialogTimeout);
                if (!dialog)
                    return;
                ClickCell(dialog, COLOR_CUSTOM1, 2, 8, player->cell % 8, player->cell / 8);
                Press(dialog, IDOK);
            },
            &player);
        ASSERT_EQ(1, PickColour(nullptr, &next));
    }
    EXPECT_EQ(colour, next) << "the next chooser offers custom colour " << added + 1;
}

TEST(Pickers, FontChooserGivesTheChosenFontAndColour)
{
    LOGFONTA font = ChooserFont(10);
    COLORREF colour = 0x00000000;
    Player player;
    int result;
    {
        DeferredAction user(
            0,
            [](void* context) {
                auto* player = static_cast<Player*>(context);
                HWND dialog = WaitForThreadWindow("#32770", kDialogTimeout);
                if (!dialog)
                    return;
                player->found = SelectByData(dialog, cmb3, 12) && SelectByData(dialog, cmb4, 0x000000FF);
                Press(dialog, player->found ? IDOK : IDCANCEL);
            },
            &player);
        result = PickFont(nullptr, &font, &colour);
    }
    ASSERT_TRUE(player.found) << "size 12 and red were offered";
    EXPECT_EQ(1, result);
    EXPECT_EQ(ChooserFace(), font.lfFaceName);
    EXPECT_EQ(-MulDiv(12, ScreenDpi(), 72), font.lfHeight) << "12 points";
    EXPECT_EQ(0x000000FFu, colour);
}

TEST(Pickers, CancelledFontChooserChangesNothing)
{
    const LOGFONTA original = ChooserFont(10);
    LOGFONTA font = original;
    COLORREF colour = 0x00008000;
    Player player;
    int result;
    {
        DeferredAction user(
            0,
            [](void* context) {
                HWND dialog = WaitForThreadWindow("#32770", kDialogTimeout);
                if (!dialog)
                    return;
                static_cast<Player*>(context)->found = true;
                SelectByData(dialog, cmb3, 24);
                SelectByData(dialog, cmb4, 0x000000FF);
                Press(dialog, IDCANCEL);
            },
            &player);
        result = PickFont(nullptr, &font, &colour);
    }
    ASSERT_TRUE(player.found);
    EXPECT_EQ(0, result);
    EXPECT_EQ(0, std::memcmp(&original, &font, sizeof(font))) << "font description untouched";
    EXPECT_EQ(0x00008000u, colour);
}

TEST(Pickers, SeventyTwoPointFontPassesThroughTheSizeLimits)
{
    LOGFONTA font = ChooserFont(72);
    COLORREF colour = 0x00FF0000;
    int result;
    {
        DeferredAction user(
            0,
            [](void*) {
                if (HWND dialog = WaitForThreadWindow("#32770", kDialogTimeout))
                    Press(dialog, IDOK);
            },
            nullptr);
        result = PickFont(nullptr, &font, &colour);
    }
    EXPECT_EQ(1, result) << "72 points is accepted although the chooser names 20 as minimum and maximum";
    EXPECT_EQ(ChooserFace(), font.lfFaceName);
    EXPECT_EQ(-ScreenDpi(), font.lfHeight) << "still 72 points";
    EXPECT_EQ(FW_NORMAL, font.lfWeight);
    EXPECT_EQ(0, font.lfItalic);
    EXPECT_EQ(0x00FF0000u, colour);
}

TEST(Pickers, FontChooserWithoutColourStartsFromBlack)
{
    LOGFONTA font = ChooserFont(10);
    Player player;
    player.seen = -2;
    int result;
    {
        DeferredAction user(
            0,
            [](void* context) {
                auto* player = static_cast<Player*>(context);
                HWND dialog = WaitForThreadWindow("#32770", kDialogTimeout);
                if (!dialog)
                    return;
                player->seen = SelectedData(dialog, cmb4);
                Press(dialog, IDOK);
            },
            &player);
        result = PickFont(nullptr, &font, nullptr);
    }
    EXPECT_EQ(1, result);
    EXPECT_EQ(0, player.seen) << "black is selected in the colour list";
}

TEST(Pickers, FontDescriptionRoundsPointsHalfUp)
{
    const int dpi = ScreenDpi();
    ASSERT_GT(dpi, 0);
    struct Case {
        LONG height;
        long at96;
        long at120;
    } cases[] = {{-16, 12, 10}, {16, 12, 10}, {-13, 10, 8}, {-15, 11, 9}, {-20, 15, 12}, {17, 13, 10}};
    for (const Case& c : cases) {
        LOGFONTA description = ChooserFont(10);
        description.lfHeight = c.height;
        HFONT font = CreateFontIndirectA(&description);
        ASSERT_NE(nullptr, font);
        // Half-up rounding of |height| * 72 / dpi in whole numbers.
        long points = (std::labs(c.height) * 144 + dpi) / (2 * dpi);
        if (dpi == 96) {
            EXPECT_EQ(c.at96, points);
        } else if (dpi == 120) {
            EXPECT_EQ(c.at120, points);
        }
        char buffer[64];
        std::memset(buffer, 'x', sizeof(buffer));
        EXPECT_EQ(buffer, DescribeFont(font, buffer));
        EXPECT_EQ(ChooserFace() + " (" + std::to_string(points) + ")", std::string(buffer))
            << "height " << c.height << " at " << dpi << " pixels per inch";
        DeleteObject(font);
    }
}

TEST(Pickers, FontDescriptionKeepsTheJapaneseFaceName)
{
    LOGFONTA description;
    SetDefaultFont(&description);
    HFONT font = CreateFontIndirectA(&description);
    char buffer[64];
    ASSERT_EQ(buffer, DescribeFont(font, buffer));
    long points = (17 * 144 + ScreenDpi()) / (2 * ScreenDpi());
    EXPECT_EQ(std::string("\x82\x6C\x82\x72 \x96\xBE\x92\xA9 (") + std::to_string(points) + ")",
        std::string(buffer));
    EXPECT_EQ(nullptr, DescribeFont(font, nullptr));
    EXPECT_EQ(nullptr, DescribeFont(nullptr, buffer));
    DeleteObject(font);
}
