// The shared routines: stored-text coding, day keys, date texts, page ids, file names, switches.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>

#include "program/ProgramState.h"
#include "program/StaticUnit.h"
#include "cipher/QbClass.h"

namespace {

class StoredTextTest : public ::testing::Test {
  protected:
    void SetUp() override {
        cipher.GenerateKey("a key text for the tests");
        EntryCipher = &cipher;
    }
    void TearDown() override { EntryCipher = nullptr; }
    TQbBlowfish cipher;
};

TEST_F(StoredTextTest, PlainRtfAndTheEmptyTextAreNotDeciphered) {
    EXPECT_EQ(DecodeEntryText(""), "");
    EXPECT_EQ(DecodeEntryText("{\\rtf1\\ansi hello}"), "{\\rtf1\\ansi hello}");
    // The same five characters in capitals are cipher text, and not valid cipher text at that.
    EXPECT_THROW(DecodeEntryText("{\\RTF1\\ansi hello}"), std::runtime_error);
}

TEST_F(StoredTextTest, EncodedTextIsBase64ThatDecodesBack) {
    for (const std::string& rtf : {std::string("{\\rtf1 a}"), std::string(4096, 'x'),
                                   std::string("{\\rtf1 caf\\'e9 \\u8364?}"), std::string()}) {
        std::string stored = EncodeEntryText(rtf);
        EXPECT_EQ(stored.find_first_not_of(
                      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="),
                  std::string::npos);
        EXPECT_NE(stored.rfind("{\\rtf", 0), 0u);
        EXPECT_EQ(cipher.DecryptString(stored), rtf);
        if (!rtf.empty()) {
            EXPECT_EQ(DecodeEntryText(stored), rtf);
        }
    }
}

TEST(DayKeyTest, DateToKeyPadsMonthAndDay) {
    EXPECT_EQ(DateToKey(QDate(2005, 3, 5)), "20050305");
    EXPECT_EQ(DateToKey(QDate(2005, 12, 31)), "20051231");
    EXPECT_EQ(DateToKey(QDate(1000, 1, 1)), "10000101");
    EXPECT_EQ(DateToKey(QDate(9999, 12, 31)), "99991231");
    EXPECT_LT(DateToKey(QDate(2004, 12, 31)), DateToKey(QDate(2005, 1, 1)));
    for (const QDate& date : {QDate(999, 12, 31), QDate(10000, 1, 1), QDate(-5, 1, 1), QDate()}) {
        EXPECT_THROW(DateToKey(date), EConvertError) << date.year();
    }
}

TEST(DayKeyTest, DateTextsOfAKey) {
    struct Case {
        const char* key;
        const char* title;
        const char* longText;
        const char* text;
    };
    const Case cases[] = {
        {"20050305", "March  5, 2005 - Saturday", "Saturday - March  5, 2005", "March  5, 2005"},
        {"20051231", "December 31, 2005 - Saturday", "Saturday - December 31, 2005",
         "December 31, 2005"},
        {"20040229", "February 29, 2004 - Sunday", "Sunday - February 29, 2004",
         "February 29, 2004"},
        {"20050102", "January  2, 2005 - Sunday", "Sunday - January  2, 2005", "January  2, 2005"},
    };
    // The texts must not follow the system's language or date format.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    for (const Case& c : cases) {
        EXPECT_EQ(DateKeyToTitle(c.key), c.title);
        EXPECT_EQ(DateKeyToLongText(c.key), c.longText);
        EXPECT_EQ(DateKeyToText(c.key), c.text);
    }
    QLocale::setDefault(QLocale::c());
}

TEST(DayKeyTest, KeysThatNameNoDateAreRejected) {
    for (const char* key : {"20051301", "20050230", "20050000", "20050100", "2005035", "200503055",
                            "2005-3-5", " 2005035", "09990101", "", "abcdefgh"}) {
        EXPECT_THROW(DateKeyToTitle(key), EConvertError) << key;
        EXPECT_THROW(DateKeyToText(key), EConvertError) << key;
    }
}

TEST(PageIdTest, CountsFromOne) {
    PageCounter = 0;
    EXPECT_EQ(NextPageId(), "1");
    EXPECT_EQ(NextPageId(), "2");
    EXPECT_EQ(NextPageId(), "3");
    EXPECT_EQ(PageCounter, 3);
}

TEST(FileNameTest, ExtensionAndStrip) {
    struct Case {
        const char* name;
        const char* extension;
        const char* stripped;
    };
    const Case cases[] = {
        {"beach.jpg", "jpg", "beach"},
        {"a.b.bmp", "bmp", "a.b"},
        {"holiday.2005.JPG", "jpg", "holiday.2005"},
        {"noextension", "", "noextension"},
        {"endsWithDot.", "", "endsWithDot"},
        {"/home/u/Pictures/OtherDocs/v1.2/photo", "", "/home/u/Pictures/OtherDocs/v1.2/photo"},
        {"/home/u/Pictures/2005/03/05/Beach.Jpeg", "jpeg", "/home/u/Pictures/2005/03/05/Beach"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FileExtension(c.name), c.extension) << c.name;
        EXPECT_EQ(StripExtension(c.name), c.stripped) << c.name;
    }
}

TEST(RemoveFolderIfEmptyTest, RemovesOnlyEmptyFolders) {
    QTemporaryDir dir;
    QDir root(dir.path());
    for (const char* name : {"empty", "hidden", "nested/inner", "withslash"}) {
        ASSERT_TRUE(root.mkpath(name));
    }
    QFile hiddenFile(root.filePath("hidden/.secret"));
    ASSERT_TRUE(hiddenFile.open(QIODevice::WriteOnly));
    hiddenFile.close();
    ASSERT_TRUE(QFile::link(root.filePath("empty"), root.filePath("link")));

    RemoveFolderIfEmpty(root.filePath("link"));
    EXPECT_TRUE(QFileInfo(root.filePath("link")).isSymLink()) << "a link is not a folder";
    RemoveFolderIfEmpty(root.filePath("empty"));
    RemoveFolderIfEmpty(root.filePath("withslash") + "/");
    RemoveFolderIfEmpty(root.filePath("hidden"));
    RemoveFolderIfEmpty(root.filePath("nested"));
    RemoveFolderIfEmpty(root.filePath("does-not-exist"));

    EXPECT_FALSE(root.exists("empty"));
    EXPECT_FALSE(root.exists("withslash"));
    EXPECT_TRUE(root.exists("hidden/.secret"));
    EXPECT_TRUE(root.exists("nested/inner"));
}

TEST(SwitchTest, UndoPanelInTheFirstTenParameters) {
    for (int place = 1; place <= 11; ++place) {
        QStringList arguments{"/opt/Quillbrook/Marlowick"};
        for (int i = 1; i < place; ++i) {
            arguments << QStringLiteral("p%1").arg(i);
        }
        arguments << "-UndoPanel";
        EXPECT_EQ(IsSwitchPresent("-undopanel", arguments), place <= 10) << "place " << place;
    }
    EXPECT_FALSE(IsSwitchPresent("-undopanel", {"-undopanel"})) << "the program is no parameter";
    EXPECT_FALSE(IsSwitchPresent("-undopanel", {"prog", "-undopanelx"}));
}

}  // namespace
