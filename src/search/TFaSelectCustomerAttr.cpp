#include "TFaSelectCustomerAttr.h"

#include "TFrSearchCusAttrCode.h"

TFaSelectCustomerAttr::TFaSelectCustomerAttr(QWidget* parent)
    : search::AttributeRangeFrame(QStringLiteral("DgSelectCusAttr"), parent), QCusAttrGroup(QStringLiteral("DMDATA"))
{
    setObjectName(QStringLiteral("TFaSelectCustomerAttr"));
    setGroups(&QCusAttrGroup);
    DgSelectCusAttr = grid();
    setTitles(QStringLiteral("คุณสมบัติ"), QStringLiteral("เริ่มต้น"), QStringLiteral("สิ้นสุด"));
    QCusAttrGroup.setSql({"SELECT G.Id, G.Code, G.Description,", "  C.Id BeginAttrId, C.Code BeginAttrCode,",
                          "  C.Id EndAttrId, C.Code EndAttrCode,", "  G.Code + C.Code BeginGroupCode,",
                          "  G.Code + C.Code EndGroupCode", "FROM CusAttrGroup G",
                          "Left Outer Join CusAttrCode C On (C.CusAttrGroup = G.Id) And (C.Id = 0)",
                          "ORDER By G.Description"});
}

bool TFaSelectCustomerAttr::lookUpCode(int groupId, QString& code)
{
    TFrSearchCusAttrCode* look = TFrSearchCusAttrCode::instance();
    look->AttrGroupId = groupId;
    if (look->exec() != QDialog::Accepted)
        return false;
    code = look->SelectedCode;
    return true;
}
