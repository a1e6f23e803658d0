#include "app/DocumentProgram.h"

#include "app/MainExtensionUnit.h"
#include "app/MainUnit.h"
#include "app/PageWiring.h"
#include "editors/DocumentEditorUnit.h"
#include "menupaint/FlatMenuPainter.h"
#include "pages/CustomPageControl.h"
#include "pages/DocumentUnit.h"
#include "platform/richedit/RichEdit.h"
#include "store/DatabaseUnit.h"

#include <QMenu>
#include <QScrollArea>

#include <memory>

namespace qb {
namespace {

DocumentServices documentServices(TMainForm& form) {
    DocumentServices s;
    TMainForm* main = &form;
    TCustomPageControl* pages = form.Pages;
    // One Ctrl-key rule for every opening routine: the page control's.
    s.ctrlHeld = [pages] { return pages->Services.ctrlHeld && pages->Services.ctrlHeld(); };
    s.useCtrlKey = [pages] { return pages->Services.useCtrlKey && pages->Services.useCtrlKey(); };
    s.closeTab = [pages] {
        if (pages->Services.closeTab) {
            pages->Services.closeTab();
        } else {
            pages->CloseTabActionExecute();
        }
    };
    s.openDocumentFrame = [main](const QString& name, const QString& id, const std::string& text) {
        auto frame = std::make_unique<TDocumentEditorFrame>(nullptr, PageEditorServices(*main));
        frame->setObjectName(QStringLiteral("aDocumentEditorFrame") + id);
        if (!frame->LoadDocument(name, text)) {
            return;
        }
        main->Pages->PlaceNewPage(frame.release(), name, id, true, name);
    };
    s.applyNewDocumentFont = [main] {
        if (auto* editor = qobject_cast<TBaseEditorFrame*>(main->CurrentEditor())) {
            editor->RichEdit->SetFont(DefaultFont1);
        }
    };
    s.activateMenuItem = [main](QAction* item) {
        if (main->FlatMenuPainter1) {
            main->FlatMenuPainter1->ActivateMenuItem(item, false);
        }
    };
    s.colors = [] {
        CalendarColors colors;
        colors.highlight = HighlightColor;
        colors.background = BackgroundColor;
        colors.backgroundFont = BackgroundFontColor;
        return colors;
    };
    return s;
}

}  // namespace

DocumentUnit* InstallDocumentList(TMainForm& form) {
    if (!DataModule1) {
        return nullptr;
    }
    DocumentServices services = documentServices(form);
    TMainForm* main = &form;
    auto* unit = new DocumentUnit(DataModule1->OtherDocTable, std::move(services), &form);
    unit->setObjectName(QStringLiteral("DocumentUnit"));
    // Through the tabs: an open document's tab is selected instead of opening it again.
    unit->services().showDocument = [main, unit](const QString& name) {
        if (main->ShowDocument) {
            main->ShowDocument(name);
        } else {
            unit->OpenDocumentPage(name);
        }
    };
    unit->setPanels({form.DocumentScrollBox, form.Document1, form.Documents1});
    form.Pages->Services.openDocumentPage = [unit](const QString& name) {
        unit->OpenDocumentPage(name);
    };
    form.RefreshDocumentList = [unit] { unit->RefreshDocumentList(); };
    form.SetActionHandler(form.NewAction, [unit] { unit->NewActionExecute(); });
    return unit;
}

}  // namespace qb
