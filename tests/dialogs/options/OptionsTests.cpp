#include "dialogs/OptionsUnit.h"

#include "program/ProgramState.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEnterEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace {

using qb::FontChoice;
using qb::TColor;

const FontChoice kArial9{"Arial", 9, 0x000000, false, false, false, false};

// What applying and loading the settings did to the rest of the program.
struct Reached {
    std::vector<int> alphas;
    std::map<int, FontChoice> defaultFonts;
    std::vector<TColor> scrollBoxColors;
    std::vector<std::pair<TColor, TColor>> mainWindowColors;
    int searchRepaints = 0;
    int calendarRefreshes = 0;
    int documentRefreshes = 0;
    std::map<int, QString> hints;
    std::vector<QString> toolbarClicks;
};

class OptionsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        reached_ = Reached{};
        IniPath = dir_.filePath("Marlowick.ini");
        HighlightColor = 0x00E1AF97;
        BackgroundColor = 0x00914A28;
        BackgroundFontColor = 0x00FFFFFF;
        SelectedTabColor = 0x00008000;
        SelTabBorderColor = 0x00914A28;
        form_ = std::make_unique<TOptionsForm>();
        qb::OptionsTargets& targets = form_->Targets;
        targets.setDesktopCalendarAlpha = [this](int alpha) { reached_.alphas.push_back(alpha); };
        targets.setDefaultFont = [this](int n, const FontChoice& font) {
            reached_.defaultFonts[n] = font;
        };
        targets.setPictureScrollBoxColor = [this](TColor c) {
            reached_.scrollBoxColors.push_back(c);
        };
        targets.setMainWindowColors = [this](TColor border, TColor background) {
            reached_.mainWindowColors.emplace_back(border, background);
        };
        targets.repaintSearchWindow = [this] { ++reached_.searchRepaints; };
        targets.refreshCalendars = [this] { ++reached_.calendarRefreshes; };
        targets.refreshDocumentList = [this] { ++reached_.documentRefreshes; };
        targets.setDefaultFontHint = [this](int n, const QString& hint) {
            reached_.hints[n] = hint;
        };
        targets.clickToolbarMenuItem = [this](const QString& key) {
            reached_.toolbarClicks.push_back(key);
        };
    }

    void writeFile(const QByteArray& bytes) const {
        QFile file(IniPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QByteArray readFile() const {
        QFile file(IniPath);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // What start-up does with the settings.
    void startUp() {
        form_->LoadOptions();
        form_->ApplyOptions();
    }

    // Opens the dialog as the Options command does, without a modal loop of its own.
    void open() {
        form_->show();
        QApplication::processEvents();
    }

    FontChoice labelFont(int n) const {
        const qb::OptionsLabel* label = n == 1   ? form_->FontLabel1
                                        : n == 2 ? form_->FontLabel2
                                                 : form_->FontLabel3;
        return qb::fontChoiceOf(label->font(), label->fontColor());
    }

    QTemporaryDir dir_;
    qb::ScriptedDialogs dialogs_;
    Reached reached_;
    std::unique_ptr<TOptionsForm> form_;
};

TEST_F(OptionsTest, NoFileLoadsAndAppliesEveryDefault) {
    startUp();
    TOptionsForm& f = *form_;
    EXPECT_FALSE(f.OnlyShowDesktopRadioButton->isChecked());
    EXPECT_TRUE(f.OnlyShowEditorRadioButton->isChecked());
    EXPECT_FALSE(f.ShowBothRadioButton->isChecked());
    EXPECT_FALSE(f.UseCtrlKeyRadioButton->isChecked());
    EXPECT_TRUE(f.PagesSepTabRadioButton->isChecked());
    for (QCheckBox* on : {f.PlaySoundsCheckBox, f.ShowWelcomeCheckBox, f.AutoSlideUpCheckBox,
                          f.ShowModifyCheckBox, f.OrderPagesCheckBox, f.ShowCaptionsCheckBox}) {
        EXPECT_TRUE(on->isChecked()) << on->objectName().toStdString();
    }
    EXPECT_FALSE(f.CloseAllOpenPagesCheckBox->isChecked());
    EXPECT_FALSE(f.DontShowInTaskbarCheckBox->isChecked());
    EXPECT_EQ(f.TransparencyLevelComboBox->currentText(), "00");
    EXPECT_EQ(reached_.alphas, std::vector<int>{255});

    EXPECT_EQ(BackgroundColor, 0x00914A28u);
    EXPECT_EQ(BackgroundFontColor, 0x00FFFFFFu);
    EXPECT_EQ(HighlightColor, 0x00E1AF97u);
    EXPECT_EQ(SelectedTabColor, 0x00008000u);
    EXPECT_EQ(SelTabBorderColor, 0x00914A28u);
    EXPECT_EQ(f.PaintBox1->color(), 0x00914A28u);
    // Each channel of the background lightened by 20: 28 4A 91 -> 3C 5E A5.
    EXPECT_EQ(reached_.scrollBoxColors, std::vector<TColor>{0x00A55E3C});
    ASSERT_EQ(reached_.mainWindowColors.size(), 1u);
    EXPECT_EQ(reached_.mainWindowColors[0], std::make_pair(TColor(0x00914A28), TColor(0x00914A28)));
    EXPECT_EQ(reached_.searchRepaints, 1);

    for (int n = 1; n <= 3; ++n) {
        EXPECT_EQ(reached_.defaultFonts[n], kArial9) << n;
        EXPECT_EQ(reached_.hints[n], "Arial - Size 9") << n;
        EXPECT_EQ(labelFont(n), kArial9);
    }
    EXPECT_EQ(f.FontLabel1->text(), "Arial - Size 9 - [ Click to Change ]");
    EXPECT_TRUE(reached_.toolbarClicks.empty());
    // Refreshing the lists waits until the dialog is open, and start-up writes nothing.
    EXPECT_EQ(reached_.calendarRefreshes, 0);
    EXPECT_EQ(reached_.documentRefreshes, 0);
    EXPECT_FALSE(QFile::exists(IniPath));
}

TEST_F(OptionsTest, SaveFromNoFileWritesEveryKeyInOrder) {
    startUp();
    form_->SaveOptions();
    QFile golden(QStringLiteral(QB_TEST_DATA_DIR "/Marlowick.ini"));
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly));
    EXPECT_EQ(readFile().toStdString(), golden.readAll().toStdString());
}

TEST_F(OptionsTest, TextFormsOfHandEditedFiles) {
    using Probe = std::function<QString(TOptionsForm&)>;
    const Probe playSounds = [](TOptionsForm& f) {
        return QString::number(f.PlaySoundsCheckBox->isChecked());
    };
    const Probe closeAll = [](TOptionsForm& f) {
        return QString::number(f.CloseAllOpenPagesCheckBox->isChecked());
    };
    const Probe background = [](TOptionsForm&) { return QString::number(BackgroundColor, 16); };
    const Probe selectedTab = [](TOptionsForm& f) {
        return QString::number(f.SelectedTabPaintBox->color(), 16);
    };
    const Probe font1 = [](TOptionsForm& f) { return f.FontLabel1->text(); };
    const Probe level = [](TOptionsForm& f) { return f.TransparencyLevelComboBox->currentText(); };
    struct Case {
        const char* file;
        const Probe* probe;
        const char* expected;
    };
    const Case cases[] = {
        {"[General]\nPlaySounds=2\n", &playSounds, "1"},
        {"[General]\nPlaySounds=-1\n", &playSounds, "1"},
        {"[General]\nPlaySounds=0x0\n", &playSounds, "0"},
        {"[General]\nPlaySounds=yes\n", &playSounds, "1"},
        {"[General]\nPlaySounds=\n", &playSounds, "1"},
        {"[general]\n playsounds = 0 \n", &playSounds, "0"},
        {"[DesktopCalendar]\nCloseAllOpenPages=yes\n", &closeAll, "0"},
        {"[DesktopCalendar]\nCloseAllOpenPages=$1\n", &closeAll, "1"},
        {"[Colors]\nBackground=clRed\n", &background, "ff"},
        {"[Colors]\nBackground=CLRED\n", &background, "ff"},
        {"[Colors]\nBackground=$000000FF\n", &background, "ff"},
        {"[Colors]\nBackground=255\n", &background, "ff"},
        {"[Colors]\nBackground=clBtnFace\n", &background, "ff00000f"},
        // Unreadable colours fall back to the key's default, key by key.
        {"[Colors]\nBackground=blue-ish\nSelectedTab=clRed\n", &background, "914a28"},
        {"[Colors]\nBackground=blue-ish\nSelectedTab=clRed\n", &selectedTab, "ff"},
        {"[Colors]\nBackground=\n", &background, "914a28"},
        {"[Default Font1]\nSize=abc\n", &font1, "Arial - Size 9 - [ Click to Change ]"},
        {"[Default Font1]\nSize=0\n", &font1, "Arial - Size 9 - [ Click to Change ]"},
        {"[Default Font1]\nName=Courier New\nSize=$C\n", &font1,
         "Courier New - Size 12 - [ Click to Change ]"},
        {"[DesktopCalendar]\nTransparency=05\n", &level, "05"},
        {"[DesktopCalendar]\nTransparency=15\n", &level, "15"},
        // No such level and none chosen before: the key's default.
        {"[DesktopCalendar]\nTransparency=5\n", &level, "00"},
        {"[DesktopCalendar]\nTransparency=\n", &level, "00"},
    };
    for (const Case& c : cases) {
        SetUp();
        writeFile(c.file);
        startUp();
        EXPECT_EQ((*c.probe)(*form_), QString::fromLatin1(c.expected)) << c.file;
    }
}

TEST_F(OptionsTest, TransparencyLevelSetsAlphaAndAnUnknownLevelKeepsTheChoice) {
    writeFile("[DesktopCalendar]\nTransparency=05\n");
    startUp();
    EXPECT_EQ(reached_.alphas, std::vector<int>{230});
    writeFile("[DesktopCalendar]\nTransparency=5\n");
    startUp();
    EXPECT_EQ(form_->TransparencyLevelComboBox->currentText(), "05");
    writeFile("[DesktopCalendar]\nTransparency=15\n");
    startUp();
    EXPECT_EQ(reached_.alphas, (std::vector<int>{230, 230, 180}));
}

TEST_F(OptionsTest, RadioGroupsLastTrueWinsAndAllFalseChecksNone) {
    struct Case {
        const char* file;
        bool desktop, editor, both, ctrl, sepTab;
    };
    const Case cases[] = {
        {"[General]\nOnlyShowDesktop=0\nOnlyShowEditor=0\nShowBoth=0\n"
         "[Editors]\nUseCtrlKey=0\nPagesSepTab=0\n",
         false, false, false, false, false},
        {"[General]\nOnlyShowDesktop=1\nOnlyShowEditor=0\nShowBoth=1\n", false, false, true, false,
         true},
        {"[General]\nOnlyShowDesktop=1\nOnlyShowEditor=0\n"
         "[Editors]\nUseCtrlKey=1\nPagesSepTab=0\n",
         true, false, false, true, false},
        {"[General]\nOnlyShowDesktop=1\nOnlyShowEditor=1\n[Editors]\nUseCtrlKey=1\n", false, true,
         false, false, true},
    };
    for (const Case& c : cases) {
        SetUp();
        // The buttons start from the other extreme, so that a load that leaves one alone shows.
        form_->ShowBothRadioButton->setChecked(true);
        form_->UseCtrlKeyRadioButton->setChecked(true);
        writeFile(c.file);
        startUp();
        TOptionsForm& f = *form_;
        EXPECT_EQ(f.OnlyShowDesktopRadioButton->isChecked(), c.desktop) << c.file;
        EXPECT_EQ(f.OnlyShowEditorRadioButton->isChecked(), c.editor) << c.file;
        EXPECT_EQ(f.ShowBothRadioButton->isChecked(), c.both) << c.file;
        EXPECT_EQ(f.UseCtrlKeyRadioButton->isChecked(), c.ctrl) << c.file;
        EXPECT_EQ(f.PagesSepTabRadioButton->isChecked(), c.sepTab) << c.file;
        // A user's click still leaves one button of a group checked.
        EXPECT_TRUE(f.OnlyShowDesktopRadioButton->autoExclusive());
    }
    // All false is written back as it was read.
    SetUp();
    writeFile(cases[0].file);
    startUp();
    form_->SaveOptions();
    EXPECT_TRUE(readFile().startsWith(
        "[General]\nOnlyShowDesktop=0\nOnlyShowEditor=0\nShowBoth=0\nPlaySounds=1\n"));
    EXPECT_TRUE(readFile().contains("[Editors]\nUseCtrlKey=0\nPagesSepTab=0\nShowModify=1\n"));
}

TEST_F(OptionsTest, PartialFileWithCrLfAndByteOrderMark) {
    writeFile(
        "\xEF\xBB\xBF; kept\r\n[General]\r\nPlaySounds=0\r\nSideCalendarPanel=0\r\n"
        "[Colors]\r\nHighlight=clYellow\r\n[Toolbars]\r\nFile=0\r\n");
    startUp();
    EXPECT_FALSE(form_->PlaySoundsCheckBox->isChecked());
    EXPECT_TRUE(form_->ShowWelcomeCheckBox->isChecked());
    EXPECT_EQ(HighlightColor, 0x00FFFFu);
    EXPECT_EQ(BackgroundColor, 0x00914A28u);
    EXPECT_EQ(form_->HighlightLabel->fontColor(), 0x00FFFFu);

    form_->SaveOptions();
    const QByteArray saved = readFile();
    EXPECT_TRUE(saved.startsWith(
        "\xEF\xBB\xBF; kept\r\n[General]\r\nPlaySounds=0\r\nSideCalendarPanel=0\r\n"
        "OnlyShowDesktop=0\r\nOnlyShowEditor=1\r\nShowBoth=0\r\nShowWelcome=1\r\n[Colors]\r\n"
        "Highlight=clYellow\r\nBackground=$00914A28\r\nBackgroundFont=clWhite\r\n"))
        << saved.toStdString();
    EXPECT_TRUE(saved.contains("[Toolbars]\r\nFile=0\r\n[DesktopCalendar]\r\n"));
    EXPECT_FALSE(saved.contains("\n\n")) << "every added line ends as the file's lines do";
}

TEST_F(OptionsTest, ToolbarKeysAreClickedOnlyAtStartUp) {
    writeFile("[Toolbars]\nFile=0\nEdit=1\nSearch=0\nTools=yes\n");
    startUp();
    EXPECT_EQ(reached_.toolbarClicks, (std::vector<QString>{"File", "Search"}));
    open();
    form_->DefaultButtonClick();
    EXPECT_EQ(reached_.toolbarClicks.size(), 2u);
}

TEST_F(OptionsTest, StoredFontStylesAreExactlyTheKeysThatReadTrue) {
    writeFile(
        "[Default Font2]\nName=Courier New\nColor=clRed\nSize=12\nBold=1\nItalic=0\n"
        "Underline=2\nStrikeout=1\n");
    startUp();
    EXPECT_EQ(labelFont(2), (FontChoice{"Courier New", 12, 0x0000FF, true, false, true, true}));
    EXPECT_EQ(reached_.defaultFonts[2], labelFont(2));
    EXPECT_EQ(reached_.hints[2], "Courier New - Size 12");
    EXPECT_EQ(form_->FontLabel2->text(), "Courier New - Size 12 - [ Click to Change ]");
    // Shown, every font label is sized to its caption in its own face, broken into lines
    // where it is wider than the page.
    open();
    for (const qb::OptionsLabel* label :
         {form_->FontLabel1, form_->FontLabel2, form_->FontLabel3}) {
        SCOPED_TRACE(label->objectName().toStdString());
        EXPECT_TRUE(form_->DefaultFontsPanel->rect().contains(label->geometry()));
        if (label->wordWrap()) {
            EXPECT_GE(label->height(), label->heightForWidth(label->width()));
        } else {
            EXPECT_EQ(label->size(), label->sizeHint());
        }
    }

    writeFile("[Default Font2]\nName=Courier New\nBold=0\n");
    startUp();
    EXPECT_EQ(labelFont(2), (FontChoice{"Courier New", 9, 0x000000, false, false, false, false}));
}

// The dark pixels of an image: the ink of black text on a light ground.
int inkOf(const QImage& image) {
    int ink = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            ink += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
        }
    }
    return ink;
}

TEST_F(OptionsTest, AFontLabelInALargeFontShowsItsWholeCaptionOnThePage) {
    writeFile(
        "[Default Font1]\nName=DejaVu Serif\nSize=12\n"
        "[Default Font2]\nName=DejaVu Serif\nSize=13\n"
        "[Default Font3]\nName=DejaVu Serif\nSize=14\n");
    startUp();
    open();
    form_->OptionLabelMouseDown(form_->DefaultFontsLabel);
    QApplication::processEvents();
    QWidget* page = form_->DefaultFontsPanel;
    const QImage shot = page->grab().toImage();
    int previousBottom = -1;
    for (const qb::OptionsLabel* label :
         {form_->FontLabel1, form_->FontLabel2, form_->FontLabel3}) {
        SCOPED_TRACE(label->text().toStdString());
        // The caption drawn by itself on one line holds the ink the page must show.
        QLabel alone(label->text());
        alone.setFont(label->font());
        alone.adjustSize();
        const int whole = inkOf(alone.grab().toImage());
        const QRect onPage = label->geometry() & page->rect();
        EXPECT_GE(inkOf(shot.copy(onPage)), whole * 97 / 100);
        // The fonts below make room: no heading lies over the label above it.
        const QString heading = QStringLiteral("Default Font ") + label->objectName().back();
        for (const QLabel* other : page->findChildren<QLabel*>()) {
            if (other->text() == heading) {
                EXPECT_GT(other->y(), previousBottom);
            }
        }
        previousBottom = label->geometry().bottom();
    }
}

TEST_F(OptionsTest, FontNameInTheWindowsCodePageSurvivesOk) {
    writeFile("[Default Font1]\r\nName=Caf\xe9 Sans\r\nSize=10\r\n");
    startUp();
    const QString name = QString::fromUtf16(u"Caf\u00e9 Sans");
    EXPECT_EQ(form_->FontLabel1->text(), name + " - Size 10 - [ Click to Change ]");
    open();
    form_->OkBitButton->click();
    // The file is in Windows-1252 alone, and so it stays.
    EXPECT_TRUE(readFile().startsWith("[Default Font1]\r\nName=Caf\xe9 Sans\r\n"));
    startUp();
    EXPECT_EQ(labelFont(1).family, name);
}

TEST_F(OptionsTest, RestoreDefaultsDeletesTheFileAndAppliesDefaults) {
    writeFile("[General]\nPlaySounds=0\nSideCalendarPanel=0\n[Colors]\nBackground=clRed\n");
    startUp();
    open();
    ASSERT_EQ(BackgroundColor, 0x0000FFu);
    form_->DefaultButtonClick();
    EXPECT_FALSE(QFile::exists(IniPath));
    EXPECT_TRUE(form_->PlaySoundsCheckBox->isChecked());
    EXPECT_EQ(BackgroundColor, 0x00914A28u);
    EXPECT_EQ(form_->BackGroundPaintBox->color(), 0x00914A28u);
    EXPECT_EQ(reached_.calendarRefreshes, 1);
    EXPECT_EQ(reached_.documentRefreshes, 1);
    EXPECT_TRUE(form_->isVisible());

    form_->CancelBitButton->click();
    EXPECT_FALSE(form_->isVisible());
    EXPECT_FALSE(QFile::exists(IniPath));
    EXPECT_EQ(BackgroundColor, 0x00914A28u);
    form_->DefaultButtonClick();  // a missing file is no error
    EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(OptionsTest, CancelDiscardsPickedColoursAndFontsButNotCheckBoxes) {
    startUp();
    open();
    dialogs_.colorAnswers.push_back(TColor(0x0000FF));
    form_->BackgroundLabelMouseDown();
    dialogs_.fontAnswers.push_back(FontChoice{"Courier New", 14, 0xFF0000, true});
    form_->FontLabel1MouseDown(form_->FontLabel1);
    form_->PlaySoundsCheckBox->setChecked(false);
    reached_ = Reached{};
    form_->CancelBitButton->click();

    EXPECT_EQ(BackgroundColor, 0x00914A28u);
    EXPECT_TRUE(reached_.defaultFonts.empty());
    EXPECT_FALSE(QFile::exists(IniPath));
    EXPECT_FALSE(form_->PlaySoundsCheckBox->isChecked()) << "in force until the next opening";
    open();
    EXPECT_TRUE(form_->PlaySoundsCheckBox->isChecked());
    EXPECT_EQ(form_->BackGroundPaintBox->color(), 0x00914A28u);
    EXPECT_EQ(labelFont(1), kArial9);
}

TEST_F(OptionsTest, ColourPickersStartWithTheSampleAndSetEverySampleOfTheirColour) {
    startUp();
    open();
    using Pick = void (TOptionsForm::*)();
    using Read = std::function<std::vector<TColor>(TOptionsForm&)>;
    struct Case {
        Pick pick;
        TColor initial;
        Read read;
    };
    const Case cases[] = {
        {&TOptionsForm::BackgroundLabelMouseDown, 0x00914A28,
         [](TOptionsForm& f) {
             return std::vector<TColor>{f.BackGroundPaintBox->color(),
                                        f.BackgroundFontPaintBox->color(),
                                        f.HighlightPaintBox->color()};
         }},
        {&TOptionsForm::BackgroundFontLabelMouseDown, 0xFFFFFF,
         [](TOptionsForm& f) {
             return std::vector<TColor>{
                 f.BackgroundLabel->fontColor(), f.BackgroundFontLabel->fontColor(),
                 f.SelectedTabLabel->fontColor(), f.SelectedTabBorderLabel->fontColor()};
         }},
        {&TOptionsForm::HighlightLabelMouseDown, 0x00E1AF97,
         [](TOptionsForm& f) { return std::vector<TColor>{f.HighlightLabel->fontColor()}; }},
        {&TOptionsForm::SelectedTabLabelMouseDown, 0x008000,
         [](TOptionsForm& f) {
             return std::vector<TColor>{f.SelectedTabPaintBox->color(),
                                        f.SelectedTabBorderPaintBox->color()};
         }},
        {&TOptionsForm::SelectedTabBorderLabelMouseDown, 0x00914A28,
         [](TOptionsForm& f) { return std::vector<TColor>{f.SelTabBorderShape->penColor()}; }},
    };
    for (const Case& c : cases) {
        const std::vector<TColor> before = c.read(*form_);
        dialogs_.shown.clear();
        (form_.get()->*c.pick)();  // cancelled: nothing changes
        ASSERT_EQ(dialogs_.shown.size(), 1u);
        EXPECT_EQ(dialogs_.shown[0].initialColor, c.initial);
        EXPECT_EQ(c.read(*form_), before);

        dialogs_.colorAnswers.push_back(TColor(0x0000FF));
        (form_.get()->*c.pick)();
        EXPECT_EQ(c.read(*form_), std::vector<TColor>(before.size(), 0x0000FF));
    }
    // The program's colours change only when the dialog's colours are applied.
    EXPECT_EQ(BackgroundColor, 0x00914A28u);
    form_->ApplyButton->click();
    for (TColor c : {BackgroundColor, BackgroundFontColor, HighlightColor, SelectedTabColor,
                     SelTabBorderColor}) {
        EXPECT_EQ(c, 0x0000FFu);
    }
    EXPECT_TRUE(readFile().contains("[Colors]\nBackground=clRed\nBackgroundFont=clRed\n"));
    EXPECT_TRUE(form_->isVisible());
}

TEST_F(OptionsTest, FontPickerChangesTheLabelAndTheHintsWaitForApply) {
    startUp();
    open();
    dialogs_.fontAnswers.push_back(std::nullopt);
    form_->FontLabel1MouseDown(form_->FontLabel3);
    ASSERT_EQ(dialogs_.shown.size(), 1u);
    EXPECT_EQ(dialogs_.shown[0].initialFont, kArial9);
    EXPECT_EQ(labelFont(3), kArial9);

    const FontChoice picked{"Courier New", 14, 0x800000, false, true, false, false};
    dialogs_.fontAnswers.push_back(picked);
    form_->FontLabel1MouseDown(form_->FontLabel3);
    EXPECT_EQ(labelFont(3), picked);
    EXPECT_EQ(form_->FontLabel3->text(), "Courier New - Size 14 - [ Click to Change ]");
    EXPECT_EQ(reached_.hints[3], "Arial - Size 9");

    form_->OkBitButton->click();
    EXPECT_EQ(reached_.hints[3], "Courier New - Size 14");
    EXPECT_EQ(reached_.defaultFonts[3], picked);
    EXPECT_FALSE(form_->isVisible());
    EXPECT_EQ(form_->result(), QDialog::Accepted);
    EXPECT_TRUE(readFile().contains(
        "[Default Font3]\nName=Courier New\nColor=clNavy\nSize=14\nBold=0\nItalic=1\n"
        "Underline=0\nStrikeout=0\n"));
}

TEST_F(OptionsTest, RefusedWriteIsShownAndTheAppliedSettingsStay) {
    startUp();
    open();
    IniPath = dir_.filePath("gone/Marlowick.ini");
    dialogs_.colorAnswers.push_back(TColor(0x0000FF));
    form_->HighlightLabelMouseDown();
    form_->ApplyButton->click();
    ASSERT_EQ(dialogs_.shown.size(), 2u);
    EXPECT_EQ(dialogs_.shown[1].kind, "messageBox");
    EXPECT_EQ(dialogs_.shown[1].text, "Unable to write to " + IniPath + ".");
    EXPECT_EQ(HighlightColor, 0x0000FFu);
    EXPECT_TRUE(form_->isVisible());
}

TEST_F(OptionsTest, PageNavigationAndHover) {
    startUp();
    open();
    EXPECT_TRUE(form_->GeneralPanel->isVisible());
    EXPECT_FALSE(form_->ColorsPanel->isVisible());
    EXPECT_EQ(form_->TitleOptionLabel->text(), "General");

    form_->OptionLabelMouseDown(form_->DesktopCalendarLabel);
    for (QWidget* page :
         {form_->GeneralPanel, form_->ColorsPanel, form_->EditorsPanel, form_->DefaultFontsPanel}) {
        EXPECT_FALSE(page->isVisible()) << page->objectName().toStdString();
    }
    EXPECT_TRUE(form_->DesktopCalendarPanel->isVisible());
    EXPECT_EQ(form_->TitleOptionLabel->text(), "Desktop Calendar");
    form_->CancelBitButton->click();
    open();
    EXPECT_TRUE(form_->DesktopCalendarPanel->isVisible());
    EXPECT_FALSE(form_->GeneralPanel->isVisible());

    HighlightColor = 0x00112233;
    BackgroundColor = 0x00445566;
    form_->OptionLabelMouseEnter(form_->EditorsLabel);
    EXPECT_FALSE(form_->EditorsLabel->isTransparent());
    EXPECT_EQ(form_->EditorsLabel->palette().color(QPalette::Window), qb::toQColor(0x00112233));
    EXPECT_EQ(form_->EditorsLabel->fontColor(), 0x00445566u);
    form_->OptionLabelMouseLeave(form_->EditorsLabel);
    EXPECT_TRUE(form_->EditorsLabel->isTransparent());
    EXPECT_EQ(form_->EditorsLabel->fontColor(), 0xFFFFFFu);
}

// The mouse never leaves a label whose dialog closes under it; the label shows no hover when the
// dialog opens again with the mouse elsewhere.
TEST_F(OptionsTest, AHoveredPageLabelIsPlainWhenTheDialogOpensAgain) {
    startUp();
    open();
    qb::OptionsLabel* label = form_->DefaultFontsLabel;
    const auto shownColor = [&] {
        return form_->Panel2->grab(label->geometry()).toImage().pixelColor(3, 3);
    };
    const QColor plain = shownColor();
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(label, &enter);
    form_->OptionLabelMouseDown(label);
    ASSERT_EQ(shownColor(), qb::toQColor(HighlightColor));

    form_->CancelBitButton->click();
    open();
    EXPECT_TRUE(form_->DefaultFontsPanel->isVisible());
    EXPECT_EQ(shownColor(), plain);
    EXPECT_EQ(label->fontColor(), 0xFFFFFFu);
}

TEST_F(OptionsTest, EnterPressesOkAndEscapeCancels) {
    startUp();
    open();
    form_->OrderPagesCheckBox->setChecked(false);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(form_.get(), &escape);
    EXPECT_FALSE(form_->isVisible());
    EXPECT_EQ(form_->result(), QDialog::Rejected);
    EXPECT_FALSE(QFile::exists(IniPath));

    open();
    form_->OrderPagesCheckBox->setChecked(false);
    form_->OrderPagesCheckBox->setFocus();  // not a button: Enter is OK's
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(form_.get(), &enter);
    EXPECT_FALSE(form_->isVisible());
    EXPECT_EQ(form_->result(), QDialog::Accepted);
    EXPECT_TRUE(readFile().contains("OrderPages=0\n"));
}

// Enter as typed: it reaches the control that has the focus.
TEST_F(OptionsTest, EnterPressesTheFocusedButtonElseOk) {
    struct Case {
        const char* focus;
        bool staysOpen;
        QDialog::DialogCode result;
        bool written;
        bool onDesktopPage = false;
    };
    const Case cases[] = {
        {"CancelBitButton", false, QDialog::Rejected, false},
        {"ApplyButton", true, QDialog::Rejected, true},
        {"OkBitButton", false, QDialog::Accepted, true},
        {"OrderPagesCheckBox", false, QDialog::Accepted, true},
        {"TransparencyLevelComboBox", false, QDialog::Accepted, true, true},
    };
    startUp();
    for (const Case& c : cases) {
        QFile::remove(IniPath);
        form_->setResult(QDialog::Rejected);
        open();
        form_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
        form_->OptionLabelMouseDown(c.onDesktopPage ? form_->DesktopCalendarLabel
                                                    : form_->EditorsLabel);
        form_->OrderPagesCheckBox->setChecked(false);
        auto* target = form_->findChild<QWidget*>(QString::fromLatin1(c.focus));
        ASSERT_NE(target, nullptr) << c.focus;
        target->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), target) << c.focus;
        QTest::keyClick(target, Qt::Key_Return);
        EXPECT_EQ(form_->isVisible(), c.staysOpen) << c.focus;
        EXPECT_EQ(form_->result(), c.result) << c.focus;
        EXPECT_EQ(readFile().contains("OrderPages=0\n"), c.written) << c.focus;
        form_->reject();
    }
}

}  // namespace
