// The commands of a note's context menu.
#ifndef JOTWISE_NOTES_NOTE_COMMANDS_H
#define JOTWISE_NOTES_NOTE_COMMANDS_H

#include <windows.h>

#include "store/records.h"

void OnNoteCommand(HWND window, int commandId);

// The note menu's commands that open a feature above the notes (the editor,
// the help). The program sets the handler at start; the note menu hands it
// every command it does not handle itself.
using NoteFeatureCommand = void (*)(HWND note, int commandId);
void SetNoteFeatureCommand(NoteFeatureCommand handler);

// Greys "edit" while the editor is open and checks "always on top" as the
// note is.
void ApplyNoteMenuState(HWND note, HMENU menu);

void PeelOffNote(HWND window, int deleteAsked);
void HideNote(HWND window);
void OptimizeNoteSize(HWND window);

// Shows the properties box; the record defaults to the owner's own.
void ShowNoteProperties(HWND owner, const NoteRecord* record);

// Builds the properties text (at most `size` bytes) for `record`, with `now`
// as the current local time.
void FormatNoteProperties(const NoteRecord* record, const FILETIME* now, char* buffer, int size);

#endif
