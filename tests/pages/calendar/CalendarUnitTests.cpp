#include "pages/CalendarUnit.h"

#include "pages/ShadeUnit.h"
#include "platform/ui/Components.h"
#include "platform/ui/PaintBox.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QEnterEvent>
#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include <algorithm>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << text.toStdString();
}

namespace qb {
namespace {

const CalendarColors kColors{0x00E1AF97, 0x00914A28, 0x00FFFFFF};

// A month store of Days texts and a day store of Entry rows, with a log of what was asked.
struct FakeDiary {
    std::map<QString, QString> monthDays;  // "YYYYMM" -> Days
    std::map<QString, QString> entries;    // day key -> stored text
    std::vector<std::string> log;
    bool rowsCanBeFound = true;
    bool insertFails = false;

    void markMonthDay(const QString& key) {
        log.push_back("mark " + key.toStdString());
        QString& days = monthDays[key.left(6)];
        if (days.isEmpty()) {
            days = QStringLiteral(";");
        }
        if (!days.contains(key.mid(6, 2))) {
            days += key.mid(6, 2) + QLatin1Char(';');
        }
    }
};

// The calendar side panel of the main window in small: four month panels stacked under a
// title strip, each over its shading paint box, and a background paint box behind them.
struct SidePanel {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    QWidget* calendarPanel = nullptr;
    std::array<QWidget*, 4> months{};
    std::array<QWidget*, 4> boxes{};
    QWidget* background = nullptr;
    QWidget* column = nullptr;

    SidePanel() {
        window->resize(219, 900);
        calendarPanel = new QWidget(window.get());
        calendarPanel->setGeometry(0, 0, 219, 900);
        background = shaded(calendarPanel, 25);
        // Top-aligned panels that keep their heights and are cut off at the panel's bottom.
        column = new QWidget(calendarPanel);
        column->move(0, 26);
        auto* layout = new QVBoxLayout(column);
        layout->setSizeConstraint(QLayout::SetFixedSize);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        for (std::size_t i = 0; i < 4; ++i) {
            months[i] = new QWidget(column);
            months[i]->setObjectName(QStringLiteral("CalendarPanel%1").arg(i + 1));
            months[i]->setFixedSize(219, 218);
            boxes[i] = shaded(months[i], 20);
            layout->addWidget(months[i]);
        }
    }

    // Where a point of month panel i lies in the side panel.
    QRect inSidePanel(std::size_t i, const QRect& r) const {
        return r.translated(months[i]->mapTo(calendarPanel, QPoint(0, 0)));
    }

    // A background paint box shaded from left to right as the main window paints it.
    static PaintBox* shaded(QWidget* parent, int steps) {
        auto* box = new PaintBox(parent);
        box->setGeometry(0, 0, 219, 900);
        box->setOnPaint([steps](PaintBox& sender, QPainter& canvas) {
            ShadePaintBox(canvas, ShadeBox{sender.width(), sender.height(), QString(), steps},
                          kColors.background);
        });
        return box;
    }

    CalendarPanels panels() const {
        CalendarPanels p;
        p.calendarPanel = calendarPanel;
        for (std::size_t i = 0; i < 4; ++i) {
            p.monthPanels[i] = months[i];
            p.paintBoxes[i] = boxes[i];
        }
        p.backgroundPaintBox = background;
        return p;
    }
};

class CalendarTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(pictures.isValid());
        calendarDate = QDate(2005, 10, 1);
        CalendarServices s;
        s.monthDays = [this](const QString& key) {
            const auto it = diary.monthDays.find(key);
            return it == diary.monthDays.end() ? QString() : it->second;
        };
        s.colors = [] { return kColors; };
        s.appFolder = [this] { return pictures.path() + QLatin1Char('/'); };
        s.today = [this] { return today; };
        s.calendarDate = [this] { return calendarDate; };
        s.setCalendarDate = [this](const QDate& d) { calendarDate = d; };
        s.ctrlHeld = [this] { return ctrlHeld; };
        s.useCtrlKey = [this] { return useCtrlKey; };
        s.closeTab = [this] { diary.log.push_back("close"); };
        s.locateEntry = [this](const QString& key) {
            diary.log.push_back("locate " + key.toStdString());
            return diary.rowsCanBeFound && diary.entries.count(key) > 0;
        };
        s.insertEntry = [this](const QString& key) {
            diary.log.push_back("insert " + key.toStdString());
            if (diary.insertFails) {
                throw std::runtime_error("Cannot update the database: it is read-only.");
            }
            diary.entries[key] = QString();
        };
        s.markMonthDay = [this](const QString& key) { diary.markMonthDay(key); };
        s.openEntryPage = [this](const QString& key) {
            diary.log.push_back("open " + key.toStdString());
        };
        s.applyNewDayFont = [this] { diary.log.push_back("font"); };
        s.processEvents = [] {};
        unit = std::make_unique<CalendarUnit>(std::move(s));
        unit->setPanels(side.panels());
    }

    void makePictureFolder(const QString& key) {
        ASSERT_TRUE(QDir(pictures.path())
                        .mkpath(QStringLiteral("Pictures/%1/%2/%3")
                                    .arg(key.left(4), key.mid(4, 2), key.mid(6, 2))));
    }

    static QLabel* day(QWidget* panel, int d) {
        return panel->findChild<QLabel*>(QStringLiteral("Day%1Label").arg(d),
                                         Qt::FindDirectChildrenOnly);
    }
    static std::vector<CalendarShape*> marks(QWidget* panel) {
        const auto found =
            panel->findChildren<CalendarShape*>(QString(), Qt::FindDirectChildrenOnly);
        return {found.begin(), found.end()};
    }
    static QString caption(QWidget* panel) {
        QLabel* label = panel->findChild<QLabel*>(QStringLiteral("MonthLabel"));
        return label ? label->text() : QString();
    }
    static QColor textColor(QLabel* label) { return label->palette().color(QPalette::WindowText); }

    QTemporaryDir pictures;
    FakeDiary diary;
    SidePanel side;
    QDate today{2005, 10, 12};
    QDate calendarDate;
    bool ctrlHeld = false;
    bool useCtrlKey = false;
    std::unique_ptr<CalendarUnit> unit;
};

TEST_F(CalendarTest, FirstBuildMakesCaptionWeekdaysAndDayLabels) {
    QWidget* panel = side.months[0];
    unit->BuildMonthCalendar(panel, QDate(2005, 10, 20));

    EXPECT_EQ(tag(panel), 1);
    auto* month = panel->findChild<QLabel*>(QStringLiteral("MonthLabel"));
    ASSERT_NE(month, nullptr);
    EXPECT_EQ(month->text(), QStringLiteral("October 2005"));
    EXPECT_EQ(month->geometry(), QRect(26, 6, 160, 22));
    EXPECT_EQ(textColor(month), toQColor(kColors.backgroundFont));

    QStringList weekdays;
    for (QLabel* label : panel->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (label->objectName().isEmpty()) {
            weekdays << label->text();
            EXPECT_EQ(label->y(), 30);
            EXPECT_EQ(label->x(), 18 + 26 * (weekdays.size() - 1));
            EXPECT_EQ(label->width(), 20);
            EXPECT_EQ(tag(label), 999);
        }
    }
    EXPECT_EQ(weekdays.join(QLatin1Char(' ')), QStringLiteral("Su Mo Tu We Th Fr Sa"));

    QLabel* first = day(panel, 1);
    QLabel* last = day(panel, 31);
    ASSERT_TRUE(first && last);
    EXPECT_EQ(first->geometry(), QRect(18 + 26 * 6, 53, 24, 24));
    EXPECT_EQ(last->geometry(), QRect(18 + 26, 53 + 130, 24, 24));
    EXPECT_EQ(hint(last), QStringLiteral("20051031"));
    EXPECT_EQ(last->text(), QStringLiteral("31"));
    EXPECT_EQ(tag(last), 999);
    EXPECT_EQ(last->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_TRUE(last->isVisibleTo(panel));
    EXPECT_TRUE(marks(panel).empty());
}

TEST_F(CalendarTest, MarksDaysOfTheListAndHatchesThoseWithPictures) {
    diary.monthDays[QStringLiteral("200510")] = QStringLiteral(";05;;12;");
    makePictureFolder(QStringLiteral("20051012"));
    makePictureFolder(QStringLiteral("20051020"));  // pictures without an entry: no mark
    QWidget* panel = side.months[0];
    unit->BuildMonthCalendar(panel, calendarDate);

    const auto found = marks(panel);
    ASSERT_EQ(found.size(), 2u);
    std::map<QString, CalendarShape*> byHint;
    for (CalendarShape* mark : found) {
        byHint[hint(mark)] = mark;
        EXPECT_EQ(tag(mark), 999);
        EXPECT_EQ(mark->penColor(), toQColor(kColors.highlight));
        EXPECT_EQ(mark->geometry(), day(panel, hint(mark).right(2).toInt())->geometry());
    }
    ASSERT_TRUE(byHint.count(QStringLiteral("20051005")) &&
                byHint.count(QStringLiteral("20051012")));
    EXPECT_EQ(byHint[QStringLiteral("20051005")]->objectName(), QStringLiteral("DayShape0"));
    EXPECT_FALSE(byHint[QStringLiteral("20051005")]->hatched());
    EXPECT_EQ(byHint[QStringLiteral("20051012")]->objectName(), QStringLiteral("DayShape1"));
    EXPECT_TRUE(byHint[QStringLiteral("20051012")]->hatched());
    EXPECT_EQ(byHint[QStringLiteral("20051012")]->hatchColor(), toQColor(0x00CD9B83));
    // The marks lie behind the labels.
    const QObjectList order = panel->children();
    EXPECT_LT(order.indexOf(byHint[QStringLiteral("20051012")]), order.indexOf(day(panel, 12)));
}

TEST_F(CalendarTest, RebuildReusesLabelsHidesMissingDaysAndRemakesMarks) {
    QWidget* panel = side.months[0];
    diary.monthDays[QStringLiteral("200510")] = QStringLiteral(";05;30;31;");
    diary.monthDays[QStringLiteral("200502")] = QStringLiteral(";14;");
    unit->BuildMonthCalendar(panel, QDate(2005, 10, 1));
    QLabel* label29 = day(panel, 29);
    const int labelsAfterFirst =
        panel->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly).size();

    unit->BuildMonthCalendar(panel, QDate(2005, 2, 1));
    EXPECT_EQ(caption(panel), QStringLiteral("February 2005"));
    for (int d : {29, 30, 31}) {
        EXPECT_FALSE(day(panel, d)->isVisibleTo(panel)) << d;
    }
    ASSERT_EQ(marks(panel).size(), 1u);
    EXPECT_EQ(hint(marks(panel)[0]), QStringLiteral("20050214"));
    EXPECT_EQ(marks(panel)[0]->objectName(), QStringLiteral("DayShape0"));

    unit->BuildMonthCalendar(panel, QDate(2005, 10, 1));
    EXPECT_EQ(day(panel, 29), label29);
    EXPECT_EQ(panel->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly).size(),
              labelsAfterFirst);
    EXPECT_TRUE(day(panel, 31)->isVisibleTo(panel));
    EXPECT_EQ(day(panel, 31)->geometry(), QRect(18 + 26, 53 + 130, 24, 24));
    EXPECT_EQ(marks(panel).size(), 3u);
}

TEST_F(CalendarTest, TodayIsLimeAndBoldOnlyInItsOwnMonth) {
    QWidget* panel = side.months[0];
    unit->BuildMonthCalendar(panel, QDate(2005, 10, 1));
    EXPECT_EQ(textColor(day(panel, 12)), toQColor(clLime));
    EXPECT_TRUE(day(panel, 12)->font().bold());
    EXPECT_EQ(textColor(day(panel, 11)), toQColor(kColors.highlight));
    EXPECT_FALSE(day(panel, 11)->font().bold());

    unit->BuildMonthCalendar(panel, QDate(2006, 10, 1));
    EXPECT_EQ(textColor(day(panel, 12)), toQColor(kColors.highlight));
    EXPECT_FALSE(day(panel, 12)->font().bold());
}

TEST_F(CalendarTest, HoverColoursAndTodayStaysLime) {
    QWidget* panel = side.months[0];
    unit->BuildMonthCalendar(panel, QDate(2005, 10, 1));
    const QPointF at(5, 5);
    for (int d : {11, 12}) {
        QLabel* label = day(panel, d);
        const QColor before = textColor(label);
        QEnterEvent enter(at, at, at);
        QCoreApplication::sendEvent(label, &enter);
        EXPECT_TRUE(label->autoFillBackground()) << d;
        EXPECT_EQ(label->palette().color(QPalette::Window), toQColor(kColors.highlight));
        EXPECT_EQ(textColor(label), d == 12 ? toQColor(clLime) : toQColor(kColors.background));
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(label, &leave);
        EXPECT_FALSE(label->autoFillBackground()) << d;
        EXPECT_EQ(textColor(label), before) << d;
    }
}

TEST_F(CalendarTest, MouseDownOnADayShowsItForAnyButton) {
    std::vector<QString> shown;
    unit->services().showDay = [&](const QString& key) { shown.push_back(key); };
    QWidget* panel = side.months[0];
    unit->BuildMonthCalendar(panel, QDate(2005, 10, 1));
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
        const QPointF at(5, 5);
        QMouseEvent press(QEvent::MouseButtonPress, at, at, at, button, button, Qt::NoModifier);
        QCoreApplication::sendEvent(day(panel, 7), &press);
    }
    EXPECT_EQ(shown,
              (std::vector<QString>{QStringLiteral("20051007"), QStringLiteral("20051007")}));
}

TEST_F(CalendarTest, AnErrorWhileShowingADayIsReportedNotThrownIntoTheEventLoop) {
    ScriptedDialogs boxes;
    unit->services().showDay = [](const QString&) { throw std::runtime_error("locked"); };
    unit->BuildMonthCalendar(side.months[0], QDate(2005, 10, 1));
    const QPointF at(5, 5);
    QMouseEvent press(QEvent::MouseButtonPress, at, at, at, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(day(side.months[0], 3), &press);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].text.startsWith(QStringLiteral("locked")));
}

TEST_F(CalendarTest, ResizeShowsOneToFourMonthsByHeight) {
    struct Case {
        int height;
        std::array<int, 3> heights;
    };
    const Case cases[] = {{335, {0, 0, 0}},     {336, {224, 0, 0}},    {553, {224, 0, 0}},
                          {554, {224, 224, 0}}, {771, {224, 224, 0}},  {772, {224, 224, 224}},
                          {335, {0, 0, 0}},     {772, {224, 224, 224}}};
    const QString kFollowing[] = {QStringLiteral("November 2005"), QStringLiteral("December 2005"),
                                  QStringLiteral("January 2006")};
    for (const Case& c : cases) {
        side.calendarPanel->resize(219, c.height);
        unit->CalendarPanelResize();
        EXPECT_EQ(side.background->height(), c.height);
        for (std::size_t i = 0; i < 3; ++i) {
            QWidget* panel = side.months[i + 1];
            EXPECT_EQ(panel->height(), c.heights[i]) << c.height << " panel " << i + 2;
            if (c.heights[i] > 0) {
                EXPECT_EQ(caption(panel), kFollowing[i]) << c.height;
            }
        }
    }
}

TEST_F(CalendarTest, ResizeDoesNotRebuildAShownMonth) {
    // The layout gives the panels a height, so the first resize builds nothing.
    side.calendarPanel->resize(219, 400);
    unit->CalendarPanelResize();
    EXPECT_EQ(tag(side.months[1]), 0);
    side.calendarPanel->resize(219, 300);
    unit->CalendarPanelResize();
    side.calendarPanel->resize(219, 400);
    unit->CalendarPanelResize();
    ASSERT_EQ(caption(side.months[1]), QStringLiteral("November 2005"));
    calendarDate = QDate(2006, 1, 1);
    side.calendarPanel->resize(219, 420);
    unit->CalendarPanelResize();
    EXPECT_EQ(caption(side.months[1]), QStringLiteral("November 2005"));
    unit->RefreshCalendars();
    EXPECT_EQ(caption(side.months[1]), QStringLiteral("February 2006"));
}

TEST_F(CalendarTest, RefreshBuildsShownMonthsAndLowersTheirShading) {
    side.months[2]->setFixedHeight(0);
    side.months[2]->resize(219, 0);
    unit->RefreshCalendars();
    EXPECT_EQ(caption(side.months[0]), QStringLiteral("October 2005"));
    EXPECT_EQ(caption(side.months[1]), QStringLiteral("November 2005"));
    EXPECT_EQ(tag(side.months[2]), 0);
    EXPECT_EQ(caption(side.months[3]), QStringLiteral("January 2006"));
    EXPECT_EQ(side.months[0]->children().first(), side.boxes[0]);

    side.calendarPanel->hide();
    unit->NextMonthActionExecute();
    EXPECT_EQ(calendarDate, QDate(2005, 11, 1));
    EXPECT_EQ(caption(side.months[0]), QStringLiteral("October 2005"));
}

TEST_F(CalendarTest, RefreshBuildsTheDesktopCalendarOnlyWhileItShows) {
    QWidget desktop;
    auto* panel = new QWidget(&desktop);
    auto* box = new QWidget(panel);
    CalendarPanels panels = side.panels();
    panels.desktopWindow = &desktop;
    panels.desktopPanel = panel;
    panels.desktopPaintBox = box;
    unit->setPanels(panels);

    unit->RefreshCalendars();
    EXPECT_EQ(tag(panel), 0);
    desktop.show();
    unit->RefreshCalendars();
    EXPECT_EQ(caption(panel), QStringLiteral("October 2005"));
    EXPECT_EQ(panel->children().first(), box);
}

TEST_F(CalendarTest, MonthActionsMoveTheShownMonthAndTodayOpensToday) {
    std::vector<QString> shown;
    unit->services().showDay = [&](const QString& key) { shown.push_back(key); };
    calendarDate = QDate(2005, 1, 31);
    unit->NextMonthActionExecute();
    EXPECT_EQ(calendarDate, QDate(2005, 2, 28));
    EXPECT_EQ(caption(side.months[0]), QStringLiteral("February 2005"));
    unit->PreviousMonthActionExecute();
    unit->PreviousMonthActionExecute();
    EXPECT_EQ(calendarDate, QDate(2004, 12, 28));
    EXPECT_EQ(caption(side.months[0]), QStringLiteral("December 2004"));

    unit->GoToTodayActionExecute();
    EXPECT_EQ(shown, std::vector<QString>{QStringLiteral("20051012")});
    EXPECT_EQ(calendarDate, QDate(2004, 12, 28));
}

TEST_F(CalendarTest, OpeningAnExistingDayOpensItsRowOnly) {
    diary.entries[QStringLiteral("20051005")] = QStringLiteral("{\\rtf1 x}");
    EXPECT_TRUE(unit->OpenDayPage(QStringLiteral("20051005")));
    EXPECT_EQ(diary.log, (std::vector<std::string>{"locate 20051005", "open 20051005"}));
}

TEST_F(CalendarTest, OpeningANewDayMakesItsRowAndMarkThenOpensItInTheDefaultFont) {
    diary.monthDays[QStringLiteral("200510")] = QStringLiteral(";;12;");
    EXPECT_TRUE(unit->OpenDayPage(QStringLiteral("20051005")));
    EXPECT_EQ(diary.log,
              (std::vector<std::string>{"locate 20051005", "insert 20051005", "mark 20051005",
                                        "locate 20051005", "open 20051005", "font"}));
    EXPECT_EQ(diary.monthDays[QStringLiteral("200510")], QStringLiteral(";;12;05;"));
    // The calendars were redrawn with the new mark.
    std::vector<QString> hints;
    for (CalendarShape* mark : marks(side.months[0])) {
        hints.push_back(hint(mark));
    }
    std::sort(hints.begin(), hints.end());
    EXPECT_EQ(hints,
              (std::vector<QString>{QStringLiteral("20051005"), QStringLiteral("20051012")}));
}

TEST_F(CalendarTest, CtrlKeyRuleClosesExactlyTheSelectedPage) {
    struct Case {
        bool useCtrlKey;
        bool ctrlHeld;
        bool newDay;
        int closes;
    };
    const Case cases[] = {{true, false, false, 1},  {true, false, true, 1},
                          {true, true, false, 0},   {true, true, true, 0},
                          {false, false, false, 0}, {false, false, true, 0}};
    for (const Case& c : cases) {
        diary.log.clear();
        diary.entries.clear();
        if (!c.newDay) {
            diary.entries[QStringLiteral("20051005")] = QString();
        }
        useCtrlKey = c.useCtrlKey;
        ctrlHeld = c.ctrlHeld;
        EXPECT_TRUE(unit->OpenDayPage(QStringLiteral("20051005")));
        EXPECT_EQ(std::count(diary.log.begin(), diary.log.end(), "close"), c.closes)
            << c.useCtrlKey << c.ctrlHeld << c.newDay;
        if (c.closes) {
            EXPECT_EQ(diary.log.front(), "close");
        }
    }
}

TEST_F(CalendarTest, ARowThatCannotBeFoundAgainIsNotMadeTwice) {
    diary.rowsCanBeFound = false;
    EXPECT_FALSE(unit->OpenDayPage(QStringLiteral("20051005")));
    EXPECT_EQ(std::count(diary.log.begin(), diary.log.end(), "insert 20051005"), 1);
    EXPECT_EQ(std::count(diary.log.begin(), diary.log.end(), "open 20051005"), 0);
}

TEST_F(CalendarTest, AFailedInsertOpensNothingAndMarksNothing) {
    diary.insertFails = true;
    EXPECT_THROW(unit->OpenDayPage(QStringLiteral("20051005")), std::runtime_error);
    EXPECT_EQ(diary.log, (std::vector<std::string>{"locate 20051005", "insert 20051005"}));
    EXPECT_TRUE(diary.monthDays.empty());
}

TEST_F(CalendarTest, AKeyThatNamesNoDayIsRefusedBeforeAnythingIsClosed) {
    useCtrlKey = true;
    for (const char* key : {"2005105", "200510051", "2005a005", "20050230", "20051300", ""}) {
        EXPECT_THROW(unit->OpenDayPage(QString::fromLatin1(key)), std::invalid_argument) << key;
    }
    EXPECT_TRUE(diary.log.empty());
}

TEST_F(CalendarTest, RenderedMarksShowTheOutlineAndOnlyPictureDaysAreHatched) {
    diary.monthDays[QStringLiteral("200510")] = QStringLiteral(";05;;12;21;");
    makePictureFolder(QStringLiteral("20051012"));
    makePictureFolder(QStringLiteral("20051021"));
    side.window->show();
    side.calendarPanel->resize(219, 560);
    unit->CalendarPanelResize();
    unit->RefreshCalendars();
    const QImage image = side.calendarPanel->grab().toImage();
    if (const QString out = qEnvironmentVariable("QB_CALENDAR_SHOT"); !out.isEmpty()) {
        image.save(out);
    }
    const QColor hatch = toQColor(0x00CD9B83);
    const auto hatchPixels = [&](int d) {
        const QRect r = side.inSidePanel(0, day(side.months[0], d)->geometry());
        int count = 0;
        for (int y = r.top() + 1; y < r.bottom(); ++y) {
            for (int x = r.left() + 1; x < r.right(); ++x) {
                count += image.pixelColor(x, y) == hatch ? 1 : 0;
            }
        }
        return count;
    };
    const QRect r5 = side.inSidePanel(0, day(side.months[0], 5)->geometry());
    EXPECT_EQ(image.pixelColor(r5.topLeft()), toQColor(kColors.highlight));
    EXPECT_EQ(hatchPixels(5), 0);
    EXPECT_GT(hatchPixels(12), 20);
    EXPECT_GT(hatchPixels(21), 20);
}

}  // namespace
}  // namespace qb
