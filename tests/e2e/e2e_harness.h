#pragma once
// Describes small game projects, builds them with torvane-build's library (through the YAML
// description, so that every test project is one an author could write) and plays them with `run`
// the way an author's regression test would: headless, under virtual time, driven by a
// walkthrough.

#include "data/action_record.h"
#include "data/dialogue_file.h"
#include "data/frame_record.h"
#include "data/frame_texts.h"
#include "data/hotspot_record.h"
#include "data/inventory_files.h"
#include "data/project.h"
#include "tools/builder/description.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <string>

namespace e2e {

struct RunResult {
    int exitCode = -1;
    QStringList log;
    QString errors; // standard error
};

class TestProject {
public:
    TestProject();

    const QString& root() const { return root_; }
    // The user's documents folder in the runs (saved games go below it).
    QString documents() const { return dir_.path() + "/documents"; }
    tv::ProjectSettings& settings() { return settings_; }

    // "General" is written from settings() when the project is played, unless this is called.
    void withoutSettingsFile() { writeSettings_ = false; }
    void writeFrame(const QString& name, const tv::FrameRecord& record, int lastField = 40);
    void writeFile(const QString& relativePath, const QByteArray& bytes);
    void writeHotspots(const QString& frame, const QList<tv::HotspotRecord>& records);
    void writeActions(const QString& frame, const QList<tv::ActionRecord>& records);
    // The frame's captions (".fm1"), or its merged captions (".mr1").
    void writeTexts(const QString& frame, const QList<tv::FrameTextRecord>& records,
                    bool merged = false);
    void writeDialogue(const QString& frame, const tv::DialogueFile& dialogue);
    // Actions of items used on the frame's hotspots (".fm0"); see usedOn().
    void writeItemActions(const QString& frame, const QList<tv::ActionRecord>& records);
    // The items the frame's hotspots give when clicked (".fm4").
    void writePickUps(const QString& frame, const QList<tv::PickUpRecord>& records);
    // Rippling water on the frame, limited by `mask` (stored as the frame's ".rwm" file).
    void writeWater(const QString& frame, const tv::WaterFile& water, const QImage& mask);
    // An inventory item whose icon is a 32 x 32 square of one colour (0xRRGGBB).
    void addItem(const QString& name, QRgb colour);
    void addCombination(const QString& dragged, const QString& target,
                        const tv::ItemCombination& combination);
    // The "Variables" file (one without names unless this is called).
    void writeVariables(const QStringList& integers, const QStringList& variants = {});
    // The project's procedures (plain).
    void writeProcedures(const QString& code);
    void writeImage(const QString& relativePath, const QImage& image, const char* format);

    // The headless screen's size in pixels (800 x 600 unless this is called).
    void setScreenSize(int width, int height) { screen_ = {width, height}; }
    // The run may write no file beyond `bytes` (a full disk, as far as it can tell): writes past
    // the limit fail instead of ending the run. 0: no limit.
    void setFileSizeLimit(qint64 bytes) { fileSizeLimit_ = bytes; }

    // Plays the project with the walkthrough text.
    RunResult play(const QString& walkthrough, const QStringList& extraArgs = {});

    // The description the project is built from (settings() aside).
    tv::builder::ProjectDescription& description() { return description_; }

private:
    tv::builder::FrameFiles& frame(const QString& name);
    // Media and deliberately broken files: copied into the project as they are, replacing any
    // file the builder writes.
    void addFile(const QString& relativePath, const QString& source);

    QTemporaryDir dir_;
    QString root_;
    tv::ProjectSettings settings_;
    bool writeSettings_ = true;
    QSize screen_;
    qint64 fileSizeLimit_ = 0;
    tv::builder::ProjectDescription description_;
};

// A run's exit status, errors and log, for failure messages.
std::string show(const RunResult& result);

// A frame with a plain colour background (0x00BBGGRR).
tv::FrameRecord colourFrame(quint32 oleColour);
tv::FrameRecord pictureFrame(const QString& picture, bool tiled = false);
tv::FrameRecord withTimer(tv::FrameRecord record, double seconds, const QString& target);

// A channel request row: code, fade, loop, volume (0 to 10) and file.
QList<tv::RecordValue> channelRow(int code, bool fade, bool loop, double volume,
                                  const QString& file);
// The record with these channel rows (row i is channel i) and fade time.
tv::FrameRecord withChannels(tv::FrameRecord record, const QList<QList<tv::RecordValue>>& rows,
                             int fadeMs = 0);
tv::ActionRecord withChannels(tv::ActionRecord record, const QList<QList<tv::RecordValue>>& rows,
                              int fadeMs = 0);

// A hotspot record for the rectangle (x, y, width, height) in pixels.
tv::HotspotRecord hotspotAt(int index, int x, int y, int width, int height);
// An action record that goes to a frame (a default record does nothing).
tv::ActionRecord goTo(const QString& frame);
// An action that sets a variable to 0, to 1 or toggles it (in that order, as each is asked).
tv::ActionRecord setVariable(const QString& name, bool zero, bool one, bool toggle);
inline tv::ActionRecord noAction() {
    return {};
}

// Item `name` used on hotspot `hotspot` does what `action` says.
tv::ActionRecord usedOn(int hotspot, const QString& item, tv::ActionRecord action);
// Hotspot `hotspot` gives `item` (flag 1), or has a record that gives nothing (empty item).
tv::PickUpRecord pickUp(int hotspot, const QString& item);
// A combination that removes either item or both, may add one, and may run a script.
tv::ItemCombination combination(bool removeDragged, bool removeTarget, const QString& added = {},
                                const QString& script = {});

// The log line of the standard error report with this detail.
QString errorReportLine(const QString& detail);

} // namespace e2e
