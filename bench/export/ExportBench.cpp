// export_bench [folder]: the export window's whole export of a heavy diary (3,650 days of about
// 4 KB of prose in enciphered RTF, 150 documents), shown on screen, against `cp -r` of the exported
// tree (the same files and bytes) in turns in the same run, like for like: an export into an empty
// folder against a copy into an empty folder, and an export over an existing export against a copy
// over an existing copy.
//
// The program runs itself twice, offscreen and under X (xvfb-run, QT_QPA_PLATFORM=xcb), and
// prints the lines of both.

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QProcess>
#include <QTextDocument>
#include "support/Interleaved.h"
#include "support/OnEachPlatform.h"

#include <cstdio>
#include <string>

#include <unistd.h>

#include "EmptyDiary.h"
#include "cipher/QbClass.h"
#include "platform/db/Table.h"
#include "platform/richedit/RichEdit.h"
#include "platform/rtf/Rtf.h"
#include "program/ProgramState.h"
#include "program/StaticUnit.h"
#include "store/DatabaseUnit.h"
#include "support/ScriptedDialogs.h"
#include "support/TenYearDiary.h"
#include "tools/ExportUnit.h"
#include "tools/Exporter.h"

namespace {

qint64 bytesBelow(const QString& folder, int& files) {
    qint64 total = 0;
    QDir dir(folder);
    for (const QFileInfo& info :
         dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (info.isDir()) {
            total += bytesBelow(info.filePath(), files);
        } else {
            total += info.size();
            ++files;
        }
    }
    return total;
}

// Lets the window come up and paint before the turns start.
void settleWindow(QWidget& window) {
    window.show();
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents();
        ::usleep(10000);
    }
}

int measure(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString platform = QApplication::platformName();
    bench::ScratchDiary diary("export_bench", argc > 2 ? QString(argv[2]) : QString());
    const QString& folder = diary.folder;
    TDataModule1 module(folder, diary.cipher);
    module.OpenDatabase();
    DataModule1 = &module;
    AppFolder = folder;

    qb::ScriptedDialogs boxes;  // answers "Export Finished"
    TExportForm form;
    settleWindow(form);
    bool failed = false;
    const auto exportInto = [&](const QString& root) {
        form.PathLabel->setText(root);
        boxes.shown.clear();
        form.Button1Click();
        failed = failed || boxes.shown.size() != 1 || boxes.shown[0].title != "Export Finished";
    };
    const auto copy = [&](const QString& from, const QString& to) {
        // -T: into `to` itself when it exists, as over an existing copy.
        failed = failed || QProcess::execute("cp", {"-r", "-T", from, to}) != 0;
    };

    // The trees that the turns write over: an export and its copy, made untimed.
    const QString over = folder + QStringLiteral("over");
    const QString overCopy = folder + QStringLiteral("over-copy");
    QDir().mkpath(over);
    exportInto(over);
    copy(over, overCopy);
    // Each turn's fresh trees, removed before the next turn.
    const QString fresh = folder + QStringLiteral("fresh");
    const QString freshCopy = folder + QStringLiteral("fresh-copy");

    // The share of the rendering: each day deciphered and made the RTF the export writes, no
    // files. The days are read as the export reads them, a few hundred rows a statement.
    const auto renderDays = [&] {
        qb::db::Table entries(module.ADOConnection1, "Entry");
        entries.SetSort("sYYYYMMDD");
        entries.SetReadAhead(qb::db::kWalkReadAhead);
        entries.Open();
        for (entries.First(); !entries.Eof(); entries.Next()) {
            const std::optional<QByteArray> rtf =
                ExportedRtf(entries.FieldByName("Entry").AsString(), *form.RichEdit->document());
            failed = failed || !rtf || rtf->isEmpty();
        }
    };
    // The export ends by waiting for the disk; what the copy and others left unwritten must not
    // be that wait's work. Untimed.
    const auto settle = [&] {
        QDir(fresh).removeRecursively();
        QDir(freshCopy).removeRecursively();
        QDir().mkpath(fresh);
        ::sync();
    };
    const std::vector<std::vector<double>> runs = bench::interleavedRuns(
        5, {settle, [&] { exportInto(fresh); }, [&] { copy(fresh, freshCopy); }, settle,
            [&] { exportInto(over); }, [&] { copy(over, overCopy); }, renderDays});
    if (failed) {
        std::fprintf(stderr, "an export, its copy or a rendering failed\n");
        return 1;
    }
    const double freshMs = bench::medianOf(runs[1]);
    const double freshCopyMs = bench::medianOf(runs[2]);
    const double overMs = bench::medianOf(runs[4]);
    const double overCopyMs = bench::medianOf(runs[5]);
    const double renderMs = bench::medianOf(runs[6]);
    int files = 0;
    const qint64 bytes = bytesBelow(over, files);

    std::printf(
        "on %s: export of %d days and %d documents: %d files, %.1f MB; medians of %zu "
        "turns\n",
        platform.toUtf8().constData(), bench::Days, bench::Documents, files,
        static_cast<double>(bytes) / 1e6, runs[1].size());
    std::printf("export into an empty folder                                 %9.1f ms\n", freshMs);
    std::printf("cp -r into an empty folder                                  %9.1f ms\n",
                freshCopyMs);
    std::printf("export over an existing export                              %9.1f ms\n", overMs);
    std::printf("cp -r over an existing copy                                 %9.1f ms\n",
                overCopyMs);
    std::printf("of an export: deciphering the days and their RTF alone      %9.1f ms\n", renderMs);
    const std::string on = " (" + platform.toStdString() + ")";
    bench::printGoal("export into an empty folder" + on, "cp -r into an empty folder",
                     freshMs / freshCopyMs);
    bench::printGoal("export over an existing export" + on, "cp -r over an existing copy",
                     overMs / overCopyMs);
    bench::printGoal("days' decipher + RTF" + on, "0.3 s", renderMs / 300.0);
    std::fflush(stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    return bench::measureOnEachPlatform(argc, argv, measure);
}
