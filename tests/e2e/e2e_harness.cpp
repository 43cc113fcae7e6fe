#include "e2e_harness.h"

#include <QDir>
#include <QFile>
#include <QProcess>

namespace e2e {

using tv::builder::ProjectDescription;

TestProject::TestProject() {
    root_ = dir_.path() + "/Game";
    settings_.ProjectName = "E2E";
    settings_.GameTitle = "Test Game";
    settings_.InitialFrame = "Start";
    settings_.ProjectWidth = 320;
    settings_.ProjectHeight = 200;
    settings_.SkipWelcomeScreen = true;
    settings_.MenusAlwaysVisible = true;
    // Every project has its variables and procedures files, if only with nothing in them.
    description_.variables = tv::VariablesFile();
    description_.procedures = tv::ProceduresFile();
    // Tests name files that are not there on purpose.
    description_.missingMedia = tv::builder::MissingMedia::Warn;
    description_.baseFolder = dir_.path();
}

tv::builder::FrameFiles& TestProject::frame(const QString& name) {
    for (tv::builder::FrameFiles& f : description_.frames) {
        if (f.name == name) return f;
    }
    tv::builder::FrameFiles added;
    added.name = name;
    description_.frames.append(added);
    return description_.frames.last();
}

void TestProject::writeHotspots(const QString& name, const QList<tv::HotspotRecord>& records) {
    frame(name).hotspots = records;
}

void TestProject::writeActions(const QString& name, const QList<tv::ActionRecord>& records) {
    frame(name).actions = records;
}

void TestProject::writeTexts(const QString& name, const QList<tv::FrameTextRecord>& records,
                             bool merged) {
    (merged ? frame(name).mergedTexts : frame(name).texts) = records;
}

void TestProject::writeDialogue(const QString& name, const tv::DialogueFile& dialogue) {
    frame(name).dialogue = dialogue;
}

void TestProject::writeItemActions(const QString& name, const QList<tv::ActionRecord>& records) {
    frame(name).itemActions = records;
}

void TestProject::writePickUps(const QString& name, const QList<tv::PickUpRecord>& records) {
    frame(name).pickUps = records;
}

void TestProject::writeWater(const QString& name, const tv::WaterFile& water, const QImage& mask) {
    const QString file = name + "_mask.bmp";
    mask.save(dir_.path() + "/" + file, "BMP");
    frame(name).water = tv::builder::WaterFrame{water, file};
}

void TestProject::addItem(const QString& name, QRgb colour) {
    QImage icon(32, 32, QImage::Format_RGB32);
    icon.fill(colour);
    writeImage("Areas/" + name + ".png", icon, "PNG");
    description_.items.append(tv::builder::ItemDefinition{name, name + ".png"});
}

void TestProject::addCombination(const QString& dragged, const QString& target,
                                 const tv::ItemCombination& combination) {
    description_.combinations.append({dragged, target, combination});
}

void TestProject::writeProcedures(const QString& code) {
    description_.procedures->text = code;
}

void TestProject::writeVariables(const QStringList& integers, const QStringList& variants) {
    description_.variables->integers = integers;
    description_.variables->variants = variants;
}

void TestProject::writeFrame(const QString& name, const tv::FrameRecord& record, int lastField) {
    frame(name).record = record;
    frame(name).recordEndsAfter = lastField;
}

void TestProject::addFile(const QString& relativePath, const QString& source) {
    QList<tv::builder::MediaFile>& files = description_.files;
    files.removeIf([&](const tv::builder::MediaFile& f) { return f.to == relativePath; });
    files.append({relativePath, source, {}, true});
}

void TestProject::writeFile(const QString& relativePath, const QByteArray& bytes) {
    const QString source = dir_.path() + "/media/" + relativePath;
    QDir().mkpath(QFileInfo(source).absolutePath());
    QFile f(source);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
    addFile(relativePath, source);
}

void TestProject::writeImage(const QString& relativePath, const QImage& image, const char* format) {
    const QString source = dir_.path() + "/media/" + relativePath;
    QDir().mkpath(QFileInfo(source).absolutePath());
    image.save(source, format);
    addFile(relativePath, source);
}

RunResult TestProject::play(const QString& walkthrough, const QStringList& extraArgs) {
    RunResult result;
    // Built through the YAML description, as an author's project would be.
    ProjectDescription d = description_;
    if (writeSettings_) d.general = settings_;
    const QByteArray yaml = tv::builder::writeDescription(d);
    const QString yamlPath = dir_.path() + "/project.yaml";
    QFile yamlFile(yamlPath);
    if (yamlFile.open(QIODevice::WriteOnly | QIODevice::Truncate)) yamlFile.write(yaml);
    yamlFile.close();
    try {
        tv::builder::BuildOptions options;
        options.replace = true;
        tv::builder::buildProject(tv::builder::parseDescription(yaml, yamlPath, dir_.path()), root_,
                                  options);
    } catch (const tv::builder::BuildError& e) {
        result.errors = "torvane-build: " + e.message() + "\n" + QString::fromUtf8(yaml);
        return result;
    }
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
    env.insert("XDG_DATA_HOME", dir_.path() + "/data");
    env.insert("XDG_DOCUMENTS_DIR", documents());
    // The documents folder is where the desktop's user folders file says.
    QDir().mkpath(dir_.path() + "/config");
    // A test may have named other folders there already.
    QFile userDirs(dir_.path() + "/config/user-dirs.dirs");
    QByteArray named;
    if (userDirs.open(QIODevice::ReadOnly)) named = userDirs.readAll();
    userDirs.close();
    if (!named.contains("XDG_DOCUMENTS_DIR") && userDirs.open(QIODevice::Append))
        userDirs.write("XDG_DOCUMENTS_DIR=\"" + documents().toUtf8() + "\"\n");
    userDirs.close();
    // Saved games carry today's date; tests want the same bytes every day.
    env.insert("TV_SAVE_DATE", "03/07/2005");
    if (screen_.isValid()) {
        // The offscreen platform takes its screens from a file.
        const QString config = dir_.path() + "/screen.json";
        QFile file(config);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(QStringLiteral(R"({"screens": [{"name": "Screen", "x": 0, "y": 0, )"
                                  R"("width": %1, "height": %2, "logicalDpi": 96, "dpr": 1}]})")
                       .arg(screen_.width())
                       .arg(screen_.height())
                       .toUtf8());
        file.close();
        env.insert("QT_QPA_PLATFORM", "offscreen:configfile=" + config);
    }
    run.setProcessEnvironment(env);
    const QStringList args = QStringList{root_,    "--headless", "--virtual-time", "--walkthrough",
                                         walkPath, "--log",      logPath} +
                             extraArgs;
    if (fileSizeLimit_ > 0) {
        // The shell sets the limit (in KiB) and ignores the signal for writes beyond it, so
        // that they fail instead of ending the run.
        const QString script = QStringLiteral("trap '' XFSZ; ulimit -f %1; exec \"$0\" \"$@\"")
                                   .arg(fileSizeLimit_ / 1024);
        run.start("/bin/bash", QStringList{"-c", script, TV_RUN_BINARY} + args);
    } else {
        run.start(TV_RUN_BINARY, args);
    }
    // A guard against a run that hangs, not a measure of speed.
    if (!run.waitForFinished(60000)) {
        run.kill();
        run.waitForFinished();
        result.errors = "run did not finish within a minute";
        return result;
    }
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

QList<tv::RecordValue> channelRow(int code, bool fade, bool loop, double volume,
                                  const QString& file) {
    using tv::RecordValue;
    return {RecordValue::ofNumber(code), RecordValue::ofBool(fade), RecordValue::ofBool(loop),
            RecordValue::ofNumber(volume), RecordValue::ofString(file)};
}

tv::FrameRecord withChannels(tv::FrameRecord r, const QList<QList<tv::RecordValue>>& rows,
                             int fadeMs) {
    r.FadeDuration = tv::RecordValue::ofNumber(fadeMs);
    r.ChannelValueCount = 5;
    r.ChannelCount = static_cast<qint16>(rows.size());
    r.ChannelRows = rows;
    return r;
}

tv::ActionRecord withChannels(tv::ActionRecord r, const QList<QList<tv::RecordValue>>& rows,
                              int fadeMs) {
    r.FadeDuration = tv::RecordValue::ofNumber(fadeMs);
    r.ChannelValueCount = 5;
    r.ChannelCount = static_cast<qint16>(rows.size());
    for (const QList<tv::RecordValue>& values : rows)
        r.ChannelRows.append({values});
    return r;
}

tv::HotspotRecord hotspotAt(int index, int x, int y, int width, int height) {
    return tv::HotspotRecord::placed(index, x, y, width, height);
}

tv::ActionRecord setVariable(const QString& name, bool zero, bool one, bool toggle) {
    tv::ActionRecord r;
    r.ChangeVariable = 1;
    r.VariableName = name;
    r.SetToZero = tv::RecordValue::ofBool(zero);
    r.SetToOne = tv::RecordValue::ofBool(one);
    r.Toggle = tv::RecordValue::ofBool(toggle);
    return r;
}

tv::ActionRecord usedOn(int hotspot, const QString& item, tv::ActionRecord action) {
    action.prefix = tv::itemActionRecord(hotspot, item).prefix;
    return action;
}

tv::PickUpRecord pickUp(int hotspot, const QString& item) {
    tv::PickUpRecord r;
    r.Hotspot = qint16(hotspot);
    r.Flag = tv::RecordValue::ofNumber(item.isEmpty() ? 0 : 1);
    r.Rest = {tv::RecordValue::ofString(item)};
    return r;
}

tv::ItemCombination combination(bool removeDragged, bool removeTarget, const QString& added,
                                const QString& script) {
    tv::ItemCombination c;
    c.RemoveDragged = tv::RecordValue::ofNumber(removeDragged ? 1 : 0);
    c.RemoveTarget = tv::RecordValue::ofNumber(removeTarget ? 1 : 0);
    c.AddItem = tv::RecordValue::ofNumber(added.isEmpty() ? 0 : 1);
    c.NewItem = added;
    if (!script.isEmpty()) {
        c.hasScript = true;
        c.RunScript = true;
        c.Script = tv::encodeBarQuotes(script);
    }
    return c;
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
