// Due-date arithmetic, classification and the date text. All times are
// local wall-clock FILETIMEs; nothing here converts to or from UTC.
#ifndef JOTWISE_DUE_DUE_TIME_H
#define JOTWISE_DUE_DUE_TIME_H

#include <windows.h>

#include "store/records.h"

enum DueState { kDueNone = 0, kDueEve = 1, kDueToday = 2, kDueOverdue = 3 };

void NormalizeMonth(SYSTEMTIME* fields);
int DaysInMonth(WORD year, WORD month);
int MakeDueTime(HWND owner, const SYSTEMTIME* fields, FILETIME* stored, int report);
void DefaultDueTime(const SYSTEMTIME* now, int amount, int unit, FILETIME* stored);
bool IsTimeSet(const FILETIME* time);
char* FormatDateText(const FILETIME* time, char* buffer);

// The current local time as a stored time, milliseconds included.
void GetLocalFileTime(FILETIME* now);

int GetDueState(const NoteRecord* record);
// The same classification against a given "now".
int GetDueStateAt(const NoteRecord* record, const FILETIME* now);

#endif
