#pragma once
// A drawing surface with the pixel rules the painting routines were measured with: rectangles
// are (left, top, right, bottom) with right and bottom excluded, a line leaves out its end
// point, an outlined shape lies wholly inside its rectangle and its inside takes the brush.
// It draws through a QPainter without antialiasing; colours are 0x00BBGGRR values.

#include "platform/core/Color.h"

#include <QPoint>
#include <QRect>

#include <initializer_list>

class QPainter;

namespace qb {

// A rectangle as (left, top, right, bottom), right and bottom excluded.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    QRect toQRect() const { return QRect(Left, Top, Right - Left, Bottom - Top); }
    static TRect fromQRect(const QRect& r) {
        return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    }
    bool operator==(const TRect&) const = default;
};

class Canvas {
  public:
    explicit Canvas(QPainter& painter);
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    ~Canvas();

    QPainter& painter() { return painter_; }

    void SetPenColor(TColor color);
    TColor PenColor() const { return pen_; }
    void SetBrushColor(TColor color);
    TColor BrushColor() const { return brush_; }
    // Shapes are outlined only until the next SetBrushColor.
    void SetHollowBrush() { hollow_ = true; }

    // Fills the rectangle with the brush colour.
    void FillRect(const TRect& r);
    void FillRect(const TRect& r, TColor color);
    // Outline in the pen colour on the rectangle's edge, inside in the brush.
    void Rectangle(const TRect& r);
    // The same with corners rounded by an ellipse of w by h.
    void RoundRect(const TRect& r, int w, int h);
    // The ellipse that fills the rectangle.
    void Ellipse(const TRect& r);

    void MoveTo(int x, int y);
    // A line in the pen colour from the current position to (x, y), without (x, y).
    void LineTo(int x, int y);
    // Lines through the points, each without its end point (so the last point stays empty).
    void Polyline(std::initializer_list<QPoint> points);
    void SetPixel(int x, int y, TColor color);
    // The colour at (x, y) of a canvas on an image; white elsewhere or outside the image.
    TColor Pixel(int x, int y) const;

  private:
    void plot(int x, int y);

    QPainter& painter_;
    TColor pen_ = clBlack;
    TColor brush_ = clWhite;
    bool hollow_ = false;
    QPoint position_;
    bool antialiasing_ = false;
};

}  // namespace qb
