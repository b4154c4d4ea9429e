#pragma once

#include <QString>

// The clerk's Thai reading of a well-known database or system message: the
// first fragment of the table found in the message (without regard to
// letter case) gives the text; an unknown message is shown upper-cased.
QString translateErrorMessage(const QString& message);

// Upper-cases the letters a to z only (Thai and other letters stay as they are).
QString upperAscii(const QString& text);
