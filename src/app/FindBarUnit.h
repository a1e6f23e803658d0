#pragma once
// The find bar below the pages: it searches the current page as the user types, always from the
// top, selects the first match and darkens its field when the text is not on the page; Find
// Again (F3) goes on from the selection and wraps round to the top.

#include <QObject>

class QLineEdit;
class TMainForm;

namespace qb {
class TRichEdit;
}

class TFindBar : public QObject {
    Q_OBJECT

  public:
    // Takes the main window's find panel, its field and its two actions.
    explicit TFindBar(TMainForm& main);

    // Shows the bar (focus in the field, its text selected) or hides it (focus back in the page).
    void FindActionExecute();
    // A key released in the field (a Qt key code): Esc closes the bar, F3 is its action's, every
    // other key searches.
    void FindEditKeyUp(int key);
    void IncrementalFind();
    void FindAgainActionExecute();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    qb::TRichEdit* currentRichEdit() const;
    void selectMatch(qb::TRichEdit& edit, int position, int length);
    void setFieldFound(bool found);

    TMainForm& main_;
    QLineEdit* const field_;  // the main window's FindEdit, which outlives this filter's use
};
