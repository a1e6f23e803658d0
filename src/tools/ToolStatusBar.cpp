#include "tools/ToolStatusBar.h"

#include <QLabel>
#include <QProgressBar>
#include <QResizeEvent>
#include <QVBoxLayout>

#include <algorithm>

namespace qb {

namespace {
constexpr int kPanelWidths[2] = {400, 50};
constexpr int kProgressLeft = 402;
constexpr int kProgressRightGap = 40;
constexpr int kPanelTextGap = 4;
}  // namespace

ToolStatusBar::ToolStatusBar(QWidget* parent) : QStatusBar(parent) {
    setObjectName(QStringLiteral("StatusBar"));
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        label->setFixedWidth(kPanelWidths[i]);
        addWidget(label);
        panels_[i] = label;
    }
    // Not in the bar's layout: it lies over the second panel and the free space after it.
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("ProgressBar"));
    progress_->setTextVisible(false);
    progress_->setRange(0, 1);
    progress_->hide();
    placeProgressBar();
}

ToolStatusBar* ToolStatusBar::layOut(QWidget* window, QLayout* content) {
    content->setContentsMargins(8, 8, 8, 4);
    auto* bar = new ToolStatusBar(window);
    auto* outer = new QVBoxLayout(window);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addLayout(content, 1);
    outer->addWidget(bar);
    return bar;
}

void ToolStatusBar::setPanelText(const QString& text, bool repaintNow) {
    text_ = text;
    // A text longer than the panel ends in an ellipsis a few pixels short of the panel's edge,
    // where the progress bar lies: it is never cut off against the bar.
    QLabel* panel = panels_[0];
    panel->setText(
        panel->fontMetrics().elidedText(text, Qt::ElideRight, panel->width() - kPanelTextGap));
    if (repaintNow) {
        panels_[0]->repaint();
    }
}

QString ToolStatusBar::panelText() const {
    return text_;
}

void ToolStatusBar::startProgress(int maximum) {
    progress_->setRange(0, std::max(1, maximum));
    progress_->setValue(0);
    progress_->show();
    progress_->raise();
}

void ToolStatusBar::stepProgress() {
    progress_->setValue(std::min(progress_->maximum(), progress_->value() + 1));
}

void ToolStatusBar::hideProgress() {
    progress_->hide();
}

void ToolStatusBar::resizeEvent(QResizeEvent* event) {
    QStatusBar::resizeEvent(event);
    placeProgressBar();
}

void ToolStatusBar::placeProgressBar() {
    progress_->setGeometry(kProgressLeft, 1,
                           std::max(0, width() - kProgressLeft - kProgressRightGap),
                           std::max(0, height() - 2));
}

}  // namespace qb
