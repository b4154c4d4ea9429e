#pragma once

#include "SearchDialog.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The customer attribute-code look-up: the codes of one attribute group
// whose description or code contains the typed text (or equals it, whole
// word), narrowed again at every keystroke. The caller sets AttrGroupId.
class TFrSearchCusAttrCode : public search::SearchDialog {
    Q_OBJECT
public:
    explicit TFrSearchCusAttrCode(QWidget* parent = nullptr);

    static TFrSearchCusAttrCode* instance();

    int AttrGroupId = 0;
    QString SelectedCode;

    QLabel* Label1 = nullptr;
    QLineEdit* Description = nullptr;
    QCheckBox* FullWord = nullptr;
    QPushButton* BtOk = nullptr;
    QPushButton* BtCancel = nullptr;

protected:
    QStringList statement() override;
    void takeResult() override;
    void clearResult() override;
    void showStep() override;
};

extern TFrSearchCusAttrCode* FrSearchCusAttrCode;
