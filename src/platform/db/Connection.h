#pragma once
// The one connection to a diary database file (an SQLite 3 file).
//
// Open only opens a file that exists; it never creates one. A file that cannot be written, or
// that lies in a folder that takes no new file, is opened read-only, so reads work and every
// write raises. Every write is its own transaction
// under a rollback journal with synchronous=FULL: a row is on disk when Post returns. Other
// programs may have the file open; a busy file is waited for up to a few seconds.
//
// Closing the connection closes every table opened on it: a table never reads a file that is no
// longer open.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace qb::db {

// True when the database file may be changed: the file itself can be written, and so can its
// folder, where every change first writes its journal.
bool DatabaseWritable(const std::string& path);
// The question DatabaseWritable asks of each of the two (true: this user may write there);
// tests give their own, an empty one restores the system's.
void SetWriteAccessQuery(std::function<bool(const std::string& path)> query);

class Table;

class Connection {
  public:
    Connection() = default;
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void SetDatabasePath(std::string path);
    const std::string& DatabasePath() const { return path_; }
    // Opens the file read-only even when it could be written.
    void SetForceReadOnly(bool readOnly) { forceReadOnly_ = readOnly; }
    bool ForceReadOnly() const { return forceReadOnly_; }

    // Connects; raises Error when the file is missing or is not an SQLite database.
    void Open();
    void Close();
    bool Connected() const { return db_ != nullptr; }
    bool ReadOnly() const;

    void Execute(std::string_view sql);
    // Writes a compacted copy of the whole database to target, which must not exist.
    void CopyCompactedTo(const std::string& target);

    sqlite3* Handle() const { return db_; }

    static constexpr int BusyTimeoutMs = 5000;

  private:
    friend class Table;
    void attach(Table* table);
    void detach(Table* table);

    std::string path_;
    bool forceReadOnly_ = false;
    sqlite3* db_ = nullptr;
    std::vector<Table*> tables_;
};

}  // namespace qb::db
