#include "tools/DesktopCalendarUnit.h"

#include "platform/ui/Guard.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

TDesktopCalendarForm* DesktopCalendarForm = nullptr;

TDesktopCalendarForm::TDesktopCalendarForm(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("DesktopCalendarForm"));
    setWindowTitle(QStringLiteral("Desktop Calendar"));
    resize(213, 244);
    FormCreate();
}

void TDesktopCalendarForm::FormCreate() {
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->geometry().width() - width() - 100, 0);
    }
}

void TDesktopCalendarForm::FormShow() {
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        if (x() > screen->geometry().width() || y() > screen->geometry().height()) {
            FormCreate();
        }
    }
}

void TDesktopCalendarForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    qb::runGuarded([this] { FormShow(); });
}

void TDesktopCalendarForm::closeEvent(QCloseEvent* event) {
    // Closing only hides: the window lives until the program ends.
    event->ignore();
    qb::runGuarded([this] { CloseImageClick(); });
}

void TDesktopCalendarForm::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0x28, 0x4A, 0x91));
    painter.setPen(Qt::white);
    painter.drawText(rect().adjusted(0, 4, 0, 0), Qt::AlignHCenter | Qt::AlignTop,
                     QStringLiteral("Desktop Calendar"));
}

void TDesktopCalendarForm::CloseImageClick() {
    hide();
    if (MainWindowVisible && !MainWindowVisible() && EndProgram) {
        EndProgram();
    }
}
