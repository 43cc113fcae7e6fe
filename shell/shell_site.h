#pragma once
// What the shell needs of the main window it arranges and unloads. The main window implements it.

namespace tv {

class Form;
class PictureBox;

class ShellSite {
public:
    virtual Form& window() = 0;
    virtual PictureBox& pictureBox() = 0;
    // Effects stop before the window unloads (the rippling water's timer).
    virtual void stopEffects() = 0;
    // The last step of unloading: timers, timed events, media and components stop, and whoever
    // started the game is told.
    virtual void finishUnloading() = 0;
    // Keys and presses leave a one-time video and a transition alone.
    virtual bool oneTimeVideoPlaying() const = 0;
    virtual bool transitionRunning() const = 0;
    // The options behind the menus.
    virtual void toggleTransitions() = 0;
    virtual void toggleEffects() = 0;
    virtual bool transitionsEnabled() const = 0;
    virtual bool effectsEnabled() const = 0;
    // Sets both options at once, as a new game finds them (without the switches' side effects).
    virtual void setOptionsDisabled(bool transitions, bool effects) = 0;
    virtual void showLoadGameWindow() = 0;
    virtual void showSaveGameWindow() = 0;

protected:
    ~ShellSite() = default;
};

} // namespace tv
