#include "TF_SearchCustomerPos.h"

#include "TFaGetProvince.h"

#include "widgets/GlobalWindows.h"

#include <QToolButton>

TF_SearchCustomerPos* F_SearchCustomerPos = nullptr;

TF_SearchCustomerPos::TF_SearchCustomerPos(QWidget* parent) : TF_SearchCustomer(parent)
{
    setObjectName(QStringLiteral("TF_SearchCustomerPos"));
    disconnect(FaGetProvince1->BtSearchShipProvince, &QToolButton::clicked, FaGetProvince1, nullptr);
    connect(FaGetProvince1->BtSearchShipProvince, &QToolButton::clicked, this, &TF_SearchCustomerPos::searchShipProvince);
}

TF_SearchCustomerPos* TF_SearchCustomerPos::instance()
{
    return widgets::globalWindow(F_SearchCustomerPos);
}

void TF_SearchCustomerPos::searchShipProvince()
{
    FaGetProvince1->pick();
}
