#include "TFaGetSalesman.h"

#include "TF_SearchSalesman.h"

#include "widgets/MessageBox.h"
#include "widgets/TKIdLookup.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

TFaGetSalesman::TFaGetSalesman(QWidget* parent) : QFrame(parent), QSalesman(QStringLiteral("DMDATA"))
{
    setObjectName(QStringLiteral("TFaGetSalesman"));
    Label21 = new QLabel(QStringLiteral("รหัสพนักงานขาย"), this);
    Label21->setObjectName(QStringLiteral("Label21"));
    Label11 = new QLabel(QStringLiteral("*"), this);
    Label11->setObjectName(QStringLiteral("Label11"));
    QPalette red = Label11->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    Label11->setPalette(red);
    Salesman = new TKIdLookup(this);
    Salesman->setObjectName(QStringLiteral("Salesman"));
    Salesman->setFixedWidth(120);
    Salesman->setAccessibleName(Label21->text());
    Label21->setBuddy(Salesman);
    SalesmanName = new QLabel(this);
    SalesmanName->setObjectName(QStringLiteral("SalesmanName"));
    Salesman->setTable(QStringLiteral("Salesman"), QStringLiteral("Id"), QStringLiteral("Code"), QStringLiteral("Name"));
    Salesman->setRestriction(QStringLiteral("Status='Y'"));
    Salesman->setDescriptionLabel(SalesmanName);
    Salesman->setEmptyAllowed(false);
    BtSearchSalesman = new QToolButton(this);
    BtSearchSalesman->setObjectName(QStringLiteral("BtSearchSalesman"));
    BtSearchSalesman->setAutoRaise(true);
    BtSearchSalesman->setText(QStringLiteral("..."));
    BtSearchSalesman->setToolTip(QStringLiteral("ค้นหารหัสพนักงานขาย"));
    BtSearchSalesman->setAccessibleName(BtSearchSalesman->toolTip());
    BtSearchSalesman->setCursor(Qt::PointingHandCursor);
    BtSearchSalesman->setFocusPolicy(Qt::NoFocus);
    BtSearchSalesman->setEnabled(false);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(Label21);
    row->addWidget(Label11);
    row->addWidget(Salesman);
    row->addWidget(BtSearchSalesman);
    row->addWidget(SalesmanName, 1);

    QSalesman.setSql({"select id,code,name,surname,department,status,startdate,stopdate,",
                      "          address1,address2,address3,province,zipcode,phoneno,faxno,", "          email",
                      "from salesman", "where code=:getcode"});

    connect(BtSearchSalesman, &QToolButton::clicked, this, &TFaGetSalesman::searchSalesman);
    connect(Salesman, &TKIdLookup::searchKey, this, &TFaGetSalesman::searchSalesman);
    Salesman->installEventFilter(this);
}

bool TFaGetSalesman::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Salesman) {
        if (event->type() == QEvent::FocusIn) {
            BtSearchSalesman->setEnabled(true);
        } else if (event->type() == QEvent::FocusOut) {
            BtSearchSalesman->setEnabled(false);
            checkSuspended();
        }
    }
    return QFrame::eventFilter(watched, event);
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
