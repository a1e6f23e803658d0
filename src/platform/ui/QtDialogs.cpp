#include "platform/ui/QtDialogs.h"

#include "platform/core/Color.h"
#include "platform/ui/Application.h"

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPointer>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

namespace qb {
namespace {

// The windows the user activated, the latest first. While one box closes and the next one opens,
// no window is active yet (the window manager hands the activation back only later); a box
// owned by no window may then open below a main window that stays on top, and hold the keyboard
// where the user cannot see it.
class ActivationHistory : public QObject {
  public:
    explicit ActivationHistory(QCoreApplication* app) : QObject(app) {
        app->installEventFilter(this);
    }

    QWidget* latestShown() const {
        for (const QPointer<QWidget>& window : windows_) {
            if (window && window->isVisible()) {
                return window;
            }
        }
        return nullptr;
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::WindowActivate && watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            if (widget->isWindow() && widget->windowType() != Qt::Popup) {
                std::erase_if(windows_, [widget](const QPointer<QWidget>& window) {
                    return window.isNull() || window == widget;
                });
                windows_.insert(windows_.begin(), widget);
            }
        }
        return false;
    }

  private:
    std::vector<QPointer<QWidget>> windows_;
};

QPointer<ActivationHistory>& activationHistory() {
    static QPointer<ActivationHistory> history;
    return history;
}

QWidget* dialogParent() {
    if (QWidget* active = QApplication::activeWindow()) {
        return active;
    }
    if (QWidget* modal = QApplication::activeModalWidget()) {
        return modal;
    }
    return activationHistory() ? activationHistory()->latestShown() : nullptr;
}

QMessageBox::Icon qtIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Warning:
            return QMessageBox::Warning;
        case MessageIcon::Error:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

// The sixteen colours that the font dialog offers, in its order.
struct NamedColor {
    const char* name;
    TColor value;
};
constexpr std::array<NamedColor, 16> kFontColors = {{
    {"Black", clBlack},
    {"Maroon", clMaroon},
    {"Green", clGreen},
    {"Olive", clOlive},
    {"Navy", clNavy},
    {"Purple", clPurple},
    {"Teal", clTeal},
    {"Gray", clGray},
    {"Silver", clSilver},
    {"Red", clRed},
    {"Lime", clLime},
    {"Yellow", clYellow},
    {"Blue", clBlue},
    {"Fuchsia", clFuchsia},
    {"Aqua", clAqua},
    {"White", clWhite},
}};

// The client width a dialog needs so that window managers do not cut its caption short: the
// caption with room for the frame's icon and buttons.
int captionClientWidth(const QWidget& dialog, const QString& title) {
    return dialog.fontMetrics().horizontalAdvance(title) + 160;
}

// The same width less the dialog's own side margins: what its contents must ask for, since
// message and input boxes fix their size from their layouts.
int captionContentWidth(const QWidget& dialog, const QString& title, int atLeast) {
    const QStyle* style = dialog.style();
    return std::max(atLeast, captionClientWidth(dialog, title)) -
           style->pixelMetric(QStyle::PM_LayoutLeftMargin) -
           style->pixelMetric(QStyle::PM_LayoutRightMargin);
}

// A message box wraps its text at word boundaries only and is never wider than part of the
// screen: a word wider than that (a long file name) would be cut at the box's edge. Such words
// get a break opportunity after every character, so that they run on over further lines.
QString breakableWords(const QString& text) {
    constexpr qsizetype kLongWord = 48;
    QString out;
    out.reserve(text.size());
    qsizetype wordStart = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !text.at(i).isSpace()) {
            continue;
        }
        const QStringView word = QStringView(text).mid(wordStart, i - wordStart);
        if (word.size() > kLongWord) {
            for (qsizetype c = 0; c < word.size(); ++c) {
                out += word.at(c);
                const bool pairStart = word.at(c).isHighSurrogate() && c + 1 < word.size();
                if (!pairStart && c + 1 < word.size()) {
                    out += QChar(0x200B);  // zero width space
                }
            }
        } else {
            out += word;
        }
        if (i < text.size()) {
            out += text.at(i);
        }
        wordStart = i + 1;
    }
    return out;
}

QIcon colorSwatch(TColor color) {
    QPixmap swatch(16, 12);
    swatch.fill(toQColor(color));
    return QIcon(swatch);
}

}  // namespace

QtDialogs::QtDialogs() {
    if (QCoreApplication* app = QCoreApplication::instance(); app && !activationHistory()) {
        activationHistory() = new ActivationHistory(app);
    }
}

MessageResult QtDialogs::messageBox(const QString& text, const QString& title,
                                    MessageButtons buttons, MessageIcon icon) {
    QMessageBox box(qtIcon(icon), title, breakableWords(text), QMessageBox::NoButton,
                    dialogParent());
    switch (buttons) {
        case MessageButtons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            box.setEscapeButton(QMessageBox::Ok);
            break;
        case MessageButtons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Ok);
            box.setEscapeButton(QMessageBox::Cancel);
            break;
        case MessageButtons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::Yes);
            box.setEscapeButton(QMessageBox::No);
            break;
    }
    // Wide enough for its caption: a row of the box's grid asks for the width.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        grid->addItem(new QSpacerItem(captionContentWidth(box, title, 0), 0), grid->rowCount(), 0,
                      1, grid->columnCount());
    }
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    const QMessageBox::StandardButton pressed =
        clicked != nullptr ? box.standardButton(clicked) : QMessageBox::NoButton;
    switch (pressed) {
        case QMessageBox::Ok:
            return MessageResult::Ok;
        case QMessageBox::Yes:
            return MessageResult::Yes;
        case QMessageBox::No:
            return MessageResult::No;
        default:
            break;
    }
    if (buttons == MessageButtons::YesNo) {
        return MessageResult::No;
    }
    return buttons == MessageButtons::Ok ? MessageResult::Ok : MessageResult::Cancel;
}

void QtDialogs::showMessage(const QString& text) {
    messageBox(text, applicationTitle(), MessageButtons::Ok, MessageIcon::None);
}

std::optional<QString> QtDialogs::inputBox(const QString& title, const QString& prompt,
                                           const QString& initial) {
    QInputDialog dialog(dialogParent());
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(initial);
    // Wide enough for its caption: the width is asked of the text field.
    if (auto* field = dialog.findChild<QLineEdit*>()) {
        field->setMinimumWidth(captionContentWidth(dialog, title, 320));
    }
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.textValue();
}

std::optional<std::uint32_t> QtDialogs::chooseColor(std::uint32_t initial) {
    const QColor chosen = QColorDialog::getColor(toQColor(initial), dialogParent());
    if (!chosen.isValid()) {
        return std::nullopt;
    }
    return fromQColor(chosen);
}

namespace {

// The family's style with the given weight and slant, the plainest first; "" when none has them.
QString styleNamed(const QString& family, bool bold, bool italic) {
    QString best;
    int bestWeight = 0;
    for (const QString& style : QFontDatabase::styles(family)) {
        if (QFontDatabase::bold(family, style) != bold ||
            QFontDatabase::italic(family, style) != italic) {
            continue;
        }
        const int weight = QFontDatabase::weight(family, style);
        const int target = bold ? int(QFont::Bold) : int(QFont::Normal);
        if (best.isEmpty() || std::abs(weight - target) < std::abs(bestWeight - target) ||
            (weight == bestWeight && style.size() < best.size())) {
            best = style;
            bestWeight = weight;
        }
    }
    return best;
}

}  // namespace

std::optional<FontChoice> QtDialogs::chooseFont(const FontChoice& initial) {
    // Qt's font dialog has no colour, so it is embedded with a colour list of our own.
    QDialog dialog(dialogParent());
    dialog.setWindowTitle(QStringLiteral("Font"));

    QFont font(initial.family);
    if (initial.pointSize > 0) {
        font.setPointSize(initial.pointSize);
    }
    // A face that is not installed (a diary written elsewhere) is shown as the face that
    // stands in for it; the dialog would otherwise open on the first face of its list.
    const QString shownFamily = QFontInfo(font).family();
    font.setFamily(shownFamily);
    // Qt's dialog finds the style by its name; "Normal" is not the name of any face's style
    // (DejaVu calls it "Book"), so the dialog would open on some other style. Name it.
    if (const QString style = styleNamed(shownFamily, initial.bold, initial.italic);
        !style.isEmpty()) {
        font.setStyleName(style);
    }
    font.setBold(initial.bold);
    font.setItalic(initial.italic);
    font.setUnderline(initial.underline);
    font.setStrikeOut(initial.strikeout);

    auto* fonts = new QFontDialog(font, &dialog);
    fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    fonts->setWindowFlags(Qt::Widget);
    // The embedded dialog ends itself on Esc (and hides its lists); it ends the whole dialog.
    QObject::connect(fonts, &QDialog::accepted, &dialog, &QDialog::accept);
    QObject::connect(fonts, &QDialog::rejected, &dialog, &QDialog::reject);
    // On a change of family Qt looks the style up by its name and, failing that, takes the
    // family's first one ("Condensed Italic" for DejaVu Serif): the font keeps the weight and
    // slant it had instead.
    QObject::connect(
        fonts, &QFontDialog::currentFontChanged, fonts,
        [fonts, had = QFont(font)](const QFont& now) mutable {
            const bool sameStyle = now.bold() == had.bold() && now.italic() == had.italic();
            if (now.family() == had.family() || sameStyle) {
                had = now;
                return;
            }
            const QString style = styleNamed(now.family(), had.bold(), had.italic());
            if (style.isEmpty()) {
                had = now;
                return;
            }
            QFont kept = now;
            kept.setStyleName(style);
            // Later: the dialog is still inside its own list's change.
            QMetaObject::invokeMethod(
                fonts, [fonts, kept] { fonts->setCurrentFont(kept); }, Qt::QueuedConnection);
        });

    auto* colors = new QComboBox(&dialog);
    const TColor initialColor = colorToRGB(initial.color) & 0xFFFFFFu;
    bool listed = false;
    for (const NamedColor& entry : kFontColors) {
        colors->addItem(colorSwatch(entry.value), QString::fromLatin1(entry.name),
                        QVariant::fromValue<quint32>(entry.value));
        listed = listed || entry.value == initialColor;
    }
    if (!listed) {
        colors->addItem(colorSwatch(initialColor), QStringLiteral("Custom"),
                        QVariant::fromValue<quint32>(initialColor));
    }
    colors->setCurrentIndex(colors->findData(QVariant::fromValue<quint32>(initialColor)));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

    auto* colorRow = new QHBoxLayout;
    auto* colorLabel = new QLabel(QStringLiteral("&Color:"), &dialog);
    colorLabel->setBuddy(colors);
    colorRow->addWidget(colorLabel);
    colorRow->addWidget(colors);
    colorRow->addStretch();

    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(fonts);
    layout->addLayout(colorRow);
    layout->addWidget(buttons);

    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    const QFont chosen = fonts->currentFont();
    FontChoice result;
    // The stand-in face left as it was keeps the text's own face.
    result.family = chosen.family() == shownFamily ? initial.family : chosen.family();
    result.pointSize = chosen.pointSize();
    result.color = colors->currentData().value<quint32>();
    result.bold = chosen.bold();
    result.italic = chosen.italic();
    result.underline = chosen.underline();
    result.strikeout = chosen.strikeOut();
    return result;
}

std::optional<QString> QtDialogs::saveFileName(const QString& title, const QString& initialPath,
                                               const QString& filter) {
    const QString chosen = QFileDialog::getSaveFileName(dialogParent(), title, initialPath, filter,
                                                        nullptr, QFileDialog::DontConfirmOverwrite);
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return chosen;
}

bool QtDialogs::printDialog(QPrinter& printer) {
    QPrintDialog dialog(&printer, dialogParent());
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange |
                      QAbstractPrintDialog::PrintCollateCopies |
                      QAbstractPrintDialog::PrintShowPageSize);
    return dialog.exec() == QDialog::Accepted;
}

std::optional<PrintDestination> QtDialogs::outputOptions(QPrinter& printer) {
    QDialog dialog(dialogParent());
    dialog.setWindowTitle(QStringLiteral("Output Options"));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("Report Destination"), &dialog));
    auto* toPrinter = new QRadioButton(QStringLiteral("Printer"), &dialog);
    auto* preview = new QRadioButton(QStringLiteral("Preview"), &dialog);
    toPrinter->setChecked(true);
    layout->addWidget(toPrinter);
    layout->addWidget(preview);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    auto* setup = buttons->addButton(QStringLiteral("&Setup..."), QDialogButtonBox::ActionRole);
    QObject::connect(setup, &QPushButton::clicked, &dialog,
                     [this, &printer] { printerSetup(printer); });
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    // Wide enough that window managers show the whole caption.
    dialog.setMinimumWidth(260);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return preview->isChecked() ? PrintDestination::Preview : PrintDestination::Printer;
}

bool QtDialogs::printerSetup(QPrinter& printer) {
    QPageSetupDialog dialog(&printer, dialogParent());
    return dialog.exec() == QDialog::Accepted;
}

namespace {

// A small modal window over the sheet loop: the loop lets it handle the user's input at every
// text it shows.
class QtReportStatus : public ReportStatus {
  public:
    explicit QtReportStatus(QWidget* parent) : window_(parent) {
        window_.setWindowTitle(QStringLiteral("Report Status"));
        window_.setWindowModality(Qt::ApplicationModal);
        auto* layout = new QVBoxLayout(&window_);
        text_ = new QLabel(&window_);
        text_->setAlignment(Qt::AlignCenter);
        layout->addWidget(text_);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, &window_);
        QObject::connect(buttons, &QDialogButtonBox::rejected, &window_, &QDialog::reject);
        // Esc and the window's close button stop the run as Cancel does.
        QObject::connect(&window_, &QDialog::rejected, &window_, [this] { cancelled_ = true; });
        layout->addWidget(buttons);
        window_.setMinimumWidth(captionClientWidth(window_, window_.windowTitle()));
        window_.show();
        sinceEvents_.start();
    }

    bool show(const QString& text) override {
        if (!cancelled_) {
            text_->setText(text);
            if (!painted_) {
                paintFirst();
            }
            QCoreApplication::processEvents();
        }
        return !cancelled_;
    }

    bool poll() override {
        // Often enough for a press to feel answered, seldom enough to cost the work nothing.
        if (!cancelled_ && sinceEvents_.elapsed() >= 30) {
            QCoreApplication::processEvents();
            sinceEvents_.restart();
        }
        return !cancelled_;
    }

  private:
    // The window is on the screen with its first text before the work goes on: a window the
    // desktop has not yet exposed would stay blank through a long first step.
    void paintFirst() {
        painted_ = true;
        QElapsedTimer waited;
        waited.start();
        const QWindow* handle = window_.windowHandle();
        while (handle && !handle->isExposed() && waited.elapsed() < 500) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
    }

    QDialog window_;
    QLabel* text_ = nullptr;
    QElapsedTimer sinceEvents_;
    bool painted_ = false;
    bool cancelled_ = false;
};

// Sets the preview's zoom through the dialog's own zoom box, so that its fit buttons show the
// zoom as the user's own choice of a factor would; the preview itself when there is no box.
void setPreviewZoom(QPrintPreviewDialog& dialog, int percent) {
    const QString text = QString::number(percent) + QLatin1Char('%');
    for (auto* box : dialog.findChildren<QComboBox*>()) {
        const int index = box->findText(text);
        if (index >= 0) {
            box->setCurrentIndex(index);
            return;
        }
    }
    if (auto* view = dialog.findChild<QPrintPreviewWidget*>()) {
        view->setZoomMode(QPrintPreviewWidget::CustomZoom);
        view->setZoomFactor(percent / 100.0);
    }
}

}  // namespace

std::unique_ptr<ReportStatus> QtDialogs::reportStatus() {
    return std::make_unique<QtReportStatus>(dialogParent());
}

void QtDialogs::printPreview(QPrinter& printer, const std::function<void(QPrinter&)>& paint) {
    QPrintPreviewDialog dialog(&printer, dialogParent());
    dialog.setWindowTitle(QStringLiteral("Report Preview"));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&paint](QPrinter* target) { paint(*target); });
    setPreviewZoom(dialog, 100);
    dialog.exec();
}

}  // namespace qb
