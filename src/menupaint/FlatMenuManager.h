#pragma once
// The one manager of all menu painters: it knows every registered painter, chooses the one that
// serves the windows that carry no painter of their own, picks up windows shown later (through
// an application-wide event filter) and hooks them at the next turn of the event loop. It is
// also the hook that the program style asks first: it hands each menu to the painter whose
// handlers sit on its items, and leaves every other widget to the base style.

#include "menupaint/FlatMenuPainter.h"
#include "platform/ui/ProgramStyle.h"

#include <QObject>
#include <QPointer>

#include <vector>

class QAction;
class QMenu;
class QWidget;

class TFlatMenuManager : public QObject, public qb::StyleHook {
    Q_OBJECT

  public:
    TFlatMenuManager();
    ~TFlatMenuManager() override;

    void AddMenuPainter(TFlatMenuPainter* painter);
    void RemoveMenuPainter(TFlatMenuPainter* painter);
    int MenuPainterCount() const;
    // The serving painter, or nullptr.
    TFlatMenuPainter* ActiveMenuPainter() const { return activeMenuPainter_; }
    // The first registered painter that is active, may serve and is not except.
    TFlatMenuPainter* FindOtherActive(const TFlatMenuPainter* except) const;
    // The serving role passes on; leaving is the painter that gives it up (or nullptr).
    void SwitchActive(TFlatMenuPainter* leaving);
    // A window appeared: it waits to be hooked by the serving painter.
    void FormNotification(QWidget* form);
    // Hooks the waiting windows (what the event loop's next turn does).
    void HookPendingForms();
    // Queues every open window that is not hooked yet, has no tag 999 and no painter of its own.
    void CollectForms();
    // The controls of form return to their plain look.
    void RestoreForm(QWidget* form);
    bool IsDone(const QWidget* form) const;
    bool IsPending(const QWidget* form) const;

    // The painter that paints menu's items, when it is active and the menu owner-drawn.
    static TFlatMenuPainter* PainterOfMenu(const QWidget* menu);
    // The item of menu drawn in rect (nullptr when none).
    static QAction* ItemAt(const QWidget* menu, const QRect& rect);

    // --- qb::StyleHook ---
    bool drawControl(QStyle::ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    bool drawPrimitive(QStyle::PrimitiveElement element, const QStyleOption* option,
                       QPainter* painter, const QWidget* widget) const override;
    std::optional<QSize> sizeFromContents(QStyle::ContentsType type, const QStyleOption* option,
                                          const QSize& size, const QWidget* widget) const override;
    std::optional<int> pixelMetric(QStyle::PixelMetric metric, const QStyleOption* option,
                                   const QWidget* widget) const override;
    std::optional<int> styleHint(QStyle::StyleHint hint, const QStyleOption* option,
                                 const QWidget* widget, QStyleHintReturn* data) const override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void prune();
    void scheduleHooking();
    void reportOnce(const char* what) const;

    std::vector<QPointer<TFlatMenuPainter>> menuPainters_;
    std::vector<QPointer<QWidget>> pendingForms_;
    std::vector<QPointer<QWidget>> doneForms_;
    QPointer<TFlatMenuPainter> activeMenuPainter_;
    bool hookingScheduled_ = false;
    mutable bool reported_ = false;
};

// The one manager; nullptr until the first painter is made, again after the last is freed.
extern TFlatMenuManager* MenuManager;
void EnsureMenuManager();
void FreeMenuManager();
