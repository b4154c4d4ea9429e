#pragma once

#include "RunContext.h"

#include "db/Connection.h"
#include "db/Query.h"
#include "db/StoredProc.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

// The configuration data module: the connection "DmCfg" to the configuration
// database shared by every company, the run context, the company
// configuration, the user's rights, the menu version check, the error log
// and the error mail.
class TDMConfig : public QObject {
    Q_OBJECT
public:
    explicit TDMConfig(QObject* parent = nullptr);
    ~TDMConfig() override;

    RunContext Run;

    db::Connection& connection() { return connection_; }

    // First line of "Server.Dat" in the current folder, exactly as read;
    // empty when the file cannot be opened.
    static QString ReadServerFile();
    // The server to connect to: the server file's line, or "QEL".
    static QString ServerName();
    // Lines 5 to 24 of a connection parameter list, shared by both databases.
    static QStringList CommonConnectionLines();
    // The parameter list of "DmCfg", as its before-connect step builds it.
    static QStringList ConfigConnectionLines();

    static QString ComputerName();
    static QString WindowsUserName();
    static QString LocalIpAddress();

    // Loads the company that owns `databaseName` into the run context; ends
    // the program (ProgramEnd, exit code 0) after a message when none does.
    void GetCompanyConfig(const QString& databaseName);
    // Loads the menu caption, the rights and the user's flags.
    void CheckRight(int menuId, int userId);
    // Registers `version` for this menu entry's command; false (after a
    // message) when a newer copy has registered a higher one.
    bool CheckVersion(int version);

    // Writes a message to the error log; failures are raised, a damaged
    // configuration database as such.
    void WriteErrorLog(const QString& message);
    // What is wrong with the embedded configuration database's file, with
    // its name; empty when it is sound or on SQL Server.
    QString ConfigDatabaseDamage();
    // Mails a report to the support mailbox; never raises, shows nothing.
    // Windows keep painting while the mail server answers (at most the
    // time-out of [Mail] in QEL.INI).
    void SendErrorMail(const QString& subject, const QString& body);

    // The folder the program started in (settings file "QEL.INI").
    const QString& StartFolder() const { return startFolder_; }

    // The statements of the module, by their names.
    db::Query QCompanyConfig;
    db::Query QCompany;
    db::Query QSoftwareConfig;
    db::Query QUser;
    db::Query QErrorLog;
    db::StoredProc SpMenuCaption;
    db::StoredProc SpAddErrorLog;

private:
    void afterConnect();
    void raiseMenuVersion(db::Query& q, int version);

    db::Connection connection_;
    QString startFolder_;
};

// The run's one configuration data module.
extern TDMConfig* DMConfig;
