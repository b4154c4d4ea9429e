#include "EmbeddedCatalog.h"

#include "db/DbError.h"
#include "db/sqlite/SqlServerFunctions.h"
#include "db/sqlite/SqliteEngine.h"

#include <QHash>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <sqlite3.h>

#include <map>

namespace qeldb {

namespace {

int connectionCounter = 0;

QString sqliteName(const QString& name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

QSqlQuery run(const QSqlDatabase& db, const QString& sql)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(sql))
        throw db::DbError(QStringLiteral("Reading the catalog of %1 failed: %2")
                              .arg(db.databaseName(), q.lastError().databaseText()));
    return q;
}

// The engine writes T-SQL types with its collation after text types and
// (MAX) as (-1); an IDENTITY column becomes SQLite's INTEGER rowid.
QString tsqlType(const QString& declared)
{
    QString type = declared;
    type.remove(QRegularExpression(QStringLiteral("\\s+COLLATE\\s+\\S+"), QRegularExpression::CaseInsensitiveOption));
    type.replace(QLatin1String("(-1)"), QLatin1String("(MAX)"));
    type = type.trimmed();
    if (type.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("INT");
    return type.isEmpty() ? QStringLiteral("SQL_VARIANT") : type;
}

// The arguments of a call whose "(" is at `open`, split at the commas that
// stand outside parentheses and quotes; *end is past the closing ")".
QStringList callArguments(const QString& sql, qsizetype open, qsizetype* end)
{
    QStringList arguments;
    int depth = 0;
    QChar quote;
    qsizetype start = open + 1;
    for (qsizetype i = open; i < sql.size(); ++i) {
        const QChar c = sql.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
        } else if (c == QLatin1Char('(')) {
            ++depth;
        } else if (c == QLatin1Char(',') && depth == 1) {
            arguments.append(sql.mid(start, i - start).trimmed());
            start = i + 1;
        } else if (c == QLatin1Char(')') && --depth == 0) {
            const QString last = sql.mid(start, i - start).trimmed();
            if (!last.isEmpty() || !arguments.isEmpty())
                arguments.append(last);
            *end = i + 1;
            return arguments;
        }
    }
    *end = sql.size();
    return arguments;
}

} // namespace

QString tsqlFromEngine(const QString& sql)
{
    // The engine calls its own functions for SQL Server's operators and
    // built-ins; each goes back to the T-SQL it came from.
    static const QHash<QString, QString> operators{
        {QStringLiteral("ms_add"), QStringLiteral("+")}, {QStringLiteral("ms_sub"), QStringLiteral("-")},
        {QStringLiteral("ms_mul"), QStringLiteral("*")}, {QStringLiteral("ms_div"), QStringLiteral("/")},
        {QStringLiteral("ms_mod"), QStringLiteral("%")}, {QStringLiteral("ms_like"), QStringLiteral("LIKE")}};
    static const QRegularExpression call(QStringLiteral("\\bms_([a-z_0-9]+)\\s*\\("),
                                         QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression collate(QStringLiteral("\\s+COLLATE\\s+MSSQL\\b"),
                                            QRegularExpression::CaseInsensitiveOption);
    QString out;
    qsizetype from = 0;
    QChar quote;
    for (qsizetype i = 0; i < sql.size();) {
        const QChar c = sql.at(i);
        if (!quote.isNull() || c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = quote.isNull() ? c : (c == quote ? QChar() : quote);
            ++i;
            continue;
        }
        const auto m = call.match(sql, i, QRegularExpression::NormalMatch,
                                  QRegularExpression::AnchorAtOffsetMatchOption);
        if (!m.hasMatch() || (i > 0 && (sql.at(i - 1).isLetterOrNumber() || sql.at(i - 1) == QLatin1Char('_')))) {
            ++i;
            continue;
        }
        out += sql.mid(from, i - from);
        qsizetype end = 0;
        QStringList args = callArguments(sql, m.capturedEnd() - 1, &end);
        for (QString& a : args)
            a = tsqlFromEngine(a);
        const QString name = QStringLiteral("ms_") + m.captured(1).toLower();
        if (operators.contains(name) && args.size() >= 2)
            out += QStringLiteral("(%1 %2 %3)").arg(args[0], operators[name], args[1]);
        else if (name == QLatin1String("ms_neg") && args.size() == 1)
            out += QStringLiteral("(-%1)").arg(args[0]);
        else if (name == QLatin1String("ms_decimal_text") && !args.isEmpty())
            out += args[0];  // CONVERT's own help with decimals, which T-SQL's CONVERT does itself
        else if (name == QLatin1String("ms_convert") && args.size() >= 2 && args[0].startsWith(QLatin1Char('\'')))
            out += QStringLiteral("CONVERT(%1)").arg((QStringList{args[0].mid(1, args[0].size() - 2)} + args.mid(1))
                                                         .join(QStringLiteral(", ")));
        else
            out += m.captured(1) + QLatin1Char('(') + args.join(QStringLiteral(", ")) + QLatin1Char(')');
        i = from = end;
    }
    out += sql.mid(from);
    return out.replace(collate, QString());
}

namespace {

// The expression that starts at `open` (an opening parenthesis) without its
// outer parentheses; quoted text may hold parentheses of its own.
QString balanced(const QString& sql, qsizetype open, qsizetype* end)
{
    int depth = 0;
    QChar quote;
    for (qsizetype i = open; i < sql.size(); ++i) {
        const QChar c = sql.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
        } else if (c == QLatin1Char('(')) {
            ++depth;
        } else if (c == QLatin1Char(')') && --depth == 0) {
            *end = i + 1;
            return sql.mid(open + 1, i - open - 1).trimmed();
        }
    }
    *end = sql.size();
    return QString();
}

QStringList quotedNames(const QString& list)
{
    static const QRegularExpression name(QStringLiteral("\"((?:[^\"]|\"\")*)\""));
    QStringList names;
    for (auto it = name.globalMatch(list); it.hasNext();)
        names.append(it.next().captured(1).replace(QLatin1String("\"\""), QLatin1String("\"")));
    return names;
}

// Named constraints of a kind ("PRIMARY KEY", "UNIQUE", "FOREIGN KEY") in a
// table's definition, by the columns they cover: table-level ones list them,
// column-level ones follow their column.
std::map<QString, QString> constraintNames(const QString& sql, const QString& kind)
{
    std::map<QString, QString> names;
    const QRegularExpression tableLevel(
        QStringLiteral("CONSTRAINT\\s+\"((?:[^\"]|\"\")+)\"\\s+%1\\s*\\(([^)]*)\\)").arg(kind),
        QRegularExpression::CaseInsensitiveOption);
    for (auto it = tableLevel.globalMatch(sql); it.hasNext();) {
        const auto m = it.next();
        names[quotedNames(m.captured(2)).join(QLatin1Char(',')).toUpper()] = m.captured(1);
    }
    const QRegularExpression columnLevel(
        QStringLiteral("(?:^|[(,])\\s*\"((?:[^\"]|\"\")+)\"(?:[^,(]|\\([^)]*\\))*?CONSTRAINT\\s+\"((?:[^\"]|\"\")+)\""
                       "(?:[^,(]|\\([^)]*\\))*?\\b%1(?!\\s*\\()")
            .arg(kind == QLatin1String("FOREIGN KEY") ? QStringLiteral("REFERENCES") : kind),
        QRegularExpression::CaseInsensitiveOption);
    for (auto it = columnLevel.globalMatch(sql); it.hasNext();) {
        const auto m = it.next();
        names.try_emplace(m.captured(1).toUpper(), m.captured(2));
    }
    return names;
}

// A column's name may stand apart from its check: "Qty" INT CONSTRAINT
// "CK_Qty" NOT NULL CHECK (...), as SQLite reads it too.
QList<CheckDef> checks(const QString& sql)
{
    QList<CheckDef> found;
    static const QRegularExpression check(
        QStringLiteral("(?:CONSTRAINT\\s+\"((?:[^\"]|\"\")+)\"(?:[^,(]|\\([^)]*\\))*?\\s)?CHECK\\s*(?=\\()"),
        QRegularExpression::CaseInsensitiveOption);
    qsizetype from = 0;
    for (;;) {
        const auto m = check.match(sql, from);
        if (!m.hasMatch())
            break;
        qsizetype end = 0;
        found.append(CheckDef{m.captured(1), tsqlFromEngine(balanced(sql, m.capturedEnd(), &end))});
        from = end;
    }
    return found;
}

} // namespace

EmbeddedCatalog::EmbeddedCatalog(const QString& folder, const QString& database)
{
    const QString file = db::sqlite::findDatabaseFile(folder, database);
    if (file.isEmpty())
        throw db::DbError(QStringLiteral("Cannot open database \"%1\" requested by the login. The login failed.")
                              .arg(database));
    connectionName_ = QStringLiteral("qel-copy-source-%1").arg(++connectionCounter);
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName_);
    db_.setDatabaseName(file);
    db_.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=10000"));
    if (!db_.open())
        throw db::DbError(QStringLiteral("Cannot read %1: %2").arg(file, db_.lastError().text()));
    // Indexes and views of the engine's tables name its collation and
    // functions; SQLite wants them at hand even to read.
    const QVariant handle = db_.driver()->handle();
    sqlite3* h = handle.isValid() ? *static_cast<sqlite3* const*>(handle.constData()) : nullptr;
    if (!h)
        throw db::DbError(QStringLiteral("The SQLite driver gave no connection handle."));
    db::sqlite::registerSqlServerFunctions(h);
}

EmbeddedCatalog::~EmbeddedCatalog()
{
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connectionName_);
}

Catalog EmbeddedCatalog::readCatalog()
{
    Catalog catalog;
    // Tables in the order they were made, so that a reader of the copy finds
    // them as in the source.
    QSqlQuery objects = run(db_, QStringLiteral(
        "SELECT type, name, sql FROM sqlite_master WHERE type IN ('table', 'view') AND name NOT LIKE 'sqlite!_%' "
        "ESCAPE '!' AND name NOT LIKE 'qel!_%' ESCAPE '!' ORDER BY rowid"));
    std::vector<std::pair<QString, QString>> tables;
    while (objects.next()) {
        const QString name = objects.value(1).toString();
        const QString sql = objects.value(2).toString();
        if (objects.value(0).toString() == QLatin1String("table"))
            tables.emplace_back(name, sql);
        else
            catalog.views.append(ModuleDef{name, tsqlFromEngine(sql)});
    }
    objects.finish();
    for (const auto& [name, sql] : tables)
        catalog.tables.append(readTable(name, sql));

    const QStringList own = db_.tables();
    if (own.contains(QStringLiteral("qel_types"))) {
        QSqlQuery types = run(db_, QStringLiteral("SELECT name, base FROM qel_types ORDER BY rowid"));
        while (types.next())
            catalog.types.append(UserTypeDef{types.value(0).toString(), types.value(1).toString()});
    }
    if (own.contains(QStringLiteral("qel_procedures"))) {
        QSqlQuery procs = run(db_, QStringLiteral("SELECT name, definition FROM qel_procedures ORDER BY rowid"));
        while (procs.next())
            catalog.procedures.append(ModuleDef{procs.value(0).toString(), procs.value(1).toString()});
    }
    return catalog;
}

TableDef EmbeddedCatalog::readTable(const QString& name, const QString& sql)
{
    TableDef t;
    t.name = name;
    const bool autoIncrement = sql.contains(QLatin1String("AUTOINCREMENT"), Qt::CaseInsensitive);

    std::map<int, QString> keyColumns;  // position in the key -> column
    QSqlQuery info = run(db_, QStringLiteral("PRAGMA table_info(%1)").arg(sqliteName(name)));
    while (info.next()) {
        ColumnDef c;
        c.name = info.value(QStringLiteral("name")).toString();
        c.type = tsqlType(info.value(QStringLiteral("type")).toString());
        c.nullable = info.value(QStringLiteral("notnull")).toInt() == 0;
        const QVariant dflt = info.value(QStringLiteral("dflt_value"));
        if (!dflt.isNull())
            c.defaultSql = tsqlFromEngine(dflt.toString());
        const int pk = info.value(QStringLiteral("pk")).toInt();
        if (pk > 0) {
            keyColumns[pk] = c.name;
            c.identity = autoIncrement;  // only an INTEGER PRIMARY KEY can be AUTOINCREMENT
            if (c.identity)
                c.nullable = false;
        }
        t.columns.append(c);
    }
    info.finish();
    for (const auto& [position, column] : keyColumns) {
        t.primaryKey.columns.append(column);
        t.primaryKey.descending.append(false);
    }
    t.primaryKey.unique = true;
    if (!t.primaryKey.columns.isEmpty())
        t.primaryKey.name = constraintNames(sql, QStringLiteral("PRIMARY KEY"))[t.primaryKey.columns.join(QLatin1Char(',')).toUpper()];

    const auto uniqueNames = constraintNames(sql, QStringLiteral("UNIQUE"));
    QSqlQuery list = run(db_, QStringLiteral("PRAGMA index_list(%1)").arg(sqliteName(name)));
    struct Index {
        QString name;
        bool unique;
        QString origin;
    };
    std::vector<Index> indexes;
    while (list.next())
        indexes.push_back(Index{list.value(QStringLiteral("name")).toString(),
                                list.value(QStringLiteral("unique")).toInt() != 0,
                                list.value(QStringLiteral("origin")).toString()});
    list.finish();
    // index_list gives the newest first.
    for (auto it = indexes.rbegin(); it != indexes.rend(); ++it) {
        if (it->origin == QLatin1String("pk"))
            continue;
        KeyDef k;
        k.unique = it->unique;
        QSqlQuery cols = run(db_, QStringLiteral("PRAGMA index_xinfo(%1)").arg(sqliteName(it->name)));
        while (cols.next()) {
            if (cols.value(QStringLiteral("key")).toInt() == 0)
                continue;
            k.columns.append(cols.value(QStringLiteral("name")).toString());
            k.descending.append(cols.value(QStringLiteral("desc")).toInt() != 0);
        }
        if (it->origin == QLatin1String("u")) {
            const auto n = uniqueNames.find(k.columns.join(QLatin1Char(',')).toUpper());
            if (n != uniqueNames.end())
                k.name = n->second;
            t.uniques.append(k);
        } else {
            // The engine names its indexes "Table.Index".
            k.name = it->name.startsWith(name + QLatin1Char('.')) ? it->name.mid(name.size() + 1) : it->name;
            t.indexes.append(k);
        }
    }

    const auto foreignNames = constraintNames(sql, QStringLiteral("FOREIGN KEY"));
    QSqlQuery keys = run(db_, QStringLiteral("PRAGMA foreign_key_list(%1)").arg(sqliteName(name)));
    std::map<int, ForeignKeyDef> foreign;
    while (keys.next()) {
        ForeignKeyDef& k = foreign[keys.value(QStringLiteral("id")).toInt()];
        k.refTable = keys.value(QStringLiteral("table")).toString();
        k.columns.append(keys.value(QStringLiteral("from")).toString());
        const QString to = keys.value(QStringLiteral("to")).toString();
        if (!to.isEmpty())
            k.refColumns.append(to);
    }
    keys.finish();
    // SQLite lists them last made first.
    for (auto it = foreign.rbegin(); it != foreign.rend(); ++it) {
        ForeignKeyDef k = it->second;
        const auto n = foreignNames.find(k.columns.join(QLatin1Char(',')).toUpper());
        if (n != foreignNames.end())
            k.name = n->second;
        t.foreignKeys.append(k);
    }
    t.checks = checks(sql);
    return t;
}

qint64 EmbeddedCatalog::rowCount(const TableDef& table)
{
    QSqlQuery q = run(db_, QStringLiteral("SELECT count(*) FROM %1").arg(sqliteName(table.name)));
    return q.next() ? q.value(0).toLongLong() : 0;
}

void EmbeddedCatalog::readRows(const TableDef& table, int batchRows, const RowSink& sink)
{
    QStringList columns;
    for (const QString& c : table.columnNames())
        columns.append(sqliteName(c));
    // One read in storage order; the sink takes each batch before the next
    // is read, so memory holds one batch whatever the table's size.
    QSqlQuery q = run(db_, QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid")
                               .arg(columns.join(QStringLiteral(", ")), sqliteName(table.name)));
    const int n = int(columns.size());
    std::vector<Row> batch;
    batch.reserve(size_t(batchRows));
    while (q.next()) {
        Row row(n);
        for (int i = 0; i < n; ++i)
            row[i] = q.value(i);
        batch.push_back(std::move(row));
        if (int(batch.size()) == batchRows) {
            sink(batch);
            batch.clear();
        }
    }
    if (q.lastError().isValid())
        throw db::DbError(QStringLiteral("Reading %1 failed: %2").arg(table.name, q.lastError().databaseText()));
    if (!batch.empty())
        sink(batch);
}

} // namespace qeldb
