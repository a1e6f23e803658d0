#include "app/FindBarUnit.h"

#include "app/MainExtensionUnit.h"
#include "app/MainUnit.h"
#include "editors/BaseEditorUnit.h"
#include "platform/core/Color.h"
#include "platform/richedit/RichEdit.h"
#include "platform/ui/Guard.h"

#include <QKeyEvent>
#include <QLineEdit>

TFindBar::TFindBar(TMainForm& main) : QObject(&main), main_(main), field_(main.FindEdit) {
    setObjectName(QStringLiteral("FindBar"));
    field_->installEventFilter(this);
    setFieldFound(true);
}

qb::TRichEdit* TFindBar::currentRichEdit() const {
    auto* frame = qobject_cast<TBaseEditorFrame*>(main_.CurrentEditor());
    return frame ? frame->RichEdit : nullptr;
}

void TFindBar::FindActionExecute() {
    qb::TRichEdit* edit = currentRichEdit();
    if (!edit) {
        return;
    }
    // The panel's own flag: the window itself may not be on the screen.
    if (!main_.FindPanel->isHidden()) {
        main_.FindPanel->hide();
        edit->setFocus();
        return;
    }
    // The bar is the last of the pages area's rows, so it shows below all the others.
    main_.FindPanel->show();
    main_.FindEdit->setFocus(Qt::ShortcutFocusReason);
    main_.FindEdit->selectAll();
}

void TFindBar::FindEditKeyUp(int key) {
    if (key == Qt::Key_F3) {
        return;  // its key press has already run Find Again
    }
    if (key == Qt::Key_Escape) {
        main_.ExecuteAction(main_.FindAction);
        return;
    }
    IncrementalFind();
}

void TFindBar::IncrementalFind() {
    qb::TRichEdit* edit = currentRichEdit();
    if (!edit) {
        return;
    }
    const QString text = main_.FindEdit->text();
    if (text.isEmpty()) {
        setFieldFound(true);
        edit->setSelLength(0);
        return;
    }
    int found = 0;
    const int position = edit->FindText(text, 0, edit->GetTextLen(), {}, &found);
    if (position >= 0) {
        selectMatch(*edit, position, found);
        return;
    }
    setFieldFound(false);
    edit->setSelLength(0);
    main_.PlayProgramSound(QStringLiteral("BALLOON"));
}

void TFindBar::FindAgainActionExecute() {
    qb::TRichEdit* edit = currentRichEdit();
    if (!edit) {
        return;
    }
    // The range runs past the end of the text; the search keeps to the text.
    int found = 0;
    const int position = edit->FindText(main_.FindEdit->text(), edit->SelStart() + 1,
                                        edit->GetTextLen(), {}, &found);
    if (position >= 0) {
        selectMatch(*edit, position, found);
    } else {
        IncrementalFind();
    }
}

void TFindBar::selectMatch(qb::TRichEdit& edit, int position, int length) {
    edit.setSelStart(position);
    edit.setSelLength(length);
    setFieldFound(true);
}

void TFindBar::setFieldFound(bool found) {
    QPalette palette = main_.FindEdit->palette();
    palette.setColor(QPalette::Base, found ? QColor(Qt::white) : qb::toQColor(BackgroundColor));
    palette.setColor(QPalette::Text, found ? QColor(Qt::black) : QColor(Qt::white));
    main_.FindEdit->setPalette(palette);
}

bool TFindBar::eventFilter(QObject* watched, QEvent* event) {
    // The field is told of its own destruction while the main window is half gone: only a key
    // release reaches the window.
    if (watched == field_ && event->type() == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        // One release per key stroke, however long the key was held.
        if (!key->isAutoRepeat()) {
            const int code = key->key();
            qb::runGuarded([&] { FindEditKeyUp(code); });
        }
    }
    return false;
}
