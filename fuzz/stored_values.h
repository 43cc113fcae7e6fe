#pragma once
// What record files can hold, for the fuzz targets whose records must survive their writers:
// numbers as they read back from their stored form, and texts a record cannot quote.

#include "platform/core/errors.h"
#include "platform/core/records.h"

#include <QList>

namespace tv::fuzz {

// A number as it reads back from its stored form (15 significant digits).
inline double stored(double v) {
    RecordReader in(formatRecordNumber(v));
    return in.readDouble();
}

inline RecordValue stored(const RecordValue& v) {
    return v.kind == RecordValue::Kind::Number ? RecordValue::ofNumber(stored(v.number)) : v;
}

// Numbers at the very end of the range are stored rounded beyond it, as Write # stores them, and
// cannot be read back.
inline bool storable(const RecordValue& v) {
    try {
        (void)stored(v);
        return true;
    } catch (const VbError&) {
        return false;
    }
}

// A text with a double quote cannot be written as a record field.
inline bool hasQuote(const RecordValue& v) {
    return v.kind == RecordValue::Kind::String && v.text.contains(u'"');
}

// Values the record writer cannot write back as they were read.
inline bool unwritable(const RecordValue& v) {
    return hasQuote(v) || !storable(v);
}

inline bool unwritable(const QList<RecordValue>& values) {
    for (const RecordValue& v : values) {
        if (unwritable(v)) return true;
    }
    return false;
}

} // namespace tv::fuzz
