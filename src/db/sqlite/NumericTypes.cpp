#include "NumericTypes.h"

#include <algorithm>

namespace db::sqlite {
namespace {

constexpr int kMaxPrecision = 38;

TypeName named(const char* name)
{
    TypeName t;
    t.name = QString::fromLatin1(name);
    return t;
}

TypeName decimal(int precision, int scale)
{
    TypeName t = named("DECIMAL");
    t.precision = precision;
    t.scale = scale;
    return t;
}

// Order of SQL Server's type precedence among the number types, highest
// first; -1 for anything else.
int rank(const TypeName& t)
{
    static const char* const order[] = {"FLOAT", "REAL", "DECIMAL", "MONEY", "SMALLMONEY",
                                        "BIGINT", "INT", "SMALLINT", "TINYINT", "BIT"};
    const QString name = isDecimalType(t) ? QStringLiteral("DECIMAL")
        : t.name == QLatin1String("INTEGER") ? QStringLiteral("INT") : t.name;
    for (int i = 0; i < int(std::size(order)); ++i)
        if (name == QLatin1String(order[i]))
            return int(std::size(order)) - i;
    return -1;
}

// Every exact number type as the decimal that holds it.
TypeName asDecimal(const TypeName& t)
{
    if (isDecimalType(t))
        return decimal(t.precision > 0 ? t.precision : 18, std::max(t.scale, 0));
    if (t.name == QLatin1String("MONEY"))
        return decimal(19, 4);
    if (t.name == QLatin1String("SMALLMONEY"))
        return decimal(10, 4);
    if (t.name == QLatin1String("BIGINT"))
        return decimal(19, 0);
    if (t.name == QLatin1String("SMALLINT"))
        return decimal(5, 0);
    if (t.name == QLatin1String("TINYINT"))
        return decimal(3, 0);
    if (t.name == QLatin1String("BIT"))
        return decimal(1, 0);
    return decimal(10, 0);
}

// Past 38 digits the scale gives way so that the whole part keeps its
// digits, down to six decimals.
TypeName capped(int precision, int scale, bool multiplicative)
{
    if (precision <= kMaxPrecision)
        return decimal(precision, scale);
    const int whole = precision - scale;
    if (!multiplicative)
        return decimal(kMaxPrecision, std::max(kMaxPrecision - whole, std::min(scale, 6)));
    if (whole < 32)
        return decimal(kMaxPrecision, std::min(scale, kMaxPrecision - whole));
    return decimal(kMaxPrecision, std::min(scale, 6));
}

// Dates above numbers and text in SQL Server's precedence, in its order;
// -1 for anything else.
int dateRank(const TypeName& t)
{
    static const char* const order[] = {"DATETIME2", "DATETIME", "SMALLDATETIME", "DATE"};
    for (int i = 0; i < int(std::size(order)); ++i)
        if (t.name == QLatin1String(order[i]))
            return int(std::size(order)) - i;
    return -1;
}

bool isUnicodeText(const TypeName& t)
{
    return t.name == QLatin1String("NCHAR") || t.name == QLatin1String("NVARCHAR")
        || t.name == QLatin1String("NTEXT") || t.name == QLatin1String("SYSNAME");
}

// Characters a text type holds: -2 for (MAX), 1 for char without a length.
int textLength(const TypeName& t)
{
    if (t.name == QLatin1String("SYSNAME"))
        return 128;
    return t.length == -2 ? -2 : std::max(t.length, 1);
}

TypeName text(bool unicode, const char* name, int length)
{
    TypeName t = named(name);
    if (unicode)
        t.name.prepend(QLatin1Char('N'));
    t.length = length;
    return t;
}

TypeName asWritten(const TypeName& t)
{
    if (t.name == QLatin1String("INTEGER"))
        return named("INT");
    if (t.name == QLatin1String("CHARACTER")) {
        TypeName c = t;
        c.name = QStringLiteral("CHAR");
        return c;
    }
    return t;
}

} // namespace

bool isMoneyType(const TypeName& t)
{
    return t.name == QLatin1String("MONEY") || t.name == QLatin1String("SMALLMONEY");
}

bool isDecimalType(const TypeName& t)
{
    return t.name == QLatin1String("DECIMAL") || t.name == QLatin1String("NUMERIC") || t.name == QLatin1String("DEC");
}

bool isExactDecimalType(const TypeName& t)
{
    return isMoneyType(t) || isDecimalType(t);
}

bool mayHoldWideValue(const TypeName& t)
{
    constexpr int kDoubleDigits = 15;
    if (t.name == QLatin1String("MONEY"))
        return true;
    return isDecimalType(t) && (t.precision <= 0 ? 18 : t.precision) > kDoubleDigits;
}

bool isNumberType(const TypeName& t)
{
    return rank(t) >= 0;
}

QString typeNameInMessages(const TypeName& t)
{
    if (t.name == QLatin1String("INTEGER"))
        return QStringLiteral("int");
    if (t.name == QLatin1String("DEC"))
        return QStringLiteral("decimal");
    return t.name.toLower();
}

TypeName numberLiteralType(const QString& text)
{
    if (text.size() > 1 && text[1].toLower() == QLatin1Char('x'))
        return named("VARBINARY");
    if (text.contains(QLatin1Char('e'), Qt::CaseInsensitive))
        return named("FLOAT");
    const int point = text.indexOf(QLatin1Char('.'));
    const QString whole = (point < 0 ? text : text.left(point)).section(QLatin1Char('-'), -1);
    const QString fraction = point < 0 ? QString() : text.mid(point + 1);
    if (point < 0) {
        bool ok = false;
        const qint64 v = text.toLongLong(&ok);
        if (ok && v >= -2147483648LL && v <= 2147483647LL)
            return named("INT");
    }
    QString digits = whole;
    while (digits.size() > 1 && digits.startsWith(QLatin1Char('0')))
        digits.remove(0, 1);
    const int scale = int(fraction.size());
    const int wholeDigits = digits == QLatin1String("0") ? 0 : int(digits.size());
    return decimal(std::min(std::max(wholeDigits + scale, 1), kMaxPrecision), std::min(scale, kMaxPrecision));
}

TypeName integerConstantAsDecimal(const QString& text)
{
    QString digits = text;
    digits.remove(QLatin1Char('-'));
    while (digits.size() > 1 && digits.startsWith(QLatin1Char('0')))
        digits.remove(0, 1);
    return decimal(std::clamp(int(digits.size()), 1, kMaxPrecision), 0);
}

TypeName arithmeticType(const QString& op, const TypeName& a, const TypeName& b)
{
    const int ra = rank(a), rb = rank(b);
    if (ra < 0 || rb < 0)
        return TypeName();
    const TypeName& high = ra >= rb ? a : b;
    if (high.name == QLatin1String("FLOAT") || high.name == QLatin1String("REAL"))
        return named(high.name == QLatin1String("REAL") ? "REAL" : "FLOAT");
    if (isMoneyType(high))
        return named(a.name == QLatin1String("SMALLMONEY") && b.name == QLatin1String("SMALLMONEY") ? "SMALLMONEY"
                                                                                                     : "MONEY");
    if (!isDecimalType(high)) {
        TypeName t = high;
        if (t.name == QLatin1String("INTEGER") || t.name == QLatin1String("BIT"))
            t = named("INT");
        return t;
    }
    const TypeName x = asDecimal(a), y = asDecimal(b);
    const int p1 = x.precision, s1 = x.scale, p2 = y.precision, s2 = y.scale;
    if (op == QLatin1String("+") || op == QLatin1String("-")) {
        const int s = std::max(s1, s2);
        return capped(std::max(p1 - s1, p2 - s2) + s + 1, s, false);
    }
    if (op == QLatin1String("*"))
        return capped(p1 + p2 + 1, s1 + s2, true);
    if (op == QLatin1String("/")) {
        const int s = std::max(6, s1 + p2 + 1);
        return capped(p1 - s1 + s2 + s, s, true);
    }
    if (op == QLatin1String("%")) {
        const int s = std::max(s1, s2);
        return capped(std::min(p1 - s1, p2 - s2) + s, s, false);
    }
    return TypeName();
}

TypeName sumType(const TypeName& argument)
{
    if (isDecimalType(argument))
        return decimal(kMaxPrecision, std::max(argument.scale, 0));
    if (isMoneyType(argument))
        return named("MONEY");
    if (argument.name == QLatin1String("BIGINT"))
        return argument;
    if (argument.isInteger())
        return named("INT");
    if (argument.name == QLatin1String("REAL"))
        return named("FLOAT");
    return argument;
}

TypeName averageType(const TypeName& argument)
{
    TypeName t = sumType(argument);
    if (isDecimalType(t))
        t.scale = std::max(t.scale, 6);
    return t;
}

TypeName unionType(const TypeName& a, const TypeName& b)
{
    if (a.name.isEmpty() || b.name.isEmpty())
        return TypeName();
    const int da = dateRank(a), db = dateRank(b);
    if (da >= 0 || db >= 0)
        return da >= db ? a : b;
    const int ra = rank(a), rb = rank(b);
    if (ra >= 0 && rb >= 0) {
        const TypeName& high = ra >= rb ? a : b;
        if (!isDecimalType(high))
            return asWritten(high);
        const TypeName x = asDecimal(a), y = asDecimal(b);
        const int s = std::max(x.scale, y.scale);
        return capped(std::max(x.precision - x.scale, y.precision - y.scale) + s, s, false);
    }
    // Text beside a number is read as that number.
    if (ra >= 0 && b.isText())
        return asWritten(a);
    if (rb >= 0 && a.isText())
        return asWritten(b);
    if (!a.isText() || !b.isText())
        return TypeName();
    const bool unicode = isUnicodeText(a) || isUnicodeText(b);
    const auto isLarge = [](const TypeName& t) { return t.name == QLatin1String("TEXT") || t.name == QLatin1String("NTEXT"); };
    if (isLarge(a) || isLarge(b))
        return text(unicode, "TEXT", -1);
    const auto isFixed = [](const TypeName& t) {
        return t.name == QLatin1String("CHAR") || t.name == QLatin1String("NCHAR") || t.name == QLatin1String("CHARACTER");
    };
    const int la = textLength(a), lb = textLength(b);
    return text(unicode, isFixed(a) && isFixed(b) ? "CHAR" : "VARCHAR", la == -2 || lb == -2 ? -2 : std::max(la, lb));
}

TypeName concatenationType(const TypeName& a, const TypeName& b)
{
    if (!a.isText() || !b.isText())
        return TypeName();
    const bool unicode = isUnicodeText(a) || isUnicodeText(b);
    const int la = textLength(a), lb = textLength(b);
    // Without a (MAX) among them the result stops at a page's bytes.
    const int length = la == -2 || lb == -2 ? -2 : std::min(la + lb, unicode ? 4000 : 8000);
    return text(unicode, "VARCHAR", length);
}

TypeName concatType(const std::vector<TypeName>& arguments)
{
    TypeName result;
    for (const TypeName& a : arguments) {
        TypeName part = a;
        if (a.name.isEmpty())
            part = text(false, "VARCHAR", 8000);
        else if (!a.isText())
            part = text(false, "VARCHAR", a.isInteger() ? 12 : 30);
        result = result.name.isEmpty() ? part : concatenationType(result, part);
    }
    return result;
}

} // namespace db::sqlite
