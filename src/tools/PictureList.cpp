#include "tools/PictureList.h"

#include "platform/core/Color.h"
#include "platform/files/Files.h"
#include "program/StaticUnit.h"

#include <QDir>

#include <cmath>
#include <limits>

namespace {

// Every other row is tinted so that long lists stay readable.
constexpr qb::TColor kEvenRowColor = 0x00F9EFEC;

QString tidyPath(const QString& path) {
    return QDir::cleanPath(path);
}

}  // namespace

PictureListModel::PictureListModel(QObject* parent) : QAbstractTableModel(parent) {}

int PictureListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int PictureListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant PictureListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const PictureRow& r = row(index.row());
    switch (role) {
        case Qt::DisplayRole:
            return index.column() == NameColumn ? r.name : r.location;
        case Qt::ToolTipRole:
            // The columns cut long names and locations short: the row's tip holds both whole.
            return r.location + r.name;
        case Qt::BackgroundRole:
            if (index.row() % 2 == 0) {
                return qb::toQColor(kEvenRowColor);
            }
            return {};
        default:
            return {};
    }
}

QVariant PictureListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    return section == NameColumn ? QStringLiteral("Name") : QStringLiteral("Location");
}

void PictureListModel::clear() {
    beginResetModel();
    rows_.clear();
    endResetModel();
}

void PictureListModel::append(std::vector<PictureRow>& rows) {
    if (rows.empty()) {
        return;
    }
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
    for (PictureRow& r : rows) {
        rows_.push_back(std::move(r));
    }
    endInsertRows();
    rows.clear();
}

void PictureListModel::setName(int index, const QString& name) {
    rows_[static_cast<std::size_t>(index)].name = name;
    const QModelIndex cell = this->index(index, NameColumn);
    emit dataChanged(cell, cell);
}

bool PictureListModel::removeRows(int first, int count, const QModelIndex& parent) {
    if (parent.isValid() || first < 0 || count <= 0 || first + count > rowCount()) {
        return false;
    }
    beginRemoveRows({}, first, first + count - 1);
    const auto begin = rows_.begin() + first;
    rows_.erase(begin, begin + count);
    endRemoveRows();
    return true;
}

QString PictureListModel::fullPath(int index) const {
    const PictureRow& r = row(index);
    return root_ + r.location + r.name;
}

int PictureListModel::rowOfPath(const QString& path) const {
    const QString wanted = tidyPath(path);
    const QString name = wanted.mid(wanted.lastIndexOf(QLatin1Char('/')) + 1);
    for (int i = 0; i < rowCount(); ++i) {
        // The name first: a list of thousands is searched at every picture shown.
        if (row(i).name == name && tidyPath(fullPath(i)) == wanted) {
            return i;
        }
    }
    return -1;
}

bool IsListedPictureName(const QString& fileName) {
    const QString ext = FileExtension(fileName);
    return ext == QLatin1String("jpg") || ext == QLatin1String("bmp");
}

PictureRow PictureRowOf(const QString& root, const QString& filePath) {
    const qsizetype slash = filePath.lastIndexOf(QLatin1Char('/'));
    PictureRow r;
    r.name = filePath.mid(slash + 1);
    r.location = filePath.mid(root.size(), slash + 1 - root.size());
    return r;
}

bool IsAcceptableFileName(const QString& name) {
    return qb::isPlainFileName(name) && !name.contains(QLatin1Char('\\'));
}

std::optional<QString> RenameTarget(const QString& picturePath, const QString& typed) {
    const QString name = StripExtension(typed);
    if (!IsAcceptableFileName(name) || typed.contains(QLatin1Char('/'))) {
        return std::nullopt;
    }
    const QString ext = FileExtension(picturePath);
    const QString fileName = ext.isEmpty() ? name : name + QLatin1Char('.') + ext;
    if (!IsAcceptableFileName(fileName)) {
        return std::nullopt;
    }
    const qsizetype slash = picturePath.lastIndexOf(QLatin1Char('/'));
    return picturePath.left(slash + 1) + fileName;
}

std::optional<int> SlideShowIntervalOf(const QString& seconds) {
    bool ok = false;
    const double value = seconds.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    const double ms = std::trunc(value * 1000.0);
    if (ms < 500.0) {
        return 500;
    }
    if (ms >= static_cast<double>(std::numeric_limits<int>::max())) {
        return std::numeric_limits<int>::max();
    }
    return static_cast<int>(ms);
}

int CenterOffset(int client, int size) {
    return (client - size) / 2;
}
