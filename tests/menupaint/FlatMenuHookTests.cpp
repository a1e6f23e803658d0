// Which menus a painter takes over, how windows shown later are picked up, and that nothing is
// left pointing at a freed window, menu or painter.
#include "FlatMenuTestSupport.h"
#include "menupaint/FlatMenuDraw.h"
#include "menupaint/FlatMenuItems.h"
#include "platform/ui/Components.h"
#include "platform/ui/ProgramStyle.h"

#include <QTextEdit>
#include <QToolBar>

#include <gtest/gtest.h>

using namespace menutest;

namespace {

// The gradient's column next to the text area of an item row: flat items have it.
bool drawnFlat(QMenu* menu, QAction* item) {
    const QImage image = shown(menu);
    const QRect r = menu->actionGeometry(item);
    return at(image, r.left() + 25, r.top() + 1) != at(image, r.left() + 40, r.top() + 1);
}

}  // namespace

TEST(FlatMenuHooking, ActiveHooksTheWindowsMenusAndOnlyThose) {
    MenuWindow w;
    auto* platformMenu = new QMenu(w.form.get());
    platformMenu->setObjectName(QStringLiteral("qt_edit_menu"));
    platformMenu->addAction(QStringLiteral("Undo"));
    w.paint(false);
    EXPECT_FALSE(OwnerDraw(w.bar));
    EXPECT_EQ(DrawHandlerOf(w.open), nullptr);

    w.painter->SetActive(true);
    EXPECT_TRUE(OwnerDraw(w.bar));
    EXPECT_TRUE(OwnerDraw(w.popup));
    EXPECT_EQ(DrawHandlerOf(w.open), w.painter);
    EXPECT_EQ(MeasureHandlerOf(w.more->actions().first()), w.painter);  // submenus too
    EXPECT_FALSE(OwnerDraw(platformMenu));
    EXPECT_EQ(DrawHandlerOf(platformMenu->actions().first()), nullptr);
    EXPECT_TRUE(drawnFlat(w.more, w.more->actions().first()));

    w.painter->SetActive(false);
    EXPECT_FALSE(OwnerDraw(w.bar));
    EXPECT_EQ(DrawHandlerOf(w.open), nullptr);
    EXPECT_FALSE(drawnFlat(w.file, w.redo));
}

TEST(FlatMenuHooking, Tag999KeepsMenusAndItemsOut) {
    MenuWindow w;
    qb::setTag(w.bar, 999);
    qb::setTag(w.popup, 999);  // a popup menu's own tag is not looked at
    qb::setTag(w.redo, 999);
    qb::setTag(w.popup->actions().first(), 999);
    auto* popupItem = w.popup->actions().last();
    w.paint();
    EXPECT_FALSE(OwnerDraw(w.bar));
    EXPECT_EQ(DrawHandlerOf(w.open), nullptr);
    EXPECT_TRUE(OwnerDraw(w.popup));
    EXPECT_EQ(DrawHandlerOf(popupItem), w.painter);
    EXPECT_EQ(DrawHandlerOf(w.popup->actions().first()), nullptr);
    EXPECT_TRUE(drawnFlat(w.popup, popupItem));
    EXPECT_FALSE(drawnFlat(w.popup, w.popup->actions().first()));
}

TEST(FlatMenuHooking, ItemsAddedLaterAreDrawnFlatOnceActivated) {
    MenuWindow w;
    w.paint();
    QAction* document = w.popup->addAction(QStringLiteral("A document"));
    EXPECT_EQ(DrawHandlerOf(document), nullptr);
    EXPECT_FALSE(drawnFlat(w.popup, document));
    w.popup->hide();

    w.painter->ActivateMenuItem(document, false);
    EXPECT_EQ(DrawHandlerOf(document), w.painter);
    EXPECT_TRUE(drawnFlat(w.popup, document));

    // Whatever Active is, and with the sub-items when asked.
    w.painter->SetActive(false);
    auto* sub = new QMenu(QStringLiteral("Sub"), w.popup);
    QAction* inner = sub->addAction(QStringLiteral("Inner"));
    w.painter->ActivateMenuItem(sub->menuAction(), true);
    EXPECT_EQ(DrawHandlerOf(inner), w.painter);
}

TEST(FlatMenuManagerTest, WindowsShownLaterAreHookedByTheServingPainter) {
    // An open window with tag 999 is passed over when the painter starts serving.
    QMainWindow earlier;
    qb::setTag(&earlier, 999);
    earlier.menuBar()->addMenu(QStringLiteral("Early"))->addAction(QStringLiteral("Item"));
    MenuWindow w;
    w.paint();
    ASSERT_EQ(MenuManager->ActiveMenuPainter(), w.painter);
    QApplication::processEvents();
    EXPECT_FALSE(OwnerDraw(earlier.menuBar()));

    // A window shown later is hooked at the event loop's next turn, whatever its tag.
    auto later = std::make_unique<QMainWindow>();
    qb::setTag(later.get(), 999);
    QMenu* menu = later->menuBar()->addMenu(QStringLiteral("Later"));
    QAction* item = menu->addAction(QStringLiteral("Item"));
    later->show();
    EXPECT_TRUE(MenuManager->IsPending(later.get()));
    QApplication::processEvents();
    EXPECT_TRUE(MenuManager->IsDone(later.get()));
    EXPECT_TRUE(OwnerDraw(later->menuBar()));
    EXPECT_EQ(DrawHandlerOf(item), w.painter);
    EXPECT_TRUE(drawnFlat(menu, item));

    // Freed: nothing is left that points at it.
    QWidget* gone = later.get();
    later.reset();
    EXPECT_FALSE(MenuManager->IsDone(gone));
    QApplication::processEvents();
}

TEST(FlatMenuManagerTest, AWindowWithAPainterOfItsOwnIsLeftToIt) {
    MenuWindow serving;
    serving.paint();
    MenuWindow own;
    own.paint();
    own.form->show();
    QApplication::processEvents();
    EXPECT_EQ(MenuManager->ActiveMenuPainter(), serving.painter);
    EXPECT_EQ(DrawHandlerOf(own.open), own.painter);
}

TEST(FlatMenuManagerTest, FreeingTheServingPainterHandsTheRoleOn) {
    auto first = std::make_unique<MenuWindow>();
    first->paint();
    MenuWindow second;
    second.paint();
    QMainWindow served;
    QAction* item =
        served.menuBar()->addMenu(QStringLiteral("Served"))->addAction(QStringLiteral("Item"));
    served.show();
    QApplication::processEvents();
    ASSERT_EQ(DrawHandlerOf(item), first->painter);

    first.reset();
    EXPECT_EQ(MenuManager->ActiveMenuPainter(), second.painter);
    EXPECT_EQ(DrawHandlerOf(item), second.painter);

    // A painter that may not serve gives the role up; with none left nobody serves.
    second.painter->SetDisableSubclassing(true);
    EXPECT_EQ(MenuManager->ActiveMenuPainter(), nullptr);
    second.painter->SetDisableSubclassing(false);
    EXPECT_EQ(MenuManager->ActiveMenuPainter(), second.painter);
}

TEST(FlatMenuManagerTest, APainterFreedWhileItsMenuIsOpenLeavesAPlainMenu) {
    MenuWindow plain;
    const QImage expected = shownSelecting(plain.file, plain.redo);
    plain.file->hide();

    MenuWindow w;
    w.paint();
    shownSelecting(w.file, w.redo);
    delete w.painter;
    EXPECT_EQ(MenuManager, nullptr);
    EXPECT_EQ(shown(w.file), expected);
    // The style asks no one any more.
    EXPECT_FALSE(drawnFlat(w.popup, w.popup->actions().first()));
}

TEST(FlatMenuManagerTest, AWindowFreedWithItsPainterLeavesNoManager) {
    {
        MenuWindow w;
        w.paint();
        shown(w.file);
        ASSERT_NE(MenuManager, nullptr);
    }
    EXPECT_EQ(MenuManager, nullptr);
    // Menus made afterwards are drawn by the base style alone.
    MenuWindow again;
    EXPECT_FALSE(drawnFlat(again.file, again.redo));
}

TEST(FlatMenuControls, KindsOfControlsAndContainers) {
    QWidget form;
    auto* panel = new QWidget(&form);
    auto* edit = new QTextEdit(panel);
    EXPECT_EQ(FlatControlKind(edit), TFlatControl::fcRichEdit);
    EXPECT_EQ(FlatContainerKind(panel), TFlatContainer::fccPanel);
    EXPECT_EQ(FlatContainerKind(&form), TFlatContainer::fccForm);
    EXPECT_FALSE(FlatControlKind(panel).has_value());
}

TEST(FlatMenuBands, ControlBarsPaintTheirBandsFlatOnlyWhenSelected) {
    MenuWindow w;
    auto* bar = new QWidget(w.form.get());
    bar->setGeometry(0, 40, 300, 26);
    auto* band = new QToolBar(bar);
    band->setGeometry(0, 0, 120, 26);
    band->addAction(QStringLiteral("Tool"));
    w.form->show();
    QApplication::processEvents();
    const QImage plain = band->grab().toImage();
    const qb::TColor barColor = qb::fromQColor(bar->palette().color(QPalette::Window));

    // The program's settings leave control bars alone.
    w.paint();
    EXPECT_EQ(BandHandlerOf(bar), nullptr);
    EXPECT_EQ(band->grab().toImage(), plain);

    w.painter->SetFlatControls(TFlatControls::all());
    EXPECT_EQ(BandHandlerOf(bar), w.painter);
    QImage image = band->grab().toImage();
    EXPECT_EQ(at(image, 3, 6), FlatMenuPainter::DarkenColor(barColor, 30));
    EXPECT_EQ(at(image, 1, 6), FlatMenuPainter::LightenColor(barColor, 6));

    w.painter->SetActive(false);
    EXPECT_EQ(band->grab().toImage(), plain);

    // A bar that appears later is hooked when AutoDetect is on.
    w.painter->SetActive(true);
    w.painter->SetAutoDetect(true);
    auto* later = new QWidget(w.form.get());
    new QToolBar(later);
    later->show();
    QApplication::processEvents();
    EXPECT_EQ(BandHandlerOf(later), w.painter);
}
