#pragma once

#include "PickerFrame.h"

#include "db/Query.h"

class QLabel;
class QToolButton;
class TKIdLookup;

// The sales-person picker: a code box over the sales persons in service
// with the name beside it and a search button that opens the sales-person
// look-up. Leaving the box with the code of a suspended sales person says
// so and empties the box.
class TFaGetSalesman : public search::PickerFrame {
    Q_OBJECT
public:
    explicit TFaGetSalesman(QWidget* parent = nullptr);

    QLabel* Label21 = nullptr;
    QLabel* Label11 = nullptr;
    TKIdLookup* Salesman = nullptr;
    QLabel* SalesmanName = nullptr;
    QToolButton* BtSearchSalesman = nullptr;
    db::Query QSalesman;

protected:
    void pick() override;
    void left() override;
};
