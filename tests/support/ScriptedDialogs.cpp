#include "support/ScriptedDialogs.h"

namespace qb {

ScriptedDialogs::ScriptedDialogs() : previous_(&dialogs()) {
    setDialogs(this);
}

ScriptedDialogs::~ScriptedDialogs() {
    setDialogs(previous_);
}

MessageResult ScriptedDialogs::messageBox(const QString& text, const QString& title,
                                          MessageButtons buttons, MessageIcon icon) {
    shown.push_back({QStringLiteral("messageBox"), title, text, buttons, icon});
    if (messageAnswers.empty()) {
        return silentAnswer(buttons);
    }
    MessageResult answer = messageAnswers.front();
    messageAnswers.pop_front();
    return answer;
}

void ScriptedDialogs::showMessage(const QString& text) {
    shown.push_back({QStringLiteral("showMessage"), QString(), text});
}

namespace {

bool nextFlag(std::deque<bool>& flags) {
    const bool flag = !flags.empty() && flags.front();
    if (!flags.empty()) {
        flags.pop_front();
    }
    return flag;
}

template <typename T>
std::optional<T> nextAnswer(std::deque<std::optional<T>>& answers) {
    if (answers.empty()) {
        return std::nullopt;
    }
    // Swapped out before the pop: copying an optional<QString> trips gcc 12's
    // maybe-uninitialized analysis.
    std::optional<T> answer;
    answer.swap(answers.front());
    answers.pop_front();
    return answer;
}

}  // namespace

std::optional<QString> ScriptedDialogs::inputBox(const QString& title, const QString& prompt,
                                                 const QString&) {
    shown.push_back({QStringLiteral("inputBox"), title, prompt});
    return nextAnswer(inputAnswers);
}

std::optional<std::uint32_t> ScriptedDialogs::chooseColor(std::uint32_t initial) {
    Shown box{QStringLiteral("chooseColor"), QString(), QString()};
    box.initialColor = initial;
    shown.push_back(box);
    return nextAnswer(colorAnswers);
}

std::optional<FontChoice> ScriptedDialogs::chooseFont(const FontChoice& initial) {
    Shown box{QStringLiteral("chooseFont"), QString(), QString()};
    box.initialFont = initial;
    shown.push_back(box);
    return nextAnswer(fontAnswers);
}

std::optional<QString> ScriptedDialogs::saveFileName(const QString& title,
                                                     const QString& initialPath, const QString&) {
    shown.push_back({QStringLiteral("saveFileName"), title, initialPath});
    return nextAnswer(saveFileAnswers);
}

bool ScriptedDialogs::printerBox(const QString& kind, std::deque<bool>& answers,
                                 const std::function<void(QPrinter&)>& choices, QPrinter& printer) {
    shown.push_back({kind, QString(), QString()});
    const bool confirmed = nextFlag(answers);
    if (confirmed && choices) {
        choices(printer);
    }
    return confirmed;
}

bool ScriptedDialogs::printDialog(QPrinter& printer) {
    return printerBox(QStringLiteral("printDialog"), printDialogAnswers, preparePrinter, printer);
}

namespace {

class ScriptedStatus : public ReportStatus {
  public:
    explicit ScriptedStatus(ScriptedDialogs& script) : script_(script) {}
    bool show(const QString& text) override {
        if (cancelled_) {
            return false;
        }
        script_.statusTexts << text;
        cancelled_ =
            script_.cancelStatusAfter && script_.statusTexts.size() >= *script_.cancelStatusAfter;
        return !cancelled_;
    }
    bool poll() override {
        if (cancelled_) {
            return false;
        }
        ++script_.statusPolls;
        cancelled_ = script_.cancelStatusAfterPolls &&
                     script_.statusPolls >= *script_.cancelStatusAfterPolls;
        return !cancelled_;
    }

  private:
    ScriptedDialogs& script_;
    bool cancelled_ = false;
};

}  // namespace

std::optional<PrintDestination> ScriptedDialogs::outputOptions(QPrinter& printer) {
    shown.push_back({QStringLiteral("outputOptions"), QString(), QString()});
    if (nextFlag(outputSetupPresses)) {
        printerSetup(printer);
    }
    return nextAnswer(outputAnswers);
}

bool ScriptedDialogs::printerSetup(QPrinter& printer) {
    return printerBox(QStringLiteral("printerSetup"), printerSetupAnswers, setupPrinter, printer);
}

std::unique_ptr<ReportStatus> ScriptedDialogs::reportStatus() {
    shown.push_back({QStringLiteral("reportStatus"), QStringLiteral("Report Status"), QString()});
    return std::make_unique<ScriptedStatus>(*this);
}

void ScriptedDialogs::printPreview(QPrinter& printer, const std::function<void(QPrinter&)>& paint) {
    shown.push_back({QStringLiteral("printPreview"), QString(), QString()});
    paint(printer);
}

}  // namespace qb
