// import_bench [files] [megabytes] [folder]: the picture import of a camera folder (by default
// 500 files of 3 MB over 50 days) into an empty diary, against `cp -r` of the same folder in the
// same run.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTreeWidget>
#include "support/Offscreen.h"

#include <cstdio>
#include <random>

#include "EmptyDiary.h"
#include "cipher/QbClass.h"
#include "platform/ui/FolderTree.h"
#include "program/ProgramState.h"
#include "store/DatabaseUnit.h"
#include "support/ScriptedDialogs.h"
#include "tools/ImportPicturesUnit.h"

int main(int argc, char** argv) {
    bench::UseOffscreenUnlessSet();
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 500;
    const int megabytes = argc > 2 ? std::atoi(argv[2]) : 3;
    QTemporaryDir scratch(argc > 3 ? QString(argv[3]) + "/import_bench-XXXXXX"
                                   : QDir::tempPath() + "/import_bench-XXXXXX");
    if (!scratch.isValid() || count < 1 || megabytes < 1) {
        std::fprintf(stderr, "usage: import_bench [files] [megabytes] [folder]\n");
        return 1;
    }
    const QString folder = scratch.path() + "/";
    CreateEmptyDiary((folder + DatabaseFileName).toStdString());
    TQbBlowfish cipher;
    TDataModule1 module(folder, cipher);
    module.OpenDatabase();
    DataModule1 = &module;
    AppFolder = folder;

    const QString camera = folder + "camera";
    QDir().mkpath(camera);
    QByteArray bytes(megabytes * 1024 * 1024, '\0');
    std::mt19937 random(5);
    for (char& b : bytes) {
        b = static_cast<char>(random());
    }
    for (int i = 0; i < count; ++i) {
        QFile file(camera + QString("/IMG_%1.JPG").arg(i, 5, 10, QChar('0')));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            return 1;
        }
        file.flush();
        file.setFileTime(QDateTime(QDate(2006, 1, 1).addDays(i % 50), QTime(12, 0)),
                         QFileDevice::FileModificationTime);
    }
    QProcess::execute("sync", {});

    qb::ScriptedDialogs boxes;  // answers "Import Finished"
    TImportPicturesForm form;
    form.ShellTreeView->selectPath(camera);
    form.ShellTreeViewChange();
    form.ListView->selectAll();
    QElapsedTimer timer;
    timer.start();
    form.Button1Click();
    const double importMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    if (boxes.shown.size() != 1 || boxes.shown[0].text.contains("could not")) {
        std::fprintf(stderr, "the import did not finish cleanly\n");
        return 1;
    }
    QProcess::execute("sync", {});
    timer.start();
    if (QProcess::execute("cp", {"-r", camera, folder + "copy"}) != 0) {
        return 1;
    }
    QProcess::execute("sync", {});  // cp -r leaves its data to the page cache; the import syncs
    const double copyMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;

    const double total = double(count) * megabytes;
    std::printf("import of %d files of %d MB into %d days (%d rows)\n", count, megabytes,
                std::min(count, 50), module.EntryTable.RecordCount());
    std::printf("import                %9.1f ms  %7.1f MB/s\n", importMs, total / importMs * 1000);
    std::printf("cp -r, then sync      %9.1f ms  %7.1f MB/s\n", copyMs, total / copyMs * 1000);
    std::printf("import throughput / cp -r throughput  %.2fx\n", copyMs / importMs);
    return 0;
}
