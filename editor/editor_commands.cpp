// Placeholder until the editor commands are built.
#include "editor/editor_commands.h"

void OnEditorCommand(HWND, int) {}
void EditorFontCommand(HWND) {}
void EditorBackColourCommand(HWND) {}
void EditorDueCommand(HWND) {}
void EditorEditCommand(HWND, int) {}
int ReadEditorText(HWND, EditorState*) { return 0; }
void ApplyEditor(HWND) {}
