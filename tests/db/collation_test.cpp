// The one collation through the whole engine: expressions group and compare
// as columns do, and a database file whose indexes were built under an older
// order of text is rebuilt when it is opened, losing nothing.

#include "support/EmbeddedDb.h"

#include "db/sqlite/SqlServerFunctions.h"

#include <QDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstring>

namespace {

TEST(Collation, ExpressionsGroupAndCompareAsColumnsDo)
{
    EmbeddedDb db;
    EXPECT_EQ(db.rows("select Code from (select 'x' Code union all select 'X ') M group by Code").size(), 1);
    EXPECT_EQ(db.rows("select distinct Code from (select 'ab' Code union all select 'AB') M").size(), 1);
    EXPECT_EQ(db.rows("select 'a' union select 'A  '").size(), 1);
    EXPECT_EQ(db.scalar("select case when 'ขาย' + 'สด' = 'ขายสด  ' then 1 else 0 end"), "1");
    EXPECT_EQ(db.rows("select T from (select 'ขายสด' T union all select 'ขายเชื่อ') M order by T"),
              (QStringList{"ขายเชื่อ", "ขายสด"}));
}

TEST(Collation, PrefixSearchesFindThaiLeadingVowels)
{
    EmbeddedDb db;
    db.exec("CREATE TABLE P (Code varchar(10) NOT NULL PRIMARY KEY, Name nvarchar(40) NOT NULL)\n"
            "CREATE INDEX IX_P_Name ON P (Name)\n"
            "INSERT INTO P VALUES ('A1', N'เกลือ')\nINSERT INTO P VALUES ('A2', N'เก้าอี้')\n"
            "INSERT INTO P VALUES ('A3', N'กาแฟ')\nINSERT INTO P VALUES ('a10', N'ไข่')");
    EXPECT_EQ(db.rows("SELECT Code FROM P WHERE Name LIKE N'เก%' ORDER BY Code"), (QStringList{"A1", "A2"}));
    EXPECT_EQ(db.rows("SELECT Code FROM P WHERE Code LIKE 'a1%' ORDER BY Code"), (QStringList{"A1", "a10"}));
}

// Code point order, as the engine compared text before: the order an old
// file's indexes are sorted by.
int codePointOrder(void*, int lenA, const void* a, int lenB, const void* b)
{
    const int r = std::memcmp(a, b, std::size_t(std::min(lenA, lenB)));
    return r != 0 ? r : lenA - lenB;
}

TEST(Collation, AnOldFileHasItsIndexesRebuiltWhenOpened)
{
    EmbeddedDb db(QStringLiteral("OLDFILE"), QStringLiteral("OLDFILE"));
    db.exec("CREATE TABLE Cust (Id int NOT NULL PRIMARY KEY, Name nvarchar(40) NOT NULL)\n"
            "CREATE INDEX IX_Cust_Name ON Cust (Name)");
    db.connection().close();

    // Rows written and indexed under the old order, by a connection that
    // knows MSSQL as code point order; the file then looks as an older
    // engine left it.
    const QString file = QDir(db.folder()).filePath(QStringLiteral("OLDFILE.sqlite"));
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(file.toUtf8().constData(), &raw), SQLITE_OK);
    sqlite3_create_collation(raw, "MSSQL", SQLITE_UTF8, nullptr, codePointOrder);
    const char* names[] = {"ขายสด", "ขายเชื่อ", "ไก่", "ขา", "กา", "เกลือ", "Zebra", "apple"};
    for (int i = 0; i < 8; ++i) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(raw, "INSERT INTO Cust VALUES (?, ?)", -1, &st, nullptr);
        sqlite3_bind_int(st, 1, i + 1);
        sqlite3_bind_text(st, 2, names[i], -1, SQLITE_STATIC);
        ASSERT_EQ(sqlite3_step(st), SQLITE_DONE);
        sqlite3_finalize(st);
    }
    sqlite3_exec(raw, "REINDEX MSSQL; DELETE FROM qel_collation", nullptr, nullptr, nullptr);
    sqlite3_close(raw);

    // Opening the file rebuilds the index; then every row is found through
    // it (under the old order some lookups would miss).
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM Cust"), "8") << "nothing lost";
    ASSERT_EQ(sqlite3_open(file.toUtf8().constData(), &raw), SQLITE_OK);
    db::sqlite::registerSqlServerFunctions(raw);
    for (const char* name : names) {
        sqlite3_stmt* st = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(raw, "SELECT COUNT(*) FROM Cust INDEXED BY \"Cust.IX_Cust_Name\" WHERE Name = ?",
                                     -1, &st, nullptr),
                  SQLITE_OK)
            << sqlite3_errmsg(raw);
        sqlite3_bind_text(st, 1, name, -1, SQLITE_STATIC);
        ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
        EXPECT_EQ(sqlite3_column_int(st, 0), 1) << name;
        sqlite3_finalize(st);
    }
    sqlite3_stmt* check = nullptr;
    sqlite3_prepare_v2(raw, "PRAGMA integrity_check", -1, &check, nullptr);
    ASSERT_EQ(sqlite3_step(check), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok");
    sqlite3_finalize(check);
    sqlite3_close(raw);
    EXPECT_EQ(db.rows("SELECT Name FROM Cust ORDER BY Name"),
              (QStringList{"apple", "Zebra", "กา", "เกลือ", "ไก่", "ขา", "ขายเชื่อ", "ขายสด"}));
}

} // namespace
