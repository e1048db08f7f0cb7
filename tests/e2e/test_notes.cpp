// Notes of the real program: where stored notes appear, what the store holds
// after them, duplication, the questions of peeling a note off, and the
// tray icon and menus.
#include <windows.h>

#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <utility>

#include "tests/e2e/driver.h"

using namespace e2e;

namespace
{

constexpr int kPeelOff = 1101;
constexpr int kDeleteFromRecord = 1102;
constexpr int kDuplicate = 1112;
constexpr int kHide = 1113;
constexpr int kShowAll = 1002;
constexpr int kTopmost = 1121;

class Notes : public testing::Test
{
protected:
    void SetUp() override { store::Clear(); }
    void TearDown() override { store::Clear(); }
};

Bytes BytesOf(const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return Bytes(bytes, bytes + size);
}

HWND NoteAt(const Jotwise& app, int left, int top)
{
    for (HWND note : app.Notes()) {
        RECT rect = WindowRect(note);
        if (rect.left == left && rect.top == top)
            return note;
    }
    return nullptr;
}

// A record whose stored bytes all differ, reserved ones included. Its due
// time lies a month ahead, so the monitor leaves its draw state at 0.
NoteRecord PatternedNote(int id, int left, int top, int width, int height)
{
    NoteRecord record = MakeNote(id, left, top, width, height);
    for (int i = 0; i < 4; ++i)
        record.reserved0[i] = static_cast<std::uint8_t>(0xA0 + i + id);
    for (int i = 0; i < 17; ++i)
        record.reserved63[i] = static_cast<std::uint8_t>(0xC0 + i + id);
    record.foreColour = RGB(10, 20, id);
    record.backColour = RGB(250, 240, id);
    record.created = {0x11223344u + id, 0x01D9ABCDu};
    record.due = LocalTimeFromNow(30 * kMinutesPerDay);
    record.due.dwLowDateTime += id;
    return record;
}

// What the program writes back for a seeded note: the same 80 bytes, except
// the run-time handle bits, and the flags that every start resets.
void ExpectSavedAsSeeded(NoteRecord seeded, int id)
{
    std::optional<Bytes> stored = store::Read("List" + std::to_string(id));
    ASSERT_TRUE(stored.has_value()) << "List" << id;
    ASSERT_EQ(kNoteImageSize, stored->size()) << "List" << id;
    NoteRecord saved;
    std::memcpy(&saved, stored->data(), kNoteImageSize);
    seeded.storedText = saved.storedText;
    seeded.storedFont = saved.storedFont;
    seeded.storedBrush = saved.storedBrush;
    seeded.hidden = 0;
    seeded.drawState = 0;
    EXPECT_EQ(BytesOf(&seeded, kNoteImageSize), *stored) << "List" << id;
}

// A note's pixels once the program has painted them: two reads in a row
// agree and show the dark ink of its text.
std::vector<COLORREF> PaintedPixels(HWND note)
{
    std::vector<COLORREF> last;
    std::vector<COLORREF> now;
    auto read = [note] {
        RECT rect = WindowRect(note);
        const int width = rect.right - rect.left;
        const int height = rect.bottom - rect.top;
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
        std::vector<COLORREF> pixels;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                pixels.push_back(GetPixel(memory, x, y));
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
        return pixels;
    };
    auto ink
        = [](COLORREF colour) { return GetRValue(colour) + GetGValue(colour) + GetBValue(colour) < 200; };
    WaitUntil([&] {
        last = std::exchange(now, read());
        return now == last && std::any_of(now.begin(), now.end(), ink);
    });
    return now;
}

// A run under code page 932 keeps a note's pixels in the prefix's temporary
// folder; a run under 1252 must paint exactly the same.
void ExpectPaintedAsUnder932(HWND note)
{
    std::string pixels;
    for (COLORREF colour : PaintedPixels(note))
        pixels += std::to_string(colour) + ' ';
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::filesystem::path reference = std::filesystem::path(temp) / "jotwise-note-cp932.txt";
    if (GetACP() == 932) {
        std::ofstream(reference) << pixels;
        return;
    }
    std::ifstream in(reference);
    ASSERT_TRUE(in.good()) << "no note painted under code page 932 to compare with";
    std::string expected((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(expected == pixels) << "the note paints as under code page 932 (now " << GetACP() << ")";
}

bool HasNoteValues(int id)
{
    std::string n = std::to_string(id);
    return store::Read("List" + n) && store::Read("Memo" + n) && store::Read("Font" + n);
}

bool HasAnyNoteValue(int id)
{
    std::string n = std::to_string(id);
    return store::Read("List" + n) || store::Read("Memo" + n) || store::Read("Font" + n)
        || store::Read("Topmost" + n);
}

// Runs a note command that asks a question, checks the box, answers it and
// waits until the box has gone.
void AnswerQuestion(
    const Jotwise& app, HWND note, int command, const std::string& question, bool withCancel, int answer)
{
    app.PostCommand(note, command);
    HWND box = app.WaitForDialog();
    ASSERT_NE(nullptr, box) << "question of command " << command;
    EXPECT_EQ(Sjis(u8"処理の確認"), WindowText(box)) << "caption";
    EXPECT_EQ(question, MessageText(box)) << "question text";
    EXPECT_NE(nullptr, GetDlgItem(box, IDYES));
    EXPECT_NE(nullptr, GetDlgItem(box, IDNO));
    EXPECT_EQ(withCancel, GetDlgItem(box, IDCANCEL) != nullptr) << "Cancel button";
    PressButton(box, answer);
    ASSERT_TRUE(app.WaitForNoDialog());
    app.Sync();
}

bool Closes(HWND note)
{
    return WaitUntil([note] { return !IsWindow(note); });
}

} // namespace

TEST_F(Notes, StoredNotesAppearAtTheirRectanglesAndSaveBackByteForByte)
{
    NoteRecord one = PatternedNote(1, 40, 60, 180, 90);
    NoteRecord seven = PatternedNote(7, 500, 300, 120, 200);
    seven.hidden = 1; // a start shows every note, whatever the store says
    seven.drawState = 3;
    NoteRecord last = PatternedNote(127, -30, 700, 260, 120); // partly off the screen
    LOGFONTA font = DefaultFont();
    LOGFONTA bigFont = DefaultFont();
    bigFont.lfHeight = 29;
    bigFont.lfWeight = FW_BOLD;
    const std::string textOne = Sjis(u8"一行目\r\n二行目 & more");
    store::SeedNote(one, textOne, font);
    store::SeedNote(seven, "seven", bigFont);
    store::SeedNote(last, "last", font);
    // Stored on monitors that are gone: brought into the work area.
    const NoteRecord lost[] = {MakeNote(20, 3000, 100, 111, 60), MakeNote(21, -1500, 200, 112, 60)};
    for (const NoteRecord& record : lost)
        store::SeedNote(record, "lost", font);

    Jotwise app;
    ASSERT_TRUE(app.Start());
    std::vector<HWND> notes = app.Notes();
    ASSERT_EQ(5u, notes.size());
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT found[2] = {};
    for (HWND note : notes)
        for (int i = 0; i < 2; ++i)
            if (WindowRect(note).right - WindowRect(note).left == lost[i].width)
                found[i] = WindowRect(note);
    EXPECT_EQ(work.right, found[0].right) << "the note at x 3000 comes to the right edge";
    EXPECT_EQ(work.left, found[1].left) << "the note at x -1500 comes to the left edge";
    EXPECT_EQ(200, found[1].top) << "only as far as needed";
    ExpectPaintedAsUnder932(NoteAt(app, one.left, one.top));
    for (const NoteRecord* record : {&one, &seven, &last}) {
        HWND note = NoteAt(app, record->left, record->top);
        ASSERT_NE(nullptr, note) << "note " << record->id << " at its stored place";
        RECT rect = WindowRect(note);
        EXPECT_EQ(record->width, rect.right - rect.left) << "note " << record->id;
        EXPECT_EQ(record->height, rect.bottom - rect.top) << "note " << record->id;
        EXPECT_TRUE(IsWindowVisible(note)) << "note " << record->id;
        EXPECT_EQ(WS_EX_TOOLWINDOW, GetWindowLongA(note, GWL_EXSTYLE) & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST));
        EXPECT_EQ(static_cast<LONG>(WS_POPUP | WS_VISIBLE),
            GetWindowLongA(note, GWL_STYLE) & (WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_THICKFRAME));
    }
    ASSERT_EQ(std::optional<DWORD>(0), app.Exit());

    ExpectSavedAsSeeded(one, 1);
    ExpectSavedAsSeeded(seven, 7);
    ExpectSavedAsSeeded(last, 127);
    EXPECT_EQ(found[0].left, store::ReadNote(20).value_or(NoteRecord{}).left) << "the new place is kept";
    DWORD type = 0;
    EXPECT_EQ(BytesOf(textOne.c_str(), textOne.size() + 1), store::Read("Memo1", &type).value_or(Bytes{}));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(BytesOf("seven", 6), store::Read("Memo7").value_or(Bytes{}));
    EXPECT_EQ(BytesOf(&font, sizeof(font)), store::Read("Font1", &type).value_or(Bytes{}));
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
    EXPECT_EQ(BytesOf(&bigFont, sizeof(bigFont)), store::Read("Font7").value_or(Bytes{}));
    EXPECT_EQ(BytesOf(&font, sizeof(font)), store::Read("Font127").value_or(Bytes{}));
    EXPECT_EQ(18u, store::ValueNames().size()) << "five notes, Version, Option and Font";
}

TEST_F(Notes, DuplicateIsStoredUnderItsNewIdAtOnce)
{
    NoteRecord source = PatternedNote(1, 200, 150, 140, 70);
    const std::string text = Sjis(u8"複製してね");
    LOGFONTA font = DefaultFont();
    font.lfHeight = 21;
    store::SeedNote(source, text, font);
    // A stored note that is not loaded (its text is missing) keeps its ID.
    NoteRecord skipped = MakeNote(2, 10, 10, 80, 40);
    store::WriteBinary("List2", &skipped, kNoteImageSize);
    store::WriteBinary("Font2", &font, sizeof(font));

    Jotwise app;
    ASSERT_TRUE(app.Start());
    std::vector<HWND> notes = app.Notes();
    ASSERT_EQ(1u, notes.size());
    app.PostCommand(notes[0], kDuplicate);
    ASSERT_TRUE(WaitUntil([&app] { return app.Notes().size() == 2; })) << "a second note window";
    app.Sync();

    EXPECT_FALSE(store::Read("Memo2").has_value()) << "the skipped note's ID is not taken";
    EXPECT_EQ(BytesOf(&skipped, kNoteImageSize), store::Read("List2").value_or(Bytes{}));
    ASSERT_TRUE(HasNoteValues(3)) << "the copy is stored under ID 3 before anything closes";
    std::optional<NoteRecord> copy = store::ReadNote(3);
    ASSERT_TRUE(copy.has_value());
    EXPECT_EQ(3, copy->id);
    EXPECT_EQ(source.width, copy->width);
    EXPECT_EQ(source.height, copy->height);
    EXPECT_EQ(0, std::memcmp(&source.created, &copy->created, sizeof(FILETIME))) << "created time kept";
    EXPECT_EQ(0, std::memcmp(&source.due, &copy->due, sizeof(FILETIME))) << "due time kept";
    EXPECT_EQ(source.foreColour, copy->foreColour);
    EXPECT_EQ(source.backColour, copy->backColour);
    EXPECT_EQ(0, std::memcmp(source.reserved63, copy->reserved63, sizeof(source.reserved63)));
    EXPECT_EQ(BytesOf(text.c_str(), text.size() + 1), store::Read("Memo3").value_or(Bytes{}));
    EXPECT_EQ(BytesOf(&font, sizeof(font)), store::Read("Font3").value_or(Bytes{}));

    HWND original = NoteAt(app, source.left, source.top);
    EXPECT_EQ(notes[0], original) << "the source stays where it was";
    HWND duplicate = NoteAt(app, copy->left, copy->top);
    ASSERT_NE(nullptr, duplicate) << "the copy's window is where its record says";
    RECT rect = WindowRect(duplicate);
    EXPECT_EQ(source.width, rect.right - rect.left);
    EXPECT_EQ(source.height, rect.bottom - rect.top);
    bool onSource = copy->left >= source.left && copy->left <= source.left + source.width
        && copy->top >= source.top && copy->top <= source.top + source.height;
    EXPECT_FALSE(onSource) << "the copy's corner avoids the source";

    ASSERT_EQ(std::optional<DWORD>(0), app.Exit());
    ExpectSavedAsSeeded(source, 1);
    EXPECT_EQ(BytesOf(&skipped, kNoteImageSize), store::Read("List2").value_or(Bytes{}));
    EXPECT_FALSE(store::Read("Memo2").has_value());
}

TEST_F(Notes, DeleteFromRecordAnswersAndWhatComesBackAtTheNextStart)
{
    store::SeedNote(1, 100, 100, 120, 60, "yes");
    store::SeedNote(2, 300, 100, 120, 60, "no");
    store::SeedNote(3, 500, 100, 120, 60, "cancel");
    const std::string question = Sjis(u8"記録から削除しますか？");

    Jotwise app;
    ASSERT_TRUE(app.Start());
    HWND yes = NoteAt(app, 100, 100);
    HWND no = NoteAt(app, 300, 100);
    HWND cancel = NoteAt(app, 500, 100);
    ASSERT_TRUE(yes && no && cancel);

    // Cancel first: a close it posted would arrive before those of the others.
    AnswerQuestion(app, cancel, kDeleteFromRecord, question, true, IDCANCEL);
    AnswerQuestion(app, yes, kDeleteFromRecord, question, true, IDYES);
    EXPECT_TRUE(Closes(yes));
    EXPECT_TRUE(WaitUntil([] { return !HasAnyNoteValue(1); })) << "Yes deletes all three values at once";

    AnswerQuestion(app, no, kDeleteFromRecord, question, true, IDNO);
    EXPECT_TRUE(Closes(no)) << "No peels the note off";
    EXPECT_TRUE(HasNoteValues(2)) << "and keeps its values";
    EXPECT_TRUE(IsWindow(cancel)) << "Cancel keeps the note";
    EXPECT_EQ(1u, app.Notes().size());
    ASSERT_EQ(std::optional<DWORD>(0), app.Exit());

    // The peeled-off note comes back; the deleted one does not.
    Jotwise again;
    ASSERT_TRUE(again.Start());
    EXPECT_EQ(2u, again.Notes().size());
    EXPECT_EQ(nullptr, NoteAt(again, 100, 100)) << "the deleted note";
    EXPECT_NE(nullptr, NoteAt(again, 300, 100)) << "the peeled-off note";
    EXPECT_NE(nullptr, NoteAt(again, 500, 100)) << "the kept note";
    ASSERT_EQ(std::optional<DWORD>(0), again.Exit());
    EXPECT_FALSE(HasAnyNoteValue(1));
}

TEST_F(Notes, PeelingOffAnOverdueNoteOffersToDeleteIt)
{
    FILETIME due = LocalTimeFromNow(-3 * kMinutesPerDay);
    LOGFONTA font = DefaultFont();
    const std::string texts[3] = {"yes", "no", "cancel"};
    for (int id = 1; id <= 3; ++id) {
        NoteRecord record = MakeNote(id, 200 * id, 300, 120, 60);
        record.due = due;
        store::SeedNote(record, texts[id - 1], font);
    }
    const std::string question = Sjis(u8"このメモは指定の期日を過ぎています。記録から削除しますか？");

    Jotwise app;
    ASSERT_TRUE(app.Start());
    HWND yes = NoteAt(app, 200, 300);
    HWND no = NoteAt(app, 400, 300);
    HWND cancel = NoteAt(app, 600, 300);
    ASSERT_TRUE(yes && no && cancel);

    AnswerQuestion(app, cancel, kPeelOff, question, true, IDCANCEL);
    AnswerQuestion(app, yes, kPeelOff, question, true, IDYES);
    EXPECT_TRUE(Closes(yes));
    EXPECT_TRUE(WaitUntil([] { return !HasAnyNoteValue(1); })) << "Yes deletes the note from the record";

    AnswerQuestion(app, no, kPeelOff, question, true, IDNO);
    EXPECT_TRUE(Closes(no)) << "No still peels the note off";
    EXPECT_TRUE(HasNoteValues(2)) << "without deleting it";
    EXPECT_TRUE(IsWindowVisible(cancel)) << "Cancel keeps the note";
    ASSERT_EQ(std::optional<DWORD>(0), app.Exit());
    EXPECT_TRUE(HasNoteValues(2));
    EXPECT_TRUE(HasNoteValues(3));
}

TEST_F(Notes, PeelOffAsksOnceAndAPeeledNoteKeepsItsId)
{
    NoteRecord kept = PatternedNote(1, 100, 400, 120, 60);
    LOGFONTA font = DefaultFont();
    store::SeedNote(kept, "kept", font);
    store::SeedNote(2, 300, 400, 120, 60, "peeled");
    const std::string question = Sjis(u8"はがしますか？");

    Jotwise app;
    ASSERT_TRUE(app.Start());
    HWND no = NoteAt(app, 100, 400);
    HWND yes = NoteAt(app, 300, 400);
    ASSERT_TRUE(no && yes);

    // A close that No posted would arrive before the one of Yes.
    AnswerQuestion(app, no, kPeelOff, question, false, IDNO);
    AnswerQuestion(app, yes, kPeelOff, question, false, IDYES);
    EXPECT_TRUE(Closes(yes)) << "Yes peels the note off";
    EXPECT_TRUE(HasNoteValues(2)) << "its values stay for the next start";
    EXPECT_EQ(no, NoteAt(app, 100, 400)) << "No keeps the note in its place";
    EXPECT_EQ(BytesOf(&kept, kNoteImageSize), store::Read("List1").value_or(Bytes{})) << "nothing saved";

    // Its ID stays reserved for the rest of the run: a copy made now must not
    // take it and save over the peeled-off note.
    app.PostCommand(no, kDuplicate);
    ASSERT_TRUE(WaitUntil([] { return HasNoteValues(3); })) << "the copy takes ID 3";
    EXPECT_EQ(BytesOf("peeled", 7), store::Read("Memo2").value_or(Bytes{}));
    ASSERT_EQ(std::optional<DWORD>(0), app.Exit());

    Jotwise again;
    ASSERT_TRUE(again.Start());
    EXPECT_EQ(3u, again.Notes().size()) << "the peeled-off note is back with the others";
    EXPECT_NE(nullptr, NoteAt(again, 300, 400));
    ASSERT_EQ(std::optional<DWORD>(0), again.Exit());
}

TEST_F(Notes, LogoffSavesMovedNotesAndAResizeIsSavedAtClose)
{
    store::SeedNote(4, 100, 100, 120, 60, "moved");
    store::SeedNote(5, 600, 100, 120, 60, "moved, then hidden");
    Jotwise app;
    ASSERT_TRUE(app.Start());
    std::vector<HWND> notes = {NoteAt(app, 100, 100), NoteAt(app, 600, 100)};
    ASSERT_TRUE(notes[0] && notes[1]);
    SetWindowPos(notes[0], nullptr, 333, 222, 150, 80, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(notes[1], nullptr, 500, 400, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    app.PostCommand(notes[1], kHide);
    app.Sync();
    ASSERT_TRUE(app.Send(app.MainWindow(), WM_ENDSESSION, 1));
    EXPECT_EQ(500, store::ReadNote(5).value_or(NoteRecord{}).left) << "the hidden note at its new place";
    EXPECT_EQ(400, store::ReadNote(5).value_or(NoteRecord{}).top);
    std::optional<NoteRecord> saved = store::ReadNote(4);
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(333, saved->left);
    EXPECT_EQ(222, saved->top);
    EXPECT_EQ(150, saved->width);
    EXPECT_EQ(80, saved->height);
    EXPECT_EQ(BytesOf("moved", 6), store::Read("Memo4").value_or(Bytes{}));
    EXPECT_TRUE(store::Read("Option").has_value()) << "the options are saved too";
    EXPECT_TRUE(app.Running());

    // The logoff did not happen after all. A size change alone (what the
    // sizing border does) reaches the store when the note closes.
    SetWindowPos(notes[0], nullptr, 0, 0, 90, 45, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    app.Sync();
    EXPECT_EQ(150, store::ReadNote(4).value_or(NoteRecord{}).width) << "not saved before the close";
    ASSERT_EQ(std::optional<DWORD>(0), app.Exit());
    saved = store::ReadNote(4);
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(333, saved->left);
    EXPECT_EQ(222, saved->top);
    EXPECT_EQ(90, saved->width);
    EXPECT_EQ(45, saved->height);
}

TEST_F(Notes, TrayMenuIsInTheForegroundAndClosesOnAClickElsewhere)
{
    Jotwise app;
    ASSERT_TRUE(app.Start());
    SetCursorPos(500, 300);
    PostMessageA(app.MainWindow(), WM_APP + 321, 101, WM_RBUTTONDOWN);
    // A click counts once the menu has taken the mouse.
    ASSERT_TRUE(
        WaitUntil([&app] { return !app.Windows("#32768", true).empty() && app.ThreadInfo().hwndCapture; }));
    EXPECT_EQ(app.MainWindow(), GetForegroundWindow()) << "the menu's owner comes to the front first";
    INPUT click[3] = {};
    for (INPUT& input : click)
        input.type = INPUT_MOUSE;
    click[0].mi.dx = 200 * 65535 / GetSystemMetrics(SM_CXSCREEN);
    click[0].mi.dy = 100 * 65535 / GetSystemMetrics(SM_CYSCREEN);
    click[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    click[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    click[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(3, click, sizeof(INPUT));
    EXPECT_TRUE(WaitUntil([&app] { return app.Windows("#32768", true).empty(); })) << "the menu closes";
    ASSERT_EQ(std::optional<DWORD>(0), app.Exit());
}

TEST_F(Notes, TrayIconIsAddedAgainWhenTheTaskbarIsRecreated)
{
    Jotwise app;
    ASSERT_TRUE(app.Start());
    // Modifying an icon succeeds only while the shell has it.
    NOTIFYICONDATAA icon = {};
    icon.cbSize = sizeof(icon);
    icon.hWnd = app.MainWindow();
    icon.uID = 101;
    EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &icon)) << "the icon is there after the start";
    // A restarted shell starts with an empty notification area.
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &icon));
    EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &icon));
    ASSERT_TRUE(app.Send(app.MainWindow(), RegisterWindowMessageA("TaskbarCreated")));
    EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &icon)) << "the icon is back";
    ASSERT_EQ(std::optional<DWORD>(0), app.Exit());
    EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &icon)) << "and gone with the program";
}

TEST_F(Notes, TrayMenuGreysTheCommandsForNotesOnlyWhenThereAreNone)
{
    store::SeedNote(1, 100, 100, 120, 60, "hidden");
    Jotwise app;
    ASSERT_TRUE(app.Start());
    std::vector<HWND> notes = app.Notes();
    ASSERT_EQ(1u, notes.size());
    app.PostCommand(notes[0], kHide);
    ASSERT_TRUE(WaitUntil([&notes] { return !IsWindowVisible(notes[0]); }));
    EXPECT_EQ(ToItems("1111111111"), OpenMenu(app, app.MainWindow(), true)) << "a hidden note is a note";

    app.PostTrayCommand(kShowAll);
    ASSERT_TRUE(WaitUntil([&notes] { return IsWindowVisible(notes[0]) != FALSE; }));
    AnswerQuestion(app, notes[0], kDeleteFromRecord, Sjis(u8"記録から削除しますか？"), true, IDYES);
    ASSERT_TRUE(Closes(notes[0]));
    // Add note, the four commands for all notes (arrange, to front, hide,
    // the size submenu), backup, note list, options, help, exit.
    EXPECT_EQ(ToItems("1000011111"), OpenMenu(app, app.MainWindow(), true)) << "the last note gone";
    ASSERT_EQ(std::optional<DWORD>(0), app.Exit());
}

namespace
{
// A plain window of the test in a solid colour, where notes can cover it.
struct Backdrop {
    HWND window = nullptr;
    explicit Backdrop(COLORREF colour, int x, int y, int width, int height)
    {
        static HBRUSH brush = nullptr;
        if (brush)
            DeleteObject(brush);
        brush = CreateSolidBrush(colour);
        WNDCLASSA cls = {};
        cls.lpfnWndProc = DefWindowProcA;
        cls.hInstance = GetModuleHandleA(nullptr);
        cls.hbrBackground = brush;
        cls.lpszClassName = "JotwiseTestBackdrop";
        UnregisterClassA(cls.lpszClassName, cls.hInstance);
        RegisterClassA(&cls);
        window = CreateWindowExA(WS_EX_TOOLWINDOW, cls.lpszClassName, "", WS_POPUP | WS_VISIBLE, x, y, width,
            height, nullptr, nullptr, cls.hInstance, nullptr);
        UpdateWindow(window);
    }
    ~Backdrop() { DestroyWindow(window); }
};

COLORREF ScreenPixel(int x, int y)
{
    HDC screen = GetDC(nullptr);
    COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return colour;
}

// Moves the pointer as a mouse would, so the windows under it hear of it.
void MovePointer(int x, int y)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof(input));
}

LONG_PTR ExStyle(HWND window)
{
    return GetWindowLongPtrA(window, GWL_EXSTYLE);
}
} // namespace

TEST_F(Notes, AlwaysOnTopSurvivesARestartStaysOnTopAndGoesWithTheNote)
{
    store::SeedNote(1, 100, 100, 120, 60, "top");
    store::SeedNote(2, 400, 100, 120, 60, "off again");
    {
        Jotwise app;
        ASSERT_TRUE(app.Start());
        for (HWND note : {NoteAt(app, 100, 100), NoteAt(app, 400, 100)}) {
            ASSERT_NE(nullptr, note);
            EXPECT_FALSE(ExStyle(note) & WS_EX_LAYERED) << "at 100 % a note is not layered";
            app.PostCommand(note, kTopmost);
            EXPECT_TRUE(WaitUntil([note] { return (ExStyle(note) & WS_EX_TOPMOST) != 0; }));
        }
        EXPECT_TRUE(WaitUntil([] { return store::Read("Topmost1") && store::Read("Topmost2"); }))
            << "stored at once";
        ASSERT_EQ(std::optional<DWORD>(0), app.Exit());
    }
    {
        Jotwise app;
        ASSERT_TRUE(app.Start());
        HWND note = NoteAt(app, 100, 100);
        HWND off = NoteAt(app, 400, 100);
        ASSERT_NE(nullptr, note);
        ASSERT_NE(nullptr, off);
        EXPECT_TRUE(ExStyle(note) & WS_EX_TOPMOST) << "topmost again after the restart";
        Backdrop cover(RGB(0, 0, 255), 50, 50, 300, 200);
        SetForegroundWindow(cover.window);
        app.PostTrayCommand(kShowAll);
        EXPECT_TRUE(WaitUntil([note] {
            return WindowFromPoint(POINT{160, 130}) == note;
        })) << "the topmost note stays above a normal window";
        app.PostCommand(off, kTopmost);
        EXPECT_TRUE(WaitUntil([off] { return !(ExStyle(off) & WS_EX_TOPMOST); })) << "turned off again";
        EXPECT_TRUE(WaitUntil([] { return !store::Read("Topmost2"); })) << "and that is stored at once";
        AnswerQuestion(app, note, kDeleteFromRecord, Sjis(u8"記録から削除しますか？"), true, IDYES);
        EXPECT_TRUE(Closes(note));
        EXPECT_TRUE(WaitUntil([] { return !HasAnyNoteValue(1); })) << "deleting removes Topmost1 too";
        ASSERT_EQ(std::optional<DWORD>(0), app.Exit());
    }
    Jotwise app;
    ASSERT_TRUE(app.Start());
    HWND off = NoteAt(app, 400, 100);
    ASSERT_NE(nullptr, off);
    EXPECT_FALSE(ExStyle(off) & WS_EX_TOPMOST) << "turned off, it stays off after a restart";
    ASSERT_EQ(std::optional<DWORD>(0), app.Exit());
}

TEST_F(Notes, HalfSeeThroughNotesBlendWithWhatIsBelowAndTurnOpaqueUnderThePointer)
{
    DWORD half = 50;
    store::WriteValue("Opacity", REG_DWORD, &half, sizeof(half));
    NoteRecord record = MakeNote(1, 100, 100, 120, 60);
    record.backColour = RGB(255, 0, 0);
    store::SeedNote(record, "see", DefaultFont());
    Backdrop below(RGB(0, 0, 255), 50, 50, 300, 200);
    MovePointer(600, 600);
    Jotwise app;
    ASSERT_TRUE(app.Start());
    HWND note = NoteAt(app, 100, 100);
    ASSERT_NE(nullptr, note);
    EXPECT_TRUE(ExStyle(note) & WS_EX_LAYERED);
    auto alpha = [note] {
        BYTE value = 0;
        DWORD flags = 0;
        return GetLayeredWindowAttributes(note, nullptr, &value, &flags) && (flags & LWA_ALPHA) ? value : -1;
    };
    EXPECT_TRUE(WaitUntil([&] { return alpha() == 127; })) << "alpha " << alpha();
    // Away from the text, near the note's lower right corner: half red, half
    // blue. A display without a compositor cannot blend and shows red.
    auto isNear = [](COLORREF colour, int r, int g, int b) {
        return std::abs(GetRValue(colour) - r) < 24 && std::abs(GetGValue(colour) - g) < 24
            && std::abs(GetBValue(colour) - b) < 24;
    };
    EXPECT_TRUE(WaitUntil([&] {
        COLORREF shown = ScreenPixel(210, 150);
        return isNear(shown, 128, 0, 127) || isNear(shown, 255, 0, 0);
    })) << std::hex
        << ScreenPixel(210, 150);
    MovePointer(200, 150);
    EXPECT_TRUE(WaitUntil([&] { return alpha() == 255; })) << "opaque under the pointer";
    MovePointer(600, 600);
    EXPECT_TRUE(WaitUntil([&] { return alpha() == 127; })) << "see-through again";
    ASSERT_EQ(std::optional<DWORD>(0), app.Exit());
}

TEST_F(Notes, MovesAndResizesAreStoredWhenTheyEndAndSurviveAKill)
{
    store::SeedNote(1, 100, 100, 120, 60, "dragged");
    store::SeedNote(2, 400, 300, 120, 60, "resized");
    Jotwise app;
    ASSERT_TRUE(app.Start());
    HWND dragged = NoteAt(app, 100, 100);
    HWND resized = NoteAt(app, 400, 300);
    ASSERT_TRUE(dragged && resized);
    const Bytes seeded = store::Read("List2").value_or(Bytes{});

    // A click without movement, then a drag of the other note: once the drag
    // is stored, the click has been handled too.
    PostMessageA(resized, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    PostMessageA(resized, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    PostMessageA(dragged, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    PostMessageA(dragged, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 40));
    PostMessageA(dragged, WM_LBUTTONUP, 0, MAKELPARAM(60, 40));
    auto stored = [](int id, int left, int top, int width, int height) {
        return WaitUntil([=] {
            NoteRecord record = store::ReadNote(id).value_or(NoteRecord{});
            return record.left == left && record.top == top && record.width == width
                && record.height == height;
        });
    };
    EXPECT_TRUE(stored(1, 150, 130, 120, 60)) << "the drag is stored when it ends";
    EXPECT_EQ(seeded, store::Read("List2").value_or(Bytes{})) << "a click stores nothing";
    // The end of a resize through the sizing border.
    SetWindowPos(resized, nullptr, 0, 0, 200, 90, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PostMessageA(resized, WM_EXITSIZEMOVE, 0, 0);
    EXPECT_TRUE(stored(2, 400, 300, 200, 90)) << "the resize is stored when it ends";
    app.Kill();

    Jotwise again;
    ASSERT_TRUE(again.Start());
    EXPECT_NE(nullptr, NoteAt(again, 150, 130)) << "the drag survived the kill";
    HWND back = NoteAt(again, 400, 300);
    ASSERT_NE(nullptr, back) << "the resized note";
    RECT rect = WindowRect(back);
    EXPECT_EQ(200, rect.right - rect.left);
    EXPECT_EQ(90, rect.bottom - rect.top);
    EXPECT_EQ(std::optional<DWORD>(0), again.Exit());
}

TEST_F(Notes, TextWithoutTerminatorAndAnImpossibleFontHeightLoadAndKeepTheirBytes)
{
    // Another tool stored the text without its NUL (as binary), and a height
    // no font dialog gives, for the note and for the default font. Such a
    // font would take seconds to create: the note shows in the default font,
    // as its neighbour does.
    const std::string text = Sjis(u8"最後の字まで");
    LOGFONTA huge = DefaultFont();
    huge.lfHeight = 65535;
    store::SeedNote(MakeNote(1, 100, 100, 160, 60), "x", huge);
    store::WriteValue("Memo1", REG_BINARY, text.data(), static_cast<DWORD>(text.size()));
    store::WriteBinary("Font", &huge, sizeof(huge));
    store::SeedNote(2, 400, 100, 160, 60, text);
    Jotwise app;
    ASSERT_TRUE(app.Start());
    ASSERT_EQ(2u, app.Notes().size());
    EXPECT_TRUE(PaintedPixels(NoteAt(app, 100, 100)) == PaintedPixels(NoteAt(app, 400, 100)))
        << "the whole text in the default font";
    ASSERT_EQ(std::optional<DWORD>(0), app.Exit());
    EXPECT_EQ(BytesOf(text.c_str(), text.size() + 1), store::Read("Memo1").value_or(Bytes{}))
        << "every byte kept, terminated";
    EXPECT_EQ(BytesOf(&huge, sizeof(huge)), store::Read("Font1").value_or(Bytes{}))
        << "stored font untouched";
    EXPECT_EQ(BytesOf(&huge, sizeof(huge)), store::Read("Font").value_or(Bytes{}));
}
