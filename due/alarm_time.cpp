#include "due/alarm_time.h"

#include <algorithm>

namespace
{

constexpr ULONGLONG kTicksPerMs = 10000;
constexpr ULONGLONG kTicksPerMinute = 60 * 1000 * kTicksPerMs;
constexpr ULONGLONG kTicksPerHour = 60 * kTicksPerMinute;
constexpr ULONGLONG kTicksPerDay = 24 * kTicksPerHour;
// 1 January 1601, where stored times count from, was a Monday.
constexpr ULONGLONG kSaturdayFromMonday = 5;

ULONGLONG Ticks(const FILETIME& time)
{
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME FromTicks(ULONGLONG ticks)
{
    return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

bool IsWeekend(ULONGLONG ticks)
{
    return (ticks / kTicksPerDay) % 7 >= kSaturdayFromMonday;
}

ULONGLONG MsUntil(ULONGLONG from, ULONGLONG to)
{
    return (to - from + kTicksPerMs - 1) / kTicksPerMs;
}

// Whole days: the next step after `after`, counted from `due`, and for
// weekdays the Monday after a weekend. Local wall-clock days all have the
// same length, so the time of day stays.
bool NextByDays(ULONGLONG due, ULONGLONG after, ULONGLONG days, bool weekdaysOnly, FILETIME* next)
{
    const ULONGLONG step = days * kTicksPerDay;
    ULONGLONG at = due + ((after - due) / step + 1) * step;
    while (weekdaysOnly && IsWeekend(at))
        at += kTicksPerDay;
    *next = FromTicks(at);
    return true;
}

// Whole months from `due`: the same time of day on the anchor day, or on
// the last day of a shorter month.
bool NextByMonths(const SYSTEMTIME& due, int months, int anchorDay, ULONGLONG after, FILETIME* next)
{
    FILETIME afterTime = FromTicks(after);
    SYSTEMTIME afterFields;
    if (!FileTimeToSystemTime(&afterTime, &afterFields))
        return false;
    const long dueMonth = due.wYear * 12L + due.wMonth - 1;
    const long afterMonth = afterFields.wYear * 12L + afterFields.wMonth - 1;
    // The first candidate lies in the month of `after` or just before it;
    // two more steps always pass it.
    long step = std::max(1L, (afterMonth - dueMonth) / months);
    for (int tries = 0; tries < 3; ++tries, ++step) {
        long month = dueMonth + step * months;
        SYSTEMTIME fields = due;
        fields.wYear = static_cast<WORD>(month / 12);
        fields.wMonth = static_cast<WORD>(month % 12 + 1);
        fields.wDay = static_cast<WORD>(std::min(anchorDay, DaysInMonth(fields.wYear, fields.wMonth)));
        fields.wDayOfWeek = 0;
        FILETIME candidate;
        if (month / 12 > 30827 || !SystemTimeToFileTime(&fields, &candidate))
            return false;
        if (Ticks(candidate) > after) {
            *next = candidate;
            return true;
        }
    }
    return false;
}

} // namespace

int RepeatAnchorDay(const FILETIME& due, int storedDay)
{
    SYSTEMTIME fields;
    if (!FileTimeToSystemTime(&due, &fields))
        return 0;
    const int day = fields.wDay;
    bool monthTooShort
        = storedDay > day && storedDay <= 31 && day == DaysInMonth(fields.wYear, fields.wMonth);
    return storedDay == day || monthTooShort ? storedDay : day;
}

bool NextOccurrence(const FILETIME& due, int kind, int anchorDay, const FILETIME& now, FILETIME* next)
{
    SYSTEMTIME fields;
    if (!next || !IsTimeSet(&due) || !FileTimeToSystemTime(&due, &fields))
        return false;
    const ULONGLONG after = std::max(Ticks(due), Ticks(now));
    const int anchor = anchorDay > 0 ? anchorDay : fields.wDay;
    switch (kind) {
    case kRepeatDaily:
        return NextByDays(Ticks(due), after, 1, false, next);
    case kRepeatWeekdays:
        return NextByDays(Ticks(due), after, 1, true, next);
    case kRepeatWeekly:
        return NextByDays(Ticks(due), after, 7, false, next);
    case kRepeatMonthly:
        return NextByMonths(fields, 1, anchor, after, next);
    case kRepeatYearly:
        return NextByMonths(fields, 12, anchor, after, next);
    default:
        return false;
    }
}

FILETIME MinutesLater(const FILETIME& now, int minutes)
{
    return FromTicks(Ticks(now) + static_cast<ULONGLONG>(static_cast<LONGLONG>(minutes)) * kTicksPerMinute);
}

FILETIME NextDayAt(const FILETIME& now, int hour)
{
    ULONGLONG midnight = Ticks(now) - Ticks(now) % kTicksPerDay;
    return FromTicks(midnight + kTicksPerDay + static_cast<ULONGLONG>(hour) * kTicksPerHour);
}

bool IsSnoozedAt(const NoteRecord* record, const FILETIME* now)
{
    return record && now && IsTimeSet(&record->snoozeUntil) && Ticks(*now) < Ticks(record->snoozeUntil);
}

bool SnoozeEnd(const NoteRecord* record, const FILETIME* now, FILETIME* moment)
{
    if (!moment || !IsSnoozedAt(record, now))
        return false;
    *moment = record->snoozeUntil;
    return true;
}

Elapsed ElapsedSince(const FILETIME& then, const FILETIME& now)
{
    const ULONGLONG passed = Ticks(now) > Ticks(then) ? Ticks(now) - Ticks(then) : 0;
    struct Scale {
        ElapsedUnit unit;
        ULONGLONG ticks; // one of the unit
        ULONGLONG below; // the unit serves below this much time
    };
    static const Scale scales[] = {
        {kElapsedNow, kTicksPerMinute, kTicksPerMinute},
        {kElapsedMinutes, kTicksPerMinute, kTicksPerHour},
        {kElapsedHours, kTicksPerHour, kTicksPerDay},
        {kElapsedDays, kTicksPerDay, ~0ULL},
    };
    for (const Scale& scale : scales) {
        if (passed >= scale.below)
            continue;
        ULONGLONG count = passed / scale.ticks;
        ULONGLONG change = std::min((count + 1) * scale.ticks, scale.below) - passed;
        int shown = scale.unit == kElapsedNow ? 0 : static_cast<int>(std::min<ULONGLONG>(count, 0x7FFFFFFF));
        return Elapsed{scale.unit, shown, MsUntil(0, change)};
    }
    return Elapsed{kElapsedDays, 0, kNoDueChange};
}
