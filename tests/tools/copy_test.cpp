// qel-db copy: a company copied between engines must be the same company.
// The tests make real sites (the demo and a generated company), copy them
// with the tool, and read both sides back without the tool: every table's
// row count and a checksum of its stored values from SQLite itself, the
// catalog through the engine's own SQL Server views, and the copied keys,
// checks, view and procedures by using them.

#include "Copy.h"
#include "EmbeddedCatalog.h"
#include "QelDb.h"

#include "db/DbError.h"
#include "db/Engine.h"

#include "support/ToolRun.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QRegularExpression>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

namespace {

std::unique_ptr<db::Engine> openEmbedded(const QString& folder, const QString& database)
{
    return db::openEngine({QStringLiteral("DATABASE NAME=") + database, QStringLiteral("SERVER NAME=sqlite:") + folder});
}

QStringList column(db::Engine& engine, const QString& sql)
{
    QStringList values;
    for (const auto& row : engine.execute(sql, db::ParamValues()).rows) {
        QStringList cells;
        for (const QVariant& v : row)
            cells.append(v.isNull() ? QStringLiteral("<null>") : v.toString());
        values.append(cells.join(QLatin1Char('|')));
    }
    return values;
}

QString errorOf(db::Engine& engine, const QString& sql)
{
    try {
        engine.execute(sql, db::ParamValues());
    } catch (const db::DbError& e) {
        return e.message();
    }
    return QString();
}

// Every table's row count and a hash of every stored value with its storage
// class, read from the file in storage order without the engine.
std::map<QString, std::pair<qint64, QByteArray>> tableFingerprints(const QString& file)
{
    std::map<QString, std::pair<qint64, QByteArray>> result;
    const QString name = QStringLiteral("fingerprint-") + file;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open())
            ADD_FAILURE() << "cannot open " << file.toStdString();
        QSqlQuery tables(db);
        tables.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite%' "
                                   "AND name NOT LIKE 'qel%'"));
        QStringList names;
        while (tables.next())
            names.append(tables.value(0).toString());
        for (const QString& table : names) {
            // SQLite spells each value with its storage class: 'text', 12,
            // 12.0, X'0A', NULL; a value stored as another class differs.
            QSqlQuery info(db);
            info.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table));
            QStringList quoted;
            while (info.next())
                quoted.append(QStringLiteral("quote(\"%1\")").arg(info.value(1).toString()));
            QSqlQuery rows(db);
            rows.setForwardOnly(true);
            EXPECT_TRUE(rows.exec(QStringLiteral("SELECT %1 FROM \"%2\" ORDER BY rowid")
                                      .arg(quoted.join(QStringLiteral(" || ',' || ")), table)))
                << table.toStdString();
            QCryptographicHash hash(QCryptographicHash::Sha1);
            qint64 count = 0;
            while (rows.next()) {
                ++count;
                hash.addData(rows.value(0).toString().toUtf8() + '\n');
            }
            result[table] = {count, hash.result()};
        }
    }
    QSqlDatabase::removeDatabase(name);
    return result;
}

void expectSameRows(const QString& sourceFile, const QString& copyFile)
{
    const auto source = tableFingerprints(sourceFile);
    const auto copy = tableFingerprints(copyFile);
    ASSERT_FALSE(source.empty());
    ASSERT_EQ(source.size(), copy.size());
    for (const auto& [table, print] : source) {
        SCOPED_TRACE(table.toStdString());
        ASSERT_TRUE(copy.count(table)) << "missing from the copy";
        EXPECT_EQ(copy.at(table).first, print.first) << "row count";
        EXPECT_EQ(copy.at(table).second.toHex(), print.second.toHex()) << "checksum of the stored values";
    }
}

// The catalog as the engine's SQL Server views show it.
QStringList catalogOf(db::Engine& engine)
{
    return column(engine, QStringLiteral(
        "Select o.name, o.xtype, c.name, c.xtype, c.length, c.prec, c.scale, c.isnullable "
        "From sysobjects o Left Join syscolumns c On c.id = o.id Order By o.name, c.colid"));
}

class CopyCommand : public ::testing::Test {
protected:
    QString path(const QString& name) const { return QDir(dir_.path()).filePath(name); }
    QString server(const QString& name) const { return QStringLiteral("sqlite:") + path(name); }
    ToolOutcome copy(const QString& from, const QString& to, const QString& database)
    {
        return runTool({QStringLiteral("copy"), QStringLiteral("--from"), server(from), QStringLiteral("--to"), server(to),
                        database});
    }
    void makeDemo(const QString& folder = QStringLiteral("site"))
    {
        const ToolOutcome made = runTool({QStringLiteral("create-demo"), path(folder)});
        ASSERT_EQ(made.status, 0) << made.err.toStdString();
    }
    // What a folder holds, without the files SQLite keeps beside a database
    // someone has open.
    QStringList folderContents(const QString& name) const
    {
        QStringList entries = QDir(path(name)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        entries.removeIf([](const QString& e) { return e.endsWith(QLatin1String("-wal")) || e.endsWith(QLatin1String("-shm")); });
        return entries;
    }

    QTemporaryDir dir_;
};

TEST_F(CopyCommand, TheDemoCompanyArrivesWithEveryRowObjectAndRule)
{
    makeDemo();
    for (const QString database : {QStringLiteral("DEMO"), QStringLiteral("QEL_CONFIG")}) {
        SCOPED_TRACE(database.toStdString());
        const ToolOutcome o = copy(QStringLiteral("site"), QStringLiteral("laptop"), database);
        ASSERT_EQ(o.status, 0) << o.err.toStdString();
        // Not a terminal: a plain line per table for the log, then the totals.
        const auto source = openEmbedded(path(QStringLiteral("site")), database);
        const QString tables = column(*source, QStringLiteral("Select Count(*) From sysobjects Where xtype = 'U'")).value(0);
        EXPECT_TRUE(o.out.contains(QStringLiteral("Copying %1: %2 tables").arg(database, tables))) << o.out.toStdString();
        if (database == QLatin1String("DEMO")) {
            const QString products = column(*source, QStringLiteral("Select Count(*) From Product")).value(0);
            EXPECT_TRUE(o.out.contains(QRegularExpression(QStringLiteral("\\n  Product +%1 rows\\n").arg(products))))
                << o.out.toStdString();
        }
        EXPECT_TRUE(o.out.contains(QStringLiteral("Copied %1 from").arg(database))) << o.out.toStdString();
        EXPECT_FALSE(o.err.contains(QLatin1Char('\r'))) << "no progress bar outside a terminal";
        expectSameRows(path(QStringLiteral("site/%1.sqlite").arg(database)),
                       path(QStringLiteral("laptop/%1.sqlite").arg(database)));

        const auto target = openEmbedded(path(QStringLiteral("laptop")), database);
        EXPECT_EQ(catalogOf(*target), catalogOf(*source));
    }
    EXPECT_EQ(folderContents(QStringLiteral("laptop")), (QStringList{"DEMO.sqlite", "QEL_CONFIG.sqlite"}))
        << "nothing of the work is left beside the copies";

    const auto copy = openEmbedded(path(QStringLiteral("laptop")), QStringLiteral("DEMO"));
    // Keys, checks, defaults and the identity came along, not only the rows.
    EXPECT_TRUE(errorOf(*copy, QStringLiteral("Update ProductUnits Set Product = 999999 Where Id = 1"))
                    .contains(QStringLiteral("FOREIGN KEY constraint")));
    EXPECT_TRUE(errorOf(*copy, QStringLiteral("Update Config Set Id = 2")).contains(QStringLiteral("CHECK constraint")));
    EXPECT_TRUE(errorOf(*copy, QStringLiteral("Insert Into Product (Id, Code, ThaiName) Values (1, 'X', 'x')"))
                    .contains(QStringLiteral("identity column")));
    EXPECT_TRUE(errorOf(*copy, QStringLiteral("Insert Into CheckVersionProgramEXE (ProgramEXE, Version) Values ('a', 1)\n"
                                              "Insert Into CheckVersionProgramEXE (ProgramEXE, Version) Values ('A', 2)"))
                    .contains(QStringLiteral("duplicate key")))
        << "the unique index came along";
    copy->execute(QStringLiteral("Insert Into Tax (Code) Values ('COPYTEST')"), db::ParamValues());
    EXPECT_EQ(column(*copy, QStringLiteral("Select Rate, Id - (Select Max(Id) From Tax Where Code <> 'COPYTEST') "
                                           "From Tax Where Code = 'COPYTEST'")),
              QStringList{QStringLiteral("0|1")})
        << "the default and the next identity value after the copied ids";
    EXPECT_EQ(column(*copy, QStringLiteral("Select Count(*) From ProductView Where Code = 'D1001'")),
              QStringList{QStringLiteral("1")});
    EXPECT_FALSE(column(*copy, QStringLiteral("Select Code From Product Where Code Like 'd100%' Order By Code")).isEmpty())
        << "codes compare as SQL Server compares them";

    // A procedure of the configuration database answers as the original does.
    auto caption = [](db::Engine& engine) {
        std::vector<db::ProcParam> p{{QStringLiteral("@MENUID"), db::ParamDirection::Input, QMetaType::Int, 12},
                                     {QStringLiteral("@USERID"), db::ParamDirection::Input, QMetaType::Int, 1}};
        for (const char* out : {"@CAPTION", "@ACCESS_R", "@ADD_R", "@MODIFY_R", "@DELETE_R", "@USERCODE"})
            p.push_back({QString::fromLatin1(out), db::ParamDirection::Output, QMetaType::QString, {}});
        p.push_back({QStringLiteral("@SALESID"), db::ParamDirection::Output, QMetaType::Int, {}});
        engine.callProcedure(QStringLiteral("MENUCAPTION"), p);
        QStringList values;
        for (size_t i = 2; i < p.size(); ++i)
            values.append(p[i].value.toString());
        return values.join(QLatin1Char('|'));
    };
    const auto sourceConfig = openEmbedded(path(QStringLiteral("site")), QStringLiteral("QEL_CONFIG"));
    const auto copyConfig = openEmbedded(path(QStringLiteral("laptop")), QStringLiteral("QEL_CONFIG"));
    const QString expected = caption(*sourceConfig);
    EXPECT_FALSE(expected.startsWith(QLatin1Char('|')));
    EXPECT_EQ(caption(*copyConfig), expected);
}

TEST_F(CopyCommand, AGeneratedFiftyThousandProductCompanyCopiesExactly)
{
    // Every product of a large company, with less stock and history than
    // generate's defaults so that the test stays within a minute.
    const ToolOutcome made = runTool({QStringLiteral("generate"), path(QStringLiteral("big")), QStringLiteral("--products"),
                                      QStringLiteral("50000"), QStringLiteral("--warehouses"), QStringLiteral("5"),
                                      QStringLiteral("--years"), QStringLiteral("1"), QStringLiteral("--invoice-lines"),
                                      QStringLiteral("20000")});
    ASSERT_EQ(made.status, 0) << made.err.toStdString();
    const ToolOutcome o = copy(QStringLiteral("big"), QStringLiteral("copy"), QStringLiteral("BENCH"));
    ASSERT_EQ(o.status, 0) << o.err.toStdString();
    EXPECT_TRUE(o.out.contains(QRegularExpression(QStringLiteral("\\n  Product +50,000 rows\\n")))) << o.out.toStdString();
    expectSameRows(path(QStringLiteral("big/BENCH.sqlite")), path(QStringLiteral("copy/BENCH.sqlite")));
    const auto source = openEmbedded(path(QStringLiteral("big")), QStringLiteral("BENCH"));
    const auto target = openEmbedded(path(QStringLiteral("copy")), QStringLiteral("BENCH"));
    EXPECT_EQ(catalogOf(*target), catalogOf(*source));
}

TEST_F(CopyCommand, AnExistingTargetDatabaseIsRefusedAndLeftAsItWas)
{
    makeDemo();
    ASSERT_EQ(copy(QStringLiteral("site"), QStringLiteral("laptop"), QStringLiteral("DEMO")).status, 0);
    const auto before = tableFingerprints(path(QStringLiteral("laptop/DEMO.sqlite")));
    {
        const auto laptop = openEmbedded(path(QStringLiteral("laptop")), QStringLiteral("DEMO"));
        laptop->execute(QStringLiteral("Update Tax Set Description = 'changed on the laptop'"), db::ParamValues());
    }
    const auto changed = tableFingerprints(path(QStringLiteral("laptop/DEMO.sqlite")));
    ASSERT_NE(changed.at(QStringLiteral("Tax")).second, before.at(QStringLiteral("Tax")).second);

    // The name as SQL Server matches it: another spelling is the same database.
    for (const QString name : {QStringLiteral("DEMO"), QStringLiteral("demo")}) {
        const ToolOutcome again = copy(QStringLiteral("site"), QStringLiteral("laptop"), name);
        EXPECT_EQ(again.status, 1);
        EXPECT_TRUE(again.err.contains(QStringLiteral("already holds a database %1").arg(name))) << again.err.toStdString();
    }
    EXPECT_EQ(tableFingerprints(path(QStringLiteral("laptop/DEMO.sqlite"))), changed) << "the existing copy is untouched";
    EXPECT_EQ(folderContents(QStringLiteral("laptop")), QStringList{QStringLiteral("DEMO.sqlite")});
}

TEST_F(CopyCommand, AFailurePartWayLeavesNoHalfMadeDatabase)
{
    // The live company changes while it is copied: a table to come is
    // dropped, or rows arrive in a table already counted. Either way the copy
    // is not the company as it was at one moment.
    struct Change {
        const char* name;
        QString sql;
        const char* fault;
    };
    const Change changes[] = {
        {"a table to come disappears", QStringLiteral("Drop Table UserLog"), "UserLog"},
        {"rows arrive in a counted table",
         QStringLiteral("Insert Into CheckVersionProgramEXE (ProgramEXE, Version) Values ('late', 1)"),
         "CheckVersionProgramEXE: 1 rows were read but the table held 0"},
    };
    int n = 0;
    for (const Change& change : changes) {
        SCOPED_TRACE(change.name);
        const QString site = QStringLiteral("site%1").arg(++n);
        const QString laptop = QStringLiteral("laptop%1").arg(n);
        makeDemo(site);
        qeldb::CopyRequest request;
        request.from = server(site);
        request.to = server(laptop);
        request.database = QStringLiteral("DEMO");
        int tables = 0;
        request.afterTable = [&](const QString&) {
            if (++tables == 3)
                openEmbedded(path(site), QStringLiteral("DEMO"))->execute(change.sql, db::ParamValues());
        };
        QBuffer out, err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        EXPECT_EQ(qeldb::copyDatabase(request, out, err), 1);
        const QString message = QString::fromUtf8(err.data());
        EXPECT_TRUE(message.contains(QString::fromUtf8(change.fault))) << message.toStdString();
        EXPECT_TRUE(message.contains(QStringLiteral("nothing was left"))) << message.toStdString();
        EXPECT_GE(tables, 3) << "the failure came part-way, after rows were written";
        EXPECT_TRUE(folderContents(laptop).isEmpty()) << folderContents(laptop).join(' ').toStdString();
        EXPECT_EQ(runTool({QStringLiteral("--server"), server(laptop), QStringLiteral("--database"), QStringLiteral("DEMO"),
                           QStringLiteral("query"), QStringLiteral("select 1")})
                      .status,
                  1)
            << "the engine finds no DEMO on the laptop";
    }
}

TEST(EngineTextBackToTsql, TheEnginesFunctionsBecomeOperatorsAndBuiltInsAgain)
{
    const std::pair<const char*, const char*> cases[] = {
        {"ms_getdate()", "getdate()"},
        {"ms_add(\"a\", ms_mul(\"b\", 2))", "(\"a\" + (\"b\" * 2))"},
        {"ms_neg(ms_sub(1, 2))", "(-(1 - 2))"},
        {"ms_like(\"Code\", 'A%')", "(\"Code\" LIKE 'A%')"},
        {"ms_substring('a,(b', 1, 2)", "substring('a,(b', 1, 2)"},
        {"'ms_add(1, 2)' = \"ms_add\"", "'ms_add(1, 2)' = \"ms_add\""},
        {"\"Name\" COLLATE MSSQL = 'x'", "\"Name\" = 'x'"},
        {"items_add(1)", "items_add(1)"},
        {"ms_convert('VARCHAR(10)', ms_decimal_text(\"Price\", 2))", "CONVERT(VARCHAR(10), \"Price\")"},
        {"ms_convert('CHAR(8)', ms_getdate(), 112)", "CONVERT(CHAR(8), getdate(), 112)"},
    };
    for (const auto& [engine, tsql] : cases) {
        SCOPED_TRACE(engine);
        EXPECT_EQ(qeldb::tsqlFromEngine(QString::fromUtf8(engine)), QString::fromUtf8(tsql));
    }
}

// Views, checks and defaults with operators and built-ins: the engine keeps
// them in its own SQLite form, and the copy must mean the same.
TEST_F(CopyCommand, ExpressionsInViewsChecksAndDefaultsMeanTheSameInTheCopy)
{
    ASSERT_EQ(runTool({QStringLiteral("--server"), server(QStringLiteral("site")), QStringLiteral("create"), QStringLiteral("SHOP")}).status, 0);
    const auto shop = openEmbedded(path(QStringLiteral("site")), QStringLiteral("SHOP"));
    shop->execute(QStringLiteral(
        "Create Table Line (Id Int Identity(1,1) Not Null Primary Key, Code VarChar(10) Not Null, "
        "Qty Int Not Null Constraint CK_Line_Qty Check (Qty * 2 - 1 > 0), Price Decimal(12,2) Not Null Default (10 + 2.5), "
        "Made DateTime Not Null Default GetDate())"), db::ParamValues());
    shop->execute(QStringLiteral("Insert Into Line (Code, Qty) Values ('AB1', 3)\nInsert Into Line (Code, Qty, Price) "
                                 "Values ('ab2', 1, 4.25)\nInsert Into Line (Code, Qty) Values ('X9', 7)"),
                  db::ParamValues());
    shop->execute(QStringLiteral("Create View Amounts As Select Id, Left(Code, 2) As Prefix, Qty * Price - 1 As Amount, "
                                 "-Qty As Minus, Convert(VarChar(12), Price) As PriceText From Line Where Code Like 'a%'"),
                  db::ParamValues());
    const ToolOutcome o = copy(QStringLiteral("site"), QStringLiteral("laptop"), QStringLiteral("SHOP"));
    ASSERT_EQ(o.status, 0) << o.err.toStdString();

    const auto copied = openEmbedded(path(QStringLiteral("laptop")), QStringLiteral("SHOP"));
    const QString view = QStringLiteral("Select * From Amounts Order By Id");
    EXPECT_EQ(column(*copied, view), column(*shop, view));
    EXPECT_EQ(column(*copied, view).size(), 2) << "LIKE still ignores case";
    EXPECT_TRUE(errorOf(*copied, QStringLiteral("Insert Into Line (Code, Qty) Values ('Z', 0)")).contains(QStringLiteral("CK_Line_Qty")));
    copied->execute(QStringLiteral("Insert Into Line (Code, Qty) Values ('AC3', 1)"), db::ParamValues());
    EXPECT_EQ(column(*copied, QStringLiteral("Select Price, DateDiff(day, Made, GetDate()) From Line Where Code = 'AC3'")),
              QStringList{QStringLiteral("12.5|0")});
}

TEST(CopyCommandLine, ServersAndOneDatabaseAreNeeded)
{
    struct Case {
        QStringList arguments;
        const char* why;
    };
    const Case cases[] = {
        {{"copy", "--to", "sqlite:b", "DEMO"}, "--from"},
        {{"copy", "--from", "sqlite:a", "DEMO"}, "--to"},
        {{"copy", "--from", "sqlite:a", "--to", "sqlite:b"}, "name of the database"},
        {{"copy", "--from", "sqlite:a", "--to", "sqlite:b", "DEMO", "OTHER"}, "one database"},
        {{"copy", "--from=", "--to", "sqlite:b", "DEMO"}, "--from needs a server"},
        {{"--server", "sqlite:a", "copy", "--from", "sqlite:a", "--to", "sqlite:b", "DEMO"}, "--server"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const qeldb::CommandLine cl = qeldb::parseCommandLine(c.arguments);
        EXPECT_EQ(cl.outcome, qeldb::CommandLine::Outcome::UsageError);
        EXPECT_TRUE(cl.error.contains(QString::fromLatin1(c.why))) << cl.error.toStdString();
    }
    const qeldb::CommandLine ok = qeldb::parseCommandLine(
        {"copy", "DEMO", "--to=sqlite:/laptop", "--from", "sqlserver01", "--user", "sa"});
    ASSERT_EQ(ok.outcome, qeldb::CommandLine::Outcome::Run) << ok.error.toStdString();
    qeldb::CopyRequest request;
    QString why;
    ASSERT_TRUE(qeldb::parseCopyArguments(ok.options.arguments, &request, &why)) << why.toStdString();
    EXPECT_EQ(request.from, QStringLiteral("sqlserver01"));
    EXPECT_EQ(request.to, QStringLiteral("sqlite:/laptop"));
    EXPECT_EQ(request.database, QStringLiteral("DEMO"));
    EXPECT_EQ(ok.options.user, QStringLiteral("sa"));
}

// Runs only when QEL_TEST_MSSQL names a server: the demo goes to SQL Server
// and back, and arrives as it left.
TEST(CopyOnSqlServer, TheDemoGoesToSqlServerAndBackUnchanged)
{
    const QString mssql = qEnvironmentVariable("QEL_TEST_MSSQL");
    if (mssql.isEmpty())
        GTEST_SKIP() << "skipped: QEL_TEST_MSSQL is not set, so there is no SQL Server to test against";
    const QString user = qEnvironmentVariable("QEL_TEST_MSSQL_USER", QStringLiteral("qel"));
    const QString password = qEnvironmentVariable("QEL_TEST_MSSQL_PASSWORD", QStringLiteral("marigold"));
    QTemporaryDir dir;
    ASSERT_EQ(runTool({QStringLiteral("create-demo"), dir.filePath(QStringLiteral("site"))}).status, 0);
    const QString name = QStringLiteral("QELCOPY_%1").arg(QCoreApplication::applicationPid());
    // A database of its own name on the server: the demo's file under that name.
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("named"))));
    ASSERT_TRUE(QFile::copy(dir.filePath(QStringLiteral("site/DEMO.sqlite")),
                            dir.filePath(QStringLiteral("named/%1.sqlite").arg(name))));
    auto tool = [&](const QString& from, const QString& to) {
        return runTool({QStringLiteral("--user"), user, QStringLiteral("--password"), password, QStringLiteral("copy"),
                        QStringLiteral("--from"), from, QStringLiteral("--to"), to, name});
    };
    const ToolOutcome there = tool(QStringLiteral("sqlite:") + dir.filePath(QStringLiteral("named")), mssql);
    ASSERT_EQ(there.status, 0) << there.err.toStdString();
    const ToolOutcome back = tool(mssql, QStringLiteral("sqlite:") + dir.filePath(QStringLiteral("back")));
    const ToolOutcome refused = tool(QStringLiteral("sqlite:") + dir.filePath(QStringLiteral("named")), mssql);
    runTool({QStringLiteral("--server"), mssql, QStringLiteral("--user"), user, QStringLiteral("--password"), password,
             QStringLiteral("--database"), QStringLiteral("master"), QStringLiteral("query"),
             QStringLiteral("DROP DATABASE [%1]").arg(name)});
    ASSERT_EQ(back.status, 0) << back.err.toStdString();
    EXPECT_EQ(refused.status, 1);
    const auto returned = tableFingerprints(dir.filePath(QStringLiteral("back/%1.sqlite").arg(name)));
    for (const auto& [table, print] : tableFingerprints(dir.filePath(QStringLiteral("named/%1.sqlite").arg(name)))) {
        SCOPED_TRACE(table.toStdString());
        ASSERT_TRUE(returned.count(table));
        EXPECT_EQ(returned.at(table).first, print.first) << "row count after the round trip";
    }
}

} // namespace

TEST_F(CopyCommand, AmountsPastFifteenDigitsArriveToTheLastDigit)
{
    ASSERT_EQ(runTool({QStringLiteral("--server"), server(QStringLiteral("site")), QStringLiteral("create"), QStringLiteral("BOOKS")}).status, 0);
    const auto books = openEmbedded(path(QStringLiteral("site")), QStringLiteral("BOOKS"));
    books->execute(QStringLiteral("Create Table Ledger (Id Int Not Null Primary Key, Amount Money Null, "
                                  "Total Decimal(38,2) Null)\n"
                                  "Insert Into Ledger Values (1, '922337203685477.5807', '-12345678901234567890.12')\n"
                                  "Insert Into Ledger Values (2, '-922337203685477.5808', '0.01')\n"
                                  "Insert Into Ledger Values (3, 19.99, Null)"),
                   db::ParamValues());
    const ToolOutcome o = copy(QStringLiteral("site"), QStringLiteral("laptop"), QStringLiteral("BOOKS"));
    ASSERT_EQ(o.status, 0) << o.err.toStdString();
    expectSameRows(path(QStringLiteral("site/BOOKS.sqlite")), path(QStringLiteral("laptop/BOOKS.sqlite")));
    const auto copied = openEmbedded(path(QStringLiteral("laptop")), QStringLiteral("BOOKS"));
    EXPECT_EQ(column(*copied, QStringLiteral("Select Amount, Total From Ledger Order By Id")),
              (QStringList{QStringLiteral("922337203685477.5807|-12345678901234567890.12"),
                           QStringLiteral("-922337203685477.5808|0.01"), QStringLiteral("19.99|<null>")}));
}
