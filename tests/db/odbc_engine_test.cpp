#include "db/DbError.h"
#include "db/odbc/OdbcEngine.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMap>
#include <QSqlDatabase>
#include <QStringList>

#include <gtest/gtest.h>

#include <cmath>

using db::DbError;
using db::ParamDirection;
using db::ParamValues;
using db::ProcParam;
using db::odbc::OdbcEngine;
using db::odbc::odbcConnectionString;
using db::odbc::serverMessage;

namespace {

const QString kDriver = QStringLiteral("{FreeTDS}");

// Reads a connection string back the way the installed FreeTDS does: a
// value opening with "{" runs to the first "}" that is followed by ";" or
// ends the string. Keys are upper-cased; a repeated key is an error.
QMap<QString, QString> parseConnectionString(const QString& text)
{
    QMap<QString, QString> pairs;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype eq = text.indexOf(QLatin1Char('='), pos);
        if (eq < 0) {
            ADD_FAILURE() << "no '=' after position " << pos << " in " << text.toStdString();
            break;
        }
        const QString key = text.mid(pos, eq - pos).toUpper();
        QString value;
        qsizetype next;
        if (eq + 1 < text.size() && text.at(eq + 1) == QLatin1Char('{')) {
            qsizetype close = eq + 1;
            for (;;) {
                close = text.indexOf(QLatin1Char('}'), close + 1);
                if (close < 0 || close + 1 == text.size() || text.at(close + 1) == QLatin1Char(';'))
                    break;
            }
            if (close < 0) {
                ADD_FAILURE() << "unterminated brace in " << text.toStdString();
                break;
            }
            value = text.mid(eq + 2, close - eq - 2);
            next = close + 2;
        } else {
            const qsizetype semi = text.indexOf(QLatin1Char(';'), eq + 1);
            const qsizetype end = semi < 0 ? text.size() : semi;
            value = text.mid(eq + 1, end - eq - 1);
            next = end + 1;
        }
        EXPECT_FALSE(pairs.contains(key)) << "repeated key " << key.toStdString();
        pairs.insert(key, value);
        pos = next;
    }
    return pairs;
}

QMap<QString, QString> connectionPairs(const QStringList& params)
{
    return parseConnectionString(odbcConnectionString(params, kDriver));
}

QStringList withServer(const QString& server, QStringList more = {})
{
    more.prepend(QStringLiteral("SERVER NAME=") + server);
    return more;
}

// ---- connection string -------------------------------------------------

TEST(OdbcConnectionString, PlainHostGetsSqlServersDefaultPort)
{
    const auto pairs = connectionPairs(withServer(QStringLiteral("SQLBOX")));
    EXPECT_EQ(pairs.value(QStringLiteral("SERVER")), QStringLiteral("SQLBOX"));
    EXPECT_EQ(pairs.value(QStringLiteral("PORT")), QStringLiteral("1433"));
}

TEST(OdbcConnectionString, HostCommaPortBecomesServerAndPort)
{
    for (const QString& written : { QStringLiteral("sqlbox,14330"), QStringLiteral(" sqlbox , 14330 "),
                                    QStringLiteral("tcp:sqlbox,14330"), QStringLiteral("TCP:sqlbox,14330") }) {
        SCOPED_TRACE(written.toStdString());
        const auto pairs = connectionPairs(withServer(written));
        EXPECT_EQ(pairs.value(QStringLiteral("SERVER")), QStringLiteral("sqlbox"));
        EXPECT_EQ(pairs.value(QStringLiteral("PORT")), QStringLiteral("14330"));
    }
}

TEST(OdbcConnectionString, NamedInstanceIsLeftForTheBrowserToResolve)
{
    const auto pairs = connectionPairs(withServer(QStringLiteral("SQLBOX\\SALES")));
    EXPECT_EQ(pairs.value(QStringLiteral("SERVER")), QStringLiteral("SQLBOX\\SALES"));
    EXPECT_FALSE(pairs.contains(QStringLiteral("PORT")));
}

TEST(OdbcConnectionString, PortWinsOverInstanceName)
{
    const auto pairs = connectionPairs(withServer(QStringLiteral("SQLBOX\\SALES,1500")));
    EXPECT_EQ(pairs.value(QStringLiteral("SERVER")), QStringLiteral("SQLBOX"));
    EXPECT_EQ(pairs.value(QStringLiteral("PORT")), QStringLiteral("1500"));
}

TEST(OdbcConnectionString, LocalServerSpellingsMeanThisMachine)
{
    EXPECT_EQ(connectionPairs(withServer(QStringLiteral("(local)"))).value(QStringLiteral("SERVER")),
              QStringLiteral("localhost"));
    EXPECT_EQ(connectionPairs(withServer(QStringLiteral("."))).value(QStringLiteral("SERVER")),
              QStringLiteral("localhost"));
    EXPECT_EQ(connectionPairs(withServer(QStringLiteral("(LOCAL)\\SQLEXPRESS"))).value(QStringLiteral("SERVER")),
              QStringLiteral("localhost\\SQLEXPRESS"));
}

TEST(OdbcConnectionString, BadPortsAreRefusedNamingTheServer)
{
    for (const QString& written : { QStringLiteral("sqlbox,abc"), QStringLiteral("sqlbox,0"),
                                    QStringLiteral("sqlbox,65536"), QStringLiteral("sqlbox,-5"),
                                    QStringLiteral("sqlbox,14 33") }) {
        SCOPED_TRACE(written.toStdString());
        try {
            odbcConnectionString(withServer(written), kDriver);
            ADD_FAILURE() << "accepted";
        } catch (const DbError& e) {
            EXPECT_TRUE(e.message().contains(written)) << e.message().toStdString();
        }
    }
    // A trailing comma names no port: the default one is used.
    EXPECT_EQ(connectionPairs(withServer(QStringLiteral("sqlbox,"))).value(QStringLiteral("PORT")),
              QStringLiteral("1433"));
}

TEST(OdbcConnectionString, MissingServerIsRefused)
{
    EXPECT_THROW(odbcConnectionString({ QStringLiteral("DATABASE NAME=Sales") }, kDriver), DbError);
    EXPECT_THROW(odbcConnectionString(withServer(QStringLiteral("   ")), kDriver), DbError);
    EXPECT_THROW(odbcConnectionString(withServer(QStringLiteral(",1433")), kDriver), DbError);
    EXPECT_THROW(odbcConnectionString(withServer(QStringLiteral("\\SALES")), kDriver), DbError);
}

TEST(OdbcConnectionString, LoginAndDatabaseAreCarried)
{
    const auto pairs = connectionPairs(withServer(QStringLiteral("sqlbox"),
        { QStringLiteral("DATABASE NAME=DMDATA01"), QStringLiteral("USER NAME=qel"),
          QStringLiteral("PASSWORD=marigold") }));
    EXPECT_EQ(pairs.value(QStringLiteral("DATABASE")), QStringLiteral("DMDATA01"));
    EXPECT_EQ(pairs.value(QStringLiteral("UID")), QStringLiteral("qel"));
    EXPECT_EQ(pairs.value(QStringLiteral("PWD")), QStringLiteral("marigold"));
}

TEST(OdbcConnectionString, ParameterNamesAreMatchedWithoutRegardToCase)
{
    const auto pairs = parseConnectionString(odbcConnectionString(
        { QStringLiteral("server name=sqlbox,1500"), QStringLiteral("Database Name=Sales"),
          QStringLiteral("user name=qel") }, kDriver));
    EXPECT_EQ(pairs.value(QStringLiteral("PORT")), QStringLiteral("1500"));
    EXPECT_EQ(pairs.value(QStringLiteral("DATABASE")), QStringLiteral("Sales"));
    EXPECT_EQ(pairs.value(QStringLiteral("UID")), QStringLiteral("qel"));
}

TEST(OdbcConnectionString, MissingLoginValues)
{
    // No user: no login at all in the string.
    auto pairs = connectionPairs(withServer(QStringLiteral("sqlbox"), { QStringLiteral("PASSWORD=secret") }));
    EXPECT_FALSE(pairs.contains(QStringLiteral("UID")));
    EXPECT_FALSE(pairs.contains(QStringLiteral("PWD")));
    // A user without a password logs in with an empty one.
    pairs = connectionPairs(withServer(QStringLiteral("sqlbox"), { QStringLiteral("USER NAME=qel") }));
    EXPECT_EQ(pairs.value(QStringLiteral("UID")), QStringLiteral("qel"));
    ASSERT_TRUE(pairs.contains(QStringLiteral("PWD")));
    EXPECT_TRUE(pairs.value(QStringLiteral("PWD")).isEmpty());
    // No database: the login's default one.
    EXPECT_FALSE(pairs.contains(QStringLiteral("DATABASE")));
}

TEST(OdbcConnectionString, ProtocolAndCharacterSetAreFixed)
{
    const auto pairs = connectionPairs(withServer(QStringLiteral("sqlbox")));
    EXPECT_EQ(pairs.value(QStringLiteral("TDS_VERSION")), QStringLiteral("7.4"));
    EXPECT_EQ(pairs.value(QStringLiteral("CLIENTCHARSET")), QStringLiteral("UTF-8"));
}

TEST(OdbcConnectionString, PacketSizeIsPassedWithinSqlServersRange)
{
    const auto packetSize = [](const QString& written) {
        return connectionPairs(withServer(QStringLiteral("sqlbox"), { QStringLiteral("TDS PACKET SIZE=") + written }))
            .value(QStringLiteral("PACKETSIZE"));
    };
    EXPECT_EQ(packetSize(QStringLiteral("4096")), QStringLiteral("4096"));
    EXPECT_EQ(packetSize(QStringLiteral(" 8192 ")), QStringLiteral("8192"));
    EXPECT_EQ(packetSize(QStringLiteral("100")), QStringLiteral("512"));
    EXPECT_EQ(packetSize(QStringLiteral("99999")), QStringLiteral("32767"));
    // Nothing usable: the driver's own default.
    EXPECT_TRUE(packetSize(QStringLiteral("0")).isNull());
    EXPECT_TRUE(packetSize(QStringLiteral("-4096")).isNull());
    EXPECT_TRUE(packetSize(QStringLiteral("big")).isNull());
    EXPECT_TRUE(packetSize(QString()).isNull());
}

TEST(OdbcConnectionString, MaxQueryTimeBecomesTheStatementTimeout)
{
    const auto timeout = [](const QString& written) {
        return connectionPairs(withServer(QStringLiteral("sqlbox"), { QStringLiteral("MAX QUERY TIME=") + written }))
            .value(QStringLiteral("TIMEOUT"));
    };
    EXPECT_EQ(timeout(QStringLiteral("300")), QStringLiteral("300"));
    EXPECT_EQ(timeout(QStringLiteral("1")), QStringLiteral("1"));
    // 0 or nonsense: statements wait as long as they take.
    EXPECT_TRUE(timeout(QStringLiteral("0")).isNull());
    EXPECT_TRUE(timeout(QStringLiteral("soon")).isNull());
    EXPECT_TRUE(connectionPairs(withServer(QStringLiteral("sqlbox"))).value(QStringLiteral("TIMEOUT")).isNull());
}

TEST(OdbcConnectionString, OptionsWithNoMeaningForFreeTdsAreIgnored)
{
    const QStringList plain = withServer(QStringLiteral("sqlbox"),
        { QStringLiteral("DATABASE NAME=Sales"), QStringLiteral("USER NAME=qel"), QStringLiteral("PASSWORD=pw") });
    QStringList noisy = plain;
    noisy << QStringLiteral("SCHEMA CACHE SIZE=8") << QStringLiteral("BLOB SIZE=32")
          << QStringLiteral("ENABLE BCD=FALSE") << QStringLiteral("SQLPASSTHRU MODE=SHARED AUTOCOMMIT")
          << QStringLiteral("BATCH COUNT=200") << QStringLiteral("LANGDRIVER=") << QStringLiteral("no equals sign");
    EXPECT_EQ(odbcConnectionString(noisy, kDriver), odbcConnectionString(plain, kDriver));

    const QStringList keys = connectionPairs(plain).keys();
    const QStringList expected = { QStringLiteral("APP"), QStringLiteral("CLIENTCHARSET"), QStringLiteral("DATABASE"),
                                   QStringLiteral("DRIVER"), QStringLiteral("PORT"), QStringLiteral("PWD"),
                                   QStringLiteral("SERVER"), QStringLiteral("TDS_VERSION"), QStringLiteral("UID") };
    EXPECT_EQ(keys, expected);
}

TEST(OdbcConnectionString, ValuesThatWouldBreakTheStringSurviveIntact)
{
    const QStringList passwords = {
        QStringLiteral("semi;colon"), QStringLiteral("close}brace"), QStringLiteral("ends}"),
        QStringLiteral("{opens"), QStringLiteral("{whole}"), QStringLiteral("a=b;c=d"),
        QStringLiteral(" spaced "), QString::fromUtf8("รหัส;ผ่าน}"), QStringLiteral("}}"),
    };
    for (const QString& password : passwords) {
        SCOPED_TRACE(password.toStdString());
        const auto pairs = connectionPairs(withServer(QStringLiteral("sqlbox"),
            { QStringLiteral("USER NAME=qel"), QStringLiteral("PASSWORD=") + password,
              QStringLiteral("DATABASE NAME=Sales") }));
        EXPECT_EQ(pairs.value(QStringLiteral("PWD")), password);
        // The pairs after it are still read as pairs.
        EXPECT_EQ(pairs.value(QStringLiteral("TDS_VERSION")), QStringLiteral("7.4"));
    }
    // Plain values are not braced.
    EXPECT_TRUE(odbcConnectionString(withServer(QStringLiteral("sqlbox"),
        { QStringLiteral("USER NAME=qel"), QStringLiteral("PASSWORD=marigold") }), kDriver)
                    .contains(QStringLiteral(";PWD=marigold;")));
    // A database name with a semicolon is braced too.
    EXPECT_EQ(connectionPairs(withServer(QStringLiteral("sqlbox"), { QStringLiteral("DATABASE NAME=a;b") }))
                  .value(QStringLiteral("DATABASE")), QStringLiteral("a;b"));
}

TEST(OdbcConnectionString, ValueHoldingBraceSemicolonIsRefused)
{
    // FreeTDS ends a braced value at "};": such a value cannot be written.
    EXPECT_THROW(odbcConnectionString(withServer(QStringLiteral("sqlbox"),
        { QStringLiteral("USER NAME=qel"), QStringLiteral("PASSWORD=x};y") }), kDriver), DbError);
}

TEST(OdbcConnectionString, DriverIsNamedOrGivenByPath)
{
    const QString path = QStringLiteral("/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so");
    EXPECT_TRUE(odbcConnectionString(withServer(QStringLiteral("sqlbox")), path)
                    .startsWith(QStringLiteral("DRIVER=") + path + QLatin1Char(';')));
    EXPECT_TRUE(odbcConnectionString(withServer(QStringLiteral("sqlbox")), kDriver)
                    .startsWith(QStringLiteral("DRIVER={FreeTDS};")));
}

TEST(OdbcConnectionString, InstalledDriverIsFound)
{
    // Either registered with unixODBC by name, or a library that exists.
    const QString driver = db::odbc::freeTdsDriver();
    if (driver != kDriver) {
        EXPECT_TRUE(QFileInfo::exists(driver)) << driver.toStdString();
    }
    EXPECT_TRUE(odbcConnectionString(withServer(QStringLiteral("sqlbox")))
                    .startsWith(QStringLiteral("DRIVER=") + driver + QLatin1Char(';')));
}

// ---- server messages ----------------------------------------------------

TEST(OdbcServerMessage, DriverPrefixesAreDroppedAndRecordsKeptApart)
{
    const QString text = QStringLiteral(
        "[FreeTDS][SQL Server]Violation of PRIMARY KEY constraint 'PK_Item'. Cannot insert duplicate key in "
        "object 'dbo.Item'. The duplicate key value is (1). [FreeTDS][SQL Server]The statement has been terminated.");
    EXPECT_EQ(serverMessage(text),
              QStringLiteral("Violation of PRIMARY KEY constraint 'PK_Item'. Cannot insert duplicate key in object "
                             "'dbo.Item'. The duplicate key value is (1).\nThe statement has been terminated."));
}

TEST(OdbcServerMessage, OtherVendorsPrefixesGoToo)
{
    EXPECT_EQ(serverMessage(QStringLiteral("[unixODBC][Driver Manager]Can't open lib 'x.so' : file not found")),
              QStringLiteral("Can't open lib 'x.so' : file not found"));
    EXPECT_EQ(serverMessage(QStringLiteral("[Microsoft][ODBC Driver 17 for SQL Server][SQL Server]Login failed for user 'qel'.")),
              QStringLiteral("Login failed for user 'qel'."));
}

TEST(OdbcServerMessage, TrailingSqlStatesOfNewerQtAreDropped)
{
    EXPECT_EQ(serverMessage(QStringLiteral("[FreeTDS][SQL Server]Write to the server failed "
                                           "[FreeTDS][SQL Server]Possible network error, 08S01;08S01")),
              QStringLiteral("Write to the server failed\nPossible network error"));
}

TEST(OdbcServerMessage, RepeatedRecordsAreGivenOnce)
{
    EXPECT_EQ(serverMessage(QStringLiteral("[FreeTDS][SQL Server]Timeout expired [FreeTDS][SQL Server]Timeout expired")),
              QStringLiteral("Timeout expired"));
}

TEST(OdbcServerMessage, BracketsInsideTheMessageStay)
{
    EXPECT_EQ(serverMessage(QStringLiteral("[FreeTDS][SQL Server]Invalid column name '[Price]'. See [dbo].[Item].")),
              QStringLiteral("Invalid column name '[Price]'. See [dbo].[Item]."));
    EXPECT_EQ(serverMessage(QStringLiteral("Plain text, no prefix")), QStringLiteral("Plain text, no prefix"));
    EXPECT_TRUE(serverMessage(QString()).isEmpty());
}

// ---- connecting ---------------------------------------------------------

bool leftoverQtConnection()
{
    for (const QString& name : QSqlDatabase::connectionNames()) {
        if (name.startsWith(QLatin1String("qel-odbc-")))
            return true;
    }
    return false;
}

TEST(OdbcEngineConnect, UnreachableServerFailsQuicklyWithTheDriversWords)
{
    QElapsedTimer timer;
    timer.start();
    try {
        OdbcEngine engine({ QStringLiteral("SERVER NAME=127.0.0.1,1"), QStringLiteral("DATABASE NAME=Sales"),
                            QStringLiteral("USER NAME=qel"), QStringLiteral("PASSWORD=marigold") });
        ADD_FAILURE() << "connected to port 1";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("127.0.0.1,1"))) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QStringLiteral("Unable to connect"))) << e.message().toStdString();
        EXPECT_FALSE(e.message().contains(QStringLiteral("[FreeTDS]"))) << e.message().toStdString();
    }
    EXPECT_LT(timer.elapsed(), 20000);
    // The failed attempt leaves no Qt connection behind.
    EXPECT_FALSE(leftoverQtConnection());
}

TEST(OdbcEngineConnect, BadConnectionParametersFailBeforeAnyNetwork)
{
    EXPECT_THROW(OdbcEngine({ QStringLiteral("DATABASE NAME=Sales") }), DbError);
    EXPECT_THROW(OdbcEngine({ QStringLiteral("SERVER NAME=sqlbox,port") }), DbError);
    EXPECT_FALSE(leftoverQtConnection());
}

// ---- against a real SQL Server ------------------------------------------

// Runs only when QEL_TEST_MSSQL names a server ("host", "host,port" or
// "host\instance"); the login defaults to the program's own.
class OdbcEngineServer : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString server = qEnvironmentVariable("QEL_TEST_MSSQL");
        if (server.isEmpty())
            GTEST_SKIP() << "skipped: QEL_TEST_MSSQL is not set, so there is no SQL Server to test against "
                            "(set it to host, host,port or host\\instance; QEL_TEST_MSSQL_USER and "
                            "QEL_TEST_MSSQL_PASSWORD default to qel / marigold)";
        engine_ = std::make_unique<OdbcEngine>(params(server, 30));
    }

    static QStringList params(const QString& server, int maxQueryTime)
    {
        return { QStringLiteral("SERVER NAME=") + server, QStringLiteral("DATABASE NAME=tempdb"),
                 QStringLiteral("USER NAME=") + qEnvironmentVariable("QEL_TEST_MSSQL_USER", QStringLiteral("qel")),
                 QStringLiteral("PASSWORD=") + qEnvironmentVariable("QEL_TEST_MSSQL_PASSWORD", QStringLiteral("marigold")),
                 QStringLiteral("MAX QUERY TIME=%1").arg(maxQueryTime), QStringLiteral("TDS PACKET SIZE=4096"),
                 QStringLiteral("BLOB SIZE=32"), QStringLiteral("SCHEMA CACHE SIZE=8") };
    }

    db::ResultSet run(const QString& sql, const ParamValues& params = {}) { return engine_->execute(sql, params); }

    std::unique_ptr<OdbcEngine> engine_;
};

TEST_F(OdbcEngineServer, SessionIsInTheNamedDatabase)
{
    EXPECT_EQ(engine_->databaseName(), QStringLiteral("tempdb"));
    const auto rs = run(QStringLiteral("SELECT DB_NAME() AS name"));
    ASSERT_EQ(rs.rows.size(), 1u);
    EXPECT_EQ(rs.columns, QStringList{ QStringLiteral("name") });
    EXPECT_EQ(rs.rows[0][0].toString(), QStringLiteral("tempdb"));
}

TEST_F(OdbcEngineServer, ParametersRoundTrip)
{
    run(QStringLiteral("CREATE TABLE #item (id int PRIMARY KEY, name nvarchar(20) NULL, note nvarchar(max) NULL, "
                       "code varchar(10) NULL, at datetime NULL, price decimal(18,4) NULL, qty bigint NULL, "
                       "active bit NULL)"));
    const QString thai = QString::fromUtf8("ปากกาลูกลื่นสีน้ำเงิน");  // 20 characters: fills nvarchar(20)
    ASSERT_EQ(thai.size(), 20);
    const QString quoted = QString::fromUtf8("O'Brien \"ร้าน\" ; -- :NotAParam");
    const QString longText = QString(5000, QChar(0x0E01)) + QStringLiteral("end");
    const QDateTime at(QDate(2024, 2, 29), QTime(13, 45, 30, 500));

    ParamValues p;
    p.set(QStringLiteral("Id"), 1);
    p.set(QStringLiteral("Name"), thai);
    p.set(QStringLiteral("Note"), longText);
    p.set(QStringLiteral("Code"), QStringLiteral("A-1"));
    p.set(QStringLiteral("At"), at);
    p.set(QStringLiteral("Price"), 1234.5678);
    p.set(QStringLiteral("Qty"), qlonglong(1) << 40);
    p.set(QStringLiteral("Active"), true);
    run(QStringLiteral("INSERT INTO #item VALUES (:Id, :Name, :Note, :Code, :At, :Price, :Qty, :Active)"), p);

    ParamValues nulls;
    nulls.set(QStringLiteral("Id"), 2);
    nulls.set(QStringLiteral("Name"), quoted);
    nulls.set(QStringLiteral("Nothing"), QVariant());
    run(QStringLiteral("INSERT INTO #item (id, name, note, at, price) VALUES (:Id, :Name, :Nothing, :Nothing, :Nothing)"), nulls);

    ParamValues key;
    key.set(QStringLiteral("Name"), thai);
    auto rs = run(QStringLiteral("SELECT id, name, note, code, at, price, qty, active FROM #item WHERE name = :Name"), key);
    ASSERT_EQ(rs.rows.size(), 1u);
    const auto& row = rs.rows[0];
    EXPECT_EQ(row[0].toInt(), 1);
    EXPECT_EQ(row[1].toString(), thai);
    EXPECT_EQ(row[2].toString(), longText);
    EXPECT_EQ(row[3].toString(), QStringLiteral("A-1"));
    EXPECT_EQ(row[4].toDateTime(), at);
    EXPECT_NEAR(row[5].toDouble(), 1234.5678, 1e-9);
    EXPECT_EQ(row[6].toLongLong(), qlonglong(1) << 40);
    EXPECT_TRUE(row[7].toBool());

    key.set(QStringLiteral("Id"), 2);
    rs = run(QStringLiteral("SELECT name, note, at, price FROM #item WHERE id = :Id"), key);
    ASSERT_EQ(rs.rows.size(), 1u);
    EXPECT_EQ(rs.rows[0][0].toString(), quoted);
    for (int c = 1; c < 4; ++c)
        EXPECT_FALSE(rs.rows[0][c].isValid()) << "column " << c << " should be NULL";
}

TEST_F(OdbcEngineServer, LastRowSetOfABatchIsKept)
{
    const auto rs = run(QStringLiteral("CREATE TABLE #t (n int); INSERT INTO #t VALUES (1), (2); "
                                       "SELECT n AS first FROM #t; SELECT n * 10 AS tens, N'ไทย' AS word FROM #t "
                                       "ORDER BY n; UPDATE #t SET n = n + 1"));
    EXPECT_TRUE(rs.returnsRows);
    EXPECT_EQ(rs.columns, (QStringList{ QStringLiteral("tens"), QStringLiteral("word") }));
    ASSERT_EQ(rs.rows.size(), 2u);
    EXPECT_EQ(rs.rows[1][0].toInt(), 20);
    EXPECT_EQ(rs.rows[1][1].toString(), QString::fromUtf8("ไทย"));

    const auto none = run(QStringLiteral("UPDATE #t SET n = n + 1"));
    EXPECT_FALSE(none.returnsRows);
    const auto empty = run(QStringLiteral("SELECT n FROM #t WHERE n < 0"));
    EXPECT_TRUE(empty.returnsRows);
    EXPECT_TRUE(empty.rows.empty());
}

TEST_F(OdbcEngineServer, ErrorsCarryTheServersOwnWords)
{
    run(QStringLiteral("CREATE TABLE #u (id int PRIMARY KEY)"));
    run(QStringLiteral("INSERT INTO #u VALUES (1)"));
    try {
        run(QStringLiteral("INSERT INTO #u VALUES (1)"));
        ADD_FAILURE() << "duplicate accepted";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("Cannot insert duplicate"))) << e.message().toStdString();
        EXPECT_FALSE(e.message().startsWith(QLatin1Char('['))) << e.message().toStdString();
    }
    // An error in a later statement of a batch is not lost.
    EXPECT_THROW(run(QStringLiteral("SELECT 1; SELECT * FROM #no_such_table")), DbError);
    // The session is still usable.
    EXPECT_EQ(run(QStringLiteral("SELECT COUNT(*) FROM #u")).rows.at(0).at(0).toInt(), 1);
}

TEST_F(OdbcEngineServer, MaxQueryTimeStopsALongStatement)
{
    OdbcEngine quick(params(qEnvironmentVariable("QEL_TEST_MSSQL"), 1));
    QElapsedTimer timer;
    timer.start();
    EXPECT_THROW(quick.execute(QStringLiteral("WAITFOR DELAY '00:00:10'"), {}), DbError);
    EXPECT_LT(timer.elapsed(), 8000);
    EXPECT_EQ(quick.execute(QStringLiteral("SELECT 7"), {}).rows.at(0).at(0).toInt(), 7);
}

TEST_F(OdbcEngineServer, ProcedureOutputsAndReturnValue)
{
    run(QStringLiteral(
        "CREATE PROCEDURE #qel_price @code nvarchar(20), @qty int, @label nvarchar(100) OUTPUT, "
        "@total float OUTPUT, @seen datetime OUTPUT, @count int OUTPUT AS "
        "BEGIN "
        "  SELECT @code AS echoed; "                  // a row set before the outputs
        "  PRINT 'working'; "
        "  SET @label = @code + N' ราคา ' + CAST(@qty AS nvarchar(10)); "
        "  SET @total = @qty * 2.5; "
        "  SET @seen = '2024-02-29T13:45:30.500'; "
        "  SET @count = @count + 1; "
        "  RETURN @qty + 1; "
        "END"));
    std::vector<ProcParam> params = {
        { QStringLiteral("Result"), ParamDirection::Result, QMetaType::Int, {} },
        { QStringLiteral("@code"), ParamDirection::Input, QMetaType::QString, QString::fromUtf8("ปากกา") },
        { QStringLiteral("@qty"), ParamDirection::Input, QMetaType::Int, 4 },
        { QStringLiteral("@label"), ParamDirection::Output, QMetaType::QString, {} },
        { QStringLiteral("@total"), ParamDirection::Output, QMetaType::Double, {} },
        { QStringLiteral("@seen"), ParamDirection::Output, QMetaType::QDateTime, {} },
        { QStringLiteral("@count"), ParamDirection::InputOutput, QMetaType::Int, 41 },
    };
    engine_->callProcedure(QStringLiteral("#qel_price"), params);
    EXPECT_EQ(params[0].value.toInt(), 5);
    EXPECT_EQ(params[1].value.toString(), QString::fromUtf8("ปากกา"));  // inputs are left alone
    EXPECT_EQ(params[3].value.toString(), QString::fromUtf8("ปากกา ราคา 4"));
    EXPECT_DOUBLE_EQ(params[4].value.toDouble(), 10.0);
    EXPECT_EQ(params[5].value.toDateTime(), QDateTime(QDate(2024, 2, 29), QTime(13, 45, 30, 500)));
    EXPECT_EQ(params[6].value.toInt(), 42);

    // A NULL output comes back as NULL.
    params[6].value = QVariant();
    engine_->callProcedure(QStringLiteral("#qel_price"), params);
    EXPECT_FALSE(params[6].value.isValid());
}

TEST_F(OdbcEngineServer, ProcedureErrorsAreThrown)
{
    run(QStringLiteral("CREATE PROCEDURE #qel_fail AS RAISERROR('Stock is negative for item %d', 16, 1, 7)"));
    std::vector<ProcParam> params = { { QStringLiteral("Result"), ParamDirection::Result, QMetaType::Int, {} } };
    try {
        engine_->callProcedure(QStringLiteral("#qel_fail"), params);
        ADD_FAILURE() << "no error";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Stock is negative for item 7"));
    }
}

TEST_F(OdbcEngineServer, DatesWrittenMonthFirstAreReadMonthFirstWhateverTheLoginsLanguage)
{
    // The session starts month first even for a login whose language reads
    // day first; 03/04 is then the fourth of March, and a day above 12 is
    // no error.
    const auto rs = run(QStringLiteral("SELECT Month(Convert(DateTime, '03/04/2026')) AS m, "
                                       "Day(Convert(DateTime, '12/25/2026')) AS d"));
    ASSERT_EQ(rs.rows.size(), 1u);
    EXPECT_EQ(rs.rows[0][0].toInt(), 3);
    EXPECT_EQ(rs.rows[0][1].toInt(), 25);
}

} // namespace
