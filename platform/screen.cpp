#include "platform/screen.h"

#include "platform/controls.h"
#include "platform/core/errors.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QScreen>

namespace tv {

Screen& Screen::instance() {
    // Never destroyed: windows may still reset the pointer while the program ends.
    static Screen* screen = new Screen;
    return *screen;
}

Screen::~Screen() = default;

QRect Screen::geometry() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 800, 600);
}

namespace {
QSize& modeSet() {
    static QSize size;
    return size;
}
} // namespace

QSize DisplayMode::current() {
    return modeSet().isEmpty() ? Screen::geometry().size() : modeSet();
}

void DisplayMode::set(QSize size) {
    modeSet() = size;
}

double DisplayMode::logicalDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchY() : 96.0;
}

void Screen::setMousePointer(int number) {
    checkMousePointer(number);
    pointer_ = number;
    apply();
}

void Screen::setMouseIcon(const Picture& icon) {
    icon_ = icon;
    apply();
}

void Screen::apply() {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return;
    const auto cursor = cursorForPointer(pointer_, icon_);
    if (!cursor) {
        if (overriding_) QGuiApplication::restoreOverrideCursor();
        overriding_ = false;
        return;
    }
    if (overriding_) {
        QGuiApplication::changeOverrideCursor(*cursor);
    } else {
        QGuiApplication::setOverrideCursor(*cursor);
        overriding_ = true;
    }
}

double Screen::width() const {
    return DisplayMode::current().width() * double(kTwipsPerPixel);
}

double Screen::height() const {
    return DisplayMode::current().height() * double(kTwipsPerPixel);
}

int Screen::twipsPerPixel() const {
    return kTwipsPerPixel;
}

int Screen::fontCount() const {
    return static_cast<int>(QFontDatabase::families().size());
}

QString Screen::Fonts(int index) const {
    const QStringList families = QFontDatabase::families();
    if (index < 0 || index >= families.size()) throw vbError(err::InvalidCall);
    return families[index];
}

void setScreenPointer(int number) {
    Screen::instance().setMousePointer(number);
}

void setScreenPointer(int number, const Picture& icon) {
    checkMousePointer(number);
    Screen::instance().setMouseIcon(icon);
    Screen::instance().setMousePointer(number);
}

} // namespace tv
