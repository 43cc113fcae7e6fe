// Games on several CDs: the marker RunFromCD.dat in the project's root (`run_from_cd: true`, an
// empty file) and the CD index Config/CDContents (`cd_index`), which lists the files of the
// Frames and Areas folders that lie on other discs:
//
//   cd_index:
//     count: 2
//     files:
//       - {name: tower.jpg, cd: 2, folder: frames}
//       - {name: sea.wav, cd: 1, folder: areas}
//
// `folder` stores kind 1 (frames) or 2 (areas); any other stored kind is given as `kind: N`.
// The values the player steps over go under `raw:` (`leading`, three values, and `skipped`,
// two), so that the file comes back byte for byte.

#include "tools/builder/sections.h"

namespace tv::builder {

namespace {

CdIndexEntry readEntry(const Reader& r, const YAML::Node& node, int position) {
    Fields f(r, node, QString("CD index file %1").arg(position));
    CdIndexEntry e;
    const YAML::Node name = f["name"];
    if (!name.IsDefined()) r.fail(node, f.what() + " needs its name");
    e.Name = r.text(name, "name");
    if (const YAML::Node n = f["cd"]; n.IsDefined())
        e.Cd = r.int16(n, "cd");
    else
        r.fail(node, f.what() + " needs its cd");
    const YAML::Node folder = f["folder"];
    const YAML::Node kind = f["kind"];
    if (folder.IsDefined() == kind.IsDefined())
        r.fail(node, f.what() + " needs either its folder (frames or areas) or its kind");
    if (kind.IsDefined()) {
        e.Kind = r.int16(kind, "kind");
    } else {
        const QString where = r.text(folder, "folder").toLower();
        if (where == "frames")
            e.Kind = 1;
        else if (where == "areas")
            e.Kind = 2;
        else
            r.fail(folder, "folder is frames or areas (kind: N for another stored kind)");
    }
    f.finish();
    return e;
}

} // namespace

CdIndexFile readCdIndex(const Reader& r, const YAML::Node& node) {
    Fields f(r, node, "cd_index");
    CdIndexFile index;
    if (const YAML::Node n = f["count"]; n.IsDefined()) index.CdCount = r.int16(n, "count");
    if (const YAML::Node n = f["files"]; n.IsDefined()) {
        for (const YAML::Node& entry : r.items(n, "files"))
            index.Entries.append(readEntry(r, entry, int(index.Entries.size()) + 1));
    }
    if (const YAML::Node rawNode = f["raw"]; rawNode.IsDefined()) {
        Fields raw(r, rawNode, "the raw fields of cd_index");
        if (const YAML::Node n = raw["leading"]; n.IsDefined())
            index.Leading = r.values(n, "leading", 3);
        if (const YAML::Node n = raw["skipped"]; n.IsDefined())
            index.Skipped = r.values(n, "skipped", 2);
        raw.finish();
    }
    f.finish();
    return index;
}

YamlNode describeCdIndex(const CdIndexFile& index) {
    const CdIndexFile base;
    YamlNode m = YamlNode::map();
    m.add("count", YamlNode::number(index.CdCount));
    if (!index.Entries.isEmpty()) {
        YamlNode list = YamlNode::seq();
        for (const CdIndexEntry& e : index.Entries) {
            YamlNode entry = YamlNode::map();
            entry.add("name", YamlNode::text(e.Name));
            entry.add("cd", YamlNode::number(e.Cd));
            if (e.Kind == 1 || e.Kind == 2)
                entry.add("folder", YamlNode::text(e.Kind == 1 ? "frames" : "areas"));
            else
                entry.add("kind", YamlNode::number(e.Kind));
            list.append(std::move(entry));
        }
        m.add("files", std::move(list));
    }
    YamlNode raw = YamlNode::map();
    if (index.Leading != base.Leading) raw.add("leading", describeValues(index.Leading));
    if (index.Skipped != base.Skipped) raw.add("skipped", describeValues(index.Skipped));
    if (!raw.isEmpty()) m.add("raw", std::move(raw));
    return m;
}

} // namespace tv::builder
