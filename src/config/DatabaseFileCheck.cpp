#include "DatabaseFileCheck.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>

namespace {

// The check reads the file's structure, not the order of the engine's own
// collations: any collation a table names stands in as a plain comparison.
int plainCompare(void*, int lengthA, const void* a, int lengthB, const void* b)
{
    const int common = std::memcmp(a, b, size_t(std::min(lengthA, lengthB)));
    return common != 0 ? common : lengthA - lengthB;
}

void addPlainCollation(void*, sqlite3* handle, int, const char* name)
{
    sqlite3_create_collation(handle, name, SQLITE_UTF8, nullptr, plainCompare);
}

} // namespace

QString databaseFileDamage(const QString& file)
{
    sqlite3* handle = nullptr;
    QString damage;
    if (sqlite3_open_v2(file.toUtf8().constData(), &handle, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        damage = QString::fromUtf8(sqlite3_errmsg(handle));
    } else {
        sqlite3_collation_needed(handle, nullptr, addPlainCollation);
        sqlite3_stmt* check = nullptr;
        if (sqlite3_prepare_v2(handle, "PRAGMA quick_check(1)", -1, &check, nullptr) != SQLITE_OK) {
            damage = QString::fromUtf8(sqlite3_errmsg(handle));
        } else if (const int rc = sqlite3_step(check); rc != SQLITE_ROW) {
            damage = QString::fromUtf8(sqlite3_errmsg(handle));
        } else {
            const QString answer = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)));
            if (answer != QLatin1String("ok"))
                damage = answer.simplified();
        }
        sqlite3_finalize(check);
    }
    sqlite3_close(handle);
    return damage;
}
