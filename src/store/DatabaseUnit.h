#pragma once
// The database module: the one connection to the diary's database file Marlowick.mdb in the
// program folder and its four tables (day entries, documents, month marks, the log-in password).
//
// The file is an SQLite 3 file. It carries no password of its own: anyone who can read the
// file can read it. The stored texts and the log-in password are cipher text under a key that
// the program makes from its own fixed key text (DiaryKeyText), not from the user's password.
//
// Construction: TDataModule1(AppFolder, *EntryCipher). The module opens nothing until
// OpenDatabase. The log-in and the end of the program go through the Login seam:
//   Login.ShowLoginDialog  shows the password dialog modally in log-in mode (when a password is
//                          set); it sets the quit mark when the log-in ends without success.
//   Login.QuitMark         reads the program-wide quit mark (the Tag of the password dialog's
//   Login.SetQuitMark      Cancel button) / sets it. Set both or neither: without them the
//                          module keeps a quit mark of its own (read it with QuitMarkValue()).
//   Login.Quit             asks the program to end.
// A password that is set while no ShowLoginDialog is installed is never skipped: the module
// sets the quit mark as a failed log-in would.

#include <QString>

#include <functional>
#include <string>

#include "platform/db/Connection.h"
#include "platform/db/Table.h"

class TQbBlowfish;

// The fixed file names of the diary database and of its compaction copy, in the program folder.
inline constexpr char DatabaseFileName[] = "Marlowick.mdb";
inline constexpr char CompactFileName[] = "MarlowickTEMP.mdb";

// The key text the cipher key is made from. It ends with the program's pass phrase. Every stored
// text depends on it: it must never change.
std::string DiaryKeyText();

class TDataModule1 {
  public:
    struct TLoginSeam {
        std::function<void()> ShowLoginDialog;
        std::function<int()> QuitMark;
        std::function<void(int)> SetQuitMark;
        std::function<void()> Quit;
    };

    // appFolder: the program folder (a trailing "/" is added when missing).
    TDataModule1(const QString& appFolder, TQbBlowfish& entryCipher);
    TDataModule1(const TDataModule1&) = delete;
    TDataModule1& operator=(const TDataModule1&) = delete;

    qb::db::Connection ADOConnection1;
    qb::db::Table PasswordTable{ADOConnection1, "Pswd"};
    qb::db::Table EntryTable{ADOConnection1, "Entry"};
    qb::db::Table MonthLookupTable{ADOConnection1, "MonthLookup"};
    qb::db::Table OtherDocTable{ADOConnection1, "OtherDocs"};

    TLoginSeam Login;

    // Connects, gives the cipher its key, runs the log-in when a password is set, and opens the
    // tables with their sort orders. On return either all four tables are open, or the quit mark
    // is set, a box has said why, and the program has been asked to end.
    void OpenDatabase();
    // Adds the day of the key "YYYYMMDD" to its month's day list in MonthLookup. Errors of the
    // table raise to the caller.
    void MarkMonthDay(const QString& key);
    // Compacts the database file. False when it failed; the file is then as it was. In every
    // case the connection and the four tables are open again afterwards, with their sort orders.
    bool CompactDatabase();
    // Tools > "Compact Database".
    void CompactDatabase1Click();

    QString DatabasePath() const { return appFolder_ + DatabaseFileName; }
    QString CompactPath() const { return appFolder_ + CompactFileName; }
    int QuitMarkValue() const;

  private:
    void failOpen(const QString& text);
    void setQuitMark(int value);
    void checkTables();
    void openTables();
    void compactIntoTemporaryCopy();

    QString appFolder_;
    TQbBlowfish& entryCipher_;
    int ownQuitMark_ = 0;
};
