#pragma once

#include "db/Connection.h"
#include "db/Engine.h"
#include "db/Query.h"
#include "support/QtPrinters.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

#include <initializer_list>
#include <memory>
#include <utility>

// A real embedded database in a temporary folder, registered under an alias
// for the duration of a test.
class EmbeddedDb {
public:
    explicit EmbeddedDb(const QString& alias = QStringLiteral("TESTDB"),
                        const QString& database = QStringLiteral("TESTDB"));
    ~EmbeddedDb();

    QString folder() const { return dir_.path(); }
    const QString& alias() const { return alias_; }
    db::Connection& connection() { return *connection_; }

    // Runs a batch (statements separated as T-SQL allows).
    void exec(const QString& sql, std::initializer_list<std::pair<const char*, QVariant>> params = {});
    // Opens a query over `sql` with the given parameters and returns it.
    std::unique_ptr<db::Query> open(const QString& sql,
                                    std::initializer_list<std::pair<const char*, QVariant>> params = {});
    std::unique_ptr<db::Query> open(const QStringList& lines,
                                    std::initializer_list<std::pair<const char*, QVariant>> params = {});
    // First column of the first row, as text ("" when no row).
    QString scalar(const QString& sql, std::initializer_list<std::pair<const char*, QVariant>> params = {});
    // All rows as "a|b|c" lines, NULL written as <null>.
    QStringList rows(const QString& sql, std::initializer_list<std::pair<const char*, QVariant>> params = {});

    // The database error text of running `sql`, or "" when it succeeded.
    QString errorOf(const QString& sql);

private:
    QTemporaryDir dir_;
    QString alias_;
    std::unique_ptr<db::Connection> connection_;
};

// Every row as an "a|b|c" line, NULL written as <null>.
QStringList rowsOf(const db::Query& q);
QStringList rowsOf(const db::ResultSet& r);
