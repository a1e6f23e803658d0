// Fonts given to the widgets of a window made hidden at start are taken at its first show.

#include <gtest/gtest.h>

#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

#include "platform/ui/Fonts.h"

namespace {

// A window that takes its waiting fonts when shown, as the program's hidden windows do.
class Window : public QWidget {
  public:
    void setVisible(bool visible) override {
        if (visible) {
            qb::applyFontsWhenShown(this);
        }
        QWidget::setVisible(visible);
    }
};

TEST(FontsWhenShown, AreTakenAtTheFirstShowBeforeTheLayoutAndLoseToAFontSetMeanwhile) {
    Window window;
    auto* layout = new QVBoxLayout(&window);
    auto* field = new QLabel(QStringLiteral("Text To Find"));
    auto* other = new QLabel(QStringLiteral("Other"));
    layout->addWidget(field);
    layout->addWidget(other);
    QFont big = window.font();
    big.setPixelSize(40);
    QFont small = window.font();
    small.setPixelSize(7);

    qb::setFontWhenShown(field, big);
    qb::setFontWhenShown(other, big);
    other->setFont(small);  // set in between: it stays
    EXPECT_EQ(field->font(), window.font()) << "not before the window shows";

    window.show();
    EXPECT_EQ(field->font().pixelSize(), 40);
    EXPECT_EQ(other->font().pixelSize(), 7);
    // Laid out in the font it shows in, from the first frame.
    EXPECT_GE(field->height(), QFontMetrics(big).height());

    // Once the window has shown, a font is set at once.
    auto* later = new QLabel(QStringLiteral("Later"), &window);
    qb::setFontWhenShown(later, small);
    EXPECT_EQ(later->font().pixelSize(), 7);
}

}  // namespace
