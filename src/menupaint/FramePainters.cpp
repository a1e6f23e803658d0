#include "menupaint/ControlPainters.h"

#include "menupaint/FlatMenuPainter.h"
#include "platform/ui/Components.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeView>

using FlatMenuPainter::DarkenColor;
using FlatMenuPainter::LightenColor;
using FlatMenuPainter::MixColors;
using qb::Canvas;
using qb::TColor;
using qb::TRect;

namespace FlatControlPaint {

namespace {

// A 1-pixel outline on r's edge.
void Outline(Canvas& canvas, const TRect& r, TColor color) {
    canvas.SetPenColor(color);
    canvas.SetHollowBrush();
    canvas.Rectangle(r);
}

// The style paints a combo box without an edit part as a push button: its field is painted
// again in the field's colour, with the current item's text and icon, as in an edit part.
void WipeComboField(QComboBox& combo, Canvas& canvas, TColor color) {
    TRect field = ClientRect(combo);
    Inflate(field, -2, -2);
    canvas.FillRect(field, color);
    QStyleOptionComboBox option;
    option.initFrom(&combo);
    option.currentText = combo.currentText();
    option.currentIcon = combo.itemIcon(combo.currentIndex());
    option.iconSize = combo.iconSize();
    option.palette.setColor(QPalette::ButtonText, option.palette.color(QPalette::Text));
    combo.style()->drawControl(QStyle::CE_ComboBoxLabel, &option, &canvas.painter(), &combo);
}

bool ComboDroppedDown(const QComboBox& combo) {
    return combo.view() != nullptr && combo.view()->isVisible();
}

}  // namespace

TColor ControlColor(const QWidget& control) {
    // Text fields, lists and the edit part of a combo box have the window colour (clWindow),
    // which Qt keeps as the base colour.
    const bool textLike = qobject_cast<const QComboBox*>(&control) != nullptr ||
                          qobject_cast<const QLineEdit*>(&control) != nullptr ||
                          qobject_cast<const QAbstractScrollArea*>(&control) != nullptr ||
                          qobject_cast<const QAbstractSpinBox*>(&control) != nullptr;
    // Other controls show the window colour they share with their parent unless they set
    // their own: Qt's button role is the face of push buttons, not a check box's background.
    const QPalette::ColorRole role = textLike ? QPalette::Base : QPalette::Window;
    return qb::fromQColor(control.palette().color(role));
}

TColor ParentColor(const QWidget& control) {
    const QWidget* parent = control.parentWidget();
    if (parent == nullptr) {
        return qb::colorToRGB(qb::clBtnFace);
    }
    return qb::fromQColor(parent->palette().color(parent->backgroundRole()));
}

bool RightToLeft(const QWidget& control) {
    return control.layoutDirection() == Qt::RightToLeft;
}

int ButtonMetric(const QWidget& control) {
    if (const auto* combo = qobject_cast<const QComboBox*>(&control)) {
        // The flat button covers the whole drop-down button that the style drew.
        QStyleOptionComboBox option;
        option.initFrom(combo);
        option.editable = combo->isEditable();
        return combo->style()
            ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, combo)
            .width();
    }
    // A check box's cell: the style's indicator and the margins of the flat box around it.
    return control.style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, &control) + 4;
}

TRect ClientRect(const QWidget& control) {
    return {0, 0, control.width(), control.height()};
}

void Inflate(TRect& r, int dx, int dy) {
    r.Left -= dx;
    r.Right += dx;
    r.Top -= dy;
    r.Bottom += dy;
}

void FrameRect(Canvas& canvas, const TRect& r, TColor color) {
    if (r.Width() <= 0 || r.Height() <= 0) {
        return;
    }
    canvas.FillRect({r.Left, r.Top, r.Right, r.Top + 1}, color);
    canvas.FillRect({r.Left, r.Bottom - 1, r.Right, r.Bottom}, color);
    canvas.FillRect({r.Left, r.Top, r.Left + 1, r.Bottom}, color);
    canvas.FillRect({r.Right - 1, r.Top, r.Right, r.Bottom}, color);
}

void Frame3D(Canvas& canvas, TRect& r, TColor topLeft, TColor bottomRight, int width) {
    for (int i = 0; i < width; ++i) {
        const int right = r.Right - 1;
        const int bottom = r.Bottom - 1;
        canvas.SetPenColor(topLeft);
        canvas.Polyline({{r.Left, bottom}, {r.Left, r.Top}, {right, r.Top}});
        canvas.SetPenColor(bottomRight);
        canvas.Polyline({{right, r.Top}, {right, bottom}, {r.Left - 1, bottom}});
        Inflate(r, -1, -1);
    }
}

void Line(Canvas& canvas, TColor color, QPoint from, QPoint to) {
    canvas.SetPenColor(color);
    canvas.MoveTo(from.x(), from.y());
    canvas.LineTo(to.x(), to.y());
}

void PaintComboBox(const PaintArgs& a) {
    auto& combo = static_cast<QComboBox&>(a.control);
    Canvas& canvas = a.canvas;
    const TFlatColorScheme& s = a.painter.Scheme();
    const TColor color = ControlColor(combo);
    const TColor parent = ParentColor(combo);
    const bool rtl = RightToLeft(combo);
    const bool hot = a.hook.Hot;
    const bool focused = a.hook.Focused;
    const bool lit = hot || focused;
    const int sm = ButtonMetric(combo);

    TColor arrow = combo.isEnabled() ? qb::clBlack : qb::clWhite;
    TColor border;
    TColor face;
    if (hot) {
        border = s.SelectBorderEff;
        face = s.SelectEff;
    } else if (focused) {
        border = LightenColor(s.SelectBorderEff, 60);
        face = s.CheckFaceEff;
    } else {
        border = color;
        face = qb::tag(&combo) == 1000 ? LightenColor(parent, a.painter.FaceDimLevel())
                                       : qb::colorToRGB(qb::clBtnFace);
    }
    TRect r = ClientRect(combo);
    if (!combo.isEditable()) {
        WipeComboField(combo, canvas, color);
    }
    FrameRect(canvas, r, parent);
    Inflate(r, -1, -1);
    Line(canvas, parent, {r.Left, r.Top}, {r.Right, r.Top});
    Inflate(r, 0, -1);
    if (lit) {
        Inflate(r, 1, 1);
    }
    FrameRect(canvas, r, color);
    r.Bottom += 1;
    FrameRect(canvas, r, border);
    if (ComboDroppedDown(combo)) {
        border = s.SelectBorderEff;
        arrow = qb::clWhite;
        face = s.CheckFaceSelEff;
    }
    // Qt has no combo box whose list is always shown: every one has its drop-down button.
    Inflate(r, -1, -1);
    if (rtl) {
        r.Right = r.Left + sm + 1 + (lit ? 2 : 0);
    } else {
        r.Left = r.Right - sm - 1 - (lit ? 1 : 0);
    }
    canvas.FillRect(r, face);
    if (rtl) {
        r.Left = r.Right - 5;
    } else {
        r.Right = r.Left + 5;
    }
    canvas.FillRect(r, color);
    const int edge = rtl ? r.Left : r.Right;
    Line(canvas, border, {edge, r.Top}, {edge, r.Bottom});
    const TRect q = ClientRect(combo);
    const int x = rtl ? q.Left + 5 : q.Right - 10;
    Line(canvas, arrow, {x, q.Top + 10}, {x + 5, q.Top + 10});
    Line(canvas, arrow, {x + 1, q.Top + 11}, {x + 4, q.Top + 11});
    Line(canvas, arrow, {x + 2, q.Top + 12}, {x + 3, q.Top + 12});
}

void PaintEdit(const PaintArgs& a) {
    const QWidget& edit = a.control;
    const TFlatColorScheme& s = a.painter.Scheme();
    const TColor color = ControlColor(edit);
    const TColor parent = ParentColor(edit);
    const bool framed = a.hook.SavedBorderStyle == bsSingle;
    TColor frame = a.hook.Hot || a.hook.Focused ? LightenColor(s.SelectBorderEff, 60)
                                                : DarkenColor(parent, 60);
    if (!framed) {
        frame =
            a.hook.Hot && !a.hook.Focused ? LightenColor(MixColors({color, parent}), 40) : color;
    }
    const TRect r = ClientRect(edit);
    if (framed) {
        // The style's sunken frame is two pixels deep: its inner ring takes the field's colour,
        // as an edit shows once its 3D border is off.
        TRect inner = r;
        Inflate(inner, -1, -1);
        FrameRect(a.canvas, inner, color);
    }
    Outline(a.canvas, r, frame);
}

void PaintRichEdit(const PaintArgs& a) {
    const QWidget& edit = a.control;
    if (a.hook.SavedBorderStyle != bsSingle) {
        // The text area covers the whole control: there is no edge of its own to paint on.
        return;
    }
    const TFlatColorScheme& s = a.painter.Scheme();
    const TColor color = a.hook.Hot || a.hook.Focused ? LightenColor(s.SelectBorderEff, 60)
                                                      : DarkenColor(ParentColor(edit), 60);
    // The sunken frame becomes a one-pixel frame and a margin in the field's colour.
    TRect r = ClientRect(edit);
    Frame3D(a.canvas, r, color, color, 1);
    const auto* frame = qobject_cast<const QFrame*>(&edit);
    const int depth = frame != nullptr ? frame->frameWidth() : 2;
    const TColor field = ControlColor(edit);
    for (int i = 1; i < depth; ++i) {
        FrameRect(a.canvas, r, field);
        Inflate(r, -1, -1);
    }
}

void PaintBorder(const PaintArgs& a) {
    const TFlatColorScheme& s = a.painter.Scheme();
    const TColor parent = ParentColor(a.control);
    const bool single = a.hook.SavedBorderStyle == bsSingle;
    TColor color = single ? DarkenColor(parent, 60) : parent;
    if (a.hook.Hot || a.hook.Focused) {
        color = LightenColor(s.SelectBorderEff, single ? 60 : 80);
    }
    Outline(a.canvas, ClientRect(a.control), color);
}

void PaintProgressBar(const PaintArgs& a) {
    const TColor color =
        a.hook.Hot ? a.painter.Scheme().SelectBorderEff : DarkenColor(ParentColor(a.control), 60);
    Outline(a.canvas, ClientRect(a.control), color);
}

void PaintGroupBox(const PaintArgs& a) {
    auto& box = static_cast<QGroupBox&>(a.control);
    if (box.isCheckable()) {
        // Its title is a check box of the style's own, which a flat caption would wipe out.
        return;
    }
    Canvas& canvas = a.canvas;
    const TColor color = ControlColor(box);
    const TColor parent = ParentColor(box);
    const bool raised = !box.isFlat();
    const TRect client = ClientRect(box);
    const QFontMetrics metrics(box.font());
    const QString caption = box.title();
    const int h = metrics.height();
    const int w = caption.isEmpty() ? 0 : metrics.horizontalAdvance(caption);
    const TColor dark = DarkenColor(color, 60);
    const TColor light = LightenColor(color, 60);

    // The style lays out its own frame and title elsewhere: the face is wiped first.
    canvas.FillRect(client, color);

    TRect r = client;
    r.Top += Half(h) - 1;
    Frame3D(canvas, r, raised ? light : dark, dark, 1);

    r = client;
    r.Bottom = r.Top + Half(h) + 1;
    canvas.FillRect(r, parent);

    TRect t;
    if (RightToLeft(box)) {
        t.Right = r.Right - 9;
        t.Left = t.Right - w;
    } else {
        t.Left = r.Left + 9;
        t.Right = t.Left + w;
    }
    t.Top = r.Top;
    t.Bottom = r.Top + h;

    // The background under the lower half of the caption.
    canvas.FillRect({t.Left, r.Bottom, t.Right, r.Bottom + Half(h) + 1}, color);
    Line(canvas, color, {client.Right - 2, Half(h) + 1}, {client.Right - 2, t.Bottom});

    QPainter& qp = canvas.painter();
    qp.save();
    qp.setFont(box.font());
    qp.setPen(box.palette().color(box.isEnabled() ? QPalette::Active : QPalette::Disabled,
                                  QPalette::WindowText));
    qp.drawText(t.toQRect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, caption);
    qp.restore();

    // The top edge, with the caption's gap.
    const int y = client.Top + Half(h) + 1;
    const TColor edge = raised ? light : dark;
    Line(canvas, edge, {client.Left, y}, {t.Left, y});
    Line(canvas, edge, {t.Right, y}, {client.Right - 1, y});
}

void PaintPanel(const PaintArgs& a) {
    auto& panel = static_cast<QFrame&>(a.control);
    const TColor color = ControlColor(panel);
    const TColor dark = DarkenColor(color, 60);
    const TColor light = LightenColor(color, 60);
    TRect r = ClientRect(panel);
    // The frame's shadow is the panel's outer bevel; a plain frame has none.
    switch (panel.frameShadow()) {
        case QFrame::Sunken:
            Frame3D(a.canvas, r, dark, light, panel.lineWidth());
            break;
        case QFrame::Raised:
            Frame3D(a.canvas, r, light, dark, panel.lineWidth());
            break;
        default:
            break;
    }
}

bool PaintsAlone(const QWidget& control) {
    return PainterOf(control) == PaintSpeedButton;
}

Painter PainterOf(const QWidget& control) {
    const QWidget* w = &control;
    if (qobject_cast<const QComboBox*>(w)) {
        return PaintComboBox;
    }
    if (qobject_cast<const QTextEdit*>(w)) {
        return PaintRichEdit;
    }
    if (qobject_cast<const QLineEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w)) {
        return PaintEdit;
    }
    if (qobject_cast<const QCheckBox*>(w)) {
        return PaintCheckBox;
    }
    if (qobject_cast<const QRadioButton*>(w)) {
        return PaintRadioButton;
    }
    if (const auto* button = qobject_cast<const QPushButton*>(w)) {
        return button->icon().isNull() ? PaintButton : PaintBitBtn;
    }
    if (qobject_cast<const QToolButton*>(w)) {
        return w->isHidden() ? nullptr : PaintSpeedButton;
    }
    if (qobject_cast<const QAbstractSpinBox*>(w)) {
        return PaintUpDown;
    }
    if (qobject_cast<const QGroupBox*>(w)) {
        return PaintGroupBox;
    }
    if (qobject_cast<const QTreeView*>(w) || qobject_cast<const QListView*>(w)) {
        return PaintBorder;
    }
    if (qobject_cast<const QProgressBar*>(w)) {
        return PaintProgressBar;
    }
    if (FlatControlKind(w) == TFlatControl::fcPanel) {
        return PaintPanel;
    }
    return nullptr;
}

}  // namespace FlatControlPaint
