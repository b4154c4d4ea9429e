#pragma once

// A fresh in-memory SQLite database with the SQL Server built-ins registered,
// and readers of the first column of a SELECT: the value with its SQLite type,
// or the error text SQL Server would give.

#include "db/sqlite/SqlServerFunctions.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

namespace dbtest {

struct Value {
    int type = SQLITE_NULL;
    long long i = 0;
    double r = 0;
    std::string text;
};

class SqlServerFunctionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(sqlite3_open(":memory:", &db_), SQLITE_OK);
        db::sqlite::registerSqlServerFunctions(db_);
    }
    void TearDown() override { sqlite3_close(db_); }

    // The first column of every row; a failure is reported unless `error`
    // is given to receive its message.
    std::vector<Value> column(const std::string& sql, std::string* error = nullptr)
    {
        std::vector<Value> rows;
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
            if (error)
                *error = sqlite3_errmsg(db_);
            else
                ADD_FAILURE() << sql << ": " << sqlite3_errmsg(db_);
            return rows;
        }
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            Value v;
            v.type = sqlite3_column_type(stmt, 0);
            if (v.type == SQLITE_INTEGER)
                v.i = sqlite3_column_int64(stmt, 0);
            else if (v.type == SQLITE_FLOAT)
                v.r = sqlite3_column_double(stmt, 0);
            else if (v.type == SQLITE_TEXT)
                v.text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
            rows.push_back(v);
        }
        if (rc != SQLITE_DONE) {
            if (error)
                *error = sqlite3_errmsg(db_);
            else
                ADD_FAILURE() << sql << ": " << sqlite3_errmsg(db_);
        }
        sqlite3_finalize(stmt);
        return rows;
    }

    Value one(const std::string& sql)
    {
        const auto rows = column(sql);
        EXPECT_EQ(rows.size(), 1u) << sql;
        return rows.empty() ? Value{} : rows.front();
    }

    std::string text(const std::string& sql)
    {
        const Value v = one(sql);
        EXPECT_EQ(v.type, SQLITE_TEXT) << sql;
        return v.text;
    }

    long long integer(const std::string& sql)
    {
        const Value v = one(sql);
        EXPECT_EQ(v.type, SQLITE_INTEGER) << sql;
        return v.i;
    }

    double real(const std::string& sql)
    {
        const Value v = one(sql);
        EXPECT_EQ(v.type, SQLITE_FLOAT) << sql;
        return v.r;
    }

    bool isNull(const std::string& sql) { return one(sql).type == SQLITE_NULL; }

    std::string error(const std::string& sql)
    {
        std::string message;
        column(sql, &message);
        EXPECT_FALSE(message.empty()) << sql << " did not fail";
        return message;
    }

    void exec(const std::string& sql)
    {
        char* message = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
            ADD_FAILURE() << sql << ": " << (message ? message : "");
            sqlite3_free(message);
        }
    }

    sqlite3* db_ = nullptr;
};

inline const std::string kDateConversion = "Conversion failed when converting date and/or time from character string.";

} // namespace dbtest
