#include "pages/CalendarProgram.h"

#include "program/ProgramState.h"
#include "platform/db/Table.h"
#include "store/DatabaseUnit.h"

#include <stdexcept>

QString GetMonthDays(qb::db::Table& monthLookupTable, const QString& monthKey) {
    monthLookupTable.First();
    while (!monthLookupTable.Eof()) {
        if (monthLookupTable.FieldByName("YearMonth").AsQString() == monthKey) {
            return monthLookupTable.FieldByName("Days").AsQString();
        }
        monthLookupTable.Next();
    }
    return QString();
}

namespace qb {

bool LocateDayEntry(db::Table& entryTable, const QString& key) {
    return entryTable.Locate("sYYYYMMDD", key.toStdString());
}

void InsertDayEntry(db::Table& entryTable, const QString& key) {
    bool isNumber = false;
    const int value = key.toInt(&isNumber);
    if (!isNumber) {
        throw std::invalid_argument(
            QStringLiteral("'%1' is not a valid integer value").arg(key).toStdString());
    }
    entryTable.Insert();
    entryTable.FieldByName("sYYYYMMDD").SetAsInteger(value);
    entryTable.Post();
}

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
