#pragma once
// Runs SQL straight on a database file, beside the program's own connection: to make a file's
// tables, or to spoil them as another program or a damaged disk would.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QString>

#include <string>

namespace qb::test {

// Fails the test when the file cannot be opened or the SQL fails.
inline void runSql(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(
        sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr),
        SQLITE_OK);
    char* message = nullptr;
    int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message);
    std::string text = message ? message : "";
    sqlite3_free(message);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << text;
}

inline void runSql(const QString& path, const std::string& sql) {
    runSql(path.toStdString(), sql);
}

}  // namespace qb::test
