#pragma once
// Input and output for automated runs: mouse clicks, moves and keys delivered to controls as the
// window system would deliver them, and pictures of what a control shows.

#include <QString>
#include <QtGlobal>

namespace tv {

class Control;

namespace automation {

// (x, y) are pixels of `surface`; the event goes to the visible control under the point.
void click(Control& surface, int x, int y, bool rightButton);
void move(Control& surface, int x, int y);
// Key names: Escape, Return, Space, F1..F12, A..Z, 0..9. Returns false for an unknown name.
bool key(Control& window, const QString& name, bool ctrl, bool shift, bool alt);
bool isKeyName(const QString& name);

// The colour shown at (x, y) as 0xRRGGBB, or -1 outside the control.
qint64 pixel(Control& surface, int x, int y);
// Saves what the control shows (with its child controls) as a PNG.
bool saveScreenshot(Control& surface, const QString& path);

} // namespace automation
} // namespace tv
