// The inventory's files: item definitions (Areas/NAME.obj), combinations (Areas/A_on_B.drg) and
// the pick-ups of a frame's hotspots (.fm4).
//
// The editor stores its switches as numbers that mean "on" when they are 1. They are described as
// `true` (1) or left out (0); any other stored value, and the values the player steps over, go
// under `raw:` so that the files come back byte for byte.

#include "tools/builder/sections.h"

#include <QRegularExpression>

namespace tv::builder {

namespace {

const RecordValue kOne = RecordValue::ofNumber(1);
const RecordValue kZero = RecordValue::ofNumber(0);

bool isSwitch(const RecordValue& v) {
    return v == kOne || v == kZero;
}

// A name that must be a text the file can hold and a file name.
QString readName(const Reader& r, Fields& f, const char* key) {
    const YAML::Node n = f[key];
    if (!n.IsDefined()) r.fail(f.node(), f.what() + " needs its " + key);
    const QString name = r.text(n, key);
    if (const QString problem = itemNameProblem(name); !problem.isEmpty()) r.fail(n, problem);
    return name;
}

// `key: true|false` for a switch, or the stored value under `raw: {rawKey: ...}`; not both.
void readSwitch(const Reader& r, Fields& f, Fields* raw, const char* key, const char* rawKey,
                RecordValue& v) {
    const YAML::Node given = f[key];
    if (given.IsDefined()) v = r.boolean(given, key) ? kOne : kZero;
    if (!raw) return;
    if (const YAML::Node stored = (*raw)[rawKey]; stored.IsDefined()) {
        if (given.IsDefined())
            r.fail(stored, QString("give either %1 or raw %2, not both").arg(key, rawKey));
        v = r.value(stored, rawKey);
    }
}

void describeSwitch(YamlNode& m, YamlNode& raw, const char* key, const char* rawKey,
                    const RecordValue& v) {
    if (v == kOne) m.add(key, YamlNode::boolean(true));
    if (!isSwitch(v)) raw.add(rawKey, describeValue(v));
}

// The raw map of an entry, read only when given.
std::optional<Fields> rawFields(const Reader& r, Fields& f, const QString& what) {
    std::optional<Fields> raw;
    if (const YAML::Node n = f["raw"]; n.IsDefined())
        raw.emplace(r, n, "the raw fields of " + what);
    return raw;
}

QList<RecordValue> readList(const Reader& r, const YAML::Node& node, const char* what) {
    QList<RecordValue> values;
    for (const YAML::Node& item : r.items(node, what))
        values.append(r.value(item, what));
    return values;
}

// --- combinations --------------------------------------------------------------------------------

CombinationFile readCombination(const Reader& r, const YAML::Node& node, int position) {
    CombinationFile c;
    Fields f(r, node, QString("combination %1").arg(position));
    c.dragged = readName(r, f, "dragged");
    c.target = readName(r, f, "target");
    const QString what = "combination '" + c.dragged + "_on_" + c.target + "'";
    f.setWhat(what);
    std::optional<Fields> raw = rawFields(r, f, what);
    Fields* rawp = raw ? &*raw : nullptr;
    ItemCombination& k = c.combination;

    readSwitch(r, f, rawp, "remove_dragged", "field_1", k.RemoveDragged);
    readSwitch(r, f, rawp, "remove_target", "field_2", k.RemoveTarget);
    const YAML::Node add = f["add"];
    if (add.IsDefined()) {
        k.AddItem = kOne;
        k.NewItem = r.text(add, "add");
    }
    // Any of the script's keys means the file goes on after the new item.
    const YAML::Node script = f["script"];
    const YAML::Node run = f["run_script"];
    auto withScript = [&k] {
        if (!k.hasScript) k.RunScript = true;
        k.hasScript = true;
    };
    if (script.IsDefined()) {
        withScript();
        k.Script = r.script(script, "script", QuoteCodec::Bar);
    }
    if (run.IsDefined()) {
        withScript();
        k.RunScript = r.boolean(run, "run_script");
    }
    if (raw) {
        for (const char* key : {"field_3", "field_4"}) {
            const YAML::Node n = (*raw)[key];
            if (!n.IsDefined()) continue;
            if (add.IsDefined()) r.fail(n, QString("give either add or raw %1, not both").arg(key));
            if (QByteArray(key) == "field_3") k.AddItem = r.value(n, key);
            if (QByteArray(key) == "field_4") k.NewItem = r.text(n, key);
        }
        if (const YAML::Node n = (*raw)["fields_5_7"]; n.IsDefined()) {
            withScript();
            k.Ignored = r.values(n, "fields_5_7", 3);
        }
        raw->finish();
    }
    f.finish();
    return c;
}

YamlNode describeCombination(const CombinationFile& c) {
    const ItemCombination& k = c.combination;
    YamlNode m = YamlNode::map();
    YamlNode raw = YamlNode::map();
    m.add("dragged", YamlNode::text(c.dragged));
    m.add("target", YamlNode::text(c.target));
    describeSwitch(m, raw, "remove_dragged", "field_1", k.RemoveDragged);
    describeSwitch(m, raw, "remove_target", "field_2", k.RemoveTarget);
    if (k.AddItem == kOne) {
        m.add("add", YamlNode::text(k.NewItem));
    } else {
        if (!(k.AddItem == kZero)) raw.add("field_3", describeValue(k.AddItem));
        if (!k.NewItem.isEmpty()) raw.add("field_4", YamlNode::text(k.NewItem));
    }
    if (k.hasScript) {
        m.add("script", YamlNode::text(decodeQuotes(k.Script, QuoteCodec::Bar)));
        if (!k.RunScript) m.add("run_script", YamlNode::boolean(false));
        if (k.Ignored != ItemCombination().Ignored)
            raw.add("fields_5_7", describeValues(k.Ignored));
    }
    if (!raw.isEmpty()) m.add("raw", std::move(raw));
    return m;
}

// --- pick-ups ------------------------------------------------------------------------------------

PickUpRecord readPickUp(const Reader& r, const YAML::Node& node, int position) {
    PickUpRecord p;
    p.Flag = kOne;
    Fields f(r, node, QString("pick-up %1").arg(position));
    const YAML::Node hotspot = f["hotspot"];
    if (!hotspot.IsDefined()) r.fail(node, "a pick-up names its hotspot");
    p.Hotspot = r.int16(hotspot, "hotspot");
    const QString what = QString("the pick-up of hotspot %1").arg(p.Hotspot);
    f.setWhat(what);
    std::optional<Fields> raw = rawFields(r, f, what);
    const YAML::Node item = f["item"];
    if (item.IsDefined()) p.Rest = {RecordValue::ofString(r.text(item, "item"))};
    readSwitch(r, f, raw ? &*raw : nullptr, "gives_item", "flag", p.Flag);
    if (raw) {
        if (const YAML::Node n = (*raw)["field_1"]; n.IsDefined()) p.Field1 = r.value(n, "field_1");
        if (const YAML::Node n = (*raw)["fields_3_10"]; n.IsDefined())
            p.Ignored = r.values(n, "fields_3_10", 8);
        if (const YAML::Node n = (*raw)["after_item"]; n.IsDefined()) {
            if (!item.IsDefined()) r.fail(n, "after_item follows an item");
            p.Rest += readList(r, n, "after_item");
        }
        if (const YAML::Node n = (*raw)["after_flag"]; n.IsDefined()) {
            if (item.IsDefined()) r.fail(n, "give either item or raw after_flag, not both");
            p.Rest = readList(r, n, "after_flag");
        }
        raw->finish();
    }
    f.finish();
    return p;
}

YamlNode describePickUp(const PickUpRecord& p) {
    YamlNode m = YamlNode::map();
    YamlNode raw = YamlNode::map();
    m.add("hotspot", YamlNode::number(p.Hotspot));
    if (!p.Rest.isEmpty() && p.Rest.front().kind == RecordValue::Kind::String) {
        m.add("item", YamlNode::text(p.Rest.front().text));
        if (p.Rest.size() > 1) raw.add("after_item", describeValues(p.Rest.mid(1)));
    } else if (!p.Rest.isEmpty()) {
        raw.add("after_flag", describeValues(p.Rest));
    }
    if (p.Flag == kZero) m.add("gives_item", YamlNode::boolean(false));
    if (!isSwitch(p.Flag)) raw.add("flag", describeValue(p.Flag));
    const PickUpRecord base;
    if (!(p.Field1 == base.Field1)) raw.add("field_1", describeValue(p.Field1));
    if (p.Ignored != base.Ignored) raw.add("fields_3_10", describeValues(p.Ignored));
    if (!raw.isEmpty()) m.add("raw", std::move(raw));
    return m;
}

} // namespace

QString itemNameProblem(const QString& name) {
    if (name.isEmpty()) return "an item needs a name";
    static const QRegularExpression bad(R"([\\/:*?"<>|\x00-\x1f])");
    if (bad.match(name).hasMatch()) return "an item name cannot hold \\ / : * ? \" < > |";
    return {};
}

QList<ItemDefinition> readItems(const Reader& r, const YAML::Node& node) {
    QList<ItemDefinition> items;
    for (const YAML::Node& entry : r.items(node, "items")) {
        Fields f(r, entry, QString("item %1").arg(items.size() + 1));
        ItemDefinition item;
        item.name = readName(r, f, "name");
        f.setWhat("item '" + item.name + "'");
        item.icon = r.text(f["icon"], "icon");
        f.finish();
        for (const ItemDefinition& other : items) {
            // Item files are found without case, as on Windows.
            if (other.name.compare(item.name, Qt::CaseInsensitive) == 0)
                r.fail(entry, "a second item named '" + item.name + "'");
        }
        items.append(item);
    }
    return items;
}

YamlNode describeItems(const QList<ItemDefinition>& items) {
    YamlNode list = YamlNode::seq();
    for (const ItemDefinition& item : items) {
        YamlNode m = YamlNode::map();
        m.add("name", YamlNode::text(item.name));
        if (!item.icon.isEmpty()) m.add("icon", YamlNode::text(item.icon));
        list.append(std::move(m));
    }
    return list;
}

QList<CombinationFile> readCombinations(const Reader& r, const YAML::Node& node) {
    QList<CombinationFile> combinations;
    for (const YAML::Node& entry : r.items(node, "combinations")) {
        CombinationFile c = readCombination(r, entry, int(combinations.size()) + 1);
        const QString file = c.dragged + "_on_" + c.target;
        for (const CombinationFile& other : combinations) {
            if (file.compare(other.dragged + "_on_" + other.target, Qt::CaseInsensitive) == 0)
                r.fail(entry, "a second combination stored as " + file + ".drg");
        }
        combinations.append(std::move(c));
    }
    return combinations;
}

YamlNode describeCombinations(const QList<CombinationFile>& combinations) {
    YamlNode list = YamlNode::seq();
    for (const CombinationFile& c : combinations)
        list.append(describeCombination(c));
    return list;
}

QList<PickUpRecord> readPickUps(const Reader& r, const YAML::Node& node) {
    QList<PickUpRecord> pickUps;
    for (const YAML::Node& entry : r.items(node, "pick_ups"))
        pickUps.append(readPickUp(r, entry, int(pickUps.size()) + 1));
    return pickUps;
}

YamlNode describePickUps(const QList<PickUpRecord>& pickUps) {
    YamlNode list = YamlNode::seq();
    for (const PickUpRecord& p : pickUps)
        list.append(describePickUp(p));
    return list;
}

} // namespace tv::builder
