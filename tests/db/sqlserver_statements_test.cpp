// Statements old SQL Server scripts use, on the embedded engine: constraints
// switched off and on, SET ROWCOUNT, OBJECT_ID with sysobjects, binary
// literals, text given where a procedure wants a datetime, common table
// expressions and rows of VALUES.

#include "support/EmbeddedDb.h"

#include "db/DbError.h"

#include <gtest/gtest.h>

namespace {

TEST(SqlServerStatements, NocheckConstraintLetsRowsInUntilCheckConstraint)
{
    EmbeddedDb db;
    db.exec("CREATE TABLE Parent (Id int NOT NULL PRIMARY KEY)\n"
            "CREATE TABLE Child (Id int NOT NULL PRIMARY KEY, Parent int NULL, Qty int NULL,\n"
            "  CONSTRAINT FK_Child_Parent FOREIGN KEY (Parent) REFERENCES Parent (Id),\n"
            "  CONSTRAINT CK_Qty CHECK (Qty > 0))");
    EXPECT_FALSE(db.errorOf("INSERT INTO Child VALUES (1, 7, 1)").isEmpty());
    db.exec("ALTER TABLE Child NOCHECK CONSTRAINT ALL");
    db.exec("INSERT INTO Child VALUES (1, 7, 1)\nINSERT INTO Child VALUES (2, NULL, -1)");
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM Child"), "2");
    db.exec("ALTER TABLE \"dbo\".\"Child\" CHECK CONSTRAINT ALL");
    EXPECT_TRUE(db.errorOf("INSERT INTO Child VALUES (3, 8, 1)").contains("FOREIGN KEY constraint \"FK_Child_Parent\""));
    EXPECT_FALSE(db.errorOf("INSERT INTO Child VALUES (4, NULL, 0)").isEmpty()) << "the check is back too";

    // One named constraint switched off and on again.
    db.exec("ALTER TABLE Child NOCHECK CONSTRAINT FK_Child_Parent");
    db.exec("INSERT INTO Child VALUES (5, 9, 1)");
    db.exec("ALTER TABLE Child CHECK CONSTRAINT FK_Child_Parent");
    EXPECT_FALSE(db.errorOf("INSERT INTO Child VALUES (6, 9, 1)").isEmpty());
    EXPECT_EQ(db.errorOf("ALTER TABLE Nowhere NOCHECK CONSTRAINT ALL"),
              "Cannot find the object \"Nowhere\" because it does not exist or you do not have permissions.");
}

TEST(SqlServerStatements, SetRowcountLimitsSelectsInsertsUpdatesAndDeletesAndEndsWithTheProcedure)
{
    EmbeddedDb db;
    db.exec("CREATE TABLE N (V int NOT NULL)\nINSERT INTO N VALUES (3)\nINSERT INTO N VALUES (1)\n"
            "INSERT INTO N VALUES (2)");
    EXPECT_EQ(db.rows("SET ROWCOUNT 2\nSELECT V FROM N ORDER BY V"), (QStringList{"1", "2"}));
    EXPECT_EQ(db.rows("SELECT V FROM N ORDER BY V").size(), 2) << "the session keeps it";
    EXPECT_EQ(db.rows("SET ROWCOUNT 0\nSELECT V FROM N").size(), 3);

    db.exec("CREATE PROCEDURE TopOne AS\nSET ROWCOUNT 1\nSELECT V FROM N ORDER BY V DESC");
    EXPECT_EQ(db.rows("EXEC TopOne"), QStringList{"3"});
    EXPECT_EQ(db.rows("SELECT V FROM N").size(), 3) << "a procedure's SET ROWCOUNT ends with it";

    // Updates and deletes stop after so many rows too: the old way of
    // taking away one of two twins.
    db.exec("INSERT INTO N VALUES (2)\nSET ROWCOUNT 1\nDELETE FROM N WHERE V = 2\nUPDATE N SET V = 7 WHERE V > 0\n"
            "SET ROWCOUNT 0");
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM N WHERE V = 2"), "1");
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM N WHERE V = 7"), "1");
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM N"), "3");

    // INSERT ... SELECT takes the first rows of its SELECT, in its order; SET ROWCOUNT 0 ends it.
    db.exec("CREATE TABLE Copy (V int NOT NULL, M money NULL)");
    db.exec("SET ROWCOUNT 2\nINSERT INTO Copy (V) SELECT V FROM N ORDER BY V DESC\n"
            "INSERT INTO Copy (V, M) SELECT 9, 1.23456 UNION ALL SELECT 9, 2\nSET ROWCOUNT 0");
    EXPECT_EQ(db.rows("SELECT V, M FROM Copy ORDER BY V, M"),
              (QStringList{"2|<null>", "7|<null>", "9|1.2346", "9|2"}))
        << "a UNION is limited as a whole; money still rounds";
    db.exec("SET ROWCOUNT 1\nINSERT INTO Copy (V) SELECT V FROM N\nSET ROWCOUNT 0\nINSERT INTO Copy (V) SELECT V FROM N");
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM Copy"), "8");
}

TEST(SqlServerStatements, ObjectIdAndSysobjectsAsOldScriptsTestThem)
{
    EmbeddedDb db;
    db.exec("CREATE TABLE \"Order Details\" (Id int NOT NULL)\nCREATE VIEW V1 AS SELECT Id FROM \"Order Details\"");
    db.exec("CREATE PROCEDURE P1 AS SELECT 1");
    const QString table = db.scalar("SELECT id FROM sysobjects WHERE name = 'Order Details'");
    ASSERT_FALSE(table.isEmpty());
    EXPECT_EQ(db.scalar("SELECT OBJECT_ID('dbo.Order Details')"), table);
    EXPECT_EQ(db.scalar("SELECT OBJECT_ID('[dbo].[Order Details]')"), table);
    EXPECT_EQ(db.scalar("SELECT OBJECT_ID('Nothing')"), "");
    EXPECT_EQ(db.scalar("SELECT OBJECT_ID('V1', 'U')"), "") << "a view is not a user table";
    EXPECT_EQ(db.rows("SELECT name, sysstat & 0xf FROM sysobjects WHERE name IN ('Order Details', 'V1', 'P1') "
                      "ORDER BY name"),
              (QStringList{"Order Details|3", "P1|4", "V1|2"}));
    db.exec("if exists (select * from sysobjects where id = object_id('dbo.V1') and sysstat & 0xf = 2)\n"
            "  drop view \"dbo\".\"V1\"");
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM sysobjects WHERE name = 'V1'"), "0");
}

TEST(SqlServerStatements, BinaryLiteralsGoIntoImageColumns)
{
    EmbeddedDb db;
    db.exec("CREATE TABLE Pic (Id int NOT NULL, Picture image NULL)\nINSERT INTO Pic VALUES (1, 0x0A0b1C)\n"
            "INSERT INTO Pic VALUES (2, 0xF)");
    auto q = db.open("SELECT Picture, DATALENGTH(Picture) FROM Pic ORDER BY Id");
    ASSERT_EQ(q->recordCount(), 2);
    EXPECT_EQ(q->valueAt(0, 0).toByteArray(), QByteArray::fromHex("0a0b1c"));
    EXPECT_EQ(q->valueAt(0, 1).toInt(), 3);
    EXPECT_EQ(q->valueAt(1, 0).toByteArray(), QByteArray::fromHex("0f")) << "an odd digit count takes a leading zero";
    EXPECT_EQ(db.scalar("SELECT 0x1F & 6"), "6");
}

TEST(SqlServerStatements, ProcedureDatetimeParametersReadTextAsDates)
{
    EmbeddedDb db;
    db.exec("CREATE TABLE Ord (Id int NOT NULL, Shipped datetime NULL)\n"
            "INSERT INTO Ord VALUES (1, '19970105')\nINSERT INTO Ord VALUES (2, '1997-02-01 10:00')\n"
            "INSERT INTO Ord VALUES (3, '19980101')");
    db.exec("CREATE PROCEDURE Shipped @From datetime, @To datetime AS\n"
            "SELECT Id FROM Ord WHERE Shipped BETWEEN @From AND @To ORDER BY Id");
    EXPECT_EQ(db.rows("EXEC Shipped '19970101', '19971231'"), (QStringList{"1", "2"}));
    EXPECT_EQ(db.rows("EXEC Shipped @From = '01/01/1998', @To = '1998-12-31'"), QStringList{"3"});
    EXPECT_EQ(db.errorOf("EXEC Shipped 'soon', '19971231'"),
              "Conversion failed when converting date and/or time from character string.");
}

TEST(SqlServerStatements, CharVariablesAndColumnsAreBlankPadded)
{
    EmbeddedDb db;
    EXPECT_EQ(db.scalar("DECLARE @c char(5)\nSET @c = 'ab'\nSELECT '[' + @c + ']'"), "[ab   ]");
    EXPECT_EQ(db.scalar("DECLARE @v varchar(5)\nSET @v = 'ab'\nSELECT '[' + @v + ']'"), "[ab]");

    db.exec("CREATE TABLE C (Id int NOT NULL, Code char(5) NULL, Thai nchar(3) NULL, Flag char(1) NULL, V varchar(5) NULL)\n"
            "INSERT INTO C VALUES (1, 'ab', N'ก', '', 'ab')\nINSERT INTO C SELECT 2, 'abcde', NULL, 'Y', 'cd'\n"
            "UPDATE C SET Code = 'x' WHERE Id = 2");
    EXPECT_EQ(db.rows("SELECT Id, '[' + Code + ']', '[' + Thai + ']', '[' + Flag + ']', '[' + V + ']' FROM C ORDER BY Id"),
              (QStringList{"1|[ab   ]|[ก  ]|[ ]|[ab]", "2|[x    ]|<null>|[Y]|[cd]"}))
        << "padded to characters, not bytes; NULL stays NULL";
    EXPECT_EQ(db.scalar("SELECT Id FROM C WHERE Code = 'ab' AND Flag = ''"), "1") << "trailing blanks still do not count";
}

TEST(SqlServerStatements, DatalengthCountsTwoBytesForUnicodeText)
{
    EmbeddedDb db;
    db.exec("CREATE TABLE T (V varchar(10) NULL, N nvarchar(10) NULL, C nchar(4) NULL)\n"
            "INSERT INTO T VALUES ('ราคา', N'ราคา', N'ab')");
    EXPECT_EQ(db.rows("SELECT DATALENGTH(V), DATALENGTH(N), DATALENGTH(C) FROM T"), QStringList{"4|8|8"})
        << "nchar(4) holds four characters, blank-padded";
    EXPECT_EQ(db.scalar("DECLARE @n nvarchar(10)\nSET @n = N'abc'\nSELECT DATALENGTH(@n)"), "6");
    EXPECT_EQ(db.scalar("SELECT DATALENGTH(CAST('abc' AS nvarchar(10)))"), "6");
    EXPECT_EQ(db.scalar("SELECT DATALENGTH(CAST(NULL AS nvarchar(10)))"), "");

    // A literal keeps its N: N'ab' is nvarchar, and so is what it joins or passes through.
    EXPECT_EQ(db.rows("SELECT DATALENGTH(N'ab'), DATALENGTH('ab'), DATALENGTH(N'ราคา'), DATALENGTH('ราคา')"),
              QStringList{"4|2|8|4"});
    EXPECT_EQ(db.rows("SELECT DATALENGTH(N'ab' + 'c'), DATALENGTH('ab' + 'c'), DATALENGTH(UPPER(N'ab')), "
                      "DATALENGTH(CASE WHEN 1 = 1 THEN N'ab' END)"),
              QStringList{"6|3|4|4"});
    EXPECT_EQ(db.scalar("SELECT DATALENGTH(x) FROM (SELECT N'ab' x UNION ALL SELECT 'cd') t WHERE x = 'cd'"), "4")
        << "a UNION with an nvarchar block is nvarchar";
}

TEST(SqlServerStatements, SubstringRefusesNumbersAndDatesByTheirTypes)
{
    EmbeddedDb db;
    db.exec("CREATE TABLE T (D decimal(9,2) NULL, M money NULL, At datetime NULL, Day date NULL)");
    const auto refused = [](const char* type) {
        return QStringLiteral("Argument data type %1 is invalid for argument 1 of substring function.").arg(type);
    };
    EXPECT_EQ(db.errorOf("SELECT SUBSTRING(1.5, 1, 2)"), refused("numeric"));
    EXPECT_EQ(db.errorOf("SELECT SUBSTRING(D, 1, 2) FROM T"), refused("decimal"));
    EXPECT_EQ(db.errorOf("SELECT SUBSTRING(M, 1, 2) FROM T"), refused("money"));
    EXPECT_EQ(db.errorOf("SELECT SUBSTRING(At, 1, 2) FROM T"), refused("datetime"));
    EXPECT_EQ(db.errorOf("SELECT SUBSTRING(Day, 1, 2) FROM T"), refused("date"));
    EXPECT_EQ(db.errorOf("SELECT SUBSTRING(GETDATE(), 1, 2)"), refused("datetime"));
    EXPECT_EQ(db.scalar("SELECT SUBSTRING(CONVERT(varchar(20), M), 1, 2) FROM T"), "") << "converted first, it is text";
}

TEST(SqlServerStatements, ComputedColumnsAreWorkedOutWhenRead)
{
    EmbeddedDb db;
    db.exec("CREATE TABLE Line (Qty int NOT NULL, Price money NOT NULL, Total AS Qty * Price PERSISTED)\n"
            "INSERT INTO Line VALUES (3, 1.1)\nINSERT INTO Line (Qty, Price) VALUES (2, 0.05)");
    EXPECT_EQ(db.rows("SELECT Total FROM Line ORDER BY Qty"), (QStringList{"0.1", "3.3"}));
    db.exec("UPDATE Line SET Qty = 4 WHERE Qty = 2");
    EXPECT_EQ(db.scalar("SELECT SUM(Total) FROM Line"), "3.5");
}

TEST(SqlServerStatements, DateIsWrittenWithoutATimeAndTakesNoHours)
{
    EmbeddedDb db;
    EXPECT_EQ(db.scalar("SELECT CAST(CAST('2017-08-25' AS date) AS varchar(30))"), "2017-08-25");
    db.exec("CREATE TABLE D (Day date NOT NULL)\nINSERT INTO D VALUES ('20170825')");
    EXPECT_EQ(db.scalar("SELECT CONVERT(varchar(20), Day) FROM D"), "2017-08-25");
    EXPECT_EQ(db.errorOf("SELECT DATEADD(hour, 1, Day) FROM D"),
              "The datepart hour is not supported by date function dateadd for data type date.");
    EXPECT_EQ(db.errorOf("SELECT DATEADD(day, 1, Day) FROM D"), "");
}

TEST(SqlServerStatements, ADateKeepsNoTimeOfDayWhereverItIsHeld)
{
    EmbeddedDb db;
    db.exec("CREATE TABLE D (Id int NOT NULL, Day date NULL, At datetime NULL)\n"
            "INSERT INTO D VALUES (1, '2017-08-25 13:10', '2017-08-25 13:10')\n"
            "INSERT INTO D (Id, Day) SELECT 2, CAST('2017-08-26 09:00' AS datetime)\n"
            "INSERT INTO D (Id) VALUES (3)\nUPDATE D SET Day = '2017-08-27 23:59' WHERE Id = 3");
    EXPECT_EQ(db.rows("SELECT Id, CONVERT(varchar(30), Day, 120) FROM D ORDER BY Id"),
              (QStringList{"1|2017-08-25", "2|2017-08-26", "3|2017-08-27"}));
    EXPECT_EQ(db.scalar("DECLARE @d date\nSET @d = '2017-08-25 13:10'\nSELECT CONVERT(varchar(30), @d)"), "2017-08-25");
    EXPECT_EQ(db.scalar("SELECT CONVERT(varchar(30), CAST('2017-08-25 13:10' AS date), 100)"), "Aug 25 2017");
    EXPECT_EQ(db.scalar("SELECT CONVERT(varchar(30), CAST('2017-08-25' AS date), 103)"), "25/08/2017");
    EXPECT_EQ(db.scalar("SELECT CONVERT(varchar(30), DATEADD(month, 1, Day), 121) FROM D WHERE Id = 1"), "2017-09-25")
        << "DATEADD of a date is a date";
    // Against a datetime the date is its midnight.
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM D WHERE Day = CAST('2017-08-25 00:00' AS datetime)"), "1");
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM D WHERE Day < At"), "1");
    EXPECT_EQ(db.scalar("SELECT CONVERT(varchar(10), CAST('0500-01-01' AS date), 23)"), "0500-01-01")
        << "a date reaches back before 1753";
}

TEST(SqlServerStatements, SetDateformatReadsTextForTheRestOfTheSession)
{
    EmbeddedDb db;
    db.exec("CREATE TABLE Ord (Id int NOT NULL, Shipped datetime NULL)");
    db.exec("CREATE PROCEDURE ShippedOn @Day datetime AS SELECT Id FROM Ord WHERE Shipped = @Day");
    db.exec("Set DateFormat mdy\nINSERT INTO Ord VALUES (1, '02/03/2024')");
    db.exec("SET DATEFORMAT dmy\nINSERT INTO Ord VALUES (2, '02/03/2024')");
    EXPECT_EQ(db.rows("SELECT Id, CONVERT(varchar(10), Shipped, 120) FROM Ord ORDER BY Id"),
              (QStringList{"1|2024-02-03", "2|2024-03-02"}));
    EXPECT_EQ(db.scalar("SELECT Id FROM Ord WHERE Shipped = '02/03/2024'"), "2") << "the session still reads dmy";
    EXPECT_EQ(db.rows("EXEC ShippedOn '02/03/2024'"), QStringList{"2"});
    EXPECT_EQ(db.rows("EXEC ShippedOn '20240203'"), QStringList{"1"}) << "yyyymmdd reads the same in any order";
    EXPECT_EQ(db.scalar("SELECT DATEPART(month, CAST('13/01/2024' AS datetime))"), "1");
    EXPECT_EQ(db.scalar("SELECT CONVERT(varchar(10), CONVERT(datetime, '02/03/2024', 101), 120)"), "2024-02-03")
        << "a style names its own order";
    db.exec("SET DATEFORMAT mdy");
    EXPECT_EQ(db.scalar("SELECT Id FROM Ord WHERE Shipped = '02/03/2024'"), "1");
    EXPECT_EQ(db.errorOf("SELECT CAST('13/01/2024' AS datetime)"),
              "The conversion of a varchar data type to a datetime data type resulted in an out-of-range value.");
    EXPECT_EQ(db.errorOf("SET DATEFORMAT xyz"), "SET DATEFORMAT date order 'xyz' is invalid.");
}

TEST(SqlServerStatements, EveryDateformatReadsThreeNumbersInItsOwnOrder)
{
    // A four-digit number is the year wherever it stands; without one the
    // year stands where the order puts it. The other two are read as day and
    // month in the order's sense. "" is out of range.
    struct Case {
        const char* order;
        const char* text;
        const char* day;
    };
    const Case cases[] = {
        {"mdy", "08/25/2017", "2017-08-25"}, {"mdy", "25/08/2017", ""},           {"mdy", "08/25/17", "2017-08-25"},
        {"mdy", "2017/08/25", "2017-08-25"}, {"mdy", "17/08/25", ""},
        {"dmy", "25/08/2017", "2017-08-25"}, {"dmy", "08/25/2017", ""},           {"dmy", "25/08/17", "2017-08-25"},
        {"dmy", "2017/25/08", "2017-08-25"}, {"dmy", "17/25/08", ""},
        {"ymd", "17/08/25", "2017-08-25"},   {"ymd", "2017/08/25", "2017-08-25"}, {"ymd", "25/08/17", "2025-08-17"},
        {"ydm", "17/25/08", "2017-08-25"},   {"ydm", "2017/25/08", "2017-08-25"}, {"ydm", "17/08/25", ""},
        {"myd", "08/17/25", "2017-08-25"},   {"myd", "08/2017/25", "2017-08-25"}, {"myd", "25/17/08", ""},
        {"dym", "25/17/08", "2017-08-25"},   {"dym", "25/2017/08", "2017-08-25"}, {"dym", "08/17/25", ""},
    };
    EmbeddedDb db;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.order) + " " + c.text);
        db.exec(QStringLiteral("SET DATEFORMAT %1").arg(c.order));
        const QString sql = QStringLiteral("SELECT CONVERT(varchar(10), CAST('%1' AS datetime), 120)").arg(c.text);
        if (*c.day)
            EXPECT_EQ(db.scalar(sql), c.day);
        else
            EXPECT_EQ(db.errorOf(sql),
                      "The conversion of a varchar data type to a datetime data type resulted in an out-of-range value.");
    }
}

TEST(SqlServerStatements, DateReadsYearFirstTextAsWrittenAndDatetimeInTheSessionsOrder)
{
    EmbeddedDb db;
    db.exec("CREATE TABLE Ord (Id int NOT NULL, Due date NULL, Shipped datetime NULL)");
    db.exec("SET DATEFORMAT dmy\nINSERT INTO Ord VALUES (1, '2017-02-03', '2017-02-03')\n"
            "INSERT INTO Ord (Id, Due, Shipped) SELECT 2, CAST('2017-02-04' AS date), CAST('2017-02-04' AS datetime)\n"
            "INSERT INTO Ord VALUES (3, '2017-02-05T10:00:00', '2017-02-05T10:00:00')");
    EXPECT_EQ(db.rows("SELECT Id, CONVERT(varchar(10), Due, 120), CONVERT(varchar(10), Shipped, 120) FROM Ord ORDER BY Id"),
              (QStringList{"1|2017-02-03|2017-03-02", "2|2017-02-04|2017-04-02", "3|2017-02-05|2017-02-05"}))
        << "under dmy datetime reads yyyy-dd-mm, but not ISO 8601 with its T";
    EXPECT_EQ(db.scalar("SELECT Id FROM Ord WHERE Shipped = '2017-02-03' AND Due = '2017-02-03'"), "1");
    EXPECT_EQ(db.scalar("DECLARE @d datetime\nSET @d = '2017-02-04'\nSELECT CONVERT(varchar(10), @d, 120)"),
              "2017-04-02");
    EXPECT_EQ(db.scalar("SELECT CONVERT(varchar(10), CAST('20170203' AS datetime), 120)"), "2017-02-03")
        << "yyyymmdd reads the same in every order";
    db.exec("SET DATEFORMAT ydm");
    EXPECT_EQ(db.errorOf("SELECT CAST('2017-08-25' AS datetime)"),
              "The conversion of a varchar data type to a datetime data type resulted in an out-of-range value.");
    EXPECT_EQ(db.scalar("SELECT CONVERT(varchar(10), CAST('2017-08-25' AS date), 120)"), "2017-08-25");
    db.exec("SET DATEFORMAT mdy");
    EXPECT_EQ(db.scalar("SELECT CONVERT(varchar(10), CAST('2017-08-25' AS datetime), 120)"), "2017-08-25");
}

TEST(SqlServerStatements, AtAtErrorGivesTheLastStatementsErrorNumber)
{
    EmbeddedDb db;
    db.exec("CREATE TABLE P (Id int NOT NULL PRIMARY KEY)\nCREATE TABLE Log (Step int NOT NULL, Err int NOT NULL)");
    EXPECT_EQ(db.scalar("SELECT @@ERROR"), "0");
    // The batch reports its first error; the rows show what @@ERROR said in it.
    EXPECT_FALSE(db.errorOf("INSERT INTO P VALUES (1)\nINSERT INTO Log VALUES (1, @@ERROR)\n"
                            "INSERT INTO P VALUES (1)\nINSERT INTO Log VALUES (2, @@ERROR)\n"
                            "INSERT INTO P VALUES (NULL)\nINSERT INTO Log VALUES (3, @@ERROR)\n"
                            "SELECT 1 / 0\nINSERT INTO Log VALUES (4, @@ERROR)\n"
                            "INSERT INTO Log VALUES (5, @@ERROR)")
                     .isEmpty());
    EXPECT_EQ(db.rows("SELECT Step, Err FROM Log ORDER BY Step"),
              (QStringList{"1|0", "2|2627", "3|515", "4|8134", "5|0"}));
    db.exec("CREATE PROCEDURE AddTwice AS\nDECLARE @e int\nINSERT INTO P VALUES (7)\nINSERT INTO P VALUES (7)\n"
            "SET @e = @@ERROR\nIF @e <> 0 INSERT INTO Log VALUES (6, @e)\n"
            "INSERT INTO P VALUES (7)\nIF @@ERROR <> 0 INSERT INTO Log VALUES (7, @@ERROR)");
    db.errorOf("EXEC AddTwice");
    EXPECT_EQ(db.scalar("SELECT Err FROM Log WHERE Step = 6"), "2627") << "a procedure tests it as scripts do";
    EXPECT_EQ(db.scalar("SELECT Err FROM Log WHERE Step = 7"), "0") << "inside the IF the IF has succeeded";
}

TEST(SqlServerStatements, AtAtErrorOutlivesTheBatchAnErrorEnded)
{
    EmbeddedDb db;
    EXPECT_FALSE(db.errorOf("SELECT CAST('abc' AS int)").isEmpty());
    EXPECT_EQ(db.scalar("SELECT @@ERROR"), "245") << "the next batch reads the number of the error that ended this one";
    EXPECT_EQ(db.scalar("SELECT @@ERROR"), "0") << "the SELECT before it succeeded";
    EXPECT_FALSE(db.errorOf("SELECT Id FROM Missing").isEmpty());
    EXPECT_EQ(db.scalar("SELECT @@ERROR"), "208");
    EXPECT_FALSE(db.errorOf("SELEC 1").isEmpty());
    EXPECT_EQ(db.scalar("SELECT @@ERROR"), "102") << "a batch that does not parse";
    EXPECT_FALSE(db.errorOf("SELECT CAST('2017-02-30' AS datetime)").isEmpty());
    EXPECT_EQ(db.scalar("SELECT 1"), "1");
    EXPECT_EQ(db.scalar("SELECT @@ERROR"), "0") << "a lone SELECT that succeeds clears it too";
}

TEST(SqlServerStatements, NocheckIsKeptInTheDatabaseUntilCheckConstraint)
{
    EmbeddedDb db(QStringLiteral("KEPT"), QStringLiteral("KEPT"));
    db.exec("CREATE TABLE Parent (Id int NOT NULL PRIMARY KEY)\n"
            "CREATE TABLE Child (Id int NOT NULL PRIMARY KEY, Parent int NULL,\n"
            "  CONSTRAINT FK_Child_Parent FOREIGN KEY (Parent) REFERENCES Parent (Id))\n"
            "ALTER TABLE Child NOCHECK CONSTRAINT FK_Child_Parent");
    db.connection().close();
    // Another session on the same file finds the constraint still off.
    EXPECT_EQ(db.errorOf("INSERT INTO Child VALUES (1, 7)"), "");
    db.exec("ALTER TABLE Child CHECK CONSTRAINT FK_Child_Parent");
    db.connection().close();
    EXPECT_FALSE(db.errorOf("INSERT INTO Child VALUES (2, 8)").isEmpty());

    // A table made again under the name starts with its checks on.
    db.exec("ALTER TABLE Child NOCHECK CONSTRAINT ALL\nDROP TABLE Child\n"
            "CREATE TABLE Child (Id int NOT NULL PRIMARY KEY, Parent int NULL REFERENCES Parent (Id))");
    db.connection().close();
    EXPECT_FALSE(db.errorOf("INSERT INTO Child VALUES (3, 9)").isEmpty());
}

} // namespace

TEST(SqlServerStatements, CommonTableExpressionsAndValuesRowsReadAsDerivedTables)
{
    EmbeddedDb db;
    db.exec("CREATE TABLE Item (Id int NOT NULL PRIMARY KEY, Name nvarchar(20) NULL, Price money NULL)\n"
            "INSERT INTO Item VALUES (1, N'ขวด', 20), (2, N'แพ็ค', 180), (3, NULL, 0.1)");
    // Named columns, one expression reading another, one read twice, and
    // a leading semicolon after an earlier statement of the batch.
    EXPECT_EQ(db.rows("SELECT 1;\n"
                      "WITH Cheap (Id, P) AS (SELECT Id, Price FROM Item WHERE Price < 100),\n"
                      "  Doubled AS (SELECT Id, P * 2 P2 FROM Cheap)\n"
                      "SELECT c.Id, c.P, d.P2 FROM Cheap c INNER JOIN Doubled d ON d.Id = c.Id\n"
                      "WHERE EXISTS (SELECT 1 FROM Cheap x WHERE x.Id = c.Id) ORDER BY c.Id"),
              (QStringList{"1|20|40", "3|0.1|0.2"}));
    // A name of the WITH hides a table of that name; dbo.Item is the table.
    EXPECT_EQ(db.scalar("WITH Item AS (SELECT 7 Id) SELECT COUNT(*) FROM Item"), "1");
    EXPECT_EQ(db.scalar("WITH Item AS (SELECT 7 Id) SELECT COUNT(*) FROM dbo.Item"), "3");
    // Under INSERT and UPDATE ... FROM.
    db.exec("WITH Extra AS (SELECT Id + 10 Id, Name FROM Item WHERE Id < 3) INSERT INTO Item (Id, Name) SELECT Id, Name FROM Extra");
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM Item"), "5");
    db.exec("WITH NewPrice AS (SELECT Id, Price * 3 P FROM Item WHERE Id = 2)\n"
            "UPDATE Item SET Price = n.P FROM Item INNER JOIN NewPrice n ON n.Id = Item.Id");
    EXPECT_EQ(db.scalar("SELECT Price FROM Item WHERE Id = 2"), "540");

    // Rows of values, typed as a UNION of their rows: AVG of whole numbers is whole.
    EXPECT_EQ(db.rows("SELECT t.n, t.s FROM (VALUES (1, 'a'), (2, N'ข'), (3, NULL)) AS t (n, s) ORDER BY n DESC"),
              (QStringList{"3|<null>", "2|ข", "1|a"}));
    EXPECT_EQ(db.scalar("SELECT AVG(x) FROM (VALUES (1), (2)) t(x)"), "1");
    EXPECT_EQ(db.scalar("SELECT q + 1 FROM (SELECT 5) d(q)"), "6");

    // What SQL Server refuses, with its words; recursion is not ours to run.
    EXPECT_EQ(db.errorOf("SELECT * FROM (VALUES (1, 2), (3)) t(a, b)"),
              "The number of columns for each row in a table value constructor must be the same.");
    EXPECT_EQ(db.errorOf("SELECT * FROM (VALUES (1, 2)) t(a)"),
              "'t' has more columns than were specified in the column list.");
    EXPECT_EQ(db.errorOf("WITH c (a, b) AS (SELECT 1) SELECT * FROM c"),
              "'c' has fewer columns than were specified in the column list.");
    EXPECT_EQ(db.errorOf("SELECT * FROM (VALUES (1)) t"), "No column name was specified for column 1 of 't'.");
    EXPECT_TRUE(db.errorOf("WITH r AS (SELECT 1 n UNION ALL SELECT n + 1 FROM r WHERE n < 3) SELECT * FROM r")
                    .contains("recursive common table expressions"));
    EXPECT_TRUE(db.errorOf("WITH c AS (SELECT Id FROM Item) DELETE FROM c").contains("common table expression"));
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM Item"), "5");
}
