#include "RenderLayout.h"

#include "CommandOptions.h"

#include "report/DataSource.h"
#include "report/PrintOptions.h"
#include "report/Report.h"

#include <QDate>
#include <QFileInfo>
#include <QIODevice>

#include <iterator>

namespace qeldb {

namespace {

const QString kTo = QStringLiteral("--to");
const QString kLines = QStringLiteral("--lines");
constexpr int kMaxLines = 1000;

QByteArray line(const QString& text)
{
    return text.toUtf8() + '\n';
}

struct SampleProduct {
    const char* code;
    const char* name;  // at most 20 characters, as the window cuts them
    const char* unit;
    double price;
};

const SampleProduct kProducts[] = {
    {"D1001", "น้ำดื่มสยามทิพย์ 600", "แพ็ค", 220.00},
    {"S2001", "มันฝรั่งทอดกรอบ", "ถุง", 18.00},
    {"G3010", "น้ำปลาแท้ตราใบบัว 700", "ขวด", 32.50},
    {"H4002", "น้ำยาล้างจานชนิดเติม", "ถุง", 45.00},
    {"P5003", "แชมพูสมุนไพร 200 มล.", "ขวด", 89.00},
    {"T6001", "ปากกาลูกลื่นสีน้ำเงิน", "ด้าม", 5.00},
    {"W7003", "สกรูเกลียวปล่อย 8x1\"", "กล่อง", 1250.75},
};

} // namespace

bool isRenderOption(const QString& argument)
{
    return isCommandOption(argument, {kTo, kLines});
}

bool parseRenderArguments(const QStringList& arguments, RenderRequest* request, QString* error)
{
    RenderRequest r;
    QList<CommandArgument> split;
    if (!splitCommandArguments(arguments, {kTo, kLines}, &split, error))
        return false;
    for (const CommandArgument& a : std::as_const(split)) {
        if (a.option == kTo) {
            r.pdf = a.value;
        } else if (a.option == kLines) {
            bool ok = false;
            r.lines = a.value.toInt(&ok);
            if (!ok || r.lines < 1 || r.lines > kMaxLines) {
                *error = QStringLiteral("--lines takes a number from 1 to %1").arg(kMaxLines);
                return false;
            }
        } else if (r.layout.isEmpty() && !a.value.isEmpty()) {
            r.layout = a.value;
        } else {
            *error = QStringLiteral("render-layout takes one layout file");
            return false;
        }
    }
    if (r.layout.isEmpty()) {
        *error = QStringLiteral("render-layout needs a layout file");
        return false;
    }
    if (r.pdf.trimmed().isEmpty()) {
        *error = QStringLiteral("render-layout needs --to OUT.pdf");
        return false;
    }
    if (request)
        *request = r;
    return true;
}

report::TableDataSource sampleOfferLines(int lines)
{
    report::TableDataSource data({QStringLiteral("ProductCode"), QStringLiteral("ProductName"),
                                  QStringLiteral("WareHouse"), QStringLiteral("Quantity"), QStringLiteral("Price"),
                                  QStringLiteral("Total"), QStringLiteral("Units")});
    const int products = int(std::size(kProducts));
    for (int i = 0; i < lines; ++i) {
        const SampleProduct& p = kProducts[i % products];
        const double quantity = 1 + (i * 5) % 24;
        const bool priced = i % 7 != 6;
        data.addRow({QString::fromUtf8(p.code), QString::fromUtf8(p.name),
                     i % 3 == 2 ? QStringLiteral("SHOP") : QStringLiteral("MAIN"), quantity,
                     priced ? QVariant(p.price) : QVariant(), priced ? QVariant(p.price * quantity) : QVariant(),
                     QString::fromUtf8(p.unit)});
    }
    return data;
}

void setSampleVariables(report::Report& report)
{
    report.setVariable(QStringLiteral("CompanyName"), QStringLiteral("บริษัท ตัวอย่างการค้า จำกัด"));
    report.setVariable(QStringLiteral("CompanyAddress"),
                       QStringLiteral("99/9 ถนนพหลโยธิน แขวงสามเสนใน เขตพญาไท กรุงเทพมหานคร"));
    report.setVariable(QStringLiteral("CompanyTaxId"), QStringLiteral("10400 เลขประจำตัวผู้เสียภาษี 0105500000000"));
    report.setVariable(QStringLiteral("PrintDate"), QDate::currentDate());
    report.setVariable(QStringLiteral("CustomerCode"), QStringLiteral("C001"));
    report.setVariable(QStringLiteral("CustomerName"), QStringLiteral("ร้านสมใจพาณิชย์"));
    report.setVariable(QStringLiteral("UserName"), QStringLiteral("ผู้ดูแลระบบ"));
}

int renderLayout(const RenderRequest& request, QIODevice& out, QIODevice& err)
{
    try {
        report::Report report;
        report.loadFromFile(request.layout);
        setSampleVariables(report);
        if (!report.prepare(sampleOfferLines(request.lines))) {
            err.write(line(QStringLiteral("qel-db: render-layout: %1 gives no page").arg(request.layout)));
            return 1;
        }
        report::PrintOptions options;
        options.pdfFile = request.pdf;
        report.print(options);
        out.write(line(QStringLiteral("Wrote %1: %2 page(s), %3 sample lines")
                           .arg(QFileInfo(request.pdf).absoluteFilePath())
                           .arg(report.pageCount())
                           .arg(request.lines)));
    } catch (const report::ReportError& e) {
        err.write(line(QStringLiteral("qel-db: render-layout: ") + e.message()));
        return 1;
    }
    return 0;
}

} // namespace qeldb
