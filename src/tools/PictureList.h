#pragma once
// The picture viewer's list of every picture in the diary's folder tree, and the rules on the
// names and numbers the user types into the viewer. No widgets: the list is a model that a
// report-style view shows.

#include <QAbstractTableModel>
#include <QString>

#include <optional>
#include <vector>

// One listed picture file. Location is its folder below the Pictures folder, with a trailing
// "/" ("2005/10/10/", "OtherDocs/Trip/").
struct PictureRow {
    QString name;
    QString location;
};

class PictureListModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    enum Column { NameColumn = 0, LocationColumn = 1 };

    explicit PictureListModel(QObject* parent = nullptr);

    // The Pictures folder, with its trailing "/".
    void setRoot(const QString& root) { root_ = root; }
    const QString& root() const { return root_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void clear();
    void append(std::vector<PictureRow>& rows);  // moves the rows in
    void setName(int row, const QString& name);
    bool removeRows(int row, int count, const QModelIndex& parent = {}) override;

    const PictureRow& row(int index) const { return rows_[static_cast<std::size_t>(index)]; }
    // root + Location + Name.
    QString fullPath(int index) const;
    // The row whose full path is path (compared exactly, after tidying "//" and "/./"); -1
    // when none.
    int rowOfPath(const QString& path) const;

  private:
    QString root_;
    std::vector<PictureRow> rows_;
};

// Whether a file of the tree is listed: only "jpg" and "bmp", letter case aside.
bool IsListedPictureName(const QString& fileName);

// The row of a file found below root (both with "/" separators, root with its trailing "/").
PictureRow PictureRowOf(const QString& root, const QString& filePath);

// A name the user typed for a file: one plain name that stays in its folder (no "/" or "\", not
// "." or "..", no control characters, not empty).
bool IsAcceptableFileName(const QString& name);

// Where a rename of picturePath to the typed text leads: the typed extension is dropped and the
// picture's own one, in small letters, is kept, in the picture's own folder. nullopt when the
// result would not be one acceptable file name.
std::optional<QString> RenameTarget(const QString& picturePath, const QString& typed);

// The slide-show interval in milliseconds for a text of seconds (fractions allowed): truncated,
// at least 500 and at most the largest timer interval. nullopt when the text is no number.
std::optional<int> SlideShowIntervalOf(const QString& seconds);

// The offset that centres a picture of `size` pixels in a view of `client` pixels along one
// axis: half the difference, truncated towards zero.
int CenterOffset(int client, int size);
