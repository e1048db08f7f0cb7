#include "tests/e2e/driver.h"

#include <cstring>
#include <iterator>

#include "platform/wide_text.h"

namespace e2e
{

namespace
{

constexpr char kStoreKey[] = "Software\\KOVA\\Jotwise";

std::string ExePath()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    char* slash = std::strrchr(path, '\\');
    if (slash)
        slash[1] = '\0';
    return std::string(path) + "Jotwise.exe";
}

struct EnumContext {
    DWORD pid;
    const char* className;
    bool visibleOnly;
    std::vector<HWND>* found;
};

BOOL CALLBACK CollectWindows(HWND window, LPARAM param)
{
    auto* context = reinterpret_cast<EnumContext*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != context->pid)
        return TRUE;
    if (context->visibleOnly && !IsWindowVisible(window))
        return TRUE;
    if (ClassOf(window) == context->className)
        context->found->push_back(window);
    return TRUE;
}

bool StartProcess(PROCESS_INFORMATION* info, std::string commandLine = {})
{
    if (commandLine.empty())
        commandLine.append(1, '"').append(ExePath()).append(1, '"');
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    return CreateProcessA(
               nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, info)
        != 0;
}

} // namespace

Jotwise::~Jotwise()
{
    Kill();
}

bool Jotwise::Start(DWORD timeoutMs, const std::string& commandLine)
{
    return Launch(commandLine) && WaitForMainWindow(timeoutMs);
}

bool Jotwise::Launch(const std::string& commandLine)
{
    PROCESS_INFORMATION info = {};
    if (!StartProcess(&info, commandLine))
        return false;
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    pid_ = info.dwProcessId;
    return true;
}

bool Jotwise::WaitForMainWindow(DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        std::vector<HWND> mains = Windows("Jotwise");
        if (!mains.empty()) {
            main_ = mains.front();
            WaitForInputIdle(process_, 5000);
            Sync();
            return true;
        }
        if (WaitForSingleObject(process_, 50) == WAIT_OBJECT_0)
            return false;
    }
    return false;
}

DWORD Jotwise::RunSecondInstance(DWORD timeoutMs)
{
    PROCESS_INFORMATION info = {};
    if (!StartProcess(&info))
        return 0xFFFFFFFF;
    CloseHandle(info.hThread);
    DWORD code = 0xFFFFFFFE;
    if (WaitForSingleObject(info.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(info.hProcess, &code);
    else
        TerminateProcess(info.hProcess, 1);
    CloseHandle(info.hProcess);
    return code;
}

bool Jotwise::Running() const
{
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

void Jotwise::PostCommand(HWND window, int commandId) const
{
    PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(commandId), 0);
}

std::optional<DWORD> Jotwise::WaitForExit(DWORD timeoutMs)
{
    if (!process_)
        return std::nullopt;
    if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    CloseHandle(process_);
    process_ = nullptr;
    main_ = nullptr;
    return code;
}

std::optional<DWORD> Jotwise::Exit(DWORD timeoutMs)
{
    PostTrayCommand(1009);
    return WaitForExit(timeoutMs);
}

void Jotwise::Kill()
{
    if (!process_)
        return;
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        // Gone for good before the next start, which would take it for the
        // running instance and end.
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 30000);
    }
    CloseHandle(process_);
    process_ = nullptr;
    main_ = nullptr;
}

void Jotwise::Detach()
{
    if (process_)
        CloseHandle(process_);
    process_ = nullptr;
    main_ = nullptr;
}

bool Jotwise::Adopt(DWORD timeoutMs)
{
    Detach();
    if (!WaitUntil([&] { return (main_ = FindWindowA("Jotwise", nullptr)) != nullptr; }, timeoutMs))
        return false;
    GetWindowThreadProcessId(main_, &pid_);
    process_ = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE, pid_);
    return process_ != nullptr;
}

std::vector<HWND> Jotwise::Windows(const char* className, bool visibleOnly) const
{
    std::vector<HWND> found;
    EnumContext context{pid_, className, visibleOnly, &found};
    EnumWindows(CollectWindows, reinterpret_cast<LPARAM>(&context));
    return found;
}

HWND Jotwise::Editor() const
{
    std::vector<HWND> editors = Windows("TextC");
    return editors.empty() ? nullptr : editors.front();
}

HWND Jotwise::WaitForEditor(DWORD timeoutMs) const
{
    HWND editor = nullptr;
    bool open = WaitUntil(
        [&] {
            editor = Editor();
            return editor && !IsWindowEnabled(main_);
        },
        timeoutMs);
    return open ? editor : nullptr;
}

HWND Jotwise::WaitForDialog(DWORD timeoutMs, const std::string& title) const
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND dialog : Windows("#32770", true))
                if (title.empty() || WindowText(dialog) == title)
                    found = dialog;
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

HWND Jotwise::WaitForWindow(const char* className, DWORD timeoutMs) const
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            std::vector<HWND> windows = Windows(className, true);
            found = windows.empty() ? nullptr : windows.front();
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

bool Jotwise::WaitForNoDialog(DWORD timeoutMs) const
{
    return WaitUntil([this] { return Windows("#32770", true).empty(); }, timeoutMs);
}

GUITHREADINFO Jotwise::ThreadInfo() const
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    if (!main_ || !GetGUIThreadInfo(GetWindowThreadProcessId(main_, nullptr), &info))
        info = GUITHREADINFO{};
    return info;
}

void Jotwise::Sync() const
{
    if (!main_)
        return;
    // A sent message overtakes posted ones: the first is answered as soon as
    // the program next looks at its queue, which may be just before it takes
    // a command posted earlier; the second only after that command has been
    // handled (or has opened its modal loop).
    for (int i = 0; i < 2; ++i)
        Send(main_, WM_NULL);
}

bool Jotwise::Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result) const
{
    DWORD_PTR answer = 0;
    return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, 30000, result ? result : &answer)
        != 0;
}

std::string WindowText(HWND window)
{
    wchar_t text[4096] = {};
    SendMessageTimeoutW(
        window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000, nullptr);
    return NoteFromWide(text);
}

std::string MessageText(HWND box)
{
    HWND text = GetDlgItem(box, 0xFFFF);
    return text ? WindowText(text) : std::string();
}

void PressButton(HWND dialog, int buttonId)
{
    HWND button = GetDlgItem(dialog, buttonId);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

std::string ClassOf(HWND window)
{
    char name[128] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

RECT WindowRect(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

namespace
{
// One pass over the menu's pixels: a band of rows with text is an item, a
// single row of line colour is a separator.
std::vector<bool> ReadMenuBands(HWND menuWindow)
{
    std::vector<bool> items;
    RECT rect = WindowRect(menuWindow);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 4 || height <= 4)
        return items;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    int bandRows = 0;
    bool bandDark = false;
    // Two pixels of frame on every side.
    for (int y = 2; y <= height - 2; ++y) {
        int dark = 0;
        int grey = 0;
        for (int x = 2; y < height - 2 && x < width - 2; ++x) {
            COLORREF colour = GetPixel(memory, x, y);
            int sum = GetRValue(colour) + GetGValue(colour) + GetBValue(colour);
            if (sum < 150)
                ++dark;
            else if (sum < 600)
                ++grey;
        }
        bool ink = dark > 0 || (grey > 0 && grey < width / 2);
        if (ink) {
            ++bandRows;
            bandDark = bandDark || dark > 0;
        } else {
            if (bandRows >= 4)
                items.push_back(bandDark);
            bandRows = 0;
            bandDark = false;
        }
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return items;
}
} // namespace

std::vector<bool> MenuItemsEnabled(HWND menuWindow, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    std::vector<bool> last;
    do {
        Sleep(100);
        std::vector<bool> now = ReadMenuBands(menuWindow);
        if (!now.empty() && now == last)
            return now;
        last = now;
    } while (GetTickCount() - start < timeoutMs);
    return last;
}

std::vector<bool> OpenMenu(const Jotwise& app, HWND window, bool tray)
{
    if (tray)
        PostMessageA(window, WM_APP + 321, 101, WM_RBUTTONDOWN);
    else
        PostMessageA(window, WM_RBUTTONDOWN, 0, MAKELPARAM(10, 10));
    HWND menu = app.WaitForWindow("#32768");
    if (!menu)
        return {};
    std::vector<bool> items = MenuItemsEnabled(menu);
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    WaitUntil([&app] { return app.Windows("#32768", true).empty(); });
    app.Sync();
    return items;
}

std::vector<bool> ToItems(const char* pattern)
{
    std::vector<bool> items;
    for (const char* c = pattern; *c; ++c)
        items.push_back(*c == '1');
    return items;
}

namespace store
{

namespace
{
HKEY OpenStore()
{
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, kStoreKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    return key;
}
} // namespace

void Clear()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, kStoreKey);
}

void WriteValue(const std::string& name, DWORD type, const void* data, DWORD size)
{
    HKEY key = OpenStore();
    RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

void WriteBinary(const std::string& name, const void* data, DWORD size)
{
    WriteValue(name, REG_BINARY, data, size);
}

// Through UTF-16 with code page 932, as a Japanese Windows stores it.
void WriteString(const std::string& name, const std::string& text)
{
    std::wstring wide = WideFromNote(text);
    HKEY key = OpenStore();
    RegSetValueExW(key, WideFromNote(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
        static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

std::optional<Bytes> Read(const std::string& name, DWORD* type)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kStoreKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    DWORD size = 0;
    DWORD valueType = 0;
    std::optional<Bytes> result;
    std::wstring wideName = WideFromNote(name);
    if (RegQueryValueExW(key, wideName.c_str(), nullptr, &valueType, nullptr, &size) == ERROR_SUCCESS) {
        Bytes bytes(size);
        if (RegQueryValueExW(key, wideName.c_str(), nullptr, &valueType, bytes.data(), &size)
            == ERROR_SUCCESS) {
            bytes.resize(size);
            // Texts as code page 932 bytes with their terminator, whatever
            // the code page of the system.
            if (valueType == REG_SZ && size % sizeof(wchar_t) == 0) {
                std::string text = NoteFromWide(std::wstring_view(
                    reinterpret_cast<const wchar_t*>(bytes.data()), size / sizeof(wchar_t)));
                bytes.assign(text.begin(), text.end());
            }
            result = bytes;
            if (type)
                *type = valueType;
        }
    }
    RegCloseKey(key);
    return result;
}

std::vector<std::string> ValueNames()
{
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kStoreKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD length = sizeof(name);
        if (RegEnumValueA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    RegCloseKey(key);
    return names;
}

std::optional<NoteRecord> ReadNote(int id)
{
    std::optional<Bytes> bytes = Read("List" + std::to_string(id));
    if (!bytes || bytes->size() != kNoteImageSize)
        return std::nullopt;
    NoteRecord record = {};
    std::memcpy(&record, bytes->data(), kNoteImageSize);
    return record;
}

void SeedNote(const NoteRecord& record, const std::string& text, const LOGFONTA& font)
{
    std::string id = std::to_string(record.id);
    WriteBinary("List" + id, &record, kNoteImageSize);
    WriteString("Memo" + id, text);
    WriteBinary("Font" + id, &font, sizeof(font));
}

void SeedNote(int id, int left, int top, int width, int height, const std::string& text)
{
    SeedNote(MakeNote(id, left, top, width, height), text, DefaultFont());
}

} // namespace store

NoteRecord MakeNote(int id, int left, int top, int width, int height)
{
    NoteRecord record = {};
    record.foreColour = RGB(0, 0, 0);
    record.backColour = GetSysColor(COLOR_INFOBK);
    record.left = left;
    record.top = top;
    record.width = width;
    record.height = height;
    record.id = id;
    return record;
}

FILETIME LocalTimeFromNow(long long minutes)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    FILETIME time;
    SystemTimeToFileTime(&now, &time);
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    constexpr long long kFileTimeMinute = 60LL * 10000000LL;
    value.QuadPart += static_cast<ULONGLONG>(minutes * kFileTimeMinute);
    time.dwLowDateTime = value.LowPart;
    time.dwHighDateTime = value.HighPart;
    return time;
}

LOGFONTA DefaultFont()
{
    LOGFONTA font;
    SetDefaultFont(&font);
    return font;
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(30);
    }
    return true;
}

void PressKeys(std::initializer_list<WORD> keys)
{
    std::vector<INPUT> inputs(2 * keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        inputs[i].type = inputs[inputs.size() - 1 - i].type = INPUT_KEYBOARD;
        inputs[i].ki.wVk = inputs[inputs.size() - 1 - i].ki.wVk = keys.begin()[i];
        inputs[inputs.size() - 1 - i].ki.dwFlags = KEYEVENTF_KEYUP;
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

std::string Sjis(const char* utf8)
{
    int wideLength = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    std::vector<wchar_t> wide(wideLength);
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide.data(), wideLength);
    int length = WideCharToMultiByte(932, 0, wide.data(), -1, nullptr, 0, nullptr, nullptr);
    std::string result(length, '\0');
    WideCharToMultiByte(932, 0, wide.data(), -1, result.data(), length, nullptr, nullptr);
    result.resize(length - 1);
    return result;
}

} // namespace e2e
