#include "menupaint/FlatMenuPainter.h"

namespace {

// The control painters are not built yet: no control is taken over.
class NoControlHooks : public TFlatControlHooks {
  public:
    void HookControl(QWidget*) override {}
    void UnhookAll() override {}
    void HandOver(TFlatMenuPainter&, const QWidget*) override {}
    void RestoreForm(const QWidget*) override {}
};

}  // namespace

std::unique_ptr<TFlatControlHooks> CreateFlatControlHooks(TFlatMenuPainter&) {
    return std::make_unique<NoControlHooks>();
}
