#pragma once

#include "report/TextTemplate.h"

#include <QColor>
#include <QLineF>
#include <QList>
#include <QMarginsF>
#include <QPageSize>
#include <QRectF>
#include <QString>

#include <array>
#include <optional>

namespace report {

// All lengths are millimetres, font sizes points.

enum class BandType { ReportTitle, PageHeader, ColumnHeader, Data, Summary, PageFooter };
inline constexpr int kBandTypeCount = 6;

// The name a layout file uses for the band type ("reportTitle", ...).
QString bandTypeName(BandType type);

struct FontStyle {
    QString family;
    qreal pointSize = 10;
    bool bold = false;
    bool italic = false;
};

struct FrameSides {
    bool left = false;
    bool top = false;
    bool right = false;
    bool bottom = false;

    bool any() const { return left || top || right || bottom; }
};

struct LayoutItem {
    enum class Kind { Text, Line, Rect };

    Kind kind = Kind::Text;
    QRectF rect; // text and rect, relative to the band's top-left corner
    QLineF line; // line, relative to the band's top-left corner
    qreal pen = 0.2; // line, frame and border width; 0 draws none
    Qt::PenStyle penStyle = Qt::SolidLine;
    QColor color = Qt::black; // text, line and border colour
    QColor fill; // invalid for none

    // Text items only.
    TextTemplate text;
    FontStyle font;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    bool wrap = false;
    FrameSides frame;
    qreal padding = 1;

    // Where the item stands in the layout file, for messages.
    int sourceLine = 0;
    int sourceColumn = 0;
};

struct Band {
    BandType type = BandType::Data;
    qreal height = 0;
    bool stretch = false; // grows to fit its wrapped text items
    QList<LayoutItem> items;
    int line = 0;
    int column = 0;
};

struct PageSetup {
    std::optional<QPageSize::PageSizeId> standardSize = QPageSize::A4; // unset: custom size
    QSizeF portraitSize{210, 297};
    bool landscape = false;
    QMarginsF margins{10, 10, 10, 10};

    QSizeF size() const { return landscape ? portraitSize.transposed() : portraitSize; }
    QRectF contentRect() const
    {
        return QRectF(QPointF(0, 0), size()).marginsRemoved(margins);
    }
};

struct Layout {
    QString sourceName; // file name used in messages
    PageSetup page;
    FontStyle defaultFont;
    std::array<std::optional<Band>, kBandTypeCount> bands;

    const Band* band(BandType type) const
    {
        const auto& b = bands[static_cast<int>(type)];
        return b ? &*b : nullptr;
    }
    qreal bandHeight(BandType type) const
    {
        const Band* b = band(type);
        return b ? b->height : 0;
    }
};

} // namespace report
