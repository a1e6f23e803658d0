#include "editors/DayEditorUnit.h"

#include "editors/EditorStore.h"
#include "pages/CalendarProgram.h"
#include "program/ProgramState.h"
#include "program/StaticUnit.h"
#include "store/DatabaseUnit.h"

namespace {

constexpr char kKeyField[] = "sYYYYMMDD";

}  // namespace

TDayEditorFrame::TDayEditorFrame(QWidget* parent, qb::EditorServices services)
    : TBaseEditorFrame(parent, std::move(services)) {}

QString TDayEditorFrame::DayPictureFolder(const QString& key) {
    return DayPictureFolderIn(AppFolder + QStringLiteral("Pictures/"), key);
}

bool TDayEditorFrame::LoadEntry(const QString& key, const std::string& text) {
    DateKey = key;
    if (!LoadText(text)) {
        return false;
    }
    InitializeEditor();
    StartThumbnails(DayPictureFolder(key));
    return true;
}

TBaseEditorFrame::SaveResult TDayEditorFrame::SavePage() {
    qb::db::Table* table = DataModule1 ? &DataModule1->EntryTable : nullptr;
    return SaveText(table, kKeyField, DateKey);
}

bool TDayEditorFrame::SaveEntry() {
    return SavePage() == SaveResult::Written;
}

void TDayEditorFrame::SaveEntryWithStatus() {
    if (SaveEntry()) {
        AfterSave();
    }
}

void TDayEditorFrame::DeleteEntry() {
    TDataModule1& store = qb::editorStore();
    // The pending messages let through below may close this page and free the frame (a
    // queued Close Tab, a step timer): from there on only copies are used.
    const QString key = DateKey;
    const qb::EditorServices services = services_;
    if (store.EntryTable.Locate(kKeyField, key.toStdString())) {
        store.EntryTable.Delete();
        services.processEvents();
        GetMonthDays(store.MonthLookupTable, key.left(6));
        // GetMonthDays stops on the month's row, or runs off the end when there is none.
        if (!store.MonthLookupTable.Eof()) {
            qb::db::Field days = store.MonthLookupTable.FieldByName("Days");
            QString text = days.AsQString();
            // Items are two digits between separators: no other item can hold the day's digits.
            text.remove(key.mid(6, 2));
            store.MonthLookupTable.Edit();
            days.SetAsQString(text);
            store.MonthLookupTable.Post();
        }
    }
    // AfterDelete's notice, through the copy.
    services.showStatus(QStringLiteral("Entry was Deleted."));
    services.refreshCalendars();
}

void TDayEditorFrame::stepTo(bool forward) {
    qb::db::Table& table = qb::editorStore().EntryTable;
    table.Locate(kKeyField, DateKey.toStdString());
    if (forward) {
        table.Next();
    } else {
        table.Prior();
    }
    const QString key = table.FieldByName(kKeyField).AsQString();
    if (services_.stepToDay) {
        services_.stepToDay(PageId(), key);
    }
}

void TDayEditorFrame::PreviousImageMouseUp() {
    TBaseEditorFrame::PreviousImageMouseUp();
    stepTo(false);
}

void TDayEditorFrame::NextImageMouseUp() {
    TBaseEditorFrame::NextImageMouseUp();
    stepTo(true);
}
