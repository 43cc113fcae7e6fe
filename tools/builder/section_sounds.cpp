// Sounds: the channel requests of frames and actions, the sound selections of hotspots (.fm5) and
// the sound channels of frames (.chn).

#include "tools/builder/frame_parts.h"

namespace tv::builder {

// --- channel requests ----------------------------------------------------------------------------

namespace {

const char* const kRowKeys[] = {"request", "fade", "loop", "volume", "file"};

QList<RecordValue> rowDefaults() {
    return {RecordValue::ofNumber(0), RecordValue::ofBool(false), RecordValue::ofBool(false),
            RecordValue::ofNumber(10), RecordValue::ofString("")};
}

} // namespace

RequestChannels readRequestChannels(const Reader& r, const YAML::Node& node, const QString& what) {
    RequestChannels c;
    Fields f(r, node, what);
    c.fade = r.value(f["fade_ms"], "fade_ms");
    const QList<YAML::Node> rows = r.items(f["rows"], "rows");
    const YAML::Node perRow = f["values_per_row"];
    if (perRow.IsDefined()) {
        c.perRow = r.int16(perRow, "values_per_row");
    } else if (!rows.isEmpty()) {
        c.perRow = rows.front().IsSequence() ? qint16(rows.front().size()) : 5;
    }
    for (const YAML::Node& row : rows) {
        if (c.perRow < 1 || c.perRow > 5)
            r.fail(row, "rows are stored only with 1 to 5 values per row");
        QList<RecordValue> values;
        if (row.IsSequence()) {
            values = r.values(row, "a row", c.perRow);
        } else {
            Fields rf(r, row, "a channel row");
            values = rowDefaults().mid(0, c.perRow);
            for (int i = 0; i < 5; ++i) {
                const YAML::Node v = rf[kRowKeys[i]];
                if (!v.IsDefined()) continue;
                if (i >= c.perRow)
                    r.fail(v,
                           QString("a row of %1 values has no %2").arg(c.perRow).arg(kRowKeys[i]));
                values[i] = r.value(v, kRowKeys[i]);
            }
            rf.finish();
        }
        c.rows.append(values);
    }
    c.count = qint16(c.rows.size());
    if (YAML::Node count = f["row_count"]; count.IsDefined()) {
        c.count = r.int16(count, "row_count");
        if (!c.rows.isEmpty() && c.count != c.rows.size())
            r.fail(
                count,
                QString("row_count is %1 but %2 rows are given").arg(c.count).arg(c.rows.size()));
        if (c.rows.isEmpty() && c.count > 0 && c.perRow >= 1 && c.perRow <= 5)
            r.fail(count, "row_count names rows that are not given");
    }
    f.finish();
    return c;
}

YamlNode describeRequestChannels(const RequestChannels& c) {
    YamlNode m = YamlNode::map();
    if (c.fade.kind != RecordValue::Kind::Empty) m.add("fade_ms", describeValue(c.fade));
    const bool rowsStored = c.perRow >= 1 && c.perRow <= 5;
    const bool rowsShown = rowsStored && !c.rows.isEmpty();
    if (rowsShown ? c.perRow != 5 && c.rows.front().size() != c.perRow : c.perRow != 0)
        m.add("values_per_row", YamlNode::number(c.perRow));
    if (rowsShown ? c.count != c.rows.size() : c.count != 0)
        m.add("row_count", YamlNode::number(c.count));
    if (rowsShown) {
        YamlNode rows = YamlNode::seq();
        const QList<RecordValue> defaults = rowDefaults();
        for (const QList<RecordValue>& row : c.rows) {
            if (c.perRow == 5) {
                YamlNode map = YamlNode::map();
                for (int i = 0; i < 5 && i < row.size(); ++i) {
                    if (row[i] != defaults[i]) map.add(kRowKeys[i], describeValue(row[i]));
                }
                rows.append(std::move(map));
            } else {
                rows.append(describeValues(row));
            }
        }
        m.add("rows", std::move(rows));
    }
    return m;
}

RequestChannels channelsOf(const ActionRecord& a) {
    RequestChannels c{a.FadeDuration, a.ChannelValueCount, a.ChannelCount, {}};
    for (const ChannelRequestRow& row : a.ChannelRows)
        c.rows.append(row.values);
    return c;
}

RequestChannels channelsOf(const FrameRecord& f) {
    return {f.FadeDuration, f.ChannelValueCount, f.ChannelCount, f.ChannelRows};
}

void setChannels(ActionRecord& a, const RequestChannels& c) {
    a.FadeDuration = c.fade;
    a.ChannelValueCount = c.perRow;
    a.ChannelCount = c.count;
    a.ChannelRows.clear();
    for (const QList<RecordValue>& row : c.rows)
        a.ChannelRows.append(ChannelRequestRow{row});
}

void setChannels(FrameRecord& f, const RequestChannels& c) {
    f.FadeDuration = c.fade;
    f.ChannelValueCount = c.perRow;
    f.ChannelCount = c.count;
    f.ChannelRows = c.rows;
}

// --- sound channel rows (.chn, .fm5) -------------------------------------------------------------

namespace {

const Table<SoundChannelRow> kChannelRow = {
    field<&SoundChannelRow::stop>("stop"),       field<&SoundChannelRow::play>("play"),
    field<&SoundChannelRow::file>("file"),       field<&SoundChannelRow::repeat>("repeat"),
    field<&SoundChannelRow::ignored>("ignored"),
};

// "channels": the rows, each a map (an empty one for a row of defaults), always described.
template <class R, class Get> Field<R> channelRows(Get get) {
    Field<R> f;
    f.key = "channels";
    f.read = [get](const Reader& r, Fields& fields, R& rec) {
        QList<SoundChannelRow> rows;
        for (const YAML::Node& item : r.items(fields["channels"], "channels")) {
            if (rows.size() == 5) r.fail(item, "at most 5 channels are stored");
            Fields rf(r, item, "a sound channel");
            SoundChannelRow row;
            readTable(r, rf, row, kChannelRow);
            rf.finish();
            rows.append(row);
        }
        get(rec) = rows;
    };
    f.describe = [get](YamlNode& m, const R& rec, const R&) {
        YamlNode list = YamlNode::seq();
        for (const SoundChannelRow& row : get(rec)) {
            YamlNode map = YamlNode::map();
            describeTable(map, row, SoundChannelRow(), kChannelRow);
            list.append(std::move(map));
        }
        m.add("channels", std::move(list));
    };
    f.differs = [get](const R& rec, const R& base) { return get(rec) != get(base); };
    return f;
}

// The values before the rows, which the player steps over.
template <class R, class Get> Field<R> leading(Get get) {
    return fieldAt<R>("leading", get);
}

// --- sound selections (.fm5) ---------------------------------------------------------------------

Field<SoundSelectionRecord> selectionHotspot() {
    Field<SoundSelectionRecord> f;
    f.key = "hotspot";
    f.read = [](const Reader& r, Fields& fields, SoundSelectionRecord& s) {
        const YAML::Node n = fields["hotspot"];
        if (!n.IsDefined()) r.fail(fields.node(), "a sound selection names its hotspot");
        s.Hotspot = r.int16(n, "hotspot");
    };
    f.describe = [](YamlNode& m, const SoundSelectionRecord& s, const SoundSelectionRecord&) {
        m.add("hotspot", YamlNode::number(s.Hotspot));
    };
    f.differs = [](const SoundSelectionRecord& s, const SoundSelectionRecord& base) {
        return s.Hotspot != base.Hotspot;
    };
    return f;
}

const Table<SoundSelectionRecord> kSoundSelection = {
    selectionHotspot().readFirst(),
    channelRows<SoundSelectionRecord>([](auto& s) -> auto& { return s.channels.rows; }),
    group<SoundSelectionRecord>({.key = "raw",
                                 .fields = {field<&SoundSelectionRecord::Field1>("field_1"),
                                            field<&SoundSelectionRecord::Ignored>("fields_3_10"),
                                            leading<SoundSelectionRecord>([](auto& s) -> auto& {
                                                return s.channels.leading;
                                            })},
                                 .what = "sound selection raw fields"})
        .readFirst(),
};

// --- sound channels (.chn) -----------------------------------------------------------------------

const Table<SoundChannelData> kSoundChannels = {
    channelRows<SoundChannelData>([](auto& c) -> auto& { return c.rows; }),
    group<SoundChannelData>(
        {.key = "raw",
         .fields = {leading<SoundChannelData>([](auto& c) -> auto& { return c.leading; })},
         .what = "sound_channels raw fields"})
        .readFirst(),
};

} // namespace

SoundSelectionRecord readSoundSelection(const Reader& r, const YAML::Node& node) {
    SoundSelectionRecord s;
    Fields f(r, node, "a sound selection");
    readTable(r, f, s, kSoundSelection);
    f.finish();
    return s;
}

YamlNode describeSoundSelection(const SoundSelectionRecord& s) {
    YamlNode m = YamlNode::map();
    describeTable(m, s, SoundSelectionRecord(), kSoundSelection);
    return m;
}

SoundChannelData readSoundChannels(const Reader& r, const YAML::Node& node) {
    SoundChannelData c;
    Fields f(r, node, "sound_channels");
    readTable(r, f, c, kSoundChannels);
    f.finish();
    return c;
}

YamlNode describeSoundChannels(const SoundChannelData& c) {
    YamlNode m = YamlNode::map();
    describeTable(m, c, SoundChannelData(), kSoundChannels);
    return m;
}

} // namespace tv::builder
