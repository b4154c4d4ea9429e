#include "TDMConfig.h"

#include "DatabaseFileCheck.h"
#include "HostInfo.h"
#include "ProgramEnd.h"
#include "Trim.h"

#include "db/DbError.h"
#include "db/Script.h"
#include "db/sqlite/SqliteEngine.h"
#include "mail/SmtpClient.h"
#include "mail/SmtpSettings.h"
#include "widgets/MessageBox.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QThread>

#include <memory>

TDMConfig* DMConfig = nullptr;

namespace {

const QString kAlias = QStringLiteral("DmCfg");

bool isY(const QString& text)
{
    return text == QLatin1String("Y");
}

} // namespace

TDMConfig::TDMConfig(QObject* parent)
    : QObject(parent),
      QCompanyConfig(kAlias),
      QCompany(kAlias),
      QSoftwareConfig(kAlias),
      QUser(kAlias),
      QErrorLog(kAlias),
      SpMenuCaption(kAlias, QStringLiteral("MENUCAPTION")),
      SpAddErrorLog(kAlias, QStringLiteral("AddErrorLog")),
      connection_(kAlias),
      startFolder_(QDir::currentPath())
{
    connection_.setBeforeConnect([this] { connection_.params() = ConfigConnectionLines(); });
    connection_.setAfterConnect([this] { afterConnect(); });

    QCompanyConfig.setSql({
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
        "Where (O.DatabaseName = :GetName)"});
    QCompany.setSql({
        "SELECT ID,CODE, PASSWORD, NAMETHAI, NAMEENG, SHORTNAME, ",
        "  ADDRESS1, ADDRESS2, ADDRESS3, ADDRESS4, PROVINCE, ZIP, ",
        "  TELEPHONE, FAX, EMAIL, LOGO, TAXNO, RUNYEAR,FUNDNAME, Coalesce(TaxBranchHead, 'N') TaxBranchHead, "
        "Coalesce(TaxBranchCode, '') TaxBranchCode, TaxBranchName",
        "FROM COMPANY",
        "Where (Id = (Select Distinct Company From DatabaseList Where DatabaseName = :GetName))"});
    QSoftwareConfig.setSql({"select *", "from softwareconfig"});
    QUser.setSql({
        "select fullname,languageno,EditSalePrice,Approve_Quo,Approve_SO,Approve_IV,Approve_PO, Approved_PORQ,",
        "       ApproveTranWH,ApproveTranBranch,ApproveWorkOrder,CanSeeCost,CanSeeSalePrice,CanModifyCusSale,",
        "       Approve_PreIs, CanModifyCusSale, ApproveCustomerDropUse, ApproveCustomerDropCredit,",
        "       CanModifyCredit, CanSetProductBlock, CanSetProductMinus, CanSaleCreditOnReturnCheque",
        "from  username",
        "where id=:uid",
        " ",
        " ",
        " "});
    QErrorLog.setSql({"select u.code,m.description,errordate,errormsg", "from errorlog e",
                      "inner join menu m on m.id=e.menu", "inner join username u on u.id=e.username",
                      "order by errordate desc"});

    using db::ParamDirection;
    SpMenuCaption.addParam(QStringLiteral("Result"), ParamDirection::Result, QMetaType::Int);
    SpMenuCaption.addParam(QStringLiteral("@MENUID"), ParamDirection::Input, QMetaType::Int);
    SpMenuCaption.addParam(QStringLiteral("@USERID"), ParamDirection::Input, QMetaType::Int);
    SpMenuCaption.addParam(QStringLiteral("@CAPTION"), ParamDirection::Output);
    SpMenuCaption.addParam(QStringLiteral("@ACCESS_R"), ParamDirection::Output);
    SpMenuCaption.addParam(QStringLiteral("@ADD_R"), ParamDirection::Output);
    SpMenuCaption.addParam(QStringLiteral("@MODIFY_R"), ParamDirection::Output);
    SpMenuCaption.addParam(QStringLiteral("@DELETE_R"), ParamDirection::Output);
    SpMenuCaption.addParam(QStringLiteral("@USERCODE"), ParamDirection::Output);
    SpMenuCaption.addParam(QStringLiteral("@SALESID"), ParamDirection::Output, QMetaType::Int);

    SpAddErrorLog.addParam(QStringLiteral("Result"), ParamDirection::Result, QMetaType::Int);
    SpAddErrorLog.addParam(QStringLiteral("@CompName"), ParamDirection::Input);
    SpAddErrorLog.addParam(QStringLiteral("@LogName"), ParamDirection::Input);
    SpAddErrorLog.addParam(QStringLiteral("@UserId"), ParamDirection::Input, QMetaType::Int);
    SpAddErrorLog.addParam(QStringLiteral("@MenuId"), ParamDirection::Input, QMetaType::Int);
    SpAddErrorLog.addParam(QStringLiteral("@ErrorMsg"), ParamDirection::Input);
}

TDMConfig::~TDMConfig()
{
    connection_.close();
}

QString TDMConfig::ReadServerFile()
{
    QFile file(QStringLiteral("Server.Dat"));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QByteArray line;
    char c = 0;
    // One line: up to the first line end (CR, LF or CR LF) or the end of the file.
    while (file.getChar(&c)) {
        if (c == '\n' || c == '\r')
            break;
        line.append(c);
    }
    if (file.error() != QFileDevice::NoError)
        throw db::DbError(QStringLiteral("I/O error reading Server.Dat: %1").arg(file.errorString()));
    return QString::fromLocal8Bit(line);
}

QString TDMConfig::ServerName()
{
    const QString server = ReadServerFile();
    return server.isEmpty() ? QStringLiteral("QEL") : server;
}

QStringList TDMConfig::CommonConnectionLines()
{
    return {QStringLiteral("SCHEMA CACHE SIZE=8"),
            QStringLiteral("BLOB EDIT LOGGING="),
            QStringLiteral("LANGDRIVER="),
            QStringLiteral("SQLQRYMODE="),
            QStringLiteral("SQLPASSTHRU MODE=SHARED AUTOCOMMIT"),
            QStringLiteral("DATE MODE=1"),
            QStringLiteral("SCHEMA CACHE TIME=-1"),
            QStringLiteral("MAX QUERY TIME=600"),
            QStringLiteral("MAX ROWS=-1"),
            QStringLiteral("BATCH COUNT=200"),
            QStringLiteral("ENABLE SCHEMA CACHE=FALSE"),
            QStringLiteral("SCHEMA CACHE DIR="),
            QStringLiteral("HOST NAME="),
            QStringLiteral("APPLICATION NAME="),
            QStringLiteral("NATIONAL LANG NAME="),
            QStringLiteral("ENABLE BCD=True"),
            QStringLiteral("TDS PACKET SIZE=4096"),
            QStringLiteral("BLOBS TO CACHE=-1"),
            QStringLiteral("BLOB SIZE=64"),
            QStringLiteral("PASSWORD=marigold")};
}

QStringList TDMConfig::ConfigConnectionLines()
{
    QStringList lines{QStringLiteral("DATABASE NAME=QEL_CONFIG"), QStringLiteral("SERVER NAME=") + ServerName(),
                      QStringLiteral("USER NAME=qel"), QStringLiteral("OPEN MODE=READ/WRITE")};
    return lines + CommonConnectionLines();
}

void TDMConfig::afterConnect()
{
    // Every connection makes sure menu entries carry a version; a read-only
    // configuration database (a training room's share) is taken as it is.
    if (connection_.engine().isReadOnly())
        return;
    db::Script script(kAlias, {"If (Not Exists(Select Name From SysColumns",
                               "               Where Id = (Select Id From SysObjects Where Ltrim(Rtrim(Upper(Name))) = "
                               "'MENU') And",
                               "                     Ltrim(Rtrim(Upper(Name)))='VERSION'))",
                               "  Begin",
                               "    Alter Table Menu Add Version Integer",
                               "  End",
                               "/",
                               "Update Menu Set Version = 3 Where Version Is Null And Command Is Not Null",
                               "/"});
    script.execute();
}

QString TDMConfig::ComputerName()
{
    return host::computerName();
}

QString TDMConfig::WindowsUserName()
{
    return host::userName();
}

QString TDMConfig::LocalIpAddress()
{
    return host::localIpAddress();
}

void TDMConfig::GetCompanyConfig(const QString& databaseName)
{
    const QString name = databaseName.toUpper();
    Run.SiteVpm = name == QLatin1String("VPM") || name == QLatin1String("VPM_A");
    Run.SiteVpmTest = name == QLatin1String("VPM") || name == QLatin1String("VPM_TEST");
    Run.SiteTsp = name == QLatin1String("TSP") || name == QLatin1String("TOOLS");
    Run.SiteNas = name == QLatin1String("NAS") || name == QLatin1String("SYK");
    Run.SiteTak = name == QLatin1String("TAK_AS");

    QCompanyConfig.close();
    QCompanyConfig.setParam(QStringLiteral("GetName"), name);
    QCompanyConfig.open();
    if (QCompanyConfig.isEmpty()) {
        widgets::showMessage(widgets::MessageKind::Plain, QStringLiteral("Not Found Database : ") + name);
        throw ProgramEnd{0};
    }
    const db::Query& q = QCompanyConfig;
    Run.CompanyId = int(q.asInteger(QStringLiteral("Id")));
    Run.PicturePath = q.asString(QStringLiteral("PicturePath"));
    Run.DefaultWarehouseId = int(q.asInteger(QStringLiteral("DefaultWH")));
    Run.DefaultTaxId = int(q.asInteger(QStringLiteral("DefaultTax")));
    Run.CompanyName = q.asString(QStringLiteral("NameThai"));
    Run.DatabaseName = name;
    Run.PosWarehouseId = int(q.asInteger(QStringLiteral("Pos1_WH")));
    Run.PosTaxCode = q.asString(QStringLiteral("Pos1_TaxCode"));
    Run.PosPriceIE = q.asString(QStringLiteral("Pos1_Price_IE"));
    Run.PosPriceType = int(q.asInteger(QStringLiteral("Pos1_PriceType")));
    Run.PosSumDetail = isY(q.asString(QStringLiteral("Pos1_SumDetail")));
    Run.PosComPort = q.asString(QStringLiteral("DefaultPosComPort"));
    Run.CompanyHeaderName = q.asString(QStringLiteral("NameThai"));
    Run.CompanyAddressLine = trimmedOfControls(q.asString(QStringLiteral("ADDRESS1"))) + QLatin1Char(' ')
        + trimmedOfControls(q.asString(QStringLiteral("ADDRESS2"))) + QLatin1Char(' ')
        + trimmedOfControls(q.asString(QStringLiteral("ADDRESS3")));
    Run.CompanyTaxIdLine = trimmedOfControls(q.asString(QStringLiteral("ADDRESS4"))) + QLatin1Char(' ')
        + trimmedOfControls(q.asString(QStringLiteral("ZIP"))) + QStringLiteral(" เลขประจำตัวผู้เสียภาษี ")
        + trimmedOfControls(q.asString(QStringLiteral("TAXNO")));

    QCompany.close();
    QCompany.setParam(QStringLiteral("GetName"), name);
    QCompany.open();
    QSoftwareConfig.open();
}

void TDMConfig::CheckRight(int menuId, int userId)
{
    SpMenuCaption.close();
    SpMenuCaption.setParam(QStringLiteral("@MENUID"), menuId);
    SpMenuCaption.setParam(QStringLiteral("@USERID"), userId);
    SpMenuCaption.execProc();
    Run.MenuCaption = trimmedOfControls(SpMenuCaption.asString(QStringLiteral("@CAPTION")));
    Run.UserCode = SpMenuCaption.asString(QStringLiteral("@USERCODE"));
    Run.CanAccess = isY(SpMenuCaption.asString(QStringLiteral("@ACCESS_R")));
    Run.CanAdd = isY(SpMenuCaption.asString(QStringLiteral("@ADD_R")));
    Run.CanModify = isY(SpMenuCaption.asString(QStringLiteral("@MODIFY_R")));
    Run.CanDelete = isY(SpMenuCaption.asString(QStringLiteral("@DELETE_R")));
    Run.SalesmanId = int(SpMenuCaption.asInteger(QStringLiteral("@SALESID")));
    SpMenuCaption.close();

    QUser.close();
    QUser.setParam(QStringLiteral("uid"), userId);
    QUser.open();
    Run.UserFullName = QUser.asString(QStringLiteral("FullName"));
    Run.ThaiLanguage = QUser.asInteger(QStringLiteral("LanguageNo")) == 1;
    const struct {
        const char* column;
        bool RunContext::*flag;
    } flags[] = {{"EditSalePrice", &RunContext::EditSalePrice},
                 {"Approve_Quo", &RunContext::Approve_Quo},
                 {"Approve_SO", &RunContext::Approve_SO},
                 {"Approve_IV", &RunContext::Approve_IV},
                 {"Approve_PO", &RunContext::Approve_PO},
                 {"Approved_PORQ", &RunContext::Approved_PORQ},
                 {"ApproveTranWH", &RunContext::ApproveTranWH},
                 {"ApproveTranBranch", &RunContext::ApproveTranBranch},
                 {"ApproveWorkOrder", &RunContext::ApproveWorkOrder},
                 {"CanSeeCost", &RunContext::CanSeeCost},
                 {"CanSeeSalePrice", &RunContext::CanSeeSalePrice},
                 {"CanModifyCusSale", &RunContext::CanModifyCusSale},
                 {"Approve_PreIs", &RunContext::Approve_PreIs},
                 {"ApproveCustomerDropUse", &RunContext::ApproveCustomerDropUse},
                 {"ApproveCustomerDropCredit", &RunContext::ApproveCustomerDropCredit},
                 {"CanModifyCredit", &RunContext::CanModifyCredit},
                 {"CanSetProductBlock", &RunContext::CanSetProductBlock},
                 {"CanSetProductMinus", &RunContext::CanSetProductMinus},
                 {"CanSaleCreditOnReturnCheque", &RunContext::CanSaleCreditOnReturnCheque}};
    for (const auto& f : flags)
        Run.*(f.flag) = isY(QUser.asString(QLatin1String(f.column)));
    QUser.close();

    if (Run.ThaiLanguage) {
        Run.SavePrompt = QStringLiteral("จัดเก็บข้อมูล ?");
        Run.DeletePrompt = QStringLiteral("ลบข้อมูล ?");
        Run.ExitPrompt = QStringLiteral("ออกจากโปรแกรม ?");
    } else {
        Run.SavePrompt = QStringLiteral("Save Data ?");
        Run.DeletePrompt = QStringLiteral("Delete Data ?");
        Run.ExitPrompt = QStringLiteral("Exit Program ?");
    }
}

void TDMConfig::raiseMenuVersion(db::Query& q, int version)
{
    q.setSql({"If (Not Exists(Select Name From SysColumns",
              "               Where Id = (Select Id From SysObjects Where Ltrim(Rtrim(Upper(Name))) = 'MENU') And",
              "                     Ltrim(Rtrim(Upper(Name)))='VERSION'))",
              "Begin",
              "  Alter Table Menu Add Version Integer",
              "End"});
    q.execSql();
    q.setSql({"Update Menu Set Version = 3 Where Version Is Null And Command Is Not Null"});
    q.execSql();
    q.setSql({"Update Menu Set Version = :GetVersion",
              "Where (Coalesce(Version, 0) < :GetVersion)",
              "      And(LTrim(RTrim(Coalesce(Command, ''))) <> '')",
              "      And(Upper(LTrim(RTrim(Coalesce(Command, '')))) = (Select Upper(LTrim(RTrim(Coalesce(Command, "
              "'')))) From Menu Where Id = :MenuId))"});
    q.setParam(QStringLiteral("GetVersion"), version);
    q.setParam(QStringLiteral("MenuId"), Run.MenuId);
    q.execSql();
}

bool TDMConfig::CheckVersion(int version)
{
    db::Query q(kAlias);
    // Nothing can be recorded in a read-only configuration database: the
    // registered version is only compared.
    if (!connection_.engine().isReadOnly())
        raiseMenuVersion(q, version);
    q.setSql({"Select Version From Menu Where Id = :MenuId"});
    q.open();
    const bool current = !q.isEmpty() && q.asInteger(QStringLiteral("Version")) <= version;
    q.close();
    if (!current)
        widgets::showMessage(widgets::MessageKind::Plain, QStringLiteral("กรุณา อัพเดท โปรแกรม Version ใหม่ด้วยค่ะ !!"));
    return current;
}

void TDMConfig::WriteErrorLog(const QString& message)
{
    SpAddErrorLog.close();
    SpAddErrorLog.setParam(QStringLiteral("@CompName"), ComputerName());
    SpAddErrorLog.setParam(QStringLiteral("@LogName"), WindowsUserName());
    SpAddErrorLog.setParam(QStringLiteral("@UserId"), Run.UserId);
    SpAddErrorLog.setParam(QStringLiteral("@MenuId"), Run.MenuId);
    SpAddErrorLog.setParam(QStringLiteral("@ErrorMsg"), message);
    try {
        SpAddErrorLog.execProc();
    } catch (const db::DbError&) {
        // A damaged file passes for a missing procedure or table: say what
        // it is, and which file.
        const QString damage = ConfigDatabaseDamage();
        if (!damage.isEmpty())
            throw db::DbError(damage);
        throw;
    }
}

QString TDMConfig::ConfigDatabaseDamage()
{
    if (!connection_.isOpen())
        return QString();
    const auto* embedded = dynamic_cast<const db::sqlite::SqliteEngine*>(&connection_.engine());
    if (!embedded)
        return QString();
    const QString damage = databaseFileDamage(embedded->filePath());
    if (damage.isEmpty())
        return QString();
    return QStringLiteral("The configuration database %1 is damaged: %2 (%3)")
        .arg(embedded->databaseName(), QDir::toNativeSeparators(embedded->filePath()), damage);
}

void TDMConfig::SendErrorMail(const QString& subject, const QString& body)
{
    mail::SmtpSettings settings;
    try {
        settings = mail::readSmtpSettings(QDir(startFolder_).filePath(QStringLiteral("QEL.INI")));
    } catch (...) {
        return;  // a report that cannot be mailed is simply not mailed
    }
    // A mail server may keep us waiting up to the settings' time-out; the
    // windows keep painting meanwhile. Input waits, as it does while a
    // statement waits for a locked database.
    std::unique_ptr<QThread> sender(
        QThread::create([settings, subject, body] { mail::SmtpClient::send(settings, subject, body); }));
    QEventLoop waiting;
    connect(sender.get(), &QThread::finished, &waiting, &QEventLoop::quit);
    sender->start();
    waiting.exec(QEventLoop::ExcludeUserInputEvents);
    sender->wait();
}
