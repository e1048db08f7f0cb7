#include "notes/note_commands.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "due/alarm_time.h"
#include "due/due_time.h"
#include "notes/app_state.h"
#include "notes/monitor.h"
#include "notes/note_events.h"
#include "notes/note_layers.h"
#include "notes/note_store.h"
#include "notes/note_table.h"
#include "notes/text_convert.h"
#include "platform/popup_menu.h"
#include "platform/wide_text.h"
#include "res/resource.h"

namespace
{

constexpr int kPropertiesBufferSize = 4096;
constexpr int kCaptionSize = 32;
constexpr int kQuestionSize = 512;

// Appends to a fixed buffer, cutting what does not fit.
class TextBuilder
{
public:
    TextBuilder(char* buffer, int size)
        : buffer_(buffer)
        , size_(size)
        , length_(0)
    {
        buffer_[0] = '\0';
    }
    void Append(const char* text)
    {
        if (!text)
            return;
        while (*text && length_ < size_ - 1)
            buffer_[length_++] = *text++;
        buffer_[length_] = '\0';
    }

private:
    char* buffer_;
    int size_;
    int length_;
};

const char* OnOff(std::uint8_t flag)
{
    return flag ? "On" : "Off";
}

void LoadText(UINT id, char* buffer, int size)
{
    ResourceNoteText(id, buffer, size);
}

NoteFeatureCommand g_featureCommand = nullptr;

static_assert(IDM_NOTE_REPEAT_YEARLY - IDM_NOTE_REPEAT_NONE == kRepeatYearly);

bool HasDueTime(const NoteRecord* record)
{
    return record && IsTimeSet(&record->due);
}

} // namespace

void OnNoteCommand(HWND window, int commandId)
{
    switch (commandId) {
    case IDM_NOTE_PEEL:
        PeelOffNote(window, 0);
        break;
    case IDM_NOTE_DELETE:
        PeelOffNote(window, 1);
        break;
    case IDM_NOTE_DUPLICATE:
        DuplicateNote(window);
        break;
    case IDM_NOTE_PROPERTIES:
        ShowNoteProperties(window, nullptr);
        break;
    case IDM_NOTE_HIDE:
        HideNote(window);
        break;
    case IDM_OPTIMIZE:
        OptimizeNoteSize(window);
        break;
    case IDM_NOTE_TOPMOST:
        if (const NoteRecord* record = NoteRecordOf(window))
            SetNoteTopmost(window, !record->topmost);
        break;
    case IDM_NOTE_REPEAT_NONE:
    case IDM_NOTE_REPEAT_DAILY:
    case IDM_NOTE_REPEAT_WEEKDAYS:
    case IDM_NOTE_REPEAT_WEEKLY:
    case IDM_NOTE_REPEAT_MONTHLY:
    case IDM_NOTE_REPEAT_YEARLY:
        SetNoteRepeat(window, commandId - IDM_NOTE_REPEAT_NONE);
        break;
    case IDM_NOTE_DONE:
        CompleteNote(window);
        break;
    case IDM_NOTE_SNOOZE_10_MINUTES:
        SnoozeNote(window, 10);
        break;
    case IDM_NOTE_SNOOZE_HOUR:
        SnoozeNote(window, 60);
        break;
    case IDM_NOTE_SNOOZE_MORNING:
        SnoozeNote(window, kSnoozeUntilMorning);
        break;
    default:
        if (g_featureCommand)
            g_featureCommand(window, commandId);
        break;
    }
}

void SetNoteFeatureCommand(NoteFeatureCommand handler)
{
    g_featureCommand = handler;
}

void ApplyNoteMenuState(HWND note, HMENU menu)
{
    const AppState* state = App();
    if (!menu || !state)
        return;
    bool editorOpen = state->editorWindow.load() != nullptr;
    EnableMenuItem(menu, IDM_NOTE_EDIT, MF_BYCOMMAND | (editorOpen ? MF_GRAYED : MF_ENABLED));
    const NoteRecord* record = NoteRecordOf(note);
    CheckMenuItem(
        menu, IDM_NOTE_TOPMOST, MF_BYCOMMAND | (record && record->topmost ? MF_CHECKED : MF_UNCHECKED));
    const bool due = HasDueTime(record);
    EnableMenuItem(menu, IDM_NOTE_DONE, MF_BYCOMMAND | (due ? MF_ENABLED : MF_GRAYED));
    EnableSubmenuOf(menu, IDM_NOTE_REPEAT_NONE, due);
    EnableSubmenuOf(menu, IDM_NOTE_SNOOZE_10_MINUTES, due);
    int repeat = record && record->repeat < kRepeatKindCount ? record->repeat : 0;
    CheckMenuRadioItem(
        menu, IDM_NOTE_REPEAT_NONE, IDM_NOTE_REPEAT_YEARLY, IDM_NOTE_REPEAT_NONE + repeat, MF_BYCOMMAND);
}

void CompleteNote(HWND note)
{
    NoteRecord* record = NoteRecordOf(note);
    if (!HasDueTime(record))
        return;
    FILETIME now;
    GetLocalFileTime(&now);
    {
        // The monitor reads the due time under this lock.
        AppLock lock;
        int anchor = RepeatAnchorDay(record->due, record->repeatDay);
        FILETIME next = {};
        NextOccurrence(record->due, record->repeat, anchor, now, &next);
        record->due = next;
        record->repeatDay = static_cast<std::uint8_t>(anchor);
        record->snoozeUntil = {};
    }
    SaveNote(record);
    // Its colours follow the new due time at the monitor's next pass.
    WakeMonitor();
}

void SnoozeNote(HWND note, int minutes)
{
    NoteRecord* record = NoteRecordOf(note);
    if (!HasDueTime(record))
        return;
    FILETIME now;
    GetLocalFileTime(&now);
    {
        AppLock lock;
        record->snoozeUntil = minutes == kSnoozeUntilMorning ? NextDayAt(now, kSnoozeMorningHour)
                                                             : MinutesLater(now, minutes);
    }
    SaveNote(record);
    WakeMonitor();
}

void SetNoteRepeat(HWND note, int kind)
{
    NoteRecord* record = NoteRecordOf(note);
    if (!record || kind < kRepeatNone || kind >= kRepeatKindCount)
        return;
    record->repeat = static_cast<std::uint8_t>(kind);
    record->repeatDay = 0;
    SaveNote(record);
}

void PeelOffNote(HWND window, int deleteAsked)
{
    NoteRecord* record = NoteRecordOf(window);
    if (!record)
        return;
    char caption[kCaptionSize];
    LoadText(IDS_CONFIRM_CAPTION, caption, sizeof(caption));
    char question[kQuestionSize];
    UINT buttons = MB_ICONQUESTION | MB_YESNOCANCEL;
    if (deleteAsked) {
        LoadText(IDS_ASK_DELETE, question, sizeof(question));
    } else if (GetDueState(record) == kDueOverdue) {
        LoadText(IDS_OVERDUE, question, sizeof(question));
        const int used = static_cast<int>(std::strlen(question));
        LoadText(IDS_ASK_DELETE, question + used, sizeof(question) - used);
    } else {
        LoadText(IDS_ASK_PEEL, question, sizeof(question));
        buttons = MB_ICONQUESTION | MB_YESNO;
    }

    const int answer = NoteMessageBox(window, question, caption, buttons);
    // The box runs a message loop: the note may have been closed meanwhile
    // (the program's exit closes every note), freeing the record read above.
    if (!IsWindow(window))
        return;
    record = NoteRecordOf(window);
    if (!record)
        return;
    const bool yesNoCancel = (buttons & MB_TYPEMASK) == MB_YESNOCANCEL;
    if (answer == IDYES) {
        if (yesNoCancel)
            record->deleted = 1;
        PostMessageW(window, WM_CLOSE, 0, 0);
    } else if (answer == IDNO && yesNoCancel) {
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
}

void HideNote(HWND window)
{
    NoteRecord* record = NoteRecordOf(window);
    if (record)
        record->hidden = 1;
    ShowWindow(window, SW_HIDE);
    NotifyNotesChanged();
    WakeMonitor();
}

void OptimizeNoteSize(HWND window)
{
    NoteRecord* record = NoteRecordOf(window);
    if (!record || record->hidden)
        return;
    if (MeasureNoteSize(record, 1))
        SetWindowPos(window, nullptr, 0, 0, record->width, record->height, SWP_NOMOVE | SWP_NOZORDER);
}

void ShowNoteProperties(HWND owner, const NoteRecord* record)
{
    if (!record)
        record = NoteRecordOf(owner);
    if (!record)
        return;
    char caption[kCaptionSize];
    LoadText(IDS_PROPERTIES_CAPTION, caption, sizeof(caption));
    auto* text = static_cast<char*>(std::malloc(kPropertiesBufferSize));
    if (!text)
        return;
    FILETIME now;
    GetLocalFileTime(&now);
    FormatNoteProperties(record, &now, text, kPropertiesBufferSize);
    NoteMessageBox(owner, text, caption, MB_ICONINFORMATION);
    std::free(text);
}

void FormatNoteProperties(const NoteRecord* record, const FILETIME* now, char* buffer, int size)
{
    if (!buffer || size <= 0)
        return;
    TextBuilder text(buffer, size);
    if (!record || !now)
        return;
    char line[128];
    char part[64];

    std::snprintf(line, sizeof(line), "L : %ld, T: %ld, W: %ld, H: %ld, ID: %ld",
        static_cast<long>(record->left), static_cast<long>(record->top), static_cast<long>(record->width),
        static_cast<long>(record->height), static_cast<long>(record->id));
    text.Append(line);
    text.Append("\nFont: ");
    text.Append(DescribeFont(record->font, part));
    text.Append("\n");
    text.Append("\nNow:  ");
    text.Append(FormatDateText(now, part));
    text.Append("\nMake: ");
    text.Append(FormatDateText(&record->created, part));
    text.Append("\nTime: ");
    text.Append(FormatDateText(&record->due, part));
    text.Append("\n");
    std::snprintf(line, sizeof(line), "\nFore: %06lX", static_cast<unsigned long>(record->foreColour));
    text.Append(line);
    std::snprintf(line, sizeof(line), "\nBack: %06lX", static_cast<unsigned long>(record->backColour));
    text.Append(line);
    std::snprintf(line, sizeof(line), "\nDel: %s, Hide: %s, Draw: %d, Comp: %d", OnOff(record->deleted),
        OnOff(record->hidden), static_cast<int>(record->drawState), GetDueStateAt(record, now));
    text.Append(line);
}
