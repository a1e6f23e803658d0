#include "pages/CalendarProgram.h"

#include "platform/db/Connection.h"
#include "platform/db/Table.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <sqlite3.h>

namespace qb {
namespace {

// A diary file with the two tables the calendars read, made with SQLite directly.
class DiaryTables : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        const std::string path = folder.filePath(QStringLiteral("Marlowick.mdb")).toStdString();
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
        const char* schema =
            "CREATE TABLE Entry(sYYYYMMDD TEXT NOT NULL UNIQUE, Entry TEXT);"
            "CREATE TABLE MonthLookup(YearMonth TEXT NOT NULL UNIQUE, Days TEXT);"
            "INSERT INTO MonthLookup VALUES('200502', ';14;'), ('200503', ';05;;12;'),"
            " ('2005031', ';01;');"
            "INSERT INTO Entry(sYYYYMMDD) VALUES('20050305'), ('20050312');";
        ASSERT_EQ(sqlite3_exec(db, schema, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
        connection.SetDatabasePath(path);
        connection.Open();
        months.Open();
        entries.SetSort("sYYYYMMDD");
        entries.Open();
    }

    QTemporaryDir folder;
    db::Connection connection;
    db::Table months{connection, "MonthLookup"};
    db::Table entries{connection, "Entry"};
};

TEST_F(DiaryTables, MonthDaysOfTheWholeMonthKeyOnly) {
    EXPECT_EQ(GetMonthDays(months, QStringLiteral("200503")), QStringLiteral(";05;;12;"));
    EXPECT_EQ(months.FieldByName("YearMonth").AsQString(), QStringLiteral("200503"));
    EXPECT_EQ(GetMonthDays(months, QStringLiteral("200502")), QStringLiteral(";14;"));
    EXPECT_EQ(GetMonthDays(months, QStringLiteral("200504")), QString());
    EXPECT_TRUE(months.Eof());
    EXPECT_EQ(months.RecNo(), months.RecordCount()) << "a miss ends on the last row";
    EXPECT_EQ(GetMonthDays(months, QStringLiteral("20050")), QString());
}

TEST_F(DiaryTables, ANewDayRowWrittenAsANumberIsFoundByItsKeyText) {
    EXPECT_TRUE(LocateDayEntry(entries, QStringLiteral("20050312")));
    EXPECT_FALSE(LocateDayEntry(entries, QStringLiteral("20050307")));
    InsertDayEntry(entries, QStringLiteral("20050307"));
    EXPECT_TRUE(LocateDayEntry(entries, QStringLiteral("20050307")));
    EXPECT_EQ(entries.RecNo(), 2);
    EXPECT_EQ(entries.FieldByName("Entry").AsQString(), QString());
    EXPECT_EQ(entries.RecordCount(), 3);
}

TEST_F(DiaryTables, AFailedInsertReachesTheCaller) {
    // The key is unique: a second row for a day is refused, not added.
    EXPECT_ANY_THROW(InsertDayEntry(entries, QStringLiteral("20050305")));
    EXPECT_EQ(entries.RecordCount(), 2);
}

}  // namespace
}  // namespace qb
