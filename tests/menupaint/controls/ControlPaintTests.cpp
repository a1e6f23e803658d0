// The flat look of hooked controls, checked on their pixels: each control is grabbed in a state
// and the colours at known points are compared with the scheme; unhooking gives back the plain
// picture pixel for pixel, and no hook outlives its control or its owner.
#include "menupaint/ControlPainters.h"
#include "menupaint/ControlSubClass.h"
#include "menupaint/FlatMenuPainter.h"
#include "platform/ui/Components.h"
#include "support/KeptPointer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QEnterEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeView>

#include <functional>
#include <memory>

using namespace FlatControlPaint;
using FlatMenuPainter::DarkenColor;
using FlatMenuPainter::LightenColor;
using FlatMenuPainter::MixColors;
using qb::TColor;

namespace {

// A painter that owns no window, with a scheme whose effective colours all differ.
std::unique_ptr<TFlatMenuPainter> MakePainter() {
    auto painter = std::make_unique<TFlatMenuPainter>(nullptr);
    painter->SetUseSystemColors(false);
    painter->SetUseDimColor(true);
    painter->SetSelectColor(0x3050C0);
    painter->SetSelectBorderColor(0x834425);
    painter->SetIconBackColor(0xC4C8CC);
    painter->SetDisabledColor(0xA4A0A0);
    painter->SetActive(true);
    return painter;
}

QImage Grab(QWidget& w) {
    return w.grab().toImage();
}

TColor PixelAt(const QImage& image, int x, int y) {
    return qb::fromQRgb(image.pixel(x, y));
}

void Send(QWidget& w, QEvent::Type type) {
    if (type == QEvent::Enter) {
        QEnterEvent e(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QCoreApplication::sendEvent(&w, &e);
    } else if (type == QEvent::FocusIn || type == QEvent::FocusOut) {
        QFocusEvent e(type);
        QCoreApplication::sendEvent(&w, &e);
    } else {
        QEvent e(type);
        QCoreApplication::sendEvent(&w, &e);
    }
}

void Mouse(QWidget& w, QEvent::Type type) {
    QMouseEvent e(type, QPointF(3, 3), w.mapToGlobal(QPointF(3, 3)), Qt::LeftButton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                  Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &e);
}

void Space(QWidget& w, QEvent::Type type, bool autoRepeat) {
    QKeyEvent e(type, Qt::Key_Space, Qt::NoModifier, " ", autoRepeat);
    QCoreApplication::sendEvent(&w, &e);
}

// A window holding one control on a plain background of a known colour.
struct Fixture {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    std::unique_ptr<TFlatMenuPainter> painter = MakePainter();
    TFlatMenuPainter& owner = *painter;
    TColor parent = 0xD0D8E0;

    Fixture() {
        QPalette p = window->palette();
        p.setColor(QPalette::Window, qb::toQColor(parent));
        window->setPalette(p);
        window->setAutoFillBackground(true);
    }
    template <typename T>
    T& Add(QSize size) {
        auto* control = new T(window.get());
        control->setGeometry(QRect(QPoint(10, 10), size));
        return *control;
    }
};

}  // namespace

// ---- The hook's life ----

TEST(ControlSubClass, OneHookPerControlAndItGoesWithTheControl) {
    Fixture f;
    auto* edit = new QLineEdit(f.window.get());
    TControlSubClass* hook = TControlSubClass::HookControl(f.owner, *edit);
    EXPECT_EQ(TControlSubClass::HookControl(f.owner, *edit), hook);
    EXPECT_EQ(TControlSubClass::HooksOf(f.owner).size(), 1);
    EXPECT_EQ(TControlSubClass::HookOf(*edit), hook);

    delete edit;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(TControlSubClass::HooksOf(f.owner).isEmpty());
}

TEST(ControlSubClass, UnhookingGivesBackThePlainPicturePixelForPixel) {
    // One of each kind: whatever the painter drew must be gone after unhooking.
    Fixture f;
    std::vector<QWidget*> controls = {
        &f.Add<QPushButton>({75, 25}),   &f.Add<QLineEdit>({100, 21}),
        &f.Add<QComboBox>({100, 22}),    &f.Add<QCheckBox>({100, 17}),
        &f.Add<QRadioButton>({100, 17}), &f.Add<QProgressBar>({100, 16}),
        &f.Add<QTreeView>({100, 60}),    &f.Add<QGroupBox>({100, 60}),
        &f.Add<QSpinBox>({60, 22}),      &f.Add<QTextEdit>({100, 60}),
        &f.Add<QToolButton>({40, 24})};
    static_cast<QPushButton*>(controls[0])->setText("OK");
    static_cast<QCheckBox*>(controls[3])->setChecked(true);
    static_cast<QGroupBox*>(controls[7])->setTitle("Options");
    for (QWidget* c : controls) {
        SCOPED_TRACE(c->metaObject()->className());
        // The control's own look under the mouse is the reference.
        Send(*c, QEvent::Enter);
        const QImage plain = Grab(*c);
        TControlSubClass* hook = TControlSubClass::HookControl(f.owner, *c);
        Send(*c, QEvent::Enter);
        EXPECT_NE(Grab(*c), plain) << "the flat look shows in grab()";
        hook->Unhook(true);
        EXPECT_EQ(Grab(*c), plain);
    }
}

TEST(ControlSubClass, AnOwnerSwitchedOffOrFreedLeavesThePlainLook) {
    Fixture f;
    auto& button = f.Add<QPushButton>({75, 25});
    const QImage plain = Grab(button);
    TControlSubClass::HookControl(f.owner, button);
    f.owner.SetActive(false);
    // The next event detaches the hook: nothing of the flat look is painted any more.
    EXPECT_EQ(Grab(button), plain);
    EXPECT_EQ(TControlSubClass::HookOf(button), nullptr);

    {
        auto owner = MakePainter();
        TControlSubClass::HookControl(*owner, button);
        EXPECT_NE(Grab(button), plain);
    }
    EXPECT_EQ(TControlSubClass::HookOf(button), nullptr);
    EXPECT_EQ(Grab(button), plain);
    Send(button, QEvent::Enter);
}

TEST(ControlSubClass, StateFlagsFollowTheControlsEvents) {
    struct Step {
        const char* what;
        std::function<void(QWidget&)> act;
        bool hot, mouseDown, spaceDown;
    };
    const std::vector<Step> steps = {
        {"mouse enters", [](QWidget& w) { Send(w, QEvent::Enter); }, true, false, false},
        {"mouse leaves", [](QWidget& w) { Send(w, QEvent::Leave); }, false, false, false},
        {"focus in", [](QWidget& w) { Send(w, QEvent::FocusIn); }, true, false, false},
        {"press", [](QWidget& w) { Mouse(w, QEvent::MouseButtonPress); }, true, true, false},
        {"release", [](QWidget& w) { Mouse(w, QEvent::MouseButtonRelease); }, true, false, false},
        {"double click", [](QWidget& w) { Mouse(w, QEvent::MouseButtonDblClick); }, true, true,
         false},
        {"release", [](QWidget& w) { Mouse(w, QEvent::MouseButtonRelease); }, true, false, false},
        {"space down", [](QWidget& w) { Space(w, QEvent::KeyPress, false); }, true, false, true},
        {"repeated release", [](QWidget& w) { Space(w, QEvent::KeyRelease, true); }, true, false,
         true},
        {"space up", [](QWidget& w) { Space(w, QEvent::KeyRelease, false); }, true, false, false},
        {"focus out", [](QWidget& w) { Send(w, QEvent::FocusOut); }, false, false, false},
        {"disabled",
         [](QWidget& w) {
             Send(w, QEvent::Enter);
             w.setEnabled(false);
         },
         false, false, false},
        {"enter while disabled", [](QWidget& w) { Send(w, QEvent::Enter); }, false, false, false},
    };
    Fixture f;
    auto& button = f.Add<QPushButton>({75, 25});
    TControlSubClass* hook = TControlSubClass::HookControl(f.owner, button);
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act(button);
        EXPECT_EQ(hook->Hot, step.hot);
        EXPECT_EQ(hook->MouseDown, step.mouseDown);
        EXPECT_EQ(hook->SpaceDown, step.spaceDown);
    }
}

TEST(ControlSubClass, ACheckMarkThatChangesEndsTheHotLook) {
    Fixture f;
    auto& box = f.Add<QCheckBox>({100, 21});
    TControlSubClass* hook = TControlSubClass::HookControl(f.owner, box);
    Send(box, QEvent::Enter);
    ASSERT_TRUE(hook->Hot);
    box.setChecked(true);
    EXPECT_FALSE(hook->Hot);
}

TEST(ControlSubClass, ThePaintersSettingsSwitchAFormsControlsFlatAndBack) {
    // The way the program switches control painting on: containers and kinds selected, Active.
    auto form = std::make_unique<QWidget>();
    form->resize(300, 120);
    auto* button = new QPushButton("OK", form.get());
    button->setGeometry(10, 10, 75, 25);
    auto* edit = new QLineEdit(form.get());
    edit->setGeometry(10, 50, 100, 21);
    auto* kept = new QPushButton("Kept", form.get());
    kept->setGeometry(100, 10, 75, 25);
    qb::setTag(kept, 999);
    auto* panel = new QFrame(form.get());
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setGeometry(150, 50, 60, 40);
    auto* line = new QFrame(form.get());
    line->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    line->setGeometry(10, 100, 200, 3);
    const QImage plain = Grab(*form);

    auto* painter = new TFlatMenuPainter(form.get());
    painter->SetFlatContainers({TFlatContainer::fccForm});
    painter->SetActive(true);
    EXPECT_NE(TControlSubClass::HookOf(*button), nullptr);
    EXPECT_NE(TControlSubClass::HookOf(*edit), nullptr);
    EXPECT_EQ(TControlSubClass::HookOf(*kept), nullptr) << "tag 999 keeps a control out";
    EXPECT_NE(TControlSubClass::HookOf(*panel), nullptr);
    EXPECT_EQ(TControlSubClass::HookOf(*line), nullptr) << "a line is no panel";
    EXPECT_NE(Grab(*form), plain);

    painter->SetActive(false);
    EXPECT_TRUE(TControlSubClass::HooksOf(*painter).isEmpty());
    EXPECT_EQ(Grab(*form), plain);

    // Freed while its controls are hooked: they go back to their own look.
    painter->SetActive(true);
    EXPECT_NE(Grab(*form), plain);
    delete painter;
    EXPECT_EQ(TControlSubClass::HookOf(*button), nullptr);
    EXPECT_EQ(Grab(*form), plain);
}

TEST(ControlSubClass, HandOverMovesTheHooksOutsideTheLeavingForm) {
    Fixture f;
    auto other = MakePainter();
    auto& stays = f.Add<QPushButton>({75, 25});
    QWidget leavingForm;
    auto* leaves = new QPushButton(&leavingForm);
    TControlSubClass::HookControl(f.owner, stays);
    TControlSubClass::HookControl(f.owner, *leaves);

    f.owner.ControlHooks().HandOver(*other, &leavingForm);
    EXPECT_EQ(TControlSubClass::HookOf(stays)->FlatMenuPainter, other.get());
    EXPECT_EQ(TControlSubClass::HookOf(*leaves)->FlatMenuPainter, &f.owner);

    f.owner.ControlHooks().RestoreForm(&leavingForm);
    EXPECT_EQ(TControlSubClass::HookOf(*leaves), nullptr);
    other.reset();
    EXPECT_EQ(TControlSubClass::HookOf(stays), nullptr);
}

// ---- Pixels ----

namespace {

struct PixelCase {
    const char* what;
    std::function<QWidget&(Fixture&)> make;
    std::function<void(TControlSubClass&, QWidget&)> state;
    QPoint at;  // negative coordinates count from the right or bottom edge
    std::function<TColor(const Fixture&, const QWidget&)> expected;
};

QPoint Resolve(QPoint at, const QWidget& w) {
    return {at.x() < 0 ? w.width() + at.x() : at.x(), at.y() < 0 ? w.height() + at.y() : at.y()};
}

void Hot(TControlSubClass& h, QWidget&) {
    h.Hot = true;
}
void Rest(TControlSubClass&, QWidget&) {}

TColor Base(const QWidget& w) {
    return qb::fromQColor(w.palette().color(QPalette::Base));
}
TColor BtnShadow() {
    return qb::colorToRGB(qb::clBtnShadow);
}

}  // namespace

TEST(ControlPainters, ColoursAtKnownPoints) {
    const qbtest::KeptPointer keptPointer;
    auto button = [](Fixture& f) -> QWidget& {
        auto& b = f.Add<QPushButton>({75, 25});
        b.setText("OK");
        return b;
    };
    auto edit = [](Fixture& f) -> QWidget& { return f.Add<QLineEdit>({100, 21}); };
    auto combo = [](Fixture& f) -> QWidget& {
        auto& c = f.Add<QComboBox>({100, 22});
        c.addItem("One");
        return c;
    };
    auto check = [](Fixture& f) -> QWidget& {
        auto& c = f.Add<QCheckBox>({100, 21});
        c.setText("Check");
        return c;
    };
    auto radio = [](Fixture& f) -> QWidget& {
        auto& r = f.Add<QRadioButton>({100, 21});
        r.setChecked(true);
        return r;
    };
    auto panel = [](Fixture& f) -> QWidget& {
        auto& p = f.Add<QFrame>({60, 40});
        p.setFrameStyle(QFrame::Panel | QFrame::Raised);
        p.setLineWidth(2);
        return p;
    };
    auto spin = [](Fixture& f) -> QWidget& { return f.Add<QSpinBox>({60, 22}); };
    // A button with a red 16-pixel picture and no caption: the picture sits at (29, 5).
    auto picture = [](Fixture& f) -> QWidget& {
        auto& b = f.Add<QPushButton>({75, 25});
        QPixmap red(16, 16);
        red.fill(Qt::red);
        b.setIcon(QIcon(red));
        b.setIconSize({16, 16});
        return b;
    };
    auto tool = [](Fixture& f) -> QWidget& {
        auto& b = f.Add<QToolButton>({40, 24});
        b.setAutoRaise(true);
        return b;
    };
    auto hoverAt = [](QPoint at) {
        return [at](TControlSubClass& h, QWidget& w) {
            h.Hot = true;
            QCursor::setPos(w.mapToGlobal(at));
        };
    };
    const std::vector<PixelCase> cases = {
        {"button at rest: face",
         button,
         Rest,
         {4, 12},
         [](const Fixture& f, const QWidget&) { return f.owner.Scheme().IconBackEff; }},
        {"button at rest: raised edge",
         button,
         Rest,
         {30, -1},
         [](const Fixture&, const QWidget&) { return DarkenColor(BtnShadow(), 50); }},
        {"button hot: face",
         button,
         Hot,
         {4, 12},
         [](const Fixture& f, const QWidget&) {
             return LightenColor(qb::colorToRGB(qb::clBtnFace), f.owner.HotFaceDimLevel());
         }},
        {"button hot and held: pressed edge",
         button,
         [](TControlSubClass& h, QWidget&) { h.Hot = h.MouseDown = true; },
         {30, 0},
         [](const Fixture& f, const QWidget&) {
             return DarkenColor(LightenColor(f.owner.Scheme().SelectBorderEff, 60), 50);
         }},
        {"button held away from it: raised edge",
         button,
         [](TControlSubClass& h, QWidget&) { h.MouseDown = true; },
         {30, -1},
         [](const Fixture&, const QWidget&) { return DarkenColor(BtnShadow(), 50); }},
        {"button space held: pressed edge",
         button,
         [](TControlSubClass& h, QWidget&) { h.SpaceDown = true; },
         {30, 0},
         [](const Fixture&, const QWidget&) { return DarkenColor(BtnShadow(), 50); }},
        {"disabled button: no edge",
         button,
         [](TControlSubClass&, QWidget& w) { w.setEnabled(false); },
         {30, -1},
         [](const Fixture&, const QWidget&) { return LightenColor(BtnShadow(), 30); }},
        {"button corner takes the parent colour",
         button,
         Rest,
         {0, 0},
         [](const Fixture& f, const QWidget&) { return f.parent; }},
        {"edit at rest: frame",
         edit,
         Rest,
         {0, 10},
         [](const Fixture& f, const QWidget&) { return DarkenColor(f.parent, 60); }},
        {"edit at rest: inner ring",
         edit,
         Rest,
         {1, 10},
         [](const Fixture&, const QWidget& w) { return Base(w); }},
        {"edit hot: frame",
         edit,
         Hot,
         {50, 0},
         [](const Fixture& f, const QWidget&) {
             return LightenColor(f.owner.Scheme().SelectBorderEff, 60);
         }},
        {"frameless edit hot: light mean",
         [](Fixture& f) -> QWidget& {
             auto& e = f.Add<QLineEdit>({100, 21});
             e.setFrame(false);
             return e;
         },
         Hot,
         {0, 10},
         [](const Fixture& f, const QWidget& w) {
             return LightenColor(MixColors({Base(w), f.parent}), 40);
         }},
        {"combo at rest: outer frame",
         combo,
         Rest,
         {0, 11},
         [](const Fixture& f, const QWidget&) { return f.parent; }},
        {"combo at rest: button face",
         combo,
         Rest,
         {-4, 4},
         [](const Fixture&, const QWidget&) { return qb::colorToRGB(qb::clBtnFace); }},
        {"combo at rest: arrow",
         combo,
         Rest,
         {-8, 10},
         [](const Fixture&, const QWidget&) { return qb::clBlack; }},
        {"combo hot: border",
         combo,
         Hot,
         {0, 11},
         [](const Fixture& f, const QWidget&) { return f.owner.Scheme().SelectBorderEff; }},
        {"combo hot: button face",
         combo,
         Hot,
         {-4, 4},
         [](const Fixture& f, const QWidget&) { return f.owner.Scheme().SelectEff; }},
        {"combo focused: button face",
         combo,
         [](TControlSubClass& h, QWidget&) { h.Focused = true; },
         {-4, 4},
         [](const Fixture& f, const QWidget&) { return f.owner.Scheme().CheckFaceEff; }},
        {"combo dropped down, mouse gone: pressed face",
         combo,
         [](TControlSubClass&, QWidget& w) { static_cast<QComboBox&>(w).showPopup(); },
         {-4, 4},
         [](const Fixture& f, const QWidget&) { return f.owner.Scheme().CheckFaceSelEff; }},
        {"combo dropped down: white arrow",
         combo,
         [](TControlSubClass&, QWidget& w) { static_cast<QComboBox&>(w).showPopup(); },
         {-8, 10},
         [](const Fixture&, const QWidget&) { return qb::clWhite; }},
        {"right-to-left combo: button and arrow at the left",
         [&combo](Fixture& f) -> QWidget& {
             QWidget& c = combo(f);
             c.setLayoutDirection(Qt::RightToLeft);
             return c;
         },
         Rest,
         {7, 10},
         [](const Fixture&, const QWidget&) { return qb::clBlack; }},
        {"check box at rest: white box",
         check,
         Rest,
         {5, 10},
         [](const Fixture&, const QWidget&) { return qb::colorToRGB(qb::clWindow); }},
        {"check box hot: box frame",
         check,
         Hot,
         {2, 10},
         [](const Fixture& f, const QWidget&) { return f.owner.Scheme().SelectBorderEff; }},
        {"check box held: pressed face",
         check,
         [](TControlSubClass& h, QWidget&) { h.MouseDown = true; },
         {5, 14},
         [](const Fixture& f, const QWidget&) { return f.owner.Scheme().CheckFaceSelEff; }},
        {"grayed check box: silver face",
         check,
         [](TControlSubClass&, QWidget& w) {
             static_cast<QCheckBox&>(w).setTristate(true);
             static_cast<QCheckBox&>(w).setCheckState(Qt::PartiallyChecked);
         },
         {3, 14},
         [](const Fixture&, const QWidget&) { return qb::clSilver; }},
        {"progress bar at rest",
         [](Fixture& f) -> QWidget& {
             return f.Add<QProgressBar>({100, 16});
         },
         Rest,
         {50, 0},
         [](const Fixture& f, const QWidget&) { return DarkenColor(f.parent, 60); }},
        {"progress bar hot",
         [](Fixture& f) -> QWidget& {
             return f.Add<QProgressBar>({100, 16});
         },
         Hot,
         {50, -1},
         [](const Fixture& f, const QWidget&) { return f.owner.Scheme().SelectBorderEff; }},
        {"progress bar focused is not lit",
         [](Fixture& f) -> QWidget& {
             return f.Add<QProgressBar>({100, 16});
         },
         [](TControlSubClass& h, QWidget&) { h.Focused = true; },
         {50, -1},
         [](const Fixture& f, const QWidget&) { return DarkenColor(f.parent, 60); }},
        {"tree view focused",
         [](Fixture& f) -> QWidget& {
             return f.Add<QTreeView>({100, 60});
         },
         [](TControlSubClass& h, QWidget&) { h.Focused = true; },
         {0, 30},
         [](const Fixture& f, const QWidget&) {
             return LightenColor(f.owner.Scheme().SelectBorderEff, 60);
         }},
        {"radio checked: dot",
         radio,
         Rest,
         {7, 8},
         [](const Fixture&, const QWidget&) { return qb::colorToRGB(qb::clHighlight); }},
        {"radio hot: face",
         radio,
         Hot,
         {4, 8},
         [](const Fixture& f, const QWidget&) { return f.owner.Scheme().SelectEff; }},
        {"check box checked: tick",
         [](Fixture& f) -> QWidget& {
             auto& c = f.Add<QCheckBox>({100, 21});
             c.setChecked(true);
             return c;
         },
         Rest,
         {8, 12},
         [](const Fixture&, const QWidget&) { return qb::colorToRGB(qb::clHighlight); }},
        {"group box: raised frame below the caption",
         [](Fixture& f) -> QWidget& {
             auto& g = f.Add<QGroupBox>({120, 60});
             g.setTitle("Group");
             return g;
         },
         Rest,
         {0, 40},
         [](const Fixture& f, const QWidget&) { return LightenColor(f.parent, 60); }},
        {"group box: dark right edge",
         [](Fixture& f) -> QWidget& {
             return f.Add<QGroupBox>({120, 60});
         },
         Rest,
         {-1, 40},
         [](const Fixture& f, const QWidget&) { return DarkenColor(f.parent, 60); }},
        {"raised panel: light top",
         panel,
         Rest,
         {20, 0},
         [](const Fixture& f, const QWidget&) { return LightenColor(f.parent, 60); }},
        {"raised panel: dark bottom",
         panel,
         Rest,
         {20, -2},
         [](const Fixture& f, const QWidget&) { return DarkenColor(f.parent, 60); }},
        {"rich edit at rest: frame",
         [](Fixture& f) -> QWidget& {
             return f.Add<QTextEdit>({100, 60});
         },
         Rest,
         {0, 30},
         [](const Fixture& f, const QWidget&) { return DarkenColor(f.parent, 60); }},
        {"picture button at rest: dimmed picture",
         picture,
         Rest,
         {36, 12},
         [](const Fixture& f, const QWidget&) {
             return LightenColor(qb::clRed, f.owner.DimLevel());
         }},
        {"picture button hot: full picture",
         picture,
         Hot,
         {36, 12},
         [](const Fixture&, const QWidget&) { return qb::clRed; }},
        {"picture button tagged 1001: no edge line",
         [&picture](Fixture& f) -> QWidget& {
             QWidget& b = picture(f);
             qb::setTag(&b, 1001);
             return b;
         },
         Rest,
         {30, -1},
         [](const Fixture& f, const QWidget&) {
             // 1001 holds the bits of 1000 as well: the face is the parent's colour.
             return LightenColor(LightenColor(f.parent, f.owner.FaceDimLevel()), 30);
         }},
        {"flat tool button at rest: nothing but the parent",
         tool,
         Rest,
         {20, 0},
         [](const Fixture& f, const QWidget&) { return f.parent; }},
        {"flat tool button under the mouse: framed face",
         tool,
         hoverAt({20, 12}),
         {20, 0},
         [](const Fixture& f, const QWidget&) { return f.owner.Scheme().SelectBorderEff; }},
        {"flat tool button the mouse left unnoticed: at rest",
         tool,
         hoverAt({-50, -50}),
         {20, 6},
         [](const Fixture& f, const QWidget&) { return f.parent; }},
        {"tool button down: checked face",
         [](Fixture& f) -> QWidget& {
             auto& b = f.Add<QToolButton>({40, 24});
             b.setCheckable(true);
             b.setChecked(true);
             return b;
         },
         Rest,
         {20, 6},
         [](const Fixture& f, const QWidget&) { return f.owner.Scheme().CheckFaceEff; }},
        {"spin box: the half under the mouse is lit",
         spin,
         [](TControlSubClass& h, QWidget& w) {
             h.Hot = true;
             QCursor::setPos(w.mapToGlobal(QPoint(w.width() - 5, 3)));
         },
         {-4, 6},
         [](const Fixture& f, const QWidget&) {
             return LightenColor(f.owner.Scheme().SelectEff, 60);
         }},
        {"spin box: the other half is not",
         spin,
         [](TControlSubClass& h, QWidget& w) {
             h.Hot = true;
             QCursor::setPos(w.mapToGlobal(QPoint(w.width() - 5, 3)));
         },
         {-4, 16},
         [](const Fixture& f, const QWidget&) {
             return LightenColor(f.owner.Scheme().SelectEff, f.owner.FaceDimLevel());
         }},
    };
    for (const PixelCase& c : cases) {
        SCOPED_TRACE(c.what);
        Fixture f;
        QWidget& control = c.make(f);
        TControlSubClass* hook = TControlSubClass::HookControl(f.owner, control);
        c.state(*hook, control);
        if (hook->Focused) {
            // Painting takes Focused from the application's focus: the control gets it, and the
            // hot look that the focus brings is taken off again.
            f.window->show();
            QApplication::setActiveWindow(f.window.get());
            control.setFocus();
            QCoreApplication::processEvents();
            hook->Hot = false;
        }
        const QImage image = Grab(control);
        const QPoint at = Resolve(c.at, control);
        EXPECT_EQ(PixelAt(image, at.x(), at.y()), c.expected(f, control))
            << "at " << at.x() << "," << at.y();
    }
}
