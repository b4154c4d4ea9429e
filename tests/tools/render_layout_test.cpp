// qel-db render-layout: a layout printed with sample offer lines to a PDF,
// read back with pdftotext as an administrator would look at it; a broken
// layout names its file and line. The example in the layout reference must
// print too, so the page cannot drift from the format.

#include "RenderLayout.h"

#include "report/DataSource.h"

#include "support/ToolRun.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString sourcePath(const QString& relative)
{
    return QDir(QStringLiteral(QEL_SOURCE_DIR)).filePath(relative);
}

class RenderLayout : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            GTEST_SKIP() << "skipped: pdftotext (poppler-utils) is not installed";
    }

    QString pdfText(const QString& pdf)
    {
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        EXPECT_TRUE(p.waitForFinished(30000));
        return QString::fromUtf8(p.readAllStandardOutput());
    }

    ToolOutcome render(const QString& layout, const QStringList& more = {})
    {
        return runTool(QStringList{QStringLiteral("render-layout"), layout, QStringLiteral("--to"), pdf()} + more);
    }
    QString pdf() const { return dir_.filePath(QStringLiteral("out.pdf")); }

    QTemporaryDir dir_;
};

TEST_F(RenderLayout, TheShippedLayoutPrintsTheSampleLinesAndTheirTotal)
{
    const ToolOutcome o = render(sourcePath(QStringLiteral("src/report/Form_ChkPrice.frf")));
    ASSERT_EQ(o.status, 0) << o.err.toStdString();
    EXPECT_TRUE(o.out.contains(QStringLiteral("1 page(s), 12 sample lines"))) << o.out.toStdString();
    const QString text = pdfText(pdf());

    // The total the layout's summary computes, against one summed here from
    // the sample itself.
    const report::TableDataSource sample = qeldb::sampleOfferLines(12);
    double total = 0;
    int unpriced = 0;
    for (int r = 0; r < sample.rowCount(); ++r) {
        const QVariant t = sample.value(r, QStringLiteral("Total"));
        total += t.toDouble();
        unpriced += t.isNull() ? 1 : 0;
        EXPECT_TRUE(text.contains(sample.value(r, QStringLiteral("ProductCode")).toString())) << r;
    }
    EXPECT_GT(unpriced, 0) << "the sample shows a line without a price";
    const QString sum = QLocale(QLocale::English).toString(total, 'f', 2);
    EXPECT_TRUE(text.contains(sum)) << "expected the total " << sum.toStdString() << " in:\n" << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("C001")));
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("\\b1 / 1\\b")))) << text.toStdString();
}

TEST_F(RenderLayout, ManyLinesRunOntoMorePagesWithTheirNumbers)
{
    const ToolOutcome o = render(sourcePath(QStringLiteral("src/report/Form_ChkPrice.frf")), {QStringLiteral("--lines"),
                                                                                             QStringLiteral("60")});
    ASSERT_EQ(o.status, 0) << o.err.toStdString();
    const QRegularExpression pages(QStringLiteral("(\\d+) page\\(s\\)"));
    const int count = pages.match(o.out).captured(1).toInt();
    EXPECT_GE(count, 2) << o.out.toStdString();
    const QString text = pdfText(pdf());
    EXPECT_EQ(text.count(QLatin1Char('\f')), count) << "one form feed per page";
    EXPECT_TRUE(text.contains(QStringLiteral("%1 / %1").arg(count))) << "the last page says so";
}

TEST_F(RenderLayout, ABrokenLayoutNamesItsFileAndLineAndWritesNothing)
{
    QFile shipped(sourcePath(QStringLiteral("src/report/Form_ChkPrice.frf")));
    ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
    QStringList lines = QString::fromUtf8(shipped.readAll()).split(QLatin1Char('\n'));
    // A misspelt attribute on the first line that holds [Price...].
    const qsizetype at = lines.indexOf(QRegularExpression(QStringLiteral(".*\\[Price:.*")));
    ASSERT_GE(at, 0);
    lines[at].replace(QStringLiteral("align=\"right\""), QStringLiteral("allign=\"right\""));
    const QString broken = dir_.filePath(QStringLiteral("Broken.frf"));
    QFile out(broken);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(lines.join(QLatin1Char('\n')).toUtf8());
    out.close();

    const ToolOutcome o = render(broken);
    EXPECT_EQ(o.status, 1);
    EXPECT_TRUE(o.err.contains(QStringLiteral("Broken.frf: line %1, column").arg(at + 1))) << o.err.toStdString();
    EXPECT_TRUE(o.err.contains(QStringLiteral("unknown attribute allign on <text>"))) << o.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(pdf()));

    const ToolOutcome missing = render(dir_.filePath(QStringLiteral("none.frf")));
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("none.frf"))) << missing.err.toStdString();
}

TEST_F(RenderLayout, TheExampleInTheLayoutReferencePrints)
{
    QFile page(sourcePath(QStringLiteral("docs/layout.md")));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString markdown = QString::fromUtf8(page.readAll());
    // The last complete XML example of the page.
    const QRegularExpression block(QStringLiteral("```xml\\n(<\\?xml.*?</report>)\\n```"),
                                   QRegularExpression::DotMatchesEverythingOption);
    QString example;
    for (auto it = block.globalMatch(markdown); it.hasNext();)
        example = it.next().captured(1);
    ASSERT_FALSE(example.isEmpty());
    const QString file = dir_.filePath(QStringLiteral("Example.frf"));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(example.toUtf8());
    out.close();
    const ToolOutcome o = render(file);
    ASSERT_EQ(o.status, 0) << o.err.toStdString();
    EXPECT_TRUE(pdfText(pdf()).contains(QStringLiteral("W7003")));
}

// The program itself, started as an administrator starts it on a server
// without a display.
TEST_F(RenderLayout, TheProgramRendersWithoutADisplay)
{
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/../tools/qel-db");
    if (!QFileInfo(program).isExecutable())
        GTEST_SKIP() << "skipped: qel-db is not built next to the tests";
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(QString::fromLatin1(name));
    p.setProcessEnvironment(env);
    p.start(program, {QStringLiteral("render-layout"), sourcePath(QStringLiteral("src/report/Form_ChkPrice.frf")),
                      QStringLiteral("--to"), pdf()});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    EXPECT_TRUE(pdfText(pdf()).contains(QStringLiteral("D1001")));
}

TEST(RenderLayoutCommandLine, ALayoutAndAPdfAreNeeded)
{
    for (const QStringList& arguments : {QStringList{"render-layout", "a.frf"}, QStringList{"render-layout", "--to", "a.pdf"},
                                         QStringList{"render-layout", "a.frf", "b.frf", "--to", "a.pdf"},
                                         QStringList{"render-layout", "a.frf", "--to", "a.pdf", "--lines", "0"}}) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        EXPECT_EQ(qeldb::parseCommandLine(arguments).outcome, qeldb::CommandLine::Outcome::UsageError);
    }
    EXPECT_EQ(qeldb::parseCommandLine({"render-layout", "--to=x.pdf", "a.frf", "--lines", "3"}).outcome,
              qeldb::CommandLine::Outcome::Run);
}

} // namespace
