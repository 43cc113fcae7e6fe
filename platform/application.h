#pragma once
// The program's window-system connection: a desktop window, or offscreen rendering when
// headless. Text is laid out at 96 dots per inch whatever the screen, so that a frame looks the
// same everywhere.

#include <memory>

class QApplication;

namespace tv {

class QtDialogPresenter;

class Application {
public:
    Application(int& argc, char** argv, bool headless);
    ~Application();

    // Whether a desktop (X11 or Wayland) can be reached.
    static bool displayAvailable();

private:
    std::unique_ptr<QApplication> app_;
    std::unique_ptr<QtDialogPresenter> dialogs_;
};

} // namespace tv
