// The note menu's commands: properties, hide and size optimisation.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "editor/pickers.h"
#include "notes/note_commands.h"
#include "notes/text_convert.h"
#include "res/resource.h"
#include "tests/unit/test_note_window_support.h"
#include "tests/unit/test_support.h"

namespace
{

std::string Properties(const NoteRecord& record, const FILETIME& now)
{
    char buffer[4096];
    FormatNoteProperties(&record, &now, buffer, sizeof(buffer));
    return buffer;
}

std::string ExpectedFontLine()
{
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    long points = static_cast<long>(17 * 72.0 / dpi + 0.5);
    return Sjis("ＭＳ 明朝") + " (" + std::to_string(points) + ")";
}

// The example note: 100, 200, 150 x 80, ID 3, default font, no due time,
// black on the classic tooltip colour.
class NoteProperties : public testing::Test
{
protected:
    void SetUp() override
    {
        LOGFONTA logFont;
        SetDefaultFont(&logFont);
        font_ = CreateFontIndirectA(&logFont);
        record_.left = 100;
        record_.top = 200;
        record_.width = 150;
        record_.height = 80;
        record_.id = 3;
        record_.font = font_;
        record_.foreColour = RGB(0, 0, 0);
        record_.backColour = RGB(0xFF, 0xFF, 0xE1);
        record_.created = LocalTime(2000, 4, 30, 9, 15, 0);
    }
    void TearDown() override { DeleteObject(font_); }

    ScopedAppState state_;
    HFONT font_ = nullptr;
    NoteRecord record_ = {};
    FILETIME now_ = LocalTime(2000, 5, 1, 12, 0, 0);
};

struct BoxSeen {
    std::string text;
    std::string caption;
    int busy = -1;
    int boxes = 0;
};

void ReadAndCloseBox(void* context)
{
    auto* seen = static_cast<BoxSeen*>(context);
    HWND box = WaitForThreadWindow("#32770", 5000);
    if (!box)
        return;
    ++seen->boxes;
    seen->busy = App() ? App()->noteCommandBusy.load() : -1;
    seen->text = MessageBoxText(box);
    char caption[128] = {};
    GetWindowTextA(box, caption, sizeof(caption));
    seen->caption = caption;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

} // namespace

TEST_F(NoteProperties, TheExampleNoteGivesTheDocumentedLines)
{
    std::string expected = "L : 100, T: 200, W: 150, H: 80, ID: 3\n"
                           "Font: "
        + ExpectedFontLine()
        + "\n"
          "\n"
          "Now:  2000/05/01 12:00:00\n"
          "Make: 2000/04/30 09:15:00\n"
          "Time: "
        + Sjis("期日の指定はありません。")
        + "\n"
          "\n"
          "Fore: 000000\n"
          "Back: E1FFFF\n"
          "Del: Off, Hide: Off, Draw: 0, Comp: 0";
    EXPECT_EQ(expected, Properties(record_, now_));
}

TEST_F(NoteProperties, FlagsColoursAndTheDueStateAreReported)
{
    record_.foreColour = RGB(255, 0, 0);
    record_.backColour = RGB(0x12, 0x34, 0x56);
    record_.deleted = 1;
    record_.hidden = 1;
    record_.drawState = 2;
    record_.left = -20;
    record_.due = LocalTime(2000, 5, 1, 11, 59, 59);
    std::string text = Properties(record_, now_);
    EXPECT_NE(std::string::npos, text.find("L : -20, T: 200,")) << text;
    EXPECT_NE(std::string::npos, text.find("\nTime: 2000/05/01 11:59:59\n")) << text;
    EXPECT_NE(std::string::npos, text.find("\nFore: 0000FF\n")) << "pure red prints blue first";
    EXPECT_NE(std::string::npos, text.find("\nBack: 563412\n")) << text;
    EXPECT_NE(std::string::npos, text.find("\nDel: On, Hide: On, Draw: 2, Comp: 3")) << "a passed due time";

    record_.due = LocalTime(2000, 5, 2, 8, 0, 0);
    EXPECT_NE(std::string::npos, Properties(record_, now_).find("Comp: 1")) << "due tomorrow";
    record_.due = LocalTime(2000, 5, 1, 18, 0, 0);
    EXPECT_NE(std::string::npos, Properties(record_, now_).find("Comp: 2")) << "due later today";
}

TEST_F(NoteProperties, ASmallBufferIsCutNotOverrun)
{
    char buffer[24];
    std::memset(buffer, 'z', sizeof(buffer));
    FormatNoteProperties(&record_, &now_, buffer, 16);
    EXPECT_EQ(std::string("L : 100, T: 200"), std::string(buffer));
    EXPECT_EQ('z', buffer[16]) << "nothing written past the given size";
}

TEST_F(NoteProperties, TheBoxShowsTheTextWithItsCaptionWhileTheCommandIsBusy)
{
    TestNote note("props", 100, 200, 150, 80);
    BoxSeen seen;
    {
        DeferredAction answer(100, ReadAndCloseBox, &seen);
        SendMessageA(note.window(), WM_COMMAND, IDM_NOTE_PROPERTIES, 0);
    }
    ASSERT_EQ(1, seen.boxes);
    EXPECT_EQ(Sjis("情報"), seen.caption);
    EXPECT_EQ(0, seen.text.rfind("L : 100, T: 200, W: 150, H: 80, ID: 7\nFont: ", 0)) << seen.text;
    EXPECT_NE(std::string::npos, seen.text.find("\nDel: Off, Hide: Off, Draw: 0, Comp: 0")) << seen.text;
    EXPECT_EQ(1, seen.busy) << "note command busy while the box is open";
    EXPECT_EQ(0, state_->noteCommandBusy);
}

TEST_F(NoteProperties, TheEditorsWorkingRecordCanBeShownForAnyOwner)
{
    TestNote note("props", 10, 20, 30, 40);
    BoxSeen seen;
    {
        DeferredAction answer(100, ReadAndCloseBox, &seen);
        ShowNoteProperties(note.window(), &record_);
    }
    ASSERT_EQ(1, seen.boxes);
    EXPECT_EQ(0, seen.text.rfind("L : 100, T: 200, W: 150, H: 80, ID: 3\n", 0)) << "the given record wins";

    // Without a record of its own the owner shows nothing.
    note.Detach();
    BoxSeen none;
    {
        DeferredAction answer(300, ReadAndCloseBox, &none);
        ShowNoteProperties(note.window(), nullptr);
        WaitForThreadWindow("#32770", 500);
    }
    EXPECT_EQ(0, none.boxes);
}

TEST(NoteHide, HidesTheWindowAndSetsTheFlag)
{
    ScopedAppState state;
    TestNote note("hide", 10, 10, 60, 40);
    SendMessageA(note.window(), WM_COMMAND, IDM_NOTE_HIDE, 0);
    EXPECT_FALSE(IsWindowVisible(note.window()));
    EXPECT_EQ(1, note.record()->hidden);
}

namespace
{

SIZE NeededSize(const NoteRecord* record)
{
    NoteRecord scratch = *record;
    EXPECT_EQ(1, MeasureNoteSize(&scratch, 1));
    return {scratch.width, scratch.height};
}

} // namespace

TEST(NoteOptimize, SizesTheWindowToWhatTheTextNeedsWithoutMoving)
{
    ScopedAppState state;
    TestNote note("first line\r\nthe second, longer line", 120, 130, 300, 200);
    SIZE needed = NeededSize(note.record());
    ASSERT_GT(needed.cx, 12);
    // Just larger than needed: only the force flag shrinks it.
    SetWindowPos(note.window(), nullptr, 0, 0, needed.cx + 5, needed.cy + 5, SWP_NOMOVE | SWP_NOZORDER);
    note.record()->width = needed.cx + 5;
    note.record()->height = needed.cy + 5;

    SendMessageA(note.window(), WM_COMMAND, IDM_OPTIMIZE, 0);
    RECT rect;
    GetWindowRect(note.window(), &rect);
    EXPECT_EQ(needed.cx, rect.right - rect.left);
    EXPECT_EQ(needed.cy, rect.bottom - rect.top);
    EXPECT_EQ(120, rect.left) << "not moved";
    EXPECT_EQ(130, rect.top);
    EXPECT_EQ(needed.cx, note.record()->width);
    EXPECT_EQ(needed.cy, note.record()->height);
}

TEST(NoteOptimize, LeavesAHiddenNoteAlone)
{
    ScopedAppState state;
    TestNote note("some text", 120, 130, 300, 200);
    HideNote(note.window());
    OptimizeNoteSize(note.window());
    RECT rect;
    GetWindowRect(note.window(), &rect);
    EXPECT_EQ(300, rect.right - rect.left);
    EXPECT_EQ(200, rect.bottom - rect.top);
    EXPECT_EQ(300, note.record()->width);
    EXPECT_EQ(200, note.record()->height);
}

TEST(NoteOptimize, LeavesANoteWithoutTextAlone)
{
    ScopedAppState state;
    TestNote note("", 120, 130, 300, 200);
    OptimizeNoteSize(note.window());
    RECT rect;
    GetWindowRect(note.window(), &rect);
    EXPECT_EQ(300, rect.right - rect.left);
    EXPECT_EQ(300, note.record()->width);
}
