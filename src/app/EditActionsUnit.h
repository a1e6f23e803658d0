#pragma once
// Cut, Copy, Paste and Select All: the standard editing actions, which work on whatever text
// control has the focus (a page's text, the find field, an input field) and keep their own
// enabled state by it.

class TMainForm;
class QWidget;

namespace qb {

// The text control the editing actions work on: the focused widget when it edits text.
QWidget* EditTarget();

// Installs the four handlers.
void InstallEditActions(TMainForm& form);

// Enables the four actions by the focused control: Cut and Copy with a selection (Cut only where
// the text can change), Paste with text on the clipboard and a control that can change, Select
// All with any text.
void UpdateEditActions(TMainForm& form);

}  // namespace qb
