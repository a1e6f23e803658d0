#pragma once
// The start-up routines of the program; the state they set up is in program/ProgramState.h.

#include "program/ProgramState.h"

#include <QString>

// First stage of start-up, run while the main window is being created.
void InitializeApplication();
// Second stage, run by the main window's first show.
void StartApplication();
class TSearchForm;

// Hands every window the others it reaches (the options' targets, the page routines); run at
// start-up once the windows of the first frame exist. A window made later is wired as it is
// made (ConnectSearchWindow).
void ConnectProgramWindows();
// Hands the search window the main window's routines that its rows open.
void ConnectSearchWindow(TSearchForm& search);
// The start asks for the desktop launcher: its first parameter is exactly "-cs".
bool DesktopShortcutAsked();
// Writes the desktop launcher Marlowick.desktop for the program.
void CreateDesktopShortcut();
// Empty title: the main window caption is FullTitle and the application title ProductTitle;
// otherwise "Quillbrook: " + title and the application title is the title itself.
void SetWindowTitle(const QString& title);
