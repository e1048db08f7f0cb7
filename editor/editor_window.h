// The one note editor window.
#ifndef JOTWISE_EDITOR_EDITOR_WINDOW_H
#define JOTWISE_EDITOR_EDITOR_WINDOW_H

#include <windows.h>
#include <commctrl.h>

#include "store/records.h"

struct EditorState {
    HWND owner;
    HWND toolbar;
    HWND edit;
    NoteRecord note; // the private copy being edited
    int isNew;
};

// The editor toolbar's buttons, in toolbar order.
extern const TBBUTTON kEditorToolbarButtons[12];
constexpr int kEditorToolbarImages = 9;

EditorState* EditorStateOf(HWND editor);

int OpenEditor(HWND owner);
int InitEditorState(HWND owner, EditorState* state, const NoteRecord* ownerRecord);
int CreateEditorControls(HWND editor, const CREATESTRUCTA* create);
void SetEditorTitle(HWND editor);
void CloseEditor(HWND editor);
void ReleaseEditorState(EditorState* state);
void SetImeOpen(HWND window, BOOL open);
void MakeToolbarFlat(HWND toolbar, DWORD version);
DWORD GetDllVersion(const char* fileName);

LRESULT CALLBACK EditorWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

#endif
