// The settings applied to the program's real windows, as ConnectProgramWindows wires them.
#include "dialogs/OptionsUnit.h"

#include "EmptyDiary.h"
#include "app/MainExtensionUnit.h"
#include "app/MainUnit.h"
#include "editors/BaseEditorUnit.h"
#include "platform/core/Color.h"
#include "platform/richedit/RichEdit.h"
#include "platform/ui/Components.h"
#include "platform/ui/PaintBox.h"
#include "store/DatabaseUnit.h"
#include "support/MainWindowOnDiary.h"
#include "tools/DesktopCalendarUnit.h"
#include "tools/PictureUnit.h"
#include "tools/SearchUnit.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <memory>

namespace {

using qb::FontChoice;
using qb::TColor;

// The main window on an empty diary with the windows the settings reach.
class OptionsProgramTest : public qb::test::MainWindowOnDiary {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(openMainWindow());
        IniPath = AppFolder + QStringLiteral("Marlowick.ini");
        options = std::make_unique<TOptionsForm>();
        OptionsForm = options.get();
        desktop = std::make_unique<TDesktopCalendarForm>();
        DesktopCalendarForm = desktop.get();
        picture = std::make_unique<TPictureForm>();
        PictureForm = picture.get();
        search = std::make_unique<TSearchForm>();
        SearchForm = search.get();
        // The viewer's scroll box, as the viewer will hold it.
        scrollBox = new QScrollArea(picture.get());
        scrollBox->setObjectName(QStringLiteral("ScrollBox"));
        ConnectProgramWindows();
    }

    void TearDown() override {
        if (options->isVisible()) {
            options->reject();
        }
        SearchForm = nullptr;
        PictureForm = nullptr;
        DesktopCalendarForm = nullptr;
        OptionsForm = nullptr;
        search.reset();
        picture.reset();
        desktop.reset();
        options.reset();
        closeMainWindow();
    }

    void writeFile(const QByteArray& bytes) const {
        QFile file(IniPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    // What start-up does with the settings.
    void startUp() {
        options->LoadOptions();
        options->ApplyOptions();
    }

    void open() {
        options->show();
        QApplication::processEvents();
    }

    static TColor windowColor(const QWidget* widget) {
        return qb::fromQColor(widget->palette().color(QPalette::Window));
    }

    std::unique_ptr<TOptionsForm> options;
    std::unique_ptr<TDesktopCalendarForm> desktop;
    std::unique_ptr<TPictureForm> picture;
    std::unique_ptr<TSearchForm> search;
    QScrollArea* scrollBox = nullptr;
};

TEST_F(OptionsProgramTest, StartUpAppliesTheStoredSettingsToEveryWindow) {
    writeFile(
        "[DesktopCalendar]\nTransparency=05\n"
        "[Colors]\nBackground=$00102030\nSelTabBorder=clNavy\n"
        "[Default Font2]\nName=Courier New\nSize=12\nBold=1\n"
        "[Toolbars]\nFile=0\nSearch=0\n");
    startUp();

    EXPECT_NEAR(desktop->windowOpacity(), 230 / 255.0, 0.01);
    EXPECT_EQ(DefaultFont1, (FontChoice{"Arial", 9, 0x000000, false, false, false, false}));
    EXPECT_EQ(DefaultFont2, (FontChoice{"Courier New", 12, 0x000000, true, false, false, false}));
    EXPECT_EQ(qb::hint(main->DefaultFont2Action), QStringLiteral("Courier New - Size 12"));
    EXPECT_EQ(qb::hint(main->DefaultFont3Action), QStringLiteral("Arial - Size 9"));
    for (QWidget* line : {main->SelBorderShape1, main->SelBorderShape2, main->SelBorderShape3,
                          main->SelBorderShape4}) {
        EXPECT_EQ(windowColor(line), 0x00800000u) << line->objectName().toStdString();
    }
    EXPECT_EQ(windowColor(main->CalTitlePanel), 0x00102030u);
    EXPECT_EQ(windowColor(main->DocTitlePanel), 0x00102030u);
    EXPECT_EQ(windowColor(scrollBox), 0x00243444u);  // each byte of the background plus 20

    // The tool bars of the keys that read false are hidden, and the dialog leaves them so.
    EXPECT_TRUE(main->FileToolBar->isHidden());
    EXPECT_FALSE(main->FileToolbarMenuItem->isChecked());
    EXPECT_TRUE(main->SearchToolBar->isHidden());
    EXPECT_FALSE(main->EditToolbar->isHidden());
    for (int i = 0; i < 2; ++i) {
        open();
        options->CancelBitButton->click();
    }
    open();
    options->DefaultButtonClick();
    options->OkBitButton->click();
    EXPECT_TRUE(main->FileToolBar->isHidden());
    EXPECT_FALSE(main->FileToolbarMenuItem->isChecked());
}

TEST_F(OptionsProgramTest, ApplyingInTheDialogRebuildsTheListsAndReachesNewPages) {
    startUp();
    int calendarRefreshes = 0;
    const std::function<void()> refreshCalendars = main->RefreshCalendars;
    main->RefreshCalendars = [&] {
        ++calendarRefreshes;
        if (refreshCalendars) {
            refreshCalendars();
        }
    };
    qb::db::Table& docs = DataModule1->OtherDocTable;
    docs.Insert();
    docs.FieldByName("Name").SetAsString("Trip");
    docs.Post();

    open();
    boxes.colorAnswers = {TColor(0x0000FF)};
    options->HighlightLabelMouseDown();
    boxes.fontAnswers = {FontChoice{"Courier New", 14, 0x008000, false, true, false, false}};
    options->FontLabel1MouseDown(options->FontLabel1);
    options->OkBitButton->click();

    EXPECT_EQ(calendarRefreshes, 1);
    // The documents list is rebuilt in the new highlight colour.
    const QList<QLabel*> labels = main->DocumentScrollBox->widget()->findChildren<QLabel*>(
        QString(), Qt::FindDirectChildrenOnly);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels.first()->text(), QStringLiteral("        Trip"));
    EXPECT_EQ(labels.first()->palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_EQ(qb::hint(main->DefaultFontAction), QStringLiteral("Courier New - Size 14"));

    // A document made new starts in the first default font just chosen.
    boxes.inputAnswers = {QStringLiteral("Plans")};
    main->ExecuteAction(main->NewAction);
    auto* editor = qobject_cast<TBaseEditorFrame*>(main->CurrentEditor());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->RichEdit->SelAttributes().Name(), QStringLiteral("Courier New"));
    EXPECT_EQ(editor->RichEdit->SelAttributes().Size(), 14);
}

// What the main window shows on screen (its backing store, not a fresh rendering).
QImage onScreen(QWidget& window) {
    QApplication::processEvents();
    return window.screen()->grabWindow(window.winId()).toImage();
}

// A colour of the green family: green above red and blue.
bool greenish(QRgb pixel) {
    return qGreen(pixel) > qRed(pixel) + 20 && qGreen(pixel) > qBlue(pixel) + 20;
}

TEST_F(OptionsProgramTest, NewColoursRepaintEveryShadedBoxOfTheOpenWindows) {
    startUp();
    boxes.inputAnswers = {QStringLiteral("Plans")};
    main->ExecuteAction(main->NewAction);  // a page with its title band
    auto* editor = qobject_cast<TBaseEditorFrame*>(main->CurrentEditor());
    ASSERT_NE(editor, nullptr);
    main->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
    picture->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(picture.get()));
    const QPoint viewerStrip = picture->PaintBox2->mapTo(picture.get(), QPoint(4, 4));
    ASSERT_FALSE(greenish(onScreen(*picture).pixel(viewerStrip)));
    search->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(search.get()));
    const auto* searchStripBox = search->findChild<qb::PaintBox*>();
    ASSERT_NE(searchStripBox, nullptr);
    const QPoint searchStrip = searchStripBox->mapTo(search.get(), QPoint(4, 4));
    ASSERT_FALSE(greenish(onScreen(*search).pixel(searchStrip)));
    // The middle of each shaded box, as far as it shows in the window.
    std::vector<std::pair<const QWidget*, QPoint>> boxes_;
    const QWidget* shaded[] = {main->PaintBox2, main->CalendarPaintBox1, main->CalendarPaintBox2,
                               main->PaintBox3, main->DocPanelPaintBox,  editor->TitlePanel};
    for (const QWidget* box : shaded) {
        const QRect shown =
            QRect(box->mapTo(main.get(), QPoint(0, 0)), box->size()).intersected(main->rect());
        ASSERT_FALSE(shown.isEmpty()) << box->objectName().toStdString();
        boxes_.emplace_back(box, QPoint(shown.left() + 4, shown.center().y()));
    }
    const QImage before = onScreen(*main);
    for (const auto& [box, at] : boxes_) {
        ASSERT_FALSE(greenish(before.pixel(at))) << box->objectName().toStdString();
    }

    open();
    boxes.colorAnswers = {TColor(0x00206000)};  // a dark green
    options->BackgroundLabelMouseDown();
    options->OkBitButton->click();
    const QImage after = onScreen(*main);
    for (const auto& [box, at] : boxes_) {
        EXPECT_TRUE(greenish(after.pixel(at)))
            << box->objectName().toStdString() << " " << std::hex << after.pixel(at);
    }
    EXPECT_TRUE(greenish(onScreen(*picture).pixel(viewerStrip)));
    EXPECT_TRUE(greenish(onScreen(*search).pixel(searchStrip)));
}

}  // namespace
