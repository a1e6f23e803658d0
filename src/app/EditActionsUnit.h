#pragma once
// Cut, Copy, Paste and Select All: the standard editing actions, which work on whatever text
// control has the focus (a page's text, the find field, an input field) and keep their own
// enabled state by it.

#include <QObject>

#include <optional>

class TMainForm;
class QWidget;

namespace qb {

// Whether the clipboard holds something Paste can take, kept from the clipboard's change signal:
// under X every question to the clipboard is a round trip to the server, and the enabling is
// updated at every key.
class ClipboardTextState : public QObject {
    Q_OBJECT

  public:
    explicit ClipboardTextState(QObject* parent);

    // Asks the clipboard at most once after each change.
    bool HasText();
    // How many times the clipboard itself was asked.
    int Queries() const { return queries_; }

  private:
    std::optional<bool> known_;
    int queries_ = 0;
};

// The text control the editing actions work on: the focused widget when it edits text.
QWidget* EditTarget();

// Installs the four handlers and the clipboard state their enabling reads.
void InstallEditActions(TMainForm& form);

// Enables the four actions by the focused control: Cut and Copy with a selection (Cut only where
// the text can change), Paste with text on the clipboard and a control that can change, Select
// All with any text.
void UpdateEditActions(TMainForm& form);

}  // namespace qb
