#include "app/ShortcutRouter.h"

#include "app/MainUnit.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QWidget>

namespace qb {
namespace {

class ShortcutRouter : public QObject {
  public:
    explicit ShortcutRouter(TMainForm& main) : QObject(&main), main_(main) {
        QCoreApplication::instance()->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // A key press reaches a window itself when its focused control and every control
        // between them ignored it, and only when none of the window's own shortcuts took it.
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) {
            return false;
        }
        auto* window = static_cast<QWidget*>(watched);
        if (!window->isWindow() || window == &main_ || window->windowType() == Qt::Popup ||
            QApplication::activeModalWidget() != nullptr || !main_.isEnabled()) {
            return false;
        }
        auto* key = static_cast<QKeyEvent*>(event);
        QAction* action = mainActionOf(*key);
        if (action == nullptr) {
            return false;
        }
        key->accept();
        main_.RunEnabledAction(action);
        return true;
    }

  private:
    QAction* mainActionOf(const QKeyEvent& key) const {
        const Qt::KeyboardModifiers modifiers =
            key.modifiers() &
            (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        const QKeySequence typed(QKeyCombination(modifiers, Qt::Key(key.key())));
        for (QAction* action : main_.actions()) {
            if (!action->shortcut().isEmpty() && action->shortcut() == typed) {
                return action;
            }
        }
        return nullptr;
    }

    TMainForm& main_;
};

}  // namespace

void InstallShortcutRouter(TMainForm& main) {
    new ShortcutRouter(main);
}

}  // namespace qb
