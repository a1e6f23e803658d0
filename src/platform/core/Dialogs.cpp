#include "platform/core/Dialogs.h"

namespace qb {

MessageResult silentAnswer(MessageButtons buttons) {
    return buttons == MessageButtons::YesNo ? MessageResult::Yes : MessageResult::Ok;
}

namespace {

class SilentDialogs : public Dialogs {
  public:
    MessageResult messageBox(const QString&, const QString&, MessageButtons buttons,
                             MessageIcon) override {
        return silentAnswer(buttons);
    }
    void showMessage(const QString&) override {}
    std::optional<QString> inputBox(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
};

SilentDialogs silent;
Dialogs* current = &silent;

}  // namespace

// Without an implementation of its own, a service answers the common dialogs as cancelled.
std::optional<std::uint32_t> Dialogs::chooseColor(std::uint32_t) {
    return std::nullopt;
}

std::optional<FontChoice> Dialogs::chooseFont(const FontChoice&) {
    return std::nullopt;
}

std::optional<QString> Dialogs::saveFileName(const QString&, const QString&, const QString&) {
    return std::nullopt;
}

bool Dialogs::printDialog(QPrinter&) {
    return false;
}

std::optional<PrintDestination> Dialogs::outputOptions(QPrinter&) {
    return std::nullopt;
}

bool Dialogs::printerSetup(QPrinter&) {
    return false;
}

namespace {

class QuietStatus : public ReportStatus {
  public:
    bool show(const QString&) override { return true; }
    bool poll() override { return true; }
};

}  // namespace

std::unique_ptr<ReportStatus> Dialogs::reportStatus() {
    return std::make_unique<QuietStatus>();
}

void Dialogs::printPreview(QPrinter&, const std::function<void(QPrinter&)>&) {}

Dialogs& dialogs() {
    return *current;
}

void setDialogs(Dialogs* service) {
    current = service ? service : &silent;
}

}  // namespace qb
