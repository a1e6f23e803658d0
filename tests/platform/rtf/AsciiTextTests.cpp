// The text of RTF followed without the parse: where it is given, it is the text of the
// paragraphs exactly (a character outside ASCII as 0x80, a picture left out).

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/rtf/Rtf.h"

namespace {

// What asciiTextWithoutParse is to give for data, from the paragraphs the parse lays out.
std::string textOfParagraphs(const QByteArray& data) {
    std::string text;
    for (const QString& line : qb::rtf::paragraphs(data)) {
        for (const QChar c : line) {
            if (c != QChar::ObjectReplacementCharacter) {
                text += c.unicode() < 0x80 ? char(c.unicode()) : '\x80';
            }
        }
    }
    return text;
}

// Checks the one property; true when the text was given.
bool followsLikeTheParse(const QByteArray& data) {
    std::string text = "left over";
    if (!qb::rtf::asciiTextWithoutParse(data, text)) {
        return false;
    }
    EXPECT_EQ(text, textOfParagraphs(data)) << data.toStdString();
    return true;
}

TEST(RtfAsciiText, IsTheParagraphsTextOrNotGiven) {
    const struct {
        const char* rtf;
        bool given;
    } cases[] = {
        {R"({\rtf1\ansi\deff0{\fonttbl{\f0 Tahoma;}}\f0\fs20 water{\b bird}\par river})", true},
        {R"({\rtf1 a\\b\{c\}d\~e\-f\_g\tab h	i\line j\emdash k\lquote l})", true},
        {"{\\rtf1 a\\\nb\\\rc\\\td\r\ne\x01"
         "f\x7Fg}",
         true},
        {R"({\rtf1 {\colortbl;\red0\green0\blue0;}{\*\generator Writer;}{\info{\title T}}x})",
         true},
        {R"({\rtf1 {\*\unknownword hidden}{\*\b starred known}{\*\fldinst HYPERLINK}y})", true},
        {R"({\rtf1 {\field{\*\fldinst HYPERLINK "x"}{\fldrslt shown}}z})", true},
        {R"({\rtf1 before{\pict\pngblip 89504e47}after{\*\shppict{\pict\jpegblip ffd8}}end})",
         true},
        {"{\\rtf1 a{\\pict\\bin4 {}}} b}", true},
        {"{\\rtf1 a\\bin3 {}b\\bin-2 c\\bin d}", true},
        {R"({\rtf1 text {\stylesheet{\s1 Normal;}}more \* \foo after})", true},
        {R"({\rtf1 {text \*\foo} tail {\* first}})", true},
        {R"({\rtf1 shown}after the document)", true},
        {R"({\rtf1 a}})", true},
        {R"({\rtf1 \ansicpg1251 \fcharset204 \mac \pc \pca a\v0 b\plain c})", true},
        {R"({\rtf1\ansi\ansicpg1252\uc1 x\'e9y})", false},
        {R"({\rtf1 x\u233?y})", false},
        {"{\\rtf1 x\xC3\xA9y}", false},
        {R"({\rtf1 a\v hidden\v0 b})", false},
        {R"({\rtf1 {\pntext\'b7\tab}item\par})", false},
        {R"({\rtf1 {\listtext 1.\tab}item\par})", false},
        {R"({\rtf1\ansi\ansicpg932 text})", false},
        {R"({\rtf1{\fonttbl{\f0\fcharset128 MS Mincho;}}text})", false},
        {R"({\rtf1{\fonttbl{\f0\cpg936 SimSun;}}text})", false},
        {"plain text", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(followsLikeTheParse(QByteArray(c.rtf)), c.given) << c.rtf;
    }
    // Deeper than the reader follows: the inner groups are passed over whole.
    const QByteArray deep = "{\\rtf1 a" + QByteArray(250, '{') + "b" + QByteArray(250, '}') + "c}";
    EXPECT_TRUE(followsLikeTheParse(deep));
}

// RTF made of the pieces a diary and other programs write, cut at random, then damaged.
TEST(RtfAsciiText, GeneratedAndDamagedTextsFollowTheParse) {
    const std::vector<std::string> pieces = {
        "diary ",
        "walked ",
        "the river ",
        "Water",
        "bird ",
        "\\b bold\\b0 ",
        "\\par\n",
        "\\line ",
        "\\tab ",
        "\t",
        "\\~",
        "\\-",
        "\\_",
        "\\\\",
        "\\{",
        "\\}",
        "{\\i ",
        "}",
        "{",
        "\\emdash ",
        "\\f0\\fs24 ",
        "{\\*\\x y}",
        "\\*",
        "{\\fldrslt r}",
        "{\\pict 8950}",
        "\\bin2 {}",
        "\\v0 ",
        "\\u",
        "\\'e9",
        "\xE9",
        "{\\pntext *}",
        "\\pard\\qc ",
        "\\\n",
        "\\ansicpg1250 ",
        "\\uc0 ",
        "\\sect ",
    };
    const std::string bytesToDamageWith = "{}\\* \t\nabz09-'";
    std::mt19937 random(20261211);
    int given = 0;
    constexpr int kTexts = 3000;
    for (int i = 0; i < kTexts; ++i) {
        std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Tahoma;}}\\f0 ";
        const int count = int(random() % 40);
        for (int n = 0; n < count; ++n) {
            rtf += pieces[random() % pieces.size()];
        }
        rtf += "}";
        for (int damage = int(random() % 4); damage > 0; --damage) {
            const std::size_t at = 6 + random() % (rtf.size() - 6);
            const char byte = bytesToDamageWith[random() % bytesToDamageWith.size()];
            switch (random() % 3) {
                case 0:
                    rtf.erase(at, 1);
                    break;
                case 1:
                    rtf.insert(at, 1, byte);
                    break;
                default:
                    rtf[at] = byte;
                    break;
            }
        }
        given += followsLikeTheParse(QByteArray::fromStdString(rtf)) ? 1 : 0;
    }
    // Most of them are followed: the check is not vacuous.
    EXPECT_GT(given, kTexts / 3);
}

}  // namespace
