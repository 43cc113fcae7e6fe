#pragma once
// Each part of the description: read from YAML into the data layer's records, and described
// back. The two directions of a part live side by side so that they stay each other's inverse.

#include "tools/builder/description.h"
#include "tools/builder/yaml_reader.h"

namespace tv::builder {

// Config/General, Config/More, Config/Variables, Config/Procedures, Config/Texts.
ProjectSettings readGeneral(const Reader& r, const YAML::Node& node);
YamlNode describeGeneral(const ProjectSettings& s);
MoreFile readMore(const Reader& r, const YAML::Node& node);
YamlNode describeMore(const MoreFile& more);
VariablesFile readVariables(const Reader& r, const YAML::Node& node);
YamlNode describeVariables(const VariablesFile& variables);
// `scrambled`: the code must then be storable in scrambled form.
ProceduresFile readProcedures(const Reader& r, const YAML::Node& node, bool scrambled);
YamlNode describeProcedures(const ProceduresFile& procedures);
TextsFile readTexts(const Reader& r, const YAML::Node& node);
YamlNode describeTexts(const TextsFile& texts);

// The build options (media folder, disguise, missing media) and the files copied as they are.
void readBuildOptions(const Reader& r, const YAML::Node& node, ProjectDescription& d);
YamlNode describeBuildOptions(const ProjectDescription& d);
QList<MediaFile> readFiles(const Reader& r, const YAML::Node& node);
YamlNode describeFiles(const QList<MediaFile>& files);
Disguise readDisguise(const Reader& r, const YAML::Node& node, const QString& what);
YamlNode describeDisguise(Disguise disguise);

// The inventory: item definitions, combinations and a frame's pick-ups (.fm4).
// Why `name` cannot name an item's files (empty when it can).
QString itemNameProblem(const QString& name);
QList<ItemDefinition> readItems(const Reader& r, const YAML::Node& node);
YamlNode describeItems(const QList<ItemDefinition>& items);
QList<CombinationFile> readCombinations(const Reader& r, const YAML::Node& node);
YamlNode describeCombinations(const QList<CombinationFile>& combinations);
QList<PickUpRecord> readPickUps(const Reader& r, const YAML::Node& node);
YamlNode describePickUps(const QList<PickUpRecord>& pickUps);

// Welcome-window schemes. Why `name` cannot name a scheme's folder (empty when it can).
QString schemeNameProblem(const QString& name);
QList<SchemeFolder> readSchemes(const Reader& r, const YAML::Node& node);
YamlNode describeSchemes(const QList<SchemeFolder>& schemes);

// Games on several CDs: the CD index (Config/CDContents).
CdIndexFile readCdIndex(const Reader& r, const YAML::Node& node);
YamlNode describeCdIndex(const CdIndexFile& index);

// Plugins: the list (Config/Plugins) and the data files (CPData/NAME.cp).
void readPlugins(const Reader& r, const YAML::Node& node, ProjectDescription& d);
YamlNode describePlugins(const ProjectDescription& d);
// Where loaded games resume (Config/Resume).
ResumeFile readResumeDescription(const Reader& r, const YAML::Node& node);
YamlNode describeResume(const ResumeFile& resume);

// A frame's rippling water.
WaterFrame readWater(const Reader& r, const YAML::Node& node, const QString& frame);
YamlNode describeWater(const WaterFrame& water);

// A frame and the files of its family.
FrameFiles readFrame(const Reader& r, const YAML::Node& node);
YamlNode describeFrame(const FrameFiles& frame);

} // namespace tv::builder
