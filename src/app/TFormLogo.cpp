#include "TFormLogo.h"

#include <QGuiApplication>
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
}

void TFormLogo::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (!picture_.isNull())
        p.drawImage(rect(), picture_);
}
