// Plugins: the list of the plugins the project requires (Config/Plugins) and each plugin's data
// file (CPData/NAME.cp):
//
//   plugins:
//     list: [Pano, Fog]                 # Config/Plugins, names as stored (repeats kept)
//     files:
//       - name: Pano                    # the internal name; the file is CPData/Pano.cp
//         version: 3
//         compiled: true                # with protected: how the code texts are scrambled
//         title: Panorama
//         display_name: Panorama view
//         description: Shows a "view"
//         startup: MsgBox "ready"       # code in plain form; startup_stored: the stored text
//         frame_open: ...
//         procedures: |
//           Sub PanoShow(file, angle)
//           End Sub
//         second_frame_open: ...        # version 3 and later
//         integers: [PanoAngle]
//         variants: [PanoFile]
//         flags: [false, false]
//         frame_action: PanoFrame       # the procedures that plugin actions call
//         hotspot_action: PanoShow
//         other_strings: [a, b, d]      # the other three of the five strings
//         parameters: [{name: Angle, value: 90, third: x, fourth: ~}]
//         extra: [1, two]
//         raw: {skipped: [...], file: OtherName}
//
// Texts that the player quote-restores are written with ordinary double quotes and stored with
// character 254; code is then scrambled as the flags say. A stored text that its plain form
// would not give back (a "~" for a quote, another seed) is written under KEY_stored, so that
// every file comes back byte for byte.

#include "platform/core/errors.h"
#include "tools/builder/sections.h"

namespace tv::builder {

namespace {

const QString kStored = QStringLiteral("_stored");

// How a quote-restored text is stored: plain (quotes escaped) or as code of the plugin's form.
struct TextCodec {
    bool code = false;
    PluginCodeForm form = PluginCodeForm::AsIs;

    QString store(const QString& plain) const {
        return code ? encodePluginCode(plain, form) : escapePluginQuotes(plain);
    }
    QString plain(const QString& stored) const {
        return code ? decodePluginCode(stored, form) : restorePluginQuotes(stored);
    }
};

// KEY (plain form) or KEY_stored (as stored); absent leaves the text empty.
QString readText(const Reader& r, Fields& f, const char* key, const TextCodec& codec,
                 bool* present = nullptr) {
    const QString storedKey = QString(key) + kStored;
    const YAML::Node plain = f[key];
    const YAML::Node stored = f[storedKey.toUtf8().constData()];
    if (present) *present = plain.IsDefined() || stored.IsDefined();
    if (plain.IsDefined() && stored.IsDefined())
        r.fail(plain, "give either " + QString(key) + " or " + storedKey + ", not both");
    if (stored.IsDefined()) return r.text(stored, storedKey);
    if (!plain.IsDefined()) return {};
    const QString text = r.text(plain, key, true);
    if (!storablePluginText(text))
        r.fail(plain, QString(key) + ": \"~\" and character 254 cannot be stored, the file uses "
                                     "them for a double quote");
    try {
        return codec.store(text);
    } catch (const VbError& e) {
        r.fail(plain, QString(key) + ": " + errorText(e));
    }
}

void describeText(YamlNode& m, const QString& key, const QString& stored, const TextCodec& codec) {
    if (stored.isEmpty()) return;
    QString plain;
    bool canonical = false;
    try {
        plain = codec.plain(stored);
        canonical = storablePluginText(plain) && codec.store(plain) == stored;
    } catch (const VbError&) {
        // A text the cipher cannot take is described as it is stored.
    }
    if (canonical)
        m.add(key, YamlNode::text(plain));
    else
        m.add(key + kStored, YamlNode::text(stored));
}

PluginParameter readParameter(const Reader& r, const YAML::Node& node, qint16 version) {
    Fields f(r, node, "a plugin parameter");
    PluginParameter p;
    p.Name = readText(r, f, "name", {});
    if (const YAML::Node n = f["value"]; n.IsDefined()) p.Value = r.value(n, "value");
    for (auto [key, value] : {std::pair{"third", &p.Third}, std::pair{"fourth", &p.Fourth}}) {
        const YAML::Node n = f[key];
        if (!n.IsDefined()) continue;
        if (version < 2) r.fail(n, QString(key) + ": a version 1 parameter has no such value");
        *value = r.value(n, key);
    }
    f.finish();
    return p;
}

YamlNode describeParameter(const PluginParameter& p, qint16 version) {
    YamlNode m = YamlNode::map();
    describeText(m, "name", p.Name, {});
    const PluginParameter base;
    if (p.Value != base.Value) m.add("value", describeValue(p.Value));
    if (version >= 2) {
        if (p.Third != base.Third) m.add("third", describeValue(p.Third));
        if (p.Fourth != base.Fourth) m.add("fourth", describeValue(p.Fourth));
    }
    return m;
}

PluginFile readPlugin(const Reader& r, const YAML::Node& node, int position) {
    PluginFile file;
    PluginDataFile& p = file.data;
    Fields f(r, node, QString("plugin %1").arg(position));
    const YAML::Node name = f["name"];
    if (!name.IsDefined()) r.fail(node, f.what() + " needs its name");
    p.InternalName = r.text(name, "name");
    file.fileName = p.InternalName;
    f.setWhat("plugin '" + p.InternalName + "'");
    if (const YAML::Node n = f["version"]; n.IsDefined()) p.Version = r.int16(n, "version");
    if (const YAML::Node n = f["compiled"]; n.IsDefined()) p.Compiled = r.boolean(n, "compiled");
    if (const YAML::Node n = f["protected"]; n.IsDefined()) p.Protected = r.boolean(n, "protected");
    if (const YAML::Node n = f["title"]; n.IsDefined()) p.Title = r.text(n, "title");
    if (const YAML::Node n = f["display_name"]; n.IsDefined())
        p.DisplayName = r.text(n, "display_name");
    p.Description = readText(r, f, "description", {});
    const TextCodec code{true, p.codeForm()};
    p.StartupCode = readText(r, f, "startup", code);
    p.FrameOpenCode = readText(r, f, "frame_open", code);
    p.ProceduresCode = readText(r, f, "procedures", code);
    bool second = false;
    p.SecondFrameOpenCode = readText(r, f, "second_frame_open", code, &second);
    if (second && p.Version < 3)
        r.fail(node, f.what() + ": only version 3 and later have a second frame-open code");
    if (const YAML::Node n = f["integers"]; n.IsDefined())
        p.IntegerVariables = r.names(n, "integers");
    if (const YAML::Node n = f["variants"]; n.IsDefined())
        p.VariantVariables = r.names(n, "variants");
    for (const QStringList* names : {&p.IntegerVariables, &p.VariantVariables}) {
        if (names->size() > 32767) r.fail(node, f.what() + " declares too many variables");
    }
    if (const YAML::Node n = f["flags"]; n.IsDefined()) {
        const QList<YAML::Node> flags = r.items(n, "flags");
        if (flags.size() != 2) r.fail(n, "flags: the two flags the plugin keeps");
        p.Flag1 = r.boolean(flags[0], "a flag");
        p.Flag2 = r.boolean(flags[1], "a flag");
    }
    p.Strings[2] = readText(r, f, "frame_action", {});
    p.Strings[4] = readText(r, f, "hotspot_action", {});
    if (const YAML::Node n = f["other_strings"]; n.IsDefined()) {
        const QList<YAML::Node> others = r.items(n, "other_strings");
        if (others.size() != 3) r.fail(n, "other_strings: the first, second and fourth string");
        const int at[] = {0, 1, 3};
        for (int i = 0; i < 3; ++i) {
            const QString text = r.text(others[i], "other_strings", true);
            if (!storablePluginText(text)) r.fail(others[i], "\"~\" and character 254 are quotes");
            p.Strings[at[i]] = escapePluginQuotes(text);
        }
    }
    if (const YAML::Node n = f["parameters"]; n.IsDefined()) {
        for (const YAML::Node& item : r.items(n, "parameters"))
            p.Parameters.append(readParameter(r, item, p.Version));
    }
    if (const YAML::Node n = f["extra"]; n.IsDefined()) {
        for (const YAML::Node& item : r.items(n, "extra"))
            p.Extra.append(r.value(item, "extra"));
    }
    if (p.Parameters.size() > 32767 || p.Extra.size() > 32767)
        r.fail(node, f.what() + " holds more than 32767 entries in a list");
    if (const YAML::Node rawNode = f["raw"]; rawNode.IsDefined()) {
        Fields raw(r, rawNode, "the raw fields of " + f.what());
        if (const YAML::Node n = raw["skipped"]; n.IsDefined())
            p.Skipped = r.values(n, "skipped", 7);
        if (const YAML::Node n = raw["other_strings_stored"]; n.IsDefined()) {
            const QList<YAML::Node> others = r.items(n, "other_strings_stored");
            if (others.size() != 3) r.fail(n, "other_strings_stored: three texts");
            const int at[] = {0, 1, 3};
            for (int i = 0; i < 3; ++i)
                p.Strings[at[i]] = r.text(others[i], "other_strings_stored");
        }
        if (const YAML::Node n = raw["file"]; n.IsDefined()) file.fileName = r.text(n, "file");
        raw.finish();
    }
    if (!usablePluginName(file.fileName))
        r.fail(node, f.what() + ": '" + file.fileName + "' cannot name a file of CPData");
    f.finish();
    return file;
}

YamlNode describePlugin(const PluginFile& file) {
    const PluginDataFile& p = file.data;
    const PluginDataFile base;
    YamlNode m = YamlNode::map();
    m.add("name", YamlNode::text(p.InternalName));
    m.add("version", YamlNode::number(p.Version));
    if (p.Compiled) m.add("compiled", YamlNode::boolean(true));
    if (p.Protected) m.add("protected", YamlNode::boolean(true));
    if (!p.Title.isEmpty()) m.add("title", YamlNode::text(p.Title));
    if (!p.DisplayName.isEmpty()) m.add("display_name", YamlNode::text(p.DisplayName));
    describeText(m, "description", p.Description, {});
    const TextCodec code{true, p.codeForm()};
    describeText(m, "startup", p.StartupCode, code);
    describeText(m, "frame_open", p.FrameOpenCode, code);
    describeText(m, "procedures", p.ProceduresCode, code);
    if (p.Version >= 3) describeText(m, "second_frame_open", p.SecondFrameOpenCode, code);
    if (!p.IntegerVariables.isEmpty()) m.add("integers", describeNames(p.IntegerVariables));
    if (!p.VariantVariables.isEmpty()) m.add("variants", describeNames(p.VariantVariables));
    if (p.Flag1 || p.Flag2) {
        YamlNode flags = YamlNode::seq(true);
        flags.append(YamlNode::boolean(p.Flag1));
        flags.append(YamlNode::boolean(p.Flag2));
        m.add("flags", std::move(flags));
    }
    describeText(m, "frame_action", p.Strings[2], {});
    describeText(m, "hotspot_action", p.Strings[4], {});
    YamlNode raw = YamlNode::map();
    const QStringList others = {p.Strings[0], p.Strings[1], p.Strings[3]};
    if (others != QStringList(3, QString())) {
        bool canonical = true;
        YamlNode plain = YamlNode::seq(true);
        YamlNode stored = YamlNode::seq(true);
        for (const QString& s : others) {
            const QString text = restorePluginQuotes(s);
            canonical = canonical && storablePluginText(text) && escapePluginQuotes(text) == s;
            plain.append(YamlNode::text(text));
            stored.append(YamlNode::text(s));
        }
        if (canonical)
            m.add("other_strings", std::move(plain));
        else
            raw.add("other_strings_stored", std::move(stored));
    }
    if (!p.Parameters.isEmpty()) {
        YamlNode list = YamlNode::seq();
        for (const PluginParameter& parameter : p.Parameters)
            list.append(describeParameter(parameter, p.Version));
        m.add("parameters", std::move(list));
    }
    if (!p.Extra.isEmpty()) m.add("extra", describeValues(p.Extra));
    if (p.Skipped != base.Skipped) raw.add("skipped", describeValues(p.Skipped));
    if (file.fileName != p.InternalName) raw.add("file", YamlNode::text(file.fileName));
    if (!raw.isEmpty()) m.add("raw", std::move(raw));
    return m;
}

} // namespace

void readPlugins(const Reader& r, const YAML::Node& node, ProjectDescription& d) {
    Fields f(r, node, "plugins");
    if (const YAML::Node n = f["list"]; n.IsDefined()) {
        d.pluginList = PluginListFile();
        d.pluginList->Names = r.names(n, "list");
    }
    if (const YAML::Node rawNode = f["raw"]; rawNode.IsDefined()) {
        Fields raw(r, rawNode, "the raw fields of plugins");
        if (const YAML::Node n = raw["leading"]; n.IsDefined()) {
            if (!d.pluginList) r.fail(n, "the leading values belong to a list");
            d.pluginList->Leading = r.values(n, "leading", 10);
        }
        raw.finish();
    }
    if (const YAML::Node n = f["files"]; n.IsDefined()) {
        for (const YAML::Node& item : r.items(n, "files")) {
            PluginFile file = readPlugin(r, item, int(d.plugins.size()) + 1);
            for (const PluginFile& other : d.plugins) {
                if (other.fileName.compare(file.fileName, Qt::CaseInsensitive) == 0)
                    r.fail(item, "a second plugin file named '" + file.fileName + "'");
            }
            d.plugins.append(std::move(file));
        }
    }
    f.finish();
}

YamlNode describePlugins(const ProjectDescription& d) {
    YamlNode m = YamlNode::map();
    if (d.pluginList) {
        m.add("list", describeNames(d.pluginList->Names));
        if (d.pluginList->Leading != PluginListFile().Leading) {
            YamlNode raw = YamlNode::map();
            raw.add("leading", describeValues(d.pluginList->Leading));
            m.add("raw", std::move(raw));
        }
    }
    if (!d.plugins.isEmpty()) {
        YamlNode files = YamlNode::seq();
        for (const PluginFile& file : d.plugins)
            files.append(describePlugin(file));
        m.add("files", std::move(files));
    }
    return m;
}

} // namespace tv::builder
