// search_bench [folder]: the search window over the ten-year diary (3,650 days of about 4 KB of
// prose in enciphered RTF, 150 documents) with 5,000 picture names in 1,500 day folders. Prints the
// time of whole searches through the window, the cost of each step per text (deciphering, RTF to
// paragraphs, matching), and grep -F -r over the same texts written as plain files. The program
// runs itself twice, offscreen and under X (xvfb-run, QT_QPA_PLATFORM=xcb), and prints the lines of
// both.

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include "support/Interleaved.h"
#include "support/OnEachPlatform.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include <time.h>

#include "EmptyDiary.h"
#include "cipher/QbClass.h"
#include "platform/rtf/Rtf.h"
#include "program/ProgramState.h"
#include "program/StaticUnit.h"
#include "store/DatabaseUnit.h"
#include "support/TenYearDiary.h"
#include "tools/SearchTerms.h"
#include "tools/SearchUnit.h"

namespace {

constexpr int Pictures = 5000;
constexpr int PictureDays = 1500;
const char* const RareWord = "zephyr";
// A rare word spelt only with letters every text holds, so that no text is passed over by its
// letters alone and each is read as a user's diary would be.
const char* const CommonLetterWord = "waterbird";
const int RareDays[] = {12, 1800, 3600};

double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Wall time and the process's CPU time (the fairer figure on a loaded machine); returns the
// median wall time.
double measure(const char* what, int count, const std::function<void()>& work) {
    std::vector<double> times;
    std::vector<double> cpu;
    for (int i = 0; i < count; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = cpuMs();
        work();
        cpu.push_back(cpuMs() - cpuStart);
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(times.begin(), times.end());
    std::sort(cpu.begin(), cpu.end());
    std::printf("%-50s %2d runs  median %7.1f ms (cpu %7.1f)  max %7.1f ms\n", what, count,
                times[times.size() / 2], cpu[cpu.size() / 2], times.back());
    return times[times.size() / 2];
}

// The rare word written into a few days, as a user would have typed it.
void plantRareWord(TDataModule1& module, const std::vector<QString>& keys) {
    for (int day : RareDays) {
        qb::db::Table& entries = module.EntryTable;
        entries.Locate("sYYYYMMDD", keys[std::size_t(day)].toStdString());
        std::string rtf = bench::ProseRtf(bench::RtfSize, unsigned(day));
        rtf.insert(rtf.size() - 1, std::string("\\par met a ") + RareWord + " today, and a " +
                                       CommonLetterWord + " by the river");
        entries.Edit();
        entries.FieldByName("Entry").SetAsString(EncodeEntryText(rtf));
        entries.Post();
    }
}

void makePictures(const QString& folder, const std::vector<QString>& keys) {
    for (int i = 0; i < Pictures; ++i) {
        const QString& key = keys[std::size_t(i % PictureDays) * 2];
        const QString day =
            folder + "Pictures/" + key.left(4) + "/" + key.mid(4, 2) + "/" + key.mid(6, 2) + "/";
        QDir().mkpath(day);
        QFile(day + QStringLiteral("IMG_%1.jpg").arg(i, 5, 10, QLatin1Char('0')))
            .open(QIODevice::WriteOnly);
    }
}

// Every stored text of the diary, as the search reads it.
std::vector<std::string> storedTexts(TDataModule1& module) {
    std::vector<std::string> texts;
    for (qb::db::Table* table : {&module.EntryTable, &module.OtherDocTable}) {
        for (table->First(); !table->Eof(); table->Next()) {
            texts.push_back(table->FieldByName("Entry").AsString());
        }
    }
    return texts;
}

int measure(int argc, char** argv) {
    QApplication app(argc, argv);
    const std::string on = " (" + QApplication::platformName().toStdString() + ")";
    bench::ScratchDiary diary("search_bench", argc > 2 ? QString(argv[2]) : QString());
    const QString& folder = diary.folder;
    const std::vector<QString>& keys = diary.keys;
    AppFolder = folder;
    TDataModule1 module(folder, diary.cipher);
    module.OpenDatabase();
    DataModule1 = &module;
    plantRareWord(module, keys);
    makePictures(folder, keys);
    std::printf(
        "diary: %d days of prose in RTF of up to %zu bytes, %d documents, %d pictures in %d "
        "folders\n",
        bench::Days, bench::RtfSize, bench::Documents, Pictures, PictureDays);

    // The steps of the search, per text.
    const std::vector<std::string> texts = storedTexts(module);
    std::vector<std::string> rtfs;
    measure("read + decipher every text", 3, [&] {
        rtfs.clear();
        for (const std::string& stored : storedTexts(module)) {
            rtfs.push_back(DecodeEntryText(stored));
        }
    });
    measure("decipher every text", 5, [&] {
        for (const std::string& stored : texts) {
            DecodeEntryText(stored);
        }
    });
    std::vector<QStringList> paragraphs;
    measure("RTF to paragraphs, every text", 5, [&] {
        paragraphs.clear();
        for (const std::string& rtf : rtfs) {
            paragraphs.push_back(qb::rtf::paragraphs(QByteArray::fromStdString(rtf)));
        }
    });
    std::string asciiText;
    measure("RTF text without the parse, every text", 5, [&] {
        for (const std::string& rtf : rtfs) {
            qb::rtf::asciiTextWithoutParse(rtf, asciiText);
        }
    });
    const QStringList terms = qb::search::SearchTermsOf(RareWord);
    measure("upper case + match, every text", 5, [&] {
        for (const QStringList& p : paragraphs) {
            qb::search::RecordText(p).matchesAll(terms);
        }
    });

    // grep over the same texts written as plain files.
    const QString plain = folder + "plain/";
    QDir().mkpath(plain);
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        QFile file(plain + QString::number(i) + ".txt");
        file.open(QIODevice::WriteOnly);
        file.write(paragraphs[i].join('\n').toUtf8());
    }
    const auto grepFor = [&](const char* word) {
        QProcess process;
        process.start("grep", {"-F", "-r", "-i", "-l", word, plain});
        process.waitForFinished(-1);
    };
    const auto grep = [&] { grepFor(RareWord); };

    TSearchForm form;
    form.show();
    const auto search = [&](const QString& text, bool pictures) {
        form.SearchEdit->setText(text);
        form.PicturesCheckBox->setChecked(pictures);
        form.StartButtonClick();
    };
    // The same work without the window (read, decipher, paragraphs, match, one text at a time),
    // measured in turns with the window's search so that both see the same load.
    const auto bare = [&] {
        for (const std::string& stored : storedTexts(module)) {
            qb::search::RecordText(
                qb::rtf::paragraphs(QByteArray::fromStdString(DecodeEntryText(stored))))
                .matchesAll(terms);
        }
    };
    double rare = 0;
    double reference = 0;
    for (int turn = 0; turn < 3; ++turn) {
        reference = measure("reference: the search's steps without the window", 3, bare);
        rare =
            measure("window: rare word, entries + documents", 3, [&] { search(RareWord, false); });
    }
    std::printf("  rows %d, %.2f x the steps without the window\n", form.Results->count(),
                rare / reference);
    // The goal's figure: the window's search and grep in turns.
    const std::vector<std::vector<double>> turns =
        bench::interleavedRuns(9, {[&] { search(RareWord, false); }, grep});
    const double rareMedian = bench::medianOf(turns[0]);
    const double grepMedian = bench::medianOf(turns[1]);
    std::printf("in turns: window %.1f ms, grep -F -r -i over plain texts %.1f ms (medians)\n",
                rareMedian, grepMedian);
    measure("window: rare word, entries + documents + pictures", 5,
            [&] { search(RareWord, true); });
    std::printf("  rows %d\n", form.Results->count());
    measure("window: picture name IMG_0420", 5, [&] { search("img_0420", true); });
    std::printf("  rows %d\n", form.Results->count());
    measure("window: common word \"harbour\", everything", 3, [&] { search("harbour", true); });
    std::printf("  rows %d\n", form.Results->count());
    const std::vector<std::vector<double>> commonTurns = bench::interleavedRuns(
        9, {[&] { search(CommonLetterWord, false); }, [&] { grepFor(CommonLetterWord); }});
    std::printf("in turns: window %.1f ms, grep %.1f ms for \"%s\", rows %d (medians)\n",
                bench::medianOf(commonTurns[0]), bench::medianOf(commonTurns[1]), CommonLetterWord,
                form.Results->count());
    bench::printGoal("search rare word of common letters, entries + documents" + on,
                     "grep -F -r -i",
                     bench::medianOf(commonTurns[0]) / bench::medianOf(commonTurns[1]));
    bench::printGoal("search rare word, entries + documents" + on, "grep -F -r -i",
                     rareMedian / grepMedian);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    return bench::measureOnEachPlatform(argc, argv, measure);
}
