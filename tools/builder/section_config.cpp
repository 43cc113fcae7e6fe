#include "platform/core/cp1252.h"
#include "tools/builder/sections.h"

#include <QMap>

#include <algorithm>
#include <iterator>

namespace tv::builder {

namespace {

// 16-bit switches written as true/false when they hold 1/0.
qint16 switch16(const Reader& r, const YAML::Node& node, const QString& what) {
    if (node.IsScalar() && boolWord(QString::fromStdString(node.Scalar())) && (node.Tag() == "?"))
        return r.boolean(node, what) ? 1 : 0;
    return r.int16(node, what);
}

YamlNode describeSwitch16(qint16 value) {
    if (value == 0 || value == 1) return YamlNode::boolean(value == 1);
    return YamlNode::number(value);
}

// INI switches: true/false are written "1"/"0", anything else as its text.
QString iniSwitch(const Reader& r, const YAML::Node& node, const QString& what) {
    if (node.IsScalar() && node.Tag() == "?") {
        if (auto b = boolWord(QString::fromStdString(node.Scalar()))) return *b ? "1" : "0";
    }
    return r.text(node, what);
}

YamlNode describeIniSwitch(const QString& value) {
    if (value == "1" || value == "0") return YamlNode::boolean(value == "1");
    return YamlNode::string(value);
}

const char* const kResolutions[] = {"640x480", "800x600", "1024x768"};

const char* const kWordings[] = {"program", "game", "program_with_overrides"};

} // namespace

// --- General -------------------------------------------------------------------------------------

ProjectSettings readGeneral(const Reader& r, const YAML::Node& node) {
    ProjectSettings s;
    Fields f(r, node, "project");
    auto text = [&](const char* key, QString& field) {
        if (YAML::Node n = f[key]; n.IsDefined()) field = r.text(n, key);
    };
    auto flag = [&](const char* key, bool& field) {
        if (YAML::Node n = f[key]; n.IsDefined()) field = r.boolean(n, key);
    };
    text("name", s.ProjectName);
    text("title", s.GameTitle);
    text("initial_frame", s.InitialFrame);
    text("version", s.GameVersion);
    if (YAML::Node n = f["size"]; n.IsDefined()) {
        const QList<YAML::Node> size = r.items(n, "size");
        if (size.size() != 2) r.fail(n, "size is [width, height] in pixels");
        s.ProjectWidth = r.int16(size[0], "the width");
        s.ProjectHeight = r.int16(size[1], "the height");
    }
    text("author", s.Author);
    text("email", s.Email);
    text("website", s.WebSite);
    if (YAML::Node n = f["offer_resolution_change"]; n.IsDefined())
        s.OfferResolutionChange = switch16(r, n, "offer_resolution_change");
    text("scheme", s.SchemeName);
    flag("disable_load_game", s.DisableLoadGame);
    flag("disable_save_game", s.DisableSaveGame);
    if (YAML::Node n = f["inventory"]; n.IsDefined()) {
        Fields inv(r, n, "inventory");
        if (YAML::Node sp = inv["icon_spacing"]; sp.IsDefined()) {
            const QList<YAML::Node> xy = r.items(sp, "icon_spacing");
            if (xy.size() != 2) r.fail(sp, "icon_spacing is [x, y]");
            s.InventoryIconSpacingX = r.int32(xy[0], "icon_spacing");
            s.InventoryIconSpacingY = r.int32(xy[1], "icon_spacing");
        }
        auto invFlag = [&](const char* key, bool& field) {
            if (YAML::Node v = inv[key]; v.IsDefined()) field = r.boolean(v, key);
        };
        invFlag("enabled", s.UseInventory);
        invFlag("slide_in", s.SlideInventoryIn);
        invFlag("slide_out", s.SlideInventoryOut);
        invFlag("hide_empty_button", s.HideEmptyInventoryButton);
        invFlag("pop_up_on_pick_up", s.PopUpInventoryOnPickUp);
        invFlag("custom_graphics", s.UseCustomInventoryGraphics);
        if (YAML::Node v = inv["button_image"]; v.IsDefined())
            s.InventoryButtonImage = r.text(v, "button_image");
        if (YAML::Node v = inv["background_image"]; v.IsDefined())
            s.InventoryBackgroundImage = r.text(v, "background_image");
        inv.finish();
    }
    if (YAML::Node n = f["display_resolution"]; n.IsDefined()) {
        const QString word = QString::fromStdString(n.IsScalar() ? n.Scalar() : "");
        s.DisplayResolution = -1;
        for (int i = 0; i < 3; ++i) {
            if (word == kResolutions[i]) s.DisplayResolution = qint16(i);
        }
        if (s.DisplayResolution < 0) {
            if (!numberWord(word))
                r.fail(n, "display_resolution is 640x480, 800x600, 1024x768 or a number");
            s.DisplayResolution = r.int16(n, "display_resolution");
        }
    }
    text("default_pointer", s.DefaultPointer);
    flag("menus_always_visible", s.MenusAlwaysVisible);
    flag("skip_welcome_screen", s.SkipWelcomeScreen);
    flag("hide_transitions_option", s.HideTransitionsOption);
    flag("hide_effects_option", s.HideEffectsOption);
    flag("never_show_menus", s.NeverShowMenus);
    // The data layer stores these scripts with a vertical bar for each double quote.
    if (YAML::Node n = f["game_start_script"]; n.IsDefined()) {
        s.GameStartScript = r.scriptText(n, "game_start_script", QuoteCodec::Bar);
        s.GameStartScriptEnabled = !s.GameStartScript.isEmpty();
    }
    flag("game_start_script_enabled", s.GameStartScriptEnabled);
    if (YAML::Node n = f["frame_script"]; n.IsDefined()) {
        s.FrameScript = r.scriptText(n, "frame_script", QuoteCodec::Bar);
        s.FrameScriptEnabled = !s.FrameScript.isEmpty();
    }
    flag("frame_script_enabled", s.FrameScriptEnabled);
    flag("disable_edit_procedures", s.DisableEditProcedures);
    if (YAML::Node n = f["raw"]; n.IsDefined()) {
        Fields raw(r, n, "project raw fields");
        if (YAML::Node v = raw["field_23"]; v.IsDefined()) {
            s.Field23 = r.text(v, "field_23");
            s.ApostropheFlag = s.Field23 == "'";
        }
        if (YAML::Node v = raw["flag_44"]; v.IsDefined()) s.UnusedFlag44 = r.boolean(v, "flag_44");
        for (int i = 0; i < int(std::size(ProjectSettings::kSkippedFields)); ++i) {
            const QByteArray key =
                "field_" + QByteArray::number(ProjectSettings::kSkippedFields[i]);
            if (YAML::Node v = raw[key.constData()]; v.IsDefined())
                s.Skipped[i] = r.value(v, QString::fromLatin1(key));
        }
        raw.finish();
    }
    f.finish();
    return s;
}

YamlNode describeGeneral(const ProjectSettings& s) {
    const ProjectSettings d;
    YamlNode m = YamlNode::map();
    auto text = [&](const char* key, const QString& value, const QString& def, bool always) {
        if (always || value != def) m.add(key, YamlNode::text(value));
    };
    auto flag = [&](const char* key, bool value, bool def) {
        if (value != def) m.add(key, YamlNode::boolean(value));
    };
    text("name", s.ProjectName, d.ProjectName, true);
    text("title", s.GameTitle, d.GameTitle, true);
    text("initial_frame", s.InitialFrame, d.InitialFrame, true);
    text("version", s.GameVersion, d.GameVersion, false);
    m.add("size", YamlNode::seq(true)
                      .append(YamlNode::number(s.ProjectWidth))
                      .append(YamlNode::number(s.ProjectHeight)));
    text("author", s.Author, d.Author, false);
    text("email", s.Email, d.Email, false);
    text("website", s.WebSite, d.WebSite, false);
    if (s.OfferResolutionChange != 0)
        m.add("offer_resolution_change", describeSwitch16(s.OfferResolutionChange));
    text("scheme", s.SchemeName, d.SchemeName, false);
    flag("disable_load_game", s.DisableLoadGame, d.DisableLoadGame);
    flag("disable_save_game", s.DisableSaveGame, d.DisableSaveGame);
    YamlNode inv = YamlNode::map();
    if (s.InventoryIconSpacingX != d.InventoryIconSpacingX ||
        s.InventoryIconSpacingY != d.InventoryIconSpacingY)
        inv.add("icon_spacing", YamlNode::seq(true)
                                    .append(YamlNode::number(s.InventoryIconSpacingX))
                                    .append(YamlNode::number(s.InventoryIconSpacingY)));
    auto invFlag = [&](const char* key, bool value, bool def) {
        if (value != def) inv.add(key, YamlNode::boolean(value));
    };
    invFlag("enabled", s.UseInventory, d.UseInventory);
    invFlag("slide_in", s.SlideInventoryIn, d.SlideInventoryIn);
    invFlag("slide_out", s.SlideInventoryOut, d.SlideInventoryOut);
    invFlag("hide_empty_button", s.HideEmptyInventoryButton, d.HideEmptyInventoryButton);
    invFlag("pop_up_on_pick_up", s.PopUpInventoryOnPickUp, d.PopUpInventoryOnPickUp);
    invFlag("custom_graphics", s.UseCustomInventoryGraphics, d.UseCustomInventoryGraphics);
    if (s.InventoryButtonImage != d.InventoryButtonImage)
        inv.add("button_image", YamlNode::text(s.InventoryButtonImage));
    if (s.InventoryBackgroundImage != d.InventoryBackgroundImage)
        inv.add("background_image", YamlNode::text(s.InventoryBackgroundImage));
    if (!inv.isEmpty()) m.add("inventory", std::move(inv));
    if (s.DisplayResolution != d.DisplayResolution) {
        m.add("display_resolution", s.DisplayResolution >= 0 && s.DisplayResolution < 3
                                        ? YamlNode::text(kResolutions[s.DisplayResolution])
                                        : YamlNode::number(s.DisplayResolution));
    }
    text("default_pointer", s.DefaultPointer, d.DefaultPointer, false);
    flag("menus_always_visible", s.MenusAlwaysVisible, d.MenusAlwaysVisible);
    flag("skip_welcome_screen", s.SkipWelcomeScreen, d.SkipWelcomeScreen);
    flag("hide_transitions_option", s.HideTransitionsOption, d.HideTransitionsOption);
    flag("hide_effects_option", s.HideEffectsOption, d.HideEffectsOption);
    flag("never_show_menus", s.NeverShowMenus, d.NeverShowMenus);
    text("game_start_script", s.GameStartScript, {}, false);
    flag("game_start_script_enabled", s.GameStartScriptEnabled, !s.GameStartScript.isEmpty());
    text("frame_script", s.FrameScript, {}, false);
    flag("frame_script_enabled", s.FrameScriptEnabled, !s.FrameScript.isEmpty());
    flag("disable_edit_procedures", s.DisableEditProcedures, d.DisableEditProcedures);

    YamlNode raw = YamlNode::map();
    const bool fieldAgrees = (s.Field23 == "'") == s.ApostropheFlag;
    const QString field23 = fieldAgrees ? s.Field23 : s.ApostropheFlag ? "'" : "";
    if (!field23.isEmpty()) raw.add("field_23", YamlNode::text(field23));
    if (s.UnusedFlag44) raw.add("flag_44", YamlNode::boolean(true));
    const QList<RecordValue> skippedDefaults = ProjectSettings::defaultSkipped();
    for (int i = 0; i < int(std::size(ProjectSettings::kSkippedFields)) && i < s.Skipped.size();
         ++i) {
        if (s.Skipped[i] != skippedDefaults[i])
            raw.add("field_" + QString::number(ProjectSettings::kSkippedFields[i]),
                    describeValue(s.Skipped[i]));
    }
    if (!raw.isEmpty()) m.add("raw", std::move(raw));
    return m;
}

// --- More --------------------------------------------------------------------------------------

MoreFile readMore(const Reader& r, const YAML::Node& node) {
    MoreFile more;
    Fields f(r, node, "more");
    if (YAML::Node n = f["script_timeout"]; n.IsDefined())
        more.scriptTimeOut = r.text(n, "script_timeout");
    if (YAML::Node n = f["allow_create_object"]; n.IsDefined())
        more.allowCreateObject = iniSwitch(r, n, "allow_create_object");
    if (YAML::Node n = f["scramble_procedures"]; n.IsDefined())
        more.procEncr = iniSwitch(r, n, "scramble_procedures");
    if (YAML::Node n = f["other"]; n.IsDefined()) {
        if (!n.IsMap()) r.fail(n, "other is a map of sections, each a map of keys and values");
        for (auto section = n.begin(); section != n.end(); ++section) {
            const QString name = r.text(section->first, "a section name");
            if (!section->second.IsMap()) r.fail(section->second, "a section is a map of keys");
            for (auto key = section->second.begin(); key != section->second.end(); ++key)
                more.otherKeys.append(
                    {name, r.text(key->first, "a key name"), r.text(key->second, "a value")});
        }
    }
    f.finish();
    return more;
}

YamlNode describeMore(const MoreFile& more) {
    YamlNode m = YamlNode::map();
    if (more.scriptTimeOut) m.add("script_timeout", YamlNode::text(*more.scriptTimeOut));
    if (more.allowCreateObject)
        m.add("allow_create_object", describeIniSwitch(*more.allowCreateObject));
    if (more.procEncr) m.add("scramble_procedures", describeIniSwitch(*more.procEncr));
    if (!more.otherKeys.isEmpty()) {
        YamlNode other = YamlNode::map();
        QStringList sections;
        for (const MoreFile::Entry& e : more.otherKeys) {
            if (!sections.contains(e.section)) sections.append(e.section);
        }
        for (const QString& section : sections) {
            YamlNode keys = YamlNode::map();
            for (const MoreFile::Entry& e : more.otherKeys) {
                if (e.section == section) keys.add(e.key, YamlNode::text(e.value));
            }
            other.add(section, std::move(keys));
        }
        m.add("other", std::move(other));
    }
    return m;
}

// --- Variables ---------------------------------------------------------------------------------

VariablesFile readVariables(const Reader& r, const YAML::Node& node) {
    VariablesFile file;
    auto checked = [&](const YAML::Node& list, const QString& what) {
        for (const YAML::Node& item : r.items(list, what)) {
            if (r.text(item, what) == "***")
                r.fail(item, "a variable cannot be named ***: the file uses it as a marker");
        }
        return r.names(list, what);
    };
    if (node.IsSequence()) {
        file.integers = checked(node, "variables");
        return file;
    }
    Fields f(r, node, "variables");
    file.integers = checked(f["integers"], "integers");
    file.variants = checked(f["variants"], "variants");
    if (YAML::Node n = f["raw"]; n.IsDefined()) {
        Fields raw(r, n, "variables raw fields");
        if (YAML::Node v = raw["leading"]; v.IsDefined()) file.leading = r.value(v, "leading");
        if (YAML::Node v = raw["variant_marker"]; v.IsDefined())
            file.variantMarker = r.boolean(v, "variant_marker");
        raw.finish();
    }
    f.finish();
    return file;
}

YamlNode describeVariables(const VariablesFile& file) {
    YamlNode m = YamlNode::map();
    m.add("integers", describeNames(file.integers));
    if (!file.variants.isEmpty()) m.add("variants", describeNames(file.variants));
    YamlNode raw = YamlNode::map();
    if (file.leading != VariablesFile().leading) raw.add("leading", describeValue(file.leading));
    if (file.variantMarker && file.variants.isEmpty())
        raw.add("variant_marker", YamlNode::boolean(true));
    if (!raw.isEmpty()) m.add("raw", std::move(raw));
    return m;
}

// --- Procedures --------------------------------------------------------------------------------

ProceduresFile readProcedures(const Reader& r, const YAML::Node& node, bool scrambled) {
    ProceduresFile file;
    YAML::Node code = node;
    if (node.IsMap()) {
        Fields f(r, node, "procedures");
        code = f["code"];
        if (YAML::Node header = f["header"]; header.IsDefined()) {
            file.header = r.names(header, "header");
            if (file.header.size() != 3) r.fail(header, "the header is three lines");
            for (const QString& line : file.header) {
                if (line.contains(u'\r') || line.contains(u'\n'))
                    r.fail(header, "a header line cannot hold a line break");
            }
        }
        f.finish();
    }
    file.text = r.text(code, "procedures", true);
    if (scrambled && !scramblable(file.text))
        r.fail(code.IsDefined() ? code : node,
               "scrambled procedures cannot hold '~' (it would come back as a space)");
    return file;
}

YamlNode describeProcedures(const ProceduresFile& file) {
    if (file.header == ProceduresFile().header) return YamlNode::text(file.text);
    YamlNode m = YamlNode::map();
    m.add("header", describeNames(file.header));
    m.add("code", YamlNode::text(file.text));
    return m;
}

// --- Texts -------------------------------------------------------------------------------------

TextsFile readTexts(const Reader& r, const YAML::Node& node) {
    TextsFile texts;
    Fields f(r, node, "texts");
    const YAML::Node wording = f["wording"];
    const YAML::Node overrides = f["overrides"];
    const YAML::Node count = f["count"];
    texts.mode = overrides.IsDefined() || count.IsDefined() ? 2 : 0;
    if (wording.IsDefined()) {
        const QString word = QString::fromStdString(wording.IsScalar() ? wording.Scalar() : "");
        texts.mode = -1;
        for (int i = 0; i < 3; ++i) {
            if (word == kWordings[i]) texts.mode = qint16(i);
        }
        if (texts.mode < 0) {
            if (!numberWord(word))
                r.fail(wording, "wording is program, game, program_with_overrides or a number");
            texts.mode = r.int16(wording, "wording");
        }
    }
    if ((overrides.IsDefined() || count.IsDefined()) && texts.mode != 2)
        r.fail(wording, "overrides need the wording program_with_overrides");
    QMap<int, QString> given;
    int highest = 0;
    if (overrides.IsDefined()) {
        if (!overrides.IsMap()) r.fail(overrides, "overrides map entry numbers (1 to 60) to texts");
        for (auto it = overrides.begin(); it != overrides.end(); ++it) {
            const int k = int(r.integer(it->first, "an entry number", 1, 60));
            if (given.contains(k)) r.fail(it->first, QString("entry %1 is given twice").arg(k));
            given[k] = r.text(it->second, QString("entry %1").arg(k));
            highest = std::max(highest, k);
        }
    }
    int n = highest;
    if (count.IsDefined()) {
        n = int(r.integer(count, "count", 0, 60));
        if (n < highest) r.fail(count, QString("count %1 leaves out entry %2").arg(n).arg(highest));
    }
    const UiTexts program;
    for (int k = 1; k <= n; ++k)
        texts.overrides.append(given.value(k, program[k]));
    if (YAML::Node raw = f["raw"]; raw.IsDefined()) {
        Fields rf(r, raw, "texts raw fields");
        if (YAML::Node v = rf["skipped"]; v.IsDefined()) texts.skipped = r.values(v, "skipped", 5);
        rf.finish();
    }
    f.finish();
    return texts;
}

YamlNode describeTexts(const TextsFile& texts) {
    YamlNode m = YamlNode::map();
    m.add("wording", texts.mode >= 0 && texts.mode < 3 ? YamlNode::text(kWordings[texts.mode])
                                                       : YamlNode::number(texts.mode));
    if (texts.mode != 2) return m;
    const UiTexts program;
    YamlNode overrides = YamlNode::map();
    int highest = 0;
    for (int k = 1; k <= texts.overrides.size(); ++k) {
        if (texts.overrides[k - 1] != program[k]) {
            overrides.add(QString::number(k), YamlNode::text(texts.overrides[k - 1]));
            highest = k;
        }
    }
    if (!overrides.isEmpty()) m.add("overrides", std::move(overrides));
    if (highest != texts.overrides.size())
        m.add("count", YamlNode::number(double(texts.overrides.size())));
    if (texts.skipped != TextsFile().skipped) {
        YamlNode raw = YamlNode::map();
        raw.add("skipped", describeValues(texts.skipped));
        m.add("raw", std::move(raw));
    }
    return m;
}

// --- build options and copied files ------------------------------------------------------------

Disguise readDisguise(const Reader& r, const YAML::Node& node, const QString& what) {
    const QString word = QString::fromStdString(node.IsScalar() ? node.Scalar() : "");
    if (word == "plain") return Disguise::Plain;
    if (word == "mixed") return Disguise::Mixed;
    if (word == "none") return Disguise::None;
    if (node.IsScalar() && boolWord(word))
        return r.boolean(node, what) ? Disguise::Mixed : Disguise::None;
    r.fail(node, what + " is true (the disguised name), plain (the plain disguise) or false");
}

YamlNode describeDisguise(Disguise disguise) {
    switch (disguise) {
    case Disguise::None:
        return YamlNode::boolean(false);
    case Disguise::Mixed:
        return YamlNode::boolean(true);
    case Disguise::Plain:
        break;
    }
    return YamlNode::text("plain");
}

void readBuildOptions(const Reader& r, const YAML::Node& node, ProjectDescription& d) {
    Fields f(r, node, "build");
    if (YAML::Node n = f["media_folder"]; n.IsDefined()) d.mediaFolder = r.path(n, "media_folder");
    if (YAML::Node n = f["disguise_media"]; n.IsDefined())
        d.disguise = readDisguise(r, n, "disguise_media");
    if (YAML::Node n = f["missing_media"]; n.IsDefined()) {
        const QString word = r.text(n, "missing_media");
        if (word == "error") {
            d.missingMedia = MissingMedia::Error;
        } else if (word == "warn") {
            d.missingMedia = MissingMedia::Warn;
        } else {
            r.fail(n, "missing_media is error or warn");
        }
    }
    f.finish();
}

YamlNode describeBuildOptions(const ProjectDescription& d) {
    YamlNode m = YamlNode::map();
    if (d.mediaFolder != ".") m.add("media_folder", YamlNode::text(d.mediaFolder));
    if (d.disguise != Disguise::None) m.add("disguise_media", describeDisguise(d.disguise));
    if (d.missingMedia == MissingMedia::Warn) m.add("missing_media", YamlNode::text("warn"));
    return m;
}

QList<MediaFile> readFiles(const Reader& r, const YAML::Node& node) {
    QList<MediaFile> files;
    for (const YAML::Node& item : r.items(node, "files")) {
        Fields f(r, item, "a file");
        MediaFile file;
        const YAML::Node to = f["to"];
        if (!to.IsDefined()) r.fail(item, "a file needs 'to': where it goes in the project");
        file.to = r.text(to, "to", true).replace(u'\\', u'/');
        if (file.to.isEmpty() || file.to.startsWith(u'/') || file.to.split(u'/').contains(".."))
            r.fail(to, "'to' is a path inside the project folder, such as Areas/key.png");
        if (YAML::Node n = f["from"]; n.IsDefined()) file.from = r.path(n, "from");
        if (YAML::Node n = f["disguise"]; n.IsDefined())
            file.disguise = readDisguise(r, n, "disguise");
        if (YAML::Node n = f["replaces"]; n.IsDefined()) file.replaces = r.boolean(n, "replaces");
        f.finish();
        files.append(file);
    }
    return files;
}

YamlNode describeFiles(const QList<MediaFile>& files) {
    YamlNode list = YamlNode::seq();
    for (const MediaFile& file : files) {
        YamlNode m = YamlNode::map();
        m.add("to", YamlNode::text(file.to));
        if (!file.from.isEmpty()) m.add("from", YamlNode::text(file.from));
        if (file.disguise) m.add("disguise", describeDisguise(*file.disguise));
        if (file.replaces) m.add("replaces", YamlNode::boolean(true));
        list.append(std::move(m));
    }
    return list;
}

} // namespace tv::builder
