// The two database scripts of sql/, installed on the embedded engine the way
// an installer runs them (batch by batch, split at GO lines), then held
// against what the program does with the databases: its own guarded schema
// scripts, its statements, the stored procedures it calls, and the keys that
// keep the data whole.

#include "support/EmbeddedDb.h"

#include "db/DbError.h"
#include "db/Engine.h"
#include "db/Script.h"
#include "db/StoredProc.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringConverter>
#include <QTextStream>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

// ---------------------------------------------------------------- scripts

// The source tree: the environment's QEL_SOURCE_DIR when set, else the one
// the build was configured from (when the build says), else the nearest
// folder above the test program that holds sql/config.sql.
QString sourceRoot()
{
    const QString fromEnv = qEnvironmentVariable("QEL_SOURCE_DIR");
    if (!fromEnv.isEmpty())
        return fromEnv;
#ifdef QEL_SOURCE_DIR
    if (QFileInfo::exists(QDir(QStringLiteral(QEL_SOURCE_DIR)).filePath(QStringLiteral("sql/config.sql"))))
        return QStringLiteral(QEL_SOURCE_DIR);
#endif
    QDir dir(QCoreApplication::applicationDirPath());
    do {
        if (QFileInfo::exists(dir.filePath(QStringLiteral("sql/config.sql"))))
            return dir.absolutePath();
    } while (dir.cdUp());
    return QString();
}

// A script's batches: the text between lines that hold only GO (any case).
QStringList scriptBatches(const QString& relativePath)
{
    QFile file(QDir(sourceRoot()).filePath(relativePath));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw std::runtime_error("cannot read " + file.fileName().toStdString()
                                 + " (set QEL_SOURCE_DIR to the source tree)");
    QTextStream in(&file);
    in.setEncoding(QStringConverter::Utf8);
    QStringList batches;
    QStringList current;
    auto flush = [&] {
        const QString text = current.join(QLatin1Char('\n'));
        if (!text.trimmed().isEmpty())
            batches.append(text);
        current.clear();
    };
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (line.trimmed().compare(QLatin1String("GO"), Qt::CaseInsensitive) == 0)
            flush();
        else
            current.append(line);
    }
    flush();
    return batches;
}

struct ScriptRun {
    int batchesRun = 0;  // batches that succeeded before the first failure
    QString error;       // the first failure's message, empty when none
};

// Runs every batch by itself, as sqlcmd -b or qel-db do, stopping at the
// first one that fails.
ScriptRun runScript(db::Connection& connection, const QStringList& batches)
{
    ScriptRun run;
    for (const QString& batch : batches) {
        try {
            connection.engine().execute(batch, db::ParamValues());
        } catch (const db::DbError& e) {
            run.error = e.message();
            return run;
        }
        ++run.batchesRun;
    }
    return run;
}

QString errorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const db::DbError& e) {
        return e.message();
    }
    return QString();
}

// Object names as SQL Server's catalog lists them, by type (U, V, P).
QStringList catalogNames(EmbeddedDb& db, const char* type)
{
    return db.rows(QStringLiteral("Select Name From SysObjects Where xtype = '%1' Order By Name").arg(QLatin1String(type)));
}

QStringList columnsOf(EmbeddedDb& db, const QString& table)
{
    return db.rows(QStringLiteral("Select C.Name From SysColumns C Where C.Id = (Select Id From SysObjects Where "
                                  "Name = '%1') Order By C.ColId")
                       .arg(table));
}

struct Statement {
    const char* name;
    QStringList lines;
    std::vector<std::pair<const char*, QVariant>> params;
};

// Runs each statement and reports every one that the schema refuses.
void expectAllRun(EmbeddedDb& db, const std::vector<Statement>& statements)
{
    for (const Statement& s : statements) {
        db::Query q(db.alias());
        q.setSql(s.lines);
        for (const auto& [name, value] : s.params)
            q.setParam(QLatin1String(name), value);
        const QString error = errorOf([&] { q.execSql(); });
        EXPECT_TRUE(error.isEmpty()) << s.name << ": " << error.toStdString();
    }
}

// ---------------------------------------------------------------- configuration database

class ConfigDatabase : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QStringList batches = scriptBatches(QStringLiteral("sql/config.sql"));
        const ScriptRun run = runScript(cfg.connection(), batches);
        ASSERT_EQ(run.error, QString()) << "batch " << run.batchesRun + 1;
        ASSERT_EQ(run.batchesRun, batches.size());
    }

    // A company with its database, a menu entry, and a user with rights on it.
    void registerCompanyAndUser()
    {
        cfg.exec(QStringLiteral(R"(
Insert Into Company (Code, NameThai, Address1, Address4, Zip, TaxNo) Values ('C7', N'บริษัท ทดสอบ จำกัด', N'12 ถนนสุขุมวิท', N'กรุงเทพฯ', '10110', '0105550000001')
Insert Into CompanyConfig (Company, PicturePath, DefaultWh, DefaultTax, POS1_PriceType, DefaultPosMenuId) Values (1, 'D:\Pictures\', 3, 2, 19, 55)
Insert Into DatabaseList (DatabaseName, Company, Description, YearNo) Values ('ACME', 1, N'บัญชีหลัก', 2026)
Insert Into Menu (Id, Description, Command, MenuOption) Values (55, N'  สอบถามราคา ', 'PRICE.EXE', 'P')
Insert Into Menu (Id, Description, Command) Values (56, N'ขายหน้าร้าน', 'pos.exe ')
Insert Into Menu (Id, Description) Values (57, N'รายงาน')
Insert Into username (Code, FullName, LanguageNo, SalesId, CanSeeCost) Values ('SOMCHAI ', N'สมชาย ใจดี', 1, 4, 'Y')
Insert Into username (Code, FullName) Values ('GUEST', N'ผู้มาเยือน')
Insert Into UserRight (UserName, Menu, Access_R, Add_R, Modify_R) Values (1, 55, 'Y', 'Y', 'N')
)"));
    }

    EmbeddedDb cfg{QStringLiteral("DmCfg"), QStringLiteral("QEL_CONFIG")};
};

TEST_F(ConfigDatabase, ScriptInstallsEveryObjectAndASecondRunStopsAtTheFirstCreate)
{
    EXPECT_EQ(catalogNames(cfg, "U"), (QStringList{"Company", "CompanyConfig", "DatabaseList", "errorlog", "Menu",
                                                   "softwareconfig", "username", "UserRight"}));
    EXPECT_EQ(catalogNames(cfg, "P"), (QStringList{"AddErrorLog", "MENUCAPTION"}));
    EXPECT_FALSE(columnsOf(cfg, "Menu").contains("Version", Qt::CaseInsensitive)) << "the program adds Version";
    EXPECT_EQ(cfg.rows("select *\nfrom softwareconfig").size(), 1);

    const ScriptRun again = runScript(cfg.connection(), scriptBatches(QStringLiteral("sql/config.sql")));
    EXPECT_EQ(again.batchesRun, 0);
    EXPECT_EQ(again.error, "There is already an object named 'Company' in the database.");
}

TEST_F(ConfigDatabase, ProgramStatementsFindTheCompanyAndTheUser)
{
    registerCompanyAndUser();
    const QStringList companyConfig{
        "SELECT C.Company, C.PicturePath, C.Public_Price_IE, C.DefaultWh,",
        "  C.POS1_Wh, C.POS1_TaxCode, C.POS1_Price_IE, C.POS1_PriceType,",
        "  C.POS1_SumDetail, C.DefaultPosComPort,C.DefaultTax,",
        "  C.DefaultPosMenuId,M.Command,M.MenuOption,",
        "  O.Description, O.YearNo,",
        "  P.Id, P.Code, P.Password, P.NameThai, P.NameEng, P.ShortName,",
        "  P.Address1, P.Address2, P.Address3, P.Address4, P.Province, P.Zip,",
        "  P.Telephone, P.Fax, P.EMail, P.Logo, P.TaxNo, P.InstallDate, P.RunYear,",
        "  P.LocalServer,P.FUNDNAME, P.TaxBranchHead, P.TaxBranchCode, P.TaxBranchName",
        "FROM CompanyConfig C",
        "Inner Join DatabaseList O On (O.Company = C.Company) ",
        "Inner Join Company P On (P.Id = O.Company)",
        "Left Outer Join Menu M On (M.Id = C.DefaultPosMenuId)",
        "Where (O.DatabaseName = :GetName)"};
    auto found = cfg.open(companyConfig, {{"GetName", "ACME"}});
    ASSERT_EQ(found->recordCount(), 1);
    EXPECT_EQ(found->asInteger("Id"), 1);
    EXPECT_EQ(found->asInteger("DefaultWH"), 3);
    EXPECT_EQ(found->asString("Command"), "PRICE.EXE");
    EXPECT_EQ(found->asString("NameThai"), QStringLiteral("บริษัท ทดสอบ จำกัด"));
    EXPECT_EQ(found->asString("Pos1_SumDetail"), "N") << "the column's default";
    EXPECT_EQ(found->asString("Address2"), "");
    EXPECT_TRUE(cfg.open(companyConfig, {{"GetName", "OTHER"}})->isEmpty());

    const QStringList company{
        "SELECT ID,CODE, PASSWORD, NAMETHAI, NAMEENG, SHORTNAME, ",
        "  ADDRESS1, ADDRESS2, ADDRESS3, ADDRESS4, PROVINCE, ZIP, ",
        "  TELEPHONE, FAX, EMAIL, LOGO, TAXNO, RUNYEAR,FUNDNAME, Coalesce(TaxBranchHead, 'N') TaxBranchHead, "
        "Coalesce(TaxBranchCode, '') TaxBranchCode, TaxBranchName",
        "FROM COMPANY",
        "Where (Id = (Select Distinct Company From DatabaseList Where DatabaseName = :GetName))"};
    auto row = cfg.open(company, {{"GetName", "acme"}});
    ASSERT_EQ(row->recordCount(), 1);
    EXPECT_EQ(row->asString("TaxNo"), "0105550000001");
    EXPECT_EQ(row->asString("TaxBranchHead"), "N");

    const QStringList user{
        "select fullname,languageno,EditSalePrice,Approve_Quo,Approve_SO,Approve_IV,Approve_PO, Approved_PORQ,",
        "       ApproveTranWH,ApproveTranBranch,ApproveWorkOrder,CanSeeCost,CanSeeSalePrice,CanModifyCusSale,",
        "       Approve_PreIs, CanModifyCusSale, ApproveCustomerDropUse, ApproveCustomerDropCredit,",
        "       CanModifyCredit, CanSetProductBlock, CanSetProductMinus, CanSaleCreditOnReturnCheque",
        "from  username",
        "where id=:uid",
        " ",
        " ",
        " "};
    auto somchai = cfg.open(user, {{"uid", 1}});
    ASSERT_EQ(somchai->recordCount(), 1);
    EXPECT_EQ(somchai->asString("FullName"), QStringLiteral("สมชาย ใจดี"));
    EXPECT_EQ(somchai->asString("CanSeeCost"), "Y");
    EXPECT_EQ(somchai->asString("CanSeeSalePrice"), "N") << "a right not granted reads N, never Y";
    EXPECT_EQ(cfg.open(user, {{"uid", 2}})->asInteger("LanguageNo"), 1) << "new users get Thai captions";
}

TEST_F(ConfigDatabase, ProgramMenuVersionScriptsRunTwice)
{
    registerCompanyAndUser();
    const QStringList afterConnect{
        "If (Not Exists(Select Name From SysColumns",
        "               Where Id = (Select Id From SysObjects Where Ltrim(Rtrim(Upper(Name))) = 'MENU') And",
        "                     Ltrim(Rtrim(Upper(Name)))='VERSION'))",
        "  Begin",
        "    Alter Table Menu Add Version Integer",
        "  End",
        "/",
        "Update Menu Set Version = 3 Where Version Is Null And Command Is Not Null",
        "/"};
    for (int run = 0; run < 2; ++run) {
        db::Script(cfg.alias(), afterConnect).execute();
        EXPECT_EQ(columnsOf(cfg, "Menu"), (QStringList{"Id", "Description", "Command", "MenuOption", "Version"}));
    }
    EXPECT_EQ(cfg.rows("Select Id, Version From Menu Order By Id"), (QStringList{"55|3", "56|3", "57|<null>"}));

    // The version check raises every entry of the same program.
    cfg.exec(QStringList{"Update Menu Set Version = :GetVersion",
                         "Where (Coalesce(Version, 0) < :GetVersion)",
                         "      And(LTrim(RTrim(Coalesce(Command, ''))) <> '')",
                         "      And(Upper(LTrim(RTrim(Coalesce(Command, '')))) = (Select Upper(LTrim(RTrim(Coalesce("
                         "Command, '')))) From Menu Where Id = :MenuId))"}
                 .join('\n'),
             {{"GetVersion", 5}, {"MenuId", 55}});
    EXPECT_EQ(cfg.rows("Select Id, Version From Menu Order By Id"), (QStringList{"55|5", "56|3", "57|<null>"}));
}

TEST_F(ConfigDatabase, MenuCaptionGivesTheUsersRightsAndNoneWithoutARightsRow)
{
    registerCompanyAndUser();
    db::StoredProc sp(cfg.alias(), QStringLiteral("MENUCAPTION"));
    sp.addParam("Result", db::ParamDirection::Result, QMetaType::Int);
    sp.addParam("@MENUID", db::ParamDirection::Input, QMetaType::Int);
    sp.addParam("@USERID", db::ParamDirection::Input, QMetaType::Int);
    for (const char* out : {"@CAPTION", "@ACCESS_R", "@ADD_R", "@MODIFY_R", "@DELETE_R", "@USERCODE"})
        sp.addParam(QLatin1String(out), db::ParamDirection::Output);
    sp.addParam("@SALESID", db::ParamDirection::Output, QMetaType::Int);

    sp.setParam("@MENUID", 55);
    sp.setParam("@USERID", 1);
    sp.execProc();
    EXPECT_EQ(sp.asString("@CAPTION"), QStringLiteral("  สอบถามราคา ")) << "the caption as stored";
    EXPECT_EQ(sp.asString("@ACCESS_R"), "Y");
    EXPECT_EQ(sp.asString("@ADD_R"), "Y");
    EXPECT_EQ(sp.asString("@MODIFY_R"), "N");
    EXPECT_EQ(sp.asString("@DELETE_R"), "N");
    EXPECT_EQ(sp.asString("@USERCODE"), "SOMCHAI ") << "trailing blanks kept";
    EXPECT_EQ(sp.asInteger("@SALESID"), 4);

    // The same user on an entry he holds no rights row for.
    sp.setParam("@MENUID", 56);
    sp.execProc();
    EXPECT_EQ(sp.asString("@CAPTION"), QStringLiteral("ขายหน้าร้าน"));
    for (const char* right : {"@ACCESS_R", "@ADD_R", "@MODIFY_R", "@DELETE_R"})
        EXPECT_EQ(sp.asString(QLatin1String(right)), "N") << right;
    EXPECT_EQ(sp.asString("@USERCODE"), "SOMCHAI ");

    // A user without a row at all, on an entry that does not exist.
    sp.setParam("@MENUID", 99);
    sp.setParam("@USERID", 99);
    sp.execProc();
    EXPECT_TRUE(sp.param("@CAPTION").isNull());
    EXPECT_EQ(sp.asString("@ACCESS_R"), "N");
    EXPECT_TRUE(sp.param("@USERCODE").isNull());
    EXPECT_EQ(sp.asInteger("@SALESID"), 0);

    // The same call as a batch with EXEC and its outputs.
    const QString batch = QStringLiteral(
        "Declare @Caption NVarChar(100), @Access Char(1), @Add Char(1), @Modify Char(1), @Delete Char(1),\n"
        "        @UserCode VarChar(20), @SalesId Int\n"
        "Exec MENUCAPTION :MenuId, :UserId, @Caption Output, @Access Output, @Add Output, @Modify Output,\n"
        "     @Delete Output, @UserCode Output, @SalesId Output\n"
        "Select LTrim(RTrim(@Caption)) Caption, @Access Access, @Add Added, @Modify Modify, @Delete Deleted,\n"
        "       @UserCode UserCode, @SalesId SalesId");
    EXPECT_EQ(cfg.rows(batch, {{"MenuId", 55}, {"UserId", 1}}),
              QStringList{QStringLiteral("สอบถามราคา|Y|Y|N|N|SOMCHAI |4")});
    EXPECT_EQ(cfg.rows(batch, {{"MenuId", 55}, {"UserId", 2}}),
              QStringList{QStringLiteral("สอบถามราคา|N|N|N|N|GUEST|<null>")});
}

TEST_F(ConfigDatabase, AddErrorLogKeepsAMessageOfAnyLengthWhole)
{
    registerCompanyAndUser();
    QString message;
    while (message.size() < 20000)
        message += QStringLiteral("Cannot insert duplicate key row ข้อมูลซ้ำ %1; ").arg(message.size());
    message.truncate(19999);
    message += QLatin1Char('!');
    const QDateTime before = QDateTime::currentDateTime().addSecs(-60);

    db::StoredProc sp(cfg.alias(), QStringLiteral("AddErrorLog"));
    sp.addParam("Result", db::ParamDirection::Result, QMetaType::Int);
    sp.addParam("@CompName", db::ParamDirection::Input);
    sp.addParam("@LogName", db::ParamDirection::Input);
    sp.addParam("@UserId", db::ParamDirection::Input, QMetaType::Int);
    sp.addParam("@MenuId", db::ParamDirection::Input, QMetaType::Int);
    sp.addParam("@ErrorMsg", db::ParamDirection::Input);
    sp.setParam("@CompName", "PC-FRONT");
    sp.setParam("@LogName", "SOMCHAI");
    sp.setParam("@UserId", 1);
    sp.setParam("@MenuId", 55);
    sp.setParam("@ErrorMsg", message);
    sp.execProc();

    // A computer name longer than its column is cut, never refused.
    cfg.exec(QStringLiteral("Exec AddErrorLog @CompName = :Comp, @LogName = :Log, @UserId = 99, @MenuId = 98, "
                            "@ErrorMsg = :Msg"),
             {{"Comp", QString(100, QLatin1Char('P'))}, {"Log", "UNKNOWN"}, {"Msg", message}});

    auto log = cfg.open(QStringLiteral("Select ErrorMsg, CompName, LogName, Menu, UserName, ErrorDate From errorlog "
                                       "Order By Id"));
    ASSERT_EQ(log->recordCount(), 2);
    EXPECT_EQ(log->asString("ErrorMsg"), message);
    EXPECT_EQ(log->asString("CompName"), "PC-FRONT");
    EXPECT_EQ(log->asInteger("Menu"), 55);
    EXPECT_GE(log->asDateTime("ErrorDate"), before);
    EXPECT_LE(log->asDateTime("ErrorDate"), QDateTime::currentDateTime().addSecs(60));
    log->next();
    EXPECT_EQ(log->asString("ErrorMsg").size(), 20000) << "unregistered user and menu are logged all the same";
    EXPECT_EQ(log->asString("CompName"), QString(64, QLatin1Char('P')));

    // The program's log listing joins only the rows it can name.
    EXPECT_EQ(cfg.rows(QStringList{"select u.code,m.description,errordate,errormsg", "from errorlog e",
                                   "inner join menu m on m.id=e.menu", "inner join username u on u.id=e.username",
                                   "order by errordate desc"}
                           .join('\n'))
                  .size(),
              1);
}

TEST_F(ConfigDatabase, KeysRefuseWhatWouldBreakTheRights)
{
    registerCompanyAndUser();
    EXPECT_EQ(cfg.errorOf("Insert Into username (Code) Values ('somchai')"),
              "Cannot insert duplicate key row in object 'dbo.username' with unique index 'UQ_username_Code'.")
        << "codes compare without regard to case or trailing blanks";
    EXPECT_TRUE(cfg.errorOf("Insert Into UserRight (UserName, Menu, Access_R) Values (9, 55, 'Y')")
                    .contains("FOREIGN KEY constraint"))
        << "rights of a user who does not exist";
    EXPECT_TRUE(cfg.errorOf("Delete From Menu Where Id = 55").contains("\"FK_UserRight_Menu\""));
    EXPECT_TRUE(cfg.errorOf("Insert Into UserRight (UserName, Menu) Values (1, 55)")
                    .startsWith("Violation of PRIMARY KEY constraint 'PK_UserRight'"));
    EXPECT_TRUE(cfg.errorOf("Insert Into DatabaseList (DatabaseName, Company) Values ('OTHER', 9)")
                    .contains("\"FK_DatabaseList_Company\""));
    EXPECT_TRUE(cfg.errorOf("Insert Into DatabaseList (DatabaseName, Company) Values ('acme', 1)")
                    .startsWith("Violation of PRIMARY KEY constraint 'PK_DatabaseList'"))
        << "a database belongs to one company";
    EXPECT_FALSE(cfg.errorOf("Insert Into softwareconfig (Id) Values (2)").isEmpty()) << "one settings row";
    EXPECT_EQ(cfg.errorOf("Delete From Menu Where Id = 57"), "") << "an entry nobody holds rights on can go";
}

// ---------------------------------------------------------------- business database

// The program's business schema script, as it runs it before its version
// check: every statement guarded, so that a rerun changes nothing.
QStringList programSchemaScript()
{
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
    const char* serialColumns[] = {"CheckSerialPurc", "CheckSerialSale", "CheckSerialStock", "CheckSerialOnhand"};
    for (const char* column : serialColumns) {
        script << QStringLiteral("If Not exists (select Id from SysColumns Where Name = '%1' And Id = (select Id From "
                                 "SysObjects Where Name = 'Product'))")
                      .arg(QLatin1String(column))
               << QStringLiteral("  Alter Table Product Add %1 CharFlag").arg(QLatin1String(column)) << "/";
    }
    for (const char* column : serialColumns)
        script << QStringLiteral("Update Product Set %1 =  UseSerial Where %1 Is Null").arg(QLatin1String(column))
               << "/";
    script << "If Not exists (select Id from SysColumns Where Name = 'ProductFree' And Id = (select Id From SysObjects "
              "Where Name = 'Product'))"
           << QStringLiteral("  Alter Table Product Add ProductFree CharFlag   -- สามารถขายราคา 0 ได้ หรือไม่ (ของแถม)")
           << "/"
           << "If Not Exists (Select Id From SysColumns Where Name = 'ShowProductPriceList' And Id = (Select Id From "
              "SysObjects Where Name = 'Config'))"
           << "   Alter Table Config Add ShowProductPriceList CharFlag Null"
           << "/";
    return script;
}

class BusinessDatabase : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QStringList batches = scriptBatches(QStringLiteral("sql/business.sql"));
        const ScriptRun run = runScript(biz.connection(), batches);
        ASSERT_EQ(run.error, QString()) << "batch " << run.batchesRun + 1;
        ASSERT_EQ(run.batchesRun, batches.size());
    }

    // A small company: one customer who buys, one product in two units,
    // prices, stock, documents of every kind. Ids are given out from 1 in the
    // order of the inserts; the comments name them.
    void seed()
    {
        biz.exec(QStringLiteral(R"(
Insert Into Tax (Code, Rate) Values ('V7', 7)
Insert Into Warehouse (Code, Name) Values ('MAIN', N'คลังใหญ่')
Insert Into Warehouse (Code, Name) Values ('SHOP', N'หน้าร้าน')
Insert Into Warehouse (Code, Name, IsLocation) Values ('RMA', N'ของเสีย', 'Y')
Insert Into Misc (GroupCode, Code, Description) Values ('PRICETYPE', 'RETAIL', N'ราคาขายปลีก')
Insert Into Misc (GroupCode, Code, Description) Values ('PRICETYPE', 'WHOLE', N'ราคาขายส่ง')
Insert Into Misc (GroupCode, Code, Description) Values ('CITY', 'BKK', N'กรุงเทพฯ')
Insert Into Misc (GroupCode, Code, Description) Values ('DEPARTMENT', 'SALE', N'ฝ่ายขาย')
Insert Into Misc (GroupCode, Code, Description) Values ('PTYPE', 'DRINK', N'เครื่องดื่ม')
Insert Into Misc (GroupCode, Code, Description) Values ('PGROUP', 'G1', N'กลุ่มหนึ่ง')
Insert Into Salesman (Code, Name, Surname, Department) Values ('S01', N'สมศรี', N'ขายดี', 4)
Insert Into Customer (Code, Name, Address1, Province, Salesman, PhoneNo) Values ('C001', N'ร้านสมใจ', N'1 ถนนหนึ่ง', 3, 1, '02-111-2222')
Insert Into Customer (Code, Name, Province, Salesman) Values ('C0010', N'ร้านสมใจ สาขา 2', 3, 1)
Insert Into Vendor (Code, Name) Values ('V01', N'โรงงานน้ำ')
Insert Into productgroup (Code, Description, ProductType) Values ('0', N'ทั่วไป', 'P')
Insert Into Product (Code, ThaiName, TaxCode, DefaultWh, UseSerial, PType, PGroup, ProductGroup, Picture1)
  Values ('A100', N'น้ำดื่ม 600 มล.', 1, 1, 'Y', 5, 6, 1, 'a100.jpg')
Insert Into Product (Code, ThaiName, TaxCode, DefaultWh) Values ('A1001', N'น้ำดื่มแพ็ค', 1, 1)
-- units 1 bottle (small), 2 dozen (stock) of product 1; 3 pack of product 2
Insert Into ProductUnits (Product, UnitName, Fraction, BarCode, SaleFlag, PurcFlag, StockUnitFlag, SmallUnitFlag, PurcPrice)
  Values (1, N'ขวด', 1, '8850001000011', 'Y', 'Y', 'N', 'Y', 5)
Insert Into ProductUnits (Product, UnitName, Fraction, BarCode, SaleFlag, PurcFlag, StockUnitFlag, SmallUnitFlag, PurcPrice)
  Values (1, N'โหล', 12, '8850001000028', 'Y', 'Y', 'Y', 'N', 55)
Insert Into ProductUnits (Product, UnitName, Fraction, SaleFlag, PurcFlag, StockUnitFlag, SmallUnitFlag, PurcPrice)
  Values (2, N'แพ็ค', 1, 'Y', 'Y', 'Y', 'Y', 60)
Insert Into ProductPrice (Product, ProductUnits, PriceType, Price) Values (1, 1, 1, 15)
Insert Into ProductPrice (Product, ProductUnits, PriceType, Price) Values (1, 2, 1, 170)
Insert Into ProductPrice (Product, ProductUnits, PriceType, Price) Values (1, 2, 2, 160)
Insert Into customerproductprice (Customer, Product, ProductUnits, Price, Quantity, Discount) Values (1, 1, 2, 150, 6, '5%')
Insert Into CustomerProductPriceProject (Customer, Project, Product, ProductUnits, Price, Discount) Values (1, 7, 1, 2, 140, '2%')
Insert Into promotion_dt (Product, ProductUnits, PriceType, StartDate, StopDate, Price, DiscPercent)
  Values (1, 2, 1, '20260101', '20261231', 155, '3')
Insert Into productonhand (Product, ProductUnits, Warehouse, BalanceYear, Quantity) Values (1, 1, 1, 2026, 30)
Insert Into productonhand (Product, ProductUnits, Warehouse, BalanceYear, Quantity) Values (1, 1, 2, 2026, -2)
Insert Into LotNo (Code, Description, ExpiredDate) Values ('LOT-B', N'ล็อตบี', '20260630')
Insert Into LotOnHand (Product, LotNo, Warehouse, BalanceYear, Quantity) Values (1, 1, 1, 2025, 4)
Insert Into PartSource (Product, ProductUnits, Vendor, PurchaseCode, PurchaseName, Price) Values (1, 2, 1, 'W-12', N'น้ำโหล', 50)
Insert Into ProdAttrGroup (Code, Description) Values ('SZ', N'ขนาด')
Insert Into ProdAttrCode (ProdAttrGroup, Code, Description) Values (1, 'L', N'ใหญ่')
Insert Into ProductAttribute (Product, ProdAttrCode, GroupCode) Values (1, 1, 'SZL')
Insert Into productattr (Product, ProdAttrGroup, ProdAttrCode) Values (1, 1, 1)
Insert Into CusAttrGroup (Code, Description) Values ('AR', N'เขต')
Insert Into CusAttrCode (CusAttrGroup, Code, Description) Values (1, 'N', N'เหนือ')
Insert Into CustomerAttribute (Customer, CusAttrCode, GroupCode) Values (1, 1, 'ARN')
Insert Into ProductInFo (Product, Misc, MemoDesc) Values (1, 5, N'ขวด PET')
Update WorkId Set Material = 5, Model = 6
Insert Into ProductonhandMFG (Product, Onhand) Values (1, N'2 (โหล) 6 (ขวด)')
Insert Into PoHd (PoNo, PoDate, Vendor) Values ('PO001', '20260301', 1)
Insert Into PoDt (PoHd, Product, ProductUnits, Quantity, Fraction, Price, Total) Values (1, 1, 2, 10, 12, 52, 520)
Insert Into MrHd (MrNo, MrDate, Vendor) Values ('MR001', '20260310', 1)
Insert Into MrDt (MrHd, Product, ProductUnits, PoDt, Quantity, Fraction, Price, Total) Values (1, 1, 2, 1, 4, 12, 52, 208)
Insert Into MrHd (MrNo, MrDate, Vendor, Delflag) Values ('MR002', '20260320', 1, 'Y')
Insert Into MrDt (MrHd, Product, ProductUnits, Quantity, Fraction, Price, Total) Values (2, 1, 2, 1, 12, 99, 99)
Insert Into SoHd (SoNo, SoDate, Customer) Values ('SO001', '20260405', 1)
Insert Into SoDt (SoHd, Product, ProductUnits, Quantity, Fraction, Price, Total) Values (1, 1, 2, 5, 12, 170, 850)
Insert Into IvHd (IvNo, IvDate, Customer) Values ('IV001', '20260401', 1)
Insert Into IvDt (IvHd, Product, ProductUnits, Quantity, Fraction, Price, Total) Values (1, 1, 2, 2, 12, 170, 340)
Insert Into PosHd (PosNo, PosDate, Customer) Values ('P001', '20260402', 2)
Insert Into PosDt (PosHd, Product, ProductUnits, Quantity, Price, Total) Values (1, 1, 1, 3, 15, 45)
Insert Into PosHeader (PosNo, PosDate, Customer) Values ('H001', '20260403', 1)
Insert Into PosDetail (PosHeader, Product, ProductUnits, Quantity, Price, Total) Values (1, 2, 3, 1, 60, 60)
Insert Into BomHd (Code, Product, ProductUnits, Quantity) Values ('BOM-A100', 1, 2, 1)
Insert Into WorkOrderHd (WorkOrderNo, WorkDate, Customer, SoHd, FinishedGoods, ProductUnits, Quantity, BomHd)
  Values ('WO001', '20260410', 1, 1, 1, 2, 4, 1)
Insert Into MFGFinishDt (WorkOrderHd, Product, ProductUnits, Quantity, Fraction) Values (1, 1, 1, 12, 1)
Insert Into projectitemhd (Project, Code) Values (7, 'IT-1')
Insert Into accountchart (Code, Name) Values ('1100', N'เงินสด')
Insert Into accountinterface (Code, Description, AccountChart) Values ('CASH', N'รับเงินสด', 1)
)"));
    }

    EmbeddedDb biz{QStringLiteral("DMDATA"), QStringLiteral("ACME")};
};

TEST_F(BusinessDatabase, ScriptInstallsEveryObjectAndASecondRunStopsAtItsFirstBatch)
{
    EXPECT_EQ(catalogNames(biz, "V"), QStringList{"ProductView"});
    EXPECT_EQ(catalogNames(biz, "P"), (QStringList{"CreateSerialNo", "NewDocumentNo", "ServerTime", "UserAddLog"}));
    EXPECT_EQ(biz.rows("SELECT   *\nFROM Config").size(), 1);
    EXPECT_EQ(biz.rows("Select 0 SalesId, 0 ProvinceId\nFrom NullTable"), QStringList{"0|0"});
    EXPECT_FALSE(columnsOf(biz, "Product").contains("ProductFree", Qt::CaseInsensitive)) << "the program adds it";
    EXPECT_FALSE(columnsOf(biz, "Config").contains("ShowProductPriceList", Qt::CaseInsensitive));

    const ScriptRun again = runScript(biz.connection(), scriptBatches(QStringLiteral("sql/business.sql")));
    EXPECT_EQ(again.batchesRun, 0);
    EXPECT_EQ(again.error, "There is already an object named 'NullTable' in the database.");
    EXPECT_EQ(biz.rows("Select Id From NullTable"), QStringList{"1"}) << "nothing ran after the refusal";
}

TEST_F(BusinessDatabase, ProgramSchemaScriptAndVersionCheckRunTwice)
{
    seed();
    biz.exec(QStringLiteral("Update Product Set UseSerial = Null Where Code = 'A1001'"));
    for (int run = 0; run < 2; ++run) {
        db::Script(biz.alias(), programSchemaScript()).execute();
        const QStringList product = columnsOf(biz, "Product");
        for (const char* added : {"CheckSerialPurc", "CheckSerialSale", "CheckSerialStock", "CheckSerialOnhand",
                                  "ProductFree"})
            EXPECT_EQ(product.count(QLatin1String(added)), 1) << added;
        EXPECT_TRUE(columnsOf(biz, "Config").contains("ShowProductPriceList"));
        EXPECT_EQ(biz.rows("Select Code, CheckSerialPurc, CheckSerialOnhand From Product Order By Code"),
                  (QStringList{"A100|Y|Y", "A1001|<null>|<null>"}));
    }
    // The view keeps its columns when Product grows.
    EXPECT_EQ(biz.scalar("Select ThaiName From ProductView Where Code = 'A100'"), QStringLiteral("น้ำดื่ม 600 มล."));

    // The setup row reads every column the program asks for by name.
    auto setup = biz.open(QStringList{"SELECT   *", "FROM Config"});
    ASSERT_EQ(setup->recordCount(), 1);
    for (const char* column : {"OnhandDecimal", "UnitLeft", "UnitRight", "DisplayFraction", "SearchProductNo",
                               "SearchProductMethod", "ShowLastSearch", "PicturePath", "RunYear", "IvRefSO",
                               "MrRefPO", "EditPricePO", "ShowProductPriceList"})
        EXPECT_TRUE(setup->hasField(QLatin1String(column))) << column;
    EXPECT_EQ(setup->asString("UnitLeft") + "x" + setup->asString("UnitRight"), "(x)");
    EXPECT_EQ(setup->asInteger("RunYear"), QDate::currentDate().year());

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
    EXPECT_EQ(biz.open(versionCheck, {{"ProgramExe", "PRICE.EXE"}, {"Version", 4}})->asInteger("VersionExe"), 4);
    EXPECT_EQ(biz.open(versionCheck, {{"ProgramExe", "PRICE.EXE"}, {"Version", 2}})->asInteger("VersionExe"), 4);
}

TEST_F(BusinessDatabase, EveryProgramStatementRunsOnTheSchema)
{
    seed();
    db::Script(biz.alias(), programSchemaScript()).execute();
    const int year = 2026;

    // The product and service search's opening lines by layout, then its
    // filters (every one of them at once).
    const QStringList serviceFilters{
        "Where (P.Code Like 'A%') And (P.ThaiName Like '%" + QStringLiteral("น้ำ") + "%')",
        "And (P.Blocked <> 'Y')",
        "And (P.MasterCode ='N') ",
        "And (P.ProductType <> 'S') And (ProductType <> 'M')",
        "And (P.Size_W = 0)",
        "And (P.PType = 5)",
        "And (P.PGroup = 6)",
        "And (P.Id In (Select Product From ProductAttribute Where (GroupCode Between 'SZA' And 'SZZ')))",
        " And (P.productgroup = (select id from productgroup where code='0' and producttype<>'S'))",
        "Order By P.Code"};
    const QStringList layoutsSixToEightHead{
        "select P.id,p.code,p.thainame,P.ProductType, P.Picture1, P.TechNicName1, P.TechNicName2, P.Remark, ",
        "       Coalesce(o.onhand, ' ' + (Select Top 1 UnitName From ProductUnits Where Product = P.Id and "
        "Fraction=1)) Onhand, Coalesce(O.WorkOrderOH,'') WorkOrderOH, Coalesce(O.PreIsQty,'')PreIsQty,  ",
        "       Coalesce(O.WKIsQty,'')WKIsQty, Coalesce(O.OH_WKIsQty,'')OH_WKIsQty, ",
        "       (Ltrim(Rtrim(Convert(Char(28),(Convert(Decimal(28,2),BackOrder)))))  ",
        "       ) + ' ' + (Select Top 1 UnitName From ProductUnits Where Product = P.Id And SmallUnitFlag = 'Y') "
        "Backorder, ",
        "       (Ltrim(Rtrim(Convert(Char(28),(Convert(Decimal(28,2),Coalesce(Bs.BackSendOrder,0)))))) ",
        "       ) + ' ' + (Select Top 1 UnitName From ProductUnits Where Product = P.Id And SmallUnitFlag = 'Y') "
        "BackSendOrder ",
        "       ,P.Remark ProdRemark ",
        "from product p",
        "left join ProductonhandMFG o on o.product=p.id",
        "Left Join (select M.Product, Sum(M.BackOrder) BackOrder",
        "           From( "};
    const QStringList layoutsSixToEightOrders{
        "                 Select S.Product, (S.Quantity * S.Fraction) BackOrder",
        "                 From SoDt S",
        "                 Where (S.Clear <> 'Y')",
        "                 Union All",
        "                 Select V.Product, -(V.Quantity * V.Fraction) BackOrder",
        "                 From IvDt V",
        "                 Inner Join Ivhd H On (H.Id = V.Ivhd) ",
        "                 Where (H.IvType = 'B') And V.SoDt = (select S.Id from SoDt S Where S.Clear <> 'Y' And S.Id = "
        "V.SoDt)",
        "                 Union All",
        "                 Select V.Product, -(V.Quantity * V.Fraction) BackOrder",
        "                 From IvDt V",
        "                 Inner Join Ivhd H On (H.Id = V.Ivhd) ",
        "                 Where (H.IvType <> 'B') And (Coalesce(IvDtB,0) = 0) And V.SoDt = (select S.Id from SoDt S "
        "Where S.Clear <> 'Y' And S.Id = V.SoDt)"};
    const QStringList layoutNineOrders{
        "                 Select 1 T, S.Product, (S.Quantity * S.Fraction) BackOrder",
        "                 From SoDt S",
        "                 Union All",
        "                 Select 2 T, V.Product, (V.Quantity * V.Fraction) BackOrder",
        "                 From IvDt V",
        "                 Inner Join Ivhd H On (H.Id = V.Ivhd) ",
        "                 Where (H.NotCutStock = 'Y') And Coalesce(V.SoDt,0) = 0",
        "                 Union All",
        "                 Select 3 T, V.Product, -(V.Quantity * V.Fraction) BackOrder",
        "                 From IvDt V",
        "                 Inner Join Ivhd H On (H.Id = V.Ivhd) ",
        "                 Where (H.NotCutStock = 'N') And ((Coalesce(V.SoDt,0) > 0) Or (Coalesce(V.IvDtB,0) > 0))"};
    const QStringList layoutsSixToNineTail{
        "               ) As M",
        "           Group By M.Product    ",
        "           ) As B On (B.Product = P.Id)",
        "Left Join (select Bs.Product, Sum(Bs.BackSendOrder) BackSendOrder ",
        "           From(  ",
        "                 Select Po.Product, (Po.Quantity * Po.Fraction) BackSendOrder   ",
        "                 From PoDt Po  ",
        "                 Where (Po.Clear <> 'Y') ",
        "                 Union All          ",
        "                 Select D.Product, -(D.Quantity * D.Fraction) BackSendOrder  ",
        "                 From MrDt D  ",
        "                 Inner Join Mrhd H On (H.Id = D.Mrhd)  ",
        "                  Where D.PoDt = (select Po.Id from PoDt Po Where PO.Clear <> 'Y' And Po.Id = D.PoDt)  ",
        "                ) As Bs       ",
        "           Group By Bs.Product  ",
        "           ) As Bs On (Bs.Product = P.Id)     "};

    const std::vector<Statement> statements{
        // Business data module.
        {"setup row", {"SELECT   *", "FROM Config"}, {}},
        {"accounting periods", {"select  * ", "from accountperiod", "order by accountyear desc"}, {}},
        {"QUnitFraction",
         {"SELECT U.UnitName LUnit, U.Fraction, M.UnitName SUnit, U.Product IdProd", "FROM ProductUnits U",
          "Inner Join ProductUnits M On ((U.Product = M.Product) And (M.SmallUnitFlag = 'Y'))",
          "Where (U.Id = :GetUnit)"},
         {{"GetUnit", 2}}},
        {"QNewId", {"SELECT @@IDENTITY AS 'New_Id'"}, {}},
        {"QProvince", {"Select Id, Code, Description, GroupCode From Misc Where GroupCode = 'CITY' Order By Code"}, {}},
        {"QTax", {"Select Id, Code, Rate From Tax Order By Code"}, {}},
        {"QTaxRate", {"Select Rate From Tax Where Id = :GetCode"}, {{"GetCode", 1}}},
        {"QSalesman", {"Select Id, Code, Name From Salesman Order By Code"}, {}},
        {"QDocumentNo",
         {"Select Prefix, LastNo, DocumentLength, AutoRun From DocumentNo",
          "Where (DocCode = :GetCode) And (DocYear = :GetYear)"},
         {{"GetCode", "IV"}, {"GetYear", year}}},
        {"QDocConvert",
         {"Select D.Prefix, D.LastNo, D.DocumentLength, D.AutoRun From DocNoConvert C",
          "Inner Join DocumentNo D On (D.DocCode = C.ConvertCode)",
          "Where (C.DocCode = :GetCode) And (D.DocYear = :GetYear)"},
         {{"GetCode", "IV"}, {"GetYear", year}}},
        {"QAcID", {"Select AccountChart From accountinterface Where Id = :inputid"}, {{"inputid", 1}}},

        // Product checks.
        {"QChkProduct",
         {"SELECT P.Id, P.Code, P.ThaiName, P.EngName, P.PosName, P.ProductType,P.PriceIE ,P.PrintFrac,",
          "  P.UseSerial, P.LotControl, P.TaxCode, P.DefaultWh, P.PriceByVolumn,P.Discount,W.flagin,w.flagout,",
          "  P.VolumnUnit, T.Rate TaxRate, W.Code WhCode, W.Name WhName,P.Blocked,P.Negative, "
          "Coalesce(P.ProductFree,'N')ProductFree,",
          "  P.Size_W,P.Size_L,P.Size_H,P.CartonsUnits,P.Cartons,P.NetWeight,P.GrossWeight, P.ProductDesc, "
          "Coalesce(P.CheckSerialPurc,'N')CheckSerialPurc, Coalesce(P.CheckSerialSale,'N')CheckSerialSale, "
          "Coalesce(P.CheckSerialStock,'N')CheckSerialStock,  Coalesce(P.CheckSerialOnhand,'N')CheckSerialOnhand, "
          "Coalesce(P.PerDiscountOver,0)PerDiscountOver",
          "FROM Product P", "INNER JOIN Tax T On (T.Id = P.TaxCode)", "INNER JOIN Warehouse W On (W.Id = P.DefaultWh)",
          "WHERE (P.Code = :GetCode) AND (Coalesce(P.Blocked,'N') <> 'Y')  And (Coalesce(P.MasterCode,'N')<>'Y')",
          "/*     And  (ProductType <> 'S') And (P.ProductType <> 'M') */", "/* ห้ามย้ายบรรทัด */", " ", " ", " ",
          " ", " ", " ", " "},
         {{"GetCode", "A100"}}},
        {"QSpecialName",
         {"Select P.Id, P.Code,", "       ltrim(rtrim(P.ThaiName)) ThaiName,", "       P.Remark, P.ProductType ,P.Picture1 ",
          "From ProductView P", "WHERE (P.Code = :GetCode) AND (P.Blocked <> 'Y') "},
         {{"GetCode", "A100"}}},
        {"QChkUnit",
         {"SELECT Id, UnitName, Fraction, VolumnFraction,BarCode,PurcPrice,LabourCost", "From ProductUnits",
          "Where (Product = :GetProduct) And (UnitName = :GetUnit) And",
          "  ((SaleFlag Like :SaleUnit) Or (PurcFlag Like :PurcUnit) Or",
          "   (SmallUnitFlag Like :SmallUnit) Or (StockUnitFlag Like :StockUnit))"},
         {{"GetProduct", 1}, {"GetUnit", QStringLiteral("โหล")}, {"SaleUnit", "Y%"}, {"PurcUnit", "X%"},
          {"SmallUnit", "X%"}, {"StockUnit", "X%"}}},
        {"QChkLotNo", {"SELECT Id, Code, HasExpired, ExpiredDate", "FROM LotNo", "WHERE (Code = :GetCode)"},
         {{"GetCode", "LOT-B"}}},
        {"QChkProjectItemCode", {"select id,code", "from projectitemhd", "where project=:projectid and code=:code"},
         {{"projectid", 7}, {"code", "IT-1"}}},
        {"QChkLotOnHand",
         {"SELECT Sum(L.Quantity) LotQnty", "FROM LotOnHand L", "WHERE (L.Product = :GetProduct) And",
          "  (L.LotNo = :GetLotNo) And (L.BalanceYear <= :GetYear) And (L.Warehouse = :GetWarehouse)"},
         {{"GetProduct", 1}, {"GetLotNo", 1}, {"GetYear", year}, {"GetWarehouse", 1}}},
        {"QChkSerial", {"SELECT Id, Serial, OnHand", "FROM SerialNo", "WHERE (Product = :GetProduct) And (Serial = :GetSerial)"},
         {{"GetProduct", 1}, {"GetSerial", "SN-1"}}},
        {"QChkWarehouse", {"SELECT W.Id, W.Code, W.Name,W.islocation", "FROM WareHouse W", "WHERE (W.Code = :GetCode)"},
         {{"GetCode", "MAIN"}}},
        {"QDefaultUnit",
         {"SELECT U.Id, U.UnitName, U.Fraction, U.BarCode, U.VolumnFraction,U.PurcPrice", "FROM ProductUnits U",
          "WHERE (U.Product = :GetId) And", "  (U.SaleFlag Like :SaleUnit) And (U.PurcFlag Like :PurcUnit) And",
          "  (U.SmallUnitFlag Like :SmallUnit) And (U.StockUnitFlag Like :StockUnit)", "Order By U.Fraction"},
         {{"GetId", 1}, {"SaleUnit", "Y%"}, {"PurcUnit", "%"}, {"SmallUnit", "%"}, {"StockUnit", "%"}}},
        {"QStockUnit",
         {"SELECT U.Id, U.UnitName, U.Fraction, U.BarCode, U.VolumnFraction", "FROM ProductUnits U",
          "WHERE (U.Product = :GetId) And (U.StockUnitFlag='Y')"},
         {{"GetId", 1}}},
        {"QSmallUnit",
         {"SELECT U.Id, U.UnitName, U.Fraction, U.BarCode, U.VolumnFraction", "FROM ProductUnits U",
          "WHERE (U.Product = :GetId) And (U.SmallUnitFlag='Y')"},
         {{"GetId", 1}}},
        {"QChkProdAttrCode",
         {"SELECT C.Id, C.ProdAttrGroup, C.Code, C.Description", "FROM ProdAttrCode C",
          "WHERE (C.prodAttrGroup = :GetGroup) And (C.Code = :GetCode)"},
         {{"GetGroup", 1}, {"GetCode", "L"}}},
        {"QChkBarCode",
         {"Select U.Id, U.BarCode, U.Fraction, U.UnitName,", "  U.PurcFlag, U.SaleFlag, U.SmallUnitFlag, U.StockUnitFlag,",
          "  P.Id ProductId, P.Code, P.ThaiName, P.EngName, P.PosName, ", "  P.UseSerial, P.LotControl, P.TaxCode, P.DefaultWh, ",
          "  U.PurcPrice, U.LabourCost,", "  T.Rate TaxRate, ", "  W.Code WhCode, W.Name WhName,",
          "  (Select Pp.Price from ProductPrice Pp Where pp.ProductUnits = U.Id And pp.PriceType = 19) price, "
          "Coalesce(P.PerDiscountOver,0)PerDiscountOver",
          "From ProductUnits U", "Inner Join Product P On (P.Id = U.Product)", "Inner Join Tax T On (T.Id = P.TaxCode)",
          "Inner Join Warehouse W On (W.Id = P.DefaultWh)",
          "Where (U.BarCode = :GetCode) AND (P.Blocked <> 'Y') And (U.BarCode Is Not Null)"},
         {{"GetCode", "8850001000028"}}},
        {"QPriceStandard", {"Select PurcPrice,LabourCost", "From ProductUnits", "Where (Id = :GetId)"}, {{"GetId", 2}}},
        {"QExistsPartSource",
         {"SELECT Id, Price, PurchaseCode, PurchaseName, DiscountStr,", "  lastprice, lastdoccode, lastdocno, lastdate",
          "FROM PartSource", "Where (ProductUnits = :GetId) And (Vendor = :GetVId)"},
         {{"GetId", 2}, {"GetVId", 1}}},
        {"QChkPartSource",
         {"Select V.Id, V.Product, V.ProductUnits, ", "  V.PurchaseCode, V.PurchaseName,",
          "  P.Code, P.ThaiName, U.UnitName, U.Fraction, U.BarCode", "From PartSource V",
          "Inner Join Product P On (P.Id = V.Product)", "Inner Join ProductUnits U On (U.Id = V.ProductUnits)",
          "Where (V.PurchaseCode = :GetCode) And (V.Vendor = :GetVId)"},
         {{"GetCode", "W-12"}, {"GetVId", 1}}},

        // Prices.
        {"QProductPrice",
         {"SELECT Price", "FROM ProductPrice",
          "Where (Product = :GetProduct) And (ProductUnits = :GetUnits) And (PriceType = :GetType)"},
         {{"GetProduct", 1}, {"GetUnits", 2}, {"GetType", 1}}},
        {"QStockUnitPrice",
         {"SELECT P.Price,U.Fraction,U.Id", "FROM ProductPrice P",
          "Inner Join ProductUnits U On (U.Product=P.Product) And (U.StockUnitFlag='Y') And (U.Id=P.ProductUnits)",
          "Where (P.Product = :GetProduct)  And (P.PriceType = :GetType) "},
         {{"GetProduct", 1}, {"GetType", 1}}},
        {"QCustomerProductPrice",
         {"select price,quantity,discount", "from customerproductprice",
          "where customer=:cid and product=:pid and productunits=:uid"},
         {{"cid", 1}, {"pid", 1}, {"uid", 2}}},
        {"QPromotion",
         {"select price,discpercent", "from promotion_dt",
          "where product=:pid and productunits=:uid and pricetype=:tid and customer=:cid",
          "           and (:pdate between startdate and stopdate)", "order by id desc"},
         {{"pid", 1}, {"uid", 2}, {"tid", 1}, {"cid", 0}, {"pdate", QDate(year, 6, 1)}}},
        {"QProjectPrice",
         {"select price,discount", "from CustomerProductPriceProject",
          "where product=:pid and productunits=:uid and customer=:cid", "           and project=:projectid"},
         {{"pid", 1}, {"uid", 2}, {"cid", 1}, {"projectid", 7}}},
        {"QPriceVendor", {"select price", "from partsource", "where (product = :pid) and (vendor = :vid) and (productunits = :uid)"},
         {{"pid", 1}, {"vid", 1}, {"uid", 2}}},

        // Stock quantities.
        {"QOnhandWHunits",
         {"select coalesce(sum(o.quantity),0) qnty , ",
          "           (select fraction     from productunits where product=:pid and stockunitflag='Y') stockunitfrac,",
          "           (select unitname from productunits where product=:pid and stockunitflag='Y') stockunitname,",
          "           (select fraction    from productunits where product=:pid and smallunitflag='Y') smallunitfrac,",
          "           (select unitname from productunits where product=:pid and smallunitflag='Y') smallunitname",
          "from productonhand o", "inner join warehouse w on w.id=o.warehouse",
          "where (o.product = :pid) and (o.productunits=:uid) and (o.balanceyear = :yid) and (o.warehouse = :wid) and "
          "(w.code<>'RMA')"},
         {{"pid", 1}, {"uid", 1}, {"yid", year}, {"wid", 1}}},
        {"QShowQnty",
         {"select (select fraction     from productunits where product=:pid and stockunitflag='Y') stockunitfrac,",
          "           (select unitname from productunits where product=:pid and stockunitflag='Y') stockunitname,",
          "           (select fraction    from productunits where product=:pid and smallunitflag='Y') smallunitfrac,",
          "           (select unitname from productunits where product=:pid and smallunitflag='Y') smallunitname",
          "from product o", "where (o.id = :pid) "},
         {{"pid", 1}}},

        // Inquiry window.
        {"QCustomer", {"Select C.Id,C.Code,C.Name From Customer C", "Where (C.Code Like 'C00%')", "Order By C.Code"}, {}},
        {"QProduct",
         {"Select P.Id,P.Code,P.ThaiName,P.Picture1,P.Picture2,P.Picture3, ",
          "       Picture1Desc,Picture2Desc,Picture3Desc,Year(GetDate()) InputYear ", "From Product P ",
          "Where (Code  Like 'A10%')", "Order By P.Code"},
         {}},
        {"QUnits", {"Select Id UnitId, Product, UnitName ,Barcode,UnitDesc,PurcPrice", "From ProductUnits", "Where Product = :Id"},
         {{"Id", 1}}},
        {"QStockUnit (inquiry)", {"select id ", "from productunits", "where (product=:pid) and (stockunitflag='Y')"},
         {{"pid", 1}}},

        // Customer search and its frames.
        {"customer search",
         {"Select C.Code, C.Name, C.NameEng, LTrim(RTrim(C.Address1))+' '+LTrim(RTrim(C.Address2))+' '+"
          "LTrim(RTrim(C.Address3))+' '+P.Description Description,",
          "S.Name + '  ' + S.Surname SalesName, C.PhoneNO, C.FaxNO ", "From Customer C",
          "Inner Join Misc P On (P.Id = C.Province) And (P.Code Like 'BK%')",
          "Inner Join Salesman S On (S.Id = C.Salesman) And (S.Code Like 'S%')", "Where(C.Blocked='N' )",
          "And (C.Code Like 'C%')", "  And (C.PhoneNo Like '%111%')", "  And (C.FaxNo Like '%%')",
          "  And (C.Name Like '%" + QStringLiteral("สมใจ") + "%')", "  And (C.Nameeng Like '%%')",
          "And (C.Id In (Select Customer From CustomerAttribute Where (GroupCode Between 'ARA' And 'ARZ')))",
          "Order By P.Description"},
         {}},
        {"customer search by sales person",
         {"Select C.Code, C.Name, C.NameEng, LTrim(RTrim(C.Address1))+' '+LTrim(RTrim(C.Address2))+' '+"
          "LTrim(RTrim(C.Address3))+' '+P.Description Description,",
          "S.Name + '  ' + S.Surname SalesName, C.PhoneNO, C.FaxNO ", "From Customer C",
          "Inner Join Misc P On (P.Id = C.Province) And (P.Code Like '%')",
          "Inner Join Salesman S On (S.Id = C.Salesman) And (S.Code Like '%')", "Where(C.Blocked<>'Z' )",
          "Order By S.SalesName"},
         {}},
        {"QCusAttrGroup",
         {"SELECT G.Id, G.Code, G.Description,", "  C.Id BeginAttrId, C.Code BeginAttrCode,",
          "  C.Id EndAttrId, C.Code EndAttrCode,", "  G.Code + C.Code BeginGroupCode,", "  G.Code + C.Code EndGroupCode",
          "FROM CusAttrGroup G", "Left Outer Join CusAttrCode C On (C.CusAttrGroup = G.Id) And (C.Id = 0)",
          "ORDER By G.Description"},
         {}},
        {"customer attribute look-up",
         {"Select Id,Code,Description From CusAttrCode", "Where CusAttrGroup = 1",
          "And ((Description Like '%N%') or (Code Like '%N%')) "},
         {}},
        {"QNull", {"Select 0 SalesId, 0 ProvinceId", "From NullTable"}, {}},

        // Product search and its frame.
        {"product search",
         {"Select Id, Code, ThaiName", "From Product", "Where (Code Like 'A%') And (ThaiName Like '%%')",
          "And (Blocked <> 'Y')", "And (ProductType <> 'P')",
          "And (Id In (Select Product From ProductAttribute Where (GroupCode Between 'SZA' And 'SZZ')))",
          "Order By ThaiName"},
         {}},
        {"QProdAttrGroup",
         {"SELECT G.Id, G.Code, G.Description,", "  C.Id BeginAttrId, C.Code BeginAttrCode,",
          "  C.Id EndAttrId, C.Code EndAttrCode,", "  LTrim(RTrim(G.Code)) + LTrim(RTrim(C.Code)) BeginGroupCode,",
          "  LTrim(RTrim(G.Code)) + LTrim(RTrim(C.Code)) EndGroupCode", "FROM ProdAttrGroup G",
          "Left Outer Join ProdAttrCode C On (C.ProdAttrGroup = G.Id)  And (C.Id = 0)", "Where (G.ProductType = :GetType)",
          "ORDER By G.Description"},
         {{"GetType", "P"}}},
        {"product attribute look-up",
         {"Select Id,Code,Description From ProdAttrCode", "Where ProdAttrGroup = 1", "And Description Like '%a%'"}, {}},

        // Unit searches.
        {"QSearchUnit",
         {"SELECT U.UnitName, U.Fraction, U.Barcode", "FROM ProductUnits U", "Where (U.Product = :GetPart) And",
          "      ((U.PurcFlag Like :ForPurc) Or (U.SaleFlag Like :ForSale) Or",
          "       (U.StockUnitFlag Like :ForStock) Or (U.SmallUnitFlag Like :ForSmall))", "Order By U.Fraction",
          "/* Don't Move SQL Line */", " ", " "},
         {{"GetPart", 1}, {"ForPurc", "Y%"}, {"ForSale", "X%"}, {"ForStock", "X%"}, {"ForSmall", "X%"}}},
        {"product-unit search",
         {"select u.id,u.barcode, P.Code, u.unitname,p.thainame,x.price", "from productunits u",
          "inner join product p on p.id=u.product",
          "Inner join productprice x on x.product=u.product and x.productunits=u.id",
          "where p.thainame like '%" + QStringLiteral("น้ำ") + "%'", " and (x.price > 0) and x.pricetype=1",
          "Order By BarCode"},
         {}},

        // Small look-ups.
        {"code-table look-up",
         {"select id,code,groupcode,description  from misc",
          "where (groupcode=:inputgroup)  and ((description like :inputname)  or (code like :inputname))",
          "order by Code"},
         {{"inputgroup", "CITY"}, {"inputname", "%%"}}},
        {"sales-person search",
         {"Select S.Code, S.Name, S.Surname, M.Description From Salesman S",
          "Inner Join Misc M On (M.GroupCode  = 'DEPARTMENT') And (M.Id = S.Department)",
          "Where (S.Code Like 'S%') And (S.Name Like '%%') And (S.SurName Like '%%')", "Order By M.Description"},
         {}},
        {"QSalesman (picker)",
         {"select id,code,name,surname,department,status,startdate,stopdate,",
          "          address1,address2,address3,province,zipcode,phoneno,faxno,", "          email", "from salesman",
          "where code=:getcode"},
         {{"getcode", "S01"}}},
        {"warehouse search",
         {"select code,name from warehouse where Coalesce(blocked,'N') = 'N'  and  (Coalesce(IsLocation,'N')='Y') "
          " and ((code like '%A%') or       (name like '%A%'))  order by code "},
         {}},
        {"lot search",
         {"SELECT Id,Code, Description, ExpiredDate, HasExpired", "FROM LotNo", "WHERE (Code Like :GetCode) And ",
          "((ExpiredDate >='06/01/2026') Or (HasExpired = 'N')) And ", "(Description Like :GetDesc)",
          "ORDER BY ExpiredDate"},
         {{"GetCode", "%"}, {"GetDesc", "%"}}},
        {"bar-code search",
         {"Select U.Id, U.BarCode, U.Product, U.UnitName, P.Code, P.ThaiName", "From ProductUnits U",
          "Inner Join Product P On (P.Id = U.Product)",
          "Where (U.BarCode Like :GetCode) And (P.ThaiName Like :GetName) And ",
          "  Not (U.BarCode Is Null) And (U.BarCode <> '')", "Order By U.BarCode", "/* Don't Move SQL Lines */"},
         {{"GetCode", "885%"}, {"GetName", "%"}}},

        // Product and service search, one opening per layout.
        {"product and service search, layout 0",
         QStringList{"Select P.Id, P.Code, P.ThaiName, P.Remark, P.ProductType ,P.Picture1", "From ProductView P"}
             + serviceFilters,
         {}},
        {"product and service search, layout 1",
         QStringList{"Select P.Id, P.Code, P.ThaiName, U.UnitDesc Remark, P.ProductType, P.Picture1", "From Product P",
                     "Inner Join ProductUnits U On U.Product=P.Id"}
             + serviceFilters,
         {}},
        {"product and service search, layout 2",
         QStringList{"Select P.Id, P.Code,", "P.ThaiName,P.Remark, P.ProductType ,P.Picture1 From ProductView P"}
             + serviceFilters,
         {}},
        {"product and service search, layout 3",
         QStringList{"Select P.Id, P.Code, P.ThaiName,", "P.ProductType, P.Picture1,",
                     " (Select I.MemoDesc From ProductInFo I Where (I.Misc = (Select Material From WorkId)) AND "
                     "(I.Product = P.Id))",
                     "+' - '+",
                     "(Select I.MemoDesc From ProductInFo I Where (I.Misc = (Select Model From WorkId)) AND (I.Product "
                     "= P.Id))",
                     " AS Remark", " From Product P"}
             + serviceFilters,
         {}},
        {"product and service search, layout 4",
         QStringList{"select p.id,p.code,p.thainame,P.ProductType, P.Picture1,",
                     "       coalesce(c.code,'no') Field01 ,", "       coalesce(d.code,'no') Field02 ,",
                     "       str(coalesce(x.price,0)) Price , ", "       u.unitname , ",
                     "       (select coalesce(str(coalesce(sum(quantity),0)),'0') ", "        from productonhand o",
                     "        where  (o.product=p.id) and (o.productunits=u.id) and (o.balanceyear=2026) ) Qnty",
                     "from product p", "inner join productunits u on u.product=p.id",
                     "left  join productprice x on x.product=p.id and x.productunits=u.id and x.pricetype=19",
                     "left  join productattr  a on a.product=p.id and a.prodattrgroup=3",
                     "left  join prodattrcode c on c.id=a.prodattrcode",
                     "left  join productattr  b on b.product=p.id and b.prodattrgroup=5",
                     "left  join prodattrcode d on d.id=b.prodattrcode"}
             + serviceFilters,
         {}},
        {"product and service search, layouts 6 to 8",
         layoutsSixToEightHead + layoutsSixToEightOrders + layoutsSixToNineTail + serviceFilters, {}},
        {"product and service search, layout 9",
         layoutsSixToEightHead + layoutNineOrders + layoutsSixToNineTail + serviceFilters, {}},

        // Production order detail.
        {"QGetProdDesc",
         {"Select P.*,",
          "       (Select Top 1 UnitName From ProductUnits Where Product = P.Id And SmallUnitFlag = 'Y') UnitName",
          "From Product P", "Where P.Code = :GetProdCode"},
         {{"GetProdCode", "A100"}}},
    };
    expectAllRun(biz, statements);
}

TEST_F(BusinessDatabase, InquiryPanelsReadAWholeCompany)
{
    seed();
    const int year = 2026;

    const QStringList price{"Select M.Id PriceId, M.Description, ", "       Coalesce(P.Price,0)Price", "From Misc M",
                            "Left Outer Join ProductPrice P On (P.PriceType = M.Id) And (P.ProductUnits = :UnitId)",
                            "Where (M.GroupCode = 'PRICETYPE')", "union all",
                            QStringLiteral("select 0 PriceId, 'ราคาขายลูกค้า' Description, Price "),
                            "From CustomerProductPrice Cp ",
                            "Where (ProductUnits = :UnitId) And (Cp.Customer = :Customer)"};
    EXPECT_EQ(biz.rows(price.join('\n'), {{"UnitId", 2}, {"Customer", 1}}),
              (QStringList{QStringLiteral("1|ราคาขายปลีก|170"), QStringLiteral("2|ราคาขายส่ง|160"),
                           QStringLiteral("0|ราคาขายลูกค้า|150")}));
    EXPECT_EQ(biz.rows(price.join('\n'), {{"UnitId", 3}, {"Customer", 1}}),
              (QStringList{QStringLiteral("1|ราคาขายปลีก|0"), QStringLiteral("2|ราคาขายส่ง|0")}));

    const QStringList onhand{
        "select Id, Code, sumqnty, OnhandStr, (Case When sumqnty > 0 Then 1 When sumqnty < 0 Then 2 Else 3 End) Rec",
        QStringLiteral("From(\r\tselect  w.id, w.code,"),
        "\t            (select sum(quantity) from productonhand ",
        "\t             where warehouse=w.id and product=:id and balanceyear=:inputyear) sumqnty,",
        QStringLiteral("\t            '") + QString(40, QLatin1Char(' ')) + QStringLiteral("' OnhandStr"),
        "\tfrom warehouse w",
        ") As M",
        "order by Rec, sumqnty Desc"};
    auto stock = biz.open(onhand, {{"id", 1}, {"inputyear", year}});
    QStringList warehouses;
    for (int r = 0; r < stock->recordCount(); ++r)
        warehouses.append(db::variantToText(stock->valueAt(r, 1)) + '=' + db::variantToText(stock->valueAt(r, 2)));
    EXPECT_EQ(warehouses, (QStringList{"MAIN=30", "SHOP=-2", "RMA="})) << "every warehouse, stocked ones first";

    const QStringList lastMr{"select top 1 M.Price,M.Productunits,U.UnitName,H.MrDate", "From MrDt M",
                             "Inner Join MrHd H", "On (H.Id=M.Mrhd) and (H.Delflag<>'Y')", "Inner Join ProductUnits U",
                             "On (U.Id=M.ProductUnits)", "Where M.Product=:Id", "Order by H.MrDate Desc"};
    EXPECT_EQ(biz.rows(lastMr.join('\n'), {{"Id", 1}}),
              QStringList{QStringLiteral("52|2|โหล|2026-03-10 00:00:00.000")})
        << "a receipt is live unless cancelled: the later, cancelled one is skipped";

    const QStringList history{
        QStringLiteral("Select  'ขายเชื่อ' IvType,H.IvDate IvDate,D.Quantity,D.Price,D.Total,U.UnitName,c.Code,C.Name"),
        "            From Ivdt D",
        "            Inner Join Ivhd H On (H.id=D.Ivhd) and (H.Delflag<>'Y')",
        "            Inner Join Customer C On (H.Customer = C.Id)",
        "            Inner Join ProductUnits U On (U.Id = D.ProductUnits) And (U.Product=D.Product)",
        "            Where H.Customer = :GetCus Or D.Product = :GetProduct",
        "Union All",
        QStringLiteral("Select  'ขายสด' IvType,H.PosDate IvDate,D.Quantity,D.Price,D.Total,U.UnitName,c.Code,C.Name"),
        "            From PosDt D",
        "            Inner Join PosHd H  On (H.Id=D.PosHd) and (H.Delflag<>'Y')",
        "            Inner Join Customer C On (H.Customer = C.Id)",
        "            Inner Join ProductUnits U On (U.Id = D.ProductUnits) And (U.Product=D.Product)",
        "            Where H.Customer = :GetCus Or D.Product = :GetProduct",
        "Union All",
        QStringLiteral("Select 'ขายสด' IvType,H.PosDate IvDate,D.Quantity,D.Price,D.Total,U.UnitName,c.Code,C.Name"),
        "            From PosDetail D",
        "            Inner Join PosHeader H On (H.Id=D.PosHeader) and (H.Delflag <> 'Y')",
        "            Inner Join Customer C On (H.Customer = C.Id)",
        "            Inner Join ProductUnits U On (U.Id = D.ProductUnits) And (U.Product=D.Product)",
        "            Where H.Customer = :GetCus Or D.Product = :GetProduct",
        "Order By 1,2"};
    auto sales = biz.open(history, {{"GetCus", 1}, {"GetProduct", 1}});
    QStringList lines;
    for (int r = 0; r < sales->recordCount(); ++r)
        lines.append(db::variantToText(sales->valueAt(r, 6)) + '@' + db::variantToText(sales->valueAt(r, 1)).left(10));
    // Ordered by type in Thai dictionary order (ขายเชื่อ before ขายสด), then by date.
    EXPECT_EQ(lines, (QStringList{"C001@2026-04-01", "C0010@2026-04-02", "C001@2026-04-03"}))
        << "the customer's sales of anything and anybody's sales of the product, from all three sales tables";

    // Production orders of the product: ordered 4 dozen, 12 bottles finished.
    const QStringList workOrders{
        "Select Hd.WorkDate, Hd.WorkOrderNo, C.Code CusCode, C.Name CusName,",
        "       (Select Code From Product Where Id = Hd.FinishedGoods) FinishedGoodsCode,",
        "       (Select ThaiName From Product Where Id = Hd.FinishedGoods) FinishedGoodsName,",
        "       Coalesce(Hd.Quantity, 0) * (Select Coalesce(Fraction, 0) From ProductUnits Where Id = Hd.ProductUnits) "
        "WorkQnty,",
        "       Coalesce((Select Sum(Coalesce(Quantity, 0) * Coalesce(Fraction, 0)) From MFGFinishDt Where WorkOrderHd = "
        "Hd.Id And Product = Hd.FinishedGoods), 0) FinishedQnty,",
        "       (Select UnitName From ProductUnits Where Product = Hd.FinishedGoods And SmallUnitFlag = 'Y') UnitName,",
        "       M.description TypeName,so.sono,",
        "       ( Coalesce(Hd.Quantity, 0) * (Select Coalesce(Fraction, 0) From ProductUnits Where Id = Hd.ProductUnits)",
        "         - ",
        "         Coalesce((Select Sum(Coalesce(Quantity, 0) * Coalesce(Fraction, 0)) From MFGFinishDt Where "
        "WorkOrderHd = Hd.Id And Product = Hd.FinishedGoods), 0)",
        "       ) WorkQntyOnHand",
        "From WorkOrderHd Hd",
        "Inner Join Customer C On (C.Id = Hd.Customer)",
        "Left Join SoHd so on (so.id=Hd.sohd)",
        "inner join product p on (p.id= Hd.FinishedGoods)",
        "inner join misc m on (m.id=p.ptype)",
        "Left Join BomHd B On (Hd.BomHd = B.Id)",
        "Where (Hd.Clear <> 'Y') And (Hd.Delflag = 'N')",
        "      And(P.Code = :GetProdCode)",
        "Order by FinishedGoodsCode, Hd.WorkDate",
        " "};
    auto orders = biz.open(workOrders, {{"GetProdCode", "A100"}});
    ASSERT_EQ(orders->recordCount(), 1) << "a new order is neither settled nor cancelled";
    EXPECT_DOUBLE_EQ(orders->asFloat("WorkQnty"), 48);
    EXPECT_DOUBLE_EQ(orders->asFloat("FinishedQnty"), 12);
    EXPECT_DOUBLE_EQ(orders->asFloat("WorkQntyOnHand"), 36);
    EXPECT_EQ(orders->asString("sono"), "SO001");

    // Permanent delete of a cancelled document: shipping rows first, then the
    // header; a header that still has lines is kept.
    biz.exec(QStringLiteral("Insert Into IvHd (IvNo, IvDate, Customer, Delflag) Values ('IV002', '20260501', 2, 'Y')\n"
                            "Insert Into IvShip (IvHd, ShipName) Values (2, N'ส่งที่สาขา')"));
    biz.exec(QStringLiteral("Delete From IvShip Where IvHd=2\nDelete From IvHd Where Id=2"));
    EXPECT_EQ(biz.scalar("Select Count(*) From IvHd"), "1");
    EXPECT_TRUE(biz.errorOf("Delete From IvShip Where IvHd=1\nDelete From IvHd Where Id=1").contains("\"FK_IvDt_IvHd\""));
    biz.exec(QStringLiteral("Insert Into SoHd (SoNo, SoDate, Customer, Delflag) Values ('SO002', '20260502', 2, 'Y')\n"
                            "Insert Into SoShip (SoHd, ShipName) Values (2, N'ส่งที่สาขา')"));
    EXPECT_TRUE(biz.errorOf("Delete From SoHd Where Id=2").contains("REFERENCE constraint \"FK_"))
        << "shipping rows must go before their order";
    biz.exec(QStringLiteral("Delete From SoShip Where SoHd=2\nDelete From SoHd Where Id=2"));
    EXPECT_EQ(biz.scalar("Select Count(*) From SoHd"), "1");
}

// ---------------------------------------------------------------- procedures

TEST_F(BusinessDatabase, CreateSerialNoFindsOrRegistersTheSerial)
{
    seed();
    db::StoredProc sp(biz.alias(), QStringLiteral("CreateSerialNo"));
    sp.addParam("Result", db::ParamDirection::Result, QMetaType::Int);
    sp.addParam("@ProductId", db::ParamDirection::Input, QMetaType::Int);
    sp.addParam("@SerialCode", db::ParamDirection::Input);
    sp.addParam("@SerialId", db::ParamDirection::Output, QMetaType::Int);
    auto create = [&](int product, const QString& serial) {
        sp.setParam("@ProductId", product);
        sp.setParam("@SerialCode", serial);
        sp.execProc();
        return sp.param("@SerialId");
    };

    const QVariant first = create(1, "SN-0001");
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(create(1, "SN-0001"), first) << "the same serial is found, not registered again";
    EXPECT_EQ(create(1, "sn-0001 "), first) << "serials compare as codes do";
    const QVariant other = create(2, "SN-0001");
    EXPECT_NE(other, first) << "each product has its own serials";
    EXPECT_TRUE(create(1, "  ").isNull()) << "a blank serial registers nothing";
    EXPECT_EQ(biz.rows("Select Product, Serial, OnHand From SerialNo Order By Id"),
              (QStringList{"1|SN-0001|Y", "2|SN-0001|Y"}));

    // A sold serial is found again, and stays sold.
    biz.exec(QStringLiteral("Update SerialNo Set OnHand = 'N' Where Id = :Id"), {{"Id", first}});
    EXPECT_EQ(create(1, "SN-0001"), first);
    EXPECT_EQ(biz.scalar("Select OnHand From SerialNo Where Id = :Id", {{"Id", first}}), "N");

    // The program's own batch, after its schema script has added the checks.
    db::Script(biz.alias(), programSchemaScript()).execute();
    biz.exec(QStringLiteral("Update Product Set CheckSerialOnhand = 'N' Where Id = 1"));
    const QStringList batch{"Declare @SerialId IdNo",
                            "If Exists (Select Id From product Where Id = :ProductId And UseSerial = 'Y' And "
                            "CheckSerialOnhand = 'N')",
                            "   Exec CreateSerialNo :ProductId, :SerialCode, @SerialId Output",
                            "select  @SerialId"};
    auto registered = biz.open(batch, {{"ProductId", 1}, {"SerialCode", "SN-0002"}});
    ASSERT_EQ(registered->recordCount(), 1);
    EXPECT_EQ(registered->valueAt(0, 0).toInt(),
              biz.scalar("Select Id From SerialNo Where Product = 1 And Serial = 'SN-0002'").toInt());
    EXPECT_TRUE(biz.open(batch, {{"ProductId", 2}, {"SerialCode", "SN-0003"}})->valueAt(0, 0).isNull())
        << "a product without serials is left alone";
}

TEST_F(BusinessDatabase, NewDocumentNoHandsOutConsecutivePaddedNumbers)
{
    biz.exec(QStringLiteral(
        "Insert Into DocumentNo (DocCode, DocYear, Prefix, LastNo, DocumentLength) Values ('IV', 2026, 'IV26', 41, 5)\n"
        "Insert Into DocumentNo (DocCode, DocYear, Prefix, LastNo, DocumentLength) Values ('IV', 2027, 'IV27', 0, 5)\n"
        "Insert Into DocumentNo (DocCode, DocYear, Prefix, LastNo, DocumentLength, AutoRun) Values ('MR', 2026, 'MR', 7, 4, 'N')\n"
        "Insert Into DocNoConvert (DocCode, ConvertCode) Values ('IB', 'IV')"));
    db::StoredProc sp(biz.alias(), QStringLiteral("NewDocumentNo"));
    sp.addParam("Result", db::ParamDirection::Result, QMetaType::Int);
    sp.addParam("@DocCode", db::ParamDirection::Input);
    sp.addParam("@DocYear", db::ParamDirection::Input, QMetaType::Int);
    sp.addParam("@NewNo", db::ParamDirection::Output);
    auto next = [&](const char* code, int year) {
        sp.setParam("@DocCode", QLatin1String(code));
        sp.setParam("@DocYear", year);
        sp.execProc();
        return sp.asString("@NewNo");
    };

    EXPECT_EQ(next("IV", 2026), "IV2600042");
    EXPECT_EQ(next("IV", 2026), "IV2600043");
    EXPECT_EQ(next("iv", 2027), "IV2700001") << "each year runs by itself";
    EXPECT_EQ(next("IB", 2026), "IV2600044") << "a converted code takes the other code's run";
    EXPECT_EQ(biz.rows("Select DocYear, LastNo From DocumentNo Where DocCode = 'IV' Order By DocYear"),
              (QStringList{"2026|44", "2027|1"}));

    EXPECT_EQ(next("MR", 2026), "") << "numbers typed by the clerk";
    EXPECT_EQ(next("SO", 2026), "") << "no run for the code";
    EXPECT_EQ(biz.scalar("Select LastNo From DocumentNo Where DocCode = 'MR'"), "7");

    // The number outgrows its length: nothing is cut.
    biz.exec(QStringLiteral("Update DocumentNo Set LastNo = 99999 Where DocCode = 'IV' And DocYear = 2027"));
    EXPECT_EQ(next("IV", 2027), "IV27100000");

    // Through EXEC with its output.
    EXPECT_EQ(biz.scalar("Declare @No VarChar(30)\nExec NewDocumentNo 'IV', 2026, @No Output\nSelect @No"),
              "IV2600045");
}

TEST_F(BusinessDatabase, UserAddLogAndServerTime)
{
    const QDateTime before = QDateTime::currentDateTime().addSecs(-60);
    db::StoredProc log(biz.alias(), QStringLiteral("UserAddLog"));
    log.addParam("Result", db::ParamDirection::Result, QMetaType::Int);
    for (const char* id : {"@UserId", "@MenuId", "@FunctionListId", "@DocumentId"})
        log.addParam(QLatin1String(id), db::ParamDirection::Input, QMetaType::Int);
    log.addParam("@Remark", db::ParamDirection::Input);
    log.setParam("@UserId", 34);
    log.setParam("@MenuId", 55);
    log.setParam("@FunctionListId", 3);
    log.setParam("@DocumentId", 1001);
    log.setParam("@Remark", QStringLiteral("พิมพ์ใบเสนอราคา"));
    log.execProc();
    biz.exec(QStringLiteral("Exec UserAddLog 34, 55, 4, Null, :Remark"), {{"Remark", QString(300, QLatin1Char('x'))}});

    auto rows = biz.open(QStringLiteral("Select UserId, MenuId, FunctionListId, DocumentId, Remark, LogDate From UserLog "
                                        "Order By Id"));
    ASSERT_EQ(rows->recordCount(), 2);
    EXPECT_EQ(rowsOf(*rows).first().section('|', 0, 4), QStringLiteral("34|55|3|1001|พิมพ์ใบเสนอราคา"));
    EXPECT_GE(rows->asDateTime("LogDate"), before);
    rows->next();
    EXPECT_TRUE(rows->isNull("DocumentId"));
    EXPECT_EQ(rows->asString("Remark").size(), 255) << "a long remark is cut, never refused";

    db::StoredProc time(biz.alias(), QStringLiteral("ServerTime"));
    time.addParam("Result", db::ParamDirection::Result, QMetaType::Int);
    time.addParam("@ServerTime", db::ParamDirection::Output, QMetaType::QDateTime);
    time.execProc();
    const QDateTime server = time.asDateTime("@ServerTime");
    ASSERT_TRUE(server.isValid());
    EXPECT_LE(qAbs(server.secsTo(QDateTime::currentDateTime())), 60);

    const QDateTime viaExec =
        db::variantToDateTime(biz.open(QStringLiteral("Declare @T DateTime\nExec ServerTime @T Output\nSelect @T"))
                                  ->valueAt(0, 0));
    EXPECT_LE(qAbs(viaExec.secsTo(QDateTime::currentDateTime())), 60);
}

// ---------------------------------------------------------------- keys and indexes

TEST_F(BusinessDatabase, ForeignKeysRefuseOrphansAndDeletesOfWhatIsReferenced)
{
    seed();
    EXPECT_TRUE(biz.errorOf("Insert Into ProductPrice (Product, ProductUnits, PriceType, Price) Values (1, 99, 1, 10)")
                    .contains("\"FK_ProductPrice_ProductUnits\""));
    // Which of the row's two keys the message names is the engine's business here.
    EXPECT_TRUE(biz.errorOf("Insert Into ProductPrice (Product, ProductUnits, PriceType, Price) Values (99, 1, 2, 10)")
                    .contains("FOREIGN KEY constraint"));
    EXPECT_TRUE(biz.errorOf("Insert Into ProductUnits (Product, UnitName, Fraction) Values (99, 'X', 1)")
                    .contains("\"FK_ProductUnits_Product\""));
    EXPECT_TRUE(biz.errorOf("Insert Into productonhand (Product, ProductUnits, Warehouse, BalanceYear) "
                            "Values (1, 1, 99, 2026)")
                    .contains("FOREIGN KEY constraint"));
    EXPECT_TRUE(biz.errorOf("Insert Into IvHd (IvNo, IvDate, Customer) Values ('IV9', '20260101', 99)")
                    .contains("FOREIGN KEY constraint"));

    EXPECT_TRUE(biz.errorOf("Delete From Customer Where Code = 'C001'")
                    .startsWith("The DELETE statement conflicted with the REFERENCE constraint \"FK_"));
    EXPECT_TRUE(biz.errorOf("Delete From ProductUnits Where Id = 2").contains("REFERENCE constraint \"FK_"));
    EXPECT_TRUE(biz.errorOf("Delete From Warehouse Where Code = 'MAIN'").contains("REFERENCE constraint \"FK_"));

    // What nothing references can go.
    biz.exec(QStringLiteral("Insert Into Customer (Code, Name) Values ('C999', N'ลูกค้าใหม่')"));
    EXPECT_EQ(biz.errorOf("Delete From Customer Where Code = 'C999'"), "");
    EXPECT_EQ(biz.errorOf("Delete From Warehouse Where Code = 'RMA'"), "");

    // What the program expects to find missing at times is no key.
    EXPECT_EQ(biz.errorOf("Insert Into Product (Code, ThaiName, TaxCode, DefaultWh) Values ('Z1', N'x', 99, 99)"), "");
    EXPECT_EQ(biz.errorOf("Insert Into Customer (Code, Name, Province, Salesman) Values ('Z1', N'x', 99, 99)"), "");
    EXPECT_EQ(biz.errorOf("Insert Into promotion_dt (Product, ProductUnits, PriceType, Customer, StartDate, StopDate) "
                          "Values (1, 2, 1, 0, '20260101', '20260131')"),
              "")
        << "customer 0 is every customer";
}

TEST_F(BusinessDatabase, RefusalsNameTheKeyThatRefused)
{
    // Only what each case needs, so that exactly one key can refuse.
    biz.exec(QStringLiteral("Insert Into Product (Code, ThaiName) Values ('A100', N'น้ำดื่ม')\n"
                            "Insert Into ProductUnits (Product, UnitName, Fraction) Values (1, N'ขวด', 1)\n"
                            "Insert Into Customer (Code, Name) Values ('C001', N'ร้านสมใจ')\n"
                            "Insert Into IvHd (IvNo, IvDate, Customer) Values ('IV001', '20260401', 1)"));
    EXPECT_EQ(biz.errorOf("Insert Into ProductPrice (Product, ProductUnits, PriceType, Price) Values (1, 2, 1, 15)"),
              "The INSERT statement conflicted with the FOREIGN KEY constraint \"FK_ProductPrice_ProductUnits\". The "
              "conflict occurred in database \"ACME\", table \"dbo.ProductUnits\", column 'Id'.");
    EXPECT_EQ(biz.errorOf("Delete From Customer Where Code = 'C001'"),
              "The DELETE statement conflicted with the REFERENCE constraint \"FK_IvHd_Customer\". The conflict "
              "occurred in database \"ACME\", table \"dbo.IvHd\", column 'Customer'.");
    EXPECT_EQ(biz.errorOf("Delete From Product Where Code = 'A100'"),
              "The DELETE statement conflicted with the REFERENCE constraint \"FK_ProductUnits_Product\". The "
              "conflict occurred in database \"ACME\", table \"dbo.ProductUnits\", column 'Product'.");
    EXPECT_EQ(biz.errorOf("Insert Into ProductPrice (Product, ProductUnits, PriceType, Price) Values (1, 1, 1, 15)"), "");
}

TEST_F(BusinessDatabase, RequiredColumnsGiveTheMessagesTheErrorHandlerTranslates)
{
    seed();
    EXPECT_TRUE(biz.errorOf("Insert Into ProductUnits (Product, UnitName) Values (2, N'ลัง')")
                    .startsWith("Cannot insert the value NULL into column 'Fraction'"));
    EXPECT_TRUE(biz.errorOf("Insert Into ProductPrice (Product, ProductUnits, PriceType, Price) Values (1, 1, 2, Null)")
                    .startsWith("Cannot insert the value NULL into column 'Price'"));
    EXPECT_TRUE(biz.errorOf("Insert Into IvHd (IvNo, IvDate, Customer) Values ('IV9', '20260101', Null)")
                    .startsWith("Cannot insert the value NULL into column 'Customer'"));
    EXPECT_TRUE(biz.errorOf("Insert Into PartSource (Product, ProductUnits, Vendor) Values (1, 1, Null)")
                    .startsWith("Cannot insert the value NULL into column 'Vendor'"));
    EXPECT_TRUE(biz.errorOf("Insert Into productonhand (Product, ProductUnits, Warehouse, BalanceYear) "
                            "Values (1, 1, Null, 2026)")
                    .startsWith("Cannot insert the value NULL into column 'Warehouse'"));

    // Flags that statements test with <> are never Null on new rows.
    biz.exec(QStringLiteral("Insert Into IvHd (IvNo, IvDate, Customer) Values ('IV9', '20260101', 1)"));
    EXPECT_EQ(biz.rows("Select Delflag, Clear, NotCutStock, IvType From IvHd Where IvNo = 'IV9'"),
              QStringList{"N|N|N|N"});
    EXPECT_EQ(biz.rows("Select Blocked From Customer Where Code = 'C001'"), QStringList{"N"});
    EXPECT_TRUE(biz.errorOf("Insert Into promotion_dt (Product, ProductUnits, PriceType, StartDate, StopDate) "
                            "Values (1, 2, 1, '20260201', '20260131')")
                    .contains("'CK_promotion_dt_Dates'"));
}

TEST_F(BusinessDatabase, OneRowTablesKeepOneRow)
{
    EXPECT_TRUE(biz.errorOf("Insert Into Config (RunYear) Values (2026)")
                    .startsWith("Violation of PRIMARY KEY constraint 'PK_Config'"));
    EXPECT_TRUE(biz.errorOf("Insert Into Config (Id, RunYear) Values (2, 2026)").contains("'CK_Config_OneRow'"));
    EXPECT_TRUE(biz.errorOf("Insert Into NullTable (Id) Values (2)").contains("'CK_NullTable_OneRow'"));
    EXPECT_TRUE(biz.errorOf("Insert Into WorkId (Id) Values (2)").contains("'CK_WorkId_OneRow'"));
    EXPECT_EQ(biz.scalar("Select Count(*) From Config"), "1");
    EXPECT_EQ(biz.scalar("Select Count(*) From WorkId"), "1");
}

TEST_F(BusinessDatabase, CodesAreUniqueAsTheLookUpsExpect)
{
    seed();
    EXPECT_EQ(biz.errorOf("Insert Into Product (Code, ThaiName) Values ('a100 ', N'ซ้ำ')"),
              "Cannot insert duplicate key row in object 'dbo.Product' with unique index 'UQ_Product_Code'.")
        << "codes compare without regard to case or trailing blanks";
    EXPECT_TRUE(biz.errorOf("Insert Into Customer (Code, Name) Values ('C001', N'ซ้ำ')").contains("'UQ_Customer_Code'"));
    EXPECT_TRUE(biz.errorOf("Insert Into Warehouse (Code) Values ('Main')").contains("'UQ_Warehouse_Code'"));
    EXPECT_TRUE(biz.errorOf("Insert Into Misc (GroupCode, Code) Values ('CITY', 'BKK')")
                    .contains("'UQ_Misc_GroupCode_Code'"));
    EXPECT_EQ(biz.errorOf("Insert Into Misc (GroupCode, Code) Values ('TRANSPORT', 'BKK')"), "")
        << "the same code in another group";
    EXPECT_TRUE(biz.errorOf("Insert Into ProductUnits (Product, UnitName, Fraction) Values (1, N'โหล', 12)")
                    .contains("'UQ_ProductUnits_Product_UnitName'"));
    EXPECT_EQ(biz.errorOf("Insert Into ProductUnits (Product, UnitName, Fraction) Values (2, N'โหล', 12)"), "");
    EXPECT_TRUE(biz.errorOf("Insert Into ProductPrice (Product, ProductUnits, PriceType, Price) Values (1, 2, 1, 1)")
                    .contains("'UQ_ProductPrice_ProductUnits_PriceType'"))
        << "one price per unit and price type";
    EXPECT_TRUE(biz.errorOf("Insert Into customerproductprice (Customer, Product, ProductUnits, Price) "
                            "Values (1, 1, 2, 1)")
                    .contains("'UQ_customerproductprice_Customer_Product_ProductUnits'"));
    EXPECT_TRUE(biz.errorOf("Insert Into productonhand (Product, ProductUnits, Warehouse, BalanceYear) "
                            "Values (1, 1, 1, 2026)")
                    .contains("'UQ_productonhand_Product_Warehouse_BalanceYear'"));
    EXPECT_TRUE(biz.errorOf("Insert Into PartSource (Product, ProductUnits, Vendor) Values (1, 2, 1)")
                    .contains("'UQ_PartSource_ProductUnits_Vendor'"));
    EXPECT_TRUE(biz.errorOf("Insert Into ProductInFo (Product, Misc) Values (1, 5)")
                    .contains("'UQ_ProductInFo_Product_Misc'"))
        << "the search reads one fact per kind with a single-valued subquery";
}

TEST_F(BusinessDatabase, EveryLookUpHasItsIndex)
{
    // An index of that name on that table exists exactly when a second one
    // of the same name is refused.
    const std::vector<std::pair<const char*, const char*>> indexes{
        {"UQ_Product_Code", "Product (Code)"},
        {"IX_Product_ThaiName", "Product (ThaiName)"},
        {"IX_ProductUnits_BarCode", "ProductUnits (BarCode)"},
        {"UQ_ProductUnits_Product_UnitName", "ProductUnits (Product)"},
        {"UQ_Customer_Code", "Customer (Code)"},
        {"UQ_Warehouse_Code", "Warehouse (Code)"},
        {"UQ_Misc_GroupCode_Code", "Misc (GroupCode, Code)"},
        {"UQ_productonhand_Product_Warehouse_BalanceYear", "productonhand (Product, Warehouse, BalanceYear)"},
        {"IX_promotion_dt_Product", "promotion_dt (Product, ProductUnits, PriceType, Customer)"},
        {"UQ_customerproductprice_Customer_Product_ProductUnits", "customerproductprice (Customer, Product)"},
        {"UQ_ProductPrice_ProductUnits_PriceType", "ProductPrice (ProductUnits, PriceType)"},
        {"IX_IvHd_Customer", "IvHd (Customer)"},
        {"IX_IvDt_Product", "IvDt (Product)"},
        {"IX_PosHd_Customer", "PosHd (Customer)"},
        {"IX_PosDt_Product", "PosDt (Product)"},
        {"IX_PosHeader_Customer", "PosHeader (Customer)"},
        {"IX_PosDetail_Product", "PosDetail (Product)"},
        {"IX_MrDt_Product", "MrDt (Product)"},
        {"UQ_LotOnHand_Product_LotNo_Warehouse_BalanceYear", "LotOnHand (Product, LotNo)"},
        {"UQ_SerialNo_Product_Serial", "SerialNo (Product, Serial)"},
        {"UQ_PartSource_ProductUnits_Vendor", "PartSource (ProductUnits, Vendor)"},
        {"IX_PartSource_Vendor_PurchaseCode", "PartSource (Vendor, PurchaseCode)"},
        {"UQ_ProductAttribute_Product_GroupCode", "ProductAttribute (Product)"},
        {"IX_ProductAttribute_GroupCode", "ProductAttribute (GroupCode)"},
        {"UQ_CustomerAttribute_Customer_GroupCode", "CustomerAttribute (Customer)"},
        {"IX_CustomerAttribute_GroupCode", "CustomerAttribute (GroupCode)"},
    };
    for (const auto& [name, on] : indexes) {
        const QString table = QString::fromLatin1(on).section(' ', 0, 0);
        EXPECT_EQ(biz.errorOf(QStringLiteral("Create Index %1 On %2").arg(QLatin1String(name), QLatin1String(on))),
                  QStringLiteral("The operation failed because an index or statistics with name '%1' already exists "
                                 "on table '%2'.")
                      .arg(QLatin1String(name), table));
    }
}

} // namespace
