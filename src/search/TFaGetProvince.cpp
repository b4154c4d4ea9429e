#include "TFaGetProvince.h"

#include "TF_SearchMisc.h"

#include "widgets/TKIdLookup.h"

#include <utility>

TFaGetProvince::TFaGetProvince(QWidget* parent)
    : search::PickerFrame(parent, {"TFaGetProvince", "Label2", "จังหวัด", "Province", 100, "ProvinceName",
                                   "BtSearchShipProvince", "ค้นหารหัสจังหวัด"})
{
    Label2 = caption_;
    Province = box_;
    ProvinceName = description_;
    BtSearchShipProvince = button_;
    Province->setTable(QStringLiteral("MISC"), QStringLiteral("ID"), QStringLiteral("CODE"), QStringLiteral("Description"));
    Province->setRestriction(QStringLiteral("GroupCode='CITY'"));
    Province->setEmptyAllowed(true);
}

void TFaGetProvince::searchProvince()
{
    delete std::exchange(F_SearchMisc, nullptr);
    TF_SearchMisc* look = TF_SearchMisc::instance();
    look->setWindowTitle(QStringLiteral("ค้นหา รายชื่อจังหวัด"));
    look->MiscGroup = QStringLiteral("CITY");
    if (look->exec() == QDialog::Accepted) {
        Province->setText(look->SelectedCode);
        if (Province->isEnabled() && Province->isVisible())
            Province->setFocus();
    }
    delete std::exchange(F_SearchMisc, nullptr);
}
