#include "tests/unit/test_editor_support.h"

#include <cstring>

#include "notes/note_table.h"

namespace editor_test
{

namespace
{

constexpr char kMainStandInClass[] = "JotwiseTestMain";

struct UserThread {
    const std::function<void()>* user;
};

DWORD WINAPI RunUser(LPVOID param)
{
    auto* context = static_cast<UserThread*>(param);
    (*context->user)();
    return 0;
}

struct DialogSearch {
    const std::string* title;
    HWND exclude;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<DialogSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != GetCurrentProcessId() || window == search->exclude || !IsWindowVisible(window))
        return TRUE;
    char name[32] = {};
    GetClassNameA(window, name, sizeof(name));
    if (std::strcmp(name, "#32770") != 0)
        return TRUE;
    if (!search->title->empty() && WindowString(window) != *search->title)
        return TRUE;
    search->found = window;
    return FALSE;
}

ATOM RegisterMainStandIn()
{
    static ATOM atom = [] {
        WNDCLASSEXA windowClass = {};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kMainStandInClass;
        return RegisterClassExA(&windowClass);
    }();
    return atom;
}

} // namespace

void RunWithUser(const std::function<void()>& user, const std::function<void()>& action)
{
    UserThread context{&user};
    HANDLE thread = CreateThread(nullptr, 0, RunUser, &context, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    action();
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, 20000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    CloseHandle(thread);
}

HWND FindDialog(const std::string& title, HWND exclude)
{
    DialogSearch search{&title, exclude, nullptr};
    EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForDialog(DWORD timeoutMs, const std::string& title, HWND exclude)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND found = FindDialog(title, exclude);
        if (found || GetTickCount() - start > timeoutMs)
            return found;
        Sleep(20);
    }
}

bool WaitUntilGone(HWND window, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (IsWindow(window) && IsWindowVisible(window)) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(20);
    }
    return true;
}

void Press(HWND dialog, int buttonId)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
        reinterpret_cast<LPARAM>(GetDlgItem(dialog, buttonId)));
}

BoxLog AnswerBoxes(int button, const std::function<void()>& action)
{
    BoxLog log;
    std::atomic<bool> done{false};
    RunWithUser(
        [&] {
            DWORD start = GetTickCount();
            while (!done && GetTickCount() - start < 20000) {
                HWND box = FindDialog();
                if (!box) {
                    Sleep(20);
                    continue;
                }
                ++log.count;
                log.text = MessageBoxText(box);
                log.caption = WindowString(box);
                log.owner = GetWindow(box, GW_OWNER);
                if (button == kPressEnter)
                    PostMessageA(FocusOfThread(box), WM_KEYDOWN, VK_RETURN, 0x001C0001);
                else
                    Press(box, button);
                WaitUntilGone(box, kUserTimeout);
            }
        },
        [&] {
            action();
            done = true;
        });
    return log;
}

std::string WindowString(HWND window)
{
    char text[4096] = {};
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

HWND FocusOfThread(HWND window)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

void EditorFixture::SetUp()
{
    ClearStore();
    RegisterMainStandIn();
    main_ = CreateWindowExA(WS_EX_TOOLWINDOW, kMainStandInClass, "Jotwise", WS_POPUP | WS_VISIBLE, 100, 100,
        0, 0, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, main_);
    SetMainWindow(main_);
}

void EditorFixture::TearDown()
{
    HWND editor = Editor();
    if (editor && IsWindow(editor)) {
        // Whatever the test left typed is thrown away without a question.
        if (Edit())
            SendMessageA(Edit(), EM_SETMODIFY, FALSE, 0);
        SendMessageA(editor, WM_CLOSE, 0, 0);
    }
    PumpMessages(20);
    SetMainWindow(nullptr);
    DestroyWindow(main_);
    ClearStore();
}

HWND EditorFixture::OpenNew()
{
    EXPECT_EQ(1, OpenEditor(main_)) << "editor for a new note opened";
    return Editor();
}

HWND EditorFixture::OpenOn(HWND note)
{
    EXPECT_EQ(1, OpenEditor(note)) << "editor for an existing note opened";
    return Editor();
}

HWND EditorFixture::MakeNote(int id, int left, int top, int width, int height, const char* text)
{
    NoteRecord record = {};
    record.foreColour = RGB(0, 0, 0);
    record.backColour = RGB(255, 255, 192);
    record.left = left;
    record.top = top;
    record.width = width;
    record.height = height;
    record.id = id;
    record.text = const_cast<char*>(text);
    LOGFONTA font;
    SetDefaultFont(&font);
    std::vector<HWND> before = NoteWindows();
    EXPECT_EQ(1, CreateNoteWindow(main_, &record, &font)) << "note " << id << " created";
    for (HWND note : NoteWindows()) {
        bool known = false;
        for (HWND old : before)
            known = known || old == note;
        if (!known)
            return note;
    }
    return nullptr;
}

std::vector<HWND> EditorFixture::NoteWindows() const
{
    std::vector<HWND> notes;
    for (HWND note : app_->noteWindows) {
        if (note)
            notes.push_back(note);
    }
    return notes;
}

} // namespace editor_test
