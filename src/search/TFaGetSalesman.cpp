#include "TFaGetSalesman.h"

#include "TF_SearchSalesman.h"

#include "widgets/MessageBox.h"
#include "widgets/TKIdLookup.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

TFaGetSalesman::TFaGetSalesman(QWidget* parent)
    : search::PickerFrame(QStringLiteral("รหัสพนักงานขาย"), QStringLiteral("Salesman"), 120,
                          QStringLiteral("ค้นหารหัสพนักงานขาย"), parent),
      QSalesman(QStringLiteral("DMDATA"))
{
    setObjectName(QStringLiteral("TFaGetSalesman"));
    Label21 = caption_;
    Label21->setObjectName(QStringLiteral("Label21"));
    Label11 = new QLabel(QStringLiteral("*"), this);
    Label11->setObjectName(QStringLiteral("Label11"));
    QPalette red = Label11->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    Label11->setPalette(red);
    row_->insertWidget(1, Label11);
    Salesman = box_;
    SalesmanName = name_;
    SalesmanName->setObjectName(QStringLiteral("SalesmanName"));
    BtSearchSalesman = button_;
    BtSearchSalesman->setObjectName(QStringLiteral("BtSearchSalesman"));
    Salesman->setTable(QStringLiteral("Salesman"), QStringLiteral("Id"), QStringLiteral("Code"), QStringLiteral("Name"));
    Salesman->setRestriction(QStringLiteral("Status='Y'"));
    Salesman->setEmptyAllowed(false);

    QSalesman.setSql({"select id,code,name,surname,department,status,startdate,stopdate,",
                      "          address1,address2,address3,province,zipcode,phoneno,faxno,", "          email",
                      "from salesman", "where code=:getcode"});
}

void TFaGetSalesman::pick()
{
    TF_SearchSalesman* look = TF_SearchSalesman::instance();
    if (look->exec() == QDialog::Accepted)
        takeCode(look->SelectedCode);
}

void TFaGetSalesman::left()
{
    // The box's bound column is left empty here, so the check always runs.
    const QString code = Salesman->text().trimmed();
    if (code.isEmpty() || !Salesman->boundField().isEmpty())
        return;
    QSalesman.close();
    QSalesman.setParam(QStringLiteral("getcode"), code);
    QSalesman.open();
    if (QSalesman.isEmpty() || QSalesman.asString(QStringLiteral("Status")) != QLatin1String("N"))
        return;
    widgets::showMessage(widgets::MessageKind::Information, QStringLiteral("พนักงานขาย ถูกระงับไปแล้ว  !"), this);
    SalesmanName->clear();
    Salesman->clear();
    Salesman->setFocus();
}
