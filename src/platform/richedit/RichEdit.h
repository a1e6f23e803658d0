#pragma once
// The rich-edit control of the editor pages, the search and the export: a QTextEdit that keeps
// its text as our RTF, counts positions in characters, reads and sets the selection's character
// and paragraph format in the units the pages work in, and leaves undo and the editing
// shortcuts to the window that holds it.

#include <QFlags>
#include <QFont>
#include <QString>
#include <QStringList>
#include <QTextEdit>

#include "platform/core/Color.h"
#include "platform/core/Dialogs.h"

class QIODevice;
class QMenu;
class QMimeData;

namespace qb {

enum class TFontStyle { Bold = 0x1, Italic = 0x2, Underline = 0x4, StrikeOut = 0x8 };
Q_DECLARE_FLAGS(TFontStyles, TFontStyle)

enum class TAlignment { LeftJustify, RightJustify, Center };
enum class TNumberingStyle { None, Bullet };

enum class TSearchType { MatchCase = 0x1, WholeWord = 0x2 };
Q_DECLARE_FLAGS(TSearchTypes, TSearchType)

// The styles of a font, and a font with exactly the given styles.
TFontStyles fontStyles(const QFont& font);
void setFontStyles(QFont& font, TFontStyles styles);

// The maximum length that sets no limit.
inline constexpr int kNoMaxLength = 0;

class TRichEdit;

// The character format of the selection: read from its first character (from the format for
// new text when nothing is selected); each set applies one attribute to the whole selection,
// or to the text typed next when nothing is selected.
class TTextAttributes {
  public:
    explicit TTextAttributes(TRichEdit& edit) : edit_(edit) {}

    TFontStyles Style() const;
    void setStyle(TFontStyles style);  // also clears the styles not in the set
    // Turns one style on or off and leaves the others of each run as they are (the bold,
    // italic, underline and strikeout commands, so that a mixed selection stays mixed).
    void setStyle(TFontStyle style, bool on);
    QString Name() const;
    void setName(const QString& name);
    int Size() const;          // whole points
    void setSize(int points);  // at least 1
    // clWindowText stands for the automatic colour, both ways; other system colours are
    // taken at their current value.
    TColor Color() const;
    void setColor(TColor color);

  private:
    TRichEdit& edit_;
};

// The paragraph format: read from the paragraph of the selection start; each set applies to
// every paragraph the selection touches.
class TParaAttributes {
  public:
    explicit TParaAttributes(TRichEdit& edit) : edit_(edit) {}

    // Indent of the first line from the page margin, in twips and in whole points (truncated).
    int FirstIndentTwips() const;
    int FirstIndent() const;
    // Moves the paragraphs so that their first line starts at points from the margin (never
    // left of the margin); the other lines keep their place relative to the first.
    void setFirstIndent(int points);
    TAlignment Alignment() const;
    void setAlignment(TAlignment alignment);
    TNumberingStyle Numbering() const;
    void setNumbering(TNumberingStyle numbering);

  private:
    TRichEdit& edit_;
};

class TRichEdit : public QTextEdit {
    Q_OBJECT

  public:
    explicit TRichEdit(QWidget* parent = nullptr);
    ~TRichEdit() override;

    // Text in and out as RTF. Loading replaces the text without any length limit, puts the caret
    // at 0 and raises OnChange once. Saving writes the whole text. A stream is read from and
    // written at its current position; failures raise std::runtime_error.
    void LoadFromStream(QIODevice& stream);
    void SaveToStream(QIODevice& stream) const;
    void LoadRtf(const QByteArray& rtf);
    // Loads like LoadRtf unless the text has more than maxLength characters: then the control
    // keeps the text it has, and the result is false. Reading stops at the limit.
    bool LoadRtf(const QByteArray& rtf, int maxLength);
    QByteArray SaveRtf() const;
    void SaveToFile(const QString& path) const;  // replaces the file whole or leaves it as it was

    // Number of characters of the text; a paragraph end counts one.
    int GetTextLen() const;
    // The lines of the text as without word wrap: one per paragraph and line break, each
    // without its end, non-breaking spaces as blanks, pictures as U+FFFC.
    QStringList Lines() const;

    // Selection in character positions (0 is before the first character). Setting the start
    // places the caret there without a selection; setting the length selects from the start.
    // Both are clamped to the text; a negative start leaves the caret where it is.
    int SelStart() const;
    void setSelStart(int start);
    int SelLength() const;
    void setSelLength(int length);

    TTextAttributes& SelAttributes() { return selAttributes_; }
    TParaAttributes& Paragraph() { return paragraph_; }

    // Gives the control's text, and the text typed next, this font and colour (a default font
    // for a new page: on an empty page this is no change of the text).
    void SetFont(const FontChoice& font);

    // The position of the first occurrence of text that lies wholly within length characters
    // from start (the range is clamped to the text; a negative length runs to the end), or -1.
    int FindText(const QString& text, int start, int length, TSearchTypes options = {},
                 int* foundLength = nullptr) const;

    bool ReadOnly() const { return isReadOnly(); }

    // Typing and paste never bring the text beyond this many characters; 0 means no limit.
    int MaxLength() const { return maxLength_; }
    void setMaxLength(int length) { maxLength_ = length < 0 ? kNoMaxLength : length; }

    // Paste never brings the text's RTF beyond this many bytes; 0 means no limit.
    qsizetype MaxRtfSize() const { return maxRtfSize_; }
    void setMaxRtfSize(qsizetype bytes) { maxRtfSize_ = bytes < 0 ? 0 : bytes; }

    // Lines are broken at any character, not only between words: a text holding runs without a
    // break opportunity so long that word wrap would lay them out slowly (see LoadRtf).
    bool WrapsAnywhere() const { return wordWrapMode() == QTextOption::WrapAnywhere; }

    // Tab types a tab character when on, and moves the focus when off.
    bool WantTabs() const { return !tabChangesFocus(); }
    void setWantTabs(bool want) { setTabChangesFocus(!want); }

    // When off, the selection keeps its colours while another control has the focus.
    bool HideSelection() const { return hideSelection_; }
    void setHideSelection(bool hide);

    // The menu shown on a right click; none gives no menu.
    void setPopupMenu(QMenu* menu) { popupMenu_ = menu; }

    // The editing commands for the window's actions (the control does not take their keys).
    void CopyToClipboard() const;
    void CutToClipboard();
    void PasteFromClipboard();
    void SelectAll() { selectAll(); }

    // What a paste of source inserts at the selection: only what the RTF writer keeps, cut to
    // the maximum length. Drops and the clipboard commands go through it.
    void InsertMimeData(const QMimeData& source);

  signals:
    // The text or its formatting changed, by the user or by loading.
    void OnChange();
    // The caret moved or the selection changed.
    void OnSelectionChange();
    // A key is pressed in the control; setting Key to 0 swallows it.
    void OnKeyDown(int& Key, Qt::KeyboardModifiers Shift);

  protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    QMimeData* createMimeDataFromSelection() const override;

  private:
    friend class TTextAttributes;
    friend class TParaAttributes;

    // Characters that typing or paste may still add when the selection is replaced.
    int room() const;
    bool editable() const { return !isReadOnly(); }
    void attachDocument();
    void keepCaretInReadOnly();

    TTextAttributes selAttributes_{*this};
    TParaAttributes paragraph_{*this};
    // Wraps anywhere when the paragraphs of text would be slow to lay out word by word.
    void fitWrapTo(QStringView text);
    void fitWrapToPaste(const QString& pasted);
    // Whether the RTF may grow by added bytes within MaxRtfSize.
    bool roomForRtf(qsizetype added) const;
    int maxLength_ = kNoMaxLength;
    qsizetype maxRtfSize_ = 0;
    bool hideSelection_ = true;
    bool quiet_ = false;  // no OnChange while loading or setting the default font
    QMenu* popupMenu_ = nullptr;
};

}  // namespace qb

Q_DECLARE_OPERATORS_FOR_FLAGS(qb::TFontStyles)
Q_DECLARE_OPERATORS_FOR_FLAGS(qb::TSearchTypes)
