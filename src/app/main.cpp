// The program's start: the application, its ten windows in their order, the message loop.
#include "app/MainExtensionUnit.h"
#include "app/MainUnit.h"
#include "app/ProgramInstance.h"
#include "app/ProgramWindows.h"
#include "platform/ui/Application.h"
#include "platform/ui/ProgramStyle.h"
#include "platform/ui/QtDialogs.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The program ends only by its own roads, never because its last window was hidden.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setFont(TMainForm::LayoutFont());
    qb::programStyle();  // before any window, so that no window is polished twice
    qb::QtDialogs boxes;
    qb::setDialogs(&boxes);
    qb::setApplicationTitle(ProductTitle);

    // Before the database is opened and the settings file read: a second copy on the same
    // program folder hands over to the first and ends.
    qb::ProgramInstance instance(QCoreApplication::applicationDirPath() + u'/');
    if (!instance.First()) {
        // The launcher asked for is written also while the diary is open in the running copy.
        if (DesktopShortcutAsked()) {
            CreateDesktopShortcut();
        }
        instance.HandOver();
        return 0;
    }

    // The windows and the database module go with the application, in the reverse order.
    ProgramWindows windows;
    // The main window is shown when the message loop starts; its first show runs the second
    // stage of start-up inside the loop.
    TMainForm* main = &windows.main();
    instance.Serve(*main);
    QTimer::singleShot(0, main, [main] { main->show(); });
    return app.exec();
}
