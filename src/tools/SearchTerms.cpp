#include "tools/SearchTerms.h"

#include <algorithm>
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

// The walk from one start position: text blanks are passed over unless the term has a blank
// there; any other character must equal the term's next character.
bool matchesFrom(QStringView text, qsizetype start, QStringView term) {
    qsizetype j = 0;
    for (qsizetype i = start; i < text.size(); ++i) {
        const QChar c = text[i];
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
            terms << AsciiUpper(item);
        }
    }
    return terms;
}

QString AsciiUpper(QStringView text) {
    QString upper(text.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(upper.data());
    const char16_t* in = text.utf16();
    for (qsizetype i = 0; i < text.size(); ++i) {
        out[i] = asciiUpper(in[i]);
    }
    return upper;
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
    qsizetype total = 0;
    for (const QString& p : paragraphs_) {
        total += p.size();
    }
    // Joined and upper-cased in one pass: this runs for every record a search reads.
    upper_ = QString(total, Qt::Uninitialized);
    char16_t* const begin = reinterpret_cast<char16_t*>(upper_.data());
    char16_t* out = begin;
    starts_.reserve(paragraphs_.size() + 1);
    for (const QString& p : paragraphs_) {
        starts_.push_back(int(out - begin));
        out = std::transform(p.utf16(), p.utf16() + p.size(), out, asciiUpper);
    }
    starts_.push_back(int(out - begin));
}

QStringView RecordText::upperParagraph(int index) const {
    return QStringView(upper_).mid(starts_[index], starts_[index + 1] - starts_[index]);
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
            if (!holds(u) && !(letter && holds(u + 32))) {
                return false;
            }
        }
    }
    return true;
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
        if (term.size() < kShortestListedTerm) {
            continue;
        }
        for (int p = 0; p < count; ++p) {
            const qsizetype at = record.upperParagraph(p).indexOf(term);
            if (at >= 0) {
                excerpts.push_back({p, ExcerptAround(record.paragraphs().at(p), int(at))});
            }
        }
    }
    return excerpts;
}

bool PictureNameMatches(const QString& fileName, const QStringList& terms) {
    if (terms.isEmpty()) {
        return false;
    }
    const QString upper = AsciiUpper(fileName);
    return std::all_of(terms.begin(), terms.end(),
                       [&upper](const QString& term) { return upper.contains(term); });
}

}  // namespace qb::search
