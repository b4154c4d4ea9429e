#include "SqliteEngine.h"

#include "SqlServerFunctions.h"
#include "TsqlParser.h"
#include "db/DbError.h"
#include "db/Query.h"

#include <QDir>
#include <QLoggingCategory>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <sqlite3.h>

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
    default:
        return v;
    }
}

} // namespace

QString findDatabaseFile(const QString& folder, const QString& name)
{
    const QDir dir(folder);
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

void createDatabase(const QString& folder, const QString& name)
{
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
        if (sqlite3_exec(handle, "PRAGMA journal_mode=WAL; CREATE TABLE qel_types (name TEXT PRIMARY KEY COLLATE NOCASE, base TEXT NOT NULL);",
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

SqliteEngine::SqliteEngine(const QString& folder, const QString& database)
    : database_(database.trimmed()), generator_(*this)
{
    file_ = findDatabaseFile(folder, database_);
    if (file_.isEmpty())
        throw DbError(cannotOpen(database_));
    connectionName_ = QStringLiteral("qel-embedded-%1").arg(++connectionCounter);
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName_);
    db_.setDatabaseName(file_);
    db_.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
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
    // A double-quoted name that matches no column must be an error, as in
    // SQL Server, not silently a string.
    sqlite3_db_config(h, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(h, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    registerSqlServerFunctions(h);
    QSqlQuery pragma(db_);
    for (const char* p : {"PRAGMA foreign_keys = ON", "PRAGMA synchronous = NORMAL", "PRAGMA cache_size = -32768",
                          "PRAGMA temp_store = MEMORY"})
        pragma.exec(QLatin1String(p));
}

SqliteEngine::~SqliteEngine()
{
    qDeleteAll(prepared_);
    prepared_.clear();
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
    auto batch = std::make_shared<const Batch>(parseBatch(sql));
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

void SqliteEngine::schemaChanged()
{
    // Generated SQL depends on column types; it is made again on next use.
    generatedCache_.clear();
    tables_.clear();
    userTypes_.clear();
    qDeleteAll(prepared_);
    prepared_.clear();
}

ResultSet SqliteEngine::execute(const QString& sql, const ParamValues& params)
{
    const std::shared_ptr<const Batch> batch = parse(sql);
    Frame frame;
    frame.params = &params;
    ResultSet result;
    runList(batch->statements, frame, result);
    return result;
}

void SqliteEngine::callProcedure(const QString& name, std::vector<ProcParam>& params)
{
    Q_UNUSED(params);
    throw DbError(QStringLiteral("Could not find stored procedure '%1'.").arg(name));
}

SqliteEngine::Flow SqliteEngine::runList(const std::vector<StmtPtr>& list, Frame& frame, ResultSet& result)
{
    for (const StmtPtr& s : list) {
        const Flow f = run(*s, frame, result);
        if (f != Flow::Normal)
            return f;
    }
    return Flow::Normal;
}

QVariant SqliteEngine::evaluate(const Expr& e, const void* key, int role, Frame& frame)
{
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

QVariant SqliteEngine::assignable(const Variable& target, const QVariant& value) const
{
    if (!value.isValid() || value.isNull())
        return QVariant();
    const TypeName& t = target.type;
    if (t.isInteger())
        return QVariant(variantToInteger(value));
    if (t.name == QLatin1String("DECIMAL") || t.name == QLatin1String("NUMERIC") || t.name == QLatin1String("FLOAT")
        || t.name == QLatin1String("REAL") || t.name == QLatin1String("MONEY"))
        return QVariant(variantToFloat(value));
    if (t.isText()) {
        QString s = variantToText(value);
        const int len = t.length > 0 ? t.length : (t.length == -2 || t.name.endsWith(QLatin1String("TEXT")) ? -1 : 1);
        if (len > 0 && s.size() > len)
            s.truncate(len);
        return s;
    }
    return value;
}

SqliteEngine::Flow SqliteEngine::run(const Stmt& s, Frame& frame, ResultSet& result)
{
    switch (s.kind) {
    case Stmt::SelectStmt:
        runSelect(s, frame, result);
        return Flow::Normal;
    case Stmt::Insert:
    case Stmt::Update:
    case Stmt::Delete: {
        const GeneratedSql& g = generated(&s, 0, [&] { return generator_.statement(s); });
        runSql(g, frame, &s);
        return Flow::Normal;
    }
    case Stmt::CreateTable:
    case Stmt::CreateIndex:
    case Stmt::CreateView:
    case Stmt::CreateType:
    case Stmt::Drop:
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
    case Stmt::SetVar: {
        auto it = frame.variables.find(s.variable.toUpper());
        if (it == frame.variables.end())
            throw DbError(QStringLiteral("Must declare the scalar variable \"%1\".").arg(s.variable));
        const QVariant value = evaluate(*s.expr, &s, 2, frame);
        it->value = assignable(*it, value);
        return Flow::Normal;
    }
    case Stmt::If:
        if (test(*s.expr, &s, frame))
            return run(*s.thenStmt, frame, result);
        if (s.elseStmt)
            return run(*s.elseStmt, frame, result);
        return Flow::Normal;
    case Stmt::Block:
        return runList(s.body, frame, result);
    case Stmt::While:
        while (test(*s.expr, &s, frame)) {
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
        throw DbError(QStringLiteral("Could not find stored procedure '%1'.").arg(s.table));
    case Stmt::CreateProcedure:
        throw DbError(QStringLiteral("The embedded engine does not support stored procedures yet."));
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

void SqliteEngine::runSchemaChange(const Stmt& s, Frame& frame)
{
    if (s.kind == Stmt::CreateType) {
        const TypeName base = generator_.resolveType(s.type);
        if (!userType(s.table).name.isEmpty())
            throw DbError(QStringLiteral("The type '%1' already exists, or you do not have permission to create it.").arg(s.table));
        QSqlQuery q(db_);
        q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS qel_types (name TEXT PRIMARY KEY COLLATE NOCASE, base TEXT NOT NULL)"));
        q.prepare(QStringLiteral("INSERT INTO qel_types (name, base) VALUES (?, ?)"));
        q.addBindValue(s.table);
        q.addBindValue(base.text());
        if (!q.exec())
            throw DbError(q.lastError().databaseText());
        schemaChanged();
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
    schemaChanged();
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
        } else {
            auto it = frame.variables.constFind(b.name);
            if (it == frame.variables.constEnd())
                throw DbError(QStringLiteral("Must declare the scalar variable \"%1\".").arg(b.name));
            v = it->value;
        }
        q->bindValue(i, toSqlite(v));
    }
    if (lcSql().isDebugEnabled()) {
        QStringList shown;
        for (int i = 0; i < int(g.binds.size()); ++i)
            shown.append(g.binds[size_t(i)].name + QLatin1Char('=') + q->boundValue(i).toString());
        qCDebug(lcSql).noquote() << g.sql << "--" << shown.join(QStringLiteral(", "));
    }
    if (!q->exec()) {
        const QString message = translateError(q->lastError().databaseText(), stmt);
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
        while (q->next()) {
            QVector<QVariant> row(n);
            for (int i = 0; i < n; ++i)
                row[i] = q->value(i);
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
    QRegularExpressionMatch m;
    if ((m = noTable.match(message)).hasMatch())
        return QStringLiteral("Invalid object name '%1'.").arg(m.captured(1));
    if ((m = noColumn.match(message)).hasMatch())
        return QStringLiteral("Invalid column name '%1'.").arg(m.captured(1));
    if ((m = notNull.match(message)).hasMatch())
        return QStringLiteral("Cannot insert the value NULL into column '%1', table '%2.dbo.%3'; column does not allow "
                              "nulls. %4 fails.")
            .arg(m.captured(2), database_, m.captured(1), verb);
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
                return QStringLiteral("Violation of PRIMARY KEY constraint 'PK_%1'. Cannot insert duplicate key in "
                                      "object 'dbo.%1'.")
                    .arg(table);
            return QStringLiteral("Violation of UNIQUE KEY constraint 'UQ_%1'. Cannot insert duplicate key in object "
                                  "'dbo.%1'.")
                .arg(table);
        }
        return QStringLiteral("Violation of PRIMARY KEY constraint 'PK_%1'. Cannot insert duplicate key in object "
                              "'dbo.%1'.")
            .arg(table);
    }
    if (message.startsWith(QLatin1String("FOREIGN KEY constraint failed"))) {
        const QString table = stmt ? stmt->table : QString();
        if (verb == QLatin1String("DELETE"))
            return QStringLiteral("DELETE statement conflicted with COLUMN REFERENCE constraint 'FK_%1'. The conflict "
                                  "occurred in database '%2', table '%1'.")
                .arg(table, database_);
        return QStringLiteral("%1 statement conflicted with COLUMN FOREIGN KEY constraint 'FK_%2'. The conflict "
                              "occurred in database '%3', table '%2'.")
            .arg(verb, table, database_);
    }
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

// ---------------------------------------------------------------- schema

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
        }
    }
    tables_.insert(key, info);
}

QString SqliteEngine::columnType(const QString& table, const QString& column) const
{
    loadTable(table);
    return tables_.value(table.toUpper()).types.value(column.toUpper());
}

QStringList SqliteEngine::columns(const QString& table) const
{
    loadTable(table);
    return tables_.value(table.toUpper()).columns;
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
