#include "data/project.h"

#include "data/record_helpers.h"
#include "platform/core/records.h"

#include <iterator>

namespace tv {

Project& project() {
    static Project p;
    return p;
}

void ProjectFolders::setRoot(const QString& root) {
    RootFolder = root;
    if (!RootFolder.endsWith('/') && !RootFolder.endsWith('\\')) RootFolder += '/';
    FramesFolder = RootFolder + "Frames/";
    FramesDataFolder = RootFolder + "FramesData/";
    AreasFolder = RootFolder + "Areas/";
    IconsFolder = RootFolder + "Icons/";
    ConfigFolder = RootFolder + "Config/";
    TempFolder = RootFolder + "Temp/";
    if (SchemesFolder.isEmpty()) SchemesFolder = RootFolder + "Schemes/";
    if (InventoryFolder.isEmpty()) InventoryFolder = RootFolder + "Inventory/";
    ExternalFolder = RootFolder + "External/";
    ComponentsFolder = RootFolder + "CPData/";
}

QString decodeBarQuotes(const QString& stored) {
    QString s = stored;
    return s.replace('|', '"');
}

QString encodeBarQuotes(const QString& script) {
    QString s = script;
    return s.replace('"', '|');
}

QList<RecordValue> ProjectSettings::defaultSkipped() {
    QList<RecordValue> values(std::size(kSkippedFields), RecordValue::ofNumber(0));
    values[0] = RecordValue::ofString("");
    return values;
}

void ProjectSettings::load(const QString& generalFilePath) {
    reset();
    RecordReader in = RecordReader::open(generalFilePath);
    ProjectSettings& s = *this;
    int skipped = 0;
    auto skip = [&](int count) {
        for (int i = 0; i < count; ++i)
            s.Skipped[skipped++] = readKeptValue(in);
    };
    s.ProjectName = in.readString();
    skip(1);
    s.GameTitle = in.readString();
    skip(1);
    s.InitialFrame = in.readString();
    s.GameVersion = in.readString();
    s.ProjectWidth = in.readInt16();
    s.ProjectHeight = in.readInt16();
    s.Author = in.readString();
    s.Email = in.readString();
    s.WebSite = in.readString();
    if (in.atEnd()) return;
    s.OfferResolutionChange = in.readInt16();
    if (in.atEnd()) return;
    skip(3);
    s.SchemeName = in.readString();
    if (in.atEnd()) return;
    skip(3);
    s.DisableLoadGame = in.readBool();
    s.DisableSaveGame = in.readBool();
    skip(1);
    if (in.atEnd()) return;
    s.Field23 = in.readString();
    s.ApostropheFlag = s.Field23 == "'";
    skip(1);
    s.InventoryIconSpacingX = in.readInt32();
    s.InventoryIconSpacingY = in.readInt32();
    s.UseInventory = in.readBool();
    s.SlideInventoryIn = in.readBool();
    s.SlideInventoryOut = in.readBool();
    s.HideEmptyInventoryButton = in.readBool();
    s.PopUpInventoryOnPickUp = in.readBool();
    s.UseCustomInventoryGraphics = in.readBool();
    s.InventoryButtonImage = in.readString();
    s.InventoryBackgroundImage = in.readString();
    s.DisplayResolution = in.readInt16();
    skip(2);
    s.DefaultPointer = in.readString();
    if (in.atEnd()) return;
    skip(2);
    s.MenusAlwaysVisible = in.readBool();
    if (in.atEnd()) return;
    skip(1);
    s.SkipWelcomeScreen = in.readBool();
    s.UnusedFlag44 = in.readBool();
    if (in.atEnd()) return;
    skip(1);
    s.HideTransitionsOption = in.readBool();
    if (in.atEnd()) return;
    s.HideEffectsOption = in.readBool();
    if (in.atEnd()) return;
    s.NeverShowMenus = in.readBool();
    if (in.atEnd()) return;
    skip(3);
    s.GameStartScriptEnabled = in.readBool();
    s.GameStartScript = decodeBarQuotes(in.readString());
    s.FrameScriptEnabled = in.readBool();
    s.FrameScript = decodeBarQuotes(in.readString());
    if (in.atEnd()) return;
    s.DisableEditProcedures = in.readBool();
}

void ProjectSettings::save(const QString& generalFilePath) const {
    const ProjectSettings& s = *this;
    RecordWriter out;
    auto line = [&out]() { out.endLine(); };
    int skipped = 0;
    auto kept = [&](int count) {
        for (int i = 0; i < count; ++i, ++skipped)
            out.value(skipped < s.Skipped.size() ? s.Skipped[skipped] : RecordValue::ofNumber(0));
    };
    out.string(s.ProjectName);
    kept(1);
    out.string(s.GameTitle);
    kept(1);
    line();
    out.string(s.InitialFrame)
        .string(s.GameVersion)
        .integer(s.ProjectWidth)
        .integer(s.ProjectHeight);
    line();
    out.string(s.Author).string(s.Email).string(s.WebSite);
    line();
    out.integer(s.OfferResolutionChange);
    line();
    kept(3);
    out.string(s.SchemeName);
    line();
    kept(3);
    out.boolean(s.DisableLoadGame).boolean(s.DisableSaveGame);
    kept(1);
    line();
    const bool fieldAgrees = (s.Field23 == "'") == s.ApostropheFlag;
    out.string(fieldAgrees ? s.Field23 : s.ApostropheFlag ? "'" : "");
    kept(1);
    line();
    out.integer(s.InventoryIconSpacingX).integer(s.InventoryIconSpacingY);
    line();
    out.boolean(s.UseInventory)
        .boolean(s.SlideInventoryIn)
        .boolean(s.SlideInventoryOut)
        .boolean(s.HideEmptyInventoryButton)
        .boolean(s.PopUpInventoryOnPickUp)
        .boolean(s.UseCustomInventoryGraphics);
    line();
    out.string(s.InventoryButtonImage)
        .string(s.InventoryBackgroundImage)
        .integer(s.DisplayResolution);
    kept(2);
    out.string(s.DefaultPointer);
    line();
    kept(2);
    out.boolean(s.MenusAlwaysVisible);
    line();
    kept(1);
    out.boolean(s.SkipWelcomeScreen).boolean(s.UnusedFlag44);
    line();
    kept(1);
    out.boolean(s.HideTransitionsOption);
    line();
    out.boolean(s.HideEffectsOption);
    line();
    out.boolean(s.NeverShowMenus);
    line();
    kept(3);
    line();
    out.boolean(s.GameStartScriptEnabled).string(encodeBarQuotes(s.GameStartScript));
    line();
    out.boolean(s.FrameScriptEnabled).string(encodeBarQuotes(s.FrameScript));
    line();
    out.boolean(s.DisableEditProcedures);
    line();
    out.saveTo(generalFilePath);
}

} // namespace tv
