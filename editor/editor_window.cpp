#include "editor/editor_window.h"

#include <imm.h>
#include <shlwapi.h>

#include <new>
#include <string>

#include "due/due_time.h"
#include "editor/editor_commands.h"
#include "notes/app_state.h"
#include "notes/note_events.h"
#include "notes/monitor.h"
#include "notes/note_table.h"
#include "notes/text_convert.h"
#include "platform/screen_place.h"
#include "platform/wide_text.h"
#include "res/resource.h"
#include "store/draft.h"
#include "store/store.h"

const TBBUTTON kEditorToolbarButtons[12] = {
    {0, IDM_EDIT_APPLY, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
    {1, IDM_EDIT_CLOSE, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
    {0, 0, TBSTATE_ENABLED, TBSTYLE_SEP, {}, 0, 0},
    {2, IDM_EDIT_COPY, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
    {3, IDM_EDIT_PASTE, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
    {0, 0, TBSTATE_ENABLED, TBSTYLE_SEP, {}, 0, 0},
    {4, IDM_EDIT_FONT, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
    {5, IDM_EDIT_BACKCOLOUR, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
    {6, IDM_EDIT_DUE, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
    {7, IDM_EDIT_PROPERTIES, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
    {0, 0, TBSTATE_ENABLED, TBSTYLE_SEP, {}, 0, 0},
    {8, IDM_HELP, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
};

namespace
{

constexpr DWORD kEditorStyle = WS_OVERLAPPEDWINDOW | WS_VISIBLE; // 0x10CF0000
constexpr DWORD kToolbarStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | TBSTYLE_TOOLTIPS;
constexpr DWORD kEditStyle
    = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL;
static_assert(kEditorStyle == 0x10CF0000);
static_assert(kToolbarStyle == 0x50800100);
static_assert(kEditStyle == 0x503000C4);
constexpr DWORD kFlatToolbarVersion = 0x00040047; // 4.71
constexpr int kToolbarImageSize = 16;
// Dialog template units per tab column: four to an average character.
constexpr int kTabStopUnitsPerColumn = 4;
// The edit control's own limit of some 30,000 characters cut a longer
// paste short without a word. A character takes at most eight bytes once
// its tab is expanded, so a text of this length still loads back.
constexpr int kEditTextLimit = static_cast<int>(kMaxTextSize / 8) - 1;

// There is only one editor, so one saved edit procedure does.
WNDPROC g_editProc = nullptr;

LRESULT CALLBACK EditSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    // Closing the editor gives the control its own procedure back; keep the
    // one this call must end in.
    WNDPROC own = g_editProc;
    switch (message) {
    case WM_SETFOCUS:
        SendMessageW(GetParent(window), WM_EDITFOCUS, 1, 0);
        break;
    case WM_KILLFOCUS:
        SendMessageW(GetParent(window), WM_EDITFOCUS, 0, 0);
        break;
    case WM_KEYDOWN:
        SendMessageW(GetParent(window), WM_KEYDOWN, wParam, lParam);
        // Esc may have closed the editor, this control included.
        if (!IsWindow(window))
            return 0;
        break;
    default:
        break;
    }
    if (!own)
        return DefWindowProcW(window, message, wParam, lParam);
    return CallWindowProcW(own, window, message, wParam, lParam);
}

void DestroyIfWindow(HWND window)
{
    if (window && IsWindow(window))
        DestroyWindow(window);
}

void LayoutEditor(HWND editor, WPARAM wParam, LPARAM lParam)
{
    EditorState* state = EditorStateOf(editor);
    if (!state || !state->toolbar || !state->edit)
        return;
    // The toolbar places itself along the top edge.
    SendMessageW(state->toolbar, WM_SIZE, wParam, lParam);
    RECT bar = {};
    GetWindowRect(state->toolbar, &bar);
    int barHeight = bar.bottom - bar.top;
    RECT client = {};
    GetClientRect(editor, &client);
    MoveWindow(state->edit, 0, barHeight, client.right, client.bottom - barHeight, TRUE);
}

void SupplyToolTip(LPARAM lParam)
{
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (!header)
        return;
    // A string resource: the tooltip loads it in the form it asked for.
    const WORD stringId = static_cast<WORD>(header->idFrom + IDS_TOOLTIP_BASE);
    if (header->code == TTN_NEEDTEXTW) {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
        info->hinst = AppInstance();
        info->lpszText = MAKEINTRESOURCEW(stringId);
    } else if (header->code == TTN_NEEDTEXTA) {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(lParam);
        info->hinst = AppInstance();
        info->lpszText = MAKEINTRESOURCEA(stringId);
    }
}

// Called when the editor opens and whenever the clipboard changes, which the
// system tells the editor while it is open.
void UpdatePasteButton(HWND editor)
{
    EditorState* state = EditorStateOf(editor);
    if (!state || !state->toolbar)
        return;
    WORD buttonState = IsClipboardFormatAvailable(CF_TEXT) ? TBSTATE_ENABLED : TBSTATE_INDETERMINATE;
    SendMessageW(state->toolbar, TB_SETSTATE, IDM_EDIT_PASTE, MAKELPARAM(buttonState, 0));
}

void OnEditFocus(HWND editor, WPARAM gained)
{
    AppState* app = App();
    EditorState* state = EditorStateOf(editor);
    if (!app || !app->options.imeOn || !state || !state->edit)
        return;
    SetImeOpen(state->edit, gained ? TRUE : FALSE);
}

// Only reached when the editor was destroyed without CloseEditor (a torn-down
// thread or a caller's DestroyWindow): no state and no stale handle may stay
// behind, or the program would think an editor is still open.
void OnEditorDestroy(HWND editor)
{
    RemoveClipboardFormatListener(editor);
    EditorState* state = EditorStateOf(editor);
    if (state) {
        SetWindowLongPtrW(editor, GWLP_USERDATA, 0);
        if (state->edit && g_editProc && IsWindow(state->edit))
            SetWindowLongPtrW(state->edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_editProc));
        ReleaseEditorState(state);
    }
    AppState* app = App();
    if (app && app->editorWindow.load() == editor) {
        app->editorWindow = nullptr;
        WakeMonitor();
    }
}

// "No" is the default: Enter must never throw text away.
bool AskDiscard(HWND editor)
{
    NoteListPause listPaused;
    return ResourceMessageBox(
               editor, IDS_ASK_DISCARD, IDS_CONFIRM_CAPTION, MB_ICONQUESTION | MB_YESNO | MB_DEFBUTTON2)
        != IDNO;
}

void TearDownEditor(HWND editor, EditorState* state)
{
    if (state && state->edit && g_editProc)
        SetWindowLongPtrW(state->edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_editProc));
    AppState* app = App();
    if (app && !IsIconic(editor) && !IsZoomed(editor))
        GetWindowRect(editor, &app->options.editorRect);
    {
        // Detached first, so nothing that looks at the editor finds a state
        // that is being released.
        AppLock lock;
        SetWindowLongPtrW(editor, GWLP_USERDATA, 0);
    }
    ReleaseEditorState(state);
    DestroyWindow(editor);
    if (app)
        app->editorWindow = nullptr;
    // Notes may have been applied, and they kept their look meanwhile.
    WakeMonitor();
}

} // namespace

EditorState* EditorStateOf(HWND editor)
{
    if (!editor)
        return nullptr;
    return reinterpret_cast<EditorState*>(GetWindowLongPtrW(editor, GWLP_USERDATA));
}

int OpenEditor(HWND owner, const RECT* newNoteArea)
{
    AppState* app = App();
    if (!app)
        return 0;
    HWND open = app->editorWindow;
    if (open) {
        SetFocus(open);
        return 0;
    }
    auto* state = new (std::nothrow) EditorState{};
    if (!state)
        return 0;

    int x = CW_USEDEFAULT;
    int y = CW_USEDEFAULT;
    int width = CW_USEDEFAULT;
    int height = CW_USEDEFAULT;
    RECT remembered = app->options.editorRect;
    if (!IsRectEmpty(&remembered) && remembered.left != -1) {
        BringOntoScreen(&remembered);
        x = remembered.left;
        y = remembered.top;
        width = remembered.right - remembered.left;
        height = remembered.bottom - remembered.top;
    }

    if (!InitEditorState(owner, state, NoteRecordOf(owner), newNoteArea)) {
        ReleaseEditorState(state);
        return 0;
    }
    HWND editor = CreateWindowExW(0, WideFromNote(kEditorClassName).c_str(), nullptr, kEditorStyle, x, y,
        width, height, nullptr, nullptr, AppInstance(), state);
    if (!editor) {
        ReleaseEditorState(state);
        return 0;
    }
    app->editorWindow = editor;
    WakeMonitor();
    SetEditorTitle(editor);
    EnableWindow(owner, FALSE);
    HWND main = MainWindow();
    if (owner != main && main)
        EnableWindow(main, FALSE);
    return 1;
}

int InitEditorState(HWND owner, EditorState* state, const NoteRecord* ownerRecord, const RECT* newNoteArea)
{
    if (!state)
        return 0;
    AppState* app = App();
    state->owner = owner;
    NoteRecord& note = state->note;
    LOGFONTA description = {};
    if (ownerRecord) {
        CopyNoteImage(&note, ownerRecord);
        note.repeat = ownerRecord->repeat;
        note.repeatDay = ownerRecord->repeatDay;
        state->isNew = 0;
        // Stored text has its tabs expanded; the user edits with tabs again.
        note.text = SpacesToTabsCopy(ownerRecord);
        if (!GetNoteFont(ownerRecord->font, &description))
            SetDefaultFont(&description);
    } else {
        state->isNew = 1;
        if (!app || !GetNoteFont(app->defaultFont, &description))
            SetDefaultFont(&description);
        if (app) {
            note.foreColour = app->options.foreColour;
            note.backColour = app->options.backColour;
        }
        PlaceNewNote(&note, newNoteArea);
        SYSTEMTIME now;
        GetLocalTime(&now);
        SystemTimeToFileTime(&now, &note.created);
        if (app)
            DefaultDueTime(&now, app->options.dueAmount, app->options.dueUnit, &note.due);
    }
    note.font = CreateNoteFontIndirect(&description);
    note.brush = CreateSolidBrush(note.backColour);
    return note.font && note.brush;
}

int CreateEditorControls(HWND editor, const CREATESTRUCTW* create)
{
    if (!create || !create->lpCreateParams)
        return 0;
    auto* state = static_cast<EditorState*>(create->lpCreateParams);
    SetWindowLongPtrW(editor, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    HINSTANCE instance = AppInstance();

    auto fail = [&]() {
        // The failed creation destroys the window; the opener releases the
        // state, which must then own nothing that is already gone.
        DestroyIfWindow(state->edit);
        DestroyIfWindow(state->toolbar);
        state->edit = nullptr;
        state->toolbar = nullptr;
        SetWindowLongPtrW(editor, GWLP_USERDATA, 0);
        return 0;
    };

    state->toolbar = CreateToolbarEx(editor, kToolbarStyle, IDC_EDITOR_TOOLBAR, kEditorToolbarImages,
        instance, IDB_TOOLBAR, kEditorToolbarButtons, 12, 0, 0, kToolbarImageSize, kToolbarImageSize,
        sizeof(TBBUTTON));
    if (!state->toolbar)
        return fail();
    MakeToolbarFlat(state->toolbar, 0);

    // A Unicode control: it holds the text as the user sees it, whatever
    // the system's code page, and apply converts it to 932 once.
    state->edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", nullptr, kEditStyle, 0, 0, 0, 0, editor,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_EDITOR_EDIT)), instance, nullptr);
    if (!state->edit)
        return fail();

    g_editProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(state->edit, GWLP_WNDPROC));
    if (g_editProc)
        SetWindowLongPtrW(state->edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditSubclassProc));

    SendMessageW(state->edit, WM_SETFONT, reinterpret_cast<WPARAM>(state->note.font), FALSE);
    SendMessageW(state->edit, EM_SETLIMITTEXT, kEditTextLimit, 0);
    if (state->note.text)
        SetNoteWindowText(state->edit, state->note.text);
    // Tabs in the editor span as many average characters as applying
    // expands them to.
    int tabStop = GetTabWidth() * kTabStopUnitsPerColumn;
    SendMessageW(state->edit, EM_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tabStop));
    SendMessageW(state->edit, EM_SETMODIFY, FALSE, 0);
    AddClipboardFormatListener(editor);
    UpdatePasteButton(editor);
    return 1;
}

void SetEditorTitle(HWND editor)
{
    std::wstring title = ResourceText(IDS_EDITOR_TITLE);
    EditorState* state = EditorStateOf(editor);
    if (state) {
        char date[64] = {};
        FormatDateText(&state->note.due, date);
        title += L" - " + WideFromNote(date);
    }
    SetWindowTextW(editor, title.c_str());
}

void CloseEditor(HWND editor)
{
    EditorState* state = EditorStateOf(editor);
    if (state && state->edit) {
        // A second close while the question is up (a double click on the
        // button, a queued Esc) is the same request; asking again would
        // tear the editor down under the first question.
        if (state->asking)
            return;
        SetImeOpen(state->edit, FALSE);
        if (SendMessageW(state->edit, EM_GETMODIFY, 0, 0)) {
            state->asking = true;
            const bool discard = AskDiscard(editor);
            state->asking = false;
            if (!discard)
                return;
        }
        // The program ended while the question was up; whatever the answer
        // came back as, the draft is what the user gets.
        if (state->keptAtExit)
            return;
    }
    TearDownEditor(editor, state);
    // The session went on after all: the editor's fate is decided now, and
    // an old draft must not come back at the next start.
    AppState* app = App();
    if (app && app->draftStored) {
        app->draftStored = false;
        DeleteDraft();
    }
}

void CloseEditorForExit(HWND editor)
{
    EditorState* state = EditorStateOf(editor);
    // A box of the editor is up (the discard question, a chooser): the code
    // that opened it runs on when the quit ends the box, so the state stays.
    if (state && !IsWindowEnabled(editor)) {
        state->keptAtExit = true;
        return;
    }
    TearDownEditor(editor, state);
}

LONG SaveEditorDraft(HWND editor)
{
    EditorState* state = EditorStateOf(editor);
    AppState* app = App();
    if (!app || !state || !state->edit || !SendMessageW(state->edit, EM_GETMODIFY, 0, 0))
        return ERROR_SUCCESS;
    Draft draft = {};
    CopyNoteImage(&draft.note, &state->note);
    draft.note.repeat = state->note.repeat;
    draft.note.repeatDay = state->note.repeatDay;
    if (!GetNoteFont(state->note.font, &draft.font))
        SetDefaultFont(&draft.font);
    draft.text.resize(static_cast<std::size_t>(GetWindowTextLengthW(state->edit)) + 1);
    draft.text.resize(static_cast<std::size_t>(
        GetWindowTextW(state->edit, draft.text.data(), static_cast<int>(draft.text.size()))));
    draft.isNew = state->isNew != 0;
    LONG error = SaveDraft(draft);
    app->draftStored = error == ERROR_SUCCESS;
    return error;
}

void RestoreEditorDraft(HWND mainWindow)
{
    AppState* app = App();
    // An impossible height is mended to the default font's, as a stored
    // note's is.
    LOGFONTA defaultFont;
    SetDefaultFont(&defaultFont);
    if (app)
        GetNoteFont(app->defaultFont, &defaultFont);
    Draft draft = {};
    if (!app || !ReadDraft(&draft, defaultFont.lfHeight)) {
        DeleteDraft();
        return;
    }
    HWND owner = mainWindow;
    for (HWND note : app->noteWindows) {
        const NoteRecord* record = NoteRecordOf(note);
        if (!draft.isNew && record && record->id == draft.note.id)
            owner = note;
    }
    // A draft for a note that is no longer there comes back as a new note.
    const bool isNew = owner == mainWindow;
    if (OpenEditor(owner)) {
        HWND editor = app->editorWindow;
        EditorState* state = EditorStateOf(editor);
        NoteRecord& note = state->note;
        note.foreColour = draft.note.foreColour;
        note.backColour = draft.note.backColour;
        note.due = draft.note.due;
        note.repeat = draft.note.repeat;
        note.repeatDay = draft.note.repeatDay;
        if (isNew) {
            note.created = draft.note.created;
            note.left = draft.note.left;
            note.top = draft.note.top;
        }
        HFONT font = CreateNoteFontIndirect(&draft.font);
        HBRUSH brush = CreateSolidBrush(note.backColour);
        if (font) {
            SendMessageW(state->edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
            DeleteObject(note.font);
            note.font = font;
        }
        if (brush) {
            DeleteObject(note.brush);
            note.brush = brush;
        }
        SetWindowTextW(state->edit, draft.text.c_str());
        SendMessageW(state->edit, EM_SETMODIFY, TRUE, 0);
        SetEditorTitle(editor);
    }
    DeleteDraft();
}

void ReleaseEditorState(EditorState* state)
{
    if (!state)
        return;
    if (state->owner && !IsWindowEnabled(state->owner))
        EnableWindow(state->owner, TRUE);
    HWND main = MainWindow();
    if (main && !IsWindowEnabled(main))
        EnableWindow(main, TRUE);
    ReleaseNoteResources(&state->note);
    DestroyIfWindow(state->toolbar);
    DestroyIfWindow(state->edit);
    delete state;
}

void SetImeOpen(HWND window, BOOL open)
{
    HIMC context = ImmGetContext(window);
    if (!context)
        return;
    ImmSetOpenStatus(context, open);
    ImmReleaseContext(window, context);
}

void MakeToolbarFlat(HWND toolbar, DWORD version)
{
    if (version == 0)
        version = GetDllVersion("COMCTL32.DLL");
    if (!toolbar || version < kFlatToolbarVersion)
        return;
    auto style = static_cast<DWORD>(SendMessageW(toolbar, TB_GETSTYLE, 0, 0));
    if (style & TBSTYLE_FLAT)
        return;
    SendMessageW(toolbar, TB_SETSTYLE, 0, static_cast<LPARAM>(style | TBSTYLE_FLAT));
    InvalidateRect(toolbar, nullptr, TRUE);
    UpdateWindow(toolbar);
}

DWORD GetDllVersion(const char* fileName)
{
    HMODULE library = LoadLibraryW(WideFromNote(fileName ? fileName : "").c_str());
    if (!library)
        return 0;
    DWORD version = 0;
    FARPROC entry = GetProcAddress(library, "DllGetVersion");
    if (entry) {
        // Through the generic function pointer type, which the compiler
        // accepts as a cast target for any exported entry.
        auto getVersion = reinterpret_cast<DLLGETVERSIONPROC>(reinterpret_cast<void (*)()>(entry));
        DLLVERSIONINFO info = {};
        info.cbSize = sizeof(info);
        if (getVersion(&info) >= 0)
            version = (info.dwMajorVersion & 0xFFFF) << 16 | (info.dwMinorVersion & 0xFFFF);
    }
    FreeLibrary(library);
    return version;
}

LRESULT CALLBACK EditorWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    switch (message) {
    case WM_CREATE:
        return CreateEditorControls(window, reinterpret_cast<CREATESTRUCTW*>(lParam)) ? 0 : -1;
    case WM_SIZE:
        LayoutEditor(window, wParam, lParam);
        return 0;
    case WM_SETFOCUS: {
        EditorState* state = EditorStateOf(window);
        if (state && state->edit)
            SetFocus(state->edit);
        return 0;
    }
    case WM_NOTIFY:
        SupplyToolTip(lParam);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE)
            CloseEditor(window);
        return 0;
    case WM_CLOSE:
        CloseEditor(window);
        return 0;
    case WM_COMMAND: {
        NoteListPause listPaused;
        OnEditorCommand(window, LOWORD(wParam));
        return 0;
    }
    case WM_INITMENU:
        ApplyEditorMenuState(window, reinterpret_cast<HMENU>(wParam));
        return 0;
    case WM_EDITFOCUS:
        OnEditFocus(window, wParam);
        return 0;
    case WM_CLIPBOARDUPDATE:
        UpdatePasteButton(window);
        return 0;
    case WM_DESTROY:
        OnEditorDestroy(window);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
