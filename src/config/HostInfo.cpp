#include "HostInfo.h"

#include "Trim.h"

#include <QSysInfo>

#include <arpa/inet.h>
#include <netdb.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace host {

QString computerName()
{
    return trimmedOfControls(QSysInfo::machineHostName());
}

QString userName()
{
    QString name;
    if (const passwd* pw = getpwuid(geteuid()))
        name = QString::fromLocal8Bit(pw->pw_name);
    if (name.isEmpty())
        name = qEnvironmentVariable("USER");
    if (name.isEmpty())
        name = QStringLiteral("Unknown");
    return name.toUpper();
}

QString lastIpv4Address(const QString& hostName)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    if (hostName.isEmpty() || getaddrinfo(hostName.toLocal8Bit().constData(), nullptr, &hints, &list) != 0)
        return QString();
    // Each address replaces the one before: the last of the list is taken.
    QString result;
    for (const addrinfo* a = list; a; a = a->ai_next) {
        char text[INET_ADDRSTRLEN] = {};
        const auto* in = reinterpret_cast<const sockaddr_in*>(a->ai_addr);
        if (inet_ntop(AF_INET, &in->sin_addr, text, sizeof text))
            result = QString::fromLatin1(text);
    }
    freeaddrinfo(list);
    return result;
}

QString localIpAddress()
{
    char name[64] = {};
    if (gethostname(name, sizeof name - 1) != 0)
        return QString();
    return lastIpv4Address(QString::fromLocal8Bit(name));
}

} // namespace host
