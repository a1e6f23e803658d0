// Runs under Xvfb: the pointer really moves over a hooked control and the focus really comes to
// it, so the flat look follows the events the window system sends, not events made by the test.
#include "menupaint/ControlSubClass.h"
#include "menupaint/FlatMenuPainter.h"
#include "support/KeptPointer.h"
#include "support/WaitFor.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QLineEdit>
#include <QPushButton>
#include <QWindow>

#include <functional>

namespace {

// Under X the window system answers in its own time: two seconds at most.
bool WaitFor(const std::function<bool()>& done) {
    return qbtest::waitFor(done, 2000);
}

}  // namespace

TEST(ControlHoverX11, PointerAndFocusRepaintTheFlatLook) {
    const qbtest::KeptPointer keptPointer;
    QWidget form;
    form.setGeometry(100, 100, 300, 120);
    auto* button = new QPushButton("OK", &form);
    button->setGeometry(10, 10, 75, 25);
    auto* edit = new QLineEdit(&form);
    edit->setGeometry(10, 60, 100, 21);
    auto* painter = new TFlatMenuPainter(&form);
    painter->SetUseSystemColors(false);
    painter->SetFlatContainers({TFlatContainer::fccForm});
    painter->SetActive(true);
    QCursor::setPos(20, 20);
    form.show();
    // No window manager runs under Xvfb: the window asks for the focus itself.
    ASSERT_TRUE(WaitFor([&] { return form.windowHandle() && form.windowHandle()->isExposed(); }));
    form.activateWindow();
    ASSERT_TRUE(WaitFor([&] { return form.isActiveWindow(); }));
    TControlSubClass* buttonHook = TControlSubClass::HookOf(*button);
    TControlSubClass* editHook = TControlSubClass::HookOf(*edit);
    ASSERT_NE(buttonHook, nullptr);
    ASSERT_NE(editHook, nullptr);

    // The focus goes to the edit, so that only the pointer makes the button hot.
    edit->setFocus();
    EXPECT_TRUE(WaitFor([&] { return editHook->Hot && !buttonHook->Hot; }))
        << "the focus came to the edit";
    const QImage image = edit->grab().toImage();
    EXPECT_EQ(qb::fromQRgb(image.pixel(50, 0)),
              FlatMenuPainter::LightenColor(painter->Scheme().SelectBorderEff, 60));

    const QImage atRest = button->grab().toImage();
    QCursor::setPos(button->mapToGlobal(QPoint(30, 12)));
    EXPECT_TRUE(WaitFor([&] { return buttonHook->Hot; })) << "the pointer came over it";
    EXPECT_NE(button->grab().toImage(), atRest);
    QCursor::setPos(form.mapToGlobal(QPoint(250, 100)));
    EXPECT_TRUE(WaitFor([&] { return !buttonHook->Hot; })) << "the pointer left it";
    EXPECT_EQ(button->grab().toImage(), atRest);
}
