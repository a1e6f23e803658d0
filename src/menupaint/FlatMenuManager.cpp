#include "menupaint/FlatMenuManager.h"

#include "menupaint/FlatMenuDraw.h"
#include "menupaint/FlatMenuItems.h"
#include "menupaint/FlatMenuPainter.h"
#include "platform/ui/Components.h"
#include "platform/ui/MenuMetrics.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStyleOption>

#include <algorithm>
#include <exception>

TFlatMenuManager* MenuManager = nullptr;

void EnsureMenuManager() {
    if (!MenuManager) {
        MenuManager = new TFlatMenuManager;
    }
}

void FreeMenuManager() {
    delete MenuManager;
    MenuManager = nullptr;
}

namespace {

template <typename T>
bool holds(const std::vector<QPointer<T>>& list, const T* item) {
    return std::any_of(list.begin(), list.end(),
                       [item](const QPointer<T>& entry) { return entry.data() == item; });
}

template <typename T>
void dropNull(std::vector<QPointer<T>>& list) {
    list.erase(std::remove_if(list.begin(), list.end(),
                              [](const QPointer<T>& entry) { return entry.isNull(); }),
               list.end());
}

// The widest shortcut text of menu's shown items in the menu's own font, as QMenu reckons it:
// the text after the tab of each item's style option.
// QMenu fills an item's style option only for its subclasses.
struct MenuOptions : QMenu {
    static constexpr auto init = &MenuOptions::initStyleOption;
};

int widestShortcut(const QMenu& menu) {
    const QFontMetrics metrics = menu.fontMetrics();
    int widest = 0;
    QStyleOptionMenuItem option;
    for (const QAction* action : menu.actions()) {
        if (!action->isVisible() || action->isSeparator() ||
            (action->shortcut().isEmpty() && !action->text().contains(QLatin1Char('\t')))) {
            continue;
        }
        (menu.*MenuOptions::init)(&option, action);
        const qsizetype tab = option.text.indexOf(QLatin1Char('\t'));
        if (tab >= 0) {
            widest = std::max(widest, metrics.horizontalAdvance(option.text.mid(tab + 1)));
        }
    }
    return widest;
}

// The item of menu whose text Qt measures (Qt gives no rectangle while it measures).
QAction* itemForMeasure(const QWidget* menu, const QStyleOptionMenuItem& option) {
    const bool separator = option.menuItemType == QStyleOptionMenuItem::Separator;
    const QString caption = option.text.section(QLatin1Char('\t'), 0, 0);
    for (QAction* action : menu->actions()) {
        if (action->isSeparator() != separator || !action->isVisible()) {
            continue;
        }
        if (separator || action->text().section(QLatin1Char('\t'), 0, 0) == caption) {
            return action;
        }
    }
    return nullptr;
}

// The painter of an item in menu when the menu is owner-drawn and the painter active.
TFlatMenuPainter* itemPainter(const QWidget* menu, const QAction* item, bool measuring) {
    if (!item) {
        return nullptr;
    }
    const QWidget* root = RootMenuOf(menu);
    if (!OwnerDraw(root) || IsPlatformMenu(root)) {
        return nullptr;
    }
    TFlatMenuPainter* painter = measuring ? MeasureHandlerOf(item) : DrawHandlerOf(item);
    return painter && painter->Active() ? painter : nullptr;
}

// The painter that draws the popup-menu window of menu flat, when one does: the serving
// painter's colours, asked for by the painter of the menu's items.
TFlatMenuPainter* windowPainter(const QWidget* menu) {
    if (!qobject_cast<const QMenu*>(menu)) {
        return nullptr;
    }
    TFlatMenuPainter* owner = TFlatMenuManager::PainterOfMenu(menu);
    if (!owner || !owner->FlatMenu() || !MenuManager) {
        return nullptr;
    }
    return MenuManager->ActiveMenuPainter();
}

// The bar's own colour behind and beside its items.
bool paintMenuBarFace(const QWidget* widget, QPainter& painter, const QRect& rect) {
    TFlatMenuPainter* owner =
        qobject_cast<const QMenuBar*>(widget) ? TFlatMenuManager::PainterOfMenu(widget) : nullptr;
    if (!owner) {
        return false;
    }
    owner->EnsureColors(painter.device());
    painter.fillRect(rect, qb::toQColor(owner->Scheme().MenuBarEff));
    return true;
}

// The flat frame of a popup-menu window; Qt asks for its border and its margins apart, and each
// is clipped to its own part.
bool paintMenuWindow(const QWidget* widget, QPainter& painter) {
    TFlatMenuPainter* serving = windowPainter(widget);
    if (!serving) {
        return false;
    }
    FlatMenuPainter::PaintMenuWindow(*serving, painter, widget->width(), widget->height(),
                                     widget->layoutDirection() == Qt::RightToLeft);
    return true;
}

}  // namespace

TFlatMenuManager::TFlatMenuManager() {
    setObjectName(QStringLiteral("FlatMenuManager"));
    qb::programStyle().addHook(this);
    if (qApp) {
        qApp->installEventFilter(this);
        // Menus open at once, as the flat look was drawn for.
        QApplication::setEffectEnabled(Qt::UI_AnimateMenu, false);
        QApplication::setEffectEnabled(Qt::UI_FadeMenu, false);
    }
}

TFlatMenuManager::~TFlatMenuManager() {
    if (qb::ProgramStyle* style = qb::existingProgramStyle()) {
        style->removeHook(this);
    }
    if (qApp) {
        qApp->removeEventFilter(this);
    }
}

void TFlatMenuManager::reportOnce(const char* what) const {
    // A failure while a menu is painted or measured leaves that item to the base style; it is
    // reported once, not at every repaint.
    if (!reported_) {
        reported_ = true;
        qWarning("Flat menus: %s; the item is drawn plainly.", what);
    }
}

void TFlatMenuManager::prune() {
    dropNull(menuPainters_);
    dropNull(pendingForms_);
    dropNull(doneForms_);
}

int TFlatMenuManager::MenuPainterCount() const {
    return static_cast<int>(std::count_if(menuPainters_.begin(), menuPainters_.end(),
                                          [](const auto& p) { return !p.isNull(); }));
}

void TFlatMenuManager::AddMenuPainter(TFlatMenuPainter* painter) {
    if (!painter || holds(menuPainters_, painter)) {
        return;
    }
    menuPainters_.emplace_back(painter);
    if (painter->Form() && !IsDone(painter->Form())) {
        doneForms_.emplace_back(painter->Form());
    }
    if (!activeMenuPainter_ && painter->Active() && !painter->DisableSubclassing()) {
        activeMenuPainter_ = painter;
        CollectForms();
    }
}

void TFlatMenuManager::RemoveMenuPainter(TFlatMenuPainter* painter) {
    if (activeMenuPainter_ == painter) {
        SwitchActive(painter);
    }
    menuPainters_.erase(std::remove_if(menuPainters_.begin(), menuPainters_.end(),
                                       [painter](const QPointer<TFlatMenuPainter>& p) {
                                           return p.isNull() || p.data() == painter;
                                       }),
                        menuPainters_.end());
}

TFlatMenuPainter* TFlatMenuManager::FindOtherActive(const TFlatMenuPainter* except) const {
    for (const QPointer<TFlatMenuPainter>& p : menuPainters_) {
        if (p && p != except && p->Active() && !p->DisableSubclassing()) {
            return p;
        }
    }
    return nullptr;
}

void TFlatMenuManager::SwitchActive(TFlatMenuPainter* leaving) {
    prune();
    TFlatMenuPainter* next = FindOtherActive(leaving);
    if (!next) {
        pendingForms_.clear();
        const QWidget* leavingForm = leaving ? leaving->Form() : nullptr;
        for (const QPointer<QWidget>& form : std::vector(doneForms_)) {
            if (form && form != leavingForm) {
                RestoreForm(form);
            }
        }
        doneForms_.clear();
        activeMenuPainter_ = nullptr;
        return;
    }
    if (!activeMenuPainter_) {
        activeMenuPainter_ = next;
        CollectForms();
        return;
    }
    if (leaving) {
        activeMenuPainter_->ControlHooks().HandOver(*next, leaving->Form());
        // The menus of the windows served so far keep being painted, now by the new painter.
        for (const QPointer<QWidget>& form : doneForms_) {
            if (form && form != leaving->Form() &&
                form->findChildren<TFlatMenuPainter*>(Qt::FindDirectChildrenOnly).isEmpty()) {
                next->RepointMenus(form);
            }
        }
    }
    activeMenuPainter_ = next;
}

bool TFlatMenuManager::IsDone(const QWidget* form) const {
    return holds(doneForms_, form);
}

bool TFlatMenuManager::IsPending(const QWidget* form) const {
    return holds(pendingForms_, form);
}

void TFlatMenuManager::FormNotification(QWidget* form) {
    if (!activeMenuPainter_ || !form || IsPending(form) || IsDone(form)) {
        return;
    }
    pendingForms_.emplace_back(form);
    scheduleHooking();
}

void TFlatMenuManager::scheduleHooking() {
    if (hookingScheduled_) {
        return;
    }
    hookingScheduled_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            hookingScheduled_ = false;
            HookPendingForms();
        },
        Qt::QueuedConnection);
}

void TFlatMenuManager::HookPendingForms() {
    prune();
    if (!activeMenuPainter_) {
        pendingForms_.clear();
        return;
    }
    const std::vector<QPointer<QWidget>> waiting = pendingForms_;
    for (const QPointer<QWidget>& form : waiting) {
        if (!form || IsDone(form)) {
            continue;
        }
        // Counted as done first: a window whose hooking fails is not tried again and again.
        doneForms_.push_back(form);
        try {
            activeMenuPainter_->InitComponents(form, true, true);
        } catch (const std::exception&) {
            reportOnce("a window could not be hooked");
            scheduleHooking();  // the windows after it are tried at the next turn
            return;
        }
    }
    pendingForms_.clear();
}

void TFlatMenuManager::CollectForms() {
    for (QWidget* form : QApplication::topLevelWidgets()) {
        if (!IsForm(form) || IsDone(form) || IsPending(form) || qb::tag(form) == 999 ||
            !form->findChildren<TFlatMenuPainter*>(Qt::FindDirectChildrenOnly).isEmpty()) {
            continue;
        }
        pendingForms_.emplace_back(form);
    }
    if (!pendingForms_.empty()) {
        scheduleHooking();
    }
}

void TFlatMenuManager::RestoreForm(QWidget* form) {
    if (!activeMenuPainter_ || !form) {
        return;
    }
    try {
        activeMenuPainter_->ControlHooks().RestoreForm(form);
    } catch (const std::exception&) {
        reportOnce("a window's controls could not be restored");
    }
}

bool TFlatMenuManager::eventFilter(QObject* watched, QEvent* event) {
    // Only the first showing matters; the type test keeps every other event cheap.
    if ((event->type() == QEvent::Show || event->type() == QEvent::Polish) &&
        watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (IsForm(widget)) {
            FormNotification(widget);
        }
    }
    return QObject::eventFilter(watched, event);
}

// --- The style's questions ---

TFlatMenuPainter* TFlatMenuManager::PainterOfMenu(const QWidget* menu) {
    if (!menu) {
        return nullptr;
    }
    for (const QAction* item : menu->actions()) {
        if (TFlatMenuPainter* painter = itemPainter(menu, item, false)) {
            return painter;
        }
    }
    return nullptr;
}

QAction* TFlatMenuManager::ItemAt(const QWidget* menu, const QRect& rect) {
    if (const auto* popup = qobject_cast<const QMenu*>(menu)) {
        return popup->actionAt(rect.center());
    }
    if (const auto* bar = qobject_cast<const QMenuBar*>(menu)) {
        return bar->actionAt(rect.center());
    }
    return nullptr;
}

bool TFlatMenuManager::drawControl(QStyle::ControlElement element, const QStyleOption* option,
                                   QPainter* painter, const QWidget* widget) const {
    const auto* itemOption = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (!widget || !painter) {
        return false;
    }
    try {
        if (element == QStyle::CE_MenuItem && itemOption && qobject_cast<const QMenu*>(widget)) {
            TFlatMenuPainter* owner = itemPainter(widget, ItemAt(widget, option->rect), false);
            if (!owner) {
                return false;
            }
            const bool selected = (option->state & QStyle::State_Selected) != 0;
            FlatMenuPainter::DrawMenuItem(*owner, *painter, option->rect,
                                          FlatMenuPainter::MenuItemOf(*itemOption, false), selected,
                                          false);
            return true;
        }
        if (element == QStyle::CE_MenuBarItem && itemOption &&
            qobject_cast<const QMenuBar*>(widget)) {
            TFlatMenuPainter* owner = itemPainter(widget, ItemAt(widget, option->rect), false);
            if (!owner) {
                return false;
            }
            // An item opened by a click is sunken; one under the mouse only selected.
            const bool selected = (option->state & QStyle::State_Selected) != 0;
            const bool open = selected && (option->state & QStyle::State_Sunken) != 0;
            FlatMenuPainter::DrawMenuItem(*owner, *painter, option->rect,
                                          FlatMenuPainter::MenuItemOf(*itemOption, true), open,
                                          selected && !open);
            return true;
        }
        if (element == QStyle::CE_MenuBarEmptyArea) {
            return paintMenuBarFace(widget, *painter, option->rect);
        }
        if (element == QStyle::CE_MenuEmptyArea) {
            return paintMenuWindow(widget, *painter);
        }
    } catch (const std::exception&) {
        reportOnce("an item could not be painted");
    }
    return false;
}

bool TFlatMenuManager::drawPrimitive(QStyle::PrimitiveElement element, const QStyleOption* option,
                                     QPainter* painter, const QWidget* widget) const {
    if (!widget || !painter) {
        return false;
    }
    try {
        if (element == QStyle::PE_FrameMenu) {
            return paintMenuWindow(widget, *painter);
        }
        if (element == QStyle::PE_PanelMenuBar) {
            return paintMenuBarFace(widget, *painter, option->rect);
        }
    } catch (const std::exception&) {
        reportOnce("a menu frame could not be painted");
    }
    return false;
}

std::optional<QSize> TFlatMenuManager::sizeFromContents(QStyle::ContentsType type,
                                                        const QStyleOption* option,
                                                        const QSize& size,
                                                        const QWidget* widget) const {
    const auto* itemOption = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (!widget || !itemOption) {
        return std::nullopt;
    }
    const bool bar = type == QStyle::CT_MenuBarItem && qobject_cast<const QMenuBar*>(widget);
    if (!bar && !(type == QStyle::CT_MenuItem && qobject_cast<const QMenu*>(widget))) {
        return std::nullopt;
    }
    TFlatMenuPainter* owner = itemPainter(widget, itemForMeasure(widget, *itemOption), true);
    if (!owner) {
        return std::nullopt;
    }
    try {
        const FlatMenuPainter::TFlatMenuItem item = FlatMenuPainter::MenuItemOf(*itemOption, bar);
        QSize measured = FlatMenuPainter::MeasureMenuItem(*owner, item, size);
        measured.rwidth() += qb::ownerDrawnMenuItemExtraWidth(QFontMetrics(owner->Font()));
        if (bar) {
            // The bar keeps the platform's height for its items.
            const qb::ProgramStyle* style = qb::existingProgramStyle();
            const QStyle* base = style ? style->baseStyle() : nullptr;
            if (base) {
                measured.setHeight(base->sizeFromContents(type, option, size, widget).height());
            }
            return measured;
        }
        // QMenu adds its widest shortcut to every row after taking the widest item: each item
        // gives that much less, so the menu is as wide as its widest measure.
        if (const auto* menu = qobject_cast<const QMenu*>(widget)) {
            measured.rwidth() -= widestShortcut(*menu);
        }
        measured.setWidth(std::max(measured.width(), 1));
        return measured;
    } catch (const std::exception&) {
        reportOnce("an item could not be measured");
        return std::nullopt;
    }
}

std::optional<int> TFlatMenuManager::pixelMetric(QStyle::PixelMetric metric, const QStyleOption*,
                                                 const QWidget* widget) const {
    if (!widget) {
        return std::nullopt;
    }
    switch (metric) {
        // Items lie three pixels inside the window's edge: a frame and a margin.
        case QStyle::PM_MenuPanelWidth:
            return PainterOfMenu(widget) ? std::optional<int>(1) : std::nullopt;
        case QStyle::PM_MenuHMargin:
        case QStyle::PM_MenuVMargin:
            return PainterOfMenu(widget) ? std::optional<int>(2) : std::nullopt;
        // Bar items touch each other; the open item's shadow is part of it.
        case QStyle::PM_MenuBarItemSpacing:
            return qobject_cast<const QMenuBar*>(widget) && PainterOfMenu(widget)
                       ? std::optional<int>(0)
                       : std::nullopt;
        default:
            return std::nullopt;
    }
}

std::optional<int> TFlatMenuManager::styleHint(QStyle::StyleHint hint, const QStyleOption*,
                                               const QWidget* widget,
                                               QStyleHintReturn* data) const {
    if (!widget || !qobject_cast<const QMenu*>(widget)) {
        return std::nullopt;
    }
    switch (hint) {
        // Long menus (many documents) scroll instead of wrapping into columns, and a disabled
        // item can be selected, as the flat look paints it.
        case QStyle::SH_Menu_Scrollable:
        case QStyle::SH_Menu_AllowActiveAndDisabled:
            return PainterOfMenu(widget) ? std::optional<int>(1) : std::nullopt;
        case QStyle::SH_Menu_Mask: {
            // The shadow stands off the window: the two corners it leaves out are not shown.
            if (!windowPainter(widget)) {
                return std::nullopt;
            }
            if (auto* mask = qstyleoption_cast<QStyleHintReturnMask*>(data)) {
                const int w = widget->width();
                const int h = widget->height();
                mask->region = QRegion(0, 0, w - 2, h - 2) + QRegion(2, 2, w - 2, h - 2);
            }
            return 1;
        }
        default:
            return std::nullopt;
    }
}
