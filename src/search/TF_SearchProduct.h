#pragma once

#include "SearchDialog.h"

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TFaSelectProdAttr;

// The product search: by code prefix, by a name that begins with or
// contains the typed text, and by product-attribute ranges. Blocked
// products and products of type "P" are never listed. A search needs a
// code or part of a name; choosing from an empty list leaves the window
// open. Thai captions whatever the user's language.
class TF_SearchProduct : public search::SearchDialog {
    Q_OBJECT
public:
    explicit TF_SearchProduct(QWidget* parent = nullptr);

    static TF_SearchProduct* instance();
    // Sort by name rather than by code; shared for the run, reset at show.
    static bool ProductSortByName;

    QString SelectedCode;

    QGroupBox* GroupAttr = nullptr;
    TFaSelectProdAttr* FaSelectProdAttr1 = nullptr;
    QFrame* Panel1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Name = nullptr;
    QLineEdit* ProductCode = nullptr;
    QComboBox* SearchMethod = nullptr;
    QLineEdit* ProductName = nullptr;
    QFrame* PanelButton = nullptr;
    QPushButton* BtSearch = nullptr;
    QPushButton* BtOK = nullptr;
    QPushButton* BtCancel = nullptr;

protected:
    QStringList statement() override;
    bool maySearch() override;
    void takeResult() override;
    void clearResult() override;
    void showStep() override;
};

extern TF_SearchProduct* F_SearchProduct;
