#include "TFaSelectProdAttr.h"

#include "TFrSearchProdAttrCode.h"

TFaSelectProdAttr::TFaSelectProdAttr(QWidget* parent)
    : search::AttributeRangeFrame(QStringLiteral("DgSelectProdAttr"), parent), QProdAttrGroup(QStringLiteral("DMDATA"))
{
    setObjectName(QStringLiteral("TFaSelectProdAttr"));
    setGroups(&QProdAttrGroup);
    DgSelectProdAttr = grid();
    setTitles(QStringLiteral("คุณสมบัติสินค้า"), QStringLiteral("เริ่มต้น"), QStringLiteral("สิ้นสุด"));
    QProdAttrGroup.setSql({"SELECT G.Id, G.Code, G.Description,", "  C.Id BeginAttrId, C.Code BeginAttrCode,",
                           "  C.Id EndAttrId, C.Code EndAttrCode,",
                           "  LTrim(RTrim(G.Code)) + LTrim(RTrim(C.Code)) BeginGroupCode,",
                           "  LTrim(RTrim(G.Code)) + LTrim(RTrim(C.Code)) EndGroupCode", "FROM ProdAttrGroup G",
                           "Left Outer Join ProdAttrCode C On (C.ProdAttrGroup = G.Id)  And (C.Id = 0)",
                           "Where (G.ProductType = :GetType)", "ORDER By G.Description"});
}

void TFaSelectProdAttr::reopen(const QString& productType)
{
    QProdAttrGroup.setParam(QStringLiteral("GetType"), productType);
    AttributeRangeFrame::reopen();
}

bool TFaSelectProdAttr::lookUpCode(int groupId, QString& code)
{
    TFrSearchProdAttrCode look;  // a fresh one for each use
    look.AttrGroupId = groupId;
    if (look.exec() != QDialog::Accepted)
        return false;
    code = look.SelectedCode;
    return true;
}
