// The database module against real diary files made by the empty-database maker.

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdint>
#include <fstream>
#include <string>

#include "EmptyDiary.h"
#include "cipher/QbClass.h"
#include "store/DatabaseUnit.h"
#include "support/RunSql.h"
#include "support/ScriptedDialogs.h"

namespace {

using qb::test::runSql;

const QString ErrorOpening = QStringLiteral("Error opening database.    ");
const QString Corrupted = QStringLiteral("Password has been corrupted.    ");

std::int64_t pragmaValue(const QString& path, const char* pragma) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toStdString().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, pragma, -1, &statement, nullptr);
    std::int64_t value =
        sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int64(statement, 0) : -1;
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return value;
}

// A diary whose schema and row ids read well but whose stored password does not: the password
// is long enough to spill into overflow pages, and the chain of those pages is broken.
void makeDiaryWithDamagedPassword(const QString& path) {
    CreateEmptyDiary(path.toStdString());
    const std::int64_t pages = pragmaValue(path, "PRAGMA page_count");
    const std::int64_t pageSize = pragmaValue(path, "PRAGMA page_size");
    ASSERT_EQ(pragmaValue(path, "PRAGMA freelist_count"), 0);
    runSql(path, "UPDATE Pswd SET Password = '" + std::string(20000, 'Q') + "'");
    ASSERT_GT(pragmaValue(path, "PRAGMA page_count"), pages + 1);
    // The first overflow page is the first new page; its first four bytes point to the next.
    std::fstream file(path.toStdString(), std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(pages * pageSize);
    file.write("\x7f\xff\xff\xf0", 4);
}

std::string cipherOf(const std::string& text) {
    TQbBlowfish cipher;
    cipher.GenerateKey(DiaryKeyText());
    return cipher.EncryptString(text);
}

class DataModuleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        database = dir.filePath("Marlowick.mdb");
        module.Login.ShowLoginDialog = [this] {
            ++logins;
            if (loginFails) {
                quitMark = 1;
            }
        };
        module.Login.QuitMark = [this] { return quitMark; };
        module.Login.SetQuitMark = [this](int value) { quitMark = value; };
        module.Login.Quit = [this] { ++quits; };
    }

    void makeDiary() { CreateEmptyDiary(database.toStdString()); }

    void setPassword(const std::string& sql) { runSql(database, "UPDATE Pswd SET " + sql); }

    bool allTablesOpen() const {
        return module.PasswordTable.Active() && module.EntryTable.Active() &&
               module.MonthLookupTable.Active() && module.OtherDocTable.Active();
    }

    void expectOnlyBox(const QString& text) {
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.shown[0].text, text);
        EXPECT_EQ(dialogs.shown[0].title, "Database Error");
        EXPECT_EQ(dialogs.shown[0].icon, qb::MessageIcon::Error);
        EXPECT_EQ(quitMark, 1);
        EXPECT_EQ(quits, 1);
        EXPECT_EQ(logins, 0);
        EXPECT_FALSE(module.ADOConnection1.Connected());
    }

    std::string days(const char* yearMonth) {
        EXPECT_TRUE(module.MonthLookupTable.Locate("YearMonth", yearMonth));
        return module.MonthLookupTable.FieldByName("Days").AsString();
    }

    QTemporaryDir dir;
    QString database;
    qb::ScriptedDialogs dialogs;
    TQbBlowfish cipher;
    TDataModule1 module{dir.path(), cipher};
    int quitMark = 0;
    int quits = 0;
    int logins = 0;
    bool loginFails = false;
};

TEST_F(DataModuleTest, EmptyDiaryOpensWithoutLogIn) {
    makeDiary();
    module.OpenDatabase();
    EXPECT_TRUE(allTablesOpen());
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(logins, 0);
    EXPECT_EQ(quitMark, 0);
    EXPECT_EQ(module.EntryTable.Sort(), "sYYYYMMDD");
    EXPECT_EQ(module.OtherDocTable.Sort(), "Name");
    EXPECT_EQ(module.PasswordTable.RecordCount(), 1);
    EXPECT_EQ(cipher.DecryptString(module.PasswordTable.FieldByName("Password").AsString()), "")
        << "the key is generated and the stored password is the empty text";
    EXPECT_THROW(CreateEmptyDiary(database.toStdString()), std::runtime_error)
        << "an existing diary is never overwritten";
}

TEST_F(DataModuleTest, ANewDiaryIsReadableByItsOwnerAloneAndAnExistingOneKeepsItsMode) {
    const mode_t mask = ::umask(022);
    makeDiary();
    struct stat made {};
    ASSERT_EQ(::stat(database.toStdString().c_str(), &made), 0);
    EXPECT_EQ(made.st_mode & 0777, 0600u);
    ::chmod(database.toStdString().c_str(), 0640);
    EXPECT_THROW(makeDiary(), std::runtime_error);
    ASSERT_EQ(::stat(database.toStdString().c_str(), &made), 0);
    EXPECT_EQ(made.st_mode & 0777, 0640u);
    ::umask(mask);
}

TEST_F(DataModuleTest, FilesThatAreNoDiaryGiveOneErrorBox) {
    struct Case {
        const char* name;
        std::function<void(const QString&)> make;
    };
    const Case cases[] = {
        {"missing", [](const QString&) {}},
        {"not sqlite", [](const QString& p) { std::ofstream(p.toStdString()) << "Jet DB\n"; }},
        {"foreign sqlite", [](const QString& p) { runSql(p, "CREATE TABLE Other(x);"); }},
        {"table missing",
         [](const QString& p) {
             CreateEmptyDiary(p.toStdString());
             runSql(p, "DROP TABLE OtherDocs;");
         }},
        {"column missing",
         [](const QString& p) {
             CreateEmptyDiary(p.toStdString());
             runSql(p, "DROP TABLE MonthLookup; CREATE TABLE MonthLookup(YearMonth TEXT);");
         }},
        {"damaged password", makeDiaryWithDamagedPassword},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(database);
        dialogs.shown.clear();
        quitMark = quits = logins = 0;
        c.make(database);
        module.OpenDatabase();
        expectOnlyBox(ErrorOpening);
        EXPECT_FALSE(allTablesOpen());
    }
    QFile::remove(database);
    module.OpenDatabase();
    EXPECT_FALSE(QFileInfo::exists(database)) << "opening never creates a file";
}

TEST_F(DataModuleTest, UnreadablePasswordEndsTheProgram) {
    const char* cases[] = {"Password = ''", "Password = NULL", "Password = 'not cipher text!'",
                           "Password = 'QUJD'"};
    for (const char* assignment : cases) {
        SCOPED_TRACE(assignment);
        QFile::remove(database);
        dialogs.shown.clear();
        quitMark = quits = logins = 0;
        makeDiary();
        setPassword(assignment);
        module.OpenDatabase();
        expectOnlyBox(Corrupted);
    }
    QFile::remove(database);
    dialogs.shown.clear();
    quitMark = quits = 0;
    makeDiary();
    runSql(database, "DELETE FROM Pswd;");
    module.OpenDatabase();
    expectOnlyBox(Corrupted);
}

TEST_F(DataModuleTest, SetPasswordRunsTheLogIn) {
    makeDiary();
    setPassword("Password = '" + cipherOf("secret") + "'");

    loginFails = true;
    module.OpenDatabase();
    EXPECT_EQ(logins, 1);
    EXPECT_EQ(quitMark, 1);
    EXPECT_EQ(quits, 1);
    EXPECT_FALSE(module.EntryTable.Active());
    EXPECT_TRUE(dialogs.shown.empty()) << "the dialog says why, not the module";

    quitMark = quits = logins = 0;
    loginFails = false;
    module.OpenDatabase();
    EXPECT_EQ(logins, 1);
    EXPECT_EQ(quitMark, 0);
    EXPECT_TRUE(allTablesOpen());

    // Without a log-in dialog the password is never skipped.
    TDataModule1 bare(dir.path(), cipher);
    bare.OpenDatabase();
    EXPECT_EQ(bare.QuitMarkValue(), 1);
    EXPECT_FALSE(bare.EntryTable.Active());
}

TEST_F(DataModuleTest, MonthDayListFollowsTheAddAndRemoveRules) {
    makeDiary();
    module.OpenDatabase();
    ASSERT_TRUE(allTablesOpen());

    module.MarkMonthDay("20050305");
    EXPECT_EQ(days("200503"), ";05;");
    module.MarkMonthDay("20050312");
    EXPECT_EQ(days("200503"), ";05;12;");
    module.MarkMonthDay("20050305");
    EXPECT_EQ(days("200503"), ";05;12;");
    EXPECT_EQ(module.MonthLookupTable.RecordCount(), 1);

    // Deleting the 5th takes its two digits out and leaves the separators.
    ASSERT_TRUE(module.MonthLookupTable.Locate("YearMonth", "200503"));
    module.MonthLookupTable.Edit();
    module.MonthLookupTable.FieldByName("Days").SetAsString(";;12;");
    module.MonthLookupTable.Post();
    module.MarkMonthDay("20050305");
    EXPECT_EQ(days("200503"), ";;12;05;");

    module.MarkMonthDay("20050401");
    EXPECT_EQ(days("200504"), ";01;");
    EXPECT_EQ(module.MonthLookupTable.FieldByName("YearMonth").AsString(), "200504");

    // A month row whose list is empty or NULL starts again from ";".
    runSql(database, "INSERT INTO MonthLookup VALUES('200506', NULL), ('200507', '');");
    module.MonthLookupTable.Close();
    module.MonthLookupTable.Open();
    module.MarkMonthDay("20050609");
    module.MarkMonthDay("20050731");
    EXPECT_EQ(days("200506"), ";09;");
    EXPECT_EQ(days("200507"), ";31;");
    EXPECT_EQ(module.MonthLookupTable.RecordCount(), 4);
    EXPECT_THROW(module.MarkMonthDay("2005031"), std::invalid_argument);
}

class CompactionTest : public DataModuleTest {
  protected:
    void SetUp() override {
        DataModuleTest::SetUp();
        makeDiary();
        module.OpenDatabase();
        ASSERT_TRUE(allTablesOpen());
        for (int day = 1; day <= 28; ++day) {
            module.EntryTable.Insert();
            module.EntryTable.FieldByName("sYYYYMMDD").SetAsInteger(20050200 + day);
            module.EntryTable.FieldByName("Entry").SetAsString(std::string(20000, 'a' + day % 26));
            module.EntryTable.Post();
        }
        // Deleting most rows leaves free pages for the compaction to take away.
        module.EntryTable.First();
        while (module.EntryTable.RecordCount() > 3) {
            module.EntryTable.Delete();
        }
        sizeBefore = QFileInfo(database).size();
    }

    void expectUsableAfterwards() {
        ASSERT_TRUE(allTablesOpen());
        EXPECT_EQ(module.EntryTable.Sort(), "sYYYYMMDD");
        EXPECT_EQ(module.OtherDocTable.Sort(), "Name");
        ASSERT_TRUE(module.EntryTable.Locate("sYYYYMMDD", "20050227"));
        EXPECT_EQ(module.EntryTable.FieldByName("Entry").AsString(), std::string(20000, 'b'));
        EXPECT_EQ(module.EntryTable.RecNo(), 2);
        EXPECT_FALSE(QFileInfo::exists(module.CompactPath()));
    }

    qint64 sizeBefore = 0;
};

TEST_F(CompactionTest, CompactsInPlaceAndReopensTheTables) {
    std::ofstream(module.CompactPath().toStdString()) << "left by an earlier run";
    module.CompactDatabase1Click();
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_LT(QFileInfo(database).size(), sizeBefore / 4);
    expectUsableAfterwards();
    module.EntryTable.Insert();
    module.EntryTable.FieldByName("sYYYYMMDD").SetAsInteger(20050301);
    module.EntryTable.Post();
    EXPECT_EQ(module.EntryTable.RecordCount(), 4);
}

TEST_F(CompactionTest, TheCopyOfACompactionStoppedHalfWayGoesAtTheNextOpen) {
    std::ofstream(module.CompactPath().toStdString()) << "a full-size copy, left by a killed run";
    std::ofstream((module.CompactPath() + "-journal").toStdString()) << "its journal";
    module.ADOConnection1.Close();
    module.OpenDatabase();
    EXPECT_FALSE(QFileInfo::exists(module.CompactPath()));
    EXPECT_FALSE(QFileInfo::exists(module.CompactPath() + "-journal"));
    expectUsableAfterwards();
}

TEST_F(CompactionTest, FailureLeavesTheDatabaseAsItWas) {
    QFile file(database);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    struct Case {
        const char* name;
        std::function<void()> arrange;
        std::function<void()> undo;
    };
    const QString blocker = module.CompactPath() + "/keep";
    const Case cases[] = {
        {"read-only database", [&] { module.ADOConnection1.SetForceReadOnly(true); },
         [&] { module.ADOConnection1.SetForceReadOnly(false); }},
        {"copy cannot be removed", [&] { QDir().mkpath(blocker); },
         [&] { QDir(module.CompactPath()).removeRecursively(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.shown.clear();
        module.ADOConnection1.Close();
        c.arrange();
        module.CompactDatabase1Click();
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.shown[0].kind, "showMessage");
        EXPECT_EQ(dialogs.shown[0].text, "Error compacting...");
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(file.readAll() == before);
        file.close();
        ASSERT_TRUE(allTablesOpen());
        EXPECT_TRUE(module.EntryTable.Locate("sYYYYMMDD", "20050227"));
        c.undo();
    }
    module.ADOConnection1.Close();
    EXPECT_TRUE(module.CompactDatabase());
    expectUsableAfterwards();
}

}  // namespace
