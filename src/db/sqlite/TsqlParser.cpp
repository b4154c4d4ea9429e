#include "TsqlParser.h"

#include "db/DbError.h"
#include "db/TsqlLexer.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <limits>

namespace db::sqlite {

QString TypeName::text() const
{
    QString t = name;
    if (length == -2)
        t += QStringLiteral("(MAX)");
    else if (length >= 0)
        t += QStringLiteral("(%1)").arg(length);
    else if (precision >= 0 && scale >= 0)
        t += QStringLiteral("(%1,%2)").arg(precision).arg(scale);
    else if (precision >= 0)
        t += QStringLiteral("(%1)").arg(precision);
    return t;
}

bool TypeName::isText() const
{
    static const QSet<QString> names{QStringLiteral("CHAR"), QStringLiteral("VARCHAR"), QStringLiteral("NCHAR"),
                                     QStringLiteral("NVARCHAR"), QStringLiteral("TEXT"), QStringLiteral("NTEXT"),
                                     QStringLiteral("CHARACTER"), QStringLiteral("SYSNAME")};
    return names.contains(name);
}

bool TypeName::isDate() const
{
    return name == QLatin1String("DATETIME") || name == QLatin1String("SMALLDATETIME")
        || name == QLatin1String("DATE") || name == QLatin1String("DATETIME2");
}

bool TypeName::isInteger() const
{
    return name == QLatin1String("INT") || name == QLatin1String("INTEGER") || name == QLatin1String("BIGINT")
        || name == QLatin1String("SMALLINT") || name == QLatin1String("TINYINT") || name == QLatin1String("BIT");
}

namespace {

// Words that end an expression or a statement: never taken as an implicit
// column or table alias.
const QSet<QString>& reservedWords()
{
    static const QSet<QString> words = [] {
        QSet<QString> s;
        for (const char* w :
             {"ADD", "ALL", "ALTER", "APPLY", "FOR", "OPTION", "OVER", "OUTPUT", "PIVOT", "UNPIVOT", "AND", "ANY", "AS", "ASC", "BEGIN", "BETWEEN", "BREAK", "BY", "CASE", "CHECK",
              "CLUSTERED", "COLLATE", "CONSTRAINT", "CONTINUE", "CREATE", "CROSS", "DECLARE", "DEFAULT", "DELETE",
              "DESC", "DISTINCT", "DROP", "ELSE", "END", "ESCAPE", "EXCEPT", "EXEC", "EXECUTE", "EXISTS", "FOREIGN",
              "FROM", "FULL", "GO", "GOTO", "GROUP", "HAVING", "IF", "IN", "INDEX", "INNER", "INSERT", "INTERSECT",
              "INTO", "IS", "JOIN", "KEY", "LEFT", "LIKE", "NOT", "NULL", "ON", "OR", "ORDER", "OUTER", "PRIMARY",
              "PRINT", "PROC", "PROCEDURE", "REFERENCES", "RETURN", "RIGHT", "COMMIT", "ROLLBACK", "SAVE", "TRAN", "TRANSACTION", "SELECT", "SET", "TABLE", "THEN", "TO",
              "TOP", "TRUNCATE", "UNION", "UNIQUE", "UPDATE", "VALUES", "VIEW", "WHEN", "WHERE", "WHILE", "WITH"})
            s.insert(QLatin1String(w));
        return s;
    }();
    return words;
}

// Every nested expression or statement costs stack here, in the SQL
// generator and in the interpreter; text nested deeper is refused as SQL
// Server refuses it.
constexpr int kMaxNesting = 256;
// A chain of one operator longer than this is regrouped into a balanced tree
// (or refused when its operator cannot be regrouped).
constexpr int kLongChain = 64;

[[noreturn]] void nestedTooDeeply()
{
    throw DbError(nestedTooDeeplyMessage());
}

class Parser {
public:
    Parser(const QString& sql) : sql_(sql), toks_(tokenize(sql)) {}

private:
    struct CommonTable {
        SelectPtr select;  // null while its own query is read
    };
    QHash<QString, CommonTable> commonTables_;  // the statement's WITH names, upper-cased

public:

    Batch parseBatch()
    {
        Batch b;
        while (true) {
            while (isPunct(";"))
                ++p_;
            if (cur().kind == TokenKind::End)
                break;
            b.statements.push_back(statement());
        }
        return b;
    }

    TypeName typeOnly()
    {
        TypeName t = typeName();
        if (cur().kind != TokenKind::End)
            syntaxError();
        return t;
    }

private:
    // ---- token helpers ----
    const Token& cur() const { return toks_[size_t(p_)]; }
    const Token& peek(int k = 1) const
    {
        const size_t i = size_t(p_ + k);
        return i < toks_.size() ? toks_[i] : toks_.back();
    }
    bool isWord(const char* w) const { return cur().isWord(w); }
    bool peekWord(int k, const char* w) const { return peek(k).isWord(w); }
    bool isPunct(const char* t) const { return cur().is(TokenKind::Punct, t); }
    bool isOp(const char* t) const { return cur().is(TokenKind::Operator, t); }
    bool acceptWord(const char* w)
    {
        if (!isWord(w))
            return false;
        ++p_;
        return true;
    }
    bool acceptPunct(const char* t)
    {
        if (!isPunct(t))
            return false;
        ++p_;
        return true;
    }
    void expectWord(const char* w)
    {
        if (!acceptWord(w))
            syntaxError();
    }
    void expectPunct(const char* t)
    {
        if (!acceptPunct(t))
            syntaxError();
    }

    [[noreturn]] void syntaxError() const { syntaxErrorAt(cur()); }

    [[noreturn]] void syntaxErrorAt(const Token& t) const
    {
        QString near;
        if (t.kind == TokenKind::End)
            near = QStringLiteral("Incorrect syntax near the end of the statement.");
        else if (t.kind == TokenKind::String)
            near = QStringLiteral("Unclosed quotation mark or incorrect syntax near '%1'.").arg(t.text);
        else
            near = QStringLiteral("Incorrect syntax near '%1'.").arg(t.kind == TokenKind::Parameter ? QLatin1Char(':') + t.text
                                                                                                   : t.text);
        throw DbError(near + context(t.pos, t.line));
    }

    [[noreturn]] void unsupported(const QString& construct, const Token& t) const
    {
        throw DbError(QStringLiteral("The embedded engine does not support %1.").arg(construct) + context(t.pos, t.line));
    }

    QString context(int pos, int line) const
    {
        QString near = sql_.mid(pos, 60).simplified();
        return QStringLiteral(" (line %1, near \"%2\")").arg(line).arg(near);
    }

    bool isIdent() const { return cur().kind == TokenKind::Identifier; }
    bool isNonReservedIdent() const
    {
        return cur().kind == TokenKind::Identifier
            && (cur().quoted || !reservedWords().contains(cur().text.toUpper()));
    }

    QString identifier()
    {
        if (cur().kind != TokenKind::Identifier)
            syntaxError();
        return toks_[size_t(p_++)].text;
    }

    // A possibly qualified object name; the schema and database parts are
    // dropped except INFORMATION_SCHEMA, whose views keep their prefix.
    QString objectName()
    {
        QStringList parts{identifier()};
        while (isPunct(".")) {
            ++p_;
            if (isPunct(".")) {  // db..table
                parts.append(QString());
                continue;
            }
            parts.append(identifier());
        }
        if (parts.size() >= 2 && parts[parts.size() - 2].compare(QLatin1String("INFORMATION_SCHEMA"), Qt::CaseInsensitive) == 0)
            return QStringLiteral("INFORMATION_SCHEMA.") + parts.last().toUpper();
        return parts.last();
    }

    // A table read or written: an object name or a table variable (@t).
    QString tableName()
    {
        if (cur().kind == TokenKind::Variable)
            return toks_[size_t(p_++)].text;
        return objectName();
    }

    // ---- statements ----
    // Counts one level of nesting for as long as it lives.
    class Nesting {
    public:
        explicit Nesting(int& depth) : depth_(depth)
        {
            if (depth_ >= kMaxNesting)
                nestedTooDeeply();
            ++depth_;
        }
        ~Nesting() { --depth_; }
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;

    private:
        int& depth_;
    };

    StmtPtr statement()
    {
        const Nesting nesting(depth_);
        const Token& t = cur();
        StmtPtr s;
        if (t.kind == TokenKind::Punct && t.text == QLatin1String("(")) {
            s = std::make_shared<Stmt>();
            s->kind = Stmt::SelectStmt;
            s->select = selectStatement();
        } else if (t.kind != TokenKind::Identifier || t.quoted) {
            syntaxError();
        } else if (t.isWord("SELECT")) {
            s = std::make_shared<Stmt>();
            s->kind = Stmt::SelectStmt;
            s->select = selectStatement();
        } else if (t.isWord("WITH") && peek().kind == TokenKind::Identifier) {
            s = withStatement();
        } else if (t.isWord("INSERT")) {
            s = insertStatement();
        } else if (t.isWord("UPDATE")) {
            s = updateStatement();
        } else if (t.isWord("DELETE")) {
            s = deleteStatement();
        } else if (t.isWord("CREATE") || t.isWord("ALTER")) {
            s = createOrAlter();
        } else if (t.isWord("DROP")) {
            s = dropStatement();
        } else if (t.isWord("TRUNCATE")) {
            ++p_;
            expectWord("TABLE");
            s = std::make_shared<Stmt>();
            s->kind = Stmt::Truncate;
            s->table = objectName();
        } else if (t.isWord("DECLARE")) {
            s = declareStatement();
        } else if (t.isWord("SET")) {
            s = setStatement();
        } else if (t.isWord("IF")) {
            s = ifStatement();
        } else if (t.isWord("BEGIN")) {
            s = blockStatement();
        } else if (t.isWord("WHILE")) {
            ++p_;
            s = std::make_shared<Stmt>();
            s->kind = Stmt::While;
            s->expr = condition();
            s->thenStmt = statement();
        } else if (t.isWord("BREAK")) {
            ++p_;
            s = std::make_shared<Stmt>();
            s->kind = Stmt::Break;
        } else if (t.isWord("CONTINUE")) {
            ++p_;
            s = std::make_shared<Stmt>();
            s->kind = Stmt::Continue;
        } else if (t.isWord("RETURN")) {
            ++p_;
            s = std::make_shared<Stmt>();
            s->kind = Stmt::Return;
            if (startsExpression())
                s->expr = expression();
        } else if (t.isWord("PRINT")) {
            ++p_;
            s = std::make_shared<Stmt>();
            s->kind = Stmt::Print;
            s->expr = expression();
        } else if (t.isWord("EXEC") || t.isWord("EXECUTE")) {
            s = execStatement();
        } else if (t.isWord("GO")) {
            ++p_;
            s = std::make_shared<Stmt>();
            s->kind = Stmt::Ignored;
        } else if (t.isWord("COMMIT") || t.isWord("ROLLBACK")
                   || (t.isWord("SAVE") && (peek().isWord("TRAN") || peek().isWord("TRANSACTION")))) {
            s = transactionStatement();
        } else if (t.isWord("THROW")) {
            s = throwStatement();
        } else if (t.isWord("RAISERROR")) {
            s = raiserrorStatement();
        } else {
            syntaxError();
        }
        s->pos = t.pos;
        s->line = t.line;
        return s;
    }

    // Whether the current token can start an expression (for optional ones).
    bool startsExpression() const
    {
        const Token& t = cur();
        switch (t.kind) {
        case TokenKind::Number:
        case TokenKind::String:
        case TokenKind::Variable:
        case TokenKind::SystemVariable:
        case TokenKind::Parameter:
            return true;
        case TokenKind::Operator:
            return t.text == QLatin1String("-") || t.text == QLatin1String("+") || t.text == QLatin1String("~");
        case TokenKind::Punct:
            return t.text == QLatin1String("(");
        case TokenKind::Identifier:
            return t.quoted || !reservedWords().contains(t.text.toUpper()) || t.isWord("NULL") || t.isWord("CASE")
                || t.isWord("EXISTS") || t.isWord("NOT");
        default:
            return false;
        }
    }

    StmtPtr blockStatement()
    {
        if (peek().isWord("TRAN") || peek().isWord("TRANSACTION"))
            return transactionStatement();
        expectWord("BEGIN");
        if (acceptWord("TRY"))
            return tryCatchStatement();
        auto s = std::make_shared<Stmt>();
        s->kind = Stmt::Block;
        s->body = statementsUntilEnd();
        expectWord("END");
        return s;
    }

    // The statements of a block, up to (not past) its END.
    std::vector<StmtPtr> statementsUntilEnd()
    {
        std::vector<StmtPtr> list;
        while (true) {
            while (acceptPunct(";")) {
            }
            if (isWord("END"))
                return list;
            if (cur().kind == TokenKind::End)
                syntaxError();
            list.push_back(statement());
        }
    }

    // After BEGIN TRY: the TRY block, then its CATCH block, which must follow at once.
    StmtPtr tryCatchStatement()
    {
        auto s = std::make_shared<Stmt>();
        s->kind = Stmt::TryCatch;
        s->body = statementsUntilEnd();
        expectWord("END");
        expectWord("TRY");
        while (acceptPunct(";")) {
        }
        expectWord("BEGIN");
        expectWord("CATCH");
        s->catchBody = statementsUntilEnd();
        expectWord("END");
        expectWord("CATCH");
        return s;
    }

    // BEGIN TRAN[SACTION] [name], COMMIT | ROLLBACK [TRAN | TRANSACTION | WORK] [name],
    // SAVE TRAN[SACTION] name. A name stands on the same line: a word on
    // the next one starts the next statement.
    StmtPtr transactionStatement()
    {
        auto s = std::make_shared<Stmt>();
        s->kind = Stmt::Transaction;
        s->objectType = cur().text.toUpper();
        ++p_;
        const bool work = s->objectType == QLatin1String("COMMIT") || s->objectType == QLatin1String("ROLLBACK");
        if (!acceptWord("TRAN") && !acceptWord("TRANSACTION") && !(work && acceptWord("WORK")))
            if (s->objectType == QLatin1String("BEGIN") || s->objectType == QLatin1String("SAVE"))
                syntaxError();
        const Token& name = cur();
        // Not reserved, yet they start a statement.
        static const QSet<QString> statementWords{QStringLiteral("THROW"), QStringLiteral("RAISERROR")};
        const bool onTheLine = !name.lineBreakBefore || s->objectType == QLatin1String("SAVE");
        if (name.kind == TokenKind::Variable && onTheLine) {
            s->expr = makeExpr(Expr::Variable, name.pos);
            s->expr->text = name.text;
            ++p_;
        } else if (name.kind == TokenKind::Identifier && onTheLine
                   && (name.quoted
                       || (!reservedWords().contains(name.text.toUpper())
                           && !statementWords.contains(name.text.toUpper())))) {
            s->table = name.text;
            ++p_;
        } else if (s->objectType == QLatin1String("SAVE")) {
            syntaxError();
        }
        return s;
    }

    // RAISERROR (message, severity, state [, argument ...]) [WITH LOG | NOWAIT | SETERROR, ...]
    StmtPtr raiserrorStatement()
    {
        ++p_;
        auto s = std::make_shared<Stmt>();
        s->kind = Stmt::Raiserror;
        expectPunct("(");
        std::vector<ExprPtr> args{expression()};
        while (acceptPunct(","))
            args.push_back(expression());
        expectPunct(")");
        if (args.size() < 3)
            syntaxError();
        s->values.push_back(args);
        // How the message is logged or sent is the server's business: nothing to do here.
        if (acceptWord("WITH")) {
            do {
                if (!acceptWord("LOG") && !acceptWord("NOWAIT") && !acceptWord("SETERROR"))
                    syntaxError();
            } while (acceptPunct(","));
        }
        return s;
    }

    // THROW number, message, state; a bare THROW passes on the error a CATCH block handles.
    StmtPtr throwStatement()
    {
        ++p_;
        auto s = std::make_shared<Stmt>();
        s->kind = Stmt::Throw;
        if (!startsExpression() || cur().lineBreakBefore)
            return s;
        std::vector<ExprPtr> args{expression()};
        for (int i = 0; i < 2; ++i) {
            expectPunct(",");
            args.push_back(expression());
        }
        s->values.push_back(args);
        return s;
    }

    StmtPtr ifStatement()
    {
        expectWord("IF");
        auto s = std::make_shared<Stmt>();
        s->kind = Stmt::If;
        s->expr = condition();
        s->thenStmt = statement();
        while (acceptPunct(";")) {
        }
        if (acceptWord("ELSE"))
            s->elseStmt = statement();
        return s;
    }

    StmtPtr declareStatement()
    {
        expectWord("DECLARE");
        auto s = std::make_shared<Stmt>();
        s->kind = Stmt::Declare;
        do {
            if (cur().kind != TokenKind::Variable)
                syntaxError();
            Stmt::VarDecl d;
            d.name = toks_[size_t(p_++)].text;
            acceptWord("AS");
            if (isWord("TABLE")) {
                // DECLARE @t TABLE (...) declares that one variable alone.
                if (!s->variables.empty())
                    syntaxError();
                ++p_;
                s->kind = Stmt::DeclareTable;
                s->table = d.name;
                expectPunct("(");
                tableElements(*s, true);
                expectPunct(")");
                return s;
            }
            d.type = typeName();
            if (isOp("=")) {
                ++p_;
                d.init = expression();
            }
            s->variables.push_back(d);
        } while (acceptPunct(","));
        return s;
    }

    StmtPtr setStatement()
    {
        const Token& start = cur();
        expectWord("SET");
        auto s = std::make_shared<Stmt>();
        if (cur().kind == TokenKind::Variable) {
            s->kind = Stmt::SetVar;
            s->variable = toks_[size_t(p_++)].text;
            if (cur().kind != TokenKind::Operator
                || !(cur().text == QLatin1String("=") || cur().text == QLatin1String("+=")
                     || cur().text == QLatin1String("-=") || cur().text == QLatin1String("*=")
                     || cur().text == QLatin1String("/=")))
                syntaxError();
            const Token& opTok = toks_[size_t(p_++)];
            s->assignOp = QStringLiteral("=");
            s->expr = expression();
            if (opTok.text != QLatin1String("=")) {
                // SET @v += e is SET @v = @v + e.
                auto var = makeExpr(Expr::Variable, opTok.pos);
                var->text = s->variable;
                auto bin = makeExpr(Expr::Binary, opTok.pos);
                bin->op = opTok.text.left(1);
                bin->args = {var, s->expr};
                s->expr = bin;
            }
            return s;
        }
        if (isWord("IDENTITY_INSERT")) {
            ++p_;
            s->kind = Stmt::IdentityInsert;
            s->table = objectName();
            if (acceptWord("ON"))
                s->flag = true;
            else if (!acceptWord("OFF"))
                syntaxError();
            return s;
        }
        if (isWord("ROWCOUNT")) {
            ++p_;
            s->kind = Stmt::SetRowcount;
            s->expr = expression();
            return s;
        }
        if (isWord("XACT_ABORT")) {
            ++p_;
            s->kind = Stmt::SetXactAbort;
            if (acceptWord("ON"))
                s->flag = true;
            else if (!acceptWord("OFF"))
                syntaxError();
            return s;
        }
        if (isWord("DATEFORMAT")) {
            ++p_;
            s->kind = Stmt::SetDateFormat;
            if (cur().kind == TokenKind::Identifier) {
                s->expr = std::make_shared<Expr>();
                s->expr->kind = Expr::String;
                s->expr->text = cur().text;
                ++p_;
            } else {
                s->expr = expression();
            }
            return s;
        }
        // Session options: accepted and ignored.
        static const QSet<QString> options{QStringLiteral("NOCOUNT"), QStringLiteral("ANSI_NULLS"),
                                           QStringLiteral("ANSI_PADDING"), QStringLiteral("ANSI_WARNINGS"),
                                           QStringLiteral("QUOTED_IDENTIFIER"), QStringLiteral("ARITHABORT"),
                                           QStringLiteral("CONCAT_NULL_YIELDS_NULL"),
                                           QStringLiteral("LANGUAGE"),
                                           QStringLiteral("NUMERIC_ROUNDABORT"), QStringLiteral("ANSI_NULL_DFLT_ON"),
                                           QStringLiteral("IMPLICIT_TRANSACTIONS")};
        if (isIdent() && options.contains(cur().text.toUpper())) {
            ++p_;
            while (acceptPunct(",")) {
                if (!isIdent())
                    syntaxError();
                ++p_;
            }
            if (isWord("ON") || isWord("OFF") || cur().kind == TokenKind::Identifier
                || cur().kind == TokenKind::Number)
                ++p_;
            s->kind = Stmt::Ignored;
            return s;
        }
        syntaxErrorAt(start);
    }

    StmtPtr execStatement()
    {
        ++p_;  // EXEC
        auto s = std::make_shared<Stmt>();
        s->kind = Stmt::Exec;
        if (cur().kind == TokenKind::Variable && peek().is(TokenKind::Operator, "=")) {
            s->returnVariable = cur().text;
            p_ += 2;
        }
        if (isPunct("("))
            unsupported(QStringLiteral("dynamic SQL in EXEC"), cur());
        s->table = objectName();
        if (!startsExpression() && !isWord("DEFAULT") && cur().kind != TokenKind::Variable)
            return s;
        if (cur().lineBreakBefore && isIdent() && !cur().quoted && reservedWords().contains(cur().text.toUpper()))
            return s;
        do {
            Stmt::ExecArg a;
            if (cur().kind == TokenKind::Variable && peek().is(TokenKind::Operator, "=")) {
                a.name = cur().text;
                p_ += 2;
            }
            if (acceptWord("DEFAULT"))
                a.isDefault = true;
            else
                a.value = expression();
            if (acceptWord("OUTPUT") || acceptWord("OUT"))
                a.output = true;
            s->execArgs.push_back(a);
        } while (acceptPunct(","));
        return s;
    }

    StmtPtr createOrAlter()
    {
        const Token& start = cur();
        const bool alter = isWord("ALTER");
        ++p_;
        if (alter && isWord("TABLE"))
            return alterTable();
        if (isWord("TABLE") && !alter)
            return createTable();
        if (isWord("UNIQUE") || isWord("INDEX") || isWord("CLUSTERED") || isWord("NONCLUSTERED")) {
            if (alter)
                unsupported(QStringLiteral("ALTER INDEX"), start);
            return createIndex();
        }
        if (isWord("VIEW")) {
            ++p_;
            auto s = std::make_shared<Stmt>();
            s->kind = Stmt::CreateView;
            s->alter = alter;
            s->table = objectName();
            expectWord("AS");
            s->select = selectStatement();
            return s;
        }
        if (isWord("PROC") || isWord("PROCEDURE")) {
            StmtPtr proc = createProcedure(alter);
            // The definition is kept as written and read again at each call.
            proc->procBodyText = sql_.mid(start.pos);
            return proc;
        }
        if (isWord("TYPE") && !alter) {
            ++p_;
            auto s = std::make_shared<Stmt>();
            s->kind = Stmt::CreateType;
            s->table = objectName();
            expectWord("FROM");
            s->type = typeName();
            acceptWord("NOT");
            acceptWord("NULL");
            return s;
        }
        syntaxErrorAt(start);
    }

    StmtPtr createProcedure(bool alter)
    {
        ++p_;  // PROC / PROCEDURE
        auto s = std::make_shared<Stmt>();
        s->kind = Stmt::CreateProcedure;
        s->alter = alter;
        s->table = objectName();
        const bool parens = acceptPunct("(");
        while (cur().kind == TokenKind::Variable) {
            Stmt::ProcParamDef d;
            d.name = toks_[size_t(p_++)].text;
            acceptWord("AS");
            d.type = typeName();
            if (isOp("=")) {
                ++p_;
                d.defaultValue = unary();
            }
            if (acceptWord("OUTPUT") || acceptWord("OUT"))
                d.output = true;
            s->procParams.push_back(d);
            if (!acceptPunct(","))
                break;
        }
        if (parens)
            expectPunct(")");
        if (acceptWord("WITH")) {
            do {
                identifier();
            } while (acceptPunct(","));
        }
        expectWord("AS");
        // The body runs to the end of the batch, as in SQL Server.
        while (cur().kind != TokenKind::End) {
            while (acceptPunct(";")) {
            }
            if (cur().kind == TokenKind::End)
                break;
            s->body.push_back(statement());
        }
        return s;
    }

    StmtPtr dropStatement()
    {
        expectWord("DROP");
        auto s = std::make_shared<Stmt>();
        s->kind = Stmt::Drop;
        if (acceptWord("PROC"))
            s->objectType = QStringLiteral("PROCEDURE");
        else
            s->objectType = identifier().toUpper();
        if (isWord("IF") && peekWord(1, "EXISTS")) {
            p_ += 2;
            s->ifExists = true;
        }
        if (s->objectType == QLatin1String("INDEX")) {
            // DROP INDEX table.idx, or DROP INDEX idx ON table: alias holds the index.
            QStringList parts{identifier()};
            while (acceptPunct("."))
                parts.append(identifier());
            s->alias = parts.last();
            if (parts.size() >= 2)
                s->table = parts[parts.size() - 2];
            if (acceptWord("ON"))
                s->table = objectName();
            return s;
        }
        s->table = objectName();
        return s;
    }

    StmtPtr createIndex()
    {
        auto s = std::make_shared<Stmt>();
        s->kind = Stmt::CreateIndex;
        s->unique = acceptWord("UNIQUE");
        if (!acceptWord("CLUSTERED"))
            acceptWord("NONCLUSTERED");
        expectWord("INDEX");
        s->alias = identifier();  // index name
        expectWord("ON");
        s->table = objectName();
        expectPunct("(");
        do {
            s->columns.append(identifier());
            bool desc = false;
            if (acceptWord("DESC"))
                desc = true;
            else
                acceptWord("ASC");
            s->descending.push_back(desc);
        } while (acceptPunct(","));
        expectPunct(")");
        skipWithOptions();
        return s;
    }

    void skipWithOptions()
    {
        if (isWord("WITH") && peek().is(TokenKind::Punct, "(")) {
            ++p_;
            skipParens();
        }
        if (acceptWord("ON"))
            identifier();  // filegroup
    }

    void skipParens()
    {
        expectPunct("(");
        int depth = 1;
        while (depth > 0) {
            if (cur().kind == TokenKind::End)
                syntaxError();
            if (isPunct("("))
                ++depth;
            else if (isPunct(")"))
                --depth;
            ++p_;
        }
    }

    StmtPtr createTable()
    {
        expectWord("TABLE");
        auto s = std::make_shared<Stmt>();
        s->kind = Stmt::CreateTable;
        s->table = objectName();
        expectPunct("(");
        tableElements(*s, true);
        expectPunct(")");
        if (acceptWord("ON"))
            identifier();
        return s;
    }

    StmtPtr alterTable()
    {
        expectWord("TABLE");
        auto s = std::make_shared<Stmt>();
        s->kind = Stmt::AlterAdd;
        s->table = objectName();
        if (acceptWord("WITH")) {
            if (!acceptWord("CHECK"))
                expectWord("NOCHECK");
        }
        if ((isWord("CHECK") || isWord("NOCHECK")) && peek().isWord("CONSTRAINT")) {
            s->kind = Stmt::CheckConstraints;
            s->flag = isWord("CHECK");
            p_ += 2;
            if (!acceptWord("ALL")) {
                do
                    s->columns.append(identifier());
                while (acceptPunct(","));
            }
            return s;
        }
        if (!acceptWord("ADD")) {
            if (isWord("DROP") || isWord("ALTER"))
                unsupported(QStringLiteral("ALTER TABLE ") + cur().text.toUpper(), cur());
            syntaxError();
        }
        const bool parens = acceptPunct("(");
        tableElements(*s, false);
        if (parens)
            expectPunct(")");
        return s;
    }

    void tableElements(Stmt& s, bool requireOne)
    {
        Q_UNUSED(requireOne);
        do {
            if (isWord("CONSTRAINT") || isWord("PRIMARY") || isWord("UNIQUE") || isWord("FOREIGN")
                || isWord("CHECK")) {
                s.constraints.push_back(tableConstraint());
            } else {
                s.columnDefs.push_back(columnDef());
            }
        } while (acceptPunct(","));
    }

    QStringList columnList()
    {
        QStringList cols;
        expectPunct("(");
        do {
            cols.append(identifier());
            if (!acceptWord("ASC"))
                acceptWord("DESC");
        } while (acceptPunct(","));
        expectPunct(")");
        return cols;
    }

    TableConstraint tableConstraint()
    {
        TableConstraint c;
        if (acceptWord("CONSTRAINT"))
            c.name = identifier();
        if (acceptWord("PRIMARY")) {
            expectWord("KEY");
            c.kind = TableConstraint::PrimaryKey;
            if (!acceptWord("CLUSTERED"))
                acceptWord("NONCLUSTERED");
            c.columns = columnList();
            skipWithOptions();
        } else if (acceptWord("UNIQUE")) {
            c.kind = TableConstraint::Unique;
            if (!acceptWord("CLUSTERED"))
                acceptWord("NONCLUSTERED");
            c.columns = columnList();
            skipWithOptions();
        } else if (acceptWord("FOREIGN")) {
            expectWord("KEY");
            c.kind = TableConstraint::ForeignKey;
            c.columns = columnList();
            expectWord("REFERENCES");
            c.refTable = objectName();
            if (isPunct("("))
                c.refColumns = columnList();
            referentialActions();
        } else if (acceptWord("CHECK")) {
            c.kind = TableConstraint::Check;
            expectPunct("(");
            c.check = condition();
            expectPunct(")");
        } else {
            syntaxError();
        }
        return c;
    }

    void referentialActions()
    {
        while (isWord("ON") && (peekWord(1, "DELETE") || peekWord(1, "UPDATE"))) {
            const Token& t = cur();
            p_ += 2;
            if (acceptWord("NO")) {
                expectWord("ACTION");
            } else {
                unsupported(QStringLiteral("cascading foreign keys"), t);
            }
        }
        acceptWord("NOT");
        acceptWord("FOR");
        acceptWord("REPLICATION");
    }

    ColumnDef columnDef()
    {
        ColumnDef c;
        c.name = identifier();
        if (acceptWord("AS")) {
            c.computed = expression();
            acceptWord("PERSISTED");
            return c;
        }
        c.type = typeName();
        while (true) {
            if (acceptWord("NULL")) {
                c.explicitNull = true;
            } else if (isWord("NOT") && peekWord(1, "NULL")) {
                p_ += 2;
                c.notNull = true;
            } else if (acceptWord("IDENTITY")) {
                c.identity = true;
                if (acceptPunct("(")) {
                    c.identitySeed = signedNumber();
                    expectPunct(",");
                    c.identityStep = signedNumber();
                    expectPunct(")");
                }
            } else if (acceptWord("CONSTRAINT")) {
                c.constraintName = identifier();
            } else if (acceptWord("PRIMARY")) {
                expectWord("KEY");
                if (!acceptWord("CLUSTERED"))
                    acceptWord("NONCLUSTERED");
                c.primaryKey = true;
            } else if (acceptWord("UNIQUE")) {
                if (!acceptWord("CLUSTERED"))
                    acceptWord("NONCLUSTERED");
                c.unique = true;
            } else if (acceptWord("DEFAULT")) {
                c.defaultValue = unary();
            } else if (acceptWord("CHECK")) {
                expectPunct("(");
                c.check = condition();
                expectPunct(")");
            } else if (acceptWord("REFERENCES")) {
                c.refTable = objectName();
                if (isPunct("("))
                    c.refColumns = columnList();
                referentialActions();
            } else if (acceptWord("COLLATE")) {
                identifier();  // one collation only: SQL Server's case-insensitive default
            } else if (isWord("ROWGUIDCOL")) {
                ++p_;
            } else {
                break;
            }
        }
        return c;
    }

    qint64 signedNumber()
    {
        bool negative = false;
        if (isOp("-")) {
            negative = true;
            ++p_;
        }
        if (cur().kind != TokenKind::Number)
            syntaxError();
        const qint64 v = toks_[size_t(p_++)].text.toLongLong();
        return negative ? -v : v;
    }

    TypeName typeName()
    {
        TypeName t;
        QString name = objectName().toUpper();
        // Two-word type names.
        if (name == QLatin1String("DOUBLE") && acceptWord("PRECISION"))
            name = QStringLiteral("FLOAT");
        if ((name == QLatin1String("CHARACTER") || name == QLatin1String("CHAR")) && acceptWord("VARYING"))
            name = QStringLiteral("VARCHAR");
        if (name == QLatin1String("NATIONAL")) {
            const QString next = identifier().toUpper();
            name = QLatin1Char('N') + (next == QLatin1String("CHARACTER") ? QStringLiteral("CHAR") : next);
        }
        t.name = name;
        if (acceptPunct("(")) {
            if (acceptWord("MAX")) {
                t.length = -2;
            } else {
                if (cur().kind != TokenKind::Number)
                    syntaxError();
                const int first = toks_[size_t(p_++)].text.toInt();
                if (acceptPunct(",")) {
                    if (cur().kind != TokenKind::Number)
                        syntaxError();
                    t.precision = first;
                    t.scale = toks_[size_t(p_++)].text.toInt();
                } else if (name == QLatin1String("DECIMAL") || name == QLatin1String("NUMERIC")
                           || name == QLatin1String("FLOAT") || name == QLatin1String("DATETIME2")) {
                    t.precision = first;
                    if (name != QLatin1String("FLOAT") && name != QLatin1String("DATETIME2"))
                        t.scale = 0;
                } else {
                    t.length = first;
                }
            }
            expectPunct(")");
        }
        return t;
    }

    StmtPtr insertStatement()
    {
        expectWord("INSERT");
        auto s = std::make_shared<Stmt>();
        s->kind = Stmt::Insert;
        acceptWord("INTO");
        s->table = tableName();
        if (isPunct("(") && !(peekWord(1, "SELECT"))) {
            ++p_;
            do {
                s->columns.append(identifier());
            } while (acceptPunct(","));
            expectPunct(")");
        }
        if (acceptWord("VALUES")) {
            do {
                expectPunct("(");
                std::vector<ExprPtr> row;
                do {
                    if (isWord("DEFAULT")) {
                        ++p_;
                        auto e = std::make_shared<Expr>();
                        e->kind = Expr::Function;
                        e->text = QStringLiteral("DEFAULT");
                        row.push_back(e);
                    } else {
                        row.push_back(expression());
                    }
                } while (acceptPunct(","));
                expectPunct(")");
                s->values.push_back(std::move(row));
            } while (acceptPunct(","));
        } else if (isWord("DEFAULT") && peekWord(1, "VALUES")) {
            p_ += 2;
            s->defaultValues = true;
        } else if (isWord("SELECT") || isPunct("(")) {
            s->select = selectStatement();
        } else if (isWord("EXEC") || isWord("EXECUTE")) {
            unsupported(QStringLiteral("INSERT ... EXEC"), cur());
        } else {
            syntaxError();
        }
        return s;
    }

    StmtPtr updateStatement()
    {
        expectWord("UPDATE");
        auto s = std::make_shared<Stmt>();
        s->kind = Stmt::Update;
        if (acceptWord("TOP")) {
            expectPunct("(");
            s->top = expression();
            expectPunct(")");
        }
        s->table = tableName();
        expectWord("SET");
        do {
            QString column;
            if (cur().kind == TokenKind::Variable)
                unsupported(QStringLiteral("variable assignment in UPDATE"), cur());
            column = identifier();
            if (acceptPunct("."))
                column = identifier();  // alias.column
            if (!isOp("="))
                syntaxError();
            ++p_;
            s->assignments.emplace_back(column, expression());
        } while (acceptPunct(","));
        if (acceptWord("FROM"))
            s->from = fromList();
        if (acceptWord("WHERE"))
            s->where = condition();
        return s;
    }

    StmtPtr deleteStatement()
    {
        expectWord("DELETE");
        auto s = std::make_shared<Stmt>();
        s->kind = Stmt::Delete;
        if (acceptWord("TOP")) {
            expectPunct("(");
            s->top = expression();
            expectPunct(")");
        }
        acceptWord("FROM");
        s->table = tableName();
        if (acceptWord("FROM"))
            s->from = fromList();
        if (acceptWord("WHERE"))
            s->where = condition();
        return s;
    }

    // ---- SELECT ----
    // WITH name [(columns)] AS (query), ... statement. Each name read in the
    // statement's FROM clauses stands for its query, as a derived table:
    // SQL Server reads a common table expression in place too.
    StmtPtr withStatement()
    {
        ++p_;  // WITH
        const QHash<QString, CommonTable> outer = commonTables_;
        do {
            const Token& at = cur();
            const QString name = identifier();
            QStringList columns;
            if (isPunct("("))
                columns = columnList();
            expectWord("AS");
            expectPunct("(");
            commonTables_.insert(name.toUpper(), CommonTable{nullptr});  // its own name inside is recursion
            SelectPtr body = selectStatement();
            expectPunct(")");
            if (!columns.isEmpty())
                nameColumns(*body, columns, name, at);
            commonTables_.insert(name.toUpper(), CommonTable{body});
        } while (acceptPunct(","));
        const Token& next = cur();
        if (!next.isWord("SELECT") && !next.isWord("INSERT") && !next.isWord("UPDATE") && !next.isWord("DELETE"))
            syntaxError();
        StmtPtr s = statement();
        if (s->kind != Stmt::SelectStmt && commonTables_.contains(s->table.toUpper()))
            unsupported(QStringLiteral("changing rows through a common table expression"), next);
        commonTables_ = outer;
        return s;
    }

    // Columns named by a list after a derived table's or a common table
    // expression's name: the first block's items take the names in order.
    void nameColumns(Select& select, const QStringList& columns, const QString& table, const Token& at) const
    {
        std::vector<SelectItem>& items = select.cores.front().items;
        for (const SelectItem& item : items) {
            if (item.expr->kind == Expr::Star)
                unsupported(QStringLiteral("a column list over SELECT *"), at);
        }
        if (int(items.size()) != columns.size()) {
            throw DbError(QStringLiteral("'%1' has %2 columns than were specified in the column list.")
                              .arg(table, int(items.size()) < columns.size() ? QStringLiteral("fewer")
                                                                               : QStringLiteral("more")));
        }
        for (size_t i = 0; i < items.size(); ++i)
            items[i].alias = columns[int(i)];
    }

    // (VALUES (a, b), (c, d)): one block a row, joined by UNION ALL.
    SelectPtr valuesRows()
    {
        expectWord("VALUES");
        auto rows = std::make_shared<Select>();
        do {
            expectPunct("(");
            SelectCore row;
            do {
                SelectItem item;
                item.expr = expression();
                row.items.push_back(item);
            } while (acceptPunct(","));
            expectPunct(")");
            if (!rows->cores.empty()) {
                if (row.items.size() != rows->cores.front().items.size())
                    throw DbError(QStringLiteral(
                        "The number of columns for each row in a table value constructor must be the same."));
                rows->compoundOps.push_back(QStringLiteral("UNION ALL"));
            }
            rows->cores.push_back(std::move(row));
        } while (acceptPunct(","));
        return rows;
    }

    SelectPtr selectStatement()
    {
        auto sel = std::make_shared<Select>();
        sel->cores.push_back(selectCoreOrParens(*sel));
        while (true) {
            QString op;
            if (isWord("UNION")) {
                ++p_;
                op = acceptWord("ALL") ? QStringLiteral("UNION ALL") : QStringLiteral("UNION");
            } else if (isWord("EXCEPT")) {
                ++p_;
                op = QStringLiteral("EXCEPT");
            } else if (isWord("INTERSECT")) {
                ++p_;
                op = QStringLiteral("INTERSECT");
            } else {
                break;
            }
            sel->compoundOps.push_back(op);
            sel->cores.push_back(selectCoreOrParens(*sel));
        }
        if (isWord("ORDER") && peekWord(1, "BY")) {
            p_ += 2;
            sel->orderBy = orderItems();
        }
        if (isWord("FOR") || isWord("OPTION") || isWord("INTO"))
            unsupported(cur().text.toUpper() + QStringLiteral(" clause of SELECT"), cur());
        return sel;
    }

    // A parenthesized query term inside a compound is flattened when it is a
    // single core; anything else is not needed by the suite.
    SelectCore selectCoreOrParens(Select& owner)
    {
        if (isPunct("(")) {
            const Token& t = cur();
            ++p_;
            SelectPtr inner = selectStatement();
            expectPunct(")");
            if (inner->cores.size() != 1 || !inner->orderBy.empty())
                unsupported(QStringLiteral("a parenthesized compound query"), t);
            Q_UNUSED(owner);
            return inner->cores.front();
        }
        return selectCore();
    }

    std::vector<OrderItem> orderItems()
    {
        std::vector<OrderItem> items;
        do {
            OrderItem o;
            o.expr = expression();
            if (acceptWord("DESC"))
                o.descending = true;
            else
                acceptWord("ASC");
            items.push_back(o);
        } while (acceptPunct(","));
        return items;
    }

    SelectCore selectCore()
    {
        expectWord("SELECT");
        SelectCore c;
        if (acceptWord("DISTINCT"))
            c.distinct = true;
        else
            acceptWord("ALL");
        if (acceptWord("TOP")) {
            if (acceptPunct("(")) {
                c.top = expression();
                expectPunct(")");
            } else {
                if (cur().kind != TokenKind::Number && cur().kind != TokenKind::Parameter
                    && cur().kind != TokenKind::Variable)
                    syntaxError();
                c.top = primary();
            }
            if (isWord("PERCENT") || isWord("WITH"))
                unsupported(QStringLiteral("TOP ... ") + cur().text.toUpper(), cur());
        }
        do {
            c.items.push_back(selectItem());
        } while (acceptPunct(","));
        if (acceptWord("INTO"))
            c.into = objectName();
        if (acceptWord("FROM"))
            c.from = fromList();
        if (acceptWord("WHERE"))
            c.where = condition();
        if (isWord("GROUP") && peekWord(1, "BY")) {
            p_ += 2;
            do {
                c.groupBy.push_back(expression());
            } while (acceptPunct(","));
        }
        if (acceptWord("HAVING"))
            c.having = condition();
        return c;
    }

    SelectItem selectItem()
    {
        SelectItem item;
        // SELECT @v = expr
        if (cur().kind == TokenKind::Variable && peek().is(TokenKind::Operator, "=")) {
            item.assignVariable = cur().text;
            p_ += 2;
            item.expr = expression();
            return item;
        }
        // SELECT alias = expr
        if (cur().kind == TokenKind::Identifier && peek().is(TokenKind::Operator, "=")
            && (cur().quoted || !reservedWords().contains(cur().text.toUpper()))) {
            item.alias = cur().text;
            p_ += 2;
            item.expr = expression();
            return item;
        }
        if (cur().kind == TokenKind::String && peek().is(TokenKind::Operator, "=")) {
            item.alias = cur().text;
            p_ += 2;
            item.expr = expression();
            return item;
        }
        item.expr = expression();
        if (acceptWord("AS")) {
            if (cur().kind == TokenKind::String || cur().kind == TokenKind::Identifier)
                item.alias = toks_[size_t(p_++)].text;
            else
                syntaxError();
        } else if (cur().kind == TokenKind::String) {
            item.alias = toks_[size_t(p_++)].text;
        } else if (isNonReservedIdent()) {
            item.alias = toks_[size_t(p_++)].text;
        }
        return item;
    }

    std::vector<TableSourcePtr> fromList()
    {
        std::vector<TableSourcePtr> list;
        do {
            list.push_back(joinedSource());
        } while (acceptPunct(","));
        return list;
    }

    bool atJoin() const
    {
        return isWord("JOIN") || isWord("INNER") || isWord("LEFT") || isWord("RIGHT") || isWord("FULL")
            || isWord("CROSS");
    }

    TableSourcePtr joinedSource()
    {
        TableSourcePtr left = primarySource();
        while (atJoin()) {
            auto j = std::make_shared<TableSource>();
            j->kind = TableSource::Join;
            if (acceptWord("CROSS")) {
                if (isWord("APPLY"))
                    unsupported(QStringLiteral("CROSS APPLY"), cur());
                expectWord("JOIN");
                j->joinType = QStringLiteral("CROSS");
            } else {
                QString type = QStringLiteral("INNER");
                if (acceptWord("INNER")) {
                } else if (acceptWord("LEFT")) {
                    type = QStringLiteral("LEFT");
                } else if (acceptWord("RIGHT")) {
                    type = QStringLiteral("RIGHT");
                } else if (acceptWord("FULL")) {
                    type = QStringLiteral("FULL");
                }
                acceptWord("OUTER");
                if (isWord("LOOP") || isWord("HASH") || isWord("MERGE"))
                    ++p_;
                expectWord("JOIN");
                j->joinType = type;
            }
            j->left = left;
            j->right = primarySource();
            if (j->joinType != QLatin1String("CROSS")) {
                // A right side may itself carry joins before its ON, as in
                // "A JOIN B JOIN C ON c ON b".
                while (atJoin()) {
                    j->right = continueJoin(j->right);
                }
                expectWord("ON");
                j->on = condition();
            }
            left = j;
        }
        return left;
    }

    TableSourcePtr continueJoin(TableSourcePtr left)
    {
        auto j = std::make_shared<TableSource>();
        j->kind = TableSource::Join;
        QString type = QStringLiteral("INNER");
        if (acceptWord("LEFT"))
            type = QStringLiteral("LEFT");
        else if (acceptWord("RIGHT"))
            type = QStringLiteral("RIGHT");
        else if (acceptWord("FULL"))
            type = QStringLiteral("FULL");
        else
            acceptWord("INNER");
        acceptWord("OUTER");
        expectWord("JOIN");
        j->joinType = type;
        j->left = left;
        j->right = primarySource();
        expectWord("ON");
        j->on = condition();
        return j;
    }

    // The rest of a derived table after its query: ")", [AS] alias and, for
    // rows of VALUES necessarily, a list naming its columns.
    TableSourcePtr derivedTable(SelectPtr select, bool columnsRequired)
    {
        auto d = std::make_shared<TableSource>();
        d->kind = TableSource::Derived;
        d->select = std::move(select);
        expectPunct(")");
        acceptWord("AS");
        if (!isNonReservedIdent())
            syntaxError();  // SQL Server requires a derived table's alias
        const Token& at = cur();
        d->alias = identifier();
        if (isPunct("("))
            nameColumns(*d->select, columnList(), d->alias, at);
        else if (columnsRequired)
            throw DbError(QStringLiteral("No column name was specified for column 1 of '%1'.").arg(d->alias));
        return d;
    }

    TableSourcePtr primarySource()
    {
        if (isPunct("(")) {
            const int save = p_;
            ++p_;
            if (isWord("VALUES"))
                return derivedTable(valuesRows(), true);
            if (isWord("SELECT") || isPunct("(")) {
                // A derived table, unless the parenthesis holds a join.
                const int save2 = p_;
                bool isQuery = isWord("SELECT");
                if (!isQuery) {
                    // ( ( select ... ) ) or ( (table join ...) join ... )
                    int depth = 0;
                    int k = p_;
                    while (toks_[size_t(k)].is(TokenKind::Punct, "(")) {
                        ++depth;
                        ++k;
                    }
                    isQuery = toks_[size_t(k)].isWord("SELECT");
                    Q_UNUSED(depth);
                }
                p_ = save2;
                if (isQuery)
                    return derivedTable(selectStatement(), false);
            }
            p_ = save + 1;
            TableSourcePtr inner = joinedSource();
            expectPunct(")");
            inner->parenthesized = true;
            return inner;
        }
        auto t = std::make_shared<TableSource>();
        t->kind = TableSource::Table;
        if (cur().kind != TokenKind::Identifier && cur().kind != TokenKind::Variable)
            syntaxError();
        const Token& named = cur();
        const bool bareName = !peek().is(TokenKind::Punct, ".");
        t->name = tableName();
        if (isPunct("("))
            unsupported(QStringLiteral("table-valued functions"), cur());
        if (acceptWord("AS"))
            t->alias = identifier();
        else if (isNonReservedIdent())
            t->alias = identifier();
        if (isWord("WITH") && peek().is(TokenKind::Punct, "(")) {  // table hints such as (NOLOCK)
            ++p_;
            skipParens();
        } else if (isPunct("(") && peekWord(1, "NOLOCK")) {
            skipParens();
        }
        const auto common = bareName ? commonTables_.constFind(t->name.toUpper()) : commonTables_.constEnd();
        if (common != commonTables_.constEnd()) {
            if (!common->select)
                unsupported(QStringLiteral("recursive common table expressions"), named);
            auto d = std::make_shared<TableSource>();
            d->kind = TableSource::Derived;
            d->select = common->select;
            d->alias = t->alias.isEmpty() ? t->name : t->alias;
            return d;
        }
        return t;
    }

    // ---- expressions ----
    ExprPtr makeExpr(Expr::Kind k, int pos)
    {
        auto e = std::make_shared<Expr>();
        e->kind = k;
        e->pos = pos;
        return e;
    }

    ExprPtr condition() { return expression(); }

    ExprPtr expression()
    {
        const Nesting nesting(depth_);
        return orExpr();
    }

    // `chain` was built by a loop over `links` operators of one precedence,
    // each a left-deep Binary node. A long one is regrouped into a balanced
    // tree when its operator allows it, so that nothing after the parser
    // recurses once per term; otherwise it is refused.
    ExprPtr balanced(ExprPtr chain, int links)
    {
        if (links <= kLongChain)
            return chain;
        const QString op = chain->op;
        if (op != QLatin1String("OR") && op != QLatin1String("AND") && op != QLatin1String("+"))
            nestedTooDeeply();
        const int pos = chain->pos;
        std::vector<ExprPtr> terms(size_t(links) + 1);
        ExprPtr e = std::move(chain);
        for (int i = links; i > 0; --i) {
            if (e->kind != Expr::Binary || e->op != op)
                nestedTooDeeply();  // "a + b - c + ...": grouping would change the result
            terms[size_t(i)] = std::move(e->args[1]);
            ExprPtr left = std::move(e->args[0]);
            e = std::move(left);  // one node freed at a time, never a deep chain at once
        }
        terms[0] = std::move(e);
        return group(terms, 0, terms.size(), op, pos);
    }

    ExprPtr group(std::vector<ExprPtr>& terms, size_t from, size_t to, const QString& op, int pos)
    {
        if (to - from == 1)
            return terms[from];
        const size_t mid = from + (to - from) / 2;
        auto e = makeExpr(Expr::Binary, pos);
        e->op = op;
        for (ExprPtr part : {group(terms, from, mid, op, pos), group(terms, mid, to, op, pos)}) {
            // Kept in parentheses so that SQLite reads the same grouping back.
            if (part->kind == Expr::Binary) {
                auto paren = makeExpr(Expr::Paren, part->pos);
                paren->args = {part};
                part = paren;
            }
            e->args.push_back(part);
        }
        return e;
    }

    ExprPtr orExpr()
    {
        ExprPtr l = andExpr();
        int links = 0;
        while (isWord("OR")) {
            ++links;
            const int pos = cur().pos;
            ++p_;
            auto e = makeExpr(Expr::Binary, pos);
            e->op = QStringLiteral("OR");
            e->args = {l, andExpr()};
            l = e;
        }
        return balanced(std::move(l), links);
    }

    ExprPtr andExpr()
    {
        ExprPtr l = notExpr();
        int links = 0;
        while (isWord("AND")) {
            ++links;
            const int pos = cur().pos;
            ++p_;
            auto e = makeExpr(Expr::Binary, pos);
            e->op = QStringLiteral("AND");
            e->args = {l, notExpr()};
            l = e;
        }
        return balanced(std::move(l), links);
    }

    ExprPtr notExpr()
    {
        if (isWord("NOT")) {
            const Nesting nesting(depth_);
            const int pos = cur().pos;
            ++p_;
            auto e = makeExpr(Expr::Not, pos);
            e->args = {notExpr()};
            return e;
        }
        return predicate();
    }

    ExprPtr predicate()
    {
        const int pos = cur().pos;
        if (isWord("EXISTS")) {
            ++p_;
            expectPunct("(");
            auto e = makeExpr(Expr::Exists, pos);
            e->select = selectStatement();
            expectPunct(")");
            return e;
        }
        ExprPtr l = additive();
        while (true) {
            const Token& t = cur();
            if (t.kind == TokenKind::Operator
                && (t.text == QLatin1String("=") || t.text == QLatin1String("<>") || t.text == QLatin1String("!=")
                    || t.text == QLatin1String("<") || t.text == QLatin1String(">") || t.text == QLatin1String("<=")
                    || t.text == QLatin1String(">=") || t.text == QLatin1String("!<") || t.text == QLatin1String("!>"))) {
                ++p_;
                auto e = makeExpr(Expr::Binary, t.pos);
                e->op = t.text == QLatin1String("!=") ? QStringLiteral("<>")
                    : t.text == QLatin1String("!<")   ? QStringLiteral(">=")
                    : t.text == QLatin1String("!>")   ? QStringLiteral("<=")
                                                      : t.text;
                if (isWord("ALL") || isWord("ANY") || isWord("SOME"))
                    unsupported(QStringLiteral("ALL/ANY/SOME comparisons"), cur());
                e->args = {l, additive()};
                l = e;
                continue;
            }
            bool negated = false;
            int save = p_;
            if (isWord("NOT")) {
                negated = true;
                ++p_;
            }
            if (acceptWord("BETWEEN")) {
                auto e = makeExpr(Expr::Between, t.pos);
                e->negated = negated;
                ExprPtr lo = additive();
                expectWord("AND");
                ExprPtr hi = additive();
                e->args = {l, lo, hi};
                l = e;
                continue;
            }
            if (acceptWord("LIKE")) {
                auto e = makeExpr(Expr::Like, t.pos);
                e->negated = negated;
                e->args = {l, additive()};
                if (acceptWord("ESCAPE"))
                    e->args.push_back(additive());
                l = e;
                continue;
            }
            if (acceptWord("IN")) {
                expectPunct("(");
                if (isWord("SELECT")) {
                    auto e = makeExpr(Expr::InSelect, t.pos);
                    e->negated = negated;
                    e->args = {l};
                    e->select = selectStatement();
                    expectPunct(")");
                    l = e;
                } else {
                    auto e = makeExpr(Expr::InList, t.pos);
                    e->negated = negated;
                    e->args = {l};
                    do {
                        e->args.push_back(expression());
                    } while (acceptPunct(","));
                    expectPunct(")");
                    l = e;
                }
                continue;
            }
            if (!negated && acceptWord("IS")) {
                auto e = makeExpr(Expr::IsNull, t.pos);
                e->negated = acceptWord("NOT");
                expectWord("NULL");
                e->args = {l};
                l = e;
                continue;
            }
            p_ = save;
            break;
        }
        return l;
    }

    ExprPtr additive()
    {
        ExprPtr l = multiplicative();
        int links = 0;
        while (cur().kind == TokenKind::Operator
               && (cur().text == QLatin1String("+") || cur().text == QLatin1String("-")
                   || cur().text == QLatin1String("&") || cur().text == QLatin1String("|")
                   || cur().text == QLatin1String("^"))) {
            auto e = makeExpr(Expr::Binary, cur().pos);
            e->op = toks_[size_t(p_++)].text;
            e->args = {l, multiplicative()};
            l = e;
            ++links;
        }
        return balanced(std::move(l), links);
    }

    ExprPtr multiplicative()
    {
        ExprPtr l = unary();
        int links = 0;
        while (cur().kind == TokenKind::Operator
               && (cur().text == QLatin1String("*") || cur().text == QLatin1String("/")
                   || cur().text == QLatin1String("%"))) {
            auto e = makeExpr(Expr::Binary, cur().pos);
            e->op = toks_[size_t(p_++)].text;
            e->args = {l, unary()};
            l = e;
            ++links;
        }
        return balanced(std::move(l), links);
    }

    ExprPtr unary()
    {
        if (cur().kind == TokenKind::Operator
            && (cur().text == QLatin1String("-") || cur().text == QLatin1String("+") || cur().text == QLatin1String("~"))) {
            const Nesting nesting(depth_);
            const Token& t = cur();
            ++p_;
            ExprPtr operand = unary();
            if (t.text == QLatin1String("+"))
                return operand;
            if (t.text == QLatin1String("-") && operand->kind == Expr::Number) {
                // Two signs cancel: written "--", they would start a comment.
                operand->text = operand->text.startsWith(QLatin1Char('-')) ? operand->text.mid(1)
                                                                            : QLatin1Char('-') + operand->text;
                return operand;
            }
            auto e = makeExpr(Expr::Unary, t.pos);
            e->op = t.text;
            e->args = {operand};
            return e;
        }
        return primary();
    }

    ExprPtr primary()
    {
        const Token& t = cur();
        switch (t.kind) {
        case TokenKind::Number: {
            ++p_;
            auto e = makeExpr(Expr::Number, t.pos);
            e->text = t.text;
            return e;
        }
        case TokenKind::String: {
            ++p_;
            auto e = makeExpr(Expr::String, t.pos);
            e->text = t.text;
            // N'...' is Unicode: two bytes a character, and so is what it joins.
            e->type.name = t.national ? QStringLiteral("NVARCHAR") : QStringLiteral("VARCHAR");
            e->type.length = std::max(int(t.text.size()), 1);
            return e;
        }
        case TokenKind::Parameter: {
            ++p_;
            auto e = makeExpr(Expr::Param, t.pos);
            e->text = t.text;
            return e;
        }
        case TokenKind::Variable: {
            ++p_;
            auto e = makeExpr(Expr::Variable, t.pos);
            e->text = t.text;
            return e;
        }
        case TokenKind::SystemVariable: {
            ++p_;
            const QString name = t.text.toUpper();
            auto e = makeExpr(name == QLatin1String("@@IDENTITY") ? Expr::Identity : Expr::SystemVar, t.pos);
            e->text = name;
            return e;
        }
        case TokenKind::Punct:
            if (t.text == QLatin1String("(")) {
                ++p_;
                if (isWord("SELECT")) {
                    auto e = makeExpr(Expr::Subquery, t.pos);
                    e->select = selectStatement();
                    expectPunct(")");
                    return e;
                }
                auto e = makeExpr(Expr::Paren, t.pos);
                e->args = {expression()};
                expectPunct(")");
                return e;
            }
            break;
        case TokenKind::Operator:
            if (t.text == QLatin1String("*")) {
                ++p_;
                return makeExpr(Expr::Star, t.pos);
            }
            break;
        case TokenKind::Identifier:
            return identifierExpr();
        default:
            break;
        }
        syntaxError();
    }

    ExprPtr identifierExpr()
    {
        const Token& t = cur();
        if (!t.quoted) {
            const QString upper = t.text.toUpper();
            if (upper == QLatin1String("NULL")) {
                ++p_;
                return makeExpr(Expr::Null, t.pos);
            }
            if (upper == QLatin1String("CASE"))
                return caseExpr();
            if ((upper == QLatin1String("CAST") || upper == QLatin1String("CONVERT") || upper == QLatin1String("TRY_CONVERT")
                 || upper == QLatin1String("TRY_CAST"))
                && peek().is(TokenKind::Punct, "("))
                return convertExpr(upper);
            if (reservedWords().contains(upper) && !peek().is(TokenKind::Punct, "(")
                && upper != QLatin1String("LEFT") && upper != QLatin1String("RIGHT"))
                syntaxError();
        }
        if (peek().is(TokenKind::Punct, "(") && !t.quoted) {
            return functionCall();
        }
        // Column reference: [db.][schema.]table.column, table.*, column.
        QStringList parts{identifier()};
        while (isPunct(".")) {
            ++p_;
            if (isOp("*")) {
                ++p_;
                auto e = makeExpr(Expr::Star, t.pos);
                e->qualifier = parts.last();
                return e;
            }
            parts.append(identifier());
        }
        auto e = makeExpr(Expr::Column, t.pos);
        e->text = parts.last();
        if (parts.size() >= 2)
            e->qualifier = parts[parts.size() - 2];
        return e;
    }

    ExprPtr caseExpr()
    {
        auto e = makeExpr(Expr::Case, cur().pos);
        expectWord("CASE");
        if (!isWord("WHEN")) {
            e->hasOperand = true;
            e->args.push_back(expression());
        }
        if (!isWord("WHEN"))
            syntaxError();
        while (acceptWord("WHEN")) {
            e->args.push_back(expression());
            expectWord("THEN");
            e->args.push_back(expression());
        }
        if (acceptWord("ELSE")) {
            e->hasElse = true;
            e->args.push_back(expression());
        }
        expectWord("END");
        return e;
    }

    ExprPtr convertExpr(const QString& upper)
    {
        auto e = makeExpr(Expr::Convert, cur().pos);
        e->orNull = upper.startsWith(QLatin1String("TRY_"));
        ++p_;
        expectPunct("(");
        if (upper.endsWith(QLatin1String("CAST"))) {
            e->args.push_back(expression());
            expectWord("AS");
            e->type = typeName();
        } else {
            e->type = typeName();
            expectPunct(",");
            e->args.push_back(expression());
            if (acceptPunct(","))
                e->args.push_back(expression());
        }
        expectPunct(")");
        return e;
    }

    ExprPtr functionCall()
    {
        const Token& t = cur();
        auto e = makeExpr(Expr::Function, t.pos);
        e->text = identifier().toUpper();
        expectPunct("(");
        if (e->text == QLatin1String("IIF"))
            return iif(t.pos);
        static const QSet<QString> datePartFunctions{QStringLiteral("DATEADD"), QStringLiteral("DATEDIFF"),
                                                     QStringLiteral("DATEPART"), QStringLiteral("DATENAME")};
        if (datePartFunctions.contains(e->text) && isIdent()) {
            auto part = makeExpr(Expr::DatePart, cur().pos);
            part->text = identifier().toLower();
            e->args.push_back(part);
            if (!acceptPunct(",")) {
                expectPunct(")");
                return e;
            }
        }
        if (isOp("*")) {
            ++p_;
            e->star = true;
            expectPunct(")");
        } else if (!acceptPunct(")")) {
            if (acceptWord("DISTINCT"))
                e->distinct = true;
            else
                acceptWord("ALL");
            do {
                e->args.push_back(expression());
            } while (acceptPunct(","));
            expectPunct(")");
        }
        if (acceptWord("OVER"))
            e->over = window();
        return e;
    }

    // IIF(condition, then, else) is the CASE it stands for.
    ExprPtr iif(int pos)
    {
        auto e = makeExpr(Expr::Case, pos);
        e->args.push_back(condition());
        expectPunct(",");
        e->args.push_back(expression());
        expectPunct(",");
        e->args.push_back(expression());
        e->hasElse = true;
        expectPunct(")");
        return e;
    }

    std::shared_ptr<Window> window()
    {
        auto w = std::make_shared<Window>();
        expectPunct("(");
        if (isWord("PARTITION") && peekWord(1, "BY")) {
            p_ += 2;
            do {
                w->partitionBy.push_back(expression());
            } while (acceptPunct(","));
        }
        if (isWord("ORDER") && peekWord(1, "BY")) {
            p_ += 2;
            w->orderBy = orderItems();
        }
        if (isWord("ROWS") || isWord("RANGE")) {
            // A frame follows a PARTITION BY or an ORDER BY; standing alone it is not read as one.
            if (w->partitionBy.empty() && w->orderBy.empty())
                syntaxError();
            w->frame = windowFrame();
        }
        expectPunct(")");
        return w;
    }

    WindowFrame windowFrame()
    {
        WindowFrame f;
        f.range = isWord("RANGE");
        ++p_;
        if (acceptWord("BETWEEN")) {
            f.start = frameBound();
            expectWord("AND");
            f.end = frameBound();
            return f;
        }
        // Alone, a bound starts the frame: only the preceding ones may.
        f.start = frameBound();
        if (f.start.kind > FrameBound::CurrentRow)
            syntaxErrorAt(peek(-1));
        return f;
    }

    // UNBOUNDED PRECEDING | UNBOUNDED FOLLOWING | CURRENT ROW | n PRECEDING | n FOLLOWING
    FrameBound frameBound()
    {
        FrameBound b;
        if (acceptWord("CURRENT")) {
            expectWord("ROW");
            return b;
        }
        const bool unbounded = acceptWord("UNBOUNDED");
        if (!unbounded) {
            // n is a whole-number literal; past 64 bits it reaches every row anyway.
            const QString& n = cur().text;
            const auto isDigit = [](QChar c) { return c >= u'0' && c <= u'9'; };
            if (cur().kind != TokenKind::Number || !std::all_of(n.begin(), n.end(), isDigit))
                syntaxError();
            bool fits = false;
            b.offset = cur().text.toLongLong(&fits);
            if (!fits)
                b.offset = std::numeric_limits<qint64>::max();
            ++p_;
        }
        if (acceptWord("PRECEDING"))
            b.kind = unbounded ? FrameBound::UnboundedPreceding : FrameBound::Preceding;
        else if (acceptWord("FOLLOWING"))
            b.kind = unbounded ? FrameBound::UnboundedFollowing : FrameBound::Following;
        else
            syntaxError();
        return b;
    }

    const QString& sql_;
    std::vector<Token> toks_;
    int p_ = 0;
    int depth_ = 0;  // nesting of the statement or expression being read
};

} // namespace

QString nestedTooDeeplyMessage()
{
    return QStringLiteral("Some part of your SQL statement is nested too deeply. Rewrite the query or break it up "
                          "into smaller queries.");
}

Batch parseBatch(const QString& sql)
{
    Batch b = Parser(sql).parseBatch();
    b.text = sql;
    return b;
}

TypeName parseTypeName(const QString& text)
{
    return Parser(text).typeOnly();
}

} // namespace db::sqlite
