#pragma once

// qel-db copy --from SERVER --to SERVER2 DATABASE: one database's types,
// tables, keys, checks, indexes, views, procedures and rows copied from one
// engine to another (SQL Server or the embedded engine on either side),
// read from the source's catalog and written in batches.
//
// The target must not exist. It is made aside and only becomes DATABASE when
// everything is in and every table's row count agrees with the source; a
// failure on the way removes it, so there is never a half-made copy.

#include <QString>
#include <QStringList>

#include <functional>

class QIODevice;

namespace qeldb {

struct CopyRequest {
    QString from;  // servers as --server takes them: a host, or sqlite:FOLDER
    QString to;
    QString database;
    QString user;
    QString password;
    // Called when a table's rows are in, before the next table is read.
    std::function<void(const QString& table)> afterTable;
};

// The options copy takes after the command, each followed by a value.
bool isCopyOption(const QString& argument);

// Reads copy's arguments (--from, --to and the database). False with the
// reason when they are wrong.
bool parseCopyArguments(const QStringList& arguments, CopyRequest* request, QString* error);

// Runs the copy, printing a line per table (a progress bar on a terminal)
// and a last line with the totals. Returns the exit status.
int copyDatabase(const CopyRequest& request, QIODevice& out, QIODevice& err);

} // namespace qeldb
