// `run`: plays a Torvane game project folder.

#include "app/command_line.h"
#include "app/walkthrough.h"
#include "components/component_library.h"
#include "engine/game.h"
#include "platform/application.h"
#include "platform/clock.h"
#include "platform/core/dialogs.h"
#include "platform/core/drives.h"
#include "platform/core/event_log.h"
#include "platform/core/settings_store.h"
#include "platform/event_loop.h"
#include "platform/media_player.h"
#include "platform/sound_recorder.h"
#include "shell/welcome.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <memory>

#ifndef TV_DEMO_PROJECT_DIR
#define TV_DEMO_PROJECT_DIR ""
#endif
#ifndef TV_VERSION
#define TV_VERSION "0.0.0"
#endif

namespace {
void printErr(const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

QString programFolder(const char* argv0) {
    // /proc/self/exe names the program even when it was started through a link.
    const QString self = QFileInfo("/proc/self/exe").canonicalFilePath();
    if (!self.isEmpty()) return QFileInfo(self).absolutePath();
    return QFileInfo(QString::fromLocal8Bit(argv0)).absolutePath();
}

QString programName(const char* argv0) {
    const QString name = QFileInfo(QString::fromLocal8Bit(argv0)).fileName();
    return name.isEmpty() ? QStringLiteral("run") : name;
}
} // namespace

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    QString error;
    const auto cl = tv::CommandLine::parse(args, error);
    const QString program = programName(argv[0]);
    if (!cl) {
        printErr(program + ": " + error);
        printErr(tv::CommandLine::usage(program));
        return 2;
    }
    if (cl->help) {
        std::fputs(tv::CommandLine::usage(program).toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (cl->version) {
        std::printf("%s (Torvane Player) %s\n", program.toLocal8Bit().constData(), TV_VERSION);
        return 0;
    }

    std::vector<tv::WalkCommand> walk;
    if (!cl->walkthrough.isEmpty()) {
        QFile file(cl->walkthrough);
        if (!file.open(QIODevice::ReadOnly)) {
            printErr("run: cannot read the walkthrough " + cl->walkthrough);
            return 2;
        }
        tv::WalkParseError parseError;
        const auto parsed = tv::parseWalkthrough(QString::fromUtf8(file.readAll()), parseError);
        if (!parsed) {
            printErr(
                QStringLiteral("walkthrough:%1: %2").arg(parseError.line).arg(parseError.message));
            return 2;
        }
        walk = *parsed;
    }

    QString root = cl->projectFolder;
    if (root.isEmpty())
        root = tv::defaultProjectFolder(programFolder(argv[0]), TV_DEMO_PROJECT_DIR);
    if (!QFileInfo(root).isDir()) {
        printErr(program + ": no such project folder: " + root);
        return 2;
    }
    root = QDir(root).absolutePath();

    // Drive letters of multi-CD games: the player's own mappings, with this run's over them.
    tv::drives::Mappings mapped = tv::drives::mappingsFromSettings(tv::SettingsStore());
    for (auto it = cl->drives.cbegin(); it != cl->drives.cend(); ++it)
        mapped.insert(it.key(), QDir(it.value()).absolutePath());
    // The bundled demo carries its second disc as a folder among its files. It gets V, the
    // letter a CD drive is looked for at first, unless the player gave V a folder.
    const QString demoDisc = root + "/Disc2";
    if (cl->projectFolder.isEmpty() && root != QDir(programFolder(argv[0])).absolutePath() &&
        !mapped.contains(QChar('V')) && QFileInfo(demoDisc).isDir())
        mapped.insert(QChar('V'), demoDisc);
    tv::drives::setMappings(mapped);

    bool headless = cl->headless;
    if (!headless && !tv::Application::displayAvailable()) {
        printErr("run: no display found; playing without a window (as with --headless)");
        headless = true;
    }
    tv::Application app(argc, argv, headless);

    tv::Clock::instance().setMode(cl->virtualTime ? tv::Clock::Mode::Virtual
                                                  : tv::Clock::Mode::Real);
    if (!cl->log.isEmpty() && !tv::EventLog::instance().open(cl->log)) {
        printErr("run: cannot write the log " + cl->log);
        return 2;
    }
    tv::DialogService::instance().setAutomated(headless || !cl->walkthrough.isEmpty());
    // Headless runs are silent unless sound is asked for; a recording works either way.
    tv::setSoundOutput(headless && !cl->sound ? tv::SoundOutput::None : tv::SoundOutput::Device);
    if (!cl->audioOut.isEmpty()) tv::SoundRecorder::instance().start(cl->audioOut);

    bool ended = false;
    auto endProgram = [&ended] {
        if (ended) return;
        ended = true;
        tv::EventLog::instance().write("quit");
        tv::EventLoop::instance().quit(0);
    };
    int status = 0;
    {
        tv::Welcome welcome(
            root, [] { return std::make_unique<tv::Game>(); }, endProgram);
        tv::ComponentLibraries& libraries = tv::ComponentLibraries::instance();
        libraries.setGameFolder(root);
        libraries.setNativeAllowedForRun(cl->allowNativeComponents);
        welcome.setRegisterControlLibraries(
            [&libraries](const QString& folder) { libraries.RegisterControlLibraries(folder); });
        welcome.load();
        // A program that ended while starting (no "General", say) has nothing to walk through.
        if (!cl->walkthrough.isEmpty() && !ended) {
            tv::WalkthroughRunner runner(welcome);
            status = runner.run(walk, printErr);
        } else if (!ended) {
            status = tv::EventLoop::instance().exec();
        }
        endProgram();
    }
    // Every player has stopped with the game: the recording holds the whole run.
    QString soundError;
    if (!tv::SoundRecorder::instance().finish(&soundError)) {
        printErr("run: cannot write the sound file " + soundError);
        if (status == 0) status = 2;
    }
    return status;
}
