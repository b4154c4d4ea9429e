#include "widgets/NumberMask.h"

#include <QHash>

#include <cmath>
#include <cstdio>
#include <string_view>

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

// A picture read once: the grids and the quantity texts write thousands of
// numbers a product load through a handful of pictures.
struct Picture {
    QString prefix;
    QString suffix;
    bool grouping = false;
    int minInteger = 0;
    int maxDecimals = 0;
    int minDecimals = 0;
};

Picture readPicture(const QString& mask)
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
    Picture p;
    p.prefix = mask.left(first);
    p.suffix = mask.mid(last + 1);
    const QString picture = mask.mid(first, last - first + 1);

    const int point = int(picture.indexOf(QLatin1Char('.')));
    const QString integerPart = point < 0 ? picture : picture.left(point);
    const QString decimalPart = point < 0 ? QString() : picture.mid(point + 1);
    p.grouping = integerPart.contains(QLatin1Char(','));
    bool seenZero = false;
    for (QChar c : integerPart) {
        if (c == QLatin1Char('0'))
            seenZero = true;
        if (seenZero && (c == QLatin1Char('0') || c == QLatin1Char('#')))
            ++p.minInteger;
    }
    p.maxDecimals = int(decimalPart.count(QLatin1Char('0')) + decimalPart.count(QLatin1Char('#')));
    for (int i = 0; i < decimalPart.size(); ++i) {
        if (decimalPart[i] == QLatin1Char('0'))
            p.minDecimals = i + 1;
    }
    return p;
}

const Picture& pictureOf(const QString& mask)
{
    thread_local QHash<QString, Picture> known;
    auto it = known.constFind(mask);
    if (it == known.constEnd()) {
        if (known.size() > 256)
            known.clear();
        it = known.insert(mask, readPicture(mask));
    }
    return *it;
}

QString formatSection(const QString& mask, double value, const QLocale& locale)
{
    const Picture& p = pictureOf(mask);

    // Round half away from zero at the picture's last decimal place.
    const bool negative = value < 0;
    const double magnitude = std::fabs(value);
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%.*f", p.maxDecimals, magnitude + magnitude * 1e-15);
    const std::string_view digits(buffer);
    const size_t point = digits.find('.');
    std::string_view whole = digits.substr(0, point);
    std::string_view fraction = p.maxDecimals > 0 && point != std::string_view::npos ? digits.substr(point + 1)
                                                                                      : std::string_view();
    while (int(fraction.size()) > p.minDecimals && fraction.back() == '0')
        fraction.remove_suffix(1);
    if (whole == "0" && p.minInteger == 0)
        whole = std::string_view();
    const int padding = qMax(0, p.minInteger - int(whole.size()));
    const int length = padding + int(whole.size());
    const QString separator = p.grouping && length > 3 ? locale.groupSeparator() : QString();
    // Nought, written with no sign; grouped digits are never taken for it.
    const auto allZeros = [](std::string_view s) { return s.find_first_not_of('0') == std::string_view::npos; };
    const bool zero = separator.isEmpty() && allZeros(whole) && allZeros(fraction);

    QString number;
    number.reserve(p.prefix.size() + length * 2 + int(fraction.size()) + p.suffix.size() + 4);
    number += p.prefix;
    if (negative && !zero)
        number += locale.negativeSign();
    for (int i = 0; i < length; ++i) {
        if (i > 0 && !separator.isEmpty() && (length - i) % 3 == 0)
            number += separator;
        number += QLatin1Char(i < padding ? '0' : whole[size_t(i - padding)]);
    }
    if (!fraction.empty()) {
        number += locale.decimalPoint();
        number += QLatin1String(fraction.data(), qsizetype(fraction.size()));
    }
    number += p.suffix;
    return number;
}

} // namespace
