#include "TsqlLexer.h"

#include "DbError.h"

namespace db {

bool Token::isWord(const char* upperWord) const
{
    return kind == TokenKind::Identifier && !quoted
        && text.compare(QLatin1String(upperWord), Qt::CaseInsensitive) == 0;
}

namespace {

bool isHexDigit(QChar c)
{
    return c.isDigit() || (c >= QLatin1Char('a') && c <= QLatin1Char('f')) || (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

bool isIdentStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_') || c == QLatin1Char('#');
}

bool isIdentPart(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('#')
        || c == QLatin1Char('$') || c.category() == QChar::Mark_NonSpacing
        || c.category() == QChar::Mark_SpacingCombining;
}

class Lexer {
public:
    explicit Lexer(const QString& sql) : s_(sql) {}

    std::vector<Token> run()
    {
        std::vector<Token> out;
        out.reserve(s_.size() / 3 + 4);
        bool lineBreak = false;
        while (true) {
            lineBreak = skipSpaceAndComments() || lineBreak;
            Token t;
            t.pos = i_;
            t.line = line_;
            t.lineBreakBefore = lineBreak;
            lineBreak = false;
            if (i_ >= s_.size()) {
                t.kind = TokenKind::End;
                out.push_back(t);
                return out;
            }
            readToken(t);
            out.push_back(std::move(t));
        }
    }

private:
    QChar at(int k) const { return k < s_.size() ? s_[k] : QChar(); }

    // Returns whether a line break was crossed.
    bool skipSpaceAndComments()
    {
        bool lineBreak = false;
        while (i_ < s_.size()) {
            const QChar c = s_[i_];
            if (c == QLatin1Char('\n')) {
                ++line_;
                ++i_;
                lineBreak = true;
            } else if (c == QLatin1Char('\r')) {
                ++i_;
                lineBreak = true;
            } else if (c.isSpace()) {
                ++i_;
            } else if (c == QLatin1Char('-') && at(i_ + 1) == QLatin1Char('-')) {
                while (i_ < s_.size() && s_[i_] != QLatin1Char('\n') && s_[i_] != QLatin1Char('\r'))
                    ++i_;
            } else if (c == QLatin1Char('/') && at(i_ + 1) == QLatin1Char('*')) {
                // T-SQL block comments nest.
                const int start = i_;
                const int startLine = line_;
                int depth = 0;
                do {
                    if (i_ >= s_.size())
                        fail(start, startLine, QStringLiteral("Missing end comment mark '*/'."));
                    if (s_[i_] == QLatin1Char('/') && at(i_ + 1) == QLatin1Char('*')) {
                        ++depth;
                        i_ += 2;
                    } else if (s_[i_] == QLatin1Char('*') && at(i_ + 1) == QLatin1Char('/')) {
                        --depth;
                        i_ += 2;
                    } else {
                        if (s_[i_] == QLatin1Char('\n'))
                            ++line_;
                        ++i_;
                    }
                } while (depth > 0);
            } else {
                break;
            }
        }
        return lineBreak;
    }

    [[noreturn]] void fail(int pos, int line, const QString& what)
    {
        Q_UNUSED(pos);
        throw DbError(QStringLiteral("Line %1: %2").arg(line).arg(what));
    }

    void readQuoted(Token& t, QChar close, bool doubling)
    {
        const int start = i_;
        const int startLine = line_;
        ++i_;
        // '' is an empty text, never NULL: keep the string non-null.
        QString text = QLatin1String("");
        while (true) {
            if (i_ >= s_.size()) {
                if (close == QLatin1Char('\''))
                    fail(start, startLine,
                         QStringLiteral("Unclosed quotation mark after the character string '%1'.").arg(text));
                fail(start, startLine,
                     QStringLiteral("Unclosed quotation mark after the identifier '%1'.").arg(text));
            }
            const QChar c = s_[i_];
            if (c == close) {
                if (doubling && at(i_ + 1) == close) {
                    text += close;
                    i_ += 2;
                    continue;
                }
                ++i_;
                break;
            }
            if (c == QLatin1Char('\n'))
                ++line_;
            text += c;
            ++i_;
        }
        t.text = text;
    }

    void readToken(Token& t)
    {
        const QChar c = s_[i_];
        const QChar n = at(i_ + 1);
        if ((c == QLatin1Char('N') || c == QLatin1Char('n')) && n == QLatin1Char('\'')) {
            ++i_;
            t.kind = TokenKind::String;
            t.national = true;
            readQuoted(t, QLatin1Char('\''), true);
            return;
        }
        if (c == QLatin1Char('\'')) {
            t.kind = TokenKind::String;
            readQuoted(t, QLatin1Char('\''), true);
            return;
        }
        if (c == QLatin1Char('[')) {
            t.kind = TokenKind::Identifier;
            t.quoted = true;
            readQuoted(t, QLatin1Char(']'), true);
            return;
        }
        if (c == QLatin1Char('"')) {
            t.kind = TokenKind::Identifier;
            t.quoted = true;
            readQuoted(t, QLatin1Char('"'), true);
            return;
        }
        if (c.isDigit() || (c == QLatin1Char('.') && n.isDigit())) {
            readNumber(t);
            return;
        }
        if (c == QLatin1Char('@')) {
            int j = i_ + 1;
            t.kind = TokenKind::Variable;
            if (n == QLatin1Char('@')) {
                t.kind = TokenKind::SystemVariable;
                ++j;
            }
            while (j < s_.size() && isIdentPart(s_[j]))
                ++j;
            t.text = s_.mid(i_, j - i_);
            i_ = j;
            return;
        }
        if (c == QLatin1Char(':') && isIdentStart(n)) {
            int j = i_ + 1;
            while (j < s_.size() && isIdentPart(s_[j]))
                ++j;
            t.kind = TokenKind::Parameter;
            t.text = s_.mid(i_ + 1, j - i_ - 1);
            i_ = j;
            return;
        }
        if (isIdentStart(c)) {
            int j = i_ + 1;
            while (j < s_.size() && isIdentPart(s_[j]))
                ++j;
            t.kind = TokenKind::Identifier;
            t.text = s_.mid(i_, j - i_);
            i_ = j;
            return;
        }
        static const char* const twoChar[] = {"<>", "!=", "<=", ">=", "!<", "!>", "+=", "-=", "*=", "/="};
        for (const char* op : twoChar) {
            if (c == QLatin1Char(op[0]) && n == QLatin1Char(op[1])) {
                t.kind = TokenKind::Operator;
                t.text = QLatin1String(op);
                i_ += 2;
                return;
            }
        }
        if (QStringLiteral("=<>+-*/%&|^~").contains(c)) {
            t.kind = TokenKind::Operator;
            t.text = c;
            ++i_;
            return;
        }
        if (QStringLiteral("(),.;").contains(c)) {
            t.kind = TokenKind::Punct;
            t.text = c;
            ++i_;
            return;
        }
        fail(i_, line_, QStringLiteral("Incorrect syntax near '%1'.").arg(c));
    }

    void readNumber(Token& t)
    {
        int j = i_;
        // 0x... is a binary literal; it stays a number token, its text keeping the 0x.
        if (s_[j] == QLatin1Char('0') && j + 1 < s_.size() && (s_[j + 1] == QLatin1Char('x') || s_[j + 1] == QLatin1Char('X'))) {
            j += 2;
            while (j < s_.size() && isHexDigit(s_[j]))
                ++j;
            t.kind = TokenKind::Number;
            t.text = s_.mid(i_, j - i_);
            i_ = j;
            return;
        }
        while (j < s_.size() && s_[j].isDigit())
            ++j;
        if (j < s_.size() && s_[j] == QLatin1Char('.')) {
            ++j;
            while (j < s_.size() && s_[j].isDigit())
                ++j;
        }
        if (j < s_.size() && (s_[j] == QLatin1Char('e') || s_[j] == QLatin1Char('E'))) {
            int k = j + 1;
            if (k < s_.size() && (s_[k] == QLatin1Char('+') || s_[k] == QLatin1Char('-')))
                ++k;
            if (k < s_.size() && s_[k].isDigit()) {
                while (k < s_.size() && s_[k].isDigit())
                    ++k;
                j = k;
            }
        }
        t.kind = TokenKind::Number;
        t.text = s_.mid(i_, j - i_);
        i_ = j;
    }

    const QString& s_;
    int i_ = 0;
    int line_ = 1;
};

} // namespace

std::vector<Token> tokenize(const QString& sql)
{
    return Lexer(sql).run();
}

QString namedToPositional(const QString& sql, QStringList* names)
{
    QString out;
    out.reserve(sql.size());
    int copied = 0;
    for (const Token& t : tokenize(sql)) {
        if (t.kind != TokenKind::Parameter)
            continue;
        out += QStringView(sql).mid(copied, t.pos - copied);
        out += QLatin1Char('?');
        copied = t.pos + 1 + int(t.text.size());
        if (names)
            names->append(t.text);
    }
    out += QStringView(sql).mid(copied);
    return out;
}

} // namespace db
