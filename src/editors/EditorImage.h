#pragma once
// The 16 x 16 image buttons of an editor's tool bar: an image control that draws its picture
// and reports the mouse to its handlers. Any mouse button gives a mouse down and a mouse up; a
// left-button release over the image is a click, reported before the mouse up.

#include <QPixmap>
#include <QWidget>

#include <functional>

namespace qb {

class EditorImage : public QWidget {
    Q_OBJECT

  public:
    explicit EditorImage(QWidget* parent = nullptr);

    void setPicture(const QPixmap& picture);
    const QPixmap& picture() const { return picture_; }

    std::function<void()> onMouseDown;
    std::function<void()> onMouseUp;
    std::function<void()> onClick;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QPixmap picture_;
    bool leftPressed_ = false;
};

// The pictures of the four buttons.
QPixmap previousPicture();
QPixmap nextPicture();
QPixmap refreshPicture();
QPixmap explorePicture();

}  // namespace qb
