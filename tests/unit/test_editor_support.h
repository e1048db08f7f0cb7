// Helpers for the in-process editor and due-date dialog tests: a stand-in
// main window, the real editor opened on it, and a "user" on a helper thread
// that answers the boxes and dialogs the editor opens modally.
#ifndef JOTWISE_TESTS_UNIT_TEST_EDITOR_SUPPORT_H
#define JOTWISE_TESTS_UNIT_TEST_EDITOR_SUPPORT_H

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "editor/editor_window.h"
#include "notes/app_state.h"
#include "tests/unit/test_support.h"

namespace editor_test
{

constexpr DWORD kUserTimeout = 5000;

// Runs `user` on a helper thread while `action` runs here; returns when both
// are done, pumping this thread's messages while it waits for the helper.
void RunWithUser(const std::function<void()>& user, const std::function<void()>& action);

// Visible "#32770" windows of this process (dialogs and message boxes),
// optionally with the given title and other than `exclude`.
HWND FindDialog(const std::string& title = {}, HWND exclude = nullptr);
HWND WaitForDialog(DWORD timeoutMs, const std::string& title = {}, HWND exclude = nullptr);
bool WaitUntilGone(HWND window, DWORD timeoutMs);
// Clicks a dialog button the way the button itself reports a click.
void Press(HWND dialog, int buttonId);

// What the helper saw of the message boxes it answered.
struct BoxLog {
    int count = 0;
    std::string text;
    std::string caption;
    HWND owner = nullptr;
};

// For AnswerBoxes: the Enter key instead of a button.
constexpr int kPressEnter = 0;

// Runs `action`; every message box it opens is answered with `button`.
BoxLog AnswerBoxes(int button, const std::function<void()>& action);

std::string WindowString(HWND window);

// Focus of the thread that owns `window`, seen from any thread.
HWND FocusOfThread(HWND window);

class EditorFixture : public testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Opens the editor for a new note with the stand-in main window as owner.
    HWND OpenNew();
    // Opens the editor on a note window.
    HWND OpenOn(HWND note);
    // A real note window from a record with the given place, size and text.
    HWND MakeNote(int id, int left, int top, int width, int height, const char* text);

    HWND Editor() const { return app_->editorWindow; }
    EditorState* State() const { return EditorStateOf(Editor()); }
    HWND Edit() const { return State() ? State()->edit : nullptr; }
    void SetText(const char* text) const { SetWindowTextA(Edit(), text); }
    std::string Text() const { return WindowString(Edit()); }
    bool Modified() const { return SendMessageA(Edit(), EM_GETMODIFY, 0, 0) != 0; }
    // The note windows in the table, slot order.
    std::vector<HWND> NoteWindows() const;

    ScopedAppState app_;
    HWND main_ = nullptr;
};

} // namespace editor_test

#endif
