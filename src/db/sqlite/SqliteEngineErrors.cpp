// Errors on their way out of statements: where they are caught (TRY...CATCH),
// what the CATCH block reads of them, and the statements that raise them
// (THROW, RAISERROR).

#include "SqliteEngine.h"

#include "ErrorNumbers.h"
#include "RaiserrorText.h"
#include "db/Query.h"

#include <QScopeGuard>

#include <limits>
#include <optional>

namespace db::sqlite {

RaisedError SqliteEngine::raised(const DbError& e, const Stmt& s, const Frame& frame) const
{
    if (const auto* already = dynamic_cast<const RaisedError*>(&e))
        return *already;
    QString message = e.message();
    // What the engine cannot translate is named with the text near it.
    if (frame.batch && message.startsWith(QLatin1String("The embedded engine does not support"))
        && !message.contains(QLatin1String(" (line "))) {
        message += QStringLiteral(" (line %1, near \"%2\")").arg(s.line).arg(frame.batch->text.mid(s.pos, 60).simplified());
    }
    const ErrorNumber number = errorNumber(message);
    ErrorDetails details;
    details.number = number.number;
    // A duplicate key is a user's mistake to SQL Server; the rest here are errors of the statement.
    details.severity = number.number == 2627 || number.number == 2601 ? 14 : 16;
    details.line = s.line;
    details.procedure = frame.procedure;
    details.endsOnlyTheStatement = number.endsOnlyTheStatement;
    details.abortsTransaction = number.abortsTransaction;
    return RaisedError(message, details);
}

SqliteEngine::Flow SqliteEngine::runTryCatch(const Stmt& s, Frame& frame, ResultSet& result)
{
    std::optional<RaisedError> error;
    ++tryDepth_;
    try {
        const Flow f = runList(s.body, frame, result);
        --tryDepth_;
        return f;
    } catch (const RaisedError& e) {
        --tryDepth_;
        error = e;
    } catch (...) {
        --tryDepth_;
        throw;
    }
    // What would have rolled the transaction back outside TRY leaves it
    // able only to roll back.
    if ((xactAbort_ && !error->details().fromRaiserror) || error->details().abortsTransaction)
        transactions_->doom();
    caught_.push_back(*error);
    const auto handled = qScopeGuard([&] { caught_.pop_back(); });
    lastError_ = error->details().number;
    return runList(s.catchBody, frame, result);
}

void SqliteEngine::runThrow(const Stmt& s, Frame& frame)
{
    if (s.values.empty()) {
        if (caught_.empty())
            throw DbError(QStringLiteral("To rethrow an error, a THROW statement must be used inside a CATCH block."));
        ErrorDetails again = caught_.back().details();
        again.endsOnlyTheStatement = false;  // THROW always ends the batch, XACT_ABORT applies to it
        again.fromRaiserror = false;
        throw RaisedError(caught_.back().message(), again);
    }
    const std::vector<ExprPtr>& args = s.values.front();
    const QVariant number = evaluate(*args[0], args[0].get(), 0, frame);
    const QVariant message = evaluate(*args[1], args[1].get(), 0, frame);
    const QVariant state = evaluate(*args[2], args[2].get(), 0, frame);
    const qint64 n = number.isNull() ? 0 : variantToInteger(number);
    if (n < 50000 || n > std::numeric_limits<qint32>::max())
        throw DbError(QStringLiteral("Error number %1 in the THROW statement is outside the valid range. Specify an "
                                     "error number in the valid range of 50000 to 2147483647.")
                          .arg(n));
    const qint64 st = state.isNull() ? -1 : variantToInteger(state);
    if (st < 0 || st > 255)
        throw DbError(QStringLiteral("The value %1 for the state parameter in the THROW statement is outside the "
                                     "valid range. Specify a state value in the range of 0 to 255.")
                          .arg(st));
    ErrorDetails details;
    details.number = int(n);
    details.state = int(st);
    details.line = s.line;
    details.procedure = frame.procedure;
    throw RaisedError(variantToText(message), details);
}

void SqliteEngine::runRaiserror(const Stmt& s, Frame& frame)
{
    QVector<QVariant> values;
    for (const ExprPtr& e : s.values.front())
        values.append(evaluate(*e, e.get(), 0, frame));
    ErrorDetails details;
    details.severity = int(values[1].isNull() ? 0 : variantToInteger(values[1]));
    details.state = int(values[2].isNull() ? 0 : variantToInteger(values[2]));
    // Up to severity 10 it is a message, not an error; the engine has no
    // channel for messages, as for PRINT.
    if (details.severity <= 10)
        return;
    details.line = s.line;
    details.procedure = frame.procedure;
    details.endsOnlyTheStatement = true;
    details.fromRaiserror = true;
    const QVariant& message = values[0];
    QString text;
    if (message.typeId() == QMetaType::QString) {
        text = raiserrorText(message.toString(), values.mid(3));
    } else {
        // A number names a message added with sp_addmessage, which the engine does not keep.
        const qint64 id = message.isNull() ? 0 : variantToInteger(message);
        text = QStringLiteral("Error %1, severity %2, state %3 was raised, but no message with that error number was "
                              "found in sys.messages. If error is larger than 50000, make sure the user-defined "
                              "message is added using sp_addmessage.")
                   .arg(id)
                   .arg(details.severity)
                   .arg(details.state);
        details.number = 18054;
    }
    throw RaisedError(text, details);
}

QVariant SqliteEngine::sessionValue(const QString& name) const
{
    if (name == QLatin1String("@@ERROR"))
        return lastError_;
    if (name == QLatin1String("@@TRANCOUNT"))
        return transactions_->count();
    if (name == QLatin1String("XACT_STATE()"))
        return transactions_->state();
    // The ERROR_...() functions answer inside a CATCH block and NULL elsewhere.
    if (caught_.empty())
        return QVariant();
    const RaisedError& e = caught_.back();
    const ErrorDetails& d = e.details();
    if (name == QLatin1String("ERROR_NUMBER()"))
        return d.number;
    if (name == QLatin1String("ERROR_MESSAGE()"))
        return e.message();
    if (name == QLatin1String("ERROR_SEVERITY()"))
        return d.severity;
    if (name == QLatin1String("ERROR_STATE()"))
        return d.state;
    if (name == QLatin1String("ERROR_LINE()"))
        return d.line;
    if (name == QLatin1String("ERROR_PROCEDURE()") && !d.procedure.isEmpty())
        return d.procedure;
    return QVariant();
}

} // namespace db::sqlite
