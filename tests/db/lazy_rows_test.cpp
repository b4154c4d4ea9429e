// Results read as they are reached: a query over more rows than one block
// counts, locates and navigates over all of them, and a result left half
// read never hides what changes in the database after it was opened.

#include "support/EmbeddedDb.h"

#include "db/DbError.h"
#include "db/Engine.h"
#include "db/RowStore.h"

#include <QSignalSpy>

#include <functional>
#include <gtest/gtest.h>

namespace {

constexpr int kRows = 1000;  // several blocks of db::Query::kFetchBlock

class LazyRows : public ::testing::Test {
protected:
    void SetUp() override
    {
        static_assert(kRows > 3 * db::Query::kFetchBlock);
        db.exec(QStringLiteral("Create Table N (Id Int Not Null Primary Key, Name NVarChar(20), Price Money)\n"
                               "Create Table Digit (D Int Not Null Primary Key)\n"
                               "Insert Into Digit Values (0), (1), (2), (3), (4), (5), (6), (7), (8), (9)\n"
                               "Insert Into N (Id, Name, Price) Select 1 + A.D + 10 * B.D + 100 * C.D, "
                               "N'สินค้า ' + Convert(NVarChar(4), 1 + A.D + 10 * B.D + 100 * C.D), 10 "
                               "From Digit A, Digit B, Digit C"));
    }

    std::unique_ptr<db::Query> all() { return db.open(QStringLiteral("Select Id, Name, Price From N Order By Id")); }

    EmbeddedDb db;
};

TEST_F(LazyRows, OpeningReadsOneBlockAndTheCountReadsTheRest)
{
    auto q = all();
    EXPECT_EQ(q->fetchedCount(), db::Query::kFetchBlock);
    EXPECT_FALSE(q->allFetched());
    EXPECT_FALSE(q->isEmpty());
    EXPECT_EQ(q->asInteger(QStringLiteral("Id")), 1);

    QSignalSpy fetched(q.get(), &db::Query::rowsFetched);
    EXPECT_EQ(q->recordCount(), kRows);
    EXPECT_TRUE(q->allFetched());
    ASSERT_FALSE(fetched.isEmpty());
    EXPECT_EQ(fetched.first().at(0).toInt(), db::Query::kFetchBlock) << "new rows are announced from where the read ones end";
    EXPECT_EQ(fetched.last().at(1).toInt(), kRows - 1);

    // A result that fits one block is complete at once; an empty one is empty.
    auto few = db.open(QStringLiteral("Select Id From N Where Id <= 3"));
    EXPECT_TRUE(few->allFetched());
    EXPECT_EQ(few->recordCount(), 3);
    auto none = db.open(QStringLiteral("Select Id From N Where Id < 0"));
    EXPECT_TRUE(none->isEmpty());
    EXPECT_TRUE(none->eof());
    EXPECT_EQ(none->recNo(), -1);
}

TEST_F(LazyRows, NavigationLocateAndIndexReachRowsNotReadYet)
{
    auto q = all();
    int seen = 0;
    qint64 previous = 0;
    for (q->first(); !q->eof(); q->next()) {
        const qint64 id = q->asInteger(QStringLiteral("Id"));
        ASSERT_EQ(id, previous + 1) << "rows come once each, in order, across blocks";
        previous = id;
        ++seen;
    }
    EXPECT_EQ(seen, kRows);

    auto located = all();
    ASSERT_TRUE(located->locate(QStringLiteral("Name"), QStringLiteral("สินค้า 900")));
    EXPECT_EQ(located->recNo(), 899);
    EXPECT_EQ(located->asInteger(QStringLiteral("Id")), 900);
    EXPECT_FALSE(located->locate(QStringLiteral("Id"), 5000));
    EXPECT_EQ(located->recNo(), 899) << "a failed locate stays where it was";

    auto indexed = all();
    EXPECT_EQ(indexed->valueAt(700, 0).toInt(), 701);
    EXPECT_FALSE(indexed->valueAt(kRows, 0).isValid());
    indexed->moveTo(kRows - 2);
    EXPECT_EQ(indexed->asInteger(QStringLiteral("Id")), kRows - 1);
    indexed->next();
    indexed->next();
    EXPECT_TRUE(indexed->eof());
    EXPECT_EQ(indexed->asInteger(QStringLiteral("Id")), kRows);

    auto last = all();
    last->last();
    EXPECT_EQ(last->recNo(), kRows - 1);
    last->prior();
    EXPECT_EQ(last->asInteger(QStringLiteral("Id")), kRows - 1);
}

TEST_F(LazyRows, OtherStatementsBetweenReadsNeitherSkipNorRepeatRows)
{
    auto q = all();
    auto other = all();  // a second half-read result on the same session
    q->moveTo(300);
    other->moveTo(500);
    db.exec(QStringLiteral("Update N Set Price = 12 Where Id = 1"));
    EXPECT_EQ(db.scalar(QStringLiteral("Select Count(*) From N")), QStringLiteral("1000"));
    std::vector<qint64> ids;
    for (q->first(); !q->eof(); q->next())
        ids.push_back(q->asInteger(QStringLiteral("Id")));
    ASSERT_EQ(int(ids.size()), kRows);
    for (int i = 0; i < kRows; ++i)
        ASSERT_EQ(ids[size_t(i)], i + 1);
    EXPECT_EQ(other->recordCount(), kRows);
    EXPECT_EQ(other->valueAt(kRows - 1, 0).toInt(), kRows);
}

TEST_F(LazyRows, AHalfReadResultDoesNotHoldBackAnotherSessionsChange)
{
    // A second program on the same database changes a price while this one
    // still has a long result open; the next look-up here sees the price.
    db::Connection second(QStringLiteral("SECONDDB"));
    second.params() = db.connection().params();
    auto list = all();
    ASSERT_FALSE(list->allFetched());
    const QString lookUp = QStringLiteral("Select Price From N Where Id = :Id");
    EXPECT_EQ(db.scalar(lookUp, {{"Id", 7}}), QStringLiteral("10"));

    db::Query change(QStringLiteral("SECONDDB"));
    change.setSql({QStringLiteral("Update N Set Price = 15 Where Id = 7")});
    change.execSql();

    EXPECT_EQ(db.scalar(lookUp, {{"Id", 7}}), QStringLiteral("15"));
    EXPECT_EQ(list->recordCount(), kRows);
    second.close();
}

TEST_F(LazyRows, ErrorsComeFromOpenAndTheSchemaMayChangeUnderAnOpenResult)
{
    db::Query missing(db.alias());
    missing.setSql({QStringLiteral("Select Id From NoSuchTable")});
    try {
        missing.open();
        FAIL() << "opened";
    } catch (const db::DbError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Invalid object name 'NoSuchTable'."));
    }
    EXPECT_FALSE(missing.isOpen());
    db::Query badValue(db.alias());
    badValue.setSql({QStringLiteral("Select Convert(Int, Name) From N")});
    EXPECT_THROW(badValue.open(), db::DbError);
    EXPECT_FALSE(badValue.isOpen());

    auto q = all();
    db.exec(QStringLiteral("Drop Table Digit"));
    db.exec(QStringLiteral("Create Table Later (Id Int)"));
    EXPECT_EQ(q->recordCount(), kRows);

    // A query that outlives its session keeps what it read.
    auto kept = all();
    db.connection().close();
    EXPECT_EQ(kept->recordCount(), db::Query::kFetchBlock);
    EXPECT_EQ(kept->valueAt(0, 0).toInt(), 1);
}

} // namespace

namespace {

// Each value with its type as the program reads it.
QStringList typedCells(const std::function<QVariant(int, int)>& valueAt, int rows, int columns)
{
    QStringList out;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const QVariant v = valueAt(r, c);
            out.append(QStringLiteral("%1:%2:%3").arg(QLatin1String(v.metaType().name())).arg(v.isNull()).arg(
                v.typeId() == QMetaType::QByteArray ? QString::fromLatin1(v.toByteArray().toHex()) : v.toString()));
        }
    }
    return out;
}

} // namespace

// Rows are kept as SQLite gave them and made into values only when read:
// each kind must read back as the batch path (every row copied through
// QtSql's driver) reads it, NULL apart from empty text, a blob with a zero
// byte, Thai text, numbers beyond 32 bits.
TEST(RowStore, ValuesReadBackAsTheWholeBatchReadsThem)
{
    EmbeddedDb db;
    db.exec(QStringLiteral(
        "Create Table K (Id Int Not Null Primary Key, T NVarChar(40) Null, B VarBinary(10) Null, F Float Null, "
        "  G BigInt Null)\n"
        "Insert Into K Values (1, N'ชาเขียว มัทฉะ', 0x00FF10, 1.5, 5000000000), (2, N'', 0x, -0.25, -7), "
        "  (3, NULL, NULL, NULL, NULL), (4, N'O''Brien', 0x41, 0, 0)"));
    const QString sql = QStringLiteral("Select Id, T, B, F, G From K Order By Id");
    auto q = db.open(sql);
    const db::ResultSet whole = db.connection().engine().execute(sql, {});
    ASSERT_EQ(q->recordCount(), 4);
    EXPECT_EQ(typedCells([&](int r, int c) { return q->valueAt(r, c); }, 4, 5),
              typedCells([&](int r, int c) { return whole.rows[size_t(r)][c]; }, 4, 5));
    EXPECT_TRUE(q->valueAt(2, 1).isNull());
    EXPECT_FALSE(q->valueAt(1, 1).isNull()) << "empty text is not NULL";
}

// What the program writes into read rows, and the rows of an in-memory
// table, live beside the read cells: setting twice, deleting a row and
// appending keep every other value where it was.
TEST(RowStore, SetValuesAndInMemoryRowsKeepTheOthersInPlace)
{
    db::RowStore store;
    store.clear(2);
    store.addInteger(1);
    store.addText("หนึ่ง", int(qstrlen("หนึ่ง")));
    store.addInteger(2);
    store.addNull();
    store.addValue(QStringLiteral("three"));
    store.addReal(3.5);
    ASSERT_EQ(store.rowCount(), 3);
    store.setValue(1, 1, QStringLiteral("two"));
    store.setValue(1, 1, QStringLiteral("สอง"));
    store.setValue(2, 0, 33);
    store.removeRow(0);
    store.addEmptyRow();
    ASSERT_EQ(store.rowCount(), 3);
    EXPECT_EQ(typedCells([&](int r, int c) { return store.value(r, c); }, 3, 2),
              (QStringList{"qlonglong:0:2", "QString:0:สอง", "int:0:33", "double:0:3.5", ":1:", ":1:"}));
    store.clear(1);
    EXPECT_TRUE(store.empty());
    // Cleared for the next reading, which reuses the room: only new text.
    store.addText("ab", 2);
    store.addText("", 0);
    EXPECT_EQ(typedCells([&](int r, int c) { return store.value(r, c); }, 2, 1),
              (QStringList{"QString:0:ab", "QString:0:"}));
}
