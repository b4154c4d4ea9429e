#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

#include <stdexcept>

// A command-line argument that does not convert.
class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

// Argument `position` (counted from 1) or empty text when it is missing.
QString argumentAt(const QStringList& arguments, int position);

// A date in the workstation's short date format (a four-digit year is
// accepted where the format has two digits). Throws ConversionError
// "'TEXT' is not a valid date".
QDate toWorkDate(const QString& text, const QLocale& locale = QLocale());

// A decimal 32-bit integer. Throws ConversionError "'TEXT' is not a valid
// integer value".
int toInteger(const QString& text);
