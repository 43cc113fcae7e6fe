#pragma once
// Mouse pointers of the classic forms runtime: the numbered shapes and custom pointers from
// cursor, icon or picture files. The screen-wide pointer is the screen's (platform/screen.h).

#include "platform/picture.h"

#include <QCursor>

#include <optional>

class QWidget;

namespace tv {

// The classic pointer numbers.
namespace pointer {
constexpr int Default = 0;
constexpr int Arrow = 1;
constexpr int Cross = 2;
constexpr int IBeam = 3;
constexpr int Icon = 4;
constexpr int Size = 5;
constexpr int SizeNESW = 6;
constexpr int SizeNS = 7;
constexpr int SizeNWSE = 8;
constexpr int SizeWE = 9;
constexpr int UpArrow = 10;
constexpr int Hourglass = 11;
constexpr int NoDrop = 12;
constexpr int ArrowHourglass = 13;
constexpr int ArrowQuestion = 14;
constexpr int SizeAll = 15;
constexpr int Custom = 99;
} // namespace pointer

bool isValidMousePointer(int number);
// Throws VbError 380 (Invalid property value) for numbers the runtime does not know.
void checkMousePointer(int number);

// The cursor of a custom pointer picture. A cursor file gives its own hot spot; an icon is held
// at its centre, as the system does with icons; any other picture at its top-left corner.
QCursor cursorFromPicture(const Picture& picture);

// The cursor for a pointer number; no value means "the default": a control then shows what its
// container shows. Custom (99) with an empty icon is the default too.
std::optional<QCursor> cursorForPointer(int number, const Picture& icon = {});

// Sets or clears the widget's cursor for the pointer number.
void applyMousePointer(QWidget* widget, int number, const Picture& icon = {});

} // namespace tv
