// The arithmetic of due dates that behave like an alarm: the next occurrence
// of a repeating due time, the end of a snooze, and how long ago a due time
// passed. Local wall-clock FILETIMEs throughout, as in due_time.h.
#ifndef JOTWISE_DUE_ALARM_TIME_H
#define JOTWISE_DUE_ALARM_TIME_H

#include <windows.h>

#include "due/due_time.h"
#include "store/records.h"

// The day of the month a monthly or yearly repeat of `due` returns to:
// `storedDay` while `due` still agrees with it (falls on it, or on the last
// day of a month too short for it), otherwise the due time's own day. So a
// value left behind by a change of the due date is never followed.
int RepeatAnchorDay(const FILETIME& due, int storedDay);

// The first occurrence of the repeating `due` that comes after both `due`
// itself and `now`, at the same time of day. Monthly and yearly repeats
// fall on `anchorDay` (0: the due time's own day), or on the last day of a
// month too short for it; weekdays skip Saturday and Sunday. False, and
// `next` untouched, for kRepeatNone, an unset due time or a date beyond the
// calendar.
bool NextOccurrence(const FILETIME& due, int kind, int anchorDay, const FILETIME& now, FILETIME* next);

// `now` moved on by so many minutes.
FILETIME MinutesLater(const FILETIME& now, int minutes);
// The next day after `now` at `hour`:00:00.
FILETIME NextDayAt(const FILETIME& now, int hour);

// The note's announcement waits: a snooze is set and has not ended at `now`.
bool IsSnoozedAt(const NoteRecord* record, const FILETIME* now);
// The moment the note's snooze ends; false when it is not snoozed at `now`.
bool SnoozeEnd(const NoteRecord* record, const FILETIME* now, FILETIME* moment);

// How long ago a moment passed, in the largest whole unit that fits, and
// the milliseconds until that description changes.
enum ElapsedUnit { kElapsedNow = 0, kElapsedMinutes = 1, kElapsedHours = 2, kElapsedDays = 3 };
struct Elapsed {
    ElapsedUnit unit;
    int count;
    ULONGLONG changeMs;
};
Elapsed ElapsedSince(const FILETIME& then, const FILETIME& now);

#endif
