// Forms: top-level windows with the classic load/unload cycle and keyboard events.

#include "platform/control_set.h"
#include "platform/control_widget.h"
#include "platform/controls.h"
#include "platform/core/errors.h"
#include "platform/core/event_log.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QTimer>

namespace tv {

namespace {

Form::ModalWaiter& currentModalWaiter() {
    static Form::ModalWaiter waiter = [](const std::function<bool()>& done) {
        while (!done())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    };
    return waiter;
}

} // namespace

Form::Form(const QString& name, QObject* owner)
    : CanvasControl(nullptr, name, new detail::ControlWidget(nullptr, Qt::Window),
                    new detail::ControlWidget) {
    setParent(owner);
    // The classic default size of a new form: 4800 x 3600 twips.
    widget()->resize(320, 240);
    layoutClient();
    // Key events go to the focused widget; the form sees them all here and picks its own.
    qApp->installEventFilter(this);
}

Form::~Form() {
    if (qApp) qApp->removeEventFilter(this);
}

void Form::setModalWaiter(ModalWaiter waiter) {
    currentModalWaiter() = std::move(waiter);
}

Form::ModalWaiter Form::modalWaiter() {
    return currentModalWaiter();
}

QString Form::caption() const {
    return widget()->windowTitle();
}

void Form::setCaption(const QString& caption) {
    widget()->setWindowTitle(caption);
}

int Form::windowState() const {
    const Qt::WindowStates state = widget()->windowState();
    if (state & Qt::WindowMinimized) return 1;
    if (state & (Qt::WindowMaximized | Qt::WindowFullScreen)) return 2;
    return 0;
}

void Form::setWindowState(int state) {
    if (state < 0 || state > 2) throw vbError(err::InvalidPropertyValue);
    const Qt::WindowStates keep =
        widget()->windowState() &
        ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
    const Qt::WindowStates chosen[] = {Qt::WindowNoState, Qt::WindowMinimized, Qt::WindowMaximized};
    widget()->setWindowState(keep | chosen[state]);
    layoutClient();
}

void Form::setBorderStyle(int style) {
    if (style < 0 || style > 5) throw vbError(err::InvalidPropertyValue);
    borderStyle_ = style;
    QWidget* window = widget();
    const bool shown = window->isVisible();
    Qt::WindowFlags flags = Qt::Window;
    if (style == 0) flags |= Qt::FramelessWindowHint;
    window->setWindowFlags(flags);
    if (shown) window->show();
}

void Form::load() {
    if (loaded_) return;
    loaded_ = true;
    emit Load();
}

bool Form::unload(int mode) {
    int cancel = 0;
    emit QueryUnload(cancel, mode);
    if (cancel != 0) return false;
    emit Unload(cancel);
    if (cancel != 0) return false;
    loaded_ = false;
    widget()->hide();
    return true;
}

void Form::Show(int modal) {
    load();
    QWidget* window = widget();
    const bool opening = !window->isVisible();
    if (modal != 0 && opening) window->setWindowModality(Qt::ApplicationModal);
    window->show();
    if (opening && loggedWhenShown_)
        EventLog::instance().write(QStringLiteral("window %1|%2").arg(name(), caption()));
    // The headless platform cannot raise windows and says so each time.
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) window->raise();
    window->activateWindow();
    if (modal != 0) {
        const QPointer<QWidget> guard(window);
        currentModalWaiter()([guard] { return !guard || !guard->isVisible(); });
        if (guard) guard->setWindowModality(Qt::NonModal);
    }
}

void Form::Hide() {
    widget()->hide();
}

bool Form::isVisible() const {
    return widget()->isVisible();
}

void Form::setVisible(bool visible) {
    if (visible)
        Show();
    else
        Hide();
}

QRect Form::pixelGeometry() const {
    return widget()->frameGeometry();
}

void Form::setPixelGeometry(const QRect& rect) {
    QWidget* window = widget();
    // The classic size includes the window frame and title bar.
    const QSize frameExtra = window->frameGeometry().size() - window->size();
    window->move(rect.topLeft());
    window->resize(std::max(0, rect.width() - frameExtra.width()),
                   std::max(0, rect.height() - frameExtra.height()));
    layoutClient();
}

void Form::setMenuBar(QMenuBar* menuBar) {
    if (menuBar_ && menuBar_ != menuBar) menuBar_->deleteLater();
    menuBar_ = menuBar;
    if (menuBar) {
        menuBar->setNativeMenuBar(false);
        menuBar->setParent(widget());
        if (!menuBar->isHidden()) menuBar->show();
    }
    layoutClient();
}

QMenuBar* Form::menuBar() const {
    return static_cast<QMenuBar*>(menuBar_.data());
}

void Form::setInnerSize(double width, double height) {
    if (width < 0 || height < 0) throw vbError(err::InvalidPropertyValue);
    widget()->resize(toPixelsX(width), toPixelsY(height) + menuHeight());
    layoutClient();
}

int Form::menuHeight() const {
    const QMenuBar* bar = menuBar();
    if (!bar || bar->isHidden()) return 0;
    const int height = bar->heightForWidth(widget()->width());
    return height > 0 ? height : bar->sizeHint().height();
}

void Form::layoutClient() {
    QWidget* window = widget();
    QWidget* client = clientWidget();
    if (!window || !client) return;
    const int menu = menuHeight();
    if (menu > 0) menuBar()->setGeometry(0, 0, window->width(), menu);
    const QRect inner(0, menu, window->width(), std::max(0, window->height() - menu));
    if (!stage_) {
        client->setGeometry(inner);
    } else if (isFullScreen()) {
        // Menus that come and go over a full screen lie over the picture rather than shrink it.
        stage_->setGeometry(window->rect());
        if (menu > 0) menuBar()->raise();
    } else {
        stage_->setGeometry(inner);
    }
}

bool Form::widgetEvent(QWidget* widget, QEvent* event) {
    if (widget == this->widget()) {
        switch (event->type()) {
        case QEvent::Resize:
            layoutClient();
            break;
        case QEvent::Close:
            // The user closes the window: the form may refuse in QueryUnload or Unload.
            event->setAccepted(unload(0));
            return true;
        case QEvent::WindowActivate:
            emit Activate();
            break;
        case QEvent::WindowDeactivate:
            emit Deactivate();
            break;
        default:
            break;
        }
    }
    return CanvasControl::widgetEvent(widget, event);
}

namespace {
// The key presses being handled: a handler may open a modal window, after which the focus can be
// back in a staged form's picture, which offers the same press again. A press is over once its
// key is let go, or once everything has been offered it.
struct PressInHand {
    const QEvent* event;
    int key;
    Qt::KeyboardModifiers modifiers;
    bool operator==(const PressInHand&) const = default;
};
QList<PressInHand>& pressesInHand() {
    static QList<PressInHand> presses;
    return presses;
}
} // namespace

bool Form::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
        auto* target = qobject_cast<QWidget*>(watched);
        if (target && target->window() == widget()) {
            // Qt offers a key to the focus widget first, then to its parents; the form takes it
            // once, at that first offer: always with KeyPreview, otherwise when no other kind of
            // widget (a text box, say) has the focus. A staged form's picture passes keys on to
            // its own focus widget afterwards; that second offer is not the form's.
            QWidget* focus = QApplication::focusWidget();
            bool first =
                (focus && focus->window() == widget()) ? target == focus : target == widget();
            // A run-time component's widget passes the keys it leaves alone to its parents:
            // the form takes those at the first of its own widgets on the way, so that the
            // window's shortcuts work while a component has the focus. Other widgets keep the
            // classic rule (the form sees their keys only with KeyPreview).
            if (!first && focus && focus->window() == widget())
                first = takesKeyLeftByComponent(focus, target);
            const bool ours = ownsKeyTarget(target);
            if (first && (keyPreview_ || ours) && !isDisposed()) {
                auto* key = static_cast<QKeyEvent*>(event);
                const PressInHand current{key, key->key(), key->modifiers()};
                const bool press = type == QEvent::KeyPress && !key->isAutoRepeat();
                if (press && pressesInHand().contains(current)) return false;
                if (press) pressesInHand().append(current);
                if (type == QEvent::KeyRelease)
                    pressesInHand().removeIf(
                        [&](const PressInHand& p) { return p.key == current.key; });
                handleKey(key);
                if (press)
                    QTimer::singleShot(0, qApp, [current] { pressesInHand().removeOne(current); });
            }
        }
    } else if (watched == menuBar_ && (type == QEvent::Show || type == QEvent::Hide)) {
        layoutClient();
    }
    return false;
}

void Form::handleKey(QKeyEvent* event) {
    const int code = classicKeyCode(event->key(), event->modifiers());
    const int shift = classicShift(event->modifiers());
    if (event->type() == QEvent::KeyPress) {
        if (code != 0) emit KeyDown(code, shift);
        const QString text = event->text();
        if (!text.isEmpty() && text.at(0).unicode() < 256) emit KeyPress(text.at(0).unicode());
    } else if (!event->isAutoRepeat() && code != 0) {
        emit KeyUp(code, shift);
    }
}

void Form::addNamedMember(const QString& name, QObject* object) {
    namedMembers_.insert(name.toLower(), object);
}

QObject* Form::namedMember(const QString& name) const {
    if (QObject* o = namedMembers_.value(name.toLower())) return o;
    // Elements of control sets share their set's name: the set is registered instead.
    const QList<Control*> controls = findChildren<Control*>();
    for (Control* c : controls)
        if (c->objectName().compare(name, Qt::CaseInsensitive) == 0 && !controlSetOf(c)) return c;
    return nullptr;
}

} // namespace tv
