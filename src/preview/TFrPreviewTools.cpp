#include "TFrPreviewTools.h"

#include "db/DbError.h"
#include "widgets/GlobalWindows.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QScrollArea>
#include <QShowEvent>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

TFrPreviewTools* FrPreviewTools = nullptr;

namespace {

constexpr int kStep = 100;

enum Glyph { Smaller, Larger, Original, Leave, Picture };

// The buttons' and the status bar's glyphs, drawn rather than shipped.
QIcon drawnGlyph(int glyph)
{
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QPen ink(QColor(30, 60, 140), 2.2);
    p.setPen(ink);
    switch (glyph) {
    case Smaller:
    case Larger:
        p.drawEllipse(QRectF(3, 3, 13, 13));
        p.drawLine(QPointF(14, 14), QPointF(21, 21));
        p.drawLine(QPointF(6.5, 9.5), QPointF(12.5, 9.5));
        if (glyph == Larger)
            p.drawLine(QPointF(9.5, 6.5), QPointF(9.5, 12.5));
        break;
    case Original:
        p.drawRect(QRectF(5, 5, 14, 14));
        p.drawText(QRectF(5, 5, 14, 14), Qt::AlignCenter, QStringLiteral("1"));
        break;
    case Leave:
        p.setPen(QPen(QColor(180, 30, 30), 2.6));
        p.drawLine(QPointF(6, 6), QPointF(18, 18));
        p.drawLine(QPointF(18, 6), QPointF(6, 18));
        break;
    default:
        p.drawRect(QRectF(3, 5, 18, 14));
        p.drawLine(QPointF(5, 17), QPointF(10, 11));
        p.drawLine(QPointF(10, 11), QPointF(14, 15));
        p.drawLine(QPointF(14, 15), QPointF(19, 9));
        break;
    }
    return QIcon(pixmap);
}

} // namespace

TFrPreviewTools::TFrPreviewTools(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFrPreviewTools"));
    setWindowTitle(QStringLiteral("Preview"));
    setWindowFlags(Qt::Window | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowTitleHint);
    setFixedSize(563, 531);

    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setFixedHeight(409);
    // A picture zoomed past the box scrolls rather than being cut off.
    scroll_ = new QScrollArea(GroupBox1);
    scroll_->setAlignment(Qt::AlignCenter);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setFocusPolicy(Qt::NoFocus);
    Image1 = new QLabel;
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAccessibleName(QStringLiteral("Preview"));
    scroll_->setWidget(Image1);
    auto* inBox = new QVBoxLayout(GroupBox1);
    inBox->setContentsMargins(2, 2, 2, 2);
    inBox->addWidget(scroll_);

    BtZoomIn = toolButton(QStringLiteral("BtZoomIn"), QStringLiteral("Zoom In"), QStringLiteral("ลดขนาด"), Smaller);
    BtZoomOut = toolButton(QStringLiteral("BtZoomOut"), QStringLiteral("Zoom Out"), QStringLiteral("ขยาย"), Larger);
    BtReset = toolButton(QStringLiteral("BtReset"), QStringLiteral("Reset"), QStringLiteral("ขนาดดั่งเดิม"), Original);
    BtClose = toolButton(QStringLiteral("BtClose"), QStringLiteral("Close"), QStringLiteral("ปิดโปรแกรม"), Leave);
    connect(BtZoomIn, &QToolButton::clicked, this, &TFrPreviewTools::zoomIn);
    connect(BtZoomOut, &QToolButton::clicked, this, &TFrPreviewTools::zoomOut);
    connect(BtReset, &QToolButton::clicked, this, [this] { redraw(StartWidth, StartHeight); });
    connect(BtClose, &QToolButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QToolButton* b : {BtZoomIn, BtZoomOut, BtReset, BtClose})
        buttons->addWidget(b);
    buttons->addStretch(1);

    buildStatusBar();

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 0);
    outer->addWidget(GroupBox1);
    outer->addLayout(buttons, 1);
    outer->addWidget(StatusBar1);
}

TFrPreviewTools* TFrPreviewTools::instance()
{
    return widgets::globalWindow(FrPreviewTools);
}

QToolButton* TFrPreviewTools::toolButton(const QString& name, const QString& caption, const QString& hint, int glyph)
{
    auto* b = new QToolButton(this);
    b->setObjectName(name);
    b->setText(caption);
    b->setToolTip(hint);
    b->setAccessibleName(caption);
    b->setAccessibleDescription(hint);
    b->setIcon(drawnGlyph(glyph));
    b->setIconSize(QSize(24, 24));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setFocusPolicy(Qt::NoFocus);
    b->setMinimumSize(90, 52);
    return b;
}

void TFrPreviewTools::buildStatusBar()
{
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    auto* glyph = new QLabel(StatusBar1);
    glyph->setPixmap(drawnGlyph(Picture).pixmap(16, 16));
    StatusBar1->addWidget(glyph);
    // The keyboard's lock states cannot be read portably; the indicators
    // name the keys, as the suite's windows show them.
    for (const char* text : {"Num", "Overwrite", "Scroll", "Caps"}) {
        auto* indicator = new QLabel(QString::fromLatin1(text), StatusBar1);
        indicator->setObjectName(QStringLiteral("Indicator") + QString::fromLatin1(text));
        indicator->setEnabled(false);
        indicator->setFrameShape(QFrame::StyledPanel);
        StatusBar1->addWidget(indicator);
    }
    Gauge1 = new QProgressBar(StatusBar1);
    Gauge1->setObjectName(QStringLiteral("Gauge1"));
    Gauge1->setRange(0, 100);
    Gauge1->setValue(0);
    Gauge1->setAccessibleName(QStringLiteral("Gauge1"));
    StatusBar1->addWidget(Gauge1, 1);
}

QImage TFrPreviewTools::readPicture(const QString& path)
{
    QImageReader reader(path, QFileInfo(path).suffix().toLower().toLatin1());
    QImage image = reader.read();
    if (image.isNull())
        throw db::DbError(QStringLiteral("Cannot read the picture \"%1\": %2").arg(path, reader.errorString()));
    return image;
}

QSize TFrPreviewTools::pictureSize() const
{
    return Image1->pixmap().size();
}

void TFrPreviewTools::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        showStep();
}

void TFrPreviewTools::showStep()
{
    const QImage picture = readPicture(PictureFile);
    Image1->setPixmap(QPixmap::fromImage(picture));
    Image1->resize(picture.size());
    StartWidth = picture.width();
    StartHeight = picture.height();
    setWindowTitle(QStringLiteral("Preview .: ") + PictureFile + QStringLiteral(" :."));
    fillGauge();
}

void TFrPreviewTools::fillGauge()
{
    if (Gauge1->value() == 100)
        Gauge1->setValue(0);
    for (int step = 0; step <= 100; ++step)
        Gauge1->setValue(qMin(100, Gauge1->value() + step));
}

void TFrPreviewTools::zoomIn()
{
    const QSize now = pictureSize();
    const int width = now.width() - kStep;
    const int height = now.height() - kStep;
    if (width < StartWidth || height < StartHeight)
        return;
    redraw(width, height);
}

void TFrPreviewTools::zoomOut()
{
    const QSize now = pictureSize();
    redraw(now.width() + kStep, now.height() + kStep);
}

void TFrPreviewTools::redraw(int width, int height)
{
    const QImage picture = readPicture(PictureFile);
    QPixmap canvas(width, height);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(canvas.rect(), picture);
    painter.end();
    Image1->setPixmap(canvas);
    Image1->resize(canvas.size());
}
