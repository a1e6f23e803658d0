#include "TenYearDiary.h"

#include "EmptyDiary.h"
#include "cipher/QbClass.h"
#include "program/ProgramState.h"
#include "program/StaticUnit.h"
#include "store/DatabaseUnit.h"

#include <sqlite3.h>

#include <QDate>
#include <QDir>

#include <random>
#include <stdexcept>

namespace bench {
namespace {

void check(sqlite3* db, int rc) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE) {
        throw std::runtime_error(sqlite3_errmsg(db));
    }
}

void bindText(sqlite3_stmt* statement, int index, const std::string& text) {
    sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()),
                      SQLITE_TRANSIENT);
}

}  // namespace

std::string RtfOfSize(std::size_t size, unsigned seed) {
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

void StoreDayText(const std::string& database, const QString& key, const std::string& text) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_stmt* update = nullptr;
    sqlite3_prepare_v2(db, "UPDATE Entry SET Entry = ?1 WHERE sYYYYMMDD = ?2", -1, &update,
                       nullptr);
    const std::string day = key.toStdString();
    sqlite3_bind_text(update, 1, text.data(), int(text.size()), SQLITE_STATIC);
    sqlite3_bind_text(update, 2, day.data(), int(day.size()), SQLITE_STATIC);
    const int rc = sqlite3_step(update);
    sqlite3_finalize(update);
    sqlite3_close(db);
    if (rc != SQLITE_DONE) {
        throw std::runtime_error("cannot store the text");
    }
}

std::vector<QString> FillTenYearDiary(const std::string& path, TQbBlowfish& cipher) {
    std::vector<QString> keys;
    sqlite3* db = nullptr;
    check(db, sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr));
    check(db, sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr));
    sqlite3_stmt* entry = nullptr;
    sqlite3_stmt* doc = nullptr;
    check(db, sqlite3_prepare_v2(db, "INSERT INTO Entry VALUES(?1, ?2)", -1, &entry, nullptr));
    check(db, sqlite3_prepare_v2(db, "INSERT INTO OtherDocs VALUES(?1, ?2)", -1, &doc, nullptr));
    QDate day(2015, 1, 1);
    for (int i = 0; i < Days; ++i, day = day.addDays(1)) {
        keys.push_back(DateToKey(day));
        bindText(entry, 1, keys.back().toStdString());
        bindText(entry, 2, cipher.EncryptString(RtfOfSize(RtfSize, static_cast<unsigned>(i))));
        check(db, sqlite3_step(entry));
        sqlite3_reset(entry);
    }
    // Every day of every month marked, as the calendars find them.
    check(db, sqlite3_exec(db,
                           "INSERT INTO MonthLookup SELECT substr(sYYYYMMDD, 1, 6), ';' || "
                           "group_concat(substr(sYYYYMMDD, 7, 2), ';') || ';' FROM Entry GROUP BY "
                           "substr(sYYYYMMDD, 1, 6)",
                           nullptr, nullptr, nullptr));
    for (int i = 0; i < Documents; ++i) {
        bindText(doc, 1, "Document " + std::to_string(i));
        bindText(doc, 2, cipher.EncryptString(RtfOfSize(RtfSize, 100000u + unsigned(i))));
        check(db, sqlite3_step(doc));
        sqlite3_reset(doc);
    }
    sqlite3_finalize(entry);
    sqlite3_finalize(doc);
    check(db, sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr));
    sqlite3_close(db);
    return keys;
}

namespace {

QString scratchTemplate(const QString& benchName, const QString& parent) {
    return (parent.isEmpty() ? QDir::tempPath() : parent) + QLatin1Char('/') + benchName +
           QStringLiteral("-XXXXXX");
}

}  // namespace

ScratchDiary::ScratchDiary(const QString& benchName, const QString& parent)
    : scratch_(scratchTemplate(benchName, parent)) {
    if (!scratch_.isValid()) {
        throw std::runtime_error("cannot make a scratch folder");
    }
    folder = scratch_.path() + QLatin1Char('/');
    database = (folder + QString::fromLatin1(DatabaseFileName)).toStdString();
    CreateEmptyDiary(database);
    cipher.GenerateKey(DiaryKeyText());
    EntryCipher = &cipher;
    keys = FillTenYearDiary(database, cipher);
}

}  // namespace bench
