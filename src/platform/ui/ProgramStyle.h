#pragma once
// The program's style over the platform's own: the program-wide settings Qt keeps in its style
// (the tool-tip delay). Painters that give some widgets a
// look of their own plug in as hooks that the style asks first; the base style answers for
// everything that no hook claims. Nothing may replace this style (QApplication::setStyle would
// free it and every hook with it would fall silent).

#include <QProxyStyle>

#include <optional>
#include <vector>

namespace qb {

// A painter that the program style asks before its base style. Each call returns whether (or
// what) the hook answered; an unanswered call goes to the base style.
class StyleHook {
  public:
    virtual ~StyleHook() = default;
    virtual bool drawControl(QStyle::ControlElement, const QStyleOption*, QPainter*,
                             const QWidget*) const {
        return false;
    }
    virtual bool drawPrimitive(QStyle::PrimitiveElement, const QStyleOption*, QPainter*,
                               const QWidget*) const {
        return false;
    }
    virtual std::optional<QSize> sizeFromContents(QStyle::ContentsType, const QStyleOption*,
                                                  const QSize&, const QWidget*) const {
        return std::nullopt;
    }
    virtual std::optional<int> pixelMetric(QStyle::PixelMetric, const QStyleOption*,
                                           const QWidget*) const {
        return std::nullopt;
    }
    virtual std::optional<int> styleHint(QStyle::StyleHint, const QStyleOption*, const QWidget*,
                                         QStyleHintReturn*) const {
        return std::nullopt;
    }
};

class ProgramStyle : public QProxyStyle {
  public:
    ProgramStyle();

    // Milliseconds before a tool tip shows.
    int toolTipDelay() const { return toolTipDelay_; }
    void setToolTipDelay(int ms) { toolTipDelay_ = ms; }

    // Hooks are asked in the order added; a hook removes itself before it goes.
    void addHook(StyleHook* hook);
    void removeHook(StyleHook* hook);

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override;
    // Read when first drawn: every tool bar and menu bar asks for its extension button's icon
    // when it is made, and most of them never show that button.
    QIcon standardIcon(StandardPixmap which, const QStyleOption* option,
                       const QWidget* widget) const override;

  private:
    int toolTipDelay_ = 700;
    std::vector<StyleHook*> hooks_;
};

// The program's style, installed on the application on first use.
ProgramStyle& programStyle();
// The program's style when it has been installed, else nullptr (it is never made here).
ProgramStyle* existingProgramStyle();

}  // namespace qb
