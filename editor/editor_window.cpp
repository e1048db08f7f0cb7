#include "editor/editor_window.h"

#include <imm.h>
#include <shlwapi.h>

#include <new>

#include "app/app_state.h"
#include "app/menu_state.h"
#include "due/due_time.h"
#include "editor/editor_commands.h"
#include "editor/text_convert.h"
#include "notes/note_table.h"
#include "res/resource.h"
#include "store/draft.h"

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

// There is only one editor, so one saved edit procedure does.
WNDPROC g_editProc = nullptr;

LRESULT CALLBACK EditSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    // Closing the editor gives the control its own procedure back; keep the
    // one this call must end in.
    WNDPROC own = g_editProc;
    switch (message) {
    case WM_SETFOCUS:
        SendMessageA(GetParent(window), WM_EDITFOCUS, 1, 0);
        break;
    case WM_KILLFOCUS:
        SendMessageA(GetParent(window), WM_EDITFOCUS, 0, 0);
        break;
    case WM_KEYDOWN:
        SendMessageA(GetParent(window), WM_KEYDOWN, wParam, lParam);
        // Esc may have closed the editor, this control included.
        if (!IsWindow(window))
            return 0;
        break;
    default:
        break;
    }
    if (!own)
        return DefWindowProcA(window, message, wParam, lParam);
    return CallWindowProcA(own, window, message, wParam, lParam);
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
    SendMessageA(state->toolbar, WM_SIZE, wParam, lParam);
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
    if (!header || header->code != TTN_NEEDTEXTA)
        return;
    auto* info = reinterpret_cast<NMTTDISPINFOA*>(lParam);
    info->hinst = AppInstance();
    info->lpszText = MAKEINTRESOURCEA(static_cast<WORD>(header->idFrom + IDS_TOOLTIP_BASE));
}

void SetPasteButton(HWND editor, WPARAM clipboardHasText)
{
    EditorState* state = EditorStateOf(editor);
    if (!state || !state->toolbar)
        return;
    WORD buttonState = clipboardHasText ? TBSTATE_ENABLED : TBSTATE_INDETERMINATE;
    SendMessageA(state->toolbar, TB_SETSTATE, IDM_EDIT_PASTE, MAKELPARAM(buttonState, 0));
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
    EditorState* state = EditorStateOf(editor);
    if (state) {
        SetWindowLongPtrA(editor, GWLP_USERDATA, 0);
        if (state->edit && g_editProc && IsWindow(state->edit))
            SetWindowLongPtrA(state->edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_editProc));
        ReleaseEditorState(state);
    }
    AppState* app = App();
    if (app && app->editorWindow.load() == editor)
        app->editorWindow = nullptr;
}

bool AskDiscard(HWND editor)
{
    char caption[64] = {};
    char text[256] = {};
    LoadStringA(AppInstance(), IDS_CONFIRM_CAPTION, caption, sizeof(caption));
    LoadStringA(AppInstance(), IDS_ASK_DISCARD, text, sizeof(text));
    return MessageBoxA(editor, text, caption, MB_ICONQUESTION | MB_YESNO) != IDNO;
}

} // namespace

EditorState* EditorStateOf(HWND editor)
{
    if (!editor)
        return nullptr;
    return reinterpret_cast<EditorState*>(GetWindowLongPtrA(editor, GWLP_USERDATA));
}

int OpenEditor(HWND owner)
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
    const RECT& remembered = app->options.editorRect;
    if (!IsRectEmpty(&remembered) && remembered.left != -1) {
        x = remembered.left;
        y = remembered.top;
        width = remembered.right - remembered.left;
        height = remembered.bottom - remembered.top;
    }

    if (!InitEditorState(owner, state, NoteRecordOf(owner))) {
        ReleaseEditorState(state);
        return 0;
    }
    HWND editor = CreateWindowExA(0, kEditorClassName, nullptr, kEditorStyle, x, y, width, height, nullptr,
        nullptr, AppInstance(), state);
    if (!editor) {
        ReleaseEditorState(state);
        return 0;
    }
    app->editorWindow = editor;
    SetEditorTitle(editor);
    EnableWindow(owner, FALSE);
    HWND main = MainWindow();
    if (owner != main && main)
        EnableWindow(main, FALSE);
    return 1;
}

int InitEditorState(HWND owner, EditorState* state, const NoteRecord* ownerRecord)
{
    if (!state)
        return 0;
    AppState* app = App();
    state->owner = owner;
    NoteRecord& note = state->note;
    LOGFONTA description = {};
    if (ownerRecord) {
        CopyNoteImage(&note, ownerRecord);
        state->isNew = 0;
        // Stored text has its tabs expanded; the user edits with tabs again.
        note.text = SpacesToTabsCopy(ownerRecord);
        if (!ownerRecord->font || !GetObjectA(ownerRecord->font, sizeof(description), &description))
            SetDefaultFont(&description);
    } else {
        state->isNew = 1;
        if (!app || !app->defaultFont || !GetObjectA(app->defaultFont, sizeof(description), &description))
            SetDefaultFont(&description);
        if (app) {
            note.foreColour = app->options.foreColour;
            note.backColour = app->options.backColour;
        }
        PlaceNewNote(&note);
        SYSTEMTIME now;
        GetLocalTime(&now);
        SystemTimeToFileTime(&now, &note.created);
        if (app)
            DefaultDueTime(&now, app->options.dueAmount, app->options.dueUnit, &note.due);
    }
    note.font = CreateFontIndirectA(&description);
    note.brush = CreateSolidBrush(note.backColour);
    return note.font && note.brush;
}

int CreateEditorControls(HWND editor, const CREATESTRUCTA* create)
{
    if (!create || !create->lpCreateParams)
        return 0;
    auto* state = static_cast<EditorState*>(create->lpCreateParams);
    SetWindowLongPtrA(editor, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    HINSTANCE instance = AppInstance();

    auto fail = [&]() {
        // The failed creation destroys the window; the opener releases the
        // state, which must then own nothing that is already gone.
        DestroyIfWindow(state->edit);
        DestroyIfWindow(state->toolbar);
        state->edit = nullptr;
        state->toolbar = nullptr;
        SetWindowLongPtrA(editor, GWLP_USERDATA, 0);
        return 0;
    };

    state->toolbar = CreateToolbarEx(editor, kToolbarStyle, IDC_EDITOR_TOOLBAR, kEditorToolbarImages,
        instance, IDB_TOOLBAR, kEditorToolbarButtons, 12, 0, 0, kToolbarImageSize, kToolbarImageSize,
        sizeof(TBBUTTON));
    if (!state->toolbar)
        return fail();
    MakeToolbarFlat(state->toolbar, 0);

    state->edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", nullptr, kEditStyle, 0, 0, 0, 0, editor,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_EDITOR_EDIT)), instance, nullptr);
    if (!state->edit)
        return fail();

    g_editProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(state->edit, GWLP_WNDPROC));
    if (g_editProc)
        SetWindowLongPtrA(state->edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditSubclassProc));

    SendMessageA(state->edit, WM_SETFONT, reinterpret_cast<WPARAM>(state->note.font), FALSE);
    if (state->note.text)
        SetWindowTextA(state->edit, state->note.text);
    // Tabs in the editor span as many average characters as applying
    // expands them to.
    int tabStop = GetTabWidth() * kTabStopUnitsPerColumn;
    SendMessageA(state->edit, EM_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tabStop));
    SendMessageA(state->edit, EM_SETMODIFY, FALSE, 0);
    return 1;
}

void SetEditorTitle(HWND editor)
{
    char title[256] = {};
    LoadStringA(AppInstance(), IDS_EDITOR_TITLE, title, sizeof(title));
    EditorState* state = EditorStateOf(editor);
    if (state) {
        char date[64] = {};
        FormatDateText(&state->note.due, date);
        lstrcatA(title, " - ");
        lstrcatA(title, date);
    }
    SetWindowTextA(editor, title);
}

void CloseEditor(HWND editor)
{
    EditorState* state = EditorStateOf(editor);
    if (state && state->edit) {
        SetImeOpen(state->edit, FALSE);
        if (SendMessageA(state->edit, EM_GETMODIFY, 0, 0) && !AskDiscard(editor))
            return;
        if (g_editProc)
            SetWindowLongPtrA(state->edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_editProc));
    }
    AppState* app = App();
    if (app && !IsIconic(editor) && !IsZoomed(editor))
        GetWindowRect(editor, &app->options.editorRect);
    {
        // Detached first, so nothing that looks at the editor finds a state
        // that is being released.
        AppLock lock;
        SetWindowLongPtrA(editor, GWLP_USERDATA, 0);
    }
    ReleaseEditorState(state);
    DestroyWindow(editor);
    if (app)
        app->editorWindow = nullptr;
    // The session went on after all: the editor's fate is decided now, and
    // an old draft must not come back at the next start.
    if (app && app->draftStored) {
        app->draftStored = false;
        DeleteDraft();
    }
}

bool SaveEditorDraft(HWND editor)
{
    EditorState* state = EditorStateOf(editor);
    AppState* app = App();
    if (!app || !state || !state->edit || !SendMessageW(state->edit, EM_GETMODIFY, 0, 0))
        return false;
    Draft draft = {};
    CopyNoteImage(&draft.note, &state->note);
    if (!state->note.font || !GetObjectA(state->note.font, sizeof(draft.font), &draft.font))
        SetDefaultFont(&draft.font);
    draft.text.resize(static_cast<std::size_t>(GetWindowTextLengthW(state->edit)) + 1);
    draft.text.resize(static_cast<std::size_t>(
        GetWindowTextW(state->edit, draft.text.data(), static_cast<int>(draft.text.size()))));
    draft.isNew = state->isNew != 0;
    app->draftStored = SaveDraft(draft);
    return app->draftStored;
}

void RestoreEditorDraft(HWND mainWindow)
{
    AppState* app = App();
    Draft draft = {};
    if (!app || !ReadDraft(&draft)) {
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
        if (isNew) {
            note.created = draft.note.created;
            note.left = draft.note.left;
            note.top = draft.note.top;
        }
        HFONT font = CreateFontIndirectA(&draft.font);
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
    auto style = static_cast<DWORD>(SendMessageA(toolbar, TB_GETSTYLE, 0, 0));
    if (style & TBSTYLE_FLAT)
        return;
    SendMessageA(toolbar, TB_SETSTYLE, 0, static_cast<LPARAM>(style | TBSTYLE_FLAT));
    InvalidateRect(toolbar, nullptr, TRUE);
    UpdateWindow(toolbar);
}

DWORD GetDllVersion(const char* fileName)
{
    HMODULE library = LoadLibraryA(fileName);
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
        return CreateEditorControls(window, reinterpret_cast<CREATESTRUCTA*>(lParam)) ? 0 : -1;
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
    case WM_COMMAND:
        OnEditorCommand(window, LOWORD(wParam));
        return 0;
    case WM_INITMENU:
        UpdateMenuState(window, reinterpret_cast<HMENU>(wParam));
        return 0;
    case WM_EDITFOCUS:
        OnEditFocus(window, wParam);
        return 0;
    case WM_PASTESTATE:
        SetPasteButton(window, wParam);
        return 0;
    case WM_DESTROY:
        OnEditorDestroy(window);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
