#include "EmptyDiary.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "cipher/QbClass.h"
#include "store/DatabaseUnit.h"

namespace {

// Key columns are TEXT: an integer written into them is kept as its decimal text, so a key is
// found by its text exactly and text order is date order.
constexpr char Schema[] =
    "CREATE TABLE Entry(sYYYYMMDD TEXT NOT NULL UNIQUE, Entry TEXT);"
    "CREATE TABLE OtherDocs(Name TEXT NOT NULL UNIQUE, Entry TEXT);"
    "CREATE TABLE MonthLookup(YearMonth TEXT NOT NULL UNIQUE, Days TEXT);"
    "CREATE TABLE Pswd(Password TEXT);";

[[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error(what);
}

void check(sqlite3* db, int rc, const char* what) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE) {
        fail(std::string(what) + ": " + sqlite3_errmsg(db));
    }
}

void writeDiary(const std::string& path) {
    TQbBlowfish cipher;
    cipher.GenerateKey(DiaryKeyText());
    const std::string noPassword = cipher.EncryptString(std::string());

    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        std::string message = sqlite3_errmsg(db);
        sqlite3_close_v2(db);
        fail(message);
    }
    try {
        check(db, sqlite3_exec(db, "PRAGMA synchronous=FULL; BEGIN;", nullptr, nullptr, nullptr),
              "begin");
        check(db, sqlite3_exec(db, Schema, nullptr, nullptr, nullptr), "schema");
        sqlite3_stmt* insert = nullptr;
        check(db,
              sqlite3_prepare_v2(db, "INSERT INTO Pswd(Password) VALUES(?1)", -1, &insert, nullptr),
              "prepare");
        sqlite3_bind_text(insert, 1, noPassword.data(), static_cast<int>(noPassword.size()),
                          SQLITE_TRANSIENT);
        int rc = sqlite3_step(insert);
        sqlite3_finalize(insert);
        check(db, rc, "insert");
        check(db, sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr), "commit");
    } catch (...) {
        sqlite3_close_v2(db);
        throw;
    }
    check(db, sqlite3_close(db), "close");
}

}  // namespace

void CreateEmptyDiary(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::exists(fs::symlink_status(path, error))) {
        fail(path + " already exists; it is left as it is");
    }
    // Built beside the target under a unique name, then linked into place: link() never
    // replaces a file, so a file that appeared meanwhile is not overwritten either.
    fs::path target(path);
    fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string pattern = (folder / ".MakeEmptyDiary-XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0) {
        fail("cannot create a file in " + folder.string() + ": " + std::strerror(errno));
    }
    // The diary is private: mkstemp made it readable and writable by its owner alone, and
    // so it stays.
    ::close(fd);
    const std::string temporary(name.data());
    try {
        writeDiary(temporary);
        if (::link(temporary.c_str(), path.c_str()) != 0) {
            fail("cannot create " + path + ": " + std::strerror(errno));
        }
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
    ::unlink(temporary.c_str());
}
