#include "SqliteEngine.h"

#include "DayNumberDates.h"
#include "ErrorNumbers.h"
#include "NumericTypes.h"
#include "SelectInto.h"
#include "SqliteCursor.h"
#include "SqlServerFunctions.h"
#include "TsqlParser.h"
#include "ViewColumns.h"
#include "WideDecimal.h"
#include "db/DbError.h"
#include "db/LockWait.h"
#include "db/Query.h"

#include <QDir>
#include <QLoggingCategory>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>

#include <sqlite3.h>

#include <ctime>

#include <atomic>

namespace db::sqlite {

// QT_LOGGING_RULES="qel.sql.debug=true" shows every generated statement.
Q_LOGGING_CATEGORY(lcSql, "qel.sql", QtWarningMsg)

namespace {

std::atomic<int> connectionCounter{0};

// Statement texts built from typed input are many; past this the caches
// start afresh rather than grow without end.
constexpr int kMaxCachedBatches = 2000;

QString cannotOpen(const QString& name)
{
    return QStringLiteral("Cannot open database \"%1\" requested by the login. The login failed.").arg(name);
}

// Each connection is used by one thread at a time (the program's SQLite
// work all runs in its main thread), so SQLite need not lock a connection
// at every call, nor count every allocation under a lock: together a tenth
// of a statement's time. Must come before SQLite starts, hence at load.
const bool kLibraryConfigured = [] {
    sqlite3_config(SQLITE_CONFIG_MULTITHREAD);
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    return true;
}();

StatementObserver& statementObserver()
{
    static StatementObserver observer;
    return observer;
}

void observe(const GeneratedSql& g, const QVector<QVariant>& values)
{
    if (statementObserver())
        statementObserver()(g.sql, values);
}

// The digits of a value a double may not carry: a wide decimal, or a whole
// number or number text of more digits than a double keeps. False for
// everything else, which converts as before.
bool digitsPastDouble(const QVariant& v, fn::Decimal& d, const char*& sourceType)
{
    switch (v.typeId()) {
    case QMetaType::LongLong:
        d = fn::Decimal::fromInt(v.toLongLong());
        sourceType = "int";
        break;
    case QMetaType::QByteArray: {
        const QByteArray b = v.toByteArray();
        sourceType = "numeric";
        return fn::decodeNumberKey(b.constData(), int(b.size()), d);
    }
    case QMetaType::QString: {
        const QByteArray u = v.toString().toUtf8();
        const auto* p = reinterpret_cast<const fn::u8*>(u.constData());
        auto parsed = fn::Decimal::fromText(p, p + u.size(), false);
        if (!parsed)
            return false;
        d = std::move(*parsed);
        sourceType = "varchar";
        break;
    }
    default:
        return false;
    }
    return !fn::carriedByDouble(d);
}

QVariant toSqlite(const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return QVariant();
    switch (v.typeId()) {
    case QMetaType::QDateTime:
        return canonicalDateTime(v.toDateTime());
    case QMetaType::QDate:
        return canonicalDateTime(v.toDate().startOfDay());
    case QMetaType::Bool:
        return v.toBool() ? 1 : 0;
    case QMetaType::QString:
        // Only an invalid QVariant means NULL; an empty text stays a text.
        return v.toString().isNull() ? QVariant(QString(QLatin1String(""))) : v;
    default:
        return v;
    }
}

} // namespace

void setStatementObserver(StatementObserver observer)
{
    statementObserver() = std::move(observer);
}

QString findDatabaseFile(const QString& folder, const QString& name)
{
    const QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
    if (name.trimmed().isEmpty() || !dir.exists())
        return QString();
    const QString wanted = name.trimmed() + QStringLiteral(".sqlite");
    const QStringList files = dir.entryList(QDir::Files);
    for (const QString& f : files) {
        if (f.compare(wanted, Qt::CaseInsensitive) == 0)
            return dir.filePath(f);
    }
    return QString();
}

void createDatabase(const QString& folderGiven, const QString& name)
{
    // "sqlite:" with no folder opens databases in the current folder; create there too.
    const QString folder = folderGiven.isEmpty() ? QStringLiteral(".") : folderGiven;
    if (!findDatabaseFile(folder, name).isEmpty())
        throw DbError(QStringLiteral("Database '%1' already exists. Choose a different database name.").arg(name));
    if (!QDir().mkpath(folder))
        throw DbError(QStringLiteral("Cannot create the folder '%1'.").arg(folder));
    const QString path = QDir(folder).filePath(name.trimmed().toUpper() + QStringLiteral(".sqlite"));
    sqlite3* handle = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &handle,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    QString error;
    if (rc == SQLITE_OK) {
        char* msg = nullptr;
        if (sqlite3_exec(handle, "PRAGMA journal_mode=WAL;",
                         nullptr, nullptr, &msg) != SQLITE_OK) {
            error = QString::fromUtf8(msg);
            sqlite3_free(msg);
        }
    } else {
        error = QString::fromUtf8(sqlite3_errstr(rc));
    }
    sqlite3_close(handle);
    if (!error.isEmpty())
        throw DbError(QStringLiteral("CREATE DATABASE failed for '%1': %2").arg(name, error));
}

SqliteEngine::SqliteEngine(const QString& folder, const QString& database, int maxQueryTimeSeconds)
    : database_(database.trimmed()), generator_(*this), session_(std::make_unique<fn::SessionSettings>()), maxQueryTime_(std::chrono::seconds(std::max(0, maxQueryTimeSeconds)))
{
    file_ = findDatabaseFile(folder, database_);
    if (file_.isEmpty())
        throw DbError(cannotOpen(database_));
    connectionName_ = QStringLiteral("qel-embedded-%1").arg(++connectionCounter);
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName_);
    // A company on a read-only share (or owned by another user) is opened
    // read-only; immutable, since the journal files beside it cannot be made.
    const QFileInfo fileInfo(file_);
    readOnly_ = !fileInfo.isWritable() || !QFileInfo(fileInfo.absolutePath()).isWritable();
    if (readOnly_) {
        const bool unsavedJournal = QFileInfo(file_ + QStringLiteral("-wal")).size() > 0;
        db_.setDatabaseName(QUrl::fromLocalFile(fileInfo.absoluteFilePath()).toString(QUrl::FullyEncoded)
                            + (unsavedJournal ? QStringLiteral("?mode=ro") : QStringLiteral("?mode=ro&immutable=1")));
        db_.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_OPEN_READONLY"));
    } else {
        db_.setDatabaseName(file_);
    }
    if (!db_.open()) {
        const QString why = db_.lastError().text();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName_);
        throw DbError(cannotOpen(database_) + QLatin1Char(' ') + why);
    }
    const QVariant handle = db_.driver()->handle();
    sqlite3* h = handle.isValid() ? *static_cast<sqlite3* const*>(handle.constData()) : nullptr;
    if (!h)
        throw DbError(QStringLiteral("The SQLite driver gave no connection handle."));
    handle_ = h;
    transactions_ = std::make_unique<Transactions>(h);
    // A double-quoted name that matches no column must be an error, as in
    // SQL Server, not silently a string.
    sqlite3_db_config(h, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(h, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    // How long, and how visibly, to wait for a database another program has
    // locked is the program's to decide.
    waitForLocks(true);
    // With statistics SQLite may build a Bloom filter of a joined table before
    // the first row, reading the whole table; the program's lists show their
    // first rows while the rest are read, so the filter only delays them.
    constexpr int kBloomFilter = 0x00080000, kBloomPulldown = 0x00100000;  // SQLite's optimisation bits
    sqlite3_test_control(SQLITE_TESTCTRL_OPTIMIZATIONS, h, kBloomFilter | kBloomPulldown);
    registerSqlServerFunctions(h, session_.get());
    registerTrigramMatches(h, &trigramMatches_);
    trigramMatches_.lookingUp = [this](bool looking) { pauseStepBudget(looking); };
    // Setting the session up is bounded like any call.
    startClock();
    sqlite3_progress_handler(h, kProgressTick, &SqliteEngine::onProgress, this);
    QSqlQuery pragma(db_);
    for (const char* p : {"PRAGMA foreign_keys = ON", "PRAGMA synchronous = NORMAL", "PRAGMA cache_size = -32768",
                          "PRAGMA temp_store = MEMORY"})
        pragma.exec(QLatin1String(p));
    ensureCatalog();
    if (!readOnly_) {
        rebuildIndexesForTheCollation();
        syncTrigramIndexes();
        analyzeNewTables();
    }
}

void SqliteEngine::waitForLocks(bool wait)
{
    if (wait)
        sqlite3_busy_handler(
            handle_,
            [](void* name, int attempt) { return waitForLock(*static_cast<const QString*>(name), attempt) ? 1 : 0; },
            &database_);
    else
        sqlite3_busy_handler(handle_, nullptr, nullptr);
}

// SQLite chooses between walking the index of an ORDER BY and sorting the
// whole join first by the row counts ANALYZE leaves behind; without them it
// guesses, and a search with every box empty sorted every price row before
// showing its first. A table that holds rows but has no statistics yet, or
// has grown more than tenfold since, is analyzed when the file is opened,
// sampled so that it takes a fraction of a second at any size; otherwise
// opening costs two look-ups per table. It is skipped, not waited for, while
// another program holds the file.
void SqliteEngine::analyzeNewTables()
{
    QSqlQuery q(db_);
    q.exec(QStringLiteral("SELECT count(*) FROM main.sqlite_master WHERE type = 'table' AND name = 'sqlite_stat1'"));
    const bool anyStatistics = q.next() && q.value(0).toInt() > 0;
    QStringList tables;
    q.exec(QStringLiteral("SELECT name FROM main.sqlite_master WHERE type = 'table' "
                          "AND name NOT LIKE 'sqlite!_%' ESCAPE '!' AND name NOT LIKE 'qel!_%' ESCAPE '!' "
                          "AND sql NOT LIKE 'CREATE VIRTUAL%'"));
    while (q.next())
        tables.append(q.value(0).toString());
    QByteArray analyze;
    for (const QString& table : tables) {
        // Rows counted when last analyzed; the highest row id tells cheaply
        // whether the table has grown far beyond that since.
        qint64 counted = -1;
        if (anyStatistics) {
            q.prepare(QStringLiteral("SELECT max(CAST(stat AS INTEGER)) FROM main.sqlite_stat1 WHERE tbl = ?"));
            q.addBindValue(table);
            if (q.exec() && q.next() && !q.value(0).isNull())
                counted = q.value(0).toLongLong();
        }
        const bool grown = counted < 0 ? q.exec(QStringLiteral("SELECT 1 FROM main.%1 LIMIT 1").arg(quoteIdent(table))) && q.next()
                                       : q.exec(QStringLiteral("SELECT max(rowid) FROM main.%1").arg(quoteIdent(table)))
                                             && q.next() && q.value(0).toLongLong() > 10 * counted + 1000;
        if (grown)
            analyze += QStringLiteral("ANALYZE main.%1;").arg(quoteIdent(table)).toUtf8();
    }
    q.finish();
    if (analyze.isEmpty())
        return;
    waitForLocks(false);
    if (sqlite3_exec(handle_, ("PRAGMA analysis_limit = 1000; BEGIN IMMEDIATE; " + analyze + " COMMIT;").constData(),
                     nullptr, nullptr, nullptr) != SQLITE_OK && !sqlite3_get_autocommit(handle_))
        sqlite3_exec(handle_, "ROLLBACK", nullptr, nullptr, nullptr);
    waitForLocks(true);
}

void SqliteEngine::syncTrigramIndexes()
{
    if (readOnly_)
        return;
    TrigramIndexes indexes(db_);
    indexes.ensureCatalog();
    if (indexes.sync())
        schemaChanged();
    trigramIndexes_.reset();
}

QStringList SqliteEngine::explain(const QString& sql, const ParamValues& params)
{
    const auto batch = parse(sql);
    QStringList out;
    for (const StmtPtr& s : batch->statements) {
        if (s->kind != Stmt::SelectStmt)
            continue;
        const GeneratedSql g = generator_.statement(*s);
        QStringList names;
        for (const BindSlot& b : g.binds)
            names.append(b.name);
        // A cursor reads the first-rows shape, then the whole one.
        for (const QString& shape : g.firstRowsSql.isEmpty() ? QStringList{g.sql}
                                                             : QStringList{g.sql, g.firstRowsSql, g.wholeSql}) {
            out.append(shape);
            if (!names.isEmpty())
                out.append(QStringLiteral("-- ? in order: ") + names.join(QStringLiteral(", ")));
            QSqlQuery q(db_);
            if (!q.prepare(QStringLiteral("EXPLAIN QUERY PLAN ") + shape))
                throw DbError(translateError(q.lastError().databaseText(), s.get()));
            for (int i = 0; i < int(g.binds.size()); ++i)
                q.bindValue(i, toSqlite(params.value(g.binds[size_t(i)].name)));
            if (!q.exec())
                throw DbError(translateError(q.lastError().databaseText(), s.get()));
            QHash<int, int> depth;
            while (q.next()) {
                const int level = depth.value(q.value(1).toInt(), -1) + 1;
                depth.insert(q.value(0).toInt(), level);
                out.append(QString(2 * (level + 1), QLatin1Char(' ')) + q.value(3).toString());
            }
        }
    }
    return out;
}

void SqliteEngine::setOptimizations(const Optimizations& o)
{
    generator_.setOptimizations(o);
    schemaChanged();
}

void SqliteEngine::rebuildIndexesForTheCollation()
{
    // A file made under another order of text (an older engine, other ICU
    // data) has its indexes sorted by that order; lookups through them would
    // miss rows. They are rebuilt once; the rows themselves are untouched.
    const QString version = collationVersion();
    QSqlQuery q(db_);
    if (!q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS qel_collation (version TEXT NOT NULL)")))
        return;  // a read-only file: nothing can be rebuilt, nor was anything written
    if (q.exec(QStringLiteral("SELECT version FROM qel_collation")) && q.next() && q.value(0).toString() == version)
        return;
    q.finish();
    if (!q.exec(QStringLiteral("REINDEX MSSQL"))) {
        // A file opened read-only is left as it is: it can be read, not mended.
        if (q.lastError().databaseText().contains(QLatin1String("readonly")))
            return;
        throw DbError(QStringLiteral("The indexes of database '%1' could not be rebuilt for the order of text: %2")
                          .arg(database_, q.lastError().databaseText()));
    }
    q.exec(QStringLiteral("DELETE FROM qel_collation"));
    q.prepare(QStringLiteral("INSERT INTO qel_collation (version) VALUES (?)"));
    q.addBindValue(version);
    q.exec();
}

namespace {

// SQL Server's catalog, computed from SQLite's own on every read so that it
// always shows the database as it is now. Tables of the engine itself
// (qel_*) stay out of sight.
const char* const kCatalogViews[] = {
    R"(CREATE TEMP VIEW IF NOT EXISTS sysobjects AS
SELECT m.rowid AS id, m.name COLLATE MSSQL AS name,
  (CASE m.type WHEN 'table' THEN 'U' ELSE 'V' END) COLLATE MSSQL AS xtype,
  (CASE m.type WHEN 'table' THEN 'U' ELSE 'V' END) COLLATE MSSQL AS type, 1 AS uid, 0 AS parent_obj,
  (CASE m.type WHEN 'table' THEN 3 ELSE 2 END) AS sysstat, 0 AS status, 0 AS category, 0 AS info,
  0 AS base_schema_ver, 0 AS schema_ver, 0 AS replinfo, 0 AS deltrig, 0 AS instrig, 0 AS updtrig, 0 AS seltrig
FROM main.sqlite_master m
WHERE m.type IN ('table', 'view') AND m.name NOT LIKE 'sqlite!_%' ESCAPE '!' AND m.name NOT LIKE 'qel!_%' ESCAPE '!'
UNION ALL
SELECT 1000000000 + p.rowid, p.name, 'P', 'P', 1, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 FROM main.qel_procedures p)",
    // %2: every column of every table and view, with its declared type.
    R"(CREATE TEMP VIEW IF NOT EXISTS qel_columns AS
SELECT object_id, table_name, object_type, colid, name,
  upper(type) AS declared, upper(trim(substr(type, 1, instr(type || '(', '(') - 1))) AS base,
  (CASE WHEN instr(type, '(') > 0 THEN CAST(substr(type, instr(type, '(') + 1) AS INTEGER) END) AS arg1,
  (CASE WHEN instr(type, ',') > 0 THEN CAST(substr(type, instr(type, ',') + 1) AS INTEGER) END) AS arg2,
  not_null, dflt
FROM (%2))",
    R"(CREATE TEMP VIEW IF NOT EXISTS syscolumns AS
SELECT object_id AS id, name COLLATE MSSQL AS name, colid,
  (CASE base WHEN 'INT' THEN 56 WHEN 'INTEGER' THEN 56 WHEN 'SMALLINT' THEN 52 WHEN 'TINYINT' THEN 48
    WHEN 'BIGINT' THEN 127 WHEN 'BIT' THEN 104 WHEN 'DECIMAL' THEN 106 WHEN 'NUMERIC' THEN 108 WHEN 'MONEY' THEN 60 WHEN 'SMALLMONEY' THEN 122
    WHEN 'FLOAT' THEN 62 WHEN 'REAL' THEN 59 WHEN 'CHAR' THEN 175 WHEN 'VARCHAR' THEN 167 WHEN 'NCHAR' THEN 239
    WHEN 'NVARCHAR' THEN 231 WHEN 'TEXT' THEN 35 WHEN 'NTEXT' THEN 99 WHEN 'DATETIME' THEN 61
    WHEN 'SMALLDATETIME' THEN 58 WHEN 'IMAGE' THEN 34 WHEN 'VARBINARY' THEN 165 ELSE 0 END) AS xtype,
  (CASE WHEN base IN ('CHAR', 'VARCHAR') THEN coalesce(arg1, 1) WHEN base IN ('NCHAR', 'NVARCHAR') THEN 2 * coalesce(arg1, 1)
    WHEN base IN ('INT', 'INTEGER', 'REAL', 'SMALLDATETIME', 'SMALLMONEY') THEN 4 WHEN base IN ('BIGINT', 'FLOAT', 'DATETIME', 'MONEY') THEN 8
    WHEN base = 'SMALLINT' THEN 2 WHEN base IN ('TINYINT', 'BIT') THEN 1 WHEN base IN ('DECIMAL', 'NUMERIC') THEN 9
    ELSE 16 END) AS length,
  (CASE WHEN base IN ('DECIMAL', 'NUMERIC') THEN coalesce(arg1, 18) WHEN base IN ('INT', 'INTEGER') THEN 10
    WHEN base = 'BIGINT' THEN 19 WHEN base = 'SMALLINT' THEN 5 WHEN base = 'TINYINT' THEN 3 WHEN base = 'MONEY' THEN 19
    WHEN base = 'SMALLMONEY' THEN 10 END) AS prec,
  (CASE WHEN base IN ('DECIMAL', 'NUMERIC') THEN coalesce(arg2, 0) WHEN base IN ('MONEY', 'SMALLMONEY') THEN 4
    WHEN base IN ('INT', 'INTEGER', 'BIGINT', 'SMALLINT', 'TINYINT') THEN 0 END) AS scale,
  (CASE not_null WHEN 1 THEN 0 ELSE 1 END) AS isnullable
FROM temp.qel_columns)",
    R"(CREATE TEMP VIEW IF NOT EXISTS "INFORMATION_SCHEMA.TABLES" AS
SELECT '%1' AS TABLE_CATALOG, 'dbo' AS TABLE_SCHEMA, m.name COLLATE MSSQL AS TABLE_NAME,
  (CASE m.type WHEN 'table' THEN 'BASE TABLE' ELSE 'VIEW' END) AS TABLE_TYPE
FROM main.sqlite_master m
WHERE m.type IN ('table', 'view') AND m.name NOT LIKE 'sqlite!_%' ESCAPE '!' AND m.name NOT LIKE 'qel!_%' ESCAPE '!')",
    R"(CREATE TEMP VIEW IF NOT EXISTS "INFORMATION_SCHEMA.COLUMNS" AS
SELECT '%1' AS TABLE_CATALOG, 'dbo' AS TABLE_SCHEMA, table_name COLLATE MSSQL AS TABLE_NAME,
  name COLLATE MSSQL AS COLUMN_NAME, colid AS ORDINAL_POSITION, dflt AS COLUMN_DEFAULT,
  (CASE not_null WHEN 1 THEN 'NO' ELSE 'YES' END) AS IS_NULLABLE, lower(base) AS DATA_TYPE,
  (CASE WHEN base IN ('CHAR', 'VARCHAR', 'NCHAR', 'NVARCHAR') THEN coalesce(arg1, 1) END) AS CHARACTER_MAXIMUM_LENGTH,
  (CASE WHEN base IN ('DECIMAL', 'NUMERIC') THEN coalesce(arg1, 18) WHEN base IN ('INT', 'INTEGER') THEN 10
    WHEN base = 'BIGINT' THEN 19 WHEN base = 'SMALLINT' THEN 5 WHEN base = 'TINYINT' THEN 3 WHEN base = 'MONEY' THEN 19
    WHEN base = 'SMALLMONEY' THEN 10 END) AS NUMERIC_PRECISION,
  (CASE WHEN base IN ('DECIMAL', 'NUMERIC') THEN coalesce(arg2, 0) WHEN base IN ('MONEY', 'SMALLMONEY') THEN 4
    WHEN base IN ('INT', 'INTEGER', 'BIGINT', 'SMALLINT', 'TINYINT') THEN 0 END) AS NUMERIC_SCALE
FROM temp.qel_columns)",
};

} // namespace

void SqliteEngine::loadNoCheck()
{
    // Constraints switched off stay off, as SQL Server keeps them, until
    // CHECK CONSTRAINT switches them on again.
    noCheck_.clear();
    QSqlQuery q(db_);
    if (q.exec(QStringLiteral("SELECT tbl, name FROM qel_nocheck"))) {
        while (q.next())
            noCheck_[q.value(0).toString().toUpper()].insert(q.value(1).toString().toUpper());
    }
}

void SqliteEngine::ensureCatalog()
{
    QSqlQuery q(db_);
    // A read-only file is read as it is: it has these tables if it was ever
    // opened for writing.
    if (!readOnly_) {
        q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS qel_types (name TEXT PRIMARY KEY COLLATE NOCASE, "
                              "base TEXT NOT NULL)"));
        q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS qel_procedures (name TEXT PRIMARY KEY COLLATE NOCASE, "
                              "definition TEXT NOT NULL)"));
        q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS qel_nocheck (tbl TEXT NOT NULL COLLATE NOCASE, "
                              "name TEXT NOT NULL COLLATE NOCASE, PRIMARY KEY (tbl, name))"));
        ViewColumns(db_).ensureCatalog();
    }
    loadNoCheck();
    QString name = database_;
    name.replace(QLatin1Char('\''), QLatin1String("''"));
    // A view's columns come from what was kept when it was made, types as
    // SQL Server gives them and places, so that a view whose table has been
    // dropped since does not stop every read of the catalog. SQLite is asked
    // for tables, for views made before places were kept (their types kept
    // where known) and in a file that never had the table (read-only).
    const QString visible = QStringLiteral(
        "m.name NOT LIKE 'sqlite!_%' ESCAPE '!' AND m.name NOT LIKE 'qel!_%' ESCAPE '!'");
    const QString asked = QStringLiteral(
        "SELECT m.rowid AS object_id, m.name AS table_name, m.type AS object_type, c.cid + 1 AS colid, c.name AS name, "
        "%1 AS type, c.\"notnull\" AS not_null, c.dflt_value AS dflt "
        "FROM main.sqlite_master m JOIN pragma_table_info(m.name) c WHERE m.type IN ('table', 'view') AND %2");
    const bool viewsKept = q.exec(QStringLiteral("SELECT 1 FROM pragma_table_info('qel_view_columns') WHERE name = "
                                                 "'position'"))
        && q.next();
    const QString columns = !viewsKept
        ? asked.arg(QStringLiteral("c.type"), visible)
        : asked.arg(QStringLiteral("coalesce((SELECT v.type FROM main.qel_view_columns v WHERE m.type = 'view' "
                                   "AND v.view_name = m.name AND v.column_name = c.name), c.type)"),
                    visible + QStringLiteral(" AND (m.type = 'table' OR NOT EXISTS (SELECT 1 FROM main.qel_view_columns v "
                                             "WHERE v.view_name = m.name AND v.position IS NOT NULL))"))
            + QStringLiteral(" UNION ALL SELECT m.rowid, m.name, m.type, v.position, v.column_name, v.type, 0, NULL "
                             "FROM main.sqlite_master m JOIN main.qel_view_columns v ON v.view_name = m.name "
                             "AND v.position IS NOT NULL WHERE m.type = 'view' AND ")
            + visible;
    for (const char* view : kCatalogViews) {
        if (!q.exec(QString::fromUtf8(view).replace(QLatin1String("%1"), name).replace(QLatin1String("%2"), columns)))
            throw DbError(QStringLiteral("The catalog of the embedded engine could not be set up: ")
                          + q.lastError().databaseText());
    }
}

SqliteEngine::~SqliteEngine()
{
    // Queries may outlive the session: they keep the rows read so far.
    for (SqliteCursor* cursor : QSet<SqliteCursor*>(cursors_))
        cursor->detach();
    finalizeIdleStatements();
    qDeleteAll(prepared_);
    prepared_.clear();
    // A transaction the session left open is undone, as when a connection to SQL Server closes.
    if (transactions_ && transactions_->count() > 0) {
        try {
            transactions_->rollback();
        } catch (const DbError&) {
        }
    }
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connectionName_);
}

std::shared_ptr<const Batch> SqliteEngine::parse(const QString& sql)
{
    auto it = parsed_.constFind(sql);
    if (it != parsed_.constEnd())
        return it.value();
    if (parsed_.size() >= kMaxCachedBatches) {
        parsed_.clear();
        generatedCache_.clear();
        qDeleteAll(prepared_);
        prepared_.clear();
    }
    std::shared_ptr<const Batch> batch;
    try {
        batch = std::make_shared<const Batch>(parseBatch(sql));
    } catch (const DbError& e) {
        lastError_ = errorNumber(e.message()).number;
        throw;
    }
    parsed_.insert(sql, batch);
    return batch;
}

const GeneratedSql& SqliteEngine::generated(const void* key, int role, const std::function<GeneratedSql()>& make)
{
    const auto k = qMakePair(key, role);
    auto it = generatedCache_.find(k);
    if (it == generatedCache_.end())
        it = generatedCache_.insert(k, make());
    return it.value();
}

// The order in which text is read as a date for the rest of the session:
// mdy, ymd and myd read 'nn/nn/yyyy' month first, dmy, dym and ydm day first.
void SqliteEngine::setDateFormat(const QString& format)
{
    const std::optional<DateOrder> order = dateOrderNamed(format);
    if (!order)
        throw DbError(QStringLiteral("SET DATEFORMAT date order '%1' is invalid.").arg(format.trimmed()));
    if (*order == session_->dateOrder)
        return;
    session_->dateOrder = *order;
    // Date literals beside date columns are read when a statement is made.
    generator_.setDateOrder(*order);
    generatedCache_.clear();
}

void SqliteEngine::schemaChanged()
{
    // Generated SQL depends on column types; it is made again on next use.
    generatedCache_.clear();
    tables_.clear();
    trigramIndexes_.reset();
    userTypes_.clear();
    qDeleteAll(prepared_);
    prepared_.clear();
    finalizeIdleStatements();
}

sqlite3_stmt* SqliteEngine::takeStatement(const QString& sql, const Stmt* stmt)
{
    if (sqlite3_stmt* idle = idleStatements_.take(sql))
        return idle;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare16_v3(handle_, sql.utf16(), int(sql.size() * sizeof(QChar)), SQLITE_PREPARE_PERSISTENT,
                             &statement, nullptr)
        != SQLITE_OK) {
        const QString message = translateError(QString::fromUtf8(sqlite3_errmsg(handle_)), stmt);
        sqlite3_finalize(statement);
        throw DbError(message);
    }
    return statement;
}

void SqliteEngine::returnStatement(const QString& sql, sqlite3_stmt* statement)
{
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    if (idleStatements_.contains(sql) || idleStatements_.size() >= kMaxCachedBatches)
        sqlite3_finalize(statement);
    else
        idleStatements_.insert(sql, statement);
}

void SqliteEngine::finalizeIdleStatements()
{
    for (sqlite3_stmt* statement : std::as_const(idleStatements_))
        sqlite3_finalize(statement);
    idleStatements_.clear();
}

QString SqliteEngine::stepError(sqlite3_stmt* statement, const Stmt* stmt)
{
    Q_UNUSED(statement);
    // A row that fails while the result is read (a conversion, a divide by
    // zero) fails its SELECT as a first row would: @@ERROR keeps it.
    const QString message = translateError(QString::fromUtf8(sqlite3_errmsg(handle_)), stmt);
    lastError_ = errorNumber(message).number;
    return message;
}

void SqliteEngine::parkCursors(SqliteCursor* reading)
{
    for (SqliteCursor* cursor : std::as_const(cursors_)) {
        if (cursor != reading)
            cursor->park();
    }
}

void SqliteEngine::beforeCursorFetch(SqliteCursor* cursor)
{
    startClock();
    parkCursors(cursor);
}

std::unique_ptr<RowCursor> SqliteEngine::openCursor(const QString& sql, const ParamValues& params)
{
    parkCursors();
    startClock();
    const std::shared_ptr<const Batch> batch = parse(sql);
    const Stmt* s = batch->statements.size() == 1 ? batch->statements.front().get() : nullptr;
    const bool plainSelect = s && s->kind == Stmt::SelectStmt && rowcount_ == 0 && s->select->cores.size() >= 1
        && (s->select->cores.front().items.empty() || s->select->cores.front().items.front().assignVariable.isEmpty());
    if (!plainSelect)
        return Engine::openCursor(sql, params);
    try {
        const GeneratedSql& g = generated(s, 0, [&] { return generator_.statement(*s); });
        for (const BindSlot& b : g.binds) {
            if (b.kind != BindSlot::Param)
                return Engine::openCursor(sql, params);
        }
        QVector<QVariant> values(int(g.binds.size()));
        for (int i = 0; i < int(g.binds.size()); ++i)
            values[i] = toSqlite(params.value(g.binds[size_t(i)].name));
        // The first-rows shape where SQLite takes it (a view has no rowid),
        // else the plain statement.
        QString sqlText = g.sql;
        sqlite3_stmt* statement = nullptr;
        SqliteCursor::WholeShape whole;
        if (!g.firstRowsSql.isEmpty()) {
            try {
                statement = takeStatement(g.firstRowsSql, s);
                returnStatement(g.wholeSql, takeStatement(g.wholeSql, s));
                sqlText = g.firstRowsSql;
                whole = {g.wholeSql, values};
            } catch (const DbError&) {
                if (statement)
                    returnStatement(g.firstRowsSql, statement);
                statement = nullptr;
            }
        }
        if (!statement)
            statement = takeStatement(g.sql, s);
        for (int i = 0; i < values.size(); ++i)
            bindValue(statement, i, values[i]);
        observe(g, values);
        if (lcSql().isDebugEnabled())
            qCDebug(lcSql).noquote() << sqlText;
        lastError_ = 0;
        return std::make_unique<SqliteCursor>(*this, statement, sqlText, batch, std::move(whole));
    } catch (const DbError&) {
        // The batch runs again the ordinary way, which words the error as
        // it words any other.
        return Engine::openCursor(sql, params);
    }
}

namespace {

// What SQL Server's client reports when a statement outlives its time-out.
const char kQueryTimeout[] = "Query timeout expired";

// This thread's processor time: a budget that others' load does not spend.
std::chrono::nanoseconds threadTime()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return std::chrono::seconds(ts.tv_sec) + std::chrono::nanoseconds(ts.tv_nsec);
}

} // namespace

void SqliteEngine::startClock()
{
    timedOut_ = false;
    deadline_ = std::chrono::steady_clock::now() + maxQueryTime_;
}

bool SqliteEngine::pastDeadline()
{
    if (maxQueryTime_.count() > 0 && std::chrono::steady_clock::now() >= deadline_)
        timedOut_ = true;
    return timedOut_;
}

void SqliteEngine::checkDeadline()
{
    if (pastDeadline())
        throw DbError(QLatin1String(kQueryTimeout));
}

int SqliteEngine::onProgress(void* engine)
{
    // Non-zero makes SQLite abandon the statement with SQLITE_INTERRUPT.
    auto* e = static_cast<SqliteEngine*>(engine);
    if (e->stepBudgetEnd_
        && (threadTime() >= *e->stepBudgetEnd_ || e->trigramMatches_.fruitless() >= kFruitlessCandidates)) {
        e->stepBudgetEnd_.reset();
        e->stepBudgetSpent_ = true;
        return 1;
    }
    return e->pastDeadline() ? 1 : 0;
}

void SqliteEngine::pauseStepBudget(bool pause)
{
    if (pause && stepBudgetEnd_) {
        budgetLeft_ = *stepBudgetEnd_ - threadTime();
        stepBudgetEnd_.reset();
    } else if (!pause && budgetLeft_) {
        stepBudgetEnd_ = threadTime() + *budgetLeft_;
        budgetLeft_.reset();
    }
}

void SqliteEngine::beginStepBudget()
{
    stepBudgetEnd_ = threadTime() + firstRowsBudget_;
    stepBudgetSpent_ = false;
    trigramMatches_.rowFound();
}

ResultSet SqliteEngine::execute(const QString& sql, const ParamValues& params)
{
    parkCursors();
    startClock();
    const std::shared_ptr<const Batch> batch = parse(sql);
    for (size_t i = 1; i < batch->statements.size(); ++i) {
        if (batch->statements[i]->kind == Stmt::CreateProcedure)
            throw DbError(QStringLiteral("'CREATE/ALTER PROCEDURE' must be the first statement in a query batch."));
    }
    Frame frame;
    frame.params = &params;
    frame.batch = batch.get();
    const auto endTables = qScopeGuard([&] { tableVariables_.end(callDepth_); });
    return runBatch(batch->statements, frame);
}

void SqliteEngine::callProcedure(const QString& name, std::vector<ProcParam>& params)
{
    parkCursors();
    startClock();
    const Procedure proc = procedure(name);
    const auto& defs = proc.definition->procParams;
    QVector<QVariant> args(int(defs.size()));
    QVector<bool> supplied(int(defs.size()), false);
    for (const ProcParam& p : params) {
        if (p.direction == ParamDirection::Result)
            continue;
        int index = -1;
        for (int i = 0; i < int(defs.size()); ++i) {
            if (defs[size_t(i)].name.compare(p.name, Qt::CaseInsensitive) == 0)
                index = i;
        }
        if (index < 0)
            throw DbError(QStringLiteral("%1 is not a parameter for procedure %2.").arg(p.name, name));
        args[index] = toSqlite(p.value);
        supplied[index] = true;
    }
    ResultSet ignored;
    CallResult r;
    runAsBatch([&] { r = callProcedure(proc, args, supplied, ignored); });
    for (ProcParam& p : params) {
        if (p.direction == ParamDirection::Result) {
            p.value = r.returnValue;
            continue;
        }
        if (p.direction == ParamDirection::Input)
            continue;
        for (int i = 0; i < int(defs.size()); ++i) {
            if (defs[size_t(i)].name.compare(p.name, Qt::CaseInsensitive) == 0)
                p.value = handedOut(r.values[i]);
        }
    }
}

SqliteEngine::Procedure SqliteEngine::procedure(const QString& name)
{
    const QString key = name.toUpper();
    auto it = procedures_.constFind(key);
    if (it != procedures_.constEnd())
        return it.value();
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("SELECT definition FROM qel_procedures WHERE name = ?"));
    q.addBindValue(name);
    if (!q.exec() || !q.next())
        throw DbError(QStringLiteral("Could not find stored procedure '%1'.").arg(name));
    Procedure proc;
    proc.batch = std::make_shared<const Batch>(parseBatch(q.value(0).toString()));
    if (proc.batch->statements.empty() || proc.batch->statements.front()->kind != Stmt::CreateProcedure)
        throw DbError(QStringLiteral("The definition of stored procedure '%1' is damaged.").arg(name));
    proc.definition = proc.batch->statements.front().get();
    procedures_.insert(key, proc);
    return proc;
}

SqliteEngine::CallResult SqliteEngine::callProcedure(const Procedure& proc, const QVector<QVariant>& args,
                                                     const QVector<bool>& supplied, ResultSet& result)
{
    const Stmt& def = *proc.definition;
    if (callDepth_ >= 32)
        throw DbError(QStringLiteral("Maximum stored procedure, function, trigger, or view nesting level exceeded "
                                     "(limit 32)."));
    Frame callee;
    callee.batch = proc.batch.get();
    callee.procedure = def.table;
    for (int i = 0; i < int(def.procParams.size()); ++i) {
        const auto& p = def.procParams[size_t(i)];
        Variable v;
        v.type = generator_.resolveType(p.type);
        if (supplied.value(i)) {
            v.value = assignable(v, args.value(i));
        } else if (p.defaultValue) {
            v.value = assignable(v, evaluate(*p.defaultValue, &p, 3, callee));
        } else {
            throw DbError(QStringLiteral("Procedure or function '%1' expects parameter '%2', which was not supplied.")
                              .arg(def.table, p.name));
        }
        callee.variables.insert(p.name.toUpper(), v);
    }
    // SET ROWCOUNT and SET XACT_ABORT inside a procedure last until the procedure ends.
    const qint64 rowcount = rowcount_;
    const bool xactAbort = xactAbort_;
    ++callDepth_;
    const auto restore = qScopeGuard([&] {
        tableVariables_.end(callDepth_);
        --callDepth_;
        rowcount_ = rowcount;
        xactAbort_ = xactAbort;
    });
    tableVariables_.enterCall(callDepth_);
    runList(def.body, callee, result);
    CallResult r;
    for (const auto& p : def.procParams)
        r.values.append(callee.variables.value(p.name.toUpper()).value);
    r.returnValue = callee.returnValue.isValid() && !callee.returnValue.isNull()
        ? QVariant(variantToInteger(callee.returnValue))
        : QVariant(0);
    return r;
}

QVariant SqliteEngine::execArgument(const Stmt::ExecArg& arg, Frame& frame)
{
    const Expr& e = *arg.value;
    // A bare word passed to a procedure is a text, as in "EXEC sp_addtype IdNo, int".
    if (e.kind == Expr::Column && e.qualifier.isEmpty())
        return e.text;
    return evaluate(e, &arg, 4, frame);
}

SqliteEngine::Flow SqliteEngine::runExec(const Stmt& s, Frame& frame, ResultSet& result)
{
    const QString upper = s.table.toUpper();
    if (upper == QLatin1String("SP_ADDTYPE")) {
        if (s.execArgs.size() < 2)
            throw DbError(QStringLiteral("Procedure or function 'sp_addtype' expects parameter '@phystype', which was "
                                         "not supplied."));
        const QString name = execArgument(s.execArgs[0], frame).toString();
        const TypeName base = generator_.resolveType(parseTypeName(execArgument(s.execArgs[1], frame).toString()));
        addUserType(name, base);
        return Flow::Normal;
    }
    const Procedure proc = procedure(s.table);
    const auto& defs = proc.definition->procParams;
    QVector<QVariant> args(int(defs.size()));
    QVector<bool> supplied(int(defs.size()), false);
    QVector<int> argIndex(int(s.execArgs.size()), -1);
    bool named = false;
    for (int a = 0; a < int(s.execArgs.size()); ++a) {
        const auto& arg = s.execArgs[size_t(a)];
        int index = a;
        if (!arg.name.isEmpty()) {
            named = true;
            index = -1;
            for (int i = 0; i < int(defs.size()); ++i) {
                if (defs[size_t(i)].name.compare(arg.name, Qt::CaseInsensitive) == 0)
                    index = i;
            }
            if (index < 0)
                throw DbError(QStringLiteral("%1 is not a parameter for procedure %2.").arg(arg.name, s.table));
        } else if (named) {
            throw DbError(QStringLiteral("Must pass parameter number %1 and subsequent parameters as '@name = value'. "
                                         "After the form '@name = value' has been used, all subsequent parameters "
                                         "must be passed in the form '@name = value'.")
                              .arg(a + 1));
        }
        if (index >= int(defs.size()))
            throw DbError(QStringLiteral("Procedure or function %1 has too many arguments specified.").arg(s.table));
        argIndex[a] = index;
        if (arg.isDefault)
            continue;
        if (arg.output && !defs[size_t(index)].output)
            throw DbError(QStringLiteral("The formal parameter \"%1\" was not declared as an OUTPUT parameter, but "
                                         "the actual parameter passed in requested output.")
                              .arg(defs[size_t(index)].name));
        args[index] = execArgument(arg, frame);
        supplied[index] = true;
    }
    const int trancount = transactions_->count();
    const CallResult r = callProcedure(proc, args, supplied, result);
    for (int a = 0; a < int(s.execArgs.size()); ++a) {
        const auto& arg = s.execArgs[size_t(a)];
        if (!arg.output || !arg.value || arg.value->kind != Expr::Variable)
            continue;
        auto it = frame.variables.find(arg.value->text.toUpper());
        if (it == frame.variables.end())
            throw DbError(QStringLiteral("Must declare the scalar variable \"%1\".").arg(arg.value->text));
        it->value = assignable(*it, r.values[argIndex[a]]);
    }
    if (!s.returnVariable.isEmpty()) {
        auto it = frame.variables.find(s.returnVariable.toUpper());
        if (it == frame.variables.end())
            throw DbError(QStringLiteral("Must declare the scalar variable \"%1\".").arg(s.returnVariable));
        it->value = assignable(*it, r.returnValue);
    }
    // A procedure is to leave the transactions as it found them; the rows
    // stay as it left them, only the EXEC statement fails.
    if (transactions_->count() != trancount)
        throw DbError(QStringLiteral("Transaction count after EXECUTE indicates a mismatching number of BEGIN and "
                                     "COMMIT statements. Previous count = %1, current count = %2.")
                          .arg(trancount)
                          .arg(transactions_->count()));
    return Flow::Normal;
}

bool SqliteEngine::objectExists(const QString& name)
{
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("SELECT 1 FROM sysobjects WHERE name = ?"));
    q.addBindValue(name);
    return q.exec() && q.next();
}

void SqliteEngine::runCreateProcedure(const Stmt& s)
{
    const bool exists = objectExists(s.table);
    if (s.alter && !exists)
        throw DbError(QStringLiteral("Cannot alter '%1' because it does not exist.").arg(s.table));
    if (!s.alter && exists)
        throw DbError(QStringLiteral("There is already an object named '%1' in the database.").arg(s.table));
    QSqlQuery q(db_);
    q.prepare(s.alter ? QStringLiteral("UPDATE qel_procedures SET definition = ? WHERE name = ?")
                      : QStringLiteral("INSERT INTO qel_procedures (definition, name) VALUES (?, ?)"));
    q.addBindValue(s.procBodyText);
    q.addBindValue(s.table);
    if (!q.exec())
        throw DbError(translateError(q.lastError().databaseText(), &s));
    procedures_.remove(s.table.toUpper());
}

void SqliteEngine::runDropProcedure(const Stmt& s)
{
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("DELETE FROM qel_procedures WHERE name = ?"));
    q.addBindValue(s.table);
    if (!q.exec())
        throw DbError(translateError(q.lastError().databaseText(), &s));
    procedures_.remove(s.table.toUpper());
    if (q.numRowsAffected() == 0 && !s.ifExists)
        throw DbError(QStringLiteral("Cannot drop the procedure '%1', because it does not exist or you do not have "
                                     "permission.")
                          .arg(s.table));
}

void SqliteEngine::addUserType(const QString& name, const TypeName& base)
{
    if (!userType(name).name.isEmpty())
        throw DbError(QStringLiteral("The type '%1' already exists, or you do not have permission to create it.").arg(name));
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("INSERT INTO qel_types (name, base) VALUES (?, ?)"));
    q.addBindValue(name);
    q.addBindValue(base.text());
    if (!q.exec())
        throw DbError(q.lastError().databaseText());
    schemaChanged();
}

namespace {

// A row still pointed at by a row of `child`, in SQL Server's words (2005
// and later).
QString referenceMessage(const QString& verb, const QString& key, const QString& database, const QString& child,
                         const QString& column)
{
    return QStringLiteral("The %1 statement conflicted with the REFERENCE constraint \"%2\". The conflict occurred "
                          "in database \"%3\", table \"dbo.%4\", column '%5'.")
        .arg(verb, key, database, child, column);
}

// A row pointing at no row of the referenced table, in SQL Server's words
// (2005 and later).
QString foreignKeyMessage(const QString& verb, const QString& key, const QString& database, const QString& table,
                          const QString& column)
{
    return QStringLiteral("The %1 statement conflicted with the FOREIGN KEY constraint \"%2\". The conflict occurred "
                          "in database \"%3\", table \"dbo.%4\", column '%5'.")
        .arg(verb, key, database, table, column);
}

} // namespace

ResultSet SqliteEngine::runBatch(const std::vector<StmtPtr>& list, Frame& frame)
{
    ResultSet result;
    runAsBatch([&] { runList(list, frame, result); });
    return result;
}

SqliteEngine::Flow SqliteEngine::runList(const std::vector<StmtPtr>& list, Frame& frame, ResultSet& result)
{
    for (const StmtPtr& s : list) {
        Flow f = Flow::Normal;
        try {
            f = run(*s, frame, result);
            lastError_ = 0;
        } catch (const DbError& e) {
            // The client's time-out is no error of the statement's: no CATCH sees it.
            if (e.message() == QLatin1String(kQueryTimeout))
                throw;
            const RaisedError error = raised(e, *s, frame);
            // @@ERROR belongs to the session: an error that ends the batch
            // is still there for the next one to read.
            lastError_ = error.details().number;
            if (tryDepth_ > 0)
                throw error;
            const bool xactAbort = xactAbort_ && !error.details().fromRaiserror;
            if ((xactAbort || error.details().abortsTransaction) && transactions_->count() > 0)
                rollbackAll();
            if (error.details().endsOnlyTheStatement && !xactAbort) {
                statementErrors_.append(error.message());
                continue;
            }
            throw error;
        }
        if (f != Flow::Normal)
            return f;
    }
    return Flow::Normal;
}

QVariant SqliteEngine::evaluate(const Expr& e, const void* key, int role, Frame& frame)
{
    // Plain values need no trip through SQLite.
    switch (e.kind) {
    case Expr::Null:
        return QVariant();
    case Expr::String:
        return e.text;
    case Expr::Param:
        return frame.params ? toSqlite(frame.params->value(e.text)) : QVariant();
    case Expr::Variable: {
        auto it = frame.variables.constFind(e.text.toUpper());
        if (it == frame.variables.constEnd())
            throw DbError(QStringLiteral("Must declare the scalar variable \"%1\".").arg(e.text));
        // A wide value read by the engine itself is read as its exact text.
        return it->value.typeId() == QMetaType::QByteArray && isNumberType(it->type) ? handedOut(it->value)
                                                                                   : it->value;
    }
    default:
        break;
    }
    const GeneratedSql& g = generated(key, role, [&] { return generator_.selectValue(e); });
    ResultSet r = runSql(g, frame, nullptr);
    return r.rows.empty() ? QVariant() : r.rows.front().value(0);
}

bool SqliteEngine::test(const Expr& condition, const void* key, Frame& frame)
{
    const GeneratedSql& g = generated(key, 1, [&] { return generator_.selectCondition(condition); });
    ResultSet r = runSql(g, frame, nullptr);
    return !r.rows.empty() && r.rows.front().value(0).toInt() == 1;
}

QVariant SqliteEngine::assignable(const Variable& target, const QVariant& given) const
{
    // A wide decimal is its digits to a variable of any type.
    const QVariant value = handedOut(given);
    if (!value.isValid() || value.isNull())
        return QVariant();
    const TypeName& t = target.type;
    if (t.isInteger()) {
        // A whole-number variable holds only its type's range.
        const qint64 v = variantToInteger(value);
        if ((t.name == QLatin1String("INT") || t.name == QLatin1String("INTEGER")) && v != qint64(qint32(v)))
            throw DbError(QStringLiteral("Arithmetic overflow error converting expression to data type int."));
        if ((t.name == QLatin1String("SMALLINT") && v != qint64(qint16(v)))
            || (t.name == QLatin1String("TINYINT") && v != qint64(quint8(v))))
            throw DbError(QStringLiteral("Arithmetic overflow error for data type %1, value = %2.")
                              .arg(t.name.toLower())
                              .arg(v));
        return QVariant(v);
    }
    const bool money = t.name == QLatin1String("MONEY") || t.name == QLatin1String("SMALLMONEY");
    const bool decimal = t.name == QLatin1String("DECIMAL") || t.name == QLatin1String("NUMERIC");
    fn::Decimal d;
    const char* sourceType = nullptr;
    if ((money || decimal) && digitsPastDouble(value, d, sourceType)) {
        // Every digit kept: a double would round them away.
        if (money && !fn::fitMoney(d, t.name == QLatin1String("SMALLMONEY")))
            throw DbError(QStringLiteral("Arithmetic overflow error converting expression to data type %1.").arg(t.name.toLower()));
        if (decimal && !fn::fitDecimal(d, t.precision > 0 ? t.precision : 18, std::max(t.scale, 0)))
            throw DbError(QStringLiteral("Arithmetic overflow error converting %1 to data type numeric.").arg(QLatin1String(sourceType)));
        if (fn::carriedByDouble(d))
            return QVariant(d.toDouble());
        if (std::int64_t whole = 0; d.toInt64(whole))
            return QVariant(qint64(whole));
        const std::string key = fn::encodeNumberKey(d);
        return QByteArray(key.data(), qsizetype(key.size()));
    }
    if (decimal)
        return QVariant(roundToScale(variantToFloat(value), t.scale < 0 ? 0 : t.scale));  // numeric is numeric(18,0)
    if (money)
        return QVariant(roundToScale(variantToFloat(value), 4));
    if (t.name == QLatin1String("REAL"))
        return QVariant(double(float(variantToFloat(value))));
    if (t.name == QLatin1String("FLOAT"))
        return QVariant(variantToFloat(value));
    if (t.isText()) {
        QString s = variantToText(value);
        const int len = t.length > 0 ? t.length : (t.length == -2 || t.name.endsWith(QLatin1String("TEXT")) ? -1 : 1);
        if (len > 0 && s.size() > len)
            s.truncate(len);
        // char(n) and nchar(n) hold exactly n characters, blank-padded.
        if (len > 0 && (t.name == QLatin1String("CHAR") || t.name == QLatin1String("NCHAR")) && s.size() < len)
            s = s.leftJustified(len, QLatin1Char(' '));
        return s.isNull() ? QString(QLatin1String("")) : s;
    }
    if (t.isDate() && value.typeId() == QMetaType::QString) {
        // Text given to a datetime variable or parameter is read as a date
        // once, here, so that it compares as the stored dates do.
        const auto parsed = parseDateTime(value.toString(), session_->dateOrder, yearFirstFollowsDateOrder(t.name));
        if (!parsed)
            throw DbError(QStringLiteral("Conversion failed when converting date and/or time from character string."));
        if (t.name == QLatin1String("DATE"))
            return canonicalDateTime(QDateTime(parsed->date(), QTime(0, 0)));
        return canonicalDateTime(*parsed);
    }
    return value;
}

void SqliteEngine::runDataChange(const Stmt& s, Frame& frame)
{
    // SET ROWCOUNT stops an INSERT ... SELECT, an UPDATE or a DELETE after
    // so many rows, as it does a SELECT.
    const bool limit = rowcount_ > 0 && (s.kind != Stmt::Insert || s.select);
    const GeneratedSql limited = limit ? generator_.statement(s, rowcount_) : GeneratedSql();
    const GeneratedSql& g = limit ? limited : generated(&s, 0, [&] { return generator_.statement(s); });
    if (s.table.compare(TrigramIndexes::catalogTable(), Qt::CaseInsensitive) == 0) {
        runSql(g, frame, &s);
        syncTrigramIndexes();  // a declaration added or taken away
        return;
    }
    if (s.kind == Stmt::Delete || !noCheck_.contains(s.table.toUpper())) {
        runSql(g, frame, &s);
        return;
    }
    // The table's checks are off for this statement only. Foreign keys are
    // switched through the connection's setting: inside a transaction the
    // pragma would do nothing.
    QSqlQuery pragma(db_);
    sqlite3_db_config(handle_, SQLITE_DBCONFIG_ENABLE_FKEY, 0, nullptr);
    pragma.exec(QStringLiteral("PRAGMA ignore_check_constraints = ON"));
    auto restore = qScopeGuard([&] {
        pragma.exec(QStringLiteral("PRAGMA ignore_check_constraints = OFF"));
        sqlite3_db_config(handle_, SQLITE_DBCONFIG_ENABLE_FKEY, 1, nullptr);
    });
    runSql(g, frame, &s);
}

void SqliteEngine::runCheckConstraints(const Stmt& s)
{
    if (!objectExists(s.table))
        throw DbError(QStringLiteral("Cannot find the object \"%1\" because it does not exist or you do not have "
                                     "permissions.").arg(s.table));
    const QString table = s.table.toUpper();
    QSet<QString> names;
    for (const QString& c : s.columns)
        names.insert(c.toUpper());
    if (names.isEmpty())
        names.insert(QStringLiteral("ALL"));
    QSet<QString>& off = noCheck_[table];
    if (!s.flag) {
        off.unite(names);
    } else if (names.contains(QStringLiteral("ALL"))) {
        off.clear();
    } else {
        off.subtract(names);
    }
    if (off.isEmpty())
        noCheck_.remove(table);
    saveNoCheck(table);
}

void SqliteEngine::saveNoCheck(const QString& table)
{
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("DELETE FROM qel_nocheck WHERE tbl = ?"));
    q.addBindValue(table);
    bool ok = q.exec();
    for (const QString& name : noCheck_.value(table)) {
        q.prepare(QStringLiteral("INSERT INTO qel_nocheck (tbl, name) VALUES (?, ?)"));
        q.addBindValue(table);
        q.addBindValue(name);
        ok = ok && q.exec();
    }
    if (!ok)
        throw DbError(translateError(q.lastError().databaseText(), nullptr));
}

namespace {

// Statements that write, which a transaction that can only roll back refuses.
bool writes(Stmt::Kind kind)
{
    switch (kind) {
    case Stmt::Insert:
    case Stmt::Update:
    case Stmt::Delete:
    case Stmt::CreateTable:
    case Stmt::CreateIndex:
    case Stmt::CreateView:
    case Stmt::CreateType:
    case Stmt::Drop:
    case Stmt::AlterAdd:
    case Stmt::Truncate:
    case Stmt::CreateProcedure:
    case Stmt::CheckConstraints:
        return true;
    default:
        return false;
    }
}

} // namespace

SqliteEngine::Flow SqliteEngine::run(const Stmt& s, Frame& frame, ResultSet& result)
{
    const Frame* outer = running_;
    running_ = &frame;
    const auto restore = qScopeGuard([&] { running_ = outer; });
    if (writes(s.kind))
        transactions_->checkWritable();
    switch (s.kind) {
    case Stmt::SelectStmt:
        if (!s.select->cores.front().into.isEmpty())
            runSelectInto(s, frame);
        else
            runSelect(s, frame, result);
        return Flow::Normal;
    case Stmt::SetXactAbort:
        xactAbort_ = s.flag;
        return Flow::Normal;
    case Stmt::Transaction:
        runTransaction(s, frame);
        return Flow::Normal;
    case Stmt::TryCatch:
        return runTryCatch(s, frame, result);
    case Stmt::Raiserror:
        runRaiserror(s, frame);
        return Flow::Normal;
    case Stmt::Throw:
        runThrow(s, frame);
    case Stmt::IdentityInsert: {
        const QString identity = identityColumn(s.table);
        if (identity.isEmpty())
            throw DbError(QStringLiteral("Table '%1' does not have the identity property. Cannot perform SET "
                                         "operation.").arg(s.table));
        if (s.flag)
            identityInsert_.insert(s.table.toUpper());
        else
            identityInsert_.remove(s.table.toUpper());
        return Flow::Normal;
    }
    case Stmt::Insert:
        if (!s.columns.isEmpty() && !identityInsert_.contains(s.table.toUpper())) {
            const QString identity = identityColumn(s.table);
            for (const QString& c : s.columns) {
                if (!identity.isEmpty() && c.compare(identity, Qt::CaseInsensitive) == 0)
                    throw DbError(QStringLiteral("Cannot insert explicit value for identity column in table '%1' "
                                                 "when IDENTITY_INSERT is set to OFF.").arg(s.table));
            }
        }
        [[fallthrough]];
    case Stmt::Update:
    case Stmt::Delete:
        runDataChange(s, frame);
        return Flow::Normal;
    case Stmt::CheckConstraints:
        runCheckConstraints(s);
        return Flow::Normal;
    case Stmt::SetRowcount: {
        const QVariant n = evaluate(*s.expr, &s, 0, frame);
        rowcount_ = n.isNull() ? 0 : std::max<qint64>(variantToInteger(n), 0);
        return Flow::Normal;
    }
    case Stmt::SetDateFormat:
        setDateFormat(variantToText(evaluate(*s.expr, &s, 0, frame)));
        return Flow::Normal;
    case Stmt::CreateTable:
    case Stmt::CreateIndex:
    case Stmt::CreateView:
    case Stmt::CreateType:
    case Stmt::Drop:
        if (s.objectType == QLatin1String("PROCEDURE")) {
            runDropProcedure(s);
            return Flow::Normal;
        }
        runSchemaChange(s, frame);
        return Flow::Normal;
    case Stmt::AlterAdd:
    case Stmt::Truncate:
        runSchemaChange(s, frame);
        return Flow::Normal;
    case Stmt::Declare:
        for (size_t i = 0; i < s.variables.size(); ++i) {
            const auto& d = s.variables[i];
            Variable v;
            v.type = generator_.resolveType(d.type);
            if (d.init)
                v.value = assignable(v, evaluate(*d.init, &d, int(10 + i), frame));
            frame.variables.insert(d.name.toUpper(), v);
        }
        return Flow::Normal;
    case Stmt::DeclareTable:
        tableVariables_.declare(s, callDepth_);
        return Flow::Normal;
    case Stmt::SetVar: {
        auto it = frame.variables.find(s.variable.toUpper());
        if (it == frame.variables.end())
            throw DbError(QStringLiteral("Must declare the scalar variable \"%1\".").arg(s.variable));
        const QVariant value = evaluate(*s.expr, &s, 2, frame);
        it->value = assignable(*it, value);
        return Flow::Normal;
    }
    case Stmt::If: {
        const bool yes = test(*s.expr, &s, frame);
        lastError_ = 0;  // the IF itself succeeded: its branch reads @@ERROR as 0
        if (yes)
            return run(*s.thenStmt, frame, result);
        if (s.elseStmt)
            return run(*s.elseStmt, frame, result);
        return Flow::Normal;
    }
    case Stmt::Block:
        return runList(s.body, frame, result);
    case Stmt::While:
        while (test(*s.expr, &s, frame)) {
            checkDeadline();
            const Flow f = run(*s.thenStmt, frame, result);
            if (f == Flow::Break)
                break;
            if (f == Flow::Return)
                return f;
        }
        return Flow::Normal;
    case Stmt::Break:
        return Flow::Break;
    case Stmt::Continue:
        return Flow::Continue;
    case Stmt::Return:
        frame.returnValue = s.expr ? evaluate(*s.expr, &s, 2, frame) : QVariant(0);
        return Flow::Return;
    case Stmt::Print:
    case Stmt::Ignored:
        return Flow::Normal;
    case Stmt::Exec:
        return runExec(s, frame, result);
    case Stmt::CreateProcedure:
        runCreateProcedure(s);
        return Flow::Normal;
    }
    return Flow::Normal;
}

void SqliteEngine::runSelect(const Stmt& s, Frame& frame, ResultSet& result)
{
    const Select& sel = *s.select;
    const bool assigns = sel.cores.size() == 1 && !sel.cores.front().items.empty()
        && !sel.cores.front().items.front().assignVariable.isEmpty();
    if (!assigns) {
        const GeneratedSql& g = generated(&s, 0, [&] { return generator_.statement(s); });
        ResultSet r = runSql(g, frame, &s);
        r.returnsRows = true;
        if (reportColumnTypes_)
            r.columnTypes = generator_.resultTypes(sel);
        result = std::move(r);
        return;
    }
    // SELECT @a = x, @b = y FROM ...: the last row wins; no row leaves the
    // variables as they were.
    const SelectCore& core = sel.cores.front();
    const GeneratedSql& g = generated(&s, 0, [&] {
        Stmt plain = s;
        auto copy = std::make_shared<Select>(sel);
        for (SelectItem& item : copy->cores.front().items) {
            if (item.assignVariable.isEmpty())
                throw DbError(QStringLiteral("A SELECT statement that assigns a value to a variable must not be "
                                             "combined with data-retrieval operations."));
            item.assignVariable.clear();
        }
        plain.select = copy;
        return generator_.statement(plain);
    });
    ResultSet r = runSql(g, frame, &s);
    if (r.rows.empty())
        return;
    const QVector<QVariant>& last = r.rows.back();
    for (size_t i = 0; i < core.items.size(); ++i) {
        const QString name = core.items[i].assignVariable.toUpper();
        auto it = frame.variables.find(name);
        if (it == frame.variables.end())
            throw DbError(QStringLiteral("Must declare the scalar variable \"%1\".").arg(core.items[i].assignVariable));
        it->value = assignable(*it, last.value(int(i)));
    }
}

// Made afresh each time: the table's columns depend on the tables read.
void SqliteEngine::runSelectInto(const Stmt& s, Frame& frame)
{
    const SelectIntoSteps steps = selectIntoSteps(s, generator_, *this);
    runSchemaChange(steps.create, frame);
    runSql(generator_.statement(steps.insert, rowcount_), frame, &steps.insert);
}

void SqliteEngine::runSchemaChange(const Stmt& s, Frame& frame)
{
    if (s.kind == Stmt::CreateType) {
        addUserType(s.table, generator_.resolveType(s.type));
        return;
    }
    if (s.kind == Stmt::Drop && s.objectType == QLatin1String("TYPE")) {
        if (userType(s.table).name.isEmpty()) {
            if (s.ifExists)
                return;
            throw DbError(QStringLiteral("Cannot drop the type '%1', because it does not exist or you do not have "
                                         "permission.").arg(s.table));
        }
        QSqlQuery q(db_);
        q.prepare(QStringLiteral("DELETE FROM qel_types WHERE name = ?"));
        q.addBindValue(s.table);
        q.exec();
        schemaChanged();
        return;
    }
    if (s.kind == Stmt::AlterAdd && !s.constraints.empty()) {
        for (const TableConstraint& k : s.constraints)
            addConstraint(s, k);
        if (s.columnDefs.empty())
            return;
    }
    const GeneratedSql g = generator_.statement(s);
    for (const QString& part : g.sql.split(QStringLiteral(";\n"))) {
        QSqlQuery q(db_);
        if (!q.exec(part)) {
            const QString message = translateError(q.lastError().databaseText(), &s);
            schemaChanged();
            throw DbError(message);
        }
    }
    Q_UNUSED(frame);
    if (s.kind == Stmt::CreateView) {
        // SQLite makes a view without looking at what it names; SQL Server
        // refuses one that names a column or table that is not there, and a
        // view left broken would break every read of the catalog.
        QSqlQuery check(db_);
        if (!check.exec(QStringLiteral("SELECT * FROM main.%1 WHERE 0").arg(quoteIdent(s.table)))) {
            const QString message = translateError(check.lastError().databaseText(), &s);
            check.finish();
            QSqlQuery(db_).exec(QStringLiteral("DROP VIEW main.%1").arg(quoteIdent(s.table)));
            schemaChanged();
            throw DbError(message);
        }
        ViewColumns(db_).save(s.table, generator_.resultColumns(*s.select));
    }
    else if (s.kind == Stmt::Drop && s.objectType == QLatin1String("VIEW"))
        ViewColumns(db_).forget(s.table);
    // A table made again under a dropped one's name starts with its checks on.
    if (s.kind == Stmt::Drop && s.objectType == QLatin1String("TABLE") && noCheck_.remove(s.table.toUpper()))
        saveNoCheck(s.table.toUpper());
    schemaChanged();
    // A table made again gets its trigram index again.
    if (s.kind == Stmt::CreateTable)
        syncTrigramIndexes();
}

ResultSet SqliteEngine::runSql(const GeneratedSql& g, Frame& frame, const Stmt* stmt)
{
    QSqlQuery*& q = prepared_[g.sql];
    if (!q) {
        q = new QSqlQuery(db_);
        q->setForwardOnly(true);
        if (!q->prepare(g.sql)) {
            const QString message = translateError(q->lastError().databaseText(), stmt);
            delete q;
            prepared_.remove(g.sql);
            throw DbError(message);
        }
    }
    for (int i = 0; i < int(g.binds.size()); ++i) {
        const BindSlot& b = g.binds[size_t(i)];
        QVariant v;
        if (b.kind == BindSlot::Param) {
            v = frame.params ? frame.params->value(b.name) : QVariant();
        } else if (b.name.startsWith(QLatin1String("@@")) || b.name.endsWith(QLatin1String("()"))) {
            v = sessionValue(b.name);
        } else {
            auto it = frame.variables.constFind(b.name);
            if (it == frame.variables.constEnd())
                throw DbError(QStringLiteral("Must declare the scalar variable \"%1\".").arg(b.name));
            v = it->value;
        }
        q->bindValue(i, toSqlite(v));
    }
    if (statementObserver()) {
        QVector<QVariant> values;
        for (int i = 0; i < int(g.binds.size()); ++i)
            values.append(q->boundValue(i));
        observe(g, values);
    }
    if (lcSql().isDebugEnabled()) {
        QStringList shown;
        for (int i = 0; i < int(g.binds.size()); ++i)
            shown.append(g.binds[size_t(i)].name + QLatin1Char('=') + q->boundValue(i).toString());
        qCDebug(lcSql).noquote() << g.sql << "--" << shown.join(QStringLiteral(", "));
    }
    if (!q->exec()) {
        failedQuery_ = q;
        const QString message = translateError(q->lastError().databaseText(), stmt);
        failedQuery_ = nullptr;
        q->finish();
        throw DbError(message);
    }
    ResultSet r;
    if (q->isSelect()) {
        r.returnsRows = true;
        const QSqlRecord rec = q->record();
        const int n = rec.count();
        for (int i = 0; i < n; ++i)
            r.columns.append(rec.fieldName(i));
        while ((rowcount_ == 0 || qint64(r.rows.size()) < rowcount_) && q->next()) {
            QVector<QVariant> row(n);
            for (int i = 0; i < n; ++i)
                row[i] = handedOut(q->value(i));
            r.rows.push_back(std::move(row));
        }
        if (q->lastError().isValid()) {
            const QString message = translateError(q->lastError().databaseText(), stmt);
            q->finish();
            throw DbError(message);
        }
    }
    q->finish();
    return r;
}

QString SqliteEngine::translateError(const QString& message, const Stmt* stmt) const
{
    static const QRegularExpression noTable(QStringLiteral("^no such table: (?:main\\.)?(.+)$"));
    static const QRegularExpression noColumn(QStringLiteral("^no such column: (?:.*\\.)?(.+)$"));
    static const QRegularExpression notNull(QStringLiteral("^NOT NULL constraint failed: ([^.]+)\\.(.+)$"));
    static const QRegularExpression unique(QStringLiteral("^UNIQUE constraint failed: ([^.]+)\\.(.+)$"));
    static const QRegularExpression exists(QStringLiteral("^(?:table|view|index) \"?([^\" ]+)\"? already exists$"));

    const QString verb = !stmt ? QStringLiteral("SELECT")
        : stmt->kind == Stmt::Insert ? QStringLiteral("INSERT")
        : stmt->kind == Stmt::Update ? QStringLiteral("UPDATE")
        : stmt->kind == Stmt::Delete ? QStringLiteral("DELETE")
                                     : QStringLiteral("SELECT");
    if (timedOut_)
        return QLatin1String(kQueryTimeout);
    // SQLite's own limits on nesting, met below the parser's.
    if (message.startsWith(QLatin1String("parser stack overflow"))
        || message.startsWith(QLatin1String("Expression tree is too large")))
        return nestedTooDeeplyMessage();
    if (message.startsWith(QLatin1String("misuse of window function")))
        return QStringLiteral("Windowed functions can only appear in the SELECT or ORDER BY clauses.");
    if (message.startsWith(QLatin1String("attempt to write a readonly database")))
        return QStringLiteral("Failed to update database \"%1\" because the database is read-only.").arg(database_);
    QRegularExpressionMatch m;
    if ((m = noTable.match(message)).hasMatch()) {
        if (m.captured(1).startsWith(QLatin1Char('@')))
            return QStringLiteral("Must declare the table variable \"%1\".").arg(m.captured(1));
        return QStringLiteral("Invalid object name '%1'.").arg(m.captured(1));
    }
    if ((m = noColumn.match(message)).hasMatch())
        return QStringLiteral("Invalid column name '%1'.").arg(m.captured(1));
    if ((m = notNull.match(message)).hasMatch()) {
        // A table variable is named as declared, with no database or owner.
        const QString table = m.captured(1).startsWith(QLatin1Char('@'))
            ? m.captured(1)
            : QStringLiteral("%1.dbo.%2").arg(database_, m.captured(1));
        return QStringLiteral("Cannot insert the value NULL into column '%1', table '%2'; column does not allow "
                              "nulls. %3 fails.")
            .arg(m.captured(2), table, verb);
    }
    if ((m = unique.match(message)).hasMatch()) {
        const QString table = m.captured(1);
        QStringList cols;
        for (const QString& c : m.captured(2).split(QStringLiteral(", ")))
            cols.append(c.section(QLatin1Char('.'), -1));
        // Name the index as SQL Server would: the one on exactly these columns.
        QSqlQuery list(db_);
        list.exec(QStringLiteral("PRAGMA index_list(%1)").arg(quoteIdent(table)));
        while (list.next()) {
            if (list.value(QStringLiteral("unique")).toInt() != 1)
                continue;
            const QString index = list.value(QStringLiteral("name")).toString();
            const QString origin = list.value(QStringLiteral("origin")).toString();
            QSqlQuery info(db_);
            info.exec(QStringLiteral("PRAGMA index_info(%1)").arg(quoteIdent(index)));
            QStringList indexCols;
            while (info.next())
                indexCols.append(info.value(QStringLiteral("name")).toString());
            if (indexCols.join(QLatin1Char(',')).compare(cols.join(QLatin1Char(',')), Qt::CaseInsensitive) != 0)
                continue;
            if (origin == QLatin1String("c")) {
                const QString shown = index.startsWith(table + QLatin1Char('.'), Qt::CaseInsensitive)
                    ? index.mid(table.size() + 1)
                    : index;
                return QStringLiteral("Cannot insert duplicate key row in object 'dbo.%1' with unique index '%2'.")
                    .arg(table, shown);
            }
            if (origin == QLatin1String("pk"))
                return QStringLiteral("Violation of PRIMARY KEY constraint '%1'. Cannot insert duplicate key in "
                                      "object 'dbo.%2'.")
                    .arg(constraintName(table, QStringLiteral("PRIMARY KEY"), cols, QStringLiteral("PK_") + table), table);
            return QStringLiteral("Violation of UNIQUE KEY constraint '%1'. Cannot insert duplicate key in object "
                                  "'dbo.%2'.")
                .arg(constraintName(table, QStringLiteral("UNIQUE"), cols, QStringLiteral("UQ_") + table), table);
        }
        // No index on exactly these columns: the rowid, an INTEGER PRIMARY KEY.
        return QStringLiteral("Violation of PRIMARY KEY constraint '%1'. Cannot insert duplicate key in object "
                              "'dbo.%2'.")
            .arg(constraintName(table, QStringLiteral("PRIMARY KEY"), cols, QStringLiteral("PK_") + table), table);
    }
    if (message.startsWith(QLatin1String("FOREIGN KEY constraint failed")))
        return foreignKeyConflict(verb, stmt ? stmt->table : QString());
    if (message.startsWith(QLatin1String("CHECK constraint failed")))
        return QStringLiteral("%1 statement conflicted with COLUMN CHECK constraint '%2'. The conflict occurred in "
                              "database '%3', table '%4'.")
            .arg(verb, message.section(QLatin1String(": "), 1), database_, stmt ? stmt->table : QString());
    if ((m = exists.match(message)).hasMatch()) {
        QString name = m.captured(1);
        if (stmt && stmt->kind == Stmt::CreateIndex)
            return QStringLiteral("The operation failed because an index or statistics with name '%1' already exists "
                                  "on table '%2'.")
                .arg(stmt->alias, stmt->table);
        return QStringLiteral("There is already an object named '%1' in the database.").arg(name);
    }
    return message;
}

// ---------------------------------------------------------------- constraints

QString SqliteEngine::constraintName(const QString& table, const QString& kind, const QStringList& columns,
                                     const QString& fallback) const
{
    const QString sql = tableDefinition(table);
    if (sql.isEmpty())
        return fallback;
    // Table level: CONSTRAINT "X" PRIMARY KEY ("a", "b").
    const QRegularExpression tableLevel(QStringLiteral("CONSTRAINT \"([^\"]+)\" %1 \\(([^)]*)\\)").arg(kind));
    for (auto it = tableLevel.globalMatch(sql); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        QStringList cols = m.captured(2).split(QLatin1Char(','));
        for (QString& c : cols)
            c = c.trimmed().remove(QLatin1Char('"'));
        if (cols.join(QLatin1Char(',')).compare(columns.join(QLatin1Char(',')), Qt::CaseInsensitive) == 0)
            return m.captured(1);
    }
    // Column level: "a" TYPE ... CONSTRAINT "X" PRIMARY KEY.
    if (columns.size() == 1) {
        const QRegularExpression columnLevel(
            QStringLiteral("\"%1\"[^,]*?CONSTRAINT \"([^\"]+)\" %2").arg(QRegularExpression::escape(columns[0]), kind),
            QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch m = columnLevel.match(sql);
        if (m.hasMatch())
            return m.captured(1);
    }
    return fallback;
}

void SqliteEngine::addConstraint(const Stmt& s, const TableConstraint& k)
{
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("SELECT name, sql FROM main.sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE"));
    q.addBindValue(s.table);
    if (!q.exec() || !q.next())
        throw DbError(QStringLiteral("Cannot find the object \"%1\" because it does not exist or you do not have "
                                     "permissions.").arg(s.table));
    const QString table = q.value(0).toString();
    const QString oldSql = q.value(1).toString();
    q.finish();

    if (k.kind == TableConstraint::PrimaryKey || k.kind == TableConstraint::Unique) {
        // SQLite keys an existing table through a unique index.
        const QString name = !k.name.isEmpty() ? k.name
            : QStringLiteral("%1_%2_%3").arg(k.kind == TableConstraint::PrimaryKey ? QStringLiteral("PK") : QStringLiteral("UQ"),
                                             table, k.columns.join(QLatin1Char('_')));
        QStringList cols;
        for (const QString& c : k.columns)
            cols.append(quoteIdent(c));
        QSqlQuery idx(db_);
        if (!idx.exec(QStringLiteral("CREATE UNIQUE INDEX %1 ON %2 (%3)")
                          .arg(quoteIdent(sqliteIndexName(table, name)), quoteIdent(table), cols.join(QStringLiteral(", "))))) {
            const QString text = idx.lastError().databaseText();
            schemaChanged();
            if (text.contains(QLatin1String("UNIQUE constraint failed")))
                throw DbError(QStringLiteral("The CREATE UNIQUE INDEX statement terminated because a duplicate key was "
                                             "found for the object name 'dbo.%1' and the index name '%2'.")
                                  .arg(table, name));
            throw DbError(translateError(text, &s));
        }
        schemaChanged();
        return;
    }

    // Foreign keys and checks do not change how rows are stored, so the
    // table's definition is amended in place and the rows are then checked.
    const int close = oldSql.lastIndexOf(QLatin1Char(')'));
    if (close < 0)
        throw DbError(QStringLiteral("The definition of table '%1' cannot be amended.").arg(table));
    const QString clause = generator_.constraintClause(k);
    const QString newSql = oldSql.left(close).trimmed() + QStringLiteral(",\n  ") + clause + QStringLiteral("\n)");
    // A second connection makes the change, so that this one notices the new
    // schema version and reads the amended definition before its next statement.
    auto setDefinition = [&](const QString& sql) {
        sqlite3* h = nullptr;
        QString error;
        if (sqlite3_open_v2(file_.toUtf8().constData(), &h, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
            sqlite3_busy_timeout(h, 10000);
            sqlite3_stmt* st = nullptr;
            int version = 0;
            if (sqlite3_prepare_v2(h, "PRAGMA schema_version", -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
                version = sqlite3_column_int(st, 0);
            sqlite3_finalize(st);
            st = nullptr;
            const QByteArray sqlUtf8 = sql.toUtf8();
            const QByteArray tableUtf8 = table.toUtf8();
            const bool ok = sqlite3_exec(h, "PRAGMA writable_schema = ON", nullptr, nullptr, nullptr) == SQLITE_OK
                && sqlite3_prepare_v2(h, "UPDATE main.sqlite_master SET sql = ? WHERE type = 'table' AND name = ?", -1,
                                      &st, nullptr) == SQLITE_OK
                && sqlite3_bind_text(st, 1, sqlUtf8.constData(), int(sqlUtf8.size()), SQLITE_TRANSIENT) == SQLITE_OK
                && sqlite3_bind_text(st, 2, tableUtf8.constData(), int(tableUtf8.size()), SQLITE_TRANSIENT) == SQLITE_OK
                && sqlite3_step(st) == SQLITE_DONE;
            if (!ok)
                error = QString::fromUtf8(sqlite3_errmsg(h));
            sqlite3_finalize(st);
            sqlite3_exec(h, "PRAGMA writable_schema = OFF", nullptr, nullptr, nullptr);
            const QByteArray bump = QStringLiteral("PRAGMA schema_version = %1").arg(version + 1).toUtf8();
            sqlite3_exec(h, bump.constData(), nullptr, nullptr, nullptr);
        } else {
            error = QString::fromUtf8(sqlite3_errmsg(h));
        }
        sqlite3_close(h);
        schemaChanged();
        // Pragmas answer from the schema in memory without checking its
        // version; a read of the schema table makes this connection reload it.
        QSqlQuery reload(db_);
        reload.exec(QStringLiteral("SELECT count(*) FROM main.sqlite_master"));
        if (!error.isEmpty())
            throw DbError(QStringLiteral("The definition of table '%1' could not be changed: %2").arg(table, error));
    };
    setDefinition(newSql);
    QString conflict;
    if (k.kind == TableConstraint::ForeignKey) {
        QSqlQuery check(db_);
        if (check.exec(QStringLiteral("PRAGMA foreign_key_check(%1)").arg(quoteIdent(table))) && check.next())
            conflict = foreignKeyMessage(QStringLiteral("ALTER TABLE"), k.name, database_, k.refTable,
                                         k.refColumns.value(0, k.columns.value(0)));
    } else {
        QSqlQuery check(db_);
        const QString condition = clause.mid(clause.indexOf(QLatin1String("CHECK (")) + 6);
        if (check.exec(QStringLiteral("SELECT 1 FROM %1 WHERE NOT %2 LIMIT 1").arg(quoteIdent(table), condition))
            && check.next())
            conflict = QStringLiteral("ALTER TABLE statement conflicted with COLUMN CHECK constraint '%1'. The "
                                      "conflict occurred in database '%2', table '%3'.")
                           .arg(k.name, database_, table);
    }
    if (!conflict.isEmpty()) {
        setDefinition(oldSql);
        throw DbError(conflict);
    }
}

// ---------------------------------------------------------------- foreign keys

std::vector<SqliteEngine::ForeignKey> SqliteEngine::foreignKeys() const
{
    std::vector<ForeignKey> keys;
    QSqlQuery tables(db_);
    tables.exec(QStringLiteral("SELECT name, sql FROM main.sqlite_master WHERE type = 'table'"));
    while (tables.next()) {
        const QString child = tables.value(0).toString();
        const QString sql = tables.value(1).toString();
        QSqlQuery list(db_);
        list.exec(QStringLiteral("PRAGMA foreign_key_list(%1)").arg(quoteIdent(child)));
        while (list.next()) {
            ForeignKey k;
            k.child = child;
            k.parent = list.value(QStringLiteral("table")).toString();
            k.childColumn = list.value(QStringLiteral("from")).toString();
            k.parentColumn = list.value(QStringLiteral("to")).toString();
            k.id = list.value(QStringLiteral("id")).toInt();
            if (k.parentColumn.isEmpty()) {
                QSqlQuery info(db_);
                info.exec(QStringLiteral("PRAGMA table_info(%1)").arg(quoteIdent(k.parent)));
                while (info.next()) {
                    if (info.value(QStringLiteral("pk")).toInt() == 1)
                        k.parentColumn = info.value(QStringLiteral("name")).toString();
                }
            }
            // The constraint's own name, table-level or column-level, as the script gave it.
            const QString col = QRegularExpression::escape(k.childColumn);
            const QRegularExpression tableLevel(
                QStringLiteral("CONSTRAINT\\s+\"([^\"]+)\"\\s+FOREIGN\\s+KEY\\s*\\(\\s*\"%1\"").arg(col),
                QRegularExpression::CaseInsensitiveOption);
            const QRegularExpression columnLevel(
                QStringLiteral("\"%1\"[^,]*?CONSTRAINT\\s+\"([^\"]+)\"[^,]*?REFERENCES").arg(col),
                QRegularExpression::CaseInsensitiveOption);
            QRegularExpressionMatch m = tableLevel.match(sql);
            if (!m.hasMatch())
                m = columnLevel.match(sql);
            k.name = m.hasMatch() ? m.captured(1) : QStringLiteral("FK_%1_%2").arg(child, k.parent);
            keys.push_back(k);
        }
    }
    return keys;
}

const SqliteEngine::ForeignKey* SqliteEngine::brokenKey(QSqlQuery& failed, const std::vector<ForeignKey>& keys,
                                                        const QString& verb, const QString& table) const
{
    // Tables whose rows may now point nowhere: this one, and those referring to it.
    QStringList candidates{table};
    for (const ForeignKey& k : keys) {
        if (k.parent.compare(table, Qt::CaseInsensitive) == 0 && !candidates.contains(k.child, Qt::CaseInsensitive))
            candidates.append(k.child);
    }
    if (verb == QLatin1String("INSERT"))
        candidates = QStringList{table};
    QSqlQuery control(db_);
    if (!control.exec(QStringLiteral("SAVEPOINT qel_key_probe")))
        return nullptr;
    control.exec(QStringLiteral("PRAGMA defer_foreign_keys = ON"));
    QString child;
    int id = -1;
    if (failed.exec()) {
        failed.finish();
        for (const QString& t : candidates) {
            QSqlQuery check(db_);
            if (check.exec(QStringLiteral("PRAGMA foreign_key_check(%1)").arg(quoteIdent(t))) && check.next()) {
                child = check.value(0).toString();
                id = check.value(3).toInt();
                break;
            }
        }
    }
    control.exec(QStringLiteral("ROLLBACK TO qel_key_probe"));
    control.exec(QStringLiteral("RELEASE qel_key_probe"));
    control.exec(QStringLiteral("PRAGMA defer_foreign_keys = OFF"));
    for (const ForeignKey& k : keys) {
        if (k.id == id && k.child.compare(child, Qt::CaseInsensitive) == 0)
            return &k;
    }
    return nullptr;
}

QString SqliteEngine::foreignKeyConflict(const QString& verb, const QString& table) const
{
    const std::vector<ForeignKey> keys = foreignKeys();
    if (failedQuery_) {
        if (const ForeignKey* k = brokenKey(*failedQuery_, keys, verb, table)) {
            if (k->child.compare(table, Qt::CaseInsensitive) == 0 && verb != QLatin1String("DELETE"))
                return foreignKeyMessage(verb, k->name, database_, k->parent, k->parentColumn);
            return referenceMessage(verb, k->name, database_, k->child, k->childColumn);
        }
    }
    if (verb == QLatin1String("DELETE")) {
        // Name the referencing table that still points at rows of this one.
        const ForeignKey* found = nullptr;
        for (const ForeignKey& k : keys) {
            if (k.parent.compare(table, Qt::CaseInsensitive) != 0)
                continue;
            if (!found)
                found = &k;
            QSqlQuery probe(db_);
            if (probe.exec(QStringLiteral("SELECT 1 FROM %1 WHERE %2 IN (SELECT %3 FROM %4) LIMIT 1")
                               .arg(quoteIdent(k.child), quoteIdent(k.childColumn), quoteIdent(k.parentColumn),
                                    quoteIdent(k.parent)))
                && probe.next()) {
                found = &k;
                break;
            }
        }
        if (found)
            return referenceMessage(verb, found->name, database_, found->child, found->childColumn);
        return QStringLiteral("The DELETE statement conflicted with a REFERENCE constraint. The conflict occurred in "
                              "database \"%1\", table \"dbo.%2\".")
            .arg(database_, table);
    }
    // SQLite lists a table's keys last-declared first; the first declared is the likelier one.
    for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
        const ForeignKey& k = *it;
        if (k.child.compare(table, Qt::CaseInsensitive) == 0)
            return foreignKeyMessage(verb, k.name, database_, k.parent, k.parentColumn);
    }
    // An UPDATE of a key that others still reference.
    for (const ForeignKey& k : keys) {
        if (k.parent.compare(table, Qt::CaseInsensitive) == 0)
            return referenceMessage(verb, k.name, database_, k.child, k.childColumn);
    }
    return QStringLiteral("%1 statement conflicted with a FOREIGN KEY constraint in database '%2'.").arg(verb, database_);
}

// ---------------------------------------------------------------- schema

QString SqliteEngine::tableDefinition(const QString& table) const
{
    // Table variables are the session's own, in its TEMP schema.
    const QString schema = table.startsWith(QLatin1Char('@')) ? QStringLiteral("temp") : QStringLiteral("main");
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("SELECT sql FROM %1.sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE")
                  .arg(schema));
    q.addBindValue(table);
    return q.exec() && q.next() ? q.value(0).toString() : QString();
}

void SqliteEngine::loadTable(const QString& table) const
{
    const QString key = table.toUpper();
    if (tables_.contains(key))
        return;
    TableInfo info;
    QSqlQuery q(db_);
    if (q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(quoteIdent(table)))) {
        while (q.next()) {
            const QString name = q.value(1).toString();
            info.columns.append(name);
            info.types.insert(name.toUpper(), q.value(2).toString());
            if (q.value(3).toInt())
                info.notNull.insert(name.toUpper());
        }
    }
    // A view's columns as SQL Server types them, where the engine worked them out.
    const QHash<QString, QString> viewTypes = ViewColumns(db_).types(table);
    for (auto it = viewTypes.cbegin(); it != viewTypes.cend(); ++it)
        info.types.insert(it.key(), it.value());
    // The engine writes an IDENTITY column as the AUTOINCREMENT rowid.
    if (const QString sql = tableDefinition(table); !sql.isEmpty()) {
        static const QRegularExpression identity(
            QStringLiteral("\"([^\"]+)\" INTEGER(?: CONSTRAINT \"[^\"]+\")? PRIMARY KEY AUTOINCREMENT"));
        const QRegularExpressionMatch m = identity.match(sql);
        if (m.hasMatch())
            info.identity = m.captured(1);
    }
    if (!info.identity.isEmpty())
        info.leading.insert(info.identity.toUpper());
    if (q.exec(QStringLiteral("SELECT i.name FROM pragma_index_list(%1) l, pragma_index_info(l.name) i "
                              "WHERE i.seqno = 0").arg(quoteString(table)))) {
        while (q.next())
            info.leading.insert(q.value(0).toString().toUpper());
    }
    tables_.insert(key, info);
}

bool SqliteEngine::leadsAnIndex(const QString& table, const QString& column) const
{
    loadTable(table);
    return tables_.value(table.toUpper()).leading.contains(column.toUpper());
}

TrigramIndex SqliteEngine::trigramIndex(const QString& table, const QString& column) const
{
    if (!trigramIndexes_)
        trigramIndexes_ = TrigramIndexes(db_).whole();
    if (trigramIndexes_->isEmpty())
        return {};
    const QString own = trigramIndexes_->value(table.toUpper() + QLatin1Char('.') + column.toUpper());
    if (!own.isEmpty())
        return {own, QStringLiteral("rowid")};
    // A view's column: the index of the table column it shows, keyed through
    // the view column that shows that table's IDENTITY (its rowid).
    const QHash<QString, QString> origins = viewOrigins(table);
    const QString origin = origins.value(column.toUpper());
    const QString index = trigramIndexes_->value(origin);
    if (index.isEmpty())
        return {};
    const QString base = origin.section(QLatin1Char('.'), 0, 0);
    const QString identity = identityColumn(base).toUpper();
    if (identity.isEmpty())
        return {};
    for (auto it = origins.cbegin(); it != origins.cend(); ++it) {
        if (it.value() == base + QLatin1Char('.') + identity)
            return {index, it.key()};
    }
    return {};
}

QHash<QString, QString> SqliteEngine::viewOrigins(const QString& view) const
{
    loadTable(view);
    TableInfo& info = tables_[view.toUpper()];
    if (info.origins)
        return *info.origins;
    info.origins.emplace();
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("SELECT sql FROM main.sqlite_master WHERE type = 'view' AND name = ? COLLATE NOCASE"));
    q.addBindValue(view);
    if (!q.exec() || !q.next())
        return {};
    const QString definition = q.value(0).toString().toUpper();
    q.finish();
    // Rows made of several rows of a table (a join of a table with itself,
    // grouping, compounds) have no one row to key them by.
    for (const char* word : {" GROUP BY ", " DISTINCT ", " UNION ", " EXCEPT ", " INTERSECT "}) {
        if (definition.contains(QLatin1String(word)))
            return {};
    }
    const QVariant handle = db_.driver()->handle();
    sqlite3* h = handle.isValid() ? *static_cast<sqlite3* const*>(handle.constData()) : nullptr;
    sqlite3_stmt* st = nullptr;
    const QByteArray select = (QStringLiteral("SELECT * FROM ") + quoteIdent(view)).toUtf8();
    if (!h || sqlite3_prepare_v2(h, select.constData(), -1, &st, nullptr) != SQLITE_OK) {
        sqlite3_finalize(st);
        return {};
    }
    QHash<QString, QString> origins;
    QSet<QString> tables;
    for (int i = 0; i < sqlite3_column_count(st); ++i) {
        const char* table = sqlite3_column_table_name(st, i);
        const char* column = sqlite3_column_origin_name(st, i);
        if (!table || !column)
            continue;
        const QString t = QString::fromUtf8(table).toUpper();
        origins.insert(QString::fromUtf8(sqlite3_column_name(st, i)).toUpper(),
                       t + QLatin1Char('.') + QString::fromUtf8(column).toUpper());
        tables.insert(t);
    }
    sqlite3_finalize(st);
    for (const QString& t : tables) {
        if (definition.count(quoteIdent(t)) != 1)
            return {};
    }
    info.origins = origins;
    return origins;
}

QString SqliteEngine::columnType(const QString& table, const QString& column) const
{
    loadTable(table);
    return tables_.value(table.toUpper()).types.value(column.toUpper());
}

QString SqliteEngine::identityColumn(const QString& table) const
{
    loadTable(table);
    return tables_.value(table.toUpper()).identity;
}

bool SqliteEngine::columnNotNull(const QString& table, const QString& column) const
{
    loadTable(table);
    return tables_.value(table.toUpper()).notNull.contains(column.toUpper());
}

QStringList SqliteEngine::columns(const QString& table) const
{
    loadTable(table);
    return tables_.value(table.toUpper()).columns;
}

TypeName SqliteEngine::variableType(const QString& name) const
{
    if (!running_)
        return TypeName();
    const auto it = running_->variables.constFind(name);
    return it == running_->variables.constEnd() ? TypeName() : it->type;
}

TypeName SqliteEngine::userType(const QString& name) const
{
    const QString key = name.toUpper();
    auto it = userTypes_.constFind(key);
    if (it != userTypes_.constEnd())
        return it.value();
    TypeName t;
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("SELECT base FROM qel_types WHERE name = ?"));
    q.addBindValue(name);
    if (q.exec() && q.next())
        t = parseTypeName(q.value(0).toString());
    userTypes_.insert(key, t);
    return t;
}

} // namespace db::sqlite
