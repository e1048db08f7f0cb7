// The note list: one modeless window that lists every note the store holds,
// the recycle bin's included, and reaches each of them.
#ifndef JOTWISE_LIST_NOTE_LIST_H
#define JOTWISE_LIST_NOTE_LIST_H

#include <windows.h>

// Opens the list, or brings the open one to the front.
void OpenNoteList();

// Closes the list when it is open (its place is remembered).
void CloseNoteList();

// Gives the list its keys (Tab, Enter, Esc, Ctrl+F, F1) before the message
// loop dispatches; true when the message was the list's.
bool HandleNoteListMessage(MSG* msg);

#endif
