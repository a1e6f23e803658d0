// export_bench [folder]: the export dialog's whole export of a heavy diary (3,650 days of 4 KB
// enciphered RTF, 150 documents) into a fresh folder, against `cp -r` of the exported tree
// (the same files and bytes) in turns in the same run.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextDocument>
#include "support/Interleaved.h"
#include "support/Offscreen.h"

#include <cstdio>

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

}  // namespace

int main(int argc, char** argv) {
    bench::UseOffscreenUnlessSet();
    QApplication app(argc, argv);
    bench::ScratchDiary diary("export_bench", argc > 1 ? QString(argv[1]) : QString());
    const QString& folder = diary.folder;
    TDataModule1 module(folder, diary.cipher);
    module.OpenDatabase();
    DataModule1 = &module;
    AppFolder = folder;

    qb::ScriptedDialogs boxes;  // answers "Export Finished"
    TExportForm form;
    int turn = 0;
    QString root;  // the tree of the latest export
    bool failed = false;
    // Each export goes into a fresh folder, so that no file is there to replace.
    const auto exportOnce = [&] {
        root = folder + QStringLiteral("export%1").arg(++turn);
        QDir().mkpath(root);
        form.PathLabel->setText(root);
        boxes.shown.clear();
        form.Button1Click();
        failed = failed || boxes.shown.size() != 1 || boxes.shown[0].title != "Export Finished";
    };
    const auto copyTree = [&] {
        failed =
            failed || QProcess::execute("cp", {"-r", root, root + QStringLiteral("-copy")}) != 0;
    };
    // The share of the rendering: each day deciphered and made the RTF the export writes, no
    // files.
    // The days are read as the export reads them, a few hundred rows a statement.
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
    const auto settle = [] { ::sync(); };
    const std::vector<std::vector<double>> runs =
        bench::interleavedRuns(5, {settle, exportOnce, copyTree, renderDays});
    if (failed) {
        std::fprintf(stderr, "an export, its copy or a rendering failed\n");
        return 1;
    }
    const double exportMs = bench::medianOf(runs[1]);
    const double copyMs = bench::medianOf(runs[2]);
    const double renderMs = bench::medianOf(runs[3]);
    int files = 0;
    const qint64 bytes = bytesBelow(root, files);

    std::printf("export of %d days and %d documents: %d files, %.1f MB; medians of %zu turns\n",
                bench::Days, bench::Documents, files, static_cast<double>(bytes) / 1e6,
                runs[1].size());
    std::printf("export (decipher, RTF out again, atomic file writes)       %9.1f ms\n", exportMs);
    std::printf("of it: deciphering the days and their RTF alone             %9.1f ms\n", renderMs);
    std::printf("cp -r of the exported tree                                  %9.1f ms\n", copyMs);
    bench::printGoal("export", "cp -r", exportMs / copyMs);
    bench::printGoal("days' decipher + RTF", "0.3 s", renderMs / 300.0);
    return 0;
}
