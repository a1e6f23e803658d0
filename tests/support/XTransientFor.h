#pragma once
// For tests on a real X server: the window that an X window is transient for (0 for none), as
// another client, the window manager, reads it.

#include <xcb/xcb.h>

#include <cstdlib>

namespace qbtest {

inline xcb_window_t transientFor(xcb_window_t window) {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    auto* reply = xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, window, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 0, 1),
        nullptr);
    xcb_window_t owner = 0;
    if (reply && xcb_get_property_value_length(reply) == 4) {
        owner = *static_cast<const xcb_window_t*>(xcb_get_property_value(reply));
    }
    std::free(reply);
    xcb_disconnect(connection);
    return owner;
}

}  // namespace qbtest
