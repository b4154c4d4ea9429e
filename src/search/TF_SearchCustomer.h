#pragma once

#include "SearchDialog.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
class TFaGetProvince;
class TFaGetSalesman;
class TFaSelectCustomerAttr;

// The customer search: by code prefix, telephone, fax, Thai and English
// name (each contained), sales person and province (chosen through their
// pickers) and customer-attribute ranges. Hands back the chosen customer's
// code and Thai name; OK on an empty list is still OK, with both empty.
//
// Only customers whose province and sales person are on file are listed:
// both sit in inner joins, whatever the boxes hold. The code, telephone,
// fax and English-name boxes keep their text between openings; the Thai
// name shows the last one typed when the setup row's "ShowLastSearch" is
// "Y". Title clicks pick one of four orders (code, name, sales person,
// province) or none.
class TF_SearchCustomer : public search::SearchDialog {
    Q_OBJECT
public:
    explicit TF_SearchCustomer(QWidget* parent = nullptr);

    static TF_SearchCustomer* instance();
    // 0 code, 1 Thai name, 2 sales person, 3 province; 4 to 6 no order.
    // Shared by the window's instances.
    static int CustomerSortIndex;

    bool IncludeBlocked = false;
    QString SelectedCode;
    QString SelectedName;

    QWidget* Panel1 = nullptr;
    QPushButton* BtSearch = nullptr;
    QPushButton* Btok = nullptr;
    QPushButton* BtCancel = nullptr;
    QGroupBox* GroupAttr = nullptr;
    TFaSelectCustomerAttr* FaSelectCustomerAttr1 = nullptr;
    QWidget* Panel2 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* CustomerCode = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* PhoneNo = nullptr;
    QLabel* LFax = nullptr;
    QLineEdit* Fax = nullptr;
    QLabel* Name = nullptr;
    QLineEdit* CustomerName = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* CustomerNameEng = nullptr;
    TFaGetSalesman* FaGetSalesman1 = nullptr;
    TFaGetProvince* FaGetProvince1 = nullptr;
    // Only a place for the pickers to keep the chosen identifiers.
    db::Query QNull;

protected:
    QStringList statement() override;
    void takeResult() override;
    void clearResult() override;
    void showStep() override;

private:
    void setResultColumns(bool inEnglish);
};

extern TF_SearchCustomer* F_SearchCustomer;
