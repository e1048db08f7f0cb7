// The editor window on its own: opening and closing, its controls, the
// discard question, Esc, the input method, the menus and the toolbar.
#include <windows.h>
#include <commctrl.h>
#include <imm.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/menu_state.h"
#include "due/due_time.h"
#include "editor/editor_window.h"
#include "notes/note_table.h"
#include "res/resource.h"
#include "tests/unit/test_editor_support.h"
#include "tests/unit/test_support.h"

using namespace editor_test;

namespace
{

class EditorWindow : public EditorFixture
{
};

RECT RectOf(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Describe(const RECT& rect)
{
    char text[64];
    wsprintfA(text, "(%ld,%ld)-(%ld,%ld)", rect.left, rect.top, rect.right, rect.bottom);
    return text;
}

int CountThreadWindows(const char* className)
{
    struct Count {
        const char* name;
        int found;
    } count{className, 0};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM param) -> BOOL {
            auto* count = reinterpret_cast<Count*>(param);
            char name[64] = {};
            GetClassNameA(window, name, sizeof(name));
            if (std::strcmp(name, count->name) == 0)
                ++count->found;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count.found;
}

bool ImeOpen(HWND window)
{
    HIMC context = ImmGetContext(window);
    if (!context)
        return false;
    bool open = ImmGetOpenStatus(context) != FALSE;
    ImmReleaseContext(window, context);
    return open;
}

void PutTextOnClipboard(HWND owner, const char* text)
{
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    if (text) {
        std::size_t size = std::strlen(text) + 1;
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
        std::memcpy(GlobalLock(block), text, size);
        GlobalUnlock(block);
        SetClipboardData(CF_TEXT, block);
    }
    CloseClipboard();
}

bool Greyed(HMENU menu, UINT id)
{
    return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

// The menu bar as the user sees it when opening it.
HMENU InitMenu(HWND editor)
{
    HMENU menu = GetMenu(editor);
    SendMessageA(editor, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
    return menu;
}

} // namespace

TEST_F(EditorWindow, NewNoteEditorIsATextCWindowWithToolbarAndEditControl)
{
    app_->options.dueAmount = 0;
    HWND editor = OpenNew();
    ASSERT_NE(nullptr, editor);
    char name[32] = {};
    GetClassNameA(editor, name, sizeof(name));
    EXPECT_STREQ("TextC", name);
    EXPECT_EQ(
        0x10CF0000u, static_cast<DWORD>(GetWindowLongA(editor, GWL_STYLE)) & 0xFFFF0000u & ~WS_CLIPSIBLINGS)
        << "overlapped, visible editor style";
    EXPECT_NE(nullptr, GetMenu(editor)) << "the editor menu bar (menu 105)";

    EditorState* state = State();
    ASSERT_NE(nullptr, state);
    EXPECT_EQ(main_, state->owner);
    EXPECT_EQ(1, state->isNew);

    HWND edit = GetDlgItem(editor, IDC_EDITOR_EDIT);
    ASSERT_EQ(state->edit, edit) << "edit control 30011";
    EXPECT_EQ(0x503000C4u, static_cast<DWORD>(GetWindowLongA(edit, GWL_STYLE)));
    EXPECT_TRUE(GetWindowLongA(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ("", Text()) << "a new note's editor starts empty";
    EXPECT_FALSE(Modified());

    EXPECT_EQ(state->toolbar, GetDlgItem(editor, IDC_EDITOR_TOOLBAR)) << "toolbar 30013";

    EXPECT_EQ(Sjis("メモの編集 - 期日の指定はありません。"), WindowString(editor))
        << "title of a new note without a default due time";
    EXPECT_FALSE(IsWindowEnabled(main_)) << "the main window is disabled while the editor is open";
}

TEST_F(EditorWindow, NewNoteCopyTakesDefaultsPlaceAndTimes)
{
    app_->options.foreColour = RGB(1, 2, 3);
    app_->options.backColour = RGB(200, 210, 220);
    app_->options.dueAmount = 2;
    app_->options.dueUnit = 1; // days
    SYSTEMTIME before;
    GetLocalTime(&before);
    ASSERT_NE(nullptr, OpenNew());
    const NoteRecord& note = State()->note;
    EXPECT_EQ(RGB(1, 2, 3), note.foreColour);
    EXPECT_EQ(RGB(200, 210, 220), note.backColour);
    EXPECT_EQ(1, note.id) << "lowest free ID with an empty note table";
    EXPECT_EQ(0, note.width);
    EXPECT_EQ(0, note.height);
    EXPECT_EQ(nullptr, note.text);

    LOGFONTA expected = {};
    GetObjectA(app_->defaultFont, sizeof(expected), &expected);
    LOGFONTA actual = {};
    ASSERT_NE(0, GetObjectA(note.font, sizeof(actual), &actual));
    EXPECT_EQ(0, std::memcmp(&expected, &actual, sizeof(actual))) << "font of the copy is the default font";
    EXPECT_NE(app_->defaultFont, note.font) << "the copy owns its own font";
    LOGBRUSH brush = {};
    ASSERT_NE(0, GetObjectA(note.brush, sizeof(brush), &brush));
    EXPECT_EQ(RGB(200, 210, 220), brush.lbColor);

    FILETIME start = {};
    SystemTimeToFileTime(&before, &start);
    ULARGE_INTEGER created{{note.created.dwLowDateTime, note.created.dwHighDateTime}};
    ULARGE_INTEGER due{{note.due.dwLowDateTime, note.due.dwHighDateTime}};
    ULARGE_INTEGER begun{{start.dwLowDateTime, start.dwHighDateTime}};
    EXPECT_GE(created.QuadPart, begun.QuadPart) << "created now";
    EXPECT_LT(created.QuadPart - begun.QuadPart, 50000000ull) << "created within five seconds";
    const unsigned long long twoDays = 2ull * 24 * 3600 * 10000000;
    // The due time drops the milliseconds of the creation time.
    EXPECT_LE(due.QuadPart, created.QuadPart + twoDays);
    EXPECT_GT(due.QuadPart + 10000000ull, created.QuadPart + twoDays) << "due two days after creation";

    char date[64] = {};
    FormatDateText(&note.due, date);
    EXPECT_EQ(Sjis("メモの編集") + " - " + date, WindowString(Editor()));
}

TEST_F(EditorWindow, SecondRequestFocusesTheOpenEditor)
{
    HWND editor = OpenNew();
    ASSERT_NE(nullptr, editor);
    HWND other = CreateWindowExA(
        0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    SetFocus(other);
    EXPECT_EQ(0, OpenEditor(main_)) << "no second editor";
    EXPECT_EQ(editor, Editor());
    EXPECT_EQ(1, CountThreadWindows("TextC"));
    EXPECT_EQ(Edit(), GetFocus()) << "the open editor's edit control has the focus";
    DestroyWindow(other);
}

TEST_F(EditorWindow, ExistingNoteOpensWithTabsUnmodifiedAndOwnResources)
{
    app_->options.tabIndex = 1;
    HWND note = MakeNote(7, 200, 150, 300, 80, "a    b\r\nx   y");
    ASSERT_NE(nullptr, note);
    HWND editor = OpenOn(note);
    ASSERT_NE(nullptr, editor);
    EditorState* state = State();
    EXPECT_EQ(0, state->isNew);
    EXPECT_EQ(note, state->owner);
    EXPECT_EQ("a\t b\r\nx\ty", Text()) << "spaces that end on a tab stop come back as a tab";
    EXPECT_FALSE(Modified());

    NoteRecord* record = NoteRecordOf(note);
    ASSERT_NE(nullptr, record);
    EXPECT_EQ(0, std::memcmp(record, &state->note, kNoteImageSize)) << "the 80 stored bytes are copied";
    EXPECT_NE(record->text, state->note.text);
    EXPECT_NE(record->font, state->note.font);
    EXPECT_NE(record->brush, state->note.brush);

    EXPECT_FALSE(IsWindowEnabled(note)) << "the owner note is disabled";
    EXPECT_FALSE(IsWindowEnabled(main_)) << "the main window is disabled";
    SendMessageA(editor, WM_CLOSE, 0, 0);
    EXPECT_EQ(nullptr, Editor());
    EXPECT_TRUE(IsWindowEnabled(note));
    EXPECT_TRUE(IsWindowEnabled(main_));
    EXPECT_STREQ("a    b\r\nx   y", record->text) << "closing without apply leaves the note alone";
}

TEST_F(EditorWindow, RemembersItsRectangleUnlessMinimisedOrMaximised)
{
    // No remembered place yet: the system places the editor.
    app_->options.editorRect = RECT{-1, 10, 300, 300};
    HWND editor = OpenNew();
    ASSERT_NE(nullptr, editor);
    EXPECT_NE(-1, RectOf(editor).left);
    MoveWindow(editor, 120, 90, 420, 330, TRUE);
    SendMessageA(editor, WM_CLOSE, 0, 0);
    ASSERT_EQ(nullptr, Editor());
    RECT remembered{120, 90, 540, 420};
    EXPECT_TRUE(SameRect(remembered, app_->options.editorRect)) << Describe(app_->options.editorRect);

    editor = OpenNew();
    EXPECT_TRUE(SameRect(remembered, RectOf(editor))) << "reopened at " << Describe(RectOf(editor));
    ShowWindow(editor, SW_MINIMIZE);
    SendMessageA(editor, WM_CLOSE, 0, 0);
    EXPECT_TRUE(SameRect(remembered, app_->options.editorRect)) << "minimised close keeps the old rectangle";

    editor = OpenNew();
    ShowWindow(editor, SW_MAXIMIZE);
    SendMessageA(editor, WM_CLOSE, 0, 0);
    EXPECT_TRUE(SameRect(remembered, app_->options.editorRect)) << "maximised close keeps the old rectangle";

    editor = OpenNew();
    EXPECT_TRUE(SameRect(remembered, RectOf(editor)));
}

TEST_F(EditorWindow, EmptyRememberedRectangleLetsTheSystemPlaceIt)
{
    app_->options.editorRect = RECT{50, 50, 50, 400};
    HWND editor = OpenNew();
    ASSERT_NE(nullptr, editor);
    RECT rect = RectOf(editor);
    EXPECT_GT(rect.right - rect.left, 0) << "a zero-width rectangle is not reused";
}

TEST_F(EditorWindow, DiscardQuestionNoKeepsEscAndImeWorking)
{
    app_->options.imeOn = 1;
    HWND editor = OpenNew();
    ASSERT_NE(nullptr, editor);
    HWND edit = Edit();
    SetFocus(edit);
    SendMessageA(edit, WM_CHAR, 'x', 0);
    ASSERT_TRUE(Modified()) << "typing marks the editor modified";
    LONG_PTR subclass = GetWindowLongPtrA(edit, GWLP_WNDPROC);

    BoxLog asked = AnswerBoxes(kPressEnter, [&] { SendMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0x00010001); });
    EXPECT_EQ(1, asked.count) << "Esc on a changed text asks first";
    EXPECT_EQ(Sjis("メモは変更されています。破棄して終了してもよろしいですか？"), asked.text);
    EXPECT_EQ(Sjis("処理の確認"), asked.caption);
    EXPECT_EQ(editor, asked.owner);
    ASSERT_EQ(editor, Editor()) << "Enter answers No, which keeps the editor";
    ASSERT_TRUE(IsWindow(edit));
    EXPECT_EQ(State(), EditorStateOf(editor));
    EXPECT_EQ(subclass, GetWindowLongPtrA(edit, GWLP_WNDPROC)) << "the edit control still forwards its keys";
    EXPECT_EQ("x", Text());
    EXPECT_TRUE(Modified());
    EXPECT_FALSE(IsWindowEnabled(main_));

    // The input method still follows the focus.
    SetFocus(State()->toolbar);
    EXPECT_FALSE(ImeOpen(edit)) << "losing the focus closes the input method";
    SetFocus(edit);
    EXPECT_TRUE(ImeOpen(edit)) << "gaining the focus opens it";

    asked = AnswerBoxes(IDYES, [&] { SendMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0x00010001); });
    EXPECT_EQ(1, asked.count);
    EXPECT_EQ(nullptr, Editor()) << "Yes closes the editor";
    EXPECT_FALSE(IsWindow(editor));
    EXPECT_TRUE(IsWindowEnabled(main_));
}

TEST_F(EditorWindow, EscWithoutChangesClosesFromInsideTheEditControl)
{
    HWND editor = OpenNew();
    ASSERT_NE(nullptr, editor);
    HWND edit = Edit();
    SetFocus(edit);
    BoxLog asked = AnswerBoxes(IDYES, [&] {
        // The key reaches the editor before the edit control sees it; the
        // editor closes, and with it the control the key was sent to.
        LRESULT result = SendMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        EXPECT_EQ(0, result);
    });
    EXPECT_EQ(0, asked.count) << "nothing to discard, nothing asked";
    EXPECT_FALSE(IsWindow(edit));
    EXPECT_FALSE(IsWindow(editor));
    EXPECT_EQ(nullptr, Editor());
    EXPECT_TRUE(IsWindowEnabled(main_));
}

TEST_F(EditorWindow, ImeFollowsFocusOnlyWithTheOption)
{
    app_->options.imeOn = 0;
    HWND editor = OpenNew();
    ASSERT_NE(nullptr, editor);
    HWND edit = Edit();
    HIMC context = ImmGetContext(edit);
    if (!context)
        GTEST_SKIP() << "no input context for the edit control here";
    ImmSetOpenStatus(context, TRUE);
    ImmReleaseContext(edit, context);
    SetFocus(edit);
    SetFocus(State()->toolbar);
    EXPECT_TRUE(ImeOpen(edit)) << "with the option off, focus changes leave the input method alone";

    app_->options.imeOn = 1;
    SetFocus(edit);
    EXPECT_TRUE(ImeOpen(edit));
    SetFocus(State()->toolbar);
    EXPECT_FALSE(ImeOpen(edit));
    SetFocus(edit);
    EXPECT_TRUE(ImeOpen(edit));
}

TEST_F(EditorWindow, EditMenuFollowsClipboardAndSelection)
{
    HWND editor = OpenNew();
    ASSERT_NE(nullptr, editor);
    HWND edit = Edit();

    PutTextOnClipboard(editor, "clip");
    HMENU menu = InitMenu(editor);
    EXPECT_FALSE(Greyed(menu, IDM_EDIT_PASTE)) << "paste with text on the clipboard";
    PutTextOnClipboard(editor, nullptr);
    menu = InitMenu(editor);
    EXPECT_TRUE(Greyed(menu, IDM_EDIT_PASTE)) << "paste with an empty clipboard";

    // Empty text: nothing to select.
    EXPECT_TRUE(Greyed(menu, IDM_EDIT_SELECTALL)) << "select all with an empty text";
    EXPECT_TRUE(Greyed(menu, IDM_EDIT_CUT));
    EXPECT_FALSE(Greyed(menu, IDM_EDIT_INSERTDATE));

    SetText("hello world");
    SendMessageA(edit, EM_SETSEL, 3, 3);
    menu = InitMenu(editor);
    EXPECT_TRUE(Greyed(menu, IDM_EDIT_CUT)) << "cut without a selection";
    EXPECT_TRUE(Greyed(menu, IDM_EDIT_COPY)) << "copy without a selection";
    EXPECT_TRUE(Greyed(menu, IDM_EDIT_CLEAR)) << "delete without a selection";
    EXPECT_FALSE(Greyed(menu, IDM_EDIT_INSERTDATE)) << "insert date at the caret";
    EXPECT_FALSE(Greyed(menu, IDM_EDIT_SELECTALL));

    SendMessageA(edit, EM_SETSEL, 0, 5);
    menu = InitMenu(editor);
    EXPECT_FALSE(Greyed(menu, IDM_EDIT_CUT));
    EXPECT_FALSE(Greyed(menu, IDM_EDIT_COPY));
    EXPECT_FALSE(Greyed(menu, IDM_EDIT_CLEAR));
    EXPECT_TRUE(Greyed(menu, IDM_EDIT_INSERTDATE)) << "insert date with a selection";
    EXPECT_FALSE(Greyed(menu, IDM_EDIT_SELECTALL)) << "part of the text selected";

    SendMessageA(editor, WM_COMMAND, IDM_EDIT_SELECTALL, 0);
    menu = InitMenu(editor);
    EXPECT_TRUE(Greyed(menu, IDM_EDIT_SELECTALL)) << "the whole text already selected";
    SetText(std::string(70000, 'x').c_str());
    SendMessageA(edit, EM_SETSEL, 100, 65636);
    menu = InitMenu(editor);
    EXPECT_FALSE(Greyed(menu, IDM_EDIT_COPY)) << "a selection past 65,535 characters";

    for (UINT id : {IDM_EDIT_APPLY, IDM_EDIT_CLOSE, IDM_EDIT_FONT, IDM_EDIT_BACKCOLOUR, IDM_EDIT_DUE,
             IDM_EDIT_PROPERTIES, IDM_HELP})
        EXPECT_FALSE(Greyed(menu, id)) << "item " << id << " is never greyed";
}

TEST_F(EditorWindow, OpenEditorGreysTrayAndNoteItemsUntilClosed)
{
    HMENU trayMenu = LoadMenuA(AppInstance(), MAKEINTRESOURCEA(IDM_TRAY));
    HMENU noteMenu = LoadMenuA(AppInstance(), MAKEINTRESOURCEA(IDM_NOTE));
    ASSERT_NE(nullptr, trayMenu);
    ASSERT_NE(nullptr, noteMenu);
    HMENU tray = GetSubMenu(trayMenu, 0);
    HMENU noteItems = GetSubMenu(noteMenu, 0);
    HWND note = MakeNote(3, 300, 300, 100, 50, "n");
    ASSERT_NE(nullptr, note);

    HWND editor = OpenNew();
    ASSERT_NE(nullptr, editor);
    UpdateMenuState(main_, tray);
    UpdateMenuState(note, noteItems);
    EXPECT_TRUE(Greyed(tray, IDM_NEW_NOTE)) << "tray 1001 while the editor is open";
    EXPECT_TRUE(Greyed(tray, IDM_EXIT)) << "tray 1009 while the editor is open";
    EXPECT_TRUE(Greyed(noteItems, IDM_NOTE_EDIT)) << "note 1111 while the editor is open";
    EXPECT_FALSE(IsWindowEnabled(main_));

    SendMessageA(editor, WM_CLOSE, 0, 0);
    UpdateMenuState(main_, tray);
    UpdateMenuState(note, noteItems);
    EXPECT_FALSE(Greyed(tray, IDM_NEW_NOTE));
    EXPECT_FALSE(Greyed(tray, IDM_EXIT));
    EXPECT_FALSE(Greyed(noteItems, IDM_NOTE_EDIT));
    EXPECT_TRUE(IsWindowEnabled(main_));
    EXPECT_TRUE(IsWindowEnabled(note));
    DestroyMenu(trayMenu);
    DestroyMenu(noteMenu);
}

TEST_F(EditorWindow, ToolbarShowsItsButtonsInOrderWithTheirTips)
{
    HWND editor = OpenNew();
    ASSERT_NE(nullptr, editor);
    const struct {
        int command; // 0 for a separator
        const char* text;
    } buttons[] = {{1151, "メモ実行"}, {1152, "閉じる"}, {0, ""}, {1165, "コピー"}, {1166, "貼り付け"},
        {0, ""}, {1155, "フォント"}, {1156, "背景色"}, {1157, "期日"}, {1158, "プロパティ"}, {0, ""},
        {1021, "ヘルプ"}};
    HWND toolbar = State()->toolbar;
    ASSERT_EQ(12, SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
    int image = 0;
    for (int i = 0; i < 12; ++i) {
        const auto& tip = buttons[i];
        TBBUTTON button = {};
        SendMessageA(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        EXPECT_EQ(tip.command == 0, (button.fsStyle & TBSTYLE_SEP) != 0) << "toolbar entry " << i;
        if (!tip.command)
            continue;
        EXPECT_EQ(tip.command, button.idCommand) << "toolbar entry " << i;
        EXPECT_EQ(image++, button.iBitmap) << "each button shows its own image, in bitmap order";
        NMTTDISPINFOA info = {};
        info.hdr.hwndFrom = nullptr;
        info.hdr.idFrom = static_cast<UINT_PTR>(tip.command);
        info.hdr.code = TTN_NEEDTEXTA;
        SendMessageA(editor, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
        ASSERT_TRUE(IS_INTRESOURCE(info.lpszText)) << "tooltip of " << tip.command << " is a string resource";
        EXPECT_EQ(tip.command + 10000, static_cast<int>(reinterpret_cast<UINT_PTR>(info.lpszText)));
        EXPECT_EQ(AppInstance(), info.hinst);
        char text[64] = {};
        LoadStringA(
            info.hinst, static_cast<UINT>(reinterpret_cast<UINT_PTR>(info.lpszText)), text, sizeof(text));
        EXPECT_EQ(Sjis(tip.text), text) << "tooltip of button " << tip.command;
    }
}

TEST_F(EditorWindow, ToolbarIsFlatFromComctl471On)
{
    HWND editor = OpenNew();
    ASSERT_NE(nullptr, editor);
    DWORD version = GetDllVersion("COMCTL32.DLL");
    EXPECT_GE(version, 0x00040047u) << "common controls version " << std::hex << version;
    EXPECT_TRUE(SendMessageA(State()->toolbar, TB_GETSTYLE, 0, 0) & TBSTYLE_FLAT) << "the editor's toolbar";

    HWND plain = CreateToolbarEx(
        editor, WS_CHILD | WS_BORDER, 1, 0, nullptr, 0, nullptr, 0, 0, 0, 16, 16, sizeof(TBBUTTON));
    ASSERT_NE(nullptr, plain);
    MakeToolbarFlat(plain, 0x00040046);
    EXPECT_FALSE(SendMessageA(plain, TB_GETSTYLE, 0, 0) & TBSTYLE_FLAT) << "4.70 keeps the standard style";
    MakeToolbarFlat(plain, 0x00040047);
    EXPECT_TRUE(SendMessageA(plain, TB_GETSTYLE, 0, 0) & TBSTYLE_FLAT) << "4.71 makes it flat";
    MakeToolbarFlat(nullptr, 0x00060000);
    DestroyWindow(plain);

    EXPECT_EQ(0u, GetDllVersion("no-such-library.dll"));
    EXPECT_EQ(0u, GetDllVersion("KERNEL32.DLL")) << "a library without DllGetVersion";
}

TEST_F(EditorWindow, PasteButtonFollowsTheClipboard)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    HWND editor = OpenNew();
    ASSERT_NE(nullptr, editor);
    HWND toolbar = State()->toolbar;
    EXPECT_EQ(TBSTATE_INDETERMINATE, SendMessageA(toolbar, TB_GETSTATE, IDM_EDIT_PASTE, 0))
        << "no text on the clipboard when the editor opens";
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 4);
    lstrcpyA(static_cast<char*>(GlobalLock(block)), "abc");
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
    EXPECT_TRUE(PumpUntil([toolbar] {
        return SendMessageA(toolbar, TB_GETSTATE, IDM_EDIT_PASTE, 0) == TBSTATE_ENABLED;
    })) << "text copied while the editor is open";
}

TEST_F(EditorWindow, TabStopsSpanTheTabWidthInAverageCharacters)
{
    for (int tabIndex : {0, 1, 2}) {
        app_->options.tabIndex = static_cast<std::uint8_t>(tabIndex);
        HWND editor = OpenNew();
        ASSERT_NE(nullptr, editor);
        HWND edit = Edit();
        SetText("\tx");
        HDC dc = GetDC(edit);
        HGDIOBJ old = SelectObject(dc, State()->note.font);
        TEXTMETRICA metrics = {};
        GetTextMetricsA(dc, &metrics);
        SelectObject(dc, old);
        ReleaseDC(edit, dc);
        LRESULT tab = SendMessageA(edit, EM_POSFROMCHAR, 0, 0);
        LRESULT x = SendMessageA(edit, EM_POSFROMCHAR, 1, 0);
        int columns = tabIndex == 0 ? 2 : tabIndex == 2 ? 8 : 4;
        EXPECT_EQ(
            columns * metrics.tmAveCharWidth, static_cast<short>(LOWORD(x)) - static_cast<short>(LOWORD(tab)))
            << "tab index " << tabIndex;
        SendMessageA(editor, WM_CLOSE, 0, 0);
    }
}

TEST_F(EditorWindow, LayoutPutsTheEditControlBelowTheToolbar)
{
    HWND editor = OpenNew();
    ASSERT_NE(nullptr, editor);
    MoveWindow(editor, 50, 50, 500, 400, TRUE);
    RECT client = {};
    GetClientRect(editor, &client);
    RECT bar = RectOf(State()->toolbar);
    RECT edit = RectOf(Edit());
    POINT origin{0, 0};
    ClientToScreen(editor, &origin);
    EXPECT_EQ(origin.x, edit.left);
    EXPECT_EQ(origin.y + (bar.bottom - bar.top), edit.top);
    EXPECT_EQ(client.right, edit.right - edit.left);
    EXPECT_EQ(client.bottom - (bar.bottom - bar.top), edit.bottom - edit.top);
}
