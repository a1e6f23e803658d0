#include "tools/ToolTitleStrip.h"

#include "pages/ShadeUnit.h"
#include "platform/core/Color.h"
#include "platform/ui/Components.h"
#include "platform/ui/PaintBox.h"
#include "program/ProgramState.h"

#include <QGridLayout>
#include <QLabel>
#include <QPalette>

qb::PaintBox* AddToolTitleStrip(QWidget* strip, const QString& paintBoxName, int tag,
                                QLayout* labels) {
    strip->setFixedHeight(kToolTitleStripHeight);
    auto* grid = new QGridLayout(strip);
    grid->setContentsMargins(0, 0, 0, 0);
    auto* box = new qb::PaintBox(strip);
    box->setObjectName(paintBoxName);
    qb::setHint(box, QStringLiteral("ShadeBarred"));
    qb::setTag(box, tag);
    box->setOnPaint([](qb::PaintBox& sender, QPainter& canvas) {
        ShadePaintBox(
            canvas, ShadeBox{sender.width(), sender.height(), qb::hint(&sender), qb::tag(&sender)},
            ShadeTint::ToolTitleStrip(qb::colorToRGB(BackgroundColor)));
    });
    grid->addWidget(box, 0, 0);
    grid->addLayout(labels, 0, 0);
    box->lower();  // the captions lie over the shading
    return box;
}

QLabel* WhiteLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
    return label;
}
