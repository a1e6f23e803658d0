#pragma once
// The month calendars: one month drawn into a panel from run-time labels and marks, the one to
// four months of the calendar side panel, the month actions, and opening the page of a day.
//
// The calendars reach the rest of the program only through CalendarServices and the panels
// handed to them in CalendarPanels, so that they can be driven without a main window or a
// database.

#include "pages/CalendarLayout.h"
#include "platform/core/Color.h"

#include <QDate>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>

class QLabel;

namespace qb {

struct CalendarColors {
    TColor highlight = 0x00E1AF97;       // day numbers, mark outline, hover background
    TColor background = 0x00914A28;      // hover text
    TColor backgroundFont = 0x00FFFFFF;  // caption and weekday row
};

// What the calendars need from the program. Every member has a usable default except where
// noted; the main window fills in the rest.
struct CalendarServices {
    // The Days text of a month key "YYYYMM" ("" when the month has no row).
    std::function<QString(const QString& monthKey)> monthDays;
    std::function<CalendarColors()> colors;
    // The program folder with its trailing "/"; the picture tree lies in it.
    std::function<QString()> appFolder;
    // Today's date; by default the program's clock.
    std::function<QDate()> today;
    // The month the calendars show first, and its setter.
    std::function<QDate()> calendarDate;
    std::function<void(const QDate&)> setCalendarDate;

    // Show a day: select its open tab or open its page (by default OpenDayPage).
    std::function<void(const QString& dayKey)> showDay;

    // Opening a day page.
    std::function<bool()> ctrlHeld;    // by default the keyboard's state
    std::function<bool()> useCtrlKey;  // "Use Ctrl Key to open pages in a separate tab." is on
    std::function<void()> closeTab;    // close (and save) the selected page
    // Move the Entry cursor to the day's row; false when there is none.
    std::function<bool(const QString& dayKey)> locateEntry;
    // Insert and post the day's row with its key alone.
    std::function<void(const QString& dayKey)> insertEntry;
    std::function<void(const QString& dayKey)> markMonthDay;
    // Open the located row as a new tab with its editor.
    std::function<void(const QString& dayKey)> openEntryPage;
    // Give the current editor, if any, the first default font (a day created new).
    std::function<void()> applyNewDayFont;

    // Let pending messages through (by default the application's event loop).
    std::function<void()> processEvents;
};

// The panels the calendars draw into: the main window's side panel with its four month panels
// and their shading paint boxes, and the desktop calendar's one month.
struct CalendarPanels {
    QPointer<QWidget> calendarPanel;
    std::array<QPointer<QWidget>, 4> monthPanels;
    std::array<QPointer<QWidget>, 4> paintBoxes;
    QPointer<QWidget> backgroundPaintBox;
    QPointer<QWidget> desktopWindow;
    QPointer<QWidget> desktopPanel;
    QPointer<QWidget> desktopPaintBox;
};

// A day's entry mark: a square outline, clear or hatched with backward diagonals.
class CalendarShape : public QWidget {
    Q_OBJECT
  public:
    explicit CalendarShape(QWidget* parent);

    void setPenColor(const QColor& color);
    void setHatch(const QColor& color);  // the hatch brush in this colour
    QColor penColor() const { return pen_; }
    bool hatched() const { return hatched_; }
    QColor hatchColor() const { return hatch_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor pen_;
    QColor hatch_;
    bool hatched_ = false;
};

// The hover look of a day label (also used by the documents list's labels).
void DayLabelMouseEnter(QLabel* label, const CalendarColors& colors);
void DayLabelMouseLeave(QLabel* label, const CalendarColors& colors);

// The layout face (platform/ui/Fonts.h) at a size in points.
QFont calendarFont(int pointSize);

class CalendarUnit : public QObject {
    Q_OBJECT
  public:
    explicit CalendarUnit(CalendarServices services, QObject* parent = nullptr);

    CalendarServices& services() { return services_; }
    void setPanels(const CalendarPanels& panels) { panels_ = panels; }
    const CalendarPanels& panels() const { return panels_; }

    QLabel* CreateMonthLabel(QWidget* panel, const QDate& date);
    void CreateDayNameLabels(QWidget* panel, int top, int left);
    void BuildMonthCalendar(QWidget* panel, const QDate& date);
    void RefreshCalendars();

    // Returns false when no page was opened.
    bool OpenDayPage(const QString& key);

    // Handlers of the main window.
    void CalendarPanelResize();
    void NextMonthActionExecute();
    void PreviousMonthActionExecute();
    void GoToTodayActionExecute();
    void DayLabelMouseEnter(QLabel* label);
    void DayLabelMouseLeave(QLabel* label);
    void DayLabelMouseDown(QLabel* label);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildAndLower(QWidget* panel, QWidget* paintBox, const QDate& date);
    QLabel* dayLabel(QWidget* panel, int day);
    void showDay(const QString& key);

    CalendarServices services_;
    CalendarPanels panels_;
};

}  // namespace qb
