#include "help/help.h"

#include <oleauto.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>

#include "app/app_state.h"
#include "app/error_box.h"
#include "app/system_library.h"
#include "app/wide_text.h"
#include "res/resource.h"

namespace
{

constexpr int kPathSize = MAX_PATH;
constexpr char kHelpFileName[] = "Jotwise.chm";

// HtmlHelpA commands.
constexpr UINT kDisplayTopic = 0x0000;
constexpr UINT kDisplayContext = 0x000F;
constexpr UINT kGetLastError = 0x0014;

// The HTML Help control's registration names the file the system uses.
constexpr char kHelpControlKey[] = "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
constexpr char kHelpControlFile[] = "\\hhctrl.ocx";

// The record HH_GET_LAST_ERROR fills.
struct HelpLastError {
    int size;
    HRESULT result;
    BSTR description;
};

HtmlHelpFunction g_testHtmlHelp = nullptr;
HMODULE g_helpLibrary = nullptr;
bool g_helpLibraryFailed = false;

bool IsFullPath(const char* path)
{
    bool drive = ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) && path[1] == ':'
        && (path[2] == '\\' || path[2] == '/');
    bool share = path[0] == '\\' && path[1] == '\\';
    return drive || share;
}

HMODULE LoadRegisteredHelpControl()
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, kHelpControlKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return nullptr;
    char value[kPathSize] = {};
    DWORD type = 0;
    DWORD size = sizeof(value) - 1;
    LONG status = RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return nullptr;
    char path[kPathSize] = {};
    if (type == REG_EXPAND_SZ) {
        DWORD length = ExpandEnvironmentStringsA(value, path, sizeof(path));
        if (length == 0 || length > sizeof(path))
            return nullptr;
    } else {
        lstrcpynA(path, value, sizeof(path));
    }
    // A bare name would be looked for in the program's own folder first,
    // where anyone could have put a file of that name.
    if (!IsFullPath(path))
        return nullptr;
    return LoadLibraryA(path);
}

HMODULE LoadSystemHelpControl()
{
    char path[kPathSize] = {};
    UINT length = GetSystemDirectoryA(path, sizeof(path));
    if (length == 0 || length + sizeof(kHelpControlFile) > sizeof(path))
        return nullptr;
    lstrcatA(path, kHelpControlFile);
    return LoadLibraryA(path);
}

HtmlHelpFunction HtmlHelpEntry()
{
    if (!g_helpLibrary && !g_helpLibraryFailed) {
        g_helpLibrary = LoadRegisteredHelpControl();
        if (!g_helpLibrary)
            g_helpLibrary = LoadSystemHelpControl();
        g_helpLibraryFailed = g_helpLibrary == nullptr;
    }
    if (!g_helpLibrary)
        return nullptr;
    FARPROC entry = GetProcAddress(g_helpLibrary, "HtmlHelpA");
    return reinterpret_cast<HtmlHelpFunction>(reinterpret_cast<void*>(entry));
}

HWND CallHtmlHelp(HWND caller, LPCSTR file, UINT command, DWORD_PTR data)
{
    HtmlHelpFunction function = g_testHtmlHelp ? g_testHtmlHelp : HtmlHelpEntry();
    return function ? function(caller, file, command, data) : nullptr;
}

// The help system's own explanation of its last failure, as note text for
// the error box; false when it has none.
bool HelpSystemReason(HWND asker, char* text, int size)
{
    text[0] = '\0';
    HelpLastError lastError = {sizeof(HelpLastError), 0, nullptr};
    HWND answered = CallHtmlHelp(asker, nullptr, kGetLastError, reinterpret_cast<DWORD_PTR>(&lastError));
    if (!lastError.description)
        return false;
    if (answered && FAILED(lastError.result)) {
        CopyNoteText(NoteFromWide(lastError.description), text, size);
    }
    SysFreeString(lastError.description);
    return text[0] != '\0';
}

} // namespace

void SetHtmlHelpForTesting(HtmlHelpFunction function)
{
    g_testHtmlHelp = function;
}

void ShowHelp(HWND asker, int kind, DWORD context)
{
    char directory[kPathSize];
    GetModuleDirectory(AppInstance(), directory);
    char path[kPathSize];
    std::snprintf(path, sizeof(path), "%s\\%s", directory, kHelpFileName);

    HWND desktop = GetDesktopWindow();
    HWND shown = kind == kHelpContext ? CallHtmlHelp(desktop, path, kDisplayContext, context)
                                      : CallHtmlHelp(desktop, path, kDisplayTopic, 0);
    if (shown)
        return;

    char reason[kPathSize];
    if (HelpSystemReason(asker, reason, sizeof(reason))) {
        ReportError(asker, 0, reason);
        return;
    }
    // With the viewer on the system the help file itself must be missing.
    char viewer[kPathSize];
    SetLastError(0);
    if (SearchPathA(nullptr, "HH.EXE", nullptr, sizeof(viewer), viewer, nullptr) != 0 && GetLastError() == 0)
        SetLastError(ERROR_FILE_NOT_FOUND);
    ReportError(asker, -1, nullptr);
}

void DirectoryOfPath(const char* path, char* buffer, int size)
{
    if (!buffer || size <= 0)
        return;
    buffer[0] = '\0';
    if (!path)
        return;
    // Walk by characters: the second byte of many Shift_JIS characters is
    // 0x5C, the backslash, and must not be taken for a separator.
    const char* lastBackslash = nullptr;
    const char* lastSlash = nullptr;
    for (const char* p = path; *p != '\0';) {
        if (IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(*p)) && p[1] != '\0') {
            p += 2;
            continue;
        }
        if (*p == '\\')
            lastBackslash = p;
        else if (*p == '/')
            lastSlash = p;
        ++p;
    }
    const char* separator = lastBackslash ? lastBackslash : lastSlash;
    if (!separator)
        return;
    int length = static_cast<int>(separator - path);
    if (length > size - 1)
        length = size - 1;
    std::memcpy(buffer, path, length);
    buffer[length] = '\0';
}

char* GetModuleDirectory(HINSTANCE module, char* buffer)
{
    if (!buffer)
        return nullptr;
    buffer[0] = '\0';
    char path[kPathSize] = {};
    DWORD length = GetModuleFileNameA(module, path, sizeof(path));
    if (length == 0)
        return buffer;
    path[sizeof(path) - 1] = '\0';
    DirectoryOfPath(path, buffer, kPathSize);
    return buffer;
}

void OpenHomePage(HWND mainWindow)
{
    auto execute = SystemFunctionAs<decltype(&ShellExecuteW)>(L"shell32.dll", "ShellExecuteW");
    HINSTANCE result = !execute
        ? nullptr
        : execute(mainWindow, L"open", ResourceText(IDS_HOME_PAGE).c_str(), nullptr, nullptr, SW_SHOW);
    if (reinterpret_cast<INT_PTR>(result) <= 32)
        ReportError(mainWindow, -1, nullptr);
}
