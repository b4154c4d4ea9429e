#include "TrigramLike.h"

#include "FunctionSupport.h"

#include <QList>
#include <QStringList>

#include <vector>

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

QString trigramQuery(const QString& literal)
{
    const QByteArray utf8 = literal.toUtf8();
    const QList<uint> folded =
        QString::fromStdString(fn::foldForLike(std::string_view(utf8.constData(), size_t(utf8.size())))).toUcs4();
    // Trigrams side by side, the last one flush with the end: every text
    // that holds the literal holds each of them. Testing them one by one is
    // far cheaper for the index than the whole phrase with its positions,
    // for a few more candidates.
    const int n = int(folded.size());
    std::vector<int> starts;
    for (int i = 0; i + kTrigram <= n; i += kTrigram)
        starts.push_back(i);
    if (!starts.empty() && starts.back() + kTrigram < n)
        starts.push_back(n - kTrigram);
    QStringList parts;
    for (int i : starts) {
        QString part = QString::fromUcs4(reinterpret_cast<const char32_t*>(folded.constData() + i), kTrigram);
        part.replace(QLatin1Char('"'), QLatin1String("\"\""));
        part = QLatin1Char('"') + part + QLatin1Char('"');
        if (!parts.contains(part))
            parts.append(part);
    }
    return parts.join(QStringLiteral(" AND "));
}

} // namespace db::sqlite
