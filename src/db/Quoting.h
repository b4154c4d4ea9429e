#pragma once

#include <QString>

namespace db {

// The one way typed text enters a statement's text. Values the program owns
// (identifiers, dates it formats) may be written as they are; anything a
// clerk typed goes through here, so that no text can end a literal early.

// `text` as one T-SQL string literal: each single quote doubled, wrapped in
// single quotes. Text beyond ASCII (Thai) gets the N prefix, so that it
// reaches SQL Server as Unicode whatever the database's collation; plain
// ASCII stays a plain literal, which keeps index seeks on varchar codes.
QString quoted(const QString& text);

// Typed text as part of a LIKE pattern, before quoted(): "%" and "_" stay
// the clerk's wildcards, as the suite's users know them; "[" stands for
// itself ("[[]"), since a clerk who types a bracket means the bracket, and
// an unclosed one would otherwise match nothing at all.
QString likeText(const QString& typed);

// The LIKE patterns of typed text, before quoted(): text that starts with
// it, and text that contains it.
QString startingWith(const QString& typed);
QString containing(const QString& typed);

} // namespace db
