#pragma once
// The page commands of the main window (Undo, Redo, Save, Delete Entry). Each works on the
// current editor and does nothing when no page is selected; their enabling is the main window's
// idle update (TMainForm::ActionListUpdate).

#include <QObject>

class QKeyEvent;
class TBaseEditorFrame;
class TMainForm;

class TPageActions : public QObject {
    Q_OBJECT

  public:
    explicit TPageActions(TMainForm& main);

    void UndoActionExecute();
    void RedoActionExecute();
    void SaveActionExecute();
    // Asks, deletes the page's row and then closes the page. The close comes after the handler
    // has returned: the command may run from inside the page (its pop-up menu, its keys), and
    // the page must not be freed under the code that is still running in it.
    void DeleteEntryActionExecute();

  protected:
    // A shortcut is matched against the actions' enabling of the moment, not of the last idle
    // update: the key's shortcut override comes first and updates the actions.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool isActionShortcut(const QKeyEvent& key) const;
    TBaseEditorFrame* currentFrame() const;
    void closeDeletedPage(int pageId);

    TMainForm& main_;
};

// Installs the page commands and the find bar on the main window, which owns them.
void InstallPageActions(TMainForm& main);
