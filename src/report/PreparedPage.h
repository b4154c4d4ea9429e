#pragma once

#include "report/Layout.h"

#include <QList>
#include <QSizeF>
#include <QString>

namespace report {

// One item placed on a page, its text final: what painting needs and no
// more. Geometry in millimetres from the paper's top-left corner.
struct PreparedItem {
    LayoutItem::Kind kind = LayoutItem::Kind::Text;
    QRectF rect;
    QLineF line;
    qreal pen = 0.2;
    Qt::PenStyle penStyle = Qt::SolidLine;
    QColor color = Qt::black;
    QColor fill;

    QString text;
    FontStyle font; // family already resolved to an installed one
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    bool wrap = false;
    FrameSides frame;
    qreal padding = 1;
};

struct PreparedPage {
    QSizeF size; // millimetres
    QList<PreparedItem> items;

    // The page's texts, in the order they were placed.
    QStringList texts() const;
};

} // namespace report
