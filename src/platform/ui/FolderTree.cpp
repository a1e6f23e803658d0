#include "platform/ui/FolderTree.h"

#include <QTimer>

#include "platform/files/Files.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QMouseEvent>
#include <QSet>

namespace qb {
namespace {

// QFileSystemModel gives every folder an expand arrow, read or not. A folder that has been read
// keeps its arrow only when it holds folders.
class FolderModel : public QFileSystemModel {
  public:
    using QFileSystemModel::QFileSystemModel;

    bool hasChildren(const QModelIndex& parent) const override {
        if (parent.isValid() && read_.contains(filePath(parent))) {
            return rowCount(parent) > 0;
        }
        return QFileSystemModel::hasChildren(parent);
    }

    void markRead(const QString& path) { read_.insert(path); }

  private:
    QSet<QString> read_;
};

}  // namespace

FolderTree::FolderTree(QWidget* parent) : QTreeView(parent), model_(new FolderModel(this)) {
    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden);
    model_->setReadOnly(true);
    model_->setRootPath(QDir::rootPath());
    setModel(model_);
    for (int column = 1; column < model_->columnCount(); ++column) {
        hideColumn(column);
    }
    header()->hide();
    setRootIsDecorated(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The model reads and sorts folders in the background: a folder selected before its
    // parent was read moves as rows arrive, so it is scrolled into view again until the user
    // takes over.
    connect(model_, &QFileSystemModel::directoryLoaded, this, [this] { keepSelectionInView(); });
    // Rows arriving or sorted above the selected folder move it down after it was scrolled to.
    connect(model_, &QAbstractItemModel::layoutChanged, this, [this] { keepSelectionInView(); });
    connect(model_, &QAbstractItemModel::rowsInserted, this, [this] { keepSelectionInView(); });
    // A folder read empty adds no rows: the tree asks again for its arrow.
    connect(model_, &QFileSystemModel::directoryLoaded, this, [this](const QString& path) {
        static_cast<FolderModel*>(model_)->markRead(path);
        scheduleDelayedItemsLayout();
    });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                // The folder the user looks into is read, so its arrow tells the truth.
                if (current.isValid() && model_->canFetchMore(current)) {
                    model_->fetchMore(current);
                }
                emit selectedPathChanged(current.isValid() ? model_->filePath(current) : QString());
            });
}

QString FolderTree::selectedPath() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? model_->filePath(current) : QString();
}

void FolderTree::selectPath(const QString& path) {
    const QFileInfo info(path);
    if (!info.isDir()) {
        throw FileError(QStringLiteral("The folder %1 does not exist.")
                            .arg(QDir::toNativeSeparators(path))
                            .toStdString());
    }
    const QModelIndex index = model_->index(info.absoluteFilePath());
    if (!index.isValid()) {
        throw FileError(QStringLiteral("The folder %1 cannot be shown.")
                            .arg(QDir::toNativeSeparators(path))
                            .toStdString());
    }
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent()) {
        expand(parent);
    }
    setCurrentIndex(index);
    followSelection_ = true;
    scrollTo(index, QAbstractItemView::PositionAtCenter);
    // Selected while its window opens, the rows are laid out only after this: scrolled once
    // more when they are.
    QTimer::singleShot(0, this, [this] { keepSelectionInView(); });
}

void FolderTree::keepSelectionInView() {
    if (followSelection_ && currentIndex().isValid()) {
        scrollTo(currentIndex(), QAbstractItemView::PositionAtCenter);
    }
}

void FolderTree::resizeEvent(QResizeEvent* event) {
    QTreeView::resizeEvent(event);
    keepSelectionInView();
}

void FolderTree::openAt(const QString& path) {
    selectPath(path);
    expand(currentIndex());
}

void FolderTree::refreshSelected() {
    const QModelIndex current = currentIndex();
    if (!current.isValid()) {
        return;
    }
    // QFileSystemModel watches the folders it has read; fetching again picks up a folder made
    // a moment ago before the watcher reports it.
    if (model_->canFetchMore(current)) {
        model_->fetchMore(current);
    }
    expand(current);
}

void FolderTree::mousePressEvent(QMouseEvent* event) {
    followSelection_ = false;
    if (event->button() == Qt::RightButton) {
        const QModelIndex index = indexAt(event->position().toPoint());
        if (index.isValid()) {
            setCurrentIndex(index);
        }
    }
    QTreeView::mousePressEvent(event);
}

void FolderTree::wheelEvent(QWheelEvent* event) {
    followSelection_ = false;
    QTreeView::wheelEvent(event);
}

void FolderTree::keyPressEvent(QKeyEvent* event) {
    followSelection_ = false;
    QTreeView::keyPressEvent(event);
}

}  // namespace qb
