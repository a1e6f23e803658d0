#pragma once
// The folder tree of the export and picture-import dialogs: folders only, from the file system's
// root, watched by Qt so that new folders show up. selectedPath() is the folder the user picked.
// A folder shows an expand arrow until it has been read, and then only when it holds folders.

#include <QString>
#include <QTreeView>

class QFileSystemModel;

namespace qb {

class FolderTree : public QTreeView {
    Q_OBJECT

  public:
    explicit FolderTree(QWidget* parent = nullptr);

    // The selected folder's path ("" when none).
    QString selectedPath() const;

    // Selects and shows the folder; FileError when it does not exist.
    void selectPath(const QString& path);
    // Selects the folder and opens it to show its folders; FileError when it does not exist.
    void openAt(const QString& path);

    // Reads the children of the selected folder again.
    void refreshSelected();

  signals:
    // The selection moved to another folder.
    void selectedPathChanged(const QString& path);

  protected:
    void mousePressEvent(QMouseEvent* event) override;  // a right click selects too
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void keepSelectionInView();

    QFileSystemModel* model_;
    bool followSelection_ = false;  // keep the selected folder in view while folders load
};

}  // namespace qb
