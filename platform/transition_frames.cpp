#include "platform/transition_frames.h"

#include "platform/controls.h"
#include "platform/screen.h"

#include <QPainter>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace tv::transition {

QImage screenPicture(const Control& display) {
    QWidget* widget = display.widget();
    if (!widget) return {};
    QWidget* window = widget->window();
    const QRect area(widget->mapTo(window, QPoint(0, 0)), widget->size());
    return window->grab(area).toImage().convertToFormat(QImage::Format_RGB32);
}

QImage composedPicture(const Control& display) {
    QWidget* widget = display.widget();
    if (!widget || widget->width() <= 0 || widget->height() <= 0) return {};
    QImage image(widget->size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    // Drawn as the display draws itself on the screen: its children are included even while a
    // cover hides the whole of it.
    widget->render(&image);
    return image;
}

QMargins beyondWorkArea(const Control& display, QSize size) {
    const QWidget* widget = display.widget();
    const Form* form = display.form();
    if (!widget || !form) return {};
    // The display lies in the form's picture, which the window may show scaled.
    const QWidget* client = form->clientWidget();
    const QPoint inClient =
        client && client->isAncestorOf(widget) ? widget->mapTo(client, QPoint(0, 0)) : QPoint();
    const double scale = form->stageScale();
    const QPoint origin = form->widget()->mapToGlobal(QPoint(0, 0)) + form->stageRect().topLeft() +
                          QPoint(qRound(inClient.x() * scale), qRound(inClient.y() * scale));
    const QScreen* screen = form->widget()->screen();
    const QRect work = screen ? screen->availableGeometry() : Screen::geometry();
    const QRect frame(origin, size);
    return {std::max(0, work.left() - frame.left()), std::max(0, work.top() - frame.top()),
            std::max(0, frame.right() - work.right()), std::max(0, frame.bottom() - work.bottom())};
}

void drawOnBlack(CanvasControl& box, const QImage& picture) {
    box.setAutoRedraw(true);
    box.setBackColor(color::Black);
    box.Cls();
    if (!picture.isNull())
        box.paintOnDrawing([&picture](QPainter& painter) { painter.drawImage(0, 0, picture); });
}

void blackenMargins(QImage& picture, const QMargins& margins) {
    if (margins.isNull() || picture.isNull()) return;
    QPainter painter(&picture);
    const int w = picture.width(), h = picture.height();
    painter.fillRect(0, 0, margins.left(), h, Qt::black);
    painter.fillRect(w - margins.right(), 0, margins.right(), h, Qt::black);
    painter.fillRect(0, 0, w, margins.top(), Qt::black);
    painter.fillRect(0, h - margins.bottom(), w, margins.bottom(), Qt::black);
}

void Composer::setPictures(const QImage& from, const QImage& to) {
    from_ = from.convertToFormat(QImage::Format_RGB32);
    to_ = QImage(from_.size(), QImage::Format_RGB32);
    to_.fill(Qt::black);
    if (!to.isNull()) {
        QPainter painter(&to_);
        painter.drawImage(0, 0, to);
    }
    next_ = 0;
}

void Composer::clear() {
    from_ = QImage();
    to_ = QImage();
    buffers_[0] = QImage();
    buffers_[1] = QImage();
}

QImage& Composer::nextBuffer() {
    QImage& buffer = buffers_[next_];
    next_ = 1 - next_;
    if (buffer.size() != from_.size()) buffer = QImage(from_.size(), QImage::Format_RGB32);
    return buffer;
}

const QImage& Composer::crossFade(int alpha) {
    QImage& out = nextBuffer();
    alpha = std::clamp(alpha, 0, 255);
    QPainter painter(&out);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, alpha == 255 ? to_ : from_);
    if (alpha > 0 && alpha < 255) {
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.setOpacity(alpha / 255.0);
        painter.drawImage(0, 0, to_);
    }
    return out;
}

int Composer::offsetAt(Slide kind, double progress) const {
    const bool across = kind == Slide::FromLeft || kind == Slide::FromRight;
    const int way = across ? from_.width() : from_.height();
    const long offset = std::lround(std::clamp(progress, 0.0, 1.0) * way);
    return static_cast<int>(offset);
}

QPoint newFrameAt(Slide kind, int offset, QSize size) {
    const int w = size.width(), h = size.height();
    switch (kind) {
    case Slide::FromLeft: // [new | old] moving right
        return {std::clamp(offset, 0, w) - w, 0};
    case Slide::FromRight: // [old | new] moving left
        return {w - std::clamp(offset, 0, w), 0};
    case Slide::FromTop: // new over old, moving down
        return {0, std::clamp(offset, 0, h) - h};
    case Slide::FromBottom: // old over new, moving up
        return {0, h - std::clamp(offset, 0, h)};
    }
    return {};
}

const QImage& Composer::slide(Slide kind, int offset) {
    QImage& out = nextBuffer();
    const QSize size = from_.size();
    QPainter painter(&out);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    // The old frame lies beside the new one, on the side it leaves by.
    const QPoint to = newFrameAt(kind, offset, size);
    QPoint from = to;
    switch (kind) {
    case Slide::FromLeft:
        from.rx() += size.width();
        break;
    case Slide::FromRight:
        from.rx() -= size.width();
        break;
    case Slide::FromTop:
        from.ry() += size.height();
        break;
    case Slide::FromBottom:
        from.ry() -= size.height();
        break;
    }
    painter.drawImage(to, to_);
    painter.drawImage(from, from_);
    return out;
}

} // namespace tv::transition
