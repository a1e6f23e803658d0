#include "dialogs/OptionsUnit.h"

#include "pages/ShadeUnit.h"
#include "platform/ini/ColorText.h"
#include "platform/ini/IniFile.h"
#include "platform/ui/Components.h"
#include "platform/ui/DialogButtons.h"
#include "platform/ui/Fonts.h"
#include "platform/ui/Guard.h"
#include "program/ProgramState.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEnterEvent>
#include <QFrame>
#include <QGroupBox>
#include <QHideEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>

#include <algorithm>
#include <initializer_list>
#include <stdexcept>
#include <utility>

TOptionsForm* OptionsForm = nullptr;

namespace qb {
namespace {

const QString kGeneral = QStringLiteral("General");
const QString kDesktopCalendar = QStringLiteral("DesktopCalendar");
const QString kEditors = QStringLiteral("Editors");
const QString kColors = QStringLiteral("Colors");

const FontChoice kDefaultFont{QStringLiteral("Arial"), 9, clBlack, false, false, false, false};

const char* const kToolbarKeys[] = {"File",      "Edit",   "Format", "Calendar",
                                    "Documents", "Search", "Tools"};

QString fontSection(int n) {
    return QStringLiteral("Default Font%1").arg(n);
}

// A colour key whose text is no colour falls back to its default.
TColor readColor(const IniFile& ini, const QString& section, const QString& key, TColor fallback) {
    return textToColor(ini.readString(section, key, colorToText(fallback))).value_or(fallback);
}

void writeColor(IniFile& ini, const QString& section, const QString& key, TColor color) {
    ini.writeString(section, key, colorToText(color));
}

struct RadioKey {
    QRadioButton* button;
    const char* key;
    bool fallback;
};

// Each key in turn checks or unchecks its button, as if the button were set by hand: the last
// key of the group that reads true wins, and a group whose keys all read false has none
// checked. Auto-exclusive buttons would refuse to be unchecked, so exclusivity is off meanwhile.
void loadRadioGroup(const IniFile& ini, const QString& section,
                    std::initializer_list<RadioKey> group) {
    for (const RadioKey& entry : group) {
        entry.button->setAutoExclusive(false);
    }
    for (const RadioKey& entry : group) {
        const bool checked = ini.readBool(section, QString::fromLatin1(entry.key), entry.fallback);
        if (checked) {
            for (const RadioKey& partner : group) {
                partner.button->setChecked(false);
            }
        }
        entry.button->setChecked(checked);
    }
    for (const RadioKey& entry : group) {
        entry.button->setAutoExclusive(true);
    }
}

}  // namespace

QFont fontOf(const FontChoice& choice) {
    QFont font(choice.family);
    font.setPointSize(std::max(1, choice.pointSize));
    font.setBold(choice.bold);
    font.setItalic(choice.italic);
    font.setUnderline(choice.underline);
    font.setStrikeOut(choice.strikeout);
    return font;
}

FontChoice fontChoiceOf(const QFont& font, TColor color) {
    return FontChoice{font.family(), font.pointSize(), color,           font.bold(),
                      font.italic(), font.underline(), font.strikeOut()};
}

OptionsPaintBox::OptionsPaintBox(QWidget* parent, const QString& name, const QString& hint, int tag)
    : QWidget(parent) {
    setObjectName(name);
    setHint(this, hint);
    setTag(this, tag);
}

void OptionsPaintBox::setColor(TColor color) {
    color_ = color;
    update();
}

QString OptionsPaintBox::hint() const {
    return property("Hint").toString();
}

int OptionsPaintBox::tag() const {
    return property("Tag").toInt();
}

void OptionsPaintBox::paintEvent(QPaintEvent*) {
    if (onPaint) {
        QPainter painter(this);
        onPaint(*this, painter);
    }
}

OptionsLabel::OptionsLabel(QWidget* parent, const QString& name, const QString& caption)
    : QLabel(caption, parent) {
    setObjectName(name);
    setFontColor(fontColor_);
}

void OptionsLabel::setFontColor(TColor color) {
    fontColor_ = color;
    QPalette colors = palette();
    colors.setColor(QPalette::WindowText, toQColor(color));
    setPalette(colors);
}

void OptionsLabel::setBackgroundColor(std::optional<TColor> color) {
    if (color) {
        QPalette colors = palette();
        colors.setColor(QPalette::Window, toQColor(*color));
        setPalette(colors);
    }
    setAutoFillBackground(color.has_value());
    update();
}

void OptionsLabel::mousePressEvent(QMouseEvent* event) {
    QLabel::mousePressEvent(event);
    emit mouseDown(this);
}

void OptionsLabel::enterEvent(QEnterEvent* event) {
    QLabel::enterEvent(event);
    emit mouseEnter(this);
}

void OptionsLabel::leaveEvent(QEvent* event) {
    QLabel::leaveEvent(event);
    emit mouseLeave(this);
}

void OptionsLabel::hideEvent(QHideEvent* event) {
    QLabel::hideEvent(event);
    // A dialog that closes under the mouse sends its labels no leave; the hover ends here, or the
    // label would still show it when the dialog opens again with the mouse elsewhere.
    emit mouseLeave(this);
}

OptionsShape::OptionsShape(QWidget* parent, const QString& name, int penWidth)
    : QWidget(parent), penWidth_(penWidth) {
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void OptionsShape::setPenColor(TColor color) {
    penColor_ = color;
    update();
}

void OptionsShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QPen pen(toQColor(penColor_));
    pen.setWidth(penWidth_);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const int half = penWidth_ / 2;
    painter.drawRect(rect().adjusted(half, half, -(penWidth_ - half), -(penWidth_ - half)));
}

}  // namespace qb

using qb::FontChoice;
using qb::IniFile;
using qb::OptionsLabel;
using qb::OptionsPaintBox;
using qb::TColor;

QString FontHint(const FontChoice& font) {
    return font.family + QStringLiteral(" - Size ") + QString::number(font.pointSize);
}

QString FontLabelCaption(const FontChoice& font) {
    return FontHint(font) + QStringLiteral(" - [ Click to Change ]");
}

TOptionsForm::TOptionsForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("OptionsForm"));
    setWindowTitle(QStringLiteral("Options"));
    setFont(qb::layoutFont(8));
    setFixedSize(533, 410);
    buildNavigation();
    buildGeneralPage();
    buildColorsPage();
    buildDesktopCalendarPage();
    buildEditorsPage();
    buildDefaultFontsPage();
    buildButtonBar();
    FormCreate();
}

QWidget* TOptionsForm::newPage(const QString& name) {
    auto* page = new QWidget(this);
    page->setObjectName(name);
    page->setGeometry(156, 49, 360, 300);
    return page;
}

void TOptionsForm::buildNavigation() {
    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setGeometry(12, 14, 133, 335);
    PaintBox1 = new OptionsPaintBox(Panel2, QStringLiteral("PaintBox1"),
                                    QStringLiteral("ShadeTopToBottom"), 55);
    PaintBox1->setGeometry(0, 0, 133, 335);
    PaintBox1->setColor(BackgroundColor);
    PaintBox1->onPaint = [this](OptionsPaintBox& box, QPainter& painter) {
        BackGroundPaintBoxPaint(box, painter);
    };
    Label8 = new QLabel(Panel2);
    Label8->setObjectName(QStringLiteral("Label8"));
    Label8->setGeometry(0, 0, 133, 10);

    const std::pair<OptionsLabel**, const char*> labels[] = {
        {&GeneralLabel, "General"},
        {&ColorsLabel, "Colors"},
        {&DesktopCalendarLabel, "Desktop Calendar"},
        {&EditorsLabel, "Editors"},
        {&DefaultFontsLabel, "Default Fonts"},
    };
    int top = 10;
    for (const auto& [field, caption] : labels) {
        QString name = QString::fromLatin1(caption).remove(u' ') + QStringLiteral("Label");
        auto* label = new OptionsLabel(Panel2, name, QString::fromLatin1(caption));
        label->setGeometry(0, top, 133, 24);
        label->setAlignment(Qt::AlignCenter);
        label->setFontColor(qb::clWhite);
        label->setCursor(Qt::PointingHandCursor);
        connect(label, &OptionsLabel::mouseDown, this, &TOptionsForm::OptionLabelMouseDown);
        connect(label, &OptionsLabel::mouseEnter, this, &TOptionsForm::OptionLabelMouseEnter);
        connect(label, &OptionsLabel::mouseLeave, this, &TOptionsForm::OptionLabelMouseLeave);
        *field = label;
        top += 24;
    }

    TitleOptionLabel = new QLabel(QStringLiteral("General"), this);
    TitleOptionLabel->setObjectName(QStringLiteral("TitleOptionLabel"));
    TitleOptionLabel->move(160, 20);
    TitleOptionLabel->resize(350, 16);
    QFont bold = font();
    bold.setBold(true);
    TitleOptionLabel->setFont(bold);
    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    rule->setGeometry(156, 38, 360, 2);
}

void TOptionsForm::buildGeneralPage() {
    GeneralPanel = newPage(QStringLiteral("GeneralPanel"));
    GroupBox1 = new QGroupBox(QStringLiteral("On Startup"), GeneralPanel);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(12, 8, 337, 101);
    auto radio = [this](const char* name, const char* caption, int top) {
        auto* button = new QRadioButton(QString::fromUtf8(caption), GroupBox1);
        button->setObjectName(QString::fromLatin1(name));
        button->setGeometry(16, top, 313, 17);
        return button;
    };
    OnlyShowDesktopRadioButton =
        radio("OnlyShowDesktopRadioButton", "Only show the desktop calendar.", 20);
    OnlyShowEditorRadioButton =
        radio("OnlyShowEditorRadioButton", "Only show the editor window.", 44);
    ShowBothRadioButton =
        radio("ShowBothRadioButton", "Show both the desktop calendar and the editor window.", 68);
    ShowWelcomeCheckBox =
        new QCheckBox(QStringLiteral("Show Welcome Document on Startup"), GeneralPanel);
    ShowWelcomeCheckBox->setObjectName(QStringLiteral("ShowWelcomeCheckBox"));
    ShowWelcomeCheckBox->setGeometry(12, 120, 337, 17);
    PlaySoundsCheckBox = new QCheckBox(QStringLiteral("Play Sounds"), GeneralPanel);
    PlaySoundsCheckBox->setObjectName(QStringLiteral("PlaySoundsCheckBox"));
    PlaySoundsCheckBox->setGeometry(12, 144, 337, 17);
}

void TOptionsForm::buildDesktopCalendarPage() {
    DesktopCalendarPanel = newPage(QStringLiteral("DesktopCalendarPanel"));
    auto check = [this](const char* name, const char* caption, int top) {
        auto* box = new QCheckBox(QString::fromUtf8(caption), DesktopCalendarPanel);
        box->setObjectName(QString::fromLatin1(name));
        box->setGeometry(12, top, 337, 17);
        return box;
    };
    AutoSlideUpCheckBox =
        check("AutoSlideUpCheckBox", "Auto-slide up the after 30 seconds of no use.", 4);
    CloseAllOpenPagesCheckBox = check("CloseAllOpenPagesCheckBox",
                                      "Close all open pages when the editor window is closed.", 32);
    Label6 = new QLabel(QStringLiteral("(and the Desktop Calendar is still open)"),
                        DesktopCalendarPanel);
    Label6->setObjectName(QStringLiteral("Label6"));
    Label6->setGeometry(32, 52, 317, 14);
    Label2 =
        new QLabel(QStringLiteral("Desktop Calendar Transparency Level"), DesktopCalendarPanel);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(13, 76, 336, 14);
    TransparencyLevelComboBox = new QComboBox(DesktopCalendarPanel);
    TransparencyLevelComboBox->setObjectName(QStringLiteral("TransparencyLevelComboBox"));
    TransparencyLevelComboBox->setEditable(false);
    TransparencyLevelComboBox->setGeometry(12, 92, 81, 21);
    for (int level = 0; level <= 15; ++level) {
        TransparencyLevelComboBox->addItem(
            QStringLiteral("%1").arg(level, 2, 10, QLatin1Char('0')));
    }
    TransparencyLevelComboBox->setCurrentIndex(-1);  // nothing chosen until the settings load
    DontShowInTaskbarCheckBox = check("DontShowInTaskbarCheckBox", "", 120);
    DontShowInTaskbarCheckBox->setVisible(false);
}

void TOptionsForm::buildEditorsPage() {
    EditorsPanel = newPage(QStringLiteral("EditorsPanel"));
    GroupBox2 = new QGroupBox(QStringLiteral("Opening"), EditorsPanel);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    GroupBox2->setGeometry(12, 8, 337, 77);
    UseCtrlKeyRadioButton = new QRadioButton(
        QStringLiteral("Use Ctrl Key to open pages in a separate tab."), GroupBox2);
    UseCtrlKeyRadioButton->setObjectName(QStringLiteral("UseCtrlKeyRadioButton"));
    UseCtrlKeyRadioButton->setGeometry(16, 20, 313, 17);
    PagesSepTabRadioButton =
        new QRadioButton(QStringLiteral("Pages are always opened in a separate tab."), GroupBox2);
    PagesSepTabRadioButton->setObjectName(QStringLiteral("PagesSepTabRadioButton"));
    PagesSepTabRadioButton->setGeometry(16, 44, 313, 17);
    auto check = [this](const char* name, const char* caption, int top) {
        auto* box = new QCheckBox(QString::fromUtf8(caption), EditorsPanel);
        box->setObjectName(QString::fromLatin1(name));
        box->setGeometry(12, top, 337, 17);
        return box;
    };
    ShowModifyCheckBox =
        check("ShowModifyCheckBox", "Show \"Modify/Next/Previous Document\" toolbar.", 100);
    OrderPagesCheckBox =
        check("OrderPagesCheckBox", "Order open pages by date and document name.", 124);
    ShowCaptionsCheckBox =
        check("ShowCaptionsCheckBox", "Show captions for picture thumbnails.", 148);
}

void TOptionsForm::buildColorsPage() {
    ColorsPanel = newPage(QStringLiteral("ColorsPanel"));
    struct Sample {
        const char* caption;
        int top;
        OptionsPaintBox** box;
        const char* boxName;
        const char* hint;
        int tag;
        OptionsLabel** label;
        const char* labelName;
        void (TOptionsForm::*pressed)();
    };
    const Sample samples[] = {
        {"Background Color:", 12, &BackGroundPaintBox, "BackGroundPaintBox", "", 0,
         &BackgroundLabel, "BackgroundLabel", &TOptionsForm::BackgroundLabelMouseDown},
        {"Background Font Color:", 68, &BackgroundFontPaintBox, "BackgroundFontPaintBox",
         "ShadeBarred", 55, &BackgroundFontLabel, "BackgroundFontLabel",
         &TOptionsForm::BackgroundFontLabelMouseDown},
        {"Highlight Font Color:", 120, &HighlightPaintBox, "HighlightPaintBox", "", 0,
         &HighlightLabel, "HighlightLabel", &TOptionsForm::HighlightLabelMouseDown},
        {"Selected Tab Color:", 172, &SelectedTabPaintBox, "SelectedTabPaintBox", "ShadeBarred", 0,
         &SelectedTabLabel, "SelectedTabLabel", &TOptionsForm::SelectedTabLabelMouseDown},
        {"Selected Tab Border Color:", 224, &SelectedTabBorderPaintBox, "SelectedTabBorderPaintBox",
         "ShadeBarred", 0, &SelectedTabBorderLabel, "SelectedTabBorderLabel",
         &TOptionsForm::SelectedTabBorderLabelMouseDown},
    };
    for (const Sample& sample : samples) {
        auto* caption = new QLabel(QString::fromLatin1(sample.caption), ColorsPanel);
        caption->setGeometry(12, sample.top, 340, 14);
        const int boxTop = sample.top + 18;
        auto* box = new OptionsPaintBox(ColorsPanel, QString::fromLatin1(sample.boxName),
                                        QString::fromLatin1(sample.hint), sample.tag);
        box->setGeometry(11, boxTop, 340, 25);
        *sample.box = box;
        auto* label = new OptionsLabel(ColorsPanel, QString::fromLatin1(sample.labelName),
                                       QStringLiteral("[ Click To Change ]"));
        label->setGeometry(13, boxTop + 1, 336, 23);
        label->setAlignment(Qt::AlignCenter);
        label->setFontColor(qb::clWhite);
        label->setCursor(Qt::PointingHandCursor);
        connect(label, &OptionsLabel::mouseDown, this, sample.pressed);
        *sample.label = label;
    }
    BackGroundPaintBox->onPaint = BackgroundFontPaintBox->onPaint = HighlightPaintBox->onPaint =
        [this](OptionsPaintBox& box, QPainter& painter) { BackGroundPaintBoxPaint(box, painter); };
    SelectedTabPaintBox->onPaint = SelectedTabBorderPaintBox->onPaint =
        [this](OptionsPaintBox& box, QPainter& painter) { SelectedTabPaintBoxPaint(box, painter); };
    SelTabBorderShape = new qb::OptionsShape(ColorsPanel, QStringLiteral("SelTabBorderShape"), 2);
    SelTabBorderShape->setGeometry(11, 241, 342, 27);
    SelTabBorderShape->stackUnder(SelectedTabBorderLabel);
}

void TOptionsForm::buildDefaultFontsPage() {
    DefaultFontsPanel = newPage(QStringLiteral("DefaultFontsPanel"));
    OptionsLabel** fields[] = {&FontLabel1, &FontLabel2, &FontLabel3};
    for (int n = 1; n <= 3; ++n) {
        const int top = 12 + 44 * (n - 1);
        auto* icon = new QLabel(QStringLiteral("A"), DefaultFontsPanel);
        QFont iconFont(QStringLiteral("Serif"), 12);
        iconFont.setBold(true);
        icon->setFont(iconFont);
        icon->setGeometry(12, top, 16, 16);
        icon->setAlignment(Qt::AlignCenter);
        auto* caption = new QLabel(QStringLiteral("Default Font %1").arg(n), DefaultFontsPanel);
        caption->setGeometry(36, top, 300, 14);
        auto* label =
            new OptionsLabel(DefaultFontsPanel, QStringLiteral("FontLabel%1").arg(n), QString());
        label->move(44, top + 16);
        label->setCursor(Qt::PointingHandCursor);
        connect(label, &OptionsLabel::mouseDown, this, &TOptionsForm::FontLabel1MouseDown);
        *fields[n - 1] = label;
        setFontLabel(label, qb::kDefaultFont);
    }
}

void TOptionsForm::buildButtonBar() {
    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    rule->setGeometry(0, 365, 533, 2);
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, 367, 533, 43);
    auto button = [this](const char* name, const char* caption, int left, int width) {
        auto* pushButton = new QPushButton(QString::fromLatin1(caption), Panel1);
        pushButton->setObjectName(QString::fromLatin1(name));
        pushButton->setGeometry(left, 8, width, 25);
        qb::EnterPressesButton(pushButton);  // elsewhere Enter is OK's
        return pushButton;
    };
    DefaultButton = button("DefaultButton", "Restore Defaults", 12, 101);
    ApplyButton = button("ApplyButton", "Apply", 270, 75);
    OkBitButton = button("OkBitButton", "&OK", 362, 75);
    OkBitButton->setDefault(true);
    qb::setTag(OkBitButton, 999);  // kept out of the menu painter's hooking
    CancelBitButton = button("CancelBitButton", "&Cancel", 445, 75);
    connect(DefaultButton, &QPushButton::clicked, this, &TOptionsForm::DefaultButtonClick);
    connect(ApplyButton, &QPushButton::clicked, this, &TOptionsForm::ApplyButtonClick);
    connect(OkBitButton, &QPushButton::clicked, this, &TOptionsForm::OkBitButtonClick);
    connect(CancelBitButton, &QPushButton::clicked, this, &TOptionsForm::CancelBitButtonClick);
}

void TOptionsForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {  // not a window coming back from being minimised
        if (const QScreen* display = screen()) {
            const QRect area = display->geometry();
            move(area.x() + (area.width() - frameGeometry().width()) / 2,
                 area.y() + (area.height() - frameGeometry().height()) / 2);
        }
        for (int n = 1; n <= 3; ++n) {
            fontLabel(n)->adjustSize();
        }
        FormShow();
    }
}

void TOptionsForm::FormCreate() {
    // The pages lie one above the other; the covered ones are hidden as well, so that the Tab
    // key cannot walk into a page that is not seen.
    for (QWidget* page : {ColorsPanel, DesktopCalendarPanel, EditorsPanel, DefaultFontsPanel}) {
        page->hide();
    }
    GeneralPanel->raise();
}

void TOptionsForm::FormShow() {
    qb::runGuarded([this] { LoadOptions(); });
}

TOptionsForm::~TOptionsForm() {
    // The dialog hides itself as it goes, and its labels end their hover then: not on this form.
    for (OptionsLabel* label : findChildren<OptionsLabel*>()) {
        label->disconnect(this);
    }
}

void TOptionsForm::OptionLabelMouseEnter(OptionsLabel* sender) {
    sender->setBackgroundColor(HighlightColor);
    sender->setFontColor(BackgroundColor);
}

void TOptionsForm::OptionLabelMouseLeave(OptionsLabel* sender) {
    sender->setBackgroundColor(std::nullopt);
    sender->setFontColor(qb::clWhite);
}

void TOptionsForm::OptionLabelMouseDown(OptionsLabel* sender) {
    for (QWidget* page :
         {ColorsPanel, GeneralPanel, DesktopCalendarPanel, EditorsPanel, DefaultFontsPanel}) {
        page->hide();
    }
    QString wanted = sender->objectName();
    wanted.replace(QStringLiteral("Label"), QStringLiteral("Panel"));
    if (auto* page = qb::findComponent<QWidget>(this, wanted)) {
        page->show();
        page->raise();
    }
    TitleOptionLabel->setText(sender->text());
}

void TOptionsForm::shade(OptionsPaintBox& box, QPainter& painter) const {
    ShadePaintBox(painter, ShadeBox{box.width(), box.height(), box.hint(), box.tag()},
                  qb::colorToRGB(box.color()));
}

void TOptionsForm::BackGroundPaintBoxPaint(OptionsPaintBox& sender, QPainter& painter) {
    shade(sender, painter);
}

void TOptionsForm::SelectedTabPaintBoxPaint(OptionsPaintBox& sender, QPainter& painter) {
    shade(sender, painter);
}

void TOptionsForm::BackgroundLabelMouseDown() {
    if (auto color = qb::dialogs().chooseColor(BackGroundPaintBox->color())) {
        for (OptionsPaintBox* box :
             {BackGroundPaintBox, BackgroundFontPaintBox, HighlightPaintBox}) {
            box->setColor(*color);
        }
    }
}

void TOptionsForm::BackgroundFontLabelMouseDown() {
    if (auto color = qb::dialogs().chooseColor(BackgroundFontLabel->fontColor())) {
        for (OptionsLabel* label :
             {BackgroundLabel, BackgroundFontLabel, SelectedTabLabel, SelectedTabBorderLabel}) {
            label->setFontColor(*color);
        }
    }
}

void TOptionsForm::HighlightLabelMouseDown() {
    if (auto color = qb::dialogs().chooseColor(HighlightLabel->fontColor())) {
        HighlightLabel->setFontColor(*color);
    }
}

void TOptionsForm::SelectedTabLabelMouseDown() {
    if (auto color = qb::dialogs().chooseColor(SelectedTabPaintBox->color())) {
        SelectedTabPaintBox->setColor(*color);
        SelectedTabBorderPaintBox->setColor(*color);
    }
}

void TOptionsForm::SelectedTabBorderLabelMouseDown() {
    if (auto color = qb::dialogs().chooseColor(SelTabBorderShape->penColor())) {
        SelTabBorderShape->setPenColor(*color);
    }
}

void TOptionsForm::FontLabel1MouseDown(OptionsLabel* sender) {
    if (auto font =
            qb::dialogs().chooseFont(qb::fontChoiceOf(sender->font(), sender->fontColor()))) {
        setFontLabel(sender, *font);
    }
}

void TOptionsForm::OkBitButtonClick() {
    // The dialog closes also when the handler's work fails: its failure has been shown.
    qb::runGuarded([this] {
        ApplyOptions();
        SaveOptions();
    });
    accept();
}

void TOptionsForm::ApplyButtonClick() {
    qb::runGuarded([this] {
        ApplyOptions();
        SaveOptions();
    });
}

void TOptionsForm::CancelBitButtonClick() {
    reject();
}

void TOptionsForm::DefaultButtonClick() {
    qb::runGuarded([this] {
        // A file that stays would be read again as if it held the defaults.
        if (!IniFile::remove(IniPath)) {
            throw std::runtime_error(
                QStringLiteral("Unable to delete %1").arg(IniPath).toStdString());
        }
        LoadOptions();
        ApplyOptions();
    });
}

void TOptionsForm::ShowColors() {
    for (OptionsPaintBox* box : {BackGroundPaintBox, BackgroundFontPaintBox, HighlightPaintBox}) {
        box->setColor(BackgroundColor);
    }
    SelectedTabPaintBox->setColor(SelectedTabColor);
    SelectedTabBorderPaintBox->setColor(SelectedTabColor);
    for (OptionsLabel* label :
         {BackgroundLabel, BackgroundFontLabel, SelectedTabLabel, SelectedTabBorderLabel}) {
        label->setFontColor(BackgroundFontColor);
    }
    HighlightLabel->setFontColor(HighlightColor);
    SelTabBorderShape->setPenColor(SelTabBorderColor);
}

OptionsLabel* TOptionsForm::fontLabel(int n) const {
    return n == 1 ? FontLabel1 : n == 2 ? FontLabel2 : FontLabel3;
}

void TOptionsForm::setFontLabel(OptionsLabel* label, const FontChoice& font) {
    label->setFont(qb::fontOf(font));
    label->setFontColor(font.color);
    label->setText(FontLabelCaption(font));
    // Sized in its face only while the window shows (and when it is shown): measuring loads the
    // face, which the start would otherwise pay for a window it does not show.
    if (isVisible()) {
        label->adjustSize();
    }
}

void TOptionsForm::loadFont(const IniFile& ini, int n) {
    const QString section = qb::fontSection(n);
    const FontChoice& fallback = qb::kDefaultFont;
    FontChoice font;
    font.family = ini.readString(section, QStringLiteral("Name"), fallback.family);
    font.color = qb::readColor(ini, section, QStringLiteral("Color"), fallback.color);
    font.pointSize = ini.readInteger(section, QStringLiteral("Size"), fallback.pointSize);
    if (font.pointSize < 1) {
        font.pointSize = fallback.pointSize;  // no font is drawn at no size
    }
    font.bold = ini.readBool(section, QStringLiteral("Bold"), false);
    font.italic = ini.readBool(section, QStringLiteral("Italic"), false);
    font.underline = ini.readBool(section, QStringLiteral("Underline"), false);
    font.strikeout = ini.readBool(section, QStringLiteral("Strikeout"), false);
    setFontLabel(fontLabel(n), font);
    if (Targets.setDefaultFontHint) {
        Targets.setDefaultFontHint(n, FontHint(font));
    }
}

void TOptionsForm::saveFont(IniFile& ini, int n) {
    const QString section = qb::fontSection(n);
    const OptionsLabel* label = fontLabel(n);
    const FontChoice font = qb::fontChoiceOf(label->font(), label->fontColor());
    ini.writeString(section, QStringLiteral("Name"), font.family);
    qb::writeColor(ini, section, QStringLiteral("Color"), font.color);
    ini.writeInteger(section, QStringLiteral("Size"), font.pointSize);
    ini.writeBool(section, QStringLiteral("Bold"), font.bold);
    ini.writeBool(section, QStringLiteral("Italic"), font.italic);
    ini.writeBool(section, QStringLiteral("Underline"), font.underline);
    ini.writeBool(section, QStringLiteral("Strikeout"), font.strikeout);
    if (Targets.setDefaultFontHint) {
        Targets.setDefaultFontHint(n, FontHint(font));
    }
}

void TOptionsForm::LoadOptions() {
    const bool atStartUp = !isVisible();  // the dialog's own loads run while it shows
    const IniFile ini(IniPath);
    using qb::kGeneral, qb::kDesktopCalendar, qb::kEditors, qb::kColors;

    qb::loadRadioGroup(ini, kGeneral,
                       {{OnlyShowDesktopRadioButton, "OnlyShowDesktop", false},
                        {OnlyShowEditorRadioButton, "OnlyShowEditor", true},
                        {ShowBothRadioButton, "ShowBoth", false}});
    PlaySoundsCheckBox->setChecked(ini.readBool(kGeneral, QStringLiteral("PlaySounds"), true));
    ShowWelcomeCheckBox->setChecked(ini.readBool(kGeneral, QStringLiteral("ShowWelcome"), true));

    DontShowInTaskbarCheckBox->setChecked(
        ini.readBool(kDesktopCalendar, QStringLiteral("DontShowInTaskbar"), false));
    AutoSlideUpCheckBox->setChecked(
        ini.readBool(kDesktopCalendar, QStringLiteral("AutoSlideUp"), true));
    CloseAllOpenPagesCheckBox->setChecked(
        ini.readBool(kDesktopCalendar, QStringLiteral("CloseAllOpenPages"), false));
    const QString level =
        ini.readString(kDesktopCalendar, QStringLiteral("Transparency"), QStringLiteral("00"));
    const int item =
        TransparencyLevelComboBox->findText(level, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (item >= 0) {
        TransparencyLevelComboBox->setCurrentIndex(item);
    } else if (TransparencyLevelComboBox->currentIndex() < 0) {
        // A level that is no item, with none chosen before: the key's default.
        TransparencyLevelComboBox->setCurrentIndex(0);
    }

    qb::loadRadioGroup(ini, kEditors,
                       {{UseCtrlKeyRadioButton, "UseCtrlKey", false},
                        {PagesSepTabRadioButton, "PagesSepTab", true}});
    ShowModifyCheckBox->setChecked(ini.readBool(kEditors, QStringLiteral("ShowModify"), true));
    OrderPagesCheckBox->setChecked(ini.readBool(kEditors, QStringLiteral("OrderPages"), true));
    ShowCaptionsCheckBox->setChecked(ini.readBool(kEditors, QStringLiteral("ShowCaptions"), true));

    BackgroundColor =
        qb::readColor(ini, kColors, QStringLiteral("Background"), qb::TColor(0x00914A28));
    BackgroundFontColor =
        qb::readColor(ini, kColors, QStringLiteral("BackgroundFont"), qb::clWhite);
    HighlightColor =
        qb::readColor(ini, kColors, QStringLiteral("Highlight"), qb::TColor(0x00E1AF97));
    SelectedTabColor = qb::readColor(ini, kColors, QStringLiteral("SelectedTab"), qb::clGreen);
    SelTabBorderColor =
        qb::readColor(ini, kColors, QStringLiteral("SelTabBorder"), qb::TColor(0x00914A28));
    ShowColors();

    for (int n = 1; n <= 3; ++n) {
        loadFont(ini, n);
    }

    if (atStartUp && Targets.clickToolbarMenuItem) {
        for (const char* key : qb::kToolbarKeys) {
            if (!ini.readBool(QStringLiteral("Toolbars"), QString::fromLatin1(key), true)) {
                Targets.clickToolbarMenuItem(QString::fromLatin1(key));
            }
        }
    }
}

void TOptionsForm::ApplyOptions() {
    BackgroundColor = BackGroundPaintBox->color();
    BackgroundFontColor = BackgroundFontLabel->fontColor();
    HighlightColor = HighlightLabel->fontColor();
    SelectedTabColor = SelectedTabPaintBox->color();
    SelTabBorderColor = SelTabBorderShape->penColor();

    bool readable = false;
    int level = TransparencyLevelComboBox->currentText().toInt(&readable);
    if (!readable) {
        level = 0;
    }
    if (Targets.setDesktopCalendarAlpha) {
        Targets.setDesktopCalendarAlpha(255 - 5 * level);
    }

    if (Targets.setDefaultFont) {
        for (int n = 1; n <= 3; ++n) {
            const OptionsLabel* label = fontLabel(n);
            Targets.setDefaultFont(n, qb::fontChoiceOf(label->font(), label->fontColor()));
        }
    }

    if (Targets.setPictureScrollBoxColor) {
        Targets.setPictureScrollBoxColor(
            ShadeTint::ViewerScrollBox(qb::colorToRGB(BackgroundColor)));
    }
    if (Targets.setMainWindowColors) {
        Targets.setMainWindowColors(SelTabBorderColor, BackgroundColor);
    }
    PaintBox1->setColor(BackgroundColor);
    if (Targets.repaintSearchWindow) {
        Targets.repaintSearchWindow();
    }
    if (isVisible()) {
        if (Targets.refreshCalendars) {
            Targets.refreshCalendars();
        }
        if (Targets.refreshDocumentList) {
            Targets.refreshDocumentList();
        }
    }
}

void TOptionsForm::SaveOptions() {
    IniFile ini(IniPath);
    using qb::kGeneral, qb::kDesktopCalendar, qb::kEditors, qb::kColors;

    ini.writeBool(kGeneral, QStringLiteral("OnlyShowDesktop"),
                  OnlyShowDesktopRadioButton->isChecked());
    ini.writeBool(kGeneral, QStringLiteral("OnlyShowEditor"),
                  OnlyShowEditorRadioButton->isChecked());
    ini.writeBool(kGeneral, QStringLiteral("ShowBoth"), ShowBothRadioButton->isChecked());
    ini.writeBool(kGeneral, QStringLiteral("PlaySounds"), PlaySoundsCheckBox->isChecked());
    ini.writeBool(kGeneral, QStringLiteral("ShowWelcome"), ShowWelcomeCheckBox->isChecked());

    ini.writeBool(kDesktopCalendar, QStringLiteral("DontShowInTaskbar"),
                  DontShowInTaskbarCheckBox->isChecked());
    ini.writeBool(kDesktopCalendar, QStringLiteral("AutoSlideUp"),
                  AutoSlideUpCheckBox->isChecked());
    ini.writeBool(kDesktopCalendar, QStringLiteral("CloseAllOpenPages"),
                  CloseAllOpenPagesCheckBox->isChecked());
    ini.writeString(kDesktopCalendar, QStringLiteral("Transparency"),
                    TransparencyLevelComboBox->currentText());

    ini.writeBool(kEditors, QStringLiteral("UseCtrlKey"), UseCtrlKeyRadioButton->isChecked());
    ini.writeBool(kEditors, QStringLiteral("PagesSepTab"), PagesSepTabRadioButton->isChecked());
    ini.writeBool(kEditors, QStringLiteral("ShowModify"), ShowModifyCheckBox->isChecked());
    ini.writeBool(kEditors, QStringLiteral("OrderPages"), OrderPagesCheckBox->isChecked());
    ini.writeBool(kEditors, QStringLiteral("ShowCaptions"), ShowCaptionsCheckBox->isChecked());

    qb::writeColor(ini, kColors, QStringLiteral("Background"), BackgroundColor);
    qb::writeColor(ini, kColors, QStringLiteral("BackgroundFont"), BackgroundFontColor);
    qb::writeColor(ini, kColors, QStringLiteral("Highlight"), HighlightColor);
    qb::writeColor(ini, kColors, QStringLiteral("SelectedTab"), SelectedTabColor);
    qb::writeColor(ini, kColors, QStringLiteral("SelTabBorder"), SelTabBorderColor);

    for (int n = 1; n <= 3; ++n) {
        saveFont(ini, n);
    }
}
