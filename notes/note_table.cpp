// Placeholder until the note table is built.
#include "notes/note_table.h"

int FindFreeNoteSlot(HWND, int) { return -1; }
int CreateNoteWindow(HWND, const NoteRecord*, const LOGFONTA*) { return 0; }
void PlaceNewNote(NoteRecord*) {}
int ChooseFreeNoteId(int fallback) { return fallback; }
bool IsNoteIdFree(int) { return true; }
int IsPointOnNote(int, int) { return 0; }
void ClampToScreen(NoteRecord*) {}
void ClampToArea(NoteRecord*, int, int) {}
int DuplicateNote(HWND) { return 0; }
void CloseNote(HWND) {}
void ReleaseNoteResources(NoteRecord*) {}
NoteRecord* NewNoteRecord() { return new NoteRecord{}; }
void DeleteNoteRecord(NoteRecord* record) { delete record; }
