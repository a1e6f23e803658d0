#pragma once
// The search walk without a window: the day entries of a period, the documents and the picture
// names, read through cursors of the walk's own, each record's text deciphered, laid out into
// paragraphs and matched against the terms. What it finds, how far it is and where it stands go
// to an observer (the search window), which also says when the walk is to stop.

#include <QString>
#include <QStringList>

#include <string>
#include <vector>

class TQbBlowfish;

namespace qb::db {
class Connection;
}

namespace qb::search {

class RecordText;

enum class HitKind { Entry, Document, Picture };

// One result row.
struct Hit {
    HitKind kind = HitKind::Entry;
    // The day key, the document name or the picture file's full path.
    QString key;
    // The day's date text, the document name or the picture's file name.
    QString title;
    // The paragraph's text around the term; empty for a picture.
    QString excerpt;
    // The paragraph of the record the excerpt comes from; -1 for a picture.
    int paragraph = -1;
};

class SearchObserver {
  public:
    virtual ~SearchObserver() = default;
    // The number of records the walk reads: the entries and the documents searched (pictures
    // do not count), told once before the walk.
    virtual void recordsCounted(int records) = 0;
    // One more entry or document read, or passed over below the period.
    virtual void recordRead() = 0;
    // The entries or the documents are done.
    virtual void sectionDone() = 0;
    // The walk reaches the document of this record number (1 for the first).
    virtual void documentReached(int recordNumber) = 0;
    // The walk reaches this picture folder entry (folder and name).
    virtual void pictureReached(const QString& folder, const QString& name) = 0;
    // The rows of one record, term by term, each term's rows in paragraph order; never empty.
    virtual void hitsFound(const std::vector<Hit>& hits) = 0;
    // Called between records and picture entries: false when the walk is to stop. The window
    // lets its messages through here.
    virtual bool goOn() = 0;
    // True once a stop was asked for, without letting anything through.
    virtual bool stopRequested() = 0;
};

struct SearchOptions {
    // The diary's connection; none: no entries or documents are read.
    qb::db::Connection* connection = nullptr;
    TQbBlowfish* cipher = nullptr;
    // The picture folder tree ("Pictures" in the program folder).
    QString pictureFolder;
    bool entries = true;
    bool documents = true;
    bool pictures = true;
    // Entries whose key as a number is below this are passed over (0: all).
    int keyBound = 0;
    // The terms as qb::search::SearchTermsOf gives them.
    QStringList terms;
};

class Searcher {
  public:
    Searcher(SearchOptions options, SearchObserver& observer);

    // Walks every kind asked for, in order. Database errors reach the caller; a record whose
    // text cannot be deciphered or whose key names no day is skipped and counted.
    void run();

    // Records of this walk that could not be read.
    int unreadableCount() const { return unreadable_; }

  private:
    void searchEntries(qb::db::Connection& connection);
    void searchDocuments(qb::db::Connection& connection);
    void searchPictures();
    // False once the walk is to stop.
    bool SearchPictureFolder(const QString& folder);
    // The title of a record's rows, from its key: made only for a record that may match.
    using TitleOf = QString (*)(const QString& key);
    void searchRecord(const std::string& stored, HitKind kind, const QString& key, TitleOf titleOf);
    void MatchAllTerms(HitKind kind, const QString& key, const QString& title,
                       const RecordText& text);
    void AddExcerpts(HitKind kind, const QString& key, const QString& title,
                     const RecordText& text);
    void MatchPictureName(const QString& folder, const QString& name);

    SearchOptions options_;
    SearchObserver& observer_;
    int unreadable_ = 0;
    // The text of the record being read, when it can be followed without the parse; kept for
    // its buffer.
    std::string asciiText_;
};

}  // namespace qb::search
