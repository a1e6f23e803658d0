#pragma once
// The hook of one control that the menu painter repaints flat. The control keeps all of its own
// behaviour and painting: the hook is an event filter that follows a few states of the control
// (mouse over it, focus, left button held, space held), lets the control paint itself and then
// paints the flat look over it in the same paint event, so the result shows on screen and in
// grab(). Unhooking removes the filter and repaints; the control's own properties are never
// changed, so nothing needs restoring.

#include "menupaint/FlatMenuPainter.h"

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QWidget>

// Whether a control has a border of its own.
enum TBorderStyle { bsNone = 0, bsSingle = 1 };

class TControlSubClass : public QObject {
    Q_OBJECT

  public:
    // Hooks control for painter (which owns the hook) unless the control has a hook already;
    // returns the control's hook.
    static TControlSubClass* HookControl(TFlatMenuPainter& painter, QWidget& control);
    // The control's hook, or nullptr.
    static TControlSubClass* HookOf(const QWidget& control);
    // Frees every hook that painter owns (only those whose control lies inside `inside` when it
    // is given), repainting their controls when repaint is set.
    static void UnhookControls(TFlatMenuPainter& painter, const QWidget* inside, bool repaint);
    // Every hook that painter owns.
    static QList<TControlSubClass*> HooksOf(const TFlatMenuPainter& painter);

    // Removes the filter (and repaints the control when repaint is set); frees the hook.
    void Unhook(bool repaint);
    // Hands the hook to another painter, which then owns it and gives its colours.
    void HandOver(TFlatMenuPainter& painter);

    ~TControlSubClass() override;

    QPointer<QWidget> Control;
    // The mouse is over the control, or the control has the focus.
    bool Hot = false;
    // The left button went down on the control and has not come up.
    bool MouseDown = false;
    // The space key is held on the control; its first press has been painted, so its repeats
    // paint nothing more.
    bool SpaceDown = false;
    bool SpaceRepeat = false;
    // The control, or its edit part, had the focus at the last painting.
    bool Focused = false;
    QPointer<TFlatMenuPainter> FlatMenuPainter;
    // Whether the control showed a border of its own when it was hooked.
    TBorderStyle SavedBorderStyle = bsNone;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    TControlSubClass(TFlatMenuPainter& painter, QWidget& control);

    // Paints the flat look over what the control has just painted of itself.
    void PaintControl();
    void repaint();

    bool repainting_ = false;
    bool repaintOnUnhook_ = true;
    bool paintFailed_ = false;
};
