#pragma once
// A game project as torvane-build sees it: every file of the project that the builder writes,
// held in the data layer's own records (so that each format has one writer and one reader), and
// where the media come from. The YAML description is a readable view of this; the e2e tests and
// the demo use the same model.
//
// A file is written only when its part of the description is present (std::optional), so that
// a project may lack any file, as broken projects in tests do.

#include "data/action_record.h"
#include "data/dialogue_file.h"
#include "data/frame_record.h"
#include "data/frame_texts.h"
#include "data/hotspot_record.h"
#include "data/inventory_files.h"
#include "data/multi_cd.h"
#include "data/plugins_file.h"
#include "data/procedures_file.h"
#include "data/project.h"
#include "data/saved_game_file.h"
#include "data/scheme_file.h"
#include "data/sound_channel_file.h"
#include "data/ui_texts.h"
#include "data/variables_file.h"
#include "data/water_file.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <optional>
#include <stdexcept>

namespace tv::builder {

// Every failure of the builder: a bad description, a missing media file, a folder that cannot be
// written. The message names the file (and the line, for descriptions) and what is wrong.
class BuildError : public std::runtime_error {
public:
    explicit BuildError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

// How a media file is stored: under its own name, or under the disguised name that the player
// also looks for (DisguisedFileName with plain false: "Mixed", with plain true: "Plain").
enum class Disguise { None, Mixed, Plain };

// The INI file "More": its three known keys of section "General", as written (texts), and any
// other key, kept as it was.
struct MoreFile {
    std::optional<QString> scriptTimeOut;
    std::optional<QString> allowCreateObject;
    std::optional<QString> procEncr;
    struct Entry {
        QString section, key, value;
        bool operator==(const Entry&) const = default;
    };
    QList<Entry> otherKeys;
    bool operator==(const MoreFile&) const = default;
};

// The ".lks" file: by default the number of hotspot records, written when the hotspot file is.
struct HotspotCountFile {
    enum class Mode { FromHotspots, Absent, Given };
    Mode mode = Mode::FromHotspots;
    qint16 count = 0;
};

// A frame's rippling water: its settings (F.rwe) and the media file copied as its mask (F.rwm).
struct WaterFrame {
    WaterFile settings;
    QString mask; // a media file of the Frames folder; empty: no mask file
    bool operator==(const WaterFrame&) const = default;
};

struct FrameFiles {
    QString name;
    std::optional<FrameRecord> record;            // F.fme
    int recordEndsAfter = 40;                     // one of FrameRecord::kEndPoints
    std::optional<QList<HotspotRecord>> hotspots; // F.fm2 (F.mr2 when merged)
    bool mergedHotspots = false;
    HotspotCountFile hotspotCount;              // F.lks
    std::optional<QList<ActionRecord>> actions; // F.fm3 (F.mr3 when merged)
    bool mergedActions = false;
    std::optional<QList<ActionRecord>> itemActions;             // F.fm0
    std::optional<QList<SoundSelectionRecord>> soundSelections; // F.fm5
    std::optional<SoundChannelData> soundChannels;              // F.chn
    std::optional<QList<FrameTextRecord>> texts;                // F.fm1
    std::optional<QList<FrameTextRecord>> mergedTexts;          // F.mr1
    std::optional<DialogueFile> dialogue;                       // F.dlg
    std::optional<QList<PickUpRecord>> pickUps;                 // F.fm4
    std::optional<WaterFrame> water;                            // F.rwe, F.rwm
};

// An inventory item: Areas/NAME.obj names its icon (relative to the Areas folder).
struct ItemDefinition {
    QString name;
    QString icon;
    bool operator==(const ItemDefinition&) const = default;
};

// What dropping item `dragged` on item `target` does: Areas/DRAGGED_on_TARGET.drg.
struct CombinationFile {
    QString dragged;
    QString target;
    ItemCombination combination;
    bool operator==(const CombinationFile&) const = default;
};

// A welcome-window scheme: Schemes/NAME/Scheme.txt; its pictures are media of that folder.
struct SchemeFolder {
    QString name;
    SchemeFile scheme;
    bool operator==(const SchemeFolder&) const = default;
};

// A file copied into the project. `to` is relative to the project folder ("Areas/key.png");
// `from` is relative to the description's folder, or empty to look the file up in the media
// folder as a named media file is.
struct MediaFile {
    QString to;
    QString from;
    std::optional<Disguise> disguise; // unset: the project's choice
    bool replaces = false; // may replace a file the builder writes (tests of broken files)
};

// A plugin's data file: CPData/FILENAME.cp (the file name is the internal name unless a project
// made elsewhere names it otherwise).
struct PluginFile {
    QString fileName;
    PluginDataFile data;
    bool operator==(const PluginFile&) const = default;
};

enum class MissingMedia { Error, Warn };

struct ProjectDescription {
    std::optional<ProjectSettings> general;   // Config/General
    std::optional<MoreFile> more;             // Config/More
    std::optional<VariablesFile> variables;   // Config/Variables
    std::optional<ProceduresFile> procedures; // Config/Procedures
    std::optional<TextsFile> texts;           // Config/Texts
    QList<FrameFiles> frames;
    QList<ItemDefinition> items;              // Areas/NAME.obj
    QList<CombinationFile> combinations;      // Areas/A_on_B.drg
    QList<SchemeFolder> schemes;              // Schemes/NAME/Scheme.txt
    std::optional<CdIndexFile> cdIndex;       // Config/CDContents
    bool runFromCd = false;                   // an empty RunFromCD.dat in the root
    std::optional<PluginListFile> pluginList; // Config/Plugins
    QList<PluginFile> plugins;                // CPData/NAME.cp
    std::optional<ResumeFile> resume;         // Config/Resume
    QList<MediaFile> files;

    // Where named media are looked up (relative to baseFolder): FOLDER/Areas/NAME (a project's
    // own layout) first, then FOLDER/NAME.
    QString mediaFolder = ".";
    Disguise disguise = Disguise::None;
    MissingMedia missingMedia = MissingMedia::Error;
    // The description file's folder; relative paths start there.
    QString baseFolder = ".";
    // The description file, named in the builder's messages.
    QString sourceName;
};

// A media file that the project's data names: its project folder and the name as stored.
struct MediaReference {
    QString folder; // "Frames", "Areas", "Icons" or "Schemes/NAME"
    QString name;   // as the record holds it (Windows separators allowed)
    QString where;  // what names it, for messages ("frame Hall: sound")
    // Scheme pictures are loaded from their folder as they are named, never under a disguise.
    bool disguisable = true;
    // The name the file gets in the project when it is not `name` (a water mask is F.rwm).
    QString storedAs = {};

    // Project-relative, as the project stores it.
    QString storedPath() const {
        return folder + "/" + QString(storedAs.isEmpty() ? name : storedAs).replace(u'\\', u'/');
    }
};
QList<MediaReference> mediaReferences(const ProjectDescription& description);
// Whether the CD index puts the file on one of the game's discs, where the player looks for it
// instead of in the project.
bool onDisc(const ProjectDescription& description, const MediaReference& ref);

// --- building ----------------------------------------------------------------------------------

struct BuildOptions {
    // Replace an existing project folder (one that holds Config/ or Frames/, or nothing).
    bool replace = false;
    // When set, used instead of the description's media folder (relative to the working folder).
    QString mediaFolder;
};

struct BuildResult {
    QStringList written;  // project-relative paths, in writing order
    QStringList warnings; // missing media when the description allows them
};

BuildResult buildProject(const ProjectDescription& description, const QString& outputFolder,
                         const BuildOptions& options = {});

// --- reading a project back --------------------------------------------------------------------

struct DumpResult {
    ProjectDescription description; // media folder: the project folder itself
    QStringList warnings;
};

// Reads every file the builder writes from a project folder (one made on Windows included).
DumpResult readProject(const QString& projectFolder);

// --- the YAML description ----------------------------------------------------------------------

// `fileName` names the description in messages; relative paths start at `baseFolder`.
ProjectDescription parseDescription(const QByteArray& yaml, const QString& fileName,
                                    const QString& baseFolder);
ProjectDescription loadDescription(const QString& path);

// The description as YAML text. Only what differs from the defaults is written.
QByteArray writeDescription(const ProjectDescription& description, const QString& comment = {});

// The command line: torvane-build DESCRIPTION OUTPUT | --dump PROJECT [OUT]. Returns the exit
// status; messages go to `out` and `err`.
int runCommandLine(const QStringList& arguments, QTextStream& out, QTextStream& err);

} // namespace tv::builder
