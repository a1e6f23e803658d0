#pragma once
// The desktop calendar: a small borderless window that stays on top of other windows and shows
// the first month of the calendars. It rolls up to its title strip and down again, rolls up by
// itself after a time without use, can be dragged by its title strip, opens the main window's
// desktop menu and can stand in for the main window: closing it while the main window is hidden
// ends the program.
//
// The month itself is built into CalendarPanel1 by the calendars (pages/CalendarUnit.h), as the
// side panel's months are. Everything else the window needs of the program comes through
// DesktopCalendarServices, set at start-up.

#include "platform/core/Color.h"

#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

class QLabel;
class QMouseEvent;

namespace qb {

class ImageControl;
class PaintBox;
class Timer;

inline constexpr int kDesktopCalendarWidth = 213;
inline constexpr int kRolledDownHeight = 244;
inline constexpr int kRolledUpHeight = 26;
inline constexpr int kRollStep = 5;
// 44 steps of 16 ms: a whole roll takes about 0.7 s.
inline constexpr int kRollIntervalMs = 16;
inline constexpr int kAutoSlideUpMs = 30000;

// The next height of a roll from height towards target: one step, never past the target.
int NextRollHeight(int height, int target);

// Where the window goes when it is placed at the top right of a screen's available area.
QPoint TopRightPlace(const QRect& available, int windowWidth);

// Where a window with the frame rectangle `frame` is shown: where it is when any part of it lies
// on one of the screens' available areas; else at the top right of the screen nearest to it.
QPoint PlaceOnScreens(const QRect& frame, const std::vector<QRect>& available);

struct DesktopCalendarServices {
    // The main window is showing.
    std::function<bool()> mainWindowVisible;
    // Closes every open page, each saving its text; false when a page had to stay open (its
    // text could not be saved), and then the program goes on with that page in view.
    std::function<bool()> closePagesForExit;
    // Writes the main window's keys that the program's end keeps; may throw.
    std::function<void()> writeExitKeys;
    // Ends the program.
    std::function<void()> endProgram;
    // The settings file; empty: nothing is read or kept.
    std::function<QString()> settingsPath;
    // "Auto-slide up" is on.
    std::function<bool()> autoSlideUp;
    std::function<void(const QString& name)> playSound;
    // Opens the desktop menu at a screen point.
    std::function<void(const QPoint& screenPoint)> showMenu;
    std::function<void()> previousMonth;
    std::function<void()> nextMonth;
    std::function<TColor()> backgroundColor;
    std::function<TColor()> highlightColor;
    // The screens' available areas, the primary one first (the window's home is on it);
    // by default those of the platform.
    std::function<std::vector<QRect>()> screens;
};

}  // namespace qb

class TDesktopCalendarForm : public QWidget {
    Q_OBJECT

  public:
    explicit TDesktopCalendarForm(QWidget* parent = nullptr);
    ~TDesktopCalendarForm() override;

    qb::DesktopCalendarServices Services;

    QWidget* Panel13 = nullptr;
    qb::PaintBox* PaintBox2 = nullptr;
    QLabel* MenuLabel = nullptr;
    qb::ImageControl* MinimizeImage = nullptr;
    qb::ImageControl* DownImage = nullptr;
    qb::ImageControl* UpImage = nullptr;
    qb::ImageControl* CloseImage = nullptr;
    QWidget* CalendarPanel1 = nullptr;
    qb::PaintBox* CalendarPaintBox1 = nullptr;
    QWidget* Shape2 = nullptr;
    QLabel* PrevMonthLabel = nullptr;
    QLabel* NextMonthLabel = nullptr;
    qb::Timer* AutoSlideUpTimer = nullptr;
    qb::Timer* RollTimer = nullptr;

    // The alpha value that the transparency setting gives (255 is opaque).
    void SetAlpha(int alpha);
    int Alpha() const { return alpha_; }

    // The roll: the height it goes towards, and whether it is under way.
    int RollTarget() const { return rollTarget_; }
    bool Rolling() const;
    bool RolledUp() const { return height() <= qb::kRolledUpHeight; }
    // The one of the two lying images that is in front (and so takes the click).
    qb::ImageControl* FrontRollImage() const;

    void FormCreate();
    void FormShow();
    void FormHide();
    void FormDeactivate();
    void PaintBox2DblClick();
    // A left press on the title strip readies the drag that moves the window.
    void PaintBox2MouseDown(const QMouseEvent& mouse);
    void MenuLabelClick();
    void PrevMonthLabelMouseDown();
    void NextMonthLabelMouseDown();
    void DownImageClick();
    void UpImageClick();
    void MinimizeImageClick();
    // Shows the calendar, out of the minimised state too, and brings it to the front: a
    // minimised tool window has no task-bar button to come back by.
    void ShowRestored();
    // Closes the calendar; when the main window is hidden too, the program ends.
    void CloseImageClick();
    void AutoSlideUpTimerTimer();
    void Shape2MouseMove();

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildTitleStrip();
    void buildMonthPanel();
    void rollTo(int target);
    void RollTimerTimer();
    void finishRoll();
    void placeTopRight();
    std::vector<QRect> screens() const;
    void loadPlace();
    void savePlace();
    bool titleStripMouse(QEvent* event);
    void hoverLabel(QLabel* label, bool on);

    int alpha_ = 255;
    int rollTarget_ = qb::kRolledDownHeight;
    bool placeLoaded_ = false;
    // What the settings file holds (or would give) for the place and the roll state.
    QPoint storedPlace_;
    bool storedRolledUp_ = false;
    // A left button held on the title strip; the window moved by hand where the window manager
    // cannot move it.
    enum class DragState { None, Pressed, ByHand };
    DragState dragState_ = DragState::None;
    QPoint dragOffset_;
};

extern TDesktopCalendarForm* DesktopCalendarForm;
