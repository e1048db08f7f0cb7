#include "tests/unit/test_store_support.h"

#include "tests/e2e/driver.h"
#include "tests/unit/test_support.h"

namespace storetest
{

namespace
{

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
    e2e::store::WriteValue(name, type, data, size);
}

void WriteText(const std::string& name, const std::string& text)
{
    e2e::store::WriteString(name, text);
}

std::optional<RawValue> ReadRaw(const std::string& name)
{
    DWORD type = 0;
    std::optional<Bytes> bytes = e2e::store::Read(name, &type);
    if (!bytes)
        return std::nullopt;
    return RawValue{type, *bytes};
}

std::vector<std::string> ValueNames()
{
    return e2e::store::ValueNames();
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
    e2e::store::SeedNote(record, text, font);
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
