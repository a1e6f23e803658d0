#pragma once
// The main window's formatting actions on the current page: the twelve font colours and
// "Other Color", the font dialog, the three default fonts, shifting paragraphs by 12 points,
// the four styles, bullets and the three alignments. Each change records an undo step and
// marks the page modified; a read-only page, or no page at all, changes nothing and shows no
// dialog. The styles, bullets and alignments are the standard rich-edit commands: they work on
// the page whose text has the window's focus, and on nothing while another control has it.

#include "platform/core/Color.h"
#include "platform/core/Dialogs.h"
#include "platform/richedit/RichEdit.h"

#include <QObject>

#include <functional>
#include <optional>

class QAction;
class QWidget;
class TMainForm;

namespace qb {

// The page a formatting action works on: its text control, and how a change is recorded.
struct FormatTarget {
    TRichEdit* richEdit = nullptr;
    std::function<void()> takeUndoSnapshot;
    std::function<void()> markModified;
};

// The editor frame of a page as a target; nullopt for anything that is no editor frame.
std::optional<FormatTarget> FormatTargetOf(QWidget* editorFrame);
// The page whose text control is the window's focused widget (the one that keeps the focus
// while a menu or a tool button is clicked); nullopt while another control has the focus.
std::optional<FormatTarget> FocusedFormatTarget(QWidget* window);

// The selection's font as the font dialog and the default fonts describe one.
FontChoice SelectionFont(TRichEdit& edit);
// Style set (which also clears the styles the font lacks), face, size and colour, in that order.
void ApplyFontToSelection(TRichEdit& edit, const FontChoice& font);
// The first indent of the selected paragraphs := the first one's, in whole points, plus points.
void ShiftParagraphs(TRichEdit& edit, int points);

// The state the checkable actions show for a selection.
struct FormatState {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    bool bullets = false;
    TAlignment alignment = TAlignment::LeftJustify;
};
FormatState SelectionFormatState(TRichEdit& edit);

class FormatActions : public QObject {
    Q_OBJECT

  public:
    static constexpr int kShiftPoints = 12;

    using TargetSource = std::function<std::optional<FormatTarget>()>;

    // currentTarget: the page of the selected tab, nullopt while none is open; focusedTarget:
    // the page whose text has the focus, for the standard rich-edit commands.
    FormatActions(TargetSource currentTarget, TargetSource focusedTarget,
                  QObject* parent = nullptr);

    void SetSelectionColor(TColor color);
    void OtherColorActionExecute();
    void FontActionExecute();
    // "Default Font 1" .. "Default Font 3".
    void ApplyDefaultFont(const FontChoice& font);
    void ShiftLeftActionExecute();
    void ShiftRightActionExecute();
    // Bold, italic, underline and strikeout: on unless the selection has it, then off.
    void ToggleStyle(TFontStyle style);
    void BulletsActionExecute();
    void SetAlignment(TAlignment alignment);

    // The state of the focused page's selection; nullopt while no page's text has the focus.
    std::optional<FormatState> CurrentState() const;

  private:
    // Runs edit on the target's page when it is editable and records the change; false when
    // nothing ran.
    bool change(const TargetSource& source, const std::function<void(TRichEdit&)>& edit,
                bool snapshot = true);
    bool change(const std::function<void(TRichEdit&)>& edit, bool snapshot = true) {
        return change(currentTarget_, edit, snapshot);
    }
    static std::optional<FormatTarget> editableTarget(const TargetSource& source);

    TargetSource currentTarget_;
    TargetSource focusedTarget_;
    TColor otherColor_ = clBlack;  // the colour dialog opens with the colour last chosen in it
};

// Installs the handlers of every formatting action on the main window (once, from
// ConnectProgramWindows), and keeps the checked and enabled states of the style, bullet and
// alignment actions with the focused page whenever the program goes idle. Returns the actions
// (owned by main).
FormatActions* InstallFormatActions(TMainForm& main);
// Brings the checkable actions up to the focused page's selection (the idle update).
void UpdateFormatActionStates(TMainForm& main, const FormatActions& actions);

}  // namespace qb
