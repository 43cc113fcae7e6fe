// Hotspots (.fm2), each with the action of its position.

#include "tools/builder/frame_parts.h"

#include <cmath>

namespace tv::builder {

namespace {

// What a picture or video given by its file alone is switched on with.
const RecordValue kShown = RecordValue::ofBool(true);

template <auto M> Field<HotspotEntry> hotspotField(const char* key) {
    return fieldAt<HotspotEntry>(
        key, [](auto& e) -> auto& { return e.record.*M; });
}

// "rect" in pixels, or "rect_twips" as stored (1/15 pixel) where the pixels are not whole.
Field<HotspotEntry> hotspotRect() {
    Field<HotspotEntry> f;
    f.key = "rect";
    f.read = [](const Reader& r, Fields& fields, HotspotEntry& e) {
        HotspotRecord& h = e.record;
        const YAML::Node rect = fields["rect"];
        const YAML::Node twips = fields["rect_twips"];
        if (rect.IsDefined() && twips.IsDefined()) r.fail(twips, "give either rect or rect_twips");
        if (rect.IsDefined()) {
            const QList<YAML::Node> xywh = r.items(rect, "rect");
            if (xywh.size() != 4) r.fail(rect, "rect is [left, top, width, height] in pixels");
            RecordValue* values[] = {&h.Left, &h.Top, &h.Width, &h.Height};
            for (int i = 0; i < 4; ++i) {
                const double twips = r.real(xywh[i], "rect") * 15;
                if (!std::isfinite(twips)) r.fail(xywh[i], "too large a rectangle");
                *values[i] = RecordValue::ofNumber(twips);
            }
        } else if (twips.IsDefined()) {
            const QList<RecordValue> v = r.values(twips, "rect_twips", 4);
            h.Left = v[0], h.Top = v[1], h.Width = v[2], h.Height = v[3];
        }
    };
    f.differs = [](const HotspotEntry& e, const HotspotEntry& base) {
        const HotspotRecord &h = e.record, &b = base.record;
        return h.Left != b.Left || h.Top != b.Top || h.Width != b.Width || h.Height != b.Height;
    };
    f.describe = [](YamlNode& m, const HotspotEntry& e, const HotspotEntry&) {
        const HotspotRecord& h = e.record;
        const RecordValue* rect[] = {&h.Left, &h.Top, &h.Width, &h.Height};
        bool pixels = true, any = false;
        for (const RecordValue* v : rect) {
            any = any || v->kind != RecordValue::Kind::Empty;
            pixels = pixels && v->kind == RecordValue::Kind::Number &&
                     (v->number / 15) * 15 == v->number;
        }
        if (any && pixels) {
            YamlNode list = YamlNode::seq(true);
            for (const RecordValue* v : rect)
                list.append(YamlNode::number(v->number / 15));
            m.add("rect", std::move(list));
        } else if (any) {
            m.add("rect_twips", describeValues({h.Left, h.Top, h.Width, h.Height}));
        }
    };
    return f;
}

// Given alone, the speed of a record without a video; with a video it is part of the tail
// anyway, and described only when set.
Field<HotspotEntry> animationSpeed() {
    Field<HotspotEntry> f;
    f.key = "animation_speed";
    f.read = [](const Reader& r, Fields& fields, HotspotEntry& e) {
        if (YAML::Node n = fields["animation_speed"]; n.IsDefined()) {
            e.record.hasAnimationSpeed = true;
            e.record.AnimationSpeed = r.value(n, "animation_speed");
        }
    };
    f.describe = [](YamlNode& m, const HotspotEntry& e, const HotspotEntry&) {
        const HotspotRecord& h = e.record;
        if (h.hasAnimationSpeed &&
            (!h.hasVideoTail || h.AnimationSpeed.kind != RecordValue::Kind::Empty))
            m.add("animation_speed", describeValue(h.AnimationSpeed));
    };
    f.differs = [](const HotspotEntry& e, const HotspotEntry& base) {
        return e.record.hasAnimationSpeed != base.record.hasAnimationSpeed ||
               e.record.AnimationSpeed != base.record.AnimationSpeed;
    };
    return f;
}

Field<HotspotEntry> hotspotAction() {
    Field<HotspotEntry> f;
    f.key = "action";
    f.read = [](const Reader& r, Fields& fields, HotspotEntry& e) {
        if (YAML::Node n = fields["action"]; n.IsDefined())
            e.action = readAction(r, n, QString("the action of hotspot %1").arg(e.position), {});
    };
    f.describe = [](YamlNode& m, const HotspotEntry& e, const HotspotEntry&) {
        if (e.action) m.add("action", describeAction(*e.action, ActionRecord()));
    };
    f.differs = [](const HotspotEntry& e, const HotspotEntry& base) {
        return e.action != base.action;
    };
    return f;
}

bool isSet(const RecordValue& v) {
    return v.kind != RecordValue::Kind::Empty;
}

const Table<HotspotEntry> kHotspot = {
    hotspotField<&HotspotRecord::Index>("index"),
    hotspotRect(),
    group<HotspotEntry>({.key = "picture",
                         .fields = {hotspotField<&HotspotRecord::Picture>("file"),
                                    hotspotField<&HotspotRecord::ShowPicture>("show").readFirst()},
                         .given = [](HotspotEntry& e) { e.record.ShowPicture = kShown; },
                         .alone = "file"}),
    hotspotField<&HotspotRecord::Stretch>("stretch"),
    hotspotField<&HotspotRecord::Pointer>("pointer"),
    hotspotField<&HotspotRecord::Animated>("animated"),
    group<HotspotEntry>({.key = "conditions",
                         .fields = {hotspotField<&HotspotRecord::HasConditions>("enabled"),
                                    hotspotField<&HotspotRecord::MustBeZero>("must_be_zero"),
                                    hotspotField<&HotspotRecord::MustBeOne>("must_be_one")},
                         .given = [](HotspotEntry& e) { e.record.HasConditions = kOn; }}),
    animationSpeed(),
    // A video makes the record carry its whole tail, so it is described whenever the record
    // has one, even an empty one.
    group<HotspotEntry>({.key = "video",
                         .fields = {hotspotField<&HotspotRecord::VideoFile>("file"),
                                    hotspotField<&HotspotRecord::HasVideo>("show").readFirst(),
                                    hotspotField<&HotspotRecord::VideoAutoSize>("auto_size"),
                                    hotspotField<&HotspotRecord::VideoVolume>("volume"),
                                    hotspotField<&HotspotRecord::VideoRate>("rate"),
                                    hotspotField<&HotspotRecord::VideoPlayCount>("play_count")},
                         .given =
                             [](HotspotEntry& e) {
                                 e.record.hasAnimationSpeed = true;
                                 e.record.hasVideoTail = true;
                                 e.record.HasVideo = kShown;
                             },
                         .alone = "file",
                         .present = [](const HotspotEntry& e,
                                       const HotspotEntry&) { return e.record.hasVideoTail; }}),
    hotspotAction(),
    group<HotspotEntry>({.key = "raw",
                         .fields = {hotspotField<&HotspotRecord::Field1>("field_1"),
                                    hotspotField<&HotspotRecord::Fields3to10>("fields_3_10"),
                                    hotspotField<&HotspotRecord::Field28>("field_28"),
                                    hotspotField<&HotspotRecord::Field29>("field_29"),
                                    hotspotField<&HotspotRecord::Field32>("field_32"),
                                    hotspotField<&HotspotRecord::Field33>("field_33")},
                         .what = "hotspot raw fields",
                         .check =
                             [](const Reader& r, const YAML::Node& n, const HotspotEntry& e) {
                                 const HotspotRecord& h = e.record;
                                 if ((isSet(h.Field28) || isSet(h.Field29) || isSet(h.Field32) ||
                                      isSet(h.Field33)) &&
                                     !h.hasVideoTail)
                                     r.fail(n, "fields 28 to 33 are stored only with a video");
                             }}),
};

HotspotEntry baseHotspot(int position) {
    HotspotEntry e;
    e.record.Index = qint16(position);
    e.position = position;
    return e;
}

} // namespace

HotspotEntry readHotspot(const Reader& r, const YAML::Node& node, int position) {
    HotspotEntry e = baseHotspot(position);
    Fields f(r, node, QString("hotspot %1").arg(position));
    readTable(r, f, e, kHotspot);
    f.finish();
    return e;
}

YamlNode describeHotspot(const HotspotRecord& h, int position, const ActionRecord* action) {
    HotspotEntry e = baseHotspot(position);
    e.record = h;
    if (action) e.action = *action;
    YamlNode m = YamlNode::map();
    describeTable(m, e, baseHotspot(position), kHotspot);
    return m;
}

} // namespace tv::builder
