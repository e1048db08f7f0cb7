#include "tests/unit/test_store_support.h"

#include "tests/unit/test_support.h"

namespace storetest
{

namespace
{

constexpr char kKeyPath[] = "Software\\KOVA\\Jotwise";

HKEY OpenKey()
{
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    return key;
}

struct EnumContext {
    int count;
};

BOOL CALLBACK CountMemoWindows(HWND window, LPARAM param)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != GetCurrentProcessId())
        return TRUE;
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    if (lstrcmpA(name, kNoteClassName) == 0)
        ++reinterpret_cast<EnumContext*>(param)->count;
    return TRUE;
}

} // namespace

Bytes BytesOf(const void* data, std::size_t size)
{
    auto* bytes = static_cast<const std::uint8_t*>(data);
    return Bytes(bytes, bytes + size);
}

void WriteRaw(const std::string& name, DWORD type, const void* data, DWORD size)
{
    HKEY key = OpenKey();
    RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

void WriteText(const std::string& name, const std::string& text)
{
    WriteRaw(name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

std::optional<RawValue> ReadRaw(const std::string& name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    std::optional<RawValue> result;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        Bytes bytes(size + 1);
        if (RegQueryValueExA(key, name.c_str(), nullptr, &type, bytes.data(), &size) == ERROR_SUCCESS) {
            bytes.resize(size);
            result = RawValue{type, bytes};
        }
    }
    RegCloseKey(key);
    return result;
}

std::vector<std::string> ValueNames()
{
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
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

NoteRecord MakeRecord(int id, int left, int top, int width, int height)
{
    NoteRecord record = {};
    record.foreColour = RGB(0, 0, 0);
    record.backColour = RGB(255, 255, 200);
    record.left = left;
    record.top = top;
    record.width = width;
    record.height = height;
    record.id = id;
    return record;
}

LOGFONTA TestFont(int height)
{
    LOGFONTA font;
    SetDefaultFont(&font);
    font.lfHeight = height;
    return font;
}

void SeedNote(const NoteRecord& record, const std::string& text, const LOGFONTA& font)
{
    std::string id = std::to_string(record.id);
    WriteRaw("List" + id, REG_BINARY, &record, kNoteImageSize);
    WriteText("Memo" + id, text);
    WriteRaw("Font" + id, REG_BINARY, &font, sizeof(font));
}

void SeedNote(int id, int left, int top, int width, int height, const std::string& text)
{
    SeedNote(MakeRecord(id, left, top, width, height), text, TestFont());
}

std::vector<HWND> OpenNotes()
{
    std::vector<HWND> notes;
    AppState* state = App();
    for (int slot = 0; state && slot < kMaxNotes; ++slot) {
        if (state->noteWindows[slot])
            notes.push_back(state->noteWindows[slot]);
    }
    return notes;
}

HWND NoteWithId(int id)
{
    for (HWND note : OpenNotes()) {
        const NoteRecord* record = NoteRecordOf(note);
        if (record && record->id == id)
            return note;
    }
    return nullptr;
}

int CountNoteWindows()
{
    EnumContext context{0};
    EnumWindows(CountMemoWindows, reinterpret_cast<LPARAM>(&context));
    return context.count;
}

BoxAnswerer::BoxAnswerer(DWORD firstTimeoutMs, DWORD settleMs)
    : firstTimeoutMs_(firstTimeoutMs)
    , settleMs_(settleMs)
    , thread_(nullptr)
{
    thread_ = CreateThread(nullptr, 0, &BoxAnswerer::Run, this, 0, nullptr);
}

BoxAnswerer::~BoxAnswerer()
{
    Texts();
}

const std::vector<std::string>& BoxAnswerer::Texts()
{
    if (thread_) {
        // The boxes belong to this thread: keep its queue moving meanwhile.
        while (MsgWaitForMultipleObjects(1, &thread_, FALSE, 30000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1)
            PumpMessages(0);
        CloseHandle(thread_);
        thread_ = nullptr;
    }
    return texts_;
}

DWORD WINAPI BoxAnswerer::Run(LPVOID self)
{
    auto* answerer = static_cast<BoxAnswerer*>(self);
    DWORD timeout = answerer->firstTimeoutMs_;
    for (;;) {
        HWND box = WaitForThreadWindow("#32770", timeout);
        if (!box)
            return 0;
        answerer->texts_.push_back(MessageBoxText(box));
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        // Wait for this box to go before looking for the next one.
        for (int i = 0; i < 250 && IsWindow(box); ++i)
            Sleep(20);
        timeout = answerer->settleMs_;
    }
}

} // namespace storetest
