#include "platform/db/Connection.h"

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <utility>

#include "platform/db/DbError.h"
#include "platform/db/Statement.h"
#include "platform/db/Table.h"

namespace qb::db {

namespace {

std::function<bool(const std::string&)>& writeAccessQuery() {
    static std::function<bool(const std::string&)> query;
    return query;
}

bool mayWrite(const std::string& path) {
    const auto& query = writeAccessQuery();
    return query ? query(path) : ::access(path.c_str(), W_OK) == 0;
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

bool DatabaseWritable(const std::string& path) {
    return mayWrite(path) && mayWrite(folderOf(path));
}

void SetWriteAccessQuery(std::function<bool(const std::string& path)> query) {
    writeAccessQuery() = std::move(query);
}

Connection::~Connection() {
    Close();
    for (Table* table : tables_) {
        table->connection_ = nullptr;
    }
}

void Connection::SetDatabasePath(std::string path) {
    if (Connected()) {
        throw Error("Cannot change the database of an open connection");
    }
    path_ = std::move(path);
}

void Connection::Open() {
    if (Connected()) {
        return;
    }
    bool readOnly = forceReadOnly_ || !DatabaseWritable(path_);
    int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(path_.c_str(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        sqlite3_close_v2(db);
        throw Error(message);
    }
    db_ = db;
    try {
        sqlite3_busy_timeout(db_, BusyTimeoutMs);
        sqlite3_extended_result_codes(db_, 1);
        // A double-quoted name must never turn into a string when no such column exists.
        sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
        sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
        // Reading the schema is what finds a file that is not a database at all.
        Execute("SELECT count(*) FROM sqlite_master");
        Execute("PRAGMA synchronous=FULL");
        // Up to 64 MB of the file's pages are kept once read (a ten-year diary is about 20 MB):
        // a search reads every row, and a second search then reads none of the file again.
        // Not a mapping of the file: a disk that goes away under a mapping ends the program
        // with the pages still unsaved, where a read gives an error the program can show.
        Execute("PRAGMA cache_size=-65536");
    } catch (...) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
        throw;
    }
}

void Connection::Close() {
    for (Table* table : tables_) {
        table->Close();
    }
    if (db_) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

bool Connection::ReadOnly() const {
    return db_ && sqlite3_db_readonly(db_, "main") == 1;
}

void Connection::Execute(std::string_view sql) {
    if (!db_) {
        throw Error("The database connection is closed");
    }
    std::string text(sql);
    char* message = nullptr;
    if (sqlite3_exec(db_, text.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        std::string copy = message ? message : sqlite3_errmsg(db_);
        sqlite3_free(message);
        throw Error(copy);
    }
}

void Connection::CopyCompactedTo(const std::string& target) {
    if (!db_) {
        throw Error("The database connection is closed");
    }
    Statement vacuum(db_, "VACUUM INTO ?1");
    vacuum.bindText(1, target);
    vacuum.run();
}

void Connection::attach(Table* table) {
    tables_.push_back(table);
}

void Connection::detach(Table* table) {
    std::erase(tables_, table);
}

}  // namespace qb::db
