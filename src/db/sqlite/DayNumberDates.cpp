#include "DayNumberDates.h"

#include <cmath>
#include <cstring>
#include <utility>

namespace db::sqlite::fn {

Civil civilFromDays(std::int64_t day)
{
    const std::int64_t z = day - 25567 + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int doe = int(z - era * 146097);
    const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int mp = (5 * doy + 2) / 153;
    Civil c;
    c.d = doy - (153 * mp + 2) / 5 + 1;
    c.m = mp < 10 ? mp + 3 : mp - 9;
    c.y = int(yoe + era * 400) + (c.m <= 2);
    return c;
}

Stamp toDatetimePrecision(Stamp s)
{
    const std::int64_t ticks = (std::int64_t(s.ms) * 3 + 5) / 10;
    const std::int64_t ms = (ticks * 10 + 1) / 3;
    if (ms >= kMsPerDay) {
        ++s.day;
        s.ms = int(ms - kMsPerDay);
    } else {
        s.ms = int(ms);
    }
    return s;
}

bool stampFromDays(double days, Stamp& out)
{
    if (!std::isfinite(days) || days < double(kAnyMinDay) || days > double(kDatetimeMaxDay) + 1)
        return false;
    const double whole = std::floor(days);
    Stamp s;
    s.day = std::int64_t(whole);
    std::int64_t ms = std::llround((days - whole) * double(kMsPerDay));
    if (ms >= kMsPerDay) {
        ++s.day;
        ms -= kMsPerDay;
    }
    s.ms = int(ms);
    out = toDatetimePrecision(s);
    return true;
}

DateTimeParts partsOf(const Stamp& st)
{
    const Civil c = civilFromDays(st.day);
    return {c.y, c.m, c.d, st.ms / 3600000, st.ms / 60000 % 60, st.ms / 1000 % 60, st.ms % 1000};
}

namespace {

inline void put2(char* p, int v)
{
    p[0] = char('0' + v / 10 % 10);
    p[1] = char('0' + v % 10);
}

inline void put3(char* p, int v)
{
    p[0] = char('0' + v / 100 % 10);
    put2(p + 1, v % 100);
}

inline void put4(char* p, int v)
{
    put2(p, v / 100 % 100);
    put2(p + 2, v % 100);
}

} // namespace

void formatCanonical(const Stamp& st, char* buf)
{
    const DateTimeParts t = partsOf(st);
    put4(buf, t.y);
    buf[4] = '-';
    put2(buf + 5, t.m);
    buf[7] = '-';
    put2(buf + 8, t.d);
    buf[10] = ' ';
    put2(buf + 11, t.h);
    buf[13] = ':';
    put2(buf + 14, t.mi);
    buf[16] = ':';
    put2(buf + 17, t.s);
    buf[19] = '.';
    put3(buf + 20, t.ms);
}

void resultStamp(sqlite3_context* ctx, const Stamp& st)
{
    char buf[24];
    formatCanonical(st, buf);
    sqlite3_result_text(ctx, buf, 23, SQLITE_TRANSIENT);
}

bool parseCanonical(const u8* p, int n, Stamp& out)
{
    if (n != 23 || p[4] != '-' || p[7] != '-' || p[10] != ' ' || p[13] != ':' || p[16] != ':' || p[19] != '.')
        return false;
    static constexpr int digitsAt[] = {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18, 20, 21, 22};
    for (int i : digitsAt)
        if (!isDigit(p[i]))
            return false;
    auto num = [p](int at, int len) {
        int v = 0;
        for (int i = 0; i < len; ++i)
            v = v * 10 + (p[at + i] - '0');
        return v;
    };
    const int y = num(0, 4), m = num(5, 2), d = num(8, 2);
    const int h = num(11, 2), mi = num(14, 2), s = num(17, 2), ms = num(20, 3);
    if (y < 1 || m < 1 || m > 12 || d < 1 || d > daysInMonth(y, m) || !validTime(h, mi, s, ms))
        return false;
    out = makeStamp(y, m, d, h, mi, s, ms);
    return true;
}

namespace {

const char* const kMonthNames[] = {"january", "february", "march", "april", "may", "june", "july",
                                   "august", "september", "october", "november", "december"};

inline bool isAlpha(u8 c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }

// A reader over date/time text; each step either takes its piece or leaves
// the position where it was.
struct DateReader {
    const u8* p;
    const u8* e;

    bool atEnd() const { return p == e; }
    bool peek(char c) const { return p < e && *p == u8(c); }
    bool take(char c)
    {
        if (!peek(c))
            return false;
        ++p;
        return true;
    }
    int skipBlanks()
    {
        int n = 0;
        while (p < e && *p == ' ') {
            ++p;
            ++n;
        }
        return n;
    }
    // Reads minCount..maxCount digits; the count read, 0 when fewer than minCount.
    int number(int& value, int minCount, int maxCount)
    {
        const u8* q = p;
        int v = 0;
        int n = 0;
        while (q < e && n < maxCount && isDigit(*q)) {
            v = v * 10 + (*q - '0');
            ++q;
            ++n;
        }
        if (n < minCount || (q < e && isDigit(*q)))
            return 0;
        p = q;
        value = v;
        return n;
    }
    // An English month name, full or by its first three letters.
    int month()
    {
        const u8* q = p;
        char word[12];
        int n = 0;
        while (q < e && isAlpha(*q)) {
            if (n == int(sizeof word))
                return 0;
            word[n++] = char(*q | 0x20);
            ++q;
        }
        for (int i = 0; i < 12; ++i) {
            const std::size_t full = std::strlen(kMonthNames[i]);
            if ((n == 3 && std::memcmp(word, kMonthNames[i], 3) == 0)
                || (std::size_t(n) == full && std::memcmp(word, kMonthNames[i], full) == 0)) {
                p = q;
                return i + 1;
            }
        }
        return 0;
    }
    bool meridiem(bool& pm)
    {
        if (e - p >= 2 && (p[1] | 0x20) == 'm' && ((p[0] | 0x20) == 'a' || (p[0] | 0x20) == 'p')) {
            pm = (p[0] | 0x20) == 'p';
            p += 2;
            return true;
        }
        return false;
    }
};

int expandYear(int y, int digitCount)
{
    if (digitCount == 2)
        return y < 50 ? 2000 + y : 1900 + y;
    return y;
}

// h[:mm[:ss[.fff|:fff]]] with an optional AM/PM, or h AM/PM.
bool readTime(DateReader& r, int& h, int& mi, int& s, int& ms)
{
    mi = s = ms = 0;
    if (!r.number(h, 1, 2))
        return false;
    if (r.take(':')) {
        if (!r.number(mi, 1, 2))
            return false;
        if (r.take(':')) {
            if (!r.number(s, 1, 2))
                return false;
            if (r.take('.')) {
                int frac = 0;
                const int n = r.number(frac, 1, 3);
                if (!n)
                    return false;
                ms = n == 1 ? frac * 100 : n == 2 ? frac * 10 : frac;
            } else if (r.take(':')) {
                if (!r.number(ms, 1, 3))
                    return false;
            }
        }
        r.skipBlanks();
        bool pm = false;
        if (r.meridiem(pm)) {
            if (h < 1 || h > 12)
                return false;
            h = h % 12 + (pm ? 12 : 0);
        }
        return true;
    }
    // A bare hour needs AM or PM.
    r.skipBlanks();
    bool pm = false;
    if (!r.meridiem(pm) || h < 1 || h > 12)
        return false;
    h = h % 12 + (pm ? 12 : 0);
    return true;
}

} // namespace

std::optional<Stamp> parseStamp(const u8* begin, const u8* end, DateOrder order, YearFirst yearFirst,
                               bool* outOfRange)
{
    if (outOfRange)
        *outOfRange = false;
    trimBlanks(begin, end);
    if (begin == end)
        return std::nullopt;
    Stamp canonical;
    if (parseCanonical(begin, int(end - begin), canonical))
        return canonical;

    DateReader r{begin, end};
    int y = 1900, m = 1, d = 1;
    bool isoDashes = false;
    bool haveDate = true;

    const u8* q = begin;
    while (q < end && isDigit(*q))
        ++q;
    const int lead = int(q - begin);
    const u8 sep = q < end ? *q : 0;

    if (lead > 0 && lead <= 2 && sep == ':') {
        haveDate = false;  // a time alone falls on 1900-01-01
    } else if ((lead == 8 || lead == 6) && (sep == 0 || sep == ' ')) {
        // yyyymmdd (or yymmdd): fixed widths, no separators.
        auto digitsAt = [begin](int at, int len) {
            int v = 0;
            for (int i = 0; i < len; ++i)
                v = v * 10 + (begin[at + i] - '0');
            return v;
        };
        y = expandYear(digitsAt(0, lead - 4), lead - 4);
        m = digitsAt(lead - 4, 2);
        d = digitsAt(lead - 2, 2);
        r.p = q;
    } else if (lead == 4 && (sep == '-' || sep == '/' || sep == '.')) {
        r.number(y, 4, 4);
        r.take(char(sep));
        if (!r.number(m, 1, 2) || !r.take(char(sep)) || !r.number(d, 1, 2))
            return std::nullopt;
        isoDashes = sep == '-';
        // ISO 8601 with its T reads the same in every order.
        if (yearFirst == YearFirst::ByOrder && dayBeforeMonth(order) && !(isoDashes && r.peek('T')))
            std::swap(m, d);
    } else if ((lead == 1 || lead == 2) && (sep == '/' || sep == '-' || sep == '.')) {
        // Three numbers: a four-digit one is the year wherever it stands,
        // else the year stands where the order puts it; the other two are
        // day and month in the order's sense ('17/25/08' under ydm is
        // 2017-08-25, under dmy no date).
        int part[3] = {0, 0, 0}, digits[3] = {0, 0, 0};
        digits[0] = r.number(part[0], 1, 2);
        r.take(char(sep));
        digits[1] = r.number(part[1], 1, 4);
        if (!digits[1] || !r.take(char(sep)))
            return std::nullopt;
        digits[2] = r.number(part[2], 1, 4);
        int at = -1;
        for (int i = 0; i < 3; ++i) {
            if (digits[i] == 0 || digits[i] == 3 || (digits[i] == 4 && at >= 0))
                return std::nullopt;
            if (digits[i] == 4)
                at = i;
        }
        if (at < 0)
            at = yearPosition(order);
        if (digits[at] != 2 && digits[at] != 4)
            return std::nullopt;
        y = expandYear(part[at], digits[at]);
        const int first = part[at == 0 ? 1 : 0], second = part[at == 2 ? 1 : 2];
        m = dayBeforeMonth(order) ? second : first;
        d = dayBeforeMonth(order) ? first : second;
    } else if (lead == 0 && isAlpha(*begin)) {
        // 'Jan 5 2024', 'Jan  5, 2024'
        m = r.month();
        if (!m || !r.skipBlanks() || !r.number(d, 1, 2))
            return std::nullopt;
        r.take(',');
        if (!r.skipBlanks())
            return std::nullopt;
        const int yd = r.number(y, 2, 4);
        if (yd != 2 && yd != 4)
            return std::nullopt;
        y = expandYear(y, yd);
    } else if ((lead == 1 || lead == 2) && sep == ' ') {
        // '05 Jan 2024'
        r.number(d, 1, 2);
        r.skipBlanks();
        m = r.month();
        if (!m || !r.skipBlanks())
            return std::nullopt;
        const int yd = r.number(y, 2, 4);
        if (yd != 2 && yd != 4)
            return std::nullopt;
        y = expandYear(y, yd);
    } else {
        return std::nullopt;
    }

    int h = 0, mi = 0, s = 0, ms = 0;
    if (!haveDate) {
        if (!readTime(r, h, mi, s, ms))
            return std::nullopt;
    } else if (!r.atEnd()) {
        if (isoDashes && r.take('T')) {
            if (!readTime(r, h, mi, s, ms))
                return std::nullopt;
        } else {
            if (!r.skipBlanks() || !readTime(r, h, mi, s, ms))
                return std::nullopt;
        }
    }
    if (!r.atEnd())
        return std::nullopt;
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > daysInMonth(y, m) || !validTime(h, mi, s, ms)) {
        if (outOfRange)
            *outOfRange = true;
        return std::nullopt;
    }
    return makeStamp(y, m, d, h, mi, s, ms);
}

DateOrder sessionDateOrder(sqlite3_context* ctx)
{
    const auto* session = static_cast<const SessionSettings*>(sqlite3_user_data(ctx));
    return session ? session->dateOrder : DateOrder::Mdy;
}

DateArg stampOf(sqlite3_value* v, Stamp& out, DateOrder order)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
        return DateArg::Null;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        return stampFromDays(sqlite3_value_double(v), out) ? DateArg::Ok : DateArg::Bad;
    default: {
        const u8* s = sqlite3_value_text(v);
        const int n = sqlite3_value_bytes(v);
        if (!s)
            return DateArg::Bad;
        if (parseCanonical(s, n, out))
            return DateArg::Ok;
        const auto st = parseStamp(s, s + n, order);
        if (!st)
            return DateArg::Bad;
        out = *st;
        return DateArg::Ok;
    }
    }
}

// Reads a date argument; on NULL sets a NULL result, on bad text the error.
bool dateArg(sqlite3_context* ctx, sqlite3_value* v, Stamp& out)
{
    switch (stampOf(v, out, sessionDateOrder(ctx))) {
    case DateArg::Ok:
        return true;
    case DateArg::Null:
        sqlite3_result_null(ctx);
        return false;
    case DateArg::Bad:
        if (sqlite3_value_type(v) == SQLITE_TEXT || sqlite3_value_type(v) == SQLITE_BLOB)
            fail(ctx, kDateFromText);
        else
            fail(ctx, overflowTo("datetime"));
        return false;
    }
    return false;
}

} // namespace db::sqlite::fn

namespace db::sqlite {

std::optional<DateOrder> dateOrderNamed(const QString& word)
{
    static const char* const names[] = {"mdy", "dmy", "ymd", "ydm", "myd", "dym"};
    const QString w = word.trimmed().toLower();
    for (int i = 0; i < int(std::size(names)); ++i) {
        if (w == QLatin1String(names[i]))
            return DateOrder(i);
    }
    return std::nullopt;
}

} // namespace db::sqlite
