#include "OfferPrinter.h"

#include "config/TDMConfig.h"
#include "db/Query.h"
#include "report/DataSource.h"
#include "report/PrintOptions.h"
#include "report/Report.h"
#include "widgets/SettingsFile.h"

#include <QDir>

namespace {

// The in-memory offer list as the report engine reads it.
class OfferListSource : public report::DataSource {
public:
    explicit OfferListSource(const db::Query& list) : list_(list) {}
    QStringList fieldNames() const override { return list_.fieldNames(); }
    int rowCount() const override { return list_.recordCount(); }
    QVariant value(int row, const QString& field) const override
    {
        return list_.valueAt(row, list_.fieldIndex(field));
    }

private:
    const db::Query& list_;
};

} // namespace

QString OfferPrinter::layoutPath(const QString& startFolder)
{
    return QDir(startFolder).filePath(QStringLiteral("Form_ChkPrice.frf"));
}

QString OfferPrinter::pdfTarget(const QString& startFolder)
{
    const auto section = widgets::readSettingsSection(QDir(startFolder).filePath(QStringLiteral("QEL.INI")),
                                                      QStringLiteral("Print"));
    QString file = section.value(QStringLiteral("PDFFILE")).trimmed();
    if (!file.isEmpty() && QDir::isRelativePath(file))
        file = QDir(startFolder).filePath(file);
    return file;
}

void OfferPrinter::print(const db::Query& offerList, const QString& startFolder, const QString& customerCode,
                         const QString& customerName)
{
    report::Report report;
    report.clear();
    report.loadFromFile(layoutPath(startFolder));
    const RunContext& run = DMConfig->Run;
    report.setVariable(QStringLiteral("CompanyName"), run.CompanyName);
    report.setVariable(QStringLiteral("CompanyAddress"), run.CompanyAddressLine);
    report.setVariable(QStringLiteral("CompanyTaxId"), run.CompanyTaxIdLine);
    report.setVariable(QStringLiteral("PrintDate"), run.WorkDate.isValid() ? run.WorkDate : QDate::currentDate());
    report.setVariable(QStringLiteral("CustomerCode"), customerCode);
    report.setVariable(QStringLiteral("CustomerName"), customerName);
    report.setVariable(QStringLiteral("UserName"), run.UserFullName);
    if (!report.prepare(OfferListSource(offerList)))
        return;
    report::PrintOptions options;  // every page, one copy, collated
    options.pdfFile = pdfTarget(startFolder);
    report.print(options);
}
