#pragma once

// qel-db: creates databases, runs T-SQL scripts and queries, on SQL Server
// or on the embedded engine, for whoever installs or looks after the
// program. Everything but the process entry point lives here so that the
// tests can drive it without starting a process.

#include "db/Engine.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <vector>

class QIODevice;

namespace qeldb {

// The program's own login and configuration database, used when the command
// line names none.
inline constexpr char kDefaultServer[] = "QEL";
inline constexpr char kDefaultDatabase[] = "QEL_CONFIG";
inline constexpr char kDefaultUser[] = "qel";
inline constexpr char kDefaultPassword[] = "marigold";

struct Options {
    QString server;            // as given with --server; see serverGiven
    bool serverGiven = false;  // false: the server comes from Server.Dat
    QString database = QString::fromLatin1(kDefaultDatabase);
    QString user = QString::fromLatin1(kDefaultUser);
    QString password = QString::fromLatin1(kDefaultPassword);
    QString timeout = QStringLiteral("600");  // --timeout: seconds a batch may run, 0 for no bound
    bool verbose = false;
    QString command;       // "create", "script", "query", "create-demo", "generate" or "price"
    QStringList arguments;  // what follows the command
};

struct CommandLine {
    enum class Outcome { Run, Help, UsageError };
    Outcome outcome = Outcome::UsageError;
    Options options;
    QString error;  // why the command line was refused
};

// Reads the arguments that follow the program name.
CommandLine parseCommandLine(const QStringList& arguments);

QString usageText();

// The server named by the first line of the file at `path`, taken as written
// (the line end dropped, blanks kept), as the program reads it; "QEL" when
// the file is missing or that line is empty.
QString serverNameFromFile(const QString& path);

// The server the options select: --server, otherwise "Server.Dat" in the
// current folder.
QString serverName(const Options& options);

// The connection parameter list ("NAME=VALUE" lines) for `database` on the
// server the options select.
QStringList connectionParams(const Options& options, const QString& database);
// The same for the database the options name (--database).
QStringList connectionParams(const Options& options);

// Whether `server` selects the embedded engine ("sqlite:FOLDER", read as the
// access layer reads it); if so, `folder` receives FOLDER.
bool isEmbeddedServer(const QString& server, QString* folder = nullptr);

// One batch of a script and the 1-based line its text begins on.
struct Batch {
    int line = 0;
    QString sql;
};

// Script file contents as text: UTF-8, a leading byte-order mark dropped.
QString decodeScript(const QByteArray& bytes);

// Splits a script at lines holding only GO or only "/" (any case, blanks
// around allowed). Batches holding nothing but blanks are dropped. A batch's
// line is that of its first non-blank line, where a reader would look for it.
std::vector<Batch> splitBatches(const QString& text);

// A value as the query command prints it, as SQL Server's own client shows
// it: NULL, numbers in their shortest exact decimal form, datetime as
// yyyy-MM-dd HH:mm:ss.zzz, a date (a QDate, or a value of a column `type`
// names DATE) as yyyy-MM-dd, smalldatetime to the second, a real to the
// digits its four bytes hold, binary as 0x...,
// text as stored with tabs and line breaks escaped so that one row stays one
// line.
QString formatValue(const QVariant& value, const QString& type = QString());

// The whole result as tab-separated lines: the column names, then one line
// per row. Empty when the batch returned no row set.
QByteArray formatResult(const db::ResultSet& result);

// Runs the tool: `arguments` follow the program name, normal output goes to
// `out` and messages to `err`. Returns the process exit status: 0 done,
// 1 failed, 2 bad command line.
int run(const QStringList& arguments, QIODevice& out, QIODevice& err);

} // namespace qeldb
