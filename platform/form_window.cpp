// Forms as windows among others: staying on top, and being moved by the user without a title bar.

#include "platform/controls.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace tv {

namespace {

// Moves a window after the pointer while the left button is held: the point of the window that
// was grabbed stays under the pointer. Ends itself when the button is let go or the window goes.
class PointerMove : public QObject {
public:
    PointerMove(QWidget* window, QPoint grabbed) : window_(window), grabbed_(grabbed) {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::MouseMove && type != QEvent::MouseButtonRelease) return false;
        if (!window_ || !window_->isVisible()) {
            finish();
            return false;
        }
        auto* target = qobject_cast<QWidget*>(watched);
        if (!target || target->window() != window_) return false;
        // An event passed on to parent widgets comes by again: moving twice to the same place
        // does no harm.
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (type == QEvent::MouseButtonRelease || !(mouse->buttons() & Qt::LeftButton)) {
            finish();
            return false;
        }
        // move() places the frame, whose edge and title lie outside the grabbed area.
        const QPoint frame = window_->geometry().topLeft() - window_->pos();
        window_->move(mouse->globalPosition().toPoint() - grabbed_ - frame);
        return false;
    }

private:
    void finish() {
        qApp->removeEventFilter(this);
        deleteLater();
    }

    QPointer<QWidget> window_;
    QPoint grabbed_;
};

} // namespace

bool Form::isTopmost() const {
    return widget()->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void Form::setTopmost(bool on) {
    QWidget* window = widget();
    if (isTopmost() == on) return;
    Qt::WindowFlags flags = window->windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, on);
    if (QWindow* handle = window->windowHandle()) {
        // Told to the window system directly: QWidget::setWindowFlags would hide the window and
        // show it again.
        window->overrideWindowFlags(flags);
        handle->setFlags(flags);
    } else {
        window->setWindowFlags(flags);
    }
}

void Form::startMove(QPoint grabbed) {
    QWidget* window = widget();
    if (QWindow* handle = window->windowHandle(); handle && handle->startSystemMove()) return;
    new PointerMove(window, clientWidget()->mapTo(window, grabbed));
}

} // namespace tv
