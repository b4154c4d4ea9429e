#include "SmtpSink.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace {

const QString ScriptPath = QStringLiteral("tests/support/smtp_sink.py");
// Debian's python3-aiosmtpd serves the system interpreter, which need not be
// the first python3 on PATH.
const QString Python = QStringLiteral("/usr/bin/python3");

bool holdsScript(const QString& folder)
{
    return !folder.isEmpty() && QFileInfo(QDir(folder).filePath(ScriptPath)).isFile();
}

QStringList stringsOf(const QJsonValue& value)
{
    QStringList list;
    for (const QJsonValue& item : value.toArray())
        list << item.toString();
    return list;
}

ReceivedMail mailFrom(const QJsonObject& o)
{
    ReceivedMail mail;
    mail.envelopeFrom = o.value(QLatin1String("mail_from")).toString();
    mail.recipients = stringsOf(o.value(QLatin1String("rcpt_tos")));
    mail.helo = o.value(QLatin1String("helo")).toString();
    mail.login = o.value(QLatin1String("login")).toString();
    mail.raw = QByteArray::fromBase64(o.value(QLatin1String("raw")).toString().toLatin1());
    for (const QJsonValue& pair : o.value(QLatin1String("headers")).toArray())
        mail.headers.append({pair.toArray().at(0).toString(), pair.toArray().at(1).toString()});
    mail.subject = o.value(QLatin1String("subject")).toString();
    mail.date = o.value(QLatin1String("date")).toString();
    mail.contentType = o.value(QLatin1String("content_type")).toString();
    mail.charset = o.value(QLatin1String("charset")).toString();
    mail.transferEncoding = o.value(QLatin1String("transfer_encoding")).toString();
    mail.bodyBytes = QByteArray::fromBase64(o.value(QLatin1String("body_bytes")).toString().toLatin1());
    mail.body = o.value(QLatin1String("body")).toString();
    mail.defects = stringsOf(o.value(QLatin1String("defects")));
    return mail;
}

} // namespace

QString ReceivedMail::header(const QString& name) const
{
    for (const auto& [key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

int ReceivedMail::headerCount(const QString& name) const
{
    int n = 0;
    for (const auto& [key, value] : headers)
        n += key.compare(name, Qt::CaseInsensitive) == 0 ? 1 : 0;
    return n;
}

QString SmtpSink::sourceDir()
{
    const QString fromEnvironment = qEnvironmentVariable("QEL_SOURCE_DIR");
    if (holdsScript(fromEnvironment))
        return QDir(fromEnvironment).absolutePath();
    if (QCoreApplication::instance()) {
        QDir dir(QCoreApplication::applicationDirPath());
        do {
            if (holdsScript(dir.path()))
                return dir.absolutePath();
        } while (dir.cdUp());
    }
    // Build folders outside the source tree still find it this way.
    QDir compiledFrom = QFileInfo(QStringLiteral(__FILE__)).absoluteDir();
    if (compiledFrom.cd(QStringLiteral("../..")) && holdsScript(compiledFrom.path()))
        return compiledFrom.absolutePath();
    return {};
}

SmtpSink::SmtpSink(const Options& options)
{
    if (!dir_.isValid())
        throw std::runtime_error("SmtpSink: no temporary folder");
    const QString source = sourceDir();
    if (source.isEmpty())
        throw std::runtime_error("SmtpSink: smtp_sink.py not found; set QEL_SOURCE_DIR to the source tree");

    QStringList args{QDir(source).filePath(ScriptPath), dir_.path()};
    if (options.mode == Mode::RefuseRecipients)
        args << QStringLiteral("--refuse-recipients");
    if (options.mode == Mode::Mute)
        args << QStringLiteral("--mute");
    if (options.mode == Mode::Stall)
        args << QStringLiteral("--stall");
    if (!options.auth.isEmpty())
        args << QStringLiteral("--auth") << options.auth;
    if (options.replyDelay.count() > 0)
        args << QStringLiteral("--delay") << QString::number(options.replyDelay.count() / 1000.0);

    // The server's complaints land in the test's own output; an unread pipe
    // could also fill up and stall the server.
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.setProgram(Python);
    process_.setArguments(args);
    process_.start();
    if (!process_.waitForStarted(10000))
        throw std::runtime_error("SmtpSink: cannot start " + Python.toStdString() + ": " +
                                 process_.errorString().toStdString());

    // The script prints its port once it is listening.
    QByteArray out;
    const QDeadlineTimer deadline(15000);
    while (!out.contains('\n') && !deadline.hasExpired() && process_.state() == QProcess::Running) {
        process_.waitForReadyRead(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
        out += process_.readAllStandardOutput();
    }
    bool ok = false;
    const int port = out.trimmed().toInt(&ok);
    if (!out.contains('\n') || !ok || port <= 0 || port > 65535) {
        process_.kill();
        process_.waitForFinished(5000);
        throw std::runtime_error("SmtpSink: the SMTP server did not come up (its errors are above): " +
                                 out.toStdString());
    }
    port_ = static_cast<quint16>(port);
}

SmtpSink::~SmtpSink()
{
    if (process_.state() == QProcess::NotRunning)
        return;
    // Closing its input is the script's signal to stop.
    process_.closeWriteChannel();
    if (!process_.waitForFinished(5000)) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

int SmtpSink::storedCount() const
{
    return static_cast<int>(QDir(dir_.path()).entryList({QStringLiteral("*.json")}, QDir::Files).size());
}

bool SmtpSink::waitForMessages(int count, std::chrono::milliseconds timeout) const
{
    const QDeadlineTimer deadline(timeout);
    while (storedCount() < count) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
    return true;
}

QList<ReceivedMail> SmtpSink::messages() const
{
    QList<ReceivedMail> list;
    const QDir dir(dir_.path());
    for (const QString& name : dir.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            throw std::runtime_error("SmtpSink: cannot read " + name.toStdString());
        list.append(mailFrom(QJsonDocument::fromJson(file.readAll()).object()));
    }
    return list;
}

quint16 SmtpSink::unusedPort()
{
    // Bound but never listened on, then closed: the kernel picked a port
    // nobody uses, and a connection to it is refused at once.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        throw std::runtime_error("SmtpSink: no socket");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    const bool ok = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    ::close(fd);
    if (!ok)
        throw std::runtime_error("SmtpSink: cannot pick a free port");
    return ntohs(address.sin_port);
}
