// The editor's commands: apply for new and existing notes, the choosers,
// the edit commands and the refusals.
#include <windows.h>
#include <colordlg.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "editor/editor_commands.h"
#include "editor/editor_window.h"
#include "notes/note_table.h"
#include "res/resource.h"
#include "tests/unit/test_editor_support.h"
#include "tests/unit/test_support.h"

using namespace editor_test;

namespace
{

class EditorApply : public EditorFixture
{
protected:
    // Applies and answers any error box with OK; the boxes seen.
    BoxLog Apply()
    {
        BoxLog log = AnswerBoxes(IDOK, [&] { SendMessageA(Editor(), WM_COMMAND, IDM_EDIT_APPLY, 0); });
        PumpMessages(30); // the posted WM_CLOSE
        return log;
    }

    // Width and height a text needs in the default font, margins included.
    SIZE Needed(const char* text) const
    {
        LOGFONTA description;
        SetDefaultFont(&description);
        HFONT font = CreateFontIndirectA(&description);
        HDC screen = GetDC(nullptr);
        HGDIOBJ old = SelectObject(screen, font);
        SIZE total{0, 0};
        std::string lines = std::string(text) + "\r\n";
        std::size_t start = 0;
        for (std::size_t cr = lines.find('\r'); cr != std::string::npos; cr = lines.find('\r', start)) {
            SIZE line = {};
            GetTextExtentPoint32A(screen, lines.data() + start, static_cast<int>(cr - start), &line);
            total.cx = std::max(total.cx, line.cx);
            total.cy += line.cy;
            start = cr + 2;
        }
        SelectObject(screen, old);
        ReleaseDC(nullptr, screen);
        DeleteObject(font);
        return SIZE{total.cx + 12, total.cy + 6};
    }

    // A run of "W" whose needed width is the first at or above `width`.
    std::string TextNeeding(int width) const
    {
        std::string text = "W";
        while (Needed(text.c_str()).cx < width)
            text += "W";
        return text;
    }

    static std::string StoredString(const char* name)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\KOVA\\Jotwise", 0, KEY_READ, &key) != ERROR_SUCCESS)
            return "<no store>";
        char value[1024] = {};
        DWORD size = sizeof(value) - 1;
        LONG result = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
        RegCloseKey(key);
        return result == ERROR_SUCCESS ? std::string(value) : std::string("<no value>");
    }

    static bool StoredValue(const char* name)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\KOVA\\Jotwise", 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        LONG result = RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr);
        RegCloseKey(key);
        return result == ERROR_SUCCESS;
    }

    NoteRecord* OnlyNote() const
    {
        std::vector<HWND> notes = NoteWindows();
        return notes.size() == 1 ? NoteRecordOf(notes[0]) : nullptr;
    }
};

// Presses OK in the first common dialog that appears; true when one did.
bool ConfirmChooser(const std::function<void()>& action)
{
    bool seen = false;
    RunWithUser(
        [&] {
            HWND dialog = WaitForDialog(kUserTimeout);
            if (!dialog)
                return;
            seen = true;
            // Pressed once the chooser's own start-up has run.
            SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL, kUserTimeout, nullptr);
            Press(dialog, IDOK);
        },
        action);
    return seen;
}

} // namespace

TEST_F(EditorApply, EmptyTextIsRefusedAndTheEditorStays)
{
    ASSERT_NE(nullptr, OpenNew());
    BoxLog log = Apply();
    EXPECT_EQ(1, log.count);
    EXPECT_EQ(Sjis("メモが入力されていません。"), log.text);
    EXPECT_EQ(Editor(), log.owner) << "the error box belongs to the editor";
    ASSERT_NE(nullptr, Editor()) << "the editor stays open";
    EXPECT_EQ(Edit(), GetFocus()) << "the focus goes to the edit control";
    EXPECT_TRUE(NoteWindows().empty());
}

TEST_F(EditorApply, TextOfOnlyLineBreaksIsRefusedWhenTheyAreCut)
{
    app_->options.cutTrailingNewline = 1;
    ASSERT_NE(nullptr, OpenNew());
    SetText("\r\n\r\n\r\n");
    SendMessageA(Edit(), EM_SETMODIFY, TRUE, 0);
    BoxLog log = Apply();
    EXPECT_EQ(1, log.count) << "one box";
    EXPECT_EQ(Sjis("メモが入力されていません。"), log.text);
    ASSERT_NE(nullptr, Editor()) << "the editor stays open";
    EXPECT_EQ(Edit(), GetFocus());
    EXPECT_EQ("\r\n\r\n\r\n", Text()) << "the typed text is left as it was";
    EXPECT_TRUE(Modified()) << "nothing was taken over";
    EXPECT_EQ(nullptr, State()->note.text);
    EXPECT_TRUE(NoteWindows().empty()) << "no empty 0 x 0 note";
    EXPECT_FALSE(StoredValue("List1"));

    // Without the cut the line breaks are text like any other.
    app_->options.cutTrailingNewline = 0;
    log = Apply();
    EXPECT_EQ(0, log.count);
    EXPECT_EQ(nullptr, Editor());
    ASSERT_NE(nullptr, OnlyNote());
    EXPECT_STREQ("\r\n\r\n\r\n", OnlyNote()->text);
}

TEST_F(EditorApply, NewNoteExpandsTabsMeasuresAndIsStoredAtOnce)
{
    app_->options.tabIndex = 1;
    app_->options.border = 0;
    ASSERT_NE(nullptr, OpenNew());
    int id = State()->note.id;
    SetText("abc\td");
    BoxLog log = Apply();
    EXPECT_EQ(0, log.count);
    EXPECT_EQ(nullptr, Editor()) << "apply closes the editor without asking";
    EXPECT_TRUE(IsWindowEnabled(main_));

    NoteRecord* note = OnlyNote();
    ASSERT_NE(nullptr, note) << "one note created";
    EXPECT_STREQ("abc d", note->text) << "column 3 to the tab stop at 4";
    SIZE needed = Needed("abc d");
    EXPECT_EQ(needed.cx, note->width) << "one line plus 6 pixels each side";
    EXPECT_EQ(needed.cy, note->height) << "one line plus 3 pixels top and bottom";
    EXPECT_EQ(id, note->id);
    EXPECT_GE(note->left, 0);
    EXPECT_GE(note->top, 0);
    EXPECT_LE(note->left + note->width, GetSystemMetrics(SM_CXSCREEN)) << "clamped onto the screen";
    EXPECT_LE(note->top + note->height, GetSystemMetrics(SM_CYSCREEN));

    std::string suffix = std::to_string(id);
    EXPECT_TRUE(StoredValue(("List" + suffix).c_str())) << "record stored on apply";
    EXPECT_EQ("abc d", StoredString(("Memo" + suffix).c_str()));
    EXPECT_TRUE(StoredValue(("Font" + suffix).c_str()));
}

TEST_F(EditorApply, TrailingLineBreaksAreCutWithTheOption)
{
    app_->options.cutTrailingNewline = 1;
    ASSERT_NE(nullptr, OpenNew());
    SetText("abc\r\n\r\n\r\n");
    Apply();
    NoteRecord* cut = OnlyNote();
    ASSERT_NE(nullptr, cut);
    EXPECT_STREQ("abc", cut->text);
    int cutHeight = cut->height;
    int cutWidth = cut->width;
    std::vector<HWND> first = NoteWindows();

    app_->options.cutTrailingNewline = 0;
    ASSERT_NE(nullptr, OpenNew());
    SetText("abc\r\n");
    Apply();
    NoteRecord* kept = nullptr;
    for (HWND note : NoteWindows()) {
        if (note != first[0])
            kept = NoteRecordOf(note);
    }
    ASSERT_NE(nullptr, kept);
    EXPECT_STREQ("abc\r\n", kept->text);
    EXPECT_EQ(cutWidth, kept->width);
    EXPECT_EQ(Needed("abc").cy - 6, kept->height - cutHeight) << "one line shorter when cut";
}

TEST_F(EditorApply, ExistingNoteKeepsAWidthUpToTwiceTheNeedAndItsPlace)
{
    std::string wide = TextNeeding(200);
    std::string narrow = TextNeeding(140);
    ASSERT_LE(Needed(wide.c_str()).cx, 210);
    ASSERT_LT(Needed(narrow.c_str()).cx, 150) << "300 is more than twice what it needs";

    int lineHeight = Needed("x").cy;
    HWND note = MakeNote(5, 210, 160, 300, lineHeight, "old");
    ASSERT_NE(nullptr, note);
    ASSERT_NE(nullptr, OpenOn(note));
    SetText(wide.c_str());
    Apply();
    ASSERT_EQ(nullptr, Editor());
    NoteRecord* record = NoteRecordOf(note);
    EXPECT_STREQ(wide.c_str(), record->text);
    EXPECT_EQ(300, record->width) << "needs " << Needed(wide.c_str()).cx << ", keeps 300";
    RECT rect = {};
    GetWindowRect(note, &rect);
    EXPECT_EQ(210, rect.left);
    EXPECT_EQ(160, rect.top);
    EXPECT_EQ(300, rect.right - rect.left);
    EXPECT_EQ(210, record->left);
    EXPECT_EQ(160, record->top);

    ASSERT_NE(nullptr, OpenOn(note));
    SetText(narrow.c_str());
    Apply();
    ASSERT_EQ(nullptr, Editor());
    int needed = Needed(narrow.c_str()).cx;
    EXPECT_EQ(needed, record->width) << "a note more than twice as wide as needed shrinks";
    GetWindowRect(note, &rect);
    EXPECT_EQ(210, rect.left) << "the position does not change";
    EXPECT_EQ(160, rect.top);
    EXPECT_EQ(needed, rect.right - rect.left) << "the window follows the record";
}

TEST_F(EditorApply, ExistingNoteTakesOverTheCopyWithFreshResources)
{
    // Already the size "after" needs: nothing but the apply itself repaints.
    SIZE size = Needed("after");
    HWND note = MakeNote(4, 100, 100, size.cx, size.cy, "before");
    ASSERT_NE(nullptr, note);
    NoteRecord* record = NoteRecordOf(note);
    record->reserved63[0] = 0x5A;
    ASSERT_NE(nullptr, OpenOn(note));
    EditorState* state = State();
    state->note.foreColour = RGB(9, 8, 7);
    state->note.backColour = RGB(250, 240, 230);
    state->note.due.dwLowDateTime = 0x12345678;
    state->note.due.dwHighDateTime = 0x01D00000;
    SetText("after");
    UpdateWindow(note);
    SendMessageA(Editor(), WM_COMMAND, IDM_EDIT_APPLY, 0);
    EXPECT_TRUE(GetUpdateRect(note, nullptr, FALSE)) << "the note is repainted in its new look";
    EXPECT_EQ(size.cx, record->width);
    PumpMessages(30);
    ASSERT_EQ(nullptr, Editor()) << "the editor closed and released its copy";
    EXPECT_STREQ("after", record->text);
    EXPECT_EQ(RGB(9, 8, 7), record->foreColour);
    EXPECT_EQ(RGB(250, 240, 230), record->backColour);
    EXPECT_EQ(0x12345678u, record->due.dwLowDateTime);
    EXPECT_EQ(4, record->id);
    EXPECT_EQ(0x5A, record->reserved63[0]) << "untouched fields travel with the copy";
    LOGFONTA font = {};
    EXPECT_NE(0, GetObjectA(record->font, sizeof(font), &font)) << "the note's font outlives the editor";
    LOGBRUSH brush = {};
    ASSERT_NE(0, GetObjectA(record->brush, sizeof(brush), &brush)) << "the note's brush outlives the editor";
    EXPECT_EQ(RGB(250, 240, 230), brush.lbColor);
    EXPECT_EQ("after", StoredString("Memo4")) << "stored on apply";
    EXPECT_TRUE(IsWindowEnabled(note));
}

TEST_F(EditorApply, OwnerWithoutRecordKeepsTheEditorOpen)
{
    HWND note = MakeNote(6, 100, 100, 200, 60, "text");
    ASSERT_NE(nullptr, note);
    ASSERT_NE(nullptr, OpenOn(note));
    SetText("changed");
    SendMessageA(Edit(), EM_SETMODIFY, TRUE, 0);
    LONG_PTR record = SetWindowLongPtrA(note, GWLP_USERDATA, 0);
    BoxLog log = Apply();
    SetWindowLongPtrA(note, GWLP_USERDATA, record);
    EXPECT_EQ(0, log.count) << "nothing is shown";
    ASSERT_NE(nullptr, Editor()) << "the editor stays";
    EXPECT_TRUE(Modified()) << "nothing was kept, so the text still counts as changed";
    EXPECT_STREQ("changed", State()->note.text);
}

TEST_F(EditorApply, OwnerDeletedMeanwhileIsAppliedAsANewNote)
{
    HWND note = MakeNote(6, 100, 100, 200, 60, "text");
    ASSERT_NE(nullptr, OpenOn(note));
    // What the note list's delete does to a note on the desktop.
    NoteRecordOf(note)->deleted = 1;
    SendMessageA(note, WM_CLOSE, 0, 0);
    SetText("changed");
    EXPECT_EQ(0, Apply().count);
    EXPECT_EQ(nullptr, Editor()) << "the text is not stuck in an editor whose apply does nothing";
    NoteRecord* created = OnlyNote();
    ASSERT_NE(nullptr, created);
    EXPECT_STREQ("changed", created->text);
}

TEST_F(EditorApply, NewNoteWithSixtyFourNotesOpenShows8002AndStays)
{
    HWND stand = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    for (HWND& slot : app_->noteWindows)
        slot = stand;
    ASSERT_NE(nullptr, OpenNew());
    SetText("one too many");
    BoxLog log = Apply();
    for (HWND& slot : app_->noteWindows)
        slot = nullptr;
    DestroyWindow(stand);
    EXPECT_EQ(1, log.count);
    EXPECT_EQ(Sjis("個数オーバーです。これ以上開けません。"), log.text);
    ASSERT_NE(nullptr, Editor()) << "the editor stays with the text";
    EXPECT_TRUE(Modified());
    EXPECT_FALSE(StoredValue("List1")) << "nothing stored";
}

TEST_F(EditorApply, NewNoteIdTakenMeanwhileIsChosenAgain)
{
    ASSERT_NE(nullptr, OpenNew());
    int given = State()->note.id;
    ASSERT_EQ(1, given);
    // A duplicate made while the editor is open takes the lowest free ID.
    HWND other = MakeNote(given, 500, 500, 80, 40, "duplicate");
    ASSERT_NE(nullptr, other);
    SetText("new");
    Apply();
    ASSERT_EQ(nullptr, Editor());
    std::vector<HWND> notes = NoteWindows();
    ASSERT_EQ(2u, notes.size());
    NoteRecord* created = NoteRecordOf(notes[0] == other ? notes[1] : notes[0]);
    EXPECT_NE(given, created->id) << "two notes under one ID would share their stored values";
    EXPECT_EQ(2, created->id) << "the lowest ID still free";
    EXPECT_EQ("new", StoredString(("Memo" + std::to_string(created->id)).c_str()));
    EXPECT_NE("new", StoredString("Memo1")) << "the other note's values are not overwritten";
}

TEST_F(EditorApply, SameBackColourDoesNotMarkModifiedButTheSameFontDoes)
{
    ASSERT_NE(nullptr, OpenNew());
    HBRUSH brush = State()->note.brush;
    EXPECT_TRUE(ConfirmChooser([&] { SendMessageA(Editor(), WM_COMMAND, IDM_EDIT_BACKCOLOUR, 0); }))
        << "colour chooser shown";
    EXPECT_FALSE(Modified()) << "the same back colour is no change";
    EXPECT_EQ(brush, State()->note.brush);
    BoxLog asked = AnswerBoxes(IDYES, [&] { SendMessageA(Editor(), WM_CLOSE, 0, 0); });
    EXPECT_EQ(0, asked.count) << "closing asks nothing";
    EXPECT_EQ(nullptr, Editor());

    ASSERT_NE(nullptr, OpenNew());
    HFONT font = State()->note.font;
    EXPECT_TRUE(ConfirmChooser([&] { SendMessageA(Editor(), WM_COMMAND, IDM_EDIT_FONT, 0); }))
        << "font chooser shown";
    EXPECT_TRUE(Modified()) << "confirming the font chooser always counts as a change";
    EXPECT_NE(font, State()->note.font) << "a new font was made";
    EXPECT_EQ(State()->note.font, reinterpret_cast<HFONT>(SendMessageA(Edit(), WM_GETFONT, 0, 0)))
        << "the edit control shows the chosen font";
    asked = AnswerBoxes(IDYES, [&] { SendMessageA(Editor(), WM_CLOSE, 0, 0); });
    EXPECT_EQ(1, asked.count) << "closing asks";
    EXPECT_EQ(nullptr, Editor());
}

TEST_F(EditorApply, OtherBackColourMarksModifiedAndReplacesTheBrush)
{
    ASSERT_NE(nullptr, OpenNew());
    COLORREF before = State()->note.backColour;
    HBRUSH brush = State()->note.brush;
    RunWithUser(
        [&] {
            HWND dialog = WaitForDialog(kUserTimeout);
            if (!dialog)
                return;
            // A basic colour cell other than the current colour.
            ClickCell(dialog, COLOR_BOX1, 6, 8, 0, 0);
            Press(dialog, IDOK);
        },
        [&] { SendMessageA(Editor(), WM_COMMAND, IDM_EDIT_BACKCOLOUR, 0); });
    ASSERT_NE(before, State()->note.backColour) << "a different colour was chosen";
    EXPECT_TRUE(Modified());
    EXPECT_NE(brush, State()->note.brush);
    LOGBRUSH chosen = {};
    GetObjectA(State()->note.brush, sizeof(chosen), &chosen);
    EXPECT_EQ(State()->note.backColour, chosen.lbColor);
}

TEST_F(EditorApply, InsertDateReplacesTheSelectionAndCannotBeUndone)
{
    ASSERT_NE(nullptr, OpenNew());
    SetText("due: word!");
    SendMessageA(Edit(), EM_SETSEL, 5, 9);
    SendMessageA(Editor(), WM_COMMAND, IDM_EDIT_INSERTDATE, 0);
    std::string text = Text();
    ASSERT_EQ(5u + 19u + 1u, text.size()) << text;
    EXPECT_EQ("due: ", text.substr(0, 5));
    EXPECT_EQ("!", text.substr(24));
    std::string date = text.substr(5, 19);
    SYSTEMTIME now;
    GetLocalTime(&now);
    char year[8];
    wsprintfA(year, "%04d/", now.wYear);
    EXPECT_EQ(year, date.substr(0, 5));
    EXPECT_EQ('/', date[7]);
    EXPECT_EQ(' ', date[10]);
    EXPECT_EQ(':', date[13]);
    EXPECT_EQ(':', date[16]);
    EXPECT_EQ(0, SendMessageA(Edit(), EM_CANUNDO, 0, 0)) << "the insertion cannot be undone";
}

TEST_F(EditorApply, EditCommandsReachTheEditControl)
{
    ASSERT_NE(nullptr, OpenNew());
    HWND editor = Editor();
    SetText("abcdef");
    SendMessageA(editor, WM_COMMAND, IDM_EDIT_SELECTALL, 0);
    DWORD selection = static_cast<DWORD>(SendMessageA(Edit(), EM_GETSEL, 0, 0));
    EXPECT_EQ(0, LOWORD(selection));
    EXPECT_EQ(6, HIWORD(selection)) << "select all";

    SendMessageA(Edit(), EM_SETSEL, 0, 3);
    SendMessageA(editor, WM_COMMAND, IDM_EDIT_CUT, 0);
    EXPECT_EQ("def", Text()) << "cut";
    SendMessageA(Edit(), EM_SETSEL, 3, 3);
    SendMessageA(editor, WM_COMMAND, IDM_EDIT_PASTE, 0);
    EXPECT_EQ("defabc", Text()) << "paste";
    SendMessageA(Edit(), EM_SETSEL, 0, 1);
    SendMessageA(editor, WM_COMMAND, IDM_EDIT_CLEAR, 0);
    EXPECT_EQ("efabc", Text()) << "delete";
    SendMessageA(editor, WM_COMMAND, IDM_EDIT_UNDO, 0);
    EXPECT_EQ("defabc", Text()) << "undo";
    SendMessageA(Edit(), EM_SETSEL, 0, 2);
    SendMessageA(editor, WM_COMMAND, IDM_EDIT_COPY, 0);
    SendMessageA(Edit(), EM_SETSEL, 6, 6);
    SendMessageA(editor, WM_COMMAND, IDM_EDIT_PASTE, 0);
    EXPECT_EQ("defabcde", Text()) << "copy";
    // A long text pasted from elsewhere arrives whole.
    SetText(std::string(40000, 'x').c_str());
    SendMessageA(editor, WM_COMMAND, IDM_EDIT_SELECTALL, 0);
    SendMessageA(editor, WM_COMMAND, IDM_EDIT_CUT, 0);
    SendMessageA(editor, WM_COMMAND, IDM_EDIT_PASTE, 0);
    EXPECT_EQ(40000, GetWindowTextLengthA(Edit())) << "paste";
}

TEST_F(EditorApply, CloseCommandAsksOnlyForChanges)
{
    ASSERT_NE(nullptr, OpenNew());
    SendMessageA(Edit(), WM_CHAR, 'q', 0);
    BoxLog asked = AnswerBoxes(IDNO, [&] {
        SendMessageA(Editor(), WM_COMMAND, IDM_EDIT_CLOSE, 0);
        PumpMessages(50);
    });
    EXPECT_EQ(1, asked.count);
    ASSERT_NE(nullptr, Editor()) << "No keeps the editor";
    EXPECT_EQ("q", Text());
    asked = AnswerBoxes(IDYES, [&] {
        SendMessageA(Editor(), WM_COMMAND, IDM_EDIT_CLOSE, 0);
        PumpMessages(50);
    });
    EXPECT_EQ(1, asked.count);
    EXPECT_EQ(nullptr, Editor());
    EXPECT_TRUE(NoteWindows().empty()) << "closing never creates a note";

    // A second close (a double click on the button) while the question is up.
    ASSERT_NE(nullptr, OpenNew());
    SendMessageA(Edit(), WM_CHAR, 'q', 0);
    asked = AnswerBoxes(IDYES, [&] {
        PostMessageA(Editor(), WM_COMMAND, IDM_EDIT_CLOSE, 0);
        PostMessageA(Editor(), WM_COMMAND, IDM_EDIT_CLOSE, 0);
        PumpMessages(50);
    });
    EXPECT_EQ(1, asked.count) << "one question";
    EXPECT_EQ(nullptr, Editor());
}
