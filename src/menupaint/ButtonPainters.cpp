#include "menupaint/ControlPainters.h"

#include "menupaint/FlatMenuDraw.h"
#include "menupaint/FlatMenuPainter.h"
#include "platform/ui/Components.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QCursor>
#include <QFontMetrics>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionSpinBox>

using FlatMenuPainter::DarkenColor;
using FlatMenuPainter::LightenColor;
using qb::Canvas;
using qb::TColor;
using qb::TRect;

namespace FlatControlPaint {

namespace {

int Half(int n) {
    return n / 2;
}

// The caption and picture of a push button. A button with a picture is the framework's bitmap
// button: the picture sits left of the caption, the pair centred.
void PaintButtonFace(const PaintArgs& a, QPushButton& button) {
    Canvas& canvas = a.canvas;
    const QString caption = button.text();
    const QFont font = button.font();
    const QSize text =
        caption.isEmpty() ? QSize(0, 0) : QFontMetrics(font).size(Qt::TextShowMnemonic, caption);
    const bool rtl = RightToLeft(button);
    const TRect r = ClientRect(button);
    TRect captionRect;
    captionRect.Left = Half(r.Width() - text.width());
    if (!button.icon().isNull()) {
        const QSize glyph = button.iconSize();
        const int spacing = caption.trimmed().isEmpty() ? 0 : 4;
        TRect g;
        g.Top = Half(r.Height() - glyph.height());
        g.Bottom = g.Top + glyph.height();
        if (rtl) {
            g.Right = Half(spacing + glyph.width() + text.width() + r.Width());
            g.Left = g.Right - glyph.width();
            captionRect.Left = g.Left - spacing - text.width();
        } else {
            g.Left = Half(r.Width() - (spacing + glyph.width() + text.width()));
            g.Right = g.Left + glyph.width();
            captionRect.Left = g.Right + spacing;
        }
        const QImage image = button.icon().pixmap(glyph).toImage();
        FlatMenuPainter::DrawIcon(a.painter, canvas, FlatMenuPainter::IconSender::Button, image, g,
                                  a.hook.Hot, a.hook.Focused, button.isEnabled(), false, false,
                                  rtl);
    }
    captionRect.Top = Half(r.Height() - text.height());
    captionRect.Right = captionRect.Left + text.width();
    captionRect.Bottom = captionRect.Top + text.height();
    const unsigned flags =
        rtl ? FlatMenuPainter::TextRtlReading : static_cast<unsigned>(FlatMenuPainter::TextLeft);
    const TColor fontColor = qb::fromQColor(button.palette().color(QPalette::ButtonText));
    FlatMenuPainter::DrawItemText(a.painter, canvas, caption, QString(), captionRect, false,
                                  button.isEnabled(), button.isDefault(), false, rtl, font,
                                  fontColor, flags);
}

}  // namespace

void PaintButton(const PaintArgs& a) {
    auto& button = static_cast<QPushButton&>(a.control);
    Canvas& canvas = a.canvas;
    const TFlatColorScheme& s = a.painter.Scheme();
    const TControlSubClass& hook = a.hook;
    const TColor parent = ParentColor(button);
    const bool parentFace = qb::tag(&button) == 1000;

    TColor face;
    TColor border;
    if (hook.Hot) {
        face = LightenColor(parentFace ? parent : qb::colorToRGB(qb::clBtnFace),
                            a.painter.HotFaceDimLevel());
        border = LightenColor(s.SelectBorderEff, 60);
    } else {
        face = parentFace ? LightenColor(parent, a.painter.FaceDimLevel()) : s.IconBackEff;
        border =
            hook.Focused ? LightenColor(s.SelectBorderEff, 60) : qb::colorToRGB(qb::clBtnShadow);
    }
    const TRect r = ClientRect(button);
    // The corners outside the rounded face take the parent's colour.
    canvas.FillRect(r, parent);
    canvas.SetBrushColor(face);
    canvas.SetPenColor(LightenColor(border, 30));
    canvas.RoundRect(r, 4, 4);
    if (button.isEnabled()) {
        // The edge line: along the top and left when pressed, else along the bottom and right.
        canvas.SetPenColor(DarkenColor(border, 50));
        if (hook.SpaceDown || (hook.MouseDown && hook.Hot)) {
            canvas.Polyline({{r.Left, r.Bottom - 2},
                             {r.Left, r.Top + 1},
                             {r.Left + 1, r.Top},
                             {r.Right - 1, r.Top}});
        } else {
            canvas.Polyline({{r.Right - 1, r.Top + 1},
                             {r.Right - 1, r.Bottom - 2},
                             {r.Right - 2, r.Bottom - 1},
                             {r.Left, r.Bottom - 1}});
        }
    }
    PaintButtonFace(a, button);
}

namespace {

// The cell of a check box or radio button: the style's indicator lies at the start of the
// line (at its end right to left), as the framework's box of a caption aligned right does.
TRect BoxCell(const QWidget& control, int shrink, int height) {
    const int sm = ButtonMetric(control);
    TRect r = ClientRect(control);
    Inflate(r, 0, -shrink);
    r.Top += Half(r.Height() - sm);
    r.Bottom = r.Top + height;
    if (RightToLeft(control)) {
        r.Left = r.Right - sm + 1;
    } else {
        r.Right = r.Left + sm - 1;
    }
    return r;
}

}  // namespace

void PaintCheckBox(const PaintArgs& a) {
    auto& box = static_cast<QCheckBox&>(a.control);
    Canvas& canvas = a.canvas;
    const TFlatColorScheme& s = a.painter.Scheme();
    const TControlSubClass& hook = a.hook;
    const bool grayed = box.checkState() == Qt::PartiallyChecked;
    const bool pressed = hook.SpaceDown || hook.MouseDown;

    TColor face = qb::colorToRGB(qb::clWindow);
    TColor frame = qb::colorToRGB(qb::clBtnShadow);
    if (hook.Hot || hook.Focused) {
        face = s.SelectEff;
        frame = s.SelectBorderEff;
    }
    if (pressed) {
        face = s.CheckFaceSelEff;
    }
    if (grayed) {
        face = qb::clSilver;
    }
    TRect r = BoxCell(box, 3, ButtonMetric(box));
    canvas.FillRect(r, ControlColor(box));
    Inflate(r, -2, -2);
    canvas.SetBrushColor(face);
    canvas.SetPenColor(frame);
    canvas.Rectangle(r);
    if (box.isChecked() || grayed) {
        canvas.SetPenColor(!box.isEnabled() ? s.DisabledEff
                           : pressed        ? qb::colorToRGB(qb::clWindow)
                           : grayed         ? qb::clGray
                                            : qb::colorToRGB(qb::clHighlight));
        FlatMenuPainter::DrawCheckMark(canvas, r.Left, r.Bottom);
    }
}

void PaintRadioButton(const PaintArgs& a) {
    auto& radio = static_cast<QRadioButton&>(a.control);
    Canvas& canvas = a.canvas;
    const TFlatColorScheme& s = a.painter.Scheme();
    const TControlSubClass& hook = a.hook;

    TColor face = qb::colorToRGB(qb::clWindow);
    TColor frame = qb::colorToRGB(qb::clBtnShadow);
    if (hook.Hot) {
        face = s.SelectEff;
        frame = s.SelectBorderEff;
    }
    if (hook.Focused) {
        face = s.SelectEff;
    }
    TRect r = BoxCell(radio, 4, ButtonMetric(radio) - 1);
    canvas.FillRect(r, ControlColor(radio));
    Inflate(r, -2, -2);
    canvas.SetBrushColor(face);
    canvas.SetPenColor(frame);
    canvas.Ellipse(r);
    if (radio.isChecked()) {
        Inflate(r, -2, -2);
        const TColor mark = radio.isEnabled() ? qb::colorToRGB(qb::clHighlight) : s.DisabledEff;
        canvas.SetBrushColor(mark);
        canvas.SetPenColor(mark);
        canvas.Ellipse(r);
    }
}

namespace {

void PaintUpDownHalf(const PaintArgs& a, const TRect& q, int direction, bool highlighted) {
    Canvas& canvas = a.canvas;
    const TFlatColorScheme& s = a.painter.Scheme();
    const QWidget& control = a.control;
    const TColor parent = ParentColor(control);
    TColor arrow = control.isEnabled() ? qb::clBlack : qb::clWhite;
    if (highlighted) {
        canvas.SetPenColor(s.SelectBorderEff);
        if (a.hook.MouseDown) {
            canvas.SetBrushColor(s.CheckFaceSelEff);
            arrow = qb::clWhite;
        } else {
            canvas.SetBrushColor(LightenColor(s.SelectEff, 60));
        }
    } else {
        canvas.SetBrushColor(LightenColor(qb::tag(&control) == 1000 ? parent : s.SelectEff,
                                          a.painter.FaceDimLevel()));
        canvas.SetPenColor(LightenColor(parent, 80));
    }
    canvas.Rectangle(q);
    canvas.SetPenColor(arrow);
    FlatMenuPainter::DrawUpDownArrow(canvas, q.Left + Half(q.Width()), q.Top + Half(q.Height()) - 2,
                                     direction);
}

}  // namespace

void PaintUpDown(const PaintArgs& a) {
    auto& spin = static_cast<QAbstractSpinBox&>(a.control);
    if (spin.buttonSymbols() == QAbstractSpinBox::NoButtons) {
        return;
    }
    // The up-down control of a spin box is the pair of buttons at its side.
    QStyleOptionSpinBox option;
    option.initFrom(&spin);
    option.buttonSymbols = spin.buttonSymbols();
    option.subControls = QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown;
    option.frame = spin.hasFrame();
    const QStyle* style = spin.style();
    const QRect up =
        style->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, &spin);
    const QRect down =
        style->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxDown, &spin);
    const TRect r = TRect::fromQRect(up.united(down));
    const int m = Half(r.Height());
    // The boundary row belongs to the lower half.
    const int py = spin.mapFromGlobal(QCursor::pos()).y() - r.Top;
    const bool live = spin.isEnabled() && a.hook.Hot;
    PaintUpDownHalf(a, {r.Left, r.Top, r.Right, r.Top + m}, 0, live && py < m);
    PaintUpDownHalf(a, {r.Left, r.Bottom - m, r.Right, r.Bottom}, 1, live && py >= m);
}

}  // namespace FlatControlPaint
