#include "tools/ExportUnit.h"

#include "platform/core/Dialogs.h"
#include "platform/files/Files.h"
#include "platform/richedit/RichEdit.h"
#include "platform/ui/DialogButtons.h"
#include "platform/ui/FolderTree.h"
#include "platform/ui/Guard.h"
#include "platform/ui/OverrideCursor.h"
#include "program/ProgramState.h"
#include "store/DatabaseUnit.h"
#include "tools/Exporter.h"
#include "tools/ToolStatusBar.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <exception>
#include <utility>

namespace {

// root + "/" + relative, also for the file system's root "/".
QString below(const QString& root, const QString& relative) {
    return root.endsWith(u'/') ? root + relative : root + u'/' + relative;
}

QString notWrittenText(int count) {
    return count == 1
               ? QStringLiteral("1 entry could not be read and was not written.")
               : QStringLiteral("%1 entries could not be read and were not written.").arg(count);
}

}  // namespace

TExportForm::TExportForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ExportForm"));
    setWindowTitle(QStringLiteral("Export Entries"));
    buildLayout();
    resize(614, 382);
    setMinimumSize(500, 382);

    connect(ShellTreeView, &qb::FolderTree::selectedPathChanged, this,
            qb::guarded([this] { ShellTreeViewChange(); }));
    connect(ShellTreeView, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        PopupMenu1->popup(ShellTreeView->viewport()->mapToGlobal(at));
    });
    connect(NewFolder1, &QAction::triggered, this, qb::guarded([this] { NewFolder1Click(); }));
    connect(NewFolderButton, &QPushButton::clicked, this,
            qb::guarded([this] { NewFolderButtonClick(); }));
    connect(Button1, &QPushButton::clicked, this, qb::guarded([this] { Button1Click(); }));
    connect(CloseBitButton, &QPushButton::clicked, this,
            qb::guarded([this] { CloseBitButtonClick(); }));
}

TExportForm::~TExportForm() = default;

void TExportForm::buildLayout() {
    ShellTreeView = new qb::FolderTree(this);
    ShellTreeView->setObjectName(QStringLiteral("ShellTreeView"));
    ShellTreeView->setContextMenuPolicy(Qt::CustomContextMenu);
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    NewFolder1 = PopupMenu1->addAction(QStringLiteral("New Folder"));
    NewFolder1->setObjectName(QStringLiteral("NewFolder1"));

    auto* kinds = new QGroupBox(QStringLiteral("Export"), this);
    DailyCheckBox = new QCheckBox(QStringLiteral("Daily Entries"), kinds);
    DailyCheckBox->setObjectName(QStringLiteral("DailyCheckBox"));
    DailyCheckBox->setChecked(true);
    OtherCheckBox = new QCheckBox(QStringLiteral("Other Documents"), kinds);
    OtherCheckBox->setObjectName(QStringLiteral("OtherCheckBox"));
    OtherCheckBox->setChecked(true);
    auto* kindsColumn = new QVBoxLayout(kinds);
    kindsColumn->addWidget(DailyCheckBox);
    kindsColumn->addWidget(OtherCheckBox);
    kindsColumn->addStretch(1);

    auto* options = new QGroupBox(QStringLiteral("Options"), this);
    OverwriteRadioButton =
        new QRadioButton(QStringLiteral("Overwrite existing export files"), options);
    OverwriteRadioButton->setObjectName(QStringLiteral("OverwriteRadioButton"));
    OverwriteRadioButton->setChecked(true);
    SkipRadioButton =
        new QRadioButton(QStringLiteral("Skip export files that already exist"), options);
    SkipRadioButton->setObjectName(QStringLiteral("SkipRadioButton"));
    auto* optionsColumn = new QVBoxLayout(options);
    optionsColumn->addWidget(OverwriteRadioButton);
    optionsColumn->addWidget(SkipRadioButton);
    optionsColumn->addStretch(1);

    auto* rootBox = new QGroupBox(QStringLiteral("Root folder to export to"), this);
    PathLabel = new QLabel(rootBox);
    PathLabel->setObjectName(QStringLiteral("PathLabel"));
    PathLabel->setWordWrap(true);
    PathLabel->setTextFormat(Qt::PlainText);
    auto* rootColumn = new QVBoxLayout(rootBox);
    rootColumn->addWidget(PathLabel);
    rootColumn->addStretch(1);

    NewFolderButton = new QPushButton(QStringLiteral("&New Folder"), this);
    NewFolderButton->setObjectName(QStringLiteral("NewFolderButton"));
    Button1 = new QPushButton(QStringLiteral("&Export"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    CloseBitButton = new QPushButton(QStringLiteral("&Close"), this);
    CloseBitButton->setObjectName(QStringLiteral("CloseBitButton"));
    for (QPushButton* button : {NewFolderButton, Button1, CloseBitButton}) {
        qb::EnterPressesButton(button);
    }

    RichEdit = new qb::TRichEdit(this);
    RichEdit->setObjectName(QStringLiteral("RichEdit"));
    RichEdit->setLineWrapMode(QTextEdit::NoWrap);
    RichEdit->hide();

    auto* side = new QVBoxLayout;
    side->addWidget(kinds);
    side->addWidget(options);
    side->addWidget(rootBox, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(NewFolderButton);
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(CloseBitButton);
    side->addLayout(buttons);

    auto* content = new QHBoxLayout;
    content->addWidget(ShellTreeView, 1);
    content->addLayout(side);

    StatusBar = qb::ToolStatusBar::layOut(this, content);
    ProgressBar = StatusBar->progressBar();
}

void TExportForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) {
        return;
    }
    qb::runGuarded([this] {
        QString programFolder = AppFolder;
        if (programFolder.size() > 1 && programFolder.endsWith(u'/')) {
            programFolder.chop(1);
        }
        try {
            ShellTreeView->selectPath(programFolder);
        } catch (const qb::FileError&) {
            // A program folder that vanished leaves the tree and the label as they are.
        }
        ShellTreeViewChange();
    });
    StatusBar->setPanelText(QStringLiteral("Ready to export."));
}

void TExportForm::done(int result) {
    // Esc, Close and the close box all end here: a running export stops after its file.
    work_.requestStop();
    QDialog::done(result);
}

void TExportForm::ShellTreeViewChange() {
    const QString path = ShellTreeView->selectedPath();
    if (!path.isEmpty()) {
        PathLabel->setText(path);
    }
}

void TExportForm::NewFolder1Click() {
    NewFolderButton->click();
}

void TExportForm::CloseBitButtonClick() {
    close();
}

void TExportForm::NewFolderButtonClick() {
    const std::optional<QString> name = qb::dialogs().inputBox(
        QStringLiteral("New Folder"), QStringLiteral("Enter the name of the new folder"),
        QStringLiteral("New Folder"));
    if (!name) {
        return;
    }
    std::optional<qb::LongWork::Run> run = work_.start();
    if (!run) {
        return;
    }
    const QString parent = ShellTreeView->selectedPath();
    try {
        // "/" or ".." would make or select a folder somewhere else than below the selected one.
        if (parent.isEmpty() || !qb::isPlainFileName(*name)) {
            throw qb::FileError("not a folder name");
        }
        const QString path = below(parent, *name);
        QDir(parent).mkdir(*name);
        run->letMessagesThroughNow();
        ShellTreeView->refreshSelected();
        run->letMessagesThroughNow();
        ShellTreeView->selectPath(path);
        ShellTreeViewChange();
    } catch (const std::exception&) {
        qb::dialogs().messageBox(
            QStringLiteral("Could not create new folder: ") + *name +
                QStringLiteral("  \r\n\r\nMost likely this is because the name is invalid or the "
                               "parent folder lacks \r\nthe proper write permission."),
            QStringLiteral("Create New Folder Error"), qb::MessageButtons::Ok,
            qb::MessageIcon::Warning);
    }
}

class TExportForm::Report : public qb::exporting::ExportObserver {
  public:
    Report(TExportForm& form, qb::LongWork::Run& run, qb::OverrideCursor& busy, QString root)
        : form_(form), run_(run), busy_(busy), root_(std::move(root)) {}

    // The export ended with a box, not by a stop.
    bool ended() const { return ended_; }

    void rowsCounted(int rows) override;
    void fileReached(const QString& status) override;
    void numberedFileWritten(const QString& path, const QString& name,
                             const QString& numbered) override;
    void rowDone() override;
    bool goOn() override;
    void writeFailed(const QString& path, const QString& reason) override;
    void databaseFailed(const QString& reason) override;
    void finished(int notWritten) override;

  private:
    // Puts the window back as before the export and shows why it stopped.
    void stopWith(const QString& text, qb::MessageIcon icon);

    TExportForm& form_;
    qb::LongWork::Run& run_;
    qb::OverrideCursor& busy_;
    QString root_;
    bool ended_ = false;
};

void TExportForm::Button1Click() {
    if (!DailyCheckBox->isChecked() && !OtherCheckBox->isChecked()) {
        qb::dialogs().messageBox(QStringLiteral("Nothing is selected to export!     "),
                                 QStringLiteral("Export Error"), qb::MessageButtons::Ok,
                                 qb::MessageIcon::Warning);
        return;
    }
    std::optional<qb::LongWork::Run> run = work_.start();
    if (!run || !DataModule1) {
        return;
    }
    // The choices as they stand at the click hold for the whole export.
    qb::exporting::ExportOptions options;
    options.connection = &DataModule1->ADOConnection1;
    options.cipher = EntryCipher;
    options.shown = RichEdit->document();
    options.root = PathLabel->text();
    options.entries = DailyCheckBox->isChecked();
    options.documents = OtherCheckBox->isChecked();
    options.skipExisting = SkipRadioButton->isChecked();
    if (options.root.isEmpty() || !QFileInfo(options.root).isDir()) {
        qb::dialogs().messageBox(QStringLiteral("The folder to export to does not exist: ") +
                                     options.root + QStringLiteral("     "),
                                 QStringLiteral("Export Error"), qb::MessageButtons::Ok,
                                 qb::MessageIcon::Warning);
        return;
    }

    qb::OverrideCursor busy(Qt::WaitCursor);
    StatusBar->startProgress(0);
    Report report(*this, *run, busy, options.root);
    qb::exporting::Exporter(std::move(options), report).run();
    busy.restore();
    if (!report.ended()) {
        StatusBar->hideProgress();  // stopped by the window's close or the program's end
    }
}

void TExportForm::Report::stopWith(const QString& text, qb::MessageIcon icon) {
    ended_ = true;
    busy_.restore();
    form_.StatusBar->hideProgress();
    form_.StatusBar->setPanelText(QStringLiteral("Ready to export."));
    qb::dialogs().messageBox(text, QStringLiteral("Export Error"), qb::MessageButtons::Ok, icon);
}

void TExportForm::Report::rowsCounted(int rows) {
    form_.StatusBar->startProgress(rows);
}

void TExportForm::Report::fileReached(const QString& status) {
    // Each file's text shows at the next frame the export lets through: a repaint per file
    // would wait for the display every time.
    form_.StatusBar->setPanelText(status);
}

void TExportForm::Report::numberedFileWritten(const QString& path, const QString& name,
                                              const QString& numbered) {
    qb::dialogs().messageBox(
        QStringLiteral("Could not save file: ") + path +
            QStringLiteral("\r\n\r\nThis is most likely caused because \"") + name +
            QStringLiteral("\" contains one or more invalid \r\ncharacters for a "
                           "Windows filename.\r\n\r\nSaving as: ") +
            numbered,
        QStringLiteral("Export Error"), qb::MessageButtons::Ok, qb::MessageIcon::Warning);
}

void TExportForm::Report::rowDone() {
    form_.StatusBar->stepProgress();
}

bool TExportForm::Report::goOn() {
    return run_.letMessagesThrough();
}

void TExportForm::Report::writeFailed(const QString& path, const QString& reason) {
    stopWith(QStringLiteral("Could not save file: ") + path + QStringLiteral("\r\n\r\n") + reason,
             qb::MessageIcon::Warning);
}

void TExportForm::Report::databaseFailed(const QString& reason) {
    stopWith(QStringLiteral("The export stopped: the diary database could not be read.\r\n\r\n") +
                 reason,
             qb::MessageIcon::Error);
}

void TExportForm::Report::finished(int notWritten) {
    ended_ = true;
    busy_.restore();
    form_.StatusBar->setPanelText(QStringLiteral("Export Finished."), true);
    QString text = QStringLiteral("Finished exporting files to: ") + root_ + QStringLiteral("  ");
    if (notWritten > 0) {
        text += QStringLiteral("\r\n\r\n") + notWrittenText(notWritten);
    }
    qb::dialogs().messageBox(
        text, QStringLiteral("Export Finished"), qb::MessageButtons::Ok,
        notWritten > 0 ? qb::MessageIcon::Warning : qb::MessageIcon::Information);
    form_.StatusBar->hideProgress();
    form_.StatusBar->setPanelText(QStringLiteral("Ready to export."));
}
