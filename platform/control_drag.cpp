// The classic manual drag. One control at a time is dragged; while it is, an application-wide
// filter takes the mouse: moves become DragOver events of the control under the pointer and the
// release becomes a DragDrop on the control under it. The control under the pointer is found in
// the dragged control's window by position, so the drop lands where the user sees the pointer
// whether the window system delivers the release to the pressed widget (a real mouse) or to the
// widget under the point (automation).

#include "platform/control_widget.h"
#include "platform/controls.h"
#include "platform/core/errors.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPixmap>
#include <QPointer>

namespace tv {

class DragTracker : public QObject {
public:
    static DragTracker& instance() {
        static DragTracker tracker;
        return tracker;
    }

    Control* source() const { return source_; }

    void begin(Control& source) {
        end();
        source_ = &source;
        const QImage icon = source.dragIcon().image();
        QGuiApplication::setOverrideCursor(icon.isNull() ? QCursor(Qt::DragMoveCursor)
                                                         : QCursor(QPixmap::fromImage(icon)));
        cursorSet_ = true;
        qApp->installEventFilter(this);
    }

    // Ends the drag; the control under `global` gets the drop when `drop` is set.
    void finish(bool drop, QPoint global) {
        const QPointer<Control> source = source_;
        Control* target = source ? controlAt(global) : nullptr;
        const QPointer<Control> guard = target;
        leaveCurrent(global);
        end();
        if (!drop || !source || !guard) return;
        const QPointF at = targetPosition(*guard, global);
        emit guard->DragDrop(source, at.x(), at.y());
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!source_) {
            end();
            return false;
        }
        switch (event->type()) {
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            break;
        default:
            return false;
        }
        if (!watched->isWidgetType()) return false;
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint global = mouse->globalPosition().toPoint();
        if (event->type() == QEvent::MouseMove)
            over(global);
        else if (event->type() == QEvent::MouseButtonRelease)
            finish(true, global);
        return true;
    }

private:
    // The enabled control shown at `global` in the dragged control's window.
    Control* controlAt(QPoint global) const {
        QWidget* widget = source_ ? source_->widget() : nullptr;
        QWidget* window = widget ? widget->window() : nullptr;
        if (!window) return nullptr;
        const QPoint local = window->mapFromGlobal(global);
        if (!window->rect().contains(local)) return nullptr;
        QWidget* hit = window->childAt(local);
        for (QWidget* w = hit ? hit : window; w; w = w->parentWidget()) {
            auto* cw = dynamic_cast<detail::ControlWidget*>(w);
            if (!cw || !cw->owner() || cw->owner()->isDisposed()) continue;
            if (!cw->owner()->isEnabled()) return nullptr;
            return cw->owner();
        }
        return nullptr;
    }

    static QPointF targetPosition(Control& target, QPoint global) {
        const QWidget* origin = target.coordinateOrigin();
        if (!origin) origin = target.widget();
        return target.eventPosition(origin, origin->mapFromGlobal(QPointF(global)));
    }

    void over(QPoint global) {
        Control* target = controlAt(global);
        if (target != over_) {
            leaveCurrent(global);
            over_ = target;
            if (target) emitOver(*target, global, 0);
        } else if (target) {
            emitOver(*target, global, 2);
        }
    }

    void leaveCurrent(QPoint global) {
        const QPointer<Control> previous = over_;
        over_ = nullptr;
        if (previous) emitOver(*previous, global, 1);
    }

    void emitOver(Control& target, QPoint global, int state) {
        if (!source_) return;
        const QPointF at = targetPosition(target, global);
        emit target.DragOver(source_, at.x(), at.y(), state);
    }

    void end() {
        qApp->removeEventFilter(this);
        if (cursorSet_) QGuiApplication::restoreOverrideCursor();
        cursorSet_ = false;
        source_ = nullptr;
        over_ = nullptr;
    }

    QPointer<Control> source_;
    QPointer<Control> over_;
    bool cursorSet_ = false;
};

void Control::Drag(int action) {
    DragTracker& tracker = DragTracker::instance();
    switch (action) {
    case 0:
        if (tracker.source() == this) tracker.finish(false, QCursor::pos());
        break;
    case 1:
        tracker.begin(*this);
        break;
    case 2:
        if (tracker.source() == this) tracker.finish(true, QCursor::pos());
        break;
    default:
        throw vbError(err::InvalidPropertyValue);
    }
}

Control* Control::draggedControl() {
    return DragTracker::instance().source();
}

} // namespace tv
