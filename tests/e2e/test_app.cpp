// Start-up, the single-instance rule, exit and logoff of the real program.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "tests/e2e/driver.h"

using namespace e2e;

namespace
{

// Where the backup offers to save today: Jotwise-YYYYMMDD.reg in Documents.
std::wstring BackupFile()
{
    wchar_t documents[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents);
    SYSTEMTIME today;
    GetLocalTime(&today);
    wchar_t file[MAX_PATH];
    swprintf(
        file, MAX_PATH, L"%ls\\Jotwise-%04u%02u%02u.reg", documents, today.wYear, today.wMonth, today.wDay);
    return file;
}

class AppLifecycle : public testing::Test
{
protected:
    void SetUp() override { store::Clear(); }
    void TearDown() override
    {
        store::Clear();
        DeleteFileW(BackupFile().c_str());
    }
};

} // namespace

TEST_F(AppLifecycle, SecondStartEndsAtOnceAndLeavesOneInstance)
{
    Jotwise first;
    ASSERT_TRUE(first.Start());
    EXPECT_EQ(0u, Jotwise::RunSecondInstance()) << "exit code of the second start";
    EXPECT_TRUE(first.Running());
    EXPECT_EQ(1u, first.Windows("Jotwise").size());
    // The second start must not have left a main window of its own behind.
    EXPECT_EQ(first.MainWindow(), FindWindowA("Jotwise", nullptr));
    EXPECT_EQ(std::optional<DWORD>(0), first.Exit());
}

TEST_F(AppLifecycle, FiveSimultaneousStartsLeaveOneInstanceAndTheStoreAsSeeded)
{
    for (int id = 1; id <= 3; ++id)
        store::SeedNote(id, id * 150, 200, 120, 60, "note " + std::to_string(id));
    auto snapshot = [] {
        std::vector<std::pair<std::string, Bytes>> values;
        for (const std::string& name : store::ValueNames())
            values.emplace_back(name, store::Read(name).value_or(Bytes{}));
        return values;
    };
    const auto seeded = snapshot();
    Jotwise starts[5];
    for (Jotwise& start : starts)
        ASSERT_TRUE(start.Launch());
    auto running = [&starts] {
        return std::count_if(starts, starts + 5, [](Jotwise& start) { return start.Running(); });
    };
    ASSERT_TRUE(WaitUntil([&] { return running() == 1; }, 30000)) << running() << " instances kept running";
    Jotwise* survivor = std::find_if(starts, starts + 5, [](Jotwise& start) { return start.Running(); });
    ASSERT_TRUE(survivor->WaitForMainWindow());
    EXPECT_EQ(3u, survivor->Notes().size());
    EXPECT_EQ(seeded, snapshot()) << "the store byte for byte as seeded";
    EXPECT_EQ(std::optional<DWORD>(0), survivor->Exit());
}

TEST_F(AppLifecycle, MainWindowIsAnInvisibleToolWindowAtOneHundred)
{
    Jotwise app;
    ASSERT_TRUE(app.Start());
    HWND main = app.MainWindow();
    RECT rect = WindowRect(main);
    EXPECT_EQ(100, rect.left);
    EXPECT_EQ(100, rect.top);
    EXPECT_EQ(rect.left, rect.right) << "the main window has no area";
    EXPECT_EQ(rect.top, rect.bottom);
    EXPECT_TRUE(GetWindowLongA(main, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(std::string("Jotwise"), WindowText(main));
    EXPECT_EQ(std::optional<DWORD>(0), app.Exit());
}

TEST_F(AppLifecycle, ExitCommandEndsWithCodeZeroAndSavesOptions)
{
    Jotwise app;
    ASSERT_TRUE(app.Start());
    EXPECT_EQ(std::optional<DWORD>(0), app.Exit());
    DWORD type = 0;
    std::optional<Bytes> version = store::Read("Version", &type);
    ASSERT_TRUE(version.has_value()) << "Version written at exit";
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ((Bytes{'0', '.', '1', '0', 0}), *version);
    std::optional<Bytes> option = store::Read("Option", &type);
    ASSERT_TRUE(option.has_value());
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
    EXPECT_EQ(64u, option->size());
    std::optional<Bytes> font = store::Read("Font", &type);
    ASSERT_TRUE(font.has_value());
    EXPECT_EQ(60u, font->size());
}

TEST_F(AppLifecycle, AltXEndsTheProgram)
{
    store::SeedNote(1, 200, 200, 120, 60, "alt x");
    Jotwise app;
    ASSERT_TRUE(app.Start());
    std::vector<HWND> notes = app.Notes();
    ASSERT_EQ(1u, notes.size());
    // The accelerators are translated for every message of the program's
    // thread, so Alt+X works while a note has the keyboard: it has that
    // once the program's thread has taken the activation.
    SetForegroundWindow(notes[0]);
    ASSERT_TRUE(WaitUntil([&] { return app.ThreadInfo().hwndFocus == notes[0]; }))
        << "the note has the keyboard";
    PressKeys({VK_MENU, 'X'});
    EXPECT_EQ(std::optional<DWORD>(0), app.WaitForExit(15000));
}

TEST_F(AppLifecycle, EndSessionSavesOptionsOnlyWhenTheSessionEnds)
{
    Jotwise app;
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(app.Send(app.MainWindow(), WM_ENDSESSION, 0));
    EXPECT_FALSE(store::Read("Option").has_value()) << "WM_ENDSESSION with wParam 0 writes nothing";
    EXPECT_FALSE(store::Read("Version").has_value());

    ASSERT_TRUE(app.Send(app.MainWindow(), WM_ENDSESSION, 1));
    EXPECT_TRUE(app.Running()) << "logoff saving does not end the program by itself";
    std::optional<Bytes> version = store::Read("Version");
    ASSERT_TRUE(version.has_value());
    EXPECT_EQ(5u, version->size());
    EXPECT_EQ(64u, store::Read("Option").value_or(Bytes{}).size());
    EXPECT_EQ(60u, store::Read("Font").value_or(Bytes{}).size());
    EXPECT_EQ(std::optional<DWORD>(0), app.Exit());
}

TEST_F(AppLifecycle, ErrorBoxOfTheRealProgramIsFoundAndRead)
{
    // One note more than the table holds: loading reports it once.
    for (int id = 1; id <= 65; ++id)
        store::SeedNote(id, (id % 16) * 60, (id / 16) * 50, 50, 40, std::to_string(id));
    Jotwise app;
    ASSERT_TRUE(app.Start());
    HWND box = app.WaitForDialog();
    ASSERT_TRUE(box) << "no error box";
    EXPECT_EQ(Sjis(u8"個数オーバーです。これ以上開けません。"), MessageText(box));
    PressButton(box, IDOK);
    EXPECT_TRUE(app.WaitForNoDialog());
    // A second report would have been opened by the time this is answered.
    app.Sync();
    EXPECT_TRUE(app.Windows("#32770").empty()) << "the error is reported once";
    EXPECT_EQ(64u, app.Notes().size());
    EXPECT_EQ(std::optional<DWORD>(0), app.Exit());
}

TEST_F(AppLifecycle, AFailedSaveIsReportedOncePerRun)
{
    // A volatile parent key refuses the program's lasting key: every save
    // fails.
    constexpr char kParent[] = "Software\\KOVA";
    RegDeleteTreeA(HKEY_CURRENT_USER, kParent);
    HKEY parent = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
        RegCreateKeyExA(HKEY_CURRENT_USER, kParent, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
            &parent, nullptr));
    RegCloseKey(parent);
    Jotwise app;
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(app.Send(app.MainWindow(), WM_ENDSESSION, 1));
    HWND box = app.WaitForDialog();
    ASSERT_NE(nullptr, box) << "the failed save is reported";
    EXPECT_EQ(0u, MessageText(box).find(Sjis(u8"メモや設定を保存できませんでした。")));
    PressButton(box, IDOK);
    ASSERT_TRUE(app.WaitForNoDialog());
    ASSERT_TRUE(app.Send(app.MainWindow(), WM_ENDSESSION, 1));
    // The report is posted: a second one would be open once this is answered.
    app.Sync();
    EXPECT_TRUE(app.Windows("#32770").empty()) << "once per run";

    // An exit that cannot keep the editor's text as a draft does not happen.
    app.PostTrayCommand(1001);
    HWND edit = GetDlgItem(app.WaitForEditor(), 30011);
    ASSERT_TRUE(app.Send(edit, WM_CHAR, 'x'));
    app.PostTrayCommand(1009);
    box = app.WaitForDialog();
    ASSERT_NE(nullptr, box) << "the exit is refused with a reason";
    EXPECT_EQ(
        0u, MessageText(box).find(Sjis(u8"エディタの内容を保存できなかったため、終了を取りやめました。")));
    PressButton(box, IDOK);
    ASSERT_TRUE(app.WaitForNoDialog());
    EXPECT_TRUE(IsWindow(edit)) << "the editor stays with its text";
    ASSERT_TRUE(app.Send(edit, EM_SETMODIFY, FALSE));
    EXPECT_EQ(std::optional<DWORD>(0), app.Exit()) << "with nothing to keep, the exit goes ahead";
    RegDeleteTreeA(HKEY_CURRENT_USER, kParent);
}

namespace
{
// Every value under the store key and its subkeys, by path and name.
using Values = std::map<std::wstring, std::pair<DWORD, Bytes>>;
void CollectValues(const std::wstring& path, Values* values)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    wchar_t name[256];
    BYTE data[8192];
    DWORD length = 256, size = sizeof(data), type = 0;
    for (DWORD i = 0; RegEnumValueW(key, i, name, &length, nullptr, &type, data, &size) == ERROR_SUCCESS;
         ++i, length = 256, size = sizeof(data))
        (*values)[path + L"|" + name] = {type, Bytes(data, data + size)};
    for (DWORD i = 0;; ++i) {
        length = 256;
        if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        CollectValues(path + L"\\" + name, values);
    }
    RegCloseKey(key);
}
Values StoreValues()
{
    Values values;
    CollectValues(L"Software\\KOVA\\Jotwise", &values);
    return values;
}
// The automatic backups a restore leaves in a folder.
std::vector<std::wstring> AutomaticBackups(const std::wstring& folder)
{
    std::vector<std::wstring> files;
    WIN32_FIND_DATAW found = {};
    HANDLE search = FindFirstFileW((folder + L"\\Jotwise-\u5FA9\u5143\u524D-*.reg").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
        files.push_back(folder + L"\\" + found.cFileName);
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    return files;
}
bool ImportWithRegedit(const std::wstring& file)
{
    std::wstring command = L"regedit.exe /s \"" + file + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(
            nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    bool ended = WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ended;
}
} // namespace

TEST_F(AppLifecycle, BackupImportedWithRegeditBringsBackEveryValue)
{
    store::SeedNote(1, 100, 100, 200, 80, Sjis(u8"一行目\r\n\"引用\" と C:\\パス"));
    // On one line, so written quoted: a quote after a backslash, backslashes
    // in a row, one before the closing quote, and a quote after characters
    // whose second byte in code page 932 is a backslash.
    store::SeedNote(2, 400, 100, 120, 60, Sjis(u8"表\"ソ\\\"能\\\\ \\\\サーバ\\共有\\"));
    HKEY bin = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\KOVA\\Jotwise\\Deleted\\1", 0, nullptr, 0, KEY_ALL_ACCESS,
        nullptr, &bin, nullptr);
    const DWORD number = 0x12345678;
    RegSetValueExW(bin, L"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));
    RegSetValueExW(bin, L"Bare", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"no end"), 12);
    RegCloseKey(bin);
    const std::wstring file = BackupFile();
    DeleteFileW(file.c_str());

    Jotwise app;
    ASSERT_TRUE(app.Start());
    SetWindowPos(app.Notes().front(), nullptr, 321, 234, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    app.PostTrayCommand(1031);
    HWND dialog = app.WaitForDialog();
    ASSERT_NE(nullptr, dialog) << "the Save dialog";
    PressButton(dialog, IDOK); // the offered name in Documents
    // Written under another name and renamed: there, it is complete.
    ASSERT_TRUE(WaitUntil([&file] { return GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES; }))
        << "Jotwise-YYYYMMDD.reg in Documents";
    const Values backedUp = StoreValues();
    app.Kill();
    EXPECT_EQ(2u,
        backedUp.count(L"Software\\KOVA\\Jotwise|List1")
            + backedUp.count(L"Software\\KOVA\\Jotwise\\Deleted\\1|Bare"));

    store::Clear();
    ASSERT_TRUE(ImportWithRegedit(file)) << "regedit ends";
    EXPECT_EQ(backedUp, StoreValues()) << "every value back byte for byte";

    Jotwise again;
    ASSERT_TRUE(again.Start());
    const std::vector<HWND> notes = again.Notes();
    EXPECT_EQ(2u, notes.size());
    EXPECT_EQ(1, std::count_if(notes.begin(), notes.end(), [](HWND note) {
        RECT rect = WindowRect(note);
        return rect.left == 321 && rect.top == 234;
    })) << "the backup holds the place on the desktop";

    // Restored inside Jotwise over a store changed since (a note made
    // topmost, another deleted into the bin) with text typed in the editor.
    again.PostCommand(notes[0], 1121);
    again.PostCommand(notes[1], 1102);
    HWND asked = again.WaitForDialog();
    ASSERT_NE(nullptr, asked);
    PressButton(asked, IDYES);
    ASSERT_TRUE(WaitUntil([&] { return StoreValues().size() == backedUp.size() + 2; }));
    const Values changed = StoreValues();
    const std::wstring documents = file.substr(0, file.rfind(L'\\'));
    for (const std::wstring& earlier : AutomaticBackups(documents))
        DeleteFileW(earlier.c_str());
    again.PostTrayCommand(1001);
    SendMessageTimeoutA(
        GetDlgItem(again.WaitForWindow("TextC"), 30011), WM_CHAR, 'x', 0, SMTO_NORMAL, 5000, nullptr);
    again.PostTrayCommand(1035);
    HWND open = again.WaitForDialog(10000, Sjis(u8"バックアップからの復元"));
    ASSERT_NE(nullptr, open) << "the Open dialog";
    HWND name = GetDlgItem(open, 0x47c); // the file name box, an edit inside a combo box
    HWND edit = FindWindowExW(name, nullptr, L"Edit", nullptr);
    SendMessageW(edit ? edit : name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file.c_str()));
    PressButton(open, IDOK);
    HWND confirm = again.WaitForDialog(10000, Sjis(u8"処理の確認"));
    ASSERT_NE(nullptr, confirm);
    PressButton(confirm, IDYES);
    ASSERT_TRUE(WaitUntil([&] { return again.Notes().size() == 2 && StoreValues() == backedUp; }, 15000))
        << "the store is the backup's, byte for byte";
    for (HWND note : again.Notes())
        EXPECT_FALSE(GetWindowLongW(note, GWL_EXSTYLE) & WS_EX_TOPMOST) << "no later value lands on a note";
    EXPECT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(again.Editor(), 30011)) == "x"; }))
        << "the editor's text is back in the editor";
    EXPECT_EQ(std::optional<DWORD>(0), again.Exit());

    // The store as it was before is in the automatic backup beside the file;
    // only the run-time handle bytes of the records differ.
    const std::vector<std::wstring> automatic = AutomaticBackups(documents);
    ASSERT_EQ(1u, automatic.size()) << "Jotwise-復元前-*.reg";
    const std::wstring& before = automatic[0];
    store::Clear();
    ASSERT_TRUE(ImportWithRegedit(before));
    auto withoutHandles = [](Values values) {
        for (auto& [name, value] : values) {
            if (name.find(L"|List") != std::wstring::npos && value.second.size() == kNoteImageSize)
                std::fill(value.second.begin() + 4, value.second.begin() + 16, 0);
        }
        return values;
    };
    EXPECT_EQ(withoutHandles(changed), withoutHandles(StoreValues()));
    DeleteFileW(before.c_str());
}
