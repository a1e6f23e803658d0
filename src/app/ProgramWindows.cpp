#include "app/ProgramWindows.h"

#include "app/MainExtensionUnit.h"
#include "app/MainUnit.h"
#include "dialogs/AboutUnit.h"
#include "dialogs/MessageUnit.h"
#include "dialogs/OptionsUnit.h"
#include "dialogs/PasswordUnit.h"
#include "dialogs/SplashUnit.h"
#include "menupaint/FlatMenuManager.h"
#include "store/DatabaseUnit.h"
#include "tools/DesktopCalendarUnit.h"
#include "tools/PictureUnit.h"
#include "tools/SearchUnit.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace {

// Keeps a dialog above the main window while the main window shows: the window manager is told
// that the main window owns it, so that a main window that stays on top cannot hide the modal
// dialog that holds the keyboard. The owner is named at every opening, as the main window's own
// window is made anew when it is pinned on top or let go. The dialogs keep their own places.
class OwnedByMainWindow : public QObject {
  public:
    OwnedByMainWindow(QWidget* dialog, QWidget* main) : QObject(dialog), main_(main) {
        dialog->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            if (QWindow* window = static_cast<QWidget*>(watched)->windowHandle()) {
                // Not while the main window's own window is yet to be shown: the log-in comes
                // from the main window's first show, before its window is on the screen.
                QWindow* owner = main_->windowHandle();
                window->setTransientParent(owner && owner->isVisible() ? owner : nullptr);
            }
        }
        return false;
    }

  private:
    QWidget* main_;
};

// Creates one window and points its global variable at it.
template <typename T>
void create(std::unique_ptr<T>& owner, T*& global) {
    owner = std::make_unique<T>();
    global = owner.get();
}

// Points the global at a maker of the window: the window is made at its first use and then
// readied (wired into the program).
template <typename T, typename Ready>
void createOnFirstUse(std::unique_ptr<T>& owner, qb::LazyWindow<T>& global, Ready ready) {
    global.makeOnFirstUse([&owner, &global, ready] {
        owner = std::make_unique<T>();
        global = owner.get();
        // Its menus and controls take the program's painting before it first shows, as those
        // of the windows made at start do.
        if (MenuManager) {
            MenuManager->FormNotification(owner.get());
            MenuManager->HookPendingForms();
        }
        ready(*owner);
    });
}

template <typename T, typename Global>
void destroy(std::unique_ptr<T>& owner, Global& global) {
    global = nullptr;
    owner.reset();
}

}  // namespace

ProgramWindows::ProgramWindows(const std::optional<QString>& folder) {
    // Creating the main window runs the first stage of start-up.
    mainForm_ = std::make_unique<TMainForm>();
    if (folder) {
        AppFolder = folder->endsWith(QLatin1Char('/')) ? *folder : *folder + QLatin1Char('/');
        IniPath = AppFolder + QStringLiteral("Marlowick.ini");
    }
    create(passwordForm_, PasswordForm);
    dataModule_ = std::make_unique<TDataModule1>(AppFolder, *EntryCipher);
    DataModule1 = dataModule_.get();
    // The search window, the picture viewer and the about box are not on the first frame: each
    // is made when it is first used, and wired into the program then.
    createOnFirstUse(searchForm_, SearchForm,
                     [](TSearchForm& search) { ConnectSearchWindow(search); });
    create(messageForm_, MessageForm);
    create(splashForm_, SplashForm);
    create(optionsForm_, OptionsForm);
    // The viewer lists the pictures as they are when it is made.
    createOnFirstUse(pictureForm_, PictureForm,
                     [](TPictureForm& viewer) { viewer.RefreshPictureList(); });
    create(desktopCalendarForm_, DesktopCalendarForm);
    TMainForm* main = mainForm_.get();
    createOnFirstUse(aboutForm_, AboutForm,
                     [main](TAboutForm& about) { new OwnedByMainWindow(&about, main); });
    for (QWidget* dialog :
         {static_cast<QWidget*>(PasswordForm), static_cast<QWidget*>(OptionsForm)}) {
        new OwnedByMainWindow(dialog, main);
    }
    ConnectProgramWindows();
}

ProgramWindows::~ProgramWindows() {
    destroy(aboutForm_, AboutForm);
    destroy(desktopCalendarForm_, DesktopCalendarForm);
    destroy(pictureForm_, PictureForm);
    destroy(optionsForm_, OptionsForm);
    destroy(splashForm_, SplashForm);
    destroy(messageForm_, MessageForm);
    destroy(searchForm_, SearchForm);
    destroy(dataModule_, DataModule1);
    destroy(passwordForm_, PasswordForm);
    mainForm_.reset();
}
