// Drives the real Jotwise.exe from outside: starts it in the test prefix,
// finds its windows, posts commands, answers its boxes and reads the store.
#ifndef JOTWISE_TESTS_E2E_DRIVER_H
#define JOTWISE_TESTS_E2E_DRIVER_H

#include <windows.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "store/records.h"

namespace e2e
{

using Bytes = std::vector<std::uint8_t>;

// A running Jotwise.exe. The destructor ends a process that is still
// running, so one failing test does not leave an instance for the next.
class Jotwise
{
public:
    Jotwise() = default;
    ~Jotwise();
    Jotwise(const Jotwise&) = delete;
    Jotwise& operator=(const Jotwise&) = delete;

    // Starts the exe beside the tests, or the given command line, and waits
    // until its main window exists.
    bool Start(DWORD timeoutMs = 20000, const std::string& commandLine = {});
    // The two halves of Start, for starts that are to overlap.
    bool Launch(const std::string& commandLine = {});
    bool WaitForMainWindow(DWORD timeoutMs = 20000);
    // Starts another instance and waits for it to end; its exit code.
    static DWORD RunSecondInstance(DWORD timeoutMs = 20000);

    HWND MainWindow() const { return main_; }
    DWORD ProcessId() const { return pid_; }
    HANDLE Process() const { return process_; }
    bool Running() const;

    void PostCommand(HWND window, int commandId) const;
    void PostTrayCommand(int commandId) const { PostCommand(main_, commandId); }
    // Waits for the process to end; its exit code, or nullopt on timeout.
    std::optional<DWORD> WaitForExit(DWORD timeoutMs = 15000);
    // Command 1009 and the wait for the end of the process.
    std::optional<DWORD> Exit(DWORD timeoutMs = 15000);
    void Kill();
    // Forgets the process without ending it (it keeps running).
    void Detach();
    // Takes over a Jotwise started by someone else once its main window is up.
    bool Adopt(DWORD timeoutMs = 20000);

    // Visible or hidden top-level windows of this process with the class.
    std::vector<HWND> Windows(const char* className, bool visibleOnly = false) const;
    std::vector<HWND> Notes(bool visibleOnly = false) const { return Windows("MemoC", visibleOnly); }
    HWND Editor() const;
    // Waits until the editor is open and has disabled the main window, the
    // last step of opening it; null on timeout.
    HWND WaitForEditor(DWORD timeoutMs = 10000) const;
    // Waits for a dialog or message box ("#32770") of this process.
    HWND WaitForDialog(DWORD timeoutMs = 10000, const std::string& title = {}) const;
    // Waits for a visible window of the class; null on timeout.
    HWND WaitForWindow(const char* className, DWORD timeoutMs = 10000) const;
    // Waits until no dialog of this process is visible.
    bool WaitForNoDialog(DWORD timeoutMs = 10000) const;
    // Focus, capture and menu mode of the program's main thread.
    GUITHREADINFO ThreadInfo() const;
    // Waits until the program has handled what was posted to it before
    // (two round trips through SendMessageTimeout to its main window).
    void Sync() const;
    // Sends a message to a window of the program and waits for its answer;
    // false when the program did not answer in time.
    bool Send(
        HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0, DWORD_PTR* result = nullptr) const;

private:
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
    HWND main_ = nullptr;
};

// Polls every 30 ms until `done` holds; false when the time runs out first.
// The time is generous: on a busy machine a step of Wine can take seconds.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);

// Types a key combination: presses the keys in order, lets go in reverse.
void PressKeys(std::initializer_list<WORD> keys);

// Message boxes and dialogs of another process.
std::string WindowText(HWND window);
std::string MessageText(HWND box);
// Clicks a button of a dialog by its control ID (IDOK, IDYES, ...).
void PressButton(HWND dialog, int buttonId);
std::string ClassOf(HWND window);
RECT WindowRect(HWND window);
// The items of an open popup menu ("#32768") from the top, separators left
// out: true for an item drawn enabled (dark text), false for one drawn
// greyed. Wine does not let one process query another's menus, so this
// reads the screen; it waits until the menu has been painted.
std::vector<bool> MenuItemsEnabled(HWND menuWindow, DWORD timeoutMs = 5000);
// Opens the tray menu (from the icon's right button) or a note's menu (from
// its right button), reads it with MenuItemsEnabled and closes it again.
std::vector<bool> OpenMenu(const Jotwise& app, HWND window, bool tray);
// "1001" for four items, the second greyed.
std::vector<bool> ToItems(const char* pattern);

// The store, HKEY_CURRENT_USER\Software\KOVA\Jotwise, seen from outside.
namespace store
{
void Clear();
// Any type and size, also ones the program does not expect.
void WriteValue(const std::string& name, DWORD type, const void* data, DWORD size);
void WriteBinary(const std::string& name, const void* data, DWORD size);
void WriteString(const std::string& name, const std::string& text);
std::optional<Bytes> Read(const std::string& name, DWORD* type = nullptr);
std::vector<std::string> ValueNames();
std::optional<NoteRecord> ReadNote(int id);
// Writes List<id>, Memo<id> and Font<id> for a note.
void SeedNote(const NoteRecord& record, const std::string& text, const LOGFONTA& font);
void SeedNote(int id, int left, int top, int width, int height, const std::string& text);
} // namespace store

// A record with the given place and size, black on the tooltip colour.
NoteRecord MakeNote(int id, int left, int top, int width, int height);
LOGFONTA DefaultFont();
constexpr long long kMinutesPerDay = 24 * 60;
// The local wall-clock time (the stored form of due times) so many minutes
// from now; negative for the past.
FILETIME LocalTimeFromNow(long long minutes);
// CP932 bytes of a UTF-8 text.
std::string Sjis(const char* utf8);
inline std::string Sjis(const char8_t* utf8)
{
    return Sjis(reinterpret_cast<const char*>(utf8));
}

} // namespace e2e

#endif
