#pragma once
// A window with a menu bar and a context menu, and a menu painter with the main window's
// settings, for tests that look at the pixels of shown menus.

#include "menupaint/FlatMenuManager.h"
#include "menupaint/FlatMenuPainter.h"
#include "platform/core/Color.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QImage>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>

#include <memory>

namespace menutest {

// A 16 by 16 image: a blue square with a transparent border of two pixels.
inline QIcon squareIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.fillRect(2, 2, 12, 12, QColor(0, 0, 200));
    return QIcon(pixmap);
}

// The face of the main window's painter.
inline QFont programFont() {
    QFont font(QStringLiteral("DejaVu Sans Condensed"));
    font.setPixelSize(11);
    return font;
}

// The main window's settings of its painter (Active left to the test).
inline void programSettings(TFlatMenuPainter& painter) {
    painter.SetFont(programFont(), qb::clBlack);
    painter.SetSelectColor(0xEFD3C6);
    painter.SetSelectBorderColor(0x834425);
    painter.SetSelectFontColor(qb::clBlack);
    painter.SetDisabledColor(qb::clMedGray);
    painter.SetUseSystemColors(false);
    painter.SetGradient(true);
    painter.SetIconBackColor(0xE5E5E5);
    painter.SetFlatContainers({});
    painter.SetFlatControls(
        TFlatControls::all().without(TFlatControl::fcToolbar).without(TFlatControl::fcControlbar));
}

struct MenuWindow {
    std::unique_ptr<QMainWindow> form = std::make_unique<QMainWindow>();
    QMenuBar* bar = nullptr;
    QMenu* file = nullptr;
    QAction* open = nullptr;  // image and shortcut
    QAction* separator = nullptr;
    QAction* checked = nullptr;  // checked, no image
    QAction* radio = nullptr;    // checked radio item, no image
    QAction* disabled = nullptr;
    QAction* redo = nullptr;  // Ctrl+Shift+Z
    QMenu* more = nullptr;    // a submenu
    QMenu* popup = nullptr;   // a context menu of the window
    TFlatMenuPainter* painter = nullptr;

    MenuWindow() {
        form->resize(400, 300);
        bar = form->menuBar();
        file = bar->addMenu(QStringLiteral("&File"));
        open = file->addAction(squareIcon(), QStringLiteral("&Open"));
        open->setShortcut(QKeySequence(QStringLiteral("Ctrl+O")));
        separator = file->addSeparator();
        checked = file->addAction(QStringLiteral("Stay On Top"));
        checked->setCheckable(true);
        checked->setChecked(true);
        auto* group = new QActionGroup(file);
        radio = file->addAction(QStringLiteral("Left"));
        radio->setCheckable(true);
        radio->setActionGroup(group);
        radio->setChecked(true);
        disabled = file->addAction(QStringLiteral("Disabled"));
        disabled->setEnabled(false);
        redo = file->addAction(QStringLiteral("Redo"));
        redo->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+Z")));
        more = file->addMenu(QStringLiteral("More"));
        more->addAction(QStringLiteral("Inner"));
        bar->addMenu(QStringLiteral("&Edit"))->addAction(QStringLiteral("Cut"));
        popup = new QMenu(form.get());
        popup->addAction(QStringLiteral("Copy"));
        popup->addAction(QStringLiteral("Paste"));
    }

    // The painter on the window, with the program's settings and Active as given.
    TFlatMenuPainter* paint(bool active = true) {
        painter = new TFlatMenuPainter(form.get());
        programSettings(*painter);
        painter->SetActive(active);
        painter->Loaded();
        return painter;
    }
};

// The menu shown at a fixed place and drawn as the screen shows it.
inline QImage shown(QMenu* menu) {
    if (!menu->isVisible()) {
        menu->popup(QPoint(50, 50));
    }
    QApplication::processEvents();
    return menu->grab().toImage();
}

// The menu shown with item selected.
inline QImage shownSelecting(QMenu* menu, QAction* item) {
    menu->popup(QPoint(50, 50));
    menu->setActiveAction(item);
    return shown(menu);
}

inline qb::TColor at(const QImage& image, int x, int y) {
    return qb::fromQRgb(image.pixel(x, y));
}

}  // namespace menutest
