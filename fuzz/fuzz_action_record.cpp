// Hotspot action (.fm3/.mr3, .fm0), sound selection (.fm5) and old sound-channel (.chn) files on
// arbitrary bytes: the whole-file readers, the seeks the engine positions with, and the
// group-by-group reading. Files read in full must survive their writers byte for byte.

#include "data/action_record.h"
#include "data/record_helpers.h"
#include "data/sound_channel_file.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/stored_values.h"
#include "platform/core/errors.h"

using namespace tv;
using tv::fuzz::fail;
using tv::fuzz::hasQuote;

namespace {

bool anyQuote(const QList<RecordValue>& values) {
    for (const RecordValue& v : values) {
        if (hasQuote(v)) return true;
    }
    return false;
}

// Texts with a double quote cannot be written as records.
bool writable(const ActionRecord& r) {
    for (const QList<RecordValue>* list :
         {&r.prefix, &r.A29to31, &r.A33to35, &r.A37to39, &r.A48to53}) {
        if (anyQuote(*list)) return false;
    }
    for (const ChannelRequestRow& row : r.ChannelRows) {
        if (anyQuote(row.values)) return false;
    }
    for (const RecordValue* v :
         {&r.SetToZero, &r.SetToOne, &r.Toggle, &r.ShowMessage, &r.MessageText, &r.Disappear,
          &r.QuitGame, &r.StopMusic, &r.PlaySound, &r.SoundFile, &r.PlayMusic, &r.MusicFile,
          &r.GoBack, &r.MessageOption, &r.UseTransition, &r.ProcedureCall, &r.FadeDuration,
          &r.Script}) {
        if (hasQuote(*v)) return false;
    }
    for (const QString* t : {&r.VariableName, &r.A9, &r.Destination, &r.VideoFile, &r.ItemName}) {
        if (t->contains(u'"')) return false;
    }
    for (const QStringList& names : r.VariableGroups) {
        for (const QString& name : names) {
            if (name.contains(u'"')) return false;
        }
    }
    return true;
}

bool writable(const SoundChannelData& d) {
    if (anyQuote(d.leading)) return false;
    for (const SoundChannelRow& row : d.rows) {
        if (row.file.contains(u'"') || hasQuote(row.repeat) || hasQuote(row.ignored)) return false;
    }
    return true;
}

bool writable(const SoundSelectionRecord& r) {
    return !hasQuote(r.Field1) && !anyQuote(r.Ignored) && writable(r.channels);
}

template <typename Record, typename ReadOne, typename WriteOne>
void checkFile(const QByteArray& bytes, ReadOne readOne, WriteOne writeOne, const char* what) {
    auto readAll = [&](const QByteArray& b, bool& complete) {
        QList<Record> records;
        complete = true;
        RecordReader in(b);
        while (!in.atEnd()) {
            try {
                records.append(readOne(in));
            } catch (const VbError&) {
                complete = false;
                break;
            }
        }
        return records;
    };
    auto written = [&](const QList<Record>& records) {
        RecordWriter out;
        for (const Record& r : records)
            writeOne(out, r);
        return out.bytes();
    };
    bool complete = false;
    const QList<Record> records = readAll(bytes, complete);
    if (!complete) return;
    for (const Record& r : records) {
        if (!writable(r)) return;
    }
    const QByteArray once = written(records);
    bool again = false;
    const QList<Record> reread = readAll(once, again);
    if (!again || written(reread) != once) fail(what);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzz::bytesOf(data, size);

    checkFile<ActionRecord>(
        bytes, [](RecordReader& in) { return readActionRecord(in); },
        [](RecordWriter& out, const ActionRecord& r) { writeActionRecord(out, r); },
        "an action file does not survive its writer");
    checkFile<SoundSelectionRecord>(
        bytes,
        [](RecordReader& in) {
            SoundSelectionRecord r;
            r.read(in);
            return r;
        },
        [](RecordWriter& out, const SoundSelectionRecord& r) { r.write(out); },
        "a sound selection file does not survive its writer");

    // A .chn file is one block of channel data.
    try {
        RecordReader in(bytes);
        SoundChannelData d;
        d.read(in);
        if (d.rows.size() > 5) fail("more than five channel rows");
        if (in.atEnd() && writable(d)) {
            RecordWriter once;
            d.write(once);
            RecordReader back(once.bytes());
            SoundChannelData again;
            again.read(back);
            RecordWriter twice;
            again.write(twice);
            if (twice.bytes() != once.bytes() || !back.atEnd())
                fail("a .chn file does not survive its writer");
        }
    } catch (const VbError&) {
    }

    // The seeks and the group-by-group reading the engine does, on the first bytes as k.
    const int k = size > 0 ? int(data[0] % 8) : 1;
    for (int pass = 0; pass < 3; ++pass) {
        try {
            RecordReader in(bytes);
            bool found = false;
            if (pass == 0) found = seekHotspotAction(in, k);
            if (pass == 1) found = seekItemAction(in, k, "Key");
            if (pass == 2) found = seekSoundSelection(in, k);
            if (!found) continue;
            if (pass == 2) {
                (void)readSoundChannelRows(in);
                continue;
            }
            ActionRecord r;
            for (int g = 0; g <= int(ActionGroup::Script); ++g) {
                if (g >= int(kFirstOptionalGroup) && AtRecordEnd(in)) break;
                readActionGroup(in, ActionGroup(g), r);
            }
            (void)r.procedureCallText();
            (void)r.scriptText();
        } catch (const VbError&) {
        }
    }

    const QString path = fuzz::writeInputFile(data, size, "Hall.fm3");
    for (auto read : {+[](const QString& p) { (void)readActionFile(p); },
                      +[](const QString& p) { (void)readSoundSelectionFile(p); },
                      +[](const QString& p) { (void)readSoundChannelFile(p); }}) {
        try {
            read(path);
        } catch (const VbError&) {
        }
    }
    return 0;
}
