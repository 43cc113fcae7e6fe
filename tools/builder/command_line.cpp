#include "tools/builder/description.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace tv::builder {

namespace {

const char* const kUsage =
    "usage: torvane-build DESCRIPTION.yaml OUTPUT_FOLDER [--replace] [--media-folder DIR]\n"
    "       torvane-build --dump PROJECT_FOLDER [OUT.yaml]\n"
    "\n"
    "Builds a game project folder from a YAML description, or describes a project folder.\n"
    "  --replace           rebuild over an existing project folder\n"
    "  --media-folder DIR  look the named media files up in DIR (instead of the description's\n"
    "                      build: media_folder)\n"
    "  --dump              write the description of PROJECT_FOLDER to OUT.yaml (or standard\n"
    "                      output); its media stay in the project and are referred to there\n";

int build(const QStringList& positional, const BuildOptions& options, QTextStream& out,
          QTextStream& err) {
    const ProjectDescription description = loadDescription(positional[0]);
    const BuildResult result = buildProject(description, positional[1], options);
    for (const QString& warning : result.warnings)
        err << "torvane-build: warning: " << warning << "\n";
    out << "torvane-build: " << QDir(positional[1]).absolutePath() << ": " << result.written.size()
        << " files\n";
    return 0;
}

int dump(const QStringList& positional, QTextStream& out, QTextStream& err) {
    DumpResult result = readProject(positional[0]);
    const QString project = QDir(positional[0]).absolutePath();
    const bool toFile = positional.size() == 2;
    if (toFile) {
        // Media stay where they are, referred to from where the description is written.
        const QString folder = QFileInfo(positional[1]).absolutePath();
        const QString relative = QDir(folder).relativeFilePath(project);
        result.description.mediaFolder = relative.isEmpty() ? "." : relative;
    } else {
        result.description.mediaFolder = project;
    }
    for (const QString& warning : result.warnings)
        err << "torvane-build: warning: " << warning << "\n";
    const QByteArray yaml =
        writeDescription(result.description, "A description of the project " + project +
                                                 "\nmade by torvane-build --dump; build it with:\n"
                                                 "  torvane-build DESCRIPTION.yaml OUTPUT_FOLDER");
    if (!toFile) {
        out.flush();
        out.device() ? (void)out.device()->write(yaml) : (void)(out << QString::fromUtf8(yaml));
        return 0;
    }
    QDir().mkpath(QFileInfo(positional[1]).absolutePath());
    QSaveFile file(positional[1]);
    if (!file.open(QIODevice::WriteOnly) || file.write(yaml) != yaml.size() || !file.commit())
        throw BuildError(positional[1] + ": cannot be written");
    return 0;
}

} // namespace

int runCommandLine(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    QStringList positional;
    BuildOptions options;
    bool dumping = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == "--help" || a == "-h") {
            out << kUsage;
            return 0;
        } else if (a == "--dump") {
            dumping = true;
        } else if (a == "--replace") {
            options.replace = true;
        } else if (a == "--media-folder" && i + 1 < arguments.size()) {
            options.mediaFolder = arguments[++i];
        } else if (a.startsWith("--")) {
            err << "torvane-build: unknown option " << a << "\n" << kUsage;
            return 2;
        } else {
            positional.append(a);
        }
    }
    const bool fits =
        dumping ? (positional.size() == 1 || positional.size() == 2) : positional.size() == 2;
    if (!fits || (dumping && (options.replace || !options.mediaFolder.isEmpty()))) {
        err << kUsage;
        return 2;
    }
    try {
        return dumping ? dump(positional, out, err) : build(positional, options, out, err);
    } catch (const BuildError& e) {
        err << "torvane-build: " << e.message() << "\n";
        return 1;
    }
}

} // namespace tv::builder
