#pragma once
// The pieces of one thumbnail of an editor's picture strip: the panel that takes the focus and
// reports it, and the pictures an image shows.

#include <QLabel>
#include <QPixmap>
#include <QWidget>

#include <functional>

class QImage;

namespace qb {

// The side of the square a thumbnail's picture is fitted into.
constexpr int kThumbnailSide = 74;

// A thumbnail panel: it takes the focus only when told to (a click does not move the focus by
// itself) and reports gaining it with the reason, losing it, and a left click.
class ThumbnailPanelControl : public QWidget {
    Q_OBJECT

  public:
    explicit ThumbnailPanelControl(QWidget* parent = nullptr);

    std::function<void(Qt::FocusReason reason)> onEnter;
    std::function<void()> onExit;
    std::function<void()> onClick;

  protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    bool leftPressed_ = false;
};

// A thumbnail's caption: its text is the file name, drawn as a file name is read: left to right,
// the base name in the direction of its own text, then the extension ("שלום.jpg" shows the
// Hebrew name followed by ".jpg", never "jpg.שלום").
class ThumbnailCaption : public QLabel {
  public:
    explicit ThumbnailCaption(const QString& name, QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

// The picture scaled up or down to fit the thumbnail square, keeping its proportions. Only the
// small copy is kept, so a strip of many photographs holds little memory.
QPixmap thumbnailPicture(const QImage& image);

// What a thumbnail shows for a picture that could not be read.
QPixmap brokenThumbnailPicture();

}  // namespace qb
