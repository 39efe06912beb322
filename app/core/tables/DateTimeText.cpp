#include "app/core/tables/DateTimeText.h"

#include "app/core/tables/TextCells.h"

#include <cmath>
#include <cstdio>

namespace brennic {

namespace {

constexpr double MaxDateSeconds = 1e14;  // about 3 million years

int DaysInMonth(long long year, int month)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

// A run of 1 to max digits at `at`; `at` moves past it.
bool Digits(std::string_view s, std::size_t& at, std::size_t min, std::size_t max, int& value, std::size_t* count = nullptr)
{
    std::size_t n = 0;
    value = 0;
    while (at + n < s.size() && n < max && s[at + n] >= '0' && s[at + n] <= '9') value = value * 10 + (s[at + n++] - '0');
    if (n < min || (at + n < s.size() && n == max && s[at + n] >= '0' && s[at + n] <= '9'))
        return false;
    at += n;
    if (count)
        *count = n;
    return true;
}

// Exactly two digits at `at`, whatever follows.
bool TwoDigits(std::string_view s, std::size_t& at, int& value)
{
    if (at + 2 > s.size() || s[at] < '0' || s[at] > '9' || s[at + 1] < '0' || s[at + 1] > '9')
        return false;
    value = (s[at] - '0') * 10 + (s[at + 1] - '0');
    at += 2;
    return true;
}

bool Take(std::string_view s, std::size_t& at, char c)
{
    if (at < s.size() && s[at] == c) {
        ++at;
        return true;
    }
    return false;
}

// "am", "pm", "a", "p", "a.m.", "p.m." in any case; hour 12 is midnight or noon.
bool Meridiem(std::string_view rest, int& hour)
{
    std::string letters;
    for (char c : rest)
        if (c != '.' && c != ' ')
            letters += LowerAscii(c);
    if (letters != "a" && letters != "p" && letters != "am" && letters != "pm")
        return false;
    if (hour < 1 || hour > 12)
        return false;
    hour = hour % 12 + (letters[0] == 'p' ? 12 : 0);
    return true;
}

// The time of day at `at`, then the rest of the text: a zone or nothing.
bool ClockAndZone(std::string_view s, std::size_t at, TDateTimeCell& cell)
{
    // Minutes and seconds may be unpadded ("18:0:0"), as some scripts write them.
    int h, m, sec = 0;
    if (!Digits(s, at, 1, 2, h) || !Take(s, at, ':') || !Digits(s, at, 1, 2, m))
        return false;
    double fraction = 0;
    if (Take(s, at, ':')) {
        if (!Digits(s, at, 1, 2, sec))
            return false;
        if (Take(s, at, '.')) {
            double scale = 0.1;
            while (at < s.size() && s[at] >= '0' && s[at] <= '9') fraction += (s[at++] - '0') * scale, scale /= 10;
        }
    }
    const std::string_view rest = Trim(s.substr(at));
    cell.HasZone = false;
    cell.OffsetMinutes = 0;
    if (rest == "Z" || rest == "UTC") {
        cell.HasZone = true;
    } else if (!rest.empty() && (rest[0] == '+' || rest[0] == '-')) {
        std::size_t i = 1;
        int oh, om = 0;
        if (!Digits(rest, i, 2, 2, oh) || (Take(rest, i, ':'), !Digits(rest, i, 2, 2, om)) || i != rest.size() || oh > 18 ||
            om > 59)
            return false;
        cell.HasZone = true;
        cell.OffsetMinutes = (rest[0] == '-' ? -1 : 1) * (oh * 60 + om);
    } else if (!rest.empty() && !Meridiem(rest, h)) {
        return false;
    }
    if (h > 24 || m > 59 || sec > 60)
        return false;
    cell.SecondsOfDay = h * 3600 + m * 60 + sec + fraction;
    return true;
}

// The years a compact date-time (digits only) may have: any other run of
// ten digits is a Unix time.
constexpr int CompactFirstYear = 1900, CompactLastYear = 2100;

// "2026120817" (YYYYMMDDHH) and "202612081700" (YYYYMMDDHHMM), as national
// services write their times; only a valid date and hour counts.
bool CompactDateTime(std::string_view s, TDateTimeCell& cell)
{
    if (s.size() != 10 && s.size() != 12)
        return false;
    long long v = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    const int minute = s.size() == 12 ? int(v % 100) : 0;
    if (s.size() == 12)
        v /= 100;
    const int hour = int(v % 100), day = int(v / 100 % 100), month = int(v / 10000 % 100), year = int(v / 1000000);
    if (year < CompactFirstYear || year > CompactLastYear || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month) || hour > 24 || minute > 59 || (hour == 24 && minute > 0))
        return false;
    cell.Kind = TDateTimeCell::YearFirst;
    cell.First = year;
    cell.Second = month;
    cell.Third = day;
    cell.SecondsOfDay = hour * 3600 + minute * 60;
    return true;
}

// "2025-11-20", "2025/11/20", "2026/12/8", "20251120" (with a T after it),
// "20.11.2025", "20/11/25".
bool DatePart(std::string_view s, std::size_t& at, TDateTimeCell& cell)
{
    std::size_t n1 = 0, n2 = 0, n3 = 0;
    if (!Digits(s, at, 1, 8, cell.First, &n1))
        return false;
    if (n1 == 8) {  // compact ISO: only with a time after a T, or alone
        if (at < s.size() && s[at] != 'T')
            return false;
        cell.Kind = TDateTimeCell::YearFirst;
        cell.Third = cell.First % 100;
        cell.Second = cell.First / 100 % 100;
        cell.First /= 10000;
        return cell.First >= CompactFirstYear && cell.First <= CompactLastYear;
    }
    if (at >= s.size() || (s[at] != '-' && s[at] != '/' && s[at] != '.'))
        return false;
    const char separator = s[at++];
    if (!Digits(s, at, 1, 2, cell.Second, &n2) || !Take(s, at, separator) || !Digits(s, at, 1, 4, cell.Third, &n3) ||
        n3 == 3)
        return false;
    if (n1 == 4)
        cell.Kind = TDateTimeCell::YearFirst;
    else if (n1 <= 2 && separator == '.')
        cell.Kind = TDateTimeCell::Dotted;
    else if (n1 <= 2 && separator == '/')
        cell.Kind = TDateTimeCell::Slashed;
    else
        return false;
    // A year-first date's day has one or two digits; a year two or four.
    if (cell.Kind == TDateTimeCell::YearFirst ? n3 > 2 : n3 == 1)
        return false;
    if (cell.Kind != TDateTimeCell::YearFirst && n3 == 2)
        cell.Third += cell.Third < 70 ? 2000 : 1900;
    return true;
}

}  // namespace

bool ParseDateOrder(std::string_view text, EDateOrder& order)
{
    const std::string_view t = Trim(text);
    if (EqualsIgnoreCase(t, "dmy"))
        order = EDateOrder::DayFirst;
    else if (EqualsIgnoreCase(t, "mdy"))
        order = EDateOrder::MonthFirst;
    else if (EqualsIgnoreCase(t, "ymd"))
        order = EDateOrder::YearFirst;
    else if (EqualsIgnoreCase(t, "auto") || t.empty())
        order = EDateOrder::Auto;
    else
        return false;
    return true;
}

const char* DateOrderName(EDateOrder order)
{
    switch (order) {
    case EDateOrder::DayFirst: return "dmy";
    case EDateOrder::MonthFirst: return "mdy";
    case EDateOrder::YearFirst: return "ymd";
    default: return "auto";
    }
}

bool ParseClock(std::string_view text, double& secondsOfDay)
{
    TDateTimeCell cell;
    const std::string_view t = Trim(text);
    if (!ClockAndZone(t, 0, cell) || cell.HasZone)
        return false;
    secondsOfDay = cell.SecondsOfDay;
    return true;
}

bool ParseDateTimeCell(std::string_view text, TDateTimeCell& cell)
{
    const std::string_view s = Trim(text);
    std::size_t at = 0;
    cell = TDateTimeCell{};
    if (CompactDateTime(s, cell))
        return true;
    if (!DatePart(s, at, cell))
        return false;
    if (at == s.size())
        return true;  // a date alone: its midnight
    if (s[at] != 'T' && s[at] != ' ')
        return false;
    while (at < s.size() && (s[at] == ' ' || s[at] == 'T')) ++at;
    if (s.size() - at >= 4 && cell.Kind == TDateTimeCell::YearFirst && s.find(':', at) == std::string_view::npos) {
        // compact clock: 1700 or 170000
        int h, m, sec = 0;
        std::size_t i = at;
        if (!TwoDigits(s, i, h) || !TwoDigits(s, i, m) || (i < s.size() && !TwoDigits(s, i, sec)) ||
            i != s.size() || h > 24 || m > 59 || sec > 60)
            return false;
        cell.SecondsOfDay = h * 3600 + m * 60 + sec;
        return true;
    }
    return ClockAndZone(s, at, cell);
}

bool CellSeconds(const TDateTimeCell& cell, EDateOrder order, double& seconds)
{
    int y = cell.First, m = cell.Second, d = cell.Third;
    if (cell.Kind != TDateTimeCell::YearFirst) {
        y = cell.Third;
        const bool monthFirst = order == EDateOrder::MonthFirst;
        m = monthFirst ? cell.First : cell.Second;
        d = monthFirst ? cell.Second : cell.First;
        if (order == EDateOrder::YearFirst && cell.Kind == TDateTimeCell::Slashed) {
            // 25/11/20: a two-digit year first
            y = cell.First + (cell.First < 70 ? 2000 : 1900);
            m = cell.Second;
            d = cell.Third % 100;
            if (cell.Third >= 100)
                return false;
        }
    }
    if (m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, m))
        return false;
    seconds = double(DaysFromCivil(y, unsigned(m), unsigned(d))) * 86400 + cell.SecondsOfDay - cell.OffsetMinutes * 60.0;
    return true;
}

bool UnixTime(std::string_view text, double& seconds)
{
    const std::string_view t = Unquoted(text);
    const std::size_t point = t.find('.');
    const std::string_view whole = t.substr(0, point);
    if (whole.size() != 10 && whole.size() != 13)
        return false;
    long long v = 0;
    for (char c : whole) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    // A fraction of the unit, as a script's time.time() writes it.
    double fraction = 0;
    if (point != std::string_view::npos) {
        const std::string_view digits = t.substr(point + 1);
        if (digits.empty() || digits.size() > 9)
            return false;
        double scale = 0.1;
        for (char c : digits) {
            if (c < '0' || c > '9')
                return false;
            fraction += (c - '0') * scale;
            scale /= 10;
        }
    }
    seconds = whole.size() == 13 ? (double(v) + fraction) / 1000 : double(v) + fraction;
    return true;
}

bool ParseDateTime(std::string_view text, double& seconds, int& offsetMinutes, bool* hasZone)
{
    TDateTimeCell cell;
    const std::string_view s = Trim(text);
    // ISO only: four-digit year, dashes, a time.
    if (s.size() < 16 || s[4] != '-' || !ParseDateTimeCell(s, cell) || cell.Kind != TDateTimeCell::YearFirst)
        return false;
    if (!CellSeconds(cell, EDateOrder::YearFirst, seconds))
        return false;
    offsetMinutes = cell.OffsetMinutes;
    if (hasZone)
        *hasZone = cell.HasZone;
    return true;
}

bool ParseTimeZone(std::string_view text, int& offsetMinutes)
{
    const std::string_view t = Trim(text);
    if (EqualsIgnoreCase(t, "UTC") || t == "Z") {
        offsetMinutes = 0;
        return true;
    }
    if (t.size() < 3 || (t[0] != '+' && t[0] != '-'))
        return false;
    std::size_t at = 1;
    int h = 0, m = 0;
    if (!Digits(t, at, 2, 2, h))
        return false;
    Take(t, at, ':');
    if (at < t.size() && !Digits(t, at, 2, 2, m))
        return false;
    if (at != t.size() || h > 18 || m > 59)
        return false;
    offsetMinutes = (t[0] == '-' ? -1 : 1) * (h * 60 + m);
    return true;
}

bool ParseDate(std::string_view text, long long& days)
{
    const std::string_view t = Trim(text);
    TDateTimeCell cell;
    double seconds;
    if (t.size() != 10 || t[4] != '-' || !ParseDateTimeCell(t, cell) || !CellSeconds(cell, EDateOrder::YearFirst, seconds))
        return false;
    days = (long long)std::floor(seconds / 86400);
    return true;
}

long long DaysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + (long long)doe - 719468;
}

std::string ClockTimeText(double seconds)
{
    const std::string text = DateTimeText(seconds);
    return text.size() == 16 ? text.substr(11) : text;
}

std::string DateTimeText(double seconds)
{
    // Howard Hinnant's civil_from_days, for years within a few million of ours.
    if (!(std::abs(seconds) < MaxDateSeconds))
        return "(beyond the calendar)";
    const long long minutes = (long long)std::floor(seconds / 60 + 1e-9);
    long long z = (long long)std::floor(double(minutes) / 1440) + 719468;
    const long long ofDay = minutes - (z - 719468) * 1440;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    const long long y = (long long)yoe + era * 400 + (m <= 2);
    char text[96];
    std::snprintf(text, sizeof text, "%04lld-%02u-%02u %02lld:%02lld", y, m, d, ofDay / 60, ofDay % 60);
    return text;
}

}  // namespace brennic
