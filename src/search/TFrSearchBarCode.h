#pragma once

#include "SearchDialog.h"

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// The bar-code look-up: product units that have a bar code, by bar-code
// prefix and product name (begins with, or contains, as the company's setup
// row says). The window's place, size and column widths are kept in
// "QEL.INI" beside the program, section "SEARCHBARCODE": saved when it
// closes, restored when it opens. Never narrower than 600.
class TFrSearchBarCode : public search::SearchDialog {
    Q_OBJECT
public:
    explicit TFrSearchBarCode(QWidget* parent = nullptr);

    static TFrSearchBarCode* instance();
    // 0 bar code, 1 product code, 2 product name; shared for the run.
    static int SortField;
    static constexpr int kMinimumWidth = 600;

    QString SelectedBarcode;

    QFrame* PnHeader = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Code = nullptr;
    QComboBox* SearchMethod = nullptr;
    QLineEdit* Name = nullptr;
    QPushButton* BtSearch = nullptr;
    QPushButton* Btok = nullptr;
    QPushButton* BtCancel = nullptr;

    void done(int code) override;

protected:
    QStringList statement() override;
    void takeResult() override;
    void clearResult() override;
    void showStep() override;

private:
    QString settingsFile() const;
    void restorePlacement();
    void savePlacement();
};

extern TFrSearchBarCode* FrSearchBarCode;
