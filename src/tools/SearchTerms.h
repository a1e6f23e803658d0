#pragma once
// The text rules of the search, free of widgets and of the database: splitting the search text
// into terms, matching a record's text against them, the excerpts a matching record lists, and
// the test of a picture file name.
//
// Case is folded character by character, one character to one: "a" to "z" become "A" to "Z",
// every other letter its simple case folding (so "Ä" and "ä" are one), and lengths stay as they
// are. Texts are compared composed: an accent kept as a mark of its own matches the letter
// typed with it. A blank is the space alone.

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <string_view>
#include <vector>

namespace qb::search {

// The search text split as a comma text with "," as the delimiter and the double quote as the
// quote character: blanks separate terms like commas do, a quoted term may hold blanks, two
// quote characters inside quotes stand for one, and empty items are kept ("a,,b" gives three).
QStringList SplitSearchText(const QString& text);

// The terms a search runs with: the split text composed and folded, empty terms left out (an
// empty term would match every record and every picture).
QStringList SearchTermsOf(const QString& text);

// The text with its case folded, one unit to one.
QString FoldedText(QStringView text);

// True when a matching record lists excerpts for the term: a term at least 3 characters wide
// (a wide East Asian character or an emoji counting 2), or one holding such a character, which
// is a word by itself. Shorter terms take part in matching only.
bool TermListsExcerpts(QStringView term);

// True when term (folded) occurs in text (folded). Blanks of the text are passed over
// unless the term has a blank at that place, so "HELLO" is found in "HEL LO" and "NEW YORK" in
// "NEW  YORK" but not in "NEWYORK". Every start position is tried.
bool TermFound(QStringView text, QStringView term);

// A record's paragraphs prepared once for all terms: the composed and folded text of all
// paragraphs one after the other (a term may run on from one paragraph into the next), and
// where each starts.
class RecordText {
  public:
    explicit RecordText(const QStringList& paragraphs);

    const QStringList& paragraphs() const { return paragraphs_; }
    QStringView upperParagraph(int index) const;
    // The position in paragraph index of the folded paragraph's position at.
    int originalPosition(int index, qsizetype at) const;
    // True when the record holds every term (and there is at least one).
    bool matchesAll(const QStringList& terms) const;

  private:
    QStringList paragraphs_;
    QString upper_;
    std::vector<int> starts_;  // one more than paragraphs: the end of the last
    // Per paragraph, where each composed unit came from; empty when nothing was composed.
    std::vector<std::vector<int>> origins_;
};

// False when the bytes cannot hold every term: some term has a character from "!" to "~" that
// stands nowhere among the bytes, a letter in neither case. For text whose characters in that
// range are all among its bytes, false means that it matches no search of these terms.
bool BytesMayHoldAll(QByteArrayView bytes, const QStringList& terms);

// False when some term is surely not in a record whose text, as qb::rtf::asciiTextWithoutParse
// gives it, is text: each term of plain ASCII looked for with the rules of TermFound, the text's
// letters compared without case where they lie. A term with a character outside ASCII may
// stand in what the text leaves out, so it never rules a record out.
bool AsciiTextMayMatchAll(std::string_view text, const QStringList& terms);

struct Excerpt {
    int paragraph = 0;
    QString text;
};

// At most 80 characters of paragraph around index (0-based): from 40 before it, else from the
// start; never cut inside a surrogate pair.
QString ExcerptAround(const QString& paragraph, int index);

// The excerpts of a matching record: term by term, for every term of 3 characters or more, one
// per paragraph that holds the term as a plain substring, around its first occurrence.
std::vector<Excerpt> ExcerptsOf(const RecordText& record, const QStringList& terms);

// True when the picture file name holds every term, compared without case and composed, as
// plain substrings; blanks count as ordinary characters.
bool PictureNameMatches(const QString& fileName, const QStringList& terms);

}  // namespace qb::search
