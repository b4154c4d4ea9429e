#pragma once

#include "db/Engine.h"

#include <QString>
#include <QStringList>

namespace db::odbc {

// How the FreeTDS ODBC driver is named in a connection string: "{FreeTDS}"
// when it is registered with unixODBC (Debian's tdsodbc registers it by
// default), otherwise the path of the driver library, which unixODBC loads
// without any registration.
QString freeTdsDriver();

// The DSN-less connection string for FreeTDS built from a connection
// parameter list ("NAME=VALUE" lines). "SERVER NAME" may be written as SQL
// Server people write it: "host", "host,port", "host\instance", with an
// optional "tcp:" prefix; "(local)" and "." mean this machine. "MAX QUERY
// TIME" becomes the statement time-out and "TDS PACKET SIZE" the requested
// packet size; names with no meaning for FreeTDS are ignored. Throws DbError
// when the server is missing, its port is not a port number, or a value
// holds "};" (FreeTDS cannot read that inside braces).
QString odbcConnectionString(const QStringList& params, const QString& driver);
QString odbcConnectionString(const QStringList& params);  // with freeTdsDriver()

// The server's own words out of an ODBC diagnostic as Qt reports it: the
// "[vendor][component]" prefixes of each record and Qt's trailing SQLSTATE
// list are dropped, repeated records are given once, records are joined by
// line breaks.
QString serverMessage(const QString& odbcText);

// SQL Server through Qt's QODBC driver, unixODBC and FreeTDS. QODBC opens
// the session (one per engine, in autocommit mode, never prompting for a
// login); statements run on its ODBC connection handle with UTF-16 text.
class OdbcEngine : public Engine {
public:
    // Connects at once; throws DbError naming the server when that fails.
    explicit OdbcEngine(const QStringList& connectionParams);
    ~OdbcEngine() override;
    OdbcEngine(const OdbcEngine&) = delete;
    OdbcEngine& operator=(const OdbcEngine&) = delete;

    ResultSet execute(const QString& sql, const ParamValues& params) override;
    void callProcedure(const QString& name, std::vector<ProcParam>& params) override;
    QString databaseName() const override { return databaseName_; }

private:
    QString connectionName_;  // Qt's registry name of the session
    QString databaseName_;
    int queryTimeout_ = 0;    // seconds; 0 waits for ever
    void* connection_ = nullptr;  // the session's ODBC connection handle (owned by QODBC)
};

} // namespace db::odbc
