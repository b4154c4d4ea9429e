// The layouts a grid keeps for its cell texts: which texts are kept, and
// that the store stays within its bound however many texts pass through.
// (Whether a kept layout paints as Qt does is tested on a real grid in
// db_grid_test.cpp.)

#include "widgets/CellTextCache.h"

#include <QApplication>
#include <QStyleOptionViewItem>
#include <QTextLayout>
#include <gtest/gtest.h>

namespace {

using widgets::CellTextCache;

QStyleOptionViewItem cell(const QString& text, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter)
{
    QStyleOptionViewItem option;
    option.text = text;
    option.font = QApplication::font();
    option.direction = Qt::LeftToRight;
    option.displayAlignment = alignment;
    option.rect = QRect(0, 0, 200, 24);
    return option;
}

TEST(CellTextCache, KeepsSingleLinesThatFitAndLeavesTheRestToTheStyle)
{
    CellTextCache cache;
    const QRect room(3, 0, 194, 24);
    QPointF at;
    const QTextLayout* name = cache.layoutFor(cell(QStringLiteral("น้ำดื่มตราภูเขา")), room, &at);
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(at.x(), room.x());
    EXPECT_EQ(cache.layoutFor(cell(QStringLiteral("น้ำดื่มตราภูเขา")), room, &at), name) << "laid out once";
    EXPECT_EQ(cache.size(), 1);

    // Too wide to stand uncut, two lines, nothing to draw: the style's.
    EXPECT_EQ(cache.layoutFor(cell(QString(80, QChar(0x0E01))), room, &at), nullptr);
    EXPECT_EQ(cache.layoutFor(cell(QStringLiteral("บรรทัดหนึ่ง\nบรรทัดสอง")), room, &at), nullptr);
    EXPECT_EQ(cache.layoutFor(cell(QString()), room, &at), nullptr);

    // A right-aligned number ends at the right of its room, whatever its width.
    const QTextLayout* narrow = cache.layoutFor(cell(QStringLiteral("1,234.50"), Qt::AlignRight | Qt::AlignVCenter),
                                                QRect(3, 0, 80, 24), &at);
    const QTextLayout* wide = cache.layoutFor(cell(QStringLiteral("1,234.50"), Qt::AlignRight | Qt::AlignVCenter),
                                              QRect(3, 0, 150, 24), &at);
    ASSERT_NE(narrow, nullptr);
    ASSERT_NE(wide, nullptr);
    EXPECT_NE(narrow, wide);
    EXPECT_GT(wide->lineAt(0).cursorToX(0), narrow->lineAt(0).cursorToX(0) + 60);
}

TEST(CellTextCache, KeepsAtMostItsCapacityDroppingTheLeastRecentlyDrawn)
{
    CellTextCache cache;
    cache.setCapacity(10);
    const QRect room(3, 0, 194, 24);
    QPointF at;
    const QTextLayout* first = cache.layoutFor(cell(QStringLiteral("คลัง 0")), room, &at);
    for (int i = 1; i < 50; ++i) {
        cache.layoutFor(cell(QStringLiteral("คลัง %1").arg(i)), room, &at);
        cache.layoutFor(cell(QStringLiteral("คลัง 0")), room, &at);  // drawn at every paint
        EXPECT_LE(cache.size(), 10);
    }
    EXPECT_EQ(cache.layoutFor(cell(QStringLiteral("คลัง 0")), room, &at), first) << "still kept";
}

} // namespace
