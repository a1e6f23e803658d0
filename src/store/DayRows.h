#pragma once
// The day rows of the Entry table, found and added by their day key "YYYYMMDD".

#include <QString>

namespace qb::db {
class Table;
}

namespace qb {

// Moves the Entry cursor to the row of the day key (located as text, whole value).
bool LocateDayEntry(db::Table& entryTable, const QString& key);
// Inserts and posts the day's row, its key written as a number; errors reach the caller.
void InsertDayEntry(db::Table& entryTable, const QString& key);

}  // namespace qb
