#pragma once
// The program-wide state that every window reads, and the start-up routines of the program.
//
// The state lives in the library qb_app_state (no widgets, no other area), so that the store,
// the shared routines and the settings can read it without linking the main window. The
// routines (InitializeApplication, StartApplication, ...) live in qb_app.

#include "platform/core/Dialogs.h"

#include <QDate>
#include <QString>

#include <cstdint>

class TQbBlowfish;
class TDataModule1;
class TPasswordForm;

// The log-in and password dialog (second of the ten windows); the Tag of its CancelButton is the
// program-wide quit mark.
extern TPasswordForm* PasswordForm;

// The database module (created by the program block, third of the ten windows).
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

// --- Start-up routines (library qb_app) ---

// First stage of start-up, run while the main window is being created.
void InitializeApplication();
// Second stage, run by the main window's first show.
void StartApplication();
// Hands every window the others it reaches (the options' targets, the page routines); run by
// the program block once the ten windows exist.
void ConnectProgramWindows();
// Writes the desktop launcher Marlowick.desktop for the program.
void CreateDesktopShortcut();
// Empty title: the main window caption is FullTitle and the application title ProductTitle;
// otherwise "Quillbrook: " + title and the application title is the title itself.
void SetWindowTitle(const QString& title);
