// Conversions of note text, the size a note needs and the one-line
// description of its font.
#ifndef JOTWISE_NOTES_TEXT_CONVERT_H
#define JOTWISE_NOTES_TEXT_CONVERT_H

#include <windows.h>

#include "store/records.h"

// 2, 4 or 8 columns from the options' tab index.
int GetTabWidth();
int TabWidthForIndex(int tabIndex);

void CutTrailingNewlines(char* text);

int ExpandTabs(const char* source, char* output, int width);
// A newly allocated (malloc) expanded text, or null when there is no tab.
char* ExpandTabsCopy(const char* text, int length);

int SpacesToTabs(const char* source, char* output, int width);
char* SpacesToTabsCopy(const NoteRecord* record);

// Measures the text with the record's font; 1 when measured.
int MeasureNoteSize(NoteRecord* record, int force);

// "<face> (<points>)"; the buffer needs at least 48 bytes.
char* DescribeFont(HFONT font, char* buffer);

#endif
