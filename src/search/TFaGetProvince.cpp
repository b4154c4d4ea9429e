#include "TFaGetProvince.h"

#include "TF_SearchMisc.h"

#include "widgets/TKIdLookup.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

#include <utility>

TFaGetProvince::TFaGetProvince(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("TFaGetProvince"));
    Label2 = new QLabel(QStringLiteral("จังหวัด"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Province = new TKIdLookup(this);
    Province->setObjectName(QStringLiteral("Province"));
    Province->setFixedWidth(100);
    Province->setAccessibleName(Label2->text());
    Label2->setBuddy(Province);
    ProvinceName = new QLabel(this);
    ProvinceName->setObjectName(QStringLiteral("ProvinceName"));
    Province->setTable(QStringLiteral("MISC"), QStringLiteral("ID"), QStringLiteral("CODE"), QStringLiteral("Description"));
    Province->setRestriction(QStringLiteral("GroupCode='CITY'"));
    Province->setDescriptionLabel(ProvinceName);
    Province->setEmptyAllowed(true);
    BtSearchShipProvince = new QToolButton(this);
    BtSearchShipProvince->setObjectName(QStringLiteral("BtSearchShipProvince"));
    BtSearchShipProvince->setAutoRaise(true);
    BtSearchShipProvince->setText(QStringLiteral("..."));
    BtSearchShipProvince->setToolTip(QStringLiteral("ค้นหารหัสจังหวัด"));
    BtSearchShipProvince->setAccessibleName(BtSearchShipProvince->toolTip());
    BtSearchShipProvince->setCursor(Qt::PointingHandCursor);
    BtSearchShipProvince->setFocusPolicy(Qt::NoFocus);
    BtSearchShipProvince->setEnabled(false);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(Label2);
    row->addWidget(Province);
    row->addWidget(BtSearchShipProvince);
    row->addWidget(ProvinceName, 1);

    connect(BtSearchShipProvince, &QToolButton::clicked, this, &TFaGetProvince::searchProvince);
    connect(Province, &TKIdLookup::searchKey, this, &TFaGetProvince::searchProvince);
    Province->installEventFilter(this);
}

bool TFaGetProvince::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Province && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        BtSearchShipProvince->setEnabled(event->type() == QEvent::FocusIn);
    return QFrame::eventFilter(watched, event);
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
