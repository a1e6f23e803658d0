#include "platform/ui/WindowPlace.h"

#include <gtest/gtest.h>

#include <QHBoxLayout>
#include <QWidget>

namespace {

TEST(WindowPlaceTest, AFrameIsMovedAndShrunkOntoTheArea) {
    struct Case {
        const char* name;
        QRect frame, area, expected;
    };
    const Case cases[] = {
        {"already on it", {100, 50, 300, 200}, {0, 0, 640, 512}, {100, 50, 300, 200}},
        {"centred above and left of it",
         {-235, -168, 600, 400},
         {0, 0, 640, 512},
         {0, 0, 600, 400}},
        {"past its right and bottom", {500, 400, 300, 200}, {0, 0, 640, 512}, {340, 312, 300, 200}},
        {"larger than the area", {-235, -168, 1752, 1318}, {0, 0, 640, 512}, {0, 0, 640, 512}},
        {"below a top panel", {10, 0, 300, 200}, {0, 30, 1280, 994}, {10, 30, 300, 200}},
        {"on a second screen", {1200, 900, 400, 300}, {1280, 0, 1024, 768}, {1280, 468, 400, 300}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(qb::FitWithin(c.frame, c.area), c.expected) << c.name;
    }
}

TEST(WindowPlaceTest, AWindowWiderThanTheAreaGetsAMinimumThatFits) {
    // Tool bars of fixed widths side by side: the layout's minimum is wider than a small screen.
    QWidget window;
    auto* row = new QHBoxLayout(&window);
    for (int i = 0; i < 7; ++i) {
        auto* bar = new QWidget(&window);
        bar->setFixedWidth(220);
        row->addWidget(bar);
    }
    window.resize(1752, 1318);
    ASSERT_GT(window.minimumSizeHint().width(), 640);

    const QRect area(0, 0, 640, 512);
    QSize placedFrame;
    qb::PlaceWithin(window, area, [&](const QSize& frame) {
        placedFrame = frame;
        return QPoint(-235, -168);
    });
    EXPECT_LE(window.minimumWidth(), area.width());
    EXPECT_LE(window.minimumHeight(), area.height());
    EXPECT_EQ(placedFrame, window.frameGeometry().size());  // the place is chosen for the new size
    EXPECT_TRUE(area.contains(window.frameGeometry()))
        << window.frameGeometry().x() << "," << window.frameGeometry().y();
    window.show();  // the layout, activated, keeps the minimum that fits
    EXPECT_LE(window.minimumWidth(), area.width());
    window.hide();
}

TEST(WindowPlaceTest, AWindowThatFitsKeepsItsSizeAndMinimum) {
    QWidget window;
    window.setMinimumSize(200, 100);
    window.resize(400, 300);
    qb::PlaceWithin(window, QRect(0, 0, 1280, 1024), [](const QSize&) { return QPoint(440, 342); });
    EXPECT_EQ(window.size(), QSize(400, 300));
    EXPECT_EQ(window.minimumSize(), QSize(200, 100));
    EXPECT_EQ(window.pos(), QPoint(440, 342));
}

}  // namespace
