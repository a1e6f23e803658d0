#pragma once
// The one service through which the program shows message boxes, input boxes and the common
// dialogs. The program installs the Qt implementation at start; tests install ScriptedDialogs
// and answer every box from a script, so that no behaviour test waits for a user.

#include <QString>

#include <deque>
#include <optional>
#include <vector>

namespace qb {

enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageResult { Ok, Cancel, Yes, No };

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A box with a caption of its own. Closing the box without a button gives Cancel (or No
    // where there is no Cancel button).
    virtual MessageResult messageBox(const QString& text, const QString& title,
                                     MessageButtons buttons = MessageButtons::Ok,
                                     MessageIcon icon = MessageIcon::None) = 0;

    // A box without a caption of its own: it carries the application title.
    virtual void showMessage(const QString& text) = 0;

    // An input box; nullopt when the user cancels.
    virtual std::optional<QString> inputBox(const QString& title, const QString& prompt,
                                            const QString& initial) = 0;
};

// The program's service. Until one is installed, every box is answered by a silent default
// (Ok / Yes / Cancel for input) so that code run without a user never blocks.
Dialogs& dialogs();
// Installs the service (not owned); nullptr puts the silent default back.
void setDialogs(Dialogs* service);

// A scripted service for tests: records every box and answers from queues.
class ScriptedDialogs : public Dialogs {
public:
    struct Shown {
        QString kind;  // "messageBox", "showMessage", "inputBox"
        QString title;
        QString text;
        MessageButtons buttons = MessageButtons::Ok;
        MessageIcon icon = MessageIcon::None;
    };

    ScriptedDialogs();  // installs itself
    ~ScriptedDialogs() override;  // puts the previous service back

    std::deque<MessageResult> messageAnswers;            // default when empty: Ok / Yes
    std::deque<std::optional<QString>> inputAnswers;     // default when empty: nullopt
    std::vector<Shown> shown;

    MessageResult messageBox(const QString& text, const QString& title, MessageButtons buttons,
                             MessageIcon icon) override;
    void showMessage(const QString& text) override;
    std::optional<QString> inputBox(const QString& title, const QString& prompt,
                                    const QString& initial) override;

private:
    Dialogs* previous_;
};

}  // namespace qb
