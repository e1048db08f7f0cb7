// Showing, hiding, arranging and resizing all notes at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "layout/layout_commands.h"
#include "notes/app_state.h"
#include "notes/note_table.h"
#include "res/resource.h"
#include "tests/unit/test_support.h"

namespace
{

std::vector<POINT> Arrange(const std::vector<SIZE>& sizes, int screenHeight)
{
    std::vector<POINT> places(sizes.size(), POINT{-1, -1});
    ComputeArrangement(sizes.data(), static_cast<int>(sizes.size()), screenHeight, places.data());
    return places;
}

void ExpectPlace(const POINT& place, int x, int y, const char* what)
{
    EXPECT_EQ(x, place.x) << what;
    EXPECT_EQ(y, place.y) << what;
}

RECT RectOf(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

// The yes/no question of the arrange command, answered from a helper thread.
struct Question {
    int answer;
    std::string text;
    std::string caption;
    bool seen = false;
};

void AnswerQuestion(void* context)
{
    auto* question = static_cast<Question*>(context);
    HWND box = WaitForThreadWindow("#32770", 5000);
    if (!box)
        return;
    question->seen = true;
    question->text = MessageBoxText(box);
    char caption[128] = {};
    GetWindowTextA(box, caption, sizeof(caption));
    question->caption = caption;
    PostMessageA(box, WM_COMMAND, question->answer, 0);
}

class LayoutCommands : public testing::Test
{
protected:
    // A note window in the table at the given place and size.
    HWND AddNote(int left, int top, int width, int height, const char* text = nullptr)
    {
        NoteRecord source = {};
        source.backColour = RGB(0xFF, 0xFF, 0xE1);
        source.left = left;
        source.top = top;
        source.width = width;
        source.height = height;
        source.id = ++lastId_;
        source.text = const_cast<char*>(text);
        LOGFONTA font;
        SetDefaultFont(&font);
        int slot = FindFreeNoteSlot(nullptr, 0);
        if (slot < 0 || !CreateNoteWindow(nullptr, &source, &font))
            return nullptr;
        return app_->noteWindows[slot];
    }

    // The user's own hide command: the window goes and the record says so.
    static void HideByUser(HWND note)
    {
        NoteRecordOf(note)->hidden = 1;
        ShowWindow(note, SW_HIDE);
    }

    Question ArrangeAnswering(int answer)
    {
        Question question;
        question.answer = answer;
        {
            DeferredAction action(100, AnswerQuestion, &question);
            ArrangeNotes(nullptr);
        }
        return question;
    }

    ScopedAppState app_;
    int lastId_ = 0;
};

} // namespace

TEST(ArrangementColumns, ThreeNotesOnA768PixelScreen)
{
    std::vector<POINT> places = Arrange({{200, 400}, {150, 400}, {300, 100}}, 768);
    ExpectPlace(places[0], 3, 3, "first note");
    ExpectPlace(places[1], 206, 3, "second note opens a column after the first's width");
    ExpectPlace(places[2], 206, 406, "third note below the second");
}

TEST(ArrangementColumns, ANoteThatWrapsSetsTheWidthOfItsNewColumn)
{
    // The second note is too tall for what is left of the first column.
    std::vector<POINT> places = Arrange({{100, 500}, {200, 500}, {50, 500}}, 768);
    ExpectPlace(places[0], 3, 3, "first column");
    ExpectPlace(places[1], 106, 3, "second column starts after the 100-pixel note");
    ExpectPlace(places[2], 309, 3, "third column starts after the 200-pixel note");
}

TEST(ArrangementColumns, NotesStackWithThreePixelGapsUntilTheScreenEnds)
{
    // 3 + 250 + 3 + 250 + 3 + 250 = 759: three fit exactly on 759 pixels.
    std::vector<POINT> places = Arrange({{80, 250}, {90, 250}, {70, 250}, {60, 250}}, 759);
    ExpectPlace(places[0], 3, 3, "first");
    ExpectPlace(places[1], 3, 256, "second");
    ExpectPlace(places[2], 3, 509, "third ends on the last row");
    ExpectPlace(places[3], 96, 3, "fourth wraps after the widest (90)");
}

TEST(ArrangementColumns, ANoteTallerThanTheScreenStandsAloneAtTheEdge)
{
    std::vector<POINT> places = Arrange({{120, 900}, {40, 30}, {50, 900}, {60, 30}}, 768);
    ExpectPlace(places[0], 3, 3, "a tall first note keeps the left edge, with no empty column before it");
    ExpectPlace(places[1], 126, 3, "the next note gets its own column");
    ExpectPlace(places[2], 169, 3, "a tall note after others opens a column");
    ExpectPlace(places[3], 222, 3, "and the note after it another");
}

TEST(ArrangementColumns, NoNotesWritesNothing)
{
    POINT untouched = {-7, -7};
    ComputeArrangement(nullptr, 0, 768, &untouched);
    EXPECT_EQ(-7, untouched.x);
}

TEST_F(LayoutCommands, ArrangeAsksAndNoChangesNothing)
{
    HWND a = AddNote(500, 300, 120, 80);
    HWND b = AddNote(40, 600, 90, 60);
    ASSERT_TRUE(a && b);
    Question question = ArrangeAnswering(IDNO);
    ASSERT_TRUE(question.seen) << "arrange asks first";
    EXPECT_EQ(Sjis("整列しますか？"), question.text);
    EXPECT_EQ(Sjis("処理の確認"), question.caption);
    EXPECT_EQ(500, RectOf(a).left);
    EXPECT_EQ(300, RectOf(a).top);
    EXPECT_EQ(40, RectOf(b).left);
    EXPECT_EQ(500, NoteRecordOf(a)->left);
    EXPECT_EQ(600, NoteRecordOf(b)->top);
}

TEST_F(LayoutCommands, ArrangeYesPlacesVisibleNotesInColumnsOnTheRealScreen)
{
    // Two half-screen notes do not stack within the screen's height, though
    // they would within its width: the second must open a column.
    const int height = GetSystemMetrics(SM_CYSCREEN);
    ASSERT_GT(GetSystemMetrics(SM_CXSCREEN), height + 6) << "a screen wider than tall tells them apart";
    HWND first = AddNote(600, 100, 200, height / 2);
    HWND hidden = AddNote(700, 50, 500, 500);
    HWND second = AddNote(10, 200, 150, height / 2);
    HWND third = AddNote(300, 300, 300, 100);
    ASSERT_TRUE(first && hidden && second && third);
    HideByUser(hidden);

    Question question = ArrangeAnswering(IDYES);
    ASSERT_TRUE(question.seen);

    const POINT expected[] = {{3, 3}, {206, 3}, {206, 6 + height / 2}};
    HWND arranged[] = {first, second, third};
    for (int i = 0; i < 3; ++i) {
        RECT rect = RectOf(arranged[i]);
        EXPECT_EQ(expected[i].x, rect.left) << "note " << i;
        EXPECT_EQ(expected[i].y, rect.top) << "note " << i;
        EXPECT_EQ(expected[i].x, NoteRecordOf(arranged[i])->left) << "record of note " << i;
        EXPECT_EQ(expected[i].y, NoteRecordOf(arranged[i])->top) << "record of note " << i;
    }
    EXPECT_EQ(200, RectOf(first).right - RectOf(first).left) << "arranging keeps sizes";
    EXPECT_EQ(700, RectOf(hidden).left) << "a hidden note is neither moved nor counted";
    EXPECT_FALSE(IsWindowVisible(hidden));
    EXPECT_EQ(700, NoteRecordOf(hidden)->left);
}

TEST_F(LayoutCommands, ArrangeWithEveryNoteHiddenStillAsksAndMovesNothing)
{
    HWND a = AddNote(400, 400, 100, 100);
    HWND b = AddNote(450, 420, 100, 100);
    ASSERT_TRUE(a && b);
    ShowAllNotes(1);
    Question question = ArrangeAnswering(IDYES);
    EXPECT_TRUE(question.seen);
    EXPECT_EQ(400, RectOf(a).left);
    EXPECT_EQ(450, RectOf(b).left);
    EXPECT_FALSE(IsWindowVisible(a));
    EXPECT_FALSE(IsWindowVisible(b));
}

TEST_F(LayoutCommands, FitToTheWidestKeepsHeights)
{
    HWND a = AddNote(100, 100, 120, 50);
    HWND b = AddNote(100, 200, 80, 70);
    HWND c = AddNote(100, 300, 200, 30);
    ASSERT_TRUE(a && b && c);
    FitNoteSizes(IDM_FIT_WIDTH);
    int heights[] = {50, 70, 30};
    HWND notes[] = {a, b, c};
    for (int i = 0; i < 3; ++i) {
        RECT rect = RectOf(notes[i]);
        EXPECT_EQ(200, rect.right - rect.left) << "width of note " << i;
        EXPECT_EQ(heights[i], rect.bottom - rect.top) << "height of note " << i;
        EXPECT_EQ(200, NoteRecordOf(notes[i])->width);
        EXPECT_EQ(heights[i], NoteRecordOf(notes[i])->height);
        EXPECT_EQ(100, rect.left) << "fitting does not move";
    }
}

TEST_F(LayoutCommands, FitToTheTallestAndToTheLargestArea)
{
    HWND a = AddNote(100, 100, 120, 50);
    HWND b = AddNote(100, 200, 80, 70);
    ASSERT_TRUE(a && b);
    FitNoteSizes(IDM_FIT_HEIGHT);
    EXPECT_EQ(120, RectOf(a).right - RectOf(a).left);
    EXPECT_EQ(70, RectOf(a).bottom - RectOf(a).top);
    EXPECT_EQ(80, RectOf(b).right - RectOf(b).left);
    FitNoteSizes(IDM_FIT_BOTH);
    EXPECT_EQ(120, RectOf(b).right - RectOf(b).left);
    EXPECT_EQ(70, RectOf(b).bottom - RectOf(b).top);
    EXPECT_EQ(120, NoteRecordOf(b)->width);
    EXPECT_EQ(70, NoteRecordOf(b)->height);
}

TEST_F(LayoutCommands, FitLeavesHiddenNotesOutOfTheMeasureAndAlone)
{
    HWND shown = AddNote(100, 100, 120, 50);
    HWND hidden = AddNote(100, 200, 400, 300);
    ASSERT_TRUE(shown && hidden);
    HideByUser(hidden);
    FitNoteSizes(IDM_FIT_BOTH);
    EXPECT_EQ(120, RectOf(shown).right - RectOf(shown).left) << "the hidden note's width does not count";
    EXPECT_EQ(400, RectOf(hidden).right - RectOf(hidden).left);

    ShowAllNotes(1);
    FitNoteSizes(IDM_FIT_WIDTH);
    EXPECT_EQ(120, RectOf(shown).right - RectOf(shown).left) << "with every note hidden nothing changes";
    EXPECT_EQ(400, NoteRecordOf(hidden)->width);
}

TEST_F(LayoutCommands, OptimiseSizesNotesWithTextAndLeavesEmptyOnes)
{
    HWND worded = AddNote(100, 100, 500, 400, "abc");
    HWND empty = AddNote(100, 300, 90, 40);
    ASSERT_TRUE(worded && empty);
    FitNoteSizes(IDM_OPTIMIZE);
    RECT rect = RectOf(worded);
    EXPECT_LT(rect.right - rect.left, 500) << "measured to its text";
    EXPECT_LT(rect.bottom - rect.top, 400);
    EXPECT_EQ(NoteRecordOf(worded)->width, rect.right - rect.left);
    EXPECT_EQ(NoteRecordOf(worded)->height, rect.bottom - rect.top);
    EXPECT_EQ(90, RectOf(empty).right - RectOf(empty).left);
    EXPECT_EQ(40, RectOf(empty).bottom - RectOf(empty).top);
}

TEST_F(LayoutCommands, HideAllThenShowAllRaisesTheNotesInSlotOrder)
{
    HWND notes[] = {AddNote(100, 100, 100, 100), AddNote(120, 120, 100, 100), AddNote(140, 140, 100, 100)};
    for (HWND note : notes)
        ASSERT_TRUE(note);

    ShowAllNotes(1);
    for (HWND note : notes) {
        EXPECT_FALSE(IsWindowVisible(note));
        EXPECT_EQ(1, NoteRecordOf(note)->hidden);
    }

    ShowAllNotes(0);
    for (HWND note : notes) {
        EXPECT_TRUE(IsWindowVisible(note));
        EXPECT_EQ(0, NoteRecordOf(note)->hidden);
    }
    // Walk the z-order from the top: the highest slot first, then down.
    std::vector<HWND> order;
    for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
        if (std::find(std::begin(notes), std::end(notes), window) != std::end(notes))
            order.push_back(window);
    }
    ASSERT_EQ(3u, order.size());
    EXPECT_EQ(notes[2], order[0]) << "the note in the highest slot is on top";
    EXPECT_EQ(notes[1], order[1]);
    EXPECT_EQ(notes[0], order[2]);
}
