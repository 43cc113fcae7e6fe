#include "platform/component_host.h"

#include "platform/clock.h"
#include "platform/core/dialogs.h"
#include "platform/core/files.h"
#include "platform/event_loop.h"
#include "platform/mouse_pointer.h"
#include "platform/picture.h"
#include "platform/timer_control.h"

#include <QCoreApplication>
#include <QCursor>
#include <QImage>
#include <QMetaType>
#include <QPointer>
#include <QVariant>
#include <cmath>

namespace tv {

namespace {

// TV_COMPONENT_HOST_PROPERTY of the component interface header.
constexpr char kHostProperty[] = "tvComponentHost";

qint64 milliseconds(double ms) {
    return std::isfinite(ms) && ms > 0 ? static_cast<qint64>(std::llround(std::min(ms, 1e12))) : 0;
}

// A component sees the player's pictures (a control's Picture, Image or MouseIcon) as Qt images
// and cursors, and gives images back where a picture is wanted. Picture objects carry their
// image themselves (PictureObject).
void registerPictureConversions() {
    QMetaType::registerConverter<Picture, QImage>([](const Picture& p) { return p.image(); });
    QMetaType::registerConverter<Picture, QCursor>(
        [](const Picture& p) { return cursorFromPicture(p); });
    QMetaType::registerConverter<QImage, Picture>([](const QImage& i) { return Picture(i); });
}

} // namespace

void ComponentHost::publish() {
    static const bool converters = (registerPictureConversions(), true);
    (void)converters;
    static QPointer<ComponentHost> host;
    if (host || !QCoreApplication::instance()) return;
    host = new ComponentHost;
    host->setParent(QCoreApplication::instance());
    QCoreApplication::instance()->setProperty(kHostProperty, QVariant::fromValue<QObject*>(host));
}

double ComponentHost::now() const {
    return static_cast<double>(Clock::instance().nowMs());
}

void ComponentHost::doEvents() {
    EventLoop::instance().doEvents();
}

void ComponentHost::wait(double ms) {
    EventLoop::instance().wait(milliseconds(ms));
}

void ComponentHost::sleep(double ms) {
    EventLoop::instance().sleep(milliseconds(ms));
}

QObject* ComponentHost::newTimer(QObject* parent) {
    return new TimerControl({}, parent);
}

int ComponentHost::msgBox(const QString& prompt, int buttons, const QString& title) {
    return DialogService::instance().msgBox(prompt, buttons, title);
}

QString ComponentHost::localPath(const QString& path) const {
    return files::resolve(path);
}

} // namespace tv
