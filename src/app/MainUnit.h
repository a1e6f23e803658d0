#pragma once
// The main window: the frame around the editor pages (tool bars, side panels for the month
// calendars and the documents, the tabs and pages area, the find bar, the status bar), its
// actions, menus and pop-up menus, and the program's start-up, hot-key and close handlers.

#include "platform/ui/HotKeys.h"
#include "platform/ui/Sound.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <vector>

class QAction;
class QActionGroup;
class QLabel;
class QLineEdit;
class QMenu;
class QScrollArea;
class QStatusBar;
class QToolBar;
class TCustomPageControl;
class TFlatMenuPainter;
class TQbBlowfish;

namespace qb {
class PaintBox;
class Timer;
class ImageControl;
class SideSplitter;
}  // namespace qb

// What Ctrl+Alt+T and Ctrl+Alt+H do, decided from the windows' states.
enum class HotKeyStep {
    None,
    TodayToFront,         // today's page, main window to the front (restored when minimised)
    MinimizeDesktop,      // desktop calendar minimised
    RestoreDesktop,       // desktop calendar normal, to the front, focused
    MinimizeApplication,  // the whole program minimised
    RestoreMain,          // main window normal, to the front, focused
};

constexpr int HotKeyToday = 1;
constexpr int HotKeyHideShow = 2;

HotKeyStep DecideHotKey(int id, bool desktopVisible, Qt::WindowStates desktopState,
                        Qt::WindowStates mainState);

// The main window centred on the screen, 20 pixels above the middle; halves round to the even
// neighbour (511.5 gives 512, 510.5 gives 510).
QPoint CentredWindowPos(int screenWidth, int screenHeight, int windowWidth, int windowHeight);

// True for the names of the program's wave sounds ("BALLOON", "START", "MINIMIZE", exactly).
bool IsProgramSoundName(const QString& name);

class TMainForm : public QMainWindow {
    Q_OBJECT

  public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // --- Layout ---
    QWidget* ControlBar1 = nullptr;
    QToolBar* FileToolBar = nullptr;
    QToolBar* EditToolbar = nullptr;
    QToolBar* FormatToolbar = nullptr;
    QToolBar* CalendarToolBar = nullptr;
    QToolBar* DocumentsToolBar = nullptr;
    QToolBar* SearchToolBar = nullptr;
    QToolBar* ToolsToolBar = nullptr;
    QStatusBar* StatusBar = nullptr;
    QLabel* StatusPanel0 = nullptr;  // panel 0 of the status bar, 250 wide
    QWidget* CenterPanel = nullptr;

    QWidget* CalendarPanel = nullptr;
    QWidget* CalTitlePanel = nullptr;
    qb::PaintBox* PaintBox2 = nullptr;
    QLabel* Label14 = nullptr;
    qb::ImageControl* CloseCalendarImage = nullptr;
    QWidget* CalendarPanel1 = nullptr;
    QWidget* CalendarPanel2 = nullptr;
    QWidget* CalendarPanel3 = nullptr;
    QWidget* CalendarPanel4 = nullptr;
    qb::PaintBox* CalendarPaintBox1 = nullptr;
    qb::PaintBox* CalendarPaintBox2 = nullptr;
    qb::PaintBox* CalendarPaintBox3 = nullptr;
    qb::PaintBox* CalendarPaintBox4 = nullptr;
    qb::PaintBox* CalendarPaintBox5 = nullptr;
    QWidget* CalendarSidePanel = nullptr;

    QWidget* DocPanel = nullptr;
    qb::SideSplitter* DocSplitter = nullptr;
    QWidget* DocTitlePanel = nullptr;
    qb::PaintBox* PaintBox3 = nullptr;
    QLabel* Label15 = nullptr;
    qb::ImageControl* CloseDocImage = nullptr;
    QScrollArea* DocumentScrollBox = nullptr;
    qb::PaintBox* DocPanelPaintBox = nullptr;

    QWidget* Panel2 = nullptr;
    QWidget* MainPanel = nullptr;
    QWidget* TabsPanel = nullptr;
    QWidget* ClosePanel = nullptr;
    qb::ImageControl* CloseTabImage = nullptr;
    qb::ImageControl* UndockImage = nullptr;
    QWidget* PagesPanel = nullptr;
    QWidget* FindPanel = nullptr;
    qb::ImageControl* CloseFindImage = nullptr;
    QLineEdit* FindEdit = nullptr;
    QWidget* SelBorderShape1 = nullptr;
    QWidget* SelBorderShape2 = nullptr;
    QWidget* SelBorderShape3 = nullptr;
    QWidget* SelBorderShape4 = nullptr;

    // --- Timers ---
    qb::Timer* StartupTimer = nullptr;
    qb::Timer* StatusBarTimer = nullptr;
    qb::Timer* CloseCalendarTimer = nullptr;
    qb::Timer* CloseDocTimer = nullptr;

    // --- Actions ---
    QAction* CutAction = nullptr;
    QAction* CopyAction = nullptr;
    QAction* PasteAction = nullptr;
    QAction* SelectAllAction = nullptr;
    QAction* UndoAction = nullptr;
    QAction* RedoAction = nullptr;
    QAction* SaveAction = nullptr;
    QAction* PrintAction = nullptr;
    QAction* CloseTabAction = nullptr;
    QAction* DeleteEntryAction = nullptr;
    QAction* BoldAction = nullptr;
    QAction* ItalicAction = nullptr;
    QAction* UnderlineAction = nullptr;
    QAction* StrikeOutAction = nullptr;
    QAction* BulletsAction = nullptr;
    QAction* AlignLeftAction = nullptr;
    QAction* AlignCenterAction = nullptr;
    QAction* AlignRightAction = nullptr;
    QAction* DefaultFontAction = nullptr;
    QAction* DefaultFont2Action = nullptr;
    QAction* DefaultFont3Action = nullptr;
    QAction* FontAction = nullptr;
    QAction* BlackAction = nullptr;
    QAction* NavyAction = nullptr;
    QAction* BlueAction = nullptr;
    QAction* TealAction = nullptr;
    QAction* AquaAction = nullptr;
    QAction* MaroonAction = nullptr;
    QAction* RedAction = nullptr;
    QAction* GreenAction = nullptr;
    QAction* LimeAction = nullptr;
    QAction* YellowAction = nullptr;
    QAction* PurpleAction = nullptr;
    QAction* GrayAction = nullptr;
    QAction* OtherColorAction = nullptr;
    QAction* ShiftLeftAction = nullptr;
    QAction* ShiftRightAction = nullptr;
    QAction* GoToTodayAction = nullptr;
    QAction* NextMonthAction = nullptr;
    QAction* PreviousMonthAction = nullptr;
    QAction* DesktopCalendarAction = nullptr;
    QAction* NewAction = nullptr;
    QAction* FindAction = nullptr;
    QAction* FindAgainAction = nullptr;
    QAction* SearchAction = nullptr;
    QAction* ImportPicturesAction = nullptr;
    QAction* ExportAction = nullptr;
    QAction* PictureViewerAction = nullptr;
    QAction* OptionsAction = nullptr;
    QAction* ChangePasswordAction = nullptr;
    QAction* AboutAction = nullptr;
    QAction* UserGuideAction = nullptr;
    QAction* ToggleCalendarPanelAction = nullptr;
    QAction* ToggleDocumentsPanelAction = nullptr;
    QAction* ToggleToolbarAction = nullptr;

    // --- Menus ---
    QMenu* Document1 = nullptr;  // main menu "Documents"; document items are added after it
    QAction* MainStayOnTopMenuItem = nullptr;
    QAction* Exit1 = nullptr;
    QAction* CompactDatabase1 = nullptr;
    QAction* FontColorMenuItem = nullptr;
    QAction* FileToolbarMenuItem = nullptr;
    QAction* EditToolbarMenuItem = nullptr;
    QAction* FormatToolbarMenuItem = nullptr;
    QAction* CalendarToolbarMenuItem = nullptr;
    QAction* DocumentsToolbarMenuItem = nullptr;
    QAction* SearchToolbarMenuItem = nullptr;
    QAction* ToolsToolbarMenuItem = nullptr;
    QMenu* DocumentPopup = nullptr;  // every editor's context menu
    QMenu* DesktopPopup = nullptr;   // the desktop calendar's menu
    QMenu* Documents1 = nullptr;     // its "Documents"; document items are added after it
    QAction* DesktopEditorWindowMenuItem = nullptr;
    QAction* DesktopStayOnTopMenuItem = nullptr;
    QAction* DesktopExitMenuItem = nullptr;
    // Draws the menus of every window of the program flat.
    TFlatMenuPainter* FlatMenuPainter1 = nullptr;

    // --- Actions: handlers and execution ---
    // The handler that an action runs from its menu items, buttons and shortcuts. Areas that
    // do an action's work install its handler here.
    void SetActionHandler(QAction* action, std::function<void()> handler);
    // Runs the action's handler, guarded, whether or not the action is enabled.
    void ExecuteAction(QAction* action);
    // Runs the action as its shortcut, menu item or button does: after the idle update, and
    // only while it is enabled.
    void RunEnabledAction(QAction* action);

    // Page routines that other areas provide; each does nothing until it is installed.
    std::function<void()> RefreshCalendars;
    std::function<void()> RefreshDocumentList;
    std::function<void(const QString& name)> ShowDocument;

    // --- Pages (the tabs in TabsPanel, each with its page in PagesPanel) ---
    // The tabs and pages themselves (pages/CustomPageControl.h); the members below go to it.
    TCustomPageControl* Pages = nullptr;
    // The editor frame of the selected tab, or nullptr.
    QWidget* CurrentEditor() const;
    // Saves and frees one page; false when its save failed and the page stays open.
    bool ClosePage(int id);
    // Closes every open page by its id, each saving its text. At the program's exit a page
    // whose save fails is closed all the same (its frame keeps its text in a file); otherwise
    // it stays open.
    void CloseAllPages(bool atExit = true);
    int PageCount() const;

    // --- Handlers ---
    void FormCreate();
    void FormShow();
    void StartupTimerTimer();
    void WMHotKey(int id);
    // The main window is being closed; false when it only hides.
    bool FormClose();
    void Exit1Click();
    void MainStayOnTopMenuItemClick();
    void DesktopCalendarActionExecute();
    void DesktopPopupPopup();
    void DesktopExitMenuItemClick();
    void DesktopEditorWindowMenuItemClick();
    void DesktopStayOnTopMenuItemClick();

    void ShowStatus(const QString& text);
    QString StatusText() const;
    void StatusBarTimerTimer();
    void PlayProgramSound(const QString& name);
    void TitlePaintBoxPaint(qb::PaintBox& sender, QPainter& canvas);
    void BackgroundPaintBoxPaint(qb::PaintBox& sender, QPainter& canvas);
    void ToggleCalendarPanelActionExecute();
    void ToggleDocumentsPanelActionExecute();
    void ToggleToolbarActionExecute();
    void FileToolbarMenuItemClick(QAction* sender);
    void Label14MouseEnter();
    void Label14MouseLeave();
    void Label15MouseEnter();
    void Label15MouseLeave();
    void CloseCalendarImageMouseMove();
    void CloseDocImageMouseMove();
    void CloseCalendarTimerTimer();
    void CloseDocTimerTimer();
    void CloseCalendarImageClick();
    void CloseDocImageClick();
    void ButtonImageMouseDown(qb::ImageControl* sender);
    void ButtonImageMouseUp(qb::ImageControl* sender);
    void CloseTabActionExecute();
    void SearchActionExecute();
    void ExportActionExecute();
    void ImportPicturesActionExecute();
    void PictureViewerActionExecute();
    void OptionsActionExecute();
    void AboutActionExecute();
    void UserGuideActionExecute();
    void ChangePasswordActionExecute();
    void ActionListUpdate();

    // Start-up has finished (the start-up timer has run): the hot keys act from then on.
    bool StartupFinished() const { return startupFinished_; }
    // Registers the two global hot keys on this window (through keys, or the platform's when
    // none are given); a key that another program holds is reported, and where the platform has
    // no global hot keys the program runs without them and says nothing.
    void RegisterHotKeys(std::unique_ptr<qb::HotKeys> keys = nullptr);
    qb::HotKeys* HotKeys() const { return hotKeys_.get(); }

    // The sounds the program plays (not owned); by default the platform's, made at the first
    // sound so that start-up does not wait for the audio system.
    void SetSound(qb::Sound* sound) { sound_ = sound; }

    // Writes the three General keys of the side panels and the tool bar (may throw).
    void WritePanelKeys();

    // Font of the window layout (Tahoma 8 where installed, else the closest installed face).
    static QFont LayoutFont();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildActions();
    void buildMenus();
    void buildPopups();
    void buildToolBars();
    void buildLayout();
    void buildCalendarPanel(QWidget* parent);
    void buildDocPanel(QWidget* parent);
    void buildMainPanel(QWidget* parent);
    QAction* makeAction(QAction*& field, const char* name, const QString& caption,
                        const QString& hint, const QKeySequence& shortcut, const QString& category);
    void stackCalendarPanels();
    void parkWindow();
    QToolBar* makeToolBar(QToolBar*& field, const char* name, int minWidth,
                          const std::vector<QAction*>& actions, int buttonWidth = 0);

    std::unique_ptr<TQbBlowfish> cipher_;
    std::unique_ptr<qb::HotKeys> hotKeys_;
    std::vector<QPointer<QWidget>> minimisedByHotKey_;  // by the last Ctrl+Alt+H
    std::unique_ptr<qb::Sound> ownSound_;
    qb::Sound* sound_ = nullptr;
    std::map<QAction*, std::function<void()>> handlers_;
    bool startupFinished_ = false;
    bool inActionUpdate_ = false;
    bool parked_ = false;
    QPoint imagePressOffset_;

    friend void InitializeApplication();
};

extern TMainForm* MainForm;
