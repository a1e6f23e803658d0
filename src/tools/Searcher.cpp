#include "tools/Searcher.h"

#include <QByteArray>

#include <optional>
#include <utility>

#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/Table.h"
#include "platform/files/Files.h"
#include "platform/rtf/Rtf.h"
#include "program/StaticUnit.h"
#include "tools/SearchTerms.h"

namespace qb::search {

namespace {

// The walk's own cursor over one table, in the table's sort order.
class SearchCursor {
  public:
    SearchCursor(qb::db::Connection& connection, const char* table, const char* sort)
        : table_(connection, table) {
        table_.SetSort(sort);
        // Every text is read: a few hundred a statement, each statement done before the walk
        // lets messages through, so a page saved meanwhile never waits for the search.
        table_.SetReadAhead(qb::db::kWalkReadAhead);
        table_.Open();
    }
    qb::db::Table* operator->() { return &table_; }

  private:
    qb::db::Table table_;
};

// A document's title is its name.
QString documentTitle(const QString& name) {
    return name;
}

}  // namespace

Searcher::Searcher(SearchOptions options, SearchObserver& observer)
    : options_(std::move(options)), observer_(observer) {}

void Searcher::run() {
    int total = 0;
    std::optional<SearchCursor> entries;
    std::optional<SearchCursor> documents;
    if (options_.connection && options_.entries) {
        entries.emplace(*options_.connection, "Entry", "sYYYYMMDD");
        total += (*entries)->RecordCount();
    }
    if (options_.connection && options_.documents) {
        documents.emplace(*options_.connection, "OtherDocs", "Name");
        total += (*documents)->RecordCount();
    }
    observer_.recordsCounted(total);

    if (entries) {
        for ((*entries)->First(); !(*entries)->Eof(); (*entries)->Next()) {
            observer_.recordRead();
            const QString key = (*entries)->FieldByName("sYYYYMMDD").AsQString();
            if (key.toInt() < options_.keyBound) {
                continue;
            }
            if (!observer_.goOn()) {
                break;
            }
            try {
                DateKeyToDate(key);
            } catch (const EConvertError&) {
                // A row whose key names no day: no page can show it.
                ++unreadable_;
                continue;
            }
            searchRecord((*entries)->FieldByName("Entry").AsString(), HitKind::Entry, key,
                         DateKeyToLongText);
        }
    }
    observer_.sectionDone();
    if (documents && !observer_.stopRequested()) {
        for ((*documents)->First(); !(*documents)->Eof(); (*documents)->Next()) {
            if (!observer_.goOn()) {
                break;
            }
            observer_.documentReached((*documents)->RecNo());
            observer_.recordRead();
            const QString name = (*documents)->FieldByName("Name").AsQString();
            searchRecord((*documents)->FieldByName("Entry").AsString(), HitKind::Document, name,
                         documentTitle);
        }
    }
    observer_.sectionDone();
    if (options_.pictures && !observer_.stopRequested()) {
        searchPictures();
    }
}

void Searcher::searchRecord(const std::string& stored, HitKind kind, const QString& key,
                            TitleOf titleOf) {
    std::string rtf;
    try {
        rtf = options_.cipher ? DecodeEntryText(stored, *options_.cipher) : DecodeEntryText(stored);
    } catch (const qb::db::Error&) {
        throw;
    } catch (const std::exception&) {
        // Text that cannot be deciphered: this record is skipped, the search goes on.
        ++unreadable_;
        return;
    }
    if (!IsPlainRtf(rtf)) {
        // Deciphered into something that is no RTF: the key does not fit this text.
        ++unreadable_;
        return;
    }
    const QByteArray bytes = QByteArray::fromRawData(rtf.data(), qsizetype(rtf.size()));
    // A text whose characters are its own bytes and lacks one that a term needs cannot match:
    // most texts of a search for a word, passed over without reading their RTF. The bytes are
    // looked at first, the quicker test.
    if (!BytesMayHoldAll(bytes, options_.terms) && qb::rtf::asciiTextIsInBytes(bytes)) {
        return;
    }
    // Most of the rest are ruled out by their text followed without the parse; any that might
    // match is read in full, so that hits and excerpts are those of its paragraphs.
    if (qb::rtf::asciiTextWithoutParse(bytes, asciiText_) &&
        !AsciiTextMayMatchAll(asciiText_, options_.terms)) {
        return;
    }
    const RecordText text(qb::rtf::paragraphs(bytes));
    MatchAllTerms(kind, key, titleOf(key), text);
}

void Searcher::MatchAllTerms(HitKind kind, const QString& key, const QString& title,
                             const RecordText& text) {
    if (text.matchesAll(options_.terms)) {
        AddExcerpts(kind, key, title, text);
    }
}

void Searcher::AddExcerpts(HitKind kind, const QString& key, const QString& title,
                           const RecordText& text) {
    const std::vector<Excerpt> excerpts = ExcerptsOf(text, options_.terms);
    if (excerpts.empty()) {
        return;
    }
    std::vector<Hit> hits;
    hits.reserve(excerpts.size());
    for (const Excerpt& excerpt : excerpts) {
        hits.push_back({kind, key, title, excerpt.text, excerpt.paragraph});
    }
    observer_.hitsFound(hits);
}

void Searcher::searchPictures() {
    // Files lying directly in the picture folder belong to no day or document.
    for (const QString& folder : qb::listFolders(options_.pictureFolder)) {
        if (!observer_.goOn() || !SearchPictureFolder(folder)) {
            return;
        }
    }
}

bool Searcher::SearchPictureFolder(const QString& folder) {
    bool goOn = true;
    qb::walkFiles(folder, [&](const qb::FileEntry& file) {
        const QString in = file.path.left(file.path.size() - file.name.size());
        observer_.pictureReached(in, file.name);
        MatchPictureName(in, file.name);
        goOn = observer_.goOn();
        return goOn;
    });
    return goOn;
}

void Searcher::MatchPictureName(const QString& folder, const QString& name) {
    const QString extension = FileExtension(name);
    if (extension != QLatin1String("jpg") && extension != QLatin1String("jpeg") &&
        extension != QLatin1String("bmp")) {
        return;
    }
    if (!PictureNameMatches(name, options_.terms)) {
        return;
    }
    observer_.hitsFound({{HitKind::Picture, folder + name, name, QString(), -1}});
}

}  // namespace qb::search
