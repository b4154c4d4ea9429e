// BEGIN, COMMIT, ROLLBACK and SAVE TRANSACTION in scripts run on the
// embedded engine, with the counts, messages and undoing SQL Server gives.

#include "support/EmbeddedDb.h"

#include "db/Query.h"

#include <gtest/gtest.h>

namespace {

class Transactions : public ::testing::Test {
protected:
    void SetUp() override { db.exec("CREATE TABLE T (Id int NOT NULL PRIMARY KEY, Name varchar(10) NOT NULL)"); }
    QStringList ids() { return db.rows("SELECT Id FROM T ORDER BY Id"); }
    QString trancount() { return db.scalar("SELECT @@TRANCOUNT"); }
    EmbeddedDb db{QStringLiteral("X"), QStringLiteral("X")};
};

TEST_F(Transactions, CommitKeepsWhatRollbackUndoes)
{
    db.exec("BEGIN TRAN\nINSERT INTO T VALUES (1, 'one')\nCOMMIT TRAN");
    db.exec("BEGIN TRANSACTION\nINSERT INTO T VALUES (2, 'two')\nROLLBACK TRANSACTION");
    db.exec("BEGIN TRAN Load\nINSERT INTO T VALUES (3, 'three')\nROLLBACK TRAN Load");
    db.exec("BEGIN TRAN\nINSERT INTO T VALUES (4, 'four')\nCOMMIT WORK");
    EXPECT_EQ(ids(), (QStringList{"1", "4"}));
    EXPECT_EQ(trancount(), "0");
}

TEST_F(Transactions, NestedBeginsCountAndOnlyTheOutermostCommitCommits)
{
    EXPECT_EQ(db.scalar("BEGIN TRAN\nBEGIN TRAN\nINSERT INTO T VALUES (1, 'one')\nSELECT @@TRANCOUNT"), "2");
    EXPECT_EQ(db.scalar("COMMIT\nSELECT @@TRANCOUNT"), "1");
    // The inner commit committed nothing: the rollback undoes the row.
    EXPECT_EQ(db.scalar("ROLLBACK\nSELECT @@TRANCOUNT"), "0");
    EXPECT_TRUE(ids().isEmpty());
}

TEST_F(Transactions, RollbackToASavepointUndoesBackToItAndKeepsTheCount)
{
    db.exec("BEGIN TRAN\nINSERT INTO T VALUES (1, 'one')\nSAVE TRAN Half\nINSERT INTO T VALUES (2, 'two')\n"
            "SAVE TRANSACTION Late\nINSERT INTO T VALUES (3, 'three')\nROLLBACK TRAN Half");
    EXPECT_EQ(trancount(), "1");
    EXPECT_EQ(ids(), QStringList{"1"});
    // Later savepoints went with it; the one rolled back to is still there.
    EXPECT_EQ(db.errorOf("ROLLBACK TRAN Late"),
              "Cannot roll back Late. No transaction or savepoint of that name was found.");
    db.exec("INSERT INTO T VALUES (4, 'four')\nROLLBACK TRAN Half\nINSERT INTO T VALUES (5, 'five')\nCOMMIT");
    EXPECT_EQ(ids(), (QStringList{"1", "5"}));
    EXPECT_EQ(trancount(), "0");
}

TEST_F(Transactions, WithoutATransactionCommitRollbackAndSaveAreRefusedAsSqlServerRefusesThem)
{
    EXPECT_EQ(db.errorOf("COMMIT TRAN"), "The COMMIT TRANSACTION request has no corresponding BEGIN TRANSACTION.");
    EXPECT_EQ(db.scalar("SELECT @@ERROR"), "3902");
    EXPECT_EQ(db.errorOf("ROLLBACK"), "The ROLLBACK TRANSACTION request has no corresponding BEGIN TRANSACTION.");
    EXPECT_EQ(db.scalar("SELECT @@ERROR"), "3903");
    EXPECT_EQ(db.errorOf("SAVE TRAN S"), "Cannot issue SAVE TRANSACTION when there is no active transaction.");
    // Each ends only itself: the statement after it runs.
    EXPECT_FALSE(db.errorOf("COMMIT\nINSERT INTO T VALUES (1, 'one')").isEmpty());
    EXPECT_EQ(ids(), QStringList{"1"});
    // An inner transaction's name is not one to roll back to.
    EXPECT_EQ(db.errorOf("BEGIN TRAN Whole\nBEGIN TRAN Part\nROLLBACK TRAN Part"),
              "Cannot roll back Part. No transaction or savepoint of that name was found.");
    EXPECT_EQ(db.scalar("ROLLBACK TRAN Whole\nSELECT @@TRANCOUNT"), "0");
}

TEST_F(Transactions, ATransactionStaysOpenAcrossBatchesAndIsRolledBackWhenTheSessionEnds)
{
    db.exec("BEGIN TRAN");
    db.exec("INSERT INTO T VALUES (1, 'one')");
    EXPECT_EQ(trancount(), "1");
    db.exec("COMMIT");
    db.exec("BEGIN TRAN\nINSERT INTO T VALUES (2, 'two')");
    db.connection().close();
    EXPECT_EQ(ids(), QStringList{"1"});
    EXPECT_EQ(trancount(), "0") << "a new session starts without a transaction";
}

TEST_F(Transactions, AProcedureThatChangesTheCountFailsItsExecButKeepsWhatItDid)
{
    db.exec("CREATE PROCEDURE Opens AS\nBEGIN TRAN\nINSERT INTO T VALUES (1, 'one')");
    db.exec("CREATE PROCEDURE Undoes AS\nROLLBACK");
    EXPECT_EQ(db.errorOf("EXEC Opens\nINSERT INTO T VALUES (2, 'two')"),
              "Transaction count after EXECUTE indicates a mismatching number of BEGIN and COMMIT statements. "
              "Previous count = 0, current count = 1.");
    EXPECT_EQ(db.rows("SELECT Id FROM T ORDER BY Id"), (QStringList{"1", "2"})) << "the batch went on";
    EXPECT_EQ(trancount(), "1");
    EXPECT_EQ(db.errorOf("EXEC Undoes"),
              "Transaction count after EXECUTE indicates a mismatching number of BEGIN and COMMIT statements. "
              "Previous count = 1, current count = 0.");
    EXPECT_TRUE(ids().isEmpty()) << "both rows were in the transaction the procedure rolled back";
}

TEST_F(Transactions, SchemaChangesRollBackToo)
{
    db.exec("BEGIN TRAN\nCREATE TABLE Z (A int)\nINSERT INTO Z VALUES (1)\nALTER TABLE T ADD Extra int NULL\n"
            "SELECT A FROM Z\nROLLBACK");
    EXPECT_EQ(db.errorOf("SELECT A FROM Z"), "Invalid object name 'Z'.");
    EXPECT_EQ(db.errorOf("SELECT Extra FROM T"), "Invalid column name 'Extra'.");
    db.exec("CREATE TABLE Z (A int, B int)\nINSERT INTO Z VALUES (1, 2)");
    EXPECT_EQ(db.rows("SELECT A, B FROM Z"), QStringList{"1|2"}) << "the table made again is the new one";
}

TEST_F(Transactions, ConstraintsSwitchedOffInATransactionAreOffInItAndOnAgainAfterItsRollback)
{
    db.exec("CREATE TABLE C (Id int NOT NULL PRIMARY KEY, T int NULL, CONSTRAINT FK_C_T FOREIGN KEY (T) "
            "REFERENCES T (Id))");
    // Switched off inside a transaction they are off for its statements.
    db.exec("BEGIN TRAN\nALTER TABLE C NOCHECK CONSTRAINT ALL\nINSERT INTO C VALUES (1, 9)\nCOMMIT");
    EXPECT_EQ(db.rows("SELECT Id, T FROM C"), QStringList{"1|9"});
    db.exec("DELETE FROM C\nALTER TABLE C CHECK CONSTRAINT ALL");

    db.exec("BEGIN TRAN\nALTER TABLE C NOCHECK CONSTRAINT ALL\nROLLBACK");
    EXPECT_TRUE(db.errorOf("INSERT INTO C VALUES (1, 9)").startsWith(
        "The INSERT statement conflicted with the FOREIGN KEY constraint \"FK_C_T\""));
    db.connection().close();
    EXPECT_TRUE(db.errorOf("INSERT INTO C VALUES (1, 9)").startsWith(
        "The INSERT statement conflicted with the FOREIGN KEY constraint \"FK_C_T\""))
        << "nor did the file keep them off";
}

TEST_F(Transactions, ARowSetStillBeingReadNeitherBlocksACommitNorLosesItsRows)
{
    db.exec("CREATE TABLE D (D int NOT NULL PRIMARY KEY)\n"
            "INSERT INTO D VALUES (0), (1), (2), (3), (4), (5), (6), (7), (8), (9)\n"
            "INSERT INTO T SELECT 100 + A.D * 10 + B.D, 'n' FROM D A, D B");
    db.exec("BEGIN TRAN");
    auto reading = db.open(QStringLiteral("SELECT Id FROM T ORDER BY Id"));
    ASSERT_FALSE(reading->allFetched()) << "the rows must still be being read for this test";
    db.exec("INSERT INTO D VALUES (10)\nCOMMIT");
    EXPECT_EQ(reading->recordCount(), 100);
    db.connection().close();
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM D"), "11") << "the commit reached the file";
}

TEST_F(Transactions, AStatementEndingErrorLeavesTheTransactionOpenAConversionErrorRollsItBack)
{
    EXPECT_TRUE(db.errorOf("BEGIN TRAN\nINSERT INTO T VALUES (1, 'one')\nINSERT INTO T VALUES (1, 'again')\n"
                           "INSERT INTO T VALUES (2, 'two')")
                    .startsWith("Violation of PRIMARY KEY constraint"));
    EXPECT_EQ(trancount(), "1");
    db.exec("COMMIT");
    EXPECT_EQ(ids(), (QStringList{"1", "2"}));

    EXPECT_EQ(db.errorOf("BEGIN TRAN\nINSERT INTO T VALUES (3, 'three')\nSELECT CAST('abc' AS int)\nCOMMIT"),
              "Conversion failed when converting the varchar value 'abc' to data type int.");
    EXPECT_EQ(trancount(), "0");
    EXPECT_EQ(ids(), (QStringList{"1", "2"}));
}

TEST_F(Transactions, WithXactAbortOnAnyErrorRollsBackAndEndsTheBatch)
{
    EXPECT_TRUE(db.errorOf("SET XACT_ABORT ON\nBEGIN TRAN\nINSERT INTO T VALUES (1, 'one')\n"
                           "INSERT INTO T VALUES (1, 'again')\nINSERT INTO T VALUES (2, 'two')\nCOMMIT")
                    .startsWith("Violation of PRIMARY KEY constraint"));
    EXPECT_EQ(trancount(), "0");
    EXPECT_TRUE(ids().isEmpty());
    // Without a transaction the error still ends the batch; OFF brings the default back.
    EXPECT_FALSE(db.errorOf("INSERT INTO T VALUES (1, 'one')\nINSERT INTO T VALUES (1, 'again')\n"
                            "INSERT INTO T VALUES (2, 'two')").isEmpty());
    EXPECT_EQ(ids(), QStringList{"1"});
    EXPECT_FALSE(db.errorOf("SET XACT_ABORT OFF\nINSERT INTO T VALUES (1, 'again')\nINSERT INTO T VALUES (3, 'three')")
                     .isEmpty());
    EXPECT_EQ(ids(), (QStringList{"1", "3"}));
}

} // namespace
