// Placeholder until the note commands are built.
#include "notes/note_commands.h"

void OnNoteCommand(HWND, int) {}
void PeelOffNote(HWND, int) {}
void HideNote(HWND) {}
void OptimizeNoteSize(HWND) {}
void ShowNoteProperties(HWND, const NoteRecord*) {}
void FormatNoteProperties(const NoteRecord*, const FILETIME*, char* buffer, int) { buffer[0] = 0; }
