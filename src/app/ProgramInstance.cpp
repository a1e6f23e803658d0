#include "app/ProgramInstance.h"

#include "app/MainUnit.h"
#include "platform/core/Dialogs.h"

#include <QApplication>

namespace qb {

namespace {

constexpr int kAnswerMs = 5000;

}  // namespace

ProgramInstance::ProgramInstance(const QString& folder)
    : lock_(folder + QStringLiteral("Marlowick.lock"),
            SingleInstance::ServerNameOf(QStringLiteral("Marlowick"), folder)) {}

void ProgramInstance::HandOver() const {
    if (!lock_.AskHolderForward(kAnswerMs)) {
        dialogs().messageBox(
            QStringLiteral("The diary of this program folder is open in another copy of the "
                           "program.   "),
            QStringLiteral("Quillbrook"), MessageButtons::Ok, MessageIcon::Information);
    }
}

void ProgramInstance::Serve(TMainForm& main) {
    TMainForm* window = &main;
    QObject::connect(&lock_, &SingleInstance::ForwardAsked, window,
                     [window] { BringProgramForward(*window); });
}

void BringProgramForward(TMainForm& main) {
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
        return;
    }
    if (!main.StartupFinished()) {
        return;  // the window comes up by itself at the end of start-up
    }
    main.DesktopEditorWindowMenuItemClick();
    main.raise();
    main.activateWindow();
}

}  // namespace qb
