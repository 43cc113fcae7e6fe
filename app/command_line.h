#pragma once
// The command line of `run`.

#include "platform/core/drives.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace tv {

struct CommandLine {
    QString projectFolder; // empty: choose the default
    bool headless = false;
    bool virtualTime = false;
    QString walkthrough;
    QString log;
    QString audioOut;   // a WAV file that receives what is heard
    bool sound = false; // sound on the desktop's output even when headless
    // Native component libraries of the game may be loaded without asking (automated runs).
    bool allowNativeComponents = false;
    // --drive LETTER=FOLDER, for this run only: over the letters of the settings and the mounts.
    drives::Mappings drives;
    bool help = false;
    bool version = false;

    // Parses the arguments after the program name; on a bad command line returns nullopt and
    // sets `error`.
    static std::optional<CommandLine> parse(const QStringList& args, QString& error);
    // The help text, for the program under the name it was started by ("run" in a game's
    // folder, "torvane-player" when installed).
    static QString usage(const QString& program = QStringLiteral("run"));
};

// The project to play when none is named: the program's own folder when it holds a game (the
// shipped layout, "Config/General"), else the bundled demo project.
QString defaultProjectFolder(const QString& programFolder, const QString& demoFolder);

} // namespace tv
