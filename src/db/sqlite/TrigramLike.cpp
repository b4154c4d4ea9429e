#include "TrigramLike.h"

#include "FunctionSupport.h"

#include <QList>

namespace db::sqlite {

namespace {

// Shorter than this, the full-text index finds nothing at all.
constexpr int kTrigram = 3;

bool isWildcard(QChar c)
{
    return c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('[');
}

} // namespace

QString trigramLiteral(const QString& pattern)
{
    if (!pattern.endsWith(QLatin1Char('%')))
        return QString();
    const int begin = pattern.startsWith(QLatin1Char('%')) ? 1 : 0;
    const QString literal = pattern.mid(begin, pattern.size() - 1 - begin);
    for (QChar c : literal) {
        if (isWildcard(c))
            return QString();
    }
    if (literal.toUcs4().size() < kTrigram)
        return QString();
    return literal;
}

QString trigramPhrase(const QString& literal)
{
    const QByteArray utf8 = literal.toUtf8();
    QString folded = QString::fromStdString(fn::foldForLike(std::string_view(utf8.constData(), size_t(utf8.size()))));
    folded.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + folded + QLatin1Char('"');
}

} // namespace db::sqlite
