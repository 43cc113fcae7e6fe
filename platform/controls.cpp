#include "platform/controls.h"

#include "platform/control_widget.h"
#include "platform/mouse_pointer.h"
#include "platform/vberror.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include <cmath>

namespace tv {

namespace {

QColor systemColor(int index) {
    // The classic (Windows 2000) scheme; a fixed scheme keeps frames identical everywhere.
    static const QRgb colors[] = {
        0xD4D0C8, // 0 scroll bars
        0x3A6EA5, // 1 desktop
        0x0A246A, // 2 active title bar
        0x808080, // 3 inactive title bar
        0xD4D0C8, // 4 menu bar
        0xFFFFFF, // 5 window background
        0x000000, // 6 window frame
        0x000000, // 7 menu text
        0x000000, // 8 window text
        0xFFFFFF, // 9 active title bar text
        0xD4D0C8, // 10 active border
        0xD4D0C8, // 11 inactive border
        0x808080, // 12 application workspace
        0x0A246A, // 13 highlight
        0xFFFFFF, // 14 highlight text
        0xD4D0C8, // 15 button face
        0x808080, // 16 button shadow
        0x808080, // 17 disabled text
        0x000000, // 18 button text
        0xD4D0C8, // 19 inactive title bar text
        0xFFFFFF, // 20 button highlight
        0x404040, // 21 3D dark shadow
        0xD4D0C8, // 22 3D light
        0x000000, // 23 tool tip text
        0xFFFFE1, // 24 tool tip background
    };
    if (index < 0 || index >= int(std::size(colors))) index = 15;
    return QColor::fromRgb(colors[index]);
}

bool isMouseEvent(QEvent::Type type) {
    return type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
           type == QEvent::MouseButtonDblClick || type == QEvent::MouseMove;
}

int checkedPixels(double units, double twipsPerUnit) {
    return static_cast<int>(std::lround(units * twipsPerUnit / kTwipsPerPixel));
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Helpers

QColor fromOleColor(quint32 color) {
    if (color & 0x80000000u) return systemColor(int(color & 0xFF));
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

quint32 toOleColor(const QColor& color) {
    const QRgb rgb = color.rgb();
    return quint32(qRed(rgb)) | (quint32(qGreen(rgb)) << 8) | (quint32(qBlue(rgb)) << 16);
}

int classicButton(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

int classicButtons(Qt::MouseButtons buttons) {
    return (buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0) |
           (buttons & Qt::MiddleButton ? 4 : 0);
}

int classicShift(Qt::KeyboardModifiers modifiers) {
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
           (modifiers & Qt::AltModifier ? 4 : 0);
}

int classicKeyCode(int key, Qt::KeyboardModifiers modifiers) {
    if (modifiers & Qt::KeypadModifier) {
        if (key >= Qt::Key_0 && key <= Qt::Key_9) return 96 + (key - Qt::Key_0);
        switch (key) {
        case Qt::Key_Asterisk:
            return 106;
        case Qt::Key_Plus:
            return 107;
        case Qt::Key_Minus:
            return 109;
        case Qt::Key_Period:
        case Qt::Key_Comma:
            return 110;
        case Qt::Key_Slash:
            return 111;
        default:
            break;
        }
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return key;
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return key;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 112 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 9;
    case Qt::Key_Clear:
        return 12;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
        return 18;
    case Qt::Key_Pause:
        return 19;
    case Qt::Key_CapsLock:
        return 20;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Print:
        return 44;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return 46;
    case Qt::Key_Help:
        return 47;
    case Qt::Key_Menu:
        return 93;
    case Qt::Key_NumLock:
        return 144;
    case Qt::Key_ScrollLock:
        return 145;
    // Shifted digits on a US keyboard report the digit key.
    case Qt::Key_ParenRight:
        return 48;
    case Qt::Key_Exclam:
        return 49;
    case Qt::Key_At:
        return 50;
    case Qt::Key_NumberSign:
        return 51;
    case Qt::Key_Dollar:
        return 52;
    case Qt::Key_Percent:
        return 53;
    case Qt::Key_AsciiCircum:
        return 54;
    case Qt::Key_Ampersand:
        return 55;
    case Qt::Key_Asterisk:
        return 56;
    case Qt::Key_ParenLeft:
        return 57;
    case Qt::Key_Semicolon:
    case Qt::Key_Colon:
        return 186;
    case Qt::Key_Equal:
    case Qt::Key_Plus:
        return 187;
    case Qt::Key_Comma:
    case Qt::Key_Less:
        return 188;
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
        return 189;
    case Qt::Key_Period:
    case Qt::Key_Greater:
        return 190;
    case Qt::Key_Slash:
    case Qt::Key_Question:
        return 191;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde:
        return 192;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft:
        return 219;
    case Qt::Key_Backslash:
    case Qt::Key_Bar:
        return 220;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight:
        return 221;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl:
        return 222;
    default:
        return 0;
    }
}

int fontPixelSize(double points) {
    return std::max(1, static_cast<int>(std::lround(points * 96.0 / 72.0)));
}

QFont ClassicFont::toQFont() const {
    // The old bitmap faces have no stand-in of their own; their metric twins do.
    QString family = name;
    if (family.compare(QLatin1String("MS Sans Serif"), Qt::CaseInsensitive) == 0)
        family = QStringLiteral("Arial");
    else if (family.compare(QLatin1String("MS Serif"), Qt::CaseInsensitive) == 0)
        family = QStringLiteral("Times New Roman");
    QFont font(family);
    font.setPixelSize(fontPixelSize(size));
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    font.setStrikeOut(strikethru);
    return font;
}

// ---------------------------------------------------------------------------------------------
// ControlWidget

namespace detail {

ControlWidget::ControlWidget(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags) {
    setMouseTracking(true);
}

bool ControlWidget::event(QEvent* event) {
    Control* owner = owner_;
    if (!owner) return QWidget::event(event);
    // A disabled control gets no input; Qt hands the mouse to its container instead.
    if (!isEnabled() && isMouseEvent(event->type())) return QWidget::event(event);
    ++owner->busy_;
    const bool handled = owner->widgetEvent(this, event) || QWidget::event(event);
    --owner->busy_;
    if (owner->disposed_ && owner->busy_ == 0) owner->deleteLater();
    return handled;
}

} // namespace detail

// ---------------------------------------------------------------------------------------------
// Control

Control::Control(Control* container, const QString& name, detail::ControlWidget* widget,
                 bool graphical)
    : widget_(widget), graphical_(graphical) {
    setObjectName(name);
    widget->bind(this);
    widgets_.emplace_back(widget);
    widget->resize(0, 0);
    // Controls are placed in containers; anything else stands for the container that holds it.
    while (container && !qobject_cast<ContainerControl*>(container))
        container = container->container();
    if (container) attachTo(static_cast<ContainerControl*>(container));
}

Control::~Control() {
    for (const auto& widget : widgets_)
        if (widget) static_cast<detail::ControlWidget*>(widget.data())->detach();
    delete widget_.data();
}

void Control::attachTo(ContainerControl* container) {
    setParent(container);
    widget()->setParent(container->clientWidget());
    widget()->setVisible(visible_ && !disposed_);
    restackInContainer();
}

void Control::adoptWidget(detail::ControlWidget* widget) {
    widget->bind(this);
    widgets_.emplace_back(widget);
}

QWidget* Control::widget() const {
    return static_cast<QWidget*>(widget_.data());
}

Control* Control::container() const {
    return qobject_cast<ContainerControl*>(parent());
}

ContainerControl* Control::containerControl() const {
    return qobject_cast<ContainerControl*>(parent());
}

void Control::setContainer(Control* container) {
    auto* target = qobject_cast<ContainerControl*>(container);
    if (!target || qobject_cast<Form*>(this)) throw VbError(err::InvalidPropertyValue);
    for (Control* c = target; c; c = c->container())
        if (c == this) throw VbError(err::InvalidPropertyValue);
    const QRect rect = pixelGeometry();
    attachTo(target);
    setPixelGeometry(rect);
}

Form* Control::form() const {
    for (const Control* c = this; c; c = c->container())
        if (auto* f = qobject_cast<Form*>(const_cast<Control*>(c))) return f;
    return nullptr;
}

QObject* Control::parentForm() const {
    return form();
}

double Control::geometryTwipsPerUnitX() const {
    const ContainerControl* c = containerControl();
    return c ? c->twipsPerUnitX() : 1.0;
}

double Control::geometryTwipsPerUnitY() const {
    const ContainerControl* c = containerControl();
    return c ? c->twipsPerUnitY() : 1.0;
}

QRect Control::pixelGeometry() const {
    return widget_ ? widget()->geometry() : QRect();
}

void Control::setPixelGeometry(const QRect& rect) {
    if (widget_)
        widget()->setGeometry(rect.x(), rect.y(), std::max(0, rect.width()),
                              std::max(0, rect.height()));
}

double Control::left() const {
    return pixelGeometry().x() * double(kTwipsPerPixel) / geometryTwipsPerUnitX();
}

double Control::top() const {
    return pixelGeometry().y() * double(kTwipsPerPixel) / geometryTwipsPerUnitY();
}

double Control::width() const {
    return pixelGeometry().width() * double(kTwipsPerPixel) / geometryTwipsPerUnitX();
}

double Control::height() const {
    return pixelGeometry().height() * double(kTwipsPerPixel) / geometryTwipsPerUnitY();
}

void Control::setLeft(double left) {
    Move(left);
}

void Control::setTop(double top) {
    Move(left(), top);
}

void Control::setWidth(double width) {
    Move(left(), top(), width);
}

void Control::setHeight(double height) {
    Move(left(), top(), width(), height);
}

void Control::Move(double left, const QVariant& top, const QVariant& width,
                   const QVariant& height) {
    const double tx = geometryTwipsPerUnitX();
    const double ty = geometryTwipsPerUnitY();
    QRect rect = pixelGeometry();
    const auto number = [](const QVariant& v) {
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (!ok) throw VbError(err::TypeMismatch);
        return d;
    };
    const double w = width.isValid() ? number(width) : 0.0;
    const double h = height.isValid() ? number(height) : 0.0;
    if (w < 0 || h < 0) throw VbError(err::InvalidPropertyValue);
    rect.moveLeft(checkedPixels(left, tx));
    if (top.isValid()) rect.moveTop(checkedPixels(number(top), ty));
    if (width.isValid()) rect.setWidth(checkedPixels(w, tx));
    if (height.isValid()) rect.setHeight(checkedPixels(h, ty));
    setPixelGeometry(rect);
}

void Control::setVisible(bool visible) {
    visible_ = visible;
    if (widget_ && widget()->parentWidget()) widget()->setVisible(visible && !disposed_);
}

void Control::setEnabled(bool enabled) {
    enabled_ = enabled;
    if (widget_) widget()->setEnabled(enabled);
}

void Control::setToolTipText(const QString& text) {
    toolTip_ = text;
    for (const auto& object : widgets_)
        if (object) static_cast<QWidget*>(object.data())->setToolTip(text);
}

void Control::setMousePointer(int number) {
    checkMousePointer(number);
    pointer_ = number;
    applyPointer();
}

void Control::setMouseIcon(const Picture& icon) {
    mouseIcon_ = icon;
    applyPointer();
}

void Control::applyPointer() {
    applyMousePointer(widget(), pointer_, mouseIcon_);
}

void Control::ZOrder(int position) {
    if (!widget_) return;
    if (position == 0)
        widget()->raise();
    else
        widget()->lower();
    restackInContainer();
}

void Control::restackInContainer() {
    if (ContainerControl* c = containerControl()) c->restack();
}

void Control::Refresh() {
    for (const auto& object : widgets_)
        if (auto* widget = static_cast<QWidget*>(object.data()); widget && widget->isVisible())
            widget->repaint();
}

QImage Control::grab() const {
    if (!widget_) return {};
    return widget()->grab().toImage();
}

void Control::dispose() {
    if (disposed_) return;
    disposed_ = true;
    if (widget_) widget()->hide();
    disconnect(this, nullptr, nullptr, nullptr);
    if (busy_ == 0) delete this;
}

QWidget* Control::coordinateOrigin() const {
    return widget();
}

void Control::paint(QWidget*, QPainter&) {}

bool Control::widgetEvent(QWidget* widget, QEvent* event) {
    switch (event->type()) {
    case QEvent::Paint: {
        QPainter painter(widget);
        paint(widget, painter);
        return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        handleMouse(widget, static_cast<QMouseEvent*>(event));
        event->accept();
        return true;
    default:
        return false;
    }
}

void Control::handleMouse(QWidget* widget, QMouseEvent* event) {
    QPointF pos = event->position();
    if (const QWidget* origin = coordinateOrigin(); origin && origin != widget) {
        const QWidget* window = widget->window();
        pos = origin->mapFrom(window, widget->mapTo(window, pos));
    }
    const double x = pos.x() * kTwipsPerPixel / eventTwipsPerUnitX();
    const double y = pos.y() * kTwipsPerPixel / eventTwipsPerUnitY();
    const int shift = classicShift(event->modifiers());
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        clickArmed_ = event->button() == Qt::LeftButton;
        emit MouseDown(classicButton(event->button()), shift, x, y);
        break;
    case QEvent::MouseButtonDblClick:
        // The classic order is Down, Up, Click, DblClick, Up: the second press is the DblClick.
        if (event->button() == Qt::LeftButton) {
            clickArmed_ = false;
            emit DblClick();
        } else {
            emit MouseDown(classicButton(event->button()), shift, x, y);
        }
        break;
    case QEvent::MouseButtonRelease: {
        const bool click = clickArmed_ && event->button() == Qt::LeftButton &&
                           widget->rect().contains(event->position().toPoint());
        if (event->button() == Qt::LeftButton) clickArmed_ = false;
        emit MouseUp(classicButton(event->button()), shift, x, y);
        if (click) emit Click();
        break;
    }
    default:
        emit MouseMove(classicButtons(event->buttons()), shift, x, y);
        break;
    }
}

// ---------------------------------------------------------------------------------------------
// ContainerControl

ContainerControl::ContainerControl(Control* container, const QString& name,
                                   detail::ControlWidget* widget, detail::ControlWidget* client)
    : Control(container, name, widget, false), client_(client) {
    client->setParent(widget);
    client->show();
    adoptWidget(client);
}

ContainerControl::ContainerControl(Control* container, const QString& name,
                                   detail::ControlWidget* widget)
    : Control(container, name, widget, false), client_(widget) {}

QWidget* ContainerControl::clientWidget() const {
    return static_cast<QWidget*>(client_.data());
}

void ContainerControl::setScaleMode(int mode) {
    if (mode < scale::Twips || mode > scale::Centimeters) throw VbError(err::InvalidPropertyValue);
    scaleMode_ = mode;
}

double ContainerControl::twipsPerUnitX() const {
    switch (scaleMode_) {
    case scale::Points:
        return 20.0;
    case scale::Pixels:
        return kTwipsPerPixel;
    case scale::Characters:
        return 120.0;
    case scale::Inches:
        return 1440.0;
    case scale::Millimeters:
        return 1440.0 / 25.4;
    case scale::Centimeters:
        return 1440.0 / 2.54;
    default:
        return 1.0;
    }
}

double ContainerControl::twipsPerUnitY() const {
    return scaleMode_ == scale::Characters ? 240.0 : twipsPerUnitX();
}

double ContainerControl::scaleWidth() const {
    return client_ ? toUnitsX(clientWidget()->width()) : 0.0;
}

double ContainerControl::scaleHeight() const {
    return client_ ? toUnitsY(clientWidget()->height()) : 0.0;
}

int ContainerControl::toPixelsX(double units) const {
    return checkedPixels(units, twipsPerUnitX());
}

int ContainerControl::toPixelsY(double units) const {
    return checkedPixels(units, twipsPerUnitY());
}

QList<Control*> ContainerControl::controls() const {
    QList<Control*> result;
    for (Control* c : findChildren<Control*>(QString(), Qt::FindDirectChildrenOnly))
        if (!c->isDisposed()) result.append(c);
    return result;
}

Control* ContainerControl::findControl(const QString& name, int index) const {
    for (Control* c : controls())
        if (c->name().compare(name, Qt::CaseInsensitive) == 0 && (index < 0 || c->index() == index))
            return c;
    return nullptr;
}

QWidget* ContainerControl::coordinateOrigin() const {
    return clientWidget();
}

void ContainerControl::applyPointer() {
    Control::applyPointer();
    if (client_ && client_ != widget())
        applyMousePointer(clientWidget(), mousePointer(), mouseIcon());
}

bool ContainerControl::widgetEvent(QWidget* widget, QEvent* event) {
    if (event->type() == QEvent::Resize && widget == clientWidget()) emit Resize();
    return Control::widgetEvent(widget, event);
}

void ContainerControl::restack() {
    if (!client_) return;
    std::vector<QWidget*> windowed;
    for (QObject* child : clientWidget()->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (!w || w->isWindow()) continue;
        auto* cw = dynamic_cast<detail::ControlWidget*>(w);
        if (cw && cw->owner() && cw->owner()->isGraphical()) continue;
        windowed.push_back(w);
    }
    for (QWidget* w : windowed)
        w->raise();
}

// ---------------------------------------------------------------------------------------------
// WidgetControl

WidgetControl::WidgetControl(Control* container, const QString& name, QWidget* inner)
    : Control(container, name, new detail::ControlWidget, false), inner_(inner) {
    if (inner) {
        inner->setParent(widget());
        inner->setGeometry(widget()->rect());
        inner->show();
    }
}

QWidget* WidgetControl::inner() const {
    return static_cast<QWidget*>(inner_.data());
}

QObject* WidgetControl::object() const {
    return inner_;
}

void WidgetControl::setPixelGeometry(const QRect& rect) {
    Control::setPixelGeometry(rect);
    if (QWidget* w = inner()) w->setGeometry(widget()->rect());
}

} // namespace tv
