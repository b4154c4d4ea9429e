// The program-wide error handler: the translation table, the error log, the
// red window with its countdown, and the mail as a real SMTP server gets it.

#include "support/DatabaseLock.h"
#include "support/ModalDialog.h"
#include "support/SmtpSink.h"
#include "support/TestSite.h"

#include "config/TDMConfig.h"
#include "data/ErrorTranslation.h"
#include "db/DbError.h"
#include "data/LockWaitNotice.h"
#include "data/TDM.h"
#include "data/TFrShowError.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
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
// The handler may serve the event loop before it opens the window (while it
// waits for a locked log); the watch keeps looking until the deadline.
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

    void writeMailSettings(quint16 port, int timeoutSeconds = 3)
    {
        QFile ini(site.folder() + QStringLiteral("/QEL.INI"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(QStringLiteral("[Mail]\r\nHost=127.0.0.1\r\nPort=%1\r\nSender=inquiry@acme.test\r\n"
                                 "Recipient=support@acme.test\r\nTimeoutSeconds=%2\r\n")
                      .arg(port)
                      .arg(timeoutSeconds)
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

// What goes to standard error while it lives.
class StandardErrorCapture {
public:
    StandardErrorCapture()
    {
        std::fflush(stderr);
        saved_ = dup(2);
        capture_ = std::tmpfile();
        dup2(fileno(capture_), 2);
    }
    ~StandardErrorCapture() { text(); }

    // Ends the capture and returns what was written.
    QString text()
    {
        if (!capture_)
            return text_;
        std::fflush(stderr);
        dup2(saved_, 2);
        ::close(saved_);
        std::rewind(capture_);
        char buffer[4096] = {};
        const size_t n = std::fread(buffer, 1, sizeof buffer - 1, capture_);
        std::fclose(capture_);
        capture_ = nullptr;
        text_ = QString::fromLocal8Bit(buffer, int(n));
        return text_;
    }

private:
    int saved_ = -1;
    FILE* capture_ = nullptr;
    QString text_;
};

TEST_F(ErrorHandler, AMissingLogIsReportedOnStandardErrorAndTheErrorStillShown)
{
    site.dropConfigDatabase();
    config.connection().close();
    StandardErrorCapture capture;
    QString shown;
    onErrorWindow([&](TFrShowError* w) {
        shown = w->ErrorBox->toPlainText();
        w->BCancel->click();
    });
    EXPECT_NO_THROW(dm.HandleException(QStringLiteral("Invalid column name 'X'.")));
    const QString errors = capture.text();
    EXPECT_TRUE(errors.contains("The error log could not be written")) << qPrintable(errors);
    EXPECT_TRUE(errors.contains("Invalid column name 'X'.")) << qPrintable(errors);
    EXPECT_TRUE(shown.startsWith("INVALID COLUMN NAME 'X'."));
}

TEST_F(ErrorHandler, ADeleteOfAReferencedRowIsToldInThaiInBothWordings)
{
    // The newer wording comes from a real refusal of the business database.
    site.business(QStringLiteral("Create Table RefParent (Id int Not Null Primary Key)\n"
                                 "Create Table RefChild (Id int Not Null, Parent int Not Null,\n"
                                 "  Constraint FK_RefChild_Parent Foreign Key (Parent) References RefParent (Id))\n"
                                 "Insert Into RefParent Values (1)\nInsert Into RefChild Values (1, 1)"));
    QString refusal;
    try {
        site.business(QStringLiteral("Delete From RefParent Where Id = 1"));
    } catch (const db::DbError& e) {
        refusal = e.message();
    }
    ASSERT_TRUE(refusal.startsWith("The DELETE statement conflicted with the REFERENCE constraint")) << qPrintable(refusal);
    const QString older = QStringLiteral("DELETE statement conflicted with COLUMN REFERENCE constraint "
                                         "'FK_RefChild_Parent'. The conflict occurred in database 'ACME', table "
                                         "'RefChild', column 'Parent'.");
    for (const QString& message : {refusal, older}) {
        SCOPED_TRACE(qPrintable(message));
        QString shown;
        onErrorWindow([&](TFrShowError* w) {
            shown = w->ErrorBox->toPlainText();
            w->BCancel->click();
        });
        dm.HandleException(message);
        EXPECT_TRUE(shown.startsWith(QStringLiteral("ข้อมูลที่ลบถูกอ้างโดยข้อมูลอื่น ไม่สามารถลบข้อมูลนี้ได้")))
            << qPrintable(shown);
    }
}

// Counts the ticks of a 50 ms timer, which fire only while the program
// serves its event loop, and notes what the clerk could read meanwhile.
struct Heartbeat {
    explicit Heartbeat(std::function<void()> look = {})
    {
        timer.setInterval(50);
        QObject::connect(&timer, &QTimer::timeout, [this, look] {
            ++ticks;
            if (look)
                look();
        });
        timer.start();
    }
    QTimer timer;
    int ticks = 0;
};

QString lockNoticeText()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == "LockWaitNotice" && w->isVisible())
            return static_cast<QLabel*>(w)->text();
    }
    return {};
}

TEST_F(ErrorHandler, ALockedLogKeepsTheWindowPaintedSaysWhatItWaitsForAndGivesUpInTime)
{
    dm.lockWaits().setLimit(std::chrono::milliseconds(1500));
    DatabaseLock lock(site.folder() + "/QEL_CONFIG.sqlite");
    QString notice;
    Heartbeat heartbeat([&] {
        if (notice.isEmpty())
            notice = lockNoticeText();
    });
    onErrorWindow([](TFrShowError* w) { w->BCancel->click(); });
    StandardErrorCapture capture;
    QElapsedTimer clock;
    clock.start();
    dm.HandleException(QStringLiteral("Invalid column name 'Y'."));
    EXPECT_TRUE(capture.text().contains("The error log could not be written: the database QEL_CONFIG is locked by "
                                        "another program; waited 2 seconds for it."))
        << qPrintable(capture.text());
    EXPECT_GE(clock.elapsed(), 1500);
    EXPECT_LT(clock.elapsed(), 4000) << "the wait is bounded";
    EXPECT_GE(heartbeat.ticks, 15) << "the event loop ran while the log waited";
    EXPECT_TRUE(notice.contains("QEL_CONFIG")) << qPrintable(notice);
    QCoreApplication::processEvents();
    QTest::qWait(300);
    EXPECT_TRUE(lockNoticeText().isEmpty()) << "the notice goes with the wait";
}

TEST_F(ErrorHandler, ALockLetGoWhileTheLogWaitsStillLogsTheError)
{
    auto lock = std::make_unique<DatabaseLock>(site.folder() + "/QEL_CONFIG.sqlite");
    QTimer::singleShot(600, [&lock] { lock.reset(); });
    onErrorWindow([](TFrShowError* w) { w->BCancel->click(); });
    QElapsedTimer clock;
    clock.start();
    dm.HandleException(QStringLiteral("Invalid column name 'Z'."));
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_EQ(site.configRows("Select ErrorMsg From errorlog"), QStringList{"Invalid column name 'Z'."});
}

TEST_F(ErrorHandler, ASilentMailServerKeepsTheWindowPaintedAndEndsAtTheTimeOut)
{
    SmtpSink sink(SmtpSink::Mode::Mute);
    writeMailSettings(sink.port(), 2);
    QString whileSending;
    bool closed = false;
    onErrorWindow([&](TFrShowError* w) {
        QObject::connect(w, &QDialog::finished, w, [&] { closed = true; });
        QTimer::singleShot(500, w, [&, w] { whileSending = w->TimeCount->text(); });
        w->BOk->click();
    });
    Heartbeat heartbeat;
    QElapsedTimer clock;
    clock.start();
    dm.HandleException(QStringLiteral("Possible network error: Write to SQL Server failed."));
    EXPECT_TRUE(closed);
    EXPECT_GE(clock.elapsed(), 1900) << "the server was waited for";
    EXPECT_LT(clock.elapsed(), 6000) << "but not longer than the time-out";
    EXPECT_GE(heartbeat.ticks, 20) << "the event loop ran while the server was silent";
    EXPECT_EQ(whileSending, QStringLiteral("กำลังส่ง...")) << "the window says it is sending";
}

} // namespace
