#pragma once
// A benchmark of a window measures it offscreen and under X: the program runs itself again in
// its measuring mode once per platform, under the X display it was given or else under
// xvfb-run, and each run prints its own figures.

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <string>

namespace bench {

// Runs program with arguments on the platform, its output passed on; false when it failed.
inline bool runOnPlatform(const QString& program, const QStringList& arguments,
                          const char* platform) {
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QString::fromLatin1(platform));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(program, arguments);
    return child.waitForFinished(-1) && child.exitStatus() == QProcess::NormalExit &&
           child.exitCode() == 0;
}

// Runs this program with arguments (its measuring mode) offscreen, then under X; false when a
// run failed or there was no X to run under.
inline bool runOnEachPlatform(const QStringList& arguments) {
    const QString self = QCoreApplication::applicationFilePath();
    bool ok = runOnPlatform(self, arguments, "offscreen");
    if (!qEnvironmentVariableIsEmpty("DISPLAY")) {
        return runOnPlatform(self, arguments, "xcb") && ok;
    }
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("xvfb-run"));
    if (xvfb.isEmpty()) {
        std::fprintf(stderr, "no X display and no xvfb-run: no figures under X\n");
        return false;
    }
    const QStringList server{QStringLiteral("-a"), QStringLiteral("-s"),
                             QStringLiteral("-screen 0 1280x1024x24"), self};
    return runOnPlatform(xvfb, server + arguments, "xcb") && ok;
}

// The main of a benchmark whose one argument is optional: this program run with the child mode
// first measures (measure gets the whole command line, the argument at argv[2]); run without
// it, it runs itself in that mode on each platform.
inline int measureOnEachPlatform(int argc, char** argv, int (*measure)(int, char**)) {
    static constexpr char kChildMode[] = "--on-this-platform";
    if (argc > 1 && std::string(argv[1]) == kChildMode) {
        return measure(argc, argv);
    }
    QCoreApplication app(argc, argv);
    QStringList arguments{QString::fromLatin1(kChildMode)};
    if (argc > 1) {
        arguments << QString::fromLocal8Bit(argv[1]);
    }
    return runOnEachPlatform(arguments) ? 0 : 1;
}

}  // namespace bench
