#include "platform/rtf/RtfParser.h"

#include "platform/rtf/CodePage.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qb::rtf {

namespace {

// Deeper groups are skipped whole: no real document nests this far, and a bound keeps the
// state stack small on hostile input.
constexpr size_t kMaxDepth = 200;
constexpr int kMaxIndent = 31680;  // 22 inches, the largest indent word processors allow
constexpr int kMaxHalfPoints = 3276;

enum class Dest { Text, Skip, FontTable, ColorTable, Picture, ListText, Pn };

enum class Word {
    // destinations
    FontTable,
    ColorTable,
    Pict,
    PnText,
    ListText,
    Pn,
    ShpPict,
    SkipDest,
    // character format
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Strike,
    Plain,
    Font,
    FontSize,
    Colour,
    Hidden,
    // paragraph format
    Pard,
    AlignLeft,
    AlignCenter,
    AlignRight,
    AlignJustify,
    RightToLeft,
    LeftToRight,
    FirstIndent,
    LeftIndent,
    RightIndent,
    // breaks and characters
    Par,
    SoftPar,
    Line,
    Tab,
    Char,
    Unicode,
    UnicodeSkip,
    Bin,
    // document
    Ansi,
    Mac,
    Pc,
    Pca,
    AnsiCodePage,
    DefaultFont,
    // font and colour tables
    Charset,
    FontCodePage,
    Red,
    Green,
    Blue,
    // pictures
    PngBlip,
    JpegBlip,
    OtherBlip,
    PicW,
    PicH,
    PicWGoal,
    PicHGoal,
    PicScaleX,
    PicScaleY,
    // bullets
    PnBullet,
};

struct WordInfo {
    Word word;
    char16_t ch = 0;  // for Word::Char
};

// The control words we know, looked up once per control word of every text: an open-addressing
// table with a cheap hash, since the lookup is a good part of reading a heavily formatted text.
class WordTable {
  public:
    void add(std::string_view name, WordInfo info) {
        for (size_t i = hash(name);; i = (i + 1) % kSlots) {
            if (slots_[i].first.empty() || slots_[i].first == name) {
                slots_[i] = {name, info};
                return;
            }
        }
    }

    const WordInfo* find(std::string_view name) const {
        for (size_t i = hash(name);; i = (i + 1) % kSlots) {
            if (slots_[i].first.empty()) {
                return nullptr;
            }
            if (same(slots_[i].first, name)) {
                return &slots_[i].second;
            }
        }
    }

  private:
    static constexpr size_t kSlots = 1024;  // a power of two, several times the words

    // Names are a few letters: compared in place, without a call.
    static bool same(std::string_view a, std::string_view b) {
        if (a.size() != b.size()) {
            return false;
        }
        for (size_t i = 0; i < a.size(); ++i) {
            if (a[i] != b[i]) {
                return false;
            }
        }
        return true;
    }

    static size_t hash(std::string_view name) {
        uint32_t h = 2166136261u;  // FNV-1a
        for (const char c : name) {
            h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
        }
        return h % kSlots;
    }

    std::array<std::pair<std::string_view, WordInfo>, kSlots> slots_{};
};

const WordTable& words() {
    static const WordTable table = [] {
        WordTable t;
        auto add = [&t](std::string_view name, Word w, char16_t ch = 0) { t.add(name, {w, ch}); };
        add("fonttbl", Word::FontTable);
        add("colortbl", Word::ColorTable);
        add("pict", Word::Pict);
        add("pntext", Word::PnText);
        add("listtext", Word::ListText);
        add("pn", Word::Pn);
        add("shppict", Word::ShpPict);
        for (std::string_view name : {"stylesheet",
                                      "info",
                                      "header",
                                      "headerl",
                                      "headerr",
                                      "headerf",
                                      "footer",
                                      "footerl",
                                      "footerr",
                                      "footerf",
                                      "footnote",
                                      "annotation",
                                      "fldinst",
                                      "nonshppict",
                                      "objdata",
                                      "objclass",
                                      "pntxtb",
                                      "pntxta",
                                      "xe",
                                      "tc",
                                      "txe",
                                      "rxe",
                                      "template",
                                      "revtbl",
                                      "listtable",
                                      "listoverridetable",
                                      "themedata",
                                      "colorschememapping",
                                      "latentstyles",
                                      "datastore",
                                      "xmlnstbl",
                                      "rsidtbl",
                                      "generator",
                                      "mmathPr",
                                      "bkmkstart",
                                      "bkmkend",
                                      "private",
                                      "filetbl",
                                      "userprops",
                                      "docvar",
                                      "atnid",
                                      "atnauthor",
                                      "atrfstart",
                                      "atrfend",
                                      "fchars",
                                      "lchars",
                                      "pgdsctbl",
                                      "protusertbl",
                                      "wgrffmtfilter",
                                      "shpinst",
                                      "picprop",
                                      "blipuid",
                                      "falt",
                                      "panose",
                                      "fontemb",
                                      "fontfile",
                                      "macpict_unused",
                                      "sp",
                                      "sn",
                                      "sv"}) {
            add(name, Word::SkipDest);
        }
        add("b", Word::Bold);
        add("i", Word::Italic);
        for (std::string_view name :
             {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave", "ulldash", "ulth",
              "ulthd", "ulthdash", "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave", "ulw",
              "ulwave"}) {
            add(name, Word::Underline);
        }
        add("ulnone", Word::UnderlineNone);
        add("strike", Word::Strike);
        add("striked", Word::Strike);
        add("plain", Word::Plain);
        add("f", Word::Font);
        add("fs", Word::FontSize);
        add("cf", Word::Colour);
        add("v", Word::Hidden);
        add("pard", Word::Pard);
        add("ql", Word::AlignLeft);
        add("qc", Word::AlignCenter);
        add("qr", Word::AlignRight);
        add("qj", Word::AlignJustify);
        add("qd", Word::AlignJustify);
        add("rtlpar", Word::RightToLeft);
        add("ltrpar", Word::LeftToRight);
        add("fi", Word::FirstIndent);
        add("li", Word::LeftIndent);
        add("ri", Word::RightIndent);
        add("par", Word::Par);
        add("cell", Word::Par);
        add("nestcell", Word::Par);
        add("row", Word::SoftPar);
        add("nestrow", Word::SoftPar);
        add("sect", Word::SoftPar);
        add("page", Word::SoftPar);
        add("column", Word::SoftPar);
        add("line", Word::Line);
        add("tab", Word::Tab);
        add("emdash", Word::Char, u'\u2014');
        add("endash", Word::Char, u'\u2013');
        add("bullet", Word::Char, u'\u2022');
        add("lquote", Word::Char, u'\u2018');
        add("rquote", Word::Char, u'\u2019');
        add("ldblquote", Word::Char, u'\u201C');
        add("rdblquote", Word::Char, u'\u201D');
        add("emspace", Word::Char, u'\u2003');
        add("enspace", Word::Char, u'\u2002');
        add("qmspace", Word::Char, u'\u2005');
        add("zwj", Word::Char, u'\u200D');
        add("zwnj", Word::Char, u'\u200C');
        add("u", Word::Unicode);
        add("uc", Word::UnicodeSkip);
        add("bin", Word::Bin);
        add("ansi", Word::Ansi);
        add("mac", Word::Mac);
        add("pc", Word::Pc);
        add("pca", Word::Pca);
        add("ansicpg", Word::AnsiCodePage);
        add("deff", Word::DefaultFont);
        add("fcharset", Word::Charset);
        add("cpg", Word::FontCodePage);
        add("red", Word::Red);
        add("green", Word::Green);
        add("blue", Word::Blue);
        add("pngblip", Word::PngBlip);
        add("jpegblip", Word::JpegBlip);
        for (std::string_view name : {"emfblip", "wmetafile", "dibitmap", "wbitmap", "macpict",
                                      "pmmetafile", "wmetafile8"}) {
            add(name, Word::OtherBlip);
        }
        add("picw", Word::PicW);
        add("pich", Word::PicH);
        add("picwgoal", Word::PicWGoal);
        add("pichgoal", Word::PicHGoal);
        add("picscalex", Word::PicScaleX);
        add("picscaley", Word::PicScaleY);
        add("pnlvlblt", Word::PnBullet);
        return t;
    }();
    return table;
}

struct Group {
    Dest dest = Dest::Text;
    int uc = 1;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    int font = -1;  // -1: the default font
    int halfPoints = 24;
    int colour = -1;  // -1: automatic; else an index into the colour table
    ParaProps para;
    bool pnBullet = false;
    bool starred = false;   // "\*" opened this group
    bool firstWord = true;  // no control word seen in this group yet

    void plain() {
        bold = italic = underline = strike = hidden = false;
        font = -1;
        halfPoints = 24;
        colour = -1;
    }
};

struct Font {
    QString name;
    int charset = -1;
    int codePage = 0;
};

int clampInt(long long v, int lo, int hi) {
    return static_cast<int>(std::clamp<long long>(v, lo, hi));
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool isLetter(char c) {
    // "A" to "Z" and "a" to "z" in one comparison: setting the case bit maps only those onto
    // "a" to "z".
    return static_cast<unsigned char>((static_cast<unsigned char>(c) | 0x20) - 'a') < 26;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A control word or symbol in a group passed over unread: where it ends (past the data of
// \binN too), the word ("" for a symbol) and its number.
struct SkippedControl {
    const char* end;
    std::string_view word;
    long long value = 0;
};

// p stands just past the backslash, before end.
SkippedControl passSkippedControl(const char* p, const char* end) {
    if (!isLetter(*p)) {
        return {p + 1, {}};
    }
    const char* name = p;
    while (p < end && isLetter(*p)) {
        ++p;
    }
    const std::string_view word(name, static_cast<size_t>(p - name));
    bool negative = false;
    if (p < end && *p == '-') {
        negative = true;
        ++p;
    }
    long long value = 0;
    while (p < end && isDigit(*p)) {
        value = std::min<long long>(value * 10 + (*p - '0'), INT_MAX);
        ++p;
    }
    if (p < end && *p == ' ') {
        ++p;
    }
    if (word == "bin" && !negative) {
        p += std::min<long long>(value, end - p);
    }
    return {p, word, value};
}

// A control word as the reader takes it: its name (at most 32 letters count), whether a number
// follows and the number (bounded, so that no sum of them overflows).
struct ReadControlWord {
    std::string_view word;
    bool hasParam = false;
    long long value = 0;
};

// p stands on the word's first letter; it is left past the word's delimiting blank.
ReadControlWord readControlWord(const char*& p, const char* end) {
    const char* name = p;
    while (p < end && isLetter(*p)) {
        ++p;
    }
    ReadControlWord read;
    read.word = std::string_view(name, static_cast<size_t>(std::min<ptrdiff_t>(p - name, 32)));
    bool negative = false;
    if (p < end && *p == '-' && p + 1 < end && isDigit(p[1])) {
        negative = true;
        ++p;
    }
    while (p < end && isDigit(*p)) {
        read.hasParam = true;
        read.value = std::min<long long>(read.value * 10 + (*p - '0'), 1LL << 40);
        ++p;
    }
    if (p < end && *p == ' ') {
        ++p;
    }
    if (negative) {
        read.value = -read.value;
    }
    return read;
}

// How a byte of plain text is taken: kept (printable ASCII or a byte above it), dropped (a
// control byte) or the end of the run of text (a group, a control word or a tab).
enum class ByteClass : unsigned char { Ascii, High, Control, Stop };

constexpr std::array<ByteClass, 256> kByteClasses = [] {
    std::array<ByteClass, 256> classes{};
    for (int b = 0; b < 256; ++b) {
        classes[b] = b >= 0x80               ? ByteClass::High
                     : b < 0x20 || b == 0x7F ? ByteClass::Control
                                             : ByteClass::Ascii;
    }
    classes['{'] = classes['}'] = classes['\\'] = classes['\t'] = ByteClass::Stop;
    return classes;
}();

ByteClass byteClass(char c) {
    return kByteClasses[static_cast<unsigned char>(c)];
}

// What a character outside ASCII stands as in the text followed without the parse.
constexpr char kOutsideAscii = '\x80';

bool isPrintableAscii(const char* bytes, qsizetype count) {
    return std::all_of(bytes, bytes + count, [](char c) { return c >= 0x20 && c < 0x7F; });
}

class Parser {
  public:
    Parser(const QByteArray& data, Sink& sink, bool wantFormats)
        : p_(data.constData()),
          end_(data.constData() + data.size()),
          sink_(sink),
          wantFormats_(wantFormats) {
        stack_.emplace_back();  // outside the document's group
    }

    void run();

  private:
    Group& state() { return stack_.back(); }

    void openGroup();
    void closeGroup();
    void skipGroup();
    void controlSequence();
    void controlWord(std::string_view name, bool hasParam, long long param);
    void controlSymbol(char c);
    void plainByte(unsigned char b);
    void plainRun();
    void hexByte(unsigned char b);
    void binary(long long count);

    void addByte(unsigned char b);
    void addBytes(const char* bytes, qsizetype count, bool ascii);
    void appendUnits(QStringView units);
    void appendChar(char32_t c);
    void appendUtf16(char16_t c);
    void flushBytes();
    void flushText();
    void endRun();
    void beginContent();
    void paragraphMark();
    void finish();

    int codePageNow();
    int codePageOfFont(int font) const;
    CodePageDecoder& decoder(int codePage);
    CharProps resolved();
    void endFontEntry();
    void endColourEntry();
    void emitPicture();
    void endListText();

    const char* p_;
    const char* end_;
    Sink& sink_;
    bool wantFormats_;
    bool done_ = false;

    std::vector<Group> stack_;
    int ansiCodePage_ = 1252;
    int defaultFont_ = 0;
    QHash<int, Font> fonts_;
    // The code page of the font last asked for; forgotten when a font or the ANSI code page
    // changes.
    int cachedFont_ = INT_MIN;
    int cachedCodePage_ = 0;
    std::vector<std::optional<QRgb>> colours_;

    // font table entry being read
    int fontEntry_ = INT_MIN;
    Font font_;
    // colour table entry being read
    int red_ = 0, green_ = 0, blue_ = 0;
    bool colourGiven_ = false;

    // bytes waiting for their code page, and where their characters go
    QByteArray bytes_;
    int bytesCodePage_ = 0;
    std::map<int, std::unique_ptr<CodePageDecoder>> decoders_;
    CodePageDecoder* lastDecoder_ = nullptr;
    QString decoded_;   // kept between flushes so that its buffer is reused
    QString text_;      // text of the current run
    QString listText_;  // a \pntext or \listtext copy of a bullet or number
    char16_t highSurrogate_ = 0;
    int skip_ = 0;  // characters still to skip after \uN

    Picture picture_;
    int nibble_ = -1;

    bool closed_ = false;      // the last paragraph has been ended by a mark
    bool empty_ = true;        // the current paragraph has no content yet
    bool listBullet_ = false;  // a bullet copy was met in the current paragraph
};

void Parser::run() {
    while (p_ < end_ && !done_) {
        const char c = *p_++;
        switch (c) {
            case '{':
                openGroup();
                break;
            case '}':
                closeGroup();
                break;
            case '\\':
                controlSequence();
                break;
            case '\r':
            case '\n':
                break;
            default:
                plainRun();
                break;
        }
    }
    finish();
}

void Parser::openGroup() {
    flushBytes();
    endRun();
    skip_ = 0;
    Group next = state();
    next.starred = false;
    next.firstWord = true;
    next.pnBullet = false;
    stack_.push_back(next);
    if (stack_.size() > kMaxDepth || next.dest == Dest::Skip) {
        skipGroup();
    }
}

void Parser::closeGroup() {
    flushBytes();
    skip_ = 0;
    if (stack_.size() <= 1) {
        return;  // a stray closing brace
    }
    const Dest dest = state().dest;
    switch (dest) {
        case Dest::FontTable:
            if (!font_.name.isEmpty() || fontEntry_ != INT_MIN) {
                endFontEntry();
            }
            break;
        case Dest::Picture:
            if (stack_.size() >= 2 && stack_[stack_.size() - 2].dest != Dest::Picture) {
                emitPicture();
            }
            break;
        case Dest::ListText:
            if (stack_.size() >= 2 && stack_[stack_.size() - 2].dest != Dest::ListText) {
                endListText();
            }
            break;
        default:
            break;
    }
    endRun();
    const bool bullet = dest == Dest::Pn && state().pnBullet;
    stack_.pop_back();
    if (bullet) {
        state().para.bullet = true;
    }
    if (stack_.size() == 1) {
        done_ = true;  // the document's group is closed; what follows is not part of it
    }
}

// Passes over the rest of the current group without interpreting it.
void Parser::skipGroup() {
    int depth = 1;
    while (p_ < end_) {
        const char c = *p_++;
        if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (--depth == 0) {
                break;
            }
        } else if (c == '\\' && p_ < end_) {
            p_ = passSkippedControl(p_, end_).end;
        }
    }
    stack_.pop_back();
    if (stack_.size() == 1) {
        done_ = true;
    }
}

void Parser::controlSequence() {
    if (p_ >= end_) {
        return;
    }
    if (!isLetter(*p_)) {
        controlSymbol(*p_++);
        return;
    }
    const ReadControlWord read = readControlWord(p_, end_);
    controlWord(read.word, read.hasParam, read.value);
}

void Parser::controlSymbol(char c) {
    switch (c) {
        case '\'': {
            const int hi = p_ < end_ ? hexValue(*p_) : -1;
            if (hi < 0) {
                return;
            }
            ++p_;
            const int lo = p_ < end_ ? hexValue(*p_) : -1;
            if (lo < 0) {
                hexByte(static_cast<unsigned char>(hi));
                return;
            }
            ++p_;
            hexByte(static_cast<unsigned char>(hi * 16 + lo));
            return;
        }
        case '\\':
        case '{':
        case '}':
            plainByte(static_cast<unsigned char>(c));
            return;
        case '*':
            state().starred = true;
            return;
        case '~':
            flushBytes();
            appendChar(0x00A0);
            return;
        case '-':
            flushBytes();
            appendChar(0x00AD);
            return;
        case '_':
            flushBytes();
            appendChar(0x2011);
            return;
        case '\r':
        case '\n':
            controlWord("par", false, 0);
            return;
        case '\t':
            controlWord("tab", false, 0);
            return;
        default:
            return;
    }
}

void Parser::controlWord(std::string_view name, bool hasParam, long long param) {
    Group& g = state();
    const bool first = g.firstWord;
    g.firstWord = false;
    const WordInfo* found = words().find(name);
    if (found == nullptr) {
        if (first && g.starred) {
            g.dest = Dest::Skip;
            skipGroup();
        }
        return;
    }
    const Word word = found->word;
    if (first && g.starred && word != Word::ShpPict && word != Word::Pn &&
        word != Word::FontTable && word != Word::ListText && word != Word::PnText) {
        g.dest = Dest::Skip;
        skipGroup();
        return;
    }
    const bool on = !hasParam || param != 0;
    const int value = clampInt(param, INT_MIN + 1, INT_MAX);

    switch (word) {
        case Word::Unicode: {
            flushBytes();
            const auto unit = static_cast<char16_t>(static_cast<unsigned>(value) & 0xFFFF);
            if (g.dest == Dest::Text || g.dest == Dest::ListText || g.dest == Dest::FontTable) {
                appendUtf16(unit);
            }
            skip_ = g.uc;
            return;
        }
        case Word::UnicodeSkip:
            g.uc = clampInt(param, 0, 10);
            return;
        case Word::Tab:
            flushBytes();
            appendChar(u'\t');
            return;
        case Word::Line:
            flushBytes();
            appendChar(QChar::LineSeparator);
            return;
        case Word::Char:
            flushBytes();
            appendChar(found->ch);
            return;
        case Word::Bin:
            binary(hasParam ? param : 0);
            return;
        default:
            break;
    }

    flushBytes();
    endRun();
    skip_ = 0;
    switch (word) {
        case Word::FontTable:
            g.dest = Dest::FontTable;
            fontEntry_ = INT_MIN;
            font_ = {};
            break;
        case Word::ColorTable:
            g.dest = Dest::ColorTable;
            red_ = green_ = blue_ = 0;
            colourGiven_ = false;
            break;
        case Word::Pict:
            if (g.dest == Dest::Text) {
                g.dest = Dest::Picture;
                picture_ = {};
                nibble_ = -1;
            } else {
                g.dest = Dest::Skip;
                skipGroup();
            }
            break;
        case Word::PnText:
        case Word::ListText:
            if (g.dest == Dest::Text) {
                g.dest = Dest::ListText;
                listText_.clear();
            } else {
                g.dest = Dest::Skip;
                skipGroup();
            }
            break;
        case Word::Pn:
            g.dest = Dest::Pn;
            break;
        case Word::ShpPict:
            break;  // its \pict is the picture itself
        case Word::SkipDest:
            g.dest = Dest::Skip;
            skipGroup();
            break;
        case Word::Bold:
            g.bold = on;
            break;
        case Word::Italic:
            g.italic = on;
            break;
        case Word::Underline:
            g.underline = on;
            break;
        case Word::UnderlineNone:
            g.underline = false;
            break;
        case Word::Strike:
            g.strike = on;
            break;
        case Word::Plain:
            g.plain();
            break;
        case Word::Font:
            if (g.dest == Dest::FontTable) {
                if (fontEntry_ != INT_MIN || !font_.name.isEmpty()) {
                    endFontEntry();
                }
                fontEntry_ = value;
            } else if (hasParam) {
                g.font = value;
            }
            break;
        case Word::FontSize:
            g.halfPoints = hasParam && param > 0 ? clampInt(param, 2, kMaxHalfPoints) : 24;
            break;
        case Word::Colour:
            g.colour = hasParam ? clampInt(param, -1, INT_MAX) : -1;
            break;
        case Word::Hidden:
            g.hidden = on;
            break;
        case Word::Pard:
            g.para = {};
            break;
        case Word::RightToLeft:
            g.para.rightToLeft = true;
            break;
        case Word::LeftToRight:
            g.para.rightToLeft = false;
            break;
        case Word::AlignLeft:
            g.para.align = Align::Left;
            break;
        case Word::AlignCenter:
            g.para.align = Align::Center;
            break;
        case Word::AlignRight:
            g.para.align = Align::Right;
            break;
        case Word::AlignJustify:
            g.para.align = Align::Justify;
            break;
        case Word::FirstIndent:
            g.para.firstIndent = clampInt(param, -kMaxIndent, kMaxIndent);
            break;
        case Word::LeftIndent:
            g.para.leftIndent = clampInt(param, -kMaxIndent, kMaxIndent);
            break;
        case Word::RightIndent:
            g.para.rightIndent = clampInt(param, -kMaxIndent, kMaxIndent);
            break;
        case Word::Par:
            if (g.dest == Dest::Text) {
                paragraphMark();
            }
            break;
        case Word::SoftPar:
            if (g.dest == Dest::Text && !closed_ && !empty_) {
                paragraphMark();
            }
            break;
        case Word::Ansi:
            ansiCodePage_ = 1252;
            cachedFont_ = INT_MIN;
            break;
        case Word::Mac:
            ansiCodePage_ = 10000;
            cachedFont_ = INT_MIN;
            break;
        case Word::Pc:
            ansiCodePage_ = 437;
            cachedFont_ = INT_MIN;
            break;
        case Word::Pca:
            ansiCodePage_ = 850;
            cachedFont_ = INT_MIN;
            break;
        case Word::AnsiCodePage:
            if (hasParam && param > 0 && param < 100000) {
                ansiCodePage_ = value;
                cachedFont_ = INT_MIN;
            }
            break;
        case Word::DefaultFont:
            defaultFont_ = value;
            break;
        case Word::Charset:
            if (g.dest == Dest::FontTable) {
                font_.charset = value;
            }
            break;
        case Word::FontCodePage:
            if (g.dest == Dest::FontTable && param > 0 && param < 100000) {
                font_.codePage = value;
            }
            break;
        case Word::Red:
        case Word::Green:
        case Word::Blue:
            if (g.dest == Dest::ColorTable) {
                (word == Word::Red     ? red_
                 : word == Word::Green ? green_
                                       : blue_) = clampInt(param, 0, 255);
                colourGiven_ = true;
            }
            break;
        case Word::PngBlip:
        case Word::JpegBlip:
        case Word::OtherBlip:
            if (g.dest == Dest::Picture) {
                picture_.kind = word == Word::PngBlip    ? "png"
                                : word == Word::JpegBlip ? "jpeg"
                                                         : "other";
            }
            break;
        case Word::PicW:
            picture_.width = clampInt(param, 0, INT_MAX);
            break;
        case Word::PicH:
            picture_.height = clampInt(param, 0, INT_MAX);
            break;
        case Word::PicWGoal:
            picture_.goalWidth = clampInt(param, 0, kMaxPictureGoal);
            break;
        case Word::PicHGoal:
            picture_.goalHeight = clampInt(param, 0, kMaxPictureGoal);
            break;
        case Word::PicScaleX:
            picture_.scaleX = clampInt(param, 1, 1000);
            break;
        case Word::PicScaleY:
            picture_.scaleY = clampInt(param, 1, 1000);
            break;
        case Word::PnBullet:
            if (g.dest == Dest::Pn) {
                g.pnBullet = true;
            }
            break;
        default:
            break;
    }
}

void Parser::binary(long long count) {
    flushBytes();
    const auto n = static_cast<ptrdiff_t>(std::clamp<long long>(count, 0, end_ - p_));
    if (state().dest == Dest::Picture) {
        picture_.data.append(p_, n);
    } else if (n > 0 && skip_ > 0) {
        --skip_;  // binary data counts as one character of a \u fallback
    }
    p_ += n;
}

void Parser::plainByte(unsigned char b) {
    switch (state().dest) {
        case Dest::Picture: {
            const int v = hexValue(static_cast<char>(b));
            if (v < 0) {
                return;
            }
            if (nibble_ < 0) {
                nibble_ = v;
            } else {
                picture_.data.append(static_cast<char>(nibble_ * 16 + v));
                nibble_ = -1;
            }
            return;
        }
        case Dest::FontTable:
            if (b == ';') {
                endFontEntry();
                return;
            }
            break;
        case Dest::ColorTable:
            if (b == ';') {
                endColourEntry();
            }
            return;
        default:
            break;
    }
    if (b == '\t') {
        flushBytes();
        appendChar(u'\t');
        return;
    }
    if (b < 0x20 || b == 0x7F) {
        return;
    }
    addByte(b);
}

void Parser::hexByte(unsigned char b) {
    const Dest d = state().dest;
    if (d == Dest::Text || d == Dest::ListText || d == Dest::FontTable) {
        if (b < 0x20 && b != '\t') {
            if (skip_ > 0) {
                --skip_;
            }
            return;
        }
        addByte(b);
    }
}

void Parser::addByte(unsigned char b) {
    if (skip_ > 0) {
        --skip_;
        return;
    }
    const Dest d = state().dest;
    if (d != Dest::Text && d != Dest::ListText && d != Dest::FontTable) {
        return;
    }
    if (d != Dest::FontTable && state().hidden) {
        return;
    }
    const char c = static_cast<char>(b);
    addBytes(&c, 1, isPrintableAscii(&c, 1));
}

// Bytes of the current destination that are to be kept, all in the same code page.
void Parser::addBytes(const char* bytes, qsizetype count, bool ascii) {
    const int cp = codePageNow();
    if (!bytes_.isEmpty() && cp != bytesCodePage_) {
        flushBytes();
    }
    const Dest d = state().dest;
    if (d == Dest::Text) {
        beginContent();
    }
    highSurrogate_ = 0;
    bytesCodePage_ = cp;
    if (ascii && bytes_.isEmpty() && d != Dest::FontTable && decoder(cp).keepsAscii()) {
        // Plain English text, the bulk of a diary, needs no decoding.
        QString* out = d == Dest::ListText ? &listText_ : &text_;
        if (d == Dest::Text && text_.isEmpty()) {
            if (QString* direct = sink_.plainText()) {
                out = direct;
            }
        }
        out->append(QLatin1StringView(bytes, count));
        return;
    }
    bytes_.append(bytes, count);
}

// Text is mostly long runs of plain bytes between control words; this takes a whole run at
// once with the same rules as plainByte and addByte apply to each of its bytes: control bytes
// are dropped, a \uN fallback is skipped, the rest waits for its code page.
void Parser::plainRun() {
    const Dest d = state().dest;
    if ((d != Dest::Text && d != Dest::ListText) || p_[-1] == '\t') {
        plainByte(static_cast<unsigned char>(p_[-1]));
        return;
    }
    const bool keep = !state().hidden;
    const char* at = p_ - 1;
    while (at < end_) {
        ByteClass kind = byteClass(*at);
        if (kind == ByteClass::Stop) {
            break;
        }
        if (kind == ByteClass::Control) {
            ++at;
            continue;
        }
        bool ascii = kind == ByteClass::Ascii;
        const char* stop = at + 1;
        for (; stop < end_; ++stop) {
            kind = byteClass(*stop);
            if (kind == ByteClass::High) {
                ascii = false;
            } else if (kind != ByteClass::Ascii) {
                break;
            }
        }
        if (skip_ > 0) {
            const auto skipped = std::min<ptrdiff_t>(skip_, stop - at);
            skip_ -= static_cast<int>(skipped);
            at += skipped;
        }
        if (keep && at < stop) {
            addBytes(at, stop - at, ascii);
        }
        at = stop;
    }
    p_ = at;
}

int Parser::codePageNow() {
    const Group& g = state();
    if (g.dest == Dest::FontTable) {
        if (font_.codePage > 0) {
            return font_.codePage;
        }
        const int cp = codePageOfCharset(font_.charset);
        return cp != 0 ? cp : ansiCodePage_;
    }
    const int font = g.font >= 0 ? g.font : defaultFont_;
    if (font != cachedFont_) {
        cachedFont_ = font;
        cachedCodePage_ = codePageOfFont(font);
    }
    return cachedCodePage_;
}

int Parser::codePageOfFont(int font) const {
    const auto found = fonts_.constFind(font);
    if (found != fonts_.constEnd()) {
        if (found->codePage > 0) {
            return found->codePage;
        }
        if (const int cp = codePageOfCharset(found->charset); cp != 0) {
            return cp;
        }
    }
    return ansiCodePage_;
}

CodePageDecoder& Parser::decoder(int codePage) {
    if (lastDecoder_ != nullptr && lastDecoder_->codePage() == codePage) {
        return *lastDecoder_;
    }
    auto& d = decoders_[codePage];
    if (!d) {
        d = std::make_unique<CodePageDecoder>(codePage);
    }
    lastDecoder_ = d.get();
    return *d;
}

void Parser::flushBytes() {
    if (bytes_.isEmpty()) {
        return;
    }
    decoded_.resize(0);
    decoder(bytesCodePage_).decode(bytes_, decoded_);
    bytes_.resize(0);
    appendUnits(decoded_);
}

// As appendUtf16 for each unit, with the runs of ordinary characters appended whole.
void Parser::appendUnits(QStringView units) {
    const Dest d = state().dest;
    if (d != Dest::Text && d != Dest::ListText && d != Dest::FontTable) {
        return;
    }
    if (d != Dest::FontTable && state().hidden) {
        return;
    }
    QString& out = d == Dest::Text ? text_ : d == Dest::ListText ? listText_ : font_.name;
    const auto ordinary = [](char16_t c) {
        if (c >= 0x20 && c < 0x7F) {
            return true;
        }
        return !QChar::isSurrogate(c) && (isTextCharacter(c) || c == QChar::LineSeparator);
    };
    const char16_t* u = units.utf16();
    const qsizetype n = units.size();
    qsizetype i = 0;
    while (i < n) {
        qsizetype j = i;
        while (j < n && ordinary(u[j])) {
            ++j;
        }
        if (j > i) {
            if (d == Dest::Text) {
                beginContent();
            }
            out.append(QStringView(u + i, j - i));
            highSurrogate_ = 0;
            i = j;
        }
        if (i < n) {
            appendUtf16(u[i++]);
        }
    }
}

void Parser::appendChar(char32_t c) {
    if (c > 0xFFFF) {
        appendUtf16(QChar::highSurrogate(c));
        appendUtf16(QChar::lowSurrogate(c));
        return;
    }
    highSurrogate_ = 0;
    appendUtf16(static_cast<char16_t>(c));
}

// Takes one UTF-16 unit; a surrogate pair arrives in two calls, and a half pair is dropped.
void Parser::appendUtf16(char16_t c) {
    const Dest d = state().dest;
    if (d != Dest::Text && d != Dest::ListText && d != Dest::FontTable) {
        return;
    }
    if (d != Dest::FontTable && state().hidden) {
        return;
    }
    if (QChar::isHighSurrogate(c)) {
        highSurrogate_ = c;
        return;
    }
    QString& out = d == Dest::Text ? text_ : d == Dest::ListText ? listText_ : font_.name;
    if (QChar::isLowSurrogate(c)) {
        if (highSurrogate_ == 0) {
            return;
        }
        if (d == Dest::Text) {
            beginContent();
        }
        out.append(QChar(highSurrogate_));
        out.append(QChar(c));
        highSurrogate_ = 0;
        return;
    }
    highSurrogate_ = 0;
    if (!isTextCharacter(c) && c != QChar::LineSeparator) {
        return;
    }
    if (d == Dest::Text) {
        beginContent();
    }
    out.append(QChar(c));
}

void Parser::beginContent() {
    if (closed_) {
        flushText();
        sink_.startParagraph();
        closed_ = false;
    }
    empty_ = false;
}

// Where the format may change, the text so far is handed over in its own format; a sink that
// takes no formats gets longer runs instead.
void Parser::endRun() {
    if (wantFormats_) {
        flushText();
    }
}

void Parser::flushText() {
    if (text_.isEmpty()) {
        return;
    }
    sink_.text(text_, resolved());
    text_.resize(0);  // keeps the buffer for the next run
}

CharProps Parser::resolved() {
    CharProps props;
    if (!wantFormats_) {
        return props;
    }
    const Group& g = state();
    props.bold = g.bold;
    props.italic = g.italic;
    props.underline = g.underline;
    props.strike = g.strike;
    props.halfPoints = g.halfPoints;
    auto font = fonts_.constFind(g.font >= 0 ? g.font : defaultFont_);
    if (font == fonts_.constEnd()) {
        font = fonts_.constFind(defaultFont_);
    }
    if (font != fonts_.constEnd()) {
        props.family = font->name;
    }
    if (g.colour >= 0 && static_cast<size_t>(g.colour) < colours_.size() &&
        colours_[static_cast<size_t>(g.colour)]) {
        props.automatic = false;
        props.colour = *colours_[static_cast<size_t>(g.colour)];
    }
    return props;
}

void Parser::paragraphMark() {
    flushText();
    if (closed_) {
        sink_.startParagraph();
    }
    ParaProps para = state().para;
    para.bullet = para.bullet || listBullet_;
    sink_.endParagraph(para, resolved(), closed_ || empty_);
    closed_ = true;
    empty_ = true;
    listBullet_ = false;
}

void Parser::finish() {
    flushBytes();
    flushText();
    if (!closed_ && !empty_) {
        ParaProps para = state().para;
        para.bullet = para.bullet || listBullet_;
        sink_.endParagraph(para, resolved(), false);
    }
}

void Parser::endFontEntry() {
    flushBytes();
    if (fontEntry_ != INT_MIN) {
        Font f = font_;
        f.name = f.name.trimmed();
        fonts_.insert(fontEntry_, f);
        cachedFont_ = INT_MIN;
    }
    fontEntry_ = INT_MIN;
    font_ = {};
}

void Parser::endColourEntry() {
    if (colourGiven_) {
        colours_.emplace_back(qRgb(red_, green_, blue_));
    } else {
        colours_.emplace_back(std::nullopt);
    }
    red_ = green_ = blue_ = 0;
    colourGiven_ = false;
}

void Parser::emitPicture() {
    if (state().hidden || !isShowablePicture(picture_.data, picture_.kind)) {
        picture_ = {};
        return;
    }
    // The picture belongs to the text around its group.
    const Dest saved = state().dest;
    state().dest = Dest::Text;
    flushText();
    beginContent();
    state().dest = saved;
    sink_.picture(picture_);
    picture_ = {};
}

// A copy of a bullet marks the paragraph as a bulleted one; a copy of a number stays text,
// since the page has no numbering of its own to show it.
void Parser::endListText() {
    const QString mark = listText_.trimmed();
    if (mark.size() == 1 && !mark.front().isLetterOrNumber()) {
        listBullet_ = true;
    } else if (!mark.isEmpty()) {
        state().dest = Dest::Text;
        for (QChar c : listText_) {
            appendUtf16(c.unicode());
        }
        flushText();
    }
    listText_.clear();
}

// Whether the text of a code page's bytes below 128 is those bytes themselves.
bool codePageKeepsAscii(long long codePage) {
    return codePage == 1252 || CodePageDecoder(static_cast<int>(codePage)).keepsAscii();
}

// Follows the text of RTF the way Parser does, for RTF whose text is its own printable ASCII
// bytes: the groups that hold no text (tables, pictures, skipped destinations) are passed over
// as skipGroup passes them, and whatever would need decoding or a list's mark ends the walk.
class AsciiTextScanner {
  public:
    AsciiTextScanner(QByteArrayView data, std::string& out)
        : p_(data.data()), end_(data.data() + data.size()), out_(out) {}

    bool run() {
        // The text is never longer than the bytes it comes from.
        out_.resize(static_cast<size_t>(end_ - p_));
        at_ = out_.data();
        while (p_ < end_ && !done_ && followable_) {
            const char c = *p_++;
            switch (c) {
                case '{':
                    openGroup();
                    break;
                case '}':
                    closeGroup();
                    break;
                case '\\':
                    controlSequence();
                    break;
                case '\r':
                case '\n':
                    break;
                default:
                    plainRun();
                    break;
            }
        }
        out_.resize(static_cast<size_t>(at_ - out_.data()));
        return followable_;
    }

  private:
    struct GroupStart {
        bool starred = false;
        bool firstWord = true;
    };

    GroupStart& group() { return groups_[depth_ - 1]; }

    void openGroup() {
        ++depth_;
        if (depth_ > kMaxDepth) {
            skipRest();
            return;
        }
        group() = GroupStart{};
    }

    void closeGroup() {
        if (depth_ <= 1) {
            return;  // a stray closing brace
        }
        --depth_;
        done_ = depth_ == 1;
    }

    // The rest of the current group, as skipGroup reads it; only a change of code page that
    // could take effect there is looked at.
    void skipRest() {
        int nested = 1;
        while (p_ < end_ && followable_) {
            const char c = *p_++;
            if (c == '{') {
                ++nested;
            } else if (c == '}') {
                if (--nested == 0) {
                    break;
                }
            } else if (c == '\\' && p_ < end_) {
                skippedControl();
            }
        }
        closeGroup();
    }

    void skippedControl() {
        const SkippedControl control = passSkippedControl(p_, end_);
        p_ = control.end;
        if (const WordInfo* found = control.word.empty() ? nullptr : words().find(control.word)) {
            checkCodePage(found->word, control.value);
        }
    }

    void checkCodePage(Word word, long long value) {
        switch (word) {
            case Word::Mac:
                followable_ = codePageKeepsAscii(10000);
                break;
            case Word::Pc:
                followable_ = codePageKeepsAscii(437);
                break;
            case Word::Pca:
                followable_ = codePageKeepsAscii(850);
                break;
            case Word::AnsiCodePage:
            case Word::FontCodePage:
                followable_ = value <= 0 || value >= 100000 || codePageKeepsAscii(value);
                break;
            case Word::Charset: {
                const int cp = codePageOfCharset(clampInt(value, INT_MIN + 1, INT_MAX));
                followable_ = cp == 0 || codePageKeepsAscii(cp);
                break;
            }
            default:
                break;
        }
    }

    void controlSequence() {
        if (p_ >= end_) {
            return;
        }
        if (!isLetter(*p_)) {
            controlSymbol(*p_++);
            return;
        }
        const ReadControlWord read = readControlWord(p_, end_);
        controlWord(read.word, read.hasParam, read.value);
    }

    void controlSymbol(char c) {
        switch (c) {
            case '\'':
                followable_ = false;  // a byte that needs its code page
                return;
            case '\\':
            case '{':
            case '}':
                put(c);
                return;
            case '*':
                group().starred = true;
                return;
            case '~':
                put(' ');  // a non-breaking space reads as a blank
                return;
            case '-':
            case '_':
                put(kOutsideAscii);
                return;
            case '\r':
            case '\n':
                controlWord("par", false, 0);
                return;
            case '\t':
                controlWord("tab", false, 0);
                return;
            default:
                return;
        }
    }

    void controlWord(std::string_view name, bool hasParam, long long param) {
        GroupStart& g = group();
        const bool first = g.firstWord;
        g.firstWord = false;
        const WordInfo* found = words().find(name);
        if (found == nullptr) {
            if (first && g.starred) {
                skipRest();
            }
            return;
        }
        const Word word = found->word;
        if (first && g.starred && word != Word::ShpPict && word != Word::Pn &&
            word != Word::FontTable && word != Word::ListText && word != Word::PnText) {
            skipRest();
            return;
        }
        switch (word) {
            case Word::Unicode:
            case Word::PnText:
            case Word::ListText:
                followable_ = false;
                return;
            case Word::Hidden:
                followable_ = hasParam && param == 0;
                return;
            case Word::Tab:
                put('\t');
                return;
            case Word::Char:
                put(kOutsideAscii);
                return;
            case Word::Bin:
                p_ += std::clamp<long long>(hasParam ? param : 0, 0, end_ - p_);
                return;
            case Word::FontTable:
            case Word::ColorTable:
            case Word::Pict:
            case Word::Pn:
            case Word::SkipDest:
                // No text of the rest of the group reaches the paragraphs (a picture gives an
                // object character, which no ASCII matches).
                skipRest();
                return;
            default:
                checkCodePage(word, param);
                return;
        }
    }

    void put(char c) { *at_++ = c; }

    // A run of text; control bytes are dropped.
    void plainRun() {
        const char* in = p_ - 1;
        if (*in == '\t') {
            put('\t');
            return;
        }
        while (in < end_) {
            in = copyPlainWords(in);
            const ByteClass kind = in < end_ ? byteClass(*in) : ByteClass::Stop;
            if (kind == ByteClass::Stop) {
                break;
            }
            if (kind == ByteClass::High) {
                followable_ = false;
                break;
            }
            if (kind == ByteClass::Ascii) {
                put(*in);
            }
            ++in;
        }
        p_ = in;
    }

    // Copies the text bytes from in on, eight at a time, up to the first byte that is not from
    // " " to "z" or is a backslash (some of those are text too, taken one by one); returns
    // where that byte stands. The eight bytes are written whole: the text never catches up
    // with the bytes, so they fit.
    const char* copyPlainWords(const char* in) {
        constexpr std::uint64_t kOnes = 0x0101010101010101ull;
        constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
        for (; end_ - in >= 8; in += 8, at_ += 8) {
            std::uint64_t word;
            std::memcpy(&word, in, sizeof word);
            std::memcpy(at_, &word, sizeof word);
            const std::uint64_t backslashes = word ^ (kOnes * '\\');
            const std::uint64_t below = (word - kOnes * 0x20) & ~word;
            const std::uint64_t above = (word + kOnes * (0x7F - 'z')) | word;
            const std::uint64_t backslash = (backslashes - kOnes) & ~backslashes;
            // The lowest byte marked is the first such byte (a mark above it may be a borrow's).
            const std::uint64_t marks = (below | above | backslash) & kHighBits;
            if (marks != 0) {
                const int plain = std::countr_zero(marks) / 8;
                at_ += plain;
                return in + plain;
            }
        }
        return in;
    }

    const char* p_;
    const char* end_;
    std::string& out_;
    char* at_ = nullptr;  // where the next character of out_ goes
    bool done_ = false;
    bool followable_ = true;
    size_t depth_ = 1;  // the groups open, with the one outside the document
    std::array<GroupStart, kMaxDepth> groups_{};
};

}  // namespace

void parse(const QByteArray& data, Sink& sink, bool wantFormats) {
    Parser(data, sink, wantFormats).run();
}

bool asciiTextWithoutParse(QByteArrayView data, std::string& out) {
    return data.startsWith("{\\rtf") && AsciiTextScanner(data, out).run();
}

// QTextDocument would take some of these for structure (paragraph and frame marks, objects).
bool isTextCharacter(char16_t c) {
    if (c < 0x20) {
        return c == u'\t';
    }
    if (c == 0x7F || c == 0x2029 || c == 0xFFFC || c == 0xFFFE || c == 0xFFFF) {
        return false;
    }
    return !(c >= 0xFDD0 && c <= 0xFDEF);
}

bool isShowablePicture(const QByteArray& data, const QByteArray& kind) {
    if (kind == "png") {
        return data.startsWith("\x89PNG\r\n\x1a\n");
    }
    if (kind == "jpeg") {
        return data.startsWith("\xFF\xD8\xFF");
    }
    return false;
}

}  // namespace qb::rtf
