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
    EXPECT_EQ((std::vector<int>{1, 0, 2}), FilterAndSort(rows, "", kColumnText, false));
    EXPECT_EQ((std::vector<int>{2, 1, 0}), FilterAndSort(rows, "", kColumnDue, false));
    EXPECT_EQ((std::vector<int>{0, 1, 2}), FilterAndSort(rows, "", kColumnDue, true));
    EXPECT_EQ((std::vector<int>{2, 1, 0}), FilterAndSort(rows, "", kColumnState, false));
}

// Typing in the list: the next row, in the order shown, whose note begins
// with what was typed, folded as the search folds.
TEST(NoteSearch, TypingSelectsTheNextRowThatBeginsWithIt)
{
    std::vector<NoteRow> rows(4);
    const char8_t* texts[] = {u8"買い物\r\n牛乳", u8"会議 10時", u8"買い置き", u8"ＡＢＣ商事"};
    for (int i = 0; i < 4; ++i)
        rows[i].text = Sjis(texts[i]);
    const std::vector<int> order = {3, 1, 0, 2};
    struct Case {
        const wchar_t* typed;
        int start;
        bool wrap;
        int found;
    } const cases[] = {
        {L"\u8CB7", 0, true, 2}, // 買: the first in the order shown
        {L"\u8CB7", 3, true, 3}, // from the row after the selection
        {L"\u8CB7\u3044\u7F6E", 0, true, 3},
        {L"\u8CB7", 3, false, 3},
        {L"\u4F1A", 2, false, -1},      // 会 lies before the start
        {L"\u4F1A", 2, true, 1},        // and is found round the top
        {L"abc", 0, true, 0},           // full-width letters fold
        {L"\u725B\u4E73", 0, true, -1}, // the second line does not begin the note
        {L"", 0, true, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.found, FindRowByPrefix(rows, order, c.typed, c.start, c.wrap))
            << "case " << (&c - cases) << ", from " << c.start;
}

// The list's caption shows the icon's own small image, not the large one
// squeezed.
TEST(NoteListWindow, CaptionShowsTheIconsSmallImage)
{
    ScopedAppState app;
    OpenNoteList();
    HWND list = NoteListWindow();
    ASSERT_NE(nullptr, list);
    ICONINFO parts = {};
    auto icon = reinterpret_cast<HICON>(SendMessageW(list, WM_GETICON, ICON_SMALL, 0));
    ASSERT_TRUE(GetIconInfo(icon, &parts));
    BITMAP image = {};
    GetObjectW(parts.hbmColor ? parts.hbmColor : parts.hbmMask, sizeof(image), &image);
    EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), image.bmWidth);
    DeleteObject(parts.hbmColor);
    DeleteObject(parts.hbmMask);
    CloseNoteList();
}
