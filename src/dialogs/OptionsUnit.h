#pragma once
// The options dialog and the settings store.
//
// The dialog's check boxes and radio buttons are the only home of the Boolean options: other
// windows read their checked state whenever they need an option. The five colours and the
// default fonts live in the program-wide state; LoadOptions fills the dialog and the colour
// variables from Marlowick.ini, ApplyOptions pushes the dialog's colours, transparency and fonts
// into the program, SaveOptions writes every key the dialog owns.
//
// The windows that applying the settings reaches are not known here: the main window fills in
// OptionsTargets once they exist. A target left empty is skipped, so the dialog also works
// alone.

#include "platform/core/Color.h"
#include "platform/core/Dialogs.h"

#include <QDialog>
#include <QFont>
#include <QLabel>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QPainter;
class QPushButton;
class QRadioButton;

namespace qb {

class IniFile;

// What the settings reach outside the dialog.
struct OptionsTargets {
    // ApplyOptions: the desktop calendar's alpha value (255 at level 0, 180 at level 15).
    std::function<void(int alpha)> setDesktopCalendarAlpha;
    // ApplyOptions: DefaultFont1..DefaultFont3 (n = 1, 2, 3) get a copy of the font, colour
    // included.
    std::function<void(int n, const FontChoice& font)> setDefaultFont;
    // ApplyOptions: the picture viewer's scroll box colour.
    std::function<void(TColor color)> setPictureScrollBoxColor;
    // ApplyOptions: the pen colour of the main window's SelBorderShape1..4 and the colour of its
    // title strips DocTitlePanel and CalTitlePanel.
    std::function<void(TColor selTabBorder, TColor background)> setMainWindowColors;
    // ApplyOptions: repaint the search window.
    std::function<void()> repaintSearchWindow;
    // ApplyOptions while the dialog is showing: rebuild the calendars and the documents list.
    std::function<void()> refreshCalendars;
    std::function<void()> refreshDocumentList;
    // LoadOptions and SaveOptions: the hint of default-font action n ("Arial - Size 9").
    std::function<void(int n, const QString& hint)> setDefaultFontHint;
    // The start-up LoadOptions: click, as the user would, the tool-bar menu item of a Toolbars
    // key ("File", "Edit", "Format", "Calendar", "Documents", "Search", "Tools") that reads
    // false. A click toggles the item's check mark and shows or hides its tool bar.
    std::function<void(const QString& toolbarKey)> clickToolbarMenuItem;
};

// The Qt font of a font choice (face, size, styles), and back; the colour travels beside it.
QFont fontOf(const FontChoice& choice);
FontChoice fontChoiceOf(const QFont& font, TColor color);

// A paint box: painted by its owner's handler; it carries its own colour, hint and tag (the
// "Hint" and "Tag" properties).
class OptionsPaintBox : public QWidget {
    Q_OBJECT
  public:
    OptionsPaintBox(QWidget* parent, const QString& name, const QString& hint, int tag);

    TColor color() const { return color_; }
    void setColor(TColor color);  // repaints at once
    QString hint() const;
    int tag() const;

    std::function<void(OptionsPaintBox& box, QPainter& painter)> onPaint;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    TColor color_ = clWhite;
};

// A label with a font colour of its own, an optional opaque background and the three mouse
// events that the dialog's handlers take.
class OptionsLabel : public QLabel {
    Q_OBJECT
  public:
    OptionsLabel(QWidget* parent, const QString& name, const QString& caption);

    TColor fontColor() const { return fontColor_; }
    void setFontColor(TColor color);
    // nullopt: transparent, the parent shows through.
    void setBackgroundColor(std::optional<TColor> color);
    bool isTransparent() const { return !autoFillBackground(); }

  signals:
    void mouseDown(qb::OptionsLabel* sender);
    void mouseEnter(qb::OptionsLabel* sender);
    void mouseLeave(qb::OptionsLabel* sender);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    TColor fontColor_ = clBlack;
};

// A rectangle outline with a pen of its own and no fill.
class OptionsShape : public QWidget {
    Q_OBJECT
  public:
    OptionsShape(QWidget* parent, const QString& name, int penWidth);

    TColor penColor() const { return penColor_; }
    void setPenColor(TColor color);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    TColor penColor_ = clBlack;
    int penWidth_;
};

}  // namespace qb

class TOptionsForm : public QDialog {
    Q_OBJECT
  public:
    explicit TOptionsForm(QWidget* parent = nullptr);
    ~TOptionsForm() override;

    // The windows the settings reach; the main window sets them once they exist.
    qb::OptionsTargets Targets;

    void LoadOptions();
    void ApplyOptions();
    void SaveOptions();
    void ShowColors();

    // Handlers.
    void FormCreate();
    void FormShow();
    void OptionLabelMouseEnter(qb::OptionsLabel* sender);
    void OptionLabelMouseLeave(qb::OptionsLabel* sender);
    void OptionLabelMouseDown(qb::OptionsLabel* sender);
    void BackGroundPaintBoxPaint(qb::OptionsPaintBox& sender, QPainter& painter);
    void SelectedTabPaintBoxPaint(qb::OptionsPaintBox& sender, QPainter& painter);
    void BackgroundLabelMouseDown();
    void BackgroundFontLabelMouseDown();
    void HighlightLabelMouseDown();
    void SelectedTabLabelMouseDown();
    void SelectedTabBorderLabelMouseDown();
    void FontLabel1MouseDown(qb::OptionsLabel* sender);
    void OkBitButtonClick();
    void ApplyButtonClick();
    void CancelBitButtonClick();
    void DefaultButtonClick();

    // Navigation strip.
    QWidget* Panel2 = nullptr;
    qb::OptionsPaintBox* PaintBox1 = nullptr;
    QLabel* Label8 = nullptr;
    qb::OptionsLabel* GeneralLabel = nullptr;
    qb::OptionsLabel* ColorsLabel = nullptr;
    qb::OptionsLabel* DesktopCalendarLabel = nullptr;
    qb::OptionsLabel* EditorsLabel = nullptr;
    qb::OptionsLabel* DefaultFontsLabel = nullptr;
    QLabel* TitleOptionLabel = nullptr;

    // General page.
    QWidget* GeneralPanel = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QRadioButton* OnlyShowDesktopRadioButton = nullptr;
    QRadioButton* OnlyShowEditorRadioButton = nullptr;
    QRadioButton* ShowBothRadioButton = nullptr;
    QCheckBox* ShowWelcomeCheckBox = nullptr;
    QCheckBox* PlaySoundsCheckBox = nullptr;

    // Desktop Calendar page.
    QWidget* DesktopCalendarPanel = nullptr;
    QCheckBox* AutoSlideUpCheckBox = nullptr;
    QCheckBox* CloseAllOpenPagesCheckBox = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* TransparencyLevelComboBox = nullptr;
    QCheckBox* DontShowInTaskbarCheckBox = nullptr;

    // Editors page.
    QWidget* EditorsPanel = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QRadioButton* UseCtrlKeyRadioButton = nullptr;
    QRadioButton* PagesSepTabRadioButton = nullptr;
    QCheckBox* ShowModifyCheckBox = nullptr;
    QCheckBox* OrderPagesCheckBox = nullptr;
    QCheckBox* ShowCaptionsCheckBox = nullptr;

    // Colors page.
    QWidget* ColorsPanel = nullptr;
    qb::OptionsPaintBox* BackGroundPaintBox = nullptr;
    qb::OptionsPaintBox* BackgroundFontPaintBox = nullptr;
    qb::OptionsPaintBox* HighlightPaintBox = nullptr;
    qb::OptionsPaintBox* SelectedTabPaintBox = nullptr;
    qb::OptionsPaintBox* SelectedTabBorderPaintBox = nullptr;
    qb::OptionsLabel* BackgroundLabel = nullptr;
    qb::OptionsLabel* BackgroundFontLabel = nullptr;
    qb::OptionsLabel* HighlightLabel = nullptr;
    qb::OptionsLabel* SelectedTabLabel = nullptr;
    qb::OptionsLabel* SelectedTabBorderLabel = nullptr;
    qb::OptionsShape* SelTabBorderShape = nullptr;

    // Default Fonts page.
    QWidget* DefaultFontsPanel = nullptr;
    qb::OptionsLabel* FontLabel1 = nullptr;
    qb::OptionsLabel* FontLabel2 = nullptr;
    qb::OptionsLabel* FontLabel3 = nullptr;

    // Button bar.
    QWidget* Panel1 = nullptr;
    QPushButton* DefaultButton = nullptr;
    QPushButton* ApplyButton = nullptr;
    QPushButton* OkBitButton = nullptr;
    QPushButton* CancelBitButton = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void buildNavigation();
    void buildGeneralPage();
    void buildDesktopCalendarPage();
    void buildEditorsPage();
    void buildColorsPage();
    void buildDefaultFontsPage();
    void buildButtonBar();
    QWidget* newPage(const QString& name);

    void loadFont(const qb::IniFile& ini, int n);
    void saveFont(qb::IniFile& ini, int n);
    qb::OptionsLabel* fontLabel(int n) const;
    // The icon and caption above each font label, moved down with it.
    std::array<std::array<QWidget*, 2>, 3> fontHeadings_{};
    void setFontLabel(qb::OptionsLabel* label, const qb::FontChoice& font);
    void placeFontLabels();
    void shade(qb::OptionsPaintBox& box, QPainter& painter) const;
};

// The one options dialog, created at start-up with the other windows.
extern TOptionsForm* OptionsForm;

// The caption of a default-font label: "Arial - Size 9 - [ Click to Change ]".
QString FontLabelCaption(const qb::FontChoice& font);
// The hint of a default-font action: "Arial - Size 9".
QString FontHint(const qb::FontChoice& font);
