#include "platform/automation.h"

#include "platform/control_widget.h"
#include "platform/controls.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QSaveFile>
#include <QWidget>

namespace tv::automation {

namespace {
// What a pointer at `local` of `surface` is over: the topmost widget of the surface's window
// there, which may lie outside the surface (a strip hanging over the frame display).
QWidget* targetAt(QWidget* surface, QPoint local, QPoint& inTarget) {
    QWidget* window = surface->window();
    const QPoint inWindow = surface->mapTo(window, local);
    QWidget* child = window->childAt(inWindow);
    QWidget* target = child ? child : window;
    inTarget = target->mapFrom(window, inWindow);
    return target;
}

void sendMouse(QWidget* target, QEvent::Type type, QPoint pos, Qt::MouseButton button,
               Qt::MouseButtons buttons) {
    const QPointF local(pos);
    const QPointF global(target->mapToGlobal(pos));
    QMouseEvent event(type, local, local, global, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

int qtKey(const QString& name) {
    if (name.compare("Escape", Qt::CaseInsensitive) == 0) return Qt::Key_Escape;
    if (name.compare("Return", Qt::CaseInsensitive) == 0) return Qt::Key_Return;
    if (name.compare("Space", Qt::CaseInsensitive) == 0) return Qt::Key_Space;
    if (name.size() >= 2 && name.size() <= 3 && name[0].toUpper() == 'F') {
        bool ok = false;
        const int n = name.mid(1).toInt(&ok);
        if (ok && n >= 1 && n <= 12) return Qt::Key_F1 + n - 1;
    }
    if (name.size() == 1) {
        const QChar c = name[0].toUpper();
        if (c >= 'A' && c <= 'Z') return Qt::Key_A + (c.unicode() - 'A');
        if (c >= '0' && c <= '9') return Qt::Key_0 + (c.unicode() - '0');
    }
    return 0;
}
} // namespace

void click(Control& surface, int x, int y, bool rightButton) {
    QPoint pos;
    QPointer<QWidget> target = targetAt(surface.widget(), QPoint(x, y), pos);
    const Qt::MouseButton button = rightButton ? Qt::RightButton : Qt::LeftButton;
    sendMouse(target, QEvent::MouseButtonPress, pos, button, button);
    // The press may have opened another frame and removed the control that was clicked.
    if (target) sendMouse(target, QEvent::MouseButtonRelease, pos, button, Qt::NoButton);
}

void move(Control& surface, int x, int y) {
    QPoint pos;
    QWidget* target = targetAt(surface.widget(), QPoint(x, y), pos);
    sendMouse(target, QEvent::MouseMove, pos, Qt::NoButton, Qt::NoButton);
}

void drag(Control& surface, QPoint from, QPoint to) {
    QPoint pos;
    QPointer<QWidget> source = targetAt(surface.widget(), from, pos);
    sendMouse(source, QEvent::MouseButtonPress, pos, Qt::LeftButton, Qt::LeftButton);
    // The press may have started anything, a slide of the strip included: look again.
    QPointer<QWidget> target = targetAt(surface.widget(), to, pos);
    if (target) sendMouse(target, QEvent::MouseMove, pos, Qt::NoButton, Qt::LeftButton);
    target = targetAt(surface.widget(), to, pos);
    if (target) sendMouse(target, QEvent::MouseButtonRelease, pos, Qt::LeftButton, Qt::NoButton);
}

bool pressButton(Control& window, const QString& caption) {
    for (Control* c : window.findChildren<Control*>()) {
        if (c->isDisposed() || !c->widget() || !c->widget()->isVisible()) continue;
        const QVariant text = c->property("Caption");
        // Captions may be padded with spaces ("  Load..."); the walkthrough's are trimmed.
        if (!text.isValid() || QString(text.toString()).remove('&').trimmed() != caption.trimmed())
            continue;
        const QPoint at = centreOf(window, *c);
        click(window, at.x(), at.y(), false);
        return true;
    }
    return false;
}

namespace {
// The widgets of a window and of its picture, when the window shows its inner area scaled.
template <typename T> QList<T*> widgetsOf(Control& window) {
    QList<T*> found = window.widget()->findChildren<T*>();
    if (auto* container = qobject_cast<ContainerControl*>(&window))
        if (QWidget* client = container->clientWidget(); client && client->window() == client)
            found += client->findChildren<T*>();
    return found;
}
} // namespace

bool selectEntry(Control& window, const QString& text) {
    for (QAbstractItemView* list : widgetsOf<QAbstractItemView>(window)) {
        if (!list->isVisible() || !list->model()) continue;
        const QModelIndexList found =
            list->model()->match(list->model()->index(0, 0, list->rootIndex()), Qt::DisplayRole,
                                 text, 1, Qt::MatchExactly);
        if (found.isEmpty()) continue;
        list->scrollTo(found.first());
        // A click on the entry, so that the list does what it does for a player's click.
        const QRect at = list->visualRect(found.first());
        if (at.isValid() && list->viewport()->rect().contains(at.center())) {
            QPointer<QWidget> viewport = list->viewport();
            sendMouse(viewport, QEvent::MouseButtonPress, at.center(), Qt::LeftButton,
                      Qt::LeftButton);
            if (viewport)
                sendMouse(viewport, QEvent::MouseButtonRelease, at.center(), Qt::LeftButton,
                          Qt::NoButton);
        } else {
            // Not laid out where a pointer could reach it yet: the same outcome without the
            // pointer.
            list->setCurrentIndex(found.first());
            emit list->clicked(found.first());
        }
        return true;
    }
    for (QComboBox* box : widgetsOf<QComboBox>(window)) {
        if (!box->isVisible()) continue;
        const int at = box->findText(text, Qt::MatchExactly);
        if (at < 0) continue;
        box->setCurrentIndex(at);
        emit box->activated(at);
        return true;
    }
    return false;
}

bool typeText(Control& window, const QString& text) {
    // An editable drop-down list takes its text in its own field.
    auto fieldOf = [](QWidget* w) -> QWidget* {
        auto* box = qobject_cast<QComboBox*>(w);
        return box && box->lineEdit() ? box->lineEdit() : w;
    };
    QWidget* field = fieldOf(QApplication::focusWidget());
    auto isField = [](QWidget* w) {
        return w && w->isVisible() && w->isEnabled() && !qobject_cast<QComboBox*>(w) &&
               w->testAttribute(Qt::WA_InputMethodEnabled);
    };
    const QList<QWidget*> widgets = widgetsOf<QWidget>(window);
    if (!isField(field) || !widgets.contains(field)) {
        field = nullptr;
        for (QWidget* w : widgets) {
            if (!isField(w)) continue;
            if (field) return false; // more than one: which one is not clear
            field = w;
        }
        if (!field) return false;
        field->setFocus();
    }
    QPointer<QWidget> target = field;
    for (const QChar c : text) {
        if (!target) return false;
        int code = Qt::Key_unknown;
        if (c.toUpper() >= QChar('A') && c.toUpper() <= QChar('Z'))
            code = Qt::Key_A + (c.toUpper().unicode() - 'A');
        else if (c.unicode() < 128)
            code = c.unicode();
        const Qt::KeyboardModifiers mods = c.isUpper() ? Qt::ShiftModifier : Qt::NoModifier;
        QKeyEvent press(QEvent::KeyPress, code, mods, QString(c));
        QApplication::sendEvent(target, &press);
        if (!target) return false;
        QKeyEvent release(QEvent::KeyRelease, code, mods, QString(c));
        QApplication::sendEvent(target, &release);
    }
    return true;
}

Control* modalWindow() {
    for (QWidget* w = QApplication::activeModalWidget(); w; w = w->parentWidget())
        if (auto* widget = dynamic_cast<detail::ControlWidget*>(w))
            if (widget->owner()) return widget->owner();
    return nullptr;
}

QPoint centreOf(Control& surface, Control& control) {
    const QWidget* from = control.widget();
    const QWidget* to = surface.widget();
    const QWidget* window = from->window();
    if (to->window() != window) // one of them inside a staged form's picture
        return to->mapFromGlobal(from->mapToGlobal(from->rect().center()));
    return to->mapFrom(window, from->mapTo(window, from->rect().center()));
}

bool isTopmostAt(Control& surface, QPoint at, Control& control) {
    QWidget* window = surface.widget()->window();
    const QPoint inWindow = surface.widget()->mapTo(window, at);
    if (!window->rect().contains(inWindow)) return false;
    const QWidget* hit = window->childAt(inWindow);
    for (const QWidget* w = hit; w; w = w->parentWidget())
        if (w == control.widget()) return true;
    return false;
}

bool isKeyName(const QString& name) {
    return qtKey(name) != 0;
}

bool key(Control& window, const QString& name, bool ctrl, bool shift, bool alt) {
    const int code = qtKey(name);
    if (code == 0) return false;
    Qt::KeyboardModifiers mods;
    if (ctrl) mods |= Qt::ControlModifier;
    if (shift) mods |= Qt::ShiftModifier;
    if (alt) mods |= Qt::AltModifier;
    QString text;
    if (name.size() == 1 && !ctrl && !alt) text = shift ? name.toUpper() : name.toLower();
    if (code == Qt::Key_Space) text = " ";
    if (code == Qt::Key_Return) text = "\r";
    QWidget* root = window.widget();
    QPointer<QWidget> target = root->focusWidget() ? root->focusWidget() : root;
    QKeyEvent press(QEvent::KeyPress, code, mods, text);
    QApplication::sendEvent(target, &press);
    if (target) {
        QKeyEvent release(QEvent::KeyRelease, code, mods, text);
        QApplication::sendEvent(target, &release);
    }
    return true;
}

namespace {
// What the surface's area of its window shows, with whatever lies over the surface there (a
// strip hanging over the frame display).
QImage picture(Control& surface) {
    QWidget* widget = surface.widget();
    QWidget* window = widget->window();
    const QRect area(widget->mapTo(window, QPoint(0, 0)), widget->size());
    return window->grab(area).toImage().convertToFormat(QImage::Format_RGB32);
}
} // namespace

qint64 pixel(Control& surface, int x, int y) {
    const QImage image = picture(surface);
    if (!image.rect().contains(x, y)) return -1;
    return image.pixel(x, y) & 0xFFFFFF;
}

bool saveScreenshot(Control& surface, const QString& path) {
    return picture(surface).save(path, "PNG");
}

bool saveThumbnail(Control& surface, const QString& path, int width) {
    QImage image = picture(surface);
    if (image.isNull()) return false;
    if (image.width() > width) image = image.scaledToWidth(width, Qt::SmoothTransformation);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    // A full disk fails the flush, not the commit.
    if (!image.save(&file, "PNG") || !file.flush() || file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace tv::automation
