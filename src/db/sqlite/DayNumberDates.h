#pragma once

// Dates: a day number counted from 1900-01-01 (SQL Server's day 0) and the
// milliseconds into that day. Stored and bound as 'YYYY-MM-DD HH:MM:SS.mmm'.

#include "DateOrder.h"
#include "FunctionSupport.h"

#include <optional>

namespace db::sqlite::fn {

constexpr std::int64_t kMsPerDay = 86400000;

struct Stamp {
    std::int64_t day = 0;
    int ms = 0;

    std::int64_t totalMs() const { return day * kMsPerDay + ms; }
    static Stamp fromTotalMs(std::int64_t total)
    {
        Stamp s;
        s.day = total >= 0 ? total / kMsPerDay : -((-total + kMsPerDay - 1) / kMsPerDay);
        s.ms = int(total - s.day * kMsPerDay);
        return s;
    }
};

struct Civil {
    int y = 1900, m = 1, d = 1;
};

constexpr std::int64_t daysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    // 1970-01-01 is day 719468 of this count and 1900-01-01 is 25567 days before it.
    return std::int64_t(era) * 146097 + doe - 719468 + 25567;
}

Civil civilFromDays(std::int64_t day);

constexpr bool isLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

constexpr int daysInMonth(int y, int m)
{
    constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : days[m - 1];
}

constexpr std::int64_t kDatetimeMinDay = daysFromCivil(1753, 1, 1);
constexpr std::int64_t kDatetimeMaxDay = daysFromCivil(9999, 12, 31);
constexpr std::int64_t kAnyMinDay = daysFromCivil(1, 1, 1);

inline bool inDatetimeRange(const Stamp& s) { return s.day >= kDatetimeMinDay && s.day <= kDatetimeMaxDay; }

// datetime keeps time in 1/300 s ticks: milliseconds read back as .000, .003
// or .007.
Stamp toDatetimePrecision(Stamp s);

// int and float convert to datetime as a count of days.
bool stampFromDays(double days, Stamp& out);

inline double daysOf(const Stamp& s) { return double(s.day) + double(s.ms) / double(kMsPerDay); }

struct DateTimeParts {
    int y, m, d, h, mi, s, ms;
};

DateTimeParts partsOf(const Stamp& st);

// 'YYYY-MM-DD HH:MM:SS.mmm' into buf (23 characters).
void formatCanonical(const Stamp& st, char* buf);
void resultStamp(sqlite3_context* ctx, const Stamp& st);

inline bool validTime(int h, int mi, int s, int ms) { return h < 24 && mi < 60 && s < 60 && ms < 1000; }

inline Stamp makeStamp(int y, int m, int d, int h, int mi, int s, int ms)
{
    return {daysFromCivil(y, m, d), ((h * 60 + mi) * 60 + s) * 1000 + ms};
}

// The stored form is recognised by shape alone: it is what a datetime value
// looks like on this engine.
bool parseCanonical(const u8* p, int n, Stamp& out);

// What a session sets for itself (SET DATEFORMAT) and the built-ins read:
// the SQLite functions get it as their user data.
struct SessionSettings {
    DateOrder dateOrder = DateOrder::Mdy;
};

// The order in which the session of a running function reads dates in numbers.
DateOrder sessionDateOrder(sqlite3_context* ctx);

inline constexpr const char* kMonthAbbrev[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// How text that starts with a four-digit year is read. date and datetime2
// read 'yyyy-mm-dd' as written whatever the session's order; datetime and
// smalldatetime follow the order, so that under dmy, dym and ydm
// '2017-02-03' is the 2nd of March.
enum class YearFirst { AsWritten, ByOrder };

// Date/time text in every form SQL Server reads in literals; nullopt when it
// is none of them or names no real day or time (`outOfRange`: the form was
// right, the day or time is not).
std::optional<Stamp> parseStamp(const u8* begin, const u8* end, DateOrder order,
                                YearFirst yearFirst = YearFirst::AsWritten, bool* outOfRange = nullptr);

enum class DateArg { Ok, Null, Bad };

// A date argument: text in any accepted form, or a number of days since
// 1900-01-01 (SQL Server converts int and float to datetime that way).
DateArg stampOf(sqlite3_value* v, Stamp& out, DateOrder order = DateOrder::Mdy);

// Reads a date argument; on NULL sets a NULL result, on bad text the error.
bool dateArg(sqlite3_context* ctx, sqlite3_value* v, Stamp& out);

} // namespace db::sqlite::fn
