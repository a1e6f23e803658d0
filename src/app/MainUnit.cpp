#include "app/MainUnit.h"

#include "app/EditActionsUnit.h"
#include "app/FrameWidgets.h"
#include "app/MainExtensionUnit.h"
#include "app/MainMenuPainter.h"
#include "cipher/QbClass.h"
#include "dialogs/AboutUnit.h"
#include "dialogs/OptionsUnit.h"
#include "dialogs/PasswordUnit.h"
#include "pages/CustomPageControl.h"
#include "pages/ShadeUnit.h"
#include "platform/core/Color.h"
#include "platform/core/Rounding.h"
#include "platform/ini/IniFile.h"
#include "platform/ui/Application.h"
#include "platform/ui/Components.h"
#include "platform/ui/Fonts.h"
#include "platform/ui/Guard.h"
#include "platform/ui/HotKeys.h"
#include "platform/ui/ImageControl.h"
#include "platform/ui/PaintBox.h"
#include "platform/ui/Sound.h"
#include "platform/ui/Timer.h"
#include "platform/ui/UrlOpener.h"
#include "platform/ui/WindowPlace.h"
#include "program/ProgramImages.h"
#include "store/DatabaseUnit.h"
#include "tools/DesktopCalendarUnit.h"
#include "tools/ExportUnit.h"
#include "tools/ImportPicturesUnit.h"
#include "tools/PictureUnit.h"
#include "tools/SearchUnit.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCursor>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <cmath>
#include <utility>

TMainForm* MainForm = nullptr;

namespace {

// The short part of a hint "short|long", shown as the tool tip.
QString shortHint(const QString& hint) {
    return hint.section(QLatin1Char('|'), 0, 0);
}

using ProgramImages::Drawn;
using ProgramImages::drawnIcon;
using ProgramImages::glyphIcon;

QWidget* newPanel(QWidget* parent, const char* name) {
    auto* panel = new QWidget(parent);
    panel->setObjectName(QString::fromLatin1(name));
    return panel;
}

void fillWith(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

qb::PaintBox* newPaintBox(QWidget* parent, const char* name, const QString& hint, int tag) {
    auto* box = new qb::PaintBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    qb::setHint(box, hint);
    qb::setTag(box, tag);
    return box;
}

// Keeps a child covering its parent (a paint box or an overlay that fills its panel).
class FillParent : public QObject {
  public:
    FillParent(QWidget* child, QWidget* parent, int top = 0)
        : QObject(child), child_(child), top_(top) {
        parent->installEventFilter(this);
        child->setGeometry(0, top_, parent->width(), std::max(0, parent->height() - top_));
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize) {
            auto* parent = static_cast<QWidget*>(watched);
            child_->setGeometry(0, top_, parent->width(), std::max(0, parent->height() - top_));
        }
        return false;
    }

  private:
    QWidget* child_;
    int top_;
};

// Keeps a child at a fixed distance from its parent's right edge.
class AnchorRight : public QObject {
  public:
    AnchorRight(QWidget* child, QWidget* parent, int designLeft, int designWidth)
        : QObject(child), child_(child), gap_(designWidth - designLeft) {
        parent->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize) {
            auto* parent = static_cast<QWidget*>(watched);
            child_->move(parent->width() - gap_, child_->y());
        }
        return false;
    }

  private:
    QWidget* child_;
    int gap_;
};

}  // namespace

HotKeyStep DecideHotKey(int id, bool desktopVisible, Qt::WindowStates desktopState,
                        Qt::WindowStates mainState) {
    const auto isNormal = [](Qt::WindowStates state) {
        return !(state & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
    };
    switch (id) {
        case HotKeyToday:
            return HotKeyStep::TodayToFront;
        case HotKeyHideShow:
            if (desktopVisible) {
                return isNormal(desktopState) ? HotKeyStep::MinimizeDesktop
                                              : HotKeyStep::RestoreDesktop;
            }
            return isNormal(mainState) ? HotKeyStep::MinimizeApplication : HotKeyStep::RestoreMain;
        default:
            return HotKeyStep::None;
    }
}

QPoint CentredWindowPos(int screenWidth, int screenHeight, int windowWidth, int windowHeight) {
    return {qb::roundHalfEven((screenWidth - windowWidth) / 2.0),
            qb::roundHalfEven((screenHeight - windowHeight) / 2.0) - 20};
}

bool IsProgramSoundName(const QString& name) {
    return name == QLatin1String("BALLOON") || name == QLatin1String("START") ||
           name == QLatin1String("MINIMIZE");
}

// --- Construction ---

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
    // The program-wide reference exists before the window's own creation handler runs, as the
    // first stage of start-up reaches the window through it.
    MainForm = this;
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(FullTitle);
    setFont(LayoutFont());
    resize(876, 659);

    StartupTimer = new qb::Timer(this, 1);
    StartupTimer->setObjectName(QStringLiteral("StartupTimer"));
    StartupTimer->setOnTimer([this] { StartupTimerTimer(); });
    StatusBarTimer = new qb::Timer(this, 5000);
    StatusBarTimer->setObjectName(QStringLiteral("StatusBarTimer"));
    StatusBarTimer->setOnTimer([this] { StatusBarTimerTimer(); });
    CloseCalendarTimer = new qb::Timer(this, 4000);
    CloseCalendarTimer->setObjectName(QStringLiteral("CloseCalendarTimer"));
    CloseCalendarTimer->setOnTimer([this] { CloseCalendarTimerTimer(); });
    CloseDocTimer = new qb::Timer(this, 4000);
    CloseDocTimer->setObjectName(QStringLiteral("CloseDocTimer"));
    CloseDocTimer->setOnTimer([this] { CloseDocTimerTimer(); });

    buildActions();
    buildMenus();
    buildPopups();
    buildToolBars();
    buildLayout();
    Pages = new TCustomPageControl(this, MainPanel, TabsPanel, PagesPanel);
    Pages->Services.setWindowTitle = [](const QString& title) { SetWindowTitle(title); };
    Pages->Services.closeTab = [this] { ExecuteAction(CloseTabAction); };

    if (auto* dispatcher = QAbstractEventDispatcher::instance()) {
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
                qb::guarded([this] { ActionListUpdate(); }));
    }

    FlatMenuPainter1 = CreateFlatMenuPainter1(*this);
    FormCreate();
}

TMainForm::~TMainForm() {
    if (EntryCipher == cipher_.get()) {
        EntryCipher = nullptr;
    }
    if (MainForm == this) {
        MainForm = nullptr;
    }
}

QAction* TMainForm::makeAction(QAction*& field, const char* name, const QString& caption,
                               const QString& hint, const QKeySequence& shortcut,
                               const QString& category) {
    field = new QAction(caption, this);
    field->setObjectName(QString::fromLatin1(name));
    if (!hint.isEmpty()) {
        qb::setHint(field, hint);
        // No status tip: the status bar is the notice's alone.
        field->setToolTip(shortHint(hint));
    }
    field->setShortcut(shortcut);
    // The other windows' own shortcuts come first; the keys they leave reach these actions
    // through the shortcut router.
    field->setShortcutContext(Qt::WindowShortcut);
    field->setProperty("Category", category);
    QAction* action = field;
    connect(action, &QAction::triggered, this, [this, action] { RunEnabledAction(action); });
    addAction(action);  // shortcuts work while the menus and tool bars are hidden
    return action;
}

void TMainForm::SetActionHandler(QAction* action, std::function<void()> handler) {
    handlers_[action] = std::move(handler);
}

void TMainForm::RunEnabledAction(QAction* action) {
    // The page may have changed since the last idle update.
    qb::runGuarded([this] { ActionListUpdate(); });
    if (action->isEnabled()) {
        ExecuteAction(action);
    }
}

void TMainForm::ExecuteAction(QAction* action) {
    const auto found = handlers_.find(action);
    if (found != handlers_.end() && found->second) {
        qb::runGuarded(found->second);
    }
}

void TMainForm::buildActions() {
    const QString edit = QStringLiteral("Edit"), file = QStringLiteral("File"),
                  format = QStringLiteral("Format"), calendar = QStringLiteral("Calendar"),
                  documents = QStringLiteral("Documents"), search = QStringLiteral("Search"),
                  tools = QStringLiteral("Tools"), help = QStringLiteral("Help"),
                  view = QStringLiteral("View"), color = QStringLiteral("Color");
    const QKeySequence none;
    const auto key = [](QKeyCombination combination) { return QKeySequence(combination); };

    makeAction(CutAction, "CutAction", QStringLiteral("Cu&t"),
               QStringLiteral("Cut|Cuts the selection and puts it on the Clipboard"),
               key(Qt::CTRL | Qt::Key_X), edit);
    makeAction(CopyAction, "CopyAction", QStringLiteral("&Copy"),
               QStringLiteral("Copy|Copies the selection and puts it on the Clipboard"),
               key(Qt::CTRL | Qt::Key_C), edit);
    makeAction(PasteAction, "PasteAction", QStringLiteral("&Paste"),
               QStringLiteral("Paste|Inserts Clipboard contents"), key(Qt::CTRL | Qt::Key_V), edit);
    makeAction(SelectAllAction, "SelectAllAction", QStringLiteral("Select &All"),
               QStringLiteral("Select All|Selects the entire document"), key(Qt::CTRL | Qt::Key_A),
               edit);
    makeAction(UndoAction, "UndoAction", QStringLiteral("Undo"), QStringLiteral("Undo"),
               key(Qt::CTRL | Qt::Key_Z), edit);
    makeAction(RedoAction, "RedoAction", QStringLiteral("Redo"), QStringLiteral("Redo"),
               key(Qt::SHIFT | Qt::CTRL | Qt::Key_Z), edit);
    makeAction(SaveAction, "SaveAction", QStringLiteral("Save"), QStringLiteral("Save"),
               key(Qt::CTRL | Qt::Key_S), file);
    makeAction(PrintAction, "PrintAction", QStringLiteral("Print"), QStringLiteral("Print"),
               key(Qt::CTRL | Qt::Key_P), file);
    makeAction(CloseTabAction, "CloseTabAction", QStringLiteral("Close Tab"),
               QStringLiteral("Close Page"), key(Qt::CTRL | Qt::Key_W), file);
    makeAction(DeleteEntryAction, "DeleteEntryAction", QStringLiteral("Delete Entry"), QString(),
               none, file);
    makeAction(BoldAction, "BoldAction", QStringLiteral("&Bold"), QStringLiteral("Bold"),
               key(Qt::CTRL | Qt::Key_B), format);
    makeAction(ItalicAction, "ItalicAction", QStringLiteral("&Italic"), QStringLiteral("Italic"),
               key(Qt::CTRL | Qt::Key_I), format);
    makeAction(UnderlineAction, "UnderlineAction", QStringLiteral("&Underline"),
               QStringLiteral("Underline"), key(Qt::CTRL | Qt::Key_U), format);
    makeAction(StrikeOutAction, "StrikeOutAction", QStringLiteral("&Strikeout"),
               QStringLiteral("Strikeout"), none, format);
    makeAction(BulletsAction, "BulletsAction", QStringLiteral("&Bullets"),
               QStringLiteral("Bullets|Inserts a bullet on the current line"), none, format);
    makeAction(AlignLeftAction, "AlignLeftAction", QStringLiteral("Align &Left"),
               QStringLiteral("Align Left|Aligns text at the left indent"), none, format);
    makeAction(AlignCenterAction, "AlignCenterAction", QStringLiteral("&Center"),
               QStringLiteral("Center|Centers text between margins"), none, format);
    makeAction(AlignRightAction, "AlignRightAction", QStringLiteral("Align &Right"),
               QStringLiteral("Align Right|Aligns text at the right indent"), none, format);
    for (QAction* a : {BoldAction, ItalicAction, UnderlineAction, StrikeOutAction, BulletsAction,
                       AlignLeftAction, AlignCenterAction, AlignRightAction}) {
        a->setCheckable(true);
    }
    makeAction(DefaultFontAction, "DefaultFontAction", QStringLiteral("Default Font 1"),
               QStringLiteral("Default Font 1"), none, format);
    makeAction(DefaultFont2Action, "DefaultFont2Action", QStringLiteral("Default Font 2"),
               QStringLiteral("Default Font 2"), none, format);
    makeAction(DefaultFont3Action, "DefaultFont3Action", QStringLiteral("Default Font 3"),
               QStringLiteral("Default Font 3"), none, format);
    makeAction(FontAction, "FontAction", QStringLiteral("Font"), QStringLiteral("Change Font"),
               none, format);

    struct ColorAction {
        QAction** field;
        const char* name;
        const char* caption;
    };
    const ColorAction colors[] = {
        {&BlackAction, "BlackAction", "Black"},    {&NavyAction, "NavyAction", "Navy"},
        {&BlueAction, "BlueAction", "Blue"},       {&TealAction, "TealAction", "Teal"},
        {&AquaAction, "AquaAction", "Aqua"},       {&MaroonAction, "MaroonAction", "Maroon"},
        {&RedAction, "RedAction", "Red"},          {&GreenAction, "GreenAction", "Green"},
        {&LimeAction, "LimeAction", "Lime"},       {&YellowAction, "YellowAction", "Yellow"},
        {&PurpleAction, "PurpleAction", "Purple"}, {&GrayAction, "GrayAction", "Gray"},
    };
    for (const ColorAction& c : colors) {
        makeAction(*c.field, c.name, QString::fromLatin1(c.caption), QString(), none, color);
    }
    makeAction(OtherColorAction, "OtherColorAction", QStringLiteral("Other Color"), QString(), none,
               color);
    makeAction(ShiftLeftAction, "ShiftLeftAction", QStringLiteral("Shift Left"),
               QStringLiteral("Shift Paragraph Left"), key(Qt::CTRL | Qt::Key_H), format);
    makeAction(ShiftRightAction, "ShiftRightAction", QStringLiteral("Shift Right"),
               QStringLiteral("Shift Paragraph Right"), key(Qt::CTRL | Qt::Key_J), format);
    makeAction(GoToTodayAction, "GoToTodayAction", QStringLiteral("Go To Today's Entry"),
               QStringLiteral("Go To Today's Entry"), key(Qt::CTRL | Qt::Key_T), calendar);
    makeAction(NextMonthAction, "NextMonthAction", QStringLiteral("Next Month"),
               QStringLiteral("Next Month"), key(Qt::Key_F8), calendar);
    makeAction(PreviousMonthAction, "PreviousMonthAction", QStringLiteral("Previous Month"),
               QStringLiteral("Previous Month"), key(Qt::Key_F7), calendar);
    makeAction(DesktopCalendarAction, "DesktopCalendarAction",
               QStringLiteral("Show Desktop Calendar"), QStringLiteral("Show Desktop Calendar"),
               none, calendar);
    makeAction(NewAction, "NewAction", QStringLiteral("New Document"),
               QStringLiteral("Create a New Document"), key(Qt::CTRL | Qt::Key_N), documents);
    makeAction(FindAction, "FindAction", QStringLiteral("Find"), QStringLiteral("Find Text"),
               key(Qt::CTRL | Qt::Key_F), search);
    makeAction(FindAgainAction, "FindAgainAction", QStringLiteral("Find Again"),
               QStringLiteral("Find Again"), key(Qt::Key_F3), search);
    makeAction(SearchAction, "SearchAction", QStringLiteral("Search All Documents"),
               QStringLiteral("Search All Entries"), key(Qt::SHIFT | Qt::Key_F3), search);
    makeAction(ImportPicturesAction, "ImportPicturesAction", QStringLiteral("Import Pictures"),
               QStringLiteral("Import Pictures"), none, tools);
    makeAction(ExportAction, "ExportAction", QStringLiteral("Export Entries"),
               QStringLiteral("Export Entries"), none, tools);
    makeAction(PictureViewerAction, "PictureViewerAction", QStringLiteral("Picture Viewer"),
               QStringLiteral("Picture Viewer"), none, tools);
    makeAction(OptionsAction, "OptionsAction", QStringLiteral("Options"), QString(), none, tools);
    makeAction(ChangePasswordAction, "ChangePasswordAction", QStringLiteral("Set/Change Password"),
               QString(), none, tools);
    makeAction(AboutAction, "AboutAction", QStringLiteral("About"), QString(), none, help);
    makeAction(UserGuideAction, "UserGuideAction", QStringLiteral("User Guide"), QString(), none,
               help);
    makeAction(ToggleCalendarPanelAction, "ToggleCalendarPanelAction",
               QStringLiteral("Toggle Calendar Panel"), QString(), none, view);
    makeAction(ToggleDocumentsPanelAction, "ToggleDocumentsPanelAction",
               QStringLiteral("Toggle Documents Panel"), QString(), none, view);
    makeAction(ToggleToolbarAction, "ToggleToolbarAction", QStringLiteral("Toggle Toolbar"),
               QString(), none, view);

    // The handlers of this window's own actions; the other areas install theirs.
    SetActionHandler(CloseTabAction, [this] { CloseTabActionExecute(); });
    SetActionHandler(DesktopCalendarAction, [this] { DesktopCalendarActionExecute(); });
    SetActionHandler(SearchAction, [this] { SearchActionExecute(); });
    SetActionHandler(ExportAction, [this] { ExportActionExecute(); });
    SetActionHandler(ImportPicturesAction, [this] { ImportPicturesActionExecute(); });
    SetActionHandler(PictureViewerAction, [this] { PictureViewerActionExecute(); });
    SetActionHandler(OptionsAction, [this] { OptionsActionExecute(); });
    SetActionHandler(ChangePasswordAction, [this] { ChangePasswordActionExecute(); });
    SetActionHandler(AboutAction, [this] { AboutActionExecute(); });
    SetActionHandler(UserGuideAction, [this] { UserGuideActionExecute(); });
    SetActionHandler(ToggleCalendarPanelAction, [this] { ToggleCalendarPanelActionExecute(); });
    SetActionHandler(ToggleDocumentsPanelAction, [this] { ToggleDocumentsPanelActionExecute(); });
    SetActionHandler(ToggleToolbarAction, [this] { ToggleToolbarActionExecute(); });

    // Pictures for the actions of the tool bars and menus.
    const QFont f = font();
    const QColor ink = ProgramImages::ink();
    SaveAction->setIcon(drawnIcon(Drawn::Save, ink));
    PrintAction->setIcon(drawnIcon(Drawn::Print, ink));
    UndoAction->setIcon(glyphIcon(QStringLiteral("\u21B6"), ink, f, true));
    RedoAction->setIcon(glyphIcon(QStringLiteral("\u21B7"), ink, f, true));
    CutAction->setIcon(glyphIcon(QStringLiteral("\u2702"), ink, f));
    CopyAction->setIcon(glyphIcon(QStringLiteral("\u2750"), ink, f));
    PasteAction->setIcon(drawnIcon(Drawn::Paste, ink));
    BoldAction->setIcon(glyphIcon(QStringLiteral("B"), Qt::black, f, true));
    ItalicAction->setIcon(glyphIcon(QStringLiteral("I"), Qt::black, f, false, true));
    UnderlineAction->setIcon(glyphIcon(QStringLiteral("U"), Qt::black, f, false, false, true));
    StrikeOutAction->setIcon(
        glyphIcon(QStringLiteral("S"), Qt::black, f, false, false, false, true));
    AlignLeftAction->setIcon(glyphIcon(QStringLiteral("\u2261"), ink, f));
    AlignCenterAction->setIcon(glyphIcon(QStringLiteral("\u2263"), ink, f));
    AlignRightAction->setIcon(glyphIcon(QStringLiteral("\u2261"), ink, f, true));
    BulletsAction->setIcon(glyphIcon(QStringLiteral("\u2022"), ink, f, true));
    DefaultFontAction->setIcon(glyphIcon(QStringLiteral("F1"), ink, f, true));
    DefaultFont2Action->setIcon(glyphIcon(QStringLiteral("F2"), ink, f, true));
    DefaultFont3Action->setIcon(glyphIcon(QStringLiteral("F3"), ink, f, true));
    FontAction->setIcon(glyphIcon(QStringLiteral("A"), ink, f, true));
    GoToTodayAction->setIcon(glyphIcon(QStringLiteral("\u2609"), ink, f));
    PreviousMonthAction->setIcon(glyphIcon(QStringLiteral("\u25C0"), ink, f));
    NextMonthAction->setIcon(glyphIcon(QStringLiteral("\u25B6"), ink, f));
    DesktopCalendarAction->setIcon(glyphIcon(QStringLiteral("\u25A6"), ink, f));
    NewAction->setIcon(glyphIcon(QStringLiteral("\u271A"), ink, f));
    FindAction->setIcon(glyphIcon(QStringLiteral("\u2315"), ink, f));
    FindAgainAction->setIcon(glyphIcon(QStringLiteral("\u21BB"), ink, f));
    SearchAction->setIcon(ProgramImages::searchImage());
    PictureViewerAction->setIcon(glyphIcon(QStringLiteral("\u25A7"), ink, f));
    ImportPicturesAction->setIcon(glyphIcon(QStringLiteral("\u21E9"), ink, f));
}

void TMainForm::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu"));

    QMenu* fileMenu = bar->addMenu(QStringLiteral("&File"));
    fileMenu->addActions({SaveAction, PrintAction});
    fileMenu->addSeparator();
    fileMenu->addAction(CloseTabAction);
    fileMenu->addSeparator();
    fileMenu->addAction(DeleteEntryAction);
    fileMenu->addSeparator();
    MainStayOnTopMenuItem = fileMenu->addAction(QStringLiteral("Stay On Top"));
    MainStayOnTopMenuItem->setObjectName(QStringLiteral("MainStayOnTopMenuItem"));
    MainStayOnTopMenuItem->setCheckable(true);
    connect(MainStayOnTopMenuItem, &QAction::triggered, this,
            qb::guarded([this] { MainStayOnTopMenuItemClick(); }));
    fileMenu->addSeparator();
    Exit1 = fileMenu->addAction(QStringLiteral("Exit"));
    Exit1->setObjectName(QStringLiteral("Exit1"));
    connect(Exit1, &QAction::triggered, this, qb::guarded([this] { Exit1Click(); }));

    QMenu* editMenu = bar->addMenu(QStringLiteral("Edit"));
    editMenu->addActions({UndoAction, RedoAction});
    editMenu->addSeparator();
    editMenu->addActions({CutAction, CopyAction, PasteAction, SelectAllAction});

    QMenu* formatMenu = bar->addMenu(QStringLiteral("Format"));
    formatMenu->addActions({BoldAction, ItalicAction, UnderlineAction, StrikeOutAction});
    formatMenu->addSeparator();
    formatMenu->addAction(BulletsAction);
    formatMenu->addSeparator();
    formatMenu->addActions({DefaultFontAction, DefaultFont2Action, DefaultFont3Action, FontAction});
    QMenu* fontColor = formatMenu->addMenu(QStringLiteral("Font Color"));
    FontColorMenuItem = fontColor->menuAction();
    FontColorMenuItem->setObjectName(QStringLiteral("FontColorMenuItem"));
    fontColor->addActions({BlackAction, NavyAction, BlueAction, TealAction, AquaAction,
                           MaroonAction, RedAction, GreenAction, LimeAction, YellowAction,
                           PurpleAction, GrayAction});
    fontColor->addSeparator();
    fontColor->addAction(OtherColorAction);
    formatMenu->addSeparator();
    formatMenu->addActions({AlignLeftAction, AlignCenterAction, AlignRightAction});
    formatMenu->addSeparator();
    formatMenu->addActions({ShiftLeftAction, ShiftRightAction});

    QMenu* calendarMenu = bar->addMenu(QStringLiteral("Calendar"));
    calendarMenu->addAction(GoToTodayAction);
    calendarMenu->addSeparator();
    calendarMenu->addActions({NextMonthAction, PreviousMonthAction});
    calendarMenu->addSeparator();
    calendarMenu->addAction(DesktopCalendarAction);
    calendarMenu->addSeparator();
    calendarMenu->addAction(ToggleCalendarPanelAction);

    Document1 = bar->addMenu(QStringLiteral("Documents"));
    Document1->setObjectName(QStringLiteral("Document1"));
    Document1->addAction(NewAction);
    Document1->addSeparator();
    Document1->addAction(ToggleDocumentsPanelAction);
    Document1->addSeparator();

    QMenu* searchMenu = bar->addMenu(QStringLiteral("Search"));
    searchMenu->addActions({FindAction, FindAgainAction});
    searchMenu->addSeparator();
    searchMenu->addAction(SearchAction);

    QMenu* toolsMenu = bar->addMenu(QStringLiteral("Tools"));
    toolsMenu->addAction(OptionsAction);
    toolsMenu->addSeparator();
    toolsMenu->addAction(PictureViewerAction);
    toolsMenu->addSeparator();
    toolsMenu->addActions({ImportPicturesAction, ExportAction});
    toolsMenu->addSeparator();
    toolsMenu->addAction(ChangePasswordAction);
    toolsMenu->addSeparator();
    CompactDatabase1 = toolsMenu->addAction(QStringLiteral("Compact Database"));
    CompactDatabase1->setObjectName(QStringLiteral("CompactDatabase1"));
    connect(CompactDatabase1, &QAction::triggered, this, qb::guarded([] {
                if (DataModule1) {
                    DataModule1->CompactDatabase1Click();
                }
            }));

    QMenu* viewMenu = bar->addMenu(QStringLiteral("View"));
    viewMenu->addAction(ToggleCalendarPanelAction);
    viewMenu->addSeparator();
    viewMenu->addAction(ToggleDocumentsPanelAction);
    viewMenu->addSeparator();
    // The same action under the caption the View menu gives it.
    auto* entireToolbar = viewMenu->addAction(QStringLiteral("Toggle Entire Toolbar"));
    entireToolbar->setObjectName(QStringLiteral("ToggleEntireToolbarMenuItem"));
    connect(entireToolbar, &QAction::triggered, this,
            [this] { ExecuteAction(ToggleToolbarAction); });
    QMenu* toolbars = viewMenu->addMenu(QStringLiteral("Toolbars"));
    struct ToolbarItem {
        QAction** field;
        const char* name;
        const char* caption;
    };
    const ToolbarItem items[] = {
        {&FileToolbarMenuItem, "FileToolbarMenuItem", "File"},
        {&EditToolbarMenuItem, "EditToolbarMenuItem", "Edit"},
        {&FormatToolbarMenuItem, "FormatToolbarMenuItem", "Format"},
        {&CalendarToolbarMenuItem, "CalendarToolbarMenuItem", "Calendar"},
        {&DocumentsToolbarMenuItem, "DocumentsToolbarMenuItem", "Documents"},
        {&SearchToolbarMenuItem, "SearchToolbarMenuItem", "Search"},
        {&ToolsToolbarMenuItem, "ToolsToolbarMenuItem", "Tools"},
    };
    for (const ToolbarItem& item : items) {
        QAction* a = toolbars->addAction(QString::fromLatin1(item.caption));
        a->setObjectName(QString::fromLatin1(item.name));
        a->setCheckable(true);
        a->setChecked(true);
        connect(a, &QAction::triggered, this,
                qb::guarded([this, a] { FileToolbarMenuItemClick(a); }));
        *item.field = a;
    }

    QMenu* helpMenu = bar->addMenu(QStringLiteral("Help"));
    helpMenu->addAction(UserGuideAction);
    helpMenu->addSeparator();
    helpMenu->addAction(AboutAction);
}

void TMainForm::buildPopups() {
    DocumentPopup = new QMenu(this);
    DocumentPopup->setObjectName(QStringLiteral("DocumentPopup"));
    DocumentPopup->addActions({UndoAction, RedoAction});
    DocumentPopup->addSeparator();
    DocumentPopup->addActions({CutAction, CopyAction, PasteAction, SelectAllAction});
    DocumentPopup->addSeparator();
    QMenu* format = DocumentPopup->addMenu(QStringLiteral("Format"));
    format->addActions({BoldAction, ItalicAction, UnderlineAction});
    // These items run the same actions as the main menu's items of those captions, so that the
    // pop-up menu formats the page as the main menu does.
    format->addAction(StrikeOutAction);
    format->addSeparator();
    format->addAction(BulletsAction);
    format->addSeparator();
    format->addActions({DefaultFontAction, DefaultFont2Action, DefaultFont3Action, FontAction});
    QMenu* fontColor = format->addMenu(QStringLiteral("Font Color"));
    fontColor->addActions({BlackAction, NavyAction, BlueAction, TealAction, AquaAction,
                           MaroonAction, RedAction, GreenAction, LimeAction, YellowAction,
                           PurpleAction, GrayAction});
    fontColor->addSeparator();
    fontColor->addAction(OtherColorAction);
    format->addSeparator();
    format->addActions({AlignLeftAction, AlignRightAction, AlignCenterAction});
    format->addSeparator();
    format->addActions({ShiftLeftAction, ShiftRightAction});
    DocumentPopup->addSeparator();
    QMenu* search = DocumentPopup->addMenu(QStringLiteral("Search"));
    search->addActions({FindAction, FindAgainAction});

    DesktopPopup = new QMenu(this);
    DesktopPopup->setObjectName(QStringLiteral("DesktopPopup"));
    connect(DesktopPopup, &QMenu::aboutToShow, this, qb::guarded([this] { DesktopPopupPopup(); }));
    DesktopEditorWindowMenuItem = DesktopPopup->addAction(QStringLiteral("Editor Window"));
    DesktopEditorWindowMenuItem->setObjectName(QStringLiteral("DesktopEditorWindowMenuItem"));
    connect(DesktopEditorWindowMenuItem, &QAction::triggered, this,
            qb::guarded([this] { DesktopEditorWindowMenuItemClick(); }));
    DesktopPopup->addSeparator();
    QMenu* calendar = DesktopPopup->addMenu(QStringLiteral("Calendar"));
    calendar->addActions({NextMonthAction, PreviousMonthAction});
    calendar->addSeparator();
    calendar->addAction(GoToTodayAction);
    DesktopPopup->addSeparator();
    Documents1 = DesktopPopup->addMenu(QStringLiteral("Documents"));
    Documents1->setObjectName(QStringLiteral("Documents1"));
    Documents1->addAction(NewAction);
    Documents1->addSeparator();
    DesktopPopup->addSeparator();
    QMenu* desktopSearch = DesktopPopup->addMenu(QStringLiteral("Search"));
    desktopSearch->addAction(SearchAction);
    DesktopPopup->addSeparator();
    QMenu* tools = DesktopPopup->addMenu(QStringLiteral("Tools"));
    tools->addAction(OptionsAction);
    tools->addSeparator();
    tools->addAction(PictureViewerAction);
    tools->addSeparator();
    tools->addActions({ImportPicturesAction, ExportAction});
    tools->addSeparator();
    tools->addAction(ChangePasswordAction);
    DesktopPopup->addSeparator();
    QMenu* help = DesktopPopup->addMenu(QStringLiteral("Help"));
    help->addActions({UserGuideAction, AboutAction});
    DesktopPopup->addSeparator();
    DesktopStayOnTopMenuItem = DesktopPopup->addAction(QStringLiteral("Stay On Top"));
    DesktopStayOnTopMenuItem->setObjectName(QStringLiteral("DesktopStayOnTopMenuItem"));
    DesktopStayOnTopMenuItem->setCheckable(true);
    DesktopStayOnTopMenuItem->setChecked(true);
    connect(DesktopStayOnTopMenuItem, &QAction::triggered, this,
            qb::guarded([this] { DesktopStayOnTopMenuItemClick(); }));
    DesktopPopup->addSeparator();
    DesktopExitMenuItem = DesktopPopup->addAction(QStringLiteral("Exit"));
    DesktopExitMenuItem->setObjectName(QStringLiteral("DesktopExitMenuItem"));
    connect(DesktopExitMenuItem, &QAction::triggered, this,
            qb::guarded([this] { DesktopExitMenuItemClick(); }));
}

QToolBar* TMainForm::makeToolBar(QToolBar*& field, const char* name, int minWidth,
                                 const std::vector<QAction*>& actions, int buttonWidth) {
    field = new QToolBar(ControlBar1);
    field->setObjectName(QString::fromLatin1(name));
    field->setMovable(false);
    field->setFloatable(false);
    field->setIconSize(QSize(16, 16));
    field->setToolButtonStyle(Qt::ToolButtonIconOnly);
    field->setStyleSheet(QStringLiteral("QToolBar { border: 0px; padding: 0px; spacing: 0px; }"));
    for (QAction* action : actions) {
        if (!action) {
            field->addSeparator();
            continue;
        }
        field->addAction(action);
        if (QWidget* button = field->widgetForAction(action)) {
            button->setCursor(Qt::PointingHandCursor);
            if (buttonWidth > 0) {
                button->setFixedWidth(buttonWidth);
            }
        }
    }
    field->setMinimumWidth(minWidth);
    return field;
}

void TMainForm::buildToolBars() {
    ControlBar1 = newPanel(this, "ControlBar1");
    auto* row = new QHBoxLayout(ControlBar1);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(2);
    makeToolBar(FileToolBar, "FileToolBar", 62, {SaveAction, nullptr, PrintAction});
    makeToolBar(EditToolbar, "EditToolbar", 139,
                {UndoAction, RedoAction, nullptr, CutAction, CopyAction, PasteAction}, 25);
    makeToolBar(FormatToolbar, "FormatToolbar", 299,
                {BoldAction, UnderlineAction, ItalicAction, StrikeOutAction, nullptr,
                 AlignLeftAction, AlignCenterAction, AlignRightAction, nullptr, BulletsAction,
                 DefaultFontAction, DefaultFont2Action, DefaultFont3Action, FontAction});
    makeToolBar(CalendarToolBar, "CalendarToolBar", 99,
                {GoToTodayAction, PreviousMonthAction, NextMonthAction, DesktopCalendarAction});
    makeToolBar(DocumentsToolBar, "DocumentsToolBar", 27, {NewAction});
    makeToolBar(SearchToolBar, "SearchToolBar", 75, {FindAction, FindAgainAction, SearchAction});
    makeToolBar(ToolsToolBar, "ToolsToolBar", 51, {PictureViewerAction, ImportPicturesAction});
    for (QToolBar* bar : {FileToolBar, EditToolbar, FormatToolbar, CalendarToolBar,
                          DocumentsToolBar, SearchToolBar, ToolsToolBar}) {
        row->addWidget(bar);
    }
    row->addStretch(1);
}

void TMainForm::buildLayout() {
    auto* central = newPanel(this, "CentralPanel");
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(ControlBar1);

    // The four 8-pixel margin panels around CenterPanel.
    auto* margins = newPanel(central, "MarginPanel");
    auto* marginLayout = new QHBoxLayout(margins);
    marginLayout->setContentsMargins(8, 8, 8, 8);
    column->addWidget(margins, 1);

    CenterPanel = newPanel(margins, "CenterPanel");
    marginLayout->addWidget(CenterPanel);
    auto* row = new QHBoxLayout(CenterPanel);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    buildCalendarPanel(CenterPanel);
    row->addWidget(CalendarPanel);
    CalendarSidePanel = newPanel(CenterPanel, "CalendarSidePanel");
    CalendarSidePanel->setFixedWidth(8);
    row->addWidget(CalendarSidePanel);

    Panel2 = newPanel(CenterPanel, "Panel2");
    fillWith(Panel2, Qt::white);
    row->addWidget(Panel2, 1);
    buildMainPanel(Panel2);

    buildDocPanel(CenterPanel);
    DocSplitter = new qb::SideSplitter(DocPanel, 100, CenterPanel);
    DocSplitter->setObjectName(QStringLiteral("DocSplitter"));
    row->addWidget(DocSplitter);
    row->addWidget(DocPanel);

    setCentralWidget(central);

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusPanel0 = new QLabel(StatusBar);
    StatusPanel0->setObjectName(QStringLiteral("StatusPanel0"));
    StatusPanel0->setFixedWidth(250);
    StatusBar->addWidget(StatusPanel0);
    setStatusBar(StatusBar);
}

namespace {

// A title strip: the barred paint box, the centred white caption and the close image.
struct TitleStrip {
    QWidget* panel;
    qb::PaintBox* paintBox;
    QLabel* label;
    qb::ImageControl* closeImage;
};

TitleStrip makeTitleStrip(QWidget* parent, const char* panelName, const char* boxName,
                          const char* labelName, const char* imageName, const QString& caption) {
    TitleStrip strip{};
    strip.panel = newPanel(parent, panelName);
    strip.panel->setFixedHeight(26);
    strip.paintBox = newPaintBox(strip.panel, boxName, QStringLiteral("ShadeBarred"), 55);
    new FillParent(strip.paintBox, strip.panel);
    strip.label = new QLabel(caption, strip.panel);
    strip.label->setObjectName(QString::fromLatin1(labelName));
    strip.label->setAlignment(Qt::AlignCenter);
    QPalette palette = strip.label->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    strip.label->setPalette(palette);
    new FillParent(strip.label, strip.panel);
    strip.closeImage = new qb::ImageControl(strip.panel);
    strip.closeImage->setObjectName(QString::fromLatin1(imageName));
    strip.closeImage->setPicture(qb::closeImagePicture());
    strip.closeImage->move(197, 5);
    strip.closeImage->hide();
    new AnchorRight(strip.closeImage, strip.panel, 197, 219);
    return strip;
}

}  // namespace

void TMainForm::buildCalendarPanel(QWidget* parent) {
    CalendarPanel = newPanel(parent, "CalendarPanel");
    CalendarPanel->setFixedWidth(219);
    CalendarPaintBox5 =
        newPaintBox(CalendarPanel, "CalendarPaintBox5", QStringLiteral("ShadeLeftToRight"), 25);
    new FillParent(CalendarPaintBox5, CalendarPanel);
    CalendarPaintBox5->setOnPaint(
        [this](qb::PaintBox& box, QPainter& canvas) { BackgroundPaintBoxPaint(box, canvas); });

    const TitleStrip strip =
        makeTitleStrip(CalendarPanel, "CalTitlePanel", "PaintBox2", "Label14", "CloseCalendarImage",
                       QStringLiteral("Calendar Entries"));
    CalTitlePanel = strip.panel;
    PaintBox2 = strip.paintBox;
    Label14 = strip.label;
    CloseCalendarImage = strip.closeImage;

    QWidget** panels[] = {&CalendarPanel1, &CalendarPanel2, &CalendarPanel3, &CalendarPanel4};
    qb::PaintBox** boxes[] = {&CalendarPaintBox1, &CalendarPaintBox2, &CalendarPaintBox3,
                              &CalendarPaintBox4};
    for (int i = 0; i < 4; ++i) {
        const QByteArray panelName = "CalendarPanel" + QByteArray::number(i + 1);
        const QByteArray boxName = "CalendarPaintBox" + QByteArray::number(i + 1);
        QWidget* panel = newPanel(CalendarPanel, panelName.constData());
        panel->resize(219, 218);
        qb::PaintBox* box =
            newPaintBox(panel, boxName.constData(), QStringLiteral("ShadeLeftToRight"), 20);
        new FillParent(box, panel);
        box->setOnPaint(
            [this](qb::PaintBox& b, QPainter& canvas) { BackgroundPaintBoxPaint(b, canvas); });
        if (i > 0) {
            auto* line = newPanel(panel, "MonthTopLine");
            fillWith(line, Qt::white);
            line->setGeometry(0, 0, 219, 1);
            new FillParent(line, panel);
            line->setFixedHeight(1);
            line->raise();
        }
        *panels[i] = panel;
        *boxes[i] = box;
    }
    CalendarPaintBox5->lower();
    // The title strip and the month panels are aligned to the top, one below the other; what
    // does not fit is cut off at the panel's bottom.
    CalendarPanel->installEventFilter(this);

    PaintBox2->setOnPaint(
        [this](qb::PaintBox& box, QPainter& canvas) { TitlePaintBoxPaint(box, canvas); });
    Label14->installEventFilter(this);
    CloseCalendarImage->onMouseMove = [this] { CloseCalendarImageMouseMove(); };
    CloseCalendarImage->onMouseDown = [this] { ButtonImageMouseDown(CloseCalendarImage); };
    CloseCalendarImage->onMouseUp = [this] { ButtonImageMouseUp(CloseCalendarImage); };
    CloseCalendarImage->onClick = [this] { CloseCalendarImageClick(); };
}

void TMainForm::buildDocPanel(QWidget* parent) {
    DocPanel = newPanel(parent, "DocPanel");
    DocPanel->setFixedWidth(219);
    DocPanelPaintBox =
        newPaintBox(DocPanel, "DocPanelPaintBox", QStringLiteral("ShadeLeftToRight"), 20);
    new FillParent(DocPanelPaintBox, DocPanel, 26);
    DocPanelPaintBox->setOnPaint(
        [this](qb::PaintBox& box, QPainter& canvas) { BackgroundPaintBoxPaint(box, canvas); });

    auto* column = new QVBoxLayout(DocPanel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    const TitleStrip strip = makeTitleStrip(DocPanel, "DocTitlePanel", "PaintBox3", "Label15",
                                            "CloseDocImage", QStringLiteral("Other Documents"));
    DocTitlePanel = strip.panel;
    PaintBox3 = strip.paintBox;
    Label15 = strip.label;
    CloseDocImage = strip.closeImage;
    column->addWidget(DocTitlePanel);

    DocumentScrollBox = new QScrollArea(DocPanel);
    DocumentScrollBox->setObjectName(QStringLiteral("DocumentScrollBox"));
    DocumentScrollBox->setFrameShape(QFrame::NoFrame);
    DocumentScrollBox->setWidgetResizable(true);
    DocumentScrollBox->viewport()->setAutoFillBackground(false);
    auto* list = newPanel(DocumentScrollBox, "DocumentListPanel");
    DocumentScrollBox->setWidget(list);
    list->setAutoFillBackground(false);  // the shading behind the box shows through
    column->addWidget(DocumentScrollBox, 1);

    PaintBox3->setOnPaint(
        [this](qb::PaintBox& box, QPainter& canvas) { TitlePaintBoxPaint(box, canvas); });
    Label15->installEventFilter(this);
    CloseDocImage->onMouseMove = [this] { CloseDocImageMouseMove(); };
    CloseDocImage->onMouseDown = [this] { ButtonImageMouseDown(CloseDocImage); };
    CloseDocImage->onMouseUp = [this] { ButtonImageMouseUp(CloseDocImage); };
    CloseDocImage->onClick = [this] { CloseDocImageClick(); };
}

void TMainForm::buildMainPanel(QWidget* parent) {
    auto* fill = new QVBoxLayout(parent);
    fill->setContentsMargins(0, 0, 0, 0);
    MainPanel = newPanel(parent, "MainPanel");
    fill->addWidget(MainPanel);
    MainPanel->hide();

    auto* column = new QVBoxLayout(MainPanel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto* tabRow = newPanel(MainPanel, "TabRowPanel");
    auto* tabLayout = new QHBoxLayout(tabRow);
    tabLayout->setContentsMargins(0, 0, 0, 0);
    tabLayout->setSpacing(0);
    TabsPanel = newPanel(tabRow, "TabsPanel");
    TabsPanel->setFixedHeight(26);
    tabLayout->addWidget(TabsPanel, 1);
    ClosePanel = newPanel(tabRow, "ClosePanel");
    ClosePanel->setFixedSize(42, 26);
    CloseTabImage = new qb::ImageControl(ClosePanel);
    CloseTabImage->setObjectName(QStringLiteral("CloseTabImage"));
    CloseTabImage->setPicture(qb::closeImagePicture());
    CloseTabImage->setToolTip(QStringLiteral("Close this page."));
    qb::setHint(CloseTabImage, QStringLiteral("Close this page."));
    CloseTabImage->move(22, 5);
    UndockImage = new qb::ImageControl(ClosePanel);
    UndockImage->setObjectName(QStringLiteral("UndockImage"));
    UndockImage->setPicture(qb::undockImagePicture());
    UndockImage->move(4, 5);
    UndockImage->hide();
    tabLayout->addWidget(ClosePanel);
    column->addWidget(tabRow);

    // The pages area inside its four 1-pixel selection lines.
    auto* framed = newPanel(MainPanel, "PagesFramePanel");
    auto* grid = new QGridLayout(framed);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    QWidget** lines[] = {&SelBorderShape1, &SelBorderShape2, &SelBorderShape3, &SelBorderShape4};
    const char* names[] = {"SelBorderShape1", "SelBorderShape2", "SelBorderShape3",
                           "SelBorderShape4"};
    for (int i = 0; i < 4; ++i) {
        *lines[i] = newPanel(framed, names[i]);
        fillWith(*lines[i], qb::toQColor(SelTabBorderColor));
    }
    SelBorderShape1->setFixedHeight(1);
    SelBorderShape4->setFixedHeight(1);
    SelBorderShape2->setFixedWidth(1);
    SelBorderShape3->setFixedWidth(1);
    PagesPanel = newPanel(framed, "PagesPanel");
    grid->addWidget(SelBorderShape1, 0, 0, 1, 3);
    grid->addWidget(SelBorderShape2, 1, 0);
    grid->addWidget(PagesPanel, 1, 1);
    grid->addWidget(SelBorderShape3, 1, 2);
    grid->addWidget(SelBorderShape4, 2, 0, 1, 3);
    column->addWidget(framed, 1);

    FindPanel = newPanel(MainPanel, "FindPanel");
    FindPanel->setFixedHeight(43);
    auto* inner = newPanel(FindPanel, "FindInnerPanel");
    inner->setGeometry(0, 1, 2000, 42);
    auto* findLabel = new QLabel(QStringLiteral("Find:"), inner);
    findLabel->move(28, 13);
    CloseFindImage = new qb::ImageControl(inner);
    CloseFindImage->setObjectName(QStringLiteral("CloseFindImage"));
    CloseFindImage->setPicture(qb::closeImagePicture());
    CloseFindImage->move(2, 11);
    FindEdit = new QLineEdit(inner);
    FindEdit->setObjectName(QStringLiteral("FindEdit"));
    FindEdit->setGeometry(61, 9, 200, 21);
    FindPanel->hide();
    column->addWidget(FindPanel);

    for (qb::ImageControl* image : {CloseTabImage, CloseFindImage, UndockImage}) {
        image->onMouseDown = [this, image] { ButtonImageMouseDown(image); };
        image->onMouseUp = [this, image] { ButtonImageMouseUp(image); };
    }
}

// --- Start-up ---

void TMainForm::FormCreate() {
    FirstShow = true;
    InitializeApplication();
}

QFont TMainForm::LayoutFont() {
    return qb::layoutFont(8);
}

void TMainForm::RegisterHotKeys(std::unique_ptr<qb::HotKeys> keys) {
    hotKeys_ = keys ? std::move(keys) : qb::createHotKeys();
    hotKeys_->setHandler([this](int id) { WMHotKey(id); });
    const bool x11 = hotKeys_->available();
    const Qt::KeyboardModifiers ctrlAlt = Qt::ControlModifier | Qt::AltModifier;
    // Where there are no global hot keys at all, the program runs without them and says
    // nothing; a key that another program holds is reported.
    // Each key is tried whatever the other gave, and an error raised while registering is
    // swallowed: it counts as a key that could not be had.
    const auto tryRegister = [this, ctrlAlt](int id, Qt::Key key) {
        try {
            return hotKeys_->registerHotKey(id, ctrlAlt, key);
        } catch (...) {
            return false;
        }
    };
    if (!tryRegister(HotKeyToday, Qt::Key_T) && x11) {
        qb::dialogs().showMessage(QStringLiteral("Unable to assign Ctrl-Alt-T as hotkey."));
    }
    if (!tryRegister(HotKeyHideShow, Qt::Key_H) && x11) {
        qb::dialogs().showMessage(QStringLiteral("Unable to assign Ctrl-Alt-H as hotkey."));
    }
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

void TMainForm::parkWindow() {
    // Off every screen, and see-through where the desktop can show that, so that the window
    // is not seen before it is centred.
    QRect desktop(0, 0, 2000, 2000);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        desktop = desktop.united(screen->virtualGeometry());
    }
    setWindowOpacity(0.0);
    move(desktop.right() + 1, desktop.bottom() + 1);
    // Nothing is painted while it is parked: a platform that paints a window off the screen
    // would otherwise draw it all once more when it is centred (and resized to the screen).
    setUpdatesEnabled(false);
    parked_ = true;
}

void TMainForm::FormShow() {
    if (FirstShow) {
        FirstShow = false;
        // An error in one step of the second stage is shown and start-up goes on.
        StartApplication();
        if (qb::quitRequested() || (PasswordForm && PasswordForm->QuitMark() > 0)) {
            return;  // the program is ending: nothing more of start-up runs
        }
        parkWindow();
        StartupTimer->setEnabled(true);
    }
}

void TMainForm::StartupTimerTimer() {
    StartupTimer->setEnabled(false);
    const auto step = [](const std::function<void()>& work) { qb::runGuarded(work); };
    step([this] {
        const qb::IniFile ini(IniPath);
        const QString general = QStringLiteral("General");
        if (!ini.readBool(general, QStringLiteral("SideCalendarPanel"), true)) {
            ExecuteAction(ToggleCalendarPanelAction);
        }
        if (!ini.readBool(general, QStringLiteral("SideDocumentPanel"), true)) {
            ExecuteAction(ToggleDocumentsPanelAction);
        }
        if (!ini.readBool(general, QStringLiteral("ToolBar"), true)) {
            ExecuteAction(ToggleToolbarAction);
        }
        if (ini.readBool(general, QStringLiteral("OnlyShowDesktop"), false)) {
            ExecuteAction(DesktopCalendarAction);
            close();
        }
        if (ini.readBool(general, QStringLiteral("ShowBoth"), false)) {
            ExecuteAction(DesktopCalendarAction);
        }
    });
    step([this] {
        // Centred on the area the desktop's panels leave; a window larger than that area (a
        // small screen, a large scale) is shrunk to it rather than put partly off the screen.
        const QRect area = qb::AvailableAreaOf(*this);
        qb::PlaceWithin(*this, area, [area](const QSize& frame) {
            return area.topLeft() +
                   CentredWindowPos(area.width(), area.height(), frame.width(), frame.height());
        });
    });
    setWindowOpacity(1.0);
    // The first painting, where the window now stands, before the program waits for input.
    setUpdatesEnabled(true);
    repaint();
    parked_ = false;
    startupFinished_ = true;
}

void TMainForm::WMHotKey(int id) {
    if (!startupFinished_) {
        return;  // the diary is not open yet
    }
    const bool desktopVisible = DesktopCalendarForm && DesktopCalendarForm->isVisible();
    const HotKeyStep step =
        DecideHotKey(id, desktopVisible,
                     DesktopCalendarForm ? DesktopCalendarForm->windowState() : Qt::WindowNoState,
                     windowState());
    switch (step) {
        case HotKeyStep::None:
            break;
        case HotKeyStep::TodayToFront:
            ExecuteAction(GoToTodayAction);
            show();
            raise();
            if (windowState() & Qt::WindowMinimized) {
                setWindowState(windowState() & ~Qt::WindowMinimized);
            }
            activateWindow();
            break;
        case HotKeyStep::MinimizeDesktop:
            DesktopCalendarForm->setWindowState(DesktopCalendarForm->windowState() |
                                                Qt::WindowMinimized);
            break;
        case HotKeyStep::RestoreDesktop:
            DesktopCalendarForm->setWindowState(Qt::WindowNoState);
            DesktopCalendarForm->raise();
            DesktopCalendarForm->activateWindow();
            break;
        case HotKeyStep::MinimizeApplication:
            minimisedByHotKey_ = qb::minimizeApplication();
            break;
        case HotKeyStep::RestoreMain:
            // The press after a minimise brings back what that press minimised.
            qb::restoreWindows(std::exchange(minimisedByHotKey_, {}));
            setWindowState(Qt::WindowNoState);
            raise();
            activateWindow();
            break;
    }
}

// --- Shut-down ---

void TMainForm::closeEvent(QCloseEvent* event) {
    bool ends = false;
    const bool handled = qb::runGuarded([&] { ends = FormClose(); });
    if (handled && ends) {
        event->accept();
    } else {
        event->ignore();
    }
}

void TMainForm::WritePanelKeys() {
    qb::IniFile ini(IniPath);
    const QString general = QStringLiteral("General");
    ini.writeBool(general, QStringLiteral("SideCalendarPanel"), !CalendarPanel->isHidden());
    ini.writeBool(general, QStringLiteral("SideDocumentPanel"), !DocPanel->isHidden());
    ini.writeBool(general, QStringLiteral("ToolBar"), !ControlBar1->isHidden());
}

bool TMainForm::FormClose() {
    const bool desktopVisible = DesktopCalendarForm && DesktopCalendarForm->isVisible();
    const bool closeAll = OptionsForm && OptionsForm->CloseAllOpenPagesCheckBox &&
                          OptionsForm->CloseAllOpenPagesCheckBox->isChecked();
    if (closeAll || !desktopVisible) {
        CloseAllPages(!desktopVisible);  // hidden behind the desktop calendar, a page waits
        // A page whose text could be kept nowhere stays open, and so does the program.
        if (!desktopVisible && !Pages->Tabs().empty()) {
            Pages->SelectTab(Pages->Tabs().front());
            return false;
        }
    }
    if (desktopVisible) {
        hide();
        // The calendar stands in for the main window now, so it must be in sight.
        DesktopCalendarForm->ShowRestored();
        return false;  // the program goes on with the desktop calendar
    }
    // The real exit. A failure to write the keys is shown once, and the program still ends.
    qb::runGuarded([this] {
        WritePanelKeys();
        qb::IniFile ini(IniPath);
        const QString toolbars = QStringLiteral("Toolbars");
        const std::pair<const char*, QAction*> items[] = {
            {"File", FileToolbarMenuItem},           {"Edit", EditToolbarMenuItem},
            {"Format", FormatToolbarMenuItem},       {"Calendar", CalendarToolbarMenuItem},
            {"Documents", DocumentsToolbarMenuItem}, {"Search", SearchToolbarMenuItem},
            {"Tools", ToolsToolbarMenuItem},
        };
        for (const auto& [key, item] : items) {
            ini.writeBool(toolbars, QString::fromLatin1(key), item->isChecked());
        }
    });
    qb::requestQuit();
    return true;
}

void TMainForm::Exit1Click() {
    close();
}

void TMainForm::MainStayOnTopMenuItemClick() {
    const bool wasVisible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, MainStayOnTopMenuItem->isChecked());
    if (wasVisible) {
        show();  // a change of the window's flags hides it
    }
}

void TMainForm::DesktopCalendarActionExecute() {
    if (DesktopCalendarForm) {
        DesktopCalendarForm->ShowRestored();
    }
    if (RefreshCalendars) {
        RefreshCalendars();
    }
}

void TMainForm::DesktopPopupPopup() {
    DesktopExitMenuItem->setText(isVisible() ? QStringLiteral("Close") : QStringLiteral("Exit"));
}

void TMainForm::DesktopExitMenuItemClick() {
    if (DesktopCalendarForm) {
        DesktopCalendarForm->CloseImageClick();
    }
}

void TMainForm::DesktopEditorWindowMenuItemClick() {
    show();
    if (windowState() & Qt::WindowMinimized) {
        setWindowState(windowState() & ~Qt::WindowMinimized);
    }
}

void TMainForm::DesktopStayOnTopMenuItemClick() {
    if (!DesktopCalendarForm) {
        return;
    }
    const bool wasVisible = DesktopCalendarForm->isVisible();
    DesktopCalendarForm->setWindowFlag(Qt::WindowStaysOnTopHint,
                                       DesktopStayOnTopMenuItem->isChecked());
    if (wasVisible) {
        DesktopCalendarForm->show();
    }
}

// --- Pages ---

int TMainForm::PageCount() const {
    return Pages->PageCount();
}

QWidget* TMainForm::CurrentEditor() const {
    return Pages->CurrentEditor();
}

bool TMainForm::ClosePage(int id) {
    return Pages->ClosePage(id);
}

void TMainForm::CloseAllPages(bool atExit) {
    Pages->CloseAllPages(atExit);
}

void TMainForm::CloseTabActionExecute() {
    Pages->CloseTabActionExecute();
}

// --- Status notice and sounds ---

void TMainForm::ShowStatus(const QString& text) {
    StatusPanel0->setText(text);
    StatusBarTimer->setEnabled(true);
}

QString TMainForm::StatusText() const {
    return StatusPanel0->text();
}

void TMainForm::StatusBarTimerTimer() {
    StatusBarTimer->setEnabled(false);
    StatusPanel0->setText(QString());
}

void TMainForm::PlayProgramSound(const QString& name) {
    if (!OptionsForm || !OptionsForm->PlaySoundsCheckBox ||
        !OptionsForm->PlaySoundsCheckBox->isChecked() || !IsProgramSoundName(name)) {
        return;
    }
    if (!sound_) {
        ownSound_ = std::make_unique<qb::QtSound>();
        sound_ = ownSound_.get();
    }
    sound_->play(name);
}

// --- Painting ---

namespace {

ShadeBox shadeBoxOf(const qb::PaintBox& box) {
    return {box.width(), box.height(), qb::hint(&box), qb::tag(&box)};
}

}  // namespace

void TMainForm::TitlePaintBoxPaint(qb::PaintBox& sender, QPainter& canvas) {
    ShadePaintBox(canvas, shadeBoxOf(sender),
                  ShadeTint::TitleStrip(qb::colorToRGB(BackgroundColor)));
}

void TMainForm::BackgroundPaintBoxPaint(qb::PaintBox& sender, QPainter& canvas) {
    ShadePaintBox(canvas, shadeBoxOf(sender), qb::colorToRGB(BackgroundColor));
}

// --- Panels and tool bars ---

void TMainForm::ToggleCalendarPanelActionExecute() {
    if (CalendarPanel->isHidden()) {
        CalendarPanel->show();
        CalendarSidePanel->show();
        if (RefreshCalendars) {
            RefreshCalendars();
        }
    } else {
        CalendarPanel->hide();
        CalendarSidePanel->hide();
    }
}

void TMainForm::ToggleDocumentsPanelActionExecute() {
    if (DocPanel->isHidden()) {
        DocPanel->show();
        DocSplitter->show();
    } else {
        DocPanel->hide();
        DocSplitter->hide();
    }
}

void TMainForm::ToggleToolbarActionExecute() {
    ControlBar1->setVisible(ControlBar1->isHidden());
}

void TMainForm::FileToolbarMenuItemClick(QAction* sender) {
    QString name = sender->objectName();
    name.remove(QStringLiteral("MenuItem"));
    if (auto* bar = qb::findComponent<QToolBar>(this, name)) {
        bar->setVisible(sender->isChecked());
    }
}

// --- Side panel close images ---

namespace {

// The label's leave comes before the image's enter: where the pointer now is tells whether it
// went onto the image.
bool pointerOn(const QWidget* image) {
    return image->underMouse() || image->rect().contains(image->mapFromGlobal(QCursor::pos()));
}

}  // namespace

void TMainForm::Label14MouseEnter() {
    if (!CloseCalendarTimer->isEnabled()) {
        CloseCalendarImage->show();
    }
}

void TMainForm::Label14MouseLeave() {
    // The pointer may have left the label for the image that lies over it: the image stays.
    if (!CloseCalendarTimer->isEnabled() && !pointerOn(CloseCalendarImage)) {
        CloseCalendarImage->hide();
    }
}

void TMainForm::Label15MouseEnter() {
    if (!CloseDocTimer->isEnabled()) {
        CloseDocImage->show();
    }
}

void TMainForm::Label15MouseLeave() {
    if (!CloseDocTimer->isEnabled() && !pointerOn(CloseDocImage)) {
        CloseDocImage->hide();
    }
}

void TMainForm::CloseCalendarImageMouseMove() {
    CloseCalendarTimer->setEnabled(true);
}

void TMainForm::CloseDocImageMouseMove() {
    CloseDocTimer->setEnabled(true);
}

void TMainForm::CloseCalendarTimerTimer() {
    CloseCalendarImage->hide();
    CloseCalendarTimer->setEnabled(false);
}

void TMainForm::CloseDocTimerTimer() {
    CloseDocImage->hide();
    CloseDocTimer->setEnabled(false);
}

void TMainForm::CloseCalendarImageClick() {
    ExecuteAction(ToggleCalendarPanelAction);
}

void TMainForm::CloseDocImageClick() {
    ExecuteAction(ToggleDocumentsPanelAction);
}

void TMainForm::ButtonImageMouseDown(qb::ImageControl* sender) {
    sender->move(sender->pos() + QPoint(1, 1));
}

void TMainForm::ButtonImageMouseUp(qb::ImageControl* sender) {
    sender->move(sender->pos() - QPoint(1, 1));
    if (sender->objectName() == QLatin1String("CloseTabImage")) {
        ExecuteAction(CloseTabAction);
    } else if (sender->objectName() == QLatin1String("CloseFindImage")) {
        ExecuteAction(FindAction);
    }
}

void TMainForm::stackCalendarPanels() {
    const int width = CalendarPanel->width();
    CalTitlePanel->setGeometry(0, 0, width, 26);
    int top = 26;
    for (QWidget* panel : {CalendarPanel1, CalendarPanel2, CalendarPanel3, CalendarPanel4}) {
        panel->setGeometry(0, top, width, panel->height());
        top += panel->height();
    }
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == CalendarPanel &&
        (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest)) {
        stackCalendarPanels();
    }
    const bool enter = event->type() == QEvent::Enter;
    const bool leave = event->type() == QEvent::Leave;
    if ((enter || leave) && (watched == Label14 || watched == Label15)) {
        qb::runGuarded([&] {
            if (watched == Label14) {
                enter ? Label14MouseEnter() : Label14MouseLeave();
            } else {
                enter ? Label15MouseEnter() : Label15MouseLeave();
            }
        });
    }
    return QMainWindow::eventFilter(watched, event);
}

// --- Commands that open the other windows ---

void TMainForm::SearchActionExecute() {
    if (!SearchForm) {
        return;
    }
    SearchForm->show();
    SearchForm->raise();
    SearchForm->activateWindow();
    SearchForm->SearchEdit->setFocus();
    SearchForm->SearchEdit->selectAll();
}

void TMainForm::ExportActionExecute() {
    TExportForm form(this);
    form.exec();
}

void TMainForm::ImportPicturesActionExecute() {
    TImportPicturesForm form(this);
    form.setWindowIcon(ImportPicturesAction->icon());
    form.RefreshCalendars = RefreshCalendars;
    form.LoadOtherDocNames();
    form.exec();
}

void TMainForm::PictureViewerActionExecute() {
    if (!PictureForm) {
        return;
    }
    PictureForm->BringUp(true);  // also when it is open behind other windows
}

void TMainForm::OptionsActionExecute() {
    if (OptionsForm) {
        OptionsForm->exec();
    }
}

void TMainForm::AboutActionExecute() {
    if (AboutForm) {
        AboutForm->exec();
    }
}

void TMainForm::UserGuideActionExecute() {
    const QString address = WebSiteAddress + QStringLiteral("index.php?GoTo=userguide");
    // Without a browser nothing would show: the user gets the address to open by hand, whenever
    // the desktop's opener finds that out.
    qb::urlOpener().open(QUrl(address), this, [address] {
        qb::dialogs().messageBox(QStringLiteral("The User Guide could not be opened: no web "
                                                "browser could be started.\r\n\r\nIts address "
                                                "is:\r\n") +
                                     address,
                                 QStringLiteral("User Guide"), qb::MessageButtons::Ok,
                                 qb::MessageIcon::Warning);
    });
}

void TMainForm::ChangePasswordActionExecute() {
    if (PasswordForm) {
        PasswordForm->SetChangeMode();
        PasswordForm->exec();
    }
}

// --- Idle enabling ---

void TMainForm::ActionListUpdate() {
    if (inActionUpdate_) {
        return;
    }
    inActionUpdate_ = true;
    // A failed update must not stop every later one.
    const auto done = qScopeGuard([this] { inActionUpdate_ = false; });
    QWidget* editor = CurrentEditor();
    const bool open = editor != nullptr;
    const auto number = [editor](const char* name) {
        return editor ? editor->property(name).toLongLong() : 0;
    };
    SaveAction->setEnabled(open && editor->property("fbIsModified").toBool());
    for (QAction* a : {PrintAction, DeleteEntryAction, CloseTabAction, FontColorMenuItem,
                       FontAction, DefaultFontAction, DefaultFont2Action, DefaultFont3Action,
                       ShiftLeftAction, ShiftRightAction, FindAction, FindAgainAction}) {
        a->setEnabled(open);
    }
    UndoAction->setEnabled(open && number("iIdxUndo") >= 2);
    RedoAction->setEnabled(open && number("iIdxUndo") < number("iMaxUndo"));
    qb::UpdateEditActions(*this);
}
