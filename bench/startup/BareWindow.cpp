// startup_bare_window: the reference start for startup_bench, a bare Qt window in a program linked
// with Qt Widgets only, so its load cost is Qt's alone. It prints the monotonic clock when its
// event loop first goes idle with the window shown.

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <ctime>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QWidget window;
    window.resize(876, 659);
    window.setWindowTitle(QStringLiteral("bare"));
    QTimer::singleShot(0, &window, [&] { window.show(); });
    QObject::connect(
        QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, [&window] {
            static bool done = false;
            if (!done && window.isVisible()) {
                done = true;
                timespec now{};
                clock_gettime(CLOCK_MONOTONIC, &now);
                std::printf("%lld\n",
                            static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
                std::fflush(stdout);
                QCoreApplication::exit(0);
            }
        });
    return app.exec();
}
