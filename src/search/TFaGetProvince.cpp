#include "TFaGetProvince.h"

#include "TF_SearchMisc.h"

#include "widgets/TKIdLookup.h"

#include <QLabel>
#include <QToolButton>

TFaGetProvince::TFaGetProvince(QWidget* parent)
    : search::PickerFrame(QStringLiteral("จังหวัด"), QStringLiteral("Province"), 100,
                          QStringLiteral("ค้นหารหัสจังหวัด"), parent)
{
    setObjectName(QStringLiteral("TFaGetProvince"));
    Label2 = caption_;
    Label2->setObjectName(QStringLiteral("Label2"));
    Province = box_;
    ProvinceName = name_;
    ProvinceName->setObjectName(QStringLiteral("ProvinceName"));
    BtSearchShipProvince = button_;
    BtSearchShipProvince->setObjectName(QStringLiteral("BtSearchShipProvince"));
    Province->setTable(QStringLiteral("MISC"), QStringLiteral("ID"), QStringLiteral("CODE"), QStringLiteral("Description"));
    Province->setRestriction(QStringLiteral("GroupCode='CITY'"));
    Province->setEmptyAllowed(true);
}

void TFaGetProvince::pick()
{
    // A look-up of its own for each use, so that no other user's group or
    // caption is disturbed.
    TF_SearchMisc look;
    look.setWindowTitle(QStringLiteral("ค้นหา รายชื่อจังหวัด"));
    look.MiscGroup = QStringLiteral("CITY");
    if (look.exec() == QDialog::Accepted)
        takeCode(look.SelectedCode);
}
