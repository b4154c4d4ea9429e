#include "TDmProduct.h"

#include "ProductQuery.h"

#include "data/TDM.h"
#include "widgets/MessageBox.h"

TDmProduct* DmProduct = nullptr;

namespace {

const QString kAlias = QStringLiteral("DMDATA");

// An asked kind matches a flag that begins with "Y". A kind not asked binds
// `otherwise`: "X%" (no flag matches) where the kind tests are joined by Or,
// "%" (any flag) where they are joined by And.
void bindUnitKinds(db::Query& query, TDmProduct::UnitKinds kinds, const QString& otherwise)
{
    const QString asked = QStringLiteral("Y%");
    query.setParam(QStringLiteral("SaleUnit"), kinds.testFlag(TDmProduct::SaleUnit) ? asked : otherwise);
    query.setParam(QStringLiteral("PurcUnit"), kinds.testFlag(TDmProduct::PurchaseUnit) ? asked : otherwise);
    query.setParam(QStringLiteral("StockUnit"), kinds.testFlag(TDmProduct::StockUnit) ? asked : otherwise);
    query.setParam(QStringLiteral("SmallUnit"), kinds.testFlag(TDmProduct::SmallUnit) ? asked : otherwise);
}

QString unitNameOf(db::Query& query)
{
    return query.isEmpty() ? QString() : query.asString(QStringLiteral("UnitName"));
}

} // namespace

TDmProduct::TDmProduct(QObject* parent)
    : QObject(parent),
      QChkProduct(kAlias),
      QSpecialName(kAlias),
      QChkUnit(kAlias),
      QChkLotNo(kAlias),
      QChkLotOnHand(kAlias),
      QCreateSerialNo(kAlias),
      QChkSerial(kAlias),
      QChkWarehouse(kAlias),
      QDefaultUnit(kAlias),
      QStockUnit(kAlias),
      QSmallUnit(kAlias),
      QChkProdAttrCode(kAlias),
      QChkBarCode(kAlias),
      QChkPartSource(kAlias),
      QExistsPartSource(kAlias),
      QPriceStandard(kAlias),
      QChkProjectItemCode(kAlias),
      QProductPrice(kAlias),
      QStockUnitPrice(kAlias),
      QCustomerProductPrice(kAlias),
      QPromotion(kAlias),
      QProjectPrice(kAlias),
      QPriceVendor(kAlias),
      QOnHand(kAlias),
      QShowQnty(kAlias),
      QOnhandWH(kAlias),
      QOnhandWHunits(kAlias)
{
    buildStatements();
}

TDmProduct::~TDmProduct() = default;

bool TDmProduct::ExistsProduct(const QString& code)
{
    QString lookup = code;
    if (ProductByBarCode)
        lookup = ExistsBarCode(code) ? QChkBarCode.asString(QStringLiteral("Code")) : QString();
    const bool found = product::openFirst(QChkProduct, {{"GetCode", lookup}});
    SpecialName.clear();
    if (found && DM->Config().asInteger(QStringLiteral("SearchProductNo")) == 2) {
        if (product::openFirst(QSpecialName, {{"GetCode", lookup}}))
            SpecialName = QSpecialName.asString(QStringLiteral("ThaiName"));
    }
    return found;
}

bool TDmProduct::ExistsProductUnit(int productId, const QString& unitName, UnitKinds kinds)
{
    QChkUnit.close();
    bindUnitKinds(QChkUnit, kinds, QStringLiteral("X%"));
    return product::openFirst(QChkUnit, {{"GetProduct", productId}, {"GetUnit", unitName}});
}

QString TDmProduct::GetFirstUnit(int productId, UnitKinds kinds)
{
    QDefaultUnit.close();
    bindUnitKinds(QDefaultUnit, kinds, QStringLiteral("%"));
    product::openFirst(QDefaultUnit, {{"GetId", productId}});
    return unitNameOf(QDefaultUnit);
}

bool TDmProduct::ExistsLotNo(const QString& lotCode, const QDateTime& date)
{
    if (!product::openFirst(QChkLotNo, {{"GetCode", lotCode}}))
        return false;
    if (QChkLotNo.asString(QStringLiteral("HasExpired")) == QLatin1String("N"))
        return true;
    // A lot without an expiry date counts as expired before any date.
    const QDateTime expires = QChkLotNo.asDateTime(QStringLiteral("ExpiredDate"));
    if (expires.isValid() && expires >= date)
        return true;
    widgets::showMessage(widgets::MessageKind::Information, QStringLiteral("LotNo หมดอายุแล้ว"));
    return false;
}

double TDmProduct::LotNoOnHand(int lotId, int productId, int warehouseId, int balanceYear)
{
    product::openFirst(QChkLotOnHand, {{"GetLotNo", lotId},
                                       {"GetProduct", productId},
                                       {"GetWarehouse", warehouseId},
                                       {"GetYear", balanceYear}});
    return QChkLotOnHand.isEmpty() ? 0.0 : QChkLotOnHand.asFloat(QStringLiteral("LotQnty"));
}

bool TDmProduct::ExistsSerialNo(const QString& serialCode, int productId)
{
    QCreateSerialNo.close();
    QCreateSerialNo.setParam(QStringLiteral("ProductId"), productId);
    QCreateSerialNo.setParam(QStringLiteral("SerialCode"), serialCode);
    QCreateSerialNo.execSql();
    QCreateSerialNo.close();
    if (!product::openFirst(QChkSerial, {{"GetSerial", serialCode}, {"GetProduct", productId}}))
        return false;
    return QChkSerial.asString(QStringLiteral("OnHand")) == QLatin1String("Y");
}

bool TDmProduct::ExistsWarehouse(const QString& code)
{
    return product::openFirst(QChkWarehouse, {{"GetCode", code}});
}

QString TDmProduct::GetStockUnit(int productId)
{
    product::openFirst(QStockUnit, {{"GetId", productId}});
    return unitNameOf(QStockUnit);
}

QString TDmProduct::GetSmallUnit(int productId)
{
    product::openFirst(QSmallUnit, {{"GetId", productId}});
    return unitNameOf(QSmallUnit);
}

bool TDmProduct::ExistsProdAttrCode(int groupId, const QString& code)
{
    return product::openFirst(QChkProdAttrCode, {{"GetGroup", groupId}, {"GetCode", code}});
}

bool TDmProduct::ExistsBarCode(const QString& barCode)
{
    return product::openFirst(QChkBarCode, {{"GetCode", barCode}});
}

bool TDmProduct::ExistsPartSource(int unitId, int vendorId)
{
    product::openFirst(QPriceStandard, {{"GetId", unitId}});
    return product::openFirst(QExistsPartSource, {{"GetId", unitId}, {"GetVId", vendorId}});
}

bool TDmProduct::ExistsVendorPartCode(const QString& purchaseCode, int vendorId)
{
    return product::openFirst(QChkPartSource, {{"GetVId", vendorId}, {"GetCode", purchaseCode}});
}

bool TDmProduct::ExistsProjectItemCode(const QString& itemCode, int projectId)
{
    return product::openFirst(QChkProjectItemCode, {{"code", itemCode}, {"projectid", projectId}});
}
