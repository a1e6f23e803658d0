#include "menupaint/FlatMenuDraw.h"

#include "platform/core/Rounding.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyleOptionMenuItem>

#include <algorithm>

using qb::Canvas;
using qb::TColor;
using qb::TRect;

namespace FlatMenuPainter {
namespace {

// The images of the program's menus are 16 by 16.
constexpr int kImageSize = 16;

// A pixel loop that converts each run of one colour once.
template <typename Convert>
QImage convertPixels(const QImage& image, Convert convert) {
    QImage copy = image.convertToFormat(QImage::Format_ARGB32);
    bool cached = false;
    QRgb lastSource = 0;
    QRgb lastResult = 0;
    for (int y = 0; y < copy.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(copy.scanLine(y));
        for (int x = 0; x < copy.width(); ++x) {
            const QRgb source = line[x];
            if (!cached || source != lastSource) {
                const TColor converted = convert(qb::fromQRgb(source));
                lastResult = (qb::toQRgb(converted) & 0x00FFFFFFu) | (source & 0xFF000000u);
                lastSource = source;
                cached = true;
            }
            line[x] = lastResult;
        }
    }
    return copy;
}

Qt::LayoutDirection directionOf(unsigned flags) {
    return (flags & TextRtlReading) ? Qt::RightToLeft : Qt::LeftToRight;
}

void drawText(QPainter& p, const TRect& r, const QString& text, int alignment, TColor color) {
    p.setPen(qb::toQColor(color));
    p.drawText(r.toQRect(), alignment | Qt::AlignTop | Qt::TextShowMnemonic | Qt::TextExpandTabs,
               text);
}

// The open menu-bar item: a tab joined to its menu, with a soft shadow on its right.
void DrawTopItem(const TFlatMenuPainter& painter, Canvas& c, const TRect& r, TColor barColor,
                 bool rtl) {
    const TFlatColorScheme& s = painter.Scheme();
    c.FillRect(r, s.SelectEff);
    c.SetPenColor(s.SelectBorderEff);
    if (painter.HighColor() && !rtl) {
        c.Polyline({{r.Left, r.Bottom - 1},
                    {r.Left, r.Top},
                    {r.Right - 8, r.Top},
                    {r.Right - 8, r.Bottom}});
        const TColor m = s.MenuBarEff;
        c.FillRect({r.Right - 7, r.Top, r.Right, r.Bottom}, DarkenColor(m, 10));
        c.FillRect({r.Right - 7, r.Top + 3, r.Right - 2, r.Bottom}, DarkenColor(m, 30));
        c.FillRect({r.Right - 7, r.Top + 5, r.Right - 3, r.Bottom}, DarkenColor(m, 60));
        c.FillRect({r.Right - 7, r.Top + 6, r.Right - 5, r.Bottom}, DarkenColor(m, 100));
        const int t = r.Top;
        const int x = r.Right;
        c.SetPenColor(m);
        c.Polyline({{x - 5, t + 1}, {x - 1, t + 1}, {x - 1, t + 6}});
        c.Polyline({{x - 3, t + 2}, {x - 2, t + 2}, {x - 2, t + 3}, {x - 3, t + 3}});
        c.SetPenColor(DarkenColor(m, 10));
        c.Polyline(
            {{x - 6, t + 3}, {x - 3, t + 3}, {x - 3, t + 6}, {x - 4, t + 6}, {x - 4, t + 3}});
        c.SetPenColor(DarkenColor(m, 30));
        c.Polyline({{x - 5, t + 5}, {x - 4, t + 5}, {x - 4, t + 9}});
        c.SetPenColor(DarkenColor(m, 40));
        c.Polyline({{x - 6, t + 5}, {x - 6, t + 7}});
    } else {
        c.Polyline({{r.Left, r.Bottom - 1},
                    {r.Left, r.Top},
                    {r.Right - 3, r.Top},
                    {r.Right - 3, r.Bottom}});
        c.FillRect({r.Right - 2, r.Top + 2, r.Right, r.Bottom}, DarkenColor(barColor, 70));
        c.FillRect({r.Right - 2, r.Top, r.Right, r.Top + 2}, qb::colorToRGB(barColor));
    }
}

// Check and radio marks; brush is the colour the background left where a disabled mark has no
// face of its own.
void DrawCheck(const TFlatMenuPainter& painter, Canvas& c, const TFlatMenuItem& item, bool selected,
               bool hasImage, const TRect& r, TColor brush) {
    if (!item.checked) {
        return;
    }
    const TFlatColorScheme& s = painter.Scheme();
    const TColor face = selected ? s.CheckFaceSelEff : s.CheckFaceEff;
    c.SetBrushColor(item.enabled ? face : brush);
    const auto outline = [&](TColor color) { c.SetPenColor(item.enabled ? color : s.DisabledEff); };
    if (item.radio && hasImage) {
        outline(s.SelectBorderEff);
        c.RoundRect(r, 6, 6);
    } else if (item.radio) {
        outline(s.SelectBorderEff);
        c.Ellipse(r);
        c.SetBrushColor(c.PenColor());
        c.Ellipse({r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2});
    } else if (hasImage) {
        outline(s.SelectBorderEff);
        c.Rectangle(r);
    } else {
        outline(s.CheckedEff);
        c.Rectangle(r);
        c.SetPenColor(item.enabled ? qb::clBlack : s.DisabledEff);
        const int l = r.Left;
        const int t = r.Top;
        const int rt = r.Right;
        const int b = r.Bottom;
        c.Polyline({{l + 1, t + 5}, {l + 4, b - 2}});
        c.Polyline({{l + 2, t + 5}, {l + 4, b - 3}});
        c.Polyline({{l + 2, t + 4}, {l + 5, b - 3}});
        c.Polyline({{l + 4, b - 3}, {rt + 2, t - 1}});
        c.Polyline({{l + 4, b - 2}, {rt - 2, t + 3}});
    }
}

// The arrow of an item that opens a submenu, in the text colour.
void drawSubmenuArrow(Canvas& c, const TRect& r, int itemHeight, bool rtl, TColor color) {
    const int middle = r.Top + itemHeight / 2;
    for (int i = 0; i < 4; ++i) {
        const int x = rtl ? r.Left + 11 - i : r.Right - 12 + i;
        c.FillRect({x, middle - 3 + i, x + 1, middle + 4 - i}, color);
    }
}

TColor itemTextColor(const TFlatMenuPainter& painter, const TFlatMenuItem& item, bool selected) {
    TColor color = painter.FontColor();
    if (selected) {
        color = painter.Scheme().SelectFontEff;
    }
    if (!item.enabled) {
        color = painter.Scheme().DisabledEff;
    }
    return color;
}

}  // namespace

// --- Bitmap routines ---

QImage GrayBitmap(const QImage& image, int value) {
    return convertPixels(image, [value](TColor c) { return GrayColor(c, value); });
}

QImage DimBitmap(const QImage& image, int percent) {
    const int p = std::min(percent, 100);
    return convertPixels(image, [p](TColor c) { return LightenColor(c, p); });
}

void DrawBitmapShadow(const QImage& image, Canvas& canvas, int x, int y, TColor colour) {
    // The image's own transparency gives the silhouette.
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int row = 0; row < argb.height(); ++row) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(row));
        for (int column = 0; column < argb.width(); ++column) {
            if (qAlpha(line[column]) >= 128) {
                canvas.SetPixel(x + column, y + row, colour);
            }
        }
    }
}

void DrawCheckMark(Canvas& canvas, int x, int y) {
    for (int up = 0; up < 3; ++up) {
        canvas.Polyline({{x + 2, y - 5 - up}, {x + 4, y - 3 - up}, {x + 9, y - 8 - up}});
    }
}

void DrawUpDownArrow(Canvas& canvas, int x, int y, int direction) {
    const TColor pen = canvas.PenColor();
    if (direction == 0) {
        canvas.SetPixel(x, y, pen);
        canvas.Polyline({{x + 1, y + 1}, {x + 4, y + 4}});
        canvas.Polyline({{x, y + 1}, {x + 3, y + 4}});
        canvas.Polyline({{x, y + 2}, {x + 2, y + 4}});
        canvas.Polyline({{x - 1, y + 1}, {x - 4, y + 4}});
        canvas.Polyline({{x, y + 2}, {x - 3, y + 4}});
        canvas.Polyline({{x, y + 1}, {x - 2, y + 4}});
    } else if (direction == 1) {
        canvas.SetPixel(x, y + 3, pen);
        canvas.Polyline({{x + 1, y + 2}, {x + 4, y - 1}});
        canvas.Polyline({{x, y + 2}, {x + 3, y - 1}});
        canvas.Polyline({{x, y + 1}, {x + 2, y}});
        canvas.Polyline({{x - 1, y + 2}, {x - 4, y - 1}});
        canvas.Polyline({{x, y + 2}, {x - 3, y - 1}});
        canvas.Polyline({{x, y + 1}, {x - 2, y}});
    }
}

// --- Text and images ---

TColor TextColorOn(const TFlatMenuPainter& painter, TColor background) {
    const TColor c = qb::colorToRGB(background);
    if ((qb::blueOf(c) + qb::redOf(c)) / 2 <= 150 && qb::greenOf(c) <= 200) {
        return LightenColor(c, 90);
    }
    return qb::colorToRGB(painter.FontColor());
}

void DrawItemText(const TFlatMenuPainter& painter, Canvas& canvas, const QString& caption,
                  const QString& shortCut, const TRect& r, bool selected, bool enabled,
                  bool isDefault, bool isBarItem, bool rtl, const QFont& font, TColor fontColor,
                  unsigned flags) {
    const TFlatColorScheme& s = painter.Scheme();
    TColor color = qb::colorToRGB(fontColor);
    if (selected) {
        color = s.SelectFontEff;
    }
    if (!enabled) {
        color = s.DisabledEff;
    }
    if (selected && isBarItem && painter.UseSystemColors()) {
        color = TextColorOn(painter, s.IconBackEff);
    }
    QPainter& p = canvas.painter();
    p.save();
    p.setFont(font);
    p.setLayoutDirection(directionOf(flags));
    const int alignment = (flags & TextRight) ? Qt::AlignRight : Qt::AlignLeft;
    if (isDefault && enabled) {
        // Embossed: each pass takes its shade from what the canvas shows just before it.
        const int l = r.Left;
        const int t = r.Top;
        const int rt = r.Right;
        const int b = r.Bottom;
        drawText(p, {l + 1, t, rt, b}, caption, alignment, DarkenColor(canvas.Pixel(l + 1, t), 30));
        drawText(p, {l + 1, t + 2, rt + 1, b}, caption, alignment,
                 DarkenColor(canvas.Pixel(l + 1, t + 2), 30));
        drawText(p, {l, t + 1, rt, b}, caption, alignment, DarkenColor(canvas.Pixel(l, t + 1), 40));
        drawText(p, {l + 1, t + 1, rt + 1, b}, caption, alignment,
                 DarkenColor(canvas.Pixel(l + 1, t + 1), 60));
    }
    drawText(p, r, caption, alignment, color);
    const QString tail = shortCut + QLatin1Char(' ');
    if (rtl) {
        drawText(p, {r.Left + 10, r.Top, r.Right, r.Bottom}, tail, Qt::AlignLeft, color);
    } else {
        drawText(p, {r.Left, r.Top, r.Right - 10, r.Bottom}, tail, Qt::AlignRight, color);
    }
    p.restore();
}

void DrawIcon(const TFlatMenuPainter& painter, Canvas& canvas, IconSender sender,
              const QImage& image, const TRect& r, bool selected, bool keepInPlace, bool enabled,
              bool checked, bool isBarItem, bool rtl) {
    if (image.isNull()) {
        return;
    }
    const int iconWidth = painter.IconWidth();
    int x = r.Left;
    int y = r.Top + 1;
    if (sender == IconSender::MenuItem) {
        y = r.Top + 3;
        if (image.width() < iconWidth) {
            x = r.Left + (iconWidth - image.width()) / 2 - 1;
        } else {
            x = rtl ? r.Right - image.width() - 2 : r.Left + 2;
        }
        if (isBarItem) {
            x = rtl ? r.Right - image.width() - 5 : r.Left + 1;
        }
    }
    if (selected && enabled && !keepInPlace) {
        if (isBarItem) {
            x -= 1;
            y -= 2;
        } else if (!checked) {
            x -= 1;
            y -= 1;
        }
    }
    QImage shown = image;
    if (enabled && !selected && !checked && painter.HighColor()) {
        shown = DimBitmap(shown, painter.DimLevel());
    }
    if (!enabled) {
        shown = DimBitmap(GrayBitmap(shown, painter.GrayLevel()), 40);
    }
    if (selected && enabled && !checked) {
        DrawBitmapShadow(shown, canvas, x + 2, y + 2, DarkenColor(painter.Scheme().SelectEff, 50));
    }
    canvas.painter().drawImage(QPoint(x, y), shown);
}

// --- Menu items ---

QString DiaryShortcutText(const QString& qtText) {
    static const QString kModifiers[] = {QStringLiteral("Shift+"), QStringLiteral("Ctrl+"),
                                         QStringLiteral("Alt+"), QStringLiteral("Meta+")};
    QStringList chords;
    for (const QString& chord : qtText.split(QStringLiteral(", "))) {
        QString key = chord;
        bool present[4] = {false, false, false, false};
        bool found = true;
        while (found) {
            found = false;
            for (int i = 0; i < 4; ++i) {
                // "Ctrl++" keeps its last "+": the key itself.
                if (key.startsWith(kModifiers[i]) && key.size() > kModifiers[i].size()) {
                    present[i] = true;
                    key.remove(0, kModifiers[i].size());
                    found = true;
                }
            }
        }
        QString ordered;
        for (int i = 0; i < 4; ++i) {
            if (present[i]) {
                ordered += kModifiers[i];
            }
        }
        chords << ordered + key;
    }
    return chords.join(QStringLiteral(", "));
}

TFlatMenuItem MenuItemOf(const QStyleOptionMenuItem& option, bool barItem) {
    TFlatMenuItem item;
    const qsizetype tab = option.text.indexOf(QLatin1Char('\t'));
    item.caption = tab < 0 ? option.text : option.text.left(tab);
    if (tab >= 0) {
        item.shortCut = DiaryShortcutText(option.text.mid(tab + 1));
    }
    item.separator = option.menuItemType == QStyleOptionMenuItem::Separator;
    item.checked = option.checkType != QStyleOptionMenuItem::NotCheckable && option.checked;
    item.radio = option.checkType == QStyleOptionMenuItem::Exclusive;
    item.enabled = (option.state & QStyle::State_Enabled) != 0;
    item.isDefault = option.menuItemType == QStyleOptionMenuItem::DefaultItem;
    item.hasSubItems = option.menuItemType == QStyleOptionMenuItem::SubMenu;
    item.barItem = barItem;
    item.rtl = option.direction == Qt::RightToLeft;
    if (!option.icon.isNull()) {
        item.image = option.icon.pixmap(QSize(kImageSize, kImageSize), 1.0)
                         .toImage()
                         .convertToFormat(QImage::Format_ARGB32);
    }
    return item;
}

QSize MeasureMenuItem(const TFlatMenuPainter& painter, const TFlatMenuItem& item,
                      const QSize& proposed) {
    QString text = item.separator ? QString() : item.caption;
    if (!item.shortCut.trimmed().isEmpty()) {
        // The three letters keep the gap between caption and shortcut.
        text += item.shortCut + QStringLiteral("WWW");
    }
    const QFontMetrics metrics(painter.Font());
    int width = metrics.horizontalAdvance(text) + 5;
    if (text.contains(QLatin1Char('&'))) {
        width -= metrics.horizontalAdvance(QLatin1Char('&'));
    }
    if (!item.barItem && item.hasSubItems) {
        width += 6;
    }
    int imageWidth = item.image.isNull() ? 0 : item.image.width();
    const int imageHeight = item.image.isNull() ? 0 : item.image.height();
    if (!item.barItem) {
        imageWidth = std::max(imageWidth, painter.IconWidth());
    }
    width += imageWidth;
    int height = 4;
    if (!item.separator) {
        const int textHeight = metrics.height();
        height = textHeight + qb::roundHalfEven(0.75 * textHeight);
        height = std::max(height, imageHeight + 6);
        height = std::max(height, proposed.height());
    }
    return {std::max(width, proposed.width()), height};
}

TColor GradientColumn(const TFlatMenuPainter& painter, Canvas& canvas, const TRect& r) {
    constexpr int kRight = 30;
    const TColor base = painter.Scheme().IconBackEff;
    TColor leftmost = base;
    if (r.Left > kRight) {
        return leftmost;
    }
    int percent = 0;
    for (int x = kRight; x >= r.Left; --x) {
        if (x < kRight && x > kRight - painter.IconWidth() + 5) {
            percent += 5;
        } else {
            percent += 1;
        }
        percent = std::min(percent, 96);
        if (x < kRight) {
            leftmost = LightenColor(base, percent);
            canvas.FillRect({x, r.Top, x + 1, r.Bottom}, leftmost);
        }
    }
    return leftmost;
}

void DrawMenuItem(TFlatMenuPainter& painter, QPainter& out, const QRect& rect,
                  const TFlatMenuItem& item, bool selected, bool hot) {
    const int w = rect.width();
    const int h = rect.height();
    if (w <= 0 || h <= 0) {
        return;
    }
    const bool bar = item.barItem;
    // Painted off-screen and copied in one step, so that the item never flickers.
    QImage buffer(bar ? w : w + 4, h, QImage::Format_RGB32);
    buffer.fill(Qt::white);
    QPainter bufferPainter(&buffer);
    Canvas c(bufferPainter);
    painter.EnsureColors(&buffer);
    const TFlatColorScheme& s = painter.Scheme();
    bufferPainter.setFont(painter.Font());
    const TRect r = bar ? TRect{0, 0, w, h} : TRect{4, 0, w + 4, h + 1};
    const bool rtl = item.rtl;
    const int iconWidth = painter.IconWidth();
    const bool hasImage = !item.image.isNull();
    const int imageWidth = hasImage ? item.image.width() : 0;

    // Rectangles: icon column, mark, text.
    const TRect ic = rtl ? TRect{r.Right - iconWidth, r.Top, r.Right, r.Bottom}
                         : TRect{r.Left, r.Top, r.Left + iconWidth, r.Bottom};
    TRect ck;
    if (hasImage) {
        ck = {ic.Left + 1, ic.Top + 2, ic.Right - 3, ic.Bottom - 2};
    } else {
        const int left = ic.Left + (ic.Width() - 10) / 2;
        const int top = ic.Top + (ic.Height() - 10) / 2;
        ck = {left, top, left + 10, top + 10};
    }
    if (imageWidth > iconWidth) {
        if (rtl) {
            ck.Left = ck.Right - imageWidth;
        } else {
            ck.Right = ck.Left + imageWidth;
        }
    }
    if (bar) {
        ck.Top -= 1;
        ck.Bottom -= 1;
    }
    TRect tr;
    if (rtl) {
        int right = r.Right - (bar ? 4 : iconWidth);
        if (right > r.Right - imageWidth) {
            right = r.Right - imageWidth - 8;
        }
        tr = {r.Left, r.Top, right, r.Bottom};
    } else {
        int left = r.Left + (bar ? 4 : iconWidth);
        if (left < r.Left + imageWidth) {
            left = r.Left + imageWidth + 4;
        }
        tr = {left, r.Top, r.Right, r.Bottom};
    }
    if (bar) {
        tr = r;
        if (hasImage) {
            if (rtl) {
                tr.Right += 5;
            } else {
                tr.Left -= 5;
            }
        }
    }
    const TRect fr{r.Left - 4, r.Top, r.Right, r.Bottom};

    // Background.
    TColor brush = s.ColorEff;
    if (bar) {
        if (painter.DrawMenuBar()) {
            painter.OverrideMenuBarEff(painter.MenuBarColor());
        }
        c.FillRect(r, s.MenuBarEff);
        brush = s.MenuBarEff;
    } else if (painter.HighColor() && painter.Gradient()) {
        brush = GradientColumn(painter, c, r);
    } else {
        c.FillRect(fr, s.ColorEff);
        c.FillRect(ic, s.IconBackEff);
        brush = s.IconBackEff;
    }

    // Selection.
    bool drawnSelected = false;
    if (selected && painter.DrawSelect()) {
        if (bar) {
            DrawTopItem(painter, c, r, painter.MenuBarColor(), rtl);
            brush = s.SelectEff;
        } else if (item.enabled) {
            c.SetBrushColor(s.SelectEff);
            c.SetPenColor(s.SelectBorderEff);
            c.Rectangle({r.Left, r.Top + 1, r.Right - (painter.FlatMenu() ? 1 : 0), r.Bottom - 1});
            brush = s.SelectEff;
        }
        drawnSelected = true;
    } else if (bar && item.enabled && TFlatMenuPainter::IsWinNT && hot) {
        c.SetBrushColor(s.SelectEff);
        c.SetPenColor(s.SelectBorderEff);
        c.Rectangle({r.Left, r.Top, r.Right - 7, r.Bottom});
        brush = s.SelectEff;
        drawnSelected = true;
    }

    DrawCheck(painter, c, item, selected, hasImage, ck, brush);
    if (hasImage) {
        DrawIcon(painter, c, IconSender::MenuItem, item.image, ic, selected || drawnSelected, false,
                 item.enabled, item.checked, bar, rtl);
    }

    if (!item.separator) {
        unsigned flags = TextLeft;
        if (rtl) {
            tr.Right -= 3;
            flags = TextRight | TextRtlReading;
        } else {
            tr.Left += 3;
        }
        tr.Top += (tr.Height() - QFontMetrics(painter.Font()).height()) / 2;
        DrawItemText(painter, c, QLatin1Char(' ') + item.caption, item.shortCut, tr, selected,
                     item.enabled, item.isDefault, bar, rtl, painter.Font(), painter.FontColor(),
                     flags);
        if (!bar && item.hasSubItems) {
            drawSubmenuArrow(c, r, h, rtl, itemTextColor(painter, item, selected));
        }
    } else {
        const int y = tr.Top + qb::roundHalfEven((tr.Bottom - tr.Top) / 2.0);
        c.SetPenColor(s.SeparatorEff);
        if (rtl) {
            c.Polyline({{tr.Left, y}, {tr.Right - 7, y}});
        } else {
            c.Polyline({{tr.Left + 7, y}, {tr.Right, y}});
        }
    }
    bufferPainter.end();
    out.drawImage(rect, buffer, QRect(bar ? 0 : 4, 0, w, h));
}

void ControlBarBandPaint(TFlatMenuPainter& painter, QPainter& out, const TRect& rect,
                         TColor barColor) {
    painter.EnsureColors(out.device());
    Canvas c(out);
    c.FillRect(rect, painter.HighColor() ? LightenColor(barColor, 6) : qb::colorToRGB(barColor));
    int shade = 30;
    for (int y = rect.Top + 5; y <= rect.Bottom - 5; ++y) {
        if (y % 2 != 0) {
            continue;
        }
        c.SetPenColor(DarkenColor(barColor, shade));
        c.Polyline({{rect.Left + 3, y}, {rect.Left + 6, y}});
        shade += 7;
    }
}

void PaintMenuWindow(TFlatMenuPainter& painter, QPainter& out, int w, int h, bool rtl) {
    if (w <= 4 || h <= 4 || painter.PaintingMenuWindow()) {
        return;
    }
    painter.SetPaintingMenuWindow(true);
    struct Clear {
        TFlatMenuPainter& painter;
        ~Clear() { painter.SetPaintingMenuWindow(false); }
    } clear{painter};
    painter.EnsureColors(out.device());
    const TFlatColorScheme& s = painter.Scheme();
    Canvas c(out);
    const TRect r{0, 0, w - 2, h - 2};

    // The top margin repeats the first item row at rest: its background across the window.
    const int itemWidth = r.Right - 6;
    if (itemWidth > 0) {
        QImage row(itemWidth + 4, 1, QImage::Format_RGB32);
        row.fill(Qt::white);
        {
            QPainter rowPainter(&row);
            Canvas rowCanvas(rowPainter);
            const TRect ir{4, 0, itemWidth + 4, 1};
            if (painter.HighColor() && painter.Gradient()) {
                GradientColumn(painter, rowCanvas, ir);
            } else {
                const int iconWidth = painter.IconWidth();
                rowCanvas.FillRect({0, 0, itemWidth + 4, 1}, s.ColorEff);
                rowCanvas.FillRect(rtl ? TRect{ir.Right - iconWidth, 0, ir.Right, 1}
                                       : TRect{ir.Left, 0, ir.Left + iconWidth, 1},
                                   s.IconBackEff);
            }
        }
        // Buffer column 4 is the item's left edge, window column 3.
        out.drawImage(QRect(1, 1, r.Right - 2, 2), row, QRect(2, 0, r.Right - 2, 1));
    }
    c.SetPenColor(s.MenuBorderEff);
    c.SetHollowBrush();
    c.Rectangle(r);
    c.SetPenColor(s.IconBackEff);
    if (rtl) {
        c.Rectangle({r.Right - 3, 1, r.Right - 1, r.Bottom - 1});
    } else {
        c.Rectangle({1, 1, 3, r.Bottom - 1});
    }
    c.FillRect({2, h - 2, w, h}, s.MenuShadowEff);
    c.FillRect({w - 2, 2, w, h}, s.MenuShadowEff);
}

}  // namespace FlatMenuPainter
