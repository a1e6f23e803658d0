#pragma once
// The program's ten windows: created once, in their order, each reached through its global
// variable for the program's whole life, and gone in the reverse order. The search window, the
// picture viewer and the about box, which the first frame does not show, are made at their
// first use through their globals; the others at start-up.

#include <QString>

#include <memory>
#include <optional>

class TMainForm;
class TPasswordForm;
class TDataModule1;
class TSearchForm;
class TMessageForm;
class TSplashForm;
class TOptionsForm;
class TPictureForm;
class TDesktopCalendarForm;
class TAboutForm;

class ProgramWindows {
  public:
    // folder, when given, stands for the program folder (tests and benchmarks point the
    // program at a diary of their own); it is taken once the main window has set its own.
    explicit ProgramWindows(const std::optional<QString>& folder = std::nullopt);
    ~ProgramWindows();
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    TMainForm& main() const { return *mainForm_; }

  private:
    std::unique_ptr<TMainForm> mainForm_;
    std::unique_ptr<TPasswordForm> passwordForm_;
    std::unique_ptr<TDataModule1> dataModule_;
    std::unique_ptr<TSearchForm> searchForm_;
    std::unique_ptr<TMessageForm> messageForm_;
    std::unique_ptr<TSplashForm> splashForm_;
    std::unique_ptr<TOptionsForm> optionsForm_;
    std::unique_ptr<TPictureForm> pictureForm_;
    std::unique_ptr<TDesktopCalendarForm> desktopCalendarForm_;
    std::unique_ptr<TAboutForm> aboutForm_;
};
