#pragma once
// The list of named documents (the rows of OtherDocs) in its three places: the labels of the
// "Other Documents" side panel, the main menu's "Documents" submenu and the desktop pop-up's
// "Documents" submenu; opening a document from them, and making a new one.
//
// The unit reaches the rest of the program only through DocumentServices and the widgets handed
// to it in DocumentPanels, so that it runs without a main window, tabs or a user.

#include "pages/CalendarUnit.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <string>

class QAction;
class QLabel;
class QMenu;
class QScrollArea;

namespace qb {

namespace db {
class Table;
}

// The nine characters a file name cannot hold, in the order they are replaced.
inline constexpr char16_t kFileNameCharacters[] = u"\\/:*?\"<>|";

// A typed document name as it is stored: blanks trimmed from both ends (the list opens a
// document by its trimmed name, so untrimmed names could never be opened), then each of the
// nine file-name characters replaced by "_".
QString DocumentNameFromInput(const QString& typed);
// A name made of dots only names no folder of its own below Pictures/OtherDocs.
bool IsDotsOnlyName(const QString& name);

struct DocumentServices {
    // Show a document: select its open tab or open its page (by default OpenDocumentPage).
    std::function<void(const QString& name)> showDocument;

    // Opening a document page.
    std::function<bool()> ctrlHeld;    // by default the keyboard's state
    std::function<bool()> useCtrlKey;  // "Use Ctrl Key to open pages in a separate tab." is on
    std::function<void()> closeTab;    // close (and save) the selected page
    // Makes the editor of the document on a new selected page: the frame loaded with the
    // decoded text, placed on the page AddPage made, titled, focused and unmodified.
    std::function<void(const QString& name, const QString& pageId, const std::string& text)>
        openDocumentFrame;
    // The current editor, if any, takes the first default font (a document made new).
    std::function<void()> applyNewDocumentFont;

    // Hands a menu item added at run time to the menu painter (by default nobody: the item
    // is drawn as its menu draws it).
    std::function<void(QAction* item)> activateMenuItem;
    // The labels' colours (by default the calendars' colours).
    std::function<CalendarColors()> colors;
};

// The widgets the list is drawn into.
struct DocumentPanels {
    QPointer<QScrollArea> documentScrollBox;  // holds DocumentPanel as its widget
    QPointer<QMenu> document1;                // main menu "Documents": 4 items of its own
    QPointer<QMenu> documents1;               // desktop pop-up "Documents": 2 items of its own
};

class DocumentUnit : public QObject {
    Q_OBJECT

  public:
    static constexpr int kLabelHeight = 24;
    static constexpr int kOwnMainMenuItems = 4;
    static constexpr int kOwnPopupItems = 2;

    DocumentUnit(db::Table& otherDocTable, DocumentServices services, QObject* parent = nullptr);

    DocumentServices& services() { return services_; }
    void setPanels(const DocumentPanels& panels);
    const DocumentPanels& panels() const { return panels_; }
    // The panel of the labels (the scroll box's widget), or nullptr.
    QWidget* DocumentPanel() const;

    void RefreshDocumentList();
    // Returns false when no row has that name (the Ctrl-key rule has run all the same).
    bool OpenDocumentPage(const QString& name);
    void NewActionExecute();

    // Handlers of the list.
    void DocumentLabelMouseDown(QLabel* label);
    void DocumentMenuItemClick(QAction* item);
    void DocumentScrollBoxResize();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QLabel* addLabel(QWidget* panel, const QString& name, int index);
    void addMenuItem(QMenu* menu, const QString& name);
    void clearMenu(QMenu* menu, int ownItems);
    void showDocument(const QString& name);
    // The name is taken: asks whether to try another one.
    bool askAgain(const QString& text, const QString& title);

    db::Table& otherDocs_;
    DocumentServices services_;
    DocumentPanels panels_;
    QPointer<QObject> viewport_;  // the scroll box's viewport, which this unit watches
};

}  // namespace qb
