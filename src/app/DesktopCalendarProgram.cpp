#include "app/DesktopCalendarProgram.h"

#include "app/MainExtensionUnit.h"
#include "app/MainUnit.h"
#include "dialogs/OptionsUnit.h"
#include "pages/CustomPageControl.h"
#include "platform/ui/Application.h"
#include "tools/DesktopCalendarUnit.h"

#include <QCheckBox>
#include <QMenu>

namespace qb {
namespace {

// Closes every page for the program's end. A page whose closing save failed stays open: the
// main window comes back with that page selected, so the text is neither lost nor out of sight.
bool closePagesForExit(TMainForm& form) {
    form.Pages->CloseAllPages(false);
    const std::vector<QWidget*> left = form.Pages->Tabs();
    if (left.empty()) {
        return true;
    }
    form.Pages->SelectTab(left.front());
    form.DesktopEditorWindowMenuItemClick();
    form.raise();
    form.activateWindow();
    return false;
}

}  // namespace

void InstallDesktopCalendar(TMainForm& form) {
    if (!DesktopCalendarForm) {
        return;
    }
    DesktopCalendarServices& s = DesktopCalendarForm->Services;
    TMainForm* main = &form;
    s.mainWindowVisible = [main] { return main->isVisible(); };
    s.closePagesForExit = [main] { return closePagesForExit(*main); };
    s.writeExitKeys = [main] { main->WritePanelKeys(); };
    s.endProgram = [] { requestQuit(); };
    s.settingsPath = [] { return IniPath; };
    s.autoSlideUp = [] {
        return OptionsForm && OptionsForm->AutoSlideUpCheckBox &&
               OptionsForm->AutoSlideUpCheckBox->isChecked();
    };
    s.playSound = [main](const QString& name) { main->PlayProgramSound(name); };
    s.showMenu = [main](const QPoint& at) { main->DesktopPopup->exec(at); };
    s.previousMonth = [main] { main->ExecuteAction(main->PreviousMonthAction); };
    s.nextMonth = [main] { main->ExecuteAction(main->NextMonthAction); };
    s.backgroundColor = [] { return BackgroundColor; };
    s.highlightColor = [] { return HighlightColor; };
}

}  // namespace qb
