#include "dialogs/AboutUnit.h"

#include "pages/ShadeUnit.h"
#include "platform/core/Color.h"
#include "platform/ui/Components.h"
#include "platform/ui/Fonts.h"
#include "platform/ui/Guard.h"
#include "platform/ui/LazyIcon.h"
#include "platform/ui/PaintBox.h"
#include "program/ProgramState.h"
#include "store/DatabaseUnit.h"

#include <QDesktopServices>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QUrl>

qb::LazyWindow<TAboutForm> AboutForm;

namespace {

constexpr int kClientWidth = 386;
constexpr int kClientHeight = 204;
constexpr int kButtonBarHeight = 43;
constexpr qb::TColor kLabelColor = 0x00292929;

QLabel* newLabel(QWidget* parent, const char* name, const QString& text, int left, int top) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(left, top);
    label->adjustSize();
    return label;
}

void setTextColor(QLabel* label, const QColor& color) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

QFrame* newRule(QWidget* parent, int top) {
    auto* rule = new QFrame(parent);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    rule->setGeometry(0, top, kClientWidth, 2);
    return rule;
}

}  // namespace

TAboutForm::TAboutForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("AboutForm"));
    setFixedSize(kClientWidth, kClientHeight);

    PaintBox1 = new qb::PaintBox(this);
    PaintBox1->setObjectName(QStringLiteral("PaintBox1"));
    PaintBox1->setGeometry(0, 0, kClientWidth, kClientHeight - kButtonBarHeight - 2);
    qb::setHint(PaintBox1, QStringLiteral("ShadeLeftToRight"));
    qb::setTag(PaintBox1, 20);
    PaintBox1->setOnPaint([](qb::PaintBox& box, QPainter& canvas) {
        ShadePaintBox(canvas, {box.width(), box.height(), qb::hint(&box), qb::tag(&box)},
                      ShadeTint::ButtonFace());
    });

    TitleLabel = newLabel(this, "TitleLabel", ProductTitle, 20, 18);
    QFont title = TitleLabel->font();
    title.setBold(true);
    title.setPixelSize(28);
    qb::setFontWhenShown(TitleLabel, title);  // sized at the first show, in its own face
    setTextColor(TitleLabel, qb::toQColor(kLabelColor));

    Label4 = newLabel(this, "Label4", QStringLiteral("Number of Entries:"), 20, 78);
    EntryCountLabel = newLabel(this, "EntryCountLabel", QString(), 116, 78);
    newRule(this, 100)->setObjectName(QStringLiteral("Bevel2"));
    Label2 = newLabel(this, "Label2", QStringLiteral("Version:"), 20, 114);
    VersionLabel = newLabel(this, "VersionLabel", QString(), 64, 114);
    DateLabel = newLabel(this, "DateLabel", QString(), 64, 114);
    for (QLabel* label : {Label4, EntryCountLabel, Label2}) {
        setTextColor(label, qb::toQColor(kLabelColor));
    }

    Label3 = newLabel(this, "Label3", WebSiteAddress, 19, 134);
    QFont link = Label3->font();
    link.setUnderline(true);
    Label3->setFont(link);
    Label3->adjustSize();
    setTextColor(Label3, Qt::blue);
    Label3->setCursor(Qt::PointingHandCursor);
    Label3->installEventFilter(this);

    newRule(this, kClientHeight - kButtonBarHeight - 2);
    OkBitButton = new QPushButton(QStringLiteral("&OK"), this);
    OkBitButton->setObjectName(QStringLiteral("OkBitButton"));
    OkBitButton->setIcon(qb::lazyStandardIcon(OkBitButton->style(), QStyle::SP_DialogOkButton));
    OkBitButton->setDefault(true);
    qb::setTag(OkBitButton, 999);
    OkBitButton->setGeometry(291, kClientHeight - kButtonBarHeight + 8, 75, 25);
    connect(OkBitButton, &QPushButton::clicked, this, qb::guarded([this] { OkBitButtonClick(); }));
    FormCreate();
}

void TAboutForm::FormCreate() {
    VersionLabel->setText(QStringLiteral("2.0 - "));
    VersionLabel->adjustSize();
    DateLabel->setText(QStringLiteral("10/10/2005"));
    DateLabel->adjustSize();
    DateLabel->move(VersionLabel->x() + VersionLabel->width(), DateLabel->y());
    setWindowTitle(FullTitle);
}

void TAboutForm::FormShow() {
    qb::applyFontsWhenShown(this);
    TitleLabel->adjustSize();
    // Every day that has a row counts, also a day opened and left empty.
    const int count = DataModule1 ? DataModule1->EntryTable.RecordCount() : 0;
    EntryCountLabel->setText(QString::number(count));
    EntryCountLabel->adjustSize();
}

void TAboutForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        qb::runGuarded([this] { FormShow(); });
    }
}

void TAboutForm::Label3MouseDown() {
    QDesktopServices::openUrl(QUrl(WebSiteAddress));
}

void TAboutForm::OkBitButtonClick() {
    accept();
}

bool TAboutForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label3 && event->type() == QEvent::MouseButtonPress) {
        qb::runGuarded([this] { Label3MouseDown(); });
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
