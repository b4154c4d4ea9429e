// The program started as the menu program starts it: a separate process on
// a real site, with good and bad command lines.

#include "support/DatabaseLock.h"
#include "support/TestSite.h"

#include "app/CommandLine.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

#include <unistd.h>

namespace {

struct ProgramRun {
    int exitCode = -1;
    QString standardError;
    qint64 milliseconds = 0;
};

ProgramRun startProgram(const TestSite& site, const QStringList& arguments, int autoCloseMs = 0,
                        bool asAnotherUser = false)
{
    QProcess p;
    const QString program = QStringLiteral(QEL_BINARY_DIR "/src/app/priceinquiry");
    if (asAnotherUser && ::geteuid() == 0) {
        // Root writes where nobody else may: the program runs as "nobody".
        p.setProgram(QStringLiteral("setpriv"));
        p.setArguments(QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", program} + arguments);
    } else {
        p.setProgram(program);
        p.setArguments(arguments);
    }
    p.setWorkingDirectory(site.folder());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QEL_NONINTERACTIVE", "1");
    env.insert("LC_ALL", "en_US.UTF-8");
    env.insert("LANG", "en_US.UTF-8");
    if (autoCloseMs > 0)
        env.insert("QEL_AUTOCLOSE_MS", QString::number(autoCloseMs));
    p.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    p.start();
    ProgramRun r;
    // The test's own timers (a lock let go) run while the program does.
    while (!p.waitForFinished(20)) {
        QCoreApplication::processEvents();
        if (clock.elapsed() > 30000) {
            p.kill();
            p.waitForFinished();
            return r;
        }
    }
    r.milliseconds = clock.elapsed();
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.standardError = QString::fromLocal8Bit(p.readAllStandardError());
    r.standardError.remove(QRegularExpression(QStringLiteral("QStandardPaths: [^\n]*\n")));
    return r;
}

class Startup : public ::testing::Test {
protected:
    TestSite site;
};

TEST_F(Startup, RunsTheMessageLoopForAUserWithAccess)
{
    const ProgramRun r = startProgram(site, {"12", "1", "acme", "anything", "at all", "12/08/26", "extra"}, 400);
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.standardError);
    EXPECT_EQ(r.standardError.trimmed(), "");
    EXPECT_GE(r.milliseconds, 400) << "the window stood until it was closed";
    // Showing the window connected the business database with its own steps.
    EXPECT_EQ(site.configRows("Select Version From Menu Where Id = 12"), QStringList{"3"});
}

TEST_F(Startup, EndsSilentlyWithoutAccessAndWithAMessageForAnUnknownDatabase)
{
    ProgramRun r = startProgram(site, {"12", "3", "ACME", "x", "y", "12/08/26"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.standardError.trimmed(), "") << "no message for a user without access";
    r = startProgram(site, {"12", "4", "ACME", "x", "y", "12/08/26"});
    EXPECT_EQ(r.exitCode, 0) << "a lower-case y denies access";
    r = startProgram(site, {"12", "1", "nope", "x", "y", "12/08/26"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.standardError.trimmed(), "Not Found Database : NOPE");
}

TEST_F(Startup, BadCommandLinesEndWithTheConversionError)
{
    ProgramRun r = startProgram(site, {"12", "1", "ACME"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.standardError.trimmed(), "'' is not a valid date") << "the date is read first";
    r = startProgram(site, {"twelve", "1", "ACME", "x", "y", "31/12/26"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.standardError.trimmed(), "'31/12/26' is not a valid date");
    r = startProgram(site, {"twelve", "1", "ACME", "x", "y", "12/31/2026"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.standardError.trimmed(), "'twelve' is not a valid integer value");
    r = startProgram(site, {"12", "1.5", "ACME", "x", "y", "12/31/2026"});
    EXPECT_EQ(r.standardError.trimmed(), "'1.5' is not a valid integer value");
}

TEST_F(Startup, ArgumentsFourAndFiveMayLookLikeToolkitOptions)
{
    // The toolkit would take these out of the list (and the date with
    // "-platform"), or stop the program on them.
    for (const QStringList& unused : {QStringList{"-reverse", "y"}, QStringList{"x", "-platform"},
                                      QStringList{"-style", "-qwindowgeometry"}}) {
        SCOPED_TRACE(unused.join(' ').toStdString());
        ProgramRun r = startProgram(site, QStringList{"12", "1", "ACME"} + unused + QStringList{"12/08/26"}, 300);
        EXPECT_EQ(r.exitCode, 0) << qPrintable(r.standardError);
        EXPECT_EQ(r.standardError.trimmed(), "");
        // Argument 6 is still the one read as the date.
        r = startProgram(site, QStringList{"12", "1", "ACME"} + unused + QStringList{"13/13/13"});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.standardError.trimmed(), "'13/13/13' is not a valid date");
    }
}

// A training room's read-only share: neither the configuration nor the
// company database can be written, yet the program starts, shows its window
// and writes nothing.
TEST_F(Startup, AWholeReadOnlySiteStartsAndWritesNothing)
{
    const QStringList files = QDir(site.folder()).entryList({"*.sqlite"}, QDir::Files);
    ASSERT_GE(files.size(), 2);
    const QStringList listing = QDir(site.folder()).entryList(QDir::Files);
    QMap<QString, QByteArray> before;
    for (const QString& name : files) {
        QFile f(site.folder() + "/" + name);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        before[name] = f.readAll();
        f.close();
        ASSERT_TRUE(f.setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    }
    const QFile::Permissions enter = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
                                     | QFile::ReadOther | QFile::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(site.folder(), enter));
    const auto writable = qScopeGuard([&] { QFile::setPermissions(site.folder(), enter | QFile::WriteOwner); });

    const ProgramRun r = startProgram(site, {"12", "1", "acme", "x", "y", "12/08/26"}, 400, true);
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.standardError);
    EXPECT_EQ(r.standardError.trimmed(), "") << "no read-only complaint at start-up or when the window opens";
    for (const QString& name : files) {
        QFile f(site.folder() + "/" + name);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), before[name]) << qPrintable(name) << " was not written";
    }
    EXPECT_EQ(QDir(site.folder()).entryList(QDir::Files), listing) << "no new files beside them";
}

TEST_F(Startup, UnreachableConfigurationServerIsReportedNotACrash)
{
    site.dropConfigDatabase();
    const ProgramRun r = startProgram(site, {"12", "1", "ACME", "x", "y", "12/08/26"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.standardError.contains("Cannot open database \"QEL_CONFIG\" requested by the login."))
        << qPrintable(r.standardError);
}

TEST_F(Startup, AServerFileNamingAMissingFolderSaysWhichFolder)
{
    const QString missing = site.folder() + "/not-mounted/qel";
    QFile server(site.folder() + "/Server.Dat");
    ASSERT_TRUE(server.open(QIODevice::WriteOnly));
    server.write(("sqlite:" + missing + "\r\n").toUtf8());
    server.close();
    const ProgramRun r = startProgram(site, {"12", "1", "ACME", "x", "y", "12/08/26"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.standardError.contains("the folder " + missing + " named by the server \"sqlite:" + missing
                                         + "\" does not exist"))
        << qPrintable(r.standardError);
}

TEST_F(Startup, AnErrorInsideTheMessageLoopIsLoggedAndShownAndTheProgramGoesOn)
{
    // Showing the main window connects the business database, which is gone.
    site.dropBusinessDatabase();
    const ProgramRun r = startProgram(site, {"12", "1", "ACME", "x", "y", "12/08/26"}, 600);
    EXPECT_EQ(r.exitCode, 0) << "the window stays until it is closed";
    EXPECT_GE(r.milliseconds, 600);
    const QString message = "Cannot open database \"ACME\" requested by the login. The login failed.";
    EXPECT_TRUE(r.standardError.contains(message.toUpper())) << qPrintable(r.standardError);
    EXPECT_EQ(site.configRows("Select ErrorMsg, Menu, UserName From errorlog"), QStringList{message + "|12|1"});
}

TEST_F(Startup, ALockedConfigurationDatabaseIsWaitedForOnceAndThenNamed)
{
    // Another program is stuck in the middle of a change to QEL_CONFIG;
    // start-up must write there (menu versions), so it cannot go on.
    DatabaseLock lock(site.folder() + "/QEL_CONFIG.sqlite");
    const ProgramRun r = startProgram(site, {"12", "1", "ACME", "x", "y", "12/08/26"});
    EXPECT_EQ(r.exitCode, 2) << qPrintable(r.standardError);
    EXPECT_TRUE(r.standardError.contains("The program cannot start: the database QEL_CONFIG is locked by another "
                                         "program; waited 15 seconds for it."))
        << qPrintable(r.standardError);
    EXPECT_GE(r.milliseconds, 15000);
    EXPECT_LT(r.milliseconds, 20000) << "one wait for the whole start-up, not one per statement";
}

TEST_F(Startup, StartUpGoesOnWhenTheLockIsLetGoInTime)
{
    auto lock = std::make_unique<DatabaseLock>(site.folder() + "/QEL_CONFIG.sqlite");
    QTimer::singleShot(1500, [&lock] { lock.reset(); });
    const ProgramRun r = startProgram(site, {"12", "1", "ACME", "x", "y", "12/08/26"}, 300);
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.standardError);
    EXPECT_GE(r.milliseconds, 1500);
    EXPECT_EQ(site.configRows("Select Version From Menu Where Id = 12"), QStringList{"3"});
}

TEST(CommandLine, WorkDateInTheShortDateFormat)
{
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(toWorkDate("12/08/26", us), QDate(2026, 12, 8));
    EXPECT_EQ(toWorkDate("2/29/2028", us), QDate(2028, 2, 29));
    EXPECT_THROW(toWorkDate("2/30/2028", us), ConversionError);
    const QLocale british(QLocale::English, QLocale::UnitedKingdom);
    EXPECT_EQ(toWorkDate("31/12/2026", british), QDate(2026, 12, 31));
    EXPECT_EQ(toInteger(" 42 "), 42);
    EXPECT_THROW(toInteger("4x"), ConversionError);
    EXPECT_THROW(toInteger("99999999999"), ConversionError);
}

} // namespace
