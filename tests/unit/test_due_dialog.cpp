// The due-date dialog, opened from the real editor's due command; a helper
// thread types into its six fields and presses its buttons.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "due/due_time.h"
#include "editor/editor_window.h"
#include "res/resource.h"
#include "tests/unit/test_editor_support.h"
#include "tests/unit/test_support.h"

using namespace editor_test;

namespace
{

using Fields = std::array<unsigned, 6>;
constexpr int kFieldIds[6]
    = {IDC_DUE_YEAR, IDC_DUE_MONTH, IDC_DUE_DAY, IDC_DUE_HOUR, IDC_DUE_MINUTE, IDC_DUE_SECOND};

bool SameTime(const FILETIME& a, const FILETIME& b)
{
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

std::string DateOf(const FILETIME& time)
{
    char text[64] = {};
    FormatDateText(&time, text);
    return text;
}

Fields ReadFields(HWND dialog)
{
    Fields values{};
    for (int i = 0; i < 6; ++i)
        values[i] = GetDlgItemInt(dialog, kFieldIds[i], nullptr, FALSE);
    return values;
}

void WriteFields(HWND dialog, const Fields& values)
{
    for (int i = 0; i < 6; ++i)
        SetDlgItemInt(dialog, kFieldIds[i], values[i], FALSE);
}

class DueDialog : public EditorFixture
{
protected:
    void SetUp() override
    {
        EditorFixture::SetUp();
        app_->options.dueAmount = 0;
        ASSERT_NE(nullptr, OpenNew());
    }

    // Opens the dialog; `user` plays it on a helper thread and gets the
    // dialog, or null when none appeared.
    void RunDialog(const std::function<void(HWND)>& user)
    {
        RunWithUser(
            [&] {
                HWND dialog = WaitForDialog(kUserTimeout, Sjis("期日の設定"));
                user(dialog);
            },
            [&] { SendMessageA(Editor(), WM_COMMAND, IDM_EDIT_DUE, 0); });
    }

    // Enters the values and presses OK; the fields the dialog showed first.
    Fields Enter(const Fields& values, bool* closed = nullptr)
    {
        Fields shown{};
        RunDialog([&](HWND dialog) {
            if (!dialog)
                return;
            shown = ReadFields(dialog);
            WriteFields(dialog, values);
            Press(dialog, IDOK);
            bool gone = WaitUntilGone(dialog, 2000);
            if (closed)
                *closed = gone;
            if (!gone)
                Press(dialog, IDCANCEL);
        });
        return shown;
    }

    Fields ShownThenCancel()
    {
        Fields shown{};
        RunDialog([&](HWND dialog) {
            if (!dialog)
                return;
            shown = ReadFields(dialog);
            GetWindowRect(dialog, &shownAt_);
            Press(dialog, IDCANCEL);
        });
        return shown;
    }

    RECT shownAt_ = {};

    FILETIME& Due() const { return State()->note.due; }
    std::string Title() const { return WindowString(Editor()); }
};

} // namespace

TEST_F(DueDialog, NoteWithoutDueDateShowsZerosAndOkKeepsNone)
{
    ASSERT_FALSE(IsTimeSet(&Due()));
    bool closed = false;
    Fields shown = Enter(Fields{0, 0, 0, 0, 0, 0}, &closed);
    EXPECT_EQ((Fields{0, 0, 0, 0, 0, 0}), shown) << "six zeros for a note without due date";
    EXPECT_TRUE(closed) << "OK with six zeros closes the dialog";
    EXPECT_FALSE(IsTimeSet(&Due()));
    EXPECT_FALSE(Modified()) << "nothing changed, nothing marked";
    EXPECT_EQ(Sjis("メモの編集 - 期日の指定はありません。"), Title());
}

TEST_F(DueDialog, DayBeyondTheMonthCarriesAndReopensNormalised)
{
    bool closed = false;
    Enter(Fields{2000, 2, 30, 12, 0, 0}, &closed);
    EXPECT_TRUE(closed);
    EXPECT_TRUE(SameTime(LocalTime(2000, 3, 1, 12, 0, 0), Due())) << "stored " << DateOf(Due());
    EXPECT_TRUE(Modified()) << "a changed due time marks the editor";
    EXPECT_EQ(Sjis("メモの編集") + " - 2000/03/01 12:00:00", Title());
    MoveWindow(Editor(), 100, 80, 640, 480, TRUE);
    EXPECT_EQ((Fields{2000, 3, 1, 12, 0, 0}), ShownThenCancel()) << "reopened";
    // Over the middle of the editor, as the font dialog and message boxes
    // stand, leaving its menu bar, toolbar and first lines in sight.
    EXPECT_EQ(420, (shownAt_.left + shownAt_.right) / 2);
    EXPECT_EQ(320, (shownAt_.top + shownAt_.bottom) / 2);
}

TEST_F(DueDialog, MonthZeroIsDecemberOfTheYearBefore)
{
    Enter(Fields{2001, 0, 15, 9, 0, 0});
    EXPECT_EQ("2000/12/15 09:00:00", DateOf(Due()));
}

TEST_F(DueDialog, ValuesAreCutToSixteenBits)
{
    Enter(Fields{2000 + 65536, 1, 2, 3, 4, 5});
    EXPECT_EQ("2000/01/02 03:04:05", DateOf(Due())) << "year 2000 + 65536 reads as 2000";
}

TEST_F(DueDialog, EmptyFieldsCountAsZeros)
{
    Due() = LocalTime(2001, 5, 6, 7, 8, 9);
    RunDialog([&](HWND dialog) {
        if (!dialog)
            return;
        for (int id : kFieldIds)
            SetDlgItemTextA(dialog, id, "");
        Press(dialog, IDOK);
    });
    EXPECT_FALSE(IsTimeSet(&Due())) << "six empty fields clear the due date";
}

TEST_F(DueDialog, FieldsThatMakeNoDateShowOneErrorAndReturnToTheYear)
{
    const Fields cases[] = {
        {0, 0, 0, 0, 90, 0},    // not the all-zero case; day 0 cannot be converted
        {2000, 0, 0, 0, 0, 0},  // a year alone: day 0
        {2000, 25, 1, 0, 0, 0}, // one normalisation leaves month 13
    };
    FILETIME before = LocalTime(2002, 2, 2, 2, 2, 2);
    for (const Fields& values : cases) {
        Due() = before;
        SendMessageA(Edit(), EM_SETMODIFY, FALSE, 0);
        SetWindowTextA(Editor(), "marker");
        int boxes = 0;
        std::string message;
        HWND owner = nullptr;
        HWND focus = nullptr;
        HWND year = nullptr;
        bool stillOpen = false;
        RunDialog([&](HWND dialog) {
            if (!dialog)
                return;
            year = GetDlgItem(dialog, IDC_DUE_YEAR);
            WriteFields(dialog, values);
            Press(dialog, IDOK);
            // Every box shown while the dialog stays up is counted.
            DWORD start = GetTickCount();
            while (GetTickCount() - start < 1500) {
                HWND box = FindDialog({}, dialog);
                if (!box) {
                    Sleep(20);
                    continue;
                }
                ++boxes;
                message = MessageBoxText(box);
                owner = GetWindow(box, GW_OWNER);
                Press(box, IDOK);
                WaitUntilGone(box, 2000);
            }
            focus = FocusOfThread(dialog);
            stillOpen = IsWindow(dialog) && IsWindowVisible(dialog);
            Press(dialog, IDCANCEL);
        });
        std::string which = std::to_string(values[0]) + "," + std::to_string(values[1]) + ","
            + std::to_string(values[2]) + "," + std::to_string(values[4]);
        EXPECT_EQ(1, boxes) << "one error box for " << which;
        char expected[520] = {};
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
            ERROR_INVALID_PARAMETER, 0, expected, sizeof(expected), nullptr);
        EXPECT_EQ(std::string(expected), message) << "the system's text for the failed conversion, " << which;
        EXPECT_NE(nullptr, owner) << "the box is owned by the dialog";
        EXPECT_NE(Editor(), owner) << "the box is owned by the dialog, not the editor";
        EXPECT_TRUE(stillOpen) << "the dialog stays open for " << which;
        EXPECT_EQ(year, focus) << "focus on the year field after " << which;
        EXPECT_TRUE(SameTime(before, Due())) << "due time unchanged after " << which;
        EXPECT_FALSE(Modified());
        EXPECT_EQ("marker", Title()) << "cancel leaves the title alone";
    }
}

TEST_F(DueDialog, ZeroClearThenCancelChangesNothing)
{
    FILETIME before = LocalTime(2001, 5, 6, 7, 8, 9);
    Due() = before;
    SetWindowTextA(Editor(), "marker");
    Fields afterZero{1, 1, 1, 1, 1, 1};
    RunDialog([&](HWND dialog) {
        if (!dialog)
            return;
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_DUE_ZERO, BN_CLICKED),
            reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_DUE_ZERO)));
        afterZero = ReadFields(dialog);
        Press(dialog, IDCANCEL);
    });
    EXPECT_EQ((Fields{0, 0, 0, 0, 0, 0}), afterZero) << "\"zero clear\" empties the six fields";
    EXPECT_TRUE(SameTime(before, Due()));
    EXPECT_FALSE(Modified());
    EXPECT_EQ("marker", Title());
}

TEST_F(DueDialog, ZeroClearThenOkClearsAndMarksModified)
{
    Due() = LocalTime(2001, 5, 6, 7, 8, 9);
    RunDialog([&](HWND dialog) {
        if (!dialog)
            return;
        Press(dialog, IDC_DUE_ZERO);
        Press(dialog, IDOK);
    });
    EXPECT_FALSE(IsTimeSet(&Due()));
    EXPECT_TRUE(Modified());
    EXPECT_EQ(Sjis("メモの編集 - 期日の指定はありません。"), Title());
}

TEST_F(DueDialog, ConfirmingTheSameDateRewritesTheTitleWithoutMarking)
{
    Due() = LocalTime(2003, 4, 5, 6, 7, 8);
    SetWindowTextA(Editor(), "marker");
    Fields shown = Enter(Fields{2003, 4, 5, 6, 7, 8});
    EXPECT_EQ((Fields{2003, 4, 5, 6, 7, 8}), shown) << "the due time's fields";
    EXPECT_FALSE(Modified());
    EXPECT_EQ(Sjis("メモの編集") + " - 2003/04/05 06:07:08", Title());
}
