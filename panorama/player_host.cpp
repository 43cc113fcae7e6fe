#include "panorama/player_host.h"

#include "sdk/torvane_component.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QThread>
#include <QTimerEvent>
#include <QVariant>

namespace tv::pano {

namespace {

QObject* player() {
    QCoreApplication* app = QCoreApplication::instance();
    return app ? app->property(TV_COMPONENT_HOST_PROPERTY).value<QObject*>() : nullptr;
}

QElapsedTimer& wallClock() {
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer;
}

} // namespace

namespace host {

double now() {
    double ms = 0;
    if (QObject* p = player(); p && QMetaObject::invokeMethod(p, "now", Q_RETURN_ARG(double, ms)))
        return ms;
    return static_cast<double>(wallClock().elapsed());
}

void doEvents() {
    if (QObject* p = player(); p && QMetaObject::invokeMethod(p, "doEvents")) return;
    QCoreApplication::processEvents();
    QThread::usleep(500);
}

void sleep(double ms) {
    if (QObject* p = player(); p && QMetaObject::invokeMethod(p, "sleep", Q_ARG(double, ms)))
        return;
    if (ms > 0) QThread::msleep(static_cast<unsigned long>(ms));
}

QObject* newTimer(QObject* parent) {
    QObject* timer = nullptr;
    if (QObject* p = player();
        p &&
        QMetaObject::invokeMethod(p, "newTimer", Q_RETURN_ARG(QObject*, timer),
                                  Q_ARG(QObject*, parent)) &&
        timer)
        return timer;
    return new QtTimer(parent);
}

int msgBox(const QString& prompt, int buttons, const QString& title) {
    int result = 0;
    if (QObject* p = player();
        p &&
        QMetaObject::invokeMethod(p, "msgBox", Q_RETURN_ARG(int, result), Q_ARG(QString, prompt),
                                  Q_ARG(int, buttons), Q_ARG(QString, title)))
        return result;
    QMessageBox::critical(nullptr, title, prompt);
    return 1;
}

QString localPath(const QString& path) {
    QString local;
    if (QObject* p = player();
        p && QMetaObject::invokeMethod(p, "localPath", Q_RETURN_ARG(QString, local),
                                       Q_ARG(QString, path)))
        return local;
    return path;
}

} // namespace host

QtTimer::QtTimer(QObject* parent) : QObject(parent) {}

void QtTimer::setInterval(int ms) {
    interval_ = ms;
    restart();
}

void QtTimer::setEnabled(bool enabled) {
    enabled_ = enabled;
    restart();
}

void QtTimer::restart() {
    if (id_) killTimer(id_);
    id_ = enabled_ && interval_ > 0 ? startTimer(interval_) : 0;
}

void QtTimer::timerEvent(QTimerEvent* event) {
    if (event->timerId() == id_) emit Timer();
}

} // namespace tv::pano
