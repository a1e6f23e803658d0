#include "store/DayRows.h"

#include <stdexcept>

#include "platform/db/Table.h"

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

}  // namespace qb
