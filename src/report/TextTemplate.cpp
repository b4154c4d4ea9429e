#include "report/TextTemplate.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QTime>

#include <cmath>

namespace report {

namespace {

bool readPlaceholder(const QString& inside, Placeholder* out, QString* error)
{
    // Dates carry ':' in their pictures ("hh:mm"), so only the first one
    // separates the name from the picture.
    const qsizetype colon = inside.indexOf(u':');
    const QString name = (colon < 0 ? inside : inside.left(colon)).trimmed();
    out->format = colon < 0 ? QString() : inside.mid(colon + 1);

    if (name.isEmpty()) {
        *error = QStringLiteral("empty placeholder [%1]").arg(inside);
        return false;
    }
    if (name == u"PAGE") {
        out->kind = Placeholder::Kind::Page;
    } else if (name == u"PAGES") {
        out->kind = Placeholder::Kind::Pages;
    } else if (name == u"COUNT") {
        out->kind = Placeholder::Kind::Count;
    } else if (name == u"LINE") {
        out->kind = Placeholder::Kind::Line;
    } else if (name.startsWith(u"Var.", Qt::CaseInsensitive)) {
        out->kind = Placeholder::Kind::Variable;
        out->name = name.mid(4).trimmed();
        if (out->name.isEmpty()) {
            *error = QStringLiteral("[%1] names no variable").arg(inside);
            return false;
        }
    } else if (name.contains(u'(') || name.contains(u')')) {
        const qsizetype open = name.indexOf(u'(');
        const QString function = name.left(open).trimmed();
        if (function != u"SUM") {
            *error = QStringLiteral("unknown function %1 in [%2] (known: SUM)")
                         .arg(function.isEmpty() ? QStringLiteral("()") : function, inside);
            return false;
        }
        if (open < 0 || !name.endsWith(u')')) {
            *error = QStringLiteral("[%1] should read [SUM(Field)]").arg(inside);
            return false;
        }
        out->kind = Placeholder::Kind::Sum;
        out->name = name.mid(open + 1, name.size() - open - 2).trimmed();
        if (out->name.isEmpty() || out->name.contains(u'(') || out->name.contains(u')')) {
            *error = QStringLiteral("[%1] should read [SUM(Field)]").arg(inside);
            return false;
        }
    } else {
        out->kind = Placeholder::Kind::Field;
        out->name = name;
    }
    return true;
}

// The digits of |value| in plain decimal, without exponent.
void decimalDigits(double value, QString* integerDigits, QString* fractionDigits)
{
    const QString text = QString::number(std::fabs(value), 'f', QLocale::FloatingPointShortest);
    const qsizetype point = text.indexOf(u'.');
    *integerDigits = point < 0 ? text : text.left(point);
    *fractionDigits = point < 0 ? QString() : text.mid(point + 1);
}

// Adds one to a string of decimal digits; returns true when it carried out
// of the leftmost digit.
bool incrementDigits(QString& digits)
{
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        if (digits[i] != u'9') {
            digits[i] = QChar(digits[i].unicode() + 1);
            return false;
        }
        digits[i] = u'0';
    }
    return true;
}

bool readNumber(const QVariant& value, double* number)
{
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
        *number = value.toDouble();
        return true;
    case QMetaType::QString: {
        // Text that already carries grouping commas still reads as a number.
        QString text = value.toString().trimmed();
        text.remove(u',');
        bool ok = false;
        *number = QLocale::c().toDouble(text, &ok);
        return ok;
    }
    default:
        return false;
    }
}

} // namespace

bool TextTemplate::parse(const QString& text, TextTemplate* out, QString* error)
{
    QList<Part> parts;
    QString literal;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c != u'[') {
            literal += c;
            ++i;
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == u'[') {
            literal += u'[';
            i += 2;
            continue;
        }
        const qsizetype close = text.indexOf(u']', i + 1);
        if (close < 0) {
            *error = QStringLiteral("'[' without a closing ']' in \"%1\"").arg(text);
            return false;
        }
        Part part;
        part.isPlaceholder = true;
        if (!readPlaceholder(text.mid(i + 1, close - i - 1), &part.placeholder, error))
            return false;
        if (!literal.isEmpty()) {
            parts.append(Part{literal, {}, false});
            literal.clear();
        }
        parts.append(part);
        i = close + 1;
    }
    if (!literal.isEmpty())
        parts.append(Part{literal, {}, false});
    out->m_parts = parts;
    return true;
}

bool TextTemplate::hasPlaceholders() const
{
    for (const Part& part : m_parts) {
        if (part.isPlaceholder)
            return true;
    }
    return false;
}

QString TextTemplate::render(const std::function<QString(const Placeholder&)>& value) const
{
    QString result;
    for (const Part& part : m_parts)
        result += part.isPlaceholder ? value(part.placeholder) : part.literal;
    return result;
}

bool isNumberFormat(const QString& format)
{
    return format.contains(u'0') || format.contains(u'#');
}

QString formatNumber(double value, const QString& format)
{
    if (std::isnan(value) || std::isinf(value))
        return QString::number(value);

    // The picture is the run of picture characters around the first digit
    // mark; whatever stands before or after it is literal text.
    const auto isPictureChar = [](QChar c) {
        return c == u'0' || c == u'#' || c == u',' || c == u'.';
    };
    qsizetype begin = 0;
    while (begin < format.size() && format[begin] != u'0' && format[begin] != u'#')
        ++begin;
    if (begin == format.size())
        return QString::number(value, 'f', QLocale::FloatingPointShortest);
    while (begin > 0 && isPictureChar(format[begin - 1]))
        --begin;
    qsizetype end = begin;
    while (end < format.size() && isPictureChar(format[end]))
        ++end;
    const QString prefix = format.left(begin);
    const QString picture = format.mid(begin, end - begin);
    const QString suffix = format.mid(end);

    const qsizetype point = picture.indexOf(u'.');
    const QString integerPicture = point < 0 ? picture : picture.left(point);
    const QString fractionPicture = point < 0 ? QString() : picture.mid(point + 1);
    const bool grouping = integerPicture.contains(u',');
    const qsizetype minInteger = integerPicture.count(u'0');
    const qsizetype minFraction = fractionPicture.count(u'0');
    const qsizetype maxFraction = minFraction + fractionPicture.count(u'#');

    QString integerDigits;
    QString fractionDigits;
    decimalDigits(value, &integerDigits, &fractionDigits);
    if (fractionDigits.size() > maxFraction) {
        const bool roundUp = fractionDigits[maxFraction] >= u'5';
        fractionDigits.truncate(maxFraction);
        if (roundUp && incrementDigits(fractionDigits) && incrementDigits(integerDigits))
            integerDigits.prepend(u'1');
    }
    while (fractionDigits.size() > minFraction && fractionDigits.endsWith(u'0'))
        fractionDigits.chop(1);
    while (fractionDigits.size() < minFraction)
        fractionDigits += u'0';

    while (integerDigits.startsWith(u'0'))
        integerDigits.remove(0, 1);
    while (integerDigits.size() < minInteger)
        integerDigits.prepend(u'0');
    if (grouping) {
        for (qsizetype i = integerDigits.size() - 3; i > 0; i -= 3)
            integerDigits.insert(i, u',');
    }

    const auto allZero = [](const QString& digits) {
        for (QChar c : digits) {
            if (c != u'0' && c != u',')
                return false;
        }
        return true;
    };
    // No "-0.00": a value that rounds to nothing has no sign.
    const bool isZero = allZero(integerDigits) && allZero(fractionDigits);
    QString result = prefix;
    if (value < 0 && !isZero)
        result += u'-';
    result += integerDigits;
    if (!fractionDigits.isEmpty())
        result += u'.' + fractionDigits;
    return result + suffix;
}

QString formatValue(const QVariant& value, const QString& format)
{
    if (value.isNull() || !value.isValid())
        return {};
    if (format.isEmpty())
        return value.toString();

    if (isNumberFormat(format)) {
        double number = 0;
        return readNumber(value, &number) ? formatNumber(number, format) : value.toString();
    }

    // Month and day names come out in Thai; years stay in the Christian era
    // unless the caller passes the date as text already.
    static const QLocale thai(QLocale::Thai, QLocale::Thailand);
    switch (value.typeId()) {
    case QMetaType::QDate:
        return thai.toString(value.toDate(), format);
    case QMetaType::QDateTime:
        return thai.toString(value.toDateTime(), format);
    case QMetaType::QTime:
        return thai.toString(value.toTime(), format);
    case QMetaType::QString: {
        const QString text = value.toString().trimmed();
        const QDateTime dateTime = QDateTime::fromString(text, Qt::ISODate);
        if (dateTime.isValid() && text.contains(u'T'))
            return thai.toString(dateTime, format);
        const QDate date = QDate::fromString(text, Qt::ISODate);
        if (date.isValid())
            return thai.toString(date, format);
        return value.toString();
    }
    default:
        return value.toString();
    }
}

} // namespace report
