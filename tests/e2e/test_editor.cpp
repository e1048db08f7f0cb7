// The note editor of the real program: opening it from the tray, applying a
// new note, what the editor does to its owner and the menus while it is
// open, its paste button, and the refusal when 64 notes are already on the
// desktop. The edit menu's rules are checked in-process, where the menu can
// be read; a menu bar's drop-down of another process does not reach the
// screen reliably under Wine.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "platform/wide_text.h"
#include "tests/e2e/driver.h"

using namespace e2e;

namespace
{

constexpr int kEditControlId = 30011;

HWND EditOf(HWND editor)
{
    return GetDlgItem(editor, kEditControlId);
}

void SetEditText(HWND editor, const std::string& text)
{
    std::wstring wide = WideFromNote(text);
    SendMessageTimeoutW(
        EditOf(editor), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()), SMTO_NORMAL, 30000, nullptr);
}

bool WaitUntilGone(HWND window)
{
    return WaitUntil([window] { return !IsWindow(window); });
}

void PutOnClipboard(const char* text)
{
    if (!OpenClipboard(nullptr))
        return;
    EmptyClipboard();
    if (text) {
        std::size_t size = std::string(text).size() + 1;
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
        CopyMemory(GlobalLock(block), text, size);
        GlobalUnlock(block);
        SetClipboardData(CF_TEXT, block);
    }
    CloseClipboard();
}

// Height of one line in the default note font, as the program measures it.
int LineHeight()
{
    LOGFONTA description = DefaultFont();
    HFONT font = CreateNoteFontIndirect(&description);
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, font);
    SIZE size = {};
    GetTextExtentPoint32A(screen, "x", 1, &size);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    DeleteObject(font);
    return size.cy;
}

std::vector<int> StoredIds(const char* base)
{
    std::vector<int> ids;
    std::string prefix = base;
    for (const std::string& name : store::ValueNames()) {
        if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0)
            ids.push_back(std::stoi(name.substr(prefix.size())));
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

class EditorEndToEnd : public testing::Test
{
protected:
    void SetUp() override { store::Clear(); }
    void TearDown() override { store::Clear(); }
};

} // namespace

TEST_F(EditorEndToEnd, TrayCommandOpensTheEditorAndApplyStoresAClampedNoteAtOnce)
{
    Jotwise app;
    ASSERT_TRUE(app.Start());
    app.PostTrayCommand(1001);
    HWND editor = app.WaitForEditor();
    ASSERT_NE(nullptr, editor) << "tray command 1001 opens the editor and disables the main window";
    EXPECT_TRUE(IsWindowVisible(editor));
    EXPECT_EQ(0u, WindowText(editor).find(Sjis(u8"メモの編集 - "))) << WindowText(editor);

    // Tall enough that the note cannot stay where it was placed: it has to
    // be moved up onto the screen.
    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    int lines = (screenHeight - 6) / LineHeight();
    const std::string line = Sjis(u8"行");
    std::string text = "abc\td";
    for (int i = 1; i < lines; ++i) {
        text.append("\r\n");
        text.append(line);
        text.append(std::to_string(i));
    }
    SetEditText(editor, text);
    app.PostCommand(editor, 1151);
    ASSERT_TRUE(WaitUntilGone(editor)) << "apply closes the editor";
    app.Sync();
    EXPECT_TRUE(IsWindowEnabled(app.MainWindow()));

    std::vector<HWND> notes = app.Notes();
    ASSERT_EQ(1u, notes.size());
    RECT rect = WindowRect(notes[0]);
    EXPECT_GE(rect.left, 0);
    EXPECT_GE(rect.top, 0);
    EXPECT_LE(rect.right, screenWidth);
    EXPECT_EQ(screenHeight, rect.bottom) << "moved up to the bottom edge of the screen";

    // Stored at once, while the program still runs.
    std::vector<int> ids = StoredIds("List");
    ASSERT_EQ(1u, ids.size());
    int id = ids[0];
    EXPECT_EQ(std::vector<int>{id}, StoredIds("Memo"));
    EXPECT_EQ(std::vector<int>{id}, StoredIds("Font"));
    std::optional<NoteRecord> record = store::ReadNote(id);
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(rect.left, record->left);
    EXPECT_EQ(rect.top, record->top);
    EXPECT_EQ(rect.right - rect.left, record->width);
    EXPECT_EQ(rect.bottom - rect.top, record->height);
    std::string stored = text;
    stored.replace(0, 5, "abc d");
    std::optional<Bytes> memo = store::Read("Memo" + std::to_string(id));
    ASSERT_TRUE(memo.has_value());
    EXPECT_EQ(stored, std::string(reinterpret_cast<const char*>(memo->data())))
        << "the tab is stored expanded";
    EXPECT_EQ(std::optional<DWORD>(0), app.Exit());

    Jotwise again;
    ASSERT_TRUE(again.Start());
    notes = again.Notes(true);
    ASSERT_EQ(1u, notes.size()) << "a restart shows the note";
    RECT reloaded = WindowRect(notes[0]);
    EXPECT_EQ(rect.left, reloaded.left);
    EXPECT_EQ(rect.top, reloaded.top);
    EXPECT_EQ(rect.right, reloaded.right);
    EXPECT_EQ(rect.bottom, reloaded.bottom);
    EXPECT_EQ(std::optional<DWORD>(0), again.Exit());
}

TEST_F(EditorEndToEnd, OpenEditorDisablesItsOwnersGreysTheirMenusAndComesBackWhereItWas)
{
    const std::string ownerText = Sjis(u8"持ち主のメモ");
    store::SeedNote(1, 600, 400, 160, 60, ownerText);
    NoteRecord due = MakeNote(2, 600, 100, 160, 60); // repeat, done and snooze need a due date
    due.due = LocalTimeFromNow(30 * kMinutesPerDay);
    store::SeedNote(due, "other", DefaultFont());
    Jotwise app;
    ASSERT_TRUE(app.Start());
    std::vector<HWND> notes = app.Notes();
    ASSERT_EQ(2u, notes.size());
    HWND owner = WindowRect(notes[0]).top == 400 ? notes[0] : notes[1];
    HWND other = owner == notes[0] ? notes[1] : notes[0];

    EXPECT_EQ(ToItems("11111111111"), OpenMenu(app, app.MainWindow(), true)) << "the tray menu";

    app.PostCommand(owner, 1111);
    HWND editor = app.WaitForEditor();
    ASSERT_NE(nullptr, editor);
    EXPECT_EQ(ownerText, WindowText(EditOf(editor)));
    EXPECT_EQ(Sjis(u8"メモの編集 - 期日の指定はありません。"), WindowText(editor));
    EXPECT_FALSE(IsWindowEnabled(owner)) << "the note that opened the editor";
    EXPECT_FALSE(IsWindowEnabled(app.MainWindow()));
    EXPECT_TRUE(IsWindowEnabled(other));

    EXPECT_EQ(ToItems("01111111110"), OpenMenu(app, app.MainWindow(), true)) << "no second editor, no exit";
    // Peel-off submenu, edit, duplicate, properties, hide, optimise, on top,
    // repeat, done, snooze, help.
    EXPECT_EQ(ToItems("10111111111"), OpenMenu(app, other, false)) << "no edit while the editor is open";

    SetWindowPos(editor, nullptr, 120, 90, 480, 320, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT placed = WindowRect(editor);
    app.PostCommand(editor, 1152);
    ASSERT_TRUE(WaitUntilGone(editor)) << "closing an unchanged editor asks nothing";
    app.Sync();
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_TRUE(IsWindowEnabled(app.MainWindow()));
    EXPECT_EQ(ToItems("11111111111"), OpenMenu(app, other, false)) << "edit again once it has closed";

    app.PostTrayCommand(1001);
    editor = app.WaitForEditor();
    ASSERT_NE(nullptr, editor);
    RECT reopened = WindowRect(editor);
    EXPECT_EQ(placed.left, reopened.left) << "the next editor opens at the remembered rectangle";
    EXPECT_EQ(placed.top, reopened.top);
    EXPECT_EQ(placed.right, reopened.right);
    EXPECT_EQ(placed.bottom, reopened.bottom);
    EXPECT_EQ(std::optional<DWORD>(0), app.Exit()) << "exit closes the unchanged editor";
    std::optional<Bytes> options = store::Read("Option");
    ASSERT_TRUE(options.has_value());
    RECT remembered = {};
    CopyMemory(&remembered, options->data(), sizeof(remembered));
    EXPECT_EQ(placed.left, remembered.left) << "the rectangle is kept with the options";
    EXPECT_EQ(placed.bottom, remembered.bottom);
}

TEST_F(EditorEndToEnd, PasteButtonFollowsTheClipboard)
{
    PutOnClipboard("clip");
    Jotwise app;
    ASSERT_TRUE(app.Start());
    app.PostTrayCommand(1001);
    HWND editor = app.WaitForEditor();
    ASSERT_NE(nullptr, editor);

    // The editor hears of every clipboard change while it is open.
    HWND toolbar = GetDlgItem(editor, 30013);
    ASSERT_NE(nullptr, toolbar);
    auto pasteState = [&] {
        DWORD_PTR state = 0;
        app.Send(toolbar, TB_GETSTATE, 1166, 0, &state);
        return state;
    };
    auto waitFor = [&](DWORD_PTR wanted) {
        WaitUntil([&] { return pasteState() == wanted; });
        return pasteState();
    };
    EXPECT_EQ(static_cast<DWORD_PTR>(TBSTATE_ENABLED), waitFor(TBSTATE_ENABLED));
    PutOnClipboard(nullptr);
    EXPECT_EQ(static_cast<DWORD_PTR>(TBSTATE_INDETERMINATE), waitFor(TBSTATE_INDETERMINATE));

    EXPECT_EQ(std::optional<DWORD>(0), app.Exit());
}

TEST_F(EditorEndToEnd, ApplyWithSixtyFourNotesOpenShows8002AndKeepsTheEditorUntilThereIsRoom)
{
    for (int id = 1; id <= 64; ++id)
        store::SeedNote(id, (id % 16) * 60, (id / 16) * 60, 50, 30, std::to_string(id));
    Jotwise app;
    ASSERT_TRUE(app.Start());
    ASSERT_EQ(64u, app.Notes().size());
    app.PostTrayCommand(1001);
    HWND editor = app.WaitForEditor();
    ASSERT_NE(nullptr, editor);
    SetEditText(editor, "one too many");
    app.PostCommand(editor, 1151);
    HWND box = app.WaitForDialog();
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(Sjis(u8"個数オーバーです。これ以上開けません。"), MessageText(box));
    PressButton(box, IDOK);
    ASSERT_TRUE(app.WaitForNoDialog());
    app.Sync();
    ASSERT_TRUE(IsWindow(editor)) << "the editor stays with its text";
    EXPECT_EQ("one too many", WindowText(EditOf(editor)));
    EXPECT_NE(0, SendMessageA(EditOf(editor), EM_GETMODIFY, 0, 0)) << "and still counts as changed";
    EXPECT_EQ(64u, StoredIds("List").size()) << "nothing stored for the refused note";

    // Make room: delete one note from the record, and apply again.
    app.PostCommand(app.Notes().front(), 1102);
    box = app.WaitForDialog();
    ASSERT_NE(nullptr, box);
    PressButton(box, IDYES);
    ASSERT_TRUE(app.WaitForNoDialog());
    app.Sync();
    app.PostCommand(editor, 1151);
    EXPECT_TRUE(WaitUntilGone(editor)) << "the second apply succeeds";
    app.Sync();
    EXPECT_EQ(64u, app.Notes().size());
    EXPECT_EQ(64u, StoredIds("List").size()) << "one deleted, one added";
    std::vector<int> memos = StoredIds("Memo");
    EXPECT_TRUE(std::any_of(memos.begin(), memos.end(), [](int id) {
        const char text[] = "one too many";
        return store::Read("Memo" + std::to_string(id)) == Bytes(text, text + sizeof(text));
    })) << "the text is stored";
    EXPECT_EQ(std::optional<DWORD>(0), app.Exit());
}

TEST_F(EditorEndToEnd, EveryEndWithTheEditorOpenKeepsItsChangesAsADraftForTheNextStart)
{
    using End = void (*)(Jotwise&, HWND);
    const std::pair<const char*, End> endings[] = {
        {"logoff",
            [](Jotwise& app, HWND) {
                app.Send(app.MainWindow(), WM_ENDSESSION, 1, 0);
                app.Kill();
            }},
        {"Restart Manager",
            [](Jotwise& app, HWND) { app.Send(app.MainWindow(), WM_ENDSESSION, 1, ENDSESSION_CLOSEAPP); }},
        {"installer's close command",
            [](Jotwise& app, HWND) { app.Send(app.MainWindow(), WM_COMMAND, 1009, 0); }},
        {"Alt+X in the editor",
            [](Jotwise&, HWND editor) {
                SetForegroundWindow(editor);
                PressKeys({VK_MENU, 'X'});
            }},
        {"installer's close command over the discard question",
            [](Jotwise& app, HWND editor) {
                PostMessageA(editor, WM_CLOSE, 0, 0);
                app.WaitForDialog();
                app.Send(app.MainWindow(), WM_COMMAND, 1009, 0);
            }},
    };
    const std::string text = Sjis(u8"下書き\t\"引用\"\r\n二行目\\");
    const std::pair<int, std::vector<std::pair<int, const char*>>> dialogs[]
        = {{1156, {{706, "10"}, {707, "20"}, {708, "30"}}}, {1155, {{1138, "20"}}},
            {1157, {{101, "2031"}, {102, "4"}, {103, "5"}, {104, "6"}, {105, "7"}, {106, "8"}}}};
    const SYSTEMTIME dueFields = {2031, 4, 0, 5, 6, 7, 8, 0};
    FILETIME due = {};
    SystemTimeToFileTime(&dueFields, &due);
    for (std::size_t i = 0; i < std::size(endings); ++i) {
        SCOPED_TRACE(endings[i].first);
        const bool isNew = i % 2 == 0;
        store::Clear();
        store::SeedNote(3, 300, 300, 160, 60, "before");
        {
            Jotwise app;
            ASSERT_TRUE(app.Start());
            app.PostCommand(isNew ? app.MainWindow() : app.Notes().front(), isNew ? 1001 : 1111);
            HWND editor = app.WaitForEditor();
            ASSERT_NE(nullptr, editor);
            SetEditText(editor, text);
            // The system's colour and font choosers and the due date dialog.
            for (const auto& [command, fields] : dialogs) {
                app.PostCommand(editor, command);
                HWND dialog = app.WaitForDialog();
                ASSERT_NE(nullptr, dialog) << "editor command " << command;
                for (const auto& [id, value] : fields)
                    app.Send(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value));
                PressButton(dialog, IDOK);
                ASSERT_TRUE(app.WaitForNoDialog());
            }
            // Sent, so that it is handled before the ending's message even
            // while the program waits on a call to another process.
            app.Send(editor, WM_COMMAND, 1174); // 繰り返し(&R) → 毎週
            endings[i].second(app, editor);
            if (i > 0) { // after a logoff the system ends the process
                EXPECT_EQ(std::optional<DWORD>(0), app.WaitForExit()) << "ended, no question left open";
            }
        }
        EXPECT_EQ(std::vector<int>{3}, StoredIds("List")) << "nothing applied";
        const char before[] = "before";
        EXPECT_EQ(Bytes(before, before + sizeof(before)), store::Read("Memo3").value_or(Bytes{}));

        Jotwise again;
        ASSERT_TRUE(again.Start());
        HWND editor = again.WaitForEditor();
        ASSERT_NE(nullptr, editor) << "the editor comes back";
        // The draft is deleted once the editor holds it.
        EXPECT_TRUE(WaitUntil([] {
            std::vector<std::string> names = store::ValueNames();
            return std::none_of(
                names.begin(), names.end(), [](const std::string& name) { return name.find("Draft") == 0; });
        })) << "Draft values left after the start";
        EXPECT_EQ(text, WindowText(EditOf(editor)));
        EXPECT_NE(0, SendMessageA(EditOf(editor), EM_GETMODIFY, 0, 0)) << "marked changed";
        EXPECT_EQ(isNew, IsWindowEnabled(again.Notes().front()) != FALSE) << "editing note 3 or a new note";
        // Applied, the draft is the note with every change (a new note takes ID 1).
        again.PostCommand(editor, 1151);
        ASSERT_TRUE(WaitUntilGone(editor));
        again.Sync();
        const int id = isNew ? 1 : 3;
        const NoteRecord note = store::ReadNote(id).value_or(NoteRecord{});
        EXPECT_EQ(RGB(10, 20, 30), note.backColour);
        EXPECT_EQ(0, CompareFileTime(&due, &note.due));
        EXPECT_EQ(3, store::Read("Repeat" + std::to_string(id)).value_or(Bytes(1))[0]) << "毎週";
        const Bytes font = store::Read("Font" + std::to_string(id)).value_or(Bytes(sizeof(LOGFONTA)));
        EXPECT_NE(DefaultFont().lfHeight, reinterpret_cast<const LOGFONTA*>(font.data())->lfHeight)
            << "20 points";
        EXPECT_EQ(std::optional<DWORD>(0), again.Exit());
    }
    Jotwise after;
    ASSERT_TRUE(after.Start());
    after.Sync();
    EXPECT_EQ(nullptr, after.Editor()) << "a draft applied once does not come back";
    EXPECT_EQ(std::optional<DWORD>(0), after.Exit());
}

TEST_F(EditorEndToEnd, NewNoteHotKeyOpensTheEditorInFrontFromAnywhere)
{
    Jotwise app;
    ASSERT_TRUE(app.Start());
    PressKeys({VK_CONTROL, VK_MENU, 'M'});
    HWND editor = app.WaitForEditor();
    ASSERT_NE(nullptr, editor) << "Ctrl+Alt+M opens the editor";
    EXPECT_TRUE(WaitUntil([editor] { return GetForegroundWindow() == editor; }))
        << "the editor comes to the front";
    // Minimised under its due-date dialog: restored, the dialog in front.
    app.PostCommand(editor, 1157);
    HWND due = app.WaitForDialog();
    ShowWindow(editor, SW_MINIMIZE);
    PressKeys({VK_CONTROL, VK_MENU, 'M'});
    EXPECT_TRUE(WaitUntil([&] { return !IsIconic(editor) && GetForegroundWindow() == due; }))
        << "in front: " << ClassOf(GetForegroundWindow());
    PressButton(due, IDCANCEL);
    ASSERT_TRUE(app.WaitForNoDialog());
    app.PostCommand(editor, 1152);
    EXPECT_TRUE(WaitUntilGone(editor));
    EXPECT_EQ(std::optional<DWORD>(0), app.Exit());
}
