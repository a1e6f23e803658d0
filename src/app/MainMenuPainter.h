#pragma once
// The main window's menu painter, FlatMenuPainter1, with the settings the window stores for it.

class TFlatMenuPainter;
class TMainForm;

// Made on the main window once its menus exist; the settings go in their stored order, Active
// last, so that switching it on hooks the window's menus with every colour in place.
TFlatMenuPainter* CreateFlatMenuPainter1(TMainForm& form);

// The icon column's colour set at start-up: the button face, each channel darkened by 10.
void SetStartupIconBackColor(TFlatMenuPainter& painter);
