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
#include <QToolButton>

using FlatMenuPainter::DarkenColor;
using FlatMenuPainter::LightenColor;
using qb::Canvas;
using qb::TColor;
using qb::TRect;

namespace FlatControlPaint {

namespace {

// The gap between a button's picture and its caption.
constexpr int kBitBtnSpacing = 4;

// The size of a button's caption in its font; nothing for an empty caption.
QSize CaptionSize(const QPushButton& button) {
    return button.text().isEmpty()
               ? QSize(0, 0)
               : QFontMetrics(button.font()).size(Qt::TextShowMnemonic, button.text());
}

void DrawButtonCaption(const PaintArgs& a, const QPushButton& button, const TRect& r,
                       unsigned flags) {
    const bool rtl = RightToLeft(button);
    if (rtl) {
        flags |= FlatMenuPainter::TextRtlReading;
    }
    const TColor fontColor = qb::fromQColor(button.palette().color(QPalette::ButtonText));
    FlatMenuPainter::DrawItemText(a.painter, a.canvas, button.text(), QString(), r, false,
                                  button.isEnabled(), button.isDefault(), false, rtl, button.font(),
                                  fontColor, flags);
}

// The rounded face of a push button on the parent's colour, and the edge line that shows
// whether it is pressed: along the top and left when pressed, else along the bottom and right.
void PaintButtonFace(const PaintArgs& a, TColor face, TColor border, bool edgeLine) {
    Canvas& canvas = a.canvas;
    const TControlSubClass& hook = a.hook;
    const TRect r = ClientRect(a.control);
    canvas.FillRect(r, ParentColor(a.control));
    canvas.SetBrushColor(face);
    canvas.SetPenColor(LightenColor(border, 30));
    canvas.RoundRect(r, 4, 4);
    if (!edgeLine || !a.control.isEnabled()) {
        return;
    }
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

// Face and border of a push button at rest, hot or focused; parentFace takes the face from the
// parent's colour.
void ButtonColors(const PaintArgs& a, bool hot, bool parentFace, TColor& face, TColor& border) {
    const TFlatColorScheme& s = a.painter.Scheme();
    const TColor parent = ParentColor(a.control);
    if (hot) {
        face = LightenColor(parentFace ? parent : qb::colorToRGB(qb::clBtnFace),
                            a.painter.HotFaceDimLevel());
        border = LightenColor(s.SelectBorderEff, 60);
    } else {
        face = parentFace ? LightenColor(parent, a.painter.FaceDimLevel()) : s.IconBackEff;
        border =
            a.hook.Focused ? LightenColor(s.SelectBorderEff, 60) : qb::colorToRGB(qb::clBtnShadow);
    }
}

}  // namespace

void PaintButton(const PaintArgs& a) {
    auto& button = static_cast<QPushButton&>(a.control);
    TColor face;
    TColor border;
    ButtonColors(a, a.hook.Hot, qb::tag(&button) == 1000, face, border);
    PaintButtonFace(a, face, border, true);
    const QSize text = CaptionSize(button);
    const TRect r = ClientRect(button);
    const int left = Half(r.Width() - text.width());
    const int top = Half(r.Height() - text.height());
    DrawButtonCaption(a, button, {left, top, left + text.width(), top + text.height()},
                      FlatMenuPainter::TextLeft);
}

void PaintBitBtn(const PaintArgs& a) {
    // A push button with a picture; its tag's bits ask for a parent-coloured face (1000), no
    // border (1001) and a caption at one side (1002).
    auto& button = static_cast<QPushButton&>(a.control);
    const TControlSubClass& hook = a.hook;
    const int tag = qb::tag(&button);
    const bool borderless = (tag & 1001) == 1001;
    const bool rtl = RightToLeft(button);

    TColor face;
    TColor border;
    ButtonColors(a, hook.Hot || hook.SpaceDown, (tag & 1000) == 1000, face, border);
    if (borderless) {
        border = face;
    }
    PaintButtonFace(a, face, border, !borderless);

    // The picture left of the caption (right of it right to left), the pair centred.
    const TRect r = ClientRect(button);
    const QSize text = CaptionSize(button);
    const QSize glyph = button.iconSize();
    const int spacing = button.text().trimmed().isEmpty() ? 0 : kBitBtnSpacing;
    TRect g;
    TRect t;
    g.Top = Half(r.Height() - glyph.height());
    t.Top = Half(r.Height() - text.height());
    if (rtl) {
        g.Right = Half(spacing + glyph.width() + text.width() + r.Width());
        g.Left = g.Right - glyph.width();
        t.Right = g.Left - spacing;
        t.Left = t.Right - text.width();
    } else {
        g.Left = Half(r.Width() - (spacing + glyph.width() + text.width()));
        g.Right = g.Left + glyph.width();
        t.Left = g.Right + spacing;
        t.Right = t.Left + text.width();
    }
    g.Bottom = g.Top + glyph.height();
    t.Bottom = t.Top + text.height();
    // The first image of the picture; DrawIcon dims, grays, lifts and shadows it.
    const QImage image =
        button.icon().pixmap(glyph).toImage().convertToFormat(QImage::Format_ARGB32);
    FlatMenuPainter::DrawIcon(a.painter, a.canvas, FlatMenuPainter::IconSender::Button, image, g,
                              hook.Hot, hook.Focused, button.isEnabled(), false, false, rtl);
    unsigned flags = FlatMenuPainter::TextLeft;
    if ((tag & 1002) == 1002) {
        // The caption along one side of the face, centred in its height.
        t = r;
        Inflate(t, -4, -2);
        t.Top += Half(t.Height() - text.height());
        t.Bottom = t.Top + text.height();
        flags = rtl ? FlatMenuPainter::TextRight : FlatMenuPainter::TextLeft;
    }
    DrawButtonCaption(a, button, t, flags);
}

namespace {

// The cell of a check box or radio button: the style's indicator lies at the start of the
// line (at its end right to left), as a box whose caption is aligned right.
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

namespace FlatControlPaint {

void PaintSpeedButton(const PaintArgs& a) {
    auto& button = static_cast<QToolButton&>(a.control);
    Canvas& canvas = a.canvas;
    const TFlatColorScheme& s = a.painter.Scheme();
    TControlSubClass& hook = a.hook;
    const bool down = button.isDown() || button.isChecked();
    const bool flat = button.autoRaise();
    const bool enabled = button.isEnabled();
    const TRect r = ClientRect(button);
    if (flat && hook.Hot) {
        // The mouse may have left without a leave notice: only a cursor over it keeps it hot.
        hook.Hot = button.rect().contains(button.mapFromGlobal(QCursor::pos()));
    }
    const bool hot = hook.Hot;
    const TColor parent = ParentColor(button);
    const bool parentFace = qb::tag(&button) == 1000;

    TColor face;
    TColor border;
    if (hot) {
        face = flat ? s.SelectEff
                    : LightenColor(parentFace ? parent : qb::colorToRGB(qb::clBtnFace),
                                   a.painter.HotFaceDimLevel());
        border = LightenColor(s.SelectBorderEff, 60);
    } else {
        face = flat         ? parent
               : parentFace ? LightenColor(parent, a.painter.FaceDimLevel())
                            : s.IconBackEff;
        border = qb::colorToRGB(qb::clBtnShadow);
    }
    if (down) {
        face = hot ? s.CheckFaceSelEff : s.CheckFaceEff;
        border = s.SelectBorderEff;
    }
    if (!enabled) {
        border = qb::colorToRGB(qb::clBtnShadow);
    }
    canvas.SetBrushColor(face);
    canvas.FillRect(r);
    // A flat button at rest has an outline in its own face colour: none to see.
    canvas.SetPenColor(flat && !down && !hot ? face : LightenColor(border, 30));
    canvas.Rectangle(r);
    if (enabled) {
        const bool pressed = hook.MouseDown || down;
        const TColor edge = DarkenColor(border, 50);
        if (flat && pressed) {
            canvas.SetPenColor(border);
            canvas.Rectangle(r);
            canvas.SetPenColor(edge);
            canvas.Polyline({{r.Left, r.Bottom - 1}, {r.Left, r.Top}, {r.Right, r.Top}});
        } else if (flat && hot) {
            canvas.SetPenColor(s.SelectBorderEff);
            canvas.Rectangle(r);
        } else if (!flat && pressed) {
            canvas.SetPenColor(edge);
            canvas.Polyline({{r.Left, r.Bottom - 1}, {r.Left, r.Top}, {r.Right, r.Top}});
        } else if (!flat) {
            canvas.SetPenColor(edge);
            canvas.Polyline(
                {{r.Right - 1, r.Top}, {r.Right - 1, r.Bottom - 1}, {r.Left, r.Bottom - 1}});
        }
    }

    // Picture and caption as the button's style places them: beside (the picture left, right
    // to left at the right) or under the picture.
    const Qt::ToolButtonStyle style = button.toolButtonStyle();
    const bool showsText = style != Qt::ToolButtonIconOnly && !button.text().isEmpty();
    const bool showsIcon = style != Qt::ToolButtonTextOnly && !button.icon().isNull();
    const QString caption = showsText ? button.text() : QString();
    const QSize text = caption.isEmpty()
                           ? QSize(0, 0)
                           : QFontMetrics(button.font()).size(Qt::TextShowMnemonic, caption);
    const QSize glyph = showsIcon ? button.iconSize() : QSize(0, 0);
    const int spacing = caption.isEmpty() ? 0 : kBitBtnSpacing;
    const int w = r.Width();
    const int h = r.Height();
    const bool rtl = RightToLeft(button);
    TRect g;
    TRect t;
    if (style == Qt::ToolButtonTextUnderIcon) {
        g.Left = Half(w - glyph.width());
        g.Top = Half(h - (glyph.height() + spacing + text.height()));
        t.Left = Half(w - text.width());
        t.Top = g.Top + glyph.height() + spacing;
    } else if (rtl) {
        g.Left = Half(spacing + glyph.width() + text.width() + w) - glyph.width();
        g.Top = Half(h - glyph.height());
        t.Left = g.Left - spacing - text.width();
        t.Top = Half(h - text.height());
    } else {
        g.Left = Half(w - (spacing + glyph.width() + text.width()));
        g.Top = Half(h - glyph.height()) - 1;
        t.Left = g.Left + glyph.width() + spacing;
        t.Top = Half(h - text.height());
    }
    g.Right = g.Left + glyph.width();
    g.Bottom = g.Top + glyph.height();
    t.Right = t.Left + text.width();
    t.Bottom = t.Top + text.height();
    if (showsIcon) {
        const QImage image =
            button.icon().pixmap(glyph).toImage().convertToFormat(QImage::Format_ARGB32);
        FlatMenuPainter::DrawIcon(a.painter, canvas, FlatMenuPainter::IconSender::Button, image, g,
                                  hot, hook.Focused, enabled, down || hook.MouseDown, false, rtl);
    }
    if (!caption.isEmpty()) {
        const TColor fontColor = qb::fromQColor(button.palette().color(QPalette::ButtonText));
        FlatMenuPainter::DrawItemText(a.painter, canvas, caption, QString(), t, false, enabled,
                                      false, false, rtl, button.font(), fontColor,
                                      rtl ? FlatMenuPainter::TextRtlReading
                                          : static_cast<unsigned>(FlatMenuPainter::TextLeft));
    }
}

}  // namespace FlatControlPaint
