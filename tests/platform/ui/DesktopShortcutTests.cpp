#include "platform/ui/DesktopShortcut.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

QString readAll(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QString::fromUtf8(file.readAll());
}

// The desktop's own checker, where the machine has it (desktop-file-utils).
void expectValidLauncher(const QString& text) {
    const QString validator =
        QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (validator.isEmpty()) {
        return;
    }
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("Marlowick.desktop")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
    file.close();
    QProcess check;
    check.start(validator, {file.fileName()});
    ASSERT_TRUE(check.waitForFinished(10000));
    const QByteArray said = check.readAllStandardOutput() + check.readAllStandardError();
    EXPECT_EQ(check.exitCode(), 0) << said.toStdString();
    EXPECT_TRUE(said.trimmed().isEmpty()) << said.toStdString();  // no warnings either
}

}  // namespace

TEST(DesktopShortcutTest, LauncherStartsTheProgramInItsFolder) {
    const std::pair<const char*, const char*> cases[] = {
        {"/home/ann/Quillbrook/Marlowick", "\"/home/ann/Quillbrook/Marlowick\""},
        {"/home/ann/My Diary/Marlowick", "\"/home/ann/My Diary/Marlowick\""},
        {"/opt/$x`y\"z/50%/Marlowick", "\"/opt/\\\\$x\\\\`y\\\\\"z/50%%/Marlowick\""},
    };
    for (auto [program, exec] : cases) {
        const QString text = qb::desktopLauncherText(QString::fromUtf8(program));
        const QStringList lines = text.split(QLatin1Char('\n'));
        EXPECT_EQ(lines.value(0), QStringLiteral("[Desktop Entry]"));
        EXPECT_TRUE(lines.contains(QStringLiteral("Type=Application")));
        EXPECT_TRUE(lines.contains(QStringLiteral("Exec=") + QString::fromUtf8(exec)))
            << text.toStdString();
        const QString folder = QString::fromUtf8(program).section(QLatin1Char('/'), 0, -2);
        EXPECT_TRUE(lines.contains(QStringLiteral("Path=") + folder + QLatin1Char('/')))
            << text.toStdString();
        EXPECT_TRUE(
            lines.contains(QStringLiteral("Icon=") + folder + QStringLiteral("/Marlowick.png")))
            << text.toStdString();
        expectValidLauncher(text);
    }
}

TEST(DesktopShortcutTest, WritesReplacesAndReportsFailure) {
    QTemporaryDir home;
    const QString desktop = home.filePath(QStringLiteral("Desktop"));  // not there yet
    const QString launcher = desktop + QStringLiteral("/Marlowick.desktop");
    ASSERT_TRUE(qb::writeDesktopShortcut(desktop, QStringLiteral("/old/Marlowick")));
    ASSERT_TRUE(qb::writeDesktopShortcut(desktop, QStringLiteral("/new/Marlowick")));
    EXPECT_EQ(readAll(launcher), qb::desktopLauncherText(QStringLiteral("/new/Marlowick")));
    EXPECT_TRUE(QFile::permissions(launcher) & QFile::ExeOwner);
    EXPECT_EQ(QDir(desktop).entryList(QDir::Files | QDir::Hidden).size(), 1);  // no leftovers

    // A file where the desktop folder should be.
    QFile blocker(home.filePath(QStringLiteral("NotAFolder")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_FALSE(qb::writeDesktopShortcut(blocker.fileName(), QStringLiteral("/p/Marlowick")));
    EXPECT_FALSE(qb::writeDesktopShortcut(QString(), QStringLiteral("/p/Marlowick")));
}
