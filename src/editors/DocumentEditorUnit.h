#pragma once
// The page of one named document: its row in the OtherDocs table.

#include "editors/BaseEditorUnit.h"

#include <string>

class TDocumentEditorFrame : public TBaseEditorFrame {
    Q_OBJECT

  public:
    explicit TDocumentEditorFrame(QWidget* parent = nullptr,
                                  qb::EditorServices services = qb::DefaultEditorServices());

    // The Name of the page's row; set once by LoadDocument.
    QString DocumentName;

    // As LoadEntry, for a document.
    bool LoadDocument(const QString& name, const std::string& text);
    bool SaveDocument();
    void SaveDocumentWithStatus();
    // Deletes the document's row; the folder of its pictures stays on disk. Failures reach the
    // caller.
    void DeleteDocument();

    static QString DocumentPictureFolder(const QString& name);

  protected:
    void PreviousImageMouseUp() override;
    void NextImageMouseUp() override;
    SaveResult SavePage() override;
    QString PageFileName() const override { return DocumentName; }

  private:
    void stepTo(bool forward);
};
