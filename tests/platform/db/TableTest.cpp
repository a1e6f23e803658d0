// The cursor semantics the diary relies on, against real SQLite files in a temporary folder.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QFileInfo>
#include <QTemporaryDir>

#include <fstream>
#include <string>
#include <vector>

#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/Table.h"
#include "support/RunSql.h"

using qb::db::Connection;
using qb::db::Error;
using qb::db::Table;

namespace {

using qb::test::runSql;

class TableTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath("t.db").toStdString();
        runSql(path,
               "CREATE TABLE Entry(sYYYYMMDD TEXT NOT NULL UNIQUE, Entry TEXT);"
               "CREATE TABLE OtherDocs(Name TEXT NOT NULL UNIQUE, Entry TEXT);");
        connection.SetDatabasePath(path);
    }

    void insertKeys(Table& table, const std::vector<std::int32_t>& keys) {
        for (std::int32_t key : keys) {
            table.Insert();
            table.FieldByName("sYYYYMMDD").SetAsInteger(key);
            table.Post();
        }
    }

    std::vector<std::string> walk(Table& table, const char* column) {
        std::vector<std::string> seen;
        table.First();
        while (!table.Eof()) {
            seen.push_back(table.FieldByName(column).AsString());
            table.Next();
        }
        return seen;
    }

    QTemporaryDir dir;
    std::string path;
    Connection connection;
};

TEST_F(TableTest, IntegerKeysAreStoredAsTextAndWalkInKeyOrder) {
    Table entries(connection, "Entry");
    entries.Open();
    entries.SetSort("sYYYYMMDD");
    insertKeys(entries, {20050101, 20041231, 20050305});
    EXPECT_EQ(walk(entries, "sYYYYMMDD"),
              (std::vector<std::string>{"20041231", "20050101", "20050305"}));

    // The order and the text form hold for a fresh cursor too.
    Table again(connection, "Entry");
    again.Open();
    again.SetSort("sYYYYMMDD");
    EXPECT_EQ(walk(again, "sYYYYMMDD"),
              (std::vector<std::string>{"20041231", "20050101", "20050305"}));
    EXPECT_EQ(again.RecordCount(), 3);
}

// Opening with a sort in one read must leave the cursor where opening and then sorting leaves it:
// the first row in insertion order stays current, in its sorted place.
TEST_F(TableTest, OpenSortedLeavesTheCursorAsOpenThenSetSort) {
    struct Case {
        const char* what;
        std::vector<std::int32_t> keys;
        std::string presetSort;  // set before opening
        bool openFirst;          // the table is open already
        std::string sort;
    };
    const std::vector<Case> cases = {
        {"first inserted sorts last", {20050305, 20041231, 20050101}, "", false, "sYYYYMMDD"},
        {"first inserted sorts first", {20041231, 20050305, 20050101}, "", false, "sYYYYMMDD"},
        {"one row", {20050101}, "", false, "sYYYYMMDD"},
        {"no rows", {}, "", false, "sYYYYMMDD"},
        {"sort set before", {20050305, 20041231, 20050101}, "sYYYYMMDD", false, "sYYYYMMDD"},
        {"already open", {20050305, 20041231, 20050101}, "", true, "sYYYYMMDD"},
        {"sort taken away", {20050305, 20041231, 20050101}, "sYYYYMMDD", false, ""},
        {"unknown column", {20050305, 20041231, 20050101}, "", false, "Nothing"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        runSql(path, "DELETE FROM Entry;");
        {
            Table writer(connection, "Entry");
            writer.Open();
            insertKeys(writer, c.keys);
        }
        const auto open = [&](Table& table, bool oneRead) {
            table.SetSort(c.presetSort);
            if (c.openFirst) {
                table.Open();
            }
            if (oneRead) {
                table.OpenSorted(c.sort);
            } else {
                table.Open();
                table.SetSort(c.sort);
            }
        };
        Table expected(connection, "Entry");
        Table table(connection, "Entry");
        const bool fails = c.sort == "Nothing";
        if (fails) {
            EXPECT_THROW(open(expected, false), Error);
            EXPECT_THROW(open(table, true), Error);
        } else {
            open(expected, false);
            open(table, true);
        }
        ASSERT_TRUE(table.Active());
        EXPECT_EQ(table.Sort(), expected.Sort());
        EXPECT_EQ(table.RecNo(), expected.RecNo());
        EXPECT_EQ(table.Eof(), expected.Eof());
        if (!c.keys.empty()) {
            EXPECT_EQ(table.FieldByName("sYYYYMMDD").AsString(),
                      expected.FieldByName("sYYYYMMDD").AsString());
        }
        EXPECT_EQ(walk(table, "sYYYYMMDD"), walk(expected, "sYYYYMMDD"));
    }
}

// Opening a table of large texts reads the keys, not the texts: a ten-year diary opens at
// start-up. The order is the same as when every row was read.
TEST_F(TableTest, OpeningReadsTheKeysWithoutReadingEveryRow) {
    const int days = 300;
    // Keys inserted out of order, each row with a text of several pages.
    runSql(path, "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < " +
                     std::to_string(days - 1) +
                     ") INSERT INTO Entry(sYYYYMMDD, Entry) SELECT 20050000 + (i * 37) % " +
                     std::to_string(days) + ", replace(hex(zeroblob(6000)), '0', 'a') FROM n;");
    struct Case {
        const char* what;
        std::string sort;
        bool keyOrder;
    };
    for (const Case& c : {Case{"sorted", "sYYYYMMDD", true}, Case{"unsorted", "", false}}) {
        SCOPED_TRACE(c.what);
        Connection fresh;
        fresh.SetDatabasePath(path);
        fresh.Open();
        Table entries(fresh, "Entry");
        // The schema is read with the first statement; only what opening reads counts.
        int misses = 0;
        int highest = 0;
        Table probe(fresh, "OtherDocs");
        probe.Open();
        sqlite3_db_status(fresh.Handle(), SQLITE_DBSTATUS_CACHE_MISS, &misses, &highest, 1);
        entries.OpenSorted(c.sort);
        sqlite3_db_status(fresh.Handle(), SQLITE_DBSTATUS_CACHE_MISS, &misses, &highest, 0);
        EXPECT_LT(misses, days / 10) << "pages read to open the table";

        std::vector<std::string> expected;
        for (int i = 0; i < days; ++i) {
            expected.push_back(std::to_string(20050000 + (c.keyOrder ? i : (i * 37) % days)));
        }
        EXPECT_EQ(walk(entries, "sYYYYMMDD"), expected);
        EXPECT_EQ(entries.RecordCount(), days);
    }
}

TEST_F(TableTest, ColumnTextsReadsEveryRowInCursorOrderAndLeavesTheCursor) {
    runSql(path,
           "INSERT INTO OtherDocs(Name, Entry) VALUES('pear', 'p'), ('Apple', NULL), ('fig', '');"
           "INSERT INTO Entry(sYYYYMMDD, Entry) VALUES('20050101', 'x');");
    Table docs(connection, "OtherDocs");
    docs.SetSort("Name");
    docs.Open();
    docs.Next();  // on "fig"
    EXPECT_EQ(docs.ColumnTexts("Name"), (std::vector<std::string>{"Apple", "fig", "pear"}));
    EXPECT_EQ(docs.ColumnTexts("Entry"), (std::vector<std::string>{"", "", "p"}));
    EXPECT_EQ(docs.RecNo(), 2);
    EXPECT_EQ(docs.FieldByName("Name").AsString(), "fig");

    // A number stored in a text column reads as its text, as a row read does.
    Table entries(connection, "Entry");
    entries.Open();
    insertKeys(entries, {20041231});
    EXPECT_EQ(entries.ColumnTexts("sYYYYMMDD"), (std::vector<std::string>{"20050101", "20041231"}));
    EXPECT_THROW(entries.ColumnTexts("Nothing"), Error);
}

TEST_F(TableTest, LocateMatchesTheWholeTextOnly) {
    Table entries(connection, "Entry");
    entries.Open();
    insertKeys(entries, {20050305, 20050306});
    for (const char* sort : {"sYYYYMMDD", ""}) {
        entries.SetSort(sort);
        SCOPED_TRACE(std::string("sort '") + sort + "'");
        ASSERT_TRUE(entries.Locate("sYYYYMMDD", "20050306"));
        EXPECT_EQ(entries.FieldByName("sYYYYMMDD").AsString(), "20050306");
        for (const char* miss : {"020050305", "20050305.0", "2005030", "20050305 ", ""}) {
            EXPECT_FALSE(entries.Locate("sYYYYMMDD", miss)) << miss;
            EXPECT_EQ(entries.FieldByName("sYYYYMMDD").AsString(), "20050306")
                << "a miss moved the cursor";
        }
        EXPECT_TRUE(entries.Locate("sYYYYMMDD", "20050305"));
        EXPECT_EQ(entries.RecNo(), 1);
    }
}

TEST_F(TableTest, LocateOnAnUnsortedColumnIsExactAndCaseSensitive) {
    Table docs(connection, "OtherDocs");
    docs.Open();
    docs.SetSort("Name");
    for (const char* name : {"welcome", "Trip", "Welcome"}) {
        docs.Insert();
        docs.FieldByName("Name").SetAsString(name);
        docs.FieldByName("Entry").SetAsString(std::string("text of ") + name);
        docs.Post();
    }
    EXPECT_TRUE(docs.Locate("Entry", "text of Welcome"));
    EXPECT_EQ(docs.FieldByName("Name").AsString(), "Welcome");
    EXPECT_FALSE(docs.Locate("Entry", "TEXT OF WELCOME"));
    EXPECT_EQ(docs.FieldByName("Name").AsString(), "Welcome");
}

TEST_F(TableTest, NamesSortWithoutCaseThenByBytes) {
    Table docs(connection, "OtherDocs");
    docs.Open();
    docs.SetSort("Name");
    for (const char* name : {"beta", "Alpha", "alpha", "Beta", "_x", "10"}) {
        docs.Insert();
        docs.FieldByName("Name").SetAsString(name);
        docs.Post();
    }
    EXPECT_EQ(walk(docs, "Name"),
              (std::vector<std::string>{"10", "_x", "Alpha", "alpha", "Beta", "beta"}))
        << "letters fold to lower case, as SQLite's NOCASE does";
}

TEST_F(TableTest, CursorStopsAtBothEnds) {
    Table entries(connection, "Entry");
    entries.Open();
    entries.SetSort("sYYYYMMDD");
    EXPECT_TRUE(entries.Eof());
    EXPECT_EQ(entries.RecNo(), 0);
    entries.Next();
    entries.Prior();
    EXPECT_TRUE(entries.Eof());
    EXPECT_EQ(entries.FieldByName("Entry").AsString(), "");

    insertKeys(entries, {20050102, 20050101, 20050103});
    entries.First();
    entries.Prior();
    EXPECT_EQ(entries.RecNo(), 1);
    EXPECT_FALSE(entries.Eof());
    EXPECT_EQ(entries.FieldByName("sYYYYMMDD").AsString(), "20050101");

    ASSERT_TRUE(entries.Locate("sYYYYMMDD", "20050103"));
    EXPECT_EQ(entries.RecNo(), 3);
    entries.Next();
    EXPECT_TRUE(entries.Eof());
    EXPECT_EQ(entries.FieldByName("sYYYYMMDD").AsString(), "20050103")
        << "the last row stays current at the end";
    entries.Prior();
    EXPECT_FALSE(entries.Eof());
    EXPECT_EQ(entries.FieldByName("sYYYYMMDD").AsString(), "20050102");
}

TEST_F(TableTest, InsertEditDeleteKeepTheCursorInSortOrder) {
    Table entries(connection, "Entry");
    entries.Open();
    entries.SetSort("sYYYYMMDD");
    insertKeys(entries, {20050110, 20050130});

    insertKeys(entries, {20050120});
    EXPECT_EQ(entries.RecNo(), 2) << "the new row is current, in its sorted place";
    EXPECT_EQ(entries.FieldByName("Entry").AsString(), "") << "NULL reads as empty text";
    EXPECT_TRUE(entries.FieldByName("Entry").IsNull());

    entries.Edit();
    entries.FieldByName("Entry").SetAsString("day text");
    EXPECT_EQ(entries.FieldByName("Entry").AsString(), "day text");
    entries.Post();
    EXPECT_EQ(entries.RecNo(), 2);

    // Cancel drops the change and, for an insert, goes back where the cursor was.
    entries.Edit();
    entries.FieldByName("Entry").SetAsString("dropped");
    entries.Cancel();
    EXPECT_EQ(entries.FieldByName("Entry").AsString(), "day text");
    entries.Insert();
    entries.Cancel();
    EXPECT_EQ(entries.RecNo(), 2);
    EXPECT_EQ(entries.RecordCount(), 3);

    // Delete makes the next row current, or the new last row.
    entries.Delete();
    EXPECT_EQ(entries.FieldByName("sYYYYMMDD").AsString(), "20050130");
    entries.Delete();
    EXPECT_EQ(entries.FieldByName("sYYYYMMDD").AsString(), "20050110");
    EXPECT_FALSE(entries.Eof());
    entries.Delete();
    EXPECT_TRUE(entries.Eof());
    EXPECT_EQ(entries.RecordCount(), 0);

    Table fresh(connection, "Entry");
    fresh.Open();
    EXPECT_EQ(fresh.RecordCount(), 0) << "deletes are in the file";
}

TEST_F(TableTest, FailedPostCancelsAndLeavesTheTableUsable) {
    Table entries(connection, "Entry");
    entries.Open();
    entries.SetSort("sYYYYMMDD");
    insertKeys(entries, {20050101, 20050102});

    // A duplicate key.
    entries.Insert();
    entries.FieldByName("sYYYYMMDD").SetAsString("20050101");
    try {
        entries.Post();
        FAIL() << "a duplicate key was posted";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("UNIQUE"), std::string::npos) << e.what();
    }
    EXPECT_EQ(entries.GetState(), Table::State::Browse);
    EXPECT_EQ(entries.RecordCount(), 2);
    EXPECT_EQ(entries.FieldByName("sYYYYMMDD").AsString(), "20050102");

    // A read-only database.
    connection.Close();
    EXPECT_FALSE(entries.Active()) << "closing the connection closes its tables";
    connection.SetForceReadOnly(true);
    entries.Open();
    ASSERT_TRUE(entries.Locate("sYYYYMMDD", "20050102"));
    entries.Edit();
    entries.FieldByName("Entry").SetAsString("never stored");
    EXPECT_THROW(entries.Post(), Error);
    EXPECT_EQ(entries.GetState(), Table::State::Browse);
    EXPECT_EQ(entries.FieldByName("Entry").AsString(), "");
    EXPECT_TRUE(entries.Locate("sYYYYMMDD", "20050101"));
    entries.Next();
    EXPECT_EQ(entries.FieldByName("sYYYYMMDD").AsString(), "20050102");
}

TEST_F(TableTest, ADatabaseWhoseFolderTakesNoJournalOpensReadOnly) {
    const std::string folder = dir.path().toStdString();
    const struct {
        bool file, folder, writable;
    } cases[] = {{true, true, true}, {false, true, false}, {true, false, false}};
    for (const auto& c : cases) {
        qb::db::SetWriteAccessQuery([&](const std::string& asked) {
            return asked == path ? c.file : asked == folder ? c.folder : true;
        });
        EXPECT_EQ(qb::db::DatabaseWritable(path), c.writable) << c.file << c.folder;
        connection.Open();
        EXPECT_EQ(connection.ReadOnly(), !c.writable) << c.file << c.folder;
        connection.Close();
    }
    qb::db::SetWriteAccessQuery(nullptr);
    EXPECT_TRUE(qb::db::DatabaseWritable(path));
}

TEST_F(TableTest, PostOfARowAnotherProgramDeletedFails) {
    Table entries(connection, "Entry");
    entries.Open();
    insertKeys(entries, {20050101});
    runSql(path, "DELETE FROM Entry;");
    entries.Edit();
    entries.FieldByName("Entry").SetAsString("lost?");
    EXPECT_THROW(entries.Post(), Error) << "an update of nothing must not pass for a save";
    EXPECT_EQ(entries.GetState(), Table::State::Browse);
}

TEST_F(TableTest, MisuseRaisesErrors) {
    Table entries(connection, "Entry");
    EXPECT_THROW(entries.FieldByName("Entry"), Error) << "closed table";
    EXPECT_THROW(entries.First(), Error);
    entries.Open();
    EXPECT_THROW(entries.FieldByName("NoSuchColumn"), Error);
    EXPECT_THROW(entries.FieldByName("Entry").SetAsString("x"), Error) << "not editing";
    EXPECT_THROW(entries.Edit(), Error) << "no current row";
    EXPECT_THROW(entries.Delete(), Error);
    EXPECT_THROW(entries.Post(), Error);
    EXPECT_THROW(entries.SetSort("NoSuchColumn"), Error);
    EXPECT_TRUE(entries.FieldByName("entry").FieldName() == "Entry") << "names without case";

    Table missing(connection, "NoSuchTable");
    EXPECT_THROW(missing.Open(), Error);
    EXPECT_FALSE(missing.Active());
}

TEST_F(TableTest, MovingWhileEditingPostsTheChange) {
    Table entries(connection, "Entry");
    entries.Open();
    entries.SetSort("sYYYYMMDD");
    insertKeys(entries, {20050101, 20050102});
    entries.First();
    entries.Edit();
    entries.FieldByName("Entry").SetAsString("kept");
    entries.Next();
    EXPECT_EQ(entries.GetState(), Table::State::Browse);
    ASSERT_TRUE(entries.Locate("Entry", "kept"));
    EXPECT_EQ(entries.FieldByName("sYYYYMMDD").AsString(), "20050101");
}

// A walk that reads rows in batches sees what a walk row by row sees: the values of every row
// in sort order, a row changed through another table after the batch was read, and nothing of
// the batch's reading left open for another program's write between two rows.
TEST_F(TableTest, ReadingAheadGivesWhatEachRowHoldsWhenTheCursorComesToIt) {
    Table shared(connection, "Entry");
    shared.Open();
    shared.SetSort("sYYYYMMDD");
    std::vector<std::string> expected;
    for (int day = 40; day >= 1; --day) {  // inserted against the sort order
        shared.Insert();
        shared.FieldByName("sYYYYMMDD").SetAsInteger(20050100 + day);
        shared.FieldByName("Entry").SetAsString("text of day " + std::to_string(day));
        shared.Post();
        expected.insert(expected.begin(), "text of day " + std::to_string(day));
    }
    ASSERT_TRUE(shared.Locate("sYYYYMMDD", "20050110"));
    shared.Edit();
    shared.FieldByName("Entry").SetAsString(std::string(100, 'x'));
    shared.Post();
    expected[9] = std::string(100, 'x');

    for (int batch : {0, 1, 7, 16, 40, 900}) {
        SCOPED_TRACE(batch);
        Table walker(connection, "Entry");
        walker.SetReadAhead(batch);
        walker.SetSort("sYYYYMMDD");
        walker.Open();
        EXPECT_EQ(walk(walker, "Entry"), expected);
    }

    Table walker(connection, "Entry");
    walker.SetReadAhead(16);
    walker.SetSort("sYYYYMMDD");
    walker.Open();
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open_v2(path.c_str(), &other, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    std::vector<std::string> seen;
    for (walker.First(); !walker.Eof(); walker.Next()) {
        seen.push_back(walker.FieldByName("Entry").AsString());
        const int row = static_cast<int>(seen.size());
        if (row == 3) {
            // A page saved between two rows, on the walker's own connection: a row of the batch
            // already read and one of the next batch.
            for (const char* key : {"20050105", "20050120"}) {
                ASSERT_TRUE(shared.Locate("sYYYYMMDD", key));
                shared.Edit();
                shared.FieldByName("Entry").SetAsString(std::string("saved ") + key);
                shared.Post();
            }
        }
        // Another program writes between every two rows; with no busy wait, a read left open
        // would make it fail.
        const std::string sql =
            "INSERT INTO OtherDocs(Name) VALUES ('row " + std::to_string(row) + "')";
        EXPECT_EQ(sqlite3_exec(other, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK)
            << "row " << row << ": " << sqlite3_errmsg(other);
    }
    sqlite3_close(other);
    expected[4] = "saved 20050105";
    expected[19] = "saved 20050120";
    EXPECT_EQ(seen, expected);
}

TEST(ConnectionTest, OpensOnlyExistingSqliteFiles) {
    QTemporaryDir dir;
    Connection connection;
    connection.SetDatabasePath(dir.filePath("missing.db").toStdString());
    EXPECT_THROW(connection.Open(), Error);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("missing.db"))) << "open must not create";

    std::string garbage = dir.filePath("garbage.db").toStdString();
    std::ofstream(garbage) << "Standard Jet DB, or anything else that is not SQLite\n";
    connection.SetDatabasePath(garbage);
    EXPECT_THROW(connection.Open(), Error);
    EXPECT_FALSE(connection.Connected());

    std::string empty = dir.filePath("empty.db").toStdString();
    std::ofstream{empty};
    connection.SetDatabasePath(empty);
    connection.Open();  // a zero-byte file is an empty SQLite database
    Table table(connection, "Entry");
    EXPECT_THROW(table.Open(), Error);
}

}  // namespace
