#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <ostream>

// Readable failure messages for Qt values in GoogleTest assertions.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

inline void PrintTo(const QStringList& list, std::ostream* os)
{
    *os << '{';
    for (int i = 0; i < list.size(); ++i)
        *os << (i ? ", \"" : "\"") << list[i].toStdString() << '"';
    *os << '}';
}

inline void PrintTo(const QVariant& v, std::ostream* os)
{
    *os << (v.isNull() ? std::string("<null>") : v.toString().toStdString());
}
