#include "help/help.h"

#include <oleauto.h>
#include <shellapi.h>

#include <cstring>
#include <iterator>
#include <string>

#include "platform/error_box.h"
#include "platform/program.h"
#include "platform/system_library.h"
#include "platform/wide_text.h"
#include "res/resource.h"

namespace
{

constexpr int kPathSize = MAX_PATH;
constexpr wchar_t kHelpFileName[] = L"\\Jotwise.chm";
// The stream in which Windows keeps where a downloaded file came from.
constexpr wchar_t kDownloadMark[] = L":Zone.Identifier";

// HtmlHelpW commands.
constexpr UINT kDisplayTopic = 0x0000;
constexpr UINT kDisplayContext = 0x000F;
constexpr UINT kGetLastError = 0x0014;

// The HTML Help control's registration names the file the system uses.
constexpr wchar_t kHelpControlKey[] = L"CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
constexpr wchar_t kHelpControlFile[] = L"\\hhctrl.ocx";

// The record HH_GET_LAST_ERROR fills.
struct HelpLastError {
    int size;
    HRESULT result;
    BSTR description;
};

HtmlHelpFunction g_testHtmlHelp = nullptr;
HMODULE g_helpLibrary = nullptr;
bool g_helpLibraryFailed = false;

bool IsFullPath(const wchar_t* path)
{
    bool drive = ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'))
        && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
    bool share = path[0] == L'\\' && path[1] == L'\\';
    return drive || share;
}

HMODULE LoadRegisteredHelpControl()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, kHelpControlKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return nullptr;
    wchar_t value[kPathSize] = {};
    DWORD type = 0;
    DWORD size = sizeof(value) - sizeof(wchar_t);
    LONG status = RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return nullptr;
    wchar_t path[kPathSize] = {};
    if (type == REG_EXPAND_SZ) {
        DWORD length = ExpandEnvironmentStringsW(value, path, kPathSize);
        if (length == 0 || length > kPathSize)
            return nullptr;
    } else {
        lstrcpynW(path, value, kPathSize);
    }
    // A bare name would be looked for in the program's own folder first,
    // where anyone could have put a file of that name.
    if (!IsFullPath(path))
        return nullptr;
    return LoadLibraryW(path);
}

HMODULE LoadSystemHelpControl()
{
    wchar_t path[kPathSize] = {};
    UINT length = GetSystemDirectoryW(path, kPathSize);
    if (length == 0 || length + std::size(kHelpControlFile) > kPathSize)
        return nullptr;
    lstrcatW(path, kHelpControlFile);
    return LoadLibraryW(path);
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
    FARPROC entry = GetProcAddress(g_helpLibrary, "HtmlHelpW");
    return reinterpret_cast<HtmlHelpFunction>(reinterpret_cast<void*>(entry));
}

HWND CallHtmlHelp(HWND caller, LPCWSTR file, UINT command, DWORD_PTR data)
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

// The folder of the module, in UTF-16; empty when the system cannot say.
std::wstring ModuleDirectoryW(HINSTANCE module)
{
    wchar_t path[kPathSize] = {};
    DWORD length = GetModuleFileNameW(module, path, kPathSize);
    if (length == 0 || length >= kPathSize)
        return {};
    std::wstring directory(path, length);
    size_t separator = directory.find_last_of(L"\\/");
    return separator == std::wstring::npos ? std::wstring() : directory.substr(0, separator);
}

// Explorer copies a zip's download mark onto every file it unpacks, and
// HTML Help shows a marked file's pages blank. The help file came with the
// program the user chose to run, so its mark alone is taken off. The system
// error when the mark is there and stays, else ERROR_SUCCESS; a drive that
// keeps no streams answers as if there were no mark.
DWORD RemoveDownloadMark(const std::wstring& file)
{
    std::wstring mark = file + kDownloadMark;
    if (GetFileAttributesW(mark.c_str()) == INVALID_FILE_ATTRIBUTES || DeleteFileW(mark.c_str()))
        return ERROR_SUCCESS;
    return GetLastError();
}

} // namespace

void SetHtmlHelpForTesting(HtmlHelpFunction function)
{
    g_testHtmlHelp = function;
}

void ShowHelp(HWND asker, int kind, DWORD context)
{
    // The program's folder may hold characters the system code page lacks
    // (a Japanese user name on an English Windows), so the path stays UTF-16.
    std::wstring path = ModuleDirectoryW(AppInstance()) + kHelpFileName;
    // Blank pages are still worth the contents and the index.
    if (DWORD error = RemoveDownloadMark(path))
        ShowFailureWithReason(asker, IDS_ERR_HELP_BLOCKED, error, MB_ICONWARNING);

    HWND desktop = GetDesktopWindow();
    HWND shown = kind == kHelpContext ? CallHtmlHelp(desktop, path.c_str(), kDisplayContext, context)
                                      : CallHtmlHelp(desktop, path.c_str(), kDisplayTopic, 0);
    if (shown)
        return;

    char reason[kPathSize];
    if (HelpSystemReason(asker, reason, sizeof(reason))) {
        ReportError(asker, 0, reason);
        return;
    }
    // With the viewer on the system the help file itself must be missing.
    wchar_t viewer[kPathSize];
    SetLastError(0);
    if (SearchPathW(nullptr, L"HH.EXE", nullptr, kPathSize, viewer, nullptr) != 0 && GetLastError() == 0)
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
