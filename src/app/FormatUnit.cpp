#include "app/FormatUnit.h"

#include "app/MainExtensionUnit.h"
#include "app/MainUnit.h"
#include "editors/BaseEditorUnit.h"
#include "platform/ui/Guard.h"

#include <QAbstractEventDispatcher>
#include <QAction>

#include <utility>

namespace qb {

std::optional<FormatTarget> FormatTargetOf(QWidget* editorFrame) {
    auto* frame = qobject_cast<TBaseEditorFrame*>(editorFrame);
    if (!frame || !frame->RichEdit) {
        return std::nullopt;
    }
    FormatTarget target;
    target.richEdit = frame->RichEdit;
    target.takeUndoSnapshot = [frame] { frame->TakeUndoSnapshot(); };
    target.markModified = [frame] { frame->SetIsModified(true); };
    return target;
}

std::optional<FormatTarget> FocusedFormatTarget(QWidget* window) {
    auto* edit = window ? qobject_cast<TRichEdit*>(window->focusWidget()) : nullptr;
    if (!edit) {
        return std::nullopt;
    }
    for (QWidget* w = edit->parentWidget(); w; w = w->parentWidget()) {
        if (auto* frame = qobject_cast<TBaseEditorFrame*>(w); frame && frame->RichEdit == edit) {
            return FormatTargetOf(frame);
        }
    }
    return std::nullopt;
}

FontChoice SelectionFont(TRichEdit& edit) {
    TTextAttributes& a = edit.SelAttributes();
    FontChoice font;
    const TFontStyles style = a.Style();
    font.bold = style.testFlag(TFontStyle::Bold);
    font.italic = style.testFlag(TFontStyle::Italic);
    font.underline = style.testFlag(TFontStyle::Underline);
    font.strikeout = style.testFlag(TFontStyle::StrikeOut);
    font.family = a.Name();
    font.pointSize = a.Size();
    font.color = a.Color();
    return font;
}

void ApplyFontToSelection(TRichEdit& edit, const FontChoice& font) {
    TTextAttributes& a = edit.SelAttributes();
    TFontStyles style;
    style.setFlag(TFontStyle::Bold, font.bold);
    style.setFlag(TFontStyle::Italic, font.italic);
    style.setFlag(TFontStyle::Underline, font.underline);
    style.setFlag(TFontStyle::StrikeOut, font.strikeout);
    a.setStyle(style);
    // A font not yet loaded from the settings has no face and no size: the text keeps its own
    // rather than turning into a nameless 1-point font.
    if (!font.family.isEmpty()) {
        a.setName(font.family);
    }
    if (font.pointSize > 0) {
        a.setSize(font.pointSize);
    }
    a.setColor(font.color);
}

void ShiftParagraphs(TRichEdit& edit, int points) {
    TParaAttributes& p = edit.Paragraph();
    p.setFirstIndent(p.FirstIndent() + points);
}

FormatState SelectionFormatState(TRichEdit& edit) {
    const TFontStyles style = edit.SelAttributes().Style();
    FormatState state;
    state.bold = style.testFlag(TFontStyle::Bold);
    state.italic = style.testFlag(TFontStyle::Italic);
    state.underline = style.testFlag(TFontStyle::Underline);
    state.strikeout = style.testFlag(TFontStyle::StrikeOut);
    state.bullets = edit.Paragraph().Numbering() == TNumberingStyle::Bullet;
    state.alignment = edit.Paragraph().Alignment();
    return state;
}

FormatActions::FormatActions(TargetSource currentTarget, TargetSource focusedTarget,
                             QObject* parent)
    : QObject(parent),
      currentTarget_(std::move(currentTarget)),
      focusedTarget_(std::move(focusedTarget)) {}

std::optional<FormatTarget> FormatActions::editableTarget(const TargetSource& source) {
    std::optional<FormatTarget> target = source ? source() : std::nullopt;
    if (!target || !target->richEdit || target->richEdit->ReadOnly()) {
        return std::nullopt;
    }
    return target;
}

bool FormatActions::change(const TargetSource& source, const std::function<void(TRichEdit&)>& edit,
                           bool snapshot) {
    const std::optional<FormatTarget> target = editableTarget(source);
    if (!target) {
        return false;
    }
    edit(*target->richEdit);
    if (target->markModified) {
        target->markModified();
    }
    if (snapshot && target->takeUndoSnapshot) {
        target->takeUndoSnapshot();
    }
    return true;
}

void FormatActions::SetSelectionColor(TColor color) {
    change([color](TRichEdit& edit) { edit.SelAttributes().setColor(color); });
}

void FormatActions::OtherColorActionExecute() {
    if (!editableTarget(currentTarget_)) {
        return;
    }
    const std::optional<TColor> chosen = dialogs().chooseColor(otherColor_);
    if (!chosen) {
        return;
    }
    otherColor_ = *chosen;
    SetSelectionColor(*chosen);
}

void FormatActions::FontActionExecute() {
    const std::optional<FormatTarget> target = editableTarget(currentTarget_);
    if (!target) {
        return;
    }
    const std::optional<FontChoice> chosen = dialogs().chooseFont(SelectionFont(*target->richEdit));
    if (chosen) {
        ApplyDefaultFont(*chosen);
    }
}

void FormatActions::ApplyDefaultFont(const FontChoice& font) {
    change([&font](TRichEdit& edit) { ApplyFontToSelection(edit, font); });
}

// The shifts take no undo snapshot of their own: the next quiet second records them.
void FormatActions::ShiftLeftActionExecute() {
    change([](TRichEdit& edit) { ShiftParagraphs(edit, -kShiftPoints); }, false);
}

void FormatActions::ShiftRightActionExecute() {
    change([](TRichEdit& edit) { ShiftParagraphs(edit, kShiftPoints); }, false);
}

void FormatActions::ToggleStyle(TFontStyle style) {
    change(focusedTarget_, [style](TRichEdit& edit) {
        TTextAttributes& a = edit.SelAttributes();
        a.setStyle(style, !a.Style().testFlag(style));
    });
}

void FormatActions::BulletsActionExecute() {
    change(focusedTarget_, [](TRichEdit& edit) {
        TParaAttributes& p = edit.Paragraph();
        p.setNumbering(p.Numbering() == TNumberingStyle::Bullet ? TNumberingStyle::None
                                                                : TNumberingStyle::Bullet);
    });
}

void FormatActions::SetAlignment(TAlignment alignment) {
    change(focusedTarget_,
           [alignment](TRichEdit& edit) { edit.Paragraph().setAlignment(alignment); });
}

std::optional<FormatState> FormatActions::CurrentState() const {
    std::optional<FormatTarget> target = focusedTarget_ ? focusedTarget_() : std::nullopt;
    if (!target || !target->richEdit) {
        return std::nullopt;
    }
    return SelectionFormatState(*target->richEdit);
}

void UpdateFormatActionStates(TMainForm& main, const FormatActions& actions) {
    const std::optional<FormatState> state = actions.CurrentState();
    const FormatState shown = state.value_or(FormatState());
    const std::pair<QAction*, bool> checks[] = {
        {main.BoldAction, state && shown.bold},
        {main.ItalicAction, state && shown.italic},
        {main.UnderlineAction, state && shown.underline},
        {main.StrikeOutAction, state && shown.strikeout},
        {main.BulletsAction, state && shown.bullets},
        {main.AlignLeftAction, state && shown.alignment == TAlignment::LeftJustify},
        {main.AlignCenterAction, state && shown.alignment == TAlignment::Center},
        {main.AlignRightAction, state && shown.alignment == TAlignment::RightJustify},
    };
    for (const auto& [action, checked] : checks) {
        action->setEnabled(state.has_value());
        if (action->isChecked() != checked) {
            action->setChecked(checked);
        }
    }
}

FormatActions* InstallFormatActions(TMainForm& main) {
    TMainForm* form = &main;
    auto* actions = new FormatActions(
        [form]() -> std::optional<FormatTarget> { return FormatTargetOf(form->CurrentEditor()); },
        [form]() -> std::optional<FormatTarget> { return FocusedFormatTarget(form); }, &main);
    actions->setObjectName(QStringLiteral("FormatActions"));

    const std::pair<QAction*, TColor> colors[] = {
        {main.BlackAction, 0x000000},  {main.NavyAction, 0x800000},   {main.BlueAction, 0xFF0000},
        {main.TealAction, 0x808000},   {main.AquaAction, 0xFFFF00},   {main.MaroonAction, 0x000080},
        {main.RedAction, 0x0000FF},    {main.GreenAction, 0x008000},  {main.LimeAction, 0x00FF00},
        {main.YellowAction, 0x00FFFF}, {main.PurpleAction, 0x800080}, {main.GrayAction, 0x808080},
    };
    for (const auto& [action, color] : colors) {
        const TColor c = color;
        main.SetActionHandler(action, [actions, c] { actions->SetSelectionColor(c); });
    }
    main.SetActionHandler(main.OtherColorAction, [actions] { actions->OtherColorActionExecute(); });
    main.SetActionHandler(main.FontAction, [actions] { actions->FontActionExecute(); });
    // The default fonts are read when the action runs: the options may have changed them.
    main.SetActionHandler(main.DefaultFontAction,
                          [actions] { actions->ApplyDefaultFont(DefaultFont1); });
    main.SetActionHandler(main.DefaultFont2Action,
                          [actions] { actions->ApplyDefaultFont(DefaultFont2); });
    main.SetActionHandler(main.DefaultFont3Action,
                          [actions] { actions->ApplyDefaultFont(DefaultFont3); });
    main.SetActionHandler(main.ShiftLeftAction, [actions] { actions->ShiftLeftActionExecute(); });
    main.SetActionHandler(main.ShiftRightAction, [actions] { actions->ShiftRightActionExecute(); });

    const std::pair<QAction*, TFontStyle> styles[] = {
        {main.BoldAction, TFontStyle::Bold},
        {main.ItalicAction, TFontStyle::Italic},
        {main.UnderlineAction, TFontStyle::Underline},
        {main.StrikeOutAction, TFontStyle::StrikeOut},
    };
    const std::pair<QAction*, TAlignment> alignments[] = {
        {main.AlignLeftAction, TAlignment::LeftJustify},
        {main.AlignCenterAction, TAlignment::Center},
        {main.AlignRightAction, TAlignment::RightJustify},
    };
    // A checkable action flips its own mark when it is triggered; the mark is put back to what
    // the page shows once the action has run.
    const auto andUpdate = [form, actions](std::function<void()> work) {
        return [form, actions, work = std::move(work)] {
            work();
            UpdateFormatActionStates(*form, *actions);
        };
    };
    for (const auto& [action, style] : styles) {
        const TFontStyle s = style;
        main.SetActionHandler(action, andUpdate([actions, s] { actions->ToggleStyle(s); }));
    }
    main.SetActionHandler(main.BulletsAction,
                          andUpdate([actions] { actions->BulletsActionExecute(); }));
    for (const auto& [action, alignment] : alignments) {
        const TAlignment a = alignment;
        main.SetActionHandler(action, andUpdate([actions, a] { actions->SetAlignment(a); }));
    }

    if (auto* dispatcher = QAbstractEventDispatcher::instance()) {
        QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, actions,
                         guarded([form, actions] { UpdateFormatActionStates(*form, *actions); }));
    }
    UpdateFormatActionStates(main, *actions);
    return actions;
}

}  // namespace qb
