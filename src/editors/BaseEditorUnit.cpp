#include "editors/BaseEditorUnit.h"

#include "editors/EditorImage.h"
#include "pages/ShadeUnit.h"
#include "platform/core/Color.h"
#include "platform/core/Dialogs.h"
#include "platform/db/Table.h"
#include "platform/richedit/RichEdit.h"
#include "platform/ui/Components.h"
#include "platform/ui/Fonts.h"
#include "platform/ui/ImageControl.h"
#include "platform/ui/PaintBox.h"
#include "platform/ui/Timer.h"
#include "program/ProgramState.h"
#include "program/StaticUnit.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLocale>
#include <QScrollArea>
#include <QVBoxLayout>

#include <limits>
#include <stdexcept>

namespace {

const QString SaveErrorTitle = QStringLiteral("Save Error");
const QString SaveErrorText = QStringLiteral(
    "Possible error when saving data.   \r\nCheck that the database has not been moved and that "
    "it is not set to read-only access.   ");

const QString OpenErrorTitle = QStringLiteral("Open Error");

// "64 MB", or the bytes of a limit below a megabyte.
QString sizeText(qsizetype bytes) {
    constexpr qsizetype mega = qsizetype(1) << 20;
    return bytes >= mega ? QStringLiteral("%1 MB").arg(bytes / mega)
                         : QStringLiteral("%1 bytes").arg(bytes);
}

constexpr int kTitleHeight = 45;
constexpr int kUndoPanelHeight = 53;
constexpr int kToolbarHeight = 28;
constexpr int kNextPrevWidth = 102;
constexpr int kBevelHeight = 2;

QFont tahomaFont(int pixels) {
    return qb::layoutFontPixels(pixels);
}

// Verdana's metrics are those of the DejaVu Sans design.
QFont verdanaFont(int pixels) {
    QFont font;
    font.setFamilies({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(pixels);
    return font;
}

void setTextColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    widget->setPalette(palette);
}

void setBackground(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    palette.setColor(QPalette::Base, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QString fileNameOf(QString name) {
    for (const QChar c : QStringLiteral("\\/:*?\"<>|")) {
        name.replace(c, u'_');
    }
    name = name.trimmed();
    if (name.isEmpty() || name == QStringLiteral(".") || name == QStringLiteral("..")) {
        name = QStringLiteral("Page");
    }
    return name;
}

}  // namespace

TBaseEditorFrame::TextLimits TBaseEditorFrame::Limits = TBaseEditorFrame::DefaultTextLimits;

TBaseEditorFrame::TBaseEditorFrame(QWidget* parent, qb::EditorServices services)
    : QWidget(parent), services_(std::move(services)) {
    qb::CompleteEditorServices(services_);
    buildLayout();

    RichEditStateTimer = new qb::Timer(this, 200);
    RichEditStateTimer->setOnTimer([this] { RichEditStateTimerTimer(); });
    RichEditStateTimer->setEnabled(true);
    ThumbnailTimer = new qb::Timer(this, 300);
    ThumbnailTimer->setOnTimer([this] { ThumbnailTimerTimer(); });
    LoadThumbnailTimer = new qb::Timer(this, 500);
    LoadThumbnailTimer->setOnTimer([this] { LoadThumbnailTimerTimer(); });
}

TBaseEditorFrame::~TBaseEditorFrame() {
    for (QWidget* panel : ThumbnailPanels()) {
        detachThumbnail(panel);
    }
}

// --- Layout ---

void TBaseEditorFrame::buildLayout() {
    buildTitlePanel();
    buildEditor();
    buildThumbnailPanel();
    buildUndoPanel();
    buildToolbar();

    // Top to bottom: title, text, thumbnails, undo counters, tool bar.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(TitlePanel);
    layout->addWidget(RichEditBorder, 1);
    layout->addWidget(ThumbnailPanel);
    layout->addWidget(UndoPanel);
    layout->addWidget(ModifyToolbarPanel);
}

void TBaseEditorFrame::buildTitlePanel() {
    TitlePanel = new QWidget(this);
    TitlePanel->setObjectName(QStringLiteral("TitlePanel"));
    TitlePanel->setFixedHeight(kTitleHeight);
    TitlePanel->installEventFilter(this);

    DocPanelPaintBox = new qb::PaintBox(TitlePanel);
    DocPanelPaintBox->setObjectName(QStringLiteral("DocPanelPaintBox"));
    DocPanelPaintBox->setOnPaint(
        [this](qb::PaintBox& sender, QPainter& canvas) { DocPanelPaintBoxPaint(sender, canvas); });

    TitleLabel = new QLabel(TitlePanel);
    TitleLabel->setObjectName(QStringLiteral("TitleLabel"));
    TitleLabel->setAlignment(Qt::AlignCenter);
    TitleLabel->setFont(verdanaFont(19));
    setTextColor(TitleLabel, Qt::white);
}

void TBaseEditorFrame::buildEditor() {
    // The white border of 6 pixels lies around the text and its scroll bar.
    RichEditBorder = new QWidget(this);
    RichEditBorder->setObjectName(QStringLiteral("RichEditBorder"));
    setBackground(RichEditBorder, Qt::white);
    auto* border = new QVBoxLayout(RichEditBorder);
    border->setContentsMargins(6, 6, 6, 6);
    RichEdit = new qb::TRichEdit(RichEditBorder);
    border->addWidget(RichEdit);
    RichEdit->setObjectName(QStringLiteral("RichEdit"));
    RichEdit->setFrameShape(QFrame::NoFrame);
    setBackground(RichEdit, Qt::white);
    RichEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    RichEdit->setHideSelection(false);
    RichEdit->setWantTabs(true);
    RichEdit->setMaxLength(Limits.characters);
    RichEdit->setMaxRtfSize(Limits.bytes);
    RichEdit->setPopupMenu(services_.documentPopup());
    connect(RichEdit, &qb::TRichEdit::OnChange, this, [this] { RichEditChange(); });
    connect(RichEdit, &qb::TRichEdit::OnKeyDown, this,
            [this](int& key, Qt::KeyboardModifiers shift) { RichEditKeyDown(key, shift); });
    connect(RichEdit, &qb::TRichEdit::OnSelectionChange, this,
            [this] { RichEditSelectionChange(); });
}

void TBaseEditorFrame::buildThumbnailPanel() {
    ThumbnailPanel = new QWidget(this);
    ThumbnailPanel->setObjectName(QStringLiteral("ThumbnailPanel"));
    ThumbnailPanel->setFixedHeight(0);
    auto* layout = new QVBoxLayout(ThumbnailPanel);
    layout->setContentsMargins(0, 0, 0, 0);
    ThumbnailScrollBox = new QScrollArea(ThumbnailPanel);
    ThumbnailScrollBox->setObjectName(QStringLiteral("ThumbnailScrollBox"));
    ThumbnailScrollBox->setFrameShape(QFrame::NoFrame);
    ThumbnailScrollBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ThumbnailScrollBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Clicking the strip gives no focus of its own: only a thumbnail panel takes it, so that
    // its enter event opens the viewer.
    ThumbnailScrollBox->setFocusPolicy(Qt::NoFocus);
    auto* strip = new QWidget;
    strip->setObjectName(QStringLiteral("ThumbnailStrip"));
    ThumbnailScrollBox->setWidget(strip);
    ThumbnailScrollBox->setWidgetResizable(true);
    strip->installEventFilter(this);
    layout->addWidget(ThumbnailScrollBox);
}

void TBaseEditorFrame::buildUndoPanel() {
    UndoPanel = new QWidget(this);
    UndoPanel->setObjectName(QStringLiteral("UndoPanel"));
    UndoPanel->setFixedHeight(kUndoPanelHeight);
    UndoPanel->setFont(tahomaFont(11));
    setTextColor(UndoPanel, Qt::white);
    UndoPanel->installEventFilter(this);
    UndoPanel->hide();

    PaintBox1 = new qb::PaintBox(UndoPanel);
    PaintBox1->setObjectName(QStringLiteral("PaintBox1"));
    PaintBox1->setOnPaint(
        [this](qb::PaintBox& sender, QPainter& canvas) { TabSelectPaintBoxPaint(sender, canvas); });

    struct Pair {
        const char* caption;
        QLabel** value;
        const char* name;
        int captionLeft;
        int valueLeft;
        int top;
    };
    const Pair pairs[] = {
        {"CanTrackUndo:", &CanTrackUndoLabel, "CanTrackUndoLabel", 12, 92, 12},
        {"iIdxUndo:", &IdxUndoLabel, "IdxUndoLabel", 136, 200, 12},
        {"iMaxUndo:", &MaxUndoLabel, "MaxUndoLabel", 236, 316, 12},
        {"iMinUndo:", &MinUndoLabel, "MinUndoLabel", 12, 92, 28},
        {"Length:", &LengthLabel, "LengthLabel", 136, 200, 28},
        {"Tick Count:", &TickCountLabel, "TickCountLabel", 236, 316, 28},
    };
    for (const Pair& pair : pairs) {
        auto* caption = new QLabel(QString::fromLatin1(pair.caption), UndoPanel);
        caption->move(pair.captionLeft, pair.top);
        caption->adjustSize();
        auto* value = new QLabel(QStringLiteral("1"), UndoPanel);
        value->setObjectName(QString::fromLatin1(pair.name));
        value->move(pair.valueLeft, pair.top);
        value->resize(80, caption->height());
        *pair.value = value;
    }
}

qb::ImageControl* TBaseEditorFrame::makeImage(const char* name, int left, int top,
                                              const QString& hint) {
    auto* image = new qb::ImageControl(NextPrevPanel);
    image->setObjectName(QString::fromLatin1(name));
    image->setGeometry(left, top, 16, 16);
    qb::setHint(image, hint);
    image->setToolTip(hint);
    image->onMouseDown = [this, image] { ImageMouseDown(image); };
    return image;
}

void TBaseEditorFrame::buildToolbar() {
    ModifyToolbarPanel = new QWidget(this);
    ModifyToolbarPanel->setObjectName(QStringLiteral("ModifyToolbarPanel"));
    ModifyToolbarPanel->setFixedHeight(kToolbarHeight);
    ModifyToolbarPanel->installEventFilter(this);

    ModifyBevel = new QFrame(ModifyToolbarPanel);
    ModifyBevel->setFrameShape(QFrame::HLine);
    ModifyBevel->setFrameShadow(QFrame::Sunken);

    ModifiedLabel = new QLabel(ModifyToolbarPanel);
    ModifiedLabel->setObjectName(QStringLiteral("ModifiedLabel"));
    ModifiedLabel->setFont(tahomaFont(11));
    setTextColor(ModifiedLabel, qb::toQColor(qb::clBackground));
    ModifiedLabel->move(12, 6);

    NextPrevPanel = new QWidget(ModifyToolbarPanel);
    NextPrevPanel->setObjectName(QStringLiteral("NextPrevPanel"));

    PreviousImage = makeImage("PreviousImage", 55, 5, QStringLiteral("Previous Document"));
    PreviousImage->setPicture(qb::previousPicture());
    PreviousImage->onMouseUp = [this] { PreviousImageMouseUp(); };
    NextImage = makeImage("NextImage", 80, 5, QStringLiteral("Next Document"));
    NextImage->setPicture(qb::nextPicture());
    NextImage->onMouseUp = [this] { NextImageMouseUp(); };
    ExploreImage = makeImage("ExploreImage", 30, 3, QStringLiteral("Explore Pictures Folder"));
    ExploreImage->setPicture(qb::explorePicture());
    ExploreImage->onMouseUp = [this] { ImageMouseUp(ExploreImage); };
    ExploreImage->onClick = [this] { ExploreImageClick(); };
    ExploreImage->hide();
    RefreshImage = makeImage("RefreshImage", 7, 5, QStringLiteral("Refresh Thumnails"));
    RefreshImage->setPicture(qb::refreshPicture());
    RefreshImage->onMouseUp = [this] { ImageMouseUp(RefreshImage); };
    RefreshImage->onClick = [this] { RefreshImageClick(); };
    RefreshImage->hide();
}

void TBaseEditorFrame::layoutTitlePanel() {
    const QSize size = TitlePanel->size();
    DocPanelPaintBox->setGeometry(0, 0, size.width(), size.height());
    // Anchored on all four sides: the margins of the window layout stay.
    TitleLabel->setGeometry(4, 11, qMax(0, size.width() - 8), qMax(0, size.height() - 22));
}

void TBaseEditorFrame::layoutUndoPanel() {
    PaintBox1->setGeometry(0, 0, UndoPanel->width(), UndoPanel->height());
    PaintBox1->lower();
}

void TBaseEditorFrame::layoutToolbar() {
    const int width = ModifyToolbarPanel->width();
    ModifyBevel->setGeometry(0, 0, width, kBevelHeight);
    NextPrevPanel->setGeometry(width - kNextPrevWidth, kBevelHeight, kNextPrevWidth,
                               kToolbarHeight - kBevelHeight);
}

bool TBaseEditorFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) {
        if (watched == TitlePanel) {
            layoutTitlePanel();
        } else if (watched == UndoPanel) {
            layoutUndoPanel();
        } else if (watched == ModifyToolbarPanel) {
            layoutToolbar();
        } else if (watched == ThumbnailScrollBox->widget()) {
            layoutThumbnails();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TBaseEditorFrame::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FrameResize();
}

bool TBaseEditorFrame::VisibleFlag() const {
    return !(testAttribute(Qt::WA_WState_ExplicitShowHide) && testAttribute(Qt::WA_WState_Hidden));
}

// --- The page ---

void TBaseEditorFrame::InitializeEditor() {
    if (!services_.showModifyToolbar()) {
        ModifyToolbarPanel->hide();
    }
    ResetUndo();
    UndoPanel->setVisible(services_.undoPanelSwitch());
    RichEdit->setReadOnly(DatabaseReadOnly);
    ThumbnailStream = std::make_unique<QBuffer>();
    setBackground(ThumbnailScrollBox,
                  qb::toQColor(ShadeTint::ThumbnailBox(qb::colorToRGB(BackgroundColor))));
    SetIsModified(false);
}

void TBaseEditorFrame::SetIsModified(bool modified) {
    fbIsModified = modified;
    QFont font = ModifiedLabel->font();
    font.setBold(modified);
    ModifiedLabel->setFont(font);
    ModifiedLabel->setText(modified ? QStringLiteral("modified") : QStringLiteral("unmodified"));
    ModifiedLabel->adjustSize();
}

int TBaseEditorFrame::PageId() const {
    return parentWidget() ? qb::tag(parentWidget()) : 0;
}

void TBaseEditorFrame::AfterSave() {
    services_.showStatus(QStringLiteral("Entry was Saved."));
    FreeUndoSnapshots();
    ResetUndo();
}

void TBaseEditorFrame::AfterDelete() {
    services_.showStatus(QStringLiteral("Entry was Deleted."));
}

bool TBaseEditorFrame::LoadText(const std::string& text) {
    // Beyond the limits a text would take the editor minutes to show, or more memory than it
    // has: the page is not opened, so that nothing of the text can be lost by a save.
    const qsizetype bytes = RichEdit->MaxRtfSize();
    const int length = RichEdit->MaxLength();
    QByteArray rtf = QByteArray::fromStdString(text);
    if ((bytes == 0 || rtf.size() <= bytes) &&
        RichEdit->LoadRtf(rtf,
                          length == qb::kNoMaxLength ? std::numeric_limits<int>::max() : length)) {
        shownText_ = std::move(rtf);
        shownTextKnown_ = true;
        return true;
    }
    qb::dialogs().messageBox(
        QStringLiteral("This page is too large to be opened.   \r\nIts text holds more than %1 "
                       "characters or %2; it is left in the database as it is.   ")
            .arg(QLocale(QLocale::English).toString(length), sizeText(bytes)),
        OpenErrorTitle, qb::MessageButtons::Ok, qb::MessageIcon::Error);
    return false;
}

void TBaseEditorFrame::StartThumbnails(const QString& folder) {
    SetPictureFolder(folder);
    if (QFileInfo(folder).isDir()) {
        ThumbnailTimer->setEnabled(true);
    } else {
        ClearThumbnails();
        FrameResize();
    }
}

TBaseEditorFrame::SaveResult TBaseEditorFrame::SaveText(qb::db::Table* table, const char* keyField,
                                                        const QString& key) {
    if (!fbIsModified || key.isEmpty() || RichEdit->GetTextLen() == 0) {
        return SaveResult::NotWritten;
    }
    try {
        if (table == nullptr) {
            throw std::runtime_error("The database is not open");
        }
        if (!table->Locate(keyField, key.toStdString())) {
            return SaveResult::NotWritten;
        }
        QBuffer stream;
        stream.open(QIODevice::WriteOnly);
        RichEdit->SaveToStream(stream);
        table->Edit();
        table->FieldByName("Entry").SetAsString(EncodeEntryText(stream.data().toStdString()));
        table->Post();
        SetIsModified(false);
        shownText_ = stream.data();
        shownTextKnown_ = true;
        return SaveResult::Written;
    } catch (...) {
        if (table != nullptr) {
            try {
                table->Cancel();
            } catch (...) {
                // The table is closed: there is no edit to cancel.
            }
        }
        qb::dialogs().messageBox(SaveErrorText, SaveErrorTitle, qb::MessageButtons::Ok,
                                 qb::MessageIcon::Error);
        return SaveResult::Failed;
    }
}

bool TBaseEditorFrame::SaveOnClose() {
    return SavePage() != SaveResult::Failed;
}

QString TBaseEditorFrame::RescueFilePath() const {
    return RescueFilePath(AppFolder);
}

QString TBaseEditorFrame::RescueFilePath(const QString& folder) const {
    const QString base = folder + fileNameOf(PageFileName());
    QString path = base + QStringLiteral(".rtf");
    // An earlier rescue of the same page is never overwritten.
    for (int n = 2; QFileInfo::exists(path); ++n) {
        path = base + QStringLiteral(" (%1).rtf").arg(n);
    }
    return path;
}

namespace {

// Where a text that the database could not take is written at exit, in this order: beside the
// database, then where space is more likely when the program folder's disk is full.
QStringList rescueFolders() {
    QStringList folders{AppFolder};
    for (const QString& other : {QDir::homePath(), qEnvironmentVariable("XDG_RUNTIME_DIR")}) {
        const QString folder = other.endsWith(u'/') ? other : other + u'/';
        if (!other.isEmpty() && !folders.contains(folder)) {
            folders << folder;
        }
    }
    return folders;
}

}  // namespace

bool TBaseEditorFrame::SaveOnExit() {
    if (SavePage() != SaveResult::Failed) {
        return true;
    }
    QString failure;
    for (const QString& folder : rescueFolders()) {
        const QString path = RescueFilePath(folder);
        try {
            RichEdit->SaveToFile(path);
        } catch (const std::exception& error) {
            if (failure.isEmpty()) {
                failure = QString::fromLocal8Bit(error.what());
            }
            continue;
        }
        qb::dialogs().messageBox(
            QStringLiteral("The text of the page \"%1\" could not be saved in the database.   \r\n"
                           "It has been saved in the file %2   ")
                .arg(TitleLabel->text(), QDir::toNativeSeparators(path)),
            SaveErrorTitle, qb::MessageButtons::Ok, qb::MessageIcon::Warning);
        return true;
    }
    qb::dialogs().messageBox(
        QStringLiteral("The text of the page \"%1\" could not be saved.   \r\n%2   \r\n"
                       "The page stays open and the program does not end: free some space on "
                       "the disk and save the page, or copy its text elsewhere.   ")
            .arg(TitleLabel->text(), failure),
        SaveErrorTitle, qb::MessageButtons::Ok, qb::MessageIcon::Error);
    return false;
}

// --- Handlers ---

void TBaseEditorFrame::RichEditChange() {
    shownTextKnown_ = false;
    shownText_ = QByteArray();
    SetIsModified(true);
}

void TBaseEditorFrame::RichEditKeyDown(int& key, Qt::KeyboardModifiers shift) {
    if (!(shift & Qt::ControlModifier) || (shift & Qt::KeypadModifier)) {
        return;
    }
    int step = 0;
    if (key == Qt::Key_Equal || key == Qt::Key_Plus) {
        step = 1;
    } else if (key == Qt::Key_Minus || key == Qt::Key_Underscore) {
        step = -1;
    } else {
        return;
    }
    // A read-only page keeps its text as it is, formatting included.
    if (!RichEdit->ReadOnly()) {
        qb::TTextAttributes& attributes = RichEdit->SelAttributes();
        attributes.setSize(attributes.Size() + step);
    }
    key = 0;
}

void TBaseEditorFrame::DocPanelPaintBoxPaint(qb::PaintBox& sender, QPainter& canvas) {
    services_.titlePaint(sender, canvas);
}

void TBaseEditorFrame::TabSelectPaintBoxPaint(qb::PaintBox& sender, QPainter& canvas) {
    services_.titlePaint(sender, canvas);
}

void TBaseEditorFrame::ImageMouseDown(qb::ImageControl* sender) {
    sender->move(sender->pos() + QPoint(1, 1));
}

void TBaseEditorFrame::ImageMouseUp(qb::ImageControl* sender) {
    sender->move(sender->pos() - QPoint(1, 1));
}

void TBaseEditorFrame::PreviousImageMouseUp() {
    ImageMouseUp(PreviousImage);
}

void TBaseEditorFrame::NextImageMouseUp() {
    ImageMouseUp(NextImage);
}

void TBaseEditorFrame::RefreshImageClick() {
    BuildThumbnails();
}

void TBaseEditorFrame::ExploreImageClick() {
    services_.openFolder(fsPictureFolder);
}
