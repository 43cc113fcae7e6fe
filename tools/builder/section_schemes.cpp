// Welcome-window schemes: Schemes/NAME/Scheme.txt, and the pictures it names in the same folder.
//
// The readable keys give what the window uses; the switches are stored as the editor stores them
// (colour format 3, or 4 with a button colour; the hide-title flag as 1 or 0). Any other stored
// value, and the values the window steps over, go under `raw:` so that the file comes back byte
// for byte.

#include "tools/builder/frame_parts.h"
#include "tools/builder/sections.h"

#include <QRegularExpression>

namespace tv::builder {

namespace {

const RecordValue kOne = RecordValue::ofNumber(1);
const RecordValue kZero = RecordValue::ofNumber(0);

void readColours(const Reader& r, const YAML::Node& node, SchemeFile& s) {
    Fields f(r, node, "colours");
    const std::pair<const char*, qint32*> keys[] = {{"window", &s.WindowColour},
                                                    {"title", &s.TitleColour},
                                                    {"text", &s.TextColour},
                                                    {"button", &s.ButtonColour}};
    for (const auto& [key, colour] : keys) {
        if (const YAML::Node n = f[key]; n.IsDefined()) *colour = readColour(r, n);
    }
    s.ColourFormat = f.has("button") ? 4 : 3;
    f.finish();
}

void readLogo(const Reader& r, const YAML::Node& node, SchemeFile& s) {
    Fields f(r, node, "logo");
    if (const YAML::Node n = f["style"]; n.IsDefined()) s.LogoStyle = r.int16(n, "style");
    if (const YAML::Node n = f["flag"]; n.IsDefined()) s.LogoFlag = r.boolean(n, "flag");
    f.finish();
}

SchemeFolder readScheme(const Reader& r, const YAML::Node& node, int position) {
    SchemeFolder folder;
    SchemeFile& s = folder.scheme;
    Fields f(r, node, QString("scheme %1").arg(position));
    const YAML::Node name = f["name"];
    if (!name.IsDefined()) r.fail(node, f.what() + " needs its name");
    folder.name = r.text(name, "name");
    if (const QString problem = schemeNameProblem(folder.name); !problem.isEmpty())
        r.fail(name, problem);
    const QString what = "scheme '" + folder.name + "'";
    f.setWhat(what);

    const YAML::Node pictures = f["pictures"];
    s.Pictures = r.names(pictures, "pictures");
    if (s.Pictures.size() > 32767) r.fail(pictures, "a scheme holds at most 32767 pictures");
    s.PictureCount = qint16(s.Pictures.size());
    // What follows the count, which a refused scheme does not have.
    QList<YAML::Node> after;
    if (const YAML::Node n = f["colours"]; n.IsDefined()) {
        readColours(r, n, s);
        after.append(n);
    }
    const YAML::Node hide = f["hide_title"];
    if (hide.IsDefined()) {
        s.hasTail = true;
        s.HideTitle = r.boolean(hide, "hide_title") ? kOne : kZero;
        after.append(hide);
    }
    if (const YAML::Node n = f["logo"]; n.IsDefined()) {
        s.hasTail = s.hasLogo = true;
        readLogo(r, n, s);
        after.append(n);
    }
    if (const YAML::Node rawNode = f["raw"]; rawNode.IsDefined()) {
        Fields raw(r, rawNode, "the raw fields of " + what);
        if (const YAML::Node n = raw["leading"]; n.IsDefined())
            s.Leading = r.values(n, "leading", 3);
        if (const YAML::Node n = raw["picture_count"]; n.IsDefined()) {
            if (!s.Pictures.isEmpty())
                r.fail(n, "give either pictures or raw picture_count, not both");
            s.PictureCount = r.int16(n, "picture_count");
            if (s.PictureCount > 0) r.fail(n, "raw picture_count is for counts below 1");
        }
        if (const YAML::Node n = raw["colour_format"]; n.IsDefined()) {
            const bool button = s.ColourFormat >= 4;
            const bool colours = s.ColourFormat != 0;
            s.ColourFormat = r.int16(n, "colour_format");
            if (colours && s.ColourFormat == 0) r.fail(n, "colour format 0 stores no colours");
            if (button && s.ColourFormat < 4)
                r.fail(n, "a button colour needs colour format 4 or more");
            after.append(n);
        }
        if (const YAML::Node n = raw["tail"]; n.IsDefined()) {
            s.hasTail = true;
            s.TailSkipped = r.values(n, "tail", 3);
            after.append(n);
        }
        if (const YAML::Node n = raw["hide_title"]; n.IsDefined()) {
            if (hide.IsDefined()) r.fail(n, "give either hide_title or raw hide_title, not both");
            s.hasTail = true;
            s.HideTitle = r.value(n, "hide_title");
            after.append(n);
        }
        if (const YAML::Node n = raw["logo_field"]; n.IsDefined()) {
            s.hasTail = s.hasLogo = true;
            s.LogoSkipped = r.value(n, "logo_field");
            after.append(n);
        }
        raw.finish();
    }
    if (!pictures.IsDefined() && s.PictureCount == 0)
        r.fail(node, what + " lists its pictures (pictures: [] for a refused scheme)");
    if (s.refused() && !after.isEmpty())
        r.fail(after.front(), "a scheme without pictures is refused: nothing follows its count");
    f.finish();
    return folder;
}

YamlNode describeScheme(const SchemeFolder& folder) {
    const SchemeFile& s = folder.scheme;
    const SchemeFile base;
    YamlNode m = YamlNode::map();
    YamlNode raw = YamlNode::map();
    m.add("name", YamlNode::text(folder.name));
    if (s.Leading != base.Leading) raw.add("leading", describeValues(s.Leading));
    if (s.PictureCount < 0) {
        raw.add("picture_count", YamlNode::number(s.PictureCount));
    } else {
        YamlNode list = YamlNode::seq(true);
        for (const QString& picture : s.Pictures)
            list.append(YamlNode::text(picture));
        m.add("pictures", std::move(list));
    }
    if (s.hasColours()) {
        YamlNode colours = YamlNode::map();
        colours.add("window", describeColour(s.WindowColour));
        colours.add("title", describeColour(s.TitleColour));
        colours.add("text", describeColour(s.TextColour));
        if (s.hasButtonColour()) colours.add("button", describeColour(s.ButtonColour));
        m.add("colours", std::move(colours));
    }
    if (!s.refused() && s.ColourFormat != 0 && s.ColourFormat != 3 && s.ColourFormat != 4)
        raw.add("colour_format", YamlNode::number(s.ColourFormat));
    if (!s.refused() && s.hasTail) {
        if (s.HideTitle == kOne || s.HideTitle == kZero) {
            m.add("hide_title", YamlNode::boolean(s.HideTitle == kOne));
        } else {
            raw.add("hide_title", describeValue(s.HideTitle));
        }
        if (s.TailSkipped != base.TailSkipped) raw.add("tail", describeValues(s.TailSkipped));
        if (s.hasLogo) {
            YamlNode logo = YamlNode::map();
            logo.add("style", YamlNode::number(s.LogoStyle));
            logo.add("flag", YamlNode::boolean(s.LogoFlag));
            m.add("logo", std::move(logo));
            if (!(s.LogoSkipped == base.LogoSkipped))
                raw.add("logo_field", describeValue(s.LogoSkipped));
        }
    }
    if (!raw.isEmpty()) m.add("raw", std::move(raw));
    return m;
}

} // namespace

QString schemeNameProblem(const QString& name) {
    if (name.isEmpty()) return "a scheme needs a name";
    static const QRegularExpression bad(R"([\\/:*?"<>|\x00-\x1f])");
    if (bad.match(name).hasMatch()) return "a scheme name cannot hold \\ / : * ? \" < > |";
    if (name == "." || name == "..") return "a scheme cannot be named " + name;
    return {};
}

QList<SchemeFolder> readSchemes(const Reader& r, const YAML::Node& node) {
    QList<SchemeFolder> schemes;
    for (const YAML::Node& entry : r.items(node, "schemes")) {
        SchemeFolder s = readScheme(r, entry, int(schemes.size()) + 1);
        for (const SchemeFolder& other : schemes) {
            // Scheme folders are found without case, as on Windows.
            if (other.name.compare(s.name, Qt::CaseInsensitive) == 0)
                r.fail(entry, "a second scheme named '" + s.name + "'");
        }
        schemes.append(std::move(s));
    }
    return schemes;
}

YamlNode describeSchemes(const QList<SchemeFolder>& schemes) {
    YamlNode list = YamlNode::seq();
    for (const SchemeFolder& s : schemes)
        list.append(describeScheme(s));
    return list;
}

} // namespace tv::builder
