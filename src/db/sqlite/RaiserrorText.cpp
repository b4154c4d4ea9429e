#include "RaiserrorText.h"

#include "db/Query.h"

namespace db::sqlite {

QString raiserrorText(const QString& format, const QVector<QVariant>& args)
{
    QString out;
    int next = 0;
    const auto take = [&]() -> QVariant { return next < args.size() ? args[next++] : QVariant(); };
    const auto number = [&](qsizetype& i) {
        if (i < format.size() && format[i] == QLatin1Char('*')) {
            ++i;
            const QVariant v = take();
            return v.isNull() ? -1 : int(variantToInteger(v));
        }
        int n = -1;
        while (i < format.size() && format[i].isDigit())
            n = std::max(n, 0) * 10 + format[i++].digitValue();
        return n;
    };
    for (qsizetype i = 0; i < format.size(); ++i) {
        if (format[i] != QLatin1Char('%') || i + 1 >= format.size()) {
            out += format[i];
            continue;
        }
        const qsizetype start = i++;
        if (format[i] == QLatin1Char('%')) {
            out += QLatin1Char('%');
            continue;
        }
        QString flags;
        while (i < format.size() && QStringLiteral("-+ #0").contains(format[i]))
            flags += format[i++];
        const int width = number(i);
        int precision = -1;
        if (i < format.size() && format[i] == QLatin1Char('.')) {
            ++i;
            precision = std::max(number(i), 0);
        }
        if (i < format.size() && (format[i] == QLatin1Char('h') || format[i] == QLatin1Char('l')))
            ++i;
        if (i >= format.size()) {
            out += format.mid(start);
            break;
        }
        const QChar type = format[i];
        if (!QStringLiteral("sdiuoxX").contains(type)) {
            // Not a conversion RAISERROR knows: written as it stands.
            out += format.mid(start, i - start + 1);
            continue;
        }
        const QVariant v = take();
        QString text;
        if (v.isNull()) {
            text = QStringLiteral("(null)");
        } else if (type == QLatin1Char('s')) {
            text = variantToText(v);
            if (precision >= 0)
                text.truncate(precision);
        } else if (type == QLatin1Char('d') || type == QLatin1Char('i') || type == QLatin1Char('u')) {
            const qint64 n = variantToInteger(v);
            text = QString::number(n);
            if (n >= 0 && flags.contains(QLatin1Char('+')))
                text.prepend(QLatin1Char('+'));
            else if (n >= 0 && flags.contains(QLatin1Char(' ')))
                text.prepend(QLatin1Char(' '));
        } else {
            const auto n = quint32(variantToInteger(v));
            text = QString::number(n, type == QLatin1Char('o') ? 8 : 16);
            if (type == QLatin1Char('X'))
                text = text.toUpper();
            if (flags.contains(QLatin1Char('#')) && n != 0)
                text.prepend(type == QLatin1Char('o') ? QStringLiteral("0") : QStringLiteral("0") + type);
        }
        if (width > text.size()) {
            if (flags.contains(QLatin1Char('-')))
                text = text.leftJustified(width);
            else
                text = text.rightJustified(width, flags.contains(QLatin1Char('0')) && type != QLatin1Char('s')
                                                      ? QLatin1Char('0') : QLatin1Char(' '));
        }
        out += text;
    }
    return out;
}

} // namespace db::sqlite
