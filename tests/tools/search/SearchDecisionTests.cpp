// Ruling a record out by its text followed without the parse: sound only if no record that
// the full reading finds is ruled out. Checked against the paragraphs and their match.

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/rtf/Rtf.h"
#include "tools/SearchTerms.h"

using namespace qb::search;

namespace {

bool fullReadingMatches(const QByteArray& rtf, const QStringList& terms) {
    return RecordText(qb::rtf::paragraphs(rtf)).matchesAll(terms);
}

// Null when the text cannot be followed without the parse (the record is then read in full).
std::optional<bool> quickDecisionMayMatch(const QByteArray& rtf, const QStringList& terms) {
    std::string text;
    if (!qb::rtf::asciiTextWithoutParse(rtf, text)) {
        return std::nullopt;
    }
    return AsciiTextMayMatchAll(text, terms);
}

TEST(SearchQuickDecision, RulesOutOnlyWhatTheFullReadingDoesNotFind) {
    const struct {
        const char* rtf;
        const char16_t* search;
        bool found;
    } cases[] = {
        {R"({\rtf1 met a water{\b bird} today})", u"waterbird", true},
        {R"({\rtf1 met a WaTeR\par BiRd today})", u"waterbird", true},  // across paragraphs
        {R"({\rtf1 water\line bird})", u"waterbird", true},
        {R"({\rtf1 water\~bird})", u"\"water bird\"", true},  // a non-breaking blank
        {R"({\rtf1 water\~bird})", u"waterbird", true},       // blanks are passed over
        {R"({\rtf1 water bird})", u"\"water  bird\"", false},
        {R"({\rtf1 water\tab bird})", u"waterbird", false},
        {"{\\rtf1 water\tbird}", u"\"water\tbird\"", true},
        {R"({\rtf1 water\-bird})", u"waterbird", false},  // the optional hyphen stays
        {R"({\rtf1 water\_bird})", u"waterbird", false},
        {R"({\rtf1 back\\slash \{brace\}})", u"k\\s {b e}", true},
        {R"({\rtf1 {\*\comment waterbird} water{\*\x hidden}bird})", u"waterbird", true},
        {R"({\rtf1 {\*\comment waterbird} no})", u"waterbird", false},
        {R"({\rtf1 {\field{\*\fldinst x}{\fldrslt waterbird}}})", u"waterbird", true},
        {R"({\rtf1 water{\pict\pngblip 89504e470d0a1a0a}bird})", u"waterbird", false},
        {R"({\rtf1 water{\pict\jpegblip 00}bird})", u"waterbird", true},  // not shown
        {R"({\rtf1 {\fonttbl{\f0 Waterbird;}}river})", u"waterbird", false},
        {R"({\rtf1 sun})", u"\u017Fun", true},        // the long s folds into "s"
        {R"({\rtf1 kelvin})", u"\u212Aelvin", true},  // and the Kelvin sign into "k"
        {R"({\rtf1 5 \u8490? cold})", u"5 k", true},
        {R"({\rtf1 caf\'e9})", u"caf\u00E9", true},
        {R"({\rtf1 cafe\u769?})", u"caf\u00E9", true},  // composed as the reader sees it
        {R"({\rtf1 cafe})", u"caf\u00E9", false},
        {R"({\rtf1 a\emdash b})", u"a\u2014b", true},
        {R"({\rtf1 waterbird\v hidden})", u"waterbird", true},
        {R"({\rtf1 water bird and fish})", u"bird fish", true},
        {R"({\rtf1 water bird})", u"bird fish", false},
    };
    int ruledOut = 0;
    for (const auto& c : cases) {
        const QByteArray rtf(c.rtf);
        const QStringList terms = SearchTermsOf(QString::fromUtf16(c.search));
        const std::string label = std::string(c.rtf) + " / " + terms.join(u'|').toStdString();
        EXPECT_EQ(fullReadingMatches(rtf, terms), c.found) << label;
        const std::optional<bool> may = quickDecisionMayMatch(rtf, terms);
        if (c.found) {
            EXPECT_NE(may, std::optional<bool>(false)) << label;
        }
        ruledOut += may == std::optional<bool>(false) ? 1 : 0;
    }
    EXPECT_GE(ruledOut, 7);
}

// Texts made of a diary's pieces, damaged at random, and terms cut from what they show (case
// changed, blanks put in or taken out), or from the pieces: a text the full reading finds is never
// ruled out.
TEST(SearchQuickDecision, GeneratedAndDamagedTextsAreNeverRuledOutWhenTheyMatch) {
    const std::vector<std::string> pieces = {
        "diary ",      "walked ",    "the ",          "river ",    "today ",  "\\b bold\\b0  ",
        "rain ",       "\\par\n",    "Water",         "bird ",     "\\line ", "\\tab ",
        "\\~",         "\\-",        "\\\\",          "\\{",       "{\\i ",   "}",
        "\\emdash ",   "{\\*\\x y}", "{\\fldrslt r}", "\\bin2 {}", "\\'e9",   "\\u8490?",
        "{\\pict 89}", "  ",         "\\\n",          "\\plain ",
    };
    const std::string damage = "{}\\ \tabrwk-";
    std::mt19937 random(1211);
    int decided = 0;
    int found = 0;
    constexpr int kTexts = 3000;
    for (int i = 0; i < kTexts; ++i) {
        std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Tahoma;}}\\f0\\fs20 ";
        for (int n = int(random() % 30); n > 0; --n) {
            rtf += pieces[random() % pieces.size()];
        }
        rtf += "}";
        for (int d = int(random() % 3); d > 0; --d) {
            rtf[6 + random() % (rtf.size() - 6)] = damage[random() % damage.size()];
        }
        const QByteArray bytes = QByteArray::fromStdString(rtf);
        const QString shown = qb::rtf::paragraphs(bytes).join(QString());
        QString term;
        if (!shown.isEmpty() && random() % 4 != 0) {
            const qsizetype from = qsizetype(random() % std::size_t(shown.size()));
            term = shown.mid(from, qsizetype(1 + random() % 12));
            for (QChar& c : term) {
                c = random() % 2 ? c.toUpper() : c.toLower();
            }
            if (const auto blanks = random() % 3; blanks == 0) {
                term.insert(qsizetype(random() % std::size_t(term.size() + 1)), u' ');
            } else if (blanks == 1) {
                term.remove(u' ');
            }
        } else {
            term = QString::fromStdString(pieces[random() % pieces.size()]);
        }
        const QStringList terms = SearchTermsOf(u'"' + term + u'"');
        const std::optional<bool> may = quickDecisionMayMatch(bytes, terms);
        const bool matches = fullReadingMatches(bytes, terms);
        if (matches) {
            ++found;
            EXPECT_NE(may, std::optional<bool>(false)) << rtf << " / " << term.toStdString();
        }
        decided += may.has_value() ? 1 : 0;
    }
    // Neither check is vacuous: most texts are decided, many are found.
    EXPECT_GT(decided, kTexts / 3);
    EXPECT_GT(found, kTexts / 4);
}

}  // namespace
