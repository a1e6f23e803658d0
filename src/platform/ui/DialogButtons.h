#pragma once
// Enter on a dialog's buttons as the program's users know it: it presses the button that has the
// focus, and elsewhere the dialog's default button, when the dialog has one. Qt's auto-default
// buttons give the first half, but a dialog without a default button then makes the first of
// them its default, so that Enter in a list or a folder tree would press it.

class QPushButton;

namespace qb {

// Enter and Return on button, while it has the focus, press it; the button never becomes the
// dialog's default by taking the focus.
void EnterPressesButton(QPushButton* button);

}  // namespace qb
