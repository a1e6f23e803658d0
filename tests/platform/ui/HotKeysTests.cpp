#include "support/FakeHotKeys.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <QGuiApplication>

#include <stdexcept>

TEST(HotKeysTest, WithoutX11NothingRegisters) {
    ASSERT_NE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    std::unique_ptr<qb::HotKeys> keys = qb::createHotKeys();
    EXPECT_FALSE(keys->available());
    EXPECT_FALSE(keys->registerHotKey(1, Qt::ControlModifier | Qt::AltModifier, Qt::Key_T));
    keys->unregisterHotKey(1);
}

TEST(HotKeysTest, FakeKeysAreTakenOrPressed) {
    qb::ScriptedDialogs boxes;
    qb::FakeHotKeys keys;
    const Qt::KeyboardModifiers ctrlAlt = Qt::ControlModifier | Qt::AltModifier;
    keys.taken.push_back({ctrlAlt, Qt::Key_T});
    std::vector<int> pressed;
    keys.setHandler([&](int id) {
        pressed.push_back(id);
        if (id == 3) {
            throw std::runtime_error("handler failed");
        }
    });
    EXPECT_FALSE(keys.registerHotKey(1, ctrlAlt, Qt::Key_T));
    EXPECT_TRUE(keys.registerHotKey(2, ctrlAlt, Qt::Key_H));
    EXPECT_TRUE(keys.registerHotKey(3, ctrlAlt, Qt::Key_J));
    EXPECT_FALSE(keys.press(1));
    EXPECT_TRUE(keys.press(2));
    EXPECT_TRUE(keys.press(3));  // the handler's error is shown, not thrown
    EXPECT_EQ(pressed, (std::vector<int>{2, 3}));
    EXPECT_EQ(boxes.shown.size(), 1u);
    keys.unregisterHotKey(2);
    EXPECT_FALSE(keys.press(2));
    EXPECT_EQ(keys.attempts, (std::vector<int>{1, 2, 3}));
    keys.x11 = false;
    EXPECT_FALSE(keys.available());
    EXPECT_FALSE(keys.registerHotKey(4, ctrlAlt, Qt::Key_K));
}
