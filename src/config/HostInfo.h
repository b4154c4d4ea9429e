#pragma once

#include <QString>

// What the error log and the error report say about this computer.
namespace host {

// The computer's network name, blanks and control characters trimmed.
QString computerName();
// The logged-on user's name, upper-cased; "UNKNOWN" when it cannot be had.
QString userName();
// This computer's IPv4 address in dotted form: the last address the host
// name resolves to, or empty when it does not resolve.
QString localIpAddress();
// The same rule for any host name (the name service is asked each time).
QString lastIpv4Address(const QString& hostName);

} // namespace host
