#include "tools/PictureUnit.h"

#include "pages/ShadeUnit.h"
#include "platform/core/Color.h"
#include "platform/core/Dialogs.h"
#include "platform/files/Files.h"
#include "platform/image/Picture.h"
#include "platform/ui/Components.h"
#include "platform/ui/Fonts.h"
#include "platform/ui/Guard.h"
#include "platform/ui/ImageControl.h"
#include "platform/ui/LazyIcon.h"
#include "platform/ui/PaintBox.h"
#include "platform/ui/Timer.h"
#include "platform/ui/WindowPlace.h"
#include "program/ProgramState.h"
#include "program/StaticUnit.h"
#include "tools/ToolTitleStrip.h"

#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

qb::LazyWindow<TPictureForm> PictureForm;

namespace {

const QString kStoppedText = QStringLiteral("        Slide Show: Stopped");
// Rows found by the walk reach the list at most this often, so that a large tree neither
// waits for the end nor repaints the list for every file.
constexpr qint64 kFlushMs = 30;

QFont layoutFont() {
    return qb::layoutFont(8);
}

QFont listFont() {
    QFont face(QStringLiteral("Arial"), 8);
    face.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("DejaVu Sans")});
    return face;
}

QString fileNameOf(const QString& path) {
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString folderOf(const QString& path) {
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QPixmap iconPixmap(QStyle::StandardPixmap which, const QWidget* widget) {
    return widget->style()->standardIcon(which, nullptr, widget).pixmap(16, 16);
}

// Stands in for a picture that cannot be read, so that a slide show goes on past it.
QImage placeholderPicture(const QString& name) {
    QImage picture(240, 160, QImage::Format_RGB32);
    picture.fill(QColor(0xE8, 0xE8, 0xE8));
    QPainter painter(&picture);
    painter.setPen(QPen(QColor(0x90, 0x90, 0x90), 2));
    painter.drawRect(picture.rect().adjusted(1, 1, -2, -2));
    painter.drawLine(24, 24, 216, 136);
    painter.drawLine(216, 24, 24, 136);
    painter.setFont(layoutFont());
    const QRect band(8, 68, 224, 24);
    painter.fillRect(band, QColor(0xE8, 0xE8, 0xE8));
    painter.setPen(Qt::black);
    painter.drawText(band, Qt::AlignCenter,
                     painter.fontMetrics().elidedText(name, Qt::ElideMiddle, band.width()));
    return picture;
}

QAction* menuItem(QMenu* menu, const QString& name, const QString& caption,
                  const QKeySequence& shortcut = {}) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    return action;
}

}  // namespace

// --- The picture on screen ---

PictureImage::PictureImage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Image"));
    setCursor(Qt::PointingHandCursor);
}

void PictureImage::setPicture(const QImage& picture) {
    picture_ = QPixmap::fromImage(picture);
    scaled_ = QPixmap();
    if (!shrink_) {
        resize(picture_.size());
    }
    update();
}

void PictureImage::setShrinkToFit(bool on) {
    shrink_ = on;
    scaled_ = QPixmap();
    setCursor(on ? Qt::ArrowCursor : Qt::PointingHandCursor);
    if (!on) {
        resize(picture_.size());
    }
    update();
}

QSize PictureImage::sizeHint() const {
    return shrink_ ? QSize(0, 0) : picture_.size();
}

void PictureImage::paintEvent(QPaintEvent*) {
    if (picture_.isNull()) {
        return;
    }
    QPainter painter(this);
    const bool larger = picture_.width() > width() || picture_.height() > height();
    if (!shrink_ || !larger) {
        painter.drawPixmap(0, 0, picture_);
        return;
    }
    const QSize fitted = picture_.size().scaled(size(), Qt::KeepAspectRatio);
    if (scaled_.size() != fitted) {
        scaled_ = picture_.scaled(fitted, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    painter.drawPixmap(0, 0, scaled_);
}

void PictureImage::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (onMouseDown) {
        qb::runGuarded([&] { onMouseDown(event->globalPosition().toPoint()); });
    }
}

void PictureImage::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    if (onMouseMove) {
        qb::runGuarded([&] { onMouseMove(event->globalPosition().toPoint()); });
    }
}

void PictureImage::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (onMouseUp) {
        qb::runGuarded(onMouseUp);
    }
}

// --- The status bar ---

SlideStatusBar::SlideStatusBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("StatusBar"));
    setFixedHeight(20);
}

void SlideStatusBar::setText(const QString& text) {
    text_ = text;
    update();
}

void SlideStatusBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect panel = rect().adjusted(0, 1, -1, -1);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(panel);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(panel.adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter, text_);
}

void SlideStatusBar::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (onMouseDown) {
        qb::runGuarded([&] { onMouseDown(event->position().toPoint()); });
    }
}

// --- The window ---

TPictureForm::TPictureForm(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("PictureForm"));
    setWindowTitle(QStringLiteral("Picture Viewer"));
    setFont(layoutFont());
    resize(740, 560);
    // Moving the mouse over the window outside its controls ends a drag.
    setMouseTracking(true);
    createComponents();
    createMenu();
    const QRect area = qb::AvailableAreaOf(*this);
    qb::PlaceWithin(*this, area, [area](const QSize& frame) {
        return area.center() - QPoint(frame.width() / 2, frame.height() / 2);
    });
    FormCreate();
}

TPictureForm::~TPictureForm() {
    ListWork.requestStop();
}

void TPictureForm::createComponents() {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    auto* content = new QWidget(this);
    auto* contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(12, 12, 12, 12);
    outer->addWidget(content, 1);

    Splitter = new QSplitter(Qt::Horizontal, content);
    Splitter->setObjectName(QStringLiteral("Splitter"));
    Splitter->setHandleWidth(8);
    Splitter->setChildrenCollapsible(false);
    contentLayout->addWidget(Splitter);

    ListPanel = new QWidget(Splitter);
    ListPanel->setObjectName(QStringLiteral("ListPanel"));
    ListPanel->setMinimumSize(100, 50);
    ListPanel->setMaximumWidth(500);
    auto* listLayout = new QVBoxLayout(ListPanel);
    listLayout->setContentsMargins(0, 0, 0, 0);
    listLayout->setSpacing(0);

    SearchPanelTitle2 = new QWidget(ListPanel);
    SearchPanelTitle2->setObjectName(QStringLiteral("SearchPanelTitle2"));
    auto* listTitle = new QHBoxLayout;
    listTitle->setContentsMargins(6, 0, 6, 0);
    SearchResultLabel =
        WhiteLabel(QStringLiteral("SearchResultLabel"), QStringLiteral("All Pictures"), ListPanel);
    PictureCountLabel =
        WhiteLabel(QStringLiteral("PictureCountLabel"), QStringLiteral("(0)"), ListPanel);
    listTitle->addWidget(SearchResultLabel);
    listTitle->addWidget(PictureCountLabel);
    listTitle->addStretch(1);
    PaintBox1 = AddToolTitleStrip(SearchPanelTitle2, QStringLiteral("PaintBox1"), 0, listTitle);
    SearchResultLabel->raise();
    PictureCountLabel->raise();
    listLayout->addWidget(SearchPanelTitle2);

    PictureList = new PictureListModel(this);
    PictureListView = new QTreeView(ListPanel);
    PictureListView->setObjectName(QStringLiteral("PictureListView"));
    qb::setFontWhenShown(PictureListView, listFont());
    PictureListView->setModel(PictureList);
    PictureListView->setRootIsDecorated(false);
    PictureListView->setItemsExpandable(false);
    PictureListView->setUniformRowHeights(true);
    PictureListView->setAllColumnsShowFocus(true);
    PictureListView->setSelectionBehavior(QAbstractItemView::SelectRows);
    PictureListView->setSelectionMode(QAbstractItemView::SingleSelection);
    PictureListView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    PictureListView->header()->setStretchLastSection(false);
    PictureListView->header()->setSectionsMovable(false);
    PictureListView->setColumnWidth(PictureListModel::NameColumn, 140);
    PictureListView->setColumnWidth(PictureListModel::LocationColumn, 80);
    {
        // The selection stays visible while another control has the focus.
        QPalette palette = PictureListView->palette();
        for (const auto role : {QPalette::Highlight, QPalette::HighlightedText}) {
            palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
        }
        PictureListView->setPalette(palette);
    }
    {
        // The corner between the scroll bars would show the blue panel behind the list.
        auto* corner = new QWidget(PictureListView);
        corner->setAutoFillBackground(true);
        QPalette palette = corner->palette();
        palette.setColor(QPalette::Window, PictureListView->palette().color(QPalette::Base));
        corner->setPalette(palette);
        PictureListView->setCornerWidget(corner);
    }
    listLayout->addWidget(PictureListView, 1);

    auto* picturePanel = new QWidget(Splitter);
    auto* pictureLayout = new QVBoxLayout(picturePanel);
    pictureLayout->setContentsMargins(0, 0, 0, 0);
    pictureLayout->setSpacing(0);
    Panel5 = new QWidget(picturePanel);
    Panel5->setObjectName(QStringLiteral("Panel5"));
    auto* pictureTitle = new QHBoxLayout;
    pictureTitle->setContentsMargins(0, 0, 0, 0);
    TitleLabel = WhiteLabel(QStringLiteral("TitleLabel"), QString(), Panel5);
    TitleLabel->setAlignment(Qt::AlignCenter);
    pictureTitle->addWidget(TitleLabel, 1);
    PaintBox2 = AddToolTitleStrip(Panel5, QStringLiteral("PaintBox2"), 0, pictureTitle);
    TitleLabel->raise();
    pictureLayout->addWidget(Panel5);

    ScrollBox = new QScrollArea(picturePanel);
    ScrollBox->setObjectName(QStringLiteral("ScrollBox"));
    ScrollBox->setFrameShape(QFrame::NoFrame);
    ScrollBox->setAlignment(Qt::AlignCenter);
    ScrollBox->setWidgetResizable(false);
    {
        QPalette palette = ScrollBox->palette();
        palette.setColor(QPalette::Window,
                         qb::toQColor(ShadeTint::ViewerScrollBox(qb::colorToRGB(BackgroundColor))));
        ScrollBox->setPalette(palette);
        ScrollBox->setAutoFillBackground(true);
    }
    Image = new PictureImage;
    ScrollBox->setWidget(Image);
    ScrollBox->viewport()->installEventFilter(this);
    pictureLayout->addWidget(ScrollBox, 1);

    Splitter->addWidget(ListPanel);
    Splitter->addWidget(picturePanel);
    Splitter->setStretchFactor(0, 0);
    Splitter->setStretchFactor(1, 1);
    Splitter->setSizes({251, 740 - 24 - 251 - 8});

    StatusBar = new SlideStatusBar(this);
    outer->addWidget(StatusBar);
    StopImage = new qb::ImageControl(StatusBar);
    StopImage->setObjectName(QStringLiteral("StopImage"));
    StartImage = new qb::ImageControl(StatusBar);
    StartImage->setObjectName(QStringLiteral("StartImage"));
    // Their pictures are read when the viewer first shows (showEvent).

    SlideShowTimer = new qb::Timer(this, 4000);
    SlideShowTimer->setObjectName(QStringLiteral("SlideShowTimer"));

    Image->onMouseDown = [this](QPoint pos) { ImageMouseDown(pos); };
    Image->onMouseMove = [this](QPoint pos) { ImageMouseMove(pos); };
    Image->onMouseUp = [this] { ImageMouseUp(); };
    StatusBar->onMouseDown = [this](QPoint pos) { StatusBarMouseDown(pos); };
    StartImage->onMouseDown = [this] { SlideShow(QStringLiteral("stop")); };
    StopImage->onClick = [this] { SlideShow(QStringLiteral("start")); };
    SlideShowTimer->setOnTimer([this] { SelectNext(); });
    connect(PictureListView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            qb::guarded([this] { PictureListViewSelectItem(); }));
}

void TPictureForm::createMenu() {
    ImagePopupMenu = new QMenu(this);
    ImagePopupMenu->setObjectName(QStringLiteral("ImagePopupMenu"));
    QMenu* m = ImagePopupMenu;
    SideBarMenuItem = menuItem(m, QStringLiteral("SideBarMenuItem"), QStringLiteral("Side Bar"));
    SideBarMenuItem->setCheckable(true);
    SideBarMenuItem->setChecked(true);
    m->addSeparator();
    SelectNextMenuItem = menuItem(m, QStringLiteral("SelectNextMenuItem"),
                                  QStringLiteral("Select Next"), QKeySequence(Qt::Key_F8));
    SelectNextMenuItem->setIcon(qb::lazyStandardIcon(style(), QStyle::SP_ArrowForward));
    SelectPreviousMenuItem = menuItem(m, QStringLiteral("SelectPreviousMenuItem"),
                                      QStringLiteral("Select Previous"), QKeySequence(Qt::Key_F7));
    SelectPreviousMenuItem->setIcon(qb::lazyStandardIcon(style(), QStyle::SP_ArrowBack));
    m->addSeparator();
    auto* modes = new QActionGroup(this);
    ActualSizeMenuItem =
        menuItem(m, QStringLiteral("ActualSizeMenuItem"), QStringLiteral("Actual Size"));
    ShrinkToFitMenuItem =
        menuItem(m, QStringLiteral("ShrinkToFitMenuItem"), QStringLiteral("Shrink To Fit"));
    for (QAction* mode : {ActualSizeMenuItem, ShrinkToFitMenuItem}) {
        mode->setCheckable(true);
        modes->addAction(mode);
    }
    ActualSizeMenuItem->setChecked(true);
    m->addSeparator();
    SlideShow1 = m->addMenu(QStringLiteral("Slide Show"));
    SlideShow1->setObjectName(QStringLiteral("SlideShow1"));
    Start1 = menuItem(SlideShow1, QStringLiteral("Start1"), QStringLiteral("Start"),
                      QKeySequence(Qt::Key_F4));
    Start1->setIcon(qb::lazyStandardIcon(style(), QStyle::SP_MediaPlay));
    Stop1 = menuItem(SlideShow1, QStringLiteral("Stop1"), QStringLiteral("Stop"),
                     QKeySequence(Qt::SHIFT | Qt::Key_F4));
    Stop1->setIcon(qb::lazyStandardIcon(style(), QStyle::SP_MediaStop));
    SlideShow1->addSeparator();
    SetIntervalMenuItem =
        menuItem(SlideShow1, QStringLiteral("SetIntervalMenuItem"), QStringLiteral("Set Interval"));
    m->addSeparator();
    RefreshList1 = menuItem(m, QStringLiteral("RefreshList1"), QStringLiteral("Refresh List"),
                            QKeySequence(Qt::Key_F5));
    m->addSeparator();
    RenameMenuItem = menuItem(m, QStringLiteral("RenameMenuItem"), QStringLiteral("Rename"),
                              QKeySequence(Qt::Key_F2));
    SaveAsMenuItem = menuItem(m, QStringLiteral("SaveAsMenuItem"), QStringLiteral("&Save As"));
    SaveAsMenuItem->setIcon(qb::lazyStandardIcon(style(), QStyle::SP_DialogSaveButton));
    m->addSeparator();
    DeleteMenuItem = menuItem(m, QStringLiteral("DeleteMenuItem"), QStringLiteral("&Delete"));
    DeleteMenuItem->setIcon(qb::lazyStandardIcon(style(), QStyle::SP_TrashIcon));
    m->addSeparator();

    // A pop-up menu's shortcuts work only while it is open unless the window has them too.
    addActions(
        {SelectNextMenuItem, SelectPreviousMenuItem, Start1, Stop1, RefreshList1, RenameMenuItem});

    const auto on = [this](QAction* action, std::function<void()> handler) {
        connect(action, &QAction::triggered, this, qb::guarded(std::move(handler)));
    };
    on(SideBarMenuItem, [this] { ToggleSideBar(); });
    on(SelectNextMenuItem, [this] { SelectNext(); });
    on(SelectPreviousMenuItem, [this] { SelectPrevious(); });
    on(ActualSizeMenuItem, [this] { SetActualSize(); });
    on(ShrinkToFitMenuItem, [this] { SetShrinkToFit(); });
    on(Start1, [this] { SlideShow(QStringLiteral("start")); });
    on(Stop1, [this] { SlideShow(QStringLiteral("stop")); });
    on(SetIntervalMenuItem, [this] { SetIntervalMenuItemClick(); });
    on(RefreshList1, [this] { RefreshPictureList(); });
    on(RenameMenuItem, [this] { RenamePictureFile(); });
    on(SaveAsMenuItem, [this] { SaveAsMenuItemClick(); });
    on(DeleteMenuItem, [this] { DeleteMenuItemClick(); });
    connect(ImagePopupMenu, &QMenu::aboutToShow, this,
            qb::guarded([this] { ImagePopupMenuPopup(); }));
    ImagePopupMenuPopup();
}

void TPictureForm::FormCreate() {
    RespondToSelect = true;
    SlideShowInterval = 4000;
    SlideShowTimer->setInterval(4000);
    StopImage->move(4, 2);
    StartImage->move(4, 2);
    StartImage->hide();
    StatusBar->setText(kStoppedText);
}

QString TPictureForm::picturesFolder() const {
    return AppFolder + QStringLiteral("Pictures/");
}

// --- Showing a picture ---

void TPictureForm::ShowPicture(const QString& path) {
    const QString name = fileNameOf(path);
    setWindowTitle(name);
    TitleLabel->setText(name);
    qb::PictureResult loaded = qb::loadPicture(path);
    if (loaded.ok()) {
        Image->setPicture(loaded.image);
    } else {
        Image->setPicture(placeholderPicture(name));
    }
    CenterImage();
    BringUp(false);
    // A picture that could not be read is still the one on screen: the file commands act on it,
    // never on the picture shown before it.
    PicturePath = path;
    const int row = PictureList->rowOfPath(path);
    if (row >= 0) {
        selectRowQuietly(row);
    }
    ImagePopupMenuPopup();
    if (slideShowPlaying()) {
        setPlayingText();
    } else {
        StatusBar->setText(kStoppedText);
    }
    if (!loaded.ok()) {
        const QString why = loaded.error.isEmpty() ? QStringLiteral("Unknown error") : loaded.error;
        // A slide show goes on at its next tick: a box at every broken picture would pile up
        // while the timer keeps firing.
        StatusBar->setText(StatusBar->text() + QStringLiteral("    ") + name +
                           QStringLiteral(": ") + why);
        if (!slideShowPlaying()) {
            qb::showException(why);
        }
    }
}

void TPictureForm::BringUp(bool activate) {
    const bool wasAway = isHidden() || (windowState() & Qt::WindowMinimized);
    if (isHidden()) {
        show();
    }
    if (windowState() & Qt::WindowMinimized) {
        setWindowState(windowState() & ~Qt::WindowMinimized);
    }
    raise();
    if (activate || wasAway) {
        activateWindow();
    }
}

void TPictureForm::CenterImage() {
    const QSize client = ScrollBox->viewport()->size();
    const int left = CenterOffset(client.width(), Image->width());
    const int top = CenterOffset(client.height(), Image->height());
    if (left < 1) {
        ScrollBox->horizontalScrollBar()->setValue(0);
    }
    if (top < 1) {
        ScrollBox->verticalScrollBar()->setValue(0);
    }
    Image->move(std::max(left, 0), std::max(top, 0));
}

void TPictureForm::SetActualSize() {
    ActualSizeMenuItem->setChecked(true);
    ScrollBox->setWidgetResizable(false);
    Image->setShrinkToFit(false);
    CenterImage();
}

void TPictureForm::SetShrinkToFit() {
    ShrinkToFitMenuItem->setChecked(true);
    Image->setShrinkToFit(true);
    ScrollBox->setWidgetResizable(true);
    Image->resize(ScrollBox->viewport()->size());
    CenterImage();
}

void TPictureForm::ImageMouseDown(QPoint globalPos) {
    Dragging = true;
    DragLastX = globalPos.x();
    DragLastY = globalPos.y();
}

void TPictureForm::ImageMouseMove(QPoint globalPos) {
    if (!Dragging) {
        return;
    }
    // The picture follows the mouse at twice its speed.
    QScrollBar* down = ScrollBox->verticalScrollBar();
    down->setValue(down->value() - 2 * (globalPos.y() - DragLastY));
    QScrollBar* across = ScrollBox->horizontalScrollBar();
    across->setValue(across->value() - 2 * (globalPos.x() - DragLastX));
    DragLastX = globalPos.x();
    DragLastY = globalPos.y();
}

void TPictureForm::ImageMouseUp() {
    Dragging = false;
}

void TPictureForm::ToggleSideBar() {
    ListPanel->setVisible(SideBarMenuItem->isChecked());
}

// --- The list ---

void TPictureForm::RefreshPictureList() {
    std::optional<qb::LongWork::Run> run = ListWork.start();
    if (!run) {
        // The walk that runs starts over at its next step and lists what is there now.
        refreshAgain_ = true;
        return;
    }
    bool complete = false;
    do {
        refreshAgain_ = false;
        complete = scanPictures(*run);
    } while (!complete && refreshAgain_ && !run->stopRequested());
    listIncomplete_ = !complete;
    ImagePopupMenuPopup();
}

bool TPictureForm::scanPictures(qb::LongWork::Run& run) {
    const QString root = picturesFolder();
    int count = 0;
    qb::setTag(PictureCountLabel, 0);
    PictureList->clear();
    PictureList->setRoot(root);
    std::vector<PictureRow> batch;
    QElapsedTimer sinceFlush;
    sinceFlush.start();
    const auto flush = [&] {
        PictureList->append(batch);
        sinceFlush.restart();
    };
    const auto goOn = [&] {
        if (sinceFlush.hasExpired(kFlushMs)) {
            flush();
        }
        return run.letMessagesThrough() && !refreshAgain_;
    };
    bool complete = true;
    // Files lying directly in Pictures belong to no page and are not listed.
    const auto list = [&](const QString& path) {
        batch.push_back(PictureRowOf(root, path));
        qb::setTag(PictureCountLabel, ++count);
    };
    for (const QString& folder : qb::listFolders(root.chopped(1))) {
        if (!goOn() || !ScanPictureFolder(folder, goOn, list)) {
            complete = false;
            break;
        }
    }
    flush();
    PictureCountLabel->setText(QStringLiteral("(%1)").arg(PictureList->rowCount()));
    return complete;
}

bool TPictureForm::ScanPictureFolder(const QString& folder, const std::function<bool()>& goOn,
                                     const std::function<void(const QString& path)>& list) {
    bool complete = true;
    qb::walkFiles(folder, [&](const qb::FileEntry& file) {
        if (!goOn()) {
            complete = false;
            return false;
        }
        if (IsListedPictureName(file.name)) {
            list(file.path);
        }
        return true;
    });
    return complete;
}

int TPictureForm::selectedRow() const {
    const QModelIndexList rows = PictureListView->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void TPictureForm::selectRow(int row) {
    const QModelIndex index = PictureList->index(row, 0);
    PictureListView->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    PictureListView->scrollTo(index);
}

void TPictureForm::selectRowQuietly(int row) {
    RespondToSelect = false;
    selectRow(row);
    RespondToSelect = true;
}

void TPictureForm::PictureListViewSelectItem() {
    const int row = selectedRow();
    if (row >= 0 && RespondToSelect) {
        ShowPicture(PictureList->fullPath(row));
    }
    ImagePopupMenuPopup();
}

void TPictureForm::SelectNext() {
    const int count = PictureList->rowCount();
    if (count == 0) {
        return;
    }
    const int row = selectedRow();
    selectRow(row < 0 ? 0 : (row + 1) % count);
}

void TPictureForm::SelectPrevious() {
    const int count = PictureList->rowCount();
    if (count == 0) {
        return;
    }
    const int row = selectedRow();
    selectRow(row <= 0 ? count - 1 : row - 1);
}

// --- The slide show ---

bool TPictureForm::slideShowPlaying() const {
    return SlideShowTimer->isEnabled();
}

void TPictureForm::setPlayingText() {
    StatusBar->setText(QStringLiteral("        Slide Show: Playing (%1 second interval)")
                           .arg(SlideShowInterval / 1000));
}

void TPictureForm::SlideShow(const QString& command) {
    if (command == QLatin1String("start")) {
        if (selectedRow() < 0) {
            SelectNext();
        }
        SlideShowTimer->setEnabled(true);
        StartImage->show();
        StopImage->hide();
        setPlayingText();
    } else {
        SlideShowTimer->setEnabled(false);
        StartImage->hide();
        StopImage->show();
        StatusBar->setText(kStoppedText);
    }
}

void TPictureForm::ApplySlideShowInterval(const QString& text) {
    const std::optional<int> interval = SlideShowIntervalOf(text);
    if (!interval) {
        SlideShow(QStringLiteral("stop"));
        qb::dialogs().messageBox(QStringLiteral("Not a valid number."),
                                 QStringLiteral("Set Slide Show Interval"), qb::MessageButtons::Ok,
                                 qb::MessageIcon::Error);
        return;
    }
    SlideShowInterval = *interval;
    SlideShowTimer->setInterval(SlideShowInterval);
    if (slideShowPlaying()) {
        // The next picture comes one full new interval from now.
        SlideShowTimer->setEnabled(false);
        SlideShowTimer->setEnabled(true);
        setPlayingText();
    }
}

void TPictureForm::SetIntervalMenuItemClick() {
    const std::optional<QString> text = qb::dialogs().inputBox(
        QStringLiteral("Set Slide Show Interval"),
        QStringLiteral("Enter the number of seconds for the time period between each picture."),
        QString::number(SlideShowInterval / 1000));
    if (text) {
        ApplySlideShowInterval(*text);
    }
}

void TPictureForm::StatusBarMouseDown(QPoint pos) {
    if (pos.x() >= 140) {
        return;
    }
    SlideShow(slideShowPlaying() ? QStringLiteral("stop") : QStringLiteral("start"));
}

// --- Rename, delete, save as ---

bool TPictureForm::CanActOnPicture() const {
    const int row = selectedRow();
    return row >= 0 && !PicturePath.isEmpty() &&
           QDir::cleanPath(PictureList->fullPath(row)) == QDir::cleanPath(PicturePath);
}

void TPictureForm::ImagePopupMenuPopup() {
    const bool enabled = CanActOnPicture();
    for (QAction* item : {SaveAsMenuItem, RenameMenuItem, DeleteMenuItem}) {
        item->setEnabled(enabled);
    }
}

void TPictureForm::RenamePictureFile() {
    if (!CanActOnPicture()) {
        return;
    }
    // The box lets messages through (a slide show may move on): act on the file asked about.
    const QString path = PicturePath;
    const QString base = StripExtension(fileNameOf(path));
    const std::optional<QString> typed = qb::dialogs().inputBox(
        QStringLiteral("Rename Picture File"),
        QStringLiteral("Enter the new name for ") + base + QLatin1Char('.'), base);
    if (!typed) {
        return;
    }
    const std::optional<QString> target = RenameTarget(path, *typed);
    if (!target) {
        qb::dialogs().messageBox(QStringLiteral("Not a valid file name."),
                                 QStringLiteral("Rename Error"), qb::MessageButtons::Ok,
                                 qb::MessageIcon::Warning);
        return;
    }
    if (QFileInfo::exists(*target)) {
        qb::dialogs().messageBox(
            QStringLiteral("A file already exists in this location with this name."),
            QStringLiteral("File Already Exists"), qb::MessageButtons::Ok,
            qb::MessageIcon::Warning);
        return;
    }
    try {
        qb::renameFile(path, *target);
    } catch (const qb::FileError&) {
        qb::dialogs().messageBox(QStringLiteral("Unable to rename file."),
                                 QStringLiteral("Rename Error"), qb::MessageButtons::Ok,
                                 qb::MessageIcon::Warning);
        return;
    }
    const QString name = fileNameOf(*target);
    // Only the renamed file's row changes: a rescan of a large tree would follow every rename.
    if (const int row = PictureList->rowOfPath(path); row >= 0) {
        PictureList->setName(row, name);
    }
    if (PicturePath == path) {
        setWindowTitle(name);
        TitleLabel->setText(name);
        PicturePath = *target;
    }
    ImagePopupMenuPopup();
}

void TPictureForm::DeleteMenuItemClick() {
    if (PictureList->rowCount() == 0 || !CanActOnPicture() || !QFileInfo(PicturePath).isFile()) {
        return;
    }
    const QString path = PicturePath;
    if (qb::dialogs().messageBox(QStringLiteral("Are you sure you want to delete this file?    "
                                                "\r\n(") +
                                     path + QStringLiteral(")    "),
                                 QStringLiteral("Delete File"), qb::MessageButtons::YesNo,
                                 qb::MessageIcon::Warning) != qb::MessageResult::Yes) {
        return;
    }
    try {
        qb::removeFile(path);
    } catch (const qb::FileError& error) {
        qb::dialogs().messageBox(
            QStringLiteral("Unable to delete file.\r\n") + QString::fromUtf8(error.what()),
            QStringLiteral("Delete Error"), qb::MessageButtons::Ok, qb::MessageIcon::Warning);
        return;
    }
    // Only a page's own folder may go, never Pictures itself or anything outside it.
    const QString folder = QDir::cleanPath(folderOf(path));
    if (folder.startsWith(QDir::cleanPath(picturesFolder()) + QLatin1Char('/'))) {
        RemoveFolderIfEmpty(folder);
    }
    // Only the deleted file's row goes, and the count keeps what the last refresh found.
    const int row = PictureList->rowOfPath(path);
    if (row >= 0) {
        PictureList->removeRow(row);
        if (const int count = PictureList->rowCount(); count > 0) {
            selectRow(std::min(row, count - 1));
        }
    }
    ImagePopupMenuPopup();
}

void TPictureForm::SaveAsMenuItemClick() {
    if (!CanActOnPicture()) {
        return;
    }
    const QString source = PicturePath;
    const QString start = picturesFolder() + PictureList->row(selectedRow()).location;
    const std::optional<QString> chosen = qb::dialogs().saveFileName(
        QStringLiteral("Save As"), start,
        QStringLiteral("All (*.jpg *.jpeg *.bmp);;JPEG Image File (*.jpg);;JPEG Image File "
                       "(*.jpeg);;Bitmaps (*.bmp)"));
    if (!chosen) {
        return;
    }
    const auto refuse = [](const QString& text) {
        qb::dialogs().messageBox(text, QStringLiteral("Save Error"), qb::MessageButtons::Ok,
                                 qb::MessageIcon::Warning);
    };
    if (!IsAcceptableFileName(fileNameOf(*chosen))) {
        refuse(QStringLiteral("Not a valid file name."));
        return;
    }
    if (qb::sameFile(source, *chosen)) {
        refuse(QStringLiteral("A picture cannot be saved over itself."));
        return;
    }
    if (QFileInfo::exists(*chosen) &&
        qb::dialogs().messageBox(
            QStringLiteral("This file already exists.\r\nDo you want to overwrite this file?    "
                           "      "),
            QStringLiteral("File Already Exists"), qb::MessageButtons::YesNo,
            qb::MessageIcon::Warning) != qb::MessageResult::Yes) {
        return;
    }
    try {
        qb::copyFileSafely(source, *chosen);
    } catch (const qb::FileError& error) {
        refuse(QStringLiteral("Unable to save file.\r\n") + QString::fromUtf8(error.what()));
    }
}

// --- Window events ---

void TPictureForm::closeEvent(QCloseEvent* event) {
    SlideShow(QStringLiteral("stop"));
    Dragging = false;
    ListWork.requestStop();
    QWidget::closeEvent(event);
}

void TPictureForm::setVisible(bool visible) {
    if (visible) {
        qb::applyFontsWhenShown(this);
    }
    QWidget::setVisible(visible);
}

void TPictureForm::showEvent(QShowEvent* event) {
    if (StopImage->picture().isNull()) {
        StopImage->setPicture(iconPixmap(QStyle::SP_MediaStop, this));
        StartImage->setPicture(iconPixmap(QStyle::SP_MediaPlay, this));
    }
    QWidget::showEvent(event);
    if (listIncomplete_ && !ListWork.running()) {
        // The last walk was stopped by a close: the list is read again in full.
        QTimer::singleShot(0, this, qb::guarded([this] { RefreshPictureList(); }));
    }
}

void TPictureForm::mouseMoveEvent(QMouseEvent* event) {
    Dragging = false;
    QWidget::mouseMoveEvent(event);
}

void TPictureForm::contextMenuEvent(QContextMenuEvent* event) {
    ImagePopupMenu->popup(event->globalPos());
}

bool TPictureForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ScrollBox->viewport() && event->type() == QEvent::Resize) {
        qb::runGuarded([this] { CenterImage(); });
    }
    return QWidget::eventFilter(watched, event);
}
