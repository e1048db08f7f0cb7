// Shared by the store and note-table tests: raw access to the store key and
// a few ways to look at the note table.
#ifndef JOTWISE_TESTS_UNIT_TEST_STORE_SUPPORT_H
#define JOTWISE_TESTS_UNIT_TEST_STORE_SUPPORT_H

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "notes/app_state.h"
#include "store/records.h"

namespace storetest
{

using Bytes = std::vector<std::uint8_t>;

struct RawValue {
    DWORD type;
    Bytes bytes;
};

Bytes BytesOf(const void* data, std::size_t size);

void WriteRaw(const std::string& name, DWORD type, const void* data, DWORD size);
void WriteText(const std::string& name, const std::string& text);
std::optional<RawValue> ReadRaw(const std::string& name);
std::vector<std::string> ValueNames();

// A record with the given place and size, black on white, reserved bytes 0.
NoteRecord MakeRecord(int id, int left, int top, int width, int height);
LOGFONTA TestFont(int height = 17);
// Writes List<id>, Memo<id>, Font<id>.
void SeedNote(const NoteRecord& record, const std::string& text, const LOGFONTA& font);
void SeedNote(int id, int left, int top, int width, int height, const std::string& text);

// Windows and records of the note table, slot order.
std::vector<HWND> OpenNotes();
HWND NoteWithId(int id);
// Top-level MemoC windows of this process, table or not.
int CountNoteWindows();

// Answers the message boxes that the code under test shows on this thread:
// presses OK on each and keeps their texts. Boxes arriving within
// `settleMs` of the previous one are counted too.
class BoxAnswerer
{
public:
    explicit BoxAnswerer(DWORD firstTimeoutMs = 5000, DWORD settleMs = 1000);
    ~BoxAnswerer();
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;
    // Waits for the helper; the texts of the boxes seen.
    const std::vector<std::string>& Texts();

private:
    static DWORD WINAPI Run(LPVOID self);
    DWORD firstTimeoutMs_;
    DWORD settleMs_;
    std::vector<std::string> texts_;
    HANDLE thread_;
};

} // namespace storetest

#endif
