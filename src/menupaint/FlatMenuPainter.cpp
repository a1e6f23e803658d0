#include "menupaint/FlatMenuPainter.h"

#include "menupaint/FlatMenuDraw.h"
#include "menupaint/FlatMenuItems.h"
#include "menupaint/FlatMenuManager.h"
#include "platform/core/Rounding.h"
#include "platform/ui/Components.h"

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QChildEvent>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QKeySequenceEdit>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPaintDevice>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

#include <algorithm>

using qb::TColor;

// --- Colour routines ---

namespace FlatMenuPainter {
namespace {

int clampChannel(int value) {
    return std::clamp(value, 0, 255);
}

}  // namespace

TColor DarkenColor(TColor color, int value) {
    const TColor c = qb::colorToRGB(color);
    // Every channel by the same amount: lowering green by two less tinted each shade pink.
    return qb::rgbColor(static_cast<std::uint8_t>(clampChannel(qb::redOf(c) - value)),
                        static_cast<std::uint8_t>(clampChannel(qb::greenOf(c) - value)),
                        static_cast<std::uint8_t>(clampChannel(qb::blueOf(c) - value)));
}

TColor LightenColor(TColor color, int percent) {
    const TColor c = qb::colorToRGB(color);
    const int p = std::min(percent, 100);
    const auto lighten = [p](int channel) {
        return static_cast<std::uint8_t>(
            clampChannel(channel + qb::roundHalfEven((255 - channel) * p / 100.0)));
    };
    return qb::rgbColor(lighten(qb::redOf(c)), lighten(qb::greenOf(c)), lighten(qb::blueOf(c)));
}

TColor GrayColor(TColor color, int value) {
    const TColor c = qb::colorToRGB(color);
    const int mean = (qb::redOf(c) + qb::greenOf(c) + qb::blueOf(c)) / 3;
    const auto g = static_cast<std::uint8_t>(std::clamp(mean + value, 0, 240));
    return qb::rgbColor(g, g, g);
}

TColor MixColors(std::initializer_list<TColor> colors) {
    if (colors.size() == 0) {
        return qb::clBlack;
    }
    // The mean of the whole channels: truncating each share first lost up to one step per
    // colour, so white mixed with white was no longer white.
    int r = 0;
    int g = 0;
    int b = 0;
    for (const TColor color : colors) {
        const TColor c = qb::colorToRGB(color);
        r += qb::redOf(c);
        g += qb::greenOf(c);
        b += qb::blueOf(c);
    }
    const double n = static_cast<double>(colors.size());
    const auto mean = [n](int sum) {
        return static_cast<std::uint8_t>(clampChannel(qb::roundHalfEven(sum / n)));
    };
    return qb::rgbColor(mean(r), mean(g), mean(b));
}

}  // namespace FlatMenuPainter

using namespace FlatMenuPainter;

// --- Life cycle ---

TFlatMenuPainter::TFlatMenuPainter(QWidget* owner) : QObject(owner), form_(owner) {
    SetMenuFont(font_, fontColor_);
    selectFontColor_ = fontColor_;
    controlHooks_ = CreateFlatControlHooks(*this);
    if (form_) {
        form_->installEventFilter(this);
    }
    if (form_) {
        ComputeColors(form_);
    }
    colorsChanged_ = false;
    EnsureMenuManager();
}

TFlatMenuPainter::~TFlatMenuPainter() {
    controlHooks_->UnhookAll();
    // A window that is freeing its children has already let go of this painter: its menus and
    // controls go with it, and nothing of it may be touched any more.
    const bool formAlive = form_ && form_->children().contains(this);
    if (formAlive) {
        InitComponents(form_, false, false);
    }
    if (MenuManager) {
        MenuManager->RemoveMenuPainter(this);
        if (formAlive) {
            form_->update();
        }
        if (registered_ && MenuManager->MenuPainterCount() == 0) {
            FreeMenuManager();
        }
    }
}

void TFlatMenuPainter::Loaded() {
    EnsureMenuManager();
    if (!registered_) {
        registered_ = true;
        MenuManager->AddMenuPainter(this);
    }
}

void TFlatMenuPainter::SetMenuFont(QFont& font, TColor& color) {
    font = QApplication::font("QMenu");
    color = qb::clMenuText;
}

// --- Settings ---

void TFlatMenuPainter::markScheme() {
    colorsChanged_ = true;
    // Open menus and the menu bars show a new colour at once, not at their next painting.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible()) {
            continue;
        }
        if (qobject_cast<QMenu*>(window)) {
            window->update();
            continue;
        }
        for (QMenuBar* bar : window->findChildren<QMenuBar*>()) {
            if (OwnerDraw(bar)) {
                bar->update();
            }
        }
    }
}

void TFlatMenuPainter::SetActive(bool value) {
    if (value == active_) {
        return;
    }
    active_ = value;
    if (!value) {
        controlHooks_->UnhookAll();
    }
    if (form_) {
        InitComponents(form_, value, true);
    }
    redrawMenuBar();
}

void TFlatMenuPainter::SetFont(const QFont& font, TColor color) {
    font_ = font;
    fontColor_ = color;
    remeasureMenus();
    redrawMenuBar();
}

void TFlatMenuPainter::SetColor(TColor value) {
    color_ = value;
    markScheme();
}

void TFlatMenuPainter::SetIconBackColor(TColor value) {
    iconBackColor_ = value;
    markScheme();
}

void TFlatMenuPainter::SetMenuBarColor(TColor value) {
    menuBarColor_ = value;
    markScheme();
    redrawMenuBar();
}

void TFlatMenuPainter::SetSelectColor(TColor value) {
    selectColor_ = value;
    markScheme();
}

void TFlatMenuPainter::SetSelectBorderColor(TColor value) {
    selectBorderColor_ = value;
    markScheme();
}

void TFlatMenuPainter::SetSelectFontColor(TColor value) {
    selectFontColor_ = value;
    markScheme();
}

void TFlatMenuPainter::SetDisabledColor(TColor value) {
    disabledColor_ = value;
    markScheme();
}

void TFlatMenuPainter::SetSeparatorColor(TColor value) {
    separatorColor_ = value;
    markScheme();
}

void TFlatMenuPainter::SetCheckedColor(TColor value) {
    checkedColor_ = value;
    markScheme();
}

void TFlatMenuPainter::SetIconWidth(int value) {
    iconWidth_ = value;
    remeasureMenus();
}

void TFlatMenuPainter::remeasureMenus() {
    // Qt keeps the sizes it measured until it is told the look changed.
    if (!form_ || !active_) {
        return;
    }
    for (QMenuBar* bar : form_->findChildren<QMenuBar*>()) {
        if (OwnerDraw(bar)) {
            RemeasureMenu(bar);
        }
    }
    for (QMenu* menu : form_->findChildren<QMenu*>()) {
        if (OwnerDraw(RootMenuOf(menu))) {
            RemeasureMenu(menu);
        }
    }
}

void TFlatMenuPainter::SetDrawSelect(bool value) {
    drawSelect_ = value;
}

void TFlatMenuPainter::SetUseSystemColors(bool value) {
    useSystemColors_ = value;
    markScheme();
    redrawMenuBar();
}

void TFlatMenuPainter::SetUseDimColor(bool value) {
    useDimColor_ = value;
    markScheme();
}

void TFlatMenuPainter::SetOverrideOwnerDraw(bool value) {
    overrideOwnerDraw_ = value;
    if (active_ && form_) {
        InitComponents(form_, true, true);
    }
}

void TFlatMenuPainter::SetGradient(bool value) {
    gradient_ = value;
}

void TFlatMenuPainter::SetFlatMenu(bool value) {
    flatMenu_ = value;
}

void TFlatMenuPainter::SetGrayLevel(std::uint8_t value) {
    grayLevel_ = value;
}

void TFlatMenuPainter::SetDimLevel(std::uint8_t value) {
    dimLevel_ = value;
}

void TFlatMenuPainter::rehook(bool unhookFirst) {
    // Active is cleared for the unhooking only, so that the controls let go and come back.
    if (unhookFirst && form_) {
        active_ = false;
        controlHooks_->UnhookAll();
        InitComponents(form_, false, true);
        active_ = true;
    }
}

void TFlatMenuPainter::SetFlatContainers(TFlatContainers value) {
    const bool differs = value != flatContainers_;
    if (differs && active_) {
        rehook(true);
    }
    flatContainers_ = value;
    if (differs && active_ && form_) {
        InitComponents(form_, true, true);
    }
}

void TFlatMenuPainter::SetFlatControls(TFlatControls value) {
    const bool differs = value != flatControls_;
    if (differs && active_) {
        rehook(true);
    }
    flatControls_ = value;
    if (differs && active_ && form_) {
        InitComponents(form_, true, true);
    }
}

void TFlatMenuPainter::SetDisableSubclassing(bool value) {
    if (value == disableSubclassing_) {
        return;
    }
    disableSubclassing_ = value;
    if (!MenuManager) {
        return;
    }
    if (MenuManager->ActiveMenuPainter() == this) {
        MenuManager->SwitchActive(this);
    } else if (!MenuManager->ActiveMenuPainter() && !value) {
        MenuManager->SwitchActive(nullptr);
    }
}

void TFlatMenuPainter::redrawMenuBar() {
    if (!form_) {
        return;
    }
    for (QMenuBar* bar : form_->findChildren<QMenuBar*>()) {
        if (bar->window() == form_) {
            bar->update();
        }
    }
}

// --- The colour scheme ---

void TFlatMenuPainter::EnsureColors(const QPaintDevice* device) {
    if (colorsChanged_) {
        ComputeColors(device);
    }
}

void TFlatMenuPainter::ComputeColors(const QPaintDevice* device) {
    colorsChanged_ = false;
    highColor_ = !device || device->depth() >= 16;
    faceDimLevel_ = 16;
    hotFaceDimLevel_ = 40;
    const auto plain = [](TColor c) { return qb::colorToRGB(c); };
    constexpr TColor white = qb::clWhite;
    TFlatColorScheme& s = scheme_;
    if (useSystemColors_) {
        s.ColorEff = highColor_ ? LightenColor(qb::clBtnFace, 86) : white;
        s.IconBackEff = highColor_ ? LightenColor(qb::clBtnFace, 16) : plain(qb::clBtnFace);
        s.SelectEff = highColor_ ? LightenColor(qb::clHighlight, 68) : white;
        s.SelectBorderEff = plain(qb::clHighlight);
        s.SelectFontEff = plain(fontColor_);
        s.CheckFaceEff = highColor_ ? LightenColor(qb::clHighlight, 80) : white;
        s.CheckFaceSelEff = highColor_ ? LightenColor(qb::clHighlight, 50) : white;
        s.CheckedEff = plain(qb::clHighlight);
        s.MenuBarEff = plain(qb::clBtnFace);
        s.DisabledEff = highColor_ ? LightenColor(qb::clBtnShadow, 10) : plain(qb::clBtnShadow);
        s.SeparatorEff = highColor_ ? LightenColor(qb::clBtnShadow, 25) : plain(qb::clBtnShadow);
    } else {
        s.ColorEff = plain(color_);
        s.IconBackEff = plain(iconBackColor_);
        s.SelectBorderEff = plain(selectBorderColor_);
        s.SelectFontEff = plain(selectFontColor_);
        s.CheckedEff = plain(checkedColor_);
        s.MenuBarEff = plain(menuBarColor_);
        s.DisabledEff = plain(disabledColor_);
        s.SeparatorEff = plain(separatorColor_);
        if (highColor_) {
            const bool dim = useDimColor_;
            s.SelectEff = dim ? LightenColor(selectColor_, 68) : plain(selectColor_);
            s.CheckFaceEff = dim ? LightenColor(selectColor_, 80) : plain(selectColor_);
            s.CheckFaceSelEff = dim ? LightenColor(selectColor_, 50) : plain(selectColor_);
        } else {
            s.SelectEff = plain(selectColor_);
            s.CheckFaceEff = white;
            s.CheckFaceSelEff = qb::clSilver;
        }
    }
    s.MenuBorderEff = highColor_ ? DarkenColor(qb::clBtnFace, 90) : plain(qb::clBtnShadow);
    s.MenuShadowEff = highColor_ ? DarkenColor(qb::clBtnFace, 76) : plain(qb::clBtnShadow);
}

void TFlatMenuPainter::OverrideMenuBarEff(TColor value) {
    scheme_.MenuBarEff = qb::colorToRGB(value);
}

// --- Hooking ---

void TFlatMenuPainter::hookMenuItem(QAction* item) {
    if (!item || qb::tag(item) == 999 || DrawHandlerOf(item)) {
        return;
    }
    SetDrawHandler(item, this);
    if (!MeasureHandlerOf(item) || overrideOwnerDraw_) {
        SetMeasureHandler(item, this);
    }
}

void TFlatMenuPainter::ActivateMenuItem(QAction* item, bool withSubItems) {
    if (!item) {
        return;
    }
    hookMenuItem(item);
    if (withSubItems && item->menu()) {
        for (QAction* sub : item->menu()->actions()) {
            ActivateMenuItem(sub, true);
        }
    }
    // A menu that is already built measures the new item at its next showing.
    for (QObject* shown : item->associatedObjects()) {
        if (auto* menu = qobject_cast<QMenu*>(shown)) {
            RemeasureMenu(menu);
        }
    }
}

void TFlatMenuPainter::setItemHandlers(QAction* item, bool enable) {
    if (enable) {
        if (qb::tag(item) == 999) {
            return;
        }
        if (!DrawHandlerOf(item) || overrideOwnerDraw_) {
            SetDrawHandler(item, this);
        }
        if (!MeasureHandlerOf(item) || overrideOwnerDraw_) {
            SetMeasureHandler(item, this);
        }
    } else {
        // Any painter's handlers go: the menu is plain again as a whole.
        SetDrawHandler(item, nullptr);
        SetMeasureHandler(item, nullptr);
    }
}

void TFlatMenuPainter::setItemTreeHandlers(QAction* item, bool enable) {
    setItemHandlers(item, enable);
    if (QMenu* sub = item->menu()) {
        for (QAction* child : sub->actions()) {
            setItemTreeHandlers(child, enable);
        }
        RemeasureMenu(sub);
    }
}

void TFlatMenuPainter::initMenu(QWidget* menu, bool enable, bool update) {
    const QList<QAction*> items = menu->actions();
    if (items.isEmpty()) {
        return;
    }
    SetOwnerDraw(menu, enable);
    for (QAction* item : items) {
        setItemTreeHandlers(item, enable);
    }
    RemeasureMenu(menu);
    if (update) {
        menu->update();
    }
}

void TFlatMenuPainter::initControl(QWidget* control, bool enable, bool update) {
    const auto kind = FlatControlKind(control);
    QWidget* parent = control->parentWidget();
    if (!kind || !parent) {
        return;
    }
    const bool selected =
        flatControls_.contains(*kind) ||
        (*kind == TFlatControl::fcRichEdit && flatControls_.contains(TFlatControl::fcMemo));
    if (!selected) {
        return;
    }
    const auto container = FlatContainerKind(parent);
    if (!container || !flatContainers_.contains(*container)) {
        return;
    }
    if (enable && qb::tag(control) != 999 && qb::tag(parent) != 999) {
        controlHooks_->HookControl(control);
    }
    if (update) {
        control->update();
    }
}

void TFlatMenuPainter::initControlBar(QWidget* bar, bool enable, bool update) {
    if (enable) {
        if (BandHandlerOf(bar) && !overrideOwnerDraw_) {
            return;
        }
        SetBandHandler(bar, this);
    } else if (BandHandlerOf(bar)) {
        SetBandHandler(bar, nullptr);
    }
    for (QToolBar* band : bar->findChildren<QToolBar*>(Qt::FindDirectChildrenOnly)) {
        band->removeEventFilter(this);
        if (enable) {
            band->installEventFilter(this);
        }
        if (update) {
            band->update();
        }
    }
    if (update) {
        bar->update();
    }
}

bool TFlatMenuPainter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ChildPolished && watched == form_) {
        // Control bars placed on the window later are hooked when asked to; menu items added
        // later are handed over one by one (ActivateMenuItem).
        auto* child = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child());
        if (autoDetect_ && active_ && child && IsControlBar(child)) {
            InitComponent(child, true, true);
        }
        return QObject::eventFilter(watched, event);
    }
    if (event->type() != QEvent::Paint || !active_) {
        return QObject::eventFilter(watched, event);
    }
    auto* band = qobject_cast<QToolBar*>(watched);
    QWidget* bar = band ? band->parentWidget() : nullptr;
    if (!bar || BandHandlerOf(bar) != this) {
        return QObject::eventFilter(watched, event);
    }
    // The band's face and grabber replace the tool bar's own panel; its buttons paint on top.
    QPainter canvas(band);
    FlatMenuPainter::ControlBarBandPaint(*this, canvas, qb::TRect::fromQRect(band->rect()),
                                         qb::fromQColor(bar->palette().color(QPalette::Window)));
    return true;
}

void TFlatMenuPainter::InitComponent(QObject* component, bool enable, bool update) {
    if (auto* bar = qobject_cast<QMenuBar*>(component)) {
        if (flatControls_.contains(TFlatControl::fcMainMenu) && qb::tag(bar) != 999) {
            initMenu(bar, enable, update);
        }
        return;
    }
    if (auto* menu = qobject_cast<QMenu*>(component)) {
        // Submenus go with the menu they open from; Qt's own menus were never ours.
        if (flatControls_.contains(TFlatControl::fcPopupMenu) && !ParentMenuOf(menu) &&
            !IsPlatformMenu(menu)) {
            initMenu(menu, enable, update);
        }
        return;
    }
    auto* widget = qobject_cast<QWidget*>(component);
    if (!widget) {
        return;
    }
    if (IsControlBar(widget)) {
        if (flatControls_.contains(TFlatControl::fcControlbar)) {
            initControlBar(widget, enable, update);
        }
        return;
    }
    if (IsForm(widget)) {
        InitComponents(widget, enable, update);
        return;
    }
    initControl(widget, enable, update);
}

void TFlatMenuPainter::InitComponents(QObject* owner, bool enable, bool update) {
    if (!owner) {
        return;
    }
    // The components are listed once at the start; any may go while others are hooked.
    std::vector<QPointer<QObject>> components;
    const std::function<void(QObject*)> collect = [&](QObject* parent) {
        for (QObject* child : parent->children()) {
            if (child == this) {
                continue;
            }
            components.emplace_back(child);
            auto* widget = qobject_cast<QWidget*>(child);
            // Menus, menu bars and other windows are walked by their own rules.
            if (widget && !widget->isWindow() && !qobject_cast<QMenuBar*>(widget)) {
                collect(child);
            }
        }
    };
    collect(owner);
    for (const QPointer<QObject>& component : components) {
        if (component) {
            InitComponent(component, enable, update);
        }
    }
}

void TFlatMenuPainter::RepointMenus(QObject* owner) {
    // The menus of a window served by a painter that has left take this painter's handlers.
    if (!owner) {
        return;
    }
    const auto repoint = [this](QWidget* menu) {
        if (!OwnerDraw(menu)) {
            return;
        }
        const std::function<void(QAction*)> walk = [&](QAction* item) {
            if (qb::tag(item) != 999) {
                SetDrawHandler(item, this);
                SetMeasureHandler(item, this);
            }
            if (item->menu()) {
                for (QAction* child : item->menu()->actions()) {
                    walk(child);
                }
            }
        };
        for (QAction* item : menu->actions()) {
            walk(item);
        }
    };
    for (QMenuBar* bar : owner->findChildren<QMenuBar*>()) {
        repoint(bar);
    }
    for (QMenu* menu : owner->findChildren<QMenu*>()) {
        if (!ParentMenuOf(menu)) {
            repoint(menu);
        }
    }
}

// --- Control and container kinds ---

std::optional<TFlatControl> FlatControlKind(const QWidget* control) {
    if (!control) {
        return std::nullopt;
    }
    if (qobject_cast<const QComboBox*>(control)) {
        return TFlatControl::fcCombo;
    }
    if (qobject_cast<const QLineEdit*>(control)) {
        return TFlatControl::fcEdit;
    }
    // A rich edit is a memo too; the memo member selects both.
    if (qobject_cast<const QTextEdit*>(control)) {
        return TFlatControl::fcRichEdit;
    }
    if (qobject_cast<const QPlainTextEdit*>(control)) {
        return TFlatControl::fcMemo;
    }
    if (qobject_cast<const QCheckBox*>(control)) {
        return TFlatControl::fcCheckBox;
    }
    if (qobject_cast<const QRadioButton*>(control)) {
        return TFlatControl::fcRadioButton;
    }
    if (auto* button = qobject_cast<const QPushButton*>(control)) {
        // A button with an image is painted as a bitmap button.
        return button->icon().isNull() ? TFlatControl::fcButton : TFlatControl::fcBitBtn;
    }
    if (qobject_cast<const QToolButton*>(control)) {
        return TFlatControl::fcSpeedButton;
    }
    if (qobject_cast<const QAbstractSpinBox*>(control)) {
        return TFlatControl::fcUpDown;
    }
    if (qobject_cast<const QGroupBox*>(control)) {
        return TFlatControl::fcGroupBox;
    }
    if (qobject_cast<const QListWidget*>(control)) {
        return TFlatControl::fcListBox;
    }
    if (qobject_cast<const QTreeView*>(control)) {
        return TFlatControl::fcTreeView;
    }
    if (qobject_cast<const QListView*>(control)) {
        return TFlatControl::fcListView;
    }
    if (qobject_cast<const QProgressBar*>(control)) {
        return TFlatControl::fcProgressBar;
    }
    if (qobject_cast<const QKeySequenceEdit*>(control)) {
        return TFlatControl::fcHotKey;
    }
    // A panel with a bevel is a plain frame drawn as a box (lines and framed controls are not).
    if (const auto* frame = qobject_cast<const QFrame*>(control);
        frame && frame->metaObject() == &QFrame::staticMetaObject &&
        (frame->frameShape() == QFrame::Box || frame->frameShape() == QFrame::Panel ||
         frame->frameShape() == QFrame::WinPanel || frame->frameShape() == QFrame::StyledPanel)) {
        return TFlatControl::fcPanel;
    }
    return std::nullopt;
}

bool IsControlBar(const QWidget* widget) {
    if (!widget || IsForm(widget) || qobject_cast<const QToolBar*>(widget) ||
        widget->metaObject() != &QWidget::staticMetaObject) {
        return false;
    }
    return !widget->findChildren<QToolBar*>(Qt::FindDirectChildrenOnly).isEmpty();
}

std::optional<TFlatContainer> FlatContainerKind(const QWidget* parent) {
    if (!parent) {
        return std::nullopt;
    }
    if (IsForm(parent)) {
        return TFlatContainer::fccForm;
    }
    if (qobject_cast<const QToolBar*>(parent)) {
        return TFlatContainer::fccToolbar;
    }
    if (qobject_cast<const QGroupBox*>(parent)) {
        return TFlatContainer::fccGroupBox;
    }
    // A scroll box places its controls on its viewport's widget.
    if (parent->parentWidget() && parent->parentWidget()->parentWidget() &&
        qobject_cast<const QScrollArea*>(parent->parentWidget()->parentWidget())) {
        return TFlatContainer::fccScrollBox;
    }
    if (parent->parentWidget() && parent->parentWidget()->parentWidget() &&
        qobject_cast<const QTabWidget*>(parent->parentWidget()->parentWidget())) {
        return TFlatContainer::fccTabSheet;
    }
    // Panels are the plain widgets that group controls.
    if (parent->metaObject() == &QWidget::staticMetaObject ||
        parent->metaObject() == &QFrame::staticMetaObject) {
        return TFlatContainer::fccPanel;
    }
    return std::nullopt;
}
