// Due-date arithmetic, classification and the date text. All times are
// local wall-clock FILETIMEs; only LocalMomentToUtc converts to UTC.
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

// The current local time as a stored time, milliseconds included, moved by
// whatever ShiftLocalClock added.
void GetLocalFileTime(FILETIME* now);
// Moves the clock of GetLocalFileTime by so many minutes from here on.
void ShiftLocalClock(LONGLONG minutes);

int GetDueState(const NoteRecord* record);
// The same classification against a given "now".
int GetDueStateAt(const NoteRecord* record, const FILETIME* now);

// Milliseconds from `now` until the due state of a note with this due time
// next changes (its eve day begins, its due day begins, its due time has
// passed), rounded up; kNoDueChange when it never changes again, as for no
// due time or an overdue note.
constexpr ULONGLONG kNoDueChange = ~0ULL;
ULONGLONG DueChangeWaitMs(const FILETIME* due, const FILETIME* now);

// The moment itself, on the clock of `now`; false when it never changes.
bool NextDueChange(const FILETIME* due, const FILETIME* now, FILETIME* moment);

// A moment of GetLocalFileTime's clock (ShiftLocalClock taken off again) as
// UTC, rounded up to the millisecond, under the daylight-saving rules of its
// own date in `zone`, the system's time zone when null. A wait for a UTC moment stays right when
// the offset changes before it comes, which a wait of so many milliseconds
// of wall-clock time does not. A moment the wall clock shows twice (the hour
// repeated when the clock goes back) is the next time it does after
// `nowUtc`, the system clock when null.
bool LocalMomentToUtc(const FILETIME* local, FILETIME* utc, const TIME_ZONE_INFORMATION* zone = nullptr,
    const FILETIME* nowUtc = nullptr);

#endif
