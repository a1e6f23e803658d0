#pragma once
// The month calendars wired to the diary: the month marks and day rows of the database module's
// tables, and the program-wide colours, folder and first month.

#include "pages/CalendarUnit.h"
#include "store/DayRows.h"

#include <QString>

class TDataModule1;

namespace qb::db {
class Table;
}

// The Days text of the first MonthLookup row whose YearMonth, read as text, is the month key;
// "" when none is. Leaves the cursor on that row, or on the last row at the end.
QString GetMonthDays(qb::db::Table& monthLookupTable, const QString& monthKey);

namespace qb {

// Month marks and day rows from the database module (which must outlive the calendars).
void UseDiaryStore(CalendarServices& services, TDataModule1& store);
// Colours, program folder and the first month from the program-wide state.
void UseProgramState(CalendarServices& services);

}  // namespace qb
