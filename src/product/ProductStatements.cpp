// The product data module's statements, line by line as the suite keeps
// them, trailing blank lines and comments included (their own comment asks
// that no line be moved).

#include "TDmProduct.h"

void TDmProduct::buildStatements()
{
    QChkProduct.setSql({
        "SELECT P.Id, P.Code, P.ThaiName, P.EngName, P.PosName, P.ProductType,P.PriceIE ,P.PrintFrac,",
        "  P.UseSerial, P.LotControl, P.TaxCode, P.DefaultWh, P.PriceByVolumn,P.Discount,W.flagin,w.flagout,",
        "  P.VolumnUnit, T.Rate TaxRate, W.Code WhCode, W.Name WhName,P.Blocked,P.Negative, "
        "Coalesce(P.ProductFree,'N')ProductFree,",
        "  P.Size_W,P.Size_L,P.Size_H,P.CartonsUnits,P.Cartons,P.NetWeight,P.GrossWeight, P.ProductDesc, "
        "Coalesce(P.CheckSerialPurc,'N')CheckSerialPurc, Coalesce(P.CheckSerialSale,'N')CheckSerialSale, "
        "Coalesce(P.CheckSerialStock,'N')CheckSerialStock,  Coalesce(P.CheckSerialOnhand,'N')CheckSerialOnhand, "
        "Coalesce(P.PerDiscountOver,0)PerDiscountOver",
        "FROM Product P",
        "INNER JOIN Tax T On (T.Id = P.TaxCode)",
        "INNER JOIN Warehouse W On (W.Id = P.DefaultWh)",
        "WHERE (P.Code = :GetCode) AND (Coalesce(P.Blocked,'N') <> 'Y')  And (Coalesce(P.MasterCode,'N')<>'Y')",
        "/*     And  (ProductType <> 'S') And (P.ProductType <> 'M') */",
        "/* ห้ามย้ายบรรทัด */",
        " ", " ", " ", " ", " ", " ", " ",
    });
    QSpecialName.setSql({
        "Select P.Id, P.Code,",
        "       ltrim(rtrim(P.ThaiName)) ThaiName,",
        "       P.Remark, P.ProductType ,P.Picture1 ",
        "From ProductView P",
        "WHERE (P.Code = :GetCode) AND (P.Blocked <> 'Y') ",
    });
    QChkUnit.setSql({
        "SELECT Id, UnitName, Fraction, VolumnFraction,BarCode,PurcPrice,LabourCost",
        "From ProductUnits",
        "Where (Product = :GetProduct) And (UnitName = :GetUnit) And",
        "  ((SaleFlag Like :SaleUnit) Or (PurcFlag Like :PurcUnit) Or",
        "   (SmallUnitFlag Like :SmallUnit) Or (StockUnitFlag Like :StockUnit))",
    });
    QChkLotNo.setSql({"SELECT Id, Code, HasExpired, ExpiredDate", "FROM LotNo", "WHERE (Code = :GetCode)"});
    QChkProjectItemCode.setSql({"select id,code", "from projectitemhd", "where project=:projectid and code=:code"});
    QChkLotOnHand.setSql({
        "SELECT Sum(L.Quantity) LotQnty",
        "FROM LotOnHand L",
        "WHERE (L.Product = :GetProduct) And",
        "  (L.LotNo = :GetLotNo) And (L.BalanceYear <= :GetYear) And (L.Warehouse = :GetWarehouse)",
    });
    QCreateSerialNo.setSql({
        "Declare @SerialId IdNo",
        "If Exists (Select Id From product Where Id = :ProductId And UseSerial = 'Y' And CheckSerialOnhand = 'N')",
        "   Exec CreateSerialNo :ProductId, :SerialCode, @SerialId Output",
        "select  @SerialId",
    });
    QChkSerial.setSql({"SELECT Id, Serial, OnHand", "FROM SerialNo", "WHERE (Product = :GetProduct) And (Serial = :GetSerial)"});
    QChkWarehouse.setSql({"SELECT W.Id, W.Code, W.Name,W.islocation", "FROM WareHouse W", "WHERE (W.Code = :GetCode)"});
    QDefaultUnit.setSql({
        "SELECT U.Id, U.UnitName, U.Fraction, U.BarCode, U.VolumnFraction,U.PurcPrice",
        "FROM ProductUnits U",
        "WHERE (U.Product = :GetId) And",
        "  (U.SaleFlag Like :SaleUnit) And (U.PurcFlag Like :PurcUnit) And",
        "  (U.SmallUnitFlag Like :SmallUnit) And (U.StockUnitFlag Like :StockUnit)",
        "Order By U.Fraction",
    });
    QStockUnit.setSql({"SELECT U.Id, U.UnitName, U.Fraction, U.BarCode, U.VolumnFraction", "FROM ProductUnits U",
                       "WHERE (U.Product = :GetId) And (U.StockUnitFlag='Y')"});
    QSmallUnit.setSql({"SELECT U.Id, U.UnitName, U.Fraction, U.BarCode, U.VolumnFraction", "FROM ProductUnits U",
                       "WHERE (U.Product = :GetId) And (U.SmallUnitFlag='Y')"});
    QChkProdAttrCode.setSql({"SELECT C.Id, C.ProdAttrGroup, C.Code, C.Description", "FROM ProdAttrCode C",
                             "WHERE (C.prodAttrGroup = :GetGroup) And (C.Code = :GetCode)"});
    QChkBarCode.setSql({
        "Select U.Id, U.BarCode, U.Fraction, U.UnitName,",
        "  U.PurcFlag, U.SaleFlag, U.SmallUnitFlag, U.StockUnitFlag,",
        "  P.Id ProductId, P.Code, P.ThaiName, P.EngName, P.PosName, ",
        "  P.UseSerial, P.LotControl, P.TaxCode, P.DefaultWh, ",
        "  U.PurcPrice, U.LabourCost,",
        "  T.Rate TaxRate, ",
        "  W.Code WhCode, W.Name WhName,",
        "  (Select Pp.Price from ProductPrice Pp Where pp.ProductUnits = U.Id And pp.PriceType = 19) price, "
        "Coalesce(P.PerDiscountOver,0)PerDiscountOver",
        "From ProductUnits U",
        "Inner Join Product P On (P.Id = U.Product)",
        "Inner Join Tax T On (T.Id = P.TaxCode)",
        "Inner Join Warehouse W On (W.Id = P.DefaultWh)",
        "Where (U.BarCode = :GetCode) AND (P.Blocked <> 'Y') And (U.BarCode Is Not Null)",
    });
    QPriceStandard.setSql({"Select PurcPrice,LabourCost", "From ProductUnits", "Where (Id = :GetId)"});
    QExistsPartSource.setSql({"SELECT Id, Price, PurchaseCode, PurchaseName, DiscountStr,",
                              "  lastprice, lastdoccode, lastdocno, lastdate", "FROM PartSource",
                              "Where (ProductUnits = :GetId) And (Vendor = :GetVId)"});
    QChkPartSource.setSql({
        "Select V.Id, V.Product, V.ProductUnits, ",
        "  V.PurchaseCode, V.PurchaseName,",
        "  P.Code, P.ThaiName, U.UnitName, U.Fraction, U.BarCode",
        "From PartSource V",
        "Inner Join Product P On (P.Id = V.Product)",
        "Inner Join ProductUnits U On (U.Id = V.ProductUnits)",
        "Where (V.PurchaseCode = :GetCode) And (V.Vendor = :GetVId)",
    });

    QProductPrice.setSql({"SELECT Price", "FROM ProductPrice",
                          "Where (Product = :GetProduct) And (ProductUnits = :GetUnits) And (PriceType = :GetType)"});
    QStockUnitPrice.setSql({
        "SELECT P.Price,U.Fraction,U.Id",
        "FROM ProductPrice P",
        "Inner Join ProductUnits U On (U.Product=P.Product) And (U.StockUnitFlag='Y') And (U.Id=P.ProductUnits)",
        "Where (P.Product = :GetProduct)  And (P.PriceType = :GetType) ",
    });
    QCustomerProductPrice.setSql({"select price,quantity,discount", "from customerproductprice",
                                  "where customer=:cid and product=:pid and productunits=:uid"});
    QPromotion.setSql({
        "select price,discpercent",
        "from promotion_dt",
        "where product=:pid and productunits=:uid and pricetype=:tid and customer=:cid",
        "           and (:pdate between startdate and stopdate)",
        "order by id desc",
    });
    QProjectPrice.setSql({"select price,discount", "from CustomerProductPriceProject",
                          "where product=:pid and productunits=:uid and customer=:cid",
                          "           and project=:projectid"});
    QPriceVendor.setSql({"select price", "from partsource",
                         "where (product = :pid) and (vendor = :vid) and (productunits = :uid)"});

    // The three summing statements share their columns and joins.
    const QStringList onHandHead{
        "select coalesce(sum(o.quantity),0) qnty , ",
        "           (select fraction     from productunits where product=:pid and stockunitflag='Y') stockunitfrac,",
        "           (select unitname from productunits where product=:pid and stockunitflag='Y') stockunitname,",
        "           (select fraction    from productunits where product=:pid and smallunitflag='Y') smallunitfrac,",
        "           (select unitname from productunits where product=:pid and smallunitflag='Y') smallunitname",
        "from productonhand o",
        "inner join warehouse w on w.id=o.warehouse",
    };
    QOnHand.setSql(onHandHead + QStringList{"where (o.product = :pid) and (o.balanceyear = :yid)  "});
    QOnhandWH.setSql(onHandHead
                     + QStringList{"where (o.product = :pid) and (o.balanceyear = :yid) and (o.warehouse = :wid)"});
    QOnhandWHunits.setSql(onHandHead
                          + QStringList{"where (o.product = :pid) and (o.productunits=:uid) and (o.balanceyear = :yid) "
                                        "and (o.warehouse = :wid) and (w.code<>'RMA')"});
    QShowQnty.setSql(QStringList{"select (select fraction     from productunits where product=:pid and "
                                 "stockunitflag='Y') stockunitfrac,"}
                     + onHandHead.mid(2, 3) + QStringList{"from product o", "where (o.id = :pid) "});
}
