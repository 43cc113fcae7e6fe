// Image controls, labels and frames.

#include "platform/control_widget.h"
#include "platform/controls.h"
#include "platform/core/errors.h"

#include <QFontMetrics>
#include <QPainter>

namespace tv {

namespace {

void checkRange(int value, int low, int high) {
    if (value < low || value > high) throw vbError(err::InvalidPropertyValue);
}

void drawSingleBorder(QPainter& painter, const QRect& rect) {
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(rect.x(), rect.y(), rect.width() - 1, rect.height() - 1));
}

} // namespace

// ---------------------------------------------------------------------------------------------
// ImageBox

ImageBox::ImageBox(Control* container, const QString& name)
    : Control(container, name, new detail::ControlWidget, true) {}

void ImageBox::setStretch(bool on) {
    stretch_ = on;
    if (!on) fitToPicture();
    widget()->update();
}

void ImageBox::setPicture(const Picture& picture) {
    picture_ = picture;
    if (!stretch_) fitToPicture();
    widget()->update();
}

void ImageBox::setBorderStyle(int style) {
    checkRange(style, 0, 1);
    borderStyle_ = style;
    if (!stretch_) fitToPicture();
    widget()->update();
}

void ImageBox::fitToPicture() {
    if (picture_.isNull()) return;
    QRect rect = pixelGeometry();
    rect.setSize(picture_.image().size() + QSize(2, 2) * borderStyle_);
    setPixelGeometry(rect);
}

void ImageBox::paint(QWidget* widget, QPainter& painter) {
    const QRect inner =
        widget->rect().adjusted(borderStyle_, borderStyle_, -borderStyle_, -borderStyle_);
    if (!picture_.isNull()) {
        if (stretch_)
            painter.drawImage(inner, picture_.image());
        else
            painter.drawImage(inner.topLeft(), picture_.image());
    }
    if (borderStyle_ == 1) drawSingleBorder(painter, widget->rect());
}

// ---------------------------------------------------------------------------------------------
// Label

Label::Label(Control* container, const QString& name)
    : Control(container, name, new detail::ControlWidget, true) {}

void Label::setCaption(const QString& caption) {
    caption_ = caption;
    fitToText();
    widget()->update();
}

void Label::setAlignment(int alignment) {
    checkRange(alignment, 0, 2);
    alignment_ = alignment;
    widget()->update();
}

void Label::setBackStyle(int style) {
    checkRange(style, 0, 1);
    backStyle_ = style;
    widget()->update();
}

void Label::setBackColor(quint32 color) {
    backColor_ = color;
    widget()->update();
}

void Label::setForeColor(quint32 color) {
    foreColor_ = color;
    widget()->update();
}

void Label::setBorderStyle(int style) {
    checkRange(style, 0, 1);
    borderStyle_ = style;
    fitToText();
    widget()->update();
}

void Label::setUseMnemonic(bool on) {
    useMnemonic_ = on;
    fitToText();
    widget()->update();
}

void Label::setFont(const ClassicFont& font) {
    if (!(font.size > 0)) throw vbError(err::InvalidPropertyValue);
    font_ = font;
    fitToText();
    widget()->update();
}

void Label::setFontName(const QString& name) {
    ClassicFont f = font_;
    f.name = name;
    setFont(f);
}

void Label::setFontSize(double size) {
    ClassicFont f = font_;
    f.size = size;
    setFont(f);
}

void Label::setFontBold(bool on) {
    ClassicFont f = font_;
    f.bold = on;
    setFont(f);
}

void Label::setFontItalic(bool on) {
    ClassicFont f = font_;
    f.italic = on;
    setFont(f);
}

void Label::setFontUnderline(bool on) {
    ClassicFont f = font_;
    f.underline = on;
    setFont(f);
}

void Label::setFontStrikethru(bool on) {
    ClassicFont f = font_;
    f.strikethru = on;
    setFont(f);
}

void Label::setWordWrap(bool on) {
    wordWrap_ = on;
    fitToText();
    widget()->update();
}

void Label::setAutoSize(bool on) {
    autoSize_ = on;
    fitToText();
    widget()->update();
}

void Label::setPixelGeometry(const QRect& rect) {
    Control::setPixelGeometry(rect);
    // A wrapping auto-sized label takes the height its text needs at the new width.
    if (autoSize_ && wordWrap_ && !fitting_) fitToText();
}

int Label::textFlags() const {
    static const int align[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter};
    int flags = Qt::AlignTop | Qt::TextExpandTabs | Qt::TextWordWrap | align[alignment_];
    if (useMnemonic_) flags |= Qt::TextShowMnemonic;
    return flags;
}

QString Label::displayText() const {
    QString text = caption_;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

void Label::fitToText() {
    if (!autoSize_ || fitting_) return;
    const QFontMetrics metrics(font_.toQFont());
    const QString text = displayText();
    const int border = borderStyle_;
    const QRect old = pixelGeometry();
    constexpr int kUnbounded = 1 << 20;
    QSize size;
    if (wordWrap_) {
        const int inner = std::max(1, old.width() - 2 * border);
        const QRect bounds =
            metrics.boundingRect(QRect(0, 0, inner, kUnbounded), textFlags(), text);
        size = QSize(old.width(), bounds.height() + 2 * border);
    } else {
        const QRect bounds = metrics.boundingRect(QRect(0, 0, kUnbounded, kUnbounded),
                                                  textFlags() & ~Qt::TextWordWrap, text);
        size = QSize(bounds.width() + 2 * border, bounds.height() + 2 * border);
    }
    if (text.isEmpty()) size.setHeight(metrics.height() + 2 * border);

    // The label grows away from the edge (or centre) its text is aligned to.
    QRect fitted(old.topLeft(), size);
    if (alignment_ == 1)
        fitted.moveLeft(old.x() + old.width() - size.width());
    else if (alignment_ == 2)
        fitted.moveLeft(old.x() + (old.width() - size.width()) / 2);
    fitting_ = true;
    setPixelGeometry(fitted);
    fitting_ = false;
}

void Label::paint(QWidget* widget, QPainter& painter) {
    const QRect rect = widget->rect();
    if (backStyle_ == 1) painter.fillRect(rect, fromOleColor(backColor_));
    if (borderStyle_ == 1) drawSingleBorder(painter, rect);
    painter.setFont(font_.toQFont());
    // The classic runtime greys the text of a disabled label.
    painter.setPen(fromOleColor(isEnabled() ? foreColor_ : 0x80000011));
    const int border = borderStyle_;
    painter.drawText(rect.adjusted(border, border, -border, -border), textFlags(), displayText());
}

// ---------------------------------------------------------------------------------------------
// FrameBox

FrameBox::FrameBox(Control* container, const QString& name)
    : ContainerControl(container, name, new detail::ControlWidget) {
    widget()->setAttribute(Qt::WA_OpaquePaintEvent);
}

void FrameBox::setCaption(const QString& caption) {
    caption_ = caption;
    widget()->update();
}

void FrameBox::setBorderStyle(int style) {
    checkRange(style, 0, 1);
    borderStyle_ = style;
    widget()->update();
}

void FrameBox::setBackColor(quint32 color) {
    backColor_ = color;
    widget()->update();
}

void FrameBox::setForeColor(quint32 color) {
    foreColor_ = color;
    widget()->update();
}

void FrameBox::setFontName(const QString& name) {
    font_.name = name;
    widget()->update();
}

void FrameBox::setFontSize(double size) {
    if (!(size > 0)) throw vbError(err::InvalidPropertyValue);
    font_.size = size;
    widget()->update();
}

void FrameBox::setFontBold(bool on) {
    font_.bold = on;
    widget()->update();
}

void FrameBox::setFontItalic(bool on) {
    font_.italic = on;
    widget()->update();
}

double FrameBox::twipsPerUnitX() const {
    const ContainerControl* c = containerControl();
    return c ? c->twipsPerUnitX() : 1.0;
}

double FrameBox::twipsPerUnitY() const {
    const ContainerControl* c = containerControl();
    return c ? c->twipsPerUnitY() : 1.0;
}

void FrameBox::paint(QWidget* widget, QPainter& painter) {
    const QRect rect = widget->rect();
    painter.fillRect(rect, fromOleColor(backColor_));
    const QFont font = font_.toQFont();
    const QFontMetrics metrics(font);
    if (borderStyle_ == 1) {
        // An etched line, starting half a caption line down when there is a caption.
        const int top = caption_.isEmpty() ? 0 : metrics.height() / 2;
        const QRectF line(rect.x(), top, rect.width() - 2, rect.height() - top - 2);
        painter.setPen(fromOleColor(0x80000010));
        painter.drawRect(line);
        painter.setPen(fromOleColor(0x80000014));
        painter.drawRect(line.translated(1, 1));
    }
    if (!caption_.isEmpty()) {
        const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextShowMnemonic;
        QRect text =
            metrics.boundingRect(QRect(8, 0, rect.width(), rect.height()), flags, caption_);
        painter.fillRect(text.adjusted(-2, 0, 2, 0), fromOleColor(backColor_));
        painter.setFont(font);
        painter.setPen(fromOleColor(foreColor_));
        painter.drawText(text, flags, caption_);
    }
}

} // namespace tv
