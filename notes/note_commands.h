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

// Greys "edit" while the editor is open, checks "always on top" and the
// repeat as the note has them, and greys repeat, done and snooze for a note
// without a due date.
void ApplyNoteMenuState(HWND note, HMENU menu);

// Done: a repeating note's due time moves to its first occurrence after now,
// any other note loses its due time; a snooze ends. Saved at once.
void CompleteNote(HWND note);

// Puts the note's next announcement off, not its due time, by so many
// minutes, or with kSnoozeUntilMorning to 9:00 the next day. Saved at once.
constexpr int kSnoozeUntilMorning = -1;
constexpr int kSnoozeMorningHour = 9;
void SnoozeNote(HWND note, int minutes);

// How the note's due time repeats (a RepeatKind). Saved at once.
void SetNoteRepeat(HWND note, int kind);

void PeelOffNote(HWND window, int deleteAsked);
void HideNote(HWND window);
void OptimizeNoteSize(HWND window);

// Shows the properties box; the record defaults to the owner's own.
void ShowNoteProperties(HWND owner, const NoteRecord* record);

// Builds the properties text (at most `size` bytes) for `record`, with `now`
// as the current local time.
void FormatNoteProperties(const NoteRecord* record, const FILETIME* now, char* buffer, int size);

#endif
