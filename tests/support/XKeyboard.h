#pragma once
// For tests on a real X server: a second X client of the test that types keys through the XTEST
// extension, so that they reach the server's grabs and the focused window as typed keys would.

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

#include <cstdlib>
#include <vector>

namespace qbtest {

class XKeyboard {
  public:
    XKeyboard() : connection_(xcb_connect(nullptr, nullptr)) {
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        symbols_ = xcb_key_symbols_alloc(connection_);
    }
    ~XKeyboard() {
        xcb_key_symbols_free(symbols_);
        xcb_disconnect(connection_);
    }
    XKeyboard(const XKeyboard&) = delete;
    XKeyboard& operator=(const XKeyboard&) = delete;

    xcb_connection_t* connection() const { return connection_; }
    xcb_window_t root() const { return root_; }

    // The first key code of a key symbol on this server's keymap.
    xcb_keycode_t code(xcb_keysym_t sym) {
        xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols_, sym);
        const xcb_keycode_t first = codes != nullptr ? codes[0] : 0;
        std::free(codes);
        return first;
    }

    // Presses the keys in order and lets them go in the reverse order; the server has them all
    // when this returns.
    void type(const std::vector<xcb_keysym_t>& chord) {
        for (xcb_keysym_t sym : chord) {
            xcb_test_fake_input(connection_, XCB_KEY_PRESS, code(sym), XCB_CURRENT_TIME, root_, 0,
                                0, 0);
        }
        for (auto sym = chord.rbegin(); sym != chord.rend(); ++sym) {
            xcb_test_fake_input(connection_, XCB_KEY_RELEASE, code(*sym), XCB_CURRENT_TIME, root_,
                                0, 0, 0);
        }
        std::free(
            xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    }

  private:
    xcb_connection_t* connection_;
    xcb_window_t root_ = 0;
    xcb_key_symbols_t* symbols_ = nullptr;
};

}  // namespace qbtest
