#pragma once
// Where the menu painter keeps its marks on Qt objects: the draw and measure handlers of a menu
// item, the owner-drawn flag of a menu bar or popup menu, and how a menu finds the menu it opens
// from. The marks are dynamic properties holding QPointer, so a freed painter leaves none behind.

#include <QString>

class QAction;
class QMenu;
class QObject;
class QWidget;
class TFlatMenuPainter;

// The painter whose handler paints (measures) the item; nullptr when none or when it is freed.
TFlatMenuPainter* DrawHandlerOf(const QAction* item);
TFlatMenuPainter* MeasureHandlerOf(const QAction* item);
void SetDrawHandler(QAction* item, TFlatMenuPainter* painter);
void SetMeasureHandler(QAction* item, TFlatMenuPainter* painter);

// The painter that paints the bands of a control bar; nullptr when none.
TFlatMenuPainter* BandHandlerOf(const QWidget* bar);
void SetBandHandler(QWidget* bar, TFlatMenuPainter* painter);

// A menu bar or popup menu whose items the painters draw.
bool OwnerDraw(const QWidget* menu);
void SetOwnerDraw(QWidget* menu, bool value);

// The menu or menu bar that menu opens from; nullptr for a popup menu of its own.
QWidget* ParentMenuOf(const QWidget* menu);
// The menu bar or popup menu at the top of menu's chain (menu itself when it has no parent).
QWidget* RootMenuOf(const QWidget* menu);
// A menu that Qt makes for its own controls (the standard context menu of an edit).
bool IsPlatformMenu(const QWidget* menu);
// A window of the program that carries components: not a menu, tool tip or other popup.
bool IsForm(const QWidget* widget);
// Makes menu (a QMenu or a menu bar) measure its items again and repaint.
void RemeasureMenu(QWidget* menu);
