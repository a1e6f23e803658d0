#include "platform/ui/HotKeys.h"

#include "platform/ui/Guard.h"

#include <QtGui/qguiapplication_platform.h>
#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QGuiApplication>
#include <QMetaObject>
#include <QPointer>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace qb {

void HotKeys::deliver(int id) {
    if (handler_) {
        Handler handler = handler_;
        runGuarded([&] { handler(id); });
    }
}

namespace {

constexpr xcb_keysym_t kNumLock = 0xff7f;
constexpr xcb_keysym_t kAltL = 0xffe9;
constexpr xcb_keysym_t kSuperL = 0xffeb;
constexpr xcb_keysym_t kF1 = 0xffbe;

xcb_keysym_t keysymOf(Qt::Key key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        return xcb_keysym_t('a' + (key - Qt::Key_A));
    }
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        return xcb_keysym_t('0' + (key - Qt::Key_0));
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) {
        return kF1 + xcb_keysym_t(key - Qt::Key_F1);
    }
    return 0;
}

class X11HotKeys final : public HotKeys, private QAbstractNativeEventFilter {
  public:
    explicit X11HotKeys(xcb_connection_t* connection) : connection_(connection) {
        if (connection_ == nullptr) {
            return;
        }
        for (auto it = xcb_setup_roots_iterator(xcb_get_setup(connection_)); it.rem;
             xcb_screen_next(&it)) {
            roots_.push_back(it.data->root);
        }
        symbols_ = xcb_key_symbols_alloc(connection_);
        readModifierMasks();
        QCoreApplication::instance()->installNativeEventFilter(this);
    }

    ~X11HotKeys() override {
        if (connection_ == nullptr || QCoreApplication::instance() == nullptr) {
            return;  // the connection has gone with the application
        }
        QCoreApplication::instance()->removeNativeEventFilter(this);
        for (const Grab& grab : grabs_) {
            ungrab(grab);
        }
        givenBack();
        xcb_key_symbols_free(symbols_);
    }

    bool available() const override { return connection_ != nullptr; }

    bool registerHotKey(int id, Qt::KeyboardModifiers modifiers, Qt::Key key) override {
        unregisterHotKey(id);
        if (connection_ == nullptr) {
            return false;
        }
        Grab grab{id, maskOf(modifiers), keycodesOf(key)};
        if (grab.codes.empty()) {
            return false;
        }
        std::vector<xcb_void_cookie_t> cookies;
        forEachGrab(grab, [&](xcb_window_t root, std::uint16_t mods, xcb_keycode_t code) {
            cookies.push_back(xcb_grab_key_checked(connection_, 0, root, mods, code,
                                                   XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        });
        bool granted = true;
        for (xcb_void_cookie_t cookie : cookies) {
            if (xcb_generic_error_t* error = xcb_request_check(connection_, cookie)) {
                granted = false;
                std::free(error);
            }
        }
        if (!granted) {
            ungrab(grab);  // the variants that were granted
            givenBack();
            return false;
        }
        grabs_.push_back(std::move(grab));
        return true;
    }

    void unregisterHotKey(int id) override {
        auto found = std::find_if(grabs_.begin(), grabs_.end(),
                                  [id](const Grab& grab) { return grab.id == id; });
        if (found == grabs_.end()) {
            return;
        }
        ungrab(*found);
        givenBack();
        grabs_.erase(found);
    }

  private:
    struct Grab {
        int id;
        std::uint16_t mods;
        std::vector<xcb_keycode_t> codes;
    };

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "xcb_generic_event_t") {
            return false;
        }
        auto* event = static_cast<xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7f) != XCB_KEY_PRESS) {
            return false;
        }
        auto* press = reinterpret_cast<xcb_key_press_event_t*>(event);
        const std::uint16_t mods = press->state & relevantMask();
        for (const Grab& grab : grabs_) {
            if (grab.mods == mods && std::find(grab.codes.begin(), grab.codes.end(),
                                               press->detail) != grab.codes.end()) {
                // Delivered from the event loop, not from inside Qt's reading of X events.
                QMetaObject::invokeMethod(
                    &context_, [this, id = grab.id] { deliver(id); }, Qt::QueuedConnection);
                return true;
            }
        }
        return false;
    }

    template <typename F>
    void forEachGrab(const Grab& grab, F&& visit) const {
        const std::uint16_t variants[] = {0, XCB_MOD_MASK_LOCK, numLockMask_,
                                          std::uint16_t(XCB_MOD_MASK_LOCK | numLockMask_)};
        const int count = numLockMask_ != 0 ? 4 : 2;
        for (xcb_window_t root : roots_) {
            for (xcb_keycode_t code : grab.codes) {
                for (int v = 0; v < count; ++v) {
                    visit(root, std::uint16_t(grab.mods | variants[v]), code);
                }
            }
        }
    }

    // Waits until the server has taken the keys back, so that another program may grab them the
    // moment this returns; keys are given back seldom (a refusal, an unregister, the end).
    void givenBack() const {
        std::free(
            xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    }

    void ungrab(const Grab& grab) const {
        forEachGrab(grab, [&](xcb_window_t root, std::uint16_t mods, xcb_keycode_t code) {
            xcb_ungrab_key(connection_, code, root, mods);
        });
    }

    std::vector<xcb_keycode_t> keycodesOf(xcb_keysym_t keysym) const {
        std::vector<xcb_keycode_t> codes;
        if (keysym == 0) {
            return codes;
        }
        if (xcb_keycode_t* found = xcb_key_symbols_get_keycode(symbols_, keysym)) {
            for (xcb_keycode_t* code = found; *code != XCB_NO_SYMBOL; ++code) {
                if (std::find(codes.begin(), codes.end(), *code) == codes.end()) {
                    codes.push_back(*code);
                }
            }
            std::free(found);
        }
        return codes;
    }

    std::vector<xcb_keycode_t> keycodesOf(Qt::Key key) const { return keycodesOf(keysymOf(key)); }

    // Which of Mod1 .. Mod5 carry Num Lock, Alt and Super on this server.
    void readModifierMasks() {
        const std::vector<xcb_keycode_t> numLock = keycodesOf(kNumLock);
        const std::vector<xcb_keycode_t> alt = keycodesOf(kAltL);
        const std::vector<xcb_keycode_t> super = keycodesOf(kSuperL);
        xcb_get_modifier_mapping_reply_t* reply = xcb_get_modifier_mapping_reply(
            connection_, xcb_get_modifier_mapping(connection_), nullptr);
        if (reply == nullptr) {
            return;
        }
        const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(reply);
        const int perModifier = reply->keycodes_per_modifier;
        auto holds = [](const std::vector<xcb_keycode_t>& list, xcb_keycode_t code) {
            return code != 0 && std::find(list.begin(), list.end(), code) != list.end();
        };
        numLockMask_ = altMask_ = superMask_ = 0;
        for (int modifier = 3; modifier < 8; ++modifier) {  // Mod1 .. Mod5
            for (int k = 0; k < perModifier; ++k) {
                const xcb_keycode_t code = codes[modifier * perModifier + k];
                const auto mask = std::uint16_t(1u << modifier);
                if (holds(numLock, code) && numLockMask_ == 0) {
                    numLockMask_ = mask;
                }
                if (holds(alt, code) && altMask_ == 0) {
                    altMask_ = mask;
                }
                if (holds(super, code) && superMask_ == 0) {
                    superMask_ = mask;
                }
            }
        }
        std::free(reply);
        if (altMask_ == 0) {
            altMask_ = XCB_MOD_MASK_1;
        }
        if (superMask_ == 0) {
            superMask_ = XCB_MOD_MASK_4;
        }
    }

    std::uint16_t maskOf(Qt::KeyboardModifiers modifiers) const {
        std::uint16_t mask = 0;
        if (modifiers & Qt::ShiftModifier) {
            mask |= XCB_MOD_MASK_SHIFT;
        }
        if (modifiers & Qt::ControlModifier) {
            mask |= XCB_MOD_MASK_CONTROL;
        }
        if (modifiers & Qt::AltModifier) {
            mask |= altMask_;
        }
        if (modifiers & Qt::MetaModifier) {
            mask |= superMask_;
        }
        return mask;
    }

    std::uint16_t relevantMask() const {
        return std::uint16_t(XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | altMask_ | superMask_);
    }

    xcb_connection_t* connection_;
    std::vector<xcb_window_t> roots_;
    xcb_key_symbols_t* symbols_ = nullptr;
    std::uint16_t numLockMask_ = XCB_MOD_MASK_2;
    std::uint16_t altMask_ = XCB_MOD_MASK_1;
    std::uint16_t superMask_ = XCB_MOD_MASK_4;
    std::vector<Grab> grabs_;
    QObject context_;
};

xcb_connection_t* applicationConnection() {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (app == nullptr) {
        return nullptr;
    }
    auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
}

}  // namespace

std::unique_ptr<HotKeys> createHotKeys() {
    return std::make_unique<X11HotKeys>(applicationConnection());
}

}  // namespace qb
