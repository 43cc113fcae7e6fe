#pragma once
// Display modes as a Linux player keeps them: the monitor's own mode is never changed. A game's
// chosen resolution becomes the size of the picture that full screen scales to the monitor, and
// the classic calls keep their contracts on top of that.

#include <QSize>
#include <functional>

namespace tv {

// 1 = 640 x 480, 2 = 800 x 600, 3 = 1024 x 768; an empty size for any other choice.
QSize displayResolutionSize(int choice);

// Switches the mode to `choice`. Nothing happens when the mode already has the target's width;
// a mode larger than the screen cannot be had and is reported once. After a change the pointer
// shows the hourglass for a second and `arrange` lays the windows out again. True when the mode
// changed.
bool SetDisplayResolution(int choice, const std::function<void()>& arrange = {});
// Records the mode found at start-up, for RestoreDisplayMode.
void SaveDisplayMode();
// Back to the recorded mode when the width or height differs from it.
void RestoreDisplayMode();
// Small fonts when text of the system font would be 16 pixels high or less.
bool HasSmallFonts();

} // namespace tv
