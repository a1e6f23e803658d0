// The viewer's list of a heavy user's picture tree: 20,000 pictures in 1,500 day folders, read
// into a visible list that lets messages through, against `find` piped to `sort` over the same
// tree in the same run, and the row lookup done at every picture shown.
#include "program/ProgramState.h"
#include "support/Interleaved.h"
#include "support/Offscreen.h"
#include "tools/PictureUnit.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Folders = 1500;
constexpr int Pictures = 20000;

void makeTree(const QString& root) {
    const QByteArray bytes(64, '\xFF');
    for (int i = 0; i < Pictures; ++i) {
        const int folder = i % Folders;
        const QString dir = root + QStringLiteral("Pictures/%1/%2/%3/")
                                       .arg(2010 + folder / 365)
                                       .arg(folder / 31 % 12 + 1, 2, 10, QLatin1Char('0'))
                                       .arg(folder % 28 + 1, 2, 10, QLatin1Char('0'));
        QDir().mkpath(dir);
        QFile file(dir + QStringLiteral("IMG_%1.jpg").arg(i, 5, 10, QLatin1Char('0')));
        if (file.open(QIODevice::WriteOnly)) {
            file.write(bytes);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    bench::UseOffscreenUnlessSet();
    QApplication app(argc, argv);
    QTemporaryDir dir;
    AppFolder = dir.path() + QStringLiteral("/");
    makeTree(AppFolder);

    TPictureForm form;
    form.show();
    QApplication::processEvents();
    const QString pictures = AppFolder + QStringLiteral("Pictures");
    const auto findAndSort = [&] {
        QProcess process;
        process.start(QStringLiteral("sh"),
                      {QStringLiteral("-c"),
                       QStringLiteral("find \"$0\" -type f | sort >/dev/null"), pictures});
        process.waitForFinished(-1);
    };
    const std::vector<std::vector<double>> runs =
        bench::interleavedRuns(7, {[&] { form.RefreshPictureList(); }, findAndSort});
    const double list = bench::medianOf(runs[0]);
    const double reference = bench::medianOf(runs[1]);
    std::printf("list of %d pictures in %d folders: best %.0f ms, median %.0f ms (%d rows)\n",
                Pictures, Folders, *std::min_element(runs[0].begin(), runs[0].end()), list,
                form.PictureList->rowCount());
    std::printf("reference: find | sort over the same tree: median %.0f ms\n", reference);

    const QString last = form.PictureList->fullPath(form.PictureList->rowCount() - 1);
    QElapsedTimer timer;
    timer.start();
    constexpr int Lookups = 100;
    for (int i = 0; i < Lookups; ++i) {
        (void)form.PictureList->rowOfPath(last);
    }
    std::printf("row of a shown picture (last row): %.2f ms\n",
                static_cast<double>(timer.nsecsElapsed()) / 1e6 / Lookups);
    bench::printGoal("picture list", "find | sort", list / reference);
    return 0;
}
