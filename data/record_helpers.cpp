#include "data/record_helpers.h"

#include "platform/core/errors.h"

namespace tv {

namespace {
// A value that cannot be read as text (#NULL#) is not the separator.
bool nextIsSeparator(RecordReader& in) {
    try {
        return in.peekString() == kSeparator;
    } catch (const VbError&) {
        return false;
    }
}
} // namespace

bool AtRecordEnd(RecordReader& in) {
    return in.atEnd() || nextIsSeparator(in);
}

void skipToRecordEnd(RecordReader& in) {
    while (!in.atEnd()) {
        const bool separator = nextIsSeparator(in);
        in.skip();
        if (separator) return;
    }
}

void writeSeparator(RecordWriter& out) {
    out.string(kSeparator).endLine();
}

QList<RecordValue> readValues(RecordReader& in, int count) {
    QList<RecordValue> values;
    for (int i = 0; i < count; ++i)
        values.append(in.readVariant());
    return values;
}

RecordValue readKeptValue(RecordReader& in) {
    const qint64 at = in.position();
    try {
        return in.readVariant();
    } catch (const VbError&) {
        in.seek(at);
        return RecordValue::ofString(in.readString());
    }
}

QList<RecordValue> readKeptValues(RecordReader& in, int count) {
    QList<RecordValue> values;
    for (int i = 0; i < count; ++i)
        values.append(readKeptValue(in));
    return values;
}

void writeValues(RecordWriter& out, const QList<RecordValue>& values, int count) {
    for (int i = 0; i < count; ++i)
        out.value(i < values.size() ? values[i] : RecordValue::ofNumber(0));
}

QStringList readNameList(RecordReader& in) {
    const qint16 count = in.readInt16();
    QStringList names;
    for (int i = 0; i < count; ++i)
        names.append(in.readString());
    return names;
}

void writeNameList(RecordWriter& out, const QStringList& names) {
    out.integer(names.size()).endLine();
    for (const QString& name : names)
        out.string(name).endLine();
}

} // namespace tv
