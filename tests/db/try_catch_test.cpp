// TRY...CATCH, THROW and the ERROR_...() functions in scripts run on the
// embedded engine, answering as SQL Server answers.

#include "support/EmbeddedDb.h"

#include <gtest/gtest.h>

namespace {

class TryCatch : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.exec("CREATE TABLE T (Id int NOT NULL PRIMARY KEY, Name varchar(10) NOT NULL)\n"
                "CREATE TABLE Log (Seq int NOT NULL, Number int NULL, Message nvarchar(400) NULL, Line int NULL, "
                "ProcName nvarchar(128) NULL)");
    }
    QStringList log() { return db.rows("SELECT Seq, Number, Message, Line, ProcName FROM Log ORDER BY Seq"); }
    EmbeddedDb db{QStringLiteral("X"), QStringLiteral("X")};
};

TEST_F(TryCatch, AnErrorInTheTryBlockRunsTheCatchBlockInsteadOfBeingReported)
{
    db.exec("BEGIN TRY\n"
            "  INSERT INTO T VALUES (1, 'one')\n"
            "  SELECT 1 / 0\n"
            "  INSERT INTO T VALUES (2, 'two')\n"
            "END TRY\n"
            "BEGIN CATCH\n"
            "  INSERT INTO Log VALUES (1, ERROR_NUMBER(), ERROR_MESSAGE(), ERROR_LINE(), ERROR_PROCEDURE())\n"
            "  INSERT INTO Log SELECT 2, ERROR_SEVERITY(), NULL, ERROR_STATE(), NULL\n"
            "END CATCH\n"
            "INSERT INTO T VALUES (3, 'three')");
    EXPECT_EQ(log(), (QStringList{"1|8134|Divide by zero error encountered.|3|<null>", "2|16|<null>|1|<null>"}));
    EXPECT_EQ(db.rows("SELECT Id FROM T ORDER BY Id"), (QStringList{"1", "3"}))
        << "the rest of the TRY block is skipped, the batch goes on after the CATCH block";
    EXPECT_EQ(db.rows("SELECT ERROR_NUMBER(), ERROR_MESSAGE(), ERROR_LINE(), XACT_STATE()"),
              QStringList{"<null>|<null>|<null>|0"})
        << "outside a CATCH block there is no error to read";
}

TEST_F(TryCatch, BatchEndingErrorsAreCaughtButASyntaxErrorOfTheBatchIsNot)
{
    EXPECT_EQ(db.scalar("BEGIN TRY SELECT CAST('abc' AS int) END TRY\n"
                        "BEGIN CATCH SELECT ERROR_NUMBER() END CATCH"),
              "245");
    EXPECT_EQ(db.scalar("BEGIN TRY SELECT Nothing FROM Missing END TRY BEGIN CATCH SELECT ERROR_MESSAGE() END CATCH"),
              "Invalid object name 'Missing'.");
    EXPECT_TRUE(db.errorOf("BEGIN TRY SELECT FROM END TRY BEGIN CATCH SELECT 1 END CATCH")
                    .startsWith("Incorrect syntax near"));
    // A CATCH block must follow its TRY block at once.
    EXPECT_TRUE(db.errorOf("BEGIN TRY SELECT 1 END TRY SELECT 2").startsWith("Incorrect syntax near"));
}

TEST_F(TryCatch, ThrowRaisesItsErrorAndABareThrowPassesTheCaughtOneOn)
{
    EXPECT_EQ(db.errorOf("INSERT INTO T VALUES (1, 'one');\nTHROW 51000, 'The stock is short.', 2;\n"
                         "INSERT INTO T VALUES (2, 'two')"),
              "The stock is short.");
    EXPECT_EQ(db.scalar("SELECT @@ERROR"), "51000");
    EXPECT_EQ(db.rows("SELECT Id FROM T"), QStringList{"1"}) << "THROW ends the batch";

    db.exec("BEGIN TRY\n"
            "  BEGIN TRY\n"
            "    INSERT INTO T VALUES (1, 'again')\n"
            "  END TRY\n"
            "  BEGIN CATCH\n"
            "    INSERT INTO Log VALUES (1, ERROR_NUMBER(), NULL, NULL, NULL);\n"
            "    THROW\n"
            "  END CATCH\n"
            "END TRY\n"
            "BEGIN CATCH\n"
            "  INSERT INTO Log VALUES (2, ERROR_NUMBER(), LEFT(ERROR_MESSAGE(), 35), ERROR_LINE(), NULL)\n"
            "END CATCH");
    EXPECT_EQ(log(), (QStringList{"1|2627|<null>|<null>|<null>", "2|2627|Violation of PRIMARY KEY constraint|3|<null>"}));

    EXPECT_EQ(db.errorOf("BEGIN TRY SELECT 1 / 0 END TRY BEGIN CATCH THROW; END CATCH"),
              "Divide by zero error encountered.");
    EXPECT_EQ(db.errorOf("THROW"), "To rethrow an error, a THROW statement must be used inside a CATCH block.");
    EXPECT_EQ(db.errorOf("THROW 50, 'low', 1"), "Error number 50 in the THROW statement is outside the valid range. "
                                                 "Specify an error number in the valid range of 50000 to 2147483647.");
}

TEST_F(TryCatch, RaiserrorFromSeverityElevenIsAnErrorThatEndsOnlyItsStatement)
{
    EXPECT_EQ(db.errorOf("RAISERROR('Product %s has %d left (%5.2s|%-4d|%04d|%x|%%|%s)', 16, 1, N'A1', -7, 'xyz', 3, 42, "
                         "255)\nINSERT INTO T VALUES (1, 'one')"),
              "Product A1 has -7 left (   xy|3   |0042|ff|%|(null))");
    EXPECT_EQ(db.rows("SELECT Id FROM T"), QStringList{"1"}) << "the batch went on";

    db.exec("BEGIN TRY RAISERROR('info only', 10, 1) END TRY BEGIN CATCH INSERT INTO Log VALUES (1, 0, NULL, NULL, NULL) "
            "END CATCH\n"
            "BEGIN TRY RAISERROR('Short of %s', 16, 4, 'stock') END TRY\n"
            "BEGIN CATCH INSERT INTO Log SELECT 2, ERROR_NUMBER(), ERROR_MESSAGE(), ERROR_STATE(), ERROR_SEVERITY() END CATCH");
    EXPECT_EQ(log(), QStringList{"2|50000|Short of stock|4|16"});

    // XACT_ABORT leaves RAISERROR's errors alone.
    EXPECT_FALSE(db.errorOf("SET XACT_ABORT ON\nBEGIN TRAN\nINSERT INTO T VALUES (2, 'two')\n"
                            "RAISERROR('careful', 16, 1)\nCOMMIT").isEmpty());
    EXPECT_EQ(db.scalar("SET XACT_ABORT OFF\nSELECT @@TRANCOUNT"), "0");
    EXPECT_EQ(db.rows("SELECT Id FROM T ORDER BY Id"), (QStringList{"1", "2"}));
}

TEST_F(TryCatch, InsideProceduresAndLoopsEachCatchHandlesItsOwnError)
{
    db.exec("CREATE PROCEDURE AddRow @Id int AS\n"
            "INSERT INTO T VALUES (@Id, 'row')");
    db.exec("CREATE PROCEDURE AddRows AS\n"
            "DECLARE @i int = 0\n"
            "WHILE @i < 4\n"
            "BEGIN\n"
            "  SET @i = @i + 1\n"
            "  BEGIN TRY\n"
            "    EXEC AddRow @i % 2\n"
            "  END TRY\n"
            "  BEGIN CATCH\n"
            "    INSERT INTO Log VALUES (@i, ERROR_NUMBER(), NULL, ERROR_LINE(), ERROR_PROCEDURE())\n"
            "  END CATCH\n"
            "END");
    db.exec("EXEC AddRows");
    EXPECT_EQ(db.rows("SELECT Id FROM T ORDER BY Id"), (QStringList{"0", "1"}));
    EXPECT_EQ(log(), (QStringList{"3|2627|<null>|2|AddRow", "4|2627|<null>|2|AddRow"}))
        << "the error is placed in the procedure that raised it";
}

TEST_F(TryCatch, XactStateTellsWhetherTheTransactionCanStillCommit)
{
    // A constraint error leaves the transaction able to commit.
    EXPECT_EQ(db.scalar("BEGIN TRAN\nINSERT INTO T VALUES (1, 'one')\n"
                        "BEGIN TRY INSERT INTO T VALUES (1, 'again') END TRY\n"
                        "BEGIN CATCH SELECT XACT_STATE() END CATCH"),
              "1");
    db.exec("COMMIT");
    EXPECT_EQ(db.rows("SELECT Id FROM T"), QStringList{"1"});

    // Under XACT_ABORT it can only roll back: a write is refused, and under
    // XACT_ABORT that refusal rolls back and ends the batch.
    EXPECT_EQ(db.errorOf("SET XACT_ABORT ON\nBEGIN TRAN\nINSERT INTO T VALUES (2, 'two')\n"
                         "BEGIN TRY INSERT INTO T VALUES (1, 'again') END TRY\n"
                         "BEGIN CATCH\n"
                         "  IF XACT_STATE() = -1 INSERT INTO Log VALUES (1, NULL, NULL, NULL, NULL)\n"
                         "END CATCH"),
              "The current transaction cannot be committed and cannot support operations that write to the log "
              "file. Roll back the transaction.");
    EXPECT_EQ(db.scalar("SELECT @@TRANCOUNT"), "0");
    // Left so at the end of the batch, it is rolled back and said so.
    EXPECT_EQ(db.errorOf("SET XACT_ABORT ON\nBEGIN TRAN\nINSERT INTO T VALUES (2, 'two')\n"
                         "BEGIN TRY INSERT INTO T VALUES (1, 'again') END TRY\n"
                         "BEGIN CATCH SELECT XACT_STATE() END CATCH"),
              "Uncommittable transaction is detected at the end of the batch. The transaction is rolled back.");
    EXPECT_EQ(db.scalar("SELECT @@TRANCOUNT"), "0");
    EXPECT_EQ(db.rows("SELECT Id FROM T"), QStringList{"1"});
    EXPECT_TRUE(log().isEmpty());
    db.exec("SET XACT_ABORT OFF");

    // Rolled back in the CATCH block, as a script should.
    db.exec("BEGIN TRAN\nINSERT INTO T VALUES (3, 'three')\n"
            "BEGIN TRY SELECT CAST('abc' AS int) END TRY\n"
            "BEGIN CATCH IF XACT_STATE() <> 0 ROLLBACK END CATCH\n"
            "INSERT INTO T VALUES (4, 'four')");
    EXPECT_EQ(db.rows("SELECT Id FROM T ORDER BY Id"), (QStringList{"1", "4"}));
}

} // namespace
