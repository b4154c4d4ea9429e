#pragma once

#include <QString>
#include <stdexcept>

namespace db {

// The one exception type for every database failure. The message is the
// server's (or the access layer's) text, unchanged: the error handler matches
// fragments of SQL Server's English wording in it.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

} // namespace db
