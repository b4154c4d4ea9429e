#include "TDM.h"

#include "ErrorTranslation.h"
#include "LockWaitNotice.h"
#include "QuantityInUnits.h"
#include "widgets/NumberMask.h"
#include "TFrShowError.h"

#include "config/TDMConfig.h"
#include "config/Trim.h"
#include "db/DbError.h"
#include "widgets/MessageBox.h"

#include <QHash>

#include <cmath>
#include <cstdio>
#include <exception>

TDM* DM = nullptr;

namespace {

const QString kAlias = QStringLiteral("DMDATA");

// EAN-13: digits 1, 3, 5 ... weigh 1, digits 2, 4, 6 ... weigh 3.
QStringList checkDigitStatement()
{
    QStringList odd, even;
    for (int i = 1; i <= 12; ++i) {
        const QString digit = QStringLiteral("Convert(Int, Substring(:Barcode, %1, 1))").arg(i);
        (i % 2 ? odd : even).append(digit);
    }
    return {QStringLiteral("Select Convert(Char(1), (10 - ((") + odd.join(QStringLiteral(" + ")) + QStringLiteral(") + 3 * (")
                + even.join(QStringLiteral(" + ")) + QStringLiteral(")) % 10) % 10) ChkDigit")};
}

} // namespace

TDM::TDM(QObject* parent)
    : QObject(parent),
      QConfig(kAlias),
      QAccountPeriod(kAlias),
      QProvince(kAlias),
      QTransport(kAlias),
      QPriceLevel(kAlias),
      QTax(kAlias),
      QTaxRate(kAlias),
      QSalesman(kAlias),
      QUnitFraction(kAlias),
      QStockUnitQnty(kAlias),
      QNewId(kAlias),
      QDocumentNo(kAlias),
      QDocConvert(kAlias),
      QAcID(kAlias),
      QGetChkDigitBarcode(kAlias),
      SpNextDocNo(kAlias, QStringLiteral("NewDocumentNo")),
      SpAddLog(kAlias, QStringLiteral("UserAddLog")),
      SpServerTime(kAlias, QStringLiteral("ServerTime")),
      DelGL(kAlias),
      connection_(kAlias),
      lockWaits_(new LockWaitNotice(this))
{
    connection_.setBeforeConnect([this] { beforeConnect(); });
    connection_.setAfterConnect([this] { afterConnect(); });

    QConfig.setSql({"SELECT   *", "FROM Config"});
    QAccountPeriod.setSql({"select  * ", "from accountperiod", "order by accountyear desc"});
    QProvince.setSql({"Select Id, Code, Description, GroupCode", "From Misc", "Where GroupCode = 'CITY'", "Order By Code"});
    QTransport.setSql(
        {"Select Id, Code, Description, GroupCode", "From Misc", "Where GroupCode = 'TRANSPORT'", "Order By Code"});
    QPriceLevel.setSql(
        {"Select Id, Code, Description, GroupCode", "From Misc", "Where GroupCode = 'PRICETYPE'", "Order By Code"});
    QTax.setSql({"Select Id, Code, Rate", "From Tax", "Order By Code"});
    QTaxRate.setSql({"Select Rate", "From Tax", "Where Id = :GetCode"});
    QSalesman.setSql({"Select Id, Code, Name", "From Salesman", "Order By Code"});
    QUnitFraction.setSql({"SELECT U.UnitName LUnit, U.Fraction, M.UnitName SUnit, U.Product IdProd",
                          "FROM ProductUnits U",
                          "Inner Join ProductUnits M On ((U.Product = M.Product) And (M.SmallUnitFlag = 'Y'))",
                          "Where (U.Id = :GetUnit)"});
    QStockUnitQnty.setSql({"SELECT U.Id, U.UnitName, U.Fraction, M.UnitName SUnit", "FROM ProductUnits U",
                           "Inner Join ProductUnits M On ((U.Product = M.Product) And (M.SmallUnitFlag = 'Y'))",
                           "Where (U.Product = :GetProduct) And (U.StockUnitFlag = 'Y')"});
    QNewId.setSql({"SELECT @@IDENTITY AS 'New_Id'"});
    QDocumentNo.setSql({"Select Prefix, LastNo, DocumentLength, AutoRun", "From DocumentNo",
                        "Where (DocCode = :GetCode) And (DocYear = :GetYear)"});
    QDocConvert.setSql({"Select D.Prefix, D.LastNo, D.DocumentLength, D.AutoRun", "From DocNoConvert C",
                        "Inner Join DocumentNo D On (D.DocCode = C.ConvertCode) And (D.DocYear = :GetYear)",
                        "Where (C.DocCode = :GetCode)"});
    QAcID.setSql({"Select A.*", "From accountchart A", "Inner Join accountinterface I On (I.AccountChart = A.Id)",
                  "Where (I.Id = :inputid)"});
    QGetChkDigitBarcode.setSql(checkDigitStatement());

    using db::ParamDirection;
    SpNextDocNo.addParam(QStringLiteral("Result"), ParamDirection::Result, QMetaType::Int);
    SpNextDocNo.addParam(QStringLiteral("@DocCode"), ParamDirection::Input);
    SpNextDocNo.addParam(QStringLiteral("@DocYear"), ParamDirection::Input, QMetaType::Int);
    SpNextDocNo.addParam(QStringLiteral("@NewNo"), ParamDirection::Output);
    SpAddLog.addParam(QStringLiteral("Result"), ParamDirection::Result, QMetaType::Int);
    for (const char* p : {"@UserId", "@MenuId", "@FunctionListId", "@DocumentId"})
        SpAddLog.addParam(QLatin1String(p), ParamDirection::Input, QMetaType::Int);
    SpAddLog.addParam(QStringLiteral("@Remark"), ParamDirection::Input);
    SpServerTime.addParam(QStringLiteral("Result"), ParamDirection::Result, QMetaType::Int);
    SpServerTime.addParam(QStringLiteral("@ServerTime"), ParamDirection::Output, QMetaType::QDateTime);

    DelGL.lines() = QStringList{"Delete From GLDt Where GLHd In (Select Id From GLHd Where (DocumentId = :id) And "
                                "(DocumentNo = :no))",
                                "/", "Delete From GLHd Where (DocumentId = :id) And (DocumentNo = :no)", "/"};
}

TDM::~TDM()
{
    connection_.close();
}

QStringList TDM::BusinessConnectionLines() const
{
    // Argument 3 trimmed, case kept; the server as the configuration uses it.
    return QStringList{QStringLiteral("DATABASE NAME=") + trimmedOfControls(databaseArgument_),
                       QStringLiteral("SERVER NAME=") + TDMConfig::ServerName(), QStringLiteral("USER NAME=qel"),
                       QStringLiteral("OPEN MODE=READ/WRITE")}
        + TDMConfig::CommonConnectionLines();
}

void TDM::beforeConnect()
{
    BusinessDatabaseName = trimmedOfControls(databaseArgument_);
    connection_.params() = BusinessConnectionLines();
}

void TDM::afterConnect()
{
    QConfig.close();
    QConfig.open();
    QAccountPeriod.close();
    QAccountPeriod.open();
    IvRefSO = QConfig.asString(QStringLiteral("IvRefSO")) == QLatin1String("Y");
    MrRefPO = QConfig.asString(QStringLiteral("MrRefPO")) == QLatin1String("Y");
    EditPricePO = QConfig.asString(QStringLiteral("EditPricePO")) == QLatin1String("Y");
    ShowProductPriceList = QConfig.asString(QStringLiteral("ShowProductPriceList")) == QLatin1String("Y");
    if (afterConnectHook_)
        afterConnectHook_();
}

db::Query& TDM::Config()
{
    if (!QConfig.isOpen())
        QConfig.open();
    return QConfig;
}

QString TDM::QuantityText(int unitId, double quantity)
{
    return QuantityTexts(unitId, {quantity}).value(0);
}

QStringList TDM::QuantityTexts(int unitId, const QList<double>& quantities)
{
    // The unit's fraction and the setup row's masks are read once for the
    // whole list: a product stocked in hundreds of warehouses would run the
    // statement once per row otherwise.
    QUnitFraction.close();
    QUnitFraction.setParam(QStringLiteral("GetUnit"), unitId);
    QUnitFraction.open();

    db::Query& config = Config();
    QString smallMask;
    if (config.isNull(QStringLiteral("OnhandDecimal")) || config.asInteger(QStringLiteral("OnhandDecimal")) == 0) {
        smallMask = QStringLiteral(" #,###,###.###### ");
    } else {
        const qint64 n = config.asInteger(QStringLiteral("OnhandDecimal"));
        smallMask = n > 0 ? QStringLiteral(" #,###,##0.") + QString(int(n), QLatin1Char('0')) + QLatin1Char(' ')
                          : QStringLiteral(" #,###,##0. ");
    }
    const data::UnitMasks masks{smallMask, QStringLiteral("###,###,##0 "), smallMask};
    const bool known = !QUnitFraction.isEmpty();
    const qint64 fraction = known ? QUnitFraction.asInteger(QStringLiteral("Fraction")) : 0;
    const QString left = config.asString(QStringLiteral("UnitLeft"));
    const QString right = config.asString(QStringLiteral("UnitRight"));
    const QString largeName = known ? left + QUnitFraction.asString(QStringLiteral("LUnit")) + right : QString();
    const QString smallName = known ? left + QUnitFraction.asString(QStringLiteral("SUnit")) + right : QString();

    QStringList texts;
    texts.reserve(quantities.size());
    // A product held in a few of many warehouses writes its nought hundreds
    // of times: each quantity is written once.
    QHash<double, QString> written;
    for (const double quantity : quantities) {
        const auto done = written.constFind(quantity);
        if (done != written.constEnd()) {
            texts.append(*done);
            continue;
        }
        const QString text = known
            ? trimmedOfControls(data::quantityInUnits(quantity, fraction, masks, largeName, smallName))
            : trimmedOfControls(formatNumber(smallMask, std::fabs(quantity)) + QStringLiteral("ERROR"));
        written.insert(quantity, text);
        texts.append(text);
    }
    return texts;
}

void TDM::RunBusinessSchemaScript()
{
    QStringList lines{"If (Not Exists (select Id from SysObjects Where Name = 'CheckVersionProgramEXE'))",
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
        lines << QStringLiteral("If Not exists (select Id from SysColumns Where Name = '%1' And Id = (select Id From "
                                "SysObjects Where Name = 'Product'))")
                     .arg(QLatin1String(column))
              << QStringLiteral("  Alter Table Product Add %1 CharFlag").arg(QLatin1String(column)) << QStringLiteral("/");
    }
    for (const char* column : {"CheckSerialPurc", "CheckSerialSale", "CheckSerialStock", "CheckSerialOnhand"})
        lines << QStringLiteral("Update Product Set %1 =  UseSerial Where %1 Is Null").arg(QLatin1String(column))
              << QStringLiteral("/");
    lines << "If Not exists (select Id from SysColumns Where Name = 'ProductFree' And Id = (select Id From SysObjects "
             "Where Name = 'Product'))"
          << QStringLiteral("  Alter Table Product Add ProductFree CharFlag   -- สามารถขายราคา 0 ได้ หรือไม่ (ของแถม)")
          << "/"
          << "If Not Exists (Select Id From SysColumns Where Name = 'ShowProductPriceList' And Id = (Select Id From "
             "SysObjects Where Name = 'Config'))"
          << "   Alter Table Config Add ShowProductPriceList CharFlag Null"
          << "/";
    db::Script(kAlias, lines).execute();
}

bool TDM::CheckVersionProgramEXE(const QString& programExe, int version)
{
    RunBusinessSchemaScript();
    db::Query q(kAlias);
    q.setSql({"If Not Exists (Select Id From CheckVersionProgramEXE Where ProgramExe = :ProgramExe)",
              "   Insert Into CheckVersionProgramEXE (ProgramEXE, Version, LastUpdate)",
              "   Values (:ProgramExe, 1, GetDate())",
              "",
              "If ((select Version From CheckVersionProgramEXE Where ProgramExe = :ProgramExe) < :Version)",
              "   Update CheckVersionProgramEXE",
              "   Set Version = :Version,",
              "       LastUpdate = GetDate()",
              "   Where ProgramExe = :ProgramExe",
              "",
              "select Version VersionExe From CheckVersionProgramEXE Where ProgramExe = :ProgramExe"});
    q.setParam(QStringLiteral("ProgramExe"), programExe);
    q.setParam(QStringLiteral("Version"), version);
    q.open();
    const qint64 stored = q.asInteger(QStringLiteral("VersionExe"));
    q.close();
    if (version < stored) {
        widgets::showMessage(widgets::MessageKind::Plain,
                             QStringLiteral("โปรแกรม ") + programExe + QStringLiteral(" เป็นตัวเก่า กรุณา Update Program ด้วย"));
        return false;
    }
    return true;
}

void TDM::HandleException(const QString& message)
{
    const int giveUps = lockWaits_->giveUps();
    try {
        if (DMConfig)
            DMConfig->WriteErrorLog(message);
    } catch (const std::exception& e) {
        QString why = QString::fromUtf8(e.what());
        if (lockWaits_->giveUps() != giveUps)
            why = lockWaits_->gaveUpText() + QStringLiteral(" (") + why + QLatin1Char(')');
        std::fprintf(stderr, "The error log could not be written: %s\nThe error was: %s\n",
                     why.toLocal8Bit().constData(), message.toLocal8Bit().constData());
    }
    const QString text = translateErrorMessage(message) + QLatin1Char('\r');
    if (widgets::unattended()) {
        std::fprintf(stderr, "%s\n", text.trimmed().toLocal8Bit().constData());
        return;
    }
    TFrShowError window;
    window.ErrorText = text;
    window.exec();
}
