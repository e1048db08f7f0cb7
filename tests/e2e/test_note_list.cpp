// The note list of the real program: every kind of stored note with its
// state, the search, and bringing notes back from wherever they are.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "platform/wide_text.h"
#include "tests/e2e/driver.h"

using namespace e2e;

namespace
{

constexpr int kNoteList = 1033;
constexpr int kListSearch = 202;
constexpr int kListView = 203;
constexpr int kListShow = 204;
constexpr int kListRestore = 206;
constexpr int kListDelete = 207;
constexpr int kListEmptyBin = 208;
constexpr int kListClose = 209;
constexpr int kOptions = 1008;
constexpr int kPeelOff = 1101;
constexpr int kDeleteFromRecord = 1102;
constexpr int kHide = 1113;

class NoteList : public testing::Test
{
protected:
    void SetUp() override { store::Clear(); }
    void TearDown() override { store::Clear(); }
};

std::wstring Wide(const char8_t* utf8)
{
    return WideFromNote(Sjis(utf8));
}

std::wstring Title(int id)
{
    return Wide(u8"メモ") + std::to_wstring(id) + Wide(u8"番");
}

// Every row of the list view in the other process, in its order.
std::vector<std::vector<std::wstring>> ReadRowsInOrder(const Jotwise& app, HWND view)
{
    std::vector<std::vector<std::wstring>> rows;
    constexpr int kTextMax = 256;
    void* remote = VirtualAllocEx(
        app.Process(), nullptr, sizeof(LVITEMW) + kTextMax * sizeof(wchar_t), MEM_COMMIT, PAGE_READWRITE);
    if (!remote)
        return rows;
    auto* remoteText = reinterpret_cast<wchar_t*>(static_cast<char*>(remote) + sizeof(LVITEMW));
    int count = static_cast<int>(SendMessageW(view, LVM_GETITEMCOUNT, 0, 0));
    for (int item = 0; item < count; ++item) {
        std::vector<std::wstring> cells;
        for (int column = 0; column < 4; ++column) {
            LVITEMW request = {};
            request.iSubItem = column;
            request.pszText = remoteText;
            request.cchTextMax = kTextMax;
            WriteProcessMemory(app.Process(), remote, &request, sizeof(request), nullptr);
            SendMessageW(view, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(remote));
            wchar_t text[kTextMax] = {};
            ReadProcessMemory(app.Process(), remoteText, text, sizeof(text) - sizeof(wchar_t), nullptr);
            cells.emplace_back(text);
        }
        rows.push_back(cells);
    }
    VirtualFreeEx(app.Process(), remote, 0, MEM_RELEASE);
    return rows;
}

// Title -> the row's cells.
std::map<std::wstring, std::vector<std::wstring>> ReadRows(const Jotwise& app, HWND view)
{
    std::map<std::wstring, std::vector<std::wstring>> rows;
    for (const std::vector<std::wstring>& row : ReadRowsInOrder(app, view))
        rows[row[0]] = row;
    return rows;
}

// The title of the selected row, or nothing.
std::wstring SelectedTitle(const Jotwise& app, HWND view)
{
    int item = static_cast<int>(SendMessageW(view, LVM_GETNEXTITEM, -1, LVNI_SELECTED));
    auto rows = ReadRowsInOrder(app, view);
    return item >= 0 && item < static_cast<int>(rows.size()) ? rows[item].at(0) : std::wstring();
}

void Answer(const Jotwise& app, HWND note, int command, int answer)
{
    app.PostCommand(note, command);
    HWND box = app.WaitForDialog();
    ASSERT_NE(nullptr, box) << "question of command " << command;
    PressButton(box, answer);
    ASSERT_TRUE(app.WaitForNoDialog());
    app.Sync();
}

HWND NoteTitled(const Jotwise& app, const std::wstring& title)
{
    for (HWND note : app.Notes()) {
        wchar_t text[64] = {};
        GetWindowTextW(note, text, 64);
        if (title == text)
            return note;
    }
    return nullptr;
}

} // namespace

TEST_F(NoteList, EveryStoredNoteIsListedFoundAndBroughtBack)
{
    // 70 notes (six beyond the table), one above the loadable IDs.
    NoteRecord binned = MakeNote(4, 0, 0, 90, 40);
    for (int i = 0; i < 4; ++i)
        binned.reserved0[i] = static_cast<std::uint8_t>(0xA0 + i);
    for (int i = 0; i < 17; ++i)
        binned.reserved63[i] = static_cast<std::uint8_t>(0xC0 + i);
    binned.due = LocalTimeFromNow(30 * kMinutesPerDay);
    binned.backColour = RGB(200, 230, 255);
    auto text = [](int id) { return Sjis(u8"メモ") + std::to_string(id) + Sjis(u8"番\r\n二行目"); };
    for (int id = 1; id <= 70; ++id) {
        NoteRecord record = id == 4 ? binned : MakeNote(id, (id % 8) * 120, (id / 8) * 60, 110, 50);
        store::SeedNote(record, text(id), DefaultFont());
    }
    store::SeedNote(MakeNote(130, 10, 10, 90, 40), text(130), DefaultFont());
    const RECT tooSmall = {100, 100, 180, 140};
    store::WriteBinary("ListPlace", &tooSmall, sizeof(tooSmall));
    Jotwise app;
    ASSERT_TRUE(app.Start());
    HWND tooMany = app.WaitForDialog();
    ASSERT_NE(nullptr, tooMany);
    PressButton(tooMany, IDOK);
    ASSERT_TRUE(app.WaitForNoDialog());

    HWND first = NoteTitled(app, Title(1));
    ASSERT_NE(nullptr, first) << "a note window is named by its first line";
    app.PostCommand(NoteTitled(app, Title(2)), kHide);
    Answer(app, NoteTitled(app, Title(3)), kPeelOff, IDYES);
    Answer(app, NoteTitled(app, Title(5)), kPeelOff, IDYES);
    Answer(app, NoteTitled(app, Title(4)), kDeleteFromRecord, IDYES);
    Answer(app, NoteTitled(app, Title(6)), kDeleteFromRecord, IDYES);
    ASSERT_TRUE(WaitUntil([] { return !store::Read("List4"); })) << "deleting empties the main key";

    app.PostTrayCommand(kNoteList);
    HWND list = app.WaitForWindow("ListC");
    ASSERT_NE(nullptr, list);
    HWND view = GetDlgItem(list, kListView);
    EXPECT_TRUE(WaitUntil([view] { return SendMessageW(view, LVM_GETITEMCOUNT, 0, 0) == 71; }));

    // A window of the program: owned by it, a key on every button, the
    // buttons apart though the place stored for it was too small, and
    // waiting while a dialog of the program is open.
    EXPECT_EQ(app.MainWindow(), GetWindow(list, GW_OWNER));
    for (int id = kListShow; id <= kListClose; ++id)
        EXPECT_NE(std::string::npos, WindowText(GetDlgItem(list, id)).find("(&")) << "button " << id;
    EXPECT_LT(
        WindowRect(GetDlgItem(list, kListEmptyBin)).right, WindowRect(GetDlgItem(list, kListClose)).left);
    app.PostTrayCommand(kOptions);
    HWND options = app.WaitForDialog();
    EXPECT_FALSE(IsWindowEnabled(list)) << "under the options dialog";
    PressButton(options, IDCANCEL);
    EXPECT_TRUE(WaitUntil([list] { return IsWindowEnabled(list) != FALSE; })) << "after the options dialog";
    // Typing in the list selects the row that begins with what was typed.
    for (wchar_t typed : Wide(u8"メモ６９"))
        PostMessageW(view, WM_CHAR, typed, 1);
    EXPECT_TRUE(WaitUntil([&] { return SelectedTitle(app, view) == Title(69); }));
    auto rows = ReadRows(app, view);
    ASSERT_EQ(71u, rows.size());
    // The list follows the notes through a message it posts to itself.
    auto stateBecomes = [&](int id, const char8_t* state) {
        return WaitUntil([&] {
            auto now = ReadRows(app, view);
            return now.count(Title(id)) && now[Title(id)].at(2) == Wide(state);
        });
    };
    const std::pair<int, const char8_t*> states[]
        = {{1, u8"表示中"}, {2, u8"隠れています"}, {3, u8"はがしました"}, {4, u8"ごみ箱"},
            {66, u8"読み込まれていません"}, {130, u8"読み込まれていません"}};
    for (const auto& [id, state] : states)
        EXPECT_EQ(Wide(state), rows[Title(id)].at(2)) << "state of note " << id;
    EXPECT_EQ(L"", rows[Title(1)].at(1)) << "no due date";
    EXPECT_EQ(19u, rows[Title(4)].at(1).size()) << "due date and time";

    // Each comes back onto the desktop: found by a full-width digit, under
    // the ID it is stored by (the bin's note under the lowest free one).
    HWND search = GetDlgItem(list, kListSearch);
    auto restore = [&](const char8_t* query) {
        SendMessageW(search, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(query).c_str()));
        app.Sync();
        EXPECT_EQ(1, SendMessageW(view, LVM_GETITEMCOUNT, 0, 0)) << "rows found for a query";
        app.PostCommand(list, kListRestore);
        app.Sync();
    };
    for (const auto& [query, id] : {std::pair{u8"メモ３番", 3}, {u8"メモ６６番", 66}, {u8"メモ4番", 4}}) {
        size_t before = app.Notes().size();
        restore(query);
        EXPECT_TRUE(WaitUntil([&] { return app.Notes().size() == before + 1; })) << "note " << id;
        EXPECT_NE(nullptr, NoteTitled(app, Title(id))) << "note " << id;
        EXPECT_TRUE(stateBecomes(id, u8"表示中")) << "the list follows, note " << id;
    }
    // Every stored byte of the deleted note is back (the run-time handle bits
    // are rewritten by every save).
    std::optional<Bytes> list4 = store::Read("List4");
    ASSERT_TRUE(list4 && list4->size() == kNoteImageSize);
    std::memcpy(&binned.storedText, list4->data() + 4, 12);
    EXPECT_EQ(Bytes(reinterpret_cast<std::uint8_t*>(&binned), reinterpret_cast<std::uint8_t*>(&binned) + 80),
        *list4);
    Bytes memo = store::Read("Memo4").value_or(Bytes{});
    EXPECT_EQ(text(4) + '\0', std::string(memo.begin(), memo.end()));

    // Every ID reservation of this run is taken (peeled-off notes keep
    // theirs): the usual message, and the note stays where it was.
    restore(u8"メモ130番");
    HWND box = app.WaitForDialog();
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(Sjis(u8"ID の設定に失敗しました。"), MessageText(box));
    PressButton(box, IDOK);
    ASSERT_TRUE(app.WaitForNoDialog());
    EXPECT_TRUE(store::Read("List130").has_value());

    // Deleting a note that is not loaded asks first and moves it to the bin;
    // emptying the bin asks and leaves nothing of it.
    auto answer = [&](int command, const char8_t* question) {
        app.PostCommand(list, command);
        HWND asked = app.WaitForDialog();
        ASSERT_NE(nullptr, asked);
        EXPECT_EQ(Sjis(question), MessageText(asked));
        PressButton(asked, IDYES);
        ASSERT_TRUE(app.WaitForNoDialog());
        app.Sync();
    };
    SendMessageW(search, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Title(67).c_str()));
    answer(kListDelete, u8"記録から削除しますか？");
    EXPECT_FALSE(store::Read("List67").has_value());
    EXPECT_TRUE(stateBecomes(67, u8"ごみ箱"));

    // Deleting a note on the desktop asks whether it goes to the bin: "No"
    // leaves it there, "Yes" moves it, and the row below it is selected.
    auto selected = [&] { return SelectedTitle(app, view); };
    SendMessageW(search, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(u8"メモ6").c_str()));
    for (WPARAM key : {VK_HOME, VK_DOWN})
        PostMessageW(view, WM_KEYDOWN, key, 0);
    ASSERT_TRUE(WaitUntil([&] { return selected() == Title(61); }));
    for (int reply : {IDNO, IDYES}) {
        app.PostCommand(list, kListDelete);
        HWND asked = app.WaitForDialog();
        ASSERT_NE(nullptr, asked);
        EXPECT_EQ(Sjis(u8"ごみ箱に移しますか？"), MessageText(asked));
        PressButton(asked, reply);
        ASSERT_TRUE(app.WaitForNoDialog());
        app.Sync();
        EXPECT_EQ(reply == IDNO, NoteTitled(app, Title(61)) != nullptr) << "answered " << reply;
    }
    EXPECT_TRUE(stateBecomes(61, u8"ごみ箱"));
    EXPECT_TRUE(WaitUntil([&] { return selected() == Title(62); })) << "the row below, not the first";
    SendMessageW(search, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Title(61).c_str()));
    answer(kListEmptyBin, u8"ごみ箱のメモをすべて削除します。元には戻せません。よろしいですか？");
    EXPECT_TRUE(WaitUntil([view] { return SendMessageW(view, LVM_GETITEMCOUNT, 0, 0) == 0; }));
    EXPECT_EQ(std::optional<DWORD>(0), app.Exit());
}
