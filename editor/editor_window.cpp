// Placeholder until the editor is built.
#include "editor/editor_window.h"

const TBBUTTON kEditorToolbarButtons[12] = {};
EditorState* EditorStateOf(HWND) { return nullptr; }
int OpenEditor(HWND) { return 0; }
int InitEditorState(HWND, EditorState*, const NoteRecord*) { return 0; }
int CreateEditorControls(HWND, const CREATESTRUCTA*) { return 0; }
void SetEditorTitle(HWND) {}
void CloseEditor(HWND) {}
void ReleaseEditorState(EditorState*) {}
void SetImeOpen(HWND, BOOL) {}
void MakeToolbarFlat(HWND, DWORD) {}
DWORD GetDllVersion(const char*) { return 0; }
LRESULT CALLBACK EditorWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    return DefWindowProcA(window, message, wParam, lParam);
}
