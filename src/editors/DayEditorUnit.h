#pragma once
// The page of one day: the entry row of the day key in the Entry table.

#include "editors/BaseEditorUnit.h"

#include <string>

class TDayEditorFrame : public TBaseEditorFrame {
    Q_OBJECT

  public:
    explicit TDayEditorFrame(QWidget* parent = nullptr,
                             qb::EditorServices services = qb::DefaultEditorServices());

    // The day key "YYYYMMDD" of the page's row; set once by LoadEntry.
    QString DateKey;

    // Loads a new frame with the day's RTF text (already deciphered); false when the text is
    // too large for a page (Limits): the box has said so, and the frame is not to be placed.
    bool LoadEntry(const QString& key, const std::string& text);
    // The silent save; true when it wrote the text.
    bool SaveEntry();
    // The Save action: the save, and the notice with a fresh undo history when it wrote.
    void SaveEntryWithStatus();
    // Deletes the day's row and its mark in the month's day list; the folder of its pictures
    // stays on disk. Failures reach the caller.
    void DeleteEntry();

    // The picture folder of a day key, below the program folder.
    static QString DayPictureFolder(const QString& key);

  protected:
    void PreviousImageMouseUp() override;
    void NextImageMouseUp() override;
    SaveResult SavePage() override;
    QString PageFileName() const override { return DateKey; }

  private:
    void stepTo(bool forward);
};
