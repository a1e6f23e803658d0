#pragma once
// The program's style over the platform's own: what the framework's application object set
// program-wide (the tool-tip delay) and Qt keeps in its style.

#include <QProxyStyle>

namespace qb {

class ProgramStyle : public QProxyStyle {
  public:
    ProgramStyle();

    // Milliseconds before a tool tip shows.
    int toolTipDelay() const { return toolTipDelay_; }
    void setToolTipDelay(int ms) { toolTipDelay_ = ms; }

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override;

  private:
    int toolTipDelay_ = 700;
};

// The program's style, installed on the application on first use.
ProgramStyle& programStyle();

}  // namespace qb
