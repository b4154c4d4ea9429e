#pragma once

#include "SearchDialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

// The warehouse look-up: every warehouse at once, narrowed by a text that
// the code or the name contains. A caller may leave out blocked warehouses
// and choose between warehouses and storage locations.
class TF_SearchWareHouse : public search::SearchDialog {
    Q_OBJECT
public:
    explicit TF_SearchWareHouse(QWidget* parent = nullptr);

    static TF_SearchWareHouse* instance();

    bool WarehouseUnblockedOnly = false;
    // 0 all, 1 only warehouses that are not storage locations, 2 only
    // storage locations.
    int WarehouseLocationFilter = 0;

    QString SelectedCode;

    QLabel* Label1 = nullptr;
    QLineEdit* SearchText = nullptr;
    QPushButton* BSearch = nullptr;
    QPushButton* Bok = nullptr;
    QPushButton* BCancel = nullptr;

protected:
    QStringList statement() override;
    void takeResult() override;
    void clearResult() override;
    void showStep() override;
};

extern TF_SearchWareHouse* F_SearchWareHouse;
