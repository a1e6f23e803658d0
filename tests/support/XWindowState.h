#pragma once
// For tests on a real X server: the ICCCM state (WM_STATE) that the window manager gives a
// window, read as another client reads it, and a window manager of the test's own.

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace qbtest {

// WM_STATE's values: 1 normal, 3 iconic; 0 when the window manager set none.
inline std::uint32_t wmState(xcb_window_t window) {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const char name[] = "WM_STATE";
    auto* atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, std::strlen(name), name), nullptr);
    std::uint32_t state = 0;
    if (atom && atom->atom != XCB_ATOM_NONE) {
        auto* reply = xcb_get_property_reply(
            connection, xcb_get_property(connection, 0, window, atom->atom, atom->atom, 0, 2),
            nullptr);
        if (reply && xcb_get_property_value_length(reply) >= 4) {
            state = *static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
        }
        std::free(reply);
    }
    std::free(atom);
    xcb_disconnect(connection);
    return state;
}

// openbox on the test's display for as long as the object lives; managing() is false where it
// is not installed or did not start.
class WindowManager {
  public:
    WindowManager() {
        const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
        if (openbox.isEmpty()) {
            return;
        }
        process_.start(openbox, {QStringLiteral("--sm-disable")});
        managing_ = process_.waitForStarted(5000);
        QTest::qWait(500);  // it takes the screen over
        managing_ = managing_ && process_.state() == QProcess::Running;
    }
    ~WindowManager() {
        process_.terminate();
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished(5000);
        }
        QTest::qWait(200);  // the windows it handed back settle
    }
    WindowManager(const WindowManager&) = delete;
    WindowManager& operator=(const WindowManager&) = delete;

    bool managing() const { return managing_; }

  private:
    QProcess process_;
    bool managing_ = false;
};

}  // namespace qbtest
