#pragma once
// A prepared SQLite statement that finalizes itself. Every failure raises qb::db::Error with
// SQLite's message.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace qb::db {

class Statement {
  public:
    Statement(sqlite3* db, std::string_view sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;

    // Parameters are numbered from 1.
    void bindText(int index, std::string_view text);
    void bindInt64(int index, std::int64_t value);
    void bindNull(int index);

    // True while a row is there to read; false when the statement is done.
    bool step();
    // Runs the statement to its end.
    void run();
    // Ready to run again with new parameters.
    void reset();

    // Columns are numbered from 0; NULL gives nullopt. A number reads as its decimal text.
    std::optional<std::string> text(int column) const;
    std::int64_t int64(int column) const;
    int columnCount() const;
    std::string columnName(int column) const;

  private:
    sqlite3* db_ = nullptr;
    sqlite3_stmt* stmt_ = nullptr;
};

// An SQL identifier in double quotes, with inner quotes doubled.
std::string quoteIdentifier(std::string_view name);

// Raises Error with the connection's last message.
[[noreturn]] void raiseLastError(sqlite3* db);

}  // namespace qb::db
