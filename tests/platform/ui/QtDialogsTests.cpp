#include "platform/core/Color.h"
#include "platform/ui/Application.h"
#include "platform/ui/QtDialogs.h"
#include "support/WhenModal.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFontDialog>
#include <QImage>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <memory>
#include <string>

namespace {

using qbtest::whenModal;

void pressEscape(QWidget* window) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(window, &press);
}

QPushButton* buttonWithText(QWidget* window, const QString& text) {
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        if (button->text() == text) {
            return button;
        }
    }
    return nullptr;
}

}  // namespace

TEST(QtDialogsTest, MessageBoxesShowTheirTextsAndAnswerByButton) {
    qb::QtDialogs dialogs;
    struct Case {
        qb::MessageButtons buttons;
        qb::MessageIcon icon;
        const char* press;  // a button's text, or "" for Esc
        qb::MessageResult expected;
        QMessageBox::Icon qtIcon;
    };
    const Case cases[] = {
        {qb::MessageButtons::Ok, qb::MessageIcon::Warning, "OK", qb::MessageResult::Ok,
         QMessageBox::Warning},
        {qb::MessageButtons::Ok, qb::MessageIcon::Information, "", qb::MessageResult::Ok,
         QMessageBox::Information},
        {qb::MessageButtons::YesNo, qb::MessageIcon::Question, "&Yes", qb::MessageResult::Yes,
         QMessageBox::Question},
        {qb::MessageButtons::YesNo, qb::MessageIcon::Question, "", qb::MessageResult::No,
         QMessageBox::Question},
        {qb::MessageButtons::OkCancel, qb::MessageIcon::Error, "", qb::MessageResult::Cancel,
         QMessageBox::Critical},
        {qb::MessageButtons::OkCancel, qb::MessageIcon::None, "OK", qb::MessageResult::Ok,
         QMessageBox::NoIcon},
    };
    const QString text = QStringLiteral("The password you entered is incorrect.    ");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.press);
        QString seenTitle;
        QString seenText;
        QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
        int buttonCount = 0;
        whenModal([&](QWidget* window) {
            auto* box = qobject_cast<QMessageBox*>(window);
            ASSERT_NE(box, nullptr);
            seenTitle = box->windowTitle();
            seenText = box->text();
            seenIcon = box->icon();
            buttonCount = int(box->buttons().size());
            if (*c.press == 0) {
                pressEscape(box);
            } else {
                buttonWithText(box, QString::fromLatin1(c.press))->click();
            }
        });
        EXPECT_EQ(dialogs.messageBox(text, QStringLiteral("Invalid Password"), c.buttons, c.icon),
                  c.expected);
        EXPECT_EQ(seenTitle, QStringLiteral("Invalid Password"));
        EXPECT_EQ(seenText, text);
        EXPECT_EQ(seenIcon, c.qtIcon);
        EXPECT_EQ(buttonCount, c.buttons == qb::MessageButtons::Ok ? 1 : 2);
    }
}

TEST(QtDialogsTest, ShowMessageCarriesTheApplicationTitle) {
    qb::QtDialogs dialogs;
    qb::setApplicationTitle(QStringLiteral("Quillbrook"));
    QString seenTitle;
    whenModal([&](QWidget* window) {
        seenTitle = window->windowTitle();
        buttonWithText(window, QStringLiteral("OK"))->click();
    });
    dialogs.showMessage(QStringLiteral("Unable to assign Ctrl-Alt-T as hotkey."));
    EXPECT_EQ(seenTitle, QStringLiteral("Quillbrook"));
}

TEST(QtDialogsTest, InputBoxGivesTheTextOrNothing) {
    qb::QtDialogs dialogs;
    whenModal([](QWidget* window) {
        auto* input = qobject_cast<QInputDialog*>(window);
        ASSERT_NE(input, nullptr);
        EXPECT_EQ(input->labelText(), QStringLiteral("Document Name:"));
        EXPECT_EQ(input->textValue(), QStringLiteral("old"));
        input->setTextValue(QStringLiteral("Welcome"));
        input->accept();
    });
    EXPECT_EQ(dialogs.inputBox(QStringLiteral("New Document"), QStringLiteral("Document Name:"),
                               QStringLiteral("old")),
              QStringLiteral("Welcome"));
    whenModal([](QWidget* window) { qobject_cast<QDialog*>(window)->reject(); });
    EXPECT_EQ(dialogs.inputBox(QStringLiteral("New Document"), QStringLiteral("Name"), QString()),
              std::nullopt);
}

TEST(QtDialogsTest, InputAndMessageBoxesAreWideEnoughForTheirCaptionsWhateverTheirText) {
    qb::QtDialogs dialogs;
    int width = 0;
    int captionWidth = 0;
    const auto measure = [&](const QString& title) {
        whenModal([&, title](QWidget* window) {
            width = window->width();
            captionWidth = window->fontMetrics().horizontalAdvance(title);
            qobject_cast<QDialog*>(window)->reject();
        });
    };
    const QString rename = QStringLiteral("Rename Picture File");
    measure(rename);
    dialogs.inputBox(rename, QStringLiteral("Enter the new name for a."), QStringLiteral("a"));
    EXPECT_GE(width, 320);
    EXPECT_GE(width, captionWidth + 160);

    const QString interval = QStringLiteral("Set Slide Show Interval");
    measure(interval);
    dialogs.messageBox(QStringLiteral("Not a valid number."), interval, qb::MessageButtons::Ok,
                       qb::MessageIcon::Error);
    EXPECT_GE(width, captionWidth + 160);
}

// The rows of a grab that hold ink, counted as bands of adjacent rows.
int inkBands(const QImage& image) {
    const QRgb background = image.pixel(0, 0);
    int bands = 0;
    bool inBand = false;
    for (int y = 0; y < image.height(); ++y) {
        bool ink = false;
        for (int x = 0; x < image.width() && !ink; ++x) {
            ink = image.pixel(x, y) != background;
        }
        bands += ink && !inBand ? 1 : 0;
        inBand = ink;
    }
    return bands;
}

TEST(QtDialogsTest, AMessageWithAWordWiderThanTheBoxShowsTheWholeWord) {
    qb::QtDialogs dialogs;
    // A file name as long as file systems allow is one word far wider than any box.
    const QString name = QString(246, QLatin1Char('p')) + QStringLiteral(".jpg");
    const QString text =
        QStringLiteral("This folder already contains a file named \"") + name +
        QStringLiteral("\".\r\n\r\nWould you like to replace the existing file?     ");
    int bands = 0;
    int labelRight = 0;
    int boxWidth = 0;
    whenModal([&](QWidget* window) {
        auto* label = window->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        ASSERT_NE(label, nullptr);
        QApplication::processEvents();
        bands = inkBands(label->grab().toImage());
        labelRight = label->geometry().right();
        boxWidth = window->width();
        qobject_cast<QDialog*>(window)->reject();
    });
    dialogs.messageBox(text, QStringLiteral("Confirm File Replace"), qb::MessageButtons::YesNo,
                       qb::MessageIcon::Warning);
    // The name runs on over further lines instead of being cut at the box's edge: more than the
    // three lines of text the message has with the name on one.
    EXPECT_GT(bands, 3);
    EXPECT_LT(labelRight, boxWidth);
}

TEST(QtDialogsTest, ColourDialogSpeaksTColor) {
    qb::QtDialogs dialogs;
    QColor seenInitial;
    whenModal([&](QWidget* window) {
        auto* picker = qobject_cast<QColorDialog*>(window);
        ASSERT_NE(picker, nullptr);
        seenInitial = picker->currentColor();
        picker->setCurrentColor(QColor(0x97, 0xAF, 0xE1));
        picker->accept();
    });
    EXPECT_EQ(dialogs.chooseColor(0x00914A28), std::optional<std::uint32_t>(0x00E1AF97));
    EXPECT_EQ(seenInitial, QColor(0x28, 0x4A, 0x91));
    whenModal([](QWidget* window) { qobject_cast<QDialog*>(window)->reject(); });
    EXPECT_EQ(dialogs.chooseColor(qb::clWhite), std::nullopt);
}

TEST(QtDialogsTest, FontDialogCarriesColourAndEffects) {
    qb::QtDialogs dialogs;
    qb::FontChoice initial;
    initial.family = QStringLiteral("DejaVu Sans");
    initial.pointSize = 10;
    initial.color = qb::clNavy;
    initial.underline = true;
    whenModal([](QWidget* window) {
        auto* colors = window->findChild<QComboBox*>();
        auto* fonts = window->findChild<QFontDialog*>();
        ASSERT_NE(colors, nullptr);
        ASSERT_NE(fonts, nullptr);
        EXPECT_EQ(colors->currentText(), QStringLiteral("Navy"));
        EXPECT_TRUE(fonts->currentFont().underline());
        colors->setCurrentIndex(colors->findText(QStringLiteral("Red")));
        QFont font = fonts->currentFont();
        font.setStrikeOut(true);
        font.setPointSize(14);
        fonts->setCurrentFont(font);
        window->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    const std::optional<qb::FontChoice> chosen = dialogs.chooseFont(initial);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(chosen->color, qb::clRed);
    EXPECT_EQ(chosen->pointSize, 14);
    EXPECT_TRUE(chosen->underline);
    EXPECT_TRUE(chosen->strikeout);
    EXPECT_FALSE(chosen->bold);
    EXPECT_FALSE(chosen->italic);

    whenModal([](QWidget* window) { pressEscape(window); });
    EXPECT_EQ(dialogs.chooseFont(initial), std::nullopt);
}

TEST(QtDialogsTest, AFaceThatIsNotInstalledSurvivesOkUnchanged) {
    qb::QtDialogs dialogs;
    qb::FontChoice initial;
    initial.family = QStringLiteral("No Such Face Quillbrook");
    initial.pointSize = 9;
    initial.color = qb::clBlack;
    QFont shown;
    whenModal([&shown](QWidget* window) {
        shown = window->findChild<QFontDialog*>()->currentFont();
        window->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    const std::optional<qb::FontChoice> chosen = dialogs.chooseFont(initial);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(chosen->family, initial.family);
    EXPECT_EQ(chosen->pointSize, 9);
    EXPECT_FALSE(chosen->bold);
    EXPECT_FALSE(chosen->italic);
    EXPECT_FALSE(shown.bold());
    EXPECT_FALSE(shown.italic());
}

namespace {

QAbstractButton* buttonNamed(QWidget* window, const QString& text) {
    for (auto* button : window->findChildren<QAbstractButton*>()) {
        if (button->text().remove(QLatin1Char('&')) == text) {
            return button;
        }
    }
    return nullptr;
}

}  // namespace

TEST(QtDialogsTest, OutputOptionsOpenThePageSetupOfTheChosenPrinter) {
    qb::QtDialogs dialogs;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageOrientation(QPageLayout::Portrait);
    QString setupOf;
    QPageLayout::Orientation afterSetup = QPageLayout::Portrait;
    whenModal([&](QWidget* options) {
        EXPECT_EQ(options->windowTitle(), QStringLiteral("Output Options"));
        QAbstractButton* setup = buttonNamed(options, QStringLiteral("Setup..."));
        ASSERT_NE(setup, nullptr);
        whenModal([&](QWidget* window) {
            auto* pageSetup = qobject_cast<QPageSetupDialog*>(window);
            ASSERT_NE(pageSetup, nullptr);
            setupOf = pageSetup->printer() == &printer ? "the chosen printer" : "another";
            QAbstractButton* landscape = buttonNamed(pageSetup, QStringLiteral("Landscape"));
            ASSERT_NE(landscape, nullptr);
            landscape->click();
            pageSetup->accept();
        });
        setup->click();
        afterSetup = printer.pageLayout().orientation();
        buttonNamed(options, QStringLiteral("Preview"))->click();
        options->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    EXPECT_EQ(dialogs.outputOptions(printer), qb::PrintDestination::Preview);
    EXPECT_EQ(setupOf, QStringLiteral("the chosen printer"));
    EXPECT_EQ(afterSetup, QPageLayout::Landscape);

    // A setup cancelled leaves the printer as it was.
    whenModal([](QWidget* window) { qobject_cast<QDialog*>(window)->reject(); });
    EXPECT_FALSE(dialogs.printerSetup(printer));
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
}

TEST(QtDialogsTest, ReportStatusShowsEachTextUntilCancelled) {
    qb::QtDialogs dialogs;
    std::unique_ptr<qb::ReportStatus> status = dialogs.reportStatus();
    QWidget* window = QApplication::activeModalWidget();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Report Status"));
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(status->show(QStringLiteral("Printing page 1")));
    EXPECT_EQ(window->findChild<QLabel*>()->text(), QStringLiteral("Printing page 1"));
    EXPECT_TRUE(status->show(QStringLiteral("Printing page 2")));
    EXPECT_EQ(window->findChild<QLabel*>()->text(), QStringLiteral("Printing page 2"));
    // The user's press comes through while a text is shown.
    QTimer::singleShot(0, window, [window] {
        window->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
    });
    EXPECT_FALSE(status->show(QStringLiteral("Printing page 3")));
    EXPECT_FALSE(status->show(QStringLiteral("Printing page 4")));
    status.reset();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// Long work between two texts polls the window: a press comes through while it works.
TEST(QtDialogsTest, ReportStatusLetsCancelInWhileWorkGoesOn) {
    qb::QtDialogs dialogs;
    std::unique_ptr<qb::ReportStatus> status = dialogs.reportStatus();
    QWidget* window = QApplication::activeModalWidget();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(status->show(QStringLiteral("Printing page 1")));
    QTimer::singleShot(0, window, [window] {
        window->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
    });
    QElapsedTimer working;
    working.start();
    bool going = true;
    while (going && working.elapsed() < 5000) {
        going = status->poll();
    }
    EXPECT_FALSE(going);
    EXPECT_FALSE(status->show(QStringLiteral("Printing page 2")));
    EXPECT_EQ(window->findChild<QLabel*>()->text(), QStringLiteral("Printing page 1"));
}

TEST(QtDialogsTest, PreviewOpensAtActualSizeWithNoFitButtonPressed) {
    qb::QtDialogs dialogs;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    int painted = 0;
    QString title;
    double zoom = 0;
    QString zoomText;
    QStringList pressed;
    whenModal([&](QWidget* window) {
        title = window->windowTitle();
        zoom = window->findChild<QPrintPreviewWidget*>()->zoomFactor();
        for (auto* box : window->findChildren<QComboBox*>()) {
            zoomText += box->currentText();
        }
        for (auto* button : window->findChildren<QToolButton*>()) {
            const QString text = button->text();
            if (text.startsWith(QStringLiteral("Fit")) && button->isChecked()) {
                pressed << text;
            }
        }
        qobject_cast<QDialog*>(window)->reject();
    });
    dialogs.printPreview(printer, [&painted](QPrinter& target) {
        QPainter painter(&target);
        painter.drawText(100, 100, QStringLiteral("sheet"));
        ++painted;
    });
    EXPECT_EQ(title, QStringLiteral("Report Preview"));
    EXPECT_GE(painted, 1);
    EXPECT_DOUBLE_EQ(zoom, 1.0);
    EXPECT_TRUE(zoomText.startsWith(QStringLiteral("100"))) << zoomText.toStdString();
    EXPECT_TRUE(pressed.isEmpty()) << pressed.join(", ").toStdString();
}

// The keys reach the font dialog's fields, not its window.
TEST(QtDialogsTest, EscapeInTheFontListsCancelsTheWholeDialog) {
    qb::QtDialogs dialogs;
    qb::FontChoice initial;
    initial.family = QStringLiteral("DejaVu Sans");
    initial.pointSize = 10;
    bool stillOpen = false;
    whenModal([&stillOpen](QWidget* window) {
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        QWidget* focus = QApplication::focusWidget();
        EXPECT_TRUE(focus && window->findChild<QFontDialog*>()->isAncestorOf(focus));
        pressEscape(focus ? focus : window);
        stillOpen = window->isVisible();
        if (stillOpen) {
            qobject_cast<QDialog*>(window)->reject();
        }
    });
    EXPECT_EQ(dialogs.chooseFont(initial), std::nullopt);
    EXPECT_FALSE(stillOpen);
}

// A family is chosen in the list as the user clicks it; the style follows from the one the
// font had, whatever the new family lists first.
TEST(QtDialogsTest, AnotherFamilyKeepsTheStyleTheFontHad) {
    struct Case {
        const char* from;
        bool bold, italic;
        const char* to;
    };
    const Case cases[] = {
        {"Arial", false, false, "DejaVu Serif"},
        {"Arial", true, false, "DejaVu Serif"},
        {"DejaVu Sans", false, true, "DejaVu Serif"},
        {"DejaVu Serif", true, true, "DejaVu Sans Mono"},
        {"DejaVu Sans Mono", false, true, "DejaVu Serif"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.from) + " to " + c.to + (c.bold ? " bold" : "") +
                     (c.italic ? " italic" : ""));
        qb::QtDialogs dialogs;
        qb::FontChoice initial;
        initial.family = QString::fromLatin1(c.from);
        initial.pointSize = 9;
        initial.bold = c.bold;
        initial.italic = c.italic;
        const QString to = QString::fromLatin1(c.to);
        whenModal([to](QWidget* window) {
            QListView* families = window->findChild<QFontDialog*>()->findChild<QListView*>();
            ASSERT_NE(families, nullptr);
            const QModelIndexList rows = families->model()->match(
                families->model()->index(0, 0), Qt::DisplayRole, to, 1, Qt::MatchExactly);
            ASSERT_EQ(rows.size(), 1);
            families->setCurrentIndex(rows.front());
            QApplication::processEvents();
            window->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
        const std::optional<qb::FontChoice> chosen = dialogs.chooseFont(initial);
        ASSERT_TRUE(chosen.has_value());
        EXPECT_EQ(chosen->family, to);
        EXPECT_EQ(chosen->bold, c.bold);
        EXPECT_EQ(chosen->italic, c.italic);
        EXPECT_EQ(chosen->pointSize, 9);
    }
}
