#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>

// One message as the sink received it, and as a mail reader would show it
// (decoded by Python's email package, not by our own code).
struct ReceivedMail {
    QString envelopeFrom;
    QStringList recipients;
    QString helo;            // the name the client gave in EHLO/HELO
    QString login;           // the AUTH user, empty when the client did not log in
    QByteArray raw;          // the DATA bytes, dot-stuffing removed
    QList<QPair<QString, QString>> headers; // decoded, in order
    QString subject;         // decoded
    QString date;            // the Date header parsed, ISO 8601; empty when unreadable
    QString contentType;     // "text/plain"
    QString charset;         // as declared, lower case
    QString transferEncoding;
    QByteArray bodyBytes;    // after the transfer encoding is undone
    QString body;            // bodyBytes read in the declared charset
    QStringList defects;     // what the parser found wrong with the message

    // The first header of that name (any case), decoded; empty when absent.
    QString header(const QString& name) const;
    int headerCount(const QString& name) const;
};

// A real SMTP server (tests/support/smtp_sink.py on aiosmtpd) on 127.0.0.1,
// running as long as this object lives.
class SmtpSink {
public:
    enum class Mode {
        Accept,           // takes every message
        RefuseRecipients, // answers every RCPT with "550 5.7.1 Recipient refused by the test sink"
        // Hung servers; each lets go of a client after 30 s, so that a client
        // without a time-out fails its test rather than hanging it.
        Mute,             // accepts connections and never says a word
        Stall,            // talks, takes the message, never confirms it
    };
    struct Options {
        Mode mode = Mode::Accept;
        // "user:password": offers AUTH without TLS and accepts that login only.
        QString auth;
        // How late each reply to MAIL, RCPT and DATA comes, as from a server under load.
        std::chrono::milliseconds replyDelay{0};
    };

    SmtpSink() : SmtpSink(Options{}) {}
    explicit SmtpSink(Mode mode) : SmtpSink(Options{mode, {}, {}}) {}
    // Throws std::runtime_error when the server does not come up.
    explicit SmtpSink(const Options& options);
    ~SmtpSink();
    SmtpSink(const SmtpSink&) = delete;
    SmtpSink& operator=(const SmtpSink&) = delete;

    quint16 port() const { return port_; }
    QString folder() const { return dir_.path(); }

    // Waits until at least `count` messages are stored; false on time-out.
    bool waitForMessages(int count, std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
    // Everything received so far, in arrival order.
    QList<ReceivedMail> messages() const;

    // A loopback port on which nothing listens: connecting to it is refused.
    static quint16 unusedPort();
    // The folder holding tests/support/smtp_sink.py: $QEL_SOURCE_DIR, else the
    // first folder above the test program that has it, else the source tree
    // this helper was compiled from. Empty when none has it.
    static QString sourceDir();

private:
    int storedCount() const;

    QTemporaryDir dir_;
    QProcess process_;
    quint16 port_ = 0;
};
