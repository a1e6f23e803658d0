#pragma once
// The splash window. For now it has only its fade-in timer, which start-up switches on once;
// the window's face and its fade come with its own work.

#include <QWidget>

namespace qb {
class Timer;
}

class TSplashForm : public QWidget {
    Q_OBJECT

  public:
    explicit TSplashForm(QWidget* parent = nullptr);

    qb::Timer* FadeInTimer = nullptr;
    void FadeInTimerTimer();
};

extern TSplashForm* SplashForm;
