#include "SqlGenerator.h"

#include "AggregateAsJoin.h"
#include "ExprShapes.h"
#include "NumericTypes.h"
#include "OrAsUnion.h"
#include "SqlServerFunctions.h"
#include "TrigramLike.h"
#include "TrigramMatches.h"
#include "db/DbError.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <limits>

namespace db::sqlite {

// Reads a declared type as the embedded engine writes it into SQLite's
// schema ("VARCHAR(30)", "DECIMAL(18,2)"); never fails.
TypeName parseTypeNameSafe(const QString& text)
{
    TypeName t;
    const int paren = text.indexOf(QLatin1Char('('));
    t.name = (paren < 0 ? text : text.left(paren)).trimmed().toUpper();
    if (paren >= 0) {
        const QString args = text.mid(paren + 1).section(QLatin1Char(')'), 0, 0);
        const QStringList parts = args.split(QLatin1Char(','));
        if (parts.size() == 2) {
            t.precision = parts[0].trimmed().toInt();
            t.scale = parts[1].trimmed().toInt();
        } else if (parts[0].trimmed().compare(QLatin1String("MAX"), Qt::CaseInsensitive) == 0
                   || parts[0].trimmed() == QLatin1String("-1")) {
            t.length = -2;
        } else if (t.name == QLatin1String("DECIMAL") || t.name == QLatin1String("NUMERIC")) {
            t.precision = parts[0].trimmed().toInt();
            t.scale = 0;
        } else {
            t.length = parts[0].trimmed().toInt();
        }
    }
    return t;
}

QString quoteIdent(const QString& name)
{
    QString q = name;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

QString quoteString(const QString& text)
{
    QString q = text;
    q.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + q + QLatin1Char('\'');
}

QString sqliteIndexName(const QString& table, const QString& index)
{
    return table + QLatin1Char('.') + index;
}

namespace {

const QString kCollate = QStringLiteral(" COLLATE MSSQL");

bool isBinaryLiteral(const Expr& e)
{
    return e.kind == Expr::Number && e.text.size() >= 2 && e.text[1].toLower() == QLatin1Char('x');
}

// 0x1F as SQLite's blob literal; an odd digit count takes a leading zero, as
// SQL Server reads it.
QString binaryLiteral(const QString& text)
{
    QString hex = text.mid(2);
    if (hex.size() % 2)
        hex.prepend(QLatin1Char('0'));
    return QStringLiteral("X'") + hex + QLatin1Char('\'');
}

QString binaryAsInteger(const QString& text)
{
    const QString hex = text.mid(2).right(16);
    return QString::number(hex.isEmpty() ? 0 : qint64(hex.toULongLong(nullptr, 16)));
}

[[noreturn]] void unsupported(const QString& what)
{
    throw DbError(QStringLiteral("The embedded engine does not support %1.").arg(what));
}

bool isArithmeticOp(const QString& op)
{
    return op == QLatin1String("+") || op == QLatin1String("-") || op == QLatin1String("*") || op == QLatin1String("/")
        || op == QLatin1String("%");
}

// Text functions whose result is text of their first argument's kind
// (Unicode or not).
const QSet<QString>& textOfFirstArgument()
{
    static const QSet<QString> names{QStringLiteral("UPPER"),     QStringLiteral("LOWER"),   QStringLiteral("LTRIM"),
                                     QStringLiteral("RTRIM"),     QStringLiteral("LEFT"),    QStringLiteral("RIGHT"),
                                     QStringLiteral("SUBSTRING"), QStringLiteral("REPLACE"), QStringLiteral("REPLICATE"),
                                     QStringLiteral("REVERSE"),   QStringLiteral("STUFF")};
    return names;
}

bool isComparisonOp(const QString& op)
{
    return op == QLatin1String("=") || op == QLatin1String("<>") || op == QLatin1String("<")
        || op == QLatin1String(">") || op == QLatin1String("<=") || op == QLatin1String(">=");
}

bool isRangeOp(const QString& op)
{
    return op == QLatin1String("<") || op == QLatin1String(">") || op == QLatin1String("<=") || op == QLatin1String(">=");
}

// A column reference carries its declared collation into a comparison;
// anything else compares with SQLite's binary rule unless told otherwise.
bool carriesCollation(const Expr& e)
{
    return unparen(e).kind == Expr::Column;
}

// The type of `value` (whose type is `t`) as SQL Server's messages name it:
// a written decimal is numeric.
QString typeInMessages(const Expr& value, const TypeName& t)
{
    const bool written = unparen(value).kind == Expr::Number && isDecimalType(t);
    return written ? QStringLiteral("numeric") : typeNameInMessages(t);
}

// Functions with a direct SQLite counterpart of the same meaning, by name.
const QHash<QString, QString>& simpleFunctions()
{
    static const QHash<QString, QString> map{
        {QStringLiteral("COALESCE"), QStringLiteral("coalesce")},
        {QStringLiteral("ISNULL"), QStringLiteral("coalesce")},
        {QStringLiteral("NULLIF"), QStringLiteral("nullif")},
        {QStringLiteral("LTRIM"), QStringLiteral("ltrim")},
        {QStringLiteral("RTRIM"), QStringLiteral("rtrim")},
        {QStringLiteral("UPPER"), QStringLiteral("ms_upper")},
        {QStringLiteral("LOWER"), QStringLiteral("ms_lower")},
        {QStringLiteral("LEN"), QStringLiteral("ms_len")},
        {QStringLiteral("SUBSTRING"), QStringLiteral("ms_substring")},
        {QStringLiteral("LEFT"), QStringLiteral("ms_left")},
        {QStringLiteral("RIGHT"), QStringLiteral("ms_right")},
        {QStringLiteral("CHARINDEX"), QStringLiteral("ms_charindex")},
        {QStringLiteral("REPLACE"), QStringLiteral("ms_replace")},
        {QStringLiteral("SPACE"), QStringLiteral("ms_space")},
        {QStringLiteral("CHAR"), QStringLiteral("char")},
        {QStringLiteral("NCHAR"), QStringLiteral("char")},
        {QStringLiteral("ASCII"), QStringLiteral("unicode")},
        {QStringLiteral("UNICODE"), QStringLiteral("unicode")},
        {QStringLiteral("REPLICATE"), QStringLiteral("ms_replicate")},
        {QStringLiteral("REVERSE"), QStringLiteral("ms_reverse")},
        {QStringLiteral("STR"), QStringLiteral("ms_str")},
        {QStringLiteral("YEAR"), QStringLiteral("ms_year")},
        {QStringLiteral("MONTH"), QStringLiteral("ms_month")},
        {QStringLiteral("DAY"), QStringLiteral("ms_day")},
        {QStringLiteral("GETDATE"), QStringLiteral("ms_getdate")},
        {QStringLiteral("CURRENT_TIMESTAMP"), QStringLiteral("ms_getdate")},
        {QStringLiteral("DATEADD"), QStringLiteral("ms_dateadd")},
        {QStringLiteral("DATEDIFF"), QStringLiteral("ms_datediff")},
        {QStringLiteral("DATEPART"), QStringLiteral("ms_datepart")},
        {QStringLiteral("ABS"), QStringLiteral("ms_abs")},
        {QStringLiteral("ROUND"), QStringLiteral("ms_round")},
        {QStringLiteral("FLOOR"), QStringLiteral("ms_floor")},
        {QStringLiteral("CEILING"), QStringLiteral("ms_ceiling")},
        {QStringLiteral("SIGN"), QStringLiteral("ms_sign")},
        {QStringLiteral("POWER"), QStringLiteral("ms_power")},
        {QStringLiteral("SQRT"), QStringLiteral("ms_sqrt")},
        {QStringLiteral("ISNUMERIC"), QStringLiteral("ms_isnumeric")},
        {QStringLiteral("ISDATE"), QStringLiteral("ms_isdate")},
        {QStringLiteral("SUM"), QStringLiteral("ms_sum")},
        {QStringLiteral("COUNT"), QStringLiteral("count")},
        {QStringLiteral("COUNT_BIG"), QStringLiteral("count")},
        {QStringLiteral("STUFF"), QStringLiteral("ms_stuff")},
        {QStringLiteral("DATALENGTH"), QStringLiteral("ms_datalength")},
        {QStringLiteral("DATENAME"), QStringLiteral("ms_datename")},
        {QStringLiteral("MIN"), QStringLiteral("min")},
        {QStringLiteral("MAX"), QStringLiteral("max")},
        {QStringLiteral("AVG"), QStringLiteral("ms_avg")},
    };
    return map;
}

// Argument counts SQL Server accepts, to fail with its wording rather than
// SQLite's.
bool argumentCountFits(const QString& name, int n)
{
    static const QHash<QString, QPair<int, int>> counts{
        {QStringLiteral("COALESCE"), {2, 1000}}, {QStringLiteral("ISNULL"), {2, 2}},
        {QStringLiteral("NULLIF"), {2, 2}},      {QStringLiteral("LTRIM"), {1, 1}},
        {QStringLiteral("RTRIM"), {1, 1}},       {QStringLiteral("UPPER"), {1, 1}},
        {QStringLiteral("LOWER"), {1, 1}},       {QStringLiteral("LEN"), {1, 1}},
        {QStringLiteral("SUBSTRING"), {3, 3}},   {QStringLiteral("LEFT"), {2, 2}},
        {QStringLiteral("RIGHT"), {2, 2}},       {QStringLiteral("CHARINDEX"), {2, 3}},
        {QStringLiteral("REPLACE"), {3, 3}},     {QStringLiteral("SPACE"), {1, 1}},
        {QStringLiteral("REPLICATE"), {2, 2}},   {QStringLiteral("REVERSE"), {1, 1}},
        {QStringLiteral("STR"), {1, 3}},         {QStringLiteral("YEAR"), {1, 1}},
        {QStringLiteral("MONTH"), {1, 1}},       {QStringLiteral("DAY"), {1, 1}},
        {QStringLiteral("GETDATE"), {0, 0}},     {QStringLiteral("DATEADD"), {3, 3}},
        {QStringLiteral("DATEDIFF"), {3, 3}},    {QStringLiteral("DATEPART"), {2, 2}},
        {QStringLiteral("ABS"), {1, 1}},         {QStringLiteral("ROUND"), {2, 3}},
        {QStringLiteral("FLOOR"), {1, 1}},       {QStringLiteral("CEILING"), {1, 1}},
        {QStringLiteral("SIGN"), {1, 1}},        {QStringLiteral("POWER"), {2, 2}},
        {QStringLiteral("SQRT"), {1, 1}},        {QStringLiteral("ISNUMERIC"), {1, 1}},
        {QStringLiteral("ISDATE"), {1, 1}},      {QStringLiteral("SUM"), {1, 1}},
        {QStringLiteral("COUNT"), {1, 1}},       {QStringLiteral("COUNT_BIG"), {1, 1}},
        {QStringLiteral("STUFF"), {4, 4}},       {QStringLiteral("DATALENGTH"), {1, 1}},
        {QStringLiteral("DATENAME"), {2, 2}},    {QStringLiteral("OBJECT_ID"), {1, 2}},       {QStringLiteral("MIN"), {1, 1}},
        {QStringLiteral("MAX"), {1, 1}},         {QStringLiteral("AVG"), {1, 1}},
    };
    const auto it = counts.find(name);
    return it == counts.end() || (n >= it->first && n <= it->second);
}

} // namespace

QString SqlGenerator::bind(BindSlot::Kind kind, const QString& name)
{
    binds_.push_back(BindSlot{kind, name.toUpper()});
    return QStringLiteral("?");
}

TypeName SqlGenerator::resolveType(const TypeName& type) const
{
    static const QSet<QString> builtIn{
        QStringLiteral("INT"),      QStringLiteral("INTEGER"),   QStringLiteral("BIGINT"),
        QStringLiteral("SMALLINT"), QStringLiteral("TINYINT"),   QStringLiteral("BIT"),
        QStringLiteral("DECIMAL"),  QStringLiteral("NUMERIC"),   QStringLiteral("DEC"),
        QStringLiteral("MONEY"),    QStringLiteral("SMALLMONEY"), QStringLiteral("FLOAT"),
        QStringLiteral("REAL"),     QStringLiteral("CHAR"),      QStringLiteral("VARCHAR"),
        QStringLiteral("NCHAR"),    QStringLiteral("NVARCHAR"),  QStringLiteral("TEXT"),
        QStringLiteral("NTEXT"),    QStringLiteral("DATETIME"),  QStringLiteral("SMALLDATETIME"),
        QStringLiteral("DATE"),     QStringLiteral("DATETIME2"), QStringLiteral("TIME"),
        QStringLiteral("IMAGE"),    QStringLiteral("VARBINARY"), QStringLiteral("BINARY"),
        QStringLiteral("UNIQUEIDENTIFIER"), QStringLiteral("SYSNAME"), QStringLiteral("CHARACTER"),
        QStringLiteral("TIMESTAMP")};
    if (builtIn.contains(type.name))
        return type;
    TypeName base = schema_.userType(type.name);
    if (base.name.isEmpty())
        throw DbError(QStringLiteral("Column, parameter, or variable #1: Cannot find data type %1.").arg(type.name));
    return base;
}

QString SqlGenerator::sqliteType(const TypeName& type) const
{
    const TypeName t = resolveType(type);
    QString text = t.text();
    if (t.name == QLatin1String("DEC"))
        text.replace(0, 3, QStringLiteral("DECIMAL"));
    // SQLite takes only numbers in a type's parentheses: (MAX) is kept as (-1).
    if (t.length == -2)
        text = t.name + QStringLiteral("(-1)");
    if (t.isText())
        text += kCollate;
    return text;
}

// ---------------------------------------------------------------- statements

void SqlGenerator::markWhereTerms(const Expr& condition)
{
    const Expr& e = unparen(condition);
    if (e.kind == Expr::Binary && e.op == QLatin1String("AND")) {
        markWhereTerms(*e.args[0]);
        markWhereTerms(*e.args[1]);
    } else {
        whereTerms_.insert(&e);
    }
}

GeneratedSql SqlGenerator::statement(const Stmt& s, qint64 rowLimit)
{
    binds_.clear();
    whereTerms_.clear();
    QString sql;
    switch (s.kind) {
    case Stmt::SelectStmt: {
        trigramUsed_ = splitIntoUnion_ = false;
        sql = select(*s.select, nullptr);
        if (trigramUsed_ && !splitIntoUnion_) {
            GeneratedSql g{sql, binds_};
            addFirstRowsShapes(*s.select, g);
            return g;
        }
        break;
    }
    case Stmt::Insert:
        sql = insert(s, rowLimit);
        break;
    case Stmt::Update:
    case Stmt::Delete:
        sql = s.kind == Stmt::Update ? update(s) : deleteStmt(s);
        // SET ROWCOUNT 1 DELETE ... takes one of two twins.
        if (rowLimit > 0)
            sql += QStringLiteral(" LIMIT %1").arg(rowLimit);
        break;
    case Stmt::CreateTable:
        sql = createTable(s);
        break;
    case Stmt::AlterAdd:
        sql = alterAdd(s);
        break;
    case Stmt::CreateIndex: {
        QStringList cols;
        for (int i = 0; i < s.columns.size(); ++i)
            cols.append(quoteIdent(s.columns[i]) + (s.descending[size_t(i)] ? QStringLiteral(" DESC") : QString()));
        sql = QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                  .arg(s.unique ? QStringLiteral("UNIQUE ") : QString(), quoteIdent(sqliteIndexName(s.table, s.alias)),
                       quoteIdent(s.table), cols.join(QStringLiteral(", ")));
        break;
    }
    case Stmt::CreateView:
        if (s.alter)
            unsupported(QStringLiteral("ALTER VIEW"));
        sql = QStringLiteral("CREATE VIEW %1 AS %2").arg(quoteIdent(s.table), select(*s.select, nullptr));
        break;
    case Stmt::Truncate:
        sql = QStringLiteral("DELETE FROM ") + quoteIdent(s.table);
        break;
    case Stmt::Drop:
        if (s.objectType == QLatin1String("TABLE") || s.objectType == QLatin1String("VIEW"))
            sql = QStringLiteral("DROP %1 %2%3").arg(s.objectType, s.ifExists ? QStringLiteral("IF EXISTS ") : QString(),
                                                    quoteIdent(s.table));
        else if (s.objectType == QLatin1String("INDEX"))
            sql = QStringLiteral("DROP INDEX %1%2").arg(s.ifExists ? QStringLiteral("IF EXISTS ") : QString(),
                                                       quoteIdent(sqliteIndexName(s.table, s.alias)));
        else
            unsupported(QStringLiteral("DROP ") + s.objectType);
        break;
    default:
        unsupported(QStringLiteral("this statement here"));
    }
    GeneratedSql g{sql, binds_};
    binds_.clear();
    return g;
}

GeneratedSql SqlGenerator::selectValue(const Expr& e)
{
    binds_.clear();
    whereTerms_.clear();
    Scope scope;
    GeneratedSql g{QStringLiteral("SELECT ") + expr(e, scope), binds_};
    binds_.clear();
    return g;
}

GeneratedSql SqlGenerator::selectCondition(const Expr& e)
{
    binds_.clear();
    whereTerms_.clear();
    Scope scope;
    GeneratedSql g{QStringLiteral("SELECT CASE WHEN ") + expr(e, scope) + QStringLiteral(" THEN 1 ELSE 0 END"), binds_};
    binds_.clear();
    return g;
}

QString SqlGenerator::insert(const Stmt& s, qint64 rowLimit)
{
    QStringList targetColumns = s.columns;
    if (targetColumns.isEmpty()) {
        // Without a column list the values go to every column but the identity.
        const QString identity = schema_.identityColumn(s.table);
        for (const QString& c : schema_.columns(s.table)) {
            if (c.compare(identity, Qt::CaseInsensitive) != 0)
                targetColumns.append(c);
        }
    }
    QString sql = QStringLiteral("INSERT INTO ") + quoteIdent(s.table);
    if (s.defaultValues)
        return sql + QStringLiteral(" DEFAULT VALUES");

    QStringList cols = targetColumns;
    std::vector<std::vector<ExprPtr>> rows = s.values;
    // SQLite has no DEFAULT inside VALUES: leave such columns out, which
    // gives them their default as well.
    if (rows.size() == 1 && !cols.isEmpty()) {
        QStringList keptCols;
        std::vector<ExprPtr> kept;
        for (int i = 0; i < cols.size() && i < int(rows[0].size()); ++i) {
            const Expr& v = *rows[0][size_t(i)];
            if (v.kind == Expr::Function && v.text == QLatin1String("DEFAULT") && v.args.empty())
                continue;
            keptCols.append(cols[i]);
            kept.push_back(rows[0][size_t(i)]);
        }
        cols = keptCols;
        rows[0] = kept;
    }
    if (!cols.isEmpty()) {
        QStringList quoted;
        for (const QString& c : cols)
            quoted.append(quoteIdent(c));
        sql += QStringLiteral(" (") + quoted.join(QStringLiteral(", ")) + QLatin1Char(')');
    }
    if (s.select) {
        QString rows = select(*s.select, nullptr);
        // SET ROWCOUNT takes the first rows the SELECT gives, in its order.
        if (rowLimit > 0)
            rows = QStringLiteral("SELECT * FROM (%1) LIMIT %2").arg(rows).arg(rowLimit);
        return sql + QLatin1Char(' ') + insertedRows(rows, s, targetColumns);
    }

    Scope scope;
    QStringList rowTexts;
    for (const auto& row : rows) {
        QStringList vals;
        for (size_t i = 0; i < row.size(); ++i) {
            const Expr& v = *row[i];
            if (v.kind == Expr::Function && v.text == QLatin1String("DEFAULT") && v.args.empty())
                unsupported(QStringLiteral("DEFAULT in a multi-row VALUES list"));
            const QString type = int(i) < targetColumns.size() ? schema_.columnType(s.table, targetColumns[int(i)])
                                                               : QString();
            // A date literal going into a date column is read as a date.
            if (unparen(v).kind == Expr::String) {
                if (!type.isEmpty() && parseTypeNameSafe(type).isDate()) {
                    const QString d = dateLiteral(unparen(v), type);
                    if (!d.isEmpty()) {
                        vals.append(storedAs(quoteString(d), type));
                        continue;
                    }
                }
            }
            vals.append(storedAs(expr(v, scope), type, staticType(v, scope)));
        }
        rowTexts.append(QLatin1Char('(') + vals.join(QStringLiteral(", ")) + QLatin1Char(')'));
    }
    return sql + QStringLiteral(" VALUES ") + rowTexts.join(QStringLiteral(", "));
}

// INSERT ... SELECT stores its values as INSERT ... VALUES does: a money,
// real, decimal or date column takes its type's rounding.
QString SqlGenerator::insertedRows(const QString& rows, const Stmt& s, const QStringList& targetColumns) const
{
    const auto& items = s.select->cores.front().items;
    const bool star = std::any_of(items.begin(), items.end(), [](const SelectItem& i) { return i.expr->kind == Expr::Star; });
    if (star || int(items.size()) != targetColumns.size())
        return rows;
    QStringList names, values;
    bool converted = false;
    for (int i = 0; i < targetColumns.size(); ++i) {
        const QString name = quoteIdent(QStringLiteral("c%1").arg(i));
        const QString value =
            storedAs(name, schema_.columnType(s.table, targetColumns[i]), resultColumnType(*s.select, size_t(i)));
        converted = converted || value != name;
        names.append(name);
        values.append(value);
    }
    if (!converted)
        return rows;
    return QStringLiteral("WITH qel_rows(%1) AS (%2) SELECT %3 FROM qel_rows")
        .arg(names.join(QStringLiteral(", ")), rows, values.join(QStringLiteral(", ")));
}

namespace {

// Flattens a FROM tree of inner joins into its tables and ON conditions;
// false when an outer join is involved.
bool flattenInner(const TableSourcePtr& t, std::vector<TableSourcePtr>& tables, std::vector<ExprPtr>& conditions)
{
    if (t->kind != TableSource::Join) {
        tables.push_back(t);
        return true;
    }
    if (t->joinType != QLatin1String("INNER") && t->joinType != QLatin1String("CROSS"))
        return false;
    if (!flattenInner(t->left, tables, conditions) || !flattenInner(t->right, tables, conditions))
        return false;
    if (t->on)
        conditions.push_back(t->on);
    return true;
}

bool namesSource(const TableSource& t, const QString& name)
{
    if (t.kind == TableSource::Join)
        return false;
    if (!t.alias.isEmpty())
        return t.alias.compare(name, Qt::CaseInsensitive) == 0;
    return t.name.compare(name, Qt::CaseInsensitive) == 0;
}

} // namespace

QString SqlGenerator::update(const Stmt& s)
{
    if (s.top)
        unsupported(QStringLiteral("UPDATE TOP"));
    Scope scope;
    QString target = s.table;
    QString alias;
    std::vector<TableSourcePtr> others;
    std::vector<ExprPtr> conditions;
    if (!s.from.empty()) {
        std::vector<TableSourcePtr> tables;
        for (const auto& f : s.from) {
            if (!flattenInner(f, tables, conditions))
                unsupported(QStringLiteral("UPDATE ... FROM with outer joins"));
        }
        bool found = false;
        for (const auto& t : tables) {
            if (!found && namesSource(*t, s.table) && t->kind == TableSource::Table) {
                target = t->name;
                alias = t->alias;
                found = true;
            } else {
                others.push_back(t);
            }
        }
    }
    scope.sources.push_back(Source{(alias.isEmpty() ? target : alias).toUpper(), target});
    for (const auto& t : others)
        collectSources(*t, scope);

    QString sql = QStringLiteral("UPDATE ") + quoteIdent(target);
    if (!alias.isEmpty())
        sql += QStringLiteral(" AS ") + quoteIdent(alias);
    QStringList sets;
    const QString identity = schema_.identityColumn(target);
    for (const auto& [column, value] : s.assignments) {
        if (!identity.isEmpty() && column.compare(identity, Qt::CaseInsensitive) == 0)
            throw DbError(QStringLiteral("Cannot update identity column '%1'.").arg(column));
        QString v;
        const QString type = schema_.columnType(target, column);
        if (unparen(*value).kind == Expr::String && !type.isEmpty() && parseTypeNameSafe(type).isDate()) {
            const QString d = dateLiteral(unparen(*value), type);
            if (!d.isEmpty())
                v = storedAs(quoteString(d), type);
        }
        if (v.isEmpty())
            v = storedAs(expr(*value, scope), type, staticType(*value, scope));
        sets.append(quoteIdent(column) + QStringLiteral(" = ") + v);
    }
    sql += QStringLiteral(" SET ") + sets.join(QStringLiteral(", "));
    if (!others.empty()) {
        QStringList froms;
        for (const auto& t : others) {
            Scope dummy;
            froms.append(source(*t, dummy, &scope));
        }
        sql += QStringLiteral(" FROM ") + froms.join(QStringLiteral(", "));
    }
    QStringList where;
    for (const auto& c : conditions)
        where.append(QLatin1Char('(') + expr(*c, scope) + QLatin1Char(')'));
    if (s.where)
        where.append(QLatin1Char('(') + expr(*s.where, scope) + QLatin1Char(')'));
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    return sql;
}

QString SqlGenerator::deleteStmt(const Stmt& s)
{
    if (s.top)
        unsupported(QStringLiteral("DELETE TOP"));
    if (s.from.empty()) {
        Scope scope;
        scope.sources.push_back(Source{s.table.toUpper(), s.table});
        QString sql = QStringLiteral("DELETE FROM ") + quoteIdent(s.table);
        if (s.where)
            sql += QStringLiteral(" WHERE ") + expr(*s.where, scope);
        return sql;
    }
    // DELETE t FROM t JOIN ...: delete the target rows that the join finds.
    Scope scope;
    for (const auto& f : s.from)
        collectSources(*f, scope);
    QStringList froms;
    for (const auto& f : s.from)
        froms.append(source(*f, scope, nullptr));
    QString targetTable = s.table;
    for (const Source& src : scope.sources) {
        if (src.alias.compare(s.table, Qt::CaseInsensitive) == 0 && !src.table.isEmpty())
            targetTable = src.table;
    }
    QString sql = QStringLiteral("DELETE FROM %1 WHERE rowid IN (SELECT %2.rowid FROM %3")
                      .arg(quoteIdent(targetTable), quoteIdent(s.table), froms.join(QStringLiteral(", ")));
    if (s.where)
        sql += QStringLiteral(" WHERE ") + expr(*s.where, scope);
    return sql + QLatin1Char(')');
}

QString SqlGenerator::columnDef(const ColumnDef& c, bool inCreate, bool tableHasPrimaryKey)
{
    QString sql = quoteIdent(c.name) + QLatin1Char(' ');
    if (c.computed) {
        // Worked out when read, as SQL Server does unless PERSISTED (which
        // only changes where the value is kept).
        Scope scope;
        return sql + QStringLiteral("AS (") + expr(*c.computed, scope) + QStringLiteral(") VIRTUAL");
    }
    // A column made by SELECT ... INTO from a value whose type is not
    // worked out: it keeps each value as it comes.
    if (c.type.name.isEmpty() && !c.identity)
        return sql + (c.notNull ? QStringLiteral("NOT NULL") : QString());
    const TypeName type = resolveType(c.type);
    if (c.identity) {
        if (!inCreate)
            unsupported(QStringLiteral("adding an IDENTITY column to an existing table"));
        if (tableHasPrimaryKey && !c.primaryKey)
            unsupported(QStringLiteral("an IDENTITY column beside another primary key"));
        if (c.identityStep != 1)
            unsupported(QStringLiteral("IDENTITY with a step other than 1"));
        // The rowid is SQLite's identity: ids only grow, as in SQL Server.
        sql += QStringLiteral("INTEGER");
        if (!c.constraintName.isEmpty())
            sql += QStringLiteral(" CONSTRAINT ") + quoteIdent(c.constraintName);
        sql += QStringLiteral(" PRIMARY KEY AUTOINCREMENT");
        if (c.notNull)
            sql += QStringLiteral(" NOT NULL");
        return sql;
    }
    sql += sqliteType(c.type);
    Q_UNUSED(type);
    if (!c.constraintName.isEmpty() && (c.primaryKey || c.unique || c.check || !c.refTable.isEmpty()))
        sql += QStringLiteral(" CONSTRAINT ") + quoteIdent(c.constraintName);
    if (c.notNull)
        sql += QStringLiteral(" NOT NULL");
    if (c.defaultValue) {
        Scope scope;
        sql += QStringLiteral(" DEFAULT (") + expr(*c.defaultValue, scope) + QLatin1Char(')');
    }
    if (c.primaryKey) {
        if (!inCreate)
            unsupported(QStringLiteral("adding a PRIMARY KEY column to an existing table"));
        sql += QStringLiteral(" PRIMARY KEY");
    }
    if (c.unique) {
        if (!inCreate)
            unsupported(QStringLiteral("adding a UNIQUE column to an existing table"));
        sql += QStringLiteral(" UNIQUE");
    }
    if (c.check) {
        Scope scope;
        sql += QStringLiteral(" CHECK (") + expr(*c.check, scope) + QLatin1Char(')');
    }
    if (!c.refTable.isEmpty()) {
        sql += QStringLiteral(" REFERENCES ") + quoteIdent(c.refTable);
        if (!c.refColumns.isEmpty())
            sql += QLatin1Char('(') + quoteIdent(c.refColumns.first()) + QLatin1Char(')');
    }
    return sql;
}

QString SqlGenerator::createTable(const Stmt& s)
{
    bool hasPrimaryKey = false;
    for (const auto& c : s.columnDefs)
        hasPrimaryKey = hasPrimaryKey || c.primaryKey;
    for (const auto& k : s.constraints)
        hasPrimaryKey = hasPrimaryKey || k.kind == TableConstraint::PrimaryKey;

    QStringList parts;
    for (const auto& c : s.columnDefs) {
        const TableConstraint* keyOfThisColumn = nullptr;
        for (const auto& k : s.constraints) {
            if (k.kind == TableConstraint::PrimaryKey && k.columns.size() == 1
                && k.columns[0].compare(c.name, Qt::CaseInsensitive) == 0)
                keyOfThisColumn = &k;
        }
        ColumnDef column = c;
        // A table-level key on the identity column is written with the column.
        if (keyOfThisColumn && c.identity && column.constraintName.isEmpty())
            column.constraintName = keyOfThisColumn->name;
        parts.append(columnDef(column, true, hasPrimaryKey && !keyOfThisColumn));
    }
    for (const auto& k : s.constraints) {
        // An identity column named as the whole key is the rowid already.
        if (k.kind == TableConstraint::PrimaryKey && k.columns.size() == 1) {
            bool identityKey = false;
            for (const auto& c : s.columnDefs)
                identityKey = identityKey || (c.identity && c.name.compare(k.columns[0], Qt::CaseInsensitive) == 0);
            if (identityKey)
                continue;
        }
        parts.append(constraintClause(k));
    }
    return QStringLiteral("CREATE TABLE ") + quoteIdent(s.table) + QStringLiteral(" (\n  ")
        + parts.join(QStringLiteral(",\n  ")) + QStringLiteral("\n)");
}

QString SqlGenerator::constraintClause(const TableConstraint& k)
{
    auto quotedList = [](const QStringList& cols) {
        QStringList q;
        for (const QString& c : cols)
            q.append(quoteIdent(c));
        return q.join(QStringLiteral(", "));
    };
    QString text = k.name.isEmpty() ? QString() : QStringLiteral("CONSTRAINT ") + quoteIdent(k.name) + QLatin1Char(' ');
    switch (k.kind) {
    case TableConstraint::PrimaryKey:
        return text + QStringLiteral("PRIMARY KEY (") + quotedList(k.columns) + QLatin1Char(')');
    case TableConstraint::Unique:
        return text + QStringLiteral("UNIQUE (") + quotedList(k.columns) + QLatin1Char(')');
    case TableConstraint::ForeignKey:
        text += QStringLiteral("FOREIGN KEY (") + quotedList(k.columns) + QStringLiteral(") REFERENCES ")
            + quoteIdent(k.refTable);
        if (!k.refColumns.isEmpty())
            text += QStringLiteral(" (") + quotedList(k.refColumns) + QLatin1Char(')');
        return text;
    case TableConstraint::Check: {
        binds_.clear();
        Scope scope;
        text += QStringLiteral("CHECK (") + expr(*k.check, scope) + QLatin1Char(')');
        if (!binds_.empty())
            throw DbError(QStringLiteral("Variables are not allowed in a CHECK constraint."));
        return text;
    }
    }
    return text;
}

QString SqlGenerator::alterAdd(const Stmt& s)
{
    // One statement per column; the batch runner splits them at ";".
    QStringList statements;
    for (const auto& c : s.columnDefs) {
        if (c.notNull && !c.defaultValue)
            throw DbError(QStringLiteral("ALTER TABLE only allows columns to be added that can contain nulls, or have a "
                                         "DEFAULT definition specified, or the column being added is an identity or "
                                         "timestamp column, or alternatively if none of the previous conditions are "
                                         "satisfied the table must be empty to allow addition of this column. Column "
                                         "'%1' cannot be added to non-empty table '%2' because it does not satisfy "
                                         "these conditions.")
                              .arg(c.name, s.table));
        statements.append(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2").arg(quoteIdent(s.table), columnDef(c, false, false)));
    }
    return statements.join(QStringLiteral(";\n"));
}

// ---------------------------------------------------------------- SELECT

void SqlGenerator::collectSources(const TableSource& t, Scope& scope)
{
    switch (t.kind) {
    case TableSource::Table:
        scope.sources.push_back(Source{(t.alias.isEmpty() ? t.name : t.alias).toUpper(), t.name});
        break;
    case TableSource::Derived:
        scope.sources.push_back(Source{t.alias.toUpper(), QString(), t.select.get()});
        break;
    case TableSource::Join:
        collectSources(*t.left, scope);
        collectSources(*t.right, scope);
        break;
    }
}

namespace {

// One block, no TOP, and a scalar subquery among its columns.
bool hasSubqueryColumn(const Select& s)
{
    if (s.cores.size() != 1 || s.cores.front().top || !s.orderBy.empty())
        return false;
    for (const SelectItem& item : s.cores.front().items) {
        if (item.expr && unparen(*item.expr).kind == Expr::Subquery)
            return true;
    }
    return false;
}

} // namespace

QString SqlGenerator::source(const TableSource& t, Scope& scope, const Scope* outer)
{
    switch (t.kind) {
    case TableSource::Table: {
        QString text = quoteIdent(t.name);
        if (!t.alias.isEmpty())
            text += QStringLiteral(" AS ") + quoteIdent(t.alias);
        return text;
    }
    case TableSource::Derived: {
        const bool once = readDerivedOnce_;
        readDerivedOnce_ = false;
        // A derived table does not see the columns of its siblings.
        QString inner = select(*t.select, outer);
        // SQLite flattens a derived table into its reader and copies each
        // subquery column into every place that names it ("sumqnty" read
        // three times is three look-ups a row). OFFSET keeps the table whole,
        // so each row's subqueries run once. Only where no WHERE outside
        // could have narrowed the rows first.
        if (once && optimizations_.derivedOnce && hasSubqueryColumn(*t.select))
            inner += QStringLiteral(" LIMIT -1 OFFSET 0");
        return QLatin1Char('(') + inner + QStringLiteral(") AS ") + quoteIdent(t.alias);
    }
    case TableSource::Join: {
        QString left = source(*t.left, scope, outer);
        QString right = source(*t.right, scope, outer);
        if (t.right->kind == TableSource::Join)
            right = QLatin1Char('(') + right + QLatin1Char(')');
        QString type;
        if (t.joinType == QLatin1String("INNER"))
            type = QStringLiteral(" INNER JOIN ");
        else if (t.joinType == QLatin1String("LEFT"))
            type = QStringLiteral(" LEFT OUTER JOIN ");
        else if (t.joinType == QLatin1String("CROSS"))
            type = QStringLiteral(" CROSS JOIN ");
        else if (t.joinType == QLatin1String("RIGHT"))
            type = QStringLiteral(" RIGHT OUTER JOIN ");
        else
            type = QStringLiteral(" FULL OUTER JOIN ");
        QString text = left + type + right;
        if (t.on && t.joinType == QLatin1String("INNER"))
            markWhereTerms(*t.on);
        if (t.on)
            text += QStringLiteral(" ON ") + expr(*t.on, scope);
        return text;
    }
    }
    return QString();
}

QString SqlGenerator::itemName(const SelectItem& item) const
{
    if (!item.alias.isEmpty())
        return item.alias;
    const Expr& e = unparen(*item.expr);
    if (e.kind == Expr::Column)
        return e.text;
    return QString();
}

QString SqlGenerator::selectCore(const SelectCore& c, const Scope* outer, bool limitInside,
                                 const std::vector<OrderItem>* order, bool tieBreak)
{
    if (optimizations_.aggregateAsJoin) {
        if (const auto joined = joinCorrelatedAggregates(c, schema_, &joinedAggregates_))
            return selectCore(*joined, outer, limitInside, order, tieBreak);
    }
    if (!c.into.isEmpty())
        throw DbError(QStringLiteral("Incorrect syntax near the keyword 'INTO'."));
    Scope scope;
    scope.outer = outer;
    for (const auto& f : c.from)
        collectSources(*f, scope);

    QString sql = QStringLiteral("SELECT ");
    if (c.distinct)
        sql += QStringLiteral("DISTINCT ");
    QStringList items;
    for (const SelectItem& item : c.items) {
        if (!item.assignVariable.isEmpty())
            unsupported(QStringLiteral("variable assignment mixed with other select items"));
        const Expr& e = *item.expr;
        if (e.kind == Expr::Star) {
            items.append(e.qualifier.isEmpty() ? QStringLiteral("*") : quoteIdent(e.qualifier) + QStringLiteral(".*"));
            continue;
        }
        QString text = expr(e, scope);
        // A computed column compares with the one collation too, in a
        // derived table, a UNION or a DISTINCT; columns bring their own.
        if (!carriesCollation(e))
            text += kCollate;
        // An expression without an alias has no name, as in SQL Server.
        text += QStringLiteral(" AS ") + quoteIdent(itemName(item));
        items.append(text);
    }
    sql += items.join(QStringLiteral(", "));
    if (!c.from.empty()) {
        QStringList froms;
        for (const auto& f : c.from) {
            readDerivedOnce_ = !c.where && c.from.size() == 1;
            froms.append(source(*f, scope, outer));
        }
        readDerivedOnce_ = false;
        sql += QStringLiteral(" FROM ") + froms.join(QStringLiteral(", "));
    }
    if (c.where) {
        markWhereTerms(*c.where);
        sql += QStringLiteral(" WHERE ") + expr(*c.where, scope);
    }
    if (!c.groupBy.empty()) {
        QStringList g;
        for (const auto& e : c.groupBy)
            g.append(collatedTerm(*e, scope));
        sql += QStringLiteral(" GROUP BY ") + g.join(QStringLiteral(", "));
    }
    if (c.having)
        sql += QStringLiteral(" HAVING ") + expr(*c.having, scope);
    if (order && !order->empty())
        sql += orderBy(*order, scope, tieBreak, &c);
    if (limitInside && c.top)
        sql += QStringLiteral(" LIMIT ") + expr(*c.top, scope);
    return sql;
}

// 'x' and 'X ' are one group. A number has no collation, and without one
// SQLite may group in an index's order, unsorted.
QString SqlGenerator::collatedTerm(const Expr& e, const Scope& scope)
{
    return isNumberType(staticType(e, scope)) ? expr(e, scope) : expr(e, scope) + kCollate;
}

QString SqlGenerator::orderBy(const std::vector<OrderItem>& items, const Scope& scope, bool tieBreak,
                              const SelectCore* core, const Select* compound)
{
    QStringList terms;
    for (const OrderItem& o : items) {
        const Expr& e = unparen(*o.expr);
        // Columns sort by their declared collation; ordinals by position;
        // money and wide decimals by their keys; any other expression is
        // given SQL Server's case-insensitive order.
        QString text = core ? resultColumnKey(e, *core, scope)
                            : compound ? compoundColumnKey(*compound, e) : QString();
        if (text.isEmpty() && e.kind != Expr::Number && mayHoldWideValue(staticType(e, scope)))
            text = orderKey(e, scope);
        if (text.isEmpty()) {
            text = expr(*o.expr, scope);
            if (e.kind != Expr::Column && e.kind != Expr::Number)
                text += kCollate;
        }
        if (o.descending)
            text += QStringLiteral(" DESC");
        terms.append(text);
    }
    if (tieBreak) {
        for (const Source& src : scope.sources)
            terms.append(quoteIdent(src.alias) + QStringLiteral(".rowid"));
    }
    return QStringLiteral(" ORDER BY ") + terms.join(QStringLiteral(", "));
}

void SqlGenerator::addFirstRowsShapes(const Select& s, GeneratedSql& g)
{
    // One block of plain tables whose every row the ORDER BY places: then
    // the rowids make the order total, whichever way SQLite goes.
    if (s.cores.size() != 1 || s.orderBy.empty())
        return;
    const SelectCore& c = s.cores.front();
    if (c.distinct || !c.groupBy.empty() || c.having || c.from.empty())
        return;
    for (const SelectItem& item : c.items) {
        if (!item.assignVariable.isEmpty() || hasAggregate(*item.expr))
            return;
    }
    Scope scope;
    for (const auto& f : c.from)
        collectSources(*f, scope);
    // A view has no rowid: SQLite refuses the shapes, and the reader keeps
    // to the plain statement.
    for (const Source& src : scope.sources) {
        if (src.table.isEmpty())
            return;
    }
    const auto again = [&](bool asTest) {
        binds_.clear();
        whereTerms_.clear();
        trigramAsTest_ = asTest;
        trigramShared_ = true;
        tieBreakFor_ = &s;
        const QString sql = select(s, nullptr);
        trigramAsTest_ = false;
        trigramShared_ = false;
        tieBreakFor_ = nullptr;
        return sql;
    };
    const std::vector<BindSlot> binds = g.binds;
    g.wholeSql = again(false);
    g.firstRowsSql = again(true);
    binds_ = binds;
}

QString SqlGenerator::select(const Select& s, const Scope* outer)
{
    // Only a statement's own blocks: a subquery's row order or single row
    // is not to be touched.
    if (optimizations_.orAsUnion && !outer) {
        if (const SelectPtr split = splitOrIntoUnion(s, schema_)) {
            splitIntoUnion_ = true;
            return select(*split, outer);
        }
    }
    if (s.cores.size() == 1) {
        const SelectCore& c = s.cores.front();
        QString sql = selectCore(c, outer, false, &s.orderBy, &s == tieBreakFor_);
        if (c.top) {
            Scope empty;
            empty.outer = outer;
            sql += QStringLiteral(" LIMIT ") + expr(*c.top, empty);
        }
        return sql;
    }
    QString sql;
    for (size_t i = 0; i < s.cores.size(); ++i) {
        if (i > 0)
            sql += QLatin1Char(' ') + s.compoundOps[i - 1] + QLatin1Char(' ');
        const SelectCore& c = s.cores[i];
        if (c.top)
            sql += QStringLiteral("SELECT * FROM (") + selectCore(c, outer, true, nullptr) + QLatin1Char(')');
        else
            sql += selectCore(c, outer, false, nullptr);
    }
    if (!s.orderBy.empty()) {
        // The ORDER BY of a compound names its result columns. SQLite orders
        // a compound by those columns as they stand: to order money and wide
        // decimals by key, the compound is read as a table.
        Scope scope;
        scope.outer = outer;
        const bool keyed = std::any_of(s.orderBy.begin(), s.orderBy.end(), [&](const OrderItem& o) {
            return !compoundColumnKey(s, unparen(*o.expr)).isEmpty();
        });
        if (keyed)
            sql = QStringLiteral("SELECT * FROM (") + sql + QLatin1Char(')');
        sql += orderBy(s.orderBy, scope, false, nullptr, keyed ? &s : nullptr);
    }
    return sql;
}

// ---------------------------------------------------------------- expressions

QString SqlGenerator::tableOf(const Expr& column, const Scope& scope) const
{
    const Expr& e = unparen(column);
    if (e.kind != Expr::Column)
        return QString();
    for (const Scope* sc = &scope; sc; sc = sc->outer) {
        if (!e.qualifier.isEmpty()) {
            for (const Source& src : sc->sources) {
                if (src.alias.compare(e.qualifier, Qt::CaseInsensitive) == 0)
                    return src.table;
            }
        } else {
            for (const Source& src : sc->sources) {
                if (!src.table.isEmpty() && !schema_.columnType(src.table, e.text).isEmpty())
                    return src.table;
            }
        }
    }
    return QString();
}

QString SqlGenerator::columnTypeOf(const Expr& column, const Scope& scope) const
{
    const QString table = tableOf(column, scope);
    return table.isEmpty() ? QString() : schema_.columnType(table, unparen(column).text);
}

namespace {

// Whole-number column types by width, and whether a value of type `from`
// always fits one of `to`.
int integerWidth(const QString& name)
{
    if (name == QLatin1String("INT") || name == QLatin1String("INTEGER"))
        return 3;
    if (name == QLatin1String("SMALLINT"))
        return 2;
    if (name == QLatin1String("TINYINT"))
        return 1;
    return name == QLatin1String("BIT") ? 0 : -1;
}

bool alwaysFits(const TypeName& from, const QString& to)
{
    const int width = integerWidth(from.name);
    return width >= 0 && width <= integerWidth(to);
}

// SQL Server keeps a decimal's scale when it is written as text, and writes
// money with two decimals (style 1 with thousands grouped, style 2 and 126
// with four); empty for the other types, which convert as they are.
QString amountAsText(const QString& value, const TypeName& from, int style)
{
    if (isDecimalType(from) && from.scale > 0)
        return QStringLiteral("ms_decimal_text(%1, %2)").arg(value).arg(from.scale);
    if (isMoneyType(from))
        return QStringLiteral("ms_decimal_text(%1, %2, %3)")
            .arg(value)
            .arg(style == 2 || style == 126 ? 4 : 2)
            .arg(style == 1 ? 1 : 0);
    return QString();
}

} // namespace

// A value as a column of the declared type keeps it: real in four bytes,
// money at four decimals and within its range, decimal at its scale, date
// without its time of day, a whole number within its type's range (what
// `from`, the value's type, does not show to fit is converted).
QString SqlGenerator::storedAs(const QString& value, const QString& declared, const TypeName& from) const
{
    if (declared.isEmpty())
        return value;
    const TypeName type = parseTypeNameSafe(declared);
    const QString& name = type.name;
    if (integerWidth(name) > 0) {
        if (alwaysFits(from, name))
            return value;
        return QStringLiteral("ms_convert('%1', %2)").arg(name == QLatin1String("INTEGER") ? QStringLiteral("int") : name.toLower(), value);
    }
    if (name == QLatin1String("REAL") || name == QLatin1String("MONEY") || name == QLatin1String("SMALLMONEY")
        || name == QLatin1String("DATE"))
        return QStringLiteral("ms_convert('%1', %2)").arg(name.toLower(), value);
    // A decimal column keeps its scale, rounded, and refuses what its precision cannot hold.
    if (isDecimalType(type))
        return QStringLiteral("ms_convert('decimal(%1,%2)', %3)")
            .arg(QString::number(type.precision > 0 ? type.precision : 18), QString::number(std::max(type.scale, 0)),
                 value);
    if ((name == QLatin1String("CHAR") || name == QLatin1String("NCHAR")) && type.length > 0)
        return QStringLiteral("ms_char_column(%1, %2)").arg(value, QString::number(type.length));
    // Money or a decimal past a double's digits is a wide value, which a
    // float, bigint or text column would keep as it is: it becomes what the
    // column holds, as SQL Server converts on storing.
    if (type.isText()) {
        const QString text = amountAsText(value, from, 0);
        if (!text.isEmpty())
            return text;
    }
    if (mayHoldWideValue(from) && (name == QLatin1String("FLOAT") || name == QLatin1String("BIGINT") || type.isText()))
        return QStringLiteral("ms_convert(%1, %2)").arg(quoteString(type.text().toLower()), value);
    return value;
}

TypeName SqlGenerator::resultColumnType(const Select& s, size_t index) const
{
    TypeName type;
    bool typed = false;
    for (const SelectCore& c : s.cores) {
        if (index >= c.items.size() || unparen(*c.items[index].expr).kind == Expr::Star)
            return TypeName();
        if (unparen(*c.items[index].expr).kind == Expr::Null)
            continue;  // a NULL block takes the type of the others
        Scope scope;
        for (const auto& f : c.from)
            collectSources(*f, scope);
        const TypeName t = staticType(*c.items[index].expr, scope);
        type = typed ? unionType(type, t) : t;
        typed = true;
        if (type.name.isEmpty())
            break;
    }
    return type;
}

std::vector<std::pair<QString, TypeName>> SqlGenerator::resultColumns(const Select& s) const
{
    std::vector<std::pair<QString, TypeName>> columns;
    if (s.cores.empty())
        return columns;
    const std::vector<SelectItem>& items = s.cores.front().items;
    for (size_t i = 0; i < items.size(); ++i) {
        const QString name = itemName(items[i]);
        if (!name.isEmpty())
            columns.emplace_back(name, resultColumnType(s, i));
    }
    return columns;
}

QStringList SqlGenerator::resultTypes(const Select& s) const
{
    QStringList types;
    for (const OutputColumn& c : outputColumns(s))
        types.append(c.type.text());
    return types;
}

std::vector<SqlGenerator::OutputColumn> SqlGenerator::outputColumns(const Select& s) const
{
    std::vector<OutputColumn> columns;
    if (s.cores.empty())
        return columns;
    const SelectCore& c = s.cores.front();
    Scope scope;
    for (const auto& f : c.from)
        collectSources(*f, scope);
    // Only a single block shows a table's column as it stands.
    const bool single = s.cores.size() == 1;
    for (size_t i = 0; i < c.items.size(); ++i) {
        const Expr& e = unparen(*c.items[i].expr);
        if (e.kind != Expr::Star) {
            OutputColumn out{itemName(c.items[i]), resultColumnType(s, i), QString(), QString()};
            if (single && e.kind == Expr::Column) {
                out.table = tableOf(e, scope);
                out.column = e.text;
            }
            columns.push_back(out);
            continue;
        }
        for (const Source& src : scope.sources) {
            if (!e.qualifier.isEmpty() && src.alias.compare(e.qualifier, Qt::CaseInsensitive) != 0)
                continue;
            if (src.derived) {
                for (OutputColumn inner : outputColumns(*src.derived)) {
                    inner.table.clear();
                    inner.column.clear();
                    columns.push_back(inner);
                }
                continue;
            }
            for (const QString& column : schema_.columns(src.table)) {
                const QString declared = schema_.columnType(src.table, column);
                columns.push_back({column, declared.isEmpty() ? TypeName() : resolveType(parseTypeNameSafe(declared)),
                                   single ? src.table : QString(), single ? column : QString()});
            }
        }
    }
    return columns;
}

TypeName SqlGenerator::derivedColumnType(const Expr& column, const Scope& scope) const
{
    const Expr& e = unparen(column);
    if (e.kind != Expr::Column)
        return TypeName();
    for (const Scope* sc = &scope; sc; sc = sc->outer) {
        for (const Source& src : sc->sources) {
            if (!e.qualifier.isEmpty() && src.alias.compare(e.qualifier, Qt::CaseInsensitive) != 0)
                continue;
            if (!src.derived || src.derived->cores.empty()) {
                if (!e.qualifier.isEmpty())
                    return TypeName();
                continue;
            }
            const std::vector<SelectItem>& items = src.derived->cores.front().items;
            for (size_t i = 0; i < items.size(); ++i) {
                if (itemName(items[i]).compare(e.text, Qt::CaseInsensitive) == 0)
                    return resultColumnType(*src.derived, i);
            }
            if (!e.qualifier.isEmpty())
                return TypeName();
        }
    }
    return TypeName();
}

// What the result type tells the arithmetic functions: int arithmetic
// overflows at 32 bits unless a bigint takes part (1); money and decimals
// keep every digit of the exact result (2).
QString SqlGenerator::arithmeticFlags(const Expr& e, const Scope& scope) const
{
    int flags = isBigint(e, scope) ? 1 : 0;
    if (isExactDecimalType(staticType(e, scope)))
        flags |= 2;
    return flags ? QStringLiteral(", %1").arg(flags) : QString();
}

bool SqlGenerator::isBigint(const Expr& e, const Scope& scope) const
{
    const Expr& u = unparen(e);
    switch (u.kind) {
    case Expr::Binary:
        return isBigint(*u.args[0], scope) || isBigint(*u.args[1], scope);
    case Expr::Unary:
        return isBigint(*u.args[0], scope);
    case Expr::Number: {
        bool ok = false;
        const qint64 v = u.text.toLongLong(&ok);
        return ok && (v > std::numeric_limits<qint32>::max() || v < std::numeric_limits<qint32>::min());
    }
    case Expr::Function:
        return u.text == QLatin1String("COUNT_BIG");
    default:
        return staticType(u, scope).name == QLatin1String("BIGINT");
    }
}

namespace {
TypeName integerConstantBesideDecimal(const Expr& e, const TypeName& itsType)
{
    const Expr& u = unparen(e);
    if (u.kind == Expr::Number && itsType.name == QLatin1String("INT"))
        return integerConstantAsDecimal(u.text);
    return itsType;
}
} // namespace

TypeName SqlGenerator::commonType(const std::vector<const Expr*>& values, const Scope& scope) const
{
    TypeName type;
    bool typed = false;
    for (const Expr* e : values) {
        // A NULL takes the type of the others.
        if (unparen(*e).kind == Expr::Null)
            continue;
        const TypeName t = staticType(*e, scope);
        type = typed ? unionType(type, t) : t;
        typed = true;
        if (type.name.isEmpty())
            break;
    }
    return type;
}

TypeName SqlGenerator::staticType(const Expr& e, const Scope& scope) const
{
    const Expr& u = unparen(e);
    switch (u.kind) {
    case Expr::Convert:
        return resolveType(u.type);
    case Expr::Number:
        return numberLiteralType(u.text);
    case Expr::String:
        return u.type;
    case Expr::Variable: {
        const TypeName declared = schema_.variableType(u.text.toUpper());
        return declared.name.isEmpty() ? declared : resolveType(declared);
    }
    case Expr::Unary:
        return u.op == QLatin1String("-") ? staticType(*u.args[0], scope) : TypeName();
    case Expr::Binary: {
        if (!isArithmeticOp(u.op))
            return TypeName();
        TypeName left = staticType(*u.args[0], scope), right = staticType(*u.args[1], scope);
        if (u.op == QLatin1String("+") && left.isText() && right.isText())
            return concatenationType(left, right);
        // Beside a decimal, a whole-number constant counts only its own
        // digits (1.0 / 3 has six decimals, not twelve), unlike an int column.
        if (isDecimalType(right))
            left = integerConstantBesideDecimal(*u.args[0], left);
        if (isDecimalType(left))
            right = integerConstantBesideDecimal(*u.args[1], right);
        return arithmeticType(u.op, left, right);
    }
    case Expr::Function:
        if (u.text == QLatin1String("GETDATE") || u.text == QLatin1String("GETUTCDATE"))
            return parseTypeNameSafe(QStringLiteral("datetime"));
        if (isRankingName(u.text))
            return parseTypeNameSafe(QStringLiteral("bigint"));
        if (u.text == QLatin1String("COUNT"))
            return parseTypeNameSafe(QStringLiteral("int"));
        if (u.text == QLatin1String("COUNT_BIG"))
            return parseTypeNameSafe(QStringLiteral("bigint"));
        if (u.text == QLatin1String("CONCAT")) {
            std::vector<TypeName> parts;
            for (const auto& a : u.args)
                parts.push_back(staticType(*a, scope));
            return concatType(parts);
        }
        if (u.args.empty() || u.distinct)
            return TypeName();
        if (u.text == QLatin1String("SUM"))
            return sumType(staticType(*u.args[0], scope));
        if (u.text == QLatin1String("AVG"))
            return averageType(staticType(*u.args[0], scope));
        if (u.text == QLatin1String("MIN") || u.text == QLatin1String("MAX") || u.text == QLatin1String("ABS")
            || u.text == QLatin1String("ISNULL") || isOffsetWindowName(u.text))
            return staticType(*u.args[0], scope);
        if (u.text == QLatin1String("COALESCE")) {
            std::vector<const Expr*> values;
            for (const auto& a : u.args)
                values.push_back(a.get());
            return commonType(values, scope);
        }
        if (textOfFirstArgument().contains(u.text)) {
            const TypeName t = staticType(*u.args[0], scope);
            return t.isText() ? t : TypeName();
        }
        if (u.text == QLatin1String("DATEADD") && u.args.size() == 3) {
            const TypeName date = staticType(*u.args[2], scope);
            return date.name == QLatin1String("DATE") ? date : TypeName();
        }
        return TypeName();
    case Expr::Subquery:
        // A scalar subquery has the type of its one column.
        if (u.select && !u.select->cores.empty() && u.select->cores.front().items.size() == 1)
            return resultColumnType(*u.select, 0);
        return TypeName();
    case Expr::Case: {
        // The type of its results taken together, as a UNION's column.
        std::vector<const Expr*> results;
        const size_t end = u.args.size() - (u.hasElse ? 1 : 0);
        for (size_t i = u.hasOperand ? 2 : 1; i < end; i += 2)
            results.push_back(u.args[i].get());
        if (u.hasElse)
            results.push_back(u.args.back().get());
        return commonType(results, scope);
    }
    default: {
        const QString declared = columnTypeOf(u, scope);
        if (declared.isEmpty())
            return derivedColumnType(u, scope);
        return resolveType(parseTypeNameSafe(declared));
    }
    }
}

// Division of decimals and money is cut to the result's scale; a product
// whose scale was reduced is rounded to it.
QString SqlGenerator::exactArithmetic(const Expr& e, const QString& call, const QString& l, const QString& r,
                                      const Scope& scope) const
{
    if (e.op != QLatin1String("/") && e.op != QLatin1String("*"))
        return call;
    const TypeName result = staticType(e, scope);
    const bool money = isMoneyType(result);
    if (!money && !isDecimalType(result))
        return call;
    const int scale = money ? 4 : result.scale;
    if (e.op == QLatin1String("/"))
        return QStringLiteral("ms_divide(%1, %2, %3)").arg(l, r, QString::number(scale));
    const TypeName a = staticType(*e.args[0], scope), b = staticType(*e.args[1], scope);
    const int operandScales = std::max(a.scale, 0) + std::max(b.scale, 0) + (isMoneyType(a) ? 4 : 0) + (isMoneyType(b) ? 4 : 0);
    return operandScales > scale ? QStringLiteral("ms_round(%1, %2)").arg(call, QString::number(scale)) : call;
}

// AVG has the type of its argument: an int column's mean is a truncated int;
// money's (four decimals) and decimal(p, s)'s (at least six) are the exact
// sum divided by the count as those types divide, cut at the scale.
QString SqlGenerator::average(const QString& mean, const QString& argument, bool distinct, const TypeName& type,
                              size_t firstBind, const QString& over)
{
    if (type.isInteger())
        return QStringLiteral("CAST(%1 AS INTEGER)").arg(mean);
    const TypeName result = averageType(type);
    if (!isMoneyType(result) && !isDecimalType(result))
        return mean;
    // The argument is written twice, so its "?" markers bind twice, in order.
    const std::vector<BindSlot> argumentBinds(binds_.begin() + std::ptrdiff_t(firstBind), binds_.end());
    binds_.insert(binds_.end(), argumentBinds.begin(), argumentBinds.end());
    // The exact total keeps every digit.
    const QString values = (distinct ? QStringLiteral("DISTINCT ") : QString()) + argument;
    const QString total = QStringLiteral("ms_sum_exact(%1)").arg(values);
    return QStringLiteral("ms_divide(%1%2, count(%3)%2, %4)")
        .arg(total, over, values, QString::number(isMoneyType(result) ? 4 : result.scale));
}

bool SqlGenerator::isDateColumn(const Expr& e, const Scope& scope) const
{
    const QString type = columnTypeOf(e, scope);
    return !type.isEmpty() && parseTypeNameSafe(type).isDate();
}

QString SqlGenerator::dateLiteral(const Expr& literal, const QString& columnType) const
{
    if (literal.kind != Expr::String)
        return QString();
    const auto dt =
        parseDateTime(literal.text, dateOrder_, yearFirstFollowsDateOrder(parseTypeNameSafe(columnType).name));
    return dt ? canonicalDateTime(*dt) : QString();
}

QString SqlGenerator::comparison(const Expr& e, const Scope& scope)
{
    const Expr& l = *e.args[0];
    const Expr& r = *e.args[1];
    if (isRangeOp(e.op) && ordersWideValues({&l, &r}, scope))
        return keyedRange(l, e.op, r, scope);
    QString left, right;
    // A date literal compared with a date column is read as a date.
    if (unparen(r).kind == Expr::String && isDateColumn(l, scope)) {
        const QString d = dateLiteral(unparen(r), columnTypeOf(l, scope));
        if (!d.isEmpty())
            right = quoteString(d);
    } else if (unparen(l).kind == Expr::String && isDateColumn(r, scope)) {
        const QString d = dateLiteral(unparen(l), columnTypeOf(r, scope));
        if (!d.isEmpty())
            left = quoteString(d);
    }
    if (left.isEmpty())
        left = expr(l, scope);
    if (right.isEmpty())
        right = expr(r, scope);
    if (!carriesCollation(l) && !carriesCollation(r))
        left += kCollate;
    return left + QLatin1Char(' ') + e.op + QLatin1Char(' ') + right;
}

QString SqlGenerator::like(const Expr& e, const Scope& scope)
{
    const Expr& value = *e.args[0];
    const Expr& pattern = unparen(*e.args[1]);
    QString v = expr(value, scope);
    QString call = QStringLiteral("ms_like(") + v + QStringLiteral(", ") + expr(*e.args[1], scope);
    if (e.args.size() > 2)
        call += QStringLiteral(", ") + expr(*e.args[2], scope);
    call += QLatin1Char(')');
    if (e.negated)
        return QStringLiteral("NOT ") + call;
    // A literal prefix pattern on a text column also gives SQLite a range it
    // can look up in the column's index.
    if (e.args.size() == 2 && pattern.kind == Expr::String && unparen(value).kind == Expr::Column) {
        const QString type = columnTypeOf(value, scope);
        const QString& p = pattern.text;
        const int firstWild = [&] {
            for (int i = 0; i < p.size(); ++i) {
                const QChar c = p[i];
                if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('['))
                    return i;
            }
            return int(p.size());
        }();
        // Only an ASCII prefix bounds its matches in the collation's order:
        // a Thai leading vowel sorts after the consonant it precedes.
        const bool plainPrefix = std::all_of(p.begin(), p.begin() + firstWild, [](QChar c) {
            return c.unicode() >= 0x20 && c.unicode() < 0x7F;
        });
        if (!type.isEmpty() && parseTypeNameSafe(type).isText() && firstWild > 0 && firstWild < p.size()
            && p[firstWild] == QLatin1Char('%') && plainPrefix) {
            const QString prefix = p.left(firstWild);
            return QStringLiteral("(%1 >= %2 AND %1 < %3 AND %4)")
                .arg(v, quoteString(prefix), quoteString(prefix + QChar(0xFFFF)), call);
        }
    }
    // Only where the row is dropped alike for false and unknown: a NULL
    // value is in no index, and under a NOT "not a candidate" would differ.
    if (optimizations_.trigramLike && e.args.size() == 2 && whereTerms_.contains(&e)) {
        const QString filter = trigramFilter(value, pattern, scope);
        if (!filter.isEmpty())
            return QStringLiteral("(%1 AND %2)").arg(filter, call);
    }
    return call;
}

QString SqlGenerator::trigramFilter(const Expr& value, const Expr& pattern, const Scope& scope)
{
    const Expr& column = unparen(value);
    if (pattern.kind != Expr::String || column.kind != Expr::Column)
        return QString();
    const QString literal = trigramLiteral(pattern.text);
    if (literal.isEmpty())
        return QString();
    // The column's own table in this block (not an outer one, not a derived table).
    const Source* owner = nullptr;
    for (const Source& src : scope.sources) {
        const bool named = column.qualifier.isEmpty()
            ? !src.table.isEmpty() && !schema_.columnType(src.table, column.text).isEmpty()
            : src.alias.compare(column.qualifier, Qt::CaseInsensitive) == 0;
        if (!named)
            continue;
        if (owner)
            return QString();
        owner = &src;
    }
    if (!owner || owner->table.isEmpty())
        return QString();
    const TrigramIndex index = schema_.trigramIndex(owner->table, column.text);
    if (index.table.isEmpty())
        return QString();
    const QString key = index.key == QLatin1String("rowid") ? index.key : quoteIdent(index.key);
    trigramUsed_ = true;
    const QString keyColumn = quoteIdent(owner->alias) + QLatin1Char('.') + key;
    const QString query = trigramQuery(literal);
    // The two shapes of a first-rows reader share one look-up; the walk
    // tests each row against it.
    if (trigramShared_ && trigramAsTest_)
        return trigramMatchTest(keyColumn, index.table, query);
    if (trigramShared_)
        return QStringLiteral("%1 IN (SELECT value FROM %2)").arg(keyColumn, trigramMatchSource(index.table, query));
    // A unary plus keeps SQLite from reading the table through the list.
    return QStringLiteral("%1%2 IN (SELECT rowid FROM %3 WHERE %3 MATCH %4)")
        .arg(trigramAsTest_ ? QStringLiteral("+") : QString(), keyColumn, quoteIdent(index.table), quoteString(query));
}

QString SqlGenerator::convert(const Expr& e, const Scope& scope)
{
    const TypeName target = resolveType(e.type);
    QString typeText = target.text().toLower();
    if (typeText.startsWith(QLatin1String("dec")) && !typeText.startsWith(QLatin1String("decimal")))
        typeText.replace(0, 3, QStringLiteral("decimal"));
    QString value;
    const Expr& inner = unparen(*e.args[0]);
    // A number never becomes a date or datetime2 (datetime counts days), not
    // even through TRY_CONVERT.
    if (target.name == QLatin1String("DATE") || target.name == QLatin1String("DATETIME2")) {
        const TypeName from = staticType(inner, scope);
        if (isNumberType(from))
            throw DbError(QStringLiteral("Explicit conversion from data type %1 to %2 is not allowed.")
                              .arg(typeInMessages(inner, from), typeNameInMessages(target)));
    }
    // SQL Server keeps a decimal's scale when it is written as text, and
    // writes money with two decimals (style 1 with thousands grouped, style
    // 2 and 126 with four).
    if (target.isText()) {
        const TypeName innerType = staticType(inner, scope);
        const Expr* style = e.args.size() > 1 ? &unparen(*e.args[1]) : nullptr;
        // A style given as an expression leaves money to the conversion
        // itself. (The value is generated only when used: its "?" markers bind.)
        const bool amount = isMoneyType(innerType) || (isDecimalType(innerType) && innerType.scale > 0);
        if (amount && (!style || style->kind == Expr::Number || !isMoneyType(innerType)))
            value = amountAsText(expr(inner, scope), innerType, style && style->kind == Expr::Number ? style->text.toInt() : 0);
    }
    // A date is written without a time (style 23 is yyyy-mm-dd), in any style.
    if (value.isEmpty() && target.isText() && staticType(inner, scope).name == QLatin1String("DATE")) {
        const QString date = expr(*e.args[0], scope);
        if (e.args.size() == 1)
            return QStringLiteral("ms_convert(%1, ms_date_text(%2, 23))").arg(quoteString(typeText), date);
        return QStringLiteral("ms_convert(%1, ms_date_text(%2, %3))")
            .arg(quoteString(typeText), date, expr(*e.args[1], scope));
    }
    if (value.isEmpty())
        value = expr(*e.args[0], scope);
    // money to a whole number rounds; decimal and float truncate.
    if (target.isInteger() && isMoneyType(staticType(inner, scope)))
        value = QStringLiteral("ms_round(%1, 0)").arg(value);
    QString sql = (e.orNull ? QStringLiteral("ms_try_convert(") : QStringLiteral("ms_convert(")) + quoteString(typeText)
        + QStringLiteral(", ") + value;
    if (e.args.size() > 1)
        sql += QStringLiteral(", ") + expr(*e.args[1], scope);
    return sql + QLatin1Char(')');
}

QString SqlGenerator::concat(const Expr& e, const Scope& scope)
{
    if (e.args.size() < 2 || e.args.size() > 254 || e.star)
        throw DbError(QStringLiteral("The concat function requires 2 to 254 arguments."));
    QStringList parts;
    for (const ExprPtr& a : e.args) {
        const Expr& u = unparen(*a);
        if (u.kind == Expr::Null)
            continue;
        if (staticType(u, scope).isText()) {
            parts.append(QStringLiteral("coalesce(%1, '')").arg(expr(*a, scope)));
            continue;
        }
        Expr asText;
        asText.kind = Expr::Convert;
        asText.type = parseTypeNameSafe(QStringLiteral("nvarchar(max)"));
        asText.args = {a};
        parts.append(QStringLiteral("coalesce(%1, '')").arg(convert(asText, scope)));
    }
    return parts.isEmpty() ? QStringLiteral("''") : QLatin1Char('(') + parts.join(QStringLiteral(" || ")) + QLatin1Char(')');
}

QString SqlGenerator::function(const Expr& e, const Scope& scope)
{
    if (e.text == QLatin1String("SCOPE_IDENTITY") || e.text == QLatin1String("IDENT_CURRENT"))
        return QStringLiteral("last_insert_rowid()");
    if (e.text == QLatin1String("DB_NAME") && e.args.empty())
        return quoteString(schema_.databaseName());
    if (e.text == QLatin1String("OBJECT_ID") && !e.args.empty() && e.args.size() <= 2) {
        QString sql = QStringLiteral("(SELECT id FROM sysobjects WHERE name = ms_object_name(%1)").arg(expr(*e.args[0], scope));
        if (e.args.size() == 2)
            sql += QStringLiteral(" AND xtype = rtrim(%1)").arg(expr(*e.args[1], scope));
        return sql + QLatin1Char(')');
    }
    if (e.text == QLatin1String("DATEADD") && e.args.size() == 3 && e.args[0]->kind == Expr::DatePart
        && staticType(*e.args[2], scope).name == QLatin1String("DATE")) {
        static const QSet<QString> timeParts{QStringLiteral("HOUR"), QStringLiteral("HH"), QStringLiteral("MINUTE"),
                                             QStringLiteral("MI"), QStringLiteral("N"), QStringLiteral("SECOND"),
                                             QStringLiteral("SS"), QStringLiteral("S"), QStringLiteral("MILLISECOND"),
                                             QStringLiteral("MS")};
        if (timeParts.contains(e.args[0]->text.toUpper()))
            throw DbError(QStringLiteral("The datepart %1 is not supported by date function dateadd for data type date.")
                              .arg(e.args[0]->text.toLower()));
    }
    // SUBSTRING takes only text and binary; SQLite would cut a number's or a
    // date's text. A written decimal is numeric.
    if (e.text == QLatin1String("SUBSTRING") && !e.args.empty()) {
        const TypeName t = staticType(*e.args[0], scope);
        if (t.isDate() || isNumberType(t))
            throw DbError(QStringLiteral("Argument data type %1 is invalid for argument 1 of substring function.")
                              .arg(typeInMessages(*e.args[0], t)));
    }
    if (e.text == QLatin1String("CONCAT"))
        return concat(e, scope);
    if (isRankingName(e.text))
        return rankingFunction(e, scope);
    if (isOffsetWindowName(e.text))
        return offsetWindowFunction(e, scope);
    // What the session knows, not SQLite: bound as the statement runs.
    static const QSet<QString> sessionFunctions{
        QStringLiteral("ERROR_NUMBER"), QStringLiteral("ERROR_MESSAGE"), QStringLiteral("ERROR_SEVERITY"),
        QStringLiteral("ERROR_STATE"),  QStringLiteral("ERROR_LINE"),    QStringLiteral("ERROR_PROCEDURE"),
        QStringLiteral("XACT_STATE")};
    if (e.args.empty() && !e.star && sessionFunctions.contains(e.text))
        return bind(BindSlot::Variable, e.text + QStringLiteral("()"));
    const auto& map = simpleFunctions();
    const auto it = map.find(e.text);
    if (it == map.end())
        throw DbError(QStringLiteral("'%1' is not a recognized built-in function name.").arg(e.text));
    const int argc = int(e.args.size()) + (e.star ? 1 : 0);
    if (!argumentCountFits(e.text, argc)) {
        throw DbError(QStringLiteral("The %1 function requires %2 argument(s).")
                          .arg(e.text.toLower())
                          .arg(e.text == QLatin1String("SUBSTRING") || e.text == QLatin1String("REPLACE") ? 3 : 2));
    }
    if (e.star)
        return it.value() + QStringLiteral("(*)") + overClause(e, scope);
    const size_t firstBind = binds_.size();
    QStringList args;
    for (const auto& a : e.args) {
        if (a->kind == Expr::DatePart)
            args.append(quoteString(a->text));
        else
            args.append(expr(*a, scope));
    }
    const TypeName argumentType = e.args.empty() ? TypeName() : staticType(*e.args[0], scope);
    // A total of money or decimals keeps every digit.
    const bool exactTotal = e.text == QLatin1String("SUM") && isExactDecimalType(argumentType);
    // Written after the arguments: the "?" markers bind in that order.
    const QString over = overClause(e, scope);
    if ((e.text == QLatin1String("MIN") || e.text == QLatin1String("MAX")) && mayHoldWideValue(argumentType))
        return extremum(it.value(), args.value(0), e.distinct, over);
    const QString call = (exactTotal ? QStringLiteral("ms_sum_exact") : it.value()) + QLatin1Char('(') + (e.distinct ? QStringLiteral("DISTINCT ") : QString())
        + args.join(QStringLiteral(", ")) + QLatin1Char(')') + over;
    if (e.text == QLatin1String("AVG"))
        return average(call, args.value(0), e.distinct, argumentType, firstBind, over);
    // Unicode text takes two bytes a character, the code page's one.
    if (e.text == QLatin1String("DATALENGTH") && !e.args.empty()) {
        static const QSet<QString> unicode{QStringLiteral("NCHAR"), QStringLiteral("NVARCHAR"), QStringLiteral("NTEXT")};
        if (unicode.contains(staticType(*e.args[0], scope).name))
            return QStringLiteral("(%1 * 2)").arg(call);
    }
    // A sum of ints is an int, which overflows past 32 bits; so does the
    // absolute value of the lowest int.
    if ((e.text == QLatin1String("SUM") && sumType(staticType(*e.args[0], scope)).name == QLatin1String("INT"))
        || (e.text == QLatin1String("ABS") && staticType(*e.args[0], scope).name == QLatin1String("INT")))
        return QStringLiteral("ms_convert('int', %1)").arg(call);
    // A total of money is money, and overflows past its range.
    if (e.text == QLatin1String("SUM") && isMoneyType(sumType(argumentType)))
        return QStringLiteral("ms_convert('money', %1)").arg(call);
    return call;
}

QString SqlGenerator::expr(const Expr& e, const Scope& scope)
{
    switch (e.kind) {
    case Expr::Null:
        return QStringLiteral("NULL");
    case Expr::Number:
        return isBinaryLiteral(e) ? binaryLiteral(e.text) : numberLiteral(e.text);
    case Expr::String:
        return quoteString(e.text);
    case Expr::Column:
        return e.qualifier.isEmpty() ? quoteIdent(e.text) : quoteIdent(e.qualifier) + QLatin1Char('.') + quoteIdent(e.text);
    case Expr::Star:
        return e.qualifier.isEmpty() ? QStringLiteral("*") : quoteIdent(e.qualifier) + QStringLiteral(".*");
    case Expr::Param:
        return bind(BindSlot::Param, e.text);
    case Expr::Variable:
        return bind(BindSlot::Variable, e.text);
    case Expr::Identity:
        return QStringLiteral("last_insert_rowid()");
    case Expr::SystemVar:
        if (e.text == QLatin1String("@@ROWCOUNT"))
            return QStringLiteral("changes()");
        if (e.text == QLatin1String("@@ERROR") || e.text == QLatin1String("@@TRANCOUNT"))
            return bind(BindSlot::Variable, e.text);
        if (e.text == QLatin1String("@@SERVERNAME"))
            return QStringLiteral("'EMBEDDED'");
        if (e.text == QLatin1String("@@VERSION"))
            return QStringLiteral("'Embedded T-SQL engine on SQLite ' || sqlite_version()");
        unsupported(e.text);
    case Expr::Unary:
        if (e.op == QLatin1String("-"))
            return QStringLiteral("ms_neg(") + expr(*e.args[0], scope) + QLatin1Char(')');
        return QStringLiteral("(~") + expr(*e.args[0], scope) + QLatin1Char(')');
    case Expr::Binary: {
        if (isComparisonOp(e.op))
            return comparison(e, scope);
        // Operands are generated left to right: the "?" markers bind in that order.
        if (e.op == QLatin1String("AND") || e.op == QLatin1String("OR")) {
            const QString l = expr(*e.args[0], scope);
            const QString r = expr(*e.args[1], scope);
            return l + QLatin1Char(' ') + e.op + QLatin1Char(' ') + r;
        }
        const bool bitwise = e.op == QLatin1String("&") || e.op == QLatin1String("|") || e.op == QLatin1String("^");
        // Beside a bitwise operator a binary literal is the integer it spells.
        const QString l = bitwise && isBinaryLiteral(*e.args[0]) ? binaryAsInteger(e.args[0]->text) : expr(*e.args[0], scope);
        const QString r = bitwise && isBinaryLiteral(*e.args[1]) ? binaryAsInteger(e.args[1]->text) : expr(*e.args[1], scope);
        static const QHash<QString, QString> operators{
            {QStringLiteral("+"), QStringLiteral("ms_add")}, {QStringLiteral("-"), QStringLiteral("ms_sub")},
            {QStringLiteral("*"), QStringLiteral("ms_mul")}, {QStringLiteral("/"), QStringLiteral("ms_div")},
            {QStringLiteral("%"), QStringLiteral("ms_mod")}};
        const auto op = operators.constFind(e.op);
        if (op != operators.constEnd()) {
            // real is four bytes at every step: each operand is made one, and so is the result.
            if (staticType(e, scope).name == QLatin1String("REAL"))
                return QStringLiteral("ms_convert('real', %1(ms_convert('real', %2), ms_convert('real', %3)))")
                    .arg(op.value(), l, r);
            const QString call = QStringLiteral("%1(%2, %3%4)").arg(op.value(), l, r, arithmeticFlags(e, scope));
            return exactArithmetic(e, call, l, r, scope);
        }
        if (e.op == QLatin1String("&"))
            return QStringLiteral("(%1 & %2)").arg(l, r);
        if (e.op == QLatin1String("|"))
            return QStringLiteral("(%1 | %2)").arg(l, r);
        if (e.op == QLatin1String("^"))
            return QStringLiteral("((%1 | %2) - (%1 & %2))").arg(l, r);
        unsupported(QStringLiteral("the operator ") + e.op);
    }
    case Expr::Not:
        return QStringLiteral("NOT ") + expr(*e.args[0], scope);
    case Expr::Between: {
        const Expr& v = *e.args[0];
        if (ordersWideValues({&v, e.args[1].get(), e.args[2].get()}, scope)) {
            const QString between = keyedBetween(v, *e.args[1], *e.args[2], scope);
            return e.negated ? QStringLiteral("NOT (%1)").arg(between) : between;
        }
        QString value = expr(v, scope);
        QString lo, hi;
        if (isDateColumn(v, scope)) {
            lo = dateLiteral(unparen(*e.args[1]), columnTypeOf(v, scope));
            hi = dateLiteral(unparen(*e.args[2]), columnTypeOf(v, scope));
            if (!lo.isEmpty())
                lo = quoteString(lo);
            if (!hi.isEmpty())
                hi = quoteString(hi);
        }
        if (lo.isEmpty())
            lo = expr(*e.args[1], scope);
        if (hi.isEmpty())
            hi = expr(*e.args[2], scope);
        if (!carriesCollation(v) && !carriesCollation(*e.args[1]) && !carriesCollation(*e.args[2]))
            value += kCollate;
        return value + (e.negated ? QStringLiteral(" NOT BETWEEN ") : QStringLiteral(" BETWEEN ")) + lo
            + QStringLiteral(" AND ") + hi;
    }
    case Expr::InList: {
        const Expr& v = *e.args[0];
        const bool dates = isDateColumn(v, scope);
        QString value = expr(v, scope);
        QStringList items;
        for (size_t i = 1; i < e.args.size(); ++i) {
            QString d = dates ? dateLiteral(unparen(*e.args[i]), columnTypeOf(v, scope)) : QString();
            items.append(d.isEmpty() ? expr(*e.args[i], scope) : quoteString(d));
        }
        if (!carriesCollation(v))
            value += kCollate;
        return value + (e.negated ? QStringLiteral(" NOT IN (") : QStringLiteral(" IN (")) + items.join(QStringLiteral(", "))
            + QLatin1Char(')');
    }
    case Expr::InSelect: {
        const QString value = expr(*e.args[0], scope);
        const QString sub = select(*e.select, &scope);
        return value + (e.negated ? QStringLiteral(" NOT IN (") : QStringLiteral(" IN (")) + sub + QLatin1Char(')');
    }
    case Expr::Exists:
        return (e.negated ? QStringLiteral("NOT EXISTS (") : QStringLiteral("EXISTS (")) + select(*e.select, &scope)
            + QLatin1Char(')');
    case Expr::IsNull:
        return expr(*e.args[0], scope) + (e.negated ? QStringLiteral(" IS NOT NULL") : QStringLiteral(" IS NULL"));
    case Expr::Like:
        return like(e, scope);
    case Expr::Case: {
        QString sql = QStringLiteral("CASE");
        size_t i = 0;
        if (e.hasOperand)
            sql += QLatin1Char(' ') + expr(*e.args[i++], scope);
        const size_t end = e.args.size() - (e.hasElse ? 1 : 0);
        for (; i + 1 < end; i += 2) {
            const QString when = expr(*e.args[i], scope);
            const QString then = expr(*e.args[i + 1], scope);
            sql += QStringLiteral(" WHEN ") + when + QStringLiteral(" THEN ") + then;
        }
        if (e.hasElse)
            sql += QStringLiteral(" ELSE ") + expr(*e.args.back(), scope);
        return sql + QStringLiteral(" END");
    }
    case Expr::Function:
        return function(e, scope);
    case Expr::Convert:
        return convert(e, scope);
    case Expr::Subquery:
        return QLatin1Char('(') + select(*e.select, &scope) + QLatin1Char(')');
    case Expr::DatePart:
        return quoteString(e.text);
    case Expr::Paren:
        return QLatin1Char('(') + expr(*e.args[0], scope) + QLatin1Char(')');
    }
    return QString();
}

} // namespace db::sqlite
