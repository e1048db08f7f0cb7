// The note menu's commands that open another part of the program: edit
// opens the editor on the note, help the note's help topic.
#ifndef JOTWISE_APP_NOTE_MENU_H
#define JOTWISE_APP_NOTE_MENU_H

#include <windows.h>

// Handed to the note menu at start (SetNoteFeatureCommand).
void OnNoteFeatureCommand(HWND note, int commandId);

#endif
