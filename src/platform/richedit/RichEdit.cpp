#include "platform/richedit/RichEdit.h"

#include "platform/richedit/RichEditFormats.h"
#include "platform/richedit/RichEditPaste.h"
#include "platform/rtf/Rtf.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QIODevice>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QSaveFile>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <algorithm>
#include <limits>
#include <memory>
#include <stdexcept>

namespace qb {

namespace {

constexpr int kTwipsPerPoint = 20;

[[noreturn]] void fail(const QString& message) {
    throw std::runtime_error(message.toStdString());
}

// The keys QTextEdit would keep for itself through ShortcutOverride but that belong to the
// window's actions: every combination with Ctrl, Alt or Meta except caret movement and deletion.
bool belongsToWindow(const QKeyEvent& e) {
    if (!(e.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        return false;
    }
    switch (e.key()) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Backspace:
        case Qt::Key_Delete:
            return false;
        default:
            return true;
    }
}

// How many characters a key press types (the caret keys and shortcuts type none).
int typedLength(const QKeyEvent& e, bool wantTabs) {
    switch (e.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return 1;
        case Qt::Key_Tab:
            return wantTabs ? 1 : 0;
        case Qt::Key_Backtab:
            return 0;
        default:
            break;
    }
    if (e.modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) {
        return 0;
    }
    const QString text = e.text();
    if (text.isEmpty() || !text.front().isPrint()) {
        return 0;
    }
    return int(text.size());
}

// Qt's line breaking looks for the end of a run without a break opportunity again for every
// line it breaks out of the run, so such a run lays out in time that grows with the square of
// its length (100,000 characters take seconds). Broken at any character, it lays out in linear
// time. The sum of the squared run lengths above which a text is wrapped at any character: a
// single run of about 32,000 characters, a tenth of a second of layout; ordinary text, even two
// million characters of it, stays a hundred times below.
constexpr double kSlowRunCost = 1e9;

double runCost(QStringView text) {
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, text);
    double cost = 0;
    qsizetype last = 0;
    for (qsizetype at = breaks.toNextBoundary(); at >= 0; at = breaks.toNextBoundary()) {
        const double run = double(at - last);
        cost += run * run;
        last = at;
    }
    return cost;
}

// The bytes the RTF of a pasted plain text takes at most per character ("\uN?" with N
// negative and five digits, or a paragraph end).
constexpr qsizetype kRtfBytesPerCharacter = 9;

}  // namespace

// ---- styles -------------------------------------------------------------------------------

TFontStyles fontStyles(const QFont& font) {
    TFontStyles styles;
    styles.setFlag(TFontStyle::Bold, font.bold());
    styles.setFlag(TFontStyle::Italic, font.italic());
    styles.setFlag(TFontStyle::Underline, font.underline());
    styles.setFlag(TFontStyle::StrikeOut, font.strikeOut());
    return styles;
}

void setFontStyles(QFont& font, TFontStyles styles) {
    font.setWeight(styles.testFlag(TFontStyle::Bold) ? QFont::Bold : QFont::Normal);
    font.setItalic(styles.testFlag(TFontStyle::Italic));
    font.setUnderline(styles.testFlag(TFontStyle::Underline));
    font.setStrikeOut(styles.testFlag(TFontStyle::StrikeOut));
}

// ---- selection attributes -----------------------------------------------------------------

namespace {

// The character format the selection attributes read: the first selected character's, or the
// format for new text when nothing is selected (QTextCursor::charFormat would give the
// character before the selection).
QTextCharFormat selectionFormat(const TRichEdit& edit) {
    const QTextCursor cursor = edit.textCursor();
    if (!cursor.hasSelection()) {
        return edit.currentCharFormat();
    }
    return richedit::formatOfCharacter(*edit.document(), cursor.selectionStart());
}

// Merges change into the selection, or into the format for new text when nothing is selected;
// the paragraphs the selection starts keep the look of their bullets in step with their text.
// Both happen in one edit: a paragraph format changed in an edit of its own after the merge
// leaves the first paragraph undrawn until the page is laid out again.
void mergeIntoSelection(TRichEdit& edit, const QTextCharFormat& change) {
    QTextCursor cursor = edit.textCursor();
    cursor.beginEditBlock();
    edit.mergeCurrentCharFormat(change);
    richedit::fitParagraphFormats(cursor);
    cursor.endEditBlock();
}

}  // namespace

TFontStyles TTextAttributes::Style() const {
    return richedit::stylesOf(selectionFormat(edit_), *edit_.document());
}

void TTextAttributes::setStyle(TFontStyles style) {
    if (!edit_.editable()) {
        return;
    }
    QTextCharFormat change;
    richedit::setStyles(change, style);
    mergeIntoSelection(edit_, change);
}

void TTextAttributes::setStyle(TFontStyle style, bool on) {
    if (!edit_.editable()) {
        return;
    }
    QTextCharFormat change;
    switch (style) {
        case TFontStyle::Bold:
            change.setFontWeight(on ? QFont::Bold : QFont::Normal);
            break;
        case TFontStyle::Italic:
            change.setFontItalic(on);
            break;
        case TFontStyle::Underline:
            change.setFontUnderline(on);
            break;
        case TFontStyle::StrikeOut:
            change.setFontStrikeOut(on);
            break;
    }
    mergeIntoSelection(edit_, change);
}

QString TTextAttributes::Name() const {
    return richedit::faceOf(selectionFormat(edit_), *edit_.document());
}

void TTextAttributes::setName(const QString& name) {
    if (!edit_.editable()) {
        return;
    }
    QTextCharFormat change;
    change.setFontFamilies(QStringList{name});
    mergeIntoSelection(edit_, change);
}

int TTextAttributes::Size() const {
    return richedit::pointsOf(selectionFormat(edit_), *edit_.document());
}

void TTextAttributes::setSize(int points) {
    if (!edit_.editable()) {
        return;
    }
    QTextCharFormat change;
    change.setFontPointSize(std::max(points, 1));
    mergeIntoSelection(edit_, change);
}

TColor TTextAttributes::Color() const {
    return richedit::colorOf(selectionFormat(edit_));
}

void TTextAttributes::setColor(TColor color) {
    if (!edit_.editable()) {
        return;
    }
    QTextCursor cursor = edit_.textCursor();
    if (!cursor.hasSelection()) {
        QTextCharFormat format = edit_.currentCharFormat();
        richedit::setColor(format, color);
        edit_.setCurrentCharFormat(format);
        return;
    }
    // The automatic colour is the absence of a colour, which a merge cannot express: each run
    // of the selection gets its own format with the colour changed.
    richedit::editRuns(cursor, [color](QTextCharFormat& f) { richedit::setColor(f, color); });
}

// ---- paragraph attributes -----------------------------------------------------------------

namespace {

QTextBlock startBlock(const TRichEdit& edit) {
    return edit.document()->findBlock(edit.textCursor().selectionStart());
}

}  // namespace

int TParaAttributes::FirstIndentTwips() const {
    return richedit::firstIndentTwips(startBlock(edit_));
}

int TParaAttributes::FirstIndent() const {
    return FirstIndentTwips() / kTwipsPerPoint;
}

void TParaAttributes::setFirstIndent(int points) {
    if (!edit_.editable()) {
        return;
    }
    const int twips = std::max(points, 0) * kTwipsPerPoint;
    QTextCursor cursor = edit_.textCursor();
    richedit::editBlocks(cursor, [twips](const QTextBlock& block, QTextBlockFormat& f) {
        richedit::setFirstIndentTwips(block, f, twips);
    });
}

TAlignment TParaAttributes::Alignment() const {
    const Qt::Alignment a = startBlock(edit_).blockFormat().alignment();
    if (a & (Qt::AlignRight | Qt::AlignTrailing)) {
        return TAlignment::RightJustify;
    }
    if (a & Qt::AlignHCenter) {
        return TAlignment::Center;
    }
    return TAlignment::LeftJustify;
}

void TParaAttributes::setAlignment(TAlignment alignment) {
    if (!edit_.editable()) {
        return;
    }
    Qt::Alignment a = Qt::AlignLeft;
    if (alignment == TAlignment::RightJustify) {
        a = Qt::AlignRight;
    } else if (alignment == TAlignment::Center) {
        a = Qt::AlignHCenter;
    }
    QTextBlockFormat change;
    change.setAlignment(a);
    edit_.textCursor().mergeBlockFormat(change);
}

TNumberingStyle TParaAttributes::Numbering() const {
    return richedit::isBullet(startBlock(edit_)) ? TNumberingStyle::Bullet : TNumberingStyle::None;
}

void TParaAttributes::setNumbering(TNumberingStyle numbering) {
    if (!edit_.editable()) {
        return;
    }
    QTextCursor cursor = edit_.textCursor();
    richedit::setBullets(cursor, numbering == TNumberingStyle::Bullet, edit_.currentCharFormat());
}

// ---- the control --------------------------------------------------------------------------

TRichEdit::TRichEdit(QWidget* parent) : QTextEdit(parent) {
    setAcceptRichText(true);
    setWantTabs(false);
    setHideSelection(true);
    attachDocument();
    connect(this, &QTextEdit::cursorPositionChanged, this, &TRichEdit::OnSelectionChange);
    connect(this, &QTextEdit::selectionChanged, this, &TRichEdit::OnSelectionChange);
}

TRichEdit::~TRichEdit() = default;

void TRichEdit::attachDocument() {
    // The window keeps the undo history; the document keeps none.
    document()->setUndoRedoEnabled(false);
    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        if (!quiet_) {
            emit OnChange();
        }
    });
}

void TRichEdit::LoadRtf(const QByteArray& rtf) {
    LoadRtf(rtf, std::numeric_limits<int>::max());
}

void TRichEdit::fitWrapTo(QStringView text) {
    const bool anywhere = runCost(text) > kSlowRunCost;
    // Set on the control, which gives every document it shows its own wrap mode.
    setWordWrapMode(anywhere ? QTextOption::WrapAnywhere
                             : QTextOption::WrapAtWordBoundaryOrAnywhere);
}

bool TRichEdit::LoadRtf(const QByteArray& rtf, int maxLength) {
    // Read into a document of its own and then show it: building a long text inside the shown
    // document costs a layout and notifications per piece, over ten times the reading.
    auto fresh = std::make_unique<QTextDocument>();
    QTextDocument* old = document();
    fresh->setDefaultFont(old->defaultFont());
    fresh->setDefaultTextOption(old->defaultTextOption());
    fresh->setDocumentMargin(old->documentMargin());
    fresh->setIndentWidth(old->indentWidth());
    fresh->setUndoRedoEnabled(false);
    if (!rtf::read(rtf, *fresh, maxLength)) {
        return false;
    }
    fresh->setUndoRedoEnabled(false);
    // The wrap mode before the text is shown: the first layout is the one that would be slow.
    fitWrapTo(fresh->toPlainText());
    QTextOption wrap = fresh->defaultTextOption();
    wrap.setWrapMode(wordWrapMode());
    fresh->setDefaultTextOption(wrap);
    fresh->setParent(this);
    // The control frees its own first document itself; the ones given to it are ours.
    const bool ours = old->parent() == this;
    {
        const QSignalBlocker quiet(this);  // the new text announces itself once, below
        setDocument(fresh.release());
    }
    attachDocument();
    if (ours) {
        delete old;
    }
    setTextCursor(QTextCursor(document()));
    emit OnChange();
    return true;
}

QByteArray TRichEdit::SaveRtf() const {
    return rtf::write(*document());
}

void TRichEdit::LoadFromStream(QIODevice& stream) {
    if (!stream.isReadable()) {
        fail(QStringLiteral("Stream read error"));
    }
    LoadRtf(stream.readAll());
}

void TRichEdit::SaveToStream(QIODevice& stream) const {
    const QByteArray rtf = SaveRtf();
    if (!stream.isWritable() || stream.write(rtf) != rtf.size()) {
        fail(QStringLiteral("Stream write error"));
    }
}

void TRichEdit::SaveToFile(const QString& path) const {
    QSaveFile file(path);
    const QByteArray rtf = SaveRtf();
    if (!file.open(QIODevice::WriteOnly) || file.write(rtf) != rtf.size() || !file.commit()) {
        fail(QStringLiteral("Cannot create file \"%1\". %2").arg(path, file.errorString()));
    }
}

int TRichEdit::GetTextLen() const {
    return document()->characterCount() - 1;
}

QStringList TRichEdit::Lines() const {
    // The lines of the page without word wrap, as the search reads them: a line break inside a
    // paragraph starts a line too. The end of the last paragraph starts no line of its own.
    QStringList lines = document()->toPlainText().split(u'\n');
    if (lines.back().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

int TRichEdit::SelStart() const {
    return textCursor().selectionStart();
}

void TRichEdit::setSelStart(int start) {
    QTextCursor cursor = textCursor();
    if (start < 0) {
        cursor.clearSelection();
    } else {
        cursor.setPosition(std::min(start, GetTextLen()));
    }
    setTextCursor(cursor);
}

int TRichEdit::SelLength() const {
    const QTextCursor cursor = textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

void TRichEdit::setSelLength(int length) {
    QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    const int end = std::clamp(start + std::max(length, 0), start, GetTextLen());
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

void TRichEdit::SetFont(const FontChoice& font) {
    QFont defaultFont = document()->defaultFont();
    defaultFont.setFamilies(QStringList{font.family});
    if (font.pointSize > 0) {
        defaultFont.setPointSize(font.pointSize);
    }
    TFontStyles styles;
    styles.setFlag(TFontStyle::Bold, font.bold);
    styles.setFlag(TFontStyle::Italic, font.italic);
    styles.setFlag(TFontStyle::Underline, font.underline);
    styles.setFlag(TFontStyle::StrikeOut, font.strikeout);
    setFontStyles(defaultFont, styles);
    document()->setDefaultFont(defaultFont);
    const auto apply = [&font, styles](QTextCharFormat& f) {
        f.setFontFamilies(QStringList{font.family});
        if (font.pointSize > 0) {
            f.setFontPointSize(font.pointSize);
        }
        richedit::setStyles(f, styles);
        richedit::setColor(f, font.color);
    };
    // The format of an empty page is its default, not an edit.
    const bool wasQuiet = quiet_;
    quiet_ = quiet_ || GetTextLen() == 0;
    QTextCursor all(document());
    all.select(QTextCursor::Document);
    richedit::editRuns(all, apply);
    quiet_ = wasQuiet;
    QTextCharFormat current = currentCharFormat();
    apply(current);
    setCurrentCharFormat(current);
}

int TRichEdit::FindText(const QString& text, int start, int length, TSearchTypes options,
                        int* foundLength) const {
    return richedit::findText(*document(), text, start, length, options, foundLength);
}

void TRichEdit::setHideSelection(bool hide) {
    hideSelection_ = hide;
    QPalette p = palette();
    if (hide) {
        p.setColor(QPalette::Inactive, QPalette::Highlight,
                   p.color(QPalette::Inactive, QPalette::Base));
        p.setColor(QPalette::Inactive, QPalette::HighlightedText,
                   p.color(QPalette::Inactive, QPalette::Text));
    } else {
        p.setColor(QPalette::Inactive, QPalette::Highlight,
                   p.color(QPalette::Active, QPalette::Highlight));
        p.setColor(QPalette::Inactive, QPalette::HighlightedText,
                   p.color(QPalette::Active, QPalette::HighlightedText));
    }
    setPalette(p);
}

void TRichEdit::CopyToClipboard() const {
    if (textCursor().hasSelection()) {
        QApplication::clipboard()->setMimeData(createMimeDataFromSelection());
    }
}

void TRichEdit::CutToClipboard() {
    if (!editable() || !textCursor().hasSelection()) {
        return;
    }
    CopyToClipboard();
    textCursor().removeSelectedText();
}

void TRichEdit::PasteFromClipboard() {
    if (const QMimeData* source = QApplication::clipboard()->mimeData()) {
        InsertMimeData(*source);
    }
}

int TRichEdit::room() const {
    if (maxLength_ <= 0) {
        return std::numeric_limits<int>::max();
    }
    return std::max(0, maxLength_ - (GetTextLen() - SelLength()));
}

void TRichEdit::InsertMimeData(const QMimeData& source) {
    if (!editable()) {
        return;
    }
    const int limit = room();
    if (limit == 0) {
        QApplication::beep();
        return;
    }
    QTextCursor cursor = textCursor();
    QTextDocument content;
    if (richedit::richContent(source, content)) {
        richedit::truncate(content, limit);
        if (content.characterCount() <= 1) {
            return;
        }
        if (!roomForRtf(rtf::write(content).size())) {
            QApplication::beep();
            return;
        }
        fitWrapToPaste(content.toPlainText());
        cursor.beginEditBlock();
        richedit::insertDocument(cursor, content);
        cursor.endEditBlock();
    } else {
        QString text = richedit::plainContent(source);
        if (text.size() > limit) {
            const bool halfCharacter = text.at(limit - 1).isHighSurrogate();
            text.truncate(halfCharacter ? limit - 1 : limit);
        }
        if (text.isEmpty()) {
            return;
        }
        if (!roomForRtf(text.size() * kRtfBytesPerCharacter)) {
            QApplication::beep();
            return;
        }
        fitWrapToPaste(text);
        cursor.insertText(text);
    }
    setTextCursor(cursor);
    ensureCursorVisible();
}

bool TRichEdit::roomForRtf(qsizetype added) const {
    return maxRtfSize_ <= 0 || SaveRtf().size() + added <= maxRtfSize_;
}

void TRichEdit::fitWrapToPaste(const QString& pasted) {
    if (WrapsAnywhere()) {
        return;  // until the next load
    }
    // The paragraphs the paste makes: the start of the first one touched, the pasted text, and
    // the rest of the last one touched.
    const QTextCursor cursor = textCursor();
    const QTextBlock first = document()->findBlock(cursor.selectionStart());
    const QTextBlock last = document()->findBlock(cursor.selectionEnd());
    const QString made = first.text().left(cursor.selectionStart() - first.position()) + pasted +
                         last.text().mid(cursor.selectionEnd() - last.position());
    if (runCost(made) > kSlowRunCost) {
        setWordWrapMode(QTextOption::WrapAnywhere);
    }
}

bool TRichEdit::canInsertFromMimeData(const QMimeData* source) const {
    return source != nullptr && editable() && richedit::canPaste(*source);
}

void TRichEdit::insertFromMimeData(const QMimeData* source) {
    if (source != nullptr) {
        InsertMimeData(*source);
    }
}

QMimeData* TRichEdit::createMimeDataFromSelection() const {
    return richedit::mimeDataOf(textCursor()).release();
}

bool TRichEdit::event(QEvent* e) {
    if (e->type() == QEvent::ShortcutOverride && belongsToWindow(*static_cast<QKeyEvent*>(e))) {
        e->ignore();
        return true;
    }
    if (e->type() == QEvent::ReadOnlyChange) {
        const bool handled = QTextEdit::event(e);
        keepCaretInReadOnly();
        return handled;
    }
    return QTextEdit::event(e);
}

void TRichEdit::keepCaretInReadOnly() {
    // A read-only page still shows its caret and lets the keys move it and select.
    if (isReadOnly()) {
        setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    }
}

void TRichEdit::keyPressEvent(QKeyEvent* e) {
    int key = e->key();
    emit OnKeyDown(key, e->modifiers());
    if (key == 0) {
        e->accept();
        return;
    }
    // Qt binds Ctrl+U to deleting the line; here Ctrl+U is a formatting key of the window.
    if (e->matches(QKeySequence::DeleteCompleteLine)) {
        e->ignore();
        return;
    }
    // Without WantTabs a tab is never typed, also where there is no control to move to.
    const bool tab = e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab;
    if (tab && !WantTabs() && !(e->modifiers() & Qt::ControlModifier)) {
        e->ignore();
        return;
    }
    // Alt with a key is a command (a menu's mnemonic, or nothing), never text; AltGr, which
    // types characters on many layouts, arrives as the group switch instead.
    if ((e->modifiers() & Qt::AltModifier) && !(e->modifiers() & Qt::GroupSwitchModifier) &&
        typedLength(*e, WantTabs()) > 0) {
        e->ignore();
        return;
    }
    if (editable()) {
        const int typed = typedLength(*e, WantTabs());
        if (typed > 0 && typed > room()) {
            e->accept();
            QApplication::beep();
            return;
        }
    }
    QTextEdit::keyPressEvent(e);
}

void TRichEdit::inputMethodEvent(QInputMethodEvent* e) {
    const int limit = room();
    if (editable() && e->commitString().size() > limit) {
        QInputMethodEvent cut(e->preeditString(), e->attributes());
        cut.setCommitString(e->commitString().left(limit), e->replacementStart(),
                            e->replacementLength());
        QTextEdit::inputMethodEvent(&cut);
        e->accept();
        return;
    }
    QTextEdit::inputMethodEvent(e);
}

void TRichEdit::contextMenuEvent(QContextMenuEvent* e) {
    if (popupMenu_ != nullptr) {
        popupMenu_->popup(e->globalPos());
    }
    e->accept();
}

}  // namespace qb
