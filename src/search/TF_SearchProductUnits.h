#pragma once

#include "SearchDialog.h"
#include "TitleSort.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Sellable product units by Thai product name (the whole name, or any part
// of it): only units with a price above 0 of the company's point-of-sale
// price type, one row per unit, by bar code. Hands back the chosen unit's
// bar code. OK on an empty list does nothing.
class TF_SearchProductUnits : public search::SearchDialog {
    Q_OBJECT
public:
    explicit TF_SearchProductUnits(QWidget* parent = nullptr);

    static TF_SearchProductUnits* instance();

    QString SelectedBarcode;

    QLabel* Label1 = nullptr;
    QLineEdit* InputName = nullptr;
    QCheckBox* FullWord = nullptr;
    QPushButton* BSearch = nullptr;
    QPushButton* Bok = nullptr;
    QPushButton* BCancel = nullptr;

protected:
    QStringList statement() override;
    void takeResult() override;
    void clearResult() override;
    void showStep() override;

private:
    search::TitleSort sort_;
};

extern TF_SearchProductUnits* F_SearchProductUnits;
