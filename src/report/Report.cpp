#include "report/Report.h"

#include "report/LayoutParser.h"
#include "report/Render.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace report {

namespace {

// A PDF is written beside its target under a name of its own and put in the
// target's place only once it is whole: a print that fails half-way leaves
// the previous file as it was, and a reader never sees half a file.
class PdfReplacement {
public:
    explicit PdfReplacement(const QString& target)
        : m_target(target), m_part(QFileInfo(target).absoluteDir().filePath(QStringLiteral(".%1.XXXXXX.part")
                                                                              .arg(QFileInfo(target).fileName())))
    {
        if (!m_part.open())
            throw ReportError(QStringLiteral("Cannot write the PDF file %1: %2").arg(target, m_part.errorString()));
        // The new file gets the old one's permissions, or a plain file's.
        const QFileInfo old(target);
        m_part.setPermissions(old.exists() ? old.permissions()
                                           : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
        m_part.close();
    }

    QString partFile() const { return m_part.fileName(); }

    // Puts the written file in the target's place, in one step. The PDF
    // writer does not report every failed write (a full disk shows only as
    // a file cut short), so a file without its closing trailer is refused.
    void commit()
    {
        if (!hasTrailer())
            throw ReportError(QStringLiteral("Cannot write the PDF file %1: the file could not be written whole")
                                  .arg(m_target));
        if (std::rename(QFile::encodeName(m_part.fileName()).constData(), QFile::encodeName(m_target).constData()) != 0)
            throw ReportError(QStringLiteral("Cannot write the PDF file %1: %2")
                                  .arg(m_target, QString::fromLocal8Bit(std::strerror(errno))));
        m_part.setAutoRemove(false);
    }

private:
    bool hasTrailer()
    {
        QFile written(m_part.fileName());
        if (!written.open(QIODevice::ReadOnly) || written.size() < 5)
            return false;
        written.seek(qMax<qint64>(0, written.size() - 64));
        return written.readAll().contains("%%EOF");
    }

    QString m_target;
    QTemporaryFile m_part; // removed with this object unless committed
};

} // namespace

void Report::clear()
{
    m_layout.reset();
    m_variables.clear();
    m_pages.clear();
}

void Report::loadFromFile(const QString& path)
{
    m_layout.reset();
    m_pages.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ReportError(QStringLiteral("Cannot open layout file %1: %2").arg(path, file.errorString()));
    const QByteArray xml = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw ReportError(QStringLiteral("Cannot read layout file %1: %2").arg(path, file.errorString()));
    loadFromData(xml, QFileInfo(path).fileName());
}

void Report::loadFromData(const QByteArray& xml, const QString& sourceName)
{
    m_layout.reset();
    m_pages.clear();
    m_layout = parseLayout(xml, sourceName);
}

void Report::setVariable(const QString& name, const QVariant& value)
{
    m_variables.insert(name.toLower(), Variable{name, value});
}

QVariant Report::variable(const QString& name) const
{
    return m_variables.value(name.toLower()).value;
}

bool Report::prepare(const DataSource& data)
{
    m_pages.clear();
    if (!m_layout)
        return false;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw ReportError(QStringLiteral("%1: preparing a report needs a running QApplication for its fonts")
                              .arg(m_layout->sourceName));
    m_pages = buildPages(*m_layout, data, m_variables);
    return !m_pages.isEmpty();
}

void Report::paintPage(QPainter& painter, int index, qreal dotsPerMm) const
{
    if (index < 0 || index >= m_pages.size())
        return;
    paintPreparedPage(painter, m_pages[index], dotsPerMm);
}

void Report::print(const PrintOptions& options) const
{
    if (!m_layout || m_pages.isEmpty())
        throw ReportError(QStringLiteral("Nothing to print: the report has not been prepared"));
    const QList<int> sequence = printSequence(options, pageCount());

    std::unique_ptr<QPrinter> printer;
    std::optional<PdfReplacement> pdf;
    QString target;
    if (!options.pdfFile.isEmpty()) {
        pdf.emplace(options.pdfFile);
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdf->partFile());
        target = options.pdfFile;
    } else {
        // The clerk's error window knows this wording and explains it in
        // Thai, so it stays as the original program said it.
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (info.isNull())
            throw ReportError(QStringLiteral("Printer selected is not valid: no default printer is set up"));
        printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
        if (!printer->isValid())
            throw ReportError(QStringLiteral("Printer selected is not valid: %1").arg(info.printerName()));
        target = info.printerName();
    }

    const PageSetup& setup = m_layout->page;
    const QPageSize pageSize = setup.standardSize
        ? QPageSize(*setup.standardSize)
        : QPageSize(setup.portraitSize, QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
    // Our own margins are part of the prepared pages; the printer's page is
    // the whole sheet so that they land where the layout put them.
    printer->setFullPage(true);
    printer->setPageLayout(QPageLayout(pageSize,
                                       setup.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    printer->setDocName(QFileInfo(m_layout->sourceName).completeBaseName());
    printer->setCreator(QStringLiteral("qel report"));
    printer->setCopyCount(1); // copies are in the page sequence already

    QPainter painter;
    if (!painter.begin(printer.get())) {
        throw ReportError(options.pdfFile.isEmpty()
                              ? QStringLiteral("Printer selected is not valid: cannot print on %1").arg(target)
                              : QStringLiteral("Cannot write the PDF file %1").arg(target));
    }
    const qreal dotsPerMm = printer->resolution() / 25.4;
    for (qsizetype i = 0; i < sequence.size(); ++i) {
        if (i > 0 && !printer->newPage()) {
            painter.end();
            throw ReportError(QStringLiteral("Printing on %1 stopped at page %2").arg(target).arg(sequence[i] + 1));
        }
        paintPreparedPage(painter, m_pages[sequence[i]], dotsPerMm);
    }
    if (!painter.end())
        throw ReportError(QStringLiteral("Printing on %1 did not finish").arg(target));
    if (pdf)
        pdf->commit();
}

} // namespace report
