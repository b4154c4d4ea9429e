#include "TFaGetSalesman.h"

#include "TF_SearchSalesman.h"

#include "widgets/MessageBox.h"
#include "widgets/TKIdLookup.h"

#include <QLabel>

TFaGetSalesman::TFaGetSalesman(QWidget* parent)
    : search::PickerFrame(parent, {"TFaGetSalesman", "Label21", "รหัสพนักงานขาย", "Salesman", 120, "SalesmanName",
                                   "BtSearchSalesman", "ค้นหารหัสพนักงานขาย"}),
      QSalesman(QStringLiteral("DMDATA"))
{
    Label21 = caption_;
    Salesman = box_;
    SalesmanName = description_;
    BtSearchSalesman = button_;
    Label11 = new QLabel(QStringLiteral("*"), this);
    Label11->setObjectName(QStringLiteral("Label11"));
    QPalette red = Label11->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    Label11->setPalette(red);
    addMark(Label11);
    Salesman->setTable(QStringLiteral("Salesman"), QStringLiteral("Id"), QStringLiteral("Code"), QStringLiteral("Name"));
    Salesman->setRestriction(QStringLiteral("Status='Y'"));
    Salesman->setEmptyAllowed(false);

    QSalesman.setSql({"select id,code,name,surname,department,status,startdate,stopdate,",
                      "          address1,address2,address3,province,zipcode,phoneno,faxno,", "          email",
                      "from salesman", "where code=:getcode"});
}

void TFaGetSalesman::searchSalesman()
{
    TF_SearchSalesman* look = TF_SearchSalesman::instance();
    if (look->exec() != QDialog::Accepted)
        return;
    Salesman->setText(look->SelectedCode);
    if (Salesman->isEnabled() && Salesman->isVisible())
        Salesman->setFocus();
}

void TFaGetSalesman::checkSuspended()
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
