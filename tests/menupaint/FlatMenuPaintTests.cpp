// The flat menus as the user sees them: item sizes, and colours at known points of shown menus
// and of the menu bar, with the plain look back pixel for pixel once the painter is off.
#include "FlatMenuTestSupport.h"
#include "menupaint/FlatMenuDraw.h"
#include "platform/core/Rounding.h"
#include "platform/ui/MenuMetrics.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QStyleOptionMenuItem>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>

using namespace menutest;
using FlatMenuPainter::DarkenColor;
using FlatMenuPainter::LightenColor;

namespace {

void moveMouse(QWidget* widget, QPoint at) {
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

void press(QWidget* widget, QPoint at) {
    QMouseEvent down(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &down);
}

// The darkest pixel (by channel sum) inside r.
qb::TColor darkest(const QImage& image, const QRect& r) {
    qb::TColor best = qb::clWhite;
    int bestSum = 3 * 255 + 1;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            const qb::TColor c = at(image, x, y);
            const int sum = qb::redOf(c) + qb::greenOf(c) + qb::blueOf(c);
            if (sum < bestSum) {
                bestSum = sum;
                best = c;
            }
        }
    }
    return best;
}

// Antialiased text reaches its colour only within a step or two.
bool near(qb::TColor c, qb::TColor expected) {
    const auto close = [](int a, int b) { return std::abs(a - b) <= 2; };
    return close(qb::redOf(c), qb::redOf(expected)) &&
           close(qb::greenOf(c), qb::greenOf(expected)) &&
           close(qb::blueOf(c), qb::blueOf(expected));
}

}  // namespace

TEST(FlatMenuMeasure, ItemsTakeTheirHeightsFromTheTextAndTheImage) {
    MenuWindow w;
    w.paint();
    shown(w.file);
    const int textHeight = QFontMetrics(w.painter->Font()).height();
    const int itemHeight = textHeight + qb::roundHalfEven(0.75 * textHeight);
    if (textHeight == 13) {
        EXPECT_EQ(itemHeight, 23);
    }
    for (QAction* item : w.file->actions()) {
        EXPECT_EQ(w.file->actionGeometry(item).height(), item->isSeparator() ? 4 : itemHeight)
            << item->text().toStdString();
        // One column: every item as wide as the widest.
        EXPECT_EQ(w.file->actionGeometry(item).width(), w.file->actionGeometry(w.open).width());
    }
    // The widest item with its shortcut and the gap before it fits, with the platform's share.
    FlatMenuPainter::TFlatMenuItem redo;
    redo.caption = QStringLiteral("Redo");
    redo.shortCut = QStringLiteral("Shift+Ctrl+Z");
    const int needed = FlatMenuPainter::MeasureMenuItem(*w.painter, redo, QSize()).width() +
                       qb::ownerDrawnMenuItemExtraWidth(QFontMetrics(w.painter->Font()));
    EXPECT_GE(w.file->actionGeometry(w.redo).width(), needed);
}

// QMenu adds its widest shortcut to every row after taking the widest measured item: the menu
// is exactly as wide as its widest item's measure, whether that item has a shortcut or not.
TEST(FlatMenuMeasure, TheMenuIsAsWideAsItsWidestMeasuredItem) {
    struct Row {
        const char* caption;
        const char* shortcut;  // "" for none
    };
    struct Case {
        const char* name;
        std::vector<Row> rows;
        int widest;  // the row whose measure the menu takes
    };
    const Case cases[] = {
        {"long caption without shortcut",
         {{"&New Document", "Ctrl+N"}, {"A rather long document name: the garden diary", ""}},
         1},
        {"calendar", {{"&Today", "Ctrl+T"}, {"Show Desktop Calendar", ""}, {"Month", ""}}, 1},
        {"widest with shortcut", {{"Redo", "Ctrl+Shift+Z"}, {"Cut", ""}}, 0},
        {"no shortcut at all", {{"Recipes", ""}, {"Trip", ""}}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MenuWindow w;
        QMenu* menu = w.bar->addMenu(QStringLiteral("&Documents"));
        // In the painter's font, so that Qt's own text width proposes no more than the measure.
        menu->setFont(programFont());
        std::vector<QAction*> actions;
        for (const Row& row : c.rows) {
            QAction* action = menu->addAction(QString::fromLatin1(row.caption));
            if (*row.shortcut != 0) {
                action->setShortcut(QKeySequence(QString::fromLatin1(row.shortcut)));
            }
            actions.push_back(action);
        }
        w.paint();
        shown(menu);
        std::vector<int> measures;
        for (const Row& row : c.rows) {
            FlatMenuPainter::TFlatMenuItem item;
            item.caption = QString::fromLatin1(row.caption);
            item.shortCut = QString::fromLatin1(row.shortcut);
            item.shortCut.replace(QStringLiteral("Ctrl+Shift"), QStringLiteral("Shift+Ctrl"));
            measures.push_back(FlatMenuPainter::MeasureMenuItem(*w.painter, item, QSize()).width() +
                               qb::ownerDrawnMenuItemExtraWidth(QFontMetrics(w.painter->Font())));
        }
        const int expected = measures[c.widest];
        ASSERT_EQ(*std::max_element(measures.begin(), measures.end()), expected);
        for (QAction* action : actions) {
            EXPECT_EQ(menu->actionGeometry(action).width(), expected)
                << action->text().toStdString();
        }
        // Frame and margins of three pixels on either side, nothing more.
        EXPECT_EQ(menu->sizeHint().width(), expected + 6);
        EXPECT_EQ(menu->grab().width(), expected + 6);
    }
}

TEST(FlatMenuMeasure, TableOfItemKinds) {
    MenuWindow w;
    w.paint();
    const QFontMetrics fm(w.painter->Font());
    const int h = fm.height() + qb::roundHalfEven(0.75 * fm.height());
    const auto item = [](const char* caption, bool separator, bool sub, bool bar, bool image) {
        FlatMenuPainter::TFlatMenuItem i;
        i.caption = QString::fromLatin1(caption);
        i.separator = separator;
        i.hasSubItems = sub;
        i.barItem = bar;
        if (image) {
            i.image = QImage(16, 16, QImage::Format_ARGB32);
        }
        return i;
    };
    const struct {
        FlatMenuPainter::TFlatMenuItem item;
        QSize size;
    } cases[] = {
        // A separator: 4 high whatever is proposed, as wide as the icon column and 5.
        {item("-", true, false, false, false), {5 + 24, 4}},
        // A literal "&" is measured once.
        {item("A&&B", false, false, false, false), {fm.horizontalAdvance("A&B") + 5 + 24, h}},
        {item("&Open", false, false, false, false), {fm.horizontalAdvance("Open") + 5 + 24, h}},
        // The submenu arrow takes 6 more.
        {item("More", false, true, false, false), {fm.horizontalAdvance("More") + 5 + 6 + 24, h}},
        // A bar item has no icon column and no arrow; its image adds its own width.
        {item("&File", false, true, true, false), {fm.horizontalAdvance("File") + 5, h}},
        {item("File", false, false, true, true), {fm.horizontalAdvance("File") + 5 + 16, h}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FlatMenuPainter::MeasureMenuItem(*w.painter, c.item, QSize(2, 2)), c.size)
            << c.item.caption.toStdString();
    }
    // Qt's proposal is never lowered.
    EXPECT_EQ(FlatMenuPainter::MeasureMenuItem(*w.painter, cases[2].item, QSize(300, 40)),
              QSize(300, 40));
}

TEST(FlatMenuMeasure, HalfwayHeightsRoundToEven) {
    // Text height 14 gives 24 (10.5 to 10), 18 gives 32 (13.5 to 14).
    MenuWindow w;
    w.paint();
    int checked = 0;
    for (int pixels = 8; pixels <= 24; ++pixels) {
        QFont font = w.painter->Font();
        font.setPixelSize(pixels);
        const int textHeight = QFontMetrics(font).height();
        if (textHeight != 14 && textHeight != 18) {
            continue;
        }
        w.painter->SetFont(font, qb::clBlack);
        FlatMenuPainter::TFlatMenuItem item;
        item.caption = QStringLiteral("Item");
        EXPECT_EQ(FlatMenuPainter::MeasureMenuItem(*w.painter, item, QSize()).height(),
                  textHeight == 14 ? 24 : 32);
        ++checked;
    }
    if (checked == 0) {
        GTEST_SKIP() << "no installed size has a text height of 14 or 18";
    }
}

TEST(FlatMenuPaint, PopupColoursAtKnownPoints) {
    MenuWindow w;
    w.paint();
    const QImage image = shownSelecting(w.file, w.open);
    const TFlatColorScheme& s = w.painter->Scheme();
    EXPECT_EQ(s.IconBackEff, 0xE5E5E5u);

    // The gradient column of an item at rest, and white beyond it.
    const QRect redo = w.file->actionGeometry(w.redo);
    const int l = redo.left();
    const int y = redo.top() + 1;
    const struct {
        int x;
        int percent;
    } gradient[] = {{25, 6}, {24, 11}, {8, 91}, {7, 92}, {4, 95}, {3, 96}, {0, 96}};
    for (const auto& g : gradient) {
        EXPECT_EQ(at(image, l + g.x, y), LightenColor(s.IconBackEff, g.percent)) << g.x;
    }
    EXPECT_EQ(at(image, l + 26, y), qb::clWhite);

    // The selected item: its face below its top row, framed.
    const QRect open = w.file->actionGeometry(w.open);
    const int right = open.right();
    EXPECT_EQ(at(image, right - 2, open.top()), qb::clWhite);
    EXPECT_EQ(at(image, right - 2, open.top() + 1), s.SelectBorderEff);
    EXPECT_EQ(at(image, right, open.top() + 5), s.SelectBorderEff);
    EXPECT_EQ(at(image, open.left(), open.top() + 5), s.SelectBorderEff);
    EXPECT_EQ(at(image, right - 2, open.bottom()), s.SelectBorderEff);
    EXPECT_EQ(at(image, right - 2, open.top() + 4), s.SelectEff);
    // Its image lifted by one pixel up and left, over its shadow one pixel down and right.
    EXPECT_EQ(at(image, open.left() + 4, open.top() + 4), 0xC80000u);
    EXPECT_EQ(at(image, open.left() + 17, open.top() + 17), DarkenColor(s.SelectEff, 50));

    // The separator line on its third row, from 31 pixels in.
    const QRect separator = w.file->actionGeometry(w.separator);
    EXPECT_EQ(at(image, separator.left() + 31, separator.top() + 2), s.SeparatorEff);
    EXPECT_EQ(at(image, separator.left() + 60, separator.top() + 2), s.SeparatorEff);
    EXPECT_EQ(at(image, separator.left() + 30, separator.top() + 2), qb::clWhite);
    EXPECT_EQ(at(image, separator.left() + 60, separator.top() + 1), qb::clWhite);

    // A check box of 10 pixels at 7, 7 of the icon column: framed, its face inside.
    const QRect check = w.file->actionGeometry(w.checked);
    EXPECT_EQ(at(image, check.left() + 7, check.top() + 7), s.CheckedEff);
    EXPECT_EQ(at(image, check.left() + 16, check.top() + 16), s.CheckedEff);
    EXPECT_EQ(at(image, check.left() + 8, check.top() + 8), s.CheckFaceEff);
    EXPECT_TRUE(near(darkest(image, QRect(check.left() + 8, check.top() + 8, 8, 8)), qb::clBlack));
    // A radio item: a dot in the frame colour.
    const QRect radio = w.file->actionGeometry(w.radio);
    EXPECT_EQ(at(image, radio.left() + 12, radio.top() + 12), s.SelectBorderEff);

    // Text: black at rest, the disabled colour when disabled.
    const QRect text = w.file->actionGeometry(w.disabled).adjusted(27, 2, -20, -2);
    EXPECT_TRUE(near(darkest(image, text), s.DisabledEff));
    EXPECT_TRUE(near(darkest(image, redo.adjusted(27, 2, -20, -2)), qb::clBlack));
}

TEST(FlatMenuPaint, ImagesAtRestAreDimmed) {
    MenuWindow w;
    w.paint();
    const QImage image = shownSelecting(w.file, w.redo);
    const QRect open = w.file->actionGeometry(w.open);
    // At rest at (3, 3): the blue square lightened by 30 percent (76.5 and 16.5 round to even).
    EXPECT_EQ(at(image, open.left() + 5, open.top() + 5), 0xD84C4Cu);
    EXPECT_EQ(at(image, open.left() + 4, open.top() + 4),
              LightenColor(w.painter->Scheme().IconBackEff, 95));
}

TEST(FlatMenuPaint, MenuBarItemsHotAndOpen) {
    MenuWindow w;
    w.paint();
    w.form->show();
    QApplication::processEvents();
    const TFlatColorScheme& s = w.painter->Scheme();
    const QRect file = w.bar->actionGeometry(w.file->menuAction());

    // At rest: the bar's colour, also past the last item.
    QImage image = w.bar->grab().toImage();
    EXPECT_EQ(at(image, file.left() + 2, file.top() + 2), s.MenuBarEff);
    EXPECT_EQ(at(image, w.bar->width() - 3, 3), s.MenuBarEff);

    // Under the mouse: a framed face that leaves the shadow's 7 columns out.
    moveMouse(w.bar, file.center());
    image = w.bar->grab().toImage();
    EXPECT_EQ(at(image, file.left(), file.top() + 3), s.SelectBorderEff);
    EXPECT_EQ(at(image, file.left() + 2, file.top() + 3), s.SelectEff);
    EXPECT_EQ(at(image, file.right() - 7, file.top() + 3), s.SelectBorderEff);
    EXPECT_EQ(at(image, file.right() - 6, file.top() + 3), s.MenuBarEff);

    // Opened: a tab without a bottom edge and the soft shadow on its right.
    press(w.bar, file.center());
    QApplication::processEvents();
    image = w.bar->grab().toImage();
    const int x = file.right() + 1;
    const int t = file.top();
    const int b = file.bottom();
    EXPECT_EQ(at(image, file.left(), t + 3), s.SelectBorderEff);
    EXPECT_EQ(at(image, file.left() + 2, b), s.SelectEff);
    EXPECT_EQ(at(image, x - 8, t + 3), s.SelectBorderEff);
    EXPECT_EQ(at(image, x - 1, b), DarkenColor(s.MenuBarEff, 10));
    EXPECT_EQ(at(image, x - 3, b), DarkenColor(s.MenuBarEff, 30));
    EXPECT_EQ(at(image, x - 4, b), DarkenColor(s.MenuBarEff, 60));
    EXPECT_EQ(at(image, x - 6, b), DarkenColor(s.MenuBarEff, 100));
    w.file->hide();
}

TEST(FlatMenuPaint, ActiveOffBringsBackThePlainLookPixelForPixel) {
    MenuWindow w;
    w.form->show();
    const QImage plainMenu = shownSelecting(w.file, w.checked);
    const QImage plainBar = w.bar->grab().toImage();
    const QImage plainPopup = shown(w.popup);
    w.popup->hide();

    w.paint();
    QApplication::processEvents();
    EXPECT_NE(shown(w.file), plainMenu);
    EXPECT_NE(w.bar->grab().toImage(), plainBar);

    w.painter->SetActive(false);
    QApplication::processEvents();
    EXPECT_EQ(shown(w.file), plainMenu);
    EXPECT_EQ(w.bar->grab().toImage(), plainBar);
    EXPECT_EQ(shown(w.popup), plainPopup);
}

TEST(FlatMenuPaint, NewColoursReachAnOpenMenuAtOnce) {
    MenuWindow w;
    w.paint();
    w.file->popup(QPoint(50, 50));
    w.file->setActiveAction(w.open);
    const QRect open = w.file->actionGeometry(w.open);
    EXPECT_EQ(at(shown(w.file), open.right() - 2, open.top() + 4), 0xEFD3C6u);
    w.painter->SetSelectColor(0x00FF00);
    EXPECT_EQ(at(shown(w.file), open.right() - 2, open.top() + 4), 0x00FF00u);
}

TEST(FlatMenuPaint, FlatPopupWindowFrameStripAndShadow) {
    MenuWindow w;
    w.paint();
    w.painter->SetFlatMenu(true);
    const QImage image = shown(w.file);
    const TFlatColorScheme& s = w.painter->Scheme();
    const int width = image.width();
    const int height = image.height();
    EXPECT_EQ(at(image, 0, 5), s.MenuBorderEff);
    EXPECT_EQ(at(image, width - 3, 5), s.MenuBorderEff);
    EXPECT_EQ(at(image, 5, height - 3), s.MenuBorderEff);
    EXPECT_EQ(at(image, 1, 5), s.IconBackEff);
    EXPECT_EQ(at(image, 2, height - 4), s.IconBackEff);
    EXPECT_EQ(at(image, width - 1, 5), s.MenuShadowEff);
    EXPECT_EQ(at(image, 5, height - 1), s.MenuShadowEff);
    // The top margin continues the first item's row: its gradient and white.
    const QRect open = w.file->actionGeometry(w.open);
    EXPECT_EQ(at(image, open.left() + 25, 1), LightenColor(s.IconBackEff, 6));
    EXPECT_EQ(at(image, open.left() + 40, 2), qb::clWhite);
    // The two corners that the shadow stands off are not part of the window.
    EXPECT_FALSE(w.file->mask().contains(QPoint(width - 1, 0)));
    EXPECT_FALSE(w.file->mask().contains(QPoint(0, height - 1)));
    EXPECT_TRUE(w.file->mask().contains(QPoint(width - 1, 5)));
}

TEST(FlatMenuPaint, BandGrabberLines) {
    // A band 26 high: 8 lines on the even rows 6 to 20, darker by 7 each.
    MenuWindow w;
    w.paint();
    QImage image(60, 26, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter p(&image);
        FlatMenuPainter::ControlBarBandPaint(*w.painter, p, {0, 0, 60, 26}, 0xC0C0C0);
    }
    const qb::TColor face = LightenColor(0xC0C0C0, 6);
    for (int row = 0; row < 26; ++row) {
        const bool line = row >= 6 && row <= 20 && row % 2 == 0;
        const qb::TColor expected = line ? DarkenColor(0xC0C0C0, 30 + 7 * (row - 6) / 2) : face;
        EXPECT_EQ(at(image, 3, row), expected) << row;
        EXPECT_EQ(at(image, 5, row), expected) << row;
        EXPECT_EQ(at(image, 6, row), face) << row;
    }
}

TEST(FlatMenuScheme, ComputedOnlyWhenPainting) {
    MenuWindow w;
    w.paint();
    shown(w.file);
    const TFlatColorScheme before = w.painter->Scheme();
    w.painter->SetSeparatorColor(0x123456);
    EXPECT_TRUE(w.painter->ColorsChanged());
    EXPECT_EQ(w.painter->Scheme(), before);
    shown(w.file);
    EXPECT_FALSE(w.painter->ColorsChanged());
    EXPECT_EQ(w.painter->Scheme().SeparatorEff, 0x123456u);
}

TEST(FlatMenuScheme, TableOfDisplaysAndSettings) {
    MenuWindow w;
    w.paint();
    TFlatMenuPainter& p = *w.painter;
    const QImage high(1, 1, QImage::Format_RGB32);
    const QImage low(1, 1, QImage::Format_Indexed8);
    const qb::TColor face = qb::colorToRGB(qb::clBtnFace);

    p.ComputeColors(&high);
    EXPECT_EQ(p.Scheme().SelectEff, 0xEFD3C6u);
    EXPECT_EQ(p.Scheme().CheckFaceEff, 0xEFD3C6u);
    EXPECT_EQ(p.Scheme().MenuBorderEff, DarkenColor(face, 90));
    EXPECT_EQ(p.Scheme().MenuShadowEff, DarkenColor(face, 76));
    EXPECT_EQ(p.FaceDimLevel(), 16);
    EXPECT_EQ(p.HotFaceDimLevel(), 40);

    p.SetUseDimColor(true);
    p.ComputeColors(&high);
    EXPECT_EQ(p.Scheme().SelectEff, LightenColor(0xEFD3C6, 68));
    EXPECT_EQ(p.Scheme().CheckFaceSelEff, LightenColor(0xEFD3C6, 50));

    // Fewer than 16 bits: plain check faces and the shadow colour for the frame.
    p.ComputeColors(&low);
    EXPECT_FALSE(p.HighColor());
    EXPECT_EQ(p.Scheme().SelectEff, 0xEFD3C6u);
    EXPECT_EQ(p.Scheme().CheckFaceEff, qb::clWhite);
    EXPECT_EQ(p.Scheme().CheckFaceSelEff, qb::clSilver);
    EXPECT_EQ(p.Scheme().MenuBorderEff, qb::colorToRGB(qb::clBtnShadow));

    p.SetUseSystemColors(true);
    p.ComputeColors(&high);
    EXPECT_EQ(p.Scheme().ColorEff, LightenColor(qb::clBtnFace, 86));
    EXPECT_EQ(p.Scheme().SelectBorderEff, qb::colorToRGB(qb::clHighlight));
    EXPECT_EQ(p.Scheme().SelectFontEff, qb::clBlack);
    p.ComputeColors(&low);
    EXPECT_EQ(p.Scheme().ColorEff, qb::clWhite);
    EXPECT_EQ(p.Scheme().DisabledEff, qb::colorToRGB(qb::clBtnShadow));
}

TEST(FlatMenuPaint, ALongMenuScrollsInOneColumn) {
    // A diary of 150 documents: its Documents menu is far taller than the screen.
    MenuWindow w;
    for (int i = 0; i < 150; ++i) {
        w.popup->addAction(QStringLiteral("Document %1").arg(i));
    }
    w.paint();
    shown(w.popup);
    const int column = w.popup->actionGeometry(w.popup->actions().first()).left();
    for (QAction* item : w.popup->actions()) {
        EXPECT_EQ(w.popup->actionGeometry(item).left(), column);
    }
    w.painter->SetActive(false);
    w.popup->hide();
    shown(w.popup);
    // The plain look wraps it into columns again.
    EXPECT_NE(w.popup->actionGeometry(w.popup->actions().last()).left(), column);
}

TEST(FlatMenuPaint, ADisabledSelectedItemHasNoFaceAndAGrayedImageInPlace) {
    MenuWindow w;
    w.disabled->setIcon(squareIcon());
    w.paint();
    const QImage image = shownSelecting(w.file, w.disabled);
    ASSERT_EQ(w.file->activeAction(), w.disabled);
    const QRect r = w.file->actionGeometry(w.disabled);
    EXPECT_EQ(at(image, r.right() - 2, r.top() + 4), qb::clWhite);
    EXPECT_EQ(at(image, r.right() - 2, r.top() + 1), qb::clWhite);
    // Gray of the blue (66 + 10), then lightened by 40 percent; neither lifted nor shadowed.
    EXPECT_EQ(at(image, r.left() + 5, r.top() + 5), 0x949494u);
    EXPECT_EQ(at(image, r.left() + 16, r.top() + 16), 0x949494u);
    EXPECT_EQ(at(image, r.left() + 17, r.top() + 17), at(image, r.left() + 17, r.top() + 1));
}
