#pragma once
// A paint box: a control without a face of its own whose OnPaint handler draws it on every
// paint. What lies under it shows through wherever the handler draws nothing.

#include <QPainter>
#include <QWidget>

#include <functional>

namespace qb {

class PaintBox : public QWidget {
    Q_OBJECT

  public:
    using PaintHandler = std::function<void(PaintBox& sender, QPainter& canvas)>;

    explicit PaintBox(QWidget* parent = nullptr);

    void setOnPaint(PaintHandler handler) { onPaint_ = std::move(handler); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    PaintHandler onPaint_;
};

}  // namespace qb
