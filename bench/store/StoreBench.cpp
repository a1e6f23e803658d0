// store_bench [folder]: a heavy diary (3,650 days of 4 KB enciphered RTF, 150 documents) in a
// fresh folder, and the time of the database module's everyday operations on it.

#include <sqlite3.h>

#include <QDate>
#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "EmptyDiary.h"
#include "app/MainExtensionUnit.h"
#include "app/StaticUnit.h"
#include "cipher/QbClass.h"
#include "store/DatabaseUnit.h"

namespace {

constexpr int Days = 3650;
constexpr int Documents = 150;
constexpr std::size_t RtfSize = 4096;

std::string rtfOfSize(std::size_t size, unsigned seed) {
    std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Tahoma;}}\\f0\\fs20 ";
    std::mt19937 random(seed);
    const char* words[] = {"diary ", "walked ",        "the ",  "river ",
                           "today ", "\\b bold\\b0  ", "rain ", "\\par\n"};
    while (rtf.size() < size - 1) {
        rtf += words[random() % 8];
    }
    rtf.resize(size - 1);
    return rtf + "}";
}

void check(sqlite3* db, int rc) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE) {
        throw std::runtime_error(sqlite3_errmsg(db));
    }
}

void fillDiary(const std::string& path, TQbBlowfish& cipher, std::vector<QString>& keys) {
    sqlite3* db = nullptr;
    check(db, sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr));
    check(db, sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr));
    sqlite3_stmt* entry = nullptr;
    sqlite3_stmt* doc = nullptr;
    sqlite3_stmt* month = nullptr;
    check(db, sqlite3_prepare_v2(db, "INSERT INTO Entry VALUES(?1, ?2)", -1, &entry, nullptr));
    check(db, sqlite3_prepare_v2(db, "INSERT INTO OtherDocs VALUES(?1, ?2)", -1, &doc, nullptr));
    check(db, sqlite3_prepare_v2(db, "INSERT OR IGNORE INTO MonthLookup VALUES(?1, ';')", -1,
                                 &month, nullptr));
    QDate day(2015, 1, 1);
    for (int i = 0; i < Days; ++i, day = day.addDays(1)) {
        QString key = DateToKey(day);
        keys.push_back(key);
        std::string stored = cipher.EncryptString(rtfOfSize(RtfSize, static_cast<unsigned>(i)));
        sqlite3_bind_int(entry, 1, key.toInt());
        sqlite3_bind_text(entry, 2, stored.data(), static_cast<int>(stored.size()),
                          SQLITE_TRANSIENT);
        check(db, sqlite3_step(entry));
        sqlite3_reset(entry);
        sqlite3_bind_int(month, 1, key.left(6).toInt());
        check(db, sqlite3_step(month));
        sqlite3_reset(month);
    }
    // Every day of every month marked, as the calendars find them.
    check(db, sqlite3_exec(db,
                           "UPDATE MonthLookup SET Days = (SELECT ';' || group_concat(substr("
                           "sYYYYMMDD, 7, 2), ';') || ';' FROM Entry WHERE substr(sYYYYMMDD, 1,"
                           " 6) = MonthLookup.YearMonth)",
                           nullptr, nullptr, nullptr));
    for (int i = 0; i < Documents; ++i) {
        std::string name = "Document " + std::to_string(i);
        std::string stored = cipher.EncryptString(rtfOfSize(RtfSize, 100000u + i));
        sqlite3_bind_text(doc, 1, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(doc, 2, stored.data(), static_cast<int>(stored.size()), SQLITE_TRANSIENT);
        check(db, sqlite3_step(doc));
        sqlite3_reset(doc);
    }
    sqlite3_finalize(entry);
    sqlite3_finalize(doc);
    sqlite3_finalize(month);
    check(db, sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr));
    sqlite3_close(db);
}

// Runs the work count times; prints the median and the slowest run in milliseconds.
void measure(const char* what, int count, const std::function<void(int)>& work) {
    std::vector<double> times;
    for (int i = 0; i < count; ++i) {
        auto start = std::chrono::steady_clock::now();
        work(i);
        std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        times.push_back(took.count());
    }
    std::sort(times.begin(), times.end());
    std::printf("%-44s %6d runs  median %9.3f ms  max %9.3f ms\n", what, count,
                times[times.size() / 2], times.back());
}

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir scratch(argc > 1 ? QString(argv[1]) + "/store_bench-XXXXXX"
                                   : QDir::tempPath() + "/store_bench-XXXXXX");
    if (!scratch.isValid()) {
        std::fprintf(stderr, "cannot make a scratch folder\n");
        return 1;
    }
    const QString folder = scratch.path() + "/";
    const std::string database = (folder + DatabaseFileName).toStdString();
    CreateEmptyDiary(database);

    TQbBlowfish cipher;
    cipher.GenerateKey(DiaryKeyText());
    EntryCipher = &cipher;
    std::vector<QString> keys;
    fillDiary(database, cipher, keys);
    std::printf("diary: %d days of %zu-byte RTF, %d documents, file %.1f MB in %s\n", Days, RtfSize,
                Documents, QFileInfo(QString::fromStdString(database)).size() / 1e6,
                qPrintable(scratch.path()));

    measure("open the database module", 9, [&](int) {
        TDataModule1 module(folder, cipher);
        module.OpenDatabase();
        if (!module.EntryTable.Active()) {
            throw std::runtime_error("the diary did not open");
        }
    });

    TDataModule1 module(folder, cipher);
    module.OpenDatabase();
    qb::db::Table& entries = module.EntryTable;
    std::mt19937 random(7);

    measure("Locate + read + decipher a day", 1000, [&](int) {
        const QString& key = keys[random() % keys.size()];
        if (!entries.Locate("sYYYYMMDD", key.toStdString())) {
            throw std::runtime_error("day not found");
        }
        std::string rtf = DecodeEntryText(entries.FieldByName("Entry").AsString());
        if (rtf.size() != RtfSize) {
            throw std::runtime_error("wrong text");
        }
    });

    measure("page save (Locate, Edit/Post of 4 KB)", 200, [&](int i) {
        const QString& key = keys[random() % keys.size()];
        entries.Locate("sYYYYMMDD", key.toStdString());
        entries.Edit();
        entries.FieldByName("Entry").SetAsString(
            EncodeEntryText(rtfOfSize(RtfSize, 500000u + static_cast<unsigned>(i))));
        entries.Post();
    });

    measure("MarkMonthDay of a marked day (walk only)", 1000,
            [&](int) { module.MarkMonthDay(keys[random() % keys.size()]); });

    QDate next(2025, 1, 1);
    measure("new day: Insert/Post row + MarkMonthDay", 200, [&](int) {
        QString key = DateToKey(next);
        next = next.addDays(1);
        entries.Insert();
        entries.FieldByName("sYYYYMMDD").SetAsInteger(key.toInt());
        entries.Post();
        module.MarkMonthDay(key);
    });

    measure("full walk of EntryTable (keys)", 5, [&](int) {
        std::size_t count = 0;
        for (entries.First(); !entries.Eof(); entries.Next()) {
            count += entries.FieldByName("sYYYYMMDD").AsString().size();
        }
    });

    measure("full walk of EntryTable (read + decipher)", 3, [&](int) {
        std::size_t bytes = 0;
        for (entries.First(); !entries.Eof(); entries.Next()) {
            bytes += DecodeEntryText(entries.FieldByName("Entry").AsString()).size();
        }
    });

    measure("compact the database", 3, [&](int) {
        if (!module.CompactDatabase()) {
            throw std::runtime_error("compaction failed");
        }
    });
    EntryCipher = nullptr;
    return 0;
}
