#pragma once

#include "SearchDialog.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace search {
class TitleSort;
}

// The code-table look-up: the rows of one group of "Misc" (provinces,
// product types, product groups...) whose description or code contains the
// typed text. The caller sets the caption and MiscGroup before each opening
// and reads SelectedCode and SelectedDescription after OK. The full group
// shows at once; title clicks re-sort through a sort state of its own.
class TF_SearchMisc : public search::SearchDialog {
    Q_OBJECT
public:
    explicit TF_SearchMisc(QWidget* parent = nullptr);

    static TF_SearchMisc* instance();
    static search::TitleSort& SortState();

    QString MiscGroup;
    QString SelectedCode;
    QString SelectedDescription;

    QLabel* Label1 = nullptr;
    QLineEdit* EnterString = nullptr;
    QCheckBox* FullWord = nullptr;
    QPushButton* Bok = nullptr;
    QPushButton* BCancel = nullptr;

protected:
    QStringList statement() override;
    void takeResult() override;
    void clearResult() override;
    void showStep() override;
};

extern TF_SearchMisc* F_SearchMisc;
