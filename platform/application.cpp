#include "platform/application.h"

#include "platform/controls.h"
#include "platform/dialog_presenter.h"
#include "platform/event_loop.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <unistd.h>

namespace tv {

Application::Application(int& argc, char** argv, bool headless) {
    // A headless run keeps offscreen options given by the caller (a screen of another size).
    if (headless && !qgetenv("QT_QPA_PLATFORM").startsWith("offscreen"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Without a desktop session there is no runtime folder; give Qt a private one instead of a
    // warning on every start.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = QDir::tempPath() + QStringLiteral("/runtime-%1").arg(getuid());
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    }
    // Frames are designed in pixels at 96 dots per inch; no scaling of any kind.
    qputenv("QT_FONT_DPI", "96");
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    app_ = std::make_unique<QApplication>(argc, argv);
    QApplication::setApplicationName("Torvane Player");
    QApplication::setQuitOnLastWindowClosed(false);
    dialogs_ = std::make_unique<QtDialogPresenter>();
    DialogService::instance().setPresenter(dialogs_.get());
    // Modal windows wait on the player's own loop, so that timers keep to the one clock.
    Form::setModalWaiter([](const std::function<bool()>& done) {
        auto& loop = EventLoop::instance();
        while (!done() && !loop.quitRequested())
            loop.doEvents();
    });
}

Application::~Application() {
    DialogService::instance().setPresenter(nullptr);
}

bool Application::displayAvailable() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.startsWith("offscreen") || platform.startsWith("minimal")) return true;
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace tv
