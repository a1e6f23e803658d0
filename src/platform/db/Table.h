#pragma once
// A table of the diary database with a client-side cursor, as the diary's code expects of it:
//
// - Open reads the row ids of the whole table; a row's values are read when it becomes current,
//   so a walk over a table of large texts holds one row in memory at a time.
// - SetSort(column) orders the rows ascending on that column (without case, then by bytes, NULL
//   first); the order holds for First/Next/Prior and after Post and Delete. Without a sort the
//   rows stand in the order they were inserted.
// - Locate(column, text) finds the first row, in sort order, whose value read as text is the
//   whole text, byte for byte ("20050305" never matches "020050305" or "20050305.0"); a miss
//   leaves the cursor where it was.
// - Next on the last row sets Eof and the last row stays current; Prior on the first row stays.
//   RecNo is the 1-based position in sort order (0 without a current row).
// - Insert makes a new empty row current until Post or Cancel; Post of an insert leaves the new
//   row current; Delete makes the next row current (the new last row when the last was deleted).
// - NULL reads as "". An integer set into a TEXT column is stored as its decimal text.
// - A failed Post cancels the edit, then raises Error with SQLite's message; the table stays
//   usable. Moving the cursor while editing posts the changes first (or cancels an unchanged
//   edit).

#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

#include "platform/db/Statement.h"

namespace qb::db {

class Connection;
class Table;

// The read-ahead of a walk over every text of a table: a few hundred rows a statement.
inline constexpr int kWalkReadAhead = 256;

// A column of a table's current row (or of the row being edited).
class Field {
  public:
    std::string AsString() const;
    QString AsQString() const;
    bool IsNull() const;
    void SetAsString(std::string_view text);
    void SetAsQString(const QString& text);
    void SetAsInteger(std::int32_t value);
    const std::string& FieldName() const;

  private:
    friend class Table;
    Field(Table& table, int index) : table_(&table), index_(index) {}
    Table* table_;
    int index_;
};

class Table {
  public:
    enum class State { Inactive, Browse, Edit, Insert };

    Table(Connection& connection, std::string tableName);
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    const std::string& TableName() const { return name_; }

    // Opens the connection when it is closed; raises Error when the table does not exist.
    void Open();
    void Close();
    bool Active() const { return state_ != State::Inactive; }
    State GetState() const { return state_; }

    // For a walk over many rows: when the cursor comes to a row not read yet, the values of up
    // to `rows` rows from it on are read in one statement instead of one statement per row. The
    // statement is done before the read returns, so no read stays open between rows, and what
    // was read ahead is dropped as soon as anything is written on the connection. 0 or 1: one
    // row at a time. May be set before Open.
    void SetReadAhead(int rows);

    // "" takes the sort away. May be set before Open.
    void SetSort(std::string column);
    // Open followed by SetSort(column), with the same current row, but the rows read only once.
    void OpenSorted(std::string column);
    const std::string& Sort() const { return sort_; }

    bool Locate(std::string_view column, std::string_view value);
    void First();
    void Next();
    void Prior();
    bool Eof() const { return eof_; }
    int RecNo() const;
    int RecordCount() const;

    void Insert();
    void Edit();
    void Post();
    void Cancel();
    void Delete();

    Field FieldByName(std::string_view name);
    // Every row's value of the column as text ("" for NULL), in cursor order, read with one
    // query: a walk reading a row at a time reads every column of every row. The cursor stays.
    std::vector<std::string> ColumnTexts(std::string_view column);
    bool HasField(std::string_view name) const;
    const std::vector<std::string>& FieldNames() const { return columns_; }

  private:
    friend class Field;
    friend class Connection;

    using Change = std::variant<std::string, std::int64_t>;
    struct Row {
        std::int64_t rowid = 0;
        std::optional<std::string> key;  // the sort column's value
    };

    void checkActive() const;
    void checkBrowseMode();
    int columnIndex(std::string_view name) const;
    std::optional<std::string> value(int column);
    void setValue(int column, Change change);
    const std::vector<std::optional<std::string>>& currentValues();
    std::optional<std::string> readKey(std::int64_t rowid);
    void openCursor();
    void readRowsOrClose();
    bool takeReadAhead();
    void readAhead();
    void loadRows();
    void sortRows();
    void placeRow(std::size_t from);
    void postInsert();
    void postEdit();
    [[noreturn]] void fail(const std::string& message);
    std::string quotedName() const;

    Connection* connection_;
    std::string name_;
    std::string sort_;
    State state_ = State::Inactive;
    std::vector<std::string> columns_;
    int sortColumn_ = -1;
    std::vector<Row> rows_;
    int pos_ = -1;
    bool eof_ = true;
    int posBeforeInsert_ = -1;
    std::vector<std::optional<Change>> changes_;
    std::optional<Statement> selectRow_;
    std::int64_t cachedRowid_ = 0;
    bool cacheValid_ = false;
    std::vector<std::optional<std::string>> cache_;
    int readAhead_ = 0;
    std::optional<Statement> selectBatch_;
    std::unordered_map<std::int64_t, std::vector<std::optional<std::string>>> ahead_;
    std::int64_t aheadChanges_ = 0;  // the connection's count of changed rows at the reading
};

}  // namespace qb::db
