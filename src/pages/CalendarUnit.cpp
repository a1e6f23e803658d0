#include "pages/CalendarUnit.h"

#include "program/ProgramState.h"
#include "pages/ShadeUnit.h"
#include "platform/core/Clock.h"
#include "platform/ui/Components.h"
#include "platform/ui/Fonts.h"
#include "platform/ui/Guard.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>

#include <memory>
#include <stdexcept>
#include <utility>

namespace qb {
namespace {

constexpr int kNoPaintTag = 999;  // keeps a control out of the menu painter's hands
constexpr int kBuiltTag = 1;

QColor labelTextColor(const QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}

void setLabelTextColor(QLabel* label, const QColor& color) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

void makeTransparent(QLabel* label) {
    label->setAutoFillBackground(false);
}

QLabel* ownLabel(QWidget* panel, const QString& name) {
    return panel->findChild<QLabel*>(name, Qt::FindDirectChildrenOnly);
}

// A control's own Visible flag: set even while its window has not been shown yet.
bool visibleFlag(const QWidget* widget) {
    if (!widget) {
        return false;
    }
    const QWidget* parent = widget->parentWidget();
    return parent ? widget->isVisibleTo(parent) : widget->isVisible();
}

void setPanelHeight(QWidget* panel, int height) {
    panel->setFixedHeight(height);
    panel->resize(panel->width(), height);  // read back at once, before any layout runs
}

int panelHeight(const QWidget* panel) {
    return panel ? panel->height() : 0;
}

bool isDayKey(const QString& key) {
    if (key.size() != 8) {
        return false;
    }
    for (const QChar c : key) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return false;
        }
    }
    return QDate(key.left(4).toInt(), key.mid(4, 2).toInt(), key.mid(6, 2).toInt()).isValid();
}

QString dayPictureFolder(const QString& appFolder, const QString& key) {
    return appFolder + QStringLiteral("Pictures/") + key.left(4) + QLatin1Char('/') +
           key.mid(4, 2) + QLatin1Char('/') + key.mid(6, 2) + QLatin1Char('/');
}

void fillDefaults(CalendarServices& s) {
    if (!s.monthDays) {
        s.monthDays = [](const QString&) { return QString(); };
    }
    if (!s.colors) {
        s.colors = [] { return CalendarColors{}; };
    }
    if (!s.appFolder) {
        s.appFolder = [] { return QString(); };
    }
    if (!s.today) {
        s.today = [] { return clock().today(); };
    }
    if (!s.calendarDate || !s.setCalendarDate) {
        auto shown = std::make_shared<QDate>(clock().today());
        s.calendarDate = [shown] { return *shown; };
        s.setCalendarDate = [shown](const QDate& date) { *shown = date; };
    }
    if (!s.ctrlHeld) {
        s.ctrlHeld = [] {
            return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier);
        };
    }
    if (!s.useCtrlKey) {
        s.useCtrlKey = [] { return false; };
    }
    if (!s.closeTab) {
        s.closeTab = [] {};
    }
    if (!s.markMonthDay) {
        s.markMonthDay = [](const QString&) {};
    }
    if (!s.applyNewDayFont) {
        s.applyNewDayFont = [] {};
    }
    if (!s.processEvents) {
        s.processEvents = [] { QCoreApplication::processEvents(); };
    }
}

}  // namespace

// --- Fonts ---------------------------------------------------------------------------------

QFont calendarFont(int pointSize) {
    // The condensed face keeps two digits inside a 24-pixel cell.
    return qb::layoutFont(pointSize);
}

// --- The entry mark ------------------------------------------------------------------------

CalendarShape::CalendarShape(QWidget* parent) : QWidget(parent) {
    // The day label in front takes the clicks.
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void CalendarShape::setPenColor(const QColor& color) {
    pen_ = color;
    update();
}

void CalendarShape::setHatch(const QColor& color) {
    hatch_ = color;
    hatched_ = true;
    update();
}

void CalendarShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(pen_);
    // Hatch brushes leave the background between their lines untouched.
    painter.setBrush(hatched_ ? QBrush(hatch_, Qt::BDiagPattern) : QBrush(Qt::NoBrush));
    painter.drawRect(0, 0, width() - 1, height() - 1);
}

// --- Hover look ----------------------------------------------------------------------------

void DayLabelMouseEnter(QLabel* label, const CalendarColors& colors) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, toQColor(colors.highlight));
    label->setPalette(palette);
    label->setAutoFillBackground(true);
    if (labelTextColor(label) != toQColor(clLime)) {
        setLabelTextColor(label, toQColor(colors.background));
    }
}

void DayLabelMouseLeave(QLabel* label, const CalendarColors& colors) {
    if (labelTextColor(label) != toQColor(clLime)) {
        setLabelTextColor(label, toQColor(colors.highlight));
    }
    makeTransparent(label);
}

// --- The calendars -------------------------------------------------------------------------

CalendarUnit::CalendarUnit(CalendarServices services, QObject* parent)
    : QObject(parent), services_(std::move(services)) {
    fillDefaults(services_);
    if (!services_.showDay) {
        services_.showDay = [this](const QString& key) { OpenDayPage(key); };
    }
}

QLabel* CalendarUnit::CreateMonthLabel(QWidget* panel, const QDate& date) {
    QLabel* label = ownLabel(panel, QStringLiteral("MonthLabel"));
    if (!label) {
        label = new QLabel(panel);
        label->setObjectName(QStringLiteral("MonthLabel"));
        setTag(label, kNoPaintTag);
    }
    const CaptionGeometry g;
    label->setGeometry(g.left, g.top, g.width, g.height);
    QFont font = panel->font();
    font.setPointSize(10);
    label->setFont(font);
    setLabelTextColor(label, toQColor(services_.colors().backgroundFont));
    label->setAlignment(Qt::AlignCenter);
    makeTransparent(label);
    label->setText(MonthNames[date.month()] + QLatin1Char(' ') + QString::number(date.year()));
    label->show();
    return label;
}

void CalendarUnit::CreateDayNameLabels(QWidget* panel, int top, int left) {
    const QFont font = calendarFont(8);
    const int height = QFontMetrics(font).height();
    const QColor color = toQColor(services_.colors().backgroundFont);
    for (int k = 0; k < 7; ++k) {
        auto* label = new QLabel(WeekdayInitials()[static_cast<std::size_t>(k)], panel);
        setTag(label, kNoPaintTag);
        label->setFont(font);
        setLabelTextColor(label, color);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        label->setGeometry(WeekdayLabelLeft(left, k), top, 20, height);
        label->show();
    }
}

QLabel* CalendarUnit::dayLabel(QWidget* panel, int day) {
    const QString name = QStringLiteral("Day%1Label").arg(day);
    QLabel* label = ownLabel(panel, name);
    if (label) {
        return label;
    }
    label = new QLabel(panel);
    label->setObjectName(name);
    label->setText(QString::number(day));
    setTag(label, kNoPaintTag);
    label->setAlignment(Qt::AlignCenter);
    label->setCursor(Qt::PointingHandCursor);
    label->installEventFilter(this);
    return label;
}

void CalendarUnit::BuildMonthCalendar(QWidget* panel, const QDate& date) {
    const CalendarColors colors = services_.colors();
    const QColor hatch = toQColor(ShadeTint::PictureDayHatch(colors.highlight));

    for (int n = 0; n <= kMaxDayNumber; ++n) {
        QWidget* old = panel->findChild<CalendarShape*>(QStringLiteral("DayShape%1").arg(n),
                                                        Qt::FindDirectChildrenOnly);
        if (!old) {
            break;
        }
        delete old;
    }

    CreateMonthLabel(panel, date);
    const MonthLayout layout =
        LayoutMonth(date, services_.today(), services_.monthDays(MakeDateKey(1, date).left(6)));
    if (tag(panel) == 0) {
        CreateDayNameLabels(panel, kWeekdayTop, kFirstCellLeft);
    }

    const QFont regular = calendarFont(8);
    QFont bold = regular;
    bold.setBold(true);
    const QString appFolder = services_.appFolder();
    int counter = 0;
    for (const DayCell& cell : layout.days) {
        QLabel* label = dayLabel(panel, cell.day);
        label->setGeometry(cell.left, cell.top, kCellSize, kCellSize);
        setHint(label, cell.key);
        label->setFont(cell.today ? bold : regular);
        setLabelTextColor(label, toQColor(cell.today ? clLime : colors.highlight));
        makeTransparent(label);
        label->show();

        if (!cell.marked) {
            continue;
        }
        auto* mark = new CalendarShape(panel);
        mark->setObjectName(QStringLiteral("DayShape%1").arg(counter++));
        setHint(mark, cell.key);
        setTag(mark, kNoPaintTag);
        mark->setGeometry(cell.left, cell.top, kCellSize, kCellSize);
        mark->setPenColor(toQColor(colors.highlight));
        if (QFileInfo(dayPictureFolder(appFolder, cell.key)).isDir()) {
            mark->setHatch(hatch);
        }
        mark->show();
        mark->lower();
    }
    for (int d = layout.dayCount + 1; d <= kMaxDayNumber; ++d) {
        if (QLabel* label = ownLabel(panel, QStringLiteral("Day%1Label").arg(d))) {
            label->hide();
        }
    }
    setTag(panel, kBuiltTag);
}

void CalendarUnit::buildAndLower(QWidget* panel, QWidget* paintBox, const QDate& date) {
    if (!panel) {
        return;
    }
    BuildMonthCalendar(panel, date);
    // The marks stand in front of the shading, the labels in front of the marks.
    if (paintBox) {
        paintBox->lower();
    }
}

void CalendarUnit::RefreshCalendars() {
    const QDate shown = services_.calendarDate();
    if (visibleFlag(panels_.calendarPanel)) {
        buildAndLower(panels_.monthPanels[0], panels_.paintBoxes[0], shown);
        for (std::size_t k = 1; k < 4; ++k) {
            if (panelHeight(panels_.monthPanels[k]) > 0) {
                buildAndLower(panels_.monthPanels[k], panels_.paintBoxes[k],
                              shown.addMonths(static_cast<int>(k)));
            }
        }
    }
    if (panels_.desktopWindow && panels_.desktopWindow->isVisible()) {
        buildAndLower(panels_.desktopPanel, panels_.desktopPaintBox, shown);
    }
}

void CalendarUnit::CalendarPanelResize() {
    if (!panels_.calendarPanel) {
        return;
    }
    const int h = panels_.calendarPanel->height();
    if (panels_.backgroundPaintBox) {
        panels_.backgroundPaintBox->resize(panels_.backgroundPaintBox->width(), h);
    }
    const std::array<int, 3> heights = {panelHeight(panels_.monthPanels[1]),
                                        panelHeight(panels_.monthPanels[2]),
                                        panelHeight(panels_.monthPanels[3])};
    const auto plan = PlanExtraMonthPanels(h, heights);
    for (std::size_t i = 0; i < plan.size(); ++i) {
        QWidget* panel = panels_.monthPanels[i + 1];
        if (!panel) {
            continue;
        }
        if (plan[i].build) {
            setPanelHeight(panel, plan[i].height);
            buildAndLower(panel, panels_.paintBoxes[i + 1],
                          services_.calendarDate().addMonths(static_cast<int>(i + 1)));
            services_.processEvents();
        } else if (plan[i].height == 0) {
            setPanelHeight(panel, 0);
        }
    }
}

void CalendarUnit::NextMonthActionExecute() {
    services_.setCalendarDate(services_.calendarDate().addMonths(1));
    RefreshCalendars();
}

void CalendarUnit::PreviousMonthActionExecute() {
    services_.setCalendarDate(services_.calendarDate().addMonths(-1));
    RefreshCalendars();
}

void CalendarUnit::GoToTodayActionExecute() {
    services_.showDay(MakeDateKey(0, services_.today()));
}

bool CalendarUnit::OpenDayPage(const QString& key) {
    // A key that names no day would leave a row that no calendar shows: refuse it before the
    // selected page is closed.
    if (!isDayKey(key)) {
        throw std::invalid_argument(
            QStringLiteral("'%1' is not a valid day key").arg(key).toStdString());
    }
    if (!services_.locateEntry || !services_.insertEntry || !services_.openEntryPage) {
        return false;
    }
    if (!services_.ctrlHeld() && services_.useCtrlKey()) {
        services_.closeTab();
    }
    if (services_.locateEntry(key)) {
        services_.openEntryPage(key);
        return true;
    }
    services_.insertEntry(key);
    services_.markMonthDay(key);
    RefreshCalendars();
    // A store that cannot find the row it has just written must not make a second one.
    if (!services_.locateEntry(key)) {
        return false;
    }
    services_.openEntryPage(key);
    services_.applyNewDayFont();
    return true;
}

void CalendarUnit::DayLabelMouseEnter(QLabel* label) {
    qb::DayLabelMouseEnter(label, services_.colors());
}

void CalendarUnit::DayLabelMouseLeave(QLabel* label) {
    qb::DayLabelMouseLeave(label, services_.colors());
}

void CalendarUnit::DayLabelMouseDown(QLabel* label) {
    showDay(hint(label));
}

void CalendarUnit::showDay(const QString& key) {
    // An error must not leave through the event loop: show it and go on.
    runGuarded([&] { services_.showDay(key); });
}

bool CalendarUnit::eventFilter(QObject* watched, QEvent* event) {
    auto* label = qobject_cast<QLabel*>(watched);
    if (!label) {
        return QObject::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::Enter:
            DayLabelMouseEnter(label);
            break;
        case QEvent::Leave:
            DayLabelMouseLeave(label);
            break;
        case QEvent::MouseButtonPress:
            DayLabelMouseDown(label);
            return true;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace qb
