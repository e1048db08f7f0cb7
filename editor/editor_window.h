// The one note editor window.
#ifndef JOTWISE_EDITOR_EDITOR_WINDOW_H
#define JOTWISE_EDITOR_EDITOR_WINDOW_H

#include <windows.h>
#include <commctrl.h>

#include "store/records.h"

// From the edit control to its editor: wParam 1 when the edit control got
// the focus, 0 when it lost it.
constexpr UINT WM_EDITFOCUS = WM_USER + 321; // 0x0541

struct EditorState {
    HWND owner;
    HWND toolbar;
    HWND edit;
    NoteRecord note; // the private copy being edited
    int isNew;
    // The program ended while one of the editor's boxes was up: its changes
    // are the draft, and the editor goes with the process.
    bool keptAtExit;
    // The discard question is up.
    bool asking;
};

// The editor toolbar's buttons, in toolbar order.
extern const TBBUTTON kEditorToolbarButtons[12];
constexpr int kEditorToolbarImages = 9;

EditorState* EditorStateOf(HWND editor);

// A new note's place is drawn inside `newNoteArea` (the tray monitor's work
// area when null).
int OpenEditor(HWND owner, const RECT* newNoteArea = nullptr);
int InitEditorState(
    HWND owner, EditorState* state, const NoteRecord* ownerRecord, const RECT* newNoteArea = nullptr);
int CreateEditorControls(HWND editor, const CREATESTRUCTW* create);
void SetEditorTitle(HWND editor);
void CloseEditor(HWND editor);
void ReleaseEditorState(EditorState* state);
void SetImeOpen(HWND window, BOOL open);
void MakeToolbarFlat(HWND toolbar, DWORD version);
DWORD GetDllVersion(const char* fileName);

// At a logoff or exit: keeps the editor's changed text, note, font, colours
// and due time as a draft in the store; applies nothing. The system's code
// when the draft could not be written; ERROR_SUCCESS when it was, or when
// nothing was changed.
LONG SaveEditorDraft(HWND editor);

// At exit, once SaveEditorDraft has kept what was changed: closes the editor
// without asking and leaves the draft for the next start.
void CloseEditorForExit(HWND editor);

// At the start: reopens the editor on a stored draft, marked changed, and
// removes the draft from the store.
void RestoreEditorDraft(HWND mainWindow);

LRESULT CALLBACK EditorWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

#endif
