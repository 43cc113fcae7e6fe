#pragma once
// What the shell does around the game in the main window: sizing and centring the window and the
// frame display, the menus, the keys and mouse buttons of the window, and the orderly unloading
// of the window.

#include "platform/timer_control.h"

#include <QList>
#include <memory>

namespace tv {

class ShellSite;
class MenuItem;

class MainWindowShell {
public:
    // The four function keys that, pressed in turn, reveal the debug menu.
    static constexpr int kDebugSequence[4] = {116, 120, 114, 118}; // F5, F9, F3, F7
    // Saves a picture of the frame into the user's pictures folder.
    static constexpr int kPictureKey = 123; // F12

    explicit MainWindowShell(ShellSite& site);
    ~MainWindowShell();

    // The main window's menus, captioned from the interface texts where they are not empty.
    void createMenus();

    // Windowed: the window's inner area is the frame display, centred on the screen. Full
    // screen: the window covers the screen and the frame display is centred in it.
    void CenterWindowAndPictureBox();
    void ShowMenus();
    void HideMenus();
    // The script's change of display mode (1 to 3); the windows are laid out again after it.
    void ChangeDisplayResolution(int code);
    // Whether the menus are shown ("Exit" visible), and whether a menu is being opened.
    bool menusShown() const;
    bool menuOpening() const { return menuOpen_; }

    // Key-down and mouse presses on the main window.
    void keyDown(int key, int shift);
    void windowMouseDown(int button);
    // A press on any surface of the frame: the right button shows the menus, or hides them
    // unless one is being opened; any other button hides them.
    void menusForPress(int button);
    // F12: the frame as a PNG in the user's pictures folder, named after the game, the date and
    // the time (logged "picture PATH").
    void savePicture();
    // Alt+Enter: full screen becomes a window and the other way round.
    void toggleFullScreen();
    // The exit menu's question; Yes unloads the game.
    void mnuExit_Click();

    // Sets the quitting flag and unloads the window half a second later.
    void StartUnloading();
    // Stops media and timers, hides the window and tells whoever started the game.
    void unload();

    // The menu items, for scripts and automation; null before createMenus().
    MenuItem* mnuExit() const { return exit_; }
    MenuItem* mnuOptions() const { return options_; }
    MenuItem* mnuDisableTransitions() const { return transitions_; }
    MenuItem* mnuDisableEffects() const { return effects_; }
    MenuItem* mnuLoadGame() const { return load_; }
    MenuItem* mnuSaveGame() const { return save_; }
    MenuItem* mnuDebug() const { return debug_; }
    MenuItem* mnuCancel() const { return cancel_; }
    // Every menu and item, menus before their items.
    QList<MenuItem*> menuItems() const;
    // The options' check marks show what the options are now.
    void syncChecks();
    // The options outlive a game: a switch stores its new state per user ("DisableTransitions",
    // "DisableEffects"), and a new game starts with the stored ticks.
    void rememberOption(const QString& key, bool disabled);
    void restoreOptions();

    TimerControl TimerUnloadMe{"TimerUnloadMe"};

private:
    ShellSite& site_;
    MenuItem* exit_ = nullptr;
    MenuItem* options_ = nullptr;
    MenuItem* transitions_ = nullptr;
    MenuItem* effects_ = nullptr;
    MenuItem* load_ = nullptr;
    MenuItem* save_ = nullptr;
    MenuItem* debug_ = nullptr;
    MenuItem* cancel_ = nullptr;
    bool menuOpen_ = false;
    int sequenceAt_ = 0; // keys of the debug sequence pressed so far
};

} // namespace tv
