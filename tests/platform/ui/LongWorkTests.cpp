#include "platform/files/Files.h"
#include "platform/ui/Application.h"
#include "platform/ui/FolderTree.h"
#include "platform/ui/LongWork.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

TEST(LongWorkTest, ACommandStartedAgainFromLetThroughMessagesDoesNothing) {
    qb::LongWork work(0);
    int inner = 0;
    auto run = work.start();
    ASSERT_TRUE(run.has_value());
    // The second click arrives while the first run lets messages through.
    QTimer::singleShot(0, [&] {
        if (work.start()) {
            ++inner;
        }
    });
    EXPECT_TRUE(run->letMessagesThrough());
    EXPECT_EQ(inner, 0);
    run.reset();
    EXPECT_FALSE(work.running());
    EXPECT_TRUE(work.start().has_value());
}

TEST(LongWorkTest, MessagesGoThroughAtMostOncePerIntervalAndAStopEndsTheRun) {
    qb::LongWork work(10'000);
    auto run = work.start();
    ASSERT_TRUE(run.has_value());
    int delivered = 0;
    QTimer::singleShot(0, [&] { ++delivered; });
    EXPECT_TRUE(run->letMessagesThrough());
    EXPECT_EQ(delivered, 1);
    QTimer::singleShot(0, [&] { ++delivered; });
    EXPECT_TRUE(run->letMessagesThrough());
    EXPECT_EQ(delivered, 1) << "a second pass inside the interval";
    EXPECT_TRUE(run->letMessagesThroughNow());
    EXPECT_EQ(delivered, 2);

    // The window closes while the work lets messages through.
    QTimer::singleShot(0, [&] { work.requestStop(); });
    EXPECT_FALSE(run->letMessagesThroughNow());
    EXPECT_TRUE(run->stopRequested());
    run.reset();
    auto next = work.start();
    ASSERT_TRUE(next.has_value());
    EXPECT_FALSE(next->stopRequested()) << "a stop belongs to the run it was asked of";
}

TEST(LongWorkTest, TheProgramEndingStopsTheRunAndStartsNoOther) {
    qb::LongWork work(0);
    auto run = work.start();
    ASSERT_TRUE(run.has_value());
    QTimer::singleShot(0, [] { qb::requestQuit(); });
    EXPECT_FALSE(run->letMessagesThrough());
    run.reset();
    EXPECT_FALSE(work.start().has_value());
    qb::clearQuitRequest();
    EXPECT_TRUE(work.start().has_value());
}

TEST(FolderTreeTest, SelectsFoldersByPathAndRefusesMissingOnes) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("Export")));
    qb::FolderTree tree;
    QSignalSpy changed(&tree, &qb::FolderTree::selectedPathChanged);

    tree.selectPath(dir.path());
    EXPECT_EQ(tree.selectedPath(), dir.path());
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toString(), dir.path());

    EXPECT_THROW(tree.selectPath(dir.path() + QStringLiteral("/none")), qb::FileError);
    EXPECT_EQ(tree.selectedPath(), dir.path());

    // A folder made after the tree read its parent can be selected at once.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("New Folder")));
    tree.refreshSelected();
    tree.selectPath(dir.path() + QStringLiteral("/New Folder"));
    EXPECT_EQ(tree.selectedPath(), dir.path() + QStringLiteral("/New Folder"));
}

}  // namespace
