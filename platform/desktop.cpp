#include "platform/desktop.h"

#include "platform/core/dialogs.h"
#include "platform/core/errors.h"
#include "platform/core/event_log.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace tv::desktop {

namespace {
bool automated() {
    return DialogService::instance().automated();
}

void openUrl(const QUrl& url) {
    if (automated()) return;
    if (!QDesktopServices::openUrl(url))
        throw vbError(err::FileNotFound, "No application is associated with " + url.toString());
}
} // namespace

void openAddress(const QString& address) {
    EventLog::instance().write("open " + address);
    openUrl(QUrl(address, QUrl::TolerantMode));
}

void openDocument(const QString& path) {
    EventLog::instance().write("open " + path);
    if (!QFileInfo(path).isFile()) throw vbError(err::FileNotFound);
    openUrl(QUrl::fromLocalFile(path));
}

void runAndWait(const QString& path, const std::function<void()>& idle) {
    EventLog::instance().write("run " + path);
    if (!QFileInfo(path).isFile()) throw vbError(err::FileNotFound);
    QProcess process;
    process.setProgram(path);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start();
    if (!process.waitForStarted(-1)) throw vbError(err::PathFileAccessError, process.errorString());
    // waitForFinished is false for a process that has already ended: ask its state.
    while (process.state() != QProcess::NotRunning && !process.waitForFinished(100))
        if (idle) idle();
}

} // namespace tv::desktop
