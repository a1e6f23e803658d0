#pragma once
// The flat painters of hooked controls, picked by the control's class: thin frames for edit-like
// controls, list and tree views, progress bars, group boxes and panels; faces for push buttons,
// boxes for check boxes and radio buttons, flat halves for the arrows of spin boxes. Each paints
// over what the control has just painted of itself, with the hook's flags and the owning
// painter's colour scheme.

#include "menupaint/ControlSubClass.h"
#include "platform/ui/Canvas.h"

class QWidget;
class TFlatMenuPainter;

namespace FlatControlPaint {

// The hook's flags and the painter's scheme for one painting of its control.
struct PaintArgs {
    QWidget& control;
    qb::Canvas& canvas;
    // A painter may correct the hook's flags from what it finds.
    TControlSubClass& hook;
    const TFlatMenuPainter& painter;
};

// Frames.
void PaintComboBox(const PaintArgs& a);
void PaintEdit(const PaintArgs& a);
void PaintRichEdit(const PaintArgs& a);
void PaintBorder(const PaintArgs& a);
void PaintProgressBar(const PaintArgs& a);
void PaintGroupBox(const PaintArgs& a);
void PaintPanel(const PaintArgs& a);

// Buttons.
void PaintButton(const PaintArgs& a);
void PaintBitBtn(const PaintArgs& a);
// A tool button is painted by this painter alone.
void PaintSpeedButton(const PaintArgs& a);
void PaintCheckBox(const PaintArgs& a);
void PaintRadioButton(const PaintArgs& a);
void PaintUpDown(const PaintArgs& a);

// The painter of a control's class; nullptr for a control that is not painted.
using Painter = void (*)(const PaintArgs&);
Painter PainterOf(const QWidget& control);
// The control's own painting is replaced, not painted over.
bool PaintsAlone(const QWidget& control);

// Shared by the painters.
// Half of a size, truncated toward zero as the layouts were measured.
inline int Half(int n) {
    return n / 2;
}
// The control's own background colour and its parent's.
qb::TColor ControlColor(const QWidget& control);
qb::TColor ParentColor(const QWidget& control);
bool RightToLeft(const QWidget& control);
// The width of a combo box's drop-down button; the side of a check box's cell.
int ButtonMetric(const QWidget& control);
// The control's whole area as a rectangle from (0, 0).
qb::TRect ClientRect(const QWidget& control);
// Grows r by dx and dy on each side (shrinks it when they are negative).
void Inflate(qb::TRect& r, int dx, int dy);
// A 1-pixel frame just inside r.
void FrameRect(qb::Canvas& canvas, const qb::TRect& r, qb::TColor color);
// A bevel of width lines inside r (left and top in topLeft, right and bottom in bottomRight);
// r shrinks by width.
void Frame3D(qb::Canvas& canvas, qb::TRect& r, qb::TColor topLeft, qb::TColor bottomRight,
             int width);
void Line(qb::Canvas& canvas, qb::TColor color, QPoint from, QPoint to);

}  // namespace FlatControlPaint
