#include "tools/DesktopCalendarUnit.h"

#include "pages/CalendarUnit.h"
#include "pages/ShadeUnit.h"
#include "platform/ini/IniFile.h"
#include "platform/ui/Components.h"
#include "platform/ui/Guard.h"
#include "platform/ui/ImageControl.h"
#include "platform/ui/PaintBox.h"
#include "platform/ui/Timer.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <climits>

TDesktopCalendarForm* DesktopCalendarForm = nullptr;

namespace qb {

int NextRollHeight(int height, int target) {
    if (height < target) {
        return std::min(height + kRollStep, target);
    }
    return std::max(height - kRollStep, target);
}

QPoint TopRightPlace(const QRect& available, int windowWidth) {
    return {available.x() + available.width() - windowWidth - 100, available.y()};
}

QPoint PlaceOnScreens(const QRect& frame, const std::vector<QRect>& available) {
    if (available.empty()) {
        return frame.topLeft();
    }
    const QRect* nearest = &available.front();
    long long best = LLONG_MAX;
    for (const QRect& screen : available) {
        if (screen.intersects(frame)) {
            return frame.topLeft();
        }
        // The gap between the two rectangles, squared.
        const long long dx =
            std::max({0, screen.left() - frame.right(), frame.left() - screen.right()});
        const long long dy =
            std::max({0, screen.top() - frame.bottom(), frame.top() - screen.bottom()});
        if (dx * dx + dy * dy < best) {
            best = dx * dx + dy * dy;
            nearest = &screen;
        }
    }
    return TopRightPlace(*nearest, frame.width());
}

}  // namespace qb

namespace {

const QString kSection = QStringLiteral("DesktopCalendar");

constexpr qb::TColor kDefaultBackground = 0x00914A28;
constexpr qb::TColor kDefaultHighlight = 0x00E1AF97;

QLabel* newLabel(QWidget* parent, const char* name, const QString& text, const QRect& place) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(place);
    label->setAlignment(Qt::AlignCenter);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
    return label;
}

// Starts a picture of the title strip: a dark rounded square, painted in white from then on.
void beginPicture(QPainter& painter, QPixmap& picture) {
    picture.fill(Qt::transparent);
    painter.begin(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x40, 0x40, 0x40, 0xC0));
    painter.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
    painter.setBrush(Qt::white);
}

QPixmap minimizePicture() {
    QPixmap picture(16, 16);
    QPainter painter;
    beginPicture(painter, picture);
    painter.drawRect(QRectF(4, 10, 8, 2));
    painter.end();
    return picture;
}

// An arrow head pointing down (down = true) or up.
QPixmap arrowPicture(bool down) {
    QPixmap picture(16, 16);
    QPainter painter;
    beginPicture(painter, picture);
    const QPointF head[] = {
        {3.5, down ? 5.5 : 10.5}, {12.5, down ? 5.5 : 10.5}, {8.0, down ? 11.0 : 5.0}};
    painter.drawPolygon(head, 3);
    painter.end();
    return picture;
}

// A shape with a clear brush: an outline only, everything inside shows through.
class OutlineShape : public QWidget {
  public:
    explicit OutlineShape(QWidget* parent) : QWidget(parent) { setMouseTracking(true); }
    QColor pen;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setPen(pen);
        painter.drawRect(0, 0, width() - 1, height() - 1);
    }
};

}  // namespace

TDesktopCalendarForm::TDesktopCalendarForm(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("DesktopCalendarForm"));
    setWindowTitle(QStringLiteral("Desktop Calendar"));
    setFont(qb::calendarFont(8));
    setMinimumSize(qb::kDesktopCalendarWidth, qb::kRolledUpHeight);
    setMaximumSize(qb::kDesktopCalendarWidth, qb::kRolledDownHeight);
    resize(qb::kDesktopCalendarWidth, qb::kRolledDownHeight);

    buildMonthPanel();
    buildTitleStrip();

    AutoSlideUpTimer = new qb::Timer(this, qb::kAutoSlideUpMs);
    AutoSlideUpTimer->setObjectName(QStringLiteral("AutoSlideUpTimer"));
    AutoSlideUpTimer->setOnTimer([this] { AutoSlideUpTimerTimer(); });
    RollTimer = new qb::Timer(this, qb::kRollIntervalMs);
    RollTimer->setObjectName(QStringLiteral("RollTimer"));
    RollTimer->setOnTimer([this] { RollTimerTimer(); });
    FormCreate();
}

TDesktopCalendarForm::~TDesktopCalendarForm() = default;

void TDesktopCalendarForm::buildTitleStrip() {
    Panel13 = new QWidget(this);
    Panel13->setObjectName(QStringLiteral("Panel13"));
    Panel13->setGeometry(0, 0, qb::kDesktopCalendarWidth, qb::kRolledUpHeight);
    PaintBox2 = new qb::PaintBox(Panel13);
    PaintBox2->setObjectName(QStringLiteral("PaintBox2"));
    PaintBox2->setGeometry(Panel13->rect());
    qb::setHint(PaintBox2, QStringLiteral("ShadeBarred"));
    qb::setTag(PaintBox2, 55);
    PaintBox2->setOnPaint([this](qb::PaintBox& box, QPainter& canvas) {
        const qb::TColor base =
            Services.backgroundColor ? Services.backgroundColor() : kDefaultBackground;
        ShadePaintBox(canvas, {box.width(), box.height(), qb::hint(&box), qb::tag(&box)},
                      ShadeTint::TitleStrip(qb::colorToRGB(base)));
    });
    PaintBox2->installEventFilter(this);

    MenuLabel = newLabel(Panel13, "MenuLabel", QStringLiteral("Menu"), QRect(4, 5, 45, 16));
    MenuLabel->setCursor(Qt::PointingHandCursor);
    MenuLabel->installEventFilter(this);

    const auto image = [this](const char* name, int left, const QString& hint,
                              const QPixmap& picture) {
        auto* control = new qb::ImageControl(Panel13);
        control->setObjectName(QString::fromLatin1(name));
        control->move(left, 4);
        control->setPicture(picture);
        qb::setHint(control, hint);
        control->setToolTip(hint);
        // The pressed look: one pixel right and down while a button is held.
        control->onMouseDown = [control] { control->move(control->pos() + QPoint(1, 1)); };
        control->onMouseUp = [control] { control->move(control->pos() - QPoint(1, 1)); };
        return control;
    };
    MinimizeImage = image("MinimizeImage", 150, QStringLiteral("Minimize"), minimizePicture());
    DownImage = image("DownImage", 170, QStringLiteral("Slide Calendar Down"), arrowPicture(true));
    UpImage = image("UpImage", 170, QStringLiteral("Slide Calendar Up"), arrowPicture(false));
    CloseImage = image("CloseImage", 190, QStringLiteral("Close/Exit"), qb::closeImagePicture());
    MinimizeImage->onClick = [this] { MinimizeImageClick(); };
    DownImage->onClick = [this] { DownImageClick(); };
    UpImage->onClick = [this] { UpImageClick(); };
    CloseImage->onClick = [this] { CloseImageClick(); };
    UpImage->raise();  // over DownImage at the start
}

void TDesktopCalendarForm::buildMonthPanel() {
    CalendarPanel1 = new QWidget(this);
    CalendarPanel1->setObjectName(QStringLiteral("CalendarPanel1"));
    CalendarPanel1->setGeometry(0, qb::kRolledUpHeight, qb::kDesktopCalendarWidth, 224);
    CalendarPaintBox1 = new qb::PaintBox(CalendarPanel1);
    CalendarPaintBox1->setObjectName(QStringLiteral("CalendarPaintBox1"));
    CalendarPaintBox1->setGeometry(CalendarPanel1->rect());
    qb::setHint(CalendarPaintBox1, QStringLiteral("ShadeLeftToRight"));
    qb::setTag(CalendarPaintBox1, 40);
    CalendarPaintBox1->setOnPaint([this](qb::PaintBox& box, QPainter& canvas) {
        const qb::TColor base =
            Services.backgroundColor ? Services.backgroundColor() : kDefaultBackground;
        ShadePaintBox(canvas, {box.width(), box.height(), qb::hint(&box), qb::tag(&box)},
                      qb::colorToRGB(base));
    });

    auto* shape = new OutlineShape(CalendarPanel1);
    shape->setObjectName(QStringLiteral("Shape2"));
    shape->setGeometry(CalendarPanel1->rect());
    shape->pen = qb::toQColor(qb::clBackground);
    shape->installEventFilter(this);
    Shape2 = shape;

    // Made after the shape, so that they lie over it and take their own clicks.
    QFont bold = qb::calendarFont(8);
    bold.setBold(true);
    PrevMonthLabel =
        newLabel(CalendarPanel1, "PrevMonthLabel", QStringLiteral("<"), QRect(8, 6, 20, 20));
    NextMonthLabel =
        newLabel(CalendarPanel1, "NextMonthLabel", QStringLiteral(">"), QRect(186, 6, 20, 20));
    for (QLabel* label : {PrevMonthLabel, NextMonthLabel}) {
        label->setFont(bold);
        label->setCursor(Qt::PointingHandCursor);
        label->installEventFilter(this);
    }
    qb::setHint(PrevMonthLabel, QStringLiteral(" Previous month. "));
    PrevMonthLabel->setToolTip(qb::hint(PrevMonthLabel));
    qb::setHint(NextMonthLabel, QStringLiteral(" Next month. "));
    NextMonthLabel->setToolTip(qb::hint(NextMonthLabel));
}

// --- Place ---------------------------------------------------------------------------------

std::vector<QRect> TDesktopCalendarForm::screens() const {
    if (Services.screens) {
        return Services.screens();
    }
    // The primary screen first: the window's home lies on it.
    std::vector<QRect> areas;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary) {
        areas.push_back(primary->availableGeometry());
    }
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen != primary) {
            areas.push_back(screen->availableGeometry());
        }
    }
    return areas;
}

void TDesktopCalendarForm::placeTopRight() {
    const std::vector<QRect> areas = screens();
    move(qb::TopRightPlace(areas.empty() ? QRect(0, 0, 1024, 768) : areas.front(), width()));
}

void TDesktopCalendarForm::FormCreate() {
    placeTopRight();
}

void TDesktopCalendarForm::loadPlace() {
    placeLoaded_ = true;
    storedPlace_ = pos();
    storedRolledUp_ = false;
    const QString path = Services.settingsPath ? Services.settingsPath() : QString();
    if (path.isEmpty()) {
        return;
    }
    const qb::IniFile ini(path);
    const int missing = INT_MIN;
    const int left = ini.readInteger(kSection, QStringLiteral("Left"), missing);
    const int top = ini.readInteger(kSection, QStringLiteral("Top"), missing);
    if (left != missing && top != missing) {
        storedPlace_ = QPoint(left, top);
        move(storedPlace_);
    }
    storedRolledUp_ = ini.readBool(kSection, QStringLiteral("RolledUp"), false);
    if (storedRolledUp_) {
        rollTarget_ = qb::kRolledUpHeight;
        resize(width(), qb::kRolledUpHeight);
        DownImage->raise();
    }
}

void TDesktopCalendarForm::savePlace() {
    const QString path = Services.settingsPath ? Services.settingsPath() : QString();
    if (path.isEmpty() || !placeLoaded_) {
        return;
    }
    // Only what changed is written: a calendar left where it was touches no file.
    const bool rolledUp = rollTarget_ == qb::kRolledUpHeight;
    qb::IniFile ini(path);
    if (pos() != storedPlace_) {
        ini.writeInteger(kSection, QStringLiteral("Left"), x());
        ini.writeInteger(kSection, QStringLiteral("Top"), y());
        storedPlace_ = pos();
    }
    if (rolledUp != storedRolledUp_) {
        ini.writeBool(kSection, QStringLiteral("RolledUp"), rolledUp);
        storedRolledUp_ = rolledUp;
    }
}

void TDesktopCalendarForm::FormShow() {
    if (!placeLoaded_) {
        loadPlace();
    }
    // A place on no screen (a monitor unplugged, a screen made smaller) comes back to the top
    // right; any place that shows some of the window stays.
    move(qb::PlaceOnScreens(QRect(pos(), QSize(width(), qb::kRolledDownHeight)), screens()));
}

void TDesktopCalendarForm::PaintBox2DblClick() {
    placeTopRight();
}

// --- Roll ----------------------------------------------------------------------------------

bool TDesktopCalendarForm::Rolling() const {
    return RollTimer->isEnabled();
}

qb::ImageControl* TDesktopCalendarForm::FrontRollImage() const {
    // Of two siblings, the one later in the child list lies in front.
    const QObjectList& children = Panel13->children();
    return children.indexOf(UpImage) > children.indexOf(DownImage) ? UpImage : DownImage;
}

void TDesktopCalendarForm::SetAlpha(int alpha) {
    alpha_ = std::clamp(alpha, 0, 255);
    if (!Rolling()) {
        setWindowOpacity(alpha_ / 255.0);
    }
}

void TDesktopCalendarForm::rollTo(int target) {
    if (Services.playSound) {
        Services.playSound(QStringLiteral("START"));
    }
    // A new command takes over a roll under way: the window turns towards the new target.
    rollTarget_ = target;
    if (height() == target) {
        finishRoll();
        return;
    }
    setWindowOpacity(1.0);  // no blending while the height changes
    RollTimer->setEnabled(true);
}

void TDesktopCalendarForm::RollTimerTimer() {
    const int next = qb::NextRollHeight(height(), rollTarget_);
    resize(width(), next);
    if (next == rollTarget_) {
        finishRoll();
    }
}

void TDesktopCalendarForm::finishRoll() {
    RollTimer->setEnabled(false);
    if (height() != rollTarget_) {
        resize(width(), rollTarget_);
    }
    setWindowOpacity(alpha_ / 255.0);
    (rollTarget_ == qb::kRolledDownHeight ? UpImage : DownImage)->raise();
}

void TDesktopCalendarForm::DownImageClick() {
    rollTo(qb::kRolledDownHeight);
}

void TDesktopCalendarForm::UpImageClick() {
    rollTo(qb::kRolledUpHeight);
}

void TDesktopCalendarForm::AutoSlideUpTimerTimer() {
    AutoSlideUpTimer->setEnabled(false);
    if (Services.autoSlideUp && Services.autoSlideUp()) {
        UpImageClick();
    }
}

void TDesktopCalendarForm::FormDeactivate() {
    AutoSlideUpTimer->setEnabled(true);  // a countdown under way goes on
}

void TDesktopCalendarForm::Shape2MouseMove() {
    if (Services.autoSlideUp && Services.autoSlideUp()) {
        AutoSlideUpTimer->setEnabled(false);
        AutoSlideUpTimer->setEnabled(true);
    }
}

// --- Commands ------------------------------------------------------------------------------

void TDesktopCalendarForm::MenuLabelClick() {
    if (Services.showMenu) {
        Services.showMenu(
            Panel13->mapToGlobal(QPoint(2, MenuLabel->y() + MenuLabel->height() + 5)));
    }
    hoverLabel(MenuLabel, false);
}

void TDesktopCalendarForm::PrevMonthLabelMouseDown() {
    if (Services.previousMonth) {
        Services.previousMonth();
    }
}

void TDesktopCalendarForm::NextMonthLabelMouseDown() {
    if (Services.nextMonth) {
        Services.nextMonth();
    }
}

void TDesktopCalendarForm::MinimizeImageClick() {
    setWindowState(windowState() | Qt::WindowMinimized);
}

void TDesktopCalendarForm::ShowRestored() {
    show();
    if (windowState() & Qt::WindowMinimized) {
        setWindowState(windowState() & ~Qt::WindowMinimized);
    }
    raise();
}

void TDesktopCalendarForm::CloseImageClick() {
    hide();
    bool ending = Services.mainWindowVisible && !Services.mainWindowVisible();
    // A page whose text could not be saved keeps the program running, with that page in view.
    if (ending && Services.closePagesForExit && !Services.closePagesForExit()) {
        ending = false;
    }
    // A file that cannot be written is reported once, and the program still ends.
    qb::runGuarded([&] {
        if (ending && Services.writeExitKeys) {
            Services.writeExitKeys();
        }
        savePlace();
    });
    if (ending && Services.endProgram) {
        Services.endProgram();
    }
}

void TDesktopCalendarForm::FormHide() {
    AutoSlideUpTimer->setEnabled(false);
    // A roll under way ends at its target: the window never stays half rolled.
    if (Rolling()) {
        finishRoll();
    }
}

// --- Events --------------------------------------------------------------------------------

void TDesktopCalendarForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    qb::runGuarded([this] { FormShow(); });
}

void TDesktopCalendarForm::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    qb::runGuarded([this] { FormHide(); });
}

void TDesktopCalendarForm::closeEvent(QCloseEvent* event) {
    // Closing only hides: the window lives until the program ends.
    event->ignore();
    qb::runGuarded([this] { CloseImageClick(); });
}

void TDesktopCalendarForm::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isVisible() && !isActiveWindow()) {
        qb::runGuarded([this] { FormDeactivate(); });
    }
}

void TDesktopCalendarForm::hoverLabel(QLabel* label, bool on) {
    if (on) {
        QPalette palette = label->palette();
        palette.setColor(
            QPalette::Window,
            qb::toQColor(Services.highlightColor ? Services.highlightColor() : kDefaultHighlight));
        label->setPalette(palette);
    }
    label->setAutoFillBackground(on);
}

void TDesktopCalendarForm::PaintBox2MouseDown(const QMouseEvent& mouse) {
    // The drag itself starts at the first real move (see titleStripMouse).
    if (mouse.button() == Qt::LeftButton) {
        dragState_ = DragState::Pressed;
        dragOffset_ = mouse.globalPosition().toPoint() - pos();
    }
}

bool TDesktopCalendarForm::titleStripMouse(QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonDblClick:
            qb::runGuarded([this] { PaintBox2DblClick(); });
            return true;
        case QEvent::MouseButtonPress:
            PaintBox2MouseDown(*static_cast<QMouseEvent*>(event));
            return true;
        case QEvent::MouseMove: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (!(mouse->buttons() & Qt::LeftButton) || dragState_ == DragState::None) {
                return true;
            }
            const QPoint to = mouse->globalPosition().toPoint() - dragOffset_;
            if (dragState_ == DragState::Pressed) {
                // The window manager moves the window once the mouse really moves (so that a
                // double click still reaches the strip); where it cannot, the window follows
                // the mouse by hand until the button is released.
                if ((to - pos()).manhattanLength() < QApplication::startDragDistance()) {
                    return true;
                }
                if (windowHandle() && windowHandle()->startSystemMove()) {
                    dragState_ = DragState::None;
                    return true;
                }
                dragState_ = DragState::ByHand;
            }
            move(to);
            return true;
        }
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                dragState_ = DragState::None;
            }
            return true;
        default:
            return false;
    }
}

bool TDesktopCalendarForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == PaintBox2) {
        return titleStripMouse(event) || QWidget::eventFilter(watched, event);
    }
    if (watched == Shape2 && event->type() == QEvent::MouseMove) {
        qb::runGuarded([this] { Shape2MouseMove(); });
        return false;
    }
    auto* label = qobject_cast<QLabel*>(watched);
    if (label && (label == MenuLabel || label == PrevMonthLabel || label == NextMonthLabel)) {
        switch (event->type()) {
            case QEvent::Enter:
                hoverLabel(label, true);
                break;
            case QEvent::Leave:
                hoverLabel(label, false);
                break;
            case QEvent::MouseButtonPress:
                qb::runGuarded([this, label] {
                    if (label == PrevMonthLabel) {
                        PrevMonthLabelMouseDown();
                    } else if (label == NextMonthLabel) {
                        NextMonthLabelMouseDown();
                    }
                });
                return true;
            case QEvent::MouseButtonRelease:
                if (label == MenuLabel &&
                    static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
                    label->rect().contains(
                        static_cast<QMouseEvent*>(event)->position().toPoint())) {
                    qb::runGuarded([this] { MenuLabelClick(); });
                }
                return true;
            default:
                break;
        }
    }
    return QWidget::eventFilter(watched, event);
}
