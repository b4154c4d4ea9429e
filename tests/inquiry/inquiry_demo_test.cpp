// The demo company's typical call at the window's own size, keys only:
// C001 Enter, D1001 Enter, F7 F7 F10 F3. What the clerk reads must be whole
// on screen, and the printed offer's Thai words whole in the PDF's text.

#include "Clerk.h"
#include "InquiryFixture.h"

#include "Demo.h"

#include "config/TDMConfig.h"
#include "data/TDM.h"
#include "inquiry/TFrInquiryPrice.h"
#include "widgets/DbGrid.h"
#include "widgets/ElidedLabel.h"
#include "widgets/MessageBox.h"

#include <QBuffer>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolTip>

#include <gtest/gtest.h>

namespace {

using namespace clerk;

class DemoInquiry : public InquiryFixture {
protected:
    void SetUp() override
    {
        QBuffer out, err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        ASSERT_EQ(qeldb::createDemo(dir.path(), out, err), 0) << err.data().toStdString();
        QFile ini(dir.filePath("QEL.INI"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Print]\r\nPdfFile=offer.pdf\r\n");
        ini.close();
        previousFolder = QDir::currentPath();
        QDir::setCurrent(dir.path());
        attach("DEMO");
        open();
    }
    void TearDown() override
    {
        InquiryFixture::TearDown();
        QDir::setCurrent(previousFolder);
    }

    // Titles, cells and footer texts of a grid that do not fit their
    // column, and columns that run past the grid's visible width.
    static QStringList clipped(widgets::DbGrid* grid)
    {
        QStringList found;
        const auto* view = static_cast<const QAbstractItemView*>(grid->view());
        const QHeaderView* titles = grid->view()->horizontalHeader();
        const QFontMetrics footerFont(grid->font());
        const int visibleWidth = grid->view()->viewport()->width();
        for (int c = 0; c < titles->count(); ++c) {
            const QString name = grid->objectName() + "." + grid->fieldAt(c);
            const int width = titles->sectionSize(c);
            if (titles->sectionSizeHint(c) > width)
                found << name + " title";
            if (view->sizeHintForColumn(c) > width)
                found << name + " cells";
            if (footerFont.horizontalAdvance(grid->footerText(grid->fieldAt(c))) + 6 > width)
                found << name + " footer";
            if (titles->sectionViewportPosition(c) + width > visibleWidth)
                found << name + " past the edge";
        }
        return found;
    }

    static QString pdfText(const QString& file, bool layout)
    {
        QProcess p;
        p.start("pdftotext", layout ? QStringList{"-layout", file, "-"} : QStringList{file, "-"});
        if (!p.waitForFinished(20000))
            return QString();
        return QString::fromUtf8(p.readAllStandardOutput());
    }

    QTemporaryDir dir;
    QString previousFolder;
};

TEST_F(DemoInquiry, NothingTheClerkReadsIsClippedAt792By560)
{
    TFrInquiryPrice& w = *window;
    ASSERT_EQ(w.size(), QSize(792, 560));
    enter("C001");
    enter("D1001");
    press(Qt::Key_F7);
    press(Qt::Key_F7);
    QTest::qWait(20);
    ASSERT_GT(w.Qonhand.recordCount(), 5);
    ASSERT_GT(w.QUnits.recordCount(), 1);
    EXPECT_EQ(w.QDemoSo.recordCount(), 2);

    QStringList found;
    for (widgets::DbGrid* grid : {w.DgOnhand, w.DgUnits, w.DgPrice, w.DgSoDt})
        found += clipped(grid);
    // The names: whole, or elided with the whole text as the tooltip, and
    // never under the button panel.
    for (QLabel* name : {w.CustomerName, w.ProductName}) {
        const QRect onPanel(name->mapTo(w.Panel1, QPoint()), name->size());
        if (onPanel.right() >= w.Panel11->geometry().left())
            found << name->objectName() + " under the buttons";
        if (static_cast<widgets::ElidedLabel*>(name)->isElided()) {
            QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), name->mapToGlobal(QPoint(2, 2)));
            QApplication::sendEvent(name, &help);
            if (QToolTip::text() != name->text())
                found << name->objectName() + " elided without its tooltip";
            QToolTip::hideText();
        }
    }

    tabTo(w.DgOnhand->view());
    press(Qt::Key_Tab, Qt::ControlModifier);
    ASSERT_EQ(w.PageCtrl->currentWidget(), w.TabSheet2);
    ASSERT_GT(w.QHistory.recordCount(), 0);
    found += clipped(w.DgHistory);
    press(Qt::Key_Tab, Qt::ControlModifier);
    ASSERT_EQ(w.PageCtrl->currentWidget(), w.TabSheet3);
    for (QLabel* pic : {w.Pic1, w.Pic2, w.Pic3}) {
        if (!w.TabSheet3->rect().contains(pic->geometry()))
            found << pic->objectName() + " cut";
    }
    EXPECT_TRUE(found.isEmpty()) << qPrintable(found.join('\n'));

    // Larger, the panels and the offer list take the room.
    const QSize information = w.Panel2->size();
    const QSize offer = w.DgSoDt->size();
    w.resize(1000, 700);
    QTest::qWait(20);
    EXPECT_GT(w.Panel2->height(), information.height());
    EXPECT_GT(w.Panel2->width(), information.width());
    EXPECT_GT(w.DgSoDt->height(), offer.height());
    EXPECT_GT(w.DgSoDt->width(), offer.width());
    EXPECT_TRUE(messages.isEmpty()) << qPrintable(messages.join('|'));
}

TEST_F(DemoInquiry, ThePrintedOfferKeepsItsThaiWordsWhole)
{
    TFrInquiryPrice& w = *window;
    enter("C001");
    enter("D1001");
    press(Qt::Key_F7);
    press(Qt::Key_F7);
    press(Qt::Key_F10);
    const QString pdf = dir.filePath("offer.pdf");
    ASSERT_TRUE(QFile::exists(pdf)) << qPrintable(messages.join('|'));

    // Every word the offer prints, as the program knows it.
    QStringList words = config->Run.CompanyName.split(' ', Qt::SkipEmptyParts);
    words += w.CustomerName->text().split(' ', Qt::SkipEmptyParts);
    words += w.QDemoSo.valueAt(0, w.QDemoSo.fieldIndex("ProductName")).toString().split(' ', Qt::SkipEmptyParts);
    words += w.QDemoSo.valueAt(0, w.QDemoSo.fieldIndex("Units")).toString();
    words += QStringList{"ใบเสนอราคา", "รหัสลูกค้า", "ชื่อลูกค้า", "รหัสสินค้า", "ชื่อสินค้า", "ราคา/หน่วย",
                         "จำนวนเงิน", "รวมเงินทั้งสิ้น", "ผู้พิมพ์", "หน้า"};
    for (bool layout : {false, true}) {
        SCOPED_TRACE(layout ? "-layout" : "reading order");
        const QString text = pdfText(pdf, layout);
        const QStringList tokens = text.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
        for (const QString& word : words)
            EXPECT_TRUE(tokens.contains(word)) << word.toStdString() << "\n" << text.toStdString();
    }

    press(Qt::Key_F3);
    EXPECT_EQ(w.QDemoSo.recordCount(), 0);
    EXPECT_EQ(focused(), w.GetCustomerCode);
    EXPECT_TRUE(messages.isEmpty()) << qPrintable(messages.join('|'));
}

} // namespace

// From support/ModalDialog.h, whose own press() would stand beside the clerk's.
void onNextModal(std::function<void(QDialog& dialog)> step, int deadlineMs = 5000);
void typeHere(const QString& text);  // Thai as a Thai keyboard sends it

namespace {

// F5 in the product box opens the product and service search; the clerk
// finds the product by part of its name, chooses it, and Enter in the box
// loads it. Escape from the search changes nothing.
TEST_F(DemoInquiry, F5FindsAProductByPartOfItsNameAndEnterLoadsIt)
{
    TFrInquiryPrice& w = *window;
    enter("C001");
    ASSERT_EQ(focused(), w.GetProductCode);
    const QString noProduct = w.ProductName->text();

    onNextModal([&](QDialog& dialog) {
        EXPECT_EQ(dialog.objectName(), "TFrSearchProductService");
        EXPECT_EQ(focused()->objectName(), "ProductName");
        typeHere(QStringLiteral("รสน้ำผึ้งมะนาว"));
        press(Qt::Key_Return);  // searches; the list takes the focus
        EXPECT_TRUE(dialog.findChild<QWidget*>("DgSearch")->isAncestorOf(focused()));
        press(Qt::Key_Return);  // chooses
    });
    press(Qt::Key_F5);
    EXPECT_EQ(w.GetProductCode->text(), "D1001");
    EXPECT_EQ(focused(), w.GetProductCode);
    EXPECT_EQ(w.ProductName->text(), noProduct) << "choosing only fills the box";

    press(Qt::Key_Return);
    EXPECT_EQ(w.ProductName->text(), QStringLiteral("ชาเขียวพร้อมดื่ม กรีนลีฟ รสน้ำผึ้งมะนาว 500 มล."));

    onNextModal([&](QDialog&) {
        typeHere(QStringLiteral("มะนาว"));
        press(Qt::Key_Return);
        press(Qt::Key_Escape);
    });
    press(Qt::Key_F5);
    EXPECT_EQ(w.GetProductCode->text(), "D1001") << "Cancel leaves the box as it was";
    EXPECT_EQ(w.ProductName->text(), QStringLiteral("ชาเขียวพร้อมดื่ม กรีนลีฟ รสน้ำผึ้งมะนาว 500 มล."));
    EXPECT_TRUE(messages.isEmpty()) << messages.join(" | ").toStdString();
}

} // namespace
