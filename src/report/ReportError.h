#pragma once

#include <QString>

#include <stdexcept>

namespace report {

// Every fault of the report engine: a layout file that cannot be read or
// makes no sense, data that does not match the layout, a printer that cannot
// be used. The text is meant for the clerk's error window, so it names the
// file (and line) or the printer concerned.
class ReportError : public std::runtime_error {
public:
    explicit ReportError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }

    QString message() const { return m_message; }

private:
    QString m_message;
};

} // namespace report
