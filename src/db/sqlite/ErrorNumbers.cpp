#include "ErrorNumbers.h"

#include <iterator>

namespace db::sqlite {

ErrorNumber errorNumber(const QString& message)
{
    struct Row {
        const char* start;
        int number;
        bool statementOnly;
    };
    // The more particular of two wordings that share a start comes first.
    static const Row rows[] = {
        {"Violation of PRIMARY KEY constraint", 2627, true},
        {"Violation of UNIQUE KEY constraint", 2627, true},
        {"Cannot insert duplicate key row", 2601, true},
        {"Cannot insert the value NULL into column", 515, true},
        {"The INSERT statement conflicted with", 547, true},
        {"The UPDATE statement conflicted with", 547, true},
        {"The DELETE statement conflicted with", 547, true},
        {"INSERT statement conflicted with", 547, true},
        {"UPDATE statement conflicted with", 547, true},
        {"DELETE statement conflicted with", 547, true},
        {"Divide by zero error encountered.", 8134, true},
        {"Arithmetic overflow error", 8115, true},
        {"String or binary data would be truncated", 8152, true},
        {"Conversion failed when converting date and/or time", 241, false},
        {"Conversion failed when converting", 245, false},
        {"The conversion of a varchar data type to a", 242, false},
        {"Error converting data type", 8114, false},
        {"Invalid object name", 208, false},
        {"Invalid column name", 207, false},
        {"Must declare the scalar variable", 137, false},
        {"Must declare the table variable", 1087, false},
        {"Incorrect syntax near", 102, false},
        {"Could not find stored procedure", 2812, false},
        {"There is already an object named", 2714, false},
        {"Argument data type", 8116, false},
        {"Invalid length parameter passed to the", 536, false},
        {"The datepart", 9810, false},
        {"Maximum stored procedure, function, trigger, or view nesting level exceeded", 217, false},
        {"Some part of your SQL statement is nested too deeply", 191, false},
        {"Procedure or function", 201, false},
        {"Cannot insert explicit value for identity column", 544, false},
        {"Cannot update identity column", 8102, false},
        {"The COMMIT TRANSACTION request has no corresponding", 3902, true},
        {"The ROLLBACK TRANSACTION request has no corresponding", 3903, true},
        {"Cannot issue SAVE TRANSACTION when there is no active transaction", 628, true},
        {"Cannot roll back ", 6401, true},
        {"Transaction count after EXECUTE indicates", 266, true},
        {"The current transaction cannot be committed", 3930, true},
        {"Uncommittable transaction is detected at the end of the batch", 3998, false},
        {"To rethrow an error, a THROW statement must be used inside a CATCH block", 10704, false},
    };
    if (message.contains(QLatin1String("has too many arguments specified")))
        return {8144, false};
    if (message.contains(QLatin1String("has already been declared. Variable names must be unique")))
        return {134, false};
    for (const Row& row : rows) {
        if (message.startsWith(QLatin1String(row.start))) {
            const bool conversion = row.number == 241 || row.number == 242 || row.number == 245 || row.number == 8114;
            return {row.number, row.statementOnly, conversion || row.number == 217};
        }
    }
    if (message.contains(QLatin1String("is not a recognized built-in function name")))
        return {195, false};
    return {50000, false};
}

} // namespace db::sqlite
