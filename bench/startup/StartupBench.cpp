// startup_bench [runs]: the time from process start to the main window shown and idle, with a
// diary of ten years (3,650 days of about 4 KB of prose in enciphered RTF, 150 documents), next
// to the time of a bare Qt window in the same run. Each measured start is a fresh process: the
// diary is this program run again in a child mode, the bare window is startup_bare_window, a
// separate program linked with Qt Widgets only (so it does not pay for loading the diary's
// libraries); the child reports the monotonic clock when its event loop first goes idle with the
// window shown, and the parent subtracts the moment it started the child.
//
// Measures offscreen and, when an X display is there (xvfb-run), under X, with a closing line for
// each.

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDate>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include "support/Interleaved.h"
#include "support/Offscreen.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "EmptyDiary.h"
#include "app/MainUnit.h"
#include "app/ProgramWindows.h"
#include "cipher/QbClass.h"
#include "platform/ui/Application.h"
#include "platform/ui/ProgramStyle.h"
#include "program/ProgramState.h"
#include "program/StaticUnit.h"
#include "store/DatabaseUnit.h"
#include "support/TenYearDiary.h"

namespace {

using bench::Days;
using bench::Documents;
using bench::RtfSize;

long long monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// Prints the monotonic time and ends the program at the first idle moment after ready() holds.
void reportWhenIdle(std::function<bool()> ready) {
    auto* dispatcher = QAbstractEventDispatcher::instance();
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [ready] {
        static bool done = false;
        if (!done && ready()) {
            done = true;
            std::printf("%lld\n", monotonicNs());
            std::fflush(stdout);
            QCoreApplication::exit(0);
        }
    });
}

// The start of Marlowick, with the diary's folder in place of the program's own.
int diaryWindow(int argc, char** argv, const QString& folder) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setFont(TMainForm::LayoutFont());
    qb::programStyle();
    qb::setApplicationTitle(ProductTitle);
    ProgramWindows windows(folder);
    TMainForm* main = &windows.main();
    QTimer::singleShot(0, main, [main] { main->show(); });
    reportWhenIdle([main] { return main->StartupFinished() && main->isVisible(); });
    const int result = app.exec();
    if (qb::quitRequested()) {
        std::fprintf(stderr, "the diary did not open\n");
        return 1;
    }
    return result;
}

double runChild(const QString& program, const QStringList& arguments, const char* platform) {
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QString::fromLatin1(platform));
    child.setProcessEnvironment(environment);
    const long long start = monotonicNs();
    child.start(program, arguments);
    if (!child.waitForFinished(60000) || child.exitCode() != 0) {
        throw std::runtime_error("the child failed: " + child.readAllStandardError().toStdString());
    }
    const long long idle = child.readAllStandardOutput().trimmed().toLongLong();
    return double(idle - start) / 1e6;
}

// Prints the figures of one kind of start and returns their median.
double report(const std::string& what, std::vector<double> times) {
    std::sort(times.begin(), times.end());
    std::printf("%-56s %3zu runs  median %8.1f ms  min %8.1f ms  max %8.1f ms\n", what.c_str(),
                times.size(), times[times.size() / 2], times.front(), times.back());
    return times[times.size() / 2];
}

// The bare window and the diary started in turns on one platform, with the closing line.
void measureOn(const char* platform, int runs, const QString& folder) {
    const QString self = QCoreApplication::applicationFilePath();
    std::vector<double> bare;
    std::vector<double> diary;
    for (int i = 0; i < runs; ++i) {
        bare.push_back(runChild(QStringLiteral(QB_BARE_WINDOW_PROGRAM), {}, platform));
        diary.push_back(runChild(self, {QStringLiteral("--diary"), folder}, platform));
    }
    const std::string on = std::string(" (") + platform + ")";
    const double bareMs = report("bare Qt window: start to shown and idle" + on, bare);
    const double diaryMs = report("Marlowick with the diary: start to idle" + on, diary);
    bench::printGoal("start-up to idle with a ten-year diary" + on, "bare Qt window" + on,
                     diaryMs / bareMs);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2 && std::string(argv[1]) == "--diary") {
        bench::UseOffscreenUnlessSet();
        return diaryWindow(argc, argv, QString::fromLocal8Bit(argv[2]));
    }
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    QCoreApplication app(argc, argv);
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        std::fprintf(stderr, "cannot make a scratch folder\n");
        return 1;
    }
    const QString folder = scratch.path() + QLatin1Char('/');
    const std::string database = (folder + QString::fromLatin1(DatabaseFileName)).toStdString();
    CreateEmptyDiary(database);
    {
        TQbBlowfish cipher;
        cipher.GenerateKey(DiaryKeyText());
        bench::FillTenYearDiary(database, cipher);
    }
    std::printf("diary: %d days of prose in RTF of up to %zu bytes, %d documents\n", Days, RtfSize,
                Documents);
    measureOn("offscreen", runs, folder);
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::printf("no X display: run under xvfb-run for the figures under X\n");
    } else {
        measureOn("xcb", runs, folder);
    }
    return 0;
}
