// The error box, the tray tip and the tray and note menu rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/menu_state.h"
#include "platform/error_box.h"
#include "platform/tray_icon.h"
#include "res/resource.h"
#include "tests/unit/test_support.h"

namespace
{

std::string Message(int stringId, const char* text, DWORD lastError = 0)
{
    char buffer[520];
    FormatErrorMessage(stringId, text, lastError, buffer, sizeof(buffer));
    return buffer;
}

std::string SystemText(DWORD code)
{
    char buffer[520] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buffer,
        sizeof(buffer), nullptr);
    return buffer;
}

struct BoxSeen {
    std::string text;
    std::string caption;
    LONG style = 0;
    int boxes = 0;
};

void ReadAndCloseBox(void* context)
{
    auto* seen = static_cast<BoxSeen*>(context);
    HWND box = WaitForThreadWindow("#32770", 5000);
    if (!box)
        return;
    ++seen->boxes;
    seen->text = MessageBoxText(box);
    char caption[128] = {};
    GetWindowTextA(box, caption, sizeof(caption));
    seen->caption = caption;
    seen->style = GetWindowLongA(box, GWL_EXSTYLE);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

} // namespace

TEST(ReportError, GivenTextWinsOverTheLastError)
{
    EXPECT_EQ("disk on fire", Message(-1, "disk on fire", ERROR_ACCESS_DENIED));
    EXPECT_EQ("disk on fire", Message(8001, "disk on fire"));
}

TEST(ReportError, EmptyTextCountsAsNone)
{
    EXPECT_EQ(SystemText(ERROR_FILE_NOT_FOUND), Message(-1, "", ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(Sjis(u8"メモが入力されていません。"), Message(IDS_ERR_NO_TEXT, ""));
}

TEST(ReportError, StringTableEntriesAndUnknownIds)
{
    EXPECT_EQ(Sjis(u8"個数オーバーです。これ以上開けません。"), Message(IDS_ERR_TOO_MANY, nullptr));
    EXPECT_EQ(Sjis(u8"ID の設定に失敗しました。"), Message(IDS_ERR_NO_ID, nullptr));
    EXPECT_EQ("Unknown Error. (8004)", Message(8004, nullptr));
}

TEST(ReportError, LongTextIsCutTo519Bytes)
{
    std::string text(600, 'x');
    std::string shown = Message(0, text.c_str());
    EXPECT_EQ(519u, shown.size());
    EXPECT_EQ(std::string(519, 'x'), shown);
}

TEST(ReportError, ShowsOneTaskModalBoxAndReturnsZero)
{
    BoxSeen seen;
    int result;
    {
        DeferredAction answer(100, ReadAndCloseBox, &seen);
        SetLastError(ERROR_ACCESS_DENIED);
        result = ReportError(nullptr, -1, nullptr);
    }
    EXPECT_EQ(0, result);
    EXPECT_EQ(1, seen.boxes);
    EXPECT_EQ(SystemText(ERROR_ACCESS_DENIED).substr(0, 20), seen.text.substr(0, 20))
        << "the box shows the system's text for the last error";
    EXPECT_FALSE(seen.caption.empty()) << "no caption given: the system's default error caption";
}

namespace
{
BOOL g_shellAnswer = FALSE;
std::vector<DWORD> g_shellCalls;
BOOL WINAPI FakeShellNotify(DWORD message, PNOTIFYICONDATAW)
{
    g_shellCalls.push_back(message);
    return g_shellAnswer;
}
} // namespace

TEST(TrayIcon, RefusedAtStartItIsAddedByALaterTry)
{
    HWND window = CreateWindowExW(0, L"STATIC", nullptr, 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    static DWORD clock = 10 * 60 * 1000; // long after the machine started
    SetTrayClockForTesting([] { return clock; });
    SetTrayNotifyForTesting(FakeShellNotify);
    // One tick of the retry timer as the main window gets it; false once
    // the timer has been stopped.
    auto tick = [window](DWORD elapsedMs) {
        if (!KillTimer(window, kTrayRetryTimer))
            return false;
        SetTimer(window, kTrayRetryTimer, 5000, nullptr);
        clock += elapsedMs;
        RetryTrayIcon(window);
        return true;
    };
    StartTrayIcon(window);
    EXPECT_TRUE(tick(5000)); // still refused
    g_shellAnswer = TRUE;
    EXPECT_TRUE(tick(5000)) << "the two minutes of retries count from the first try";
    EXPECT_EQ(std::vector<DWORD>(3, NIM_ADD), g_shellCalls) << "tried at start and at each retry";
    EXPECT_FALSE(KillTimer(window, kTrayRetryTimer)) << "the retries end once the icon is there";
    g_shellAnswer = FALSE;
    StartTrayIcon(window);
    EXPECT_TRUE(tick(2 * 60 * 1000));
    EXPECT_FALSE(KillTimer(window, kTrayRetryTimer)) << "refused for two minutes: the timer gives up";
    SetTrayNotifyForTesting(nullptr);
    SetTrayClockForTesting(nullptr);
    DestroyWindow(window);
}

TEST(TrayTip, IsTheDisplayNameTwoSpacesAndTheVersion)
{
    char tip[64];
    FormatTrayTip(tip, sizeof(tip));
    EXPECT_EQ(Sjis(u8"ジョット・ワイズ") + "  Ver 0.10", std::string(tip));
}

namespace
{

class MenuRules : public testing::Test
{
protected:
    void SetUp() override
    {
        main_ = CreateWindowExA(
            WS_EX_TOOLWINDOW, "STATIC", "main", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
        note_ = CreateWindowExA(
            WS_EX_TOOLWINDOW, "STATIC", "note", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        SetMainWindow(main_);
        tray_ = LoadMenuA(AppInstance(), MAKEINTRESOURCEA(IDM_TRAY));
        noteMenu_ = LoadMenuA(AppInstance(), MAKEINTRESOURCEA(IDM_NOTE));
    }
    void TearDown() override
    {
        DestroyMenu(tray_);
        DestroyMenu(noteMenu_);
        SetMainWindow(nullptr);
        DestroyWindow(note_);
        DestroyWindow(main_);
    }
    static bool Greyed(HMENU menu, UINT item, UINT by = MF_BYCOMMAND)
    {
        return (GetMenuState(menu, item, by) & MF_GRAYED) != 0;
    }
    HMENU TrayPopup() const { return GetSubMenu(tray_, 0); }

    ScopedAppState app_;
    HWND main_ = nullptr;
    HWND note_ = nullptr;
    HMENU tray_ = nullptr;
    HMENU noteMenu_ = nullptr;
};

} // namespace

TEST_F(MenuRules, WithoutNotesTheNoteCommandsAndSizeSubmenuAreGrey)
{
    HMENU popup = TrayPopup();
    UpdateMenuState(main_, popup);
    EXPECT_TRUE(Greyed(popup, IDM_ARRANGE)) << "tray menu, 整列(&A)";
    EXPECT_TRUE(Greyed(popup, IDM_SHOW_ALL)) << "tray menu, 前面へ(&T)";
    EXPECT_TRUE(Greyed(popup, IDM_HIDE_ALL)) << "tray menu, 隠す(&D)";
    EXPECT_TRUE(Greyed(popup, TRAY_SIZE_SUBMENU_POS, MF_BYPOSITION)) << "tray menu, サイズ(&Z) submenu";
    EXPECT_FALSE(Greyed(popup, IDM_NEW_NOTE));
    EXPECT_FALSE(Greyed(popup, IDM_EXIT));
    EXPECT_FALSE(Greyed(popup, IDM_OPTIONS));
    EXPECT_FALSE(Greyed(popup, IDM_HELP));
    EXPECT_FALSE(Greyed(popup, IDM_HOME_PAGE));
    EXPECT_FALSE(Greyed(popup, IDM_ABOUT));
}

TEST_F(MenuRules, OneHiddenNoteEnablesThem)
{
    app_->noteWindows[5] = note_; // hidden notes count as notes
    HMENU popup = TrayPopup();
    UpdateMenuState(main_, popup);
    EXPECT_FALSE(Greyed(popup, IDM_ARRANGE));
    EXPECT_FALSE(Greyed(popup, IDM_SHOW_ALL));
    EXPECT_FALSE(Greyed(popup, IDM_HIDE_ALL));
    EXPECT_FALSE(Greyed(popup, TRAY_SIZE_SUBMENU_POS, MF_BYPOSITION));
    app_->noteWindows[5] = nullptr;
}

TEST_F(MenuRules, OpenEditorGreysNewNoteExitAndNoteEdit)
{
    HWND editor
        = CreateWindowExA(0, "STATIC", "editor", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    app_->editorWindow = editor;
    HMENU popup = TrayPopup();
    UpdateMenuState(main_, popup);
    EXPECT_TRUE(Greyed(popup, IDM_NEW_NOTE)) << "tray menu, メモの追加(&N)... while editing";
    EXPECT_TRUE(Greyed(popup, IDM_EXIT)) << "tray menu, 終了(&X) while editing";
    EXPECT_FALSE(Greyed(popup, IDM_OPTIONS));

    HMENU notePopup = GetSubMenu(noteMenu_, 0);
    UpdateMenuState(note_, notePopup);
    EXPECT_TRUE(Greyed(notePopup, IDM_NOTE_EDIT)) << "note menu, 変更(&E)... while editing";
    EXPECT_FALSE(Greyed(notePopup, IDM_NOTE_DUPLICATE));

    app_->editorWindow = nullptr;
    HMENU fresh = LoadMenuA(AppInstance(), MAKEINTRESOURCEA(IDM_NOTE));
    UpdateMenuState(note_, GetSubMenu(fresh, 0));
    EXPECT_FALSE(Greyed(GetSubMenu(fresh, 0), IDM_NOTE_EDIT));
    DestroyMenu(fresh);
    DestroyWindow(editor);
}

// Repeat, done and snooze need a due date; the repeat shows as a radio check.
TEST_F(MenuRules, AlarmItemsFollowTheNotesDueDate)
{
    NoteRecord record{};
    SetWindowLongPtrA(note_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&record));
    HMENU popup = GetSubMenu(noteMenu_, 0);
    for (bool due : {false, true}) {
        record.due = due ? FILETIME{1, 1} : FILETIME{};
        record.repeat = kRepeatMonthly;
        UpdateMenuState(note_, popup);
        EXPECT_EQ(!due, Greyed(popup, IDM_NOTE_DONE)) << "note menu, 完了(&D), due " << due;
        EXPECT_EQ(!due, Greyed(popup, 9, MF_BYPOSITION)) << "note menu, 繰り返し(&R), due " << due;
        EXPECT_EQ(!due, Greyed(popup, 11, MF_BYPOSITION)) << "note menu, 後で通知(&Z), due " << due;
        EXPECT_TRUE(GetMenuState(popup, IDM_NOTE_REPEAT_MONTHLY, MF_BYCOMMAND) & MF_CHECKED) << "毎月";
        EXPECT_FALSE(GetMenuState(popup, IDM_NOTE_REPEAT_NONE, MF_BYCOMMAND) & MF_CHECKED) << "なし";
    }
    SetWindowLongPtrA(note_, GWLP_USERDATA, 0);
}

TEST_F(MenuRules, OpenDialogsGreyTheirOwnItems)
{
    app_->optionsOpen = 1;
    app_->aboutOpen = 1;
    HMENU popup = TrayPopup();
    UpdateMenuState(main_, popup);
    EXPECT_TRUE(Greyed(popup, IDM_OPTIONS)) << "tray menu, オプション(&O)... while the options dialog runs";
    EXPECT_TRUE(Greyed(popup, IDM_ABOUT)) << "tray menu, バージョン情報(&A) while the About box runs";
    EXPECT_FALSE(Greyed(popup, IDM_HELP));
    app_->optionsOpen = 0;
    app_->aboutOpen = 0;
}

TEST_F(MenuRules, NullMenuChangesNothing)
{
    UpdateMenuState(main_, nullptr);
    SUCCEED();
}
