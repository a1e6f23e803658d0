#include "dialogs/SplashUnit.h"

#include "platform/ui/Timer.h"

TSplashForm* SplashForm = nullptr;

TSplashForm::TSplashForm(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("SplashForm"));
    resize(403, 95);
    FadeInTimer = new qb::Timer(this, 30);
    FadeInTimer->setOnTimer([this] { FadeInTimerTimer(); });
}

void TSplashForm::FadeInTimerTimer() {
    FadeInTimer->setEnabled(false);
}
