#include "report/LayoutParser.h"

#include "report/ReportError.h"

#include <QLocale>
#include <QSet>
#include <QXmlStreamReader>

#include <cmath>

namespace report {

QString bandTypeName(BandType type)
{
    switch (type) {
    case BandType::ReportTitle:
        return QStringLiteral("reportTitle");
    case BandType::PageHeader:
        return QStringLiteral("pageHeader");
    case BandType::ColumnHeader:
        return QStringLiteral("columnHeader");
    case BandType::Data:
        return QStringLiteral("data");
    case BandType::Summary:
        return QStringLiteral("summary");
    case BandType::PageFooter:
        return QStringLiteral("pageFooter");
    }
    return {};
}

namespace {

// What a page can hold. Beyond these the painting library gives up (a font
// of about 1,800 points has no glyphs at the printer's resolution) or
// device coordinates overflow, so a layout asking for more is refused
// when it is read rather than failing, or worse, at F10.
constexpr qreal kMaxMillimetres = 5000; // PDF's own limit is 200 inches
constexpr qreal kMaxPoints = 720;       // ten inches: more than a page is high
constexpr qreal kMaxPen = 100;          // the painter refuses wider pens
// Far more than a page holds; a megabyte of wrapped text takes minutes to lay out.
constexpr qsizetype kMaxTextLength = 10000;

constexpr BandType kAllBandTypes[] = {BandType::ReportTitle, BandType::PageHeader,
                                      BandType::ColumnHeader, BandType::Data,
                                      BandType::Summary,     BandType::PageFooter};

QString allBandTypeNames()
{
    QStringList names;
    for (BandType type : kAllBandTypes)
        names << bandTypeName(type);
    return names.join(QStringLiteral(", "));
}

class Parser {
public:
    Parser(const QByteArray& xml, const QString& sourceName)
        : m_reader(xml), m_text(QString::fromUtf8(xml)), m_sourceName(sourceName)
    {
    }

    Layout run()
    {
        Layout layout;
        layout.sourceName = m_sourceName;

        if (!nextElement())
            fail(QStringLiteral("the file holds no <report> element"));
        if (m_reader.name() != u"report")
            fail(QStringLiteral("expected <report>, found <%1>").arg(m_reader.name()));
        {
            Attributes a(*this, {"font", "fontSize"});
            layout.defaultFont.family = a.text("font", QStringLiteral("Loma"));
            layout.defaultFont.pointSize = a.fontSize("fontSize", 10);
            a.finish();
        }

        bool seenPage = false;
        bool seenBand = false;
        while (nextChildElement()) {
            if (m_reader.name() == u"page") {
                if (seenPage)
                    fail(QStringLiteral("a second <page>"));
                if (seenBand)
                    fail(QStringLiteral("<page> must come before the bands"));
                seenPage = true;
                layout.page = readPage();
            } else if (m_reader.name() == u"band") {
                seenBand = true;
                readBand(layout);
            } else {
                fail(QStringLiteral("expected a <band>, found <%1>").arg(m_reader.name()));
            }
        }
        // Anything after </report> other than comments is an error too.
        while (!m_reader.atEnd()) {
            advance();
            if (m_reader.isStartElement())
                fail(QStringLiteral("<%1> after </report>").arg(m_reader.name()));
        }
        checkXml();
        checkBandsFit(layout);
        return layout;
    }

    [[noreturn]] void fail(const QString& what) const
    {
        throw ReportError(QStringLiteral("%1: line %2, column %3: %4")
                              .arg(m_sourceName)
                              .arg(m_elementLine)
                              .arg(m_elementColumn)
                              .arg(what));
    }

private:
    // Reads an element's attributes, each at most once, and complains about
    // any it was not asked for.
    class Attributes {
    public:
        Attributes(Parser& parser, std::initializer_list<const char*> known)
            : m_parser(parser), m_attributes(parser.m_reader.attributes())
        {
            for (const char* name : known)
                m_known.insert(QString::fromLatin1(name));
        }

        bool has(const char* name) const { return m_attributes.hasAttribute(QLatin1String(name)); }

        QString text(const char* name, const QString& fallback = {}) const
        {
            return has(name) ? m_attributes.value(QLatin1String(name)).toString() : fallback;
        }

        QString required(const char* name) const
        {
            if (!has(name))
                m_parser.fail(QStringLiteral("<%1> needs the attribute %2")
                                  .arg(m_parser.m_reader.name(), QLatin1String(name)));
            return text(name);
        }

        qreal number(const char* name, std::optional<qreal> fallback = std::nullopt) const
        {
            if (!has(name)) {
                if (!fallback)
                    required(name);
                return *fallback;
            }
            const QString value = text(name).trimmed();
            bool ok = false;
            const qreal n = QLocale::c().toDouble(value, &ok);
            if (!ok || !std::isfinite(n))
                m_parser.fail(QStringLiteral("%1=\"%2\" is not a number").arg(QLatin1String(name), value));
            return n;
        }

        // Lengths in millimetres.
        qreal nonNegative(const char* name, std::optional<qreal> fallback = std::nullopt) const
        {
            const qreal n = number(name, fallback);
            if (n < 0)
                m_parser.fail(QStringLiteral("%1 must not be negative").arg(QLatin1String(name)));
            return atMost(name, n, kMaxMillimetres, "mm");
        }

        qreal positive(const char* name, std::optional<qreal> fallback = std::nullopt) const
        {
            const qreal n = number(name, fallback);
            if (n <= 0)
                m_parser.fail(QStringLiteral("%1 must be greater than 0").arg(QLatin1String(name)));
            return atMost(name, n, kMaxMillimetres, "mm");
        }

        qreal fontSize(const char* name, qreal fallback) const
        {
            const qreal n = number(name, fallback);
            if (n <= 0)
                m_parser.fail(QStringLiteral("%1 must be greater than 0").arg(QLatin1String(name)));
            return atMost(name, n, kMaxPoints, "points");
        }

        bool boolean(const char* name, bool fallback) const
        {
            if (!has(name))
                return fallback;
            const QString value = text(name).trimmed().toLower();
            if (value == u"true" || value == u"yes" || value == u"1")
                return true;
            if (value == u"false" || value == u"no" || value == u"0")
                return false;
            m_parser.fail(QStringLiteral("%1=\"%2\" should be true or false").arg(QLatin1String(name), text(name)));
        }

        QColor color(const char* name, const QColor& fallback) const
        {
            if (!has(name))
                return fallback;
            const QColor c = QColor::fromString(text(name).trimmed());
            if (!c.isValid())
                m_parser.fail(QStringLiteral("%1=\"%2\" is not a colour").arg(QLatin1String(name), text(name)));
            return c;
        }

        Qt::PenStyle penStyle(const char* name) const
        {
            const QString value = text(name, QStringLiteral("solid")).trimmed();
            if (value == u"solid")
                return Qt::SolidLine;
            if (value == u"dash")
                return Qt::DashLine;
            if (value == u"dot")
                return Qt::DotLine;
            m_parser.fail(QStringLiteral("%1=\"%2\" should be solid, dash or dot").arg(QLatin1String(name), value));
        }

        qreal atMost(const char* name, qreal n, qreal limit, const char* unit) const
        {
            if (n > limit)
                m_parser.fail(QStringLiteral("%1=\"%2\" is too large to print: at most %3 %4")
                                  .arg(QLatin1String(name), text(name).trimmed())
                                  .arg(limit)
                                  .arg(QLatin1String(unit)));
            return n;
        }

        // Complains about the first attribute nobody asked for.
        void finish() const
        {
            for (const QXmlStreamAttribute& attribute : m_attributes) {
                if (!m_known.contains(attribute.qualifiedName().toString()))
                    m_parser.fail(QStringLiteral("unknown attribute %1 on <%2>")
                                      .arg(attribute.qualifiedName(), m_parser.m_reader.name()));
            }
        }

    private:
        Parser& m_parser;
        QXmlStreamAttributes m_attributes;
        QSet<QString> m_known;
    };

    // The reader's position before a token is where that token starts, which
    // is what a message about an element should point at.
    void advance()
    {
        m_tokenLine = m_reader.lineNumber();
        m_tokenColumn = m_reader.columnNumber() + 1;
        m_reader.readNext();
        if (m_reader.isStartElement())
            locateStartTag();
    }

    // The reader skips blanks between a comment and the element after it
    // without a token, so where the last token ended is not where the tag
    // starts: look for its "<" (never inside attribute values) in the text.
    void locateStartTag()
    {
        const qint64 end = qMin(m_reader.characterOffset(), qint64(m_text.size()));
        const qint64 start = m_text.lastIndexOf(u'<', end - 1);
        if (start < m_lineCursor) {
            m_elementLine = int(m_tokenLine);
            m_elementColumn = int(m_tokenColumn);
            return;
        }
        for (; m_lineCursor < start; ++m_lineCursor) {
            if (m_text[m_lineCursor] == u'\n') {
                ++m_line;
                m_lineStart = m_lineCursor + 1;
            }
        }
        m_elementLine = int(m_line);
        m_elementColumn = int(start - m_lineStart + 1);
    }

    void checkXml()
    {
        if (m_reader.hasError()) {
            throw ReportError(QStringLiteral("%1: line %2, column %3: %4")
                                  .arg(m_sourceName)
                                  .arg(m_reader.lineNumber())
                                  .arg(m_reader.columnNumber())
                                  .arg(m_reader.errorString()));
        }
    }

    // Moves to the next start element anywhere; false at the end.
    bool nextElement()
    {
        while (!m_reader.atEnd()) {
            advance();
            if (m_reader.isStartElement())
                return true;
        }
        checkXml();
        return false;
    }

    // Moves to the next child of the current element; false at its end tag.
    // Text between elements is not expected here.
    bool nextChildElement()
    {
        while (!m_reader.atEnd()) {
            advance();
            if (m_reader.isStartElement())
                return true;
            if (m_reader.isEndElement())
                return false;
            if (m_reader.isCharacters() && !m_reader.isWhitespace()) {
                m_elementLine = int(m_tokenLine);
                m_elementColumn = int(m_tokenColumn);
                fail(QStringLiteral("unexpected text \"%1\"").arg(m_reader.text().trimmed()));
            }
        }
        checkXml();
        fail(QStringLiteral("the file ends inside an element"));
    }

    void expectNoChildren()
    {
        if (nextChildElement())
            fail(QStringLiteral("<%1> cannot hold other elements").arg(m_reader.name()));
    }

    PageSetup readPage()
    {
        Attributes a(*this, {"size", "width", "height", "orientation", "left", "top", "right", "bottom"});
        PageSetup page;
        if (a.has("width") || a.has("height")) {
            if (a.has("size"))
                fail(QStringLiteral("give either size or width and height, not both"));
            page.standardSize.reset();
            page.portraitSize = QSizeF(a.positive("width"), a.positive("height"));
        } else {
            const QString size = a.text("size", QStringLiteral("A4")).trimmed();
            QPageSize::PageSizeId id;
            if (size.compare(u"A4", Qt::CaseInsensitive) == 0)
                id = QPageSize::A4;
            else if (size.compare(u"A5", Qt::CaseInsensitive) == 0)
                id = QPageSize::A5;
            else if (size.compare(u"Letter", Qt::CaseInsensitive) == 0)
                id = QPageSize::Letter;
            else
                fail(QStringLiteral("unknown page size \"%1\" (known: A4, A5, Letter; or give width and height)")
                         .arg(size));
            page.standardSize = id;
            page.portraitSize = QPageSize::size(id, QPageSize::Millimeter);
        }
        const QString orientation = a.text("orientation", QStringLiteral("portrait")).trimmed();
        if (orientation == u"landscape")
            page.landscape = true;
        else if (orientation != u"portrait")
            fail(QStringLiteral("orientation=\"%1\" should be portrait or landscape").arg(orientation));
        page.margins = QMarginsF(a.nonNegative("left", 10), a.nonNegative("top", 10),
                                 a.nonNegative("right", 10), a.nonNegative("bottom", 10));
        a.finish();
        const QRectF content = page.contentRect();
        if (content.width() <= 0 || content.height() <= 0)
            fail(QStringLiteral("the margins leave no room on the page"));
        expectNoChildren();
        return page;
    }

    void readBand(Layout& layout)
    {
        Band band;
        band.line = m_elementLine;
        band.column = m_elementColumn;
        {
            Attributes a(*this, {"type", "height", "stretch"});
            const QString type = a.required("type").trimmed();
            bool known = false;
            for (BandType t : kAllBandTypes) {
                if (bandTypeName(t) == type) {
                    band.type = t;
                    known = true;
                }
            }
            if (!known)
                fail(QStringLiteral("unknown band type \"%1\" (known: %2)").arg(type, allBandTypeNames()));
            if (layout.band(band.type))
                fail(QStringLiteral("a second %1 band").arg(type));
            band.height = a.positive("height");
            band.stretch = a.boolean("stretch", false);
            if (band.stretch && band.type != BandType::ReportTitle && band.type != BandType::Data
                && band.type != BandType::Summary)
                fail(QStringLiteral("only reportTitle, data and summary bands can stretch"));
            a.finish();
        }

        while (nextChildElement()) {
            LayoutItem item;
            item.sourceLine = m_elementLine;
            item.sourceColumn = m_elementColumn;
            if (m_reader.name() == u"text")
                readText(layout, band, item);
            else if (m_reader.name() == u"line")
                readLine(item);
            else if (m_reader.name() == u"rect")
                readRect(item);
            else
                fail(QStringLiteral("expected <text>, <line> or <rect> in a band, found <%1>")
                         .arg(m_reader.name()));
            band.items.append(item);
        }
        layout.bands[static_cast<int>(band.type)] = band;
    }

    void readRect(LayoutItem& item)
    {
        Attributes a(*this, {"x", "y", "width", "height", "pen", "style", "color", "fill"});
        item.kind = LayoutItem::Kind::Rect;
        item.rect = QRectF(a.nonNegative("x"), a.nonNegative("y"), a.nonNegative("width"),
                           a.nonNegative("height"));
        readPen(a, item);
        item.fill = a.color("fill", QColor());
        a.finish();
        expectNoChildren();
    }

    void readLine(LayoutItem& item)
    {
        Attributes a(*this, {"x1", "y1", "x2", "y2", "pen", "style", "color"});
        item.kind = LayoutItem::Kind::Line;
        item.line = QLineF(a.nonNegative("x1"), a.nonNegative("y1"), a.nonNegative("x2"),
                           a.nonNegative("y2"));
        readPen(a, item);
        a.finish();
        expectNoChildren();
    }

    void readPen(const Attributes& a, LayoutItem& item)
    {
        item.pen = a.atMost("pen", a.nonNegative("pen", 0.2), kMaxPen, "mm");
        item.penStyle = a.penStyle("style");
        item.color = a.color("color", Qt::black);
    }

    void readText(const Layout& layout, const Band& band, LayoutItem& item)
    {
        Attributes a(*this, {"x", "y", "width", "height", "font", "size", "bold", "italic", "align",
                             "valign", "wrap", "frame", "pen", "style", "color", "fill", "padding"});
        item.kind = LayoutItem::Kind::Text;
        item.rect = QRectF(a.nonNegative("x"), a.nonNegative("y"), a.positive("width"),
                           a.positive("height"));
        item.font = layout.defaultFont;
        item.font.family = a.text("font", item.font.family);
        item.font.pointSize = a.fontSize("size", item.font.pointSize);
        item.font.bold = a.boolean("bold", false);
        item.font.italic = a.boolean("italic", false);
        item.wrap = a.boolean("wrap", false);
        item.padding = a.nonNegative("padding", 1);
        item.fill = a.color("fill", QColor());
        readPen(a, item);

        Qt::Alignment horizontal = Qt::AlignLeft;
        const QString align = a.text("align", QStringLiteral("left")).trimmed();
        if (align == u"center")
            horizontal = Qt::AlignHCenter;
        else if (align == u"right")
            horizontal = Qt::AlignRight;
        else if (align != u"left")
            fail(QStringLiteral("align=\"%1\" should be left, center or right").arg(align));
        Qt::Alignment vertical = Qt::AlignVCenter;
        const QString valign = a.text("valign", QStringLiteral("middle")).trimmed();
        if (valign == u"top")
            vertical = Qt::AlignTop;
        else if (valign == u"bottom")
            vertical = Qt::AlignBottom;
        else if (valign != u"middle")
            fail(QStringLiteral("valign=\"%1\" should be top, middle or bottom").arg(valign));
        item.alignment = horizontal | vertical;

        const QString frame = a.text("frame", QStringLiteral("none")).simplified();
        if (frame == u"all") {
            item.frame = FrameSides{true, true, true, true};
        } else if (frame != u"none") {
            for (const QString& side : frame.split(u' ')) {
                if (side == u"left")
                    item.frame.left = true;
                else if (side == u"top")
                    item.frame.top = true;
                else if (side == u"right")
                    item.frame.right = true;
                else if (side == u"bottom")
                    item.frame.bottom = true;
                else
                    fail(QStringLiteral("frame=\"%1\": \"%2\" is not a side (all, none, left, top, right, bottom)")
                             .arg(frame, side));
            }
        }
        a.finish();

        const int line = m_elementLine;
        const int column = m_elementColumn;
        const QString content = m_reader.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
        checkXml();
        m_elementLine = line;
        m_elementColumn = column;
        if (content.size() > kMaxTextLength)
            fail(QStringLiteral("the text is %1 characters long: at most %2 fit in a layout")
                     .arg(content.size())
                     .arg(kMaxTextLength));

        QStringList lines = content.split(u'\n');
        for (QString& l : lines)
            l = l.trimmed();
        while (!lines.isEmpty() && lines.first().isEmpty())
            lines.removeFirst();
        while (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();

        QString error;
        if (!TextTemplate::parse(lines.join(u'\n'), &item.text, &error))
            fail(error);
        for (const TextTemplate::Part& part : item.text.parts()) {
            if (!part.isPlaceholder || band.type == BandType::Data)
                continue;
            if (part.placeholder.kind == Placeholder::Kind::Field)
                fail(QStringLiteral("[%1]: fields print only in the data band; use [SUM(%1)] or a variable here")
                         .arg(part.placeholder.name));
            if (part.placeholder.kind == Placeholder::Kind::Line)
                fail(QStringLiteral("[LINE] prints only in the data band"));
        }
    }

    // Every page carries the page bands; the first page also the title, and
    // the page with the summary the summary. A row, the title or the summary
    // that cannot fit on an otherwise empty page would never be printed.
    void checkBandsFit(const Layout& layout) const
    {
        const qreal available = layout.page.contentRect().height();
        const qreal pageBands = layout.bandHeight(BandType::PageHeader)
            + layout.bandHeight(BandType::ColumnHeader) + layout.bandHeight(BandType::PageFooter);
        for (BandType type : {BandType::ReportTitle, BandType::Data, BandType::Summary}) {
            const qreal needed = pageBands + layout.bandHeight(type);
            if (needed > available + 1e-6) {
                throw ReportError(QStringLiteral("%1: the %2 band does not fit on a page: it needs %3 mm "
                                                 "with the page header, column header and page footer, "
                                                 "the page has %4 mm between its margins")
                                      .arg(m_sourceName, bandTypeName(type))
                                      .arg(needed)
                                      .arg(available));
            }
        }
    }

    QXmlStreamReader m_reader;
    QString m_text;          // the document as the reader decodes it
    qint64 m_lineCursor = 0; // how far lines have been counted in m_text
    qint64 m_line = 1;
    qint64 m_lineStart = 0;
    QString m_sourceName;
    qint64 m_tokenLine = 1;
    qint64 m_tokenColumn = 1;
    int m_elementLine = 1;
    int m_elementColumn = 1;
};

} // namespace

Layout parseLayout(const QByteArray& xml, const QString& sourceName)
{
    Parser parser(xml, sourceName);
    return parser.run();
}

} // namespace report
