#include "menupaint/FlatMenuItems.h"

#include "menupaint/FlatMenuPainter.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QVariant>

namespace {

constexpr char kDrawHandler[] = "qbFlatDrawItem";
constexpr char kMeasureHandler[] = "qbFlatMeasureItem";
constexpr char kOwnerDraw[] = "qbFlatOwnerDraw";
constexpr char kBandHandler[] = "qbFlatBandPaint";

TFlatMenuPainter* handler(const QObject* item, const char* name) {
    if (!item) {
        return nullptr;
    }
    const QVariant value = item->property(name);
    if (!value.isValid()) {
        return nullptr;
    }
    return qobject_cast<TFlatMenuPainter*>(value.value<QPointer<QObject>>().data());
}

void setHandler(QObject* item, const char* name, TFlatMenuPainter* painter) {
    if (!item) {
        return;
    }
    if (painter) {
        item->setProperty(name, QVariant::fromValue(QPointer<QObject>(painter)));
    } else {
        item->setProperty(name, QVariant());
    }
}

}  // namespace

TFlatMenuPainter* DrawHandlerOf(const QAction* item) {
    return handler(item, kDrawHandler);
}

TFlatMenuPainter* MeasureHandlerOf(const QAction* item) {
    return handler(item, kMeasureHandler);
}

void SetDrawHandler(QAction* item, TFlatMenuPainter* painter) {
    setHandler(item, kDrawHandler, painter);
}

void SetMeasureHandler(QAction* item, TFlatMenuPainter* painter) {
    setHandler(item, kMeasureHandler, painter);
}

TFlatMenuPainter* BandHandlerOf(const QWidget* bar) {
    return handler(bar, kBandHandler);
}

void SetBandHandler(QWidget* bar, TFlatMenuPainter* painter) {
    setHandler(bar, kBandHandler, painter);
}

bool OwnerDraw(const QWidget* menu) {
    return menu && menu->property(kOwnerDraw).toBool();
}

void SetOwnerDraw(QWidget* menu, bool value) {
    if (menu) {
        menu->setProperty(kOwnerDraw, value ? QVariant(true) : QVariant());
    }
}

QWidget* ParentMenuOf(const QWidget* menu) {
    const auto* popup = qobject_cast<const QMenu*>(menu);
    if (!popup) {
        return nullptr;
    }
    const QAction* opener = popup->menuAction();
    if (!opener) {
        return nullptr;
    }
    for (QObject* shown : opener->associatedObjects()) {
        if (shown != menu && (qobject_cast<QMenu*>(shown) || qobject_cast<QMenuBar*>(shown))) {
            return static_cast<QWidget*>(shown);
        }
    }
    return nullptr;
}

QWidget* RootMenuOf(const QWidget* menu) {
    auto* current = const_cast<QWidget*>(menu);
    // A chain of submenus is short; the bound only guards against a menu that opens itself.
    for (int depth = 0; current && depth < 64; ++depth) {
        QWidget* parent = ParentMenuOf(current);
        if (!parent) {
            return current;
        }
        current = parent;
    }
    return current;
}

bool IsPlatformMenu(const QWidget* menu) {
    return menu && menu->objectName().startsWith(QLatin1String("qt_"));
}

bool IsForm(const QWidget* widget) {
    if (!widget || !widget->isWindow() || qobject_cast<const QMenu*>(widget)) {
        return false;
    }
    if (widget->objectName().startsWith(QLatin1String("qt_")) ||
        widget->objectName().startsWith(QLatin1String("qtooltip"))) {
        return false;
    }
    const Qt::WindowType type = widget->windowType();
    return type == Qt::Window || type == Qt::Dialog || type == Qt::Sheet || type == Qt::Drawer ||
           type == Qt::Tool || type == Qt::SplashScreen;
}

void RemeasureMenu(QWidget* menu) {
    if (!menu) {
        return;
    }
    QEvent change(QEvent::StyleChange);
    QCoreApplication::sendEvent(menu, &change);
    menu->updateGeometry();
    if (menu->isVisible() && qobject_cast<QMenu*>(menu)) {
        menu->adjustSize();
    }
    menu->update();
}
