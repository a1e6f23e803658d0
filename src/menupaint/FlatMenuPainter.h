#pragma once
// The menu painter: a component that a window carries to draw the menus of every window of the
// program flat (a gradient icon column, a framed selection face, drawn check and radio marks,
// dimmed and lifted images, right-aligned shortcut texts, a soft shadow under the open menu-bar
// item). It also decides which controls of a window its control painters take over.
//
// On Qt the painter never replaces the application's style: the one program style asks the menu
// manager first (platform/ui/ProgramStyle.h), and the manager hands a menu to the painter whose
// handlers sit on its items. A menu item (a QAction) is "hooked" when it carries the painter's
// draw and measure handlers; a menu bar or popup menu is "owner-drawn" when the painter set it so.
// Everything a painter points at is held through QPointer, so a window, a menu or the painter
// itself may be freed at any time.

#include "platform/core/Color.h"

#include <QFont>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>

class QAction;
class QMenu;
class QMenuBar;
class QPaintDevice;
class QWidget;

// The colour routines of the menu painter and its control painters. They work on plain
// 0x00BBGGRR values (system colours are resolved first) and are kept apart from the panel
// shading's routines of the same names, which do other arithmetic.
namespace FlatMenuPainter {

using qb::TColor;

// Each channel lowered by value, clamped to 0..255.
TColor DarkenColor(TColor color, int value);
// Each channel c raised by (255 - c) x percent / 100, halves to the even neighbour; percent is
// capped at 100 (white).
TColor LightenColor(TColor color, int percent);
// The gray of the channels' mean plus value, at most 240.
TColor GrayColor(TColor color, int value);
// The per-channel mean of the colours, rounded half to even; black for no colours.
TColor MixColors(std::initializer_list<TColor> colors);

}  // namespace FlatMenuPainter

// The kinds of parent container whose child controls may be painted flat.
enum class TFlatContainer {
    fccForm,
    fccFrame,
    fccToolbar,
    fccCoolbar,
    fccControlbar,
    fccPanel,
    fccScrollBox,
    fccGroupBox,
    fccTabSheet,
    fccPageScroller,
};
// The kinds of component that are hooked.
enum class TFlatControl {
    fcMainMenu,
    fcPopupMenu,
    fcToolbar,
    fcControlbar,
    fcCombo,
    fcListBox,
    fcEdit,
    fcMaskEdit,
    fcMemo,
    fcRichEdit,
    fcMiscEdit,
    fcCheckBox,
    fcRadioButton,
    fcButton,
    fcBitBtn,
    fcSpeedButton,
    fcUpDown,
    fcPanel,
    fcGroupBox,
    fcTreeView,
    fcListView,
    fcProgressBar,
    fcHotKey,
};

// A set of one of the two kinds.
template <typename E, int Count>
class TFlatSet {
  public:
    constexpr TFlatSet() = default;
    constexpr TFlatSet(std::initializer_list<E> members) {
        for (const E m : members) {
            bits_ |= bit(m);
        }
    }
    static constexpr TFlatSet all() {
        TFlatSet s;
        s.bits_ = (std::uint32_t{1} << Count) - 1;
        return s;
    }
    constexpr bool contains(E m) const { return (bits_ & bit(m)) != 0; }
    constexpr TFlatSet with(E m) const {
        TFlatSet s = *this;
        s.bits_ |= bit(m);
        return s;
    }
    constexpr TFlatSet without(E m) const {
        TFlatSet s = *this;
        s.bits_ &= ~bit(m);
        return s;
    }
    constexpr bool empty() const { return bits_ == 0; }
    constexpr bool operator==(const TFlatSet&) const = default;

  private:
    static constexpr std::uint32_t bit(E m) { return std::uint32_t{1} << static_cast<int>(m); }
    std::uint32_t bits_ = 0;
};
using TFlatContainers = TFlatSet<TFlatContainer, 10>;
using TFlatControls = TFlatSet<TFlatControl, 23>;

// The effective colours that every painting routine reads (plain colours).
struct TFlatColorScheme {
    qb::TColor ColorEff = 0;
    qb::TColor IconBackEff = 0;
    qb::TColor SelectEff = 0;
    qb::TColor SelectBorderEff = 0;
    qb::TColor SelectFontEff = 0;
    qb::TColor CheckFaceEff = 0;
    qb::TColor CheckFaceSelEff = 0;
    qb::TColor CheckedEff = 0;
    qb::TColor MenuBarEff = 0;
    qb::TColor DisabledEff = 0;
    qb::TColor SeparatorEff = 0;
    qb::TColor MenuBorderEff = 0;
    qb::TColor MenuShadowEff = 0;
    bool operator==(const TFlatColorScheme&) const = default;
};

class TFlatMenuPainter;

// What the control painters do for the menu painter: hook a control that the painter has
// selected, drop hooks, hand them to another painter, give a window's controls their plain look.
// The painter makes its instance once, through CreateFlatControlHooks (FlatControlHooks.cpp).
class TFlatControlHooks {
  public:
    virtual ~TFlatControlHooks() = default;
    // The control was selected by kind, parent kind and tags: it gets its hook (one per control).
    virtual void HookControl(QWidget* control) = 0;
    // The painter stopped painting (Active off, or the painter goes): every hook lets go of its
    // control at once. The painter repaints the controls afterwards where asked to.
    virtual void UnhookAll() = 0;
    // The serving role passes from this painter to `to`: the hooks of controls that do not lie
    // inside `leavingForm` (nullptr: none is leaving) go over to `to`.
    virtual void HandOver(TFlatMenuPainter& to, const QWidget* leavingForm) = 0;
    // The controls that lie inside form return to their plain look.
    virtual void RestoreForm(const QWidget* form) = 0;
};
// Made by the painter's constructor; defined with the control painters.
std::unique_ptr<TFlatControlHooks> CreateFlatControlHooks(TFlatMenuPainter& painter);

class TFlatMenuPainter : public QObject {
    Q_OBJECT

  public:
    // Owner: the window whose menus and controls this painter hooks (nullptr: none). Made
    // outside any window, the painter still registers with the manager, but serves no form.
    explicit TFlatMenuPainter(QWidget* owner);
    ~TFlatMenuPainter() override;
    TFlatMenuPainter(const TFlatMenuPainter&) = delete;
    TFlatMenuPainter& operator=(const TFlatMenuPainter&) = delete;

    // After the stored settings are in place: registers with the manager (which may make this
    // painter the one that serves the program's other windows).
    void Loaded();

    // --- Published settings (the constructor's defaults in brackets) ---
    bool Active() const { return active_; }  // [false] hooks and paints
    void SetActive(bool value);
    QWidget* Form() const { return form_; }
    const QFont& Font() const { return font_; }          // [the system menu font]
    qb::TColor FontColor() const { return fontColor_; }  // [clMenuText]
    void SetFont(const QFont& font, qb::TColor color);
    qb::TColor Color() const { return color_; }  // [clBtnFace] item background
    void SetColor(qb::TColor value);
    qb::TColor IconBackColor() const { return iconBackColor_; }  // [clBtnFace]
    void SetIconBackColor(qb::TColor value);
    qb::TColor MenuBarColor() const { return menuBarColor_; }  // [clBtnFace]
    void SetMenuBarColor(qb::TColor value);
    qb::TColor SelectColor() const { return selectColor_; }  // [clHighlight]
    void SetSelectColor(qb::TColor value);
    qb::TColor SelectBorderColor() const { return selectBorderColor_; }  // [clHighlight]
    void SetSelectBorderColor(qb::TColor value);
    qb::TColor SelectFontColor() const { return selectFontColor_; }  // [the font's colour]
    void SetSelectFontColor(qb::TColor value);
    qb::TColor DisabledColor() const { return disabledColor_; }  // [clInactiveCaption]
    void SetDisabledColor(qb::TColor value);
    qb::TColor SeparatorColor() const { return separatorColor_; }  // [clBtnFace]
    void SetSeparatorColor(qb::TColor value);
    qb::TColor CheckedColor() const { return checkedColor_; }  // [clHighlight]
    void SetCheckedColor(qb::TColor value);
    bool DrawMenuBar() const { return drawMenuBar_; }  // [false]
    void SetDrawMenuBar(bool value) { drawMenuBar_ = value; }
    int IconWidth() const { return iconWidth_; }  // [24]
    void SetIconWidth(int value);
    bool DrawSelect() const { return drawSelect_; }  // [true]
    void SetDrawSelect(bool value);
    bool UseSystemColors() const { return useSystemColors_; }  // [true]
    void SetUseSystemColors(bool value);
    bool UseDimColor() const { return useDimColor_; }  // [false]
    void SetUseDimColor(bool value);
    bool OverrideOwnerDraw() const { return overrideOwnerDraw_; }  // [false]
    void SetOverrideOwnerDraw(bool value);
    bool Gradient() const { return gradient_; }  // [false]
    void SetGradient(bool value);
    bool FlatMenu() const { return flatMenu_; }  // [false]
    void SetFlatMenu(bool value);
    bool AutoDetect() const { return autoDetect_; }  // [false]
    void SetAutoDetect(bool value) { autoDetect_ = value; }
    TFlatContainers FlatContainers() const { return flatContainers_; }  // [all]
    void SetFlatContainers(TFlatContainers value);
    TFlatControls FlatControls() const { return flatControls_; }  // [all]
    void SetFlatControls(TFlatControls value);
    std::uint8_t GrayLevel() const { return grayLevel_; }  // [10]
    void SetGrayLevel(std::uint8_t value);
    std::uint8_t DimLevel() const { return dimLevel_; }  // [30]
    void SetDimLevel(std::uint8_t value);
    bool DisableSubclassing() const { return disableSubclassing_; }  // [false]
    void SetDisableSubclassing(bool value);

    // --- The colour scheme ---
    // A colour setting changed since the scheme was last computed.
    bool ColorsChanged() const { return colorsChanged_; }
    // Computes the effective colours for painting on device (its depth decides high colour).
    void ComputeColors(const QPaintDevice* device);
    // Computes them when a setting changed since; the painting routines call this first.
    void EnsureColors(const QPaintDevice* device);
    const TFlatColorScheme& Scheme() const { return scheme_; }
    bool HighColor() const { return highColor_; }
    // Lightening percentages of the control painters, 16 and 40 after every computation.
    int FaceDimLevel() const { return faceDimLevel_; }
    int HotFaceDimLevel() const { return hotFaceDimLevel_; }
    // A popup-menu window is being painted flat.
    bool PaintingMenuWindow() const { return paintingMenuWindow_; }
    void SetPaintingMenuWindow(bool value) { paintingMenuWindow_ = value; }
    // The platform family flags the painting reads: menu-bar items track the mouse, and popup
    // windows carry their own two-pixel shadow (no compositor shadow is assumed on Linux).
    static constexpr bool IsWinNT = true;
    static constexpr bool IsWinXP = false;

    // Gives font the system menu font and colour.
    static void SetMenuFont(QFont& font, qb::TColor& color);

    // --- Hooking ---
    // Hooks one menu item added at run time, with withSubItems its whole sub-tree; works
    // whatever Active is.
    void ActivateMenuItem(QAction* item, bool withSubItems);
    // Hooks (enable) or unhooks every menu, menu bar and selected control of owner, and the
    // windows it owns; update repaints what was touched.
    void InitComponents(QObject* owner, bool enable, bool update);
    void InitComponent(QObject* component, bool enable, bool update);
    // The menus of owner that another painter hooked are handed to this one.
    void RepointMenus(QObject* owner);
    // Menu-bar items painted in MenuBarColor until the scheme is next computed.
    void OverrideMenuBarEff(qb::TColor value);
    // The control painters of this painter.
    TFlatControlHooks& ControlHooks() { return *controlHooks_; }

  protected:
    // Paints the bands of the control bars this painter hooked; hooks control bars that appear
    // on the window later when AutoDetect is on.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void markScheme();
    void initControlBar(QWidget* bar, bool enable, bool update);
    void redrawMenuBar();
    void remeasureMenus();
    void rehook(bool unhookFirst);
    void setItemHandlers(QAction* item, bool enable);
    void setItemTreeHandlers(QAction* item, bool enable);
    void hookMenuItem(QAction* item);
    void initMenu(QWidget* menu, bool enable, bool update);
    void initControl(QWidget* control, bool enable, bool update);

    QPointer<QWidget> form_;
    bool active_ = false;
    QFont font_;
    qb::TColor fontColor_ = qb::clMenuText;
    qb::TColor color_ = qb::clBtnFace;
    qb::TColor iconBackColor_ = qb::clBtnFace;
    qb::TColor menuBarColor_ = qb::clBtnFace;
    qb::TColor checkedColor_ = qb::clHighlight;
    qb::TColor separatorColor_ = qb::clBtnFace;
    qb::TColor selectBorderColor_ = qb::clHighlight;
    qb::TColor selectColor_ = qb::clHighlight;
    qb::TColor disabledColor_ = qb::clInactiveCaption;
    qb::TColor selectFontColor_ = qb::clMenuText;
    int iconWidth_ = 24;
    bool drawSelect_ = true;
    bool useSystemColors_ = true;
    bool colorsChanged_ = false;
    TFlatColorScheme scheme_;
    bool highColor_ = true;
    bool overrideOwnerDraw_ = false;
    bool gradient_ = false;
    bool flatMenu_ = false;
    bool autoDetect_ = false;
    TFlatContainers flatContainers_ = TFlatContainers::all();
    TFlatControls flatControls_ = TFlatControls::all();
    std::uint8_t grayLevel_ = 10;
    std::uint8_t dimLevel_ = 30;
    bool drawMenuBar_ = false;
    bool useDimColor_ = false;
    int faceDimLevel_ = 16;
    int hotFaceDimLevel_ = 40;
    bool paintingMenuWindow_ = false;
    bool disableSubclassing_ = false;
    bool registered_ = false;
    std::unique_ptr<TFlatControlHooks> controlHooks_;
};

// The kind of a control for the painter's FlatControls, and of a parent for its
// FlatContainers; nothing when no kind selects it.
std::optional<TFlatControl> FlatControlKind(const QWidget* control);
std::optional<TFlatContainer> FlatContainerKind(const QWidget* parent);
// A control bar: a plain panel that holds tool bars as its bands.
bool IsControlBar(const QWidget* widget);
