#include "PicturePanel.h"

#include <QFileInfo>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

namespace search {

PicturePanel::PicturePanel(QWidget* parent) : QFrame(parent)
{
    setFrameShape(QFrame::StyledPanel);
    setAccessibleName(QStringLiteral("QEL IMAGER"));
    auto* title = new QLabel(QStringLiteral("Image Preview"), this);
    title->setAlignment(Qt::AlignCenter);
    title->setStyleSheet(QStringLiteral("font-weight: bold;"));
    image_ = new QLabel(this);
    image_->setScaledContents(true);
    image_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(image_, 1);
    layout->addWidget(new QLabel(QStringLiteral("QEL IMAGER"), this), 0, Qt::AlignCenter);
}

void PicturePanel::showPicture(const QString& storedName, const QString& file)
{
    if (storedName.trimmed().size() < 4 || !QFileInfo(file).isFile()) {
        image_->hide();
        image_->clear();
        image_->setToolTip(QString());
        return;
    }
    image_->setPixmap(QPixmap(file));
    image_->setToolTip(QStringLiteral("Files : ") + file);
    image_->show();
}

} // namespace search
