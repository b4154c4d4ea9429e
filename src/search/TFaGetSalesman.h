#pragma once

#include "PickerFrame.h"

#include "db/Query.h"

// The sales-person picker: a code box over the sales persons in service
// whose search opens the sales-person look-up. Leaving the box with the
// code of a suspended sales person says so and empties the box.
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

    void searchSalesman();  // BtSearchSalesman, F5 in the box

protected:
    void searchCode() override { searchSalesman(); }
    void leaveBox() override { checkSuspended(); }

private:
    void checkSuspended();
};
