#pragma once
// A heavy diary for the benchmarks: ten years of days with enciphered RTF, every day marked in
// its month, and a set of documents, written straight into an empty diary file.

#include <QString>

#include <cstddef>
#include <string>
#include <vector>

class TQbBlowfish;

namespace bench {

constexpr int Days = 3650;
constexpr int Documents = 150;
constexpr std::size_t RtfSize = 4096;

// An RTF text of exactly size bytes made of diary words and paragraphs.
std::string RtfOfSize(std::size_t size, unsigned seed);

// Fills the empty diary at path (days from 1 January 2015 on, enciphered with cipher) and
// returns the day keys in order.
std::vector<QString> FillTenYearDiary(const std::string& path, TQbBlowfish& cipher);

}  // namespace bench
