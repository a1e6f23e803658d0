#pragma once
// The editing surface of every page: a title strip, the rich-text editor, the picture thumbnail
// strip, the undo counters panel and a small tool bar with the modified mark and the previous,
// next, refresh and explore buttons. The frame keeps the text, the modified flag, the page's
// picture folder and its own undo history; it knows nothing of the database. The two kinds of
// page (TDayEditorFrame, TDocumentEditorFrame) add the key and the row operations.

#include "editors/EditorServices.h"

#include <QBuffer>
#include <QByteArray>
#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class QFrame;
class QLabel;
class QScrollArea;

namespace qb {
class ImageControl;
class PaintBox;
class TRichEdit;
class Timer;
namespace db {
class Table;
}
}  // namespace qb

// One slot of the undo history: the page's whole RTF text and its selection.
struct TUndoSnapshot {
    QByteArray Stream;
    std::int32_t SelStart = 0;
    std::int32_t SelLength = 0;
    bool Used = false;
};

class TBaseEditorFrame : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool fbIsModified READ IsModified WRITE SetIsModified)
    Q_PROPERTY(QString fsPictureFolder READ PictureFolder WRITE SetPictureFolder)
    Q_PROPERTY(int iIdxUndo MEMBER iIdxUndo)
    Q_PROPERTY(int iMaxUndo MEMBER iMaxUndo)

  public:
    static constexpr int MaxUndoIndex = 200;

    // The largest text a page opens: its RTF in bytes and its length in characters. A larger
    // text is refused when the page is opened, with a box, and stays in its row as it is.
    // Typing and paste keep a page within the same limits, so that whatever a page saves opens
    // again. Frames made from now on take them (tests set smaller ones).
    struct TextLimits {
        qsizetype bytes;
        int characters;
    };
    static constexpr TextLimits DefaultTextLimits{qsizetype(64) << 20, 2000000};
    static TextLimits Limits;

    explicit TBaseEditorFrame(QWidget* parent = nullptr,
                              qb::EditorServices services = qb::DefaultEditorServices());
    ~TBaseEditorFrame() override;

    // --- Components the other windows reach ---
    QWidget* TitlePanel = nullptr;
    qb::PaintBox* DocPanelPaintBox = nullptr;
    QLabel* TitleLabel = nullptr;
    QWidget* RichEditBorder = nullptr;
    qb::TRichEdit* RichEdit = nullptr;
    QWidget* ThumbnailPanel = nullptr;
    QScrollArea* ThumbnailScrollBox = nullptr;
    QWidget* UndoPanel = nullptr;
    qb::PaintBox* PaintBox1 = nullptr;
    QLabel* CanTrackUndoLabel = nullptr;
    QLabel* IdxUndoLabel = nullptr;
    QLabel* MaxUndoLabel = nullptr;
    QLabel* MinUndoLabel = nullptr;
    QLabel* LengthLabel = nullptr;
    QLabel* TickCountLabel = nullptr;
    QWidget* ModifyToolbarPanel = nullptr;
    QFrame* ModifyBevel = nullptr;
    QLabel* ModifiedLabel = nullptr;
    QWidget* NextPrevPanel = nullptr;
    qb::ImageControl* PreviousImage = nullptr;
    qb::ImageControl* NextImage = nullptr;
    qb::ImageControl* ExploreImage = nullptr;
    qb::ImageControl* RefreshImage = nullptr;
    qb::Timer* RichEditStateTimer = nullptr;
    qb::Timer* ThumbnailTimer = nullptr;
    qb::Timer* LoadThumbnailTimer = nullptr;

    // --- Undo history ---
    bool CanTrackUndo = false;
    std::uint32_t LastSelChangeTick = 0;
    std::array<TUndoSnapshot, MaxUndoIndex + 1> UndoHistory{};
    int iIdxUndo = 0;
    int iMaxUndo = 0;
    int iMinUndo = 0;

    // The JPEG data of the picture being made into a thumbnail; made by InitializeEditor.
    std::unique_ptr<QBuffer> ThumbnailStream;

    // --- The page ---
    // Prepares a freshly loaded frame; called once, after the text is in RichEdit.
    void InitializeEditor();
    bool IsModified() const { return fbIsModified; }
    void SetIsModified(bool modified);
    const QString& PictureFolder() const { return fsPictureFolder; }
    void SetPictureFolder(const QString& folder) { fsPictureFolder = folder; }
    // The id of the page that holds the frame (the tag of its page panel); 0 when none does.
    int PageId() const;
    void AfterSave();
    void AfterDelete();

    // The closing save of a tab: the silent save. False only when the save failed, so that the
    // page can stay open with its text instead of losing it.
    Q_INVOKABLE bool SaveOnClose();
    // The closing save at program exit: the silent save, and when that fails the text is
    // written to a file named after the page: beside the database, else in the user's home
    // folder, else in the runtime folder; a box says where. False when the text could be kept
    // nowhere: the box says so and the page stays open.
    Q_INVOKABLE bool SaveOnExit();
    // The file a failed exit save writes the page's text to in the program folder.
    QString RescueFilePath() const;
    // The same in another folder (ending in "/").
    QString RescueFilePath(const QString& folder) const;

    // --- Undo history ---
    void RichEditSelectionChange();
    void RichEditStateTimerTimer();
    void TakeUndoSnapshot();
    void SetIdxUndo(int n, bool isRedo);
    void SetMaxUndo(int n);
    void ResetUndo();
    void FreeUndoSnapshots();
    void SetCanTrackUndo(bool on);
    void Undo();
    void Redo();
    // The number of reachable snapshots a text of length characters keeps at most.
    static int UndoBudget(int length);

    // --- Thumbnail strip ---
    // Files from this many bytes up are decoded at a reduced size.
    static constexpr qint64 ThumbnailThreshold = 8000;
    // The panels are this far apart.
    static constexpr int ThumbnailPanelWidth = 90;

    void ThumbnailTimerTimer();
    void BuildThumbnails();
    void ClearThumbnails();
    void LoadThumbnailTimerTimer();
    // Decodes one picture into the image and marks its panel done, whatever happens: a picture
    // that cannot be read shows a placeholder and says why in its tool tip.
    void LoadThumbnail(const QString& path, qb::ImageControl* image);
    // Fills ThumbnailStream with the picture as JPEG data; the reason when it could not.
    QString LoadPictureAsJpegStream(const QString& path);
    void FrameResize();
    void ThumbnailTemplatePanelOnEnter(QWidget* panel, Qt::FocusReason reason);
    void ThumbnailTemplatePanelOnExit(QWidget* panel);
    void ThumbnailTemplatePanelOnClick(QWidget* panel);
    void ThumbnailTemplateImageOnClick(qb::ImageControl* image);
    // The thumbnail panels in strip order.
    QList<QWidget*> ThumbnailPanels() const;

    // --- Handlers ---
    void RichEditChange();
    void RichEditKeyDown(int& key, Qt::KeyboardModifiers shift);
    void DocPanelPaintBoxPaint(qb::PaintBox& sender, QPainter& canvas);
    void TabSelectPaintBoxPaint(qb::PaintBox& sender, QPainter& canvas);
    void ImageMouseDown(qb::ImageControl* sender);
    void ImageMouseUp(qb::ImageControl* sender);
    void RefreshImageClick();
    void ExploreImageClick();

    // The frame's own Visible flag: set unless the frame was hidden on purpose, whether or not
    // its window is on the screen yet.
    bool VisibleFlag() const;

  protected:
    enum class SaveResult { NotWritten, Written, Failed };

    // The page's text as one undo snapshot holds it (its RTF); may throw when memory runs out.
    virtual QByteArray UndoSnapshotText() const;

    // The page kinds' own steps for the buttons and the saves.
    virtual void PreviousImageMouseUp();
    virtual void NextImageMouseUp();
    virtual SaveResult SavePage() { return SaveResult::NotWritten; }
    // The name of the page for its rescue file, without extension.
    virtual QString PageFileName() const { return QStringLiteral("Page"); }

    // The silent save of the page's text into the located row of table (Save Error on failure).
    SaveResult SaveText(qb::db::Table* table, const char* keyField, const QString& key);
    // Loads the stored RTF text into RichEdit; false, after the "Open Error" box, when the text
    // is beyond Limits (RichEdit is then left empty).
    bool LoadText(const std::string& text);
    // After the load: the picture folder, and the strip now or never.
    void StartThumbnails(const QString& folder);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    qb::EditorServices services_;

  private:
    void buildLayout();
    void buildTitlePanel();
    void buildEditor();
    void buildThumbnailPanel();
    void buildUndoPanel();
    void buildToolbar();
    qb::ImageControl* makeImage(const char* name, int left, int top, const QString& hint);
    void layoutTitlePanel();
    void layoutUndoPanel();
    void layoutToolbar();
    void layoutThumbnails();
    QWidget* makeThumbnail(const QString& name, int index);
    // Cuts a thumbnail's handlers off this frame, which goes: the panel loses the focus while
    // Qt takes the frame's children down.
    static void detachThumbnail(QWidget* panel);
    void restoreSnapshot(int index);
    void releaseSlot(int index);
    bool restoringUndo_ = false;
    // The RTF text that the editor shows as it is, when it is at hand without a write: the text
    // just loaded or just saved. It is dropped at the first change and at the next snapshot.
    QByteArray shownText_;
    bool shownTextKnown_ = false;

    bool fbIsModified = false;
    QString fsPictureFolder;
};
