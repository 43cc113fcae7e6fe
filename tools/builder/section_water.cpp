// A frame's rippling water: Frames/F.rwe (the rectangle, the wave setting, the speed and the
// optional direction) and Frames/F.rwm, the mask picture, copied from a media file.
//
//   water:
//     rectangle: [0, 300, 640, 180]   # left, top, width, height in pixels
//     wave: 4
//     speed: 8
//     reverse: false                  # absent: the file ends after the speed
//     mask: lake_mask.bmp             # a media file, stored as F.rwm
//     raw: {leading: [...]}           # the six values the player steps over

#include "tools/builder/sections.h"

namespace tv::builder {

WaterFrame readWater(const Reader& r, const YAML::Node& node, const QString& frame) {
    WaterFrame water;
    WaterFile& w = water.settings;
    Fields f(r, node, "the water of frame '" + frame + "'");
    const YAML::Node rect = f["rectangle"];
    if (!rect.IsDefined()) r.fail(node, f.what() + " needs its rectangle");
    const QList<YAML::Node> sides = r.items(rect, "rectangle");
    if (sides.size() != 4) r.fail(rect, "rectangle: left, top, width and height in pixels");
    w.Left = r.int16(sides[0], "left");
    w.Top = r.int16(sides[1], "top");
    w.Width = r.int16(sides[2], "width");
    w.Height = r.int16(sides[3], "height");
    if (const YAML::Node n = f["wave"]; n.IsDefined()) w.Wave = r.int16(n, "wave");
    if (const YAML::Node n = f["speed"]; n.IsDefined()) w.Speed = r.int16(n, "speed");
    if (const YAML::Node n = f["reverse"]; n.IsDefined()) {
        w.hasReverse = true;
        w.Reverse = r.boolean(n, "reverse");
    }
    if (const YAML::Node n = f["mask"]; n.IsDefined()) water.mask = r.text(n, "mask");
    if (const YAML::Node rawNode = f["raw"]; rawNode.IsDefined()) {
        Fields raw(r, rawNode, "the raw fields of " + f.what());
        if (const YAML::Node n = raw["leading"]; n.IsDefined())
            w.Leading = r.values(n, "leading", 6);
        raw.finish();
    }
    f.finish();
    return water;
}

YamlNode describeWater(const WaterFrame& water) {
    const WaterFile& w = water.settings;
    YamlNode m = YamlNode::map();
    YamlNode rect = YamlNode::seq(true);
    for (const qint16 side : {w.Left, w.Top, w.Width, w.Height})
        rect.append(YamlNode::number(side));
    m.add("rectangle", std::move(rect));
    m.add("wave", YamlNode::number(w.Wave));
    m.add("speed", YamlNode::number(w.Speed));
    if (w.hasReverse) m.add("reverse", YamlNode::boolean(w.Reverse));
    if (!water.mask.isEmpty()) m.add("mask", YamlNode::text(water.mask));
    if (w.Leading != WaterFile().Leading) {
        YamlNode raw = YamlNode::map();
        raw.add("leading", describeValues(w.Leading));
        m.add("raw", std::move(raw));
    }
    return m;
}

} // namespace tv::builder
