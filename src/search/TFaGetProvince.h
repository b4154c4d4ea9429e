#pragma once

#include "PickerFrame.h"

class QLabel;
class QToolButton;
class TKIdLookup;

// The province picker: a code box over the provinces (the code table's
// "CITY" group) with the name beside it; its search button opens a fresh
// code-table look-up of the provinces for each use.
class TFaGetProvince : public search::PickerFrame {
    Q_OBJECT
public:
    explicit TFaGetProvince(QWidget* parent = nullptr);

    QLabel* Label2 = nullptr;
    TKIdLookup* Province = nullptr;
    QLabel* ProvinceName = nullptr;
    QToolButton* BtSearchShipProvince = nullptr;

    // The search button and F5; public for a window that passes the
    // button's click on.
    void pick() override;
};
