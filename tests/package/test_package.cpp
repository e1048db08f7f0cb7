// The installer as a Windows user meets it, in a prefix of its own that
// has never seen Jotwise: install, start at logon, upgrade over the running
// program, remove. build_packages.sh has left the packages in dist\ beside
// this exe.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "jotwise_version.h"
#include "tests/e2e/driver.h"

namespace
{

using e2e::Jotwise;
namespace store = e2e::store;

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Jotwise";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::string Folder(const std::string& path)
{
    return path.substr(0, path.find_last_of('\\'));
}

std::string Quoted(const std::string& path)
{
    return std::string(1, '"').append(path).append(1, '"');
}

std::string SetupPath()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return Folder(path) + "\\dist\\Jotwise-" JOTWISE_VERSION_TEXT "-x64-setup.exe";
}

std::string ShellFolder(int csidl)
{
    char path[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

std::optional<std::string> ReadString(const char* key, const char* value)
{
    char text[1024] = {};
    DWORD size = sizeof(text);
    if (RegGetValueA(HKEY_CURRENT_USER, key, value, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::string(text);
}

bool KeyExists(const char* key)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The exit code, or nullopt when the program did not start or end in time.
std::optional<DWORD> RunToEnd(std::string commandLine, DWORD timeoutMs = 60000)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(
            nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return std::nullopt;
    CloseHandle(info.hThread);
    std::optional<DWORD> code;
    DWORD exitCode = 0;
    if (WaitForSingleObject(info.hProcess, timeoutMs) == WAIT_OBJECT_0
        && GetExitCodeProcess(info.hProcess, &exitCode))
        code = exitCode;
    CloseHandle(info.hProcess);
    return code;
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(100);
    }
    return true;
}

bool HasTrayIcon(HWND mainWindow)
{
    // Modifying an icon succeeds only while the shell has it.
    NOTIFYICONDATAA icon = {};
    icon.cbSize = sizeof(icon);
    icon.hWnd = mainWindow;
    icon.uID = 101;
    return Shell_NotifyIconA(NIM_MODIFY, &icon) != 0;
}

TEST(Package, InstallStartAtLogonUpgradeWhileRunningAndUninstallKeepingTheNotes)
{
    store::Clear();
    const std::string text = e2e::Sjis(u8"アンインストール後も残るメモ");
    store::SeedNote(1, 120, 120, 200, 80, text);
    const std::string setup = Quoted(SetupPath()) + " /S";
    ASSERT_TRUE(Exists(SetupPath())) << SetupPath();

    ASSERT_EQ(std::optional<DWORD>(0), RunToEnd(setup)) << "silent install";
    const std::string dir = ShellFolder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Jotwise";
    const std::string shortcut = ShellFolder(CSIDL_PROGRAMS) + "\\Jotwise.lnk";
    EXPECT_EQ(std::optional<std::string>(dir), ReadString(kUninstallKey, "InstallLocation"));
    for (const char* file : {"Jotwise.exe", "Jotwise.chm", "uninstall.exe"})
        EXPECT_TRUE(Exists(dir + "\\" + file)) << file << " installed";
    EXPECT_TRUE(Exists(shortcut)) << "Start-menu shortcut";
    const std::string runLine = Quoted(dir + "\\Jotwise.exe");
    EXPECT_EQ(std::optional<std::string>(runLine), ReadString(kRunKey, "Jotwise")) << "starts at logon";
    EXPECT_EQ(std::optional<std::string>(JOTWISE_VERSION_TEXT), ReadString(kUninstallKey, "DisplayVersion"));
    EXPECT_EQ(std::optional<std::string>("KOVA"), ReadString(kUninstallKey, "Publisher"));
    EXPECT_TRUE(ReadString(kUninstallKey, "DisplayName"));
    EXPECT_EQ(std::optional<std::string>(dir + "\\Jotwise.exe,0"), ReadString(kUninstallKey, "DisplayIcon"));
    DWORD size = 0;
    DWORD sizeBytes = sizeof(size);
    RegGetValueA(
        HKEY_CURRENT_USER, kUninstallKey, "EstimatedSize", RRF_RT_REG_DWORD, nullptr, &size, &sizeBytes);
    EXPECT_GT(size, 100u) << "estimated size in KB";
    const std::optional<std::string> uninstall = ReadString(kUninstallKey, "QuietUninstallString");
    ASSERT_TRUE(uninstall);

    // As at logon: the Run entry's command line.
    Jotwise app;
    ASSERT_TRUE(app.Start(20000, runLine)) << runLine;
    EXPECT_TRUE(HasTrayIcon(app.MainWindow())) << "tray icon of the installed Jotwise";
    EXPECT_EQ(1u, app.Notes(true).size()) << "the seeded note is on the desktop";

    // The installer asks the running Jotwise to exit and waits for it.
    ASSERT_EQ(std::optional<DWORD>(0), RunToEnd(setup)) << "silent upgrade over the running Jotwise";
    EXPECT_EQ(std::optional<DWORD>(0), app.WaitForExit(0))
        << "it exited cleanly before the files were replaced";
    EXPECT_TRUE(Exists(dir + "\\Jotwise.exe"));
    EXPECT_EQ(std::optional<std::string>(runLine), ReadString(kRunKey, "Jotwise"));

    // A user who turned off the start at logon keeps it off on an upgrade.
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "Jotwise");
    ASSERT_EQ(std::optional<DWORD>(0), RunToEnd(setup)) << "silent upgrade";
    EXPECT_FALSE(ReadString(kRunKey, "Jotwise")) << "no Run entry after the upgrade";
    RegSetKeyValueA(HKEY_CURRENT_USER, kRunKey, "Jotwise", REG_SZ, runLine.c_str(), runLine.size() + 1);

    ASSERT_TRUE(app.Start(20000, runLine));
    // The uninstaller runs from a copy of itself and its first process ends
    // at once; the entry goes last.
    ASSERT_EQ(std::optional<DWORD>(0), RunToEnd(*uninstall)) << *uninstall;
    EXPECT_TRUE(WaitUntil([] { return !KeyExists(kUninstallKey); }, 60000)) << "uninstall entry removed";
    EXPECT_EQ(std::optional<DWORD>(0), app.WaitForExit(5000)) << "the uninstaller closed Jotwise";
    EXPECT_FALSE(Exists(dir)) << "program folder removed";
    EXPECT_FALSE(Exists(shortcut)) << "shortcut removed";
    EXPECT_FALSE(ReadString(kRunKey, "Jotwise")) << "Run entry removed";
    std::optional<e2e::Bytes> memo = store::Read("Memo1");
    ASSERT_TRUE(memo) << "the notes stay in the registry";
    EXPECT_EQ(text, std::string(memo->begin(), memo->end()).c_str());
}

} // namespace
