#include "pages/CalendarProgram.h"

#include "platform/db/Table.h"
#include "program/ProgramState.h"
#include "store/DatabaseUnit.h"

QString GetMonthDays(qb::db::Table& monthLookupTable, const QString& monthKey) {
    // One query finds the row: reading the rows one by one to compare them costs a read of the
    // file per row, and the calendars ask for three months at every start.
    if (monthLookupTable.Locate("YearMonth", monthKey.toStdString())) {
        return monthLookupTable.FieldByName("Days").AsQString();
    }
    // A miss leaves the cursor where a walk over every row ends: on the last row, at the end.
    monthLookupTable.First();
    while (!monthLookupTable.Eof()) {
        monthLookupTable.Next();
    }
    return QString();
}

namespace qb {

void UseDiaryStore(CalendarServices& services, TDataModule1& store) {
    services.monthDays = [&store](const QString& monthKey) {
        return GetMonthDays(store.MonthLookupTable, monthKey);
    };
    services.locateEntry = [&store](const QString& key) {
        return LocateDayEntry(store.EntryTable, key);
    };
    services.insertEntry = [&store](const QString& key) { InsertDayEntry(store.EntryTable, key); };
    services.markMonthDay = [&store](const QString& key) { store.MarkMonthDay(key); };
}

void UseProgramState(CalendarServices& services) {
    services.colors = [] {
        return CalendarColors{HighlightColor, BackgroundColor, BackgroundFontColor};
    };
    services.appFolder = [] { return AppFolder; };
    services.calendarDate = [] { return CalendarDate; };
    services.setCalendarDate = [](const QDate& date) { CalendarDate = date; };
}

}  // namespace qb
