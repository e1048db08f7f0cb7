// Opening the help file and reporting why it could not be opened.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <atomic>
#include <string>
#include <vector>

#include "editor/editor_commands.h"
#include "help/help.h"
#include "notes/app_state.h"
#include "notes/note_table.h"
#include "platform/wide_text.h"
#include "res/resource.h"
#include "tests/unit/test_support.h"

namespace
{

constexpr UINT kDisplayTopic = 0;
constexpr UINT kDisplayContext = 15;
constexpr UINT kGetLastError = 20;

struct LastErrorRecord {
    int size;
    HRESULT result;
    BSTR description;
};

struct HelpCall {
    HWND caller;
    bool hasFile;
    std::string file;
    UINT command;
    DWORD_PTR data;
    int recordSize;
};

// What the fake help system does and what it was asked.
struct FakeHelp {
    HWND topicResult = nullptr;
    const wchar_t* description = nullptr;
    HRESULT resultCode = E_FAIL;
    std::vector<HelpCall> calls;
};
FakeHelp g_fake;

HWND WINAPI FakeHtmlHelp(HWND caller, LPCWSTR file, UINT command, DWORD_PTR data)
{
    HelpCall call{caller, file != nullptr, file ? NoteFromWide(file) : "", command, data, 0};
    if (command == kGetLastError) {
        auto* record = reinterpret_cast<LastErrorRecord*>(data);
        call.recordSize = record->size;
        g_fake.calls.push_back(call);
        if (!g_fake.description)
            return nullptr;
        record->result = g_fake.resultCode;
        record->description = SysAllocString(g_fake.description);
        return GetDesktopWindow();
    }
    g_fake.calls.push_back(call);
    return g_fake.topicResult;
}

// The HtmlHelpW of the system's own control library, asked for a help file
// that is not there.
HtmlHelpFunction g_realHtmlHelp = nullptr;
std::string g_missingFile;

HWND WINAPI RealHtmlHelpWithoutFile(HWND caller, LPCWSTR file, UINT command, DWORD_PTR data)
{
    g_fake.calls.push_back(
        HelpCall{caller, file != nullptr, file ? NoteFromWide(file) : "", command, data, 0});
    return g_realHtmlHelp(caller, file ? WideFromNote(g_missingFile).c_str() : nullptr, command, data);
}

struct ErrorBoxes {
    std::vector<std::string> texts;
    std::vector<HWND> owners;
};

// Set once ShowHelp has returned: no box can come after that.
std::atomic<bool> g_helpReturned{false};

// Answers every box that comes until ShowHelp returns, keeping what it said.
void AnswerBoxes(void* context)
{
    auto* boxes = static_cast<ErrorBoxes*>(context);
    for (;;) {
        HWND box = WaitForThreadWindow("#32770", 50);
        if (!box) {
            if (g_helpReturned)
                return;
            continue;
        }
        boxes->texts.push_back(MessageBoxText(box));
        boxes->owners.push_back(GetWindow(box, GW_OWNER));
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        for (int i = 0; i < 250 && IsWindow(box); ++i)
            Sleep(20);
    }
}

std::string SystemText(DWORD code)
{
    char text[520] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
        sizeof(text), nullptr);
    return text;
}

std::string ExpectedHelpPath()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof(path));
    std::string full = path;
    return full.substr(0, full.rfind('\\')) + "\\Jotwise.chm";
}

class HelpRequests : public testing::Test
{
protected:
    void SetUp() override
    {
        g_fake = FakeHelp{};
        SetHtmlHelpForTesting(FakeHtmlHelp);
        asker_ = CreateWindowExA(0, "STATIC", "asker", WS_POPUP | WS_VISIBLE, 0, 0, 20, 20, nullptr, nullptr,
            AppInstance(), nullptr);
    }
    void TearDown() override
    {
        SetHtmlHelpForTesting(nullptr);
        DestroyWindow(asker_);
    }

    ErrorBoxes AskForHelp(int kind, DWORD context)
    {
        ErrorBoxes boxes;
        g_helpReturned = false;
        {
            DeferredAction user(0, AnswerBoxes, &boxes);
            ShowHelp(asker_, kind, context);
            g_helpReturned = true;
        }
        return boxes;
    }

    HWND asker_ = nullptr;
};

} // namespace

TEST_F(HelpRequests, DefaultTopicOpensTheFileBesideTheProgram)
{
    g_fake.topicResult = GetDesktopWindow();
    ErrorBoxes boxes = AskForHelp(kHelpDefaultTopic, 1011);
    EXPECT_TRUE(boxes.texts.empty()) << "an open help window is not an error";
    ASSERT_EQ(1u, g_fake.calls.size());
    const HelpCall& call = g_fake.calls[0];
    EXPECT_EQ(kDisplayTopic, call.command);
    EXPECT_EQ(0u, call.data) << "the default topic takes no context";
    EXPECT_EQ(GetDesktopWindow(), call.caller) << "help belongs to the desktop, not the asker";
    EXPECT_EQ(ExpectedHelpPath(), call.file);
}

TEST_F(HelpRequests, ContextRequestPassesTheContextId)
{
    g_fake.topicResult = GetDesktopWindow();
    ErrorBoxes boxes = AskForHelp(kHelpContext, HELP_CONTEXT_NOTE);
    EXPECT_TRUE(boxes.texts.empty());
    ASSERT_EQ(1u, g_fake.calls.size());
    EXPECT_EQ(kDisplayContext, g_fake.calls[0].command);
    EXPECT_EQ(1012u, g_fake.calls[0].data);
    EXPECT_EQ(ExpectedHelpPath(), g_fake.calls[0].file);
}

// Explorer's part is played here: Wine keeps a stream "file:name" in a file of that name.
TEST_F(HelpRequests, TheDownloadMarkComesOffTheHelpFileOrTheUserLearnsHowToUnblockIt)
{
    const std::string mark = ExpectedHelpPath() + ":Zone.Identifier";
    g_fake.topicResult = GetDesktopWindow();
    for (const char* time : {"first", "second"}) {
        ASSERT_TRUE(WritePrivateProfileStringA("ZoneTransfer", "ZoneId", "3", mark.c_str()));
        EXPECT_TRUE(AskForHelp(kHelpDefaultTopic, 0).texts.empty()) << time;
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(mark.c_str())) << "mark removed, " << time;
    }
    EXPECT_TRUE(AskForHelp(kHelpDefaultTopic, 0).texts.empty()) << "no mark, nothing to say";

    WritePrivateProfileStringA("ZoneTransfer", "ZoneId", "3", mark.c_str());
    SetFileAttributesA(mark.c_str(), FILE_ATTRIBUTE_READONLY);
    ErrorBoxes boxes = AskForHelp(kHelpContext, HELP_CONTEXT_NOTE);
    SetFileAttributesA(mark.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(mark.c_str());
    ASSERT_EQ(1u, boxes.texts.size()) << "a mark that stays is reported once";
    EXPECT_NE(std::string::npos, boxes.texts[0].find(Sjis("「許可する」"))) << boxes.texts[0];
    EXPECT_EQ(4u, g_fake.calls.size()) << "the help opens all the same";
}

TEST_F(HelpRequests, TheHelpSystemsOwnReasonIsShown)
{
    g_fake.description
        = L"\x30D8\x30EB\x30D7\x304C\x58CA\x308C\x3066\x3044\x307E\x3059"; // ヘルプが壊れています
    ErrorBoxes boxes = AskForHelp(kHelpContext, HELP_CONTEXT_EDITOR);
    ASSERT_EQ(1u, boxes.texts.size()) << "exactly one error box";
    EXPECT_EQ(Sjis("ヘルプが壊れています"), boxes.texts[0]);
    EXPECT_EQ(asker_, boxes.owners[0]) << "the box belongs to the asking window";
    ASSERT_EQ(2u, g_fake.calls.size());
    const HelpCall& reason = g_fake.calls[1];
    EXPECT_EQ(kGetLastError, reason.command);
    EXPECT_EQ(asker_, reason.caller);
    EXPECT_FALSE(reason.hasFile) << "the reason is asked without a file";
    EXPECT_EQ(static_cast<int>(sizeof(LastErrorRecord)), reason.recordSize);
}

TEST_F(HelpRequests, AReasonWithASuccessCodeIsNotTakenForOne)
{
    g_fake.description = L"all well";
    g_fake.resultCode = S_OK;
    ErrorBoxes boxes = AskForHelp(kHelpDefaultTopic, 0);
    ASSERT_EQ(1u, boxes.texts.size());
    EXPECT_EQ(SystemText(ERROR_FILE_NOT_FOUND), boxes.texts[0]);
}

TEST_F(HelpRequests, WithoutAReasonTheFileIsTakenToBeMissing)
{
    SetLastError(ERROR_ACCESS_DENIED); // stale, must not leak into the box
    ErrorBoxes boxes = AskForHelp(kHelpContext, HELP_CONTEXT_OPTIONS);
    ASSERT_EQ(1u, boxes.texts.size()) << "exactly one error box";
    EXPECT_EQ(SystemText(ERROR_FILE_NOT_FOUND), boxes.texts[0]);
    EXPECT_EQ(asker_, boxes.owners[0]);
}

TEST_F(HelpRequests, TheRealHelpControlReportsAMissingFile)
{
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, sizeof(system));
    HMODULE library = LoadLibraryA((std::string(system) + "\\hhctrl.ocx").c_str());
    if (!library)
        GTEST_SKIP() << "no HTML Help control on this system";
    g_realHtmlHelp
        = reinterpret_cast<HtmlHelpFunction>(reinterpret_cast<void*>(GetProcAddress(library, "HtmlHelpW")));
    ASSERT_TRUE(g_realHtmlHelp);
    char directory[MAX_PATH];
    GetModuleDirectory(nullptr, directory);
    g_missingFile = std::string(directory) + "\\NoSuchHelpFile.chm";
    SetHtmlHelpForTesting(RealHtmlHelpWithoutFile);

    ErrorBoxes boxes = AskForHelp(kHelpContext, HELP_CONTEXT_NOTE);
    ASSERT_EQ(1u, boxes.texts.size());
    EXPECT_EQ(SystemText(ERROR_FILE_NOT_FOUND), boxes.texts[0]);
    EXPECT_EQ(asker_, boxes.owners[0]);
    FreeLibrary(library);
}

TEST_F(HelpRequests, TheNoteMenuAsksForTheNoteTopic)
{
    ScopedAppState app;
    NoteRecord source = {};
    source.width = 100;
    source.height = 60;
    source.id = 5;
    LOGFONTA font;
    SetDefaultFont(&font);
    ASSERT_TRUE(CreateNoteWindow(nullptr, &source, &font));
    HWND note = app->noteWindows[0];
    g_fake.topicResult = GetDesktopWindow();
    SendMessageA(note, WM_COMMAND, IDM_HELP, 0);
    ASSERT_EQ(1u, g_fake.calls.size());
    EXPECT_EQ(kDisplayContext, g_fake.calls[0].command);
    EXPECT_EQ(1012u, g_fake.calls[0].data);
}

TEST_F(HelpRequests, TheEditorAsksForTheEditorTopic)
{
    g_fake.topicResult = GetDesktopWindow();
    OnEditorCommand(asker_, IDM_HELP);
    ASSERT_EQ(1u, g_fake.calls.size());
    EXPECT_EQ(kDisplayContext, g_fake.calls[0].command);
    EXPECT_EQ(1011u, g_fake.calls[0].data);
}

TEST(HelpPaths, DirectoryEndingInATrailByte5CStaysWhole)
{
    if (GetACP() != 932)
        GTEST_SKIP() << "needs the Japanese code page";
    char buffer[MAX_PATH];
    // 表 is 0x95 0x5C: its second byte is a backslash.
    DirectoryOfPath("C:\\\x95\x5C\\Jotwise.exe", buffer, sizeof(buffer));
    EXPECT_EQ(std::string("C:\\\x95\x5C"), buffer);
    DirectoryOfPath("C:\\\x95\x5C\x95\x5C\\sub\\\x95\x5C.exe", buffer, sizeof(buffer));
    EXPECT_EQ(std::string("C:\\\x95\x5C\x95\x5C\\sub"), buffer);
    DirectoryOfPath("\x95\x5CJotwise.exe", buffer, sizeof(buffer));
    EXPECT_EQ(std::string(), buffer) << "no separator at all";
}

TEST(HelpPaths, SeparatorsAndOddPaths)
{
    char buffer[MAX_PATH];
    DirectoryOfPath("C:\\Program Files\\Jotwise\\Jotwise.exe", buffer, sizeof(buffer));
    EXPECT_EQ(std::string("C:\\Program Files\\Jotwise"), buffer);
    DirectoryOfPath("C:/tools/Jotwise.exe", buffer, sizeof(buffer));
    EXPECT_EQ(std::string("C:/tools"), buffer) << "a slash when there is no backslash";
    DirectoryOfPath("C:\\a/b\\c/d.exe", buffer, sizeof(buffer));
    EXPECT_EQ(std::string("C:\\a/b"), buffer) << "the last backslash wins over later slashes";
    DirectoryOfPath("Jotwise.exe", buffer, sizeof(buffer));
    EXPECT_EQ(std::string(), buffer);
    DirectoryOfPath("C:\\abc\\def\\x.exe", buffer, 5);
    EXPECT_EQ(std::string("C:\\a"), buffer) << "cut to the buffer, terminated";
    DirectoryOfPath("C:\\dir\\\x95", buffer, sizeof(buffer));
    EXPECT_EQ(std::string("C:\\dir"), buffer) << "a lead byte at the very end is not read past";
}

TEST(HelpPaths, ModuleDirectoryIsTheProgramsFolder)
{
    char buffer[MAX_PATH];
    EXPECT_EQ(buffer, GetModuleDirectory(nullptr, buffer));
    std::string expected = ExpectedHelpPath();
    EXPECT_EQ(expected.substr(0, expected.rfind('\\')), buffer);
    EXPECT_EQ(nullptr, GetModuleDirectory(nullptr, nullptr));
}

// The help file that the build puts beside the program, read by the
// system's own help control: every context the program asks for must lead
// to a topic, or the user gets an error box instead of help.
TEST(ShippedHelpFile, EveryContextTheProgramAsksForHasATopic)
{
    char directory[MAX_PATH];
    GetModuleDirectory(nullptr, directory);
    std::string file = std::string(directory) + "\\Jotwise.chm";
    if (GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << file << " was not built (no chmcmd, or no help/jotwise.hhp)";
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, sizeof(system));
    HMODULE library = LoadLibraryA((std::string(system) + "\\hhctrl.ocx").c_str());
    if (!library)
        GTEST_SKIP() << "no HTML Help control on this system";
    auto htmlHelp
        = reinterpret_cast<HtmlHelpFunction>(reinterpret_cast<void*>(GetProcAddress(library, "HtmlHelpW")));
    ASSERT_TRUE(htmlHelp);

    for (DWORD context : {HELP_CONTEXT_EDITOR, HELP_CONTEXT_NOTE, HELP_CONTEXT_OPTIONS,
             HELP_CONTEXT_OPTIONS_EXTRA, HELP_CONTEXT_REMINDERS})
        EXPECT_TRUE(htmlHelp(GetDesktopWindow(), WideFromNote(file).c_str(), kDisplayContext, context))
            << "context " << context;
    EXPECT_FALSE(htmlHelp(GetDesktopWindow(), WideFromNote(file).c_str(), kDisplayContext, 4242))
        << "an unknown context has no topic";
    EXPECT_TRUE(htmlHelp(GetDesktopWindow(), WideFromNote(file).c_str(), kDisplayTopic, 0))
        << "the default topic";
    constexpr UINT kCloseAll = 0x12;
    htmlHelp(nullptr, nullptr, kCloseAll, 0);
    FreeLibrary(library);
}
