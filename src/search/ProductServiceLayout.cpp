#include "ProductServiceLayout.h"

namespace search {

namespace {

const LayoutColumn kCode{QStringLiteral("Code"), QStringLiteral("รหัส"), 123};
const LayoutColumn kName{QStringLiteral("ThaiName"), QStringLiteral("ชื่อสินค้า"), 250};
const LayoutColumn kRemark{QStringLiteral("Remark"), QStringLiteral("หมายเหตุ"), 330};

LayoutColumn figure(const char* field, const char* title, int width)
{
    return {QString::fromUtf8(field), QString::fromUtf8(title), width, true, true};
}

LayoutColumn named(int width)
{
    LayoutColumn name = kName;
    name.width = width;
    return name;
}

// The manufacturing layouts' stock figures, and the back orders of every
// sales order line not cleared less what invoices delivered against them.
const QStringList kMfgHead{
    "select P.id,p.code,p.thainame,P.ProductType, P.Picture1, P.TechNicName1, P.TechNicName2, P.Remark, ",
    "       Coalesce(o.onhand, ' ' + (Select Top 1 UnitName From ProductUnits Where Product = P.Id and Fraction=1)) "
    "Onhand, Coalesce(O.WorkOrderOH,'') WorkOrderOH, Coalesce(O.PreIsQty,'')PreIsQty,  ",
    "       Coalesce(O.WKIsQty,'')WKIsQty, Coalesce(O.OH_WKIsQty,'')OH_WKIsQty, ",
    "       (Ltrim(Rtrim(Convert(Char(28),(Convert(Decimal(28,2),BackOrder)))))  ",
    "       ) + ' ' + (Select Top 1 UnitName From ProductUnits Where Product = P.Id And SmallUnitFlag = 'Y') Backorder, ",
    "       (Ltrim(Rtrim(Convert(Char(28),(Convert(Decimal(28,2),Coalesce(Bs.BackSendOrder,0)))))) ",
    "       ) + ' ' + (Select Top 1 UnitName From ProductUnits Where Product = P.Id And SmallUnitFlag = 'Y') "
    "BackSendOrder ",
    "       ,P.Remark ProdRemark ",
    "from product p",
    "left join ProductonhandMFG o on o.product=p.id",
    "Left Join (select M.Product, Sum(M.BackOrder) BackOrder",
    "           From( ",
};
const QStringList kMfgBackOrders{
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
    "                 Where (H.IvType <> 'B') And (Coalesce(IvDtB,0) = 0) And V.SoDt = (select S.Id from SoDt S Where "
    "S.Clear <> 'Y' And S.Id = V.SoDt)",
};
// Layout 9 counts every order line, invoices that did not cut stock outside
// an order, less invoices that cut stock for an order or an earlier invoice.
const QStringList kAllBackOrders{
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
    "                 Where (H.NotCutStock = 'N') And ((Coalesce(V.SoDt,0) > 0) Or (Coalesce(V.IvDtB,0) > 0))",
};
// Purchase order lines not cleared less what receipts brought in against them.
const QStringList kMfgTail{
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
    "           ) As Bs On (Bs.Product = P.Id)     ",
};

} // namespace

ProductServiceLayout productServiceLayout(int number)
{
    ProductServiceLayout layout;
    switch (number) {
    case 0:
    case 1:
    case 2:
    case 3:
        layout.columns = {kCode, kName, kRemark};
        layout.hasRemark = true;
        break;
    case 4:
        layout.columns = {kCode,
                          kName,
                          {QStringLiteral("Field01"), QStringLiteral("สำนักพิมพ์"), 100},
                          {QStringLiteral("Field02"), QStringLiteral("หมวดหมู่"), 100},
                          {QStringLiteral("Price"), QStringLiteral("ราคา"), 50, true},
                          {QStringLiteral("UnitName"), QStringLiteral("หน่วย"), 50},
                          {QStringLiteral("Qnty"), QStringLiteral("คงเหลือ"), 50, true}};
        break;
    case 6:
        layout.columns = {kCode,
                          named(350),
                          figure("TechNicName2", "ชื่อเทคนิค2", 150),
                          figure("Onhand", "คงเหลือ", 100),
                          figure("WorkOrderOH", "จำนวนระหว่างผลิต", 100),
                          figure("Backorder", "จำนวนค้างส่ง", 100)};
        layout.detailMenu = true;
        break;
    case 7:
        layout.columns = {kCode,
                          named(350),
                          figure("TechNicName2", "ชื่อเทคนิค2", 100),
                          figure("Onhand", "คงเหลือ", 100),
                          figure("WorkOrderOH", "จำนวนระหว่างผลิต", 100),
                          figure("PreIsQty", "จองเบิกใช้", 100),
                          figure("Backorder", "จำนวนค้างส่ง", 100)};
        layout.detailMenu = true;
        break;
    case 8:
        layout.columns = {kCode,
                          named(150),
                          figure("Onhand", "คงเหลือ", 100),
                          figure("WorkOrderOH", "จำนวนระหว่างผลิต", 100),
                          figure("Backorder", "จำนวนค้างส่ง", 100),
                          figure("WKIsQty", "จำนวนจองวัตถุดิบ", 100),
                          figure("OH_WKIsQty", "คงเหลือลบยอดจองวัตถุดิบ", 150),
                          figure("TechNicName2", "ชื่อเทคนิค2", 100)};
        layout.detailMenu = true;
        break;
    case 9:
        layout.columns = {kCode,
                          named(350),
                          figure("Onhand", "คงเหลือ", 100),
                          figure("BackSendOrder", "จำนวนค้างรับ", 100),
                          figure("Backorder", "จำนวนค้างส่ง", 100),
                          figure("ProdRemark", "หมายเหตุ", 100)};
        layout.detailMenu = true;
        break;
    default:
        layout.columns = {kCode, kName};
        break;
    }
    return layout;
}

QStringList productServiceOpening(int number, int runYear)
{
    switch (number) {
    case 1:
        return {"Select P.Id, P.Code, P.ThaiName, U.UnitDesc Remark, P.ProductType, P.Picture1", "From Product P",
                "Inner Join ProductUnits U On U.Product=P.Id"};
    case 2:
        return {"Select P.Id, P.Code,", "P.ThaiName,P.Remark, P.ProductType ,P.Picture1 From ProductView P"};
    case 3:
        return {"Select P.Id, P.Code, P.ThaiName,",
                "P.ProductType, P.Picture1,",
                " (Select I.MemoDesc From ProductInFo I Where (I.Misc = (Select Material From WorkId)) AND (I.Product "
                "= P.Id))",
                "+' - '+",
                "(Select I.MemoDesc From ProductInFo I Where (I.Misc = (Select Model From WorkId)) AND (I.Product = "
                "P.Id))",
                " AS Remark",
                " From Product P"};
    case 4:
        return {"select p.id,p.code,p.thainame,P.ProductType, P.Picture1,",
                "       coalesce(c.code,'no') Field01 ,",
                "       coalesce(d.code,'no') Field02 ,",
                "       str(coalesce(x.price,0)) Price , ",
                "       u.unitname , ",
                "       (select coalesce(str(coalesce(sum(quantity),0)),'0') ",
                "        from productonhand o",
                "        where  (o.product=p.id) and (o.productunits=u.id) and (o.balanceyear=" + QString::number(runYear)
                    + ") ) Qnty",
                "from product p",
                "inner join productunits u on u.product=p.id",
                "left  join productprice x on x.product=p.id and x.productunits=u.id and x.pricetype=19",
                "left  join productattr  a on a.product=p.id and a.prodattrgroup=3",
                "left  join prodattrcode c on c.id=a.prodattrcode",
                "left  join productattr  b on b.product=p.id and b.prodattrgroup=5",
                "left  join prodattrcode d on d.id=b.prodattrcode"};
    case 6:
    case 7:
    case 8:
        return kMfgHead + kMfgBackOrders + kMfgTail;
    case 9:
        return kMfgHead + kAllBackOrders + kMfgTail;
    default:
        return {"Select P.Id, P.Code, P.ThaiName, P.Remark, P.ProductType ,P.Picture1", "From ProductView P"};
    }
}

} // namespace search
