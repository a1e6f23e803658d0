#pragma once
// The program-wide state that every window reads: the program folder, the settings path, the
// cipher object, the default fonts, the colours and the page counter.
//
// It lives below every window (library qb_program_state, no widgets), so that the store, the
// shared routines, the settings and the windows read it without linking the main window, which
// sets it up at start.

#include "platform/core/Dialogs.h"

#include <QDate>
#include <QString>

#include <cstdint>

class TQbBlowfish;
class TDataModule1;
// The database module (created at start-up, third of the ten windows).
extern TDataModule1* DataModule1;

// Folder of the program file, with its trailing "/": the database, the settings file and the
// picture tree lie in it.
extern QString AppFolder;
// Full path of Marlowick.ini in AppFolder.
extern QString IniPath;
// The database file is read-only, or its attributes cannot be read: editors open read-only.
extern bool DatabaseReadOnly;
// The one cipher object of the program (owned by the main window; ECB mode). Null until the main
// window has been created.
extern TQbBlowfish* EntryCipher;
// The three default fonts of the editors (face, size, colour, styles); filled from the options
// whenever they are applied.
extern qb::FontChoice DefaultFont1;
extern qb::FontChoice DefaultFont2;
extern qb::FontChoice DefaultFont3;
// The month that the calendars show first.
extern QDate CalendarDate;
// Source of the page ids "1", "2", ...
extern std::int32_t PageCounter;
// The main window's first show is still to come.
extern bool FirstShow;

extern const QString ProductTitle;  // "Quillbrook"
extern const QString FullTitle;     // "Quillbrook - The Marlowick"
// The program's web site, with its trailing "/" (the about box's link, the user guide).
extern const QString WebSiteAddress;

// Colours are 0x00BBGGRR values; these are the defaults until the settings are loaded.
extern std::uint32_t HighlightColor;
extern std::uint32_t BackgroundColor;
extern std::uint32_t BackgroundFontColor;
extern std::uint32_t SelectedTabColor;
extern std::uint32_t SelTabBorderColor;

// The program's own English names, indexed from 1 as the date routines count (index 0 is empty):
// DayNames[1] is "Sunday", MonthNames[1] "January", DayTexts[5] " 5" and DayTexts[10] "10".
extern const QString DayNames[8];
extern const QString MonthNames[13];
extern const QString DayTexts[32];
