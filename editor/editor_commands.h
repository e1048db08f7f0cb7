// The editor's menu and toolbar commands, and apply.
#ifndef JOTWISE_EDITOR_EDITOR_COMMANDS_H
#define JOTWISE_EDITOR_EDITOR_COMMANDS_H

#include <windows.h>

#include "editor/editor_window.h"

void OnEditorCommand(HWND editor, int commandId);

void EditorFontCommand(HWND editor);
void EditorBackColourCommand(HWND editor);
void EditorDueCommand(HWND editor);
// How the copy's due time repeats (a RepeatKind); marks the editor changed.
void EditorRepeatCommand(HWND editor, int kind);
void EditorEditCommand(HWND editor, int commandId);

// Takes the edit control's text into the state's copy; 1 on success.
int ReadEditorText(HWND editor, EditorState* state);

void ApplyEditor(HWND editor);

// Greys the items of the editor's menu that cannot act now (paste without
// text on the clipboard, cut without a selection, ...).
void ApplyEditorMenuState(HWND editor, HMENU menu);

#endif
