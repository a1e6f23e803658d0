#include "tools/DesktopCalendarUnit.h"

#include "pages/CalendarUnit.h"
#include "platform/ini/IniFile.h"
#include "platform/ui/Components.h"
#include "platform/ui/ImageControl.h"
#include "platform/ui/PaintBox.h"
#include "platform/ui/Timer.h"
#include "support/ManualClock.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <memory>
#include <vector>

namespace {

const QRect kScreen(0, 0, 1024, 768);

TEST(RollSteps, FortyThreeStepsOfFiveAndALastOfThree) {
    std::vector<int> down{26};
    while (down.back() != qb::kRolledDownHeight) {
        down.push_back(qb::NextRollHeight(down.back(), qb::kRolledDownHeight));
    }
    ASSERT_EQ(down.size(), 45u);  // the start and 44 steps
    EXPECT_EQ(down[43], 241);
    EXPECT_EQ(down[44], 244);
    std::vector<int> up{244};
    while (up.back() != qb::kRolledUpHeight) {
        up.push_back(qb::NextRollHeight(up.back(), qb::kRolledUpHeight));
    }
    EXPECT_EQ(up.size(), 45u);
    EXPECT_EQ(up[1], 239);
    EXPECT_EQ(qb::NextRollHeight(244, 244), 244);
}

TEST(Placing, KeptWhereAnyPartShowsElseTopRightOfTheNearestScreen) {
    const QRect right(1024, -200, 1280, 1024);  // a second monitor, higher up
    struct Case {
        QPoint at;
        std::vector<QRect> screens;
        QPoint expected;
    };
    const Case cases[] = {
        {{3000, 0}, {kScreen}, {711, 0}},       // beyond the right edge
        {{100, 5000}, {kScreen}, {711, 0}},     // beyond the bottom
        {{-400, -400}, {kScreen}, {711, 0}},    // above and left of it
        {{1000, 700}, {kScreen}, {1000, 700}},  // mostly off, but a corner shows
        {{1500, -150}, {kScreen, right}, {1500, -150}},
        {{3000, 0}, {kScreen, right}, {1024 + 1280 - 213 - 100, -200}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(qb::PlaceOnScreens(QRect(c.at, QSize(213, 244)), c.screens), c.expected)
            << c.at.x() << "," << c.at.y();
    }
}

class DesktopCalendarTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        qb::setDialogs(&boxes);
        form = std::make_unique<TDesktopCalendarForm>();
        qb::DesktopCalendarServices& s = form->Services;
        s.mainWindowVisible = [this] { return mainVisible; };
        s.closePagesForExit = [this] {
            log.push_back("pages");
            return pagesClose;
        };
        s.writeExitKeys = [this] { log.push_back("keys"); };
        s.endProgram = [this] { log.push_back("end"); };
        s.settingsPath = [this] { return iniPath(); };
        s.autoSlideUp = [this] { return autoSlideUp; };
        s.playSound = [this](const QString& name) { sounds.push_back(name); };
        s.showMenu = [this](const QPoint& at) { menuAt.push_back(at); };
        s.previousMonth = [this] { log.push_back("previous"); };
        s.nextMonth = [this] { log.push_back("next"); };
        s.screens = [] { return std::vector<QRect>{kScreen}; };
        form->SetAlpha(230);
    }

    void TearDown() override {
        form.reset();
        qb::setDialogs(nullptr);
    }

    QString iniPath() const { return folder.filePath(QStringLiteral("Marlowick.ini")); }

    void click(qb::ImageControl* image) {
        const QPointF at(8, 8);
        QMouseEvent press(QEvent::MouseButtonPress, at, image->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(image, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, image->mapToGlobal(at), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(image, &release);
    }

    // A mouse event on the title strip at a screen point.
    void strip(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held,
               const QPoint& global) {
        const QPointF local = form->PaintBox2->mapFromGlobal(QPointF(global));
        QMouseEvent event(type, local, QPointF(global), button, held, Qt::NoModifier);
        QApplication::sendEvent(form->PaintBox2, &event);
    }

    void moveOverMonth() {
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 200), QPointF(5, 200), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(form->Shape2, &move);
    }

    QTemporaryDir folder;
    qb::ManualClock clock;
    qb::ScriptedDialogs boxes;
    std::unique_ptr<TDesktopCalendarForm> form;
    std::vector<std::string> log;
    std::vector<QString> sounds;
    std::vector<QPoint> menuAt;
    bool mainVisible = true;
    bool pagesClose = true;
    bool autoSlideUp = true;
};

TEST_F(DesktopCalendarTest, RollsUpAndDownInAboutSevenTenthsOfASecondWithItsSound) {
    form->show();
    EXPECT_EQ(form->size(), QSize(213, 244));
    EXPECT_EQ(form->FrontRollImage(), form->UpImage);

    click(form->FrontRollImage());
    EXPECT_EQ(sounds, std::vector<QString>{QStringLiteral("START")});
    EXPECT_TRUE(form->Rolling());
    EXPECT_DOUBLE_EQ(form->windowOpacity(), 1.0);  // no blending while the height changes
    clock.advance(qb::kRollIntervalMs * 10);
    EXPECT_EQ(form->height(), 244 - 50);
    clock.advance(qb::kRollIntervalMs * 34);
    EXPECT_EQ(form->height(), 26);
    EXPECT_FALSE(form->Rolling());
    EXPECT_EQ(form->FrontRollImage(), form->DownImage);
    EXPECT_NEAR(form->windowOpacity(), 230 / 255.0, 0.01);
    EXPECT_GE(44 * qb::kRollIntervalMs, 600);
    EXPECT_LE(44 * qb::kRollIntervalMs, 800);

    // The same place again: the image now in front rolls the window down.
    click(form->FrontRollImage());
    clock.advance(qb::kRollIntervalMs * 44);
    EXPECT_EQ(form->height(), 244);
    EXPECT_EQ(form->FrontRollImage(), form->UpImage);
    EXPECT_EQ(sounds.size(), 2u);

    // Towards the height it has: the sound, and nothing more.
    form->DownImageClick();
    EXPECT_EQ(sounds.size(), 3u);
    EXPECT_FALSE(form->Rolling());
    EXPECT_EQ(form->height(), 244);
}

TEST_F(DesktopCalendarTest, ANewRollTakesOverAndAClosedWindowNeverStaysHalfRolled) {
    form->show();
    form->UpImageClick();
    clock.advance(qb::kRollIntervalMs * 4);
    ASSERT_EQ(form->height(), 224);
    form->DownImageClick();  // back down from where it is, not up first
    clock.advance(qb::kRollIntervalMs);
    EXPECT_EQ(form->height(), 229);
    clock.advance(qb::kRollIntervalMs * 10);
    EXPECT_EQ(form->height(), 244);
    EXPECT_FALSE(form->Rolling());

    form->UpImageClick();
    clock.advance(qb::kRollIntervalMs * 3);
    form->CloseImageClick();
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->Rolling());
    EXPECT_EQ(form->height(), 26);
    EXPECT_EQ(form->FrontRollImage(), form->DownImage);
    EXPECT_NEAR(form->windowOpacity(), 230 / 255.0, 0.01);
    clock.advance(1000);
    EXPECT_EQ(form->height(), 26);
}

TEST_F(DesktopCalendarTest, IdleRollUpOnlyWithTheOptionAndEveryMoveOverTheMonthPutsItOff) {
    form->show();
    autoSlideUp = false;
    form->FormDeactivate();
    EXPECT_TRUE(form->AutoSlideUpTimer->isEnabled());
    clock.advance(30000);
    EXPECT_FALSE(form->AutoSlideUpTimer->isEnabled());
    EXPECT_EQ(form->height(), 244);
    EXPECT_TRUE(sounds.empty());

    autoSlideUp = true;
    form->FormDeactivate();
    clock.advance(20000);
    form->FormDeactivate();  // a countdown under way is not started again
    clock.advance(10000);
    clock.advance(qb::kRollIntervalMs * 44);
    EXPECT_EQ(form->height(), 26);
    EXPECT_EQ(sounds, std::vector<QString>{QStringLiteral("START")});

    form->DownImageClick();
    clock.advance(qb::kRollIntervalMs * 44);
    form->FormDeactivate();
    for (int i = 0; i < 5; ++i) {
        clock.advance(20000);
        moveOverMonth();
    }
    EXPECT_EQ(form->height(), 244);
    clock.advance(30000 + qb::kRollIntervalMs * 44);
    EXPECT_EQ(form->height(), 26);

    // Hidden, the countdown stops.
    form->DownImageClick();
    clock.advance(qb::kRollIntervalMs * 44);
    form->FormDeactivate();
    form->hide();
    EXPECT_FALSE(form->AutoSlideUpTimer->isEnabled());
}

TEST_F(DesktopCalendarTest, DraggedByTheTitleStripWithTheLeftButtonOnlyAndDoubleClickGoesHome) {
    form->show();
    form->move(300, 200);
    const QPoint grab = form->PaintBox2->mapToGlobal(QPoint(100, 10));
    strip(QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, grab);
    strip(QEvent::MouseMove, Qt::NoButton, Qt::RightButton, grab + QPoint(40, 30));
    strip(QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton, grab + QPoint(40, 30));
    EXPECT_EQ(form->pos(), QPoint(300, 200));

    strip(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, grab);
    strip(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, grab + QPoint(40, 30));
    strip(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, grab + QPoint(40, 30));
    EXPECT_EQ(form->pos(), QPoint(340, 230));

    strip(QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton, grab);
    EXPECT_EQ(form->pos(), QPoint(711, 0));
}

TEST_F(DesktopCalendarTest, PlaceAndRollStateComeBackFromTheSettingsOntoAScreen) {
    {
        qb::IniFile ini(iniPath());
        ini.writeInteger(QStringLiteral("DesktopCalendar"), QStringLiteral("Left"), 3000);
        ini.writeInteger(QStringLiteral("DesktopCalendar"), QStringLiteral("Top"), 40);
        ini.writeBool(QStringLiteral("DesktopCalendar"), QStringLiteral("RolledUp"), true);
    }
    form->show();
    EXPECT_EQ(form->pos(), QPoint(711, 0));
    EXPECT_EQ(form->height(), 26);
    EXPECT_EQ(form->FrontRollImage(), form->DownImage);

    form->move(120, 90);
    form->DownImageClick();
    clock.advance(qb::kRollIntervalMs * 44);
    form->CloseImageClick();
    const qb::IniFile ini(iniPath());
    EXPECT_EQ(ini.readInteger(QStringLiteral("DesktopCalendar"), QStringLiteral("Left"), 0), 120);
    EXPECT_EQ(ini.readInteger(QStringLiteral("DesktopCalendar"), QStringLiteral("Top"), 0), 90);
    EXPECT_FALSE(ini.readBool(QStringLiteral("DesktopCalendar"), QStringLiteral("RolledUp"), true));

    TDesktopCalendarForm again;
    again.Services = form->Services;
    again.show();
    EXPECT_EQ(again.pos(), QPoint(120, 90));
    EXPECT_EQ(again.height(), 244);
}

TEST_F(DesktopCalendarTest, RoadsOfClosing) {
    struct Case {
        bool mainVisible;
        bool pagesClose;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {true, true, {}},                         // the program goes on with the main window
        {false, true, {"pages", "keys", "end"}},  // every page saved, keys written, the end
        {false, false, {"pages"}},                // a page kept: the program goes on
    };
    for (const Case& c : cases) {
        log.clear();
        mainVisible = c.mainVisible;
        pagesClose = c.pagesClose;
        form->show();
        form->CloseImageClick();
        EXPECT_FALSE(form->isVisible());
        EXPECT_EQ(log, c.log);
    }
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_FALSE(QFile::exists(iniPath()));  // nothing moved: no file is touched
}

TEST_F(DesktopCalendarTest, AFailedWriteAtTheEndIsShownOnceAndTheProgramStillEnds) {
    form->Services.writeExitKeys = [] { throw qb::IniWriteError(QStringLiteral("/x.ini")); };
    mainVisible = false;
    form->show();
    form->move(50, 50);
    form->CloseImageClick();
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(log, (std::vector<std::string>{"pages", "end"}));
}

TEST_F(DesktopCalendarTest, TitleStripMenuAndMonthLabelsCallTheProgram) {
    form->show();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(form->MenuLabel, &press);
    QApplication::sendEvent(form->MenuLabel, &release);
    ASSERT_EQ(menuAt.size(), 1u);
    EXPECT_EQ(menuAt[0], form->Panel13->mapToGlobal(QPoint(2, 5 + 16 + 5)));
    EXPECT_FALSE(form->MenuLabel->autoFillBackground());

    QMouseEvent right(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(form->PrevMonthLabel, &right);  // any button
    QApplication::sendEvent(form->NextMonthLabel, &press);
    EXPECT_EQ(log, (std::vector<std::string>{"previous", "next"}));

    form->MinimizeImageClick();
    EXPECT_TRUE(form->windowState() & Qt::WindowMinimized);
}

TEST_F(DesktopCalendarTest, TheMonthIsTheCalendarsOwnAndItsDaysLieOverTheMonthShape) {
    std::vector<QString> shown;
    qb::CalendarServices services;
    services.monthDays = [](const QString& key) {
        return key == QStringLiteral("200503") ? QStringLiteral(";05;") : QString();
    };
    services.showDay = [&shown](const QString& key) { shown.push_back(key); };
    qb::CalendarUnit calendars(services);
    qb::CalendarPanels panels;
    panels.desktopWindow = form.get();
    panels.desktopPanel = form->CalendarPanel1;
    panels.desktopPaintBox = form->CalendarPaintBox1;
    calendars.setPanels(panels);

    calendars.RefreshCalendars();  // hidden: nothing is built
    EXPECT_EQ(qb::findComponent<QLabel>(form->CalendarPanel1, u"Day5Label"), nullptr);

    form->show();
    calendars.RefreshCalendars();
    auto* day = qb::findComponent<QLabel>(form->CalendarPanel1, u"Day5Label");
    ASSERT_NE(day, nullptr);
    EXPECT_EQ(qb::findComponent<QLabel>(form->CalendarPanel1, u"MonthLabel")->text(),
              QStringLiteral("March 2005"));
    EXPECT_NE(qb::findComponent<QWidget>(form->CalendarPanel1, u"DayShape0"), nullptr);
    // Labels in front of the shape, the shape in front of the shading.
    const QPoint centre = day->geometry().center();
    EXPECT_EQ(form->CalendarPanel1->childAt(centre), day);
    EXPECT_EQ(form->CalendarPanel1->childAt(QPoint(5, 215)), form->Shape2);
    EXPECT_EQ(form->CalendarPanel1->childAt(form->PrevMonthLabel->geometry().center()),
              form->PrevMonthLabel);

    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(day, &press);
    EXPECT_EQ(shown, std::vector<QString>{QStringLiteral("20050305")});
}

}  // namespace
