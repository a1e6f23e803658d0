#pragma once
// Small controls of the main window's frame: the clickable 16 x 16 images of the side panels,
// the tab row and the find bar, and the splitter that sets the documents panel's width.

#include <QPixmap>
#include <QWidget>

#include <functional>

namespace qb {

// An image control: it draws its picture and reports the mouse to its handlers.
class ImageButton : public QWidget {
    Q_OBJECT

  public:
    explicit ImageButton(QWidget* parent = nullptr);

    void setPicture(const QPixmap& picture);

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
    bool pressed_ = false;
};

// A vertical splitter bar that lies left of the panel it sizes: dragging it makes the panel
// wider or narrower, never below the panel's minimum width.
class SideSplitter : public QWidget {
    Q_OBJECT

  public:
    SideSplitter(QWidget* sized, int minimumWidth, QWidget* parent = nullptr);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QWidget* sized_;
    int minimumWidth_;
    int pressX_ = 0;
    int startWidth_ = 0;
    bool dragging_ = false;
};

// The picture of a close image (a cross in a rounded square) and of the undock image.
QPixmap closeImagePicture();
QPixmap undockImagePicture();

}  // namespace qb
