#pragma once

#include "db/Connection.h"
#include "db/Query.h"
#include "support/EmbeddedDb.h"
#include "support/QtPrinters.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// A whole site on the embedded engine in a temporary folder: "Server.Dat"
// naming it, the placeholder picture "NoPicture.Bmp", the configuration database and one company's business database
// built from the scripts in sql/, the company registered, a menu entry and
// users with different rights. The test's current folder is the site's
// folder for its lifetime, as the program's would be.
//
// Users: 1 "ADMIN" Thai with every right; 2 "CLERK" English, access but no
// cost or sale-price right; 3 "GUEST" without access; 4 "LOWER" whose access
// right is a lower-case y. Menu entry 12 "สอบถามราคา", company database ACME.
class TestSite {
public:
    explicit TestSite(const QString& businessDatabase = QStringLiteral("ACME"));
    ~TestSite();

    QString folder() const { return dir_.path(); }
    static QString sourceDir();

    // Runs a batch in the configuration or the business database.
    void config(const QString& sql);
    void business(const QString& sql);
    QStringList configRows(const QString& sql);
    QStringList businessRows(const QString& sql);

    // Removes a database file (a server or database that has gone away).
    void dropConfigDatabase();
    void dropBusinessDatabase();

private:
    void runScript(const QString& alias, const QString& file);
    void dropDatabase(db::Connection& connection, const QString& name);

    QTemporaryDir dir_;
    QString previousFolder_;
    std::unique_ptr<db::Connection> config_;
    std::unique_ptr<db::Connection> business_;
    QString businessName_;
};
