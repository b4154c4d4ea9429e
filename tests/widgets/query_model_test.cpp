// The grid model over an in-memory query: what a grid shows and edits.

#include "support/EmbeddedDb.h"

#include "widgets/QueryModel.h"

#include <QAbstractItemModelTester>
#include <QTableView>
#include <gtest/gtest.h>

namespace {

class QueryModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.exec(QStringLiteral("Create Table W (Id Int, Code VarChar(10), Qty Float, Made DateTime)\n"
                               "Insert Into W Values (1, 'MAIN', 12.5, '2026-02-03')\n"
                               "Insert Into W Values (2, 'SHOP', NULL, NULL)"));
        query = db.open(QStringLiteral("Select Id, Code, Qty, Made, '    ' Shown From W Order By Id"));
    }
    EmbeddedDb db;
    std::unique_ptr<db::Query> query;
};

TEST_F(QueryModelTest, ShowsEveryFieldUntilColumnsAreChosen)
{
    widgets::QueryModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.setQuery(query.get());
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.columnCount(), 5);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "Code");
    EXPECT_EQ(model.data(model.index(0, 2)).toString(), "12.5");
    EXPECT_EQ(model.data(model.index(1, 2)).toString(), "");
    EXPECT_TRUE(model.data(model.index(1, 2), Qt::EditRole).isNull());
    EXPECT_FALSE(model.flags(model.index(0, 1)) & Qt::ItemIsEditable);

    query->close();
    EXPECT_EQ(model.rowCount(), 0);
    query->open();
    EXPECT_EQ(model.rowCount(), 2);
}

TEST_F(QueryModelTest, ChosenColumnsTitlesAndInMemoryEdits)
{
    widgets::QueryModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.setQuery(query.get());
    model.setColumns({{"code", QStringLiteral("คลัง"), 10, false, Qt::AlignLeft},
                      {"SHOWN", QStringLiteral("คงเหลือ"), 40, true, Qt::AlignRight},
                      {"Missing", "", 5, true, Qt::AlignLeft}});
    EXPECT_EQ(model.columnCount(), 3);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("คงเหลือ"));
    EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), "Missing");
    EXPECT_EQ(model.columnOfField("shown"), 1);
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), "MAIN");

    EXPECT_TRUE(model.setData(model.index(1, 1), QStringLiteral("2 (โหล)")));
    EXPECT_EQ(query->valueAt(1, query->fieldIndex("Shown")).toString(), QStringLiteral("2 (โหล)"));
    EXPECT_FALSE(model.setData(model.index(0, 0), "X")) << "read-only column";
    EXPECT_FALSE(model.setData(model.index(0, 2), "X")) << "a field the query lacks takes nothing";
    EXPECT_FALSE(model.flags(model.index(0, 2)) & Qt::ItemIsEditable);

    // A change made through the query reaches a view.
    QTableView view;
    view.setModel(&model);
    query->first();
    query->setValue("Shown", "7");
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), "7");
}

// A result longer than one block: the view gets rows as it asks for them and
// as the query reads them for its own callers.
TEST(QueryModelOverALongResult, ShowsTheRowsReadAndGrowsAsMoreAreRead)
{
    EmbeddedDb db;
    db.exec(QStringLiteral("Create Table D (D Int Not Null Primary Key)\n"
                           "Insert Into D Values (0), (1), (2), (3), (4), (5), (6), (7), (8), (9)"));
    auto query = db.open(QStringLiteral("Select 1 + A.D + 10 * B.D + 100 * C.D N From D A, D B, D C Order By 1"));
    widgets::QueryModel model;
    // A view over it, as the grids have; QAbstractItemModelTester cannot
    // watch a model that reads on while its reset is reported.
    QTableView view;
    view.setModel(&model);
    model.setQuery(query.get());
    const int block = db::Query::kFetchBlock;
    EXPECT_EQ(model.rowCount(), block);
    EXPECT_TRUE(model.canFetchMore(QModelIndex()));
    model.fetchMore(QModelIndex());
    EXPECT_EQ(model.rowCount(), 2 * block);
    EXPECT_EQ(model.data(model.index(2 * block - 1, 0)).toString(), QString::number(2 * block));

    // Rows the query reads for a locate show in the view too.
    ASSERT_TRUE(query->locate(QStringLiteral("N"), 900));
    EXPECT_GE(model.rowCount(), 900);
    EXPECT_EQ(model.data(model.index(899, 0)).toString(), "900");
    EXPECT_EQ(query->recordCount(), 1000);
    EXPECT_EQ(model.rowCount(), 1000);
    EXPECT_FALSE(model.canFetchMore(QModelIndex()));

    // Opened again, the view starts from the first block.
    query->open();
    EXPECT_EQ(model.rowCount(), block);
}

} // namespace
