// Qt Gui's raster slices run on the painting thread when asked, and only
// those: a pool of anyone else's is left as it is.

#include "widgets/PaintTasks.h"

#include <QImage>
#include <QPainter>
#include <QThread>
#include <QThreadPool>

#include <gtest/gtest.h>

#include <atomic>

namespace {

// A half-transparent fill over 400 rows: blended span by span, which the
// raster engine cuts into slices for its pool.
void blend(QImage& image, const QColor& color)
{
    QPainter p(&image);
    p.fillRect(image.rect(), color);
}

TEST(PaintTasks, RasterSlicesRunInPlaceOnlyWhenAskedAndOtherPoolsKeepTheirThreads)
{
    QImage image(300, 400, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);

    widgets::paintOnTheCallingThread(true);
    const quint64 before = widgets::paintSlicesRunInPlace();
    blend(image, QColor(255, 0, 0, 128));
    EXPECT_GT(widgets::paintSlicesRunInPlace(), before) << "Qt Gui's slices did not come this way";
    // Every row painted, the last slice's too.
    for (int y : {0, 150, 399})
        EXPECT_EQ(image.pixelColor(150, y).rgb(), image.pixelColor(0, 0).rgb()) << y;
    EXPECT_NE(image.pixelColor(0, 399).rgb(), QColor(Qt::white).rgb());

    // Anyone else's pool still runs its tasks on its own threads.
    QThreadPool pool;
    std::atomic<QThread*> where{nullptr};
    const quint64 beforeOwn = widgets::paintSlicesRunInPlace();
    pool.start([&where] { where = QThread::currentThread(); });
    pool.waitForDone();
    EXPECT_NE(where.load(), nullptr);
    EXPECT_NE(where.load(), QThread::currentThread());
    EXPECT_EQ(widgets::paintSlicesRunInPlace(), beforeOwn);

    // Switched off, the slices go to Qt's pool again and still paint.
    widgets::paintOnTheCallingThread(false);
    const quint64 off = widgets::paintSlicesRunInPlace();
    image.fill(Qt::white);
    blend(image, QColor(0, 0, 255, 128));
    EXPECT_EQ(widgets::paintSlicesRunInPlace(), off);
    EXPECT_EQ(image.pixelColor(299, 399).rgb(), image.pixelColor(0, 0).rgb());
    EXPECT_NE(image.pixelColor(299, 399).rgb(), QColor(Qt::white).rgb());
}

} // namespace
