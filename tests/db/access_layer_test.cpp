// The access layer as windows and data modules use it: named connections,
// queries held as lines with ":Name" parameters, stored procedures and
// "/"-separated scripts, on real embedded databases.

#include "support/EmbeddedDb.h"

#include "db/DbError.h"
#include "db/Engine.h"
#include "db/Query.h"
#include "db/Script.h"
#include "db/StoredProc.h"
#include "db/TsqlLexer.h"
#include "db/sqlite/SqliteEngine.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

class AccessLayer : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.exec(QStringLiteral("Create Table Unit (Id Int Not Null Primary Key, Name NVarChar(20), Fraction Int, "
                               "Price Money, Made DateTime)\n"
                               "Insert Into Unit Values (1, N'ชิ้น', 1, 2.5, '2026-01-02 03:04:05.678')\n"
                               "Insert Into Unit Values (2, N'โหล', 12, NULL, NULL)\n"
                               "Insert Into Unit Values (3, 'BOX', 24, 50, NULL)"));
    }
    EmbeddedDb db;
};

TEST_F(AccessLayer, ParametersAreCaseInsensitiveRepeatableNullableAndKept)
{
    db::Query q(db.alias());
    q.setSql({"Select Id From Unit", "Where (Fraction >= :Low) And (Fraction <= :LOW * 12 Or :low Is Null)",
              "Order By Id"});
    q.setParam("low", 2);
    q.open();
    EXPECT_EQ(rowsOf(q), (QStringList{"2", "3"}));
    q.close();
    q.open();  // the value stays bound between opens
    EXPECT_EQ(q.recordCount(), 2);
    q.setParamNull("LOW");
    q.open();
    EXPECT_TRUE(q.isEmpty()) << "Fraction >= NULL is unknown";
    q.setSql({"Select Id From Unit Where :Low Is Null"});
    q.open();
    EXPECT_EQ(q.recordCount(), 3) << "values survive a new statement text";
}

TEST_F(AccessLayer, NavigationLocateAndReaders)
{
    auto q = db.open("Select Id, Name, Fraction, Price, Made From Unit Order By Id");
    EXPECT_TRUE(q->bof());
    EXPECT_FALSE(q->eof());
    int seen = 0;
    for (q->first(); !q->eof(); q->next())
        ++seen;
    EXPECT_EQ(seen, 3);
    EXPECT_EQ(q->recNo(), 2);
    q->prior();
    EXPECT_EQ(q->asInteger("ID"), 2);
    EXPECT_TRUE(q->isNull("price"));
    EXPECT_EQ(q->asString("Price"), "");
    EXPECT_DOUBLE_EQ(q->asFloat("Price"), 0.0);
    EXPECT_FALSE(q->asDateTime("Made").isValid());
    ASSERT_TRUE(q->locate("name", "box"));
    EXPECT_EQ(q->asInteger("Id"), 3);
    EXPECT_FALSE(q->locate("Name", "crate"));
    EXPECT_EQ(q->asInteger("Id"), 3) << "a failed locate stays where it was";
    q->first();
    EXPECT_EQ(q->asDateTime("Made"), QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5, 678)));
    EXPECT_EQ(q->asString("Price"), "2.5");
    EXPECT_THROW(q->asString("NoSuchField"), db::DbError);
}

TEST_F(AccessLayer, DisplayValuesLiveInMemoryOnly)
{
    auto q = db.open("Select Id, Name, '          ' Shown From Unit Order By Id");
    QSignalSpy changed(q.get(), &db::Query::valueChanged);
    q->setValue("Shown", "2 (BOX)");
    EXPECT_EQ(q->asString("shown"), "2 (BOX)");
    EXPECT_EQ(changed.count(), 1);
    auto again = db.open("Select Id, Name, '          ' Shown From Unit Order By Id");
    EXPECT_EQ(again->asString("Shown").trimmed(), "");
}

TEST_F(AccessLayer, AColumnWrittenAtOnceChangesOnlyItsRowsAndIsToldOnce)
{
    auto q = db.open("Select Id, Name From Unit Order By Id");
    QSignalSpy one(q.get(), &db::Query::valueChanged);
    QSignalSpy all(q.get(), &db::Query::columnChanged);
    q->setColumnValues(1, {QStringLiteral("หนึ่ง"), QStringLiteral("สอง")});
    EXPECT_EQ(rowsOf(*q), (QStringList{"1|หนึ่ง", "2|สอง", "3|BOX"})) << "the third row keeps its value";
    EXPECT_EQ(one.count(), 0);
    ASSERT_EQ(all.count(), 1);
    EXPECT_EQ(all[0][0].toInt(), 1);
    q->setColumnValues(1, {QString(), QString(), QString(), QStringLiteral("none such")});
    EXPECT_EQ(all.count(), 1) << "more values than rows: nothing is written";
    EXPECT_EQ(rowsOf(*q), (QStringList{"1|หนึ่ง", "2|สอง", "3|BOX"}));
}

TEST_F(AccessLayer, NotFindingARowIsAnAnswer)
{
    auto q = db.open("Select Id From Unit Where Id = 42");
    EXPECT_TRUE(q->isOpen());
    EXPECT_TRUE(q->isEmpty());
    EXPECT_TRUE(q->eof());
    EXPECT_EQ(q->asInteger("Id"), 0);
    EXPECT_EQ(q->asString("Id"), "");
}

TEST_F(AccessLayer, ScriptRunsEachStatementByItselfAndStopsAtTheFailure)
{
    db::Script script(db.alias(), {"Insert Into Unit (Id, Name) Values (10, 'A')", "/",
                                   "  /  ",  // blanks around the slash still end a statement
                                   "Insert Into Unit (Id, Name) Values (10, 'dup')", "/",
                                   "Insert Into Unit (Id, Name) Values (11, 'never')", "/"});
    EXPECT_EQ(db::Script::split(script.lines()).size(), 3);
    EXPECT_THROW(script.execute(), db::DbError);
    EXPECT_EQ(db.rows("Select Name From Unit Where Id >= 10"), QStringList{"A"}) << "the first statement committed";
}

TEST_F(AccessLayer, StoredProcedureMissingOnTheEmbeddedEngine)
{
    db::StoredProc sp(db.alias(), "MENUCAPTION");
    sp.addParam("Result", db::ParamDirection::Result, QMetaType::Int);
    sp.addParam("@MENUID", db::ParamDirection::Input, QMetaType::Int);
    sp.setParam("@menuid", 1);
    try {
        sp.execProc();
        FAIL();
    } catch (const db::DbError& e) {
        EXPECT_EQ(e.message(), "Could not find stored procedure 'MENUCAPTION'.");
    }
    EXPECT_THROW(sp.setParam("@nope", 1), db::DbError);
}

TEST(Connection, StepsRunAroundEveryOpeningAndTheAliasOpensOnFirstUse)
{
    EmbeddedDb db(QStringLiteral("DMDATA"), QStringLiteral("Demo"));
    db.exec(QStringLiteral("Create Table Config (OnhandDecimal Int)\nInsert Into Config Values (2)"));
    db.connection().close();

    const QString folder = db.folder();
    int before = 0, after = 0;
    QString seenInAfter;
    db.connection().setBeforeConnect([&] {
        ++before;
        // The list is rebuilt from scratch; the database name is matched without regard to case.
        db.connection().params() = QStringList{"DATABASE NAME= demo ", "SERVER NAME=sqlite:" + folder,
                                               "USER NAME=qel", "MAX QUERY TIME=600", "PASSWORD=marigold"};
    });
    db.connection().setAfterConnect([&] {
        ++after;
        db::Query setup(QStringLiteral("dmdata"));
        setup.setSql({"SELECT   *", "FROM Config"});
        setup.open();
        seenInAfter = setup.asString("OnhandDecimal");
    });
    EXPECT_FALSE(db.connection().isOpen());
    EXPECT_EQ(db.scalar("Select Count(*) From Config"), "1");
    EXPECT_EQ(before, 1);
    EXPECT_EQ(after, 1);
    EXPECT_EQ(seenInAfter, "2");
    db.scalar("Select 1");
    EXPECT_EQ(before, 1) << "an open connection is not opened again";
    db.connection().close();
    db.connection().open();
    EXPECT_EQ(after, 2);

    // A failing after-connect step fails the connection as a whole.
    db.connection().close();
    db.connection().setAfterConnect([] { throw db::DbError("Invalid object name 'accountperiod'."); });
    EXPECT_THROW(db.connection().open(), db::DbError);
    EXPECT_FALSE(db.connection().isOpen());
}

TEST(Connection, UnknownDatabaseAndUnknownAlias)
{
    QTemporaryDir dir;
    db::Connection c(QStringLiteral("DmCfg"));
    c.params() = QStringList{"DATABASE NAME=QEL_CONFIG", "SERVER NAME=sqlite:" + dir.path()};
    try {
        c.open();
        FAIL();
    } catch (const db::DbError& e) {
        EXPECT_EQ(e.message(), "Cannot open database \"QEL_CONFIG\" requested by the login. The login failed.");
    }
    EXPECT_EQ(db::Connection::find(QStringLiteral("dmcfg")), &c);
    db::Query q(QStringLiteral("NoSuchAlias"));
    q.setSql({"select 1"});
    EXPECT_THROW(q.open(), db::DbError);
}

TEST(Connection, ParameterListValues)
{
    const QStringList list{"DATABASE NAME=QEL_CONFIG", "SERVER NAME=  QEL ", "BLOB EDIT LOGGING=", "PASSWORD=a=b"};
    EXPECT_EQ(db::connectionParam(list, "server name"), "  QEL ");
    EXPECT_EQ(db::connectionParam(list, "BLOB EDIT LOGGING"), "");
    EXPECT_EQ(db::connectionParam(list, "PASSWORD"), "a=b");
    EXPECT_EQ(db::connectionParam(list, "MAX ROWS"), "");
}

TEST(Lexer, LiteralsIdentifiersCommentsAndParameters)
{
    const auto toks = db::tokenize(QStringLiteral(
        "select N'it''s' [Order Id], \"x\" -- :notParam\n/* :neither /* nested */ */ :Real, @v, @@IDENTITY, '12:30', .5e2"));
    QStringList shown;
    for (const auto& t : toks) {
        if (t.kind == db::TokenKind::End)
            break;
        shown.append(QString::number(int(t.kind)) + QLatin1Char(':') + t.text);
    }
    EXPECT_EQ(shown, (QStringList{"0:select", "1:it's", "0:Order Id", "7:,", "0:x", "5:Real", "7:,", "3:@v", "7:,",
                                  "4:@@IDENTITY", "7:,", "1:12:30", "7:,", "2:.5e2"}));
    EXPECT_TRUE(toks[1].national);
    EXPECT_TRUE(toks[2].quoted);
    EXPECT_THROW(db::tokenize(QStringLiteral("select 'open")), db::DbError);
    EXPECT_THROW(db::tokenize(QStringLiteral("select /* open")), db::DbError);

    QStringList names;
    const QString positional = db::namedToPositional(
        QStringLiteral("where a = :A and b = ':B' /* :C */ and c = :a -- :D"), &names);
    EXPECT_EQ(positional, "where a = ? and b = ':B' /* :C */ and c = ? -- :D");
    EXPECT_EQ(names, (QStringList{"A", "a"}));
}

TEST(EmbeddedFiles, DatabaseNamesMatchWithoutRegardToCase)
{
    QTemporaryDir dir;
    db::sqlite::createDatabase(dir.path(), QStringLiteral("Demo"));
    EXPECT_FALSE(db::sqlite::findDatabaseFile(dir.path(), QStringLiteral("DEMO")).isEmpty());
    EXPECT_FALSE(db::sqlite::findDatabaseFile(dir.path(), QStringLiteral("demo")).isEmpty());
    EXPECT_TRUE(db::sqlite::findDatabaseFile(dir.path(), QStringLiteral("demo2")).isEmpty());
    EXPECT_THROW(db::sqlite::createDatabase(dir.path(), QStringLiteral("dEmO")), db::DbError);
}

} // namespace

TEST(DateValues, TheEnginesDateTextsAreReadAsTheyAreMeantAndAnythingElseIsRefused)
{
    using db::variantToDate;
    using db::variantToDateTime;
    EXPECT_EQ(variantToDateTime(QStringLiteral("2026-11-01 10:20:30.123")),
              QDateTime(QDate(2026, 11, 1), QTime(10, 20, 30, 123)));
    EXPECT_EQ(variantToDateTime(QStringLiteral("2026-11-01T10:20:30")), QDateTime(QDate(2026, 11, 1), QTime(10, 20, 30)));
    EXPECT_EQ(variantToDateTime(QStringLiteral("2026-11-01 10:20:30.5")).time(), QTime(10, 20, 30, 500))
        << "a fraction is of a second, not a count of milliseconds";
    EXPECT_EQ(variantToDateTime(QStringLiteral("2026-11-01 10:20:30.1234567")).time(), QTime(10, 20, 30, 123));
    EXPECT_EQ(variantToDateTime(QStringLiteral(" 2024-02-29 ")), QDate(2024, 2, 29).startOfDay());
    EXPECT_EQ(variantToDate(QStringLiteral("2026-11-01 23:59:59.997")), QDate(2026, 11, 1));
    EXPECT_EQ(variantToDate(QVariant(QDateTime(QDate(2026, 1, 2), QTime(3, 4)))), QDate(2026, 1, 2));
    EXPECT_TRUE(variantToDateTime(QVariant()).isNull());
    for (const char* bad : {"2026-02-30", "2026-13-01", "2026-11-01 24:00:00", "2026-11-01 10:20", "01/11/2026",
                            "2026-11-01 10:20:30.", "2026-11-01 10:20:30.x"}) {
        EXPECT_THROW(variantToDateTime(QString::fromLatin1(bad)), db::DbError) << bad;
        EXPECT_THROW(variantToDate(QString::fromLatin1(bad)), db::DbError) << bad;
    }
}
