#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

namespace db {

// Tokens of T-SQL text as SQL Server reads it. Comments and white space are
// dropped; each token keeps its position in the source so that errors can
// quote the statement near the fault.
enum class TokenKind {
    Identifier,       // Name, or [Name] / "Name" with the brackets removed (quoted = true)
    String,           // 'text' with doubled quotes undone; national = true for N'text'
    Number,           // 12, 12.5, .5, 1e3, and binary literals 0x1F (text keeps the 0x)
    Variable,         // @name (text keeps the @)
    SystemVariable,   // @@IDENTITY (text keeps the @@)
    Parameter,        // :Name (text without the colon)
    Operator,         // = <> != < > <= >= !< !> + - * / % & | ^ ~
    Punct,            // ( ) , . ;
    End
};

struct Token {
    TokenKind kind = TokenKind::End;
    QString text;
    int pos = 0;        // offset in the source
    int line = 1;       // 1-based line of the source
    bool quoted = false;
    bool national = false;
    bool lineBreakBefore = false;  // a line break separates it from the previous token

    bool isWord(const char* upperWord) const;  // unquoted identifier, case-insensitive
    bool is(TokenKind k, const char* t) const { return kind == k && text == QLatin1String(t); }
};

// Splits T-SQL into tokens. Throws DbError for an unterminated string,
// bracket or comment.
std::vector<Token> tokenize(const QString& sql);

// Replaces every ":Name" parameter outside literals and comments by "?" and
// lists the names in order of occurrence (for drivers with positional
// markers only).
QString namedToPositional(const QString& sql, QStringList* names);

} // namespace db
