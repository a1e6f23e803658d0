#pragma once
// An image control: a small picture (16 x 16 unless resized) with a hand cursor
// that reports the mouse to its handlers. Any mouse button gives a mouse down and a mouse up;
// a left-button press released over the image is a click, reported before the mouse up.

#include <QPixmap>
#include <QWidget>

#include <functional>

namespace qb {

class ImageControl : public QWidget {
    Q_OBJECT

  public:
    explicit ImageControl(QWidget* parent = nullptr);

    void setPicture(const QPixmap& picture);
    const QPixmap& picture() const { return picture_; }

    std::function<void()> onMouseDown;
    std::function<void()> onMouseUp;
    std::function<void()> onMouseMove;
    std::function<void()> onClick;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;

  private:
    QPixmap picture_;
    bool leftPressed_ = false;
};

// The picture of a close image: a cross in a rounded square.
QPixmap closeImagePicture();

}  // namespace qb
