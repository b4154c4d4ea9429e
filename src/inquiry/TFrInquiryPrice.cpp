#include "TFrInquiryPrice.h"

#include "data/TDM.h"

#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

TFrInquiryPrice* FrInquiryPrice = nullptr;
QString TFrInquiryPrice::PictureFolder;
QString TFrInquiryPrice::StartFolder;

namespace {

const QString kCaption = QStringLiteral("โปรแกรมสอบถามราคาทางโทรศัพท์");

} // namespace

TFrInquiryPrice::TFrInquiryPrice(QWidget* parent) : QDialog(parent)
{
    // Created before the data modules: nothing here may touch them.
    setObjectName(QStringLiteral("TFrInquiryPrice"));
    setWindowTitle(kCaption);
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    setFixedSize(792, 560);
}

void TFrInquiryPrice::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    // The show step runs from the event loop right after the window appears,
    // so that an error in it reaches the error handler with the window intact.
    QTimer::singleShot(0, this, &TFrInquiryPrice::ShowStep);
}

void TFrInquiryPrice::ShowStep()
{
    // Showing the window reconnects the business database, which re-reads
    // its setup row.
    DM->connection().close();
    DM->connection().open();
    QString folder = DM->Config().asString(QStringLiteral("PicturePath")).trimmed();
    if (folder.endsWith(QLatin1Char('\\')))
        folder.chop(1);
    PictureFolder = folder;
    StartFolder = QDir::currentPath();
}

void TFrInquiryPrice::closeEvent(QCloseEvent* event)
{
    DM->connection().close();
    QDialog::closeEvent(event);
}
