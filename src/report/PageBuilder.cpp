#include "report/PageBuilder.h"

#include "report/Render.h"
#include "report/ReportError.h"

#include <cmath>

namespace report {

namespace {

constexpr qreal kEpsilon = 1e-6;

bool reachesBottom(qreal bottom, const Band& band)
{
    return std::fabs(bottom - band.height) < 0.01;
}

class Builder {
public:
    Builder(const Layout& layout, const DataSource& data, const QHash<QString, Variable>& variables)
        : m_layout(layout), m_data(data), m_variables(variables), m_rows(data.rowCount())
    {
    }

    QList<PreparedPage> run()
    {
        resolveNames();
        layOut();
        return writePages();
    }

private:
    // Which rows [SUM] and [COUNT] cover, and the row and page in hand.
    struct Context {
        int row = -1;
        int page = 0;
        int pages = 0;
        int firstRow = 0;
        int endRow = 0;
    };

    struct Placement {
        BandType type;
        int page;
        qreal top;
        qreal height;
        int row;
    };

    struct PageRows {
        int first;
        int end;
    };

    [[noreturn]] void fail(const LayoutItem& item, const QString& what) const
    {
        throw ReportError(QStringLiteral("%1: line %2, column %3: %4")
                              .arg(m_layout.sourceName)
                              .arg(item.sourceLine)
                              .arg(item.sourceColumn)
                              .arg(what));
    }

    // Checks every placeholder against the data and the variables once, so
    // that a misspelt name fails before anything is laid out, and reads the
    // values that [SUM] adds up.
    void resolveNames()
    {
        const QStringList fields = m_data.fieldNames();
        for (const QString& field : fields)
            m_fieldSpelling.insert(field.toLower(), field);

        for (const auto& band : m_layout.bands) {
            if (!band)
                continue;
            for (const LayoutItem& item : band->items) {
                for (const TextTemplate::Part& part : item.text.parts()) {
                    if (!part.isPlaceholder)
                        continue;
                    const Placeholder& p = part.placeholder;
                    if (p.kind == Placeholder::Kind::Field || p.kind == Placeholder::Kind::Sum) {
                        if (!m_fieldSpelling.contains(p.name.toLower()))
                            fail(item, QStringLiteral("unknown field [%1]; the data has %2")
                                           .arg(p.kind == Placeholder::Kind::Sum ? "SUM(" + p.name + ")" : p.name,
                                                fields.isEmpty() ? QStringLiteral("no fields")
                                                                 : fields.join(QStringLiteral(", "))));
                        if (p.kind == Placeholder::Kind::Sum)
                            readSumValues(item, p.name);
                    } else if (p.kind == Placeholder::Kind::Variable) {
                        if (!m_variables.contains(p.name.toLower())) {
                            QStringList names;
                            for (const Variable& v : m_variables)
                                names << v.name;
                            names.sort();
                            fail(item, QStringLiteral("unknown variable [Var.%1]; %2")
                                           .arg(p.name, names.isEmpty()
                                                            ? QStringLiteral("no variables are set")
                                                            : QStringLiteral("the variables set are ")
                                                                  + names.join(QStringLiteral(", "))));
                        }
                    }
                }
            }
        }
    }

    void readSumValues(const LayoutItem& item, const QString& name)
    {
        const QString key = name.toLower();
        if (m_sumValues.contains(key))
            return;
        const QString field = m_fieldSpelling.value(key);
        QList<double> values(m_rows, 0.0);
        for (int row = 0; row < m_rows; ++row) {
            const QVariant value = m_data.value(row, field);
            if (value.isNull() || value.toString().trimmed().isEmpty())
                continue;
            bool ok = false;
            double number = value.toDouble(&ok);
            if (!ok && value.typeId() == QMetaType::QString) {
                QString text = value.toString().trimmed();
                number = text.remove(u',').toDouble(&ok);
            }
            if (!ok)
                fail(item, QStringLiteral("[SUM(%1)]: row %2 holds \"%3\", which is not a number")
                               .arg(name)
                               .arg(row + 1)
                               .arg(value.toString()));
            values[row] = number;
        }
        m_sumValues.insert(key, values);
    }

    FontStyle resolvedFont(const FontStyle& font) const
    {
        FontStyle resolved = font;
        resolved.family = resolveFontFamily(font.family);
        return resolved;
    }

    QString valueOf(const Placeholder& p, const Context& c) const
    {
        switch (p.kind) {
        case Placeholder::Kind::Field:
            return formatValue(m_data.value(c.row, m_fieldSpelling.value(p.name.toLower())), p.format);
        case Placeholder::Kind::Variable:
            return formatValue(m_variables.value(p.name.toLower()).value, p.format);
        case Placeholder::Kind::Page:
            return formatValue(c.page + 1, p.format);
        case Placeholder::Kind::Pages:
            return formatValue(c.pages, p.format);
        case Placeholder::Kind::Line:
            return formatValue(c.row + 1, p.format);
        case Placeholder::Kind::Count:
            return formatValue(c.endRow - c.firstRow, p.format);
        case Placeholder::Kind::Sum: {
            const QList<double>& values = m_sumValues[p.name.toLower()];
            double sum = 0;
            for (int row = c.firstRow; row < c.endRow; ++row)
                sum += values[row];
            // Without a picture, hide the binary noise of adding decimals.
            return p.format.isEmpty() ? formatNumber(sum, QStringLiteral("0.##########"))
                                      : formatValue(sum, p.format);
        }
        }
        return {};
    }

    QString textOf(const LayoutItem& item, const Context& c) const
    {
        return item.text.render([&](const Placeholder& p) { return valueOf(p, c); });
    }

    qreal wrappedTextHeight(const LayoutItem& item, const Context& c) const
    {
        const qreal inner = item.rect.width() - 2 * item.padding;
        return measureTextHeight(textOf(item, c), resolvedFont(item.font), inner, true) + 2 * item.padding;
    }

    qreal heightOf(const Band& band, const Context& c) const
    {
        if (!band.stretch)
            return band.height;
        qreal height = band.height;
        for (const LayoutItem& item : band.items) {
            if (item.kind != LayoutItem::Kind::Text || !item.wrap)
                continue;
            const qreal below = band.height - item.rect.bottom();
            height = qMax(height, item.rect.top() + wrappedTextHeight(item, c) + below);
        }
        return height;
    }

    Context contextFor(BandType type, int page, int row) const
    {
        Context c;
        c.page = page;
        c.pages = m_pageCount;
        c.row = row;
        switch (type) {
        case BandType::Data:
            c.endRow = row + 1;
            break;
        case BandType::ReportTitle:
        case BandType::Summary:
            c.endRow = m_rows;
            break;
        case BandType::PageHeader:
        case BandType::ColumnHeader:
        case BandType::PageFooter:
            if (page < m_pageRows.size()) {
                c.firstRow = m_pageRows[page].first;
                c.endRow = m_pageRows[page].end;
            }
            break;
        }
        return c;
    }

    // First pass: which band goes on which page at what height. Nothing is
    // painted, so the page count is known before any [PAGES] is written.
    void layOut()
    {
        const QRectF content = m_layout.page.contentRect();
        const qreal footer = m_layout.bandHeight(BandType::PageFooter);
        const qreal bottom = content.bottom() - footer;
        // Where rows start on a page without the title: a band that does
        // not fit below that point would not fit on any new page either.
        const qreal freshTop = content.top() + m_layout.bandHeight(BandType::PageHeader)
            + m_layout.bandHeight(BandType::ColumnHeader);

        int page = -1;
        qreal y = 0;
        int nextRow = 0;

        const auto place = [&](BandType type, qreal height, int row) {
            m_placements.append(Placement{type, page, y, height, row});
            y += height;
        };
        const auto startPage = [&]() {
            ++page;
            m_pageCount = page + 1;
            m_pageRows.append(PageRows{nextRow, nextRow});
            y = content.top();
            if (const Band* header = m_layout.band(BandType::PageHeader))
                place(BandType::PageHeader, header->height, -1);
            if (const Band* title = m_layout.band(BandType::ReportTitle); title && page == 0) {
                const qreal room = bottom - y - m_layout.bandHeight(BandType::ColumnHeader);
                place(BandType::ReportTitle,
                      qMax(title->height, qMin(heightOf(*title, contextFor(BandType::ReportTitle, 0, -1)), room)),
                      -1);
            }
            if (const Band* columns = m_layout.band(BandType::ColumnHeader))
                place(BandType::ColumnHeader, columns->height, -1);
        };
        // A band that does not fit goes to a new page, unless the page is
        // as empty as a new one would be; then it is cut at the footer.
        const auto placeFlowing = [&](const Band& band, int row) {
            qreal height = heightOf(band, contextFor(band.type, page, row));
            if (y + height > bottom + kEpsilon && y > freshTop + kEpsilon)
                startPage();
            height = qMax(band.height, qMin(height, bottom - y));
            place(band.type, height, row);
        };

        startPage();
        if (const Band* data = m_layout.band(BandType::Data)) {
            for (int row = 0; row < m_rows; ++row) {
                placeFlowing(*data, row);
                nextRow = row + 1;
                m_pageRows[page].end = nextRow;
            }
        }
        nextRow = m_rows;
        if (const Band* summary = m_layout.band(BandType::Summary))
            placeFlowing(*summary, -1);

        if (m_layout.band(BandType::PageFooter)) {
            for (int p = 0; p < m_pageCount; ++p)
                m_placements.append(Placement{BandType::PageFooter, p, bottom, footer, -1});
        }
    }

    // Second pass: final texts and geometry, page by page.
    QList<PreparedPage> writePages() const
    {
        QList<PreparedPage> pages(m_pageCount);
        for (PreparedPage& page : pages)
            page.size = m_layout.page.size();
        const qreal left = m_layout.page.contentRect().left();

        for (const Placement& placement : m_placements) {
            const Band& band = *m_layout.band(placement.type);
            const Context c = contextFor(placement.type, placement.page, placement.row);
            const qreal grow = placement.height - band.height;
            const QPointF origin(left, placement.top);
            QList<PreparedItem>& items = pages[placement.page].items;

            for (const LayoutItem& item : band.items) {
                PreparedItem out;
                out.kind = item.kind;
                out.pen = item.pen;
                out.penStyle = item.penStyle;
                out.color = item.color;
                out.fill = item.fill;
                switch (item.kind) {
                case LayoutItem::Kind::Text:
                case LayoutItem::Kind::Rect: {
                    QRectF rect = item.rect;
                    if (grow > 0 && reachesBottom(rect.bottom(), band))
                        rect.setHeight(rect.height() + grow);
                    else if (grow > 0 && item.kind == LayoutItem::Kind::Text && item.wrap)
                        rect.setHeight(qMax(rect.height(), wrappedTextHeight(item, c)));
                    out.rect = rect.translated(origin);
                    break;
                }
                case LayoutItem::Kind::Line: {
                    QLineF line = item.line;
                    if (grow > 0 && reachesBottom(line.y1(), band))
                        line.setP1(line.p1() + QPointF(0, grow));
                    if (grow > 0 && reachesBottom(line.y2(), band))
                        line.setP2(line.p2() + QPointF(0, grow));
                    out.line = line.translated(origin);
                    break;
                }
                }
                if (item.kind == LayoutItem::Kind::Text) {
                    out.text = textOf(item, c);
                    out.font = resolvedFont(item.font);
                    out.alignment = item.alignment;
                    out.wrap = item.wrap;
                    out.frame = item.frame;
                    out.padding = item.padding;
                }
                items.append(out);
            }
        }
        return pages;
    }

    const Layout& m_layout;
    const DataSource& m_data;
    const QHash<QString, Variable>& m_variables;
    const int m_rows;
    QHash<QString, QString> m_fieldSpelling;
    QHash<QString, QList<double>> m_sumValues;

    QList<Placement> m_placements;
    QList<PageRows> m_pageRows;
    int m_pageCount = 0;
};

} // namespace

QList<PreparedPage> buildPages(const Layout& layout, const DataSource& data,
                               const QHash<QString, Variable>& variables)
{
    Builder builder(layout, data, variables);
    return builder.run();
}

} // namespace report
