// Start-up of the program: the first stage while the main window is created, the second when it
// is first shown, the window title rule, the desktop shortcut, and the wiring of the windows.
#include "app/MainExtensionUnit.h"

#include "app/DesktopCalendarProgram.h"
#include "app/DocumentProgram.h"
#include "app/EditActionsUnit.h"
#include "app/FormatUnit.h"
#include "app/MainMenuPainter.h"
#include "app/MainUnit.h"
#include "app/PageActionsUnit.h"
#include "app/PageWiring.h"
#include "app/PrintUnit.h"
#include "app/ShortcutRouter.h"
#include "cipher/QbClass.h"
#include "dialogs/OptionsUnit.h"
#include "dialogs/PasswordUnit.h"
#include "dialogs/SplashUnit.h"
#include "pages/CustomPageControl.h"
#include "pages/ShadeUnit.h"
#include "platform/core/Clock.h"
#include "platform/core/Color.h"
#include "platform/db/Connection.h"
#include "platform/richedit/RichEdit.h"
#include "platform/ui/Application.h"
#include "platform/ui/Components.h"
#include "platform/ui/DesktopShortcut.h"
#include "platform/ui/Guard.h"
#include "platform/ui/ProgramStyle.h"
#include "platform/ui/Timer.h"
#include "store/DatabaseUnit.h"
#include "tools/DesktopCalendarUnit.h"
#include "tools/PictureUnit.h"
#include "tools/SearchUnit.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QPalette>
#include <QToolTip>

#include <unistd.h>

namespace {

// Every shaded box of a window (title strips, month panels, the documents panel, the tabs, the
// pages' title bands) reads the colour variables when it paints: new colours need a repaint of
// each box, as an update of the window alone does not reach them all (the pages' title bands
// kept the old colours).
void repaintShadedBoxes(QWidget* window) {
    window->update();
    for (QWidget* child : window->findChildren<QWidget*>()) {
        child->update();
    }
}

bool quitMarkSet() {
    return qb::quitRequested() || (PasswordForm && PasswordForm->QuitMark() > 0);
}

// The database file is read-only for this program, its folder takes no journal, or it cannot
// be looked at.
bool databaseFileReadOnly(const QString& path) {
    return !qb::db::DatabaseWritable(QFile::encodeName(path).toStdString());
}

}  // namespace

void InitializeApplication() {
    PageCounter = 0;
    MainForm->cipher_ = std::make_unique<TQbBlowfish>();
    MainForm->cipher_->CipherMode = cmECB;
    EntryCipher = MainForm->cipher_.get();
    DefaultFont1 = qb::FontChoice();
    DefaultFont2 = qb::FontChoice();
    DefaultFont3 = qb::FontChoice();
    AppFolder = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    IniPath = AppFolder + QStringLiteral("Marlowick.ini");
    // The program's dates go through its own routines, never through the locale's format.
    if (DesktopShortcutAsked()) {
        // A shortcut that cannot be written never keeps the hot keys from being registered.
        qb::runGuarded([] { CreateDesktopShortcut(); });
    }
    qb::runGuarded([] { MainForm->RegisterHotKeys(); });
}

bool DesktopShortcutAsked() {
    const QStringList arguments = QCoreApplication::arguments();
    return arguments.size() > 1 && arguments.at(1) == QLatin1String("-cs");
}

void CreateDesktopShortcut() {
    qb::createDesktopShortcut();
}

void StartApplication() {
    if (MainForm->FlatMenuPainter1) {
        SetStartupIconBackColor(*MainForm->FlatMenuPainter1);
    }
    const bool opened = qb::runGuarded([] { DataModule1->OpenDatabase(); });
    if (!opened) {
        qb::requestQuit();  // the diary cannot be used
        return;
    }
    if (quitMarkSet()) {
        return;
    }
    // Every later step is shown when it fails, and start-up goes on with the next one.
    const auto step = [](const std::function<void()>& work) { qb::runGuarded(work); };
    step([] {
        if (SplashForm) {
            SplashForm->FadeInTimer->setEnabled(true);
        }
    });
    step([] { QCoreApplication::processEvents(); });
    step([] {
        DatabaseReadOnly = databaseFileReadOnly(AppFolder + QString::fromLatin1(DatabaseFileName));
        if (DatabaseReadOnly) {
            qb::dialogs().messageBox(
                QStringLiteral("The database file (Marlowick.mdb) has read access only!   \r\n\r\n"
                               "You will not be able to make any changes or create new entries."),
                QStringLiteral("Database Write Error"), qb::MessageButtons::Ok,
                qb::MessageIcon::Warning);
        }
    });
    step([] {
        OptionsForm->LoadOptions();
        OptionsForm->ApplyOptions();
    });
    step([] {
        QPalette palette = QToolTip::palette();
        palette.setColor(QPalette::ToolTipBase, qb::toQColor(0x00F7E7DF));
        palette.setColor(QPalette::ToolTipText, Qt::black);
        QToolTip::setPalette(palette);
        // Qt has no setting for how long a tip stays: it goes by the tip's length.
        qb::programStyle().setToolTipDelay(500);
    });
    step([] { CalendarDate = qb::clock().today(); });
    step([] {
        // A viewer still to be made lists the pictures when it is made.
        if (TPictureForm* viewer = PictureForm.made()) {
            viewer->RefreshPictureList();
        }
    });
    step([] {
        if (MainForm->RefreshCalendars) {
            MainForm->RefreshCalendars();
        }
    });
    step([] {
        if (MainForm->RefreshDocumentList) {
            MainForm->RefreshDocumentList();
        }
    });
    step([] {
        if (OptionsForm->ShowWelcomeCheckBox->isChecked() &&
            DataModule1->OtherDocTable.Locate("Name", "Welcome") && MainForm->ShowDocument) {
            MainForm->ShowDocument(QStringLiteral("Welcome"));
        }
    });
}

void ConnectSearchWindow(TSearchForm& search) {
    TMainForm* main = MainForm;
    search.ShowDay = [main](const QString& key) { main->Pages->ShowDay(key); };
    search.ShowDocument = [main](const QString& name) {
        if (main->ShowDocument) {
            main->ShowDocument(name);
        }
    };
    // A picture row opens the picture in the viewer.
    search.ShowPicture = [](const QString& path) {
        if (PictureForm) {
            PictureForm->ShowPicture(path);
        }
    };
    search.CurrentRichEdit = [main] {
        QWidget* frame = main->CurrentEditor();
        return frame ? qb::findComponent<qb::TRichEdit>(frame, u"RichEdit") : nullptr;
    };
}

void SetWindowTitle(const QString& title) {
    if (title.isEmpty()) {
        MainForm->setWindowTitle(FullTitle);
        qb::setApplicationTitle(ProductTitle);
    } else {
        MainForm->setWindowTitle(ProductTitle + QStringLiteral(": ") + title);
        qb::setApplicationTitle(title);
    }
}

void ConnectProgramWindows() {
    TMainForm* main = MainForm;
    if (DataModule1 && PasswordForm) {
        PasswordForm->FillLoginSeam(*DataModule1);
    }
    qb::InstallDesktopCalendar(*main);
    qb::InstallPageWiring(*main);  // the tabs, the day pages and the month calendars
    qb::InstallEditActions(*main);
    InstallPageActions(*main);        // Undo, Redo, Save, Delete Entry and the find bar
    qb::InstallDocumentList(*main);   // the documents list, its menus and New Document
    qb::InstallFormatActions(*main);  // the Format menu's actions
    qb::InstallPrintAction(*main);
    qb::InstallShortcutRouter(*main);  // the main window's keys from the other windows
    if (TSearchForm* search = SearchForm.made()) {
        ConnectSearchWindow(*search);
    }
    if (!OptionsForm) {
        return;
    }
    qb::OptionsTargets& targets = OptionsForm->Targets;
    targets.setDesktopCalendarAlpha = [](int alpha) {
        if (DesktopCalendarForm) {
            DesktopCalendarForm->SetAlpha(alpha);
        }
    };
    targets.setDefaultFont = [](int n, const qb::FontChoice& font) {
        qb::FontChoice* fonts[] = {&DefaultFont1, &DefaultFont2, &DefaultFont3};
        if (n >= 1 && n <= 3) {
            *fonts[n - 1] = font;
        }
    };
    targets.setMainWindowColors = [main](qb::TColor selTabBorder, qb::TColor background) {
        const auto setColor = [](QWidget* widget, qb::TColor color) {
            QPalette palette = widget->palette();
            palette.setColor(QPalette::Window, qb::toQColor(color));
            widget->setPalette(palette);
        };
        for (QWidget* line : {main->SelBorderShape1, main->SelBorderShape2, main->SelBorderShape3,
                              main->SelBorderShape4}) {
            setColor(line, selTabBorder);
        }
        for (QWidget* strip : {main->CalTitlePanel, main->DocTitlePanel}) {
            setColor(strip, background);
        }
        repaintShadedBoxes(main);
    };
    // The viewer and the search window read the colours as they are made: only made ones take
    // new colours here.
    targets.setPictureScrollBoxColor = [](qb::TColor color) {
        TPictureForm* viewer = PictureForm.made();
        if (!viewer) {
            return;
        }
        // The viewer's scroll box, once the viewer has one.
        if (auto* box = qb::findComponent<QWidget>(viewer, QStringLiteral("ScrollBox"))) {
            QPalette palette = box->palette();
            palette.setColor(QPalette::Window, qb::toQColor(color));
            box->setPalette(palette);
            box->setAutoFillBackground(true);
        }
        repaintShadedBoxes(viewer);  // its title strips
    };
    targets.repaintSearchWindow = [] {
        if (TSearchForm* search = SearchForm.made()) {
            search->update();
        }
    };
    targets.refreshCalendars = [main] {
        if (main->RefreshCalendars) {
            main->RefreshCalendars();
        }
    };
    targets.refreshDocumentList = [main] {
        if (main->RefreshDocumentList) {
            main->RefreshDocumentList();
        }
    };
    targets.setDefaultFontHint = [main](int n, const QString& hint) {
        QAction* actions[] = {main->DefaultFontAction, main->DefaultFont2Action,
                              main->DefaultFont3Action};
        if (n >= 1 && n <= 3) {
            qb::setHint(actions[n - 1], hint);
            actions[n - 1]->setToolTip(hint);
        }
    };
    targets.clickToolbarMenuItem = [main](const QString& key) {
        if (auto* item =
                qb::findComponent<QAction>(main, key + QStringLiteral("ToolbarMenuItem"))) {
            item->trigger();  // toggles the check mark, then shows or hides the tool bar
        }
    };
}
