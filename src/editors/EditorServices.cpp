#include "editors/EditorServices.h"

#include "program/ProgramState.h"
#include "program/StaticUnit.h"
#include "dialogs/OptionsUnit.h"
#include "pages/ShadeUnit.h"
#include "platform/core/Clock.h"
#include "platform/ui/Components.h"
#include "platform/ui/PaintBox.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QUrl>

namespace qb {

namespace {

void shadeTitleStrip(PaintBox& sender, QPainter& canvas) {
    const ShadeBox box{sender.width(), sender.height(), hint(&sender), tag(&sender)};
    ShadePaintBox(canvas, box, ShadeTint::TitleStrip(colorToRGB(BackgroundColor)));
}

// A check box of the options dialog; on when there is no dialog.
bool optionChecked(QCheckBox* TOptionsForm::*box) {
    if (OptionsForm == nullptr || OptionsForm->*box == nullptr) {
        return true;
    }
    return (OptionsForm->*box)->isChecked();
}

}  // namespace

void CompleteEditorServices(EditorServices& services) {
    if (!services.showStatus) {
        services.showStatus = [](const QString&) {};
    }
    if (!services.titlePaint) {
        services.titlePaint = shadeTitleStrip;
    }
    if (!services.documentPopup) {
        services.documentPopup = [] { return static_cast<QMenu*>(nullptr); };
    }
    if (!services.refreshCalendars) {
        services.refreshCalendars = [] {};
    }
    if (!services.refreshDocumentList) {
        services.refreshDocumentList = [] {};
    }
    if (!services.showModifyToolbar) {
        services.showModifyToolbar = [] {
            return optionChecked(&TOptionsForm::ShowModifyCheckBox);
        };
    }
    if (!services.showThumbnailCaptions) {
        services.showThumbnailCaptions = [] {
            return optionChecked(&TOptionsForm::ShowCaptionsCheckBox);
        };
    }
    if (!services.undoPanelSwitch) {
        services.undoPanelSwitch = [] { return IsSwitchPresent(QStringLiteral("-undopanel")); };
    }
    if (!services.showPicture) {
        services.showPicture = [](const QString&) {};
    }
    if (!services.openFolder) {
        services.openFolder = [](const QString& folder) {
            QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
        };
    }
    if (!services.tickCount) {
        services.tickCount = [] { return static_cast<std::uint32_t>(clock().tickMs()); };
    }
    if (!services.processEvents) {
        services.processEvents = [] { QCoreApplication::processEvents(); };
    }
}

EditorServices DefaultEditorServices() {
    EditorServices services;
    CompleteEditorServices(services);
    return services;
}

}  // namespace qb
