#pragma once
// A heavy diary for the benchmarks: ten years of days with enciphered RTF, every day marked in
// its month, and a set of documents, written straight into an empty diary file.

#include "cipher/QbClass.h"

#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <string>
#include <vector>

namespace bench {

constexpr int Days = 3650;
constexpr int Documents = 150;
constexpr std::size_t RtfSize = 4096;

// An RTF text of exactly size bytes made of diary words and paragraphs.
std::string RtfOfSize(std::size_t size, unsigned seed);

// An RTF text of prose as a diary holds it, of at most size bytes, ending at a whole paragraph:
// sentences of varied words and lengths, a word in bold or italics now and then, paragraphs of
// one line to many.
std::string ProseRtf(std::size_t size, unsigned seed);

// Puts text, as it is, into the stored Entry of the day key of the diary at database, past the
// program's own routines. Raises when it cannot.
void StoreDayText(const std::string& database, const QString& key, const std::string& text);

// Fills the empty diary at path (days from 1 January 2015 on, prose of about RtfSize bytes each,
// enciphered with cipher) and returns the day keys in order.
std::vector<QString> FillTenYearDiary(const std::string& path, TQbBlowfish& cipher);

// A fresh ten-year diary in a scratch folder named after the benchmark, below `parent` (the
// temporary folder when empty): the file made and filled, its cipher keyed with the program's
// key and installed as the program's EntryCipher. Raises when the folder cannot be made.
class ScratchDiary {
  private:
    QTemporaryDir scratch_;  // first: every other member lives inside it

  public:
    ScratchDiary(const QString& benchName, const QString& parent);
    ScratchDiary(const ScratchDiary&) = delete;
    ScratchDiary& operator=(const ScratchDiary&) = delete;

    QString path() const { return scratch_.path(); }

    QString folder;        // with its trailing "/"
    std::string database;  // the diary file in it
    TQbBlowfish cipher;
    std::vector<QString> keys;  // the day keys in order
};

}  // namespace bench
