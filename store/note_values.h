// The values a note keeps under its ID ("List3", "Memo3", "Font3", ...).
// Deleting, the recycle bin and backups walk this one list, so a value added
// here travels with its note wherever the note goes.
#ifndef JOTWISE_STORE_NOTE_VALUES_H
#define JOTWISE_STORE_NOTE_VALUES_H

inline constexpr const char* kNoteValueBases[] = {"List", "Memo", "Font", "Topmost", "Repeat", "Snooze"};

#endif
