// The program block: the application, its ten windows in their order, the message loop.
#include "app/MainExtensionUnit.h"
#include "app/MainUnit.h"
#include "dialogs/AboutUnit.h"
#include "dialogs/MessageUnit.h"
#include "dialogs/OptionsUnit.h"
#include "dialogs/PasswordUnit.h"
#include "dialogs/SplashUnit.h"
#include "platform/ui/Application.h"
#include "platform/ui/ProgramStyle.h"
#include "platform/ui/QtDialogs.h"
#include "store/DatabaseUnit.h"
#include "tools/DesktopCalendarUnit.h"
#include "tools/PictureUnit.h"
#include "tools/SearchUnit.h"

#include <QApplication>
#include <QTimer>

#include <memory>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The program ends only by its own roads, never because its last window was hidden.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setFont(TMainForm::LayoutFont());
    qb::programStyle();  // before any window, so that no window is polished twice
    qb::QtDialogs boxes;
    qb::setDialogs(&boxes);
    qb::setApplicationTitle(ProductTitle);

    // Creating the main window runs the first stage of start-up.
    auto mainForm = std::make_unique<TMainForm>();
    auto passwordForm = std::make_unique<TPasswordForm>();
    PasswordForm = passwordForm.get();
    auto dataModule = std::make_unique<TDataModule1>(AppFolder, *EntryCipher);
    DataModule1 = dataModule.get();
    auto searchForm = std::make_unique<TSearchForm>();
    SearchForm = searchForm.get();
    auto messageForm = std::make_unique<TMessageForm>();
    MessageForm = messageForm.get();
    auto splashForm = std::make_unique<TSplashForm>();
    SplashForm = splashForm.get();
    auto optionsForm = std::make_unique<TOptionsForm>();
    OptionsForm = optionsForm.get();
    auto pictureForm = std::make_unique<TPictureForm>();
    PictureForm = pictureForm.get();
    auto desktopCalendarForm = std::make_unique<TDesktopCalendarForm>();
    DesktopCalendarForm = desktopCalendarForm.get();
    auto aboutForm = std::make_unique<TAboutForm>();
    AboutForm = aboutForm.get();
    ConnectProgramWindows();

    // The main window is shown when the message loop starts; its first show runs the second
    // stage of start-up inside the loop.
    QTimer::singleShot(0, mainForm.get(), [main = mainForm.get()] { main->show(); });
    const int result = app.exec();

    // The windows and the database module go with the application, in the reverse order.
    AboutForm = nullptr;
    aboutForm.reset();
    DesktopCalendarForm = nullptr;
    desktopCalendarForm.reset();
    PictureForm = nullptr;
    pictureForm.reset();
    OptionsForm = nullptr;
    optionsForm.reset();
    SplashForm = nullptr;
    splashForm.reset();
    MessageForm = nullptr;
    messageForm.reset();
    SearchForm = nullptr;
    searchForm.reset();
    DataModule1 = nullptr;
    dataModule.reset();
    PasswordForm = nullptr;
    passwordForm.reset();
    mainForm.reset();
    return result;
}
