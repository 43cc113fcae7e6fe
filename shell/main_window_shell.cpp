#include "shell/main_window_shell.h"

#include "data/project.h"
#include "platform/controls.h"
#include "platform/core/run_flags.h"
#include "platform/screen.h"
#include "shell/shell_site.h"

namespace tv {

MainWindowShell::MainWindowShell(ShellSite& site) : site_(site) {
    QObject::connect(&TimerUnloadMe, &TimerControl::Timer, [this] {
        site_.window().setEnabled(true);
        setScreenPointer(pointer::Default);
        TimerUnloadMe.setEnabled(false);
        unload();
    });
}

void MainWindowShell::CenterWindowAndPictureBox() {
    const ProjectSettings& s = project().settings;
    Form& window = site_.window();
    PictureBox& display = site_.pictureBox();
    const int displayWidth = s.ProjectWidth * kTwipsPerPixel;
    const int displayHeight = s.ProjectHeight * kTwipsPerPixel;
    const QRect screen = Screen::geometry();
    window.setWindowState(windowState::Normal);
    if (s.MenusAlwaysVisible) {
        ShowMenus();
        window.setCaption(s.GameTitle + " ");
        window.setInnerSize(displayWidth, displayHeight);
        display.Move(0, 0, displayWidth, displayHeight);
        const int w = qRound(window.width()), h = qRound(window.height());
        window.Move(screen.width() * kTwipsPerPixel / 2 - w / 2,
                    screen.height() * kTwipsPerPixel / 2 - h / 2);
    } else {
        window.setCaption(QString());
        HideMenus();
        window.Move(0, 0, screen.width() * kTwipsPerPixel, screen.height() * kTwipsPerPixel);
        window.setWindowState(windowState::Maximized);
        const int left = (screen.width() * kTwipsPerPixel) / 2 - displayWidth / 2;
        const int top = (screen.height() * kTwipsPerPixel) / 2 - displayHeight / 2;
        display.Move(left, top, displayWidth, displayHeight);
    }
}

void MainWindowShell::StartUnloading() {
    RunFlags& f = runFlags();
    f.stopMovie = true;
    f.skipTransition = true;
    f.quitting = true;
    site_.stopEffects();
    setScreenPointer(pointer::Hourglass);
    site_.window().setEnabled(false);
    TimerUnloadMe.setInterval(500);
    TimerUnloadMe.setEnabled(true);
}

void MainWindowShell::unload() {
    RunFlags& f = runFlags();
    site_.window().Hide();
    f.stopMovie = true;
    f.skipTransition = true;
    site_.finishUnloading();
}

} // namespace tv
