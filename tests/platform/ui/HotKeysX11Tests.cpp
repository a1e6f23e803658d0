// Runs under Xvfb. "Another program" is a second X connection of this test, which also types the
// keys.
#include "platform/ui/HotKeys.h"
#include "support/WaitFor.h"
#include "support/XKeyboard.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdlib>
#include <vector>

namespace {

constexpr xcb_keysym_t kControlL = 0xffe3;
constexpr xcb_keysym_t kAltL = 0xffe9;
constexpr xcb_keysym_t kNumLock = 0xff7f;
const Qt::KeyboardModifiers kCtrlAlt = Qt::ControlModifier | Qt::AltModifier;

class OtherClient : public qbtest::XKeyboard {
  public:
    // Which modifier bit Num Lock sets on this server (Mod2 on a usual keymap).
    std::uint16_t numLockMask() {
        const xcb_keycode_t numLock = code(kNumLock);
        auto* reply = xcb_get_modifier_mapping_reply(
            connection(), xcb_get_modifier_mapping(connection()), nullptr);
        std::uint16_t mask = 0;
        const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(reply);
        for (int m = 0; m < 8 && mask == 0; ++m) {
            for (int k = 0; k < reply->keycodes_per_modifier; ++k) {
                if (codes[m * reply->keycodes_per_modifier + k] == numLock) {
                    mask = std::uint16_t(1u << m);
                }
            }
        }
        std::free(reply);
        return mask;
    }

    bool grab(std::uint16_t mods, xcb_keysym_t sym) {
        xcb_generic_error_t* error = xcb_request_check(
            connection(), xcb_grab_key_checked(connection(), 0, root(), mods, code(sym),
                                               XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        std::free(error);
        return error == nullptr;
    }

    void ungrab(std::uint16_t mods, xcb_keysym_t sym) {
        xcb_ungrab_key(connection(), code(sym), root(), mods);
        xcb_flush(connection());
    }
};

const std::uint16_t kCtrlAltMask = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;

using qbtest::waitFor;

}  // namespace

TEST(HotKeysX11Test, GrabsEveryLockVariantAndDeliversPresses) {
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    OtherClient other;
    const std::uint16_t numLock = other.numLockMask();
    ASSERT_NE(numLock, 0);
    std::unique_ptr<qb::HotKeys> keys = qb::createHotKeys();
    ASSERT_TRUE(keys->available());
    std::vector<int> pressed;
    keys->setHandler([&](int id) { pressed.push_back(id); });

    ASSERT_TRUE(keys->registerHotKey(1, kCtrlAlt, Qt::Key_T));
    ASSERT_TRUE(keys->registerHotKey(2, kCtrlAlt, Qt::Key_H));
    // Every variant is held: the other client gets none of them.
    for (std::uint16_t lock : {std::uint16_t(0), std::uint16_t(XCB_MOD_MASK_LOCK), numLock,
                               std::uint16_t(XCB_MOD_MASK_LOCK | numLock)}) {
        EXPECT_FALSE(other.grab(kCtrlAltMask | lock, 't')) << lock;
    }
    EXPECT_TRUE(other.grab(kCtrlAltMask, 'u'));  // a key nobody asked for
    other.ungrab(kCtrlAltMask, 'u');

    other.type({kControlL, kAltL, 't'});
    ASSERT_TRUE(waitFor([&] { return pressed.size() == 1; }));
    other.type({kControlL, kAltL, 'h'});
    ASSERT_TRUE(waitFor([&] { return pressed.size() == 2; }));
    other.type({kControlL, 't'});  // without Alt: not the hot key
    other.type({kControlL, kAltL, 'u'});
    waitFor([] { return false; });
    EXPECT_EQ(pressed, (std::vector<int>{1, 2}));

    keys->unregisterHotKey(1);
    EXPECT_TRUE(other.grab(kCtrlAltMask, 't'));
    other.ungrab(kCtrlAltMask, 't');
}

TEST(HotKeysX11Test, AKeyHeldByAnotherProgramFailsAndLeavesNoHalfGrab) {
    OtherClient other;
    const std::uint16_t numLock = other.numLockMask();
    // The other program holds only the Num Lock variant.
    ASSERT_TRUE(other.grab(kCtrlAltMask | numLock, 'h'));
    {
        std::unique_ptr<qb::HotKeys> keys = qb::createHotKeys();
        EXPECT_FALSE(keys->registerHotKey(2, kCtrlAlt, Qt::Key_H));
        // The variants that were granted before the refusal have been given back.
        EXPECT_TRUE(other.grab(kCtrlAltMask, 'h'));
        EXPECT_TRUE(other.grab(kCtrlAltMask | XCB_MOD_MASK_LOCK, 'h'));
        other.ungrab(kCtrlAltMask, 'h');
        other.ungrab(kCtrlAltMask | XCB_MOD_MASK_LOCK, 'h');
        // The other key is still ours to take.
        EXPECT_TRUE(keys->registerHotKey(1, kCtrlAlt, Qt::Key_T));
        EXPECT_FALSE(keys->registerHotKey(3, kCtrlAlt, Qt::Key_Escape));  // not a key we map
    }
    // Destroying the hot keys gives their keys back.
    EXPECT_TRUE(other.grab(kCtrlAltMask, 't'));
    other.ungrab(kCtrlAltMask, 't');
    other.ungrab(kCtrlAltMask | numLock, 'h');
}
