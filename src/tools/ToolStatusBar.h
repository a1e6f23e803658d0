#pragma once
// The status bar of the export and picture-import dialogs: a text panel 400 pixels wide, a
// second panel 50 wide, and a progress bar laid over the bar from x 402 to 40 pixels short of
// its right end, hidden until long work shows it.

#include <QStatusBar>
#include <QString>

#include <array>

class QLabel;
class QLayout;
class QProgressBar;

namespace qb {

class ToolStatusBar : public QStatusBar {
    Q_OBJECT

  public:
    explicit ToolStatusBar(QWidget* parent = nullptr);

    // Lays the window out as its content (with the dialogs' margins) above a bar of this kind,
    // which it returns.
    static ToolStatusBar* layOut(QWidget* window, QLayout* content);

    QLabel* panel(int index) const { return panels_.at(static_cast<std::size_t>(index)); }
    QProgressBar* progressBar() const { return progress_; }

    // Panel 0's text, shown cut short with an ellipsis when the panel is too narrow for it. Work
    // that lets no messages through asks for the repaint at once.
    void setPanelText(const QString& text, bool repaintNow = false);
    QString panelText() const;

    // Shows the bar at 0 of `maximum` steps (at least one step: a bar of 0..0 animates).
    void startProgress(int maximum);
    void stepProgress();
    void hideProgress();

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void placeProgressBar();

    std::array<QLabel*, 2> panels_{};
    QString text_;
    QProgressBar* progress_ = nullptr;
};

}  // namespace qb
