#pragma once
// Input and output for automated runs: mouse clicks, moves and keys delivered to controls as the
// window system would deliver them, and pictures of what a control shows.

#include <QPoint>
#include <QString>
#include <QtGlobal>

namespace tv {

class Control;

namespace automation {

// (x, y) are pixels of `surface`; the event goes to the visible control of the surface's window
// that is topmost at the point.
void click(Control& surface, int x, int y, bool rightButton);
void move(Control& surface, int x, int y);
// Presses the left button at `from`, moves to `to` with the button held and lets go there
// (points of `surface`, possibly outside it).
void drag(Control& surface, QPoint from, QPoint to);
// Key names: Escape, Return, Space, F1..F12, A..Z, 0..9. Returns false for an unknown name.
bool key(Control& window, const QString& name, bool ctrl, bool shift, bool alt);
bool isKeyName(const QString& name);

// Clicks the shown control of `window` whose caption is `caption` (a button, or a label that acts
// as one; "&" marks are ignored). False when there is none.
bool pressButton(Control& window, const QString& caption);

// Selects the entry `text` of a list (or drop-down list) shown in `window`, as a click on it
// would. False when no shown list has that entry.
bool selectEntry(Control& window, const QString& text);
// Types `text` into the text field of `window` that has the focus (or the only shown one), one
// key press a character. False when there is no such field.
bool typeText(Control& window, const QString& text);
// The modal window in front, when one of the player's forms is open modally; null otherwise.
Control* modalWindow();

// The centre of `control` in pixels of `surface` (both in one window).
QPoint centreOf(Control& surface, Control& control);
// Whether `control` is what the pointer would be over at `at` (pixels of `surface`).
bool isTopmostAt(Control& surface, QPoint at, Control& control);

// The colour shown at (x, y) as 0xRRGGBB, or -1 outside the control.
qint64 pixel(Control& surface, int x, int y);
// Saves what the control shows (with its child controls) as a PNG.
bool saveScreenshot(Control& surface, const QString& path);
// The same picture made small (at most `width` pixels wide, its shape kept), written as a PNG
// through a temporary file so that a failed write leaves any earlier picture whole.
bool saveThumbnail(Control& surface, const QString& path, int width);

} // namespace automation
} // namespace tv
