// DECLARE @t TABLE (...) on the embedded engine: a table of SQL Server's
// types for the batch or procedure call that declares it, read and written
// where a table is, out of reach of ROLLBACK, with SQL Server's messages.

#include "support/EmbeddedDb.h"

#include <gtest/gtest.h>

namespace {

const char* const kUndeclared = "Must declare the table variable \"@t\".";

class TableVariables : public ::testing::Test {
protected:
    EmbeddedDb db;
};

TEST_F(TableVariables, HoldRowsOfTheDeclaredTypesUntilTheBatchEnds)
{
    EXPECT_EQ(db.rows("DECLARE @t TABLE (Id int IDENTITY(1,1) PRIMARY KEY, Name nvarchar(20) NOT NULL,\n"
                      "  Price money NOT NULL DEFAULT 0, Qty decimal(9,3) NULL)\n"
                      "INSERT INTO @t (Name, Price, Qty) VALUES (N'ก', 0.1, 1.5), (N'b', 0.2, 2)\n"
                      "INSERT @t (Name) SELECT N'c'\n"
                      "SELECT Id, Name, Price, Qty FROM @t ORDER BY Id"),
              (QStringList{"1|ก|0.1|1.5", "2|b|0.2|2", "3|c|0|<null>"}));
    // Money stays exact through the table; text compares under the one collation.
    EXPECT_EQ(db.scalar("DECLARE @t TABLE (M money)\nINSERT INTO @t VALUES (0.1), (0.2)\n"
                        "SELECT CAST(SUM(M) AS varchar(30)) FROM @t"),
              "0.30");
    EXPECT_EQ(db.rows("DECLARE @t TABLE (Code varchar(5))\nINSERT INTO @t VALUES ('x'), ('X '), (N'ขายสด'), (N'ขายเชื่อ')\n"
                      "SELECT Code, COUNT(*) FROM @t AS c GROUP BY Code ORDER BY Code"),
              (QStringList{"x|2", "ขายเชื่อ|1", "ขายสด|1"}));
    EXPECT_EQ(db.errorOf("SELECT * FROM @t"), kUndeclared) << "the table went with its batch";
}

TEST_F(TableVariables, JoinWithTablesAndAreUpdatedAndDeletedByNameOrAlias)
{
    db.exec("CREATE TABLE Item (Id int NOT NULL PRIMARY KEY, Descr varchar(10) NOT NULL)\n"
            "INSERT INTO Item VALUES (1, 'one'), (2, 'two'), (3, 'three')");
    EXPECT_EQ(db.rows("DECLARE @t TABLE (Id int PRIMARY KEY, Price money)\n"
                      "INSERT INTO @t SELECT Id, Id * 1.25 FROM Item WHERE Id < 3\n"
                      "SELECT i.Descr, t.Price FROM Item i JOIN @t AS t ON t.Id = i.Id ORDER BY i.Id"),
              (QStringList{"one|1.25", "two|2.5"}));
    EXPECT_EQ(db.rows("DECLARE @t TABLE (Id int PRIMARY KEY, Qty int NOT NULL)\n"
                      "INSERT INTO @t VALUES (1, 10), (2, 20), (3, 30)\n"
                      "UPDATE @t SET Qty = Qty + 1 WHERE Id = 1\n"
                      "UPDATE x SET Qty = 0 FROM @t x JOIN Item i ON i.Id = x.Id WHERE i.Descr = 'two'\n"
                      "DELETE FROM @t WHERE Qty = 30\n"
                      "SELECT Id, Qty FROM @t ORDER BY Id"),
              (QStringList{"1|11", "2|0"}));
    EXPECT_EQ(db.scalar("DECLARE @t TABLE (Id int)\nINSERT INTO @t VALUES (1), (2)\n"
                        "DELETE x FROM @t x WHERE x.Id = 2\nDELETE @t WHERE Id = 5\nSELECT COUNT(*) FROM @t"),
              "1");
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM Item"), "3") << "the table read is left alone";
}

TEST_F(TableVariables, EachCallOfAProcedureHasItsOwnAndSeesNoneOfItsCallers)
{
    db.exec("CREATE PROCEDURE Fill @n int AS\n"
            "DECLARE @t TABLE (N int)\n"
            "INSERT INTO @t VALUES (@n)\n"
            "IF @n > 0 BEGIN DECLARE @m int SET @m = @n - 1 EXEC Fill @m END\n"
            "SELECT COUNT(*), MAX(N) FROM @t");
    EXPECT_EQ(db.rows("EXEC Fill 2"), QStringList{"1|2"}) << "the inner calls filled tables of their own";
    EXPECT_EQ(db.rows("DECLARE @t TABLE (N int)\nINSERT INTO @t VALUES (5), (6)\nEXEC Fill 1\n"
                      "SELECT COUNT(*), MAX(N) FROM @t"),
              QStringList{"2|6"}) << "the caller's table came back whole";
    db.exec("CREATE PROCEDURE Peek AS SELECT COUNT(*) FROM @t");
    EXPECT_EQ(db.errorOf("DECLARE @t TABLE (N int)\nEXEC Peek"), kUndeclared);
}

TEST_F(TableVariables, GoWhenTheBatchEndsWithAnError)
{
    EXPECT_FALSE(db.errorOf("DECLARE @t TABLE (N int)\nINSERT INTO @t VALUES (1)\nSELECT 1 / 0").isEmpty());
    EXPECT_EQ(db.errorOf("SELECT * FROM @t"), kUndeclared);
    db.exec("CREATE PROCEDURE Fails AS DECLARE @t TABLE (N int) INSERT INTO @t VALUES (1) SELECT 1 / 0");
    EXPECT_FALSE(db.errorOf("EXEC Fails").isEmpty());
    EXPECT_EQ(db.scalar("DECLARE @t TABLE (N int)\nSELECT COUNT(*) FROM @t"), "0") << "made afresh, empty";
}

TEST_F(TableVariables, KeepTheirRowsThroughRollback)
{
    EXPECT_EQ(db.scalar("DECLARE @t TABLE (N int)\nINSERT INTO @t VALUES (1)\n"
                        "BEGIN TRAN\nINSERT INTO @t VALUES (2)\nROLLBACK\nSELECT COUNT(*) FROM @t"),
              "2");
    // Declared inside the transaction: the ROLLBACK takes neither table nor rows.
    EXPECT_EQ(db.rows("BEGIN TRAN\nDECLARE @t TABLE (N int, M money)\nINSERT INTO @t VALUES (1, 2.5)\n"
                      "SAVE TRAN s\nINSERT INTO @t VALUES (2, 0.1)\nROLLBACK TRAN s\n"
                      "INSERT INTO @t VALUES (3, 1)\nROLLBACK\nSELECT COUNT(*), SUM(M) FROM @t"),
              QStringList{"3|3.6"});
    // Computed columns are worked out again from the rows kept.
    EXPECT_EQ(db.rows("DECLARE @t TABLE (A int, B AS A * 2)\nINSERT INTO @t (A) VALUES (3)\n"
                      "BEGIN TRAN\nINSERT INTO @t (A) VALUES (4)\nROLLBACK\nSELECT A, B FROM @t ORDER BY A"),
              (QStringList{"3|6", "4|8"}));
    // A table whose batch ended inside a transaction is not brought back by its ROLLBACK.
    db.exec("DECLARE @t TABLE (N int)\nINSERT INTO @t VALUES (1)\nBEGIN TRAN");
    db.exec("ROLLBACK");
    EXPECT_EQ(db.errorOf("SELECT * FROM @t"), kUndeclared);
}

TEST_F(TableVariables, DeclaredOnceAndNeverDroppedOrSeenInTheCatalog)
{
    EXPECT_EQ(db.errorOf("DECLARE @t TABLE (N int)\nDECLARE @t TABLE (M int)"),
              "The variable name '@t' has already been declared. Variable names must be unique within a query "
              "batch or stored procedure.");
    // The same DECLARE met again in a loop is the same table, rows and all.
    EXPECT_EQ(db.scalar("DECLARE @i int = 0\nWHILE @i < 3 BEGIN\n  DECLARE @t TABLE (N int)\n"
                        "  INSERT INTO @t VALUES (@i)\n  SET @i = @i + 1\nEND\nSELECT COUNT(*) FROM @t"),
              "3");
    EXPECT_TRUE(db.errorOf("DECLARE @t TABLE (N int)\nDROP TABLE @t").startsWith("Incorrect syntax near '@t'."));
    EXPECT_TRUE(db.errorOf("DECLARE @a int, @t TABLE (N int)").startsWith("Incorrect syntax near"));
    EXPECT_EQ(db.errorOf("INSERT INTO @t VALUES (1)"), kUndeclared);
    EXPECT_EQ(db.rows("DECLARE @t TABLE (N int)\n"
                      "SELECT OBJECT_ID('@t'), (SELECT COUNT(*) FROM sysobjects WHERE name LIKE '@%')"),
              QStringList{"<null>|0"});
}

TEST_F(TableVariables, RefuseRowsTheirConstraintsForbidWithSqlServersWords)
{
    EXPECT_EQ(db.errorOf("DECLARE @t TABLE (N int PRIMARY KEY)\nINSERT INTO @t VALUES (1), (1)"),
              "Violation of PRIMARY KEY constraint 'PK_@t'. Cannot insert duplicate key in object 'dbo.@t'.");
    EXPECT_EQ(db.errorOf("DECLARE @t TABLE (N int NOT NULL)\nINSERT INTO @t VALUES (NULL)"),
              "Cannot insert the value NULL into column 'N', table '@t'; column does not allow nulls. INSERT fails.");
    EXPECT_FALSE(db.errorOf("DECLARE @t TABLE (Name varchar(5) UNIQUE)\nINSERT INTO @t VALUES ('b'), ('B ')").isEmpty());
    EXPECT_FALSE(db.errorOf("DECLARE @t TABLE (Q int CHECK (Q >= 0))\nINSERT INTO @t VALUES (-1)").isEmpty());
}

} // namespace
