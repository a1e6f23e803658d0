#include "store/DatabaseUnit.h"

#include <sqlite3.h>

#include <array>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "cipher/QbClass.h"
#include "platform/core/Dialogs.h"
#include "platform/db/DbError.h"
#include "platform/db/Statement.h"

namespace {

// Chosen once; stored data depends on both.
constexpr char KeyTextStart[] = "Quillbrook/Marlowick diary entries, key ";
constexpr char PassPhrase[] = "m4#Qv8;k";
static_assert(sizeof(PassPhrase) == 9, "the pass phrase has eight characters");

const QString ErrorOpeningText = QStringLiteral("Error opening database.    ");
const QString CorruptedPasswordText = QStringLiteral("Password has been corrupted.    ");
const QString DatabaseErrorTitle = QStringLiteral("Database Error");

struct TableColumns {
    const char* table;
    std::array<const char*, 2> columns;
};

constexpr std::array<TableColumns, 4> DiaryTables{{
    {"Pswd", {"Password", nullptr}},
    {"Entry", {"sYYYYMMDD", "Entry"}},
    {"MonthLookup", {"YearMonth", "Days"}},
    {"OtherDocs", {"Name", "Entry"}},
}};

// Fails unless every table the diary needs is there with its columns.
void checkDiaryTables(sqlite3* db) {
    for (const TableColumns& t : DiaryTables) {
        std::string list;
        for (const char* column : t.columns) {
            if (column) {
                list += (list.empty() ? "" : ", ") + qb::db::quoteIdentifier(column);
            }
        }
        qb::db::Statement probe(
            db, "SELECT " + list + " FROM " + qb::db::quoteIdentifier(t.table) + " LIMIT 0");
    }
}

std::string singleText(sqlite3* db, const char* sql) {
    qb::db::Statement statement(db, sql);
    if (!statement.step()) {
        throw qb::db::Error(std::string("no result from ") + sql);
    }
    return statement.text(0).value_or(std::string());
}

}  // namespace

std::string DiaryKeyText() {
    return std::string(KeyTextStart) + PassPhrase;
}

TDataModule1::TDataModule1(const QString& appFolder, TQbBlowfish& entryCipher)
    : appFolder_(appFolder), entryCipher_(entryCipher) {
    if (!appFolder_.isEmpty() && !appFolder_.endsWith(QLatin1Char('/'))) {
        appFolder_ += QLatin1Char('/');
    }
}

int TDataModule1::QuitMarkValue() const {
    return Login.QuitMark ? Login.QuitMark() : ownQuitMark_;
}

void TDataModule1::setQuitMark(int value) {
    if (Login.SetQuitMark) {
        Login.SetQuitMark(value);
    } else {
        ownQuitMark_ = value;
    }
}

void TDataModule1::failOpen(const QString& text) {
    ADOConnection1.Close();
    qb::dialogs().messageBox(text, DatabaseErrorTitle, qb::MessageButtons::Ok,
                             qb::MessageIcon::Error);
    setQuitMark(1);
    if (Login.Quit) {
        Login.Quit();
    }
}

void TDataModule1::checkTables() {
    checkDiaryTables(ADOConnection1.Handle());
}

void TDataModule1::openTables() {
    ADOConnection1.Open();
    PasswordTable.Open();
    EntryTable.OpenSorted("sYYYYMMDD");
    MonthLookupTable.Open();
    OtherDocTable.OpenSorted("Name");
}

void TDataModule1::OpenDatabase() {
    // A compaction stopped half way (the program killed) leaves its full-size copy; the diary
    // itself is whole, so the copy only takes up room.
    for (const char* leftover : {"", "-journal"}) {
        std::error_code ignored;
        std::filesystem::remove(CompactPath().toStdString() + leftover, ignored);
    }
    ADOConnection1.Close();
    ADOConnection1.SetDatabasePath(DatabasePath().toStdString());
    try {
        PasswordTable.Open();
        checkTables();
    } catch (const std::exception&) {
        failOpen(ErrorOpeningText);
        return;
    }

    entryCipher_.GenerateKey(DiaryKeyText());

    // The row is read only now: a damaged file may give its schema and still fail here.
    std::string stored;
    try {
        stored = PasswordTable.FieldByName("Password").AsString();
    } catch (const std::exception&) {
        failOpen(ErrorOpeningText);
        return;
    }
    // An empty field, or one the cipher cannot read, is no password at all; the log-in must
    // never be skipped because of it.
    std::string password;
    bool valid = !stored.empty();
    if (valid) {
        try {
            password = entryCipher_.DecryptString(stored);
        } catch (const std::exception&) {
            valid = false;
        }
    }
    if (!valid) {
        failOpen(CorruptedPasswordText);
        return;
    }
    if (!password.empty()) {
        if (Login.ShowLoginDialog) {
            Login.ShowLoginDialog();
        } else {
            setQuitMark(1);
        }
        if (QuitMarkValue() > 0) {
            ADOConnection1.Close();
            if (Login.Quit) {
                Login.Quit();
            }
            return;
        }
    }

    try {
        openTables();
    } catch (const std::exception&) {
        failOpen(ErrorOpeningText);
    }
}

void TDataModule1::MarkMonthDay(const QString& key) {
    if (key.size() != 8) {
        throw std::invalid_argument("'" + key.toStdString() + "' is not a day key");
    }
    const std::string monthKey = key.left(6).toStdString();
    const std::string day = key.mid(6, 2).toStdString();
    const std::int32_t monthValue = key.left(6).toInt();

    MonthLookupTable.First();
    bool found = false;
    while (!MonthLookupTable.Eof()) {
        if (MonthLookupTable.FieldByName("YearMonth").AsString() == monthKey) {
            found = true;
            break;
        }
        MonthLookupTable.Next();
    }
    if (found) {
        std::string days = MonthLookupTable.FieldByName("Days").AsString();
        if (days.empty()) {
            days = ";";
        }
        if (days.find(day) != std::string::npos) {
            return;
        }
        MonthLookupTable.Edit();
        MonthLookupTable.FieldByName("YearMonth").SetAsInteger(monthValue);
        MonthLookupTable.FieldByName("Days").SetAsString(days + day + ";");
        MonthLookupTable.Post();
        return;
    }
    MonthLookupTable.Insert();
    MonthLookupTable.FieldByName("YearMonth").SetAsInteger(monthValue);
    MonthLookupTable.FieldByName("Days").SetAsString(";" + day + ";");
    MonthLookupTable.Post();
}

// Writes the compacted copy, checks it, and copies it back over the database in one
// transaction. A rename over the file would leave any other program that has it open writing
// into a deleted file; the copy back goes through SQLite's own locking and journal, so a crash
// part way leaves the database as it was.
void TDataModule1::compactIntoTemporaryCopy() {
    namespace fs = std::filesystem;
    const std::string database = DatabasePath().toStdString();
    const std::string copy = CompactPath().toStdString();
    fs::remove(copy);  // a stale copy of an earlier run; raises when it cannot go

    qb::db::Connection source;
    source.SetDatabasePath(database);
    source.SetForceReadOnly(ADOConnection1.ForceReadOnly());
    source.Open();
    if (source.ReadOnly()) {
        throw qb::db::Error("the database is read-only");
    }
    const std::string versionBefore = singleText(source.Handle(), "PRAGMA data_version");
    source.CopyCompactedTo(copy);

    {
        qb::db::Connection compacted;
        compacted.SetDatabasePath(copy);
        compacted.Open();
        if (singleText(compacted.Handle(), "PRAGMA integrity_check") != "ok") {
            throw qb::db::Error("the compacted copy failed its check");
        }
        checkDiaryTables(compacted.Handle());
    }

    if (singleText(source.Handle(), "PRAGMA data_version") != versionBefore) {
        throw qb::db::Error("another program changed the database while it was compacted");
    }
    sqlite3* from = nullptr;
    if (sqlite3_open_v2(copy.c_str(), &from, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        std::string message = sqlite3_errmsg(from);
        sqlite3_close_v2(from);
        throw qb::db::Error(message);
    }
    sqlite3_backup* backup = sqlite3_backup_init(source.Handle(), "main", from, "main");
    if (!backup) {
        std::string message = sqlite3_errmsg(source.Handle());
        sqlite3_close_v2(from);
        throw qb::db::Error(message);
    }
    int step = sqlite3_backup_step(backup, -1);
    sqlite3_backup_finish(backup);
    sqlite3_close_v2(from);
    if (step != SQLITE_DONE) {
        throw qb::db::Error(std::string("compaction: ") + sqlite3_errstr(step));
    }
    source.Close();
    fs::remove(copy);
}

bool TDataModule1::CompactDatabase() {
    ADOConnection1.Close();
    bool result = true;
    try {
        compactIntoTemporaryCopy();
    } catch (const std::exception&) {
        result = false;
        std::error_code ignored;
        std::filesystem::remove(CompactPath().toStdString(), ignored);
    }
    try {
        openTables();
    } catch (const std::exception&) {
        result = false;
    }
    return result;
}

void TDataModule1::CompactDatabase1Click() {
    if (!CompactDatabase()) {
        qb::dialogs().showMessage(QStringLiteral("Error compacting..."));
    }
}
