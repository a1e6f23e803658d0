#include "platform/ui/Application.h"
#include "platform/ui/Components.h"
#include "platform/ui/Guard.h"
#include "platform/ui/OverrideCursor.h"
#include "platform/ui/PaintBox.h"
#include "platform/ui/ProgramStyle.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QStyle>
#include <QTimer>

#include <stdexcept>

TEST(ComponentsTest, TagAndHintAreFreePropertiesOfEveryComponent) {
    QLabel label;
    EXPECT_EQ(qb::tag(&label), 0);
    EXPECT_EQ(qb::hint(&label), QString());
    qb::setTag(&label, 999);
    qb::setHint(&label, QStringLiteral("20050305"));
    EXPECT_EQ(qb::tag(&label), 999);
    EXPECT_EQ(qb::hint(&label), QStringLiteral("20050305"));
    EXPECT_EQ(label.toolTip(), QString());  // a hint is not a tool tip
}

TEST(ComponentsTest, FindsComponentsByNameWithoutCase) {
    QWidget window;
    auto* bar = new QWidget(&window);
    auto* fileToolBar = new QWidget(bar);
    fileToolBar->setObjectName(QStringLiteral("FileToolBar"));
    auto* deep = new QLabel(fileToolBar);
    deep->setObjectName(QStringLiteral("TitleLabel7"));
    auto* near = new QLabel(&window);
    near->setObjectName(QStringLiteral("titlelabel7"));

    EXPECT_EQ(qb::findComponent(&window, u"FileToolbar"), fileToolBar);
    EXPECT_EQ(qb::findComponent(&window, u"FILETOOLBAR"), fileToolBar);
    // The nearer of two equal names wins, whatever the order of creation.
    EXPECT_EQ(qb::findComponent(&window, u"TitleLabel7"), near);
    EXPECT_EQ(qb::findComponent<QLabel>(fileToolBar, u"TitleLabel7"), deep);
    EXPECT_EQ(qb::findComponent<QCheckBox>(&window, u"TitleLabel7"), nullptr);
    EXPECT_EQ(qb::findComponent(&window, u"FileToolBar2"), nullptr);
    EXPECT_EQ(qb::findComponent(&window, u"FileTool"), nullptr);
}

TEST(GuardTest, AnErrorIsShownWithTheApplicationTitleAndTheProgramGoesOn) {
    qb::ScriptedDialogs boxes;
    qb::setApplicationTitle(QStringLiteral("Quillbrook"));
    const std::pair<const char*, const char*> messages[] = {
        {"Table is not open", "Table is not open."},
        {"Error opening database.    ", "Error opening database.    "},
        {"Done.", "Done."},
        {"What?", "What?."},
        {"", ""},
    };
    for (auto [thrown, shown] : messages) {
        EXPECT_FALSE(qb::runGuarded([m = thrown] { throw std::runtime_error(m); }));
        ASSERT_FALSE(boxes.shown.empty());
        EXPECT_EQ(boxes.shown.back().text, QString::fromUtf8(shown));
        EXPECT_EQ(boxes.shown.back().title, QStringLiteral("Quillbrook"));
        EXPECT_EQ(boxes.shown.back().icon, qb::MessageIcon::Error);
    }
    EXPECT_FALSE(qb::runGuarded([] { throw 42; }));
    EXPECT_EQ(boxes.shown.back().text, QStringLiteral("Unknown error."));
    EXPECT_TRUE(qb::runGuarded([] {}));
    EXPECT_EQ(boxes.shown.size(), 6u);
}

TEST(GuardTest, GuardedSlotsTakeTheSignalsArgumentsOrNone) {
    qb::ScriptedDialogs boxes;
    QCheckBox box;
    bool seen = false;
    int plain = 0;
    QObject::connect(&box, &QCheckBox::toggled, &box, qb::guarded([&](bool on) { seen = on; }));
    QObject::connect(&box, &QCheckBox::toggled, &box, qb::guarded([&] { ++plain; }));
    QObject::connect(&box, &QCheckBox::toggled, &box,
                     qb::guarded([] { throw std::runtime_error("in a slot"); }));
    box.setChecked(true);
    EXPECT_TRUE(seen);
    EXPECT_EQ(plain, 1);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("in a slot."));
}

TEST(PaintBoxTest, PaintsThroughItsHandlerAndShowsItsErrors) {
    qb::ScriptedDialogs boxes;
    qb::PaintBox box;
    box.resize(10, 6);
    box.setOnPaint([](qb::PaintBox& sender, QPainter& canvas) {
        canvas.fillRect(0, 0, sender.width(), sender.height(), Qt::red);
    });
    QImage image(10, 6, QImage::Format_RGB32);
    image.fill(Qt::white);
    box.render(&image);
    EXPECT_EQ(image.pixel(9, 5), qRgb(255, 0, 0));

    box.setOnPaint([](qb::PaintBox&, QPainter&) { throw std::runtime_error("bad paint"); });
    box.render(&image);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("bad paint."));
}

TEST(OverrideCursorTest, EachGuardPutsBackWhatItSet) {
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    {
        qb::OverrideCursor busy(Qt::BusyCursor);
        {
            qb::OverrideCursor wait;
            EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
            wait.restore();
            EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::BusyCursor);
        }  // restored once only
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::BusyCursor);
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(ApplicationTest, AQuitAskedForBeforeTheMainLoopEndsItAtOnce) {
    qb::clearQuitRequest();
    // A modal window open when the quit is asked for ends its loop.
    QDialog modal;
    QTimer::singleShot(0, &modal, [] { qb::requestQuit(); });
    modal.exec();
    EXPECT_TRUE(qb::quitRequested());
    EXPECT_FALSE(modal.isVisible());
    // The main loop, started afterwards, ends at its first turn.
    bool timedOut = false;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        timedOut = true;
        QCoreApplication::exit(1);
    });
    guard.start(5000);
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_FALSE(timedOut);
    qb::clearQuitRequest();
    EXPECT_FALSE(qb::quitRequested());
}

TEST(ApplicationTest, AForgottenQuitEndsNoLaterLoop) {
    // Asked for and forgotten before any loop ran: its queued end must not reach the next modal
    // window, which ends only when it is closed.
    qb::requestQuit();
    EXPECT_TRUE(qb::quitPending());
    qb::clearQuitRequest();
    EXPECT_FALSE(qb::quitPending());
    QDialog modal;
    QTimer::singleShot(50, &modal, [&modal] { modal.done(7); });
    EXPECT_EQ(modal.exec(), 7);
    // A quit asked for again is carried out.
    QTimer::singleShot(0, &modal, [] { qb::requestQuit(); });
    modal.exec();
    EXPECT_FALSE(modal.isVisible());
    EXPECT_EQ(QCoreApplication::exec(), 0);
    qb::clearQuitRequest();
}

TEST(ApplicationTitleTest, TheTitleNeverChangesAWindowsCaption) {
    QWidget window;
    window.setWindowTitle(QStringLiteral("Quillbrook - The Marlowick"));
    qb::setApplicationTitle(QStringLiteral("March  5, 2005 - Saturday"));
    EXPECT_EQ(qb::applicationTitle(), QStringLiteral("March  5, 2005 - Saturday"));
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QGuiApplication::applicationName());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Quillbrook - The Marlowick"));
}

TEST(ProgramStyleTest, TheToolTipDelayIsTheProgramsOwn) {
    qb::programStyle().setToolTipDelay(500);
    EXPECT_EQ(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 500);
    EXPECT_EQ(&qb::programStyle(), QApplication::style());
}
