// export_bench [folder]: the export dialog's whole export of a heavy diary (3,650 days of 4 KB
// enciphered RTF, 150 documents) into a fresh folder, against `cp -r` of the exported tree
// (the same files and bytes) in the same run.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextDocument>
#include "support/Offscreen.h"

#include <cstdio>

#include "EmptyDiary.h"
#include "program/ProgramState.h"
#include "program/StaticUnit.h"
#include "cipher/QbClass.h"
#include "platform/core/Dialogs.h"
#include "platform/richedit/RichEdit.h"
#include "platform/rtf/Rtf.h"
#include "store/DatabaseUnit.h"
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
    const QString root = folder + "export";
    QDir().mkpath(root);
    TExportForm form;
    form.PathLabel->setText(root);
    QElapsedTimer timer;
    timer.start();
    form.Button1Click();
    const double exportMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    if (boxes.shown.size() != 1 || boxes.shown[0].title != "Export Finished") {
        std::fprintf(stderr, "the export did not finish\n");
        return 1;
    }
    // The share of the rendering: each text deciphered, read and written as RTF, no files.
    timer.start();
    {
        qb::db::Table& entries = module.EntryTable;
        for (entries.First(); !entries.Eof(); entries.Next()) {
            QTextDocument page;
            page.setUndoRedoEnabled(false);
            page.setDefaultFont(form.RichEdit->document()->defaultFont());
            qb::rtf::read(
                QByteArray::fromStdString(DecodeEntryText(entries.FieldByName("Entry").AsString())),
                page);
            if (qb::rtf::write(page).isEmpty()) {
                return 1;
            }
        }
    }
    const double renderMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    int files = 0;
    const qint64 bytes = bytesBelow(root, files);

    timer.start();
    const int copied = QProcess::execute("cp", {"-r", root, folder + "copy"});
    const double copyMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    if (copied != 0) {
        std::fprintf(stderr, "cp -r failed\n");
        return 1;
    }
    std::printf("export of %d days and %d documents: %d files, %.1f MB\n", bench::Days,
                bench::Documents, files, static_cast<double>(bytes) / 1e6);
    std::printf("export (decipher, RTF read and write, atomic file writes)  %9.1f ms\n", exportMs);
    std::printf("of it: deciphering and RTF read/write of the days alone      %9.1f ms\n",
                renderMs);
    std::printf("cp -r of the exported tree                                  %9.1f ms\n", copyMs);
    std::printf("export / cp -r                                              %9.1fx\n",
                exportMs / copyMs);
    return 0;
}
