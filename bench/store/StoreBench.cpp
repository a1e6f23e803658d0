// store_bench [folder]: a heavy diary (3,650 days of about 4 KB of prose in enciphered RTF, 150
// documents) in a fresh folder, and the time of the database module's everyday operations on it.

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
#include "cipher/QbClass.h"
#include "program/ProgramState.h"
#include "program/StaticUnit.h"
#include "store/DatabaseUnit.h"
#include "support/TenYearDiary.h"

namespace {

using bench::Days;
using bench::Documents;
using bench::RtfSize;

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
    bench::ScratchDiary diary("store_bench", argc > 1 ? QString(argv[1]) : QString());
    const QString& folder = diary.folder;
    const std::string& database = diary.database;
    TQbBlowfish& cipher = diary.cipher;
    const std::vector<QString>& keys = diary.keys;
    std::printf(
        "diary: %d days of prose in RTF of up to %zu bytes, %d documents, file %.1f MB in %s\n",
        Days, RtfSize, Documents, QFileInfo(QString::fromStdString(database)).size() / 1e6,
        qPrintable(diary.path()));

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
            EncodeEntryText(bench::RtfOfSize(RtfSize, 500000u + static_cast<unsigned>(i))));
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
