#include "app/reminder_balloon.h"

#include <cwchar>
#include <utility>

#include "notes/app_state.h"
#include "notes/reminder_queue.h"
#include "platform/tray_icon.h"
#include "platform/wide_text.h"
#include "reminders/reminder_window.h"
#include "res/resource.h"

namespace
{

constexpr std::size_t kLineLimit = 60;
constexpr std::size_t kLinesShown = 3;

// The balloon on screen is the due balloon, not another one that took its
// place: only its click opens the reminder window.
bool g_dueBalloonShown = false;
// Notes announced while the tray icon was missing (at logon, while Explorer
// restarts), kept for the balloon the icon's return brings.
std::vector<HWND> g_pendingNotes;
bool g_pendingAtStart = false;

std::wstring FormatCount(UINT formatId, std::size_t count)
{
    std::wstring format = ResourceText(formatId);
    wchar_t text[128] = {};
    std::swprintf(text, sizeof(text) / sizeof(text[0]), format.c_str(), static_cast<int>(count));
    return text;
}

bool IsOpenNote(const AppState* state, HWND window)
{
    for (HWND note : state->noteWindows) {
        if (note && note == window)
            return true;
    }
    return false;
}

} // namespace

std::wstring FirstLineOf(const char* text, std::size_t limit)
{
    std::wstring wide = WideFromNote(text ? text : "");
    std::size_t start = wide.find_first_not_of(L"\r\n \t\x3000");
    if (start == std::wstring::npos)
        return {};
    std::size_t end = wide.find_first_of(L"\r\n", start);
    std::wstring line = wide.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
    if (line.size() > limit)
        line = line.substr(0, limit - 1) + L"\x2026";
    return line;
}

std::wstring ReminderText(const std::vector<std::wstring>& firstLines)
{
    std::wstring text;
    std::size_t shown = 0;
    for (const std::wstring& line : firstLines) {
        if (shown == kLinesShown)
            break;
        if (!text.empty())
            text += L"\n";
        text += line;
        ++shown;
    }
    if (firstLines.size() > shown)
        text += L"\n" + FormatCount(IDS_REMIND_MORE, firstLines.size() - shown);
    return text;
}

void OnDueReminder(HWND mainWindow)
{
    bool atStart = false;
    std::vector<HWND> notes = TakeDueReminders(&atStart);

    if (!App())
        return;
    g_pendingNotes.insert(g_pendingNotes.end(), notes.begin(), notes.end());
    g_pendingAtStart = g_pendingAtStart || atStart;
    ShowPendingReminder(mainWindow);
    // The window lists every note due, not only those just announced, and
    // needs no tray icon; it comes up without taking the focus from what
    // the user is typing. One already open (from a click on the balloon)
    // takes the new notes in even when the balloon alone was asked for.
    const AppState* state = App();
    if (!notes.empty() && state->extra.remind && (state->extra.remindWindow || ReminderWindow()))
        ShowReminderWindow(false);
}

void ShowPendingReminder(HWND mainWindow)
{
    AppState* state = App();
    if (!state)
        return;
    std::vector<HWND> shown;
    std::vector<std::wstring> lines;
    for (HWND note : g_pendingNotes) {
        const NoteRecord* record = IsOpenNote(state, note) ? NoteRecordOf(note) : nullptr;
        if (!record)
            continue;
        shown.push_back(note);
        lines.push_back(FirstLineOf(record->text, kLineLimit));
    }
    // Switched off meanwhile: nothing to announce.
    if (shown.empty() || !state->extra.remind) {
        g_pendingNotes.clear();
        g_pendingAtStart = false;
        return;
    }
    const bool atStart = g_pendingAtStart;
    std::wstring title = ResourceText(atStart ? IDS_REMIND_OVERDUE_TITLE : IDS_REMIND_TITLE);
    std::wstring text = atStart ? FormatCount(IDS_REMIND_OVERDUE_COUNT, shown.size()) : ReminderText(lines);
    if (!ShowTrayBalloon(mainWindow, title, text)) {
        g_pendingNotes = std::move(shown);
        return;
    }
    g_dueBalloonShown = true;
    g_pendingNotes.clear();
    g_pendingAtStart = false;
}

void OnReminderBalloonClick()
{
    if (g_dueBalloonShown)
        ShowReminderWindow(true);
}

void ForgetReminderBalloon()
{
    g_dueBalloonShown = false;
}
