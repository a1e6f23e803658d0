#pragma once
// The picture viewer: a list of every picture of the diary's folder tree, one picture at actual
// size (centred, dragged to scroll) or shrunk to fit, a slide show, and rename, delete and save
// as of the picture shown. One window lives from start-up to the end of the program, with a
// task-bar button of its own.
//
// Rename, Delete and Save As act only on the picture shown, and only while it is the selected
// row's file: a picture shown from elsewhere (an import's source folder), or a list that changed
// meanwhile, must never lead them to another file.

#include "platform/ui/LazyWindow.h"
#include "platform/ui/LongWork.h"
#include "tools/PictureList.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <functional>

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QScrollArea;
class QSplitter;
class QTreeView;

namespace qb {
class ImageControl;
class PaintBox;
class Timer;
}  // namespace qb

// The picture on screen: its own size at actual size, or the scroll box's client area when
// shrunk to fit (a larger picture then drawn scaled down, keeping its aspect ratio). Mouse
// presses, moves with a button held and releases go to the viewer's drag-scroll.
class PictureImage : public QWidget {
    Q_OBJECT

  public:
    explicit PictureImage(QWidget* parent = nullptr);

    void setPicture(const QImage& picture);
    const QPixmap& picture() const { return picture_; }
    void setShrinkToFit(bool on);
    bool shrinkToFit() const { return shrink_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return {0, 0}; }

    std::function<void(QPoint globalPos)> onMouseDown;
    std::function<void(QPoint globalPos)> onMouseMove;
    std::function<void()> onMouseUp;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QPixmap picture_;
    QPixmap scaled_;  // the shrunk picture for the current size
    bool shrink_ = false;
};

// The one-panel status bar with the slide show's start and stop icons on its left.
class SlideStatusBar : public QWidget {
    Q_OBJECT

  public:
    explicit SlideStatusBar(QWidget* parent = nullptr);

    QString text() const { return text_; }
    void setText(const QString& text);

    std::function<void(QPoint pos)> onMouseDown;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    QString text_;
};

class TPictureForm : public QWidget {
    Q_OBJECT

  public:
    explicit TPictureForm(QWidget* parent = nullptr);
    ~TPictureForm() override;

    // Shows the picture file at that full path (it need not lie below Pictures) and brings the
    // window up; selects the list row of exactly that file, if there is one.
    void ShowPicture(const QString& path);
    // Shows the window, out of the minimised state too, in front of the others. It takes the
    // keyboard when asked to or when it was away; a picture shown while the user works elsewhere
    // does not take it.
    void BringUp(bool activate);
    // Rebuilds the list from the folders, letting messages through. Asked for again while it
    // runs, the running walk starts over, so the list holds each picture once.
    void RefreshPictureList();

    // The slide show: "start" starts it, any other command stops it.
    void SlideShow(const QString& command);
    // A new interval from a text of seconds; a text that is no number stops the show and says so.
    void ApplySlideShowInterval(const QString& text);

    void SelectNext();
    void SelectPrevious();
    void SetActualSize();
    void SetShrinkToFit();
    void ToggleSideBar();
    void SetIntervalMenuItemClick();
    void RenamePictureFile();
    void DeleteMenuItemClick();
    void SaveAsMenuItemClick();
    // The picture shown is the selected row's file: the file commands may act on it.
    bool CanActOnPicture() const;

    // Drag-scroll of the picture (screen positions).
    void ImageMouseDown(QPoint globalPos);
    void ImageMouseMove(QPoint globalPos);
    void ImageMouseUp();
    // Puts a picture smaller than the view in its centre and a larger one at its top left.
    void CenterImage();

    const QString& picturePath() const { return PicturePath; }
    int slideShowInterval() const { return SlideShowInterval; }
    bool slideShowPlaying() const;
    int selectedRow() const;
    bool listRunning() const { return ListWork.running(); }

    // Components, named as the window's layout names them.
    QWidget* ListPanel = nullptr;
    QSplitter* Splitter = nullptr;
    QWidget* SearchPanelTitle2 = nullptr;
    qb::PaintBox* PaintBox1 = nullptr;
    QLabel* SearchResultLabel = nullptr;
    QLabel* PictureCountLabel = nullptr;
    QTreeView* PictureListView = nullptr;
    PictureListModel* PictureList = nullptr;
    QWidget* Panel5 = nullptr;
    qb::PaintBox* PaintBox2 = nullptr;
    QLabel* TitleLabel = nullptr;
    QScrollArea* ScrollBox = nullptr;
    PictureImage* Image = nullptr;
    SlideStatusBar* StatusBar = nullptr;
    qb::ImageControl* StartImage = nullptr;
    qb::ImageControl* StopImage = nullptr;
    qb::Timer* SlideShowTimer = nullptr;
    QMenu* ImagePopupMenu = nullptr;
    QAction* SideBarMenuItem = nullptr;
    QAction* SelectNextMenuItem = nullptr;
    QAction* SelectPreviousMenuItem = nullptr;
    QAction* ActualSizeMenuItem = nullptr;
    QAction* ShrinkToFitMenuItem = nullptr;
    QMenu* SlideShow1 = nullptr;
    QAction* Start1 = nullptr;
    QAction* Stop1 = nullptr;
    QAction* SetIntervalMenuItem = nullptr;
    QAction* RefreshList1 = nullptr;
    QAction* RenameMenuItem = nullptr;
    QAction* SaveAsMenuItem = nullptr;
    QAction* DeleteMenuItem = nullptr;

    void setVisible(bool visible) override;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void createComponents();
    void createMenu();
    void FormCreate();
    void PictureListViewSelectItem();
    void ImagePopupMenuPopup();
    void StatusBarMouseDown(QPoint pos);
    void selectRow(int row);
    void selectRowQuietly(int row);
    void showLoaded(const QString& path);
    void setPlayingText();
    bool scanPictures(qb::LongWork::Run& run);
    // Lists the pictures of one folder of the tree and of its sub-folders, depth first, through
    // list; goOn runs before each file and ends the walk with false. False when it was ended.
    bool ScanPictureFolder(const QString& folder, const std::function<bool()>& goOn,
                           const std::function<void(const QString& path)>& list);
    QString picturesFolder() const;

    QString PicturePath;
    int SlideShowInterval = 4000;
    bool Dragging = false;
    int DragLastX = 0;
    int DragLastY = 0;
    bool RespondToSelect = true;

    qb::LongWork ListWork;
    bool refreshAgain_ = false;    // a refresh was asked for while the walk ran
    bool listIncomplete_ = false;  // the last walk was stopped by the window's close
};

// Made at its first use (the program hands it a maker).
extern qb::LazyWindow<TPictureForm> PictureForm;
