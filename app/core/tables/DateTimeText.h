// Dates and times as loggers and weather services write them: ISO 8601,
// compact ISO, day.month.year, day/month or month/day with two- or
// four-digit years, 12- or 24-hour clocks, and Unix times.
#pragma once

#include <string>
#include <string_view>

namespace brennic {

// Which of the two first fields of a date like 11/12/25 is the day.
enum class EDateOrder { Auto, DayFirst, MonthFirst, YearFirst };
// "dmy", "mdy", "ymd" (or "auto"); false for anything else.
bool ParseDateOrder(std::string_view text, EDateOrder& order);
const char* DateOrderName(EDateOrder order);

// A date-time cell taken apart, before the order of its date fields is known.
struct TDateTimeCell {
    enum EKind { YearFirst, Dotted, Slashed } Kind = YearFirst;
    int First = 0, Second = 0, Third = 0;  // the date's fields as written
    double SecondsOfDay = 0;
    bool HasZone = false;  // "Z" or an offset: the time is on the UTC scale
    int OffsetMinutes = 0;
};

// A time of day, "17:00", "5:00p", "5:00 PM", "17:00:30.5"; false otherwise.
bool ParseClock(std::string_view text, double& secondsOfDay);
// A date alone, or a date and a time (with an optional zone); false otherwise.
bool ParseDateTimeCell(std::string_view text, TDateTimeCell& cell);
// Seconds since 1970 on the cell's own clock (UTC when it has a zone);
// false when no date of that order exists (day 31 of month 11, month 13).
bool CellSeconds(const TDateTimeCell& cell, EDateOrder order, double& seconds);

// Unix time: ten digits (seconds) or thirteen (milliseconds), with or
// without a fraction.
bool UnixTime(std::string_view text, double& seconds);

// Seconds since 1970 (UTC) of an ISO-8601 date-time "2026-12-08T18:00",
// "2026-12-08 18:00:00", with optional seconds, fraction, "Z" or "+hh:mm";
// false when the text is not one. offsetMinutes receives the offset given,
// hasZone whether there was one.
bool ParseDateTime(std::string_view text, double& seconds, int& offsetMinutes, bool* hasZone = nullptr);

// A time zone as --time-zone takes it: "UTC" (0), "+01:00", "-0530";
// "local" and anything else false.
bool ParseTimeZone(std::string_view text, int& offsetMinutes);
// A date alone, "2026-12-08", as days since 1970; false otherwise.
bool ParseDate(std::string_view text, long long& days);

// Days from 1970-01-01 to a date of the Gregorian calendar.
long long DaysFromCivil(long long year, unsigned month, unsigned day);
// "2026-12-08 18:00" of seconds since 1970 on a clock.
std::string DateTimeText(double seconds);
// Its hour and minute alone, "18:00" (what DateTimeText says beyond the calendar).
std::string ClockTimeText(double seconds);

}  // namespace brennic
