#pragma once

#include "SearchDialog.h"

class QPushButton;

// The units of one product, filtered by what the caller asks them to be
// used for (purchase, sale, stock, small unit), listed at once by ascending
// fraction; hands back the chosen unit's name. No search box: Enter closes
// with OK whatever has the focus.
class TFrSearchUnit : public search::SearchDialog {
    Q_OBJECT
public:
    explicit TFrSearchUnit(QWidget* parent = nullptr);

    static TFrSearchUnit* instance();

    // Set by the caller before showing.
    int UnitProductId = 0;
    bool UnitForPurchase = false;
    bool UnitForSale = false;
    bool UnitForStock = false;
    bool UnitForSmall = false;

    QString SelectedUnitName;

    QPushButton* BtSelected = nullptr;
    QPushButton* BtCancel = nullptr;

protected:
    QStringList statement() override;
    void takeResult() override;
    void clearResult() override;
    void showStep() override;
    bool dialogKey(QKeyEvent* key) override;

private:
    QStringList lines_;
};

extern TFrSearchUnit* FrSearchUnit;
