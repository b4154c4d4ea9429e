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

// The full-text query for rows whose folded text contains `literal`: one
// phrase of the literal folded as LIKE folds it.
QString trigramPhrase(const QString& literal);

} // namespace db::sqlite
