#include "platform/controls.h"

#include "platform/control_widget.h"
#include "platform/core/errors.h"
#include "platform/mouse_pointer.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include <algorithm>
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
        return mouseButton::Left;
    case Qt::RightButton:
        return mouseButton::Right;
    case Qt::MiddleButton:
        return mouseButton::Middle;
    default:
        return 0;
    }
}

int classicButtons(Qt::MouseButtons buttons) {
    return (buttons & Qt::LeftButton ? mouseButton::Left : 0) |
           (buttons & Qt::RightButton ? mouseButton::Right : 0) |
           (buttons & Qt::MiddleButton ? mouseButton::Middle : 0);
}

int classicShift(Qt::KeyboardModifiers modifiers) {
    return (modifiers & Qt::ShiftModifier ? shiftMask::Shift : 0) |
           (modifiers & Qt::ControlModifier ? shiftMask::Ctrl : 0) |
           (modifiers & Qt::AltModifier ? shiftMask::Alt : 0);
}

namespace {
struct KeyCode {
    int qtKey;
    int code;
};

// Keys of the numeric keypad that have codes of their own.
constexpr KeyCode kKeypadCodes[] = {
    {Qt::Key_Asterisk, keyCode::Multiply}, {Qt::Key_Plus, keyCode::Add},
    {Qt::Key_Minus, keyCode::Subtract},    {Qt::Key_Period, keyCode::Decimal},
    {Qt::Key_Comma, keyCode::Decimal},     {Qt::Key_Slash, keyCode::Divide},
};

// Every other key that is neither a letter, a digit nor a function key. Shifted digits and
// punctuation on a US keyboard report the key they are on.
constexpr KeyCode kKeyCodes[] = {
    {Qt::Key_Backspace, keyCode::Back},
    {Qt::Key_Tab, keyCode::Tab},
    {Qt::Key_Backtab, keyCode::Tab},
    {Qt::Key_Clear, keyCode::Clear},
    {Qt::Key_Return, keyCode::Return},
    {Qt::Key_Enter, keyCode::Return},
    {Qt::Key_Shift, keyCode::Shift},
    {Qt::Key_Control, keyCode::Control},
    {Qt::Key_Alt, keyCode::Menu},
    {Qt::Key_AltGr, keyCode::Menu},
    {Qt::Key_Pause, keyCode::Pause},
    {Qt::Key_CapsLock, keyCode::Capital},
    {Qt::Key_Escape, keyCode::Escape},
    {Qt::Key_Space, keyCode::Space},
    {Qt::Key_PageUp, keyCode::PageUp},
    {Qt::Key_PageDown, keyCode::PageDown},
    {Qt::Key_End, keyCode::End},
    {Qt::Key_Home, keyCode::Home},
    {Qt::Key_Left, keyCode::Left},
    {Qt::Key_Up, keyCode::Up},
    {Qt::Key_Right, keyCode::Right},
    {Qt::Key_Down, keyCode::Down},
    {Qt::Key_Print, keyCode::Snapshot},
    {Qt::Key_Insert, keyCode::Insert},
    {Qt::Key_Delete, keyCode::Delete},
    {Qt::Key_Help, keyCode::Help},
    {Qt::Key_Menu, keyCode::Apps},
    {Qt::Key_NumLock, keyCode::NumLock},
    {Qt::Key_ScrollLock, keyCode::Scroll},
    {Qt::Key_ParenRight, keyCode::Digit0},
    {Qt::Key_Exclam, keyCode::Digit0 + 1},
    {Qt::Key_At, keyCode::Digit0 + 2},
    {Qt::Key_NumberSign, keyCode::Digit0 + 3},
    {Qt::Key_Dollar, keyCode::Digit0 + 4},
    {Qt::Key_Percent, keyCode::Digit0 + 5},
    {Qt::Key_AsciiCircum, keyCode::Digit0 + 6},
    {Qt::Key_Ampersand, keyCode::Digit0 + 7},
    {Qt::Key_Asterisk, keyCode::Digit0 + 8},
    {Qt::Key_ParenLeft, keyCode::Digit0 + 9},
    {Qt::Key_Semicolon, keyCode::Semicolon},
    {Qt::Key_Colon, keyCode::Semicolon},
    {Qt::Key_Equal, keyCode::Plus},
    {Qt::Key_Plus, keyCode::Plus},
    {Qt::Key_Comma, keyCode::Comma},
    {Qt::Key_Less, keyCode::Comma},
    {Qt::Key_Minus, keyCode::Minus},
    {Qt::Key_Underscore, keyCode::Minus},
    {Qt::Key_Period, keyCode::Period},
    {Qt::Key_Greater, keyCode::Period},
    {Qt::Key_Slash, keyCode::Slash},
    {Qt::Key_Question, keyCode::Slash},
    {Qt::Key_QuoteLeft, keyCode::Backquote},
    {Qt::Key_AsciiTilde, keyCode::Backquote},
    {Qt::Key_BracketLeft, keyCode::OpenBracket},
    {Qt::Key_BraceLeft, keyCode::OpenBracket},
    {Qt::Key_Backslash, keyCode::Backslash},
    {Qt::Key_Bar, keyCode::Backslash},
    {Qt::Key_BracketRight, keyCode::CloseBracket},
    {Qt::Key_BraceRight, keyCode::CloseBracket},
    {Qt::Key_Apostrophe, keyCode::Quote},
    {Qt::Key_QuoteDbl, keyCode::Quote},
};

int lookUp(const KeyCode* begin, const KeyCode* end, int qtKey) {
    const KeyCode* found =
        std::find_if(begin, end, [qtKey](const KeyCode& k) { return k.qtKey == qtKey; });
    return found == end ? 0 : found->code;
}
} // namespace

int classicKeyCode(int key, Qt::KeyboardModifiers modifiers) {
    if (modifiers & Qt::KeypadModifier) {
        if (key >= Qt::Key_0 && key <= Qt::Key_9) return keyCode::Numpad0 + (key - Qt::Key_0);
        if (int code = lookUp(std::begin(kKeypadCodes), std::end(kKeypadCodes), key)) return code;
    }
    // Letters and digits are their upper-case ASCII codes, as the key codes are.
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return keyCode::A + (key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return keyCode::Digit0 + (key - Qt::Key_0);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return keyCode::F1 + (key - Qt::Key_F1);
    return lookUp(std::begin(kKeyCodes), std::end(kKeyCodes), key);
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
    if (!target || qobject_cast<Form*>(this)) throw vbError(err::InvalidPropertyValue);
    for (Control* c = target; c; c = c->container())
        if (c == this) throw vbError(err::InvalidPropertyValue);
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
        if (!ok) throw vbError(err::TypeMismatch);
        return d;
    };
    const double w = width.isValid() ? number(width) : 0.0;
    const double h = height.isValid() ? number(height) : 0.0;
    if (w < 0 || h < 0) throw vbError(err::InvalidPropertyValue);
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

void Control::SetFocus() {
    if (QWidget* w = widget()) w->setFocus(Qt::OtherFocusReason);
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

QPointF Control::eventPosition(const QWidget* widget, QPointF pos) const {
    if (const QWidget* origin = coordinateOrigin(); origin && origin != widget) {
        const QWidget* window = widget->window();
        // A staged form's picture is a window of its own; the screen links the two.
        if (origin->window() == window)
            pos = origin->mapFrom(window, widget->mapTo(window, pos));
        else
            pos = origin->mapFromGlobal(widget->mapToGlobal(pos));
    }
    return {pos.x() * kTwipsPerPixel / eventTwipsPerUnitX(),
            pos.y() * kTwipsPerPixel / eventTwipsPerUnitY()};
}

void Control::handleMouse(QWidget* widget, QMouseEvent* event) {
    const QPointF at = eventPosition(widget, event->position());
    const double x = at.x(), y = at.y();
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
    if (mode < scale::Twips || mode > scale::Centimeters) throw vbError(err::InvalidPropertyValue);
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
