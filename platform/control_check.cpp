// Check boxes.

#include "platform/control_widget.h"
#include "platform/controls.h"
#include "platform/core/errors.h"

#include <QMouseEvent>
#include <QPainter>

namespace tv {

namespace {

constexpr int kCaptionGap = 4; // pixels between the box and its caption

// The classic sunken box: a two-pixel edge, a white face (grey when it cannot change) and the
// tick.
void drawBox(QPainter& painter, const QRect& box, int value, bool enabled) {
    const QColor shadow = fromOleColor(0x80000010);
    const QColor darkShadow = fromOleColor(0x80000015);
    const QColor light = fromOleColor(0x80000016);
    const QColor highlight = fromOleColor(0x80000014);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QRect inner = box.adjusted(2, 2, -2, -2);
    painter.fillRect(inner, value == 2 || !enabled ? fromOleColor(color::ButtonFace)
                                                   : fromOleColor(color::WindowBackground));
    const int l = box.left(), t = box.top(), r = box.right(), b = box.bottom();
    painter.setPen(shadow);
    painter.drawLine(l, t, r - 1, t);
    painter.drawLine(l, t, l, b - 1);
    painter.setPen(darkShadow);
    painter.drawLine(l + 1, t + 1, r - 2, t + 1);
    painter.drawLine(l + 1, t + 1, l + 1, b - 2);
    painter.setPen(highlight);
    painter.drawLine(l, b, r, b);
    painter.drawLine(r, t, r, b);
    painter.setPen(light);
    painter.drawLine(l + 1, b - 1, r - 1, b - 1);
    painter.drawLine(r - 1, t + 1, r - 1, b - 1);
    if (value != 0) {
        // A tick three pixels thick, as the classic box draws it.
        const QColor ink = value == 2 || !enabled ? shadow : QColor(Qt::black);
        const int x = inner.left() + 1, y = inner.top() + 3;
        painter.setPen(ink);
        for (int row = 0; row < 3; ++row) {
            painter.drawLine(x, y + 2 + row, x + 2, y + 4 + row);
            painter.drawLine(x + 2, y + 4 + row, x + 6, y + row);
        }
    }
    painter.restore();
}

} // namespace

CheckBox::CheckBox(Control* container, const QString& name)
    : Control(container, name, new detail::ControlWidget, false) {
    widget()->setAttribute(Qt::WA_OpaquePaintEvent);
}

void CheckBox::setCaption(const QString& caption) {
    caption_ = caption;
    widget()->update();
}

void CheckBox::setValue(int value) {
    if (value < 0 || value > 2) throw vbError(err::InvalidPropertyValue);
    if (value == value_) return;
    value_ = value;
    widget()->update();
    emit Click();
}

void CheckBox::setAlignment(int alignment) {
    if (alignment < 0 || alignment > 1) throw vbError(err::InvalidPropertyValue);
    alignment_ = alignment;
    widget()->update();
}

void CheckBox::setBackColor(quint32 color) {
    backColor_ = color;
    widget()->update();
}

void CheckBox::setForeColor(quint32 color) {
    foreColor_ = color;
    widget()->update();
}

void CheckBox::setFontName(const QString& name) {
    font_.name = name;
    widget()->update();
}

void CheckBox::setFontSize(double size) {
    if (!(size > 0)) throw vbError(err::InvalidPropertyValue);
    font_.size = size;
    widget()->update();
}

void CheckBox::setFontBold(bool on) {
    font_.bold = on;
    widget()->update();
}

void CheckBox::setFontItalic(bool on) {
    font_.italic = on;
    widget()->update();
}

bool CheckBox::widgetEvent(QWidget* widget, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
        pressed_ = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    } else if (type == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            // The new value stands before the Click that the release raises.
            if (pressed_ && widget->rect().contains(mouse->position().toPoint())) {
                value_ = value_ == 1 ? 0 : 1;
                widget->update();
            }
            pressed_ = false;
        }
    }
    if (type == QEvent::MouseButtonDblClick) {
        // A quick second click is a click on a check box, not a double click.
        auto* mouse = static_cast<QMouseEvent*>(event);
        QMouseEvent press(QEvent::MouseButtonPress, mouse->position(), mouse->globalPosition(),
                          mouse->button(), mouse->buttons(), mouse->modifiers());
        return Control::widgetEvent(widget, &press);
    }
    return Control::widgetEvent(widget, event);
}

void CheckBox::paint(QWidget* widget, QPainter& painter) {
    const QRect rect = widget->rect();
    painter.fillRect(rect, fromOleColor(backColor_));
    const int top = (rect.height() - kBoxSize) / 2;
    const int left = alignment_ == 0 ? 0 : rect.width() - kBoxSize;
    drawBox(painter, QRect(left, top, kBoxSize, kBoxSize), value_, isEnabled());
    if (caption_.isEmpty()) return;
    QRect text = rect;
    if (alignment_ == 0)
        text.setLeft(kBoxSize + kCaptionGap);
    else
        text.setRight(rect.width() - kBoxSize - kCaptionGap - 1);
    painter.setFont(font_.toQFont());
    painter.setPen(fromOleColor(isEnabled() ? foreColor_ : 0x80000011));
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, caption_);
}

} // namespace tv
