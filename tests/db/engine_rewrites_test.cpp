// The embedded engine's rewrites for speed: an OR of look-ups across joined
// tables run as UNION ALL, a correlated aggregate read once as a grouped
// table, and LIKE '%text%' narrowed by a trigram index.
// Each statement runs twice on the same file, once through an engine with
// the rewrites and once through one without, and both must give the same
// rows in the same order. The data has NULLs where the rewrites could lose or
// repeat rows, Thai text, mixed case and trailing blanks.

#include "db/DbError.h"
#include "db/sqlite/AggregateAsJoin.h"
#include "db/sqlite/OrAsUnion.h"
#include "db/sqlite/SqlGenerator.h"
#include "db/sqlite/SqliteEngine.h"
#include "db/sqlite/TsqlParser.h"
#include "support/EmbeddedDb.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

using db::sqlite::SqliteEngine;

const QStringList kNames{
    QStringLiteral("น้ำปลาตราปลาหมึก"), QStringLiteral("ปลากระป๋อง"), QStringLiteral("Fish Sauce"),
    QStringLiteral("FISH sauce   "),  QStringLiteral("fishbone"),   QStringLiteral("ข้าวหอมมะลิ"),
    QStringLiteral("O'Brien's tea"),   QStringLiteral("Ñandú ÉCLAIR"), QStringLiteral("éclair"),
    QStringLiteral("ab"),              QStringLiteral("น้ำ"),           QStringLiteral("100% cotton"),
    QStringLiteral("He said \"hi\" there"),
};

class EngineRewrites : public ::testing::Test {
protected:
    void SetUp() override
    {
        db::sqlite::createDatabase(dir.path(), QStringLiteral("SHOP"));
        fast = std::make_unique<SqliteEngine>(dir.path(), QStringLiteral("SHOP"));
        fast->execute(QStringLiteral(
                          "CREATE TABLE Cust (Id int IDENTITY(1,1) PRIMARY KEY, Code varchar(10) NOT NULL, "
                          "  Name nvarchar(60) NULL)\n"
                          "CREATE TABLE Hd (Id int IDENTITY(1,1) PRIMARY KEY, Cust int NULL, Flag char(1) NOT NULL)\n"
                          "CREATE TABLE Dt (Id int IDENTITY(1,1) PRIMARY KEY, Hd int NOT NULL, Product int NULL, "
                          "  Qty int NOT NULL, Note nvarchar(40) NULL)\n"
                          "CREATE INDEX IX_Hd_Cust ON Hd (Cust)\n"
                          "CREATE INDEX IX_Dt_Product ON Dt (Product)\n"
                          "CREATE INDEX IX_Dt_Hd ON Dt (Hd)\n"),
                      {});
        QRandomGenerator random(14);
        QStringList customers, headers, lines;
        for (int i = 0; i < 40; ++i) {
            const QString name = i % 7 == 3 ? QStringLiteral("NULL")
                                            : QStringLiteral("N'%1'").arg(QString(kNames[i % kNames.size()]).replace(
                                                  QLatin1Char('\''), QLatin1String("''")));
            customers.append(QStringLiteral("('C%1', %2)").arg(i).arg(name));
        }
        for (int i = 0; i < 120; ++i) {
            const int cust = int(random.bounded(45));  // some name no customer, some NULL
            headers.append(QStringLiteral("(%1, '%2')")
                               .arg(cust >= 40 ? QStringLiteral("NULL") : QString::number(cust + 1))
                               .arg(i % 9 == 0 ? QLatin1Char('Y') : QLatin1Char('N')));
        }
        for (int i = 0; i < 600; ++i) {
            const int product = int(random.bounded(25));
            lines.append(QStringLiteral("(%1, %2, %3, %4)")
                             .arg(random.bounded(120) + 1)
                             .arg(product >= 20 ? QStringLiteral("NULL") : QString::number(product))
                             .arg(random.bounded(10))
                             .arg(i % 5 == 0 ? QStringLiteral("NULL") : QStringLiteral("N'line %1'").arg(i % 13)));
        }
        fast->execute(QStringLiteral("INSERT INTO Cust (Code, Name) VALUES ") + customers.join(QLatin1Char(',')), {});
        fast->execute(QStringLiteral("INSERT INTO Hd (Cust, Flag) VALUES ") + headers.join(QLatin1Char(',')), {});
        fast->execute(QStringLiteral("INSERT INTO Dt (Hd, Product, Qty, Note) VALUES ") + lines.join(QLatin1Char(',')),
                      {});
        // Lines that both equalities find (customer 3, product 4), and one
        // whose customer is unknown, so that "not returned before" must
        // count a NULL comparison as not returned.
        fast->execute(QStringLiteral("INSERT INTO Hd (Cust, Flag) VALUES (3, 'N'), (NULL, 'N')\n"
                                     "INSERT INTO Dt (Hd, Product, Qty) VALUES (121, 4, 5), (121, 4, 6), (122, 4, 7)"),
                      {});
        plain = std::make_unique<SqliteEngine>(dir.path(), QStringLiteral("SHOP"));
        plain->setOptimizations(db::sqlite::Optimizations{false, false, false, false});
    }

    void declareTrigrams()
    {
        fast->execute(QStringLiteral("INSERT INTO qel_trigram (table_name, column_name) VALUES ('Cust', 'Name')"), {});
    }

    // Same rows in the same order from both engines; returns the rows.
    QStringList expectSame(const QString& sql, const db::ParamValues& params = {})
    {
        const QStringList a = rowsOf(fast->execute(sql, params));
        const QStringList b = rowsOf(plain->execute(sql, params));
        EXPECT_EQ(a, b) << sql.toStdString();
        return a;
    }

    static db::ParamValues ids(const QVariant& cus, const QVariant& product)
    {
        db::ParamValues p;
        p.set(QStringLiteral("GetCus"), cus);
        p.set(QStringLiteral("GetProduct"), product);
        return p;
    }

    QTemporaryDir dir;
    std::unique_ptr<SqliteEngine> fast, plain;
};

// ---------------------------------------------------------------- OR as UNION ALL

TEST_F(EngineRewrites, OrAcrossJoinedTablesGivesTheRowsOfThePlainStatement)
{
    // The history's shape: two branches, each with the OR, a fixed order.
    // Every column is in the order, so ties cannot hide a different order.
    const QString history = QStringLiteral(
        "Select 'A' T, D.Id, D.Qty, C.Code From Dt D\n"
        "  Inner Join Hd H On (H.Id = D.Hd) And (H.Flag <> 'Y')\n"
        "  Inner Join Cust C On (H.Cust = C.Id)\n"
        "  Where H.Cust = :GetCus Or D.Product = :GetProduct\n"
        "Union All\n"
        "Select 'B' T, D.Id, D.Qty, C.Code From Dt D\n"
        "  Inner Join Hd H On (H.Id = D.Hd)\n"
        "  Inner Join Cust C On (H.Cust = C.Id)\n"
        "  Where (D.Qty > 2) And (H.Cust = :GetCus Or D.Product = :GetProduct Or D.Hd = 7)\n"
        "Order By 1, 2");
    // Without an order the rows may come in any order: compared as sets.
    const QString unordered = QStringLiteral(
        "Select D.Id, H.Cust, D.Product From Dt D, Hd H\n"
        "Where H.Id = D.Hd And (D.Product = :GetProduct Or H.Cust = :GetCus)");
    const QList<std::pair<QVariant, QVariant>> cases{
        {3, 4}, {3, QVariant()}, {QVariant(), 4}, {QVariant(), QVariant()}, {999, 4}, {3, 999},
        // a line of customer 5 with product 5 matches both equalities: once only
        {5, 5}};
    int rows = 0;
    for (const auto& [cus, product] : cases) {
        SCOPED_TRACE(QStringLiteral("GetCus %1, GetProduct %2").arg(cus.toString(), product.toString()).toStdString());
        rows += int(expectSame(history, ids(cus, product)).size());
        QStringList a = rowsOf(fast->execute(unordered, ids(cus, product)));
        QStringList b = rowsOf(plain->execute(unordered, ids(cus, product)));
        a.sort();
        b.sort();
        EXPECT_EQ(a, b) << "each line once, none left out";
    }
    EXPECT_GT(rows, 50) << "the cases must find rows, or the comparison proves nothing";
}

TEST_F(EngineRewrites, StatementsTheRewriteMustLeaveAloneGiveTheirOwnRows)
{
    const QStringList statements{
        // DISTINCT, TOP, aggregates and GROUP BY see all rows at once
        "Select Distinct D.Qty From Dt D Inner Join Hd H On H.Id = D.Hd Where H.Cust = :GetCus Or D.Product = :GetProduct "
        "Order By 1",
        "Select Top 5 D.Id From Dt D Inner Join Hd H On H.Id = D.Hd Where H.Cust = :GetCus Or D.Product = :GetProduct "
        "Order By D.Id",
        "Select Count(*), Sum(D.Qty) From Dt D Inner Join Hd H On H.Id = D.Hd "
        "Where H.Cust = :GetCus Or D.Product = :GetProduct",
        "Select H.Cust, Count(*) From Dt D Inner Join Hd H On H.Id = D.Hd "
        "Where H.Cust = :GetCus Or D.Product = :GetProduct Group By H.Cust Order By 1",
        // an outer join's optional side
        "Select D.Id, C.Code From Dt D Inner Join Hd H On H.Id = D.Hd Left Join Cust C On C.Id = H.Cust "
        "Where C.Id = :GetCus Or D.Product = :GetProduct Order By D.Id",
        // an order by an expression that is no result column
        "Select D.Id, D.Qty From Dt D Inner Join Hd H On H.Id = D.Hd "
        "Where H.Cust = :GetCus Or D.Product = :GetProduct Order By D.Qty * 3 - D.Id",
        // behind UNION (not ALL) a split block would escape the duplicate removal
        "Select D.Qty From Dt D Where D.Product = 1 Union "
        "Select D.Qty From Dt D Inner Join Hd H On H.Id = D.Hd Where H.Cust = :GetCus Or D.Product = :GetProduct "
        "Order By 1",
        // a window function numbers and sums over every row of the block
        "Select D.Id, Row_Number() Over (Order By D.Id), Count(*) Over () From Dt D Inner Join Hd H On H.Id = D.Hd "
        "Where H.Cust = :GetCus Or D.Product = :GetProduct Order By D.Id",
        // a scalar subquery keeps its single row
        "Select (Select Top 1 D.Id From Dt D Inner Join Hd H On H.Id = D.Hd "
        "Where H.Cust = :GetCus Or D.Product = :GetProduct Order By D.Id) X",
    };
    for (const QString& sql : statements) {
        SCOPED_TRACE(sql.toStdString());
        EXPECT_FALSE(expectSame(sql, ids(3, 4)).isEmpty());
        expectSame(sql, ids(QVariant(), 4));
    }
}

// The decision itself, on a schema of three tables: which statements are
// split, and into how many blocks.
class RewriteSchema : public db::sqlite::SchemaInfo {
public:
    QString columnType(const QString& table, const QString& column) const override
    {
        static const QStringList known{"HD.ID", "HD.CUST", "HD.FLAG", "DT.ID", "DT.HD", "DT.PRODUCT", "DT.QTY",
                                       "CUST.ID", "CUST.CODE"};
        const QString name = table.toUpper() + QLatin1Char('.') + column.toUpper();
        if (name == QLatin1String("CUST.CODE") || name == QLatin1String("HD.FLAG"))
            return QStringLiteral("VARCHAR(10)");
        return known.contains(name) ? QStringLiteral("INT") : QString();
    }
    QStringList columns(const QString&) const override { return {}; }
    QString identityColumn(const QString&) const override { return QStringLiteral("Id"); }
    QString databaseName() const override { return QStringLiteral("SHOP"); }
    db::sqlite::TypeName userType(const QString&) const override { return {}; }
    bool leadsAnIndex(const QString& table, const QString& column) const override
    {
        static const QStringList indexed{"HD.ID", "HD.CUST", "DT.ID", "DT.HD", "DT.PRODUCT", "CUST.ID"};
        return indexed.contains(table.toUpper() + QLatin1Char('.') + column.toUpper());
    }
};

int blocksAfterSplit(const QString& sql)
{
    const RewriteSchema schema;
    const db::sqlite::Batch batch = db::sqlite::parseBatch(sql);
    const auto split = db::sqlite::splitOrIntoUnion(*batch.statements.front()->select, schema);
    return split ? int(split->cores.size()) : 0;
}

TEST(OrAsUnionDecision, SplitsOnlyLookUpsOnIndexedColumnsOfDifferentTables)
{
    const QString join = QStringLiteral("Select D.Id From Dt D Inner Join Hd H On H.Id = D.Hd Where ");
    EXPECT_EQ(blocksAfterSplit(join + "H.Cust = :A Or D.Product = :B"), 2);
    EXPECT_EQ(blocksAfterSplit(join + "(H.Cust = 1 Or D.Product = :B Or D.Hd = @v) And D.Qty > 0"), 3);
    EXPECT_EQ(blocksAfterSplit(join + "H.Cust = :A Or D.Product = :B Order By 1"), 2);
    EXPECT_EQ(blocksAfterSplit(join + "H.Cust = :A Or D.Product = :B Union All " + join + "D.Id = 1"), 3);

    EXPECT_EQ(blocksAfterSplit("Select D.Id, Rank() Over (Order By D.Qty) From Dt D Inner Join Hd H On H.Id = D.Hd "
                               "Where H.Cust = :A Or D.Product = :B"),
              0)
        << "a window function sees every row";
    EXPECT_EQ(blocksAfterSplit(join + "D.Id = :A Or D.Product = :B"), 0) << "one table: SQLite splits it itself";
    EXPECT_EQ(blocksAfterSplit(join + "H.Flag = 'Y' Or D.Product = :B"), 0) << "no index on Flag";
    EXPECT_EQ(blocksAfterSplit(join + "H.Cust = D.Qty Or D.Product = :B"), 0) << "not a fixed value";
    EXPECT_EQ(blocksAfterSplit(join + "H.Cust > :A Or D.Product = :B"), 0) << "not an equality";
    EXPECT_EQ(blocksAfterSplit(join + "H.Cust = :A Or D.Product = :B Order By H.Cust"), 0)
        << "a compound cannot order by a qualified column";
    EXPECT_EQ(blocksAfterSplit("Select D.Id From Dt D Where D.Id = 1 Except " + join + "H.Cust = :A Or D.Product = :B"),
              0);
}

TEST_F(EngineRewrites, ADerivedTableWithSubqueryColumnsGivesTheSameRows)
{
    // The on-hand panel's shape: a subquery column named three times outside.
    const QString onhand = QStringLiteral(
        "select Id, Code, q, (Case When q > 0 Then 1 When q < 0 Then 2 Else 3 End) Rec\n"
        "From (select C.Id, C.Code, (select sum(D.Qty) - 20 from Dt D Inner Join Hd H On H.Id = D.Hd "
        "  where H.Cust = C.Id and D.Product = :GetProduct) q from Cust C) As M\n"
        "order by Rec, q Desc, Id");
    for (const QVariant& product : {QVariant(4), QVariant(7), QVariant()})
        EXPECT_EQ(expectSame(onhand, ids(QVariant(), product)).size(), 40);
    // With a WHERE outside the rows are narrowed first, as before.
    expectSame(QStringLiteral("select Id, q From (select C.Id, (select count(*) from Hd H where H.Cust = C.Id) q "
                              "from Cust C) As M where q > 2 order by Id"));
}

// ---------------------------------------------------------------- aggregate as join

TEST_F(EngineRewrites, CorrelatedAggregatesReadOnceGiveThePlainValues)
{
    // Every header with figures of its lines for one product: lines of other
    // products, NULL products and headers without lines must all come out as
    // the subquery gives them (NULL, or 0 for a count).
    const QStringList statements{
        "select H.Id, (select sum(D.Qty) from Dt D where D.Hd = H.Id and D.Product = :GetProduct) S,\n"
        "  (select count(*) from Dt D where D.Product = :GetProduct and H.Id = D.Hd) N,\n"
        "  (select count(D.Note) from Dt D where D.Hd = H.Id and D.Product = :GetProduct) Notes,\n"
        "  (select min(D.Note) from Dt D where D.Hd = H.Id and D.Product = :GetProduct and D.Qty > 2) Lowest,\n"
        "  (select avg(D.Qty) from Dt D where D.Hd = H.Id and D.Product = :GetProduct) Average\n"
        "from Hd H order by H.Id",
        // inside a larger expression, twice, with a text test beside the look-up
        "select H.Id, 10 * (select max(Qty) from Dt where Dt.Hd = H.Id and Product = :GetProduct)\n"
        "  - (select count(*) from Dt where Dt.Hd = H.Id and Product = :GetProduct and Note like N'line 1%') X\n"
        "from Hd H where H.Flag = 'N' order by X desc, H.Id",
        // correlated on a column of the optional side of an outer join, and on two columns
        "select H.Id, C.Code, (select sum(D.Qty) from Dt D where D.Hd = C.Id and D.Product = :GetProduct) S,\n"
        "  (select count(*) from Dt D where D.Hd = H.Id and D.Qty = H.Cust and D.Product = :GetProduct) Both_\n"
        "from Hd H left join Cust C on C.Id = H.Cust order by H.Id",
        // DISTINCT and TOP outside see the same values
        "select distinct top 7 (select sum(D.Qty) from Dt D where D.Hd = H.Id and D.Product = :GetProduct) S\n"
        "from Hd H order by 1 desc",
        // the on-hand shape: a derived table whose subquery column is read three times outside
        "select Id, q, (Case When q > 0 Then 1 When q < 0 Then 2 Else 3 End) Rec\n"
        "From (select H.Id, (select sum(Qty) - 4 from Dt where Hd = H.Id and Product = :GetProduct) q from Hd H) As M\n"
        "order by Rec, q Desc, Id",
    };
    int found = 0;
    for (const QString& sql : statements) {
        for (const QVariant& product : {QVariant(4), QVariant(19), QVariant(999), QVariant()}) {
            SCOPED_TRACE(QStringLiteral("%1\nGetProduct %2").arg(sql, product.toString()).toStdString());
            const QStringList rows = expectSame(sql, ids(QVariant(), product));
            EXPECT_FALSE(rows.isEmpty());
            found += int(std::count_if(rows.begin(), rows.end(), [](const QString& r) { return !r.contains(QLatin1String("<null>")); }));
        }
    }
    EXPECT_GT(found, 40) << "the cases must find lines, or the comparison proves nothing";
}

bool aggregateMoves(const QString& sql)
{
    const RewriteSchema schema;
    const db::sqlite::Batch batch = db::sqlite::parseBatch(sql);
    int joined = 0;
    return db::sqlite::joinCorrelatedAggregates(batch.statements.front()->select->cores.front(), schema, &joined)
        != nullptr;
}

TEST(AggregateAsJoinDecision, MovesOnlyOneTablesAggregateCorrelatedOnWholeNumbersAndNarrowedByAnIndex)
{
    const auto item = [](const QString& subquery) { return "select H.Id, (" + subquery + ") V from Hd H"; };
    EXPECT_TRUE(aggregateMoves(item("select sum(D.Qty) from Dt D where D.Hd = H.Id and D.Product = :P")));
    EXPECT_TRUE(aggregateMoves(item("select count(*) from Dt where Product = 1 and H.Id = Hd")));
    EXPECT_TRUE(aggregateMoves("select H.Id, 1 + (select max(D.Qty) from Dt D where D.Hd = H.Id and D.Product = @p) "
                               "from Hd H"))
        << "inside an expression, without an alias";

    EXPECT_FALSE(aggregateMoves(item("select sum(D.Qty) from Dt D where D.Hd = H.Id and D.Qty > 1")))
        << "no index narrows the grouped table: it would read all of Dt";
    EXPECT_FALSE(aggregateMoves(item("select sum(D.Qty) from Dt D where D.Hd = H.Id and D.Product = D.Qty")));
    EXPECT_FALSE(aggregateMoves(item("select sum(D.Qty) from Dt D where D.Hd > H.Id and D.Product = 1")));
    EXPECT_FALSE(aggregateMoves(item("select sum(D.Qty) from Dt D where D.Hd = H.Id + 1 and D.Product = 1")));
    EXPECT_FALSE(aggregateMoves(item("select sum(D.Qty) from Dt D where (D.Hd = H.Id or D.Product = 1)")));
    EXPECT_FALSE(aggregateMoves(item("select sum(D.Qty * H.Cust) from Dt D where D.Hd = H.Id and D.Product = 1")))
        << "the aggregate reads the outer row";
    EXPECT_FALSE(aggregateMoves(item("select top 1 D.Qty from Dt D where D.Hd = H.Id and D.Product = 1 order by 1")));
    EXPECT_FALSE(aggregateMoves(item("select D.Qty from Dt D where D.Hd = H.Id and D.Product = 1")));
    EXPECT_FALSE(aggregateMoves(
        item("select sum(D.Qty) from Dt D inner join Hd X on X.Id = D.Hd where D.Hd = H.Id and D.Product = 1")));
    EXPECT_FALSE(aggregateMoves(item("select sum(C.Id) from Cust C where C.Code = H.Flag and C.Id = 1")))
        << "text keys compare under a collation that grouping need not share";
    EXPECT_FALSE(aggregateMoves("select H.Id, (select sum(D.Qty) from Dt D where D.Hd = H.Id and D.Product = 1) "
                                "from Hd H"))
        << "a bare subquery has no name; a column would give it one";
    EXPECT_FALSE(aggregateMoves("select H.Cust, (select sum(D.Qty) from Dt D where D.Hd = H.Cust and D.Product = 1) V "
                                "from Hd H group by H.Cust"));
    EXPECT_FALSE(aggregateMoves("select M.Id, (select sum(D.Qty) from Dt D where D.Hd = M.Id and D.Product = 1) V "
                                "from (select Id from Hd) M"))
        << "a derived table's column type is not known here";
    EXPECT_FALSE(aggregateMoves("select D.Id, (select sum(D.Qty) from Dt D where D.Hd = 3 and D.Product = 1) V "
                                "from Dt D"))
        << "the same name inside and out";
}

// ---------------------------------------------------------------- trigram LIKE

TEST_F(EngineRewrites, TrigramLikeFindsExactlyTheRowsOfLike)
{
    declareTrigrams();
    // Searches also read names through views: one over the table, one that
    // reads it twice (no one row to key by).
    fast->execute(QStringLiteral("CREATE VIEW CustView AS SELECT C.Id, C.Code, C.Name FROM Cust C WHERE C.Code <> 'C2'\n"
                                 "CREATE VIEW CustPairs AS SELECT A.Id, A.Name, B.Code FROM Cust A "
                                 "INNER JOIN Cust B ON B.Id = A.Id + 1"),
                  {});
    EXPECT_EQ(fast->execute(QStringLiteral("Select Count(*) From qel_trigram Where built Is Not Null"), {})
                  .rows.front()
                  .value(0)
                  .toInt(),
              1)
        << "the declaration builds the index at once";
    const QStringList patterns{
        "%ปลา%",   "%น้ำปลา%", "ปลาก%", "%FISH%", "%fish s%", "Fish%", "%SAUCE%", "%sauce   %", "%sauce    %",
        "%éclair%", "%ÉCLAI%",  "%ñan%", "%o''brien%", "%0% c%", "%ab%",  "%ab",     "%f_sh%",     "%[f]ish%",
        "%%",       "%ข้าวหอม%", "%zzz%", "%\"hi\"%", "%d \"h%", "%said \"hi\" t%"};
    int found = 0;
    for (const QString& p : patterns) {
        SCOPED_TRACE(p.toStdString());
        found += int(expectSame(QStringLiteral("Select Id, Name From Cust C Where C.Name Like N'%1' Order By Id").arg(p))
                         .size());
        // Under a NOT a NULL name must stay unknown, not become true.
        expectSame(QStringLiteral("Select Id From Cust Where Not (Name Like N'%1') Order By Id").arg(p));
        expectSame(QStringLiteral("Select Id From Cust Where Name Like N'%1' Or Code = 'C1' Order By Id").arg(p));
        expectSame(QStringLiteral("Select V.Id, V.Name From CustView V Where (V.Name Like N'%1') Order By V.Id").arg(p));
        expectSame(QStringLiteral("Select Id, Code From CustPairs Where Name Like N'%1' Order By Id").arg(p));
    }
    EXPECT_GT(found, 60);
}

TEST_F(EngineRewrites, TrigramIndexFollowsInsertsUpdatesAndDeletes)
{
    declareTrigrams();
    const QString search = QStringLiteral("Select Code From Cust Where Name Like N'%ปลาทู%' Order By Code");
    EXPECT_TRUE(expectSame(search).isEmpty());
    fast->execute(QStringLiteral("Insert Into Cust (Code, Name) Values ('N1', N'ร้านปลาทูแม่กลอง'), ('N2', NULL)"), {});
    EXPECT_EQ(expectSame(search), QStringList{"N1"});
    fast->execute(QStringLiteral("Update Cust Set Name = N'ปลาทูนึ่ง' Where Code = 'N2'"), {});
    fast->execute(QStringLiteral("Update Cust Set Name = N'ร้านข้าวแกง' Where Code = 'N1'"), {});
    EXPECT_EQ(expectSame(search), QStringList{"N2"});
    fast->execute(QStringLiteral("Update Cust Set Name = NULL Where Code = 'N2'"), {});
    EXPECT_TRUE(expectSame(search).isEmpty());
    fast->execute(QStringLiteral("Update Cust Set Name = N'PLATOO ปลาทู' Where Code = 'N2'"), {});
    fast->execute(QStringLiteral("Delete From Cust Where Code = 'N1'"), {});
    EXPECT_EQ(expectSame(search), QStringList{"N2"});
    EXPECT_EQ(expectSame(QStringLiteral("Select Code From Cust Where Name Like '%platoo%'")), QStringList{"N2"});
}

TEST_F(EngineRewrites, ADeclaredIndexMissingFromTheFileIsBuiltWhenItIsOpened)
{
    declareTrigrams();
    fast.reset();
    plain.reset();
    // Another program (or an older engine) left the declaration without its index.
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(QDir(dir.path()).filePath(QStringLiteral("SHOP.sqlite")).toUtf8().constData(), &raw),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(raw,
                           "DROP TRIGGER qel_trigram_Cust_Name_insert; DROP TABLE qel_trigram_Cust_Name; "
                           "INSERT INTO Cust (Code, Name) VALUES ('R1', 'Sardine in tomato sauce')",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(raw);

    plain = std::make_unique<SqliteEngine>(dir.path(), QStringLiteral("SHOP"));
    plain->setOptimizations(db::sqlite::Optimizations{false, false, false, false});
    fast = std::make_unique<SqliteEngine>(dir.path(), QStringLiteral("SHOP"));
    EXPECT_EQ(expectSame(QStringLiteral("Select Code From Cust Where Name Like '%tomato%'")), QStringList{"R1"});
    EXPECT_EQ(fast->execute(QStringLiteral("Select Count(*) From qel_trigram_Cust_Name"), {}).rows.front().value(0),
              fast->execute(QStringLiteral("Select Count(Name) From Cust"), {}).rows.front().value(0))
        << "every named row is in the index again";
}

} // namespace

// ---------------------------------------------------------------- first rows of an ordered trigram search

// A lazy read of an ordered search starts on the shape that walks the index
// of its ORDER BY and may go on with the one that sorts every match. Many
// rows tie on the ORDER BY here, and another statement runs between the
// fetches, so the hand-over must neither repeat nor lose a row, whether it
// happens at once (no budget) or never (a budget no fetch spends).
TEST_F(EngineRewrites, AnOrderedTrigramSearchReadLazilyGivesEveryRowOnceInOneOrder)
{
    declareTrigrams();
    fast->execute(QStringLiteral("CREATE INDEX IX_Hd_Flag ON Hd (Flag)"), {});
    const QString search = QStringLiteral("Select C.Code, C.Name, H.Id, H.Flag From Hd H Inner Join Cust C On C.Id = H.Cust "
                                          "Where C.Name Like N'%%1%' Order By H.Flag");
    int shapes = 0;
    for (const QString& line : fast->explain(search.arg(QStringLiteral("ปลา")), {}))
        shapes += int(line.startsWith(QLatin1String("SELECT")));
    ASSERT_EQ(shapes, 3) << "the statement, its first-rows shape and its whole shape";
    using namespace std::chrono_literals;
    for (const QString& name : {QStringLiteral("ปลา"), QStringLiteral("fish"), QStringLiteral("zzz")}) {
        // The same order made total by hand: each table's IDENTITY is its rowid.
        const QStringList expected = rowsOf(plain->execute(search.arg(name) + QStringLiteral(", H.Id, C.Id"), {}));
        for (const auto budget : {std::chrono::nanoseconds(0), std::chrono::nanoseconds(1h)}) {
            SCOPED_TRACE(QStringLiteral("%1, budget %2 ns").arg(name).arg(budget.count()).toStdString());
            fast->setFirstRowsBudget(budget);
            std::unique_ptr<db::RowCursor> cursor = fast->openCursor(search.arg(name), {});
            db::RowStore store;
            store.clear(int(cursor->columns().size()));
            while (!cursor->atEnd()) {
                cursor->fetch(3, store);
                fast->execute(QStringLiteral("Select Count(*) From Dt"), {});
            }
            db::ResultSet read;
            for (int r = 0; r < store.rowCount(); ++r) {
                QVector<QVariant> row;
                for (int c = 0; c < store.columnCount(); ++c)
                    row.append(store.value(r, c));
                read.rows.push_back(row);
            }
            EXPECT_EQ(rowsOf(read), expected);
        }
    }
    EXPECT_FALSE(rowsOf(plain->execute(search.arg(QStringLiteral("ปลา")), {})).isEmpty());
}

// Both shapes of a reader read one trigram look-up: handing over to the
// whole shape does not ask the full-text index again. A reader set aside
// while another statement changes the rows looks up again when it goes on,
// so a row that matches only since then is not lost.
TEST_F(EngineRewrites, AReaderLooksItsTrigramsUpOnceUntilItIsSetAside)
{
    declareTrigrams();
    fast->execute(QStringLiteral("CREATE INDEX IX_Hd_Flag ON Hd (Flag)"), {});
    const QString search = QStringLiteral("Select C.Code, H.Flag From Hd H Inner Join Cust C On C.Id = H.Cust "
                                          "Where C.Name Like N'%ปลา%' Order By H.Flag");
    const auto readAll = [](db::RowCursor& cursor, const std::function<void()>& between) {
        db::RowStore store;
        store.clear(int(cursor.columns().size()));
        while (!cursor.atEnd()) {
            cursor.fetch(3, store);
            between();
        }
        db::ResultSet read;
        for (int r = 0; r < store.rowCount(); ++r)
            read.rows.push_back({store.value(r, 0), store.value(r, 1)});
        return rowsOf(read);
    };
    fast->setFirstRowsBudget(std::chrono::nanoseconds(0));  // hands over at the first fetch
    const int before = fast->trigramMatches().lookUps();
    const QStringList all = readAll(*fast->openCursor(search, {}), [] {});
    EXPECT_EQ(fast->trigramMatches().lookUps() - before, 1);
    EXPECT_EQ(all, rowsOf(plain->execute(search + QStringLiteral(", H.Id, C.Id"), {})));

    // A customer with a header that sorts last ('Y'), whose name lacks the text.
    const QString late = fast->execute(QStringLiteral(
        "Select Top 1 C.Code From Hd H Inner Join Cust C On C.Id = H.Cust "
        "Where H.Flag = 'Y' And (C.Name Is Null Or C.Name Not Like N'%ปลา%') Order By C.Id"), {}).rows.at(0).at(0).toString();
    ASSERT_FALSE(all.join(QLatin1Char(' ')).contains(late + QLatin1Char('|')));
    bool renamed = false;
    const QStringList read = readAll(*fast->openCursor(search, {}), [&] {
        if (!std::exchange(renamed, true))
            fast->execute(QStringLiteral("Update Cust Set Name = N'ปลาทู' Where Code = '%1'").arg(late), {});
    });
    EXPECT_TRUE(read.contains(late + QStringLiteral("|Y"))) << read.join(QLatin1Char(' ')).toStdString();
}

// A walk whose matches keep failing the rest of the WHERE hands over to the
// whole statement without waiting for its time to run out, after it has
// handed rows out: the whole shape must go on past exactly those rows.
TEST_F(EngineRewrites, AWalkWhoseMatchesAreRefusedHandsOverMidwayWithoutLosingARow)
{
    fast->execute(QStringLiteral("CREATE TABLE Item (Id int IDENTITY(1,1) PRIMARY KEY, Name nvarchar(40) NOT NULL, "
                                 "Kind char(1) NOT NULL)\n"
                                 "CREATE INDEX IX_Item_Name ON Item (Name)\n"
                                 "INSERT INTO qel_trigram (table_name, column_name) VALUES ('Item', 'Name')"),
                  {});
    // Every name holds the text; in name order the first and last few are
    // kept, the many between are refused by Kind. Some names tie.
    QStringList rows;
    for (int i = 0; i < 800; ++i) {
        const bool kept = i < 7 || i >= 790;
        rows.append(QStringLiteral("(N'ปลา %1', '%2')").arg(i / 2, 4, 10, QLatin1Char('0')).arg(kept ? 'A' : 'B'));
    }
    // Inserted out of name order, so that rowids do not follow it.
    std::reverse(rows.begin(), rows.end());
    fast->execute(QStringLiteral("INSERT INTO Item (Name, Kind) VALUES ") + rows.join(QLatin1Char(',')), {});
    const QString search = QStringLiteral("Select Name, Kind From Item Where Name Like N'%ปลา%' And Kind = 'A' Order By Name");
    fast->setFirstRowsBudget(std::chrono::hours(1));  // only the refused matches end the walk
    const int before = fast->handOvers();
    std::unique_ptr<db::RowCursor> cursor = fast->openCursor(search, {});
    db::RowStore store;
    store.clear(int(cursor->columns().size()));
    while (!cursor->atEnd())
        cursor->fetch(2, store);
    EXPECT_EQ(fast->handOvers() - before, 1);
    db::ResultSet read;
    for (int r = 0; r < store.rowCount(); ++r)
        read.rows.push_back({store.value(r, 0), store.value(r, 1)});
    const QStringList expected = rowsOf(plain->execute(search + QStringLiteral(", Id"), {}));
    EXPECT_EQ(expected.size(), 17);
    EXPECT_EQ(rowsOf(read), expected);
}
