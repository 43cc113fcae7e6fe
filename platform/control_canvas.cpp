// Canvas controls (forms and picture boxes): back colour, picture and the persistent drawing.

#include "platform/control_widget.h"
#include "platform/controls.h"
#include "platform/core/errors.h"

#include <QFontMetrics>
#include <QPainter>

#include <cmath>

namespace tv {

namespace {

QStringList printLines(const QString& text) {
    QString normalised = text;
    normalised.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normalised.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return normalised.split(QLatin1Char('\n'));
}

double optionalNumber(const QVariant& value, double fallback) {
    if (!value.isValid() || value.isNull()) return fallback;
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok) throw vbError(err::TypeMismatch);
    return number;
}

} // namespace

CanvasControl::CanvasControl(Control* container, const QString& name, detail::ControlWidget* widget,
                             detail::ControlWidget* client)
    : ContainerControl(container, name, widget, client) {
    client->setAttribute(Qt::WA_OpaquePaintEvent);
}

void CanvasControl::setSeeThrough(bool on) {
    seeThrough_ = on;
    if (QWidget* client = clientWidget()) {
        client->setAttribute(Qt::WA_OpaquePaintEvent, !on);
        client->update();
    }
    if (QWidget* outer = widget()) outer->setAttribute(Qt::WA_OpaquePaintEvent, !on);
}

void CanvasControl::setBackColor(quint32 color) {
    backColor_ = color;
    drawing_ = QImage();
    if (QWidget* client = clientWidget()) client->update();
}

void CanvasControl::setForeColor(quint32 color) {
    foreColor_ = color;
}

void CanvasControl::setPicture(const Picture& picture) {
    picture_ = picture;
    if (QWidget* client = clientWidget()) client->update();
}

void CanvasControl::setDrawWidth(int width) {
    if (width < 1) throw vbError(err::InvalidPropertyValue);
    drawWidth_ = width;
}

void CanvasControl::setFontSize(double size) {
    if (!(size > 0)) throw vbError(err::InvalidPropertyValue);
    font_.size = size;
}

QImage CanvasControl::composedImage() const {
    const QWidget* client = clientWidget();
    if (!client || client->width() <= 0 || client->height() <= 0) return {};
    QImage image(client->size(), QImage::Format_RGB32);
    QPainter painter(&image);
    paintClient(painter);
    return image;
}

Picture CanvasControl::image() const {
    return Picture(composedImage(), Picture::Bitmap);
}

void CanvasControl::paintClient(QPainter& painter) const {
    const QWidget* client = clientWidget();
    if (!seeThrough_)
        painter.fillRect(QRect(QPoint(0, 0), client->size()), fromOleColor(backColor_));
    if (!picture_.isNull()) painter.drawImage(0, 0, picture_.image());
    if (!drawing_.isNull()) painter.drawImage(0, 0, drawing_);
}

void CanvasControl::paint(QWidget* widget, QPainter& painter) {
    if (widget == clientWidget()) paintClient(painter);
}

QImage& CanvasControl::drawing() {
    // The drawing covers the inner area; it grows with it and keeps what was drawn.
    const QSize need = clientWidget()->size().expandedTo(drawing_.size()).expandedTo(QSize(1, 1));
    if (drawing_.size() != need) {
        QImage grown(need, QImage::Format_ARGB32_Premultiplied);
        grown.fill(Qt::transparent);
        if (!drawing_.isNull()) {
            QPainter painter(&grown);
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            painter.drawImage(0, 0, drawing_);
        }
        drawing_ = std::move(grown);
    }
    return drawing_;
}

void CanvasControl::paintOnDrawing(const std::function<void(QPainter&)>& paint) {
    QImage& target = drawing();
    {
        QPainter painter(&target);
        painter.setClipRect(QRect(QPoint(0, 0), clientWidget()->size()));
        paint(painter);
    }
    clientWidget()->update();
}

void CanvasControl::Cls() {
    drawing_ = QImage();
    currentX_ = 0;
    currentY_ = 0;
    clientWidget()->update();
}

void CanvasControl::PaintPicture(const Picture& picture, double x, double y, const QVariant& width,
                                 const QVariant& height, const QVariant& srcX, const QVariant& srcY,
                                 const QVariant& srcWidth, const QVariant& srcHeight) {
    if (picture.isNull()) throw vbError(err::InvalidPicture);
    const QImage& source = picture.image();
    const int sx = toPixelsX(optionalNumber(srcX, 0));
    const int sy = toPixelsY(optionalNumber(srcY, 0));
    const int sw =
        std::abs(srcWidth.isValid() ? toPixelsX(optionalNumber(srcWidth, 0)) : source.width() - sx);
    const int sh = std::abs(srcHeight.isValid() ? toPixelsY(optionalNumber(srcHeight, 0))
                                                : source.height() - sy);
    const int dw = width.isValid() ? toPixelsX(optionalNumber(width, 0)) : sw;
    const int dh = height.isValid() ? toPixelsY(optionalNumber(height, 0)) : sh;
    if (sw == 0 || sh == 0 || dw == 0 || dh == 0) return;

    QImage part = source.copy(sx, sy, sw, sh);
    if (dw < 0 || dh < 0) part = part.mirrored(dw < 0, dh < 0);
    const int dx = toPixelsX(x);
    const int dy = toPixelsY(y);
    const QRect target(std::min(dx, dx + dw), std::min(dy, dy + dh), std::abs(dw), std::abs(dh));
    paintOnDrawing([&](QPainter& painter) { painter.drawImage(target, part); });
}

void CanvasControl::Print(const QString& text) {
    const QFont font = font_.toQFont();
    const QFontMetrics metrics(font);
    const QColor fore = fromOleColor(foreColor_);
    const QColor back = fromOleColor(backColor_);
    paintOnDrawing([&](QPainter& painter) {
        painter.setFont(font);
        painter.setPen(fore);
        for (const QString& line : printLines(text)) {
            const int x = toPixelsX(currentX_);
            const int y = toPixelsY(currentY_);
            if (!fontTransparent_)
                painter.fillRect(QRect(x, y, metrics.horizontalAdvance(line), metrics.height()),
                                 back);
            painter.drawText(x, y + metrics.ascent(), line);
            currentX_ = 0;
            currentY_ += toUnitsY(metrics.height());
        }
    });
}

double CanvasControl::TextWidth(const QString& text) const {
    const QFontMetrics metrics(font_.toQFont());
    int widest = 0;
    for (const QString& line : printLines(text))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return toUnitsX(widest);
}

double CanvasControl::TextHeight(const QString& text) const {
    const QFontMetrics metrics(font_.toQFont());
    return toUnitsY(double(metrics.height()) * printLines(text).size());
}

QColor CanvasControl::colorArgument(const QVariant& color) const {
    if (!color.isValid() || color.isNull()) return fromOleColor(foreColor_);
    bool ok = false;
    const qlonglong number = color.toLongLong(&ok);
    if (!ok) throw vbError(err::TypeMismatch);
    return fromOleColor(quint32(number));
}

void CanvasControl::Line(double x1, double y1, double x2, double y2, const QVariant& color,
                         int style) {
    const QColor c = colorArgument(color);
    const QPoint from(toPixelsX(x1), toPixelsY(y1));
    const QPoint to(toPixelsX(x2), toPixelsY(y2));
    paintOnDrawing([&](QPainter& painter) {
        const QRect box = QRect(from, to).normalized();
        if (style == 2) {
            painter.fillRect(box, c);
        } else {
            painter.setPen(QPen(c, drawWidth_));
            if (style == 1)
                painter.drawRect(QRectF(box.x(), box.y(), box.width() - 1, box.height() - 1));
            else
                painter.drawLine(from, to);
        }
    });
    currentX_ = x2;
    currentY_ = y2;
}

void CanvasControl::PSet(double x, double y, const QVariant& color) {
    const QColor c = colorArgument(color);
    const int half = (drawWidth_ - 1) / 2;
    const QRect dot(toPixelsX(x) - half, toPixelsY(y) - half, drawWidth_, drawWidth_);
    paintOnDrawing([&](QPainter& painter) { painter.fillRect(dot, c); });
    currentX_ = x;
    currentY_ = y;
}

// ---------------------------------------------------------------------------------------------
// PictureBox

PictureBox::PictureBox(Control* container, const QString& name)
    : CanvasControl(container, name, new detail::ControlWidget, new detail::ControlWidget) {
    layoutClient();
}

void PictureBox::setBorderStyle(int style) {
    if (style < 0 || style > 1) throw vbError(err::InvalidPropertyValue);
    borderStyle_ = style;
    layoutClient();
    widget()->update();
}

void PictureBox::setAutoSize(bool on) {
    autoSize_ = on;
    if (on) setPicture(picture());
}

void PictureBox::setPicture(const Picture& picture) {
    CanvasControl::setPicture(picture);
    if (autoSize_ && !picture.isNull()) {
        QRect rect = pixelGeometry();
        rect.setSize(picture.image().size() + QSize(2, 2) * borderWidth());
        setPixelGeometry(rect);
    }
}

void PictureBox::setPixelGeometry(const QRect& rect) {
    CanvasControl::setPixelGeometry(rect);
    layoutClient();
}

void PictureBox::layoutClient() {
    const int border = borderWidth();
    const QRect outer = widget()->rect();
    clientWidget()->setGeometry(border, border, std::max(0, outer.width() - 2 * border),
                                std::max(0, outer.height() - 2 * border));
}

void PictureBox::paint(QWidget* widget, QPainter& painter) {
    if (widget != this->widget()) {
        CanvasControl::paint(widget, painter);
        return;
    }
    if (borderWidth() == 0) return;
    // The sunken 3D border: shadow above and left, light below and right.
    const QRect r = widget->rect().adjusted(0, 0, -1, -1);
    const auto edge = [&](const QRect& box, quint32 topLeft, quint32 bottomRight) {
        painter.setPen(fromOleColor(topLeft));
        painter.drawLine(box.topLeft(), box.topRight());
        painter.drawLine(box.topLeft(), box.bottomLeft());
        painter.setPen(fromOleColor(bottomRight));
        painter.drawLine(box.bottomLeft(), box.bottomRight());
        painter.drawLine(box.topRight(), box.bottomRight());
    };
    edge(r, 0x80000010, 0x80000014);
    edge(r.adjusted(1, 1, -1, -1), 0x80000015, 0x80000016);
}

} // namespace tv
