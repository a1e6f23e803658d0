// The search's text rules: splitting the search text, matching a record, excerpts, picture names.

#include <gtest/gtest.h>

#include "tools/SearchTerms.h"

using namespace qb::search;

namespace {

TEST(SearchTextSplit, CommasBlanksAndQuotes) {
    const struct {
        QString text;
        QStringList terms;
    } cases[] = {
        {"apple pear", {"apple", "pear"}},
        {"  apple,pear  ", {"apple", "pear"}},
        {"apple, pear", {"apple", "pear"}},
        {"a\tb\nc", {"a", "b", "c"}},
        {"\"new york\"", {"new york"}},
        {"\"new york\" apple", {"new york", "apple"}},
        {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
        {"\"unclosed term", {"unclosed term"}},
        {"a,,b", {"a", "", "b"}},
        {",a", {"", "a"}},
        {"a,", {"a", ""}},
        {"\"\"", {""}},
        {"   ", {}},
        {"", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SplitSearchText(c.text), c.terms) << c.text.toStdString();
    }
    // The terms a search runs with: upper case, empty ones left out, non-ASCII letters kept.
    EXPECT_EQ(SearchTermsOf(",apple,,\"\" Straße,"), QStringList({"APPLE", "STRAßE"}));
}

TEST(SearchTermMatch, BlanksOfTheTextArePassedOverUnlessTheTermHasOne) {
    const struct {
        const char* text;
        const char* term;
        bool found;
    } cases[] = {
        {"HEL LO", "HELLO", true},
        {"H E L L O", "HELLO", true},
        {"NEW  YORK", "NEW YORK", true},
        {"NEWYORK", "NEW YORK", false},
        {"NEW YORK", "NEWYORK", true},
        {"HELP", "HELLO", false},
        {"HELLO", "HELLO", true},
        {"HELL", "HELLO", false},
        // Every start position is tried: a partial match does not hide a later one.
        {"AAAB", "AAB", true},
        {"AAB", "AB", true},
        {"ABABAC", "ABAC", true},
        {"XNEW NEW YORK", "NEW YORK", true},
        // A term that ends or starts with a blank needs the blank in the text.
        {"NEW YORK", "NEW ", true},
        {"NEW", "NEW ", false},
        {"A B", " B", true},
        {"", "A", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TermFound(QString::fromLatin1(c.text), QString::fromLatin1(c.term)), c.found)
            << c.term << " in " << c.text;
    }
}

TEST(SearchRecord, EveryTermIsNeededAndMatchesRunOnAcrossParagraphs) {
    const RecordText record({"Walked by the river", "and saw an apple tree", "HEL", "LO world"});
    EXPECT_TRUE(record.matchesAll({"RIVER", "APPLE"}));
    EXPECT_FALSE(record.matchesAll({"RIVER", "PEAR"}));
    EXPECT_TRUE(record.matchesAll({"HELLO"}));         // "HEL" ends one paragraph
    EXPECT_TRUE(record.matchesAll({"RIVERAND"}));      // paragraphs join without a blank
    EXPECT_FALSE(record.matchesAll({}));               // no terms: no match
    EXPECT_FALSE(RecordText({""}).matchesAll({"A"}));  // empty text: no match
    EXPECT_FALSE(RecordText({"walked"}).matchesAll({"WALKED", "x"}));
    // Only ASCII letters change case.
    EXPECT_TRUE(RecordText({"straße"}).matchesAll({"STRAßE"}));
    EXPECT_FALSE(RecordText({"é"}).matchesAll({"É"}));
}

TEST(SearchExcerpts, AroundTheFirstOccurrenceOfEachTermPerParagraph) {
    const QString longParagraph = QString(99, u'x') + "apple" + QString(200, u'y');
    const RecordText record({"thirty characters: apple here", longParagraph, "no fruit",
                             "pear and apple and apple", "Hel lo"});
    const std::vector<Excerpt> excerpts = ExcerptsOf(record, {"APPLE", "PEAR", "LO", "HELLO"});
    ASSERT_EQ(excerpts.size(), 4u);
    // Term by term, each term's rows in paragraph order; short terms and terms only found with
    // blanks passed over give no rows.
    EXPECT_EQ(excerpts[0].paragraph, 0);
    EXPECT_EQ(excerpts[0].text, "thirty characters: apple here");
    EXPECT_EQ(excerpts[1].paragraph, 1);
    EXPECT_EQ(excerpts[1].text, longParagraph.mid(59, 80));  // characters 60 to 139
    EXPECT_EQ(excerpts[2].paragraph, 3);
    EXPECT_EQ(excerpts[2].text, "pear and apple and apple");
    EXPECT_EQ(excerpts[3].paragraph, 3);  // PEAR, in the same paragraph
    EXPECT_TRUE(record.matchesAll({"HELLO"}));
}

TEST(SearchExcerpts, NeverCutInsideASurrogatePair) {
    const QString face = QString::fromUtf8("\xF0\x9F\x98\x80");  // one character, two units
    // The window would start on the second half of the pair, then end on the first half.
    const QString paragraph =
        QString(9, u'a') + face + QString(39, u'b') + "apple" + QString(35, u'c') + face + "dd";
    const QString excerpt = ExcerptAround(paragraph, int(paragraph.indexOf("apple")));
    EXPECT_LE(excerpt.size(), 80);
    EXPECT_FALSE(excerpt.front().isLowSurrogate());
    EXPECT_FALSE(excerpt.back().isHighSurrogate());
    EXPECT_TRUE(paragraph.contains(excerpt));
    EXPECT_TRUE(excerpt.contains("apple"));
}

TEST(SearchPictureNames, PlainSubstringsWithoutCase) {
    const struct {
        const char* name;
        QStringList terms;
        bool found;
    } cases[] = {
        {"AAB.jpg", {"AB"}, true},
        {"beach party.JPG", {"BEACH", "PARTY"}, true},
        {"beach party.jpg", {"BEACH PARTY"}, true},
        {"beachparty.jpg", {"BEACH PARTY"}, false},
        {"beach.jpg", {"BEACH", "PARTY"}, false},
        {"beach.jpg", {}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PictureNameMatches(QString::fromLatin1(c.name), c.terms), c.found) << c.name;
    }
}

// Passing a text over unread is sound only if no text that holds the terms is passed over.
TEST(SearchBytes, MayHoldAllUnlessATermNeedsACharacterThatIsMissing) {
    const struct {
        const char* bytes;
        QStringList terms;
        bool may;
    } cases[] = {
        {"met a zephyr", {"ZEPHYR"}, true},
        {"MET A ZEPHYR", {"ZEPHYR"}, true},
        {"z e p h y r", {"ZEPHYR"}, true},      // blanks of the text are passed over
        {"ryhpez", {"ZEPHYR"}, true},           // the bytes hold the letters, in any order
        {"met a zephy", {"ZEPHYR"}, false},     // no "r"
        {"zephyr", {"ZEPHYR", "KIWI"}, false},  // every term is needed
        {"new york", {"NEW YORK"}, true},
        {"newyork", {"NEW YORK"}, true},  // a blank of a term is never looked for
        {"a.b", {"A.B", "B"}, true},
        {"a b", {"A.B"}, false},
        {"caf", {"CAF\u00c9"}, true},  // a character above "~": the bytes may spell it
        {"", {"X"}, false},
        {"anything", {}, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BytesMayHoldAll(QByteArrayView(c.bytes), c.terms), c.may)
            << c.bytes << " " << c.terms.join(u'|').toStdString();
    }
}

}  // namespace

namespace {

// A diary in its writer's own language: the term as typed against the stored text; whether the
// record matches, and whether it lists an excerpt (and which).
TEST(SearchInEveryScript, CaseAndComposedAccentsMatchAsTheReaderSeesThem) {
    const struct {
        const char* script;
        const char16_t* typed;
        const char16_t* text;
        bool matches;
        bool lists;
    } cases[] = {
        {"Cyrillic", u"привет", u"Привет, дневник", true, true},
        {"Cyrillic upper", u"ДНЕВНИК", u"Привет, дневник", true, true},
        {"Polish", u"ZAŻÓŁĆ", u"Zażółć gęślą jaźń", true, true},
        {"German", u"ÄRGER", u"So ein ärger heute", true, true},
        {"German capital sharp s", u"STRAẞE", u"die straße", true, true},
        {"Greek, final sigma", u"ΛΌΓΟΣ", u"ένας λόγος", true, true},
        {"Turkish", u"şimdi", u"Şimdi geldim", true, true},
        {"Chinese, two characters", u"日記", u"今日の日記を書く", true, true},
        {"Japanese, one character", u"猫", u"猫が来た", true, true},
        {"emoji", u"😀", u"a good day 😀", true, true},
        {"decomposed accent in the text", u"café", u"un cafe\u0301 noir", true, true},
        {"decomposed accent in the term", u"cafe\u0301", u"un café noir", true, true},
        {"a bare letter does not find the accented one", u"cafe", u"un cafe\u0301 noir", false,
         false},
        {"an accented letter is not the bare one", u"café", u"un cafe noir", false, false},
        {"short Latin terms match and list nothing", u"of", u"the end of it", true, false},
        {"ASCII as before", u"Apple", u"an APPLE tree", true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        const QStringList terms = SearchTermsOf(QString::fromUtf16(c.typed));
        const RecordText record({QString::fromUtf16(c.text)});
        EXPECT_EQ(record.matchesAll(terms), c.matches);
        const std::vector<Excerpt> excerpts = ExcerptsOf(record, terms);
        EXPECT_EQ(!excerpts.empty(), c.lists);
        if (!excerpts.empty()) {
            EXPECT_EQ(excerpts[0].text, QString::fromUtf16(c.text)) << "the text as it stands";
        }
    }
}

TEST(SearchInEveryScript, FoldingKeepsLengthsSoExcerptsStandWhereTheTermIs) {
    // Every accent before the term kept as a mark of its own: the excerpt still starts 40
    // characters of the stored text before the term.
    QString before;
    for (int i = 0; i < 30; ++i) {
        before += QStringLiteral("e\u0301");
    }
    const QString paragraph = before + QStringLiteral("Привет") + QString(100, u'z');
    const std::vector<Excerpt> excerpts =
        ExcerptsOf(RecordText({paragraph}), SearchTermsOf(QStringLiteral("привет")));
    ASSERT_EQ(excerpts.size(), 1u);
    EXPECT_EQ(excerpts[0].text, paragraph.mid(60 - 40, 80));
    EXPECT_EQ(FoldedText(u"Σίσυφος ÄÖÜ ǅ 𐐀").size(), QString::fromUtf16(u"Σίσυφος ÄÖÜ ǅ 𐐀").size());
    EXPECT_EQ(FoldedText(u"Zażółć"), FoldedText(u"ZAŻÓŁĆ"));
}

TEST(SearchInEveryScript, PictureNamesInEveryScript) {
    const struct {
        const char16_t* name;
        const char16_t* typed;
        bool found;
    } cases[] = {
        {u"Ärger im Büro.jpg", u"ärger", true}, {u"Привет.jpg", u"привет", true},
        {u"cafe\u0301.jpg", u"café", true},     {u"日記.jpg", u"日記", true},
        {u"beach.jpg", u"BEACH", true},         {u"beach.jpg", u"bêach", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PictureNameMatches(QString::fromUtf16(c.name),
                                     SearchTermsOf(QString::fromUtf16(c.typed))),
                  c.found)
            << QString::fromUtf16(c.name).toStdString();
    }
}

TEST(SearchInEveryScript, LettersThatOtherCharactersFoldIntoAreNotRuledOutByTheBytes) {
    // The Kelvin sign is stored as \u8490 and folds into "k".
    const QByteArray rtf = "{\\rtf1\\ansi 5 \\u8490? cold\\par}";
    const QStringList terms = SearchTermsOf(QStringLiteral("5 k"));
    EXPECT_TRUE(BytesMayHoldAll(rtf, terms));
    EXPECT_TRUE(RecordText({QString::fromUtf16(u"5 \u212A cold")}).matchesAll(terms));
}

}  // namespace
