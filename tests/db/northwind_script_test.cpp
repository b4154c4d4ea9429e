// A real SQL Server script written by others: Microsoft's Northwind install
// script, unmodified, loaded batch by batch into a new embedded database as
// SQL Server would run it, then its tables, views and procedures read back
// with the answers SQL Server gives. The script lives outside the project
// (shared/data beside the repository); without it these tests are skipped.

#include "support/EmbeddedDb.h"
#include "support/ToolRun.h"

#include "db/DbError.h"
#include "db/Engine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

const char kScriptName[] = "instnwnd.sql";

// QEL_SHARED_DATA when set; else shared/data beside the repository, or one
// level further up when the repository is a worktree in a folder of its own.
QString scriptPath()
{
    QStringList folders;
    const QString fromEnv = qEnvironmentVariable("QEL_SHARED_DATA");
    if (!fromEnv.isEmpty())
        folders << fromEnv;
    const QDir source(QStringLiteral(QEL_SOURCE_DIR));
    folders << source.filePath(QStringLiteral("../shared/data")) << source.filePath(QStringLiteral("../../shared/data"));
    for (const QString& folder : folders) {
        const QString path = QDir(folder).filePath(QLatin1String(kScriptName));
        if (QFileInfo::exists(path))
            return QDir::cleanPath(path);
    }
    return QString();
}

class NorthwindScript : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        path_ = scriptPath();
        if (path_.isEmpty())
            return;
        QFile f(path_);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << path_.toStdString();
        db_ = new EmbeddedDb(QStringLiteral("NORTHWIND"), QStringLiteral("Northwind"));
        db::Engine& engine = db_->connection().engine();
        const auto batches = qeldb::splitBatches(qeldb::decodeScript(f.readAll()));
        batchCount_ = int(batches.size());
        for (const qeldb::Batch& batch : batches) {
            try {
                engine.execute(batch.sql, {});
            } catch (const db::DbError& e) {
                failures_ << QStringLiteral("line %1: %2").arg(batch.line).arg(e.message().left(300));
            }
        }
    }
    static void TearDownTestSuite()
    {
        delete db_;
        db_ = nullptr;
    }
    void SetUp() override
    {
        if (path_.isEmpty())
            GTEST_SKIP() << kScriptName << " not found beside the repository (shared/data) nor in QEL_SHARED_DATA";
    }

    static EmbeddedDb& db() { return *db_; }

    static inline QString path_;
    static inline EmbeddedDb* db_ = nullptr;
    static inline int batchCount_ = 0;
    static inline QStringList failures_;
};

TEST_F(NorthwindScript, EveryBatchLoads)
{
    EXPECT_EQ(batchCount_, 402);
    EXPECT_TRUE(failures_.isEmpty()) << failures_.size() << " batches failed:\n" << failures_.join('\n').toStdString();
}

TEST_F(NorthwindScript, TablesHoldThePublishedCounts)
{
    const std::pair<const char*, int> counts[] = {
        {"Orders", 830},   {"[Order Details]", 2155}, {"Customers", 91}, {"Products", 77}, {"Employees", 9},
        {"Categories", 8}, {"Suppliers", 29},         {"Shippers", 3},   {"Region", 4},    {"Territories", 53},
    };
    for (const auto& [table, count] : counts)
        EXPECT_EQ(db().scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(table))).toInt(), count)
            << table;
}

TEST_F(NorthwindScript, ProceduresAnswerAsOnSqlServer)
{
    // SET ROWCOUNT 10 inside the procedure limits its one SELECT.
    const QStringList top = db().rows(QStringLiteral("EXEC \"Ten Most Expensive Products\""));
    ASSERT_EQ(top.size(), 10);
    EXPECT_EQ(top.first(), QStringLiteral("Côte de Blaye|263.5"));
    EXPECT_EQ(top.last(), QStringLiteral("Rössle Sauerkraut|45.6"));
    // ...and ends with it: the next batch sees every row again.
    EXPECT_EQ(db().rows(QStringLiteral("SELECT ProductName FROM Products")).size(), 77);

    // Dates given as 'yyyymmdd' text to datetime parameters.
    const QStringList sales = db().rows(QStringLiteral("EXEC \"Sales by Year\" '19960101', '19961231'"));
    EXPECT_EQ(sales.size(), 143);
    EXPECT_TRUE(sales.first().endsWith(QStringLiteral("|1996"))) << sales.first().toStdString();

    EXPECT_EQ(db().rows(QStringLiteral("EXEC CustOrderHist 'ALFKI'")).size(), 11);
    EXPECT_EQ(db().rows(QStringLiteral("EXEC CustOrdersDetail 10248")),
              (QStringList{"Queso Cabrales|14|12|0|168", "Singaporean Hokkien Fried Mee|9.8|10|0|98",
                           "Mozzarella di Giovanni|34.8|5|0|174"}));
    EXPECT_EQ(db().rows(QStringLiteral("EXEC SalesByCategory 'Seafood', '1997'")).size(), 12);
}

TEST_F(NorthwindScript, ViewsAnswerAsOnSqlServer)
{
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT Subtotal FROM \"Order Subtotals\" WHERE OrderID = 10248")),
              QStringLiteral("440"));
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT Subtotal FROM \"Order Subtotals\" WHERE OrderID = 10250")),
              QStringLiteral("1552.6"));
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT COUNT(*) FROM Invoices")).toInt(), 2155);
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT COUNT(*) FROM \"Products Above Average Price\"")).toInt(), 25);
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT COUNT(*) FROM \"Quarterly Orders\"")).toInt(), 86);
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT COUNT(*) FROM \"Alphabetical list of products\"")).toInt(), 69);
    // Each line's price is worked out in four-byte reals before it becomes
    // money again; in doubles these totals miss by two or three cents.
    EXPECT_EQ(db().rows(QStringLiteral("SELECT CategoryName, CategorySales FROM \"Category Sales for 1997\" "
                                       "WHERE CategoryName IN ('Beverages', 'Condiments', 'Dairy Products', 'Seafood') "
                                       "ORDER BY CategoryName")),
              (QStringList{"Beverages|102074.31", "Condiments|55277.6", "Dairy Products|114749.78", "Seafood|65544.18"}));
}

TEST_F(NorthwindScript, QelDbLoadsItIntoANewDatabase)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString server = QStringLiteral("sqlite:") + dir.path();
    ASSERT_EQ(runTool({"--server", server, "create", "NW"}).status, 0);
    const ToolOutcome loaded = runTool({"--server", server, "--database", "NW", "script", path_});
    EXPECT_EQ(loaded.status, 0) << loaded.err.toStdString();
    const ToolOutcome count = runTool({"--server", server, "--database", "NW", "query",
                                       "SELECT COUNT(*) FROM [Order Details]"});
    EXPECT_EQ(count.out, QStringLiteral("\n2155\n")) << count.err.toStdString();
}

} // namespace
