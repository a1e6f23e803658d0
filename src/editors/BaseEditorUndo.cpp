// The undo history of an editor frame: whole-text snapshots taken a second after the caret
// stops, bounded by the 200-index limit and by a budget that shrinks with the text's length.

#include "editors/BaseEditorUnit.h"

#include "platform/core/Dialogs.h"
#include "platform/richedit/RichEdit.h"

#include <QLabel>

#include <cmath>

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

void TBaseEditorFrame::TakeUndoSnapshot() {
    LastSelChangeTick = 0;
    if (!CanTrackUndo || !VisibleFlag()) {
        return;
    }
    // Off while the snapshot is taken: the tracker keeps firing inside the limit box's loop.
    CanTrackUndo = false;
    const int previousIdx = iIdxUndo;
    const int previousMax = iMaxUndo;
    SetIdxUndo(iIdxUndo + 1, false);
    try {
        const int index = iIdxUndo;
        if (UndoHistory[static_cast<std::size_t>(index)].Used) {
            releaseSlot(index);
        }
        TUndoSnapshot& slot = UndoHistory[static_cast<std::size_t>(index)];
        // Marked used only once it holds the text, so that a failed snapshot is never restored.
        slot.Stream = RichEdit->SaveRtf();
        slot.Used = true;
        slot.SelStart = RichEdit->SelStart();
        slot.SelLength = RichEdit->SelLength();
        SetMaxUndo(iIdxUndo);
        CanTrackUndo = true;
    } catch (...) {
        // The user sees nothing; tracking stays off until the next reset, undo or redo. The
        // highest index goes back too, so that Redo never reaches the slot without text.
        SetIdxUndo(previousIdx, false);
        iMaxUndo = previousMax;
        MaxUndoLabel->setText(QString::number(iMaxUndo));
    }
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
    // Typing of the last quiet second is recorded first, as Undo does; it then ends the redo
    // chain instead of being overwritten by the next snapshot.
    if (LastSelChangeTick != 0) {
        TakeUndoSnapshot();
    }
    SetIdxUndo(iIdxUndo + 1, true);
    restoreSnapshot(iIdxUndo);
}

void TBaseEditorFrame::restoreSnapshot(int index) {
    const TUndoSnapshot& slot = UndoHistory[static_cast<std::size_t>(index)];
    SetCanTrackUndo(false);
    services_.processEvents();
    // A slot whose snapshot failed half-way holds no text: the page keeps what it shows.
    if (slot.Used) {
        RichEdit->LoadRtf(slot.Stream);
        RichEdit->setSelStart(slot.SelStart);
        RichEdit->setSelLength(slot.SelLength);
    }
    RichEdit->setFocus();
    SetCanTrackUndo(true);
    services_.processEvents();
}
