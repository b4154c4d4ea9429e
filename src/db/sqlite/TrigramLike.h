#pragma once

#include <QString>

// LIKE '%text%' reads every row of its table. Where a trigram index keeps the
// column's folded text (TrigramIndexes), the rows whose text holds the
// pattern's literal part are found in it first; the LIKE still decides each
// of them, so the index only has to return a superset, never the answer.
namespace db::sqlite {

// The literal that every match of `pattern` contains, for "%text%" and
// "text%" with at least three characters and no wildcard or escape inside;
// empty when the pattern needs a scan.
QString trigramLiteral(const QString& pattern);

// The full-text query for the rows whose text may hold `literal`: all of
// some of its trigrams, folded as LIKE folds text. A superset of the rows
// that hold it.
QString trigramQuery(const QString& literal);

} // namespace db::sqlite
