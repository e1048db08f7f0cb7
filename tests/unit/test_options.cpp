// The options dialog driven as the user would, from a helper thread, while
// the dialog runs modally on the test's thread.
#include <gtest/gtest.h>

#include <windows.h>
#include <colordlg.h>
#include <commctrl.h>

#include <cstring>
#include <functional>
#include <string>

#include "editor/editor_window.h"
#include "help/help.h"
#include "notes/app_state.h"
#include "notes/note_table.h"
#include "options/options_dialog.h"
#include "platform/hotkey.h"
#include "platform/wide_text.h"
#include "res/resource.h"
#include "tests/e2e/driver.h"
#include "tests/unit/test_support.h"

namespace
{

constexpr DWORD kDialogTimeout = 5000;

struct OptionsUi {
    HWND dialog;
    HWND tab;
    HWND general;
    HWND due;
    HWND extra;
};

struct DialogFinder {
    HWND exclude;
    std::string title;
    HWND found;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM param)
{
    auto* finder = reinterpret_cast<DialogFinder*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char name[32] = {};
    GetClassNameA(window, name, sizeof(name));
    if (pid != GetCurrentProcessId() || window == finder->exclude || !IsWindowVisible(window)
        || lstrcmpA(name, "#32770") != 0)
        return TRUE;
    char title[128] = {};
    GetWindowTextA(window, title, sizeof(title));
    if (!finder->title.empty() && finder->title != title)
        return TRUE;
    finder->found = window;
    return FALSE;
}

// A visible dialog of this process other than `exclude`, optionally with a title.
HWND WaitForDialog(HWND exclude, const std::string& title = {})
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < kDialogTimeout; Sleep(20)) {
        DialogFinder finder{exclude, title, nullptr};
        EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&finder));
        if (finder.found)
            return finder.found;
    }
    return nullptr;
}

OptionsUi FindOptionsUi(HWND dialog)
{
    OptionsUi ui{dialog, GetDlgItem(dialog, IDC_OPT_TAB), nullptr, nullptr, nullptr};
    for (HWND child = FindWindowExA(dialog, nullptr, "#32770", nullptr); child;
         child = FindWindowExA(dialog, child, "#32770", nullptr)) {
        if (GetDlgItem(child, IDC_OPT_BORDER))
            ui.general = child;
        if (GetDlgItem(child, IDC_OPT_DUE_AMOUNT))
            ui.due = child;
        if (GetDlgItem(child, IDC_OPT_REMIND))
            ui.extra = child;
    }
    return ui;
}

// Posted: the handler may open a modal box of its own.
void Press(HWND dialog, int id)
{
    PostMessageA(
        dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Sent: returns once the dialog has handled the click.
void Click(HWND dialog, int id)
{
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

bool Checked(HWND page, int id)
{
    return SendMessageA(GetDlgItem(page, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetText(HWND page, int id, const char* text)
{
    SendMessageA(GetDlgItem(page, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

std::string TextOf(HWND page, int id)
{
    char text[128] = {};
    SendMessageA(GetDlgItem(page, id), WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
    return text;
}

// The brush a page hands out for painting a swatch.
HBRUSH SwatchBrush(HWND page, int swatchId)
{
    HWND swatch = GetDlgItem(page, swatchId);
    HDC dc = GetDC(swatch);
    auto brush = reinterpret_cast<HBRUSH>(SendMessageA(
        page, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(swatch)));
    ReleaseDC(swatch, dc);
    return brush;
}

COLORREF BrushColour(HBRUSH brush)
{
    LOGBRUSH logBrush = {};
    if (!brush || !GetObjectA(brush, sizeof(logBrush), &logBrush))
        return CLR_INVALID;
    return logBrush.lbColor;
}

void SelectTab(const OptionsUi& ui, int index)
{
    SendMessageA(ui.tab, TCM_SETCURSEL, index, 0);
    NMHDR header = {ui.tab, IDC_OPT_TAB, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageA(ui.dialog, WM_NOTIFY, IDC_OPT_TAB, reinterpret_cast<LPARAM>(&header));
}

// Clicks cell (column, row) of a colour grid of the colour chooser.
void WaitUntilGone(HWND window)
{
    for (int i = 0; i < 250 && IsWindow(window) && IsWindowVisible(window); ++i)
        Sleep(20);
}

using Steps = std::function<void(const OptionsUi&)>;

struct Session {
    Steps steps;
    bool found = false;
};

void RunSession(void* context)
{
    auto* session = static_cast<Session*>(context);
    HWND dialog = WaitForDialog(nullptr, Sjis("オプション"));
    if (!dialog)
        return;
    session->found = true;
    session->steps(FindOptionsUi(dialog));
    // Never leave the dialog up, whatever the steps did.
    WaitUntilGone(dialog);
    if (IsWindow(dialog))
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

class OptionsDialog : public testing::Test
{
protected:
    void SetUp() override { ClearStore(); }
    void TearDown() override
    {
        SetHtmlHelpForTesting(nullptr);
        ClearStore();
    }

    // Opens the dialog and lets `steps` act in it; the dialog's result.
    int Run(Steps steps)
    {
        Session session{std::move(steps)};
        int result;
        {
            DeferredAction user(50, RunSession, &session);
            result = ShowOptionsDialog(nullptr);
        }
        EXPECT_TRUE(session.found) << "the options dialog appeared";
        return result;
    }

    HWND AddNote(int left, int top, int width, int height)
    {
        NoteRecord source = {};
        source.backColour = RGB(0xFF, 0xFF, 0xE1);
        source.left = left;
        source.top = top;
        source.width = width;
        source.height = height;
        source.id = ++lastId_;
        LOGFONTA font;
        SetDefaultFont(&font);
        int slot = FindFreeNoteSlot(nullptr, 0);
        if (slot < 0 || !CreateNoteWindow(nullptr, &source, &font))
            return nullptr;
        return app_->noteWindows[slot];
    }

    static bool StoredOptions(Options* options)
    {
        DWORD size = sizeof(*options);
        return RegGetValueA(HKEY_CURRENT_USER, "Software\\KOVA\\Jotwise", "Option", RRF_RT_REG_BINARY,
                   nullptr, options, &size)
            == ERROR_SUCCESS
            && size == sizeof(*options);
    }

    static LOGFONTA FontOf(HFONT font)
    {
        LOGFONTA logFont = {};
        GetObjectA(font, sizeof(logFont), &logFont);
        return logFont;
    }

    ScopedAppState app_;
    int lastId_ = 0;
};

RECT ClientOf(HWND window)
{
    RECT rect = {};
    GetClientRect(window, &rect);
    return rect;
}

RECT RectOf(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

HWND g_helpCaller;
std::string g_helpFile;
UINT g_helpCommand;
DWORD_PTR g_helpData;

HWND WINAPI RecordingHtmlHelp(HWND caller, LPCWSTR file, UINT command, DWORD_PTR data)
{
    g_helpCaller = caller;
    g_helpFile = file ? NoteFromWide(file) : "";
    g_helpCommand = command;
    g_helpData = data;
    return GetDesktopWindow();
}

} // namespace

TEST_F(OptionsDialog, ControlsShowTheOptionsAndTheTabs)
{
    app_->options.border = 1;
    app_->options.imeOn = 0;
    app_->options.tabIndex = 2;
    app_->options.dueAmount = 17;
    app_->options.dueUnit = 3;
    app_->options.eveColourOn = 0;
    app_->options.blink = 1;
    struct {
        bool pages, border, ime, cut, eve, due, blink, blackWhite, eveEnabled, dueEnabled;
        LRESULT tabWidth, unit, tabs;
        std::string amount, unitText, font, tab0, tab1, tab2;
        bool generalShown, dueShown;
        COLORREF back, eveSwatch;
    } seen = {};
    int result = Run([&seen](const OptionsUi& ui) {
        seen.pages = ui.general && ui.due;
        if (!seen.pages)
            return;
        seen.border = Checked(ui.general, IDC_OPT_BORDER);
        seen.ime = Checked(ui.general, IDC_OPT_IME);
        seen.cut = Checked(ui.general, IDC_OPT_CUT_NEWLINE);
        seen.tabWidth = SendDlgItemMessageA(ui.general, IDC_OPT_TAB_WIDTH, CB_GETCURSEL, 0, 0);
        seen.font = TextOf(ui.general, IDC_OPT_FONT_TEXT);
        seen.amount = TextOf(ui.due, IDC_OPT_DUE_AMOUNT);
        seen.unit = SendDlgItemMessageA(ui.due, IDC_OPT_DUE_UNIT, CB_GETCURSEL, 0, 0);
        char unitText[32] = {};
        SendDlgItemMessageA(ui.due, IDC_OPT_DUE_UNIT, CB_GETLBTEXT, 3, reinterpret_cast<LPARAM>(unitText));
        seen.unitText = unitText;
        seen.eve = Checked(ui.due, IDC_OPT_EVE_ON);
        seen.due = Checked(ui.due, IDC_OPT_DUE_ON);
        seen.blink = Checked(ui.due, IDC_OPT_BLINK);
        seen.blackWhite = Checked(ui.due, IDC_OPT_BLACK_WHITE);
        seen.eveEnabled = IsWindowEnabled(GetDlgItem(ui.due, IDC_OPT_EVE_PICK));
        seen.dueEnabled = IsWindowEnabled(GetDlgItem(ui.due, IDC_OPT_DUE_PICK));
        seen.tabs = SendMessageA(ui.tab, TCM_GETITEMCOUNT, 0, 0);
        for (int i = 0; i < 3; ++i) {
            char text[32] = {};
            TCITEMA item = {};
            item.mask = TCIF_TEXT;
            item.pszText = text;
            item.cchTextMax = sizeof(text);
            SendMessageA(ui.tab, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
            (i == 0 ? seen.tab0 : i == 1 ? seen.tab1 : seen.tab2) = text;
        }
        seen.generalShown = IsWindowVisible(ui.general);
        seen.dueShown = IsWindowVisible(ui.due);
        seen.back = BrushColour(SwatchBrush(ui.general, IDC_OPT_BACK_SWATCH));
        seen.eveSwatch = BrushColour(SwatchBrush(ui.due, IDC_OPT_EVE_SWATCH));
        Press(ui.dialog, IDCANCEL);
    });
    EXPECT_EQ(0, result);
    ASSERT_TRUE(seen.pages) << "both pages are child dialogs of the options dialog";
    EXPECT_TRUE(seen.border);
    EXPECT_FALSE(seen.ime);
    EXPECT_TRUE(seen.cut);
    EXPECT_EQ(2, seen.tabWidth) << "tab list item \"8\"";
    EXPECT_EQ(Sjis("ＭＳ 明朝 (13)"), seen.font) << "17 pixels at 96 dpi are 13 points";
    EXPECT_EQ("17", seen.amount);
    EXPECT_EQ(3, seen.unit);
    EXPECT_EQ(Sjis("分"), seen.unitText);
    EXPECT_FALSE(seen.eve);
    EXPECT_TRUE(seen.due);
    EXPECT_TRUE(seen.blink);
    EXPECT_TRUE(seen.blackWhite);
    EXPECT_FALSE(seen.eveEnabled) << "eve colour button greyed while its option is off";
    EXPECT_TRUE(seen.dueEnabled);
    EXPECT_EQ(3, seen.tabs);
    EXPECT_EQ(Sjis("全般"), seen.tab0);
    EXPECT_EQ(Sjis("期日"), seen.tab1);
    EXPECT_EQ(Sjis("拡張"), seen.tab2);
    EXPECT_TRUE(seen.generalShown);
    EXPECT_FALSE(seen.dueShown);
    EXPECT_EQ(app_->options.backColour, seen.back);
    EXPECT_EQ(app_->options.eveColour, seen.eveSwatch) << "a greyed swatch still shows its colour";
}

TEST_F(OptionsDialog, CancelAfterChangesLeavesEverythingAsItWas)
{
    app_->options.border = 1;
    app_->options.backColour = RGB(10, 20, 30);
    app_->options.eveColour = RGB(40, 50, 60);
    app_->options.editorRect = RECT{10, 20, 500, 400};
    app_->options.reserved[3] = 0x5A;
    // A default font that the reset would replace.
    LOGFONTA big = FontOf(app_->defaultFont);
    big.lfHeight = 25;
    DeleteObject(app_->defaultFont);
    app_->defaultFont = CreateFontIndirectA(&big);
    HWND note = AddNote(200, 200, 150, 100);
    ASSERT_TRUE(note);
    Options before = app_->options;
    HFONT fontBefore = app_->defaultFont;
    LOGFONTA logFontBefore = FontOf(fontBefore);
    RECT rectBefore = RectOf(note);
    LONG_PTR styleBefore = GetWindowLongPtrA(note, GWL_STYLE);

    bool picked = false;
    int result = Run([&picked](const OptionsUi& ui) {
        Click(ui.general, IDC_OPT_BORDER);
        Click(ui.due, IDC_OPT_EVE_ON);
        SetText(ui.due, IDC_OPT_DUE_AMOUNT, "9");
        HBRUSH oldBack = SwatchBrush(ui.general, IDC_OPT_BACK_SWATCH);
        Press(ui.general, IDC_OPT_BACK_PICK);
        if (HWND chooser = WaitForDialog(ui.dialog)) {
            ClickCell(chooser, COLOR_BOX1, 6, 8, 0, 0);
            Press(chooser, IDOK);
            WaitUntilGone(chooser);
            picked = SwatchBrush(ui.general, IDC_OPT_BACK_SWATCH) != oldBack;
        }
        SendMessageA(ui.dialog, WM_COMMAND, MAKEWPARAM(IDC_OPT_RESET, BN_CLICKED), 0);
        Press(ui.dialog, IDCANCEL);
    });
    EXPECT_EQ(0, result);
    EXPECT_TRUE(picked) << "a back colour was picked before cancelling";
    EXPECT_EQ(0, std::memcmp(&before, &app_->options, sizeof(Options))) << "options untouched";
    EXPECT_EQ(fontBefore, app_->defaultFont) << "the default font is kept";
    LOGFONTA logFontAfter = FontOf(app_->defaultFont);
    EXPECT_EQ(0, std::memcmp(&logFontBefore, &logFontAfter, sizeof(LOGFONTA)));
    EXPECT_EQ(styleBefore, GetWindowLongPtrA(note, GWL_STYLE));
    EXPECT_EQ(rectBefore.right - rectBefore.left, RectOf(note).right - RectOf(note).left);
    Options stored;
    EXPECT_FALSE(StoredOptions(&stored)) << "cancel saves nothing";
}

TEST_F(OptionsDialog, OkWithoutChangesSavesButRestylesNoNote)
{
    HWND note = AddNote(200, 200, 150, 100);
    ASSERT_TRUE(note);
    // A restyle would overwrite these with the window's real size.
    NoteRecordOf(note)->width = 4321;
    NoteRecordOf(note)->height = 1234;
    Options before = app_->options;
    int result = Run([](const OptionsUi& ui) { Press(ui.dialog, IDOK); });
    EXPECT_EQ(1, result);
    EXPECT_EQ(0, std::memcmp(&before, &app_->options, sizeof(Options)));
    Options stored;
    ASSERT_TRUE(StoredOptions(&stored)) << "OK saves even without changes";
    EXPECT_EQ(0, std::memcmp(&before, &stored, sizeof(Options)));
    EXPECT_EQ(4321, NoteRecordOf(note)->width);
    EXPECT_EQ(1234, NoteRecordOf(note)->height);
}

TEST_F(OptionsDialog, ResetWithBorderOnRemovesEveryFrameButKeepsClientsAndHiddenNotes)
{
    app_->options.border = 1;
    app_->options.editorRect = RECT{10, 20, 500, 400};
    app_->options.reserved[0] = 0x77;
    app_->options.dueAmount = 99;
    app_->extra = ExtraSettings{0, 40, 0, 0};
    HWND shown = AddNote(200, 200, 150, 100);
    HWND hidden = AddNote(400, 300, 120, 90);
    ASSERT_TRUE(shown && hidden);
    ASSERT_TRUE(GetWindowLongPtrA(shown, GWL_STYLE) & WS_THICKFRAME);
    NoteRecordOf(hidden)->hidden = 1;
    ShowWindow(hidden, SW_HIDE);
    RECT shownClient = ClientOf(shown);
    RECT hiddenClient = ClientOf(hidden);
    RECT shownRect = RectOf(shown);

    struct {
        bool border;
        std::string amount;
    } afterReset = {};
    int result = Run([&afterReset](const OptionsUi& ui) {
        SendMessageA(ui.dialog, WM_COMMAND, MAKEWPARAM(IDC_OPT_RESET, BN_CLICKED), 0);
        afterReset.border = Checked(ui.general, IDC_OPT_BORDER);
        afterReset.amount = TextOf(ui.due, IDC_OPT_DUE_AMOUNT);
        Press(ui.dialog, IDOK);
    });
    EXPECT_EQ(1, result);
    EXPECT_FALSE(afterReset.border) << "reset fills the pages again";
    EXPECT_EQ("2", afterReset.amount);
    EXPECT_EQ(0, app_->options.border);
    EXPECT_EQ(2, app_->options.dueAmount);
    EXPECT_EQ(500, app_->options.editorRect.right) << "reset keeps the editor rectangle";
    EXPECT_EQ(0x77, app_->options.reserved[0]) << "and the reserved bytes";
    EXPECT_EQ(1, app_->extra.remind) << "the page \"拡張\" is reset too";
    EXPECT_EQ(1, app_->extra.remindWindow);
    EXPECT_EQ(kDefaultHotKey, app_->extra.hotKey);

    for (HWND note : {shown, hidden}) {
        EXPECT_FALSE(GetWindowLongPtrA(note, GWL_EXSTYLE) & WS_EX_LAYERED) << "back at 100 %: not layered";
        EXPECT_FALSE(GetWindowLongPtrA(note, GWL_STYLE) & WS_THICKFRAME);
        RECT rect = RectOf(note);
        EXPECT_EQ(rect.right - rect.left, NoteRecordOf(note)->width) << "record follows the window";
        EXPECT_EQ(rect.bottom - rect.top, NoteRecordOf(note)->height);
    }
    EXPECT_EQ(shownClient.right, ClientOf(shown).right) << "client area keeps its size";
    EXPECT_EQ(shownClient.bottom, ClientOf(shown).bottom);
    EXPECT_EQ(hiddenClient.right, ClientOf(hidden).right);
    EXPECT_LT(RectOf(shown).right - RectOf(shown).left, shownRect.right - shownRect.left) << "frame gone";
    EXPECT_EQ(shownRect.left, RectOf(shown).left) << "the top-left corner stays";
    EXPECT_TRUE(IsWindowVisible(shown));
    EXPECT_FALSE(IsWindowVisible(hidden)) << "a hidden note stays hidden through the restyle";
    EXPECT_EQ(1, NoteRecordOf(hidden)->hidden);
}

TEST_F(OptionsDialog, BorderSwitchedOnGrowsNotesByTheFrame)
{
    HWND note = AddNote(200, 200, 150, 100);
    ASSERT_TRUE(note);
    RECT client = ClientOf(note);
    int result = Run([](const OptionsUi& ui) {
        Click(ui.general, IDC_OPT_BORDER);
        Press(ui.dialog, IDOK);
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ(1, app_->options.border);
    EXPECT_TRUE(GetWindowLongPtrA(note, GWL_STYLE) & WS_THICKFRAME);
    EXPECT_TRUE(IsWindowVisible(note));
    EXPECT_EQ(client.right, ClientOf(note).right);
    EXPECT_EQ(client.bottom, ClientOf(note).bottom);
    EXPECT_GT(NoteRecordOf(note)->width, 150);
    EXPECT_EQ(200, RectOf(note).left);
}

TEST_F(OptionsDialog, EveAndDueCheckBoxesGreyTheirSwatchesAtOnce)
{
    struct {
        bool eveSwatch, evePick, dueSwatch, duePick, eveBack, option;
        COLORREF shownColour;
    } off = {}, on = {};
    COLORREF eveColour = app_->options.eveColour;
    int result = Run([&off, &on](const OptionsUi& ui) {
        Click(ui.due, IDC_OPT_EVE_ON);
        off.eveSwatch = IsWindowEnabled(GetDlgItem(ui.due, IDC_OPT_EVE_SWATCH));
        off.evePick = IsWindowEnabled(GetDlgItem(ui.due, IDC_OPT_EVE_PICK));
        off.dueSwatch = IsWindowEnabled(GetDlgItem(ui.due, IDC_OPT_DUE_SWATCH));
        off.duePick = IsWindowEnabled(GetDlgItem(ui.due, IDC_OPT_DUE_PICK));
        off.shownColour = BrushColour(SwatchBrush(ui.due, IDC_OPT_EVE_SWATCH));
        Click(ui.due, IDC_OPT_DUE_ON);
        on.dueSwatch = IsWindowEnabled(GetDlgItem(ui.due, IDC_OPT_DUE_SWATCH));
        on.duePick = IsWindowEnabled(GetDlgItem(ui.due, IDC_OPT_DUE_PICK));
        Click(ui.due, IDC_OPT_EVE_ON);
        on.eveSwatch = IsWindowEnabled(GetDlgItem(ui.due, IDC_OPT_EVE_SWATCH));
        on.evePick = IsWindowEnabled(GetDlgItem(ui.due, IDC_OPT_EVE_PICK));
        Press(ui.dialog, IDOK);
    });
    EXPECT_EQ(1, result);
    EXPECT_FALSE(off.eveSwatch) << "swatch 152 greyed at once";
    EXPECT_FALSE(off.evePick) << "button 153 greyed at once";
    EXPECT_TRUE(off.dueSwatch) << "the due colour keeps its own state";
    EXPECT_TRUE(off.duePick);
    EXPECT_EQ(eveColour, off.shownColour) << "the greyed swatch still shows the eve colour";
    EXPECT_FALSE(on.dueSwatch);
    EXPECT_FALSE(on.duePick);
    EXPECT_TRUE(on.eveSwatch);
    EXPECT_TRUE(on.evePick);
    EXPECT_EQ(1, app_->options.eveColourOn);
    EXPECT_EQ(0, app_->options.dueColourOn);
}

TEST_F(OptionsDialog, PickingTheSameColourKeepsTheBrushAndANewOneReplacesIt)
{
    struct {
        HBRUSH before, afterSame, afterNew;
        bool chooser1, chooser2;
        COLORREF newColour;
    } seen = {};
    int result = Run([&seen](const OptionsUi& ui) {
        seen.before = SwatchBrush(ui.due, IDC_OPT_EVE_SWATCH);
        Press(ui.due, IDC_OPT_EVE_PICK);
        HWND chooser = WaitForDialog(ui.dialog);
        seen.chooser1 = chooser != nullptr;
        if (!chooser)
            return;
        Press(chooser, IDOK);
        WaitUntilGone(chooser);
        seen.afterSame = SwatchBrush(ui.due, IDC_OPT_EVE_SWATCH);

        Press(ui.due, IDC_OPT_EVE_PICK);
        chooser = WaitForDialog(ui.dialog);
        seen.chooser2 = chooser != nullptr;
        if (!chooser)
            return;
        ClickCell(chooser, COLOR_BOX1, 6, 8, 0, 0);
        Press(chooser, IDOK);
        WaitUntilGone(chooser);
        seen.afterNew = SwatchBrush(ui.due, IDC_OPT_EVE_SWATCH);
        seen.newColour = BrushColour(seen.afterNew);
        Press(ui.dialog, IDOK);
    });
    EXPECT_EQ(1, result);
    ASSERT_TRUE(seen.chooser1 && seen.chooser2) << "the colour chooser opened twice";
    ASSERT_TRUE(seen.before);
    EXPECT_EQ(seen.before, seen.afterSame) << "the same colour made no new brush";
    EXPECT_NE(seen.before, seen.afterNew);
    EXPECT_EQ(seen.newColour, app_->options.eveColour) << "the new colour reached the options on OK";
}

TEST_F(OptionsDialog, DueAmountIsStoredAsItsLowByte)
{
    struct Case {
        const char* text;
        int stored;
    };
    for (const Case& c : {Case{"0", 0}, Case{"300", 44}, Case{"255", 255}, Case{"", 0}, Case{"abc", 0}}) {
        app_->options.dueAmount = 2;
        const char* text = c.text;
        int result = Run([text](const OptionsUi& ui) {
            SetText(ui.due, IDC_OPT_DUE_AMOUNT, text);
            Press(ui.dialog, IDOK);
        });
        EXPECT_EQ(1, result);
        EXPECT_EQ(c.stored, app_->options.dueAmount) << "due amount \"" << c.text << "\"";
        Options stored;
        ASSERT_TRUE(StoredOptions(&stored));
        EXPECT_EQ(c.stored, stored.dueAmount);
    }
}

TEST_F(OptionsDialog, SwitchingTabsKeepsEntriesAndOkTakesEveryCheckBox)
{
    struct Box {
        bool onDuePage;
        int id;
        std::uint8_t Options::*option;
    };
    const Box boxes[] = {{false, IDC_OPT_BORDER, &Options::border}, {false, IDC_OPT_IME, &Options::imeOn},
        {false, IDC_OPT_CUT_NEWLINE, &Options::cutTrailingNewline},
        {true, IDC_OPT_EVE_ON, &Options::eveColourOn}, {true, IDC_OPT_DUE_ON, &Options::dueColourOn},
        {true, IDC_OPT_BLINK, &Options::blink}, {true, IDC_OPT_BLACK_WHITE, &Options::blackWhite}};
    const Options before = app_->options;
    struct {
        bool dueShown, generalHidden, generalBack;
    } seen = {};
    int result = Run([&](const OptionsUi& ui) {
        for (const Box& box : boxes)
            Click(box.onDuePage ? ui.due : ui.general, box.id);
        SelectTab(ui, 1);
        seen.dueShown = IsWindowVisible(ui.due);
        seen.generalHidden = !IsWindowVisible(ui.general);
        SetText(ui.due, IDC_OPT_DUE_AMOUNT, "7");
        SelectTab(ui, 0);
        seen.generalBack = IsWindowVisible(ui.general) && !IsWindowVisible(ui.due);
        Press(ui.dialog, IDOK);
    });
    EXPECT_EQ(1, result);
    EXPECT_TRUE(seen.dueShown);
    EXPECT_TRUE(seen.generalHidden);
    EXPECT_TRUE(seen.generalBack);
    EXPECT_EQ(7, app_->options.dueAmount);
    for (const Box& box : boxes)
        EXPECT_EQ(!(before.*box.option), app_->options.*box.option)
            << "check box " << box.id << " unticked or ticked";
}

TEST_F(OptionsDialog, ListIndexesOutsideTheListAreStoredAs255)
{
    app_->options.tabIndex = 7;
    app_->options.dueUnit = 9;
    LRESULT tabSelection = 0;
    LRESULT unitSelection = 0;
    int result = Run([&](const OptionsUi& ui) {
        tabSelection = SendDlgItemMessageA(ui.general, IDC_OPT_TAB_WIDTH, CB_GETCURSEL, 0, 0);
        unitSelection = SendDlgItemMessageA(ui.due, IDC_OPT_DUE_UNIT, CB_GETCURSEL, 0, 0);
        Press(ui.dialog, IDOK);
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ(CB_ERR, tabSelection) << "no item selected";
    EXPECT_EQ(CB_ERR, unitSelection);
    EXPECT_EQ(255, app_->options.tabIndex);
    EXPECT_EQ(255, app_->options.dueUnit);
}

TEST_F(OptionsDialog, HelpButtonAsksForTheOptionsTopicAndLeavesTheDialogOpen)
{
    g_helpCommand = 0xFFFF;
    SetHtmlHelpForTesting(RecordingHtmlHelp);
    bool stillOpen = false;
    int result = Run([&stillOpen](const OptionsUi& ui) {
        SendMessageA(ui.dialog, WM_COMMAND, MAKEWPARAM(IDC_OPT_HELP, BN_CLICKED), 0);
        stillOpen = IsWindowVisible(ui.dialog);
        Press(ui.dialog, IDCANCEL);
    });
    EXPECT_EQ(0, result);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(15u, g_helpCommand) << "HH_HELP_CONTEXT";
    EXPECT_EQ(1021u, g_helpData);
    EXPECT_EQ(GetDesktopWindow(), g_helpCaller) << "help windows belong to the desktop";
}

TEST_F(OptionsDialog, OkReplacesTheDefaultFontWithTheWorkingOne)
{
    LOGFONTA logFont = FontOf(app_->defaultFont);
    int result = Run([](const OptionsUi& ui) { Press(ui.dialog, IDOK); });
    EXPECT_EQ(1, result);
    LOGFONTA after = FontOf(app_->defaultFont);
    EXPECT_EQ(0, std::memcmp(&logFont, &after, sizeof(LOGFONTA))) << "same font, made afresh";
    LOGFONTA stored = {};
    DWORD size = sizeof(stored);
    ASSERT_EQ(ERROR_SUCCESS,
        RegGetValueA(HKEY_CURRENT_USER, "Software\\KOVA\\Jotwise", "Font", RRF_RT_REG_BINARY, nullptr,
            &stored, &size));
    EXPECT_EQ(0, std::memcmp(&logFont, &stored, sizeof(LOGFONTA)));
}

TEST_F(OptionsDialog, OkCopiesTheOptionsBackOnlyUnderTheLock)
{
    // The due monitor reads the options under the AppState lock; while it
    // holds the lock, OK must wait instead of changing them under its feet.
    AppState* app = app_.get();
    app->options.dueAmount = 2;
    app->options.blink = 0;
    struct {
        std::uint8_t amount = 0, blink = 0;
    } whileHeld;
    int result = Run([app, &whileHeld](const OptionsUi& ui) {
        SetText(ui.due, IDC_OPT_DUE_AMOUNT, "9");
        Click(ui.due, IDC_OPT_BLINK);
        EnterCriticalSection(&app->lock);
        // A thread that starts waiting for the lock changes its count, on
        // Windows and under Wine alike: the dialog's end is then at the copy.
        const LONG held = app->lock.LockCount;
        Press(ui.dialog, IDOK);
        EXPECT_TRUE(e2e::WaitUntil([app, held] { return app->lock.LockCount != held; }))
            << "OK waits for the lock";
        whileHeld.amount = app->options.dueAmount;
        whileHeld.blink = app->options.blink;
        LeaveCriticalSection(&app->lock);
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ(2, whileHeld.amount) << "nothing copied while the monitor holds the lock";
    EXPECT_EQ(0, whileHeld.blink);
    EXPECT_EQ(9, app->options.dueAmount);
    EXPECT_EQ(1, app->options.blink);
}

TEST_F(OptionsDialog, ADueAmountOfZeroGivesNewNotesNoDueTime)
{
    // What the editor gives a note it opens as new, under the current options.
    auto newNoteDue = []() {
        auto* state = new EditorState{};
        FILETIME due = {0xFFFFFFFF, 0xFFFFFFFF};
        if (InitEditorState(nullptr, state, nullptr))
            due = state->note.due;
        ReleaseEditorState(state);
        return due;
    };
    FILETIME before = newNoteDue();
    ASSERT_TRUE(before.dwLowDateTime != 0 && before.dwHighDateTime != 0) << "the default gives a due time";

    int result = Run([](const OptionsUi& ui) {
        SetText(ui.due, IDC_OPT_DUE_AMOUNT, "0");
        Press(ui.dialog, IDOK);
    });
    EXPECT_EQ(1, result);
    FILETIME after = newNoteDue();
    EXPECT_EQ(0u, after.dwLowDateTime);
    EXPECT_EQ(0u, after.dwHighDateTime);
}

TEST_F(OptionsDialog, ExtraPageStoresItsValuesAndReportsATakenHotKey)
{
    app_->extra.opacity = 70;
    // Another program's hold on Ctrl+Alt+M, as far as this process can tell.
    HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(RegisterHotKey(other, 7, MOD_CONTROL | MOD_ALT, 'M'));
    struct {
        bool remind, extraShown, wayEnabled;
        LRESULT opacity, way;
        std::string percent, taken, free, wayText;
    } seen = {};
    int result = Run([&seen](const OptionsUi& ui) {
        if (!ui.extra)
            return;
        SelectTab(ui, 2);
        seen.extraShown = IsWindowVisible(ui.extra) && !IsWindowVisible(ui.general);
        seen.remind = Checked(ui.extra, IDC_OPT_REMIND);
        seen.opacity = SendDlgItemMessageA(ui.extra, IDC_OPT_OPACITY, TBM_GETPOS, 0, 0);
        seen.percent = TextOf(ui.extra, IDC_OPT_OPACITY_TEXT);
        seen.taken = TextOf(ui.extra, IDC_OPT_HOTKEY_STATUS);
        HWND hotKey = GetDlgItem(ui.extra, IDC_OPT_HOTKEY);
        SendMessageA(hotKey, HKM_SETHOTKEY, MAKEWORD('J', HOTKEYF_CONTROL | HOTKEYF_SHIFT), 0);
        SendMessageA(
            ui.extra, WM_COMMAND, MAKEWPARAM(IDC_OPT_HOTKEY, EN_CHANGE), reinterpret_cast<LPARAM>(hotKey));
        seen.free = TextOf(ui.extra, IDC_OPT_HOTKEY_STATUS);
        seen.way = SendDlgItemMessageA(ui.extra, IDC_OPT_REMIND_WAY, CB_GETCURSEL, 0, 0);
        seen.wayText = TextOf(ui.extra, IDC_OPT_REMIND_WAY);
        SendDlgItemMessageA(ui.extra, IDC_OPT_REMIND_WAY, CB_SETCURSEL, 0, 0);
        Click(ui.extra, IDC_OPT_REMIND);
        seen.wayEnabled = IsWindowEnabled(GetDlgItem(ui.extra, IDC_OPT_REMIND_WAY));
        SendDlgItemMessageA(ui.extra, IDC_OPT_OPACITY, TBM_SETPOS, TRUE, 40);
        Press(ui.dialog, IDOK);
    });
    UnregisterHotKey(other, 7);
    DestroyWindow(other);
    EXPECT_EQ(1, result);
    EXPECT_TRUE(seen.extraShown) << "the third tab shows the page \"拡張\"";
    EXPECT_TRUE(seen.remind) << "reminders are on by default";
    EXPECT_EQ(1, seen.way) << "通知の方法: the balloon and the reminder window by default";
    EXPECT_EQ(Sjis("バルーンとリマインダー ウィンドウ"), seen.wayText);
    EXPECT_FALSE(seen.wayEnabled) << "no way to choose while reminders are off";
    EXPECT_EQ(70, seen.opacity);
    EXPECT_EQ("70 %", seen.percent);
    EXPECT_EQ(Sjis("このキーはほかのプログラムが使っています。"), seen.taken);
    EXPECT_EQ("", seen.free) << "a free key says nothing";
    EXPECT_EQ(0, app_->extra.remind);
    EXPECT_EQ(40, app_->extra.opacity);
    EXPECT_EQ(MAKEWORD('J', HOTKEYF_CONTROL | HOTKEYF_SHIFT), app_->extra.hotKey);
    ExtraSettings stored;
    LoadExtraSettings(&stored);
    EXPECT_EQ(0, stored.remind);
    EXPECT_EQ(0, stored.remindWindow) << "バルーンのみ";
    EXPECT_EQ(40, stored.opacity);
    EXPECT_EQ(app_->extra.hotKey, stored.hotKey) << "kept in values of their own";
}

TEST_F(OptionsDialog, OurOwnHotKeyIsNeverCalledTakenAndStaysOursAfterOk)
{
    HWND main = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    SetMainWindow(main);
    ASSERT_TRUE(TakeNewNoteHotKey(main, kDefaultHotKey)) << "held as after a start";
    for (int time = 1; time <= 2; ++time) {
        std::string status = "not seen";
        EXPECT_EQ(1, Run([&status](const OptionsUi& ui) {
            if (!ui.extra)
                return;
            SelectTab(ui, 2);
            status = TextOf(ui.extra, IDC_OPT_HOTKEY_STATUS);
            Press(ui.dialog, IDOK);
        }));
        EXPECT_EQ("", status) << "opened " << time << " time(s): our own key is not another program's";
        EXPECT_EQ(kDefaultHotKey, HeldNewNoteHotKey()) << "OK with the same key keeps it";
        EXPECT_FALSE(RegisterHotKey(nullptr, 9, MOD_CONTROL | MOD_ALT, 'M')) << "and it is still registered";
    }
    ReleaseNewNoteHotKey(main);
    SetMainWindow(nullptr);
    DestroyWindow(main);
}
