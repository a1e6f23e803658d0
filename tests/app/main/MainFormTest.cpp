#include "app/FrameWidgets.h"
#include "app/MainExtensionUnit.h"
#include "app/MainUnit.h"
#include "dialogs/OptionsUnit.h"
#include "dialogs/PasswordUnit.h"
#include "menupaint/FlatMenuManager.h"
#include "menupaint/FlatMenuPainter.h"
#include "pages/ShadeUnit.h"
#include "platform/core/Color.h"
#include "platform/ini/IniFile.h"
#include "platform/ui/Application.h"
#include "platform/ui/Components.h"
#include "platform/ui/ImageControl.h"
#include "platform/ui/Timer.h"
#include "store/DatabaseUnit.h"
#include "support/FakeHotKeys.h"
#include "support/FakeSound.h"
#include "support/KeptPointer.h"
#include "support/ManualClock.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedUrlOpener.h"
#include "support/StandInOpener.h"
#include "tools/DesktopCalendarUnit.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QCursor>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <memory>
#include <stdexcept>
#include <utility>

namespace {

// An editor frame as the pages hold it: it counts its closing saves.
class FakeFrame : public QWidget {
    Q_OBJECT

  public:
    FakeFrame(QWidget* parent, int* saves) : QWidget(parent), saves_(saves) {}
    Q_INVOKABLE void SaveOnClose() { ++*saves_; }

  private:
    int* saves_;
};

class MainFormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        qb::clearQuitRequest();
        main = std::make_unique<TMainForm>();
        FirstShow = false;  // the window's own start-up is tested on its own
        IniPath = folder.filePath(QStringLiteral("Marlowick.ini"));
        options = std::make_unique<TOptionsForm>();
        OptionsForm = options.get();
        desktop = std::make_unique<TDesktopCalendarForm>();
        DesktopCalendarForm = desktop.get();
        ConnectProgramWindows();
        main->SetSound(&sound);
    }

    void TearDown() override {
        DesktopCalendarForm = nullptr;
        OptionsForm = nullptr;
        desktop.reset();
        options.reset();
        main.reset();
        qb::clearQuitRequest();
    }

    // Adds an open page as the tabs area holds it; selected pages carry Tag 1 on their border.
    void addPage(int id, bool selected) {
        auto* tab = new QWidget(main->TabsPanel);
        tab->setObjectName(QStringLiteral("TabPanel%1").arg(id));
        qb::setTag(tab, id);
        new QWidget(tab);  // paint box
        auto* border = new QWidget(tab);
        qb::setTag(border, selected ? 1 : 0);
        auto* page = new QWidget(main->PagesPanel);
        page->setObjectName(QStringLiteral("PagePanel%1").arg(id));
        qb::setTag(page, id);
        new FakeFrame(page, &saves);
        main->MainPanel->show();
    }

    bool iniBool(const char* section, const char* key) const {
        return qb::IniFile(IniPath).readBool(QString::fromLatin1(section), QString::fromLatin1(key),
                                             true);
    }

    QTemporaryDir folder;
    qb::ScriptedDialogs boxes;
    qb::FakeSound sound;
    std::unique_ptr<TMainForm> main;
    std::unique_ptr<TOptionsForm> options;
    std::unique_ptr<TDesktopCalendarForm> desktop;
    int saves = 0;
};

TEST(WindowTitleRule, EmptyTitleRestoresTheFullTitleElseProductNameFirst) {
    TMainForm main;
    struct Case {
        QString title;
        QString caption;
        QString applicationTitle;
    };
    const Case cases[] = {
        {QString(), QStringLiteral("Quillbrook - The Marlowick"), QStringLiteral("Quillbrook")},
        {QStringLiteral("March  5, 2005 - Saturday"),
         QStringLiteral("Quillbrook: March  5, 2005 - Saturday"),
         QStringLiteral("March  5, 2005 - Saturday")},
        {QStringLiteral("Welcome"), QStringLiteral("Quillbrook: Welcome"),
         QStringLiteral("Welcome")},
    };
    for (const Case& c : cases) {
        SetWindowTitle(c.title);
        EXPECT_EQ(main.windowTitle(), c.caption) << c.title.toStdString();
        EXPECT_EQ(qb::applicationTitle(), c.applicationTitle) << c.title.toStdString();
    }
}

TEST(Centring, HalvesRoundToTheEvenNeighbour) {
    struct Case {
        int screenW, screenH, windowW, windowH;
        QPoint expected;
    };
    const Case cases[] = {
        {1899, 1024, 876, 659, {512, 162}},  // 511.5 -> 512, 182.5 -> 182
        {1897, 1023, 876, 658, {510, 162}},  // 510.5 -> 510, 182.5 -> 182
        {1024, 768, 876, 659, {74, 34}},     // 74, 54.5 -> 54
        {1024, 768, 877, 660, {74, 34}},     // 73.5 -> 74, 54
        {800, 600, 876, 659, {-38, -50}},    // a window wider than the screen: -38, -29.5 -> -30
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CentredWindowPos(c.screenW, c.screenH, c.windowW, c.windowH), c.expected)
            << c.screenW << "x" << c.screenH;
    }
}

// A small screen or a large scale: the window and its minimum are larger than the screen's area.
TEST_F(MainFormTest, AMainWindowLargerThanTheScreenIsPlacedWhollyOnIt) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    const QRect area = screen->availableGeometry();
    main->setMinimumSize(area.width() + 200, 100);
    main->resize(area.width() + 400, area.height() + 300);
    main->StartupTimerTimer();
    EXPECT_TRUE(area.contains(main->frameGeometry()))
        << main->frameGeometry().x() << "," << main->frameGeometry().y() << " "
        << main->frameGeometry().width() << "x" << main->frameGeometry().height();
    EXPECT_LE(main->minimumWidth(), area.width());
    EXPECT_LE(main->minimumHeight(), area.height());
}

TEST(HotKeyDecision, DesktopCalendarFirstThenTheMainWindow) {
    const Qt::WindowStates normal = Qt::WindowNoState;
    const Qt::WindowStates minimised = Qt::WindowMinimized;
    const Qt::WindowStates maximised = Qt::WindowMaximized;
    struct Case {
        int id;
        bool desktopVisible;
        Qt::WindowStates desktop;
        Qt::WindowStates main;
        HotKeyStep expected;
    };
    const Case cases[] = {
        {HotKeyToday, false, normal, minimised, HotKeyStep::TodayToFront},
        {HotKeyToday, true, normal, normal, HotKeyStep::TodayToFront},
        {HotKeyHideShow, true, normal, maximised, HotKeyStep::MinimizeDesktop},
        {HotKeyHideShow, true, minimised, normal, HotKeyStep::RestoreDesktop},
        {HotKeyHideShow, true, maximised, normal, HotKeyStep::RestoreDesktop},
        {HotKeyHideShow, false, minimised, normal, HotKeyStep::MinimizeApplication},
        {HotKeyHideShow, false, normal, minimised, HotKeyStep::RestoreMain},
        {HotKeyHideShow, false, normal, maximised, HotKeyStep::RestoreMain},
        {3, false, normal, normal, HotKeyStep::None},
        {0, true, normal, normal, HotKeyStep::None},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecideHotKey(c.id, c.desktopVisible, c.desktop, c.main), c.expected)
            << "id " << c.id << " desktop visible " << c.desktopVisible;
    }
}

TEST_F(MainFormTest, HotKeysTakenAreReportedAndTheOtherIsStillRegistered) {
    auto keys = std::make_unique<qb::FakeHotKeys>();
    keys->taken.push_back({Qt::ControlModifier | Qt::AltModifier, Qt::Key_T});
    qb::FakeHotKeys* fake = keys.get();
    main->RegisterHotKeys(std::move(keys));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].kind, QStringLiteral("showMessage"));
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("Unable to assign Ctrl-Alt-T as hotkey."));
    ASSERT_EQ(fake->registered.size(), 1u);
    EXPECT_EQ(fake->registered[0].first, HotKeyHideShow);

    auto both = std::make_unique<qb::FakeHotKeys>();
    both->taken = {{Qt::ControlModifier | Qt::AltModifier, Qt::Key_T},
                   {Qt::ControlModifier | Qt::AltModifier, Qt::Key_H}};
    boxes.shown.clear();
    main->RegisterHotKeys(std::move(both));
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[1].text, QStringLiteral("Unable to assign Ctrl-Alt-H as hotkey."));
}

TEST_F(MainFormTest, WithoutGlobalHotKeysThereIsNoBox) {
    auto keys = std::make_unique<qb::FakeHotKeys>();
    keys->x11 = false;
    main->RegisterHotKeys(std::move(keys));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(MainFormTest, HotKeysActOnlyOnceStartUpHasFinished) {
    int today = 0;
    main->SetActionHandler(main->GoToTodayAction, [&] { ++today; });
    auto keys = std::make_unique<qb::FakeHotKeys>();
    qb::FakeHotKeys* fake = keys.get();
    main->RegisterHotKeys(std::move(keys));
    ASSERT_TRUE(fake->press(HotKeyToday));
    EXPECT_EQ(today, 0);
    main->StartupTimerTimer();
    ASSERT_TRUE(fake->press(HotKeyToday));
    EXPECT_EQ(today, 1);
}

// With the desktop calendar hidden, one press minimises the program's shown windows and the next
// brings them back.
TEST_F(MainFormTest, HideShowHotKeyMinimisesTheProgramAndTheNextPressRestoresIt) {
    auto keys = std::make_unique<qb::FakeHotKeys>();
    qb::FakeHotKeys* fake = keys.get();
    main->RegisterHotKeys(std::move(keys));
    main->StartupTimerTimer();
    QWidget tool(nullptr, Qt::Tool);
    main->show();
    tool.show();
    ASSERT_FALSE(desktop->isVisible());
    ASSERT_TRUE(fake->press(HotKeyHideShow));
    EXPECT_TRUE(main->windowState() & Qt::WindowMinimized);
    EXPECT_TRUE(tool.windowState() & Qt::WindowMinimized);
    ASSERT_TRUE(fake->press(HotKeyHideShow));
    EXPECT_FALSE(main->windowState() & Qt::WindowMinimized);
    EXPECT_FALSE(tool.windowState() & Qt::WindowMinimized);
    main->hide();
}

TEST_F(MainFormTest, StatusNoticeIsClearedFiveSecondsAfterTheFirstNotice) {
    qb::ManualClock clock;
    // The window's timers were made before this clock: a fresh notice timer runs on it.
    main->StatusBarTimer->setEnabled(false);
    main->ShowStatus(QStringLiteral("Entry was Saved."));
    EXPECT_EQ(main->StatusText(), QStringLiteral("Entry was Saved."));
    clock.advance(3000);
    main->ShowStatus(QStringLiteral("Entry was Deleted."));
    EXPECT_EQ(main->StatusText(), QStringLiteral("Entry was Deleted."));
    clock.advance(1999);
    EXPECT_EQ(main->StatusText(), QStringLiteral("Entry was Deleted."));
    clock.advance(1);
    EXPECT_EQ(main->StatusText(), QString());
    EXPECT_FALSE(main->StatusBarTimer->isEnabled());
}

TEST_F(MainFormTest, HintsNeverReachTheStatusBar) {
    // A status tip would hide the notice while a menu item is highlighted.
    for (QAction* action : main->findChildren<QAction*>()) {
        EXPECT_TRUE(action->statusTip().isEmpty()) << action->objectName().toStdString();
    }
}

TEST_F(MainFormTest, SoundsPlayOnlyTheirOwnNamesAndOnlyWithTheOption) {
    struct Case {
        bool option;
        const char* name;
        bool plays;
    };
    const Case cases[] = {
        {true, "BALLOON", true},     {true, "START", true},     {true, "MINIMIZE", true},
        {true, "balloon", false},    {true, "START ", false},   {true, "", false},
        {true, "SystemExit", false}, {false, "BALLOON", false}, {false, "START", false},
    };
    for (const Case& c : cases) {
        sound.played.clear();
        options->PlaySoundsCheckBox->setChecked(c.option);
        main->PlayProgramSound(QString::fromLatin1(c.name));
        EXPECT_EQ(sound.played.size(), c.plays ? 1u : 0u) << c.name << " option " << c.option;
    }
}

TEST_F(MainFormTest, UserGuideThatCannotBeOpenedShowsItsAddress) {
    const QString address = WebSiteAddress + "index.php?GoTo=userguide";
    for (const bool opens : {true, false}) {
        SCOPED_TRACE(opens ? "a browser starts" : "no browser");
        qb::ScriptedUrlOpener browser;
        browser.opens = opens;
        boxes.shown.clear();
        main->UserGuideActionExecute();
        EXPECT_EQ(browser.opened, std::vector<QUrl>{QUrl(address)});
        if (opens) {
            EXPECT_TRUE(boxes.shown.empty());
            continue;
        }
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].title, "User Guide");
        EXPECT_TRUE(boxes.shown[0].text.endsWith("\r\n" + address));
    }
}

TEST_F(MainFormTest, UserGuideBoxComesWhenTheDesktopOpenerFailsHoweverLate) {
    struct Case {
        const char* name;
        QByteArray script;
        bool box;
    };
    const Case cases[] = {
        {"fails after 3 s", "sleep 3; exit 3", true},
        {"hands the address to a browser", "exit 0", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        qb::StandInOpener path("touch \"$(dirname \"$0\")/ran\"; " + c.script);
        ASSERT_TRUE(path.written());
        boxes.shown.clear();
        int ticks = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
        ticker.start(100);
        QElapsedTimer clock;
        clock.start();
        main->UserGuideActionExecute();
        EXPECT_LT(clock.elapsed(), 1500);  // far below the opener's 3 s, even on a loaded machine
        EXPECT_TRUE(boxes.shown.empty());
        const QString ran = path.folder() + QStringLiteral("/ran");
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(ran); }, 5000));
        if (!c.box) {
            QTest::qWait(500);
            EXPECT_TRUE(boxes.shown.empty());
            continue;
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return !boxes.shown.empty(); }, 10000));
        EXPECT_GE(clock.elapsed(), 2900);
        EXPECT_GE(ticks, 20);  // the window went on with its events while the opener ran
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].title, "User Guide");
    }
}

TEST_F(MainFormTest, RealExitClosesEveryPageByIdWritesTheKeysAndEnds) {
    addPage(1, false);
    addPage(2, true);
    addPage(3, false);
    main->ExecuteAction(main->ToggleDocumentsPanelAction);
    main->FileToolbarMenuItem->trigger();
    EXPECT_TRUE(main->FormClose());
    EXPECT_EQ(saves, 3);
    EXPECT_EQ(main->PageCount(), 0);
    EXPECT_TRUE(main->MainPanel->isHidden());
    EXPECT_EQ(main->windowTitle(), FullTitle);
    EXPECT_TRUE(qb::quitRequested());
    EXPECT_TRUE(iniBool("General", "SideCalendarPanel"));
    EXPECT_FALSE(iniBool("General", "SideDocumentPanel"));
    EXPECT_TRUE(iniBool("General", "ToolBar"));
    EXPECT_FALSE(iniBool("Toolbars", "File"));
    EXPECT_TRUE(iniBool("Toolbars", "Tools"));
}

TEST_F(MainFormTest, ClosingWhileTheDesktopCalendarShowsOnlyHides) {
    struct Case {
        bool closeAllOpenPages;
        int savesExpected;
        int pagesLeft;
    };
    for (const Case& c : {Case{false, 0, 2}, Case{true, 2, 0}}) {
        saves = 0;
        addPage(10, true);
        addPage(11, false);
        options->CloseAllOpenPagesCheckBox->setChecked(c.closeAllOpenPages);
        desktop->show();
        main->show();
        EXPECT_FALSE(main->FormClose());
        EXPECT_FALSE(main->isVisible());
        EXPECT_EQ(saves, c.savesExpected);
        EXPECT_EQ(main->PageCount(), c.pagesLeft);
        EXPECT_FALSE(qb::quitRequested());
        EXPECT_FALSE(QFile::exists(IniPath));
        main->CloseAllPages();
    }
}

TEST_F(MainFormTest, ClosingTheDesktopCalendarWhileTheMainWindowIsHiddenEnds) {
    addPage(4, true);
    main->ExecuteAction(main->ToggleCalendarPanelAction);
    desktop->show();
    main->hide();
    main->DesktopPopupPopup();
    EXPECT_EQ(main->DesktopExitMenuItem->text(), QStringLiteral("Exit"));
    main->DesktopExitMenuItem->trigger();
    EXPECT_FALSE(desktop->isVisible());
    EXPECT_EQ(saves, 1);  // the page behind the hidden window is saved, not lost
    EXPECT_TRUE(qb::quitRequested());
    EXPECT_FALSE(iniBool("General", "SideCalendarPanel"));
    EXPECT_TRUE(iniBool("General", "SideDocumentPanel"));
}

TEST_F(MainFormTest, ClosingTheDesktopCalendarWhileTheMainWindowShowsGoesOn) {
    main->show();
    desktop->show();
    main->DesktopPopupPopup();
    EXPECT_EQ(main->DesktopExitMenuItem->text(), QStringLiteral("Close"));
    desktop->CloseImageClick();
    EXPECT_FALSE(desktop->isVisible());
    EXPECT_FALSE(qb::quitRequested());
    EXPECT_FALSE(QFile::exists(IniPath));
}

TEST_F(MainFormTest, SettingsThatCannotBeWrittenAtExitAreReportedOnceAndTheProgramEnds) {
    IniPath = folder.filePath(QStringLiteral("missing/folder/Marlowick.ini"));
    EXPECT_TRUE(main->FormClose());
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(qb::quitRequested());
}

TEST_F(MainFormTest, SettingsThatCannotBeWrittenAtTheDesktopCalendarsEndAreReportedOnce) {
    addPage(5, true);
    IniPath = folder.filePath(QStringLiteral("missing/folder/Marlowick.ini"));
    desktop->show();
    desktop->move(desktop->pos() + QPoint(-20, 30));  // its place is kept too
    main->hide();
    desktop->CloseImageClick();
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(qb::quitRequested());  // never both windows hidden with the program running
}

TEST_F(MainFormTest, StartUpStopsAtTheQuitMarkBeforeTheStartUpTimer) {
    // No database in the program folder: the store says so and sets the quit mark.
    TPasswordForm password;
    PasswordForm = &password;
    AppFolder = folder.path() + QLatin1Char('/');
    TDataModule1 store(AppFolder, *EntryCipher);
    DataModule1 = &store;
    ConnectProgramWindows();
    FirstShow = true;
    main->FormShow();
    EXPECT_GT(qb::tag(password.CancelButton), 0);
    EXPECT_TRUE(qb::quitRequested());
    EXPECT_FALSE(main->StartupTimer->isEnabled());
    // The icon column's colour was set before the database was opened.
    EXPECT_EQ(main->FlatMenuPainter1->IconBackColor(),
              DarkenColor(qb::colorToRGB(qb::clBtnFace), 10, 10, 10));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("Error opening database.    "));
    DataModule1 = nullptr;
    PasswordForm = nullptr;
}

TEST_F(MainFormTest, StartUpTimerRestoresPanelsAndCanLeaveOnlyTheDesktopCalendar) {
    qb::IniFile ini(IniPath);
    ini.writeBool(QStringLiteral("General"), QStringLiteral("SideCalendarPanel"), false);
    ini.writeBool(QStringLiteral("General"), QStringLiteral("ToolBar"), false);
    ini.writeBool(QStringLiteral("General"), QStringLiteral("OnlyShowDesktop"), true);
    main->show();
    main->StartupTimerTimer();
    EXPECT_TRUE(main->CalendarPanel->isHidden());
    EXPECT_TRUE(main->CalendarSidePanel->isHidden());
    EXPECT_FALSE(main->DocPanel->isHidden());
    EXPECT_TRUE(main->ControlBar1->isHidden());
    EXPECT_TRUE(desktop->isVisible());
    EXPECT_FALSE(main->isVisible());
    EXPECT_FALSE(qb::quitRequested());
    EXPECT_FALSE(main->StartupTimer->isEnabled());
    EXPECT_TRUE(main->StartupFinished());
}

TEST_F(MainFormTest, ToolbarItemsShowAndHideTheirOwnBarAndTheWholeBarKeepsThem) {
    main->show();
    main->SearchToolbarMenuItem->trigger();
    EXPECT_TRUE(main->SearchToolBar->isHidden());
    EXPECT_FALSE(main->SearchToolbarMenuItem->isChecked());
    main->ExecuteAction(main->ToggleToolbarAction);
    EXPECT_TRUE(main->ControlBar1->isHidden());
    main->ExecuteAction(main->ToggleToolbarAction);
    EXPECT_FALSE(main->ControlBar1->isHidden());
    EXPECT_TRUE(main->SearchToolBar->isHidden());
    EXPECT_FALSE(main->FileToolBar->isHidden());
    main->SearchToolbarMenuItem->trigger();
    EXPECT_FALSE(main->SearchToolBar->isHidden());
}

TEST_F(MainFormTest, ToolBarsKeepTheirMinimumWidthsAndShowShortHints) {
    const std::pair<QToolBar*, int> bars[] = {
        {main->FileToolBar, 62},     {main->EditToolbar, 139},     {main->FormatToolbar, 299},
        {main->CalendarToolBar, 99}, {main->DocumentsToolBar, 27}, {main->SearchToolBar, 75},
        {main->ToolsToolBar, 51},
    };
    for (const auto& [bar, width] : bars) {
        EXPECT_EQ(bar->minimumWidth(), width) << bar->objectName().toStdString();
    }
    EXPECT_EQ(main->CutAction->toolTip(), QStringLiteral("Cut"));
    EXPECT_EQ(qb::hint(main->CutAction),
              QStringLiteral("Cut|Cuts the selection and puts it on the Clipboard"));
    EXPECT_EQ(main->SearchAction->toolTip(), QStringLiteral("Search All Entries"));
}

TEST_F(MainFormTest, CloseImageStaysFourSecondsOnceThePointerReachedIt) {
    qb::ManualClock clock;
    main->CloseCalendarTimer->setInterval(1);  // put the timer on the manual clock
    main->CloseCalendarTimer->setInterval(4000);
    main->show();
    main->Label14MouseEnter();
    EXPECT_FALSE(main->CloseCalendarImage->isHidden());
    main->CloseCalendarImageMouseMove();
    main->Label14MouseLeave();
    EXPECT_FALSE(main->CloseCalendarImage->isHidden());
    clock.advance(3999);
    main->Label14MouseEnter();
    EXPECT_FALSE(main->CloseCalendarImage->isHidden());
    clock.advance(1);
    EXPECT_TRUE(main->CloseCalendarImage->isHidden());
    EXPECT_FALSE(main->CloseCalendarTimer->isEnabled());
    main->Label14MouseEnter();
    EXPECT_FALSE(main->CloseCalendarImage->isHidden());
    main->Label14MouseLeave();
    EXPECT_TRUE(main->CloseCalendarImage->isHidden());
    // Leaving the label for the image that lies on it keeps the image, so it can be clicked.
    main->Label14MouseEnter();
    const QPoint onImage = main->CloseCalendarImage->mapToGlobal(QPoint(8, 8));
    const qbtest::KeptPointer keptPointer;
    QCursor::setPos(onImage);
    ASSERT_EQ(QCursor::pos(), onImage) << "the pointer could not be moved onto the image";
    main->Label14MouseLeave();
    EXPECT_FALSE(main->CloseCalendarImage->isHidden());
    // A click on the image hides its panel.
    main->CloseCalendarImageClick();
    EXPECT_TRUE(main->CalendarPanel->isHidden());
}

TEST_F(MainFormTest, PressedImagesReturnToTheirPlaceAndCloseTheSelectedPage) {
    addPage(7, false);
    addPage(8, true);
    const QPoint place = main->CloseTabImage->pos();
    main->ButtonImageMouseDown(main->CloseTabImage);
    EXPECT_EQ(main->CloseTabImage->pos(), place + QPoint(1, 1));
    main->ButtonImageMouseUp(main->CloseTabImage);
    EXPECT_EQ(main->CloseTabImage->pos(), place);
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(main->PageCount(), 1);
    EXPECT_EQ(qb::findComponent(main.get(), QStringLiteral("TabPanel8")), nullptr);
}

TEST_F(MainFormTest, IdleEnablingFollowsTheCurrentEditor) {
    main->ActionListUpdate();
    for (QAction* a : {main->SaveAction, main->PrintAction, main->CloseTabAction, main->UndoAction,
                       main->RedoAction, main->FindAction, main->FontColorMenuItem}) {
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    }
    addPage(5, true);
    main->ActionListUpdate();
    EXPECT_FALSE(main->SaveAction->isEnabled());
    EXPECT_TRUE(main->PrintAction->isEnabled());
    EXPECT_TRUE(main->FontColorMenuItem->isEnabled());
    QWidget* editor = main->CurrentEditor();
    ASSERT_NE(editor, nullptr);
    editor->setProperty("fbIsModified", true);
    editor->setProperty("iIdxUndo", 2);
    editor->setProperty("iMaxUndo", 3);
    main->ActionListUpdate();
    EXPECT_TRUE(main->SaveAction->isEnabled());
    EXPECT_TRUE(main->UndoAction->isEnabled());
    EXPECT_TRUE(main->RedoAction->isEnabled());
}

TEST_F(MainFormTest, AnUpdateThatFailsOnceStillLetsTheNextUpdatesRun) {
    bool failNext = true;
    QObject::connect(main->SaveAction, &QAction::enabledChanged, [&failNext] {
        if (std::exchange(failNext, false)) {
            throw std::runtime_error("changed handler failed");
        }
    });
    main->SaveAction->setEnabled(true);
    EXPECT_THROW(main->ActionListUpdate(), std::runtime_error);
    main->PrintAction->setEnabled(true);
    main->ActionListUpdate();
    EXPECT_FALSE(main->PrintAction->isEnabled());  // no page is open
}

QStringList captionsOf(const QMenu* menu) {
    QStringList captions;
    for (const QAction* a : menu->actions()) {
        captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
    }
    return captions;
}

TEST_F(MainFormTest, MainMenusHoldTheirItemsInOrder) {
    const std::pair<const char*, QStringList> menus[] = {
        {"&File",
         {"Save", "Print", "-", "Close Tab", "-", "Delete Entry", "-", "Stay On Top", "-", "Exit"}},
        {"Edit", {"Undo", "Redo", "-", "Cu&t", "&Copy", "&Paste", "Select &All"}},
        {"Calendar",
         {"Go To Today's Entry", "-", "Next Month", "Previous Month", "-", "Show Desktop Calendar",
          "-", "Toggle Calendar Panel"}},
        {"Documents", {"New Document", "-", "Toggle Documents Panel", "-"}},
        {"Search", {"Find", "Find Again", "-", "Search All Documents"}},
        {"Tools",
         {"Options", "-", "Picture Viewer", "-", "Import Pictures", "Export Entries", "-",
          "Set/Change Password", "-", "Compact Database"}},
        {"View",
         {"Toggle Calendar Panel", "-", "Toggle Documents Panel", "-", "Toggle Entire Toolbar",
          "Toolbars"}},
        {"Help", {"User Guide", "-", "About"}},
    };
    const QList<QAction*> top = main->menuBar()->actions();
    QStringList titles;
    for (const QAction* a : top) {
        titles << a->text();
    }
    EXPECT_EQ(titles, (QStringList{"&File", "Edit", "Format", "Calendar", "Documents", "Search",
                                   "Tools", "View", "Help"}));
    for (const auto& [title, items] : menus) {
        for (const QAction* a : top) {
            if (a->text() == QLatin1String(title)) {
                EXPECT_EQ(captionsOf(a->menu()), items) << title;
            }
        }
    }
    EXPECT_EQ(main->ShiftLeftAction->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_H));
    EXPECT_EQ(main->RedoAction->shortcut(), QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(main->SearchAction->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F3));
    EXPECT_EQ(captionsOf(main->DesktopPopup),
              (QStringList{"Editor Window", "-", "Calendar", "-", "Documents", "-", "Search", "-",
                           "Tools", "-", "Help", "-", "Stay On Top", "-", "Exit"}));
    EXPECT_TRUE(main->DesktopStayOnTopMenuItem->isChecked());
    EXPECT_FALSE(main->MainStayOnTopMenuItem->isChecked());
}

TEST_F(MainFormTest, TheWindowsMenusAreDrawnFlatAndItServesTheOtherWindows) {
    TFlatMenuPainter* painter = main->FlatMenuPainter1;
    ASSERT_NE(painter, nullptr);
    EXPECT_TRUE(painter->Active());
    EXPECT_TRUE(painter->Gradient());
    EXPECT_EQ(MenuManager->ActiveMenuPainter(), painter);
    for (QMenu* menu : {main->Document1, main->DocumentPopup, main->DesktopPopup}) {
        EXPECT_EQ(TFlatMenuManager::PainterOfMenu(menu), painter) << menu->title().toStdString();
    }
    EXPECT_EQ(TFlatMenuManager::PainterOfMenu(main->menuBar()), painter);
    // The options dialog's OK button keeps its own look.
    EXPECT_FALSE(painter->FlatContainers().contains(TFlatContainer::fccForm));
}

TEST_F(MainFormTest, ExecutingAnActionRunsItsHandlerAlsoWhenDisabled) {
    int runs = 0;
    main->SetActionHandler(main->NewAction, [&] {
        ++runs;
        throw std::runtime_error("Table is not open");
    });
    main->NewAction->setEnabled(false);
    main->ExecuteAction(main->NewAction);
    EXPECT_EQ(runs, 1);
    ASSERT_EQ(boxes.shown.size(), 1u);  // the error is shown, the program goes on
    EXPECT_TRUE(boxes.shown[0].text.startsWith(QStringLiteral("Table is not open")));
}

}  // namespace

#include "MainFormTest.moc"
