#include "app/EditActionsUnit.h"

#include "app/MainUnit.h"
#include "platform/richedit/RichEdit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace qb {
namespace {

struct TargetState {
    bool hasSelection = false;
    bool hasText = false;
    bool editable = false;
};

TargetState stateOf(QWidget* target) {
    if (auto* line = qobject_cast<QLineEdit*>(target)) {
        return {line->hasSelectedText(), !line->text().isEmpty(), !line->isReadOnly()};
    }
    if (auto* edit = qobject_cast<QTextEdit*>(target)) {
        return {edit->textCursor().hasSelection(), !edit->document()->isEmpty(),
                !edit->isReadOnly()};
    }
    if (auto* plain = qobject_cast<QPlainTextEdit*>(target)) {
        return {plain->textCursor().hasSelection(), !plain->document()->isEmpty(),
                !plain->isReadOnly()};
    }
    return {};
}

void cut(QWidget* target) {
    if (auto* rich = qobject_cast<TRichEdit*>(target)) {
        rich->CutToClipboard();
    } else if (auto* line = qobject_cast<QLineEdit*>(target)) {
        line->cut();
    } else if (auto* edit = qobject_cast<QTextEdit*>(target)) {
        edit->cut();
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(target)) {
        plain->cut();
    }
}

void copy(QWidget* target) {
    if (auto* rich = qobject_cast<TRichEdit*>(target)) {
        rich->CopyToClipboard();
    } else if (auto* line = qobject_cast<QLineEdit*>(target)) {
        line->copy();
    } else if (auto* edit = qobject_cast<QTextEdit*>(target)) {
        edit->copy();
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(target)) {
        plain->copy();
    }
}

void paste(QWidget* target) {
    if (auto* rich = qobject_cast<TRichEdit*>(target)) {
        rich->PasteFromClipboard();
    } else if (auto* line = qobject_cast<QLineEdit*>(target)) {
        line->paste();
    } else if (auto* edit = qobject_cast<QTextEdit*>(target)) {
        edit->paste();
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(target)) {
        plain->paste();
    }
}

void selectAll(QWidget* target) {
    if (auto* rich = qobject_cast<TRichEdit*>(target)) {
        rich->SelectAll();
    } else if (auto* line = qobject_cast<QLineEdit*>(target)) {
        line->selectAll();
    } else if (auto* edit = qobject_cast<QTextEdit*>(target)) {
        edit->selectAll();
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(target)) {
        plain->selectAll();
    }
}

}  // namespace

ClipboardTextState::ClipboardTextState(QObject* parent) : QObject(parent) {
    setObjectName(QStringLiteral("ClipboardTextState"));
    connect(QGuiApplication::clipboard(), &QClipboard::changed, this,
            [this](QClipboard::Mode mode) {
                if (mode == QClipboard::Clipboard) {
                    known_.reset();
                }
            });
}

bool ClipboardTextState::HasText() {
    if (!known_) {
        ++queries_;
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        known_ = data && (data->hasText() || data->hasHtml() || data->hasImage() ||
                          data->hasFormat(QStringLiteral("text/rtf")));
    }
    return *known_;
}

QWidget* EditTarget() {
    QWidget* focus = QApplication::focusWidget();
    if (qobject_cast<QLineEdit*>(focus) || qobject_cast<QTextEdit*>(focus) ||
        qobject_cast<QPlainTextEdit*>(focus)) {
        return focus;
    }
    return nullptr;
}

void InstallEditActions(TMainForm& form) {
    const auto onTarget = [](void (*command)(QWidget*)) {
        return [command] {
            if (QWidget* target = EditTarget()) {
                command(target);
            }
        };
    };
    form.SetActionHandler(form.CutAction, onTarget(cut));
    form.SetActionHandler(form.CopyAction, onTarget(copy));
    form.SetActionHandler(form.PasteAction, onTarget(paste));
    form.SetActionHandler(form.SelectAllAction, onTarget(selectAll));
    new ClipboardTextState(&form);
}

void UpdateEditActions(TMainForm& form) {
    const TargetState state = stateOf(EditTarget());
    form.CutAction->setEnabled(state.hasSelection && state.editable);
    form.CopyAction->setEnabled(state.hasSelection);
    auto* clipboard = form.findChild<ClipboardTextState*>(QString(), Qt::FindDirectChildrenOnly);
    form.PasteAction->setEnabled(state.editable && clipboard && clipboard->HasText());
    form.SelectAllAction->setEnabled(state.hasText);
}

}  // namespace qb
