#pragma once

#include "PickerFrame.h"

// The province picker: a code box over the provinces (code-table group
// "CITY"; empty allowed). Each search uses a code-table look-up of its own
// and leaves none behind, so the look-up's next user starts from a fresh one.
class TFaGetProvince : public search::PickerFrame {
    Q_OBJECT
public:
    explicit TFaGetProvince(QWidget* parent = nullptr);

    QLabel* Label2 = nullptr;
    TKIdLookup* Province = nullptr;
    QLabel* ProvinceName = nullptr;
    QToolButton* BtSearchShipProvince = nullptr;

    void searchProvince();  // BtSearchShipProvince, F5 in the box

protected:
    void searchCode() override { searchProvince(); }
};
