#pragma once
// For tests of writes that must be in the diary file when they return: the file read by a
// connection of its own, as another program would read it.

#include <sqlite3.h>

#include <string>

namespace qbtest {

// The Entry column of the row of `table` whose `keyColumn` is `key`, read through a fresh
// read-only connection; "<no row>" when there is none.
inline std::string entryAsAnotherReaderSees(const std::string& databasePath, const char* table,
                                            const char* keyColumn, const std::string& key) {
    std::string entry = "<no row>";
    sqlite3* other = nullptr;
    if (sqlite3_open_v2(databasePath.c_str(), &other, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        const std::string sql =
            std::string("SELECT Entry FROM ") + table + " WHERE " + keyColumn + " = ?1";
        sqlite3_stmt* read = nullptr;
        if (sqlite3_prepare_v2(other, sql.c_str(), -1, &read, nullptr) == SQLITE_OK) {
            sqlite3_bind_text(read, 1, key.c_str(), -1, SQLITE_TRANSIENT);
            if (sqlite3_step(read) == SQLITE_ROW) {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(read, 0));
                entry = text ? text : "";
            }
        }
        sqlite3_finalize(read);
    }
    sqlite3_close(other);
    return entry;
}

}  // namespace qbtest
