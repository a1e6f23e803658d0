#pragma once
// The export dialog: writes every day entry and every document as an RTF file below a root
// folder picked in a folder tree, entries into "Year YYYY/MM - Month" folders and documents into
// "OtherDocs", optionally skipping files that already exist.
//
// Each file is the hidden rich edit's own rendering of the stored text, written through a
// temporary file and a rename; Overwrite replaces every existing file, Skip keeps it. Every name
// stays inside the chosen folder; a text that cannot be deciphered or read is skipped and counted
// in the closing box; a file that cannot be written or a database error ends the export with a
// box saying why, never with "Export Finished". The export walks tables of its own, cannot start
// twice, and stops when the window closes or the program ends.

#include "platform/ui/LongWork.h"

#include <QByteArray>
#include <QDialog>
#include <QString>

#include <optional>
#include <string>

class QAction;
class QTextDocument;
class QCheckBox;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
namespace qb {
class FolderTree;
class TRichEdit;
class ToolStatusBar;
namespace db {
class Table;
}
}  // namespace qb

// A stored text as the export writes it: the RTF that the document `shown` (the hidden rich
// edit's) saves after loading the text; nullopt when it cannot be deciphered or is no RTF.
std::optional<QByteArray> ExportedRtf(const std::string& stored, const QTextDocument& shown);

class TExportForm : public QDialog {
    Q_OBJECT

  public:
    explicit TExportForm(QWidget* parent = nullptr);
    ~TExportForm() override;

    qb::FolderTree* ShellTreeView = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* NewFolder1 = nullptr;
    QCheckBox* DailyCheckBox = nullptr;
    QCheckBox* OtherCheckBox = nullptr;
    QRadioButton* OverwriteRadioButton = nullptr;
    QRadioButton* SkipRadioButton = nullptr;
    QLabel* PathLabel = nullptr;  // the root folder of the next export
    QPushButton* NewFolderButton = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* CloseBitButton = nullptr;
    qb::ToolStatusBar* StatusBar = nullptr;
    QProgressBar* ProgressBar = nullptr;
    qb::TRichEdit* RichEdit = nullptr;  // hidden; renders each stored text as RTF

    void ShellTreeViewChange();
    void NewFolderButtonClick();
    void NewFolder1Click();
    // The export.
    void Button1Click();
    void CloseBitButtonClick();

    bool Exporting() const { return work_.running(); }

  protected:
    void showEvent(QShowEvent* event) override;

  public slots:
    void done(int result) override;

  private:
    struct Session;

    // False when the export was stopped.
    bool exportEntries(Session& session, qb::db::Table& entries);
    bool exportDocuments(Session& session, qb::db::Table& documents);
    // The RTF of a stored text; nullopt when it cannot be deciphered or is no RTF.
    std::optional<QByteArray> renderedRtf(const std::string& stored);
    // Writes one file through a temporary file, replacing an existing one. Raises the failure
    // that ends the export.
    static void writeFile(const QString& path, const QByteArray& rtf);
    // The same; false instead of the failure.
    static bool tryWriteFile(const QString& path, const QByteArray& rtf);
    // Steps the progress and lets messages through; false once the export is to stop.
    bool finishRow(Session& session);
    void buildLayout();

    qb::LongWork work_;
};
