// The torvane-build program: its exit status and messages.

#include "tools/builder/description.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tv::builder;

namespace {

struct Outcome {
    int status = -1;
    QString out, err;
};

Outcome run(const QStringList& arguments, const QString& folder) {
    QProcess p;
    p.setWorkingDirectory(folder);
    p.start(TV_BUILD_BINARY, arguments);
    Outcome r;
    if (!p.waitForFinished(60000)) return r;
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

void write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
}

} // namespace

TEST(CommandLine, BuildsDumpsAndReportsWithItsExitStatus) {
    QTemporaryDir dir;
    write(dir.filePath("game.yaml"),
          "project: {name: G, title: G, initial_frame: A, size: [320, 200]}\n"
          "frames:\n  - name: A\n    colour: \"#000000\"\n");
    Outcome r = run({"game.yaml", "out"}, dir.path());
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(QFile::exists(dir.filePath("out/Frames/A.fme")));

    // A second build over it must be asked for.
    r = run({"game.yaml", "out"}, dir.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("give --replace")) << r.err.toStdString();
    EXPECT_EQ(run({"game.yaml", "out", "--replace"}, dir.path()).status, 0);

    // A bad description: the file, the line, what is wrong; nothing is built.
    write(dir.filePath("bad.yaml"), "frames:\n  - name: A\n    tiled: often\n");
    r = run({"bad.yaml", "bad"}, dir.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "torvane-build: bad.yaml:3:12: tiled must be true or false\n");
    EXPECT_FALSE(QFile::exists(dir.filePath("bad")));

    // Usage errors.
    EXPECT_EQ(run({}, dir.path()).status, 2);
    EXPECT_EQ(run({"game.yaml"}, dir.path()).status, 2);
    EXPECT_EQ(run({"--frobnicate", "a", "b"}, dir.path()).status, 2);
    r = run({"--help"}, dir.path());
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.startsWith("usage: torvane-build")) << r.out.toStdString();

    // --dump writes to standard output, referring to the project's own folder.
    r = run({"--dump", "out"}, dir.path());
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    const ProjectDescription d = parseDescription(r.out.toUtf8(), "stdout", dir.path());
    EXPECT_EQ(d.mediaFolder, dir.filePath("out"));
    ASSERT_EQ(d.frames.size(), 1);
    EXPECT_EQ(d.frames[0].record->Background, "0");
    EXPECT_EQ(run({"--dump", "nowhere"}, dir.path()).status, 1);
}
