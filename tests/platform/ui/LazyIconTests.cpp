#include "platform/ui/LazyIcon.h"
#include "platform/ui/ProgramStyle.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QStyleOption>
#include <QToolButton>
#include <QWidget>

namespace {

QPixmap square() {
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.fillRect(3, 3, 10, 10, QColor(0x20, 0x20, 0x60));
    painter.drawLine(0, 15, 15, 0);
    return picture;
}

}  // namespace

TEST(LazyIconTest, MadeOnceAtTheFirstRequestAndDrawnAsThePlainIconInEveryModeAndSize) {
    int made = 0;
    const QIcon lazy = qb::lazyIcon([&made] {
        ++made;
        return QIcon(square());
    });
    const QIcon copy = lazy;  // Qt hands copies around: they share the one picture
    EXPECT_FALSE(lazy.isNull());
    EXPECT_EQ(made, 0);

    const QIcon plain(square());
    for (QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled, QIcon::Active, QIcon::Selected}) {
        for (int size : {16, 32, 12}) {
            EXPECT_EQ(copy.pixmap(size, mode).toImage(), plain.pixmap(size, mode).toImage())
                << "mode " << mode << " size " << size;
            EXPECT_EQ(lazy.actualSize(QSize(size, size), mode),
                      plain.actualSize(QSize(size, size)));
        }
    }
    EXPECT_EQ(made, 1);
}

TEST(LazyIconTest, AToolButtonShowsTheSamePixelsAsWithThePlainIcon) {
    const auto grabWith = [](const QIcon& icon, bool enabled) {
        QAction action(icon, QStringLiteral("Save"));
        action.setEnabled(enabled);
        QToolButton button;
        button.setDefaultAction(&action);
        button.resize(24, 24);
        return button.grab().toImage();
    };
    for (bool enabled : {true, false}) {
        EXPECT_EQ(grabWith(qb::lazyIcon([] { return QIcon(square()); }), enabled),
                  grabWith(QIcon(square()), enabled))
            << "enabled " << enabled;
    }
    const QStyle* style = QApplication::style();
    EXPECT_EQ(qb::lazyStandardIcon(style, QStyle::SP_TrashIcon).pixmap(16).toImage(),
              style->standardIcon(QStyle::SP_TrashIcon).pixmap(16).toImage());
}

// The program style hands out its standard icons unread (every tool bar asks for one when it is
// made); drawn, they are the base style's, also when the widget they were asked for is gone.
TEST(LazyIconTest, TheProgramStylesStandardIconsDrawAsTheBaseStylesOwn) {
    qb::ProgramStyle& style = qb::programStyle();
    const QStyle* base = style.baseStyle();
    QStyleOption plain;
    QStyleOptionButton button;
    struct Case {
        const char* what;
        QStyle::StandardPixmap which;
        const QStyleOption* option;
    };
    const Case cases[] = {
        {"no option", QStyle::SP_TrashIcon, nullptr},
        {"a plain option", QStyle::SP_ToolBarHorizontalExtensionButton, &plain},
        {"an option of its own kind", QStyle::SP_DialogOkButton, &button},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QIcon icon;
        {
            QWidget asking;
            icon = style.standardIcon(c.which, c.option, &asking);
        }
        EXPECT_FALSE(icon.isNull());
        for (int size : {16, 32}) {
            EXPECT_EQ(icon.pixmap(size).toImage(),
                      base->standardIcon(c.which, c.option, nullptr).pixmap(size).toImage())
                << "size " << size;
        }
    }
}
