#pragma once
// The screen: one service for its size and for the screen-wide pointer, used by the windows and
// by scripts (as the classic Screen object). Without a screen (no window system, as in some unit
// tests) it answers as the offscreen platform does: 800 x 600 pixels.

#include "platform/mouse_pointer.h"
#include "platform/picture.h"

#include <QObject>
#include <QRect>
#include <QSize>
#include <QString>

namespace tv {

class Screen : public QObject {
    Q_OBJECT
    Q_PROPERTY(double Width READ width)
    Q_PROPERTY(double Height READ height)
    Q_PROPERTY(int TwipsPerPixelX READ twipsPerPixel)
    Q_PROPERTY(int TwipsPerPixelY READ twipsPerPixel)
    Q_PROPERTY(int MousePointer READ mousePointer WRITE setMousePointer)
    Q_PROPERTY(tv::Picture MouseIcon READ mouseIcon WRITE setMouseIcon)
    Q_PROPERTY(int FontCount READ fontCount)

public:
    static Screen& instance();
    ~Screen() override;

    // The primary screen in pixels.
    static QRect geometry();

    // A pointer other than 0 overrides every window's own pointer until it is set back to 0.
    // Numbers the runtime does not know fail with 380 (Invalid property value).
    int mousePointer() const { return pointer_; }
    void setMousePointer(int number);
    const Picture& mouseIcon() const { return icon_; }
    void setMouseIcon(const Picture& icon);

    // In twips.
    double width() const;
    double height() const;
    int twipsPerPixel() const;

    int fontCount() const;
    Q_INVOKABLE QString Fonts(int index) const;

private:
    Screen() = default;
    void apply();

    int pointer_ = pointer::Default;
    Picture icon_;
    bool overriding_ = false;
};

// The display mode as games see it. The monitor's own mode is never changed: the mode a game
// sets is the size of the picture that a full-screen window scales to the monitor.
class DisplayMode {
public:
    // The mode set, or the screen's own size when none is.
    static QSize current();
    // An empty size goes back to the screen's own.
    static void set(QSize size);
    // The screen's logical dots per inch (96 when there is no screen).
    static double logicalDpi();
};

// Screen.MousePointer = number (and Screen.MouseIcon = icon for the custom pointer 99).
void setScreenPointer(int number);
void setScreenPointer(int number, const Picture& icon);

} // namespace tv
