#include "tools/ImportPicturesUnit.h"

#include "platform/core/Color.h"
#include "platform/core/Dialogs.h"
#include "platform/files/Files.h"
#include "platform/ui/Application.h"
#include "platform/ui/DialogButtons.h"
#include "platform/ui/FolderTree.h"
#include "platform/ui/Guard.h"
#include "platform/ui/OverrideCursor.h"
#include "program/ProgramState.h"
#include "store/DatabaseUnit.h"
#include "tools/PictureUnit.h"
#include "tools/ToolStatusBar.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QShowEvent>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

namespace ImportPicturesUnit {
int SortColumn = 0;
bool SortAscending = false;
bool SortByDate = false;
}  // namespace ImportPicturesUnit

namespace {

using namespace ImportPicturesUnit;

constexpr char kDateFormat[] = "MM/dd/yyyy";
constexpr qb::TColor kEvenRowColor = 0x00F9EFEC;

// The rows with an even index get the list's light tint.
class EvenRowDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.row() % 2 == 0) {
            option->backgroundBrush = qb::toQColor(kEvenRowColor);
        }
    }
};

bool isListedPicture(const QString& name) {
    const QString ending = name.right(3).toUpper();
    return ending == QLatin1String("JPG") || ending == QLatin1String("BMP");
}

// Letters folded in ASCII only; on a common prefix the shorter text is smaller.
int compareTextAscii(const QString& a, const QString& b) {
    auto fold = [](QChar c) {
        const char16_t u = c.unicode();
        return u >= u'A' && u <= u'Z' ? char16_t(u + (u'a' - u'A')) : u;
    };
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = fold(a[i]);
        const char16_t y = fold(b[i]);
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

QString sortText(const QTreeWidgetItem& item) {
    // Column 0 is the caption; column n is sub-item n - 1.
    const QString text = item.text(SortColumn);
    if (!SortByDate) {
        return text;
    }
    // "mm/dd/yyyy" compares as "yyyymmdd".
    return text.mid(6, 4) + text.mid(0, 2) + text.mid(3, 2);
}

QString notCopiedText(int failed) {
    return failed == 1 ? QStringLiteral("1 picture could not be copied.")
                       : QStringLiteral("%1 pictures could not be copied.").arg(failed);
}

}  // namespace

int ListViewCompare(const QTreeWidgetItem& item1, const QTreeWidgetItem& item2) {
    const int order = compareTextAscii(sortText(item1), sortText(item2));
    return SortAscending ? order : -order;
}

TImportPicturesForm::TImportPicturesForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ImportPicturesForm"));
    setWindowTitle(QStringLiteral("Import Pictures"));
    buildLayout();
    resize(637, 499);
    setMinimumSize(567, 408);

    DateTimePicker->setDate(QDate::currentDate());
    connect(ShellTreeView, &qb::FolderTree::selectedPathChanged, this,
            qb::guarded([this] { ShellTreeViewChange(); }));
    connect(ListView, &QTreeWidget::itemDoubleClicked, this,
            qb::guarded([this] { ListViewDblClick(); }));
    connect(ListView->header(), &QHeaderView::sectionClicked, this,
            qb::guarded([this](int column) { ListViewColumnClick(column); }));
    connect(ListView, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        ListViewPopupMenu->popup(ListView->viewport()->mapToGlobal(at));
    });
    connect(SelectAllMenuItem, &QAction::triggered, this,
            qb::guarded([this] { SelectAllMenuItemClick(); }));
    connect(DateTimePicker, &QDateEdit::dateChanged, this,
            qb::guarded([this] { DateTimePickerChange(); }));
    connect(Button1, &QPushButton::clicked, this, qb::guarded([this] { Button1Click(); }));
    connect(CloseBitButton, &QPushButton::clicked, this,
            qb::guarded([this] { CloseBitButtonClick(); }));
}

TImportPicturesForm::~TImportPicturesForm() = default;

void TImportPicturesForm::buildLayout() {
    ShellTreeView = new qb::FolderTree(this);
    ShellTreeView->setObjectName(QStringLiteral("ShellTreeView"));
    ShellTreeView->setContextMenuPolicy(Qt::PreventContextMenu);  // its popup menu is empty

    ListView = new QTreeWidget(this);
    ListView->setObjectName(QStringLiteral("ListView"));
    ListView->setHeaderLabels({QStringLiteral("File Name"), QStringLiteral("File Date")});
    ListView->setColumnWidth(0, 170);
    ListView->setColumnWidth(1, 80);
    ListView->setRootIsDecorated(false);
    ListView->setUniformRowHeights(true);
    ListView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView->setSortingEnabled(false);
    ListView->header()->setSectionsClickable(true);
    ListView->header()->setSortIndicatorShown(false);
    ListView->setItemDelegate(new EvenRowDelegate(ListView));
    ListView->setContextMenuPolicy(Qt::CustomContextMenu);

    ListViewPopupMenu = new QMenu(this);
    ListViewPopupMenu->setObjectName(QStringLiteral("ListViewPopupMenu"));
    SelectAllMenuItem = ListViewPopupMenu->addAction(QStringLiteral("Select &All"));
    SelectAllMenuItem->setObjectName(QStringLiteral("SelectAllMenuItem"));
    SelectAllMenuItem->setShortcut(QKeySequence(QStringLiteral("Ctrl+A")));
    SelectAllMenuItem->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    ListView->addAction(SelectAllMenuItem);  // Ctrl+A also works without the menu open

    auto headed = [this](const QString& heading, QWidget* body) {
        auto* box = new QWidget(this);
        auto* column = new QVBoxLayout(box);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(2);
        column->addWidget(new QLabel(heading, box));
        column->addWidget(body, 1);
        return box;
    };
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(
        headed(QStringLiteral("Select the Folder to Import Pictures From"), ShellTreeView));
    splitter->addWidget(
        headed(QStringLiteral("Select the Individual Pictures to Import"), ListView));
    splitter->setChildrenCollapsible(false);
    splitter->setSizes({300, 300});

    auto* options = new QGroupBox(QStringLiteral("Options"), this);
    options->setObjectName(QStringLiteral("OptionsGroupBox"));
    // Fusion sets a group's title above its frame; this one sits on the frame's top line.
    options->setStyleSheet(QStringLiteral(
        "QGroupBox#OptionsGroupBox { border: 1px solid palette(mid); border-radius: 2px;"
        " margin-top: 6px; padding-top: 4px; }"
        "QGroupBox#OptionsGroupBox::title { subcontrol-origin: margin;"
        " subcontrol-position: top left; left: 8px; padding: 0px 2px; }"));
    FileDateRadioButton = new QRadioButton(
        QStringLiteral(
            "Use the file date of the image to determine the journal entry association."),
        options);
    FileDateRadioButton->setObjectName(QStringLiteral("FileDateRadioButton"));
    FileDateRadioButton->setChecked(true);
    OneEntryRadioButton = new QRadioButton(
        QStringLiteral("Associate the selected image files with this journal entry date:"),
        options);
    OneEntryRadioButton->setObjectName(QStringLiteral("OneEntryRadioButton"));
    DateTimePicker = new QDateEdit(options);
    DateTimePicker->setObjectName(QStringLiteral("DateTimePicker"));
    DateTimePicker->setCalendarPopup(true);
    DateTimePicker->setDisplayFormat(QString::fromLatin1(kDateFormat));
    OtherDocRadioButton = new QRadioButton(
        QStringLiteral("Associate the selected image files with this \"other\" document:"),
        options);
    OtherDocRadioButton->setObjectName(QStringLiteral("OtherDocRadioButton"));
    OtherDocsComboBox = new QComboBox(options);
    OtherDocsComboBox->setObjectName(QStringLiteral("OtherDocsComboBox"));
    OtherDocsComboBox->setEditable(true);
    OtherDocsComboBox->setInsertPolicy(QComboBox::NoInsert);
    OtherDocsComboBox->setMinimumWidth(180);

    // Each choice's date or name sits under its option, indented, so the texts show whole.
    auto indented = [](QWidget* field) {
        auto* row = new QHBoxLayout;
        row->setContentsMargins(22, 0, 0, 0);
        row->addWidget(field);
        row->addStretch(1);
        return row;
    };
    auto* column = new QVBoxLayout(options);
    column->setSpacing(3);
    column->addWidget(FileDateRadioButton);
    column->addWidget(OneEntryRadioButton);
    column->addLayout(indented(DateTimePicker));
    column->addWidget(OtherDocRadioButton);
    column->addLayout(indented(OtherDocsComboBox));

    Button1 = new QPushButton(QStringLiteral("&Import"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    qb::EnterPressesButton(Button1);
    CloseBitButton = new QPushButton(QStringLiteral("&Close"), this);
    CloseBitButton->setObjectName(QStringLiteral("CloseBitButton"));
    qb::EnterPressesButton(CloseBitButton);
    auto* buttons = new QVBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(CloseBitButton);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(options, 1);
    bottom->addLayout(buttons);

    auto* content = new QVBoxLayout;
    content->addWidget(splitter, 1);
    content->addLayout(bottom);

    StatusBar = qb::ToolStatusBar::layOut(this, content);
    ProgressBar = StatusBar->progressBar();
}

void TImportPicturesForm::LoadOtherDocNames() {
    OtherDocsComboBox->clear();
    if (DataModule1) {
        qb::db::Table& documents = DataModule1->OtherDocTable;
        for (documents.First(); !documents.Eof(); documents.Next()) {
            OtherDocsComboBox->addItem(documents.FieldByName("Name").AsQString());
        }
    }
    OtherDocsComboBox->setCurrentIndex(OtherDocsComboBox->count() > 0 ? 0 : -1);
    OtherDocRadioButton->setEnabled(OtherDocsComboBox->count() > 0);
}

void TImportPicturesForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        StatusBar->setPanelText(QStringLiteral("Ready."));
        // Pictures are most often somewhere below the user's home folder.
        qb::runGuarded([this] {
            try {
                ShellTreeView->openAt(QDir::homePath());
            } catch (const qb::FileError&) {
                // Without a home folder the tree stays at the file system's root.
            }
        });
    }
}

void TImportPicturesForm::done(int result) {
    // Esc, Close and the close box all end here: a running import stops at its next file.
    work_.requestStop();
    QDialog::done(result);
}

void TImportPicturesForm::ShellTreeViewChange() {
    const QString folder = ShellTreeView->selectedPath();
    ListView->hide();
    ListView->clear();
    listedFolder_ = folder;
    QList<QTreeWidgetItem*> rows;
    if (!folder.isEmpty()) {
        for (const qb::FileEntry& file : qb::listFiles(folder)) {
            if (isListedPicture(file.name)) {
                rows.append(new QTreeWidgetItem(QStringList{
                    file.name, file.modified.toString(QString::fromLatin1(kDateFormat))}));
            }
        }
    }
    ListView->addTopLevelItems(rows);
    ListView->show();
}

void TImportPicturesForm::ListViewDblClick() {
    QTreeWidgetItem* row = ListView->currentItem();
    if (!row || !row->isSelected() || !PictureForm) {
        return;
    }
    PictureForm->ShowPicture(listedFolder_ + u'/' + row->text(0));
}

void TImportPicturesForm::ListViewColumnClick(int column) {
    if (column == SortColumn) {
        SortAscending = !SortAscending;
    }
    SortColumn = column;
    const QString caption = ListView->headerItem()->text(column);
    SortByDate = caption.contains(QLatin1String("Date")) || caption.contains(QLatin1String("Dt"));

    // The rows keep their selection and the current row through the sort.
    const QList<QTreeWidgetItem*> selected = ListView->selectedItems();
    QTreeWidgetItem* current = ListView->currentItem();
    QList<QTreeWidgetItem*> rows = ListView->invisibleRootItem()->takeChildren();
    std::stable_sort(rows.begin(), rows.end(),
                     [](const QTreeWidgetItem* a, const QTreeWidgetItem* b) {
                         return ListViewCompare(*a, *b) < 0;
                     });
    ListView->addTopLevelItems(rows);
    for (QTreeWidgetItem* row : selected) {
        row->setSelected(true);
    }
    if (current) {
        ListView->selectionModel()->setCurrentIndex(ListView->indexFromItem(current),
                                                    QItemSelectionModel::NoUpdate);
    }
}

void TImportPicturesForm::SelectAllMenuItemClick() {
    ListView->selectAll();
}

void TImportPicturesForm::DateTimePickerChange() {
    OneEntryRadioButton->setChecked(true);
}

void TImportPicturesForm::CloseBitButtonClick() {
    close();
}

std::vector<qb::ImportPicture> TImportPicturesForm::selectedPictures() const {
    std::vector<qb::ImportPicture> pictures;
    for (int i = 0; i < ListView->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = ListView->topLevelItem(i);
        if (row->isSelected()) {
            pictures.push_back({row->text(0), row->text(1)});
        }
    }
    return pictures;
}

void TImportPicturesForm::Button1Click() {
    std::optional<qb::LongWork::Run> run = work_.start();
    if (!run) {
        return;  // an import is running: this click came through its message pumping
    }
    // The rows and the folder as they stand now: the user may pick another folder meanwhile.
    qb::PictureImportOptions options;
    options.store = DataModule1;
    options.readOnly = DatabaseReadOnly;
    options.pictureFolder = AppFolder + QStringLiteral("Pictures/");
    options.folder = listedFolder_;
    options.pictures = selectedPictures();
    if (options.pictures.empty()) {
        qb::dialogs().messageBox(QStringLiteral("No pictures are selected to import.     "),
                                 QStringLiteral("Import Error"), qb::MessageButtons::Ok,
                                 qb::MessageIcon::Warning);
        return;
    }

    {
        qb::OverrideCursor busy(Qt::WaitCursor);
        try {
            importPictures(std::move(options), *run);
        } catch (...) {
            // The pictures copied so far stay; the calendars still show their days.
            busy.restore();
            StatusBar->hideProgress();
            StatusBar->setPanelText(QStringLiteral("Ready."));
            refreshCalendars();
            throw;
        }
        busy.restore();
        refreshCalendars();
    }
    if (qb::quitRequested()) {
        return;
    }
    // A viewer still to be made lists the imported pictures when it is made.
    if (TPictureForm* viewer = PictureForm.made()) {
        viewer->RefreshPictureList();
    }
    StatusBar->setPanelText(QStringLiteral("Ready."));
}

void TImportPicturesForm::importPictures(qb::PictureImportOptions options, qb::LongWork::Run& run) {
    StatusBar->startProgress(static_cast<int>(options.pictures.size()));
    qb::PictureImporter::Outcome outcome;
    {
        run_ = &run;
        const auto forget = qScopeGuard([this] { run_ = nullptr; });
        outcome = qb::PictureImporter(std::move(options), *this).importPictures();
    }
    if (!outcome.stopped) {
        qb::dialogs().messageBox(
            finishedText(outcome.failed), QStringLiteral("Import Finished"), qb::MessageButtons::Ok,
            outcome.failed > 0 ? qb::MessageIcon::Warning : qb::MessageIcon::Information);
    }
    StatusBar->hideProgress();
}

qb::PictureTarget TImportPicturesForm::pictureTarget() {
    // The option buttons are read for each file: a change during the import applies to the
    // files after it.
    if (FileDateRadioButton->isChecked()) {
        return {qb::PictureTarget::Kind::FileDate, {}, {}};
    }
    if (OneEntryRadioButton->isChecked()) {
        return {qb::PictureTarget::Kind::OneDay, DateTimePicker->date(), {}};
    }
    return {qb::PictureTarget::Kind::Document, {}, OtherDocsComboBox->currentText()};
}

void TImportPicturesForm::pictureStarted(const QString& name) {
    StatusBar->setPanelText(QStringLiteral("Importing ") + name);
}

void TImportPicturesForm::pictureDone() {
    StatusBar->stepProgress();
}

bool TImportPicturesForm::replaceExisting(const QString& name) {
    const qb::MessageResult answer = qb::dialogs().messageBox(
        QStringLiteral("This folder already contains a file named \"") + name +
            QStringLiteral("\".\r\n\r\nWould you like to replace the existing file?     "),
        QStringLiteral("Confirm File Replace"), qb::MessageButtons::YesNo,
        qb::MessageIcon::Warning);
    return answer == qb::MessageResult::Yes;
}

void TImportPicturesForm::dayRowMade(const QString&) {
    refreshCalendars();
}

bool TImportPicturesForm::goOn() {
    return run_ && run_->letMessagesThrough();
}

QString TImportPicturesForm::finishedText(int failed) {
    // The association as the option buttons stand at the end.
    const qb::PictureTarget target = pictureTarget();
    QString association;
    switch (target.kind) {
        case qb::PictureTarget::Kind::FileDate:
            association = QStringLiteral("with entries based on the picture file date.");
            break;
        case qb::PictureTarget::Kind::OneDay:
            association = QStringLiteral("with the ") +
                          target.day.toString(QString::fromLatin1(kDateFormat)) +
                          QStringLiteral(" entry.");
            break;
        case qb::PictureTarget::Kind::Document:
            association = QStringLiteral("with the ") + target.document + QStringLiteral(" entry.");
            break;
    }
    QString text = QStringLiteral("Finished importing pictures for association ") + association +
                   QStringLiteral("    ");
    if (failed > 0) {
        text += QStringLiteral("\r\n\r\n") + notCopiedText(failed);
    }
    return text;
}

void TImportPicturesForm::refreshCalendars() {
    if (RefreshCalendars) {
        RefreshCalendars();
    }
}
