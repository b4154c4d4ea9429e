#include "Copy.h"

#include "CommandOptions.h"

#include "EmbeddedCatalog.h"
#include "Progress.h"
#include "QelDb.h"
#include "SchemaScript.h"
#include "ServerCatalog.h"

#include "db/DbError.h"
#include "db/sqlite/SqliteEngine.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QLocale>

#include <algorithm>
#include <memory>

namespace qeldb {

namespace {

const QString kFrom = QStringLiteral("--from");
const QString kTo = QStringLiteral("--to");

QByteArray line(const QString& text)
{
    return text.toUtf8() + '\n';
}

QString number(qint64 n)
{
    return QLocale(QLocale::English).toString(n);
}

QStringList paramsFor(const CopyRequest& r, const QString& server, const QString& database)
{
    Options o;
    o.server = server;
    o.serverGiven = true;
    o.user = r.user;
    o.password = r.password;
    return connectionParams(o, database);
}

// The database being made: aside until commit(), removed by discard().
class Target {
public:
    virtual ~Target() = default;
    virtual db::Engine& engine() = 0;
    // Rows per INSERT: SQL Server takes at most 2,100 parameters and 1,000
    // rows in one VALUES list.
    virtual int parameterLimit() const = 0;
    virtual void commit() = 0;
    // Removes what was made; returns what could not be removed, if anything.
    virtual QString discard() = 0;
};

// Made in a hidden folder beside the site's databases, so that the engine
// never sees it as a database until it is whole, then moved into place.
class EmbeddedTarget : public Target {
public:
    EmbeddedTarget(const QString& folder, const QString& database)
        : folder_(QDir(folder.isEmpty() ? QStringLiteral(".") : folder).absolutePath()), database_(database),
          work_(QDir(folder_).filePath(QStringLiteral(".qel-copy-%1-%2").arg(database.toUpper()).arg(
              QCoreApplication::applicationPid())))
    {
        if (!QDir().mkpath(folder_) || !QDir().mkpath(work_))
            throw db::DbError(QStringLiteral("Cannot make the folder %1").arg(work_));
        db::sqlite::createDatabase(work_, database_);
        engine_ = std::make_unique<db::sqlite::SqliteEngine>(work_, database_);
    }

    db::Engine& engine() override { return *engine_; }
    int parameterLimit() const override { return 30000; }

    void commit() override
    {
        // Closing the last session folds the write-ahead log into the file.
        engine_.reset();
        const QString made = db::sqlite::findDatabaseFile(work_, database_);
        const QString place = QDir(folder_).filePath(QFileInfo(made).fileName());
        if (!db::sqlite::findDatabaseFile(folder_, database_).isEmpty())
            throw db::DbError(QStringLiteral("Database '%1' appeared in %2 while copying.").arg(database_, folder_));
        for (const QString& suffix : {QStringLiteral("-wal"), QStringLiteral("-shm")}) {
            if (QFileInfo::exists(made + suffix))
                throw db::DbError(QStringLiteral("The copy %1 was not closed cleanly.").arg(made));
        }
        QFile file(made);
        if (!file.rename(place))
            throw db::DbError(QStringLiteral("Cannot move %1 to %2: %3").arg(made, place, file.errorString()));
        QDir(work_).removeRecursively();
    }

    QString discard() override
    {
        engine_.reset();
        if (QDir(work_).removeRecursively() || !QFileInfo::exists(work_))
            return QString();
        return QStringLiteral("the unfinished copy in %1 could not be removed; remove it by hand").arg(work_);
    }

private:
    QString folder_;
    QString database_;
    QString work_;
    std::unique_ptr<db::Engine> engine_;
};

class ServerTarget : public Target {
public:
    ServerTarget(const CopyRequest& r, const QString& database) : request_(r), database_(database)
    {
        master()->execute(QStringLiteral("CREATE DATABASE %1").arg(bracketed(database)), db::ParamValues());
        made_ = true;
        engine_ = db::openEngine(paramsFor(request_, request_.to, database));
    }

    db::Engine& engine() override { return *engine_; }
    int parameterLimit() const override { return 2000; }
    void commit() override { engine_.reset(); }

    QString discard() override
    {
        engine_.reset();
        if (!made_)
            return QString();
        try {
            const auto m = master();
            m->execute(QStringLiteral("ALTER DATABASE %1 SET SINGLE_USER WITH ROLLBACK IMMEDIATE").arg(bracketed(database_)),
                       db::ParamValues());
            m->execute(QStringLiteral("DROP DATABASE %1").arg(bracketed(database_)), db::ParamValues());
        } catch (const db::DbError& e) {
            return QStringLiteral("the unfinished database %1 on %2 could not be dropped (%3); drop it by hand")
                .arg(database_, request_.to, e.message());
        }
        return QString();
    }

private:
    std::unique_ptr<db::Engine> master() const
    {
        return db::openEngine(paramsFor(request_, request_.to, QStringLiteral("master")));
    }

    const CopyRequest& request_;
    QString database_;
    bool made_ = false;
    std::unique_ptr<db::Engine> engine_;
};

bool targetExists(const CopyRequest& r)
{
    QString folder;
    if (isEmbeddedServer(r.to, &folder))
        return !db::sqlite::findDatabaseFile(folder.isEmpty() ? QStringLiteral(".") : folder, r.database).isEmpty();
    db::ParamValues p;
    p.set(QStringLiteral("Name"), r.database);
    const db::ResultSet found = db::openEngine(paramsFor(r, r.to, QStringLiteral("master")))
                                    ->execute(QStringLiteral("SELECT DB_ID(:Name)"), p);
    return !found.rows.empty() && !found.rows.front().value(0).isNull();
}

std::unique_ptr<CatalogSource> openSource(const CopyRequest& r)
{
    QString folder;
    if (isEmbeddedServer(r.from, &folder))
        return std::make_unique<EmbeddedCatalog>(folder.isEmpty() ? QStringLiteral(".") : folder, r.database);
    return std::make_unique<ServerCatalog>(db::openEngine(paramsFor(r, r.from, r.database)));
}

std::unique_ptr<Target> makeTarget(const CopyRequest& r)
{
    QString folder;
    if (isEmbeddedServer(r.to, &folder))
        return std::make_unique<EmbeddedTarget>(folder, r.database);
    return std::make_unique<ServerTarget>(r, r.database);
}

// A failure with the object it happened on.
db::DbError failedOn(const QString& what, const db::DbError& e)
{
    return db::DbError(QStringLiteral("%1: %2").arg(what, e.message()));
}

void run(db::Engine& engine, const QString& sql, const QString& what)
{
    try {
        engine.execute(sql, db::ParamValues());
    } catch (const db::DbError& e) {
        throw failedOn(what, e);
    }
}

class Copier {
public:
    Copier(const CopyRequest& r, QIODevice& out, QIODevice& err)
        : request_(r), out_(out), progress_(err, Progress::onTerminal(err))
    {
    }

    void copy(CatalogSource& source, Target& target);
    qint64 rows() const { return rows_; }
    const Catalog& catalog() const { return catalog_; }

private:
    void copyRows(CatalogSource& source, db::Engine& target, const TableDef& table, int limit);
    void makeViews(db::Engine& target);
    // A plain line for logs; on a terminal the bar says it.
    void say(const QString& text)
    {
        if (!progress_.enabled())
            out_.write(line(text));
    }

    const CopyRequest& request_;
    QIODevice& out_;
    Progress progress_;
    Catalog catalog_;
    qint64 rows_ = 0;
};

void Copier::copy(CatalogSource& source, Target& target)
{
    catalog_ = source.readCatalog();
    std::vector<qint64> counts;
    qint64 total = 0;
    for (const TableDef& t : std::as_const(catalog_.tables)) {
        counts.push_back(source.rowCount(t));
        total += counts.back();
    }
    say(QStringLiteral("Copying %1: %2 tables, %3 rows").arg(request_.database).arg(catalog_.tables.size()).arg(number(total)));

    db::Engine& engine = target.engine();
    for (const UserTypeDef& t : std::as_const(catalog_.types))
        run(engine, schema::createType(t), QStringLiteral("type ") + t.name);
    for (const TableDef& t : std::as_const(catalog_.tables))
        run(engine, schema::createTable(t), QStringLiteral("table ") + t.name);

    progress_.start(catalog_.tables.isEmpty() ? QString() : catalog_.tables.front().name, total);
    for (qsizetype i = 0; i < catalog_.tables.size(); ++i) {
        const TableDef& t = catalog_.tables[i];
        progress_.setLabel(t.name);
        const qint64 before = rows_;
        copyRows(source, engine, t, target.parameterLimit());
        const qint64 copied = rows_ - before;
        // The source changed under the copy (a live company): the copy would
        // not be the company as it was at any one moment.
        if (copied != counts[size_t(i)])
            throw db::DbError(QStringLiteral("table %1: %2 rows were read but the table held %3 when the copy began; "
                                             "copy again when the source is not in use")
                                  .arg(t.name, number(copied), number(counts[size_t(i)])));
        say(QStringLiteral("  %1 %2 rows").arg(t.name, -32).arg(number(copied), 11));
        if (request_.afterTable)
            request_.afterTable(t.name);
    }
    // Indexes and keys are made over the rows; on a large company checking
    // the keys takes a while, so the bar counts them too.
    qint64 objects = 0;
    for (const TableDef& t : std::as_const(catalog_.tables))
        objects += t.indexes.size() + t.foreignKeys.size();
    progress_.start(QStringLiteral("indexes and foreign keys"), objects);
    for (const TableDef& t : std::as_const(catalog_.tables)) {
        for (const KeyDef& k : t.indexes) {
            run(engine, schema::createIndex(t, k), QStringLiteral("index %1 on %2").arg(k.name, t.name));
            progress_.advance();
        }
    }
    for (const TableDef& t : std::as_const(catalog_.tables)) {
        for (const ForeignKeyDef& k : t.foreignKeys) {
            run(engine, schema::addForeignKey(t, k), QStringLiteral("foreign key %1 on %2").arg(k.name, t.name));
            progress_.advance();
        }
    }
    progress_.finish();
    makeViews(engine);
    for (const ModuleDef& p : std::as_const(catalog_.procedures))
        run(engine, schema::createModule(p), QStringLiteral("procedure ") + p.name);

    // What the target holds, not what was sent: rows a target dropped or
    // doubled would otherwise go unnoticed.
    for (qsizetype i = 0; i < catalog_.tables.size(); ++i) {
        const TableDef& t = catalog_.tables[i];
        const db::ResultSet r = engine.execute(QStringLiteral("SELECT COUNT(*) FROM ") + bracketed(t.name), db::ParamValues());
        const qint64 held = r.rows.empty() ? -1 : r.rows.front().value(0).toLongLong();
        if (held != counts[size_t(i)])
            throw db::DbError(QStringLiteral("table %1: the copy holds %2 rows, the source %3")
                                  .arg(t.name, number(held), number(counts[size_t(i)])));
    }
}

void Copier::copyRows(CatalogSource& source, db::Engine& target, const TableDef& table, int limit)
{
    const int columns = std::max(1, int(table.columns.size()));
    const int batchRows = std::clamp(limit / columns, 1, 1000);
    const QString what = QStringLiteral("rows of ") + table.name;
    // Ids are copied as they are, so that every reference to them holds.
    if (table.hasIdentity())
        run(target, QStringLiteral("SET IDENTITY_INSERT %1 ON").arg(bracketed(table.name)), what);
    QString fullBatch;
    const schema::RowBinder binder(batchRows, int(table.columns.size()));
    db::ParamValues params;
    try {
        source.readRows(table, batchRows, [&](const std::vector<Row>& rows) {
            const int n = int(rows.size());
            if (n == batchRows && fullBatch.isEmpty())
                fullBatch = schema::insertRows(table, batchRows);
            binder.bind(rows, params);
            target.execute(n == batchRows ? fullBatch : schema::insertRows(table, n), params);
            rows_ += n;
            progress_.advance(n);
        });
    } catch (const db::DbError& e) {
        throw failedOn(what, e);
    }
    if (table.hasIdentity())
        run(target, QStringLiteral("SET IDENTITY_INSERT %1 OFF").arg(bracketed(table.name)), what);
}

void Copier::makeViews(db::Engine& target)
{
    // A view may use one made after it: such views wait until a round makes
    // no progress, and only then is the failure reported.
    QList<ModuleDef> waiting = catalog_.views;
    while (!waiting.isEmpty()) {
        QList<ModuleDef> failed;
        db::DbError firstError(QString{});
        for (const ModuleDef& v : std::as_const(waiting)) {
            try {
                target.execute(schema::createModule(v), db::ParamValues());
            } catch (const db::DbError& e) {
                if (failed.isEmpty())
                    firstError = failedOn(QStringLiteral("view ") + v.name, e);
                failed.append(v);
            }
        }
        if (failed.size() == waiting.size())
            throw firstError;
        waiting = failed;
    }
}

} // namespace

bool isCopyOption(const QString& argument)
{
    return isCommandOption(argument, {kFrom, kTo});
}

bool parseCopyArguments(const QStringList& arguments, CopyRequest* request, QString* error)
{
    CopyRequest r;
    bool haveFrom = false;
    bool haveTo = false;
    QList<CommandArgument> split;
    if (!splitCommandArguments(arguments, {kFrom, kTo}, &split, error))
        return false;
    for (const CommandArgument& a : std::as_const(split)) {
        if (!a.option.isEmpty()) {
            if (a.value.trimmed().isEmpty()) {
                *error = QStringLiteral("%1 needs a server").arg(a.option);
                return false;
            }
            const bool from = a.option == kFrom;
            (from ? r.from : r.to) = a.value;
            (from ? haveFrom : haveTo) = true;
        } else if (r.database.isEmpty() && !a.value.trimmed().isEmpty()) {
            r.database = a.value.trimmed();
        } else {
            *error = QStringLiteral("copy takes one database name");
            return false;
        }
    }
    if (!haveFrom || !haveTo) {
        *error = QStringLiteral("copy needs --from SERVER and --to SERVER");
        return false;
    }
    if (r.database.isEmpty()) {
        *error = QStringLiteral("copy needs the name of the database to copy");
        return false;
    }
    r.afterTable = request->afterTable;
    r.user = request->user;
    r.password = request->password;
    *request = r;
    return true;
}

int copyDatabase(const CopyRequest& request, QIODevice& out, QIODevice& err)
{
    const QString prefix = QStringLiteral("qel-db: copy: ");
    QElapsedTimer clock;
    clock.start();
    std::unique_ptr<CatalogSource> source;
    try {
        source = openSource(request);
        if (targetExists(request)) {
            err.write(line(prefix + QStringLiteral("%1 already holds a database %2; copy makes a new database and "
                                                   "never overwrites one")
                                        .arg(request.to, request.database)));
            return 1;
        }
    } catch (const db::DbError& e) {
        err.write(line(prefix + e.message()));
        return 1;
    }

    std::unique_ptr<Target> target;
    Copier copier(request, out, err);
    try {
        target = makeTarget(request);
        copier.copy(*source, *target);
        target->commit();
    } catch (const db::DbError& e) {
        QString message = prefix + e.message();
        if (target) {
            const QString left = target->discard();
            message += left.isEmpty() ? QStringLiteral("; nothing was left in %1").arg(request.to)
                                      : QStringLiteral("; ") + left;
        }
        err.write(line(message));
        return 1;
    }
    const Catalog& c = copier.catalog();
    out.write(line(QStringLiteral("Copied %1 from %2 to %3: %4 tables, %5 rows, %6 views, %7 procedures in %8 s")
                       .arg(request.database, request.from, request.to)
                       .arg(c.tables.size())
                       .arg(number(copier.rows()))
                       .arg(c.views.size())
                       .arg(c.procedures.size())
                       .arg(clock.elapsed() / 1000.0, 0, 'f', 1)));
    return 0;
}

} // namespace qeldb
