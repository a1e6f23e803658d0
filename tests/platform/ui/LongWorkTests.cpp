#include "platform/files/Files.h"
#include "platform/ui/Application.h"
#include "platform/ui/FolderTree.h"
#include "platform/ui/LongWork.h"

#include <QApplication>
#include <QDir>
#include <QFileSystemModel>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include "support/WaitFor.h"

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

// Whether the branch area left of a row holds drawn marks (an expand arrow).
bool arrowDrawn(qb::FolderTree& tree, const QModelIndex& index) {
    const QRect row = tree.visualRect(index);
    const QImage drawn = tree.viewport()->grab().toImage();
    for (int y = row.top(); y <= row.bottom(); ++y) {
        for (int x = std::max(0, row.left() - tree.indentation()); x < row.left(); ++x) {
            if (qGray(drawn.pixel(x, y)) < 160) {
                return true;
            }
        }
    }
    return false;
}

TEST(FolderTreeTest, OpensAtAFolderAndReadFoldersWithoutFoldersLoseTheirArrow) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("Camera/Trip")));
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("Empty")));
    qb::FolderTree tree;
    tree.resize(300, 400);
    tree.show();
    tree.openAt(dir.path());
    EXPECT_EQ(tree.selectedPath(), dir.path());
    EXPECT_TRUE(tree.isExpanded(tree.currentIndex()));
    auto* model = qobject_cast<QFileSystemModel*>(tree.model());
    const QModelIndex camera = model->index(dir.path() + QStringLiteral("/Camera"));
    const QModelIndex empty = model->index(dir.path() + QStringLiteral("/Empty"));
    ASSERT_TRUE(qbtest::waitFor([&] { return model->rowCount(tree.currentIndex()) == 2; }, 5000));
    tree.scrollTo(empty);
    QApplication::processEvents();
    // Not read yet: both may hold folders.
    EXPECT_TRUE(arrowDrawn(tree, camera));
    EXPECT_TRUE(arrowDrawn(tree, empty));

    // Looked into, each is read: the one without folders loses its arrow.
    for (const QModelIndex& folder : {camera, empty}) {
        tree.setCurrentIndex(folder);
        ASSERT_TRUE(qbtest::waitFor([&] { return !model->canFetchMore(folder); }, 5000));
    }
    ASSERT_TRUE(qbtest::waitFor([&] { return !model->hasChildren(empty); }, 5000));
    tree.setCurrentIndex(camera.parent());  // no selection face over the rows looked at
    QApplication::processEvents();
    EXPECT_TRUE(model->hasChildren(camera));
    EXPECT_TRUE(arrowDrawn(tree, camera));
    // The tree lays its rows out again on a timer.
    EXPECT_TRUE(qbtest::waitFor([&] { return !arrowDrawn(tree, empty); }, 5000));
}

}  // namespace
