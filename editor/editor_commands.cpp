#include "editor/editor_commands.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "due/due_time.h"
#include "editor/due_dialog.h"
#include "editor/pickers.h"
#include "help/help.h"
#include "notes/app_state.h"
#include "notes/note_commands.h"
#include "notes/note_store.h"
#include "notes/note_table.h"
#include "notes/note_window.h"
#include "notes/text_convert.h"
#include "platform/error_box.h"
#include "platform/popup_menu.h"
#include "platform/wide_text.h"
#include "res/resource.h"

static_assert(IDM_EDIT_REPEAT_YEARLY - IDM_EDIT_REPEAT_NONE == kRepeatYearly);

namespace
{

void MarkModified(const EditorState* state)
{
    SendMessageW(state->edit, EM_SETMODIFY, TRUE, 0);
}

void InsertDateText(HWND edit)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    FILETIME stamp = {};
    SystemTimeToFileTime(&now, &stamp);
    char date[64] = {};
    FormatDateText(&stamp, date);
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(WideFromNote(date).c_str()));
}

bool ApplyNewNote(HWND editor, EditorState* state)
{
    NoteRecord& note = state->note;
    ClampToScreen(&note);
    // A duplicate made while the editor was open may have taken the ID the
    // editor was given; two notes under one ID would share stored values.
    if (!IsNoteIdFree(note.id))
        note.id = ChooseFreeNoteId(std::rand() % 1000);
    // A failed creation has shown its own message; the editor stays with the
    // text, so the user can make room and apply again.
    if (!CreateNoteWindow(editor, &note, nullptr))
        return false;
    SaveNote(&note);
    PostMessageW(editor, WM_CLOSE, 0, 0);
    return true;
}

bool ApplyExistingNote(HWND editor, EditorState* state)
{
    HWND owner = state->owner;
    NoteRecord* record = IsWindow(owner) ? NoteRecordOf(owner) : nullptr;
    if (!record)
        return false;
    const NoteRecord& copy = state->note;
    LOGFONTA description = {};
    if (!GetNoteFont(copy.font, &description))
        SetDefaultFont(&description);
    {
        // The due monitor writes the draw state of records it holds under
        // this lock; the image is replaced as a whole.
        AppLock lock;
        // A new due date is a new deadline: the snooze of the old one ends.
        if (CompareFileTime(&record->due, &copy.due) != 0)
            record->snoozeUntil = {};
        ReleaseNoteResources(record);
        CopyNoteImage(record, &copy);
        record->repeat = copy.repeat;
        record->repeatDay = copy.repeatDay;
        if (copy.text) {
            std::size_t length = std::strlen(copy.text);
            record->text = static_cast<char*>(std::malloc(length + 1));
            if (record->text)
                std::memcpy(record->text, copy.text, length + 1);
        }
        record->font = CreateNoteFontIndirect(&description);
        record->brush = CreateSolidBrush(copy.backColour);
        // The user has changed the note: its font is now the one to keep.
        record->keepStoredFont = false;
    }
    SetWindowPos(owner, nullptr, 0, 0, record->width, record->height, SWP_NOMOVE | SWP_NOZORDER);
    InvalidateRect(owner, nullptr, FALSE);
    NameNoteWindow(owner);
    SaveNote(record);
    PostMessageW(editor, WM_CLOSE, 0, 0);
    return true;
}

} // namespace

void OnEditorCommand(HWND editor, int commandId)
{
    switch (commandId) {
    case IDM_EDIT_APPLY:
        ApplyEditor(editor);
        break;
    case IDM_EDIT_CLOSE:
        PostMessageW(editor, WM_CLOSE, 0, 0);
        break;
    case IDM_EDIT_FONT:
        EditorFontCommand(editor);
        break;
    case IDM_EDIT_BACKCOLOUR:
        EditorBackColourCommand(editor);
        break;
    case IDM_EDIT_DUE:
        EditorDueCommand(editor);
        break;
    case IDM_EDIT_PROPERTIES: {
        EditorState* state = EditorStateOf(editor);
        if (state)
            ShowNoteProperties(editor, &state->note);
        break;
    }
    case IDM_EDIT_UNDO:
    case IDM_EDIT_CUT:
    case IDM_EDIT_COPY:
    case IDM_EDIT_PASTE:
    case IDM_EDIT_CLEAR:
    case IDM_EDIT_SELECTALL:
    case IDM_EDIT_INSERTDATE:
        EditorEditCommand(editor, commandId);
        break;
    case IDM_HELP:
        ShowHelp(editor, kHelpContext, HELP_CONTEXT_EDITOR);
        break;
    case IDM_EDIT_REPEAT_NONE:
    case IDM_EDIT_REPEAT_DAILY:
    case IDM_EDIT_REPEAT_WEEKDAYS:
    case IDM_EDIT_REPEAT_WEEKLY:
    case IDM_EDIT_REPEAT_MONTHLY:
    case IDM_EDIT_REPEAT_YEARLY:
        EditorRepeatCommand(editor, commandId - IDM_EDIT_REPEAT_NONE);
        break;
    default:
        break;
    }
}

void EditorRepeatCommand(HWND editor, int kind)
{
    EditorState* state = EditorStateOf(editor);
    if (!state || kind < kRepeatNone || kind >= kRepeatKindCount || state->note.repeat == kind)
        return;
    state->note.repeat = static_cast<std::uint8_t>(kind);
    state->note.repeatDay = 0;
    if (state->edit)
        MarkModified(state);
}

void EditorFontCommand(HWND editor)
{
    EditorState* state = EditorStateOf(editor);
    if (!state)
        return;
    NoteRecord& note = state->note;
    LOGFONTA description = {};
    if (!GetNoteFont(note.font, &description))
        SetDefaultFont(&description);
    COLORREF colour = note.foreColour;
    if (!PickFont(editor, &description, &colour))
        return;
    // Made before the old one goes, so a failure leaves a working font.
    HFONT font = CreateNoteFontIndirect(&description);
    if (font) {
        if (state->edit)
            SendMessageW(state->edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (note.font)
            DeleteObject(note.font);
        note.font = font;
    }
    note.foreColour = colour;
    if (state->edit) {
        InvalidateRect(state->edit, nullptr, TRUE);
        // Confirming the chooser counts as a change even with the same font.
        MarkModified(state);
    }
}

void EditorBackColourCommand(HWND editor)
{
    EditorState* state = EditorStateOf(editor);
    if (!state)
        return;
    NoteRecord& note = state->note;
    COLORREF colour = note.backColour;
    if (!PickColour(editor, &colour) || colour == note.backColour)
        return;
    HBRUSH brush = CreateSolidBrush(colour);
    if (!brush)
        return;
    if (note.brush)
        DeleteObject(note.brush);
    note.brush = brush;
    note.backColour = colour;
    if (state->edit)
        MarkModified(state);
}

void EditorDueCommand(HWND editor)
{
    EditorState* state = EditorStateOf(editor);
    if (!state)
        return;
    FILETIME before = state->note.due;
    INT_PTR result = DialogBoxParamW(AppInstance(), MAKEINTRESOURCEW(IDD_DUE), editor, DueDialogProc, 0);
    if (result != 1)
        return;
    const FILETIME& after = state->note.due;
    if (after.dwLowDateTime != before.dwLowDateTime || after.dwHighDateTime != before.dwHighDateTime) {
        // A monthly repeat follows the day of the new date from now on.
        state->note.repeatDay = 0;
        if (state->edit)
            MarkModified(state);
    }
    SetEditorTitle(editor);
}

void EditorEditCommand(HWND editor, int commandId)
{
    EditorState* state = EditorStateOf(editor);
    if (!state || !state->edit)
        return;
    HWND edit = state->edit;
    switch (commandId) {
    case IDM_EDIT_UNDO:
        SendMessageW(edit, EM_UNDO, 0, 0);
        break;
    case IDM_EDIT_CUT:
        SendMessageW(edit, WM_CUT, 0, 0);
        break;
    case IDM_EDIT_COPY:
        SendMessageW(edit, WM_COPY, 0, 0);
        break;
    case IDM_EDIT_PASTE:
        SendMessageW(edit, WM_PASTE, 0, 0);
        break;
    case IDM_EDIT_CLEAR:
        SendMessageW(edit, WM_CLEAR, 0, 0);
        break;
    case IDM_EDIT_SELECTALL:
        SendMessageW(edit, EM_SETSEL, 0, -1);
        break;
    case IDM_EDIT_INSERTDATE:
        InsertDateText(edit);
        break;
    default:
        break;
    }
}

int ReadEditorText(HWND editor, EditorState* state)
{
    if (!state || !state->edit)
        return 0;
    HWND edit = state->edit;
    if (GetWindowTextLengthW(edit) == 0) {
        ReportError(editor, IDS_ERR_NO_TEXT, nullptr);
        SetFocus(edit);
        return 0;
    }
    bool lossy = false;
    std::string bytes = NoteWindowText(edit, &lossy);
    if (bytes.empty()) {
        ReportError(editor, -1, nullptr);
        return 0;
    }
    // Characters from outside Japanese (pasted from elsewhere) cannot be
    // stored; the user decides whether they go as '?' or are edited first.
    if (lossy
        && ResourceMessageBox(
               editor, IDS_ASK_UNSTORABLE_TEXT, IDS_CONFIRM_CAPTION, MB_ICONQUESTION | MB_YESNO)
            != IDYES) {
        SetFocus(edit);
        return 0;
    }
    const int length = static_cast<int>(bytes.size());
    auto* text = static_cast<char*>(std::malloc(bytes.size() + 4));
    if (!text) {
        ReportError(editor, -1, nullptr);
        return 0;
    }
    std::memcpy(text, bytes.c_str(), bytes.size() + 1);
    AppState* app = App();
    if (app && app->options.cutTrailingNewline) {
        CutTrailingNewlines(text);
        // Nothing but line breaks is no text either; without this refusal
        // the note would be created empty and 0 by 0.
        if (text[0] == '\0') {
            std::free(text);
            ReportError(editor, IDS_ERR_NO_TEXT, nullptr);
            SetFocus(edit);
            return 0;
        }
    }
    char* expanded = ExpandTabsCopy(text, length);
    if (expanded) {
        std::free(text);
        text = expanded;
    }
    std::free(state->note.text);
    state->note.text = text;
    MeasureNoteSize(&state->note, 0);
    SendMessageW(edit, EM_SETMODIFY, FALSE, 0);
    return 1;
}

void ApplyEditor(HWND editor)
{
    EditorState* state = EditorStateOf(editor);
    if (!state)
        return;
    if (!ReadEditorText(editor, state))
        return;
    // The note list can delete the note while the editor is open on it;
    // the text then becomes a note of its own, as its draft would at the
    // next start, rather than an apply that does nothing.
    const bool ownerGone = !state->isNew && !IsWindow(state->owner);
    bool applied = state->isNew || ownerGone ? ApplyNewNote(editor, state) : ApplyExistingNote(editor, state);
    // Reading the text cleared the flag; nothing was kept, so the text still
    // counts as unsaved (closing asks, a logoff keeps it as a draft).
    if (!applied && state->edit)
        MarkModified(state);
}

void ApplyEditorMenuState(HWND editor, HMENU menu)
{
    auto grey = [menu](UINT item, bool greyed) {
        EnableMenuItem(menu, item, MF_BYCOMMAND | (greyed ? MF_GRAYED : MF_ENABLED));
    };
    grey(IDM_EDIT_PASTE, !IsClipboardFormatAvailable(CF_TEXT));
    EditorState* state = EditorStateOf(editor);
    if (!state)
        return;
    EnableSubmenuOf(menu, IDM_EDIT_REPEAT_NONE, IsTimeSet(&state->note.due));
    int repeat = state->note.repeat < kRepeatKindCount ? state->note.repeat : 0;
    CheckMenuRadioItem(
        menu, IDM_EDIT_REPEAT_NONE, IDM_EDIT_REPEAT_YEARLY, IDM_EDIT_REPEAT_NONE + repeat, MF_BYCOMMAND);
    if (!state->edit)
        return;
    HWND edit = state->edit;
    bool canUndo = SendMessageW(edit, EM_CANUNDO, 0, 0) != 0;
    // Asked for whole positions: the packed answer holds only 16 bits of
    // each, and a long note's selection would read as none.
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    bool empty = start == end;
    bool wholeText = start == 0 && static_cast<int>(end) == GetWindowTextLengthW(edit);
    grey(IDM_EDIT_UNDO, !canUndo);
    grey(IDM_EDIT_CUT, empty);
    grey(IDM_EDIT_COPY, empty);
    grey(IDM_EDIT_CLEAR, empty);
    grey(IDM_EDIT_INSERTDATE, !empty);
    grey(IDM_EDIT_SELECTALL, wholeText);
}
