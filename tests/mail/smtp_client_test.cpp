// Mailing the error report: real messages through libcurl to a real SMTP
// server on the loopback (tests/support/smtp_sink.py), read back the way the
// support mailbox's mail reader decodes them; and the [MAIL] settings as
// sites write them by hand.

#include "support/QtPrinters.h"
#include "support/SmtpSink.h"

#include "mail/SmtpClient.h"
#include "mail/SmtpSettings.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ctime>

namespace {

// A report as the error handler writes it: lines broken by bare CRs.
QString report(const QStringList& lines)
{
    return lines.join(QLatin1Char('\r'));
}

mail::SmtpSettings settingsFor(quint16 port)
{
    mail::SmtpSettings s;
    s.host = QStringLiteral("127.0.0.1");
    s.port = port;
    s.identity = QStringLiteral("branch01.shop.example");
    s.sender = QStringLiteral("priceinquiry@shop.example");
    s.recipient = QStringLiteral("support@qel.example");
    s.timeoutSeconds = 5;
    return s;
}

// What travelled must be plain SMTP text: CRLF line ends only, header lines
// within 78 characters and encoded body lines within 76.
void expectWithinWireLimits(const QByteArray& raw)
{
    ASSERT_TRUE(raw.endsWith("\r\n"));
    const qsizetype split = raw.indexOf("\r\n\r\n");
    ASSERT_GE(split, 0) << "no blank line after the headers";
    const QList<QByteArray> lines = raw.chopped(2).split('\n');
    qsizetype offset = 0;
    for (const QByteArray& line : lines) {
        const bool inBody = offset > split + 2;
        if (&line != &lines.last()) {
            EXPECT_TRUE(line.endsWith('\r')) << "bare LF before offset " << offset + line.size();
        }
        const QByteArray text = line.endsWith('\r') ? line.chopped(1) : line;
        EXPECT_FALSE(text.contains('\r')) << "bare CR in: " << text.toStdString();
        EXPECT_LE(text.size(), inBody ? 76 : 78) << text.toStdString();
        offset += line.size() + 1;
    }
}

ReceivedMail onlyMessage(const SmtpSink& sink)
{
    if (!sink.waitForMessages(1)) {
        ADD_FAILURE() << "no message arrived";
        return {};
    }
    const QList<ReceivedMail> all = sink.messages();
    EXPECT_EQ(all.size(), 1);
    return all.value(0);
}

class MailDelivery : public ::testing::Test {
protected:
    SmtpSink sink;
    mail::SmtpSettings settings = settingsFor(sink.port());
};

TEST_F(MailDelivery, ThaiReportArrivesExactlyWithItsCarriageReturns)
{
    const QString subject = QStringLiteral("ข้อผิดพลาดฐานข้อมูล โปรแกรมสอบถามราคา สาขาเชียงใหม่ (ราคา 1,250.00 บาท)");
    const QString body = report({QStringLiteral("เครื่อง: POS-03  ผู้ใช้: สมชาย"),
                                 QStringLiteral("เมนู: สอบถามราคาทางโทรศัพท์"), QString(),
                                 QStringLiteral("Violation of PRIMARY KEY constraint 'PK_Product'."),
                                 QStringLiteral("ไม่สามารถบันทึกรายการได้ = 100% ล้มเหลว"), QString()});

    const mail::SendResult result = mail::SmtpClient::send(settings, subject, body);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_TRUE(result.error.isEmpty());

    const ReceivedMail mail = onlyMessage(sink);
    EXPECT_EQ(mail.envelopeFrom, settings.sender);
    EXPECT_EQ(mail.recipients, QStringList{settings.recipient});
    EXPECT_EQ(mail.helo, settings.identity);

    EXPECT_EQ(mail.subject, subject);
    EXPECT_EQ(mail.bodyBytes, body.toUtf8()) << "bytes after decoding differ";
    EXPECT_FALSE(mail.bodyBytes.contains('\n'));
    EXPECT_EQ(mail.body, body);
    EXPECT_EQ(mail.charset, QStringLiteral("utf-8"));
    EXPECT_EQ(mail.contentType, QStringLiteral("text/plain"));
    EXPECT_EQ(mail.transferEncoding.toLower(), QStringLiteral("quoted-printable"));
    EXPECT_TRUE(mail.defects.isEmpty()) << mail.defects.join(QLatin1Char('\n')).toStdString();

    EXPECT_EQ(mail.header(QStringLiteral("From")), settings.sender);
    EXPECT_EQ(mail.header(QStringLiteral("To")), settings.recipient);
    EXPECT_EQ(mail.header(QStringLiteral("MIME-Version")), QStringLiteral("1.0"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^<[^<>@\\s]+@[^<>@\\s]+>$"))
                    .match(mail.header(QStringLiteral("Message-ID")))
                    .hasMatch())
        << mail.header(QStringLiteral("Message-ID")).toStdString();
    for (const char* name : {"Date", "From", "To", "Subject", "Message-ID", "MIME-Version", "Content-Type",
                             "Content-Transfer-Encoding"})
        EXPECT_EQ(mail.headerCount(QLatin1String(name)), 1) << name;
    EXPECT_EQ(mail.headerCount(QStringLiteral("Cc")) + mail.headerCount(QStringLiteral("Bcc")), 0);

    expectWithinWireLimits(mail.raw);
}

// Runs the process in another time zone while it lives.
class TimeZoneGuard {
public:
    explicit TimeZoneGuard(const char* zone) : had_(qEnvironmentVariableIsSet("TZ")), saved_(qgetenv("TZ"))
    {
        qputenv("TZ", zone);
        tzset();
    }
    ~TimeZoneGuard()
    {
        if (had_)
            qputenv("TZ", saved_);
        else
            qunsetenv("TZ");
        tzset();
    }

private:
    bool had_;
    QByteArray saved_;
};

TEST_F(MailDelivery, DateIsTheMomentOfSendingWithTheLocalZone)
{
    // The sites run at +0700: a Date whose zone is wrong puts the report
    // hours away from the error log's entry.
    {
        TimeZoneGuard bangkok("Asia/Bangkok");
        ASSERT_TRUE(mail::SmtpClient::send(settings, QStringLiteral("s"), QStringLiteral("b")).ok);
    }
    const ReceivedMail mail = onlyMessage(sink);
    const QDateTime sent = QDateTime::fromString(mail.date, Qt::ISODate);
    ASSERT_TRUE(sent.isValid()) << "Date header unreadable: " << mail.header(QStringLiteral("Date")).toStdString();
    EXPECT_TRUE(mail.date.contains(QStringLiteral("+07:00"))) << mail.header(QStringLiteral("Date")).toStdString();
    EXPECT_LE(std::abs(sent.secsTo(QDateTime::currentDateTimeUtc())), 300);
}

TEST_F(MailDelivery, AsciiReportsDeclareUsAsciiAndEachHasItsOwnMessageId)
{
    const QString subject = QStringLiteral("Database error at POS-03");
    const QString body = report({QStringLiteral("Timeout expired."), QStringLiteral("Menu: Price inquiry"),
                                 QStringLiteral("a=b; 50% off; tab\there")});

    ASSERT_TRUE(mail::SmtpClient::send(settings, subject, body).ok);
    ASSERT_TRUE(mail::SmtpClient::send(settings, subject, body).ok);
    ASSERT_TRUE(sink.waitForMessages(2));
    const QList<ReceivedMail> mails = sink.messages();
    ASSERT_EQ(mails.size(), 2);
    for (const ReceivedMail& mail : mails) {
        EXPECT_EQ(mail.charset, QStringLiteral("us-ascii"));
        EXPECT_EQ(mail.subject, subject);
        EXPECT_EQ(mail.bodyBytes, body.toUtf8());
        EXPECT_TRUE(mail.defects.isEmpty()) << mail.defects.join(QLatin1Char('\n')).toStdString();
        expectWithinWireLimits(mail.raw);
    }
    EXPECT_NE(mails[0].header(QStringLiteral("Message-ID")), mails[1].header(QStringLiteral("Message-ID")));
}

TEST_F(MailDelivery, LongLinesAndLinesStartingWithDotsSurvive)
{
    QStringList lines{QStringLiteral("."), QStringLiteral(".."), QStringLiteral(".hidden"),
                      QStringLiteral("From the till: price list"), QString(300, QLatin1Char('.')),
                      QStringLiteral("สินค้า").repeated(700), QStringLiteral("0123456789").repeated(500)};
    // A dot and a "From " after every possible line position, so that some
    // fall at the start of whatever lines the encoding breaks into.
    for (int n = 0; n < 90; ++n) {
        lines << QString(n, QLatin1Char('x')) + QStringLiteral(".") + QString(n % 7, QLatin1Char('='));
        lines << QString(n, QLatin1Char('y')) + QStringLiteral("From here");
    }
    lines << QStringLiteral(".");
    const QString body = QStringLiteral(".") + report(lines);
    const QString subject = QStringLiteral("Long ASCII subject ").repeated(12) + QStringLiteral("=?not-encoded?=");

    const mail::SendResult result = mail::SmtpClient::send(settings, subject, body);
    ASSERT_TRUE(result.ok) << result.error.toStdString();

    const ReceivedMail mail = onlyMessage(sink);
    EXPECT_EQ(mail.bodyBytes, body.toUtf8());
    EXPECT_EQ(mail.subject, subject);
    EXPECT_TRUE(mail.defects.isEmpty()) << mail.defects.join(QLatin1Char('\n')).toStdString();
    expectWithinWireLimits(mail.raw);
    // Nor does the text lean on the relays: no line a server must dot-stuff,
    // none a mailbox file would turn into ">From".
    const QByteArray wireBody = mail.raw.mid(mail.raw.indexOf("\r\n\r\n") + 4);
    for (const QByteArray& line : wireBody.split('\n')) {
        EXPECT_FALSE(line.startsWith('.')) << line.toStdString();
        EXPECT_FALSE(line.startsWith("From ")) << line.toStdString();
    }
}

TEST_F(MailDelivery, LineBreaksInTheSubjectCannotAddHeadersOrRecipients)
{
    const QString subject = QStringLiteral("Error\r\nBcc: someone@else.example\rX-Extra: 1");
    ASSERT_TRUE(mail::SmtpClient::send(settings, subject, QStringLiteral("body")).ok);

    const ReceivedMail mail = onlyMessage(sink);
    EXPECT_EQ(mail.recipients, QStringList{settings.recipient});
    EXPECT_EQ(mail.headerCount(QStringLiteral("Bcc")), 0);
    EXPECT_EQ(mail.headerCount(QStringLiteral("X-Extra")), 0);
    EXPECT_TRUE(mail.subject.startsWith(QStringLiteral("Error"))) << mail.subject.toStdString();
    EXPECT_TRUE(mail.subject.contains(QStringLiteral("someone@else.example")));
    EXPECT_FALSE(mail.subject.contains(QLatin1Char('\r')) || mail.subject.contains(QLatin1Char('\n')));
}

TEST(MailLogin, IdentityLogsInOnlyWhenAPasswordIsSet)
{
    SmtpSink sink(SmtpSink::Options{SmtpSink::Mode::Accept, QStringLiteral("priceinquiry@shop.example:s3cret,x"), {}});
    mail::SmtpSettings settings = settingsFor(sink.port());
    settings.identity = QStringLiteral("priceinquiry@shop.example");

    ASSERT_TRUE(mail::SmtpClient::send(settings, QStringLiteral("no password"), QStringLiteral("1")).ok);
    settings.password = QStringLiteral("s3cret,x");
    const mail::SendResult withPassword =
        mail::SmtpClient::send(settings, QStringLiteral("password"), QStringLiteral("2"));
    ASSERT_TRUE(withPassword.ok) << withPassword.error.toStdString();
    settings.password = QStringLiteral("wrong");
    const mail::SendResult wrong = mail::SmtpClient::send(settings, QStringLiteral("wrong"), QStringLiteral("3"));
    EXPECT_FALSE(wrong.ok);
    EXPECT_FALSE(wrong.error.isEmpty());

    // The sink stores a message before it confirms it: none came with the wrong login.
    ASSERT_TRUE(sink.waitForMessages(2));
    const QList<ReceivedMail> mails = sink.messages();
    ASSERT_EQ(mails.size(), 2);
    EXPECT_EQ(mails[0].helo, settings.identity);
    EXPECT_TRUE(mails[0].login.isEmpty());
    EXPECT_EQ(mails[1].login, settings.identity);
}

TEST(MailFailure, DeadPortFailsWithinTheTimeOutWithoutThrowing)
{
    mail::SmtpSettings settings = settingsFor(SmtpSink::unusedPort());
    settings.timeoutSeconds = 3;
    mail::SendResult result{true, {}};
    QElapsedTimer clock;
    clock.start();
    EXPECT_NO_THROW(result = mail::SmtpClient::send(settings, QStringLiteral("s"), QStringLiteral("b")));
    EXPECT_LT(clock.elapsed(), settings.timeoutSeconds * 1000 + 1000);
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.error.isEmpty());
}

TEST(MailFailure, HungServerIsGivenUpAtTheTimeOut)
{
    // Silent from the start (stuck before the greeting), and stuck after the
    // message (never confirming it): the clerk waits the time-out, no longer.
    for (const SmtpSink::Mode mode : {SmtpSink::Mode::Mute, SmtpSink::Mode::Stall}) {
        SCOPED_TRACE(mode == SmtpSink::Mode::Mute ? "mute server" : "stalling server");
        SmtpSink sink(mode);
        mail::SmtpSettings settings = settingsFor(sink.port());
        settings.timeoutSeconds = 3;
        mail::SendResult result{true, {}};
        QElapsedTimer clock;
        clock.start();
        EXPECT_NO_THROW(result = mail::SmtpClient::send(settings, QStringLiteral("s"), QStringLiteral("b")));
        const qint64 elapsed = clock.elapsed();
        EXPECT_FALSE(result.ok);
        EXPECT_FALSE(result.error.isEmpty());
        EXPECT_GE(elapsed, settings.timeoutSeconds * 1000 - 300);
        EXPECT_LT(elapsed, settings.timeoutSeconds * 1000 + 2000);
    }
}

TEST(MailFailure, SlowServerIsGivenUpWhenTheWholeTimeOutIsSpent)
{
    // Every reply comes within the time-out, but all of them together do not:
    // the clerk's wait is bounded for the whole conversation.
    SmtpSink sink(SmtpSink::Options{SmtpSink::Mode::Accept, {}, std::chrono::milliseconds(1200)});
    mail::SmtpSettings settings = settingsFor(sink.port());
    settings.timeoutSeconds = 2;
    QElapsedTimer clock;
    clock.start();
    const mail::SendResult result = mail::SmtpClient::send(settings, QStringLiteral("s"), QStringLiteral("b"));
    const qint64 elapsed = clock.elapsed();
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.error.isEmpty());
    EXPECT_LT(elapsed, settings.timeoutSeconds * 1000 + 2000);
}

TEST(MailFailure, RefusedRecipientIsReportedWithTheServersAnswer)
{
    SmtpSink sink(SmtpSink::Mode::RefuseRecipients);
    const mail::SmtpSettings settings = settingsFor(sink.port());
    const mail::SendResult result = mail::SmtpClient::send(settings, QStringLiteral("s"), QStringLiteral("b"));
    EXPECT_FALSE(result.ok);
    // The server's code and its own words, for whoever reads the support log.
    EXPECT_TRUE(result.error.contains(QStringLiteral("550"))) << result.error.toStdString();
    EXPECT_TRUE(result.error.contains(QStringLiteral("5.7.1 Recipient refused"))) << result.error.toStdString();
    EXPECT_TRUE(result.error.contains(settings.recipient)) << result.error.toStdString();
    EXPECT_FALSE(sink.waitForMessages(1, std::chrono::milliseconds(200)));
}

TEST(MailFailure, AddressesThatCouldBreakTheEnvelopeAreRefusedUnsent)
{
    SmtpSink sink;
    const mail::SmtpSettings good = settingsFor(sink.port());
    QList<mail::SmtpSettings> bad;
    for (const QString& address : {QStringLiteral("support@qel.example>\r\nRCPT TO:<other@else.example"),
                                   QStringLiteral("support @qel.example"), QString()}) {
        mail::SmtpSettings s = good;
        s.recipient = address;
        bad << s;
        s = good;
        s.sender = address;
        bad << s;
    }
    for (const mail::SmtpSettings& s : bad) {
        const mail::SendResult result = mail::SmtpClient::send(s, QStringLiteral("s"), QStringLiteral("b"));
        EXPECT_FALSE(result.ok) << "sender " << s.sender.toStdString() << " recipient " << s.recipient.toStdString();
        EXPECT_FALSE(result.error.isEmpty());
    }
    EXPECT_FALSE(sink.waitForMessages(1, std::chrono::milliseconds(200)));
}

// ---------------------------------------------------------------------------
// [MAIL] in QEL.INI

class MailSettings : public ::testing::Test {
protected:
    // Each file in a folder of its own: QSettings keeps what it parsed of a
    // path and may not notice a rewrite of the same size within a second.
    QString write(const QByteArray& bytes)
    {
        const QString folder = dir.filePath(QString::number(++files));
        EXPECT_TRUE(QDir().mkpath(folder));
        const QString path = QDir(folder).filePath(QStringLiteral("QEL.INI"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        return path;
    }
    static void expectDefaults(const mail::SmtpSettings& s)
    {
        const mail::SmtpSettings defaults;
        EXPECT_EQ(s.host, QStringLiteral("localhost"));
        EXPECT_EQ(s.port, 25);
        EXPECT_EQ(s.timeoutSeconds, 10);
        EXPECT_EQ(s.identity, defaults.identity);
        EXPECT_EQ(s.password, defaults.password);
        EXPECT_EQ(s.sender, defaults.sender);
        EXPECT_EQ(s.recipient, defaults.recipient);
        EXPECT_TRUE(s.sender.contains(QLatin1Char('@')));
        EXPECT_TRUE(s.recipient.contains(QLatin1Char('@')));
    }
    QTemporaryDir dir;
    int files = 0;
};

TEST_F(MailSettings, MissingFileSectionOrKeysGiveTheDefaults)
{
    const QString missing = dir.filePath(QStringLiteral("QEL.INI"));
    expectDefaults(mail::readSmtpSettings(missing));
    EXPECT_FALSE(QFile::exists(missing)) << "reading created the file";

    expectDefaults(mail::readSmtpSettings(write("[Database]\r\nHost=dbserver\r\nPort=1433\r\n")));
    expectDefaults(mail::readSmtpSettings(write("[MAIL]\r\nHost=\r\nSender=  \r\nRecipient=\r\n")));

    const mail::SmtpSettings partial = mail::readSmtpSettings(write("[MAIL]\r\nRecipient=helpdesk@qel.example\r\n"));
    EXPECT_EQ(partial.recipient, QStringLiteral("helpdesk@qel.example"));
    EXPECT_EQ(partial.host, QStringLiteral("localhost"));
    EXPECT_EQ(partial.port, 25);
    EXPECT_EQ(partial.sender, mail::SmtpSettings{}.sender);
}

TEST_F(MailSettings, HandWrittenWindowsFileIsReadWhateverTheLetterCase)
{
    const QByteArray ini = "\xEF\xBB\xBF"
                           "; written by hand at the branch\r\n"
                           "[Database]\r\n"
                           "Host=dbserver\r\n"
                           "Port=1433\r\n"
                           "\r\n"
                           "[mail]\r\n"
                           "hOsT = mail.shop.example \r\n"
                           "PORT=2525\r\n"
                           "identity=priceinquiry@shop.example\r\n"
                           "PassWord=pa,ss\r\n"
                           "SENDER=priceinquiry@shop.example\r\n"
                           "recipient=helpdesk@qel.example\r\n"
                           "TimeOutSeconds=7\r\n"
                           "[Report]\r\n"
                           "Recipient=someone@else.example\r\n";
    const QString path = write(ini);
    const mail::SmtpSettings s = mail::readSmtpSettings(path);
    EXPECT_EQ(s.host, QStringLiteral("mail.shop.example"));
    EXPECT_EQ(s.port, 2525);
    EXPECT_EQ(s.identity, QStringLiteral("priceinquiry@shop.example"));
    EXPECT_EQ(s.password, QStringLiteral("pa,ss"));
    EXPECT_EQ(s.sender, QStringLiteral("priceinquiry@shop.example"));
    EXPECT_EQ(s.recipient, QStringLiteral("helpdesk@qel.example"));
    EXPECT_EQ(s.timeoutSeconds, 7);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), ini) << "the settings file was rewritten";
}

TEST_F(MailSettings, PortAndTimeOutParseAndUnusableNumbersKeepTheDefaults)
{
    struct Case {
        const char* port;
        int expectedPort;
        const char* timeout;
        int expectedTimeout;
    };
    const Case cases[] = {
        {"587", 587, "30", 30}, {" 2525 ", 2525, "1", 1}, {"abc", 25, "x", 10},
        {"0", 25, "0", 10},     {"70000", 25, "-4", 10}, {"", 25, "", 10},
    };
    for (const Case& c : cases) {
        const mail::SmtpSettings s = mail::readSmtpSettings(
            write(QByteArray("[MAIL]\r\nPort=") + c.port + "\r\nTimeoutSeconds=" + c.timeout + "\r\n"));
        EXPECT_EQ(s.port, c.expectedPort) << "Port=" << c.port;
        EXPECT_EQ(s.timeoutSeconds, c.expectedTimeout) << "TimeoutSeconds=" << c.timeout;
    }
}

} // namespace
