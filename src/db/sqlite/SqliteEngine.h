#pragma once

#include "RaisedError.h"
#include "SqlGenerator.h"
#include "TableVariables.h"
#include "Transactions.h"
#include "TrigramIndexes.h"
#include "TrigramMatches.h"
#include "TsqlAst.h"
#include "db/Engine.h"

#include <QHash>
#include <QSet>
#include <QSqlDatabase>
#include <QString>

#include <chrono>
#include <optional>
#include <functional>
#include <memory>

class QSqlQuery;
struct sqlite3;
struct sqlite3_stmt;

namespace db::sqlite::fn {
struct SessionSettings;
}

namespace db::sqlite {

class SqliteCursor;

// The file that holds database `name` in `folder` ("NAME.sqlite", the name
// matched without regard to case as SQL Server matches database names), or
// an empty string when there is none.
QString findDatabaseFile(const QString& folder, const QString& name);

// Makes an empty database; fails with SQL Server's message when it exists.
void createDatabase(const QString& folder, const QString& name);

// Sees every SQLite statement the engine runs, with its bound values (for
// measuring the engine beside SQLite itself). One for the process; empty:
// none. Set it before the engine is used.
using StatementObserver = std::function<void(const QString& sql, const QVector<QVariant>& values)>;
void setStatementObserver(StatementObserver observer);

// The embedded engine: one SQLite file per database, T-SQL translated into
// SQLite SQL (each statement text parsed once, each statement generated once
// per schema state), procedural statements interpreted here.
class SqliteEngine : public Engine, private SchemaInfo {
public:
    // `maxQueryTimeSeconds` bounds every batch and procedure call (0: no bound).
    SqliteEngine(const QString& folder, const QString& database, int maxQueryTimeSeconds = 0);
    ~SqliteEngine() override;

    ResultSet execute(const QString& sql, const ParamValues& params) override;
    // A batch of one SELECT is read lazily; any other as execute() runs it.
    std::unique_ptr<RowCursor> openCursor(const QString& sql, const ParamValues& params) override;
    void callProcedure(const QString& name, std::vector<ProcParam>& params) override;
    QString databaseName() const override { return database_; }
    bool isReadOnly() const override { return readOnly_; }

    QString filePath() const { return file_; }

    // Results of SELECTs carry their columns' types (ResultSet::columnTypes),
    // for a tool that prints them as SQL Server's client does; off by
    // default, since working them out costs more than many statements do.
    void setReportColumnTypes(bool on) { reportColumnTypes_ = on; }

    // The generator's rewrites, all on by default; tests switch them off to
    // compare with the plain statements.
    void setOptimizations(const Optimizations& o);

    // How long a statement's first-rows shape may step in one fetch (this
    // thread's processor time, looked at every kProgressTick virtual machine
    // steps) before the cursor goes on with the whole statement: a little
    // more than a block of thinly spread matches takes (about 2 ms for the
    // unit search at a million products). The trigram look-up is not
    // counted: the whole statement reads the same list. What the walk
    // spends in vain comes on top of the whole statement, so it stays
    // small. Tests lower it.
    static constexpr int kProgressTick = 1000;
    static constexpr std::chrono::nanoseconds kFirstRowsBudget = std::chrono::milliseconds(5);
    // A walk also gives up when this many rows of the trigram list in a row
    // failed the rest of the statement: its WHERE keeps few of the matches,
    // and the whole statement finds them sooner.
    static constexpr int kFruitlessCandidates = 256;
    void setFirstRowsBudget(std::chrono::nanoseconds budget) { firstRowsBudget_ = budget; }
    const TrigramMatches& trigramMatches() const { return trigramMatches_; }
    int handOvers() const { return handOvers_; }  // readers that went on with the whole shape

    // How SQLite would run each SELECT of the batch: the SQLite statement it
    // becomes, the names its "?" take in order (a "-- " line), then SQLite's
    // plan (EXPLAIN QUERY PLAN), one step a line, indented under its parent.
    // Runs nothing.
    QStringList explain(const QString& sql, const ParamValues& params);

private:
    friend class SqliteCursor;

    struct Variable {
        TypeName type;
        QVariant value;
    };
    struct Frame {
        QHash<QString, Variable> variables;  // names upper-cased, with "@"
        const ParamValues* params = nullptr;
        const Batch* batch = nullptr;  // the text being run, for messages
        QString procedure;             // the procedure being run; empty in a batch
        QVariant returnValue;
    };
    enum class Flow { Normal, Break, Continue, Return };

    struct Procedure {
        std::shared_ptr<const Batch> batch;  // keeps the definition alive
        const Stmt* definition = nullptr;    // the CREATE PROCEDURE statement
    };
    struct CallResult {
        QVector<QVariant> values;  // every parameter's value at the end, in declared order
        QVariant returnValue;
    };

    std::shared_ptr<const Batch> parse(const QString& sql);
    // The clock for "MAX QUERY TIME": started by each call from outside,
    // checked by SQLite's progress handler and by the interpreter's loops.
    void startClock();
    bool pastDeadline();
    void checkDeadline();
    static int onProgress(void* engine);
    void ensureCatalog();
    void rebuildIndexesForTheCollation();
    Procedure procedure(const QString& name);
    CallResult callProcedure(const Procedure& proc, const QVector<QVariant>& args, const QVector<bool>& supplied,
                             ResultSet& result);
    Flow runExec(const Stmt& s, Frame& frame, ResultSet& result);
    void runCreateProcedure(const Stmt& s);
    void runDropProcedure(const Stmt& s);
    void addUserType(const QString& name, const TypeName& base);
    bool objectExists(const QString& name);
    QVariant execArgument(const Stmt::ExecArg& arg, Frame& frame);
    Flow run(const Stmt& s, Frame& frame, ResultSet& result);
    Flow runList(const std::vector<StmtPtr>& list, Frame& frame, ResultSet& result);
    void runSelect(const Stmt& s, Frame& frame, ResultSet& result);
    void runSchemaChange(const Stmt& s, Frame& frame);
    void runCheckConstraints(const Stmt& s);
    void saveNoCheck(const QString& table);  // noCheck_ of one table into the file
    void loadNoCheck();                      // noCheck_ as the file has it
    void runDataChange(const Stmt& s, Frame& frame);
    // Runs the batch; errors that end only their statement are reported at the end.
    ResultSet runBatch(const std::vector<StmtPtr>& list, Frame& frame);
    void runAsBatch(const std::function<void()>& body);
    // An error leaving statement `s`, with its number, place and what it does
    // to the batch and the transaction.
    RaisedError raised(const DbError& e, const Stmt& s, const Frame& frame) const;
    void runTransaction(const Stmt& s, Frame& frame);
    Flow runTryCatch(const Stmt& s, Frame& frame, ResultSet& result);
    [[noreturn]] void runThrow(const Stmt& s, Frame& frame);
    void runRaiserror(const Stmt& s, Frame& frame);
    // Undoes the open transaction (or back to savepoint `name`) and forgets
    // what was read of the schema in it.
    void rollbackAll();
    void rollback(const QString& name);
    // A doomed transaction left at the end of a batch is rolled back, and said so.
    void endBatch();
    // @@ERROR, @@TRANCOUNT, XACT_STATE() and the ERROR_...() of the CATCH block running.
    QVariant sessionValue(const QString& name) const;
    void addConstraint(const Stmt& s, const TableConstraint& k);
    // The name a script gave a table's PRIMARY KEY or UNIQUE constraint on
    // these columns, or `fallback`.
    QString constraintName(const QString& table, const QString& kind, const QStringList& columns,
                           const QString& fallback) const;
    QVariant evaluate(const Expr& e, const void* key, int role, Frame& frame);
    bool test(const Expr& condition, const void* key, Frame& frame);
    const GeneratedSql& generated(const void* key, int role, const std::function<GeneratedSql()>& make);
    ResultSet runSql(const GeneratedSql& g, Frame& frame, const Stmt* stmt);
    void runSelectInto(const Stmt& s, Frame& frame);
    QVariant assignable(const Variable& target, const QVariant& given) const;
    QString translateError(const QString& message, const Stmt* stmt) const;
    struct ForeignKey {
        QString name, child, childColumn, parent, parentColumn;
        int id = -1;  // SQLite's number of the key within its table
    };
    // The key a failed statement broke, found by running it again with the
    // checks deferred inside a savepoint that is rolled back.
    const ForeignKey* brokenKey(QSqlQuery& failed, const std::vector<ForeignKey>& keys, const QString& verb,
                                const QString& table) const;
    mutable QSqlQuery* failedQuery_ = nullptr;
    std::vector<ForeignKey> foreignKeys() const;
    QString foreignKeyConflict(const QString& verb, const QString& table) const;
    void schemaChanged();
    void setDateFormat(const QString& format);
    // Prepared statements for lazy cursors: one idle statement per text is
    // kept between uses; a cursor holds its own while it reads.
    sqlite3_stmt* takeStatement(const QString& sql, const Stmt* stmt);
    void returnStatement(const QString& sql, sqlite3_stmt* statement);
    void finalizeIdleStatements();
    // The message of a failed step, which is also the session's @@ERROR from then on.
    QString stepError(sqlite3_stmt* statement, const Stmt* stmt);
    // Cursors let go of their statements (see SqliteCursor) before anything
    // else runs; `reading` is the one about to read on.
    void parkCursors(SqliteCursor* reading = nullptr);
    void beforeCursorFetch(SqliteCursor* cursor);
    // A cursor's first-rows shape steps only so far (see SqliteCursor): the
    // progress handler interrupts it once the budget is spent.
    void beginStepBudget();
    void endStepBudget() { stepBudgetEnd_.reset(); budgetLeft_.reset(); stepBudgetSpent_ = false; }
    void pauseStepBudget(bool pause);
    bool stepBudgetSpent() const { return stepBudgetSpent_; }

    // SchemaInfo
    QString columnType(const QString& table, const QString& column) const override;
    QStringList columns(const QString& table) const override;
    QString identityColumn(const QString& table) const override;
    bool columnNotNull(const QString& table, const QString& column) const override;
    TypeName userType(const QString& name) const override;
    TypeName variableType(const QString& name) const override;
    bool leadsAnIndex(const QString& table, const QString& column) const override;
    TrigramIndex trigramIndex(const QString& table, const QString& column) const override;
    // Where each column of a view comes from: upper-cased view column to
    // "TABLE.COLUMN" of its base table, for a view that reads each of its
    // tables once and neither groups nor combines rows; empty otherwise.
    QHash<QString, QString> viewOrigins(const QString& view) const;
    void syncTrigramIndexes();
    void analyzeNewTables();
    // Whether a locked file is waited for (and the wait shown) or refused at once.
    void waitForLocks(bool wait);
    void loadTable(const QString& table) const;
    QString tableDefinition(const QString& table) const;  // its CREATE TABLE; empty when there is none

    QString database_;
    QString file_;
    QString connectionName_;
    QSqlDatabase db_;
    SqlGenerator generator_;
    std::unique_ptr<fn::SessionSettings> session_;  // read by the built-ins; outlives db_'s functions
    QHash<QString, std::shared_ptr<const Batch>> parsed_;
    QHash<QPair<const void*, int>, GeneratedSql> generatedCache_;
    QHash<QString, QSqlQuery*> prepared_;
    sqlite3* handle_ = nullptr;
    QHash<QString, sqlite3_stmt*> idleStatements_;
    QSet<SqliteCursor*> cursors_;

    struct TableInfo {
        QStringList columns;
        QHash<QString, QString> types;  // upper-cased column -> declared type
        QString identity;               // the IDENTITY column, if any
        QSet<QString> notNull;          // upper-cased columns declared NOT NULL
        QSet<QString> leading;          // upper-cased columns that lead an index
        std::optional<QHash<QString, QString>> origins;  // a view's columns, read on first use
    };
    QSet<QString> identityInsert_;      // upper-cased tables with IDENTITY_INSERT ON
    // Upper-cased tables whose foreign key and CHECK constraints are switched
    // off (ALTER TABLE ... NOCHECK CONSTRAINT), with the constraints named;
    // "ALL" for all of them. SQLite checks a table's constraints all or none.
    QHash<QString, QSet<QString>> noCheck_;
    qint64 rowcount_ = 0;               // SET ROWCOUNT: rows a SELECT returns at most, 0 for all
    QStringList statementErrors_;       // errors that ended a statement but not the batch
    const Frame* running_ = nullptr;    // the frame whose statement runs: its variables' types shape the SQL
    int lastError_ = 0;                 // @@ERROR: the number of the last statement's error, 0 after success
    std::unique_ptr<Transactions> transactions_;
    bool xactAbort_ = false;            // SET XACT_ABORT: any error rolls back and ends the batch
    int tryDepth_ = 0;                  // TRY blocks the running statement is in: errors go to their CATCH
    std::vector<RaisedError> caught_;   // the errors the running CATCH blocks handle, innermost last
    mutable QHash<QString, TableInfo> tables_;
    mutable QHash<QString, TypeName> userTypes_;
    mutable std::optional<QHash<QString, QString>> trigramIndexes_;  // the whole ones, read on first use
    QHash<QString, Procedure> procedures_;
    int callDepth_ = 0;
    TableVariables tableVariables_{db_, generator_, [this] { schemaChanged(); }};
    std::chrono::milliseconds maxQueryTime_{0};
    std::chrono::steady_clock::time_point deadline_;
    bool timedOut_ = false;
    std::chrono::nanoseconds firstRowsBudget_ = kFirstRowsBudget;
    std::optional<std::chrono::nanoseconds> stepBudgetEnd_;  // processor time, while a first-rows shape steps
    std::optional<std::chrono::nanoseconds> budgetLeft_;     // while a trigram look-up stops the budget's clock
    TrigramMatches trigramMatches_;
    int handOvers_ = 0;
    bool stepBudgetSpent_ = false;
    bool reportColumnTypes_ = false;
    bool readOnly_ = false;  // the file or its folder cannot be written by this user  // the running statement was interrupted for taking too long
};

} // namespace db::sqlite
