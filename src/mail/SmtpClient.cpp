#include "SmtpClient.h"

#include <QDateTime>
#include <QLocale>
#include <QUrl>
#include <QUuid>

#include <curl/curl.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <string>

namespace mail {

namespace {

// Header lines are kept within the 78 characters every mail system accepts.
constexpr int HeaderLineLimit = 78;
// Quoted-printable lines are at most 76 characters, the soft break's "=" included.
constexpr int EncodedLineLimit = 76;
// UTF-8 bytes per encoded word: 39 bytes make 52 of Base64, and
// "Subject: =?utf-8?B?" + 52 + "?=" stays within the header line limit.
constexpr int EncodedWordBytes = 39;

bool isAscii(const QString& text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar ch) { return ch.unicode() < 0x80; });
}

bool isPrintableAscii(QChar ch)
{
    return ch.unicode() >= 0x20 && ch.unicode() < 0x7f;
}

// Addresses go into the envelope as <address> and into the headers as they
// are: nothing that could close the brackets or start a new line or command.
bool isPlainAddress(const QString& address)
{
    if (address.isEmpty())
        return false;
    return std::all_of(address.cbegin(), address.cend(), [](QChar ch) {
        return isPrintableAscii(ch) && ch != QLatin1Char(' ') && ch != QLatin1Char('<') && ch != QLatin1Char('>');
    });
}

bool hasControlCharacters(const QString& text)
{
    return std::any_of(text.cbegin(), text.cend(),
                       [](QChar ch) { return ch.unicode() < 0x20 || ch.unicode() == 0x7f; });
}

QByteArray dateValue(const QDateTime& now)
{
    // English day and month names, as mail requires, whatever the machine's
    // locale.
    const int minutes = now.offsetFromUtc() / 60;
    const QString zone = QString::asprintf("%c%02d%02d", minutes < 0 ? '-' : '+', std::abs(minutes) / 60,
                                           std::abs(minutes) % 60);
    return (QLocale::c().toString(now, QStringLiteral("ddd, dd MMM yyyy hh:mm:ss ")) + zone).toLatin1();
}

QByteArray messageId(const QString& sender)
{
    QString domain = sender.section(QLatin1Char('@'), -1);
    if (!sender.contains(QLatin1Char('@')) || domain.isEmpty())
        domain = QStringLiteral("localhost");
    return "<" + QUuid::createUuid().toString(QUuid::WithoutBraces).toLatin1() + "@" + domain.toLatin1() + ">";
}

// The Subject line, folded. A plain ASCII subject that fits goes as it is;
// anything else (Thai, control characters, text that would read as an
// encoded word, edge spaces a reader would drop, an over-long line) goes as
// RFC 2047 Base64 words of whole characters.
QByteArray subjectLine(QString subject)
{
    // A subject is one line: a break in it would start a header of its own.
    for (QChar& ch : subject) {
        if (ch == QLatin1Char('\r') || ch == QLatin1Char('\n'))
            ch = QLatin1Char(' ');
    }
    const QByteArray name = "Subject: ";
    const bool plain = name.size() + subject.size() <= HeaderLineLimit &&
                       std::all_of(subject.cbegin(), subject.cend(), isPrintableAscii) &&
                       !subject.contains(QLatin1String("=?")) && !subject.startsWith(QLatin1Char(' ')) &&
                       !subject.endsWith(QLatin1Char(' '));
    if (plain)
        return name + subject.toLatin1() + "\r\n";

    QByteArray line = name;
    QByteArray word;
    bool first = true;
    const auto flush = [&] {
        if (!first)
            line += "\r\n ";
        line += "=?utf-8?B?" + word.toBase64() + "?=";
        word.clear();
        first = false;
    };
    for (qsizetype i = 0; i < subject.size();) {
        const qsizetype length =
            subject[i].isHighSurrogate() && i + 1 < subject.size() && subject[i + 1].isLowSurrogate() ? 2 : 1;
        const QByteArray bytes = QStringView(subject).mid(i, length).toUtf8();
        if (word.size() + bytes.size() > EncodedWordBytes)
            flush();
        word += bytes;
        i += length;
    }
    if (!word.isEmpty())
        flush();
    return line + "\r\n";
}

// Quoted-printable without hard line breaks: every CR and LF of the text is
// encoded (=0D, =0A), so the report's bare CRs come back exactly and the
// SMTP stream carries CRLF only, at the soft breaks. The text ends with a
// soft break too, so the decoder adds no line end of its own. A line that
// would start with "." or "From " starts with an encoded character instead,
// so neither the transport's dot-stuffing nor an mbox's ">From" can touch it.
QByteArray quotedPrintable(const QByteArray& bytes)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray out;
    out.reserve(bytes.size() * 3 + bytes.size() / 24 + 3);
    int lineLength = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        bool literal = (b >= 33 && b <= 126 && b != '=') || b == ' ' || b == '\t';
        if (lineLength + (literal ? 1 : 3) > EncodedLineLimit - 1) {
            out += "=\r\n";
            lineLength = 0;
        }
        if (lineLength == 0 && (b == '.' || (b == 'F' && bytes.mid(i + 1, 4) == "rom ")))
            literal = false;
        if (literal) {
            out += char(b);
            ++lineLength;
        } else {
            out += '=';
            out += hex[b >> 4];
            out += hex[b & 15];
            lineLength += 3;
        }
    }
    if (!bytes.isEmpty())
        out += "=\r\n";
    return out;
}

QByteArray composeMessage(const SmtpSettings& settings, const QString& subject, const QString& body)
{
    // us-ascii where it is true keeps plain reports readable by anything.
    const QByteArray charset = isAscii(subject) && isAscii(body) ? "us-ascii" : "utf-8";
    QByteArray message;
    message += "Date: " + dateValue(QDateTime::currentDateTime()) + "\r\n";
    message += "From: " + settings.sender.toLatin1() + "\r\n";
    message += "To: " + settings.recipient.toLatin1() + "\r\n";
    message += subjectLine(subject);
    message += "Message-ID: " + messageId(settings.sender) + "\r\n";
    message += "MIME-Version: 1.0\r\n";
    message += "Content-Type: text/plain; charset=\"" + charset + "\"\r\n";
    message += "Content-Transfer-Encoding: quoted-printable\r\n";
    message += "\r\n";
    message += quotedPrintable(body.toUtf8());
    return message;
}

QString urlHost(const QString& host)
{
    // An IPv6 address is written in brackets in a URL.
    if (host.contains(QLatin1Char(':')) && !host.startsWith(QLatin1Char('[')))
        return QLatin1Char('[') + host + QLatin1Char(']');
    return host;
}

bool isPlainHost(const QString& host)
{
    static const QString forbidden = QStringLiteral(" /?#@\\");
    return !host.isEmpty() && std::all_of(host.cbegin(), host.cend(), [](QChar ch) {
        return isPrintableAscii(ch) && !forbidden.contains(ch);
    });
}

struct Upload {
    const QByteArray* data = nullptr;
    qsizetype offset = 0;
};

size_t readMessage(char* buffer, size_t size, size_t count, void* userdata)
{
    auto* upload = static_cast<Upload*>(userdata);
    const size_t left = static_cast<size_t>(upload->data->size() - upload->offset);
    const size_t n = std::min(size * count, left);
    std::memcpy(buffer, upload->data->constData() + upload->offset, n);
    upload->offset += static_cast<qsizetype>(n);
    return n;
}

// Keeps the server's last refusal (a 4xx or 5xx reply), which says why in
// its own words; the polite reply to the closing QUIT must not replace it.
int watchServer(CURL*, curl_infotype type, char* data, size_t size, void* userdata)
{
    if (type == CURLINFO_HEADER_IN && size > 0 && (data[0] == '4' || data[0] == '5')) {
        try {
            static_cast<std::string*>(userdata)->assign(data, size);
        } catch (...) {
        }
    }
    return 0;
}

bool curlReady()
{
    static const CURLcode code = curl_global_init(CURL_GLOBAL_DEFAULT);
    return code == CURLE_OK;
}

struct CurlCleanup {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct SlistCleanup {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

SendResult failure(const QString& text)
{
    return SendResult{false, text};
}

SendResult transfer(const SmtpSettings& settings, const QString& subject, const QString& body)
{
    if (!isPlainHost(settings.host))
        return failure(QStringLiteral("Invalid mail server name \"%1\"").arg(settings.host));
    if (settings.port < 1 || settings.port > 65535)
        return failure(QStringLiteral("Invalid mail server port %1").arg(settings.port));
    if (!isPlainAddress(settings.sender))
        return failure(QStringLiteral("Invalid sender address \"%1\"").arg(settings.sender));
    if (!isPlainAddress(settings.recipient))
        return failure(QStringLiteral("Invalid recipient address \"%1\"").arg(settings.recipient));
    if (hasControlCharacters(settings.identity))
        return failure(QStringLiteral("Invalid mail identity \"%1\"").arg(settings.identity));
    if (!curlReady())
        return failure(QStringLiteral("The mail library could not be initialised"));

    // Everything the handle points to is declared before it: cleaning the
    // handle up (the closing QUIT) still writes to the buffers and the hook.
    const QByteArray message = composeMessage(settings, subject, body);
    Upload upload{&message, 0};
    // A time-out of 0 means "wait for ever" to libcurl: never that.
    const long timeout = settings.timeoutSeconds > 0 ? settings.timeoutSeconds : SmtpSettings{}.timeoutSeconds;
    const QByteArray url = "smtp://" + urlHost(settings.host).toUtf8() + ":" + QByteArray::number(settings.port) +
                           "/" + QUrl::toPercentEncoding(settings.identity);
    const QByteArray from = "<" + settings.sender.toLatin1() + ">";
    const QByteArray to = "<" + settings.recipient.toLatin1() + ">";
    const QByteArray user = settings.identity.toUtf8();
    const QByteArray password = settings.password.toUtf8();
    const std::unique_ptr<curl_slist, SlistCleanup> recipients(curl_slist_append(nullptr, to.constData()));
    if (!recipients)
        return failure(QStringLiteral("Out of memory while preparing the mail"));

    char errorText[CURL_ERROR_SIZE] = {};
    std::string refusalReply;

    const std::unique_ptr<CURL, CurlCleanup> curl(curl_easy_init());
    if (!curl)
        return failure(QStringLiteral("The mail library could not be initialised"));
    CURL* h = curl.get();
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(h, CURLOPT_URL, url.constData());
#if LIBCURL_VERSION_NUM >= 0x075500
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "smtp");
#else
    curl_easy_setopt(h, CURLOPT_PROTOCOLS, static_cast<long>(CURLPROTO_SMTP));
#endif
    // Straight to the mail server: proxy variables set for web browsing on
    // the till must not capture the report.
    curl_easy_setopt(h, CURLOPT_PROXY, "");
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, timeout);
    curl_easy_setopt(h, CURLOPT_TIMEOUT, timeout);
    // After a delivered message the closing QUIT is sent when the handle is
    // cleaned up, outside the transfer's time-out; its reply is awaited this
    // long (two minutes by default).
    curl_easy_setopt(h, CURLOPT_SERVER_RESPONSE_TIMEOUT, timeout);
    curl_easy_setopt(h, CURLOPT_MAIL_FROM, from.constData());
    curl_easy_setopt(h, CURLOPT_MAIL_RCPT, recipients.get());
    if (!settings.password.isEmpty()) {
        curl_easy_setopt(h, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(h, CURLOPT_PASSWORD, password.constData());
    }
    curl_easy_setopt(h, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(h, CURLOPT_READFUNCTION, readMessage);
    curl_easy_setopt(h, CURLOPT_READDATA, &upload);
    curl_easy_setopt(h, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(message.size()));
    // The debug hook only listens for the server's replies; nothing is printed.
    curl_easy_setopt(h, CURLOPT_DEBUGFUNCTION, watchServer);
    curl_easy_setopt(h, CURLOPT_DEBUGDATA, &refusalReply);
    curl_easy_setopt(h, CURLOPT_VERBOSE, 1L);

    const CURLcode code = curl_easy_perform(h);
    if (code == CURLE_OK)
        return SendResult{true, QString()};

    // A server that has just timed out would also keep the clerk waiting
    // for its answer to QUIT: cut the line, libcurl still closes it.
    curl_socket_t socket = CURL_SOCKET_BAD;
    if (curl_easy_getinfo(h, CURLINFO_ACTIVESOCKET, &socket) == CURLE_OK && socket != CURL_SOCKET_BAD)
        ::shutdown(socket, SHUT_RDWR);

    // libcurl's own detail where it gave one, its general wording otherwise.
    QString detail = QString::fromUtf8(errorText).trimmed();
    if (detail.isEmpty())
        detail = QString::fromUtf8(curl_easy_strerror(code));
    const QString refusal = QString::fromUtf8(refusalReply).trimmed();
    if (!refusal.isEmpty())
        detail += QStringLiteral(" (server said: ") + refusal + QLatin1Char(')');
    return failure(QStringLiteral("Could not mail %1 through %2:%3: %4")
                       .arg(settings.recipient, settings.host, QString::number(settings.port), detail));
}

} // namespace

SendResult SmtpClient::send(const SmtpSettings& settings, const QString& subject, const QString& body)
{
    try {
        return transfer(settings, subject, body);
    } catch (const std::exception& e) {
        return failure(QStringLiteral("Could not mail the report: ") + QString::fromLocal8Bit(e.what()));
    } catch (...) {
        return failure(QStringLiteral("Could not mail the report"));
    }
}

} // namespace mail
