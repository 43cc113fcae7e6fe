#include "e2e_harness.h"

#include "data/procedures_file.h"
#include "script/variables.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

namespace e2e {

TestProject::TestProject() {
    root_ = dir_.path() + "/Game";
    for (const char* sub : {"Frames", "FramesData", "Areas", "Icons", "Config", "Temp"})
        QDir().mkpath(root_ + "/" + sub);
    settings_.ProjectName = "E2E";
    settings_.GameTitle = "Test Game";
    settings_.InitialFrame = "Start";
    settings_.ProjectWidth = 320;
    settings_.ProjectHeight = 200;
    settings_.SkipWelcomeScreen = true;
    settings_.MenusAlwaysVisible = true;
    writeVariables({});
    // Every project has its procedures file, if only with no procedures in it.
    tv::writeProceduresFile(root_ + "/Config/Procedures", tv::ProceduresFile{});
}

void TestProject::writeHotspots(const QString& frame, const QList<tv::HotspotRecord>& records) {
    tv::writeHotspotFile(root_ + "/FramesData/" + frame + ".fm2", records);
    tv::writeHotspotCount(static_cast<qint16>(records.size()), root_ + "/Frames/" + frame + ".lks");
}

void TestProject::writeActions(const QString& frame, const QList<tv::ActionRecord>& records) {
    tv::writeActionFile(root_ + "/FramesData/" + frame + ".fm3", records);
}

void TestProject::writeProcedures(const QString& code) {
    tv::ProceduresFile file;
    file.text = code;
    tv::writeProceduresFile(root_ + "/Config/Procedures", file);
}

void TestProject::writeVariables(const QStringList& integers, const QStringList& variants) {
    tv::GameVariables::writeVariablesFile(root_ + "/Config/Variables", integers, variants);
}

void TestProject::writeFrame(const QString& name, const tv::FrameRecord& record, int lastField) {
    tv::writeFrameRecord(record, root_ + "/Frames/" + name + ".fme", lastField);
}

void TestProject::writeFile(const QString& relativePath, const QByteArray& bytes) {
    QFile f(root_ + "/" + relativePath);
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
}

void TestProject::writeImage(const QString& relativePath, const QImage& image, const char* format) {
    image.save(root_ + "/" + relativePath, format);
}

RunResult TestProject::play(const QString& walkthrough, const QStringList& extraArgs) {
    if (writeSettings_) settings_.save(root_ + "/Config/General");
    const QString walkPath = dir_.path() + "/walk.txt";
    const QString logPath = dir_.path() + "/events.log";
    QFile walk(walkPath);
    walk.open(QIODevice::WriteOnly | QIODevice::Truncate);
    walk.write(walkthrough.toUtf8());
    walk.close();

    QProcess run;
    run.setWorkingDirectory(dir_.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", dir_.path() + "/config");
    env.insert("XDG_DOCUMENTS_DIR", dir_.path() + "/documents");
    run.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    run.start(TV_RUN_BINARY, QStringList{root_, "--headless", "--virtual-time", "--walkthrough",
                                         walkPath, "--log", logPath} +
                                 extraArgs);
    RunResult result;
    if (!run.waitForFinished(60000)) {
        run.kill();
        run.waitForFinished();
        result.errors = "run did not finish within a minute";
        return result;
    }
    result.wallMs = clock.elapsed();
    result.exitCode = run.exitStatus() == QProcess::NormalExit ? run.exitCode() : -1;
    result.errors = QString::fromUtf8(run.readAllStandardError());
    QFile log(logPath);
    if (log.open(QIODevice::ReadOnly))
        result.log = QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts);
    return result;
}

std::string show(const RunResult& r) {
    return ("exit " + QString::number(r.exitCode) + "\nstderr: " + r.errors + "\nlog:\n" +
            r.log.join('\n'))
        .toStdString();
}

tv::FrameRecord colourFrame(quint32 oleColour) {
    tv::FrameRecord r;
    r.BackgroundMode = 0;
    r.Background = QString::number(oleColour);
    return r;
}

tv::FrameRecord pictureFrame(const QString& picture, bool tiled) {
    tv::FrameRecord r;
    r.BackgroundMode = 1;
    r.Background = picture;
    r.BackgroundTiled = tiled;
    return r;
}

tv::FrameRecord withTimer(tv::FrameRecord record, double seconds, const QString& target) {
    record.TimerEnabled = true;
    record.TimerSeconds = tv::RecordValue::ofNumber(seconds);
    record.TimerTarget = target;
    return record;
}

tv::HotspotRecord hotspotAt(int index, int x, int y, int width, int height) {
    return tv::HotspotRecord::placed(index, x, y, width, height);
}

tv::ActionRecord goTo(const QString& frame) {
    tv::ActionRecord r;
    r.GoToFrame = 1;
    r.Destination = frame;
    return r;
}

QString errorReportLine(const QString& detail) {
    return "msgbox Error|An error has occurred. The program may not work properly. Click OK and "
           "then press Ctrl+Q to quit.\\n\\nError description:" +
           detail + "|OK";
}

} // namespace e2e
