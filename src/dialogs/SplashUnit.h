#pragma once
// The splash: a borderless window that fades in over the screen's centre, holds a moment and
// fades out, once at every start. Start-up switches its fade-in timer on; from then on it runs
// by itself, one step per timer tick, and never holds up the main window.

#include <QWidget>

class QLabel;

namespace qb {
class PaintBox;
class Timer;
}  // namespace qb

class TSplashForm : public QWidget {
    Q_OBJECT

  public:
    explicit TSplashForm(QWidget* parent = nullptr);

    QWidget* Shape1 = nullptr;
    qb::PaintBox* PaintBox2 = nullptr;
    QLabel* ProductNameLabel = nullptr;
    QLabel* VersionLabel = nullptr;
    qb::Timer* FadeInTimer = nullptr;
    qb::Timer* FadeOutTimer = nullptr;

    // The tick counter of the animation.
    int FadeStep = 0;
    // The window's alpha value, 0 .. 255 (255 is opaque).
    int AlphaBlendValue = 255;

    void FormCreate();
    void FormShow();
    void FadeInTimerTimer();
    void FadeOutTimerTimer();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void setAlpha(int alpha);
};

extern TSplashForm* SplashForm;
