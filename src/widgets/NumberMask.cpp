#include "widgets/NumberMask.h"

#include <cmath>
#include <cstdio>

namespace {

QString formatSection(const QString& mask, double value, const QLocale& locale);

} // namespace

QString formatNumber(const QString& mask, double value, const QLocale& locale)
{
    // "positive;negative": the second picture writes negatives without a
    // sign of its own, so that it can place (or leave out) the minus itself.
    const qsizetype split = mask.indexOf(QLatin1Char(';'));
    if (split < 0)
        return formatSection(mask, value, locale);
    const QString positive = mask.left(split);
    const QString negative = mask.mid(split + 1).section(QLatin1Char(';'), 0, 0);
    const QString written = formatSection(positive, value, locale);
    if (value >= 0 || !written.contains(locale.negativeSign()))
        return written;  // also a negative that rounds to zero
    return formatSection(negative, -value, locale);
}

namespace {

QString formatSection(const QString& mask, double value, const QLocale& locale)
{
    // Split the picture: literal prefix, the number part, literal suffix.
    auto isPlaceholder = [](QChar c) {
        return c == QLatin1Char('#') || c == QLatin1Char('0') || c == QLatin1Char(',') || c == QLatin1Char('.');
    };
    int first = 0;
    while (first < mask.size() && !isPlaceholder(mask[first]))
        ++first;
    int last = int(mask.size()) - 1;
    while (last >= first && !isPlaceholder(mask[last]))
        --last;
    const QString prefix = mask.left(first);
    const QString suffix = mask.mid(last + 1);
    const QString picture = mask.mid(first, last - first + 1);

    const int point = int(picture.indexOf(QLatin1Char('.')));
    const QString integerPart = point < 0 ? picture : picture.left(point);
    const QString decimalPart = point < 0 ? QString() : picture.mid(point + 1);
    const bool grouping = integerPart.contains(QLatin1Char(','));
    int minInteger = 0;
    bool seenZero = false;
    for (QChar c : integerPart) {
        if (c == QLatin1Char('0'))
            seenZero = true;
        if (seenZero && (c == QLatin1Char('0') || c == QLatin1Char('#')))
            ++minInteger;
    }
    const int maxDecimals = int(decimalPart.count(QLatin1Char('0')) + decimalPart.count(QLatin1Char('#')));
    int minDecimals = 0;
    for (int i = 0; i < decimalPart.size(); ++i) {
        if (decimalPart[i] == QLatin1Char('0'))
            minDecimals = i + 1;
    }

    // Round half away from zero at the picture's last decimal place.
    const bool negative = value < 0;
    double magnitude = std::fabs(value);
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%.*f", maxDecimals, magnitude + magnitude * 1e-15);
    QString digits = QString::fromLatin1(buffer);
    QString whole = digits.section(QLatin1Char('.'), 0, 0);
    QString fraction = maxDecimals > 0 ? digits.section(QLatin1Char('.'), 1, 1) : QString();
    while (fraction.size() > minDecimals && fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    if (whole == QLatin1String("0") && minInteger == 0)
        whole.clear();
    while (whole.size() < minInteger)
        whole.prepend(QLatin1Char('0'));
    if (grouping && whole.size() > 3) {
        const QString sep = locale.groupSeparator();
        QString grouped;
        for (int i = 0; i < whole.size(); ++i) {
            if (i > 0 && (whole.size() - i) % 3 == 0)
                grouped += sep;
            grouped += whole[i];
        }
        whole = grouped;
    }
    QString number = whole;
    if (!fraction.isEmpty())
        number += locale.decimalPoint() + fraction;
    const bool zero = whole.count(QLatin1Char('0')) == whole.size() && fraction.count(QLatin1Char('0')) == fraction.size();
    if (negative && !zero)
        number.prepend(locale.negativeSign());
    return prefix + number + suffix;
}

} // namespace
