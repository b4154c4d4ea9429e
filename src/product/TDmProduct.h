#pragma once

#include "db/Money.h"
#include "db/Query.h"

#include <QDateTime>
#include <QFlags>
#include <QObject>
#include <QString>

// The product data module: answers the questions sales and stock windows ask
// about the codes a clerk types (product, unit, lot, serial number,
// warehouse, attribute, bar code, vendor codes), lets the clerk pick one from
// a search dialog, determines selling, project and purchase prices, and
// writes on-hand texts. Everything runs on the business database "DMDATA".
//
// Every operation closes its query, binds by name, opens it and looks only at
// the first row. A check that finds its row leaves its query open there, so
// that the caller reads any further column straight from the query (for
// example QChkProduct's Id, ThaiName and TaxRate after ExistsProduct). Not
// finding a row is an answer; database errors pass to the caller. The setup
// row (DM) and the point-of-sale price type (DMConfig) are read afresh at
// every call.
class TDmProduct : public QObject {
    Q_OBJECT
public:
    // Unit kinds, as the bits callers combine.
    enum UnitKind : quint8 { SaleUnit = 1, PurchaseUnit = 2, StockUnit = 4, SmallUnit = 8 };
    Q_DECLARE_FLAGS(UnitKinds, UnitKind)

    // Which source the last price operation took its price from.
    enum class PriceSource {
        None,                // no source had a price: 0
        PriceList,           // the price list, for the price type asked
        FallbackType,        // the price list, for the point-of-sale price type
        StockUnitPriceList,  // the price list, the stock unit's price
        CustomerPrice,       // the customer's own price
        CustomerPromotion,   // a promotion line for this customer
        PromotionForAll,     // a promotion line for every customer
        ProjectPrice,        // the price agreed for the customer's project
    };
    static QString priceSourceText(PriceSource source);

    explicit TDmProduct(QObject* parent = nullptr);
    ~TDmProduct() override;

    // ---- state (shared by all callers; each call replaces what it writes)
    QString SearchCode;             // what the last search dialog handed back
    bool ProductByBarCode = false;  // ExistsProduct reads its input as a bar code first
    QString SpecialName;            // with SearchProductNo 2: the last found product's name
    bool PriceByStockUnit = false;  // see GetPrice
    int PriceQnty = 0;
    QString PriceDiscount;
    double WHOnHandQnty = 0;  // the signed sum of the last warehouse on-hand operation
    PriceSource LastPriceSource = PriceSource::None;

    // ---- checks
    bool ExistsProduct(const QString& code);
    // A unit of exactly that name with at least one of the asked kinds.
    bool ExistsProductUnit(int productId, const QString& unitName, UnitKinds kinds);
    // The smallest unit that has all the asked kinds; empty when none.
    QString GetFirstUnit(int productId, UnitKinds kinds);
    // A lot that never expires, or expires on or after `date`; an expired
    // lot is refused after a message.
    bool ExistsLotNo(const QString& lotCode, const QDateTime& date);
    // On hand of the lot over all balance years up to `balanceYear`.
    double LotNoOnHand(int lotId, int productId, int warehouseId, int balanceYear);
    // Registers the serial number first when the product asks for it, then
    // checks that it is on hand.
    bool ExistsSerialNo(const QString& serialCode, int productId);
    bool ExistsWarehouse(const QString& code);
    QString GetStockUnit(int productId);
    QString GetSmallUnit(int productId);
    bool ExistsProdAttrCode(int groupId, const QString& code);
    bool ExistsBarCode(const QString& barCode);
    // Leaves QPriceStandard open on the unit's standard prices as well.
    bool ExistsPartSource(int unitId, int vendorId);
    bool ExistsVendorPartCode(const QString& purchaseCode, int vendorId);
    bool ExistsProjectItemCode(const QString& itemCode, int projectId);

    // ---- searches: true when the dialog closed with OK; SearchCode gets
    // what it handed back (empty after a cancel)
    bool SearchProduct();
    bool SearchUnitName(int productId);  // the product's purchase units
    bool SearchLotNo();
    bool SearchWarehouse();
    bool SearchProductBarCode();

    // ---- prices, exactly as stored
    // The price list of the unit and price type (else of the point-of-sale
    // price type), overridden by the customer's own price above 0, then by a
    // promotion for the customer, else for every customer, valid on the day
    // of `date`. With PriceByStockUnit on and the setup row's SearchProductNo
    // 2 and DisplayFraction "Y", the stock unit's price list and customer
    // price stand in for the unit's. Sets PriceDiscount, PriceQnty (1) and
    // LastPriceSource.
    db::Money GetPrice(int customerId, int productId, int unitId, int priceType, const QDateTime& date);
    // As GetPrice without the fallback type or stock-unit mode, any customer
    // price (even 0) counts and leaves its quantity in PriceQnty, and the
    // project's own price overrides everything.
    db::Money GetProjectPrice(int customerId, int productId, int unitId, int priceType, int projectId,
                              const QDateTime& date);
    // The vendor's price for the unit, else the unit's standard purchase
    // price, else `defaultPrice`.
    db::Money SetPurchasePrice(int productId, int vendorId, db::Money defaultPrice, int unitId);

    // ---- on-hand texts ("2 Box 6 Piece"); "Error" when the product is unknown
    QString ProductQuantity(int productId, int balanceYear);
    QString ShowQuantity(int productId, double quantity);
    QString ProductWHQuantity(int productId, int warehouseId, int balanceYear);
    // Never counts the warehouse "RMA".
    QString ProductUnitsWHQuantity(int productId, int unitId, int warehouseId, int balanceYear);

    // ---- the statements, by their names
    db::Query QChkProduct;
    db::Query QSpecialName;
    db::Query QChkUnit;
    db::Query QChkLotNo;
    db::Query QChkLotOnHand;
    db::Query QCreateSerialNo;
    db::Query QChkSerial;
    db::Query QChkWarehouse;
    db::Query QDefaultUnit;
    db::Query QStockUnit;
    db::Query QSmallUnit;
    db::Query QChkProdAttrCode;
    db::Query QChkBarCode;
    db::Query QChkPartSource;
    db::Query QExistsPartSource;
    db::Query QPriceStandard;
    db::Query QChkProjectItemCode;
    db::Query QProductPrice;
    db::Query QStockUnitPrice;
    db::Query QCustomerProductPrice;
    db::Query QPromotion;
    db::Query QProjectPrice;
    db::Query QPriceVendor;
    db::Query QOnHand;
    db::Query QShowQnty;
    db::Query QOnhandWH;
    db::Query QOnhandWHunits;

private:
    void buildStatements();
    bool applyPromotion(int customerId, int productId, int unitId, int priceType, const QDateTime& date,
                        db::Money* price);
    // Where an on-hand text takes its quantity from: the caller, the
    // statement's sum, or the sum of one warehouse (kept in WHOnHandQnty).
    struct Quantity {
        enum From { Given, Sum, WarehouseSum } from;
        double given = 0;
    };
    QString onHandTextOf(db::Query& query, Quantity quantity);
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TDmProduct::UnitKinds)

// The run's one product data module.
extern TDmProduct* DmProduct;
