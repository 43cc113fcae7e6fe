#include "platform/mouse_pointer.h"

#include "platform/controls.h"
#include "platform/core/errors.h"

#include <QPainter>
#include <QPixmap>
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
    if (!isValidMousePointer(number)) throw vbError(err::InvalidPropertyValue);
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

} // namespace tv
