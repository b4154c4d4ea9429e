#include "report/PrintOptions.h"
#include "report/Render.h"
#include "report/Report.h"
#include "report/TextTemplate.h"

#include "support/QtPrinters.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

using report::PageParity;
using report::PrintOptions;
using report::Report;
using report::ReportError;
using report::TableDataSource;

const QString kFormPath = QStringLiteral(QEL_SOURCE_DIR "/src/report/Form_ChkPrice.frf");

const QStringList kOfferFields{"ProductCode", "ProductName", "WareHouse", "Quantity",
                               "Units",       "Price",       "Total"};

// Names with marks above and below the line, which a PDF loses first.
const QStringList kThaiProducts{"ปูนซีเมนต์ตราเสือ", "เหล็กเส้นกลม", "ท่อพีวีซีสีฟ้า",
                                "สีทาบ้านภายนอก",   "กระเบื้องหลังคา", "ทรายหยาบ",
                                "ตะปูตอกไม้",        "ปั๊มน้ำอัตโนมัติ"};

struct OfferLine {
    QString code;
    QString name;
    int quantity;
    double price;
    double total;
};

QList<OfferLine> offerLines(int count)
{
    QList<OfferLine> lines;
    for (int i = 0; i < count; ++i) {
        OfferLine line;
        line.code = QStringLiteral("P%1").arg(i + 1, 4, 10, QChar(u'0'));
        line.name = QStringLiteral("%1 %2").arg(kThaiProducts[i % kThaiProducts.size()]).arg(i + 1);
        line.quantity = i % 4 + 1;
        line.price = 1250.5 + i * 3.75;
        line.total = line.quantity * line.price;
        lines << line;
    }
    return lines;
}

TableDataSource offerSource(const QList<OfferLine>& lines)
{
    TableDataSource source(kOfferFields);
    for (const OfferLine& l : lines)
        source.addRow({l.code, l.name, QStringLiteral("คลัง1"), l.quantity, QStringLiteral("ถุง"), l.price, l.total});
    return source;
}

// Money as a clerk reads it, written without the engine's own formatting.
QString money(double value)
{
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(value, 'f', 2);
}

void setOfferVariables(Report& report)
{
    report.setVariable("CompanyName", QStringLiteral("บริษัท ทดสอบวัสดุ จำกัด"));
    report.setVariable("PrintDate", QDate(2024, 3, 15));
    report.setVariable("CustomerCode", QStringLiteral("C0012"));
    report.setVariable("CustomerName", QStringLiteral("ร้านสมชายการช่าง"));
    report.setVariable("CompanyAddress", QStringLiteral("99/9 ถนนพระรามสี่ กรุงเทพฯ 10500"));
    report.setVariable("CompanyTaxId", QStringLiteral("เลขประจำตัวผู้เสียภาษี 0105551234567"));
    report.setVariable("UserName", QStringLiteral("สมศรี ใจดี"));
}

QString runTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << " failed: "
                      << process.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Text without any blanks, for phrases whose spacing pdftotext makes up
// from the positions of the words (-layout spreads them over columns).
QString squeezed(const QString& text)
{
    QString result;
    for (QChar c : text) {
        if (!c.isSpace())
            result += c;
    }
    return result;
}

// A PDF's text, page by page, read back twice: as pdftotext lays it out
// (columns in place, for the table) and in reading order.
struct PdfText {
    QStringList layout;
    QStringList reading;

    qsizetype size() const { return layout.size(); }
};

QStringList pdfPages(const QString& pdf, bool layout)
{
    QStringList arguments{"-enc", "UTF-8", pdf, "-"};
    if (layout)
        arguments.prepend("-layout");
    QStringList pages = runTool("pdftotext", arguments).split(u'\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

PdfText readPdf(const QString& pdf)
{
    PdfText text{pdfPages(pdf, true), pdfPages(pdf, false)};
    EXPECT_EQ(text.layout.size(), text.reading.size());
    return text;
}

bool hasThai(const QString& pageText, const QString& phrase)
{
    return squeezed(pageText).contains(squeezed(phrase));
}

// "หน้า 2 / 3" -> 2, 3 however pdftotext spaced it.
std::pair<int, int> footerNumbers(const QString& pageText)
{
    static const QRegularExpression footer(QStringLiteral("หน้า(\\d+)/(\\d+)"));
    const QRegularExpressionMatch m = footer.match(squeezed(pageText));
    if (!m.hasMatch())
        return {-1, -1};
    return {m.captured(1).toInt(), m.captured(2).toInt()};
}

QList<int> footerPageNumbers(const PdfText& pdf)
{
    QList<int> numbers;
    for (const QString& page : pdf.reading)
        numbers << footerNumbers(page).first;
    return numbers;
}

// The offer list's summary line as "รวมNรายการ|amount": the line count on
// the left and the money at the right end of the same line.
QString summaryLine(const QString& layoutPage)
{
    for (const QString& line : layoutPage.split(u'\n')) {
        const QString s = squeezed(line);
        if (s.startsWith(QStringLiteral("รวม")) && s.contains(QStringLiteral("รายการ")))
            return s.left(s.indexOf(QStringLiteral("รายการ")) + 6) + u'|' + line.simplified().section(u' ', -1);
    }
    return {};
}

// Text with its runs of blanks made single, for phrases pdftotext spreads.
QString simplified(const QString& text)
{
    return text.simplified();
}

class ReportTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString path(const QString& name) const { return m_dir.filePath(name); }

    QString writeFile(const QString& name, const QByteArray& content) const
    {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return file.fileName();
    }

    // The offer list for count lines, prepared.
    void prepareOffer(Report& report, int count)
    {
        report.loadFromFile(kFormPath);
        setOfferVariables(report);
        m_lines = offerLines(count);
        const TableDataSource source = offerSource(m_lines);
        ASSERT_TRUE(report.prepare(source));
    }

    PdfText printToPdf(const Report& report, PrintOptions options, const QString& name = "out.pdf")
    {
        options.pdfFile = path(name);
        report.print(options);
        return readPdf(options.pdfFile);
    }

    QTemporaryDir m_dir;
    QList<OfferLine> m_lines;
};

// A plain layout on a small page: 10 mm bands, so that 100 mm between the
// margins hold the page header, column header and footer and 7 rows.
QByteArray gridLayout()
{
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<report font="Loma" fontSize="10">
  <page width="100" height="120" left="10" top="10" right="10" bottom="10"/>
  <band type="pageHeader" height="10">
    <text x="0" y="0" width="80" height="10">Stock list</text>
  </band>
  <band type="columnHeader" height="10">
    <text x="0" y="0" width="40" height="10">Code</text>
    <text x="40" y="0" width="40" height="10">Amount</text>
  </band>
  <band type="data" height="10">
    <text x="0" y="0" width="40" height="10">[Code]</text>
    <text x="40" y="0" width="40" height="10" align="right">[Amount:0.00]</text>
  </band>
  <band type="summary" height="10">
    <text x="0" y="0" width="80" height="10">Total of [COUNT] rows: [SUM(Amount):#,##0.00]</text>
  </band>
  <band type="pageFooter" height="10">
    <text x="0" y="0" width="80" height="10">page [PAGE] of [PAGES], [COUNT] rows here</text>
  </band>
</report>
)";
}
constexpr int kGridRowsPerPage = 7;

TableDataSource gridSource(int rows)
{
    TableDataSource source({"Code", "Amount"});
    for (int i = 0; i < rows; ++i)
        source.addRow({QStringLiteral("R%1").arg(i + 1, 3, 10, QChar(u'0')), (i + 1) * 1.5});
    return source;
}

QString rowCode(int index)
{
    return QStringLiteral("R%1").arg(index + 1, 3, 10, QChar(u'0'));
}

// ---------------------------------------------------------------------------

TEST(NumberPicture, GroupsThousandsAndRoundsLikeAClerk)
{
    using report::formatNumber;
    EXPECT_EQ(formatNumber(1234567.891, "#,##0.00"), "1,234,567.89");
    EXPECT_EQ(formatNumber(999.995, "#,##0.00"), "1,000.00");
    EXPECT_EQ(formatNumber(0.5, "#,##0"), "1");
    EXPECT_EQ(formatNumber(0, "#,##0.00"), "0.00");
    EXPECT_EQ(formatNumber(12, "0"), "12");
    // Halves go away from zero on the decimal spelling, not on the binary
    // value just below it.
    EXPECT_EQ(formatNumber(2.675, "0.00"), "2.68");
    EXPECT_EQ(formatNumber(1.005, "0.00"), "1.01");
    EXPECT_EQ(formatNumber(-2.675, "0.00"), "-2.68");
    EXPECT_EQ(formatNumber(1234, "0"), "1234");
}

TEST(NumberPicture, OptionalDecimalsSignsAndSurroundingText)
{
    using report::formatNumber;
    EXPECT_EQ(formatNumber(2, "#,##0.##"), "2");
    EXPECT_EQ(formatNumber(2.5, "#,##0.##"), "2.5");
    EXPECT_EQ(formatNumber(2.125, "#,##0.##"), "2.13");
    EXPECT_EQ(formatNumber(-1500, "#,##0.00"), "-1,500.00");
    EXPECT_EQ(formatNumber(-0.001, "#,##0.00"), "0.00") << "no minus sign on a value that rounds to zero";
    EXPECT_EQ(formatNumber(1500, "#,##0.00 บาท"), "1,500.00 บาท");
    EXPECT_EQ(formatNumber(7, "฿0.00"), "฿7.00");
    EXPECT_EQ(formatNumber(5, "000"), "005");
    EXPECT_EQ(formatNumber(0.25, "#.##"), ".25");
    EXPECT_EQ(formatNumber(1e15, "#,##0"), "1,000,000,000,000,000");
}

TEST(ValuePicture, NumbersDatesTextAndNull)
{
    using report::formatValue;
    EXPECT_EQ(formatValue(QVariant(1234.5), "#,##0.00"), "1,234.50");
    EXPECT_EQ(formatValue(QVariant(42), "#,##0.00"), "42.00");
    EXPECT_EQ(formatValue(QVariant("1,234.5"), "#,##0.00"), "1,234.50") << "text that reads as a number";
    EXPECT_EQ(formatValue(QVariant("ถุง"), "#,##0.00"), "ถุง") << "text that is no number stays";
    EXPECT_EQ(formatValue(QVariant(), "#,##0.00"), "") << "null prints nothing, not 0.00";
    EXPECT_EQ(formatValue(QVariant(2.5), ""), "2.5");

    const QDate date(2024, 3, 5);
    EXPECT_EQ(formatValue(date, "dd/MM/yyyy"), "05/03/2024");
    EXPECT_EQ(formatValue(QVariant("2024-03-05"), "d/M/yy"), "5/3/24");
    EXPECT_EQ(formatValue(date, "d MMMM yyyy"), "5 " + QLocale(QLocale::Thai).monthName(3) + " 2024");
    EXPECT_EQ(formatValue(QDateTime(date, QTime(14, 30)), "dd/MM/yyyy hh:mm"), "05/03/2024 14:30");
    EXPECT_EQ(formatValue(QVariant("15/03/2567"), "dd/MM/yyyy"), "15/03/2567")
        << "a date the program already wrote as text is printed as it is";
}

TEST(TextTemplate, ReadsPlaceholdersAndRejectsBrokenOnes)
{
    report::TextTemplate t;
    QString error;
    ASSERT_TRUE(report::TextTemplate::parse("[[x] [SUM( Total ):#,##0.00] [Var.Date:hh:mm] [PAGE]/[PAGES]", &t, &error))
        << error.toStdString();
    const QStringList seen = [&] {
        QStringList names;
        for (const auto& part : t.parts()) {
            if (part.isPlaceholder)
                names << QStringLiteral("%1|%2|%3").arg(int(part.placeholder.kind)).arg(part.placeholder.name, part.placeholder.format);
        }
        return names;
    }();
    using K = report::Placeholder::Kind;
    EXPECT_EQ(seen, (QStringList{QStringLiteral("%1|Total|#,##0.00").arg(int(K::Sum)),
                                 QStringLiteral("%1|Date|hh:mm").arg(int(K::Variable)),
                                 QStringLiteral("%1||").arg(int(K::Page)),
                                 QStringLiteral("%1||").arg(int(K::Pages))}));
    EXPECT_EQ(t.render([](const report::Placeholder& p) { return p.name.isEmpty() ? "#" : p.name; }),
              "[x] Total Date #/#");

    for (const char* broken : {"total [SUM(Total)", "[]", "[AVG(Total)]", "[SUM()]", "[Var.]", "[SUM(Total]"}) {
        error.clear();
        EXPECT_FALSE(report::TextTemplate::parse(broken, &t, &error)) << broken;
        EXPECT_FALSE(error.isEmpty()) << broken;
    }
}

TEST(PageSequence, PageListParityAndCopies)
{
    using report::printSequence;
    PrintOptions o;
    EXPECT_EQ(printSequence(o, 3), (QList<int>{0, 1, 2}));
    o.pages = "1,3-5";
    EXPECT_EQ(printSequence(o, 6), (QList<int>{0, 2, 3, 4}));
    EXPECT_EQ(printSequence(o, 4), (QList<int>{0, 2, 3})) << "pages past the end are left out";
    o.pages = " 4-5 , 1 ,2";
    EXPECT_EQ(printSequence(o, 6), (QList<int>{0, 1, 3, 4})) << "printed in page order";

    o.pages = "";
    o.parity = PageParity::Odd;
    EXPECT_EQ(printSequence(o, 5), (QList<int>{0, 2, 4}));
    o.parity = PageParity::Even;
    EXPECT_EQ(printSequence(o, 5), (QList<int>{1, 3}));
    o.pages = "2-5";
    o.parity = PageParity::Odd;
    EXPECT_EQ(printSequence(o, 5), (QList<int>{2, 4})) << "odd page numbers, not odd places in the list";

    o = PrintOptions();
    o.copies = 2;
    EXPECT_EQ(printSequence(o, 3), (QList<int>{0, 1, 2, 0, 1, 2}));
    o.collate = false;
    EXPECT_EQ(printSequence(o, 3), (QList<int>{0, 0, 1, 1, 2, 2}));
}

TEST(PageSequence, RejectsListsThatSelectNothingOrCannotBeRead)
{
    using report::printSequence;
    const auto fails = [](const QString& pages, int count, PageParity parity = PageParity::All) {
        PrintOptions o;
        o.pages = pages;
        o.parity = parity;
        try {
            printSequence(o, count);
        } catch (const ReportError& e) {
            return e.message();
        }
        return QString();
    };
    EXPECT_TRUE(fails("a", 3).contains("\"a\"")) << fails("a", 3).toStdString();
    EXPECT_FALSE(fails("3-1", 3).isEmpty());
    EXPECT_FALSE(fails("0", 3).isEmpty());
    EXPECT_FALSE(fails("1,,2", 3).isEmpty());
    EXPECT_TRUE(fails("7", 3).contains("No page to print"));
    EXPECT_TRUE(fails("", 1, PageParity::Even).contains("No page to print"));
    PrintOptions none;
    none.copies = 0;
    EXPECT_THROW(printSequence(none, 3), ReportError);
}

// ---------------------------------------------------------------------------

TEST(ThaiFonts, TheDefaultFamilyIsInstalled)
{
    // The layouts name Loma; without it Thai would print in whatever the
    // system substitutes.
    EXPECT_TRUE(QFontDatabase::hasFamily("Loma")) << "fonts-thai-tlwg is missing";
    EXPECT_EQ(report::resolveFontFamily("Loma"), "Loma");
    EXPECT_TRUE(QFontDatabase::hasFamily(report::resolveFontFamily("No Such Font Family")))
        << "a missing family falls back to an installed one";
}

TEST_F(ReportTest, OfferListPrintsThaiTextAndTotals)
{
    Report report;
    prepareOffer(report, 5);
    ASSERT_EQ(report.pageCount(), 1);

    const PdfText pdf = printToPdf(report, PrintOptions());
    ASSERT_EQ(pdf.size(), 1);
    const QString& text = pdf.reading[0];
    for (const char* expected : {"ใบเสนอราคา", "บริษัท ทดสอบวัสดุ จำกัด", "รหัสลูกค้า C0012",
                                 "ชื่อลูกค้า ร้านสมชายการช่าง", "วันที่ 15/03/2024",
                                 "99/9 ถนนพระรามสี่ กรุงเทพฯ 10500", "เลขประจำตัวผู้เสียภาษี 0105551234567",
                                 "ผู้พิมพ์ สมศรี ใจดี"})
        EXPECT_TRUE(hasThai(text, QString::fromUtf8(expected))) << expected << "\n" << text.toStdString();

    double sum = 0;
    for (const OfferLine& line : m_lines) {
        EXPECT_TRUE(hasThai(text, line.name)) << line.name.toStdString() << "\n" << text.toStdString();
        // A row of the table reads code, ..., price, amount from left to right.
        QString row;
        for (const QString& l : pdf.layout[0].split(u'\n')) {
            if (l.contains(line.code))
                row = l.simplified();
        }
        EXPECT_TRUE(row.contains(QStringLiteral(" %1 ").arg(line.quantity))) << row.toStdString();
        EXPECT_TRUE(row.endsWith(money(line.price) + " " + money(line.total))) << row.toStdString();
        sum += line.total;
    }
    EXPECT_TRUE(money(sum).contains(u',')) << "the total should need thousands grouping";
    EXPECT_TRUE(hasThai(text, "รวมเงินทั้งสิ้น"));
    EXPECT_EQ(summaryLine(pdf.layout[0]), QStringLiteral("รวม%1รายการ|%2").arg(m_lines.size()).arg(money(sum)));
    EXPECT_EQ(footerNumbers(text), std::make_pair(1, 1));
}

TEST_F(ReportTest, ThaiMarksSurviveInThePdfTextInEveryThaiFamily)
{
    // Words whose marks the shaper sets with variant glyphs: lowered tone
    // marks, marks beside tall letters, sara am, ญ and ฐ without their tails.
    const QStringList words{"น้ำ",   "ทำงาน", "ช้าง",  "ปั๊ม",    "ซีเมนต์", "กตัญญู", "ฐานุ",
                            "ฝั่ง", "ฟ้า",   "กุ้ง", "ที่นั่ง", "ป่าไม้",  "ผู้ใหญ่", "เปิ้ล"};
    for (const char* family : {"Loma", "Garuda", "Norasi", "Kinnari"}) {
        SCOPED_TRACE(family);
        const QByteArray layout = QByteArray(R"(<report font=")") + family + R"(" fontSize="12">
  <band type="data" height="9"><text x="0" y="0" width="150" height="9">[Word] [Word:]</text></band>
</report>)";
        TableDataSource source({"Word"});
        for (const QString& word : words)
            source.addRow({word});
        Report report;
        report.loadFromData(layout, "thai.frf");
        ASSERT_TRUE(report.prepare(source));
        const QString text = printToPdf(report, PrintOptions(), QString::fromLatin1(family) + ".pdf").reading.join(' ');
        // Each word comes out whole: no blank after a tone mark, marks in
        // the order they were typed.
        const QStringList tokens = text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        for (const QString& word : words)
            EXPECT_EQ(tokens.count(word), 2) << word.toStdString() << "\n" << text.toStdString();
    }
}

TEST_F(ReportTest, LongOfferListBreaksAcrossPagesWithHeadersAndPageCount)
{
    Report report;
    prepareOffer(report, 60);
    const PdfText pdf = printToPdf(report, PrintOptions());
    ASSERT_EQ(pdf.size(), report.pageCount());
    ASSERT_GE(pdf.size(), 2);

    for (int p = 0; p < pdf.size(); ++p) {
        const QString& page = pdf.reading[p];
        SCOPED_TRACE("page " + std::to_string(p + 1));
        EXPECT_TRUE(hasThai(page, "บริษัท ทดสอบวัสดุ จำกัด")) << "page header";
        for (const char* column : {"ที่", "รหัสสินค้า", "ชื่อสินค้า", "คลัง", "จำนวน", "หน่วย", "ราคา/หน่วย", "จำนวนเงิน"})
            EXPECT_TRUE(hasThai(page, QString::fromUtf8(column))) << "column header " << column;
        EXPECT_EQ(hasThai(page, "ใบเสนอราคา"), p == 0) << "the title is on the first page only";
        EXPECT_EQ(footerNumbers(page), std::make_pair(p + 1, int(pdf.size())));
    }

    // Every line once, in order, none lost or repeated at a page break.
    const QString all = pdf.layout.join(u'\f');
    qsizetype previous = -1;
    double sum = 0;
    for (const OfferLine& line : m_lines) {
        EXPECT_EQ(all.count(line.code), 1) << line.code.toStdString();
        const qsizetype at = all.indexOf(line.code);
        EXPECT_GT(at, previous) << line.code.toStdString() << " out of order";
        previous = at;
        sum += line.total;
    }
    EXPECT_EQ(summaryLine(pdf.layout.last()), QStringLiteral("รวม%1รายการ|%2").arg(m_lines.size()).arg(money(sum)));
    for (int p = 0; p + 1 < pdf.size(); ++p)
        EXPECT_FALSE(hasThai(pdf.reading[p], "รวมเงินทั้งสิ้น")) << "summary only after the last row";
}

TEST_F(ReportTest, PageListSelectsPagesToPrint)
{
    Report report;
    prepareOffer(report, 60);
    const int count = report.pageCount();
    ASSERT_GE(count, 3) << "the test needs three pages";

    PrintOptions only2;
    only2.pages = "2";
    EXPECT_EQ(footerPageNumbers(printToPdf(report, only2)), (QList<int>{2}));

    PrintOptions some;
    some.pages = QStringLiteral("%1,1").arg(count);
    EXPECT_EQ(footerPageNumbers(printToPdf(report, some)), (QList<int>{1, count}));

    QList<int> odd;
    QList<int> even;
    for (int p = 1; p <= count; ++p)
        (p % 2 ? odd : even) << p;
    PrintOptions oddPages;
    oddPages.parity = PageParity::Odd;
    EXPECT_EQ(footerPageNumbers(printToPdf(report, oddPages)), odd);
    PrintOptions evenPages;
    evenPages.parity = PageParity::Even;
    EXPECT_EQ(footerPageNumbers(printToPdf(report, evenPages)), even);

    // The footer still tells the page's place in the whole report.
    const PdfText second = printToPdf(report, only2);
    ASSERT_EQ(second.size(), 1);
    EXPECT_EQ(footerNumbers(second.reading[0]).second, count);
}

TEST_F(ReportTest, CopiesRepeatPagesCollatedOrNot)
{
    Report report;
    prepareOffer(report, 60);
    const int count = report.pageCount();
    QList<int> once;
    for (int p = 1; p <= count; ++p)
        once << p;

    PrintOptions collated;
    collated.copies = 2;
    EXPECT_EQ(footerPageNumbers(printToPdf(report, collated)), once + once);

    PrintOptions uncollated;
    uncollated.copies = 2;
    uncollated.collate = false;
    QList<int> pairs;
    for (int p : once)
        pairs << p << p;
    EXPECT_EQ(footerPageNumbers(printToPdf(report, uncollated)), pairs);

    PrintOptions lastTwice;
    lastTwice.copies = 2;
    lastTwice.pages = QString::number(count);
    EXPECT_EQ(footerPageNumbers(printToPdf(report, lastTwice)), (QList<int>{count, count}));
}

TEST_F(ReportTest, PdfHasThePaperSizeOfTheLayout)
{
    const auto pageSizePts = [this](const QString& pdf) {
        static const QRegularExpression size(QStringLiteral("Page size:\\s*([\\d.]+) x ([\\d.]+) pts"));
        const QRegularExpressionMatch m = size.match(runTool("pdfinfo", {pdf}));
        return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
    };
    const auto mmToPts = [](qreal mm) { return mm / 25.4 * 72; };

    Report a4;
    prepareOffer(a4, 3);
    printToPdf(a4, PrintOptions(), "a4.pdf");
    const QSizeF a4Size = pageSizePts(path("a4.pdf"));
    EXPECT_NEAR(a4Size.width(), mmToPts(210), 1);
    EXPECT_NEAR(a4Size.height(), mmToPts(297), 1);

    Report landscape;
    landscape.loadFromData(QByteArray(gridLayout()).replace(R"(<page width="100" height="120")",
                                                            R"(<page size="A5" orientation="landscape")"),
                           "landscape.frf");
    ASSERT_TRUE(landscape.prepare(gridSource(3)));
    printToPdf(landscape, PrintOptions(), "a5.pdf");
    const QSizeF a5Size = pageSizePts(path("a5.pdf"));
    EXPECT_NEAR(a5Size.width(), mmToPts(210), 1);
    EXPECT_NEAR(a5Size.height(), mmToPts(148), 1);

    Report custom;
    custom.loadFromData(gridLayout(), "grid.frf");
    ASSERT_TRUE(custom.prepare(gridSource(3)));
    printToPdf(custom, PrintOptions(), "custom.pdf");
    const QSizeF customSize = pageSizePts(path("custom.pdf"));
    EXPECT_NEAR(customSize.width(), mmToPts(100), 1);
    EXPECT_NEAR(customSize.height(), mmToPts(120), 1);
}

// ---------------------------------------------------------------------------

TEST_F(ReportTest, SummaryMovesToANewPageOnlyWhenItDoesNotFit)
{
    // Rows filling the last page exactly leave no room for the summary.
    for (int rows : {kGridRowsPerPage * 2 - 1, kGridRowsPerPage * 2, kGridRowsPerPage * 2 + 1}) {
        SCOPED_TRACE(std::to_string(rows) + " rows");
        Report report;
        report.loadFromData(gridLayout(), "grid.frf");
        ASSERT_TRUE(report.prepare(gridSource(rows)));
        const QStringList pages = printToPdf(report, PrintOptions()).layout;
        const int rowPages = (rows + kGridRowsPerPage - 1) / kGridRowsPerPage;
        const bool lastPageFull = rows % kGridRowsPerPage == 0;
        ASSERT_EQ(pages.size(), rowPages + (lastPageFull ? 1 : 0));

        for (int p = 0; p < pages.size(); ++p) {
            const int first = p * kGridRowsPerPage;
            const int end = std::min(rows, first + kGridRowsPerPage);
            const int onPage = std::max(0, end - first);
            const QString text = simplified(pages[p]);
            EXPECT_TRUE(text.contains("Stock list")) << p;
            EXPECT_TRUE(text.contains("Code Amount")) << "column header on page " << p + 1;
            EXPECT_TRUE(text.contains(QStringLiteral("page %1 of %2, %3 rows here")
                                          .arg(p + 1).arg(pages.size()).arg(onPage)))
                << text.toStdString();
            for (int r = first; r < end; ++r)
                EXPECT_TRUE(text.contains(rowCode(r))) << rowCode(r).toStdString() << " on page " << p + 1;
            EXPECT_EQ(text.contains("Total of"), p == pages.size() - 1);
        }
        double sum = 0;
        for (int r = 0; r < rows; ++r)
            sum += (r + 1) * 1.5;
        EXPECT_TRUE(simplified(pages.last()).contains(QStringLiteral("Total of %1 rows: %2").arg(rows).arg(money(sum))));
    }
}

TEST_F(ReportTest, AnEmptyDataSourceStillPrintsHeadersAndSummary)
{
    Report report;
    report.loadFromData(gridLayout(), "grid.frf");
    ASSERT_TRUE(report.prepare(gridSource(0)));
    ASSERT_EQ(report.pageCount(), 1);
    const QString text = simplified(printToPdf(report, PrintOptions()).layout[0]);
    EXPECT_TRUE(text.contains("Code Amount"));
    EXPECT_TRUE(text.contains("Total of 0 rows: 0.00")) << text.toStdString();
}

TEST_F(ReportTest, StretchingRowGrowsWithWrappedTextAndPushesTheNextRowDown)
{
    const QByteArray layout = R"(<report>
  <page width="120" height="200" left="10" top="10" right="10" bottom="10"/>
  <band type="data" height="8" stretch="true">
    <text x="0" y="0" width="20" height="8" frame="all">[Code]</text>
    <text x="20" y="0" width="40" height="8" frame="all" wrap="true">[Name]</text>
    <line x1="60" y1="0" x2="60" y2="8"/>
  </band>
</report>)";
    const QString longName = QStringLiteral("ปูนซีเมนต์ปอร์ตแลนด์ ชนิดที่หนึ่ง สำหรับงานโครงสร้าง ถุงละห้าสิบกิโลกรัม ตราช้าง");
    TableDataSource source({"Code", "Name"});
    source.addRow({"A1", "ทรายหยาบ"});
    source.addRow({"A2", longName});
    source.addRow({"A3", "หินคลุก"});

    Report report;
    report.loadFromData(layout, "stretch.frf");
    ASSERT_TRUE(report.prepare(source));
    ASSERT_EQ(report.pageCount(), 1);
    const auto& items = report.pages()[0].items;
    ASSERT_EQ(items.size(), 9);
    // Items of a row: code, name, line.
    const qreal tops[3] = {items[0].rect.top(), items[3].rect.top(), items[6].rect.top()};
    EXPECT_DOUBLE_EQ(tops[1] - tops[0], 8) << "a short name keeps the band's height";
    const qreal grown = tops[2] - tops[1];
    EXPECT_GT(grown, 8 * 2) << "the long name needs several lines";
    // Every cell of the grown row, and the line reaching its bottom edge,
    // grows with it so that the table stays closed.
    EXPECT_DOUBLE_EQ(items[3].rect.height(), grown);
    EXPECT_DOUBLE_EQ(items[4].rect.height(), grown);
    EXPECT_DOUBLE_EQ(items[5].line.length(), grown);

    const QString text = printToPdf(report, PrintOptions()).reading[0];
    for (const QString& word : longName.split(u' '))
        EXPECT_TRUE(hasThai(text, word)) << word.toStdString() << "\n" << text.toStdString();
}

TEST_F(ReportTest, AGrownRowThatDoesNotFitMovesWholeToTheNextPage)
{
    const auto layout = [](qreal pageHeight) {
        return QStringLiteral(R"(<report>
  <page width="120" height="%1" left="10" top="10" right="10" bottom="10"/>
  <band type="data" height="8" stretch="true">
    <text x="0" y="0" width="20" height="8" frame="all">[Code]</text>
    <text x="20" y="0" width="40" height="8" frame="all" wrap="true">[Name]</text>
  </band>
</report>)").arg(pageHeight).toUtf8();
    };
    TableDataSource source({"Code", "Name"});
    for (const char* code : {"A1", "A2", "A3"})
        source.addRow({code, "หินคลุก"});
    source.addRow({"A4", "ท่อพีวีซีสีฟ้า ชั้นแปดจุดห้า ขนาดสี่หุน ยาวสี่เมตร แพ็คละสิบเส้น"});

    Report report;
    report.loadFromData(layout(297), "grow.frf");
    ASSERT_TRUE(report.prepare(source));
    ASSERT_EQ(report.pageCount(), 1);
    const qreal grown = report.pages()[0].items[6].rect.height();
    ASSERT_GT(grown, 8);

    // Room for the three short rows and all but a millimetre of the long one.
    report.loadFromData(layout(20 + 3 * 8 + grown - 1), "grow.frf");
    ASSERT_TRUE(report.prepare(source));
    ASSERT_EQ(report.pageCount(), 2);
    EXPECT_EQ(report.pages()[0].items.size(), 6);
    const auto& moved = report.pages()[1].items;
    ASSERT_EQ(moved.size(), 2);
    EXPECT_EQ(moved[0].text, "A4");
    EXPECT_DOUBLE_EQ(moved[1].rect.top(), 10) << "at the top margin";
    EXPECT_DOUBLE_EQ(moved[1].rect.height(), grown) << "not cut at the page end";
}

TEST_F(ReportTest, AggregatesCoverTheRowsOfTheirBand)
{
    // Running total in the data band, page total in the footer, the grand
    // total in the title before any row is printed.
    const QByteArray layout = R"(<report>
  <page width="100" height="80" left="10" top="10" right="10" bottom="10"/>
  <band type="reportTitle" height="10"><text x="0" y="0" width="80" height="10">grand [SUM(N)] in [COUNT]</text></band>
  <band type="data" height="10"><text x="0" y="0" width="80" height="10">row [LINE] n [N] running [SUM(N)] of [COUNT]</text></band>
  <band type="pageFooter" height="10"><text x="0" y="0" width="80" height="10">page [PAGE] sum [SUM(N):0.0] count [COUNT]</text></band>
</report>)";
    TableDataSource source({"N"});
    const QList<int> values{5, 7, 11, 13, 17, 19, 23};
    for (int v : values)
        source.addRow({v});
    Report report;
    report.loadFromData(layout, "sums.frf");
    ASSERT_TRUE(report.prepare(source));

    int total = 0;
    for (int v : values)
        total += v;
    const QStringList pages = printToPdf(report, PrintOptions()).layout;
    ASSERT_EQ(pages.size(), report.pageCount());
    ASSERT_GT(pages.size(), 1);
    const QString all = simplified(pages.join(' '));
    EXPECT_TRUE(all.contains(QStringLiteral("grand %1 in %2").arg(total).arg(values.size()))) << all.toStdString();
    int running = 0;
    for (int i = 0; i < values.size(); ++i) {
        running += values[i];
        EXPECT_TRUE(all.contains(QStringLiteral("row %1 n %2 running %3 of %4").arg(i + 1).arg(values[i]).arg(running).arg(i + 1)))
            << i;
    }
    // Page totals, read back from the rows each page shows.
    int covered = 0;
    for (int p = 0; p < pages.size(); ++p) {
        const QString page = simplified(pages[p]);
        int pageSum = 0;
        int pageCount = 0;
        static const QRegularExpression row(QStringLiteral("row (\\d+) n (\\d+)"));
        for (auto it = row.globalMatch(page); it.hasNext();) {
            pageSum += it.next().captured(2).toInt();
            ++pageCount;
        }
        covered += pageCount;
        EXPECT_TRUE(page.contains(QStringLiteral("page %1 sum %2.0 count %3").arg(p + 1).arg(pageSum).arg(pageCount)))
            << page.toStdString();
    }
    EXPECT_EQ(covered, values.size());
}

TEST_F(ReportTest, FieldAndVariableNamesIgnoreLetterCase)
{
    const QByteArray layout = R"(<report>
  <band type="pageHeader" height="10"><text x="0" y="0" width="100" height="10">[Var.customername]</text></band>
  <band type="data" height="10"><text x="0" y="0" width="100" height="10">[productcode] [SUM(TOTAL)]</text></band>
</report>)";
    Report report;
    report.loadFromData(layout, "case.frf");
    report.setVariable("CustomerName", "ร้านค้า");
    TableDataSource source({"ProductCode", "Total"}, {{"X-1", 2.5}});
    ASSERT_TRUE(report.prepare(source));
    EXPECT_EQ(report.pages()[0].texts(), (QStringList{"ร้านค้า", "X-1 2.5"}));
}

TEST_F(ReportTest, PaintsOntoAnyPaintDevice)
{
    // What a preview window does: a prepared page drawn on an image, where
    // millimetres become pixels at the scale asked for.
    const QByteArray layout = R"(<report>
  <page width="100" height="50" left="10" top="5" right="10" bottom="5"/>
  <band type="pageHeader" height="10"/>
  <band type="data" height="20">
    <rect x="20" y="4" width="30" height="12" pen="0" fill="#808080"/>
    <text x="55" y="0" width="25" height="20" size="20" bold="true">[N]</text>
  </band>
</report>)";
    Report report;
    report.loadFromData(layout, "paint.frf");
    ASSERT_TRUE(report.prepare(TableDataSource({"N"}, {{"ก"}})));
    for (const qreal dotsPerMm : {2.0, 5.0}) {
        QImage image(qRound(100 * dotsPerMm), qRound(50 * dotsPerMm), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        report.paintPage(painter, 0, dotsPerMm);
        painter.end();
        const auto grey = [&](qreal xMm, qreal yMm) {
            return qGray(image.pixel(qRound(xMm * dotsPerMm), qRound(yMm * dotsPerMm)));
        };
        // The rect spans 30..60 mm across and 19..31 mm down on the page.
        EXPECT_EQ(grey(45, 25), 128) << dotsPerMm;
        EXPECT_EQ(grey(31, 20), 128) << dotsPerMm;
        EXPECT_EQ(grey(29, 25), 255) << dotsPerMm;
        EXPECT_EQ(grey(45, 32), 255) << dotsPerMm;
        EXPECT_EQ(grey(61, 25), 255) << dotsPerMm;
        int dark = 0;
        for (int y = qRound(15 * dotsPerMm); y < qRound(35 * dotsPerMm); ++y) {
            for (int x = qRound(65 * dotsPerMm); x < qRound(90 * dotsPerMm); ++x)
                dark += qGray(image.pixel(x, y)) < 100;
        }
        EXPECT_GT(dark, 10) << "the letter is drawn in its box";
    }
}

// ---------------------------------------------------------------------------

class LayoutErrors : public ReportTest {
protected:
    // The ReportError message of loading, then preparing, the layout.
    QString errorOf(const QByteArray& layout, const QString& name = "Broken.frf")
    {
        const QString file = writeFile(name, layout);
        Report report;
        report.setVariable("CompanyName", "x");
        try {
            report.loadFromFile(file);
            report.prepare(TableDataSource(kOfferFields));
        } catch (const ReportError& e) {
            EXPECT_FALSE(report.hasLayout() && report.pageCount() > 0);
            return e.message();
        }
        ADD_FAILURE() << "no ReportError for\n" << layout.toStdString();
        return {};
    }

    // "Broken.frf: line N" for the line of the layout holding marker.
    static QString at(const QByteArray& layout, const QByteArray& marker)
    {
        const qsizetype offset = layout.indexOf(marker);
        EXPECT_GE(offset, 0);
        return QStringLiteral("Broken.frf: line %1,").arg(layout.left(offset).count('\n') + 1);
    }
};

const QByteArray kGoodStart = R"(<?xml version="1.0" encoding="UTF-8"?>
<report>
  <page size="A4"/>
  <band type="pageHeader" height="10">
    <text x="0" y="0" width="100" height="10">[Var.CompanyName]</text>
  </band>
)";

TEST_F(LayoutErrors, MissingFileIsNamed)
{
    Report report;
    const QString missing = path("nowhere/Form_ChkPrice.frf");
    try {
        report.loadFromFile(missing);
        FAIL() << "no error";
    } catch (const ReportError& e) {
        EXPECT_TRUE(e.message().contains(missing)) << e.what();
        EXPECT_TRUE(e.message().contains("No such file or directory")) << e.what();
    }
    EXPECT_FALSE(report.hasLayout());
    EXPECT_FALSE(report.prepare(gridSource(2))) << "nothing to prepare without a layout";
    EXPECT_EQ(report.pageCount(), 0);
    EXPECT_THROW(report.print(PrintOptions()), ReportError);
}

TEST_F(LayoutErrors, BadXmlNamesFileAndLine)
{
    const QByteArray layout = kGoodStart + "  <band type=\"data\" height=\"10\">\n    <text x=\"0\" y=\"0\" width=\"9\" height=\"9\">a</txet>\n  </band>\n</report>\n";
    const QString error = errorOf(layout);
    EXPECT_TRUE(error.startsWith(at(layout, "</txet>"))) << error.toStdString();

    const QString empty = errorOf("");
    EXPECT_TRUE(empty.startsWith("Broken.frf:")) << empty.toStdString();
    const QString unclosed = errorOf(kGoodStart);
    EXPECT_TRUE(unclosed.startsWith("Broken.frf:")) << unclosed.toStdString();
}

TEST_F(LayoutErrors, UnknownElementsBandsAndAttributes)
{
    struct Case {
        QByteArray tail;
        QByteArray marker;
        const char* says;
    };
    const QList<Case> cases{
        {"  <banner height=\"5\"/>\n</report>", "<banner", "expected a <band>"},
        {"  <band type=\"groupHeader\" height=\"5\"/>\n</report>", "<band type=\"groupHeader\"", "unknown band type \"groupHeader\""},
        {"  <band type=\"pageHeader\" height=\"5\"/>\n</report>", "<band type=\"pageHeader\" height=\"5\"", "a second pageHeader band"},
        {"  <band type=\"data\" heigth=\"5\"/>\n</report>", "heigth", "needs the attribute height"},
        {"  <band type=\"data\" height=\"5\">\n    <text x=\"0\" y=\"0\" width=\"5\" height=\"5\" colour=\"red\">a</text>\n  </band>\n</report>", "colour", "unknown attribute colour"},
        {"  <band type=\"data\" height=\"5\">\n    <image x=\"0\"/>\n  </band>\n</report>", "<image", "expected <text>, <line> or <rect>"},
        {"  <band type=\"data\" height=\"5\">\n    <text x=\"0\" y=\"0\" width=\"5\" height=\"five\">a</text>\n  </band>\n</report>", "five", "height=\"five\" is not a number"},
        {"  <band type=\"data\" height=\"5\">\n    <text x=\"0\" y=\"0\" width=\"5\" height=\"5\" align=\"middle\">a</text>\n  </band>\n</report>", "middle", "align=\"middle\""},
        {"  <band type=\"summary\" height=\"5\">\n    <text x=\"0\" y=\"0\" width=\"5\" height=\"5\">[ProductCode]</text>\n  </band>\n</report>", "[ProductCode]", "only in the data band"},
        {"  <band type=\"data\" height=\"5\">\n    <text x=\"0\" y=\"0\" width=\"5\" height=\"5\">[AVG(Total)]</text>\n  </band>\n</report>", "[AVG", "unknown function AVG"},
        {"  <band type=\"pageFooter\" height=\"5\" stretch=\"true\"/>\n</report>", "stretch", "can stretch"},
    };
    for (const Case& c : cases) {
        const QByteArray layout = kGoodStart + c.tail;
        const QString error = errorOf(layout);
        EXPECT_TRUE(error.startsWith(at(layout, c.marker))) << error.toStdString();
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.says))) << error.toStdString();
    }
}

TEST_F(LayoutErrors, UnknownFieldOrVariableFailsPreparing)
{
    const QByteArray misspelt = kGoodStart
        + "  <band type=\"data\" height=\"5\">\n    <text x=\"0\" y=\"0\" width=\"5\" height=\"5\">[ProductCode] [Prodcut]</text>\n  </band>\n</report>";
    QString error = errorOf(misspelt);
    EXPECT_TRUE(error.startsWith(at(misspelt, "[Prodcut]"))) << error.toStdString();
    EXPECT_TRUE(error.contains("unknown field [Prodcut]")) << error.toStdString();
    EXPECT_TRUE(error.contains("ProductCode, ProductName")) << "lists what the data has";

    const QByteArray sum = kGoodStart
        + "  <band type=\"summary\" height=\"5\">\n    <text x=\"0\" y=\"0\" width=\"5\" height=\"5\">[SUM(Totl)]</text>\n  </band>\n</report>";
    error = errorOf(sum);
    EXPECT_TRUE(error.startsWith(at(sum, "[SUM(Totl)]"))) << error.toStdString();
    EXPECT_TRUE(error.contains("SUM(Totl)")) << error.toStdString();

    const QByteArray variable = kGoodStart
        + "  <band type=\"summary\" height=\"5\">\n    <text x=\"0\" y=\"0\" width=\"5\" height=\"5\">[Var.Customer]</text>\n  </band>\n</report>";
    error = errorOf(variable);
    EXPECT_TRUE(error.startsWith(at(variable, "[Var.Customer]"))) << error.toStdString();
    EXPECT_TRUE(error.contains("CompanyName")) << "names the variables that are set";
}

TEST_F(LayoutErrors, SumOfTextThatIsNoNumber)
{
    const QByteArray layout = R"(<report>
  <band type="summary" height="10"><text x="0" y="0" width="50" height="10">[SUM(Units)]</text></band>
</report>)";
    Report report;
    report.loadFromData(layout, "Units.frf");
    const TableDataSource source = offerSource(offerLines(2));
    try {
        report.prepare(source);
        FAIL() << "no error";
    } catch (const ReportError& e) {
        EXPECT_TRUE(e.message().startsWith("Units.frf: line 2,")) << e.what();
        EXPECT_TRUE(e.message().contains("row 1")) << e.what();
    }
    EXPECT_EQ(report.pageCount(), 0);
}

TEST_F(LayoutErrors, BandsTallerThanThePage)
{
    const QByteArray layout = R"(<report>
  <page width="100" height="60" left="10" top="10" right="10" bottom="10"/>
  <band type="pageHeader" height="15"/>
  <band type="data" height="15"/>
  <band type="pageFooter" height="15"/>
</report>)";
    const QString error = errorOf(layout);
    EXPECT_TRUE(error.startsWith("Broken.frf:")) << error.toStdString();
    EXPECT_TRUE(error.contains("data band does not fit")) << error.toStdString();
}

TEST_F(LayoutErrors, ThePdfFileCannotBeWritten)
{
    Report report;
    prepareOffer(report, 1);
    PrintOptions options;
    options.pdfFile = path("no/such/folder/out.pdf");
    try {
        report.print(options);
        FAIL() << "no error";
    } catch (const ReportError& e) {
        EXPECT_TRUE(e.message().contains(options.pdfFile)) << e.what();
    }
}

// The offer layout with every size="..." and fontSize="..." set to `points`.
QByteArray offerLayoutWithFontSize(const QByteArray& points)
{
    QFile file(kFormPath);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray layout = file.readAll();
    layout.replace("fontSize=\"10\"", "fontSize=\"" + points + "\"");
    static const QRegularExpression size(QStringLiteral(" size=\"\\d+\""));
    return QString::fromUtf8(layout).replace(size, QStringLiteral(" size=\"%1\"").arg(points)).toUtf8();
}

TEST_F(LayoutErrors, ValuesBeyondWhatAPageHoldsAreRefusedWithFileLineAndValue)
{
    // A font of 2000 points once reached the painter and crashed printing.
    const QByteArray huge = offerLayoutWithFontSize("2000");
    QString error = errorOf(huge, "Form_ChkPrice.frf");
    EXPECT_TRUE(error.startsWith("Form_ChkPrice.frf: line 11,")) << "the report's own fontSize: " << error.toStdString();
    EXPECT_TRUE(error.contains("fontSize=\"2000\"")) << error.toStdString();

    struct Case {
        QByteArray item;
        QByteArray value;
    };
    const QList<Case> cases{
        {"<text x=\"0\" y=\"0\" width=\"5\" height=\"5\" size=\"2000\">a</text>", "size=\"2000\""},
        {"<text x=\"0\" y=\"0\" width=\"5\" height=\"5\" size=\"1e300\">a</text>", "size=\"1e300\""},
        {"<text x=\"1e300\" y=\"0\" width=\"5\" height=\"5\">a</text>", "x=\"1e300\""},
        {"<text x=\"0\" y=\"0\" width=\"99999999\" height=\"5\">a</text>", "width=\"99999999\""},
        {"<text x=\"0\" y=\"0\" width=\"5\" height=\"5\" padding=\"123456\">a</text>", "padding=\"123456\""},
        {"<line x1=\"0\" y1=\"0\" x2=\"5\" y2=\"0\" pen=\"1e9\"/>", "pen=\"1e9\""},
        {"<rect x=\"0\" y=\"0\" width=\"5\" height=\"5\" pen=\"101\"/>", "pen=\"101\""},
        {"<rect x=\"0\" y=\"0\" width=\"5\" height=\"5000.5\"/>", "height=\"5000.5\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item.toStdString());
        const QByteArray layout = kGoodStart + "  <band type=\"data\" height=\"5\">\n    " + c.item
            + "\n  </band>\n</report>\n";
        error = errorOf(layout);
        EXPECT_TRUE(error.startsWith(at(layout, c.item))) << error.toStdString();
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.value))) << error.toStdString();
    }
    const QByteArray text = kGoodStart + "  <band type=\"data\" height=\"5\">\n    <text x=\"0\" y=\"0\" width=\"50\" "
        "height=\"5\" wrap=\"true\">" + QByteArray(10001, 'x') + "</text>\n  </band>\n</report>\n";
    error = errorOf(text);
    EXPECT_TRUE(error.startsWith(at(text, "wrap=")) && error.contains("10001 characters")) << error.toStdString();
    const QByteArray page = "<report><page width=\"100\" height=\"1e12\"/></report>";
    error = errorOf(page);
    EXPECT_TRUE(error.startsWith("Broken.frf: line 1,") && error.contains("height=\"1e12\"")) << error.toStdString();
}

TEST_F(ReportTest, TheLargestValuesALayoutMayHoldStillPrint)
{
    Report report;
    report.loadFromData(offerLayoutWithFontSize("720"), "Form_ChkPrice.frf");
    setOfferVariables(report);
    ASSERT_TRUE(report.prepare(offerSource(offerLines(2))));
    PrintOptions options;
    options.pdfFile = path("large.pdf");
    EXPECT_NO_THROW(report.print(options));
    EXPECT_GT(QFileInfo(path("large.pdf")).size(), 0);

    Report wide;
    wide.loadFromData(R"(<report fontSize="720">
  <page width="5000" height="5000" left="0" top="0" right="0" bottom="0"/>
  <band type="data" height="5000">
    <text x="0" y="0" width="5000" height="5000" padding="5000" pen="100" frame="all" wrap="true">[Code]</text>
    <line x1="5000" y1="5000" x2="0" y2="0" pen="100"/>
  </band>
</report>)", "wide.frf");
    ASSERT_TRUE(wide.prepare(gridSource(1)));
    options.pdfFile = path("wide.pdf");
    EXPECT_NO_THROW(wide.print(options));
}

TEST_F(ReportTest, APrintThatFailsLeavesThePreviousPdfAsItWas)
{
    Report small;
    prepareOffer(small, 1);
    PrintOptions options;
    options.pdfFile = path("offer.pdf");
    const QString target = options.pdfFile;
    small.print(options);
    QFile before(target);
    ASSERT_TRUE(before.open(QIODevice::ReadOnly));
    const QByteArray previous = before.readAll();
    before.close();

    // The next print cannot be written whole: files may not grow past the
    // previous one's size (as on a full disk), so the writing fails half-way.
    Report big;
    prepareOffer(big, 300);
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit tight = saved;
    tight.rlim_cur = rlim_t(previous.size());
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
    QString error;
    try {
        big.print(options);
    } catch (const ReportError& e) {
        error = e.message();
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldSignal);

    EXPECT_TRUE(error.contains(target)) << "the failure names the file: " << error.toStdString();
    QFile after(target);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), previous) << "the previous PDF is untouched";
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"offer.pdf"})
        << "nothing half-written is left beside it";

    // And a print that succeeds replaces it.
    big.print(options);
    EXPECT_EQ(readPdf(target).size(), big.pageCount());
}

TEST_F(ReportTest, NoPrinterMeansPrinterSelectedIsNotValid)
{
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    if (!printer.isNull())
        GTEST_SKIP() << "this machine has a default printer (" << printer.printerName().toStdString()
                     << "); not printing a test page on it";
    Report report;
    prepareOffer(report, 2);
    try {
        report.print(PrintOptions());
        FAIL() << "printed without a printer";
    } catch (const ReportError& e) {
        EXPECT_TRUE(e.message().contains("Printer selected is not valid")) << e.what();
    }
}

TEST_F(ReportTest, ClearForgetsLayoutVariablesAndPages)
{
    Report report;
    prepareOffer(report, 2);
    ASSERT_GT(report.pageCount(), 0);
    report.clear();
    EXPECT_FALSE(report.hasLayout());
    EXPECT_EQ(report.pageCount(), 0);
    EXPECT_FALSE(report.variable("CompanyName").isValid());
    EXPECT_FALSE(report.prepare(gridSource(1)));
}

} // namespace
