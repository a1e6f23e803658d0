#include "tools/ExportUnit.h"

#include "platform/core/Dialogs.h"
#include "platform/db/DbError.h"
#include "platform/db/Table.h"
#include "platform/files/Files.h"
#include "platform/richedit/RichEdit.h"
#include "platform/rtf/Rtf.h"
#include "platform/ui/DialogButtons.h"
#include "platform/ui/FolderTree.h"
#include "platform/ui/Guard.h"
#include "platform/ui/OverrideCursor.h"
#include "program/ProgramState.h"
#include "program/StaticUnit.h"
#include "store/DatabaseUnit.h"
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
#include <QTextDocument>
#include <QVBoxLayout>

#include <exception>

namespace {

// A file of the export that could not be written: the export ends with this.
struct ExportFailure {
    QString path;
    QString reason;
};

// root + "/" + relative, also for the file system's root "/".
QString below(const QString& root, const QString& relative) {
    return root.endsWith(u'/') ? root + relative : root + u'/' + relative;
}

QString notWrittenText(int count) {
    return count == 1
               ? QStringLiteral("1 entry could not be read and was not written.")
               : QStringLiteral("%1 entries could not be read and were not written.").arg(count);
}

// The folder of a file to write, made where missing, and rid of what an export stopped half
// way left in it.
void folderForFile(qb::StaleTemporarySweep& sweep, const QString& folder, const QString& file) {
    try {
        qb::forceDirectories(folder);
    } catch (const qb::FileError& error) {
        throw ExportFailure{file, QString::fromUtf8(error.what())};
    }
    sweep.before(folder);
}

}  // namespace

struct TExportForm::Session {
    qb::LongWork::Run& run;
    QString root;
    bool skipExisting = false;
    int notWritten = 0;  // rows meant to be written whose text could not be read
    qb::StaleTemporarySweep sweep;
};

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
    Session session{*run, PathLabel->text(), SkipRadioButton->isChecked(), 0, {}};
    if (session.root.isEmpty() || !QFileInfo(session.root).isDir()) {
        qb::dialogs().messageBox(QStringLiteral("The folder to export to does not exist: ") +
                                     session.root + QStringLiteral("     "),
                                 QStringLiteral("Export Error"), qb::MessageButtons::Ok,
                                 qb::MessageIcon::Warning);
        return;
    }
    const bool daily = DailyCheckBox->isChecked();
    const bool other = OtherCheckBox->isChecked();

    qb::OverrideCursor busy(Qt::WaitCursor);
    StatusBar->startProgress(0);
    auto stopWith = [&](const QString& text, qb::MessageIcon icon) {
        busy.restore();
        StatusBar->hideProgress();
        StatusBar->setPanelText(QStringLiteral("Ready to export."));
        qb::dialogs().messageBox(text, QStringLiteral("Export Error"), qb::MessageButtons::Ok,
                                 icon);
    };
    bool finished = false;
    try {
        // Tables of its own: a page saved meanwhile moves the shared cursors, never these.
        qb::db::Table entries(DataModule1->ADOConnection1, "Entry");
        entries.SetSort("sYYYYMMDD");
        qb::db::Table documents(DataModule1->ADOConnection1, "OtherDocs");
        documents.SetSort("Name");
        // Every text is read, a few hundred a statement; no statement stays open while
        // messages pass, so a page saved meanwhile never waits for the export.
        entries.SetReadAhead(qb::db::kWalkReadAhead);
        documents.SetReadAhead(qb::db::kWalkReadAhead);
        int rows = 0;
        if (daily) {
            entries.Open();
            rows += entries.RecordCount();
        }
        if (other) {
            documents.Open();
            rows += documents.RecordCount();
        }
        StatusBar->startProgress(rows);
        finished = (!daily || exportEntries(session, entries)) &&
                   (!other || exportDocuments(session, documents));
        if (finished) {
            try {
                qb::syncFileSystem(session.root);
            } catch (const qb::FileError& error) {
                throw ExportFailure{session.root, QString::fromUtf8(error.what())};
            }
        }
    } catch (const ExportFailure& failure) {
        stopWith(QStringLiteral("Could not save file: ") + failure.path +
                     QStringLiteral("\r\n\r\n") + failure.reason,
                 qb::MessageIcon::Warning);
        return;
    } catch (const qb::db::Error& error) {
        stopWith(
            QStringLiteral("The export stopped: the diary database could not be read.\r\n\r\n") +
                QString::fromUtf8(error.what()),
            qb::MessageIcon::Error);
        return;
    }
    busy.restore();
    if (!finished) {
        StatusBar->hideProgress();  // stopped by the window's close or the program's end
        return;
    }
    StatusBar->setPanelText(QStringLiteral("Export Finished."), true);
    QString text =
        QStringLiteral("Finished exporting files to: ") + session.root + QStringLiteral("  ");
    if (session.notWritten > 0) {
        text += QStringLiteral("\r\n\r\n") + notWrittenText(session.notWritten);
    }
    qb::dialogs().messageBox(
        text, QStringLiteral("Export Finished"), qb::MessageButtons::Ok,
        session.notWritten > 0 ? qb::MessageIcon::Warning : qb::MessageIcon::Information);
    StatusBar->hideProgress();
    StatusBar->setPanelText(QStringLiteral("Ready to export."));
}

bool TExportForm::exportEntries(Session& session, qb::db::Table& entries) {
    for (entries.First(); !entries.Eof(); entries.Next()) {
        const QString key = entries.FieldByName("sYYYYMMDD").AsQString();
        QString dayText;
        try {
            dayText = DateKeyToText(key);  // also refuses a key that is no date
        } catch (const EConvertError&) {
            ++session.notWritten;
            if (!finishRow(session)) {
                return false;
            }
            continue;
        }
        const int month = key.mid(4, 2).toInt();
        const QString folder = QStringLiteral("Year ") + key.left(4) + u'/' + key.mid(4, 2) +
                               QStringLiteral(" - ") + MonthNames[month];
        const QString relative = folder + u'/' + key.mid(6, 2) + QStringLiteral(" - ") + dayText +
                                 QStringLiteral(".rtf");
        const QString path = below(session.root, relative);
        folderForFile(session.sweep, below(session.root, folder), path);

        // Each file's text shows at the next frame the export lets through: a repaint per file
        // would wait for the display every time.
        if (session.skipExisting && QFileInfo::exists(path)) {
            StatusBar->setPanelText(QStringLiteral("Skipping: ") + relative);
        } else {
            StatusBar->setPanelText(QStringLiteral("Exporting: ") + relative);
            const std::optional<QByteArray> rtf =
                renderedRtf(entries.FieldByName("Entry").AsString());
            if (!rtf) {
                ++session.notWritten;
            } else {
                writeFile(path, *rtf);
            }
        }
        if (!finishRow(session)) {
            return false;
        }
    }
    return true;
}

bool TExportForm::exportDocuments(Session& session, qb::db::Table& documents) {
    const QString folder = below(session.root, QStringLiteral("OtherDocs"));
    for (documents.First(); !documents.Eof(); documents.Next()) {
        const QString name = documents.FieldByName("Name").AsQString();
        const QString fileName = name + QStringLiteral(".rtf");
        const QString path = folder + u'/' + fileName;
        // A name with "/", control characters or too many bytes would leave the folder, and a
        // stem "." or ".." would make a hidden file: it takes the numbered file instead.
        const bool plain = qb::isPlainFileName(name) && qb::isPlainFileName(fileName);
        folderForFile(session.sweep, folder, path);

        if (plain && session.skipExisting && QFileInfo::exists(path)) {
            StatusBar->setPanelText(QStringLiteral("Skipping: ") + fileName);
        } else {
            StatusBar->setPanelText(QStringLiteral("Exporting: ") + fileName);
            const std::optional<QByteArray> rtf =
                renderedRtf(documents.FieldByName("Entry").AsString());
            if (!rtf) {
                ++session.notWritten;
            } else if (!plain || !tryWriteFile(path, *rtf)) {
                const QString numbered =
                    QString::number(documents.RecNo()) + QStringLiteral("-OtherDoc.rtf");
                // Written before the warning names it: a numbered file that cannot be written
                // either ends the export with its own box, never with a "Saving as" for nothing.
                writeFile(folder + u'/' + numbered, *rtf);
                qb::dialogs().messageBox(
                    QStringLiteral("Could not save file: ") + path +
                        QStringLiteral("\r\n\r\nThis is most likely caused because \"") + name +
                        QStringLiteral("\" contains one or more invalid \r\ncharacters for a "
                                       "Windows filename.\r\n\r\nSaving as: ") +
                        numbered,
                    QStringLiteral("Export Error"), qb::MessageButtons::Ok,
                    qb::MessageIcon::Warning);
            }
        }
        if (!finishRow(session)) {
            return false;
        }
    }
    return true;
}

bool TExportForm::finishRow(Session& session) {
    StatusBar->stepProgress();
    return session.run.letMessagesThrough();
}

std::optional<QByteArray> ExportedRtf(const std::string& stored, const QTextDocument& shown) {
    std::string rtf;
    try {
        rtf = DecodeEntryText(stored);
    } catch (const std::exception&) {
        return std::nullopt;  // not cipher text of this diary's key
    }
    // Deciphered bytes that are not RTF are the mark of a damaged or foreign text.
    if (!IsPlainRtf(rtf)) {
        return std::nullopt;
    }
    const QByteArray bytes = QByteArray::fromStdString(rtf);
    // Most texts are written out again straight from the RTF: a document for each of thousands
    // of texts would be most of the export's time.
    if (std::optional<QByteArray> rewritten = qb::rtf::rewrite(bytes, shown.defaultFont())) {
        return rewritten;
    }
    // A document with the control's settings but never shown: the control would lay out every
    // text, three times the work of the export.
    QTextDocument page;
    page.setUndoRedoEnabled(false);
    page.setDefaultFont(shown.defaultFont());
    page.setDefaultTextOption(shown.defaultTextOption());
    page.setDocumentMargin(shown.documentMargin());
    page.setIndentWidth(shown.indentWidth());
    qb::rtf::read(bytes, page);
    return qb::rtf::write(page);
}

std::optional<QByteArray> TExportForm::renderedRtf(const std::string& stored) {
    return ExportedRtf(stored, *RichEdit->document());
}

void TExportForm::writeFile(const QString& path, const QByteArray& rtf) {
    try {
        // Thousands of files: each waits for the disk only at the end of the export.
        qb::writeFileAtomically(path, rtf, qb::FileSync::Later);
    } catch (const qb::FileError& error) {
        throw ExportFailure{path, QString::fromUtf8(error.what())};
    }
}

bool TExportForm::tryWriteFile(const QString& path, const QByteArray& rtf) {
    try {
        writeFile(path, rtf);
        return true;
    } catch (const ExportFailure&) {
        return false;
    }
}
