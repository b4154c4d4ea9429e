#include "TFormLogo.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>

TFormLogo::TFormLogo(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("TFormLogo"));
    setFixedSize(301, 166);
    setAutoFillBackground(true);
    QPalette blue = palette();
    blue.setColor(QPalette::Window, Qt::blue);
    setPalette(blue);
    picture_.load(QStringLiteral(":/app/logo.jpg"), "JPG");
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("Status"));
    status_->setWordWrap(true);
    status_->setAlignment(Qt::AlignCenter);
    status_->setStyleSheet(QStringLiteral("QLabel { background: rgba(0, 0, 0, 170); color: white; padding: 3px; }"));
    QFont small = status_->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    status_->setFont(small);
    status_->setGeometry(0, height() - 56, width(), 56);
    status_->hide();
}

void TFormLogo::showStatus(const QString& text)
{
    status_->setText(text);
    status_->setAccessibleName(text);
    status_->setVisible(!text.isEmpty());
}

QString TFormLogo::status() const
{
    return status_->isVisible() ? status_->text() : QString();
}

void TFormLogo::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (!picture_.isNull())
        p.drawImage(rect(), picture_);
}
