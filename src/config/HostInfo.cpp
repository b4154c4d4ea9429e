#include "HostInfo.h"

#include "Trim.h"

#include <QSysInfo>

#include <arpa/inet.h>
#include <netdb.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

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
    if (hostName.isEmpty())
        return QString();
    // gethostbyname keeps the order the name service lists the addresses in;
    // getaddrinfo would sort them by its own preference first.
    hostent entry{};
    hostent* found = nullptr;
    std::vector<char> buffer(8192);
    int error = 0;
    while (gethostbyname2_r(hostName.toLocal8Bit().constData(), AF_INET, &entry, buffer.data(), buffer.size(), &found,
                            &error)
           == ERANGE)
        buffer.resize(buffer.size() * 2);
    if (!found || found->h_addrtype != AF_INET)
        return QString();
    // Each address replaces the one before: the last of the list is taken.
    QString result;
    for (char** address = found->h_addr_list; *address; ++address) {
        char text[INET_ADDRSTRLEN] = {};
        if (inet_ntop(AF_INET, *address, text, sizeof text))
            result = QString::fromLatin1(text);
    }
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
