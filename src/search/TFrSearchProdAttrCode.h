#pragma once

#include "SearchDialog.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The product attribute-code look-up: the codes of one attribute group
// whose description contains the typed text (or equals it, whole word).
// Made fresh for each use by the attribute-range frame.
class TFrSearchProdAttrCode : public search::SearchDialog {
    Q_OBJECT
public:
    explicit TFrSearchProdAttrCode(QWidget* parent = nullptr);

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
