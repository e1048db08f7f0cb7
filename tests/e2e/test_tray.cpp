// Every tray-menu command of the real program, posted to its main window as
// the tray menu would, and its effect seen from outside.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/driver.h"

using namespace e2e;

namespace
{

constexpr int kShowAll = 1002;
constexpr int kArrange = 1003;
constexpr int kHideAll = 1005;
constexpr int kOptions = 1008;
constexpr int kFitWidth = 1011;
constexpr int kFitBoth = 1013;
constexpr int kOptimise = 1015;
constexpr int kHelp = 1021;
constexpr int kAbout = 1025;

constexpr int kBorderCheck = 121;

int Width(HWND window)
{
    RECT rect = WindowRect(window);
    return rect.right - rect.left;
}

int Height(HWND window)
{
    RECT rect = WindowRect(window);
    return rect.bottom - rect.top;
}

RECT ClientRect(HWND window)
{
    RECT rect = {};
    GetClientRect(window, &rect);
    return rect;
}

// Runs a command that opens no modal box and returns once the program has
// handled it. Sync() after a post is not enough: a sent message overtakes
// the posted command in the program's queue.
void RunCommand(HWND window, int commandId)
{
    SendMessageTimeoutA(window, WM_COMMAND, static_cast<WPARAM>(commandId), 0, SMTO_NORMAL, 30000, nullptr);
}

// The notes of the program ordered by their left edge (the tests place
// them apart), so that a test can name them.
std::vector<HWND> NotesByLeft(const Jotwise& app)
{
    std::vector<HWND> notes = app.Notes();
    std::sort(
        notes.begin(), notes.end(), [](HWND a, HWND b) { return WindowRect(a).left < WindowRect(b).left; });
    return notes;
}

// The given windows from the top of the z-order down. EnumWindows takes a
// snapshot, so a box of the program closing meanwhile cannot cut the walk
// short as a GW_HWNDNEXT chain would.
std::vector<HWND> ZOrderOf(const std::vector<HWND>& windows)
{
    struct Walk {
        const std::vector<HWND>* wanted;
        std::vector<HWND> found;
    } walk{&windows, {}};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* walk = reinterpret_cast<Walk*>(param);
            if (std::find(walk->wanted->begin(), walk->wanted->end(), window) != walk->wanted->end())
                walk->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&walk));
    return walk.found;
}

// A child page of the options dialog that holds the control.
HWND PageWith(HWND dialog, int controlId)
{
    for (HWND child = FindWindowExA(dialog, nullptr, "#32770", nullptr); child;
         child = FindWindowExA(dialog, child, "#32770", nullptr)) {
        if (GetDlgItem(child, controlId))
            return child;
    }
    return nullptr;
}

// A junk file that lives as long as the object.
class PlantedFile
{
public:
    explicit PlantedFile(std::string path)
        : path_(std::move(path))
    {
        HANDLE file = CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(file, "MZ not a library", 16, &written, nullptr);
            CloseHandle(file);
        }
    }
    ~PlantedFile() { DeleteFileA(path_.c_str()); }
    PlantedFile(const PlantedFile&) = delete;
    PlantedFile& operator=(const PlantedFile&) = delete;

private:
    std::string path_;
};

class TrayCommands : public testing::Test
{
protected:
    void SetUp() override { store::Clear(); }
    void TearDown() override { store::Clear(); }
};

} // namespace

TEST_F(TrayCommands, HideAllShowAllAndArrange)
{
    // Loaded in ID order, so ID 1 is in slot 0 and ID 3 in the highest slot.
    store::SeedNote(1, 600, 300, 200, 400, "one");
    store::SeedNote(2, 650, 100, 150, 400, "two");
    store::SeedNote(3, 700, 200, 300, 100, "three");
    Jotwise app;
    ASSERT_TRUE(app.Start());
    std::vector<HWND> notes = NotesByLeft(app);
    ASSERT_EQ(3u, notes.size());

    // Put the note of slot 0 on top, so that only show all can restack them.
    SetWindowPos(notes[0], HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitUntil([&notes] { return ZOrderOf(notes).front() == notes[0]; }));
    RunCommand(app.MainWindow(), kHideAll);
    EXPECT_TRUE(app.Notes(true).empty()) << "hide all hides every note";
    RunCommand(app.MainWindow(), kShowAll);
    EXPECT_EQ(3u, app.Notes(true).size()) << "show all brings every note back";
    // The activations reach the window manager asynchronously.
    const std::vector<HWND> slotsDown = {notes[2], notes[1], notes[0]};
    EXPECT_TRUE(WaitUntil([&] { return ZOrderOf(notes) == slotsDown; }))
        << "the note of the highest slot ends on top";

    // With every note hidden, arrange still asks and then moves nothing.
    RunCommand(app.MainWindow(), kHideAll);
    app.PostTrayCommand(kArrange);
    HWND question = app.WaitForDialog();
    ASSERT_TRUE(question);
    EXPECT_EQ(Sjis(u8"整列しますか？"), MessageText(question));
    EXPECT_EQ(Sjis(u8"処理の確認"), WindowText(question));
    PressButton(question, IDYES);
    ASSERT_TRUE(app.WaitForNoDialog());
    app.Sync();
    EXPECT_EQ(600, WindowRect(notes[0]).left);
    EXPECT_TRUE(app.Notes(true).empty());
    RunCommand(app.MainWindow(), kShowAll);

    // "No" leaves everything where it was.
    app.PostTrayCommand(kArrange);
    question = app.WaitForDialog();
    ASSERT_TRUE(question);
    PressButton(question, IDNO);
    ASSERT_TRUE(app.WaitForNoDialog());
    app.Sync();
    EXPECT_EQ(600, WindowRect(notes[0]).left);
    EXPECT_EQ(100, WindowRect(notes[1]).top);

    // "Yes" on the 768-pixel virtual screen: heights 400, 400, 100.
    app.PostTrayCommand(kArrange);
    question = app.WaitForDialog();
    ASSERT_TRUE(question);
    PressButton(question, IDYES);
    ASSERT_TRUE(app.WaitForNoDialog());
    app.Sync();
    ASSERT_EQ(768, GetSystemMetrics(SM_CYSCREEN));
    RECT first = WindowRect(notes[0]);
    RECT second = WindowRect(notes[1]);
    RECT third = WindowRect(notes[2]);
    EXPECT_EQ(3, first.left);
    EXPECT_EQ(3, first.top);
    EXPECT_EQ(206, second.left);
    EXPECT_EQ(3, second.top);
    EXPECT_EQ(206, third.left);
    EXPECT_EQ(406, third.top);

    // The arranged places reach the store at once: a crash keeps them.
    app.Kill();
    const RECT placed[] = {first, second, third};
    for (int id = 1; id <= 3; ++id) {
        const NoteRecord stored = store::ReadNote(id).value_or(NoteRecord{});
        EXPECT_TRUE(stored.left == placed[id - 1].left && stored.top == placed[id - 1].top) << "note " << id;
    }
}

TEST_F(TrayCommands, FitAndOptimiseSizes)
{
    store::SeedNote(1, 100, 100, 120, 50, "a");
    store::SeedNote(2, 300, 100, 80, 70, "b");
    store::SeedNote(3, 500, 100, 200, 30, "c");
    Jotwise app;
    ASSERT_TRUE(app.Start());
    std::vector<HWND> notes = NotesByLeft(app);
    ASSERT_EQ(3u, notes.size());

    RunCommand(app.MainWindow(), kFitWidth);
    const int heights[] = {50, 70, 30};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(200, Width(notes[i])) << "note " << i;
        EXPECT_EQ(heights[i], Height(notes[i])) << "note " << i;
    }

    RunCommand(app.MainWindow(), kFitBoth);
    for (HWND note : notes)
        EXPECT_EQ(70, Height(note));
    EXPECT_EQ(70, store::ReadNote(3).value_or(NoteRecord{}).height) << "stored when the command ends";

    // One letter needs far less than 200 x 70.
    RunCommand(app.MainWindow(), kOptimise);
    for (HWND note : notes) {
        EXPECT_LT(Width(note), 200);
        EXPECT_LT(Height(note), 70);
    }
    EXPECT_EQ(Width(notes[2]), store::ReadNote(3).value_or(NoteRecord{}).width) << "stored when it ends";
    EXPECT_EQ(std::optional<DWORD>(0), app.Exit());
}

TEST_F(TrayCommands, OptionsCancelChangesNothingAndOkSwitchesTheBorder)
{
    for (int id = 1; id <= 8; ++id)
        store::SeedNote(id, 110 * id, 200, 100, 100, "frame");
    Jotwise app;
    ASSERT_TRUE(app.Start());
    std::vector<HWND> notes = app.Notes();
    ASSERT_EQ(8u, notes.size());
    HWND note = notes[0];
    RECT client = ClientRect(note);

    app.PostTrayCommand(kOptions);
    HWND dialog = app.WaitForDialog(10000, Sjis(u8"オプション"));
    ASSERT_TRUE(dialog);
    HWND general = PageWith(dialog, kBorderCheck);
    ASSERT_TRUE(general);
    app.Send(GetDlgItem(general, kBorderCheck), BM_CLICK);
    PressButton(dialog, IDCANCEL);
    ASSERT_TRUE(app.WaitForNoDialog());
    app.Sync();
    EXPECT_FALSE(GetWindowLongA(note, GWL_STYLE) & WS_THICKFRAME) << "cancel changes no note";
    EXPECT_FALSE(store::Read("Option").has_value()) << "cancel saves nothing";

    app.PostTrayCommand(kOptions);
    dialog = app.WaitForDialog(10000, Sjis(u8"オプション"));
    ASSERT_TRUE(dialog);
    general = PageWith(dialog, kBorderCheck);
    ASSERT_TRUE(general);
    app.Send(GetDlgItem(general, kBorderCheck), BM_CLICK);
    PressButton(dialog, IDOK);
    ASSERT_TRUE(app.WaitForNoDialog());
    app.Sync();
    EXPECT_TRUE(GetWindowLongA(note, GWL_STYLE) & WS_THICKFRAME) << "OK frames every note at once";
    EXPECT_EQ(client.right, ClientRect(note).right) << "the text area keeps its size";
    EXPECT_EQ(client.bottom, ClientRect(note).bottom);
    EXPECT_GT(Width(note), 100);
    std::optional<Bytes> option = store::Read("Option");
    ASSERT_TRUE(option.has_value()) << "OK saves the options at once";
    ASSERT_EQ(64u, option->size());
    EXPECT_EQ(1, (*option)[35]) << "border byte";

    // So are the framed sizes: after a crash every note comes back framed
    // around the text area it had.
    app.Kill();
    Jotwise again;
    ASSERT_TRUE(again.Start());
    for (HWND framed : again.Notes())
        EXPECT_EQ(client.bottom, ClientRect(framed).bottom) << "a note framed at its old size";
    EXPECT_EQ(std::optional<DWORD>(0), again.Exit());
}

TEST_F(TrayCommands, AboutBoxOpensAndCloses)
{
    Jotwise app;
    ASSERT_TRUE(app.Start());
    app.PostTrayCommand(kAbout);
    HWND about = app.WaitForDialog(10000, Sjis(u8"バージョン情報"));
    ASSERT_TRUE(about);
    EXPECT_EQ("Version 0.10", WindowText(GetDlgItem(about, 101)));
    EXPECT_EQ(Sjis(u8"ジョット・ワイズ"), WindowText(GetDlgItem(about, 102)));
    PressButton(about, IDOK);
    EXPECT_TRUE(app.WaitForNoDialog()) << "OK closes the About box";
    EXPECT_TRUE(app.Running());
    EXPECT_EQ(std::optional<DWORD>(0), app.Exit());
}

TEST_F(TrayCommands, LibrariesPlantedUnderSystemNamesNeverRun)
{
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, sizeof(exe));
    std::string here = std::string(exe).substr(0, std::string(exe).rfind('\\'));
    std::string current = here + "\\planted-cwd";
    CreateDirectoryA(current.c_str(), nullptr);
    std::vector<std::string> planted;
    for (const std::string& folder : {here, current})
        for (const char* name : {"shcore.dll", "version.dll", "uxtheme.dll", "hhctrl.ocx", "comdlg32.dll"})
            if (CopyFileA((here + "\\planted_library.dll").c_str(), (folder + "\\" + name).c_str(), FALSE))
                planted.push_back(folder + "\\" + name);
    ASSERT_EQ(10u, planted.size());
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\KOVA\\JotwisePlanted");
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof(previous), previous);
    SetCurrentDirectoryA(current.c_str());
    {
        Jotwise app;
        bool started = app.Start();
        SetCurrentDirectoryA(previous);
        ASSERT_TRUE(started);
        // Each command opens its window once it has loaded what it needs.
        auto opened = [&app] {
            std::vector<HWND> windows;
            for (const char* className : {"TextC", "#32770", "HH Parent"})
                for (HWND window : app.Windows(className, true))
                    windows.push_back(window);
            return windows;
        };
        for (int command : {1001, kOptions, kAbout, kHelp}) {
            app.PostTrayCommand(command);
            EXPECT_TRUE(WaitUntil([&] { return !opened().empty(); })) << "command " << command;
            for (HWND window : opened())
                PostMessageA(window, WM_CLOSE, 0, 0);
            EXPECT_TRUE(WaitUntil([&] { return opened().empty(); })) << "command " << command;
        }
        app.Kill();
    }
    HKEY key = nullptr;
    std::string ran;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\KOVA\\JotwisePlanted", 0, KEY_READ, &key) == 0) {
        char name[MAX_PATH];
        for (DWORD i = 0, size = sizeof(name);
             RegEnumValueA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) == 0;
             ++i, size = sizeof(name))
            ran += std::string(name) + " ";
        RegCloseKey(key);
    }
    EXPECT_EQ("", ran) << "planted libraries that ran inside Jotwise";
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\KOVA\\JotwisePlanted");
    for (const std::string& file : planted)
        DeleteFileA(file.c_str());
    RemoveDirectoryA(current.c_str());
}

TEST_F(TrayCommands, HelpOpensTheViewerFromTheTrayF1AndTheNoteMenu)
{
    // The help file lies beside the program, so every way of asking for
    // help opens the viewer and shows no error box.
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof(path));
    std::string chm = path;
    chm = chm.substr(0, chm.rfind('\\')) + "\\Jotwise.chm";
    if (GetFileAttributesA(chm.c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << chm << " was not built (no chmcmd, or no help/jotwise.hhp)";
    // A file of the help control's name planted beside the program must
    // never be loaded: here it is not even a library, so loading it would
    // fail and show an error box instead of help.
    PlantedFile planted(chm.substr(0, chm.rfind('\\')) + "\\hhctrl.ocx");
    store::SeedNote(1, 200, 200, 150, 100, "help");
    Jotwise app;
    ASSERT_TRUE(app.Start());

    struct Way {
        const char* what;
        HWND target;
        bool key;
    };
    HWND note = app.Notes().at(0);
    for (const Way& way : {Way{"tray command", app.MainWindow(), false}, Way{"F1 on a note", note, true},
             Way{"note menu", note, false}}) {
        if (way.key)
            PostMessageA(way.target, WM_KEYDOWN, VK_F1, 0);
        else
            app.PostCommand(way.target, kHelp);
        EXPECT_NE(nullptr, app.WaitForWindow("HH Parent")) << way.what << " opens the help viewer";
        EXPECT_TRUE(app.Windows("#32770", true).empty()) << way.what << " shows no error box";
        for (HWND viewer : app.Windows("HH Parent", true))
            PostMessageA(viewer, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitUntil([&app] { return app.Windows("HH Parent", true).empty(); }));
    }
    EXPECT_EQ(std::optional<DWORD>(0), app.Exit());
}
