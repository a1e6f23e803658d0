#include "menupaint/ControlSubClass.h"
#include "menupaint/FlatMenuPainter.h"

namespace {

// The control painters' side of a menu painter: each selected control gets one hook, owned by
// the painter, that the painter drops, hands on or gives back at once.
class TControlHooks : public TFlatControlHooks {
  public:
    explicit TControlHooks(TFlatMenuPainter& painter) : painter_(painter) {}

    void HookControl(QWidget* control) override {
        if (control != nullptr) {
            TControlSubClass::HookControl(painter_, *control);
        }
    }
    void UnhookAll() override { TControlSubClass::UnhookControls(painter_, nullptr, true); }
    void HandOver(TFlatMenuPainter& to, const QWidget* leavingForm) override {
        for (TControlSubClass* hook : TControlSubClass::HooksOf(painter_)) {
            const QWidget* control = hook->Control;
            const bool leaving = leavingForm != nullptr && control != nullptr &&
                                 (control == leavingForm || leavingForm->isAncestorOf(control));
            if (!leaving) {
                hook->HandOver(to);
            }
        }
    }
    void RestoreForm(const QWidget* form) override {
        if (form != nullptr) {
            TControlSubClass::UnhookControls(painter_, form, true);
        }
    }

  private:
    TFlatMenuPainter& painter_;
};

}  // namespace

std::unique_ptr<TFlatControlHooks> CreateFlatControlHooks(TFlatMenuPainter& painter) {
    return std::make_unique<TControlHooks>(painter);
}
