// Frame texts (.fm1, and the merged .mr1).

#include "tools/builder/frame_parts.h"

#include <cmath>

namespace tv::builder {

namespace {

// A whole number of pixels, which "at" can give exactly.
bool wholePixels(double twips) {
    return std::isfinite(twips) && std::fmod(twips, 15) == 0;
}

// "at" in pixels, or "at_twips" as stored (1/15 pixel) where either is not a whole pixel.
Field<FrameTextRecord> position() {
    Field<FrameTextRecord> f;
    f.key = "at";
    f.read = [](const Reader& r, Fields& fields, FrameTextRecord& t) {
        const YAML::Node at = fields["at"];
        const YAML::Node twips = fields["at_twips"];
        if (at.IsDefined() && twips.IsDefined()) r.fail(twips, "give either at or at_twips");
        const bool pixels = at.IsDefined();
        const YAML::Node& given = pixels ? at : twips;
        if (!given.IsDefined()) return;
        const QList<YAML::Node> xy = r.items(given, pixels ? "at" : "at_twips");
        if (xy.size() != 2)
            r.fail(given, pixels ? "at is [left, top] in pixels" : "at_twips is [left, top]");
        const double scale = pixels ? 15 : 1;
        double* values[] = {&t.Left, &t.Top};
        for (int i = 0; i < 2; ++i) {
            *values[i] = r.real(xy[i], i == 0 ? "left" : "top") * scale;
            if (!std::isfinite(*values[i])) r.fail(xy[i], "too large a position");
        }
    };
    f.differs = [](const FrameTextRecord& t, const FrameTextRecord& base) {
        return t.Left != base.Left || t.Top != base.Top;
    };
    f.describe = [differs = f.differs](YamlNode& m, const FrameTextRecord& t,
                                       const FrameTextRecord& base) {
        if (!differs(t, base)) return;
        const bool pixels = wholePixels(t.Left) && wholePixels(t.Top);
        const double scale = pixels ? 15 : 1;
        m.add(pixels ? "at" : "at_twips", YamlNode::seq(true)
                                              .append(YamlNode::number(t.Left / scale))
                                              .append(YamlNode::number(t.Top / scale)));
    };
    return f;
}

Field<FrameTextRecord> colour() {
    Field<FrameTextRecord> f;
    f.key = "colour";
    f.read = [](const Reader& r, Fields& fields, FrameTextRecord& t) {
        if (YAML::Node n = fields["colour"]; n.IsDefined()) t.Colour = readColour(r, n);
    };
    f.describe = [](YamlNode& m, const FrameTextRecord& t, const FrameTextRecord& base) {
        if (t.Colour != base.Colour) m.add("colour", describeColour(t.Colour));
    };
    f.differs = [](const FrameTextRecord& t, const FrameTextRecord& base) {
        return t.Colour != base.Colour;
    };
    return f;
}

const Table<FrameTextRecord> kFrameText = {
    field<&FrameTextRecord::Number>("number"),
    field<&FrameTextRecord::Caption>("caption"),
    position(),
    field<&FrameTextRecord::FontName>("font"),
    field<&FrameTextRecord::FontSize>("size"),
    field<&FrameTextRecord::Bold>("bold"),
    field<&FrameTextRecord::Italic>("italic"),
    field<&FrameTextRecord::Underline>("underline"),
    field<&FrameTextRecord::Strikethrough>("strikethrough"),
    colour(),
    group<FrameTextRecord>({.key = "raw",
                            .fields = {field<&FrameTextRecord::Field1>("field_1"),
                                       field<&FrameTextRecord::Fields3to10>("fields_3_10"),
                                       field<&FrameTextRecord::Field21>("field_21")},
                            .what = "text raw fields"}),
};

// A text's number is its position unless given: a merged list gives it where a part restarts.
FrameTextRecord baseText(int position) {
    FrameTextRecord t;
    t.Number = qint16(position);
    return t;
}

} // namespace

QList<FrameTextRecord> readFrameTexts(const Reader& r, const YAML::Node& node,
                                      const QString& what) {
    QList<FrameTextRecord> texts;
    int position = 0;
    for (const YAML::Node& item : r.items(node, what)) {
        FrameTextRecord t = baseText(++position);
        Fields f(r, item, QString("%1: text %2").arg(what).arg(position));
        readTable(r, f, t, kFrameText);
        f.finish();
        texts.append(t);
    }
    return texts;
}

YamlNode describeFrameTexts(const QList<FrameTextRecord>& texts) {
    YamlNode list = YamlNode::seq();
    for (int i = 0; i < texts.size(); ++i) {
        YamlNode m = YamlNode::map();
        describeTable(m, texts[i], baseText(i + 1), kFrameText);
        list.append(std::move(m));
    }
    return list;
}

} // namespace tv::builder
