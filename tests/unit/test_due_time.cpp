#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "due/alarm_time.h"
#include "due/due_time.h"
#include "platform/error_box.h"
#include "tests/unit/test_support.h"

namespace
{

SYSTEMTIME Fields(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int ms = 0)
{
    SYSTEMTIME fields{};
    fields.wYear = static_cast<WORD>(year);
    fields.wMonth = static_cast<WORD>(month);
    fields.wDay = static_cast<WORD>(day);
    fields.wHour = static_cast<WORD>(hour);
    fields.wMinute = static_cast<WORD>(minute);
    fields.wSecond = static_cast<WORD>(second);
    fields.wMilliseconds = static_cast<WORD>(ms);
    return fields;
}

FILETIME Stored(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    SYSTEMTIME fields = Fields(year, month, day, hour, minute, second);
    FILETIME stored{};
    EXPECT_TRUE(SystemTimeToFileTime(&fields, &stored)) << "test date must be valid";
    return stored;
}

FILETIME Offset(FILETIME time, long long ticks)
{
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    value.QuadPart += ticks;
    return FILETIME{value.LowPart, value.HighPart};
}

// Independent of FormatDateText, so that a fault there cannot hide one here.
std::string Text(const FILETIME& stored)
{
    SYSTEMTIME fields;
    if (!FileTimeToSystemTime(&stored, &fields))
        return "(invalid)";
    char text[64];
    std::snprintf(text, sizeof(text), "%04u/%02u/%02u %02u:%02u:%02u.%03u", fields.wYear, fields.wMonth,
        fields.wDay, fields.wHour, fields.wMinute, fields.wSecond, fields.wMilliseconds);
    return text;
}

bool SameTime(const FILETIME& a, const FILETIME& b)
{
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

std::string NoDueDateText()
{
    // "期日の指定はありません。"
    return Sjis(reinterpret_cast<const char*>(
        u8"\u671F\u65E5\u306E\u6307\u5B9A\u306F\u3042\u308A\u307E\u305B\u3093\u3002"));
}

const FILETIME kSentinel = {0x12345678, 0x01ABCDEF};

} // namespace

TEST(DueTime, MonthNormalisationCarriesTheYearOnce)
{
    SYSTEMTIME fields = Fields(2000, 0, 5);
    NormalizeMonth(&fields);
    EXPECT_EQ(1999, fields.wYear);
    EXPECT_EQ(12, fields.wMonth);
    EXPECT_EQ(5, fields.wDay);

    fields = Fields(2000, 25, 1);
    NormalizeMonth(&fields);
    EXPECT_EQ(2001, fields.wYear);
    EXPECT_EQ(13, fields.wMonth) << "month 25 is normalised only once";

    fields = Fields(0, 0, 1);
    NormalizeMonth(&fields);
    EXPECT_EQ(0xFFFF, fields.wYear) << "the year is an unsigned 16-bit field";

    NormalizeMonth(nullptr);
}

TEST(DueTime, MonthLengthsFollowTheGregorianCalendar)
{
    EXPECT_EQ(31, DaysInMonth(2001, 1));
    EXPECT_EQ(28, DaysInMonth(2001, 2));
    EXPECT_EQ(29, DaysInMonth(2000, 2)) << "divisible by 400";
    EXPECT_EQ(28, DaysInMonth(1900, 2)) << "divisible by 100 only";
    EXPECT_EQ(29, DaysInMonth(2004, 2));
    EXPECT_EQ(30, DaysInMonth(2001, 4));
    EXPECT_EQ(30, DaysInMonth(2001, 11));
    EXPECT_EQ(31, DaysInMonth(2001, 12));
    EXPECT_EQ(31, DaysInMonth(2000, 0)) << "month 0 is December of the year before";
    EXPECT_EQ(31, DaysInMonth(2000, 13)) << "month 13 is January of the next year";
    EXPECT_EQ(0, DaysInMonth(2000, 25));
}

TEST(DueTime, MakeDueTimeCarriesOverflowingFields)
{
    struct Case {
        SYSTEMTIME input;
        const char* expected;
    } cases[] = {
        {Fields(2000, 3, 1, 9, 5, 7), "2000/03/01 09:05:07.000"},
        {Fields(2000, 2, 30, 12, 0, 0), "2000/03/01 12:00:00.000"},
        {Fields(1999, 2, 29, 12, 0, 0), "1999/03/01 12:00:00.000"},
        {Fields(2000, 12, 32, 12, 0, 0), "2001/01/01 12:00:00.000"},
        {Fields(2000, 13, 5, 12, 0, 0), "2001/01/05 12:00:00.000"},
        {Fields(2000, 0, 5, 12, 0, 0), "1999/12/05 12:00:00.000"},
        {Fields(2000, 1, 31, 23, 59, 60), "2000/02/01 00:00:00.000"},
        {Fields(2000, 3, 1, 12, 0, 150), "2000/03/01 12:02:30.000"},
        {Fields(2000, 3, 1, 12, 0, 0, 999), "2000/03/01 12:00:00.000"},
    };
    for (const Case& c : cases) {
        FILETIME stored = kSentinel;
        SYSTEMTIME input = c.input;
        input.wDayOfWeek = 6;
        EXPECT_EQ(1, MakeDueTime(nullptr, &input, &stored, 0)) << c.expected;
        EXPECT_EQ(c.expected, Text(stored));
    }
}

TEST(DueTime, MakeDueTimeRejectsImpossibleDatesSilentlyWithoutReport)
{
    // Anything that shows up while the calls run is closed and counted.
    struct Watch {
        int boxes = 0;
    } watch;
    {
        DeferredAction guard(
            0,
            [](void* context) {
                HWND box = WaitForThreadWindow("#32770", 1500);
                if (box) {
                    ++static_cast<Watch*>(context)->boxes;
                    PostMessageA(box, WM_COMMAND, IDOK, 0);
                }
            },
            &watch);

        SYSTEMTIME cases[] = {
            Fields(2000, 2, 70, 12),                         // one month-end carry leaves day 41 of March
            Fields(2000, 25, 1, 12),                         // one normalisation leaves month 13
            Fields(1600, 6, 15, 12), Fields(2000, 6, 0, 12), // day 0 is not the last day of May
        };
        for (const SYSTEMTIME& input : cases) {
            FILETIME stored = kSentinel;
            EXPECT_EQ(0, MakeDueTime(nullptr, &input, &stored, 0))
                << input.wYear << "/" << input.wMonth << "/" << input.wDay;
            EXPECT_TRUE(SameTime(kSentinel, stored)) << "a failed conversion keeps the stored time";
        }
    }
    EXPECT_EQ(0, watch.boxes) << "no error box without the report flag";
}

TEST(DueTime, MakeDueTimeReportsOneErrorBoxOwnedByTheGivenWindow)
{
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 10, 10, 50, 50, nullptr,
        nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, owner);

    struct Seen {
        int boxes = 0;
        HWND owner = nullptr;
        std::string text;
    } seen;
    FILETIME stored = kSentinel;
    SYSTEMTIME input = Fields(2000, 2, 70, 12);
    int result;
    {
        DeferredAction answer(
            0,
            [](void* context) {
                auto* seen = static_cast<Seen*>(context);
                for (DWORD wait : {5000u, 800u}) {
                    HWND box = WaitForThreadWindow("#32770", wait);
                    if (!box)
                        break;
                    ++seen->boxes;
                    seen->owner = GetWindow(box, GW_OWNER);
                    seen->text = MessageBoxText(box);
                    PostMessageA(box, WM_COMMAND, IDOK, 0);
                    for (int i = 0; i < 200 && IsWindow(box); ++i)
                        Sleep(10);
                }
            },
            &seen);
        result = MakeDueTime(owner, &input, &stored, 1);
    }
    DestroyWindow(owner);

    EXPECT_EQ(0, result);
    EXPECT_TRUE(SameTime(kSentinel, stored));
    EXPECT_EQ(1, seen.boxes) << "exactly one error box";
    EXPECT_EQ(owner, seen.owner);
    char expected[1024] = {};
    FormatErrorMessage(-1, nullptr, ERROR_INVALID_PARAMETER, expected, sizeof(expected));
    EXPECT_EQ(std::string(expected), seen.text) << "the system's message for an invalid parameter";
}

TEST(DueTime, DefaultDueTimeAddsTheConfiguredOffset)
{
    struct Case {
        SYSTEMTIME now;
        int amount;
        int unit;
        const char* expected; // null: no due time
    } cases[] = {
        {Fields(2000, 12, 31, 23, 50, 0), 15, 3, "2001/01/01 00:05:00.000"},
        {Fields(2000, 2, 28, 22, 10, 5), 3, 2, "2000/02/29 01:10:05.000"},
        {Fields(2000, 1, 30, 8, 0, 0), 2, 1, "2000/02/01 08:00:00.000"},
        {Fields(2000, 1, 31, 8, 30, 15), 1, 0, "2000/03/02 08:30:15.000"},
        {Fields(2001, 1, 31, 8, 30, 15), 1, 0, "2001/03/03 08:30:15.000"},
        {Fields(2000, 12, 15, 10, 0, 0), 13, 0, nullptr},
        {Fields(2000, 1, 31, 10, 0, 0), 60, 1, nullptr}, // beyond the end of February
        {Fields(2000, 6, 15, 10, 0, 0), 0, 1, nullptr},
        {Fields(2000, 6, 15, 10, 20, 30, 450), 5, 255, "2000/06/15 10:20:30.000"},
    };
    for (const Case& c : cases) {
        FILETIME stored{};
        DefaultDueTime(&c.now, c.amount, c.unit, &stored);
        std::string label
            = Text(Stored(c.now.wYear, c.now.wMonth, c.now.wDay, c.now.wHour, c.now.wMinute, c.now.wSecond))
            + " + " + std::to_string(c.amount) + " of unit " + std::to_string(c.unit);
        if (c.expected) {
            EXPECT_TRUE(IsTimeSet(&stored)) << label;
            EXPECT_EQ(c.expected, Text(stored)) << label;
        } else {
            EXPECT_FALSE(IsTimeSet(&stored)) << label << " gives no due time";
        }
    }
}

TEST(DueTime, TimeIsSetOnlyWhenBothHalvesAreNonZero)
{
    FILETIME both{1, 1}, lowZero{0, 1}, highZero{1, 0}, none{0, 0};
    EXPECT_TRUE(IsTimeSet(&both));
    EXPECT_FALSE(IsTimeSet(&lowZero));
    EXPECT_FALSE(IsTimeSet(&highZero));
    EXPECT_FALSE(IsTimeSet(&none));
    EXPECT_FALSE(IsTimeSet(nullptr));
}

TEST(DueTime, DateTextOfSetAndUnsetTimes)
{
    char buffer[64];
    std::memset(buffer, 'x', sizeof(buffer));
    FILETIME time = Stored(2000, 3, 1, 9, 5, 7);
    ASSERT_EQ(buffer, FormatDateText(&time, buffer));
    EXPECT_STREQ("2000/03/01 09:05:07", buffer);

    FILETIME unset{0, 0};
    FILETIME lowZero = Stored(2001, 3, 1, 8, 0, 0);
    lowZero.dwLowDateTime = 0;
    for (const FILETIME& t : {unset, lowZero}) {
        std::memset(buffer, 'x', sizeof(buffer));
        ASSERT_EQ(buffer, FormatDateText(&t, buffer));
        EXPECT_EQ(NoDueDateText(), std::string(buffer)) << "string 7031";
    }

    EXPECT_EQ(nullptr, FormatDateText(nullptr, buffer));
    EXPECT_EQ(nullptr, FormatDateText(&time, nullptr));
}

TEST(DueTime, DueStateAroundTheDueDay)
{
    NoteRecord record{};
    record.due = Stored(2001, 3, 1, 8, 0, 0);
    struct Case {
        FILETIME now;
        int state;
    } cases[] = {
        {Stored(2001, 2, 26, 12, 0, 0), kDueNone},
        {Stored(2001, 2, 27, 23, 59, 59), kDueNone},
        {Stored(2001, 2, 28, 0, 0, 0), kDueEve},
        {Stored(2001, 2, 28, 12, 0, 0), kDueEve},
        {Stored(2001, 2, 28, 23, 59, 59), kDueEve},
        {Stored(2001, 3, 1, 0, 0, 0), kDueToday},
        {Stored(2001, 3, 1, 7, 59, 0), kDueToday},
        {Stored(2001, 3, 1, 8, 1, 0), kDueOverdue},
        {Stored(2001, 3, 1, 23, 59, 59), kDueOverdue},
        {Stored(2001, 3, 2, 0, 0, 0), kDueOverdue},
        {Stored(2001, 4, 30, 12, 0, 0), kDueOverdue},
        {Stored(2003, 1, 1, 0, 0, 0), kDueOverdue},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.state, GetDueStateAt(&record, &c.now)) << "due 2001/03/01 08:00:00, now " << Text(c.now);
}

TEST(DueTime, EveCrossesMonthAndYearBoundaries)
{
    NoteRecord record{};
    record.due = Stored(2001, 1, 1, 0, 0, 0);
    FILETIME now = Stored(2000, 12, 31, 0, 0, 0);
    EXPECT_EQ(kDueEve, GetDueStateAt(&record, &now));
    now = Stored(2000, 12, 31, 23, 59, 59);
    EXPECT_EQ(kDueEve, GetDueStateAt(&record, &now));
    now = Stored(2000, 12, 30, 23, 59, 59);
    EXPECT_EQ(kDueNone, GetDueStateAt(&record, &now));
    now = Stored(2001, 1, 1, 0, 0, 1);
    EXPECT_EQ(kDueOverdue, GetDueStateAt(&record, &now));

    // In a leap year the eve of 1 March is 29 February.
    record.due = Stored(2000, 3, 1, 12, 0, 0);
    now = Stored(2000, 2, 29, 12, 0, 0);
    EXPECT_EQ(kDueEve, GetDueStateAt(&record, &now));
    now = Stored(2000, 2, 28, 12, 0, 0);
    EXPECT_EQ(kDueNone, GetDueStateAt(&record, &now));
}

TEST(DueTime, WaitUntilTheDueStateNextChanges)
{
    constexpr ULONGLONG kHour = 3600 * 1000;
    const FILETIME due = Stored(2001, 3, 1, 8, 0, 0);
    struct Case {
        FILETIME due, now;
        ULONGLONG waitMs;
    } cases[] = {
        {FILETIME{}, Stored(2001, 2, 10), kNoDueChange},
        {due, Stored(2001, 2, 10, 12, 0, 0), (17 * 24 + 12) * kHour}, // due next month: its eve
        {due, Stored(2001, 2, 27, 23, 59, 59), 1000},                 // the eve begins at midnight
        {due, Stored(2001, 2, 28, 12, 0, 0), 12 * kHour},             // the due day begins
        {due, Stored(2001, 3, 1, 7, 59, 59), 1001},                   // just after the due time
        {due, due, 1},
        {due, Stored(2001, 3, 1, 8, 0, 1), kNoDueChange},
        {due, Stored(2001, 3, 9), kNoDueChange},
        {Stored(2001, 1, 1), Stored(2000, 12, 30, 12, 0, 0), 12 * kHour},
        {Stored(2001, 1, 1), Stored(2000, 12, 31, 23, 59, 59), 1000},
        {Stored(2000, 3, 1, 12, 0, 0), Stored(2000, 2, 28, 12, 0, 0), 12 * kHour},
        {Stored(2000, 12, 31, 23, 0, 0), Stored(2001, 1, 1, 0, 30, 0), kNoDueChange},
        {Stored(2000, 2, 29, 23, 0, 0), Stored(2000, 3, 1, 0, 30, 0), kNoDueChange},
    };
    for (const Case& c : cases) {
        ULONGLONG wait = DueChangeWaitMs(&c.due, &c.now);
        EXPECT_EQ(c.waitMs, wait) << "due " << Text(c.due) << ", now " << Text(c.now);
        if (wait == kNoDueChange || wait != c.waitMs)
            continue;
        // The state really changes at the end of the wait, and not before.
        NoteRecord record{};
        record.due = c.due;
        int state = GetDueStateAt(&record, &c.now);
        FILETIME justBefore = Offset(c.now, static_cast<long long>(wait) * 10000 - 10000);
        FILETIME after = Offset(c.now, static_cast<long long>(wait) * 10000);
        EXPECT_EQ(state, GetDueStateAt(&record, &justBefore)) << "now " << Text(c.now);
        EXPECT_NE(state, GetDueStateAt(&record, &after)) << "now " << Text(c.now);
    }
}

// What the monitor's timer waits for: the UTC moment of a due change, under
// the daylight-saving rules of its own date (UTC+1, summer time from the
// last Sunday in March) and off the test hook's clock shift.
TEST(DueTime, LocalMomentsBecomeUtcUnderTheirOwnDaylightSavingRules)
{
    TIME_ZONE_INFORMATION zone = {-60, {}, {0, 10, 0, 5, 3, 0, 0, 0}, 0, {}, {0, 3, 0, 5, 2, 0, 0, 0}, -60};
    const FILETIME early = Stored(2001, 1, 1);
    // Local moment, UTC now, UTC moment.
    const FILETIME rows[][3] = {
        {Offset(Stored(2001, 7, 15, 12), 1), Stored(2002, 1, 1), Offset(Stored(2001, 7, 15, 10), 10000)},
        {Stored(2001, 3, 25, 1, 30), early, Stored(2001, 3, 25, 0, 30)},
        {Stored(2001, 3, 25, 3, 30), early, Stored(2001, 3, 25, 1, 30)}, // two hours on the wall, one real
        // 2:30 comes twice the night the clock goes back: the next time it does.
        {Stored(2001, 10, 28, 2, 30), Stored(2001, 10, 28, 0, 5), Stored(2001, 10, 28, 0, 30)},
        {Stored(2001, 10, 28, 2, 30), Stored(2001, 10, 28, 1, 5), Stored(2001, 10, 28, 1, 30)}};
    ShiftLocalClock(90);
    for (const auto& row : rows) {
        FILETIME utc = {};
        const FILETIME shifted = Offset(row[0], 90LL * 60 * 10000000);
        EXPECT_TRUE(LocalMomentToUtc(&shifted, &utc, &zone, &row[1]));
        EXPECT_EQ(0, CompareFileTime(&row[2], &utc)) << Text(row[0]) << " gave " << Text(utc);
    }
    ShiftLocalClock(-90);
}

TEST(DueTime, DueStateAtTheExactTick)
{
    NoteRecord record{};
    record.due = Offset(Stored(2001, 3, 1, 8, 0, 0), 1234567);
    FILETIME now = record.due;
    EXPECT_EQ(kDueToday, GetDueStateAt(&record, &now)) << "equal to the 100 ns";
    now = Offset(record.due, 1);
    EXPECT_EQ(kDueOverdue, GetDueStateAt(&record, &now));
    now = Offset(record.due, -1);
    EXPECT_EQ(kDueToday, GetDueStateAt(&record, &now));
}

TEST(DueTime, NoDueTimeMeansNoState)
{
    NoteRecord record{};
    FILETIME now = Stored(2001, 3, 1, 8, 0, 0);
    EXPECT_EQ(kDueNone, GetDueStateAt(&record, &now));
    record.due = now;
    record.due.dwLowDateTime = 0;
    EXPECT_EQ(kDueNone, GetDueStateAt(&record, &now)) << "a zero low half is unset";
    EXPECT_EQ(kDueNone, GetDueStateAt(nullptr, &now));
    EXPECT_EQ(kDueNone, GetDueState(nullptr));
    EXPECT_EQ(kDueNone, GetDueState(&record));
}

TEST(DueTime, DueStateReadsTheLocalClock)
{
    SYSTEMTIME local;
    GetLocalTime(&local);
    FILETIME now;
    GetLocalFileTime(&now);
    FILETIME fromFields;
    ASSERT_TRUE(SystemTimeToFileTime(&local, &fromFields));
    ULARGE_INTEGER a{{now.dwLowDateTime, now.dwHighDateTime}};
    ULARGE_INTEGER b{{fromFields.dwLowDateTime, fromFields.dwHighDateTime}};
    EXPECT_LT(a.QuadPart > b.QuadPart ? a.QuadPart - b.QuadPart : b.QuadPart - a.QuadPart, 50000000ull)
        << "local time, not UTC";

    const long long day = 24LL * 60 * 60 * 10000000;
    NoteRecord record{};
    record.due = Offset(now, -day);
    EXPECT_EQ(kDueOverdue, GetDueState(&record));
    record.due = Offset(now, 10 * day);
    EXPECT_EQ(kDueNone, GetDueState(&record));
}

TEST(AlarmTime, NextOccurrenceOfEveryRepeat)
{
    const FILETIME none = {};
    struct Case {
        FILETIME due;
        int kind, anchor;
        FILETIME now, next; // `next` unset: no occurrence
    } cases[] = {
        {Stored(2001, 3, 1, 8), kRepeatDaily, 0, Stored(2001, 3, 1, 7), Stored(2001, 3, 2, 8)},
        {Stored(2001, 3, 1, 8), kRepeatDaily, 0, Stored(2001, 3, 1, 8), Stored(2001, 3, 2, 8)},
        {Stored(2001, 3, 1, 8), kRepeatDaily, 0, Stored(2001, 3, 5, 12), Stored(2001, 3, 6, 8)},
        {Stored(2000, 12, 31, 22), kRepeatDaily, 0, Stored(2000, 12, 31, 23), Stored(2001, 1, 1, 22)},
        {Stored(2001, 3, 2, 9), kRepeatWeekdays, 0, Stored(2001, 3, 2, 9), Stored(2001, 3, 5, 9)}, // Fri
        {Stored(2001, 3, 2, 9), kRepeatWeekdays, 0, Stored(2001, 3, 3, 12), Stored(2001, 3, 5, 9)},
        {Stored(2001, 3, 5, 9), kRepeatWeekdays, 0, Stored(2001, 3, 4), Stored(2001, 3, 6, 9)},
        {Stored(2001, 12, 28, 10), kRepeatWeekly, 0, Stored(2001, 12, 28, 9), Stored(2002, 1, 4, 10)},
        {Stored(2001, 12, 28, 10), kRepeatWeekly, 0, Stored(2002, 1, 4, 11), Stored(2002, 1, 11, 10)},
        {Stored(2001, 1, 31, 8), kRepeatMonthly, 0, Stored(2001, 1, 31, 8), Stored(2001, 2, 28, 8)},
        {Stored(2001, 2, 28, 8), kRepeatMonthly, 31, Stored(2001, 2, 28, 9), Stored(2001, 3, 31, 8)},
        {Stored(2000, 1, 31, 8), kRepeatMonthly, 0, Stored(2000, 1, 1), Stored(2000, 2, 29, 8)},
        {Stored(2000, 2, 29, 8), kRepeatMonthly, 31, Stored(2000, 2, 29, 8), Stored(2000, 3, 31, 8)},
        {Stored(2001, 1, 31, 8), kRepeatMonthly, 0, Stored(2001, 6, 10), Stored(2001, 6, 30, 8)},
        {Stored(2001, 12, 15, 8), kRepeatMonthly, 0, Stored(2001, 12, 15, 9), Stored(2002, 1, 15, 8)},
        {Stored(2000, 2, 29, 9), kRepeatYearly, 0, Stored(2000, 2, 29, 9), Stored(2001, 2, 28, 9)},
        {Stored(2001, 2, 28, 9), kRepeatYearly, 29, Stored(2001, 1, 1), Stored(2002, 2, 28, 9)},
        {Stored(2003, 2, 28, 9), kRepeatYearly, 29, Stored(2003, 3, 1), Stored(2004, 2, 29, 9)},
        {Stored(2000, 2, 29, 9), kRepeatYearly, 0, Stored(2003, 6, 1), Stored(2004, 2, 29, 9)},
        {Stored(2000, 12, 31, 23), kRepeatYearly, 0, Stored(2001, 12, 31, 23), Stored(2002, 12, 31, 23)},
        {Stored(2001, 3, 1, 8), kRepeatNone, 0, Stored(2001, 3, 1, 9), none},
        {none, kRepeatDaily, 0, Stored(2001, 3, 1, 9), none},
    };
    for (const Case& c : cases) {
        FILETIME next = kSentinel;
        bool found = NextOccurrence(c.due, c.kind, c.anchor, c.now, &next);
        EXPECT_EQ(IsTimeSet(&c.next), found) << "due " << Text(c.due) << ", kind " << c.kind;
        EXPECT_EQ(Text(found ? c.next : kSentinel), Text(next))
            << "due " << Text(c.due) << ", kind " << c.kind << ", now " << Text(c.now);
    }
    // A stored day is followed only while the due date agrees with it.
    EXPECT_EQ(31, RepeatAnchorDay(Stored(2001, 2, 28), 31));
    EXPECT_EQ(30, RepeatAnchorDay(Stored(2000, 2, 29), 30));
    EXPECT_EQ(27, RepeatAnchorDay(Stored(2001, 2, 27), 31)) << "the due date was changed since";
    EXPECT_EQ(15, RepeatAnchorDay(Stored(2001, 3, 15), 0));
}

TEST(AlarmTime, SnoozeEndsAndHowLongAgo)
{
    const FILETIME now = Offset(Stored(2001, 3, 1, 22, 30, 0), 1234);
    EXPECT_EQ(Text(Offset(Stored(2001, 3, 1, 22, 40, 0), 1234)), Text(MinutesLater(now, 10)));
    EXPECT_EQ(Text(Stored(2001, 3, 2, 9)), Text(NextDayAt(now, 9)));
    EXPECT_EQ(Text(Stored(2001, 1, 1, 9)), Text(NextDayAt(Stored(2000, 12, 31, 1), 9)));
    NoteRecord record{};
    FILETIME end = kSentinel;
    EXPECT_FALSE(IsSnoozedAt(&record, &now));
    EXPECT_FALSE(SnoozeEnd(&record, &now, &end));
    record.snoozeUntil = MinutesLater(now, 10);
    EXPECT_TRUE(IsSnoozedAt(&record, &now));
    EXPECT_TRUE(SnoozeEnd(&record, &now, &end));
    EXPECT_EQ(Text(record.snoozeUntil), Text(end));
    EXPECT_FALSE(IsSnoozedAt(&record, &record.snoozeUntil)) << "over at its very tick";

    struct Case {
        long long minutesAgo;
        int unit, count;
        ULONGLONG changeMs;
    } cases[] = {
        {0, kElapsedNow, 0, 60000},
        {3, kElapsedMinutes, 3, 60000},
        {59, kElapsedMinutes, 59, 60000},
        {90, kElapsedHours, 1, 30 * 60000},
        {2 * 24 * 60 + 5, kElapsedDays, 2, (24 * 60 - 5) * 60000ULL},
    };
    for (const Case& c : cases) {
        Elapsed elapsed = ElapsedSince(Offset(now, -c.minutesAgo * 600000000LL), now);
        EXPECT_EQ(c.unit, elapsed.unit) << c.minutesAgo << " minutes ago";
        EXPECT_EQ(c.count, elapsed.count) << c.minutesAgo << " minutes ago";
        EXPECT_EQ(c.changeMs, elapsed.changeMs) << c.minutesAgo << " minutes ago";
    }
}
