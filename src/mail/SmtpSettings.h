#pragma once

#include <QString>

namespace mail {

// Where and how the error report is mailed. Read from section [MAIL] of the
// site's QEL.INI; the defaults reach a mail server on the same machine.
struct SmtpSettings {
    QString host = QStringLiteral("localhost");
    int port = 25;
    // The reporting identity: the domain announced in EHLO, and the login
    // name, but only when a password is set.
    QString identity;
    QString password;
    QString sender = QStringLiteral("priceinquiry@localhost");
    QString recipient = QStringLiteral("support@localhost");
    int timeoutSeconds = 10;
};

// Reads [MAIL] from the INI file at `iniPath` (Host, Port, Identity, Password,
// Sender, Recipient, TimeoutSeconds). Section and key names match in any
// letter case, as on the Windows sites whose files are written by hand. A
// missing file, section or key, an empty host/sender/recipient, or a port or
// time-out that is not a usable number keeps the default. Never writes.
SmtpSettings readSmtpSettings(const QString& iniPath);

} // namespace mail
