#pragma once
// The tabs and pages of the main window, made from plain panels at run time: a row of tab
// panels in TabsPanel and one page panel per tab in PagesPanel, each page holding one editor
// frame. Every part is found again by its name ("TabPanel", "PagePanel", "TitleLabel" followed
// by the page id); the selected tab is the one whose border shape carries Tag 1.
//
// The module knows nothing of the editors or the database: what it needs of them (opening a
// day or a document, the parts of a frame, its closing save) comes through PageServices.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

class QLabel;
class QPainter;

namespace qb {

class PaintBox;
class Timer;

struct PageServices {
    // The window caption for a page title; "" restores the full program title.
    std::function<void(const QString& title)> setWindowTitle;
    // "Order open pages by date and document name." is on.
    std::function<bool()> orderPages;
    // Open a page that has no tab yet (a day by its key, a document by its name).
    std::function<void(const QString& key)> openDayPage;
    std::function<void(const QString& name)> openDocumentPage;
    // Show the main window and bring it back from the task bar (by default the window of the
    // tabs, shown, no longer minimised, in front and active).
    std::function<void()> bringWindowUp;

    // The Ctrl-key rule of the opening routines.
    std::function<bool()> ctrlHeld;    // by default the keyboard's state
    std::function<bool()> useCtrlKey;  // "Use Ctrl Key to open pages in a separate tab." is on
    std::function<void()> closeTab;    // the Close Tab action (by default CloseTabActionExecute)

    // A frame's text control and title label (by default its children "RichEdit" and
    // "TitleLabel").
    std::function<QWidget*(QWidget* frame)> frameEditor;
    std::function<QLabel*(QWidget* frame)> frameTitleLabel;
    // The closing save of a frame. When a tab closes (atExit false) a false result keeps the
    // page open with its text. At the program's exit (atExit true) the page is closed whatever
    // the result. By default the frame's SaveOnExit (at exit) or SaveOnClose, whichever it has;
    // a frame with neither, or whose save returns nothing, counts as saved.
    std::function<bool(QWidget* frame, bool atExit)> closingSave;
};

// The closing save through the frame's invokable SaveOnExit / SaveOnClose (see closingSave).
bool InvokeClosingSave(QWidget* frame, bool atExit);

// A tab's border: a rectangle outline drawn inside the control, with a clear inside.
class TabBorderShape : public QWidget {
    Q_OBJECT
  public:
    explicit TabBorderShape(QWidget* parent);
    void setPen(const QColor& color, int width);
    QColor penColor() const { return color_; }
    int penWidth() const { return width_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor color_;
    int width_ = 1;
};

}  // namespace qb

class TCustomPageControl : public QObject {
    Q_OBJECT

  public:
    // owner: the window whose components the parts are (found by name below it). The three
    // panels are the main window's MainPanel, TabsPanel and PagesPanel.
    TCustomPageControl(QWidget* owner, QWidget* mainPanel, QWidget* tabsPanel, QWidget* pagesPanel,
                       qb::PageServices services = {});
    ~TCustomPageControl() override;

    qb::PageServices Services;

    // Makes a selected tab and its page; returns the page panel. The caller places the frame
    // on it (PlaceNewPage does the whole opening step).
    QWidget* AddPage(const QString& key, const QString& id, bool isDocument);
    // Every tab gets the same width: the panel's width shared out, at most 200.
    void ResizeTabs();
    void UnselectAllTabs();
    // sender: a tab, its paint box or its caption label.
    void SelectTab(QObject* sender);

    // Brings the window up and selects the tab of the key, else opens the page.
    void ShowDay(const QString& key);
    void ShowDocument(const QString& name);

    // The frame on the page of the selected tab, or nullptr.
    QWidget* CurrentEditor() const;

    // Saves and frees one page. When a tab closes and its save fails, the page stays open and
    // the result is false. At exit the page is closed whatever its save did.
    bool ClosePage(int id, bool atExit = false);
    // Every page by its id, in the order they were made.
    void CloseAllPages(bool atExit);
    // Closes the selected page and selects the one made after it, else the last one.
    void CloseTabActionExecute();

    // The opening step shared by day and document pages: a new tab and page for the loaded
    // frame, the frame placed on it, its title, the window title, the pages area shown, the
    // text focused, the page unmodified. Takes the frame; returns the page panel.
    QWidget* PlaceNewPage(QWidget* frame, const QString& key, const QString& id, bool isDocument,
                          const QString& title);

    // With Ctrl not held and the Ctrl-key option on, the selected page is closed (and saved).
    void ApplyCtrlKeyRule();

    // The deferred replacement of a page by another day's or document's page, after the
    // handler that asks for it has returned.
    void StepToDay(int pageId, const QString& dayKey);
    void StepToDocument(int pageId, const QString& documentName);

    // The tabs in TabsPanel's list order (the order they were made).
    std::vector<QWidget*> Tabs() const;
    int PageCount() const { return static_cast<int>(Tabs().size()); }
    // The tabs from left to right as they stand in the row.
    std::vector<QWidget*> TabsOnScreen() const;

    // --- Handlers ---
    void TabPanelMouseDown(QObject* sender);
    void TabsPanelResize();
    void TabPaintBoxPaint(qb::PaintBox& sender, QPainter& canvas);
    void TabSelectPaintBoxPaint(qb::PaintBox& sender, QPainter& canvas);
    void NextDayTimerTimer();
    void NextDocumentTimerTimer();

    int PendingPageId = 0;
    QString PendingDayKey;
    QString PendingDocumentName;
    qb::Timer* NextDayTimer = nullptr;
    qb::Timer* NextDocumentTimer = nullptr;

    QWidget* MainPanel() const { return mainPanel_; }
    QWidget* TabsPanel() const { return tabsPanel_; }
    QWidget* PagesPanel() const { return pagesPanel_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* makeTab(const QString& key, int id, const QString& title);
    void selectLook(QWidget* tab);
    void layoutTabs(std::vector<QWidget*> order);
    void fillPages();
    QWidget* tabOf(const QString& key) const;
    void showPage(const QString& key, const std::function<void(const QString&)>& open);

    QWidget* owner_;
    QPointer<QWidget> mainPanel_;
    QPointer<QWidget> tabsPanel_;
    QPointer<QWidget> pagesPanel_;
};
