#include "shell/main_window_shell.h"

#include "data/project.h"
#include "engine/game.h"
#include "platform/controls.h"
#include "platform/mouse_pointer.h"

#include <QGuiApplication>
#include <QScreen>

namespace tv {

MainWindowShell::MainWindowShell(Game& game) : game_(game) {
    QObject::connect(&TimerUnloadMe, &TimerControl::Timer, [this] {
        game_.window().setProperty("Enabled", true);
        setScreenPointer(0);
        TimerUnloadMe.setEnabled(false);
        unload();
    });
}

void MainWindowShell::CenterWindowAndPictureBox() {
    const ProjectSettings& s = project().settings;
    Form& window = game_.window();
    PictureBox& display = game_.pictureBox();
    const int displayWidth = s.ProjectWidth * kTwipsPerPixel;
    const int displayHeight = s.ProjectHeight * kTwipsPerPixel;
    const QRect screen = QGuiApplication::primaryScreen()
                             ? QGuiApplication::primaryScreen()->geometry()
                             : QRect(0, 0, 1024, 768);
    window.setProperty("WindowState", 0);
    if (s.MenusAlwaysVisible) {
        ShowMenus();
        window.setProperty("Caption", s.GameTitle + " ");
        window.setInnerSize(displayWidth, displayHeight);
        display.Move(0, 0, displayWidth, displayHeight);
        const int w = window.property("Width").toInt(), h = window.property("Height").toInt();
        window.Move(screen.width() * kTwipsPerPixel / 2 - w / 2,
                    screen.height() * kTwipsPerPixel / 2 - h / 2);
    } else {
        window.setProperty("Caption", QString());
        HideMenus();
        window.Move(0, 0, screen.width() * kTwipsPerPixel, screen.height() * kTwipsPerPixel);
        window.setProperty("WindowState", 2);
        const int left = (screen.width() * kTwipsPerPixel) / 2 - displayWidth / 2;
        const int top = (screen.height() * kTwipsPerPixel) / 2 - displayHeight / 2;
        display.Move(left, top, displayWidth, displayHeight);
    }
}

void MainWindowShell::StartUnloading() {
    GameFlags& f = flags();
    f.stopMovie = true;
    f.skipTransition = true;
    f.quitting = true;
    game_.TimerRipplingWater.setEnabled(false);
    setScreenPointer(11);
    game_.window().setProperty("Enabled", false);
    TimerUnloadMe.setInterval(500);
    TimerUnloadMe.setEnabled(true);
}

void MainWindowShell::unload() {
    GameFlags& f = flags();
    game_.window().Hide();
    f.stopMovie = true;
    f.skipTransition = true;
    game_.Timer1.setEnabled(false);
    game_.timedEvents.PauseTimedEvents();
    game_.video.StopOneTimeVideoPlayer();
    game_.audio.ResetPlayers();
    game_.components.ResetComponents();
    emit game_.unloaded();
}

} // namespace tv
