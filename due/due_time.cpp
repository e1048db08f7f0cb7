#include "due/due_time.h"

#include <atomic>
#include <cstdlib>

#include "platform/error_box.h"
#include "platform/wide_text.h"
#include "res/resource.h"

// SYSTEMTIME fields are unsigned 16-bit; every step below keeps them WORDs so
// that out-of-range input wraps exactly as the stored data always has.

void NormalizeMonth(SYSTEMTIME* fields)
{
    if (!fields)
        return;
    if (fields->wMonth == 0) {
        fields->wMonth = 12;
        fields->wYear = static_cast<WORD>(fields->wYear - 1);
    } else if (fields->wMonth > 12) {
        // One step only: month 25 becomes 13, which the conversion rejects.
        fields->wMonth = static_cast<WORD>(fields->wMonth - 12);
        fields->wYear = static_cast<WORD>(fields->wYear + 1);
    }
}

int DaysInMonth(WORD year, WORD month)
{
    SYSTEMTIME fields{};
    fields.wYear = year;
    fields.wMonth = month;
    NormalizeMonth(&fields);
    switch (fields.wMonth) {
    case 1:
    case 3:
    case 5:
    case 7:
    case 8:
    case 10:
    case 12:
        return 31;
    case 4:
    case 6:
    case 9:
    case 11:
        return 30;
    case 2: {
        WORD y = fields.wYear;
        bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
        return leap ? 29 : 28;
    }
    default:
        return 0;
    }
}

namespace
{

bool TryConvert(const SYSTEMTIME& fields, FILETIME* stored)
{
    FILETIME result;
    if (!SystemTimeToFileTime(&fields, &result))
        return false;
    *stored = result;
    return true;
}

void CarryClock(SYSTEMTIME* fields)
{
    while (fields->wSecond >= 60) {
        fields->wSecond = static_cast<WORD>(fields->wSecond - 60);
        fields->wMinute = static_cast<WORD>(fields->wMinute + 1);
    }
    while (fields->wMinute >= 60) {
        fields->wMinute = static_cast<WORD>(fields->wMinute - 60);
        fields->wHour = static_cast<WORD>(fields->wHour + 1);
    }
    while (fields->wHour >= 24) {
        fields->wHour = static_cast<WORD>(fields->wHour - 24);
        fields->wDay = static_cast<WORD>(fields->wDay + 1);
    }
}

} // namespace

int MakeDueTime(HWND owner, const SYSTEMTIME* fields, FILETIME* stored, int report)
{
    if (!fields || !stored)
        return 0;

    SYSTEMTIME work{};
    work.wYear = fields->wYear;
    work.wMonth = fields->wMonth;
    work.wDay = fields->wDay;
    work.wHour = fields->wHour;
    work.wMinute = fields->wMinute;
    work.wSecond = fields->wSecond;
    NormalizeMonth(&work);
    if (TryConvert(work, stored))
        return 1;

    CarryClock(&work);
    if (TryConvert(work, stored))
        return 1;

    // Only one month-end carry: a day that overshoots the following month
    // as well is a typing error, not a date.
    int length = DaysInMonth(work.wYear, work.wMonth);
    if (work.wDay > 28 && work.wDay > length) {
        work.wDay = static_cast<WORD>(work.wDay - length);
        work.wMonth = static_cast<WORD>(work.wMonth + 1);
        NormalizeMonth(&work);
    }
    if (TryConvert(work, stored))
        return 1;

    // The failed conversion left ERROR_INVALID_PARAMETER as the last error,
    // which is what the box shows.
    if (report)
        ReportError(owner, -1, nullptr);
    return 0;
}

void DefaultDueTime(const SYSTEMTIME* now, int amount, int unit, FILETIME* stored)
{
    if (!now || !stored)
        return;
    stored->dwLowDateTime = 0;
    stored->dwHighDateTime = 0;
    if (amount == 0)
        return;

    SYSTEMTIME due = *now;
    WORD add = static_cast<WORD>(amount);
    switch (unit) {
    case 0:
        due.wMonth = static_cast<WORD>(due.wMonth + add);
        break;
    case 1:
        due.wDay = static_cast<WORD>(due.wDay + add);
        break;
    case 2:
        due.wHour = static_cast<WORD>(due.wHour + add);
        break;
    case 3:
        due.wMinute = static_cast<WORD>(due.wMinute + add);
        break;
    default:
        break;
    }
    MakeDueTime(nullptr, &due, stored, 0);
}

bool IsTimeSet(const FILETIME* time)
{
    return time && time->dwLowDateTime != 0 && time->dwHighDateTime != 0;
}

char* FormatDateText(const FILETIME* time, char* buffer)
{
    if (!time || !buffer)
        return nullptr;
    buffer[0] = '\0';
    if (!IsTimeSet(time)) {
        ResourceNoteText(IDS_NO_DUE_DATE, buffer, 32);
        return buffer;
    }
    SYSTEMTIME fields;
    if (FileTimeToSystemTime(time, &fields)) {
        wsprintfA(buffer, "%04d/%02d/%02d %02d:%02d:%02d", fields.wYear, fields.wMonth, fields.wDay,
            fields.wHour, fields.wMinute, fields.wSecond);
    }
    return buffer;
}

namespace
{
std::atomic<LONGLONG> g_clockShiftTicks{0};
} // namespace

void GetLocalFileTime(FILETIME* now)
{
    if (!now)
        return;
    SYSTEMTIME fields;
    GetLocalTime(&fields);
    if (!SystemTimeToFileTime(&fields, now)) {
        now->dwLowDateTime = 0;
        now->dwHighDateTime = 0;
        return;
    }
    LONGLONG shift = g_clockShiftTicks.load();
    if (shift) {
        ULARGE_INTEGER ticks = {{now->dwLowDateTime, now->dwHighDateTime}};
        ticks.QuadPart += static_cast<ULONGLONG>(shift);
        now->dwLowDateTime = ticks.LowPart;
        now->dwHighDateTime = ticks.HighPart;
    }
}

void ShiftLocalClock(LONGLONG minutes)
{
    g_clockShiftTicks += minutes * 60 * 10000000LL;
}

int GetDueState(const NoteRecord* record)
{
    if (!record || !IsTimeSet(&record->due))
        return kDueNone;
    FILETIME now;
    GetLocalFileTime(&now);
    return GetDueStateAt(record, &now);
}

int GetDueStateAt(const NoteRecord* record, const FILETIME* now)
{
    if (!record || !now || !IsTimeSet(&record->due))
        return kDueNone;

    int order = CompareFileTime(&record->due, now);
    if (order == 0)
        return kDueToday;

    SYSTEMTIME today;
    SYSTEMTIME due;
    if (!FileTimeToSystemTime(now, &today) || !FileTimeToSystemTime(&record->due, &due))
        return order < 0 ? kDueOverdue : kDueNone;

    if (due.wYear == today.wYear && due.wMonth == today.wMonth && due.wDay == today.wDay)
        return order < 0 ? kDueOverdue : kDueToday;

    WORD eveYear = due.wYear;
    WORD eveMonth = due.wMonth;
    WORD eveDay = static_cast<WORD>(due.wDay - 1);
    if (eveDay == 0) {
        eveMonth = static_cast<WORD>(eveMonth - 1);
        if (eveMonth == 0) {
            eveMonth = 12;
            eveYear = static_cast<WORD>(eveYear - 1);
        }
        eveDay = static_cast<WORD>(DaysInMonth(eveYear, eveMonth));
    }
    if (eveYear == today.wYear && eveMonth == today.wMonth && eveDay == today.wDay)
        return kDueEve;

    return order < 0 ? kDueOverdue : kDueNone;
}

namespace
{

constexpr ULONGLONG kTicksPerMs = 10000;
constexpr ULONGLONG kTicksPerDay = 24ULL * 60 * 60 * 1000 * kTicksPerMs;

ULONGLONG Ticks(const FILETIME& time)
{
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME FileTimeOf(ULONGLONG ticks)
{
    return {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

} // namespace

bool NextDueChange(const FILETIME* due, const FILETIME* now, FILETIME* moment)
{
    if (!due || !now || !moment || !IsTimeSet(due))
        return false;
    SYSTEMTIME dueDay;
    FILETIME dueDayStart;
    if (!FileTimeToSystemTime(due, &dueDay))
        return false;
    dueDay.wHour = dueDay.wMinute = dueDay.wSecond = dueDay.wMilliseconds = 0;
    if (!SystemTimeToFileTime(&dueDay, &dueDayStart))
        return false;

    // Local wall-clock times have days of equal length, so the eve begins
    // exactly one day before the due day; the due state stays "due today"
    // up to and including the due tick itself.
    ULONGLONG at = Ticks(*now);
    ULONGLONG dayStart = Ticks(dueDayStart);
    ULONGLONG eveStart = dayStart >= kTicksPerDay ? dayStart - kTicksPerDay : 0;
    ULONGLONG change;
    if (at < eveStart)
        change = eveStart;
    else if (at < dayStart)
        change = dayStart;
    else if (at <= Ticks(*due))
        change = Ticks(*due) + 1;
    else
        return false;
    *moment = FileTimeOf(change);
    return true;
}

ULONGLONG DueChangeWaitMs(const FILETIME* due, const FILETIME* now)
{
    FILETIME change;
    if (!NextDueChange(due, now, &change))
        return kNoDueChange;
    return (Ticks(change) - Ticks(*now) + kTicksPerMs - 1) / kTicksPerMs;
}

namespace
{

// Whether the wall clock of `zone` shows `local`, to the millisecond, at the
// UTC moment `ticks`.
bool ShowsAt(const TIME_ZONE_INFORMATION* zone, const SYSTEMTIME& local, ULONGLONG ticks)
{
    const FILETIME moment = FileTimeOf(ticks);
    SYSTEMTIME utcFields;
    SYSTEMTIME back;
    return FileTimeToSystemTime(&moment, &utcFields)
        && SystemTimeToTzSpecificLocalTime(zone, &utcFields, &back) && back.wYear == local.wYear
        && back.wMonth == local.wMonth && back.wDay == local.wDay && back.wHour == local.wHour
        && back.wMinute == local.wMinute && back.wSecond == local.wSecond
        && back.wMilliseconds == local.wMilliseconds;
}

} // namespace

bool LocalMomentToUtc(
    const FILETIME* local, FILETIME* utc, const TIME_ZONE_INFORMATION* zone, const FILETIME* nowUtc)
{
    if (!local || !utc)
        return false;
    const ULONGLONG shifted = Ticks(*local);
    const ULONGLONG shift = static_cast<ULONGLONG>(g_clockShiftTicks.load());
    const FILETIME wallClock = FileTimeOf(shifted - shift);
    SYSTEMTIME localFields;
    SYSTEMTIME utcFields;
    FILETIME whole;
    if (!FileTimeToSystemTime(&wallClock, &localFields)
        || !TzSpecificLocalTimeToSystemTime(zone, &localFields, &utcFields)
        || !SystemTimeToFileTime(&utcFields, &whole))
        return false;
    // The night the clock goes back its last hour comes twice, and the
    // conversion names one of the two moments. Once the first has passed, a
    // timer set to it fires at once, pass after pass, until the wall clock
    // gets there again; set to the second, the first would be missed.
    FILETIME clock;
    if (!nowUtc) {
        GetSystemTimeAsFileTime(&clock);
        nowUtc = &clock;
    }
    TIME_ZONE_INFORMATION system;
    const TIME_ZONE_INFORMATION* rules = zone;
    if (!rules && GetTimeZoneInformation(&system) != TIME_ZONE_ID_INVALID)
        rules = &system;
    ULONGLONG chosen = Ticks(whole);
    if (rules && rules->StandardBias != rules->DaylightBias) {
        const ULONGLONG saving = static_cast<ULONGLONG>(std::abs(rules->StandardBias - rules->DaylightBias))
            * 60 * 1000 * kTicksPerMs;
        const ULONGLONG converted = chosen;
        for (ULONGLONG other : {converted - saving, converted, converted + saving}) {
            if (other > Ticks(*nowUtc) && (other == converted || ShowsAt(zone, localFields, other))) {
                chosen = other;
                break;
            }
        }
    }
    // The fields hold whole milliseconds, and so does the clock a pass
    // reads: a moment between two is reached at the later one.
    *utc = FileTimeOf(chosen + (Ticks(wallClock) % kTicksPerMs ? kTicksPerMs : 0));
    return true;
}
