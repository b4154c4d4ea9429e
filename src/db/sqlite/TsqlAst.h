#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

// Syntax tree of the T-SQL that the embedded engine understands. The parser
// builds it once per statement text; the generator turns it into SQLite SQL
// and the batch runner interprets its procedural statements.
namespace db::sqlite {

struct Select;
struct Expr;
struct Window;
using ExprPtr = std::shared_ptr<Expr>;
using SelectPtr = std::shared_ptr<Select>;

// A SQL Server data type as written: name (upper-cased) and its arguments.
struct TypeName {
    QString name;       // e.g. VARCHAR, DECIMAL, IDNO
    int length = -1;    // char(n), varchar(n); -2 for (max)
    int precision = -1; // decimal(p, s)
    int scale = -1;
    QString text() const;  // as SQL Server writes it: VARCHAR(30), DECIMAL(18,2)
    bool isText() const;
    bool isDate() const;
    bool isInteger() const;
};

struct Expr {
    enum Kind {
        Null,
        Number,      // text
        String,      // text; type VARCHAR(n), or NVARCHAR(n) for N'...'
        Column,      // qualifier . text
        Star,        // qualifier.* or *
        Param,       // :text
        Variable,    // @text
        Identity,    // @@IDENTITY / SCOPE_IDENTITY()
        SystemVar,   // other @@ names (text)
        Unary,       // op, args[0]
        Binary,      // op (+ - * / % AND OR = <> < > <= >= & | ^), args[0], args[1]
        Not,         // args[0]
        Between,     // args[0] between args[1] and args[2]; negated
        InList,      // args[0] in (args[1..]); negated
        InSelect,    // args[0] in (select); negated
        Exists,      // exists (select); negated
        IsNull,      // args[0] is [not] null; negated
        Like,        // args[0] like args[1] [escape args[2]]; negated
        Case,        // args: [operand], when, then, when, then, ..., [else]; hasOperand, hasElse
        Function,    // text = name (upper-cased), args; distinct; star (COUNT(*))
        Convert,     // type, args[0] = value, args[1] = style (optional)
        Subquery,    // select
        DatePart,    // text = a DATEADD/DATEDIFF part word
        Paren        // args[0] in parentheses (kept for faithful output)
    };
    Kind kind = Null;
    QString text;
    QString qualifier;
    QString op;
    std::vector<ExprPtr> args;
    SelectPtr select;
    TypeName type;
    std::shared_ptr<Window> over;  // Function: OVER (...), a window function
    bool orNull = false;           // Convert: TRY_CONVERT / TRY_CAST, NULL where the value does not convert
    bool negated = false;
    bool distinct = false;
    bool star = false;
    bool hasOperand = false;
    bool hasElse = false;
    int pos = 0;
};

struct SelectItem {
    ExprPtr expr;
    QString alias;          // empty when none
    QString assignVariable; // SELECT @v = expr
};

struct TableSource {
    enum Kind { Table, Derived, Join };
    Kind kind = Table;
    QString name;    // table name (schema prefix dropped)
    QString alias;
    SelectPtr select;                         // Derived
    std::shared_ptr<TableSource> left, right; // Join
    QString joinType;                         // INNER, LEFT, RIGHT, FULL, CROSS
    ExprPtr on;
    bool parenthesized = false;
};
using TableSourcePtr = std::shared_ptr<TableSource>;

struct OrderItem {
    ExprPtr expr;
    bool descending = false;
};

// One end of a window frame, in the order the ends may follow each other.
struct FrameBound {
    enum Kind { UnboundedPreceding, Preceding, CurrentRow, Following, UnboundedFollowing };
    Kind kind = CurrentRow;
    qint64 offset = 0;  // n of n PRECEDING / n FOLLOWING
};

// ROWS or RANGE BETWEEN start AND end; a single bound written alone is the
// start, and the frame ends at the current row.
struct WindowFrame {
    bool range = false;
    FrameBound start;
    FrameBound end;
};

// OVER ([PARTITION BY ...] [ORDER BY ...] [ROWS | RANGE ...]) of a window function.
struct Window {
    std::vector<ExprPtr> partitionBy;
    std::vector<OrderItem> orderBy;
    std::optional<WindowFrame> frame;
};

struct SelectCore {
    bool distinct = false;
    ExprPtr top;          // TOP n
    std::vector<SelectItem> items;
    QString into;         // SELECT ... INTO table: the table it makes
    std::vector<TableSourcePtr> from;  // comma-separated sources
    ExprPtr where;
    std::vector<ExprPtr> groupBy;
    ExprPtr having;
};

struct Select {
    std::vector<SelectCore> cores;
    std::vector<QString> compoundOps;  // between cores: UNION, UNION ALL, EXCEPT, INTERSECT
    std::vector<OrderItem> orderBy;
};

struct ColumnDef {
    QString name;
    TypeName type;
    bool notNull = false;
    bool explicitNull = false;
    bool identity = false;
    qint64 identitySeed = 1;
    qint64 identityStep = 1;
    bool primaryKey = false;
    bool unique = false;
    ExprPtr defaultValue;
    ExprPtr check;
    ExprPtr computed;     // name AS expression: a computed column, no type of its own
    QString refTable;     // column-level REFERENCES
    QStringList refColumns;
    QString constraintName;
};

struct TableConstraint {
    enum Kind { PrimaryKey, Unique, ForeignKey, Check };
    Kind kind = PrimaryKey;
    QString name;
    QStringList columns;
    QString refTable;
    QStringList refColumns;
    ExprPtr check;
};

struct Stmt;
using StmtPtr = std::shared_ptr<Stmt>;

struct Stmt {
    enum Kind {
        SelectStmt,
        Insert,
        Update,
        Delete,
        CreateTable,
        CreateIndex,
        CreateView,
        CreateType,
        Drop,          // objectType = TABLE / VIEW / INDEX / PROCEDURE / TYPE
        AlterAdd,      // ALTER TABLE ... ADD columns / constraints
        Truncate,
        Declare,
        DeclareTable,  // DECLARE @t TABLE (...): table = @t, columnDefs, constraints
        SetVar,
        If,
        Block,
        While,
        Break,
        Continue,
        Return,
        Print,
        Exec,
        CreateProcedure,
        IdentityInsert,  // SET IDENTITY_INSERT table ON|OFF (flag)
        CheckConstraints,  // ALTER TABLE table CHECK (flag) | NOCHECK CONSTRAINT ALL | names (columns)
        SetRowcount,     // SET ROWCOUNT expr
        SetDateFormat,   // SET DATEFORMAT mdy | dmy | ... | @v (expr)
        SetXactAbort,    // SET XACT_ABORT ON|OFF (flag)
        Transaction,     // objectType BEGIN | COMMIT | ROLLBACK | SAVE; name in table, or @v in expr
        TryCatch,        // BEGIN TRY body END TRY BEGIN CATCH catchBody END CATCH
        Throw,           // THROW number, message, state (values[0]); bare THROW: no values
        Raiserror,       // RAISERROR (message, severity, state, arguments...) in values[0]
        Ignored        // SET NOCOUNT and friends
    };
    Kind kind = Ignored;
    int pos = 0;
    int line = 1;

    SelectPtr select;                 // SelectStmt, Insert ... SELECT, CreateView
    QString table;                    // target table / object name
    QString alias;                    // UPDATE / DELETE target alias
    QStringList columns;              // INSERT column list, CREATE INDEX columns
    std::vector<bool> descending;     // CREATE INDEX column order
    std::vector<std::vector<ExprPtr>> values;  // INSERT VALUES rows
    bool defaultValues = false;
    std::vector<std::pair<QString, ExprPtr>> assignments;  // UPDATE SET
    std::vector<TableSourcePtr> from;                      // UPDATE / DELETE FROM
    ExprPtr where;
    ExprPtr top;

    std::vector<ColumnDef> columnDefs;          // CREATE TABLE, ALTER ADD
    std::vector<TableConstraint> constraints;   // CREATE TABLE, ALTER ADD CONSTRAINT
    bool unique = false;                        // CREATE UNIQUE INDEX
    QString objectType;                         // DROP
    bool ifExists = false;
    TypeName type;                              // CREATE TYPE base type

    // Procedural statements.
    struct VarDecl {
        QString name;
        TypeName type;
        ExprPtr init;
    };
    std::vector<VarDecl> variables;   // DECLARE
    QString variable;                 // SET @v
    QString assignOp;                 // SET @v = / += / -=
    ExprPtr expr;                     // SET value, IF / WHILE condition, RETURN value, PRINT text
    StmtPtr thenStmt, elseStmt;       // IF; WHILE body in thenStmt
    std::vector<StmtPtr> body;        // BLOCK, CREATE PROCEDURE body, TRY block
    std::vector<StmtPtr> catchBody;   // CATCH block

    // EXEC proc args
    struct ExecArg {
        QString name;   // @name = value, or empty
        ExprPtr value;
        bool output = false;
        bool isDefault = false;
    };
    QString returnVariable;  // EXEC @r = proc
    std::vector<ExecArg> execArgs;

    // CREATE PROCEDURE
    struct ProcParamDef {
        QString name;
        TypeName type;
        ExprPtr defaultValue;
        bool output = false;
    };
    std::vector<ProcParamDef> procParams;
    QString procBodyText;  // the whole CREATE PROCEDURE text, kept in the database
    bool alter = false;
    bool flag = false;
};

struct Batch {
    std::vector<StmtPtr> statements;
    QString text;  // the source, for messages that quote it
};

} // namespace db::sqlite
