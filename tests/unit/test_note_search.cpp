// The note list's search and order: what a user types finds the notes that
// hold it, whatever the width or case of its Latin letters and digits.
#include <gtest/gtest.h>

#include "list/note_list.h"
#include "list/note_search.h"
#include "notes/note_events.h"
#include "tests/unit/test_support.h"

TEST(NoteSearch, MatchesByCharacterNotByByte)
{
    struct Case {
        const char8_t* text;
        const char8_t* query;
        bool found;
    } const cases[] = {
        {u8"買い物メモ", u8"メモ", true},
        {u8"買い物メモ", u8"", true},
        {u8"Meeting at 10", u8"MEETING", true},
        {u8"Meeting at 10", u8"ｍｅｅｔｉｎｇ　", false}, // the full-width space is not folded
        {u8"ＡＢＣ商事", u8"abc", true},
        {u8"abc商事", u8"ＡＢＣ", true},
        {u8"内線１２３", u8"123", true},
        {u8"内線123", u8"１２３", true},
        // The trail bytes of ア (83 41) and 表 (95 5C) are "A" and "\".
        {u8"アイス", u8"A", false},
        {u8"アイス", u8"a", false},
        {u8"表計算", u8"\\", false},
        {u8"表計算", u8"計算", true},
        {u8"ｱｲｽ", u8"アイス", false}, // half-width katakana stay apart
        {u8"アイス", u8"ア", true},
    };
    for (const Case& c : cases) {
        std::string text = Sjis(c.text);
        std::string query = Sjis(c.query);
        EXPECT_EQ(c.found, NoteMatches(text, query))
            << reinterpret_cast<const char*>(c.query) << " in " << reinterpret_cast<const char*>(c.text);
    }
}

TEST(NoteSearch, ColumnsSortAndUnsetDueDatesComeLast)
{
    std::vector<NoteRow> rows(3);
    rows[0].id = 1;
    rows[0].title = L"b";
    rows[0].state = NoteState::kInBin;
    rows[1].id = 2;
    rows[1].title = L"A";
    rows[1].due = LocalTime(2030, 1, 2, 0, 0);
    rows[1].state = NoteState::kHidden;
    rows[2].id = 3;
    rows[2].title = L"c";
    rows[2].due = LocalTime(2030, 1, 1, 0, 0);
    EXPECT_EQ((std::vector<int>{1, 0, 2}), FilterAndSort(rows, L"", kColumnText, false));
    EXPECT_EQ((std::vector<int>{2, 1, 0}), FilterAndSort(rows, L"", kColumnDue, false));
    EXPECT_EQ((std::vector<int>{0, 1, 2}), FilterAndSort(rows, L"", kColumnDue, true));
    EXPECT_EQ((std::vector<int>{2, 1, 0}), FilterAndSort(rows, L"", kColumnState, false));
    rows[0].text.assign(1, '?');
    EXPECT_EQ((std::vector<int>{0}), FilterAndSort(rows, L"?", kColumnText, false));
    EXPECT_TRUE(FilterAndSort(rows, L"\u2603", kColumnText, false).empty()) << "in no note, not a \"?\"";
}

// Typing in the list: the next row in the order shown, from the start and
// round the top when asked, whose note begins with what was typed, folded.
TEST(NoteSearch, TypingSelectsTheNextRowThatBeginsWithIt)
{
    std::vector<NoteRow> rows(3);
    rows[0].text = Sjis(u8"会議\r\n買う");
    rows[1].text = Sjis(u8"買い物");
    rows[2].text = Sjis(u8"ＡＢＣ商事");
    const std::vector<int> order = {2, 0, 1};
    EXPECT_EQ(2, FindRowByPrefix(rows, order, L"\x8CB7", 0, true)); // 買, not the second line of 会議
    EXPECT_EQ(1, FindRowByPrefix(rows, order, L"\x4F1A", 2, true)) << "round the top";
    EXPECT_EQ(-1, FindRowByPrefix(rows, order, L"abc", 1, false)) << "full-width letters fold, no wrap";
    rows[1].text.assign(1, '?');
    EXPECT_EQ(-1, FindRowByPrefix(rows, order, L"\u2603", 0, true));
}

// The caption shows the icon's own small image, not the large one squeezed.
TEST(NoteListWindow, CaptionShowsTheIconsSmallImage)
{
    ScopedAppState app;
    OpenNoteList();
    ICONINFO parts = {};
    BITMAP image = {};
    ASSERT_TRUE(GetIconInfo(
        reinterpret_cast<HICON>(SendMessageW(NoteListWindow(), WM_GETICON, ICON_SMALL, 0)), &parts));
    GetObjectW(parts.hbmMask, sizeof(image), &image);
    EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), image.bmWidth);
    DeleteObject(parts.hbmColor);
    DeleteObject(parts.hbmMask);
    CloseNoteList();
}
