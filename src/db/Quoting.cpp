#include "Quoting.h"

#include <algorithm>

namespace db {

QString quoted(const QString& text)
{
    QString doubled = text;
    doubled.replace(QLatin1Char('\''), QLatin1String("''"));
    const bool ascii = std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
    return (ascii ? QStringLiteral("'") : QStringLiteral("N'")) + doubled + QLatin1Char('\'');
}

QString likeText(const QString& typed)
{
    QString text = typed;
    text.replace(QLatin1Char('['), QLatin1String("[[]"));
    return text;
}

QString startingWith(const QString& typed)
{
    return likeText(typed) + QLatin1Char('%');
}

QString containing(const QString& typed)
{
    return QLatin1Char('%') + likeText(typed) + QLatin1Char('%');
}

} // namespace db
