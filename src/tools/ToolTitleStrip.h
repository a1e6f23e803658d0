#pragma once
// The barred title strips of the search window and the picture viewer: a strip of the height of
// the program's other title strips, filled by a paint box shaded in the barred style from the
// tools' tint of BackgroundColor, under white captions in the window's own face.

#include <QString>

class QLabel;
class QLayout;
class QWidget;
namespace qb {
class PaintBox;
}

constexpr int kToolTitleStripHeight = 26;

// Gives strip its height and the paint box (Hint "ShadeBarred", Tag tag) under labels.
qb::PaintBox* AddToolTitleStrip(QWidget* strip, const QString& paintBoxName, int tag,
                                QLayout* labels);
// A white caption for a title strip.
QLabel* WhiteLabel(const QString& name, const QString& text, QWidget* parent);
