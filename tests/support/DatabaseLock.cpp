#include "DatabaseLock.h"

#include <sqlite3.h>

#include <stdexcept>
#include <string>

DatabaseLock::DatabaseLock(const QString& file)
{
    if (sqlite3_open_v2(file.toUtf8().constData(), &handle_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        release();
        throw std::runtime_error("cannot open " + file.toStdString());
    }
    // A transaction that has written and never ends, as a program stuck in
    // the middle of a change leaves it.
    char* error = nullptr;
    if (sqlite3_exec(handle_, "BEGIN EXCLUSIVE; CREATE TABLE test_lock_holder (x);", nullptr, nullptr, &error)
        != SQLITE_OK) {
        const std::string why = error ? error : "?";
        sqlite3_free(error);
        release();
        throw std::runtime_error("cannot lock " + file.toStdString() + ": " + why);
    }
}

DatabaseLock::~DatabaseLock()
{
    release();
}

void DatabaseLock::release()
{
    sqlite3_close(handle_);
    handle_ = nullptr;
}
