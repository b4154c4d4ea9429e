// The embedded engine gives SQLite the row counts of tables that hold rows
// when it opens a file. With them a search ordered by an indexed column
// walks that index, so its first rows come without sorting the whole join;
// the rows and their order must stay those of the sorting plan.

#include "db/sqlite/SqliteEngine.h"
#include "support/EmbeddedDb.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

using db::sqlite::SqliteEngine;

bool sorts(const QStringList& plan)
{
    return plan.filter(QStringLiteral("TEMP B-TREE FOR ORDER BY")).size() > 0;
}

// The unit search's shape: units in bar-code order, their product and their
// price of one price type.
const QString kUnitSearch = QStringLiteral(
    "select u.id, u.barcode, p.code, u.unitname, p.thainame, x.price\n"
    "from Units u\n"
    "inner join Goods p on p.id = u.product\n"
    "inner join Prices x on x.product = u.product and x.units = u.id\n"
    "where x.price > 0 and x.pricetype = 19\n"
    "Order By BarCode");

class PlannerStatistics : public ::testing::Test {
protected:
    void SetUp() override
    {
        db::sqlite::createDatabase(dir.path(), QStringLiteral("SHOP"));
        first = open();
        first->execute(QStringLiteral(
                           "CREATE TABLE Goods (Id int IDENTITY(1,1) PRIMARY KEY, Code varchar(10) NOT NULL, "
                           "  ThaiName nvarchar(60) NOT NULL)\n"
                           "CREATE TABLE Units (Id int IDENTITY(1,1) PRIMARY KEY, Product int NOT NULL, "
                           "  UnitName nvarchar(20) NOT NULL, BarCode varchar(30) NULL)\n"
                           "CREATE TABLE Prices (Id int IDENTITY(1,1) PRIMARY KEY, Product int NOT NULL, "
                           "  Units int NOT NULL, PriceType int NOT NULL, Price decimal(18,4) NOT NULL)\n"
                           "CREATE TABLE Later (Id int PRIMARY KEY, Name nvarchar(10) NULL)\n"
                           "CREATE UNIQUE INDEX UQ_Units ON Units (Product, UnitName)\n"
                           "CREATE INDEX IX_Units_BarCode ON Units (BarCode)\n"
                           "CREATE UNIQUE INDEX UQ_Prices ON Prices (Units, PriceType)\n"
                           "CREATE INDEX IX_Prices_Product ON Prices (Product, PriceType)\n"),
                       {});
        const QStringList names{QStringLiteral("ชาเขียว"), QStringLiteral("Fish Sauce"), QStringLiteral("fish bone"),
                                QStringLiteral("ข้าวหอม")};
        const QStringList unitNames{QStringLiteral("ซอง"), QStringLiteral("แพ็ค"), QStringLiteral("ลัง")};
        for (int block = 0; block < 10; ++block) {
            QStringList goods, units, prices;
            for (int i = 0; i < 200; ++i) {
                const int product = block * 200 + i + 1;
                goods.append(QStringLiteral("('S%1', N'%2 %1')").arg(product).arg(names[product % names.size()]));
                for (int u = 0; u < 3; ++u) {
                    const int unit = (product - 1) * 3 + u + 1;
                    // Bar codes out of id order, mixed case (compared without
                    // case), and some units without one.
                    const QString barcode = unit % 17 == 0 ? QStringLiteral("NULL")
                                            : QStringLiteral("'%1%2'")
                                                  .arg(unit % 2 ? QLatin1Char('a') : QLatin1Char('B'))
                                                  .arg((unit * 7919) % 100003, 6, 10, QLatin1Char('0'));
                    units.append(QStringLiteral("(%1, N'%2', %3)").arg(product).arg(unitNames[u], barcode));
                    for (int type = 19; type <= 22; ++type)
                        prices.append(QStringLiteral("(%1, %2, %3, %4)")
                                          .arg(product)
                                          .arg(unit)
                                          .arg(type)
                                          .arg(unit % 5 == 0 ? 0 : unit * 3 + type));
                }
            }
            first->execute(QStringLiteral("INSERT INTO Goods (Code, ThaiName) VALUES ") + goods.join(QLatin1Char(','))
                               + QStringLiteral("\nINSERT INTO Units (Product, UnitName, BarCode) VALUES ")
                               + units.join(QLatin1Char(','))
                               + QStringLiteral("\nINSERT INTO Prices (Product, Units, PriceType, Price) VALUES ")
                               + prices.join(QLatin1Char(',')),
                           {});
        }
    }

    std::unique_ptr<SqliteEngine> open() { return std::make_unique<SqliteEngine>(dir.path(), QStringLiteral("SHOP")); }

    QStringList analyzedTables(SqliteEngine& engine)
    {
        QStringList out;
        for (const auto& row : engine.execute(QStringLiteral("SELECT DISTINCT tbl FROM sqlite_stat1 ORDER BY 1"), {}).rows)
            out.append(row.value(0).toString());
        return out;
    }

    QTemporaryDir dir;
    std::unique_ptr<SqliteEngine> first;
};

TEST_F(PlannerStatistics, AnOrderedSearchWalksItsIndexOnceTheFileIsReopenedAndKeepsItsRows)
{
    // The session that filled the tables has no statistics: SQLite sorts.
    const QStringList sorted = rowsOf(first->execute(kUnitSearch, {}));
    ASSERT_TRUE(sorts(first->explain(kUnitSearch, {}))) << "without statistics the search sorts; nothing to compare";
    ASSERT_GT(sorted.size(), 4000);
    EXPECT_TRUE(sorted.first().contains(QStringLiteral("<null>"))) << "units without a bar code come first";

    const auto reopened = open();
    const QStringList plan = reopened->explain(kUnitSearch, {});
    EXPECT_FALSE(sorts(plan)) << plan.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(plan.filter(QStringLiteral("IX_Units_BarCode")).size(), 1) << plan.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(rowsOf(reopened->execute(kUnitSearch, {})), sorted);
}

TEST_F(PlannerStatistics, ATableIsAnalyzedOnTheFirstOpenAfterItHoldsRowsAndAgainWhenItHasGrownTenfold)
{
    auto second = open();
    EXPECT_EQ(analyzedTables(*second), (QStringList{QStringLiteral("Goods"), QStringLiteral("Prices"),
                                                     QStringLiteral("Units")}));
    second->execute(QStringLiteral("INSERT INTO Later (Id, Name) VALUES (1, N'ก'), (2, NULL)"), {});
    second.reset();
    first.reset();
    auto third = open();
    EXPECT_TRUE(analyzedTables(*third).contains(QStringLiteral("Later")));
    // The rows SQLite counted (estimated, as it samples): the first number
    // of each statistics line.
    const auto counted = [](SqliteEngine& engine) {
        int rows = 0;
        for (const auto& row : engine.execute(QStringLiteral("SELECT stat FROM sqlite_stat1 WHERE tbl = 'Later'"), {}).rows)
            rows = std::max(rows, row.value(0).toString().section(QLatin1Char(' '), 0, 0).toInt());
        return rows;
    };
    EXPECT_EQ(counted(*third), 2);

    // Grown tenfold and more: counted again on the next open; a little growth is not.
    QStringList rows;
    for (int id = 3; id <= 1102; ++id)
        rows.append(QStringLiteral("(%1, NULL)").arg(id));
    third->execute(QStringLiteral("INSERT INTO Later (Id, Name) VALUES ") + rows.join(QLatin1Char(',')), {});
    third.reset();
    auto fourth = open();
    const int recounted = counted(*fourth);
    EXPECT_GT(recounted, 500) << "sampled, so about the 1,102 rows";
    fourth->execute(QStringLiteral("INSERT INTO Later (Id, Name) VALUES (1103, NULL)"), {});
    fourth.reset();
    EXPECT_EQ(counted(*open()), recounted);
}

TEST_F(PlannerStatistics, AJoinedTableIsNotReadWholeBeforeTheFirstRow)
{
    // With statistics SQLite would build a Bloom filter of the joined table
    // first; the engine leaves that out, so the lists' first rows stay quick.
    const QString byBarCode = QStringLiteral(
        "Select U.Id, U.BarCode, P.ThaiName From Units U Inner Join Goods P On (P.Id = U.Product)\n"
        "Where (U.BarCode Like :GetCode) And (P.ThaiName Like :GetName) Order By U.BarCode");
    db::ParamValues params;
    params.set(QStringLiteral("GetCode"), QStringLiteral("%"));
    params.set(QStringLiteral("GetName"), QStringLiteral("%fish%"));
    const QStringList before = rowsOf(first->execute(byBarCode, params));
    ASSERT_GT(before.size(), 1000);
    const auto reopened = open();
    const QStringList plan = reopened->explain(byBarCode, params);
    EXPECT_TRUE(plan.filter(QStringLiteral("BLOOM")).isEmpty()) << plan.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(rowsOf(reopened->execute(byBarCode, params)), before);
}

}  // namespace
