#pragma once
// Small routines that many windows share: the coding of stored page texts, day keys and the
// three date texts of a day, page ids, file-name routines and the command-line switch test.
//
// Day key: "YYYYMMDD" (the month key is its first six characters). Keys hold four-digit years,
// so only dates of the years 1000 to 9999 have keys; the routines reject any other.

#include <QDate>
#include <QString>
#include <QStringList>

#include <stdexcept>
#include <string>

class TQbBlowfish;

// A date that has no key, or a key that names no date.
class EConvertError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// True for the empty text and a text beginning with "{\rtf" (case matters): plain RTF.
bool IsPlainRtf(const std::string& text);
// The RTF text of a stored text: the empty text and a text beginning with "{\rtf" (case
// matters) are plain RTF and come back as they are; any other is deciphered with EntryCipher,
// whose errors reach the caller.
std::string DecodeEntryText(const std::string& text);
// The same with the given cipher in place of EntryCipher.
std::string DecodeEntryText(const std::string& text, TQbBlowfish& cipher);
// The stored form of an RTF text: always the cipher text of EntryCipher.
std::string EncodeEntryText(const std::string& text);

// The next page id from PageCounter: "1", "2", ...
QString NextPageId();

// The day key of a date. Raises EConvertError for an invalid date or a year outside 1000-9999.
QString DateToKey(const QDate& date);
// The calendar date of a day key. Raises EConvertError when the key is not eight digits or
// names no date (a month above 12, 30 February).
QDate DateKeyToDate(const QString& key);

// "March  5, 2005 - Saturday": the day's page title and tab caption.
QString DateKeyToTitle(const QString& key);
// "Saturday - March  5, 2005": search results.
QString DateKeyToLongText(const QString& key);
// "March  5, 2005": export file names.
QString DateKeyToText(const QString& key);

// The text after the last "." of the name, in lower case; "" when there is none or the name
// ends with the dot. Only the last path component counts: a dot in a folder name is no
// extension.
QString FileExtension(const QString& fileName);
// The name up to, not including, its last "."; the whole name when it has none (dots in folder
// names do not count).
QString StripExtension(const QString& fileName);

// The picture folders in a picture tree ("Pictures/" in the program folder, with its trailing
// "/"), each with its trailing "/": a day's "YYYY/MM/DD/" from its key, a document's
// "OtherDocs/<name>/".
QString DayPictureFolderIn(const QString& pictureTree, const QString& key);
QString DocumentPictureFolderIn(const QString& pictureTree, const QString& name);

// Removes the folder when it holds no entry at all (hidden files and sub-folders count).
// Never reports anything; a link is never followed or removed.
void RemoveFolderIfEmpty(const QString& folder);

// True when one of the command-line parameters 1 to 10 equals the switch, letters compared
// without case. The first form reads the program's own arguments; in the second, arguments[0]
// is the program and arguments[1] the first parameter.
bool IsSwitchPresent(const QString& switchText);
bool IsSwitchPresent(const QString& switchText, const QStringList& arguments);
