// Whole T-SQL batches on the embedded engine: the program's guarded schema
// scripts (first run changes, second run changes nothing), stored procedures
// with outputs and return values, SQL Server's catalog, and the errors that
// the error handler recognises.

#include "support/EmbeddedDb.h"

#include "db/DbError.h"
#include "db/Script.h"
#include "db/StoredProc.h"

#include <QDir>

#include <gtest/gtest.h>

#include <sqlite3.h>

namespace {

QStringList columnsOf(EmbeddedDb& db, const QString& table)
{
    return db.rows(QStringLiteral("Select C.Name From SysColumns C Where C.Id = (Select Id From SysObjects Where "
                                  "Name = '%1') Order By C.ColId")
                       .arg(table));
}

TEST(GuardedScripts, MenuVersionAfterConnectScriptAddsTheColumnOnce)
{
    EmbeddedDb db;
    db.exec(QStringLiteral("Create Table Menu (Id Int Not Null Primary Key, Command VarChar(60), MenuOption Char(1))\n"
                           "Insert Into Menu Values (1, 'PRICE.EXE', 'A')\n"
                           "Insert Into Menu (Id) Values (2)"));
    const QStringList script{
        "If (Not Exists(Select Name From SysColumns",
        "               Where Id = (Select Id From SysObjects Where Ltrim(Rtrim(Upper(Name))) = 'MENU') And",
        "                     Ltrim(Rtrim(Upper(Name)))='VERSION'))",
        "  Begin",
        "    Alter Table Menu Add Version Integer",
        "  End",
        "/",
        "Update Menu Set Version = 3 Where Version Is Null And Command Is Not Null",
        "/"};
    db::Script(db.alias(), script).execute();
    EXPECT_EQ(columnsOf(db, "Menu"), (QStringList{"Id", "Command", "MenuOption", "Version"}));
    EXPECT_EQ(db.rows("Select Id, Version From Menu Order By Id"), (QStringList{"1|3", "2|<null>"}));

    db.exec(QStringLiteral("Update Menu Set Version = 7 Where Id = 1"));
    db::Script(db.alias(), script).execute();
    EXPECT_EQ(columnsOf(db, "Menu").size(), 4) << "the second run adds nothing";
    EXPECT_EQ(db.scalar("Select Version From Menu Where Id = 1"), "7");

    // The one-statement form, Begin/End without a "/".
    db.exec(QStringList{"If (Not Exists(Select Name From SysColumns",
                        "               Where Id = (Select Id From SysObjects Where Ltrim(Rtrim(Upper(Name))) = "
                        "'MENU') And",
                        "                     Ltrim(Rtrim(Upper(Name)))='VERSION'))",
                        "Begin", "  Alter Table Menu Add Version Integer", "End"}
                .join('\n'));
    EXPECT_EQ(columnsOf(db, "Menu").size(), 4);
    // Unguarded, SQL Server refuses the second column of the same name.
    EXPECT_FALSE(db.errorOf("Alter Table Menu Add Version Integer").isEmpty());
}

TEST(GuardedScripts, BusinessSchemaScriptAndProgramVersionStatement)
{
    EmbeddedDb db;
    db.exec(QStringLiteral("Exec sp_addtype IdNo, 'int', 'NOT NULL'\n"
                           "Create Type CharFlag From Char(1)\n"
                           "Create Table Config (Id Int)\n"
                           "Create Table Product (Id IdNo Not Null Primary Key, Code VarChar(20), UseSerial CharFlag)\n"
                           "Insert Into Product Values (1, 'A', 'Y')\n"
                           "Insert Into Product Values (2, 'B', NULL)"));
    QStringList script{
        "If (Not Exists (select Id from SysObjects Where Name = 'CheckVersionProgramEXE'))",
        "   Begin",
        "      Create Table CheckVersionProgramEXE",
        "        (Id            IdNo Identity(1,1) Not Null,",
        "         ProgramEXE       VarChar(30) Not Null,",
        "         Version\t IdNo Not Null,",
        "         LastUpdate    DateTime)",
        "      Create  UNIQUE Index  CheckVersionProgramIndexProgramEXE On CheckVersionProgramEXE(ProgramEXE)",
        "   End",
        "/"};
    for (const char* column : {"CheckSerialPurc", "CheckSerialSale", "CheckSerialStock", "CheckSerialOnhand"}) {
        script << QStringLiteral("If Not exists (select Id from SysColumns Where Name = '%1' And Id = (select Id From "
                                 "SysObjects Where Name = 'Product'))")
                      .arg(column)
               << QStringLiteral("  Alter Table Product Add %1 CharFlag").arg(column) << "/";
    }
    for (const char* column : {"CheckSerialPurc", "CheckSerialSale", "CheckSerialStock", "CheckSerialOnhand"})
        script << QStringLiteral("Update Product Set %1 =  UseSerial Where %1 Is Null").arg(column) << "/";
    script << "If Not exists (select Id from SysColumns Where Name = 'ProductFree' And Id = (select Id From SysObjects "
              "Where Name = 'Product'))"
           << QStringLiteral("  Alter Table Product Add ProductFree CharFlag   -- สามารถขายราคา 0 ได้ หรือไม่ (ของแถม)")
           << "/"
           << "If Not Exists (Select Id From SysColumns Where Name = 'ShowProductPriceList' And Id = (Select Id From "
              "SysObjects Where Name = 'Config'))"
           << "   Alter Table Config Add ShowProductPriceList CharFlag Null" << "/";

    for (int run = 0; run < 2; ++run) {
        db::Script(db.alias(), script).execute();
        EXPECT_EQ(columnsOf(db, "Product"),
                  (QStringList{"Id", "Code", "UseSerial", "CheckSerialPurc", "CheckSerialSale", "CheckSerialStock",
                               "CheckSerialOnhand", "ProductFree"}));
        EXPECT_EQ(db.rows("Select Id, CheckSerialPurc, CheckSerialOnhand From Product Order By Id"),
                  (QStringList{"1|Y|Y", "2|<null>|<null>"}));
        EXPECT_EQ(columnsOf(db, "Config"), (QStringList{"Id", "ShowProductPriceList"}));
    }
    // User types reach the catalog as their base types.
    EXPECT_EQ(db.rows("Select DATA_TYPE, CHARACTER_MAXIMUM_LENGTH From INFORMATION_SCHEMA.COLUMNS Where TABLE_NAME = "
                      "'Product' And COLUMN_NAME In ('Id', 'ProductFree') Order By ORDINAL_POSITION"),
              (QStringList{"int|<null>", "char|1"}));

    const QStringList versionCheck{
        "If Not Exists (Select Id From CheckVersionProgramEXE Where ProgramExe = :ProgramExe)",
        "   Insert Into CheckVersionProgramEXE (ProgramEXE, Version, LastUpdate)",
        "   Values (:ProgramExe, 1, GetDate())",
        "",
        "If ((select Version From CheckVersionProgramEXE Where ProgramExe = :ProgramExe) < :Version)",
        "   Update CheckVersionProgramEXE",
        "   Set Version = :Version,",
        "       LastUpdate = GetDate()",
        "   Where ProgramExe = :ProgramExe",
        "",
        "select Version VersionExe From CheckVersionProgramEXE Where ProgramExe = :ProgramExe"};
    auto run = [&](const QString& exe, int version) {
        return db.open(versionCheck, {{"ProgramExe", exe}, {"Version", version}})->asInteger("VersionExe");
    };
    EXPECT_EQ(run("PRICEINQUIRY.EXE", 1), 1);
    EXPECT_EQ(run("priceinquiry.exe", 5), 5) << "the file name is matched without regard to case";
    EXPECT_EQ(run("PRICEINQUIRY.EXE", 4), 5) << "versions only grow";
    EXPECT_EQ(db.scalar("Select Count(*) From CheckVersionProgramEXE"), "1");
    EXPECT_EQ(db.errorOf("Insert Into CheckVersionProgramEXE (ProgramEXE, Version) Values ('PriceInquiry.exe', 1)"),
              "Cannot insert duplicate key row in object 'dbo.CheckVersionProgramEXE' with unique index "
              "'CheckVersionProgramIndexProgramEXE'.");
}

TEST(Catalog, ReflectsTablesViewsProceduresAndDrops)
{
    EmbeddedDb db;
    db.exec(QStringLiteral("Create Table T (A Int, B VarChar(12) Not Null, C Decimal(10,3), D DateTime)\n"
                           "Create View V As Select A From T"));
    db.exec(QStringLiteral("Create Procedure P As Select 1"));
    EXPECT_EQ(db.rows("Select Name, XType From SysObjects Where Name In ('t', 'v', 'p') Order By XType"),
              (QStringList{"P|P", "T|U", "V|V"}));
    EXPECT_EQ(db.rows("Select Name, XType, Length, IsNullable From SysColumns Where Id = (Select Id From SysObjects "
                      "Where Name = 'T') Order By ColId"),
              (QStringList{"A|56|4|1", "B|167|12|0", "C|106|9|1", "D|61|8|1"}));
    EXPECT_EQ(db.rows("Select TABLE_NAME, TABLE_TYPE From INFORMATION_SCHEMA.TABLES Order By TABLE_NAME"),
              (QStringList{"T|BASE TABLE", "V|VIEW"}));
    db.exec(QStringLiteral("Drop View V\nDrop Procedure P\nDrop Table T"));
    EXPECT_EQ(db.scalar("Select Count(*) From SysObjects"), "0");
}

TEST(Catalog, ShowsSqlServersTypesForViewColumnsAndRefusesABrokenView)
{
    EmbeddedDb db;
    db.exec(QStringLiteral("Create Table T (A Int, M Money, S SmallMoney)\n"
                           "Create View V As Select A * 1.5 X, M, 1 U From T Union All Select 2, 3, 4"));
    // A view's column computed or made of a UNION has the type SQL Server
    // gives it, not SQLite's; money is 19 digits with 4 decimals.
    EXPECT_EQ(db.rows("Select COLUMN_NAME, DATA_TYPE, NUMERIC_PRECISION, NUMERIC_SCALE From INFORMATION_SCHEMA.COLUMNS "
                      "Where TABLE_NAME In ('T', 'V') Order By TABLE_NAME, ORDINAL_POSITION"),
              (QStringList{"A|int|10|0", "M|money|19|4", "S|smallmoney|10|4", "X|decimal|13|1", "M|money|19|4",
                           "U|int|10|0"}));
    EXPECT_EQ(db.rows("Select c.Name, c.XType, c.Prec, c.Scale From SysColumns c Inner Join SysObjects o On o.Id = c.Id "
                      "Where o.Name = 'V' Order By c.ColId"),
              (QStringList{"X|106|13|1", "M|60|19|4", "U|56|10|0"}));

    // SQLite would make these views and every later read of the catalog
    // would fail on them; SQL Server refuses them.
    EXPECT_EQ(db.errorOf("Create View W As Select Nothing From T"), "Invalid column name 'Nothing'.");
    EXPECT_EQ(db.errorOf("Create View W As Select * From Nowhere"), "Invalid object name 'Nowhere'.");
    EXPECT_EQ(db.scalar("Select Count(*) From SysObjects Where Name = 'W'"), "0");
    EXPECT_EQ(db.scalar("Select Count(*) From INFORMATION_SCHEMA.COLUMNS"), "6");

    // A table dropped under a view leaves the view, as SQL Server does, and
    // the catalog still reads: the view's columns were kept in their places.
    db.exec(QStringLiteral("Create Table U (K Int, N NVarChar(8))\nCreate View VU As Select *, K + 1 K1 From U"));
    db.exec(QStringLiteral("Drop Table U"));
    EXPECT_EQ(db.rows("Select COLUMN_NAME, ORDINAL_POSITION, DATA_TYPE, CHARACTER_MAXIMUM_LENGTH "
                      "From INFORMATION_SCHEMA.COLUMNS Where TABLE_NAME = 'VU' Order By ORDINAL_POSITION"),
              (QStringList{"K|1|int|<null>", "N|2|nvarchar|8", "K1|3|int|<null>"}));
    EXPECT_EQ(db.errorOf("Select * From VU"), "Invalid object name 'U'.");
    db.exec(QStringLiteral("Drop View VU"));
    EXPECT_EQ(db.scalar("Select Count(*) From SysColumns"), "6");
}

TEST(Catalog, ViewsOfAFileWrittenBeforeTheirPlacesWereKeptAreReadAsBefore)
{
    EmbeddedDb db(QStringLiteral("OLDVIEWS"), QStringLiteral("OLDVIEWS"));
    db.exec(QStringLiteral("Create Table T (A Int, B Money)\nCreate View V As Select A, B * 2 D From T"));
    db.connection().close();
    // The table of kept view types as an older engine left it: no places,
    // only the columns whose type SQLite could not tell.
    const QString file = QDir(db.folder()).filePath(QStringLiteral("OLDVIEWS.sqlite"));
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(file.toUtf8().constData(), &raw), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(raw,
                           "CREATE TABLE old_views (view_name TEXT NOT NULL COLLATE NOCASE, column_name TEXT NOT NULL "
                           "COLLATE NOCASE, type TEXT NOT NULL, PRIMARY KEY (view_name, column_name));"
                           "INSERT INTO old_views SELECT view_name, column_name, type FROM qel_view_columns "
                           "WHERE column_name = 'D';"
                           "DROP TABLE qel_view_columns; ALTER TABLE old_views RENAME TO qel_view_columns;",
                           nullptr, nullptr, nullptr),
              SQLITE_OK)
        << sqlite3_errmsg(raw);
    sqlite3_close(raw);

    db.exec(QStringLiteral("Create View W As Select B From T"));
    EXPECT_EQ(db.rows("Select TABLE_NAME, COLUMN_NAME, ORDINAL_POSITION, DATA_TYPE From INFORMATION_SCHEMA.COLUMNS "
                      "Where TABLE_NAME In ('V', 'W') Order By TABLE_NAME, ORDINAL_POSITION"),
              (QStringList{"V|A|1|int", "V|D|2|money", "W|B|1|money"}));
}

class Procedures : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.exec(QStringLiteral("Create Table Rights (UserId Int, MenuId Int, Acc Char(1), Caption NVarChar(60))\n"
                               "Insert Into Rights Values (34, 12, 'Y', N'  สอบถามราคา  ')"));
        db.exec(QStringLiteral(R"(
CREATE PROCEDURE MenuRights
  @MENUID int, @USERID int, @CAPTION nvarchar(60) OUTPUT, @ACCESS_R char(1) OUTPUT, @SALESID int = 0 OUTPUT
AS
BEGIN
  SET NOCOUNT ON
  SET @ACCESS_R = 'N'
  SELECT @CAPTION = Caption, @ACCESS_R = Acc FROM Rights WHERE UserId = @USERID AND MenuId = @MENUID
  IF @ACCESS_R = 'Y' SET @SALESID = @SALESID + 7
  IF @CAPTION IS NULL RETURN 1
  RETURN 0
END)"));
    }
    EmbeddedDb db;
};

TEST_F(Procedures, ExecWithOutputsNamedArgumentsAndReturnValue)
{
    auto q = db.open(QStringList{"DECLARE @c nvarchar(60), @a char(1), @s int, @r int",
                                 "SET @s = 100",
                                 "EXEC @r = MenuRights 12, 34, @c OUTPUT, @a OUTPUT, @s OUTPUT",
                                 "SELECT @c, @a, @s, @r"});
    EXPECT_EQ(rowsOf(*q), QStringList{QStringLiteral("  สอบถามราคา  |Y|107|0")});
    auto named = db.open(QStringList{"DECLARE @c nvarchar(60), @a char(1), @r int",
                                     "EXECUTE @r = MenuRights @USERID = 35, @MENUID = 12, @ACCESS_R = @a OUTPUT, "
                                     "@CAPTION = @c OUTPUT",
                                     "SELECT @c, @a, @r"});
    EXPECT_EQ(rowsOf(*named), QStringList{"<null>|N|1"});
    EXPECT_EQ(db.errorOf("EXEC MenuRights 12"),
              "Procedure or function 'MenuRights' expects parameter '@USERID', which was not supplied.");
    EXPECT_EQ(db.errorOf("EXEC MenuRights 1, 2, NULL, NULL, 0, 9"),
              "Procedure or function MenuRights has too many arguments specified.");
    EXPECT_EQ(db.errorOf("EXEC NoSuchProc"), "Could not find stored procedure 'NoSuchProc'.");
}

TEST_F(Procedures, StoredProcCallsByParameterName)
{
    db::StoredProc sp(db.alias(), "menurights");
    sp.addParam("Result", db::ParamDirection::Result, QMetaType::Int);
    sp.addParam("@MENUID", db::ParamDirection::Input, QMetaType::Int);
    sp.addParam("@USERID", db::ParamDirection::Input, QMetaType::Int);
    sp.addParam("@CAPTION", db::ParamDirection::Output);
    sp.addParam("@ACCESS_R", db::ParamDirection::Output);
    sp.addParam("@SALESID", db::ParamDirection::Output, QMetaType::Int);
    sp.setParam("@MENUID", 12);
    sp.setParam("@USERID", 34);
    sp.execProc();
    EXPECT_EQ(sp.asString("@CAPTION").trimmed(), QStringLiteral("สอบถามราคา"));
    EXPECT_EQ(sp.asString("@ACCESS_R"), "Y");
    EXPECT_TRUE(sp.param("@SALESID").isNull()) << "an output passed without a value is NULL, not its default";
    EXPECT_EQ(sp.asInteger("Result"), 0);
    sp.setParam("@USERID", 99);
    sp.execProc();
    EXPECT_EQ(sp.asString("@ACCESS_R"), "N");
    EXPECT_TRUE(sp.param("@CAPTION").isNull());
    EXPECT_EQ(sp.asInteger("Result"), 1);
}

TEST_F(Procedures, DefinitionsAreKeptAlteredAndDropped)
{
    EXPECT_EQ(db.errorOf("CREATE PROCEDURE MenuRights AS SELECT 1"),
              "There is already an object named 'MenuRights' in the database.");
    EXPECT_EQ(db.errorOf("SELECT 1\nCREATE PROCEDURE Later AS SELECT 1"),
              "'CREATE/ALTER PROCEDURE' must be the first statement in a query batch.");
    db.exec(QStringLiteral("ALTER PROCEDURE MenuRights @x int = 5 AS SELECT @x * 2 AS Twice"));
    EXPECT_EQ(db.scalar("EXEC MenuRights"), "10") << "a procedure's rows are the batch's rows";
    db.connection().close();  // the definition lives in the database, not in the session
    EXPECT_EQ(db.scalar("EXEC MenuRights 4"), "8");
    db.exec(QStringLiteral("DROP PROCEDURE MenuRights"));
    EXPECT_EQ(db.errorOf("EXEC MenuRights"), "Could not find stored procedure 'MenuRights'.");
    EXPECT_EQ(db.errorOf("DROP PROCEDURE MenuRights"),
              "Cannot drop the procedure 'MenuRights', because it does not exist or you do not have permission.");
}

TEST(SerialBatch, CreatesTheSerialThroughTheProcedureAndReturnsItsId)
{
    EmbeddedDb db;
    db.exec(QStringLiteral("Exec sp_addtype IdNo, int\n"
                           "Create Table product (Id IdNo Primary Key, UseSerial Char(1), CheckSerialOnhand Char(1))\n"
                           "Create Table SerialNo (Id Int Identity(1,1) Not Null, Product Int, Serial VarChar(40), "
                           "OnHand Char(1))\n"
                           "Insert Into product Values (1, 'Y', 'N')\n"
                           "Insert Into product Values (2, 'Y', 'Y')"));
    db.exec(QStringLiteral(R"(Create Procedure CreateSerialNo @ProductId IdNo, @Serial VarChar(40), @SerialId IdNo Output
As
  Select @SerialId = Id From SerialNo Where Product = @ProductId And Serial = @Serial
  If @SerialId Is Null
  Begin
    Insert Into SerialNo (Product, Serial, OnHand) Values (@ProductId, @Serial, 'Y')
    Set @SerialId = @@IDENTITY
  End)"));
    const QStringList batch{"Declare @SerialId IdNo",
                            "If Exists (Select Id From product Where Id = :ProductId And UseSerial = 'Y' And "
                            "CheckSerialOnhand = 'N')",
                            "   Exec CreateSerialNo :ProductId, :SerialCode, @SerialId Output",
                            "select  @SerialId"};
    EXPECT_EQ(rowsOf(*db.open(batch, {{"ProductId", 1}, {"SerialCode", "SN-1"}})), QStringList{"1"});
    EXPECT_EQ(rowsOf(*db.open(batch, {{"ProductId", 1}, {"SerialCode", "SN-2"}})), QStringList{"2"});
    EXPECT_EQ(rowsOf(*db.open(batch, {{"ProductId", 1}, {"SerialCode", "sn-1"}})), QStringList{"1"});
    EXPECT_EQ(rowsOf(*db.open(batch, {{"ProductId", 2}, {"SerialCode", "SN-3"}})), QStringList{"<null>"});
    EXPECT_EQ(db.scalar("Select Count(*) From SerialNo"), "2");
}

TEST(ErrorWording, ForeignKeysAndAddedConstraints)
{
    EmbeddedDb db("DEMO", "DEMO");
    db.exec(QStringLiteral(R"(
Create Table Customer (Id Int Not Null Primary Key, Code VarChar(10))
Create Table IvHd (Id Int Not Null Primary Key, Customer Int Not Null,
  Constraint FK_IvHd_Customer Foreign Key (Customer) References Customer (Id))
Create Table Note (Id Int, Customer Int)
Insert Into Customer Values (1, 'A')
Insert Into Customer Values (2, 'B')
Insert Into IvHd Values (10, 1)
)"));
    EXPECT_EQ(db.errorOf("Delete From Customer Where Id = 1"),
              "The DELETE statement conflicted with the REFERENCE constraint \"FK_IvHd_Customer\". The conflict "
              "occurred in database \"DEMO\", table \"dbo.IvHd\", column 'Customer'.");
    db.exec(QStringLiteral("Delete From Customer Where Id = 2"));
    EXPECT_EQ(db.errorOf("Insert Into IvHd Values (11, 5)"),
              "The INSERT statement conflicted with the FOREIGN KEY constraint \"FK_IvHd_Customer\". The conflict "
              "occurred in database \"DEMO\", table \"dbo.Customer\", column 'Id'.");

    // A key added later is enforced as well, and refused while rows break it.
    db.exec(QStringLiteral("Insert Into Note Values (1, 9)"));
    EXPECT_TRUE(db.errorOf("Alter Table Note Add Constraint FK_Note_Customer Foreign Key (Customer) References "
                           "Customer (Id)")
                    .startsWith("The ALTER TABLE statement conflicted with the FOREIGN KEY constraint \"FK_Note_Customer\""));
    db.exec(QStringLiteral("Update Note Set Customer = 1"));
    db.exec(QStringLiteral("Alter Table Note Add Constraint FK_Note_Customer Foreign Key (Customer) References Customer (Id)"));
    EXPECT_TRUE(db.errorOf("Insert Into Note Values (2, 7)").contains("FK_Note_Customer"));
    db.exec(QStringLiteral("Alter Table Note Add Constraint UQ_Note_Id Unique (Id)"));
    EXPECT_EQ(db.errorOf("Insert Into Note Values (1, 1)"),
              "Cannot insert duplicate key row in object 'dbo.Note' with unique index 'UQ_Note_Id'.");
    EXPECT_EQ(db.errorOf("Insert Into IvHd (Id) Values (12)"),
              "Cannot insert the value NULL into column 'Customer', table 'DEMO.dbo.IvHd'; column does not allow "
              "nulls. INSERT fails.");
    EXPECT_EQ(db.errorOf("Select Convert(Int, 'abc')"),
              "Conversion failed when converting the varchar value 'abc' to data type int.");
}

} // namespace
