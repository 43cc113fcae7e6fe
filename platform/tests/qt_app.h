#pragma once
// One QApplication for the whole test process, on the offscreen platform so tests run headless.
// Call tv::test::app() (for example in a fixture's SetUp) before creating widgets or pixmaps.

#include <QApplication>
#include <QByteArray>
#include <QList>
#include <QMouseEvent>
#include <QVariant>
#include <QWidget>

#include <type_traits>

namespace tv::test {

inline QApplication& app() {
    static QApplication* instance = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
        static int argc = 1;
        static char name[] = "platform_tests";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    return *instance;
}

// Delivers a mouse event at pos (window coordinates) the way the window system does: to the
// visible widget under the point, passed on to its parents while nobody accepts it.
// Returns the widget it was first offered to.
inline QWidget* mouse(QWidget* window, QEvent::Type type, QPoint pos,
                      Qt::MouseButton button = Qt::LeftButton,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                      Qt::MouseButtons held = Qt::NoButton) {
    QWidget* target = window->childAt(pos);
    if (!target) target = window;
    const QPointF local = target->mapFrom(window, QPointF(pos));
    Qt::MouseButtons buttons = held;
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) buttons |= button;
    QMouseEvent event(type, local, window->mapToGlobal(QPointF(pos)),
                      type == QEvent::MouseMove ? Qt::NoButton : button, buttons, modifiers);
    QApplication::sendEvent(target, &event);
    return target;
}

// Press and release of one button.
inline void click(QWidget* window, QPoint pos, Qt::MouseButton button = Qt::LeftButton,
                  Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    mouse(window, QEvent::MouseButtonPress, pos, button, modifiers);
    mouse(window, QEvent::MouseButtonRelease, pos, button, modifiers);
}

// Records the arguments of every emission of one signal while it lives.
template <class Sender, class... Args> class SignalSpy {
public:
    SignalSpy(std::type_identity_t<Sender>* sender, void (Sender::*signal)(Args...)) {
        QObject::connect(sender, signal, &context_, [this](Args... args) {
            calls_.append(QList<QVariant>{QVariant::fromValue(args)...});
        });
    }
    int count() const { return int(calls_.size()); }
    const QList<QVariant>& operator[](int i) const { return calls_.at(i); }
    const QList<QVariant>& last() const { return calls_.last(); }

private:
    QObject context_;
    QList<QList<QVariant>> calls_;
};

} // namespace tv::test
