#pragma once
// The picture-import dialog: lists the JPG and BMP files of a folder picked in a folder tree and
// copies the selected ones into the picture folder of a day (each file's own date, or one chosen
// date) or of a document. A day without an Entry row gets an empty row and its month mark, so
// the calendars show it.
//
// The copying itself is qb::PictureImporter's; the window tells it where each picture goes,
// asks the user before a replace, and shows its progress. The import lets messages through after
// each file: it keeps to the rows and the folder it started with, cannot start a second time
// while it runs, and stops at the next file when the window closes or the program ends. The files
// that could not be copied are reported at the end.

#include "platform/ui/LongWork.h"
#include "tools/PictureImporter.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <vector>

class QAction;
class QComboBox;
class QDateEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace qb {
class FolderTree;
class ToolStatusBar;
}  // namespace qb

// The list's sort state; it outlasts each dialog for the rest of the program's run.
namespace ImportPicturesUnit {
extern int SortColumn;      // the column last clicked
extern bool SortAscending;  // inverted by a second click on the same column
extern bool SortByDate;     // the clicked column holds "mm/dd/yyyy" dates
}  // namespace ImportPicturesUnit

class TImportPicturesForm : public QDialog, private qb::PictureImportObserver {
    Q_OBJECT

  public:
    explicit TImportPicturesForm(QWidget* parent = nullptr);
    ~TImportPicturesForm() override;

    qb::FolderTree* ShellTreeView = nullptr;
    QTreeWidget* ListView = nullptr;  // columns "File Name" and "File Date"
    QMenu* ListViewPopupMenu = nullptr;
    QAction* SelectAllMenuItem = nullptr;
    QRadioButton* FileDateRadioButton = nullptr;
    QRadioButton* OneEntryRadioButton = nullptr;
    QDateEdit* DateTimePicker = nullptr;
    QRadioButton* OtherDocRadioButton = nullptr;
    QComboBox* OtherDocsComboBox = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* CloseBitButton = nullptr;
    qb::ToolStatusBar* StatusBar = nullptr;
    QProgressBar* ProgressBar = nullptr;

    // The main window's calendar rebuild; nothing happens while it is empty.
    std::function<void()> RefreshCalendars;

    // Fills the documents box from the documents table (first name selected) and enables the
    // document option only when there is a document.
    void LoadOtherDocNames();
    // Lists the picture files of the folder selected in the tree.
    void ShellTreeViewChange();
    void ListViewDblClick();
    void ListViewColumnClick(int column);
    void SelectAllMenuItemClick();
    void DateTimePickerChange();
    // The import of the selected rows.
    void Button1Click();
    void CloseBitButtonClick();

    // The folder whose files the list shows ("" before the first listing).
    QString ListedFolder() const { return listedFolder_; }
    // True while an import runs.
    bool Importing() const { return work_.running(); }

  protected:
    void showEvent(QShowEvent* event) override;

  public slots:
    void done(int result) override;

  private:
    std::vector<qb::ImportPicture> selectedPictures() const;
    // The importer's walk, with the progress bar and the closing box around it.
    void importPictures(qb::PictureImportOptions options, qb::LongWork::Run& run);
    QString finishedText(int failed);
    void refreshCalendars();
    void buildLayout();

    // What the importer asks and tells.
    qb::PictureTarget pictureTarget() override;
    void pictureStarted(const QString& name) override;
    void pictureDone() override;
    bool replaceExisting(const QString& name) override;
    void dayRowMade(const QString& key) override;
    bool goOn() override;

    QString listedFolder_;
    qb::LongWork work_;
    // The running import's run; none outside an import.
    qb::LongWork::Run* run_ = nullptr;
};

// The list's comparison of two rows under the sort state: negative, 0 or positive.
int ListViewCompare(const QTreeWidgetItem& item1, const QTreeWidgetItem& item2);
