#pragma once

#include <QString>

// SQL Server's numbers for the errors the embedded engine words as SQL Server
// does: what @@ERROR gives after them, and whether SQL Server ends only the
// failing statement (a broken constraint, a division by zero, an overflow, a
// value too long for its column) or the whole batch.
namespace db::sqlite {

struct ErrorNumber {
    int number = 0;
    bool endsOnlyTheStatement = false;
    // A conversion error ends the batch and rolls back an open transaction;
    // a name that is not there ends the batch and leaves it open.
    bool abortsTransaction = false;
};

// Never 0: an error the engine words in its own terms counts as 50000, the
// number SQL Server gives a message that has none of its own.
ErrorNumber errorNumber(const QString& message);

} // namespace db::sqlite
