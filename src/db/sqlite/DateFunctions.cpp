// GETDATE, YEAR, MONTH, DAY, DATEPART, DATEADD and DATEDIFF.

#include "DayNumberDates.h"

#include <QDateTime>

#include <optional>

namespace db::sqlite::fn {
namespace {

void fnGetdate(sqlite3_context* ctx, int, sqlite3_value**)
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    resultStamp(ctx, toDatetimePrecision(makeStamp(d.year(), d.month(), d.day(), t.hour(), t.minute(),
                                                   t.second(), t.msec())));
}

void datePiece(sqlite3_context* ctx, sqlite3_value** argv, int which)
{
    Stamp st;
    if (!dateArg(ctx, argv[0], st))
        return;
    const Civil c = civilFromDays(st.day);
    sqlite3_result_int(ctx, which == 0 ? c.y : which == 1 ? c.m : c.d);
}

void fnYear(sqlite3_context* ctx, int, sqlite3_value** argv) { datePiece(ctx, argv, 0); }
void fnMonth(sqlite3_context* ctx, int, sqlite3_value** argv) { datePiece(ctx, argv, 1); }
void fnDay(sqlite3_context* ctx, int, sqlite3_value** argv) { datePiece(ctx, argv, 2); }

enum class Part { Year, Quarter, Month, DayOfYear, Day, Week, Weekday, Hour, Minute, Second, Millisecond };

std::optional<Part> partOf(sqlite3_value* v, std::string& word)
{
    TextArg t;
    if (!textOf(v, t))
        return std::nullopt;
    word.assign(t.view());
    std::string key;
    for (char c : word)
        if (c != ' ')
            key.push_back(asciiLower(c));
    static const struct {
        const char* name;
        Part part;
    } names[] = {
        {"year", Part::Year}, {"yy", Part::Year}, {"yyyy", Part::Year},
        {"quarter", Part::Quarter}, {"qq", Part::Quarter}, {"q", Part::Quarter},
        {"month", Part::Month}, {"mm", Part::Month}, {"m", Part::Month},
        {"dayofyear", Part::DayOfYear}, {"dy", Part::DayOfYear}, {"y", Part::DayOfYear},
        {"day", Part::Day}, {"dd", Part::Day}, {"d", Part::Day},
        {"week", Part::Week}, {"wk", Part::Week}, {"ww", Part::Week},
        {"weekday", Part::Weekday}, {"dw", Part::Weekday}, {"w", Part::Weekday},
        {"hour", Part::Hour}, {"hh", Part::Hour},
        {"minute", Part::Minute}, {"mi", Part::Minute}, {"n", Part::Minute},
        {"second", Part::Second}, {"ss", Part::Second}, {"s", Part::Second},
        {"millisecond", Part::Millisecond}, {"ms", Part::Millisecond},
    };
    for (const auto& n : names)
        if (key == n.name)
            return n.part;
    return std::nullopt;
}

bool partArg(sqlite3_context* ctx, sqlite3_value* v, const char* function, Part& out)
{
    std::string word;
    const auto part = partOf(v, word);
    if (!part) {
        fail(ctx, "'" + word + "' is not a recognized " + function + " option.");
        return false;
    }
    out = *part;
    return true;
}

std::int64_t floorDiv(std::int64_t a, std::int64_t b)
{
    const std::int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

// Weekday with SQL Server's default DATEFIRST 7: Sunday is 1. Day 0
// (1900-01-01) was a Monday.
int weekdayOf(std::int64_t day) { return int(day + 1 - floorDiv(day + 1, 7) * 7) + 1; }

int datePartValue(const Stamp& st, Part part)
{
    const DateTimeParts t = partsOf(st);
    switch (part) {
    case Part::Year: return t.y;
    case Part::Quarter: return (t.m - 1) / 3 + 1;
    case Part::Month: return t.m;
    case Part::DayOfYear: return int(st.day - daysFromCivil(t.y, 1, 1)) + 1;
    case Part::Day: return t.d;
    case Part::Week: {
        const std::int64_t jan1 = daysFromCivil(t.y, 1, 1);
        return int((st.day - jan1 + weekdayOf(jan1) - 1) / 7) + 1;
    }
    case Part::Weekday: return weekdayOf(st.day);
    case Part::Hour: return t.h;
    case Part::Minute: return t.mi;
    case Part::Second: return t.s;
    case Part::Millisecond: return t.ms;
    }
    return 0;
}

void fnDatepart(sqlite3_context* ctx, int /*argc*/, sqlite3_value** argv)
{
    Part part;
    if (!partArg(ctx, argv[0], "datepart", part))
        return;
    Stamp st;
    if (!dateArg(ctx, argv[1], st))
        return;
    sqlite3_result_int(ctx, datePartValue(st, part));
}

// DATENAME: month and weekday by their English names, other parts as the
// number's text.
void fnDatename(sqlite3_context* ctx, int /*argc*/, sqlite3_value** argv)
{
    static const char* const months[] = {"January", "February", "March",     "April",   "May",      "June",
                                         "July",    "August",   "September", "October", "November", "December"};
    static const char* const weekdays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                           "Thursday", "Friday", "Saturday"};
    Part part;
    if (!partArg(ctx, argv[0], "datename", part))
        return;
    Stamp st;
    if (!dateArg(ctx, argv[1], st))
        return;
    const int value = datePartValue(st, part);
    if (part == Part::Month)
        resultText(ctx, months[value - 1]);
    else if (part == Part::Weekday)
        resultText(ctx, weekdays[value - 1]);
    else
        resultText(ctx, std::to_string(value));
}

Stamp addMonths(const Stamp& st, std::int64_t months, bool& ok)
{
    const Civil c = civilFromDays(st.day);
    const std::int64_t index = std::int64_t(c.y) * 12 + (c.m - 1) + months;
    const std::int64_t y = floorDiv(index, 12);
    const int m = int(index - y * 12) + 1;
    ok = y >= 1 && y <= 9999;
    if (!ok)
        return st;
    const int d = std::min(c.d, daysInMonth(int(y), m));
    return {daysFromCivil(int(y), m, d), st.ms};
}

void fnDateadd(sqlite3_context* ctx, int /*argc*/, sqlite3_value** argv)
{
    Part part;
    if (!partArg(ctx, argv[0], "dateadd", part))
        return;
    std::int64_t n = 0;
    if (!intArg(ctx, argv[1], n))
        return;
    if (n < std::numeric_limits<std::int32_t>::min() || n > std::numeric_limits<std::int32_t>::max()) {
        fail(ctx, overflowTo("int"));
        return;
    }
    Stamp st;
    if (!dateArg(ctx, argv[2], st))
        return;
    bool ok = true;
    Stamp result = st;
    switch (part) {
    case Part::Year: result = addMonths(st, n * 12, ok); break;
    case Part::Quarter: result = addMonths(st, n * 3, ok); break;
    case Part::Month: result = addMonths(st, n, ok); break;
    case Part::DayOfYear:
    case Part::Day:
    case Part::Weekday: result.day += n; break;
    case Part::Week: result.day += n * 7; break;
    case Part::Hour: result = Stamp::fromTotalMs(st.totalMs() + n * 3600000); break;
    case Part::Minute: result = Stamp::fromTotalMs(st.totalMs() + n * 60000); break;
    case Part::Second: result = Stamp::fromTotalMs(st.totalMs() + n * 1000); break;
    case Part::Millisecond: result = Stamp::fromTotalMs(st.totalMs() + n); break;
    }
    result = toDatetimePrecision(result);
    if (!ok || !inDatetimeRange(result)) {
        fail(ctx, "Adding a value to a 'datetime' column caused an overflow.");
        return;
    }
    resultStamp(ctx, result);
}

// DATEDIFF counts the boundaries of the part crossed between the two
// instants, not whole elapsed units: Dec 31 to Jan 1 is one year. Weeks turn
// on Sunday whatever DATEFIRST says.
std::int64_t boundaryIndex(const Stamp& st, Part part)
{
    switch (part) {
    case Part::Year: return civilFromDays(st.day).y;
    case Part::Quarter: {
        const Civil c = civilFromDays(st.day);
        return std::int64_t(c.y) * 4 + (c.m - 1) / 3;
    }
    case Part::Month: {
        const Civil c = civilFromDays(st.day);
        return std::int64_t(c.y) * 12 + c.m - 1;
    }
    case Part::DayOfYear:
    case Part::Day:
    case Part::Weekday: return st.day;
    case Part::Week: return floorDiv(st.day + 1, 7);
    case Part::Hour: return st.day * 24 + st.ms / 3600000;
    case Part::Minute: return st.day * 1440 + st.ms / 60000;
    case Part::Second: return st.day * 86400 + st.ms / 1000;
    case Part::Millisecond: return st.totalMs();
    }
    return 0;
}

void fnDatediff(sqlite3_context* ctx, int /*argc*/, sqlite3_value** argv)
{
    Part part;
    if (!partArg(ctx, argv[0], "datediff", part))
        return;
    Stamp a, b;
    if (!dateArg(ctx, argv[1], a) || !dateArg(ctx, argv[2], b))
        return;
    const std::int64_t diff = boundaryIndex(b, part) - boundaryIndex(a, part);
    if (diff < std::numeric_limits<std::int32_t>::min() || diff > std::numeric_limits<std::int32_t>::max()) {
        fail(ctx, "The datediff function resulted in an overflow. The number of dateparts separating two "
                  "date/time instances is too large. Try to use datediff with a less precise datepart.");
        return;
    }
    sqlite3_result_int64(ctx, diff);
}

} // namespace

std::span<const FunctionDef> dateFunctions()
{
    static const FunctionDef rows[] = {
    {"ms_getdate", 0, fnGetdate, false},
    {"ms_year", 1, fnYear, true},
    {"ms_month", 1, fnMonth, true},
    {"ms_day", 1, fnDay, true},
    {"ms_dateadd", 3, nullIn<fnDateadd>, true},
    {"ms_datediff", 3, nullIn<fnDatediff>, true},
    {"ms_datepart", 2, nullIn<fnDatepart>, true},
    {"ms_datename", 2, nullIn<fnDatename>, true},
    };
    return rows;
}

} // namespace db::sqlite::fn
