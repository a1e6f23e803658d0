#pragma once
// The search window: finds every day entry, document and picture file name that holds all of the
// search terms and lists, for entries and documents, one row per paragraph that holds a term,
// with an excerpt. A row opens its day or document in the main window.
//
// The walk itself is qb::search::Searcher's. It runs on the user-interface thread; whenever it asks
// whether to go on, the window lets messages through, so that Stop works. The window reaches the
// main window only through the seams below, which the program fills once both windows exist.

#include <QAbstractTableModel>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <vector>

#include "platform/ui/LazyWindow.h"
#include "platform/ui/LongWork.h"
#include "tools/Searcher.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTreeView;

namespace qb {
class TRichEdit;
}

// The rows of the results list: Location (hidden), Type, Entry, Excerpt.
class TSearchResults : public QAbstractTableModel {
    Q_OBJECT

  public:
    struct Row {
        QString location;
        QString type;
        QString entry;
        QString excerpt;
    };

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void append(Row row);
    void clear();
    const Row& row(int index) const { return rows_[std::size_t(index)]; }
    int count() const { return int(rows_.size()); }

  private:
    std::vector<Row> rows_;
};

class TSearchForm : public QWidget, private qb::search::SearchObserver {
    Q_OBJECT

  public:
    explicit TSearchForm(QWidget* parent = nullptr);
    ~TSearchForm() override;

    QLineEdit* SearchEdit = nullptr;
    QRadioButton* Days30RadioButton = nullptr;
    QRadioButton* Days90RadioButton = nullptr;
    QRadioButton* Days365RadioButton = nullptr;
    QRadioButton* AllEntriesRadioButton = nullptr;
    QCheckBox* EntriesCheckBox = nullptr;
    QCheckBox* OtherDocsCheckBox = nullptr;
    QCheckBox* PicturesCheckBox = nullptr;
    QCheckBox* SetFocusCheckBox = nullptr;
    QPushButton* StartButton = nullptr;
    QPushButton* StopButton = nullptr;
    QTreeView* ListView = nullptr;
    TSearchResults* Results = nullptr;
    QLabel* SearchResultLabel = nullptr;
    QStatusBar* StatusBar = nullptr;
    QLabel* StatusPanel0 = nullptr;
    QLabel* StatusPanel1 = nullptr;
    QProgressBar* ProgressBar = nullptr;

    // The main window's page routines (nothing happens while one is missing).
    std::function<void(const QString& key)> ShowDay;
    std::function<void(const QString& name)> ShowDocument;
    std::function<qb::TRichEdit*()> CurrentRichEdit;
    // Shows a picture by its full path (a row of Type "Picture").
    std::function<void(const QString& path)> ShowPicture;

    void FormCreate();
    void FormResize();
    // Runs one search; a click while a search runs does nothing.
    void StartButtonClick();
    void StopButtonClick();
    void OpenSelectedResult();
    void ListViewClick();
    void ListViewKeyDown(int key);

    bool Searching() const { return work_.running(); }
    // Records of the last search whose text could not be deciphered or read.
    int UnreadableCount() const { return unreadable_; }

    void setVisible(bool visible) override;

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildLayout();
    QWidget* titleStrip(const QString& caption);
    int keyBound() const;
    // What the walk of a search needs, from the window's choices and the program's diary.
    qb::search::SearchOptions searchOptions() const;
    void showCount();
    void step();
    void showProgress();

    // What the walk tells the window, and its question whether to go on.
    void recordsCounted(int records) override;
    void recordRead() override;
    void sectionDone() override;
    void documentReached(int recordNumber) override;
    void pictureReached(const QString& folder, const QString& name) override;
    void hitsFound(const std::vector<qb::search::Hit>& hits) override;
    bool goOn() override;
    bool stopRequested() override;

    // Messages go through ten times a second: each pass repaints the window, which costs more
    // than the search between two passes would at a higher rate.
    qb::LongWork work_{100};
    qb::LongWork::Run* run_ = nullptr;  // the running search's, while it runs
    int unreadable_ = 0;
    int progress_ = 0;
    QElapsedTimer progressShown_;
    QElapsedTimer statusShown_;
    bool shown_ = false;          // centred on the screen at its first showing only
    bool listReleasing_ = false;  // the list's own handling of a click's release is running
};

// Made at its first use (the program hands it a maker).
extern qb::LazyWindow<TSearchForm> SearchForm;
