// The installer as a Windows user meets it, in a prefix that has never seen
// Jotwise: install, start at logon, upgrade over the running program,
// remove. build_packages.sh has left the packages in dist\ beside this exe.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>

#include "jotwise_version.h"
#include "tests/e2e/driver.h"

namespace
{

using Text = std::optional<std::string>;
constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Jotwise";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

constexpr int kTestFolder = -1;

std::string Path(int csidl, const char* tail)
{
    char path[MAX_PATH] = {};
    if (csidl != kTestFolder)
        SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    else if (GetModuleFileNameA(nullptr, path, MAX_PATH))
        *std::strrchr(path, '\\') = '\0';
    return std::string(path).append(tail);
}

Text ReadString(const char* key, const char* value)
{
    char text[1024] = {};
    DWORD size = sizeof(text);
    if (RegGetValueA(HKEY_CURRENT_USER, key, value, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::string(text);
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The exit code, or nullopt when the program did not start or end in time.
std::optional<DWORD> RunToEnd(std::string commandLine)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(
            nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return std::nullopt;
    DWORD code = 0;
    bool ended = WaitForSingleObject(info.hProcess, 60000) == WAIT_OBJECT_0
        && GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return ended ? std::optional<DWORD>(code) : std::nullopt;
}

TEST(Package, InstallStartAtLogonUpgradeWhileRunningAndUninstallKeepingTheNotes)
{
    e2e::store::Clear();
    e2e::store::SeedNote(1, 120, 120, 200, 80, "kept");
    const std::string setup = Path(kTestFolder, "\\dist\\Jotwise-" JOTWISE_VERSION_TEXT "-x64-setup.exe");
    ASSERT_EQ(std::optional<DWORD>(0), RunToEnd('"' + setup + "\" /S")) << "silent install of " << setup;
    const std::string dir = Path(CSIDL_LOCAL_APPDATA, "\\Programs\\Jotwise");
    const std::string shortcut = Path(CSIDL_PROGRAMS, "\\Jotwise.lnk");
    for (const char* file : {"\\Jotwise.exe", "\\Jotwise.chm", "\\uninstall.exe"})
        EXPECT_TRUE(Exists(dir + file)) << file << " installed";
    EXPECT_TRUE(Exists(shortcut)) << "Start-menu shortcut";
    const std::string runLine = '"' + dir + "\\Jotwise.exe\"";
    EXPECT_EQ(Text(runLine), ReadString(kRunKey, "Jotwise")) << "starts at logon";
    EXPECT_EQ(Text(JOTWISE_VERSION_TEXT), ReadString(kUninstallKey, "DisplayVersion"));
    EXPECT_EQ(Text(dir + "\\Jotwise.exe,0"), ReadString(kUninstallKey, "DisplayIcon"));
    const Text uninstall = ReadString(kUninstallKey, "QuietUninstallString");
    ASSERT_TRUE(uninstall);

    e2e::Jotwise app;
    ASSERT_TRUE(app.Start(20000, runLine)) << "started as at logon";
    NOTIFYICONDATAA icon = {};
    icon.cbSize = sizeof(icon);
    icon.hWnd = app.MainWindow();
    icon.uID = 101;
    EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &icon)) << "its tray icon is there";
    EXPECT_EQ(1u, app.Notes(true).size()) << "the seeded note is on the desktop";
    ASSERT_EQ(std::optional<DWORD>(0), RunToEnd('"' + setup + "\" /S")) << "upgrade over the running Jotwise";
    ASSERT_EQ(std::optional<DWORD>(0), app.WaitForExit(0))
        << "it exited cleanly before the files were replaced";
    ASSERT_TRUE(app.Adopt()) << "the silent upgrade started the new Jotwise";

    // An upgrade keeps the start at logon off once the user turned it off.
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "Jotwise");
    ASSERT_EQ(std::optional<DWORD>(0), RunToEnd('"' + setup + "\" /S"));
    EXPECT_FALSE(ReadString(kRunKey, "Jotwise")) << "no Run entry after the upgrade";
    RegSetKeyValueA(HKEY_CURRENT_USER, kRunKey, "Jotwise", REG_SZ, runLine.c_str(), runLine.size() + 1);
    ASSERT_EQ(std::optional<DWORD>(0), app.WaitForExit(0)) << "the second upgrade closed Jotwise too";
    ASSERT_TRUE(app.Adopt()) << "and started it again";

    // The uninstaller goes on in a copy of itself and removes its entry last.
    ASSERT_EQ(std::optional<DWORD>(0), RunToEnd(*uninstall)) << *uninstall;
    for (int wait = 0; wait < 600 && ReadString(kUninstallKey, "DisplayVersion"); ++wait)
        Sleep(100);
    EXPECT_FALSE(ReadString(kUninstallKey, "DisplayVersion")) << "uninstall entry removed";
    EXPECT_EQ(std::optional<DWORD>(0), app.WaitForExit(5000)) << "the uninstaller closed Jotwise";
    EXPECT_FALSE(Exists(dir)) << "program folder removed";
    EXPECT_FALSE(Exists(shortcut)) << "shortcut removed";
    EXPECT_FALSE(ReadString(kRunKey, "Jotwise")) << "Run entry removed";
    EXPECT_TRUE(e2e::store::ReadNote(1)) << "the notes stay in the registry";
}

} // namespace
