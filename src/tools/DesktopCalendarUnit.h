#pragma once
// The desktop calendar. For now a small borderless window that stays on top, with its close
// command: closing it while the main window is hidden ends the program. Its month, its roll and
// its menu come with its own work.

#include <QWidget>

#include <functional>

class TDesktopCalendarForm : public QWidget {
    Q_OBJECT

  public:
    explicit TDesktopCalendarForm(QWidget* parent = nullptr);

    // Hides the window; when the main window is hidden too, the program ends.
    void CloseImageClick();

    // Set by the program once the main window exists.
    std::function<bool()> MainWindowVisible;
    std::function<void()> EndProgram;

    void FormCreate();
    void FormShow();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

extern TDesktopCalendarForm* DesktopCalendarForm;
