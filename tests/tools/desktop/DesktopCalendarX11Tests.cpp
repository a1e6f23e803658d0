// Runs under Xvfb: the window properties that a window manager and a compositor read, as another
// X client sees them.
#include "dialogs/SplashUnit.h"
#include "tools/DesktopCalendarUnit.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTest>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

class OtherClient {
  public:
    OtherClient() : connection_(xcb_connect(nullptr, nullptr)) {}
    ~OtherClient() { xcb_disconnect(connection_); }

    xcb_atom_t atom(const std::string& name) {
        auto* reply = xcb_intern_atom_reply(
            connection_,
            xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(name.size()), name.c_str()),
            nullptr);
        const xcb_atom_t result = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
        free(reply);
        return result;
    }

    // The 32-bit values of a window property.
    std::vector<std::uint32_t> values(xcb_window_t window, const std::string& property) {
        auto* reply = xcb_get_property_reply(
            connection_,
            xcb_get_property(connection_, 0, window, atom(property), XCB_ATOM_ANY, 0, 64), nullptr);
        std::vector<std::uint32_t> result;
        if (reply && reply->format == 32) {
            const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
            result.assign(data, data + xcb_get_property_value_length(reply) / 4);
        }
        free(reply);
        return result;
    }

    bool holds(xcb_window_t window, const std::string& property, const std::string& value) {
        const std::vector<std::uint32_t> list = values(window, property);
        return std::find(list.begin(), list.end(), atom(value)) != list.end();
    }

  private:
    xcb_connection_t* connection_;
};

void settle(QWidget& window) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents();
    QTest::qWait(50);
}

TEST(DesktopCalendarOnX11, AToolWindowAboveOthersWithTheSettingsOpacity) {
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    TDesktopCalendarForm calendar;
    calendar.SetAlpha(180);
    calendar.show();
    settle(calendar);
    OtherClient other;
    const auto window = static_cast<xcb_window_t>(calendar.winId());
    // A utility window is left out of the task bar.
    EXPECT_TRUE(other.holds(window, "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_UTILITY"));
    EXPECT_TRUE(other.holds(window, "_NET_WM_STATE", "_NET_WM_STATE_ABOVE"));
    const std::vector<std::uint32_t> opacity = other.values(window, "_NET_WM_WINDOW_OPACITY");
    ASSERT_EQ(opacity.size(), 1u);
    EXPECT_NEAR(opacity[0] / 4294967295.0, 180 / 255.0, 0.002);

    // Rolling blends nothing; the end of the roll gives the opacity back.
    // The other client sees a property once the server has the program's request: on a loaded
    // machine that is some time after the program made it.
    const auto opacityBecomes = [&](const std::vector<std::uint32_t>& expected) {
        return QTest::qWaitFor(
            [&] { return other.values(window, "_NET_WM_WINDOW_OPACITY") == expected; }, 2000);
    };
    calendar.UpImageClick();
    QTest::qWait(30);
    ASSERT_TRUE(calendar.Rolling());
    EXPECT_TRUE(opacityBecomes({0xFFFFFFFFu}));  // opaque
    ASSERT_TRUE(QTest::qWaitFor([&] { return !calendar.Rolling(); }, 3000));
    // The server confirms each step of the roll in its own time: a loaded machine may still be
    // reporting an earlier step's height.
    EXPECT_TRUE(QTest::qWaitFor([&] { return calendar.height() == qb::kRolledUpHeight; }, 2000))
        << calendar.height();
    EXPECT_TRUE(opacityBecomes(opacity));
}

TEST(SplashOnX11, ASplashWindowAboveOthers) {
    TSplashForm splash;
    splash.FadeInTimerTimer();  // the first step shows it
    settle(splash);
    OtherClient other;
    const auto window = static_cast<xcb_window_t>(splash.winId());
    EXPECT_TRUE(other.holds(window, "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_SPLASH"));
    EXPECT_TRUE(other.holds(window, "_NET_WM_STATE", "_NET_WM_STATE_ABOVE"));
}

}  // namespace
