#include "tools/SearchUnit.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QTreeView>
#include <QVBoxLayout>

#include <optional>

#include "pages/CalendarUnit.h"
#include "platform/core/Clock.h"
#include "platform/core/Color.h"
#include "platform/core/Dialogs.h"
#include "platform/richedit/RichEdit.h"
#include "platform/ui/Application.h"
#include "platform/ui/Fonts.h"
#include "platform/ui/OverrideCursor.h"
#include "platform/ui/WindowPlace.h"
#include "program/ProgramImages.h"
#include "program/ProgramState.h"
#include "program/StaticUnit.h"
#include "store/DatabaseUnit.h"
#include "tools/SearchTerms.h"
#include "tools/ToolTitleStrip.h"

qb::LazyWindow<TSearchForm> SearchForm;

namespace {

const QString kEntry = QStringLiteral("Entry");
const QString kDocument = QStringLiteral("Document");
const QString kPicture = QStringLiteral("Picture");
constexpr qb::TColor kEvenRowColor = 0x00F9EFEC;
constexpr int kStatusPanel0Width = 246;
constexpr int kStatusPanel1Width = 50;
constexpr int kProgressIntervalMs = 100;

QString unreadableText(int count) {
    return count == 1 ? QStringLiteral("1 entry could not be read")
                      : QStringLiteral("%1 entries could not be read").arg(count);
}

}  // namespace

// --- Results ---

int TSearchResults::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

int TSearchResults::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 4;
}

QVariant TSearchResults::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count()) {
        return {};
    }
    if (role == Qt::BackgroundRole) {
        return index.row() % 2 == 0 ? QVariant(qb::toQColor(kEvenRowColor)) : QVariant();
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) {
        return {};
    }
    const Row& r = row(index.row());
    switch (index.column()) {
        case 0:
            return r.location;
        case 1:
            return r.type;
        case 2:
            return r.entry;
        default:
            return r.excerpt;
    }
}

QVariant TSearchResults::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    static const char* const captions[] = {"Location", "Type", "Entry", "Excerpt"};
    return section >= 0 && section < 4 ? QString::fromLatin1(captions[section]) : QVariant();
}

void TSearchResults::append(Row row) {
    beginInsertRows({}, count(), count());
    rows_.push_back(std::move(row));
    endInsertRows();
}

void TSearchResults::clear() {
    beginResetModel();
    rows_.clear();
    endResetModel();
}

// --- Window ---

TSearchForm::TSearchForm(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("SearchForm"));
    setWindowTitle(QStringLiteral("Search"));
    setFont(qb::calendarFont(8));  // the windows' 8-point face
    resize(818, 521);
    buildLayout();
    FormCreate();
}

TSearchForm::~TSearchForm() {
    work_.requestStop();
}

QWidget* TSearchForm::titleStrip(const QString& caption) {
    auto* strip = new QWidget(this);
    auto* row = new QHBoxLayout;
    row->setContentsMargins(6, 0, 6, 0);
    row->addWidget(WhiteLabel(QString(), caption, strip));
    AddToolTitleStrip(strip, QString(), 55, row);
    return strip;
}

void TSearchForm::buildLayout() {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    auto* top = new QWidget(this);
    auto* grid = new QGridLayout(top);
    grid->setContentsMargins(6, 6, 6, 6);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(4);

    // Text To Find
    auto* findBox = new QVBoxLayout;
    findBox->addWidget(titleStrip(QStringLiteral("Text To Find")));
    SearchEdit = new QLineEdit(this);
    SearchEdit->setObjectName(QStringLiteral("SearchEdit"));
    qb::setFontWhenShown(SearchEdit, QFont(QStringLiteral("Arial"), 9));
    findBox->addWidget(SearchEdit);
    auto* buttons = new QHBoxLayout;
    StartButton = new QPushButton(QStringLiteral("&Start"), this);
    StartButton->setObjectName(QStringLiteral("StartButton"));
    StartButton->setDefault(true);
    StartButton->setAutoDefault(true);
    StopButton = new QPushButton(QStringLiteral("Sto&p"), this);
    StopButton->setObjectName(QStringLiteral("StopButton"));
    buttons->addWidget(StartButton);
    buttons->addWidget(StopButton);
    buttons->addStretch();
    findBox->addLayout(buttons);
    findBox->addStretch();
    grid->addLayout(findBox, 0, 0);

    // What to Search
    auto* whatBox = new QVBoxLayout;
    whatBox->addWidget(titleStrip(QStringLiteral("What to Search")));
    const auto check = [this, whatBox](QCheckBox*& field, const char* name, const QString& text) {
        field = new QCheckBox(text, this);
        field->setObjectName(QString::fromLatin1(name));
        field->setChecked(true);
        whatBox->addWidget(field);
    };
    check(EntriesCheckBox, "EntriesCheckBox", QStringLiteral("Journal Entries"));
    check(OtherDocsCheckBox, "OtherDocsCheckBox", QStringLiteral("Other Docs"));
    check(PicturesCheckBox, "PicturesCheckBox", QStringLiteral("Pictures"));
    whatBox->addStretch();
    grid->addLayout(whatBox, 0, 1);

    // Options
    auto* optionsBox = new QVBoxLayout;
    optionsBox->addWidget(titleStrip(QStringLiteral("Options")));
    const auto radio = [this, optionsBox](QRadioButton*& field, const char* name,
                                          const QString& text) {
        field = new QRadioButton(text, this);
        field->setObjectName(QString::fromLatin1(name));
        optionsBox->addWidget(field);
    };
    radio(Days30RadioButton, "Days30RadioButton", QStringLiteral("The Last &30 Days"));
    radio(Days90RadioButton, "Days90RadioButton", QStringLiteral("The Last &90 Days"));
    radio(Days365RadioButton, "Days365RadioButton", QStringLiteral("&The Last 365 Days"));
    radio(AllEntriesRadioButton, "AllEntriesRadioButton", QStringLiteral("&All Entries"));
    AllEntriesRadioButton->setChecked(true);
    SetFocusCheckBox = new QCheckBox(QStringLiteral("&Keep Focus On Search Window"), this);
    SetFocusCheckBox->setObjectName(QStringLiteral("SetFocusCheckBox"));
    optionsBox->addWidget(SetFocusCheckBox);
    grid->addLayout(optionsBox, 0, 2);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(2, 3);
    outer->addWidget(top);

    // Search Results
    auto* resultsTitle = titleStrip(QStringLiteral("Search Results"));
    SearchResultLabel = resultsTitle->findChild<QLabel*>();
    SearchResultLabel->setObjectName(QStringLiteral("SearchResultLabel"));
    outer->addWidget(resultsTitle);

    Results = new TSearchResults(this);
    ListView = new QTreeView(this);
    ListView->setObjectName(QStringLiteral("ListView"));
    ListView->setModel(Results);
    ListView->setRootIsDecorated(false);
    ListView->setUniformRowHeights(true);
    ListView->setItemsExpandable(false);
    ListView->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView->setAllColumnsShowFocus(true);
    ListView->header()->setStretchLastSection(true);
    ListView->setColumnWidth(0, 1);
    ListView->setColumnHidden(0, true);
    ListView->setColumnWidth(1, 80);
    ListView->setColumnWidth(2, 170);
    ListView->setColumnWidth(3, 340);
    // The selection stays visible while another window has the focus.
    QPalette keep = ListView->palette();
    keep.setColor(QPalette::Inactive, QPalette::Highlight,
                  keep.color(QPalette::Active, QPalette::Highlight));
    keep.setColor(QPalette::Inactive, QPalette::HighlightedText,
                  keep.color(QPalette::Active, QPalette::HighlightedText));
    ListView->setPalette(keep);
    ListView->installEventFilter(this);
    ListView->viewport()->installEventFilter(this);
    outer->addWidget(ListView, 1);

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(true);
    StatusPanel0 = new QLabel(StatusBar);
    StatusPanel0->setFixedWidth(kStatusPanel0Width);
    StatusPanel1 = new QLabel(StatusBar);
    StatusPanel1->setFixedWidth(kStatusPanel1Width);
    StatusBar->addWidget(StatusPanel0);
    StatusBar->addWidget(StatusPanel1);
    outer->addWidget(StatusBar);

    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setTextVisible(false);
    ProgressBar->hide();

    connect(StartButton, &QPushButton::clicked, this, [this] { StartButtonClick(); });
    connect(StopButton, &QPushButton::clicked, this, [this] { StopButtonClick(); });
    connect(SearchEdit, &QLineEdit::returnPressed, this, [this] { StartButtonClick(); });
}

void TSearchForm::FormCreate() {
    setWindowIcon(ProgramImages::searchImage());
    // The progress bar lives inside the status bar, beside panel 0.
    ProgressBar->setParent(StatusBar);
    ProgressBar->hide();
    FormResize();
}

void TSearchForm::FormResize() {
    const int left = kStatusPanel0Width + 2;
    ProgressBar->setGeometry(left, 1, std::max(1, width() - left - 40),
                             std::max(1, StatusBar->height() - 2));
}

void TSearchForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FormResize();
}

void TSearchForm::setVisible(bool visible) {
    if (visible) {
        qb::applyFontsWhenShown(this);
    }
    QWidget::setVisible(visible);
}

void TSearchForm::showEvent(QShowEvent* event) {
    if (!shown_) {
        shown_ = true;
        const QRect area = qb::AvailableAreaOf(*this);
        qb::PlaceWithin(*this, area, [area](const QSize& frame) {
            QRect placed(QPoint(), frame);
            placed.moveCenter(area.center());
            return placed.topLeft();
        });
    }
    QWidget::showEvent(event);
}

void TSearchForm::closeEvent(QCloseEvent* event) {
    // The window only hides; a search running in it ends.
    work_.requestStop();
    QWidget::closeEvent(event);
}

bool TSearchForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ListView && event->type() == QEvent::KeyPress) {
        ListViewKeyDown(static_cast<QKeyEvent*>(event)->key());
    }
    // A click anywhere in the list counts, also below the last row, where the view itself reports
    // none. The view first finishes the click's selection (one below the rows selects nothing),
    // so that the click opens the row it selected, or the first row.
    if (watched == ListView->viewport() && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && !listReleasing_) {
        listReleasing_ = true;
        QCoreApplication::sendEvent(watched, event);
        listReleasing_ = false;
        ListViewClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TSearchForm::StopButtonClick() {
    work_.requestStop();
}

int TSearchForm::keyBound() const {
    const QDate today = qb::clock().today();
    int months = 0;
    if (Days30RadioButton->isChecked()) {
        months = 1;
    } else if (Days90RadioButton->isChecked()) {
        months = 3;
    } else if (Days365RadioButton->isChecked()) {
        months = 12;
    }
    const QDate start = today.addMonths(-months);
    return start == today ? 0 : DateToKey(start).toInt();
}

qb::search::SearchOptions TSearchForm::searchOptions() const {
    qb::search::SearchOptions options;
    options.connection = DataModule1 ? &DataModule1->ADOConnection1 : nullptr;
    options.cipher = EntryCipher;
    options.pictureFolder = AppFolder + QStringLiteral("Pictures");
    options.entries = EntriesCheckBox->isChecked();
    options.documents = OtherDocsCheckBox->isChecked();
    options.pictures = PicturesCheckBox->isChecked();
    options.keyBound = keyBound();
    options.terms = qb::search::SearchTermsOf(SearchEdit->text());
    return options;
}

void TSearchForm::StartButtonClick() {
    std::optional<qb::LongWork::Run> run = work_.start();
    if (!run) {
        return;
    }
    SearchResultLabel->setText(QStringLiteral("Search Results  (0 excerpts found)"));
    StatusPanel0->setText(QStringLiteral("Searching..."));
    qb::OverrideCursor cursor(Qt::BusyCursor);
    Results->clear();
    FormResize();
    ProgressBar->setValue(0);
    progress_ = 0;
    progressShown_.invalidate();
    statusShown_.invalidate();
    std::optional<qb::search::Searcher> searcher;
    bool finished = false;
    QString failure;
    run_ = &*run;
    try {
        searcher.emplace(searchOptions(), static_cast<qb::search::SearchObserver&>(*this));
        searcher->run();
        finished = true;
    } catch (const std::exception& error) {
        failure = QString::fromStdString(error.what());
    }
    run_ = nullptr;
    unreadable_ = searcher ? searcher->unreadableCount() : 0;
    ProgressBar->hide();
    cursor.restore();
    if (!finished) {
        qb::dialogs().messageBox(
            QStringLiteral("The search stopped because the diary could not be read:\r\n") + failure,
            QStringLiteral("Search Error"), qb::MessageButtons::Ok, qb::MessageIcon::Error);
        return;
    }
    QString status = QStringLiteral("Finished Searching.");
    if (unreadable_ > 0) {
        status += QStringLiteral("  ") + unreadableText(unreadable_);
    }
    StatusPanel0->setText(status);
    if (!qb::quitRequested()) {
        SearchEdit->selectAll();
        activateWindow();
        SearchEdit->setFocus();
    }
}

void TSearchForm::recordsCounted(int records) {
    // A progress bar whose maximum is 0 runs an endless animation.
    ProgressBar->setMaximum(std::max(1, records));
    ProgressBar->show();
}

void TSearchForm::recordRead() {
    step();
}

void TSearchForm::sectionDone() {
    showProgress();
}

void TSearchForm::documentReached(int recordNumber) {
    StatusPanel0->setText(QStringLiteral("Searching...  [%1]").arg(recordNumber));
}

void TSearchForm::pictureReached(const QString& folder, const QString& name) {
    // Laying out the label's text for each of thousands of files would cost more than the walk:
    // the path is shown a few times a second.
    if (!statusShown_.isValid() || statusShown_.elapsed() >= kProgressIntervalMs) {
        StatusPanel0->setText(QStringLiteral("Searching for [") + SearchEdit->text() +
                              QStringLiteral("] in  ") + folder + name);
        statusShown_.start();
    }
}

void TSearchForm::hitsFound(const std::vector<qb::search::Hit>& hits) {
    for (const qb::search::Hit& hit : hits) {
        switch (hit.kind) {
            case qb::search::HitKind::Entry:
                Results->append({hit.key, kEntry, hit.title, hit.excerpt});
                break;
            case qb::search::HitKind::Document:
                Results->append({hit.key, kDocument, hit.title, hit.excerpt});
                break;
            case qb::search::HitKind::Picture:
                Results->append({hit.key, kPicture, hit.title, QStringLiteral("not applicable")});
                break;
        }
    }
    showCount();
}

bool TSearchForm::goOn() {
    return run_ && run_->letMessagesThrough();
}

bool TSearchForm::stopRequested() {
    return !run_ || run_->stopRequested();
}

void TSearchForm::step() {
    // The bar repaints itself at once on every visible change: over thousands of records that
    // costs more than the search, so it is moved a few times a second.
    ++progress_;
    if (!progressShown_.isValid() || progressShown_.elapsed() >= kProgressIntervalMs) {
        showProgress();
    }
}

void TSearchForm::showProgress() {
    ProgressBar->setValue(std::min(progress_, ProgressBar->maximum()));
    progressShown_.start();
}

void TSearchForm::showCount() {
    SearchResultLabel->setText(
        QStringLiteral("Search Results  (%1 excerpts found)").arg(Results->count()));
}

void TSearchForm::ListViewClick() {
    OpenSelectedResult();
}

void TSearchForm::ListViewKeyDown(int key) {
    if (key == Qt::Key_Space) {
        OpenSelectedResult();
    }
}

void TSearchForm::OpenSelectedResult() {
    QModelIndexList selected = ListView->selectionModel()->selectedRows();
    if (selected.isEmpty()) {
        if (Results->count() == 0) {
            return;
        }
        ListView->setCurrentIndex(Results->index(0, 1));
        selected = {Results->index(0, 0)};
    }
    const TSearchResults::Row row = Results->row(selected.first().row());
    if (row.type == kEntry) {
        if (ShowDay) {
            ShowDay(row.location);
        }
        if (qb::TRichEdit* edit = CurrentRichEdit ? CurrentRichEdit() : nullptr) {
            const int at = edit->FindText(row.excerpt, 0, edit->GetTextLen());
            // A page edited since the search may no longer hold the excerpt: the caret stays.
            if (at >= 0) {
                edit->setSelStart(at);
                edit->setSelLength(int(row.excerpt.size()));
            }
        }
    } else if (row.type == kDocument) {
        if (ShowDocument) {
            ShowDocument(row.location);
        }
    } else if (ShowPicture) {
        ShowPicture(row.location);
    }
    QCoreApplication::processEvents();
    if (SetFocusCheckBox->isChecked()) {
        activateWindow();
        raise();
    }
}
