#include "platform/db/Table.h"

#include <sqlite3.h>

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "platform/db/Connection.h"
#include "platform/db/DbError.h"

namespace qb::db {
namespace {

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return lowerAscii(x) == lowerAscii(y);
           });
}

// Without case first (as SQLite's NOCASE, ASCII letters only), then by bytes.
int compareKeys(const std::optional<std::string>& a, const std::optional<std::string>& b) {
    if (!a || !b) {
        return a ? 1 : (b ? -1 : 0);
    }
    std::size_t n = std::min(a->size(), b->size());
    for (std::size_t i = 0; i < n; ++i) {
        auto x = static_cast<unsigned char>(lowerAscii((*a)[i]));
        auto y = static_cast<unsigned char>(lowerAscii((*b)[i]));
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    if (a->size() != b->size()) {
        return a->size() < b->size() ? -1 : 1;
    }
    int bytes = a->compare(*b);
    return bytes < 0 ? -1 : (bytes > 0 ? 1 : 0);
}

}  // namespace

// ---- Field ----

std::string Field::AsString() const {
    return table_->value(index_).value_or(std::string());
}

QString Field::AsQString() const {
    return QString::fromStdString(AsString());
}

bool Field::IsNull() const {
    return !table_->value(index_).has_value();
}

void Field::SetAsString(std::string_view text) {
    table_->setValue(index_, std::string(text));
}

void Field::SetAsQString(const QString& text) {
    table_->setValue(index_, text.toStdString());
}

void Field::SetAsInteger(std::int32_t value) {
    table_->setValue(index_, static_cast<std::int64_t>(value));
}

const std::string& Field::FieldName() const {
    return table_->columns_[static_cast<std::size_t>(index_)];
}

// ---- Table ----

Table::Table(Connection& connection, std::string tableName)
    : connection_(&connection), name_(std::move(tableName)) {
    connection_->attach(this);
}

Table::~Table() {
    Close();
    if (connection_) {
        connection_->detach(this);
    }
}

std::string Table::quotedName() const {
    return quoteIdentifier(name_);
}

void Table::fail(const std::string& message) {
    throw Error("Table " + name_ + ": " + message);
}

void Table::checkActive() const {
    if (!Active()) {
        throw Error("Table " + name_ + " is not open");
    }
}

void Table::Open() {
    if (Active()) {
        return;
    }
    openCursor();
    readRowsOrClose();
    pos_ = rows_.empty() ? -1 : 0;
    eof_ = rows_.empty();
}

// Learns the columns and readies the statement that reads one row; no row is read yet.
void Table::openCursor() {
    if (!connection_) {
        fail("the connection is gone");
    }
    connection_->Open();
    sqlite3* db = connection_->Handle();
    Statement probe(db, "SELECT * FROM " + quotedName() + " LIMIT 0");
    std::vector<std::string> columns;
    for (int i = 0; i < probe.columnCount(); ++i) {
        columns.push_back(probe.columnName(i));
    }
    std::string list;
    for (const std::string& column : columns) {
        list += (list.empty() ? "" : ", ") + quoteIdentifier(column);
    }
    Statement select(db, "SELECT " + list + " FROM " + quotedName() + " WHERE rowid = ?1");

    columns_ = std::move(columns);
    selectRow_ = std::move(select);
    cacheValid_ = false;
    state_ = State::Browse;
}

void Table::readRowsOrClose() {
    try {
        loadRows();
    } catch (...) {
        Close();
        throw;
    }
}

void Table::Close() {
    state_ = State::Inactive;
    rows_.clear();
    changes_.clear();
    columns_.clear();
    sortColumn_ = -1;
    selectRow_.reset();
    cacheValid_ = false;
    cache_.clear();
    selectBatch_.reset();
    ahead_.clear();
    pos_ = -1;
    eof_ = true;
}

void Table::SetSort(std::string column) {
    if (!Active()) {
        sort_ = std::move(column);
        return;
    }
    checkBrowseMode();
    if (!column.empty() && columnIndex(column) < 0) {
        fail("no column named " + column + " to sort on");
    }
    std::optional<std::int64_t> current;
    if (pos_ >= 0) {
        current = rows_[static_cast<std::size_t>(pos_)].rowid;
    }
    sort_ = std::move(column);
    loadRows();
    pos_ = rows_.empty() ? -1 : 0;
    eof_ = rows_.empty();
    for (std::size_t i = 0; current && i < rows_.size(); ++i) {
        if (rows_[i].rowid == *current) {
            pos_ = static_cast<int>(i);
        }
    }
}

void Table::OpenSorted(std::string column) {
    if (Active() || !sort_.empty() || column.empty()) {
        // Open alone reads in the order already set: its current row is found that way only.
        Open();
        SetSort(std::move(column));
        return;
    }
    openCursor();
    const bool known = columnIndex(column) >= 0;
    if (known) {
        sort_ = std::move(column);
    }
    readRowsOrClose();
    eof_ = rows_.empty();
    pos_ = rows_.empty() ? -1 : 0;
    if (!known) {
        SetSort(std::move(column));  // fails as it would after Open, and leaves the table open
    }
    // The current row is the one Open alone makes current: the first in insertion order.
    for (std::size_t i = 1; i < rows_.size(); ++i) {
        if (rows_[i].rowid < rows_[static_cast<std::size_t>(pos_)].rowid) {
            pos_ = static_cast<int>(i);
        }
    }
}

// Reads the row ids (and the sort column) afresh and puts them in order.
void Table::loadRows() {
    sortColumn_ = sort_.empty() ? -1 : columnIndex(sort_);
    if (!sort_.empty() && sortColumn_ < 0) {
        fail("no column named " + sort_ + " to sort on");
    }
    std::string sql = "SELECT rowid";
    if (sortColumn_ >= 0) {
        sql += ", " + quoteIdentifier(columns_[static_cast<std::size_t>(sortColumn_)]);
    }
    // No ORDER BY: SQLite then reads a covering index where the table has one, a few pages,
    // instead of every row with its text; the rows are put in order here.
    sql += " FROM " + quotedName();
    Statement select(connection_->Handle(), sql);
    std::vector<Row> rows;
    while (select.step()) {
        Row row{select.int64(0), std::nullopt};
        if (sortColumn_ >= 0) {
            row.key = select.text(1);
        }
        rows.push_back(std::move(row));
    }
    rows_ = std::move(rows);
    sortRows();
    cacheValid_ = false;
    ahead_.clear();
}

void Table::SetReadAhead(int rows) {
    // Within SQLite's smallest limit on the parameters of a statement.
    readAhead_ = std::clamp(rows, 0, 900);
    selectBatch_.reset();
    ahead_.clear();
}

// Serves the row cachedRowid_ names from what was read ahead, reading the next batch when it
// is the current row and was not read yet.
bool Table::takeReadAhead() {
    if (sqlite3_total_changes64(connection_->Handle()) != aheadChanges_) {
        ahead_.clear();
    }
    auto found = ahead_.find(cachedRowid_);
    if (found == ahead_.end()) {
        if (pos_ < 0 || rows_[static_cast<std::size_t>(pos_)].rowid != cachedRowid_) {
            return false;
        }
        readAhead();
        found = ahead_.find(cachedRowid_);
        if (found == ahead_.end()) {
            return false;
        }
    }
    cache_ = std::move(found->second);
    ahead_.erase(found);
    return true;
}

void Table::readAhead() {
    // A batch of large texts stops early; the rows it left out are read when their turn comes.
    constexpr std::size_t kBatchBytes = std::size_t{8} << 20;
    sqlite3* db = connection_->Handle();
    ahead_.clear();
    aheadChanges_ = sqlite3_total_changes64(db);
    if (!selectBatch_) {
        std::string sql = "SELECT rowid";
        for (const std::string& column : columns_) {
            sql += ", " + quoteIdentifier(column);
        }
        sql += " FROM " + quotedName() + " WHERE rowid IN (";
        for (int i = 1; i <= readAhead_; ++i) {
            sql += (i == 1 ? "?" : ", ?") + std::to_string(i);
        }
        selectBatch_.emplace(db, sql + ")");
    }
    Statement& select = *selectBatch_;
    const auto first = static_cast<std::size_t>(pos_);
    for (int i = 0; i < readAhead_; ++i) {
        const std::size_t at = first + static_cast<std::size_t>(i);
        if (at < rows_.size()) {
            select.bindInt64(i + 1, rows_[at].rowid);
        } else {
            select.bindNull(i + 1);
        }
    }
    std::size_t bytes = 0;
    try {
        while (bytes < kBatchBytes && select.step()) {
            std::vector<std::optional<std::string>> values(columns_.size());
            for (std::size_t i = 0; i < columns_.size(); ++i) {
                values[i] = select.text(static_cast<int>(i) + 1);
                bytes += values[i] ? values[i]->size() : 0;
            }
            ahead_.emplace(select.int64(0), std::move(values));
        }
    } catch (...) {
        select.reset();
        ahead_.clear();
        throw;
    }
    select.reset();
}

// Sort order, rows of equal keys in insertion (rowid) order; without a sort, insertion order.
void Table::sortRows() {
    const int sortColumn = sortColumn_;
    const auto before = [sortColumn](const Row& a, const Row& b) {
        if (sortColumn >= 0) {
            if (const int order = compareKeys(a.key, b.key); order != 0) {
                return order < 0;
            }
        }
        return a.rowid < b.rowid;
    };
    // Rows mostly come in order already (days are written as they come): a look is enough.
    if (!std::is_sorted(rows_.begin(), rows_.end(), before)) {
        std::sort(rows_.begin(), rows_.end(), before);
    }
}

// Moves rows_[from] to its place in sort order and makes it current.
void Table::placeRow(std::size_t from) {
    Row row = rows_[from];
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(from));
    auto at = rows_.end();
    if (sortColumn_ >= 0) {
        at = std::upper_bound(rows_.begin(), rows_.end(), row, [](const Row& a, const Row& b) {
            int order = compareKeys(a.key, b.key);
            return order < 0 || (order == 0 && a.rowid < b.rowid);
        });
    } else {
        at = std::upper_bound(rows_.begin(), rows_.end(), row,
                              [](const Row& a, const Row& b) { return a.rowid < b.rowid; });
    }
    pos_ = static_cast<int>(at - rows_.begin());
    rows_.insert(at, std::move(row));
    eof_ = false;
}

int Table::columnIndex(std::string_view name) const {
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if (equalNoCase(columns_[i], name)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool Table::HasField(std::string_view name) const {
    return columnIndex(name) >= 0;
}

Field Table::FieldByName(std::string_view name) {
    checkActive();
    int index = columnIndex(name);
    if (index < 0) {
        fail("no field named " + std::string(name));
    }
    return Field(*this, index);
}

void Table::checkBrowseMode() {
    checkActive();
    if (state_ == State::Edit || state_ == State::Insert) {
        bool changed = std::any_of(changes_.begin(), changes_.end(),
                                   [](const std::optional<Change>& c) { return c.has_value(); });
        if (changed) {
            Post();
        } else {
            Cancel();
        }
    }
}

bool Table::Locate(std::string_view column, std::string_view value) {
    checkBrowseMode();
    int index = columnIndex(column);
    if (index < 0) {
        fail("no field named " + std::string(column));
    }
    if (index == sortColumn_) {
        for (std::size_t i = 0; i < rows_.size(); ++i) {
            if (rows_[i].key && *rows_[i].key == value) {
                pos_ = static_cast<int>(i);
                eof_ = false;
                return true;
            }
        }
        return false;
    }
    Statement find(connection_->Handle(),
                   "SELECT rowid FROM " + quotedName() + " WHERE CAST(" +
                       quoteIdentifier(columns_[static_cast<std::size_t>(index)]) +
                       " AS TEXT) = ?1 COLLATE BINARY");
    find.bindText(1, value);
    std::unordered_set<std::int64_t> found;
    while (find.step()) {
        found.insert(find.int64(0));
    }
    for (std::size_t i = 0; !found.empty() && i < rows_.size(); ++i) {
        if (found.count(rows_[i].rowid) > 0) {
            pos_ = static_cast<int>(i);
            eof_ = false;
            return true;
        }
    }
    return false;
}

std::vector<std::string> Table::ColumnTexts(std::string_view column) {
    checkBrowseMode();
    const int index = columnIndex(column);
    if (index < 0) {
        fail("no field named " + std::string(column));
    }
    Statement select(connection_->Handle(),
                     "SELECT rowid, " + quoteIdentifier(columns_[static_cast<std::size_t>(index)]) +
                         " FROM " + quotedName());
    std::unordered_map<std::int64_t, std::string> values;
    while (select.step()) {
        values.emplace(select.int64(0), select.text(1).value_or(std::string()));
    }
    std::vector<std::string> texts;
    texts.reserve(rows_.size());
    for (const Row& row : rows_) {
        const auto found = values.find(row.rowid);
        texts.push_back(found == values.end() ? std::string() : found->second);
    }
    return texts;
}

void Table::First() {
    checkBrowseMode();
    pos_ = rows_.empty() ? -1 : 0;
    eof_ = rows_.empty();
}

void Table::Next() {
    checkBrowseMode();
    if (pos_ >= 0 && pos_ + 1 < static_cast<int>(rows_.size())) {
        ++pos_;
        eof_ = false;
    } else {
        eof_ = true;
    }
}

void Table::Prior() {
    checkBrowseMode();
    if (rows_.empty()) {
        return;
    }
    eof_ = false;
    if (pos_ > 0) {
        --pos_;
    }
}

int Table::RecNo() const {
    if (!Active() || state_ == State::Insert || pos_ < 0) {
        return 0;
    }
    return pos_ + 1;
}

int Table::RecordCount() const {
    checkActive();
    return static_cast<int>(rows_.size());
}

void Table::Insert() {
    checkBrowseMode();
    posBeforeInsert_ = pos_;
    changes_.assign(columns_.size(), std::nullopt);
    state_ = State::Insert;
}

void Table::Edit() {
    checkActive();
    if (state_ != State::Browse) {
        return;
    }
    if (pos_ < 0) {
        fail("there is no row to edit");
    }
    changes_.assign(columns_.size(), std::nullopt);
    state_ = State::Edit;
}

void Table::Cancel() {
    checkActive();
    if (state_ == State::Insert) {
        pos_ = posBeforeInsert_;
    }
    changes_.clear();
    state_ = State::Browse;
}

void Table::Post() {
    checkActive();
    if (state_ != State::Edit && state_ != State::Insert) {
        fail("not in edit or insert mode");
    }
    try {
        if (state_ == State::Insert) {
            postInsert();
        } else {
            postEdit();
        }
    } catch (...) {
        if (state_ != State::Browse) {
            Cancel();
        }
        throw;
    }
}

namespace {

void bindChange(Statement& statement, int index, const std::variant<std::string, std::int64_t>& c) {
    if (const auto* text = std::get_if<std::string>(&c)) {
        statement.bindText(index, *text);
    } else {
        statement.bindInt64(index, std::get<std::int64_t>(c));
    }
}

}  // namespace

void Table::postInsert() {
    sqlite3* db = connection_->Handle();
    std::string names;
    std::string params;
    int count = 0;
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if (changes_[i]) {
            ++count;
            names += (names.empty() ? "" : ", ") + quoteIdentifier(columns_[i]);
            params += (params.empty() ? "?" : ", ?") + std::to_string(count);
        }
    }
    std::string sql = "INSERT INTO " + quotedName() +
                      (count == 0 ? " DEFAULT VALUES" : " (" + names + ") VALUES (" + params + ")");
    Statement insert(db, sql);
    int index = 0;
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if (changes_[i]) {
            bindChange(insert, ++index, *changes_[i]);
        }
    }
    insert.run();
    std::int64_t rowid = sqlite3_last_insert_rowid(db);
    changes_.clear();
    state_ = State::Browse;
    rows_.push_back(Row{rowid, readKey(rowid)});
    placeRow(rows_.size() - 1);
}

void Table::postEdit() {
    sqlite3* db = connection_->Handle();
    std::string assignments;
    int count = 0;
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if (changes_[i]) {
            ++count;
            assignments += (assignments.empty() ? "" : ", ") + quoteIdentifier(columns_[i]) +
                           " = ?" + std::to_string(count);
        }
    }
    std::size_t at = static_cast<std::size_t>(pos_);
    std::int64_t rowid = rows_[at].rowid;
    if (count > 0) {
        Statement update(db, "UPDATE " + quotedName() + " SET " + assignments + " WHERE rowid = ?" +
                                 std::to_string(count + 1));
        int index = 0;
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            if (changes_[i]) {
                bindChange(update, ++index, *changes_[i]);
            }
        }
        update.bindInt64(count + 1, rowid);
        update.run();
        if (sqlite3_changes(db) == 0) {
            fail("the row was not found for updating; another program may have deleted it");
        }
    }
    bool keyChanged = sortColumn_ >= 0 && changes_[static_cast<std::size_t>(sortColumn_)];
    changes_.clear();
    state_ = State::Browse;
    cacheValid_ = false;
    if (keyChanged) {
        rows_[at].key = readKey(rowid);
        placeRow(at);
    }
}

std::optional<std::string> Table::readKey(std::int64_t rowid) {
    if (sortColumn_ < 0) {
        return std::nullopt;
    }
    cacheValid_ = false;
    cachedRowid_ = rowid;
    const auto& values = currentValues();
    return values[static_cast<std::size_t>(sortColumn_)];
}

void Table::Delete() {
    checkActive();
    if (state_ == State::Insert) {
        Cancel();
        return;
    }
    if (state_ == State::Edit) {
        Cancel();
    }
    if (pos_ < 0) {
        fail("there is no row to delete");
    }
    std::size_t at = static_cast<std::size_t>(pos_);
    Statement remove(connection_->Handle(), "DELETE FROM " + quotedName() + " WHERE rowid = ?1");
    remove.bindInt64(1, rows_[at].rowid);
    remove.run();
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(at));
    cacheValid_ = false;
    if (rows_.empty()) {
        pos_ = -1;
    } else if (pos_ >= static_cast<int>(rows_.size())) {
        pos_ = static_cast<int>(rows_.size()) - 1;
    }
    eof_ = rows_.empty();
}

// The values of the row cachedRowid_ names (or of the current row), read once per row.
const std::vector<std::optional<std::string>>& Table::currentValues() {
    if (!cacheValid_) {
        if (readAhead_ > 1 && takeReadAhead()) {
            cacheValid_ = true;
            return cache_;
        }
        cache_.assign(columns_.size(), std::nullopt);
        selectRow_->reset();
        selectRow_->bindInt64(1, cachedRowid_);
        if (selectRow_->step()) {
            for (std::size_t i = 0; i < columns_.size(); ++i) {
                cache_[i] = selectRow_->text(static_cast<int>(i));
            }
        }
        selectRow_->reset();
        cacheValid_ = true;
    }
    return cache_;
}

std::optional<std::string> Table::value(int column) {
    checkActive();
    auto c = static_cast<std::size_t>(column);
    if (state_ == State::Edit || state_ == State::Insert) {
        if (changes_[c]) {
            if (const auto* text = std::get_if<std::string>(&*changes_[c])) {
                return *text;
            }
            return std::to_string(std::get<std::int64_t>(*changes_[c]));
        }
        if (state_ == State::Insert) {
            return std::nullopt;
        }
    }
    if (pos_ < 0) {
        return std::nullopt;
    }
    std::int64_t rowid = rows_[static_cast<std::size_t>(pos_)].rowid;
    if (!cacheValid_ || cachedRowid_ != rowid) {
        cacheValid_ = false;
        cachedRowid_ = rowid;
    }
    return currentValues()[c];
}

void Table::setValue(int column, Change change) {
    checkActive();
    if (state_ != State::Edit && state_ != State::Insert) {
        fail("not in edit or insert mode");
    }
    changes_[static_cast<std::size_t>(column)] = std::move(change);
}

}  // namespace qb::db
