#pragma once

#include "DateOrder.h"
#include "TsqlAst.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <initializer_list>
#include <vector>

namespace db::sqlite {

// A full-text table of a column's trigrams, and the column of the table or
// view read that holds the rowid its rows are keyed by ("rowid" itself for a
// table). Empty `table`: no index.
struct TrigramIndex {
    QString table;
    QString key;
};

// What the generator needs to know about the database: declared column types
// (to read date literals as dates and to let prefix LIKE use an index) and
// the base types of user-defined types.
class SchemaInfo {
public:
    virtual ~SchemaInfo() = default;
    // The declared SQL Server type of table.column ("VARCHAR(30)",
    // "DATETIME"), or empty when the table or column is unknown.
    virtual QString columnType(const QString& table, const QString& column) const = 0;
    // The table's columns in order (for INSERT without a column list).
    virtual QStringList columns(const QString& table) const = 0;
    // The table's IDENTITY column, or empty when it has none.
    virtual QString identityColumn(const QString& table) const = 0;
    // Whether table.column is declared NOT NULL.
    virtual bool columnNotNull(const QString& table, const QString& column) const
    {
        Q_UNUSED(table);
        Q_UNUSED(column);
        return false;
    }
    // The database the statements run in (DB_NAME()).
    virtual QString databaseName() const = 0;
    // The base type of a user-defined type, or an empty name when unknown.
    virtual TypeName userType(const QString& name) const = 0;
    // The declared type of a variable ("@D", upper-cased) where the statement
    // runs, or an empty name when unknown.
    virtual TypeName variableType(const QString&) const { return TypeName(); }
    // Whether an equality on table.column is an index look-up: the column
    // leads one of the table's indexes, or is its IDENTITY (the rowid).
    virtual bool leadsAnIndex(const QString& table, const QString& column) const
    {
        Q_UNUSED(table);
        Q_UNUSED(column);
        return false;
    }
    // The trigram index that serves table.column (a table's, or for a view's
    // column the index of the table column it shows), or none.
    virtual TrigramIndex trigramIndex(const QString& table, const QString& column) const
    {
        Q_UNUSED(table);
        Q_UNUSED(column);
        return {};
    }
};

// The generator's rewrites for speed. Each returns exactly the rows of the
// plain statement; tests switch them off to compare.
struct Optimizations {
    bool orAsUnion = true;     // OR of look-ups on different tables as UNION ALL
    bool trigramLike = true;   // LIKE '%text%' narrowed by a trigram index first
    bool derivedOnce = true;   // a derived table's subquery columns worked out once a row
    bool aggregateAsJoin = true;  // a correlated aggregate read once, grouped, and joined
};

// A value to bind to one "?" of a generated statement.
struct BindSlot {
    enum Kind { Param, Variable };
    Kind kind = Param;
    QString name;  // upper-cased; variables keep their "@"
};

struct GeneratedSql {
    QString sql;
    std::vector<BindSlot> binds;
    // A SELECT with an ORDER BY whose trigram look-ups drive it may also be
    // run with them tested row by row, so that SQLite can walk the index
    // that gives the order and hand out first rows before it has found them
    // all (`firstRowsSql`). `wholeSql` is the statement as `sql` but in the
    // same total order (the ORDER BY completed with each table's rowid): a
    // reader may start on the first and go on with the second, skipping the
    // rows it has. Both empty when there is no such choice; same binds.
    QString firstRowsSql = {};
    QString wholeSql = {};
};

// Name under which the embedded engine keeps an index, unique per table as
// SQL Server's index names are.
QString sqliteIndexName(const QString& table, const QString& index);

// Turns a data statement or schema statement into SQLite SQL. Procedural
// statements are not its business (the batch runner interprets them), but
// their expressions are: expression() makes "SELECT expr".
class SqlGenerator {
public:
    explicit SqlGenerator(const SchemaInfo& schema) : schema_(schema) {}

    void setOptimizations(const Optimizations& o) { optimizations_ = o; }
    const Optimizations& optimizations() const { return optimizations_; }

    // `rowLimit` (SET ROWCOUNT): an INSERT ... SELECT, UPDATE or DELETE
    // stops after so many rows; 0 for all.
    GeneratedSql statement(const Stmt& stmt, qint64 rowLimit = 0);
    GeneratedSql selectValue(const Expr& expr);             // SELECT expr
    GeneratedSql selectCondition(const Expr& condition);    // SELECT CASE WHEN cond THEN 1 ELSE 0 END
    QString sqliteType(const TypeName& type) const;         // declared type written into SQLite's schema
    TypeName resolveType(const TypeName& type) const;       // user types to their base type
    QString constraintClause(const TableConstraint& k);     // as written inside CREATE TABLE
    // The named columns of a SELECT's result with the types SQL Server gives
    // them (all blocks of a UNION taken together); an empty type where it is
    // not known.
    std::vector<std::pair<QString, TypeName>> resultColumns(const Select& s) const;
    // Every result column's type as SQL Server writes it ("DATE",
    // "DECIMAL(9,2)"), a `*` taken column by column; an empty text where it
    // is not known.
    QStringList resultTypes(const Select& s) const;
    // A result column as a table made from it: its name, its type, and the
    // table column it shows as it stands (empty when it shows none).
    struct OutputColumn {
        QString name;
        TypeName type;
        QString table;
        QString column;
    };
    // Every result column, a `*` taken column by column.
    std::vector<OutputColumn> outputColumns(const Select& s) const;
    void setDateOrder(DateOrder order) { dateOrder_ = order; }  // SET DATEFORMAT: how date literals read

private:
    struct Source {
        QString alias;   // upper-cased alias, or the table name when none
        QString table;   // empty for derived tables
        const Select* derived = nullptr;  // a derived table's SELECT
    };
    struct Scope {
        std::vector<Source> sources;
        const Scope* outer = nullptr;
    };

    QString select(const Select& s, const Scope* outer);
    QString selectCore(const SelectCore& c, const Scope* outer, bool limitInside, const std::vector<OrderItem>* orderBy,
                       bool tieBreak = false);
    // The two shapes of GeneratedSql::firstRowsSql, when `s` can have them.
    void addFirstRowsShapes(const Select& s, GeneratedSql& g);
    QString source(const TableSource& t, Scope& scope, const Scope* outer);
    static void collectSources(const TableSource& t, Scope& scope);
    // The type of a SELECT's result column `index`, over every block.
    TypeName resultColumnType(const Select& s, size_t index) const;
    // The table of a column reference in scope, or empty (a derived table's).
    QString tableOf(const Expr& column, const Scope& scope) const;
    // The type of a column of a derived table in scope, or an empty name.
    TypeName derivedColumnType(const Expr& column, const Scope& scope) const;
    QString expr(const Expr& e, const Scope& scope);
    QString comparison(const Expr& e, const Scope& scope);
    QString function(const Expr& e, const Scope& scope);
    // CONCAT: each argument written as CONVERT to text writes it, NULL as ''.
    QString concat(const Expr& e, const Scope& scope);
    // ROW_NUMBER, RANK, DENSE_RANK and NTILE, which need an OVER clause.
    QString rankingFunction(const Expr& e, const Scope& scope);
    QString offsetWindowFunction(const Expr& e, const Scope& scope);
    // " OVER (PARTITION BY ... ORDER BY ...)" of a window function, checked
    // as SQL Server checks it; empty when `e` has none.
    QString overClause(const Expr& e, const Scope& scope);
    // A term that compares text with the one collation (GROUP BY, PARTITION
    // BY): a number keeps its own order.
    QString collatedTerm(const Expr& e, const Scope& scope);
    // Money and wide decimals: whether a range over these sides must compare
    // their ordering keys (one side may hold a wide value, none is text or a
    // date); a side as its key; an ORDER BY or window term; MIN or MAX of
    // such an argument, over its keys.
    bool ordersWideValues(std::initializer_list<const Expr*> sides, const Scope& scope) const;
    QString orderKey(const Expr& e, const Scope& scope);
    // `l op r` (a range operator) and `value BETWEEN low AND high` over keys.
    QString keyedRange(const Expr& l, const QString& op, const Expr& r, const Scope& scope);
    QString keyedBetween(const Expr& value, const Expr& low, const Expr& high, const Scope& scope);
    QString guardedRange(const Expr& column, const QString& op, std::initializer_list<const Expr*> bounds,
                         const Scope& scope);
    // A number written in the statement that SQLite reads as it stands.
    static bool isOrdinaryNumber(const Expr& e);
    QString sortTerm(const Expr& e, const Scope& scope);
    // An ORDER BY ordinal or alias naming a result column of money or a
    // wide decimal, as its key; empty otherwise.
    QString resultColumnKey(const Expr& term, const SelectCore& core, const Scope& scope);
    // The same for a result column of a compound; empty otherwise.
    QString compoundColumnKey(const Select& compound, const Expr& term) const;
    static QString extremum(const QString& name, const QString& argument, bool distinct, const QString& over);
    QString convert(const Expr& e, const Scope& scope);
    QString like(const Expr& e, const Scope& scope);
    // The trigram look-up that narrows `value LIKE pattern`, or empty.
    QString trigramFilter(const Expr& value, const Expr& pattern, const Scope& scope);
    // Notes the terms of a WHERE or inner ON: conditions whose false and
    // unknown both drop the row.
    void markWhereTerms(const Expr& condition);
    // `tieBreak`: every table's rowid after the items, for one total order.
    // `core`: the block whose result columns an ordinal or alias names.
    // `compound`: the UNION whose result columns the terms name, read as a
    // table so that its money and wide decimals can be ordered by key.
    QString orderBy(const std::vector<OrderItem>& items, const Scope& scope, bool tieBreak = false,
                    const SelectCore* core = nullptr, const Select* compound = nullptr);
    QString itemName(const SelectItem& item) const;

    QString insert(const Stmt& s, qint64 rowLimit);
    QString insertedRows(const QString& rows, const Stmt& s, const QStringList& targetColumns) const;
    QString update(const Stmt& s);
    QString deleteStmt(const Stmt& s);
    QString createTable(const Stmt& s);
    QString alterAdd(const Stmt& s);
    QString columnDef(const ColumnDef& c, bool inCreate, bool tableHasPrimaryKey);

    QString columnTypeOf(const Expr& column, const Scope& scope) const;
    // The declared type of a column or a CONVERT's target, the type of a
    // number or of arithmetic on them; empty when unknown.
    TypeName staticType(const Expr& e, const Scope& scope) const;
    // The one type of values met in one place (CASE's results, COALESCE's
    // arguments), NULLs aside.
    TypeName commonType(const std::vector<const Expr*>& values, const Scope& scope) const;
    bool isBigint(const Expr& e, const Scope& scope) const;
    QString arithmeticFlags(const Expr& e, const Scope& scope) const;  // ", 1", ", 2", ", 3" or empty
    QString exactArithmetic(const Expr& e, const QString& call, const QString& l, const QString& r,
                            const Scope& scope) const;
    QString average(const QString& mean, const QString& argument, bool distinct, const TypeName& type,
                    size_t firstBind, const QString& over);
    QString storedAs(const QString& value, const QString& declared, const TypeName& from = TypeName()) const;
    bool isDateColumn(const Expr& e, const Scope& scope) const;
    QString dateLiteral(const Expr& literal, const QString& columnType) const;  // canonical text, or empty
    QString bind(BindSlot::Kind kind, const QString& name);

    const SchemaInfo& schema_;
    Optimizations optimizations_;
    int joinedAggregates_ = 0;  // names the grouped tables joined in their subqueries' place
    QSet<const Expr*> whereTerms_;
    bool readDerivedOnce_ = false;  // the next derived table is read whole by its block
    bool trigramUsed_ = false;      // a trigram look-up was written
    bool trigramAsTest_ = false;    // write trigram look-ups as tests of each row, not as the way in
    bool trigramShared_ = false;    // read trigram look-ups through the reader's shared lists
    bool splitIntoUnion_ = false;   // the statement's own block became a UNION ALL
    const Select* tieBreakFor_ = nullptr;  // the block whose ORDER BY gets the rowids
    std::vector<BindSlot> binds_;
    DateOrder dateOrder_ = DateOrder::Mdy;
};

TypeName parseTypeNameSafe(const QString& text);
QString quoteIdent(const QString& name);
QString quoteString(const QString& text);
// A number written in a statement as SQLite is to read it: one with more
// digits than a double carries becomes its exact wide value.
QString numberLiteral(const QString& text);

} // namespace db::sqlite
