#pragma once
// Small controls of the main window's frame: the splitter that sets the documents panel's
// width, and the picture of the undock image.

#include <QPixmap>
#include <QWidget>

#include <functional>

namespace qb {

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

// The picture of the undock image.
QPixmap undockImagePicture();

}  // namespace qb
