#include "tools/SearchTerms.h"

#include "platform/core/ComposedText.h"

#include <QChar>

#include <algorithm>
#include <array>
#include <cstring>

namespace qb::search {

namespace {

constexpr QChar kQuote = u'"';
constexpr QChar kDelimiter = u',';
constexpr QChar kBlank = u' ';
constexpr int kExcerptLead = 40;
constexpr int kExcerptLength = 80;
constexpr int kShortestListedTerm = 3;

// Control characters and blanks separate items (NUL ends the text, as it did for C strings).
bool isSeparatorSpace(QChar c) {
    return c.unicode() >= 1 && c.unicode() <= 32;
}

class Scanner {
  public:
    explicit Scanner(const QString& text) : text_(text) {}

    bool atEnd() const { return pos_ >= text_.size() || text_.at(pos_).unicode() == 0; }
    QChar peek() const { return atEnd() ? QChar() : text_.at(pos_); }
    bool lastCharacter() const { return pos_ + 1 >= text_.size() || text_.at(pos_ + 1) == QChar(); }
    void skipSpaces() {
        while (!atEnd() && isSeparatorSpace(text_.at(pos_))) {
            ++pos_;
        }
    }
    void advance() { ++pos_; }

    // A quoted item: up to the closing quote, two quotes standing for one; an unclosed quote runs
    // to the end.
    QString quoted() {
        QString item;
        ++pos_;
        while (!atEnd()) {
            const QChar c = text_.at(pos_++);
            if (c != kQuote) {
                item += c;
            } else if (!atEnd() && text_.at(pos_) == kQuote) {
                item += kQuote;
                ++pos_;
            } else {
                break;
            }
        }
        return item;
    }

    QString plain() {
        const qsizetype from = pos_;
        while (!atEnd() && text_.at(pos_).unicode() > 32 && text_.at(pos_) != kDelimiter) {
            ++pos_;
        }
        return text_.mid(from, pos_ - from);
    }

  private:
    const QString& text_;
    qsizetype pos_ = 0;
};

char16_t asciiUpper(char16_t c) {
    return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c;
}

// Folds n units into out, one unit to one: "a" to "z" as upper case, every other character by
// its simple case folding (then upper case again, for the few that fold into "a" to "z").
void foldUnits(const char16_t* in, qsizetype n, char16_t* out) {
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = in[i];
        if (c < 0x80) {
            out[i] = asciiUpper(c);
        } else if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(in[i + 1])) {
            const char32_t folded = QChar::toCaseFolded(QChar::surrogateToUcs4(c, in[i + 1]));
            if (QChar::requiresSurrogates(folded)) {
                out[i] = QChar::highSurrogate(folded);
                out[i + 1] = QChar::lowSurrogate(folded);
            } else {
                out[i] = c;
                out[i + 1] = in[i + 1];
            }
            ++i;
        } else {
            const char32_t folded = QChar::toCaseFolded(char32_t(c));
            out[i] = QChar::requiresSurrogates(folded) ? c : asciiUpper(char16_t(folded));
        }
    }
}

// The letters "A" to "Z" that some other character folds into (the Kelvin sign into "K"): in
// stored text such a character is spelt without the letter itself.
const std::array<bool, 128>& lettersFoldedIntoFromElsewhere() {
    static const std::array<bool, 128> letters = [] {
        std::array<bool, 128> found{};
        for (char32_t c = 0x80; c < 0x30000; ++c) {
            const char32_t folded = QChar::toCaseFolded(c);
            if (folded < 0x80) {
                found[asciiUpper(char16_t(folded))] = true;
            }
        }
        return found;
    }();
    return letters;
}

// How wide a character counts in a term: 2 for a wide East Asian character or an emoji.
bool isWide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) ||
           (c >= 0x3041 && c <= 0x33FF) || (c >= 0x3400 && c <= 0x4DBF) ||
           (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x2600 && c <= 0x27BF) ||
           (c >= 0x1F000 && c <= 0x1FAFF) || (c >= 0x20000 && c <= 0x3FFFD);
}

QString composedAndFolded(QStringView text) {
    if (!qb::text::mayNeedComposing(text)) {
        return FoldedText(text);
    }
    return FoldedText(qb::text::ComposedText(text).text());
}

// The walk from one start position: text blanks are passed over unless the term has a blank
// there; any other character must equal the term's next character. charAt(i) is the text's
// character i as the term is compared with it.
template <typename CharAt>
bool matchesFromWith(qsizetype size, qsizetype start, QStringView term, CharAt charAt) {
    qsizetype j = 0;
    for (qsizetype i = start; i < size; ++i) {
        const char16_t c = charAt(i);
        if (c == kBlank) {
            if (term[j] != kBlank) {
                continue;
            }
        } else if (c != term[j]) {
            return false;
        }
        if (++j == term.size()) {
            return true;
        }
    }
    return false;
}

bool matchesFrom(QStringView text, qsizetype start, QStringView term) {
    return matchesFromWith(text.size(), start, term,
                           [text](qsizetype i) { return text[i].unicode(); });
}

// matchesFrom over text whose characters are its bytes, folded as they are read.
bool asciiMatchesFrom(std::string_view text, std::size_t start, QStringView term) {
    return matchesFromWith(static_cast<qsizetype>(text.size()), static_cast<qsizetype>(start), term,
                           [text](qsizetype i) {
                               return asciiUpper(static_cast<unsigned char>(text[std::size_t(i)]));
                           });
}

bool isAscii(QStringView term) {
    return std::all_of(term.begin(), term.end(), [](QChar c) { return c.unicode() < 0x80; });
}

// Where each case of a character next stands in text, found a case at a time.
class CaselessFinder {
  public:
    CaselessFinder(std::string_view text, char16_t upper)
        : text_(text),
          upper_(char(upper)),
          lower_(upper >= u'A' && upper <= u'Z' ? char(upper + 32) : '\0'),
          upperAt_(text.find(upper_)),
          lowerAt_(lower_ != '\0' ? text.find(lower_) : std::string_view::npos) {}

    // The next position, npos after the last.
    std::size_t next() {
        const std::size_t at = std::min(upperAt_, lowerAt_);
        if (at == upperAt_ && at != std::string_view::npos) {
            upperAt_ = text_.find(upper_, at + 1);
        } else if (at != std::string_view::npos) {
            lowerAt_ = text_.find(lower_, at + 1);
        }
        return at;
    }

  private:
    std::string_view text_;
    char upper_;
    char lower_;
    std::size_t upperAt_;
    std::size_t lowerAt_;
};

bool asciiTermFound(std::string_view text, QStringView term) {
    if (term.isEmpty()) {
        return true;
    }
    CaselessFinder first(text, term[0].unicode());
    for (std::size_t at = first.next(); at != std::string_view::npos; at = first.next()) {
        if (asciiMatchesFrom(text, at, term)) {
            return true;
        }
    }
    return false;
}

}  // namespace

QStringList SplitSearchText(const QString& text) {
    QStringList items;
    Scanner s(text);
    s.skipSpaces();
    while (!s.atEnd()) {
        items << (s.peek() == kQuote ? s.quoted() : s.plain());
        s.skipSpaces();
        if (s.peek() == kDelimiter) {
            if (s.lastCharacter()) {
                items << QString();
            }
            s.advance();
            s.skipSpaces();
        }
    }
    return items;
}

QStringList SearchTermsOf(const QString& text) {
    QStringList terms;
    for (const QString& item : SplitSearchText(text)) {
        if (!item.isEmpty()) {
            terms << composedAndFolded(item);
        }
    }
    return terms;
}

QString FoldedText(QStringView text) {
    QString folded(text.size(), Qt::Uninitialized);
    foldUnits(text.utf16(), text.size(), reinterpret_cast<char16_t*>(folded.data()));
    return folded;
}

bool TermListsExcerpts(QStringView term) {
    int width = 0;
    bool wide = false;
    for (qsizetype i = 0; i < term.size(); ++i) {
        char32_t c = term[i].unicode();
        if (term[i].isHighSurrogate() && i + 1 < term.size() && term[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(term[i], term[i + 1]);
            ++i;
        }
        const bool thisWide = isWide(c);
        wide = wide || thisWide;
        width += thisWide ? 2 : 1;
    }
    return wide || width >= kShortestListedTerm;
}

bool TermFound(QStringView text, QStringView term) {
    if (term.isEmpty()) {
        return true;
    }
    const QChar first = term[0];
    for (qsizetype at = text.indexOf(first); at >= 0; at = text.indexOf(first, at + 1)) {
        if (matchesFrom(text, at, term)) {
            return true;
        }
    }
    return false;
}

RecordText::RecordText(const QStringList& paragraphs) : paragraphs_(paragraphs) {
    // Composed only where a paragraph may need it: most diaries never do.
    QStringList compared;
    for (qsizetype i = 0; i < paragraphs_.size(); ++i) {
        if (!qb::text::mayNeedComposing(paragraphs_.at(i))) {
            continue;
        }
        const qb::text::ComposedText composed(paragraphs_.at(i));
        if (composed.origins().empty()) {
            continue;
        }
        if (compared.isEmpty()) {
            compared = paragraphs_;
            origins_.resize(size_t(paragraphs_.size()));
        }
        compared[i] = composed.text();
        origins_[size_t(i)] = composed.origins();
    }
    const QStringList& texts = compared.isEmpty() ? paragraphs_ : compared;
    qsizetype total = 0;
    for (const QString& p : texts) {
        total += p.size();
    }
    // Joined and folded in one pass: this runs for every record a search reads.
    upper_ = QString(total, Qt::Uninitialized);
    char16_t* const begin = reinterpret_cast<char16_t*>(upper_.data());
    char16_t* out = begin;
    starts_.reserve(texts.size() + 1);
    for (const QString& p : texts) {
        starts_.push_back(int(out - begin));
        foldUnits(reinterpret_cast<const char16_t*>(p.utf16()), p.size(), out);
        out += p.size();
    }
    starts_.push_back(int(out - begin));
}

QStringView RecordText::upperParagraph(int index) const {
    return QStringView(upper_).mid(starts_[index], starts_[index + 1] - starts_[index]);
}

int RecordText::originalPosition(int index, qsizetype at) const {
    if (size_t(index) >= origins_.size() || origins_[size_t(index)].empty()) {
        return int(at);
    }
    const std::vector<int>& origin = origins_[size_t(index)];
    return origin[size_t(std::clamp<qsizetype>(at, 0, qsizetype(origin.size()) - 1))];
}

bool RecordText::matchesAll(const QStringList& terms) const {
    if (terms.isEmpty() || upper_.isEmpty()) {
        return false;
    }
    return std::all_of(terms.begin(), terms.end(),
                       [this](const QString& term) { return TermFound(upper_, term); });
}

bool BytesMayHoldAll(QByteArrayView bytes, const QStringList& terms) {
    const auto holds = [&](char16_t c) {
        return !bytes.isEmpty() &&
               std::memchr(bytes.data(), c, static_cast<std::size_t>(bytes.size())) != nullptr;
    };
    for (const QString& term : terms) {
        for (const QChar c : term) {
            const char16_t u = c.unicode();
            if (u <= 0x20 || u >= 0x7F) {
                continue;  // a blank, or a character the bytes may spell otherwise
            }
            const bool letter = u >= u'A' && u <= u'Z';
            if (letter && lettersFoldedIntoFromElsewhere()[u]) {
                continue;
            }
            if (!holds(u) && !(letter && holds(u + 32))) {
                return false;
            }
        }
    }
    return true;
}

bool AsciiTextMayMatchAll(std::string_view text, const QStringList& terms) {
    return std::all_of(terms.begin(), terms.end(), [text](const QString& term) {
        return !isAscii(term) || asciiTermFound(text, term);
    });
}

QString ExcerptAround(const QString& paragraph, int index) {
    qsizetype from = std::max(0, index - kExcerptLead);
    if (from > 0 && from < paragraph.size() && paragraph.at(from).isLowSurrogate()) {
        ++from;
    }
    qsizetype length = std::min<qsizetype>(kExcerptLength, paragraph.size() - from);
    if (length > 0 && paragraph.at(from + length - 1).isHighSurrogate()) {
        --length;
    }
    return paragraph.mid(from, length);
}

std::vector<Excerpt> ExcerptsOf(const RecordText& record, const QStringList& terms) {
    std::vector<Excerpt> excerpts;
    const int count = int(record.paragraphs().size());
    for (const QString& term : terms) {
        if (!TermListsExcerpts(term)) {
            continue;
        }
        for (int p = 0; p < count; ++p) {
            const qsizetype at = record.upperParagraph(p).indexOf(term);
            if (at >= 0) {
                excerpts.push_back(
                    {p, ExcerptAround(record.paragraphs().at(p), record.originalPosition(p, at))});
            }
        }
    }
    return excerpts;
}

bool PictureNameMatches(const QString& fileName, const QStringList& terms) {
    if (terms.isEmpty()) {
        return false;
    }
    const QString upper = composedAndFolded(fileName);
    return std::all_of(terms.begin(), terms.end(),
                       [&upper](const QString& term) { return upper.contains(term); });
}

}  // namespace qb::search
