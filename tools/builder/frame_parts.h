#pragma once
// The records of a frame's file family, each read from and described to its own map: shared by
// the frame section's files (frame record, hotspots, actions, sounds, texts, dialogue).

#include "tools/builder/field_table.h"
#include "tools/builder/sections.h"

#include <optional>

namespace tv::builder {

// The value that switches a general field on, as the editor stores it.
inline const RecordValue kOn = RecordValue::ofNumber(1);

// "#RRGGBB", or the stored number (0x00BBGGRR) where no such colour reads back as it.
qint32 readColour(const Reader& r, const YAML::Node& node);
YamlNode describeColour(qint64 stored);

// --- actions (.fm3, .fm0) ------------------------------------------------------------------------

// `base` is the record before the description's values: a fresh one, or an item action's key.
ActionRecord readAction(const Reader& r, const YAML::Node& node, const QString& what,
                        ActionRecord base);
YamlNode describeAction(const ActionRecord& a, const ActionRecord& base);
ActionRecord readItemAction(const Reader& r, const YAML::Node& node);
YamlNode describeItemAction(const ActionRecord& a);

// --- hotspots (.fm2) -----------------------------------------------------------------------------

// A hotspot as the description gives it: with the action of the same position, if any.
struct HotspotEntry {
    HotspotRecord record;
    std::optional<ActionRecord> action;
    int position = 0; // 1-based; the index unless one is given
};
HotspotEntry readHotspot(const Reader& r, const YAML::Node& node, int position);
YamlNode describeHotspot(const HotspotRecord& h, int position, const ActionRecord* action);

// --- sounds (.fm5, .chn, and the channel requests of frames and actions) ------------------------

struct RequestChannels {
    RecordValue fade;
    qint16 perRow = 0;
    qint16 count = 0;
    QList<QList<RecordValue>> rows;
    bool operator==(const RequestChannels&) const = default;
};
RequestChannels readRequestChannels(const Reader& r, const YAML::Node& node, const QString& what);
YamlNode describeRequestChannels(const RequestChannels& c);
RequestChannels channelsOf(const ActionRecord& a);
RequestChannels channelsOf(const FrameRecord& f);
void setChannels(ActionRecord& a, const RequestChannels& c);
void setChannels(FrameRecord& f, const RequestChannels& c);

// "channels": the channel requests of a frame or an action.
template <class R> Field<R> requestChannels() {
    Field<R> f;
    f.key = "channels";
    f.read = [](const Reader& r, Fields& fields, R& rec) {
        if (YAML::Node n = fields["channels"]; n.IsDefined())
            setChannels(rec, readRequestChannels(r, n, "channels"));
    };
    f.describe = [](YamlNode& m, const R& rec, const R&) {
        YamlNode c = describeRequestChannels(channelsOf(rec));
        if (!c.isEmpty()) m.add("channels", std::move(c));
    };
    f.differs = [](const R& rec, const R& base) { return channelsOf(rec) != channelsOf(base); };
    return f;
}

SoundSelectionRecord readSoundSelection(const Reader& r, const YAML::Node& node);
YamlNode describeSoundSelection(const SoundSelectionRecord& s);
SoundChannelData readSoundChannels(const Reader& r, const YAML::Node& node);
YamlNode describeSoundChannels(const SoundChannelData& c);

// --- frame texts (.fm1, .mr1) --------------------------------------------------------------------

// `what` names the list in messages ("texts", "merged_texts").
QList<FrameTextRecord> readFrameTexts(const Reader& r, const YAML::Node& node, const QString& what);
YamlNode describeFrameTexts(const QList<FrameTextRecord>& texts);

// --- dialogues (.dlg) ----------------------------------------------------------------------------

DialogueFile readDialogue(const Reader& r, const YAML::Node& node);
YamlNode describeDialogue(const DialogueFile& dialogue);

} // namespace tv::builder
