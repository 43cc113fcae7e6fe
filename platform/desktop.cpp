#include "platform/desktop.h"

#include "platform/dialogs.h"
#include "platform/event_log.h"
#include "platform/vberror.h"

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
        throw VbError(err::FileNotFound, "No application is associated with " + url.toString());
}
} // namespace

void openAddress(const QString& address) {
    EventLog::instance().write("open " + address);
    openUrl(QUrl(address, QUrl::TolerantMode));
}

void openDocument(const QString& path) {
    EventLog::instance().write("open " + path);
    if (!QFileInfo(path).isFile()) throw VbError(err::FileNotFound);
    openUrl(QUrl::fromLocalFile(path));
}

void runAndWait(const QString& path, const std::function<void()>& idle) {
    EventLog::instance().write("run " + path);
    if (!QFileInfo(path).isFile()) throw VbError(err::FileNotFound);
    QProcess process;
    process.setProgram(path);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start();
    if (!process.waitForStarted(-1)) throw VbError(err::PathFileAccessError, process.errorString());
    // waitForFinished is false for a process that has already ended: ask its state.
    while (process.state() != QProcess::NotRunning && !process.waitForFinished(100))
        if (idle) idle();
}

} // namespace tv::desktop
