#pragma once

#include <QString>

// What is wrong with an embedded database file, in the words of SQLite's own
// quick check ("file is not a database", "Page 5: btreeInitPage() returns
// error code 11"), or empty when the file is sound. Reads the file only.
QString databaseFileDamage(const QString& file);
