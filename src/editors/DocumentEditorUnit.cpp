#include "editors/DocumentEditorUnit.h"

#include "editors/EditorStore.h"
#include "program/ProgramState.h"
#include "program/StaticUnit.h"
#include "store/DatabaseUnit.h"

namespace {

constexpr char kKeyField[] = "Name";

}  // namespace

TDocumentEditorFrame::TDocumentEditorFrame(QWidget* parent, qb::EditorServices services)
    : TBaseEditorFrame(parent, std::move(services)) {}

QString TDocumentEditorFrame::DocumentPictureFolder(const QString& name) {
    return DocumentPictureFolderIn(AppFolder + QStringLiteral("Pictures/"), name);
}

bool TDocumentEditorFrame::LoadDocument(const QString& name, const std::string& text) {
    DocumentName = name;
    if (!LoadText(text)) {
        return false;
    }
    InitializeEditor();
    StartThumbnails(DocumentPictureFolder(name));
    return true;
}

TBaseEditorFrame::SaveResult TDocumentEditorFrame::SavePage() {
    qb::db::Table* table = DataModule1 ? &DataModule1->OtherDocTable : nullptr;
    return SaveText(table, kKeyField, DocumentName);
}

bool TDocumentEditorFrame::SaveDocument() {
    return SavePage() == SaveResult::Written;
}

void TDocumentEditorFrame::SaveDocumentWithStatus() {
    if (SaveDocument()) {
        AfterSave();
    }
}

void TDocumentEditorFrame::DeleteDocument() {
    qb::db::Table& table = qb::editorStore().OtherDocTable;
    if (table.Locate(kKeyField, DocumentName.toStdString())) {
        table.Delete();
        services_.refreshDocumentList();
    }
    AfterDelete();
}

void TDocumentEditorFrame::stepTo(bool forward) {
    qb::db::Table& table = qb::editorStore().OtherDocTable;
    table.Locate(kKeyField, DocumentName.toStdString());
    if (forward) {
        table.Next();
    } else {
        table.Prior();
    }
    const QString name = table.FieldByName(kKeyField).AsQString();
    if (services_.stepToDocument) {
        services_.stepToDocument(PageId(), name);
    }
}

void TDocumentEditorFrame::PreviousImageMouseUp() {
    TBaseEditorFrame::PreviousImageMouseUp();
    stepTo(false);
}

void TDocumentEditorFrame::NextImageMouseUp() {
    TBaseEditorFrame::NextImageMouseUp();
    stepTo(true);
}
