// One running copy per folder, in one process: each SingleInstance stands for one start (flock
// locks belong to the open file, so two of them in one process exclude each other as two
// processes do). Asking blocks, so the later start asks from a thread of its own while the
// holder's event loop runs here.

#include "platform/ui/SingleInstance.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <atomic>
#include <memory>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace qb {
namespace {

class SingleInstanceTest : public ::testing::Test {
  protected:
    std::unique_ptr<SingleInstance> start() {
        return std::make_unique<SingleInstance>(lockPath(), name);
    }
    QString lockPath() const { return folder.filePath(QStringLiteral("Program.lock")); }

    // The later start's ask, answered while the holder's loop runs.
    bool ask(const SingleInstance& later, int timeoutMs) {
        std::atomic<bool> done{false};
        bool answered = false;
        std::thread asker([&] {
            answered = later.AskHolderForward(timeoutMs);
            done = true;
        });
        while (!done) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        asker.join();
        return answered;
    }

    QTemporaryDir folder;
    const QString name = SingleInstance::ServerNameOf(QStringLiteral("QbTest"), folder.path());
};

TEST_F(SingleInstanceTest, TheFirstStartHoldsTheFolderUntilItEnds) {
    auto first = start();
    EXPECT_TRUE(first->Holds());
    auto second = start();
    EXPECT_FALSE(second->Holds());
    EXPECT_FALSE(start()->Holds());
    first.reset();
    EXPECT_TRUE(start()->Holds());
}

TEST_F(SingleInstanceTest, ALaterStartAsksTheHolderForwardAndIsAnswered) {
    auto first = start();
    QSignalSpy asked(first.get(), &SingleInstance::ForwardAsked);
    auto second = start();
    EXPECT_TRUE(ask(*second, 5000));
    EXPECT_EQ(asked.count(), 1);
    EXPECT_TRUE(ask(*second, 5000));
    EXPECT_EQ(asked.count(), 2);
}

TEST_F(SingleInstanceTest, WithNobodyListeningTheAskGivesUpInTime) {
    // The lock held by something that never answers.
    const int fd = ::open(QFile::encodeName(lockPath()).constData(), O_RDWR | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    auto later = start();
    EXPECT_FALSE(later->Holds());
    EXPECT_FALSE(ask(*later, 300));
    ::close(fd);
}

TEST_F(SingleInstanceTest, TheSocketOfAKilledHolderDoesNotStopTheNextOne) {
    // A killed holder leaves its socket file behind (and its lock goes with the process).
    const QString path = QDir::temp().filePath(name);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray bytes = QFile::encodeName(path);
    ASSERT_LT(std::size_t(bytes.size()), sizeof(address.sun_path));
    std::copy(bytes.begin(), bytes.end(), address.sun_path);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);
    ASSERT_TRUE(QFile::exists(path));

    auto first = start();
    ASSERT_TRUE(first->Holds());
    QSignalSpy asked(first.get(), &SingleInstance::ForwardAsked);
    EXPECT_TRUE(ask(*start(), 5000));
    EXPECT_EQ(asked.count(), 1);
}

// A lock file that cannot be made: here its folder is missing, which refuses the file to root as
// well as a folder the user cannot write refuses it to the user.
class UserLockTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(runtime.isValid());
        ASSERT_TRUE(folder.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    }
    void TearDown() override {
        if (hadRuntime) {
            qputenv("XDG_RUNTIME_DIR", savedRuntime);
        } else {
            qunsetenv("XDG_RUNTIME_DIR");
        }
    }

    std::unique_ptr<SingleInstance> start(const QString& programFolder) {
        return std::make_unique<SingleInstance>(
            programFolder + QStringLiteral("/Program.lock"),
            SingleInstance::ServerNameOf(QStringLiteral("QbTest"), programFolder));
    }
    QString unwritable(const char* name) const {
        return folder.filePath(QStringLiteral("missing/") + QLatin1String(name));
    }

    const bool hadRuntime = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR");
    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    QTemporaryDir runtime;
    QTemporaryDir folder;
};

TEST_F(UserLockTest, OneCopyPerFolderAlsoWhereNoLockCanBeMade) {
    auto first = start(unwritable("a"));
    EXPECT_TRUE(first->Holds());
    EXPECT_FALSE(start(unwritable("a"))->Holds());
    EXPECT_TRUE(start(unwritable("b"))->Holds());  // another folder, another lock

    const QString lock = SingleInstance::UserLockPathOf(unwritable("a") + "/Program.lock");
    EXPECT_EQ(QFileInfo(lock).absolutePath(), QFileInfo(runtime.path()).absoluteFilePath());
    EXPECT_TRUE(QFileInfo::exists(lock));

    // The lock file stays, but a copy that ended holds nothing.
    first.reset();
    EXPECT_TRUE(start(unwritable("a"))->Holds());
}

TEST_F(UserLockTest, TheUserLockIsNamedAfterTheFolderItGuards) {
    QDir(folder.path()).mkdir(QStringLiteral("real"));
    const QString real = folder.filePath(QStringLiteral("real"));
    const QString link = folder.filePath(QStringLiteral("link"));
    ASSERT_TRUE(QFile::link(real, link));
    EXPECT_EQ(SingleInstance::UserLockPathOf(real + "/Program.lock"),
              SingleInstance::UserLockPathOf(link + "/Program.lock"));
    EXPECT_NE(SingleInstance::UserLockPathOf(real + "/Program.lock"),
              SingleInstance::UserLockPathOf(folder.path() + "/Program.lock"));

    // Without a runtime folder the temporary folder serves.
    qunsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(QFileInfo(SingleInstance::UserLockPathOf(real + "/Program.lock")).absolutePath(),
              QFileInfo(QDir::tempPath()).absoluteFilePath());
}

TEST(SingleInstanceNameTest, OneNamePerFolderWhateverPathLeadsThere) {
    QTemporaryDir a;
    QTemporaryDir b;
    const QString name = SingleInstance::ServerNameOf(QStringLiteral("P"), a.path());
    EXPECT_EQ(SingleInstance::ServerNameOf(QStringLiteral("P"), a.path() + QStringLiteral("/")),
              name);
    EXPECT_EQ(SingleInstance::ServerNameOf(QStringLiteral("P"), a.path() + QStringLiteral("/../") +
                                                                    QFileInfo(a.path()).fileName()),
              name);
    EXPECT_NE(SingleInstance::ServerNameOf(QStringLiteral("P"), b.path()), name);
}

}  // namespace
}  // namespace qb
