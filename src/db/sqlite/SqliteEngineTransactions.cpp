// The session's transactions as the batch runner sees them: BEGIN, COMMIT,
// ROLLBACK and SAVE statements, and what the end of a batch does to a
// transaction an error left unable to commit.

#include "SqliteEngine.h"

#include "db/Query.h"

namespace db::sqlite {

void SqliteEngine::runAsBatch(const std::function<void()>& body)
{
    statementErrors_.clear();
    try {
        body();
    } catch (const DbError&) {
        if (transactions_->doomed())
            rollbackAll();
        throw;
    }
    endBatch();
    if (!statementErrors_.isEmpty())
        throw DbError(statementErrors_.takeFirst());
}

void SqliteEngine::endBatch()
{
    if (!transactions_->doomed())
        return;
    rollbackAll();
    throw DbError(QStringLiteral("Uncommittable transaction is detected at the end of the batch. The transaction is "
                                 "rolled back."));
}

void SqliteEngine::rollbackAll()
{
    if (transactions_->count() > 0)
        rollback(QString());
}

void SqliteEngine::rollback(const QString& name)
{
    // No statement of the session may be running, and what was read of the
    // schema inside the transaction may be undone with it.
    if (transactions_->count() > 0) {
        schemaChanged();
        procedures_.clear();
    }
    // A table variable's rows outlive the transaction.
    const TableVariables::Rows kept = tableVariables_.rows();
    transactions_->rollback(name);
    tableVariables_.putBack(kept);
    loadNoCheck();
}

void SqliteEngine::runTransaction(const Stmt& s, Frame& frame)
{
    const QString name = s.expr ? variantToText(evaluate(*s.expr, &s, 0, frame)) : s.table;
    if (s.objectType == QLatin1String("BEGIN")) {
        transactions_->begin(name);
    } else if (s.objectType == QLatin1String("COMMIT")) {
        transactions_->commit();
    } else if (s.objectType == QLatin1String("SAVE")) {
        transactions_->save(name);
    } else {
        rollback(name);
    }
}

} // namespace db::sqlite
