// The program-wide error handler: the translation table, the error log, the
// red window with its countdown, and the mail as a real SMTP server gets it.

#include "support/ModalDialog.h"
#include "support/SmtpSink.h"
#include "support/TestSite.h"

#include "config/TDMConfig.h"
#include "data/ErrorTranslation.h"
#include "data/TDM.h"
#include "data/TFrShowError.h"

#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <unistd.h>

namespace {

TEST(ErrorTranslation, FirstMatchingFragmentWinsWithoutRegardToCase)
{
    EXPECT_EQ(translateErrorMessage("Cannot insert duplicate key row in object 'dbo.Product' with unique index 'X'."),
              QStringLiteral("ข้อมูลที่เพิ่มซ้ำกับข้อมูลที่มีอยู่แล้ว"));
    EXPECT_EQ(translateErrorMessage("violation: cannot insert duplicate key row"),
              QStringLiteral("ข้อมูลที่เพิ่มซ้ำกับข้อมูลที่มีอยู่แล้ว"))
        << "lower-case letters match";
    EXPECT_EQ(translateErrorMessage("Cannot insert the value NULL into column 'Price', table 'D.dbo.ProductPrice'; "
                                    "column does not allow nulls. INSERT fails. Cannot insert duplicate"),
              QStringLiteral("กำหนดราคาไม่ครบถ้วน"))
        << "an earlier row wins";
    EXPECT_EQ(translateErrorMessage("'31/02/2026' is not a valid date"), QStringLiteral("ป้อนวันที่ไม่ถูกต้อง"));
    EXPECT_EQ(translateErrorMessage("DELETE statement conflicted with COLUMN REFERENCE constraint 'FK_IvHd_Customer'."),
              QStringLiteral("ข้อมูลที่ลบถูกอ้างโดยข้อมูลอื่น ไม่สามารถลบข้อมูลนี้ได้"));
    EXPECT_EQ(translateErrorMessage("Printer selected is not valid."),
              QStringLiteral("ยังไม่ได้กำหนดเครื่องพิมพ์ หรือ เครื่องพิมพ์มีปัญหา"));
    EXPECT_EQ(translateErrorMessage("Cannot insert the value NULL into column 'Remark'"),
              "CANNOT INSERT THE VALUE NULL INTO COLUMN 'REMARK'")
        << "a column without a row of its own is not translated";
    EXPECT_EQ(translateErrorMessage(QStringLiteral("Invalid object name 'ลูกค้า'.")),
              QStringLiteral("INVALID OBJECT NAME 'ลูกค้า'.")) << "only a to z are upper-cased";
}

// Runs `step` on the error window once it is open and modal; a window that
// never comes up, or never closes, fails the test instead of blocking it.
void onErrorWindow(const std::function<void(TFrShowError*)>& step)
{
    onNextModal(
        [step](QDialog& dialog) {
            auto* window = qobject_cast<TFrShowError*>(&dialog);
            ASSERT_NE(window, nullptr) << "the modal window is not the error window";
            step(window);
        },
        15000);
}

class ErrorHandler : public ::testing::Test {
protected:
    void SetUp() override
    {
        DMConfig = &config;
        config.GetCompanyConfig(QStringLiteral("ACME"));
        config.CheckRight(12, 1);
        config.Run.UserId = 1;
        config.Run.MenuId = 12;
    }
    void TearDown() override { DMConfig = nullptr; }

    void writeMailSettings(quint16 port)
    {
        QFile ini(site.folder() + QStringLiteral("/QEL.INI"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(QStringLiteral("[Mail]\r\nHost=127.0.0.1\r\nPort=%1\r\nSender=inquiry@acme.test\r\n"
                                 "Recipient=support@acme.test\r\nTimeoutSeconds=3\r\n")
                      .arg(port)
                      .toUtf8());
    }

    TestSite site;
    TDMConfig config;
    TDM dm;
};

TEST_F(ErrorHandler, LogsTheMessageShowsItsThaiReadingAndClosesOnTheNinthTick)
{
    const QString message = QStringLiteral("Cannot insert duplicate key row in object 'dbo.Customer' with unique index "
                                           "'UQ_Customer_Code'.");
    int ticks = 0;
    bool visibleBeforeLastTick = false;
    QString shown;
    onErrorWindow([&](TFrShowError* w) {
        shown = w->ErrorBox->toPlainText();
        EXPECT_EQ(w->pos(), QPoint(50, 100));
        EXPECT_EQ(w->focusWidget(), w->BCancel);
        EXPECT_EQ(TFrShowError::Countdown, 10);
        EXPECT_FALSE(TFrShowError::SentFlag);
        QObject::connect(w->Timer1, &QTimer::timeout, w, [&, w] {
            ++ticks;
            if (ticks == 8)
                visibleBeforeLastTick = w->isVisible();
        });
        w->Timer1->setInterval(5);  // the same ticks, faster
    });
    dm.HandleException(message);
    EXPECT_TRUE(shown.startsWith(QStringLiteral("ข้อมูลที่เพิ่มซ้ำกับข้อมูลที่มีอยู่แล้ว")));
    EXPECT_EQ(ticks, 9) << "the window closes itself on the ninth tick";
    EXPECT_TRUE(visibleBeforeLastTick);
    EXPECT_EQ(site.configRows("Select ErrorMsg, Menu, UserName From errorlog"),
              QStringList{message + QStringLiteral("|12|1")})
        << "the log gets the message unchanged, never the Thai text";
}

TEST_F(ErrorHandler, SendErrorMailsTheShownTextWithSingleCarriageReturns)
{
    SmtpSink sink;
    writeMailSettings(sink.port());
    onErrorWindow([](TFrShowError* w) { w->BOk->click(); });
    dm.HandleException(QStringLiteral("Possible network error: Write to SQL Server failed."));
    ASSERT_TRUE(sink.waitForMessages(1));
    const ReceivedMail mail = sink.messages().first();
    EXPECT_EQ(mail.envelopeFrom, "inquiry@acme.test");
    EXPECT_EQ(mail.recipients, QStringList{"support@acme.test"});
    EXPECT_EQ(mail.subject, QStringLiteral("Error ACME สอบถามราคา"));
    const QString expectedBody = QStringLiteral("[User = ADMIN] \rLocal IP = ") + TDMConfig::LocalIpAddress()
        + QStringLiteral("\rระบบเครือข่าย หรือ คอมพิวเตอร์แม่ข่ายมีปัญหา ติดต่อเครื่องแม่ข่ายไม่ได้\r");
    EXPECT_EQ(mail.body, expectedBody);
    EXPECT_FALSE(mail.bodyBytes.contains('\n')) << "line breaks are single carriage returns";
    EXPECT_TRUE(TFrShowError::SentFlag);
}

TEST_F(ErrorHandler, DeadMailServerClosesTheWindowAsAfterASend)
{
    writeMailSettings(SmtpSink::unusedPort());
    bool closed = false;
    onErrorWindow([&](TFrShowError* w) {
        QObject::connect(w, &QDialog::finished, w, [&] { closed = true; });
        w->BOk->click();
    });
    EXPECT_NO_THROW(dm.HandleException(QStringLiteral("Insufficient memory for this operation.")));
    EXPECT_TRUE(closed);
}

TEST_F(ErrorHandler, AMissingLogIsReportedOnStandardErrorAndTheErrorStillShown)
{
    site.dropConfigDatabase();
    config.connection().close();
    // Catch what goes to standard error meanwhile.
    std::fflush(stderr);
    const int saved = dup(2);
    FILE* capture = std::tmpfile();
    dup2(fileno(capture), 2);
    QString shown;
    onErrorWindow([&](TFrShowError* w) {
        shown = w->ErrorBox->toPlainText();
        w->BCancel->click();
    });
    EXPECT_NO_THROW(dm.HandleException(QStringLiteral("Invalid column name 'X'.")));
    std::fflush(stderr);
    dup2(saved, 2);
    ::close(saved);
    std::rewind(capture);
    char buffer[4096] = {};
    const size_t n = std::fread(buffer, 1, sizeof buffer - 1, capture);
    std::fclose(capture);
    const QString errors = QString::fromLocal8Bit(buffer, int(n));
    EXPECT_TRUE(errors.contains("The error log could not be written")) << qPrintable(errors);
    EXPECT_TRUE(errors.contains("Invalid column name 'X'.")) << qPrintable(errors);
    EXPECT_TRUE(shown.startsWith("INVALID COLUMN NAME 'X'."));
}

} // namespace
