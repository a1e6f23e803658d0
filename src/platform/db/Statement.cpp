#include "platform/db/Statement.h"

#include <sqlite3.h>

#include <utility>

#include "platform/db/DbError.h"

namespace qb::db {

void raiseLastError(sqlite3* db) {
    throw Error(db ? sqlite3_errmsg(db) : "no database connection");
}

Statement::Statement(sqlite3* db, std::string_view sql) : db_(db) {
    if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr) !=
        SQLITE_OK) {
        std::string message = sqlite3_errmsg(db);
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        throw Error(message);
    }
}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

Statement::Statement(Statement&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)), stmt_(std::exchange(other.stmt_, nullptr)) {}

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(stmt_);
        db_ = std::exchange(other.db_, nullptr);
        stmt_ = std::exchange(other.stmt_, nullptr);
    }
    return *this;
}

void Statement::bindText(int index, std::string_view text) {
    if (sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT) != SQLITE_OK) {
        raiseLastError(db_);
    }
}

void Statement::bindInt64(int index, std::int64_t value) {
    if (sqlite3_bind_int64(stmt_, index, value) != SQLITE_OK) {
        raiseLastError(db_);
    }
}

void Statement::bindNull(int index) {
    if (sqlite3_bind_null(stmt_, index) != SQLITE_OK) {
        raiseLastError(db_);
    }
}

bool Statement::step() {
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) {
        return true;
    }
    if (rc == SQLITE_DONE) {
        return false;
    }
    std::string message = sqlite3_errmsg(db_);
    sqlite3_reset(stmt_);
    throw Error(message);
}

void Statement::run() {
    while (step()) {
    }
}

void Statement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

std::optional<std::string> Statement::text(int column) const {
    if (sqlite3_column_type(stmt_, column) == SQLITE_NULL) {
        return std::nullopt;
    }
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    int size = sqlite3_column_bytes(stmt_, column);
    return std::string(data ? data : "", static_cast<std::size_t>(size));
}

std::int64_t Statement::int64(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

int Statement::columnCount() const {
    return sqlite3_column_count(stmt_);
}

std::string Statement::columnName(int column) const {
    const char* name = sqlite3_column_name(stmt_, column);
    return name ? name : "";
}

std::string quoteIdentifier(std::string_view name) {
    std::string quoted = "\"";
    for (char c : name) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    quoted += '"';
    return quoted;
}

}  // namespace qb::db
