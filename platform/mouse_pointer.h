#pragma once
// Mouse pointers of the classic forms runtime: the numbered shapes, custom pointers from cursor,
// icon or picture files, and the screen-wide pointer that overrides every window's own.

#include "platform/picture.h"

#include <QCursor>
#include <QObject>

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

// Screen.MousePointer = number (and Screen.MouseIcon = icon for the custom pointer 99).
void setScreenPointer(int number);
void setScreenPointer(int number, const Picture& icon);

// The classic Screen object: screen size in twips and the screen-wide pointer. A pointer other
// than 0 overrides every window's own pointer until it is set back to 0.
class Screen : public QObject {
    Q_OBJECT
    Q_PROPERTY(int MousePointer READ mousePointer WRITE setMousePointer)
    Q_PROPERTY(tv::Picture MouseIcon READ mouseIcon WRITE setMouseIcon)
    Q_PROPERTY(double Width READ width)
    Q_PROPERTY(double Height READ height)
    Q_PROPERTY(int TwipsPerPixelX READ twipsPerPixel)
    Q_PROPERTY(int TwipsPerPixelY READ twipsPerPixel)

public:
    static Screen& instance();
    ~Screen() override;

    int mousePointer() const { return pointer_; }
    void setMousePointer(int number);
    const Picture& mouseIcon() const { return icon_; }
    void setMouseIcon(const Picture& icon);

    double width() const;
    double height() const;
    int twipsPerPixel() const;

private:
    Screen() = default;
    void apply();

    int pointer_ = pointer::Default;
    Picture icon_;
    bool overriding_ = false;
};

} // namespace tv
