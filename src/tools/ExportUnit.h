#pragma once
// The export dialog: writes every day entry and every document as an RTF file below a root
// folder picked in a folder tree, entries into "Year YYYY/MM - Month" folders and documents into
// "OtherDocs", optionally skipping files that already exist.
//
// The walk and its file policy are qb::exporting::Exporter's; the window checks the choices,
// starts it with its hidden rich edit's document as the rendering, and shows what it reports:
// the progress, each file in the status bar, a warning for each numbered file, and the box that
// ends the export ("Export Finished", or why it stopped). The export cannot start twice and stops
// when the window closes or the program ends.

#include "platform/ui/LongWork.h"

#include <QDialog>
#include <QString>

class QAction;
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
}  // namespace qb

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
    // What the export reports, shown in the window.
    class Report;

    void buildLayout();

    qb::LongWork work_;
};
