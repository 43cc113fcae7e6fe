#include "platform/mouse_pointer.h"

#include "platform/controls.h"
#include "platform/vberror.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

namespace tv {

namespace {

// The old "icon" pointer: a small square inside a square. No standard cursor looks like it.
QCursor iconPointer() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawRect(0, 0, 15, 15);
    painter.setBrush(Qt::black);
    painter.drawRect(5, 5, 5, 5);
    painter.end();
    return QCursor(pixmap, 8, 8);
}

} // namespace

bool isValidMousePointer(int number) {
    return (number >= pointer::Default && number <= pointer::SizeAll) || number == pointer::Custom;
}

void checkMousePointer(int number) {
    if (!isValidMousePointer(number)) throw VbError(err::InvalidPropertyValue);
}

QCursor cursorFromPicture(const Picture& picture) {
    const QPixmap pixmap = QPixmap::fromImage(picture.image());
    if (picture.hasHotSpot()) return QCursor(pixmap, picture.hotSpot().x(), picture.hotSpot().y());
    if (picture.type() == Picture::Icon)
        return QCursor(pixmap, pixmap.width() / 2, pixmap.height() / 2);
    return QCursor(pixmap, 0, 0);
}

std::optional<QCursor> cursorForPointer(int number, const Picture& icon) {
    switch (number) {
    case pointer::Arrow:
        return QCursor(Qt::ArrowCursor);
    case pointer::Cross:
        return QCursor(Qt::CrossCursor);
    case pointer::IBeam:
        return QCursor(Qt::IBeamCursor);
    case pointer::Icon:
        return iconPointer();
    case pointer::Size:
    case pointer::SizeAll:
        return QCursor(Qt::SizeAllCursor);
    case pointer::SizeNESW:
        return QCursor(Qt::SizeBDiagCursor);
    case pointer::SizeNS:
        return QCursor(Qt::SizeVerCursor);
    case pointer::SizeNWSE:
        return QCursor(Qt::SizeFDiagCursor);
    case pointer::SizeWE:
        return QCursor(Qt::SizeHorCursor);
    case pointer::UpArrow:
        return QCursor(Qt::UpArrowCursor);
    case pointer::Hourglass:
        return QCursor(Qt::WaitCursor);
    case pointer::NoDrop:
        return QCursor(Qt::ForbiddenCursor);
    case pointer::ArrowHourglass:
        return QCursor(Qt::BusyCursor);
    case pointer::ArrowQuestion:
        return QCursor(Qt::WhatsThisCursor);
    case pointer::Custom:
        if (icon.isNull()) return std::nullopt;
        return cursorFromPicture(icon);
    default:
        return std::nullopt;
    }
}

void applyMousePointer(QWidget* widget, int number, const Picture& icon) {
    if (!widget) return;
    if (const auto cursor = cursorForPointer(number, icon))
        widget->setCursor(*cursor);
    else
        widget->unsetCursor();
}

void setScreenPointer(int number) {
    Screen::instance().setMousePointer(number);
}

void setScreenPointer(int number, const Picture& icon) {
    checkMousePointer(number);
    Screen::instance().setMouseIcon(icon);
    Screen::instance().setMousePointer(number);
}

Screen& Screen::instance() {
    static Screen* screen = new Screen;
    return *screen;
}

Screen::~Screen() = default;

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
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().width() * double(kTwipsPerPixel) : 0.0;
}

double Screen::height() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().height() * double(kTwipsPerPixel) : 0.0;
}

int Screen::twipsPerPixel() const {
    return kTwipsPerPixel;
}

} // namespace tv
