#include "TFrShowError.h"

#include "config/TDMConfig.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

TFrShowError* FrShowError = nullptr;
bool TFrShowError::SentFlag = false;
int TFrShowError::Countdown = 10;

TFrShowError::TFrShowError(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFrShowError"));
    setWindowTitle(QStringLiteral("Windows Error Message"));
    // A fixed dialog border without title-bar buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(344, 101);
    setAutoFillBackground(true);
    QPalette red = palette();
    red.setColor(QPalette::Window, Qt::red);
    setPalette(red);

    ErrorBox = new QPlainTextEdit(this);
    ErrorBox->setObjectName(QStringLiteral("ErrorBox"));
    ErrorBox->setAccessibleName(QStringLiteral("Windows Error Message"));
    ErrorBox->setReadOnly(true);
    ErrorBox->setGeometry(0, 0, 344, 65);
    QPalette box = ErrorBox->palette();
    box.setColor(QPalette::Base, Qt::red);
    box.setColor(QPalette::Text, palette().color(QPalette::Base));  // the system window colour, white by default
    ErrorBox->setPalette(box);

    QFont bold = font();
    bold.setBold(true);
    BOk = new QPushButton(QStringLiteral("Send Error"), this);
    BOk->setObjectName(QStringLiteral("BOk"));
    BOk->setFont(bold);
    BOk->setGeometry(92, 70, 75, 25);
    BCancel = new QPushButton(QStringLiteral("Don't Send"), this);
    BCancel->setObjectName(QStringLiteral("BCancel"));
    BCancel->setFont(bold);
    BCancel->setGeometry(177, 70, 75, 25);
    TimeCount = new QLabel(this);
    TimeCount->setObjectName(QStringLiteral("TimeCount"));
    TimeCount->setFont(bold);
    TimeCount->setGeometry(4, 80, 80, 16);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TFrShowError::tick);
    Timer1->start();

    connect(BOk, &QPushButton::clicked, this, &TFrShowError::sendError);
    connect(BCancel, &QPushButton::clicked, this, &TFrShowError::dontSend);
}

void TFrShowError::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    move(50, 100);
    ErrorBox->setPlainText(ErrorText);
    BCancel->setFocus();
    SentFlag = false;
    Countdown = 10;
    TimeCount->clear();
}

void TFrShowError::tick()
{
    if (SentFlag)
        return;
    --Countdown;
    if (Countdown == 1)
        dontSend();
}

void TFrShowError::dontSend()
{
    close();
}

QString TFrShowError::MailSubject()
{
    const RunContext& run = DMConfig->Run;
    return QStringLiteral("Error ") + run.DatabaseName.trimmed() + QLatin1Char(' ') + run.MenuCaption.trimmed();
}

QString TFrShowError::MailBody(const QString& errorText)
{
    const RunContext& run = DMConfig->Run;
    return QStringLiteral("[User = ") + run.UserCode.trimmed() + QStringLiteral("] ") + QLatin1Char('\r')
        + QStringLiteral("Local IP = ") + TDMConfig::LocalIpAddress() + QLatin1Char('\r') + errorText;
}

void TFrShowError::sendError()
{
    SentFlag = true;
    // The window stays painted while the mail server answers; say so.
    BOk->setEnabled(false);
    BCancel->setEnabled(false);
    TimeCount->setText(QStringLiteral("กำลังส่ง..."));
    DMConfig->SendErrorMail(MailSubject(), MailBody(ErrorText));
    close();
}
