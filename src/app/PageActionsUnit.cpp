#include "app/PageActionsUnit.h"

#include "app/FindBarUnit.h"
#include "app/MainUnit.h"
#include "editors/BaseEditorUnit.h"
#include "editors/DayEditorUnit.h"
#include "editors/DocumentEditorUnit.h"
#include "platform/core/Dialogs.h"
#include "platform/ui/Components.h"
#include "platform/ui/Guard.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>

#include <algorithm>

namespace {

const QString DeleteTitle = QStringLiteral("Confirm Delete Entry");
const QString DeleteQuestion =
    QStringLiteral("Are you sure you want to delete this entry?     \r\n");

QString tabName(int pageId) {
    return QStringLiteral("TabPanel%1").arg(pageId);
}

}  // namespace

TPageActions::TPageActions(TMainForm& main) : QObject(&main), main_(main) {
    setObjectName(QStringLiteral("PageActions"));
    QCoreApplication::instance()->installEventFilter(this);
}

bool TPageActions::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == &main_ &&
        isActionShortcut(*static_cast<QKeyEvent*>(event))) {
        qb::runGuarded([this] { main_.ActionListUpdate(); });
    }
    return false;
}

// Typed text is no action's key: only a key that may run an action needs the update. A key whose
// character needs Shift may stand for the shortcut without it.
bool TPageActions::isActionShortcut(const QKeyEvent& key) const {
    const Qt::KeyboardModifiers held =
        key.modifiers() & ~(Qt::KeypadModifier | Qt::GroupSwitchModifier);
    const auto sequence = [&key](Qt::KeyboardModifiers modifiers) {
        return QKeySequence(QKeyCombination(modifiers, static_cast<Qt::Key>(key.key())));
    };
    const QKeySequence pressed = sequence(held);
    const QKeySequence unshifted = sequence(held & ~Qt::ShiftModifier);
    const QList<QAction*> actions = main_.actions();
    return std::any_of(actions.begin(), actions.end(), [&](const QAction* action) {
        const QList<QKeySequence> shortcuts = action->shortcuts();
        return shortcuts.contains(pressed) || shortcuts.contains(unshifted);
    });
}

TBaseEditorFrame* TPageActions::currentFrame() const {
    return qobject_cast<TBaseEditorFrame*>(main_.CurrentEditor());
}

void TPageActions::UndoActionExecute() {
    if (TBaseEditorFrame* frame = currentFrame()) {
        frame->Undo();
    }
}

void TPageActions::RedoActionExecute() {
    if (TBaseEditorFrame* frame = currentFrame()) {
        frame->Redo();
    }
}

void TPageActions::SaveActionExecute() {
    TBaseEditorFrame* frame = currentFrame();
    if (auto* day = qobject_cast<TDayEditorFrame*>(frame)) {
        day->SaveEntryWithStatus();
    } else if (auto* document = qobject_cast<TDocumentEditorFrame*>(frame)) {
        document->SaveDocumentWithStatus();
    }
}

void TPageActions::DeleteEntryActionExecute() {
    TBaseEditorFrame* frame = currentFrame();
    if (!frame) {
        return;
    }
    const QString title = frame->TitleLabel ? frame->TitleLabel->text() : QString();
    const QPointer<TBaseEditorFrame> asked(frame);
    if (qb::dialogs().messageBox(DeleteQuestion + title, DeleteTitle, qb::MessageButtons::YesNo,
                                 qb::MessageIcon::Question) != qb::MessageResult::Yes) {
        return;
    }
    // The box runs its own message loop, in which timers and hot keys may close the page.
    if (!asked) {
        return;
    }
    const int pageId = frame->PageId();
    // A failed delete leaves this handler here, and the page stays open.
    if (auto* day = qobject_cast<TDayEditorFrame*>(frame)) {
        day->DeleteEntry();
    } else if (auto* document = qobject_cast<TDocumentEditorFrame*>(frame)) {
        document->DeleteDocument();
    } else {
        return;
    }
    QPointer<TPageActions> self(this);
    QMetaObject::invokeMethod(
        &main_,
        [self, pageId] {
            if (self) {
                qb::runGuarded([&] { self->closeDeletedPage(pageId); });
            }
        },
        Qt::QueuedConnection);
}

void TPageActions::closeDeletedPage(int pageId) {
    auto* tab = qb::findComponent<QWidget>(&main_, tabName(pageId));
    if (!tab) {
        return;  // closed meanwhile
    }
    auto* frame = currentFrame();
    if (frame && frame->PageId() == pageId) {
        // The selected page: closed with its neighbour selected, as Close Tab does.
        main_.ExecuteAction(main_.CloseTabAction);
    } else {
        main_.ClosePage(pageId);
    }
}

void InstallPageActions(TMainForm& main) {
    auto* actions = new TPageActions(main);
    main.SetActionHandler(main.UndoAction, [actions] { actions->UndoActionExecute(); });
    main.SetActionHandler(main.RedoAction, [actions] { actions->RedoActionExecute(); });
    main.SetActionHandler(main.SaveAction, [actions] { actions->SaveActionExecute(); });
    main.SetActionHandler(main.DeleteEntryAction,
                          [actions] { actions->DeleteEntryActionExecute(); });

    auto* findBar = new TFindBar(main);
    main.SetActionHandler(main.FindAction, [findBar] { findBar->FindActionExecute(); });
    main.SetActionHandler(main.FindAgainAction, [findBar] { findBar->FindAgainActionExecute(); });
}
