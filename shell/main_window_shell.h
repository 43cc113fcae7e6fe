#pragma once
// What the shell does around the game in the main window: sizing and centring the window and the
// frame display, the menus, and the orderly unloading of the window.

#include "platform/timer_control.h"

namespace tv {

class ShellSite;

class MainWindowShell {
public:
    explicit MainWindowShell(ShellSite& site);

    // Windowed: the window's inner area is the frame display, centred on the screen. Full
    // screen: the window covers the screen and the frame display is centred in it.
    void CenterWindowAndPictureBox();
    void ShowMenus() {}
    void HideMenus() {}
    // Display modes come with the display work; the request is accepted and nothing changes.
    void ChangeDisplayResolution(int /*code*/) {}
    // Whether the menus are shown ("Exit" visible), and whether a menu is being opened.
    bool menusShown() const { return false; }
    bool menuOpening() const { return false; }

    // Sets the quitting flag and unloads the window half a second later.
    void StartUnloading();
    // Stops media and timers, hides the window and tells whoever started the game.
    void unload();

    TimerControl TimerUnloadMe{"TimerUnloadMe"};

private:
    ShellSite& site_;
};

} // namespace tv
