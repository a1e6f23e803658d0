#include "app/MainMenuPainter.h"

#include "app/MainUnit.h"
#include "menupaint/FlatMenuPainter.h"
#include "pages/ShadeUnit.h"
#include "platform/core/Color.h"

TFlatMenuPainter* CreateFlatMenuPainter1(TMainForm& form) {
    auto* painter = new TFlatMenuPainter(&form);
    painter->setObjectName(QStringLiteral("FlatMenuPainter1"));
    painter->SetDimLevel(30);
    painter->SetGrayLevel(10);
    // Tahoma with a character height of 11 pixels, or the closest installed face.
    QFont font = TMainForm::LayoutFont();
    font.setPixelSize(11);
    painter->SetFont(font, qb::clBlack);
    painter->SetColor(qb::clBtnFace);
    painter->SetDrawMenuBar(false);
    painter->SetIconBackColor(qb::clBtnFace);
    painter->SetMenuBarColor(qb::clBtnFace);
    painter->SetSelectColor(0xEFD3C6);
    painter->SetSelectBorderColor(0x834425);
    painter->SetSelectFontColor(qb::clBlack);
    painter->SetDisabledColor(qb::clMedGray);
    painter->SetSeparatorColor(qb::clBtnFace);
    painter->SetCheckedColor(qb::clHighlight);
    painter->SetIconWidth(24);
    painter->SetDrawSelect(true);
    painter->SetUseSystemColors(false);
    painter->SetUseDimColor(false);
    painter->SetOverrideOwnerDraw(false);
    painter->SetGradient(true);
    painter->SetFlatMenu(false);
    painter->SetAutoDetect(false);
    painter->SetFlatContainers({});
    painter->SetFlatControls(
        TFlatControls::all().without(TFlatControl::fcToolbar).without(TFlatControl::fcControlbar));
    painter->SetActive(true);
    painter->Loaded();
    return painter;
}

void SetStartupIconBackColor(TFlatMenuPainter& painter) {
    painter.SetIconBackColor(DarkenColor(qb::colorToRGB(qb::clBtnFace), 10, 10, 10));
}
