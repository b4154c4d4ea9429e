// The configuration data module on a real site: server file, connection
// list, company configuration, rights, the menu version check and the error
// log.

#include "support/TestSite.h"

#include "config/HostInfo.h"
#include "config/ProgramEnd.h"
#include "config/TDMConfig.h"
#include "db/DbError.h"
#include "widgets/MessageBox.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Collects the program's message boxes instead of showing them.
class Messages {
public:
    Messages()
    {
        previous_ = widgets::setMessageHandler([this](widgets::MessageKind, const QString& text) {
            shown.append(text);
            return true;
        });
    }
    ~Messages() { widgets::setMessageHandler(previous_); }
    QStringList shown;

private:
    widgets::MessageHandler previous_;
};

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST(ServerFile, FirstLineAsReadOrTheDefaultServer)
{
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    EXPECT_EQ(TDMConfig::ReadServerFile(), "");
    EXPECT_EQ(TDMConfig::ServerName(), "QEL");
    writeFile("Server.Dat", "  SRV01\\SQL  \r\nsecond line\r\n");
    EXPECT_EQ(TDMConfig::ReadServerFile(), "  SRV01\\SQL  ") << "blanks pass on, only the first line counts";
    writeFile("Server.Dat", "\nSRV02\n");
    EXPECT_EQ(TDMConfig::ServerName(), "QEL") << "an empty first line is no server";
    writeFile("Server.Dat", "SRV03");
    const QStringList lines = TDMConfig::ConfigConnectionLines();
    QDir::setCurrent(previous);

    ASSERT_EQ(lines.size(), 24);
    EXPECT_EQ(lines[0], "DATABASE NAME=QEL_CONFIG");
    EXPECT_EQ(lines[1], "SERVER NAME=SRV03");
    EXPECT_EQ(lines[2], "USER NAME=qel");
    EXPECT_EQ(lines[3], "OPEN MODE=READ/WRITE");
    EXPECT_EQ(lines[8], "SQLPASSTHRU MODE=SHARED AUTOCOMMIT");
    EXPECT_EQ(lines[11], "MAX QUERY TIME=600");
    EXPECT_EQ(lines[20], "TDS PACKET SIZE=4096");
    EXPECT_EQ(lines[23], "PASSWORD=marigold");
}

TEST(HostQueries, AddressUserAndComputer)
{
    EXPECT_EQ(host::lastIpv4Address(QStringLiteral("localhost")), "127.0.0.1");
    EXPECT_EQ(host::lastIpv4Address(QStringLiteral("no-such-host.invalid")), "");
    // The name service's own order, the last address of it: what getent
    // lists for the host (it asks the same way, without re-sorting).
    for (const QString& name : {QStringLiteral("localhost"), host::computerName()}) {
        QProcess getent;
        getent.start(QStringLiteral("getent"), {QStringLiteral("hosts"), name});
        ASSERT_TRUE(getent.waitForFinished(10000));
        QString last;
        for (const QString& line : QString::fromLatin1(getent.readAllStandardOutput()).split(u'\n')) {
            const QString address = line.section(QRegularExpression(QStringLiteral("\\s+")), 0, 0);
            if (QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+\\.\\d+$")).match(address).hasMatch())
                last = address;
        }
        if (!last.isEmpty())
            EXPECT_EQ(host::lastIpv4Address(name), last) << name.toStdString();
    }
    const QString user = host::userName();
    EXPECT_FALSE(user.isEmpty());
    EXPECT_EQ(user, user.toUpper());
    EXPECT_EQ(host::computerName(), host::computerName().trimmed());
}

class ConfigModule : public ::testing::Test {
protected:
    TestSite site;
    TDMConfig config;
};

TEST_F(ConfigModule, CompanyConfigurationFillsTheRunContext)
{
    config.GetCompanyConfig(QStringLiteral("acme"));
    const RunContext& run = config.Run;
    EXPECT_EQ(run.DatabaseName, "ACME");
    EXPECT_EQ(run.CompanyId, 1);
    EXPECT_EQ(run.CompanyName, QStringLiteral("บริษัท แอคมี จำกัด"));
    EXPECT_EQ(run.CompanyHeaderName, run.CompanyName);
    EXPECT_EQ(run.PicturePath, "D:\\Pictures\\");
    EXPECT_EQ(run.DefaultWarehouseId, 2);
    EXPECT_EQ(run.DefaultTaxId, 1);
    EXPECT_EQ(run.PosWarehouseId, 3);
    EXPECT_EQ(run.PosTaxCode, "V7");
    EXPECT_EQ(run.PosPriceType, 19);
    EXPECT_TRUE(run.PosSumDetail);
    EXPECT_EQ(run.PosComPort, "COM3");
    EXPECT_EQ(run.CompanyAddressLine, QStringLiteral("99 ถนนพระราม 4 แขวงคลองเตย ")) << "an empty part keeps its blank";
    EXPECT_EQ(run.CompanyTaxIdLine, QStringLiteral("กรุงเทพฯ 10110 เลขประจำตัวผู้เสียภาษี 0105551234567"));
    EXPECT_FALSE(run.SiteVpm || run.SiteVpmTest || run.SiteTsp || run.SiteNas || run.SiteTak);
    EXPECT_TRUE(config.QCompany.isOpen());
    EXPECT_TRUE(config.QSoftwareConfig.isOpen());
}

TEST_F(ConfigModule, CompanyWithoutTaxNumberOrSecondAddressLines)
{
    site.config(QStringLiteral("Update Company Set Address2 = NULL, Address3 = NULL, Address4 = NULL, Zip = NULL, "
                               "TaxNo = NULL"));
    config.GetCompanyConfig(QStringLiteral("ACME"));
    EXPECT_EQ(config.Run.CompanyAddressLine, QStringLiteral("99 ถนนพระราม 4  "));
    EXPECT_EQ(config.Run.CompanyTaxIdLine, QStringLiteral("  เลขประจำตัวผู้เสียภาษี "));
}

TEST_F(ConfigModule, UnknownDatabaseEndsTheProgramAfterItsMessage)
{
    Messages messages;
    try {
        config.GetCompanyConfig(QStringLiteral("nope"));
        FAIL() << "the program should end";
    } catch (const ProgramEnd& end) {
        EXPECT_EQ(end.exitCode, 0);
    }
    EXPECT_EQ(messages.shown, QStringList{"Not Found Database : NOPE"});
}

TEST_F(ConfigModule, SiteFlagsFollowTheUpperCasedName)
{
    struct Case {
        const char* name;
        bool vpm, vpmTest, tsp, nas, tak;
    } cases[] = {{"VPM", true, true, false, false, false},   {"vpm_a", true, false, false, false, false},
                 {"vpm_test", false, true, false, false, false}, {"Tools", false, false, true, false, false},
                 {"syk", false, false, false, true, false},   {"TAK_AS", false, false, false, false, true},
                 {"TAK", false, false, false, false, false}};
    for (const Case& c : cases) {
        site.config(QStringLiteral("Insert Into DatabaseList Values ('%1', 1, NULL, NULL)").arg(QString::fromLatin1(c.name).toUpper()));
        config.GetCompanyConfig(QLatin1String(c.name));
        const RunContext& r = config.Run;
        EXPECT_EQ(r.SiteVpm, c.vpm) << c.name;
        EXPECT_EQ(r.SiteVpmTest, c.vpmTest) << c.name;
        EXPECT_EQ(r.SiteTsp, c.tsp) << c.name;
        EXPECT_EQ(r.SiteNas, c.nas) << c.name;
        EXPECT_EQ(r.SiteTak, c.tak) << c.name;
    }
}

TEST_F(ConfigModule, RightsAndLanguageOfEachUser)
{
    config.CheckRight(12, 1);
    RunContext r = config.Run;
    EXPECT_TRUE(r.CanAccess && r.CanAdd && r.CanModify);
    EXPECT_FALSE(r.CanDelete);
    EXPECT_EQ(r.MenuCaption, QStringLiteral("สอบถามราคา")) << "the caption is trimmed";
    EXPECT_EQ(r.UserCode, "ADMIN ") << "the user code keeps its blanks";
    EXPECT_EQ(r.SalesmanId, 5);
    EXPECT_EQ(r.UserFullName, QStringLiteral("ผู้ดูแล ระบบ"));
    EXPECT_TRUE(r.ThaiLanguage);
    EXPECT_TRUE(r.CanSeeCost && r.CanSeeSalePrice && r.EditSalePrice);
    EXPECT_FALSE(r.Approve_SO) << "a lower-case y is no";
    EXPECT_EQ(r.SavePrompt, QStringLiteral("จัดเก็บข้อมูล ?"));
    EXPECT_EQ(r.ExitPrompt, QStringLiteral("ออกจากโปรแกรม ?"));

    config.CheckRight(12, 2);
    r = config.Run;
    EXPECT_TRUE(r.CanAccess);
    EXPECT_FALSE(r.CanSeeCost || r.CanSeeSalePrice || r.ThaiLanguage);
    EXPECT_EQ(r.DeletePrompt, "Delete Data ?");

    config.CheckRight(12, 3);
    EXPECT_FALSE(config.Run.CanAccess);
    config.CheckRight(12, 4);
    EXPECT_FALSE(config.Run.CanAccess) << "a lower-case y denies access";
    EXPECT_TRUE(config.Run.ThaiLanguage);

    config.CheckRight(12, 99);  // no user row, no rights row
    r = config.Run;
    EXPECT_FALSE(r.CanAccess || r.CanAdd || r.CanSeeCost || r.ThaiLanguage);
    EXPECT_EQ(r.UserFullName, "");
    EXPECT_EQ(r.UserCode, "");
    EXPECT_EQ(r.SalesmanId, 0);
    EXPECT_EQ(r.SavePrompt, "Save Data ?");
}

TEST_F(ConfigModule, EveryConnectionGivesMenuEntriesAVersionOnce)
{
    config.GetCompanyConfig(QStringLiteral("ACME"));
    EXPECT_EQ(site.configRows("Select Id, Version From Menu Order By Id"), (QStringList{"12|3", "13|3"}));
    site.config(QStringLiteral("Insert Into Menu (Id, Description) Values (14, 'No command')\n"
                               "Update Menu Set Version = 8 Where Id = 13"));
    config.connection().close();
    config.connection().open();
    EXPECT_EQ(site.configRows("Select Id, Version From Menu Order By Id"), (QStringList{"12|3", "13|8", "14|<null>"}));
}

TEST_F(ConfigModule, MenuVersionCheckRaisesAndRefusesOlderCopies)
{
    Messages messages;
    site.config(QStringLiteral("Insert Into Menu (Id, Description, Command) Values (20, 'Same program', ' priceinquiry.exe ')"));
    config.Run.MenuId = 12;
    EXPECT_TRUE(config.CheckVersion(5));
    EXPECT_EQ(site.configRows("Select Id, Version From Menu Where Id In (12, 13, 20) Order By Id"),
              (QStringList{"12|5", "13|3", "20|5"}));
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_FALSE(config.CheckVersion(4));
    EXPECT_EQ(messages.shown, QStringList{QStringLiteral("กรุณา อัพเดท โปรแกรม Version ใหม่ด้วยค่ะ !!")});
    EXPECT_TRUE(config.CheckVersion(5)) << "equal versions pass";
    config.Run.MenuId = 77;
    EXPECT_FALSE(config.CheckVersion(9)) << "a menu entry without a row fails";
}

TEST_F(ConfigModule, ErrorLogTakesTheMessageUnchanged)
{
    config.Run.UserId = 1;
    config.Run.MenuId = 12;
    const QString message = QStringLiteral("Cannot insert duplicate key 'x'\r\n") + QString(5000, QLatin1Char('z'));
    config.WriteErrorLog(message);
    const QStringList rows = site.configRows("Select Menu, UserName, ErrorMsg, CompName, LogName From errorlog");
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0], QStringLiteral("12|1|%1|%2|%3").arg(message, host::computerName(), host::userName()));
    config.QErrorLog.open();
    EXPECT_EQ(config.QErrorLog.asString("code"), "ADMIN ");
}

// Overwrites the pages of `table` in a checkpointed copy of the site's
// configuration database, as a failing disk or a stray program would.
void scribbleOverTable(const QString& file, const QString& table)
{
    const QString name = QStringLiteral("scribble");
    int page = 0;
    int pageSize = 0;
    {
        QSqlDatabase raw = QSqlDatabase::addDatabase("QSQLITE", name);
        raw.setDatabaseName(file);
        ASSERT_TRUE(raw.open());
        QSqlQuery q(raw);
        ASSERT_TRUE(q.exec("PRAGMA wal_checkpoint(TRUNCATE)"));
        ASSERT_TRUE(q.exec("PRAGMA page_size") && q.next());
        pageSize = q.value(0).toInt();
        ASSERT_TRUE(q.exec("Select rootpage From sqlite_master Where name = '" + table + "'") && q.next());
        page = q.value(0).toInt();
    }
    QSqlDatabase::removeDatabase(name);
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.seek(qint64(page - 1) * pageSize));
    f.write(QByteArray(pageSize, '\x5a'));
}

TEST_F(ConfigModule, ADamagedConfigurationDatabaseIsNamedByTheErrorLog)
{
    config.connection().close();
    const QString file = site.folder() + "/QEL_CONFIG.sqlite";
    scribbleOverTable(file, "qel_procedures");
    try {
        config.WriteErrorLog("Invalid column name 'X'.");
        FAIL() << "the log was written into a damaged file";
    } catch (const db::DbError& e) {
        EXPECT_TRUE(e.message().startsWith("The configuration database QEL_CONFIG is damaged: " + file))
            << qPrintable(e.message());
        EXPECT_FALSE(e.message().contains("Could not find stored procedure")) << qPrintable(e.message());
    }
}

TEST_F(ConfigModule, AMissingLogProcedureInASoundFileIsStillCalledMissing)
{
    site.config("Drop Procedure AddErrorLog");
    try {
        config.WriteErrorLog("x");
        FAIL() << "no error";
    } catch (const db::DbError& e) {
        EXPECT_TRUE(e.message().contains("Could not find stored procedure 'AddErrorLog'")) << qPrintable(e.message());
    }
}

} // namespace
