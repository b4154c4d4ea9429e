#pragma once

#include <QList>
#include <QString>
#include <QVariant>

#include <functional>

namespace report {

// One [...] in an item's text.
struct Placeholder {
    enum class Kind {
        Field,    // [ProductName]    the current row's value
        Variable, // [Var.Name]       a value the caller set
        Page,     // [PAGE]           this page's number
        Pages,    // [PAGES]          the number of pages
        Sum,      // [SUM(Total)]     total of a field over the band's rows
        Count,    // [COUNT]          number of rows the band covers
        Line,     // [LINE]           the current row's number, from 1
    };

    Kind kind = Kind::Field;
    QString name;   // field or variable name; empty for the others
    QString format; // what followed the first ':'; empty for none
};

// An item's text split into literal runs and placeholders. "[[" writes a
// literal '['; a lone ']' is literal as it stands.
class TextTemplate {
public:
    struct Part {
        QString literal;       // used when !isPlaceholder
        Placeholder placeholder;
        bool isPlaceholder = false;
    };

    // Returns false and fills *error for text that cannot be read, such as
    // an unclosed '[' or an unknown function.
    static bool parse(const QString& text, TextTemplate* out, QString* error);

    const QList<Part>& parts() const { return m_parts; }
    bool hasPlaceholders() const;

    QString render(const std::function<QString(const Placeholder&)>& value) const;

private:
    QList<Part> m_parts;
};

// True when the picture is a number picture (it holds a '0' or '#');
// anything else is taken as a date/time picture.
bool isNumberFormat(const QString& format);

// Writes a number through a picture such as "#,##0.00" or "#,##0.## บาท":
// '0' a digit always written, '#' a digit written only when needed, ','
// (anywhere in the integer digits) thousands grouping, '.' the decimal
// point, left out when no decimal follows. Text before and after the digits
// is kept as it is. Rounds half away from zero on the value's shortest
// decimal spelling, so 2.675 gives 2.68 as a clerk would expect.
QString formatNumber(double value, const QString& format);

// A placeholder's value as text: a number picture for numbers (and text that
// reads as one), a date/time picture for dates and times (and ISO date
// text), the value's own spelling without a picture; null prints nothing.
QString formatValue(const QVariant& value, const QString& format);

} // namespace report
