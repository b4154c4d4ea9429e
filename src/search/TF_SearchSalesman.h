#pragma once

#include "SearchDialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

// The sales-person look-up: by code prefix, part of the first name and part
// of the surname, with each sales person's department. Suspended sales
// persons are listed too; one without a department row is not. A title
// click picks the order of the next search; it does not search itself.
class TF_SearchSalesman : public search::SearchDialog {
    Q_OBJECT
public:
    explicit TF_SearchSalesman(QWidget* parent = nullptr);

    static TF_SearchSalesman* instance();
    // 0 code, 1 first name, 2 surname, 3 department; shared for the run.
    static int SortField;

    QString SelectedCode;

    QLabel* Code = nullptr;
    QLabel* Name = nullptr;
    QLabel* Surname = nullptr;
    QLineEdit* SCode = nullptr;
    QLineEdit* SName = nullptr;
    QLineEdit* SSurname = nullptr;
    QPushButton* BSearch = nullptr;
    QPushButton* Bok = nullptr;
    QPushButton* BCancel = nullptr;

protected:
    QStringList statement() override;
    void takeResult() override;
    void clearResult() override;
    void showStep() override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

extern TF_SearchSalesman* F_SearchSalesman;
