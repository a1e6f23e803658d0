#include "dialogs/SplashUnit.h"

#include "pages/CalendarUnit.h"
#include "pages/ShadeUnit.h"
#include "platform/core/Color.h"
#include "platform/ui/Components.h"
#include "platform/ui/Guard.h"
#include "platform/ui/PaintBox.h"
#include "platform/ui/Timer.h"
#include "program/ProgramState.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>

TSplashForm* SplashForm = nullptr;

namespace {

constexpr int kFadeIntervalMs = 30;
constexpr int kHeldAlpha = 235;
constexpr int kAlphaStep = 18;
constexpr int kFirstAlpha = 20;

// A shape with a white pen and no fill: the window's frame.
class FrameShape : public QWidget {
  public:
    explicit FrameShape(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setPen(Qt::white);
        painter.drawRect(0, 0, width() - 1, height() - 1);
    }
};

void setTextColor(QLabel* label, const QColor& color) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

}  // namespace

TSplashForm::TSplashForm(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("SplashForm"));
    // The splash must never take the keyboard from the window that is starting under it.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(403, 95);

    PaintBox2 = new qb::PaintBox(this);
    PaintBox2->setObjectName(QStringLiteral("PaintBox2"));
    PaintBox2->setGeometry(1, 1, 401, 93);
    qb::setHint(PaintBox2, QStringLiteral("ShadeTopToBottom"));
    qb::setTag(PaintBox2, 40);
    PaintBox2->setOnPaint([](qb::PaintBox& box, QPainter& canvas) {
        ShadePaintBox(canvas, {box.width(), box.height(), qb::hint(&box), qb::tag(&box)},
                      qb::colorToRGB(BackgroundColor));
    });
    Shape1 = new FrameShape(this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setGeometry(rect());

    ProductNameLabel = new QLabel(ProductTitle, this);
    ProductNameLabel->setObjectName(QStringLiteral("ProductNameLabel"));
    QFont name;
    name.setFamilies({QStringLiteral("Microsoft Sans Serif"), QStringLiteral("DejaVu Sans"),
                      QStringLiteral("Liberation Sans")});
    name.setBold(true);
    name.setPixelSize(48);
    ProductNameLabel->setFont(name);
    ProductNameLabel->move(36, 24);  // sized at the first show, which loads its large face

    VersionLabel = new QLabel(this);
    VersionLabel->setObjectName(QStringLiteral("VersionLabel"));
    VersionLabel->setFont(qb::calendarFont(8));
    VersionLabel->setAlignment(Qt::AlignRight | Qt::AlignTop);
    setTextColor(VersionLabel, Qt::white);

    FadeInTimer = new qb::Timer(this, kFadeIntervalMs);
    FadeInTimer->setObjectName(QStringLiteral("FadeInTimer"));
    FadeInTimer->setOnTimer([this] { FadeInTimerTimer(); });
    FadeOutTimer = new qb::Timer(this, kFadeIntervalMs);
    FadeOutTimer->setObjectName(QStringLiteral("FadeOutTimer"));
    FadeOutTimer->setOnTimer([this] { FadeOutTimerTimer(); });
    FormCreate();
}

void TSplashForm::FormCreate() {
    FadeStep = 0;
}

void TSplashForm::FormShow() {
    ProductNameLabel->adjustSize();
    VersionLabel->setText(QStringLiteral("Version: 2.0 - 10/10/2005"));
    VersionLabel->adjustSize();
    VersionLabel->move(383 - VersionLabel->width(), 16);
    setTextColor(ProductNameLabel, qb::toQColor(ShadeTint::SplashLabel(BackgroundColor)));
}

void TSplashForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    qb::runGuarded([this] { FormShow(); });
}

void TSplashForm::setAlpha(int alpha) {
    AlphaBlendValue = alpha;
    setWindowOpacity(alpha / 255.0);
}

void TSplashForm::FadeInTimerTimer() {
    ++FadeStep;
    if (FadeStep == 1) {
        setAlpha(kFirstAlpha);
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            move(screen->geometry().center() - rect().center());
        }
        show();
        return;
    }
    const int alpha = kAlphaStep * FadeStep + kFirstAlpha;
    if (alpha <= kHeldAlpha) {
        setAlpha(alpha);
        return;
    }
    setAlpha(kHeldAlpha);
    FadeInTimer->setEnabled(false);
    FadeStep = -20;
    FadeOutTimer->setEnabled(true);
}

void TSplashForm::FadeOutTimerTimer() {
    ++FadeStep;
    if (FadeStep > 2) {
        setAlpha(255 - kAlphaStep * (FadeStep - 3));
    }
    if (AlphaBlendValue < kFirstAlpha) {
        hide();
        FadeOutTimer->setEnabled(false);
        setAlpha(255);
        FadeStep = 0;
    }
}
