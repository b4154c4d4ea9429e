#pragma once

#include "SmtpSettings.h"

#include <QString>

namespace mail {

// What became of one mail: ok, or why not, in words for the support log.
struct SendResult {
    bool ok = false;
    QString error;
    explicit operator bool() const { return ok; }
};

// Mails short plain-text reports (the "Send Error" button of the error
// handler) to the one support mailbox.
class SmtpClient {
public:
    // Sends one message from settings.sender to settings.recipient alone.
    // Blocks until the server has taken the message or failed, at most
    // settings.timeoutSeconds in all. Never throws: every failure, from a bad
    // address to a dead server, comes back as an error text.
    //
    // The body is sent exactly as given: its line breaks may be bare CRs, as
    // the report writes them, and the recipient decodes the same characters.
    static SendResult send(const SmtpSettings& settings, const QString& subject, const QString& body);
};

} // namespace mail
