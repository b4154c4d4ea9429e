#pragma once

#include "db/DbError.h"

namespace db::sqlite {

// An error on its way out of the statement that raised it, with what a
// CATCH block reads of it (ERROR_NUMBER() and its kin) and what a bare
// THROW raises again.
struct ErrorDetails {
    int number = 50000;
    int severity = 16;
    int state = 1;
    int line = 1;
    QString procedure;  // empty outside a procedure
    bool endsOnlyTheStatement = false;
    bool abortsTransaction = false;  // SQL Server rolls back an open transaction
    bool fromRaiserror = false;      // RAISERROR's errors: SET XACT_ABORT does not apply to them
};

class RaisedError : public DbError {
public:
    RaisedError(const QString& message, ErrorDetails details) : DbError(message), details_(std::move(details)) {}
    const ErrorDetails& details() const { return details_; }

private:
    ErrorDetails details_;
};

} // namespace db::sqlite
