#include "platform/ini/IniFile.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <optional>

namespace {

QString text(const char16_t* utf16) {
    return QString::fromUtf16(utf16);
}

class IniFileTest : public ::testing::Test {
  protected:
    QString path() const { return dir_.filePath(QStringLiteral("Marlowick.ini")); }

    void writeRaw(const QByteArray& bytes) const {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QByteArray readRaw() const {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir_;
};

TEST(ProfileIntegerTest, TextForms) {
    struct Case {
        const char* text;
        std::optional<std::int32_t> expected;
    };
    const Case cases[] = {
        {"0", 0},
        {"9", 9},
        {"+12", 12},
        {"-1", -1},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", std::nullopt},
        {"$00914A28", 0x00914A28},
        {"$ff", 255},
        {"0x0", 0},
        {"0XFF", 255},
        {"$FFFFFFFF", -1},
        {"-$10", -16},
        {"$100000000", std::nullopt},
        {"", std::nullopt},
        {"$", std::nullopt},
        {"0x", std::nullopt},
        {"-", std::nullopt},
        {"yes", std::nullopt},
        {"12abc", std::nullopt},
        {"1 2", std::nullopt},
        {"1.5", std::nullopt},
        {"$G0", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(qb::parseProfileInteger(QString::fromLatin1(c.text)), c.expected) << c.text;
    }
}

TEST_F(IniFileTest, MissingFileGivesEveryDefault) {
    qb::IniFile ini(path());
    EXPECT_EQ(ini.readString("General", "Name", "Arial"), "Arial");
    EXPECT_EQ(ini.readInteger("General", "Size", 9), 9);
    EXPECT_TRUE(ini.readBool("General", "PlaySounds", true));
    EXPECT_FALSE(QFile::exists(path()));
}

TEST_F(IniFileTest, NamesWithoutCaseTrimmedValuesFirstMatchWins) {
    writeRaw(
        "Orphan=before any section\n"
        "[General]\n"
        "  PlaySounds  =  1  \n"
        "playsounds=0\n"
        "; Comment=1\n"
        "  ;Hidden=1\n"
        "NoEquals\n"
        "Empty=\n"
        "Inner= a = b \n"
        "[ general ]\n"
        "Second=from the repeated section\n"
        "[Colors]\n"
        "Background=$00914A28\n");
    qb::IniFile ini(path());
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    };
    const Case cases[] = {
        {"General", "PlaySounds", "1"},       {"GENERAL", "PLAYSOUNDS", "1"},
        {" General ", " PlaySounds ", "1"},   {"General", "Comment", "default"},
        {"General", ";Hidden", "default"},    {"General", "Hidden", "default"},
        {"General", "NoEquals", "default"},   {"General", "Empty", ""},
        {"General", "Inner", "a = b"},        {"General", "Orphan", "default"},
        {"General", "Second", "default"},  // only the first section of a name is read
        {"General", "Background", "default"}, {"colors", "background", "$00914A28"},
        {"Missing", "Background", "default"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ini.readString(c.section, c.key, "default"), QString::fromLatin1(c.expected))
            << c.section << "/" << c.key;
    }
}

TEST_F(IniFileTest, BooleansAndIntegersFallBackOnOddTexts) {
    writeRaw("[B]\nTwo=2\nMinus=-1\nHexZero=0x0\nYes=yes\nEmpty=\nZero=0\nDollar=$10\n");
    qb::IniFile ini(path());
    struct Case {
        const char* key;
        bool whenDefaultFalse;
        bool whenDefaultTrue;
    };
    const Case cases[] = {
        {"Two", true, true},    {"Minus", true, true},    {"HexZero", false, false},
        {"Yes", false, true},   {"Empty", false, true},   {"Zero", false, false},
        {"Dollar", true, true}, {"Missing", false, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ini.readBool("B", c.key, false), c.whenDefaultFalse) << c.key;
        EXPECT_EQ(ini.readBool("B", c.key, true), c.whenDefaultTrue) << c.key;
    }
    EXPECT_EQ(ini.readInteger("B", "Yes", 9), 9);
    EXPECT_EQ(ini.readInteger("B", "Empty", 9), 9);
    EXPECT_EQ(ini.readInteger("B", "Dollar", 9), 16);
}

TEST_F(IniFileTest, CrLfAndByteOrderMarkReadAndKeptOnWrite) {
    const QByteArray original =
        "\xEF\xBB\xBF[General]\r\nPlaySounds=1\r\n; note\r\n\r\n[Editors]\r\nShowModify=1\r\n";
    writeRaw(original);
    qb::IniFile ini(path());
    EXPECT_EQ(ini.readString("General", "PlaySounds", "x"), "1");
    EXPECT_EQ(ini.readString("Editors", "ShowModify", "x"), "1");

    ini.writeBool("general", "PLAYSOUNDS", false);
    ini.writeBool("General", "ShowWelcome", true);
    ini.writeString("Colors", "Background", "$00914A28");
    EXPECT_EQ(readRaw(),
              QByteArray("\xEF\xBB\xBF[General]\r\nPLAYSOUNDS=0\r\nShowWelcome=1\r\n; note\r\n\r\n"
                         "[Editors]\r\nShowModify=1\r\n[Colors]\r\nBackground=$00914A28\r\n"));
}

TEST_F(IniFileTest, WritesCreateAppendAndReplaceInPlace) {
    qb::IniFile ini(path());
    ini.writeBool("General", "OnlyShowDesktop", false);
    ini.writeBool("General", "OnlyShowEditor", true);
    ini.writeString("DesktopCalendar", "Transparency", "00");
    ini.writeInteger("Default Font1", "Size", 9);
    ini.writeBool("General", "ShowBoth", false);
    ini.writeInteger("Default Font1", "Size", -12);
    EXPECT_EQ(readRaw(),
              QByteArray("[General]\nOnlyShowDesktop=0\nOnlyShowEditor=1\nShowBoth=0\n"
                         "[DesktopCalendar]\nTransparency=00\n[Default Font1]\nSize=-12\n"));
    // No cache: a second object, and the first one, both see every write at once.
    EXPECT_EQ(qb::IniFile(path()).readInteger("Default Font1", "Size", 0), -12);
}

TEST_F(IniFileTest, HandEditedFileKeepsEveryOtherLineByteForByte) {
    writeRaw(
        "; my settings\n"
        "[General]\t; trailing note\n"
        "  PlaySounds = 1   \n"
        "Odd line without equals\n"
        "\n"
        "; about colours\n"
        "[Colors]\n"
        "Background=clRed");  // no line break at the end
    qb::IniFile ini(path());
    ini.writeBool("General", "PlaySounds", false);
    ini.writeBool("General", "ShowWelcome", true);
    ini.writeString("Colors", "Highlight", "$00E1AF97");
    EXPECT_EQ(readRaw(), QByteArray("; my settings\n"
                                    "[General]\t; trailing note\n"
                                    "PlaySounds=0\n"
                                    "ShowWelcome=1\n"
                                    "Odd line without equals\n"
                                    "\n"
                                    "; about colours\n"
                                    "[Colors]\n"
                                    "Background=clRed\n"
                                    "Highlight=$00E1AF97\n"));
}

TEST_F(IniFileTest, ValuesCannotInjectLines) {
    qb::IniFile ini(path());
    ini.writeString("Default Font1", "Name", "Arial\n[General]\r\nPlaySounds=0");
    EXPECT_EQ(ini.readString("Default Font1", "Name", ""), "Arial [General]  PlaySounds=0");
    EXPECT_EQ(ini.readString("General", "PlaySounds", "missing"), "missing");
}

TEST_F(IniFileTest, LinesThatAreNotUtf8ReadAsWindows1252) {
    struct Case {
        const char* line;
        const char16_t* value;
    };
    const Case cases[] = {
        {"Name=Caf\xe9 Sans", u"Caf\u00e9 Sans"},
        {"Name=Caf\xc3\xa9 Sans", u"Caf\u00e9 Sans"},      // valid UTF-8 stays UTF-8
        {"Name=\x80 \x9f \x81", u"\u20ac \u0178 \u0081"},  // holes keep their number
        {"Name=Caf\xc3", u"Caf\u00c3"},                    // cut short: not UTF-8
        {"Name=\xc0\xaf", u"\u00c0\u00af"},                // overlong: not UTF-8
        {"Name=\xed\xa0\x80", u"\u00ed\u00a0\u20ac"},      // a surrogate: not UTF-8
    };
    for (const Case& c : cases) {
        writeRaw(QByteArray("[Default Font1]\n") + c.line + "\n");
        EXPECT_EQ(qb::IniFile(path()).readString("Default Font1", "Name", "missing"), text(c.value))
            << c.line;
    }
}

TEST_F(IniFileTest, AFileInWindows1252KeepsItsEncodingWhereItCan) {
    struct Case {
        const char* why;
        QByteArray original;
        const char16_t* section;
        const char16_t* value;
        QByteArray written;
    };
    const Case cases[] = {
        {"a changed line in Windows-1252", "[Default Font1]\nName=Caf\xe9\n", u"Default Font1",
         u"Gr\u00f6\u00dfe \u20ac",
         "[Default Font1]\nName=Gr\xf6\xdf"
         "e \x80\n"},
        {"a new section in Windows-1252", "[A]\nName=Caf\xe9\n", u"K\u00fchl", u"\u00e4",
         "[A]\nName=Caf\xe9\n[K\xfchl]\nName=\xe4\n"},
        {"a character Windows-1252 lacks: that line in UTF-8", "[A]\nName=Caf\xe9\n", u"A",
         u"\u041f\u0440\u0438\u0432\u0435\u0442",
         "[A]\nName=\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82\n"},
        {"Windows-1252 bytes that would read as UTF-8 are written in UTF-8", "[A]\nName=Caf\xe9\n",
         u"A", u"\u00c3\u00a9", "[A]\nName=\xc3\x83\xc2\xa9\n"},
        {"a file with a UTF-8 line stays UTF-8", "[A]\nName=Caf\xe9\n[B]\nName=\xc3\xa4\n", u"A",
         u"\u00e4", "[A]\nName=\xc3\xa4\n[B]\nName=\xc3\xa4\n"},
        {"a plain ASCII file is written in UTF-8", "[A]\nName=x\n", u"A", u"\u00e4",
         "[A]\nName=\xc3\xa4\n"},
        {"a file marked as UTF-8 stays UTF-8", "\xEF\xBB\xBF[A]\nName=Caf\xe9\n", u"A", u"\u00e4",
         "\xEF\xBB\xBF[A]\nName=\xc3\xa4\n"},
    };
    for (const Case& c : cases) {
        writeRaw(c.original);
        qb::IniFile ini(path());
        ini.writeString(text(c.section), "Name", text(c.value));
        EXPECT_EQ(readRaw(), c.written) << c.why;
        EXPECT_EQ(ini.readString(text(c.section), "Name", ""), text(c.value)) << c.why;
    }
}

TEST_F(IniFileTest, FileMixingWindows1252AndUtf8LosesNothingOnWrite) {
    // A file from Windows into which this program has written keys in UTF-8 before.
    const QByteArray original =
        "[Default Font1]\r\nName=Caf\xe9 Sans\r\nColor=clBlack\r\n"
        "[Gr\xf6\xdf"
        "e]\r\nK\xfchl=\xe4\r\n"
        "[Default Font2]\r\nName=Fa\xc3\xa7"
        "ade\r\n";
    writeRaw(original);
    qb::IniFile ini(path());
    const QString name1 = ini.readString("Default Font1", "Name", "");
    EXPECT_EQ(name1, text(u"Caf\u00e9 Sans"));
    EXPECT_EQ(ini.readString(text(u"Gr\u00f6\u00dfe"), text(u"K\u00fchl"), ""), text(u"\u00e4"));
    EXPECT_EQ(ini.readString("Default Font2", "Name", ""), text(u"Fa\u00e7ade"));

    // What was read, written back, reads the same; every line not written stays as it was.
    ini.writeString("Default Font1", "Name", name1);
    ini.writeString("Default Font2", "Size", "9");
    EXPECT_EQ(readRaw(), QByteArray("[Default Font1]\r\nName=Caf\xc3\xa9 Sans\r\nColor=clBlack\r\n"
                                    "[Gr\xf6\xdf"
                                    "e]\r\nK\xfchl=\xe4\r\n"
                                    "[Default Font2]\r\nName=Fa\xc3\xa7"
                                    "ade\r\nSize=9\r\n"));
    EXPECT_EQ(ini.readString("Default Font1", "Name", ""), name1);
    EXPECT_EQ(ini.readString(text(u"Gr\u00f6\u00dfe"), text(u"K\u00fchl"), ""), text(u"\u00e4"));
    EXPECT_EQ(ini.readString("Default Font2", "Name", ""), text(u"Fa\u00e7ade"));

    // A key written under a name the file holds in Windows-1252 replaces that key.
    ini.writeString(text(u"GR\u00d6\u00dfE"), text(u"k\u00fchl"), text(u"\u00fc"));
    EXPECT_EQ(ini.readString(text(u"Gr\u00f6\u00dfe"), text(u"K\u00fchl"), ""), text(u"\u00fc"));
    EXPECT_EQ(readRaw().count("hl="), 1);
}

TEST_F(IniFileTest, RefusedWriteRaisesAndLeavesTheFileAsItWas) {
    qb::IniFile inMissingFolder(dir_.filePath("no/such/folder/Marlowick.ini"));
    try {
        inMissingFolder.writeBool("General", "PlaySounds", true);
        FAIL() << "the write reported success";
    } catch (const qb::IniWriteError& error) {
        EXPECT_EQ(QString::fromStdString(error.what()),
                  "Unable to write to " + dir_.filePath("no/such/folder/Marlowick.ini"));
    }

    // A path that cannot be read is never replaced by a file of one key.
    ASSERT_TRUE(QDir(dir_.path()).mkdir("Marlowick.ini"));
    qb::IniFile onFolder(path());
    EXPECT_THROW(onFolder.writeBool("General", "PlaySounds", true), qb::IniWriteError);
    EXPECT_TRUE(QFileInfo(path()).isDir());
    EXPECT_EQ(onFolder.readString("General", "PlaySounds", "default"), "default");
}

TEST_F(IniFileTest, RemoveDeletesAndAcceptsAMissingFile) {
    writeRaw("[General]\nPlaySounds=0\n");
    EXPECT_TRUE(qb::IniFile::remove(path()));
    EXPECT_FALSE(QFile::exists(path()));
    EXPECT_TRUE(qb::IniFile::remove(path()));
}

}  // namespace
