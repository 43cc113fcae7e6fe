#include "app/command_line.h"

#include "platform/core/files.h"

#include <QDir>

namespace tv {

std::optional<CommandLine> CommandLine::parse(const QStringList& args, QString& error) {
    CommandLine c;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](QString& into) {
            if (i + 1 >= args.size()) {
                error = a + " needs a value";
                return false;
            }
            into = args[++i];
            return true;
        };
        if (a == "--headless") {
            c.headless = true;
        } else if (a == "--virtual-time") {
            c.virtualTime = true;
        } else if (a == "--walkthrough") {
            if (!value(c.walkthrough)) return std::nullopt;
        } else if (a == "--log") {
            if (!value(c.log)) return std::nullopt;
        } else if (a == "--audio-out") {
            if (!value(c.audioOut)) return std::nullopt;
        } else if (a == "--drive") {
            QString mapping;
            if (!value(mapping)) return std::nullopt;
            const qsizetype eq = mapping.indexOf(u'=');
            const auto letter = drives::parseLetter(mapping.left(eq));
            if (eq < 0 || !letter || eq + 1 == mapping.size()) {
                error = "--drive needs LETTER=FOLDER, not " + mapping;
                return std::nullopt;
            }
            c.drives.insert(*letter, mapping.mid(eq + 1));
        } else if (a == "--sound") {
            c.sound = true;
        } else if (a == "--allow-native-components") {
            c.allowNativeComponents = true;
        } else if (a == "--help" || a == "-h") {
            c.help = true;
        } else if (a == "--version") {
            c.version = true;
        } else if (a.startsWith("--") || (a.startsWith('-') && a.size() > 1)) {
            error = "unknown option " + a;
            return std::nullopt;
        } else if (c.projectFolder.isEmpty()) {
            c.projectFolder = a;
        } else {
            error = "only one project folder can be played at a time";
            return std::nullopt;
        }
    }
    return c;
}

QString CommandLine::usage(const QString& program) {
    return "Usage: " + program +
           " [PROJECT_FOLDER] [--headless] [--virtual-time] [--walkthrough FILE] "
           "[--log FILE] [--audio-out FILE.wav] [--sound] [--drive LETTER=FOLDER]... "
           "[--allow-native-components] [--help] [--version]\n"
           "\n"
           "Plays a Torvane game project folder.\n"
           "\n"
           "  PROJECT_FOLDER      the game to play; without it, the folder of the program when it\n"
           "                      holds a game (Config/General), else the bundled demo game\n"
           "  --headless          no visible window (offscreen rendering)\n"
           "  --virtual-time      the clock moves only when the player waits or is idle, and\n"
           "                      then jumps to the next timer at once\n"
           "  --walkthrough FILE  run the commands of FILE after start-up, then exit: 0 when\n"
           "                      every expectation held, 1 at the first that failed, 2 for a\n"
           "                      malformed file\n"
           "  --log FILE          write the event log to FILE (- for standard output)\n"
           "  --audio-out FILE    write what would be heard into FILE, a WAV file (16-bit\n"
           "                      stereo, 44.1 kHz), when the program ends\n"
           "  --sound             play sound on the desktop's output even when headless\n"
           "  --drive E=FOLDER    the drive letter E stands for FOLDER (a copied or mounted\n"
           "                      disc) in this run; may be given for several letters\n"
           "  --allow-native-components\n"
           "                      load the game's own component libraries (program code from\n"
           "                      the game's folder) without asking\n"
           "  --help              show this text\n"
           "  --version           show the version\n";
}

QString defaultProjectFolder(const QString& programFolder, const QString& demoFolder) {
    if (files::fileExists(programFolder + "/Config/General")) return programFolder;
    // Installed: the demo lies in the shared data beside the program's folder.
    const QString installed = programFolder + "/../share/torvane-player/demo";
    if (files::fileExists(installed + "/Config/General")) return QDir(installed).absolutePath();
    return demoFolder;
}

} // namespace tv
