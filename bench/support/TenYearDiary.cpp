#include "TenYearDiary.h"

#include "EmptyDiary.h"
#include "cipher/QbClass.h"
#include "program/ProgramState.h"
#include "program/StaticUnit.h"
#include "store/DatabaseUnit.h"

#include <sqlite3.h>

#include <QDate>
#include <QDir>

#include <cctype>
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

std::string ProseRtf(std::size_t size, unsigned seed) {
    static const char* const words[] = {
        "morning",   "we",      "walked",  "down",    "to",     "the",     "harbour", "and",
        "watched",   "boats",   "come",    "in",      "with",   "their",   "nets",    "after",
        "breakfast", "Anna",    "wrote",   "letters", "while",  "I",       "read",    "a",
        "chapter",   "of",      "novel",   "that",    "Mother", "sent",    "last",    "week",
        "rain",      "kept",    "us",      "indoors", "until",  "evening", "when",    "sky",
        "cleared",   "over",    "hills",   "garden",  "needs",  "weeding", "again",   "tomorrow",
        "market",    "bought",  "bread",   "cheese",  "apples", "for",     "journey", "station",
        "train",     "was",     "late",    "by",      "an",     "hour",    "quiet",   "day",
        "thinking",  "about",   "what",    "said",    "at",     "dinner",  "friends", "visited",
        "stayed",    "long",    "talking", "old",     "times",  "school",  "village", "church",
        "bells",     "rang",    "noon",    "slept",   "badly",  "because", "storm",   "wind",
        "shook",     "windows", "all",     "night",   "work",   "went",    "well",    "finished",
        "report",    "early",   "felt",    "tired",   "happy",  "cold",    "warm",    "bright"};
    constexpr std::size_t count = sizeof(words) / sizeof(words[0]);
    std::mt19937 random(seed);
    std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Tahoma;}}\\f0\\fs20 ";
    while (rtf.size() < size) {
        const int sentences = 1 + int(random() % 9);
        for (int s = 0; s < sentences; ++s) {
            const int length = 4 + int(random() % 18);
            for (int w = 0; w < length; ++w) {
                std::string word = words[random() % count];
                if (w == 0) {
                    word[0] = char(std::toupper(static_cast<unsigned char>(word[0])));
                }
                const unsigned style = random() % 40;
                if (style == 0) {
                    word = "{\\b " + word + "}";
                } else if (style == 1) {
                    word = "{\\i " + word + "}";
                }
                rtf += word;
                rtf += w + 1 < length ? (random() % 12 == 0 ? ", " : " ") : ". ";
            }
        }
        rtf += "\\par\n";
    }
    rtf.resize(size - 1);
    // Not cut inside a control word or a group: the text ends at its last whole paragraph.
    rtf.resize(rtf.rfind("\\par\n") + 5);
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
        bindText(entry, 2, cipher.EncryptString(ProseRtf(RtfSize, static_cast<unsigned>(i))));
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
        bindText(doc, 2, cipher.EncryptString(ProseRtf(RtfSize, 100000u + unsigned(i))));
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
