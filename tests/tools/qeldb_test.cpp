#include "QelDb.h"

#include "db/DbError.h"
#include "db/Engine.h"
#include "db/sqlite/SqliteEngine.h"
#include "support/QtPrinters.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>

#include "support/ToolRun.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>

#include <unistd.h>

using qeldb::CommandLine;

namespace {

using Outcome = ToolOutcome;

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(bytes);
}

// Makes a temporary folder the current one for the life of a test and puts
// the previous one back, whatever the test does.
class InTemporaryFolder {
public:
    InTemporaryFolder() : previous_(QDir::currentPath()) { QDir::setCurrent(dir_.path()); }
    ~InTemporaryFolder() { QDir::setCurrent(previous_); }
    QString path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    QString previous_;
};

// ---- command line --------------------------------------------------------

TEST(QelDbCommandLine, WithoutOptionsTheProgramsOwnLoginAndConfigurationDatabaseAreUsed)
{
    const CommandLine c = qeldb::parseCommandLine({QStringLiteral("query"), QStringLiteral("SELECT 1")});
    ASSERT_EQ(c.outcome, CommandLine::Outcome::Run) << c.error.toStdString();
    EXPECT_FALSE(c.options.serverGiven);
    EXPECT_EQ(c.options.database, QStringLiteral("QEL_CONFIG"));
    EXPECT_EQ(c.options.user, QStringLiteral("qel"));
    EXPECT_EQ(c.options.password, QStringLiteral("marigold"));
    EXPECT_FALSE(c.options.verbose);
    EXPECT_EQ(c.options.command, QStringLiteral("query"));
    EXPECT_EQ(c.options.arguments, QStringList{QStringLiteral("SELECT 1")});
}

TEST(QelDbCommandLine, OptionsTakeSeparateOrAttachedValuesAndMayFollowTheCommand)
{
    const CommandLine c = qeldb::parseCommandLine(
        {QStringLiteral("--server=sqlite:/data/qel"), QStringLiteral("--database"), QStringLiteral("Shop"),
         QStringLiteral("--user"), QStringLiteral("sa"), QStringLiteral("script"), QStringLiteral("--verbose"),
         QStringLiteral("one.sql"), QStringLiteral("--password=a=b"), QStringLiteral("two.sql")});
    ASSERT_EQ(c.outcome, CommandLine::Outcome::Run) << c.error.toStdString();
    EXPECT_TRUE(c.options.serverGiven);
    EXPECT_EQ(c.options.server, QStringLiteral("sqlite:/data/qel"));
    EXPECT_EQ(c.options.database, QStringLiteral("Shop"));
    EXPECT_EQ(c.options.user, QStringLiteral("sa"));
    EXPECT_EQ(c.options.password, QStringLiteral("a=b"));  // only the first '=' separates
    EXPECT_TRUE(c.options.verbose);
    EXPECT_EQ(c.options.arguments, (QStringList{QStringLiteral("one.sql"), QStringLiteral("two.sql")}));
}

TEST(QelDbCommandLine, QueryTextStartingWithDashesIsQueryTextNotAnOption)
{
    const QString sql = QStringLiteral("-- prices\nSELECT 1");
    const CommandLine c = qeldb::parseCommandLine({QStringLiteral("query"), sql});
    ASSERT_EQ(c.outcome, CommandLine::Outcome::Run) << c.error.toStdString();
    EXPECT_EQ(c.options.arguments, QStringList{sql});

    // After "--" even an option's name is an argument.
    const CommandLine literal =
        qeldb::parseCommandLine({QStringLiteral("script"), QStringLiteral("--"), QStringLiteral("--verbose")});
    ASSERT_EQ(literal.outcome, CommandLine::Outcome::Run);
    EXPECT_FALSE(literal.options.verbose);
    EXPECT_EQ(literal.options.arguments, QStringList{QStringLiteral("--verbose")});
}

TEST(QelDbCommandLine, BadCommandLinesPrintUsageOnStandardErrorAndExitTwo)
{
    const QList<QStringList> bad = {
        {},
        {QStringLiteral("frobnicate")},
        {QStringLiteral("create")},
        {QStringLiteral("create"), QStringLiteral("A"), QStringLiteral("B")},
        {QStringLiteral("create"), QString()},
        {QStringLiteral("script")},
        {QStringLiteral("query")},
        {QStringLiteral("query"), QStringLiteral("SELECT 1"), QStringLiteral("SELECT 2")},
        {QStringLiteral("query"), QStringLiteral("SELECT 1"), QStringLiteral("--databse=x")},
        {QStringLiteral("--server")},
        {QStringLiteral("--bogus"), QStringLiteral("query"), QStringLiteral("SELECT 1")},
    };
    for (const QStringList& args : bad) {
        SCOPED_TRACE(args.join(QLatin1Char(' ')).toStdString());
        const Outcome o = runTool(args);
        EXPECT_EQ(o.status, 2);
        EXPECT_TRUE(o.out.isEmpty()) << o.out.toStdString();
        EXPECT_TRUE(o.err.contains(qeldb::usageText())) << o.err.toStdString();
    }
}

TEST(QelDbCommandLine, HelpGoesToStandardOutputWherEverItIsAsked)
{
    for (const QStringList& args : QList<QStringList>{{QStringLiteral("--help")},
                                                      {QStringLiteral("query"), QStringLiteral("-h")},
                                                      {QStringLiteral("--server"), QStringLiteral("x"),
                                                       QStringLiteral("create"), QStringLiteral("--help")}}) {
        SCOPED_TRACE(args.join(QLatin1Char(' ')).toStdString());
        const Outcome o = runTool(args);
        EXPECT_EQ(o.status, 0);
        EXPECT_EQ(o.out, qeldb::usageText());
        EXPECT_TRUE(o.err.isEmpty());
    }
}

// ---- connection parameters and Server.Dat ---------------------------------

TEST(QelDbConnection, ParameterListCarriesTheLoginAndTheProgramsLimits)
{
    qeldb::Options o;
    o.server = QStringLiteral("sqlbox\\SQL2019");
    o.serverGiven = true;
    o.database = QStringLiteral("DMDATA");
    o.user = QStringLiteral("clerk");
    o.password = QStringLiteral("p=w;x");
    const QStringList params = qeldb::connectionParams(o);
    EXPECT_EQ(params.size(), 6);
    EXPECT_EQ(db::connectionParam(params, QStringLiteral("DATABASE NAME")), QStringLiteral("DMDATA"));
    EXPECT_EQ(db::connectionParam(params, QStringLiteral("SERVER NAME")), QStringLiteral("sqlbox\\SQL2019"));
    EXPECT_EQ(db::connectionParam(params, QStringLiteral("USER NAME")), QStringLiteral("clerk"));
    EXPECT_EQ(db::connectionParam(params, QStringLiteral("PASSWORD")), QStringLiteral("p=w;x"));
    EXPECT_EQ(db::connectionParam(params, QStringLiteral("MAX QUERY TIME")), QStringLiteral("600"));
    EXPECT_EQ(db::connectionParam(params, QStringLiteral("TDS PACKET SIZE")), QStringLiteral("4096"));
    for (const QString& p : params)
        EXPECT_TRUE(p.contains(QLatin1Char('='))) << p.toStdString();

    // The same login on another database (what create does with "master").
    const QStringList master = qeldb::connectionParams(o, QStringLiteral("master"));
    EXPECT_EQ(db::connectionParam(master, QStringLiteral("DATABASE NAME")), QStringLiteral("master"));
    EXPECT_EQ(db::connectionParam(master, QStringLiteral("USER NAME")), QStringLiteral("clerk"));
}

TEST(QelDbConnection, ServerDatFirstLineIsTakenAsWritten)
{
    InTemporaryFolder here;
    const qeldb::Options defaults;

    // Blank padding stays: the program itself does not trim either.
    writeFile(QStringLiteral("Server.Dat"), "  sqlbox\\SQL2019  \r\nsecond line\r\n");
    EXPECT_EQ(db::connectionParam(qeldb::connectionParams(defaults), QStringLiteral("SERVER NAME")),
              QStringLiteral("  sqlbox\\SQL2019  "));

    writeFile(QStringLiteral("Server.Dat"), "tcp:10.0.0.5,1433");  // no line end at all
    EXPECT_EQ(db::connectionParam(qeldb::connectionParams(defaults), QStringLiteral("SERVER NAME")),
              QStringLiteral("tcp:10.0.0.5,1433"));

    // --server wins over the file.
    qeldb::Options given;
    given.server = QStringLiteral("other");
    given.serverGiven = true;
    EXPECT_EQ(db::connectionParam(qeldb::connectionParams(given), QStringLiteral("SERVER NAME")),
              QStringLiteral("other"));
}

TEST(QelDbConnection, MissingOrEmptyServerDatMeansQel)
{
    InTemporaryFolder here;
    const qeldb::Options defaults;
    ASSERT_FALSE(QFileInfo::exists(QStringLiteral("Server.Dat")));
    EXPECT_EQ(db::connectionParam(qeldb::connectionParams(defaults), QStringLiteral("SERVER NAME")),
              QStringLiteral("QEL"));

    for (const QByteArray& contents : {QByteArray(), QByteArray("\n"), QByteArray("\r\nsqlbox\r\n")}) {
        SCOPED_TRACE(contents.toStdString());
        writeFile(QStringLiteral("Server.Dat"), contents);
        EXPECT_EQ(db::connectionParam(qeldb::connectionParams(defaults), QStringLiteral("SERVER NAME")),
                  QStringLiteral("QEL"));
    }
}

TEST(QelDbConnection, ServerDatNamingAnEmbeddedFolderIsWhereTheToolWorks)
{
    InTemporaryFolder here;
    QTemporaryDir data;
    writeFile(QStringLiteral("Server.Dat"), (QStringLiteral("sqlite:") + data.path() + QStringLiteral("\n")).toUtf8());

    ASSERT_EQ(runTool({QStringLiteral("create"), QStringLiteral("Branch")}).status, 0);
    EXPECT_FALSE(db::sqlite::findDatabaseFile(data.path(), QStringLiteral("Branch")).isEmpty());
    // Only the new, empty database answers this way; any other is an error.
    const Outcome q = runTool({QStringLiteral("--database"), QStringLiteral("branch"), QStringLiteral("query"),
                               QStringLiteral("SELECT COUNT(*) AS tables FROM sysobjects WHERE xtype = 'U'")});
    EXPECT_EQ(q.status, 0) << q.err.toStdString();
    EXPECT_EQ(q.out, QStringLiteral("tables\n0\n"));
}

// ---- splitting scripts ----------------------------------------------------

TEST(QelDbBatches, GoAndSlashLinesEndBatchesInAnyCaseWithBlanksAround)
{
    const QString text = QStringLiteral(
        "CREATE TABLE a (x int)\n"   // 1
        "GO\n"                      // 2
        "INSERT INTO a VALUES (1)\n"  // 3
        "  go  \n"                  // 4
        "\n"                        // 5
        "\n"                        // 6
        "SELECT x / 2 FROM a\n"     // 7: a slash inside a line divides
        "-- GO in a comment\n"      // 8
        "\tGo\t\n"                  // 9
        "GOTO done\n"               // 10: not a separator
        "done:\n"                   // 11
        " / \n"                     // 12
        "SELECT 1\n"                // 13
        "/\n");                     // 14
    const std::vector<qeldb::Batch> b = qeldb::splitBatches(text);
    ASSERT_EQ(b.size(), 5u);
    EXPECT_EQ(b[0].line, 1);
    EXPECT_EQ(b[0].sql, QStringLiteral("CREATE TABLE a (x int)"));
    EXPECT_EQ(b[1].line, 3);
    EXPECT_EQ(b[1].sql, QStringLiteral("INSERT INTO a VALUES (1)"));
    EXPECT_EQ(b[2].line, 7);
    EXPECT_EQ(b[2].sql, QStringLiteral("SELECT x / 2 FROM a\n-- GO in a comment"));
    EXPECT_EQ(b[3].line, 10);
    EXPECT_EQ(b[3].sql, QStringLiteral("GOTO done\ndone:"));
    EXPECT_EQ(b[4].line, 13);
    EXPECT_EQ(b[4].sql, QStringLiteral("SELECT 1"));
}

TEST(QelDbBatches, EmptyBatchesAreDroppedAndTheLastNeedsNoSeparator)
{
    const std::vector<qeldb::Batch> b =
        qeldb::splitBatches(QStringLiteral("GO\n\nGO\n/\n   \nSELECT 1\nSELECT 2\nGO\nGO\n\nSELECT 3"));
    ASSERT_EQ(b.size(), 2u);
    EXPECT_EQ(b[0].line, 6);
    EXPECT_EQ(b[0].sql, QStringLiteral("SELECT 1\nSELECT 2"));
    EXPECT_EQ(b[1].line, 11);
    EXPECT_EQ(b[1].sql, QStringLiteral("SELECT 3"));

    EXPECT_TRUE(qeldb::splitBatches(QString()).empty());
    EXPECT_TRUE(qeldb::splitBatches(QStringLiteral("\r\n  \r\nGO\r\n")).empty());
}

TEST(QelDbBatches, WindowsFilesWithByteOrderMarkAndThaiText)
{
    const QString thai = QString::fromUtf8("ปากกาลูกลื่น");
    const QByteArray bytes = QByteArray("\xEF\xBB\xBF") + "INSERT INTO p VALUES (N'" + thai.toUtf8() +
                             "')\r\ngo\r\nSELECT 1\r\nFROM p\r\n";
    const QString text = qeldb::decodeScript(bytes);
    EXPECT_FALSE(text.startsWith(QChar(0xFEFF)));
    const std::vector<qeldb::Batch> b = qeldb::splitBatches(text);
    ASSERT_EQ(b.size(), 2u);
    EXPECT_EQ(b[0].line, 1);
    EXPECT_EQ(b[0].sql, QStringLiteral("INSERT INTO p VALUES (N'") + thai + QStringLiteral("')"));
    EXPECT_EQ(b[1].line, 3);
    EXPECT_EQ(b[1].sql, QStringLiteral("SELECT 1\nFROM p"));  // no carriage returns left
}

// ---- printing values -------------------------------------------------------

TEST(QelDbValues, NumbersPrintInTheirShortestExactDecimalForm)
{
    EXPECT_EQ(qeldb::formatValue(12.5), QStringLiteral("12.5"));
    EXPECT_EQ(qeldb::formatValue(3.0), QStringLiteral("3"));
    EXPECT_EQ(qeldb::formatValue(-0.25), QStringLiteral("-0.25"));
    EXPECT_EQ(qeldb::formatValue(0.1), QStringLiteral("0.1"));
    EXPECT_EQ(qeldb::formatValue(0.1 + 0.2), QStringLiteral("0.30000000000000004"));  // not rounded away
    EXPECT_EQ(qeldb::formatValue(1e21), QStringLiteral("1") + QString(21, QLatin1Char('0')));  // no exponent
    EXPECT_EQ(qeldb::formatValue(QVariant::fromValue(0.1f)), QStringLiteral("0.1"));  // float's own shortest
    EXPECT_EQ(qeldb::formatValue(QVariant::fromValue(std::numeric_limits<qint64>::min())),
              QStringLiteral("-9223372036854775808"));
    EXPECT_EQ(qeldb::formatValue(QVariant::fromValue(std::numeric_limits<quint64>::max())),
              QStringLiteral("18446744073709551615"));
    EXPECT_EQ(qeldb::formatValue(QVariant(int(-7))), QStringLiteral("-7"));
    EXPECT_EQ(qeldb::formatValue(QVariant(true)), QStringLiteral("1"));  // bit
    EXPECT_EQ(qeldb::formatValue(QVariant(false)), QStringLiteral("0"));
}

TEST(QelDbValues, EveryDoubleReadsBackExactlyAndNoShorterTextWould)
{
    std::mt19937_64 random(20240229);
    std::uniform_int_distribution<int> exponent(-12, 15);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<std::uint64_t> bits;
    for (int i = 0; i < 4000; ++i) {
        // Half ordinary amounts, half arbitrary bit patterns.
        double d = i % 2 ? mantissa(random) * std::pow(10.0, exponent(random)) : std::bit_cast<double>(bits(random));
        if (!std::isfinite(d))
            continue;
        const QByteArray text = qeldb::formatValue(d).toLatin1();
        SCOPED_TRACE(text.toStdString());
        ASSERT_FALSE(text.contains('e') || text.contains('E'));
        ASSERT_EQ(std::strtod(text.constData(), nullptr), d);

        // Shortest: dropping the last significant digit, rounded either way,
        // gives another number.
        const qsizetype dot = text.indexOf('.');
        if (dot < 0)
            continue;
        const int decimals = int(text.size() - dot - 1);
        const double scale = std::pow(10.0, decimals - 1);
        if (!std::isfinite(scale) || decimals > 300)
            continue;
        for (const double shorter : {std::floor(d * scale) / scale, std::ceil(d * scale) / scale}) {
            char fewer[400];
            std::snprintf(fewer, sizeof fewer, "%.*f", decimals - 1, shorter);
            EXPECT_NE(std::strtod(fewer, nullptr), d) << fewer;
        }
    }
}

TEST(QelDbValues, NullDatesBinaryAndText)
{
    EXPECT_EQ(qeldb::formatValue(QVariant()), QStringLiteral("NULL"));
    EXPECT_EQ(qeldb::formatValue(QVariant(QMetaType::fromType<QString>())), QStringLiteral("NULL"));
    EXPECT_EQ(qeldb::formatValue(QString::fromLatin1("")), QString());  // empty text is not NULL
    EXPECT_EQ(qeldb::formatValue(QStringLiteral("NULL")), QStringLiteral("NULL"));

    EXPECT_EQ(qeldb::formatValue(QDateTime(QDate(2024, 2, 29), QTime(13, 45, 30, 7))),
              QStringLiteral("2024-02-29 13:45:30.007"));
    EXPECT_EQ(qeldb::formatValue(QDateTime(QDate(1999, 12, 31), QTime(23, 0))),
              QStringLiteral("1999-12-31 23:00:00.000"));
    EXPECT_EQ(qeldb::formatValue(QTime(9, 5, 3)), QStringLiteral("09:05:03"));

    EXPECT_EQ(qeldb::formatValue(QByteArray("\x00\x1f\xab", 3)), QStringLiteral("0x001FAB"));

    const QString thai = QString::fromUtf8("ร้านสมใจ \\ สาขา 2");
    EXPECT_EQ(qeldb::formatValue(thai), thai);
    EXPECT_EQ(qeldb::formatValue(QStringLiteral("a\tb\r\nc\n")), QStringLiteral("a\\tb\\r\\nc\\n"));
}

// A SQL Server date arrives as a QDate, the embedded engine's as text in a
// column it types DATE; both print as SQL Server's client shows them.
TEST(QelDbValues, DatesAndRealsPrintAsSqlServersClientShowsThem)
{
    QTemporaryDir dir;
    db::sqlite::createDatabase(dir.path(), QStringLiteral("D"));
    const auto engine = db::openEngine(
        {QStringLiteral("DATABASE NAME=D"), QStringLiteral("SERVER NAME=sqlite:") + dir.path()});
    dynamic_cast<db::sqlite::SqliteEngine&>(*engine).setReportColumnTypes(true);  // as the query command does
    const db::ResultSet rs = engine->execute(
        QStringLiteral("CREATE TABLE t (d date, at datetime)\n"
                       "INSERT INTO t VALUES ('2024-02-29', '2024-02-29 13:45:30.250')\n"
                       "SELECT d, at, CAST(at AS date) AS day, CAST(at AS smalldatetime) AS near, * FROM t"),
        db::ParamValues());
    ASSERT_EQ(rs.rows.size(), 1u);
    EXPECT_EQ(qeldb::formatResult(rs), QByteArray("d\tat\tday\tnear\td\tat\n"
                                                  "2024-02-29\t2024-02-29 13:45:30.250\t2024-02-29\t2024-02-29 13:46:00"
                                                  "\t2024-02-29\t2024-02-29 13:45:30.250\n"));
    EXPECT_EQ(qeldb::formatValue(QDate(2024, 2, 29)), QStringLiteral("2024-02-29"));
    EXPECT_EQ(qeldb::formatValue(QDateTime(QDate(2024, 2, 29), QTime(13, 45, 30, 250))),
              QStringLiteral("2024-02-29 13:45:30.250"));

    const db::ResultSet real =
        engine->execute(QStringLiteral("SELECT CAST(0.1 AS real) AS r, CAST(CAST(0.1 AS real) AS float) AS f"), {});
    EXPECT_EQ(qeldb::formatResult(real), QByteArray("r\tf\n0.1\t0.10000000149011612\n"))
        << "a real shows the digits its four bytes hold; as a float it is that float's value";

    const db::ResultSet exact = engine->execute(
        QStringLiteral("SELECT CAST(263.5 AS money) AS m, CAST(1552.6 AS decimal(10,2)) AS d, "
                       "CAST(7 AS numeric(5,0)) AS n, CAST(-0.5 AS decimal(9,3)) AS neg"),
        {});
    EXPECT_EQ(qeldb::formatResult(exact), QByteArray("m\td\tn\tneg\n263.5000\t1552.60\t7\t-0.500\n"))
        << "money and decimals show every decimal of their scale";
}

TEST(QelDbValues, ResultsPrintAsOneLinePerRowUnderAHeader)
{
    db::ResultSet none;
    EXPECT_TRUE(qeldb::formatResult(none).isEmpty());

    db::ResultSet empty;
    empty.returnsRows = true;
    empty.columns = {QStringLiteral("code"), QStringLiteral("name")};
    EXPECT_EQ(qeldb::formatResult(empty), QByteArray("code\tname\n"));

    db::ResultSet rows = empty;
    rows.rows.push_back({QStringLiteral("A1"), QVariant()});
    rows.rows.push_back({QStringLiteral("two\nlines"), 2.5});
    EXPECT_EQ(qeldb::formatResult(rows), QByteArray("code\tname\nA1\tNULL\ntwo\\nlines\t2.5\n"));
}

// ---- the tool on the embedded engine ----------------------------------------

class QelDbTool : public ::testing::Test {
protected:
    QString server() const { return QStringLiteral("sqlite:") + data_.path(); }
    QString file(const QString& name) const { return QDir(scripts_.path()).filePath(name); }

    Outcome on(const QString& database, QStringList arguments)
    {
        arguments = QStringList{QStringLiteral("--server"), server(), QStringLiteral("--database"), database} + arguments;
        return runTool(arguments);
    }
    Outcome query(const QString& sql) { return on(QStringLiteral("Shop"), {QStringLiteral("query"), sql}); }
    Outcome script(const QStringList& files)
    {
        return on(QStringLiteral("Shop"), QStringList{QStringLiteral("script")} + files);
    }
    void makeShop()
    {
        const Outcome o = on(QStringLiteral("x"), {QStringLiteral("create"), QStringLiteral("Shop")});
        ASSERT_EQ(o.status, 0) << o.err.toStdString();
    }
    // Names of the tables in Shop, one a line, sorted.
    QString tables()
    {
        return query(QStringLiteral("SELECT name FROM sysobjects WHERE xtype = 'U' ORDER BY name")).out;
    }

    QTemporaryDir data_;
    QTemporaryDir scripts_;
};

TEST_F(QelDbTool, CreateMakesAnEmptyDatabaseOnceOnly)
{
    makeShop();
    EXPECT_FALSE(db::sqlite::findDatabaseFile(data_.path(), QStringLiteral("shop")).isEmpty());
    EXPECT_EQ(tables(), QStringLiteral("name\n"));

    // A second time, under any case, fails as SQL Server fails.
    const Outcome again = on(QStringLiteral("x"), {QStringLiteral("create"), QStringLiteral("SHOP")});
    EXPECT_NE(again.status, 0);
    EXPECT_TRUE(again.out.isEmpty());
    EXPECT_TRUE(again.err.contains(QStringLiteral("Database 'SHOP' already exists"))) << again.err.toStdString();
}

TEST_F(QelDbTool, CreateMakesTheFolderItNeedsOrSaysWhyItCannot)
{
    const QString nested = data_.path() + QStringLiteral("/site/a/b");
    Outcome o = runTool({QStringLiteral("--server"), QStringLiteral("sqlite:") + nested, QStringLiteral("create"),
                         QStringLiteral("QEL_CONFIG")});
    EXPECT_EQ(o.status, 0) << o.err.toStdString();
    EXPECT_FALSE(db::sqlite::findDatabaseFile(nested, QStringLiteral("QEL_CONFIG")).isEmpty());

    // A plain file where the folder should be.
    writeFile(data_.path() + QStringLiteral("/blocked"), "x");
    o = runTool({QStringLiteral("--server"), QStringLiteral("sqlite:") + data_.path() + QStringLiteral("/blocked/db"),
                 QStringLiteral("create"), QStringLiteral("Shop")});
    EXPECT_EQ(o.status, 1);
    EXPECT_FALSE(o.err.trimmed().isEmpty());
}

TEST_F(QelDbTool, ScriptRunsEveryBatchOfEveryFileInOrder)
{
    makeShop();
    writeFile(file(QStringLiteral("schema.sql")),
              "CREATE TABLE item (code varchar(10) PRIMARY KEY, qty int NOT NULL)\n"
              "GO\n"
              "CREATE TABLE log (n int)\n"
              "/\n");
    // The second file depends on the first; each batch sees what the one
    // before it did.
    writeFile(file(QStringLiteral("data.sql")),
              "INSERT INTO item VALUES ('A', 1)\n"
              "INSERT INTO item VALUES ('B', 2)\n"
              "go\n"
              "UPDATE item SET qty = qty * 10\n"
              "/\n"
              "INSERT INTO log SELECT SUM(qty) FROM item\n");
    const Outcome o = script({file(QStringLiteral("schema.sql")), file(QStringLiteral("data.sql"))});
    EXPECT_EQ(o.status, 0) << o.err.toStdString();
    EXPECT_TRUE(o.out.isEmpty()) << o.out.toStdString();
    EXPECT_TRUE(o.err.isEmpty()) << o.err.toStdString();
    EXPECT_EQ(query(QStringLiteral("SELECT code, qty FROM item ORDER BY code")).out,
              QStringLiteral("code\tqty\nA\t10\nB\t20\n"));
    EXPECT_EQ(query(QStringLiteral("SELECT n FROM log")).out, QStringLiteral("n\n30\n"));
}

TEST_F(QelDbTool, VerboseScriptNamesEachBatchByFileAndLine)
{
    makeShop();
    const QString path = file(QStringLiteral("v.sql"));
    writeFile(path, "\nCREATE TABLE t (n int)\nGO\nINSERT INTO t VALUES (1)\n");
    const Outcome o = on(QStringLiteral("Shop"), {QStringLiteral("--verbose"), QStringLiteral("script"), path});
    EXPECT_EQ(o.status, 0) << o.err.toStdString();
    const QStringList lines = o.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << o.out.toStdString();
    EXPECT_TRUE(lines[0].startsWith(path + QStringLiteral(":2:"))) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith(path + QStringLiteral(":4:"))) << lines[1].toStdString();
}

TEST_F(QelDbTool, AFailingBatchIsReportedByFileAndLineAndNothingAfterItRuns)
{
    makeShop();
    const QString bad = file(QStringLiteral("bad.sql"));
    const QByteArray failing = "INSERT INTO nowhere VALUES (1)";
    writeFile(bad,
              "CREATE TABLE before_it (n int)\r\n"  // 1
              "GO\r\n"                              // 2
              "\r\n"                                // 3
              "-- this one fails\r\n"               // 4
              + failing + "\r\n"                    // 5
              "/\r\n"                               // 6
              "CREATE TABLE after_it (n int)\r\n");
    const QString later = file(QStringLiteral("later.sql"));
    writeFile(later, "CREATE TABLE in_later_file (n int)\n");

    const Outcome o = script({bad, later});
    EXPECT_EQ(o.status, 1);
    EXPECT_TRUE(o.out.isEmpty());

    // The message is the engine's own for that batch, behind FILE:LINE.
    QString engineSays;
    try {
        db::openEngine(qeldb::connectionParams([&] {
            qeldb::Options opt;
            opt.server = server();
            opt.serverGiven = true;
            opt.database = QStringLiteral("Shop");
            return opt;
        }()))->execute(QStringLiteral("-- this one fails\n") + QString::fromUtf8(failing), db::ParamValues());
    } catch (const db::DbError& e) {
        engineSays = e.message();
    }
    ASSERT_FALSE(engineSays.isEmpty());
    EXPECT_EQ(o.err, bad + QStringLiteral(":4: ") + engineSays + QLatin1Char('\n'));

    EXPECT_EQ(tables(), QStringLiteral("name\nbefore_it\n"));
}

TEST_F(QelDbTool, AnUnreadableFileStopsTheScriptBeforeAnythingRuns)
{
    makeShop();
    const QString good = file(QStringLiteral("good.sql"));
    writeFile(good, "CREATE TABLE t (n int)\n");
    const QString missing = file(QStringLiteral("missing.sql"));
    const Outcome o = script({good, missing});
    EXPECT_EQ(o.status, 1);
    EXPECT_TRUE(o.err.startsWith(missing + QLatin1Char(':'))) << o.err.toStdString();
    EXPECT_EQ(tables(), QStringLiteral("name\n"));
}

TEST_F(QelDbTool, QueryPrintsTheLastResultAsTabSeparatedText)
{
    makeShop();
    const QString thai = QString::fromUtf8("ปากกาลูกลื่น สีน้ำเงิน");
    // The tab inside the last name is a real one, as a script would hold it.
    writeFile(file(QStringLiteral("p.sql")),
              (QStringLiteral("CREATE TABLE price (code varchar(10), name nvarchar(40), amount decimal(18,2),\n"
                              "  qty int, change float, since datetime)\n"
                              "GO\n"
                              "INSERT INTO price VALUES ('P1', N'") +
               thai +
               QStringLiteral("', 12.5, 3, -0.25, '2024-02-29 13:45:00')\n"
                              "INSERT INTO price VALUES ('P2', NULL, NULL, NULL, NULL, NULL)\n"
                              "INSERT INTO price VALUES ('P3', N'a\tb', 0, -3, 0.5, '2023-01-02 03:04:05.678')\n"))
                  .toUtf8());
    ASSERT_EQ(script({file(QStringLiteral("p.sql"))}).status, 0);

    const Outcome o = query(QStringLiteral("SELECT 1 AS ignored\n"
                                           "SELECT code, name, amount, qty, change, since FROM price ORDER BY code"));
    EXPECT_EQ(o.status, 0) << o.err.toStdString();
    EXPECT_TRUE(o.err.isEmpty());
    const QString expected = QStringLiteral("code\tname\tamount\tqty\tchange\tsince\n") +
                             QStringLiteral("P1\t") + thai + QStringLiteral("\t12.50\t3\t-0.25\t2024-02-29 13:45:00.000\n") +
                             QStringLiteral("P2\tNULL\tNULL\tNULL\tNULL\tNULL\n") +
                             QStringLiteral("P3\ta\\tb\t0.00\t-3\t0.5\t2023-01-02 03:04:05.678\n");
    EXPECT_EQ(o.out, expected);

    // A row set with no rows still has its header.
    EXPECT_EQ(query(QStringLiteral("SELECT code FROM price WHERE 1 = 0")).out, QStringLiteral("code\n"));
}

TEST_F(QelDbTool, TrigramIndexIsBuiltForATextColumnAndRefusedForAnythingElse)
{
    makeShop();
    ASSERT_EQ(query(QStringLiteral("CREATE TABLE plain (body nvarchar(80))\n"
                                   "CREATE TABLE note (id int IDENTITY(1,1) PRIMARY KEY, body nvarchar(80), n int)\n"
                                   "INSERT INTO note (body, n) VALUES (N'ส่งของวันจันทร์', 1), (N'Monday delivery', 2)"))
                  .status,
              0);
    const QString search = QStringLiteral("SELECT n FROM note WHERE body LIKE N'%วันจันทร์%'");
    EXPECT_EQ(on(QStringLiteral("Shop"), {QStringLiteral("plan"), search}).out.count(QStringLiteral("qel_trigram")), 0)
        << "no index yet: the LIKE reads every row";

    const Outcome made = on(QStringLiteral("Shop"), {QStringLiteral("trigram-index"), QStringLiteral("note"),
                                                    QStringLiteral("body")});
    EXPECT_EQ(made.status, 0) << made.err.toStdString();
    const Outcome plan = on(QStringLiteral("Shop"), {QStringLiteral("plan"), search});
    EXPECT_EQ(plan.status, 0) << plan.err.toStdString();
    EXPECT_TRUE(plan.out.contains(QStringLiteral("SCAN qel_trigram_note_body VIRTUAL TABLE"))) << plan.out.toStdString();
    EXPECT_EQ(query(search).out, QStringLiteral("n\n1\n"));

    // A table without an IDENTITY has no row number that VACUUM keeps.
    for (const QStringList& wrong : {QStringList{"note", "n"}, QStringList{"note", "nothing"}, QStringList{"none", "body"},
                                     QStringList{"plain", "body"}}) {
        const Outcome o = on(QStringLiteral("Shop"), QStringList{QStringLiteral("trigram-index")} + wrong);
        EXPECT_EQ(o.status, 1) << wrong.join('.').toStdString();
        EXPECT_TRUE(o.err.contains(QStringLiteral("is not a text column of a table with an IDENTITY")))
            << o.err.toStdString();
    }
    EXPECT_EQ(query(QStringLiteral("SELECT count(*) AS c FROM qel_trigram")).out, QStringLiteral("c\n1\n"))
        << "a refused declaration is not kept";
}

TEST_F(QelDbTool, QueryWithoutRowsPrintsNothingAndErrorsGoToStandardError)
{
    makeShop();
    Outcome o = query(QStringLiteral("CREATE TABLE t (n int)\nINSERT INTO t VALUES (1)"));
    EXPECT_EQ(o.status, 0) << o.err.toStdString();
    EXPECT_TRUE(o.out.isEmpty()) << o.out.toStdString();
    EXPECT_TRUE(o.err.isEmpty());
    EXPECT_EQ(query(QStringLiteral("SELECT n FROM t")).out, QStringLiteral("n\n1\n"));  // it did run

    o = query(QStringLiteral("SELECT n FROM no_such_table"));
    EXPECT_EQ(o.status, 1);
    EXPECT_TRUE(o.out.isEmpty());
    EXPECT_TRUE(o.err.contains(QStringLiteral("no_such_table"))) << o.err.toStdString();

    // A database that is not there.
    o = on(QStringLiteral("Elsewhere"), {QStringLiteral("query"), QStringLiteral("SELECT 1 AS one")});
    EXPECT_EQ(o.status, 1);
    EXPECT_TRUE(o.out.isEmpty());
    EXPECT_TRUE(o.err.contains(QStringLiteral("Elsewhere"))) << o.err.toStdString();
}

TEST_F(QelDbTool, TimeoutStopsABatchThatWouldNeverEnd)
{
    makeShop();
    const QString endless = QStringLiteral("DECLARE @i int\nSET @i = 0\nWHILE 1 = 1 SET @i = @i + 1");
    const Outcome o = on(QStringLiteral("Shop"), {QStringLiteral("--timeout"), QStringLiteral("1"),
                                                  QStringLiteral("query"), endless});
    EXPECT_EQ(o.status, 1);
    EXPECT_TRUE(o.err.contains(QStringLiteral("Query timeout expired"))) << o.err.toStdString();

    for (const char* bad : {"-1", "soon", ""}) {
        const Outcome refused = on(QStringLiteral("Shop"), {QStringLiteral("--timeout"), QLatin1String(bad),
                                                            QStringLiteral("query"), QStringLiteral("SELECT 1")});
        EXPECT_EQ(refused.status, 2) << bad;
        EXPECT_TRUE(refused.err.contains(QStringLiteral("--timeout"))) << refused.err.toStdString();
    }
}

// ---- SQL Server ------------------------------------------------------------

TEST(QelDbSqlServer, AServerThatCannotBeReachedIsAFailureNotACrash)
{
    // Port 1 on this machine: refused at once.
    for (const QString& command : {QStringLiteral("create"), QStringLiteral("query")}) {
        SCOPED_TRACE(command.toStdString());
        const Outcome o = runTool({QStringLiteral("--server"), QStringLiteral("127.0.0.1,1"), command,
                                   command == QLatin1String("create") ? QStringLiteral("X") : QStringLiteral("SELECT 1")});
        EXPECT_EQ(o.status, 1);
        EXPECT_TRUE(o.out.isEmpty());
        EXPECT_TRUE(o.err.contains(QStringLiteral("127.0.0.1,1"))) << o.err.toStdString();
    }
}

// Runs only when QEL_TEST_MSSQL names a server; the login defaults to the
// program's own.
TEST(QelDbSqlServer, CreateGoesThroughMasterAndRefusesAnExistingName)
{
    const QString server = qEnvironmentVariable("QEL_TEST_MSSQL");
    if (server.isEmpty())
        GTEST_SKIP() << "skipped: QEL_TEST_MSSQL is not set, so there is no SQL Server to test against";
    const QStringList login = {QStringLiteral("--server"), server, QStringLiteral("--user"),
                               qEnvironmentVariable("QEL_TEST_MSSQL_USER", QStringLiteral("qel")),
                               QStringLiteral("--password"),
                               qEnvironmentVariable("QEL_TEST_MSSQL_PASSWORD", QStringLiteral("marigold"))};
    const QString name = QStringLiteral("qeldb_test_%1]x").arg(QDateTime::currentMSecsSinceEpoch());

    const Outcome first = runTool(login + QStringList{QStringLiteral("create"), name});
    ASSERT_EQ(first.status, 0) << first.err.toStdString();
    const Outcome second = runTool(login + QStringList{QStringLiteral("create"), name});
    const Outcome seen = runTool(login + QStringList{QStringLiteral("--database"), name, QStringLiteral("query"),
                                                     QStringLiteral("SELECT DB_NAME() AS name")});
    QString quoted = name;
    quoted.replace(QLatin1Char(']'), QLatin1String("]]"));
    runTool(login + QStringList{QStringLiteral("--database"), QStringLiteral("master"), QStringLiteral("query"),
                                QStringLiteral("DROP DATABASE [") + quoted + QLatin1Char(']')});

    EXPECT_NE(second.status, 0);
    EXPECT_TRUE(second.err.contains(QStringLiteral("already exists"))) << second.err.toStdString();
    EXPECT_EQ(seen.out, QStringLiteral("name\n") + name + QLatin1Char('\n'));
}

// ---- the built program -------------------------------------------------------

class QelDbProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        program_ = QCoreApplication::applicationDirPath() + QStringLiteral("/../tools/qel-db");
        if (!QFileInfo(program_).isExecutable())
            GTEST_SKIP() << "skipped: qel-db is not built next to the tests (looked for "
                         << program_.toStdString() << "); build the qel-db target";
    }

    struct Ran {
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
    };

    Ran start(const QStringList& arguments, const QString& program = QString())
    {
        QProcess p;
        p.setWorkingDirectory(work_.path());  // no stray Server.Dat
        p.start(program.isEmpty() ? program_ : program, arguments);
        EXPECT_TRUE(p.waitForFinished(30000)) << arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        return Ran{p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
    }

    // Runs qel-db as a user other than the owner of the files: root reads
    // and writes anything, so as root it is run as "nobody".
    Ran startAsAnotherUser(const QStringList& arguments)
    {
        if (::geteuid() != 0)
            return start(arguments);
        return start(QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                 QStringLiteral("--clear-groups"), program_} + arguments,
                     QStringLiteral("setpriv"));
    }

    QString program_;
    QTemporaryDir work_;
};

TEST_F(QelDbProgram, BuildsADatabaseFromAScriptAndReadsItBack)
{
    const QString server = QStringLiteral("sqlite:") + work_.path() + QStringLiteral("/data");
    const QString thai = QString::fromUtf8("ร้านค้าตัวอย่าง");
    writeFile(work_.filePath(QStringLiteral("setup.sql")),
              QByteArray("\xEF\xBB\xBF") +
                  (QStringLiteral("CREATE TABLE company (id int, name nvarchar(50))\r\nGO\r\n"
                                  "INSERT INTO company VALUES (1, N'") +
                   thai + QStringLiteral("')\r\n"))
                      .toUtf8());

    Ran r = start({QStringLiteral("--server"), server, QStringLiteral("create"), QStringLiteral("Demo")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    r = start({QStringLiteral("--server"), server, QStringLiteral("--database"), QStringLiteral("demo"),
               QStringLiteral("script"), QStringLiteral("setup.sql")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    r = start({QStringLiteral("--server"), server, QStringLiteral("--database"), QStringLiteral("demo"),
               QStringLiteral("query"), QStringLiteral("SELECT id, name FROM company")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QByteArray("id\tname\n1\t") + thai.toUtf8() + '\n');

    r = start({QStringLiteral("--server"), server, QStringLiteral("create"), QStringLiteral("DEMO")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("already exists")) << r.err.toStdString();
}

TEST_F(QelDbProgram, AReadOnlyCompanyIsReadAndAWriteIsRefusedClearly)
{
    const QString folder = work_.path() + QStringLiteral("/share");
    const QStringList on{QStringLiteral("--server"), QStringLiteral("sqlite:") + folder, QStringLiteral("--database"),
                         QStringLiteral("SHOP")};
    ASSERT_EQ(start({QStringLiteral("--server"), QStringLiteral("sqlite:") + folder, QStringLiteral("create"),
                     QStringLiteral("SHOP")}).exitCode, 0);
    ASSERT_EQ(start(on + QStringList{QStringLiteral("query"), QStringLiteral("CREATE TABLE t (n int)\n"
                                                                            "INSERT INTO t VALUES (1)")}).exitCode, 0);
    const QString file = db::sqlite::findDatabaseFile(folder, QStringLiteral("SHOP"));
    const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    const QFile::Permissions enter = QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(file, readOnly));
    ASSERT_TRUE(QFile::setPermissions(folder, readOnly | enter));
    ASSERT_TRUE(QFile::setPermissions(work_.path(), readOnly | enter | QFile::WriteOwner));
    const auto writable = qScopeGuard([&] { QFile::setPermissions(folder, readOnly | enter | QFile::WriteOwner); });
    QFile before(file);
    ASSERT_TRUE(before.open(QIODevice::ReadOnly));
    const QByteArray bytes = before.readAll();

    Ran r = startAsAnotherUser(on + QStringList{QStringLiteral("query"), QStringLiteral("SELECT n FROM t")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QByteArray("n\n1\n"));
    r = startAsAnotherUser(on + QStringList{QStringLiteral("query"), QStringLiteral("SELECT name FROM sysobjects")});
    EXPECT_EQ(r.out, QByteArray("name\nt\n")) << r.err.toStdString();

    r = startAsAnotherUser(on + QStringList{QStringLiteral("query"), QStringLiteral("INSERT INTO t VALUES (2)")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("Failed to update database \"SHOP\" because the database is read-only."))
        << r.err.toStdString();

    QFile after(file);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), bytes) << "nothing was written to the file on open";
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{QFileInfo(file).fileName()});
}

TEST_F(QelDbProgram, ExitStatusTellsUsageFromHelp)
{
    Ran r = start({QStringLiteral("--help")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(QString::fromUtf8(r.out), qeldb::usageText());
    r = start({});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(QString::fromUtf8(r.err).contains(qeldb::usageText()));
}

} // namespace
