#include "CommandLine.h"

#include <QStringList>

QString argumentAt(const QStringList& arguments, int position)
{
    return position >= 0 && position < arguments.size() ? arguments.at(position) : QString();
}

QDate toWorkDate(const QString& text, const QLocale& locale)
{
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    QString longYear = format;
    if (!longYear.contains(QLatin1String("yyyy")))
        longYear.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    QDate date = locale.toDate(text.trimmed(), longYear);
    if (!date.isValid()) {
        date = locale.toDate(text.trimmed(), format);
        // Two-digit years mean this century and the end of the last one.
        if (date.isValid() && date.year() < 1950)
            date = date.addYears(100);
    }
    if (!date.isValid())
        throw ConversionError(QStringLiteral("'%1' is not a valid date").arg(text));
    return date;
}

int toInteger(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok)
        throw ConversionError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return value;
}
