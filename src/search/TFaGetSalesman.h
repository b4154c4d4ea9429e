#pragma once

#include "db/Query.h"

#include <QFrame>

class QLabel;
class QToolButton;
class TKIdLookup;

// The sales-person picker: a code box over the sales persons in service
// with the name beside it and a search button that opens the sales-person
// look-up. Leaving the box with the code of a suspended sales person says
// so and empties the box.
class TFaGetSalesman : public QFrame {
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
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void checkSuspended();
};
