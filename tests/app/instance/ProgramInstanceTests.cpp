// Starts of the real program on one program folder: a copy of the program file beside an empty
// diary, each start a process of its own on the offscreen platform.

#include "EmptyDiary.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <memory>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

class ProgramInstanceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        program = folder.filePath(QStringLiteral("Marlowick"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(QB_PROGRAM_FILE), program));
        CreateEmptyDiary(folder.filePath(QStringLiteral("Marlowick.mdb")).toStdString());
    }

    void TearDown() override {
        for (auto& start : starts) {
            start->kill();
            start->waitForFinished(5000);
        }
    }

    QProcess& start(const QStringList& arguments = {}) {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        // The user's desktop folder inside the test's own.
        environment.insert(QStringLiteral("HOME"), home.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        process->setProcessEnvironment(environment);
        process->setWorkingDirectory(folder.path());
        process->start(program, arguments);
        EXPECT_TRUE(process->waitForStarted(10000));
        starts.push_back(std::move(process));
        return *starts.back();
    }

    // Some process holds the folder's lock.
    bool lockHeld() const {
        const int fd = ::open(QFile::encodeName(folder.filePath(QStringLiteral("Marlowick.lock"))),
                              O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            return false;
        }
        const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
        ::close(fd);
        return held;
    }

    // The first start is up: it holds the lock and its diary is open.
    void waitUntilRunning(QProcess& first) {
        const QDeadlineTimer deadline(20000);
        while (!lockHeld() && !deadline.hasExpired() && first.state() == QProcess::Running) {
            QThread::msleep(20);
        }
        ASSERT_TRUE(lockHeld());
        QThread::msleep(300);  // start-up goes on past the lock: the database opens
        ASSERT_EQ(first.state(), QProcess::Running);
    }

    QByteArray diaryState() const {
        QCryptographicHash hash(QCryptographicHash::Sha1);
        for (const char* name : {"Marlowick.mdb", "Marlowick.ini"}) {
            QFile file(folder.filePath(QString::fromLatin1(name)));
            if (file.open(QIODevice::ReadOnly)) {
                hash.addData(file.readAll());
                hash.addData(
                    QByteArray::number(QFileInfo(file).lastModified().toMSecsSinceEpoch()));
            }
        }
        return hash.result();
    }

    QTemporaryDir folder;
    QTemporaryDir home;
    QString program;
    std::vector<std::unique_ptr<QProcess>> starts;
};

TEST_F(ProgramInstanceTest, ASecondStartHandsOverToTheRunningCopyAndEndsWithoutTouchingTheDiary) {
    QProcess& first = start();
    waitUntilRunning(first);
    const QByteArray before = diaryState();

    QProcess& second = start();
    ASSERT_TRUE(second.waitForFinished(15000)) << "the second copy kept running";
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);
    EXPECT_EQ(diaryState(), before);
}

TEST_F(ProgramInstanceTest, ASecondStartWithTheLauncherSwitchWritesItBeforeHandingOver) {
    QProcess& first = start();
    waitUntilRunning(first);
    const QString launcher = home.filePath(QStringLiteral("Desktop/Marlowick.desktop"));
    ASSERT_FALSE(QFileInfo::exists(launcher));

    QProcess& second = start({QStringLiteral("-cs")});
    ASSERT_TRUE(second.waitForFinished(15000)) << "the second copy kept running";
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);
    QFile file(launcher);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "no launcher written";
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    EXPECT_TRUE(lines.contains(QStringLiteral("Exec=\"") + program + u'"'));
    EXPECT_TRUE(lines.contains(QStringLiteral("Icon=") + folder.filePath("Marlowick.png")));

    // The icon the launcher names lies beside the program as it is built.
    EXPECT_TRUE(
        QFileInfo::exists(QFileInfo(QStringLiteral(QB_PROGRAM_FILE)).dir().filePath("Marlowick.png")));
}

TEST_F(ProgramInstanceTest, ACopyThatWasKilledLeavesNothingThatBlocksTheNextStart) {
    QProcess& killed = start();
    waitUntilRunning(killed);
    killed.kill();
    ASSERT_TRUE(killed.waitForFinished(5000));

    QProcess& next = start();
    waitUntilRunning(next);
    // It serves the folder in turn: a later start hands over to it.
    QProcess& later = start();
    ASSERT_TRUE(later.waitForFinished(15000));
    EXPECT_EQ(later.exitCode(), 0);
    EXPECT_EQ(next.state(), QProcess::Running);
}

}  // namespace
