// Which errors end only their statement and which end the whole batch, as
// SQL Server decides it; in both cases the error still reaches the caller.

#include "support/EmbeddedDb.h"

#include "db/DbError.h"

#include <gtest/gtest.h>

namespace {

class BatchErrors : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.exec("CREATE TABLE A (Id int NOT NULL PRIMARY KEY, Name varchar(10) NOT NULL)\n"
                "CREATE TABLE B (Id int NOT NULL PRIMARY KEY, A int NULL, CONSTRAINT FK_B_A FOREIGN KEY (A) "
                "REFERENCES A (Id))\n"
                "INSERT INTO A VALUES (1, 'one')");
    }
    EmbeddedDb db{QStringLiteral("X"), QStringLiteral("X")};
};

TEST_F(BatchErrors, ABrokenConstraintEndsOnlyItsStatement)
{
    EXPECT_EQ(db.errorOf("INSERT INTO B VALUES (1, 9)\nINSERT INTO B VALUES (2, 1)"),
              "The INSERT statement conflicted with the FOREIGN KEY constraint \"FK_B_A\". The conflict occurred in "
              "database \"X\", table \"dbo.A\", column 'Id'.");
    EXPECT_EQ(db.rows("SELECT Id FROM B"), QStringList{"2"}) << "the statement after the failing one ran";

    EXPECT_TRUE(db.errorOf("INSERT INTO A VALUES (1, 'again')\nINSERT INTO A VALUES (2, 'two')")
                    .startsWith("Violation of PRIMARY KEY constraint"));
    EXPECT_TRUE(db.errorOf("INSERT INTO A VALUES (3, NULL)\nINSERT INTO A VALUES (4, 'four')")
                    .startsWith("Cannot insert the value NULL into column 'Name'"));
    EXPECT_EQ(db.rows("SELECT Id FROM A ORDER BY Id"), (QStringList{"1", "2", "4"}));
}

TEST_F(BatchErrors, DivisionByZeroEndsItsStatementAndTheFirstErrorIsReported)
{
    EXPECT_EQ(db.errorOf("UPDATE A SET Name = 'x' WHERE Id = 1 / 0\nINSERT INTO A VALUES (5, 'five')\n"
                         "INSERT INTO A VALUES (5, 'dup')"),
              "Divide by zero error encountered.");
    EXPECT_EQ(db.scalar("SELECT Name FROM A WHERE Id = 5"), "five");
}

TEST_F(BatchErrors, AConversionErrorEndsTheBatch)
{
    EXPECT_EQ(db.errorOf("INSERT INTO A VALUES (6, 'six')\nSELECT CAST('abc' AS int)\nINSERT INTO A VALUES (7, 'seven')"),
              "Conversion failed when converting the varchar value 'abc' to data type int.");
    EXPECT_EQ(db.rows("SELECT Id FROM A WHERE Id > 5"), QStringList{"6"}) << "nothing after the conversion ran";
}

TEST_F(BatchErrors, ARowThatFailsWhileTheResultIsReadFailsItsSelectAndSetsAtAtError)
{
    // Rows in the order written: the third fails only once the first two were read.
    db.exec("CREATE TABLE N (I int NOT NULL, S varchar(5) NOT NULL)\nCREATE TABLE Log (Err int NOT NULL)\n"
            "INSERT INTO N VALUES (1, '1')\nINSERT INTO N VALUES (2, '2')\nINSERT INTO N VALUES (0, 'x')");
    const auto readAll = [&](const char* sql) {
        try {
            const auto q = db.open(sql);
            q->last();
        } catch (const db::DbError& e) {
            return e.message();
        }
        return QString();
    };
    EXPECT_EQ(readAll("SELECT 10 / I FROM N"), "Divide by zero error encountered.");
    EXPECT_EQ(db.scalar("SELECT @@ERROR"), "8134");
    EXPECT_EQ(readAll("SELECT CAST(S AS int) FROM N"),
              "Conversion failed when converting the varchar value 'x' to data type int.");
    EXPECT_EQ(db.scalar("SELECT @@ERROR"), "245");

    EXPECT_EQ(db.errorOf("SELECT 10 / I FROM N\nINSERT INTO Log VALUES (@@ERROR)"), "Divide by zero error encountered.");
    EXPECT_EQ(db.errorOf("SELECT CAST(S AS int) FROM N\nINSERT INTO Log VALUES (@@ERROR)"),
              "Conversion failed when converting the varchar value 'x' to data type int.");
    EXPECT_EQ(db.rows("SELECT Err FROM Log"), QStringList{"8134"})
        << "a divide by zero ends its statement, a conversion the batch";
}

TEST_F(BatchErrors, InsideAProcedureTheRestOfTheProcedureRuns)
{
    db.exec("CREATE PROCEDURE AddTwo AS\nINSERT INTO B VALUES (10, 99)\nINSERT INTO B VALUES (11, 1)");
    EXPECT_TRUE(db.errorOf("EXEC AddTwo").contains("\"FK_B_A\""));
    EXPECT_EQ(db.rows("SELECT Id FROM B"), QStringList{"11"});
}

TEST_F(BatchErrors, ADeleteOfAReferencedRowNamesTheReferenceConstraint)
{
    db.exec("INSERT INTO B VALUES (1, 1)");
    EXPECT_EQ(db.errorOf("DELETE FROM A WHERE Id = 1\nINSERT INTO A VALUES (6, 'six')"),
              "The DELETE statement conflicted with the REFERENCE constraint \"FK_B_A\". The conflict occurred in "
              "database \"X\", table \"dbo.B\", column 'A'.");
    EXPECT_EQ(db.rows("SELECT Id FROM A ORDER BY Id"), (QStringList{"1", "6"})) << "it ends only its statement";
    EXPECT_TRUE(db.errorOf("UPDATE A SET Id = 2 WHERE Id = 1")
                    .startsWith("The UPDATE statement conflicted with the REFERENCE constraint \"FK_B_A\"."));
}

} // namespace
