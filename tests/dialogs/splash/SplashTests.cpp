#include "dialogs/SplashUnit.h"

#include "dialogs/AboutUnit.h"
#include "platform/core/Color.h"
#include "platform/ui/Timer.h"
#include "program/ProgramState.h"
#include "support/ManualClock.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QMouseEvent>
#include <QUrl>

#include <vector>

namespace {

// Every visible frame of the splash, as its alpha value, one per 30-ms tick.
TEST(Splash, FadesInHoldsAndFadesOutInFortyNineTicksAndEndsAsItBegan) {
    qb::ManualClock clock;
    TSplashForm splash;
    splash.FadeInTimer->setEnabled(true);
    std::vector<int> frames;
    int ticks = 0;
    while (ticks < 100) {
        clock.advance(30);
        ++ticks;
        if (!splash.isVisible()) {
            break;
        }
        frames.push_back(splash.AlphaBlendValue);
    }
    EXPECT_EQ(ticks, 49);  // about 1.5 s
    ASSERT_EQ(frames.size(), 48u);
    const std::vector<int> fadeIn = {20, 56, 74, 92, 110, 128, 146, 164, 182, 200, 218, 235};
    EXPECT_EQ(std::vector<int>(frames.begin(), frames.begin() + 12), fadeIn);
    for (std::size_t i = 12; i < 34; ++i) {
        EXPECT_EQ(frames[i], 235) << i;  // the hold
    }
    EXPECT_EQ(frames[34], 255);
    EXPECT_EQ(frames[35], 237);
    EXPECT_EQ(frames.back(), 21);

    // Hidden, opaque, at the start again, and no timer left running.
    EXPECT_FALSE(splash.isVisible());
    EXPECT_EQ(splash.AlphaBlendValue, 255);
    EXPECT_EQ(splash.FadeStep, 0);
    EXPECT_FALSE(splash.FadeInTimer->isEnabled());
    EXPECT_FALSE(splash.FadeOutTimer->isEnabled());
    clock.advance(3000);
    EXPECT_FALSE(splash.isVisible());
}

TEST(Splash, ShowsTheVersionAndTheProductNameInALighterBackground) {
    struct Case {
        std::uint32_t background;
        std::uint32_t name;
    };
    for (const Case& c : {Case{0x00914A28, 0x009D5634}, Case{0x00F8FA05, 0x00FFFF11}}) {
        BackgroundColor = c.background;
        qb::ManualClock clock;
        TSplashForm splash;
        splash.FadeInTimer->setEnabled(true);
        clock.advance(30);
        ASSERT_TRUE(splash.isVisible());
        EXPECT_EQ(splash.ProductNameLabel->palette().color(QPalette::WindowText),
                  qb::toQColor(c.name));
        EXPECT_EQ(splash.VersionLabel->text(), QStringLiteral("Version: 2.0 - 10/10/2005"));
        EXPECT_EQ(splash.VersionLabel->geometry().right() + 1, 383);
    }
    BackgroundColor = 0x00914A28;
}

// Stands in for the desktop's browser.
class Browser : public QObject {
    Q_OBJECT
  public:
    std::vector<QUrl> opened;
  public slots:
    void open(const QUrl& url) { opened.push_back(url); }
};

TEST(About, ReadsTitleVersionAndDateAndItsLinkOpensTheSiteInTheBrowser) {
    TAboutForm about;
    EXPECT_EQ(about.windowTitle(), FullTitle);
    EXPECT_EQ(about.VersionLabel->text() + about.DateLabel->text(),
              QStringLiteral("2.0 - 10/10/2005"));
    EXPECT_EQ(about.DateLabel->x(), about.VersionLabel->geometry().right() + 1);
    about.show();
    EXPECT_EQ(about.EntryCountLabel->text(), QStringLiteral("0"));  // no diary open
    // The title's face is taken at the show, and the title is sized in it.
    EXPECT_TRUE(about.TitleLabel->font().bold());
    EXPECT_EQ(about.TitleLabel->font().pixelSize(), 28);
    EXPECT_EQ(about.TitleLabel->size(), about.TitleLabel->sizeHint());

    Browser browser;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &browser, "open");
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(3, 3), QPointF(3, 3), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(about.Label3, &press);
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    ASSERT_EQ(browser.opened.size(), 1u);
    EXPECT_EQ(browser.opened[0], QUrl(WebSiteAddress));
    EXPECT_EQ(about.Label3->text(), WebSiteAddress);
}

}  // namespace

#include "SplashTests.moc"
