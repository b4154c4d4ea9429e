#pragma once

#include <QString>

// Removes leading and trailing blanks and control characters, as the suite
// trims texts it reads from files, the command line and the database.
inline QString trimmedOfControls(const QString& s)
{
    int begin = 0;
    int end = int(s.size());
    while (begin < end && s[begin].unicode() <= 32)
        ++begin;
    while (end > begin && s[end - 1].unicode() <= 32)
        --end;
    return s.mid(begin, end - begin);
}
