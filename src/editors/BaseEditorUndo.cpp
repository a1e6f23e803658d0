// The undo history of an editor frame: whole-text snapshots taken a second after the caret
// stops, bounded by the 200-index limit and by a budget that shrinks with the text's length.

#include "editors/BaseEditorUnit.h"

#include "platform/core/Dialogs.h"
#include "platform/richedit/RichEdit.h"

#include <QLabel>
#include <QPointer>

#include <cmath>
#include <utility>

namespace {

const QString LimitTitle = QStringLiteral("Maximum Undo Count Exceeded");
const QString LimitText = QStringLiteral(
    "The maximum undo count (200) without saving has now been exceeded.   \r\nYou must now save "
    "your work to restart the maximum undo count.    ");

constexpr std::uint32_t kQuietMs = 1000;

}  // namespace

int TBaseEditorFrame::UndoBudget(int length) {
    const int characters = length < 1 ? 1 : length;
    // Round to nearest with ties to even, as the default rounding mode does.
    const long quotient = std::lrint(300000.0 / characters);
    return quotient == 0 ? 2 : static_cast<int>(5 * quotient);
}

void TBaseEditorFrame::releaseSlot(int index) {
    TUndoSnapshot& slot = UndoHistory[static_cast<std::size_t>(index)];
    slot.Stream = QByteArray();
    slot.Used = false;
}

void TBaseEditorFrame::SetCanTrackUndo(bool on) {
    CanTrackUndo = on;
    CanTrackUndoLabel->setText(on ? QStringLiteral("True") : QStringLiteral("False"));
}

void TBaseEditorFrame::RichEditSelectionChange() {
    if (!CanTrackUndo) {
        return;
    }
    const std::uint32_t tick = services_.tickCount();
    LengthLabel->setText(QString::number(RichEdit->GetTextLen()));
    TickCountLabel->setText(QString::number(tick));
    LastSelChangeTick = tick;
}

void TBaseEditorFrame::RichEditStateTimerTimer() {
    if (!VisibleFlag() || !CanTrackUndo || LastSelChangeTick == 0) {
        return;
    }
    // Unsigned: the difference stays right when the tick count wraps.
    const std::uint32_t quiet = services_.tickCount() - LastSelChangeTick;
    if (quiet > kQuietMs) {
        TakeUndoSnapshot();
    }
}

QByteArray TBaseEditorFrame::UndoSnapshotText() const {
    // The history's first snapshot after a load or a save is the text just read or written:
    // writing a long page again for it would double the time of the open or the save.
    return shownTextKnown_ ? shownText_ : RichEdit->SaveRtf();
}

void TBaseEditorFrame::TakeUndoSnapshot() {
    LastSelChangeTick = 0;
    if (!CanTrackUndo || !VisibleFlag()) {
        return;
    }
    // Off while the snapshot is taken: the tracker keeps firing inside the limit box's loop.
    CanTrackUndo = false;
    // The text is taken before any counter or slot changes, so that a snapshot that fails
    // half-way leaves the history as it was: no slot Undo or Redo can reach loses its text, and
    // none is left without one. Tracking then stays off until the next reset, undo or redo; the
    // user sees nothing.
    TUndoSnapshot fresh;
    try {
        fresh.Stream = UndoSnapshotText();
        shownTextKnown_ = false;
        shownText_ = QByteArray();
        fresh.SelStart = RichEdit->SelStart();
        fresh.SelLength = RichEdit->SelLength();
        fresh.Used = true;
    } catch (...) {
        return;
    }
    SetIdxUndo(iIdxUndo + 1, false);
    // The slot's earlier snapshot (a given-up redo step, or slot 200 at the limit) goes now.
    UndoHistory[static_cast<std::size_t>(iIdxUndo)] = std::move(fresh);
    SetMaxUndo(iIdxUndo);
    CanTrackUndo = true;
}

void TBaseEditorFrame::SetIdxUndo(int n, bool isRedo) {
    if (n > MaxUndoIndex) {
        qb::dialogs().messageBox(LimitText, LimitTitle, qb::MessageButtons::OkCancel,
                                 qb::MessageIcon::Warning);
        return;
    }
    if (n > iMaxUndo && isRedo) {
        return;
    }
    if (n > iMaxUndo) {
        SetMaxUndo(n);
    }
    iIdxUndo = n;
    IdxUndoLabel->setText(QString::number(n));
}

void TBaseEditorFrame::SetMaxUndo(int n) {
    iMaxUndo = n;
    MaxUndoLabel->setText(QString::number(n));
    const int budget = UndoBudget(RichEdit->GetTextLen());
    if (iMaxUndo - budget > iMinUndo && iMaxUndo - 5 > iMinUndo) {
        iMinUndo = iMaxUndo - 5;
        releaseSlot(iMinUndo);
    }
    MinUndoLabel->setText(QString::number(iMinUndo));
}

void TBaseEditorFrame::ResetUndo() {
    SetIdxUndo(0, false);
    iMinUndo = 0;
    // The history is empty until the first snapshot: should that fail, no Redo reaches a slot.
    SetMaxUndo(0);
    SetCanTrackUndo(true);
    for (TUndoSnapshot& slot : UndoHistory) {
        slot.Used = false;
    }
    TakeUndoSnapshot();
}

void TBaseEditorFrame::FreeUndoSnapshots() {
    for (int i = 0; i <= MaxUndoIndex; ++i) {
        if (UndoHistory[static_cast<std::size_t>(i)].Used) {
            releaseSlot(i);
        }
    }
}

void TBaseEditorFrame::Undo() {
    if (restoringUndo_) {
        return;
    }
    if (LastSelChangeTick != 0) {
        TakeUndoSnapshot();
    }
    const int n = iIdxUndo - 1;
    if (n <= iMinUndo) {
        return;
    }
    SetIdxUndo(n, false);
    restoreSnapshot(iIdxUndo);
}

void TBaseEditorFrame::Redo() {
    if (restoringUndo_) {
        return;
    }
    // Typing of the last quiet second is recorded first, as Undo does; it then ends the redo
    // chain instead of being overwritten by the redone snapshot. When it cannot be recorded,
    // it stays on the page and nothing is redone.
    if (LastSelChangeTick != 0) {
        TakeUndoSnapshot();
        if (!CanTrackUndo) {
            return;
        }
    }
    SetIdxUndo(iIdxUndo + 1, true);
    restoreSnapshot(iIdxUndo);
}

void TBaseEditorFrame::restoreSnapshot(int index) {
    QPointer<TBaseEditorFrame> alive(this);
    SetCanTrackUndo(false);
    // An Undo or Redo let through here would move the index while this one loads its own slot,
    // and switch tracking on so that the load counted as typing: it is ignored instead.
    restoringUndo_ = true;
    services_.processEvents();
    if (!alive) {
        return;  // the page was closed by a message let through
    }
    restoringUndo_ = false;
    const TUndoSnapshot& slot = UndoHistory[static_cast<std::size_t>(index)];
    // Every reachable slot holds a text; the check keeps the page as it is should one not.
    if (slot.Used) {
        RichEdit->LoadRtf(slot.Stream);
        RichEdit->setSelStart(slot.SelStart);
        RichEdit->setSelLength(slot.SelLength);
    }
    RichEdit->setFocus();
    SetCanTrackUndo(true);
    services_.processEvents();
}
