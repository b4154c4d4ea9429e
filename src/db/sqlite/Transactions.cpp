#include "Transactions.h"

#include "db/DbError.h"

#include <sqlite3.h>

namespace db::sqlite {

namespace {

const char kDoomed[] = "The current transaction cannot be committed and cannot support operations that write to the "
                       "log file. Roll back the transaction.";

QString savepointName(qsizetype index)
{
    return QStringLiteral("qel_save_%1").arg(index);
}

} // namespace

void Transactions::exec(const QString& sql)
{
    char* message = nullptr;
    if (sqlite3_exec(handle_, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        const QString text = QString::fromUtf8(message ? message : sqlite3_errmsg(handle_));
        sqlite3_free(message);
        throw DbError(text);
    }
}

void Transactions::begin(const QString& name)
{
    if (count_ == 0) {
        exec(QStringLiteral("BEGIN"));
        name_ = name;
        savepoints_.clear();
        doomed_ = false;
    }
    ++count_;
}

void Transactions::commit()
{
    if (count_ == 0)
        throw DbError(QStringLiteral("The COMMIT TRANSACTION request has no corresponding BEGIN TRANSACTION."));
    if (doomed_)
        throw DbError(QLatin1String(kDoomed));
    if (count_ == 1)
        exec(QStringLiteral("COMMIT"));
    --count_;
}

void Transactions::rollback(const QString& name)
{
    if (count_ == 0)
        throw DbError(QStringLiteral("The ROLLBACK TRANSACTION request has no corresponding BEGIN TRANSACTION."));
    if (!name.isEmpty() && name != name_) {
        // Names are told apart by case, as SQL Server's transaction names are.
        const qsizetype at = savepoints_.lastIndexOf(name);
        if (at < 0)
            throw DbError(
                QStringLiteral("Cannot roll back %1. No transaction or savepoint of that name was found.").arg(name));
        if (doomed_)
            throw DbError(QLatin1String(kDoomed));
        exec(QStringLiteral("ROLLBACK TO ") + savepointName(at));
        savepoints_.resize(at + 1);
        return;
    }
    count_ = 0;
    doomed_ = false;
    savepoints_.clear();
    name_.clear();
    exec(QStringLiteral("ROLLBACK"));
}

void Transactions::save(const QString& name)
{
    if (count_ == 0)
        throw DbError(QStringLiteral("Cannot issue SAVE TRANSACTION when there is no active transaction."));
    checkWritable();
    exec(QStringLiteral("SAVEPOINT ") + savepointName(savepoints_.size()));
    savepoints_.append(name);
}

void Transactions::checkWritable() const
{
    if (doomed_)
        throw DbError(QLatin1String(kDoomed));
}

} // namespace db::sqlite
