#pragma once

#include "SearchDialog.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;

// The lot look-up: lots by code and description prefix, optionally by
// expiry date ("<=", "=", ">=" a date, or "-" for any). Lots that never
// expire pass every date test. Hands back the lot's code and id.
class TFrSearchLotNo : public search::SearchDialog {
    Q_OBJECT
public:
    explicit TFrSearchLotNo(QWidget* parent = nullptr);

    static TFrSearchLotNo* instance();
    // 1 code, 2 description, 3 expiry date; shared for the run.
    static int SortField;

    QString SelectedCode;
    int SelectedLotId = 0;

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Code = nullptr;
    QLineEdit* Description = nullptr;
    QComboBox* DateCondition = nullptr;
    QDateEdit* ExpiredDate = nullptr;
    QPushButton* BSearch = nullptr;
    QPushButton* BtSelect = nullptr;
    QPushButton* BtCancel = nullptr;

protected:
    QStringList statement() override;
    void takeResult() override;
    void clearResult() override;
    void showStep() override;
};

extern TFrSearchLotNo* FrSearchLotNo;
